// Drawing captions with effects: the extruded title of the main window
// (straight and rotated), the measuring a label does to size itself, and a
// fully justified paragraph.
#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>

#include "Canvas.h"
#include "Graphics.h"
#include "nvtext.h"

namespace {

struct TBenchText {
    QImage Image{480, 320, QImage::Format_ARGB32_Premultiplied};
    TCanvas Canvas{&Image};
    TFont Font;
    std::unique_ptr<TnvCaptionText> Text;

    TBenchText()
    {
        Font.SetName("MS Sans Serif");
        Font.SetHeight(-32);
        Font.SetStyle(TFontStyles(fsBold));
        Font.SetColor(clWhite);
        Text = std::make_unique<TnvCaptionText>(TnvTextCallbacks(), &Font, &Canvas);
        Canvas.Font()->Assign(&Font);
        Canvas.Brush()->SetStyle(bsClear);
        Text->SetRect(TRect(0, 0, 480, 320));
        Text->SetText("Outlook Bar");
        Text->ExtrudeEffects()->SetEnabled(true);
        Text->ExtrudeEffects()->SetDepth(8);
        Text->ExtrudeEffects()->SetFarColor(clBlue);
    }
};

void BM_DrawExtrudedCaption(benchmark::State& State)
{
    TBenchText B;
    B.Text->SetRotation(static_cast<int>(State.range(0)));
    B.Text->ExtrudeEffects()->SetDepth(static_cast<int>(State.range(1)));
    for (auto _ : State) {
        B.Image.fill(0xFF000080);
        B.Text->SetRect(TRect(0, 0, 480, 320));
        B.Text->Draw();
        benchmark::DoNotOptimize(B.Image.constBits());
    }
}
BENCHMARK(BM_DrawExtrudedCaption)->Args({0, 8})->Args({30, 8})->Args({90, 8})->Args({30, 32})->Unit(benchmark::kMicrosecond);

void BM_DrawExtrudedCaptionDoubleBuffered(benchmark::State& State)
{
    TBenchText B;
    B.Text->SetRotation(30);
    B.Text->SetDoubleBuffered(true);
    for (auto _ : State) {
        B.Image.fill(0xFF000080);
        B.Text->SetRect(TRect(0, 0, 480, 320));
        B.Text->Draw();
        benchmark::DoNotOptimize(B.Image.constBits());
    }
}
BENCHMARK(BM_DrawExtrudedCaptionDoubleBuffered)->Unit(benchmark::kMicrosecond);

void BM_CalcRect(benchmark::State& State)
{
    TBenchText B;
    B.Text->SetRotation(30);
    TRect R;
    for (auto _ : State) {
        B.Text->CalcRect(true, R);
        benchmark::DoNotOptimize(R);
    }
}
BENCHMARK(BM_CalcRect)->Unit(benchmark::kMicrosecond);

void BM_DrawJustifiedParagraph(benchmark::State& State)
{
    TBenchText B;
    B.Font.SetHeight(-13);
    B.Font.SetStyle(TFontStyles());
    B.Text->ExtrudeEffects()->SetEnabled(false);
    B.Text->SetWordWrap(true);
    B.Text->SetOptions(TnvTextOptions(toShowAccel) | toFullJustify);
    String Para;
    for (int I = 0; I < 40; ++I)
        Para += "lorem ipsum a dolor sit amet ";
    B.Text->SetText(Para);
    for (auto _ : State) {
        B.Image.fill(0xFFFFFFFF);
        B.Text->SetRect(TRect(0, 0, 480, 320));
        B.Text->Draw();
        benchmark::DoNotOptimize(B.Image.constBits());
    }
}
BENCHMARK(BM_DrawJustifiedParagraph)->Unit(benchmark::kMicrosecond);

} // namespace
