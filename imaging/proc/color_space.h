// Colour-space conversions between RGB, HSV and HSL.
#pragma once
#include <cstdint>

// Colour-space conversions shared by the adjustments, the colour box and the dialogs.
// HSV is integer: hue 0 … 359, saturation and value 0 … 99. HSL is three fractions 0 … 1.

void RGBToHSV(int red, int green, int blue, int& hue, int& sat, int& val);
// Clamps its inputs; gives channels 0 … 255.
void HSVToRGB(int hue, int sat, int val, int& red, int& green, int& blue);

void RGBToHSL(int red, int green, int blue, double& hue, double& sat, double& light);
// Limits all three to 0 … 1 (the hue is not wrapped).
void HSLToRGB(double hue, double sat, double light, int& red, int& green, int& blue);
double HueToChannel(double hue, double m2, double m1);
