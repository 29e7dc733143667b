// Feeds arbitrary bytes to the BMP reader (from memory and from a stream) and
// to the packed icon image reader: they may raise EInvalidGraphic, but must
// not crash, hang or allocate without bound. A picture that reads must write
// and read back with the same size, depth and pixels.
#include <cstdlib>
#include <cstring>

#include "BmpCodec.h"
#include "Streams.h"

namespace {

void CheckRoundTrip(const TBmpImage& B)
{
    // Keep the fuzzer fast: large pictures (from tiny RLE data) are only read.
    if (int64_t(B.Image.width()) * B.Image.height() > (int64_t(1) << 20))
        return;
    const std::vector<uint8_t> Again = EncodeBmp(B);
    const TBmpImage C = ReadBmp(Again.data(), Again.size());
    if (C.Image.size() != B.Image.size() || C.BitCount != B.BitCount)
        std::abort();
    // 16-bit pictures with masks other than 5-5-5 and 5-6-5 are written as
    // 5-6-5 and lose precision.
    if (B.BitCount == 16 && B.Image.format() == QImage::Format_RGB32)
        return;
    for (int Y = 0; Y < B.Image.height(); ++Y)
        for (int X = 0; X < B.Image.width(); ++X) {
            const bool Same = B.BitCount <= 8 ? B.Image.pixelIndex(X, Y) == C.Image.pixelIndex(X, Y)
                                              : B.Image.pixel(X, Y) == C.Image.pixel(X, Y);
            if (!Same)
                std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    try {
        CheckRoundTrip(ReadBmp(Data, Size));
    } catch (const EInvalidGraphic&) {
    }
    try {
        TMemoryStream S(std::vector<uint8_t>(Data, Data + Size));
        const TBmpImage B = ReadBmp(S);
        if (S.Position() > S.Size())
            std::abort();
    } catch (const EInvalidGraphic&) {
    }
    try {
        DecodeIconDib(Data, Size, "Icon image");
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
