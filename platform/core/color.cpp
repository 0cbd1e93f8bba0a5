// Colour values, system colours and their conversion to Qt colours.
#include "platform/core/color.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QColor systemColor(int index)
{
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case 0: return pal.color(QPalette::Button);
    case 1: return pal.color(QPalette::Window);
    case 2: return pal.color(QPalette::Highlight);
    case 3: return pal.color(QPalette::Mid);
    case 4: return pal.color(QPalette::Window);
    case 5: return pal.color(QPalette::Base);
    case 6: return pal.color(QPalette::Shadow);
    case 7: return pal.color(QPalette::WindowText);
    case 8: return pal.color(QPalette::Text);
    case 9: return pal.color(QPalette::HighlightedText);
    case 10:
    case 11: return pal.color(QPalette::Window);
    case 12: return pal.color(QPalette::Dark);
    case 13: return pal.color(QPalette::Highlight);
    case 14: return pal.color(QPalette::HighlightedText);
    case 15: return pal.color(QPalette::Button);
    case 16: return pal.color(QPalette::Dark);
    case 17: return pal.color(QPalette::Disabled, QPalette::Text);
    case 18: return pal.color(QPalette::ButtonText);
    case 19: return pal.color(QPalette::Disabled, QPalette::WindowText);
    case 20: return pal.color(QPalette::Light);
    case 21: return pal.color(QPalette::Shadow);
    case 22: return pal.color(QPalette::Midlight);
    case 23: return pal.color(QPalette::ToolTipText);
    case 24: return pal.color(QPalette::ToolTipBase);
    default: return QColor(Qt::black);
    }
}

}  // namespace

TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

TColor ColorToRGB(TColor c)
{
    if (!IsSystemColor(c))
        return c & 0xFFFFFF;
    return FromQColor(systemColor(c & 0xFF));
}

QColor ToQColor(TColor c)
{
    const TColor v = ColorToRGB(c);
    return QColor(GetRValue(v), GetGValue(v), GetBValue(v));
}
