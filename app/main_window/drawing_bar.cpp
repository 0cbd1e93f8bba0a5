// The drawing bar: its controls, the mouse modes and tools, and the drawing settings it shows.
#include "app/main_window/drawing_bar.h"

#include "app/forms/color_select_dialog.h"
#include "app/image_window/drawing_style_picker.h"
#include "app/image_window/image_window.h"
#include "app/main_window/bar_wiring.h"
#include "app/main_window/main_window.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
#include "app/text/translation.h"
#include "controls/combos/kit_combos.h"
#include "controls/edits/spin_edit.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/number_format.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/cursors.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/image_control.h"

#include <QAction>
#include <QButtonGroup>
#include <QEvent>
#include <QFileInfo>
#include <QFontDialog>
#include <QFrame>
#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <span>

namespace {

namespace mw = ObjectName::MainWindow;

struct ButtonDef {
    const char* name;
    const char* hint;
};

// In code order 0 … 5 (draw, rectangle, polygon, circle, hand, zoom).
const ButtonDef modeButtons[] = {
    {mw::speedbutton30, "Zeichnen"},
    {mw::SpeedButton5, "Rechteckigen Bereich auswälen"},
    {mw::SpeedButton34, "Polygonauswahl"},
    {mw::SpeedButton33, "Kreisauswahl"},
    {mw::SpeedButton6, "Hand"},
    {mw::SpeedButton7, "Zoom"},
};
const char* const modeItems[] = {mw::Zeichenen1,      mw::Bereichauswhlen1,
                                 mw::Polygonauswahl1, mw::Kreisauswahl1,
                                 mw::Hand1,           mw::Zoom1};

// In code order 0 … 9.
constexpr int kToolCount = 10;
const ButtonDef toolButtons[] = {
    {mw::PenButton, "Stift"},
    {mw::SpeedButton36, "Linie"},
    {mw::SpeedButton63, "Rechteck / Quadrat"},
    {mw::SpeedButton64, "Ellipse / Kreis"},
    {mw::SpeedButton65, "Rundes Rechteck"},
    {mw::fillbutton, "Farbfüllen"},
    {mw::SpeedButton31, "Text"},
    {mw::SpeedButton55, "Farbe übernehmen"},
    {mw::SpeedButton56, "Rote Augen entfernen"},
    {mw::SpeedButton38, "Mit Bildkopie malen"},
};
const char* const toolItems[] = {mw::Stift1,
                                 mw::Linie2,
                                 mw::Rechteck1,
                                 mw::Kreis1,
                                 mw::RundesRechteck1,
                                 mw::Fllen2,
                                 mw::Text1,
                                 mw::Farbebernehmen1,
                                 mw::RoteAugenentfernen1,
                                 mw::mitBildkopiemalen1};

static_assert(std::size(modeButtons) == kMouseModeCount && std::size(modeItems) == kMouseModeCount);
static_assert(std::size(toolButtons) == kToolCount && std::size(toolItems) == kToolCount);

// A click on a plain panel.
class TPanelClick : public QObject {
public:
    TPanelClick(QObject* owner, std::function<void()> click) : QObject(owner), click_(std::move(click)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease && qobject_cast<QWidget*>(watched)->isEnabled()) {
            TApplication::Guard(click_);
            return true;
        }
        return false;
    }

private:
    std::function<void()> click_;
};

void centred(TImage* image, const TBitmap& sample)
{
    TBitmap* bmp = image->PictureBitmap();
    TCanvas* c = bmp->Canvas();
    c->Brush.Style = bsSolid;
    c->Brush.Color = clBtnFace;
    c->FillRect(TRect(0, 0, bmp->Width(), bmp->Height()));
    c->Draw((bmp->Width() - sample.Width()) / 2, (bmp->Height() - sample.Height()) / 2, sample);
    bmp->Changed();
}

void setPanelColor(QFrame* panel, TColor c)
{
    panel->setProperty("Color", int(c));
    panel->setStyleSheet(QStringLiteral("background-color: %1;").arg(ToQColor(c).name()));
}

}  // namespace

bool ChooseColor(QWidget* parent, TColor start, TColor& chosen)
{
    TfColorSel d(parent);
    TranslateForm(QLatin1String(ObjectName::ColorSelectDialog::Form), &d);
    TfColorSel::StartColor = start;
    if (d.exec() != mrOk)
        return false;
    chosen = d.Color();
    return true;
}

TDrawingBar::TDrawingBar(Tform1& form, QToolBar* bar) : form_(form), bar_(bar)
{
    bar_->setMovable(false);
    // One exclusive group a row of buttons, each button's id its code.
    auto group = [this](std::span<const ButtonDef> buttons, const std::function<void(int)>& clicked) {
        auto* g = new QButtonGroup(&form_);
        g->setExclusive(true);
        for (int i = 0; i < int(buttons.size()); ++i) {
            QToolButton* b = MakeBarButton(bar_, buttons[size_t(i)].name, buttons[size_t(i)].hint, true);
            g->addButton(b, i);
            WireButton(&form_, b, [clicked, i] { clicked(i); });
        }
        bar_->addSeparator();
        return g;
    };
    modeGroup_ = group(modeButtons, [this](int code) { SelectMouseMode(code); });
    toolGroup_ = group(toolButtons, [this](int code) { toolClicked(ToolButton(code)); });
    buildSettings();
    wireItems();
}

void TDrawingBar::buildSettings()
{
    auto picture = [this](const char* name, const char* hint, int w, int h) {
        auto* img = new TImage(bar_);
        img->setObjectName(QString::fromLatin1(name));
        img->setToolTip(QString::fromUtf8(hint));
        img->setFixedSize(w, h);
        img->PictureBitmap()->SetSize(w, h);
        bar_->addWidget(img);
        return img;
    };
    lineStylePicture_ = picture(mw::clearpen, "Linienart", 40, 20);
    lineWidthEdit_ = new TKitSpinEdit(bar_);
    lineWidthEdit_->setObjectName(QLatin1String(mw::spinedit1));
    lineWidthEdit_->setToolTip(QStringLiteral("Linienbreite"));
    lineWidthEdit_->setFixedSize(48, 22);
    lineWidthEdit_->SetButtonKind(bkStandard);
    lineWidthEdit_->setText(QString::number(std::max(1, form_.options.linewidth)));
    lineWidthEdit_->OnChange = [this](TObject*) { TApplication::Guard([this] { lineWidthChanged(); }); };
    bar_->addWidget(lineWidthEdit_);
    auto panel = [this](const char* name, const char* hint) {
        auto* p = new QFrame(bar_);
        p->setObjectName(QString::fromLatin1(name));
        p->setToolTip(QString::fromUtf8(hint));
        p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        p->setFixedSize(22, 20);
        p->setAutoFillBackground(true);
        bar_->addWidget(p);
        return p;
    };
    penColorPanel_ = panel(mw::Panel5, "Malfarbe");
    fillColorPanel_ = panel(mw::Panel6, "Füllfarbe");
    fillStylePicture_ = picture(mw::Image2, "Füllart", 40, 20);
    brushStylePicture_ = picture(mw::pinselartn, "Pinselart", 24, 20);
    lineStylePicture_->OnClick = [this](TObject*) {
        TApplication::Guard([this] { stylePictureClicked(0, lineStylePicture_); });
    };
    fillStylePicture_->OnClick = [this](TObject*) {
        TApplication::Guard([this] { stylePictureClicked(1, fillStylePicture_); });
    };
    brushStylePicture_->OnClick = [this](TObject*) {
        TApplication::Guard([this] { stylePictureClicked(2, brushStylePicture_); });
    };
    bar_->addSeparator();
    fontCombo_ = new TFontComboBox(bar_);
    fontCombo_->setObjectName(QLatin1String(mw::FontComboBox1));
    fontCombo_->setToolTip(QStringLiteral("Schriftart festlegen"));
    fontCombo_->setFixedWidth(130);
    fontCombo_->OnChange = [this](TObject*) {
        TApplication::Guard([this] { form_.options.fontname = fontCombo_->FontName(); });
    };
    bar_->addWidget(fontCombo_);
    textEdit_ = new QLineEdit(bar_);
    textEdit_->setObjectName(QLatin1String(mw::Edit1));
    textEdit_->setToolTip(QStringLiteral("Textinhalt"));
    textEdit_->setFixedWidth(100);
    QObject::connect(textEdit_, &QLineEdit::textChanged, &form_,
                     [this] { TApplication::Guard([this] { form_.options.texttext = textEdit_->text(); }); });
    bar_->addWidget(textEdit_);
}

void TDrawingBar::wireItems()
{
    for (int i = 0; i < kMouseModeCount; ++i) {
        QAction* a = form_.Item(QString::fromLatin1(modeItems[i]));
        a->setCheckable(true);
        WireItem(&form_, a, [this, i] { SelectMouseMode(i); });
    }
    for (int i = 0; i < kToolCount; ++i) {
        QAction* a = form_.Item(QString::fromLatin1(toolItems[i]));
        a->setCheckable(true);
        WireItem(&form_, a, [this, i] { SelectTool(i); });
    }
    WireItem(&form_, form_.Item(QLatin1String(mw::Linienbreite1)), [this] { lineWidthClicked(); });
    WireItem(&form_, form_.Item(QLatin1String(mw::Schriftartfestlegen1)), [this] { chooseFontClicked(); });
    WireItem(&form_, form_.Item(QLatin1String(mw::Malfarbe1)), [this] { penColorClicked(); });
    WireItem(&form_, form_.Item(QLatin1String(mw::Fllfarbe1)), [this] { fillColorClicked(); });
    penColorPanel_->installEventFilter(new TPanelClick(penColorPanel_, [this] { penColorClicked(); }));
    fillColorPanel_->installEventFilter(new TPanelClick(fillColorPanel_, [this] { fillColorClicked(); }));
    WireItem(&form_, form_.Item(QLatin1String(mw::Textinhaltfestlegen1)), [this] { enterTextClicked(); });
    // The style items open the picker at the page of their drawing-bar picture.
    WireItem(&form_, form_.Item(QLatin1String(mw::Linienart1)), [this] { stylePictureClicked(0, lineStylePicture_); });
    WireItem(&form_, form_.Item(QLatin1String(mw::Fllart1)), [this] { stylePictureClicked(1, fillStylePicture_); });
    WireItem(&form_, form_.Item(QLatin1String(mw::Pinselart1)), [this] { stylePictureClicked(2, brushStylePicture_); });
}

QToolButton* TDrawingBar::MouseModeButton(int code) const
{
    return qobject_cast<QToolButton*>(modeGroup_->button(code));
}

QToolButton* TDrawingBar::ToolButton(int code) const { return qobject_cast<QToolButton*>(toolGroup_->button(code)); }

int TDrawingBar::MouseModeCode() const
{
    for (int i = 0; i < kMouseModeCount; ++i)
        if (MouseModeButton(i)->isChecked())
            return i;
    return -1;
}

int TDrawingBar::ToolCode() const
{
    for (int i = 0; i < kToolCount; ++i)
        if (ToolButton(i)->isChecked())
            return i;
    return -1;
}

bool TDrawingBar::DrawingMode() const { return MouseModeButton(mmDraw)->isChecked(); }

void TDrawingBar::ApplyMouseMode()
{
    const int mode = MouseModeCode();
    if (mode < 0)
        return;
    struct Mode {
        TIKMouseInteract interact;
        int cursor;
    };
    static const Mode modes[kMouseModeCount] = {
        {0, TImageKitView::crCross2},      {miSelect, crArrow},
        {miSelectPolygon, crArrow},        {miSelectCircle, crArrow},
        {miScroll, TImageKitView::crHand}, {miZoom, TImageKitView::crZoomIn},
    };
    for (QWidget* w : form_.MDIChildren()) {
        if (auto* child = qobject_cast<Tchild*>(w)) {
            child->imageKit->SetMouseInteract(modes[mode].interact);
            child->imageKit->SetCursor(modes[mode].cursor);
        }
    }
    for (int i = 0; i < kMouseModeCount; ++i)
        form_.Item(QString::fromLatin1(modeItems[i]))->setChecked(i == mode);
}

void TDrawingBar::SelectMouseMode(int code)
{
    if (QToolButton* b = MouseModeButton(code)) {
        b->setChecked(true);
        ApplyMouseMode();
    }
}

void TDrawingBar::toolClicked(QToolButton* toolButton)
{
    MouseModeButton(mmDraw)->setChecked(true);
    ApplyMouseMode();
    for (int i = 0; i < kToolCount; ++i)
        if (ToolButton(i) == toolButton)
            SelectTool(i);
}

void TDrawingBar::SelectTool(int code)
{
    QToolButton* b = ToolButton(code);
    if (!b)
        return;
    b->setChecked(true);
    MouseModeButton(mmDraw)->setChecked(true);
    for (int i = 0; i < kToolCount; ++i)
        form_.Item(QString::fromLatin1(toolItems[i]))->setChecked(i == code);
    ApplyMouseMode();
}

void TDrawingBar::RestoreModesAndTools()
{
    if (QToolButton* tool = ToolButton(form_.options.tool)) {
        tool->setChecked(true);
        toolClicked(tool);
    }
    if (QToolButton* mode = MouseModeButton(form_.options.mousemode)) {
        mode->setChecked(true);
        ApplyMouseMode();
    }
}

void TDrawingBar::UpdateBrushAndPen()
{
    toptions& options = form_.options;
    Tzeichenform* picker = form_.zeichenform();
    centred(lineStylePicture_, picker->LineStyleSample(options.linestyle));
    centred(brushStylePicture_, picker->BrushSample(options.brushsize));

    TBitmap* fill = fillStylePicture_->PictureBitmap();
    TCanvas* c = fill->Canvas();
    c->Brush.Style = bsSolid;
    c->Brush.Color = clBtnFace;
    c->FillRect(TRect(0, 0, fill->Width(), fill->Height()));
    const TRect area(0, 0, lineStylePicture_->PictureBitmap()->Width(), lineStylePicture_->PictureBitmap()->Height());
    if (options.fillstyle >= 0 && options.fillstyle <= 7) {
        c->StretchDraw(area, picker->FillSample(options.fillstyle));
    } else if (options.fillstyle == 8) {
        fillPattern_.SetSize(0, 0);
        // A missing or unreadable pattern file leaves the sample blank.
        if (QFileInfo(options.fillpattern).isFile()) {
            try {
                TImageKitIO io;
                io.SetAttachedBitmap(&fillPattern_);
                io.LoadFromFile(options.fillpattern);
            } catch (const std::exception&) {
                fillPattern_.SetSize(0, 0);
            }
        }
        if (!fillPattern_.Empty())
            c->StretchDraw(area, fillPattern_);
    }
    fill->Changed();
    lineWidthEdit_->setText(QString::number(options.linewidth));
    setPanelColor(penColorPanel_, TColor(options.pencolor));
    setPanelColor(fillColorPanel_, TColor(options.fillcolor));
}

void TDrawingBar::lineWidthChanged()
{
    long long width = 0;
    if (!TryStrToInt(lineWidthEdit_->text(), width) || width <= 1) {
        width = 1;
        // Only rewrite when needed: setText would re-enter this handler.
        if (lineWidthEdit_->text() != QLatin1String("1"))
            lineWidthEdit_->setText(QStringLiteral("1"));
    }
    form_.options.linewidth = int(std::min<long long>(width, INT32_MAX));
}

void TDrawingBar::lineWidthClicked()
{
    QString value = lineWidthEdit_->text();
    if (InputQuery(LangText(QStringLiteral("Linienbreite festlegen"), QStringLiteral("Set line width")),
                   LangText(QStringLiteral("Bitte Linienbreite eingeben:"), QStringLiteral("Please enter line width")),
                   value))
        lineWidthEdit_->setText(value);
}

void TDrawingBar::enterTextClicked()
{
    QString value = textEdit_->text();
    if (InputQuery(LangText(QStringLiteral("Texinhalt festlegen"), QStringLiteral("Set text")),
                   LangText(QStringLiteral("Bitte Textinhalt eingeben:"), QStringLiteral("Please enter text")), value))
        textEdit_->setText(value);
}

QString TDrawingBar::Text() const { return textEdit_->text(); }
void TDrawingBar::SetText(const QString& text) { textEdit_->setText(text); }
void TDrawingBar::SetFontName(const QString& name) { fontCombo_->SetFontName(name); }

void TDrawingBar::chooseFontClicked()
{
    toptions& options = form_.options;
    QFont font(options.fontname);
    font.setPointSize(options.fontsize > 0 ? options.fontsize : 10);
    font.setBold(options.fontstyle & 1);
    font.setItalic(options.fontstyle & 2);
    font.setUnderline(options.fontstyle & 4);
    font.setStrikeOut(options.fontstyle & 8);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, &form_);
    if (!ok)
        return;
    fontCombo_->SetFontName(chosen.family());
    options.fontname = chosen.family();
    options.fontsize = chosen.pointSize();
    options.fontstyle = uint8_t((chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) | (chosen.underline() ? 4 : 0) |
                                (chosen.strikeOut() ? 8 : 0));
}

TColor TDrawingBar::PenColor() const { return TColor(penColorPanel_->property("Color").toInt()); }
TColor TDrawingBar::FillColor() const { return TColor(fillColorPanel_->property("Color").toInt()); }

void TDrawingBar::SetPenColor(TColor c)
{
    setPanelColor(penColorPanel_, c);
    form_.options.pencolor = uint32_t(c);
}

void TDrawingBar::SetFillColor(TColor c)
{
    setPanelColor(fillColorPanel_, c);
    form_.options.fillcolor = uint32_t(c);
}

void TDrawingBar::penColorClicked()
{
    TColor chosen;
    if (ChooseColor(&form_, PenColor(), chosen))
        SetPenColor(ColorToRGB(chosen));
}

void TDrawingBar::fillColorClicked()
{
    TColor chosen;
    if (ChooseColor(&form_, FillColor(), chosen))
        SetFillColor(ColorToRGB(chosen));
}

void TDrawingBar::stylePictureClicked(int page, QWidget* picture)
{
    Tzeichenform* picker = form_.zeichenform();
    picker->PageNumber = page;
    // From the menu with the drawing bar hidden the picker opens where the dialog system puts it.
    if (picture->isVisible())
        picker->move(picture->mapToGlobal(QPoint(picture->width(), 2 * picture->height())));
    picker->exec();
    UpdateBrushAndPen();
}
