// Where a ruler's ticks fall and how their labels read.
#include "imaging/ruler/ruler_ticks.h"

#include "platform/core/number_format.h"
#include "platform/core/rounding.h"

#include <cmath>

std::vector<TRulerTick> RulerTicks(double viewPos, double dotPerUnit, double frequency, int length)
{
    std::vector<TRulerTick> ticks;
    if (!(std::isfinite(viewPos) && std::isfinite(dotPerUnit) && std::isfinite(frequency)) || dotPerUnit <= 0 ||
        frequency <= 0 || length < 0 || frequency * dotPerUnit < 1.0)
        return ticks;
    // At least one pixel apart, so n never exceeds the length.
    const int n = Trunc(length / dotPerUnit / frequency);
    const double first = frequency * std::trunc(viewPos / frequency);
    ticks.reserve(size_t(n) + 2);
    for (int r = 0; r <= n + 1; ++r) {
        const double value = first + r * frequency;
        ticks.push_back({value, Round((value - viewPos) * dotPerUnit)});
    }
    return ticks;
}

QString RulerLabel(double value, bool hexLabels)
{
    if (!hexLabels)
        return FloatToStr(value);
    const double whole = std::trunc(std::fabs(value));
    const unsigned long long digits = whole >= 1.8e19 ? ~0ull : static_cast<unsigned long long>(whole);
    QString text = QString::number(digits, 16).toUpper();
    if (value < 0)
        text.prepend(QLatin1Char('-'));
    return text;
}
