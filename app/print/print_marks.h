// What is printed beside the image: cut lines in the margins and the information lines.
#pragma once
#include <QString>
#include <cstdint>

class TCanvas;

// Cut lines of one printed rectangle on a page of pageWidth × pageHeight printer pixels,
// drawn with the canvas's pen. Values are rounded on entry.
void drawCutMarks(TCanvas& canvas, bool tiles, double X, double Y, double Wd, double Ht, double Lm, double Tm,
                  int pageWidth, int pageHeight, int resX, int resY);

// The texts of the information lines of a file, in print order (size, date, name);
// empty when the file system does not know the name (a new, unsaved image).
QStringList InfoLines(const QString& fileName, uint8_t flags, int imageWidth, int imageHeight);

// Draws the information lines with their top-left corner at (x, y) in the catalog
// caption font (fontName, fontStyle) at fontSize points.
void drawFileInfo(TCanvas& canvas, int fontSize, const QString& fontName, int fontStyle, const QString& fileName,
                  uint8_t flags, double x, double y, int imageWidth, int imageHeight);
