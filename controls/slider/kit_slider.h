// The bitmap slider (TKitCustomSlider, TKitSlider).
#pragma once
#include "platform/graphics/bitmap.h"
#include "platform/ui/control.h"

#include <array>
#include <memory>

class TTimer;

enum TSliderOrientation { soHorizontal, soVertical };
enum TSliderOption : unsigned {
    soShowFocus = 1u << 0,
    soShowPoints = 1u << 1,
    soSmooth = 1u << 2,
    soRulerOpaque = 1u << 3,
    soThumbOpaque = 1u << 4
};
using TSliderOptions = unsigned;
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A slider drawn from bitmaps: a ruler image stretched to the control's length (its
// edges kept, its middle repeated), a thumb that slides along it, and ticks. OnChange
// fires only when Value really changes, so two controls can mirror each other.
class TKitCustomSlider : public TCustomControl {
    Q_OBJECT
public:
    explicit TKitCustomSlider(QWidget* parent = nullptr);
    ~TKitCustomSlider() override;

    // Image indexes: 0 horizontal thumb, 1 horizontal ruler, 2 vertical thumb, 3 vertical ruler.
    const TBitmap& Image(int index) const { return *images_[index]; }
    // Null loads the built-in image again.
    void SetImage(int index, const TBitmap* bitmap);
    const TBitmap& ImageHThumb() const { return Image(0); }
    void SetImageHThumb(const TBitmap* b) { SetImage(0, b); }
    const TBitmap& ImageHRuler() const { return Image(1); }
    void SetImageHRuler(const TBitmap* b) { SetImage(1, b); }
    const TBitmap& ImageVThumb() const { return Image(2); }
    void SetImageVThumb(const TBitmap* b) { SetImage(2, b); }
    const TBitmap& ImageVRuler() const { return Image(3); }
    void SetImageVRuler(const TBitmap* b) { SetImage(3, b); }
    // Bit i set: image i was assigned by the user.
    unsigned UserImages() const { return userImages_; }

    int MinValue() const { return minValue_; }
    void SetMinValue(int v);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int v);
    // Sets both bounds at once; a range with min >= max is ignored. Code that moves a
    // range past its old one should use this rather than the two setters, one of
    // which would be refused.
    void SetRange(int min, int max);
    int Increment() const { return increment_; }
    void SetIncrement(int v);
    int Value() const { return value_; }
    void SetValue(int v);
    int EdgeSize() const { return edgeSize_; }
    void SetEdgeSize(int v);
    int NumThumbStates() const { return numThumbStates_; }
    void SetNumThumbStates(int n);
    TBevelCut BevelStyle() const { return bevelStyle_; }
    void SetBevelStyle(TBevelCut b);
    TSliderOrientation Orientation() const { return orientation_; }
    void SetOrientation(TSliderOrientation o);
    TSliderOptions Options() const { return options_; }
    void SetOptions(TSliderOptions o);
    TColor Color() const { return color_; }
    void SetColor(TColor c);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanged;
    TNotifyEvent OnDrawPoints;

    // The standard ticks with another step, for OnDrawPoints handlers; a step of 0 or
    // less draws nothing.
    virtual void DrawTicks(int step, int len, int endLen);

    // Geometry, exposed for painting handlers and tests.
    TRect ThumbRect() const { return thumbRect_; }
    TPoint RulerOrigin() const { return rulerOrigin_; }
    const TBitmap& Ruler() const { return ruler_; }
    TRect TickRect() const { return tickRect_; }
    int TickRange() const;
    int ValueToPixel(int v) const;
    int PixelToValue(int p) const;
    TTimer* RepeatTimer() const { return timer_; }
    bool Dragging() const { return dragging_; }

protected:
    virtual bool AllowChange() { return true; }
    virtual void InnerRect(TRect& r) const;
    virtual int PaintValue() { return value_; }
    virtual void RebuildLayout();
    virtual void AfterRangeChange() {}
    virtual void ThumbPress(TMouseButton button, TShiftState shift, int x, int y);
    virtual void ThumbDrag(TShiftState shift, int x, int y);
    virtual void ThumbRelease(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Change();
    virtual void Changed();

    void Paint() override;
    void Resize() override;
    void KeyDown(int& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TBitmap& image(int index) { return *images_[index]; }
    void loadDefaultImage(int index);
    void stretchRuler(const TRect& r);
    int thumbLength() const;
    int snapThumbPosition(int p) const;
    void moveThumbTo(int p);
    void invalidateThumb();
    void stepValue(int code);
    int sideOfThumb(int x, int y) const;
    void rulerRepeat();
    void stopRulerRepeat();
    void updateThumbCursor(int x, int y);

    unsigned userImages_ = 0;
    std::array<std::unique_ptr<TBitmap>, 4> images_;
    int edgeSize_ = 2;
    TBitmap ruler_;
    TPoint rulerOrigin_;
    TRect thumbRect_;
    bool thumbPressed_ = false;
    int numThumbStates_ = 2;
    TRect tickRect_;
    TSliderOrientation orientation_ = soHorizontal;
    TSliderOptions options_ = soShowFocus | soShowPoints | soSmooth;
    TBevelCut bevelStyle_ = bvNone;
    int bevelWidth_ = 1;
    int minValue_ = 0;
    int maxValue_ = 100;
    int increment_ = 10;
    int value_ = 0;
    int grabOffset_ = 0;
    bool focused_ = false;
    bool dragging_ = false;
    bool rulerTracking_ = false;
    bool timerRunning_ = false;
    TPoint lastPoint_;
    int trackDirection_ = 0;
    TColor color_ = clBtnFace;
    TTimer* timer_ = nullptr;
    bool overThumb_ = false;
};

class TKitSlider : public TKitCustomSlider {
    Q_OBJECT
public:
    using TKitCustomSlider::TKitCustomSlider;
};
