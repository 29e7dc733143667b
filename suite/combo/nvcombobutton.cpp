#include "nvcombobutton.h"

#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOption>

#include "Canvas.h"
#include "nvCommon.h"

// ---------------------------------------------------------------- TnvComboButtonActionLink

TnvComboButtonActionLink::TnvComboButtonActionLink(TnvComboButton* AClient)
    : TControlActionLink(AClient), FButton(AClient)
{
}

bool TnvComboButtonActionLink::IsCheckedLinked() const
{
    return TControlActionLink::IsCheckedLinked() && FButton->GroupIndex() != 0 && FButton->AllowAllUp() &&
           FButton->Down() == CustomAction()->Checked();
}

bool TnvComboButtonActionLink::IsGroupIndexLinked() const
{
    return CustomAction() && FButton->GroupIndex() == CustomAction()->GroupIndex();
}

void TnvComboButtonActionLink::SetChecked(bool Value)
{
    if (IsCheckedLinked())
        FButton->SetDown(Value);
}

void TnvComboButtonActionLink::SetGroupIndex(int Value)
{
    if (IsGroupIndexLinked())
        FButton->SetGroupIndex(Value);
}

void TnvComboButtonActionLink::ActionChange(TBasicAction* Sender, bool CheckDefaults)
{
    TControlActionLink::ActionChange(Sender, CheckDefaults);
    auto* A = dynamic_cast<TCustomAction*>(Sender);
    if (!A)
        return;
    if (!CheckDefaults || FButton->GroupIndex() == 0)
        FButton->SetGroupIndex(A->GroupIndex());
    // A button without a glyph shows the action's image, on fuchsia (the
    // bottom-left pixel, so transparent where the image is).
    TCustomActionList* List = A->ActionList();
    TCustomImageList* Images = List ? List->Images() : nullptr;
    if (FButton->HasGlyphImage() || !Images || A->ImageIndex() < 0 || A->ImageIndex() >= Images->Count())
        return;
    TBitmap Glyph;
    Glyph.SetSize(Images->Width(), Images->Height());
    Glyph.Canvas()->Brush()->SetColor(clFuchsia);
    Glyph.Canvas()->FillRect(TRect(0, 0, Images->Width(), Images->Height()));
    Images->Draw(Glyph.Canvas(), 0, 0, A->ImageIndex());
    FButton->SetGlyph(&Glyph);
}

// ---------------------------------------------------------------- TnvComboButton

TnvComboButton::TnvComboButton(TComponent* AOwner) : TSpeedButton(AOwner)
{
    SetBounds(0, 0, 22, 23);
}

TnvComboButton::~TnvComboButton() = default;

void TnvComboButton::SetAction(TBasicAction* Value)
{
    if (!Value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink)
        FActionLink = std::make_unique<TnvComboButtonActionLink>(this);
    FActionLink->LinkAction(Value);
}

void TnvComboButton::Click()
{
    if (!FActionLink || !FActionLink->Click())
        TSpeedButton::Click();
}

bool TnvComboButton::IsPropertyStored(const char* Name) const
{
    return TSpeedButton::IsPropertyStored(Name) && (!FActionLink || FActionLink->IsPropertyStored(Name));
}

void TnvComboButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TSpeedButton::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && FActionLink && AComponent == FActionLink->Action())
        SetAction(nullptr);
}

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
    case CM_BUTTONPRESSED: {
        // A sibling of the group went down: when that released this
        // button, its action is unchecked too.
        const bool WasDown = Down();
        TSpeedButton::WndProc(Message);
        if (WasDown && !Down())
            if (auto* A = dynamic_cast<TCustomAction*>(Action()))
                A->SetChecked(false);
        return;
    }
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
