// Master/detail navigation: moving the master refreshes the detail's range
// through its index, so a move costs the same whatever the detail's size.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "DB.h"
#include "DBClient.h"

namespace {

// Detail rows counted by a link with a window of Window records, as a grid
// or a tree would show them.
class TCountingLink : public TDataLink {
public:
    long Changes = 0;

protected:
    void DataSetChanged() override { ++Changes; }
};

// Customers -> orders -> items, ten orders per customer and ten items per
// order, the items stored in an order unrelated to their keys.
struct TChain {
    TClientDataSet Customers, Orders, Items;
    TDataSource CustSource, OrderSource, ItemSource;
    TCountingLink ItemLink;

    TChain(int ItemCount, int Window)
    {
        const int OrderCount = ItemCount / 10;
        const int CustomerCount = OrderCount / 10;
        Customers.FieldDefs()->Add("CustNo", ftInteger);
        Customers.FieldDefs()->Add("Company", ftString, 30);
        Orders.FieldDefs()->Add("OrderNo", ftInteger);
        Orders.FieldDefs()->Add("CustNo", ftInteger);
        Items.FieldDefs()->Add("OrderNo", ftInteger);
        Items.FieldDefs()->Add("ItemNo", ftInteger);
        Items.FieldDefs()->Add("Qty", ftInteger);
        Customers.CreateDataSet();
        Orders.CreateDataSet();
        Items.CreateDataSet();
        for (int C = 0; C < CustomerCount; ++C)
            Customers.AppendRecord({C, "Company " + IntToStr(C)});
        for (int O = 0; O < OrderCount; ++O)
            Orders.AppendRecord({O, static_cast<int>((O * 7919L) % CustomerCount)});
        for (int I = 0; I < ItemCount; ++I)
            Items.AppendRecord({static_cast<int>((I * 104729L) % OrderCount), I, I % 17});
        CustSource.SetDataSet(&Customers);
        OrderSource.SetDataSet(&Orders);
        ItemSource.SetDataSet(&Items);
        Orders.SetIndexFieldNames("CustNo;OrderNo");
        Orders.SetMasterFields("CustNo");
        Orders.SetMasterSource(&CustSource);
        Items.SetIndexFieldNames("OrderNo;ItemNo");
        Items.SetMasterFields("OrderNo");
        Items.SetMasterSource(&OrderSource);
        ItemLink.SetBufferCount(Window);
        ItemLink.SetDataSource(&ItemSource);
        Customers.First();
    }
};

TChain& Chain(int ItemCount, int Window)
{
    static std::map<std::pair<int, int>, std::unique_ptr<TChain>> Chains;
    auto& C = Chains[{ItemCount, Window}];
    if (!C)
        C = std::make_unique<TChain>(ItemCount, Window);
    return *C;
}

// One move of the orders: the items follow.
void BM_DetailFollowsMaster(benchmark::State& State)
{
    TChain& C = Chain(static_cast<int>(State.range(0)), static_cast<int>(State.range(1)));
    C.Customers.First();
    long Rows = 0;
    for (auto _ : State) {
        if (C.Orders.Eof())
            C.Orders.First();
        C.Orders.Next();
        Rows += C.ItemLink.RecordCount();
    }
    benchmark::DoNotOptimize(Rows);
    State.counters["detail rows"] = static_cast<double>(State.range(0));
}
BENCHMARK(BM_DetailFollowsMaster)->Args({10000, 1})->Args({100000, 1})->Args({100000, 20});

// One move of the customers: the orders and then the items follow.
void BM_ThreeLevelsFollowTheTop(benchmark::State& State)
{
    TChain& C = Chain(static_cast<int>(State.range(0)), 20);
    for (auto _ : State) {
        if (C.Customers.Eof())
            C.Customers.First();
        C.Customers.Next();
        benchmark::DoNotOptimize(C.Items.RecordCount());
    }
}
BENCHMARK(BM_ThreeLevelsFollowTheTop)->Arg(10000)->Arg(100000);

// Locate through an index and by scanning.
void BM_Locate(benchmark::State& State)
{
    TChain& C = Chain(100000, 1);
    C.Items.SetMasterSource(nullptr);
    C.Items.SetIndexFieldNames(State.range(0) ? "ItemNo" : "Qty");
    int Key = 0;
    for (auto _ : State) {
        benchmark::DoNotOptimize(C.Items.Locate("ItemNo", Key));
        Key = (Key + 7919) % 100000;
    }
    C.Items.SetIndexFieldNames("OrderNo;ItemNo");
    C.Items.SetMasterSource(&C.OrderSource);
}
BENCHMARK(BM_Locate)->Arg(1)->Arg(0);

} // namespace
