// Mouse modes, drawing tools, bars and the drawing bar's samples of the main window.
#include "app/image_window/image_window.h"
#include "app/main_window/main_window.h"
#include "app/image_window/drawing_style_picker.h"
#include "app/text/language.h"
#include "app/text/object_names.h"
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

void Tform1::mouseModeClicked()
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
    for (QWidget* w : MDIChildren()) {
        if (auto* child = qobject_cast<Tchild*>(w)) {
            child->imageKit->SetMouseInteract(modes[mode].interact);
            child->imageKit->SetCursor(modes[mode].cursor);
        }
    }
    for (int i = 0; i < kMouseModeCount; ++i)
        Item(MouseModeItemName(i))->setChecked(i == mode);
}

void Tform1::SelectMouseMode(int code)
{
    if (QToolButton* b = MouseModeButton(code)) {
        b->setChecked(true);
        mouseModeClicked();
    }
}

void Tform1::toolClicked(QToolButton* toolButton)
{
    MouseModeButton(mmDraw)->setChecked(true);
    mouseModeClicked();
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
    mouseModeClicked();
}

void Tform1::restoreModesAndTools()
{
    if (QToolButton* tool = ToolButton(options.tool)) {
        tool->setChecked(true);
        toolClicked(tool);
    }
    if (QToolButton* mode = MouseModeButton(options.mousemode)) {
        mode->setChecked(true);
        mouseModeClicked();
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

}  // namespace

void Tform1::updateBrushAndPen()
{
    centred(lineStylePicture, zeichenform_->LineStyleSample(options.linestyle));
    centred(brushStylePicture, zeichenform_->BrushSample(options.brushsize));

    TBitmap* fill = fillStylePicture->PictureBitmap();
    TCanvas* c = fill->Canvas();
    c->Brush.Style = bsSolid;
    c->Brush.Color = clBtnFace;
    c->FillRect(TRect(0, 0, fill->Width(), fill->Height()));
    const TRect area(0, 0, lineStylePicture->PictureBitmap()->Width(), lineStylePicture->PictureBitmap()->Height());
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
    lineWidthEdit->setText(QString::number(options.linewidth));
    setPanelColor(penColorPanel, TColor(options.pencolor));
    setPanelColor(fillColorPanel, TColor(options.fillcolor));
}

void Tform1::lineWidthChanged()
{
    long long width = 0;
    if (!TryStrToInt(lineWidthEdit->text(), width) || width <= 1) {
        width = 1;
        // Only rewrite when needed: setText would re-enter this handler.
        if (lineWidthEdit->text() != QLatin1String("1"))
            lineWidthEdit->setText(QStringLiteral("1"));
    }
    options.linewidth = int(std::min<long long>(width, INT32_MAX));
}

void Tform1::lineWidthClicked()
{
    QString value = lineWidthEdit->text();
    if (InputQuery(LangText(QStringLiteral("Linienbreite festlegen"), QStringLiteral("Set line width")),
                   LangText(QStringLiteral("Bitte Linienbreite eingeben:"), QStringLiteral("Please enter line width")),
                   value))
        lineWidthEdit->setText(value);
}

void Tform1::drawingTextChanged() { options.texttext = drawingTextEdit->text(); }

void Tform1::drawingFontChanged() { options.fontname = drawingFontCombo->FontName(); }

void Tform1::enterTextClicked()
{
    QString value = drawingTextEdit->text();
    if (InputQuery(LangText(QStringLiteral("Texinhalt festlegen"), QStringLiteral("Set text")),
                   LangText(QStringLiteral("Bitte Textinhalt eingeben:"), QStringLiteral("Please enter text")), value))
        drawingTextEdit->setText(value);
}

TColor Tform1::PenColor() const { return TColor(penColorPanel->property("Color").toInt()); }
TColor Tform1::FillColor() const { return TColor(fillColorPanel->property("Color").toInt()); }

void Tform1::SetPenColor(TColor c)
{
    setPanelColor(penColorPanel, c);
    options.pencolor = uint32_t(c);
}

void Tform1::SetFillColor(TColor c)
{
    setPanelColor(fillColorPanel, c);
    options.fillcolor = uint32_t(c);
}

// The pattern file's own picture, not the stretched sample of the drawing bar: the
// brush repeats it at its own size.
const TBitmap* Tform1::FillPatternBitmap() const { return &fillPattern_; }

void Tform1::stylePictureClicked(int page, QWidget* picture)
{
    zeichenform_->PageNumber = page;
    // From the menu with the drawing bar hidden the picker opens where the dialog system puts it.
    if (picture->isVisible())
        zeichenform_->move(picture->mapToGlobal(QPoint(picture->width(), 2 * picture->height())));
    zeichenform_->exec();
    updateBrushAndPen();
}

void Tform1::standardBarClicked()
{
    QAction* a = Item(QLatin1String(ObjectName::MainWindow::Standardleiste1));
    const bool on = !options.standardbar;
    a->setChecked(on);
    options.standardbar = on;
    standardBar->setVisible(on);
}

void Tform1::drawingBarClicked()
{
    QAction* a = Item(QLatin1String(ObjectName::MainWindow::Zeichenleiste1));
    const bool on = !options.drawbar;
    a->setChecked(on);
    options.drawbar = on;
    drawingBar->setVisible(on);
}

void Tform1::rulerClicked()
{
    QAction* a = Item(QLatin1String(ObjectName::MainWindow::Lineal1));
    const bool on = !a->property("kShown").toBool();
    a->setProperty("kShown", on);
    a->setChecked(on);
    options.rulers = on;
    for (QWidget* w : MDIChildren())
        if (auto* child = qobject_cast<Tchild*>(w)) {
            child->horizontalRuler->setVisible(on);
            child->verticalRuler->setVisible(on);
        }
}

void Tform1::statusBarClicked()
{
    QAction* a = Item(QLatin1String(ObjectName::MainWindow::Statusleiste1));
    const bool on = !a->property("kShown").toBool();
    a->setProperty("kShown", on);
    a->setChecked(on);
    options.statusbar = on;
    // The layout keeps the bottom ruler above the status bar.
    for (QWidget* w : MDIChildren())
        if (auto* child = qobject_cast<Tchild*>(w))
            child->statusBar->setVisible(on);
}
