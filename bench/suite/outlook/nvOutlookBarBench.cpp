// Outlook bars: laying the pages out (every resize and every page change
// runs it; measured here without the slide's pauses) and painting the bar's
// picture behind its shaped headers and transparent panels.
#include <benchmark/benchmark.h>

#include <QImage>

#include "Forms.h"
#include "nvImager.h"
#include "nvOutlookBar.h"
#include "nvShapeBtn.h"

namespace {

class TBenchOutlookBar : public TnvOutlookBar {
public:
    explicit TBenchOutlookBar(TComponent* AOwner) : TnvOutlookBar(AOwner) {}
    void PaintInto(QImage& Image) { PaintControl(Image); }
};

struct TBenchBar {
    TForm Form;
    TBenchOutlookBar* Bar;
    explicit TBenchBar(int Pages)
    {
        InitApplication();
        Form.SetBounds(0, 0, 400, 700);
        Bar = new TBenchOutlookBar(&Form);
        Bar->SetParent(&Form);
        Bar->SetBounds(0, 0, 160, 600);
        Bar->Animation()->SetEnabled(false);
        for (int I = 0; I < Pages; ++I)
            Bar->OutlookItems()->Add()->Button()->SetCaption("Page " + std::to_string(I + 1));
    }
};

// Alternating page changes, each a full layout in one step.
void BM_OutlookBarPageChange(benchmark::State& State)
{
    TBenchBar B(static_cast<int>(State.range(0)));
    TnvOutlookPages* Pages = B.Bar->OutlookItems();
    int Next = 1;
    for (auto _ : State) {
        B.Bar->SetActivePage(Pages->Item(Next)->Button());
        Next = Next == 1 ? 0 : 1;
    }
}
BENCHMARK(BM_OutlookBarPageChange)->Arg(3)->Arg(12);

// A resize: the headers and the open panel placed again.
void BM_OutlookBarResize(benchmark::State& State)
{
    TBenchBar B(static_cast<int>(State.range(0)));
    int H = 600;
    for (auto _ : State) {
        H = H == 600 ? 599 : 600;
        B.Bar->SetBounds(0, 0, 160, H);
    }
}
BENCHMARK(BM_OutlookBarResize)->Arg(3)->Arg(12);

// The bar's own painting: a tiled picture behind round headers.
void BM_OutlookBarPaintPicture(benchmark::State& State)
{
    TBenchBar B(6);
    auto* Imager = new TnvImager(&B.Form);
    TBitmap Tile;
    Tile.SetSize(32, 32);
    Tile.Canvas()->Brush()->SetColor(clTeal);
    Tile.Canvas()->FillRect(TRect(0, 0, 32, 32));
    Tile.Canvas()->Brush()->SetColor(clSilver);
    Tile.Canvas()->FillRect(TRect(0, 0, 16, 16));
    Imager->Picture()->Assign(&Tile);
    B.Bar->SetImager(Imager);
    for (int I = 0; I < B.Bar->OutlookItems()->Count(); ++I)
        static_cast<TnvShapeBtn*>(B.Bar->OutlookItems()->Item(I)->Button())->SetShape(bsRoundRect);
    QImage Image(B.Bar->Width(), B.Bar->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        B.Bar->PaintInto(Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_OutlookBarPaintPicture);

} // namespace
