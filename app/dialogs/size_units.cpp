// Length, resolution and memory conversions of the new-image dialog.
#include "app/dialogs/size_units.h"

#include "platform/core/rounding.h"

#include <algorithm>

double ResolutionPerCm(double value, int resolutionUnit) { return resolutionUnit == 0 ? value : value / 2.54; }

double LengthToPixels(double value, int unit, double perCm)
{
    switch (unit) {
    case suCm: return Round64(value * perCm);
    case suInch: return Round64(value * 2.54 * perCm);
    default: return Round64(value);
    }
}

double PixelsToLength(double pixels, int unit, double perCm)
{
    if (unit == suPixel)
        return pixels;
    if (perCm == 0)
        return 0;
    return unit == suCm ? pixels / perCm : pixels / (perCm * 2.54);
}

QString MemoryText(double widthPixels, double heightPixels)
{
    // Sides past a billion pixels are held there, so the product cannot overflow.
    auto side = [](double v) { return std::clamp<int64_t>(Round64(v), -1'000'000'000, 1'000'000'000); };
    const int64_t m = side(widthPixels) * side(heightPixels) * 3;
    if (m >= 1000001)
        return QString::number(m / 1000000) + QStringLiteral(" mb");
    if (m <= 1000)
        return QString::number(m) + QStringLiteral(" byte");
    return QString::number(m / 1000) + QStringLiteral(" kb");
}
