// The tree view against QTreeWidget, the same trees built and worked in one
// run: adding nodes (flat and ten levels deep), expanding every node,
// sorting, walking Items.Item[i] forward, writing and reading the node
// stream, and painting one screen of rows of a small and a huge tree.
//
// Each benchmark times both, one after the other in every iteration; the
// reported time is the tree view's (manual time), and the counters give
// both in milliseconds and their ratio (tree view / QTreeWidget: below 1 the
// tree view is faster). Run with --benchmark_counters_tabular=true.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QDataStream>
#include <QHeaderView>
#include <QImage>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <chrono>
#include <functional>
#include <memory>
#include <random>

#include "Forms.h"
#include "Streams.h"
#include "nvTreeView.h"

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& F)
{
    const auto Start = TClock::now();
    F();
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

// Both times of one benchmark, reported as counters.
struct TPair {
    double Nv = 0;
    double Qt = 0;
    void Report(benchmark::State& State)
    {
        const double N = static_cast<double>(State.iterations());
        State.counters["nv_ms"] = Nv / N * 1000;
        State.counters["qt_ms"] = Qt / N * 1000;
        State.counters["ratio"] = Qt > 0 ? Nv / Qt : 0;
    }
};

class TBenchTree : public TnvTreeView {
public:
    explicit TBenchTree(TComponent* AOwner = nullptr) : TnvTreeView(AOwner) {}
    void PaintInto(QImage& Image) { PaintControl(Image); }
};

String Name(int K)
{
    return "Node " + std::to_string(K);
}

QString QName(int K)
{
    return QStringLiteral("Node %1").arg(K);
}

// Flat: N top-level nodes. Deep: N / 10 chains of ten levels.
void BuildNv(TnvTreeNodes* Items, int N, bool Deep)
{
    if (!Deep) {
        for (int K = 0; K < N; ++K)
            Items->Add(nullptr, Name(K));
        return;
    }
    for (int K = 0; K < N;) {
        TnvTreeNode* P = Items->Add(nullptr, Name(K++));
        for (int L = 1; L < 10 && K < N; ++L)
            P = Items->AddChild(P, Name(K++));
    }
}

void BuildQt(QTreeWidget* W, int N, bool Deep)
{
    if (!Deep) {
        for (int K = 0; K < N; ++K)
            (new QTreeWidgetItem(W))->setText(0, QName(K));
        return;
    }
    for (int K = 0; K < N;) {
        auto* P = new QTreeWidgetItem(W);
        P->setText(0, QName(K++));
        for (int L = 1; L < 10 && K < N; ++L) {
            P = new QTreeWidgetItem(P);
            P->setText(0, QName(K++));
        }
    }
}

struct TTrees {
    std::unique_ptr<TForm> Form;
    TBenchTree* Nv = nullptr;
    std::unique_ptr<QTreeWidget> Qt;
    TTrees(int W = 300, int H = 400)
    {
        InitApplication();
        Form = std::make_unique<TForm>();
        Form->SetBounds(0, 0, W + 20, H + 20);
        Nv = new TBenchTree(Form.get());
        Nv->SetParent(Form.get());
        Nv->SetBounds(0, 0, W, H);
        Qt = std::make_unique<QTreeWidget>();
        Qt->setColumnCount(1);
        Qt->header()->hide();
        Qt->resize(W, H);
    }
};

void BM_AddNodes(benchmark::State& State)
{
    const int N = static_cast<int>(State.range(0));
    const bool Deep = State.range(1) != 0;
    TPair P;
    for (auto _ : State) {
        TTrees T;
        const double Nv = Seconds([&] { BuildNv(T.Nv->Items(), N, Deep); });
        const double Qt = Seconds([&] { BuildQt(T.Qt.get(), N, Deep); });
        P.Nv += Nv;
        P.Qt += Qt;
        State.SetIterationTime(Nv);
    }
    P.Report(State);
    State.counters["nodes"] = N;
}
BENCHMARK(BM_AddNodes)
    ->ArgNames({"nodes", "deep"})
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_FullExpand(benchmark::State& State)
{
    const int N = static_cast<int>(State.range(0));
    TTrees T;
    BuildNv(T.Nv->Items(), N, true);
    BuildQt(T.Qt.get(), N, true);
    TPair P;
    for (auto _ : State) {
        T.Nv->FullCollapse();
        T.Qt->collapseAll();
        const double Nv = Seconds([&] { T.Nv->FullExpand(); });
        const double Qt = Seconds([&] { T.Qt->expandAll(); });
        P.Nv += Nv;
        P.Qt += Qt;
        State.SetIterationTime(Nv);
    }
    P.Report(State);
}
BENCHMARK(BM_FullExpand)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_AlphaSort(benchmark::State& State)
{
    const int N = static_cast<int>(State.range(0));
    TTrees T;
    BuildNv(T.Nv->Items(), N, false);
    BuildQt(T.Qt.get(), N, false);
    std::mt19937 Random(7);
    TPair P;
    for (auto _ : State) {
        // The same shuffled texts in both trees.
        std::vector<int> Keys(static_cast<size_t>(N));
        for (int& K : Keys)
            K = static_cast<int>(Random() % 1000000);
        int K = 0;
        for (TnvTreeNode* Node = T.Nv->Items()->GetFirstNode(); Node; Node = Node->GetNextSibling())
            Node->SetText(Name(Keys[size_t(K++)]));
        for (int I = 0; I < N; ++I)
            T.Qt->topLevelItem(I)->setText(0, QName(Keys[size_t(I)]));
        const double Nv = Seconds([&] { T.Nv->AlphaSort(); });
        const double Qt = Seconds([&] { T.Qt->sortItems(0, Qt::AscendingOrder); });
        P.Nv += Nv;
        P.Qt += Qt;
        State.SetIterationTime(Nv);
    }
    P.Report(State);
}
BENCHMARK(BM_AlphaSort)->Arg(10000)->Arg(100000)->Arg(200000)->UseManualTime()->Unit(benchmark::kMillisecond);

// Items.Item[i] for i walking forward (every node of the deep tree), against
// QTreeWidget's depth-first item iterator.
void BM_ItemWalk(benchmark::State& State)
{
    const int N = static_cast<int>(State.range(0));
    TTrees T;
    BuildNv(T.Nv->Items(), N, true);
    BuildQt(T.Qt.get(), N, true);
    TPair P;
    for (auto _ : State) {
        int64_t Sum = 0;
        const double Nv = Seconds([&] {
            TnvTreeNodes* Items = T.Nv->Items();
            for (int I = 0; I < N; ++I)
                Sum += Items->Item(I)->Text().size();
        });
        const double Qt = Seconds([&] {
            for (QTreeWidgetItemIterator It(T.Qt.get()); *It; ++It)
                Sum += (*It)->text(0).size();
        });
        benchmark::DoNotOptimize(Sum);
        P.Nv += Nv;
        P.Qt += Qt;
        State.SetIterationTime(Nv);
    }
    P.Report(State);
}
BENCHMARK(BM_ItemWalk)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);

// QTreeWidget's nearest stream: every item with its own data stream
// operator and its child count, depth first.
void WriteQt(QDataStream& S, QTreeWidgetItem* Item)
{
    S << *Item << qint32(Item->childCount());
    for (int K = 0; K < Item->childCount(); ++K)
        WriteQt(S, Item->child(K));
}

void ReadQt(QDataStream& S, QTreeWidgetItem* Parent, QTreeWidget* W)
{
    auto* Item = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(W);
    qint32 Children = 0;
    S >> *Item >> Children;
    for (int K = 0; K < Children; ++K)
        ReadQt(S, Item, W);
}

void BM_Stream(benchmark::State& State)
{
    const int N = static_cast<int>(State.range(0));
    const bool Reading = State.range(1) != 0;
    TTrees T;
    BuildNv(T.Nv->Items(), N, true);
    BuildQt(T.Qt.get(), N, true);
    TPair P;
    for (auto _ : State) {
        TMemoryStream NvData;
        QByteArray QtData;
        double Nv = Seconds([&] { T.Nv->Items()->WriteData(NvData); });
        double Qt = Seconds([&] {
            QDataStream S(&QtData, QIODevice::WriteOnly);
            S << qint32(T.Qt->topLevelItemCount());
            for (int K = 0; K < T.Qt->topLevelItemCount(); ++K)
                WriteQt(S, T.Qt->topLevelItem(K));
        });
        if (Reading) {
            TTrees R;
            NvData.SetPosition(0);
            Nv = Seconds([&] { R.Nv->Items()->ReadData(NvData); });
            Qt = Seconds([&] {
                QDataStream S(&QtData, QIODevice::ReadOnly);
                qint32 Top = 0;
                S >> Top;
                for (int K = 0; K < Top; ++K)
                    ReadQt(S, nullptr, R.Qt.get());
            });
            State.PauseTiming();
            if (R.Nv->Items()->Count() != N || R.Qt->topLevelItemCount() != N / 10)
                State.SkipWithError("the trees read back differ");
            State.ResumeTiming();
        }
        P.Nv += Nv;
        P.Qt += Qt;
        State.SetIterationTime(Nv);
    }
    P.Report(State);
}
BENCHMARK(BM_Stream)
    ->ArgNames({"nodes", "read"})
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One screen of rows (the tree scrolled to its middle), painted again and
// again: the cost must not grow with the number of nodes.
void BM_PaintScreen(benchmark::State& State)
{
    const int N = static_cast<int>(State.range(0));
    TTrees T;
    TnvTreeNodes* Items = T.Nv->Items();
    Items->BeginUpdate();
    BuildNv(Items, N, false);
    Items->EndUpdate();
    BuildQt(T.Qt.get(), N, false);
    T.Nv->SetTopItem(Items->Item(N / 2));
    T.Qt->scrollToItem(T.Qt->topLevelItem(N / 2), QAbstractItemView::PositionAtTop);
    QImage NvImage(T.Nv->Width(), T.Nv->Height(), QImage::Format_ARGB32_Premultiplied);
    QImage QtImage(T.Qt->width(), T.Qt->height(), QImage::Format_ARGB32_Premultiplied);
    // The first paint measures the rows once.
    T.Nv->PaintInto(NvImage);
    T.Qt->render(&QtImage);
    TPair P;
    for (auto _ : State) {
        const double Nv = Seconds([&] { T.Nv->PaintInto(NvImage); });
        const double Qt = Seconds([&] { T.Qt->render(&QtImage); });
        P.Nv += Nv;
        P.Qt += Qt;
        State.SetIterationTime(Nv);
    }
    P.Report(State);
    State.counters["rows"] = T.Nv->PaintedItems();
}
BENCHMARK(BM_PaintScreen)->Arg(1000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
