// Reading and writing a large form: parsing, creating components through the
// registry, setting properties by reflection, and writing it back.
#include <benchmark/benchmark.h>

#include "FormFixtures.h"

namespace {

String LargeForm(int Components)
{
    String Text = "object Form1: TFixtureForm\n  Caption = 'Benchmark'\n";
    for (int I = 0; I < Components; ++I) {
        const String N = std::to_string(I);
        Text += "  object Thing" + N + ": TFixtureComponent\n    Count = " + N +
                "\n    Caption = 'Component number " + N + "'#13#10'second line'\n    Styles = [stItalic]\n"
                "    Font.Height = -12\n    Buddy = Thing" + std::to_string((I * 7) % Components) +
                "\n    OnChange = ThingChange\n    BlobData = {000102030405060708090A0B0C0D0E0F}\n  end\n";
    }
    return Text + "end\n";
}

void BM_ReadForm(benchmark::State& State)
{
    RegisterFixtureClasses();
    // The fixture's record of every notification is a test probe, not work
    // a component does: without it, this measures the reader and the owner's
    // insertion notices.
    TFixtureComponent::RecordNotifications = false;
    const String Text = LargeForm(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        std::unique_ptr<TComponent> Root(ReadComponentFromText(Text, nullptr));
        benchmark::DoNotOptimize(Root.get());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_ReadForm)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_WriteForm(benchmark::State& State)
{
    RegisterFixtureClasses();
    std::unique_ptr<TComponent> Root(ReadComponentFromText(LargeForm(static_cast<int>(State.range(0))), nullptr));
    for (auto _ : State) {
        String Text = ComponentToText(Root.get());
        benchmark::DoNotOptimize(Text.data());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_WriteForm)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
