// Colours: the system colour table, names of colours for forms and the
// system metrics.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

#include "Colors.h"
#include "Graphics.h"
#include "TypInfo.h"

namespace {

struct TSysCase {
    TColor Color;
    uint32_t Expected;
};

TEST(ColorsTest, SystemColoursResolveToTheClassicDesktopValues)
{
    const TSysCase Cases[] = {
        {clScrollBar, 0xC8D0D4},     {clBackground, 0xA56E3A},         {clActiveCaption, 0x6A240A},
        {clInactiveCaption, 0x808080}, {clMenu, 0xC8D0D4},            {clWindow, 0xFFFFFF},
        {clWindowFrame, 0x000000},   {clMenuText, 0x000000},           {clWindowText, 0x000000},
        {clCaptionText, 0xFFFFFF},   {clAppWorkSpace, 0x808080},       {clHighlight, 0x6A240A},
        {clHighlightText, 0xFFFFFF}, {clBtnFace, 0xC8D0D4},            {clBtnShadow, 0x808080},
        {clGrayText, 0x808080},      {clBtnText, 0x000000},            {clInactiveCaptionText, 0xC8D0D4},
        {clBtnHighlight, 0xFFFFFF},  {cl3DDkShadow, 0x404040},         {cl3DLight, 0xC8D0D4},
        {clInfoText, 0x000000},      {clInfoBk, 0xE1FFFF},             {clHotLight, 0x800000},
        {clGradientActiveCaption, 0xF0CAA6}, {clGradientInactiveCaption, 0xC0C0C0},
    };
    for (const TSysCase& C : Cases) {
        SCOPED_TRACE(ColorToString(C.Color));
        EXPECT_EQ(static_cast<uint32_t>(ColorToRGB(C.Color)), C.Expected);
        EXPECT_EQ(GetSysColor(static_cast<uint32_t>(C.Color) & 0xFF), C.Expected);
    }
}

TEST(ColorsTest, ExplicitColoursAndMarkersStayAsTheyAre)
{
    for (TColor C : {clRed, clMoneyGreen, RGB(1, 2, 3), clNone, clDefault})
        EXPECT_EQ(ColorToRGB(C), C);
    EXPECT_EQ(static_cast<uint32_t>(clNone), 0x1FFFFFFFu);
    EXPECT_EQ(static_cast<uint32_t>(clDefault), 0x20000000u);
    EXPECT_EQ(static_cast<uint32_t>(clBtnFace), 0xFF00000Fu);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), MakeColor(0x563412));
    EXPECT_EQ(GetRValue(MakeColor(0x563412)), 0x12);
    EXPECT_EQ(GetBValue(MakeColor(0x563412)), 0x56);
    EXPECT_EQ(ColorToQRgb(clRed), qRgb(255, 0, 0));
    EXPECT_EQ(ColorToQRgb(clBtnFace), qRgb(0xD4, 0xD0, 0xC8));
    EXPECT_EQ(QColorToColor(QColor(0x12, 0x34, 0x56)), RGB(0x12, 0x34, 0x56));
}

TEST(ColorsTest, TableEntriesCanBeChangedAndAreBoundsChecked)
{
    SetSysColor(COLOR_BTNFACE, clRed);
    EXPECT_EQ(ColorToRGB(clBtnFace), clRed);
    SetSysColor(COLOR_BTNFACE, DefaultSysColor(COLOR_BTNFACE));
    EXPECT_EQ(static_cast<uint32_t>(ColorToRGB(clBtnFace)), 0xC8D0D4u);
    EXPECT_THROW(SetSysColor(COLOR_ENDCOLORS, clRed), EInvalidOperation);
    EXPECT_THROW(SetSysColor(-1, clRed), EInvalidOperation);
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(200), 0u);
    // A system colour outside the table resolves to black, as an unknown index does.
    EXPECT_EQ(ColorToRGB(MakeColor(0xFF0000C8)), clBlack);
}

TEST(ColorsTest, DesktopColoursComeFromThePaletteAndCanBeSwitchedBack)
{
    UseDesktopColors(true);
    EXPECT_TRUE(DesktopColorsUsed());
    EXPECT_EQ(ColorToQRgb(clBtnFace), QApplication::palette().color(QPalette::Active, QPalette::Button).rgb());
    EXPECT_EQ(ColorToQRgb(clWindow), QApplication::palette().color(QPalette::Active, QPalette::Base).rgb());
    UseDesktopColors(false);
    EXPECT_FALSE(DesktopColorsUsed());
    EXPECT_EQ(static_cast<uint32_t>(ColorToRGB(clBtnFace)), 0xC8D0D4u);
    EXPECT_EQ(static_cast<uint32_t>(ColorToRGB(clWindow)), 0xFFFFFFu);
}

TEST(ColorsTest, NamesRoundTripForEveryTableEntry)
{
    ASSERT_EQ(ColorIdents().size(), 52u);
    for (const TColorIdent& I : ColorIdents()) {
        SCOPED_TRACE(I.Name);
        EXPECT_EQ(ColorToString(I.Value), I.Name);
        EXPECT_EQ(StringToColor(I.Name), I.Value);
    }
}

TEST(ColorsTest, TableOrderStartsWithTheStandardColours)
{
    const char* Standard[] = {"clBlack",  "clMaroon", "clGreen",   "clOlive",      "clNavy",     "clPurple", "clTeal",
                              "clGray",   "clSilver", "clRed",     "clLime",       "clYellow",   "clBlue",   "clFuchsia",
                              "clAqua",   "clWhite",  "clMoneyGreen", "clSkyBlue", "clCream",    "clMedGray"};
    std::vector<String> Names;
    GetColorValues([&](const String& S) { Names.push_back(S); });
    ASSERT_EQ(Names.size(), ColorIdents().size());
    for (size_t I = 0; I < std::size(Standard); ++I)
        EXPECT_EQ(Names[I], Standard[I]);
    EXPECT_EQ(Names[20], "clActiveBorder");
    EXPECT_EQ(Names.back(), "clWindowText");
}

struct TParseCase {
    const char* Text;
    uint32_t Value;
};

TEST(ColorsTest, StringToColorAcceptsNamesAliasesAndNumbers)
{
    const TParseCase Cases[] = {
        {"clRed", 0x0000FF},  {"CLRED", 0x0000FF},   {"clLtGray", 0xC0C0C0}, {"clDkGray", 0x808080},
        {"$00FF00", 0x00FF00}, {"255", 0x0000FF},   {"$FF00000F", 0xFF00000F}, {"-16777201", 0xFF00000F},
    };
    for (const TParseCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        EXPECT_EQ(static_cast<uint32_t>(StringToColor(C.Text)), C.Value);
    }
    EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
    EXPECT_THROW(StringToColor(""), EConvertError);
    // Aliases are read but written under the table's name.
    EXPECT_EQ(ColorToString(clLtGray), "clSilver");
    EXPECT_EQ(ColorToString(MakeColor(0x123456)), "$00123456");
    EXPECT_EQ(ColorToString(MakeColor(0xFF0000C8)), "$FF0000C8");
    int32_t V = 0;
    EXPECT_FALSE(IdentToColor("Red", V));
    String S;
    EXPECT_FALSE(ColorToIdent(0x123456, S));
}

TEST(ColorsTest, ColourPropertiesUseTheNamesInReflection)
{
    TFont Font;
    const QMetaProperty P = FindPublishedProperty(&Font, "Color");
    ASSERT_TRUE(P.isValid());
    EXPECT_EQ(PropKind(P), TPropKind::IdentInteger);
    const TIntegerIdents* Idents = FindIntegerIdents(P.metaType());
    ASSERT_NE(Idents, nullptr);
    String Name;
    EXPECT_TRUE(Idents->ToIdent(static_cast<int32_t>(clBtnFace), Name));
    EXPECT_EQ(Name, "clBtnFace");
    int64_t V = 0;
    EXPECT_TRUE(Idents->FromIdent("clInfoBk", V));
    EXPECT_EQ(V, static_cast<int32_t>(clInfoBk));
    EXPECT_TRUE(WriteOrdinal(&Font, P, static_cast<int32_t>(clHighlight)));
    EXPECT_EQ(Font.Color(), clHighlight);
}

struct TMetricCase {
    int Index;
    int Value;
};

TEST(ColorsTest, SystemMetricsHaveTheClassicValues)
{
    const TMetricCase Cases[] = {{SM_CXVSCROLL, 17}, {SM_CYVSCROLL, 17}, {SM_CXHSCROLL, 17}, {SM_CYHSCROLL, 17},
                                 {SM_CXBORDER, 1},   {SM_CYBORDER, 1},   {SM_CXEDGE, 2},     {SM_CYEDGE, 2},
                                 {SM_CXFRAME, 4},    {SM_CXHTHUMB, 17},  {SM_CXSMICON, 16},  {SM_CXICON, 32}};
    for (const TMetricCase& C : Cases) {
        SCOPED_TRACE(C.Index);
        EXPECT_EQ(GetSystemMetrics(C.Index), C.Value);
    }
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(-1), 0);
    EXPECT_EQ(GetSystemMetrics(SM_METRICCOUNT), 0);
}

TEST(ColorsTest, SystemMetricsCanBeOverriddenAndReset)
{
    SetSystemMetric(SM_CXVSCROLL, 21);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 21);
    SetSystemMetric(SM_CXSCREEN, 640);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    ResetSystemMetrics();
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
    EXPECT_NE(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_THROW(SetSystemMetric(SM_METRICCOUNT, 1), EInvalidOperation);
}

} // namespace
