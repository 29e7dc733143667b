// libFuzzer target for the dataset file reader. Any input either loads or
// raises EDatabaseError; what loads can be browsed, saved and read back to the
// same file. Seeds: the sample files in app/db.
//   build-fuzz/fuzz/client_dataset_fuzz -max_len=65536 app/db
#include <cstddef>
#include <cstdint>

#include "DBClient.h"
#include "Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const QByteArray Input(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    try {
        TClientDataSet::ReadPacket(Input, "fuzz");
    } catch (const EDatabaseError&) {
        return 0;
    }
    // It parsed: the dataset must open on it and survive a round trip.
    TClientDataSet DS;
    TMemoryStream In(std::vector<uint8_t>(Data, Data + Size));
    DS.LoadFromStream(In);
    for (DS.First(); !DS.Eof(); DS.Next())
        for (TField* F : DS.Fields())
            (void)F->DisplayText();
    TMemoryStream Out;
    DS.SaveToStream(Out);
    const QByteArray Saved(reinterpret_cast<const char*>(Out.Memory()), static_cast<qsizetype>(Out.Size()));
    if (TClientDataSet::WritePacket(TClientDataSet::ReadPacket(Saved, "round trip")) != Saved)
        __builtin_trap();
    return 0;
}
