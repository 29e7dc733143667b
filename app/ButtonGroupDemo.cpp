#include "ButtonGroupDemo.h"

TButtonGroupDemo2::TButtonGroupDemo2(TComponent* AOwner) : TForm(AOwner) {}

void TButtonGroupDemo2::Loaded()
{
    TForm::Loaded();
    DemoGroup = CheckedCast<TnvButtonGroup>(FindComponent("DemoGroup"));
    ChangeLabel = CheckedCast<TLabel>(FindComponent("ChangeLabel"));
    ClickStyleRadio = CheckedCast<TRadioGroup>(FindComponent("ClickStyleRadio"));
    LayoutRadio = CheckedCast<TRadioGroup>(FindComponent("LayoutRadio"));
    ColumnsUpDown = CheckedCast<TUpDown>(FindComponent("ColumnsUpDown"));
    SpacingUpDown = CheckedCast<TUpDown>(FindComponent("SpacingUpDown"));
    MaxSizeUpDown = CheckedCast<TUpDown>(FindComponent("MaxSizeUpDown"));
    GroupColorCombo = CheckedCast<TnvColorCombo>(FindComponent("GroupColorCombo"));
    AutoBoldCheck = CheckedCast<TCheckBox>(FindComponent("AutoBoldCheck"));
    ShowDownAsUpCheck = CheckedCast<TCheckBox>(FindComponent("ShowDownAsUpCheck"));
    TransparentCheck = CheckedCast<TCheckBox>(FindComponent("TransparentCheck"));
}

void TButtonGroupDemo2::DemoGroupChange(TnvCustomButtonGroup*, TnvButtonGroupItem* OldSelected,
                                        TnvButtonGroupItem* Selected)
{
    if (!Selected || !Selected->Button())
        return;
    String Text = "OnChange: \"" + Selected->Button()->Caption() + "\" selected";
    if (OldSelected && OldSelected->Button())
        Text += ", \"" + OldSelected->Button()->Caption() + "\" before";
    ChangeLabel->SetCaption(Text);
}

void TButtonGroupDemo2::ClickStyleRadioClick(TObject*)
{
    static constexpr TnvButtonGroupClickStyle Styles[] = {bcsCheckList, bcsRadioGroup, bcsClick};
    const int Index = ClickStyleRadio->ItemIndex();
    if (Index >= 0 && Index < 3)
        DemoGroup->SetClickStyle(Styles[Index]);
}

void TButtonGroupDemo2::LayoutRadioClick(TObject*)
{
    DemoGroup->SetLayout(LayoutRadio->ItemIndex() == 1 ? loHorizontal : loVertical);
}

void TButtonGroupDemo2::ColumnsUpDownClick(TObject*, TUDBtnType)
{
    DemoGroup->SetColumns(ColumnsUpDown->Position());
}

void TButtonGroupDemo2::SpacingUpDownClick(TObject*, TUDBtnType)
{
    DemoGroup->SetControlSpacing(SpacingUpDown->Position());
}

void TButtonGroupDemo2::MaxSizeUpDownClick(TObject*, TUDBtnType)
{
    DemoGroup->SetMaxControlSize(MaxSizeUpDown->Position());
}

void TButtonGroupDemo2::GroupColorComboChange(TObject*)
{
    const TColor Colour = GroupColorCombo->SelectedColor();
    if (Colour != clNoColorSelected)
        DemoGroup->SetColor(Colour);
}

void TButtonGroupDemo2::AutoBoldCheckClick(TObject*)
{
    DemoGroup->SetAutoBold(AutoBoldCheck->Checked());
}

void TButtonGroupDemo2::ShowDownAsUpCheckClick(TObject*)
{
    DemoGroup->SetShowDownAsUp(ShowDownAsUpCheck->Checked());
}

void TButtonGroupDemo2::TransparentCheckClick(TObject*)
{
    DemoGroup->SetTransparent(TransparentCheck->Checked());
}
