// The imager on a 1024 x 1024 picture: applying every effect (one apply is
// what a change of a setting costs), and painting it stretched into an
// 800 x 600 control, both the steady repaint (the scaled copy is kept) and
// the first paint after a change (the copy is scaled again).
//
// Names: Imager/ApplyAll/<side>, Imager/ApplyCheap/<side>,
// Imager/PaintStretched/<smooth>, Imager/PaintAfterChange/<smooth>.
#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>

#include "Canvas.h"
#include "Pictures.h"
#include "nvImager.h"

namespace {

std::unique_ptr<TBitmap> Photo(int N)
{
    QImage Image(N, N, QImage::Format_BGR888);
    uint32_t Seed = 12345;
    for (int Y = 0; Y < N; ++Y) {
        uchar* Row = Image.scanLine(Y);
        for (int X = 0; X < N; ++X) {
            Seed = Seed * 1664525u + 1013904223u;
            const int Noise = int(Seed >> 27) - 16;
            Row[3 * X] = ClampByte((X + Y) * 127 / N + Noise / 2);
            Row[3 * X + 1] = ClampByte(Y * 255 / N - Noise);
            Row[3 * X + 2] = ClampByte(X * 255 / N + Noise);
        }
    }
    auto B = std::make_unique<TBitmap>();
    B->SetImage(Image);
    return B;
}

class TBenchImager : public TnvImager {
public:
    using TnvImager::TnvImager;
    TnvImagerCore* Core() const { return FCore.get(); }
};

void SetAllEffects(TnvBitmapOptions* O, TnvBitmap* Blend)
{
    O->BeginUpdate();
    O->SetGrayScale(false);
    O->SetLightness(30);
    O->AlphaBlend()->SetBitmap(Blend);
    O->AlphaBlend()->SetAmount(64);
    O->SetColor(MakeColor(0xB0C0D0));
    O->SetTintColor(MakeColor(0x102040));
    O->SetSponge(2);
    O->SetSaturation(300);
    O->SetGaussianBlur(2);
    O->SetEmbossed(true);
    O->SetInverted(true);
    O->SetContrast(40);
    O->SetSharpen(1);
    O->SetHorizontallyFlipped(true);
    O->SetVerticallyFlipped(true);
    O->Wave()->SetXDiv(20);
    O->Wave()->SetYDiv(30);
    O->Wave()->SetRatio(5);
    O->Rotation()->SetAngle(10);
    O->EndUpdate();
}

void ApplyAll(benchmark::State& State)
{
    const int N = static_cast<int>(State.range(0));
    auto Pic = Photo(N);
    auto BlendPic = Photo(N / 2);
    TnvBitmap Blend;
    Blend.Assign(BlendPic.get());
    TBenchImager Imager;
    Imager.SetBounds(0, 0, 800, 600);
    Imager.Picture()->SetGraphic(Pic.get());
    SetAllEffects(Imager.BitmapOptions(), &Blend);
    for (auto _ : State) {
        Imager.BitmapOptions()->Changed();
        benchmark::DoNotOptimize(Imager.WorkBitmap()->Bits());
    }
    State.SetItemsProcessed(State.iterations() * int64_t(N) * N);
}
BENCHMARK(ApplyAll)->Name("Imager/ApplyAll")->Arg(1024)->Unit(benchmark::kMillisecond);

// The table effects only: what the copy of the picture costs beside them.
void ApplyCheap(benchmark::State& State)
{
    const int N = static_cast<int>(State.range(0));
    auto Pic = Photo(N);
    TBenchImager Imager;
    Imager.Picture()->SetGraphic(Pic.get());
    Imager.BitmapOptions()->BeginUpdate();
    Imager.BitmapOptions()->SetLightness(30);
    Imager.BitmapOptions()->SetInverted(true);
    Imager.BitmapOptions()->EndUpdate();
    for (auto _ : State) {
        Imager.BitmapOptions()->Changed();
        benchmark::DoNotOptimize(Imager.WorkBitmap()->Bits());
    }
    State.SetItemsProcessed(State.iterations() * int64_t(N) * N);
}
BENCHMARK(ApplyCheap)->Name("Imager/ApplyCheap")->Arg(1024)->Unit(benchmark::kMillisecond);

struct TPaintSetup {
    std::unique_ptr<TBitmap> Pic = Photo(1024);
    TBenchImager Imager;
    QImage Target{800, 600, QImage::Format_ARGB32_Premultiplied};
    TCanvas Canvas{&Target};
    explicit TPaintSetup(bool Smooth)
    {
        Imager.SetBounds(0, 0, 800, 600);
        Imager.SetDrawStyle(dsStretch);
        Imager.SetSmoothStretching(Smooth);
        Imager.Picture()->SetGraphic(Pic.get());
        Imager.BitmapOptions()->SetLightness(20);
    }
};

void PaintStretched(benchmark::State& State)
{
    TPaintSetup S(State.range(0) != 0);
    for (auto _ : State) {
        S.Imager.Core()->PaintWork(&S.Canvas, 800, 600, false);
        benchmark::DoNotOptimize(S.Target.constBits());
    }
}
BENCHMARK(PaintStretched)->Name("Imager/PaintStretched")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void PaintAfterChange(benchmark::State& State)
{
    TPaintSetup S(State.range(0) != 0);
    int L = 0;
    for (auto _ : State) {
        S.Imager.BitmapOptions()->SetLightness(20 + (++L & 1));
        S.Imager.Core()->PaintWork(&S.Canvas, 800, 600, false);
        benchmark::DoNotOptimize(S.Target.constBits());
    }
}
BENCHMARK(PaintAfterChange)->Name("Imager/PaintAfterChange")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
