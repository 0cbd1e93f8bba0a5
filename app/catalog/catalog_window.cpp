// The catalog window: buttons, grid layout, cell painting, double click and closing.
#include "app/catalog/catalog_window.h"

#include "app/catalog/catalog_entry.h"
#include "app/services/main_window_services.h"
#include "app/commands/command_record.h"
#include "app/options/options.h"
#include "app/services/feature_routes.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
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
#include <functional>
#include <utility>

namespace {
constexpr int PanelWidth = 125;

struct ButtonText {
    const char* name;
    const char* german;
    const char* english;
};
// In the panel's order from the top.
constexpr ButtonText kButtons[] = {
    {ObjectName::CatalogWindow::Button1, "&Datei hinzufügen", "A&dd file"},
    {ObjectName::CatalogWindow::Button3, "&Datei entfernen", "Re&move file"},
    {ObjectName::CatalogWindow::Button5, "&Bilder neu laden", "R&eload images"},
    {ObjectName::CatalogWindow::Button7, "Alle B&ilder neu laden", "Re&load all images"},
    {ObjectName::CatalogWindow::Button10, "Bilder &aktualisieren", "U&pdate images"},
    {ObjectName::CatalogWindow::Button11, "&Fehlende Bilder entf", "Remove m&issing"},
    {ObjectName::CatalogWindow::Button6, "Alle&s markieren", "Sele&ct all"},
    {ObjectName::CatalogWindow::Button4, "&Diashow", "&Diashow"},
    {ObjectName::CatalogWindow::Button9, "&Thumbnails drucken", "Print &Thumbnails"},
    {ObjectName::CatalogWindow::Button2, "&Katalog speichern", "&Save Catalog"},
    {ObjectName::CatalogWindow::Button8, "Katalog &schliessen", "&Close Catalog"},
};
}  // namespace

Tkataform::Tkataform(TMainWindowServices* mainWindow, QWidget* parent) : QWidget(parent), main_(mainWindow)
{
    setObjectName(QLatin1String(ObjectName::CatalogWindow::Form));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    scrollBox = new QWidget(this);
    scrollBox->setObjectName(QLatin1String(ObjectName::CatalogWindow::ScrollBox1));
    auto* box = new QVBoxLayout(scrollBox);
    box->setContentsMargins(0, 0, 0, 0);
    thumbGrid = new TKitDrawGrid(scrollBox);
    thumbGrid->setObjectName(QLatin1String(ObjectName::CatalogWindow::DrawGrid1));
    thumbGrid->SetFixedCols(0);
    thumbGrid->SetFixedRows(0);
    thumbGrid->SetOptions(goRangeSelect | goColSizing);
    thumbGrid->OnDrawCell = [this](TObject*, int c, int r, const TRect& rect, TGridDrawState state) {
        drawCell(c, r, rect, state);
    };
    // Any cell the user picks (click, keys, range) is a selection again.
    thumbGrid->OnSelectCell = [this](TObject*, int, int, bool&) {
        if (!std::exchange(hasSelection_, true))
            thumbGrid->InvalidateGrid();
    };
    thumbGrid->OnDblClick = [this](TObject*) { cellDoubleClicked(); };
    thumbGrid->installEventFilter(this);
    box->addWidget(thumbGrid);
    workKit = new TImageKit(scrollBox);
    workKit->setObjectName(QLatin1String(ObjectName::CatalogWindow::ie));
    workKit->hide();
    workKit->Bitmap()->SetSize(ThumbSize, ThumbSize);
    // The working picture is never undone: each thumbnail would copy it for nothing.
    workKit->SetAutoUndo(false);
    workKit->SetOnProgress([this](TObject* s, int p) { showProgress(s, p); });
    buttonPanel = new QFrame(this);
    buttonPanel->setObjectName(QLatin1String(ObjectName::CatalogWindow::Panel1));
    buttonPanel->setFixedWidth(PanelWidth);
    buildButtons();
    row->addWidget(scrollBox, 1);
    row->addWidget(buttonPanel);
    FormCreate();
}

Tkataform::~Tkataform()
{
    workKit->SetOnProgress(nullptr);
    thumbGrid->OnDrawCell = nullptr;
    thumbGrid->OnSelectCell = nullptr;
    thumbGrid->OnDblClick = nullptr;
}

void Tkataform::buildButtons()
{
    auto* col = new QVBoxLayout(buttonPanel);
    col->setContentsMargins(4, 4, 4, 4);
    QPushButton** fields[] = {&addFileButton,         &removeFileButton,    &reloadImagesButton, &reloadAllButton,
                              &updateImagesButton,    &removeMissingButton, &selectAllButton,    &slideShowButton,
                              &printThumbnailsButton, &saveCatalogButton,   &closeCatalogButton};
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        auto* b = new QPushButton(QString::fromUtf8(kButtons[i].german), buttonPanel);
        b->setObjectName(QLatin1String(kButtons[i].name));
        *fields[i] = b;
        col->addWidget(b);
    }
    col->addStretch(1);
    auto run = [this](QPushButton* b, std::function<void()> fn) {
        connect(b, &QPushButton::clicked, this, [this, b, fn = std::move(fn)] {
            if (!Busy() || b == closeCatalogButton)
                TApplication::Guard(fn);
        });
    };
    run(addFileButton, [this] { addFilesClicked(); });
    run(removeFileButton, [this] { removeFilesClicked(); });
    run(reloadImagesButton, [this] { reloadImagesClicked(false); });
    run(reloadAllButton, [this] { reloadImagesClicked(true); });
    run(updateImagesButton, [this] { updateImagesClicked(); });
    run(removeMissingButton, [this] { removeMissingClicked(); });
    run(selectAllButton, [this] { selectAllClicked(); });
    // The slide show and the print are other features: the main window routes to them.
    run(slideShowButton, [this] {
        if (TFeatureRoutes* routes = main_ ? main_->Routes() : nullptr) {
            main_->ActivateChild(this);
            routes->CatalogSlideShow();
        }
    });
    run(printThumbnailsButton, [this] {
        if (TFeatureRoutes* routes = main_ ? main_->Routes() : nullptr)
            routes->PrintActive();
    });
    run(saveCatalogButton, [this] { saveCatalogClicked(); });
    run(closeCatalogButton, [this] { closeCatalogClicked(); });
}

void Tkataform::setCaptions()
{
    for (const ButtonText& t : kButtons)
        if (auto* b = buttonPanel->findChild<QPushButton*>(QLatin1String(t.name)))
            b->setText(QString::fromUtf8(IsEnglish() ? t.english : t.german));
    // Without routes to them, the slide show and the print stay disabled.
    const bool routed = main_ && main_->Routes();
    slideShowButton->setEnabled(routed && !Busy());
    printThumbnailsButton->setEnabled(routed && !Busy());
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
        // The option file may hold any number: the grid takes what the options dialog offers.
        thumbGrid->SetGridLineWidth(std::clamp(o.katspacing, 0, kMaxCatalogSpacing));
        thumbGrid->SetDefaultColWidth(std::clamp(o.katwidth, kMinCatalogThumbSide, kMaxCatalogThumbSide));
        thumbGrid->SetDefaultRowHeight(std::clamp(o.katheight, kMinCatalogThumbSide, kMaxCatalogThumbSide) +
                                       ((o.katflags & kfName) ? 6 : 0));
        reorder();
    }
    setCaptions();
    main_->UpdateAvailability(false);
}

TCatalogEntry Tkataform::Entry(int index) const { return TCatalogEntry::FromText(Items[size_t(index)].Text); }

QString Tkataform::Path(int index) const { return Entry(index).Path; }

int Tkataform::EntryAt(int col, int row) const
{
    if (col < 0 || row < 0)
        return -1;
    const int64_t i = int64_t(col) + int64_t(row) * thumbGrid->ColCount();
    return i < Count() ? int(i) : -1;
}

bool Tkataform::layGrid()
{
    const int cell = thumbGrid->DefaultColWidth() + thumbGrid->GridLineWidth();
    const int cols = std::max(1, (width() - buttonPanel->width()) / std::max(1, cell));
    const int rows = std::max(1, Count() / cols + (Count() % cols ? 1 : 0));
    if (cols == thumbGrid->ColCount() && rows == thumbGrid->RowCount())
        return false;
    // Each count repaints the whole grid.
    thumbGrid->SetColCount(cols);
    thumbGrid->SetRowCount(rows);
    return true;
}

void Tkataform::reorder()
{
    layGrid();
    thumbGrid->InvalidateGrid();
}

void Tkataform::reorderAfterAppend(int firstNew)
{
    // Repainting every cell after each file of a long add costs more than the file's
    // thumbnail once many are shown: while the layout stands, only the new cells are drawn.
    if (layGrid() || firstNew >= Count())
        return;
    const int cols = thumbGrid->ColCount();
    QRect dirty;
    for (int i = std::max(0, firstNew); i < Count(); ++i) {
        const TRect r = thumbGrid->CellRect(i % cols, i / cols);
        if (!r.IsEmpty())
            dirty |= QRect(r.Left, r.Top, r.Width(), r.Height());
    }
    if (!dirty.isEmpty())
        thumbGrid->viewport()->update(dirty);
}

void Tkataform::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    reorder();
}

bool Tkataform::selectedRange(TGridRect& range) const
{
    if (!hasSelection_) {
        LangMessageDlg(QStringLiteral("Es sind keine Bilder markiert."), mtInformation, mbOK,
                       QStringLiteral("No images are selected."));
        return false;
    }
    range = thumbGrid->Selection();
    return true;
}

void Tkataform::drawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    const toptions& o = main_->Options();
    if (!hasSelection_ && (state & gdSelected)) {
        // The grid always keeps a current cell; after a removal it is not shown as chosen.
        TCanvas& c = *thumbGrid->Canvas();
        c.Brush.Style = bsSolid;
        c.Brush.Color = thumbGrid->Color();
        c.Font.Color = thumbGrid->GridFont.Color;
        c.FillRect(rect);
    }
    drawEntry(*thumbGrid->Canvas(), rect, o.katflags, o.katfontsize, EntryAt(col, row));
}

void Tkataform::drawEntry(TCanvas& canvas, const TRect& rect, uint8_t flags, int fontSize, int index)
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

void Tkataform::cellDoubleClicked()
{
    const int i = EntryAt(thumbGrid->Col(), thumbGrid->Row());
    if (i < 0)
        return;
    main_->OpenFiles(QStringList{Path(i)});
}

void Tkataform::showProgress(QObject* sender, int percent)
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
    if (watched == thumbGrid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        FormKeyPress(QChar(27));
    return QWidget::eventFilter(watched, event);
}

bool Tkataform::RefuseWhileBusy() const
{
    if (!Busy())
        return false;
    LangMessageDlg(QStringLiteral("Der Katalog arbeitet noch. Bitte warten Sie, bis er fertig ist, oder brechen "
                                  "Sie mit Esc ab."),
                   mtInformation, mbOK,
                   QStringLiteral("The catalog is still working. Please wait until it has finished, or stop it "
                                  "with Esc."));
    return true;
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
    emit form_.Idle();
    if (std::exchange(form_.closePending_, false)) {
        // The close asked for during the loop, now that nothing refers to the window.
        Tkataform* form = &form_;
        QTimer::singleShot(0, form, [form] { form->closeCatalogClicked(); });
    }
}

void Tkataform::setCommandsEnabled(bool enabled)
{
    for (QPushButton* b : buttonPanel->findChildren<QPushButton*>())
        if (b != closeCatalogButton)
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
        if (answer == mrYes && (!saveCatalogClicked() || Modified))
            return false;
    }
    main_->UpdateAvailability(true);
    return true;
}

void Tkataform::closeCatalogClicked()
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

namespace {
QList<Tkataform*> busyCatalogs(TMainWindowServices& mainWindow)
{
    QList<Tkataform*> busy;
    for (QWidget* w : mainWindow.MDIChildren())
        if (auto* k = qobject_cast<Tkataform*>(w); k && k->Busy())
            busy << k;
    return busy;
}
}  // namespace

bool CatalogsHoldTheClose(TMainWindowServices& mainWindow)
{
    const QList<Tkataform*> busy = busyCatalogs(mainWindow);
    if (busy.isEmpty())
        return false;
    if (LangMessageDlg(QStringLiteral("Der Katalog fügt noch Bilder hinzu oder lädt sie. Soll er abbrechen und "
                                      "das Programm danach beendet werden?"),
                       mtConfirmation, mbYes | mbNo,
                       QStringLiteral("The catalog is still adding or loading images. Stop it and close the "
                                      "program afterwards?")) != mrYes)
        return true;
    TMainWindowServices* main = &mainWindow;
    for (Tkataform* k : busy) {
        k->Aborting = true;
        // Queued: the loop that kept the window busy has returned by then.
        QObject::connect(
            k, &Tkataform::Idle, main->Window(),
            [main] {
                if (busyCatalogs(*main).isEmpty())
                    main->Window()->close();
            },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    }
    return true;
}

void ConnectCatalogMenu(TMainWindowServices& mainWindow)
{
    using Command = void (*)(Tkataform&);
    const std::pair<const char*, Command> commands[] = {
        {ObjectName::MainWindow::Katalogspeichern1, [](Tkataform& k) { k.saveCatalogClicked(); }},
        {ObjectName::MainWindow::Katalogspeichernals1, [](Tkataform& k) { k.saveCatalogAsClicked(); }},
        {ObjectName::MainWindow::Dateihinzufgen1, [](Tkataform& k) { k.addFilesClicked(); }},
        {ObjectName::MainWindow::Dateientfernen1, [](Tkataform& k) { k.removeFilesClicked(); }},
        {ObjectName::MainWindow::Bilderneuladen1, [](Tkataform& k) { k.reloadImagesClicked(false); }},
        {ObjectName::MainWindow::AlleBilderneuladen1, [](Tkataform& k) { k.reloadImagesClicked(true); }},
        {ObjectName::MainWindow::Bilderneuladen2, [](Tkataform& k) { k.updateImagesClicked(); }},
        {ObjectName::MainWindow::nichtexistierendeBilderentfernen1, [](Tkataform& k) { k.removeMissingClicked(); }},
        {ObjectName::MainWindow::Allemarkieren1, [](Tkataform& k) { k.selectAllClicked(); }},
        {ObjectName::MainWindow::Katalogschliessen1, [](Tkataform& k) { k.closeCatalogClicked(); }},
    };
    TMainWindowServices* main = &mainWindow;
    for (const auto& entry : commands) {
        const auto command = entry.second;  // captured by value below
        // Only closing goes through while the window is busy; it waits for the loop.
        const bool whileBusy = entry.first == ObjectName::MainWindow::Katalogschliessen1;
        QAction* a = mainWindow.Item(QLatin1String(entry.first));
        if (!a)
            continue;
        const QVariant avail = a->property("kAvailable");
        a->setEnabled(!avail.isValid() || avail.toBool());
        QObject::connect(a, &QAction::triggered, main->Window(), [main, command, whileBusy] {
            auto* k = qobject_cast<Tkataform*>(main->ActiveMDIChild());
            if (k && (whileBusy || !k->RefuseWhileBusy()))
                TApplication::Guard([&] { command(*k); });
        });
    }
}
