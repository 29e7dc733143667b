#include "nvTrackBar.h"

#include <QCursor>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>

#include <cmath>

#include "Canvas.h"
#include "DBFields.h"
#include "FloatFormat.h"
#include "System.h"
#include "nvCommon.h"

namespace {

// A tick walk longer than this is not drawn out (a tiny Frequency against a
// wide range would take forever and paint one solid band anyway).
constexpr int MaxTicks = 100000;

QRect ToQRect(const TRect& R)
{
    return QRect(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
}

bool EditingState(TDataSource* Source)
{
    return Source && (Source->State() == dsEdit || Source->State() == dsInsert);
}

} // namespace

// ---------------------------------------------------------------- TnvTrackBarText

TnvTrackBarText::TnvTrackBarText(TnvTrackBar* Bar) : FBar(Bar) {}

void TnvTrackBarText::Changed()
{
    if (FBar)
        FBar->Invalidate();
}

void TnvTrackBarText::SetPosition(TnvTrackBarTextPosition Value)
{
    FPosition = Value;
    Changed();
}

void TnvTrackBarText::SetOffsetX(int Value)
{
    FOffsetX = Value;
    Changed();
}

void TnvTrackBarText::SetOffsetY(int Value)
{
    FOffsetY = Value;
    Changed();
}

TFont* TnvTrackBarText::Font() const
{
    return FBar ? FBar->Font() : nullptr;
}

void TnvTrackBarText::SetFont(TFont* Value)
{
    if (FBar)
        FBar->SetFont(Value);
    Changed();
}

void TnvTrackBarText::SetDisplayFormat(const String& Value)
{
    FDisplayFormat = Value;
    Changed();
}

void TnvTrackBarText::SetShowText(bool Value)
{
    FShowText = Value;
    Changed();
}

void TnvTrackBarText::SetTickLabelFrequency(int Value)
{
    FTickLabelFrequency = Value;
    Changed();
}

void TnvTrackBarText::SetTickDisplayFormat(const String& Value)
{
    FTickDisplayFormat = Value;
    Changed();
}

void TnvTrackBarText::Assign(TPersistent* Source)
{
    auto* S = Source ? dynamic_cast<TnvTrackBarText*>(Source->AsObject()) : nullptr;
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    FPosition = S->FPosition;
    FOffsetX = S->FOffsetX;
    FOffsetY = S->FOffsetY;
    FDisplayFormat = S->FDisplayFormat;
    FShowText = S->FShowText;
    FTickLabelFrequency = S->FTickLabelFrequency;
    FTickDisplayFormat = S->FTickDisplayFormat;
    if (FBar && S->Font())
        FBar->SetFont(S->Font());
    Changed();
}

bool TnvTrackBarText::IsPropertyStored(const char* Name) const
{
    if (qstricmp(Name, "Font") == 0)
        return FBar && !FBar->ParentFont();
    return TPersistent::IsPropertyStored(Name);
}

// ---------------------------------------------------------------- TnvTrackIcon

TnvTrackIcon::TnvTrackIcon(TnvTrackBar* Bar) : TGraphicControl(Bar), FBar(Bar), FBitmap(std::make_unique<TBitmap>())
{
    FControlStyle |= csReplicatable;
    FControlStyle &= ~TControlStyle(csOpaque);
}

TnvTrackIcon::~TnvTrackIcon() = default;

void TnvTrackIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (FBar && FBar->CanFocus())
        FBar->SetFocus();
    if (Button == mbRight || Shift.testFlag(ssRight) || !FBar)
        return;
    // The press is followed until its release: moves and the release arrive
    // here through the mouse grab.
    FTracking = true;
    FStarted = false;
    FPress = TPoint(X, Y);
    if (isVisible())
        SetMouseCapture(true);
}

void TnvTrackIcon::MouseMove(TShiftState Shift, int X, int Y)
{
    if (!FTracking) {
        TGraphicControl::MouseMove(Shift, X, Y);
        return;
    }
    if (!FStarted) {
        if (std::abs(FPress.X - X) <= 2 && std::abs(FPress.Y - Y) < 3)
            return;
        FStarted = true;
        FDragging = true;
    }
    const int Pixel = FBar->Horizontal() ? Left() + X - FBar->SpacingLeftTop() - FPress.X
                                         : Top() + Y - FBar->SpacingLeftTop() - FPress.Y;
    const double Inc = FBar->Increment();
    double V = double(Round(FBar->PixelToValue(Pixel) / Inc)) * Inc;
    if (V < FBar->Min())
        V = FBar->Min();
    if (V > FBar->Max())
        V = FBar->Max();
    FBar->SetPosition(V);
}

void TnvTrackIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FTracking) {
        const bool Started = FStarted;
        EndTracking();
        if (Started && OnEndDrag)
            OnEndDrag(this);
        if (FBar && UseThemes(FBar))
            FBar->Invalidate();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TnvTrackIcon::EndTracking()
{
    FTracking = false;
    FStarted = false;
    FDragging = false;
    if (MouseCapture())
        SetMouseCapture(false);
}

// ---------------------------------------------------------------- TnvTrackBar

TnvTrackBar::TnvTrackBar(TComponent* AOwner)
    : TnvCustomPanel(AOwner), FTextAttributes(std::make_unique<TnvTrackBarText>(this)),
      FThumbBitmap(std::make_unique<TBitmap>()), FDataLink(std::make_unique<TFieldDataLink>())
{
    FControlStyle |= csReplicatable;
    FControlStyle &= ~(TControlStyle(csDoubleClicks) | csAcceptsControls);
    SetCaption("");
    SetBevelOuter(bvNone);
    SetBevelInner(bvNone);
    SetTabStop(true);
    setFocusPolicy(Qt::StrongFocus);
    SetParentColor(true);
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink->OnUpdateData = [this](TObject*) { UpdateData(); };
    FThumb = new TnvTrackIcon(this);
    FThumb->OnEndDrag = [](TObject*) {};
    SetBounds(Left(), Top(), 150, 45);
    FThumb->SetParent(this);
    SizeThumb();
}

TnvTrackBar::~TnvTrackBar()
{
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
    FDataLink->SetDataSource(nullptr);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

// ---- range and value

void TnvTrackBar::SetParams(double AMax, double AMin, double AValue)
{
    if (AMax < AMin)
        throw EInvalidOperation(ClassName() + " property out of range");
    if (AValue < AMin)
        AValue = AMin;
    if (AValue > AMax)
        AValue = AMax;
    if (FMin != AMin)
        FMin = AMin;
    if (FMax != AMax)
        FMax = AMax;
    if (FPosition != AValue) {
        DoEdit();
        if (!IsReadOnly() || FUpdatingFromData)
            FPosition = MaxFloat(AValue, FMin);
        DoChange();
        if (EditingState(DataSource()))
            FDataLink->Modified();
    }
}

void TnvTrackBar::SetMin(double Value)
{
    if (Value <= FMax)
        SetParams(FMax, Value, FPosition);
    FMin = Value;
    PlaceThumb();
    Invalidate();
}

void TnvTrackBar::SetMax(double Value)
{
    if (Value >= FMin)
        SetParams(Value, FMin, FPosition);
    FMax = Value;
    PlaceThumb();
    Invalidate();
}

void TnvTrackBar::SetPosition(double X)
{
    const double Inc = FIncrement;
    const double Cur = FPosition;
    if (std::fabs(Cur - X) >= Inc / 2) {
        const double D = Cur < X ? Cur + Inc * double(Round((X - Cur) / Inc)) : Cur - Inc * double(Round((Cur - X) / Inc));
        const double F = Inc * double(Round(D / Inc));
        X = F > FMax ? FMax : F < FMin ? FMin : F;
    }
    if (std::fabs(Cur - X) + 0.005 < Inc)
        return;
    Invalidate();
    SetParams(FMax, FMin, X);
    // The mouse area follows the painted thumb (also when a read-only bar
    // kept its position).
    PlaceThumb();
}

void TnvTrackBar::SetIncrement(double Value)
{
    if (Value == 0)
        Value = 1.0;
    if (FIncrement != Value)
        FIncrement = Value;
}

void TnvTrackBar::SetFrequency(double Value)
{
    if (FFrequency == Value)
        return;
    FFrequency = Value;
    Invalidate();
}

void TnvTrackBar::SetSelStart(double Value)
{
    if (FSelStart == Value)
        return;
    FSelStart = Value;
    Invalidate();
}

void TnvTrackBar::SetSelEnd(double Value)
{
    if (FSelEnd == Value)
        return;
    FSelEnd = Value;
    Invalidate();
}

void TnvTrackBar::SetOrientation(TnvTrackBarOrientation Value)
{
    if (FOrientation == Value)
        return;
    FOrientation = Value;
    if (!IsLoading())
        SetBounds(Left(), Top(), Width(), Height());
    RecreateWnd();
}

void TnvTrackBar::SetInverted(bool Value)
{
    if (FInverted == Value)
        return;
    FInverted = Value;
    PlaceThumb();
}

// ---- look

void TnvTrackBar::SetTickMarks(TnvTickMark Value)
{
    if (FTickMarks == Value)
        return;
    FTickMarks = Value;
    RecreateWnd();
}

void TnvTrackBar::SetTickStyle(TnvTickStyle Value)
{
    if (FTickStyle == Value)
        return;
    FTickStyle = Value;
    RecreateWnd();
}

void TnvTrackBar::SetSliderVisible(bool Value)
{
    if (FSliderVisible == Value)
        return;
    FSliderVisible = Value;
    Invalidate();
}

void TnvTrackBar::SetThumbLength(int Value)
{
    if (FThumbLength == Value)
        return;
    FThumbLength = Value;
    if (FThumb->Bitmap()->Empty()) {
        if (Horizontal())
            FThumb->SetHeight(Value);
        else
            FThumb->SetWidth(Value);
    }
    Invalidate();
}

void TnvTrackBar::SetThumbThickness(int Value)
{
    if (FThumbThickness == Value)
        return;
    FThumbThickness = Value;
    if (FThumb->Bitmap()->Empty()) {
        if (Horizontal())
            FThumb->SetWidth(Value);
        else
            FThumb->SetHeight(Value);
    }
    Invalidate();
}

void TnvTrackBar::SetThumbColor(TColor Value)
{
    if (FThumbColor == Value)
        return;
    FThumbColor = Value;
    Invalidate();
}

void TnvTrackBar::SetTrackThumbIcon(TBitmap* Value)
{
    FThumbBitmap->Assign(Value);
    Invalidate();
}

void TnvTrackBar::SetTrackColor(TColor Value)
{
    if (FTrackColor == Value)
        return;
    FTrackColor = Value;
    Invalidate();
}

void TnvTrackBar::SetTrackPartialFillColor(TColor Value)
{
    if (FTrackPartialFillColor == Value)
        return;
    FTrackPartialFillColor = Value;
    Invalidate();
}

void TnvTrackBar::SetSpacingLeftTop(int Value)
{
    FSpacingLeftTop = Value;
    PlaceThumb();
    Invalidate();
}

void TnvTrackBar::SetSpacingRightBottom(int Value)
{
    FSpacingRightBottom = Value;
    PlaceThumb();
    Invalidate();
}

void TnvTrackBar::SetSpacingEdgeTrackbar(int Value)
{
    FSpacingEdgeTrackbar = Value;
    PlaceThumb();
    Invalidate();
}

void TnvTrackBar::SetDisableThemes(bool Value)
{
    if (FDisableThemes == Value)
        return;
    FDisableThemes = Value;
    Invalidate();
}

// ---- data

void TnvTrackBar::SetDataSource(TDataSource* Value)
{
    FDataLink->SetDataSource(Value, this);
}

void TnvTrackBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TnvCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink)
        FDataLink->DataSourceRemoved(AComponent);
}

void TnvTrackBar::DoEdit()
{
    if (IsDesigning() || FUpdatingFromData || !CanEdit())
        return;
    FDataLink->Edit();
}

bool TnvTrackBar::IsReadOnly() const
{
    if (FReadOnly || FDataLink->ReadOnly())
        return true;
    TField* F = FDataLink->Field();
    return F && !F->CanModify();
}

bool TnvTrackBar::CanEdit()
{
    if (IsReadOnly())
        return false;
    if (TDataSource* S = DataSource(); S && !S->AutoEdit() && !EditingState(S))
        return false;
    if (FDataLink->Field())
        return FDataLink->Edit();
    return true;
}

double TnvTrackBar::GetPosition() const
{
    if (ControlState().testFlag(csPaintCopy))
        if (TField* F = FDataLink->Field())
            return double(Round(F->AsFloat() / FIncrement)) * FIncrement;
    return FPosition;
}

void TnvTrackBar::DataChange()
{
    TField* F = FDataLink->Field();
    if (!F)
        return;
    FUpdatingFromData = true;
    try {
        SetPosition(F->AsFloat());
    } catch (...) {
        FUpdatingFromData = false;
        throw;
    }
    FUpdatingFromData = false;
}

void TnvTrackBar::UpdateData()
{
    if (TField* F = FDataLink->Field())
        if (GetPosition() != F->AsFloat())
            F->SetAsFloat(GetPosition());
}

void TnvTrackBar::DoChange()
{
    if (OnChange)
        OnChange(this);
}

double TnvTrackBar::DisplayValue() const
{
    if (TField* F = FDataLink->Field())
        if (DataSource() && DataSource()->State() == dsBrowse)
            return F->AsFloat();
    return GetPosition();
}

String TnvTrackBar::ValueText() const
{
    const double V = DisplayValue();
    const String& Format = FTextAttributes->DisplayFormat();
    return Format.empty() ? FloatToStr(V) : FormatFloat(Format, V);
}

// ---- geometry

TRect TnvTrackBar::GetTrackRect() const
{
    const int T = FThumbLength, E = FSpacingEdgeTrackbar, L = FSpacingLeftTop, R = FSpacingRightBottom;
    const int K = FTickMarks == tmnvTopLeft || FTickMarks == tmnvBoth ? 7 : 0;
    const int W2 = FThumb->Width() / 2, H2 = FThumb->Height() / 2;
    if (Horizontal())
        return TRect(W2 + L, E + nvTrackInset + K, Width() - W2 - R, T + E - nvTrackInset + K);
    return TRect(E + nvTrackInset + K, H2 + L, T + E - nvTrackInset + K, Height() - H2 - R);
}

int TnvTrackBar::ValueToPixel(double Value) const
{
    const TRect R = GetTrackRect();
    const double Extent = Horizontal() ? R.Right - R.Left : R.Bottom - R.Top;
    // An empty range puts everything at the channel's start.
    if (FMax == FMin)
        return FInverted ? int(Extent) : 0;
    const double P = Extent / (FMax - FMin) * (Value - FMin);
    return int(Trunc(FInverted ? Extent - P : P));
}

double TnvTrackBar::PixelToValue(int Pixel) const
{
    const TRect R = GetTrackRect();
    const int Extent = Horizontal() ? R.Right - R.Left : R.Bottom - R.Top;
    if (Extent == 0)
        return FInverted ? FMax : FMin;
    return FInverted ? FMax - Pixel * (FMax - FMin) / Extent : FMin + Pixel * (FMax - FMin) / Extent;
}

std::vector<std::pair<double, int>> TnvTrackBar::TickList() const
{
    std::vector<std::pair<double, int>> Out;
    // A walk that would not end (no step forward) draws no ticks.
    if (FTickStyle == tsnvNone || !(FFrequency > 0))
        return Out;
    double V = FMin;
    int I = 0;
    for (; V <= FMax && I < MaxTicks; ++I) {
        if (FTickStyle == tsnvAuto || (I == 0 && V == FMin))
            Out.emplace_back(V, I);
        const double Next = V + FFrequency;
        if (Next == V)
            break;
        V = Next;
    }
    if (FTickStyle == tsnvManual && I > 0)
        Out.emplace_back(V - FFrequency, I);
    return Out;
}

void TnvTrackBar::SizeThumb()
{
    if (!FThumb)
        return;
    const bool Icon = !FThumbBitmap->Empty();
    if (Icon)
        FThumb->Bitmap()->Assign(FThumbBitmap.get());
    else
        FThumb->Bitmap()->Assign(nullptr);
    if (Horizontal())
        FThumb->SetBounds(FThumb->Left(), FThumb->Top(), Icon ? FThumbBitmap->Width() : FThumbThickness, FThumbLength);
    else
        FThumb->SetBounds(FThumb->Left(), FThumb->Top(), FThumbLength, Icon ? FThumbBitmap->Height() : FThumbThickness);
    PlaceThumb();
}

void TnvTrackBar::PlaceThumb()
{
    PlaceThumbAt(GetPosition());
}

void TnvTrackBar::PlaceThumbAt(double Value)
{
    if (!FThumb)
        return;
    const TRect R = GetTrackRect();
    const int P = ValueToPixel(Value);
    if (Horizontal())
        FThumb->SetBounds(R.Left + P - FThumb->Width() / 2, R.Top - nvTrackInset + 2, FThumb->Width(), FThumb->Height());
    else
        FThumb->SetBounds(R.Left - nvTrackInset + 2, R.Top + P - FThumb->Height() / 2, FThumb->Width(), FThumb->Height());
}

void TnvTrackBar::CreateWnd()
{
    TnvCustomPanel::CreateWnd();
    SizeThumb();
    Invalidate();
}

void TnvTrackBar::Loaded()
{
    TnvCustomPanel::Loaded();
    // The window comes after loading: the thumb takes the loaded settings.
    SizeThumb();
}

void TnvTrackBar::BoundsChanged(int OldWidth, int OldHeight)
{
    TnvCustomPanel::BoundsChanged(OldWidth, OldHeight);
    PlaceThumb();
}

// ---- input

void TnvTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (CanFocus())
        SetFocus();
    TnvCustomPanel::MouseDown(Button, Shift, X, Y);
    TRect G = GetTrackRect();
    InflateRect(G, 2, 2);
    if (!G.Contains(TPoint(X, Y)))
        return;
    if (!FRepeatTimer) {
        FRepeatTimer = new TnvTrackRepeatTimer(this);
        FRepeatTimer->SetEnabled(false);
    }
    const int Pos = Horizontal() ? X : Y;
    const int Start = Horizontal() ? FThumb->Left() : FThumb->Top();
    const int End = Start + (Horizontal() ? FThumb->Width() : FThumb->Height());
    double Step = 0;
    if (Pos < Start)
        Step = FInverted ? FIncrement : -FIncrement;
    else if (Pos > End)
        Step = FInverted ? -FIncrement : FIncrement;
    if (Step != 0) {
        SetPosition(GetPosition() + Step);
        FRepeatTimer->RepeatStep = Step;
    }
    FRepeatTimer->OnTimer = [this](TObject*) { RepeatTimerTick(); };
    FRepeatTimer->SetInterval(400);
    FRepeatTimer->SetEnabled(true);
}

void TnvTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TnvCustomPanel::MouseUp(Button, Shift, X, Y);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

void TnvTrackBar::RepeatTimerTick()
{
    if (!FRepeatTimer)
        return;
    try {
        FRepeatTimer->SetInterval(100);
        const TPoint C = ScreenToClient(TPoint(QCursor::pos().x(), QCursor::pos().y()));
        const int Across = Horizontal() ? C.Y : C.X;
        const int AcrossLimit = Horizontal() ? ClientHeight() : ClientWidth();
        if (Across < 0 || Across > AcrossLimit) {
            FRepeatTimer->SetEnabled(false);
            return;
        }
        const int Along = Horizontal() ? C.X : C.Y;
        const int Start = Horizontal() ? FThumb->Left() : FThumb->Top();
        const int End = Start + (Horizontal() ? FThumb->Width() : FThumb->Height());
        const double Step = FRepeatTimer->RepeatStep;
        // Before the thumb the bar steps towards the start's value, behind it
        // towards the end's, as long as that is the direction of the press.
        const bool Before = Along < Start, After = Along > End;
        if (!FInverted && Before && Step < 0)
            StepBy(-FIncrement);
        else if (!FInverted && After && Step > 0)
            StepBy(FIncrement);
        else if (FInverted && Before && Step > 0)
            StepBy(FIncrement);
        else if (FInverted && After && Step < 0)
            StepBy(-FIncrement);
        else
            FRepeatTimer->SetEnabled(false);
    } catch (...) {
        FRepeatTimer->SetEnabled(false);
        throw;
    }
}

void TnvTrackBar::KeyDown(Word& Key, TShiftState Shift)
{
    TnvCustomPanel::KeyDown(Key, Shift);
    double Step = 0;
    switch (Key) {
    case VK_RIGHT:
    case VK_DOWN: Step = FIncrement; break;
    case VK_LEFT:
    case VK_UP: Step = -FIncrement; break;
    case VK_NEXT: Step = FPageSize; break;
    case VK_PRIOR: Step = -FPageSize; break;
    default: return;
    }
    SetPosition(GetPosition() + (FInverted ? -Step : Step));
}

bool TnvTrackBar::WantsKey(Word Key, TShiftState Shift)
{
    if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN)
        return true;
    return TnvCustomPanel::WantsKey(Key, Shift);
}

void TnvTrackBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_GETDATALINK: Message.Result = reinterpret_cast<intptr_t>(FDataLink.get()); return;
    case WM_ERASEBKGND:
        if (UseThemes(this)) {
            Message.Result = 1;
            return;
        }
        break;
    case CM_EXIT:
        TnvCustomPanel::WndProc(Message);
        try {
            FDataLink->UpdateRecord();
        } catch (...) {
            if (CanFocus())
                SetFocus();
            throw;
        }
        Invalidate();
        return;
    case CM_ENTER:
        TnvCustomPanel::WndProc(Message);
        Invalidate();
        return;
    default: break;
    }
    TnvCustomPanel::WndProc(Message);
}

// ---- painting

int TnvTrackBar::ThumbThemePart() const
{
    if (Horizontal())
        return FTickMarks == tmnvBoth ? TKP_THUMB : FTickMarks == tmnvBottomRight ? TKP_THUMBBOTTOM : TKP_THUMBTOP;
    return FTickMarks == tmnvBoth ? TKP_THUMBVERT : FTickMarks == tmnvTopLeft ? TKP_THUMBLEFT : TKP_THUMBRIGHT;
}

int TnvTrackBar::ThumbThemeState(int X, int Y) const
{
    if (!Enabled())
        return TUS_DISABLED;
    if (FThumb->Dragging())
        return TUS_PRESSED;
    const QPoint G = QCursor::pos();
    const TPoint C = ScreenToClient(TPoint(G.x(), G.y()));
    if (X <= C.X && C.X <= X + FThumb->Width() && Y <= C.Y && C.Y <= Y + FThumb->Height())
        return TUS_HOT;
    if (Focused())
        return TUS_FOCUSED;
    return TUS_NORMAL;
}

void TnvTrackBar::DrawChannel(TCanvas* C)
{
    TRect R = GetTrackRect();
    const int Widen = (Horizontal() ? FThumb->Width() : FThumb->Height()) / 2 - 1;
    if (Horizontal()) {
        R.Left -= Widen;
        R.Right += Widen;
    } else {
        R.Top -= Widen;
        R.Bottom += Widen;
    }
    if (UseThemes(this)) {
        QPainter P(C->Target());
        QStyleOptionSlider O;
        O.initFrom(this);
        O.rect = ToQRect(R);
        O.orientation = Horizontal() ? Qt::Horizontal : Qt::Vertical;
        O.subControls = QStyle::SC_SliderGroove;
        O.minimum = 0;
        O.maximum = 0;
        style()->drawComplexControl(QStyle::CC_Slider, &O, &P, this);
    } else {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FTrackColor);
        C->FillRect(R);
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetColor(clBtnShadow);
        C->MoveTo(R.Left - 1, R.Bottom);
        C->LineTo(R.Left - 1, R.Top);
        C->LineTo(R.Right, R.Top);
        C->Pen()->SetColor(TColor(0x808080));
        C->MoveTo(R.Left, R.Bottom);
        C->LineTo(R.Left, R.Top + 1);
        C->LineTo(R.Right, R.Top + 1);
        C->Pen()->SetColor(clBtnFace);
        C->MoveTo(R.Left - 1, R.Bottom - 1);
        C->LineTo(R.Right, R.Bottom - 1);
        C->LineTo(R.Right, R.Top);
        C->Pen()->SetColor(clBtnHighlight);
        C->MoveTo(R.Left - 1, R.Bottom);
        C->LineTo(R.Right + 1, R.Bottom);
        C->LineTo(R.Right + 1, R.Top);
    }
    // Partial fill up to the thumb.
    if (FTrackPartialFillColor != clNone) {
        TRect F = R;
        InflateRect(F, -1, -1);
        const TRect T = GetTrackRect();
        const int P = ValueToPixel(GetPosition());
        if (Horizontal()) {
            if (FInverted)
                F.Left = T.Left + P;
            else
                F.Right = T.Left + P;
        } else {
            if (FInverted)
                F.Top = T.Top + P;
            else
                F.Bottom = T.Top + P;
        }
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FTrackPartialFillColor);
        C->FillRect(F);
    }
    // Selection band.
    if (FSelStart != 0 && FSelStart < FSelEnd) {
        TRect S = GetTrackRect();
        const int Start = Horizontal() ? S.Left : S.Top;
        InflateRect(S, -1, -1);
        int A = Start + ValueToPixel(FSelStart), B = Start + ValueToPixel(FSelEnd);
        if (A > B)
            std::swap(A, B);
        if (Horizontal()) {
            S.Left = A;
            S.Right = B;
        } else {
            S.Top = A;
            S.Bottom = B;
        }
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clHighlight);
        C->FillRect(S);
    }
}

void TnvTrackBar::DrawTick(TCanvas* C, double Value, int Index)
{
    const TRect T = GetTrackRect();
    const int P = ValueToPixel(Value);
    const int Freq = FTextAttributes->TickLabelFrequency();
    const bool Label = Freq >= 1 && Index % Freq == 0;
    const String& Format = FTextAttributes->TickDisplayFormat();
    const String Text = Format.empty() ? FloatToStr(Value) : FormatFloat(Format, Value);
    const int TH = Label ? C->TextHeight("A") : 0;
    const int TW = Label ? C->TextWidth(Text) : 0;
    const bool Below = FTickMarks == tmnvBottomRight || FTickMarks == tmnvBoth;
    const bool Above = FTickMarks == tmnvTopLeft || FTickMarks == tmnvBoth;
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetColor(TColor(0));
    if (Horizontal()) {
        const int X = T.Left + P;
        if (Below) {
            const int D = T.Bottom + 5;
            C->MoveTo(X, D + 3);
            C->LineTo(X, D + 7);
            if (Label)
                DrawTickText(Text, TRect(X - TW / 2, D + 9, X + TW / 2, D + 9 + TH), Value);
        }
        if (Above) {
            C->MoveTo(X, T.Top - 6);
            C->LineTo(X, T.Top - 10);
            if (Label && FTickMarks == tmnvTopLeft)
                DrawTickText(Text, TRect(X - TW / 2, T.Top - 11 - TH, X + TW / 2, T.Top - 11), Value);
        }
    } else {
        const int Y = T.Top + P;
        if (Below) {
            const int R = T.Right + 5;
            C->MoveTo(R + 3, Y);
            C->LineTo(R + 7, Y);
            if (Label)
                DrawTickText(Text, TRect(R + 9, Y - TH / 2, R + 9 + TW, Y + TH / 2), Value);
        }
        if (Above) {
            C->MoveTo(T.Left - 6, Y);
            C->LineTo(T.Left - 10, Y);
            if (Label && FTickMarks == tmnvTopLeft)
                DrawTickText(Text, TRect(T.Left - 11 - TW, Y - TH / 2, T.Left - 11, Y + TH / 2), Value);
        }
    }
}

void TnvTrackBar::DrawTicks(TCanvas* C)
{
    for (const auto& [V, I] : TickList())
        DrawTick(C, V, I);
}

void TnvTrackBar::DrawTickText(String Text, TRect Rect, double TickValue)
{
    bool DoDefault = true;
    if (OnDrawTickText)
        OnDrawTickText(this, TickValue, Text, Rect, DoDefault);
    if (!DoDefault)
        return;
    TCanvas* C = Canvas();
    Rect.Right = IntMax(Rect.Right, Rect.Left + C->TextWidth(Text));
    Rect.Bottom = IntMax(Rect.Bottom, Rect.Top + C->TextHeight(Text));
    C->SetBkMode(TRANSPARENT);
    C->Brush()->SetStyle(bsClear);
    DrawText(C, Text, Rect, DT_NOPREFIX);
}

void TnvTrackBar::DrawClassicThumb(TCanvas* C, int X, int Y)
{
    const int W = FThumb->ClientWidth(), H = FThumb->ClientHeight();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(FThumbColor);
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetColor(FThumbColor);
    auto Edge = [C](TRect R, unsigned Flags) { DrawEdge(C, R, EDGE_RAISED, Flags); };
    auto Poly = [C](std::initializer_list<TPoint> Points) {
        const std::vector<TPoint> V(Points);
        C->Polygon(V);
    };
    if (Horizontal()) {
        // The point faces down whatever side the ticks are on.
        const int HW = W / 2, B = Y + FThumbLength - HW;
        const TRect Body(X, Y, X + W, B);
        C->FillRect(Body);
        Edge(Body, BF_LEFT | BF_TOP);
        Edge(Body, BF_RIGHT);
        const TRect LeftHalf(X, B, X + HW, B + HW);
        Edge(LeftHalf, BF_MIDDLE | BF_DIAGONAL_ENDTOPLEFT);
        Poly({TPoint(X + 1, B), TPoint(X + HW, B), TPoint(X + HW, B + HW - 1)});
        Edge(LeftHalf, BF_DIAGONAL_ENDTOPLEFT);
        const TRect RightHalf(X + HW, B, X + W, B + HW);
        Poly({TPoint(X + HW, B), TPoint(X + W - 2, B), TPoint(X + HW, B + HW - 1)});
        Edge(RightHalf, BF_DIAGONAL_ENDBOTTOMLEFT);
        return;
    }
    const int HH = H / 2;
    if (FTickMarks == tmnvBoth) {
        const TRect Box(X, Y, X + FThumbLength, Y + H);
        C->FillRect(Box);
        Edge(Box, BF_LEFT | BF_TOP);
        Edge(Box, BF_RIGHT | BF_BOTTOM);
    } else if (FTickMarks == tmnvTopLeft) {
        const TRect Body(X + HH - 1, Y, X + FThumbLength - 1, Y + H);
        C->FillRect(Body);
        Edge(Body, BF_TOP | BF_RIGHT);
        Edge(Body, BF_BOTTOM);
        Poly({TPoint(X + HH - 1, Y + 1), TPoint(X + HH - 1, Y + HH), TPoint(X + 1, Y + HH)});
        Edge(TRect(X, Y, X + HH, Y + HH), BF_DIAGONAL_ENDTOPRIGHT);
        Poly({TPoint(X + HH - 1, Y + HH + 1), TPoint(X + HH - 1, Y + H - 1), TPoint(X + 1, Y + HH + 1)});
        Edge(TRect(X, Y + HH, X + HH, Y + H), BF_DIAGONAL_ENDBOTTOMRIGHT);
    } else {
        const int Cx = X + FThumbLength - HH;
        const TRect Body(X, Y, Cx, Y + H);
        C->FillRect(Body);
        Edge(Body, BF_LEFT | BF_TOP);
        Edge(Body, BF_BOTTOM);
        Poly({TPoint(Cx - 1, Y + 1), TPoint(Cx - 1, Y + HH), TPoint(Cx + HH - 2, Y + HH)});
        Edge(TRect(Cx - 1, Y + 1, Cx - 1 + HH, Y + 1 + HH), BF_DIAGONAL_ENDTOPLEFT);
        Poly({TPoint(Cx - 1, Y + HH), TPoint(Cx - 1, Y + H - 1), TPoint(Cx + HH - 2, Y + HH)});
        Edge(TRect(Cx - 1, Y + HH, Cx - 1 + HH, Y + H), BF_DIAGONAL_ENDBOTTOMLEFT);
    }
}

void TnvTrackBar::DrawThumb(int X, int Y)
{
    if (!FSliderVisible)
        return;
    TCanvas* C = Canvas();
    if (!FThumbBitmap->Empty()) {
        if (!FThumbBitmap->Transparent())
            FThumbBitmap->SetTransparent(true);
        if (FThumbBitmap->TransparentMode() != tmAuto)
            FThumbBitmap->SetTransparentMode(tmAuto);
        C->Draw(X, Y, FThumbBitmap.get());
        return;
    }
    if (UseThemes(this)) {
        const int State = ThumbThemeState(X, Y);
        QPainter P(C->Target());
        QStyleOptionButton O;
        O.initFrom(this);
        O.rect = QRect(X, Y, FThumb->Width(), FThumb->Height());
        O.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver | QStyle::State_Sunken);
        O.state |= QStyle::State_Raised;
        switch (State) {
        case TUS_DISABLED: O.state &= ~QStyle::State_Enabled; break;
        case TUS_PRESSED: O.state |= QStyle::State_Sunken; break;
        case TUS_HOT: O.state |= QStyle::State_MouseOver; break;
        case TUS_FOCUSED: O.state |= QStyle::State_HasFocus; break;
        default: break;
        }
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &O, &P, this);
        return;
    }
    DrawClassicThumb(C, X, Y);
}

void TnvTrackBar::DrawValueText(TCanvas* C)
{
    const String Text = ValueText();
    C->Font()->Assign(Font());
    const int TW = C->TextWidth(Text), TH = C->TextHeight(Text);
    const TRect T = GetTrackRect();
    const TnvTrackBarText* A = FTextAttributes.get();
    TRect R(0, 0, ClientWidth(), ClientHeight());
    switch (A->Position()) {
    case tbtLeft:
        R.Left = A->OffsetX() + 3;
        R.Top = T.Top + (T.Height() - TH) / 2 + A->OffsetY();
        break;
    case tbtRight:
        R.Left = ClientWidth() - TW - A->OffsetX() - 3;
        R.Top = T.Top + (T.Height() - TH) / 2 + A->OffsetY();
        break;
    case tbtTop:
        R.Left = T.Left + (T.Width() - TW) / 2 + A->OffsetX() + 3;
        R.Top = A->OffsetY() + 1;
        break;
    case tbtBottom:
        R.Left = T.Left + (T.Width() - TW) / 2 + A->OffsetX() + 3;
        R.Top = ClientHeight() - TH - A->OffsetY() - 3;
        break;
    }
    C->SetBkMode(TRANSPARENT);
    C->Brush()->SetStyle(bsClear);
    DrawText(C, Text, R, DT_NOPREFIX);
}

void TnvTrackBar::Paint()
{
    TCanvas* C = Canvas();
    // 1. The background in the control's colour (no bevels, no caption).
    TnvCustomPanel::Paint();
    C->Font()->Assign(Font());
    // 2.-4. Channel, partial fill and selection band.
    DrawChannel(C);
    // 5. Ticks and their labels.
    C->Brush()->SetStyle(bsClear);
    DrawTicks(C);
    // 6. Focus rectangle (not on copies painted for a grid).
    if (Focused() && !ControlState().testFlag(csPaintCopy)) {
        TRect R(0, 0, ClientWidth(), ClientHeight());
        InflateRect(R, -2, -2);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clWhite);
        C->Font()->SetColor(clBlack);
        C->DrawFocusRect(R);
        C->Font()->Assign(Font());
    }
    // 7. The thumb.
    const TRect T = GetTrackRect();
    const int P = ValueToPixel(GetPosition());
    if (Horizontal())
        DrawThumb(T.Left + P - FThumb->Width() / 2, FThumb->Top());
    else
        DrawThumb(FThumb->Left(), T.Top + P - FThumb->Height() / 2);
    // 8. The value text.
    if (FTextAttributes->ShowText())
        DrawValueText(C);
}

namespace {
[[maybe_unused]] const bool TrackBarRegistered =
    (RegisterClasses<TnvTrackBar>(), true);
} // namespace
