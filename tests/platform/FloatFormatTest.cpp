// Floating-point text conversions: the runtime's rounding on the 18-digit
// decimal form, its exponent forms and its picture language.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "FloatFormat.h"

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TFormatSettings CommaSettings()
{
    TFormatSettings S = TFormatSettings::Default();
    S.DecimalSeparator = ',';
    S.ThousandSeparator = '.';
    return S;
}

template <class E, class F>
String MessageOf(F&& Fn)
{
    try {
        Fn();
    } catch (const E& Ex) {
        return Ex.Message();
    }
    return "<no exception>";
}

} // namespace

TEST(FloatFormatTest, FloatToDecimalKeepsEighteenExactDigitsAndRoundsThemHalfUp)
{
    struct Case {
        double Value;
        int Precision, Decimals;
        const char* Digits;
        int Exponent;
        bool Negative;
    } const Cases[] = {
        // 0.1 is 0.1000000000000000055511...: 18 digits, correctly rounded.
        {0.1, 18, 9999, "100000000000000006", 0, false},
        {0.1, 15, 9999, "1", 0, false},
        {-1234.5678, 18, 9999, "123456780000000003", 4, true},
        // 1.005 is 1.00499999999999989...: rounds down at two decimals.
        {1.005, 18, 2, "1", 1, false},
        // 0.005 is 0.00500000000000000010...: the first kept place is before
        // its first digit, which rounds up into it.
        {0.005, 18, 2, "1", -1, false},
        {0.004, 18, 2, "", 0, false},
        {-0.004, 18, 2, "", 0, true}, // rounds to zero, keeps its sign
        {0.0004, 18, 2, "", 0, false},
        {999.96, 18, 1, "1", 4, false}, // carry through all digits
        {123456, 3, 9999, "123", 6, false},
        {0.0, 18, 9999, "", 0, false},
        {-0.0, 18, 9999, "", 0, false},
        {5e-324, 18, 9999, "494065645841246544", -323, false},
    };
    for (const Case& C : Cases) {
        TFloatRec R;
        FloatToDecimal(R, C.Value, C.Precision, C.Decimals);
        EXPECT_EQ(R.Digits, C.Digits) << C.Value << " " << C.Precision << " " << C.Decimals;
        EXPECT_EQ(R.Exponent, C.Exponent) << C.Value;
        EXPECT_EQ(R.Negative, C.Negative) << C.Value;
    }
    TFloatRec R;
    FloatToDecimal(R, -Inf, 15, 0);
    EXPECT_EQ(R.Exponent, FloatRecInfExponent);
    EXPECT_TRUE(R.Negative);
    FloatToDecimal(R, NaN, 15, 0);
    EXPECT_EQ(R.Exponent, FloatRecNanExponent);
}

TEST(FloatFormatTest, FloatToStrUsesFifteenDigitsAndTheGeneralExponentRule)
{
    struct Case {
        double Value;
        const char* Expected;
    } const Cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-42, "-42"},
        {1.5, "1.5"},
        {123.456, "123.456"},
        {0.1 + 0.2, "0.3"},
        {0.7 + 0.1, "0.8"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-1.23456789012345678, "-1.23456789012346"},
        {123456789012345.0, "123456789012345"}, // 15 integer digits stay fixed
        {999999999999999.0, "999999999999999"},
        {1e15, "1E15"},
        {999999999999999.5, "1E15"}, // rounds up into the exponent form
        {123456789012345678.0, "1.23456789012346E17"},
        {-2.5e20, "-2.5E20"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {0.00001, "1E-5"},
        {9.999999999999999e-5, "0.0001"}, // rounds up past the exponent limit
        {1.5e-7, "1.5E-7"},
        {-1e-100, "-1E-100"},
        {1.7976931348623157e308, "1.79769313486232E308"},
        {5e-324, "4.94065645841247E-324"},
        {NaN, "NAN"},
        {-NaN, "NAN"},
        {Inf, "INF"},
        {-Inf, "-INF"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FloatToStr(C.Value), C.Expected) << C.Value;
}

TEST(FloatFormatTest, FloatToStrFFollowsEachFormatsRules)
{
    struct Case {
        double Value;
        TFloatFormat Format;
        int Precision, Digits;
        const char* Expected;
    } const Cases[] = {
        {1234.5678, ffGeneral, 6, 0, "1234.57"},
        {1234567.0, ffGeneral, 4, 0, "1.235E6"},
        {1234567.0, ffGeneral, 4, 2, "1.235E06"},
        {0.00001234, ffGeneral, 15, 3, "1.234E-005"},
        {123, ffGeneral, 0, 0, "1.2E2"}, // precision taken as at least 2
        {0.1, ffGeneral, 30, 0, "0.100000000000000006"}, // and at most 18

        {1234.5678, ffExponent, 6, 0, "1.23457E+3"},
        {1234.5678, ffExponent, 6, 2, "1.23457E+03"},
        {1234.5678, ffExponent, 6, 9, "1.23457E+0003"}, // at most 4 exponent digits
        {-0.000123, ffExponent, 3, 1, "-1.23E-4"},
        {0, ffExponent, 4, 2, "0.000E+00"},
        {1.5, ffExponent, 1, 0, "1.5E+0"},
        {9.9999, ffExponent, 3, 2, "1.00E+01"},

        {1234.5678, ffFixed, 15, 2, "1234.57"},
        {2.5, ffFixed, 15, 0, "3"},
        {-2.5, ffFixed, 15, 0, "-3"},
        {1.005, ffFixed, 15, 2, "1.00"},
        {0.005, ffFixed, 15, 2, "0.01"},
        {0.05, ffFixed, 15, 3, "0.050"},
        {-0.001, ffFixed, 15, 2, "-0.00"}, // the record keeps the sign
        {1.0 / 3, ffFixed, 4, 8, "0.33330000"}, // Precision digits, then zeros
        {12, ffFixed, 15, 25, "12.000000000000000000"}, // Digits taken in 0..18
        {12.3, ffFixed, 15, -1, "12"},
        {123456789012345.0, ffFixed, 15, 2, "123456789012345.00"},
        {1e20, ffFixed, 15, 2, "1.00000000000000E+20"}, // too many integer digits
        {1234567, ffFixed, 5, 0, "1.2346E+6"},

        {1234567.891, ffNumber, 15, 2, "1,234,567.89"},
        {-1234.5, ffNumber, 15, 0, "-1,235"},
        {999.999, ffNumber, 15, 2, "1,000.00"},
        {123, ffNumber, 15, 1, "123.0"},
        {0.5, ffNumber, 15, 2, "0.50"},

        {1234.5, ffCurrency, 15, 2, "$1,234.50"},
        {-1234.5, ffCurrency, 15, 2, "($1,234.50)"},
        {0, ffCurrency, 15, 2, "$0.00"},
        {1e20, ffCurrency, 15, 2, "1.00000000000000E+20"},

        {NaN, ffFixed, 15, 2, "NAN"},
        {Inf, ffNumber, 15, 2, "INF"},
        {-Inf, ffCurrency, 15, 2, "-INF"},
        {-Inf, ffExponent, 15, 2, "-INF"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FloatToStrF(C.Value, C.Format, C.Precision, C.Digits), C.Expected)
            << C.Value << " format " << C.Format << " " << C.Precision << " " << C.Digits;
    EXPECT_THROW(FloatToStrF(1, static_cast<TFloatFormat>(9), 15, 2), EConvertError);
}

TEST(FloatFormatTest, CurrencyLayoutsFollowTheSettings)
{
    const char* const Positive[] = {"DM1.50", "1.50DM", "DM 1.50", "1.50 DM"};
    const char* const Negative[] = {"(DM1.50)", "-DM1.50",  "DM-1.50",  "DM1.50-",  "(1.50DM)",  "-1.50DM",
                                    "1.50-DM",  "1.50DM-",  "-1.50 DM", "-DM 1.50", "1.50 DM-",  "DM 1.50-",
                                    "DM -1.50", "1.50- DM", "(DM 1.50)", "(1.50 DM)"};
    TFormatSettings S = TFormatSettings::Default();
    S.CurrencyString = "DM";
    for (int F = 0; F < 4; ++F) {
        S.CurrencyFormat = F;
        EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2, S), Positive[F]) << "CurrencyFormat " << F;
    }
    for (int F = 0; F < 16; ++F) {
        S.NegCurrFormat = F;
        EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2, S), Negative[F]) << "NegCurrFormat " << F;
    }
    S.NegCurrFormat = 16;
    EXPECT_THROW(FloatToStrF(-1.5, ffCurrency, 15, 2, S), EConvertError);
    S.CurrencyFormat = -1;
    EXPECT_THROW(FloatToStrF(1.5, ffCurrency, 15, 2, S), EConvertError);
}

TEST(FloatFormatTest, FormatFloatPictures)
{
    struct Case {
        const char* Format;
        double Value;
        const char* Expected;
    } const Cases[] = {
        // Rounding: half away from zero on the 18-digit decimal form.
        {"0", 0.5, "1"},
        {"0", 1.5, "2"},
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {"0", 1.49, "1"},
        {"0.00", 1.005, "1.00"},
        {"0.00", 1.015, "1.01"},
        {"0.00", 1.125, "1.13"},
        {"0.00", 2.675, "2.67"},
        {"0.00", 0.005, "0.01"},
        // '0' and '#' placeholders.
        {"0.00", 0, "0.00"},
        {"0.00", 0.05, "0.05"},
        {"00000", 42, "00042"},
        {"0#", 5, "05"},
        {"#", 0, ""},
        {"#.##", 0, ""},
        {"#.00", 0.5, ".50"},
        {"#.##", 0.05, ".05"},
        {"0.###", 1.5, "1.5"},
        {"0.###", 2, "2"},
        {"0.###", 1.23456, "1.235"},
        {"0.#0", 1.5, "1.50"},
        {"#.##############", 0.1 + 0.2, ".3"},
        {"#.##############", 1.0 / 3, ".33333333333333"},
        {"0.0", 12345.67, "12345.7"}, // extra integer digits go before the first placeholder
        {"0-0", 123, "12-3"},
        // Thousands separators.
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0.00", -1234.5, "-1,234.50"},
        {"#,##0.00", 0, "0.00"},
        {"#,##0", 999.5, "1,000"},
        {"#,#", 1234567, "1,234,567"},
        {"0,000", 5, "0,005"},
        {"0.0,", 1234.5, "1,234.5"},
        // Scientific notation.
        {"00.0E+00", 1234.5, "12.3E+02"},
        {"00.0E+00", 0.000123, "12.3E-05"},
        {"0.00E+00", 0, "0.00E+00"},
        {"0.0E-0", 1500, "1.5E3"},
        {"0.0E-0", 0.0015, "1.5E-3"},
        {"0.0e+000", -1500, "-1.5e+003"},
        {"0.00E+00000", 1e100, "1.00E+0100"},
        {"##0.0E+0", 12345, "123.5E+2"},
        {"00.0E+0", 1, "10.0E-1"},
        // Sections.
        {"#,##0;(#,##0);Zero", 1234, "1,234"},
        {"#,##0;(#,##0);Zero", -1234, "(1,234)"},
        {"#,##0;(#,##0);Zero", 0, "Zero"},
        {"#,##0;(#,##0);Zero", 0.4, "Zero"},   // rounds to zero in the first section
        {"#,##0;(#,##0);Zero", -0.4, "Zero"},
        {"0.00;(0.00)", 0, "0.00"},              // two sections: zero takes the first
        {"0.00;(0.00)", -0.001, "0.00"},
        {"0.00", -0.001, "0.00"},
        {"0.00;(0.0)", -1.26, "(1.3)"},          // the negative section's own decimals
        {"0.00;;Zero", -1.5, "-1.50"},           // empty negative section
        {"0.00;", -1.5, "-1.50"},
        {"0;-0;Z;ignored", 0, "Z"},
        {"'a;b'0;(0)", -3, "(3)"},               // ';' in quotes separates nothing
        // Literal text.
        {"'$'#,##0", 1234, "$1,234"},
        {"'$'#,##0", -1234, "-$1,234"},
        {"\"Total: \"0", 5, "Total: 5"},
        {"0%", 45, "45%"},
        {"0' E+'", 5, "5 E+"},
        {"0 'units", 5, "5 units"},
        {"x", 7, "x"},
        // General format fallbacks.
        {"", 1234.5, "1234.5"},
        {"", 1e15, "1E15"},
        {";0", 5, "5"},
        {"0", 1e18, "1E18"},
        {"#,##0", -1e18, "-1E18"},
        {"0", 999999999999999872.0, "999999999999999872"},
        {"0.00E+00", 1e18, "1.00E+18"},
        {"0", NaN, "NAN"},
        {"0;(0)", -Inf, "-INF"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FormatFloat(C.Format, C.Value), C.Expected) << "FormatFloat(\"" << C.Format << "\", " << C.Value << ")";
}

TEST(FloatFormatTest, CommaDecimalSettingsApplyThroughout)
{
    const TFormatSettings S = CommaSettings();
    EXPECT_EQ(FloatToStr(1.5, S), "1,5");
    EXPECT_EQ(FloatToStr(1.5e-7, S), "1,5E-7");
    EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2, S), "1.234.567,89");
    EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 3, 2, S), "1,23E+03");
    EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, S), "($1.234,50)");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, S), "1.234,50");
    EXPECT_EQ(CurrToStr(2.25, S), "2,25");
    EXPECT_DOUBLE_EQ(StrToFloat(" 1,5 ", S), 1.5);
    double V;
    EXPECT_FALSE(TryStrToFloat("1.5", V, S));
    EXPECT_FALSE(TryStrToFloat("1.234,5", V, S));
    EXPECT_EQ(StrToFloatDef("1.5", -1, S), -1);

    TFormatSettings NoGrouping = TFormatSettings::Default();
    NoGrouping.ThousandSeparator = '\0';
    EXPECT_EQ(FloatToStrF(1234567, ffNumber, 15, 0, NoGrouping), "1234567");
    EXPECT_EQ(FormatFloat("#,##0", 1234567, NoGrouping), "1234567");
}

TEST(FloatFormatTest, CurrToStrRoundsToFourDecimals)
{
    struct Case {
        double Value;
        const char* Expected;
    } const Cases[] = {
        {0, "0"},       {100, "100"},           {1.23456, "1.2346"},
        {-0.5, "-0.5"}, {0.00004, "0"},         {-0.00004, "0"},
        {0.00005, "0.0001"}, // 0.0000500000000000000024 is past the half
        {922337203685477.5, "922337203685477.5"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(CurrToStr(C.Value), C.Expected) << C.Value;
    for (double Bad : {922337203685478.0, -922337203685478.0, 1e300, NaN, Inf})
        EXPECT_THROW(CurrToStr(Bad), EInvalidOp) << Bad;
}

TEST(FloatFormatTest, StrToFloatAcceptsTheRuntimesNumberSyntax)
{
    struct Good {
        const char* Text;
        double Expected;
    } const Goods[] = {
        {"1.5", 1.5},
        {"0.1", 0.1},
        {"  -1.5e3  ", -1500},
        {"+.5", 0.5},
        {"5.", 5},
        {"007", 7},
        {"1E-5", 1e-5},
        {"2.5E+2", 250},
        {"123456789012345678901234567890", 1.2345678901234568e29},
        {"0.30000000000000004", 0.30000000000000004},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"4.9406564584124654e-324", 5e-324},
        {"1e-400", 0},
        {"0e99999999999", 0},
    };
    for (const Good& G : Goods) {
        double V = -99;
        EXPECT_TRUE(TryStrToFloat(G.Text, V)) << G.Text;
        EXPECT_EQ(V, G.Expected) << G.Text;
        EXPECT_EQ(StrToFloat(G.Text), G.Expected) << G.Text;
    }
    EXPECT_TRUE(std::signbit(StrToFloat("-0")));

    const char* const Bads[] = {"",    " ",     "abc",  "1,5",  "1,000.5", "1.5.2", "1e",   "1e+", "--1",
                                "- 1", "1 2",   "INF",  "NAN",  ".",       "e5",    "1e400", "0x10",
                                "1.5x", "\t1", "1d"};
    for (const char* Bad : Bads) {
        double V = -99;
        EXPECT_FALSE(TryStrToFloat(Bad, V)) << '"' << Bad << '"';
        EXPECT_EQ(V, -99) << "failed conversions leave the value alone: " << Bad;
        EXPECT_EQ(StrToFloatDef(Bad, 7.25), 7.25) << Bad;
    }
    EXPECT_EQ(MessageOf<EConvertError>([] { StrToFloat("1,5"); }), "'1,5' is not a valid floating point value");
    EXPECT_EQ(MessageOf<EConvertError>([] { StrToFloat(""); }), "'' is not a valid floating point value");
}

TEST(FloatFormatTest, TextRoundTripsThroughEighteenDigits)
{
    // Eighteen significant digits identify every double, so a value written by
    // FloatToStrF with precision 18 reads back unchanged.
    for (double V : {0.1, 1.0 / 3, -2.675, 123456.789e-200, 6.02214076e23, 5e-324, 1.7976931348623157e308})
        EXPECT_EQ(StrToFloat(FloatToStrF(V, ffExponent, 18, 0)), V) << V;
}
