#include "platform/core/number_format.h"
#include "platform/core/exceptions.h"

#include <QLocale>
#include <cmath>
#include <cstdio>

namespace {

QChar g_decimal;
QChar g_thousand;

QString fixedDigits(double v, int decimals)
{
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals < 0 ? 0 : (decimals > 18 ? 18 : decimals), v);
    return QString::fromLatin1(buf);
}

QString localise(QString s) { return s.replace(QLatin1Char('.'), DecimalSeparator()); }

QString groupThousands(const QString& intPart)
{
    QString out;
    const int n = int(intPart.size());
    for (int i = 0; i < n; ++i) {
        out += intPart[i];
        const int left = n - 1 - i;
        if (left > 0 && left % 3 == 0)
            out += ThousandSeparator();
    }
    return out;
}

} // namespace

QChar DecimalSeparator()
{
    if (g_decimal.isNull())
        g_decimal = QLocale::system().decimalPoint().at(0);
    return g_decimal;
}

void SetDecimalSeparator(QChar c) { g_decimal = c; }

QChar ThousandSeparator()
{
    if (g_thousand.isNull()) {
        const QString s = QLocale::system().groupSeparator();
        g_thousand = s.isEmpty() ? QChar(',') : s.at(0);
    }
    return g_thousand;
}

void SetThousandSeparator(QChar c) { g_thousand = c; }

QString FloatToStr(double value) { return FloatToStrF(value, ffGeneral, 15, 0); }

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (precision < 1)
        precision = 1;
    if (precision > 18)
        precision = 18;
    char buf[400];
    switch (format) {
    case ffGeneral: {
        if (value == 0)
            return QStringLiteral("0");
        std::snprintf(buf, sizeof buf, "%.*E", precision - 1, value);
        // Decimal exponent after rounding to precision digits.
        const QString sci = QString::fromLatin1(buf);
        const int ePos = int(sci.indexOf(QLatin1Char('E')));
        const int exp = sci.mid(ePos + 1).toInt();
        QString mant = sci.left(ePos);
        if (exp < -5 || exp >= precision) {
            if (mant.contains(QLatin1Char('.'))) {
                while (mant.endsWith(QLatin1Char('0')))
                    mant.chop(1);
                if (mant.endsWith(QLatin1Char('.')))
                    mant.chop(1);
            }
            QString e = QString::number(std::abs(exp));
            while (e.size() < digits)
                e.prepend(QLatin1Char('0'));
            return localise(mant) + QStringLiteral("E") + (exp < 0 ? QStringLiteral("-") : QString()) + e;
        }
        QString s = fixedDigits(value, precision - 1 - exp);
        if (s.contains(QLatin1Char('.'))) {
            while (s.endsWith(QLatin1Char('0')))
                s.chop(1);
            if (s.endsWith(QLatin1Char('.')))
                s.chop(1);
        }
        if (s == QLatin1String("-0"))
            s = QStringLiteral("0");
        return localise(s);
    }
    case ffExponent: {
        std::snprintf(buf, sizeof buf, "%.*E", precision - 1, value);
        QString sci = QString::fromLatin1(buf);
        const int ePos = int(sci.indexOf(QLatin1Char('E')));
        const int exp = sci.mid(ePos + 1).toInt();
        QString e = QString::number(std::abs(exp));
        while (e.size() < digits)
            e.prepend(QLatin1Char('0'));
        return localise(sci.left(ePos)) + QStringLiteral("E") + (exp < 0 ? QStringLiteral("-") : QStringLiteral("+")) + e;
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        if (std::fabs(value) >= 1e15)
            return FloatToStrF(value, ffGeneral, precision, 0);
        QString s = fixedDigits(value, digits);
        const bool neg = s.startsWith(QLatin1Char('-'));
        if (neg)
            s.remove(0, 1);
        QString intPart = s.section(QLatin1Char('.'), 0, 0);
        const QString frac = s.section(QLatin1Char('.'), 1);
        if (format != ffFixed)
            intPart = groupThousands(intPart);
        QString out = intPart + (frac.isEmpty() ? QString() : QString(DecimalSeparator()) + frac);
        const bool zero = s.count(QLatin1Char('0')) + s.count(QLatin1Char('.')) == s.size();
        return (neg && !zero ? QStringLiteral("-") : QString()) + out;
    }
    }
    return QString();
}

QString FormatFloat(const QString& pattern, double value)
{
    // Pick the section: positive; negative; zero.
    const QStringList sections = pattern.split(QLatin1Char(';'));
    QString sec = sections.value(0);
    bool dropSign = false;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        sec = sections[1];
        dropSign = true;
    }
    if (value == 0 && sections.size() > 2 && !sections[2].isEmpty())
        sec = sections[2];
    if (sec.isEmpty())
        return FloatToStr(value);

    // Scan placeholders outside quotes.
    int intZeros = 0, fracZeros = 0, fracHashes = 0;
    bool seenPoint = false, thousands = false, inQuote = false;
    QChar quote;
    int firstPh = -1, lastPh = -1;
    for (int i = 0; i < sec.size(); ++i) {
        const QChar c = sec[i];
        if (inQuote) {
            if (c == quote)
                inQuote = false;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            inQuote = true;
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (firstPh < 0)
                firstPh = i;
            lastPh = i;
            if (seenPoint) {
                if (c == QLatin1Char('0'))
                    fracZeros = fracZeros + fracHashes + 1, fracHashes = 0;
                else
                    ++fracHashes;
            } else if (c == QLatin1Char('0'))
                ++intZeros;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
            if (firstPh < 0)
                firstPh = i;
            lastPh = i;
        } else if (c == QLatin1Char(',')) {
            thousands = true;
        }
    }
    const int maxFrac = fracZeros + fracHashes;
    QString digits = fixedDigits(std::fabs(value), maxFrac);
    QString intPart = digits.section(QLatin1Char('.'), 0, 0);
    QString frac = digits.section(QLatin1Char('.'), 1);
    while (frac.size() > fracZeros && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);
    if (intPart == QLatin1String("0") && intZeros == 0)
        intPart.clear();
    while (intPart.size() < intZeros)
        intPart.prepend(QLatin1Char('0'));
    if (thousands)
        intPart = groupThousands(intPart);
    QString number = intPart;
    if (!frac.isEmpty())
        number += DecimalSeparator() + frac;
    const bool isZero = (intPart.isEmpty() || intPart.count(QLatin1Char('0')) == intPart.size()) &&
                        frac.count(QLatin1Char('0')) == frac.size();
    if (value < 0 && !dropSign && !isZero)
        number.prepend(QLatin1Char('-'));

    // Rebuild: literals before and after the placeholder run stay where they are.
    QString out;
    inQuote = false;
    for (int i = 0; i < sec.size(); ++i) {
        const QChar c = sec[i];
        if (i == firstPh)
            out += number;
        if (inQuote) {
            if (c == quote)
                inQuote = false;
            else
                out += c;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            inQuote = true;
            quote = c;
            continue;
        }
        if (firstPh >= 0 && i >= firstPh && i <= lastPh)
            continue;
        if (c == QLatin1Char(','))
            continue;
        out += c;
    }
    if (firstPh < 0)
        out += number;
    return out;
}

QString IntToStr(long long value) { return QString::number(value); }

bool TryStrToFloat(const QString& text, double& value)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    if (DecimalSeparator() != QLatin1Char('.')) {
        if (t.contains(QLatin1Char('.')))
            return false;
        t.replace(DecimalSeparator(), QLatin1Char('.'));
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (ok)
        value = v;
    return ok;
}

bool TryStrToInt(const QString& text, long long& value)
{
    QString t = text.trimmed();
    bool ok = false;
    long long v;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (ok)
        value = v;
    return ok;
}

double StrToFloat(const QString& text)
{
    double v = 0;
    if (!TryStrToFloat(text, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}

long long StrToInt(const QString& text)
{
    long long v = 0;
    if (!TryStrToInt(text, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return v;
}
