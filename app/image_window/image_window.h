#pragma once
#include "platform/core/geometry.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/control.h"

#include <QWidget>
#include <cstdint>

class QStatusBar;
class TImageKit;
class TRulerBox;
class Tform1;

// The shape of the current drag or stroke, shared by every image window: 0 line,
// 1 rectangle, 2 square, 3 ellipse, 4 circle, 5 rounded rectangle, 6 rounded square,
// 7 pen brush, 8 red-eye brush, 9 clone brush.
extern uint8_t ShapeKind;

// The image window: one image component with a ruler below and one to the right, a
// status line, and the drawing tools of the main window's drawing bar.
class Tchild : public QWidget {
    Q_OBJECT
public:
    explicit Tchild(Tform1* mainWindow, QWidget* parent = nullptr);
    ~Tchild() override;

    TImageKit* imageKit = nullptr;
    TRulerBox* horizontalRuler = nullptr;   // horizontal, below the image
    TRulerBox* verticalRuler = nullptr;   // vertical, right of the image
    QStatusBar* statusBar = nullptr;

    double LastX = 0, LastY = 0;      // pointer in ruler units
    TPoint ShapeStart, ShapeEnd;      // bitmap coordinates
    bool ShapeDragging = false;
    bool BrushStroke = false;
    TPoint CloneSource{-1, -1};
    TPoint CloneStrokeStart;
    bool Modified = false;

    void FormCreate();
    void FormActivate();
    // False when the window stays open (Cancel, or the save did not happen).
    bool FormClose();

    void viewChanged(QObject* sender, int change);
    void ImageKit1Progress(QObject* sender, int percent);
    void imageMouseDown(QObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void imageMouseMove(QObject* sender, TShiftState shift, int x, int y);
    void imageMouseUp(QObject* sender, TMouseButton button, TShiftState shift, int x, int y);

    void DrawShape(TPoint start, TPoint end, TPenMode mode);
    void drawWithBrush(int x, int y, TColor c);
    // The colour the current brush tool gives pixel (x, y); clNone leaves it alone.
    TColor PaintBrushDab(int x, int y);

    Tform1* MainWindow() const { return main_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void statusLine(int x, int y);
    // Writes the status line again when the image's size no longer is the one it shows.
    void refreshStatusSize();
    void prepareCanvas(TCanvas& c);
    Tform1* main_;
    TPoint statusPos_{0, 0};      // bitmap coordinates the status line shows
    int statusWidth_ = -1, statusHeight_ = -1;
};
