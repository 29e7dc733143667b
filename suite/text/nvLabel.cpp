// The label and the data-aware label.
#include "nvLabel.h"

#include "StdCtrls.h"

#include "nvCommon.h"

// ---------------------------------------------------------------- TnvCustomLabel

TnvCustomLabel::TnvCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FControlStyle |= TControlStyle(csOpaque) | csReplicatable;
    TnvTextCallbacks Callbacks;
    Callbacks.Invalidate = [this] { Invalidate(); };
    Callbacks.SizeChanged = [this] { AdjustBounds(); };
    Callbacks.IsEnabled = [this] { return IsTextEnabled(); };
    FTextOptions = std::make_unique<TnvCaptionText>(Callbacks, Font(), Canvas(), this);
    SetBounds(0, 0, 65, 17);
}

TnvCustomLabel::~TnvCustomLabel()
{
    // The callbacks reach back into the label: none may run from here on.
    FTextOptions->SetCallbacks(TnvTextCallbacks());
}

void TnvCustomLabel::SetAutoSize(bool Value)
{
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    AdjustBounds();
    Invalidate();
}

void TnvCustomLabel::SetFocusControl(TWinControl* Value)
{
    if (FocusControl() == Value)
        return;
    if (TWinControl* Old = FocusControl())
        Old->RemoveFreeNotification(this);
    FFocusControl = Value;
    FFocusComponent = Value;
    FFocusGuard = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TnvCustomLabel::SetTransparent(bool Value)
{
    if (Value == Transparent())
        return;
    if (Value)
        FControlStyle &= ~TControlStyle(csOpaque);
    else
        FControlStyle |= csOpaque;
    Invalidate();
}

void TnvCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FFocusComponent && FFocusComponent == AComponent) {
        FFocusControl = nullptr;
        FFocusComponent = nullptr;
        FFocusGuard = nullptr;
    }
}

void TnvCustomLabel::GetLabelText(String& Text)
{
    Text = Caption();
}

void TnvCustomLabel::DoMouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TnvCustomLabel::DoMouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool TnvCustomLabel::IsTextEnabled()
{
    return Enabled();
}

void TnvCustomLabel::Paint()
{
    TCanvas* C = Canvas();
    const TRect Client = ClientRect();
    if (!Transparent()) {
        C->Brush()->SetColor(Color());
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(Client);
    }
    C->Brush()->SetStyle(bsClear);
    String Text;
    GetLabelText(Text);
    FTextOptions->SetCanvas(C);
    FTextOptions->SetText(Text);
    FTextOptions->SetRect(Client);
    if (FTextOptions->DoubleBuffered())
        FTextOptions->AssignFont(Font());
    FTextOptions->Draw();
}

void TnvCustomLabel::AdjustBounds()
{
    if (ComponentState().testFlag(csReading) || IsLoading() || ComponentState().testFlag(csDestroying) ||
        !FAutoSize)
        return;
    // Measured on a canvas of its own, the way a screen context measures.
    TCanvas Screen;
    Screen.Font()->Assign(Font());
    String Text;
    GetLabelText(Text);
    TCanvas* OldCanvas = FTextOptions->Canvas();
    const TRect OldRect = FTextOptions->Rect();
    FTextOptions->SetCanvas(&Screen);
    FTextOptions->SetText(Text);
    FTextOptions->SetRect(ClientRect());
    TRect R;
    try {
        FTextOptions->CalcRect(true, R);
    } catch (...) {
        FTextOptions->SetCanvas(OldCanvas);
        FTextOptions->SetRect(OldRect);
        throw;
    }
    FTextOptions->SetCanvas(OldCanvas);
    FTextOptions->SetRect(OldRect);
    const int W = R.Width(), H = R.Height();
    int X = Left();
    if (FTextOptions->Alignment() == taRightJustify)
        X = Left() + Width() - W;
    SetBounds(X, Top(), W, H);
}

void TnvCustomLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TnvCustomLabel::TextChanged()
{
    String Text;
    GetLabelText(Text);
    FTextOptions->SetText(Text);
    Invalidate();
    AdjustBounds();
}

void TnvCustomLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TnvCustomLabel::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGCHAR: {
        TWinControl* F = FocusControl();
        if (F && Enabled() && FTextOptions->Options().testFlag(toShowAccel) &&
            IsAccel(static_cast<unsigned>(Message.WParam), Caption())) {
            if (F->CanFocus())
                F->SetFocus();
            Message.Result = 1;
            return;
        }
        TGraphicControl::WndProc(Message);
        return;
    }
    case CM_MOUSEENTER:
        TGraphicControl::WndProc(Message);
        DoMouseEnter();
        return;
    case CM_MOUSELEAVE:
        TGraphicControl::WndProc(Message);
        DoMouseLeave();
        return;
    default: TGraphicControl::WndProc(Message);
    }
}

// ---------------------------------------------------------------- TnvDBCustomLabel

TnvDBCustomLabel::TnvDBCustomLabel(TComponent* AOwner)
    : TnvCustomLabel(AOwner), FDataLink(std::make_unique<TFieldDataLink>())
{
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
}

TnvDBCustomLabel::~TnvDBCustomLabel()
{
    FDataLink->OnDataChange = nullptr;
    FDataLink->SetDataSource(nullptr);
}

bool TnvDBCustomLabel::DataSourceFixed() const
{
    for (const TWinControl* P = Parent(); P; P = P->Parent())
        if (InheritsFromClassName(static_cast<const QObject*>(P), "TDBCtrlGrid"))
            return true;
    return false;
}

void TnvDBCustomLabel::SetDataSource(TDataSource* Value)
{
    if (DataSourceFixed() && IsLoading())
        return;
    FDataLink->SetDataSource(Value, this);
}

void TnvDBCustomLabel::SetDataField(const String& Value)
{
    FDataLink->SetFieldName(Value);
}

void TnvDBCustomLabel::SetAutoSize(bool Value)
{
    if (Value == FAutoSize)
        return;
    if (Value && DataSourceFixed())
        DatabaseError("Operation not allowed in a DBCtrlGrid");
    TnvCustomLabel::SetAutoSize(Value);
}

void TnvDBCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TnvCustomLabel::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink)
        FDataLink->DataSourceRemoved(AComponent);
}

String TnvDBCustomLabel::GetFieldText() const
{
    TField* F = FDataLink->Field();
    if (!F) {
        if (IsDesigning() && Caption().empty() && FDataLink->DataSource())
            return Name();
        return Caption();
    }
    if (F->IsBlob() && F->DataType() == ftMemo)
        return F->AsString();
    return F->DisplayText();
}

void TnvDBCustomLabel::DataChange()
{
    if (ComponentState().testFlag(csDestroying))
        return;
    SetCaption(GetFieldText());
}

void TnvDBCustomLabel::GetLabelText(String& Text)
{
    if (ControlState().testFlag(csPaintCopy) && DataSourceFixed() && FDataLink->Field())
        Text = GetFieldText();
    else
        TnvCustomLabel::GetLabelText(Text);
}

void TnvDBCustomLabel::Loaded()
{
    TnvCustomLabel::Loaded();
    if (IsDesigning())
        DataChange();
}

void TnvDBCustomLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_GETDATALINK) {
        Message.Result = reinterpret_cast<intptr_t>(FDataLink.get());
        return;
    }
    TnvCustomLabel::WndProc(Message);
}

// ---------------------------------------------------------------- registration

void RegisterNvLabelClasses()
{
    RegisterClasses<TnvLabel>();
}

namespace {
[[maybe_unused]] const bool NvLabelRegistered = (RegisterNvLabelClasses(), true);
}
