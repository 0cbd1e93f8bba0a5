// The HSV colour picker: its square, hue bar, conversions and mouse picks.
#include "imaging/boxes/hsv_box.h"

#include "imaging/proc/color_math.h"
#include "imaging/proc/color_space.h"
#include "platform/graphics/canvas.h"

#include <QPainter>
#include <algorithm>

THSVBox::THSVBox(QWidget* owner) : TCustomControl(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    fromHSV();
    SetBounds(0, 0, 105, 105);
    Resize();
}

THSVBox::~THSVBox() = default;

// A control too small for a square and a bar draws its background only.
bool THSVBox::drawable() const { return bmp_.Width() - 25 > 1 && bmp_.Height() > 1; }

void THSVBox::fromHSV()
{
    int r, g, b;
    HSVToRGB(hue_, sat_, val_, r, g, b);
    red_ = uint8_t(r), green_ = uint8_t(g), blue_ = uint8_t(b);
    color_ = RGB(r, g, b);
}

void THSVBox::drawSquare()
{
    const int W = bmp_.Width(), H = bmp_.Height(), S = W - 25;
    const float fv = 100.0f / H, fs = 100.0f / S;
    for (int r = 0; r < H; ++r) {
        uint8_t* p = bmp_.ScanLine(H - 1 - r);
        const int v = Trunc(r * fv);
        for (int c = 0; c < S; ++c, p += 3) {
            int red, green, blue;
            HSVToRGB(hue_, Trunc(c * fs), v, red, green, blue);
            p[0] = uint8_t(blue), p[1] = uint8_t(green), p[2] = uint8_t(red);
        }
    }
}

void THSVBox::drawBar()
{
    const int W = bmp_.Width(), H = bmp_.Height(), S = W - 25;
    const TRGBTriple back = ColorToRGBTriple(background_);
    for (int r = 0; r < H; ++r) {
        uint8_t* p = bmp_.ScanLine(H - 1 - r) + 3 * S;
        int red, green, blue;
        HSVToRGB(Trunc(r * 360.0 / H), 99, 99, red, green, blue);
        for (int i = 0; i < 25; ++i, p += 3) {
            const bool gap = i < 5;
            p[0] = gap ? back.rgbtBlue : uint8_t(blue);
            p[1] = gap ? back.rgbtGreen : uint8_t(green);
            p[2] = gap ? back.rgbtRed : uint8_t(red);
        }
    }
}

// Drawn with an inverting pen: drawing them again erases them.
void THSVBox::drawIndicators()
{
    if (!drawable())
        return;
    const int W = bmp_.Width(), H = bmp_.Height(), S = W - 25;
    TCanvas* c = bmp_.Canvas();
    c->Pen.Mode = pmNot;
    c->Pen.Style = psSolid;
    c->Pen.Width = 1;
    c->Brush.Style = bsClear;
    const int hy = Round((H - 1) * (359 - hue_) / 360.0);
    c->Rectangle(S + 5, hy - 2, W, hy + 2);
    const int x = Round(sat_ / 99.0 * (S - 1)), y = H - Round((H - 1) * val_ / 99.0);
    c->Rectangle(x - 3, y - 4, x + 3, y + 2);
    c->Pen.Mode = pmCopy;
    c->Brush.Style = bsSolid;
    c->Release();
}

void THSVBox::Resize()
{
    bmp_.SetSize(std::max(ClientWidth(), 0), std::max(ClientHeight(), 0));
    if (bmp_.Empty())
        return;
    if (!drawable()) {
        bmp_.Canvas()->Brush.Color = background_;
        bmp_.Canvas()->FillRect(TRect(0, 0, bmp_.Width(), bmp_.Height()));
        bmp_.Canvas()->Release();
        Invalidate();
        return;
    }
    drawSquare();
    drawBar();
    drawIndicators();
    Invalidate();
}

template <class F> void THSVBox::changeHSV(F store)
{
    drawIndicators();
    const int oldHue = hue_;
    store();
    fromHSV();
    if (drawable() && hue_ != oldHue)
        drawSquare();
    drawIndicators();
    Repaint();
}

void THSVBox::SetHue(int v)
{
    changeHSV([&] { hue_ = std::clamp(v, 0, 359); });
}

void THSVBox::SetSat(int v)
{
    changeHSV([&] { sat_ = std::clamp(v, 0, 99); });
}

void THSVBox::SetVal(int v)
{
    changeHSV([&] { val_ = std::clamp(v, 0, 99); });
}

void THSVBox::SetRGB(uint8_t red, uint8_t green, uint8_t blue)
{
    changeHSV([&] { RGBToHSV(red, green, blue, hue_, sat_, val_); });
    red_ = red, green_ = green, blue_ = blue;
    color_ = RGB(red, green, blue);
}

void THSVBox::SetColor(TColor color)
{
    const TColor c = ColorToRGB(color);
    SetRGB(uint8_t(GetRValue(c)), uint8_t(GetGValue(c)), uint8_t(GetBValue(c)));
    color_ = color;
}

void THSVBox::SetBackground(TColor color)
{
    background_ = color;
    Resize();
}

void THSVBox::pick(int x, int y)
{
    if (!drawable())
        return;
    const int W = bmp_.Width(), H = bmp_.Height(), S = W - 25;
    drawIndicators();
    if (x < S) {
        sat_ = std::clamp(Round(double(x) / (S - 1) * 99), 0, 99);
        val_ = std::clamp(99 - Round(double(y) / (H - 1) * 99), 0, 99);
    } else if (x >= S + 5) {
        hue_ = std::clamp(359 - Round(double(y) / (H - 1) * 359), 0, 359);
        drawSquare();
    } else {
        drawIndicators();
        return;
    }
    fromHSV();
    if (OnChange)
        OnChange(this);
    drawIndicators();
    Repaint();
}

void THSVBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !drawable())
        return;
    const int S = SquareWidth();
    drag_ = x < S ? 1 : (x >= S + 5 ? 2 : 0);
    pick(x, y);
}

void THSVBox::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (drag_ == 0 || !MouseCapture() || !drawable())
        return;
    const int W = bmp_.Width(), H = bmp_.Height(), S = W - 25;
    y = std::clamp(y, 0, H - 1);
    x = drag_ == 1 ? std::clamp(x, 0, S - 1) : std::clamp(x, S + 5, W - 1);
    pick(x, y);
}

void THSVBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    drag_ = 0;
}

void THSVBox::Paint()
{
    if (!bmp_.Empty())
        Painter()->drawImage(0, 0, bmp_.Image());
}
