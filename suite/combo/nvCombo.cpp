#include "nvCombo.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>

#include <algorithm>

#include "Canvas.h"
#include "DBFields.h"
#include "Forms.h"
#include "TypInfo.h"
#include "nvCommon.h"

namespace {

// The one mouse hook of all combos, the combos that are open (the last one
// opened first served), and the combo it serves.
THookHandle GHook = 0;
bool GHookInstalled = false;
QPointer<TnvCustomCombo> GHookCombo;
std::vector<TnvCustomCombo*> GHookUsers;

bool IsWidgetIn(const QWidget* Outer, const QWidget* W)
{
    return Outer && W && (W == Outer || Outer->isAncestorOf(W));
}

} // namespace

unsigned NvComboDropDownMessage()
{
    static const unsigned Msg = RegisterWindowMessage("NVCOMBODROPDOWNMESSAGE");
    return Msg;
}

bool NvComboMouseHookInstalled()
{
    return GHookInstalled;
}

void LoadDropDownGlyph(TBitmap* Bitmap)
{
    // A downward triangle 7, 5, 3 and 1 pixels wide, centred in 10 x 4, on
    // olive (the transparent colour in the bottom-left corner).
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(10, 4);
    for (int Row = 0; Row < 4; ++Row) {
        uint8_t* Line = Bitmap->ScanLine(Row);
        for (int X = 0; X < 10; ++X) {
            const bool Arrow = X >= 1 + Row && X < 8 - Row;
            // Blue, green, red.
            Line[3 * X] = 0;
            Line[3 * X + 1] = Arrow ? 0 : 0x80;
            Line[3 * X + 2] = Arrow ? 0 : 0x80;
        }
    }
}

// ---------------------------------------------------------------- TBtnWinControl

TBtnWinControl::TBtnWinControl(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle |= csReplicatable;
    FControlStyle &= ~TControlStyle(csOpaque);
    FColor = clBtnFace;
    SetBounds(0, 0, std::max(GetSystemMetrics(SM_CXVSCROLL) + 4, 17), 17);
}

void TBtnWinControl::PaintControl(QImage&)
{
    // Nothing of its own: the button paints, the combo shows elsewhere.
}

// ---------------------------------------------------------------- TnvDropDownButton

TnvDropDownButton::TnvDropDownButton(TComponent* AOwner) : TnvComboButton(AOwner) {}

bool TnvDropDownButton::ThemesActive() const
{
    return FCombo ? FCombo->ThemesActive() : TnvComboButton::ThemesActive();
}

void TnvDropDownButton::Paint()
{
    if (FCombo)
        FCombo->PaintDropDownButton(this);
    else
        PaintButton();
}

void TnvDropDownButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TnvDropDownButton> Self(this);
    TnvComboButton::MouseUp(Button, Shift, X, Y);
    if (!Self || !FCombo)
        return;
    if (FCombo->ButtonEffects()->Flat() || FCombo->ButtonEffects()->Transparent())
        InvalidateControlArea(Parent(), false);
    FCombo->Invalidate();
}

// ---------------------------------------------------------------- TnvComboButtonEffects

TnvComboButtonEffects::TnvComboButtonEffects(TnvCustomCombo* Combo, TnvComboButton* Button)
    : TnvButtonEffects(Combo, Button), FOwnerCombo(Combo)
{
}

void TnvComboButtonEffects::Refresh()
{
    if (FOwnerCombo)
        FOwnerCombo->UpdateButtonGlyph();
}

// ---------------------------------------------------------------- TnvCustomCombo

TnvCustomCombo::TnvCustomCombo(TComponent* AOwner)
    : TCustomEdit(AOwner), FDataLink(std::make_unique<TFieldDataLink>()),
      FFrame(std::make_unique<TnvEditFrame>(this)), FButtonGlyph(std::make_unique<TBitmap>()),
      FMeasureCanvas(std::make_unique<TCanvas>())
{
    FButtonContainer = new TBtnWinControl(this);
    FButtonContainer->SetParent(this);
    FButton = new TnvDropDownButton(this);
    FButton->SetCombo(this);
    FButton->SetParent(FButtonContainer);
    FButton->SetBounds(0, 0, GetButtonWidth(), 17);
    FButton->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        DropDownButtonMouseDown(Sender, Button, Shift, X, Y);
    };
    FButtonEffects = std::make_unique<TnvComboButtonEffects>(this, FButton);
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink->OnEditingChange = [this](TObject*) { EditingChange(); };
    FDataLink->OnUpdateData = [this](TObject*) { UpdateData(); };
    FFrame->OnLayoutChange = [this] { FrameLayoutChanged(); };
    FMeasureImage = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
    FMeasureCanvas->SetTarget(&FMeasureImage);
    LineEdit()->installEventFilter(this);
    // The text starts at the edit rectangle's top-left corner, as the owner
    // painted text of the unfocused combo does (the line edit keeps a margin
    // of 2 pixels of its own at the left).
    LineEdit()->setTextMargins(-2, 0, 0, 0);
    LineEdit()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    UpdateButtonPosition();
}

TnvCustomCombo::~TnvCustomCombo()
{
    RemoveMouseHook();
    FFrame->OnLayoutChange = nullptr;
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnEditingChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
    FDataLink->SetDataSource(nullptr);
    if (FButton) {
        FButton->SetCombo(nullptr);
        FButton->OnMouseDown = nullptr;
    }
    if (FWatchedWindow)
        FWatchedWindow->removeEventFilter(this);
}

// ---- properties

void TnvCustomCombo::SetAlignmentVertical(TnvAlignVertical Value)
{
    if (FAlignmentVertical == Value)
        return;
    FAlignmentVertical = Value;
    SetEditRect();
    Invalidate();
}

void TnvCustomCombo::SetButtonStyle(TnvComboButtonStyle Value)
{
    if (Value < cbsEllipsis || Value > cbsCustom)
        throw EInvalidOperation("Invalid button style " + std::to_string(static_cast<int>(Value)));
    if (FButtonStyle == Value)
        return;
    FButtonStyle = Value;
    if (!IsLoading())
        RecreateWnd();
    UpdateButtonGlyph();
    RepaintButton();
}

void TnvCustomCombo::SetButtonGlyph(TBitmap* Value)
{
    if (Value)
        FButtonGlyph->Assign(Value);
    else
        FButtonGlyph->Assign(std::make_unique<TBitmap>().get());
    UpdateButtonGlyph();
}

void TnvCustomCombo::SetButtonWidth(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("ButtonWidth cannot be negative (" + std::to_string(Value) + ")");
    if (FButtonWidth == Value)
        return;
    FButtonWidth = Value;
    if (!IsLoading())
        UpdateButtonPosition();
}

void TnvCustomCombo::SetController(TComponent* Value)
{
    if (FController == Value)
        return;
    if (FController)
        FController->RemoveFreeNotification(this);
    FController = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    auto* Obj = dynamic_cast<QObject*>(Value);
    if (auto* Source = dynamic_cast<TPersistent*>(Obj ? GetObjectProp(Obj, "Frame") : nullptr)) {
        FFrame->Assign(Source);
        if (!IsLoading())
            RecreateWnd();
    }
}

void TnvCustomCombo::SetDataField(const String& Value)
{
    FDataLink->SetFieldName(Value);
}

void TnvCustomCombo::SetDataSource(TDataSource* Value)
{
    FDataLink->SetDataSource(Value, this);
}

void TnvCustomCombo::SetDisableThemes(bool Value)
{
    if (FDisableThemes == Value)
        return;
    FDisableThemes = Value;
    Invalidate();
}

void TnvCustomCombo::SetDropDownCount(int Value)
{
    FDropDownCount = Value;
}

void TnvCustomCombo::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    ApplyEditReadOnly();
}

void TnvCustomCombo::SetShowButton(bool Value)
{
    if (FShowButton == Value)
        return;
    FShowButton = Value;
    UpdateButtonPosition();
}

void TnvCustomCombo::SetStyle(TnvComboStyle Value)
{
    if (Value != nvComboTypes::csDropDown && Value != nvComboTypes::csDropDownList)
        throw EInvalidOperation("Invalid combo style " + std::to_string(static_cast<int>(Value)));
    if (FStyle == Value)
        return;
    FStyle = Value;
    LineEdit()->setCursor(Value == nvComboTypes::csDropDownList ? Qt::ArrowCursor : Qt::IBeamCursor);
    if (IsLoading() || !HandleAllocated())
        return;
    if (Value == nvComboTypes::csDropDownList)
        EnterListMode();
    else
        LeaveListMode();
}

bool TnvCustomCombo::IsPropertyStored(const char* Name) const
{
    if (String(Name) == "ButtonGlyph")
        return IsButtonGlyphStored();
    return TCustomEdit::IsPropertyStored(Name);
}

void TnvCustomCombo::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FController)
        FController = nullptr;
    if (FDataLink)
        FDataLink->DataSourceRemoved(AComponent);
}

void TnvCustomCombo::Loaded()
{
    TCustomEdit::Loaded();
    if (FStyle == nvComboTypes::csDropDownList)
        EnterListMode();
    UpdateButtonGlyph();
    if (Parent() || Owner())
        UpdateButtonPosition();
}

void TnvCustomCombo::CreateWnd()
{
    TCustomEdit::CreateWnd();
    UpdateButtonPosition();
}

// ---- geometry

int TnvCustomCombo::GetButtonWidth() const
{
    return FButtonWidth != 0 ? FButtonWidth : std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
}

int TnvCustomCombo::GetButtonLeft() const
{
    return FButtonContainer ? FButtonContainer->Left() - EditClientRect().Left : 0;
}

int TnvCustomCombo::GetEditRightEdge(const TRect&) const
{
    return 0;
}

void TnvCustomCombo::UpdateButtonPosition()
{
    if (!FButtonContainer || !FButton)
        return;
    const bool Active = FFrame->IsActive();
    const bool Border = BorderStyle() == bsSingle;
    int B = Active ? -2 : 0; // vertical inset
    int C = -4;              // right inset
    if (!Border) {
        C = B;
        B = Active ? -4 : 0;
    }
    const TRect Client = EditClientRect();
    const int W = GetButtonWidth();
    const int H = std::max(0, Client.Height() + B);
    FButtonContainer->SetBounds(Client.Left + Width() + C - W, Client.Top + (Active ? 2 : 0), W, H);
    if (Border)
        FButton->SetBounds(0, 0, W, H);
    else
        FButton->SetBounds(0, -1, W, H + 1);
    FButtonContainer->SetVisible(GetShowButton());
    SetEditRect();
}

int TnvCustomCombo::GetTextTop()
{
    const bool Border = BorderStyle() == bsSingle;
    if (FAlignmentVertical != nvavCenter)
        return Border ? 0 : 1;
    FMeasureCanvas->Font()->Assign(Font());
    const int H = FMeasureCanvas->TextHeight("A");
    return Border ? (Height() - H - 5) / 2 : 1 + (Height() - H - 2) / 2;
}

void TnvCustomCombo::GetEditRect(TRect& R)
{
    const TRect Client = EditClientRect();
    R = TRect(0, 0, Client.Width(), Client.Height());
    R.Bottom = Client.Height() + 1;
    R.Right = GetShowButton() ? GetButtonLeft() - 2 : Client.Width() - 2;
    R.Top = GetTextTop();
    R.Left = BorderStyle() == bsSingle ? 0 : 1;
    if (FFrame->IsActive())
        FFrame->AdjustEditRect(R);
    R.Left += GetLeftIndent();
}

void TnvCustomCombo::SetEditRect()
{
    TRect R;
    GetEditRect(R);
    ApplyEditRect(R);
}

void TnvCustomCombo::ApplyEditRect(const TRect& R)
{
    FEditRect = R;
    LayoutInner();
}

TRect TnvCustomCombo::InnerRect() const
{
    const TRect Client = EditClientRect();
    TRect R = FEditRect;
    OffsetRect(R, Client.Left, Client.Top);
    TRect Limit = Client;
    if (FFrame && FFrame->IsActive()) {
        // The line edit stays inside the focused frame's lines.
        const int Line = IsOneLineFrameStyle(FFrame->FocusStyle()) ? 1 : 2;
        const TnvEditFrameEnabledSet B = FFrame->FocusBorders();
        if (B.testFlag(efLeftBorder))
            Limit.Left += Line;
        if (B.testFlag(efTopBorder))
            Limit.Top += Line;
        if (B.testFlag(efBottomBorder))
            Limit.Bottom -= Line;
    }
    TRect Out;
    if (!IntersectRect(Out, R, Limit))
        return TRect(Client.Left, Client.Top, Client.Left, Client.Top);
    return Out;
}

void TnvCustomCombo::GetPaintRect(TRect& Rect)
{
    Rect = EditClientRect();
}

void TnvCustomCombo::BoundsChanged(int OldWidth, int OldHeight)
{
    TCustomEdit::BoundsChanged(OldWidth, OldHeight);
    UpdateButtonPosition();
}

void TnvCustomCombo::FontChanged()
{
    TCustomEdit::FontChanged();
    SetEditRect();
}

void TnvCustomCombo::EnabledChanged()
{
    TCustomEdit::EnabledChanged();
    if (FButton)
        FButton->SetEnabled(Enabled());
    Invalidate();
}

void TnvCustomCombo::FrameLayoutChanged()
{
    UpdateButtonPosition();
    UpdatePalette();
    Invalidate();
}

// ---- modes and editing

void TnvCustomCombo::ApplyEditReadOnly()
{
    TCustomEdit::SetReadOnly(FReadOnly || FListMode || FLinkReadOnly);
}

void TnvCustomCombo::EnterListMode()
{
    FListMode = true;
    ApplyEditReadOnly();
}

void TnvCustomCombo::LeaveListMode()
{
    if (!HandleAllocated())
        return;
    FListMode = false;
    ApplyEditReadOnly();
}

bool TnvCustomCombo::IsReadOnly() const
{
    return FReadOnly || FDataLink->ReadOnly() || (Field() && !Field()->CanModify());
}

bool TnvCustomCombo::IsDataBound() const
{
    return FDataLink->DataSource() != nullptr || !FDataLink->FieldName().empty();
}

bool TnvCustomCombo::CanEdit()
{
    if (IsReadOnly())
        return false;
    if (TDataSource* DS = FDataLink->DataSource())
        if (!DS->AutoEdit() && DS->State() != dsEdit && DS->State() != dsInsert)
            return false;
    if (Field())
        return FDataLink->Edit();
    return true;
}

void TnvCustomCombo::SetModified(bool Value)
{
    if (Value)
        if (TDataSource* DS = FDataLink->DataSource(); DS && (DS->State() == dsEdit || DS->State() == dsInsert))
            FDataLink->Modified();
    TCustomEdit::SetModified(Value);
}

void TnvCustomCombo::SelectAllText()
{
    SelectAll();
}

void TnvCustomCombo::Reset()
{
    if (Field())
        FDataLink->Reset();
    SelectAll();
    TCustomEdit::SetModified(false);
    AfterPaint();
}

void TnvCustomCombo::Change()
{
    if (Field()) {
        // A change the user made; the data link's own updates do not count.
        if (!FSettingData && !IsLoading())
            FDataLink->Modified();
    } else {
        TCustomEdit::SetModified(true);
    }
    TCustomEdit::Change();
}

// ---- data link

void TnvCustomCombo::DataChange()
{
    const bool Was = FSettingData;
    FSettingData = true;
    struct TRestore {
        bool& Flag;
        bool Value;
        ~TRestore() { Flag = Value; }
    } Restore{FSettingData, Was};
    if (TField* F = Field()) {
        if (!IsDesigning() && F->DataType() == ftString && MaxLength() == 0)
            SetMaxLength(F->Size());
        SetText(FFocused && FDataLink->CanModify() ? F->EditText() : F->DisplayText());
    } else {
        SetText(IsDesigning() ? Name() : String());
    }
    // The link reports editing changes only; the state of a new field is
    // taken here.
    EditingChange();
}

void TnvCustomCombo::EditingChange()
{
    FLinkReadOnly = Field() != nullptr && !FDataLink->Editing();
    ApplyEditReadOnly();
}

void TnvCustomCombo::UpdateData()
{
    if (TField* F = Field())
        if (F->EditText() != Text())
            F->SetEditText(Text());
}

// ---- drop-down protocol

void TnvCustomCombo::AttachDropDownContainer(TWinControl* Container)
{
    if (!Container)
        return;
    Container->QWidget::setParent(this, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    Container->setAttribute(Qt::WA_ShowWithoutActivating);
    Container->setFocusPolicy(Qt::NoFocus);
    Container->SetVisible(false);
    Container->QWidget::hide();
}

void TnvCustomCombo::DoDropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TnvCustomCombo::DoAfterDropDown()
{
    if (OnAfterDropDown)
        OnAfterDropDown(this);
}

void TnvCustomCombo::DoCloseUp(bool Accept)
{
    if (OnCloseUp)
        OnCloseUp(this, Accept);
}

void TnvCustomCombo::ApplyFrameTextOffsets(int& X, int& Y) const
{
    if (!FFrame->IsActive())
        return;
    int OX = 0, OY = 0;
    FFrame->GetTextOffsets(OX, OY, FFocused);
    X += OX - 1;
    Y += OY - 2;
}

void TnvCustomCombo::InstallHook()
{
    GHookCombo = this;
    if (std::find(GHookUsers.begin(), GHookUsers.end(), this) == GHookUsers.end())
        GHookUsers.push_back(this);
    if (!GHookInstalled) {
        GHook = InstallMouseHook([](const TMouseHookInfo& Info) {
            return GHookCombo ? GHookCombo->HookMouse(Info) : false;
        });
        GHookInstalled = true;
    }
}

void TnvCustomCombo::RemoveMouseHook()
{
    // Another combo that is still open keeps the hook and gets its attention.
    GHookUsers.erase(std::remove(GHookUsers.begin(), GHookUsers.end(), this), GHookUsers.end());
    if (!GHookUsers.empty()) {
        if (GHookCombo == this || !GHookCombo)
            GHookCombo = GHookUsers.back();
        return;
    }
    if (GHookInstalled) {
        RemoveHook(GHook);
        GHookInstalled = false;
    }
    GHookCombo = nullptr;
}

void TnvCustomCombo::DropDown()
{
    InstallHook();
    DoDropDown();
    TWinControl* Container = GetDropDownContainer();
    TWinControl* DropControl = GetDropDownControl();
    if (!Container)
        return;
    const QPoint Origin = mapToGlobal(QPoint(0, 0));
    TPoint P(Origin.x(), Origin.y());
    int RequestedWidth = 0;
    int ItemHeight = 0;
    GetDropDownSize(RequestedWidth, ItemHeight);
    const int Count = GetItemCount();
    const int BorderH = GetSystemMetrics(SM_CYBORDER);
    int H = Count < 1 ? Height() : ItemHeight * std::min(FDropDownCount, Count);
    H += 2 * BorderH;
    int W = Width();
    if (RequestedWidth != 0)
        W = std::max(Width(), 2 * BorderH + RequestedWidth + 2 * GetSystemMetrics(SM_CXVSCROLL));
    if (P.X > Screen->Width() - W)
        P.X = P.X + Width() - W;
    if (P.Y + Height() + H > Screen->Height())
        P.Y = P.Y - Height() - H;
    if (DropControl)
        Container->SetColor(DropControl->Color());
    TCustomForm* Form = GetParentForm();
    const bool OnTop = Form && Form->FormStyle() == fsStayOnTop;
    if (Container->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != OnTop) {
        Container->setWindowFlag(Qt::WindowStaysOnTopHint, OnTop);
    }
    Container->SetBounds(P.X, P.Y + Height(), W, H);
    Container->SetVisible(true);
    Container->QWidget::show();
    // Moving or leaving the form closes the list.
    if (QWidget* Win = window(); Win != FWatchedWindow) {
        if (FWatchedWindow)
            FWatchedWindow->removeEventFilter(this);
        FWatchedWindow = Win;
        Win->installEventFilter(this);
    }
    DoAfterDropDown();
    if (DropControl)
        DropControl->Update();
    LeaveListMode();
}

void TnvCustomCombo::CloseUp(bool)
{
    SelectAllText();
    if (IsDroppedDown()) {
        TWinControl* Container = GetDropDownContainer();
        TWinControl* DropControl = GetDropDownControl();
        const bool HadFocus = DropControl && IsWidgetIn(DropControl, QApplication::focusWidget());
        if (Container) {
            Container->SetVisible(false);
            Container->QWidget::hide();
        }
        Invalidate();
        if (HadFocus && CanFocus())
            SetFocus();
    }
    if (FStyle == nvComboTypes::csDropDownList)
        EnterListMode();
    if (FWatchedWindow) {
        FWatchedWindow->removeEventFilter(this);
        FWatchedWindow = nullptr;
    }
    RemoveMouseHook();
}

void TnvCustomCombo::CloseIfMouseOutside()
{
    if (!IsDroppedDown())
        return;
    const QPoint P = QCursor::pos();
    TWinControl* DropControl = GetDropDownControl();
    const bool InDrop =
        DropControl && QRect(DropControl->mapToGlobal(QPoint(0, 0)), DropControl->size()).contains(P);
    const bool InCombo = QRect(mapToGlobal(QPoint(0, 0)), size()).contains(P);
    if (!InDrop && !InCombo)
        CloseUp(false);
}

bool TnvCustomCombo::HookMouse(const TMouseHookInfo& Info)
{
    if (!IsDroppedDown())
        return false;
    TWinControl* DropControl = GetDropDownControl();
    if (!DropControl)
        return false;
    const QPoint SP(Info.ScreenPos.X, Info.ScreenPos.Y);
    const QRect DropRect(DropControl->mapToGlobal(QPoint(0, 0)), DropControl->size());
    const bool Outside = !DropRect.contains(SP);
    const bool OnDrop = IsWidgetIn(DropControl, Info.Widget);
    const bool OnCombo = IsWidgetIn(this, Info.Widget);
    auto Message = [&](unsigned Msg) {
        const QPoint C = DropControl->mapFromGlobal(SP);
        const int X = C.x() < 0 ? -1 : C.x();
        const int Y = C.y() < 0 ? -1 : C.y();
        return TMessage{Msg, KeyboardShiftState().toInt(), PointToLParam(X, Y), 0};
    };
    switch (Info.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (OnDrop && Outside) {
            TMessage M = Message(Info.Msg);
            DropControl->Perform(M.Msg, M.WParam, M.LParam);
            return true;
        }
        if (OnCombo && !Outside) {
            // A press that began on the combo: the list gets the rest of it.
            TMessage M = Message(Info.Msg);
            QPointer<TWinControl> Target(DropControl);
            Target->Perform(M.Msg, M.WParam, M.LParam);
            return Info.Msg == WM_MOUSEMOVE;
        }
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (Outside && Info.Widget && Info.Widget->window() == window()) {
            const TMessage M = Message(WM_LBUTTONDOWN);
            QPointer<TWinControl> Target(DropControl);
            QMetaObject::invokeMethod(
                DropControl,
                [Target, M] {
                    if (Target)
                        Target->Perform(M.Msg, M.WParam, M.LParam);
                },
                Qt::QueuedConnection);
        }
        return false;
    default: return false;
    }
}

void TnvCustomCombo::PostDropDown()
{
    QPointer<TnvCustomCombo> Self(this);
    QMetaObject::invokeMethod(
        this,
        [Self] {
            if (Self)
                Self->Perform(NvComboDropDownMessage());
        },
        Qt::QueuedConnection);
}

void TnvCustomCombo::DropDownButtonMouseDown(TObject*, TMouseButton Button, TShiftState, int, int)
{
    if (Button != mbLeft)
        return;
    if (IsDroppedDown()) {
        CloseUp(true);
        return;
    }
    if (!FFocused && CanFocus())
        SetFocus();
    if (FFocused)
        PostDropDown();
}

// ---- keyboard

void TnvCustomCombo::HandleDropDownKeys(Word& Key, TShiftState Shift)
{
    const bool Alt = Shift.testFlag(ssAlt);
    auto Toggle = [this] {
        if (IsDroppedDown())
            CloseUp(true);
        else
            DropDown();
    };
    if (Key == VK_F4 && !Alt) {
        Toggle();
        Key = 0;
    } else if ((Key == VK_UP || Key == VK_DOWN) && Alt) {
        Toggle();
        Key = 0;
    } else if ((Key == VK_RETURN || Key == VK_ESCAPE) && IsDroppedDown() && !Alt) {
        CloseUp(Key == VK_RETURN);
        Key = 0;
    }
}

void TnvCustomCombo::HandleGridKeys(Word&, TShiftState)
{
    // Only an in-place editor of a grid passes navigation keys on; no grid
    // of this program hosts a combo.
}

void TnvCustomCombo::KeyDown(Word& Key, TShiftState Shift)
{
    if (GetKeyDown(VK_MENU))
        Shift |= ssAlt;
    TCustomEdit::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    if (Key == VK_ESCAPE && Modified() && !IsDroppedDown()) {
        Reset();
        Key = 0;
        return;
    }
    HandleDropDownKeys(Key, Shift);
    if (Key == 0)
        return;
    if (ParentIsGrid(this))
        HandleGridKeys(Key, Shift);
    if (Key == VK_DELETE || (Key == VK_INSERT && Shift.testFlag(ssShift))) {
        if (!CanEdit())
            Key = 0;
        else if (Key == VK_DELETE && Field())
            FDataLink->Modified();
    }
}

void TnvCustomCombo::KeyPress(char& Key)
{
    TCustomEdit::KeyPress(Key);
    if (Key == 0)
        return;
    if (IsReadOnly()) {
        Key = 0;
        return;
    }
    const auto C = static_cast<unsigned char>(Key);
    if (C == 8 || C == 22 || C == 24 || C >= 32) {
        if (!(IsTextEditable() && (IsDroppedDown() || CanEdit())))
            Key = 0;
    } else if (C == 9 || C == 13) {
        if (ParentIsGrid(this))
            Key = 0;
    } else if (C == 27) {
        Key = 0;
    }
}

// ---- focus and mouse

void TnvCustomCombo::DoEnter()
{
    FFocused = true;
    if (Field() && !FDataLink->IsModified())
        DataChange(); // the edit text replaces the display text
    if (!Field())
        TCustomEdit::SetModified(false);
    if (AutoSelect() && !GetKeyDown(VK_LBUTTON))
        SelectAll();
    if (FStyle == nvComboTypes::csDropDownList)
        EnterListMode();
    FFrame->SetTransparentNow(false);
    UpdatePalette();
    Invalidate();
    RepaintButton();
    TCustomEdit::DoEnter();
}

void TnvCustomCombo::DoExit()
{
    if (IsDroppedDown())
        CloseUp(true);
    try {
        FDataLink->UpdateRecord();
    } catch (...) {
        SelectAll();
        if (CanFocus())
            SetFocus();
        throw;
    }
    FFocused = false;
    if (FFrame->Transparent() && FFrame->IsActive()) {
        FFrame->SetTransparentNow(true);
        SetEditRect();
        TnvEditFrame::InvalidateBehind(this, true);
    }
    if (Field())
        DataChange();
    UpdatePalette();
    Invalidate();
    RepaintButton();
    TCustomEdit::DoExit();
}

void TnvCustomCombo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TnvCustomCombo> Self(this);
    TCustomEdit::MouseDown(Button, Shift, X, Y);
    if (!Self || FStyle != nvComboTypes::csDropDownList)
        return;
    if (IsDroppedDown() || Button != mbLeft) {
        CloseUp(true);
        return;
    }
    if (!FFocused && CanFocus())
        SetFocus();
    PostDropDown();
}

void TnvCustomCombo::DoMouseEnter()
{
    FMouseInCombo = true;
    try {
        if (OnMouseEnter)
            OnMouseEnter(this);
    } catch (...) {
        return;
    }
    if (FFrame->IsActive() && FFrame->MouseEnterSameAsFocus() && !FFocused)
        Invalidate();
}

void TnvCustomCombo::DoMouseLeave()
{
    // Moving onto a child window of the combo is no leaving.
    if (underMouse() && rect().contains(mapFromGlobal(QCursor::pos())))
        return;
    FMouseInCombo = false;
    try {
        if (OnMouseLeave)
            OnMouseLeave(this);
    } catch (...) {
        return;
    }
    if (FFrame->IsActive() && !FFocused) {
        if (FFrame->Transparent())
            FFrame->SetTransparentNow(true);
        Invalidate();
    }
}

// ---- painting

bool TnvCustomCombo::PaintsOwnText() const
{
    return !FFocused && (FFrame->Enabled() || IsOwnerDrawn());
}

bool TnvCustomCombo::PaintsTransparent() const
{
    return FFrame->IsActive() && FFrame->TransparentNow() && !FFocused;
}

void TnvCustomCombo::UpdatePalette()
{
    TCustomEdit::UpdatePalette();
    if (!LineEdit() || !FFrame || FFocused || FFrame->NonFocusColor() == clNone || PaintsTransparent())
        return;
    // The unfocused edit's background.
    QPalette P = LineEdit()->palette();
    const QColor Back = ColorToQColor(FFrame->NonFocusColor());
    for (QPalette::ColorGroup G : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        P.setColor(G, QPalette::Base, Back);
        P.setColor(G, QPalette::Window, Back);
    }
    LineEdit()->setPalette(P);
}

void TnvCustomCombo::Invalidate()
{
    TCustomEdit::Invalidate();
    if (LineEdit())
        LineEdit()->update();
}

void TnvCustomCombo::RepaintButton()
{
    if (FButton)
        FButton->Invalidate();
}

void TnvCustomCombo::DrawFrame(TCanvas* Canvas)
{
    const bool AsFocused = FFocused || (FMouseInCombo && FFrame->MouseEnterSameAsFocus());
    DrawEditFrame(this, FFrame.get(), Canvas, AsFocused);
}

void TnvCustomCombo::Paint()
{
    TCanvas* C = Canvas();
    const bool Copy = ControlState().testFlag(csPaintCopy);
    if (!PaintsTransparent()) {
        TColor Back = Color();
        if (!FFocused && FFrame->NonFocusColor() != clNone)
            Back = FFrame->NonFocusColor();
        FSuppressButtonPaint = true;
        FillSolidRect(C, ClientRect(), Back);
        FSuppressButtonPaint = false;
    }
    if (BorderStyle() == bsSingle) {
        TRect R = ClientRect();
        DrawEdge(C, R, EDGE_SUNKEN, BF_RECT);
    }
    if (PaintsOwnText() || Copy) {
        const String S = Field() ? Field()->DisplayText() : Text();
        TRect R;
        GetPaintRect(R);
        C->Font()->Assign(Font());
        PaintText(C, R, S, false, false);
        if (FFrame->IsActive())
            DrawFrame(C);
    } else {
        AfterPaint();
        if (FFrame->IsActive())
            DrawFrame(C);
    }
}

void TnvCustomCombo::PaintGridCell(TCanvas*, const TRect&, bool) {}

void TnvCustomCombo::DrawButton(TCanvas* Canvas, const TRect& Rect, bool& Handled, TControlState ControlState,
                                TButtonState ButtonState)
{
    const bool Down = ButtonState == bsDown || ButtonState == bsExclusive;
    switch (FButtonStyle) {
    case cbsDownArrow:
        DrawComboArrowButton(Canvas, Rect, Down, ControlState.toInt(), Enabled());
        Handled = true;
        break;
    case cbsEllipsis: {
        const bool NoEdge = FButtonEffects->Flat() && !FButton->MouseInside() && !FFocused;
        DrawEllipsisButton(Canvas, Rect, Down ? int(bsDown) : int(bsUp), ControlState.toInt(),
                           FButtonEffects->Transparent(), NoEdge);
        Handled = true;
        break;
    }
    case cbsCustom: Handled = false; break;
    }
}

void TnvCustomCombo::PaintDropDownButton(TnvDropDownButton* Button)
{
    if (FSuppressButtonPaint)
        return;
    if (ControlState().testFlag(csPaintCopy) && ThemesActive())
        return;
    Button->SetEllipsis(FButtonStyle == cbsEllipsis);
    if (ThemesActive()) {
        Button->PaintButton();
        return;
    }
    TCanvas* C = Button->Canvas();
    const TRect R = Button->ClientRect();
    if (Button->Transparent() && C->Target()) {
        // What the combo shows behind the button, so that the glyph's
        // transparent pixels show it too.
        const QPoint At = Button->mapTo(this, QPoint(0, 0));
        QPainter P(C->Target());
        P.setCompositionMode(QPainter::CompositionMode_Source);
        if (FPaintImage.size() == size())
            P.drawImage(0, 0, FPaintImage, At.x(), At.y(), Button->width(), Button->height());
        else
            P.fillRect(QRect(0, 0, Button->width(), Button->height()), ColorToQColor(Color()));
    }
    const bool Face = (!Button->HasGlyphImage() || Button->MouseInside() || FFocused) &&
                      !(FButtonEffects->Transparent() && FButtonStyle == cbsDownArrow);
    bool Handled = false;
    if (Face)
        DrawButton(C, R, Handled, ControlState(), Button->ButtonState());
    if (!Handled)
        Button->PaintButton();
    if (Button->MouseInside() || !FButtonEffects->Flat() || FFocused) {
        TRect E = R;
        const bool Down = Button->ButtonState() == bsDown || Button->ButtonState() == bsExclusive;
        DrawEdge(C, E, Down ? unsigned(BDR_SUNKENOUTER) : unsigned(EDGE_RAISED), BF_RECT);
    }
}

void TnvCustomCombo::UpdateButtonGlyph()
{
    if (!FButton)
        return;
    if ((FButtonEffects->Flat() || FButtonEffects->Transparent()) && FButtonStyle == cbsDownArrow) {
        TBitmap Glyph;
        LoadDropDownGlyph(&Glyph);
        FButton->SetGlyph(&Glyph);
    } else if (FButtonStyle == cbsCustom) {
        FButton->SetGlyph(FButtonGlyph.get());
    } else {
        TBitmap Empty;
        FButton->SetGlyph(&Empty);
    }
    FButton->Invalidate();
}

// ---- messages

bool TnvCustomCombo::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FWatchedWindow && FWatchedWindow && Watched != LineEdit()) {
        if (Event->type() == QEvent::Move && IsDroppedDown())
            CloseUp(true);
        return false;
    }
    if (Watched == LineEdit()) {
        switch (Event->type()) {
        case QEvent::Paint:
            // The combo paints the text of the unfocused edit itself.
            if (PaintsOwnText() || ControlState().testFlag(csPaintCopy))
                return true;
            break;
        case QEvent::FocusOut:
            if (IsDroppedDown()) {
                TWinControl* Container = GetDropDownContainer();
                if (!IsWidgetIn(Container, QApplication::focusWidget()))
                    CloseUp(true);
            }
            break;
        default: break;
        }
    }
    return TCustomEdit::eventFilter(Watched, Event);
}

void TnvCustomCombo::WndProc(TMessage& Message)
{
    if (Message.Msg == NvComboDropDownMessage()) {
        if (!IsDroppedDown())
            DropDown();
        return;
    }
    switch (Message.Msg) {
    case CM_GETDATALINK: Message.Result = reinterpret_cast<intptr_t>(FDataLink.get()); return;
    case CM_MOUSEENTER:
        TCustomEdit::WndProc(Message);
        if (Message.LParam == 0 || Message.LParam == reinterpret_cast<intptr_t>(this))
            DoMouseEnter();
        return;
    case CM_MOUSELEAVE:
        TCustomEdit::WndProc(Message);
        if (Message.LParam == 0 || Message.LParam == reinterpret_cast<intptr_t>(this))
            DoMouseLeave();
        return;
    case WM_KEYDOWN:
        if (Message.WParam == VK_TAB && IsDroppedDown())
            CloseUp(true);
        break;
    default: break;
    }
    TCustomEdit::WndProc(Message);
}

void RegisterNvComboClasses()
{
    RegisterClasses<TnvComboButtonEffects>();
}

namespace {
[[maybe_unused]] const bool NvComboRegistered = (RegisterNvComboClasses(), true);
}
