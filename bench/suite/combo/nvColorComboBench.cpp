// The colour list: rebuilding and sorting a long list (every option change
// rebuilds it), and painting a page of its owner-drawn items (every scroll
// and selection change repaints them).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QListWidget>

#include "Forms.h"
#include "nvColorCombo.h"

namespace {

struct TBenchList {
    TForm Form;
    TnvColorList* List;
    TBenchList()
    {
        InitApplication();
        Form.SetBounds(0, 0, 300, 500);
        List = new TnvColorList(&Form);
        List->SetParent(&Form);
        List->SetBounds(10, 10, 200, 460);
        // Standard and system colours and a grey scale of every step: 307 entries.
        List->SetGreyScaleIncrement(1);
        List->SetOptions(TnvColorListBoxOptions(ccoShowStandardColors) | ccoShowSystemColors | ccoShowColorNames |
                         ccoShowGreyScale | ccoShowColorNone);
    }
};

// Arg: the sort order.
void BM_ColorListBuild(benchmark::State& State)
{
    TBenchList B;
    B.List->SetSortBy(static_cast<TnvSortByOption>(State.range(0)));
    for (auto _ : State) {
        B.List->BuildColorList();
        benchmark::DoNotOptimize(B.List->Count());
    }
    State.SetItemsProcessed(State.iterations() * B.List->Count());
}
BENCHMARK(BM_ColorListBuild)->DenseRange(0, 3);

// Arg: with names (1) or swatches only (0).
void BM_ColorListPaintPage(benchmark::State& State)
{
    TBenchList B;
    if (State.range(0) == 0)
        B.List->SetOptions(B.List->Options() & ~TnvColorListBoxOptions(ccoShowColorNames));
    B.List->SetSelectedColor(clRed);
    QWidget* View = B.List->ListWidget()->viewport();
    QImage Image(View->size(), QImage::Format_ARGB32_Premultiplied);
    int Top = 0;
    for (auto _ : State) {
        B.List->SetTopIndex(Top);
        Top = (Top + 29) % 250;
        View->render(&Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_ColorListPaintPage)->Arg(0)->Arg(1);

} // namespace
