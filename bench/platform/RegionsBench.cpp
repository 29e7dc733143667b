// Region building from a 1024 x 1024 picture with many runs: scanning the
// picture into the one-step builder, the same runs united one at a time (what
// the builder replaces), the rectangle-list builder, and the stored region
// data round trip of the result.
#include <benchmark/benchmark.h>

#include <QImage>

#include <cstring>
#include <random>

#include "Regions.h"

namespace {

constexpr QRgb Key = 0xFFFF00FFu;

// A picture whose rows hold about Runs runs of non-key pixels each; every
// fourth row repeats the one above it, as shapes of real pictures do.
QImage Picture(int Runs)
{
    QImage I(1024, 1024, QImage::Format_RGB32);
    std::mt19937 Rng(42);
    const int Mean = 1024 / (2 * Runs);
    for (int Y = 0; Y < 1024; ++Y) {
        auto* Row = reinterpret_cast<QRgb*>(I.scanLine(Y));
        if (Y % 4 == 3) {
            std::memcpy(Row, I.constScanLine(Y - 1), 1024 * 4);
            continue;
        }
        bool On = Rng() & 1;
        for (int X = 0; X < 1024;) {
            const int Len = 1 + int(Rng() % uint32_t(2 * Mean));
            for (int K = 0; K < Len && X < 1024; ++K, ++X)
                Row[X] = On ? 0xFF000000u | (Rng() & 0xFFFFFF) : Key;
            On = !On;
        }
    }
    return I;
}

template <class F>
void ScanRuns(const QImage& I, F&& Run)
{
    for (int Y = 0; Y < I.height(); ++Y) {
        const auto* Row = reinterpret_cast<const QRgb*>(I.constScanLine(Y));
        int X = 0;
        while (X < I.width()) {
            while (X < I.width() && Row[X] == Key)
                ++X;
            const int Start = X;
            while (X < I.width() && Row[X] != Key)
                ++X;
            if (X > Start)
                Run(Y, Start, X);
        }
    }
}

void BM_RegionFromPictureBuilder(benchmark::State& State)
{
    const QImage I = Picture(int(State.range(0)));
    int64_t Runs = 0;
    ScanRuns(I, [&](int, int, int) { ++Runs; });
    TRegionBuilder B;
    for (auto _ : State) {
        ScanRuns(I, [&](int Y, int X1, int X2) { B.AddRun(Y, X1, X2); });
        QRegion R = B.Build();
        benchmark::DoNotOptimize(R.rectCount());
    }
    State.counters["runs"] = double(Runs);
    State.SetItemsProcessed(State.iterations() * Runs);
}
BENCHMARK(BM_RegionFromPictureBuilder)->Arg(8)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

void BM_RegionFromPictureUnionPerRun(benchmark::State& State)
{
    const QImage I = Picture(int(State.range(0)));
    for (auto _ : State) {
        QRegion R;
        ScanRuns(I, [&](int Y, int X1, int X2) { R = R.united(QRect(X1, Y, X2 - X1, 1)); });
        benchmark::DoNotOptimize(R.rectCount());
    }
}
BENCHMARK(BM_RegionFromPictureUnionPerRun)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_RegionFromRectList(benchmark::State& State)
{
    const QImage I = Picture(int(State.range(0)));
    std::vector<TRect> Rects;
    ScanRuns(I, [&](int Y, int X1, int X2) { Rects.push_back(TRect(X1, Y, X2, Y + 1)); });
    for (auto _ : State) {
        QRegion R = RegionFromRects(Rects);
        benchmark::DoNotOptimize(R.rectCount());
    }
}
BENCHMARK(BM_RegionFromRectList)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

void BM_RegionDataRoundTrip(benchmark::State& State)
{
    const QImage I = Picture(int(State.range(0)));
    TRegionBuilder B;
    ScanRuns(I, [&](int Y, int X1, int X2) { B.AddRun(Y, X1, X2); });
    const QRegion R = B.Build();
    for (auto _ : State) {
        const std::vector<uint8_t> D = GetRegionData(R);
        std::optional<QRegion> Back = ExtCreateRegion(D);
        benchmark::DoNotOptimize(Back->rectCount());
    }
    State.counters["rects"] = double(R.rectCount());
}
BENCHMARK(BM_RegionDataRoundTrip)->Arg(64)->Unit(benchmark::kMillisecond);

} // namespace
