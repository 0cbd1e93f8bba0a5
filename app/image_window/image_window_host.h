// What an image window asks of the window it lives in (TImageWindowHost).
#pragma once
#include "platform/core/color.h"

#include <QString>

class QObject;
class QWidget;
class TBitmap;
class Tchild;
struct toptions;
enum class TSaveOutcome;

// The mouse modes in the order of their buttons; the values are stored in the option file.
enum TMouseMode : int { mmDraw = 0, mmRectangle = 1, mmPolygon = 2, mmCircle = 3, mmHand = 4, mmZoom = 5 };
constexpr int kMouseModeCount = 6;

// The main window as its image windows see it: the settings, the bars' state and the
// commands a window starts on itself.
class TImageWindowHost {
public:
    virtual toptions& Options() = 0;
    virtual void UpdateAvailability(bool closing) = 0;
    virtual void ShowProgress(QObject* sender, int percent) = 0;
    virtual void ActivateChild(QWidget* child) = 0;
    // Saves the image as the menu's Save does (an untitled one asks for its name).
    virtual TSaveOutcome SaveImage(Tchild* image) = 0;
    // Runs the close command for image, so that a recording keeps it.
    virtual void RecordClose(Tchild* image) = 0;
    // The window's frame fitted to its new image size, in both passes.
    virtual void FitWindowToImageTwice(QObject* sender, Tchild* image) = 0;

    // What the view menu and the zoom box show.
    virtual bool RulersShown() const = 0;
    virtual bool StatusLineShown() const = 0;
    virtual void ShowZoomText(const QString& text) = 0;

    // The drawing bar: mouse mode and tool (−1 when none is down), colours, fill
    // pattern, the text tool's text.
    virtual int CurrentMouseMode() const = 0;
    virtual int CurrentTool() const = 0;
    virtual bool InDrawingMode() const = 0;
    virtual TColor DrawingPenColor() const = 0;
    virtual TColor DrawingFillColor() const = 0;
    virtual void PickPenColor(TColor color) = 0;
    virtual void PickFillColor(TColor color) = 0;
    virtual const TBitmap* DrawingFillPattern() const = 0;
    virtual QString DrawingText() const = 0;
    // The selection of the active image dropped, as the select-nothing command does.
    virtual void DropSelection() = 0;

protected:
    ~TImageWindowHost() = default;
};
