// Number and colour helpers of the image library.
#include "imaging/proc/color_math.h"

#include <cmath>
#include <utility>

int CeilInt(double v) { return static_cast<int>(std::ceil(v)); }
int FloorInt(double v) { return static_cast<int>(std::floor(v)); }

TRGBTriple MakeRGB(int red, int green, int blue) { return TRGBTriple{uint8_t(blue), uint8_t(green), uint8_t(red)}; }

TRGBTriple ColorToRGBTriple(TColor color)
{
    const TColor c = ColorToRGB(color);
    return MakeRGB(GetRValue(c), GetGValue(c), GetBValue(c));
}

int32_t SwapRedBlue(int32_t value)
{
    const uint32_t v = uint32_t(value);
    return int32_t(((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu));
}

bool SameColor(int32_t a, int32_t b) { return ((uint32_t(a) ^ uint32_t(b)) & 0xFFFFFFu) == 0; }

double FloatMin(double a, double b) { return b < a ? b : a; }
double FloatMax(double a, double b) { return b > a ? b : a; }
int IntMin(int a, int b) { return b < a ? b : a; }
int IntMax(int a, int b) { return b > a ? b : a; }
int IntBound(int v, int low, int high) { return IntMin(IntMax(v, low), high); }

void SwapInts(int& a, int& b) { std::swap(a, b); }
void SwapBytes(uint8_t& a, uint8_t& b) { std::swap(a, b); }

void OrderPairs(int& a, int& b, int& c, int& d)
{
    if (b < a)
        std::swap(a, b);
    if (d < c)
        std::swap(c, d);
}

double ArcTan2(double y, double x) { return std::atan2(y, x); }
double ArcSin(double x) { return ArcTan2(x, std::sqrt(1.0 - x * x)); }
double ArcCos(double x) { return ArcTan2(std::sqrt(1.0 - x * x), x); }
double Tan(double x) { return std::tan(x); }
