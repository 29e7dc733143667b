#include "TabBtnGroupDemo.h"

TTabBtnGroupForm::TTabBtnGroupForm(TComponent* AOwner) : TForm(AOwner) {}

void TTabBtnGroupForm::Loaded()
{
    TForm::Loaded();
    TabGroup = CheckedCast<TnvButtonGroup>(FindComponent("TabGroup"));
    PageControl1 = CheckedCast<TPageControl>(FindComponent("PageControl1"));
}

void TTabBtnGroupForm::TabGroupChange(TnvCustomButtonGroup*, TnvButtonGroupItem*, TnvButtonGroupItem* Selected)
{
    if (!Selected || !Selected->Button())
        return;
    PageControl1->SetActivePage(
        CheckedCast<TTabSheet>(FindComponent("TabSheet" + std::to_string(Selected->Button()->Tag()))));
}

void TTabBtnGroupForm::FormShow(TObject*)
{
    if (TabGroup->ButtonItems()->Count() > 0)
        TabGroup->ButtonItems()->Item(0)->SetDown(true);
    PageControl1->SetActivePage(CheckedCast<TTabSheet>(FindComponent("TabSheet1")));
}
