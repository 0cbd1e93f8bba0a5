// The view's cursor pictures by number.
#pragma once
#include <QCursor>

// The eight pictures behind cursor numbers 1778 … 1785, drawn here: zoom out, zoom in,
// cross, eraser, hand, pen and two crosses. Null cursor for other numbers.
QCursor ViewCursorPicture(int number);
