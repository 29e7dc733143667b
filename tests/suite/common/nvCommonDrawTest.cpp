// Common helpers that draw, build regions, invalidate and animate: checked
// on rendered pixels, region contents and recorded calls.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPaintEvent>
#include <QRandomGenerator>

#include <memory>
#include <vector>

#include "Forms.h"
#include "ImageList.h"
#include "Pictures.h"
#include "Regions.h"
#include "nvCommon.h"
#include "nvCommonTestClasses.h"

namespace {

// ---------------------------------------------------------------- helpers

// A 32-bit image filled with one colour and a canvas on it.
struct TSurface {
    QImage Image;
    TCanvas Canvas;
    TSurface(int W, int H, TColor Fill = clWhite) : Image(W, H, QImage::Format_RGB32), Canvas(&Image)
    {
        Image.fill(ColorToQRgb(Fill));
    }
    TColor At(int X, int Y) const { return QRgbToColor(Image.pixel(X, Y)); }
};

// A bitmap of the given format drawn from rows of characters, each mapped to a colour.
std::unique_ptr<TBitmap> BitmapFromRows(const std::vector<const char*>& Rows, TPixelFormat Format,
                                        const std::function<TColor(char)>& ColorOf)
{
    const int H = static_cast<int>(Rows.size()), W = static_cast<int>(std::strlen(Rows[0]));
    QImage I(W, H, QImage::Format_RGB32);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            I.setPixel(X, Y, ColorToQRgb(ColorOf(Rows[size_t(Y)][X])));
    auto B = std::make_unique<TBitmap>();
    B->SetImage(I);
    B->SetPixelFormat(Format);
    return B;
}

// The union of the runs of '#' in the rows, built rectangle by rectangle.
QRegion RunsOf(const std::vector<const char*>& Rows, char Opaque = '#')
{
    QRegion R;
    for (int Y = 0; Y < static_cast<int>(Rows.size()); ++Y) {
        const int W = static_cast<int>(std::strlen(Rows[size_t(Y)]));
        for (int X = 0; X < W;) {
            if (Rows[size_t(Y)][X] != Opaque) {
                ++X;
                continue;
            }
            const int X1 = X;
            while (X < W && Rows[size_t(Y)][X] == Opaque)
                ++X;
            CombineRgn(R, R, CreateRectRgn(X1, Y, X, Y + 1), RGN_OR);
        }
    }
    return R;
}

TColor HashColor(char C)
{
    return C == '#' ? clNavy : C == 'r' ? clRed : clWhite;
}

// ---------------------------------------------------------------- regions

TEST(nvCommonRegions, RegionFromGraphicScansRuns)
{
    const std::vector<const char*> Rows = {
        "..##..#.",
        "########",
        "........",
        "#......#",
        "#......#",
    };
    for (TPixelFormat F : {pf24bit, pf32bit, pfDevice, pf8bit, pf4bit}) {
        auto B = BitmapFromRows(Rows, F, HashColor);
        const QRegion R = RegionFromGraphic(B.get(), clWhite);
        EXPECT_TRUE(EqualRgn(R, RunsOf(Rows))) << "pixel format " << F;
        // 2 + 1 + 0 rectangles, then the two equal rows merged into one band of 2.
        EXPECT_EQ(GetRegionRects(R).size(), 5u) << "pixel format " << F;
    }
}

TEST(nvCommonRegions, RegionFromGraphicTransparentColours)
{
    const std::vector<const char*> Rows = {"#r#", "rrr", "r##"};
    const TColor Face = ColorToRGB(clBtnFace);
    auto FaceOf = [&](char C) { return C == 'r' ? Face : clNavy; };
    struct {
        const char* Name;
        TPixelFormat Format;
        std::function<TColor(char)> ColorOf;
        TColor Key;
        QRegion Expected;
    } Cases[] = {
        {"24-bit, explicit key", pf24bit, HashColor, clRed, RunsOf(Rows)},
        {"24-bit, system colour key compared unresolved", pf24bit, FaceOf, clBtnFace, CreateRectRgn(0, 0, 3, 3)},
        {"24-bit, resolved key", pf24bit, FaceOf, Face, RunsOf(Rows)},
        {"32-bit, system colour key resolved", pfDevice, FaceOf, clBtnFace, RunsOf(Rows)},
        {"32-bit, key absent", pfDevice, HashColor, clLime, CreateRectRgn(0, 0, 3, 3)},
        {"24-bit, every pixel transparent", pf24bit, [](char) { return clRed; }, clRed, QRegion()},
        {"32-bit, every pixel transparent", pf32bit, [](char) { return clRed; }, clRed, QRegion()},
    };
    for (const auto& C : Cases) {
        auto B = BitmapFromRows(Rows, C.Format, C.ColorOf);
        EXPECT_TRUE(EqualRgn(RegionFromGraphic(B.get(), C.Key), C.Expected)) << C.Name;
    }

    // A monochrome picture: its mask for black.
    auto Mono = BitmapFromRows({"#..#", ".##."}, pf1bit, [](char C) { return C == '#' ? clBlack : clWhite; });
    EXPECT_TRUE(EqualRgn(RegionFromGraphic(Mono.get(), clBlack), RunsOf({"#..#", ".##."}, '.')));

    TBitmap Empty;
    EXPECT_TRUE(RegionFromGraphic(&Empty, clWhite).isEmpty());
    EXPECT_TRUE(RegionFromGraphic(nullptr, clWhite).isEmpty());
}

TEST(nvCommonRegions, RegionFromGraphicIsTheUnionOfTheRuns)
{
    // Random pictures: the region built in one step equals the union built
    // one run at a time.
    QRandomGenerator Rng(1234);
    for (int Round = 0; Round < 4; ++Round) {
        const int W = 37 + Round * 11, H = 23 + Round * 7;
        std::vector<std::string> Text(size_t(H), std::string(size_t(W), '.'));
        for (auto& Row : Text)
            for (char& C : Row)
                C = Rng.bounded(3) == 0 ? '.' : '#';
        std::vector<const char*> Rows;
        for (const auto& Row : Text)
            Rows.push_back(Row.c_str());
        auto B = BitmapFromRows(Rows, Round % 2 ? pf24bit : pfDevice, HashColor);
        EXPECT_TRUE(EqualRgn(RegionFromGraphic(B.get(), clWhite), RunsOf(Rows))) << "round " << Round;
    }
}

TEST(nvCommonRegions, RegionFromGraphicReadsOtherGraphicsAsBitmaps)
{
    // An icon is drawn onto a white bitmap: its transparent corner is white.
    QImage I(4, 4, QImage::Format_ARGB32);
    I.fill(qRgba(0, 0, 128, 255));
    I.setPixel(0, 0, qRgba(0, 0, 0, 0));
    TIcon Icon;
    Icon.AddImage(I, 32);
    const QRegion R = RegionFromGraphic(&Icon, clWhite);
    QRegion Expected = CreateRectRgn(0, 0, 4, 4);
    CombineRgn(Expected, Expected, CreateRectRgn(0, 0, 1, 1), RGN_DIFF);
    EXPECT_TRUE(EqualRgn(R, Expected));
}

TEST(nvCommonRegions, CombineOpaqueChildren)
{
    TTestWin Parent;
    Parent.SetBounds(0, 0, 100, 100);
    auto Add = [&](TControl* C, int L, int T, int W, int H) {
        C->SetParent(&Parent);
        C->SetBounds(L, T, W, H);
        return C;
    };
    Add(new TTestWin(&Parent), 10, 10, 20, 20);                                   // opaque, windowed
    static_cast<TTestWin*>(Add(new TTestWin(&Parent), 40, 40, 10, 10))->SetTransparent(true);
    Add(new TTestGraphic(&Parent), 60, 0, 10, 10);                                // opaque, graphic
    static_cast<TTestGraphic*>(Add(new TTestGraphic(&Parent), 60, 60, 5, 5))->SetTransparent(true);
    Add(new TTestPlainWin(&Parent), 0, 80, 10, 10);                               // no Transparent property
    // Hidden children cover nothing, so their areas stay in a region to be
    // painted (taking them out would leave holes of stale pixels).
    Add(new TTestWin(&Parent), 90, 90, 10, 10)->SetVisible(false);                // hidden, windowed
    Add(new TTestGraphic(&Parent), 20, 60, 10, 10)->SetVisible(false);            // hidden, graphic

    QRegion Region = CreateRectRgn(0, 0, 100, 100);
    CombineOpaqueChildren(&Parent, Region, RGN_DIFF, TPoint(5, 0));
    QRegion Expected = CreateRectRgn(0, 0, 100, 100);
    for (const TRect& R : {TRect(15, 10, 35, 30), TRect(65, 0, 75, 10), TRect(5, 80, 15, 90)})
        CombineRgn(Expected, Expected, CreateRectRgnIndirect(R), RGN_DIFF);
    EXPECT_TRUE(EqualRgn(Region, Expected));

    QRegion Union;
    CombineOpaqueChildren(&Parent, Union, RGN_OR, TPoint(0, 0));
    EXPECT_EQ(RegionBox(Union), TRect(0, 0, 70, 90));
    CombineOpaqueChildren(nullptr, Union, RGN_OR, TPoint(0, 0));
}

// ---------------------------------------------------------------- image lists

// A 4 x 4 list whose image is red on the left half and transparent on the right.
std::unique_ptr<TImageList> HalfRedList()
{
    auto L = std::make_unique<TImageList>();
    L->SetWidth(4);
    L->SetHeight(4);
    QImage I(4, 4, QImage::Format_ARGB32);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X)
            I.setPixel(X, Y, X < 2 ? qRgba(255, 0, 0, 255) : qRgba(0, 0, 0, 0));
    L->AddImage32(I);
    return L;
}

TEST(nvCommonDrawing, DrawImageListImageEnabled)
{
    auto List = HalfRedList();
    struct {
        int X;
        bool Even;
        int DrawnAt;
    } Cases[] = {{2, false, 2}, {3, false, 3}, {3, true, 2}, {4, true, 4}, {-1, true, -2}};
    for (const auto& C : Cases) {
        TSurface S(12, 12);
        if (C.Even)
            DrawImageListImageEven(List.get(), 0, &S.Canvas, C.X, 3, true);
        else
            DrawImageListImage(List.get(), 0, &S.Canvas, C.X, 3, true);
        for (int X = 0; X < 12; ++X) {
            const bool Red = X >= C.DrawnAt && X < C.DrawnAt + 2;
            EXPECT_EQ(S.At(X, 4), Red ? clRed : clWhite) << "x " << X << " drawing at " << C.X;
        }
        EXPECT_EQ(S.At(C.DrawnAt + 1 < 0 ? 0 : std::max(C.DrawnAt, 0), 2), clWhite);
    }

    // The drawing style reaches the list: selected blends half with the canvas.
    TSurface S(8, 8);
    DrawImageListImage(List.get(), 0, &S.Canvas, 0, 0, true, dsSelected);
    EXPECT_EQ(S.At(0, 0), RGB(255, 127, 127));

    // Nothing for a bad index or no list.
    TSurface Blank(8, 8);
    DrawImageListImage(List.get(), 1, &Blank.Canvas, 0, 0, true);
    DrawImageListImage(List.get(), -1, &Blank.Canvas, 0, 0, false);
    DrawImageListImage(nullptr, 0, &Blank.Canvas, 0, 0, true);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X)
            ASSERT_EQ(Blank.At(X, Y), clWhite);
}

TEST(nvCommonDrawing, DrawImageListImageDisabledIsEmbossed)
{
    auto List = HalfRedList();
    for (bool Even : {false, true}) {
        TSurface S(12, 12);
        S.Canvas.Brush()->SetColor(clYellow);
        S.Canvas.RequireAllState();
        S.Canvas.SetTextColor(clGreen);
        if (Even)
            DrawImageListImageEven(List.get(), 0, &S.Canvas, 3, 3, false); // disabled: not moved
        else
            DrawImageListImage(List.get(), 0, &S.Canvas, 3, 3, false);
        const TColor Shadow = ColorToRGB(clBtnShadow), Highlight = ColorToRGB(clBtnHighlight);
        // Opaque pixels: columns 3..4, rows 3..6.
        for (int Y = 0; Y < 12; ++Y)
            for (int X = 0; X < 12; ++X) {
                const bool InShadow = X >= 3 && X <= 4 && Y >= 3 && Y <= 6;
                const bool InHighlight = X >= 4 && X <= 5 && Y >= 4 && Y <= 7;
                const TColor Expected = InShadow ? Shadow : InHighlight ? Highlight : clWhite;
                ASSERT_EQ(S.At(X, Y), Expected) << "(" << X << ", " << Y << ")";
            }
        // The canvas keeps its brush and colours.
        EXPECT_EQ(S.Canvas.Brush()->Color(), clYellow);
        EXPECT_EQ(S.Canvas.Brush()->Style(), bsSolid);
        EXPECT_EQ(S.Canvas.TextColor(), clGreen);
        EXPECT_EQ(S.Canvas.BkColor(), clYellow);
    }
}

// ---------------------------------------------------------------- disabled and transparent bitmaps

TEST(nvCommonDrawing, MakeDisabledBitmap)
{
    const TColor Face = ColorToRGB(clBtnFace), Shadow = ColorToRGB(clBtnShadow),
                 Highlight = ColorToRGB(clBtnHighlight);
    // 'k' black, 'r' red, '.' white.
    const std::vector<const char*> Rows = {"k.r.", ".k..", "...."};
    auto ColorOf = [](char C) { return C == 'k' ? clBlack : C == 'r' ? clRed : clWhite; };
    const std::vector<const char*> Expected = {"s...", ".s..", "..h."}; // s shadow, h highlight, . face
    auto Check = [&](TBitmap& Target, const char* What) {
        ASSERT_EQ(Target.Width(), 4) << What;
        ASSERT_EQ(Target.Height(), 3) << What;
        const QImage I = Target.ToImage32();
        for (int Y = 0; Y < 3; ++Y)
            for (int X = 0; X < 4; ++X) {
                const char E = Expected[size_t(Y)][X];
                const TColor Want = E == 's' ? Shadow : E == 'h' ? Highlight : Face;
                EXPECT_EQ(QRgbToColor(I.pixel(X, Y)), Want) << What << " (" << X << ", " << Y << ")";
            }
    };
    for (TPixelFormat F : {pf24bit, pfDevice, pf1bit}) {
        auto Source = BitmapFromRows(Rows, F, [&](char C) { return F == pf1bit && C == 'r' ? clWhite : ColorOf(C); });
        TBitmap Target;
        Target.SetSize(9, 9);
        MakeDisabledBitmap(Source.get(), &Target);
        Check(Target, F == pf1bit ? "monochrome" : "colour");
    }
    // In place.
    auto Same = BitmapFromRows(Rows, pf24bit, ColorOf);
    MakeDisabledBitmap(Same.get(), Same.get());
    Check(*Same, "in place");

    TBitmap Empty, Target;
    Target.SetSize(3, 3);
    MakeDisabledBitmap(&Empty, &Target);
    EXPECT_TRUE(Target.Empty());
    EXPECT_THROW(MakeDisabledBitmap(nullptr, &Target), EInvalidOperation);
}

TEST(nvCommonDrawing, DrawTransparentBitmap)
{
    // Bitmap: a distinct colour per pixel; mask: white on a checkerboard.
    QImage Pixels(4, 4, QImage::Format_RGB32);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 4; ++X)
            Pixels.setPixel(X, Y, qRgb(40 * X + 10, 40 * Y + 10, 200));
    TBitmap Bitmap;
    Bitmap.SetImage(Pixels);
    auto Mask = BitmapFromRows({"#.#.", ".#.#", "#.#.", "...."}, pf1bit,
                               [](char C) { return C == '#' ? clWhite : clBlack; });

    struct {
        TRect Rect;
        bool Buffered;
    } Cases[] = {{TRect(3, 3, 7, 7), false}, {TRect(3, 3, 7, 7), true}, {TRect(5, 2, 11, 9), true},
                 {TRect(5, 2, 11, 9), false}};
    for (const auto& C : Cases) {
        TSurface S(12, 12, clGreen);
        S.Canvas.RequireAllState();
        S.Canvas.SetBkColor(clYellow);
        S.Canvas.SetTextColor(clPurple);
        DrawTransparentBitmap(&S.Canvas, C.Rect, &Bitmap, C.Buffered, Mask.get());
        for (int Y = 0; Y < 12; ++Y)
            for (int X = 0; X < 12; ++X) {
                const int BX = X - C.Rect.Left, BY = Y - C.Rect.Top;
                const bool Shows = BX >= 0 && BY >= 0 && BX < 4 && BY < 4 && X < C.Rect.Right &&
                                   Y < C.Rect.Bottom && (BX + BY) % 2 == 0 && BY < 3;
                const TColor Want = Shows ? QRgbToColor(Pixels.pixel(BX, BY)) : clGreen;
                ASSERT_EQ(S.At(X, Y), Want) << "(" << X << ", " << Y << ") buffered " << C.Buffered;
            }
        EXPECT_EQ(S.Canvas.BkColor(), clYellow);
        EXPECT_EQ(S.Canvas.TextColor(), clPurple);
    }
}

TEST(nvCommonDrawing, CheckerBrush)
{
    auto Brush = CreateCheckerBrush();
    ASSERT_TRUE(Brush->HasBitmap());
    TSurface S(16, 16);
    S.Canvas.Brush()->Assign(Brush.get());
    S.Canvas.RequireAllState();
    S.Canvas.SetBkColor(clRed);     // set bits
    S.Canvas.SetTextColor(clNavy);  // clear bits
    S.Canvas.FillRect(TRect(0, 0, 16, 16));
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 16; ++X) {
            const int Row = (Y % 2 == 0) ? 0xAA : 0x55;
            const bool Set = (Row >> (7 - X % 8)) & 1;
            ASSERT_EQ(S.At(X, Y), Set ? clRed : clNavy) << "(" << X << ", " << Y << ")";
        }
}

// ---------------------------------------------------------------- tiling

// The tiles drawn one by one, as TileGraphic places them.
void TileByHand(TGraphic* G, TCanvas* C, const TRect& R)
{
    for (int X = 0; X < RectWidth(R); X += G->Width())
        for (int Y = 0; Y < RectHeight(R); Y += G->Height())
            C->Draw(X, Y, G);
}

TEST(nvCommonDrawing, TileGraphic)
{
    auto Tile = BitmapFromRows({"#r.", "r.#"}, pfDevice, HashColor);
    struct {
        const char* Name;
        TRect Rect;
        bool Transparent;
        TRect Clip;
        TPoint Viewport;
    } Cases[] = {
        {"from the origin", TRect(0, 0, 8, 5), false, TRect(), TPoint()},
        {"a rectangle away from the origin still tiles from it", TRect(5, 5, 13, 10), false, TRect(), TPoint()},
        {"clipped", TRect(0, 0, 20, 20), false, TRect(2, 1, 7, 4), TPoint()},
        {"moved viewport", TRect(0, 0, 9, 9), false, TRect(), TPoint(3, 2)},
        {"transparent tiles", TRect(0, 0, 10, 7), true, TRect(), TPoint()},
        {"one tile", TRect(0, 0, 2, 1), false, TRect(), TPoint()},
    };
    for (const auto& C : Cases) {
        Tile->SetTransparent(C.Transparent);
        Tile->SetTransparentColor(clWhite);
        TSurface Actual(20, 20, clGreen), Expected(20, 20, clGreen);
        for (TSurface* S : {&Actual, &Expected}) {
            S->Canvas.SetViewportOrg(C.Viewport);
            if (!C.Clip.IsEmpty())
                S->Canvas.IntersectClipRect(C.Clip);
        }
        TileGraphic(Tile.get(), &Actual.Canvas, C.Rect);
        TileByHand(Tile.get(), &Expected.Canvas, C.Rect);
        EXPECT_EQ(Actual.Image, Expected.Image) << C.Name;
    }

    // From the origin: x = 0, 3, 6 (< 8), y = 0, 2, 4 (< 5).
    Tile->SetTransparent(false);
    TSurface S(20, 20, clGreen);
    TileGraphic(Tile.get(), &S.Canvas, TRect(0, 0, 8, 5));
    EXPECT_EQ(S.At(0, 0), clNavy);
    EXPECT_EQ(S.At(8, 5), clNavy); // tile pixel (2, 1)
    EXPECT_EQ(S.At(7, 4), clRed);  // tile pixel (1, 0)
    EXPECT_EQ(S.At(9, 0), clGreen);
    EXPECT_EQ(S.At(0, 6), clGreen);

    // Nothing to draw: no graphic, an empty one, an empty rectangle.
    TBitmap Empty;
    TSurface Blank(6, 6, clGreen);
    TileGraphic(&Empty, &Blank.Canvas, TRect(0, 0, 6, 6));
    TileGraphic(nullptr, &Blank.Canvas, TRect(0, 0, 6, 6));
    TileGraphic(Tile.get(), &Blank.Canvas, TRect(3, 3, 3, 6));
    for (int Y = 0; Y < 6; ++Y)
        for (int X = 0; X < 6; ++X)
            ASSERT_EQ(Blank.At(X, Y), clGreen);
}

// ---------------------------------------------------------------- buttons

TEST(nvCommonDrawing, DrawEllipsisButtonDots)
{
    const TColor Face = ColorToRGB(clBtnFace);
    struct {
        TRect Rect;
        int State;
        int Side, X, Y; // square side, left of the middle square, top of the squares
    } Cases[] = {
        {TRect(0, 0, 24, 16), bsUp, 3, 11, 7},
        {TRect(0, 0, 24, 16), bsDown, 3, 12, 8}, // pressed: one pixel right and down
        {TRect(2, 1, 17, 14), bsUp, 2, 8, 7},
        {TRect(4, 0, 9, 5), bsUp, 1, 5, 2},     // at least one pixel
        {TRect(0, 0, 24, 16), bsExclusive, 3, 11, 7},
    };
    for (const auto& C : Cases) {
        TSurface S(30, 20);
        DrawEllipsisButton(&S.Canvas, C.Rect, C.State, 0, false, false);
        for (int DX : {-2 * C.Side, 0, 2 * C.Side}) {
            const int L = C.X + DX;
            for (int Y = C.Y; Y < C.Y + C.Side; ++Y)
                for (int X = L; X < L + C.Side; ++X)
                    EXPECT_EQ(S.At(X, Y), clBlack) << "state " << C.State << " (" << X << ", " << Y << ")";
            EXPECT_NE(S.At(L - 1, C.Y), clBlack);
            EXPECT_NE(S.At(L + C.Side, C.Y), clBlack);
            EXPECT_NE(S.At(L, C.Y - 1), clBlack);
            EXPECT_NE(S.At(L, C.Y + C.Side), clBlack);
        }
        if (RectWidth(C.Rect) > 10) {
            EXPECT_EQ(S.At(C.X, C.Rect.Top + 3), Face) << "the middle is filled";
        }
    }
}

TEST(nvCommonDrawing, DrawEllipsisButtonEdge)
{
    const TRect R(0, 0, 24, 16);
    auto Draw = [&](int State, unsigned Flags, bool NoFill, bool NoEdge) {
        auto S = std::make_unique<TSurface>(24, 16);
        DrawEllipsisButton(&S->Canvas, R, State, Flags, NoFill, NoEdge);
        return S;
    };
    // The raised edge as the platform draws it.
    TSurface Raised(24, 16), Flat(24, 16);
    TRect E = R;
    DrawEdge(&Raised.Canvas, E, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    E = R;
    DrawEdge(&Flat.Canvas, E, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_FLAT);
    ASSERT_NE(Raised.At(0, 0), Flat.At(0, 0));

    auto Up = Draw(bsUp, 0, false, false);
    auto Down = Draw(bsDown, 0, false, false);
    auto DownNotFlat = Draw(bsDown, 0x80, false, false);
    auto NoFill = Draw(bsUp, 0, true, false);
    auto NoEdge = Draw(bsUp, 0, false, true);
    for (const TPoint P : {TPoint(0, 0), TPoint(1, 1), TPoint(23, 15), TPoint(22, 14), TPoint(0, 8), TPoint(12, 15)}) {
        EXPECT_EQ(Up->At(P.X, P.Y), Raised.At(P.X, P.Y)) << P.X << "," << P.Y;
        EXPECT_EQ(Down->At(P.X, P.Y), Flat.At(P.X, P.Y)) << P.X << "," << P.Y;
        EXPECT_EQ(DownNotFlat->At(P.X, P.Y), Raised.At(P.X, P.Y)) << P.X << "," << P.Y;
        EXPECT_EQ(NoEdge->At(P.X, P.Y), clWhite) << P.X << "," << P.Y;
    }
    EXPECT_EQ(Up->At(5, 4), ColorToRGB(clBtnFace));
    EXPECT_EQ(NoFill->At(5, 4), clWhite);
    EXPECT_EQ(NoFill->At(0, 0), Raised.At(0, 0));
    EXPECT_EQ(NoEdge->At(11, 7), clBlack);
}

TEST(nvCommonDrawing, DrawComboArrowButton)
{
    const TRect R(0, 0, 17, 19);
    auto Render = [&](auto&& Paint) {
        auto S = std::make_unique<TSurface>(17, 19);
        Paint(&S->Canvas);
        return S->Image;
    };
    struct {
        bool Pressed;
        unsigned Flags;
        bool Enabled;
        unsigned State;
    } Cases[] = {
        {false, 0, true, DFCS_SCROLLCOMBOBOX},
        {true, 0, true, DFCS_SCROLLCOMBOBOX | DFCS_PUSHED | DFCS_FLAT},
        {true, 0x80, true, DFCS_SCROLLCOMBOBOX},
        {true, 0, false, DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE},
        {false, 0, false, DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE},
    };
    for (const auto& C : Cases) {
        const QImage Actual = Render([&](TCanvas* Cv) { DrawComboArrowButton(Cv, R, C.Pressed, C.Flags, C.Enabled); });
        const QImage Expected = Render([&](TCanvas* Cv) {
            TRect Copy = R;
            DrawFrameControl(Cv, Copy, DFC_SCROLL, C.State);
        });
        EXPECT_EQ(Actual, Expected) << "pressed " << C.Pressed << " flags " << C.Flags << " enabled " << C.Enabled;
    }
    // The three looks differ, so the comparisons above tell them apart.
    const QImage Plain = Render([&](TCanvas* Cv) { DrawComboArrowButton(Cv, R, false, 0, true); });
    const QImage Pushed = Render([&](TCanvas* Cv) { DrawComboArrowButton(Cv, R, true, 0, true); });
    const QImage Inactive = Render([&](TCanvas* Cv) { DrawComboArrowButton(Cv, R, false, 0, false); });
    EXPECT_NE(Plain, Pushed);
    EXPECT_NE(Plain, Inactive);
}

// ---------------------------------------------------------------- text measuring

TEST(nvCommonText, TextHeightInWidthAndMultiLineExtent)
{
    TSurface S(10, 10);
    TCanvas& C = S.Canvas;
    const int H = C.TextHeight("Ag");
    ASSERT_GT(H, 0);
    EXPECT_EQ(TextHeightInWidth(&C, DT_WORDBREAK, 1000, "one two"), H);
    EXPECT_EQ(TextHeightInWidth(&C, DT_WORDBREAK, 10, "one two"), 2 * H);
    EXPECT_EQ(TextHeightInWidth(&C, 0, 10, "one two"), H);
    EXPECT_EQ(TextHeightInWidth(&C, 0, 100, "a\r\nb\r\nc"), 3 * H);

    struct {
        const char* Text;
        int Spacing;
        unsigned Flags;
        int Width;
        TSize Expected;
    } Cases[] = {
        {"ab\r\nabcd", 3, 0, 0, TSize(C.TextWidth("abcd"), 2 * H + 3)},
        {"ab\r\nabcd", 3, 0, 1000, TSize(C.TextWidth("abcd"), 2 * H + 3)},
        {"single", 5, 0, 0, TSize(C.TextWidth("single"), H)},       // no spacing after the last line
        {"one two\r\nx", 0, DT_WORDBREAK, 10, TSize(std::max(C.TextWidth("one"), C.TextWidth("two")), 3 * H)},
        {"a\nb", 0, 0, 0, TSize(C.TextWidth("a\nb"), C.TextHeight("a\nb"))}, // only CR LF splits
        {"", 4, 0, 0, TSize(0, 0)},
    };
    for (const auto& K : Cases)
        EXPECT_EQ(MultiLineTextExtent(&C, K.Text, K.Spacing, K.Flags, K.Width), K.Expected) << '"' << K.Text << '"';
}

// ---------------------------------------------------------------- invalidation

// Records the paint events of a widget.
class TPaintRecorder : public QObject {
public:
    QRegion Painted;
    bool eventFilter(QObject*, QEvent* E) override
    {
        if (E->type() == QEvent::Paint)
            Painted += static_cast<QPaintEvent*>(E)->region();
        return false;
    }
};

TEST(nvCommonInvalidation, WindowTreeAndChildrenInRect)
{
    TTestWin Parent;
    Parent.SetName("Parent");
    Parent.SetBounds(0, 0, 200, 100);
    auto Make = [&](TWinControl* On, const char* Name, int L, int T, int W, int H) {
        auto* C = new TTestWin(&Parent);
        C->SetName(Name);
        C->SetParent(On);
        C->SetBounds(L, T, W, H);
        return C;
    };
    TTestWin* A = Make(&Parent, "A", 0, 0, 50, 50);
    TTestWin* A1 = Make(A, "A1", 5, 5, 10, 10);
    TTestWin* B = Make(&Parent, "B", 60, 0, 50, 50);
    TTestWin* C = Make(&Parent, "C", 40, 40, 30, 30); // overlaps A and B
    auto Reset = [&] {
        for (TTestWin* W : {&Parent, A, A1, B, C})
            W->Invalidations = 0;
    };
    auto Counts = [&] {
        return std::vector<int>{Parent.Invalidations, A->Invalidations, A1->Invalidations, B->Invalidations,
                                C->Invalidations};
    };

    Reset();
    InvalidateWindowTree(&Parent);
    EXPECT_EQ(Counts(), (std::vector<int>{1, 1, 1, 1, 1}));
    Reset();
    InvalidateWindowTree(A);
    EXPECT_EQ(Counts(), (std::vector<int>{0, 1, 1, 0, 0}));

    // Children of Parent overlapping C: A (with its child), B and C itself.
    Reset();
    InvalidateChildrenInRect(&Parent, C);
    EXPECT_EQ(Counts(), (std::vector<int>{0, 1, 1, 1, 1}));
    Reset();
    InvalidateChildrenInRect(&Parent, B); // B and C only; A ends where B begins
    EXPECT_EQ(Counts(), (std::vector<int>{0, 0, 0, 1, 1}));
    InvalidateWindowTree(nullptr);
    InvalidateChildrenInRect(nullptr, B);
}

TEST(nvCommonInvalidation, ControlAreaOnTheParent)
{
    TTestWin Parent;
    Parent.SetBounds(0, 0, 120, 80);
    auto* Child = new TTestGraphic(&Parent);
    Child->SetParent(&Parent);
    Child->SetBounds(30, 20, 25, 15);
    Parent.QWidget::show();
    QCoreApplication::processEvents();
    TPaintRecorder Recorder;
    Parent.installEventFilter(&Recorder);
    QCoreApplication::processEvents();
    Recorder.Painted = QRegion();

    InvalidateControlArea(Child, true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Recorder.Painted.contains(QRect(30, 20, 25, 15)));
    EXPECT_FALSE(Recorder.Painted.contains(QPoint(0, 0)));

    TTestGraphic Orphan;
    InvalidateControlArea(&Orphan, false); // no parent: nothing
    InvalidateControlArea(nullptr, false);
    Parent.removeEventFilter(&Recorder);
}

// ---------------------------------------------------------------- slide animation

struct TAnimationFixture {
    TTestWin Parent;
    TTestWin* P;
    TTestWin* S;
    std::vector<String> Log;

    TAnimationFixture()
    {
        Parent.SetBounds(0, 0, 200, 250);
        P = new TTestWin(&Parent);
        P->SetName("P");
        P->SetParent(&Parent);
        P->SetBounds(0, 0, 50, 20);
        S = new TTestWin(&Parent);
        S->SetName("S");
        S->SetParent(&Parent);
        S->SetBounds(0, 20, 50, 0);
        P->Log = &Log;
        S->Log = &Log;
    }

    TnvAnimateList Groups(TRect PEnd, TRect SEnd, bool WithSecondary = true)
    {
        TnvAnimateList L;
        auto G = std::make_unique<TnvGroupAnimateItem>();
        G->Primary = std::make_unique<TnvAnimateListItem>();
        G->Primary->Control = P;
        G->Primary->StartRect = P->BoundsRect();
        G->Primary->EndRect = PEnd;
        if (WithSecondary) {
            G->Secondary = std::make_unique<TnvAnimateListItem>();
            G->Secondary->Control = S;
            G->Secondary->StartRect = S->BoundsRect();
            G->Secondary->EndRect = SEnd;
        }
        L.push_back(std::move(G));
        return L;
    }
};

TEST(nvCommonAnimation, StepsThroughTheCallback)
{
    TAnimationFixture F;
    auto List = F.Groups(TRect(0, 100, 50, 120), TRect(0, 120, 50, 200));
    std::vector<std::pair<TControl*, TRect>> Calls;
    AnimateControls(&F.Parent, List, [&](TControl* C, const TRect& R) { Calls.emplace_back(C, R); }, 4, 0);
    const std::vector<std::pair<TControl*, TRect>> Expected = {
        {F.P, TRect(0, 25, 50, 45)},  {F.S, TRect(0, 45, 50, 65)},
        {F.P, TRect(0, 50, 50, 70)},  {F.S, TRect(0, 70, 50, 110)},
        {F.P, TRect(0, 75, 50, 95)},  {F.S, TRect(0, 95, 50, 155)},
        {F.P, TRect(0, 100, 50, 120)}, {F.S, TRect(0, 120, 50, 200)},
    };
    EXPECT_EQ(Calls, Expected);
    // The callback moves nothing itself; CurrentRect holds the bounds before each step.
    EXPECT_EQ(F.P->BoundsRect(), TRect(0, 0, 50, 20));
    EXPECT_EQ(List[0]->Primary->CurrentRect, TRect(0, 0, 50, 20));
    EXPECT_EQ(List[0]->Secondary->CurrentRect, TRect(0, 20, 50, 20));
}

TEST(nvCommonAnimation, MovesTheControlsAndRepaintsEachStep)
{
    TAnimationFixture F;
    auto List = F.Groups(TRect(0, 30, 50, 50), TRect(0, 50, 50, 80));
    AnimateControls(&F.Parent, List, nullptr, 3, 0);
    EXPECT_EQ(F.P->BoundsRect(), TRect(0, 30, 50, 50));
    EXPECT_EQ(F.S->BoundsRect(), TRect(0, 50, 50, 80));
    EXPECT_EQ(List[0]->Primary->CurrentRect, TRect(0, 20, 50, 40)); // before the last step
    EXPECT_EQ(List[0]->Secondary->CurrentRect, TRect(0, 40, 50, 60));
    // Each step: the primary is invalidated and updated, the moving secondary
    // only invalidated.
    std::vector<String> Step = {"P.Invalidate", "P.Update", "S.Invalidate"};
    std::vector<String> Expected;
    for (int K = 0; K < 3; ++K)
        Expected.insert(Expected.end(), Step.begin(), Step.end());
    EXPECT_EQ(F.Log, Expected);

    // A secondary that does not move is updated at once.
    F.Log.clear();
    auto Still = F.Groups(TRect(0, 0, 50, 20), F.S->BoundsRect());
    AnimateControls(&F.Parent, Still, nullptr, 2, 0);
    EXPECT_EQ(F.Log, (std::vector<String>{"P.Invalidate", "P.Update", "S.Invalidate", "S.Update", "P.Invalidate",
                                          "P.Update", "S.Invalidate", "S.Update"}));
}

TEST(nvCommonAnimation, TruncatesTowardZero)
{
    TAnimationFixture F;
    F.P->SetBounds(10, 10, 10, 10);
    auto List = F.Groups(TRect(0, 20, 10, 30), TRect(), false);
    std::vector<TRect> Rects;
    AnimateControls(&F.Parent, List, [&](TControl*, const TRect& R) { Rects.push_back(R); }, 3, 0);
    // Left 10 -> 0: 10 - 3, 10 - 6, 0; top 10 -> 20: 13, 16, 20.
    EXPECT_EQ(Rects, (std::vector<TRect>{TRect(7, 13, 17, 23), TRect(4, 16, 14, 26), TRect(0, 20, 10, 30)}));
}

TEST(nvCommonAnimation, NothingToDoAndBadGroups)
{
    TAnimationFixture F;
    int Calls = 0;
    const TnvSetBoundsEvent Count = [&](TControl*, const TRect&) { ++Calls; };
    TnvAnimateList Empty;
    AnimateControls(&F.Parent, Empty, Count, 5, 0);
    auto List = F.Groups(TRect(0, 30, 50, 50), TRect(0, 50, 50, 80));
    AnimateControls(&F.Parent, List, Count, 0, 0);
    AnimateControls(&F.Parent, List, Count, -2, 0);
    EXPECT_EQ(Calls, 0);

    TnvAnimateList NoPrimary;
    NoPrimary.push_back(std::make_unique<TnvGroupAnimateItem>());
    EXPECT_THROW(AnimateControls(&F.Parent, NoPrimary, Count, 2, 0), EInvalidOperation);
    EXPECT_EQ(Calls, 0);
}

TEST(nvCommonAnimation, ControlDestroyedMidwayIsLeftOut)
{
    TAnimationFixture F;
    auto List = F.Groups(TRect(0, 30, 50, 50), TRect(0, 50, 50, 80));
    int Step = 0;
    std::vector<String> Moved;
    AnimateControls(&F.Parent, List,
                    [&](TControl* C, const TRect& R) {
                        Moved.push_back(C->Name());
                        C->SetBoundsRect(R);
                        if (C == F.P && ++Step == 2)
                            delete F.S;
                    },
                    3, 0);
    EXPECT_EQ(Moved, (std::vector<String>{"P", "S", "P", "P"}));
    EXPECT_EQ(F.P->BoundsRect(), TRect(0, 30, 50, 50));
}

TEST(nvCommonAnimation, SynchronousWithMessagesBetweenSteps)
{
    for (bool Themes : {false, true}) {
        TAnimationFixture F;
        SetThemeServicesEnabled(Themes);
        auto List = F.Groups(TRect(0, 30, 50, 50), TRect(0, 50, 50, 80));
        int Delivered = 0;
        QMetaObject::invokeMethod(qApp, [&] { ++Delivered; }, Qt::QueuedConnection);
        QElapsedTimer Timer;
        Timer.start();
        AnimateControls(&F.Parent, List, nullptr, 3, 15);
        // Sleeps between the steps, in this thread.
        EXPECT_GE(Timer.elapsed(), 45);
        EXPECT_EQ(F.P->BoundsRect(), TRect(0, 30, 50, 50));
        // Pending messages run between the steps, unless themes are in use.
        EXPECT_EQ(Delivered, Themes ? 0 : 1) << "themes " << Themes;
        QCoreApplication::processEvents();
        EXPECT_EQ(Delivered, 1);
    }
    SetThemeServicesEnabled(false);
}

} // namespace
