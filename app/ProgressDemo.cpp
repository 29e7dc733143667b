#include "ProgressDemo.h"

#include <cmath>

#include "StdCtrls.h"

bool PriorityTickText(double TickValue, String& Text)
{
    static const char* const Names[] = {"Low", "Medium", "High", "Top Priority"};
    for (int I = 0; I < 4; ++I)
        if (std::fabs(TickValue - I) < 0.01) {
            Text = Names[I];
            return true;
        }
    return false;
}

void CalcPercentPaid(TDataSet* Orders)
{
    const double Total = Orders->FieldByName("ItemsTotal")->AsFloat();
    const double Paid = Orders->FieldByName("AmountPaid")->AsFloat();
    // An order without a total has nothing to pay: 0 % rather than a
    // division by zero.
    const int Percent = Total != 0 ? static_cast<int>(std::trunc(Paid / Total * 100)) : 0;
    Orders->FieldByName("PercentPaid")->SetAsInteger(Percent);
}

TProgressForm::TProgressForm(TComponent* AOwner) : TForm(AOwner) {}

void TProgressForm::Loaded()
{
    TForm::Loaded();
    OrdersTable = CheckedCast<TClientDataSet>(FindComponent("OrdersTable"));
    Timer1 = CheckedCast<TTimer>(FindComponent("Timer1"));
    ProgressBar1 = CheckedCast<TnvProgressBar>(FindComponent("ProgressBar1"));
    ProgressBar2 = CheckedCast<TnvProgressBar>(FindComponent("ProgressBar2"));
    PaidBar = CheckedCast<TnvProgressBar>(FindComponent("PaidBar"));
    PriorityBar = CheckedCast<TnvTrackBar>(FindComponent("PriorityBar"));
}

void TProgressForm::Timer1Timer(TObject*)
{
    if (ProgressBar1->Progress() >= 100) {
        ProgressBar1->SetProgress(0);
        ProgressBar2->SetProgress(0);
        return;
    }
    ProgressBar1->StepIt();
    ProgressBar2->StepIt();
}

void TProgressForm::OrdersTableCalcFields(TDataSet* DataSet)
{
    CalcPercentPaid(DataSet);
}

void TProgressForm::PriorityBarDrawTickText(TObject*, double TickValue, String& TickText, TRect&, bool&)
{
    PriorityTickText(TickValue, TickText);
}

void TProgressForm::RunCheckClick(TObject* Sender)
{
    if (auto* Check = dynamic_cast<TCheckBox*>(Sender))
        Timer1->SetEnabled(Check->Checked());
}

void TProgressForm::PriorButtonClick(TObject*)
{
    OrdersTable->Prior();
}

void TProgressForm::NextButtonClick(TObject*)
{
    OrdersTable->Next();
}

