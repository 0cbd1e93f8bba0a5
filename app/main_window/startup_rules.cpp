// Start-up rules: the command-line file name, the stored window rectangle and the first zoom.
#include "app/main_window/startup_rules.h"

#include <QDir>

#include <algorithm>
#include <limits>

QString JoinArguments(const QStringList& arguments) { return arguments.join(QLatin1Char(' ')); }

QString CommandLineFileName(const QStringList& arguments, const QString& startDirectory)
{
    const QString joined = JoinArguments(arguments);
    if (joined.isEmpty())
        return joined;
    return QDir::cleanPath(QDir(startDirectory).absoluteFilePath(joined));
}

bool StoredRectFits(int left, int top, int right, int bottom, int screenWidth, int screenHeight)
{
    const long long r = right, b = bottom, l = left, t = top;
    return r < screenWidth + 5LL && b < screenHeight + 5LL && l >= 0 && t >= 0 && r - l >= 21 && b - t >= 21;
}

int ZoomFromText(const QString& text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QChar(0x2212) || text[i] == QLatin1Char('+'))) {
        negative = text[i] != QLatin1Char('+');
        ++i;
    }
    long long value = 0;
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        value = std::min<long long>(value * 10 + (text[i].unicode() - '0'), std::numeric_limits<int>::max());
        ++i;
    }
    if (negative && value > 0)
        return 100;
    return int(value);
}

int ZoomToFit(int availableWidth, int availableHeight, int bitmapWidth, int bitmapHeight)
{
    if (bitmapWidth <= 0 || bitmapHeight <= 0)
        return 0;
    // Whole-number arithmetic: a double ratio such as 680 * 100 / 4000 may land just below 17.
    const long long w = std::max(0LL, (long long)availableWidth) * 100 / bitmapWidth;
    const long long h = std::max(0LL, (long long)availableHeight) * 100 / bitmapHeight;
    return int(std::clamp<long long>(std::min(w, h), 1, std::numeric_limits<int>::max()));
}
