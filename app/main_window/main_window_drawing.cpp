// Mouse modes, drawing tools, bars and the drawing bar's samples of the main window.
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/image_window/drawing_style_picker.h"
#include "app/text/language.h"
#include "controls/combos/kit_combos.h"
#include "controls/edits/spin_edit.h"
#include "imaging/io/image_kit_io.h"
#include "imaging/kit/image_kit.h"
#include "imaging/ruler/ruler_box.h"
#include "platform/graphics/canvas.h"
#include "platform/core/number_format.h"
#include "platform/graphics/cursors.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/image_control.h"

#include <QAction>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cstdint>

int Tform1::MouseModeCode() const
{
    for (int i = 0; i < kMouseModeCount; ++i)
        if (MouseModeButton(i)->isChecked())
            return i;
    return -1;
}

int Tform1::ToolCode() const
{
    for (int i = 0; i < 10; ++i)
        if (ToolButton(i)->isChecked())
            return i;
    return -1;
}

bool Tform1::DrawingMode() const { return MouseModeButton(mmDraw)->isChecked(); }

void Tform1::SpeedButton5Click()
{
    const int mode = MouseModeCode();
    if (mode < 0)
        return;
    struct Mode {
        TIKMouseInteract interact;
        int cursor;
    };
    static const Mode modes[kMouseModeCount] = {
        {0, TImageKitView::crCross2},  {miSelect, crArrow},         {miSelectPolygon, crArrow},
        {miSelectCircle, crArrow},     {miScroll, TImageKitView::crHand}, {miZoom, TImageKitView::crZoomIn},
    };
    for (QWidget* w : MDIChildren()) {
        if (auto* child = qobject_cast<Tchild*>(w)) {
            child->ImageKit1->SetMouseInteract(modes[mode].interact);
            child->ImageKit1->SetCursor(modes[mode].cursor);
        }
    }
    for (int i = 0; i < kMouseModeCount; ++i)
        Item(MouseModeItemName(i))->setChecked(i == mode);
}

void Tform1::SelectMouseMode(int code)
{
    if (QToolButton* b = MouseModeButton(code)) {
        b->setChecked(true);
        SpeedButton5Click();
    }
}

void Tform1::SpeedButton36Click(QToolButton* toolButton)
{
    MouseModeButton(mmDraw)->setChecked(true);
    SpeedButton5Click();
    for (int i = 0; i < 10; ++i)
        if (ToolButton(i) == toolButton)
            SelectTool(i);
}

void Tform1::SelectTool(int code)
{
    QToolButton* b = ToolButton(code);
    if (!b)
        return;
    b->setChecked(true);
    MouseModeButton(mmDraw)->setChecked(true);
    for (int i = 0; i < 10; ++i)
        Item(ToolItemName(i))->setChecked(i == code);
    SpeedButton5Click();
}

void Tform1::setmodueses()
{
    if (QToolButton* tool = ToolButton(options.tool)) {
        tool->setChecked(true);
        SpeedButton36Click(tool);
    }
    if (QToolButton* mode = MouseModeButton(options.mousemode)) {
        mode->setChecked(true);
        SpeedButton5Click();
    }
}

namespace {

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

} // namespace

void Tform1::updatebrushpen()
{
    centred(clearpen, zeichenform_->LineStyleSample(options.linestyle));
    centred(pinselartn, zeichenform_->BrushSample(options.brushsize));

    TBitmap* fill = Image2->PictureBitmap();
    TCanvas* c = fill->Canvas();
    c->Brush.Style = bsSolid;
    c->Brush.Color = clBtnFace;
    c->FillRect(TRect(0, 0, fill->Width(), fill->Height()));
    const TRect area(0, 0, clearpen->PictureBitmap()->Width(), clearpen->PictureBitmap()->Height());
    if (options.fillstyle >= 0 && options.fillstyle <= 7) {
        c->StretchDraw(area, zeichenform_->FillSample(options.fillstyle));
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
    spinedit1->setText(QString::number(options.linewidth));
    setPanelColor(Panel5, TColor(options.pencolor));
    setPanelColor(Panel6, TColor(options.fillcolor));
}

void Tform1::spinedit1Change()
{
    long long width = 0;
    if (!TryStrToInt(spinedit1->text(), width) || width <= 1) {
        width = 1;
        // Only rewrite when needed: setText would re-enter this handler.
        if (spinedit1->text() != QLatin1String("1"))
            spinedit1->setText(QStringLiteral("1"));
    }
    options.linewidth = int(std::min<long long>(width, INT32_MAX));
}

void Tform1::Linienbreite1Click()
{
    QString value = spinedit1->text();
    if (InputQuery(LangText(QStringLiteral("Linienbreite festlegen"), QStringLiteral("Set line width")),
                   LangText(QStringLiteral("Bitte Linienbreite eingeben:"), QStringLiteral("Please enter line width")),
                   value))
        spinedit1->setText(value);
}

void Tform1::Edit1Change() { options.texttext = Edit1->text(); }

void Tform1::FontComboBox1Change() { options.fontname = FontComboBox1->FontName(); }

void Tform1::Textinhaltfestlegen1Click()
{
    QString value = Edit1->text();
    if (InputQuery(LangText(QStringLiteral("Texinhalt festlegen"), QStringLiteral("Set text")),
                   LangText(QStringLiteral("Bitte Textinhalt eingeben:"), QStringLiteral("Please enter text")), value))
        Edit1->setText(value);
}

TColor Tform1::PenColor() const { return TColor(Panel5->property("Color").toInt()); }
TColor Tform1::FillColor() const { return TColor(Panel6->property("Color").toInt()); }

void Tform1::SetPenColor(TColor c)
{
    setPanelColor(Panel5, c);
    options.pencolor = uint32_t(c);
}

void Tform1::SetFillColor(TColor c)
{
    setPanelColor(Panel6, c);
    options.fillcolor = uint32_t(c);
}

// The pattern file's own picture, not the stretched sample of the drawing bar: the
// brush repeats it at its own size.
const TBitmap* Tform1::FillPatternBitmap() const { return &fillPattern_; }

void Tform1::StylePictureClick(int page, QWidget* picture)
{
    zeichenform_->PageNumber = page;
    // From the menu with the drawing bar hidden the picker opens where the dialog system puts it.
    if (picture->isVisible())
        zeichenform_->move(picture->mapToGlobal(QPoint(picture->width(), 2 * picture->height())));
    zeichenform_->exec();
    updatebrushpen();
}

void Tform1::Standardleiste1Click()
{
    QAction* a = Item(QStringLiteral("Standardleiste1"));
    const bool on = !options.standardbar;
    a->setChecked(on);
    options.standardbar = on;
    ToolBar1->setVisible(on);
}

void Tform1::Zeichenleiste1Click()
{
    QAction* a = Item(QStringLiteral("Zeichenleiste1"));
    const bool on = !options.drawbar;
    a->setChecked(on);
    options.drawbar = on;
    ToolBar2->setVisible(on);
}

void Tform1::Lineal1Click()
{
    QAction* a = Item(QStringLiteral("Lineal1"));
    const bool on = !a->property("kShown").toBool();
    a->setProperty("kShown", on);
    a->setChecked(on);
    options.rulers = on;
    for (QWidget* w : MDIChildren())
        if (auto* child = qobject_cast<Tchild*>(w)) {
            child->RulerBox1->setVisible(on);
            child->RulerBox2->setVisible(on);
        }
}

void Tform1::Statusleiste1Click()
{
    QAction* a = Item(QStringLiteral("Statusleiste1"));
    const bool on = !a->property("kShown").toBool();
    a->setProperty("kShown", on);
    a->setChecked(on);
    options.statusbar = on;
    // The layout keeps the bottom ruler above the status bar.
    for (QWidget* w : MDIChildren())
        if (auto* child = qobject_cast<Tchild*>(w))
            child->StatusBar1->setVisible(on);
}
