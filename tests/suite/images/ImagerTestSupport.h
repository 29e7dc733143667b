// Pictures, forms and pixel helpers of the imager tests.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>

#include <cstring>
#include <functional>
#include <memory>

#include "Forms.h"
#include "Pictures.h"
#include "nvBitmap.h"
#include "nvImager.h"

// A 24-bit picture whose pixel (x, y) has the colour Fn(x, y) ($00BBGGRR).
inline std::unique_ptr<TBitmap> MakePicture(int W, int H, const std::function<TColor(int, int)>& Fn)
{
    QImage Image(W, H, QImage::Format_BGR888);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const uint32_t C = static_cast<uint32_t>(Fn(X, Y));
            Image.setPixel(X, Y, qRgb(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF));
        }
    auto B = std::make_unique<TBitmap>();
    B->SetImage(Image);
    return B;
}

// A picture with some structure in every channel, so effects and their
// order show in the pixels.
inline std::unique_ptr<TBitmap> MakeGradient(int W, int H)
{
    return MakePicture(W, H, [](int X, int Y) {
        const int R = (X * 37 + Y * 11) % 256, G = (X * 5 + Y * 23 + 40) % 256, B = (X * Y * 3 + 90) % 256;
        return MakeColor(uint32_t(R) | uint32_t(G) << 8 | uint32_t(B) << 16);
    });
}

// Four quadrants: red (top left), lime (top right), blue (bottom left),
// yellow (bottom right).
inline std::unique_ptr<TBitmap> MakeQuadrants(int W, int H)
{
    return MakePicture(W, H, [W, H](int X, int Y) {
        const bool Right = X >= W / 2, Bottom = Y >= H / 2;
        if (!Bottom)
            return Right ? clLime : clRed;
        return Right ? clYellow : clBlue;
    });
}

// The colour ($00BBGGRR) of a pixel of a rendered image.
inline TColor ShotPixel(const QImage& Shot, int X, int Y)
{
    const QRgb P = Shot.pixel(X, Y);
    return MakeColor(uint32_t(qRed(P)) | uint32_t(qGreen(P)) << 8 | uint32_t(qBlue(P)) << 16);
}

inline TColor BitmapPixel(const TnvBitmap& B, int X, int Y)
{
    return TripleToColor(B.Row(Y)[X]);
}

// True when both bitmaps have the same size and the same pixels.
inline bool SamePixels(const TnvBitmap& A, const TnvBitmap& B)
{
    if (A.Width() != B.Width() || A.Height() != B.Height())
        return false;
    for (int Y = 0; Y < A.Height(); ++Y)
        if (std::memcmp(A.Row(Y), B.Row(Y), size_t(A.Width()) * 3) != 0)
            return false;
    return true;
}

// A shown form of the given client size and colour, for rendering.
inline std::unique_ptr<TForm> MakeForm(int W, int H, TColor Color = clFuchsia)
{
    auto F = std::make_unique<TForm>();
    F->SetBorderStyle(bsNone);
    F->SetColor(Color);
    F->SetClientWidth(W);
    F->SetClientHeight(H);
    return F;
}

inline QImage Shoot(TForm& Form)
{
    Form.Show();
    QCoreApplication::processEvents();
    return Form.grab().toImage();
}
