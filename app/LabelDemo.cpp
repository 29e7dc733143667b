#include "LabelDemo.h"

const char* const ZentavoOrderPage = "https://www.zentavo.example/order.html";

TLabelForm::TLabelForm(TComponent* AOwner) : TForm(AOwner) {}

void TLabelForm::Loaded()
{
    TForm::Loaded();
    PageGroup = CheckedCast<TnvButtonGroup>(FindComponent("PageGroup"));
    PageControl1 = CheckedCast<TPageControl>(FindComponent("PageControl1"));
    StyleRadioGroup = CheckedCast<TRadioGroup>(FindComponent("StyleRadioGroup"));
    SampleLabel = CheckedCast<TnvLabel>(FindComponent("SampleLabel"));
    AdLabel = CheckedCast<TnvLabel>(FindComponent("AdLabel"));
    AdLabel->SetCursor(crHandPoint);
}

void TLabelForm::PageGroupChange(TnvCustomButtonGroup*, TnvButtonGroupItem*, TnvButtonGroupItem* Selected)
{
    if (!Selected || !Selected->Button())
        return;
    PageControl1->SetActivePage(
        CheckedCast<TTabSheet>(FindComponent("TabSheet" + std::to_string(Selected->Button()->Tag()))));
}

void TLabelForm::StyleRadioGroupClick(TObject*)
{
    static constexpr TnvTextStyle Styles[] = {nvlsDefault, nvlsLowered, nvlsRaised, nvlsOutline};
    const int Index = StyleRadioGroup->ItemIndex();
    if (Index >= 0 && Index < 4)
        SampleLabel->TextOptions()->SetStyle(Styles[Index]);
}

void TLabelForm::AdLabelMouseEnter(TObject*)
{
    AdLabel->Font()->SetColor(MakeColor(0xFF0000));
}

void TLabelForm::AdLabelMouseLeave(TObject*)
{
    AdLabel->Font()->SetColor(clBlack);
}

void TLabelForm::AdLabelClick(TObject*)
{
    if (OpenAddress)
        OpenAddress(ZentavoOrderPage);
}

void TLabelForm::FormShow(TObject*)
{
    PageGroup->ButtonItems()->Item(0)->SetDown(true);
    PageControl1->SetActivePage(CheckedCast<TTabSheet>(FindComponent("TabSheet1")));
}
