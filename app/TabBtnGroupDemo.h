// The button group as a tab control: a row of shape buttons selects the
// pages of a page control whose own tabs are hidden.
#pragma once

#include "ComCtrls.h"
#include "Forms.h"
#include "nvButtonGroup.h"

class TTabBtnGroupForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TTabBtnGroupForm(TComponent* AOwner = nullptr);

    TnvButtonGroup* TabGroup = nullptr;
    TPageControl* PageControl1 = nullptr;

    // The page "TabSheet<Tag>" of the selected button becomes the active one.
    Q_INVOKABLE void TabGroupChange(TnvCustomButtonGroup* Sender, TnvButtonGroupItem* OldSelected,
                                    TnvButtonGroupItem* Selected);
    // The window opens on its first page.
    Q_INVOKABLE void FormShow(TObject* Sender);

    void Loaded() override;
};
