// The catalog window: buttons, grid layout, cell painting, double click and closing.
#include "app/catalog/catalog_window.h"

#include "app/catalog/catalog_entry.h"
#include "app/main_window/main_window_services.h"
#include "app/print/print_dialog.h"
#include "app/slideshow/slide_commands.h"
#include "app/text/language.h"
#include "app/text/translation.h"
#include "controls/grid/kit_draw_grid.h"
#include "imaging/kit/image_kit.h"
#include "platform/ui/application.h"

#include <QAction>
#include <cstdlib>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <utility>

std::function<void(Tkataform&)> Tkataform::SlideShowHandler = [](Tkataform& k) {
    if (TMainWindowServices* main = k.MainWindow()) {
        main->ActivateChild(&k);
        PlayCatalogSlideShow(*main);
    }
};
std::function<void(Tkataform&)> Tkataform::PrintHandler = [](Tkataform& k) { RunPrintDialog(*k.MainWindow()); };

namespace {
constexpr int PanelWidth = 125;

struct ButtonText {
    const char* name;
    const char* german;
    const char* english;
};
// In the panel's order from the top.
constexpr ButtonText kButtons[] = {
    {"Button1", "&Datei hinzufügen", "A&dd file"},
    {"Button3", "&Datei entfernen", "Re&move file"},
    {"Button5", "&Bilder neu laden", "R&eload images"},
    {"Button7", "Alle B&ilder neu laden", "Re&load all images"},
    {"Button10", "Bilder &aktualisieren", "U&pdate images"},
    {"Button11", "&Fehlende Bilder entf", "Remove m&issing"},
    {"Button6", "Alle&s markieren", "Sele&ct all"},
    {"Button4", "&Diashow", "&Diashow"},
    {"Button9", "&Thumbnails drucken", "Print &Thumbnails"},
    {"Button2", "&Katalog speichern", "&Save Catalog"},
    {"Button8", "Katalog &schliessen", "&Close Catalog"},
};
}  // namespace

Tkataform::Tkataform(TMainWindowServices* mainWindow, QWidget* parent) : QWidget(parent), main_(mainWindow)
{
    setObjectName(QStringLiteral("kataform"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    ScrollBox1 = new QWidget(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    auto* box = new QVBoxLayout(ScrollBox1);
    box->setContentsMargins(0, 0, 0, 0);
    DrawGrid1 = new TKitDrawGrid(ScrollBox1);
    DrawGrid1->setObjectName(QStringLiteral("DrawGrid1"));
    DrawGrid1->SetFixedCols(0);
    DrawGrid1->SetFixedRows(0);
    DrawGrid1->SetOptions(goRangeSelect | goColSizing);
    DrawGrid1->OnDrawCell = [this](TObject*, int c, int r, const TRect& rect, TGridDrawState) {
        DrawGrid1DrawCell(c, r, rect);
    };
    DrawGrid1->OnDblClick = [this](TObject*) { DrawGrid1DblClick(); };
    DrawGrid1->installEventFilter(this);
    box->addWidget(DrawGrid1);
    ie = new TImageKit(ScrollBox1);
    ie->setObjectName(QStringLiteral("ie"));
    ie->hide();
    ie->Bitmap()->SetSize(ThumbSize, ThumbSize);
    // The working picture is never undone: each thumbnail would copy it for nothing.
    ie->SetAutoUndo(false);
    ie->SetOnProgress([this](TObject* s, int p) { progressdo(s, p); });
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(PanelWidth);
    buildButtons();
    row->addWidget(ScrollBox1, 1);
    row->addWidget(Panel1);
    FormCreate();
}

Tkataform::~Tkataform()
{
    ie->SetOnProgress(nullptr);
    DrawGrid1->OnDrawCell = nullptr;
    DrawGrid1->OnDblClick = nullptr;
}

void Tkataform::buildButtons()
{
    auto* col = new QVBoxLayout(Panel1);
    col->setContentsMargins(4, 4, 4, 4);
    QPushButton** fields[] = {&Button1, &Button3, &Button5, &Button7, &Button10, &Button11,
                             &Button6, &Button4, &Button9, &Button2, &Button8};
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        auto* b = new QPushButton(QString::fromUtf8(kButtons[i].german), Panel1);
        b->setObjectName(QLatin1String(kButtons[i].name));
        *fields[i] = b;
        col->addWidget(b);
    }
    col->addStretch(1);
    auto run = [this](QPushButton* b, std::function<void()> fn) {
        connect(b, &QPushButton::clicked, this, [this, b, fn = std::move(fn)] {
            if (!Busy() || b == Button8)
                TApplication::Guard(fn);
        });
    };
    run(Button1, [this] { Dateihinzufgen1Click(); });
    run(Button3, [this] { Dateientfernen1Click(); });
    run(Button5, [this] { Bilderneuladen1Click(false); });
    run(Button7, [this] { Bilderneuladen1Click(true); });
    run(Button10, [this] { Bilderneuladen2Click(); });
    run(Button11, [this] { nichtexistierendeBilderentfernen1Click(); });
    run(Button6, [this] { Allemarkieren1Click(); });
    run(Button4, [this] {
        if (SlideShowHandler)
            SlideShowHandler(*this);
    });
    run(Button9, [this] {
        if (PrintHandler)
            PrintHandler(*this);
    });
    run(Button2, [this] { Katalogspeichern1Click(); });
    run(Button8, [this] { Katalogschliessen1Click(); });
}

void Tkataform::setCaptions()
{
    for (const ButtonText& t : kButtons)
        if (auto* b = Panel1->findChild<QPushButton*>(QLatin1String(t.name)))
            b->setText(QString::fromUtf8(IsEnglish() ? t.english : t.german));
    Button4->setEnabled(bool(SlideShowHandler) && !Busy());
    Button9->setEnabled(bool(PrintHandler) && !Busy());
}

void Tkataform::FormCreate()
{
    initialised_ = false;
    Modified = false;
    setCaptions();
}

void Tkataform::FormActivate()
{
    if (!initialised_) {
        initialised_ = true;
        const toptions& o = main_->Options();
        DrawGrid1->SetGridLineWidth(std::max(0, o.katspacing));
        DrawGrid1->SetDefaultColWidth(std::max(1, o.katwidth));
        DrawGrid1->SetDefaultRowHeight(std::max(1, o.katheight + ((o.katflags & kfName) ? 6 : 0)));
        reorder();
    }
    setCaptions();
    main_->UpdateAvailability(false);
}

TCatalogEntry Tkataform::Entry(int index) const
{
    return TCatalogEntry::FromText(Items[size_t(index)].Text);
}

QString Tkataform::Path(int index) const { return Entry(index).Path; }

int Tkataform::EntryAt(int col, int row) const
{
    if (col < 0 || row < 0)
        return -1;
    const int64_t i = int64_t(col) + int64_t(row) * DrawGrid1->ColCount();
    return i < Count() ? int(i) : -1;
}

bool Tkataform::layGrid()
{
    const int cell = DrawGrid1->DefaultColWidth() + DrawGrid1->GridLineWidth();
    const int cols = std::max(1, (width() - Panel1->width()) / std::max(1, cell));
    const int rows = std::max(1, Count() / cols + (Count() % cols ? 1 : 0));
    if (cols == DrawGrid1->ColCount() && rows == DrawGrid1->RowCount())
        return false;
    // Each count repaints the whole grid.
    DrawGrid1->SetColCount(cols);
    DrawGrid1->SetRowCount(rows);
    return true;
}

void Tkataform::reorder()
{
    layGrid();
    DrawGrid1->InvalidateGrid();
}

void Tkataform::reorderAfterAppend(int firstNew)
{
    // Repainting every cell after each file of a long add costs more than the file's
    // thumbnail once many are shown: while the layout stands, only the new cells are drawn.
    if (layGrid() || firstNew >= Count())
        return;
    const int cols = DrawGrid1->ColCount();
    QRect dirty;
    for (int i = std::max(0, firstNew); i < Count(); ++i) {
        const TRect r = DrawGrid1->CellRect(i % cols, i / cols);
        if (!r.IsEmpty())
            dirty |= QRect(r.Left, r.Top, r.Width(), r.Height());
    }
    if (!dirty.isEmpty())
        DrawGrid1->viewport()->update(dirty);
}

void Tkataform::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    reorder();
}

void Tkataform::DrawGrid1DrawCell(int col, int row, const TRect& rect)
{
    const toptions& o = main_->Options();
    drawoncanvas(*DrawGrid1->Canvas(), rect, o.katflags, o.katfontsize, EntryAt(col, row));
}

void Tkataform::drawoncanvas(TCanvas& canvas, const TRect& rect, uint8_t flags, int fontSize, int index)
{
    const toptions& o = main_->Options();
    canvas.Font.Name = o.katfontname;
    canvas.Font.Size = std::max(1, fontSize);
    canvas.Font.Style = o.katfontstyle;
    if (index < 0 || index >= Count()) {
        canvas.FillRect(rect);
        return;
    }
    const TCatalogEntry e = Entry(index);
    const int line = canvas.TextHeight(QStringLiteral("Ä")) + 1;
    int bottom = rect.Bottom;
    auto caption = [&](const QString& text) {
        bottom -= line;
        canvas.TextOut(rect.Left, bottom, text);
    };
    if (flags & (kfName | kfPath))
        caption((flags & kfPath) ? e.Path : QFileInfo(e.Path).fileName());
    if ((flags & kfDate) && e.Time != 0) {
        // A time that is no date shows no line rather than garbage.
        const QString date = CatalogDateText(e.Time);
        if (!date.isEmpty())
            caption(date);
    }
    if (flags & kfSize)
        caption(CatalogSizeText(e.Size, e.Width, e.Height));
    const int side = bottom - rect.Top;
    if (side > 0)
        canvas.StretchDraw(TRect(rect.Left, rect.Top, rect.Left + side, rect.Top + side), Items[size_t(index)].Thumb);
}

void Tkataform::DrawGrid1DblClick()
{
    const int i = EntryAt(DrawGrid1->Col(), DrawGrid1->Row());
    if (i < 0)
        return;
    main_->OpenFiles(QStringList{Path(i)});
}

void Tkataform::progressdo(QObject* sender, int percent)
{
    // The bar repaints itself at once on every change, together with the status bar and
    // the frame behind it, which costs more than making the rows of a thumbnail: it
    // follows in steps of 20 and always shows 0 and 100. Scaling a picture down to the
    // thumbnail takes no time worth showing.
    if (quietProgress_)
        return;
    if (percent != 0 && percent != 100 && shownProgress_ >= 0 && std::abs(percent - shownProgress_) < kProgressStep)
        return;
    shownProgress_ = percent;
    main_->ShowProgress(sender, percent);
}

void Tkataform::resetProgress()
{
    shownProgress_ = 0;
    main_->ResetProgress();
}

void Tkataform::FormKeyPress(QChar key)
{
    if (key == QChar(27))
        Aborting = true;
}

void Tkataform::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        FormKeyPress(QChar(27));
    QWidget::keyPressEvent(event);
}

bool Tkataform::eventFilter(QObject* watched, QEvent* event)
{
    // The grid has the focus most of the time; Escape typed there aborts as well.
    if (watched == DrawGrid1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        FormKeyPress(QChar(27));
    return QWidget::eventFilter(watched, event);
}

Tkataform::TBusyScope::TBusyScope(Tkataform& form) : form_(form)
{
    if (form_.busy_++ == 0)
        form_.setCommandsEnabled(false);
}

Tkataform::TBusyScope::~TBusyScope()
{
    if (--form_.busy_ > 0)
        return;
    form_.setCommandsEnabled(true);
    if (std::exchange(form_.closePending_, false)) {
        // The close asked for during the loop, now that nothing refers to the window.
        Tkataform* form = &form_;
        QTimer::singleShot(0, form, [form] { form->Katalogschliessen1Click(); });
    }
}

void Tkataform::setCommandsEnabled(bool enabled)
{
    for (QPushButton* b : Panel1->findChildren<QPushButton*>())
        if (b != Button8)
            b->setEnabled(enabled);
    if (enabled)
        setCaptions();
}

void Tkataform::closeEvent(QCloseEvent* event)
{
    if (Busy()) {
        // The loop still holds this window: it stops at its next step and the window
        // closes after it.
        Aborting = true;
        closePending_ = true;
        event->ignore();
        return;
    }
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

bool Tkataform::FormClose()
{
    if (Modified) {
        const int answer = AskToSaveChanges(windowTitle());
        if (answer != mrYes && answer != mrNo)
            return false;
        // A save that did not happen (cancelled dialog, failed write) keeps the window.
        if (answer == mrYes && (!Katalogspeichern1Click() || Modified))
            return false;
    }
    main_->UpdateAvailability(true);
    return true;
}

void Tkataform::Katalogschliessen1Click()
{
    // The frame around the window closes with it.
    if (QWidget* frame = parentWidget())
        frame->close();
    else
        close();
}

Tkataform* CreateCatalogWindow(TMainWindowServices& mainWindow)
{
    auto* form = new Tkataform(&mainWindow);
    QMdiSubWindow* sub = mainWindow.ClientArea()->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    const QSize area = mainWindow.ClientArea()->viewport()->size();
    sub->resize(std::max(400, area.width() * 3 / 4), std::max(300, area.height() * 3 / 4));
    sub->show();
    mainWindow.ActivateChild(form);
    form->FormActivate();
    return form;
}

void ConnectCatalogMenu(TMainWindowServices& mainWindow)
{
    using Command = void (*)(Tkataform&);
    const std::pair<const char*, Command> commands[] = {
        {"Katalogspeichern1", [](Tkataform& k) { k.Katalogspeichern1Click(); }},
        {"Katalogspeichernals1", [](Tkataform& k) { k.Katalogspeichernals1Click(); }},
        {"Dateihinzufgen1", [](Tkataform& k) { k.Dateihinzufgen1Click(); }},
        {"Dateientfernen1", [](Tkataform& k) { k.Dateientfernen1Click(); }},
        {"Bilderneuladen1", [](Tkataform& k) { k.Bilderneuladen1Click(false); }},
        {"AlleBilderneuladen1", [](Tkataform& k) { k.Bilderneuladen1Click(true); }},
        {"Bilderneuladen2", [](Tkataform& k) { k.Bilderneuladen2Click(); }},
        {"nichtexistierendeBilderentfernen1", [](Tkataform& k) { k.nichtexistierendeBilderentfernen1Click(); }},
        {"Allemarkieren1", [](Tkataform& k) { k.Allemarkieren1Click(); }},
        {"Katalogschliessen1", [](Tkataform& k) { k.Katalogschliessen1Click(); }},
    };
    TMainWindowServices* main = &mainWindow;
    for (const auto& entry : commands) {
        const auto command = entry.second;  // captured by value below
        // Only closing goes through while the window is busy; it waits for the loop.
        const bool whileBusy = std::strcmp(entry.first, "Katalogschliessen1") == 0;
        QAction* a = mainWindow.Item(QLatin1String(entry.first));
        if (!a)
            continue;
        const QVariant avail = a->property("kAvailable");
        a->setEnabled(!avail.isValid() || avail.toBool());
        QObject::connect(a, &QAction::triggered, main->Window(), [main, command, whileBusy] {
            if (auto* k = qobject_cast<Tkataform*>(main->ActiveMDIChild()); k && (whileBusy || !k->Busy()))
                TApplication::Guard([&] { command(*k); });
        });
    }
}
