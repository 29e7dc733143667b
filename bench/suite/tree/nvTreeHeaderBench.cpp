// The tree header repaints at every mouse move while a divider is tracked or
// a section dragged, and whenever its tree scrolls sideways: painting the
// whole header (every section owner-drawn) against QHeaderView painting the
// same columns, both into an off-screen image in one run.
//
// The reported time is the header's (manual time); the counters give both in
// milliseconds and their ratio (header / QHeaderView: below 1 the header is
// faster). Run with --benchmark_counters_tabular=true.
#include <benchmark/benchmark.h>

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>

#include <chrono>
#include <memory>

#include "Forms.h"
#include "nvTreeHeader.h"

namespace {

using TClock = std::chrono::steady_clock;

class TBenchHeaderControl : public TnvTreeHeaderControl {
public:
    explicit TBenchHeaderControl(TComponent* AOwner) : TnvTreeHeaderControl(AOwner) {}
    void PaintInto(QImage& Image) { PaintControl(Image); }
};

void BM_HeaderPaint(benchmark::State& State)
{
    const int Sections = static_cast<int>(State.range(0));
    const int W = Sections * 80 + 40;
    InitApplication();
    TForm Form;
    Form.SetBounds(0, 0, W, 60);
    auto* H = new TBenchHeaderControl(&Form);
    H->SetParent(&Form);
    H->SetBounds(0, 0, W, 17);
    QStandardItemModel Model(0, Sections);
    for (int I = 0; I < Sections; ++I) {
        TnvTreeHeaderSection* S = H->Sections()->Add();
        S->SetText("Column " + std::to_string(I));
        S->SetWidth(80);
        S->SetAlignment(I % 3 == 0 ? taLeftJustify : I % 3 == 1 ? taCenter : taRightJustify);
        Model.setHeaderData(I, Qt::Horizontal, QStringLiteral("Column %1").arg(I));
    }
    QHeaderView View(Qt::Horizontal);
    View.setModel(&Model);
    View.setDefaultSectionSize(80);
    View.resize(W, 17);
    QImage NvImage(W, 17, QImage::Format_ARGB32_Premultiplied);
    QImage QtImage(W, 17, QImage::Format_ARGB32_Premultiplied);
    double Nv = 0, QtTime = 0;
    for (auto _ : State) {
        auto Start = TClock::now();
        H->PaintInto(NvImage);
        benchmark::DoNotOptimize(NvImage.constBits());
        const double A = std::chrono::duration<double>(TClock::now() - Start).count();
        Start = TClock::now();
        {
            QPainter P(&QtImage);
            View.render(&P, QPoint(), QRegion(), QWidget::DrawChildren);
        }
        benchmark::DoNotOptimize(QtImage.constBits());
        const double B = std::chrono::duration<double>(TClock::now() - Start).count();
        Nv += A;
        QtTime += B;
        State.SetIterationTime(A);
    }
    const double N = static_cast<double>(State.iterations());
    State.counters["nv_ms"] = Nv / N * 1000;
    State.counters["qt_ms"] = QtTime / N * 1000;
    State.counters["ratio"] = QtTime > 0 ? Nv / QtTime : 0;
}
BENCHMARK(BM_HeaderPaint)->ArgName("sections")->Arg(3)->Arg(12)->UseManualTime();

} // namespace
