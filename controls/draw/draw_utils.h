// Small drawing and rectangle helpers of the control kit.
#pragma once
#include "platform/core/color.h"
#include "platform/core/geometry.h"

#include <QSize>
#include <QString>

class TCanvas;
class QWidget;

int LargerInt(int a, int b);
int SmallerInt(int a, int b);

void DefaultBeep();
int WidthOfRect(const TRect& r);
int HeightOfRect(const TRect& r);
// All four edges count as inside.
bool PointWithinRect(const TPoint& p, const TRect& r);
// The colour's RGB value with the palette-relative flag (bit 25) set.
int32_t PaletteRelativeColor(TColor c);

// Shifts, without resizing, a rectangle that sticks out of the screen (a rectangle
// larger than the screen ends at 0).
void MoveRectOntoScreen(TRect& r);
void MoveRectOntoScreen(TRect& r, const QSize& screen);
// Centres the window on the screen, kept on it, without activating it.
void CenterWindowOnScreen(QWidget* window);
// True when the active window belongs to this thread (the user-interface thread).
bool ThreadOwnsActiveWindow();

// The text itself when it fits the width, else as much of its start as fits with
// "..." behind it ("..." alone at worst).
QString FitTextWithEllipsis(const QString& text, TCanvas& canvas, int width);

// Command lines: items are separated by blanks (codes 1 to 32); double quotes enclose
// an item holding blanks and are dropped. pos counts from 0 and is moved behind the
// item; the item is empty at the end of the line. Items have no length limit.
QString NextCommandLineItem(const QString& line, int& pos);
int CommandLineItemCount(const QString& line);
// The item at index (from 0), empty past the end.
QString CommandLineItem(const QString& line, int index);
// First item without quotes; rest = the other items joined by single blanks, an item
// holding a blank put in double quotes again.
void SplitFirstItem(const QString& line, QString& first, QString& rest);
