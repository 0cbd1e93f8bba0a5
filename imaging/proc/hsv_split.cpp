#include "imaging/proc/image_kit_proc.h"
#include "platform/core/rounding.h"

#include <algorithm>

namespace {

// Hue 0..359, saturation and value 0..99 on channels scaled to 0..99 first.
void rgbToHsv(int red, int green, int blue, int& h, int& s, int& v)
{
    const int r = Round(red / 255.0 * 99), g = Round(green / 255.0 * 99), b = Round(blue / 255.0 * 99);
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    v = mx;
    s = mx == 0 ? 0 : (mx - mn) * 99 / mx;
    if (s == 0) {
        h = 0;
        return;
    }
    const int d = mx - mn;
    if (r == mx)
        h = (g - b) * 60 / d;
    else if (g == mx)
        h = (b - r) * 60 / d + 120;
    else
        h = (r - g) * 60 / d + 240;
    if (h < 0)
        h += 360;
}

} // namespace

void TImageKitProc::SplitToHSV(TBitmap* hue, TBitmap* saturation, TBitmap* value)
{
    if (!holds(pf24bit) || !hue || !saturation || !value)
        return;
    const int w = bitmap_->Width(), hgt = bitmap_->Height();
    for (TBitmap* out : {hue, saturation, value}) {
        out->SetPixelFormat(pf24bit);
        out->SetSize(w, hgt);
    }
    for (int y = 0; y < hgt; ++y) {
        const uint8_t* src = bitmap_->ScanLine(y);
        uint8_t* ph = hue->ScanLine(y);
        uint8_t* ps = saturation->ScanLine(y);
        uint8_t* pv = value->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            int h, s, v;
            rgbToHsv(src[3 * x + 2], src[3 * x + 1], src[3 * x], h, s, v);
            std::fill_n(ph + 3 * x, 3, uint8_t(Trunc(h / 359.0 * 255)));
            std::fill_n(ps + 3 * x, 3, uint8_t(Trunc(s / 99.0 * 255)));
            std::fill_n(pv + 3 * x, 3, uint8_t(Trunc(v / 99.0 * 255)));
        }
        if (OnProgress)
            OnProgress(this, Trunc(y * 100.0 / hgt));
    }
}
