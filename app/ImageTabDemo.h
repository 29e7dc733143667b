// The tab-shaped window: a borderless notebook cut from its picture by an
// image form, whose tabs (image buttons in a button group) select the pages
// of a page control; it is dragged by its title strip and closed by the red
// button in it.
#pragma once

#include "ComCtrls.h"
#include "Forms.h"
#include "nvButtonGroup.h"
#include "nvLabel.h"
#include "nvShapeBtn.h"
#include "nvimageform.h"

class TImageTabForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TImageTabForm(TComponent* AOwner = nullptr);

    TnvImageForm* nvImageForm1 = nullptr;
    TnvButtonGroup* TabGroup = nullptr;
    TPageControl* PageControl1 = nullptr;
    TnvLabel* TitleLabel = nullptr;
    TnvShapeBtn* CloseButton = nullptr;

    // The page "TabSheet<Tag>" of the selected tab becomes the active one.
    Q_INVOKABLE void TabGroupChange(TnvCustomButtonGroup* Sender, TnvButtonGroupItem* OldSelected,
                                    TnvButtonGroupItem* Selected);
    // The window opens on its first page.
    Q_INVOKABLE void FormShow(TObject* Sender);
    Q_INVOKABLE void CloseButtonClick(TObject* Sender);

    void Loaded() override;
};
