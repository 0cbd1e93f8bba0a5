// Formatting floating-point numbers: sections, literals, separators and exponents.
#include "platform/core/number_format.h"
#include "platform/core/exceptions.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

QChar g_decimal;
QChar g_thousand;

}  // namespace

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

TFloatRec FloatToDecimal(double value, int precision, int decimals)
{
    TFloatRec rec;
    if (std::isnan(value) || std::isinf(value)) {
        rec.Exponent = 0x7FFF;
        rec.Negative = std::isinf(value) && value < 0;
        rec.Digits = std::isnan(value) ? QByteArray("NAN") : QByteArray("INF");
        return rec;
    }
    if (value == 0)
        return rec;
    precision = std::clamp(precision, 1, 18);
    decimals = std::clamp(decimals, -9999, 9999);
    // 18 significant digits, correctly rounded, as an 80-bit extended conversion gives.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));
    QByteArray digits;
    digits.append(buf[0]);
    digits.append(buf + 2, 17);
    int exponent = std::atoi(std::strchr(buf, 'e') + 1) + 1;

    const int n = std::min(precision, exponent + decimals);
    if (n < 0)
        return rec;
    if (n == 0) {
        if (digits[0] < '5')
            return rec;
        digits = "1";
        ++exponent;
    } else if (n < 18) {
        const bool up = digits[n] >= '5';
        digits.truncate(n);
        if (up) {
            int i = n - 1;
            while (i >= 0 && digits[i] == '9')
                digits[i--] = '0';
            if (i >= 0) {
                digits[i] = char(digits[i] + 1);
            } else {
                digits.prepend('1');
                digits.truncate(n);
                ++exponent;
            }
        }
    }
    while (!digits.isEmpty() && digits.endsWith('0'))
        digits.chop(1);
    if (digits.isEmpty())
        return rec;
    rec.Digits = digits;
    rec.Exponent = exponent;
    rec.Negative = value < 0;
    return rec;
}

namespace {

QString specialText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
}

QChar digitAt(const TFloatRec& rec, int index)
{
    return index >= 0 && index < rec.Digits.size() ? QChar(QLatin1Char(rec.Digits[index])) : QChar(QLatin1Char('0'));
}

// d.dddE-x: the mantissa without trailing zeros, the exponent without "+".
QString generalExponent(const TFloatRec& rec, int expDigits)
{
    QString s;
    if (rec.Negative)
        s += QLatin1Char('-');
    s += QLatin1Char(rec.Digits[0]);
    if (rec.Digits.size() > 1)
        s += DecimalSeparator() + QString::fromLatin1(rec.Digits.mid(1));
    const int e = rec.Exponent - 1;
    s += QLatin1Char('E');
    if (e < 0)
        s += QLatin1Char('-');
    s += QStringLiteral("%1").arg(std::abs(e), std::clamp(expDigits, 0, 4), 10, QLatin1Char('0'));
    return s;
}

QString fixedText(const TFloatRec& rec, int decimals, bool group)
{
    QString intPart;
    if (rec.Exponent <= 0) {
        intPart = QStringLiteral("0");
    } else {
        for (int i = 0; i < rec.Exponent; ++i) {
            intPart += digitAt(rec, i);
            const int weight = rec.Exponent - 1 - i;
            if (group && weight > 0 && weight % 3 == 0)
                intPart += ThousandSeparator();
        }
    }
    QString s = rec.Negative ? QStringLiteral("-") + intPart : intPart;
    if (decimals > 0) {
        s += DecimalSeparator();
        for (int i = 0; i < decimals; ++i)
            s += digitAt(rec, rec.Exponent + i);
    }
    return s;
}

// Splits at ";" outside quotes.
QStringList splitSections(const QString& pattern)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (const QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

bool isExponentAt(const QString& sec, int i)
{
    return (sec[i] == QLatin1Char('E') || sec[i] == QLatin1Char('e')) && i + 1 < sec.size() &&
           (sec[i + 1] == QLatin1Char('+') || sec[i + 1] == QLatin1Char('-'));
}

struct SectionResult {
    QString text;
    bool zero = false;
    bool general = false;
};

SectionResult formatSection(const QString& sec, double value, bool signInSection)
{
    // Scan the placeholders.
    int digitCount = 0, decimalIndex = -1, firstZero = -1, lastZero = -1, expDigits = 0;
    bool thousands = false, scientific = false;
    QChar quote;
    for (int i = 0; i < sec.size(); ++i) {
        const QChar c = sec[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (c == QLatin1Char('0')) {
                if (firstZero < 0)
                    firstZero = digitCount;
                lastZero = digitCount;
            }
            ++digitCount;
        } else if (c == QLatin1Char('.')) {
            if (decimalIndex < 0)
                decimalIndex = digitCount;
        } else if (c == QLatin1Char(',')) {
            thousands = true;
        } else if (!scientific && isExponentAt(sec, i)) {
            scientific = true;
            i += 2;
            while (i < sec.size() && sec[i] == QLatin1Char('0')) {
                ++expDigits;
                ++i;
            }
            --i;
        }
    }
    if (decimalIndex < 0)
        decimalIndex = digitCount;
    const int forcedIntFrom = firstZero < 0 ? decimalIndex : std::min(firstZero, decimalIndex);
    const int forcedFracTo = std::max(lastZero, decimalIndex - 1);

    SectionResult res;
    TFloatRec rec;
    int shownExponent = 0;
    if (scientific) {
        rec = FloatToDecimal(value, std::max(digitCount, 1), 9999);
        if (!rec.Digits.isEmpty())
            shownExponent = rec.Exponent - decimalIndex;
    } else {
        rec = FloatToDecimal(value, 18, digitCount - decimalIndex);
        if (rec.Exponent > 18) {
            res.general = true;
            return res;
        }
    }
    res.zero = rec.Digits.isEmpty();
    const bool minus = rec.Negative && !signInSection;

    // Digit of placeholder k, counted over all placeholders of the section.
    const auto digitIndex = [&](int k) { return scientific ? k : rec.Exponent - decimalIndex + k; };

    QString out;
    bool numberStarted = false, fractionShown = false;
    int pointPos = -1;
    const auto startNumber = [&]() {
        if (numberStarted)
            return;
        numberStarted = true;
        if (minus)
            out += QLatin1Char('-');
        // Integer digits beyond the placeholders go in front of the first one.
        if (!scientific) {
            for (int w = rec.Exponent - 1; w >= decimalIndex; --w) {
                out += digitAt(rec, rec.Exponent - 1 - w);
                if (thousands && w > 0 && w % 3 == 0)
                    out += ThousandSeparator();
            }
        }
    };

    int k = 0;
    quote = QChar();
    for (int i = 0; i < sec.size(); ++i) {
        const QChar c = sec[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out += c;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            startNumber();
            const int idx = digitIndex(k);
            if (k < decimalIndex) {
                const int weight = decimalIndex - 1 - k;
                const bool present = k >= forcedIntFrom ||
                                     (scientific ? idx < rec.Digits.size() : weight < rec.Exponent);
                if (present) {
                    out += digitAt(rec, idx);
                    if (thousands && !scientific && weight > 0 && weight % 3 == 0)
                        out += ThousandSeparator();
                }
            } else if (k <= forcedFracTo || idx < rec.Digits.size()) {
                out += digitAt(rec, idx);
                fractionShown = true;
            }
            ++k;
        } else if (c == QLatin1Char('.')) {
            startNumber();
            if (pointPos < 0)
                pointPos = int(out.size());
        } else if (c == QLatin1Char(',')) {
            // grouping only
        } else if (scientific && isExponentAt(sec, i)) {
            out += c;
            if (shownExponent < 0)
                out += QLatin1Char('-');
            else if (sec[i + 1] == QLatin1Char('+'))
                out += QLatin1Char('+');
            i += 2;
            int zeros = 0;
            while (i < sec.size() && sec[i] == QLatin1Char('0')) {
                ++zeros;
                ++i;
            }
            --i;
            out += QStringLiteral("%1").arg(std::abs(shownExponent), std::min(zeros, 4), 10, QLatin1Char('0'));
            scientific = false;  // a second "E+" is a literal
        } else {
            out += c;
        }
    }
    if (fractionShown && pointPos >= 0)
        out.insert(pointPos, DecimalSeparator());
    res.text = out;
    return res;
}

}  // namespace

QString FloatToStr(double value) { return FloatToStrF(value, ffGeneral, 15, 0); }

QString FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    if (std::isnan(value) || std::isinf(value))
        return specialText(value);
    precision = std::clamp(precision, 1, 18);
    switch (format) {
    case ffGeneral: {
        const TFloatRec rec = FloatToDecimal(value, precision, 9999);
        if (rec.Digits.isEmpty())
            return QStringLiteral("0");
        // Scientific when the integer digits exceed the precision or the value is below 0.0001.
        if (rec.Exponent > precision || rec.Exponent < -3)
            return generalExponent(rec, digits);
        QString s = rec.Negative ? QStringLiteral("-") : QString();
        if (rec.Exponent <= 0) {
            s += QLatin1Char('0') + QString(DecimalSeparator()) + QString(-rec.Exponent, QLatin1Char('0')) +
                 QString::fromLatin1(rec.Digits);
        } else {
            for (int i = 0; i < rec.Exponent; ++i)
                s += digitAt(rec, i);
            if (rec.Digits.size() > rec.Exponent)
                s += DecimalSeparator() + QString::fromLatin1(rec.Digits.mid(rec.Exponent));
        }
        return s;
    }
    case ffExponent: {
        const TFloatRec rec = FloatToDecimal(value, precision, 9999);
        QString s = rec.Negative ? QStringLiteral("-") : QString();
        s += digitAt(rec, 0);
        if (precision > 1) {
            s += DecimalSeparator();
            for (int i = 1; i < precision; ++i)
                s += digitAt(rec, i);
        }
        const int e = rec.Digits.isEmpty() ? 0 : rec.Exponent - 1;
        s += QLatin1Char('E') + QString(e < 0 ? QLatin1Char('-') : QLatin1Char('+'));
        s += QStringLiteral("%1").arg(std::abs(e), std::clamp(digits, 0, 4), 10, QLatin1Char('0'));
        return s;
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        digits = std::clamp(digits, 0, 18);
        const TFloatRec rec = FloatToDecimal(value, precision, digits);
        // More integer digits than the precision holds: scientific, as the general format writes it.
        if (rec.Exponent > precision)
            return generalExponent(FloatToDecimal(value, precision, 9999), 0);
        return fixedText(rec, digits, format != ffFixed);
    }
    }
    return QString();
}

QString FormatFloat(const QString& pattern, double value)
{
    if (std::isnan(value) || std::isinf(value))
        return specialText(value);
    if (pattern.isEmpty())
        return FloatToStr(value);
    const QStringList sections = splitSections(pattern);
    int index = 0;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty())
        index = 1;
    if (sections[index].isEmpty())
        return FloatToStr(value);
    SectionResult r = formatSection(sections[index], value, index == 1);
    // A value that rounds to zero takes the zero section when there is one, else the
    // first section: no "(0)" for a tiny negative value.
    if (!r.general && r.zero) {
        if (sections.size() > 2 && !sections[2].isEmpty())
            r = formatSection(sections[2], value, true);
        else if (index == 1)
            r = formatSection(sections[0], value, false);
    }
    if (r.general)
        return FloatToStr(value);
    return r.text;
}

QString IntToStr(long long value) { return QString::number(value); }

bool TryStrToFloat(const QString& text, double& value)
{
    // Blanks around; sign; digits with at most one decimal separator; optional exponent.
    const QString t = text.trimmed();
    const QChar sep = DecimalSeparator();
    std::string ascii;
    int i = 0;
    const int n = int(t.size());
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ascii += char(t[i++].toLatin1());
    int mantissaDigits = 0, intDigits = 0, fracDigits = 0;
    int firstIntDigit = -1, firstFracDigit = -1;  // position of the first non-zero digit
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (point)
                ++fracDigits;
            else
                ++intDigits;
            if (c != QLatin1Char('0') && firstIntDigit < 0 && firstFracDigit < 0) {
                if (point)
                    firstFracDigit = fracDigits;
                else
                    firstIntDigit = intDigits;
            }
            ++mantissaDigits;
            ascii += char(c.toLatin1());
        } else if (c == sep && !point) {
            point = true;
            ascii += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false;
    long long exp10 = 0;
    if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ascii += 'e';
        ++i;
        bool negExp = false;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
            negExp = t[i] == QLatin1Char('-');
            ascii += char(t[i++].toLatin1());
        }
        const int start = i;
        for (; i < n && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'); ++i) {
            ascii += char(t[i].toLatin1());
            if (exp10 < 100000)
                exp10 = exp10 * 10 + (t[i].unicode() - '0');
        }
        if (i == start)
            return false;
        if (negExp)
            exp10 = -exp10;
    }
    if (i != n)
        return false;
    double v = 0;
    const char* first = ascii.data() + (ascii[0] == '+' ? 1 : 0);
    const auto r = std::from_chars(first, ascii.data() + ascii.size(), v);
    if (r.ptr != ascii.data() + ascii.size())
        return false;
    if (r.ec == std::errc::result_out_of_range) {
        // Too small underflows to zero; too large is not a valid value.
        // Decimal weight of the leading digit.
        const long long lead = firstIntDigit >= 0 ? intDigits - firstIntDigit : -firstFracDigit;
        if (firstIntDigit < 0 && firstFracDigit < 0)
            v = 0;
        else if (lead + exp10 < 0)
            v = ascii[0] == '-' ? -0.0 : 0.0;
        else
            return false;
    } else if (r.ec != std::errc()) {
        return false;
    }
    value = v;
    return true;
}

bool TryStrToInt(const QString& text, long long& value)
{
    QString t = text.trimmed();
    bool neg = false;
    if (t.startsWith(QLatin1Char('+')) || t.startsWith(QLatin1Char('-'))) {
        neg = t[0] == QLatin1Char('-');
        t.remove(0, 1);
    }
    int base = 10;
    if (t.startsWith(QLatin1Char('$'))) {
        base = 16;
        t.remove(0, 1);
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t.remove(0, 2);
    }
    if (t.isEmpty() || t.size() > 20)
        return false;
    unsigned long long v = 0;
    for (const QChar c : t) {
        const int d = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                    : base == 16 && c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')
                        ? c.toLower().unicode() - 'a' + 10
                        : -1;
        if (d < 0)
            return false;
        v = v * unsigned(base) + unsigned(d);
        if (v > 0xFFFFFFFFull)
            return false;
    }
    long long r;
    if (base == 16) {
        // Hex covers the full 32 bits: $FFFFFFFF is -1.
        r = (long long)(int32_t)(uint32_t)v;
    } else {
        if (v > (neg ? 2147483648ull : 2147483647ull))
            return false;
        r = (long long)v;
    }
    value = neg ? -r : r;
    return true;
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
