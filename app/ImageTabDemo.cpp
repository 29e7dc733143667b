#include "ImageTabDemo.h"

TImageTabForm::TImageTabForm(TComponent* AOwner) : TForm(AOwner) {}

void TImageTabForm::Loaded()
{
    TForm::Loaded();
    nvImageForm1 = CheckedCast<TnvImageForm>(FindComponent("nvImageForm1"));
    TabGroup = CheckedCast<TnvButtonGroup>(FindComponent("TabGroup"));
    PageControl1 = CheckedCast<TPageControl>(FindComponent("PageControl1"));
    TitleLabel = CheckedCast<TnvLabel>(FindComponent("TitleLabel"));
    CloseButton = CheckedCast<TnvShapeBtn>(FindComponent("CloseButton"));
}

void TImageTabForm::TabGroupChange(TnvCustomButtonGroup*, TnvButtonGroupItem*, TnvButtonGroupItem* Selected)
{
    if (!Selected || !Selected->Button())
        return;
    PageControl1->SetActivePage(
        CheckedCast<TTabSheet>(FindComponent("TabSheet" + std::to_string(Selected->Button()->Tag()))));
}

void TImageTabForm::FormShow(TObject*)
{
    if (TabGroup->ButtonItems()->Count() > 0)
        TabGroup->ButtonItems()->Item(0)->SetDown(true);
    PageControl1->SetActivePage(CheckedCast<TTabSheet>(FindComponent("TabSheet1")));
}

void TImageTabForm::CloseButtonClick(TObject*)
{
    Close();
}
