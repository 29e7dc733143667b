// The tree-view control: filling it with items, and painting a tall client
// area full of rows (the default drawing and the custom-draw cycle).
#include <benchmark/benchmark.h>

#include <QImage>

#include "NativeTreeView.h"

namespace {

HTREEITEM Insert(TNativeTreeView& TV, HTREEITEM Parent, const String& Text)
{
    TVINSERTSTRUCT I;
    I.hParent = Parent;
    I.hInsertAfter = TVI_LAST;
    I.item.mask = TVIF_TEXT;
    I.item.pszText = Text;
    return TreeView_InsertItem(&TV, &I);
}

// 100 top-level items with 99 children each: 10 000 items.
void Fill(TNativeTreeView& TV)
{
    for (int P = 0; P < 100; ++P) {
        HTREEITEM Parent = Insert(TV, TVI_ROOT, "Parent " + std::to_string(P));
        for (int C = 0; C < 99; ++C)
            Insert(TV, Parent, "Child item " + std::to_string(C));
    }
}

void BM_InsertItems(benchmark::State& State)
{
    for (auto _ : State) {
        TNativeTreeView TV;
        TV.SetStyle(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);
        Fill(TV);
        benchmark::DoNotOptimize(TV.Count());
        State.PauseTiming();
        TV.Perform(TVM_DELETEITEM, 0, reinterpret_cast<intptr_t>(TVI_ROOT));
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * 10000);
}
BENCHMARK(BM_InsertItems)->Unit(benchmark::kMillisecond);

class TSkippingTree : public TNativeTreeView {
public:
    intptr_t Notify(NMHDR& H) override
    {
        if (H.code != NM_CUSTOMDRAW)
            return 0;
        auto& D = reinterpret_cast<NMTVCUSTOMDRAW&>(H);
        if (D.nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (D.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            D.nmcd.hdc->Brush()->SetColor(D.clrTextBk);
            D.nmcd.hdc->FillRect(D.nmcd.rc);
            return CDRF_SKIPDEFAULT;
        }
        return 0;
    }
};

// Arg 0: the default drawing; 1: every item skipped by custom draw.
void BM_PaintThousandRows(benchmark::State& State)
{
    std::unique_ptr<TNativeTreeView> TV(State.range(0) ? new TSkippingTree : new TNativeTreeView);
    TV->SetStyle(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);
    TV->Perform(TVM_SETITEMHEIGHT, 16);
    TV->SetBounds(0, 0, 300, 16 * 1000);
    Fill(*TV);
    for (HTREEITEM P = TreeView_GetNextItem(TV.get(), nullptr, TVGN_ROOT); P;
         P = TreeView_GetNextItem(TV.get(), P, TVGN_NEXT))
        TreeView_Expand(TV.get(), P, TVE_EXPAND);
    for (auto _ : State) {
        QImage Shot = TV->grab().toImage();
        benchmark::DoNotOptimize(Shot.constBits());
    }
    State.SetItemsProcessed(State.iterations() * 1000);
}
BENCHMARK(BM_PaintThousandRows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
