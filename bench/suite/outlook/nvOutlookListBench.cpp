// Outlook lists: painting a list of icons with captions (every scroll step,
// hot-tracking change and resize repaints it) and the mouse moves of hot
// tracking, which look up the items in view on every move.
#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>

#include "Forms.h"
#include "ImageList.h"
#include "nvOutlookList.h"

namespace {

class TBenchOutlookList : public TnvOutlookList {
public:
    explicit TBenchOutlookList(TComponent* AOwner) : TnvOutlookList(AOwner) {}
    void PaintInto(QImage& Image) { PaintControl(Image); }
    void MoveTo(int X, int Y) { MouseMove(TShiftState(), X, Y); }
};

struct TBenchList {
    TForm Form;
    TBenchOutlookList* List;
    std::unique_ptr<TCustomImageList> Images;
    explicit TBenchList(int N)
    {
        InitApplication();
        Form.SetBounds(0, 0, 400, 700);
        List = new TBenchOutlookList(&Form);
        List->SetParent(&Form);
        List->SetBounds(0, 0, 120, 600);
        Images.reset(TCustomImageList::CreateSize(32, 32));
        for (int I = 0; I < 4; ++I) {
            QImage Im(32, 32, QImage::Format_ARGB32);
            Im.fill(qRgb(60 * I, 200 - 40 * I, 90));
            Images->AddImage32(Im);
        }
        List->SetImages(Images.get());
        for (int I = 0; I < N; ++I) {
            TnvOutlookListItem* It = List->Items()->Add();
            It->SetText("Item " + std::to_string(I + 1));
            It->SetImageIndex(I % 4);
        }
    }
};

void BM_OutlookListPaint(benchmark::State& State)
{
    TBenchList B(static_cast<int>(State.range(0)));
    QImage Image(B.List->Width(), B.List->Height(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        B.List->PaintInto(Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
}
BENCHMARK(BM_OutlookListPaint)->Arg(8)->Arg(50);

void BM_OutlookListHotTrack(benchmark::State& State)
{
    TBenchList B(50);
    QImage Image(B.List->Width(), B.List->Height(), QImage::Format_ARGB32_Premultiplied);
    B.List->PaintInto(Image);
    int Y = 0;
    for (auto _ : State) {
        B.List->MoveTo(60, Y);
        Y = (Y + 7) % B.List->Height();
    }
}
BENCHMARK(BM_OutlookListHotTrack);

} // namespace
