// Graphic objects of the canvas: fonts, pens and brushes, the font name
// substitution table and font metrics.
//
// Fonts work at a fixed 96 pixels per inch. Height is in pixels: a negative
// Height -h asks for a character height (em size) of h pixels, a positive one
// for a cell height (ascent + descent) of Height pixels; Size is in points,
// Size = -Height * 72 / 96 rounded. Face names of the forms ("MS Sans Serif",
// "Arial", "Times New Roman", ...) are mapped to installed families through a
// substitution table. Symbol faces ("Wingdings", "Symbol", "Webdings",
// "Marlett") map to DejaVu Sans, which has many of their shapes at other code
// points: text in those faces is an approximation. Glyphs are drawn without
// antialiasing and without kerning, so measured widths are the sums of whole
// pixel advances and pictures are the same on every run.
//
// Every object announces its changes through OnChange (after the change);
// setting a value equal to the current one announces nothing.
#pragma once

#include <QFont>
#include <QImage>
#include <QObject>

#include "Classes.h"
#include "Colors.h"

namespace GraphicsTypes {
Q_NAMESPACE

enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_FLAG_NS(TFontStyles)

enum TFontPitch { fpDefault, fpVariable, fpFixed };
Q_ENUM_NS(TFontPitch)

// Dashes of width-1 pens on straight lines follow the platform's patterns (in
// pixels): dash 18 on 6 off, dot 3/3, dash-dot 9/6/3/6, dash-dot-dot 9/3/3/3/3/3; the gaps
// show the background colour in opaque background mode. Wider pens are solid.
// psInsideFrame keeps a wide outline inside the figure's rectangle.
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
Q_ENUM_NS(TPenStyle)

// How the pen (and the brush inside figures) combines with the destination,
// P the pen colour and D the destination, bit by bit.
enum TPenMode {
    pmBlack,       // 0
    pmWhite,       // 1
    pmNop,         // D
    pmNot,         // not D
    pmCopy,        // P
    pmNotCopy,     // not P
    pmMergePenNot, // P or not D
    pmMaskPenNot,  // P and not D
    pmMergeNotPen, // not P or D
    pmMaskNotPen,  // not P and D
    pmMerge,       // P or D
    pmNotMerge,    // not (P or D)
    pmMask,        // P and D
    pmNotMask,     // not (P and D)
    pmXor,         // P xor D
    pmNotXor       // not (P xor D)
};
Q_ENUM_NS(TPenMode)

// Hatches are 8 x 8 patterns aligned to the brush origin; their gaps show
// the background colour in opaque background mode.
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
Q_ENUM_NS(TBrushStyle)

} // namespace GraphicsTypes
using namespace GraphicsTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(GraphicsTypes::TFontStyles)

// Character sets, as fonts number them.
enum : int {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    OEM_CHARSET = 255,
};

// The ROP2 code (1 .. 16) of a pen mode: truth table (code - 1) with bit
// index 2 * P + D.
int PenModeToRop2(TPenMode Mode);

// ---------------------------------------------------------------- font substitution

// The installed family used for a face name: the substitution table first
// (case-insensitive), then the name itself when it is installed, else
// "Liberation Mono" for a fixed pitch and "Liberation Sans" otherwise.
QString MapFontName(const String& Name, TFontPitch Pitch = fpDefault);
// Adds or replaces an entry of the substitution table.
void AddFontSubstitute(const String& FaceName, const String& Family);
// The table entry for a face name, or "" when it has none.
String FontSubstitute(const String& FaceName);

// ---------------------------------------------------------------- metrics

constexpr int ScreenPixelsPerInch = 96;

// What a font measures, in pixels (the platform's text metrics).
struct TTextMetric {
    int tmHeight = 0;          // ascent + descent: the line height
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0; // tmHeight minus the character height
    int tmExternalLeading = 0; // extra space the font suggests between lines
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 400;
    bool tmItalic = false;
    bool tmUnderlined = false;
    bool tmStruckOut = false;
    bool tmFixedPitch = false; // true for a fixed-pitch font
    int tmCharSet = DEFAULT_CHARSET;
    // Not part of the platform's metrics: where the prefix underline goes,
    // in pixels below the baseline, and how thick it is.
    int tmUnderlinePos = 1;
    int tmUnderlineThickness = 1;
};

class TFont : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(String Name READ Name WRITE SetName)
    Q_PROPERTY(int Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(GraphicsTypes::TFontPitch Pitch READ Pitch WRITE SetPitch)
    Q_PROPERTY(int Size READ Size WRITE SetSize STORED false)
    Q_PROPERTY(GraphicsTypes::TFontStyles Style READ Style WRITE SetStyle)
public:
    Q_INVOKABLE explicit TFont(QObject* Parent = nullptr);
    ~TFont() override;

    int Charset() const { return FCharset; }
    void SetCharset(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // Pixels; negative = character height, positive = cell height. 0 is the
    // default height (-11).
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    const String& Name() const { return FName; }
    void SetName(const String& Value);
    // Angle of the baseline in tenths of a degree, counter-clockwise; text
    // turns around its origin. Kept in -3600 .. 3600.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    // Points: -Height * 72 / 96 rounded; setting it sets Height.
    int Size() const;
    void SetSize(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    int PixelsPerInch() const { return ScreenPixelsPerInch; }

    void Assign(TPersistent* Source) override;

    // The Qt font that draws this font (installed family, pixel size, style,
    // no antialiasing, no kerning). The rotation is not part of it.
    const QFont& QtFont() const;
    // The character height in pixels the Qt font uses.
    int PixelSize() const;
    const TTextMetric& Metrics() const;
    // Advance of each Latin-1 character in pixels (control characters 0).
    // Text is measured and laid out with these; the width of a text is the
    // sum of its characters' advances.
    const int* CharWidths() const;
    // Width of a text in this font (Latin-1), in pixels.
    int TextWidth(const String& Text) const;

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    void Invalidate();
    int FCharset = DEFAULT_CHARSET;
    TColor FColor = clWindowText;
    int FHeight = -11;
    String FName = "MS Sans Serif";
    int FOrientation = 0;
    TFontPitch FPitch = fpDefault;
    TFontStyles FStyle;
    mutable bool FValid = false;
    mutable QFont FQtFont;
    mutable int FPixelSize = 0;
    mutable TTextMetric FMetrics;
    mutable int FCharWidths[256] = {};
};

class TPen : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(GraphicsTypes::TPenMode Mode READ Mode WRITE SetMode)
    Q_PROPERTY(GraphicsTypes::TPenStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
    Q_INVOKABLE explicit TPen(QObject* Parent = nullptr);
    ~TPen() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    // Pixels; values below 1 draw as 1.
    int Width() const { return FWidth; }
    void SetWidth(int Value);

    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    TColor FColor = clBlack;
    TPenMode FMode = pmCopy;
    TPenStyle FStyle = psSolid;
    int FWidth = 1;
};

// A brush fills with its colour, a hatch of its colour, or a pattern image
// tiled from the canvas's brush origin. A pattern overrides the style except
// bsClear. A monochrome pattern (QImage::Format_Mono or Format_MonoLSB; see
// Canvas.h) takes the canvas's text colour for its black bits and the
// background colour for its white bits; a colour pattern shows its own pixels.
//
// As the framework's brush does: setting a colour on a clear brush makes it
// solid, and setting the style bsClear makes the colour clWhite.
class TBrush : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(GraphicsTypes::TBrushStyle Style READ Style WRITE SetStyle)
public:
    Q_INVOKABLE explicit TBrush(QObject* Parent = nullptr);
    ~TBrush() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

    // The pattern (a copy; QImage shares the pixels until one side changes).
    const QImage& Bitmap() const { return FBitmap; }
    bool HasBitmap() const { return !FBitmap.isNull(); }
    // A null image removes the pattern. Raises EInvalidOperation for an image
    // larger than 4096 pixels in either direction.
    void SetBitmap(const QImage& Pattern);

    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    QImage FBitmap;
};

// The 8 x 8 hatch of a brush style: bit 7 - x of row y is set where the hatch
// line is. All zero for bsSolid and bsClear.
const uint8_t* HatchPattern(TBrushStyle Style);
