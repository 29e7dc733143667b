// The main window of the demonstration program: a borderless window shaped by
// its picture, eleven category buttons that switch the launch page, the title
// and the description page together, and launch buttons that open the
// demonstration windows modally.
//
// The window is built from forms/TMainForm.nvf. The launch pages are the
// hidden sheets of a page control; the description pages are the pages of an
// outlook bar that shows no headers, so a new description replaces the old
// one at once.
#pragma once

#include "Forms.h"
#include "nvLabel.h"
#include "nvButtonGroup.h"
#include "nvImgBtn.h"
#include "nvOutlookBar.h"
#include "nvShapeBtn.h"
#include "nvimageform.h"

class TPageControl;
class TShape;

class TMainForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TMainForm(TComponent* AOwner = nullptr);

    // Components of the window (bound by name once the form file is read).
    TnvImageForm* nvImageForm1 = nullptr;
    TShape* Shape1 = nullptr;
    TnvLabel* TitleLabel = nullptr;
    TnvLabel* nvLabel2 = nullptr;
    TPageControl* PageControl1 = nullptr;
    TnvButtonGroup* nvButtonGroup1 = nullptr;
    TnvShapeBtn* nvShapeBtn3 = nullptr;
    TnvImageBtn* nvImageBtn1 = nullptr;
    TnvOutlookBar* nvOutlookBar1 = nullptr;

    // The category switch: OldButton (null when none was selected) loses the
    // selection colour, Button gets it; the launch page "TabSheet<Tag>" and
    // the description page "RichEditPage<Tag>" become active and the title
    // names the category. A launch page name that finds no component leaves
    // no launch page active, a description name that finds none leaves the
    // open description open; a component of another class raises
    // EInvalidCast. The button
    // group's OnChange hands over its items' buttons.
    void CategoryChange(TControl* OldButton, TControl* Button);
    // The category button that is down, or null.
    TControl* SelectedCategory() const;

    // Shows one demonstration window modally: created with the application
    // as owner under the hourglass cursor, destroyed once closed.
    void ShowDemo(const TMetaClass* FormClass);

    // The category group's selection moved (a click on another category).
    Q_INVOKABLE void nvButtonGroup1Change(TnvCustomButtonGroup* ButtonGroup, TnvButtonGroupItem* OldSelected,
                                          TnvButtonGroupItem* Selected);
    Q_INVOKABLE void nvShapeBtn3Click(TObject* Sender);

    // Launch buttons.
    Q_INVOKABLE void nvShapeBtn8Click(TObject* Sender);
    Q_INVOKABLE void DemoButtonOutlookBarClick(TObject* Sender);
    Q_INVOKABLE void DemoButtonTreeViewClick(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn9Click(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn14Click(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn15Click(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn16Click(TObject* Sender);
    Q_INVOKABLE void DemoButtonLabelClick(TObject* Sender);
    Q_INVOKABLE void Label2DemoButtonClick(TObject* Sender);
    Q_INVOKABLE void DemoButtonShapeBtn1Click(TObject* Sender);
    Q_INVOKABLE void DemoButtonImageBtnClick(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn1Click(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn5Click(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn2Click(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn12Click(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn13Click(TObject* Sender);
    Q_INVOKABLE void CalculatorDemoButtonClick(TObject* Sender);
    Q_INVOKABLE void DemoButtonStatusBarClick(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn7Click(TObject* Sender);
    Q_INVOKABLE void DemoButtonTilerClick(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn6Click(TObject* Sender);
    Q_INVOKABLE void DBImagerDemoButtonClick(TObject* Sender);
    Q_INVOKABLE void nvImageBtn2Click(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn4Click(TObject* Sender);
    Q_INVOKABLE void Panel2DemoButtonClick(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn17Click(TObject* Sender);
    Q_INVOKABLE void nvShapeBtn18Click(TObject* Sender);
    Q_INVOKABLE void DemoButtonImageFormClick(TObject* Sender);

    void Loaded() override;
};
