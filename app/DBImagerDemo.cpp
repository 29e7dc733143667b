#include "DBImagerDemo.h"

TDBImagerDemoForm::TDBImagerDemoForm(TComponent* AOwner) : TForm(AOwner) {}

void TDBImagerDemoForm::Loaded()
{
    TForm::Loaded();
    BiolifeTable = CheckedCast<TClientDataSet>(FindComponent("BiolifeTable"));
    PictureTable = CheckedCast<TClientDataSet>(FindComponent("PictureTable"));
    FishImager = CheckedCast<TnvDBImager>(FindComponent("FishImager"));
    PictureImager = CheckedCast<TnvDBImager>(FindComponent("PictureImager"));
    FishRecordLabel = CheckedCast<TLabel>(FindComponent("FishRecordLabel"));
    PictureRecordLabel = CheckedCast<TLabel>(FindComponent("PictureRecordLabel"));
    DrawStyleCombo = CheckedCast<TComboBox>(FindComponent("DrawStyleCombo"));
    GrayScaleCheck = CheckedCast<TCheckBox>(FindComponent("GrayScaleCheck"));
    EmbossCheck = CheckedCast<TCheckBox>(FindComponent("EmbossCheck"));
}

void TDBImagerDemoForm::FormShow(TObject*)
{
    ShowPositions();
}

void TDBImagerDemoForm::ShowPositions()
{
    FishRecordLabel->SetCaption("Fish " + IntToStr(BiolifeTable->RecNo()) + " of " +
                                IntToStr(BiolifeTable->RecordCount()));
    PictureRecordLabel->SetCaption("Picture " + IntToStr(PictureTable->RecNo()) + " of " +
                                   IntToStr(PictureTable->RecordCount()));
}

void TDBImagerDemoForm::FishPriorButtonClick(TObject*)
{
    BiolifeTable->Prior();
    ShowPositions();
}

void TDBImagerDemoForm::FishNextButtonClick(TObject*)
{
    BiolifeTable->Next();
    ShowPositions();
}

void TDBImagerDemoForm::PicturePriorButtonClick(TObject*)
{
    PictureTable->Prior();
    ShowPositions();
}

void TDBImagerDemoForm::PictureNextButtonClick(TObject*)
{
    PictureTable->Next();
    ShowPositions();
}

void TDBImagerDemoForm::DrawStyleComboChange(TObject*)
{
    const int Index = DrawStyleCombo->ItemIndex();
    if (Index < 0 || Index > 5)
        return;
    FishImager->SetDrawStyle(static_cast<TnvImagerDrawStyle>(Index));
    PictureImager->SetDrawStyle(static_cast<TnvImagerDrawStyle>(Index));
}

void TDBImagerDemoForm::EffectCheckClick(TObject*)
{
    for (TnvDBImager* Imager : {FishImager, PictureImager}) {
        TnvBitmapOptions* Options = Imager->BitmapOptions();
        Options->BeginUpdate();
        Options->SetGrayScale(GrayScaleCheck->Checked());
        Options->SetEmbossed(EmbossCheck->Checked());
        Options->EndUpdate();
    }
}
