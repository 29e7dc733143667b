#include "JpegCodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jerror.h>
#include <jpeglib.h>

// Every function below that calls libjpeg keeps its state in a heap object
// created before setjmp, so nothing the jump skips or leaves indeterminate
// needs destroying: only libjpeg's own C frames lie between the jump and its
// target.

namespace {

constexpr long MaxJpegWorkingMemory = 768L << 20;

struct TJpegError {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr C)
{
    auto* E = reinterpret_cast<TJpegError*>(C->err);
    (*C->err->format_message)(C, E->Message);
    std::longjmp(E->Jump, 1);
}

void EmitMessage(j_common_ptr C, int Level)
{
    // Data that ends early is an error here; other warnings are ignored.
    if (Level == -1 && C->err->msg_code == JWRN_JPEG_EOF) {
        auto* E = reinterpret_cast<TJpegError*>(C->err);
        std::snprintf(E->Message, sizeof E->Message, "the data ends before the image is complete");
        std::longjmp(E->Jump, 1);
    }
}

void OutputMessage(j_common_ptr) {}

void InitError(TJpegError& E)
{
    jpeg_std_error(&E.Pub);
    E.Pub.error_exit = ErrorExit;
    E.Pub.emit_message = EmitMessage;
    E.Pub.output_message = OutputMessage;
    E.Message[0] = '\0';
}

[[noreturn]] void Bad(const String& Detail)
{
    throw EInvalidGraphic("JPEG image is not valid: " + Detail);
}

void CheckInput(const uint8_t* Data, size_t Size)
{
    if (!Data || Size == 0)
        Bad("the data is empty");
    if (Size < 2 || Data[0] != 0xFF || Data[1] != 0xD8)
        Bad("it does not start with a start-of-image marker");
    if (Size > 0xFFFFFFFFu)
        Bad("the data is larger than 4 GiB");
}

TJpegColorSpace ColorSpaceOf(J_COLOR_SPACE S)
{
    switch (S) {
    case JCS_GRAYSCALE:
        return TJpegColorSpace::Grayscale;
    case JCS_RGB:
        return TJpegColorSpace::RGB;
    case JCS_YCbCr:
        return TJpegColorSpace::YCbCr;
    case JCS_CMYK:
        return TJpegColorSpace::CMYK;
    case JCS_YCCK:
        return TJpegColorSpace::YCCK;
    default:
        return TJpegColorSpace::Unknown;
    }
}

struct TDecoder {
    jpeg_decompress_struct Info;
    TJpegError Err;
    QImage Image;
    std::vector<JSAMPLE> Row;
    bool Created = false;
    String Refusal; // a size refusal found between libjpeg calls
};

void StartDecoder(TDecoder& D, const uint8_t* Data, size_t Size)
{
    D.Info.err = &D.Err.Pub;
    jpeg_create_decompress(&D.Info);
    D.Created = true;
    D.Info.mem->max_memory_to_use = MaxJpegWorkingMemory;
    jpeg_mem_src(&D.Info, Data, static_cast<unsigned long>(Size));
    jpeg_read_header(&D.Info, TRUE);
}

String SizeRefusal(int64_t W, int64_t H)
{
    try {
        CheckBitmapSize(W, H, "JPEG image");
    } catch (const EInvalidGraphic& E) {
        return E.Message();
    }
    return String();
}

} // namespace

TJpegInfo JpegReadInfo(const uint8_t* Data, size_t Size)
{
    CheckInput(Data, Size);
    auto D = std::make_unique<TDecoder>();
    InitError(D->Err);
    if (setjmp(D->Err.Jump)) {
        const String Message = D->Err.Message;
        if (D->Created)
            jpeg_destroy_decompress(&D->Info);
        Bad(Message);
    }
    StartDecoder(*D, Data, Size);
    TJpegInfo Info;
    Info.Width = static_cast<int>(D->Info.image_width);
    Info.Height = static_cast<int>(D->Info.image_height);
    Info.Components = D->Info.num_components;
    Info.ColorSpace = ColorSpaceOf(D->Info.jpeg_color_space);
    Info.Progressive = jpeg_has_multiple_scans(&D->Info) != 0;
    jpeg_destroy_decompress(&D->Info);
    return Info;
}

void JpegScaledSize(const TJpegInfo& Info, int ScaleDenom, int& Width, int& Height)
{
    const int S = std::max(1, ScaleDenom);
    Width = (Info.Width + S - 1) / S;
    Height = (Info.Height + S - 1) / S;
}

QImage JpegDecode(const uint8_t* Data, size_t Size, const TJpegDecodeOptions& Options)
{
    CheckInput(Data, Size);
    const int Denom = Options.ScaleDenom;
    if (Denom != 1 && Denom != 2 && Denom != 4 && Denom != 8)
        throw EInvalidGraphicOperation("JPEG scale 1/" + IntToStr(Denom) + " is not one of 1, 1/2, 1/4 and 1/8");
    auto D = std::make_unique<TDecoder>();
    InitError(D->Err);
    if (setjmp(D->Err.Jump)) {
        const String Message = D->Err.Message;
        if (D->Created)
            jpeg_destroy_decompress(&D->Info);
        Bad(Message);
    }
    StartDecoder(*D, Data, Size);
    jpeg_decompress_struct& I = D->Info;
    D->Refusal = SizeRefusal(I.image_width, I.image_height);
    if (!D->Refusal.empty()) {
        jpeg_destroy_decompress(&I);
        throw EInvalidGraphic(D->Refusal);
    }
    const bool Cmyk = I.jpeg_color_space == JCS_CMYK || I.jpeg_color_space == JCS_YCCK;
    const bool Gray = Options.Grayscale || I.jpeg_color_space == JCS_GRAYSCALE;
    I.out_color_space = Cmyk ? JCS_CMYK : Gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
    I.scale_num = 1;
    I.scale_denom = static_cast<unsigned>(Denom);
    I.dct_method = Options.Fast ? JDCT_IFAST : JDCT_ISLOW;
    I.do_fancy_upsampling = Options.Fast ? FALSE : TRUE;
    jpeg_start_decompress(&I);
    const int W = static_cast<int>(I.output_width), H = static_cast<int>(I.output_height);
    D->Image = QImage(W, H, Gray ? QImage::Format_Grayscale8 : QImage::Format_BGR888);
    if (D->Image.isNull()) {
        jpeg_destroy_decompress(&I);
        throw EOutOfMemory("JPEG image: not enough memory for " + IntToStr(W) + " x " + IntToStr(H) + " pixels");
    }
    if (Cmyk)
        D->Row.resize(size_t(W) * 4);
    // Adobe's files store CMYK inverted (255 = no ink).
    const bool Inverted = I.saw_Adobe_marker;
    while (I.output_scanline < I.output_height) {
        const int Y = static_cast<int>(I.output_scanline);
        JSAMPROW Rows[1] = {Cmyk ? D->Row.data() : D->Image.scanLine(Y)};
        if (jpeg_read_scanlines(&I, Rows, 1) != 1)
            break;
        if (!Cmyk)
            continue;
        uchar* Out = D->Image.scanLine(Y);
        for (int X = 0; X < W; ++X) {
            const JSAMPLE* P = &D->Row[size_t(X) * 4];
            int C = P[0], M = P[1], Ye = P[2], K = P[3];
            if (!Inverted) {
                C = 255 - C;
                M = 255 - M;
                Ye = 255 - Ye;
                K = 255 - K;
            }
            const int R = C * K / 255, G = M * K / 255, B = Ye * K / 255;
            if (Gray) {
                Out[X] = static_cast<uchar>(qGray(R, G, B));
            } else {
                Out[3 * X] = static_cast<uchar>(B);
                Out[3 * X + 1] = static_cast<uchar>(G);
                Out[3 * X + 2] = static_cast<uchar>(R);
            }
        }
    }
    jpeg_finish_decompress(&I);
    jpeg_destroy_decompress(&I);
    return std::move(D->Image);
}

namespace {

struct TEncoder {
    jpeg_compress_struct Info;
    TJpegError Err;
    unsigned char* Buffer = nullptr;
    unsigned long BufferSize = 0;
    bool Created = false;
    bool Gray = false;
    QImage Source;
};

void FreeEncoder(TEncoder& E)
{
    if (E.Created)
        jpeg_destroy_compress(&E.Info);
    std::free(E.Buffer);
    E.Buffer = nullptr;
}

} // namespace

std::vector<uint8_t> JpegEncode(const QImage& Image, const TJpegEncodeOptions& Options)
{
    if (Image.isNull())
        throw EInvalidGraphicOperation("Cannot write an empty JPEG image");
    CheckBitmapSize(Image.width(), Image.height(), "JPEG image");
    if (Image.width() > JPEG_MAX_DIMENSION || Image.height() > JPEG_MAX_DIMENSION)
        throw EInvalidGraphicOperation("JPEG images cannot be larger than " + IntToStr(JPEG_MAX_DIMENSION) +
                                       " pixels a side");
    auto E = std::make_unique<TEncoder>();
    E->Gray = Options.Grayscale || Image.format() == QImage::Format_Grayscale8;
    E->Source = Image.convertToFormat(E->Gray ? QImage::Format_Grayscale8 : QImage::Format_BGR888);
    if (E->Source.isNull())
        throw EOutOfMemory("Not enough memory to convert the image for JPEG encoding");
    InitError(E->Err);
    if (setjmp(E->Err.Jump)) {
        const String Message = E->Err.Message;
        FreeEncoder(*E);
        throw EInvalidGraphicOperation("JPEG encoding failed: " + Message);
    }
    jpeg_compress_struct& I = E->Info;
    I.err = &E->Err.Pub;
    jpeg_create_compress(&I);
    E->Created = true;
    jpeg_mem_dest(&I, &E->Buffer, &E->BufferSize);
    I.image_width = static_cast<JDIMENSION>(E->Source.width());
    I.image_height = static_cast<JDIMENSION>(E->Source.height());
    I.input_components = E->Gray ? 1 : 3;
    I.in_color_space = E->Gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(&I);
    jpeg_set_quality(&I, std::clamp(Options.Quality, 1, 100), TRUE);
    I.optimize_coding = TRUE;
    if (Options.Progressive)
        jpeg_simple_progression(&I);
    jpeg_start_compress(&I, TRUE);
    while (I.next_scanline < I.image_height) {
        JSAMPROW Rows[1] = {const_cast<JSAMPLE*>(E->Source.constScanLine(static_cast<int>(I.next_scanline)))};
        jpeg_write_scanlines(&I, Rows, 1);
    }
    jpeg_finish_compress(&I);
    std::vector<uint8_t> Out(E->Buffer, E->Buffer + E->BufferSize);
    FreeEncoder(*E);
    return Out;
}
