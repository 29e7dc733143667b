#include "nvframe.h"

#include "Canvas.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "TypInfo.h"
#include "nvCommon.h"

bool IsOneLineFrameStyle(TnvEditFocusStyle Style)
{
    return Style == efsFrameBox || Style == efsFrameSingle;
}

// ---------------------------------------------------------------- TnvEditFrame

TnvEditFrame::TnvEditFrame(TControl* Control) : FControl(dynamic_cast<TWinControl*>(Control)) {}

TPersistent* TnvEditFrame::GetOwner()
{
    return FControl;
}

void TnvEditFrame::RepaintControl()
{
    if (FControl)
        FControl->Invalidate();
}

void TnvEditFrame::LayoutChanged()
{
    if (OnLayoutChange)
        OnLayoutChange();
}

bool TnvEditFrame::IsActive() const
{
    return FEnabled && FControl && !ParentIsGrid(FControl);
}

void TnvEditFrame::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    if (FControl && dynamic_cast<TCustomEdit*>(FControl)) {
        if (Value)
            SetOrdPropByName(FControl, "BorderStyle", bsNone);
        if (GetOrdPropByName(FControl, "AutoSize") != 0)
            AdjustHeight();
    }
    LayoutChanged();
    RepaintControl();
}

void TnvEditFrame::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    FTransparentNow = Value;
    RefreshTransparency();
    LayoutChanged();
}

void TnvEditFrame::SetAutoSizeHeightAdjust(int Value)
{
    if (FAutoSizeHeightAdjust == Value)
        return;
    FAutoSizeHeightAdjust = Value;
    if (FControl && FEnabled && GetOrdPropByName(FControl, "AutoSize") != 0)
        AdjustHeight();
}

void TnvEditFrame::SetFocusBorders(TnvEditFrameEnabledSet Value)
{
    if (FFocusBorders == Value)
        return;
    FFocusBorders = Value;
    LayoutChanged();
    RepaintControl();
}

void TnvEditFrame::SetNonFocusBorders(TnvEditFrameEnabledSet Value)
{
    if (FNonFocusBorders == Value)
        return;
    FNonFocusBorders = Value;
    InvalidateFrame();
}

void TnvEditFrame::SetFocusStyle(TnvEditFocusStyle Value)
{
    if (FFocusStyle == Value)
        return;
    // A plain field in the frame's own terms; the edit rectangle follows it.
    FFocusStyle = Value;
    LayoutChanged();
}

void TnvEditFrame::SetNonFocusStyle(TnvEditFocusStyle Value)
{
    if (FNonFocusStyle == Value)
        return;
    FNonFocusStyle = Value;
    RepaintControl();
}

void TnvEditFrame::SetNonFocusTextOffsetX(int Value)
{
    if (FNonFocusTextOffsetX == Value)
        return;
    FNonFocusTextOffsetX = Value;
    RepaintControl();
}

void TnvEditFrame::SetNonFocusTextOffsetY(int Value)
{
    if (FNonFocusTextOffsetY == Value)
        return;
    FNonFocusTextOffsetY = Value;
    RepaintControl();
}

void TnvEditFrame::SetNonFocusTransparentFontColor(TColor Value)
{
    if (FNonFocusTransparentFontColor == Value)
        return;
    FNonFocusTransparentFontColor = Value;
    RepaintControl();
}

void TnvEditFrame::SetNonFocusColor(TColor Value)
{
    if (FNonFocusColor == Value)
        return;
    FNonFocusColor = Value;
    LayoutChanged();
    RepaintControl();
}

void TnvEditFrame::SetNonFocusFontColor(TColor Value)
{
    if (FNonFocusFontColor == Value)
        return;
    FNonFocusFontColor = Value;
    RepaintControl();
}

void TnvEditFrame::GetTextOffsets(int& X, int& Y, bool Focused) const
{
    const TnvEditFrameEnabledSet B = Borders(Focused);
    const TnvEditFocusStyle S = Style(Focused);
    const bool OneLine = IsOneLineFrameStyle(S);
    X = 1;
    if (B.testFlag(efLeftBorder))
        X = OneLine ? 2 : 3;
    Y = 2;
    if (B.testFlag(efTopBorder) && !OneLine)
        Y += 1;
    X += FNonFocusTextOffsetX;
    Y += FNonFocusTextOffsetY;
}

void TnvEditFrame::AdjustEditRect(TRect& Rect) const
{
    const bool Left = FFocusBorders.testFlag(efLeftBorder);
    if (IsOneLineFrameStyle(FFocusStyle)) {
        Rect.Left = 2;
        Rect.Top = 2;
        if (FFocusBorders.testFlag(efRightBorder) && FFocusStyle == efsFrameBox)
            Rect.Right -= 1;
    } else {
        Rect.Top = 3;
        if (!Left)
            Rect.Left = 1;
        else if (FFocusStyle == efsFrameSunken || FFocusStyle == efsFrameBump)
            Rect.Left = 3;
        else
            Rect.Left = 2;
        Rect.Right -= 2;
    }
}

void TnvEditFrame::AdjustHeight()
{
    if (!FControl)
        return;
    // The platform has the new-style controls: the border decides the extra.
    const int FontHeight = FControl->Font()->Metrics().tmHeight;
    const bool HasBorder = GetOrdPropByName(FControl, "BorderStyle") != bsNone;
    int Extra = HasBorder ? GetSystemMetrics(SM_CYBORDER) * 8 : 6;
    if (FEnabled)
        Extra += FAutoSizeHeightAdjust;
    const int H = FontHeight + Extra;
    if (FControl->Height() == H)
        FControl->SetHeight(H - 1);
    FControl->SetHeight(H);
}

void TnvEditFrame::RefreshTransparency()
{
    if (!FTransparent || !IsActive() || IsDesigning(FControl) || !FControl->HandleAllocated())
        return;
    if (FControl->Parent() && HasClipChildren(FControl->Parent()))
        FControl->RecreateWnd();
    RepaintControl();
}

void TnvEditFrame::InvalidateFrame()
{
    if (FEnabled && FTransparent && FControl)
        InvalidateControlArea(FControl, false);
    else
        RepaintControl();
}

void TnvEditFrame::InvalidateBehind(TControl* Control, bool)
{
    // Qt composes each ancestor's whole picture under its children, so an
    // invalidated area is always repainted with its background.
    if (!Control)
        return;
    const TRect R = Control->BoundsRect();
    QPoint Origin = Control->Parent() ? QPoint(R.Left, R.Top) : QPoint();
    for (TWinControl* P = Control->Parent(); P; P = P->Parent()) {
        P->update(QRect(Origin, QSize(R.Width(), R.Height())));
        const bool Transparent =
            (InheritsFromClassName(P, "TnvCustomPanel") || InheritsFromClassName(P, "TnvCustomGroupBox")) &&
            GetOrdPropByName(P, "Transparent") != 0;
        if (!Transparent)
            break;
        Origin += QPoint(P->Left(), P->Top());
    }
}

void TnvEditFrame::Assign(TPersistent* Source)
{
    QObject* S = Source ? Source->AsObject() : nullptr;
    auto* F = dynamic_cast<TnvEditFrame*>(Source);
    if (!F && S && InheritsFromClassName(S, "TzrEditFrame")) {
        // The data-aware library's frame: the same properties, read by name.
        SetFocusStyle(static_cast<TnvEditFocusStyle>(GetOrdPropByName(S, "FocusStyle")));
        SetEnabled(GetOrdPropByName(S, "Enabled") != 0);
        SetTransparent(GetOrdPropByName(S, "Transparent") != 0);
        if (FEnabled) {
            FEraseParent = GetOrdPropByName(S, "EraseParent") != 0;
            SetAutoSizeHeightAdjust(static_cast<int>(GetOrdPropByName(S, "AutoSizeHeightAdjust")));
            SetFocusBorders(TnvEditFrameEnabledSet::fromInt(static_cast<int>(GetOrdPropByName(S, "FocusBorders"))));
            SetNonFocusBorders(
                TnvEditFrameEnabledSet::fromInt(static_cast<int>(GetOrdPropByName(S, "NonFocusBorders"))));
            SetNonFocusStyle(static_cast<TnvEditFocusStyle>(GetOrdPropByName(S, "NonFocusStyle")));
            SetNonFocusTextOffsetX(static_cast<int>(GetOrdPropByName(S, "NonFocusTextOffsetX")));
            SetNonFocusTextOffsetY(static_cast<int>(GetOrdPropByName(S, "NonFocusTextOffsetY")));
            SetNonFocusTransparentFontColor(
                static_cast<TColor>(GetOrdPropByName(S, "NonFocusTransparentFontColor")));
            SetNonFocusColor(static_cast<TColor>(GetOrdPropByName(S, "NonFocusColor")));
            SetNonFocusFontColor(static_cast<TColor>(GetOrdPropByName(S, "NonFocusFontColor")));
            SetMouseEnterSameAsFocus(GetOrdPropByName(S, "MouseEnterSameAsFocus") != 0);
        }
        return;
    }
    if (!F) {
        TPersistent::Assign(Source);
        return;
    }
    SetFocusStyle(F->FFocusStyle);
    SetEnabled(F->FEnabled);
    SetTransparent(F->FTransparent);
    if (FEnabled) {
        FEraseParent = F->FEraseParent;
        SetAutoSizeHeightAdjust(F->FAutoSizeHeightAdjust);
        SetFocusBorders(F->FFocusBorders);
        SetNonFocusBorders(F->FNonFocusBorders);
        SetNonFocusStyle(F->FNonFocusStyle);
        SetNonFocusTextOffsetX(F->FNonFocusTextOffsetX);
        SetNonFocusTextOffsetY(F->FNonFocusTextOffsetY);
        SetNonFocusTransparentFontColor(F->FNonFocusTransparentFontColor);
        SetNonFocusColor(F->FNonFocusColor);
        SetNonFocusFontColor(F->FNonFocusFontColor);
        SetMouseEnterSameAsFocus(F->FMouseEnterSameAsFocus);
    }
}

void DrawEditFrame(TControl* Control, const TnvEditFrame* Frame, TCanvas* Canvas, bool Focused)
{
    if (!Control || !Frame || !Canvas)
        return;
    TRect R = Control->ClientRect();
    const TnvEditFrameEnabledSet Borders = Frame->Borders(Focused);
    if (!Borders.testFlag(efRightBorder) && Frame->Transparent())
        R.Right -= 2;
    unsigned Edge = EDGE_SUNKEN;
    unsigned Extra = 0;
    switch (Frame->Style(Focused)) {
    case efsFrameBox:
        Edge = EDGE_SUNKEN;
        Extra = BF_MONO;
        break;
    case efsFrameSunken: Edge = EDGE_SUNKEN; break;
    case efsFrameRaised: Edge = EDGE_RAISED; break;
    case efsFrameEtched: Edge = EDGE_ETCHED; break;
    case efsFrameBump: Edge = EDGE_BUMP; break;
    case efsFrameSingle:
        Edge = BDR_SUNKENOUTER;
        Extra = BF_MONO;
        break;
    }
    DrawEdge(Canvas, R, Edge, static_cast<unsigned>(Borders.toInt()) | Extra);
}

// ---------------------------------------------------------------- TnvButtonEffects

TPersistent* TnvButtonEffects::GetOwner()
{
    return FCombo;
}

void TnvButtonEffects::SetFlat(bool Value)
{
    if (FFlat == Value)
        return;
    FFlat = Value;
    if (FButton)
        SetOrdPropByName(FButton, "Flat", FFlat || FTransparent);
    Refresh();
    if (FButton)
        FButton->Invalidate();
}

void TnvButtonEffects::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    if (FButton) {
        SetOrdPropByName(FButton, "Flat", FFlat || FTransparent);
        SetOrdPropByName(FButton, "Transparent", FFlat || FTransparent);
    }
    Refresh();
    if (FButton)
        FButton->Invalidate();
}

void TnvButtonEffects::Assign(TPersistent* Source)
{
    if (auto* E = dynamic_cast<TnvButtonEffects*>(Source)) {
        SetFlat(E->FFlat);
        SetTransparent(E->FTransparent);
        return;
    }
    QObject* S = Source ? Source->AsObject() : nullptr;
    if (S && InheritsFromClassName(S, "TzrButtonEffects")) {
        SetFlat(GetOrdPropByName(S, "Flat") != 0);
        SetTransparent(GetOrdPropByName(S, "Transparent") != 0);
        return;
    }
    TPersistent::Assign(Source);
}

void RegisterNvFrameClasses()
{
    RegisterClasses<TnvEditFrame, TnvButtonEffects>();
}

namespace {
[[maybe_unused]] const bool NvFrameRegistered = (RegisterNvFrameClasses(), true);
}
