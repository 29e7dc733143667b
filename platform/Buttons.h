// Buttons: the speed button and the push button with a picture.
//
// Both show a glyph: a bitmap holding NumGlyphs pictures side by side, one
// for each state (up, disabled, down, exclusively down). A state without a
// picture of its own shows the up picture; the disabled state without one
// shows the up picture embossed (its dark pixels in clBtnHighlight one pixel
// down and right, then in clBtnShadow in place). The bottom-left pixel's
// colour is transparent. Glyph and caption are placed by Layout (the glyph's
// side), Margin (from the edge to the glyph; -1 centres both) and Spacing
// (between glyph and caption; -1 spreads them evenly).
#pragma once

#include <memory>

#include "Pictures.h"
#include "StdCtrls.h"

namespace ButtonsTypes {
Q_NAMESPACE

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
Q_ENUM_NS(TButtonLayout)

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
Q_ENUM_NS(TButtonState)

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
Q_ENUM_NS(TBitBtnKind)

} // namespace ButtonsTypes
using namespace ButtonsTypes;

// Where a glyph and a caption go in a rectangle.
struct TButtonLayoutResult {
    TPoint GlyphPos;
    TRect TextBounds;
};

// The glyph of a button and how it draws glyph and caption together.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();

    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    // 1 .. 4; values outside are brought into that range.
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    // A picture drawn by code instead of the glyph (the kinds of TBitBtn):
    // 32-bit with alpha, one state.
    void SetBuiltIn(const QImage& Image) { FBuiltIn = Image; }
    bool HasBuiltIn() const { return !FBuiltIn.isNull(); }
    // Size of one picture (0 x 0 without a glyph).
    TSize GlyphSize() const;

    // Places glyph and caption inside Client, moved by Offset.
    TButtonLayoutResult CalcLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption,
                                   TButtonLayout Layout, int Margin, int Spacing) const;
    // Draws glyph and caption; returns the caption's rectangle.
    TRect Draw(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption, TButtonLayout Layout,
               int Margin, int Spacing, TButtonState State);

    // Tells when the glyph changed.
    std::function<void()> OnChange;

private:
    void DrawGlyph(TCanvas* Canvas, TPoint Pos, TButtonState State);
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    QImage FBuiltIn;
};

// ---------------------------------------------------------------- TSpeedButton

// A button that takes no focus. With a GroupIndex it stays down when
// clicked; the buttons of one parent with the same GroupIndex are
// exclusive (pressing one releases the others through CM_BUTTONPRESSED with
// WParam = GroupIndex and LParam = the button), and AllowAllUp lets the
// down button of a group be released too.
class TSpeedButton : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TBitmap* Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(ButtonsTypes::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TSpeedButton(TComponent* AOwner = nullptr);
    ~TSpeedButton() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // Only a button of a group can be down.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return FGlyph.Glyph(); }
    void SetGlyph(TBitmap* Value) { FGlyph.SetGlyph(Value); }
    int NumGlyphs() const { return FGlyph.NumGlyphs(); }
    void SetNumGlyphs(int Value) { FGlyph.SetNumGlyphs(Value); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // A flat button without the mouse over it shows its parent.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TButtonState State() const { return FState; }

    void WndProc(TMessage& Message) override;
    void Loaded() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void EnabledChanged() override;

private:
    void UpdateExclusive();
    TButtonGlyph FGlyph;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FTransparent = true;
    bool FDragging = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TButtonState FState = bsUp;
};

// ---------------------------------------------------------------- TBitBtn

// A push button with a glyph. A Kind other than bkCustom gives the button
// its standard caption, modal result, Default or Cancel and a glyph drawn
// by our code; changing one of those afterwards makes the kind bkCustom. A
// bkClose button closes its form when clicked.
class TBitBtn : public TButton {
    Q_OBJECT
    Q_PROPERTY(ButtonsTypes::TBitBtnKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(TBitmap* Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(ButtonsTypes::TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
public:
    explicit TBitBtn(TComponent* AOwner = nullptr);
    ~TBitBtn() override;

    TBitBtnKind Kind() const;
    void SetKind(TBitBtnKind Value);
    TBitmap* Glyph() const { return FGlyph.Glyph(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FGlyph.NumGlyphs(); }
    void SetNumGlyphs(int Value) { FGlyph.SetNumGlyphs(Value); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

    void Click() override;

    // The standard caption and modal result of a kind.
    static String KindCaption(TBitBtnKind Kind);
    static TModalResult KindModalResult(TBitBtnKind Kind);
    // The picture of a kind (empty for bkCustom), 18 x 18, 32-bit with alpha.
    static QImage KindGlyph(TBitBtnKind Kind);

protected:
    void DrawFace(TCanvas* Canvas, const TRect& Rect, TPoint Offset) override;

private:
    TButtonGlyph FGlyph;
    mutable TBitBtnKind FKind = bkCustom;
    bool FModifiedGlyph = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
};

void RegisterButtonsClasses();
