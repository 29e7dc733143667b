// The image form's region work on a main-window-sized picture (600 x 463):
// building the region from the picture (16 colours, as the main window's,
// and 24 bits), rebuilding when nothing changed, writing the stored
// "RegionData" and reading it back (what a form load does instead of a scan).
#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>

#include "FormStream.h"
#include "Forms.h"
#include "Pictures.h"
#include "Regions.h"
#include "Streams.h"
#include "nvimageform.h"

namespace {

constexpr int W = 600, H = 463;

// A shaped window's picture: white outside a rounded outline with a notch
// and two round holes; inside, bands of the 16 standard colours.
std::unique_ptr<TBitmap> MainPicture(TPixelFormat Format)
{
    const QRegion Shape = CreateRoundRectRgn(0, 0, W, H, 40, 40)
                              .subtracted(CreateRectRgn(0, 200, 30, 260))
                              .subtracted(CreateEllipticRgn(420, 40, 470, 90))
                              .subtracted(CreateEllipticRgn(500, 300, 580, 380));
    const QRgb Palette[] = {qRgb(0, 0, 128), qRgb(128, 0, 0), qRgb(0, 128, 0), qRgb(128, 128, 0),
                            qRgb(0, 0, 255), qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(0, 128, 128)};
    QImage I(W, H, QImage::Format_RGB32);
    I.fill(qRgb(255, 255, 255));
    for (const QRect& R : Shape)
        for (int Y = R.top(); Y <= R.bottom(); ++Y)
            for (int X = R.left(); X <= R.right(); ++X)
                I.setPixel(X, Y, Palette[(X / 37 + Y / 29) % 8]);
    auto B = std::make_unique<TBitmap>();
    B->SetImage(I);
    B->SetPixelFormat(Format);
    return B;
}

struct TBenchForm {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>();
    TnvImageForm* Image = new TnvImageForm(Form.get());
    explicit TBenchForm(TPixelFormat Format)
    {
        Form->SetBounds(0, 0, W, H);
        Image->SetParent(Form.get());
        auto B = MainPicture(Format);
        TPicture P;
        P.SetGraphic(B.get());
        Image->SetPicture(&P);
    }
};

// Building the region from the picture: the key colour from the bottom-left
// pixel, the run scan, the window region.
void BM_ImageFormBuildRegion(benchmark::State& State)
{
    TBenchForm F(static_cast<TPixelFormat>(State.range(0)));
    TBitmap* B = dynamic_cast<TBitmap*>(F.Image->Picture()->Graphic());
    for (auto _ : State) {
        // A change of the picture makes the next UpdateRegion scan again.
        B->SetModified(true);
        F.Image->UpdateRegion();
        benchmark::DoNotOptimize(F.Image->Region());
    }
    State.counters["rects"] = F.Image->Region().rectCount();
    State.SetItemsProcessed(State.iterations() * int64_t(W) * H);
}
BENCHMARK(BM_ImageFormBuildRegion)->ArgName("format")->Arg(pf4bit)->Arg(pf24bit)->Unit(benchmark::kMicrosecond);

// UpdateRegion with the picture and the key colour unchanged: the region
// built before is reused.
void BM_ImageFormUpdateRegionUnchanged(benchmark::State& State)
{
    TBenchForm F(pf4bit);
    F.Image->UpdateRegion();
    for (auto _ : State) {
        F.Image->UpdateRegion();
        benchmark::DoNotOptimize(F.Image->Region());
    }
}
BENCHMARK(BM_ImageFormUpdateRegionUnchanged)->Unit(benchmark::kMicrosecond);

// Reading the stored region of a form: what loading does instead of a scan.
void BM_ImageFormReadStoredRegion(benchmark::State& State)
{
    TBenchForm F(pf4bit);
    const String Text = ComponentToText(F.Form.get());
    for (auto _ : State) {
        std::unique_ptr<TComponent> Root(ReadComponentFromText(Text, nullptr));
        benchmark::DoNotOptimize(Root.get());
    }
}
BENCHMARK(BM_ImageFormReadStoredRegion)->Unit(benchmark::kMicrosecond);

// The same form without stored region data: loading scans the picture.
void BM_ImageFormReadWithoutStoredRegion(benchmark::State& State)
{
    TBenchForm F(pf4bit);
    TFormObject O = WriteComponent(F.Form.get());
    for (TFormObject& C : O.Children)
        for (TFormProperty& P : C.Properties)
            if (P.Name == "RegionData")
                P.Value.Bytes = {0, 0, 0, 0};
    const String Text = FormObjectToText(O);
    for (auto _ : State) {
        std::unique_ptr<TComponent> Root(ReadComponentFromText(Text, nullptr));
        benchmark::DoNotOptimize(Root.get());
    }
}
BENCHMARK(BM_ImageFormReadWithoutStoredRegion)->Unit(benchmark::kMicrosecond);

} // namespace
