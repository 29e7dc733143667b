// Feeds arbitrary bytes to the rich text reader: it may raise EReadError but
// must not crash, hang or run out of memory, and a document it read must write
// and read back to the same document.
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdlib>

#include "RichText.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication App(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const String Rtf(reinterpret_cast<const char*>(Data), Size);
    QTextDocument Doc;
    try {
        ReadRtf(Doc, Rtf);
    } catch (const EReadError&) {
        return 0;
    }
    const String Written = WriteRtf(Doc);
    QTextDocument Again;
    ReadRtf(Again, Written);
    if (Again.toRawText() != Doc.toRawText() || WriteRtf(Again) != Written)
        std::abort();
    return 0;
}
