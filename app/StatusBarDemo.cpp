#include "StatusBarDemo.h"

#include "DateTime.h"

TStatusBarDemoForm::TStatusBarDemoForm(TComponent* AOwner) : TForm(AOwner) {}

void TStatusBarDemoForm::Loaded()
{
    TForm::Loaded();
    StyleGroup = CheckedCast<TnvButtonGroup>(FindComponent("StyleGroup"));
    PageControl1 = CheckedCast<TPageControl>(FindComponent("PageControl1"));
    MainMenu1 = CheckedCast<TMainMenu>(FindComponent("MainMenu1"));
    StylesMenu = CheckedCast<TMenuItem>(FindComponent("StylesMenu"));
    Timer1 = CheckedCast<TTimer>(FindComponent("Timer1"));
    ProgressBar1 = CheckedCast<TProgressBar>(FindComponent("ProgressBar1"));
    Gauge1 = CheckedCast<TnvProgressBar>(FindComponent("Gauge1"));
    RichEdit1 = CheckedCast<TRichEdit>(FindComponent("RichEdit1"));
    AdLabel = CheckedCast<TnvLabel>(FindComponent("AdLabel"));
    AdLabel->SetCursor(crHandPoint);
}

void TStatusBarDemoForm::StyleGroupChange(TnvCustomButtonGroup*, TnvButtonGroupItem* OldSelected,
                                          TnvButtonGroupItem* Selected)
{
    if (OldSelected && OldSelected->Button())
        OldSelected->Button()->Font()->SetColor(clBlack);
    if (!Selected || !Selected->Button())
        return;
    Selected->Button()->Font()->SetColor(MakeColor(0x0000FF));
    PageControl1->SetActivePage(
        CheckedCast<TTabSheet>(FindComponent("TabSheet" + std::to_string(Selected->Button()->Tag()))));
}

void TStatusBarDemoForm::StyleMenuItemClick(TObject* Sender)
{
    auto* Item = dynamic_cast<TMenuItem*>(Sender);
    if (!Item)
        return;
    const int Index = Item->MenuIndex();
    if (Index >= 0 && Index < StyleGroup->ButtonItems()->Count())
        StyleGroup->ButtonItems()->Item(Index)->SetDown(true);
}

void TStatusBarDemoForm::CloseClick(TObject*)
{
    Close();
}

void TStatusBarDemoForm::DatePanelDrawText(TnvStatusPanel*, String& Text, bool&)
{
    Text = FormatDateTime("dddddd", StatusBarNow());
}

void TStatusBarDemoForm::UserNamePanelDrawText(TnvStatusPanel*, String& Text, bool&)
{
    Text = "User Name: " + Text;
}

void TStatusBarDemoForm::ComputerNamePanelDrawText(TnvStatusPanel*, String& Text, bool&)
{
    Text = "Computer Name: " + Text;
}

void TStatusBarDemoForm::LinePanelDrawText(TnvStatusPanel* Panel, String& Text, bool&)
{
    Text = "Current Line is: " + std::to_string(Panel->LineNo() + 1);
}

void TStatusBarDemoForm::ColumnPanelDrawText(TnvStatusPanel* Panel, String& Text, bool&)
{
    Text = "Current Column is: " + std::to_string(Panel->ColNo() + 1);
}

void TStatusBarDemoForm::PositionPanelDrawText(TnvStatusPanel* Panel, String& Text, bool&)
{
    Text = "(" + std::to_string(Panel->LineNo() + 1) + "," + std::to_string(Panel->ColNo() + 1) + ")";
}

void TStatusBarDemoForm::Timer1Timer(TObject*)
{
    ProgressBar1->StepIt();
    Gauge1->SetProgress(Gauge1->Progress() >= 100 ? 0 : Gauge1->Progress() + 10);
}

void TStatusBarDemoForm::AdLabelMouseEnter(TObject*)
{
    AdLabel->Font()->SetColor(MakeColor(0xFF0000));
}

void TStatusBarDemoForm::AdLabelMouseLeave(TObject*)
{
    AdLabel->Font()->SetColor(clBlack);
}

void TStatusBarDemoForm::AdLabelClick(TObject*)
{
    if (OpenAddress)
        OpenAddress(ZentavoOrderPage);
}

void TStatusBarDemoForm::FormShow(TObject*)
{
    StyleGroup->ButtonItems()->Item(0)->SetDown(true);
    PageControl1->SetActivePage(CheckedCast<TTabSheet>(FindComponent("TabSheet1")));
}
