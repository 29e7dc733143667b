#include "OutlookBarDemo.h"

TOutlookBarForm::TOutlookBarForm(TComponent* AOwner) : TForm(AOwner) {}

void TOutlookBarForm::Loaded()
{
    TForm::Loaded();
    nvOutlookBar1 = CheckedCast<TnvOutlookBar>(FindComponent("nvOutlookBar1"));
    nvOutlookBar2 = CheckedCast<TnvOutlookBar>(FindComponent("nvOutlookBar2"));
    nvImager1 = CheckedCast<TnvImager>(FindComponent("nvImager1"));
    PictureCheck = CheckedCast<TCheckBox>(FindComponent("PictureCheck"));
    ClickedLabel = CheckedCast<TLabel>(FindComponent("ClickedLabel"));
}

void TOutlookBarForm::PictureCheckClick(TObject*)
{
    if (!nvOutlookBar2 || !PictureCheck)
        return;
    nvOutlookBar2->SetImager(PictureCheck->Checked() ? nvImager1 : nullptr);
}

void TOutlookBarForm::ListItemClick(TnvCustomOutlookList*, TnvOutlookListItem* Item)
{
    if (ClickedLabel && Item)
        ClickedLabel->SetCaption("Clicked: " + Item->Text());
}
