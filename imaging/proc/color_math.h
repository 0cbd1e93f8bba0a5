// Number and colour helpers shared by the views, codecs, dialogs and processing.
#pragma once
#include "platform/core/color.h"
#include "platform/core/rounding.h"

#include <cstdint>

// Number and colour helpers shared by the views, codecs, dialogs and processing.
// ClampByte (0 … 255) lives in platform/core/rounding.h.

// One pixel of a 24-bit row, in memory order blue, green, red.
struct TRGBTriple {
    uint8_t rgbtBlue = 0;
    uint8_t rgbtGreen = 0;
    uint8_t rgbtRed = 0;
    constexpr bool operator==(const TRGBTriple&) const = default;
};

int CeilInt(double v);
int FloorInt(double v);

TRGBTriple MakeRGB(int red, int green, int blue);
// System colours are resolved first.
TRGBTriple ColorToRGBTriple(TColor color);
// Exchanges the low and high byte of a 24-bit colour value (TColor order <-> pixel order).
int32_t SwapRedBlue(int32_t value);
// Compares the three low bytes only.
bool SameColor(int32_t a, int32_t b);

// The first argument wins a tie.
double FloatMin(double a, double b);
double FloatMax(double a, double b);
int IntMin(int a, int b);
int IntMax(int a, int b);
int IntBound(int v, int low, int high);

void SwapInts(int& a, int& b);
void SwapBytes(uint8_t& a, uint8_t& b);
// Orders a <= b and c <= d.
void OrderPairs(int& a, int& b, int& c, int& d);

double ArcTan2(double y, double x);
double ArcSin(double x);
double ArcCos(double x);
double Tan(double x);
