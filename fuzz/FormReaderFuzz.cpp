// Feeds arbitrary text to the form reader: it may raise its exceptions, but
// must not crash, hang, leak or leave components behind.
#include <QApplication>

#include <cstdlib>

#include "FormFixtures.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication App(*argc, *argv);
    RegisterFixtureClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const String Text(reinterpret_cast<const char*>(Data), Size);
    const int Before = TLiveCount::Value();
    TFormReadOptions Options;
    Options.FileName = "fuzz.nvf";
    Options.BaseDir = "/nonexistent";
    try {
        std::unique_ptr<TComponent> Root(ReadComponentFromText(Text, nullptr, nullptr, Options));
        // What was read must write and read back.
        std::unique_ptr<TComponent> Again(ReadComponentFromText(ComponentToText(Root.get()), nullptr));
    } catch (const Exception&) {
    }
    if (TLiveCount::Value() != Before)
        std::abort();
    return 0;
}
