// Sizes of the new-image dialog in pixel, cm or inch against a resolution.
#pragma once
#include <QString>

// Sizes of the new-image dialog: lengths in pixel (0), cm (1) or inch (2) against a
// resolution held in pixels per centimetre.
enum TSizeUnit { suPixel = 0, suCm = 1, suInch = 2 };

// The resolution edit's value in pixels per centimetre (resolution unit 1: per inch).
double ResolutionPerCm(double value, int resolutionUnit);
// A length in whole pixels (rounded, halves to even).
double LengthToPixels(double value, int unit, double perCm);
// Pixels shown in a unit; 0 for cm and inch when the resolution is 0.
double PixelsToLength(double pixels, int unit, double perCm);
// "<n> mb", "<n> kb" or "<n> byte" for a 24-bit image of the rounded size.
QString MemoryText(double widthPixels, double heightPixels);
