#include "ImageList.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "BmpCodec.h"
#include "Canvas.h"
#include "FormStream.h"
#include "Pictures.h"
#include "Streams.h"

namespace {

constexpr int GridColumns = 4;
constexpr QRgb White = 0xFFFFFFFFu;

bool MaskBit(const QImage& M, int X, int Y)
{
    return (M.constScanLine(Y)[X >> 3] >> (7 - (X & 7))) & 1;
}

void SetMaskBit(QImage& M, int X, int Y)
{
    M.scanLine(Y)[X >> 3] |= static_cast<uchar>(0x80 >> (X & 7));
}

QImage NewMask(int W, int H)
{
    QImage M(W, H, QImage::Format_Mono);
    M.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    M.fill(0);
    return M;
}

// A Format_Mono image whose bit 1 means white, whatever its colour table says.
QImage WhiteIsOne(const QImage& M)
{
    QImage R = M.convertToFormat(QImage::Format_Mono);
    if (R.colorCount() >= 2 && qGray(R.color(0)) > qGray(R.color(1)))
        R.invertPixels();
    R.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    return R;
}

QRgb Mix(QRgb C, QRgb B, int K)
{
    return qRgb((qRed(C) * (4 - K) + qRed(B) * K) / 4, (qGreen(C) * (4 - K) + qGreen(B) * K) / 4,
                (qBlue(C) * (4 - K) + qBlue(B) * K) / 4);
}

[[noreturn]] void BadData(const String& Detail)
{
    throw EInvalidGraphic("Image list data is not valid: " + Detail);
}

} // namespace

// ---------------------------------------------------------------- TChangeLink

TChangeLink::~TChangeLink()
{
    if (FSender)
        FSender->UnRegisterChanges(this);
}

void TChangeLink::Change()
{
    if (OnChange)
        OnChange(FSender);
}

// ---------------------------------------------------------------- TCustomImageList

TCustomImageList::TCustomImageList(TComponent* AOwner) : TNonVisualComponent(AOwner) {}

TCustomImageList::~TCustomImageList()
{
    for (TChangeLink* L : FLinks)
        L->SetSender(nullptr);
}

TCustomImageList* TCustomImageList::CreateSize(int AWidth, int AHeight, TComponent* AOwner)
{
    auto* L = new TCustomImageList(AOwner);
    L->SetWidth(AWidth);
    L->SetHeight(AHeight);
    return L;
}

void TCustomImageList::Change()
{
    for (TChangeLink* L : std::vector<TChangeLink*>(FLinks))
        L->Change();
    if (OnChange)
        OnChange(this);
}

void TCustomImageList::SetWidth(int Value)
{
    if (Value < 1 || Value > MaxBitmapSide)
        throw EInvalidOperation("Invalid image list width " + IntToStr(Value));
    if (Value != FWidth) {
        FWidth = Value;
        FImages.clear();
        Change();
    }
}

void TCustomImageList::SetHeight(int Value)
{
    if (Value < 1 || Value > MaxBitmapSide)
        throw EInvalidOperation("Invalid image list height " + IntToStr(Value));
    if (Value != FHeight) {
        FHeight = Value;
        FImages.clear();
        Change();
    }
}

void TCustomImageList::SetBkColor(TColor Value)
{
    if (Value != FBkColor) {
        FBkColor = Value;
        Change();
    }
}

void TCustomImageList::SetBlendColor(TColor Value)
{
    if (Value != FBlendColor) {
        FBlendColor = Value;
        Change();
    }
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value)
{
    if (Value != FDrawingStyle) {
        FDrawingStyle = Value;
        Change();
    }
}

void TCustomImageList::SetImageType(TImageType Value)
{
    if (Value != FImageType) {
        FImageType = Value;
        Change();
    }
}

void TCustomImageList::SetMasked(bool Value)
{
    if (Value != FMasked) {
        FMasked = Value;
        Change();
    }
}

void TCustomImageList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EInvalidOperation("Invalid ImageList Index " + IntToStr(Index) + " (the list has " +
                                IntToStr(Count()) + " images)");
}

std::vector<TCustomImageList::TEntry> TCustomImageList::Cut(TBitmap* Image, TBitmap* Mask, int MaxCount) const
{
    if (!Image || Image->Empty() || Image->Width() < FWidth)
        throw EInvalidOperation("Invalid image size");
    const QImage Pixels = Image->ToImage32().convertToFormat(QImage::Format_RGB32);
    QImage Bits;
    if (Mask && !Mask->Empty()) {
        TBitmap M;
        M.Assign(Mask);
        if (M.PixelFormat() != pf1bit)
            M.Mask(clWhite);
        Bits = WhiteIsOne(M.Image());
    }
    const int N = std::min(Image->Width() / FWidth, MaxCount);
    std::vector<TEntry> Out;
    for (int I = 0; I < N; ++I) {
        TEntry E;
        E.Image = QImage(FWidth, FHeight, QImage::Format_RGB32);
        E.Image.fill(qRgb(0, 0, 0));
        E.Mask = NewMask(FWidth, FHeight);
        for (int Y = 0; Y < FHeight; ++Y) {
            if (Y >= Pixels.height()) {
                for (int X = 0; X < FWidth; ++X)
                    SetMaskBit(E.Mask, X, Y);
                continue;
            }
            std::memcpy(E.Image.scanLine(Y), Pixels.constScanLine(Y) + size_t(I) * FWidth * 4, size_t(FWidth) * 4);
            if (!Bits.isNull())
                for (int X = 0; X < FWidth; ++X) {
                    const int SX = I * FWidth + X;
                    if (SX < Bits.width() && Y < Bits.height() && MaskBit(Bits, SX, Y))
                        SetMaskBit(E.Mask, X, Y);
                }
        }
        Out.push_back(std::move(E));
    }
    return Out;
}

std::vector<TCustomImageList::TEntry> TCustomImageList::CutMasked(TBitmap* Image, TColor MaskColor, int MaxCount) const
{
    std::vector<TEntry> Out = Cut(Image, nullptr, MaxCount);
    const QRgb Key = ColorToQRgb(MaskColor == clDefault ? Image->TransparentColor() : MaskColor) & 0xFFFFFF;
    for (TEntry& E : Out)
        for (int Y = 0; Y < FHeight; ++Y) {
            auto* Row = reinterpret_cast<QRgb*>(E.Image.scanLine(Y));
            for (int X = 0; X < FWidth; ++X)
                if ((Row[X] & 0xFFFFFF) == Key && !MaskBit(E.Mask, X, Y)) {
                    SetMaskBit(E.Mask, X, Y);
                    Row[X] = qRgb(0, 0, 0);
                }
        }
    return Out;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    std::vector<TEntry> New = Cut(Image, Mask, std::numeric_limits<int>::max());
    const int First = Count();
    for (TEntry& E : New)
        FImages.push_back(std::move(E));
    Change();
    return First;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    std::vector<TEntry> New = CutMasked(Image, MaskColor, std::numeric_limits<int>::max());
    const int First = Count();
    for (TEntry& E : New)
        FImages.push_back(std::move(E));
    Change();
    return First;
}

int TCustomImageList::AddImage32(const QImage& Image)
{
    if (Image.isNull())
        throw EInvalidOperation("Invalid image size");
    const QImage A = Image.convertToFormat(QImage::Format_ARGB32);
    TEntry E;
    E.Image = QImage(FWidth, FHeight, QImage::Format_RGB32);
    E.Image.fill(qRgb(0, 0, 0));
    E.Mask = NewMask(FWidth, FHeight);
    for (int Y = 0; Y < FHeight; ++Y)
        for (int X = 0; X < FWidth; ++X) {
            const QRgb C = X < A.width() && Y < A.height() ? A.pixel(X, Y) : 0;
            if (qAlpha(C) < 128)
                SetMaskBit(E.Mask, X, Y);
            else
                E.Image.setPixel(X, Y, C | 0xFF000000u);
        }
    FImages.push_back(std::move(E));
    Change();
    return Count() - 1;
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask)
{
    CheckIndex(Index);
    std::vector<TEntry> New = Cut(Image, Mask, 1);
    FImages[size_t(Index)] = std::move(New.front());
    Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor)
{
    CheckIndex(Index);
    std::vector<TEntry> New = CutMasked(NewImage, MaskColor, 1);
    FImages[size_t(Index)] = std::move(New.front());
    Change();
}

void TCustomImageList::Delete(int Index)
{
    if (Index == -1) {
        Clear();
        return;
    }
    CheckIndex(Index);
    FImages.erase(FImages.begin() + Index);
    Change();
}

void TCustomImageList::Clear()
{
    FImages.clear();
    Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex)
{
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    if (CurIndex == NewIndex)
        return;
    TEntry E = std::move(FImages[size_t(CurIndex)]);
    FImages.erase(FImages.begin() + CurIndex);
    FImages.insert(FImages.begin() + NewIndex, std::move(E));
    Change();
}

QImage TCustomImageList::ImageAt(int Index) const
{
    CheckIndex(Index);
    return FImages[size_t(Index)].Image;
}

QImage TCustomImageList::MaskAt(int Index) const
{
    CheckIndex(Index);
    return FImages[size_t(Index)].Mask;
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image)
{
    if (!Image || Index < 0 || Index >= Count())
        return false;
    QImage I(FWidth, FHeight, QImage::Format_RGB32);
    I.fill(White);
    Image->SetImage(I);
    Draw(Image->Canvas(), 0, 0, Index, dsNormal, itImage, true);
    return true;
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled)
{
    Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled)
{
    DrawImage(Canvas, X, Y, Index, ADrawingStyle, AImageType, Enabled, FBlendColor);
}

void TCustomImageList::DrawBlended(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                                   TColor BlendColor)
{
    if (BlendColor == clNone)
        ADrawingStyle = dsNormal;
    DrawImage(Canvas, X, Y, Index, ADrawingStyle, itImage, true, BlendColor);
}

void TCustomImageList::Overlay(int ImageIndex, int AOverlay)
{
    if (AOverlay < 0 || AOverlay > 14)
        return;
    if (FOverlays.size() < 15)
        FOverlays.resize(15, -1);
    FOverlays[size_t(AOverlay)] = ImageIndex < 0 ? -1 : ImageIndex;
}

int TCustomImageList::OverlayImage(int AOverlay) const
{
    if (AOverlay < 0 || AOverlay >= static_cast<int>(FOverlays.size()))
        return -1;
    return FOverlays[size_t(AOverlay)];
}

void TCustomImageList::DrawImage(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                                 TImageType AImageType, bool Enabled, TColor BlendColor)
{
    if (!Canvas || Index < 0 || Index >= Count())
        return;
    const TEntry& E = FImages[size_t(Index)];
    const bool Masked = FMasked;
    auto Transparent = [&](int CX, int CY) { return Masked && MaskBit(E.Mask, CX, CY); };
    auto Pixel = [&](int CX, int CY) { return reinterpret_cast<const QRgb*>(E.Image.constScanLine(CY))[CX]; };
    const bool HasBk = FBkColor != clNone;
    const QRgb Bk = ColorToQRgb(FBkColor) | 0xFF000000u;

    if (!Enabled) {
        // Pixels that do not come out white when drawn normally on white.
        auto Painted = [&](int CX, int CY) {
            if (CX < 0 || CY < 0 || CX >= FWidth || CY >= FHeight)
                return false;
            if (Transparent(CX, CY))
                return HasBk && (Bk & 0xFFFFFF) != 0xFFFFFF;
            return (Pixel(CX, CY) & 0xFFFFFF) != 0xFFFFFF;
        };
        const QRgb Highlight = ColorToQRgb(clBtnHighlight) | 0xFF000000u;
        const QRgb Shadow = ColorToQRgb(clBtnShadow) | 0xFF000000u;
        EditCanvasPixels(Canvas, Bounds(X, Y, FWidth + 1, FHeight + 1), [&](QImage& P, TPoint O) {
            for (int PY = 0; PY < P.height(); ++PY) {
                auto* Row = reinterpret_cast<QRgb*>(P.scanLine(PY));
                for (int PX = 0; PX < P.width(); ++PX) {
                    const int CX = PX + O.X, CY = PY + O.Y;
                    if (Painted(CX, CY))
                        Row[PX] = Shadow;
                    else if (Painted(CX - 1, CY - 1))
                        Row[PX] = Highlight;
                }
            }
        });
        return;
    }

    const int Blend = ADrawingStyle == dsFocus ? 1 : ADrawingStyle == dsSelected ? 2 : 0;
    const bool BlendWithCanvas = BlendColor == clNone;
    const QRgb BlendRgb = ColorToQRgb(BlendColor == clDefault ? clHighlight : BlendColor);
    const bool FillBk = HasBk && ADrawingStyle != dsTransparent;
    EditCanvasPixels(Canvas, Bounds(X, Y, FWidth, FHeight), [&](QImage& P, TPoint O) {
        for (int PY = 0; PY < P.height(); ++PY) {
            auto* Row = reinterpret_cast<QRgb*>(P.scanLine(PY));
            for (int PX = 0; PX < P.width(); ++PX) {
                const int CX = PX + O.X, CY = PY + O.Y;
                if (AImageType == itMask) {
                    Row[PX] = MaskBit(E.Mask, CX, CY) ? White : qRgb(0, 0, 0);
                    continue;
                }
                if (Transparent(CX, CY)) {
                    if (FillBk)
                        Row[PX] = Bk;
                    continue;
                }
                QRgb C = Pixel(CX, CY) | 0xFF000000u;
                if (Blend)
                    C = Mix(C, BlendWithCanvas ? Row[PX] : BlendRgb, Blend);
                Row[PX] = C;
            }
        }
    });
}

void TCustomImageList::RegisterChanges(TChangeLink* Value)
{
    if (!Value || std::find(FLinks.begin(), FLinks.end(), Value) != FLinks.end())
        return;
    if (Value->Sender() && Value->Sender() != this)
        Value->Sender()->UnRegisterChanges(Value);
    Value->SetSender(this);
    FLinks.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value)
{
    auto It = std::find(FLinks.begin(), FLinks.end(), Value);
    if (It == FLinks.end())
        return;
    FLinks.erase(It);
    Value->SetSender(nullptr);
}

void TCustomImageList::Assign(TPersistent* Source)
{
    if (auto* L = dynamic_cast<TCustomImageList*>(Source)) {
        if (L == this)
            return;
        FWidth = L->FWidth;
        FHeight = L->FHeight;
        FBkColor = L->FBkColor;
        FBlendColor = L->FBlendColor;
        FDrawingStyle = L->FDrawingStyle;
        FImageType = L->FImageType;
        FMasked = L->FMasked;
        FImages = L->FImages;
        FOverlays = L->FOverlays;
        Change();
        return;
    }
    TNonVisualComponent::Assign(Source);
}

void TCustomImageList::WriteData(TStream& Stream)
{
    const int N = Count();
    const int Cols = std::min(N, GridColumns), Rows = (N + GridColumns - 1) / GridColumns;
    QImage Grid(Cols * FWidth, Rows * FHeight, QImage::Format_RGB32);
    Grid.fill(qRgb(0, 0, 0));
    QImage Masks = NewMask(Grid.width(), Grid.height());
    for (int I = 0; I < N; ++I) {
        const int GX = (I % GridColumns) * FWidth, GY = (I / GridColumns) * FHeight;
        const TEntry& E = FImages[size_t(I)];
        for (int Y = 0; Y < FHeight; ++Y) {
            std::memcpy(Grid.scanLine(GY + Y) + size_t(GX) * 4, E.Image.constScanLine(Y), size_t(FWidth) * 4);
            for (int X = 0; X < FWidth; ++X)
                if (MaskBit(E.Mask, X, Y))
                    SetMaskBit(Masks, GX + X, GY + Y);
        }
    }
    Stream.WriteUInt32(static_cast<uint32_t>(N));
    Stream.WriteUInt32(static_cast<uint32_t>(FWidth));
    Stream.WriteUInt32(static_cast<uint32_t>(FHeight));
    Stream.WriteUInt32(1);
    TBmpImage B;
    B.Image = Grid;
    B.BitCount = 24;
    WriteBmp(Stream, B);
    TBmpImage M;
    M.Image = Masks;
    M.BitCount = 1;
    M.ColorTable = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    WriteBmp(Stream, M);
}

void TCustomImageList::ReadData(TStream& Stream)
{
    if (Stream.Size() - Stream.Position() < 16)
        BadData("the header is truncated");
    const uint32_t N = Stream.ReadUInt32(), W = Stream.ReadUInt32(), H = Stream.ReadUInt32(),
                   Flags = Stream.ReadUInt32();
    if (W < 1 || H < 1 || W > uint32_t(MaxBitmapSide) || H > uint32_t(MaxBitmapSide))
        BadData("the image size " + IntToStr(W) + " x " + IntToStr(H) + " is not valid");
    if (N == 0)
        BadData("it holds no image");
    const uint64_t Cols = std::min<uint64_t>(N, GridColumns), Rows = (uint64_t(N) + GridColumns - 1) / GridColumns;
    if (Cols * W > uint64_t(MaxBitmapSide) || Rows * H > uint64_t(MaxBitmapSide))
        BadData("a grid of " + IntToStr(N) + " images of " + IntToStr(W) + " x " + IntToStr(H) +
                " pixels exceeds the bitmap limits");
    const TBmpImage B = ReadBmp(Stream);
    if (uint64_t(B.Image.width()) != Cols * W || uint64_t(B.Image.height()) != Rows * H)
        BadData("the image grid is " + IntToStr(B.Image.width()) + " x " + IntToStr(B.Image.height()) +
                " pixels, " + IntToStr(Cols * W) + " x " + IntToStr(Rows * H) + " were expected");
    QImage Masks;
    if (Flags & 1) {
        const TBmpImage M = ReadBmp(Stream);
        if (M.Image.size() != B.Image.size())
            BadData("the mask grid does not have the size of the image grid");
        const QImage C = M.Image.convertToFormat(QImage::Format_RGB32);
        Masks = NewMask(C.width(), C.height());
        for (int Y = 0; Y < C.height(); ++Y)
            for (int X = 0; X < C.width(); ++X)
                if (qGray(C.pixel(X, Y)) >= 128)
                    SetMaskBit(Masks, X, Y);
    }
    const QImage Grid = B.Image.convertToFormat(QImage::Format_RGB32);
    std::vector<TEntry> Images;
    for (uint32_t I = 0; I < N; ++I) {
        const int GX = int(I % GridColumns) * int(W), GY = int(I / GridColumns) * int(H);
        TEntry E;
        E.Image = Grid.copy(GX, GY, int(W), int(H));
        E.Mask = NewMask(int(W), int(H));
        if (!Masks.isNull())
            for (int Y = 0; Y < int(H); ++Y)
                for (int X = 0; X < int(W); ++X)
                    if (MaskBit(Masks, GX + X, GY + Y))
                        SetMaskBit(E.Mask, X, Y);
        Images.push_back(std::move(E));
    }
    FWidth = int(W);
    FHeight = int(H);
    FImages = std::move(Images);
    Change();
}

void TCustomImageList::DefineProperties(TFiler* Filer)
{
    TNonVisualComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Bitmap", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, Count() > 0);
}

namespace {
// Form files create image lists by class name.
[[maybe_unused]] const bool ImageListRegistered = (RegisterClasses<TImageList>(), true);
}
