// The text-effects renderer: a caption drawn with a style (plain, lowered,
// raised, outlined), a drop shadow, an extrusion (a stack of coloured copies
// that makes the text look like a block), rotation to any angle, alignment,
// word wrap, accelerators, ellipsis, full justification and a colouring of
// its own for the disabled look.
//
// TnvText is not a control. Its owner (a button, a label, a status panel)
// creates one with three callbacks, its font and its canvas, and before each
// use gives it the canvas, the text and the bounding rectangle; then it calls
// Draw or CalcRect. TnvCaptionText is the same object with its settings
// published, as owners store it ("TextOptions").
//
// Geometry (all integers): a = Rotation in radians; RoundDown(x) is x - 0.4999
// rounded to the nearest integer (halves to even); div truncates toward zero.
#pragma once

#include <QImage>
#include <QObject>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "Canvas.h"
#include "Classes.h"
#include "Colors.h"
#include "DB.h"
#include "Graphics.h"
#include "Types.h"

#include "nvCommon.h"

// ---------------------------------------------------------------- enumerations

namespace nvTextTypes {
Q_NAMESPACE

// The side of the text on which the extrusion lies.
enum TnvOrientation { nvTopLeft, nvTopRight, nvBottomLeft, nvBottomRight, nvTop, nvRight, nvLeft, nvBottom };
Q_ENUM_NS(TnvOrientation)

enum TnvTextStyle { nvlsDefault, nvlsLowered, nvlsRaised, nvlsOutline };
Q_ENUM_NS(TnvTextStyle)

enum TnvTextOption { toShowAccel = 1, toShowEllipsis = 2, toFullJustify = 4 };
Q_DECLARE_FLAGS(TnvTextOptions, TnvTextOption)
Q_FLAG_NS(TnvTextOptions)

} // namespace nvTextTypes
using namespace nvTextTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(nvTextTypes::TnvTextOptions)

// ---------------------------------------------------------------- geometry helpers

// The step (vx, vy) from the far end of the extrusion toward the text:
// nvTopLeft (1, 1), nvTopRight (-1, 1), nvBottomLeft (1, -1), nvBottomRight
// (-1, -1), nvTop (0, 1), nvRight (-1, 0), nvLeft (1, 0), nvBottom (0, -1).
// The outline style uses the same eight vectors, in this order.
TPoint OrientationVector(TnvOrientation Orientation);
// x - 0.4999 rounded to the nearest integer, halves to even.
int nvRoundDown(double X);
// A negative angle v becomes 360 - (|v| mod 360), any other v mod 360
// (so -90 gives 270, 720 gives 0 and -360 gives 360).
int NormalizeRotation(int Degrees);
// The colour of extrusion layer Layer (1 .. Depth, Depth the one at the text)
// between FarColor and NearColor (system colours resolved). Smooth: per
// channel RoundDown(f + (n - f) / (Depth / Layer)) in floating point.
// Striated: (Layer * ((n - f) div Depth + f)) div k, k = 1 for odd layers and
// 4 for even ones, low 8 bits of each channel. Depth 0 gives NearColor.
TColor ExtrudeLayerColor(TColor NearColor, TColor FarColor, int Depth, int Layer, bool Striated);

// ---------------------------------------------------------------- logical font

// The description of a platform font, as the renderer builds it (GetLogFont).
struct TnvLogFont {
    int lfHeight = 0;
    int lfWidth = 0;
    int lfEscapement = 0;  // tenths of a degree
    int lfOrientation = 0; // tenths of a degree
    int lfWeight = 400;
    bool lfItalic = false;
    bool lfUnderline = false;
    bool lfStrikeOut = false;
    int lfCharSet = ANSI_CHARSET;
    int lfOutPrecision = 0;
    int lfClipPrecision = 0;
    int lfQuality = 0;
    int lfPitchAndFamily = 0;
    String lfFaceName;
};

// Output precisions of TnvLogFont.
enum : int { OUT_TT_PRECIS = 4, OUT_TT_ONLY_PRECIS = 7 };

// Makes a font of the description: height, face, weight (700 and above is
// bold), italic, underline, strike-out, character set and the escapement as
// its rotation.
void LogFontToFont(const TnvLogFont& LogFont, TFont* Font);

class TnvText;

// ---------------------------------------------------------------- effects

// The drop shadow. Owned by its text object.
class TnvShadowEffects : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int XOffset READ XOffset WRITE SetXOffset)
    Q_PROPERTY(int YOffset READ YOffset WRITE SetYOffset)
public:
    explicit TnvShadowEffects(TnvText* Owner);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int XOffset() const { return FXOffset; }
    void SetXOffset(int Value);
    int YOffset() const { return FYOffset; }
    void SetYOffset(int Value);

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    TnvText* FOwner;
    TColor FColor = clBtnShadow;
    bool FEnabled = false;
    int FXOffset = 10;
    int FYOffset = 10;
};

// The extrusion: Depth copies of the text, stepping from the far end toward
// the text, coloured from FarColor to NearColor. Owned by its text object.
class TnvExtrudeEffects : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Depth READ Depth WRITE SetDepth)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TColor FarColor READ FarColor WRITE SetFarColor)
    Q_PROPERTY(TColor NearColor READ NearColor WRITE SetNearColor)
    Q_PROPERTY(nvTextTypes::TnvOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(bool Striated READ Striated WRITE SetStriated)
public:
    explicit TnvExtrudeEffects(TnvText* Owner);

    // Negative depths count as 0.
    int Depth() const { return FDepth; }
    void SetDepth(int Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TColor FarColor() const { return FFarColor; }
    void SetFarColor(TColor Value);
    TColor NearColor() const { return FNearColor; }
    void SetNearColor(TColor Value);
    TnvOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TnvOrientation Value);
    bool Striated() const { return FStriated; }
    void SetStriated(bool Value);

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    TnvText* FOwner;
    int FDepth = 10;
    bool FEnabled = false;
    TColor FFarColor = clBlack;
    TColor FNearColor = clBlack;
    TnvOrientation FOrientation = nvBottomRight;
    bool FStriated = false;
};

// The colours of the disabled look. Owned by its text object.
class TnvDisabledColors : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TColor HighlightColor READ HighlightColor WRITE SetHighlightColor)
    Q_PROPERTY(TColor ShadeColor READ ShadeColor WRITE SetShadeColor)
public:
    explicit TnvDisabledColors(TnvText* Owner);

    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);
    TColor ShadeColor() const { return FShadeColor; }
    void SetShadeColor(TColor Value);

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    TnvText* FOwner;
    TColor FHighlightColor = clBtnHighlight;
    TColor FShadeColor = clBtnShadow;
};

// ---------------------------------------------------------------- text object

// What the owner does for its text object.
struct TnvTextCallbacks {
    std::function<void()> Invalidate;  // the owner must repaint
    std::function<void()> SizeChanged; // a setting that changes the extent changed
    std::function<bool()> IsEnabled;   // enabled or disabled look (enabled when unset)
};

class TnvText : public QObject, public TPersistent {
    Q_OBJECT
public:
    // Font and Canvas belong to the owner (either may be null until used);
    // Parent is the owning object (its name path prefixes the text's).
    TnvText(const TnvTextCallbacks& Callbacks, TFont* OwnerFont, TCanvas* OwnerCanvas, QObject* Parent = nullptr);
    ~TnvText() override;

    // ---- set by the owner before each use
    const String& Text() const { return FText; }
    // Stores the text when it differs; notifies nobody.
    void SetText(const String& Value);
    const TRect& Rect() const { return FRect; }
    void SetRect(const TRect& Value) { FRect = Value; }
    TCanvas* Canvas() const { return FCanvas; }
    void SetCanvas(TCanvas* Value) { FCanvas = Value; }
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont = Value; }
    void SetCallbacks(const TnvTextCallbacks& Value) { FCallbacks = Value; }

    // ---- settings (published by TnvCaptionText)
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TnvVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TnvVAlignment Value);
    TnvDisabledColors* DisabledColors() const { return FDisabledColors.get(); }
    void SetDisabledColors(TnvDisabledColors* Value) { FDisabledColors->Assign(Value); }
    TnvExtrudeEffects* ExtrudeEffects() const { return FExtrudeEffects.get(); }
    void SetExtrudeEffects(TnvExtrudeEffects* Value) { FExtrudeEffects->Assign(Value); }
    TnvShadowEffects* Shadow() const { return FShadow.get(); }
    void SetShadow(TnvShadowEffects* Value) { FShadow->Assign(Value); }
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);
    TColor ShadeColor() const { return FShadeColor; }
    void SetShadeColor(TColor Value);
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor Value);
    int LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(int Value);
    TnvTextOptions Options() const { return FOptions; }
    void SetOptions(TnvTextOptions Value);
    // Degrees, normalised on assignment (NormalizeRotation).
    int Rotation() const { return FRotation; }
    void SetRotation(int Value);
    TnvTextStyle Style() const { return FStyle; }
    void SetStyle(TnvTextStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }

    // ---- state
    // The platform text-drawing flags: DT_NOCLIP, plus DT_NOPREFIX without
    // toShowAccel, DT_END_ELLIPSIS with toShowEllipsis, DT_WORDBREAK with
    // WordWrap; Draw adds DT_CENTER or DT_RIGHT by the alignment.
    unsigned DrawFlags() const { return FDrawFlags; }
    // The text's drawing origin computed by the latest PrepareFont (moved by
    // the extrusion while it draws).
    const TRect& TextRect() const { return FTextRect; }
    bool IsEnabled() const;

    // Effective shadow offset (sx, sy): the offsets when the shadow is
    // enabled, each kept under an enabled extrusion only when it is not 0 and
    // has the sign of the extrusion vector's component.
    TPoint ShadowOffset() const;
    // (Depth, Depth) when the extrusion is enabled, else (0, 0).
    TPoint ExtrudeExtent() const;
    // (Depth x |vx|, Depth x |vy|) when enabled, else (0, 0).
    TPoint OrientedExtrudeExtent() const;
    // The extrusion's step vector (OrientationVector of its orientation).
    TPoint ExtrudeVector() const;

    // ---- operations
    // The scratch canvas while double buffering, otherwise the owner's.
    virtual TCanvas* GetCanvas();
    virtual TnvLogFont GetLogFont();
    // Size of the (unrotated) text measured with the canvas's current font.
    virtual TSize CalcTextSize();
    // The rotated, decorated text's bounding size; unless Clip, limited to
    // Rect's size.
    virtual void CalcExtent(bool Clip, TSize& Size);
    // Origin and extent of the text centred in Rect.
    virtual void CalcTextRect(bool Clip, TRect& R);
    // The text once at TextRect moved by (-vx, -vy) in HighlightColor and once
    // at TextRect in the font colour (within a drawing style).
    virtual void DrawAlongExtrusion();
    // The eight copies at TextRect moved by the orientation vectors, in Color.
    virtual void DrawOutline(TColor Color);
    virtual void DrawShadow();
    // The text's lines at R's top-left corner in the canvas's font colour.
    virtual void DrawTextLines(TRect R);
    // The text rectangle measured with the effect font in place.
    virtual void CalcRect(bool Clip, TRect& R);
    // Setting notification: SizeChanged (when SizeChange) and Invalidate.
    virtual void Changed(bool SizeChange = true);
    // Draws the text with all its effects into Rect on the canvas.
    virtual void Draw();
    virtual void DrawDefault();
    virtual void DrawOutlined();
    virtual void DrawEmbossed(bool Raised);
    // Makes the effect font the canvas's font (the previous font returns
    // when the drawing style ends) and computes TextRect.
    virtual void PrepareFont();
    // Ends a PrepareFont: the canvas gets its previous font back. Every
    // drawing style pairs the two, also when drawing fails.
    void ReleaseFont();
    // Copies style, name, size, colour, height, pitch and character set into
    // the owner font.
    virtual void AssignFont(TFont* AFont);
    // The extrusion layers (nothing when the extrusion is disabled); leaves
    // TextRect on the last layer.
    void DrawExtrusion();

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

    // Invalidate callback only (colour settings).
    void DoInvalidate();
    // SizeChanged callback only.
    void DoSizeChanged();

protected:
    void UpdateDrawFlags();
    // The text that is measured: without the accelerator marks under toShowAccel.
    String MeasuredText() const;
    // Draws the lines at TextRect moved by (DX, DY) in Color; nothing for clNone.
    void DrawLinesAt(int DX, int DY, TColor Color);
    void SetCanvasFontColor(TColor Color);
    // The advance of D pixels along the line direction of rotated text.
    TPoint LineAdvance(int D) const;
    void DrawJustifiedLines(TCanvas* C, TRect R);

    TnvTextCallbacks FCallbacks;
    TFont* FFont = nullptr;
    TCanvas* FCanvas = nullptr;
    // The scratch picture of one double-buffered Draw.
    std::unique_ptr<QImage> FScratchImage;
    std::unique_ptr<TCanvas> FScratchCanvas;
    String FText;
    TRect FRect;
    TRect FTextRect;
    unsigned FDrawFlags = DT_NOCLIP;
    // The canvas font saved by the outermost PrepareFont, restored by the
    // matching ReleaseFont.
    std::unique_ptr<TFont> FSavedFont;
    TCanvas* FSavedFontCanvas = nullptr;
    int FPrepareLevel = 0;
    // The lines of the text with their advances, measured once per drawing
    // style (every layer of an extrusion draws the same lines in the same
    // font and width).
    struct TLineCache {
        bool Valid = false;
        String Text;
        unsigned Flags = 0;
        int Width = 0;
        std::vector<std::pair<String, int>> Lines; // line, height + LineSpacing
    };
    TLineCache FLineCache;

    TAlignment FAlignment = taLeftJustify;
    TnvVAlignment FVAlignment = vaTop;
    std::unique_ptr<TnvDisabledColors> FDisabledColors;
    std::unique_ptr<TnvExtrudeEffects> FExtrudeEffects;
    std::unique_ptr<TnvShadowEffects> FShadow;
    TColor FHighlightColor = clBtnHighlight;
    TColor FShadeColor = clBtnShadow;
    TColor FOutlineColor = clBlack;
    int FLineSpacing = 5;
    TnvTextOptions FOptions = TnvTextOptions(toShowAccel);
    int FRotation = 0;
    TnvTextStyle FStyle = nvlsDefault;
    bool FWordWrap = false;
    bool FDoubleBuffered = false;
};

// The text object as owners publish it.
class TnvCaptionText : public TnvText {
    Q_OBJECT
    Q_PROPERTY(DBTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(nvCommonTypes::TnvVAlignment VAlignment READ VAlignment WRITE SetVAlignment)
    Q_PROPERTY(TnvDisabledColors* DisabledColors READ DisabledColors WRITE SetDisabledColors)
    Q_PROPERTY(TnvExtrudeEffects* ExtrudeEffects READ ExtrudeEffects WRITE SetExtrudeEffects)
    Q_PROPERTY(TnvShadowEffects* Shadow READ Shadow WRITE SetShadow)
    Q_PROPERTY(TColor HighlightColor READ HighlightColor WRITE SetHighlightColor)
    Q_PROPERTY(TColor ShadeColor READ ShadeColor WRITE SetShadeColor)
    Q_PROPERTY(TColor OutlineColor READ OutlineColor WRITE SetOutlineColor)
    Q_PROPERTY(int LineSpacing READ LineSpacing WRITE SetLineSpacing)
    Q_PROPERTY(nvTextTypes::TnvTextOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(int Rotation READ Rotation WRITE SetRotation)
    Q_PROPERTY(nvTextTypes::TnvTextStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool DoubleBuffered READ DoubleBuffered WRITE SetDoubleBuffered)
public:
    TnvCaptionText(const TnvTextCallbacks& Callbacks, TFont* OwnerFont, TCanvas* OwnerCanvas,
                   QObject* Parent = nullptr);
};
