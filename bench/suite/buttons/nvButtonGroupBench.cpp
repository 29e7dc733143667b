// Button groups: laying out 50 buttons (on every resize, selection change and
// property change of the group) and painting a group of 50 buttons.
#include <benchmark/benchmark.h>

#include <QImage>

#include "Forms.h"
#include "nvButtonGroup.h"
#include "nvShapeBtn.h"

namespace {

struct TBenchGroup {
    TForm Form;
    TnvButtonGroup* Group;
    explicit TBenchGroup(int N, int Columns)
    {
        InitApplication();
        Form.SetBounds(0, 0, 640, 480);
        Group = new TnvButtonGroup(&Form);
        Group->SetParent(&Form);
        Group->SetBounds(0, 0, 600, 400);
        Group->SetColumns(Columns);
        for (int I = 0; I < N; ++I) {
            TnvCustomBitBtn* B = Group->ButtonItems()->Add()->Button();
            B->SetCaption("Button " + std::to_string(I + 1));
            B->SetColor(clBlue);
        }
        Group->ButtonItems()->Item(0)->SetDown(true);
    }
};

// Re-arranging 50 buttons in 5 columns after a resize (the buttons change size).
void BM_GroupArrange50(benchmark::State& State)
{
    TBenchGroup G(50, 5);
    int Step = 0;
    for (auto _ : State) {
        G.Group->SetBounds(0, 0, 600 - (Step & 1), 400 - (Step & 1));
        ++Step;
    }
}
BENCHMARK(BM_GroupArrange50);

// Re-arranging 50 buttons that keep their places (a selection change).
void BM_GroupArrange50Unchanged(benchmark::State& State)
{
    TBenchGroup G(50, 5);
    for (auto _ : State)
        G.Group->ArrangeButtons();
}
BENCHMARK(BM_GroupArrange50Unchanged);

// Painting the group with its 50 buttons into one image.
void BM_GroupPaint50(benchmark::State& State)
{
    TBenchGroup G(50, 5);
    QImage Target(G.Group->Width(), G.Group->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        G.Group->render(&Target);
        benchmark::DoNotOptimize(Target.constBits());
    }
}
BENCHMARK(BM_GroupPaint50);

// A selection change through the keyboard path: the new button goes down,
// the old one pops up, the group re-arranges and applies the bold rule.
void BM_GroupSelect50(benchmark::State& State)
{
    TBenchGroup G(50, 5);
    int I = 0;
    for (auto _ : State) {
        I = (I + 1) % 50;
        G.Group->ButtonItems()->Item(I)->SetDown(true);
    }
}
BENCHMARK(BM_GroupSelect50);

} // namespace
