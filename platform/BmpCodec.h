// The platform's bitmap file format (BMP): reading and writing.
//
// Read: file header "BM"; info headers of 12 bytes (the OS/2 core header, with
// 3-byte colour table entries), 16 to 64 bytes (OS/2 2.x; no masks), 40, 52,
// 56, 108 and 124 bytes; 1, 4 and 8 bits with colour tables, RLE4 and RLE8;
// 16 bits (5-5-5 by default, any masks with bit fields); 24 bits; 32 bits
// (the fourth byte is ignored unless bit fields give an alpha mask); rows
// bottom-up (positive height) or top-down (negative height, uncompressed only).
//
// Written: the 14-byte file header and a 40-byte info header (108 bytes for
// images with alpha), colour table entries of 4 bytes, rows bottom-up unless
// asked for top-down, RLE4/RLE8 on request.
//
// Limits: width and height up to 32768 and at most 256 Mi pixels; anything
// else, and every other inconsistency (truncated headers or pixel data,
// colour tables larger than the bit depth allows, runs that leave the
// image), raises EInvalidGraphic "Bitmap image is not valid: <detail>".
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

#include "SysUtils.h"

class TStream;

ZEN_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
ZEN_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

constexpr int MaxBitmapSide = 32768;
constexpr int64_t MaxBitmapPixels = int64_t(256) << 20;

// Raises EInvalidGraphic unless 0 < Width, Height <= MaxBitmapSide and
// Width x Height <= MaxBitmapPixels; What names the kind of picture.
void CheckBitmapSize(int64_t Width, int64_t Height, const char* What = "Bitmap image");

enum class TBmpCompression : uint32_t { RGB = 0, RLE8 = 1, RLE4 = 2, BitFields = 3 };

// A decoded bitmap in a neutral form. Image formats by BitCount:
//   1, 4, 8  QImage::Format_Indexed8; its colour table is ColorTable padded
//            with black to 2^BitCount entries, so every index is drawable
//   16       Format_RGB555 (5-5-5) or Format_RGB16 (5-6-5) holding the file's
//            values; other masks are converted to Format_RGB32
//   24       Format_BGR888 (bytes blue, green, red as in the file)
//   32       Format_RGB32, or Format_ARGB32 when the file has an alpha mask
struct TBmpImage {
    QImage Image;
    int BitCount = 24;
    // The colour table as stored (opaque colours), for every bit depth.
    std::vector<QRgb> ColorTable;
    // How the file was stored (information only; writing has its own options).
    bool TopDown = false;
    TBmpCompression Compression = TBmpCompression::RGB;
    // Icon images: the AND mask (Format_Mono, bit 1 = transparent).
    QImage Mask;
};

struct TBmpWriteOptions {
    bool TopDown = false;
    // RLE8 for 8-bit and RLE4 for 4-bit images; ignored for other depths.
    bool Rle = false;
};

// Reads a BMP file from the stream's position and leaves the position after
// its pixel data. Raises EInvalidGraphic for bad data.
TBmpImage ReadBmp(TStream& Stream);
TBmpImage ReadBmp(const uint8_t* Data, size_t Size);

// Writes Image as a BMP file. The image is converted to the layout of
// Image.BitCount when it is in another format (indexed images through
// Image.ColorTable, or the QImage's own colour table when that is empty).
void WriteBmp(TStream& Stream, const TBmpImage& Image, const TBmpWriteOptions& Options = {});
std::vector<uint8_t> EncodeBmp(const TBmpImage& Image, const TBmpWriteOptions& Options = {});

// Packed images (info header, colour table, pixels) as icons hold them: the
// header's height counts the colour rows and the AND mask rows together, and
// the 1-bit AND mask follows the colour rows. Raises EInvalidGraphic with
// What ("Icon image") in the message.
TBmpImage DecodeIconDib(const uint8_t* Data, size_t Size, const char* What);
// The packed form of an icon image: a 40-byte header with the doubled height,
// colour table, colour rows and AND mask rows (from Image.Mask, or all zero).
std::vector<uint8_t> EncodeIconDib(const TBmpImage& Image);
