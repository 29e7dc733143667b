// The outlook bar demonstration: two bars, one of outlook lists with large
// and small icons, one of round headers over labels and a list; a check box
// puts a tiled picture behind the second bar's headers and panels, and the
// item last clicked in any list is named under the first bar.
#pragma once

#include "Forms.h"
#include "StdCtrls.h"
#include "nvImager.h"
#include "nvOutlookBar.h"
#include "nvOutlookList.h"

class TOutlookBarForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TOutlookBarForm(TComponent* AOwner = nullptr);

    TnvOutlookBar* nvOutlookBar1 = nullptr;
    TnvOutlookBar* nvOutlookBar2 = nullptr;
    TnvImager* nvImager1 = nullptr;
    TCheckBox* PictureCheck = nullptr;
    TLabel* ClickedLabel = nullptr;

    // The check box gives the second bar the picture or takes it away.
    Q_INVOKABLE void PictureCheckClick(TObject* Sender);
    // Any list: names the clicked item.
    Q_INVOKABLE void ListItemClick(TnvCustomOutlookList* Sender, TnvOutlookListItem* Item);

    void Loaded() override;
};
