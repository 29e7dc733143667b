// The label demonstration: labels with every text effect on five pages that
// a button group selects (styles, shadows, extrusion, rotation, text layout),
// a radio group that sets the style of a sample label, and a hot-tracked
// advertisement label that opens the ordering page.
#pragma once

#include <functional>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "nvButtonGroup.h"
#include "nvLabel.h"

// Opens a web or mail address; the demonstration windows call the shell's
// "OPEN" through it (tests put a recorder in its place).
using TOpenAddressHandler = std::function<bool(const String&)>;

// The maker's ordering page, which the advertisement labels open.
extern const char* const ZentavoOrderPage;

class TLabelForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TLabelForm(TComponent* AOwner = nullptr);

    TnvButtonGroup* PageGroup = nullptr;
    TPageControl* PageControl1 = nullptr;
    TRadioGroup* StyleRadioGroup = nullptr;
    TnvLabel* SampleLabel = nullptr;
    TnvLabel* AdLabel = nullptr;
    TOpenAddressHandler OpenAddress = ShellOpen;

    // The page "TabSheet<Tag>" of the selected button becomes the active one.
    Q_INVOKABLE void PageGroupChange(TnvCustomButtonGroup* Sender, TnvButtonGroupItem* OldSelected,
                                     TnvButtonGroupItem* Selected);
    // The sample label takes the chosen style.
    Q_INVOKABLE void StyleRadioGroupClick(TObject* Sender);
    // The advertisement turns blue under the mouse, black again when it
    // leaves, and opens the ordering page when clicked.
    Q_INVOKABLE void AdLabelMouseEnter(TObject* Sender);
    Q_INVOKABLE void AdLabelMouseLeave(TObject* Sender);
    Q_INVOKABLE void AdLabelClick(TObject* Sender);
    // The window opens on its first page.
    Q_INVOKABLE void FormShow(TObject* Sender);

    void Loaded() override;
};
