// The BMP codec: round trips of every bit depth and row order, hand-made
// compressed and OS/2 files, bit fields, and a table of bad files.
#include <gtest/gtest.h>

#include <QImage>

#include "BmpCodec.h"
#include "Streams.h"

namespace {

// A hand-made BMP file.
struct TFile {
    uint32_t HeaderSize = 40;
    int32_t Width = 4;
    int32_t Height = 2;
    uint16_t Planes = 1;
    uint16_t Bits = 8;
    uint32_t Compression = 0;
    uint32_t SizeImage = 0;
    uint32_t ClrUsed = 0;
    std::vector<uint32_t> Palette;   // $00RRGGBB values, written B, G, R, 0
    std::vector<uint32_t> Masks;     // after a 40-byte header
    std::vector<uint8_t> Pixels;
    int64_t OffBits = -1;            // -1: right after the palette

    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> D;
        auto U16 = [&](uint32_t V) {
            D.push_back(uint8_t(V));
            D.push_back(uint8_t(V >> 8));
        };
        auto U32 = [&](uint32_t V) {
            for (int I = 0; I < 4; ++I)
                D.push_back(uint8_t(V >> (8 * I)));
        };
        const bool Core = HeaderSize == 12;
        const size_t Off = 14 + HeaderSize + 4 * Masks.size() + (Core ? 3 : 4) * Palette.size();
        D.push_back('B');
        D.push_back('M');
        U32(uint32_t(Off + Pixels.size()));
        U32(0);
        U32(uint32_t(OffBits >= 0 ? OffBits : int64_t(Off)));
        U32(HeaderSize);
        if (Core) {
            U16(uint32_t(Width));
            U16(uint32_t(Height));
            U16(Planes);
            U16(Bits);
        } else {
            U32(uint32_t(Width));
            U32(uint32_t(Height));
            U16(Planes);
            U16(Bits);
            U32(Compression);
            U32(SizeImage ? SizeImage : uint32_t(Pixels.size()));
            U32(3780);
            U32(3780);
            U32(ClrUsed);
            U32(0);
            while (D.size() < 14 + HeaderSize)
                D.push_back(0);
        }
        for (uint32_t M : Masks)
            U32(M);
        for (uint32_t C : Palette) {
            D.push_back(uint8_t(C));
            D.push_back(uint8_t(C >> 8));
            D.push_back(uint8_t(C >> 16));
            if (!Core)
                D.push_back(0);
        }
        D.insert(D.end(), Pixels.begin(), Pixels.end());
        return D;
    }
};

TBmpImage Decode(const std::vector<uint8_t>& D)
{
    return ReadBmp(D.data(), D.size());
}

std::string IndexRows(const QImage& I)
{
    std::string S;
    for (int Y = 0; Y < I.height(); ++Y) {
        for (int X = 0; X < I.width(); ++X)
            S += "0123456789ABCDEF"[I.pixelIndex(X, Y) & 15];
        S += '|';
    }
    return S;
}

// A test picture for a bit depth: indexed images use a colour table of their
// own with fewer entries than the depth allows (except 1 bit).
TBmpImage Sample(int Bits, int W, int H)
{
    TBmpImage B;
    B.BitCount = Bits;
    if (Bits <= 8) {
        const int N = Bits == 1 ? 2 : Bits == 4 ? 11 : 200;
        for (int I = 0; I < N; ++I)
            B.ColorTable.push_back(qRgb((I * 37) & 255, (I * 91 + 5) & 255, 255 - I));
        B.Image = QImage(W, H, QImage::Format_Indexed8);
        B.Image.setColorTable(QList<QRgb>(B.ColorTable.begin(), B.ColorTable.end()));
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X)
                // Runs of equal pixels and single ones, for the compressors.
                B.Image.setPixel(X, Y, uint((X / 3 + Y * 7 + (X > W / 2 ? X : 0)) % N));
        return B;
    }
    const QImage::Format F = Bits == 16 ? QImage::Format_RGB555 : Bits == 24 ? QImage::Format_BGR888 : QImage::Format_RGB32;
    B.Image = QImage(W, H, F);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            B.Image.setPixel(X, Y, qRgb(X * 255 / W, Y * 255 / H, (X * Y) & 255));
    return B;
}

void ExpectSamePixels(const TBmpImage& A, const TBmpImage& B)
{
    ASSERT_EQ(A.Image.size(), B.Image.size());
    for (int Y = 0; Y < A.Image.height(); ++Y)
        for (int X = 0; X < A.Image.width(); ++X) {
            if (A.BitCount <= 8)
                ASSERT_EQ(A.Image.pixelIndex(X, Y), B.Image.pixelIndex(X, Y)) << X << "," << Y;
            else
                ASSERT_EQ(A.Image.pixel(X, Y), B.Image.pixel(X, Y)) << X << "," << Y;
        }
}

void ExpectInvalid(const std::vector<uint8_t>& D, const std::string& Detail)
{
    try {
        Decode(D);
        ADD_FAILURE() << "no exception, expected: " << Detail;
    } catch (const EInvalidGraphic& E) {
        EXPECT_EQ(E.Message().rfind("Bitmap image is not valid: ", 0), 0u) << E.Message();
        EXPECT_NE(E.Message().find(Detail), std::string::npos) << E.Message();
    }
}

} // namespace

TEST(BmpCodecTest, RoundTripsEveryDepthAndRowOrder)
{
    for (int Bits : {1, 4, 8, 16, 24, 32})
        for (bool TopDown : {false, true})
            for (bool Rle : {false, true}) {
                if (Rle && (TopDown || (Bits != 4 && Bits != 8)))
                    continue;
                SCOPED_TRACE(testing::Message() << Bits << " bits, top-down " << TopDown << ", RLE " << Rle);
                const TBmpImage Src = Sample(Bits, 13, 7);
                TBmpWriteOptions O;
                O.TopDown = TopDown;
                O.Rle = Rle;
                const std::vector<uint8_t> D = EncodeBmp(Src, O);
                const TBmpImage Back = Decode(D);
                EXPECT_EQ(Back.BitCount, Bits);
                EXPECT_EQ(Back.TopDown, TopDown);
                EXPECT_EQ(Back.Compression, !Rle ? TBmpCompression::RGB
                                            : Bits == 8 ? TBmpCompression::RLE8
                                                        : TBmpCompression::RLE4);
                EXPECT_EQ(Back.ColorTable, Src.ColorTable);
                ExpectSamePixels(Src, Back);
                // Height is negative for top-down files.
                const int32_t Height = int32_t(D[22] | D[23] << 8 | D[24] << 16 | uint32_t(D[25]) << 24);
                EXPECT_EQ(Height, TopDown ? -7 : 7);
            }
}

TEST(BmpCodecTest, SixteenBitFormatsKeepTheirValues)
{
    for (QImage::Format F : {QImage::Format_RGB555, QImage::Format_RGB16}) {
        SCOPED_TRACE(F);
        TBmpImage Src;
        Src.BitCount = 16;
        Src.Image = QImage(5, 3, F);
        for (int Y = 0; Y < 3; ++Y)
            for (int X = 0; X < 5; ++X)
                reinterpret_cast<uint16_t*>(Src.Image.scanLine(Y))[X] = uint16_t((X * 4099 + Y * 977) & (F == QImage::Format_RGB555 ? 0x7FFF : 0xFFFF));
        const TBmpImage Back = Decode(EncodeBmp(Src));
        ASSERT_EQ(Back.Image.format(), F);
        for (int Y = 0; Y < 3; ++Y)
            EXPECT_EQ(std::memcmp(Back.Image.constScanLine(Y), Src.Image.constScanLine(Y), 10), 0);
    }
}

TEST(BmpCodecTest, StreamPositionEndsAfterThePicture)
{
    const std::vector<uint8_t> D = EncodeBmp(Sample(24, 3, 2));
    TMemoryStream S;
    S.WriteByte(0x55);
    S.WriteBuffer(D.data(), int64_t(D.size()));
    S.WriteByte(0x77);
    S.SetPosition(1);
    const TBmpImage B = ReadBmp(S);
    EXPECT_EQ(B.Image.size(), QSize(3, 2));
    EXPECT_EQ(S.Position(), int64_t(1 + D.size()));
    EXPECT_EQ(S.ReadByte(), 0x77);
}

TEST(BmpCodecTest, HandMadeRleStreams)
{
    // RLE8, 6 x 4, rows bottom-up: an encoded run, an absolute run (odd length,
    // padded), an end of line, a delta, and the end of the bitmap; skipped
    // pixels are index 0.
    TFile F8;
    F8.Width = 6;
    F8.Height = 4;
    F8.Compression = 1;
    F8.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    F8.ClrUsed = 5;
    F8.Pixels = {3, 1, 0, 3, 2, 3, 4, 0, // row 3 (bottom): 1 1 1 2 3 4, then padding
                 0, 0,                   // end of line
                 2, 4, 0, 2, 3, 1,       // row 2: 4 4, delta (+3, +1)
                 1, 2, 0, 1};            // row 1 at column 5: 2; end of bitmap
    const TBmpImage B8 = Decode(F8.Bytes());
    EXPECT_EQ(B8.Compression, TBmpCompression::RLE8);
    EXPECT_EQ(IndexRows(B8.Image), "000000|000002|440000|111234|");
    EXPECT_EQ(B8.ColorTable.size(), 5u);
    EXPECT_EQ(B8.ColorTable[1], qRgb(255, 0, 0));

    // RLE4, 5 x 2: encoded runs alternate the two nibbles; absolute run of 3.
    TFile F4;
    F4.Width = 5;
    F4.Height = 2;
    F4.Bits = 4;
    F4.Compression = 2;
    F4.Palette.assign(16, 0x808080);
    F4.Pixels = {5, 0x12, 0, 0,        // bottom row: 1 2 1 2 1
                 0, 3, 0xAB, 0xC0, 2, 0xFF, 0, 1}; // top row: A B C F F
    EXPECT_EQ(IndexRows(Decode(F4.Bytes()).Image), "ABCFF|12121|");
}

TEST(BmpCodecTest, CoreHeadersAndBitFields)
{
    // The 12-byte header with 3-byte colour table entries, 1 bit, 3 x 2.
    TFile Core;
    Core.HeaderSize = 12;
    Core.Width = 3;
    Core.Height = 2;
    Core.Bits = 1;
    Core.Palette = {0x102030, 0xA0B0C0};
    Core.Pixels = {0xA0, 0, 0, 0, 0x40, 0, 0, 0}; // bottom 1 0 1, top 0 1 0
    const TBmpImage C = Decode(Core.Bytes());
    EXPECT_EQ(IndexRows(C.Image), "010|101|");
    EXPECT_EQ(C.ColorTable, (std::vector<QRgb>{qRgb(0x10, 0x20, 0x30), qRgb(0xA0, 0xB0, 0xC0)}));

    // 16 bits with 4-4-4 masks, scaled to 8 bits a channel.
    TFile F;
    F.Width = 2;
    F.Height = 1;
    F.Bits = 16;
    F.Compression = 3;
    F.Masks = {0x0F00, 0x00F0, 0x000F};
    F.Pixels = {0x0F, 0x0F, 0xF0, 0x00}; // $0F0F: red 15, blue 15; $00F0: green 15
    const TBmpImage B = Decode(F.Bytes());
    EXPECT_EQ(B.Image.pixel(0, 0), qRgb(255, 0, 255));
    EXPECT_EQ(B.Image.pixel(1, 0), qRgb(0, 255, 0));

    // 32 bits with an alpha mask in a 56-byte header keep alpha.
    TFile A;
    A.HeaderSize = 56;
    A.Width = 1;
    A.Height = 1;
    A.Bits = 32;
    A.Compression = 3;
    A.Pixels = {0x10, 0x20, 0x30, 0x80};
    std::vector<uint8_t> D = A.Bytes();
    const uint32_t Masks[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    for (int I = 0; I < 4; ++I)
        for (int K = 0; K < 4; ++K)
            D[14 + 40 + 4 * I + K] = uint8_t(Masks[I] >> (8 * K));
    const TBmpImage AB = Decode(D);
    EXPECT_EQ(AB.Image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(AB.Image.pixel(0, 0), qRgba(0x30, 0x20, 0x10, 0x80));
    // ... and write it back with alpha.
    EXPECT_EQ(Decode(EncodeBmp(AB)).Image.pixel(0, 0), qRgba(0x30, 0x20, 0x10, 0x80));
    // Plain 32-bit files ignore the fourth byte.
    A.HeaderSize = 40;
    A.Compression = 0;
    EXPECT_EQ(Decode(A.Bytes()).Image.pixel(0, 0), qRgb(0x30, 0x20, 0x10));
}

TEST(BmpCodecTest, BadFilesRaiseClearErrors)
{
    const TFile Good = [] {
        TFile F;
        F.Palette.assign(4, 0);
        F.ClrUsed = 4;
        F.Pixels.assign(8, 1);
        return F;
    }();
    ASSERT_NO_THROW(Decode(Good.Bytes()));
    auto With = [&](auto Change) {
        TFile F = Good;
        Change(F);
        return F.Bytes();
    };
    std::vector<uint8_t> Truncated = Good.Bytes();
    Truncated.pop_back();
    std::vector<uint8_t> ShortHeader = Good.Bytes();
    ShortHeader.resize(30);
    std::vector<uint8_t> NotBmp = Good.Bytes();
    NotBmp[0] = 'P';
    const std::vector<std::pair<std::vector<uint8_t>, std::string>> Cases = {
        {{}, "file header is truncated (0 bytes)"},
        {{'B', 'M', 1, 2}, "file header is truncated (4 bytes)"},
        {NotBmp, "does not start with \"BM\""},
        {ShortHeader, "info header of 40 bytes is truncated to 16 bytes"},
        {With([](TFile& F) { F.HeaderSize = 7; }), "info header size 7"},
        {With([](TFile& F) { F.Width = 0; }), "size 0 x 2 is empty or negative"},
        {With([](TFile& F) { F.Width = -4; }), "size -4 x 2 is empty or negative"},
        {With([](TFile& F) { F.Height = 0; }), "size 4 x 0 is empty or negative"},
        {With([](TFile& F) { F.Width = 40000; }), "exceeds the limit of 32768 pixels a side"},
        {With([](TFile& F) { F.Height = -40000; }), "exceeds the limit of 32768 pixels a side"},
        {With([](TFile& F) { F.Width = 20000, F.Height = 20000; }), "exceeds the limit of 268435456 pixels"},
        {With([](TFile& F) { F.Planes = 2; }), "2 colour planes"},
        {With([](TFile& F) { F.Bits = 3; }), "3 bits per pixel is not a supported depth"},
        {With([](TFile& F) { F.Bits = 4, F.ClrUsed = 17; }), "colour table has 17 entries; a 4-bit image uses at most 16"},
        {With([](TFile& F) { F.Bits = 24, F.ClrUsed = 300; }), "colour table has 300 entries; at most 256"},
        {With([](TFile& F) { F.OffBits = 20; }), "pixel data offset 20 lies inside the headers"},
        {With([](TFile& F) { F.OffBits = 5000; }), "pixel data offset 5000 lies beyond the end"},
        {Truncated, "pixel data is truncated: 8 bytes are needed, 7 are present"},
        {With([](TFile& F) { F.Compression = 1, F.Bits = 4; }), "RLE8 compression is used with 4 bits per pixel"},
        {With([](TFile& F) { F.Compression = 1, F.Height = -2; }), "compressed bitmap cannot be stored top-down"},
        {With([](TFile& F) { F.Compression = 4; }), "JPEG data inside a bitmap is not supported"},
        {With([](TFile& F) { F.Compression = 9; }), "unknown compression 9"},
        {With([](TFile& F) { F.Compression = 3; }), "bit fields are used with 8 bits per pixel"},
        {With([](TFile& F) { F.Bits = 16, F.Compression = 3, F.Palette.clear(), F.ClrUsed = 0, F.Masks = {0xF800, 0, 0x1F}; }),
         "colour mask $00 is not one run of bits"},
        {With([](TFile& F) { F.Bits = 16, F.Compression = 3, F.Palette.clear(), F.ClrUsed = 0, F.Masks = {0xF800, 0x0FE0, 0x1F}; }),
         "colour masks overlap"},
        {With([](TFile& F) { F.Bits = 16, F.Compression = 3, F.Palette.clear(), F.ClrUsed = 0, F.Masks = {0xF800}, F.Pixels.clear(); }),
         "colour masks after the info header are truncated"},
        // RLE data that leaves the image or ends inside a run.
        {With([](TFile& F) { F.Compression = 1, F.Pixels = {5, 1, 0, 1}; }), "RLE8 run of 5 pixels at row 0, column 0"},
        {With([](TFile& F) { F.Compression = 1, F.Pixels = {3, 1, 2, 1, 0, 1}; }), "runs off the image"},
        {With([](TFile& F) { F.Compression = 1, F.Pixels = {0, 0, 0, 0, 1, 1}; }), "runs off the image"},
        {With([](TFile& F) { F.Compression = 1, F.Pixels = {0, 0, 0, 0, 0, 0}; }), "an end of line follows the last row"},
        {With([](TFile& F) { F.Compression = 1, F.Pixels = {0, 2, 5, 0}; }), "a delta moves off the image"},
        {With([](TFile& F) { F.Compression = 1, F.Pixels = {0, 2, 1}; }), "ends inside a delta"},
        {With([](TFile& F) { F.Compression = 1, F.Pixels = {0, 4, 1, 2}; }), "ends inside an absolute run"},
        {With([](TFile& F) { F.Compression = 1, F.Pixels = {2}; }), "ends inside a run"},
        {With([](TFile& F) { F.Compression = 1, F.SizeImage = 100; }), "compressed pixel data of 100 bytes is truncated"},
        {With([](TFile& F) { F.Bits = 4, F.Compression = 2, F.Pixels = {0, 5, 0x12, 0x34, 0x50, 0}; }),
         "RLE4 run of 5 pixels"},
    };
    for (const auto& [Data, Detail] : Cases) {
        SCOPED_TRACE(Detail);
        ExpectInvalid(Data, Detail);
    }
}

TEST(BmpCodecTest, LargestSideIsAccepted)
{
    TFile F;
    F.Width = 32768;
    F.Height = 1;
    F.Bits = 1;
    F.Palette = {0, 0xFFFFFF};
    F.Pixels.assign(4096, 0xFF);
    const TBmpImage B = Decode(F.Bytes());
    EXPECT_EQ(B.Image.width(), 32768);
    EXPECT_EQ(B.Image.pixelIndex(32767, 0), 1);
}

TEST(BmpCodecTest, WritingChecksItsInput)
{
    TBmpImage Empty;
    EXPECT_THROW(EncodeBmp(Empty), EInvalidGraphicOperation);
    TBmpImage Wide = Sample(8, 4, 4);
    Wide.BitCount = 4; // indices up to 199 do not fit 4 bits
    EXPECT_THROW(EncodeBmp(Wide), EInvalidGraphicOperation);
    TBmpImage Rle = Sample(8, 4, 4);
    TBmpWriteOptions O;
    O.Rle = true;
    O.TopDown = true;
    EXPECT_THROW(EncodeBmp(Rle, O), EInvalidGraphicOperation);
    // A colour image written with a colour table gets the nearest entries.
    TBmpImage Colour;
    Colour.BitCount = 1;
    Colour.Image = QImage(2, 1, QImage::Format_RGB32);
    Colour.Image.setPixel(0, 0, qRgb(250, 250, 250));
    Colour.Image.setPixel(1, 0, qRgb(10, 0, 0));
    Colour.ColorTable = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    EXPECT_EQ(IndexRows(Decode(EncodeBmp(Colour)).Image), "10|");
}
