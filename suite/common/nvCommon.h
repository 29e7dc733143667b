// Common helpers of the suite: integers and rectangles, strings and tokens,
// loose number parsing, name=value lists, colours, regions, drawing helpers,
// reflection by property name, parent and theme checks, invalidation and the
// slide animation that moves groups of controls in steps.
//
// Strings are 8-bit with 1-based positions (0 = not found). Colours are the
// platform's TColor values; "resolved" means passed through ColorToRGB.
// Functions keep no reference to their arguments. Regions are QRegion values:
// an empty region is "no region".
#pragma once

#include <QObject>
#include <QPointer>
#include <QRegion>

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Buttons.h"
#include "Canvas.h"
#include "Classes.h"
#include "Colors.h"
#include "Controls.h"
#include "ImageList.h"
#include "Pictures.h"
#include "StringList.h"
#include "SysUtils.h"
#include "Types.h"

// ---------------------------------------------------------------- shared enumerations

namespace nvCommonTypes {
Q_NAMESPACE

// Direction in which a control stacks its items.
enum TnvLayout { loVertical, loHorizontal };
Q_ENUM_NS(TnvLayout)

// Vertical placement of text in its rectangle.
enum TnvVAlignment { vaTop, vaVCenter, vaBottom };
Q_ENUM_NS(TnvVAlignment)

} // namespace nvCommonTypes
using namespace nvCommonTypes;

// ---------------------------------------------------------------- integers, rectangles, points

int IntMin(int A, int B);
int IntMax(int A, int B);
double MaxFloat(double A, double B);
// IntMin(IntMax(Value, Low), High): High wins when Low > High.
int ClampInt(int Value, int Low, int High);
int RectWidth(const TRect& R);
int RectHeight(const TRect& R);
TPoint MakePoint(int X, int Y);
bool PointsEqual(const TPoint& P, const TPoint& Q);
// True when the rectangle is (0, 0, 0, 0).
bool RectIsEmptyZero(const TRect& R);
// The platform's intersection (the zero rectangle when empty); true when not empty.
bool IntersectRects(const TRect& A, const TRect& B, TRect& Out);
int IfThenInt(bool Flag, int A, int B);
// Sets Bits in Flags when On, clears them otherwise.
void SetFlagBits(bool On, unsigned& Flags, unsigned Bits);

// An image of Width x Height scaled into R keeping its proportions, at R's
// top-left corner. Products are computed in 64 bits; an image of no size
// (0 x 0) gives the empty rectangle at R's corner.
TRect FitRectProportional(const TRect& R, int Width, int Height);
// As FitRectProportional, centred along the axis that has room to spare.
TRect FitRectProportionalCentered(const TRect& R, int Width, int Height);

// ---------------------------------------------------------------- strings

// Leading, trailing or both: blanks and tab characters only.
String TrimBlanksLeft(const String& S);
String TrimBlanksRight(const String& S);
String TrimBlanks(const String& S);
// Characters from position From up to but not including position To; To = 0
// means up to the end.
String SubStr(const String& S, int From, int To);
// Position of the first occurrence of Sub at or after Start (Start below 1
// searches from 1); 0 when none or Sub is empty.
int PosFrom(const String& Sub, const String& S, int Start);
// Position of occurrence number N (0-based) of Sub; each search starts one
// character after the previous occurrence's first character, so overlapping
// occurrences count. 0 when there is none or N < 0.
int NthPos(const String& Sub, const String& S, int N);
// 0 for an empty string, else 1 + the number of (overlapping) occurrences of
// Sep. An empty separator occurs nowhere.
int TokenCount(const String& S, const String& Sep);
// Piece N (0-based) of S split at Sep: from after occurrence N - 1 (the start
// for N = 0) to occurrence N (the end when none); "" for N outside
// 0 .. TokenCount - 1.
String GetToken(const String& S, const String& Sep, int N);
// The first N with GetToken(S, Sep, N) == Text (case-sensitive), -1 when none.
int TokenIndex(const String& S, const String& Sep, const String& Text);
// Every occurrence of Old, found left to right without overlap, replaced by
// New. An empty Old leaves S as it is.
String ReplaceAll(const String& S, const String& Old, const String& New);
// "&&" becomes "&" and every other "&" is removed: "&File" -> "File",
// "Save && Exit" -> "Save & Exit", "&&&Save" -> "&Save".
String StripAccelerators(const String& S);
String RemoveChar(const String& S, char C);

// A set of 8-bit characters (delimiters of NextToken).
using TnvCharSet = std::bitset<256>;
// The set of the characters of Chars.
TnvCharSet CharSetOf(const String& Chars);

// Flags of NextToken.
enum : unsigned {
    ntSkipBlanks = 1,   // skip blanks and tabs before the token
    ntQuoted = 2,       // a token starting with '"' runs to the closing '"'
    ntStripQuotes = 4,  // with ntQuoted: drop the quotes of a quoted token
    ntBlankInToken = 8, // blanks do not end a token (only characters below ' ')
};

// The tokenizer: the next token of S at the 1-based position Pos, which it
// advances. Token is empty when Pos is outside 1 .. Length(S). A token is never
// empty otherwise: a stop character (a delimiter, a character below '!' or,
// with ntBlankInToken, below ' ') at Pos is a one-character token. After a
// token of one character Pos moves past the stop character behind it; after
// a longer token Pos stays on the stop character.
void NextToken(const String& S, int& Pos, unsigned Flags, String& Token, const TnvCharSet& Delimiters);

// Numeric-keypad keys 96 .. 105 give their digit; every other key the
// character it types without modifiers on a US keyboard (letters as
// capitals), 0 when it types none.
char KeyToChar(Word Key);

// ---------------------------------------------------------------- numbers from text

// Turns a display text ("(1,234.50)", "$12", "-3.5E+2 kg") back into a number
// with the locale settings of FormatSettings: grouping separators, currency
// and other characters are skipped, "(" or a leading "-" makes it negative.
// When Format is not empty and the value is positive, a text that
// FormatFloat(Format, -Value) reproduces (but FormatFloat(Format, Value)
// does not) gives the negative value. An empty text gives 0. Returns false,
// never raising, when the text holds no number.
bool ParseFloatLoose(const String& S, double& Value, const String& Format = String());
// ParseFloatLoose; 0 when it fails.
double StrToFloatLoose(const String& S, const String& Format = String());
// The runtime's strict conversion of the whole text; Default when it fails.
double StrToFloatDefault(const String& S, double Default);

// ---------------------------------------------------------------- name=value lists

// Text of entry Index before its first '=' ("" without one, and for Index -1).
String ListName(TStrings* List, int Index);
// Text after the first '=' (the whole entry without one), TrimBlanks'd.
String ListValue(TStrings* List, int Index);
// StringToColor("$" + ListValue(List, Index)).
TColor ListValueAsColor(TStrings* List, int Index);
// First index whose ListValue equals Text (case-sensitive), -1 when none.
int IndexOfListValue(const String& Text, TStrings* List);
// First index whose name part equals Text ignoring case, -1 when none.
int IndexOfListName(const String& Text, TStrings* List);

using TnvGetSortText = std::function<String(TStrings* List, int Index)>;
using TnvCompareText = std::function<int(const String& A, const String& B)>;
// In-place quicksort of entries Low .. High (the runtime's partitioning, so
// equal entries end in the order it gives). Entries are exchanged whole
// through the list's Get and Put. Nothing for Low >= High.
void QuickSortStrings(TStrings* List, int Low, int High, const TnvGetSortText& Get, const TnvCompareText& Compare);

// ---------------------------------------------------------------- colours

// The resolved colour's bytes: top byte, blue (16-23), green (8-15), red (0-7).
void ColorToBytes(TColor Color, uint8_t& B3, uint8_t& Blue, uint8_t& Green, uint8_t& Red);
// Six hexadecimal digits, two per byte, in the order given.
String ColorToHex(int A, int B, int C);
// "RGB: r, g, b" of the resolved colour.
String ColorToRGBText(TColor Color);
// The largest channel of the resolved colour.
int ColorMaxChannel(TColor Color);
// Each channel c of the resolved colour moves by Amount: with Percent,
// c + (255 - c) * Amount div 100 for Amount > 0, else c + c * Amount div 100;
// without, c + Amount; clamped to 0 .. 255.
TColor AdjustColor(TColor Color, int Amount, bool Percent);
// Colour values of the image-list drawing: no colour and the default colour.
constexpr uint32_t ImageListNoneColor = 0xFFFFFFFFu;
constexpr uint32_t ImageListDefaultColor = 0xFF000000u;
// The resolved colour; clNone and clDefault give the values above.
uint32_t ImageListColor(TColor Color);

// ---------------------------------------------------------------- regions

// The region of the graphic's pixels that are not of TransparentColor: one
// rectangle per horizontal run, rows top to bottom, built in one step. The
// graphic is read as a bitmap; a 24-bit bitmap compares each pixel's colour
// value with TransparentColor unresolved, any other is compared through its
// monochrome mask (system colours resolved). No region for a missing or empty
// graphic or one whose every pixel is transparent.
QRegion RegionFromGraphic(TGraphic* Graphic, TColor TransparentColor);

// Combines into Region, with the region operation Mode (RGN_OR, RGN_DIFF, ...),
// the rectangle of every visible child of Control whose published
// "Transparent" property reads false (children without the property count as
// opaque), in Control's client coordinates moved by Offset, in child order.
// A hidden child covers nothing: taking its rectangle out of a region to be
// painted would leave a hole of stale pixels where nothing is drawn.
void CombineOpaqueChildren(TWinControl* Control, QRegion& Region, int Mode, TPoint Offset);

// ---------------------------------------------------------------- drawing

// Draws image Index of List at (X, Y). Enabled: the list's own drawing in
// Style with its background and blend colours. Disabled: the embossed look
// made from the image's mask: clBtnHighlight at (X + 1, Y + 1), then
// clBtnShadow at (X, Y), wherever the image is not transparent. Nothing
// without a list or for an index outside it.
void DrawImageListImage(TCustomImageList* List, int Index, TCanvas* Canvas, int X, int Y, bool Enabled,
                        TDrawingStyle Style = dsNormal);
// As DrawImageListImage; the enabled image goes to X rounded down to an even number.
void DrawImageListImageEven(TCustomImageList* List, int Index, TCanvas* Canvas, int X, int Y, bool Enabled,
                            TDrawingStyle Style = dsNormal);

// The engraved picture of a disabled glyph: Target gets Source's size, filled
// with clBtnFace; wherever Source is black, clBtnHighlight one pixel right and
// down and clBtnShadow in place. Source and Target may be the same bitmap.
void MakeDisabledBitmap(TBitmap* Source, TBitmap* Target);

// Draws Bitmap at Rect's top-left corner (Rect's size) where the monochrome
// Mask is white, leaving the canvas alone where it is black, by the XOR,
// mask, XOR transfers. Buffered works on a copy of the destination area and
// copies the result back in one transfer.
void DrawTransparentBitmap(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, bool Buffered, TBitmap* Mask);

// A pattern brush of an 8 x 8 checker (rows $AA and $55): its set bits take
// the canvas's background colour, the others its text colour.
std::unique_ptr<TBrush> CreateCheckerBrush();

// Draws the graphic at (x, y) for x = 0, w, 2w, ... while x < RectWidth(Rect)
// and y = 0, h, 2h, ... while y < RectHeight(Rect), from the canvas origin.
// A missing graphic or one of no width or height draws nothing.
void TileGraphic(TGraphic* Graphic, TCanvas* Canvas, const TRect& Rect);

// The ellipsis face of a drop-down button. State is a TButtonState; bsDown (2)
// is the pressed look. Unless NoEdge: a raised edge on all sides, flat when
// pressed and bit 7 of Flags is clear, its middle filled unless NoFill. Then
// three black squares of side w = max(1, (width + 1) div 8), top-left corners
// at y = top + (height + 1) div 2 - k and x = left + width div 2 - k and 2w to
// either side, where k is 0 when pressed and 1 otherwise.
void DrawEllipsisButton(TCanvas* Canvas, const TRect& Rect, int State, unsigned Flags, bool NoFill, bool NoEdge);
// The combo-box arrow frame control: inactive when not Enabled; pushed and
// flat when Pressed and bit 7 of Flags is clear; otherwise plain.
void DrawComboArrowButton(TCanvas* Canvas, const TRect& Rect, bool Pressed, unsigned Flags, bool Enabled);

// The height DrawText reports for Text measured (DT_CALCRECT) in (0, 0, Width, 0).
int TextHeightInWidth(TCanvas* Canvas, unsigned DrawFlags, int Width, const String& Text);
// (widest line, total height) of Text split at CR LF, LineSpacing between
// lines. Width > 0 measures each line with DrawText in (0, 0, Width, 0) and
// Flags; Width = 0 with the canvas's text width and height.
TSize MultiLineTextExtent(TCanvas* Canvas, const String& Text, int LineSpacing, unsigned Flags, int Width);
// Places a glyph of GlyphSize and a text of TextSize around Center by the
// button layout; either output may be null.
void CalcGlyphTextLayout(TPoint Center, TRect* TextRect, TRect* GlyphRect, int Spacing, TButtonLayout Layout,
                         TSize GlyphSize, TSize TextSize);

// ---------------------------------------------------------------- components and classes

// True when the class or one of its ancestors has the name (case-insensitive).
bool InheritsFromClassName(const QMetaObject* Class, const String& Name);
bool InheritsFromClassName(const QObject* Object, const String& Name);

bool ParentIsGrid(const TControl* Control);
bool ParentIsZrDBGrid(const TControl* Control);
bool ParentIsZrDataInspector(const TControl* Control);
bool FocusedInZrDBGrid(const TControl* Control);
bool PaintCopyInGrid(const TControl* Control);
bool PaintCopyInZrDataInspector(const TControl* Control);
// The low 8 bits of the parent grid's published "Options" set, else 0.
int ZrDBGridOptions(const TControl* Control);

// Published properties by name; never raising for a missing property.
int64_t GetOrdPropByName(const QObject* Object, const String& Name);
void SetOrdPropByName(QObject* Object, const String& Name, int64_t Value);
// Appends the names of the object's published Boolean properties, in order.
void ListBooleanProps(const QObject* Object, TStrings* List);

// Base followed by the first N = 1, 2, ... that no component of Owner has as
// its name (case-sensitive).
String UniqueComponentName(const TComponent* Owner, const String& Base);

// The design state of the control's form, or of the control without one.
bool IsDesigning(const TControl* Control);

// The clip-children style of a window: a windowed control that accepts
// controls has it until RemoveClipChildren clears it. Qt always composes a
// parent under its children, so the style is a recorded state that controls
// read (ParentClipping) rather than a change of painting.
bool HasClipChildren(const TControl* Control);
void RemoveClipChildren(TControl* Control);

// The global themes switch (off by default): themed looks draw through QStyle.
bool ThemeServicesEnabled();
void SetThemeServicesEnabled(bool Value);
// The global switch, unless the control's published "DisableThemes" (or, when
// it has none, its parent's) is true. Without a control: the global switch.
bool UseThemes(const TControl* Control);

// Version of the library that provides the platform's controls (Qt Widgets):
// major in the high 16 bits, minor in the low 16. Read once and cached; 0
// when it cannot be read (then it is read again on the next call).
uint32_t ComCtlVersion();

// The list a component keeps of the controls that refer to it, published as
// its "ControlList" property (a Class-kind property holding this object).
class TnvControlList : public QObject {
    Q_OBJECT
public:
    explicit TnvControlList(QObject* Parent = nullptr) : QObject(Parent) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index outside the list.
    TControl* Items(int Index) const;
    int IndexOf(const TControl* Control) const;
    // Adds a control once.
    void Add(TControl* Control);
    void Remove(TControl* Control);

private:
    std::vector<QPointer<TControl>> FItems;
    void Purge();
};

// Sets Field (a component reference of Control) to Component: asks Component
// for a free notification; when the reference changes, Control leaves the
// old component's "ControlList" and joins the new one's. A nil Component
// clears the field.
void RegisterControlList(TComponent*& Field, TComponent* Component, TControl* Control);
template <class T>
void RegisterControlList(T*& Field, T* Component, TControl* Control)
{
    TComponent* F = Field;
    RegisterControlList(F, static_cast<TComponent*>(Component), Control);
    Field = static_cast<T*>(F);
}

// ---------------------------------------------------------------- invalidation

// Invalidates the window (without erasing) and every child window, recursively.
void InvalidateWindowTree(QWidget* Window);
// InvalidateWindowTree of every child window of Parent whose window rectangle
// intersects Window's.
void InvalidateChildrenInRect(QWidget* Parent, QWidget* Window);
// Invalidates the control's bounds on its parent; nothing without a parent.
// The parent repaints the area whole (its background included) either way.
void InvalidateControlArea(TControl* Control, bool Erase);

// ---------------------------------------------------------------- slide animation

// One control of a slide animation. The control is watched: one destroyed
// while the animation runs is left out of the remaining steps.
class TnvAnimateListItem : public QObject {
    Q_OBJECT
public:
    explicit TnvAnimateListItem(QObject* Parent = nullptr) : QObject(Parent) {}
    QPointer<TControl> Control;
    TRect StartRect;   // where the control starts
    TRect CurrentRect; // its bounds before the latest step
    TRect EndRect;     // where it ends
};

// Two controls that move together: Primary (required) and Secondary (may be
// null). The group owns both.
class TnvGroupAnimateItem : public QObject {
    Q_OBJECT
public:
    explicit TnvGroupAnimateItem(QObject* Parent = nullptr) : QObject(Parent) {}
    std::unique_ptr<TnvAnimateListItem> Primary;
    std::unique_ptr<TnvAnimateListItem> Secondary;
};

using TnvAnimateList = std::vector<std::unique_ptr<TnvGroupAnimateItem>>;
// Called instead of moving a control: the control and its new bounds.
using TnvSetBoundsEvent = TEvent<TControl*, const TRect&>;

// Moves the groups' controls from StartRect to EndRect in Steps steps,
// synchronously: after each step the controls repaint, pending messages are
// processed (unless UseThemes(Control)) and the thread sleeps Interval
// milliseconds. Step k puts each edge at Start + (End - Start) * k / Steps,
// truncated toward zero, so the last step lands on EndRect. Nothing for an
// empty list or Steps <= 0; EInvalidOperation for a group without a primary.
// Callers keep input from re-entering while it runs.
void AnimateControls(TControl* Control, const TnvAnimateList& List, const TnvSetBoundsEvent& Callback, int Steps,
                     int Interval);
