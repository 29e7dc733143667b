// Drawing the suite bitmap: opaque and transparent copies, plain and bilinear
// scaling, tiling, and the helpers over the bitmap (regions, transparent
// drawing, the dithered fill). Pictures are drawn onto framework bitmaps and
// onto other suite bitmaps and read back pixel by pixel.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

#include "Regions.h"
#include "nvBitmap.h"
#include "nvBitmapReference.h"

using nvref::Pic;

namespace {

const TRGBTriple Back = MakeTriple(12, 34, 56);

// A drawing surface: a framework bitmap (32-bit) or another suite bitmap.
struct TTarget {
    std::unique_ptr<TBitmap> Framework;
    std::unique_ptr<TnvBitmap> Suite;
    TTarget(bool UseSuite, int W, int H)
    {
        if (UseSuite) {
            Suite = std::make_unique<TnvBitmap>();
            Suite->SetSize(W, H);
        } else {
            Framework = std::make_unique<TBitmap>();
            Framework->SetSize(W, H);
        }
        Canvas()->Brush()->SetColor(TripleToColor(Back));
        Canvas()->FillRect(TRect(0, 0, W, H));
    }
    TCanvas* Canvas() { return Suite ? Suite->Canvas() : Framework->Canvas(); }
    TRGBTriple At(int X, int Y)
    {
        if (Suite)
            return Suite->Row(Y)[X];
        const QRgb C = Framework->ToImage32().pixel(X, Y);
        return MakeTriple(uint8_t(qRed(C)), uint8_t(qGreen(C)), uint8_t(qBlue(C)));
    }
    int W() { return Suite ? Suite->Width() : Framework->Width(); }
    int H() { return Suite ? Suite->Height() : Framework->Height(); }
    // Every pixel: Expected(x, y), or the background where it gives nothing.
    void Check(const std::function<std::optional<TRGBTriple>(int, int)>& Expected)
    {
        for (int Y = 0; Y < H(); ++Y)
            for (int X = 0; X < W(); ++X) {
                const TRGBTriple Want = Expected(X, Y).value_or(Back);
                const TRGBTriple Got = At(X, Y);
                if (!(Got == Want)) {
                    ADD_FAILURE() << "pixel (" << X << ", " << Y << "): " << int(Got.rgbtRed) << ","
                                  << int(Got.rgbtGreen) << "," << int(Got.rgbtBlue) << " instead of "
                                  << int(Want.rgbtRed) << "," << int(Want.rgbtGreen) << "," << int(Want.rgbtBlue);
                    return;
                }
            }
    }
};

bool Inside(int X, int Y, const TRect& R)
{
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

} // namespace

TEST(nvBitmapDraw, OpaqueAndTransparentCopies)
{
    // Few colours, so the top-left colour occurs elsewhere too.
    const Pic P = nvref::RandomPic(7, 5, 21, 3);
    const TRGBTriple Key = P.At(0, 0);
    for (bool Suite : {false, true}) {
        SCOPED_TRACE(Suite ? "onto a suite bitmap" : "onto a framework bitmap");
        TnvBitmap B;
        nvref::ToBitmap(P, B);
        {
            TTarget T(Suite, 12, 9);
            T.Canvas()->Draw(3, 2, &B);
            T.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
                if (Inside(X, Y, TRect(3, 2, 10, 7)))
                    return P.At(X - 3, Y - 2);
                return std::nullopt;
            });
        }
        B.SetTransparent(true);
        {
            TTarget T(Suite, 12, 9);
            T.Canvas()->Draw(-2, 6, &B); // partly outside the target
            T.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
                if (Inside(X, Y, TRect(-2, 6, 5, 11)) && !(P.At(X + 2, Y - 6) == Key))
                    return P.At(X + 2, Y - 6);
                return std::nullopt;
            });
        }
        // A transparent colour of its own; the clip region is honoured.
        TnvBitmap C;
        nvref::ToBitmap(P, C);
        C.SetTransparent(true);
        const TRGBTriple Other = P.At(6, 4);
        C.SetTransparentColor(TripleToColor(Other));
        {
            TTarget T(Suite, 12, 9);
            T.Canvas()->IntersectClipRect(TRect(0, 0, 5, 9));
            T.Canvas()->Draw(1, 1, &C);
            T.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
                if (X < 5 && Inside(X, Y, TRect(1, 1, 8, 6)) && !(P.At(X - 1, Y - 1) == Other))
                    return P.At(X - 1, Y - 1);
                return std::nullopt;
            });
        }
    }
}

TEST(nvBitmapDraw, TheMaskIsKeptUntilTheStoreGoes)
{
    Pic P = nvref::RandomPic(6, 4, 30, 2);
    const TRGBTriple Key = P.At(0, 0);
    TnvBitmap B;
    nvref::ToBitmap(P, B);
    B.SetTransparent(true);
    TBitmap* Mask = B.MaskBitmap();
    ASSERT_NE(Mask, nullptr);
    EXPECT_TRUE(Mask->Monochrome());
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 6; ++X)
            EXPECT_EQ(Mask->Canvas()->Pixels(X, Y), P.At(X, Y) == Key ? clBlack : clWhite);
    EXPECT_EQ(B.MaskBitmap(), Mask);

    // An effect changes the key pixels; the cached mask still leaves them out.
    B.ReplaceColor(Key, MakeTriple(1, 1, 1));
    TTarget T(false, 6, 4);
    T.Canvas()->Draw(0, 0, &B);
    T.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
        if (P.At(X, Y) == Key)
            return std::nullopt;
        return P.At(X, Y);
    });
    // A new transparent colour drops it, and so does a new store.
    B.SetTransparentColor(TripleToColor(P.At(1, 0)));
    Mask = B.MaskBitmap();
    for (int X = 0; X < 6; ++X)
        EXPECT_EQ(Mask->Canvas()->Pixels(X, 0), B.Row(0)[X] == P.At(1, 0) ? clBlack : clWhite);
    B.SetSize(2, 2);
    EXPECT_EQ(B.MaskBitmap()->Width(), 2);
    TnvBitmap Empty;
    EXPECT_EQ(Empty.MaskBitmap(), nullptr);
}

TEST(nvBitmapDraw, PlainStretchRepeatsAndDropsPixels)
{
    Pic P(2, 2);
    P.At(0, 0) = MakeTriple(255, 0, 0);
    P.At(1, 0) = MakeTriple(0, 255, 0);
    P.At(0, 1) = MakeTriple(0, 0, 255);
    P.At(1, 1) = MakeTriple(9, 9, 9);
    TnvBitmap B;
    nvref::ToBitmap(P, B);
    for (bool Suite : {false, true}) {
        TTarget T(Suite, 8, 6);
        T.Canvas()->StretchDraw(TRect(1, 1, 5, 5), &B);
        T.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
            if (Inside(X, Y, TRect(1, 1, 5, 5)))
                return P.At((X - 1) / 2, (Y - 1) / 2);
            return std::nullopt;
        });
    }
    // Transparent: the scaled copy leaves out its own top-left colour, even
    // where the bitmap names another transparent colour.
    B.SetTransparent(true);
    B.SetTransparentColor(TripleToColor(P.At(1, 1)));
    TTarget T(false, 8, 6);
    T.Canvas()->StretchDraw(TRect(0, 0, 4, 4), &B);
    T.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
        if (Inside(X, Y, TRect(0, 0, 4, 4)) && !(X < 2 && Y < 2))
            return P.At(X / 2, Y / 2);
        return std::nullopt;
    });
}

TEST(nvBitmapDraw, SmoothStretchIsBilinear)
{
    struct Case {
        int SW, SH, DW, DH;
    } Cases[] = {{7, 5, 13, 9}, {13, 9, 4, 3}, {1, 1, 3, 2}, {1, 6, 5, 2}, {6, 1, 2, 7}, {40, 30, 41, 29}, {3, 3, 1, 1}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.SW << " x " << C.SH << " to " << C.DW << " x " << C.DH);
        const Pic P = nvref::RandomPic(C.SW, C.SH, unsigned(C.SW * 7 + C.DW));
        const Pic Want = nvref::Bilinear(P, C.DW, C.DH);
        TnvBitmap B;
        nvref::ToBitmap(P, B);
        B.SetSmoothStretching(true);
        for (bool Suite : {false, true}) {
            TTarget T(Suite, C.DW + 3, C.DH + 2);
            T.Canvas()->StretchDraw(TRect(2, 1, 2 + C.DW, 1 + C.DH), &B);
            T.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
                if (Inside(X, Y, TRect(2, 1, 2 + C.DW, 1 + C.DH)))
                    return Want.At(X - 2, Y - 1);
                return std::nullopt;
            });
        }
        // StretchTo scales the picture itself the same way.
        TnvBitmap S;
        S.Assign(&B);
        S.StretchTo(C.DW, C.DH);
        EXPECT_EQ(nvref::FromBitmap(S), Want);
    }
    // A rectangle without area draws nothing.
    TnvBitmap B;
    nvref::ToBitmap(nvref::RandomPic(3, 3, 1), B);
    B.SetSmoothStretching(true);
    TTarget T(false, 4, 4);
    B.SmoothStretchDraw(T.Canvas(), TRect(1, 1, 1, 3));
    B.SmoothStretchDraw(T.Canvas(), TRect(3, 3, 1, 1));
    T.Check([](int, int) { return std::nullopt; });
}

TEST(nvBitmapDraw, StretchToKeepsOrResizes)
{
    TnvBitmap B;
    nvref::ToBitmap(nvref::RandomPic(4, 3, 2), B);
    const Pic Before = nvref::FromBitmap(B);
    int Heard = 0;
    B.OnChange = [&](TObject*) { ++Heard; };
    B.StretchTo(4, 3);
    EXPECT_EQ(nvref::FromBitmap(B), Before);
    EXPECT_EQ(Heard, 0);
    B.StretchTo(8, 6); // plain: every pixel doubled
    ASSERT_EQ(B.Width(), 8);
    for (int Y = 0; Y < 6; ++Y)
        for (int X = 0; X < 8; ++X)
            EXPECT_EQ(B.Row(Y)[X], Before.At(X / 2, Y / 2));
    B.StretchTo(0, 5);
    EXPECT_TRUE(B.Empty());
}

TEST(nvBitmapDraw, StretchFromMatchesAssignAndStretchToInOneStore)
{
    // One target remade from pictures of several sizes, as a scaled copy is
    // remade after every change: the same pixels and attributes as a fresh
    // copy scaled by StretchTo, whatever the target held before.
    TnvBitmap Target;
    struct Case {
        int SW, SH, DW, DH;
        bool Smooth, Transparent;
    } Cases[] = {{7, 5, 13, 9, false, false}, {7, 5, 13, 9, true, false}, {13, 9, 13, 9, true, true},
                 {13, 9, 4, 3, false, true},  {40, 30, 41, 29, true, false}, {1, 6, 5, 2, false, false},
                 {40, 30, 41, 29, false, false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.SW << " x " << C.SH << " to " << C.DW << " x " << C.DH
                                        << (C.Smooth ? " smooth" : "") << (C.Transparent ? " transparent" : ""));
        TnvBitmap B;
        nvref::ToBitmap(nvref::RandomPic(C.SW, C.SH, unsigned(C.SW + 3 * C.DW)), B);
        B.SetSmoothStretching(C.Smooth);
        B.SetTransparentColor(clRed);
        B.SetTransparent(C.Transparent);
        TnvBitmap Want;
        Want.Assign(&B);
        Want.SetTransparent(false);
        Want.StretchTo(C.DW, C.DH);
        Want.SetTransparent(C.Transparent);
        int Heard = 0;
        Target.OnChange = [&](TObject*) { ++Heard; };
        Target.StretchFrom(B, C.DW, C.DH);
        Target.OnChange = nullptr;
        EXPECT_EQ(Heard, 1);
        EXPECT_EQ(nvref::FromBitmap(Target), nvref::FromBitmap(Want));
        EXPECT_EQ(Target.SmoothStretching(), C.Smooth);
        EXPECT_EQ(Target.Transparent(), C.Transparent);
        EXPECT_EQ(Target.TransparentColor(), clRed);
    }
    // An empty source: as StretchTo does with an empty picture.
    TnvBitmap Empty, Want;
    Want.StretchTo(5, 5);
    Target.StretchFrom(Empty, 5, 5);
    EXPECT_EQ(nvref::FromBitmap(Target), nvref::FromBitmap(Want));
}

TEST(nvBitmapDraw, TilesFromTheCanvasOrigin)
{
    const Pic P = nvref::RandomPic(3, 2, 40);
    TnvBitmap B;
    nvref::ToBitmap(P, B);
    for (bool Suite : {false, true}) {
        // Left and Top scroll the tiling; Right and Bottom bound it.
        TTarget T(Suite, 8, 5);
        B.TileDraw(T.Canvas(), TRect(1, 1, 8, 5));
        T.Check([&](int X, int Y) -> std::optional<TRGBTriple> { return P.At((X + 1) % 3, (Y + 1) % 2); });
        TTarget U(Suite, 8, 5);
        B.TileDraw(U.Canvas(), TRect(0, 0, 4, 2));
        U.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
            if (X < 6 && Y < 2)
                return P.At(X % 3, Y % 2);
            return std::nullopt;
        });
    }
    // A huge extent costs no more than the visible part.
    TnvBitmap Dot;
    Dot.SetSize(1, 1);
    Dot.Row(0)[0] = MakeTriple(7, 7, 7);
    TTarget T(false, 16, 16);
    Dot.TileDraw(T.Canvas(), TRect(1000, 5, INT_MAX, INT_MAX));
    T.Check([](int, int) -> std::optional<TRGBTriple> { return MakeTriple(7, 7, 7); });
    // Transparent tiles leave the key colour out.
    Pic Q = P;
    Q.At(2, 1) = Q.At(0, 0);
    TnvBitmap C;
    nvref::ToBitmap(Q, C);
    C.SetTransparent(true);
    TTarget V(false, 6, 4);
    C.TileDraw(V.Canvas(), TRect(0, 0, 6, 4));
    V.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
        const TRGBTriple S = Q.At(X % 3, Y % 2);
        if (S == Q.At(0, 0))
            return std::nullopt;
        return S;
    });
}

// ---------------------------------------------------------------- helpers over the bitmap

TEST(nvBitmapHelpers, RegionOfTheNonTransparentPixels)
{
    for (const auto& [W, H, Seed] : {std::tuple{1, 1, 1}, std::tuple{9, 1, 2}, std::tuple{7, 6, 3}, std::tuple{33, 17, 4}}) {
        SCOPED_TRACE(testing::Message() << W << " x " << H);
        const Pic P = nvref::RandomPic(W, H, unsigned(Seed), 3);
        TnvBitmap B;
        nvref::ToBitmap(P, B);
        for (bool TopLeft : {true, false}) {
            const TRGBTriple Key = TopLeft ? P.At(0, 0) : P.At(W - 1, H - 1);
            QRegion Want;
            for (int Y = 0; Y < H; ++Y)
                for (int X = 0; X < W; ++X)
                    if (!(P.At(X, Y) == Key))
                        Want += QRect(X, Y, 1, 1);
            const QRegion Got = RegionFromBitmap(&B, TopLeft ? MakeColor(0xFFFFFFFF) : TripleToColor(Key));
            EXPECT_TRUE(EqualRgn(Got, Want));
        }
    }
    TnvBitmap B;
    B.SetSize(4, 3);
    EXPECT_TRUE(RegionFromBitmap(&B, clWhite).isEmpty()); // every pixel transparent
    // Colours compare unresolved: a system colour matches no pixel.
    SetSysColor(COLOR_BTNFACE, clWhite);
    EXPECT_TRUE(EqualRgn(RegionFromBitmap(&B, clBtnFace), QRegion(0, 0, 4, 3)));
    SetSysColor(COLOR_BTNFACE, DefaultSysColor(COLOR_BTNFACE));
    TnvBitmap Empty;
    EXPECT_TRUE(RegionFromBitmap(&Empty, clWhite).isEmpty());
    EXPECT_TRUE(RegionFromBitmap(nullptr, clWhite).isEmpty());
}

TEST(nvBitmapHelpers, FillOutsideRegionPaintsTheTransparentColour)
{
    const Pic P = nvref::RandomPic(9, 7, 50);
    const QRegion Keep = CreateEllipticRgn(1, 1, 8, 6);
    for (TColor Transparent : {clNone, clFuchsia}) {
        TnvBitmap B;
        nvref::ToBitmap(P, B);
        B.SetTransparentColor(Transparent);
        FillOutsideRegion(&B, Keep);
        const TRGBTriple Key = Transparent == clNone ? P.At(0, 0) : ColorToTriple(clFuchsia);
        for (int Y = 0; Y < 7; ++Y)
            for (int X = 0; X < 9; ++X)
                EXPECT_EQ(B.Row(Y)[X], PtInRegion(Keep, X, Y) ? P.At(X, Y) : Key) << X << ", " << Y;
    }
}

TEST(nvBitmapHelpers, DrawBitmapTransparentLeavesTheKeyOut)
{
    const Pic P = nvref::RandomPic(6, 5, 60, 3);
    TnvBitmap B;
    nvref::ToBitmap(P, B);
    for (bool TopLeft : {true, false}) {
        const TRGBTriple Key = TopLeft ? P.At(0, 0) : P.At(5, 4);
        TTarget T(false, 10, 8);
        // The rectangle limits the drawing; no scaling.
        DrawBitmapTransparent(T.Canvas(), TRect(2, 1, 6, 9), &B, TopLeft ? MakeColor(0xFFFFFFFF) : TripleToColor(Key));
        T.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
            if (Inside(X, Y, TRect(2, 1, 6, 6)) && !(P.At(X - 2, Y - 1) == Key))
                return P.At(X - 2, Y - 1);
            return std::nullopt;
        });
    }
}

TEST(nvBitmapHelpers, DitherFillChecker)
{
    const TRGBTriple C1 = MakeTriple(200, 0, 0), C2 = MakeTriple(0, 0, 200);
    for (bool Suite : {false, true}) {
        TTarget T(Suite, 9, 7);
        DitherFill(T.Canvas(), TRect(1, 2, 8, 6), TripleToColor(C1), TripleToColor(C2));
        T.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
            if (!Inside(X, Y, TRect(1, 2, 8, 6)))
                return std::nullopt;
            return (X + Y) % 2 == 0 ? C1 : C2;
        });
        // The pattern follows the brush origin; the canvas's brush and
        // colours come back afterwards.
        TTarget U(Suite, 6, 4);
        U.Canvas()->SetBrushOrigin(TPoint(1, 0));
        U.Canvas()->Brush()->SetColor(clLime);
        DitherFill(U.Canvas(), TRect(0, 0, 6, 4), clBtnFace, TripleToColor(C2));
        const TRGBTriple Face = ColorToTriple(clBtnFace);
        U.Check([&](int X, int Y) -> std::optional<TRGBTriple> { return (X - 1 + Y) % 2 == 0 ? Face : C2; });
        EXPECT_EQ(U.Canvas()->Brush()->Color(), clLime);
        EXPECT_FALSE(U.Canvas()->Brush()->HasBitmap());
        U.Canvas()->FillRect(TRect(0, 0, 1, 1));
        EXPECT_EQ(U.At(0, 0), ColorToTriple(clLime));
    }
    // Without a first colour only the second colour's pixels are painted,
    // counted from the rectangle's corner.
    TTarget T(false, 8, 6);
    DitherFill(T.Canvas(), TRect(1, 1, 7, 5), clNone, TripleToColor(C2));
    T.Check([&](int X, int Y) -> std::optional<TRGBTriple> {
        if (Inside(X, Y, TRect(1, 1, 7, 5)) && (X - 1 + Y - 1) % 2 == 1)
            return C2;
        return std::nullopt;
    });
    try {
        DitherFill(T.Canvas(), TRect(0, 0, 2, 2), clRed, clNone);
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Color2 cannot be clNone");
    }
}
