// The group box demonstration: two framed group boxes over a tiled backdrop,
// with colour combos for their focused and unfocused colours, a switch for
// transparency, a full border below the caption and an up-down for the
// caption indent, each applied to both boxes.
#pragma once

#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvColorCombo.h"
#include "nvpanel.h"

class TPanelDemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TPanelDemoForm(TComponent* AOwner = nullptr);

    TnvGroupBox* AddressBox = nullptr;
    TnvGroupBox* PaymentBox = nullptr;
    TnvColorCombo* ColorCombo = nullptr;
    TnvColorCombo* NonFocusColorCombo = nullptr;
    TCheckBox* TransparentCheck = nullptr;
    TCheckBox* FullBorderCheck = nullptr;
    TUpDown* IndentUpDown = nullptr;

    // The colour while a box holds the focus.
    Q_INVOKABLE void ColorComboChange(TObject* Sender);
    // The colour while it does not.
    Q_INVOKABLE void NonFocusColorComboChange(TObject* Sender);
    // Both boxes let the backdrop through; their colours mean nothing then,
    // so the colour combos are disabled.
    Q_INVOKABLE void TransparentCheckClick(TObject* Sender);
    Q_INVOKABLE void FullBorderCheckClick(TObject* Sender);
    Q_INVOKABLE void IndentUpDownClick(TObject* Sender, TUDBtnType Button);

    // The two demonstrated boxes.
    std::vector<TnvGroupBox*> Boxes() const { return {AddressBox, PaymentBox}; }

    void Loaded() override;
};
