// Canvas helpers: dotted lines and embossed text on rendered pixels, and the
// suite's control canvas.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "nvCanvas.h"
#include "nvCommonTestClasses.h"

namespace {

struct TSurface {
    QImage Image;
    TCanvas Canvas;
    TSurface(int W, int H, TColor Fill = clWhite, QImage::Format Format = QImage::Format_RGB32)
        : Image(W, H, Format), Canvas(&Image)
    {
        if (Format == QImage::Format_Mono) {
            Image.setColorCount(2);
            Image.setColor(0, qRgb(0, 0, 0));
            Image.setColor(1, qRgb(255, 255, 255));
            Image.fill(1);
        } else {
            Image.fill(ColorToQRgb(Fill));
        }
    }
    TColor At(int X, int Y) const { return QRgbToColor(Image.pixel(X, Y)); }
    // The pixels that are not of the colour.
    std::set<std::pair<int, int>> Other(TColor Background) const
    {
        std::set<std::pair<int, int>> R;
        for (int Y = 0; Y < Image.height(); ++Y)
            for (int X = 0; X < Image.width(); ++X)
                if (At(X, Y) != Background)
                    R.emplace(X, Y);
        return R;
    }
};

using TDots = std::set<std::pair<int, int>>;

TEST(nvCanvas, DrawDottedLine)
{
    struct {
        TPoint From, To;
        TDots Dots;
    } Cases[] = {
        {TPoint(2, 5), TPoint(12, 5), {{2, 5}, {4, 5}, {6, 5}, {8, 5}, {10, 5}, {12, 5}}}, // even length: the end too
        {TPoint(3, 1), TPoint(3, 8), {{3, 1}, {3, 3}, {3, 5}, {3, 7}}},                    // odd length
        {TPoint(12, 2), TPoint(6, 2), {{12, 2}, {10, 2}, {8, 2}, {6, 2}}},                 // right to left
        {TPoint(0, 0), TPoint(6, 6), {{0, 0}, {2, 2}, {4, 4}, {6, 6}}},
        {TPoint(5, 5), TPoint(5, 5), {{5, 5}}},
        {TPoint(1, 9), TPoint(2, 9), {{1, 9}}},
        {TPoint(-4, 0), TPoint(2, 0), {{0, 0}, {2, 0}}}, // outside the image: left out
    };
    for (const auto& C : Cases) {
        TSurface S(16, 10);
        S.Canvas.Pen()->SetColor(clRed);
        DrawDottedLine(&S.Canvas, C.From, C.To);
        EXPECT_EQ(S.Other(clWhite), C.Dots) << C.From.X << "," << C.From.Y << " -> " << C.To.X << "," << C.To.Y;
        for (const auto& D : C.Dots)
            EXPECT_EQ(S.At(D.first, D.second), clRed);
    }
}

TEST(nvCanvas, DrawDottedLineFollowsThePen)
{
    // The pen mode combines with the destination.
    TSurface Xor(10, 3, RGB(0x30, 0x30, 0x30));
    Xor.Canvas.Pen()->SetColor(RGB(0xFF, 0x0F, 0x00));
    Xor.Canvas.Pen()->SetMode(pmXor);
    DrawDottedLine(&Xor.Canvas, TPoint(0, 1), TPoint(4, 1));
    EXPECT_EQ(Xor.At(0, 1), RGB(0xCF, 0x3F, 0x30));
    EXPECT_EQ(Xor.At(1, 1), RGB(0x30, 0x30, 0x30));
    EXPECT_EQ(Xor.At(4, 1), RGB(0xCF, 0x3F, 0x30));

    // A clear pen draws nothing.
    TSurface Clear(10, 3);
    Clear.Canvas.Pen()->SetStyle(psClear);
    DrawDottedLine(&Clear.Canvas, TPoint(0, 1), TPoint(8, 1));
    EXPECT_TRUE(Clear.Other(clWhite).empty());

    // The clip region and the viewport apply.
    TSurface Clipped(12, 4);
    Clipped.Canvas.Pen()->SetColor(clBlue);
    Clipped.Canvas.SetViewportOrg(TPoint(1, 0));
    Clipped.Canvas.IntersectClipRect(TRect(0, 0, 6, 4));
    DrawDottedLine(&Clipped.Canvas, TPoint(0, 2), TPoint(10, 2));
    EXPECT_EQ(Clipped.Other(clWhite), (TDots{{1, 2}, {3, 2}, {5, 2}}));

    // A wide pen and a monochrome target take the general path: the dots
    // are in the same places.
    TSurface Wide(12, 6);
    Wide.Canvas.Pen()->SetColor(clGreen);
    Wide.Canvas.Pen()->SetWidth(2);
    DrawDottedLine(&Wide.Canvas, TPoint(1, 2), TPoint(9, 2));
    for (int X : {1, 3, 5, 7, 9})
        EXPECT_EQ(Wide.At(X, 2), clGreen) << X;
    TSurface Mono(12, 3, clWhite, QImage::Format_Mono);
    Mono.Canvas.Pen()->SetColor(clBlack);
    DrawDottedLine(&Mono.Canvas, TPoint(0, 1), TPoint(6, 1));
    EXPECT_EQ(Mono.Other(clWhite), (TDots{{0, 1}, {2, 1}, {4, 1}, {6, 1}}));
}

TEST(nvCanvas, DrawTextEmbossed)
{
    const TColor Shadow = ColorToRGB(clBtnShadow), Highlight = ColorToRGB(clBtnHighlight);
    const TRect R(0, 0, 60, 20);

    // Plain: the font colour on the brush colour.
    TSurface Plain(60, 20, clYellow);
    Plain.Canvas.Font()->SetColor(clBlack);
    Plain.Canvas.Brush()->SetColor(clWhite);
    TRect Out;
    DrawTextEmbossed(&Plain.Canvas, "Hi", R, Out, DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(Out, R);
    int Black = 0, White = 0;
    for (const auto& P : Plain.Other(clYellow)) {
        Black += Plain.At(P.first, P.second) == clBlack;
        White += Plain.At(P.first, P.second) == clWhite;
    }
    EXPECT_GT(Black, 0);
    EXPECT_GT(White, 0); // the opaque background of the text

    // Embossed: highlight one pixel right and down under the shadow, nothing
    // in the font colour. (The brush is the surface's colour, so the opaque
    // background of the highlight pass does not show.)
    TSurface Emb(60, 20, clYellow);
    Emb.Canvas.Font()->SetColor(clBlack);
    Emb.Canvas.Brush()->SetColor(clYellow);
    DrawTextEmbossed(&Emb.Canvas, "Hi", R, Out, DT_SINGLELINE | DT_VCENTER | DT_EMBOSSED);
    int MaxShadowX = -1, MaxShadowY = -1, MaxHighX = -1, MaxHighY = -1, Others = 0;
    for (const auto& P : Emb.Other(clYellow)) {
        const TColor C = Emb.At(P.first, P.second);
        if (C == Shadow) {
            MaxShadowX = std::max(MaxShadowX, P.first);
            MaxShadowY = std::max(MaxShadowY, P.second);
        } else if (C == Highlight) {
            MaxHighX = std::max(MaxHighX, P.first);
            MaxHighY = std::max(MaxHighY, P.second);
        } else {
            ++Others;
        }
    }
    ASSERT_GE(MaxShadowX, 0);
    EXPECT_EQ(MaxHighX, MaxShadowX + 1);
    EXPECT_EQ(MaxHighY, MaxShadowY + 1);
    EXPECT_EQ(Others, 0);
    EXPECT_EQ(Emb.Canvas.Font()->Color(), clBtnShadow); // stays set

    // The font colour was already the shadow colour: the text still ends in shadow.
    TSurface Again(60, 20, clWhite);
    Again.Canvas.Font()->SetColor(clBtnShadow);
    DrawTextEmbossed(&Again.Canvas, "Hi", R, Out, DT_SINGLELINE | DT_EMBOSSED);
    int ShadowPixels = 0;
    for (const auto& P : Again.Other(clWhite))
        ShadowPixels += Again.At(P.first, P.second) == Shadow;
    EXPECT_GT(ShadowPixels, 0);

    // Measuring draws nothing and changes no colour.
    TSurface Measure(60, 20, clYellow);
    Measure.Canvas.Font()->SetColor(clBlack);
    DrawTextEmbossed(&Measure.Canvas, "Hi", TRect(5, 5, 5, 5), Out, DT_SINGLELINE | DT_CALCRECT | DT_EMBOSSED);
    EXPECT_EQ(Out, TRect(5, 5, 5 + Measure.Canvas.TextWidth("Hi"), 5 + Measure.Canvas.TextHeight("Hi")));
    EXPECT_TRUE(Measure.Other(clYellow).empty());
    EXPECT_EQ(Measure.Canvas.Font()->Color(), clBlack);
}

TEST(nvCanvas, ControlCanvas)
{
    TnvCanvas C;
    EXPECT_EQ(C.Control(), nullptr);
    {
        TTestGraphic Control;
        C.SetControl(&Control);
        EXPECT_EQ(C.Control(), &Control);
    }
    EXPECT_EQ(C.Control(), nullptr); // forgotten when the control goes

    QImage I(4, 4, QImage::Format_RGB32);
    I.fill(0xFFFFFFFFu);
    C.SetTarget(&I);
    C.Brush()->SetColor(clRed);
    C.FillRect(TRect(0, 0, 2, 2));
    EXPECT_EQ(QRgbToColor(I.pixel(1, 1)), clRed);
    EXPECT_EQ(QRgbToColor(I.pixel(2, 2)), clWhite);
}

} // namespace
