#pragma once
#include <QChar>
#include <QString>

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// The decimal separator of the user's locale; tests may pin it.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar c);
QChar ThousandSeparator();
void SetThousandSeparator(QChar c);

// General format, 15 significant digits, upper-case "E" ("1.5E-7", "1E20", "0.1").
QString FloatToStr(double value);
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
// Pattern formatting: "0" digit, "#" optional digit, "." decimal point, "," thousands,
// "E+"/"E-" exponent, quoted literals, up to three ";"-separated sections.
QString FormatFloat(const QString& pattern, double value);
QString IntToStr(long long value);
// Conversions raise EConvertError on text that is not a number.
double StrToFloat(const QString& text);
long long StrToInt(const QString& text);
bool TryStrToFloat(const QString& text, double& value);
bool TryStrToInt(const QString& text, long long& value);
