#include "JustifyLabelDemo.h"

TJustifyLabelDemoForm::TJustifyLabelDemoForm(TComponent* AOwner) : TForm(AOwner) {}

void TJustifyLabelDemoForm::Loaded()
{
    TForm::Loaded();
    BiolifeTable = CheckedCast<TClientDataSet>(FindComponent("BiolifeTable"));
    NotesLabel = CheckedCast<TnvLabel>(FindComponent("NotesLabel"));
    JustifyCheck = CheckedCast<TCheckBox>(FindComponent("JustifyCheck"));
}

void TJustifyLabelDemoForm::PriorButtonClick(TObject*)
{
    BiolifeTable->Prior();
}

void TJustifyLabelDemoForm::NextButtonClick(TObject*)
{
    BiolifeTable->Next();
}

void TJustifyLabelDemoForm::JustifyCheckClick(TObject*)
{
    TnvTextOptions Options = NotesLabel->TextOptions()->Options();
    Options.setFlag(toFullJustify, JustifyCheck->Checked());
    NotesLabel->TextOptions()->SetOptions(Options);
}
