#include "CheckLst.h"

#include <QListWidget>

namespace {

// Where an item keeps its check state and whether it is enabled.
constexpr int StateRole = Qt::UserRole + 1;
constexpr int DisabledRole = Qt::UserRole + 2;

} // namespace

TCustomCheckListBox::TCustomCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}

TCustomCheckListBox::~TCustomCheckListBox() = default;

int TCustomCheckListBox::CheckWidth() const
{
    // The box (13 pixels) with a pixel before and two after it.
    return 16;
}

TCheckBoxState TCustomCheckListBox::State(int Index) const
{
    CheckIndex(Index);
    return static_cast<TCheckBoxState>(FList->item(Index)->data(StateRole).toInt());
}

void TCustomCheckListBox::SetState(int Index, TCheckBoxState Value)
{
    CheckIndex(Index);
    if (Value < cbUnchecked || Value > cbGrayed)
        throw EInvalidOperation("Invalid check box state " + std::to_string(static_cast<int>(Value)));
    FList->item(Index)->setData(StateRole, static_cast<int>(Value));
}

bool TCustomCheckListBox::ItemEnabled(int Index) const
{
    CheckIndex(Index);
    return !FList->item(Index)->data(DisabledRole).toBool();
}

void TCustomCheckListBox::SetItemEnabled(int Index, bool Value)
{
    CheckIndex(Index);
    FList->item(Index)->setData(DisabledRole, !Value);
}

void TCustomCheckListBox::SetAllowGrayed(bool Value)
{
    FAllowGrayed = Value;
}

bool TCustomCheckListBox::InCheckBox(TPoint Pos, int* Index) const
{
    // Client points of the control; the items lie inside the border.
    const TRect Inner = InnerRect();
    const TPoint P(Pos.X - Inner.Left, Pos.Y - Inner.Top);
    const int I = ItemAtPos(P, true);
    if (Index)
        *Index = I;
    return I >= 0 && P.X >= 0 && P.X < CheckWidth();
}

void TCustomCheckListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TCanvas* C = Canvas();
    const bool Enabled = ItemEnabled(Index) && !State.testFlag(odDisabled);
    // The box on the list's colour, the item beside it.
    TRect Box(Rect.Left, Rect.Top, Rect.Left + CheckWidth(), Rect.Bottom);
    const TColor OldBrush = C->Brush()->Color();
    const TColor OldFont = C->Font()->Color();
    C->Brush()->SetColor(FColor);
    C->FillRect(Box);
    TRect Mark = Bounds(Box.Left + 1, Box.Top + (Box.Height() - 13) / 2, 13, 13);
    const TCheckBoxState S = this->State(Index);
    unsigned St = S == cbGrayed ? unsigned(DFCS_BUTTON3STATE | DFCS_CHECKED)
                                : DFCS_BUTTONCHECK | (S == cbChecked ? unsigned(DFCS_CHECKED) : 0u);
    if (!Enabled)
        St |= DFCS_INACTIVE;
    DrawFrameControl(C, Mark, DFC_BUTTON, St);
    C->Brush()->SetColor(OldBrush);
    C->Font()->SetColor(Enabled ? OldFont : clGrayText);
    TRect R = Rect;
    R.Left += CheckWidth();
    if (!Enabled)
        State |= odDisabled;
    TCustomListBox::DrawItem(Index, R, State);
}

void TCustomCheckListBox::ToggleClickCheck(int Index)
{
    if (Index < 0 || Index >= Count() || !Enabled() || !ItemEnabled(Index))
        return;
    TCheckBoxState S = State(Index);
    switch (S) {
    case cbUnchecked: S = FAllowGrayed ? cbGrayed : cbChecked; break;
    case cbGrayed: S = cbChecked; break;
    case cbChecked: S = cbUnchecked; break;
    }
    SetState(Index, S);
    FList->viewport()->update();
    ClickCheck();
}

void TCustomCheckListBox::ClickCheck()
{
    if (OnClickCheck)
        OnClickCheck(this);
}

void TCustomCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    int Index = -1;
    if (Button == mbLeft && InCheckBox(TPoint(X, Y), &Index))
        ToggleClickCheck(Index);
    TCustomListBox::MouseDown(Button, Shift, X, Y);
}

void TCustomCheckListBox::KeyPress(char& Key)
{
    TCustomListBox::KeyPress(Key);
    if (Key == ' ') {
        ToggleClickCheck(ItemIndex());
        Key = 0;
    }
}

void RegisterCheckLstClasses()
{
    RegisterClasses<TCheckListBox>();
}

namespace {
[[maybe_unused]] const bool CheckLstRegistered = (RegisterCheckLstClasses(), true);
}
