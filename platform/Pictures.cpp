#include "Pictures.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <functional>

#include "Canvas.h"
#include "FormStream.h"
#include "JpegCodec.h"
#include "Streams.h"

// ---------------------------------------------------------------- helpers

namespace {

QList<QRgb> BlackWhiteTable()
{
    return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
}

// The 16 standard colours in the order of 4-bit colour tables.
QList<QRgb> StandardTable16()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// The 8-bit colour table: the 16 standard colours, the 6 x 6 x 6 cube of the
// levels 0, 51, .. 255 and 24 grey levels between black and white.
QList<QRgb> StandardTable256()
{
    QList<QRgb> T = StandardTable16();
    for (int R = 0; R < 6; ++R)
        for (int G = 0; G < 6; ++G)
            for (int B = 0; B < 6; ++B)
                T.push_back(qRgb(R * 51, G * 51, B * 51));
    for (int I = 1; I <= 24; ++I)
        T.push_back(qRgb(I * 255 / 25, I * 255 / 25, I * 255 / 25));
    return T;
}

QRgb Opaque(QRgb C)
{
    return C | 0xFF000000u;
}

// The colour of a pixel of any supported format (indices outside the colour
// table read as black).
QRgb PixelOf(const QImage& I, int X, int Y)
{
    switch (I.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8: {
        const int Index = I.pixelIndex(X, Y);
        return Index < I.colorCount() ? Opaque(I.color(Index)) : qRgb(0, 0, 0);
    }
    default:
        return Opaque(I.pixel(X, Y));
    }
}

QImage To32(const QImage& I)
{
    if (I.isNull())
        return QImage();
    if (I.format() == QImage::Format_ARGB32 || I.format() == QImage::Format_RGB32)
        return I;
    return I.convertToFormat(I.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// An indexed image in Format_Mono: bit = Index[x] of a 0/1 Indexed8 image, or
// the grey threshold of a colour image.
QImage ToMono(const QImage& Src, const QList<QRgb>& Table)
{
    QImage M(Src.size(), QImage::Format_Mono);
    M.setColorTable(Table);
    M.fill(0);
    const bool Indexed2 = Src.format() == QImage::Format_Indexed8 && Src.colorCount() <= 2;
    const QImage C = Indexed2 ? Src : To32(Src);
    for (int Y = 0; Y < Src.height(); ++Y) {
        uchar* D = M.scanLine(Y);
        const uchar* S = C.constScanLine(Y);
        for (int X = 0; X < Src.width(); ++X) {
            const bool Bit = Indexed2 ? S[X] != 0 : qGray(reinterpret_cast<const QRgb*>(S)[X]) >= 128;
            if (Bit)
                D[X >> 3] |= static_cast<uchar>(0x80 >> (X & 7));
        }
    }
    return M;
}

QImage::Format QtFormatOf(TPixelFormat F)
{
    switch (F) {
    case pf1bit:
        return QImage::Format_Mono;
    case pf4bit:
    case pf8bit:
        return QImage::Format_Indexed8;
    case pf15bit:
        return QImage::Format_RGB555;
    case pf16bit:
        return QImage::Format_RGB16;
    case pf24bit:
        return QImage::Format_BGR888;
    default:
        return QImage::Format_RGB32;
    }
}

// The pixels of Src in the layout of pixel format F.
QImage ConvertPixels(const QImage& Src, TPixelFormat F)
{
    switch (F) {
    case pf1bit:
        return ToMono(Src, BlackWhiteTable());
    case pf4bit:
        if (Src.format() == QImage::Format_Indexed8 && Src.colorCount() <= 16)
            return Src;
        return To32(Src).convertToFormat(QImage::Format_Indexed8, StandardTable16(),
                                         Qt::ThresholdDither | Qt::AvoidDither);
    case pf8bit:
        if (Src.format() == QImage::Format_Indexed8)
            return Src;
        return To32(Src).convertToFormat(QImage::Format_Indexed8, StandardTable256(),
                                         Qt::ThresholdDither | Qt::AvoidDither);
    case pf32bit:
    case pfDevice:
        return To32(Src);
    default:
        return Src.format() == QtFormatOf(F) ? Src : Src.convertToFormat(QtFormatOf(F));
    }
}

size_t PackedStride(int Width)
{
    return ((size_t(Width) * 4 + 31) / 32) * 4;
}

} // namespace

void EditCanvasPixels(TCanvas* Canvas, const TRect& Rect, const std::function<void(QImage&, TPoint)>& Edit)
{
    if (!Canvas || Rect.IsEmpty())
        return;
    TRect V;
    if (!IntersectRect(V, Rect, Canvas->ClipRect()))
        return;
    QImage Scratch(V.Width(), V.Height(), QImage::Format_RGB32);
    if (Scratch.isNull())
        throw EOutOfMemory("Not enough memory to draw a picture of " + IntToStr(V.Width()) + " x " +
                           IntToStr(V.Height()) + " pixels");
    Scratch.fill(0xFFFFFFFFu);
    TCanvas SC(&Scratch);
    BitBlt(&SC, 0, 0, V.Width(), V.Height(), Canvas, V.Left, V.Top, SRCCOPY);
    Edit(Scratch, TPoint(V.Left - Rect.Left, V.Top - Rect.Top));
    BitBlt(Canvas, V.Left, V.Top, V.Width(), V.Height(), &SC, 0, 0, SRCCOPY);
}

void DrawImage32(TCanvas* Canvas, TRect R, QImage Src)
{
    if (!Canvas || Src.isNull() || R.Left == R.Right || R.Top == R.Bottom)
        return;
    const bool MirrorX = R.Right < R.Left, MirrorY = R.Bottom < R.Top;
    if (MirrorX)
        std::swap(R.Left, R.Right);
    if (MirrorY)
        std::swap(R.Top, R.Bottom);
    if (MirrorX || MirrorY)
        Src = Src.mirrored(MirrorX, MirrorY);
    EditCanvasPixels(Canvas, R, [&](QImage& Pixels, TPoint Origin) {
        QPainter P(&Pixels);
        P.setRenderHint(QPainter::SmoothPixmapTransform, false);
        P.drawImage(QRect(-Origin.X, -Origin.Y, R.Width(), R.Height()), Src);
    });
}

namespace {

} // namespace

// ---------------------------------------------------------------- TGraphic

TGraphic::TGraphic(QObject* Parent) : QObject(Parent) {}

TGraphic::~TGraphic() = default;

void TGraphic::SetWidth(int)
{
    throw EInvalidGraphicOperation("Cannot change the size of a " + ClassName());
}

void TGraphic::SetHeight(int)
{
    throw EInvalidGraphicOperation("Cannot change the size of a " + ClassName());
}

void TGraphic::SetSize(int AWidth, int AHeight)
{
    SetWidth(AWidth);
    SetHeight(AHeight);
}

void TGraphic::SetTransparent(bool Value)
{
    if (Value != FTransparent) {
        FTransparent = Value;
        Changed(this);
    }
}

void TGraphic::SetModified(bool Value)
{
    if (Value)
        Changed(this);
    else
        FModified = false;
}

void TGraphic::LoadFromFile(const String& FileName)
{
    TFileStream S(FileName, fmOpenRead);
    LoadFromStream(S);
}

void TGraphic::SaveToFile(const String& FileName)
{
    TFileStream S(FileName, fmCreate);
    SaveToStream(S);
}

void TGraphic::Changed(TObject*)
{
    FModified = true;
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------- registry

namespace {

struct TGraphicFormat {
    String Extension;
    String Description;
    const TMetaClass* Class;
};

std::vector<TGraphicFormat>& Formats()
{
    static std::vector<TGraphicFormat> List = {
        {"bmp", "Bitmaps", ClassOf<TBitmap>()},
        {"ico", "Icons", ClassOf<TIcon>()},
        {"jpg", "JPEG Image File", ClassOf<TJPEGImage>()},
        {"jpeg", "JPEG Image File", ClassOf<TJPEGImage>()},
    };
    return List;
}

String NormalExtension(const String& Extension)
{
    String E = Extension;
    if (!E.empty() && E[0] == '.')
        E.erase(0, 1);
    return LowerCase(E);
}

} // namespace

void RegisterGraphicClass(const String& Extension, const String& Description, const TMetaClass* Class)
{
    if (!Class || !Class->InheritsFrom(&TGraphic::staticMetaObject))
        throw EInvalidGraphicOperation("Only graphic classes can be registered for picture files");
    const String E = NormalExtension(Extension);
    auto& F = Formats();
    for (auto& Format : F)
        if (Format.Extension == E) {
            Format.Description = Description;
            Format.Class = Class;
            return;
        }
    F.push_back({E, Description, Class});
}

void UnregisterGraphicClass(const TMetaClass* Class)
{
    auto& F = Formats();
    F.erase(std::remove_if(F.begin(), F.end(), [Class](const TGraphicFormat& G) { return G.Class == Class; }), F.end());
}

const TMetaClass* GraphicClassOfExtension(const String& Extension)
{
    const String E = NormalExtension(Extension);
    for (const auto& Format : Formats())
        if (Format.Extension == E)
            return Format.Class;
    return nullptr;
}

const TMetaClass* FindGraphicClass(const String& ClassName)
{
    for (const auto& Format : Formats())
        if (SameText(Format.Class->ClassName(), ClassName))
            return Format.Class;
    // Graphic classes known to the class registry (a suite's own bitmap).
    const TMetaClass* C = GetClass(ClassName);
    return C && C->InheritsFrom(&TGraphic::staticMetaObject) ? C : nullptr;
}

String GraphicFilter(const TMetaClass* Base)
{
    String All, Each;
    for (const auto& Format : Formats()) {
        if (Base && !Format.Class->InheritsFrom(Base))
            continue;
        const String Mask = "*." + Format.Extension;
        All += (All.empty() ? "" : ";") + Mask;
        Each += "|" + Format.Description + " (" + Mask + ")|" + Mask;
    }
    return All.empty() ? String() : "All (" + All + ")|" + All + Each;
}

std::unique_ptr<TGraphic> NewGraphic(const TMetaClass* Class)
{
    if (!Class || !Class->InheritsFrom(&TGraphic::staticMetaObject))
        throw EInvalidGraphic("Picture class " + (Class ? Class->ClassName() : String("nil")) +
                              " is not a graphic class");
    std::unique_ptr<TPersistent> P(Class->CreatePersistent());
    auto* G = dynamic_cast<TGraphic*>(P.get());
    if (!G)
        throw EInvalidGraphic("Picture class " + Class->ClassName() + " cannot be created");
    P.release();
    return std::unique_ptr<TGraphic>(G);
}

// ---------------------------------------------------------------- TBitmap

// The canvas of a bitmap: tells the bitmap before and after each drawing.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* Owner) : FOwner(Owner) {}

protected:
    void Changing() override
    {
        FOwner->CanvasChanging();
        TCanvas::Changing();
    }
    void Changed() override
    {
        TCanvas::Changed();
        FOwner->CanvasChanged();
    }

private:
    TBitmap* FOwner;
};

TBitmap::TBitmap(QObject* Parent) : TGraphic(Parent) {}

TBitmap::~TBitmap() = default;

bool TBitmap::Empty() const
{
    return FImage.isNull();
}

int TBitmap::Width() const
{
    return FImage.width();
}

int TBitmap::Height() const
{
    return FImage.height();
}

void TBitmap::SetWidth(int Value)
{
    SetSize(Value, Height());
}

void TBitmap::SetHeight(int Value)
{
    SetSize(Width(), Value);
}

void TBitmap::Flush() const
{
    if (!FPackedOut)
        return;
    FPackedOut = false;
    const size_t Stride = PackedStride(FImage.width());
    for (int Y = 0; Y < FImage.height(); ++Y) {
        const uint8_t* S = FPacked.data() + size_t(Y) * Stride;
        uchar* D = FImage.scanLine(Y);
        for (int X = 0; X < FImage.width(); ++X)
            D[X] = (X & 1) ? (S[X >> 1] & 15) : (S[X >> 1] >> 4);
    }
}

void TBitmap::Invalidate() const
{
    FPackedValid = false;
}

void TBitmap::CanvasChanging()
{
    Flush();
}

void TBitmap::CanvasChanged()
{
    Invalidate();
    Changed(this);
}

void TBitmap::ImageReplaced()
{
    FPackedOut = false;
    FPackedValid = false;
    FPacked.clear();
    if (FCanvas)
        FCanvas->SetTarget(FImage.isNull() ? nullptr : &FImage);
}

void TBitmap::TakeImage(QImage Image, TPixelFormat Format)
{
    FImage = std::move(Image);
    FPixelFormat = Format;
    ImageReplaced();
}

void TBitmap::SetSize(int AWidth, int AHeight)
{
    Flush();
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == Width() && AHeight == Height())
        return;
    if (AWidth == 0 || AHeight == 0) {
        TakeImage(QImage(), FPixelFormat);
        Changed(this);
        return;
    }
    try {
        CheckBitmapSize(AWidth, AHeight);
    } catch (const EInvalidGraphic& E) {
        throw EInvalidGraphicOperation(E.Message());
    }
    QImage N(AWidth, AHeight, QtFormatOf(FPixelFormat));
    if (N.isNull())
        throw EOutOfMemory("Not enough memory for a bitmap of " + IntToStr(AWidth) + " x " + IntToStr(AHeight) +
                           " pixels");
    // New pixels are white: the table entry nearest to white for indexed formats.
    if (N.format() == QImage::Format_Mono || N.format() == QImage::Format_Indexed8) {
        QList<QRgb> Table = FImage.isNull() ? QList<QRgb>() : FImage.colorTable();
        if (Table.isEmpty())
            Table = FPixelFormat == pf1bit   ? BlackWhiteTable()
                    : FPixelFormat == pf4bit ? StandardTable16()
                                             : StandardTable256();
        N.setColorTable(Table);
        int White = 0, Best = 1 << 30;
        for (int I = 0; I < Table.size(); ++I) {
            const int D = (255 - qRed(Table[I])) + (255 - qGreen(Table[I])) + (255 - qBlue(Table[I]));
            if (D < Best) {
                Best = D;
                White = I;
            }
        }
        N.fill(static_cast<uint>(White));
    } else {
        N.fill(QColor(255, 255, 255));
    }
    if (!FImage.isNull()) {
        const int W = std::min(AWidth, Width()), H = std::min(AHeight, Height());
        if (N.format() == QImage::Format_Mono) {
            for (int Y = 0; Y < H; ++Y) {
                const uchar* S = FImage.constScanLine(Y);
                uchar* D = N.scanLine(Y);
                for (int X = 0; X < W; ++X) {
                    const uchar Bit = static_cast<uchar>(0x80 >> (X & 7));
                    D[X >> 3] = static_cast<uchar>((D[X >> 3] & ~Bit) | (S[X >> 3] & Bit));
                }
            }
        } else {
            const size_t Bytes = size_t(W) * size_t(N.depth() / 8);
            for (int Y = 0; Y < H; ++Y)
                std::memcpy(N.scanLine(Y), FImage.constScanLine(Y), Bytes);
        }
    }
    TakeImage(std::move(N), FPixelFormat);
    Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
    if (Value == pfCustom)
        throw EInvalidGraphicOperation("The pixel format pfCustom cannot be set");
    Flush();
    if (Value == FPixelFormat)
        return;
    if (FImage.isNull()) {
        FPixelFormat = Value;
        Changed(this);
        return;
    }
    QImage N = ConvertPixels(FImage, Value);
    if (N.isNull())
        throw EOutOfMemory("Not enough memory to convert the bitmap");
    TakeImage(std::move(N), Value);
    Changed(this);
}

void TBitmap::SetHandleType(TBitmapHandleType Value)
{
    if (Value == HandleType())
        return;
    if (Value == bmDDB) {
        SetPixelFormat(pfDevice);
    } else {
        FPixelFormat = pf32bit; // same pixels
        Changed(this);
    }
}

bool TBitmap::Monochrome() const
{
    if (FPixelFormat != pf1bit)
        return false;
    if (FImage.isNull())
        return true;
    for (QRgb C : FImage.colorTable())
        if ((C & 0xFFFFFF) != 0 && (C & 0xFFFFFF) != 0xFFFFFF)
            return false;
    return true;
}

void TBitmap::SetMonochrome(bool Value)
{
    if (Value == Monochrome())
        return;
    if (Value) {
        Flush();
        if (FImage.isNull()) {
            FPixelFormat = pf1bit;
            Changed(this);
        } else {
            TakeImage(ToMono(FImage, BlackWhiteTable()), pf1bit);
            Changed(this);
        }
    } else if (FPixelFormat == pf1bit) {
        SetPixelFormat(pfDevice);
    }
}

std::vector<TRGBQuad> TBitmap::ColorTable() const
{
    std::vector<TRGBQuad> T;
    if (FPixelFormat != pf1bit && FPixelFormat != pf4bit && FPixelFormat != pf8bit)
        return T;
    for (QRgb C : FImage.colorTable())
        T.push_back(TRGBQuad{static_cast<uint8_t>(qBlue(C)), static_cast<uint8_t>(qGreen(C)),
                             static_cast<uint8_t>(qRed(C)), 0});
    return T;
}

void TBitmap::SetColorTable(const std::vector<TRGBQuad>& Table)
{
    const int Bits = FPixelFormat == pf1bit ? 1 : FPixelFormat == pf4bit ? 4 : FPixelFormat == pf8bit ? 8 : 0;
    if (Bits == 0)
        throw EInvalidGraphicOperation("Only bitmaps of 1, 4 or 8 bits a pixel have a colour table");
    if (Table.size() > (size_t(1) << Bits))
        throw EInvalidGraphicOperation("A colour table of " + IntToStr(uint64_t(Table.size())) +
                                       " entries does not fit a " + IntToStr(Bits) + "-bit bitmap");
    if (FImage.isNull())
        return;
    Flush();
    QList<QRgb> T;
    for (const TRGBQuad& Q : Table)
        T.push_back(qRgb(Q.rgbRed, Q.rgbGreen, Q.rgbBlue));
    if (Bits == 1)
        while (T.size() < 2)
            T.push_back(qRgb(0, 0, 0));
    FImage.setColorTable(T);
    Invalidate();
    Changed(this);
}

TCanvas* TBitmap::Canvas()
{
    Flush();
    if (!FCanvas) {
        FCanvas = std::make_unique<TBitmapCanvas>(this);
        FCanvas->SetTarget(FImage.isNull() ? nullptr : &FImage);
    }
    return FCanvas.get();
}

int TBitmap::BytesPerScanLine() const
{
    if (FImage.isNull())
        return 0;
    return FPixelFormat == pf4bit ? static_cast<int>(PackedStride(FImage.width()))
                                  : static_cast<int>(FImage.bytesPerLine());
}

uint8_t* TBitmap::ScanLine(int Row)
{
    if (Row < 0 || Row >= Height())
        throw EInvalidGraphic("Scan line index out of range");
    if (FPixelFormat != pf4bit)
        return FImage.scanLine(Row);
    const size_t Stride = PackedStride(FImage.width());
    if (!FPackedValid) {
        Flush();
        FPacked.assign(Stride * size_t(FImage.height()), 0);
        for (int Y = 0; Y < FImage.height(); ++Y) {
            const uchar* S = FImage.constScanLine(Y);
            uint8_t* D = FPacked.data() + size_t(Y) * Stride;
            for (int X = 0; X < FImage.width(); ++X)
                D[X >> 1] |= static_cast<uint8_t>((X & 1) ? (S[X] & 15) : (S[X] & 15) << 4);
        }
        FPackedValid = true;
    }
    FPackedOut = true;
    return FPacked.data() + size_t(Row) * Stride;
}

TColor TBitmap::TransparentColor() const
{
    if (FTransparentMode == tmFixed)
        return FTransparentColor;
    if (FImage.isNull())
        return clDefault;
    Flush();
    return QRgbToColor(PixelOf(FImage, 0, FImage.height() - 1));
}

void TBitmap::SetTransparentColor(TColor Value)
{
    if (Value == FTransparentColor && (Value == clDefault) == (FTransparentMode == tmAuto))
        return;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    FTransparentColor = Value;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value)
{
    if (Value == FTransparentMode)
        return;
    if (Value == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(TransparentColor());
}

void TBitmap::Mask(TColor TransparentColor)
{
    if (FImage.isNull())
        return;
    Flush();
    const QRgb Key = ColorToQRgb(TransparentColor) & 0xFFFFFF;
    const QImage Src = To32(FImage);
    QImage M(FImage.size(), QImage::Format_Mono);
    M.setColorTable(BlackWhiteTable());
    M.fill(0);
    for (int Y = 0; Y < M.height(); ++Y) {
        const auto* S = reinterpret_cast<const QRgb*>(Src.constScanLine(Y));
        uchar* D = M.scanLine(Y);
        for (int X = 0; X < M.width(); ++X)
            if ((S[X] & 0xFFFFFF) == Key)
                D[X >> 3] |= static_cast<uchar>(0x80 >> (X & 7));
    }
    TakeImage(std::move(M), pf1bit);
    Changed(this);
}

const QImage& TBitmap::Image() const
{
    Flush();
    return FImage;
}

void TBitmap::SetImage(const QImage& Image)
{
    Flush();
    if (Image.isNull()) {
        TakeImage(QImage(), FPixelFormat);
        Changed(this);
        return;
    }
    try {
        CheckBitmapSize(Image.width(), Image.height());
    } catch (const EInvalidGraphic& E) {
        throw EInvalidGraphicOperation(E.Message());
    }
    TPixelFormat F = pf32bit;
    QImage I = Image;
    switch (Image.format()) {
    case QImage::Format_Mono:
        F = pf1bit;
        break;
    case QImage::Format_MonoLSB:
        F = pf1bit;
        I = Image.convertToFormat(QImage::Format_Mono);
        break;
    case QImage::Format_Indexed8:
        F = pf8bit;
        break;
    case QImage::Format_RGB555:
        F = pf15bit;
        break;
    case QImage::Format_RGB16:
        F = pf16bit;
        break;
    case QImage::Format_BGR888:
        F = pf24bit;
        break;
    case QImage::Format_RGB888:
        F = pf24bit;
        I = Image.convertToFormat(QImage::Format_BGR888);
        break;
    default:
        I = To32(Image);
        break;
    }
    TakeImage(std::move(I), F);
    Changed(this);
}

QImage TBitmap::ToImage32() const
{
    Flush();
    return To32(FImage);
}

void TBitmap::DefineProperties(TFiler* Filer)
{
    Filer->DefineBinaryProperty(
        "Data",
        [this](TStream& S) {
            const int64_t Left = S.Size() - S.Position();
            if (Left < 4)
                throw EInvalidGraphic("Bitmap data too short: " + std::to_string(Left) + " bytes");
            const uint32_t Count = S.ReadUInt32();
            if (Count > static_cast<uint64_t>(Left - 4))
                throw EInvalidGraphic("Bitmap data truncated: " + std::to_string(Count) + " bytes announced, " +
                                      std::to_string(Left - 4) + " present");
            std::vector<uint8_t> Bytes(Count);
            if (Count)
                S.ReadBuffer(Bytes.data(), Count);
            TMemoryStream Bmp(std::move(Bytes));
            LoadFromStream(Bmp);
        },
        [this](TStream& S) {
            TMemoryStream Bmp;
            SaveToStream(Bmp);
            S.WriteUInt32(static_cast<uint32_t>(Bmp.Size()));
            S.WriteBuffer(Bmp.Memory(), Bmp.Size());
        },
        !Empty());
}

void TBitmap::LoadFromStream(TStream& Stream)
{
    if (Stream.Size() - Stream.Position() <= 0) {
        TakeImage(QImage(), FPixelFormat);
        Changed(this);
        return;
    }
    TBmpImage B = ReadBmp(Stream);
    TPixelFormat F = pf24bit;
    QImage I = std::move(B.Image);
    switch (B.BitCount) {
    case 1: {
        QList<QRgb> T;
        for (size_t K = 0; K < 2; ++K)
            T.push_back(K < B.ColorTable.size() ? B.ColorTable[K] : qRgb(0, 0, 0));
        I = ToMono(I, T);
        F = pf1bit;
        break;
    }
    case 4:
    case 8: {
        // The colour table as stored (the decoder pads it for drawing).
        QList<QRgb> T(B.ColorTable.begin(), B.ColorTable.end());
        uchar Max = 0;
        for (int Y = 0; Y < I.height(); ++Y) {
            const uchar* Row = I.constScanLine(Y);
            for (int X = 0; X < I.width(); ++X)
                Max = std::max(Max, Row[X]);
        }
        while (T.size() <= Max)
            T.push_back(qRgb(0, 0, 0));
        I.setColorTable(T);
        F = B.BitCount == 4 ? pf4bit : pf8bit;
        break;
    }
    case 16:
        if (I.format() == QImage::Format_RGB555) {
            F = pf15bit;
        } else {
            I = I.convertToFormat(QImage::Format_RGB16);
            F = pf16bit;
        }
        break;
    case 24:
        F = pf24bit;
        break;
    default:
        F = pf32bit;
        break;
    }
    TakeImage(std::move(I), F);
    Changed(this);
}

void TBitmap::SaveToStream(TStream& Stream)
{
    SaveToStream(Stream, TBmpWriteOptions());
}

void TBitmap::SaveToStream(TStream& Stream, const TBmpWriteOptions& Options)
{
    Flush();
    if (FImage.isNull())
        return;
    TBmpImage B;
    B.Image = FImage;
    switch (FPixelFormat) {
    case pf1bit:
        B.BitCount = 1;
        break;
    case pf4bit:
        B.BitCount = 4;
        break;
    case pf8bit:
        B.BitCount = 8;
        break;
    case pf15bit:
    case pf16bit:
        B.BitCount = 16;
        break;
    case pf32bit:
        B.BitCount = 32;
        break;
    default:
        B.BitCount = 24;
        break;
    }
    if (B.BitCount <= 8)
        for (QRgb C : FImage.colorTable())
            B.ColorTable.push_back(C);
    WriteBmp(Stream, B, Options);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    Flush();
    if (!ACanvas || FImage.isNull())
        return;
    if (Transparent()) {
        const QRgb Key = ColorToQRgb(TransparentColor()) & 0xFFFFFF;
        QImage A = To32(FImage).convertToFormat(QImage::Format_ARGB32);
        for (int Y = 0; Y < A.height(); ++Y) {
            auto* Row = reinterpret_cast<QRgb*>(A.scanLine(Y));
            for (int X = 0; X < A.width(); ++X)
                Row[X] = (Row[X] & 0xFFFFFF) == Key ? 0u : (Row[X] | 0xFF000000u);
        }
        DrawImage32(ACanvas, Rect, std::move(A));
        return;
    }
    TCanvas Source(&FImage);
    ACanvas->RequireAllState();
    const bool Mono = FPixelFormat == pf1bit;
    TColor OldText = clBlack, OldBk = clWhite;
    if (Mono) {
        OldText = ACanvas->SetTextColor(clBlack);
        OldBk = ACanvas->SetBkColor(clWhite);
    }
    StretchBlt(ACanvas, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), &Source, 0, 0, Width(), Height(),
               static_cast<uint32_t>(ACanvas->CopyMode()));
    if (Mono) {
        ACanvas->SetTextColor(OldText);
        ACanvas->SetBkColor(OldBk);
    }
}

void TBitmap::Assign(TPersistent* Source)
{
    if (!Source) {
        TakeImage(QImage(), FPixelFormat);
        Changed(this);
        return;
    }
    if (Source == this)
        return;
    if (auto* B = dynamic_cast<TBitmap*>(Source)) {
        B->Flush();
        Flush();
        FTransparentColor = B->FTransparentColor;
        FTransparentMode = B->FTransparentMode;
        SetTransparentQuietly(B->Transparent());
        TakeImage(B->FImage, B->FPixelFormat);
        Changed(this);
        return;
    }
    if (auto* J = dynamic_cast<TJPEGImage*>(Source)) {
        Assign(J->Bitmap());
        return;
    }
    if (auto* G = dynamic_cast<TGraphic*>(Source)) {
        if (G->Empty()) {
            Assign(nullptr);
            return;
        }
        QImage I(G->Width(), G->Height(), QImage::Format_BGR888);
        I.fill(QColor(255, 255, 255));
        TakeImage(std::move(I), pf24bit);
        G->Draw(Canvas(), TRect(0, 0, G->Width(), G->Height()));
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

// ---------------------------------------------------------------- TIcon

namespace {

const char* const IconWhat = "Icon image";

[[noreturn]] void BadIcon(const String& Detail)
{
    throw EInvalidGraphic(String(IconWhat) + " is not valid: " + Detail);
}

QImage MaskFromAlpha(const QImage& Color)
{
    QImage M(Color.size(), QImage::Format_Mono);
    M.setColorTable(BlackWhiteTable());
    M.fill(0);
    if (!Color.hasAlphaChannel())
        return M;
    const QImage A = Color.convertToFormat(QImage::Format_ARGB32);
    for (int Y = 0; Y < A.height(); ++Y) {
        const auto* S = reinterpret_cast<const QRgb*>(A.constScanLine(Y));
        uchar* D = M.scanLine(Y);
        for (int X = 0; X < A.width(); ++X)
            if (qAlpha(S[X]) < 128)
                D[X >> 3] |= static_cast<uchar>(0x80 >> (X & 7));
    }
    return M;
}

} // namespace

TIcon::TIcon(QObject* Parent) : TGraphic(Parent)
{
    SetTransparentQuietly(true);
}

TIcon::~TIcon() = default;

int TIcon::Width() const
{
    return FCurrent < 0 ? 0 : FImages[size_t(FCurrent)].Color.width();
}

int TIcon::Height() const
{
    return FCurrent < 0 ? 0 : FImages[size_t(FCurrent)].Color.height();
}

const TIcon::TImage& TIcon::Images(int Index) const
{
    if (Index < 0 || Index >= ImageCount())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FImages[size_t(Index)];
}

void TIcon::ChooseCurrent()
{
    FCurrent = -1;
    for (int I = 0; I < ImageCount(); ++I) {
        if (FCurrent < 0) {
            FCurrent = I;
            continue;
        }
        const TImage& A = FImages[size_t(I)];
        const TImage& B = FImages[size_t(FCurrent)];
        const bool A32 = A.Color.width() == 32 && A.Color.height() == 32;
        const bool B32 = B.Color.width() == 32 && B.Color.height() == 32;
        const int64_t AArea = int64_t(A.Color.width()) * A.Color.height();
        const int64_t BArea = int64_t(B.Color.width()) * B.Color.height();
        if (A32 != B32 ? A32 : AArea != BArea ? AArea > BArea : A.BitCount > B.BitCount)
            FCurrent = I;
    }
}

void TIcon::AddImage(const QImage& Color, int BitCount, const QImage& Mask)
{
    if (Color.isNull())
        throw EInvalidGraphicOperation("Cannot add an empty image to an icon");
    if (Color.width() > 256 || Color.height() > 256)
        throw EInvalidGraphicOperation("Icon images are at most 256 x 256 pixels, not " + IntToStr(Color.width()) +
                                       " x " + IntToStr(Color.height()));
    TImage I;
    I.BitCount = BitCount;
    switch (BitCount) {
    case 1:
    case 4:
    case 8: {
        const int Max = 1 << BitCount;
        QImage C;
        if (Color.format() == QImage::Format_Indexed8 && Color.colorCount() <= Max) {
            C = Color;
        } else {
            const QList<QRgb> T = BitCount == 1 ? BlackWhiteTable() : BitCount == 4 ? StandardTable16() : StandardTable256();
            C = To32(Color).convertToFormat(QImage::Format_Indexed8, T, Qt::ThresholdDither | Qt::AvoidDither);
        }
        const QList<QRgb> T = C.colorTable();
        I.ColorTable.assign(T.begin(), T.end());
        I.Color = C;
        break;
    }
    case 16:
        I.Color = Color.convertToFormat(QImage::Format_RGB555);
        break;
    case 24:
        I.Color = Color.convertToFormat(QImage::Format_BGR888);
        break;
    case 32:
        I.Color = To32(Color).convertToFormat(Color.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        break;
    default:
        throw EInvalidGraphicOperation("Icon images of " + IntToStr(BitCount) + " bits a pixel are not supported");
    }
    if (Mask.isNull()) {
        I.Mask = MaskFromAlpha(Color);
    } else {
        if (Mask.size() != Color.size())
            throw EInvalidGraphicOperation("The icon mask must have the size of the image");
        I.Mask = Mask.format() == QImage::Format_Mono ? Mask : Mask.convertToFormat(QImage::Format_Mono);
    }
    FImages.push_back(std::move(I));
    ChooseCurrent();
    Changed(this);
}

void TIcon::Clear()
{
    if (FImages.empty())
        return;
    FImages.clear();
    FCurrent = -1;
    Changed(this);
}

QImage TIcon::ToImage32() const
{
    return FCurrent < 0 ? QImage() : ToImage32(FCurrent);
}

QImage TIcon::ToImage32(int Index) const
{
    const TImage& I = Images(Index);
    QImage A = To32(I.Color).convertToFormat(QImage::Format_ARGB32);
    if (I.Color.hasAlphaChannel())
        return A;
    // The mask's white entry (1 unless its colour table says otherwise) is
    // transparent.
    const bool OneIsWhite = I.Mask.colorCount() < 2 || qGray(I.Mask.color(1)) >= qGray(I.Mask.color(0));
    for (int Y = 0; Y < A.height() && Y < I.Mask.height(); ++Y) {
        auto* Row = reinterpret_cast<QRgb*>(A.scanLine(Y));
        const uchar* M = I.Mask.constScanLine(Y);
        for (int X = 0; X < A.width() && X < I.Mask.width(); ++X) {
            const bool Bit = (M[X >> 3] >> (7 - (X & 7))) & 1;
            if (Bit == OneIsWhite)
                Row[X] = 0;
        }
    }
    return A;
}

void TIcon::LoadFromStream(TStream& Stream)
{
    const int64_t Start = Stream.Position();
    const int64_t Size = Stream.Size();
    const uint64_t Avail = Size > Start ? static_cast<uint64_t>(Size - Start) : 0;
    if (Avail < 6)
        BadIcon("the header is truncated (" + IntToStr(Avail) + " bytes)");
    uint8_t Head[6];
    Stream.ReadBuffer(Head, 6);
    const int Reserved = Head[0] | Head[1] << 8, Type = Head[2] | Head[3] << 8, Count = Head[4] | Head[5] << 8;
    if (Reserved != 0 || Type != 1)
        BadIcon("it does not start with an icon header (reserved " + IntToStr(Reserved) + ", type " + IntToStr(Type) +
                ")");
    if (Count == 0)
        BadIcon("it holds no image");
    const uint64_t DirEnd = 6 + 16 * uint64_t(Count);
    if (DirEnd > Avail)
        BadIcon("the directory of " + IntToStr(Count) + " images is truncated");
    std::vector<uint8_t> Dir(16 * size_t(Count));
    Stream.ReadBuffer(Dir.data(), static_cast<int64_t>(Dir.size()));
    uint64_t End = DirEnd;
    for (int I = 0; I < Count; ++I) {
        const uint8_t* E = Dir.data() + 16 * size_t(I);
        const uint64_t Bytes = uint64_t(E[8]) | uint64_t(E[9]) << 8 | uint64_t(E[10]) << 16 | uint64_t(E[11]) << 24;
        const uint64_t Offset = uint64_t(E[12]) | uint64_t(E[13]) << 8 | uint64_t(E[14]) << 16 | uint64_t(E[15]) << 24;
        if (Offset < DirEnd || Offset + Bytes > Avail)
            BadIcon("the data of image " + IntToStr(I) + " (" + IntToStr(Bytes) + " bytes at offset " +
                    IntToStr(Offset) + ") lies outside the file of " + IntToStr(Avail) + " bytes");
        End = std::max(End, Offset + Bytes);
    }
    std::vector<uint8_t> All(static_cast<size_t>(End));
    std::memcpy(All.data(), Head, 6);
    std::memcpy(All.data() + 6, Dir.data(), Dir.size());
    if (End > DirEnd)
        Stream.ReadBuffer(All.data() + DirEnd, static_cast<int64_t>(End - DirEnd));
    std::vector<TImage> Images;
    for (int I = 0; I < Count; ++I) {
        const uint8_t* E = Dir.data() + 16 * size_t(I);
        const size_t Bytes = size_t(E[8]) | size_t(E[9]) << 8 | size_t(E[10]) << 16 | size_t(E[11]) << 24;
        const size_t Offset = size_t(E[12]) | size_t(E[13]) << 8 | size_t(E[14]) << 16 | size_t(E[15]) << 24;
        const uint8_t* P = All.data() + Offset;
        TImage Img;
        static const uint8_t Png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        if (Bytes >= 8 && std::memcmp(P, Png, 8) == 0) {
            QImage C = QImage::fromData(P, static_cast<int>(std::min<size_t>(Bytes, 0x7FFFFFFF)), "PNG");
            if (C.isNull())
                BadIcon("image " + IntToStr(I) + ": its PNG data cannot be decoded");
            if (C.width() > 256 || C.height() > 256)
                BadIcon("image " + IntToStr(I) + ": its size " + IntToStr(C.width()) + " x " + IntToStr(C.height()) +
                        " exceeds 256 x 256 pixels");
            Img.Color = C.convertToFormat(QImage::Format_ARGB32);
            Img.BitCount = 32;
            Img.Mask = MaskFromAlpha(Img.Color);
        } else {
            TBmpImage B;
            try {
                B = DecodeIconDib(P, Bytes, IconWhat);
            } catch (const EInvalidGraphic& Ex) {
                const String Prefix = String(IconWhat) + " is not valid: ";
                String Detail = Ex.Message();
                if (Detail.compare(0, Prefix.size(), Prefix) == 0)
                    Detail.erase(0, Prefix.size());
                BadIcon("image " + IntToStr(I) + ": " + Detail);
            }
            if (B.Image.width() > 256 || B.Image.height() > 256)
                BadIcon("image " + IntToStr(I) + ": its size " + IntToStr(B.Image.width()) + " x " +
                        IntToStr(B.Image.height()) + " exceeds 256 x 256 pixels");
            Img.Color = std::move(B.Image);
            Img.BitCount = B.BitCount;
            Img.ColorTable = std::move(B.ColorTable);
            Img.Mask = std::move(B.Mask);
        }
        Images.push_back(std::move(Img));
    }
    Stream.SetPosition(Start + static_cast<int64_t>(End));
    FImages = std::move(Images);
    ChooseCurrent();
    Changed(this);
}

void TIcon::SaveToStream(TStream& Stream)
{
    if (FImages.empty())
        return;
    std::vector<std::vector<uint8_t>> Blobs;
    for (const TImage& I : FImages) {
        TBmpImage B;
        B.Image = I.Color;
        B.BitCount = I.BitCount;
        B.ColorTable = I.ColorTable;
        B.Mask = I.Mask;
        Blobs.push_back(EncodeIconDib(B));
    }
    TMemoryStream Out;
    Out.WriteUInt16(0);
    Out.WriteUInt16(1);
    Out.WriteUInt16(static_cast<uint16_t>(FImages.size()));
    uint32_t Offset = static_cast<uint32_t>(6 + 16 * FImages.size());
    for (size_t K = 0; K < FImages.size(); ++K) {
        const TImage& I = FImages[K];
        Out.WriteByte(static_cast<uint8_t>(I.Color.width() & 0xFF)); // 256 is stored as 0
        Out.WriteByte(static_cast<uint8_t>(I.Color.height() & 0xFF));
        Out.WriteByte(I.BitCount <= 8 && I.ColorTable.size() < 256 ? static_cast<uint8_t>(I.ColorTable.size()) : 0);
        Out.WriteByte(0);
        Out.WriteUInt16(1);
        Out.WriteUInt16(static_cast<uint16_t>(I.BitCount));
        Out.WriteUInt32(static_cast<uint32_t>(Blobs[K].size()));
        Out.WriteUInt32(Offset);
        Offset += static_cast<uint32_t>(Blobs[K].size());
    }
    for (const auto& B : Blobs)
        Out.WriteBuffer(B.data(), static_cast<int64_t>(B.size()));
    Stream.WriteBuffer(Out.Memory(), Out.Size());
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (FCurrent < 0)
        return;
    DrawImage32(ACanvas, Bounds(Rect.Left, Rect.Top, Width(), Height()), ToImage32());
}

void TIcon::StretchDrawIcon(TCanvas* ACanvas, const TRect& Rect)
{
    if (FCurrent >= 0)
        DrawImage32(ACanvas, Rect, ToImage32());
}

void TIcon::Assign(TPersistent* Source)
{
    if (!Source) {
        Clear();
        return;
    }
    if (auto* I = dynamic_cast<TIcon*>(Source)) {
        if (I == this)
            return;
        FImages = I->FImages;
        FCurrent = I->FCurrent;
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

// ---------------------------------------------------------------- TJPEGImage

TJPEGImage::TJPEGImage(QObject* Parent) : TGraphic(Parent) {}

TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() const
{
    return FData.empty() && !FBitmap;
}

int TJPEGImage::Width() const
{
    if (FBitmap)
        return FBitmap->Width();
    if (FData.empty())
        return 0;
    int W = 0, H = 0;
    JpegScaledSize(JpegReadInfo(FData.data(), FData.size()), 1 << int(FScale), W, H);
    return W;
}

int TJPEGImage::Height() const
{
    if (FBitmap)
        return FBitmap->Height();
    if (FData.empty())
        return 0;
    int W = 0, H = 0;
    JpegScaledSize(JpegReadInfo(FData.data(), FData.size()), 1 << int(FScale), W, H);
    return H;
}

void TJPEGImage::FreeBitmap()
{
    // A picture that exists only as a bitmap keeps it.
    if (!FData.empty())
        FBitmap.reset();
}

void TJPEGImage::SetCompressionQuality(int Value)
{
    Value = std::clamp(Value, 1, 100);
    if (Value != FQuality) {
        FQuality = Value;
        Changed(this);
    }
}

void TJPEGImage::SetGrayscale(bool Value)
{
    if (Value != FGrayscale) {
        FGrayscale = Value;
        FreeBitmap();
        Changed(this);
    }
}

void TJPEGImage::SetProgressiveEncoding(bool Value)
{
    if (Value != FProgressive) {
        FProgressive = Value;
        Changed(this);
    }
}

void TJPEGImage::SetScale(TJPEGScale Value)
{
    if (Value != FScale) {
        FScale = Value;
        FreeBitmap();
        Changed(this);
    }
}

void TJPEGImage::SetPerformance(TJPEGPerformance Value)
{
    if (Value != FPerformance) {
        FPerformance = Value;
        FreeBitmap();
        Changed(this);
    }
}

std::unique_ptr<TBitmap> TJPEGImage::Decode(const std::vector<uint8_t>& Data) const
{
    TJpegDecodeOptions O;
    O.ScaleDenom = 1 << int(FScale);
    O.Grayscale = FGrayscale;
    O.Fast = FPerformance == jpBestSpeed;
    QImage I = JpegDecode(Data.data(), Data.size(), O);
    if (I.format() == QImage::Format_Grayscale8) {
        I.reinterpretAsFormat(QImage::Format_Indexed8);
        QList<QRgb> Grey;
        for (int K = 0; K < 256; ++K)
            Grey.push_back(qRgb(K, K, K));
        I.setColorTable(Grey);
    }
    auto B = std::make_unique<TBitmap>();
    B->SetImage(I);
    return B;
}

const std::vector<uint8_t>& TJPEGImage::Data()
{
    JPEGNeeded();
    return FData;
}

void TJPEGImage::Compress()
{
    if (!FBitmap)
        return;
    TJpegEncodeOptions O;
    O.Quality = FQuality;
    O.Grayscale = FGrayscale;
    O.Progressive = FProgressive;
    FData = JpegEncode(FBitmap->ToImage32(), O);
}

void TJPEGImage::JPEGNeeded()
{
    if (FData.empty() && FBitmap)
        Compress();
}

void TJPEGImage::DIBNeeded()
{
    if (!FBitmap && !FData.empty())
        FBitmap = Decode(FData);
}

TBitmap* TJPEGImage::Bitmap()
{
    DIBNeeded();
    return FBitmap.get();
}

void TJPEGImage::LoadFromStream(TStream& Stream)
{
    const int64_t Left = Stream.Size() - Stream.Position();
    std::vector<uint8_t> Data(static_cast<size_t>(std::max<int64_t>(Left, 0)));
    if (!Data.empty())
        Stream.ReadBuffer(Data.data(), static_cast<int64_t>(Data.size()));
    std::unique_ptr<TBitmap> B;
    if (!Data.empty())
        B = Decode(Data);
    FData = std::move(Data);
    FBitmap = std::move(B);
    Changed(this);
}

void TJPEGImage::SaveToStream(TStream& Stream)
{
    JPEGNeeded();
    if (!FData.empty())
        Stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    DIBNeeded();
    if (FBitmap)
        FBitmap->Draw(ACanvas, Rect);
}

void TJPEGImage::Assign(TPersistent* Source)
{
    if (!Source) {
        FData.clear();
        FBitmap.reset();
        Changed(this);
        return;
    }
    if (auto* J = dynamic_cast<TJPEGImage*>(Source)) {
        if (J == this)
            return;
        FData = J->FData;
        FQuality = J->FQuality;
        FGrayscale = J->FGrayscale;
        FProgressive = J->FProgressive;
        FScale = J->FScale;
        FPerformance = J->FPerformance;
        FBitmap.reset();
        if (J->FBitmap) {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(J->FBitmap.get());
        }
        Changed(this);
        return;
    }
    if (auto* B = dynamic_cast<TBitmap*>(Source)) {
        if (B->Empty()) {
            Assign(nullptr);
            return;
        }
        auto Copy = std::make_unique<TBitmap>();
        Copy->Assign(B);
        Copy->SetTransparent(false);
        FData.clear();
        FBitmap = std::move(Copy);
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest)
{
    if (auto* B = dynamic_cast<TBitmap*>(Dest)) {
        B->Assign(Bitmap());
        return;
    }
    TGraphic::AssignTo(Dest);
}

// ---------------------------------------------------------------- TPicture

TPicture::TPicture(QObject* Parent) : QObject(Parent) {}

TPicture::~TPicture() = default;

void TPicture::Take(std::unique_ptr<TGraphic> Graphic)
{
    if (Graphic)
        Graphic->OnChange = [this](TObject* Sender) { Changed(Sender); };
    FGraphic = std::move(Graphic);
    Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value)
{
    if (!Value) {
        Take(nullptr);
        return;
    }
    if (Value == FGraphic.get())
        return;
    const TMetaClass* C = FindGraphicClass(Value->metaObject()->className());
    if (!C)
        throw EInvalidGraphicOperation(String("Graphic class ") + Value->metaObject()->className() +
                                       " is not registered (ClassOf or RegisterGraphicClass)");
    std::unique_ptr<TGraphic> G = NewGraphic(C);
    G->Assign(Value);
    Take(std::move(G));
}

TBitmap* TPicture::Bitmap()
{
    if (!dynamic_cast<TBitmap*>(FGraphic.get()))
        Take(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon()
{
    if (!dynamic_cast<TIcon*>(FGraphic.get()))
        Take(std::make_unique<TIcon>());
    return static_cast<TIcon*>(FGraphic.get());
}

int TPicture::Width() const
{
    return FGraphic ? FGraphic->Width() : 0;
}

int TPicture::Height() const
{
    return FGraphic ? FGraphic->Height() : 0;
}

void TPicture::LoadFromFile(const String& FileName)
{
    String Ext = ExtractFileExt(FileName);
    if (!Ext.empty())
        Ext.erase(0, 1);
    const TMetaClass* C = GraphicClassOfExtension(Ext);
    if (!C)
        throw EInvalidGraphic("Unknown picture file extension (." + Ext + ")");
    std::unique_ptr<TGraphic> G = NewGraphic(C);
    G->LoadFromFile(FileName);
    Take(std::move(G));
}

void TPicture::SaveToFile(const String& FileName)
{
    if (FGraphic)
        FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromStream(TStream& Stream)
{
    const int64_t Start = Stream.Position();
    uint8_t Sig[4] = {};
    const int64_t Got = Stream.Read(Sig, 4);
    Stream.SetPosition(Start);
    const TMetaClass* C = nullptr;
    if (Got >= 2 && Sig[0] == 'B' && Sig[1] == 'M')
        C = ClassOf<TBitmap>();
    else if (Got >= 2 && Sig[0] == 0xFF && Sig[1] == 0xD8)
        C = ClassOf<TJPEGImage>();
    else if (Got >= 4 && Sig[0] == 0 && Sig[1] == 0 && Sig[2] == 1 && Sig[3] == 0)
        C = ClassOf<TIcon>();
    if (!C) {
        String Bytes;
        for (int64_t I = 0; I < Got; ++I)
            Bytes += (I ? " $" : "$") + IntToHex(unsigned(Sig[I]), 2);
        throw EInvalidGraphic("Unknown picture format" + (Got ? ": the data starts with " + Bytes : String(": no data")));
    }
    std::unique_ptr<TGraphic> G = NewGraphic(C);
    G->LoadFromStream(Stream);
    Take(std::move(G));
}

void TPicture::SaveToStream(TStream& Stream)
{
    if (FGraphic)
        FGraphic->SaveToStream(Stream);
}

void TPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        SetGraphic(nullptr);
    } else if (auto* P = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(P->Graphic());
    } else if (auto* G = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(G);
    } else {
        TPersistent::Assign(Source);
    }
}

void TPicture::AssignTo(TPersistent* Dest)
{
    if (auto* G = dynamic_cast<TGraphic*>(Dest)) {
        G->Assign(FGraphic.get());
        return;
    }
    TPersistent::AssignTo(Dest);
}

void TPicture::Changed(TObject*)
{
    if (OnChange)
        OnChange(this);
}

void TPicture::ReadData(TStream& Stream)
{
    const uint8_t N = Stream.ReadByte();
    String Name(N, '\0');
    if (N)
        Stream.ReadBuffer(Name.data(), N);
    if (Name.empty()) {
        Take(nullptr);
        return;
    }
    const TMetaClass* C = FindGraphicClass(Name);
    if (!C)
        throw EInvalidGraphic("Unknown picture class \"" + Name + "\" in the stored picture data");
    std::unique_ptr<TGraphic> G = NewGraphic(C);
    G->LoadFromStream(Stream);
    Take(std::move(G));
}

void TPicture::WriteData(TStream& Stream)
{
    const String Name = FGraphic ? FGraphic->ClassName() : String();
    Stream.WriteByte(static_cast<uint8_t>(Name.size()));
    Stream.WriteBuffer(Name.data(), static_cast<int64_t>(Name.size()));
    if (FGraphic)
        FGraphic->SaveToStream(Stream);
}

void TPicture::DefineProperties(TFiler* Filer)
{
    Filer->DefineBinaryProperty(
        "Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, FGraphic != nullptr);
}

// ---------------------------------------------------------------- TCanvas drawing of graphics

void TCanvas::Draw(int X, int Y, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    Graphic->Draw(this, TRect(X, Y, X + Graphic->Width(), Y + Graphic->Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    Graphic->Draw(this, Rect);
    Changed();
}

TCanvas* PictureBitmapCanvas(TPicture* Picture, int Width, int Height)
{
    if (!Picture->Graphic()) {
        TBitmap Bitmap;
        Bitmap.SetSize(std::max(0, Width), std::max(0, Height));
        Picture->SetGraphic(&Bitmap);
    }
    if (auto* B = dynamic_cast<TBitmap*>(Picture->Graphic()))
        return B->Canvas();
    throw EInvalidOperation("Can only modify an image if it contains a bitmap");
}
