// The base of every image view (TIKView).
#pragma once
#include "platform/core/color.h"
#include "platform/ui/control.h"

#include <vector>

class TBitmap;
class TIKView;

// A bitmap-change listener: procedure and data, called as procedure(data, view).
using TIKBitmapChangeProc = void (*)(void* data, TIKView* view);

// Base of every image view: background colour, border style, resolution and the list of
// bitmap-change listeners. Processing and input/output objects join the list when they
// attach to a view and leave it when they are freed.
class TIKView : public TCustomControl {
    Q_OBJECT
public:
    explicit TIKView(QWidget* owner = nullptr);
    ~TIKView() override;

    TBorderStyle BorderStyle() const { return FrameStyle(); }
    void SetBorderStyle(TBorderStyle style);

    void AddBitmapChangeListener(TIKBitmapChangeProc proc, void* data);
    // Removes the first entry with both equal; nothing when none matches.
    void RemoveBitmapChangeListener(TIKBitmapChangeProc proc, void* data);
    void CallBitmapChangeListeners();
    int BitmapChangeListenerCount() const { return int(listeners_.size()); }

    TColor Background() const { return background_; }
    virtual void SetBackground(TColor color);

    // The image shown; none in the base class.
    virtual TBitmap* GetBitmap();

    int DpiX() const { return dpiX_; }
    int DpiY() const { return dpiY_; }
    virtual void SetDpiX(int dpi);
    virtual void SetDpiY(int dpi);
    virtual void SetDpi(int x, int y);

    virtual void ImageChanged();
    // The layout step after a change of bitmap, zoom, size or style.
    virtual void Update() {}

protected:
    TColor background_ = clBtnFace;

private:
    struct Listener {
        TIKBitmapChangeProc proc;
        void* data;
    };
    std::vector<Listener> listeners_;
    int dpiX_ = 0;
    int dpiY_ = 0;
};

// Screen resolution read once, as the views take it for their DpiX/DpiY.
int ScreenPixelsPerInchX();
int ScreenPixelsPerInchY();
