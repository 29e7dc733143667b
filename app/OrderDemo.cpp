#include "OrderDemo.h"

const char* const ZentavoWebAddress = "www.zentavo.example";
const char* const ZentavoSalesAddress = "sales@zentavo.example";

TOrderForm::TOrderForm(TComponent* AOwner) : TForm(AOwner) {}

void TOrderForm::Loaded()
{
    TForm::Loaded();
    nvImageForm1 = CheckedCast<TnvImageForm>(FindComponent("nvImageForm1"));
    TitleLabel = CheckedCast<TnvLabel>(FindComponent("TitleLabel"));
    OrderBar = CheckedCast<TnvOutlookBar>(FindComponent("OrderBar"));
    OrderingEdit = CheckedCast<TnvDemoRichEdit>(FindComponent("OrderingEdit"));
    CloseButton = CheckedCast<TnvShapeBtn>(FindComponent("CloseButton"));
}

void TOrderForm::ShowPage(const char* ButtonName)
{
    OrderBar->SetActivePage(CheckedCast<TnvCustomBitBtn>(FindComponent(ButtonName)));
}

void TOrderForm::PricesButtonClick(TObject*)
{
    ShowPage("PricesPage");
}

void TOrderForm::OrderingButtonClick(TObject*)
{
    ShowPage("OrderingPage");
}

void TOrderForm::AboutButtonClick(TObject*)
{
    ShowPage("AboutPage");
}

String TOrderForm::LinkAt(int X, int Y) const
{
    const String Word = WordAtPos(OrderingEdit, TPoint(X, Y));
    if (SameText(Word, ZentavoWebAddress) || SameText(Word, ZentavoSalesAddress))
        return Word;
    return String();
}

void TOrderForm::OrderingEditMouseMove(TObject*, TShiftState, int X, int Y)
{
    SetTextCursor(OrderingEdit, LinkAt(X, Y).empty() ? crDefault : crHandPoint);
}

void TOrderForm::OrderingEditMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    if (Button != mbLeft || !OpenAddress)
        return;
    const String Link = LinkAt(X, Y);
    if (SameText(Link, ZentavoWebAddress))
        OpenAddress("http://" + String(ZentavoWebAddress));
    else if (SameText(Link, ZentavoSalesAddress))
        OpenAddress("mailto:" + String(ZentavoSalesAddress));
}

void TOrderForm::CloseButtonClick(TObject*)
{
    Close();
}
