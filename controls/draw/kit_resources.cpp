// The kit's bitmaps and cursors, drawn in code.
#include "controls/draw/kit_resources.h"

#include "platform/core/exceptions.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cstdlib>
#include <functional>
#include <map>

namespace {

std::unique_ptr<TBitmap> blank(int w, int h, TColor back)
{
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    b->Canvas()->Brush.Color = back;
    b->Canvas()->FillRect(TRect(0, 0, w, h));
    return b;
}

// A triangle of rows 7, 5, 3, 1 pixels (or the reverse) with a free bottom row, so that
// the bottom-left pixel is the transparent background.
std::unique_ptr<TBitmap> arrow(bool up, TColor back)
{
    auto b = blank(9, 5, back);
    for (int row = 0; row < 4; ++row) {
        const int half = up ? row : 3 - row;
        for (int x = 4 - half; x <= 4 + half; ++x)
            b->Canvas()->SetPixel(x, row, clBlack);
    }
    return b;
}

// The file edit's button: a small folder.
std::unique_ptr<TBitmap> folderGlyph()
{
    auto b = blank(16, 15, clFuchsia);
    TCanvas& c = *b->Canvas();
    c.Pen.Color = clBlack;
    c.Brush.Color = clYellow;
    c.Rectangle(1, 3, 15, 13);
    c.Brush.Color = clOlive;
    c.Rectangle(2, 1, 7, 4);
    c.Pen.Color = clOlive;
    c.MoveTo(2, 12);
    c.LineTo(14, 12);
    return b;
}

// The calculator edit's button: a small keypad, enabled and greyed cells side by side.
std::unique_ptr<TBitmap> calculatorGlyph()
{
    auto b = blank(24, 12, clOlive);
    TCanvas& c = *b->Canvas();
    const TColor ink[2] = {clBlack, clGray};
    for (int cell = 0; cell < 2; ++cell) {
        const int x0 = cell * 12;
        c.Pen.Color = ink[cell];
        c.Brush.Color = cell == 0 ? clSilver : clOlive;
        c.Rectangle(x0 + 1, 0, x0 + 11, 12);
        c.Brush.Color = cell == 0 ? clTeal : clOlive;
        c.Rectangle(x0 + 2, 1, x0 + 10, 4);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                c.SetPixel(x0 + 3 + col * 2 + col, 5 + row * 2, ink[cell]);
    }
    return b;
}

std::unique_ptr<TBitmap> comboArrow()
{
    auto b = blank(7, 4, clBtnFace);
    for (int row = 0; row < 4; ++row)
        for (int x = row; x < 7 - row; ++x)
            b->Canvas()->SetPixel(x, row, clBlack);
    return b;
}

// One slider thumb state: a raised body with a point towards the ruler (down, or right
// when vertical). Pressed, the face turns white. The bottom-left pixel stays background.
void sliderThumbState(TCanvas& c, int x0, bool vertical, bool pressed)
{
    const int along = 11, body = 16, point = 5;
    const TColor face = pressed ? clWhite : clSilver;
    for (int a = 0; a < along; ++a)
        for (int d = 0; d < body + point; ++d) {
            const int mid = along / 2;
            const int inset = d < body ? 0 : d - body + 1;
            if (a < inset || a > along - 1 - inset || (d >= body && std::abs(a - mid) > point - (d - body) - 1))
                continue;
            TColor col = face;
            if (a == inset || d == 0)
                col = clWhite;
            if (a == along - 1 - inset || d == body + point - 1)
                col = clBlack;
            const int x = vertical ? x0 + d : x0 + a;
            const int y = vertical ? a : d;
            c.SetPixel(x, y, col);
        }
    if (vertical)
        c.SetPixel(x0, along - 1, clFuchsia);
}

std::unique_ptr<TBitmap> sliderThumb(bool vertical)
{
    const int stateWidth = vertical ? 21 : 11;
    auto b = blank(2 * stateWidth, vertical ? 11 : 21, clFuchsia);
    sliderThumbState(*b->Canvas(), 0, vertical, false);
    sliderThumbState(*b->Canvas(), stateWidth, vertical, true);
    return b;
}

// The groove: shadow, dark, face and light lines, with a background line so that the
// bottom-left pixel is transparent.
std::unique_ptr<TBitmap> sliderRuler(bool vertical)
{
    const TColor lines[] = {clFuchsia, clGray, clBlack, clSilver, clWhite};
    auto b = blank(vertical ? 5 : 20, vertical ? 20 : 5, clFuchsia);
    for (int i = 0; i < 20; ++i)
        for (int k = 0; k < 5; ++k) {
            const TColor col = vertical ? lines[k] : lines[(k + 1) % 5];
            b->Canvas()->SetPixel(vertical ? k : i, vertical ? i : k, col);
        }
    return b;
}

// Font list glyphs: two overlapping T letters for scalable fonts, a small printer for
// device fonts; the bottom-left pixel is the transparent background.
std::unique_ptr<TBitmap> trueTypeGlyph()
{
    auto b = blank(15, 12, clFuchsia);
    TCanvas& c = *b->Canvas();
    auto letter = [&c](int x, int y, TColor col) {
        c.Brush.Color = col;
        c.FillRect(TRect(x, y, x + 8, y + 2));
        c.FillRect(TRect(x + 3, y, x + 5, y + 8));
    };
    letter(0, 0, clGray);
    letter(6, 3, clBlack);
    return b;
}

std::unique_ptr<TBitmap> deviceGlyph()
{
    auto b = blank(15, 12, clFuchsia);
    TCanvas& c = *b->Canvas();
    c.Pen.Color = clBlack;
    c.Brush.Color = clWhite;
    c.Rectangle(4, 0, 11, 5);
    c.Brush.Color = clSilver;
    c.Rectangle(1, 4, 14, 10);
    c.SetPixel(11, 6, clLime);
    return b;
}

using Maker = std::function<std::unique_ptr<TBitmap>()>;

const std::map<QString, Maker>& kitBitmaps()
{
    static const std::map<QString, Maker> table{
        {QStringLiteral("KITSPINUP"), [] { return arrow(true, clOlive); }},
        {QStringLiteral("KITSPINDOWN"), [] { return arrow(false, clOlive); }},
        {QStringLiteral("FEDITBMP"), [] { return folderGlyph(); }},
        {QStringLiteral("CEDITBMP"), [] { return calculatorGlyph(); }},
        {QStringLiteral("TRUETYPE_FNT"), [] { return trueTypeGlyph(); }},
        {QStringLiteral("DEVICE_FNT"), [] { return deviceGlyph(); }},
        {QStringLiteral("W95_HTB"), [] { return sliderThumb(false); }},
        {QStringLiteral("W95_HRL"), [] { return sliderRuler(false); }},
        {QStringLiteral("W95_VTB"), [] { return sliderThumb(true); }},
        {QStringLiteral("W95_VRL"), [] { return sliderRuler(true); }},
    };
    return table;
}

QCursor handCursor()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QPainterPath hand;
    hand.moveTo(9.5, 14.5);
    hand.lineTo(9.5, 3.5);
    hand.arcTo(9.5, 1.5, 3, 4, 180, -180);
    hand.lineTo(12.5, 11.5);
    for (int f = 0; f < 3; ++f) {
        const double x = 12.5 + 3 * f;
        hand.lineTo(x, 9.5);
        hand.arcTo(x, 8, 3, 3, 180, -180);
        hand.lineTo(x + 3, 11.5);
    }
    hand.lineTo(21.5, 20.5);
    hand.lineTo(18.5, 26.5);
    hand.lineTo(11.5, 26.5);
    hand.lineTo(6.5, 17.5);
    hand.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    return QCursor(pm, 11, 2);
}

QCursor dragCursor()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QPolygonF arrowShape({{1, 1}, {1, 17}, {5, 13}, {8, 19}, {10, 18}, {7, 12}, {12, 12}});
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(arrowShape);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(12.5, 18.5, 10, 8));
    return QCursor(pm, 1, 1);
}

}  // namespace

void RaiseMissingResource(const TResId& id)
{
    const QString what = id.IsNumber() ? QString::number(id.Number) : id.Name;
    throw EResNotFound(QStringLiteral("Resource %1 not found").arg(what));
}

std::unique_ptr<TBitmap> LoadResourceBitmap(TResModule module, const TResId& id)
{
    try {
        if (module == rmKit) {
            if (id.IsNumber())
                return nullptr;
            const auto it = kitBitmaps().find(id.Name);
            return it == kitBitmaps().end() ? nullptr : it->second();
        }
        if (id.IsNumber() && id.Number == OBM_COMBO)
            return comboArrow();
        RaiseMissingResource(id);
    } catch (...) {
        return nullptr;
    }
}

void RegisterKitCursors()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Screen().SetCursor(crKitHand, handCursor());
    Screen().SetCursor(crKitDrag, dragCursor());
}
