// The poll: a borderless window cut from a clipboard picture, whose paper
// holds transparent edits and combos with custom frames (a different frame
// style for each), a transparent framed group box of button groups, and a
// button that sums the answers up; dragged by its title, closed by the red
// button on the board.
#pragma once

#include "Forms.h"
#include "nvButtonGroup.h"
#include "nvCalcEdit.h"
#include "nvColorCombo.h"
#include "nvLabel.h"
#include "nvShapeBtn.h"
#include "nvimageform.h"
#include "nvpanel.h"

class TFrameDemo : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TFrameDemo(TComponent* AOwner = nullptr);

    TnvImageForm* nvImageForm1 = nullptr;
    TnvLabel* TitleLabel = nullptr;
    TnvCalcEdit* DevelopersEdit = nullptr;
    TnvCalcEdit* BudgetEdit = nullptr;
    TnvColorCombo* ButtonColourCombo = nullptr;
    TnvColorCombo* BackColourCombo = nullptr;
    TnvButtonGroup* UsesGroup = nullptr;
    TnvButtonGroup* HeardGroup = nullptr;
    TnvLabel* ResultLabel = nullptr;
    TnvShapeBtn* CloseButton = nullptr;

    // The answers in one sentence.
    String Summary() const;

    // The summary goes under the questions.
    Q_INVOKABLE void SendButtonClick(TObject* Sender);
    Q_INVOKABLE void CloseButtonClick(TObject* Sender);

    void Loaded() override;
};
