#include "PanelDemo.h"

TPanelDemoForm::TPanelDemoForm(TComponent* AOwner) : TForm(AOwner) {}

void TPanelDemoForm::Loaded()
{
    TForm::Loaded();
    AddressBox = CheckedCast<TnvGroupBox>(FindComponent("AddressBox"));
    PaymentBox = CheckedCast<TnvGroupBox>(FindComponent("PaymentBox"));
    ColorCombo = CheckedCast<TnvColorCombo>(FindComponent("ColorCombo"));
    NonFocusColorCombo = CheckedCast<TnvColorCombo>(FindComponent("NonFocusColorCombo"));
    TransparentCheck = CheckedCast<TCheckBox>(FindComponent("TransparentCheck"));
    FullBorderCheck = CheckedCast<TCheckBox>(FindComponent("FullBorderCheck"));
    IndentUpDown = CheckedCast<TUpDown>(FindComponent("IndentUpDown"));
}

void TPanelDemoForm::ColorComboChange(TObject*)
{
    // "None" and no choice leave the boxes as they are: a box needs a colour.
    const TColor Colour = ColorCombo->SelectedColor();
    if (Colour == clNone || Colour == clNoColorSelected)
        return;
    for (TnvGroupBox* Box : Boxes())
        Box->SetColor(Colour);
}

void TPanelDemoForm::NonFocusColorComboChange(TObject*)
{
    // "None" (or no choice) keeps the focused colour when unfocused.
    TColor Colour = NonFocusColorCombo->SelectedColor();
    if (Colour == clNoColorSelected)
        Colour = clNone;
    for (TnvGroupBox* Box : Boxes()) {
        Box->Frame()->SetNonFocusColor(Colour);
        Box->Invalidate();
    }
}

void TPanelDemoForm::TransparentCheckClick(TObject*)
{
    const bool Transparent = TransparentCheck->Checked();
    for (TnvGroupBox* Box : Boxes())
        Box->SetTransparent(Transparent);
    ColorCombo->SetEnabled(!Transparent);
    NonFocusColorCombo->SetEnabled(!Transparent);
}

void TPanelDemoForm::FullBorderCheckClick(TObject*)
{
    for (TnvGroupBox* Box : Boxes())
        Box->SetFullBorder(FullBorderCheck->Checked());
}

void TPanelDemoForm::IndentUpDownClick(TObject*, TUDBtnType)
{
    for (TnvGroupBox* Box : Boxes())
        Box->SetCaptionIndent(IndentUpDown->Position());
}
