// The data-aware imager demonstration: two data-aware imagers, one over the
// fish table (biolife.xml), one over the picture table (nvpicture.xml), each
// with its record's texts and buttons that move through the table; a draw
// style and two effects apply to both imagers.
#pragma once

#include "DBClient.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvImager.h"

class TDBImagerDemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TDBImagerDemoForm(TComponent* AOwner = nullptr);

    TClientDataSet* BiolifeTable = nullptr;
    TClientDataSet* PictureTable = nullptr;
    TnvDBImager* FishImager = nullptr;
    TnvDBImager* PictureImager = nullptr;
    TLabel* FishRecordLabel = nullptr;
    TLabel* PictureRecordLabel = nullptr;
    TComboBox* DrawStyleCombo = nullptr;
    TCheckBox* GrayScaleCheck = nullptr;
    TCheckBox* EmbossCheck = nullptr;

    Q_INVOKABLE void FishPriorButtonClick(TObject* Sender);
    Q_INVOKABLE void FishNextButtonClick(TObject* Sender);
    Q_INVOKABLE void PicturePriorButtonClick(TObject* Sender);
    Q_INVOKABLE void PictureNextButtonClick(TObject* Sender);
    // The record positions show.
    Q_INVOKABLE void FormShow(TObject* Sender);
    // Both imagers take the chosen draw style (the combo lists them in the
    // order of TnvImagerDrawStyle).
    Q_INVOKABLE void DrawStyleComboChange(TObject* Sender);
    // Both imagers show their pictures in grey, embossed, or both.
    Q_INVOKABLE void EffectCheckClick(TObject* Sender);

    void Loaded() override;

private:
    // "Record n of m" under each imager.
    void ShowPositions();
};
