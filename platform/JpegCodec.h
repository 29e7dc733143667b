// JPEG decoding and encoding through libjpeg.
//
// libjpeg reports fatal errors through an error manager that would end the
// program; ours jumps back to the calling function instead, which frees the
// decoder and raises EInvalidGraphic "JPEG image is not valid: <libjpeg's
// message>". Data that ends before the image is complete counts as an error
// too (libjpeg itself only warns and fills the rest with grey). Images larger
// than the bitmap limits (32768 pixels a side, 256 Mi pixels) and images whose
// decoding would need more than 768 MiB of working memory are refused.
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

#include "BmpCodec.h"

enum class TJpegColorSpace { Grayscale, RGB, YCbCr, CMYK, YCCK, Unknown };

struct TJpegInfo {
    int Width = 0;
    int Height = 0;
    int Components = 0;
    TJpegColorSpace ColorSpace = TJpegColorSpace::Unknown;
    bool Progressive = false;
};

struct TJpegDecodeOptions {
    // Output size is the image size divided by this (1, 2, 4 or 8), rounded up.
    int ScaleDenom = 1;
    // Decode to grey levels.
    bool Grayscale = false;
    // Faster, less exact inverse DCT and upsampling.
    bool Fast = false;
};

struct TJpegEncodeOptions {
    int Quality = 90; // 1 .. 100
    bool Grayscale = false;
    bool Progressive = false;
};

// The header of a JPEG image (no pixels are decoded).
TJpegInfo JpegReadInfo(const uint8_t* Data, size_t Size);
// The image's size after scaling by Options.ScaleDenom.
void JpegScaledSize(const TJpegInfo& Info, int ScaleDenom, int& Width, int& Height);

// Decodes to Format_BGR888 (colour, CMYK converted) or Format_Grayscale8
// (grey images, or when asked for grey).
QImage JpegDecode(const uint8_t* Data, size_t Size, const TJpegDecodeOptions& Options = {});

// Encodes any image (alpha is dropped; grey when asked or when the image is
// Format_Grayscale8) as a baseline or progressive JPEG file.
std::vector<uint8_t> JpegEncode(const QImage& Image, const TJpegEncodeOptions& Options = {});
