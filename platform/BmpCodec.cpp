#include "BmpCodec.h"

#include <algorithm>
#include <cstring>

#include "Streams.h"

namespace {

constexpr uint32_t BiRGB = 0, BiRLE8 = 1, BiRLE4 = 2, BiBitFields = 3, BiJPEG = 4, BiPNG = 5, BiAlphaBitFields = 6;
constexpr size_t FileHeaderSize = 14;
constexpr size_t MaxInfoHeaderSize = 124;

[[noreturn]] void Bad(const char* What, const String& Detail)
{
    throw EInvalidGraphic(String(What) + " is not valid: " + Detail);
}

uint16_t LE16(const uint8_t* P)
{
    return static_cast<uint16_t>(P[0] | P[1] << 8);
}

uint32_t LE32(const uint8_t* P)
{
    return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24;
}

void Put16(std::vector<uint8_t>& Out, uint16_t V)
{
    Out.push_back(static_cast<uint8_t>(V));
    Out.push_back(static_cast<uint8_t>(V >> 8));
}

void Put32(std::vector<uint8_t>& Out, uint32_t V)
{
    for (int I = 0; I < 4; ++I)
        Out.push_back(static_cast<uint8_t>(V >> (8 * I)));
}

String Hex(uint32_t V)
{
    return "$" + IntToHex(V, 2);
}

// The layout of a packed image: its info header and where its parts lie.
struct TDibLayout {
    uint32_t HeaderSize = 0;
    int Width = 0, Height = 0; // Height counts the rows of the colour image
    bool TopDown = false;
    int BitCount = 0;
    uint32_t Compression = BiRGB;
    bool Core = false; // 12-byte header: 3-byte colour table entries
    uint32_t Masks[4] = {};
    size_t PaletteOffset = 0; // from the start of the info header
    size_t PaletteCount = 0;
    size_t EntrySize = 4;
    size_t BitsOffset = 0;    // from the start of the info header
    size_t BitsSize = 0;      // colour rows (or compressed data)
    size_t Stride = 0;
    uint32_t SizeImage = 0;
};

size_t StrideOf(int Width, int BitCount)
{
    return ((size_t(Width) * size_t(BitCount) + 31) / 32) * 4;
}

bool ContiguousMask(uint32_t M)
{
    if (M == 0)
        return false;
    while ((M & 1) == 0)
        M >>= 1;
    return (M & (M + 1)) == 0;
}

// Parses the info header at P (N bytes available from it, Total bytes in all
// after it, FileOffset its offset in the file for messages). For icons the
// height is halved and the AND mask is counted by the caller.
TDibLayout ParseInfoHeader(const uint8_t* P, size_t N, const char* What, size_t FileOffset, bool Icon)
{
    TDibLayout L;
    if (N < 4)
        Bad(What, "the info header at offset " + IntToStr(uint64_t(FileOffset)) + " is truncated");
    L.HeaderSize = LE32(P);
    const uint32_t HS = L.HeaderSize;
    const bool Windows = HS == 40 || HS == 52 || HS == 56 || HS == 108 || HS == 124;
    const bool Os2 = !Windows && HS >= 16 && HS <= 64;
    L.Core = HS == 12;
    if (!Windows && !Os2 && !L.Core)
        Bad(What, "the info header size " + IntToStr(HS) + " is not one of the known sizes (12, 16 to 64, 108, 124)");
    if (N < HS)
        Bad(What, "the info header of " + IntToStr(HS) + " bytes is truncated to " + IntToStr(uint64_t(N)) + " bytes");
    int64_t Width, Height;
    int Planes;
    uint32_t ClrUsed = 0;
    if (L.Core) {
        Width = LE16(P + 4);
        Height = LE16(P + 6);
        Planes = LE16(P + 8);
        L.BitCount = LE16(P + 10);
        L.EntrySize = 3;
    } else {
        Width = static_cast<int32_t>(LE32(P + 4));
        Height = static_cast<int32_t>(LE32(P + 8));
        Planes = LE16(P + 12);
        L.BitCount = LE16(P + 14);
        auto Field = [&](size_t At) { return At + 4 <= HS ? LE32(P + At) : 0u; };
        L.Compression = Field(16);
        L.SizeImage = Field(20);
        ClrUsed = Field(32);
    }
    if (Height < 0) {
        if (Icon)
            Bad(What, "an icon image cannot be stored top-down");
        L.TopDown = true;
        Height = -Height;
    }
    if (Icon) {
        if (Height % 2 != 0)
            Bad(What, "the icon image height " + IntToStr(Height) + " is not twice the image height");
        Height /= 2;
    }
    if (Planes != 1)
        Bad(What, "the image has " + IntToStr(Planes) + " colour planes; 1 is required");
    CheckBitmapSize(Width, Height, What);
    L.Width = static_cast<int>(Width);
    L.Height = static_cast<int>(Height);
    const int BC = L.BitCount;
    if (BC != 1 && BC != 4 && BC != 8 && BC != 16 && BC != 24 && BC != 32)
        Bad(What, IntToStr(BC) + " bits per pixel is not a supported depth (1, 4, 8, 16, 24 or 32)");

    // Compression and masks.
    switch (L.Compression) {
    case BiRGB:
        break;
    case BiRLE8:
    case BiRLE4:
        if ((L.Compression == BiRLE8 && BC != 8) || (L.Compression == BiRLE4 && BC != 4))
            Bad(What, String(L.Compression == BiRLE8 ? "RLE8" : "RLE4") + " compression is used with " + IntToStr(BC) +
                          " bits per pixel");
        if (L.TopDown)
            Bad(What, "a compressed bitmap cannot be stored top-down");
        if (Icon)
            Bad(What, "icon images cannot be compressed");
        break;
    case BiBitFields:
    case BiAlphaBitFields:
        if (Os2)
            Bad(What, L.Compression == BiBitFields ? "Huffman-compressed bitmaps are not supported"
                                                   : "unknown compression " + IntToStr(L.Compression));
        if (BC != 16 && BC != 32)
            Bad(What, "bit fields are used with " + IntToStr(BC) + " bits per pixel");
        break;
    case BiJPEG:
    case BiPNG:
        Bad(What, Os2 && L.Compression == BiJPEG ? "RLE24 compression is not supported"
                                                   : String(L.Compression == BiJPEG ? "JPEG" : "PNG") +
                                                         " data inside a bitmap is not supported");
    default:
        Bad(What, "unknown compression " + IntToStr(L.Compression));
    }
    size_t After = HS;
    if (BC == 16) {
        L.Masks[0] = 0x7C00;
        L.Masks[1] = 0x03E0;
        L.Masks[2] = 0x001F;
    } else if (BC == 32) {
        L.Masks[0] = 0x00FF0000;
        L.Masks[1] = 0x0000FF00;
        L.Masks[2] = 0x000000FF;
    }
    if (L.Compression == BiBitFields || L.Compression == BiAlphaBitFields) {
        const size_t Count = L.Compression == BiAlphaBitFields ? 4 : 3;
        if (HS >= 52) {
            for (size_t I = 0; I < 3; ++I)
                L.Masks[I] = LE32(P + 40 + 4 * I);
            L.Masks[3] = HS >= 56 ? LE32(P + 52) : 0;
        } else {
            if (N < HS + 4 * Count)
                Bad(What, "the colour masks after the info header are truncated");
            for (size_t I = 0; I < Count; ++I)
                L.Masks[I] = LE32(P + HS + 4 * I);
            After += 4 * Count;
        }
        const uint64_t Limit = BC == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        for (int I = 0; I < 4; ++I) {
            if (I < 3 && !ContiguousMask(L.Masks[I]))
                Bad(What, "colour mask " + Hex(L.Masks[I]) + " is not one run of bits");
            if (I == 3 && L.Masks[3] != 0 && !ContiguousMask(L.Masks[3]))
                Bad(What, "alpha mask " + Hex(L.Masks[3]) + " is not one run of bits");
            if (L.Masks[I] > Limit)
                Bad(What, "colour mask " + Hex(L.Masks[I]) + " has bits beyond the " + IntToStr(BC) + "-bit pixel");
        }
        if ((L.Masks[0] & L.Masks[1]) || (L.Masks[0] & L.Masks[2]) || (L.Masks[1] & L.Masks[2]) ||
            ((L.Masks[0] | L.Masks[1] | L.Masks[2]) & L.Masks[3]))
            Bad(What, "colour masks overlap");
    }

    // Colour table.
    L.PaletteOffset = After;
    if (BC <= 8) {
        const uint32_t Max = 1u << BC;
        if (ClrUsed > Max)
            Bad(What, "the colour table has " + IntToStr(ClrUsed) + " entries; a " + IntToStr(BC) +
                          "-bit image uses at most " + IntToStr(Max));
        L.PaletteCount = ClrUsed ? ClrUsed : Max;
    } else {
        if (ClrUsed > 256)
            Bad(What, "the colour table has " + IntToStr(ClrUsed) + " entries; at most 256 are allowed");
        L.PaletteCount = ClrUsed;
    }
    L.BitsOffset = L.PaletteOffset + L.PaletteCount * L.EntrySize;
    L.Stride = StrideOf(L.Width, BC);
    return L;
}

// Size of the colour rows of an uncompressed image; raises when it does not fit.
size_t UncompressedSize(const TDibLayout& L)
{
    return L.Stride * size_t(L.Height);
}

std::vector<QRgb> ReadPalette(const TDibLayout& L, const uint8_t* Header)
{
    std::vector<QRgb> Table(L.PaletteCount);
    const uint8_t* P = Header + L.PaletteOffset;
    for (size_t I = 0; I < L.PaletteCount; ++I, P += L.EntrySize)
        Table[I] = qRgb(P[2], P[1], P[0]);
    return Table;
}

struct TField {
    uint32_t Mask = 0;
    int Shift = 0;
    uint32_t Max = 0;
    explicit TField(uint32_t M) : Mask(M)
    {
        if (!M)
            return;
        while (((M >> Shift) & 1) == 0)
            ++Shift;
        Max = M >> Shift;
    }
    int Get(uint32_t V) const { return Mask ? static_cast<int>((((V & Mask) >> Shift) * 255u + Max / 2) / Max) : 0; }
};

void DecodeRle(const TDibLayout& L, const uint8_t* P, size_t N, QImage& Img, const char* What)
{
    const bool Rle4 = L.Compression == BiRLE4;
    const int64_t W = L.Width, H = L.Height;
    int64_t X = 0, Y = 0; // Y counts rows from the bottom
    size_t I = 0;
    auto Where = [&]() { return " at row " + IntToStr(Y) + ", column " + IntToStr(X) + " (data byte " + IntToStr(uint64_t(I)) + ")"; };
    auto RunOff = [&](int64_t Count) {
        Bad(What, (Rle4 ? String("RLE4") : String("RLE8")) + " run of " + IntToStr(Count) + " pixels" + Where() +
                      " runs off the image");
    };
    while (I < N) {
        if (I + 2 > N)
            Bad(What, "the compressed data ends inside a run" + Where());
        const uint8_t C = P[I], V = P[I + 1];
        if (C > 0) {
            if (Y >= H || X + C > W)
                RunOff(C);
            uchar* Row = Img.scanLine(static_cast<int>(H - 1 - Y));
            if (Rle4) {
                for (int K = 0; K < C; ++K)
                    Row[X + K] = (K & 1) ? (V & 15) : (V >> 4);
            } else {
                std::memset(Row + X, V, C);
            }
            X += C;
            I += 2;
            continue;
        }
        I += 2;
        if (V == 0) { // end of line
            X = 0;
            if (++Y > H)
                Bad(What, "an end of line follows the last row" + Where());
        } else if (V == 1) { // end of bitmap
            return;
        } else if (V == 2) { // delta
            if (I + 2 > N)
                Bad(What, "the compressed data ends inside a delta" + Where());
            X += P[I];
            Y += P[I + 1];
            I += 2;
            if (X > W || Y > H)
                Bad(What, "a delta moves off the image" + Where());
        } else { // absolute run of V pixels
            const size_t Bytes = Rle4 ? (V + 1u) / 2u : V;
            if (I + Bytes > N)
                Bad(What, "the compressed data ends inside an absolute run" + Where());
            if (Y >= H || X + V > W)
                RunOff(V);
            uchar* Row = Img.scanLine(static_cast<int>(H - 1 - Y));
            if (Rle4) {
                for (int K = 0; K < V; ++K)
                    Row[X + K] = (K & 1) ? (P[I + K / 2] & 15) : (P[I + K / 2] >> 4);
            } else {
                std::memcpy(Row + X, P + I, V);
            }
            X += V;
            I = std::min(N, I + ((Bytes + 1) & ~size_t(1)));
        }
    }
    // Data that ends without an end-of-bitmap marker ends the picture.
}

// Decodes the colour rows of a packed image into Out.
void DecodePixels(const TDibLayout& L, const uint8_t* Bits, size_t BitsSize, TBmpImage& Out, const char* What)
{
    const int W = L.Width, H = L.Height, BC = L.BitCount;
    Out.BitCount = BC;
    Out.TopDown = L.TopDown;
    Out.Compression = L.Compression == BiRLE8        ? TBmpCompression::RLE8
                      : L.Compression == BiRLE4      ? TBmpCompression::RLE4
                      : L.Compression == BiRGB       ? TBmpCompression::RGB
                                                     : TBmpCompression::BitFields;
    auto Alloc = [&](QImage::Format F) {
        QImage I(W, H, F);
        if (I.isNull())
            throw EOutOfMemory(String(What) + ": not enough memory for " + IntToStr(W) + " x " + IntToStr(H) +
                               " pixels");
        return I;
    };
    if (BC <= 8) {
        QImage Img = Alloc(QImage::Format_Indexed8);
        QList<QRgb> Table(1 << BC, qRgb(0, 0, 0));
        for (size_t I = 0; I < Out.ColorTable.size() && I < size_t(Table.size()); ++I)
            Table[qsizetype(I)] = Out.ColorTable[I];
        Img.setColorTable(Table);
        if (L.Compression == BiRLE8 || L.Compression == BiRLE4) {
            Img.fill(0);
            DecodeRle(L, Bits, BitsSize, Img, What);
        } else {
            for (int R = 0; R < H; ++R) {
                const uint8_t* S = Bits + size_t(R) * L.Stride;
                uchar* D = Img.scanLine(L.TopDown ? R : H - 1 - R);
                if (BC == 8) {
                    std::memcpy(D, S, size_t(W));
                } else if (BC == 4) {
                    for (int X = 0; X < W; ++X)
                        D[X] = (X & 1) ? (S[X >> 1] & 15) : (S[X >> 1] >> 4);
                } else {
                    for (int X = 0; X < W; ++X)
                        D[X] = (S[X >> 3] >> (7 - (X & 7))) & 1;
                }
            }
        }
        Out.Image = std::move(Img);
        return;
    }
    const auto Row = [&](int R) { return Bits + size_t(R) * L.Stride; };
    const auto Dest = [&](QImage& Img, int R) { return Img.scanLine(L.TopDown ? R : H - 1 - R); };
    if (BC == 24) {
        QImage Img = Alloc(QImage::Format_BGR888);
        for (int R = 0; R < H; ++R)
            std::memcpy(Dest(Img, R), Row(R), size_t(W) * 3);
        Out.Image = std::move(Img);
        return;
    }
    const uint32_t* M = L.Masks;
    if (BC == 16 && M[3] == 0 && M[1] == 0x03E0 && M[0] == 0x7C00 && M[2] == 0x001F) {
        QImage Img = Alloc(QImage::Format_RGB555);
        for (int R = 0; R < H; ++R) {
            auto* D = reinterpret_cast<uint16_t*>(Dest(Img, R));
            const uint8_t* S = Row(R);
            for (int X = 0; X < W; ++X)
                D[X] = LE16(S + 2 * X) & 0x7FFF;
        }
        Out.Image = std::move(Img);
        return;
    }
    if (BC == 16 && M[3] == 0 && M[1] == 0x07E0 && M[0] == 0xF800 && M[2] == 0x001F) {
        QImage Img = Alloc(QImage::Format_RGB16);
        for (int R = 0; R < H; ++R) {
            auto* D = reinterpret_cast<uint16_t*>(Dest(Img, R));
            const uint8_t* S = Row(R);
            for (int X = 0; X < W; ++X)
                D[X] = LE16(S + 2 * X);
        }
        Out.Image = std::move(Img);
        return;
    }
    const bool Alpha = M[3] != 0;
    QImage Img = Alloc(Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (BC == 32 && M[0] == 0x00FF0000 && M[1] == 0x0000FF00 && M[2] == 0x000000FF && (M[3] == 0 || M[3] == 0xFF000000)) {
        const uint32_t Or = Alpha ? 0 : 0xFF000000u;
        for (int R = 0; R < H; ++R) {
            auto* D = reinterpret_cast<QRgb*>(Dest(Img, R));
            const uint8_t* S = Row(R);
            for (int X = 0; X < W; ++X)
                D[X] = LE32(S + 4 * X) | Or;
        }
    } else {
        const TField FR(M[0]), FG(M[1]), FB(M[2]), FA(M[3]);
        for (int R = 0; R < H; ++R) {
            auto* D = reinterpret_cast<QRgb*>(Dest(Img, R));
            const uint8_t* S = Row(R);
            for (int X = 0; X < W; ++X) {
                const uint32_t V = BC == 16 ? LE16(S + 2 * X) : LE32(S + 4 * X);
                D[X] = qRgba(FR.Get(V), FG.Get(V), FB.Get(V), Alpha ? FA.Get(V) : 255);
            }
        }
    }
    Out.Image = std::move(Img);
}

// Checks the sizes of a whole BMP file held in P[0..N) and returns its layout;
// Needed receives the number of bytes the file occupies.
TDibLayout ParseFile(const uint8_t* P, size_t N, uint64_t Available, size_t& Needed)
{
    const char* What = "Bitmap image";
    if (Available < FileHeaderSize)
        Bad(What, "the file header is truncated (" + IntToStr(Available) + " bytes)");
    if (P[0] != 'B' || P[1] != 'M')
        Bad(What, "it does not start with \"BM\" but with bytes " + Hex(P[0]) + " " + Hex(P[1]));
    const uint32_t OffBits = LE32(P + 10);
    TDibLayout L = ParseInfoHeader(P + FileHeaderSize, N - FileHeaderSize, What, FileHeaderSize, false);
    L.PaletteOffset += FileHeaderSize;
    L.BitsOffset += FileHeaderSize;
    if (L.Core && L.BitCount <= 8 && OffBits > L.PaletteOffset) {
        // The core header has no colour count: the table fills the room
        // before the pixels.
        L.PaletteCount = std::min<size_t>(L.PaletteCount, (OffBits - L.PaletteOffset) / 3);
        L.BitsOffset = L.PaletteOffset + L.PaletteCount * 3;
    }
    if (OffBits != 0) {
        if (OffBits < L.BitsOffset)
            Bad(What, "the pixel data offset " + IntToStr(OffBits) + " lies inside the headers or the colour table (" +
                          IntToStr(uint64_t(L.BitsOffset)) + " bytes)");
        L.BitsOffset = OffBits;
    }
    if (L.BitsOffset > Available)
        Bad(What, "the pixel data offset " + IntToStr(uint64_t(L.BitsOffset)) + " lies beyond the end of the data (" +
                      IntToStr(Available) + " bytes)");
    const uint64_t Left = Available - L.BitsOffset;
    if (L.Compression == BiRLE8 || L.Compression == BiRLE4) {
        const uint32_t SizeImage = L.SizeImage;
        if (SizeImage > Left)
            Bad(What, "the compressed pixel data of " + IntToStr(SizeImage) + " bytes is truncated to " +
                          IntToStr(Left) + " bytes");
        L.BitsSize = SizeImage ? SizeImage : static_cast<size_t>(Left);
    } else {
        L.BitsSize = UncompressedSize(L);
        if (L.BitsSize > Left)
            Bad(What, "the pixel data is truncated: " + IntToStr(uint64_t(L.BitsSize)) + " bytes are needed, " +
                          IntToStr(Left) + " are present");
    }
    Needed = L.BitsOffset + L.BitsSize;
    return L;
}

TBmpImage DecodeFile(const uint8_t* P, size_t N, size_t& Needed)
{
    TDibLayout L = ParseFile(P, N, N, Needed);
    TBmpImage Out;
    Out.ColorTable = ReadPalette(L, P);
    DecodePixels(L, P + L.BitsOffset, L.BitsSize, Out, "Bitmap image");
    return Out;
}

// ---------------------------------------------------------------- writing

struct TPrepared {
    QImage Image;
    int BitCount = 24;
    std::vector<QRgb> Table;
    uint32_t Compression = BiRGB;
    uint32_t Masks[4] = {};
    bool Alpha = false;
};

TPrepared Prepare(const TBmpImage& Src)
{
    TPrepared P;
    P.BitCount = Src.BitCount;
    const QImage& I = Src.Image;
    if (I.isNull())
        throw EInvalidGraphicOperation("Cannot write an empty bitmap image");
    CheckBitmapSize(I.width(), I.height());
    switch (P.BitCount) {
    case 1:
    case 4:
    case 8: {
        const size_t Max = size_t(1) << P.BitCount;
        if (!Src.ColorTable.empty()) {
            P.Table = Src.ColorTable;
        } else {
            const QList<QRgb> T = I.colorTable();
            P.Table.assign(T.begin(), T.end());
            if (P.Table.size() > Max)
                P.Table.resize(Max); // a padded table of a decoded image
        }
        if (P.Table.size() > Max)
            throw EInvalidGraphicOperation("A colour table of " + IntToStr(uint64_t(P.Table.size())) +
                                           " entries does not fit a " + IntToStr(P.BitCount) + "-bit bitmap");
        if (P.Table.empty())
            throw EInvalidGraphicOperation("A " + IntToStr(P.BitCount) + "-bit bitmap needs a colour table");
        for (QRgb& C : P.Table)
            C = qRgb(qRed(C), qGreen(C), qBlue(C));
        if (I.format() == QImage::Format_Indexed8) {
            P.Image = I;
        } else if (I.format() == QImage::Format_Mono || I.format() == QImage::Format_MonoLSB) {
            P.Image = I.convertToFormat(QImage::Format_Indexed8);
        } else {
            const QList<QRgb> T(P.Table.begin(), P.Table.end());
            P.Image = I.convertToFormat(QImage::Format_Indexed8, T, Qt::ThresholdDither | Qt::AvoidDither);
        }
        const uchar Limit = static_cast<uchar>(Max - 1);
        for (int Y = 0; Y < P.Image.height(); ++Y) {
            const uchar* Row = P.Image.constScanLine(Y);
            for (int X = 0; X < P.Image.width(); ++X)
                if (Row[X] > Limit)
                    throw EInvalidGraphicOperation("Pixel (" + IntToStr(X) + ", " + IntToStr(Y) + ") has colour index " +
                                                   IntToStr(int(Row[X])) + ", which a " + IntToStr(P.BitCount) +
                                                   "-bit bitmap cannot hold");
        }
        break;
    }
    case 16:
        if (I.format() == QImage::Format_RGB555) {
            P.Image = I;
        } else {
            P.Image = I.convertToFormat(QImage::Format_RGB16);
            P.Compression = BiBitFields;
            P.Masks[0] = 0xF800;
            P.Masks[1] = 0x07E0;
            P.Masks[2] = 0x001F;
        }
        break;
    case 24:
        P.Image = I.convertToFormat(QImage::Format_BGR888);
        break;
    case 32:
        P.Alpha = I.hasAlphaChannel();
        P.Image = I.convertToFormat(P.Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (P.Alpha) {
            P.Compression = BiBitFields;
            P.Masks[0] = 0x00FF0000;
            P.Masks[1] = 0x0000FF00;
            P.Masks[2] = 0x000000FF;
            P.Masks[3] = 0xFF000000;
        }
        break;
    default:
        throw EInvalidGraphicOperation("Bitmaps of " + IntToStr(P.BitCount) + " bits per pixel cannot be written");
    }
    if (P.Image.isNull())
        throw EOutOfMemory("Not enough memory to convert the bitmap image");
    return P;
}

// One row of pixels as the file stores it (Stride bytes, zero padded).
void PackRow(const TPrepared& P, int Y, uint8_t* D)
{
    const int W = P.Image.width();
    const uchar* S = P.Image.constScanLine(Y);
    switch (P.BitCount) {
    case 1:
        for (int X = 0; X < W; ++X)
            if (S[X])
                D[X >> 3] |= static_cast<uint8_t>(0x80 >> (X & 7));
        break;
    case 4:
        for (int X = 0; X < W; ++X)
            D[X >> 1] |= static_cast<uint8_t>((X & 1) ? S[X] : S[X] << 4);
        break;
    case 8:
        std::memcpy(D, S, size_t(W));
        break;
    case 16:
        for (int X = 0; X < W; ++X) {
            const uint16_t V = reinterpret_cast<const uint16_t*>(S)[X];
            D[2 * X] = static_cast<uint8_t>(V);
            D[2 * X + 1] = static_cast<uint8_t>(V >> 8);
        }
        break;
    case 24:
        std::memcpy(D, S, size_t(W) * 3);
        break;
    case 32:
        for (int X = 0; X < W; ++X) {
            const QRgb V = reinterpret_cast<const QRgb*>(S)[X];
            D[4 * X] = static_cast<uint8_t>(qBlue(V));
            D[4 * X + 1] = static_cast<uint8_t>(qGreen(V));
            D[4 * X + 2] = static_cast<uint8_t>(qRed(V));
            D[4 * X + 3] = P.Alpha ? static_cast<uint8_t>(qAlpha(V)) : 0;
        }
        break;
    }
}

// Run-length encoding of one row of indices (RLE8 or RLE4).
void EncodeRleRow(const uchar* S, int W, bool Rle4, std::vector<uint8_t>& Out)
{
    int I = 0;
    while (I < W) {
        int Run = 1;
        while (I + Run < W && Run < 255 && S[I + Run] == S[I])
            ++Run;
        if (Run >= 3 || W - I < 3) {
            Out.push_back(static_cast<uint8_t>(Run));
            Out.push_back(Rle4 ? static_cast<uint8_t>(S[I] << 4 | S[I]) : S[I]);
            I += Run;
            continue;
        }
        // Literal pixels up to the next run of three equal pixels.
        int J = I;
        while (J < W && J - I < 255 && !(J + 2 < W && S[J] == S[J + 1] && S[J] == S[J + 2]))
            ++J;
        const int N = J - I;
        if (N < 3) {
            for (int K = 0; K < N; ++K) {
                Out.push_back(1);
                Out.push_back(Rle4 ? static_cast<uint8_t>(S[I + K] << 4) : S[I + K]);
            }
        } else {
            Out.push_back(0);
            Out.push_back(static_cast<uint8_t>(N));
            size_t Bytes = 0;
            if (Rle4) {
                for (int K = 0; K < N; K += 2, ++Bytes)
                    Out.push_back(static_cast<uint8_t>(S[I + K] << 4 | (K + 1 < N ? S[I + K + 1] : 0)));
            } else {
                Out.insert(Out.end(), S + I, S + J);
                Bytes = size_t(N);
            }
            if (Bytes & 1)
                Out.push_back(0);
        }
        I = J;
    }
}

void PutInfoHeader(std::vector<uint8_t>& Out, const TPrepared& P, int Height, uint32_t ImageSize, bool V4)
{
    Put32(Out, V4 ? 108 : 40);
    Put32(Out, static_cast<uint32_t>(P.Image.width()));
    Put32(Out, static_cast<uint32_t>(Height));
    Put16(Out, 1);
    Put16(Out, static_cast<uint16_t>(P.BitCount));
    Put32(Out, P.Compression);
    Put32(Out, ImageSize);
    Put32(Out, 3780); // 96 dots per inch
    Put32(Out, 3780);
    const size_t Full = P.BitCount <= 8 ? size_t(1) << P.BitCount : 0;
    Put32(Out, P.Table.size() == Full ? 0 : static_cast<uint32_t>(P.Table.size()));
    Put32(Out, 0);
    if (V4) {
        for (uint32_t M : P.Masks)
            Put32(Out, M);
        Put32(Out, 0x73524742); // colour space: sRGB
        Out.insert(Out.end(), 36 + 12, 0);
    }
}

void PutMasksAndTable(std::vector<uint8_t>& Out, const TPrepared& P, bool V4)
{
    if (P.Compression == BiBitFields && !V4)
        for (int I = 0; I < 3; ++I)
            Put32(Out, P.Masks[I]);
    for (QRgb C : P.Table) {
        Out.push_back(static_cast<uint8_t>(qBlue(C)));
        Out.push_back(static_cast<uint8_t>(qGreen(C)));
        Out.push_back(static_cast<uint8_t>(qRed(C)));
        Out.push_back(0);
    }
}

} // namespace

void CheckBitmapSize(int64_t Width, int64_t Height, const char* What)
{
    if (Width <= 0 || Height <= 0)
        Bad(What, "its size " + IntToStr(Width) + " x " + IntToStr(Height) + " is empty or negative");
    if (Width > MaxBitmapSide || Height > MaxBitmapSide)
        Bad(What, "its size " + IntToStr(Width) + " x " + IntToStr(Height) + " exceeds the limit of " +
                      IntToStr(MaxBitmapSide) + " pixels a side");
    if (Width * Height > MaxBitmapPixels)
        Bad(What, "its size " + IntToStr(Width) + " x " + IntToStr(Height) + " exceeds the limit of " +
                      IntToStr(MaxBitmapPixels) + " pixels");
}

TBmpImage ReadBmp(const uint8_t* Data, size_t Size)
{
    size_t Needed = 0;
    return DecodeFile(Data, Size, Needed);
}

TBmpImage ReadBmp(TStream& Stream)
{
    const int64_t Start = Stream.Position();
    const int64_t Total = Stream.Size();
    const uint64_t Available = Total > Start ? static_cast<uint64_t>(Total - Start) : 0;
    // The headers first, to learn how many bytes the file occupies.
    std::vector<uint8_t> Head(static_cast<size_t>(std::min<uint64_t>(Available, FileHeaderSize + MaxInfoHeaderSize + 16)));
    if (!Head.empty())
        Stream.ReadBuffer(Head.data(), static_cast<int64_t>(Head.size()));
    size_t Needed = 0;
    (void)ParseFile(Head.data(), Head.size(), Available, Needed);
    std::vector<uint8_t> All(Needed);
    std::memcpy(All.data(), Head.data(), std::min(Head.size(), Needed));
    if (Needed > Head.size())
        Stream.ReadBuffer(All.data() + Head.size(), static_cast<int64_t>(Needed - Head.size()));
    Stream.SetPosition(Start + static_cast<int64_t>(Needed));
    return DecodeFile(All.data(), All.size(), Needed);
}

std::vector<uint8_t> EncodeBmp(const TBmpImage& Image, const TBmpWriteOptions& Options)
{
    const TPrepared P = Prepare(Image);
    const int W = P.Image.width(), H = P.Image.height();
    const bool Rle = Options.Rle && (P.BitCount == 4 || P.BitCount == 8);
    if (Rle && Options.TopDown)
        throw EInvalidGraphicOperation("A compressed bitmap cannot be stored top-down");
    const size_t Stride = StrideOf(W, P.BitCount);
    std::vector<uint8_t> Bits;
    TPrepared Q = P;
    if (Rle) {
        Q.Compression = P.BitCount == 8 ? BiRLE8 : BiRLE4;
        for (int Y = H - 1; Y >= 0; --Y) {
            EncodeRleRow(P.Image.constScanLine(Y), W, P.BitCount == 4, Bits);
            Bits.push_back(0);
            Bits.push_back(Y == 0 ? 1 : 0); // end of line, end of bitmap after the last
        }
    } else {
        Bits.assign(Stride * size_t(H), 0);
        for (int R = 0; R < H; ++R)
            PackRow(P, Options.TopDown ? R : H - 1 - R, Bits.data() + size_t(R) * Stride);
    }
    const bool V4 = P.Alpha;
    const size_t HeaderBytes = FileHeaderSize + (V4 ? 108 : 40) +
                               (P.Compression == BiBitFields && !V4 ? 12 : 0) + 4 * P.Table.size();
    std::vector<uint8_t> Out;
    Out.reserve(HeaderBytes + Bits.size());
    Out.push_back('B');
    Out.push_back('M');
    Put32(Out, static_cast<uint32_t>(HeaderBytes + Bits.size()));
    Put32(Out, 0);
    Put32(Out, static_cast<uint32_t>(HeaderBytes));
    PutInfoHeader(Out, Q, Options.TopDown ? -H : H, static_cast<uint32_t>(Bits.size()), V4);
    PutMasksAndTable(Out, Q, V4);
    Out.insert(Out.end(), Bits.begin(), Bits.end());
    return Out;
}

void WriteBmp(TStream& Stream, const TBmpImage& Image, const TBmpWriteOptions& Options)
{
    const std::vector<uint8_t> Data = EncodeBmp(Image, Options);
    Stream.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
}

TBmpImage DecodeIconDib(const uint8_t* Data, size_t Size, const char* What)
{
    TDibLayout L = ParseInfoHeader(Data, Size, What, 0, true);
    if (L.BitsOffset > Size)
        Bad(What, "the colour table is truncated");
    const size_t MaskStride = StrideOf(L.Width, 1);
    const size_t ColorBytes = UncompressedSize(L);
    const size_t MaskBytes = MaskStride * size_t(L.Height);
    if (Size - L.BitsOffset < ColorBytes + MaskBytes)
        Bad(What, "the pixel data is truncated: " + IntToStr(uint64_t(ColorBytes + MaskBytes)) + " bytes are needed, " +
                      IntToStr(uint64_t(Size - L.BitsOffset)) + " are present");
    L.BitsSize = ColorBytes;
    // A 32-bit icon image keeps alpha in the fourth byte; an image whose
    // alpha is zero throughout relies on its AND mask instead.
    const bool IconAlpha = L.BitCount == 32 && L.Compression == BiRGB;
    if (IconAlpha)
        L.Masks[3] = 0xFF000000;
    TBmpImage Out;
    Out.ColorTable = ReadPalette(L, Data);
    DecodePixels(L, Data + L.BitsOffset, ColorBytes, Out, What);
    if (IconAlpha) {
        bool AnyAlpha = false;
        for (int Y = 0; Y < Out.Image.height() && !AnyAlpha; ++Y) {
            const auto* Row = reinterpret_cast<const QRgb*>(Out.Image.constScanLine(Y));
            for (int X = 0; X < Out.Image.width() && !AnyAlpha; ++X)
                AnyAlpha = qAlpha(Row[X]) != 0;
        }
        if (!AnyAlpha) {
            for (int Y = 0; Y < Out.Image.height(); ++Y) {
                auto* Row = reinterpret_cast<QRgb*>(Out.Image.scanLine(Y));
                for (int X = 0; X < Out.Image.width(); ++X)
                    Row[X] |= 0xFF000000u;
            }
            Out.Image.reinterpretAsFormat(QImage::Format_RGB32);
        }
    }
    QImage Mask(L.Width, L.Height, QImage::Format_Mono);
    Mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const uint8_t* M = Data + L.BitsOffset + ColorBytes;
    const size_t RowBytes = std::min<size_t>(MaskStride, size_t(Mask.bytesPerLine()));
    for (int R = 0; R < L.Height; ++R)
        std::memcpy(Mask.scanLine(L.Height - 1 - R), M + size_t(R) * MaskStride, RowBytes);
    Out.Mask = std::move(Mask);
    return Out;
}

std::vector<uint8_t> EncodeIconDib(const TBmpImage& Image)
{
    const TPrepared P = Prepare(Image);
    const int W = P.Image.width(), H = P.Image.height();
    const size_t Stride = StrideOf(W, P.BitCount), MaskStride = StrideOf(W, 1);
    std::vector<uint8_t> Out;
    TPrepared Q = P;
    Q.Compression = BiRGB; // icons hold 16-bit 5-6-5 images as plain 5-5-5
    if (P.BitCount == 16 && P.Image.format() != QImage::Format_RGB555)
        Q.Image = P.Image.convertToFormat(QImage::Format_RGB555);
    const bool V4 = false;
    PutInfoHeader(Out, Q, 2 * H, static_cast<uint32_t>((Stride + MaskStride) * size_t(H)), V4);
    PutMasksAndTable(Out, Q, V4);
    const size_t BitsAt = Out.size();
    Out.resize(BitsAt + (Stride + MaskStride) * size_t(H), 0);
    for (int R = 0; R < H; ++R)
        PackRow(Q, H - 1 - R, Out.data() + BitsAt + size_t(R) * Stride);
    if (!Image.Mask.isNull()) {
        const QImage M = Image.Mask.convertToFormat(QImage::Format_Mono);
        const bool Inverted = M.colorCount() >= 2 && qGray(M.color(0)) > qGray(M.color(1));
        uint8_t* D = Out.data() + BitsAt + Stride * size_t(H);
        for (int R = 0; R < H && R < M.height(); ++R) {
            const uchar* S = M.constScanLine(H - 1 - R);
            for (int X = 0; X < W && X < M.width(); ++X) {
                const bool Bit = (S[X >> 3] >> (7 - (X & 7))) & 1;
                if (Bit != Inverted)
                    D[size_t(R) * MaskStride + (X >> 3)] |= static_cast<uint8_t>(0x80 >> (X & 7));
            }
        }
    }
    return Out;
}
