// The data-aware label demonstration: labels bound to the fish table show
// the name, the species and the notes, the notes word-wrapped and fully
// justified (switchable), beside the fish's picture; buttons move through
// the records.
#pragma once

#include "DBClient.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvLabel.h"

class TJustifyLabelDemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TJustifyLabelDemoForm(TComponent* AOwner = nullptr);

    TClientDataSet* BiolifeTable = nullptr;
    TnvLabel* NotesLabel = nullptr;
    TCheckBox* JustifyCheck = nullptr;

    Q_INVOKABLE void PriorButtonClick(TObject* Sender);
    Q_INVOKABLE void NextButtonClick(TObject* Sender);
    // Full justification of the notes on or off.
    Q_INVOKABLE void JustifyCheckClick(TObject* Sender);

    void Loaded() override;
};
