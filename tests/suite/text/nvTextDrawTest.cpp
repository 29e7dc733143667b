// Text-effects renderer: styles, shadow, extrusion, rotation, alignment,
// ellipsis, the disabled look, double buffering and full justification,
// checked on rendered pixels. The test glyph is a bold "I" or "H": plain
// rectangles of ink, so the boxes of the colours are exact.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "nvTextTestSupport.h"
#include "nvtext.h"

using namespace nvTextTest;

namespace {

TRect Moved(TRect R, int DX, int DY)
{
    OffsetRect(R, DX, DY);
    return R;
}

TRect Grown(TRect R, int D)
{
    InflateRect(R, D, D);
    return R;
}

std::string Str(const TRect& R)
{
    return "(" + std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
           std::to_string(R.Bottom) + ")";
}

// The ink box (pixels that are not white) within the part Part of the image.
TRect InkIn(const QImage& Image, const TRect& Part)
{
    const QImage Sub = Image.copy(Part.ToQRect());
    TRect B = BoxNotColor(Sub, clWhite);
    if (B.IsEmpty())
        return B;
    OffsetRect(B, Part.Left, Part.Top);
    return B;
}

// Horizontal bands of rows that hold ink, top to bottom, with the left and
// right ink edges of each.
std::vector<TRect> InkBands(const QImage& Image)
{
    std::vector<TRect> Bands;
    bool In = false;
    for (int Y = 0; Y < Image.height(); ++Y) {
        int L = Image.width(), R = -1;
        for (int X = 0; X < Image.width(); ++X)
            if (QRgbToColor(Image.pixel(X, Y)) != clWhite) {
                L = std::min(L, X);
                R = std::max(R, X);
            }
        if (R >= 0) {
            if (!In) {
                Bands.push_back(TRect(L, Y, R + 1, Y + 1));
                In = true;
            } else {
                TRect& B = Bands.back();
                B.Left = std::min(B.Left, L);
                B.Right = std::max(B.Right, R + 1);
                B.Bottom = Y + 1;
            }
        } else {
            In = false;
        }
    }
    return Bands;
}

} // namespace

TEST(nvTextDraw, PlainTextIsDrawnInTheFontColourAtTheTopLeft)
{
    TTextRig Rig;
    Rig.Font.SetColor(clMaroon);
    Rig.Draw("I");
    const TRect B = BoxOfColor(Rig.Surface.Image, clMaroon);
    ASSERT_FALSE(B.IsEmpty());
    EXPECT_LT(B.Left, 10) << Str(B);
    EXPECT_LT(B.Top, 15) << Str(B);
    EXPECT_EQ(BoxNotColor(Rig.Surface.Image, clWhite), B) << "nothing but the text";
}

TEST(nvTextDraw, EmbossedAndOutlinedStyles)
{
    struct TCase {
        const char* Name;
        TnvTextStyle Style;
        // The expected boxes of red and blue pixels from the text's box.
        std::function<TRect(TRect)> Red, Blue;
    };
    // Red is the highlight (and the outline), blue the shade.
    const std::vector<TCase> Cases = {
        {"raised: highlight up-left, shade down-right", nvlsRaised,
         [](TRect B) { return Moved(B, -1, -1); }, [](TRect B) { return Moved(B, 1, 1); }},
        {"lowered: shade up-left, highlight down-right", nvlsLowered,
         [](TRect B) { return Moved(B, 1, 1); }, [](TRect B) { return Moved(B, -1, -1); }},
        {"outline: a one-pixel ring", nvlsOutline, [](TRect B) { return Grown(B, 1); },
         [](TRect) { return TRect(); }},
    };
    for (const TCase& C : Cases) {
        TTextRig Rig;
        Rig.Text->SetStyle(C.Style);
        Rig.Text->SetHighlightColor(clRed);
        Rig.Text->SetShadeColor(clBlue);
        Rig.Text->SetOutlineColor(clRed);
        Rig.Draw("I");
        const TRect B = BoxOfColor(Rig.Surface.Image, clBlack);
        ASSERT_FALSE(B.IsEmpty()) << C.Name;
        // The visible parts of the offset copies span their whole offset box
        // along the two edges they stick out of.
        const TRect Red = BoxOfColor(Rig.Surface.Image, clRed);
        const TRect Blue = BoxOfColor(Rig.Surface.Image, clBlue);
        const TRect ER = C.Red(B), EB = C.Blue(B);
        if (C.Style == nvlsOutline) {
            EXPECT_EQ(Red, ER) << C.Name << " " << Str(Red) << " text " << Str(B);
            EXPECT_TRUE(Blue.IsEmpty()) << C.Name;
            continue;
        }
        const bool RedUpLeft = ER.Left < B.Left;
        if (RedUpLeft) {
            EXPECT_EQ(Red.Left, ER.Left) << C.Name;
            EXPECT_EQ(Red.Top, ER.Top) << C.Name;
            EXPECT_EQ(Blue.Right, EB.Right) << C.Name;
            EXPECT_EQ(Blue.Bottom, EB.Bottom) << C.Name;
        } else {
            EXPECT_EQ(Red.Right, ER.Right) << C.Name;
            EXPECT_EQ(Red.Bottom, ER.Bottom) << C.Name;
            EXPECT_EQ(Blue.Left, EB.Left) << C.Name;
            EXPECT_EQ(Blue.Top, EB.Top) << C.Name;
        }
    }
}

TEST(nvTextDraw, ShadowIsDrawnAtTheStoredOffsets)
{
    struct TCase {
        const char* Name;
        bool Extrude;
        TnvOrientation O;
    };
    const std::vector<TCase> Cases = {{"shadow alone", false, nvBottomRight},
                                      {"with an extrusion toward the top left", true, nvTopLeft},
                                      {"with an extrusion the other way", true, nvBottomRight}};
    for (const TCase& C : Cases) {
        TTextRig Rig;
        Rig.Font.SetColor(clYellow);
        Rig.Text->Shadow()->SetEnabled(true);
        Rig.Text->Shadow()->SetColor(clLime);
        Rig.Text->ExtrudeEffects()->SetEnabled(C.Extrude);
        Rig.Text->ExtrudeEffects()->SetDepth(3);
        Rig.Text->ExtrudeEffects()->SetOrientation(C.O);
        Rig.Text->ExtrudeEffects()->SetFarColor(clNavy);
        Rig.Text->ExtrudeEffects()->SetNearColor(clNavy);
        Rig.Draw("I");
        const TRect B = BoxOfColor(Rig.Surface.Image, clYellow);
        const TRect S = BoxOfColor(Rig.Surface.Image, clLime);
        ASSERT_FALSE(B.IsEmpty()) << C.Name;
        EXPECT_EQ(S.Right, B.Right + 10) << C.Name;
        EXPECT_EQ(S.Bottom, B.Bottom + 10) << C.Name;
        EXPECT_EQ(S.Top, B.Top + 10) << C.Name;
    }
}

TEST(nvTextDraw, ExtrusionLiesOnTheNamedSide)
{
    const TColor Near = RGB(0, 0, 100), Far = clBlue;
    const int D = 8;
    // Where the text lands against the same text without extrusion, both
    // aligned to the top left: the block of text and layers fills the room
    // the extrusion takes, so the text moves right (down) by the depth when
    // the layers lie to its left (above) and stays otherwise.
    struct TCase {
        TnvOrientation O;
        TPoint TextShift;
    };
    const std::vector<TCase> All = {{nvTopLeft, {8, 8}},     {nvTopRight, {0, 8}}, {nvBottomLeft, {8, 0}},
                                    {nvBottomRight, {0, 0}}, {nvTop, {0, 8}},      {nvRight, {0, 0}},
                                    {nvLeft, {8, 0}},        {nvBottom, {0, 0}}};
    TTextRig Plain;
    Plain.Text->SetRect(TRect(20, 20, 280, 180));
    Plain.Font.SetColor(clYellow);
    Plain.Draw("I");
    const TRect B0 = BoxOfColor(Plain.Surface.Image, clYellow);
    for (const TCase& Case : All) {
        const TnvOrientation O = Case.O;
        TTextRig Rig;
        Rig.Text->SetRect(TRect(20, 20, 280, 180));
        Rig.Font.SetColor(clYellow);
        Rig.Text->ExtrudeEffects()->SetEnabled(true);
        Rig.Text->ExtrudeEffects()->SetDepth(D);
        Rig.Text->ExtrudeEffects()->SetOrientation(O);
        Rig.Text->ExtrudeEffects()->SetNearColor(Near);
        Rig.Text->ExtrudeEffects()->SetFarColor(Far);
        Rig.Draw("I");
        const TRect B = BoxOfColor(Rig.Surface.Image, clYellow);
        const TRect U = BoxNotColor(Rig.Surface.Image, clWhite);
        EXPECT_EQ(B, Moved(B0, Case.TextShift.X, Case.TextShift.Y)) << O << ": text at " << Str(B);
        const TPoint V = OrientationVector(O);
        TRect E = B;
        if (V.X < 0)
            E.Right += D - 1;
        if (V.X > 0)
            E.Left -= D - 1;
        if (V.Y < 0)
            E.Bottom += D - 1;
        if (V.Y > 0)
            E.Top -= D - 1;
        EXPECT_EQ(U, E) << O << ": all " << Str(U) << " text " << Str(B);
        // The far end has the first layer's colour.
        const int X = V.X < 0 ? B.Right - 1 + (D - 1) : V.X > 0 ? B.Left - (D - 1) : (B.Left + B.Right) / 2;
        const int Y = V.Y < 0 ? B.Bottom - 1 + (D - 1) : V.Y > 0 ? B.Top - (D - 1) : (B.Top + B.Bottom) / 2;
        EXPECT_EQ(Rig.Surface.At(X, Y), ExtrudeLayerColor(Near, Far, D, 1, false)) << O;
        // Every pixel outside the text is a layer colour.
        int Foreign = 0;
        for (int Y2 = U.Top; Y2 < U.Bottom; ++Y2)
            for (int X2 = U.Left; X2 < U.Right; ++X2) {
                const TColor P = Rig.Surface.At(X2, Y2);
                if (P != clWhite && P != clYellow && !(GetRValue(P) == 0 && GetGValue(P) == 0))
                    ++Foreign;
            }
        EXPECT_EQ(Foreign, 0) << O;
    }
}

TEST(nvTextDraw, ExtrusionLayerColoursStepTowardTheText)
{
    struct TCase {
        const char* Name;
        bool Striated;
        // Blue channel of the columns from the far end inward (layer 1, 2, ...).
        std::vector<int> Blues;
    };
    const std::vector<TCase> Cases = {
        {"smooth from blue to black", false, {223, 191, 159, 127, 95, 63, 31}},
        {"striated", true, {224, 112, 160, 224, 96, 80, 32}},
    };
    for (const TCase& C : Cases) {
        TTextRig Rig;
        Rig.Font.SetColor(clYellow);
        Rig.Text->ExtrudeEffects()->SetEnabled(true);
        Rig.Text->ExtrudeEffects()->SetDepth(8);
        Rig.Text->ExtrudeEffects()->SetOrientation(nvRight);
        Rig.Text->ExtrudeEffects()->SetNearColor(clBlack);
        Rig.Text->ExtrudeEffects()->SetFarColor(clBlue);
        Rig.Text->ExtrudeEffects()->SetStriated(C.Striated);
        Rig.Draw("I");
        const TRect B = BoxOfColor(Rig.Surface.Image, clYellow);
        const int Row = (B.Top + B.Bottom) / 2;
        for (size_t I = 0; I < C.Blues.size(); ++I) {
            const int X = B.Right - 1 + 7 - static_cast<int>(I);
            EXPECT_EQ(Rig.Surface.At(X, Row), RGB(0, 0, C.Blues[I])) << C.Name << " layer " << I + 1;
        }
        EXPECT_EQ(Rig.Surface.At(B.Right - 1, Row), clYellow) << C.Name << ": the text covers the last layer";
    }
}

TEST(nvTextDraw, RotatedTextIsCentredAndTurned)
{
    struct TCase {
        int Angle;
        // 0: wider than high, 1: higher than wide, 2: about square.
        int Shape;
    };
    const std::vector<TCase> Cases = {{0, 0}, {45, 2}, {90, 1}, {135, 2}, {180, 0}, {225, 2}, {270, 1}, {315, 2}};
    for (const TCase& C : Cases) {
        TTextRig Rig(300, 300, -30, true);
        Rig.Text->SetAlignment(taCenter);
        Rig.Text->SetVAlignment(vaVCenter);
        Rig.Text->SetRotation(C.Angle);
        Rig.Draw("HHHHHH");
        const TRect U = BoxNotColor(Rig.Surface.Image, clWhite);
        ASSERT_FALSE(U.IsEmpty()) << C.Angle;
        EXPECT_NEAR((U.Left + U.Right) / 2.0, 150, 7) << C.Angle << " " << Str(U);
        EXPECT_NEAR((U.Top + U.Bottom) / 2.0, 150, 7) << C.Angle << " " << Str(U);
        const double Ratio = double(U.Width()) / U.Height();
        if (C.Shape == 0)
            EXPECT_GT(Ratio, 3) << C.Angle;
        else if (C.Shape == 1)
            EXPECT_LT(Ratio, 1.0 / 3) << C.Angle;
        else
            EXPECT_NEAR(Ratio, 1, 0.35) << C.Angle;
    }
}

TEST(nvTextDraw, LinesOfRotatedTextStepPerpendicularToTheBaseline)
{
    struct TCase {
        int Angle;
        // Where the second (long) line lies from the first: 0 below, 1 right, 2 above, 3 left.
        int Side;
    };
    const std::vector<TCase> Cases = {{0, 0}, {90, 1}, {180, 2}, {270, 3}};
    for (const TCase& C : Cases) {
        TTextRig Rig(300, 300, -20, true);
        Rig.Text->SetRotation(C.Angle);
        Rig.Text->SetLineSpacing(10);
        Rig.Draw("H\r\nHHHHHHH");
        const QImage& I = Rig.Surface.Image;
        const TRect U = BoxNotColor(I, clWhite);
        const int MX = (U.Left + U.Right) / 2, MY = (U.Top + U.Bottom) / 2;
        const TRect Top = InkIn(I, TRect(U.Left, U.Top, U.Right, MY));
        const TRect Bottom = InkIn(I, TRect(U.Left, MY, U.Right, U.Bottom));
        const TRect Left = InkIn(I, TRect(U.Left, U.Top, MX, U.Bottom));
        const TRect Right = InkIn(I, TRect(MX, U.Top, U.Right, U.Bottom));
        switch (C.Side) {
        case 0: EXPECT_GT(Bottom.Width(), 2 * Top.Width()) << C.Angle; break;
        case 1: EXPECT_GT(Right.Height(), 2 * Left.Height()) << C.Angle; break;
        case 2: EXPECT_GT(Top.Width(), 2 * Bottom.Width()) << C.Angle; break;
        case 3: EXPECT_GT(Left.Height(), 2 * Right.Height()) << C.Angle; break;
        }
    }
}

TEST(nvTextDraw, Alignment)
{
    struct TCase {
        const char* Name;
        TAlignment H;
        TnvVAlignment V;
        std::function<void(const TRect&)> Check;
    };
    const TRect R(20, 20, 280, 180);
    const std::vector<TCase> Cases = {
        {"left top", taLeftJustify, vaTop,
         [](const TRect& U) {
             EXPECT_GE(U.Left, 20);
             EXPECT_LE(U.Left, 26);
             EXPECT_GE(U.Top, 20);
             EXPECT_LE(U.Top, 32);
         }},
        {"right bottom", taRightJustify, vaBottom,
         [](const TRect& U) {
             EXPECT_LE(U.Right, 280);
             EXPECT_GE(U.Right, 273);
             EXPECT_LE(U.Bottom, 180);
             EXPECT_GE(U.Bottom, 165);
         }},
        {"centre", taCenter, vaVCenter,
         [](const TRect& U) {
             EXPECT_NEAR((U.Left + U.Right) / 2.0, 150, 3);
             EXPECT_NEAR((U.Top + U.Bottom) / 2.0, 100, 6);
         }},
    };
    for (const TCase& C : Cases) {
        TTextRig Rig(300, 200, -24, true);
        Rig.Text->SetRect(R);
        Rig.Text->SetAlignment(C.H);
        Rig.Text->SetVAlignment(C.V);
        Rig.Draw("HH");
        SCOPED_TRACE(C.Name);
        C.Check(BoxNotColor(Rig.Surface.Image, clWhite));
        EXPECT_EQ(Rig.Text->Rect(), R) << "the owner's rectangle is kept";
    }
}

// Text larger than its rectangle keeps the edges its alignment names: it is
// drawn exactly as in a rectangle large enough that shares those edges.
TEST(nvTextDraw, TextLargerThanItsRectangleKeepsItsAlignedEdges)
{
    struct TCase {
        const char* Name;
        TAlignment H;
        TnvVAlignment V;
        TRect Large; // shares the aligned edges of Small = (150, 120, 180, 140)
    };
    const TRect Small(150, 120, 180, 140);
    const TCase Cases[] = {
        {"left top", taLeftJustify, vaTop, TRect(150, 120, 300, 200)},
        {"right top", taRightJustify, vaTop, TRect(0, 120, 180, 200)},
        {"left bottom", taLeftJustify, vaBottom, TRect(150, 0, 300, 140)},
        {"right bottom", taRightJustify, vaBottom, TRect(0, 0, 180, 140)},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto InkIn = [&](const TRect& R) {
            TTextRig Rig(300, 200, -40, true);
            Rig.Text->SetRect(R);
            Rig.Text->SetAlignment(C.H);
            Rig.Text->SetVAlignment(C.V);
            Rig.Draw("HH");
            return BoxNotColor(Rig.Surface.Image, clWhite);
        };
        const TRect Fits = InkIn(C.Large);
        ASSERT_GT(Fits.Width(), Small.Width());
        ASSERT_GT(Fits.Height(), Small.Height());
        EXPECT_EQ(Str(InkIn(Small)), Str(Fits));
    }
}

TEST(nvTextDraw, MultipleLinesAreAlignedEach)
{
    TTextRig Rig(300, 200, -20, true);
    Rig.Text->SetAlignment(taRightJustify);
    Rig.Draw("HHHHHH\r\nH");
    const std::vector<TRect> Bands = InkBands(Rig.Surface.Image);
    ASSERT_EQ(Bands.size(), 2u);
    EXPECT_NEAR(Bands[0].Right, Bands[1].Right, 1) << "both lines end at the right";
    EXPECT_GT(Bands[1].Left, Bands[0].Left + 40);
}

TEST(nvTextDraw, AcceleratorsAndEllipsis)
{
    TTextRig A(400, 100, -20, false);
    A.Draw("Buttons && Labels");
    TTextRig B(400, 100, -20, false);
    B.Text->SetOptions(TnvTextOptions());
    B.Draw("Buttons & Labels");
    EXPECT_EQ(BoxNotColor(A.Surface.Image, clWhite), BoxNotColor(B.Surface.Image, clWhite))
        << "with toShowAccel the double ampersand is one";
    TTextRig C(400, 100, -20, false);
    C.Text->SetOptions(TnvTextOptions());
    C.Draw("Buttons && Labels");
    EXPECT_GT(BoxNotColor(C.Surface.Image, clWhite).Width(), BoxNotColor(B.Surface.Image, clWhite).Width() + 5)
        << "without it both ampersands are drawn";

    TTextRig Long(300, 100, -20, true);
    Long.Text->SetRect(TRect(0, 0, 80, 60));
    Long.Draw("HHHHHHHHHHHH");
    EXPECT_GT(BoxNotColor(Long.Surface.Image, clWhite).Right, 80) << "no clipping";
    // With an ellipsis the line is shortened to the rectangle, whatever the
    // alignment.
    for (TAlignment A : {taLeftJustify, taRightJustify, taCenter}) {
        SCOPED_TRACE(int(A));
        TTextRig Ell(300, 100, -20, true);
        Ell.Text->SetRect(TRect(100, 0, 180, 60));
        Ell.Text->SetAlignment(A);
        Ell.Text->SetOptions(TnvTextOptions(toShowAccel) | toShowEllipsis);
        Ell.Draw("HHHHHHHHHHHH");
        const TRect U = BoxNotColor(Ell.Surface.Image, clWhite);
        EXPECT_GE(U.Left, 100) << "shortened with an ellipsis";
        EXPECT_LE(U.Right, 180) << "shortened with an ellipsis";
        EXPECT_GT(U.Width(), 30);
    }
}

TEST(nvTextDraw, DisabledLook)
{
    struct TCase {
        const char* Name;
        TnvTextStyle Style;
        TColor Highlight;
    };
    const std::vector<TCase> Cases = {{"default", nvlsDefault, clRed},
                                      {"lowered", nvlsLowered, clRed},
                                      {"raised", nvlsRaised, clRed},
                                      {"default without highlight", nvlsDefault, clNone},
                                      {"outline", nvlsOutline, clRed}};
    for (const TCase& C : Cases) {
        TTextRig Rig;
        Rig.Enabled = false;
        Rig.Text->SetStyle(C.Style);
        Rig.Text->SetHighlightColor(clYellow);
        Rig.Text->SetShadeColor(clYellow);
        Rig.Text->SetOutlineColor(clYellow);
        Rig.Text->DisabledColors()->SetHighlightColor(C.Highlight);
        Rig.Text->DisabledColors()->SetShadeColor(clBlue);
        Rig.Draw("I");
        const QImage& I = Rig.Surface.Image;
        EXPECT_EQ(CountColor(I, clBlack), 0) << C.Name << ": no font colour";
        EXPECT_EQ(CountColor(I, clYellow), 0) << C.Name << ": none of the enabled colours";
        const TRect Blue = BoxOfColor(I, clBlue);
        const TRect Red = BoxOfColor(I, clRed);
        ASSERT_FALSE(Blue.IsEmpty()) << C.Name;
        if (C.Style == nvlsOutline) {
            EXPECT_EQ(Blue, Grown(Red, 1)) << C.Name << ": shade ring around highlight text";
        } else if (C.Highlight == clNone) {
            EXPECT_TRUE(Red.IsEmpty()) << C.Name;
            EXPECT_EQ(BoxNotColor(I, clWhite), Blue) << C.Name << ": only the grey text";
        } else {
            EXPECT_EQ(Red, Moved(Blue, 1, 1)) << C.Name << ": highlight one pixel down and right";
        }
    }
}

TEST(nvTextDraw, DoubleBufferingDrawsTheSameWithinTheClip)
{
    auto Setup = [](TTextRig& Rig) {
        Rig.Font.SetColor(clYellow);
        Rig.Text->SetStyle(nvlsRaised);
        Rig.Text->ExtrudeEffects()->SetEnabled(true);
        Rig.Text->ExtrudeEffects()->SetDepth(6);
        Rig.Text->ExtrudeEffects()->SetFarColor(clBlue);
        Rig.Text->Shadow()->SetEnabled(true);
        Rig.Text->Shadow()->SetXOffset(-4);
        Rig.Text->Shadow()->SetYOffset(-4);
        Rig.Text->SetAlignment(taCenter);
        Rig.Text->SetVAlignment(vaVCenter);
    };
    TTextRig Direct, Buffered, Clipped;
    Setup(Direct);
    Setup(Buffered);
    Setup(Clipped);
    Buffered.Text->SetDoubleBuffered(true);
    Clipped.Text->SetDoubleBuffered(true);
    Direct.Draw("Hello");
    Buffered.Draw("Hello");
    EXPECT_TRUE(Direct.Surface.Image == Buffered.Surface.Image);
    EXPECT_GT(CountColor(Buffered.Surface.Image, ExtrudeLayerColor(clBlack, clBlue, 6, 1, false)), 0);

    Clipped.Surface.Canvas.IntersectClipRect(TRect(0, 0, 150, 200));
    Clipped.Draw("Hello");
    const QImage& I = Clipped.Surface.Image;
    EXPECT_TRUE(InkIn(I, TRect(150, 0, 300, 200)).IsEmpty()) << "nothing outside the clip";
    EXPECT_TRUE(I.copy(0, 0, 150, 200) == Direct.Surface.Image.copy(0, 0, 150, 200));
}

TEST(nvTextDraw, FullJustificationFillsEveryLineButTheLast)
{
    TTextRig Rig(300, 400, -16, true);
    Rig.Text->SetRect(TRect(10, 10, 230, 390));
    Rig.Text->SetWordWrap(true);
    Rig.Text->SetOptions(TnvTextOptions(toShowAccel) | toFullJustify);
    Rig.Draw("HHH HH HHHH H HHH HH HHHHH HH HHH H HHHH HH HHH HHHHH H HH HHH HH H");
    Rig.Surface.Image.save(ShotPath("nvtext-justified.png"));
    const std::vector<TRect> Bands = InkBands(Rig.Surface.Image);
    ASSERT_GE(Bands.size(), 3u);
    const int Right = Bands[0].Right;
    for (size_t I = 0; I + 1 < Bands.size(); ++I) {
        EXPECT_NEAR(Bands[I].Left, Bands[0].Left, 1) << "line " << I;
        EXPECT_NEAR(Bands[I].Right, Right, 2) << "line " << I << " is spread to the full width";
    }
    EXPECT_LT(Bands.back().Right, Right - 10) << "the last line keeps its natural width";
    EXPECT_LE(Right, 230);
}

TEST(nvTextDraw, FullJustificationSplitsParagraphs)
{
    TTextRig Rig(300, 400, -16, true);
    Rig.Text->SetRect(TRect(10, 10, 200, 390));
    Rig.Text->SetWordWrap(true);
    Rig.Text->SetLineSpacing(20);
    Rig.Text->SetOptions(TnvTextOptions(toShowAccel) | toFullJustify);
    Rig.Draw("HHH HH HHHH HHH HH HHHH HH HHH\n\nHH HHH HHHH HH HHH HH HHHH HHH HH");
    const std::vector<TRect> Bands = InkBands(Rig.Surface.Image);
    ASSERT_GE(Bands.size(), 4u);
    std::vector<int> Gaps;
    for (size_t I = 1; I < Bands.size(); ++I)
        Gaps.push_back(Bands[I].Top - Bands[I - 1].Top);
    const int Small = *std::min_element(Gaps.begin(), Gaps.end());
    const int Large = *std::max_element(Gaps.begin(), Gaps.end());
    EXPECT_EQ(Large - Small, 20) << "one extra line spacing between paragraphs";
    EXPECT_EQ(std::count(Gaps.begin(), Gaps.end(), Large), 1);
    // The line before the gap ends its paragraph and is not spread.
    const size_t Last = static_cast<size_t>(std::find(Gaps.begin(), Gaps.end(), Large) - Gaps.begin());
    EXPECT_LT(Bands[Last].Right, Bands[0].Right - 10);
}

TEST(nvTextDraw, FullJustificationPutsAnOverlongWordOnALineOfItsOwn)
{
    TTextRig Rig(400, 300, -16, true);
    Rig.Text->SetRect(TRect(0, 0, 100, 300));
    Rig.Text->SetWordWrap(true);
    Rig.Text->SetOptions(TnvTextOptions(toShowAccel) | toFullJustify);
    Rig.Draw("HH HHHHHHHHHHHHHHHH HH");
    const std::vector<TRect> Bands = InkBands(Rig.Surface.Image);
    ASSERT_EQ(Bands.size(), 3u) << "no word is lost";
    EXPECT_GT(Bands[1].Width(), Bands[0].Width() * 3);
}

TEST(nvTextDraw, StylesLeaveTheCanvasFontAsTheyFoundIt)
{
    for (TnvTextStyle S : {nvlsDefault, nvlsLowered, nvlsRaised, nvlsOutline}) {
        TTextRig Rig;
        Rig.Surface.Canvas.Font()->SetHeight(-9);
        Rig.Surface.Canvas.Font()->SetColor(clGreen);
        Rig.Text->SetStyle(S);
        Rig.Text->SetRotation(30);
        Rig.Draw("I");
        EXPECT_EQ(Rig.Surface.Canvas.Font()->Height(), -9) << S;
        EXPECT_EQ(Rig.Surface.Canvas.Font()->Color(), clGreen) << S;
        EXPECT_EQ(Rig.Surface.Canvas.Font()->Orientation(), 0) << S;
    }
}

TEST(nvTextDraw, GalleryOfEffectsStaysInItsCells)
{
    // Twelve cells with one effect each, centred: every cell's ink stays in
    // the cell. The picture is kept for looking at.
    struct TCell {
        const char* Caption;
        std::function<void(TnvText*)> Setup;
    };
    const std::vector<TCell> Cells = {
        {"Plain", nullptr},
        {"Raised", [](TnvText* T) { T->SetStyle(nvlsRaised); }},
        {"Lowered", [](TnvText* T) { T->SetStyle(nvlsLowered); }},
        {"Outline",
         [](TnvText* T) {
             T->SetStyle(nvlsOutline);
             T->SetOutlineColor(clRed);
         }},
        {"Shadow", [](TnvText* T) { T->Shadow()->SetEnabled(true); T->Shadow()->SetXOffset(4); T->Shadow()->SetYOffset(4); }},
        {"Extruded",
         [](TnvText* T) {
             T->ExtrudeEffects()->SetEnabled(true);
             T->ExtrudeEffects()->SetDepth(8);
             T->ExtrudeEffects()->SetFarColor(clBlue);
         }},
        {"Striated",
         [](TnvText* T) {
             T->ExtrudeEffects()->SetEnabled(true);
             T->ExtrudeEffects()->SetDepth(10);
             T->ExtrudeEffects()->SetOrientation(nvTopRight);
             T->ExtrudeEffects()->SetFarColor(clRed);
             T->ExtrudeEffects()->SetNearColor(clYellow);
             T->ExtrudeEffects()->SetStriated(true);
         }},
        {"Turned 30", [](TnvText* T) { T->SetRotation(30); }},
        {"Up\r\nthe side", [](TnvText* T) { T->SetRotation(90); }},
        {"Turned and\r\nextruded",
         [](TnvText* T) {
             T->SetRotation(-20);
             T->ExtrudeEffects()->SetEnabled(true);
             T->ExtrudeEffects()->SetDepth(6);
             T->ExtrudeEffects()->SetOrientation(nvLeft);
             T->ExtrudeEffects()->SetFarColor(clGreen);
         }},
        {"&Disabled", [](TnvText* T) { T->SetStyle(nvlsRaised); }},
        {"Fully justified text spreads every line but the last one of a paragraph to the width",
         [](TnvText* T) {
             T->SetWordWrap(true);
             T->SetOptions(TnvTextOptions(toShowAccel) | toFullJustify);
             T->SetLineSpacing(0);
         }},
    };
    const int CW = 200, CH = 120;
    TSurface Sheet(4 * CW, 3 * CH, clBtnFace);
    for (size_t I = 0; I < Cells.size(); ++I) {
        const TRect Cell(int(I % 4) * CW, int(I / 4) * CH, int(I % 4) * CW + CW, int(I / 4) * CH + CH);
        TTextRig Rig(CW, CH, Cells[I].Caption[0] == 'F' ? -13 : -24, true);
        Rig.Clear(clBtnFace);
        Rig.Font.SetColor(Cells[I].Caption[0] == 'S' ? clWhite : clBlack);
        Rig.Enabled = Cells[I].Caption[1] != 'D';
        Rig.Text->SetRect(TRect(10, 10, CW - 10, CH - 10));
        Rig.Text->SetAlignment(taCenter);
        Rig.Text->SetVAlignment(vaVCenter);
        if (Cells[I].Setup)
            Cells[I].Setup(Rig.Text.get());
        Rig.Draw(Cells[I].Caption);
        const TRect Ink = BoxNotColor(Rig.Surface.Image, clBtnFace);
        EXPECT_FALSE(Ink.IsEmpty()) << Cells[I].Caption;
        EXPECT_GE(Ink.Left, 0);
        EXPECT_LE(Ink.Right, CW - 2) << Cells[I].Caption << " " << Str(Ink);
        EXPECT_GE(Ink.Top, 2) << Cells[I].Caption << " " << Str(Ink);
        EXPECT_LE(Ink.Bottom, CH - 2) << Cells[I].Caption << " " << Str(Ink);
        BitBlt(&Sheet.Canvas, Cell.Left, Cell.Top, CW, CH, &Rig.Surface.Canvas, 0, 0, SRCCOPY);
    }
    Sheet.Image.save(ShotPath("nvtext-gallery.png"));
}
