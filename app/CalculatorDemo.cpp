#include "CalculatorDemo.h"

const TnvCalcBitmapDrawStyle TCalculatorDemoForm::BackgroundStyles[3] = {cbdTile, cbdStretch, cbdCenter};
const TnvCalcOptions TCalculatorDemoForm::Appearances[5] = {
    TnvCalcOptions(),
    TnvCalcOptions(cboFlatButtons),
    TnvCalcOptions(cboFlatButtons) | cboHotTrackButtons,
    TnvCalcOptions(cboRoundedButtons),
    TnvCalcOptions(cboFlatDrawStyle),
};

TCalculatorDemoForm::TCalculatorDemoForm(TComponent* AOwner) : TForm(AOwner) {}

void TCalculatorDemoForm::Loaded()
{
    TForm::Loaded();
    for (int I = 0; I < 3; ++I)
        CalcEdits[I] = CheckedCast<TnvCalcEdit>(FindComponent("CalcEdit" + IntToStr(I + 1)));
    CloseOnEqualsCheck = CheckedCast<TCheckBox>(FindComponent("CloseOnEqualsCheck"));
    GroupingCheck = CheckedCast<TCheckBox>(FindComponent("GroupingCheck"));
    DecimalCheck = CheckedCast<TCheckBox>(FindComponent("DecimalCheck"));
    HideMemoryCheck = CheckedCast<TCheckBox>(FindComponent("HideMemoryCheck"));
    ShowButtonCheck = CheckedCast<TCheckBox>(FindComponent("ShowButtonCheck"));
    BackgroundGroup = CheckedCast<TRadioGroup>(FindComponent("BackgroundGroup"));
    AppearanceGroup = CheckedCast<TRadioGroup>(FindComponent("AppearanceGroup"));
}

TnvCalcOptions TCalculatorDemoForm::ChosenOptions() const
{
    TnvCalcOptions Options;
    Options.setFlag(cboCloseOnEquals, CloseOnEqualsCheck->Checked());
    Options.setFlag(cboDigitGrouping, GroupingCheck->Checked());
    Options.setFlag(cboShowDecimal, DecimalCheck->Checked());
    Options.setFlag(cboHideMemory, HideMemoryCheck->Checked());
    const int Look = AppearanceGroup->ItemIndex();
    if (Look >= 0 && Look < 5)
        Options |= Appearances[Look];
    return Options;
}

void TCalculatorDemoForm::CalcEditBeforeDropDown(TObject* Sender)
{
    TnvPopupCalcOptions* Calc = CheckedCast<TnvCalcEdit>(Sender)->CalcOptions();
    // What the edit keeps for itself (the hidden editor) stays.
    static constexpr TnvCalcOptions Chosen = TnvCalcOptions(cboCloseOnEquals) | cboDigitGrouping | cboShowDecimal |
                                             cboHideMemory | cboFlatButtons | cboHotTrackButtons |
                                             cboRoundedButtons | cboFlatDrawStyle;
    Calc->SetOptions((Calc->Options() & ~Chosen) | ChosenOptions());
    const int Style = BackgroundGroup->ItemIndex();
    if (Style >= 0 && Style < 3)
        Calc->SetBackgroundStyle(BackgroundStyles[Style]);
}

void TCalculatorDemoForm::ShowButtonCheckClick(TObject*)
{
    for (TnvCalcEdit* Edit : CalcEdits)
        Edit->SetShowButton(ShowButtonCheck->Checked());
}
