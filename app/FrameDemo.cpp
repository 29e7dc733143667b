#include "FrameDemo.h"

TFrameDemo::TFrameDemo(TComponent* AOwner) : TForm(AOwner) {}

void TFrameDemo::Loaded()
{
    TForm::Loaded();
    nvImageForm1 = CheckedCast<TnvImageForm>(FindComponent("nvImageForm1"));
    TitleLabel = CheckedCast<TnvLabel>(FindComponent("TitleLabel"));
    DevelopersEdit = CheckedCast<TnvCalcEdit>(FindComponent("DevelopersEdit"));
    BudgetEdit = CheckedCast<TnvCalcEdit>(FindComponent("BudgetEdit"));
    ButtonColourCombo = CheckedCast<TnvColorCombo>(FindComponent("ButtonColourCombo"));
    BackColourCombo = CheckedCast<TnvColorCombo>(FindComponent("BackColourCombo"));
    UsesGroup = CheckedCast<TnvButtonGroup>(FindComponent("UsesGroup"));
    HeardGroup = CheckedCast<TnvButtonGroup>(FindComponent("HeardGroup"));
    ResultLabel = CheckedCast<TnvLabel>(FindComponent("ResultLabel"));
    CloseButton = CheckedCast<TnvShapeBtn>(FindComponent("CloseButton"));
}

String TFrameDemo::Summary() const
{
    String Uses;
    for (int I = 0; I < UsesGroup->ButtonItems()->Count(); ++I)
        if (TnvCustomBitBtn* B = UsesGroup->ButtonItems()->Item(I)->Button(); B && B->Down())
            Uses += (Uses.empty() ? "" : ", ") + B->Caption();
    String Heard = "somewhere";
    if (TnvButtonGroupItem* Item = HeardGroup->SelectedItem(); Item && Item->Button())
        Heard = Item->Button()->Caption();
    String Text = "Thank you! " + DevelopersEdit->Text() + " developers, a budget of $" + BudgetEdit->Text() +
                  ", buttons in " + ButtonColourCombo->Text() + " on " + BackColourCombo->Text() + "; ";
    Text += Uses.empty() ? String("no favourite controls") : "you use " + Uses;
    Text += "; heard of us from " + LowerCase(Heard) + ".";
    return Text;
}

void TFrameDemo::SendButtonClick(TObject*)
{
    ResultLabel->SetCaption(Summary());
}

void TFrameDemo::CloseButtonClick(TObject*)
{
    Close();
}
