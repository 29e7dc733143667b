// The push button with a glyph that sits inside every combo.
//
// It is the platform's speed button (no focus, groups of exclusive buttons
// with GroupIndex, AllowAllUp and Down, a glyph of up to four pictures for the
// up, disabled, down and exclusively down states beside the caption) with
// flat hot tracking of its own (MouseInside) and a themed look that draws the
// platform's drop-down arrow, or a push button with an ellipsis (Ellipsis).
#pragma once

#include "Buttons.h"
#include "Controls.h"

class TnvComboButton : public TSpeedButton {
    Q_OBJECT
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
public:
    explicit TnvComboButton(TComponent* AOwner = nullptr);
    ~TnvComboButton() override;

    // Values below -1 are ignored.
    void SetMargin(int Value);
    // 1 .. 4; larger values are stored as 4.
    void SetNumGlyphs(int Value);

    TButtonState ButtonState() const { return State(); }
    // The mouse is over the button (tracked while flat and enabled, or
    // always with the themed look).
    bool MouseInside() const { return FMouseInside; }
    // The left button was pressed on the button and not yet released.
    bool PressTracking() const { return FPressTracking; }
    // The themed look draws an ellipsis instead of the drop-down arrow.
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value) { FEllipsis = Value; }
    // Whether the glyph has a picture.
    bool HasGlyphImage() const { return Glyph() && !Glyph()->Empty(); }

    void WndProc(TMessage& Message) override;
    // Only a button that is down answers a double click.
    void DblClick() override;

protected:
    // Whether the themed look is drawn (the global switch and DisableThemes).
    virtual bool ThemesActive() const;
    void Paint() override;
    // The button's own face, glyph and caption (the combo's button falls
    // back to it when the combo does not paint the face).
    void PaintButton();
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void EnabledChanged() override;

private:
    void PaintThemed();

    bool FPressTracking = false;
    bool FMouseInside = false;
    bool FEllipsis = false;
};

void RegisterNvComboButtonClasses();
