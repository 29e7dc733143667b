// The suite bitmap's effects, bilinear scaling, region building and
// transparent drawing on square pictures of 1024 and 4096 pixels a side,
// beside the yardsticks they are compared with in the same run: a plain
// memory copy of the store, and the nearest operations of Qt on the same
// picture (invertPixels, a grey conversion, mirrored, smooth scaling).
// bench/compare-bitmap.sh runs these and prints the ratios.
//
// Names: nvBitmap/<Operation>/<side>, Copy/Store/<side>, Qt/<Operation>/<side>.
// CPU times are those of the whole process: Qt spreads large conversions
// over its thread pool, and its worker threads' time counts too.
#include <benchmark/benchmark.h>

#include <QImage>

#include <cstring>
#include <memory>
#include <vector>

#include "Pictures.h"
#include "System.h"
#include "nvBitmap.h"

namespace {

// A picture with smooth gradients and noise, as photographs have; the same
// for every run.
void Paint(TnvBitmap& B, int N)
{
    B.SetSize(N, N);
    uint32_t Seed = 12345;
    for (int Y = 0; Y < N; ++Y) {
        TRGBTriple* Row = B.Row(Y);
        for (int X = 0; X < N; ++X) {
            Seed = Seed * 1664525u + 1013904223u;
            const int Noise = int(Seed >> 27) - 16;
            Row[X] = MakeTriple(ClampByte(X * 255 / N + Noise), ClampByte(Y * 255 / N - Noise),
                                ClampByte((X + Y) * 127 / N + Noise / 2));
        }
    }
}

// A disc of picture on a white (transparent) ground.
void PaintShape(TnvBitmap& B, int N)
{
    Paint(B, N);
    const int64_t R = int64_t(N) * N / 5;
    for (int Y = 0; Y < N; ++Y)
        for (int X = 0; X < N; ++X) {
            const int64_t DX = X - N / 2, DY = Y - N / 2;
            if (DX * DX + DY * DY > R)
                B.Row(Y)[X] = MakeTriple(255, 255, 255);
        }
}

void Account(benchmark::State& State, int N)
{
    State.SetItemsProcessed(int64_t(State.iterations()) * N * N);
    State.SetBytesProcessed(int64_t(State.iterations()) * N * N * 3);
}

// An effect applied again and again to the same picture.
template <class F>
void Effect(benchmark::State& State, F Apply)
{
    const int N = int(State.range(0));
    TnvBitmap B;
    Paint(B, N);
    RandSeed = 1;
    for (auto _ : State) {
        Apply(B);
        benchmark::DoNotOptimize(B.Bits());
        benchmark::ClobberMemory();
    }
    Account(State, N);
}

#define NV_EFFECT(Op, Call)                                                                                      \
    void BM_##Op(benchmark::State& State) { Effect(State, [](TnvBitmap& B) { Call; }); }                       \
    BENCHMARK(BM_##Op)->Name("nvBitmap/" #Op)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()

NV_EFFECT(Lightness, B.Lightness(40));
NV_EFFECT(Contrast, B.Contrast(60));
NV_EFFECT(Invert, B.Invert());
NV_EFFECT(GrayScale, B.GrayScale());
NV_EFFECT(Saturation, B.Saturation(300));
NV_EFFECT(AddRGB, B.AddRGB(20, -10, 5));
NV_EFFECT(Colorize, B.Colorize(220, 180, 200));
NV_EFFECT(BlurStep, B.BlurStep(2));
NV_EFFECT(GaussianBlur, B.GaussianBlur(3));
NV_EFFECT(Sharpen, B.Sharpen(1));
NV_EFFECT(Emboss, B.Emboss());
NV_EFFECT(Sponge, B.Sponge(3));
NV_EFFECT(FlipHorizontal, B.Flip(true));
NV_EFFECT(FlipVertical, B.Flip(false));
NV_EFFECT(Rotate, B.Rotate(TPoint(-1, -1), 30));
NV_EFFECT(Wave, B.Wave(40, 40, 5, false));
NV_EFFECT(MakeMask, B.MakeMask(MakeTriple(255, 255, 255)));
NV_EFFECT(ReplaceColor, B.ReplaceColor(MakeTriple(255, 255, 255), MakeTriple(0, 0, 0)));

// The same table effects and flips with at most AVX2 (no AVX-512), and with
// the baseline loops only, as on processors without those instructions.
template <class F>
void EffectWith(benchmark::State& State, TnvBitmapKernels Kernels, F Apply)
{
    SetBitmapKernels(Kernels);
    Effect(State, Apply);
    SetBitmapKernels(TnvBitmapKernels::Best);
}

#define NV_LIMITED(Op, Call)                                                                                     \
    void BM_Avx2##Op(benchmark::State& State)                                                                   \
    {                                                                                                           \
        EffectWith(State, TnvBitmapKernels::Avx2, [](TnvBitmap& B) { Call; });                                  \
    }                                                                                                           \
    BENCHMARK(BM_Avx2##Op)                                                                                      \
        ->Name("nvBitmapAvx2/" #Op)                                                                             \
        ->Arg(1024)                                                                                             \
        ->Arg(4096)                                                                                             \
        ->Unit(benchmark::kMillisecond)                                                                         \
        ->MeasureProcessCPUTime();                                                                              \
    void BM_Baseline##Op(benchmark::State& State)                                                               \
    {                                                                                                           \
        EffectWith(State, TnvBitmapKernels::Baseline, [](TnvBitmap& B) { Call; });                              \
    }                                                                                                           \
    BENCHMARK(BM_Baseline##Op)                                                                                  \
        ->Name("nvBitmapBaseline/" #Op)                                                                         \
        ->Arg(1024)                                                                                             \
        ->Arg(4096)                                                                                             \
        ->Unit(benchmark::kMillisecond)                                                                         \
        ->MeasureProcessCPUTime()

NV_LIMITED(Lightness, B.Lightness(40));
NV_LIMITED(Contrast, B.Contrast(60));
NV_LIMITED(Invert, B.Invert());
NV_LIMITED(GrayScale, B.GrayScale());
NV_LIMITED(FlipHorizontal, B.Flip(true));
NV_LIMITED(FlipVertical, B.Flip(false));

void BM_AlphaBlend(benchmark::State& State)
{
    const int N = int(State.range(0));
    TnvBitmap Blend;
    PaintShape(Blend, N);
    Effect(State, [&](TnvBitmap& B) { B.AlphaBlend(&Blend, 100, false); });
}
BENCHMARK(BM_AlphaBlend)->Name("nvBitmap/AlphaBlend")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Bilinear scaling to three quarters of the side, drawn onto a 32-bit
// framework bitmap (the off-screen image a control paints on).
void BM_SmoothStretch(benchmark::State& State)
{
    const int N = int(State.range(0)), M = N * 3 / 4;
    TnvBitmap B;
    Paint(B, N);
    B.SetSmoothStretching(true);
    TBitmap Dest;
    Dest.SetSize(M, M);
    for (auto _ : State)
        B.SmoothStretchDraw(Dest.Canvas(), TRect(0, 0, M, M));
    Account(State, N);
}
BENCHMARK(BM_SmoothStretch)->Name("nvBitmap/SmoothStretch")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_Region(benchmark::State& State)
{
    const int N = int(State.range(0));
    TnvBitmap B;
    PaintShape(B, N);
    for (auto _ : State)
        benchmark::DoNotOptimize(RegionFromBitmap(&B, clWhite));
    Account(State, N);
}
BENCHMARK(BM_Region)->Name("nvBitmap/Region")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_TransparentDraw(benchmark::State& State)
{
    const int N = int(State.range(0));
    TnvBitmap B;
    PaintShape(B, N);
    B.SetTransparent(true);
    TBitmap Dest;
    Dest.SetSize(N, N);
    for (auto _ : State)
        B.TransparentDraw(Dest.Canvas(), TRect(0, 0, N, N));
    Account(State, N);
}
BENCHMARK(BM_TransparentDraw)->Name("nvBitmap/TransparentDraw")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// ---------------------------------------------------------------- yardsticks

void BM_CopyStore(benchmark::State& State)
{
    const int N = int(State.range(0));
    TnvBitmap B;
    Paint(B, N);
    std::vector<uint8_t> Dest(static_cast<size_t>(B.ImageSize()), 1);
    for (auto _ : State) {
        std::memcpy(Dest.data(), B.Bits(), Dest.size());
        benchmark::DoNotOptimize(Dest.data());
        benchmark::ClobberMemory();
    }
    Account(State, N);
}
BENCHMARK(BM_CopyStore)->Name("Copy/Store")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Qt on the same picture: the store itself as a QImage (BGR888), as the
// effects see it.
template <class F>
void QtOperation(benchmark::State& State, F Apply)
{
    const int N = int(State.range(0));
    TnvBitmap B;
    Paint(B, N);
    QImage I = B.Image().copy();
    for (auto _ : State) {
        Apply(I);
        benchmark::ClobberMemory();
    }
    Account(State, N);
}

void BM_QtInvert(benchmark::State& State)
{
    QtOperation(State, [](QImage& I) { I.invertPixels(); });
}
BENCHMARK(BM_QtInvert)->Name("Qt/Invert")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_QtGrayScale(benchmark::State& State)
{
    QtOperation(State, [](QImage& I) { benchmark::DoNotOptimize(I.convertToFormat(QImage::Format_Grayscale8)); });
}
BENCHMARK(BM_QtGrayScale)->Name("Qt/GrayScale")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_QtConvert32(benchmark::State& State)
{
    QtOperation(State, [](QImage& I) { benchmark::DoNotOptimize(I.convertToFormat(QImage::Format_RGB32)); });
}
BENCHMARK(BM_QtConvert32)->Name("Qt/ConvertToRGB32")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_QtFlipHorizontal(benchmark::State& State)
{
    QtOperation(State, [](QImage& I) { I = I.mirrored(true, false); });
}
BENCHMARK(BM_QtFlipHorizontal)->Name("Qt/FlipHorizontal")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_QtFlipVertical(benchmark::State& State)
{
    QtOperation(State, [](QImage& I) { I = I.mirrored(false, true); });
}
BENCHMARK(BM_QtFlipVertical)->Name("Qt/FlipVertical")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_QtSmoothStretch(benchmark::State& State)
{
    const int N = int(State.range(0)), M = N * 3 / 4;
    QtOperation(State, [M](QImage& I) {
        benchmark::DoNotOptimize(I.scaled(M, M, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    });
}
BENCHMARK(BM_QtSmoothStretch)->Name("Qt/SmoothStretch")->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
