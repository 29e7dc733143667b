// The order window: a borderless window cut from its picture, whose tab
// buttons open the "Prices", "Ordering" and "About" pages of an outlook bar
// of rich-text documents. On the ordering page the maker's web and mail
// addresses behave as links: a hand over them, and a press opens the site or
// a new mail.
#pragma once

#include "Forms.h"
#include "LabelDemo.h"
#include "RichEditLinks.h"
#include "nvDemoRichEdit.h"
#include "nvLabel.h"
#include "nvOutlookBar.h"
#include "nvShapeBtn.h"
#include "nvimageform.h"

// The maker's web site and sales mail address.
extern const char* const ZentavoWebAddress;
extern const char* const ZentavoSalesAddress;

class TOrderForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TOrderForm(TComponent* AOwner = nullptr);

    TnvImageForm* nvImageForm1 = nullptr;
    TnvLabel* TitleLabel = nullptr;
    TnvOutlookBar* OrderBar = nullptr;
    TnvDemoRichEdit* OrderingEdit = nullptr;
    TnvShapeBtn* CloseButton = nullptr;
    TOpenAddressHandler OpenAddress = ShellOpen;

    // The link under a point of the ordering document: the web address, the
    // sales mail address, or "" for anything else.
    String LinkAt(int X, int Y) const;

    Q_INVOKABLE void PricesButtonClick(TObject* Sender);
    Q_INVOKABLE void OrderingButtonClick(TObject* Sender);
    Q_INVOKABLE void AboutButtonClick(TObject* Sender);
    // A hand over an address, the edit's own cursor elsewhere.
    Q_INVOKABLE void OrderingEditMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    // A press on an address opens the site or a new mail to it.
    Q_INVOKABLE void OrderingEditMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    Q_INVOKABLE void CloseButtonClick(TObject* Sender);

    void Loaded() override;

private:
    void ShowPage(const char* ButtonName);
};
