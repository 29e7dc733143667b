// The button group demonstration: a group of shape buttons whose click
// style, layout, columns, spacing, size limit, colour, bolding, pressed look
// and transparency are set by the controls beside it, which reports its
// selection changes; below it groups of image buttons as radio buttons and
// as a check list, and a row of plain buttons.
#pragma once

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvButtonGroup.h"
#include "nvColorCombo.h"

class TButtonGroupDemo2 : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TButtonGroupDemo2(TComponent* AOwner = nullptr);

    TnvButtonGroup* DemoGroup = nullptr;
    TLabel* ChangeLabel = nullptr;
    TRadioGroup* ClickStyleRadio = nullptr;
    TRadioGroup* LayoutRadio = nullptr;
    TUpDown* ColumnsUpDown = nullptr;
    TUpDown* SpacingUpDown = nullptr;
    TUpDown* MaxSizeUpDown = nullptr;
    TnvColorCombo* GroupColorCombo = nullptr;
    TCheckBox* AutoBoldCheck = nullptr;
    TCheckBox* ShowDownAsUpCheck = nullptr;
    TCheckBox* TransparentCheck = nullptr;

    // Names the new selection and the one before it.
    Q_INVOKABLE void DemoGroupChange(TnvCustomButtonGroup* Sender, TnvButtonGroupItem* OldSelected,
                                     TnvButtonGroupItem* Selected);
    Q_INVOKABLE void ClickStyleRadioClick(TObject* Sender);
    Q_INVOKABLE void LayoutRadioClick(TObject* Sender);
    Q_INVOKABLE void ColumnsUpDownClick(TObject* Sender, TUDBtnType Button);
    Q_INVOKABLE void SpacingUpDownClick(TObject* Sender, TUDBtnType Button);
    Q_INVOKABLE void MaxSizeUpDownClick(TObject* Sender, TUDBtnType Button);
    Q_INVOKABLE void GroupColorComboChange(TObject* Sender);
    Q_INVOKABLE void AutoBoldCheckClick(TObject* Sender);
    Q_INVOKABLE void ShowDownAsUpCheckClick(TObject* Sender);
    Q_INVOKABLE void TransparentCheckClick(TObject* Sender);

    void Loaded() override;
};
