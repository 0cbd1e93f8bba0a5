// Number formatting and parsing.
#include "platform/core/exceptions.h"
#include "platform/core/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Pins the separators for one test and puts the test main's back afterwards.
struct Separators {
    Separators(QChar dec, QChar thou)
    {
        SetDecimalSeparator(dec);
        SetThousandSeparator(thou);
    }
    ~Separators()
    {
        SetDecimalSeparator(QLatin1Char('.'));
        SetThousandSeparator(QLatin1Char(','));
    }
};

std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

TEST(FloatToStr, GeneralFormatWith15DigitsAndUpperCaseE)
{
    EXPECT_EQ(S(FloatToStr(0.1)), "0.1");
    EXPECT_EQ(S(FloatToStr(1e20)), "1E20");
    EXPECT_EQ(S(FloatToStr(1.5e-7)), "1.5E-7");
    EXPECT_EQ(S(FloatToStr(123456789012345678.0)), "1.23456789012346E17");
    EXPECT_EQ(S(FloatToStr(1.23456789012345e-10)), "1.23456789012345E-10");
    EXPECT_EQ(S(FloatToStr(100)), "100");
    EXPECT_EQ(S(FloatToStr(-2.5)), "-2.5");
    EXPECT_EQ(S(FloatToStr(0)), "0");
    EXPECT_EQ(S(FloatToStr(-0.0)), "0");
    EXPECT_EQ(S(FloatToStr(1.0 / 3)), "0.333333333333333");
    EXPECT_EQ(S(FloatToStr(2.0 / 3)), "0.666666666666667");
    EXPECT_EQ(S(FloatToStr(0.1 + 0.2)), "0.3");
}

TEST(FloatToStr, SwitchesToScientificBeyond15IntegerDigitsAndBelow0_0001)
{
    EXPECT_EQ(S(FloatToStr(123456789012345.0)), "123456789012345");
    EXPECT_EQ(S(FloatToStr(1e15)), "1E15");
    // Rounding to 15 digits carries into a 16th integer digit.
    EXPECT_EQ(S(FloatToStr(999999999999999.9)), "1E15");
    EXPECT_EQ(S(FloatToStr(0.0001)), "0.0001");
    EXPECT_EQ(S(FloatToStr(0.00012)), "0.00012");
    EXPECT_EQ(S(FloatToStr(0.00001)), "1E-5");
    EXPECT_EQ(S(FloatToStr(-0.000025)), "-2.5E-5");
}

TEST(FloatToStr, SpecialValuesAndLocaleSeparator)
{
    EXPECT_EQ(S(FloatToStr(std::nan(""))), "NAN");
    EXPECT_EQ(S(FloatToStr(std::numeric_limits<double>::infinity())), "INF");
    EXPECT_EQ(S(FloatToStr(-std::numeric_limits<double>::infinity())), "-INF");
    Separators sep(QLatin1Char(','), QLatin1Char('.'));
    EXPECT_EQ(S(FloatToStr(1.5)), "1,5");
    EXPECT_EQ(S(FloatToStr(1.5e-7)), "1,5E-7");
}

TEST(FloatToStrF, FixedNumberAndExponentFormats)
{
    // The double nearest 1.005 is 1.00499999999999989...: it rounds down.
    EXPECT_EQ(S(FloatToStrF(1.005, ffFixed, 15, 2)), "1.00");
    // Exact halves go away from zero (not to even).
    EXPECT_EQ(S(FloatToStrF(0.125, ffFixed, 15, 2)), "0.13");
    EXPECT_EQ(S(FloatToStrF(2.5, ffFixed, 15, 0)), "3");
    EXPECT_EQ(S(FloatToStrF(-2.5, ffFixed, 15, 0)), "-3");
    EXPECT_EQ(S(FloatToStrF(-0.001, ffFixed, 15, 2)), "0.00");
    EXPECT_EQ(S(FloatToStrF(0.005, ffFixed, 15, 2)), "0.01");
    EXPECT_EQ(S(FloatToStrF(100, ffFixed, 15, 2)), "100.00");
    EXPECT_EQ(S(FloatToStrF(1234567.891, ffNumber, 15, 2)), "1,234,567.89");
    EXPECT_EQ(S(FloatToStrF(-1234.5, ffNumber, 15, 0)), "-1,235");
    EXPECT_EQ(S(FloatToStrF(1e20, ffFixed, 15, 2)), "1E20");
    EXPECT_EQ(S(FloatToStrF(12345.6, ffFixed, 4, 1)), "1.235E4");
    EXPECT_EQ(S(FloatToStrF(123.456, ffExponent, 4, 2)), "1.235E+02");
    EXPECT_EQ(S(FloatToStrF(0.000123, ffExponent, 3, 0)), "1.23E-4");
    EXPECT_EQ(S(FloatToStrF(0, ffExponent, 3, 2)), "0.00E+00");
    EXPECT_EQ(S(FloatToStrF(1.25, ffGeneral, 2, 0)), "1.3");
}

TEST(FormatFloat, OptionalAndForcedDigits)
{
    EXPECT_EQ(S(FormatFloat("0.##", 0.1)), "0.1");
    EXPECT_EQ(S(FormatFloat("0.##", 2)), "2");
    EXPECT_EQ(S(FormatFloat("0.##", 3.14159)), "3.14");
    EXPECT_EQ(S(FormatFloat("0.00", 2)), "2.00");
    EXPECT_EQ(S(FormatFloat("000", 7)), "007");
    EXPECT_EQ(S(FormatFloat("00.00", 3.14159)), "03.14");
    EXPECT_EQ(S(FormatFloat("#0.0#", 5)), "5.0");
    EXPECT_EQ(S(FormatFloat("#.##", 0.5)), ".5");
    EXPECT_EQ(S(FormatFloat("#", 0)), "");
    EXPECT_EQ(S(FormatFloat("0", 12345)), "12345");
    EXPECT_EQ(S(FormatFloat("0.##", 0.05)), "0.05");
}

TEST(FormatFloat, RoundsHalfAwayFromZeroOnThe18DigitDecimalForm)
{
    // 1.005 as a double reads 1.00499999999999989 in 18 digits: no half there.
    EXPECT_EQ(S(FormatFloat("0.##", 1.005)), "1");
    EXPECT_EQ(S(FormatFloat("0.00", 1.005)), "1.00");
    EXPECT_EQ(S(FormatFloat("0.00", 2.675)), "2.67");
    EXPECT_EQ(S(FormatFloat("0.##", 1.555)), "1.55");
    // Exact halves round away from zero, unlike Round's halves to even.
    EXPECT_EQ(S(FormatFloat("0.00", 0.125)), "0.13");
    EXPECT_EQ(S(FormatFloat("0.00", 123456789.125)), "123456789.13");
    EXPECT_EQ(S(FormatFloat("0", 0.5)), "1");
    EXPECT_EQ(S(FormatFloat("0", 2.5)), "3");
    EXPECT_EQ(S(FormatFloat("0", -2.5)), "-3");
    EXPECT_EQ(S(FormatFloat("0", 0.49999999999999994)), "0");
    // A carry through every digit adds one.
    EXPECT_EQ(S(FormatFloat(",0.##", 999.999)), "1,000");
    EXPECT_EQ(S(FormatFloat("0.00", 9.995)), "9.99");  // 9.99499999999999921...
    EXPECT_EQ(S(FormatFloat("0.0", 9.95)), "9.9");     // 9.94999999999999928...
    EXPECT_EQ(S(FormatFloat("0.0", 9.75)), "9.8");
}

TEST(FormatFloat, ThousandsSeparatorsAndSigns)
{
    EXPECT_EQ(S(FormatFloat(",0.##", 1234567.891)), "1,234,567.89");
    EXPECT_EQ(S(FormatFloat(",0.##", 999)), "999");
    EXPECT_EQ(S(FormatFloat(",0.##", -1000)), "-1,000");
    EXPECT_EQ(S(FormatFloat("#,##0.0", 0)), "0.0");
    EXPECT_EQ(S(FormatFloat("#,##0.0", 1234.56)), "1,234.6");
    EXPECT_EQ(S(FormatFloat("#,##0.0", -1234567.04)), "-1,234,567.0");
    // A value that rounds to zero shows no sign.
    EXPECT_EQ(S(FormatFloat("0.00", -0.001)), "0.00");
}

TEST(FormatFloat, SectionsLiteralsAndExponents)
{
    EXPECT_EQ(S(FormatFloat("0.00;(0.00)", -1.5)), "(1.50)");
    EXPECT_EQ(S(FormatFloat("0.00;(0.00)", 1.5)), "1.50");
    EXPECT_EQ(S(FormatFloat("0.00;(0.00);'zero'", 0)), "zero");
    EXPECT_EQ(S(FormatFloat("0.00;(0.00);'zero'", -0.001)), "zero");
    EXPECT_EQ(S(FormatFloat("0.00;", -1.5)), "-1.50");
    EXPECT_EQ(S(FormatFloat("0.0;(0.0)", -0.01)), "0.0");
    EXPECT_EQ(S(FormatFloat("'x=;'0.0\" cm\"", 3.14159)), "x=;3.1 cm");
    EXPECT_EQ(S(FormatFloat("0.00E+00", 12345)), "1.23E+04");
    EXPECT_EQ(S(FormatFloat("0.00E+00", 0.000123)), "1.23E-04");
    EXPECT_EQ(S(FormatFloat("0.00E+00", -12355)), "-1.24E+04");
    EXPECT_EQ(S(FormatFloat("0.0E-0", 12345)), "1.2E4");
    EXPECT_EQ(S(FormatFloat("0.00E+00", 0)), "0.00E+00");
    EXPECT_EQ(S(FormatFloat("00.0e+0", 12345)), "12.3e+3");
    // Beyond 18 integer digits the general format takes over.
    EXPECT_EQ(S(FormatFloat("0", 1e25)), "1E25");
    EXPECT_EQ(S(FormatFloat("", 2.5)), "2.5");
}

TEST(FormatFloat, UsesTheLocaleSeparators)
{
    Separators sep(QLatin1Char(','), QLatin1Char('.'));
    EXPECT_EQ(S(FormatFloat("0.00", 1.5)), "1,50");
    EXPECT_EQ(S(FormatFloat(",0.##", 1234567.891)), "1.234.567,89");
    EXPECT_EQ(S(FloatToStrF(1234.5, ffNumber, 15, 1)), "1.234,5");
}

TEST(StrToFloat, AcceptsNumbersWithTheLocaleSeparatorOnly)
{
    EXPECT_EQ(StrToFloat("1.5"), 1.5);
    EXPECT_EQ(StrToFloat(" -2.5e3 "), -2500);
    EXPECT_EQ(StrToFloat(".5"), 0.5);
    EXPECT_EQ(StrToFloat("1."), 1.0);
    EXPECT_EQ(StrToFloat("+3"), 3.0);
    EXPECT_EQ(StrToFloat("1E-400"), 0.0);
    EXPECT_EQ(StrToFloat("0.000e999999"), 0.0);
    for (const char* bad :
         {"", " ", "abc", "1,5", "1.2.3", "1e", "1e+", "1e400", "inf", "nan", "0x10", "1 2", "--1", "."})
        EXPECT_THROW(StrToFloat(QString::fromLatin1(bad)), EConvertError) << bad;
    try {
        StrToFloat("abc");
    } catch (const EConvertError& e) {
        EXPECT_EQ(S(e.Message()), "'abc' is not a valid floating point value");
    }
    double v = 7;
    EXPECT_FALSE(TryStrToFloat("x", v));
    EXPECT_EQ(v, 7);

    Separators sep(QLatin1Char(','), QLatin1Char('.'));
    EXPECT_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_THROW(StrToFloat("1.5"), EConvertError);
}

TEST(StrToInt, DecimalAndHexWithin32Bits)
{
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt(" -7 "), -7);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483648LL);
    for (const char* bad : {"", "2147483648", "-2147483649", "12a", "1.0", "$", "$1G", "99999999999999999999999"})
        EXPECT_THROW(StrToInt(QString::fromLatin1(bad)), EConvertError) << bad;
    try {
        StrToInt("12a");
    } catch (const EConvertError& e) {
        EXPECT_EQ(S(e.Message()), "'12a' is not a valid integer value");
    }
}

TEST(FloatToDecimal, DigitsAndExponentOfTheRoundedValue)
{
    TFloatRec r = FloatToDecimal(-123.456, 18, 9999);
    EXPECT_TRUE(r.Negative);
    EXPECT_EQ(r.Exponent, 3);
    EXPECT_EQ(r.Digits, "123456000000000003");
    r = FloatToDecimal(0.0005, 18, 2);  // below the last decimal: zero, no sign
    EXPECT_TRUE(r.Digits.isEmpty());
    r = FloatToDecimal(-0.005, 18, 2);
    EXPECT_EQ(r.Digits, "1");
    EXPECT_EQ(r.Exponent, -1);
    EXPECT_TRUE(r.Negative);
}
