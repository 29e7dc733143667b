// Pictures: the graphic classes (bitmaps, icons, JPEG images), the picture
// that holds any of them, and the registry of graphic classes by file
// extension and class name.
//
// Every graphic loads from and saves to a stream in its file format, draws
// itself into a rectangle of a canvas and announces changes through
// OnChange. Bad picture data raises EInvalidGraphic (BmpCodec.h) with a
// message that says what is wrong and where; the graphic keeps the picture it
// had before.
//
// Stored forms: a TPicture stores itself as the binary property "Data":
//
//     byte     n: length of the graphic's class name (0 .. 255)
//     n bytes  the class name ("TBitmap", "TJPEGImage", "TIcon", ...)
//     rest     the graphic's stream as its SaveToStream writes it
//              (TBitmap: a BMP file, nothing for an empty bitmap; TJPEGImage:
//              the JPEG file; TIcon: the icon file)
//
// A picture without a graphic stores nothing. Reading a class name that is
// not registered as a graphic class raises EInvalidGraphic.
#pragma once

#include <QImage>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

#include "BmpCodec.h"
#include "Classes.h"
#include "Colors.h"
#include "Types.h"

class TCanvas;
class TStream;

namespace PictureTypes {
Q_NAMESPACE

// pfDevice is the screen's own 32-bit format (a bitmap made by SetSize);
// pfCustom describes formats outside the list and cannot be set.
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
Q_ENUM_NS(TPixelFormat)

// tmAuto: the transparent colour is the bottom-left pixel; tmFixed: the
// colour set through TransparentColor.
enum TTransparentMode { tmAuto, tmFixed };
Q_ENUM_NS(TTransparentMode)

enum TBitmapHandleType { bmDIB, bmDDB };
Q_ENUM_NS(TBitmapHandleType)

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
Q_ENUM_NS(TJPEGScale)

enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
Q_ENUM_NS(TJPEGPerformance)

} // namespace PictureTypes
using namespace PictureTypes;

// A colour table entry as bitmaps store it.
struct TRGBQuad {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;
    friend bool operator==(const TRGBQuad&, const TRGBQuad&) = default;
};

// ---------------------------------------------------------------- TGraphic

class TGraphic : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE SetWidth STORED false)
    Q_PROPERTY(int Height READ Height WRITE SetHeight STORED false)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent STORED false)
    Q_PROPERTY(bool Empty READ Empty STORED false)
public:
    explicit TGraphic(QObject* Parent = nullptr);
    ~TGraphic() override;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Graphics without a size of their own raise EInvalidGraphicOperation.
    virtual void SetWidth(int Value);
    virtual void SetHeight(int Value);
    virtual void SetSize(int AWidth, int AHeight);
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    // Set by every change; SetModified(true) announces a change.
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    virtual void LoadFromStream(TStream& Stream) = 0;
    virtual void SaveToStream(TStream& Stream) = 0;
    // EFOpenError / EFCreateError for files that cannot be opened.
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName);

    // Draws the picture into Rect of the canvas (scaled when the sizes differ).
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;

    TNotifyEvent OnChange;

protected:
    // Marks the graphic modified and calls OnChange.
    virtual void Changed(TObject* Sender);
    // Sets Transparent without announcing a change.
    void SetTransparentQuietly(bool Value) { FTransparent = Value; }

private:
    bool FTransparent = false;
    bool FModified = false;
};

// ---------------------------------------------------------------- TBitmap

class TBitmapCanvas;

// A bitmap: an image in one of the pixel formats with a canvas that draws on
// it. The pixels are kept in the layout of the pixel format, so ScanLine
// gives the bytes as the platform lays them out:
//   pf1bit    1 bit a pixel, most significant bit first (QImage::Format_Mono)
//   pf4bit    4 bits a pixel, high nibble first
//   pf8bit    1 byte a pixel (Format_Indexed8)
//   pf15bit   16-bit little-endian x-5-5-5 (Format_RGB555)
//   pf16bit   16-bit little-endian 5-6-5 (Format_RGB16)
//   pf24bit   bytes blue, green, red (Format_BGR888)
//   pf32bit   bytes blue, green, red, alpha (Format_RGB32; Format_ARGB32
//             when loaded with alpha)
//   pfDevice  as pf32bit
// Row 0 is the top row. Indexed formats (1, 4, 8 bits) have a colour table.
// A pf4bit bitmap keeps its pixels one byte each internally; the packed rows
// that ScanLine hands out are written back before the bitmap's next operation,
// when Canvas() is asked for and before its canvas draws.
class TBitmap : public TGraphic {
    Q_OBJECT
    Q_PROPERTY(PictureTypes::TPixelFormat PixelFormat READ PixelFormat WRITE SetPixelFormat STORED false)
    Q_PROPERTY(TColor TransparentColor READ TransparentColor WRITE SetTransparentColor STORED false)
    Q_PROPERTY(PictureTypes::TTransparentMode TransparentMode READ TransparentMode WRITE SetTransparentMode STORED false)
    Q_PROPERTY(bool Monochrome READ Monochrome WRITE SetMonochrome STORED false)
public:
    Q_INVOKABLE explicit TBitmap(QObject* Parent = nullptr);
    ~TBitmap() override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    // Keeps the picture in the top-left corner; new pixels are white. A zero
    // side empties the bitmap. Sizes above 32768 a side or 256 Mi pixels raise
    // EInvalidGraphicOperation.
    void SetSize(int AWidth, int AHeight) override;

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // Converts the pixels: to fewer colours by the nearest colour of the new
    // colour table (pf1bit: black and white; pf4bit: the 16 standard colours;
    // pf8bit: the standard colours, a 6 x 6 x 6 colour cube and grey levels).
    void SetPixelFormat(TPixelFormat Value);
    TBitmapHandleType HandleType() const { return FPixelFormat == pfDevice ? bmDDB : bmDIB; }
    // bmDIB makes a pfDevice bitmap pf32bit, bmDDB makes any bitmap pfDevice.
    void SetHandleType(TBitmapHandleType Value);
    // pf1bit with a black and white colour table.
    bool Monochrome() const;
    // true: converts to black and white pf1bit; false: a monochrome bitmap
    // becomes pfDevice.
    void SetMonochrome(bool Value);

    // The colour table of an indexed bitmap (empty for the others).
    std::vector<TRGBQuad> ColorTable() const;
    // Replaces the colour table of an indexed bitmap (at most 2^bits entries);
    // the pixels keep their indices.
    void SetColorTable(const std::vector<TRGBQuad>& Table);

    // The canvas drawing on the bitmap (created on first use). Drawing on it
    // marks the bitmap changed.
    TCanvas* Canvas();
    // Bytes of a row in the pixel format's layout; raises EInvalidGraphic
    // "Scan line index out of range" for a row outside the bitmap.
    uint8_t* ScanLine(int Row);
    // Bytes from the start of one row to the next in the ScanLine layout.
    int BytesPerScanLine() const;

    TColor TransparentColor() const;
    // Sets the colour and tmFixed.
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    // Makes the bitmap its monochrome mask: white where the pixel has the
    // colour (system colours resolved), black elsewhere.
    void Mask(TColor TransparentColor);
    // Nothing to release here: the pixels live in memory only.
    void Dormant() {}
    void FreeImage() {}

    // The pixels (for drawing code of the platform). Image() is never touched
    // by drawing; SetImage takes a copy and derives the pixel format from the
    // image's format (Format_Mono: pf1bit, Indexed8: pf8bit, RGB555: pf15bit,
    // RGB16: pf16bit, BGR888/RGB888: pf24bit, 32-bit formats: pf32bit, others
    // are converted to pf32bit).
    const QImage& Image() const;
    void SetImage(const QImage& Image);
    // The pixels as 32-bit colours (Format_RGB32, or ARGB32 with alpha).
    QImage ToImage32() const;

    // Reads a BMP file; a stream with nothing left to read gives an empty
    // bitmap. Writes nothing for an empty bitmap, pfDevice as 24 bits.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    // Writes with the row order and compression given.
    void SaveToStream(TStream& Stream, const TBmpWriteOptions& Options);

    // Opaque: the pixels scaled to Rect (rows and columns dropped or repeated)
    // with the canvas's copy mode; a monochrome bitmap draws black and white.
    // Transparent: pixels of the transparent colour leave the canvas alone.
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

    // TBitmap, TGraphic (drawn onto a white pf24bit bitmap of its size; a
    // TJPEGImage gives its decoded bitmap), nil (empties).
    void Assign(TPersistent* Source) override;

    // Stored in forms as "Data" (a glyph's Glyph.Data): the byte count of the
    // BMP file (32 bits, little-endian), then the BMP file; an empty bitmap
    // is not stored.
    void DefineProperties(TFiler* Filer) override;

private:
    friend class TBitmapCanvas;
    void TakeImage(QImage Image, TPixelFormat Format);
    void ImageReplaced();
    void Flush() const;     // writes back packed pf4bit rows handed out
    void Invalidate() const; // the packed copy no longer matches the pixels
    void CanvasChanging();
    void CanvasChanged();

    mutable QImage FImage;
    TPixelFormat FPixelFormat = pfDevice;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::unique_ptr<TBitmapCanvas> FCanvas;
    mutable std::vector<uint8_t> FPacked;
    mutable bool FPackedValid = false;
    mutable bool FPackedOut = false;
};

// ---------------------------------------------------------------- TIcon

// An icon file: one or more images, each with a colour image and an AND mask
// (1 = transparent). Width and Height are those of the current image: the one
// of 32 x 32 pixels when there is one (else the largest), with the most
// colours. Read: colour images of 1, 4, 8, 16, 24 and 32 bits (32 bits with
// alpha) and PNG images. Written: every image as a packed image with its mask.
class TIcon : public TGraphic {
    Q_OBJECT
public:
    struct TImage {
        QImage Color;   // as TBmpImage holds it (Indexed8 with a colour table, ...)
        int BitCount = 32;
        std::vector<QRgb> ColorTable;
        QImage Mask;    // Format_Mono, bit 1 = transparent
    };

    Q_INVOKABLE explicit TIcon(QObject* Parent = nullptr);
    ~TIcon() override;

    bool Empty() const override { return FImages.empty(); }
    int Width() const override;
    int Height() const override;

    int ImageCount() const { return static_cast<int>(FImages.size()); }
    const TImage& Images(int Index) const;
    int CurrentImage() const { return FCurrent; }
    // Adds an image. Color: any format; BitCount the depth it is stored with
    // (1, 4, 8: Color is reduced to a colour table of that size unless it is
    // indexed already; 24, 32). Mask: Format_Mono with 1 = transparent; a
    // null mask derives it from the alpha channel (alpha < 128 transparent).
    void AddImage(const QImage& Color, int BitCount, const QImage& Mask = QImage());
    void Clear();
    // The current image as 32-bit colours with alpha (mask applied).
    QImage ToImage32() const;
    QImage ToImage32(int Index) const;

    // Raises EInvalidGraphic "Icon image is not valid: ..." for bad data.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    // Draws the current image at its own size at Rect's top-left corner.
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    // Draws the current image scaled to Rect.
    void StretchDrawIcon(TCanvas* ACanvas, const TRect& Rect);

    void Assign(TPersistent* Source) override;

private:
    void ChooseCurrent();
    std::vector<TImage> FImages;
    int FCurrent = -1;
};

// ---------------------------------------------------------------- TJPEGImage

// A JPEG picture: the compressed data, decoded to a pf24bit bitmap (pf8bit
// grey with Grayscale) when it is drawn or asked for. Width and Height are the
// decoded size under Scale. Loading decodes at once, so bad data raises
// EInvalidGraphic while the old picture is still there.
class TJPEGImage : public TGraphic {
    Q_OBJECT
    Q_PROPERTY(int CompressionQuality READ CompressionQuality WRITE SetCompressionQuality)
    Q_PROPERTY(bool Grayscale READ Grayscale WRITE SetGrayscale)
    Q_PROPERTY(bool ProgressiveEncoding READ ProgressiveEncoding WRITE SetProgressiveEncoding)
    Q_PROPERTY(PictureTypes::TJPEGScale Scale READ Scale WRITE SetScale)
    Q_PROPERTY(PictureTypes::TJPEGPerformance Performance READ Performance WRITE SetPerformance)
public:
    Q_INVOKABLE explicit TJPEGImage(QObject* Parent = nullptr);
    ~TJPEGImage() override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;

    // 1 .. 100 (default 90); used by the next compression.
    int CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int Value);
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool Value);
    bool ProgressiveEncoding() const { return FProgressive; }
    void SetProgressiveEncoding(bool Value);
    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale Value);
    TJPEGPerformance Performance() const { return FPerformance; }
    void SetPerformance(TJPEGPerformance Value);

    // The compressed data (compressing the bitmap first when needed).
    const std::vector<uint8_t>& Data();
    // Compresses the bitmap with the current settings.
    void Compress();
    void JPEGNeeded();
    void DIBNeeded();
    // The decoded picture (decoding first when needed); owned by the image.
    TBitmap* Bitmap();

    void LoadFromStream(TStream& Stream) override; // the rest of the stream
    void SaveToStream(TStream& Stream) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    // TJPEGImage (data and settings), TBitmap (compressed on demand), nil.
    void Assign(TPersistent* Source) override;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void FreeBitmap();
    std::unique_ptr<TBitmap> Decode(const std::vector<uint8_t>& Data) const;
    std::vector<uint8_t> FData;
    std::unique_ptr<TBitmap> FBitmap;
    int FQuality = 90;
    bool FGrayscale = false;
    bool FProgressive = false;
    TJPEGScale FScale = jsFullSize;
    TJPEGPerformance FPerformance = jpBestQuality;
};

// ---------------------------------------------------------------- TPicture

class TPicture : public QObject, public TPersistent {
    Q_OBJECT
public:
    explicit TPicture(QObject* Parent = nullptr);
    ~TPicture() override;

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Holds a copy of Value (a new graphic of its class assigned from it);
    // null removes the graphic.
    void SetGraphic(TGraphic* Value);
    // The graphic as a bitmap: a graphic of another class (or none) is
    // replaced by a new empty bitmap first.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
    TIcon* Icon();
    void SetIcon(TIcon* Value) { SetGraphic(Value); }

    int Width() const;
    int Height() const;

    // By the file's extension (registered graphic classes); EInvalidGraphic
    // "Unknown picture file extension (.xyz)" otherwise. The old graphic stays
    // when loading fails.
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName);
    // By the data's signature: BMP, JPEG or icon.
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream);

    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;
    TPersistent* GetOwner() override { return FOwner; }
    void SetOwner(TPersistent* Owner) { FOwner = Owner; }

    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* Dest) override;
    virtual void Changed(TObject* Sender);

private:
    void Take(std::unique_ptr<TGraphic> Graphic);
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream);
    std::unique_ptr<TGraphic> FGraphic;
    TPersistent* FOwner = nullptr;
};

// ---------------------------------------------------------------- drawing helpers

// Changes the pixels of Rect on a canvas through a 32-bit copy: the part of
// Rect the canvas can draw on is copied into Pixels (Format_RGB32), Edit
// changes it (Origin: where Pixels' top-left pixel lies relative to Rect's
// top-left corner) and the result is copied back. Clipping, the viewport and
// monochrome or other target formats follow the canvas's transfer rules.
void EditCanvasPixels(TCanvas* Canvas, const TRect& Rect, const std::function<void(QImage& Pixels, TPoint Origin)>& Edit);
// Draws a 32-bit image scaled into Rect (nearest pixel; a reversed rectangle
// mirrors), blending by its alpha: alpha 0 leaves the canvas alone.
void DrawImage32(TCanvas* Canvas, TRect Rect, QImage Image);
// The canvas of the picture's bitmap, as picture controls give it: an empty
// picture first becomes a blank bitmap of Width x Height; a picture of
// another graphic class raises EInvalidOperation.
TCanvas* PictureBitmapCanvas(TPicture* Picture, int Width, int Height);

// ---------------------------------------------------------------- registry

// Registers a graphic class for a file extension (without the dot,
// case-insensitive; a second registration of an extension replaces the
// first). The built-in classes are registered from the start: bmp (TBitmap,
// "Bitmaps"), ico (TIcon, "Icons"), jpg and jpeg (TJPEGImage, "JPEG Image
// File").
void RegisterGraphicClass(const String& Extension, const String& Description, const TMetaClass* Class);
void UnregisterGraphicClass(const TMetaClass* Class);
// The class registered for an extension ("bmp" or ".bmp"), or null.
const TMetaClass* GraphicClassOfExtension(const String& Extension);
// A registered graphic class by class name (case-insensitive), or null.
const TMetaClass* FindGraphicClass(const String& ClassName);
// An open-dialog filter of the classes derived from Base (all when null):
// "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico".
String GraphicFilter(const TMetaClass* Base = nullptr);
// A new graphic of a registered class (raises EInvalidGraphic when the class
// is not a graphic class).
std::unique_ptr<TGraphic> NewGraphic(const TMetaClass* Class);
