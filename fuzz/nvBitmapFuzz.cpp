// Feeds arbitrary bytes to TnvBitmap::LoadFromStream. Bad data must raise an
// exception with a message and leave the previous picture alone; a picture
// that loads must keep its pixels, pixel format and colour table through
// SaveToStream and a second load. Small pictures then go through the
// neighbourhood and geometry effects and the drawing operations with
// parameters taken from the input, so the sanitizers see every sample those
// read.
#include <QGuiApplication>

#include <cstdlib>
#include <cstring>

#include "Streams.h"
#include "nvBitmap.h"

// Drawing goes through the platform's canvas, which wants a GUI application.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication App(*argc, *argv);
    return 0;
}

namespace {

int32_t Le32(const uint8_t* P)
{
    return int32_t(uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24);
}

// Pictures that claim more than 4 Mi pixels are skipped to keep the fuzzer
// fast: their limits are the BMP reader's, which bmp_reader_fuzz covers.
bool TooLarge(const uint8_t* Data, size_t Size)
{
    if (Size < 26 || Data[0] != 'B' || Data[1] != 'M')
        return false;
    const uint32_t Header = uint32_t(Le32(Data + 14));
    int64_t W, H;
    if (Header == 12) {
        W = Data[18] | Data[19] << 8;
        H = Data[20] | Data[21] << 8;
    } else {
        W = Le32(Data + 18);
        H = Le32(Data + 22);
    }
    return std::llabs(W) * std::llabs(H) > (int64_t(1) << 22);
}

void Check(bool Ok)
{
    if (!Ok)
        std::abort();
}

bool SamePixels(const TnvBitmap& A, const TnvBitmap& B)
{
    if (A.Width() != B.Width() || A.Height() != B.Height())
        return false;
    for (int Y = 0; Y < A.Height(); ++Y)
        if (std::memcmp(A.Row(Y), B.Row(Y), size_t(A.Width()) * 3) != 0)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (TooLarge(Data, Size))
        return 0;
    TnvBitmap B;
    B.SetSize(2, 3);
    B.Row(1)[1] = MakeTriple(1, 2, 3);
    try {
        TMemoryStream S(std::vector<uint8_t>(Data, Data + Size));
        B.LoadFromStream(S);
    } catch (const Exception& E) {
        Check(!E.Message().empty());
        Check(B.Width() == 2 && B.Height() == 3 && B.Row(1)[1] == MakeTriple(1, 2, 3));
        return 0;
    }
    if (B.Empty())
        return 0;
    Check(B.RowStride() == 3 * B.Width() + B.Width() % 4);
    Check(reinterpret_cast<uint8_t*>(B.Rows()[B.Height() - 1]) == B.Bits() + (B.Height() - 1) * B.RowStride());

    TMemoryStream Out;
    B.SaveToStream(Out);
    Out.SetPosition(0);
    TnvBitmap C;
    C.LoadFromStream(Out);
    Check(SamePixels(B, C));
    Check(C.PixelFormat() == B.PixelFormat());
    Check(C.ColorTableCount() == B.ColorTableCount());
    Check(std::memcmp(C.ColorTable().data(), B.ColorTable().data(), sizeof(TRGBQuad) * 256) == 0);

    if (int64_t(B.Width()) * B.Height() <= 4096 && Size >= 8) {
        const int8_t* P = reinterpret_cast<const int8_t*>(Data + Size - 8);
        B.BlurStep(P[0]);
        B.Sharpen(P[1]);
        B.Sponge(P[2]);
        B.Wave(P[3], P[4], P[5] * 3, P[6] & 1);
        B.Rotate(TPoint(P[0], P[1]), P[7] * 7.5L);
        B.Emboss();
        B.Flip(P[6] & 2);
        C.SetTransparent(true);
        B.AlphaBlend(&C, uint8_t(P[2]), true);
        // Drawing: scaled both ways, transparent, tiled, with the helpers.
        TBitmap Dest;
        Dest.SetSize(40, 30);
        const TRect R(P[0] % 20, P[1] % 20, P[0] % 20 + P[3], P[1] % 20 + P[4]);
        B.SetSmoothStretching(P[6] & 4);
        B.SetTransparent(P[6] & 8);
        Dest.Canvas()->StretchDraw(R, &B);
        Dest.Canvas()->Draw(P[5] % 40, P[7] % 30, &B);
        B.TileDraw(Dest.Canvas(), R);
        DrawBitmapTransparent(Dest.Canvas(), R, &B, MakeColor(0xFFFFFFFF));
        DitherFill(Dest.Canvas(), R, P[2] & 1 ? clNone : clRed, clBlue);
        FillOutsideRegion(&B, RegionFromBitmap(&B, MakeColor(0xFFFFFFFF)));
        B.StretchTo(B.Width() + P[3] % 5, B.Height() + P[4] % 5);
    }
    return 0;
}
