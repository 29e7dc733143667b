// The calculator: painting the whole panel with its 27 keys (every key press
// repaints a key, an option or colour change repaints everything), with and
// without a background picture behind transparent keys, and the engine on a
// typical key sequence.
#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>

#include "Forms.h"
#include "nvCalculator.h"

namespace {

struct TBenchCalc {
    TForm Form;
    TnvCalculator* Calc;
    explicit TBenchCalc(bool Picture)
    {
        InitApplication();
        Form.SetBounds(0, 0, 400, 300);
        Calc = new TnvCalculator(&Form);
        Calc->SetParent(&Form);
        if (Picture) {
            TBitmap B;
            B.SetSize(64, 48);
            for (int Y = 0; Y < 48; ++Y)
                for (int X = 0; X < 64; ++X)
                    B.Canvas()->SetPixels(X, Y, TColor((X * 4) | ((Y * 5) << 8) | (128 << 16)));
            Calc->BackgroundBitmap()->SetGraphic(&B);
        }
    }
};

// The panel and every key rendered as a whole, as a full repaint does.
void BM_CalculatorRender(benchmark::State& State)
{
    TBenchCalc B(State.range(0) != 0);
    QImage Image(B.Calc->Width(), B.Calc->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        B.Calc->render(&Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_CalculatorRender)->Arg(0)->Arg(1);

// A full repaint after InvalidateAll: the background picture is drawn again.
void BM_CalculatorRenderDirty(benchmark::State& State)
{
    TBenchCalc B(true);
    QImage Image(B.Calc->Width(), B.Calc->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        B.Calc->InvalidateAll();
        B.Calc->render(&Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_CalculatorRenderDirty);

// One key: what a key press repaints.
void BM_CalculatorKeyRender(benchmark::State& State)
{
    TBenchCalc B(State.range(0) != 0);
    TnvCalcButton* Key = B.Calc->FindCalcButton(bt7);
    QImage Image(Key->Width(), Key->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        Key->render(&Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_CalculatorKeyRender)->Arg(0)->Arg(1);

void BM_CalculatorEngine(benchmark::State& State)
{
    TBenchCalc B(false);
    B.Calc->SetOptions(cboDigitGrouping);
    const TnvCalcButtonType Keys[] = {bt1, bt2, bt3, bt4, btDecimal, bt5, btMultiply, bt7, btEquals, btClearAll};
    for (auto _ : State)
        for (TnvCalcButtonType K : Keys)
            B.Calc->ProcessButton(K);
}
BENCHMARK(BM_CalculatorEngine);

} // namespace
