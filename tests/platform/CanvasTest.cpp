// The canvas and the drawing functions, checked on rendered images at the
// pixels the drawing rules fix.
#include <gtest/gtest.h>

#include <QImage>

#include <climits>
#include <cmath>
#include <numbers>
#include <functional>
#include <set>

#include "Canvas.h"

namespace {

QImage MakeImage(int W, int H, TColor Fill = clWhite, QImage::Format F = QImage::Format_RGB32)
{
    QImage I(W, H, F);
    if (F == QImage::Format_Indexed8) {
        I.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0)});
        I.fill(0);
    }
    I.fill(ColorToQColor(Fill));
    return I;
}

// The pixel as $00BBGGRR.
TColor At(const QImage& I, int X, int Y)
{
    return QRgbToColor(I.pixel(X, Y));
}

// Bounding box of the pixels that differ from Bk.
QRect InkBox(const QImage& I, TColor Bk)
{
    QRect R;
    for (int Y = 0; Y < I.height(); ++Y)
        for (int X = 0; X < I.width(); ++X)
            if (At(I, X, Y) != Bk)
                R |= QRect(X, Y, 1, 1);
    return R;
}

int CountColor(const QImage& I, TColor C)
{
    int N = 0;
    for (int Y = 0; Y < I.height(); ++Y)
        for (int X = 0; X < I.width(); ++X)
            N += At(I, X, Y) == C;
    return N;
}

// A white image with a canvas on it.
struct TPad {
    QImage Image;
    TCanvas Canvas;
    explicit TPad(int W = 20, int H = 20, TColor Fill = clWhite, QImage::Format F = QImage::Format_RGB32)
        : Image(MakeImage(W, H, Fill, F)), Canvas(&Image)
    {
    }
    TColor operator()(int X, int Y) const { return At(Image, X, Y); }
};

// ---------------------------------------------------------------- rectangles and lines

TEST(CanvasTest, FillRectExcludesRightAndBottom)
{
    TPad P;
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.FillRect(Rect(2, 3, 6, 8));
    EXPECT_EQ(P(2, 3), clRed);
    EXPECT_EQ(P(5, 7), clRed);
    EXPECT_EQ(P(6, 7), clWhite);
    EXPECT_EQ(P(5, 8), clWhite);
    EXPECT_EQ(P(1, 3), clWhite);
    EXPECT_EQ(P(2, 2), clWhite);
    EXPECT_EQ(CountColor(P.Image, clRed), 4 * 5);
    // Inverted and empty rectangles fill nothing.
    P.Canvas.Brush()->SetColor(clBlue);
    P.Canvas.FillRect(Rect(10, 10, 5, 15));
    P.Canvas.FillRect(Rect(10, 10, 10, 15));
    EXPECT_EQ(CountColor(P.Image, clBlue), 0);
}

TEST(CanvasTest, RectangleOutlinesInsideAndFillsWithTheBrush)
{
    TPad P;
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.Rectangle(1, 1, 7, 6);
    for (auto [X, Y] : {std::pair{1, 1}, {6, 1}, {6, 5}, {1, 5}, {3, 1}, {1, 3}, {6, 3}, {3, 5}})
        EXPECT_EQ(P(X, Y), clBlack) << X << "," << Y;
    EXPECT_EQ(P(2, 2), clRed);
    EXPECT_EQ(P(5, 4), clRed);
    EXPECT_EQ(P(7, 3), clWhite);
    EXPECT_EQ(P(3, 6), clWhite);
    EXPECT_EQ(CountColor(P.Image, clRed), 4 * 3);
    EXPECT_EQ(CountColor(P.Image, clBlack), 2 * 6 + 2 * 3);
}

TEST(CanvasTest, RectangleWithoutPenFillsOnePixelLess)
{
    TPad P;
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.Pen()->SetStyle(psClear);
    P.Canvas.Rectangle(1, 1, 7, 6);
    EXPECT_EQ(P(1, 1), clRed);
    EXPECT_EQ(P(5, 4), clRed);
    EXPECT_EQ(P(6, 4), clWhite);
    EXPECT_EQ(P(5, 5), clWhite);
    EXPECT_EQ(CountColor(P.Image, clRed), 5 * 4);
}

TEST(CanvasTest, WidePenRectangles)
{
    TPad P(30, 30);
    P.Canvas.Brush()->SetStyle(bsClear);
    P.Canvas.Pen()->SetWidth(3);
    P.Canvas.Pen()->SetStyle(psInsideFrame);
    P.Canvas.Rectangle(5, 5, 20, 20);
    EXPECT_EQ(InkBox(P.Image, clWhite), QRect(5, 5, 15, 15));
    EXPECT_EQ(P(7, 10), clBlack);
    EXPECT_EQ(P(8, 10), clWhite);
    TPad Q(30, 30);
    Q.Canvas.Brush()->SetStyle(bsClear);
    Q.Canvas.Pen()->SetWidth(3);
    Q.Canvas.Rectangle(5, 5, 20, 20);
    // Centred on the one-pixel outline.
    EXPECT_EQ(InkBox(Q.Image, clWhite), QRect(4, 4, 17, 17));
}

struct TLineCase {
    int X0, Y0, X1, Y1;
};

TEST(CanvasTest, LineToLeavesOutTheEndPixel)
{
    const TLineCase Cases[] = {{0, 0, 9, 0}, {0, 0, 0, 9},  {0, 0, 9, 9},  {9, 9, 0, 0},
                               {2, 12, 15, 3}, {15, 3, 2, 12}, {3, 1, 5, 17}, {10, 10, 11, 10}};
    for (const TLineCase& L : Cases) {
        SCOPED_TRACE(testing::Message() << L.X0 << "," << L.Y0 << " -> " << L.X1 << "," << L.Y1);
        TPad P;
        P.Canvas.MoveTo(L.X0, L.Y0);
        P.Canvas.LineTo(L.X1, L.Y1);
        EXPECT_EQ(P(L.X0, L.Y0), clBlack);
        EXPECT_EQ(P(L.X1, L.Y1), clWhite);
        EXPECT_EQ(CountColor(P.Image, clBlack), std::max(std::abs(L.X1 - L.X0), std::abs(L.Y1 - L.Y0)));
        EXPECT_EQ(P.Canvas.PenPos(), Point(L.X1, L.Y1));
    }
    // A zero-length line draws nothing.
    TPad P;
    P.Canvas.MoveTo(4, 4);
    P.Canvas.LineTo(4, 4);
    EXPECT_EQ(CountColor(P.Image, clBlack), 0);
}

TEST(CanvasTest, PolylineLeavesOutItsLastPoint)
{
    TPad P;
    const TPoint Pts[] = {{1, 1}, {8, 1}, {8, 8}};
    P.Canvas.Polyline(Pts);
    EXPECT_EQ(P(1, 1), clBlack);
    EXPECT_EQ(P(8, 1), clBlack);
    EXPECT_EQ(P(8, 7), clBlack);
    EXPECT_EQ(P(8, 8), clWhite);
    EXPECT_EQ(CountColor(P.Image, clBlack), 14);
}

TEST(CanvasTest, WidePenLinesAreThickAndKeepTheirEnds)
{
    TPad P(30, 30);
    P.Canvas.Pen()->SetWidth(3);
    P.Canvas.MoveTo(5, 10);
    P.Canvas.LineTo(20, 10);
    for (int Y : {9, 10, 11})
        EXPECT_EQ(P(12, Y), clBlack) << Y;
    EXPECT_EQ(P(12, 8), clWhite);
    EXPECT_EQ(P(12, 12), clWhite);
    EXPECT_EQ(P(20, 10), clBlack); // round caps cover the end point
}

TEST(CanvasTest, PolygonFillsSelfCrossingStarWithTheAlternateRule)
{
    TPad P(100, 100);
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.Pen()->SetStyle(psClear);
    // A pentagram: the centre pentagon is crossed twice and stays empty.
    std::vector<TPoint> Star;
    for (int K = 0; K < 5; ++K) {
        const double A = -std::numbers::pi / 2 + K * 4 * std::numbers::pi / 5;
        Star.emplace_back(50 + static_cast<int>(std::lround(45 * std::cos(A))),
                          50 + static_cast<int>(std::lround(45 * std::sin(A))));
    }
    P.Canvas.Polygon(Star);
    EXPECT_EQ(P(50, 50), clWhite);
    EXPECT_EQ(P(50, 15), clRed); // the top point
    EXPECT_EQ(P(20, 40), clRed); // the left point
    EXPECT_EQ(P(5, 5), clWhite);
}

TEST(CanvasTest, PolygonFillsPixelsWhoseCentresAreInside)
{
    TPad P;
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.Pen()->SetStyle(psClear);
    const TPoint Square[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
    P.Canvas.Polygon(Square);
    EXPECT_EQ(InkBox(P.Image, clWhite), QRect(2, 2, 10, 10));
    // With a pen the outline runs through the vertices.
    TPad Q;
    Q.Canvas.Brush()->SetColor(clRed);
    Q.Canvas.Polygon(Square);
    EXPECT_EQ(InkBox(Q.Image, clWhite), QRect(2, 2, 11, 11));
    EXPECT_EQ(Q(12, 12), clBlack);
    EXPECT_EQ(Q(7, 7), clRed);
    EXPECT_EQ(CountColor(Q.Image, clBlack), 40);
}

TEST(CanvasTest, EllipseFitsItsBox)
{
    TPad P(30, 30);
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.Ellipse(3, 4, 23, 18);
    EXPECT_EQ(InkBox(P.Image, clWhite), QRect(3, 4, 20, 14));
    EXPECT_EQ(P(13, 11), clRed);
    EXPECT_EQ(P(3, 4), clWhite); // corners stay
    EXPECT_EQ(P(13, 4), clBlack);
    EXPECT_EQ(P(3, 11), clBlack);
    // Symmetric about both axes of the box.
    for (int Y = 4; Y < 18; ++Y)
        for (int X = 3; X < 23; ++X) {
            EXPECT_EQ(P(X, Y), P(25 - X, Y));
            EXPECT_EQ(P(X, Y), P(X, 21 - Y));
        }
    TPad Q(30, 30);
    Q.Canvas.Brush()->SetColor(clRed);
    Q.Canvas.Pen()->SetStyle(psClear);
    Q.Canvas.Ellipse(3, 4, 23, 18);
    EXPECT_EQ(InkBox(Q.Image, clWhite), QRect(3, 4, 19, 13));
}

TEST(CanvasTest, RoundRectPieArcAndChord)
{
    TPad R(30, 30);
    R.Canvas.Brush()->SetColor(clRed);
    R.Canvas.RoundRect(2, 2, 22, 16, 8, 8);
    EXPECT_EQ(InkBox(R.Image, clWhite), QRect(2, 2, 20, 14));
    EXPECT_EQ(R(2, 2), clWhite);
    EXPECT_EQ(R(12, 2), clBlack);
    EXPECT_EQ(R(2, 9), clBlack);
    EXPECT_EQ(R(12, 9), clRed);

    // A quarter pie from the ray to the right to the ray upwards.
    TPad P(30, 30);
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.Pie(0, 0, 21, 21, 30, 10, 10, -5);
    EXPECT_EQ(P(14, 6), clRed);  // upper right quarter
    EXPECT_EQ(P(6, 6), clWhite); // upper left
    EXPECT_EQ(P(14, 14), clWhite);
    EXPECT_EQ(P(6, 14), clWhite);

    TPad A(30, 30);
    A.Canvas.Arc(0, 0, 21, 21, 30, 10, 10, -5);
    const QRect Ink = InkBox(A.Image, clWhite);
    EXPECT_GE(Ink.left(), 9);
    EXPECT_LE(Ink.bottom(), 11);
    EXPECT_EQ(A(10, 10), clWhite);

    TPad C(30, 30);
    C.Canvas.Brush()->SetColor(clRed);
    C.Canvas.Chord(0, 0, 21, 21, 30, 10, 10, -5);
    EXPECT_EQ(C(16, 4), clRed);
    EXPECT_EQ(C(10, 10), clWhite); // the centre lies beyond the chord
}

TEST(CanvasTest, FrameRectIsOnePixelOfTheBrush)
{
    TPad P;
    P.Canvas.Brush()->SetColor(clBlue);
    P.Canvas.FrameRect(Rect(3, 3, 10, 8));
    EXPECT_EQ(P(3, 3), clBlue);
    EXPECT_EQ(P(9, 7), clBlue);
    EXPECT_EQ(P(4, 4), clWhite);
    EXPECT_EQ(P(10, 7), clWhite);
    EXPECT_EQ(CountColor(P.Image, clBlue), 2 * 7 + 2 * 3);
}

// ---------------------------------------------------------------- pen modes and styles

struct TModeCase {
    TPenMode Mode;
    std::function<uint32_t(uint32_t P, uint32_t D)> Expected;
};

TEST(CanvasTest, PenModesCombinePenAndDestination)
{
    const uint32_t P = 0x35C00F, D = 0x0F5AA0;
    const TModeCase Cases[] = {
        {pmBlack, [](uint32_t, uint32_t) { return 0u; }},
        {pmWhite, [](uint32_t, uint32_t) { return ~0u; }},
        {pmNop, [](uint32_t, uint32_t D) { return D; }},
        {pmNot, [](uint32_t, uint32_t D) { return ~D; }},
        {pmCopy, [](uint32_t P, uint32_t) { return P; }},
        {pmNotCopy, [](uint32_t P, uint32_t) { return ~P; }},
        {pmMergePenNot, [](uint32_t P, uint32_t D) { return P | ~D; }},
        {pmMaskPenNot, [](uint32_t P, uint32_t D) { return P & ~D; }},
        {pmMergeNotPen, [](uint32_t P, uint32_t D) { return ~P | D; }},
        {pmMaskNotPen, [](uint32_t P, uint32_t D) { return ~P & D; }},
        {pmMerge, [](uint32_t P, uint32_t D) { return P | D; }},
        {pmNotMerge, [](uint32_t P, uint32_t D) { return ~(P | D); }},
        {pmMask, [](uint32_t P, uint32_t D) { return P & D; }},
        {pmNotMask, [](uint32_t P, uint32_t D) { return ~(P & D); }},
        {pmXor, [](uint32_t P, uint32_t D) { return P ^ D; }},
        {pmNotXor, [](uint32_t P, uint32_t D) { return ~(P ^ D); }},
    };
    for (const TModeCase& C : Cases) {
        SCOPED_TRACE(C.Mode);
        TPad Pad(10, 10, MakeColor(D));
        Pad.Canvas.Pen()->SetColor(MakeColor(P));
        Pad.Canvas.Pen()->SetMode(C.Mode);
        Pad.Canvas.MoveTo(2, 2);
        Pad.Canvas.LineTo(6, 2);
        const TColor Want = MakeColor(C.Expected(P, D) & 0xFFFFFF);
        EXPECT_EQ(Pad(2, 2), Want);
        EXPECT_EQ(Pad(5, 2), Want);
        EXPECT_EQ(Pad(6, 2), MakeColor(D));
        // Figures use the mode for outline and inside alike.
        TPad Fig(10, 10, MakeColor(D));
        Fig.Canvas.Pen()->SetColor(MakeColor(P));
        Fig.Canvas.Brush()->SetColor(MakeColor(P));
        Fig.Canvas.Pen()->SetMode(C.Mode);
        Fig.Canvas.Rectangle(1, 1, 8, 8);
        EXPECT_EQ(Fig(1, 1), Want);
        EXPECT_EQ(Fig(4, 4), Want);
    }
}

TEST(CanvasTest, XorFiguresDrawnTwiceRestoreThePicture)
{
    TPad P(40, 40);
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 40; ++X)
            P.Image.setPixel(X, Y, qRgb(X * 6, Y * 6, 100));
    const QImage Before = P.Image.copy();
    P.Canvas.Pen()->SetMode(pmXor);
    P.Canvas.Pen()->SetColor(clWhite);
    P.Canvas.Brush()->SetColor(clYellow);
    const TPoint Tri[] = {{5, 5}, {35, 10}, {12, 33}};
    for (int I = 0; I < 2; ++I) {
        P.Canvas.Rectangle(3, 3, 20, 20);
        P.Canvas.Ellipse(10, 10, 38, 30);
        P.Canvas.MoveTo(0, 39);
        P.Canvas.LineTo(39, 0);
        P.Canvas.Polygon(Tri);
        if (I == 0) {
            EXPECT_NE(P.Image, Before);
        }
    }
    P.Canvas.Pen()->SetMode(pmNotXor);
    P.Canvas.RoundRect(3, 3, 30, 30, 10, 10);
    P.Canvas.RoundRect(3, 3, 30, 30, 10, 10);
    EXPECT_EQ(P.Image, Before);
}

TEST(CanvasTest, DashedPensShowTheirPatternAndOpaqueGaps)
{
    TPad P(40, 4, clWhite);
    P.Canvas.Pen()->SetStyle(psDot);
    P.Canvas.Brush()->SetColor(clYellow); // solid brush: opaque, background yellow
    P.Canvas.MoveTo(0, 1);
    P.Canvas.LineTo(12, 1);
    const TColor Dots[] = {clBlack, clBlack, clBlack, clYellow, clYellow, clYellow,
                           clBlack, clBlack, clBlack, clYellow, clYellow, clYellow};
    for (int X = 0; X < 12; ++X)
        EXPECT_EQ(P(X, 1), Dots[X]) << X;
    // The pattern continues with the next LineTo.
    P.Canvas.LineTo(14, 1);
    EXPECT_EQ(P(12, 1), clBlack);

    TPad T(40, 4, clWhite);
    T.Canvas.Pen()->SetStyle(psDash);
    T.Canvas.Brush()->SetStyle(bsClear); // transparent: gaps untouched
    T.Canvas.MoveTo(0, 1);
    T.Canvas.LineTo(30, 1);
    for (int X = 0; X < 30; ++X)
        EXPECT_EQ(T(X, 1), X < 18 || X >= 24 ? clBlack : clWhite) << X;

    TPad C(20, 20);
    C.Canvas.Pen()->SetStyle(psClear);
    C.Canvas.MoveTo(0, 0);
    C.Canvas.LineTo(19, 19);
    EXPECT_EQ(CountColor(C.Image, clWhite), 400);
}

// ---------------------------------------------------------------- brushes

TEST(CanvasTest, HatchGapsFollowTheBackgroundMode)
{
    TPad P(16, 16, clBlue);
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.Brush()->SetStyle(bsHorizontal);
    P.Canvas.FillRect(Rect(0, 0, 16, 16));
    // A hatched brush sets the transparent mode: the gaps keep the picture.
    EXPECT_EQ(P(3, 7), clRed);
    EXPECT_EQ(P(3, 15), clRed);
    EXPECT_EQ(P(3, 3), clBlue);
    EXPECT_EQ(CountColor(P.Image, clRed), 32);
    P.Canvas.SetBkMode(OPAQUE);
    P.Canvas.SetBkColor(clLime);
    P.Canvas.FillRect(Rect(0, 0, 16, 16));
    EXPECT_EQ(P(3, 3), clLime);
    EXPECT_EQ(P(3, 7), clRed);
}

// The 8 x 8 checker: rows $AA and $55.
QImage Checker()
{
    QImage Pat(8, 8, QImage::Format_Mono);
    Pat.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int Y = 0; Y < 8; ++Y)
        Pat.scanLine(Y)[0] = (Y % 2) ? 0x55 : 0xAA;
    return Pat;
}

TEST(CanvasTest, CheckerBrushPhaseFollowsTheBrushOrigin)
{
    for (TPoint Org : {Point(0, 0), Point(1, 0), Point(3, 5), Point(-2, 7)}) {
        SCOPED_TRACE(testing::Message() << Org.X << "," << Org.Y);
        TPad P(16, 16);
        P.Canvas.Brush()->SetBitmap(Checker());
        P.Canvas.SetTextColor(clRed);  // black bits
        P.Canvas.SetBkColor(clBlue);   // white bits
        P.Canvas.SetBrushOrigin(Org);
        P.Canvas.FillRect(Rect(0, 0, 16, 16));
        for (int Y = 0; Y < 16; ++Y)
            for (int X = 0; X < 16; ++X)
                ASSERT_EQ(P(X, Y), ((X - Org.X + Y - Org.Y) % 2 == 0) ? clBlue : clRed) << X << "," << Y;
    }
}

TEST(CanvasTest, ChangingTheBrushResetsTheBackgroundColour)
{
    TPad P(8, 8);
    P.Canvas.Brush()->SetBitmap(Checker());
    P.Canvas.SetBkColor(clBlue);
    P.Canvas.Brush()->SetColor(clYellow); // selecting the brush again
    P.Canvas.FillRect(Rect(0, 0, 8, 8));
    EXPECT_EQ(P(0, 0), clYellow); // white bits take the brush colour as background
    EXPECT_EQ(P(1, 0), clBlack);  // black bits the font colour
}

TEST(CanvasTest, ColourPatternsTileFromTheOrigin)
{
    QImage Pat(3, 2, QImage::Format_RGB32);
    Pat.fill(Qt::green);
    Pat.setPixel(0, 0, qRgb(255, 0, 0));
    TPad P(12, 12);
    P.Canvas.Brush()->SetBitmap(Pat);
    P.Canvas.FillRect(Rect(0, 0, 12, 12));
    EXPECT_EQ(P(0, 0), clRed);
    EXPECT_EQ(P(3, 2), clRed);
    EXPECT_EQ(P(9, 10), clRed);
    EXPECT_EQ(P(1, 0), clLime);
    EXPECT_EQ(CountColor(P.Image, clRed), 4 * 6);
}

// ---------------------------------------------------------------- focus rectangle, pixels, clipping

TEST(CanvasTest, DrawFocusRectXorsEveryOtherPixelFromTheTopLeft)
{
    TPad P(20, 20);
    P.Canvas.DrawFocusRect(Rect(2, 2, 12, 9));
    EXPECT_EQ(P(2, 2), clBlack);
    EXPECT_EQ(P(3, 2), clWhite);
    EXPECT_EQ(P(4, 2), clBlack);
    EXPECT_EQ(P(2, 3), clWhite);
    EXPECT_EQ(P(2, 4), clBlack);
    EXPECT_EQ(P(11, 2), clWhite);
    EXPECT_EQ(P(11, 3), clBlack);
    EXPECT_EQ(P(2, 8), clBlack);
    EXPECT_EQ(P(3, 8), clWhite);
    EXPECT_EQ(P(5, 5), clWhite);
    EXPECT_EQ(InkBox(P.Image, clWhite), QRect(2, 2, 10, 7));
    EXPECT_EQ(CountColor(P.Image, clBlack), (10 + 10 + 5 + 5) / 2);

    TPad G(20, 20);
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 20; ++X)
            G.Image.setPixel(X, Y, qRgb(X * 12, 255 - Y * 12, (X * Y) & 255));
    const QImage Before = G.Image.copy();
    G.Canvas.DrawFocusRect(Rect(1, 3, 17, 15));
    EXPECT_NE(G.Image, Before);
    G.Canvas.DrawFocusRect(Rect(1, 3, 17, 15));
    EXPECT_EQ(G.Image, Before);
}

TEST(CanvasTest, PixelsReadAndWriteColours)
{
    TPad P(10, 10);
    P.Canvas.SetPixels(3, 4, clMoneyGreen);
    EXPECT_EQ(P.Canvas.Pixels(3, 4), clMoneyGreen);
    EXPECT_EQ(P(3, 4), clMoneyGreen);
    P.Canvas.SetPixels(5, 5, clBtnFace);
    EXPECT_EQ(P.Canvas.Pixels(5, 5), MakeColor(0xC8D0D4));
    EXPECT_EQ(P.Canvas.Pixels(-1, 0), CLR_INVALID);
    EXPECT_EQ(P.Canvas.Pixels(10, 0), CLR_INVALID);
    P.Canvas.SetPixels(100, 100, clRed); // outside: nothing
    P.Canvas.IntersectClipRect(Rect(0, 0, 5, 5));
    EXPECT_EQ(P.Canvas.Pixels(7, 7), CLR_INVALID);
    P.Canvas.SetPixels(7, 7, clRed);
    EXPECT_EQ(P(7, 7), clWhite);
}

TEST(CanvasTest, ClippingLimitsEveryKindOfDrawing)
{
    TPad P(20, 20);
    P.Canvas.IntersectClipRect(Rect(5, 5, 15, 15));
    P.Canvas.ExcludeClipRect(Rect(8, 8, 10, 10));
    EXPECT_EQ(P.Canvas.ClipRect(), Rect(5, 5, 15, 15));
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.FillRect(Rect(0, 0, 20, 20));
    P.Canvas.MoveTo(0, 12);
    P.Canvas.LineTo(20, 12);
    P.Canvas.Ellipse(0, 0, 20, 20);
    P.Canvas.TextOut(0, 0, "WWWWWWWW");
    TPad Src(20, 20, clBlue);
    BitBlt(&P.Canvas, 0, 0, 20, 20, &Src.Canvas, 0, 0, SRCCOPY);
    const QRect Ink = InkBox(P.Image, clWhite);
    EXPECT_EQ(Ink, QRect(5, 5, 10, 10));
    EXPECT_EQ(P(8, 8), clWhite);
    EXPECT_EQ(P(9, 9), clWhite);
    EXPECT_EQ(P(10, 10), clBlue);
    P.Canvas.SetClipRegion(nullptr);
    EXPECT_EQ(P.Canvas.ClipRect(), Rect(0, 0, 20, 20));
    const QRegion Two = QRegion(0, 0, 2, 2) + QRegion(18, 18, 2, 2);
    P.Canvas.SetClipRegion(&Two);
    P.Canvas.Brush()->SetColor(clLime);
    P.Canvas.FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(CountColor(P.Image, clLime), 8);
}

TEST(CanvasTest, ViewportOriginMovesDrawing)
{
    TPad P(20, 20);
    P.Canvas.SetViewportOrg(Point(10, 5));
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.FillRect(Rect(0, 0, 2, 2));
    EXPECT_EQ(InkBox(P.Image, clWhite), QRect(10, 5, 2, 2));
    EXPECT_EQ(P.Canvas.Pixels(0, 0), clRed);
    EXPECT_EQ(P.Canvas.ClipRect(), Rect(-10, -5, 10, 15));
}

// ---------------------------------------------------------------- text

TEST(CanvasTest, TextOutDrawsInTheCellAndMovesThePen)
{
    TPad P(120, 40, clBlue);
    P.Canvas.Brush()->SetColor(clYellow);
    P.Canvas.Font()->SetColor(clBlack);
    const TSize Ext = P.Canvas.TextExtent("Hello");
    EXPECT_EQ(Ext.cy, P.Canvas.Font()->Metrics().tmHeight);
    EXPECT_EQ(P.Canvas.TextWidth("Hel") + P.Canvas.TextWidth("lo"), Ext.cx);
    P.Canvas.TextOut(10, 5, "Hello");
    // Opaque: the cell is filled with the background colour.
    EXPECT_EQ(InkBox(P.Image, clBlue), QRect(10, 5, Ext.cx, Ext.cy));
    EXPECT_GT(CountColor(P.Image, clBlack), 10);
    EXPECT_EQ(P.Canvas.PenPos(), Point(10 + Ext.cx, 5));

    TPad T(120, 40, clBlue);
    T.Canvas.Brush()->SetStyle(bsClear);
    T.Canvas.Font()->SetColor(clWhite);
    T.Canvas.TextOut(10, 5, "Hello");
    EXPECT_EQ(CountColor(T.Image, clYellow), 0);
    EXPECT_TRUE(QRect(10, 5, Ext.cx, Ext.cy).contains(InkBox(T.Image, clBlue)));
    EXPECT_EQ(CountColor(T.Image, clWhite) + CountColor(T.Image, clBlue), 120 * 40);
}

TEST(CanvasTest, TextAlignmentPlacesTheReferencePoint)
{
    auto Draw = [](unsigned Align, int X, int Y) {
        TPad P(200, 60);
        P.Canvas.Brush()->SetStyle(bsClear);
        P.Canvas.SetTextAlign(Align);
        P.Canvas.TextOut(X, Y, "Align");
        return P.Image;
    };
    TFont F;
    const int W = F.TextWidth("Align"), A = F.Metrics().tmAscent, H = F.Metrics().tmHeight;
    EXPECT_EQ(Draw(TA_RIGHT, 100 + W, 10), Draw(TA_LEFT, 100, 10));
    EXPECT_EQ(Draw(TA_CENTER, 100 + W / 2, 10), Draw(TA_LEFT, 100, 10));
    EXPECT_NE(Draw(TA_CENTER, 100, 10), Draw(TA_LEFT, 100, 10));
    EXPECT_EQ(Draw(TA_BASELINE, 50, 10 + A), Draw(TA_TOP, 50, 10));
    EXPECT_EQ(Draw(TA_BOTTOM, 50, 10 + H), Draw(TA_TOP, 50, 10));
}

TEST(CanvasTest, TextRectClipsAndFillsTheRectangle)
{
    TPad P(100, 30, clBlue);
    P.Canvas.Brush()->SetColor(clYellow);
    P.Canvas.TextRect(Rect(10, 5, 30, 20), 5, 5, "WWWWWWWWWW");
    EXPECT_EQ(InkBox(P.Image, clBlue), QRect(10, 5, 20, 15));
    EXPECT_EQ(P(29, 19), clYellow);
}

// Runs of columns with ink.
std::vector<int> InkColumnStarts(const QImage& I, TColor Bk)
{
    std::vector<int> Starts;
    bool Prev = false;
    for (int X = 0; X < I.width(); ++X) {
        bool Ink = false;
        for (int Y = 0; Y < I.height(); ++Y)
            Ink = Ink || At(I, X, Y) != Bk;
        if (Ink && !Prev)
            Starts.push_back(X);
        Prev = Ink;
    }
    return Starts;
}

TEST(CanvasTest, JustificationSpreadsExtraPixelsOverTheBlanks)
{
    auto Draw = [](int Extra, int Count) {
        TPad P(200, 40);
        P.Canvas.Font()->SetHeight(-24);
        P.Canvas.Brush()->SetStyle(bsClear);
        P.Canvas.SetTextJustification(Extra, Count);
        P.Canvas.TextOut(5, 5, "I I I");
        return InkColumnStarts(P.Image, clWhite);
    };
    const std::vector<int> Plain = Draw(0, 0);
    ASSERT_EQ(Plain.size(), 3u);
    // 11 pixels over two blanks: the first gets 6, the second 5.
    const std::vector<int> Wide = Draw(11, 2);
    ASSERT_EQ(Wide.size(), 3u);
    EXPECT_EQ(Wide[0] - Plain[0], 0);
    EXPECT_EQ(Wide[1] - Plain[1], 6);
    EXPECT_EQ(Wide[2] - Plain[2], 11);
    const std::vector<int> Narrow = Draw(-2, 2);
    EXPECT_EQ(Narrow[1] - Plain[1], -1);
    EXPECT_EQ(Narrow[2] - Plain[2], -2);
}

TEST(CanvasTest, ExtTextOutWithAdvancesAndOpaqueRectangle)
{
    TPad P(100, 30, clBlue);
    P.Canvas.Brush()->SetStyle(bsClear);
    P.Canvas.Font()->SetHeight(-20);
    P.Canvas.SetBkColor(clYellow);
    const int Dx[] = {20, 20, 20};
    const TRect R = Rect(2, 2, 90, 28);
    ExtTextOut(&P.Canvas, 5, 4, ETO_OPAQUE, &R, "III", Dx);
    const std::vector<int> Starts = InkColumnStarts(P.Image.copy(3, 3, 86, 24), clYellow);
    ASSERT_EQ(Starts.size(), 3u);
    EXPECT_EQ(Starts[1] - Starts[0], 20);
    EXPECT_EQ(Starts[2] - Starts[1], 20);
    EXPECT_EQ(P(2, 2), clYellow);
    EXPECT_EQ(P(89, 27), clYellow);
    EXPECT_EQ(P(90, 27), clBlue);
}

TEST(CanvasTest, RotatedTextTurnsCounterClockwiseAroundItsOrigin)
{
    auto Draw = [](int Tenths, const String& Text) {
        TPad P(160, 160);
        P.Canvas.Font()->SetHeight(-20);
        P.Canvas.Font()->SetOrientation(Tenths);
        P.Canvas.Brush()->SetStyle(bsClear);
        P.Canvas.TextOut(80, 80, Text);
        return P.Image;
    };
    TFont F;
    F.SetHeight(-20);
    const int W = F.TextWidth("Hello"), H = F.Metrics().tmHeight;

    const QRect Flat = InkBox(Draw(0, "Hello"), clWhite);
    EXPECT_TRUE(QRect(80, 80, W, H).contains(Flat));

    // 90 degrees: the text runs upward from the origin, its cell to the right.
    const QRect Up = InkBox(Draw(900, "Hello"), clWhite);
    EXPECT_GE(Up.left(), 80);
    EXPECT_LE(Up.right(), 80 + H);
    EXPECT_LE(Up.bottom(), 80);
    EXPECT_GE(Up.top(), 80 - W - 1);
    EXPECT_GT(Up.height(), W * 3 / 4);
    // The first letter is at the bottom.
    const QRect First = InkBox(Draw(900, "H"), clWhite);
    EXPECT_EQ(First.bottom(), Up.bottom());
    EXPECT_GT(First.top(), Up.top() + W / 2);

    // 180 degrees: to the left and upside down above the origin.
    const QRect Down = InkBox(Draw(1800, "Hello"), clWhite);
    EXPECT_LE(Down.right(), 80);
    EXPECT_LE(Down.bottom(), 80);
    EXPECT_GT(Down.width(), W * 3 / 4);

    // 270 degrees: downward, the cell to the left.
    const QRect Dn = InkBox(Draw(2700, "Hello"), clWhite);
    EXPECT_GE(Dn.top(), 80);
    EXPECT_LE(Dn.right(), 80);
    EXPECT_GT(Dn.height(), W * 3 / 4);
}

// ---------------------------------------------------------------- DrawText

struct TText {
    TPad Pad{200, 100};
    int LH;
    TText()
    {
        Pad.Canvas.Brush()->SetStyle(bsClear);
        LH = Pad.Canvas.Font()->Metrics().tmHeight;
    }
    int W(const String& S) { return Pad.Canvas.TextWidth(S); }
    TRect Calc(const String& S, unsigned Flags, TRect R = Rect(10, 10, 10, 10))
    {
        DrawText(&Pad.Canvas, S, R, Flags | DT_CALCRECT);
        return R;
    }
};

TEST(CanvasTest, DrawTextCalcRectMeasuresLines)
{
    TText T;
    TRect R = Rect(10, 10, 10, 10);
    EXPECT_EQ(DrawText(&T.Pad.Canvas, "Hello", R, DT_CALCRECT | DT_SINGLELINE), T.LH);
    EXPECT_EQ(R, Rect(10, 10, 10 + T.W("Hello"), 10 + T.LH));
    EXPECT_EQ(T.Calc("a\r\nbb\nccc", 0), Rect(10, 10, 10 + T.W("ccc"), 10 + 3 * T.LH));
    EXPECT_EQ(T.Calc("a\r\n", 0), Rect(10, 10, 10 + T.W("a"), 10 + T.LH));
    EXPECT_EQ(T.Calc("a\r\n\r\nb", 0), Rect(10, 10, 10 + T.W("a"), 10 + 3 * T.LH));
    EXPECT_EQ(T.Calc("a\r\nbb", DT_SINGLELINE), Rect(10, 10, 10 + T.W("abb"), 10 + T.LH));
    // An empty text.
    TRect E = Rect(10, 10, 50, 50);
    EXPECT_EQ(DrawText(&T.Pad.Canvas, "", E, DT_CALCRECT), T.LH);
    EXPECT_EQ(E, Rect(10, 10, 10, 10));
    EXPECT_EQ(T.Calc("", DT_SINGLELINE), Rect(10, 10, 10, 10 + T.LH));
    // Calculating draws nothing.
    EXPECT_EQ(CountColor(T.Pad.Image, clWhite), 200 * 100);
}

struct TWrapCase {
    const char* Text;
    int Avail;    // in widths of "xx xx" minus an adjustment below
    int Adjust;
    int Lines;
};

TEST(CanvasTest, DrawTextWordBreakWrapsAtBlanks)
{
    TText T;
    const int Two = T.W("xx xx");
    const TWrapCase Cases[] = {
        {"xx xx xx xx", 1, 0, 2},   {"xx xx xx xx", 1, -1, 4}, {"xx xx xx xx", 2, 1 + 0, 1},
        {"xx xx\r\nxx", 1, 0, 2},   {"xx   xx xx", 1, 0, 2},   {"xx xx ", 1, 0, 1},
    };
    for (const TWrapCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        const int Avail = C.Avail == 2 ? T.W(C.Text) : Two + C.Adjust;
        const TRect R = T.Calc(C.Text, DT_WORDBREAK, Rect(0, 0, Avail, 0));
        EXPECT_EQ(R.Bottom, C.Lines * T.LH);
        EXPECT_LE(R.Right, Avail);
    }
    // The widest line sets the width.
    EXPECT_EQ(T.Calc("xx xx xx xx", DT_WORDBREAK, Rect(0, 0, Two + 3, 0)).Right, Two);
    // A word wider than the line stays whole and widens the rectangle.
    const TRect Long = T.Calc("abcdefghij x", DT_WORDBREAK, Rect(0, 0, T.W("abc"), 0));
    EXPECT_EQ(Long.Bottom, 2 * T.LH);
    EXPECT_EQ(Long.Right, T.W("abcdefghij"));
    // The edit-control rule breaks it between characters instead.
    const TRect Edit = T.Calc("abcdefghij x", DT_WORDBREAK | DT_EDITCONTROL, Rect(0, 0, T.W("abc"), 0));
    EXPECT_GE(Edit.Bottom, 4 * T.LH);
    EXPECT_LE(Edit.Right, T.W("abc"));
    // Single line wins over word break.
    EXPECT_EQ(T.Calc("xx xx xx xx", DT_WORDBREAK | DT_SINGLELINE, Rect(0, 0, 5, 0)).Bottom, T.LH);
}

TEST(CanvasTest, DrawTextPrefixesAndTabs)
{
    TText T;
    EXPECT_EQ(T.Calc("&File", DT_SINGLELINE).Right, 10 + T.W("File"));
    EXPECT_EQ(T.Calc("&File", DT_SINGLELINE | DT_NOPREFIX).Right, 10 + T.W("&File"));
    EXPECT_EQ(T.Calc("Save && Exit", DT_SINGLELINE).Right, 10 + T.W("Save & Exit"));
    EXPECT_EQ(T.Calc("A&", DT_SINGLELINE).Right, 10 + T.W("A&"));
    const int Avg = T.Pad.Canvas.Font()->Metrics().tmAveCharWidth;
    EXPECT_EQ(T.Calc("a\tb", DT_SINGLELINE | DT_EXPANDTABS).Right, 10 + 8 * Avg + T.W("b"));
    EXPECT_EQ(T.Calc("a\tb", DT_SINGLELINE).Right, 10 + T.W("a b"));
    // With DT_TABSTOP bits 8..15 are the tab length, not flags (0x300 would be
    // DT_NOCLIP | DT_EXTERNALLEADING).
    TText Stop;
    TRect SR = Rect(0, 0, 100, 20);
    DrawText(&Stop.Pad.Canvas, "a\tb", SR, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (3 << 8));
    TText Want;
    Want.Pad.Canvas.TextOut(0, 0, "a");
    Want.Pad.Canvas.TextOut(3 * Avg, 0, "b");
    EXPECT_EQ(Stop.Pad.Image, Want.Pad.Image);
    TDrawTextParams Params;
    Params.iTabLength = 4;
    Params.iLeftMargin = 3;
    TRect R = Rect(10, 10, 10, 10);
    DrawTextEx(&T.Pad.Canvas, "a\tb", R, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT, &Params);
    EXPECT_EQ(R.Right, 10 + 3 + 4 * Avg + T.W("b"));
    EXPECT_EQ(Params.uiLengthDrawn, 3u);
}

TEST(CanvasTest, DrawTextUnderlinesThePrefixedCharacter)
{
    const TTextMetric TM = TFont().Metrics();
    const int Row = TM.tmAscent + TM.tmUnderlinePos;
    const int WF = TFont().TextWidth("F");
    for (unsigned Extra : {0u, unsigned(DT_HIDEPREFIX)}) {
        TText T;
        TRect R = Rect(0, 0, 100, 30);
        DrawText(&T.Pad.Canvas, "&File", R, DT_SINGLELINE | Extra);
        for (int X = 0; X < WF; ++X)
            EXPECT_EQ(T.Pad(X, Row), Extra ? clWhite : clBlack) << X;
        for (int X = WF + 1; X < 60; ++X)
            EXPECT_EQ(T.Pad(X, Row), clWhite) << X;
    }
    // Only the underline.
    TText U;
    TRect R = Rect(0, 0, 100, 30);
    DrawText(&U.Pad.Canvas, "&File", R, DT_SINGLELINE | DT_PREFIXONLY);
    EXPECT_EQ(InkBox(U.Pad.Image, clWhite), QRect(0, Row, WF, TM.tmUnderlineThickness));
}

TEST(CanvasTest, DrawTextEllipsisKeepsTheLineInsideTheRectangle)
{
    const String Long = "The quick brown fox jumps over the lazy dog";
    for (unsigned Ell : {unsigned(DT_END_ELLIPSIS), unsigned(DT_WORD_ELLIPSIS), unsigned(DT_PATH_ELLIPSIS)}) {
        TText T;
        TRect R = Rect(5, 5, 80, 25);
        DrawText(&T.Pad.Canvas, Long, R, DT_SINGLELINE | DT_NOCLIP | Ell);
        const QRect Ink = InkBox(T.Pad.Image, clWhite);
        EXPECT_LT(Ink.right(), 80);
        EXPECT_GT(Ink.right(), 60);
        TRect C = Rect(5, 5, 80, 25);
        DrawText(&T.Pad.Canvas, Long, C, DT_SINGLELINE | DT_CALCRECT | Ell);
        EXPECT_LE(C.Right, 80);
    }
    // Without the ellipsis the text runs past the rectangle when not clipped,
    TText N;
    TRect R = Rect(5, 5, 80, 25);
    DrawText(&N.Pad.Canvas, Long, R, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(InkBox(N.Pad.Image, clWhite).right(), 80);
    // and is cut at the rectangle when clipped.
    TText K;
    DrawText(&K.Pad.Canvas, Long, R, DT_SINGLELINE);
    EXPECT_LT(InkBox(K.Pad.Image, clWhite).right(), 80);
    // A short text keeps its characters.
    TText S;
    TRect SR = Rect(5, 5, 180, 25);
    DrawText(&S.Pad.Canvas, "Short", SR, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_EQ(SR.Right, 5 + S.W("Short"));
}

struct TPlaceCase {
    unsigned Flags;
    int X; // expected origin from the rectangle (0, 0, 101, 41) and width W, line height H
    int Y;
    int Returned;
};

TEST(CanvasTest, DrawTextPlacesLinesByItsFlags)
{
    TFont F;
    const int W = F.TextWidth("Wg"), H = F.Metrics().tmHeight;
    const TPlaceCase Cases[] = {
        {DT_SINGLELINE, 0, 0, H},
        {DT_SINGLELINE | DT_CENTER, (101 - W) / 2, 0, H},
        {DT_SINGLELINE | DT_RIGHT, 101 - W, 0, H},
        {DT_SINGLELINE | DT_VCENTER, 0, (41 - H) / 2, (41 - H) / 2 + H},
        {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 101 - W, 41 - H, 41},
        {DT_BOTTOM, 0, 0, H},  // only with a single line
        {DT_VCENTER, 0, 0, H},
    };
    for (const TPlaceCase& C : Cases) {
        SCOPED_TRACE(C.Flags);
        TText A;
        TRect R = Rect(0, 0, 101, 41);
        EXPECT_EQ(DrawText(&A.Pad.Canvas, "Wg", R, C.Flags), C.Returned);
        TText B;
        B.Pad.Canvas.TextOut(C.X, C.Y, "Wg");
        EXPECT_EQ(A.Pad.Image, B.Pad.Image);
    }
}

TEST(CanvasTest, DrawTextBackgroundFollowsTheMode)
{
    TPad P(100, 30, clBlue);
    P.Canvas.Brush()->SetColor(clYellow);
    TRect R = Rect(0, 0, 100, 30);
    DrawText(&P.Canvas, "ab", R, DT_SINGLELINE);
    const TFont F;
    EXPECT_EQ(InkBox(P.Image, clBlue), QRect(0, 0, F.TextWidth("ab"), F.Metrics().tmHeight));
    TPad T(100, 30, clBlue);
    T.Canvas.Brush()->SetStyle(bsClear);
    DrawText(&T.Canvas, "ab", R, DT_SINGLELINE);
    EXPECT_EQ(CountColor(T.Image, clBlue) + CountColor(T.Image, clBlack), 100 * 30);
}

// ---------------------------------------------------------------- edges

// Distinct system colours, so every line of an edge can be told apart.
class CanvasEdgeTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetSysColor(COLOR_3DLIGHT, MakeColor(0x00E0E0));
        SetSysColor(COLOR_BTNHIGHLIGHT, MakeColor(0xFFFFFF));
        SetSysColor(COLOR_BTNSHADOW, MakeColor(0x808080));
        SetSysColor(COLOR_3DDKSHADOW, MakeColor(0x404040));
        SetSysColor(COLOR_BTNFACE, MakeColor(0xC8D0D4));
        SetSysColor(COLOR_WINDOW, MakeColor(0xF0FFF0));
        SetSysColor(COLOR_WINDOWFRAME, MakeColor(0x000080));
        SetSysColor(COLOR_WINDOWTEXT, MakeColor(0x000000));
        SetSysColor(COLOR_BTNTEXT, MakeColor(0x100000));
    }
    void TearDown() override
    {
        for (int I = 0; I < COLOR_ENDCOLORS; ++I)
            SetSysColor(I, DefaultSysColor(I));
    }
    static TColor Sys(int Index) { return Index < 0 ? Bg : MakeColor(GetSysColor(Index)); }
    static constexpr TColor Bg = MakeColor(0x123456);
};

struct TEdgeCase {
    const char* Name;
    unsigned Edge, Flags;
    int TopOut, TopIn, BottomOut, BottomIn; // left = top, right = bottom
};

TEST_F(CanvasEdgeTest, RectangleEdgesHaveTheirColoursOnEachSide)
{
    const TEdgeCase Cases[] = {
        {"raised", EDGE_RAISED, BF_RECT, COLOR_3DLIGHT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_BTNSHADOW},
        {"sunken", EDGE_SUNKEN, BF_RECT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT},
        {"etched", EDGE_ETCHED, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
        {"bump", EDGE_BUMP, BF_RECT, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
        {"raised soft", EDGE_RAISED, BF_RECT | BF_SOFT, COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT, COLOR_3DDKSHADOW,
         COLOR_BTNSHADOW},
        {"sunken soft", EDGE_SUNKEN, BF_RECT | BF_SOFT, COLOR_3DDKSHADOW, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT,
         COLOR_3DLIGHT},
        {"flat", EDGE_SUNKEN, BF_RECT | BF_FLAT, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNFACE},
        {"mono", EDGE_RAISED, BF_RECT | BF_MONO, COLOR_WINDOWFRAME, COLOR_WINDOW, COLOR_WINDOWFRAME, COLOR_WINDOW},
        {"raised inner only", BDR_RAISEDINNER, BF_RECT, COLOR_BTNHIGHLIGHT, -1, COLOR_BTNSHADOW, -1},
        {"sunken outer only", BDR_SUNKENOUTER, BF_RECT, COLOR_BTNSHADOW, -1, COLOR_BTNHIGHLIGHT, -1},
        {"flat single", BDR_SUNKENOUTER, BF_RECT | BF_FLAT, COLOR_BTNSHADOW, -1, COLOR_BTNSHADOW, -1},
        {"both outer kinds", BDR_RAISEDOUTER | BDR_SUNKENOUTER, BF_RECT, -1, -1, -1, -1},
    };
    for (const TEdgeCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TPad P(12, 12, Bg);
        TRect R = Rect(0, 0, 10, 10);
        DrawEdge(&P.Canvas, R, C.Edge, C.Flags);
        EXPECT_EQ(R, Rect(0, 0, 10, 10));
        EXPECT_EQ(P(5, 0), Sys(C.TopOut));
        EXPECT_EQ(P(0, 5), Sys(C.TopOut));
        EXPECT_EQ(P(5, 1), Sys(C.TopIn));
        EXPECT_EQ(P(1, 5), Sys(C.TopIn));
        EXPECT_EQ(P(5, 9), Sys(C.BottomOut));
        EXPECT_EQ(P(9, 5), Sys(C.BottomOut));
        EXPECT_EQ(P(5, 8), Sys(C.BottomIn));
        EXPECT_EQ(P(8, 5), Sys(C.BottomIn));
        EXPECT_EQ(P(5, 5), Bg);
        EXPECT_EQ(P(10, 5), Bg);
        EXPECT_EQ(P(5, 10), Bg);
    }
}

TEST_F(CanvasEdgeTest, CornersBelongToTheBottomRightLines)
{
    TPad P(12, 12, Bg);
    TRect R = Rect(0, 0, 10, 10);
    DrawEdge(&P.Canvas, R, EDGE_RAISED, BF_RECT);
    EXPECT_EQ(P(0, 0), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(P(9, 0), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(P(0, 9), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(P(9, 9), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(P(1, 1), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(P(8, 1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(P(1, 8), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(P(8, 8), Sys(COLOR_BTNSHADOW));
}

struct TSideCase {
    unsigned Edge, Flags;
    TRect Adjusted;
    bool Top, Left, Bottom, Right;
};

TEST_F(CanvasEdgeTest, OnlyTheChosenSidesAreDrawnAndAdjusted)
{
    const TSideCase Cases[] = {
        {EDGE_RAISED, BF_RECT | BF_ADJUST, Rect(2, 2, 8, 8), true, true, true, true},
        {EDGE_RAISED, BF_LEFT | BF_TOP | BF_ADJUST, Rect(2, 2, 10, 10), true, true, false, false},
        {EDGE_SUNKEN, BF_RIGHT | BF_BOTTOM | BF_ADJUST, Rect(0, 0, 8, 8), false, false, true, true},
        {BDR_RAISEDOUTER, BF_RECT | BF_ADJUST, Rect(1, 1, 9, 9), true, true, true, true},
        {EDGE_ETCHED, BF_LEFT | BF_ADJUST, Rect(2, 0, 10, 10), false, true, false, false},
        {EDGE_RAISED, BF_RECT, Rect(0, 0, 10, 10), true, true, true, true},
    };
    for (const TSideCase& C : Cases) {
        SCOPED_TRACE(C.Flags);
        TPad P(12, 12, Bg);
        TRect R = Rect(0, 0, 10, 10);
        DrawEdge(&P.Canvas, R, C.Edge, C.Flags);
        EXPECT_EQ(R, C.Adjusted);
        EXPECT_EQ(P(5, 0) != Bg, C.Top);
        EXPECT_EQ(P(0, 5) != Bg, C.Left);
        EXPECT_EQ(P(5, 9) != Bg, C.Bottom);
        EXPECT_EQ(P(9, 5) != Bg, C.Right);
    }
}

TEST_F(CanvasEdgeTest, MiddleFillsTheInside)
{
    TPad P(12, 12, Bg);
    TRect R = Rect(0, 0, 10, 10);
    EXPECT_TRUE(DrawEdge(&P.Canvas, R, EDGE_RAISED, BF_RECT | BF_MIDDLE));
    EXPECT_EQ(P(5, 5), Sys(COLOR_BTNFACE));
    EXPECT_EQ(P(2, 2), Sys(COLOR_BTNFACE));
    EXPECT_EQ(P(7, 7), Sys(COLOR_BTNFACE));
    EXPECT_EQ(P(1, 1), Sys(COLOR_BTNHIGHLIGHT));
    TPad M(12, 12, Bg);
    DrawEdge(&M.Canvas, R, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_MONO);
    EXPECT_EQ(M(5, 5), Sys(COLOR_WINDOW));
    // An edge with both kinds on one level fills nothing and reports it.
    TPad Bad(12, 12, Bg);
    EXPECT_FALSE(DrawEdge(&Bad.Canvas, R, BDR_RAISEDINNER | BDR_SUNKENINNER, BF_RECT | BF_MIDDLE));
    EXPECT_EQ(Bad(5, 5), Bg);
}

TEST_F(CanvasEdgeTest, DiagonalEdgesRunFromOriginToEnd)
{
    struct TDiag {
        unsigned Flags;
        bool Rising;  // "/" from the bottom left, else "\" from the top left
        int InnerDX, InnerDY;
        bool LightColours;
    };
    const TDiag Cases[] = {
        {BF_DIAGONAL_ENDTOPRIGHT, true, 1, 0, true},
        {BF_DIAGONAL_ENDBOTTOMLEFT, true, -1, 0, false},
        {BF_DIAGONAL_ENDTOPLEFT, false, 0, -1, true},
        {BF_DIAGONAL_ENDBOTTOMRIGHT, false, -1, 0, false},
    };
    for (const TDiag& C : Cases) {
        SCOPED_TRACE(C.Flags);
        TPad P(12, 12, Bg);
        TRect R = Rect(0, 0, 10, 10);
        DrawEdge(&P.Canvas, R, EDGE_RAISED, C.Flags);
        const TColor Outer = Sys(C.LightColours ? COLOR_3DLIGHT : COLOR_3DDKSHADOW);
        const TColor Inner = Sys(C.LightColours ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
        for (int I = 0; I < 10; ++I) {
            const int X = I, Y = C.Rising ? 9 - I : I;
            EXPECT_EQ(P(X, Y), Outer) << X << "," << Y;
        }
        for (int I = 1; I < 9; ++I) {
            const int X = I + C.InnerDX, Y = (C.Rising ? 9 - I : I) + C.InnerDY;
            EXPECT_EQ(P(X, Y), Inner) << X << "," << Y;
        }
        // Nothing off the two lines.
        EXPECT_EQ(CountColor(P.Image, Bg), 144 - 10 - 9);
    }
}

TEST_F(CanvasEdgeTest, DiagonalMiddleFillsTheFarSide)
{
    TPad P(12, 12, Bg);
    TRect R = Rect(0, 0, 10, 10);
    DrawEdge(&P.Canvas, R, EDGE_RAISED, BF_DIAGONAL_ENDTOPLEFT | BF_MIDDLE | BF_ADJUST);
    EXPECT_EQ(P(7, 2), Sys(COLOR_BTNFACE)); // above the "\" line
    EXPECT_EQ(P(2, 7), Bg);                 // below it
    EXPECT_EQ(R, Rect(2, 2, 10, 10));
    TPad Q(12, 12, Bg);
    TRect S = Rect(0, 0, 10, 10);
    DrawEdge(&Q.Canvas, S, EDGE_RAISED, BF_DIAGONAL_ENDTOPRIGHT | BF_MIDDLE);
    EXPECT_EQ(Q(7, 7), Sys(COLOR_BTNFACE)); // below the "/" line
    EXPECT_EQ(Q(2, 2), Bg);
}

// ---------------------------------------------------------------- frame controls

TEST_F(CanvasEdgeTest, CheckBoxes)
{
    auto Draw = [](unsigned State) {
        auto P = std::make_unique<TPad>(13, 13, Bg);
        TRect R = Rect(0, 0, 13, 13);
        EXPECT_TRUE(DrawFrameControl(&P->Canvas, R, DFC_BUTTON, DFCS_BUTTONCHECK | State));
        return P;
    };
    const auto Off = Draw(0);
    EXPECT_EQ((*Off)(0, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ((*Off)(1, 1), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ((*Off)(12, 12), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ((*Off)(6, 6), Sys(COLOR_WINDOW));
    EXPECT_EQ(CountColor(Off->Image, Sys(COLOR_WINDOW)), 81);

    const auto On = Draw(DFCS_CHECKED);
    EXPECT_EQ((*On)(6, 6), Sys(COLOR_WINDOWTEXT));
    EXPECT_EQ((*On)(3, 5), Sys(COLOR_WINDOWTEXT)); // the short stroke
    EXPECT_EQ((*On)(9, 3), Sys(COLOR_WINDOWTEXT)); // the long stroke
    EXPECT_EQ((*On)(3, 3), Sys(COLOR_WINDOW));
    EXPECT_EQ(CountColor(On->Image, Sys(COLOR_WINDOWTEXT)), 21);

    const auto Grey = Draw(DFCS_CHECKED | DFCS_INACTIVE);
    EXPECT_EQ((*Grey)(6, 6), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ((*Grey)(3, 3), Sys(COLOR_BTNFACE));

    const auto Flat = Draw(DFCS_FLAT);
    EXPECT_EQ((*Flat)(0, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ((*Flat)(1, 1), Sys(COLOR_BTNFACE));
    EXPECT_EQ((*Flat)(12, 12), Sys(COLOR_BTNSHADOW));

    // A wider rectangle draws the box in the centred square.
    TPad Wide(21, 13, Bg);
    TRect R = Rect(0, 0, 21, 13);
    DrawFrameControl(&Wide.Canvas, R, DFC_BUTTON, DFCS_BUTTONCHECK);
    EXPECT_EQ(InkBox(Wide.Image, Bg), QRect(4, 0, 13, 13));
}

TEST_F(CanvasEdgeTest, PushButtons)
{
    TPad Up(20, 14, Bg);
    TRect R = Rect(0, 0, 20, 14);
    DrawFrameControl(&Up.Canvas, R, DFC_BUTTON, DFCS_BUTTONPUSH);
    EXPECT_EQ(Up(5, 0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Up(5, 1), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(Up(5, 13), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(Up(5, 12), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Up(10, 7), Sys(COLOR_BTNFACE));

    TPad Down(20, 14, Bg);
    DrawFrameControl(&Down.Canvas, R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(Down(5, 0), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(Down(5, 1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Down(5, 13), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Down(10, 7), Sys(COLOR_BTNFACE));

    TPad Flat(20, 14, Bg);
    DrawFrameControl(&Flat.Canvas, R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_FLAT);
    EXPECT_EQ(Flat(5, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Flat(5, 13), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Flat(5, 1), Sys(COLOR_BTNFACE));

    TPad Checked(20, 14, Bg);
    DrawFrameControl(&Checked.Canvas, R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
    EXPECT_NE(Checked(10, 7), Checked(11, 7)); // the dither of face and highlight
    EXPECT_EQ(Checked(10, 7), Checked(11, 8));

    TRect A = Rect(0, 0, 20, 14);
    DrawFrameControl(&Up.Canvas, A, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    EXPECT_EQ(A, Rect(2, 2, 18, 12));
}

TEST_F(CanvasEdgeTest, RadioButtons)
{
    TPad Off(12, 12, Bg);
    TRect R = Rect(0, 0, 12, 12);
    DrawFrameControl(&Off.Canvas, R, DFC_BUTTON, DFCS_BUTTONRADIO);
    EXPECT_EQ(Off(6, 6), Sys(COLOR_WINDOW));
    EXPECT_EQ(Off(5, 0), Sys(COLOR_BTNSHADOW));     // outer ring, top
    EXPECT_EQ(Off(6, 11), Sys(COLOR_BTNHIGHLIGHT)); // outer ring, bottom
    EXPECT_EQ(Off(5, 1), Sys(COLOR_3DDKSHADOW));    // inner ring, top
    EXPECT_EQ(Off(6, 10), Sys(COLOR_3DLIGHT));      // inner ring, bottom
    EXPECT_EQ(Off(0, 0), Bg);                       // the corners stay
    EXPECT_EQ(Off(11, 11), Bg);
    TPad On(12, 12, Bg);
    DrawFrameControl(&On.Canvas, R, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    EXPECT_EQ(On(5, 5), Sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(On(6, 6), Sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(On(3, 6), Sys(COLOR_WINDOW));
    EXPECT_EQ(CountColor(On.Image, Sys(COLOR_WINDOWTEXT)), 12);
}

TEST_F(CanvasEdgeTest, ScrollArrowsPointAndMoveWhenPushed)
{
    auto ArrowBox = [](unsigned State) {
        TPad P(17, 17, Bg);
        TRect R = Rect(0, 0, 17, 17);
        EXPECT_TRUE(DrawFrameControl(&P.Canvas, R, DFC_SCROLL, State));
        QRect Box;
        for (int Y = 0; Y < 17; ++Y)
            for (int X = 0; X < 17; ++X)
                if (P(X, Y) == Sys(COLOR_BTNTEXT))
                    Box |= QRect(X, Y, 1, 1);
        return std::pair(Box, P.Image);
    };
    const auto [Down, DownImage] = ArrowBox(DFCS_SCROLLDOWN);
    EXPECT_EQ(Down.size(), QSize(7, 4));
    EXPECT_EQ(Down.center().x(), 8);
    // Down arrow: the widest row on top.
    EXPECT_EQ(QRgbToColor(DownImage.pixel(Down.left(), Down.top())), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(QRgbToColor(DownImage.pixel(Down.left(), Down.bottom())), Sys(COLOR_BTNFACE));
    const auto [Up, UpImage] = ArrowBox(DFCS_SCROLLUP);
    EXPECT_EQ(QRgbToColor(UpImage.pixel(Up.left(), Up.bottom())), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(ArrowBox(DFCS_SCROLLLEFT).first.size(), QSize(4, 7));
    EXPECT_EQ(ArrowBox(DFCS_SCROLLRIGHT).first.size(), QSize(4, 7));
    EXPECT_EQ(ArrowBox(DFCS_SCROLLCOMBOBOX).first, Down);
    const auto [Pushed, PushedImage] = ArrowBox(DFCS_SCROLLDOWN | DFCS_PUSHED | DFCS_FLAT);
    EXPECT_EQ(Pushed, Down.translated(1, 1));
    EXPECT_EQ(QRgbToColor(PushedImage.pixel(0, 0)), Sys(COLOR_BTNSHADOW));
    EXPECT_TRUE(ArrowBox(DFCS_SCROLLDOWN | DFCS_INACTIVE).first.isEmpty());
    TPad P(10, 10, Bg);
    TRect R = Rect(0, 0, 10, 10);
    EXPECT_FALSE(DrawFrameControl(&P.Canvas, R, DFC_CAPTION, 0));
    EXPECT_EQ(CountColor(P.Image, Bg), 100);
}

// ---------------------------------------------------------------- raster operations

// Eight pixels, white where bit Bit of the pixel's x is set.
QImage BitsImage(int Bit)
{
    QImage I(8, 1, QImage::Format_RGB32);
    for (int X = 0; X < 8; ++X)
        I.setPixel(X, 0, ((X >> Bit) & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return I;
}

TEST(CanvasTest, EveryRop3FollowsItsTruthTable)
{
    // Pixel x combines P = bit 2, S = bit 1 and D = bit 0 of x.
    QImage Src = BitsImage(1);
    TCanvas SC(&Src);
    for (int T = 0; T < 256; ++T) {
        QImage Dst = BitsImage(0);
        TCanvas DC(&Dst);
        DC.Brush()->SetBitmap(BitsImage(2));
        ASSERT_TRUE(BitBlt(&DC, 0, 0, 8, 1, &SC, 0, 0, MakeRop3(static_cast<uint8_t>(T))));
        for (int X = 0; X < 8; ++X)
            ASSERT_EQ(At(Dst, X, 0), ((T >> X) & 1) ? clWhite : clBlack) << "rop " << T << " pixel " << X;
        for (int X = 0; X < 8; ++X) {
            const uint32_t P = (X & 4) ? 0xFFFFFF : 0, S = (X & 2) ? 0xFFFFFF : 0, D = (X & 1) ? 0xFFFFFF : 0;
            ASSERT_EQ(ApplyRop3(static_cast<uint8_t>(T), P, S, D) & 0xFFFFFF, ((T >> X) & 1) ? 0xFFFFFFu : 0u);
        }
    }
}

struct TRopCase {
    const char* Name;
    uint32_t Rop;
    std::function<uint32_t(uint32_t P, uint32_t S, uint32_t D)> F;
};

TEST(CanvasTest, NamedRopsWorkBitwiseOnColours)
{
    using U = uint32_t;
    const TRopCase Cases[] = {
        {"SRCCOPY", SRCCOPY, [](U, U S, U) { return S; }},
        {"SRCPAINT", SRCPAINT, [](U, U S, U D) { return S | D; }},
        {"SRCAND", SRCAND, [](U, U S, U D) { return S & D; }},
        {"SRCINVERT", SRCINVERT, [](U, U S, U D) { return S ^ D; }},
        {"SRCERASE", SRCERASE, [](U, U S, U D) { return S & ~D; }},
        {"NOTSRCCOPY", NOTSRCCOPY, [](U, U S, U) { return ~S; }},
        {"NOTSRCERASE", NOTSRCERASE, [](U, U S, U D) { return ~(S | D); }},
        {"MERGECOPY", MERGECOPY, [](U P, U S, U) { return P & S; }},
        {"MERGEPAINT", MERGEPAINT, [](U, U S, U D) { return ~S | D; }},
        {"PATCOPY", PATCOPY, [](U P, U, U) { return P; }},
        {"PATPAINT", PATPAINT, [](U P, U S, U D) { return P | ~S | D; }},
        {"PATINVERT", PATINVERT, [](U P, U, U D) { return P ^ D; }},
        {"DSTINVERT", DSTINVERT, [](U, U, U D) { return ~D; }},
        {"BLACKNESS", BLACKNESS, [](U, U, U) { return 0u; }},
        {"WHITENESS", WHITENESS, [](U, U, U) { return ~0u; }},
        {"$E20746", 0xE20746, [](U P, U S, U D) { return (S & P) | (~S & D); }},
        {"$220326", 0x220326, [](U, U S, U D) { return ~S & D; }},
        {"$B8074A", 0xB8074A, [](U P, U S, U D) { return (S & D) | (~S & P); }},
        {"$1B0000", 0x1B0000, [](U P, U S, U D) { return (~P & ~S) | (~P & S & D) | (P & ~S & ~D); }},
        {"$6A01E9", 0x6A01E9, [](U P, U S, U D) { return ((P & S) ^ D); }},
    };
    const U P = 0xF0CC33, S = 0xAA55F0, D = 0x3C3C0F;
    for (const TRopCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TPad Src(4, 4, RGB(S >> 16, S >> 8, S)); // $BBGGRR from the Qt order
        TPad Dst(4, 4, RGB(D >> 16, D >> 8, D));
        Dst.Canvas.Brush()->SetColor(RGB(P >> 16, P >> 8, P));
        ASSERT_TRUE(BitBlt(&Dst.Canvas, 1, 1, 2, 2, &Src.Canvas, 0, 0, C.Rop));
        const U R = C.F(P, S, D) & 0xFFFFFF;
        EXPECT_EQ(Dst.Image.pixel(1, 1) & 0xFFFFFF, R);
        EXPECT_EQ(Dst.Image.pixel(2, 2) & 0xFFFFFF, R);
        EXPECT_EQ(Dst.Image.pixel(0, 0) & 0xFFFFFF, D);
        EXPECT_EQ(Dst.Image.pixel(3, 3) & 0xFFFFFF, D);
        EXPECT_EQ(ApplyRop3(static_cast<uint8_t>(C.Rop >> 16), P, S, D) & 0xFFFFFF, R);
    }
}

TEST(CanvasTest, PatBltAndBlitsWithoutSource)
{
    TPad P(10, 10, clRed);
    EXPECT_TRUE(PatBlt(&P.Canvas, 2, 2, 4, 4, DSTINVERT));
    EXPECT_EQ(P(2, 2), clAqua);
    EXPECT_EQ(P(6, 6), clRed);
    EXPECT_TRUE(PatBlt(&P.Canvas, 2, 2, 4, 4, DSTINVERT));
    EXPECT_EQ(P(2, 2), clRed);
    P.Canvas.Brush()->SetColor(clBlue);
    EXPECT_TRUE(PatBlt(&P.Canvas, 0, 0, 10, 10, PATCOPY));
    EXPECT_EQ(CountColor(P.Image, clBlue), 100);
    EXPECT_FALSE(PatBlt(&P.Canvas, 0, 0, 10, 10, SRCCOPY));
    EXPECT_FALSE(BitBlt(&P.Canvas, 0, 0, 10, 10, nullptr, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(&P.Canvas, 0, 0, 10, 10, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(CountColor(P.Image, clWhite), 100);
    EXPECT_FALSE(BitBlt(&P.Canvas, 0, 0, -1, 10, nullptr, 0, 0, WHITENESS));
    // A clear brush paints nothing.
    P.Canvas.Brush()->SetStyle(bsClear);
    EXPECT_TRUE(PatBlt(&P.Canvas, 0, 0, 10, 10, PATCOPY));
    EXPECT_EQ(CountColor(P.Image, clWhite), 100);
}

TEST(CanvasTest, BlitsClipToBothImages)
{
    TPad Src(4, 4, clBlue);
    TPad Dst(10, 10, clWhite);
    // Source pixels that do not exist leave the destination alone.
    EXPECT_TRUE(BitBlt(&Dst.Canvas, 0, 0, 10, 10, &Src.Canvas, -2, -3, SRCCOPY));
    EXPECT_EQ(InkBox(Dst.Image, clWhite), QRect(2, 3, 4, 4));
    // Huge sizes are clipped, not walked.
    EXPECT_TRUE(BitBlt(&Dst.Canvas, -INT_MAX / 2, -INT_MAX / 2, INT_MAX, INT_MAX, &Src.Canvas, 0, 0, PATCOPY));
    EXPECT_EQ(CountColor(Dst.Image, clWhite), 100);
    EXPECT_TRUE(StretchBlt(&Dst.Canvas, 0, 0, INT_MAX, INT_MAX, &Src.Canvas, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(CountColor(Dst.Image, clBlue), 100);
}

TEST(CanvasTest, CopyKeepsAlphaOtherOperationsMakeOpaque)
{
    // A transparent off-screen picture read out and written back stays transparent.
    QImage Layer(4, 1, QImage::Format_ARGB32_Premultiplied);
    Layer.fill(Qt::transparent);
    Layer.setPixel(1, 0, qRgb(255, 0, 0));
    QImage Scratch(4, 1, QImage::Format_ARGB32_Premultiplied);
    Scratch.fill(Qt::white);
    TCanvas LC(&Layer), SC(&Scratch);
    BitBlt(&SC, 0, 0, 4, 1, &LC, 0, 0, SRCCOPY);
    EXPECT_EQ(Scratch.pixel(0, 0), 0u);
    EXPECT_EQ(Scratch.pixel(1, 0), qRgb(255, 0, 0));
    Layer.fill(Qt::blue);
    BitBlt(&LC, 0, 0, 4, 1, &SC, 0, 0, SRCCOPY);
    EXPECT_EQ(qAlpha(Layer.pixel(0, 0)), 0);
    EXPECT_EQ(Layer.pixel(1, 0), qRgb(255, 0, 0));
    // A non-premultiplied source is converted, not copied bit for bit.
    QImage Plain(1, 1, QImage::Format_ARGB32);
    Plain.setPixel(0, 0, qRgba(200, 100, 50, 128));
    TCanvas PC(&Plain);
    BitBlt(&SC, 0, 0, 1, 1, &PC, 0, 0, SRCCOPY);
    EXPECT_EQ(qAlpha(Scratch.pixel(0, 0)), 128);
    EXPECT_NEAR(qRed(qUnpremultiply(Scratch.pixel(0, 0))), 200, 2);
    EXPECT_NEAR(qBlue(qUnpremultiply(Scratch.pixel(0, 0))), 50, 2);
    // Into an opaque format alpha cannot survive; other operations paint opaque.
    TPad Opaque(4, 1, clWhite);
    BitBlt(&Opaque.Canvas, 0, 0, 4, 1, &LC, 0, 0, SRCCOPY);
    EXPECT_EQ(qAlpha(Opaque.Image.pixel(0, 0)), 255);
    BitBlt(&SC, 0, 0, 4, 1, &LC, 0, 0, SRCINVERT);
    EXPECT_EQ(qAlpha(Scratch.pixel(0, 0)), 255);
    PatBlt(&LC, 0, 0, 4, 1, DSTINVERT);
    EXPECT_EQ(qAlpha(Layer.pixel(0, 0)), 255);
}

TEST(CanvasTest, OverlappingBlitOnOneImageCopies)
{
    TPad P(10, 1);
    for (int X = 0; X < 10; ++X)
        P.Image.setPixel(X, 0, qRgb(X * 20, 0, 0));
    BitBlt(&P.Canvas, 1, 0, 9, 1, &P.Canvas, 0, 0, SRCCOPY);
    EXPECT_EQ(GetRValue(P(0, 0)), 0);
    for (int X = 1; X < 10; ++X)
        EXPECT_EQ(GetRValue(P(X, 0)), (X - 1) * 20) << X;
}

TEST(CanvasTest, StretchBltRepeatsDropsAndMirrors)
{
    TPad Src(2, 2);
    Src.Image.setPixel(0, 0, qRgb(255, 0, 0));
    Src.Image.setPixel(1, 0, qRgb(0, 255, 0));
    Src.Image.setPixel(0, 1, qRgb(0, 0, 255));
    Src.Image.setPixel(1, 1, qRgb(0, 0, 0));
    TPad Big(4, 4);
    StretchBlt(&Big.Canvas, 0, 0, 4, 4, &Src.Canvas, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(Big(0, 0), clRed);
    EXPECT_EQ(Big(1, 1), clRed);
    EXPECT_EQ(Big(2, 0), clLime);
    EXPECT_EQ(Big(3, 1), clLime);
    EXPECT_EQ(Big(0, 3), clBlue);
    EXPECT_EQ(Big(3, 3), clBlack);
    TPad Mirror(4, 4);
    StretchBlt(&Mirror.Canvas, 0, 0, 4, 4, &Src.Canvas, 2, 0, -2, 2, SRCCOPY);
    EXPECT_EQ(Mirror(0, 0), clLime);
    EXPECT_EQ(Mirror(3, 0), clRed);
    TPad Flip(4, 4);
    StretchBlt(&Flip.Canvas, 0, 4, 4, -4, &Src.Canvas, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(Flip(0, 0), clBlue);
    EXPECT_EQ(Flip(0, 3), clRed);
    TPad Small(1, 1);
    StretchBlt(&Small.Canvas, 0, 0, 1, 1, &Big.Canvas, 0, 0, 4, 4, SRCCOPY);
    EXPECT_EQ(Small(0, 0), clBlack); // the centre sample
    // CopyRect uses the copy mode.
    TPad C(4, 4, clWhite);
    C.Canvas.SetCopyMode(cmSrcAnd);
    C.Canvas.CopyRect(Rect(0, 0, 4, 4), &Src.Canvas, Rect(0, 0, 2, 2));
    EXPECT_EQ(C(0, 0), clRed);
    C.Canvas.SetCopyMode(cmDstInvert);
    C.Canvas.CopyRect(Rect(0, 0, 4, 4), &Src.Canvas, Rect(0, 0, 2, 2));
    EXPECT_EQ(C(0, 0), clAqua);
    EXPECT_FALSE(StretchBlt(&C.Canvas, 0, 0, 4, 4, &Src.Canvas, 0, 0, 0, 2, SRCCOPY));
}

// ---------------------------------------------------------------- monochrome

QImage MonoImage(int W, int H, QImage::Format F, const std::vector<int>& Bits)
{
    QImage I(W, H, F);
    I.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    I.fill(0);
    for (int K = 0; K < W * H; ++K)
        I.setPixel(K % W, K / W, Bits[K]);
    return I;
}

TEST(CanvasTest, MonochromeToColourUsesTextAndBackgroundColours)
{
    for (QImage::Format F : {QImage::Format_Mono, QImage::Format_MonoLSB}) {
        QImage M = MonoImage(12, 1, F, {0, 1, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1});
        TCanvas MC(&M);
        EXPECT_TRUE(MC.Monochrome());
        TPad D(12, 1, clWhite);
        D.Canvas.SetTextColor(clRed);
        D.Canvas.SetBkColor(clBlue);
        BitBlt(&D.Canvas, 0, 0, 12, 1, &MC, 0, 0, SRCCOPY);
        for (int X = 0; X < 12; ++X)
            EXPECT_EQ(D(X, 0), M.pixelIndex(X, 0) ? clBlue : clRed) << X;
    }
    // A colour table the other way round: index 0 is white.
    QImage Rev(2, 1, QImage::Format_Mono);
    Rev.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    Rev.setPixel(0, 0, 0);
    Rev.setPixel(1, 0, 1);
    TCanvas RC(&Rev);
    TPad D(2, 1);
    D.Canvas.SetTextColor(clRed);
    D.Canvas.SetBkColor(clBlue);
    BitBlt(&D.Canvas, 0, 0, 2, 1, &RC, 0, 0, SRCCOPY);
    EXPECT_EQ(D(0, 0), clBlue);
    EXPECT_EQ(D(1, 0), clRed);
}

TEST(CanvasTest, ColourToMonochromeMakesTheBackgroundColourWhite)
{
    TPad S(4, 1);
    const TColor Row[] = {clRed, clLime, clBlue, clLime};
    for (int X = 0; X < 4; ++X)
        S.Canvas.SetPixels(X, 0, Row[X]);
    S.Canvas.SetBkColor(clLime);
    for (QImage::Format F : {QImage::Format_Mono, QImage::Format_MonoLSB}) {
        QImage M = MonoImage(4, 1, F, {1, 0, 1, 0});
        TCanvas MC(&M);
        BitBlt(&MC, 0, 0, 4, 1, &S.Canvas, 0, 0, SRCCOPY);
        EXPECT_EQ(M.pixelIndex(0, 0), 0);
        EXPECT_EQ(M.pixelIndex(1, 0), 1);
        EXPECT_EQ(M.pixelIndex(2, 0), 0);
        EXPECT_EQ(M.pixelIndex(3, 0), 1);
        EXPECT_EQ(MC.Pixels(1, 0), clWhite);
        EXPECT_EQ(MC.Pixels(0, 0), clBlack);
    }
}

TEST(CanvasTest, TransparentDrawingThroughAMask)
{
    // The classic three transfers: picture XOR, mask AND-NOT, picture XOR.
    TPad Pic(4, 1);
    for (int X = 0; X < 4; ++X)
        Pic.Canvas.SetPixels(X, 0, X % 2 ? clRed : clLime);
    QImage Mask = MonoImage(4, 1, QImage::Format_Mono, {1, 0, 1, 0}); // white: picture shows
    TCanvas MC(&Mask);
    TPad Dst(4, 1, clBlue);
    Dst.Canvas.SetBkColor(clWhite);
    Dst.Canvas.SetTextColor(clBlack);
    BitBlt(&Dst.Canvas, 0, 0, 4, 1, &Pic.Canvas, 0, 0, SRCINVERT);
    BitBlt(&Dst.Canvas, 0, 0, 4, 1, &MC, 0, 0, 0x220326);
    BitBlt(&Dst.Canvas, 0, 0, 4, 1, &Pic.Canvas, 0, 0, SRCINVERT);
    EXPECT_EQ(Dst(0, 0), clLime);
    EXPECT_EQ(Dst(1, 0), clBlue);
    EXPECT_EQ(Dst(2, 0), clLime);
    EXPECT_EQ(Dst(3, 0), clBlue);
}

TEST(CanvasTest, DrawingOnMonochromeTakesTheNearerOfBlackAndWhite)
{
    for (QImage::Format F : {QImage::Format_Mono, QImage::Format_MonoLSB}) {
        QImage M = MonoImage(16, 4, F, std::vector<int>(64, 0));
        TCanvas C(&M);
        C.Brush()->SetColor(MakeColor(0xC0C0C0));
        C.FillRect(Rect(0, 0, 8, 4));
        C.Brush()->SetColor(MakeColor(0x7F7F7F));
        C.FillRect(Rect(8, 0, 16, 2));
        C.Pen()->SetColor(clWhite);
        C.MoveTo(8, 3);
        C.LineTo(16, 3);
        EXPECT_EQ(M.pixelIndex(0, 0), 1);
        EXPECT_EQ(M.pixelIndex(7, 3), 1);
        EXPECT_EQ(M.pixelIndex(8, 0), 0);
        EXPECT_EQ(M.pixelIndex(8, 2), 0);
        EXPECT_EQ(M.pixelIndex(12, 3), 1);
        // XOR on monochrome inverts.
        PatBlt(&C, 0, 0, 16, 4, DSTINVERT);
        EXPECT_EQ(M.pixelIndex(0, 0), 0);
        EXPECT_EQ(M.pixelIndex(8, 0), 1);
    }
}

// ---------------------------------------------------------------- formats, state and bad input

TEST(CanvasTest, OtherTargetFormatsDrawTheSame)
{
    for (QImage::Format F : {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888,
                             QImage::Format_RGB16, QImage::Format_Indexed8, QImage::Format_RGBA8888}) {
        SCOPED_TRACE(F);
        TPad P(20, 20, clWhite, F);
        P.Canvas.Brush()->SetColor(clRed);
        P.Canvas.FillRect(Rect(2, 2, 6, 6));
        P.Canvas.Pen()->SetColor(clBlue);
        P.Canvas.MoveTo(0, 10);
        P.Canvas.LineTo(10, 10);
        P.Canvas.Brush()->SetStyle(bsClear);
        P.Canvas.TextOut(0, 12, "x");
        TPad Src(2, 2, clLime);
        BitBlt(&P.Canvas, 15, 15, 2, 2, &Src.Canvas, 0, 0, SRCCOPY);
        EXPECT_EQ(P(2, 2), clRed);
        EXPECT_EQ(P(5, 5), clRed);
        EXPECT_EQ(P(6, 6), clWhite);
        EXPECT_EQ(P(0, 10), clBlue);
        EXPECT_EQ(P(10, 10), clWhite);
        EXPECT_EQ(P(16, 16), clLime);
        EXPECT_EQ(P(1, 1), clWhite);
        EXPECT_EQ(P.Canvas.Pixels(3, 3), clRed);
        EXPECT_EQ(P.Image.format(), F);
        // Word-wrapped text in a small rectangle far from the image's corner
        // comes out as on a 32-bit image.
        TPad Text(120, 80, clWhite, F), Ref(120, 80);
        for (TPad* T : {&Text, &Ref}) {
            T->Canvas.Brush()->SetStyle(bsClear);
            TRect R = Rect(40, 30, 110, 75);
            DrawText(&T->Canvas, "one two three four five six", R, DT_WORDBREAK);
        }
        EXPECT_EQ(Text.Image.convertToFormat(QImage::Format_RGB32), Ref.Image);
    }
}

TEST(CanvasTest, NoTargetRaisesButMeasuringWorks)
{
    TCanvas C;
    EXPECT_FALSE(C.HandleAllocated());
    EXPECT_THROW(C.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
    EXPECT_THROW(C.LineTo(1, 1), EInvalidOperation);
    EXPECT_THROW(C.TextOut(0, 0, "a"), EInvalidOperation);
    TRect R = Rect(0, 0, 10, 10);
    EXPECT_THROW(DrawText(&C, "a", R, 0), EInvalidOperation);
    EXPECT_THROW(BitBlt(&C, 0, 0, 1, 1, nullptr, 0, 0, WHITENESS), EInvalidOperation);
    EXPECT_GT(C.TextWidth("abc"), 0);
    EXPECT_EQ(DrawText(&C, "a", R, DT_CALCRECT | DT_SINGLELINE), C.Font()->Metrics().tmHeight);
    EXPECT_EQ(C.Pixels(0, 0), CLR_INVALID);
    EXPECT_EQ(C.ClipRect(), TRect());
}

TEST(CanvasTest, HugeCoordinatesAreClippedNotWalked)
{
    TPad P(20, 20);
    P.Canvas.Brush()->SetColor(clRed);
    P.Canvas.MoveTo(-INT_MAX, -INT_MAX);
    P.Canvas.LineTo(INT_MAX, INT_MAX);
    P.Canvas.Rectangle(-INT_MAX, -INT_MAX, INT_MAX, INT_MAX);
    P.Canvas.Ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
    P.Canvas.RoundRect(-1000000000, -1000000000, 1000000000, 1000000000, INT_MAX, INT_MAX);
    const TPoint Tri[] = {{-1000000000, -1000000000}, {1000000000, 5}, {5, 1000000000}};
    P.Canvas.Polygon(Tri);
    P.Canvas.Pen()->SetWidth(5);
    P.Canvas.Polyline(Tri);
    P.Canvas.FillRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    TRect R = Rect(-INT_MAX, -INT_MAX, INT_MAX, INT_MAX);
    DrawText(&P.Canvas, "a b c", R, DT_WORDBREAK);
    DrawEdge(&P.Canvas, R, EDGE_RAISED, BF_RECT);
    P.Canvas.SetViewportOrg(Point(INT_MAX, INT_MAX));
    P.Canvas.FillRect(Rect(INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX));
    EXPECT_EQ(CountColor(P.Image, clRed), 400);
}

TEST(CanvasTest, ChangeEventsSurroundDrawing)
{
    TPad P;
    std::vector<String> Log;
    P.Canvas.OnChanging = [&](TObject*) { Log.push_back("changing"); };
    P.Canvas.OnChange = [&](TObject*) { Log.push_back("change"); };
    P.Canvas.FillRect(Rect(0, 0, 2, 2));
    P.Canvas.TextOut(0, 0, "a");
    EXPECT_EQ(Log, (std::vector<String>{"changing", "change", "changing", "change"}));
    Log.clear();
    P.Canvas.TextWidth("abc");
    P.Canvas.MoveTo(1, 1);
    EXPECT_TRUE(Log.empty());
}

TEST(CanvasTest, LockCountsAndUnbalancedUnlockRaises)
{
    TCanvas C;
    C.Lock();
    C.Lock();
    EXPECT_EQ(C.LockCount(), 2);
    EXPECT_TRUE(C.TryLock());
    C.Unlock();
    C.Unlock();
    C.Unlock();
    EXPECT_EQ(C.LockCount(), 0);
    EXPECT_THROW(C.Unlock(), EInvalidOperation);
}

TEST(CanvasTest, FontColourBecomesTheTextColourOnItsNextUse)
{
    TPad P(60, 20);
    P.Canvas.Brush()->SetStyle(bsClear);
    P.Canvas.Font()->SetColor(clRed);
    EXPECT_EQ(P.Canvas.TextColor(), clRed);
    P.Canvas.SetTextColor(clBlue);
    P.Canvas.TextOut(0, 0, "W");
    EXPECT_GT(CountColor(P.Image, clBlue), 0);
    EXPECT_EQ(CountColor(P.Image, clRed), 0);
    P.Canvas.Font()->SetColor(clLime);
    P.Canvas.TextOut(20, 0, "W");
    EXPECT_GT(CountColor(P.Image, clLime), 0);
    EXPECT_THROW(P.Canvas.SetBkMode(3), EInvalidOperation);
}

TEST(CanvasTest, RegionsFillAndFrame)
{
    TPad P(20, 20);
    TBrush B;
    B.SetColor(clRed);
    const QRegion Rgn = QRegion(2, 2, 8, 8) + QRegion(6, 6, 8, 8);
    P.Canvas.FillRgn(Rgn, &B);
    EXPECT_EQ(CountColor(P.Image, clRed), 64 + 64 - 16);
    TPad F(20, 20);
    F.Canvas.FrameRgn(QRegion(2, 2, 10, 8), &B, 2, 1);
    EXPECT_EQ(F(2, 5), clRed);
    EXPECT_EQ(F(3, 5), clRed);
    EXPECT_EQ(F(4, 5), clWhite);
    EXPECT_EQ(F(6, 2), clRed);
    EXPECT_EQ(F(6, 3), clWhite);
    EXPECT_EQ(F(11, 9), clRed);
    EXPECT_EQ(CountColor(F.Image, clRed), 10 * 8 - 6 * 6);
}

} // namespace
