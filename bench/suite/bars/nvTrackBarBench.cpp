// Track bars: painting a whole bar (every thumb move invalidates it) with a
// plain channel and ticks, with labelled ticks, and with the extras (partial
// fill, selection band, value text) on a long ruler.
#include <benchmark/benchmark.h>

#include <QImage>

#include "Forms.h"
#include "nvTrackBar.h"

namespace {

class TBenchTrackBar : public TnvTrackBar {
public:
    explicit TBenchTrackBar(TComponent* AOwner) : TnvTrackBar(AOwner) {}
    void PaintInto(QImage& Image) { PaintControl(Image); }
};

struct TBenchBar {
    TForm Form;
    TBenchTrackBar* Bar;
    explicit TBenchBar(int Kind)
    {
        InitApplication();
        Form.SetBounds(0, 0, 800, 200);
        Bar = new TBenchTrackBar(&Form);
        Bar->SetParent(&Form);
        Bar->SetBounds(0, 0, 600, 60);
        Bar->SetMax(100);
        Bar->SetPosition(40);
        Bar->SetFrequency(Kind == 0 ? 10 : 1);
        if (Kind >= 1) {
            Bar->SetIncrement(0.25);
            Bar->TextAttributes()->SetTickLabelFrequency(5);
            Bar->TextAttributes()->SetTickDisplayFormat("0.00");
        }
        if (Kind >= 2) {
            Bar->SetTrackPartialFillColor(clRed);
            Bar->SetSelStart(20);
            Bar->SetSelEnd(60);
            Bar->TextAttributes()->SetShowText(true);
            Bar->TextAttributes()->SetDisplayFormat("0.00 'inches'");
            Bar->TextAttributes()->SetPosition(tbtRight);
        }
    }
};

void BM_TrackBarPaint(benchmark::State& State)
{
    TBenchBar B(static_cast<int>(State.range(0)));
    QImage Image(B.Bar->Width(), B.Bar->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        B.Bar->PaintInto(Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
// 0: 11 ticks; 1: 101 ticks, 21 labels; 2: the same with fill, band and text.
BENCHMARK(BM_TrackBarPaint)->Arg(0)->Arg(1)->Arg(2);

void BM_TrackBarDragStep(benchmark::State& State)
{
    // What a drag does per mouse move: a position change and a repaint.
    TBenchBar B(1);
    QImage Image(B.Bar->Width(), B.Bar->Height(), QImage::Format_ARGB32_Premultiplied);
    double V = 0;
    for (auto _ : State) {
        V = V >= 100 ? 0 : V + 1;
        B.Bar->SetPosition(V);
        B.Bar->PaintInto(Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_TrackBarDragStep);

} // namespace
