#include "Panel2Demo.h"

#include <algorithm>

TPanel2DemoForm::TPanel2DemoForm(TComponent* AOwner) : TForm(AOwner) {}

void TPanel2DemoForm::Loaded()
{
    TForm::Loaded();
    FrameCombo = CheckedCast<TComboBox>(FindComponent("FrameCombo"));
    NonFocusColorList = CheckedCast<TnvColorList>(FindComponent("NonFocusColorList"));
    FocusColorList = CheckedCast<TnvColorList>(FindComponent("FocusColorList"));
    TransparentCheck = CheckedCast<TCheckBox>(FindComponent("TransparentCheck"));
    StatusBar1 = CheckedCast<TnvStatusBar>(FindComponent("StatusBar1"));
    FStatusText = StatusBar1->Panels()->Items(0)->Text();
    FPanels.clear();
    for (int I = 0; I < ComponentCount(); ++I)
        if (auto* Panel = dynamic_cast<TnvPanel*>(Components(I)); Panel && Panel->Tag() > 0)
            FPanels.push_back(Panel);
    std::sort(FPanels.begin(), FPanels.end(), [](TnvPanel* A, TnvPanel* B) { return A->Tag() < B->Tag(); });
}

TControl* TPanel2DemoForm::PanelLabel(const TComponent* Panel) const
{
    return dynamic_cast<TControl*>(FindComponent("nvLabel" + std::to_string(Panel->Tag())));
}

void TPanel2DemoForm::PanelEnter(TObject* Sender)
{
    if (auto* Panel = dynamic_cast<TComponent*>(Sender))
        if (TControl* Label = PanelLabel(Panel))
            Label->Font()->SetColor(clRed);
}

void TPanel2DemoForm::PanelExit(TObject* Sender)
{
    if (auto* Panel = dynamic_cast<TComponent*>(Sender))
        if (TControl* Label = PanelLabel(Panel))
            Label->Font()->SetColor(clWindowText);
}

void TPanel2DemoForm::FrameComboChange(TObject*)
{
    // The combo's entries in order; the first switches the frame off, so the
    // panels show their bevels again.
    static constexpr TnvEditFocusStyle Styles[] = {efsFrameBox,    efsFrameSunken, efsFrameSingle, efsFrameBox,
                                                   efsFrameRaised, efsFrameEtched, efsFrameBump};
    const int Index = FrameCombo->ItemIndex();
    if (Index < 0 || Index >= static_cast<int>(std::size(Styles)))
        return;
    for (TnvPanel* Panel : FPanels) {
        TnvEditFrame* Frame = Panel->Frame();
        Frame->SetFocusStyle(Styles[Index]);
        Frame->SetNonFocusStyle(Styles[Index]);
        Frame->SetEnabled(Index != 0);
        Panel->Invalidate();
    }
}

void TPanel2DemoForm::NonFocusColorListClick(TObject*)
{
    TColor Colour = NonFocusColorList->SelectedColor();
    if (Colour == clNoColorSelected)
        Colour = clNone;
    for (TnvPanel* Panel : FPanels) {
        Panel->Frame()->SetNonFocusColor(Colour);
        Panel->Invalidate();
    }
}

void TPanel2DemoForm::FocusColorListClick(TObject*)
{
    const TColor Colour = FocusColorList->SelectedColor();
    if (Colour == clNone || Colour == clNoColorSelected)
        return;
    for (TnvPanel* Panel : FPanels)
        Panel->SetColor(Colour);
}

void TPanel2DemoForm::TransparentCheckClick(TObject*)
{
    const bool Transparent = TransparentCheck->Checked();
    for (TnvPanel* Panel : FPanels)
        Panel->SetTransparent(Transparent);
    StatusBar1->Panels()->Items(0)->SetText(Transparent ? String(TransparentNote) : FStatusText);
}
