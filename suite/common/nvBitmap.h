// The suite's bitmap: a 24-bit, top-down pixel store that is addressed row by
// row for pixel arithmetic and drawn through a canvas over the same bytes, with
// the pixel effects, scaled (plain or bilinear), tiled and transparent drawing,
// and the region and dithering helpers built on it.
//
// Store layout. A pixel is three bytes: blue, green, red. Row y starts at
// Bits() + y * RowStride(); RowStride() = 3 * Width + RowGap() with
// RowGap() = Width mod 4, so rows are whole multiples of four bytes. The gap
// bytes carry no pixel and every effect skips them. Rows()[y] is the start of
// row y. The canvas (Canvas()) draws on a QImage of format BGR888 over these
// very bytes, so canvas drawing and pixel arithmetic change the same pixels.
//
// Effects work in place, row by row from the top and left to right. Effects
// that read neighbours read the store as it is at that moment, so pixels above
// and to the left have already been replaced when they are read; their results
// depend on that order. Effects and drawing announce nothing: the control that
// applies an effect repaints itself. Loading, SetSize and Assign announce one
// change through OnChange and the registered change links.
//
// Nothing here needs a window: the pixel arithmetic is plain memory work, and
// drawing goes through the platform's canvas on images.
#pragma once

#include <QImage>
#include <QRegion>

#include <array>
#include <cstdint>
#include <memory>

#include "Canvas.h"
#include "Pictures.h"
#include "nvChangeLink.h"

class TFiler;

// ---------------------------------------------------------------- pixels

// One pixel of the store, in store byte order.
struct TRGBTriple {
    uint8_t rgbtBlue = 0;
    uint8_t rgbtGreen = 0;
    uint8_t rgbtRed = 0;
    friend bool operator==(const TRGBTriple&, const TRGBTriple&) = default;
};
static_assert(sizeof(TRGBTriple) == 3, "a pixel of the store is three bytes");

// 255 above 255, 0 below 0, else the value.
constexpr uint8_t ClampByte(int Value)
{
    return static_cast<uint8_t>(Value > 255 ? 255 : Value < 0 ? 0 : Value);
}
constexpr TRGBTriple MakeTriple(uint8_t R, uint8_t G, uint8_t B)
{
    return TRGBTriple{B, G, R};
}
// The pixel of a colour (system colours resolved first).
TRGBTriple ColorToTriple(TColor Color);
// red + green * 256 + blue * 65536.
constexpr TColor TripleToColor(const TRGBTriple& Pixel)
{
    return MakeColor(uint32_t(Pixel.rgbtRed) | uint32_t(Pixel.rgbtGreen) << 8 | uint32_t(Pixel.rgbtBlue) << 16);
}

// ---------------------------------------------------------------- TnvBitmap

class TnvBitmap : public TGraphic {
    Q_OBJECT
    Q_PROPERTY(TColor TransparentColor READ TransparentColor WRITE SetTransparentColor STORED false)
    Q_PROPERTY(bool SmoothStretching READ SmoothStretching WRITE SetSmoothStretching STORED false)
    Q_PROPERTY(bool RespectPalette READ RespectPalette WRITE SetRespectPalette STORED false)
    Q_PROPERTY(bool UseHalftonePalette READ UseHalftonePalette WRITE SetUseHalftonePalette STORED false)
public:
    Q_INVOKABLE explicit TnvBitmap(QObject* Parent = nullptr);
    ~TnvBitmap() override;
    TnvBitmap(const TnvBitmap&) = delete;
    TnvBitmap& operator=(const TnvBitmap&) = delete;

    // ---- the framework's graphic operations
    bool Empty() const override { return !FBits; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value) override { SetDimensions(Value, FHeight); }
    void SetHeight(int Value) override { SetDimensions(FWidth, Value); }
    // Opaque, transparent (same size) or scaled (plain or bilinear) drawing.
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    // A BMP file, read through a framework bitmap: any depth the platform's
    // reader takes. Bad data raises EInvalidGraphic and keeps the old picture.
    void LoadFromStream(TStream& Stream) override;
    // A BMP file in the pixel format (and colour table) the picture was
    // loaded with; nothing for an empty bitmap.
    void SaveToStream(TStream& Stream) override;
    // Clipboard transfer goes through framework bitmaps; these do nothing.
    void LoadFromClipboardFormat(uint16_t AFormat, uintptr_t AData, uintptr_t APalette);
    void SaveToClipboardFormat(uint16_t& AFormat, uintptr_t& AData, uintptr_t& APalette);
    // A framework TBitmap, nil, another graphic (drawn) or a TnvBitmap (copied).
    // Anything else raises EConvertError.
    void Assign(TPersistent* Source) override;
    // Into a framework TBitmap (pixel format, colour table, transparency) or a
    // TnvBitmap (an exact copy); EConvertError for anything else. Public, so a
    // framework bitmap can be filled exactly (TBitmap::Assign draws graphics).
    void AssignTo(TPersistent* Dest) override;
    // Stored forms: the binary property "Data" holds a complete BMP file.
    void DefineProperties(TFiler* Filer) override;
    // Announces a change (OnChange, then every change link) unless
    // IgnoreChange is set.
    void Changed(TObject* Sender) override;

    // ---- the store
    uint8_t* Bits() const { return FBits; }
    int RowGap() const { return FRowGap; }
    int RowStride() const { return FRowStride; }
    // Bytes of the store: RowStride() * Height().
    int64_t ImageSize() const { return FImageSize; }
    // Row start addresses, Height() entries; null when empty.
    TRGBTriple* const* Rows() const { return FRows.empty() ? nullptr : FRows.data(); }
    TRGBTriple* Row(int Y) const { return FRows[static_cast<size_t>(Y)]; }
    // Draws into the store; without a store it has no drawing surface.
    TCanvas* Canvas() const { return FCanvas.get(); }
    // The store as a QImage (Format_BGR888) over the same bytes; null when
    // empty. Copies of it share the bytes until one side writes.
    const QImage& Image() const { return FImage; }

    // ---- settings
    // clNone: the top-left pixel is the transparent colour. A new colour
    // drops the cached mask.
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor Value);
    bool SmoothStretching() const { return FSmoothStretching; }
    void SetSmoothStretching(bool Value) { FSmoothStretching = Value; }
    // The format of the picture it was loaded from; the store is always 24-bit.
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }
    const std::array<TRGBQuad, 256>& ColorTable() const { return FColorTable; }
    // Entries of the source's colour table (0 .. 256).
    int ColorTableCount() const { return FColorTableCount; }
    bool HasColorTable() const { return FHasColorTable; }
    bool MoreColorsThanDisplay() const { return FMoreColorsThanDisplay; }
    bool RespectPalette() const { return FRespectPalette; }
    void SetRespectPalette(bool Value) { FRespectPalette = Value; }
    bool UseHalftonePalette() const { return FUseHalftonePalette; }
    void SetUseHalftonePalette(bool Value) { FUseHalftonePalette = Value; }
    bool IgnoreChange() const { return FIgnoreChange; }
    void SetIgnoreChange(bool Value) { FIgnoreChange = Value; }

    // ---- own virtual operations, in slot order
protected:
    // Palettes matter only on displays of 8 bits a pixel or fewer. The
    // platform's displays are true colour and its canvases have no palette,
    // so these select nothing.
    virtual void RestoreDrawPalette(TCanvas* ACanvas);
    virtual void SelectDrawPalette(TCanvas* ACanvas);

public:
    // Drops the store, the row table and the mask; announces nothing.
    virtual void FreeBitmap();

protected:
    // Builds the row table and the canvas's view of a new store, then
    // announces the change.
    virtual void InitBitmap();

public:
    // Sets each registered link's Sender to this bitmap and calls its Change.
    virtual void NotifyChanges();

protected:
    virtual void CreateDrawPalette();

public:
    // Links are not owned; a destroyed link drops out of the list.
    virtual void RegisterChanges(TnvChangeLink* Link);
    virtual void UnregisterChanges(TnvChangeLink* Link);
    // FreeBitmap.
    virtual void Clear();
    virtual void FreeMemoryImage();
    // A new white store (one change announced); a side of 0 or less leaves
    // the bitmap empty without announcing. Sizes beyond the platform's bitmap
    // limits raise EInvalidGraphicOperation and keep the old picture.
    void SetSize(int AWidth, int AHeight) override;
    // Any framework bitmap (any pixel format); remembers its pixel format
    // and colour table.
    virtual void LoadFromBitmap(TBitmap* Source);
    // The graphic drawn onto a framework bitmap of its size, then loaded.
    virtual void LoadFromGraphic(TGraphic* Graphic);
    virtual void AssignGraphic(TGraphic* Graphic);
    // A store of Size from 24-bit top-down rows in the store layout.
    // EInvalidGraphic when ByteCount is below RowStride x Height.
    virtual void LoadFromMemory(const uint8_t* Data, int64_t ByteCount, TSize Size);
    // Dest takes the remembered pixel format, the size, the colour table and
    // the pixels (opaque, whatever Transparent says).
    virtual void SaveToBitmap(TBitmap* Dest);
    // SetSize when the size differs (the pixels are lost).
    virtual void SetDimensions(int AWidth, int AHeight);
    // Scales the picture to the size (bilinear with SmoothStretching).
    virtual void StretchTo(int AWidth, int AHeight);
    // Becomes Source scaled to the size, as Assign and StretchTo would make
    // it, in this bitmap's own store when its size already fits (for copies
    // remade at every change, without allocating and clearing them again).
    void StretchFrom(const TnvBitmap& Source, int AWidth, int AHeight);
    // Keeps a copy of the pixels and releases the store.
    virtual void SaveToMemory();
    // Bilinear scaling into Rect.
    virtual void SmoothStretchDraw(TCanvas* ACanvas, const TRect& Rect);
    // Nearest-pixel scaling into Rect (rows and columns dropped or repeated).
    virtual void PlainStretchDraw(TCanvas* ACanvas, const TRect& Rect);
    // Tiles from the canvas origin at multiples of the size, shifted by
    // -Rect.Left, -Rect.Top, until Rect.Right and Rect.Bottom are covered.
    virtual void TileDraw(TCanvas* ACanvas, const TRect& Rect);
    // Draws at Rect's top-left corner, leaving the canvas alone where the
    // (cached) mask is black.
    virtual void TransparentDraw(TCanvas* ACanvas, const TRect& Rect);
    // Reloads the pixels SaveToMemory kept, and drops the copy.
    virtual void RestoreFromMemory();

    // ---- effects
    virtual void BlurStep(int Distance);
    virtual void Contrast(int Amount);
    virtual void Emboss();
    virtual void Flip(bool Horizontal);
    // BlurStep with the distances Amount, Amount - 1, ..., 1. Distances from
    // the larger side on sample only the corners; repeating those stops
    // once a pass changes nothing, so a huge Amount costs few passes.
    virtual void GaussianBlur(int Amount);
    virtual void GrayScale();
    virtual void Invert();
    virtual void Lightness(int Amount);
    virtual void MakeMask(const TRGBTriple& Key);
    virtual void ReplaceColor(const TRGBTriple& From, const TRGBTriple& To);
    virtual void AddRGB(int R, int G, int B);
    virtual void Colorize(int R, int G, int B);
    // Angle in degrees, clockwise on the screen; a negative centre coordinate
    // means the middle. EInvalidOperation for an angle that is not finite.
    virtual void Rotate(TPoint Center, long double Angle);
    virtual void Saturation(int Amount);
    virtual void Sharpen(int Amount);
    // Uses the runtime's shared generator (Random, RandSeed).
    virtual void Sponge(int Amount);
    virtual void Wave(int XDiv, int YDiv, int Ratio, bool Wrap);

    bool HasMemoryImage() const { return FMemoryImage && FMemoryImageCount > 0; }
    // The monochrome mask of the transparent colour (black where the key
    // colour is), built on first use and kept until the store is released;
    // null when empty.
    TBitmap* MaskBitmap();
    // Blends Blend into the picture by Amount / 256. Blend must have this
    // bitmap's size unless Stretch: then it is scaled into (0, 0, W - 1, H - 1)
    // of a white copy, leaving the last row and column white. A Transparent
    // blend bitmap leaves the pixels under its top-left colour alone.
    void AlphaBlend(TnvBitmap* Blend, uint8_t Amount, bool Stretch);

private:
    void AllocateStore(int AWidth, int AHeight);
    void CopyFromImage(const QImage& Source);
    void DrawOpaque(TCanvas* ACanvas, int X, int Y);
    void BilinearInto(TnvBitmap& Dest) const;
    void NearestInto(const TnvBitmap& Source);
    TRGBTriple TransparentKey() const;

    int FWidth = 0;
    int FHeight = 0;
    int FRowGap = 0;
    int FRowStride = 0;
    int64_t FImageSize = 0;
    uint8_t* FBits = nullptr;
    std::unique_ptr<uint8_t[]> FStore;
    QImage FImage;
    std::unique_ptr<TCanvas> FCanvas;
    std::vector<TRGBTriple*> FRows;

    TColor FTransparentColor = clNone;
    bool FSmoothStretching = false;
    TPixelFormat FPixelFormat = pf24bit;
    std::array<TRGBQuad, 256> FColorTable{};
    int FColorTableCount = 0;
    bool FHasColorTable = false;
    bool FMoreColorsThanDisplay = false;
    bool FRespectPalette = false;
    bool FUseHalftonePalette = false;
    bool FIgnoreChange = false;
    TnvChangeLinks FLinks;
    std::unique_ptr<TBitmap> FMask;

    std::unique_ptr<uint8_t[]> FMemoryImage;
    int64_t FMemoryImageCount = 0;
    TSize FMemoryImageSize;

    bool FDrawingToFramework = false;
    bool FPaletteHeld = false;
};

// The instruction sets the pixel loops may use: the best the processor
// offers (the default: AVX2, AVX-512 byte permutations), at most AVX2, or
// only the baseline of the build. Results are the same with every choice;
// the others exist to compare them and to exercise every loop on one machine.
enum class TnvBitmapKernels { Best, Avx2, Baseline };
void SetBitmapKernels(TnvBitmapKernels Kernels);

// ---------------------------------------------------------------- helpers over the bitmap

// The region of the bitmap's pixels whose colour value (TripleToColor)
// differs from TransparentColor, compared unresolved; -1 means the colour of
// the top-left pixel. Built from one-pixel-high runs, row by row. An empty
// QRegion (no region) for a missing or empty bitmap or when every pixel is
// transparent.
QRegion RegionFromBitmap(TnvBitmap* Bitmap, TColor TransparentColor);
// Paints every pixel of the bitmap outside the region with the bitmap's
// transparent colour (its top-left pixel's colour when TransparentColor is
// clNone).
void FillOutsideRegion(TnvBitmap* Bitmap, const QRegion& Region);
// Fills Rect with a two-colour checker aligned to the brush origin: Color1
// where x + y is even, Color2 where it is odd. With Color1 clNone only the
// Color2 pixels are painted. EInvalidOperation "Color2 cannot be clNone".
void DitherFill(TCanvas* Canvas, const TRect& Rect, TColor Color1, TColor Color2);
// Draws the bitmap at Rect's top-left corner (at most Rect's size), leaving
// out the pixels of TransparentColor (resolved; -1: the top-left pixel's).
void DrawBitmapTransparent(TCanvas* Canvas, const TRect& Rect, TnvBitmap* Bitmap, TColor TransparentColor);
