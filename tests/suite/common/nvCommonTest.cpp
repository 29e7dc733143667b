// Common helpers without drawing: integers and rectangles, strings and
// tokens, loose numbers, name=value lists, colours, layout arithmetic,
// reflection, component and parent helpers.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Forms.h"
#include "StringList.h"
#include "nvCommon.h"
#include "nvCommonTestClasses.h"
#include "nvGraphics.h"

namespace {

// ---------------------------------------------------------------- integers and rectangles

TEST(nvCommonIntegers, MinMaxClampAndFlags)
{
    EXPECT_EQ(IntMin(3, -2), -2);
    EXPECT_EQ(IntMax(3, -2), 3);
    EXPECT_EQ(MaxFloat(1.5, 2.25), 2.25);
    struct {
        int Value, Low, High, Expected;
    } Clamp[] = {{5, 0, 10, 5}, {-1, 0, 10, 0}, {11, 0, 10, 10}, {5, 8, 3, 3} /* High wins */};
    for (const auto& C : Clamp)
        EXPECT_EQ(ClampInt(C.Value, C.Low, C.High), C.Expected) << C.Value << " in " << C.Low << ".." << C.High;
    EXPECT_EQ(IfThenInt(true, 1, 2), 1);
    EXPECT_EQ(IfThenInt(false, 1, 2), 2);
    unsigned Flags = 0x81;
    SetFlagBits(true, Flags, 0x06);
    EXPECT_EQ(Flags, 0x87u);
    SetFlagBits(false, Flags, 0x81);
    EXPECT_EQ(Flags, 0x06u);
}

TEST(nvCommonIntegers, RectanglesAndPoints)
{
    EXPECT_EQ(RectWidth(TRect(10, 20, 35, 27)), 25);
    EXPECT_EQ(RectHeight(TRect(10, 20, 35, 27)), 7);
    EXPECT_TRUE(PointsEqual(MakePoint(3, 4), TPoint(3, 4)));
    EXPECT_FALSE(PointsEqual(MakePoint(3, 4), TPoint(4, 3)));
    EXPECT_TRUE(RectIsEmptyZero(TRect()));
    EXPECT_FALSE(RectIsEmptyZero(TRect(5, 5, 5, 5))); // empty but not zero
    TRect Out(1, 1, 1, 1);
    EXPECT_TRUE(IntersectRects(TRect(0, 0, 10, 10), TRect(5, 5, 20, 20), Out));
    EXPECT_EQ(Out, TRect(5, 5, 10, 10));
    EXPECT_FALSE(IntersectRects(TRect(0, 0, 10, 10), TRect(10, 0, 20, 10), Out));
    EXPECT_EQ(Out, TRect());
}

TEST(nvCommonIntegers, FitRectProportional)
{
    struct {
        TRect R;
        int W, H;
        TRect Expected, ExpectedCentered;
    } Cases[] = {
        // wider than the box: full width, kept at the top (centred: moved down)
        {TRect(10, 20, 110, 220), 100, 50, TRect(10, 20, 110, 70), TRect(10, 95, 110, 145)},
        // taller than the box: full height (centred: moved right, offset truncated)
        {TRect(0, 0, 100, 100), 50, 200, TRect(0, 0, 25, 100), TRect(37, 0, 62, 100)},
        {TRect(0, 0, 10, 10), 3, 7, TRect(0, 0, 4, 10), TRect(2, 0, 6, 10)},
        // same proportions: the whole box
        {TRect(0, 0, 100, 100), 100000, 100000, TRect(0, 0, 100, 100), TRect(0, 0, 100, 100)},
        // products beyond 32 bits
        {TRect(0, 0, 60000, 60000), 50000, 50000, TRect(0, 0, 60000, 60000), TRect(0, 0, 60000, 60000)},
        // an image of no size: the empty rectangle at the corner, no division by zero
        {TRect(5, 6, 100, 100), 0, 0, TRect(5, 6, 5, 6), TRect(5, 6, 5, 6)},
        {TRect(0, 0, 100, 50), 0, 10, TRect(0, 0, 0, 50), TRect(50, 0, 50, 50)},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(FitRectProportional(C.R, C.W, C.H), C.Expected) << C.W << "x" << C.H;
        EXPECT_EQ(FitRectProportionalCentered(C.R, C.W, C.H), C.ExpectedCentered) << C.W << "x" << C.H;
    }
}

// ---------------------------------------------------------------- strings

TEST(nvCommonStrings, TrimSubStrPositions)
{
    EXPECT_EQ(TrimBlanks(" \tab c\t "), "ab c");
    EXPECT_EQ(TrimBlanks("\nab\r"), "\nab\r"); // other control characters stay
    EXPECT_EQ(TrimBlanksLeft("  a "), "a ");
    EXPECT_EQ(TrimBlanksRight(" a \t"), " a");
    EXPECT_EQ(TrimBlanks(" \t "), "");

    struct {
        const char* S;
        int From, To;
        const char* Expected;
    } Sub[] = {{"abcdef", 2, 4, "bc"}, {"abcdef", 3, 0, "cdef"}, {"abcdef", 4, 2, ""}, {"abc", 2, 10, "bc"},
               {"abc", 5, 0, ""}};
    for (const auto& C : Sub)
        EXPECT_EQ(SubStr(C.S, C.From, C.To), C.Expected) << C.S << " " << C.From << ".." << C.To;

    struct {
        const char* Sub;
        const char* S;
        int Arg, PosFromResult, NthPosResult;
    } Pos[] = {
        {"a", "banana", 0, 2, 2},  {"a", "banana", 1, 2, 4}, {"a", "banana", 3, 4, 0},
        {"a", "banana", 7, 0, 0},  {"a", "banana", -1, 2, 0}, {"aa", "aaaa", 2, 2, 3}, // overlapping
        {"", "abc", 1, 0, 0},      {"x", "", 1, 0, 0},
    };
    for (const auto& C : Pos) {
        EXPECT_EQ(PosFrom(C.Sub, C.S, C.Arg), C.PosFromResult) << C.Sub << " in " << C.S << " from " << C.Arg;
        EXPECT_EQ(NthPos(C.Sub, C.S, C.Arg), C.NthPosResult) << C.Sub << " in " << C.S << " #" << C.Arg;
    }
}

TEST(nvCommonStrings, Tokens)
{
    struct {
        const char* S;
        const char* Sep;
        int Count;
        std::vector<const char*> Tokens; // GetToken 0 .. Count - 1
    } Cases[] = {
        {"", ",", 0, {}},
        {"a", ",", 1, {"a"}},
        {"a,b,", ",", 3, {"a", "b", ""}},
        {",", ",", 2, {"", ""}},
        {"a,,b", ",", 3, {"a", "", "b"}},
        {"a::b::c", "::", 3, {"a", "b", "c"}},
        {"aaa", "aa", 3, {"", "", ""}}, // overlapping occurrences count
        {"abc", "", 1, {"abc"}},
        {"1 + 2", " ", 3, {"1", "+", "2"}},
    };
    for (const auto& C : Cases) {
        ASSERT_EQ(TokenCount(C.S, C.Sep), C.Count) << '"' << C.S << '"';
        for (int I = 0; I < C.Count; ++I)
            EXPECT_EQ(GetToken(C.S, C.Sep, I), C.Tokens[size_t(I)]) << '"' << C.S << "\" #" << I;
        EXPECT_EQ(GetToken(C.S, C.Sep, C.Count), "") << "past the end";
        EXPECT_EQ(GetToken(C.S, C.Sep, -1), "") << "negative index";
    }

    struct {
        const char* S;
        const char* Sep;
        const char* Text;
        int Expected;
    } Index[] = {{"1 + 2", " ", "+", 1}, {"a,b", ",", "c", -1}, {"a,,b", ",", "", 1},
                 {"", ",", "", -1},     {"A,a", ",", "a", 1},  {"x,y,x", ",", "x", 0}};
    for (const auto& C : Index)
        EXPECT_EQ(TokenIndex(C.S, C.Sep, C.Text), C.Expected) << C.S << " / " << C.Text;
}

TEST(nvCommonStrings, ReplaceStripRemove)
{
    struct {
        const char* S;
        const char* Old;
        const char* New;
        const char* Expected;
    } Replace[] = {{"aaa", "aa", "b", "ba"}, // left to right, no overlap
                   {"1+2*3", "+", " + ", "1 + 2*3"},
                   {"a  b  c", "  ", " ", "a b c"},
                   {"abc", "", "x", "abc"},
                   {"abc", "abc", "", ""}};
    for (const auto& C : Replace)
        EXPECT_EQ(ReplaceAll(C.S, C.Old, C.New), C.Expected) << C.S;

    struct {
        String S, Expected;
    } Strip[] = {{"&File", "File"},
                 {"Save && Exit", "Save & Exit"},
                 {"&&&Save", "&Save"},
                 {"a&", "a"},
                 {"&&", "&"},
                 {"", ""},
                 {String("a\0b&c", 5), String("a\0bc", 4)}}; // other characters pass unchanged
    for (const auto& C : Strip)
        EXPECT_EQ(StripAccelerators(C.S), C.Expected) << C.S;

    EXPECT_EQ(RemoveChar("a-b-c-", '-'), "abc");
    EXPECT_EQ(RemoveChar("abc", 'x'), "abc");
}

// All tokens NextToken gives from position 1 until it gives an empty one.
std::vector<String> AllTokens(const String& S, unsigned Flags, const String& Delimiters)
{
    std::vector<String> R;
    int Pos = 1;
    String Token;
    for (int Guard = 0; Guard < 100; ++Guard) {
        NextToken(S, Pos, Flags, Token, CharSetOf(Delimiters));
        if (Token.empty())
            return R;
        R.push_back(Token);
    }
    ADD_FAILURE() << "NextToken does not end on " << S;
    return R;
}

TEST(nvCommonStrings, NextToken)
{
    using V = std::vector<String>;
    struct {
        const char* S;
        unsigned Flags;
        const char* Delimiters;
        V Expected;
    } Cases[] = {
        {"ab c", 0, " \t", V{"ab", " ", "c"}},
        {"a bc", 0, " \t", V{"a", "bc"}}, // the blank after a one-letter word goes with it
        {"x,y", 0, ",", V{"x", "y"}},
        {"ab,cd", 0, ",", V{"ab", ",", "cd"}},
        {"a\tb", 0, "", V{"a", "b"}},
        {"ab  c", 0, "", V{"ab", " ", " ", "c"}},
        {"  x", ntSkipBlanks, "", V{"x"}},
        {"ab   cd", ntSkipBlanks, "", V{"ab", "cd"}},
        {"\"a b\" c", ntQuoted, " ", V{"\"a b\"", " ", "c"}},
        {"\"a b\" c", ntQuoted | ntStripQuotes | ntSkipBlanks, " ", V{"a b", "c"}},
        {"\"ab", ntQuoted | ntStripQuotes, "", V{"ab"}}, // unterminated: the rest
        {"\"ab", ntQuoted, "", V{"\"ab"}},
        {"\"\" x", ntQuoted | ntStripQuotes | ntSkipBlanks, "", V{}}, // an empty quoted token ends the walk
        {"a b,c", ntBlankInToken, ",", V{"a b", ",", "c"}},
        {"a\x01" "b", ntBlankInToken, "", V{"a", "b"}},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(AllTokens(C.S, C.Flags, C.Delimiters), C.Expected) << '"' << C.S << "\" flags " << C.Flags;

    // Positions: advanced past a one-character token's stop character, left
    // on the stop character after a longer token; untouched outside the text.
    struct {
        const char* S;
        int Pos;
        const char* Token;
        int NewPos;
    } Steps[] = {{"ab c", 1, "ab", 3}, {"ab c", 3, " ", 4}, {"a bc", 1, "a", 3},
                 {"abc", 0, "", 0},    {"abc", 4, "", 4},   {"abc", -5, "", -5}};
    for (const auto& C : Steps) {
        int Pos = C.Pos;
        String Token = "old";
        NextToken(C.S, Pos, 0, Token, CharSetOf(" "));
        EXPECT_EQ(Token, C.Token) << C.S << " at " << C.Pos;
        EXPECT_EQ(Pos, C.NewPos) << C.S << " at " << C.Pos;
    }
}

TEST(nvCommonStrings, KeyToChar)
{
    struct {
        Word Key;
        char Expected;
    } Cases[] = {{96, '0'},         {105, '9'},           {'A', 'A'},      {'7', '7'},          {VK_SPACE, ' '},
                 {VK_RETURN, '\r'}, {VK_MULTIPLY, '*'},   {VK_ADD, '+'},   {VK_SUBTRACT, '-'},  {VK_DECIMAL, '.'},
                 {VK_DIVIDE, '/'},  {0xBB, '='},          {0xBD, '-'},     {0xBE, '.'},         {VK_F1, 0},
                 {VK_SHIFT, 0},     {VK_LEFT, 0}};
    for (const auto& C : Cases)
        EXPECT_EQ(KeyToChar(C.Key), C.Expected) << "key " << C.Key;
}

// ---------------------------------------------------------------- numbers from text

TEST(nvCommonNumbers, ParseFloatLoose)
{
    struct {
        const char* S;
        const char* Format;
        bool Ok;
        double Value;
    } Cases[] = {
        {"", "", true, 0},
        {"(1,234.50)", "", true, -1234.5},
        {"$12", "", true, 12},
        {"abc", "", false, 0},
        {"-", "", false, 0},
        {"-3.5E+2 kg", "", true, -350},
        {"2E3", "", true, 2000},
        {"12E", "", true, 12},    // an exponent needs something after it
        {"E5", "", true, 5},      // and a digit before it
        {"1e5", "", true, 15},    // only a capital E is an exponent
        {"1,234,567", "", true, 1234567},
        {"  .5", "", true, 0.5},
        {"Total: 42 items", "", true, 42},
        {"1.2.3", "", false, 0},
        {"- 7", "", true, -7},
        {"12.00", "0.00;0.00-", true, 12},        // the positive section reproduces it
        {"12.00-", "0.00;0.00-", true, -12},      // only the negative section does
        {"$1,000.00", "$#,##0.00", true, 1000},
    };
    for (const auto& C : Cases) {
        double V = -999;
        EXPECT_EQ(ParseFloatLoose(C.S, V, C.Format), C.Ok) << '"' << C.S << '"';
        if (C.Ok) {
            EXPECT_DOUBLE_EQ(V, C.Value) << '"' << C.S << '"';
        }
        EXPECT_DOUBLE_EQ(StrToFloatLoose(C.S, C.Format), C.Ok ? C.Value : 0.0) << '"' << C.S << '"';
    }
}

TEST(nvCommonNumbers, ParseFloatLooseFollowsTheLocale)
{
    const TFormatSettings Saved = FormatSettings;
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    FormatSettings.CurrencyString = "EUR";
    struct {
        const char* S;
        bool Ok;
        double Value;
    } Cases[] = {{"1.234,5 EUR", true, 1234.5}, {"(0,25)", true, -0.25}, {",5", true, 0.5}, {"EUR", false, 0}};
    for (const auto& C : Cases) {
        double V = 0;
        EXPECT_EQ(ParseFloatLoose(C.S, V), C.Ok) << C.S;
        if (C.Ok) {
            EXPECT_DOUBLE_EQ(V, C.Value) << C.S;
        }
    }
    FormatSettings = Saved;
}

TEST(nvCommonNumbers, StrToFloatDefault)
{
    struct {
        const char* S;
        double Expected;
    } Cases[] = {{"1.5", 1.5}, {" 2 ", 2}, {"-1E3", -1000}, {"1.5x", 7}, {"1,000", 7}, {"", 7}};
    for (const auto& C : Cases)
        EXPECT_DOUBLE_EQ(StrToFloatDefault(C.S, 7), C.Expected) << '"' << C.S << '"';
}

// ---------------------------------------------------------------- name=value lists

TEST(nvCommonLists, NamesAndValues)
{
    TStringList L;
    L.SetText("Red=FF0000\r\nGreen = 00FF00 \r\nPlain\r\nBlue=0000FF=x\r\n");
    struct {
        int Index;
        const char* Name;
        const char* Value;
    } Cases[] = {{0, "Red", "FF0000"}, {1, "Green ", "00FF00"}, {2, "", "Plain"}, {3, "Blue", "0000FF=x"}};
    for (const auto& C : Cases) {
        EXPECT_EQ(ListName(&L, C.Index), C.Name) << C.Index;
        EXPECT_EQ(ListValue(&L, C.Index), C.Value) << C.Index;
    }
    EXPECT_EQ(ListName(&L, -1), "");
    EXPECT_THROW(ListValue(&L, 4), EListError);
    EXPECT_EQ(ListValueAsColor(&L, 0), MakeColor(0xFF0000));
    EXPECT_THROW(ListValueAsColor(&L, 2), EConvertError); // "$Plain"

    EXPECT_EQ(IndexOfListValue("00FF00", &L), 1);
    EXPECT_EQ(IndexOfListValue("ff0000", &L), -1); // case-sensitive
    EXPECT_EQ(IndexOfListName("red", &L), 0);      // case ignored
    EXPECT_EQ(IndexOfListName("GREEN ", &L), 1);
    EXPECT_EQ(IndexOfListName("Green", &L), -1);
    EXPECT_EQ(IndexOfListName("", &L), 2);
}

std::vector<String> Lines(const TStrings& L)
{
    std::vector<String> R;
    for (int I = 0; I < L.Count(); ++I)
        R.push_back(L.Get(I));
    return R;
}

TEST(nvCommonLists, QuickSortStrings)
{
    const TnvGetSortText ByName = [](TStrings* L, int I) { return ListName(L, I); };
    const TnvGetSortText Whole = [](TStrings* L, int I) { return L->Get(I); };
    const TnvCompareText Ascending = [](const String& A, const String& B) { return CompareText(A, B); };
    const TnvCompareText Descending = [](const String& A, const String& B) { return CompareText(B, A); };
    using V = std::vector<String>;
    struct {
        V Input;
        int Low, High;
        TnvGetSortText Get;
        TnvCompareText Compare;
        V Expected;
    } Cases[] = {
        // equal keys end in the order the partitioning gives
        {V{"b=1", "a=2", "b=3", "a=4"}, 0, 3, ByName, Ascending, V{"a=4", "a=2", "b=1", "b=3"}},
        {V{"d", "b", "a", "c", "e"}, 0, 4, Whole, Ascending, V{"a", "b", "c", "d", "e"}},
        {V{"d", "b", "a", "c", "e"}, 0, 4, Whole, Descending, V{"e", "d", "c", "b", "a"}},
        {V{"z", "c", "b", "a", "y"}, 1, 3, Whole, Ascending, V{"z", "a", "b", "c", "y"}}, // a sub-range only
        {V{"b", "a"}, 1, 1, Whole, Ascending, V{"b", "a"}},
        {V{"x"}, 0, 0, Whole, Ascending, V{"x"}},
    };
    for (const auto& C : Cases) {
        TStringList L;
        for (const String& S : C.Input)
            L.Add(S);
        QuickSortStrings(&L, C.Low, C.High, C.Get, C.Compare);
        EXPECT_EQ(Lines(L), C.Expected);
    }

    // A larger list comes out ordered.
    TStringList L;
    for (int I = 0; I < 200; ++I)
        L.Add(IntToStr((I * 7919) % 211));
    QuickSortStrings(&L, 0, L.Count() - 1, Whole, [](const String& A, const String& B) {
        return StrToInt(A) - StrToInt(B);
    });
    for (int I = 1; I < L.Count(); ++I)
        ASSERT_LE(StrToInt(L.Get(I - 1)), StrToInt(L.Get(I)));

    TStringList Empty;
    EXPECT_NO_THROW(QuickSortStrings(&Empty, 0, -1, Whole, Ascending));
}

// ---------------------------------------------------------------- colours

TEST(nvCommonColors, AdjustColor)
{
    struct {
        TColor Color;
        int Amount;
        bool Percent;
        TColor Expected;
    } Cases[] = {
        {clRed, 50, true, RGB(255, 127, 127)},
        {clRed, -50, true, RGB(128, 0, 0)}, // 255 + (-12750 div 100)
        {RGB(3, 3, 3), -50, true, RGB(2, 2, 2)}, // division truncates toward zero
        {RGB(1, 1, 1), 50, true, RGB(128, 128, 128)},
        {RGB(0, 0, 0), 100, true, clWhite},
        {RGB(100, 100, 100), -150, true, clBlack}, // clamped
        {RGB(100, 200, 50), 10, false, RGB(110, 210, 60)},
        {RGB(250, 5, 128), 10, false, RGB(255, 15, 138)},
        {RGB(10, 5, 128), -20, false, RGB(0, 0, 108)},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(AdjustColor(C.Color, C.Amount, C.Percent), C.Expected)
            << std::hex << C.Color << " by " << std::dec << C.Amount;
    // System colours are resolved first.
    EXPECT_EQ(AdjustColor(clBtnFace, -50, true), AdjustColor(ColorToRGB(clBtnFace), -50, true));
}

TEST(nvCommonColors, BytesTextsAndChannels)
{
    uint8_t B3 = 9, Blue = 9, Green = 9, Red = 9;
    ColorToBytes(RGB(1, 2, 3), B3, Blue, Green, Red);
    EXPECT_EQ((std::vector<int>{B3, Blue, Green, Red}), (std::vector<int>{0, 3, 2, 1}));
    ColorToBytes(clNone, B3, Blue, Green, Red);
    EXPECT_EQ((std::vector<int>{B3, Blue, Green, Red}), (std::vector<int>{0x1F, 0xFF, 0xFF, 0xFF}));
    const TColor Face = ColorToRGB(clBtnFace);
    ColorToBytes(clBtnFace, B3, Blue, Green, Red);
    EXPECT_EQ(RGB(Red, Green, Blue), Face);
    EXPECT_EQ(B3, 0);

    EXPECT_EQ(ColorToHex(255, 0, 16), "FF0010");
    EXPECT_EQ(ColorToHex(1, 171, 205), "01ABCD");
    EXPECT_EQ(ColorToRGBText(clRed), "RGB: 255, 0, 0");
    EXPECT_EQ(ColorToRGBText(RGB(1, 22, 133)), "RGB: 1, 22, 133");
    EXPECT_EQ(ColorMaxChannel(RGB(10, 200, 30)), 200);
    EXPECT_EQ(ColorMaxChannel(clBlack), 0);
    EXPECT_EQ(ColorMaxChannel(clBtnFace), std::max({GetRValue(Face), GetGValue(Face), GetBValue(Face)}));

    EXPECT_EQ(ImageListColor(clNone), 0xFFFFFFFFu);
    EXPECT_EQ(ImageListColor(clDefault), 0xFF000000u);
    EXPECT_EQ(ImageListColor(clRed), 0x0000FFu);
    EXPECT_EQ(ImageListColor(clBtnFace), static_cast<uint32_t>(Face));
}

TEST(nvGraphics, SwapRedBlue)
{
    std::vector<uint32_t> P = {0xAABBCCDDu, 0x00000000u, 0x00FF0000u, 0x000000FFu, 0xFF123456u};
    SwapRedBlue(P.data(), static_cast<int>(P.size()));
    EXPECT_EQ(P, (std::vector<uint32_t>{0x00DDCCBBu, 0u, 0x000000FFu, 0x00FF0000u, 0x00563412u}));
    std::vector<uint32_t> Q = {0x11223344u, 0x55667788u};
    SwapRedBlue(Q.data(), 1); // only the first
    EXPECT_EQ(Q, (std::vector<uint32_t>{0x00443322u, 0x55667788u}));
    SwapRedBlue(Q.data(), 0);
    SwapRedBlue(nullptr, 0);
    EXPECT_THROW(SwapRedBlue(nullptr, 3), EInvalidOperation);
}

// ---------------------------------------------------------------- glyph and text layout

TEST(nvCommonLayout, CalcGlyphTextLayout)
{
    const TPoint C(100, 50);
    struct {
        TButtonLayout Layout;
        TSize Glyph, Text;
        int Spacing;
        TRect TextRect, GlyphRect;
    } Cases[] = {
        // no glyph: the spacing becomes (0 - 6) div 2 = -3
        {blGlyphLeft, TSize(0, 0), TSize(41, 13), 0, TRect(78, 44, 119, 57), TRect(81, 50, 81, 50)},
        {blGlyphLeft, TSize(0, 0), TSize(10, 10), 1, TRect(94, 45, 104, 55), TRect(96, 50, 96, 50)},
        {blGlyphLeft, TSize(16, 16), TSize(40, 13), 4, TRect(90, 44, 130, 57), TRect(70, 42, 86, 58)},
        {blGlyphRight, TSize(16, 16), TSize(40, 13), 4, TRect(70, 44, 110, 57), TRect(114, 42, 130, 58)},
        {blGlyphTop, TSize(16, 16), TSize(40, 13), 4, TRect(80, 53, 120, 66), TRect(92, 33, 108, 49)},
        {blGlyphBottom, TSize(16, 16), TSize(40, 13), 4, TRect(80, 33, 120, 46), TRect(92, 50, 108, 66)},
    };
    for (const auto& K : Cases) {
        TRect T, G;
        CalcGlyphTextLayout(C, &T, &G, K.Spacing, K.Layout, K.Glyph, K.Text);
        EXPECT_EQ(T, K.TextRect) << "layout " << K.Layout << " spacing " << K.Spacing;
        EXPECT_EQ(G, K.GlyphRect) << "layout " << K.Layout << " spacing " << K.Spacing;
        TRect OnlyText;
        CalcGlyphTextLayout(C, &OnlyText, nullptr, K.Spacing, K.Layout, K.Glyph, K.Text);
        EXPECT_EQ(OnlyText, K.TextRect);
    }
}

// ---------------------------------------------------------------- reflection and components

TEST(nvCommonReflection, OrdinalPropertiesByName)
{
    TTestProps P;
    P.SetCount(42);
    P.SetStyle(bsCross);
    P.SetFontStyle(TFontStyles(fsBold) | fsUnderline);
    struct {
        const char* Name;
        int64_t Expected;
    } Reads[] = {{"Count", 42}, {"count", 42}, {"Alpha", 0}, {"Beta", 1}, {"Style", bsCross},
                 {"FontStyle", 5 /* fsBold | fsUnderline */}, {"Missing", 0}, {"Caption", 0}};
    for (const auto& C : Reads)
        EXPECT_EQ(GetOrdPropByName(&P, C.Name), C.Expected) << C.Name;
    EXPECT_EQ(GetOrdPropByName(nullptr, "Count"), 0);

    SetOrdPropByName(&P, "Alpha", 1);
    SetOrdPropByName(&P, "COUNT", -5);
    SetOrdPropByName(&P, "Style", bsClear);
    SetOrdPropByName(&P, "Missing", 3); // nothing happens
    SetOrdPropByName(nullptr, "Count", 3);
    EXPECT_TRUE(P.Alpha());
    EXPECT_EQ(P.Count(), -5);
    EXPECT_EQ(P.Style(), bsClear);

    TStringList Names;
    Names.Add("first");
    ListBooleanProps(&P, &Names);
    EXPECT_EQ(Lines(Names), (std::vector<String>{"first", "Alpha", "Beta"}));
}

TEST(nvCommonComponents, UniqueComponentName)
{
    TTestProps Owner;
    EXPECT_EQ(UniqueComponentName(&Owner, "Panel"), "Panel1");
    auto* A = new TTestProps(&Owner);
    A->SetName("Panel1");
    auto* B = new TTestProps(&Owner);
    B->SetName("Panel3");
    auto* C = new TTestProps(&Owner);
    C->SetName("panel2"); // names compare case-sensitively
    EXPECT_EQ(UniqueComponentName(&Owner, "Panel"), "Panel2");
    auto* D = new TTestProps(&Owner);
    D->SetName("Panel2X");
    EXPECT_EQ(UniqueComponentName(&Owner, "Panel2X"), "Panel2X1");
    EXPECT_EQ(UniqueComponentName(nullptr, "Item"), "Item1");
}

TEST(nvCommonComponents, ClassNamesAndParentChecks)
{
    EXPECT_TRUE(InheritsFromClassName(&TzrDBGrid::staticMetaObject, "tcustomgrid"));
    EXPECT_TRUE(InheritsFromClassName(&TzrDBGrid::staticMetaObject, "TWinControl"));
    EXPECT_FALSE(InheritsFromClassName(&TCustomGrid::staticMetaObject, "TzrDBGrid"));
    EXPECT_FALSE(InheritsFromClassName(static_cast<const QObject*>(nullptr), "QObject"));

    TzrDBGrid Grid;
    TzrDataInspector Inspector;
    TTestPlainWin Plain;
    Grid.SetOptions(TFontStyles(fsBold) | fsStrikeOut);
    auto* InGrid = new TTestGraphic(&Grid);
    InGrid->SetParent(&Grid);
    auto* InInspector = new TTestGraphic(&Inspector);
    InInspector->SetParent(&Inspector);
    auto* InPlain = new TTestGraphic(&Plain);
    InPlain->SetParent(&Plain);
    TTestGraphic Orphan;

    struct {
        TControl* C;
        bool Grid, ZrGrid, Inspector;
        int Options;
    } Cases[] = {{InGrid, true, true, false, 9 /* fsBold | fsStrikeOut */},
                 {InInspector, false, false, true, 0},
                 {InPlain, false, false, false, 0},
                 {&Orphan, false, false, false, 0},
                 {nullptr, false, false, false, 0}};
    for (const auto& K : Cases) {
        EXPECT_EQ(ParentIsGrid(K.C), K.Grid);
        EXPECT_EQ(ParentIsZrDBGrid(K.C), K.ZrGrid);
        EXPECT_EQ(ParentIsZrDataInspector(K.C), K.Inspector);
        EXPECT_EQ(ZrDBGridOptions(K.C), K.Options);
        EXPECT_FALSE(FocusedInZrDBGrid(K.C)); // nothing has the focus here
        EXPECT_FALSE(PaintCopyInGrid(K.C));
        EXPECT_FALSE(PaintCopyInZrDataInspector(K.C));
    }
    InGrid->SetControlState(InGrid->ControlState() | csPaintCopy);
    InInspector->SetControlState(InInspector->ControlState() | csPaintCopy);
    InPlain->SetControlState(InPlain->ControlState() | csPaintCopy);
    EXPECT_TRUE(PaintCopyInGrid(InGrid));
    EXPECT_FALSE(PaintCopyInZrDataInspector(InGrid));
    EXPECT_TRUE(PaintCopyInZrDataInspector(InInspector));
    EXPECT_FALSE(PaintCopyInGrid(InPlain));
}

TEST(nvCommonComponents, DesigningAndClipChildren)
{
    TForm Form;
    auto* Panel = new TTestWin(&Form);
    Panel->SetParent(&Form);
    auto* Child = new TTestGraphic(&Form);
    Child->SetParent(Panel);
    TTestGraphic Loose;
    EXPECT_FALSE(IsDesigning(Child));
    Form.SetDesigning(true, false); // only the form
    EXPECT_TRUE(IsDesigning(Child)); // the form decides
    EXPECT_FALSE(Child->IsDesigning());
    Loose.SetDesigning(true);
    EXPECT_TRUE(IsDesigning(&Loose));
    EXPECT_FALSE(IsDesigning(nullptr));

    EXPECT_TRUE(HasClipChildren(Panel));
    EXPECT_FALSE(HasClipChildren(Child)); // a graphic control has no window
    RemoveClipChildren(Panel);
    EXPECT_FALSE(HasClipChildren(Panel));
    RemoveClipChildren(Child);
    RemoveClipChildren(nullptr);
}

TEST(nvCommonComponents, UseThemes)
{
    TTestWin Switchable;         // has DisableThemes
    TTestPlainWin PlainParent;   // has none
    auto* UnderSwitchable = new TTestGraphic(&Switchable);
    UnderSwitchable->SetParent(&Switchable);
    auto* UnderPlain = new TTestGraphic(&PlainParent);
    UnderPlain->SetParent(&PlainParent);

    struct {
        bool Global, Disabled;
        const TControl* Control;
        bool Expected;
    } Cases[] = {
        {false, false, nullptr, false},        {true, false, nullptr, true},
        {true, false, &Switchable, true},      {true, true, &Switchable, false},
        {false, false, &Switchable, false},    // the property can only switch themes off
        {true, true, UnderSwitchable, false},  // the parent's property decides
        {true, false, UnderSwitchable, true},  {true, false, UnderPlain, true},
        {true, false, &PlainParent, true},     {false, false, UnderPlain, false},
    };
    for (const auto& C : Cases) {
        SetThemeServicesEnabled(C.Global);
        Switchable.SetDisableThemes(C.Disabled);
        EXPECT_EQ(UseThemes(C.Control), C.Expected)
            << "global " << C.Global << " disabled " << C.Disabled << " control " << C.Control;
    }
    SetThemeServicesEnabled(false);
}

TEST(nvCommonComponents, ComCtlVersionIsTheQtVersion)
{
    const uint32_t V = ComCtlVersion();
    EXPECT_EQ(V >> 16, unsigned(QT_VERSION_MAJOR));
    EXPECT_EQ(V & 0xFFFF, unsigned(QT_VERSION_MINOR));
    EXPECT_EQ(ComCtlVersion(), V);
}

TEST(nvCommonComponents, RegisterControlList)
{
    TTestProps Owner;
    auto* A = new TTestProps(&Owner);
    A->SetName("A");
    auto* B = new TTestProps(&Owner);
    B->SetName("B");
    TTestGraphic Control;
    TComponent* Field = nullptr;

    RegisterControlList(Field, A, &Control);
    EXPECT_EQ(Field, A);
    EXPECT_EQ(A->ControlList()->Count(), 1);
    EXPECT_EQ(A->ControlList()->Items(0), &Control);
    RegisterControlList(Field, A, &Control); // unchanged: added once
    EXPECT_EQ(A->ControlList()->Count(), 1);

    RegisterControlList(Field, B, &Control); // moves from A's list to B's
    EXPECT_EQ(Field, B);
    EXPECT_EQ(A->ControlList()->Count(), 0);
    EXPECT_EQ(B->ControlList()->IndexOf(&Control), 0);

    RegisterControlList(Field, static_cast<TComponent*>(nullptr), &Control);
    EXPECT_EQ(Field, nullptr);
    EXPECT_EQ(B->ControlList()->Count(), 0);
    EXPECT_THROW(B->ControlList()->Items(0), EListError);

    // A component without a ControlList property is referenced all the same.
    TTestPlainWin NoList;
    TTestPlainWin* Typed = nullptr;
    RegisterControlList(Typed, &NoList, &Control);
    EXPECT_EQ(Typed, &NoList);

    // A control destroyed while listed drops out of the list.
    {
        TTestGraphic Temporary;
        TComponent* F = nullptr;
        RegisterControlList(F, A, &Temporary);
        EXPECT_EQ(A->ControlList()->Count(), 1);
    }
    A->ControlList()->Add(&Control);
    EXPECT_EQ(A->ControlList()->Count(), 1);
    EXPECT_EQ(A->ControlList()->Items(0), &Control);
}

} // namespace
