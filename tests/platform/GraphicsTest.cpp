// Fonts, pens and brushes: heights and sizes at 96 dpi, face name
// substitution, measuring, change notification and the brush rules.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>

#include <functional>

#include "Graphics.h"
#include "TypInfo.h"

namespace {

TEST(GraphicsTest, FontDefaults)
{
    TFont F;
    EXPECT_EQ(F.Name(), "MS Sans Serif");
    EXPECT_EQ(F.Height(), -11);
    EXPECT_EQ(F.Size(), 8);
    EXPECT_EQ(F.Color(), clWindowText);
    EXPECT_EQ(F.Style(), TFontStyles());
    EXPECT_EQ(F.Pitch(), fpDefault);
    EXPECT_EQ(F.Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(F.Orientation(), 0);
    EXPECT_EQ(F.PixelsPerInch(), 96);
}

struct TSizeCase {
    int Height;
    int Size;
};

TEST(GraphicsTest, SizeIsHeightInPointsAtNinetySixDpi)
{
    // Size = -Height * 72 / 96, rounded half away from zero.
    const TSizeCase FromHeight[] = {{-11, 8}, {-13, 10}, {-16, 12}, {-12, 9}, {-14, 11}, {-15, 11}, {-32, 24}, {16, -12}};
    for (const TSizeCase& C : FromHeight) {
        TFont F;
        F.SetHeight(C.Height);
        EXPECT_EQ(F.Size(), C.Size) << "Height " << C.Height;
    }
    const TSizeCase FromSize[] = {{-11, 8}, {-13, 10}, {-16, 12}, {-12, 9}, {-19, 14}, {-24, 18}, {-96, 72}};
    for (const TSizeCase& C : FromSize) {
        TFont F;
        F.SetSize(C.Size);
        EXPECT_EQ(F.Height(), C.Height) << "Size " << C.Size;
    }
}

TEST(GraphicsTest, NegativeHeightIsTheCharacterHeight)
{
    for (int H : {8, 11, 13, 20, 37}) {
        TFont F;
        F.SetHeight(-H);
        EXPECT_EQ(F.PixelSize(), H);
        EXPECT_EQ(F.QtFont().pixelSize(), H);
        EXPECT_EQ(F.Metrics().tmHeight, F.Metrics().tmAscent + F.Metrics().tmDescent);
        EXPECT_GE(F.Metrics().tmHeight, H);
        EXPECT_EQ(F.Metrics().tmInternalLeading, F.Metrics().tmHeight - H);
    }
}

TEST(GraphicsTest, PositiveHeightIsTheCellHeight)
{
    for (int Cell : {13, 16, 20, 30}) {
        TFont F;
        F.SetHeight(Cell);
        EXPECT_LE(F.Metrics().tmHeight, Cell) << Cell;
        EXPECT_LT(F.PixelSize(), Cell) << Cell;
        // The largest character height whose cell fits.
        TFont Bigger;
        Bigger.SetHeight(-(F.PixelSize() + 1));
        EXPECT_GT(Bigger.Metrics().tmHeight, Cell) << Cell;
    }
}

TEST(GraphicsTest, HeightIsClippedAndZeroMeansDefault)
{
    TFont F;
    F.SetHeight(-1000000);
    EXPECT_EQ(F.Height(), -4096);
    F.SetHeight(0);
    EXPECT_EQ(F.Height(), -11);
    F.SetSize(1000000);
    EXPECT_EQ(F.Height(), -4096);
}

struct TFaceCase {
    const char* Face;
    TFontPitch Pitch;
    const char* Family;
};

TEST(GraphicsTest, FaceNamesMapToInstalledFamilies)
{
    const TFaceCase Cases[] = {
        {"MS Sans Serif", fpDefault, "Liberation Sans"},
        {"ms sans serif", fpDefault, "Liberation Sans"},
        {"Tahoma", fpDefault, "Liberation Sans"},
        {"Arial", fpDefault, "Liberation Sans"},
        {"Times New Roman", fpDefault, "Liberation Serif"},
        {"Courier New", fpDefault, "Liberation Mono"},
        {"Wingdings", fpDefault, "DejaVu Sans"},
        {"Symbol", fpDefault, "DejaVu Sans"},
        {"DejaVu Serif", fpDefault, "DejaVu Serif"},
        {"No Such Face", fpDefault, "Liberation Sans"},
        {"No Such Face", fpFixed, "Liberation Mono"},
    };
    for (const TFaceCase& C : Cases) {
        SCOPED_TRACE(C.Face);
        EXPECT_EQ(MapFontName(C.Face, C.Pitch), QString::fromLatin1(C.Family));
        TFont F;
        F.SetName(C.Face);
        F.SetPitch(C.Pitch);
        // The family Qt really uses is the mapped one (it is installed).
        EXPECT_EQ(QFontInfo(F.QtFont()).family(), QString::fromLatin1(C.Family));
    }
    AddFontSubstitute("My Face", "Liberation Serif");
    EXPECT_EQ(FontSubstitute("MY FACE"), "Liberation Serif");
    EXPECT_EQ(MapFontName("my face"), "Liberation Serif");
    EXPECT_EQ(FontSubstitute("Unknown"), "");
}

TEST(GraphicsTest, StyleReachesTheQtFontWithoutAntialiasing)
{
    TFont F;
    F.SetStyle(fsBold | fsItalic | fsUnderline | fsStrikeOut);
    const QFont& Q = F.QtFont();
    EXPECT_TRUE(Q.bold());
    EXPECT_TRUE(Q.italic());
    EXPECT_TRUE(Q.underline());
    EXPECT_TRUE(Q.strikeOut());
    EXPECT_FALSE(Q.kerning());
    EXPECT_TRUE(Q.styleStrategy() & QFont::NoAntialias);
    EXPECT_EQ(F.Metrics().tmWeight, 700);
    EXPECT_TRUE(F.Metrics().tmItalic);
}

TEST(GraphicsTest, TextWidthIsTheSumOfCharacterAdvancesAsQtDrawsThem)
{
    for (const char* Face : {"MS Sans Serif", "Times New Roman", "Courier New"})
        for (int H : {-11, -13, -20}) {
            TFont F;
            F.SetName(Face);
            F.SetHeight(H);
            const String Texts[] = {"The quick brown fox", "WAVE Tajo", "0123456789", "a b  c\xE9\xFC"};
            for (const String& T : Texts) {
                SCOPED_TRACE(String(Face) + " " + T);
                EXPECT_EQ(F.TextWidth(T), QFontMetrics(F.QtFont()).horizontalAdvance(ToQString(T)));
            }
        }
}

// One setter and a second value different from the default.
struct TFontSetter {
    const char* Name;
    std::function<void(TFont&)> Set;
};

TEST(GraphicsTest, FontAnnouncesEachRealChangeOnce)
{
    const TFontSetter Setters[] = {
        {"Charset", [](TFont& F) { F.SetCharset(SYMBOL_CHARSET); }},
        {"Color", [](TFont& F) { F.SetColor(clRed); }},
        {"Height", [](TFont& F) { F.SetHeight(-20); }},
        {"Name", [](TFont& F) { F.SetName("Arial"); }},
        {"Orientation", [](TFont& F) { F.SetOrientation(900); }},
        {"Pitch", [](TFont& F) { F.SetPitch(fpFixed); }},
        {"Size", [](TFont& F) { F.SetSize(12); }},
        {"Style", [](TFont& F) { F.SetStyle(fsBold); }},
    };
    for (const TFontSetter& S : Setters) {
        SCOPED_TRACE(S.Name);
        TFont F;
        int Count = 0;
        F.OnChange = [&](TObject* Sender) {
            EXPECT_EQ(Sender, &F);
            ++Count;
        };
        S.Set(F);
        EXPECT_EQ(Count, 1);
        S.Set(F);
        EXPECT_EQ(Count, 1);
    }
}

TEST(GraphicsTest, FontAssignCopiesEverythingWithOneAnnouncement)
{
    TFont A, B;
    A.SetName("Courier New");
    A.SetHeight(-17);
    A.SetColor(clNavy);
    A.SetStyle(fsItalic);
    A.SetOrientation(450);
    A.SetPitch(fpFixed);
    A.SetCharset(ANSI_CHARSET);
    int Count = 0;
    B.OnChange = [&](TObject*) { ++Count; };
    B.Assign(&A);
    EXPECT_EQ(Count, 1);
    EXPECT_EQ(B.Name(), "Courier New");
    EXPECT_EQ(B.Height(), -17);
    EXPECT_EQ(B.Color(), clNavy);
    EXPECT_EQ(B.Style(), TFontStyles(fsItalic));
    EXPECT_EQ(B.Orientation(), 450);
    EXPECT_EQ(B.Pitch(), fpFixed);
    EXPECT_EQ(B.Charset(), ANSI_CHARSET);
    EXPECT_EQ(QFontInfo(B.QtFont()).family(), QStringLiteral("Liberation Mono"));
    B.Assign(&A);
    EXPECT_EQ(Count, 1);
    TPen P;
    EXPECT_THROW(B.Assign(&P), EConvertError);
}

TEST(GraphicsTest, FontSizeIsNotStoredButHeightIs)
{
    TFont F;
    const QMetaProperty Size = FindPublishedProperty(&F, "Size");
    const QMetaProperty Height = FindPublishedProperty(&F, "Height");
    ASSERT_TRUE(Size.isValid());
    ASSERT_TRUE(Height.isValid());
    EXPECT_FALSE(Size.isStored());
    EXPECT_TRUE(Height.isStored());
    EXPECT_EQ(PropKind(FindPublishedProperty(&F, "Style")), TPropKind::Set);
    SetSetProp(&F, "Style", "[fsBold,fsUnderline]");
    EXPECT_EQ(F.Style(), fsBold | fsUnderline);
    EXPECT_EQ(GetEnumProp(&F, "Pitch"), "fpDefault");
}

TEST(GraphicsTest, BrushFollowsTheFrameworkRules)
{
    TBrush B;
    EXPECT_EQ(B.Color(), clWhite);
    EXPECT_EQ(B.Style(), bsSolid);
    B.SetColor(clRed);
    B.SetStyle(bsClear);
    EXPECT_EQ(B.Color(), clWhite); // a clear brush is white
    B.SetColor(clBlue);
    EXPECT_EQ(B.Style(), bsSolid); // colouring a clear brush makes it solid
    EXPECT_EQ(B.Color(), clBlue);

    int Count = 0;
    B.OnChange = [&](TObject*) { ++Count; };
    QImage Pattern(8, 8, QImage::Format_Mono);
    B.SetBitmap(Pattern);
    EXPECT_TRUE(B.HasBitmap());
    EXPECT_EQ(Count, 1);
    B.SetBitmap(QImage());
    EXPECT_FALSE(B.HasBitmap());
    EXPECT_EQ(Count, 2);
    EXPECT_THROW(B.SetBitmap(QImage(5000, 1, QImage::Format_RGB32)), EInvalidOperation);

    TBrush Copy;
    B.SetStyle(bsDiagCross);
    Copy.Assign(&B);
    EXPECT_EQ(Copy.Style(), bsDiagCross);
    EXPECT_EQ(Copy.Color(), B.Color());
}

TEST(GraphicsTest, PenDefaultsAndWidthLimits)
{
    TPen P;
    EXPECT_EQ(P.Color(), clBlack);
    EXPECT_EQ(P.Mode(), pmCopy);
    EXPECT_EQ(P.Style(), psSolid);
    EXPECT_EQ(P.Width(), 1);
    P.SetWidth(-5);
    EXPECT_EQ(P.Width(), 0);
    P.SetWidth(1 << 30);
    EXPECT_EQ(P.Width(), 4096);
    TPen Q;
    int Count = 0;
    Q.OnChange = [&](TObject*) { ++Count; };
    Q.Assign(&P);
    EXPECT_EQ(Count, 1);
    EXPECT_EQ(Q.Width(), 4096);
}

struct TModeCase {
    TPenMode Mode;
    int Rop2;
};

TEST(GraphicsTest, PenModesMapToTheirRop2Codes)
{
    const TModeCase Cases[] = {{pmBlack, 1},        {pmNotMerge, 2},  {pmMaskNotPen, 3}, {pmNotCopy, 4},
                               {pmMaskPenNot, 5},   {pmNot, 6},       {pmXor, 7},        {pmNotMask, 8},
                               {pmMask, 9},         {pmNotXor, 10},   {pmNop, 11},       {pmMergeNotPen, 12},
                               {pmCopy, 13},        {pmMergePenNot, 14}, {pmMerge, 15},   {pmWhite, 16}};
    for (const TModeCase& C : Cases)
        EXPECT_EQ(PenModeToRop2(C.Mode), C.Rop2) << C.Mode;
}

TEST(GraphicsTest, HatchPatternsHaveTheirLines)
{
    auto Bit = [](TBrushStyle S, int X, int Y) { return (HatchPattern(S)[Y] >> (7 - X)) & 1; };
    int Horizontal = 0, Vertical = 0;
    for (int I = 0; I < 8; ++I) {
        Horizontal += Bit(bsHorizontal, I, 7);
        Vertical += Bit(bsVertical, 4, I);
        EXPECT_EQ(Bit(bsFDiagonal, I, I), 1);
        EXPECT_EQ(Bit(bsBDiagonal, 7 - I, I), 1);
        EXPECT_EQ(Bit(bsDiagCross, I, I) & Bit(bsDiagCross, 7 - I, I), 1);
        EXPECT_EQ(Bit(bsSolid, I, I), 0);
    }
    EXPECT_EQ(Horizontal, 8);
    EXPECT_EQ(Vertical, 8);
}

} // namespace
