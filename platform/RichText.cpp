// Rich text entry points; the reader and the writer are RtfReader.cpp and
// RtfWriter.cpp.
#include "RichText.h"

#include <QTextDocument>

#include <algorithm>

#include "RtfReader.h"
#include "Streams.h"

void ReadRtf(QTextDocument& Doc, const String& Data, const TRtfReadOptions& Options)
{
    if (Data.compare(0, 5, "{\\rtf") != 0)
        Rtf::ReadPlainText(Doc, Data);
    else
        Rtf::ReadDocument(Doc, Data.data(), Data.data() + Data.size(), Options);
}

void ReadRtf(QTextDocument& Doc, TStream& Stream, const TRtfReadOptions& Options)
{
    const int64_t Count = std::max<int64_t>(0, Stream.Size() - Stream.Position());
    String Data(static_cast<size_t>(Count), '\0');
    Stream.ReadBuffer(Data.data(), Count);
    ReadRtf(Doc, Data, Options);
}

String WriteRtf(const QTextDocument& Doc)
{
    return Rtf::WriteDocument(Doc);
}

void WriteRtf(const QTextDocument& Doc, TStream& Stream)
{
    const String Data = WriteRtf(Doc);
    Stream.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
}
