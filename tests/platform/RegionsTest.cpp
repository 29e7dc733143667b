// Regions: creation and rasterisation rules, combination, tests, the stored
// region data layout with its bad-data cases, and the one-step builders.
#include <gtest/gtest.h>

#include <QImage>

#include <cstring>
#include <random>

#include "Canvas.h"
#include "Regions.h"

namespace {

// The region inside Box as rows of '#' (in) and '.' (out).
std::vector<std::string> Rows(const QRegion& R, const TRect& Box)
{
    std::vector<std::string> Out;
    for (int Y = Box.Top; Y < Box.Bottom; ++Y) {
        std::string Row;
        for (int X = Box.Left; X < Box.Right; ++X)
            Row += PtInRegion(R, X, Y) ? '#' : '.';
        Out.push_back(Row);
    }
    return Out;
}

int PixelCount(const QRegion& R)
{
    int N = 0;
    for (const QRect& Q : R)
        N += Q.width() * Q.height();
    return N;
}

// Reference rule, pixel by pixel: the crossings of the ray from the pixel
// centre to the left, with top-inclusive edges and crossings at or left of the
// centre counted (doubled coordinates keep everything integral).
bool CentreInside(const std::vector<TPoint>& P, int X, int Y, int FillMode)
{
    const int64_t CX = 2 * int64_t(X) + 1, CY = 2 * int64_t(Y) + 1;
    int Winding = 0, Crossings = 0;
    for (size_t I = 0; I < P.size(); ++I) {
        TPoint A = P[I], B = P[(I + 1) % P.size()];
        if (A.Y == B.Y)
            continue;
        int Dir = 1;
        if (A.Y > B.Y) {
            std::swap(A, B);
            Dir = -1;
        }
        if (!(2 * int64_t(A.Y) <= CY && CY < 2 * int64_t(B.Y)))
            continue;
        // x_e <= centre  <=>  (2 A.X - CX)(B.Y - A.Y) + (CY - 2 A.Y)(B.X - A.X) <= 0
        const int64_t L = (2 * int64_t(A.X) - CX) * (B.Y - A.Y) + (CY - 2 * int64_t(A.Y)) * (B.X - A.X);
        if (L <= 0) {
            Winding += Dir;
            ++Crossings;
        }
    }
    return FillMode == WINDING ? Winding != 0 : (Crossings & 1) != 0;
}

void ExpectMatchesReference(const std::vector<TPoint>& P, int FillMode, const TRect& Box)
{
    const QRegion R = CreatePolygonRgn(P, FillMode);
    for (int Y = Box.Top; Y < Box.Bottom; ++Y)
        for (int X = Box.Left; X < Box.Right; ++X)
            ASSERT_EQ(PtInRegion(R, X, Y), CentreInside(P, X, Y, FillMode)) << "pixel " << X << ", " << Y;
}

uint32_t LE32(const std::vector<uint8_t>& D, size_t At)
{
    return uint32_t(D[At]) | uint32_t(D[At + 1]) << 8 | uint32_t(D[At + 2]) << 16 | uint32_t(D[At + 3]) << 24;
}

void Put32(std::vector<uint8_t>& D, size_t At, uint32_t V)
{
    for (int I = 0; I < 4; ++I)
        D[At + I] = static_cast<uint8_t>(V >> (8 * I));
}

std::vector<uint8_t> RegionBytes(uint32_t HeaderSize, uint32_t Type, uint32_t Count, uint32_t RectBytes,
                                 const std::vector<TRect>& Rects)
{
    std::vector<uint8_t> D(32 + 16 * Rects.size());
    Put32(D, 0, HeaderSize);
    Put32(D, 4, Type);
    Put32(D, 8, Count);
    Put32(D, 12, RectBytes);
    for (size_t I = 0; I < Rects.size(); ++I) {
        Put32(D, 32 + 16 * I, uint32_t(Rects[I].Left));
        Put32(D, 36 + 16 * I, uint32_t(Rects[I].Top));
        Put32(D, 40 + 16 * I, uint32_t(Rects[I].Right));
        Put32(D, 44 + 16 * I, uint32_t(Rects[I].Bottom));
    }
    return D;
}

const std::vector<TPoint> Star = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};

} // namespace

TEST(RegionsTest, RectangleRegionsNormalizeAndReportTheirType)
{
    struct Case {
        TRect In;
        TRect Box;
        int Type;
    } Cases[] = {
        {{2, 3, 10, 8}, {2, 3, 10, 8}, SIMPLEREGION},
        {{10, 8, 2, 3}, {2, 3, 10, 8}, SIMPLEREGION},
        {{5, 5, 5, 9}, {0, 0, 0, 0}, NULLREGION},
        {{-4, -2, 0, 1}, {-4, -2, 0, 1}, SIMPLEREGION},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.In.Left);
        TRect Box(9, 9, 9, 9);
        EXPECT_EQ(GetRgnBox(CreateRectRgnIndirect(C.In), Box), C.Type);
        EXPECT_EQ(Box, C.Box);
    }
    // Right and bottom edges are excluded.
    const QRegion R = CreateRectRgn(0, 0, 3, 2);
    EXPECT_TRUE(PtInRegion(R, 2, 1));
    EXPECT_FALSE(PtInRegion(R, 3, 1));
    EXPECT_FALSE(PtInRegion(R, 2, 2));
    EXPECT_TRUE(RectInRegion(R, TRect(2, 1, 10, 10)));
    EXPECT_FALSE(RectInRegion(R, TRect(3, 0, 10, 10)));
    EXPECT_TRUE(RectInRegion(R, TRect(10, 10, 2, 1))); // reversed edges are put in order
    EXPECT_FALSE(RectInRegion(R, TRect(1, 1, 1, 1)));
}

TEST(RegionsTest, CombineModes)
{
    const QRegion A = CreateRectRgn(0, 0, 4, 4), B = CreateRectRgn(2, 2, 6, 6);
    struct Case {
        int Mode;
        int Type;
        int Pixels;
        TRect Box;
    } Cases[] = {
        {RGN_AND, SIMPLEREGION, 4, {2, 2, 4, 4}},   {RGN_OR, COMPLEXREGION, 28, {0, 0, 6, 6}},
        {RGN_XOR, COMPLEXREGION, 24, {0, 0, 6, 6}}, {RGN_DIFF, COMPLEXREGION, 12, {0, 0, 4, 4}},
        {RGN_COPY, SIMPLEREGION, 16, {0, 0, 4, 4}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Mode);
        QRegion D;
        EXPECT_EQ(CombineRgn(D, A, B, C.Mode), C.Type);
        EXPECT_EQ(PixelCount(D), C.Pixels);
        EXPECT_EQ(RegionBox(D), C.Box);
    }
    // The destination may be a source; an unknown mode leaves it alone.
    QRegion D = A;
    EXPECT_EQ(CombineRgn(D, D, B, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(D, 3, 3));
    EXPECT_EQ(CombineRgn(D, A, B, 9), RGN_ERROR);
    EXPECT_EQ(PixelCount(D), 12);
    EXPECT_EQ(CombineRgn(D, A, CreateRectRgn(10, 10, 12, 12), RGN_AND), NULLREGION);
}

TEST(RegionsTest, OffsetAndEquality)
{
    QRegion R = CreateEllipticRgn(0, 0, 9, 7);
    const QRegion Original = R;
    EXPECT_EQ(OffsetRgn(R, 5, -3), COMPLEXREGION);
    EXPECT_EQ(RegionBox(R), TRect(5, -3, 14, 4));
    EXPECT_FALSE(EqualRgn(R, Original));
    OffsetRgn(R, -5, 3);
    EXPECT_TRUE(EqualRgn(R, Original));
    // Offsets that leave the coordinate range fail and change nothing.
    EXPECT_EQ(OffsetRgn(R, RegionCoordMax, 0), RGN_ERROR);
    EXPECT_TRUE(EqualRgn(R, Original));
    // The same pixels built differently are equal; empty regions are equal.
    QRegion U = CreateRectRgn(0, 0, 2, 4);
    CombineRgn(U, U, CreateRectRgn(2, 0, 4, 4), RGN_OR);
    EXPECT_TRUE(EqualRgn(U, CreateRectRgn(0, 0, 4, 4)));
    EXPECT_TRUE(EqualRgn(QRegion(), CreateRectRgn(3, 3, 3, 3)));
    EXPECT_FALSE(EqualRgn(QRegion(), U));
}

TEST(RegionsTest, PolygonRasterisationFollowsTheCentreRule)
{
    // A polygon of whole pixels is exactly the rectangle.
    EXPECT_TRUE(EqualRgn(CreatePolygonRgn({{{2, 1}, {7, 1}, {7, 5}, {2, 5}}}, ALTERNATE), CreateRectRgn(2, 1, 7, 5)));
    // Right triangle: row y holds x < 7 - y (centres on the hypotenuse are out).
    const QRegion T = CreatePolygonRgn({{{0, 0}, {8, 0}, {0, 8}}}, ALTERNATE);
    const std::vector<std::string> Triangle = {"#######.", "######..", "#####...", "####....",
                                               "###.....", "##......", "#.......", "........"};
    EXPECT_EQ(Rows(T, TRect(0, 0, 8, 8)), Triangle);
    // A triangle with a vertex at a pixel centre height and sloped sides.
    const QRegion V = CreatePolygonRgn({{{4, 0}, {8, 6}, {0, 6}}}, WINDING);
    const std::vector<std::string> Peak = {"........", "...##...", "..####..", "..####..", ".######.", "########"};
    EXPECT_EQ(Rows(V, TRect(0, 0, 8, 6)), Peak);
    // Orientation does not matter.
    EXPECT_TRUE(EqualRgn(V, CreatePolygonRgn({{{0, 6}, {8, 6}, {4, 0}}}, ALTERNATE)));
    // Fewer than three distinct rows or points give nothing.
    EXPECT_TRUE(CreatePolygonRgn({{{0, 0}, {10, 0}}}, ALTERNATE).isEmpty());
    EXPECT_TRUE(CreatePolygonRgn(nullptr, 0, ALTERNATE).isEmpty());
    EXPECT_TRUE(CreatePolygonRgn({{{0, 0}, {4, 0}, {4, 4}}}, 7).isEmpty());
}

TEST(RegionsTest, SelfCrossingStarDiffersBetweenFillModes)
{
    const QRegion Alt = CreatePolygonRgn(Star, ALTERNATE), Wind = CreatePolygonRgn(Star, WINDING);
    // The tips are in both, the centre pentagon only in the winding region.
    EXPECT_TRUE(PtInRegion(Alt, 10, 2) && PtInRegion(Wind, 10, 2));
    EXPECT_TRUE(PtInRegion(Alt, 2, 8) && PtInRegion(Wind, 2, 8));
    EXPECT_FALSE(PtInRegion(Alt, 10, 10));
    EXPECT_TRUE(PtInRegion(Wind, 10, 10));
    QRegion Hole;
    CombineRgn(Hole, Wind, Alt, RGN_DIFF);
    EXPECT_EQ(RegionBox(Hole), TRect(6, 7, 14, 14));
    QRegion Extra;
    EXPECT_EQ(CombineRgn(Extra, Alt, Wind, RGN_DIFF), NULLREGION);
    // Every pixel agrees with the reference rule.
    for (int Mode : {ALTERNATE, WINDING}) {
        SCOPED_TRACE(Mode);
        ExpectMatchesReference(Star, Mode, TRect(-1, -1, 22, 21));
    }
}

TEST(RegionsTest, PolygonsMatchTheReferenceRule)
{
    const std::vector<std::vector<TPoint>> Shapes = {
        {{0, 0}, {13, 3}, {5, 11}},
        {{3, 0}, {9, 4}, {14, 0}, {11, 12}, {6, 7}, {0, 12}},          // concave
        {{0, 0}, {10, 10}, {10, 0}, {0, 10}},                          // bow tie
        {{-5, -3}, {7, -8}, {2, 9}, {-1, 1}},
        {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {5, 5}, {15, 5}, {15, 15}, {5, 15}}, // overlapping loops
    };
    for (const auto& S : Shapes)
        for (int Mode : {ALTERNATE, WINDING}) {
            SCOPED_TRACE(testing::Message() << "shape " << (&S - Shapes.data()) << " mode " << Mode);
            ExpectMatchesReference(S, Mode, TRect(-9, -9, 23, 23));
        }
    // Two polygons filled together: the inner one cuts a hole (alternate) or
    // adds nothing (winding, same direction).
    const std::vector<TPoint> Pts = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {3, 3}, {7, 3}, {7, 7}, {3, 7}};
    const int Counts[] = {4, 4};
    EXPECT_EQ(PixelCount(CreatePolyPolygonRgn(Pts, Counts, ALTERNATE)), 100 - 16);
    EXPECT_EQ(PixelCount(CreatePolyPolygonRgn(Pts, Counts, WINDING)), 100);
}

TEST(RegionsTest, EllipseAndRoundRectShapes)
{
    struct Case {
        TRect In;
        TRect Box;      // of the ellipse
        TRect RoundBox; // of the rectangle rounded by a 6 x 4 ellipse
    } Cases[] = {
        {{0, 0, 10, 10}, {0, 0, 10, 10}, {0, 0, 10, 10}},
        {{3, 4, 20, 9}, {3, 4, 20, 9}, {3, 4, 20, 9}},
        {{20, 9, 3, 4}, {3, 4, 20, 9}, {3, 4, 20, 9}},
        {{0, 0, 1, 1}, {0, 0, 1, 1}, {0, 0, 1, 1}},
        // So flat that the top and bottom three rows have no centre inside.
        {{0, 0, 2, 40}, {0, 3, 2, 37}, {0, 0, 2, 40}},
        {{5, 5, 5, 8}, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.In.Left << "," << C.In.Top << "," << C.In.Right << "," << C.In.Bottom);
        const QRegion E = CreateEllipticRgnIndirect(C.In);
        EXPECT_EQ(RegionBox(E), C.Box);
        // Symmetric about both axes of the box.
        for (int Y = C.Box.Top; Y < C.Box.Bottom; ++Y)
            for (int X = C.Box.Left; X < C.Box.Right; ++X)
                ASSERT_EQ(PtInRegion(E, X, Y), PtInRegion(E, C.Box.Left + C.Box.Right - 1 - X, Y));
        EXPECT_EQ(RegionBox(CreateRoundRectRgn(C.In.Left, C.In.Top, C.In.Right, C.In.Bottom, 6, 4)), C.RoundBox);
    }
    const std::vector<std::string> Circle = {".##.", "####", "####", ".##."};
    EXPECT_EQ(Rows(CreateEllipticRgn(0, 0, 4, 4), TRect(0, 0, 4, 4)), Circle);
    // Corner ellipse 8 x 6: its rows have insets 2, 1 and 0.
    const std::vector<std::string> Round = {"..########..", ".##########.", "############",
                                            "############", ".##########.", "..########.."};
    EXPECT_EQ(Rows(CreateRoundRectRgn(0, 0, 12, 6, 8, 6), TRect(0, 0, 12, 6)), Round);
    // No rounding gives the rectangle; an ellipse as big as the box the ellipse.
    EXPECT_TRUE(EqualRgn(CreateRoundRectRgn(1, 2, 9, 7, 0, 5), CreateRectRgn(1, 2, 9, 7)));
    EXPECT_TRUE(EqualRgn(CreateRoundRectRgn(1, 2, 19, 17, 40, 40), CreateEllipticRgn(1, 2, 19, 17)));
}

TEST(RegionsTest, RegionDataLayout)
{
    // An L shape: two bands.
    QRegion L = CreateRectRgn(0, 0, 4, 2);
    CombineRgn(L, L, CreateRectRgn(0, 2, 2, 5), RGN_OR);
    const std::vector<uint8_t> D = GetRegionData(L);
    ASSERT_EQ(D.size(), 64u);
    EXPECT_EQ(GetRegionDataSize(L), 64u);
    const uint32_t Expected[] = {32, 1, 2, 32, 0, 0, 4, 5, 0, 0, 4, 2, 0, 2, 2, 5};
    for (size_t I = 0; I < 16; ++I)
        EXPECT_EQ(LE32(D, 4 * I), Expected[I]) << "field " << I;
    // An empty region is a header with no rectangles.
    const std::vector<uint8_t> E = GetRegionData(QRegion());
    ASSERT_EQ(E.size(), 32u);
    EXPECT_EQ(LE32(E, 8), 0u);
    ASSERT_TRUE(ExtCreateRegion(E).has_value());
    EXPECT_TRUE(ExtCreateRegion(E)->isEmpty());
}

TEST(RegionsTest, RegionDataRoundTrips)
{
    QRegion Scattered;
    for (int I = 0; I < 20; ++I)
        CombineRgn(Scattered, Scattered, CreateEllipticRgn(I * 7, (I * 13) % 50, I * 7 + 11, (I * 13) % 50 + 9), RGN_OR);
    const QRegion Regions[] = {CreateRectRgn(-5, -6, 7, 8), CreateEllipticRgn(0, 0, 31, 17),
                               CreatePolygonRgn(Star, ALTERNATE), CreateRoundRectRgn(3, 3, 40, 30, 12, 9), Scattered};
    for (const QRegion& R : Regions) {
        SCOPED_TRACE(R.rectCount());
        const std::vector<uint8_t> D = GetRegionData(R);
        const std::optional<QRegion> Back = ExtCreateRegion(D);
        ASSERT_TRUE(Back.has_value());
        EXPECT_TRUE(EqualRgn(*Back, R));
        EXPECT_EQ(GetRegionData(*Back), D);
        // Bounding rectangle in the header.
        const TRect B = RegionBox(R);
        EXPECT_EQ(int32_t(LE32(D, 16)), B.Left);
        EXPECT_EQ(int32_t(LE32(D, 28)), B.Bottom);
    }
    // The stored form is canonical: the same pixels give the same bytes
    // however the region was built.
    QRegion A = CreateRectRgn(0, 0, 10, 1), B = CreateRectRgn(0, 1, 10, 2);
    QRegion AB, BA;
    CombineRgn(AB, A, B, RGN_OR);
    CombineRgn(BA, B, A, RGN_OR);
    EXPECT_EQ(GetRegionData(AB), GetRegionData(CreateRectRgn(0, 0, 10, 2)));
    EXPECT_EQ(GetRegionData(BA), GetRegionData(AB));
}

TEST(RegionsTest, BadRegionDataGivesNoRegion)
{
    const std::vector<TRect> Two = {{0, 0, 4, 2}, {0, 2, 2, 5}};
    auto Truncated = RegionBytes(32, 1, 2, 32, Two);
    Truncated.resize(Truncated.size() - 1);
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> Cases = {
        {"empty", {}},
        {"short header", std::vector<uint8_t>(31, 0)},
        {"header size 40", RegionBytes(40, 1, 2, 32, Two)},
        {"header size 0", RegionBytes(0, 1, 2, 32, Two)},
        {"type 2", RegionBytes(32, 2, 2, 32, Two)},
        {"count larger than the data", RegionBytes(32, 1, 3, 48, Two)},
        {"byte size not 16 x count", RegionBytes(32, 1, 2, 16, Two)},
        {"huge count", RegionBytes(32, 1, 0x10000000, 0, Two)},
        {"count overflowing the byte size", RegionBytes(32, 1, 0x10000001, 16, Two)},
        {"truncated rectangle", Truncated},
        {"coordinate out of range", RegionBytes(32, 1, 1, 16, {{0, 0, 1 << 28, 4}})},
        {"negative coordinate out of range", RegionBytes(32, 1, 1, 16, {{-(1 << 28) - 1, 0, 4, 4}})},
    };
    for (const auto& [Name, Data] : Cases) {
        SCOPED_TRACE(Name);
        EXPECT_FALSE(ExtCreateRegion(Data).has_value());
    }
    EXPECT_FALSE(ExtCreateRegion(nullptr, 100).has_value());
    // Accepted variants: trailing bytes, rectangles in any order and
    // overlapping, empty rectangles skipped.
    auto Trailing = RegionBytes(32, 1, 2, 32, Two);
    Trailing.insert(Trailing.end(), 7, 0xEE);
    ASSERT_TRUE(ExtCreateRegion(Trailing).has_value());
    const auto Messy = ExtCreateRegion(RegionBytes(32, 1, 4, 64, {{0, 2, 2, 5}, {5, 5, 5, 9}, {0, 0, 4, 2}, {1, 0, 2, 4}}));
    ASSERT_TRUE(Messy.has_value());
    EXPECT_TRUE(EqualRgn(*Messy, *ExtCreateRegion(RegionBytes(32, 1, 2, 32, Two))));
}

TEST(RegionsTest, BuildersMatchUnionsOfTheirRectangles)
{
    // A random picture scanned into runs, rows top to bottom.
    std::mt19937 Rng(7);
    const int W = 97, H = 61;
    std::vector<std::vector<bool>> Bits(H, std::vector<bool>(W));
    for (auto& Row : Bits)
        for (size_t X = 0; X < Row.size(); ++X)
            Row[X] = (Rng() % 5) < 3;
    // Repeat some rows so bands merge.
    for (int Y = 10; Y < 20; ++Y)
        Bits[Y] = Bits[9];
    TRegionBuilder Ordered, Reversed;
    QRegion Union;
    std::vector<TRect> Runs;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W;) {
            if (!Bits[Y][X]) {
                ++X;
                continue;
            }
            int E = X;
            while (E < W && Bits[Y][E])
                ++E;
            Ordered.AddRun(Y, X, E);
            Runs.push_back(TRect(X, Y, E, Y + 1));
            Union = Union.united(QRect(X, Y, E - X, 1));
            X = E;
        }
    for (auto It = Runs.rbegin(); It != Runs.rend(); ++It)
        Reversed.AddRun(It->Top, It->Left, It->Right);
    const QRegion A = Ordered.Build();
    EXPECT_TRUE(EqualRgn(A, Union));
    EXPECT_EQ(GetRegionRects(A).size(), size_t(A.rectCount())); // already canonical
    EXPECT_TRUE(EqualRgn(Reversed.Build(), Union));
    EXPECT_TRUE(EqualRgn(RegionFromRects(Runs), Union));
    // The builder is empty after Build.
    EXPECT_TRUE(Ordered.Build().isEmpty());
    // Runs of one row that touch or overlap merge; an unsorted row is sorted.
    TRegionBuilder B;
    B.AddRun(0, 5, 8);
    B.AddRun(0, 0, 3);
    B.AddRun(0, 2, 5);
    EXPECT_TRUE(EqualRgn(B.Build(), CreateRectRgn(0, 0, 8, 1)));
    // Overlapping rectangles in any order.
    std::vector<TRect> Rects;
    QRegion RectUnion;
    for (int I = 0; I < 60; ++I) {
        const int L = int(Rng() % 50) - 10, T = int(Rng() % 50) - 10;
        const TRect R(L, T, L + int(Rng() % 20), T + int(Rng() % 20));
        Rects.push_back(R);
        if (!R.IsEmpty())
            RectUnion = RectUnion.united(R.ToQRect());
    }
    EXPECT_TRUE(EqualRgn(RegionFromRects(Rects), RectUnion));
}

TEST(RegionsTest, FrameRegion)
{
    const std::vector<std::string> Frame = {"######", "##..##", "##..##", "######", "......"};
    EXPECT_EQ(Rows(FrameRegionOf(CreateRectRgn(0, 0, 6, 4), 2, 1), TRect(0, 0, 6, 5)), Frame);
    EXPECT_TRUE(EqualRgn(FrameRegionOf(CreateRectRgn(0, 0, 3, 3), 2, 2), CreateRectRgn(0, 0, 3, 3)));
}

TEST(RegionsTest, FillFrameAndInvertOnACanvas)
{
    QImage Img(8, 6, QImage::Format_RGB32);
    Img.fill(0xFFFFFFFF);
    TCanvas C(&Img);
    TBrush Red;
    Red.SetColor(clRed);
    const QRegion R = CreateRectRgn(1, 1, 7, 5);
    FrameRgn(&C, R, &Red, 1, 1);
    EXPECT_EQ(Img.pixel(1, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Img.pixel(6, 4) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Img.pixel(2, 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Img.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    InvertRgn(&C, CreateRectRgn(2, 2, 4, 3));
    EXPECT_EQ(Img.pixel(2, 2) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(Img.pixel(3, 2) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(Img.pixel(4, 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_FALSE(C.HasClipRegion()); // the clip region is restored
    TBrush Blue;
    Blue.SetColor(clBlue);
    FillRgn(&C, CreateEllipticRgn(0, 0, 8, 6), &Blue);
    EXPECT_EQ(Img.pixel(4, 3) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Img.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
}
