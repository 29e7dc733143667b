#include "nvScrollBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <cstdint>

#include "Canvas.h"
#include "Colors.h"
#include "ExtCtrls.h"
#include "nvBitmap.h"
#include "nvCommon.h"

namespace {

constexpr int FixedThumbLength = 16;

bool IsStepPart(TnvScrollBarPart Part)
{
    return Part >= sbpIncrement && Part <= sbpPageBefore;
}

} // namespace

// ---------------------------------------------------------------- TnvScrollbarRepeatInterval

void TnvScrollbarRepeatInterval::Assign(TPersistent* Source)
{
    if (auto* R = dynamic_cast<TnvScrollbarRepeatInterval*>(Source)) {
        FInitialDelay = R->FInitialDelay;
        FInterval = R->FInterval;
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- TnvCustomScrollBar

TnvCustomScrollBar::TnvCustomScrollBar(TComponent* AOwner)
    : TGraphicControl(AOwner), FRepeat(std::make_unique<TnvScrollbarRepeatInterval>())
{
    FTimer = new TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(FRepeat->InitialDelay());
    FTimer->OnTimer = [this](TObject*) { ScrollTimerTick(); };
    SetBounds(Left(), Top(), GetSystemMetrics(SM_CXVSCROLL), 100);
}

TnvCustomScrollBar::~TnvCustomScrollBar() = default;

// ---- properties

void TnvCustomScrollBar::SetKind(TScrollBarKind Value)
{
    if (FKind == Value)
        return;
    FKind = Value;
    Invalidate();
}

void TnvCustomScrollBar::SetMax(int Value)
{
    if (FMax == Value)
        return;
    FMax = Value;
    Invalidate();
}

void TnvCustomScrollBar::SetMin(int Value)
{
    if (FMin == Value)
        return;
    FMin = Value;
    Invalidate();
}

void TnvCustomScrollBar::SetPageSize(int Value)
{
    if (FPageSize == Value)
        return;
    FPageSize = Value;
    Invalidate();
}

void TnvCustomScrollBar::SetPosition(int Value)
{
    // Computed in 64 bits: Max + 1 may not fit.
    int64_t V = Value;
    const int64_t Top = int64_t(FMax) - FPageSize + 1;
    if (V > Top)
        V = Top;
    if (V < FMin)
        V = FMin;
    if (FPosition == static_cast<int>(V))
        return;
    FPosition = static_cast<int>(V);
    Invalidate();
}

void TnvCustomScrollBar::SetSmallChange(int Value)
{
    if (Value < 1 || Value > 32767)
        return;
    FSmallChange = Value;
}

void TnvCustomScrollBar::SetFixedThumb(bool Value)
{
    if (FFixedThumb == Value)
        return;
    FFixedThumb = Value;
    Invalidate();
}

void TnvCustomScrollBar::SetParams(int APosition, int AMax, int AMin)
{
    FPosition = APosition;
    FMax = AMax;
    FMin = AMin;
}

// ---- layout

bool TnvCustomScrollBar::CanScroll() const
{
    return int64_t(FPageSize) < int64_t(FMax) - FMin + 1;
}

int TnvCustomScrollBar::ThumbLength(int Length, int Arrow) const
{
    const int64_t Range = int64_t(FMax) - FMin + 1;
    int64_t T = int64_t(Length - 2 * Arrow) * FPageSize / Range;
    if (FKind == sbVertical)
        T = std::max<int64_t>(T, FMinThumb);
    return static_cast<int>(T);
}

void TnvCustomScrollBar::Layout(int& Arrow, int& Thumb, int& Offset) const
{
    const int W = Width();
    const int H = Height();
    const bool Vertical = FKind == sbVertical;
    if (Vertical) {
        const int S = GetSystemMetrics(SM_CYVSCROLL);
        Arrow = H < 3 * S ? IntMin(S, H / 2) : IntMin(S, H / 3);
    } else {
        Arrow = IntMin(GetSystemMetrics(SM_CXHSCROLL), W / 3);
    }
    const int Length = Vertical ? H : W;
    Thumb = FFixedThumb ? FixedThumbLength : ThumbLength(Length, Arrow);
    const_cast<TnvCustomScrollBar*>(this)->AdjustThumbSize(Thumb);
    const int Travel = Length - 2 * Arrow - Thumb;
    const int Pos = FDragStartPos >= 0 ? FDragStartPos : FPosition;
    const int64_t Span = int64_t(FMax) - FMin - FPageSize + 1;
    const int64_t Moved = int64_t(Travel) * (int64_t(Pos) - FMin) / Span;
    Offset = ClampInt(static_cast<int>(FDragDelta + Moved), 1, Travel);
}

TRect TnvCustomScrollBar::PartRect(TnvScrollBarPart Part) const
{
    if (!CanScroll() || Part == sbpNone || Part == sbpOutside)
        return TRect();
    const int W = Width();
    const int H = Height();
    const bool Vertical = FKind == sbVertical;
    int A, T, O;
    Layout(A, T, O);
    const TRect Inc = Vertical ? TRect(0, H - A, W, H) : TRect(W - A, 0, W, H);
    const TRect Dec = Vertical ? TRect(0, 0, W, A) : TRect(0, 0, A, H);
    TRect Thumb = Vertical ? TRect(0, A + O, W, A + O + T) : TRect(A + O, 0, A + O + T, H);
    if (O == 1) {
        if (Vertical)
            --Thumb.Bottom;
        else
            --Thumb.Right;
    }
    switch (Part) {
    case sbpIncrement: return Inc;
    case sbpDecrement: return Dec;
    case sbpThumb: return Thumb;
    case sbpPageAfter: return Vertical ? TRect(0, Thumb.Bottom, W, Inc.Top) : TRect(Thumb.Right, 0, Inc.Left, H);
    case sbpPageBefore: return Vertical ? TRect(0, Dec.Bottom, W, Thumb.Top) : TRect(Dec.Right, 0, Thumb.Left, H);
    default: return TRect();
    }
}

TnvScrollBarPart TnvCustomScrollBar::HitTest(int X, int Y) const
{
    for (int P = sbpIncrement; P <= sbpThumb; ++P)
        if (PartRect(TnvScrollBarPart(P)).Contains(TPoint(X, Y)))
            return TnvScrollBarPart(P);
    return sbpOutside;
}

int TnvCustomScrollBar::ThumbTravel() const
{
    const bool Vertical = FKind == sbVertical;
    const int Length = Vertical ? Height() : Width();
    int A, T, O;
    Layout(A, T, O);
    // A horizontal bar travels by its proportional thumb whatever FixedThumb says.
    if (!Vertical && FFixedThumb) {
        T = ThumbLength(Length, A);
        const_cast<TnvCustomScrollBar*>(this)->AdjustThumbSize(T);
    }
    const int L = Length - 2 * A - T;
    return L == 0 ? 1 : L;
}

int TnvCustomScrollBar::DragPosition() const
{
    const double Span = double(int64_t(FMax) - FMin - FPageSize + 1);
    return static_cast<int>(double(FDragDelta) / ThumbTravel() * Span + FDragStartPos);
}

// ---- stepping

void TnvCustomScrollBar::StepPosition()
{
    FLastPosition = FPosition;
    switch (FPressedPart) {
    case sbpIncrement:
        SetPosition(FPosition + FSmallChange);
        Scroll(SB_LINEDOWN, FPosition);
        break;
    case sbpDecrement:
        SetPosition(FPosition - FSmallChange);
        Scroll(SB_LINEUP, FPosition);
        break;
    case sbpPageAfter:
        SetPosition(FPosition + FPageSize);
        Scroll(SB_PAGEDOWN, FPosition);
        break;
    case sbpPageBefore:
        SetPosition(FPosition - FPageSize);
        Scroll(SB_PAGEUP, FPosition);
        break;
    default: break;
    }
    Change(FLastPosition, FPosition);
}

void TnvCustomScrollBar::ScrollTimerTick()
{
    // The button is down for as long as the press is being tracked (the
    // release always reaches the bar that took the press).
    if (FTracking) {
        FTimer->SetInterval(FRepeat->Interval());
        if (HitTest(FMousePos.X, FMousePos.Y) == FPressedPart)
            StepPosition();
    } else {
        FTimer->SetEnabled(false);
    }
    Repaint();
}

void TnvCustomScrollBar::Change(int PriorValue, int NewValue)
{
    if (OnChange)
        OnChange(this, PriorValue, NewValue);
}

void TnvCustomScrollBar::Scroll(int, int) {}

void TnvCustomScrollBar::AdjustThumbSize(int&) {}

// ---- mouse

void TnvCustomScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FMousePos = TPoint(X, Y);
    FPressedPart = HitTest(X, Y);
    if (IsStepPart(FPressedPart)) {
        StepPosition();
        FTimer->SetInterval(FRepeat->InitialDelay());
        FTimer->SetEnabled(true);
        Repaint();
    }
    TrackMouse(X, Y);
}

void TnvCustomScrollBar::TrackMouse(int X, int Y)
{
    // The press is followed until its release: moves and the release arrive
    // here through the mouse grab the press started.
    FTracking = true;
    FMoved = false;
    FPressPoint = TPoint(X, Y);
    FDragDelta = 0;
    SetMouseCapture(true);
}

void TnvCustomScrollBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    FMousePos = TPoint(X, Y);
    if (!FTracking) {
        if (UseThemes(this))
            SetHotPart(HitTest(X, Y));
        return;
    }
    if (IsStepPart(FPressedPart))
        return;
    const bool Vertical = FKind == sbVertical;
    if (!FMoved)
        FDragStartPos = FPosition;
    if (X < 0 || Y < 0) {
        FMoved = true;
        return;
    }
    const int Delta = Vertical ? Y - FPressPoint.Y : X - FPressPoint.X;
    if (!FMoved && Delta == 0) {
        FMoved = true;
        return;
    }
    FMoved = true;
    FDragDelta = Delta;
    if (FLiveTracking && FPressedPart == sbpThumb) {
        FLastPosition = FPosition;
        SetPosition(DragPosition());
        Scroll(SB_THUMBPOSITION, FPosition);
    }
    PaintParts(false);
}

void TnvCustomScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FTracking)
        EndTrack(X, Y, TPoint(X, Y));
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft)
        ReleaseTracking();
}

void TnvCustomScrollBar::EndTrack(int, int, TPoint)
{
    if (IsStepPart(FPressedPart)) {
        FTimer->SetEnabled(false);
        FPressedPart = sbpNone;
        Invalidate();
        return;
    }
    if (FDragStartPos >= 0 && FDragDelta != 0) {
        FLastPosition = FPosition;
        SetPosition(DragPosition());
        Scroll(SB_THUMBPOSITION, FPosition);
    }
    if (UseThemes(this) && FPressedPart == sbpThumb) {
        FPressedPart = sbpNone;
        Invalidate();
    }
}

void TnvCustomScrollBar::ReleaseTracking()
{
    if (MouseCapture())
        SetMouseCapture(false);
    FTracking = false;
    FDragDelta = 0;
    FDragStartPos = -1;
    Invalidate();
}

void TnvCustomScrollBar::SetHotPart(TnvScrollBarPart Part)
{
    if (FHotPart == Part)
        return;
    FHotPart = Part;
    Invalidate();
}

void TnvCustomScrollBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DESIGNHITTEST: Message.Result = 1; return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        TGraphicControl::WndProc(Message);
        if (UseThemes(this)) {
            FHotPart = sbpNone;
            Invalidate();
        }
        return;
    default: break;
    }
    TGraphicControl::WndProc(Message);
}

// ---- painting

void TnvCustomScrollBar::Paint()
{
    PaintParts(true);
}

void TnvCustomScrollBar::PaintParts(bool Full)
{
    if (!Full) {
        // A drag repaints the page areas and the thumb; the platform paints
        // the bar whole from its picture, so the whole bar is asked for.
        Repaint();
        return;
    }
    if (!CanScroll())
        return;
    TCanvas* C = Canvas();
    const bool Themed = UseThemes(this);
    PaintArrow(C, sbpIncrement, Themed);
    PaintArrow(C, sbpDecrement, Themed);
    PaintPage(C, sbpPageAfter, Themed);
    PaintPage(C, sbpPageBefore, Themed);
    PaintThumb(C, Themed);
}

namespace {

// Draws a style element into a canvas rectangle through a scratch image.
template <class F>
void DrawStyled(TCanvas* C, const TRect& R, F&& Draw)
{
    if (R.IsEmpty() || !C->Target())
        return;
    QPainter P(C->Target());
    P.translate(R.Left, R.Top);
    Draw(P, QRect(0, 0, R.Width(), R.Height()));
}

} // namespace

void TnvCustomScrollBar::PaintArrow(TCanvas* C, TnvScrollBarPart Part, bool Themed)
{
    TRect R = PartRect(Part);
    if (R.IsEmpty())
        return;
    const bool Vertical = FKind == sbVertical;
    const bool Pressed = FPressedPart == Part;
    if (Themed) {
        const bool Hot = R.Contains(FMousePos) && FHotPart == Part;
        DrawStyled(C, R, [&](QPainter& P, const QRect& Rect) {
            QStyleOption O;
            O.initFrom(this);
            O.rect = Rect;
            O.state = QStyle::State_Enabled | (Pressed ? QStyle::State_Sunken : QStyle::State_Raised);
            if (Hot)
                O.state |= QStyle::State_MouseOver;
            style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &O, &P, this);
            const QStyle::PrimitiveElement Arrow =
                Part == sbpIncrement ? (Vertical ? QStyle::PE_IndicatorArrowDown : QStyle::PE_IndicatorArrowRight)
                                     : (Vertical ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowLeft);
            style()->drawPrimitive(Arrow, &O, &P, this);
        });
        return;
    }
    unsigned State = Part == sbpIncrement ? (Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT)
                                          : (Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT);
    if (Pressed)
        State |= DFCS_PUSHED | DFCS_FLAT;
    DrawFrameControl(C, R, DFC_SCROLL, State);
}

void TnvCustomScrollBar::PaintPage(TCanvas* C, TnvScrollBarPart Part, bool Themed)
{
    const TRect R = PartRect(Part);
    if (R.IsEmpty())
        return;
    const bool Pressed = FPressedPart == Part && HitTest(FMousePos.X, FMousePos.Y) == Part;
    if (Themed) {
        DrawStyled(C, R, [&](QPainter& P, const QRect& Rect) {
            const QColor Track = palette().color(QPalette::Mid);
            P.fillRect(Rect, Pressed ? Track.darker(150) : Track.lighter(125));
        });
        return;
    }
    if (Pressed)
        DitherFill(C, R, clBlack, MakeColor(0x404040));
    else
        DitherFill(C, R, clBtnFace, clWhite);
}

void TnvCustomScrollBar::PaintThumb(TCanvas* C, bool Themed)
{
    TRect R = PartRect(sbpThumb);
    if (R.IsEmpty())
        return;
    const bool Vertical = FKind == sbVertical;
    if (Themed) {
        if (Vertical)
            --R.Top;
        else
            --R.Left;
        const bool Pressed = FPressedPart == sbpThumb;
        const bool Hot = !Pressed && FHotPart == sbpThumb && R.Contains(FMousePos);
        DrawStyled(C, R, [&](QPainter& P, const QRect& Rect) {
            QStyleOption O;
            O.initFrom(this);
            O.rect = Rect;
            O.state = QStyle::State_Enabled | (Pressed ? QStyle::State_Sunken : QStyle::State_Raised);
            if (Hot)
                O.state |= QStyle::State_MouseOver;
            style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &O, &P, this);
            // The gripper: three short lines across the middle.
            P.setPen(palette().color(Pressed ? QPalette::Dark : QPalette::Mid));
            const QPoint M = Rect.center();
            for (int I = -2; I <= 2; I += 2) {
                if (Vertical)
                    P.drawLine(M.x() - 3, M.y() + I, M.x() + 3, M.y() + I);
                else
                    P.drawLine(M.x() + I, M.y() - 3, M.x() + I, M.y() + 3);
            }
        });
        return;
    }
    if (Vertical)
        ++R.Left;
    else
        ++R.Top;
    TRect Face = R;
    DrawFrameControl(C, Face, DFC_BUTTON, DFCS_BUTTONPUSH);
    C->Pen()->SetColor(clBtnFace);
    C->Pen()->SetStyle(psSolid);
    const TPoint Line[] = {TPoint(R.Left - 1, R.Bottom - 1), TPoint(R.Left - 1, R.Top - 1),
                           TPoint(R.Right + 1, R.Top - 1)};
    C->Polyline(Line);
}

// ---------------------------------------------------------------- registration

namespace {
[[maybe_unused]] const bool ScrollBarRegistered = (RegisterClasses<TnvScrollBar>(), true);
}
