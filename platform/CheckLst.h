// CheckLst: the list box with a check box before each item.
#pragma once

#include "StdCtrls.h"

// A list box whose items have a check box each. Clicking the box (or
// pressing the space bar on the current item) moves the item's state on as a
// check box does (unchecked, grayed when AllowGrayed, checked) and calls
// OnClickCheck. A disabled item (ItemEnabled false) cannot be changed by
// the user.
class TCustomCheckListBox : public TCustomListBox {
    Q_OBJECT
public:
    explicit TCustomCheckListBox(TComponent* AOwner = nullptr);
    ~TCustomCheckListBox() override;

    // Each raises EListError for an index outside the items.
    bool Checked(int Index) const { return State(Index) == cbChecked; }
    void SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State(int Index) const;
    void SetState(int Index, TCheckBoxState Value);
    bool ItemEnabled(int Index) const;
    void SetItemEnabled(int Index, bool Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);
    // Whether a client point lies on an item's check box.
    bool InCheckBox(TPoint Pos, int* Index = nullptr) const;

    TNotifyEvent OnClickCheck;

protected:
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyPress(char& Key) override;
    // Moves an item on to its next state as a click does.
    void ToggleClickCheck(int Index);
    virtual void ClickCheck();
    int CheckWidth() const;

private:
    bool FAllowGrayed = false;
};

class TCheckListBox : public TCustomCheckListBox {
    Q_OBJECT
    Q_PROPERTY(ControlsTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE SetAllowGrayed)
    Q_PROPERTY(ControlsTypes::TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(ControlsTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool Sorted READ Sorted WRITE SetSorted)
    Q_PROPERTY(StdCtrlsTypes::TListBoxStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick MEMBER OnClick)
    Q_PROPERTY(TNotifyEvent OnClickCheck MEMBER OnClickCheck)
    Q_PROPERTY(TNotifyEvent OnDblClick MEMBER OnDblClick)
    Q_PROPERTY(TDrawItemEvent OnDrawItem MEMBER OnDrawItem)
    Q_PROPERTY(TNotifyEvent OnEnter MEMBER OnEnter)
    Q_PROPERTY(TNotifyEvent OnExit MEMBER OnExit)
    Q_PROPERTY(TKeyEvent OnKeyDown MEMBER OnKeyDown)
    Q_PROPERTY(TKeyPressEvent OnKeyPress MEMBER OnKeyPress)
    Q_PROPERTY(TKeyEvent OnKeyUp MEMBER OnKeyUp)
    Q_PROPERTY(TMeasureItemEvent OnMeasureItem MEMBER OnMeasureItem)
    Q_PROPERTY(TMouseEvent OnMouseDown MEMBER OnMouseDown)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove MEMBER OnMouseMove)
    Q_PROPERTY(TMouseEvent OnMouseUp MEMBER OnMouseUp)
public:
    explicit TCheckListBox(TComponent* AOwner = nullptr) : TCustomCheckListBox(AOwner) {}
};

void RegisterCheckLstClasses();
