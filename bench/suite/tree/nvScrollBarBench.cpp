// Scroll bars repaint at every step of a held arrow and every move of a
// dragged thumb: painting the classic bar, and the part layout behind hit
// tests.
#include <benchmark/benchmark.h>

#include <QImage>

#include "Forms.h"
#include "nvScrollBar.h"

namespace {

class TBenchScrollBar : public TnvScrollBar {
public:
    explicit TBenchScrollBar(TComponent* AOwner) : TnvScrollBar(AOwner) {}
    void PaintInto(QImage& Image) { PaintControl(Image); }
};

void BM_ScrollBarPaint(benchmark::State& State)
{
    InitApplication();
    TForm Form;
    auto* Bar = new TBenchScrollBar(&Form);
    Bar->SetParent(&Form);
    Bar->SetBounds(0, 0, 17, static_cast<int>(State.range(0)));
    Bar->SetPosition(40);
    QImage Image(Bar->Width(), Bar->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        Bar->PaintInto(Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_ScrollBarPaint)->Arg(200)->Arg(1000);

void BM_ScrollBarHitTest(benchmark::State& State)
{
    InitApplication();
    TForm Form;
    auto* Bar = new TBenchScrollBar(&Form);
    Bar->SetParent(&Form);
    Bar->SetBounds(0, 0, 17, 600);
    int Y = 0;
    for (auto _ : State) {
        benchmark::DoNotOptimize(Bar->HitTest(8, Y));
        Y = (Y + 37) % 600;
    }
}
BENCHMARK(BM_ScrollBarHitTest);

} // namespace
