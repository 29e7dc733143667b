// The combo base: a single-line edit with a drop-down button at its right
// edge, an optional edit frame, an optional link to a dataset field, and the
// protocol for showing and hiding a drop-down window.
//
// A descendant supplies the drop-down: the container window that is shown and
// hidden (GetDropDownContainer; AttachDropDownContainer makes it a top-level
// window that never takes the activation), the control that holds the items
// (GetDropDownControl), the item count and the requested size, and the text
// painting of the unfocused combo (PaintText). The base places the container
// under the combo (above it when there is no room below, right-aligned when
// there is no room to the right), keeps it on top, routes the keys that open
// and close it, and closes it when the user presses the mouse outside it, when
// the combo loses the focus, or when its form is moved or deactivated.
//
// While dropped down the input focus stays in the combo's edit; the mouse
// hook sends the drop-down control the moves and releases that belong to it,
// also those of a press that started on the combo (so a press on the edit, a
// drag into the list and a release over an item choose that item).
//
// The text lies in the edit's formatting rectangle (GetEditRect): the Qt line
// edit occupies exactly that rectangle, left of the button. While the combo is
// not focused and its frame is enabled (or it is owner drawn) the line edit
// does not paint and the combo paints the text itself (PaintText).
//
// Enumerators: TnvComboStyle's csDropDown and csDropDownList have the names of
// the stock combo box's styles; code that sees both writes them qualified
// (nvComboTypes::csDropDownList). Form files name them unqualified.
#pragma once

#include <QPointer>

#include <memory>

#include "DBLinks.h"
#include "StdCtrls.h"
#include "nvcombobutton.h"
#include "nvCommon.h"
#include "nvframe.h"

class TnvCustomCombo;

namespace nvComboTypes {
Q_NAMESPACE

enum TnvComboButtonStyle { cbsEllipsis, cbsDownArrow, cbsCustom };
Q_ENUM_NS(TnvComboButtonStyle)

enum TnvComboStyle { csDropDown, csDropDownList };
Q_ENUM_NS(TnvComboStyle)

enum TnvAlignVertical { nvavTop, nvavCenter };
Q_ENUM_NS(TnvAlignVertical)

} // namespace nvComboTypes
using namespace nvComboTypes;

// Sender, and whether the choice is accepted.
using TnvComboCloseUpEvent = TEvent<TObject*, bool>;
ZEN_EVENT_TYPE(TnvComboCloseUpEvent)

// The registered message that makes a combo drop down once the current mouse
// or focus handling has finished ("NVCOMBODROPDOWNMESSAGE").
unsigned NvComboDropDownMessage();
// Whether the combos' mouse hook is installed now (there is at most one).
bool NvComboMouseHookInstalled();
// The small black arrow a flat drop-down button shows ("NVDROPDOWN"): 10 x 4
// on a transparent colour (the bottom-left pixel's).
void LoadDropDownGlyph(TBitmap* Bitmap);

// The child window that holds the drop-down button.
class TBtnWinControl : public TWinControl {
    Q_OBJECT
public:
    explicit TBtnWinControl(TComponent* AOwner = nullptr);

protected:
    // The combo's picture shows where the button does not draw.
    void PaintControl(QImage& Image) override;
};

// The drop-down button: the combo decides how its face is painted.
class TnvDropDownButton : public TnvComboButton {
    Q_OBJECT
public:
    explicit TnvDropDownButton(TComponent* AOwner = nullptr);
    TnvCustomCombo* Combo() const { return FCombo; }
    void SetCombo(TnvCustomCombo* Value) { FCombo = Value; }

protected:
    friend class TnvCustomCombo;
    bool ThemesActive() const override;
    void Paint() override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TnvCustomCombo* FCombo = nullptr;
};

// The combo's button effects: a change reloads the button glyph.
class TnvComboButtonEffects : public TnvButtonEffects {
    Q_OBJECT
public:
    Q_INVOKABLE TnvComboButtonEffects() = default;
    TnvComboButtonEffects(TnvCustomCombo* Combo, TnvComboButton* Button);
    void Refresh() override;

private:
    TnvCustomCombo* FOwnerCombo = nullptr;
};

class TnvCustomCombo : public TCustomEdit {
    Q_OBJECT
public:
    explicit TnvCustomCombo(TComponent* AOwner = nullptr);
    ~TnvCustomCombo() override;

    // ---- properties the descendants publish
    TnvAlignVertical AlignmentVertical() const { return FAlignmentVertical; }
    void SetAlignmentVertical(TnvAlignVertical Value);
    bool AllowClearKey() const { return FAllowClearKey; }
    void SetAllowClearKey(bool Value) { FAllowClearKey = Value; }
    TnvComboButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TnvComboButtonStyle Value);
    TnvButtonEffects* ButtonEffects() const { return FButtonEffects.get(); }
    void SetButtonEffects(TnvButtonEffects* Value) { FButtonEffects->Assign(Value); }
    TBitmap* ButtonGlyph() const { return FButtonGlyph.get(); }
    void SetButtonGlyph(TBitmap* Value);
    // 0: max(vertical scroll bar width, 15).
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    TComponent* Controller() const { return FController; }
    void SetController(TComponent* Value);
    // The controller as the form files see it (any component, so a QObject).
    QObject* ControllerObject() const { return dynamic_cast<QObject*>(FController); }
    void SetControllerObject(QObject* Value) { SetController(dynamic_cast<TComponent*>(Value)); }
    const String& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const String& Value);
    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    bool DisableThemes() const { return FDisableThemes; }
    void SetDisableThemes(bool Value);
    int DropDownCount() const { return FDropDownCount; }
    TnvEditFrame* Frame() const { return FFrame.get(); }
    void SetFrame(TnvEditFrame* Value) { FFrame->Assign(Value); }
    // The combo's own read-only state (list mode and the data link may make
    // the edit read-only besides).
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool Value);
    TnvComboStyle Style() const { return FStyle; }
    void SetStyle(TnvComboStyle Value);

    TNotifyEvent OnDropDown;
    TNotifyEvent OnAfterDropDown;
    TnvComboCloseUpEvent OnCloseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // ---- state
    TFieldDataLink* DataLink() const { return FDataLink.get(); }
    TField* Field() const { return FDataLink->Field(); }
    TBtnWinControl* ButtonContainer() const { return FButtonContainer; }
    TnvDropDownButton* Button() const { return FButton; }
    // The combo has the focus in the sense of the frame drawing.
    bool ComboFocused() const { return FFocused; }
    // The themed look: the global switch, unless DisableThemes.
    bool ThemesActive() const { return ThemeServicesEnabled() && !FDisableThemes; }
    // The edit rectangle last applied (client coordinates of the edit).
    const TRect& EditRect() const { return FEditRect; }
    // Owner-painted text starts two pixels in from the top-left corner of its
    // area (after the left indent); with an active frame it starts at the
    // frame's text offsets for the current focus state instead, one more to
    // the right. Moves such an origin (X, Y) from the first to the second.
    void ApplyFrameTextOffsets(int& X, int& Y) const;

    // ---- the drop-down protocol
    virtual void DropDown();
    virtual void CloseUp(bool Accept);
    virtual bool IsDroppedDown() const { return false; }
    // Closes without acceptance when the cursor lies outside both the
    // drop-down and the combo.
    virtual void CloseIfMouseOutside();
    virtual bool IsReadOnly() const;
    virtual bool CanEdit();
    virtual void SetModified(bool Value);
    virtual void SelectAllText();
    virtual void Reset();
    virtual void UpdateButtonPosition();
    virtual void SetEditRect();
    void UpdateButtonGlyph();

    void WndProc(TMessage& Message) override;
    void Loaded() override;
    bool IsPropertyStored(const char* Name) const override;
    void Invalidate() override;

protected:
    // ---- the operations descendants extend or supply
    virtual void SetDropDownCount(int Value);
    virtual TWinControl* GetDropDownControl() = 0;
    virtual TWinControl* GetDropDownContainer() = 0;
    virtual int GetItemCount() = 0;
    // The requested width (0: the combo's) and the height of one item.
    virtual void GetDropDownSize(int& Width, int& ItemHeight) = 0;
    virtual int GetLeftIndent() { return 0; }
    virtual void DropDownButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DrawButton(TCanvas* Canvas, const TRect& Rect, bool& Handled, TControlState ControlState,
                            TButtonState ButtonState);
    virtual void EnterListMode();
    virtual void AfterPaint() {}
    virtual void LeaveListMode();
    virtual bool GetShowButton() const { return FShowButton; }
    virtual bool IsTextEditable() { return true; }
    virtual void GetPaintRect(TRect& Rect);
    virtual void GetEditRect(TRect& Rect);
    virtual int GetButtonWidth() const;
    virtual int GetButtonLeft() const;
    virtual void DoDropDown();
    virtual void DoAfterDropDown();
    virtual void DataChange();
    virtual void EditingChange();
    virtual void HandleDropDownKeys(Word& Key, TShiftState Shift);
    virtual void HandleGridKeys(Word& Key, TShiftState Shift);
    virtual void UpdateData();
    virtual void DoCloseUp(bool Accept);
    virtual bool IsOwnerDrawn() const { return false; }
    virtual int GetEditRightEdge(const TRect& Rect) const;
    virtual int GetTextTop();
    // Paints the text of the unfocused (or copied) combo in Rect.
    virtual void PaintText(TCanvas* Canvas, const TRect& Rect, const String& Text, bool InGrid, bool Highlight) = 0;
    virtual void DrawFrame(TCanvas* Canvas);
    virtual bool IsButtonGlyphStored() const { return FButtonStyle == cbsCustom; }
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual bool IsDataBound() const;
    virtual void PaintGridCell(TCanvas* Canvas, const TRect& Rect, bool Highlight);

    // Applies R (client coordinates of the edit) as the edit's formatting
    // rectangle: the line edit occupies it from then on.
    void ApplyEditRect(const TRect& R);
    // Makes Container the drop-down window: a top-level window that belongs
    // to the combo's window, shows without activating and never takes the
    // focus; hidden. Descendants call it once they created the container.
    void AttachDropDownContainer(TWinControl* Container);
    // The edit's client area (inside its border).
    TRect EditClientRect() const { return TWrapControl::InnerRect(); }
    // Whether the combo paints its text itself now (the line edit does not).
    bool PaintsOwnText() const;

    void Change() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;
    bool PaintsTransparent() const override;
    TRect InnerRect() const override;
    void UpdatePalette() override;
    void BoundsChanged(int OldWidth, int OldHeight) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void EnabledChanged() override;
    void FontChanged() override;

private:
    friend class TnvDropDownButton;
    friend class TnvComboButtonEffects;
    void PaintDropDownButton(TnvDropDownButton* Button);
    void ApplyEditReadOnly();
    void PostDropDown();
    void InstallHook();
    void RemoveMouseHook();
    bool HookMouse(const TMouseHookInfo& Info);
    void FrameLayoutChanged();
    void RepaintButton();

    TBtnWinControl* FButtonContainer = nullptr;
    TnvDropDownButton* FButton = nullptr;
    std::unique_ptr<TFieldDataLink> FDataLink;
    std::unique_ptr<TnvEditFrame> FFrame;
    std::unique_ptr<TnvComboButtonEffects> FButtonEffects;
    std::unique_ptr<TBitmap> FButtonGlyph;
    std::unique_ptr<TCanvas> FMeasureCanvas;
    QImage FMeasureImage;
    TnvAlignVertical FAlignmentVertical = nvavTop;
    bool FAllowClearKey = false;
    TnvComboButtonStyle FButtonStyle = cbsDownArrow;
    int FButtonWidth = 0;
    TComponent* FController = nullptr;
    bool FDisableThemes = false;
    int FDropDownCount = 8;
    bool FReadOnly = false;
    bool FListMode = false;
    bool FLinkReadOnly = false;
    bool FShowButton = true;
    TnvComboStyle FStyle = nvComboTypes::csDropDown;
    bool FFocused = false;
    bool FSuppressButtonPaint = false;
    bool FMouseInCombo = false;
    bool FSettingData = false;
    TRect FEditRect;
    QPointer<QWidget> FWatchedWindow;
};

void RegisterNvComboClasses();
