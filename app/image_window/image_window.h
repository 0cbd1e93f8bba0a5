// The image window (Tchild): an image with its rulers, drawing tools and state.
#pragma once
#include "app/document/image_document.h"
#include "app/image_window/image_window_host.h"
#include "platform/core/geometry.h"
#include "platform/graphics/canvas.h"
#include "platform/ui/control.h"

#include <QSize>
#include <QWidget>
#include <cstdint>
#include <memory>

class QStatusBar;
class TImageKit;
class TRulerBox;

// The shape of the current drag or stroke, shared by every image window. The right
// button draws the square form of a shape.
enum TShapeKind : uint8_t {
    skLine = 0,
    skRectangle = 1,
    skSquare = 2,
    skEllipse = 3,
    skCircle = 4,
    skRoundRect = 5,
    skRoundSquare = 6,
    skPenBrush = 7,
    skRedEyeBrush = 8,
    skCloneBrush = 9
};
extern TShapeKind ShapeKind;

// The image window: one image component with a ruler below and one to the right, a
// status line, and the drawing tools of the main window's drawing bar.
class Tchild : public QWidget {
    Q_OBJECT
public:
    explicit Tchild(TImageWindowHost* mainWindow, QWidget* parent = nullptr);
    ~Tchild() override;

    TImageKit* imageKit = nullptr;
    TRulerBox* horizontalRuler = nullptr;  // horizontal, below the image
    TRulerBox* verticalRuler = nullptr;    // vertical, right of the image
    QStatusBar* statusBar = nullptr;

    double LastX = 0, LastY = 0;  // pointer in ruler units
    TPoint ShapeStart, ShapeEnd;  // bitmap coordinates
    bool ShapeDragging = false;
    bool BrushStroke = false;
    TPoint CloneSource{-1, -1};
    TPoint CloneStrokeStart;

    // The image's file name, modified state and save parameters, and its one save.
    TImageDocument& Document() const { return *document_; }
    // Whether closing must ask to save first (the document's flag): the caption's
    // modified mark and the main window's commands follow it.
    bool Modified() const { return document_->Modified(); }
    void SetModified(bool modified) { document_->SetModified(modified); }

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

    TImageWindowHost* MainWindow() const { return main_; }
    // Width the status line needs to show the image's size and any pointer position whole.
    int StatusLineWidth() const;
    // The window is laid out for its image's present size; a later size change refits it.
    void LaidOutForImage();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void statusLine(int x, int y);
    QString statusText(double x, double y) const;
    double pixelsPerUnit() const;
    void imageChanged();
    // Writes the status line again when the image's size no longer is the one it shows.
    void refreshStatusSize();
    void prepareCanvas(TCanvas& c);
    TImageWindowHost* main_;
    std::unique_ptr<TImageDocument> document_;
    TPoint statusPos_{0, 0};  // bitmap coordinates the status line shows
    int statusWidth_ = -1, statusHeight_ = -1;
    QSize imageSize_;  // the size the window was last laid out for
};
