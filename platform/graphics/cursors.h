// Cursor numbers and the screen object that maps them to cursors.
#pragma once
#include <QCursor>
#include <map>

// Cursor numbers: the standard ones are negative, positive numbers are the program's own.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSize = -5;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// The screen's cursor table and the cursor shown over the whole application.
class TScreen {
public:
    // The cursor for a number; unknown numbers give the default arrow.
    QCursor Cursor(TCursor n) const;
    // Registers (or replaces) a cursor; the standard numbers can be overridden too.
    void SetCursor(TCursor n, const QCursor& cursor);

    // Application-wide cursor (an hourglass during long work); crDefault lets every
    // control show its own again.
    TCursor ScreenCursor() const { return screenCursor_; }
    void SetScreenCursor(TCursor n);

private:
    std::map<TCursor, QCursor> custom_;
    TCursor screenCursor_ = crDefault;
};

TScreen& Screen();
