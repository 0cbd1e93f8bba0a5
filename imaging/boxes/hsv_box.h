// The HSV colour picker box (THSVBox).
#pragma once
#include "platform/graphics/bitmap.h"
#include "platform/ui/control.h"

#include <memory>

// Colour picker: saturation left to right and value bottom to top in a square for the
// current hue, and a hue bar at the right edge. Programs set it by HSV, RGB or colour;
// a pick by mouse fires OnChange.
class THSVBox : public TCustomControl {
    Q_OBJECT
public:
    explicit THSVBox(QWidget* owner = nullptr);
    ~THSVBox() override;

    int Hue() const { return hue_; }
    int Sat() const { return sat_; }
    int Val() const { return val_; }
    void SetHue(int v);
    void SetSat(int v);
    void SetVal(int v);
    uint8_t Red() const { return red_; }
    uint8_t Green() const { return green_; }
    uint8_t Blue() const { return blue_; }
    TColor Color() const { return color_; }
    void SetRGB(uint8_t red, uint8_t green, uint8_t blue);
    void SetColor(TColor color);
    TColor Background() const { return background_; }
    void SetBackground(TColor color);

    TNotifyEvent OnChange;

    // The off-screen picture the control shows.
    const TBitmap& Picture() const { return bmp_; }
    // Width of the square: the client width less the bar and the gap.
    int SquareWidth() const { return bmp_.Width() - 25; }

protected:
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool drawable() const;
    void drawSquare();
    void drawBar();
    void drawIndicators();
    void fromHSV();
    void pick(int x, int y);
    template <class F> void changeHSV(F store);

    int hue_ = 0, sat_ = 0, val_ = 0;
    uint8_t red_ = 0, green_ = 0, blue_ = 0;
    TColor background_ = clBtnFace;
    TBitmap bmp_;
    int drag_ = 0;  // 0 none, 1 square, 2 hue bar
    TColor color_ = 0;
};
