// Start-up rules: the command-line file, the stored window rectangle and the first zoom.
#pragma once
#include <QRect>
#include <QString>
#include <QStringList>

// The arguments joined with single blanks into one file name, so that a path with
// blanks that the shell passed in pieces is whole again; empty without arguments.
QString JoinArguments(const QStringList& arguments);
// The joined arguments as a file name; a relative one counts from the folder the
// program was started in (the program moves to its own folder as it starts).
QString CommandLineFileName(const QStringList& arguments, const QString& startDirectory);

// Whether a stored window rectangle (left, top, right, bottom) is used on a screen of
// the given size: it must start on the screen, end before size + 5 and be at least
// 21 pixels wide and high.
bool StoredRectFits(int left, int top, int right, int bottom, int screenWidth, int screenHeight);

// The zoom that a text typed into the zoom box asks for: the whole number at its start
// (blanks and a sign allowed before the digits), 0 when there are no digits (the view
// ignores 0), 100 for a negative number.
int ZoomFromText(const QString& text);

// The zoom that fits a bitmap into the space left for it (client pixels): the smaller
// of the two ratios in percent, cut down to a whole number so that the zoomed image
// never exceeds the space (rounding up would bring scroll bars and hide an edge);
// at least 1 for a bitmap far larger than the space; 0 (no change) for an empty bitmap.
int ZoomToFit(int availableWidth, int availableHeight, int bitmapWidth, int bitmapHeight);
