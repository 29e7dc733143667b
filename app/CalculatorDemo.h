// The calculator edit demonstration: three calculator edits whose pop-up
// calculators take the options chosen on the window just before each
// drop-down (closing on "=", digit grouping and the decimal separator while
// typing, hidden memory keys, the background's draw style and the look of
// the keys); a check box shows or hides the edits' drop-down buttons.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvCalcEdit.h"

class TCalculatorDemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TCalculatorDemoForm(TComponent* AOwner = nullptr);

    TnvCalcEdit* CalcEdits[3] = {};
    TCheckBox* CloseOnEqualsCheck = nullptr;
    TCheckBox* GroupingCheck = nullptr;
    TCheckBox* DecimalCheck = nullptr;
    TCheckBox* HideMemoryCheck = nullptr;
    TCheckBox* ShowButtonCheck = nullptr;
    TRadioGroup* BackgroundGroup = nullptr;
    TRadioGroup* AppearanceGroup = nullptr;

    // The background styles of BackgroundGroup and the key looks of
    // AppearanceGroup, by item.
    static const TnvCalcBitmapDrawStyle BackgroundStyles[3];
    static const TnvCalcOptions Appearances[5];

    // The edit's pop-up calculator takes the window's options.
    Q_INVOKABLE void CalcEditBeforeDropDown(TObject* Sender);
    // Every edit shows or hides its drop-down button.
    Q_INVOKABLE void ShowButtonCheckClick(TObject* Sender);

    // The options the window's controls stand for.
    TnvCalcOptions ChosenOptions() const;

    void Loaded() override;
};
