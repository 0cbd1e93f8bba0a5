// Conversions between RGB, HSV and HSL.
#include "imaging/proc/color_space.h"

#include "platform/core/rounding.h"

#include <algorithm>

void RGBToHSV(int red, int green, int blue, int& hue, int& sat, int& val)
{
    const int r = Round(red / 255.0 * 99.0);
    const int g = Round(green / 255.0 * 99.0);
    const int b = Round(blue / 255.0 * 99.0);
    const int mx = std::max({r, g, b});
    const int mn = std::min({r, g, b});
    val = mx;
    sat = mx == 0 ? 0 : (mx - mn) * 99 / mx;
    if (sat == 0) {
        hue = 0;
        return;
    }
    const int d = mx - mn;
    // Ties go to red, then green.
    if (r == mx)
        hue = (g - b) * 60 / d;
    else if (g == mx)
        hue = (b - r) * 60 / d + 120;
    else
        hue = (r - g) * 60 / d + 240;
    if (hue < 0)
        hue += 360;
}

void HSVToRGB(int hue, int sat, int val, int& red, int& green, int& blue)
{
    const int h = std::clamp(hue, 0, 359);
    const int s = std::clamp(sat, 0, 99);
    const int v = std::clamp(val, 0, 99);
    int r, g, b;
    if (s == 0) {
        r = g = b = v;
    } else {
        const int e = h % 60, k = s * v;
        const int p = v - k / 99, q = v - k * e / 5940, t = v - k * (60 - e) / 5940;
        switch (h / 60) {
        case 0: r = v, g = t, b = p; break;
        case 1: r = q, g = v, b = p; break;
        case 2: r = p, g = v, b = t; break;
        case 3: r = p, g = q, b = v; break;
        case 4: r = t, g = p, b = v; break;
        default: r = v, g = p, b = q; break;
        }
    }
    red = Round(r / 99.0 * 255.0);
    green = Round(g / 99.0 * 255.0);
    blue = Round(b / 99.0 * 255.0);
}

void RGBToHSL(int red, int green, int blue, double& hue, double& sat, double& light)
{
    const double r = red / 255.0, g = green / 255.0, b = blue / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    light = (mx + mn) / 2;
    if (mx == mn) {
        hue = sat = 0;
        return;
    }
    const double d = mx - mn;
    sat = light < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    double h;
    if (r == mx)
        h = (g - b) / d;
    else if (g == mx)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
    hue = h / 6;
    if (hue < 0)
        hue += 1;
}

double HueToChannel(double hue, double m2, double m1)
{
    if (hue < 0)
        hue += 1;
    else if (hue > 1)
        hue -= 1;
    if (hue < 1.0 / 6)
        return m1 + (m2 - m1) * hue * 6;
    if (hue < 0.5)
        return m2;
    if (hue < 2.0 / 3)
        return m1 + (m2 - m1) * (2.0 / 3 - hue) * 6;
    return m1;
}

void HSLToRGB(double hue, double sat, double light, int& red, int& green, int& blue)
{
    const double h = std::clamp(hue, 0.0, 1.0), s = std::clamp(sat, 0.0, 1.0), l = std::clamp(light, 0.0, 1.0);
    const auto channel = [](double x) { return int(ClampByte(Trunc(x * 255))); };
    if (s == 0) {
        red = green = blue = channel(l);
        return;
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    red = channel(HueToChannel(h + 1.0 / 3, m2, m1));
    green = channel(HueToChannel(h, m2, m1));
    blue = channel(HueToChannel(h - 1.0 / 3, m2, m1));
}
