// The canvas and the drawing functions, with the platform's drawing rules on
// top of QPainter and QImage.
//
// A TCanvas draws on a QImage it does not own (SetTarget). Controls paint into
// an off-screen image and copy it in one transfer; bitmaps own theirs. Any
// format QPainter can paint on works; formats other than the 32-bit ones are
// drawn through a 32-bit scratch copy of the touched area.
//
// Monochrome: a target of format QImage::Format_Mono or Format_MonoLSB is a
// monochrome bitmap. Its colour table decides which index is white (the
// lighter entry; index 1 without a table). Colours drawn on it become black
// or white, whichever is nearer. Transfers between a monochrome and a colour
// canvas follow the platform's rules: monochrome to colour turns black (0)
// into the destination's text colour and white (1) into its background
// colour; colour to monochrome makes the pixels equal to the source canvas's
// background colour white and all others black.
//
// Rules of drawing:
//   - no antialiasing;
//   - a rectangle (l, t, r, b) holds the pixels l .. r-1, t .. b-1;
//   - LineTo draws from the pen position to the end point and leaves the end
//     pixel out; Polyline likewise leaves out its last point;
//   - Rectangle(l, t, r, b) outlines with the pen inside l .. r-1, t .. b-1 and
//     fills the inside with the brush; without a pen (psClear) the brush fills
//     l .. r-2, t .. b-2. Ellipse, RoundRect, Arc, Pie and Chord fit the same
//     box. Polygon fills with the alternate (even-odd) rule;
//   - pen styles (dashes) apply to straight lines (LineTo, Polyline, Polygon,
//     Rectangle); the outlines of curved figures are solid, and those of Arc,
//     Pie and Chord one pixel wide whatever the pen width;
//   - FillRect and FrameRect use the brush; FrameRect draws a one-pixel frame;
//   - the pen mode (TPen::Mode) applies to lines and figures, not to text,
//     FillRect, FrameRect or the block transfers;
//   - text and the gaps of hatched brushes and dashed pens show the background
//     colour in opaque background mode and nothing in transparent mode;
//   - a rotated font (TFont::Orientation) draws text turned counter-clockwise
//     around the text origin.
//
// Device state. Like the platform's drawing context, the canvas keeps a text
// colour, a background colour and mode, a brush origin, a pen mode, a text
// alignment and a justification. Changing the font, pen or brush takes effect
// on the next operation that uses it: the font sets the text colour to its
// colour, the brush sets the background colour to its colour and the mode to
// opaque for a solid brush (transparent otherwise), the pen sets the pen mode.
// The free functions below (DrawText, BitBlt, ...) first bring every changed
// object into effect and then use the device state, so SetTextColor and
// SetBkColor called after that hold until the font or brush changes again.
//
// Coordinates are logical; device = logical + viewport origin. The clip region
// is kept in device coordinates.
#pragma once

#include <QImage>
#include <QObject>
#include <QRegion>

#include <mutex>
#include <span>
#include <vector>

#include "Classes.h"
#include "Colors.h"
#include "Graphics.h"
#include "Types.h"

class TGraphic;

// ---------------------------------------------------------------- constants

// Background modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

// Text alignment of TextOut and ExtTextOut (SetTextAlign).
enum : unsigned {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

// ExtTextOut options.
enum : unsigned { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };

// DrawText formats.
enum : unsigned {
    DT_TOP = 0,
    DT_LEFT = 0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
    DT_NOFULLWIDTHCHARBREAK = 0x80000,
    DT_HIDEPREFIX = 0x100000,
    DT_PREFIXONLY = 0x200000,
};

// DrawEdge edges and flags.
enum : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    BDR_OUTER = 0x3,
    BDR_INNER = 0xC,
    BDR_RAISED = 0x5,
    BDR_SUNKEN = 0xA,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,

    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_TOPLEFT = BF_TOP | BF_LEFT,
    BF_TOPRIGHT = BF_TOP | BF_RIGHT,
    BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT,
    BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_DIAGONAL = 0x10,
    BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT,
    BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT,
    BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT,
    BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT,
    BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000,
};

// DrawFrameControl kinds and states.
enum : unsigned {
    DFC_CAPTION = 1,
    DFC_MENU = 2,
    DFC_SCROLL = 3,
    DFC_BUTTON = 4,

    DFCS_BUTTONCHECK = 0x0,
    DFCS_BUTTONRADIOIMAGE = 0x1,
    DFCS_BUTTONRADIOMASK = 0x2,
    DFCS_BUTTONRADIO = 0x4,
    DFCS_BUTTON3STATE = 0x8,
    DFCS_BUTTONPUSH = 0x10,

    DFCS_SCROLLUP = 0x0,
    DFCS_SCROLLDOWN = 0x1,
    DFCS_SCROLLLEFT = 0x2,
    DFCS_SCROLLRIGHT = 0x3,
    DFCS_SCROLLCOMBOBOX = 0x5,
    DFCS_SCROLLSIZEGRIP = 0x8,

    DFCS_INACTIVE = 0x100,
    DFCS_PUSHED = 0x200,
    DFCS_CHECKED = 0x400,
    DFCS_TRANSPARENT = 0x800,
    DFCS_HOT = 0x1000,
    DFCS_ADJUSTRECT = 0x2000,
    DFCS_FLAT = 0x4000,
    DFCS_MONO = 0x8000,
};

// Ternary raster operations: bits 16..23 are the operation's truth table, bit
// index 4 * P + 2 * S + D (P pattern/brush, S source, D destination). The low
// word is ignored; any code whose third byte is the table works (MakeRop3).
constexpr uint32_t MakeRop3(uint8_t Table)
{
    return static_cast<uint32_t>(Table) << 16;
}
constexpr uint32_t SRCCOPY = 0x00CC0020;     // S
constexpr uint32_t SRCPAINT = 0x00EE0086;    // S or D
constexpr uint32_t SRCAND = 0x008800C6;      // S and D
constexpr uint32_t SRCINVERT = 0x00660046;   // S xor D
constexpr uint32_t SRCERASE = 0x00440328;    // S and not D
constexpr uint32_t NOTSRCCOPY = 0x00330008;  // not S
constexpr uint32_t NOTSRCERASE = 0x001100A6; // not (S or D)
constexpr uint32_t MERGECOPY = 0x00C000CA;   // P and S
constexpr uint32_t MERGEPAINT = 0x00BB0226;  // not S or D
constexpr uint32_t PATCOPY = 0x00F00021;     // P
constexpr uint32_t PATPAINT = 0x00FB0A09;    // P or not S or D
constexpr uint32_t PATINVERT = 0x005A0049;   // P xor D
constexpr uint32_t DSTINVERT = 0x00550009;   // not D
constexpr uint32_t BLACKNESS = 0x00000042;   // 0
constexpr uint32_t WHITENESS = 0x00FF0062;   // 1

// The canvas's copy mode: a raster operation for CopyRect and Draw.
using TCopyMode = int32_t;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// What GetPixel reports for a pixel outside the target or the clip region.
constexpr TColor CLR_INVALID = MakeColor(0xFFFFFFFF);

// Largest coordinate magnitude the drawing functions accept; larger values
// are clipped to it (they are far outside any image).
constexpr int MaxCoord = 1 << 24;

// ---------------------------------------------------------------- canvas

class TCanvas : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(TBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(int CopyMode READ CopyMode WRITE SetCopyMode)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TPen* Pen READ Pen WRITE SetPen)
public:
    explicit TCanvas(QImage* Target = nullptr);
    ~TCanvas() override;

    // The image drawn on (not owned); null means no drawing surface: drawing
    // then raises EInvalidOperation "Canvas does not allow drawing", while
    // measuring text still works. Setting a target keeps the device state but
    // removes the clip region.
    QImage* Target() const { return FTarget; }
    void SetTarget(QImage* Value);
    bool HandleAllocated() const { return FTarget != nullptr; }
    // True when the target is a monochrome image (see above).
    bool Monochrome() const;

    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value); // assigns
    TPen* Pen() const { return FPen; }
    void SetPen(TPen* Value);
    TBrush* Brush() const { return FBrush; }
    void SetBrush(TBrush* Value);
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value);
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }

    // The logical rectangle that drawing can reach: the target's area (moved
    // by the viewport origin) within the clip region's bounds. Empty without
    // a target.
    TRect ClipRect() const;
    // Pixel colour ($00BBGGRR), CLR_INVALID outside the target or clip region.
    TColor Pixels(int X, int Y) const;
    // Sets one pixel (not affected by the pen mode); outside the clip region
    // nothing happens.
    void SetPixels(int X, int Y, TColor Color);

    // ---- device state
    TColor TextColor();
    TColor SetTextColor(TColor Color); // returns the previous one (resolved)
    TColor BkColor();
    TColor SetBkColor(TColor Color);
    int BkMode();
    int SetBkMode(int Mode); // TRANSPARENT or OPAQUE; other values raise EInvalidOperation
    // Where patterns and hatches start, in device coordinates.
    TPoint BrushOrigin() const { return FBrushOrigin; }
    void SetBrushOrigin(TPoint Value) { FBrushOrigin = Value; }
    TPoint ViewportOrg() const { return FViewportOrg; }
    void SetViewportOrg(TPoint Value) { FViewportOrg = Value; }
    unsigned TextAlign() const { return FTextAlign; }
    unsigned SetTextAlign(unsigned Align);
    // Extra pixels for the blanks of the next text output: BreakExtra spread
    // over BreakCount blanks (the first BreakExtra mod BreakCount blanks get one
    // pixel more). BreakCount 0 switches it off.
    void SetTextJustification(int BreakExtra, int BreakCount);

    // ---- clipping (device coordinates)
    bool HasClipRegion() const { return FHasClip; }
    QRegion ClipRegion() const;
    // Null removes the clip region.
    void SetClipRegion(const QRegion* Region);
    // Logical rectangles.
    void IntersectClipRect(const TRect& R);
    void ExcludeClipRect(const TRect& R);

    // ---- locking
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    // ---- drawing
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polyline(std::span<const TPoint> Points);
    void Polygon(std::span<const TPoint> Points);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    // X3, Y3: width and height of the ellipse that rounds the corners.
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    // Counter-clockwise from the ray towards (X3, Y3) to the ray towards (X4,
    // Y4), on the ellipse of the box (X1, Y1, X2, Y2).
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);

    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void FillRgn(const QRegion& Region, TBrush* ABrush);
    // Frames the region with the brush, W pixels wide at the left and right
    // and H pixels high at the top and bottom of every part of it.
    void FrameRgn(const QRegion& Region, TBrush* ABrush, int W, int H);
    // XORs a dotted frame: every other pixel of the one-pixel frame, starting
    // with the top-left pixel; drawing it twice restores the pixels.
    void DrawFocusRect(const TRect& R);

    // Defined with the pictures (Pictures.cpp).
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    // Copies (scaling when the sizes differ) with CopyMode.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

    // Text at (X, Y) as the text alignment places it; the pen position moves
    // to the end of the text.
    void TextOut(int X, int Y, const String& Text);
    // Text at (X, Y) clipped to Rect; Rect is filled with the background colour
    // first unless the brush is clear.
    void TextRect(const TRect& Rect, int X, int Y, const String& Text);
    TSize TextExtent(const String& Text);
    int TextWidth(const String& Text) { return TextExtent(Text).cx; }
    int TextHeight(const String& Text) { return TextExtent(Text).cy; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Brings changed font, pen and brush into the device state (what taking
    // the canvas's handle does on the platform). The free functions call it.
    void RequireAllState();

protected:
    virtual void Changing();
    virtual void Changed();

private:
    friend class TCanvasAccess;
    void FontChanged();
    void PenChanged();
    void BrushChanged();
    void RequireFont();
    void RequirePen();
    void RequireBrush();

    QImage* FTarget = nullptr;
    TFont* FFont;
    TPen* FPen;
    TBrush* FBrush;
    TCopyMode FCopyMode = cmSrcCopy;
    TPoint FPenPos;
    bool FFontDirty = true;
    bool FPenDirty = true;
    bool FBrushDirty = true;
    uint32_t FTextColor = 0x000000;   // $00BBGGRR
    uint32_t FBkColor = 0xFFFFFF;
    int FBkMode = OPAQUE;
    int FRop2 = 13;
    TPoint FBrushOrigin;
    TPoint FViewportOrg;
    unsigned FTextAlign = 0;
    int FBreakExtra = 0;
    int FBreakCount = 0;
    bool FHasClip = false;
    QRegion FClip;
    std::recursive_mutex FMutex;
    int FLockCount = 0;
    int FDashPos = 0;
};

// ---------------------------------------------------------------- text

struct TDrawTextParams {
    int iTabLength = 0;  // tab stops in average character widths (0 = 8)
    int iLeftMargin = 0; // pixels
    int iRightMargin = 0;
    unsigned uiLengthDrawn = 0; // out: characters processed
};

// Draws formatted text in a rectangle, with the platform's flag semantics:
//   - lines break at CR LF, LF and CR, unless DT_SINGLELINE;
//   - DT_WORDBREAK breaks lines at blanks so they fit the width; a word wider
//     than the rectangle stays whole on its own line (DT_EDITCONTROL breaks it
//     between characters instead); the blanks at a break are dropped;
//   - DT_CENTER, DT_RIGHT align each line; DT_VCENTER and DT_BOTTOM work only
//     with DT_SINGLELINE;
//   - '&' marks the next character for underlining and "&&" is a literal '&'
//     (a lone '&' at the end stays), unless DT_NOPREFIX; DT_HIDEPREFIX drops
//     the marks without underlining, DT_PREFIXONLY draws only the underlines;
//   - DT_EXPANDTABS expands tabs to stops every 8 average character widths
//     (DT_TABSTOP: the count in bits 8..15); without it a tab is one blank;
//   - DT_END_ELLIPSIS (also DT_WORD_ELLIPSIS and DT_PATH_ELLIPSIS, which are
//     handled alike) shortens a line that is too wide and ends it with "...";
//   - text is clipped to the rectangle unless DT_NOCLIP;
//   - DT_CALCRECT draws nothing and sets Rect's right edge to left + the width
//     of the widest line and its bottom to top + lines x line height; with
//     DT_WORDBREAK the lines are those wrapped to Rect's width, so the result
//     is never wider than Rect unless a single word is;
//   - DT_TABSTOP: bits 8..15 are the tab length, so the flags of those bits
//     (DT_NOCLIP, DT_CALCRECT, DT_NOPREFIX, ...) cannot be combined with it;
//   - DT_EXTERNALLEADING adds the font's external leading to the line height.
// Returns the height of the text; with DT_VCENTER or DT_BOTTOM, the offset
// from Rect's top to the bottom of the text. An empty text returns the line
// height (and in calculate mode gives a rectangle of no width, one line high
// with DT_SINGLELINE and no height otherwise). The text is drawn in the text
// colour with the background mode of the canvas; a rotated font turns each
// line around its own origin.
int DrawText(TCanvas* Canvas, const String& Text, TRect& Rect, unsigned Format);
// Count -1: up to the terminating zero.
int DrawText(TCanvas* Canvas, const char* Text, int Count, TRect& Rect, unsigned Format);
int DrawTextEx(TCanvas* Canvas, const String& Text, TRect& Rect, unsigned Format, TDrawTextParams* Params);

// Text at (X, Y) placed by the text alignment. ETO_OPAQUE fills Rect with the
// background colour, ETO_CLIPPED clips to Rect. Dx, when given, holds the
// advance of every character (Text.size() entries). Without Dx the blanks
// get the extra pixels of SetTextJustification, which stays in force until it
// is changed (TextOut and TextRect of the canvas use it too; DrawText does
// not).
bool ExtTextOut(TCanvas* Canvas, int X, int Y, unsigned Options, const TRect* Rect, const String& Text,
                const int* Dx = nullptr);
bool TextOut(TCanvas* Canvas, int X, int Y, const String& Text);
bool SetTextJustification(TCanvas* Canvas, int BreakExtra, int BreakCount);
TSize GetTextExtentPoint(TCanvas* Canvas, const String& Text);
bool GetTextMetrics(TCanvas* Canvas, TTextMetric& Metric);
TColor SetTextColor(TCanvas* Canvas, TColor Color);
TColor SetBkColor(TCanvas* Canvas, TColor Color);
int SetBkMode(TCanvas* Canvas, int Mode);

// ---------------------------------------------------------------- edges and frame controls

// Draws the platform's 3D edge on the chosen sides (or a diagonal) of Rect.
// Edge: BDR_* bits (the outer and inner lines). Flags: BF_* sides, BF_MIDDLE
// fills the inside (clBtnFace; clWindow with BF_MONO), BF_SOFT, BF_FLAT (one
// shadow line), BF_MONO (one frame line), BF_ADJUST shrinks Rect by the edge
// width on the chosen sides. With BF_DIAGONAL a 45-degree edge is drawn in the
// square of the smaller side, from the corner the flag names as origin to the
// corner it names as end. Returns false for an edge with both a raised and a
// sunken line on the same level (nothing is filled then).
bool DrawEdge(TCanvas* Canvas, TRect& Rect, unsigned Edge, unsigned Flags);

// Draws a platform control in Rect: DFC_BUTTON with DFCS_BUTTONPUSH,
// DFCS_BUTTONCHECK, DFCS_BUTTON3STATE or DFCS_BUTTONRADIO; DFC_SCROLL with
// DFCS_SCROLLUP/DOWN/LEFT/RIGHT, DFCS_SCROLLCOMBOBOX or DFCS_SCROLLSIZEGRIP;
// states DFCS_PUSHED, DFCS_CHECKED, DFCS_FLAT, DFCS_MONO, DFCS_INACTIVE,
// DFCS_TRANSPARENT; DFCS_ADJUSTRECT shrinks Rect of a push button to its
// inside. Check boxes and radio buttons use the largest centred square.
// Returns false (drawing nothing) for other kinds.
bool DrawFrameControl(TCanvas* Canvas, TRect& Rect, unsigned Type, unsigned State);

void DrawFocusRect(TCanvas* Canvas, const TRect& Rect);
// Fills or frames (one pixel) with the brush; FillRect and FrameRect of a
// canvas use its own brush.
void FillRect(TCanvas* Canvas, const TRect& Rect, TBrush* Brush);
void FrameRect(TCanvas* Canvas, const TRect& Rect, TBrush* Brush);
// Fills with a solid colour (system colours resolved), ignoring the brush.
void FillSolidRect(TCanvas* Canvas, const TRect& Rect, TColor Color);

// ---------------------------------------------------------------- block transfers

// Combines the source rectangle (XSrc, YSrc, Width, Height) of Src, the
// destination's brush and the destination with the raster operation Rop.
// Src may be null (or the same canvas) when Rop does not use the source.
// Alpha (images that have it): SRCCOPY copies the source pixels with their
// alpha, so reading a transparent off-screen picture and writing it back keeps
// it transparent; every other operation makes the pixels it touches opaque.
// Pixels whose source lies outside the source image are left alone. Clipped
// to the destination's clip region. Returns false for a negative size or a
// missing source the operation needs.
bool BitBlt(TCanvas* Dest, int X, int Y, int Width, int Height, TCanvas* Src, int XSrc, int YSrc, uint32_t Rop);
// As BitBlt, scaling the source rectangle to the destination rectangle by
// dropping or repeating rows and columns (nearest pixel). Negative widths or
// heights mirror.
bool StretchBlt(TCanvas* Dest, int X, int Y, int Width, int Height, TCanvas* Src, int XSrc, int YSrc,
                int SrcWidth, int SrcHeight, uint32_t Rop);
// Combines the brush and the destination (the operation must not use the
// source).
bool PatBlt(TCanvas* Dest, int X, int Y, int Width, int Height, uint32_t Rop);

// The raster operation on one 32-bit pixel value of each (bitwise), as the
// transfers apply it. Exposed for tests and pixel code of the suite.
uint32_t ApplyRop3(uint8_t Table, uint32_t P, uint32_t S, uint32_t D);
