// Bitmaps, text pictures and pixel counts for the canvas tests.
#pragma once
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <QString>
#include <functional>

// A 24-bit bitmap filled with one colour.
inline TBitmap* NewBitmap(int w, int h, TColor fill = clWhite, TPixelFormat f = pf24bit)
{
    auto* b = new TBitmap(w, h, f);
    b->Canvas()->Brush.Color = fill;
    b->Canvas()->Brush.Style = bsSolid;
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

// Rows of characters: '.' for `background`, '#' for anything else; for failure messages.
inline QString Picture(TCanvas& c, int w, int h, TColor background = clWhite)
{
    QString s;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            s += c.Pixel(x, y) == background ? QLatin1Char('.') : QLatin1Char('#');
        s += QLatin1Char('\n');
    }
    return s;
}

inline int CountPixels(TCanvas& c, int w, int h, const std::function<bool(int, int, TColor)>& pred)
{
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            n += pred(x, y, c.Pixel(x, y)) ? 1 : 0;
    return n;
}

// Bounding box (exclusive right/bottom) of pixels that differ from `background`.
inline TRect InkBox(TCanvas& c, int w, int h, TColor background = clWhite)
{
    int l = w, t = h, r = -1, b = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (c.Pixel(x, y) != background) {
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x);
                b = std::max(b, y);
            }
    return r < 0 ? TRect() : TRect(l, t, r + 1, b + 1);
}
