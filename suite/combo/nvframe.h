// The edit frame and the drop-down button effects.
//
// TnvEditFrame describes a flat frame drawn around an edit instead of its own
// border: which sides are drawn and in which edge style, one set for the
// focused state and one for the unfocused state, and an optional transparent
// look while the edit does not have the focus. Combos, panels and group boxes
// own one and draw it with DrawEditFrame.
//
// TnvButtonEffects holds the flat and transparent look of a combo's drop-down
// button; a combo's own class reloads the button glyph in Refresh.
#pragma once

#include <functional>

#include "Controls.h"

class TCanvas;

namespace nvFrameTypes {
Q_NAMESPACE

// efsFrameBox and efsFrameSingle are one-line styles; the others two-line.
enum TnvEditFocusStyle { efsFrameBox, efsFrameSunken, efsFrameRaised, efsFrameEtched, efsFrameBump, efsFrameSingle };
Q_ENUM_NS(TnvEditFocusStyle)

// The set's value is the side mask of DrawEdge (left 1, top 2, right 4, bottom 8).
enum TnvEditFrameEnabledType { efLeftBorder = 1, efTopBorder = 2, efRightBorder = 4, efBottomBorder = 8 };
Q_DECLARE_FLAGS(TnvEditFrameEnabledSet, TnvEditFrameEnabledType)
Q_FLAG_NS(TnvEditFrameEnabledSet)

} // namespace nvFrameTypes
using namespace nvFrameTypes;
Q_DECLARE_OPERATORS_FOR_FLAGS(nvFrameTypes::TnvEditFrameEnabledSet)

// Whether a style draws one line (box, single) rather than two.
bool IsOneLineFrameStyle(TnvEditFocusStyle Style);

class TnvEditFrame : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(int AutoSizeHeightAdjust READ AutoSizeHeightAdjust WRITE SetAutoSizeHeightAdjust)
    Q_PROPERTY(nvFrameTypes::TnvEditFrameEnabledSet FocusBorders READ FocusBorders WRITE SetFocusBorders)
    Q_PROPERTY(nvFrameTypes::TnvEditFrameEnabledSet NonFocusBorders READ NonFocusBorders WRITE SetNonFocusBorders)
    Q_PROPERTY(nvFrameTypes::TnvEditFocusStyle FocusStyle READ FocusStyle WRITE SetFocusStyle)
    Q_PROPERTY(nvFrameTypes::TnvEditFocusStyle NonFocusStyle READ NonFocusStyle WRITE SetNonFocusStyle)
    Q_PROPERTY(int NonFocusTextOffsetX READ NonFocusTextOffsetX WRITE SetNonFocusTextOffsetX)
    Q_PROPERTY(int NonFocusTextOffsetY READ NonFocusTextOffsetY WRITE SetNonFocusTextOffsetY)
    Q_PROPERTY(TColor NonFocusTransparentFontColor READ NonFocusTransparentFontColor WRITE
                   SetNonFocusTransparentFontColor)
    Q_PROPERTY(TColor NonFocusColor READ NonFocusColor WRITE SetNonFocusColor)
    Q_PROPERTY(TColor NonFocusFontColor READ NonFocusFontColor WRITE SetNonFocusFontColor)
    Q_PROPERTY(bool MouseEnterSameAsFocus READ MouseEnterSameAsFocus WRITE SetMouseEnterSameAsFocus)
public:
    Q_INVOKABLE TnvEditFrame() = default;
    // Control: the edit the frame belongs to; only a windowed control is kept.
    explicit TnvEditFrame(TControl* Control);

    TWinControl* Control() const { return FControl; }

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    int AutoSizeHeightAdjust() const { return FAutoSizeHeightAdjust; }
    void SetAutoSizeHeightAdjust(int Value);
    TnvEditFrameEnabledSet FocusBorders() const { return FFocusBorders; }
    void SetFocusBorders(TnvEditFrameEnabledSet Value);
    TnvEditFrameEnabledSet NonFocusBorders() const { return FNonFocusBorders; }
    void SetNonFocusBorders(TnvEditFrameEnabledSet Value);
    TnvEditFocusStyle FocusStyle() const { return FFocusStyle; }
    void SetFocusStyle(TnvEditFocusStyle Value);
    TnvEditFocusStyle NonFocusStyle() const { return FNonFocusStyle; }
    void SetNonFocusStyle(TnvEditFocusStyle Value);
    int NonFocusTextOffsetX() const { return FNonFocusTextOffsetX; }
    void SetNonFocusTextOffsetX(int Value);
    int NonFocusTextOffsetY() const { return FNonFocusTextOffsetY; }
    void SetNonFocusTextOffsetY(int Value);
    TColor NonFocusTransparentFontColor() const { return FNonFocusTransparentFontColor; }
    void SetNonFocusTransparentFontColor(TColor Value);
    TColor NonFocusColor() const { return FNonFocusColor; }
    void SetNonFocusColor(TColor Value);
    TColor NonFocusFontColor() const { return FNonFocusFontColor; }
    void SetNonFocusFontColor(TColor Value);
    bool MouseEnterSameAsFocus() const { return FMouseEnterSameAsFocus; }
    void SetMouseEnterSameAsFocus(bool Value) { FMouseEnterSameAsFocus = Value; }

    // The edit is in its transparent, unfocused state now.
    bool TransparentNow() const { return FTransparentNow; }
    void SetTransparentNow(bool Value) { FTransparentNow = Value; }
    // Whether repaints of the parent behind a transparent edit erase it.
    bool EraseParent() const { return FEraseParent; }
    void SetEraseParent(bool Value) { FEraseParent = Value; }

    // Enabled, with a control, and the control's parent is not a grid.
    bool IsActive() const;
    // The sides and style of a state.
    TnvEditFrameEnabledSet Borders(bool Focused) const { return Focused ? FFocusBorders : FNonFocusBorders; }
    TnvEditFocusStyle Style(bool Focused) const { return Focused ? FFocusStyle : FNonFocusStyle; }
    // Where the text of an owner-painted edit starts in a state.
    void GetTextOffsets(int& X, int& Y, bool Focused) const;
    // The edit's text rectangle inside the focused frame (Left, Top, Right).
    void AdjustEditRect(TRect& Rect) const;
    // Sets the control's height from its font (and AutoSizeHeightAdjust).
    void AdjustHeight();
    // Recreates the control's window when the transparent look needs it.
    void RefreshTransparency();
    // Repaints the frame: through the parent when transparent.
    void InvalidateFrame();
    // Invalidates Control's rectangle in every transparent ancestor, up to
    // and including the first one that is not transparent.
    static void InvalidateBehind(TControl* Control, bool Erase);

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

    // Told after a change that moves the text or the button (Enabled, the
    // focused borders and style, the transparency).
    std::function<void()> OnLayoutChange;

private:
    void RepaintControl();
    void LayoutChanged();

    TWinControl* FControl = nullptr;
    bool FEnabled = false;
    bool FTransparent = false;
    int FAutoSizeHeightAdjust = 0;
    TnvEditFrameEnabledSet FFocusBorders =
        TnvEditFrameEnabledSet(efLeftBorder) | efTopBorder | efRightBorder | efBottomBorder;
    TnvEditFrameEnabledSet FNonFocusBorders = TnvEditFrameEnabledSet(efBottomBorder);
    TnvEditFocusStyle FFocusStyle = efsFrameBox;
    TnvEditFocusStyle FNonFocusStyle = efsFrameBox;
    int FNonFocusTextOffsetX = 0;
    int FNonFocusTextOffsetY = 0;
    TColor FNonFocusTransparentFontColor = clNone;
    TColor FNonFocusColor = clNone;
    TColor FNonFocusFontColor = clNone;
    bool FMouseEnterSameAsFocus = false;
    bool FTransparentNow = false;
    bool FEraseParent = false;
};

// Draws the frame of a state on Canvas over the control's client rectangle.
void DrawEditFrame(TControl* Control, const TnvEditFrame* Frame, TCanvas* Canvas, bool Focused);

class TnvButtonEffects : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
public:
    Q_INVOKABLE TnvButtonEffects() = default;
    // Combo: the owner; Button: its drop-down button (published Flat and
    // Transparent are set by name).
    TnvButtonEffects(TControl* Combo, TControl* Button) : FCombo(Combo), FButton(Button) {}

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);

    TControl* Combo() const { return FCombo; }
    TControl* Button() const { return FButton; }
    // Called after each change; the combo's class reloads the button glyph.
    virtual void Refresh() {}

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    TControl* FCombo = nullptr;
    TControl* FButton = nullptr;
    bool FTransparent = false;
    bool FFlat = false;
};

void RegisterNvFrameClasses();
