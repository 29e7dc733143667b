// Image lists: a row of images of one size, each with a mask, drawn by index.
//
// Drawing an image at (X, Y) with Draw:
//   - a pixel whose mask bit is set (when Masked) is transparent: it leaves
//     the canvas alone, or takes BkColor when BkColor is not clNone and the
//     style is not dsTransparent; every other pixel takes the image's colour;
//   - dsFocus and dsSelected blend the image's pixels (not the transparent
//     ones) with the blend colour: 25% and 50%, per channel
//     (c x (4 - k) + b x k) div 4 with k = 1 or 2. BlendColor clNone blends
//     with the canvas pixel underneath, clDefault is clHighlight;
//   - ImageType itMask draws the mask: white where transparent, black
//     elsewhere;
//   - disabled (Enabled false): the embossed look. The image is first drawn
//     normally on white (transparent pixels white, or BkColor when that is
//     not clNone); every pixel that does not come out white is painted
//     clBtnHighlight one pixel down and to the right, then clBtnShadow at its
//     own place.
//
// Stored forms: the binary property "Bitmap" holds, little-endian,
//     uint32 count, uint32 width, uint32 height, uint32 flags (bit 0: masks)
//     a 24-bit BMP file of the images in a grid of min(count, 4) columns and
//       ceil(count / 4) rows, image i at column i mod 4, row i div 4
//     when flag bit 0 is set, a 1-bit BMP file of the masks in the same grid
//       (1 = transparent)
// An empty list stores nothing.
#pragma once

#include <QImage>

#include <vector>

#include "Classes.h"
#include "Colors.h"
#include "Types.h"

class TCanvas;
class TBitmap;
class TStream;

namespace ImageListTypes {
Q_NAMESPACE
enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
Q_ENUM_NS(TDrawingStyle)
enum TImageType { itImage, itMask };
Q_ENUM_NS(TImageType)
} // namespace ImageListTypes
using namespace ImageListTypes;

class TCustomImageList;

// A watcher's registration with an image list: OnChange is called (with
// Sender the list) after each change of the list.
class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    TCustomImageList* Sender() const { return FSender; }
    void SetSender(TCustomImageList* Value) { FSender = Value; }
    void Change();

    TNotifyEvent OnChange;

private:
    TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TNonVisualComponent {
    Q_OBJECT
public:
    explicit TCustomImageList(TComponent* AOwner = nullptr);
    ~TCustomImageList() override;
    // A list of images of the given size.
    static TCustomImageList* CreateSize(int AWidth, int AHeight, TComponent* AOwner = nullptr);

    int Width() const { return FWidth; }
    // Changing the size removes every image. Sizes are 1 .. 32768.
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value);
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value);
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value);
    // Without masks every pixel draws (the images keep their masks).
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);

    int Count() const { return static_cast<int>(FImages.size()); }

    // Adds the images of a bitmap cut into cells of Width from the left (as
    // many as fit; the rows below Height are ignored, missing rows are
    // transparent black). Mask: a bitmap of the same layout whose white
    // pixels are transparent (null: no transparent pixel). Returns the index
    // of the first image added. Raises EInvalidOperation "Invalid image size"
    // for an empty bitmap or one narrower than Width.
    int Add(TBitmap* Image, TBitmap* Mask);
    // As Add, with the pixels of MaskColor transparent (clDefault: the
    // bitmap's transparent colour); those pixels become black in the images.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    // Adds one image from 32-bit pixels: alpha below 128 is transparent.
    int AddImage32(const QImage& Image);
    // Replaces image Index with the first cell of the bitmap.
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
    // Index -1 removes every image.
    void Delete(int Index);
    void Clear();
    void Move(int CurIndex, int NewIndex);

    // The image drawn in the normal style onto a white bitmap (BkColor where
    // transparent, unless clNone) of the list's size; false for a bad index.
    bool GetBitmap(int Index, TBitmap* Image);
    // The pixels (Format_RGB32) and the mask (Format_Mono, 1 = transparent).
    QImage ImageAt(int Index) const;
    QImage MaskAt(int Index) const;

    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
              bool Enabled = true);

    // As Draw in dsFocus or dsSelected, blending with BlendColor instead of
    // the list's own (clNone: no blending).
    void DrawBlended(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TColor BlendColor);

    // Overlay images: overlay number Overlay (0 .. 14) stands for image
    // ImageIndex of the list (-1 takes it away). OverlayImage is -1 for an
    // overlay that was not set or an index outside 0 .. 14.
    void Overlay(int ImageIndex, int Overlay);
    int OverlayImage(int Overlay) const;

    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);

    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    struct TEntry {
        QImage Image; // Format_RGB32
        QImage Mask;  // Format_Mono, 1 = transparent
    };
    void CheckIndex(int Index) const;
    std::vector<TEntry> Cut(TBitmap* Image, TBitmap* Mask, int MaxCount) const;
    std::vector<TEntry> CutMasked(TBitmap* Image, TColor MaskColor, int MaxCount) const;
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream);
    void DrawImage(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
                   bool Enabled, TColor Blend);

    std::vector<TEntry> FImages;
    std::vector<TChangeLink*> FLinks;
    std::vector<int> FOverlays;
    int FWidth = 16;
    int FHeight = 16;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    bool FMasked = true;
};

// The published image list.
class TImageList : public TCustomImageList {
    Q_OBJECT
    Q_PROPERTY(TColor BlendColor READ BlendColor WRITE SetBlendColor)
    Q_PROPERTY(TColor BkColor READ BkColor WRITE SetBkColor)
    Q_PROPERTY(ImageListTypes::TDrawingStyle DrawingStyle READ DrawingStyle WRITE SetDrawingStyle)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(ImageListTypes::TImageType ImageType READ ImageType WRITE SetImageType)
    Q_PROPERTY(bool Masked READ Masked WRITE SetMasked)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
    explicit TImageList(TComponent* AOwner = nullptr) : TCustomImageList(AOwner) {}
};
