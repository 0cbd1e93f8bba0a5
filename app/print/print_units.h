// Unit conversions and texts of the print dialog.
#pragma once
#include <QString>

// Units of the dialog's boxes.
enum : int { puPixel = 0, puCm = 1, puInch = 2 };

// A value in a unit as printer pixels at `resolution` pixels per inch; a unit outside
// 0..2 shows the dialog's error and gives 0.
double calcpixel(int unit, double value, double resolution);
// Printer pixels in a unit; a unit outside 0..2 shows its error and gives 0.
double showin(int unit, double pixels, double resolution);

// The count text beside the column and row spin edits. entries < 0: an image window.
// A grid without a single tile shows the catalog's entry count rather than dividing by 0.
QString PrintCountText(int columns, int rows, int entries);
