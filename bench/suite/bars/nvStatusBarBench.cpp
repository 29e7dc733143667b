// Status bars: painting a bar of many panels (every resize and invalidation
// paints it whole) and the one-part repaint that the clock, hint and caret
// timers do several times a second.
#include <benchmark/benchmark.h>

#include <QImage>

#include "Forms.h"
#include "nvStatusBar.h"

namespace {

class TBenchStatusBar : public TnvStatusBar {
public:
    explicit TBenchStatusBar(TComponent* AOwner) : TnvStatusBar(AOwner) {}
    void PaintInto(QImage& Image) { PaintControl(Image); }
};

struct TBenchBar {
    TForm Form;
    TBenchStatusBar* Bar;
    explicit TBenchBar(int N)
    {
        InitApplication();
        Form.SetBorderStyle(bsSizeable);
        Form.SetBounds(0, 0, 1200, 200);
        Bar = new TBenchStatusBar(&Form);
        Bar->SetParent(&Form);
        Bar->SetHeight(24);
        const TnvStatusPanelStyle Styles[] = {psTextOnly, psCapsLock, psDateTime, psTextOnly, psNumLock};
        for (int I = 0; I < N; ++I) {
            TnvStatusPanel* P = Bar->Panels()->Add();
            P->SetWidth(I == N - 1 ? "100%" : std::to_string(1100 / N));
            P->SetStyle(Styles[I % 5]);
            P->SetText("Panel text " + std::to_string(I + 1));
            if (I % 3 == 0)
                P->TextOptions()->Shadow()->SetEnabled(true);
            P->SetBevel(I % 2 ? pbRaised : pbLowered);
        }
    }
};

void BM_StatusBarPaint(benchmark::State& State)
{
    TBenchBar B(static_cast<int>(State.range(0)));
    QImage Image(B.Bar->Width(), B.Bar->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        B.Bar->PaintInto(Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_StatusBarPaint)->Arg(5)->Arg(40);

void BM_StatusPanelRepaint(benchmark::State& State)
{
    TBenchBar B(20);
    QImage Image(B.Bar->Width(), B.Bar->Height(), QImage::Format_ARGB32_Premultiplied);
    B.Bar->PaintInto(Image);
    TnvStatusPanel* P = B.Bar->Panels()->Items(2);
    for (auto _ : State)
        P->RepaintPanel();
}
BENCHMARK(BM_StatusPanelRepaint);

} // namespace
