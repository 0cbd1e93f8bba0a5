// Unit conversions and the page-count text of the print dialog.
#include "app/print/print_units.h"

#include "app/text/language.h"

double calcpixel(int unit, double value, double resolution)
{
    switch (unit) {
    case puPixel: return value;
    case puCm: return value * resolution / 2.54;
    case puInch: return value * resolution;
    default: LangShowMessage(QStringLiteral("Error, irjenwas schief"), QStringLiteral("Error")); return 0;
    }
}

double showin(int unit, double pixels, double resolution)
{
    if (resolution <= 0 && unit != puPixel)
        return 0;
    switch (unit) {
    case puPixel: return pixels;
    case puCm: return pixels * 2.54 / resolution;
    case puInch: return pixels / resolution;
    default: LangShowMessage(QStringLiteral("Fehler 9334"), QStringLiteral("Fehler 9334")); return 0;
    }
}

QString PrintCountText(int columns, int rows, int entries)
{
    const QString images = LangText(QStringLiteral(" Bilder"), QStringLiteral(" images"));
    const int k = columns * rows;
    if (entries < 0)
        return QStringLiteral("= ") + QString::number(k) + images;
    if (entries < k || k <= 0)
        return QStringLiteral("= ") + QString::number(entries) + images;
    const int pages = entries / k + (entries % k != 0 ? 1 : 0);
    return QStringLiteral("= ") + QString::number(pages) +
           LangText(QStringLiteral(" Seiten mit je "), QStringLiteral(" pages with ")) + QString::number(k) +
           LangText(QStringLiteral(" Bildern"), QStringLiteral(" images each"));
}
