// The bitmap's pixel effects. Each effect is checked against its plain
// statement (nvBitmapReference.h) on pictures of many shapes, every pixel
// compared: one-pixel and one-row pictures, widths with every row gap, and
// wide rows that take the long-vector paths with their tails. Hand-worked
// small cases pin the results the effects are known for.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "System.h"
#include "nvBitmap.h"
#include "nvBitmapReference.h"

using nvref::Pic;

namespace {

struct TShape {
    int W, H;
};
// 1 x 1, single rows and columns, every row gap, and rows longer than the
// 64-byte and 21-pixel blocks of the vector paths.
const TShape Shapes[] = {{1, 1}, {1, 7}, {9, 1}, {2, 2}, {3, 3}, {5, 4}, {6, 5}, {7, 6}, {64, 3}, {70, 9}, {133, 5}};

Pic Applied(const Pic& P, const std::function<void(TnvBitmap&)>& Effect)
{
    TnvBitmap B;
    nvref::ToBitmap(P, B);
    const std::vector<uint8_t> Gaps = [&] {
        std::vector<uint8_t> G;
        for (int Y = 0; Y < B.Height(); ++Y)
            for (int K = 0; K < B.RowGap(); ++K)
                G.push_back(B.Bits()[Y * B.RowStride() + 3 * B.Width() + K]);
        return G;
    }();
    Effect(B);
    std::vector<uint8_t> After;
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int K = 0; K < B.RowGap(); ++K)
            After.push_back(B.Bits()[Y * B.RowStride() + 3 * B.Width() + K]);
    EXPECT_EQ(After, Gaps) << "gap bytes changed";
    return nvref::FromBitmap(B);
}

// Runs the effect on every shape (random pictures and pictures of few
// colours) and compares with the reference.
// With every choice of instruction sets: what the processor offers, at most
// AVX2, and the plain loops.
void CheckAgainstReference(const std::function<void(TnvBitmap&)>& Effect, const std::function<void(Pic&)>& Reference,
                           int Palette = 0)
{
    struct TRestore {
        ~TRestore() { SetBitmapKernels(TnvBitmapKernels::Best); }
    } Restore;
    const TnvBitmapKernels Kernels[] = {TnvBitmapKernels::Best, TnvBitmapKernels::Avx2, TnvBitmapKernels::Baseline};
    const char* const KernelNames[] = {"best loops", "AVX2 loops", "baseline loops"};
    unsigned Seed = 100;
    for (int Pass = 0; Pass < 3 * int(std::size(Shapes)); ++Pass) {
        const int K = Pass / int(std::size(Shapes));
        const TShape& S = Shapes[Pass % std::size(Shapes)];
        SetBitmapKernels(Kernels[K]);
        SCOPED_TRACE(testing::Message() << S.W << " x " << S.H << ", " << KernelNames[K]);
        Pic P = nvref::RandomPic(S.W, S.H, ++Seed, Palette);
        const Pic Got = Applied(P, Effect);
        Reference(P);
        ASSERT_EQ(Got.P.size(), P.P.size());
        for (size_t I = 0; I < P.P.size(); ++I)
            if (!(Got.P[I] == P.P[I])) {
                ADD_FAILURE() << "pixel (" << I % size_t(S.W) << ", " << I / size_t(S.W) << "): "
                              << int(Got.P[I].rgbtRed) << "," << int(Got.P[I].rgbtGreen) << ","
                              << int(Got.P[I].rgbtBlue) << " instead of " << int(P.P[I].rgbtRed) << ","
                              << int(P.P[I].rgbtGreen) << "," << int(P.P[I].rgbtBlue);
                return;
            }
    }
}

Pic Solid(int W, int H, TRGBTriple T)
{
    return Pic(W, H, T);
}

} // namespace

// ---------------------------------------------------------------- channel tables

TEST(nvBitmapEffects, LightnessAndContrastTables)
{
    for (int L : {INT_MIN, -16843010, -300, -256, -255, -100, -1, 0, 1, 77, 255, 256, 300, 16843010, INT_MAX}) {
        SCOPED_TRACE(testing::Message() << "Lightness " << L);
        CheckAgainstReference([L](TnvBitmap& B) { B.Lightness(L); }, [L](Pic& P) { nvref::Lightness(P, L); });
    }
    for (int C : {INT_MIN, -70000, -300, -128, -1, 0, 1, 50, 255, 256, 100000, 33554432, INT_MAX}) {
        SCOPED_TRACE(testing::Message() << "Contrast " << C);
        CheckAgainstReference([C](TnvBitmap& B) { B.Contrast(C); }, [C](Pic& P) { nvref::Contrast(P, C); });
    }
}

TEST(nvBitmapEffects, KnownChannelResults)
{
    struct Case {
        const char* Name;
        std::function<void(TnvBitmap&)> Effect;
        TRGBTriple In, Out;
    } Cases[] = {
        {"Lightness 256 whitens", [](TnvBitmap& B) { B.Lightness(256); }, MakeTriple(0, 7, 200), MakeTriple(255, 255, 255)},
        {"Lightness -256 blackens", [](TnvBitmap& B) { B.Lightness(-256); }, MakeTriple(255, 7, 200), MakeTriple(0, 0, 0)},
        // 100 + (155 * 128) shr 8 = 177; 100 - (100 * 128) shr 8 = 50
        {"Lightness 128", [](TnvBitmap& B) { B.Lightness(128); }, MakeTriple(100, 100, 100), MakeTriple(177, 177, 177)},
        {"Lightness -128", [](TnvBitmap& B) { B.Lightness(-128); }, MakeTriple(100, 100, 100), MakeTriple(50, 50, 50)},
        // 100 - (28 * 100) div 256 = 90; 200 + (72 * 100) div 256 = 228; 127 + 0 = 127
        {"Contrast 100", [](TnvBitmap& B) { B.Contrast(100); }, MakeTriple(100, 200, 127), MakeTriple(90, 228, 127)},
        // negative: 100 - (28 * -100) div 256 = 100 + 10 (truncated toward zero)
        {"Contrast -100", [](TnvBitmap& B) { B.Contrast(-100); }, MakeTriple(100, 200, 0), MakeTriple(110, 172, 50)},
        {"Invert", [](TnvBitmap& B) { B.Invert(); }, MakeTriple(0, 100, 255), MakeTriple(255, 155, 0)},
        {"GrayScale of white", [](TnvBitmap& B) { B.GrayScale(); }, MakeTriple(255, 255, 255), MakeTriple(255, 255, 255)},
        {"GrayScale of 2, 2, 2", [](TnvBitmap& B) { B.GrayScale(); }, MakeTriple(2, 2, 2), MakeTriple(0, 0, 0)},
        // 10 div 3 + 20 div 3 + 200 div 3 = 3 + 6 + 66
        {"GrayScale per channel", [](TnvBitmap& B) { B.GrayScale(); }, MakeTriple(200, 20, 10), MakeTriple(75, 75, 75)},
        {"Saturation 0 is gray", [](TnvBitmap& B) { B.Saturation(0); }, MakeTriple(200, 20, 10), MakeTriple(75, 75, 75)},
        {"AddRGB", [](TnvBitmap& B) { B.AddRGB(100, -30, 5); }, MakeTriple(200, 20, 10), MakeTriple(255, 0, 15)},
        {"AddRGB 0", [](TnvBitmap& B) { B.AddRGB(0, 0, 0); }, MakeTriple(200, 20, 10), MakeTriple(200, 20, 10)},
        {"Colorize 192", [](TnvBitmap& B) { B.Colorize(192, 192, 192); }, MakeTriple(200, 20, 10), MakeTriple(200, 20, 10)},
        {"Colorize", [](TnvBitmap& B) { B.Colorize(255, 0, 200); }, MakeTriple(200, 20, 10), MakeTriple(255, 0, 18)},
        {"MakeMask key", [](TnvBitmap& B) { B.MakeMask(MakeTriple(1, 2, 3)); }, MakeTriple(1, 2, 3), MakeTriple(0, 0, 0)},
        {"MakeMask other", [](TnvBitmap& B) { B.MakeMask(MakeTriple(1, 2, 3)); }, MakeTriple(1, 2, 4), MakeTriple(255, 255, 255)},
        {"ReplaceColor", [](TnvBitmap& B) { B.ReplaceColor(MakeTriple(1, 2, 3), MakeTriple(9, 9, 9)); }, MakeTriple(1, 2, 3), MakeTriple(9, 9, 9)},
        {"ReplaceColor other", [](TnvBitmap& B) { B.ReplaceColor(MakeTriple(1, 2, 3), MakeTriple(9, 9, 9)); }, MakeTriple(3, 2, 1), MakeTriple(3, 2, 1)},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        for (const TShape& S : {TShape{1, 1}, TShape{70, 2}}) {
            const Pic Got = Applied(Solid(S.W, S.H, C.In), C.Effect);
            EXPECT_EQ(Got, Solid(S.W, S.H, C.Out));
        }
    }
}

TEST(nvBitmapEffects, ZeroAmountsChangeNothing)
{
    const std::function<void(TnvBitmap&)> Cases[] = {
        [](TnvBitmap& B) { B.Lightness(0); },       [](TnvBitmap& B) { B.Contrast(0); },
        [](TnvBitmap& B) { B.AddRGB(0, 0, 0); },    [](TnvBitmap& B) { B.Colorize(192, 192, 192); },
        [](TnvBitmap& B) { B.GaussianBlur(0); },    [](TnvBitmap& B) { B.GaussianBlur(-3); },
        [](TnvBitmap& B) { B.BlurStep(0); },        [](TnvBitmap& B) { B.Sharpen(0); },
        [](TnvBitmap& B) { B.Wave(0, 5, 9, false); }, [](TnvBitmap& B) { B.Wave(5, 0, 9, true); },
        [](TnvBitmap& B) { B.Rotate(TPoint(-1, -1), 0); },
        [](TnvBitmap& B) { B.Invert(); B.Invert(); },
        [](TnvBitmap& B) { B.Flip(true); B.Flip(true); },
        [](TnvBitmap& B) { B.Flip(false); B.Flip(false); },
    };
    int I = 0;
    for (const auto& Effect : Cases) {
        SCOPED_TRACE(I++);
        for (const TShape& S : Shapes) {
            const Pic P = nvref::RandomPic(S.W, S.H, unsigned(S.W * 31 + S.H));
            EXPECT_EQ(Applied(P, Effect), P);
        }
    }
}

TEST(nvBitmapEffects, GrayAndSaturation)
{
    CheckAgainstReference([](TnvBitmap& B) { B.GrayScale(); }, nvref::GrayScale);
    CheckAgainstReference([](TnvBitmap& B) { B.Saturation(0); }, nvref::GrayScale);
    for (int S : {INT_MIN, -300, -5, 0, 1, 100, 256, 300, 1000, 65535, 70000, INT_MAX}) {
        SCOPED_TRACE(testing::Message() << "Saturation " << S);
        CheckAgainstReference([S](TnvBitmap& B) { B.Saturation(S); }, [S](Pic& P) { nvref::Saturation(P, S); });
    }
}

TEST(nvBitmapEffects, OffsetsAndColoring)
{
    struct Case {
        int R, G, B;
    } Cases[] = {{0, 0, 0}, {10, -20, 300}, {-300, 255, -255}, {INT_MAX, INT_MIN, 1}, {192, 192, 192}, {500, 0, -1}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.R << ", " << C.G << ", " << C.B);
        CheckAgainstReference([&](TnvBitmap& B) { B.AddRGB(C.R, C.G, C.B); },
                              [&](Pic& P) { nvref::AddRGB(P, C.R, C.G, C.B); });
        CheckAgainstReference([&](TnvBitmap& B) { B.Colorize(C.R, C.G, C.B); },
                              [&](Pic& P) { nvref::Colorize(P, C.R, C.G, C.B, false, TRGBTriple()); });
    }
    // With a transparent colour set, Colorize leaves the pixels of that
    // colour alone; the few-colour pictures have many of them.
    const TRGBTriple Key = nvref::RandomPic(1, 1, 0, 4).At(0, 0);
    CheckAgainstReference(
        [&](TnvBitmap& B) {
            B.SetTransparentColor(TripleToColor(Key));
            B.Colorize(100, 250, 30);
        },
        [&](Pic& P) { nvref::Colorize(P, 100, 250, 30, true, Key); }, 4);
}

// ---------------------------------------------------------------- neighbourhood effects

TEST(nvBitmapEffects, BlurReadsThePartlyReplacedPicture)
{
    // One row of three pixels, BlurStep(1): every sample row is the row
    // itself, so pixel 1 reads the new pixel 0 and pixel 2 the new pixel 1.
    Pic P(3, 1);
    P.At(0, 0) = MakeTriple(0, 0, 0);
    P.At(1, 0) = MakeTriple(100, 100, 100);
    P.At(2, 0) = MakeTriple(200, 200, 200);
    const Pic Got = Applied(P, [](TnvBitmap& B) { B.BlurStep(1); });
    // (100 + 0 + 100 + 0) shr 2 = 50; (200 + 50 + 200 + 50) shr 2 = 125;
    // (200 + 125 + 200 + 125) shr 2 = 162
    EXPECT_EQ(Got.At(0, 0), MakeTriple(50, 50, 50));
    EXPECT_EQ(Got.At(1, 0), MakeTriple(125, 125, 125));
    EXPECT_EQ(Got.At(2, 0), MakeTriple(162, 162, 162));
}

TEST(nvBitmapEffects, BlurSharpenEmbossMatchTheirStatements)
{
    for (int D : {INT_MIN, -40, -2, -1, 1, 2, 3, 5, 34, 50, 200, INT_MAX}) {
        SCOPED_TRACE(testing::Message() << "distance " << D);
        CheckAgainstReference([D](TnvBitmap& B) { B.BlurStep(D); }, [D](Pic& P) { nvref::BlurStep(P, D); });
        CheckAgainstReference([D](TnvBitmap& B) { B.Sharpen(D); }, [D](Pic& P) { nvref::Sharpen(P, D); });
    }
    CheckAgainstReference([](TnvBitmap& B) { B.GaussianBlur(4); },
                          [](Pic& P) {
                              for (int D = 4; D >= 1; --D)
                                  nvref::BlurStep(P, D);
                          });
    CheckAgainstReference([](TnvBitmap& B) { B.Emboss(); }, nvref::Emboss);
}

TEST(nvBitmapEffects, GaussianBlurOfHugeAmounts)
{
    // Distances beyond the picture repeat one corner-sampling step; the
    // result is that of every pass, and a huge amount still finishes.
    for (int Amount : {9, 40, 700}) {
        SCOPED_TRACE(Amount);
        CheckAgainstReference([Amount](TnvBitmap& B) { B.GaussianBlur(Amount); },
                              [Amount](Pic& P) {
                                  for (int D = Amount; D >= 1; --D)
                                      nvref::BlurStep(P, D);
                              });
    }
    TnvBitmap B;
    nvref::ToBitmap(nvref::RandomPic(6, 5, 77), B);
    TnvBitmap C;
    C.Assign(&B);
    B.GaussianBlur(INT_MAX);
    C.GaussianBlur(700);
    EXPECT_EQ(nvref::FromBitmap(B), nvref::FromBitmap(C));
}

TEST(nvBitmapEffects, SharpenOfAFlatPictureKeepsIt)
{
    // 2 * c - 8 * c / 8 = c
    const Pic P = Solid(6, 4, MakeTriple(90, 0, 255));
    EXPECT_EQ(Applied(P, [](TnvBitmap& B) { B.Sharpen(1); }), P);
    // A bright dot on black: 2 x 200 = 400 clamps to 255; its right
    // neighbour (read before the dot is replaced) gets (0 - 16 * 200) / 128.
    Pic Dot = Solid(3, 3, MakeTriple(0, 0, 0));
    Dot.At(1, 1) = MakeTriple(200, 200, 200);
    const Pic Got = Applied(Dot, [](TnvBitmap& B) { B.Sharpen(1); });
    EXPECT_EQ(Got.At(1, 1), MakeTriple(255, 255, 255));
    EXPECT_EQ(Got.At(0, 0), MakeTriple(0, 0, 0));
}

TEST(nvBitmapEffects, EmbossNeighbours)
{
    // 1 x 1 and one-row pictures use the pixel (1, H - 1) as it was, column 0
    // when there is no column 1.
    Pic One(1, 1, MakeTriple(100, 50, 0));
    EXPECT_EQ(Applied(One, [](TnvBitmap& B) { B.Emboss(); }), Solid(1, 1, MakeTriple(127, 127, 127)));
    Pic Row(3, 1);
    Row.At(0, 0) = MakeTriple(0, 0, 0);
    Row.At(1, 0) = MakeTriple(255, 255, 255);
    Row.At(2, 0) = MakeTriple(10, 10, 10);
    const Pic Got = Applied(Row, [](TnvBitmap& B) { B.Emboss(); });
    EXPECT_EQ(Got.At(0, 0), MakeTriple(0, 0, 0));       // (0 + 0) shr 1
    EXPECT_EQ(Got.At(1, 0), MakeTriple(127, 127, 127)); // (255 + 0) shr 1
    EXPECT_EQ(Got.At(2, 0), MakeTriple(5, 5, 5));
}

TEST(nvBitmapEffects, SpongeUsesTheRuntimeGenerator)
{
    for (int N : {0, 1, 2, 3, 10, 1000, -5}) {
        SCOPED_TRACE(testing::Message() << "Sponge " << N);
        nvref::Generator G{0};
        CheckAgainstReference(
            [&](TnvBitmap& B) {
                RandSeed = G.Seed;
                B.Sponge(N);
            },
            [&](Pic& P) {
                nvref::Sponge(P, N, G);
                EXPECT_EQ(RandSeed, G.Seed); // three draws a pixel, no more
            });
    }
}

// ---------------------------------------------------------------- geometry

TEST(nvBitmapEffects, FlipsExchangePixelsAndRows)
{
    CheckAgainstReference([](TnvBitmap& B) { B.Flip(true); }, [](Pic& P) { nvref::Flip(P, true); });
    CheckAgainstReference([](TnvBitmap& B) { B.Flip(false); }, [](Pic& P) { nvref::Flip(P, false); });
    // An odd width keeps its middle column, an odd height its middle row.
    const Pic P = nvref::RandomPic(5, 3, 8);
    const Pic H = Applied(P, [](TnvBitmap& B) { B.Flip(true); });
    const Pic V = Applied(P, [](TnvBitmap& B) { B.Flip(false); });
    for (int Y = 0; Y < 3; ++Y) {
        EXPECT_EQ(H.At(2, Y), P.At(2, Y));
        EXPECT_EQ(H.At(0, Y), P.At(4, Y));
    }
    for (int X = 0; X < 5; ++X) {
        EXPECT_EQ(V.At(X, 1), P.At(X, 1));
        EXPECT_EQ(V.At(X, 0), P.At(X, 2));
    }
}

TEST(nvBitmapEffects, RotateByTheStatedRounding)
{
    struct Case {
        int CX, CY;
        long double Angle;
    } Cases[] = {{-1, -1, 0},  {-1, -1, 90}, {-1, -1, -90},  {-1, -1, 180}, {-1, -1, 45},
                 {-1, -1, 30.5L}, {2, 1, 60}, {0, 0, -135}, {100, -1, 10}, {-1, -1, 360}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << "(" << C.CX << ", " << C.CY << ") " << double(C.Angle));
        CheckAgainstReference([&](TnvBitmap& B) { B.Rotate(TPoint(C.CX, C.CY), C.Angle); },
                              [&](Pic& P) { nvref::Rotate(P, C.CX, C.CY, C.Angle); });
    }
    TnvBitmap B;
    B.SetSize(3, 3);
    EXPECT_THROW(B.Rotate(TPoint(-1, -1), std::numeric_limits<long double>::infinity()), EInvalidOperation);
    EXPECT_THROW(B.Rotate(TPoint(-1, -1), std::numeric_limits<long double>::quiet_NaN()), EInvalidOperation);
}

TEST(nvBitmapEffects, RotateNinetyTurnsClockwise)
{
    // 5 x 5, centre (2, 2) (the corner between pixels): a mark above the
    // centre moves to its right; uncovered corners of a 6 x 2 picture take the
    // top-left colour.
    Pic P = Solid(5, 5, MakeTriple(0, 0, 0));
    P.At(2, 0) = MakeTriple(255, 0, 0);
    const Pic Got = Applied(P, [](TnvBitmap& B) { B.Rotate(TPoint(-1, -1), 90); });
    EXPECT_EQ(Got.At(3, 2), MakeTriple(255, 0, 0));
    EXPECT_EQ(Got.At(2, 0), MakeTriple(0, 0, 0));

    Pic Wide = Solid(6, 2, MakeTriple(0, 0, 255));
    Wide.At(0, 0) = MakeTriple(9, 9, 9);
    const Pic Turned = Applied(Wide, [](TnvBitmap& B) { B.Rotate(TPoint(-1, -1), 90); });
    EXPECT_EQ(Turned.At(5, 1), MakeTriple(9, 9, 9)); // nothing maps there
    EXPECT_EQ(Turned.At(0, 1), MakeTriple(9, 9, 9));
    EXPECT_EQ(Turned.At(3, 0), MakeTriple(0, 0, 255)); // from (2, 0)
}

TEST(nvBitmapEffects, WaveWithAndWithoutWrap)
{
    struct Case {
        int XDiv, YDiv, Ratio;
    } Cases[] = {{3, 2, 4}, {1, 1, 1}, {-2, 5, 7}, {4, -3, -6}, {1, 1, 1000}, {7, 7, -1000}};
    for (const Case& C : Cases)
        for (bool Wrap : {false, true}) {
            SCOPED_TRACE(testing::Message() << C.XDiv << " " << C.YDiv << " " << C.Ratio << " " << Wrap);
            CheckAgainstReference([&](TnvBitmap& B) { B.Wave(C.XDiv, C.YDiv, C.Ratio, Wrap); },
                                  [&](Pic& P) { nvref::Wave(P, C.XDiv, C.YDiv, C.Ratio, Wrap); });
        }
    // Without wrap, pixels displaced from outside come out white.
    const Pic Black = Solid(4, 4, MakeTriple(0, 0, 0));
    const Pic Got = Applied(Black, [](TnvBitmap& B) { B.Wave(1, 1, 3, false); });
    // Row 1: s(1) = nearest(3 sin 1) = 3, so x = 1 reads x = 4: outside.
    EXPECT_EQ(Got.At(1, 1), MakeTriple(255, 255, 255));
    EXPECT_EQ(Got.At(0, 0), MakeTriple(0, 0, 0));
}

// ---------------------------------------------------------------- blending

TEST(nvBitmapEffects, AlphaBlendOfSameSize)
{
    for (int A : {0, 1, 77, 128, 254, 255})
        for (bool Transparent : {false, true}) {
            SCOPED_TRACE(testing::Message() << "amount " << A << (Transparent ? " transparent" : ""));
            unsigned Seed = 900;
            for (const TShape& S : Shapes) {
                const Pic P = nvref::RandomPic(S.W, S.H, ++Seed);
                const Pic Q = nvref::RandomPic(S.W, S.H, Seed + 1000, 3);
                TnvBitmap Blend;
                nvref::ToBitmap(Q, Blend);
                Blend.SetTransparent(Transparent);
                Pic Want = P;
                nvref::AlphaBlend(Want, Q, A, Transparent);
                EXPECT_EQ(Applied(P, [&](TnvBitmap& B) { B.AlphaBlend(&Blend, uint8_t(A), false); }), Want);
            }
        }
    // Amount 255 gives the blend pixel less at most one: 0 on 255 gives 254.
    TnvBitmap White, Black;
    White.SetSize(2, 2);
    Black.SetSize(2, 2);
    Black.Invert();
    Black.AlphaBlend(&White, 255, false);
    EXPECT_EQ(Black.Row(1)[1], MakeTriple(254, 254, 254));
}

TEST(nvBitmapEffects, AlphaBlendSizeRules)
{
    TnvBitmap B, Small;
    nvref::ToBitmap(nvref::RandomPic(10, 10, 5), B);
    const Pic Before = nvref::FromBitmap(B);
    Small.SetSize(5, 5);
    try {
        B.AlphaBlend(&Small, 100, false);
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "In Alpha Blend, Blend Bitmap must be same dimensions as Current Bitmap");
    }
    EXPECT_EQ(nvref::FromBitmap(B), Before);
    EXPECT_THROW(B.AlphaBlend(nullptr, 100, true), EInvalidOperation);

    // Stretched: the blend picture covers (0, 0, W - 1, H - 1); the last row
    // and column blend with white. The blend bitmap's Transparent is kept and
    // its watchers hear nothing.
    Small.Invert(); // black
    Small.SetTransparent(true);
    TnvChangeLink Link;
    int Heard = 0;
    Link.OnChange = [&](TObject*) { ++Heard; };
    Small.RegisterChanges(&Link);
    TnvBitmap Target;
    Target.SetSize(10, 10);
    Target.Invert(); // black
    Target.AlphaBlend(&Small, 255, true);
    EXPECT_TRUE(Small.Transparent());
    EXPECT_EQ(Heard, 0);
    // The stretched copy is transparent and its top-left pixel (black) is
    // the key: the black area is left alone, the white border blends.
    EXPECT_EQ(Target.Row(0)[0], MakeTriple(0, 0, 0));
    EXPECT_EQ(Target.Row(8)[8], MakeTriple(0, 0, 0));
    EXPECT_EQ(Target.Row(9)[3], MakeTriple(254, 254, 254));
    EXPECT_EQ(Target.Row(4)[9], MakeTriple(254, 254, 254));

    Small.SetTransparent(false);
    TnvBitmap Gray;
    Gray.SetSize(10, 10);
    Gray.AlphaBlend(&Small, 128, true);
    EXPECT_EQ(Gray.Row(0)[0], MakeTriple(127, 127, 127)); // 255 + floor(128 * -255 / 256)
    EXPECT_EQ(Gray.Row(9)[9], MakeTriple(255, 255, 255));
}

TEST(nvBitmapEffects, EmptyBitmapsAreLeftAlone)
{
    TnvBitmap B, Other;
    B.Lightness(10);
    B.Contrast(10);
    B.Invert();
    B.GrayScale();
    B.Saturation(3);
    B.AddRGB(1, 2, 3);
    B.Colorize(1, 2, 3);
    B.BlurStep(2);
    B.GaussianBlur(3);
    B.Sharpen(1);
    B.Emboss();
    B.Sponge(3);
    B.Flip(true);
    B.Flip(false);
    B.Rotate(TPoint(-1, -1), 33);
    B.Wave(1, 2, 3, true);
    B.MakeMask(TRGBTriple());
    B.ReplaceColor(TRGBTriple(), TRGBTriple());
    B.AlphaBlend(&Other, 100, false);
    EXPECT_TRUE(B.Empty());
}
