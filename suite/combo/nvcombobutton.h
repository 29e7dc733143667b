// The push button with a glyph that sits inside every combo.
//
// It is the platform's speed button (no focus, groups of exclusive buttons
// with GroupIndex, AllowAllUp and Down, a glyph of up to four pictures for the
// up, disabled, down and exclusively down states beside the caption) with
// flat hot tracking of its own (MouseInside) and a themed look that draws the
// platform's drop-down arrow, or a push button with an ellipsis (Ellipsis).
//
// With an Action, a click runs the action (unless the button has an OnClick
// of its own), and the button shows the action's caption, hint, enabled state
// and visibility; its link also ties the action's Checked to Down and its
// GroupIndex to GroupIndex. A group press that releases a sibling unchecks
// the sibling's action.
#pragma once

#include <memory>

#include "ActnList.h"
#include "Buttons.h"
#include "Controls.h"

class TnvComboButton;

// The combo button's link: besides what a control takes from its action,
// Checked drives Down while the button is in a group that allows all up and
// its Down still equals Checked, and GroupIndex drives GroupIndex while the
// two are equal. Linking outside loading (or to a button without a group)
// gives the button the action's GroupIndex, and a button without a glyph
// takes the action's image from its action list's images.
class TnvComboButtonActionLink : public TControlActionLink {
public:
    explicit TnvComboButtonActionLink(TnvComboButton* AClient);

    bool IsCheckedLinked() const override;
    bool IsGroupIndexLinked() const override;
    void SetChecked(bool Value) override;
    void SetGroupIndex(int Value) override;
    void ActionChange(TBasicAction* Sender, bool CheckDefaults) override;

private:
    TnvComboButton* FButton;
};

class TnvComboButton : public TSpeedButton {
    Q_OBJECT
    Q_PROPERTY(TBasicAction* Action READ Action WRITE SetAction)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
public:
    explicit TnvComboButton(TComponent* AOwner = nullptr);
    ~TnvComboButton() override;

    TBasicAction* Action() const { return FActionLink ? FActionLink->Action() : nullptr; }
    // Links the action (null drops the link).
    void SetAction(TBasicAction* Value);
    TnvComboButtonActionLink* ActionLink() const { return FActionLink.get(); }

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
    // The action runs unless the button has an OnClick of its own.
    void Click() override;
    // What comes from the action is not stored.
    bool IsPropertyStored(const char* Name) const override;

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
    // Freeing the action clears Action.
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void PaintThemed();

    std::unique_ptr<TnvComboButtonActionLink> FActionLink;

    bool FPressTracking = false;
    bool FMouseInside = false;
    bool FEllipsis = false;
};

void RegisterNvComboButtonClasses();
