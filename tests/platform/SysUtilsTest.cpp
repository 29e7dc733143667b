// String and integer helpers, Format and the locale settings of the runtime.
#include <gtest/gtest.h>

#include "SysUtils.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>

#include <climits>
#include <functional>

namespace {

template <typename F>
String ConvertErrorOf(F&& Call)
{
    try {
        Call();
    } catch (const EConvertError& E) {
        return E.Message();
    }
    return "(no EConvertError)";
}

} // namespace

TEST(SysUtilsTest, StrToIntFollowsValRules)
{
    struct Case {
        const char* Text;
        bool Valid;
        int Value;
    };
    const Case Cases[] = {
        {"0", true, 0},
        {"123", true, 123},
        {"00012", true, 12},
        {"   42", true, 42},
        {"-17", true, -17},
        {"+5", true, 5},
        {"  -8", true, -8},
        {"$FF", true, 255},
        {"$ff", true, 255},
        {"0x1F", true, 31},
        {"0X1f", true, 31},
        {"x10", true, 16},
        {"-$10", true, -16},
        {"+0x10", true, 16},
        {"$7FFFFFFF", true, INT_MAX},
        {"$FFFFFFFF", true, -1},
        {"$80000000", true, INT_MIN},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999", false, 0},
        {"$100000000", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"12a", false, 0},
        {"42 ", false, 0},
        {"1 2", false, 0},
        {"\t5", false, 0},
        {"-", false, 0},
        {"+-1", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"$G", false, 0},
        {"1.5", false, 0},
        {"0xFFx", false, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        int Value = 1234;
        EXPECT_EQ(TryStrToInt(C.Text, Value), C.Valid);
        EXPECT_EQ(StrToIntDef(C.Text, -99), C.Valid ? C.Value : -99);
        if (C.Valid) {
            EXPECT_EQ(Value, C.Value);
            EXPECT_EQ(StrToInt(C.Text), C.Value);
        } else {
            EXPECT_EQ(Value, 1234) << "a failed conversion leaves the variable alone";
            EXPECT_EQ(ConvertErrorOf([&] { StrToInt(C.Text); }),
                      String("'") + C.Text + "' is not a valid integer value");
        }
    }
}

TEST(SysUtilsTest, StrToInt64UsesTheWholeWidth)
{
    struct Case {
        const char* Text;
        bool Valid;
        int64_t Value;
    };
    const Case Cases[] = {
        {"2147483648", true, 2147483648LL},
        {"9223372036854775807", true, INT64_MAX},
        {"-9223372036854775808", true, INT64_MIN},
        {"9223372036854775808", false, 0},
        {"-9223372036854775809", false, 0},
        {"$FFFFFFFF", true, 0xFFFFFFFFLL},
        {"$FFFFFFFFFFFFFFFF", true, -1},
        {"$10000000000000000", false, 0},
        {" -0x10", true, -16},
        {"12a", false, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        int64_t Value = 0;
        EXPECT_EQ(TryStrToInt64(C.Text, Value), C.Valid);
        if (C.Valid) {
            EXPECT_EQ(Value, C.Value);
            EXPECT_EQ(StrToInt64(C.Text), C.Value);
        } else {
            EXPECT_EQ(StrToInt64Def(C.Text, 7), 7);
            EXPECT_THROW(StrToInt64(C.Text), EConvertError);
        }
    }
}

TEST(SysUtilsTest, IntegerToText)
{
    const std::pair<String, String> Cases[] = {
        {IntToStr(0), "0"},
        {IntToStr(-45), "-45"},
        {IntToStr(INT_MIN), "-2147483648"},
        {IntToStr(int64_t(INT64_MIN)), "-9223372036854775808"},
        {IntToStr(uint64_t(UINT64_MAX)), "18446744073709551615"},
        {IntToStr(4294967295u), "4294967295"},
        {IntToHex(255, 2), "FF"},
        {IntToHex(255, 4), "00FF"},
        {IntToHex(0, 0), "0"},
        {IntToHex(0xABC, 1), "ABC"},
        {IntToHex(10, 2), "0A"},
        {IntToHex(-1, 2), "FFFFFFFF"},
        {IntToHex(INT_MIN, 0), "80000000"},
        {IntToHex(int64_t(-1), 2), "FFFFFFFFFFFFFFFF"},
        {IntToHex(int64_t(0x123456789A), 4), "123456789A"},
        {IntToHex(int64_t(0x1F), 12), "00000000001F"},
        {IntToHex(uint64_t(UINT64_MAX), 0), "FFFFFFFFFFFFFFFF"},
        {BoolToStr(true), "-1"},
        {BoolToStr(false), "0"},
        {BoolToStr(true, true), "True"},
        {BoolToStr(false, true), "False"},
    };
    for (const auto& [Got, Want] : Cases)
        EXPECT_EQ(Got, Want);
}

TEST(SysUtilsTest, StrToBoolTakesNumbersAndNames)
{
    struct Case {
        const char* Text;
        bool Valid;
        bool Value;
    };
    const Case Cases[] = {
        {"True", true, true},  {"TRUE", true, true},   {"false", true, false}, {"-1", true, true},
        {"0", true, false},    {"2.5", true, true},    {"0.0", true, false},   {"yes", false, false},
        {"", false, false},    {"Truex", false, false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        bool Value = !C.Value;
        EXPECT_EQ(TryStrToBool(C.Text, Value), C.Valid);
        if (C.Valid)
            EXPECT_EQ(Value, C.Value);
        else
            EXPECT_EQ(ConvertErrorOf([&] { StrToBool(C.Text); }),
                      String("'") + C.Text + "' is not a valid boolean value");
    }
    EXPECT_TRUE(StrToBoolDef("maybe", true));
}

TEST(SysUtilsTest, PositionsAreOneBased)
{
    const String S = "abcabc";
    const std::pair<int, int> Positions[] = {
        {Pos("abc", S), 1},       {Pos("ca", S), 3},         {Pos("x", S), 0},
        {Pos("", S), 0},          {Pos("abcabcd", S), 0},    {Pos("a", ""), 0},
        {PosEx("abc", S, 2), 4},  {PosEx("abc", S, 4), 4},   {PosEx("abc", S, 5), 0},
        {PosEx("c", S, 6), 6},    {PosEx("c", S, 7), 0},     {PosEx("a", S, 0), 0},
        {PosEx("a", S, -3), 0},   {PosEx("", S, 2), 0},      {Length(S), 6},
        {LastDelimiter(".\\/", "a/b.c/d"), 6},               {LastDelimiter("xy", "abc"), 0},
        {LastDelimiter("ab", "abcab"), 5},
    };
    for (size_t I = 0; I < std::size(Positions); ++I)
        EXPECT_EQ(Positions[I].first, Positions[I].second) << "case " << I;

    EXPECT_TRUE(IsDelimiter("/.", "a/b", 2));
    EXPECT_FALSE(IsDelimiter("/.", "a/b", 1));
    EXPECT_FALSE(IsDelimiter("/.", "a/b", 0));
    EXPECT_FALSE(IsDelimiter("/.", "a/b", 4));
}

TEST(SysUtilsTest, CopyDeleteInsertClampTheirArguments)
{
    const std::pair<String, String> Copies[] = {
        {Copy("Hello", 1, 2), "He"},  {Copy("Hello", 2, 3), "ell"},  {Copy("Hello", 4, 99), "lo"},
        {Copy("Hello", 0, 2), "He"},  {Copy("Hello", -5, 3), "Hel"}, {Copy("Hello", 5, 1), "o"},
        {Copy("Hello", 6, 1), ""},    {Copy("Hello", 2, 0), ""},     {Copy("Hello", 2, -1), ""},
        {Copy("", 1, 1), ""},
    };
    for (const auto& [Got, Want] : Copies)
        EXPECT_EQ(Got, Want);

    struct DeleteCase {
        int Index, Count;
        const char* Want;
    };
    const DeleteCase Deletes[] = {{1, 1, "ello"}, {2, 2, "Hlo"},    {4, 99, "Hel"}, {5, 1, "Hell"},
                                  {0, 2, "Hello"}, {6, 1, "Hello"}, {2, 0, "Hello"}, {2, -3, "Hello"}};
    for (const DeleteCase& C : Deletes) {
        String S = "Hello";
        Delete(S, C.Index, C.Count);
        EXPECT_EQ(S, C.Want) << C.Index << "," << C.Count;
    }

    struct InsertCase {
        int Index;
        const char* Want;
    };
    const InsertCase Inserts[] = {{1, "__abc"}, {2, "a__bc"}, {4, "abc__"}, {9, "abc__"}, {0, "__abc"}, {-2, "__abc"}};
    for (const InsertCase& C : Inserts) {
        String S = "abc";
        Insert("__", S, C.Index);
        EXPECT_EQ(S, C.Want) << C.Index;
    }
}

TEST(SysUtilsTest, CaseAndComparison)
{
    const std::pair<String, String> Cases[] = {
        {UpperCase("abz AZ \xE9\xE0"), "ABZ AZ \xE9\xE0"},
        {LowerCase("ABZ az \xC9"), "abz az \xC9"},
        {AnsiUpperCase("abz \xE9\xE0\xFE\xF7\xFF\xDF"), "ABZ \xC9\xC0\xDE\xF7\xFF\xDF"},
        {AnsiLowerCase("ABZ \xC9\xC0\xDE\xD7"), "abz \xE9\xE0\xFE\xD7"},
    };
    for (const auto& [Got, Want] : Cases)
        EXPECT_EQ(Got, Want);

    struct CompareCase {
        int Got;
        int Want;
    };
    const CompareCase Compares[] = {
        {CompareStr("abc", "abc"), 0},
        {CompareStr("abc", "abd"), 'c' - 'd'},
        {CompareStr("abc", "ab"), 1},
        {CompareStr("a", "abcd"), -3},
        {CompareStr("a", "A"), 'a' - 'A'},
        {CompareStr("\xE9", "z"), 0xE9 - 'z'},
        {CompareText("abc", "ABC"), 0},
        {CompareText("a", "_"), 'A' - '_'},
        {CompareText("Abc", "abD"), 'C' - 'D'},
        {CompareText("\xE9", "\xC9"), 0xE9 - 0xC9},
        {CompareText("ab", "ABCD"), -2},
    };
    for (size_t I = 0; I < std::size(Compares); ++I)
        EXPECT_EQ(Compares[I].Got, Compares[I].Want) << "case " << I;

    EXPECT_TRUE(SameText("Hello", "hELLO"));
    EXPECT_FALSE(SameText("Hello", "Hell"));

    // Locale-style order: signs of the results.
    struct AnsiCase {
        const char* A;
        const char* B;
        int Str;  // sign of AnsiCompareStr
        int Text; // sign of AnsiCompareText
    };
    const AnsiCase Ansi[] = {
        {"apple", "Banana", -1, -1},     {"a", "A", -1, 0},          {"Zebra", "apple", 1, 1},
        {"resume", "r\xE9sum\xE9", -1, -1}, {"r\xE9sum\xE9", "rf", -1, -1}, {"_x", "a", -1, -1},
        {"9", "a", -1, -1},              {"abc", "abc", 0, 0},       {"ab", "abc", -1, -1},
        {"\xC9t\xE9", "\xE9t\xE9", 1, 0}, {"\xFE", "z", 1, 1},
    };
    auto Sign = [](int V) { return (V > 0) - (V < 0); };
    for (const AnsiCase& C : Ansi) {
        SCOPED_TRACE(String(C.A) + " / " + C.B);
        EXPECT_EQ(Sign(AnsiCompareStr(C.A, C.B)), C.Str);
        EXPECT_EQ(Sign(AnsiCompareText(C.A, C.B)), C.Text);
        EXPECT_EQ(Sign(AnsiCompareStr(C.B, C.A)), -C.Str);
    }
    EXPECT_TRUE(AnsiSameText("\xC9T\xC9", "\xE9t\xE9"));
}

TEST(SysUtilsTest, TrimQuoteAndReplace)
{
    const std::pair<String, String> Cases[] = {
        {Trim("  \t a b \r\n"), "a b"},
        {Trim(String("\0x\0", 3)), "x"},
        {Trim("\xA0x\xA0"), "\xA0x\xA0"},
        {TrimLeft("  a "), "a "},
        {TrimRight("  a "), "  a"},
        {Trim("   "), ""},
        {StringOfChar('*', 3), "***"},
        {StringOfChar('*', 0), ""},
        {StringOfChar('*', -2), ""},
        {QuotedStr("it's"), "'it''s'"},
        {QuotedStr(""), "''"},
        {AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\""},
        {AnsiDequotedStr("'it''s'", '\''), "it's"},
        {AnsiDequotedStr("plain", '\''), "plain"},
        {AnsiDequotedStr("'open", '\''), "open"},
        {AnsiDequotedStr("'ab'cd", '\''), "ab"},
        {AnsiDequotedStr("''", '\''), "''"},
        {AnsiDequotedStr("\"x\"", '\''), "\"x\""},
        {StringReplace("a-b-c", "-", "+", 0), "a+b-c"},
        {StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c"},
        {StringReplace("aXbxc", "x", "", rfReplaceAll), "aXbc"},
        {StringReplace("aXbxc", "x", "_", rfReplaceAll | rfIgnoreCase), "a_b_c"},
        {StringReplace("\xC9t\xE9", "\xE9", "e", rfReplaceAll | rfIgnoreCase), "ete"},
        {StringReplace("aaa", "aa", "b", rfReplaceAll), "ba"},
        {StringReplace("abc", "", "x", rfReplaceAll), "abc"},
        {StringReplace("abc", "abc", "xyz", 0), "xyz"},
        {StringReplace("abc", "b", "bb", rfReplaceAll), "abbc"},
    };
    for (const auto& [Got, Want] : Cases)
        EXPECT_EQ(Got, Want);
}

TEST(SysUtilsTest, FileNames)
{
    const std::pair<String, String> Cases[] = {
        {ExtractFilePath("/usr/lib/file.txt"), "/usr/lib/"},
        {ExtractFilePath("C:\\dir\\file.txt"), "C:\\dir\\"},
        {ExtractFilePath("file.txt"), ""},
        {ExtractFileName("/usr/lib/file.txt"), "file.txt"},
        {ExtractFileName("a\\b/c.d"), "c.d"},
        {ExtractFileName("dir/"), ""},
        {ExtractFileExt("/a/file.tar.gz"), ".gz"},
        {ExtractFileExt("/a.b/file"), ""},
        {ExtractFileExt("name."), "."},
        {ExtractFileExt(".hidden"), ".hidden"},
        {ChangeFileExt("/a/file.txt", ".bak"), "/a/file.bak"},
        {ChangeFileExt("/a.b/file", ".bak"), "/a.b/file.bak"},
        {ChangeFileExt("file.txt", ""), "file"},
        {IncludeTrailingPathDelimiter("/tmp"), "/tmp/"},
        {IncludeTrailingPathDelimiter("/tmp/"), "/tmp/"},
        {IncludeTrailingPathDelimiter("C:\\x\\"), "C:\\x\\"},
        {IncludeTrailingPathDelimiter(""), "/"},
    };
    for (const auto& [Got, Want] : Cases)
        EXPECT_EQ(Got, Want);

    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const String Folder = FromQString(Dir.path());
    QFile File(Dir.filePath("some file.txt"));
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.close();
    EXPECT_TRUE(FileExists(Folder + "/some file.txt"));
    EXPECT_TRUE(FileExists(Folder + "\\some file.txt"));
    EXPECT_FALSE(FileExists(Folder + "/other.txt"));
    EXPECT_FALSE(FileExists(Folder)) << "a folder is no file";
    EXPECT_FALSE(FileExists(""));
}

TEST(SysUtilsTest, FormatConvertsEveryType)
{
    const void* Ptr = reinterpret_cast<const void*>(uintptr_t(0xBEEF));
    const String Name = "Zoe";
    const std::pair<String, String> Cases[] = {
        // integers
        {Format("%d", {42}), "42"},
        {Format("%d", {-42}), "-42"},
        {Format("%5d|", {42}), "   42|"},
        {Format("%-5d|", {42}), "42   |"},
        {Format("%.4d", {42}), "0042"},
        {Format("%.4d", {-42}), "-0042"},
        {Format("%6.4d", {-42}), " -0042"},
        {Format("%05d", {3}), "    3"},
        {Format("%1d", {12345}), "12345"},
        {Format("%d", {int64_t(-9000000000)}), "-9000000000"},
        {Format("%d", {uint64_t(UINT64_MAX)}), "18446744073709551615"},
        {Format("%d", {4000000000u}), "4000000000"},
        {Format("%u", {-1}), "4294967295"},
        {Format("%u", {int64_t(-1)}), "18446744073709551615"},
        {Format("%x", {255}), "FF"},
        {Format("%2.2x", {10}), "0A"},
        {Format("%2.2x%2.2x%2.2x", {255, 0, 128}), "FF0080"},
        {Format("%.4X", {0xAB}), "00AB"},
        {Format("%x", {-1}), "FFFFFFFF"},
        {Format("%x", {int64_t(-2)}), "FFFFFFFFFFFFFFFE"},
        {Format("%D %U %X", {1, 2, 15}), "1 2 F"},
        // strings and characters
        {Format("%s", {"abc"}), "abc"},
        {Format("<%s>", {Name}), "<Zoe>"},
        {Format("%s", {'c'}), "c"},
        {Format("%6s|", {"abc"}), "   abc|"},
        {Format("%-6s|", {"abc"}), "abc   |"},
        {Format("%.2s", {"abcdef"}), "ab"},
        {Format("%5.2s|", {"abcdef"}), "   ab|"},
        {Format("%.0s|", {"abc"}), "|"},
        {Format("%.s|", {"abc"}), "|"},
        {Format("%s", {static_cast<const char*>(nullptr)}), ""},
        {Format("%s%s", {"", "x"}), "x"},
        // pointers
        {Format("%p", {Ptr}), "0000BEEF"},
        {Format("%10p|", {Ptr}), "  0000BEEF|"},
        // floating point
        {Format("%f", {1.0}), "1.00"},
        {Format("%.2f", {3.14159}), "3.14"},
        {Format("%.0f", {2.5}), "3"},
        {Format("%8.3f|", {-1.5}), "  -1.500|"},
        {Format("%-8.1f|", {2.25}), "2.3     |"},
        {Format("%e", {1000.0}), "1.00000000000000E+003"},
        {Format("%.3e", {12345.678}), "1.23E+004"},
        {Format("%.3e", {-0.00012345}), "-1.23E-004"},
        {Format("%g", {0.5}), "0.5"},
        {Format("%g", {1234567.0}), "1234567"},
        {Format("%.3g", {3.14159}), "3.14"},
        {Format("%n", {1234567.891}), "1,234,567.89"},
        {Format("%.0n", {1234.5}), "1,235"},
        {Format("%m", {12.5}), "$12.50"},
        {Format("%.0m", {-3.0}), "($3)"},
        {Format("%m", {float(1.25f)}), "$1.25"},
        // percent, indexes and stars
        {Format("100%%", {}), "100%"},
        {Format("%%d", {}), "%d"},
        {Format("no args", {}), "no args"},
        {Format("", {1}), ""},
        {Format("%1:s %0:s", {"a", "b"}), "b a"},
        {Format("%1:s %s %0:s %s", {"a", "b", "c"}), "b c a b"},
        {Format("%0:s%0:s", {"x"}), "xx"},
        {Format("%1:-4s|", {"a", "b"}), "b   |"},
        {Format("%*d", {5, 42}), "   42"},
        {Format("%-*d|", {4, 1}), "1   |"},
        {Format("%.*f", {3, 1.0}), "1.000"},
        {Format("%*.*d", {6, 3, 7}), "   007"},
        {Format("%*d", {-5, 42}), "42"},
        {Format("%*:s", {1, "a", "b"}), "a"},
        {Format("%3d%s", {1, "x"}), "  1x"},
    };
    for (size_t I = 0; I < std::size(Cases); ++I)
        EXPECT_EQ(Cases[I].first, Cases[I].second) << "case " << I;

    TFormatSettings German = TFormatSettings::Default();
    German.DecimalSeparator = ',';
    German.ThousandSeparator = '.';
    German.CurrencyString = "EUR";
    German.CurrencyFormat = 3;
    German.CurrencyDecimals = 1;
    EXPECT_EQ(Format("%.2f|%n|%m", {1.5, 1234.5, 2.0}, German), "1,50|1.234,50|2,0 EUR");
}

TEST(SysUtilsTest, FormatRejectsBadSpecifiersAndArguments)
{
    const String Invalid = "' invalid or incompatible with argument";
    struct Case {
        const char* Fmt;
        std::function<String()> Call;
        String Message;
    };
    const Case Cases[] = {
        {"%d with a double", [] { return Format("%d", {1.5}); }, "Format '%d" + Invalid},
        {"%d with a string", [] { return Format("%d", {"1"}); }, "Format '%d" + Invalid},
        {"%d with a char", [] { return Format("%d", {'1'}); }, "Format '%d" + Invalid},
        {"%d with a bool", [] { return Format("%d", {true}); }, "Format '%d" + Invalid},
        {"%f with an integer", [] { return Format("%f", {1}); }, "Format '%f" + Invalid},
        {"%s with an integer", [] { return Format("%s", {5}); }, "Format '%s" + Invalid},
        {"%s with a pointer", [] { return Format("%s", {static_cast<const void*>(nullptr)}); }, "Format '%s" + Invalid},
        {"%p with an integer", [] { return Format("%p", {5}); }, "Format '%p" + Invalid},
        {"%x with a double", [] { return Format("%x", {2.0}); }, "Format '%x" + Invalid},
        {"unknown type", [] { return Format("%z", {1}); }, "Format '%z" + Invalid},
        {"lone percent", [] { return Format("50%", {1}); }, "Format '50%" + Invalid},
        {"unfinished", [] { return Format("%5.2", {1}); }, "Format '%5.2" + Invalid},
        {"star with a string", [] { return Format("%*d", {"5", 1}); }, "Format '%*d" + Invalid},
        {"star with a double", [] { return Format("%.*f", {2.0, 1.0}); }, "Format '%.*f" + Invalid},
        {"index without number", [] { return Format("%:d", {1}); }, "Format '%:d" + Invalid},
        {"huge width", [] { return Format("%99999999d", {1}); }, "Format '%99999999d" + Invalid},
        {"missing argument", [] { return Format("%d %d", {1}); }, "No argument for format '%d %d'"},
        {"no arguments", [] { return Format("%s", {}); }, "No argument for format '%s'"},
        {"index past the end", [] { return Format("%2:s", {"a", "b"}); }, "No argument for format '%2:s'"},
        {"star past the end", [] { return Format("%*d", {5}); }, "No argument for format '%*d'"},
        {"long format is cut", [] { return Format("0123456789012345678901234567890123456789 %d", {}); },
         "No argument for format '0123456789012345678901234567890'"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ConvertErrorOf(C.Call), C.Message) << C.Fmt;
}

TEST(SysUtilsTest, RuntimeBasics)
{
    try {
        Abort();
        FAIL() << "Abort returned";
    } catch (const EAbort& E) {
        EXPECT_EQ(E.Message(), "Operation aborted");
        EXPECT_STREQ(E.ClassName(), "EAbort");
    }

    const String Latin1 = "caf\xE9 \xA3";
    EXPECT_EQ(ToQString(Latin1), QString::fromUtf8("caf\xC3\xA9 \xC2\xA3"));
    EXPECT_EQ(FromQString(ToQString(Latin1)), Latin1);
    EXPECT_EQ(FromQString(QString::fromUtf8("\xE2\x82\xAC" "1")), "?1") << "characters outside Latin-1";

    const TFormatSettings D = TFormatSettings::Default();
    EXPECT_EQ(D.DecimalSeparator, '.');
    EXPECT_EQ(D.ShortDateFormat, "M/d/yyyy");
    EXPECT_EQ(D.LongMonthNames[11], "December");
}

TEST(SysUtilsTest, SettingsFromQtLocales)
{
    struct Case {
        const char* Locale;
        char Decimal, Thousand, DateSep, TimeSep, List;
        const char* Currency;
        int CurrencyFormat, NegCurrFormat, CurrencyDecimals;
        const char* ShortDate;
        const char* LongDate;
        const char* ShortTime;
        const char* AM;
        const char* March;
        const char* Sunday;
    };
    const Case Cases[] = {
        {"en_US", '.', ',', '/', ':', ',', "$", 0, 0, 2, "M/d/yy", "dddd, MMMM d, yyyy", "h:nn AMPM", "AM", "March", "Sunday"},
        {"de_DE", ',', '.', '.', ':', ';', "EUR", 3, 8, 2, "dd/MM/yy", "dddd, d/ MMMM yyyy", "hh:nn", "AM", "M\xE4rz", "Sonntag"},
        {"fr_FR", ',', '\xA0', '/', ':', ';', "EUR", 3, 15, 2, "dd/MM/yyyy", "dddd d MMMM yyyy", "hh:nn", "AM", "mars", "dimanche"},
        {"en_GB", '.', ',', '/', ':', ',', "\xA3", 0, 0, 2, "dd/MM/yyyy", "dddd, d MMMM yyyy", "hh:nn", "am", "March", "Sunday"},
        {"nl_NL", ',', '.', '-', ':', ';', "EUR", 2, 14, 2, "dd/MM/yyyy", "dddd d MMMM yyyy", "hh:nn", "a.m.", "maart", "zondag"},
        {"pt_BR", ',', '.', '/', ':', ';', "R$", 2, 12, 2, "dd/MM/yyyy", "dddd, d \"de\" MMMM \"de\" yyyy", "hh:nn", "AM", "mar\xE7o", "domingo"},
        // Names and formats outside Latin-1 keep the English defaults.
        {"ja_JP", '.', ',', '/', ':', ',', "JPY", 0, 0, 0, "yyyy/MM/dd", "dddd, MMMM d, yyyy", "h:nn", "AM", "March", "Sunday"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Locale);
        const TFormatSettings S = TFormatSettings::FromLocale(QLocale(QString::fromLatin1(C.Locale)));
        EXPECT_EQ(S.DecimalSeparator, C.Decimal);
        EXPECT_EQ(S.ThousandSeparator, C.Thousand);
        EXPECT_EQ(S.DateSeparator, C.DateSep);
        EXPECT_EQ(S.TimeSeparator, C.TimeSep);
        EXPECT_EQ(S.ListSeparator, C.List);
        EXPECT_EQ(S.CurrencyString, C.Currency);
        EXPECT_EQ(S.CurrencyFormat, C.CurrencyFormat);
        EXPECT_EQ(S.NegCurrFormat, C.NegCurrFormat);
        EXPECT_EQ(S.CurrencyDecimals, C.CurrencyDecimals);
        EXPECT_EQ(S.ShortDateFormat, C.ShortDate);
        EXPECT_EQ(S.LongDateFormat, C.LongDate);
        EXPECT_EQ(S.ShortTimeFormat, C.ShortTime);
        EXPECT_EQ(S.TimeAMString, C.AM);
        EXPECT_EQ(S.LongMonthNames[2], C.March);
        EXPECT_EQ(S.LongDayNames[0], C.Sunday);
    }
    const TFormatSettings CLocale = TFormatSettings::FromLocale(QLocale::c());
    EXPECT_EQ(CLocale.ShortDateFormat, TFormatSettings::Default().ShortDateFormat);
    EXPECT_EQ(CLocale.CurrencyString, "$");
}
