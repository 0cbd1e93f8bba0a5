// Number formatting and the locale's decimal and thousand separators.
#pragma once
#include <QByteArray>
#include <QChar>
#include <QString>

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// The decimal separator of the user's locale; tests may pin it.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar c);
QChar ThousandSeparator();
void SetThousandSeparator(QChar c);

// A value as decimal digits: value = 0.Digits × 10^Exponent. Digits has no trailing
// zeros and is empty for zero (then Negative is false).
struct TFloatRec {
    int Exponent = 0;
    bool Negative = false;
    QByteArray Digits;
};
// Rounds on the decimal digits, not on the binary value: the value is first written
// with 18 significant digits, then rounded half away from zero to at most `precision`
// significant digits and at most `decimals` digits after the point (9999: no limit).
TFloatRec FloatToDecimal(double value, int precision, int decimals);

// General format, 15 significant digits, upper-case "E" ("1.5E-7", "1E20", "0.1").
QString FloatToStr(double value);
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
// Pattern formatting: "0" digit, "#" optional digit, "." decimal point, "," thousands,
// "E+"/"E-" exponent, quoted literals, up to three ";"-separated sections (positive;
// negative; zero). Halves round away from zero on the 18-digit decimal form, so
// 0.125 gives "0.13" with "0.00" and the double nearest 1.005 (1.00499999999999989…)
// gives "1" with "0.##".
QString FormatFloat(const QString& pattern, double value);
QString IntToStr(long long value);
// Conversions raise EConvertError on text that is not a number: StrToFloat takes
// blanks around, a sign, digits with the locale's decimal separator and an exponent;
// StrToInt takes a sign and decimal digits, or "$"/"0x" and hex digits, in 32 bits.
double StrToFloat(const QString& text);
long long StrToInt(const QString& text);
bool TryStrToFloat(const QString& text, double& value);
bool TryStrToInt(const QString& text, long long& value);
