// Shape buttons: building the window region of a shape (painting the face in
// region mode and scanning it), which happens on every new size or outline
// setting, and painting the face with bevel and caption, which happens on
// every paint; plus the cached paths that run on every paint and mouse move.
#include <benchmark/benchmark.h>

#include <QImage>

#include "Forms.h"
#include "nvShapeBtn.h"

namespace {

class TBenchShapeBtn : public TnvShapeBtn {
public:
    TBenchShapeBtn() : TnvShapeBtn(nullptr) {}
    void PaintInto(QImage& Image) { PaintControl(Image); }
};

const char* const Octagon[] = {"Width/8, 0",      "Width*7/8, 0",        "Width*7/8, Height/8", "Width, Height/8",
                               "Width, Height*7/8", "Width*7/8, Height*7/8", "Width*7/8, Height",
                               "Width/8, Height",  "Width/8, Height*7/8", "0, Height*7/8",       "0, Height/8",
                               "Width/8,Height/8", "Width/8,0"};

struct TBenchButton {
    TWinControl Host;
    TBenchShapeBtn Btn;
    QImage Target;
    TBenchButton(TnvButtonShape Shape, int W, int H)
    {
        InitApplication();
        Host.SetBounds(0, 0, W + 20, H + 20);
        Btn.SetParent(&Host);
        Btn.SetBounds(10, 10, W, H);
        if (Shape == bsCustom) {
            TStringList L;
            for (const char* Line : Octagon)
                L.Add(Line);
            Btn.SetPointList(&L);
        }
        Btn.SetShape(Shape);
        Btn.SetCaption("Click for Demo");
        Btn.Font()->SetStyle(fsBold);
        Btn.TextOptions()->SetStyle(nvlsLowered);
        Target = QImage(W, H, QImage::Format_ARGB32_Premultiplied);
    }
};

// Building the outline of one state from scratch: paint in region mode, scan.
void BM_ShapeRegionBuild(benchmark::State& State)
{
    const auto Shape = static_cast<TnvButtonShape>(State.range(0));
    TBenchButton B(Shape, static_cast<int>(State.range(1)), static_cast<int>(State.range(2)));
    for (auto _ : State) {
        B.Btn.FreeRegionRecords();
        benchmark::DoNotOptimize(B.Btn.CreateRegion(true, false));
    }
    State.SetLabel(std::to_string(B.Btn.RegionBuildCount()) + " builds");
}
BENCHMARK(BM_ShapeRegionBuild)
    ->ArgNames({"shape", "w", "h"})
    ->Args({bsRect, 75, 25})
    ->Args({bsRoundRect, 151, 32})
    ->Args({bsEllipse, 151, 32})
    ->Args({bsStar, 101, 101})
    ->Args({bsCustom, 161, 33})
    ->Args({bsEllipse, 400, 300});

// The cached region, as every hit test and window update asks for it.
void BM_ShapeRegionCached(benchmark::State& State)
{
    TBenchButton B(bsStar, 101, 101);
    B.Btn.CreateRegion(true, false);
    for (auto _ : State)
        benchmark::DoNotOptimize(B.Btn.CreateRegion(true, false));
}
BENCHMARK(BM_ShapeRegionCached);

// One paint: face, bevel along the outline and a lowered caption.
void BM_ShapePaint(benchmark::State& State)
{
    const auto Shape = static_cast<TnvButtonShape>(State.range(0));
    TBenchButton B(Shape, static_cast<int>(State.range(1)), static_cast<int>(State.range(2)));
    for (auto _ : State)
        B.Btn.PaintInto(B.Target);
}
BENCHMARK(BM_ShapePaint)
    ->ArgNames({"shape", "w", "h"})
    ->Args({bsRect, 117, 22})
    ->Args({bsRoundRect, 151, 32})
    ->Args({bsStar, 101, 101})
    ->Args({bsCustom, 161, 33})
    ->Args({bsCustom, 265, 33});

// The face alone (fill, outline and bevel), without the caption.
void BM_ShapeFace(benchmark::State& State)
{
    const auto Shape = static_cast<TnvButtonShape>(State.range(0));
    TBenchButton B(Shape, static_cast<int>(State.range(1)), static_cast<int>(State.range(2)));
    TnvBitmap Face;
    for (auto _ : State)
        B.Btn.DrawFace(&Face, 0, false, fbsHighlight);
}
BENCHMARK(BM_ShapeFace)
    ->ArgNames({"shape", "w", "h"})
    ->Args({bsRect, 117, 22})
    ->Args({bsRoundRect, 151, 32})
    ->Args({bsStar, 101, 101})
    ->Args({bsCustom, 161, 33});

// A pressed group button: the checker face.
void BM_ShapePaintPressedChecker(benchmark::State& State)
{
    TBenchButton B(bsRect, 117, 22);
    B.Btn.SetColor(clBlue);
    B.Btn.SetDitherColor(clNavy);
    B.Btn.SetGroupIndex(1);
    B.Btn.SetDown(true);
    for (auto _ : State)
        B.Btn.PaintInto(B.Target);
}
BENCHMARK(BM_ShapePaintPressedChecker);

// The outline points of the octagon, evaluated from the point list.
void BM_ShapeOutlineCustom(benchmark::State& State)
{
    TStringList L;
    for (const char* Line : Octagon)
        L.Add(Line);
    for (auto _ : State)
        benchmark::DoNotOptimize(ShapeOutline(bsCustom, soUp, 160, 32, &L));
}
BENCHMARK(BM_ShapeOutlineCustom);

} // namespace
