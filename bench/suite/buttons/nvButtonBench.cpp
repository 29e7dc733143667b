// Painting buttons (the face, a glyph and a caption with text effects) and
// building a picture's outline, which happen on every paint and every new
// picture or size.
#include <benchmark/benchmark.h>

#include <QImage>

#include <cmath>
#include <memory>

#include "Forms.h"
#include "nvImgBtn.h"

namespace {

class TBenchImageBtn : public TnvImageBtn {
public:
    TBenchImageBtn() : TnvImageBtn(nullptr) {}
    void PaintInto(QImage& Image) { PaintControl(Image); }
};

// A round picture of W x H on magenta, shaded so that no two rows are alike.
std::unique_ptr<TnvBitmap> RoundPicture(int W, int H)
{
    QImage I(W, H, QImage::Format_RGB32);
    I.fill(qRgb(255, 0, 255));
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const double DX = (X - (W - 1) / 2.0) / (W / 2.0), DY = (Y - (H - 1) / 2.0) / (H / 2.0);
            if (DX * DX + DY * DY < 1.0)
                I.setPixel(X, Y, qRgb(40 + X % 200, 90 + Y % 160, 160));
        }
    TBitmap B;
    B.SetImage(I);
    auto P = std::make_unique<TnvBitmap>();
    P->Assign(&B);
    return P;
}

struct TBenchButton {
    TWinControl Host;
    TBenchImageBtn Btn;
    std::unique_ptr<TnvBitmap> Picture;
    QImage Target;
    TBenchButton(TnvShadeStyle Style, int W, int H)
    {
        InitApplication();
        Host.SetBounds(0, 0, W + 20, H + 20);
        Btn.SetParent(&Host);
        Btn.SetBounds(10, 10, W, H);
        Picture = RoundPicture(W, H);
        Btn.SetImage(Picture.get());
        Btn.SetShadeStyle(Style);
        Btn.SetCaption("Click for &Demo");
        Btn.Font()->SetHeight(-14);
        // A glyph of two cells.
        QImage G(32, 16, QImage::Format_RGB32);
        G.fill(qRgb(0, 128, 128));
        for (int Y = 3; Y < 13; ++Y)
            for (int X = 3; X < 13; ++X) {
                G.setPixel(X, Y, qRgb(200, 30, 30));
                G.setPixel(16 + X, Y, qRgb(90, 90, 90));
            }
        TBitmap GB;
        GB.SetImage(G);
        Btn.SetGlyph(&GB);
        Btn.SetNumGlyphs(2);
        Btn.TextOptions()->Shadow()->SetEnabled(true);
        Btn.TextOptions()->Shadow()->SetXOffset(2);
        Btn.TextOptions()->Shadow()->SetYOffset(2);
        Btn.TextOptions()->ExtrudeEffects()->SetEnabled(true);
        Btn.TextOptions()->ExtrudeEffects()->SetDepth(4);
        Btn.TextOptions()->ExtrudeEffects()->SetOrientation(nvTopLeft);
        Btn.TextOptions()->SetStyle(nvlsRaised);
        Target = QImage(W, H, QImage::Format_ARGB32_Premultiplied);
    }
};

// One paint of a 160 x 48 button with a round picture, a glyph and a raised,
// extruded caption with a shadow.
void BM_PaintImageButton(benchmark::State& State)
{
    TBenchButton B(static_cast<TnvShadeStyle>(State.range(0)), 160, 48);
    for (auto _ : State) {
        B.Btn.PaintInto(B.Target);
        benchmark::DoNotOptimize(B.Target.constBits());
    }
}
BENCHMARK(BM_PaintImageButton)->Arg(fbsNormal)->Arg(fbsRaised)->Arg(fbsHighlight)->Unit(benchmark::kMicrosecond);

// The same button with a plain caption and no glyph: the face alone.
void BM_PaintImageButtonPlainCaption(benchmark::State& State)
{
    TBenchButton B(fbsHighlight, 160, 48);
    TBitmap NoGlyph;
    B.Btn.SetGlyph(&NoGlyph);
    B.Btn.TextOptions()->Shadow()->SetEnabled(false);
    B.Btn.TextOptions()->ExtrudeEffects()->SetEnabled(false);
    B.Btn.TextOptions()->SetStyle(nvlsDefault);
    for (auto _ : State) {
        B.Btn.PaintInto(B.Target);
        benchmark::DoNotOptimize(B.Target.constBits());
    }
}
BENCHMARK(BM_PaintImageButtonPlainCaption)->Unit(benchmark::kMicrosecond);

// One paint of a pressed group button without a down picture (dithered).
void BM_PaintPressedDitheredButton(benchmark::State& State)
{
    TBenchButton B(fbsHighlight, 160, 48);
    B.Btn.SetGroupIndex(1);
    B.Btn.SetDitherStyle(dsBlendDither);
    B.Btn.SetDown(true);
    for (auto _ : State) {
        B.Btn.PaintInto(B.Target);
        benchmark::DoNotOptimize(B.Target.constBits());
    }
}
BENCHMARK(BM_PaintPressedDitheredButton)->Unit(benchmark::kMicrosecond);

// Building the outline of a picture of the given size from scratch (a new
// picture or size), and taking it from the stored record (every other use).
void BM_BuildOutline(benchmark::State& State)
{
    const int S = static_cast<int>(State.range(0));
    TBenchButton B(fbsNormal, S, S);
    for (auto _ : State) {
        B.Btn.FreeRegionRecords();
        benchmark::DoNotOptimize(B.Btn.CreateRegion(true, false));
    }
}
BENCHMARK(BM_BuildOutline)->Arg(48)->Arg(256)->Unit(benchmark::kMicrosecond);

void BM_CachedOutline(benchmark::State& State)
{
    TBenchButton B(fbsNormal, 256, 256);
    for (auto _ : State)
        benchmark::DoNotOptimize(B.Btn.CreateRegion(true, false));
}
BENCHMARK(BM_CachedOutline);

} // namespace
