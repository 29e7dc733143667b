#include "nvpanel.h"

#include "Canvas.h"
#include "nvCommon.h"

namespace {

// Repaints what lies behind a control whose caption changes: through every
// transparent ancestor when the parent is one, else the control's place in
// its parent.
void RepaintBehind(TControl* Control, TnvEditFrame* Frame)
{
    TWinControl* P = Control->Parent();
    if (!P)
        return;
    const bool ParentTransparent = (dynamic_cast<TnvCustomPanel*>(P) && static_cast<TnvCustomPanel*>(P)->IsTransparent()) ||
                                   (dynamic_cast<TnvCustomGroupBox*>(P) && static_cast<TnvCustomGroupBox*>(P)->IsTransparent());
    if (ParentTransparent)
        TnvEditFrame::InvalidateBehind(Control, true);
    else
        InvalidateControlArea(Control, Frame->EraseParent());
}

// The focused and unfocused frames look different.
bool FrameLooksDiffer(const TnvEditFrame* F)
{
    const auto Focused = F->Borders(true), Unfocused = F->Borders(false);
    return (Focused & ~Unfocused) != decltype(Focused)() || F->Style(true) != F->Style(false);
}

// Text flags of an alignment; right-to-left alignment swaps left and right.
unsigned AlignmentFlags(TAlignment A, bool RightToLeft)
{
    switch (A) {
    case taLeftJustify: return RightToLeft ? DT_RIGHT : DT_LEFT;
    case taRightJustify: return RightToLeft ? DT_LEFT : DT_RIGHT;
    default: return DT_CENTER;
    }
}

bool ColorsDiffer(const TnvEditFrame* F, TColor Color, TColor FontColor)
{
    if (!F->Enabled())
        return false;
    if (F->NonFocusColor() != clNone)
        return F->NonFocusColor() != Color;
    return F->NonFocusFontColor() != clNone && F->NonFocusFontColor() != FontColor;
}

} // namespace

// ---------------------------------------------------------------- TnvContainerLook

void TnvContainerLook::StoreTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    const TControlStyle Style = FControl->ControlStyle();
    FControl->SetControlStyle(LookTransparent() ? Style & ~TControlStyle(csOpaque) : Style | csOpaque);
    if (FControl->IsLoading() || FControl->IsDesigning())
        return;
    FControl->Invalidate();
    if (FControl->Parent())
        RemoveClipChildren(FControl->Parent());
    RemoveClipChildren(FControl);
    FControl->RecreateWnd();
}

void TnvContainerLook::InvalidateBehindLook() const
{
    if (LookTransparent() && FControl->Parent())
        InvalidateControlArea(FControl, false);
}

bool TnvContainerLook::LookColorsDiffer() const
{
    return ColorsDiffer(FFrame.get(), FControl->Color(), FControl->Font()->Color());
}

bool TnvContainerLook::HandleLookMessage(TMessage& Message, bool SkipErase)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (SkipErase) {
            Message.Result = 1;
            return true;
        }
        return false;
    case CM_TEXTCHANGED:
        if (!FControl->IsDesigning() || FTransparent)
            RepaintBehind(FControl, FFrame.get());
        return false;
    default: return false;
    }
}

// ---------------------------------------------------------------- TnvCustomPanel

TnvCustomPanel::TnvCustomPanel(TComponent* AOwner) : TCustomPanel(AOwner), TnvContainerLook(this) {}

TnvCustomPanel::~TnvCustomPanel() = default;

bool TnvCustomPanel::IsTransparent() const
{
    return LookTransparent();
}

void TnvCustomPanel::SetTransparent(bool Value)
{
    StoreTransparent(Value);
}

bool TnvCustomPanel::FocusColorsDiffer() const
{
    return LookColorsDiffer();
}

void TnvCustomPanel::Invalidate()
{
    // A transparent panel shows its parent: what lies behind it repaints too.
    InvalidateBehindLook();
    TCustomPanel::Invalidate();
}

void TnvCustomPanel::BoundsChanged(int OldWidth, int OldHeight)
{
    TCustomPanel::BoundsChanged(OldWidth, OldHeight);
    if (IsTransparent())
        Invalidate();
}

void TnvCustomPanel::WndProc(TMessage& Message)
{
    if (!HandleLookMessage(Message, IsTransparent()))
        TCustomPanel::WndProc(Message);
}

void TnvCustomPanel::DoEnter()
{
    TCustomPanel::DoEnter();
    FocusChanged(true);
}

void TnvCustomPanel::DoExit()
{
    TCustomPanel::DoExit();
    FocusChanged(false);
}

void TnvCustomPanel::FocusChanged(bool Entered)
{
    FFocused = Entered;
    if (FocusColorsDiffer() || (FFrame->Enabled() && FrameLooksDiffer(FFrame.get())))
        Invalidate();
}

void TnvCustomPanel::Paint()
{
    TCanvas* C = Canvas();
    TRect R(0, 0, Width(), Height());
    const bool Active = FFrame->IsActive();
    if (Active) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(FFrame->NonFocusColor() != clNone && !FFocused ? FFrame->NonFocusColor() : Color());
        if (!FTransparent)
            C->FillRect(R);
        DrawEditFrame(this, FFrame.get(), C, FFocused);
    } else {
        if (BorderStyle() == bsSingle)
            DrawEdge(C, R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        TColor Top, Bottom;
        if (BevelOuter() != bvNone) {
            BevelColors(BevelOuter(), Top, Bottom);
            Frame3D(C, R, Top, Bottom, BevelWidth());
        }
        Frame3D(C, R, Color(), Color(), BorderWidth());
        if (BevelInner() != bvNone) {
            BevelColors(BevelInner(), Top, Bottom);
            Frame3D(C, R, Top, Bottom, BevelWidth());
        }
        if (!FTransparent) {
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(Color());
            C->FillRect(R);
        }
    }
    C->Brush()->SetStyle(bsClear);
    C->Font()->Assign(Font());
    if (Active && FFrame->NonFocusFontColor() != clNone && !FFocused)
        C->Font()->SetColor(FFrame->NonFocusFontColor());
    const int H = C->TextHeight("W");
    R.Top = (R.Top + R.Bottom - H) / 2;
    R.Bottom = R.Top + H;
    DrawText(C, Caption(), R, DT_EXPANDTABS | DT_VCENTER | AlignmentFlags(Alignment(), UseRightToLeftAlignment()));
}

// ---------------------------------------------------------------- TnvCustomGroupBox

TnvCustomGroupBox::TnvCustomGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner), TnvContainerLook(this)
{
    SetParentColor(true);
}

TnvCustomGroupBox::~TnvCustomGroupBox() = default;

bool TnvCustomGroupBox::IsTransparent() const
{
    return LookTransparent();
}

void TnvCustomGroupBox::SetTransparent(bool Value)
{
    StoreTransparent(Value);
}

bool TnvCustomGroupBox::FocusColorsDiffer() const
{
    return LookColorsDiffer();
}

void TnvCustomGroupBox::SetCaptionIndent(int Value)
{
    if (FCaptionIndent == Value)
        return;
    FCaptionIndent = std::max(3, Value);
    Invalidate();
}

void TnvCustomGroupBox::SetFullBorder(bool Value)
{
    if (FFullBorder == Value)
        return;
    FFullBorder = Value;
    Invalidate();
}

void TnvCustomGroupBox::Invalidate()
{
    // A transparent box invalidates what lies behind it as a panel does.
    InvalidateBehindLook();
    TCustomGroupBox::Invalidate();
}

void TnvCustomGroupBox::BoundsChanged(int OldWidth, int OldHeight)
{
    TCustomGroupBox::BoundsChanged(OldWidth, OldHeight);
    if (IsTransparent())
        Invalidate();
}

void TnvCustomGroupBox::WndProc(TMessage& Message)
{
    const bool SkipErase =
        IsTransparent() || (FFrame->IsActive() && (FFrame->NonFocusColor() != clNone || FBorderAroundLabel));
    if (!HandleLookMessage(Message, SkipErase))
        TCustomGroupBox::WndProc(Message);
}

void TnvCustomGroupBox::DoEnter()
{
    TCustomGroupBox::DoEnter();
    FFocused = true;
    if (FocusColorsDiffer())
        Invalidate();
}

void TnvCustomGroupBox::DoExit()
{
    TCustomGroupBox::DoExit();
    FFocused = false;
    if (FocusColorsDiffer())
        Invalidate();
}

int TnvCustomGroupBox::CaptionBoxHeight() const
{
    if (Caption().empty())
        return 2;
    QImage Scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    TCanvas C(&Scratch);
    C.Font()->Assign(Font());
    return C.TextHeight("0") + (FBorderAroundLabel ? 2 : 0);
}

TRect TnvCustomGroupBox::FrameRect() const
{
    const int H = CaptionBoxHeight();
    int Top;
    if (FFullBorder)
        Top = FBorderAroundLabel ? H - 2 : H + 1;
    else
        Top = H / 2 - 1;
    return TRect(0, Top, Width(), Height());
}

void TnvCustomGroupBox::Paint()
{
    TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    const String Text = Caption();
    const int W = Width();
    const int H = CaptionBoxHeight();
    TRect F = FrameRect();
    const int TW = Text.empty() ? 0 : C->TextWidth(StripAccelerators(Text));
    const int I = FCaptionIndent;
    const int X0 = Text.empty() ? 0 : UseRightToLeftAlignment() ? W - TW - I : I;
    const int X1 = Text.empty() ? 0 : X0 + TW;
    const bool Active = FFrame->IsActive();

    // 3. The face inside the border.
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Active && FFrame->NonFocusColor() != clNone && !FFocused ? FFrame->NonFocusColor() : Color());
    if (!FTransparent) {
        TRect Face = F;
        InflateRect(Face, -1, -1);
        C->FillRect(Face);
    }
    // 4. The caption's own box, or the border run below it.
    int Gap = 1;
    C->Pen()->SetStyle(psSolid);
    if (FBorderAroundLabel) {
        if (!FTransparent)
            C->FillRect(TRect(X0 - 3, 0, X1 + 2, H + 1));
        C->Pen()->SetColor(clBtnHighlight);
        const TPoint Light[] = {TPoint(X0 - 2, F.Top + 1), TPoint(X0 - 2, 1), TPoint(X1 + 2, 1), TPoint(X1 + 2, F.Top)};
        C->Polyline(Light);
        C->Pen()->SetColor(clBtnShadow);
        const TPoint Dark[] = {TPoint(X0 - 3, F.Top), TPoint(X0 - 3, 0), TPoint(X1 + 1, 0), TPoint(X1 + 1, F.Top + 1)};
        C->Polyline(Dark);
    } else if (FFullBorder) {
        C->Pen()->SetColor(clBtnHighlight);
        C->MoveTo(X0 - 2, F.Top + 1);
        C->LineTo(X1 + 1, F.Top + 1);
        C->Pen()->SetColor(clBtnShadow);
        C->MoveTo(X0 - 3, F.Top);
        C->LineTo(X1 + 2, F.Top);
        Gap = 0;
    }
    // 5. The border, with its top edge open for the caption (3D: a light
    // outline one pixel in, the shadow over it; flat: one line in the window
    // frame colour).
    const int Start = Text.empty() ? 0 : X0 - 3;
    const int EndLight = Text.empty() ? 0 : X1 + Gap;
    const int EndDark = Text.empty() ? 0 : X1 + 1;
    if (Ctl3D()) {
        ++F.Left;
        ++F.Top;
        C->Pen()->SetColor(clBtnHighlight);
        const TPoint P[] = {TPoint(Start, F.Top),        TPoint(F.Left, F.Top),       TPoint(F.Left, F.Bottom - 1),
                            TPoint(F.Right - 1, F.Bottom - 1), TPoint(F.Right - 1, F.Top), TPoint(EndLight, F.Top)};
        C->Polyline(P);
        F = TRect(F.Left - 1, F.Top - 1, F.Right - 1, F.Bottom - 1);
        C->Pen()->SetColor(clBtnShadow);
    } else {
        C->Pen()->SetColor(clWindowFrame);
    }
    {
        const TPoint P[] = {TPoint(Start, F.Top),        TPoint(F.Left, F.Top),       TPoint(F.Left, F.Bottom - 1),
                            TPoint(F.Right - 1, F.Bottom - 1), TPoint(F.Right - 1, F.Top), TPoint(EndDark, F.Top)};
        C->Polyline(P);
    }
    // 6. The caption.
    if (!Text.empty()) {
        C->Brush()->SetStyle(bsClear);
        if (Active && FFrame->NonFocusFontColor() != clNone && !FFocused)
            C->Font()->SetColor(FFrame->NonFocusFontColor());
        TRect R(X0, FBorderAroundLabel ? 1 : 0, X0 + TW, (FBorderAroundLabel ? 1 : 0) + H);
        DrawText(C, Text, R, DT_SINGLELINE | DT_LEFT);
    }
}

namespace {
[[maybe_unused]] const bool PanelsRegistered = (RegisterClasses<TnvPanel, TnvGroupBox>(), true);
}
