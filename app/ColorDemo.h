// The colour combo and colour list demonstration: a colour list and a colour
// combo side by side, check boxes for every option of their colour lists, a
// radio group for the sort order, the combo's dialog switches, and a swatch
// that shows the colour last picked in either.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvColorCombo.h"

class TColorDemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TColorDemoForm(TComponent* AOwner = nullptr);

    TnvColorList* ColorList1 = nullptr;
    TnvColorCombo* ColorCombo1 = nullptr;
    TRadioGroup* SortGroup = nullptr;
    TCheckBox* EllipsisCheck = nullptr;
    TCheckBox* DialogCheck = nullptr;
    TShape* Swatch = nullptr;
    TLabel* SwatchLabel = nullptr;

    // The option check boxes, each with the option's bit as its Tag.
    std::vector<TCheckBox*> OptionChecks;

    // The options of the check boxes go to the list and the combo's list.
    Q_INVOKABLE void OptionCheckClick(TObject* Sender);
    // None, by RGB, by intensity or by name, for both.
    Q_INVOKABLE void SortGroupClick(TObject* Sender);
    // The ellipsis button opens the colour dialog instead of the list.
    Q_INVOKABLE void EllipsisCheckClick(TObject* Sender);
    // A double click on the combo opens the colour dialog.
    Q_INVOKABLE void DialogCheckClick(TObject* Sender);
    // A colour picked in the list is shown and taken by the combo.
    Q_INVOKABLE void ColorList1Click(TObject* Sender);
    // A colour picked in the combo is shown.
    Q_INVOKABLE void ColorCombo1Change(TObject* Sender);

    // The swatch and its text show the colour (none: "No colour").
    void ShowColor(TColor Color, const String& Name);
    TnvColorListBoxOptions CheckedOptions() const;

    void Loaded() override;
};
