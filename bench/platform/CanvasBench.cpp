// Hot paths of the canvas: raster-operation transfers and formatted text on
// a 1024 x 1024 picture.
#include <benchmark/benchmark.h>

#include <QImage>

#include "Canvas.h"

namespace {

constexpr int Side = 1024;

QImage Noise(uint32_t Seed)
{
    QImage I(Side, Side, QImage::Format_RGB32);
    uint32_t X = Seed;
    for (int Y = 0; Y < Side; ++Y) {
        auto* Row = reinterpret_cast<uint32_t*>(I.scanLine(Y));
        for (int K = 0; K < Side; ++K) {
            X = X * 1664525u + 1013904223u;
            Row[K] = 0xFF000000u | (X >> 8);
        }
    }
    return I;
}

// Arg: the raster operation's table (bits 16..23 of the code).
void BM_BitBltRop3(benchmark::State& State)
{
    QImage Src = Noise(1), Dst = Noise(2);
    TCanvas S(&Src), D(&Dst);
    D.Brush()->SetColor(MakeColor(0x336699));
    const uint32_t Rop = MakeRop3(static_cast<uint8_t>(State.range(0)));
    for (auto _ : State) {
        BitBlt(&D, 0, 0, Side, Side, &S, 0, 0, Rop);
        benchmark::DoNotOptimize(Dst.constBits());
    }
    State.SetItemsProcessed(State.iterations() * Side * Side);
}
BENCHMARK(BM_BitBltRop3)->Arg(0xCC)->Arg(0x66)->Arg(0xE2)->Arg(0x1B)->Arg(0x5A);

void BM_BitBltMonochromeSource(benchmark::State& State)
{
    QImage Mask = Noise(3).convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    QImage Dst = Noise(4);
    TCanvas M(&Mask), D(&Dst);
    for (auto _ : State) {
        BitBlt(&D, 0, 0, Side, Side, &M, 0, 0, SRCAND);
        benchmark::DoNotOptimize(Dst.constBits());
    }
    State.SetItemsProcessed(State.iterations() * Side * Side);
}
BENCHMARK(BM_BitBltMonochromeSource);

void BM_StretchBlt(benchmark::State& State)
{
    QImage Src = Noise(5).scaled(300, 200);
    QImage Dst = Noise(6);
    TCanvas S(&Src), D(&Dst);
    for (auto _ : State) {
        StretchBlt(&D, 0, 0, Side, Side, &S, 0, 0, 300, 200, SRCCOPY);
        benchmark::DoNotOptimize(Dst.constBits());
    }
    State.SetItemsProcessed(State.iterations() * Side * Side);
}
BENCHMARK(BM_StretchBlt);

void BM_PatternFill(benchmark::State& State)
{
    QImage Dst = Noise(7);
    TCanvas D(&Dst);
    QImage Pat(8, 8, QImage::Format_Mono);
    Pat.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int Y = 0; Y < 8; ++Y)
        Pat.scanLine(Y)[0] = (Y % 2) ? 0x55 : 0xAA;
    D.Brush()->SetBitmap(Pat);
    for (auto _ : State) {
        D.FillRect(Rect(0, 0, Side, Side));
        benchmark::DoNotOptimize(Dst.constBits());
    }
    State.SetItemsProcessed(State.iterations() * Side * Side);
}
BENCHMARK(BM_PatternFill);

// Word-wrapped text filling the picture; Arg 1 also centres and draws the
// background.
void BM_DrawTextWordBreak(benchmark::State& State)
{
    QImage Dst(Side, Side, QImage::Format_RGB32);
    Dst.fill(Qt::white);
    TCanvas D(&Dst);
    if (State.range(0) == 0)
        D.Brush()->SetStyle(bsClear);
    String Text;
    for (int I = 0; I < 400; ++I)
        Text += "The quick brown fox jumps over the &lazy dog\tand keeps running. ";
    const unsigned Flags = DT_WORDBREAK | DT_EXPANDTABS | (State.range(0) ? DT_CENTER : 0u);
    for (auto _ : State) {
        TRect R = Rect(0, 0, Side, Side);
        benchmark::DoNotOptimize(DrawText(&D, Text, R, Flags));
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(Text.size()));
}
BENCHMARK(BM_DrawTextWordBreak)->Arg(0)->Arg(1);

void BM_DrawTextCalcRect(benchmark::State& State)
{
    TCanvas D;
    String Text;
    for (int I = 0; I < 400; ++I)
        Text += "The quick brown fox jumps over the lazy dog. ";
    for (auto _ : State) {
        TRect R = Rect(0, 0, Side, 0);
        benchmark::DoNotOptimize(DrawText(&D, Text, R, DT_WORDBREAK | DT_CALCRECT));
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(Text.size()));
}
BENCHMARK(BM_DrawTextCalcRect);

} // namespace
