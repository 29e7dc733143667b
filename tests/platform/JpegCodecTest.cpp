// JPEG through libjpeg: encode/decode round trips within tolerance, scaling,
// grey and CMYK pictures, and bad data raising instead of ending the program.
#include <gtest/gtest.h>

#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "JpegCodec.h"

namespace {

QImage Gradient(int W, int H)
{
    QImage I(W, H, QImage::Format_RGB32);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            I.setPixel(X, Y, qRgb(X * 255 / (W - 1), Y * 255 / (H - 1), 128));
    return I;
}

struct TDiff {
    double Mean = 0;
    int Max = 0;
};

TDiff Compare(const QImage& A, const QImage& B)
{
    const QImage CA = A.convertToFormat(QImage::Format_RGB32), CB = B.convertToFormat(QImage::Format_RGB32);
    TDiff D;
    long long Sum = 0;
    for (int Y = 0; Y < CA.height(); ++Y)
        for (int X = 0; X < CA.width(); ++X) {
            const QRgb P = CA.pixel(X, Y), Q = CB.pixel(X, Y);
            for (int V : {qRed(P) - qRed(Q), qGreen(P) - qGreen(Q), qBlue(P) - qBlue(Q)}) {
                Sum += std::abs(V);
                D.Max = std::max(D.Max, std::abs(V));
            }
        }
    D.Mean = double(Sum) / (3.0 * CA.width() * CA.height());
    return D;
}

// A CMYK JPEG made with libjpeg directly: one colour in every pixel, stored
// inverted with an Adobe marker, as most CMYK files are.
std::vector<uint8_t> CmykJpeg(uint8_t C, uint8_t M, uint8_t Y, uint8_t K)
{
    jpeg_compress_struct Info;
    jpeg_error_mgr Err;
    Info.err = jpeg_std_error(&Err);
    jpeg_create_compress(&Info);
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
    jpeg_mem_dest(&Info, &Buffer, &Size);
    Info.image_width = 8;
    Info.image_height = 8;
    Info.input_components = 4;
    Info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&Info);
    jpeg_set_quality(&Info, 100, TRUE);
    jpeg_start_compress(&Info, TRUE);
    // libjpeg writes an Adobe marker for CMYK: values are stored inverted.
    std::vector<JSAMPLE> Row(8 * 4);
    for (int X = 0; X < 8; ++X) {
        Row[4 * X] = JSAMPLE(255 - C);
        Row[4 * X + 1] = JSAMPLE(255 - M);
        Row[4 * X + 2] = JSAMPLE(255 - Y);
        Row[4 * X + 3] = JSAMPLE(255 - K);
    }
    while (Info.next_scanline < Info.image_height) {
        JSAMPROW R[1] = {Row.data()};
        jpeg_write_scanlines(&Info, R, 1);
    }
    jpeg_finish_compress(&Info);
    std::vector<uint8_t> Out(Buffer, Buffer + Size);
    jpeg_destroy_compress(&Info);
    std::free(Buffer);
    return Out;
}

void ExpectInvalid(const std::vector<uint8_t>& D, const std::string& Detail)
{
    try {
        JpegDecode(D.data(), D.size());
        ADD_FAILURE() << "no exception, expected: " << Detail;
    } catch (const EInvalidGraphic& E) {
        EXPECT_EQ(E.Message().rfind("JPEG image is not valid: ", 0), 0u) << E.Message();
        EXPECT_NE(E.Message().find(Detail), std::string::npos) << E.Message();
    }
}

} // namespace

TEST(JpegCodecTest, RoundTripsWithinTolerance)
{
    const QImage Src = Gradient(64, 48);
    struct Case {
        TJpegEncodeOptions Options;
        double MeanLimit;
        int MaxLimit;
    } Cases[] = {
        {{95, false, false}, 1.5, 12},
        {{95, false, true}, 1.5, 12},
        {{50, false, false}, 4.0, 40},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << "quality " << C.Options.Quality << " progressive " << C.Options.Progressive);
        const std::vector<uint8_t> D = JpegEncode(Src, C.Options);
        ASSERT_GE(D.size(), 4u);
        EXPECT_EQ(D[0], 0xFF);
        EXPECT_EQ(D[1], 0xD8);
        const TJpegInfo Info = JpegReadInfo(D.data(), D.size());
        EXPECT_EQ(Info.Width, 64);
        EXPECT_EQ(Info.Height, 48);
        EXPECT_EQ(Info.Components, 3);
        EXPECT_EQ(Info.Progressive, C.Options.Progressive);
        const QImage Back = JpegDecode(D.data(), D.size());
        ASSERT_EQ(Back.format(), QImage::Format_BGR888);
        ASSERT_EQ(Back.size(), Src.size());
        const TDiff Diff = Compare(Src, Back);
        EXPECT_LT(Diff.Mean, C.MeanLimit);
        EXPECT_LE(Diff.Max, C.MaxLimit);
    }
    // Lower quality gives smaller files.
    EXPECT_LT(JpegEncode(Src, {20, false, false}).size(), JpegEncode(Src, {95, false, false}).size());
}

TEST(JpegCodecTest, GreyScaledAndCmykPictures)
{
    const QImage Src = Gradient(50, 30);
    const std::vector<uint8_t> Colour = JpegEncode(Src);
    // Scaling rounds the size up.
    for (int Denom : {1, 2, 4, 8}) {
        SCOPED_TRACE(Denom);
        TJpegDecodeOptions O;
        O.ScaleDenom = Denom;
        const QImage I = JpegDecode(Colour.data(), Colour.size(), O);
        EXPECT_EQ(I.size(), QSize((50 + Denom - 1) / Denom, (30 + Denom - 1) / Denom));
    }
    TJpegDecodeOptions Bad;
    Bad.ScaleDenom = 3;
    EXPECT_THROW(JpegDecode(Colour.data(), Colour.size(), Bad), EInvalidGraphicOperation);
    // Decoding a colour picture as grey.
    TJpegDecodeOptions Grey;
    Grey.Grayscale = true;
    const QImage G = JpegDecode(Colour.data(), Colour.size(), Grey);
    ASSERT_EQ(G.format(), QImage::Format_Grayscale8);
    const QRgb S = Src.pixel(49, 0);
    const double Luma = 0.299 * qRed(S) + 0.587 * qGreen(S) + 0.114 * qBlue(S);
    EXPECT_NEAR(qGray(G.pixel(49, 0)), Luma, 4);
    // A grey picture stays grey.
    const std::vector<uint8_t> GreyData = JpegEncode(Src, {90, true, false});
    EXPECT_EQ(JpegReadInfo(GreyData.data(), GreyData.size()).Components, 1);
    EXPECT_EQ(JpegDecode(GreyData.data(), GreyData.size()).format(), QImage::Format_Grayscale8);
    // CMYK: cyan, and magenta at half black.
    std::vector<uint8_t> Cyan = CmykJpeg(255, 0, 0, 0);
    EXPECT_EQ(JpegReadInfo(Cyan.data(), Cyan.size()).ColorSpace, TJpegColorSpace::CMYK);
    const QImage C = JpegDecode(Cyan.data(), Cyan.size());
    const QRgb P = C.pixel(3, 3);
    EXPECT_LE(qRed(P), 4);
    EXPECT_GE(qGreen(P), 251);
    EXPECT_GE(qBlue(P), 251);
    const std::vector<uint8_t> Magenta = CmykJpeg(0, 255, 0, 128);
    const QRgb Q = JpegDecode(Magenta.data(), Magenta.size()).pixel(3, 3);
    EXPECT_NEAR(qRed(Q), 127, 4);
    EXPECT_LE(qGreen(Q), 4);
    EXPECT_NEAR(qBlue(Q), 127, 4);
}

TEST(JpegCodecTest, BadDataRaises)
{
    const std::vector<uint8_t> Good = JpegEncode(Gradient(40, 40));
    std::vector<uint8_t> Half(Good.begin(), Good.begin() + long(Good.size() / 2));
    std::vector<uint8_t> HeaderOnly(Good.begin(), Good.begin() + 20);
    std::vector<uint8_t> Garbage = {0xFF, 0xD8};
    for (int I = 0; I < 64; ++I)
        Garbage.push_back(uint8_t(I * 37));
    // A frame header that claims 60000 x 60000 pixels.
    std::vector<uint8_t> Huge = Good;
    for (size_t I = 2; I + 9 < Huge.size(); ++I)
        if (Huge[I] == 0xFF && (Huge[I + 1] == 0xC0 || Huge[I + 1] == 0xC2)) {
            Huge[I + 5] = 0xEA;
            Huge[I + 6] = 0x60;
            Huge[I + 7] = 0xEA;
            Huge[I + 8] = 0x60;
            break;
        }
    const std::vector<std::pair<std::vector<uint8_t>, std::string>> Cases = {
        {{}, "the data is empty"},
        {{'B', 'M', 0, 0}, "does not start with a start-of-image marker"},
        {{0xFF, 0xD8}, ""},
        {HeaderOnly, ""},
        {Half, "the data ends before the image is complete"},
        {Garbage, ""},
        {Huge, "exceeds the limit of 32768 pixels a side"},
    };
    for (const auto& [Data, Detail] : Cases) {
        SCOPED_TRACE(testing::Message() << Data.size() << " bytes: " << Detail);
        ExpectInvalid(Data, Detail);
    }
    EXPECT_THROW(JpegReadInfo(Garbage.data(), Garbage.size()), EInvalidGraphic);
    // Encoding checks its input.
    EXPECT_THROW(JpegEncode(QImage()), EInvalidGraphicOperation);
}
