// Region building from pictures (RegionFromGraphic) and the drawing helpers
// that run on every paint.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QRandomGenerator>

#include <cmath>
#include <memory>

#include "Pictures.h"
#include "Regions.h"
#include "nvCanvas.h"
#include "nvCommon.h"

namespace {

constexpr int Size = 1024;
const QRgb Key = qRgb(255, 0, 255);
const QRgb Ink = qRgb(20, 60, 120);

enum TPattern { Noise, Rings, Checker };

// A 1024 x 1024 picture with many runs: random noise (about 256 runs a row),
// concentric rings (a shaped window's outline, a few runs a row) or a
// one-pixel checkerboard (512 runs a row, the worst case).
QImage MakePicture(TPattern Pattern)
{
    QImage I(Size, Size, QImage::Format_RGB32);
    QRandomGenerator Rng(42);
    for (int Y = 0; Y < Size; ++Y) {
        auto* Row = reinterpret_cast<QRgb*>(I.scanLine(Y));
        for (int X = 0; X < Size; ++X) {
            bool Opaque = false;
            switch (Pattern) {
            case Noise: Opaque = Rng.bounded(2) == 0; break;
            case Rings: Opaque = static_cast<int>(std::hypot(X - Size / 2, Y - Size / 2)) / 24 % 2 == 0; break;
            case Checker: Opaque = (X + Y) % 2 == 0; break;
            }
            Row[X] = Opaque ? Ink : Key;
        }
    }
    return I;
}

std::unique_ptr<TBitmap> MakeBitmap(TPattern Pattern, TPixelFormat Format)
{
    auto B = std::make_unique<TBitmap>();
    B->SetImage(MakePicture(Pattern));
    B->SetPixelFormat(Format);
    return B;
}

void BM_RegionFromGraphic(benchmark::State& State)
{
    const auto Pattern = static_cast<TPattern>(State.range(0));
    const auto Format = static_cast<TPixelFormat>(State.range(1));
    auto Bitmap = MakeBitmap(Pattern, Format);
    const TColor Transparent = QRgbToColor(Key);
    int Rects = 0;
    for (auto _ : State) {
        QRegion R = RegionFromGraphic(Bitmap.get(), Transparent);
        Rects = R.rectCount();
        benchmark::DoNotOptimize(R);
    }
    State.counters["rects"] = Rects;
    State.SetItemsProcessed(State.iterations() * int64_t(Size) * Size);
}
BENCHMARK(BM_RegionFromGraphic)
    ->ArgNames({"pattern", "format"})
    ->Args({Noise, pf24bit})
    ->Args({Noise, pfDevice})
    ->Args({Rings, pf24bit})
    ->Args({Rings, pfDevice})
    ->Args({Checker, pf24bit})
    ->Unit(benchmark::kMillisecond);

// The same region built one run at a time with region unions, on a smaller
// picture (the run-by-run union grows with the square of the runs).
void BM_RegionRunByRunUnion(benchmark::State& State)
{
    const int N = static_cast<int>(State.range(0));
    const QImage Full = MakePicture(Noise);
    const QImage I = Full.copy(0, 0, N, N);
    for (auto _ : State) {
        QRegion R;
        for (int Y = 0; Y < N; ++Y) {
            const auto* Row = reinterpret_cast<const QRgb*>(I.constScanLine(Y));
            for (int X = 0; X < N;) {
                if (Row[X] == Key) {
                    ++X;
                    continue;
                }
                const int X1 = X;
                while (X < N && Row[X] != Key)
                    ++X;
                R = R.united(QRect(X1, Y, X - X1, 1));
            }
        }
        benchmark::DoNotOptimize(R);
    }
}
BENCHMARK(BM_RegionRunByRunUnion)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond);

void BM_RegionFromGraphicSmall(benchmark::State& State)
{
    const int N = static_cast<int>(State.range(0));
    TBitmap B;
    B.SetImage(MakePicture(Noise).copy(0, 0, N, N));
    B.SetPixelFormat(pf24bit);
    for (auto _ : State)
        benchmark::DoNotOptimize(RegionFromGraphic(&B, QRgbToColor(Key)));
}
BENCHMARK(BM_RegionFromGraphicSmall)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond);

// A tree view's worth of dotted lines on a 1024 x 1024 canvas.
void BM_DrawDottedLines(benchmark::State& State)
{
    QImage I(Size, Size, QImage::Format_RGB32);
    I.fill(0xFFFFFFFFu);
    TCanvas C(&I);
    C.Pen()->SetColor(clGray);
    for (auto _ : State)
        for (int Y = 0; Y < Size; Y += 16) {
            DrawDottedLine(&C, TPoint(8, Y + 8), TPoint(40, Y + 8));
            DrawDottedLine(&C, TPoint(8, Y), TPoint(8, Y + 16));
        }
    State.SetItemsProcessed(State.iterations() * 2 * (Size / 16));
}
BENCHMARK(BM_DrawDottedLines)->Unit(benchmark::kMicrosecond);

// Tiling a small picture over a large area.
void BM_TileGraphic(benchmark::State& State)
{
    QImage I(Size, Size, QImage::Format_RGB32);
    TCanvas C(&I);
    TBitmap Tile;
    Tile.SetImage(MakePicture(Noise).copy(0, 0, State.range(0), State.range(0)));
    for (auto _ : State)
        TileGraphic(&Tile, &C, TRect(0, 0, Size, Size));
}
BENCHMARK(BM_TileGraphic)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

} // namespace
