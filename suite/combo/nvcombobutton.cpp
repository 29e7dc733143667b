#include "nvcombobutton.h"

#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOption>

#include "Canvas.h"
#include "nvCommon.h"

TnvComboButton::TnvComboButton(TComponent* AOwner) : TSpeedButton(AOwner)
{
    SetBounds(0, 0, 22, 23);
}

TnvComboButton::~TnvComboButton() = default;

void TnvComboButton::SetMargin(int Value)
{
    if (Value < -1)
        return;
    TSpeedButton::SetMargin(Value);
}

void TnvComboButton::SetNumGlyphs(int Value)
{
    TSpeedButton::SetNumGlyphs(std::clamp(Value, 1, 4));
    Invalidate();
}

bool TnvComboButton::ThemesActive() const
{
    return UseThemes(this);
}

void TnvComboButton::EnabledChanged()
{
    FPressTracking = false;
    TSpeedButton::EnabledChanged();
    Invalidate();
}

void TnvComboButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Enabled())
        FPressTracking = true;
    TSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TnvComboButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TnvComboButton> Self(this);
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    if (Self && Button == mbLeft)
        FPressTracking = false;
}

void TnvComboButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        TSpeedButton::WndProc(Message);
        if ((Flat() && Enabled() && !GetCaptureControl()) || ThemesActive()) {
            FMouseInside = true;
            Invalidate();
        }
        return;
    case CM_MOUSELEAVE:
        TSpeedButton::WndProc(Message);
        if (FMouseInside) {
            FMouseInside = false;
            Invalidate();
        }
        return;
    default: break;
    }
    TSpeedButton::WndProc(Message);
}

void TnvComboButton::DblClick()
{
    if (Down())
        TSpeedButton::DblClick();
}

void TnvComboButton::Paint()
{
    PaintButton();
}

void TnvComboButton::PaintThemed()
{
    TCanvas* C = Canvas();
    QImage* Target = C->Target();
    if (!Target)
        return;
    const TRect Client = ClientRect();
    const TButtonState S = State();
    const bool Pressed = S == bsDown || S == bsExclusive;
    QStyleOptionButton Opt;
    Opt.initFrom(this);
    Opt.state = Enabled() ? QStyle::State_Enabled : QStyle::State_None;
    Opt.state |= Pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    if (FMouseInside)
        Opt.state |= QStyle::State_MouseOver;
    if (FEllipsis) {
        Opt.rect = QRect(Client.Left, Client.Top, Client.Width(), Client.Height());
        {
            QPainter P(Target);
            style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &Opt, &P, this);
        }
        const int Side = std::max(1, Client.Width() / 8);
        const int Top = Client.Top + Client.Height() / 2 - 1;
        const int X = Client.Left + Client.Width() / 2 - 1;
        for (int Dx : {-2 * Side, 0, 2 * Side})
            FillSolidRect(C, TRect(X + Dx, Top, X + Dx + Side, Top + Side), clBlack);
        return;
    }
    // The combo-box drop-down part: one pixel taller, and outside a grid one
    // pixel higher and one to the right.
    TRect R = Client;
    R.Bottom += 1;
    if (!ParentIsGrid(Parent() ? static_cast<const TControl*>(Parent()) : this))
        OffsetRect(R, 1, -1);
    Opt.rect = QRect(R.Left, R.Top, R.Width(), R.Height());
    {
        QPainter P(Target);
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &Opt, &P, this);
        if (!HasGlyphImage())
            style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &Opt, &P, this);
    }
    if (HasGlyphImage() || !Caption().empty()) {
        TButtonGlyph G;
        G.SetGlyph(Glyph());
        G.SetNumGlyphs(NumGlyphs());
        TRect Content = Client;
        InflateRect(Content, -2, -2);
        C->Brush()->SetStyle(bsClear);
        G.Draw(C, Content, TPoint(), Caption(), Layout(), Margin(), Spacing(), S);
    }
}

void TnvComboButton::PaintButton()
{
    Canvas()->Font()->Assign(Font());
    if (ThemesActive()) {
        PaintThemed();
        return;
    }
    // The speed button's face, hot while the mouse is inside in our sense.
    const bool Hot = FMouseInControl;
    FMouseInControl = FMouseInside;
    TSpeedButton::Paint();
    FMouseInControl = Hot;
}

void RegisterNvComboButtonClasses()
{
    RegisterClasses<TnvComboButton>();
}

namespace {
[[maybe_unused]] const bool NvComboButtonRegistered = (RegisterNvComboButtonClasses(), true);
}
