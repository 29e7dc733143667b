// The status bar demonstration: a button group (and the "Styles" menu)
// selects one of six pages, each with status bars of one family of panel
// styles: key states, date and time, user and computer names with glyphs, a
// rich edit's caret position, hints with hosted controls that a timer steps,
// and text effects. A hot-tracked advertisement opens the ordering page.
#pragma once

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "LabelDemo.h"
#include "Menus.h"
#include "RichEdit.h"
#include "nvButtonGroup.h"
#include "nvLabel.h"
#include "nvProgressBar.h"
#include "nvStatusBar.h"

class TStatusBarDemoForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TStatusBarDemoForm(TComponent* AOwner = nullptr);

    TnvButtonGroup* StyleGroup = nullptr;
    TPageControl* PageControl1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* StylesMenu = nullptr;
    TTimer* Timer1 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TnvProgressBar* Gauge1 = nullptr;
    TRichEdit* RichEdit1 = nullptr;
    TnvLabel* AdLabel = nullptr;
    TOpenAddressHandler OpenAddress = ShellOpen;

    // The page "TabSheet<Tag>" of the selected button becomes the active
    // one; the old button's caption turns black, the new one's red.
    Q_INVOKABLE void StyleGroupChange(TnvCustomButtonGroup* Sender, TnvButtonGroupItem* OldSelected,
                                      TnvButtonGroupItem* Selected);
    // A "Styles" menu item selects the button of the same index.
    Q_INVOKABLE void StyleMenuItemClick(TObject* Sender);
    Q_INVOKABLE void CloseClick(TObject* Sender);

    // Panel texts: the long date, the names with their prefixes and the rich
    // edit's caret line and column.
    Q_INVOKABLE void DatePanelDrawText(TnvStatusPanel* Panel, String& Text, bool& Enabled);
    Q_INVOKABLE void UserNamePanelDrawText(TnvStatusPanel* Panel, String& Text, bool& Enabled);
    Q_INVOKABLE void ComputerNamePanelDrawText(TnvStatusPanel* Panel, String& Text, bool& Enabled);
    Q_INVOKABLE void LinePanelDrawText(TnvStatusPanel* Panel, String& Text, bool& Enabled);
    Q_INVOKABLE void ColumnPanelDrawText(TnvStatusPanel* Panel, String& Text, bool& Enabled);
    Q_INVOKABLE void PositionPanelDrawText(TnvStatusPanel* Panel, String& Text, bool& Enabled);

    // Steps the hosted progress bar and the gauge (which starts again at 0
    // after 100, in steps of 10).
    Q_INVOKABLE void Timer1Timer(TObject* Sender);

    // The advertisement turns blue under the mouse, black again when it
    // leaves, and opens the ordering page when clicked.
    Q_INVOKABLE void AdLabelMouseEnter(TObject* Sender);
    Q_INVOKABLE void AdLabelMouseLeave(TObject* Sender);
    Q_INVOKABLE void AdLabelClick(TObject* Sender);
    // The window opens on its first page.
    Q_INVOKABLE void FormShow(TObject* Sender);

    void Loaded() override;
};
