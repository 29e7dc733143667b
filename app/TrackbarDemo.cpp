#include "TrackbarDemo.h"

#include "ProgressDemo.h"

TTrackbarForm::TTrackbarForm(TComponent* AOwner) : TForm(AOwner) {}

void TTrackbarForm::Loaded()
{
    TForm::Loaded();
    OrdersTable = CheckedCast<TClientDataSet>(FindComponent("OrdersTable"));
    InchRuler = CheckedCast<TnvTrackBar>(FindComponent("InchRuler"));
    ThumbRuler = CheckedCast<TnvTrackBar>(FindComponent("ThumbRuler"));
    VerticalBar = CheckedCast<TnvTrackBar>(FindComponent("VerticalBar"));
    PriorityBar = CheckedCast<TnvTrackBar>(FindComponent("PriorityBar"));
    PaidBar = CheckedCast<TnvTrackBar>(FindComponent("PaidBar"));
    InvertedCheck = CheckedCast<TCheckBox>(FindComponent("InvertedCheck"));
}

void TTrackbarForm::OrdersTableCalcFields(TDataSet* DataSet)
{
    CalcPercentPaid(DataSet);
}

void TTrackbarForm::PriorityBarDrawTickText(TObject*, double TickValue, String& TickText, TRect&, bool&)
{
    PriorityTickText(TickValue, TickText);
}

void TTrackbarForm::InvertedCheckClick(TObject*)
{
    VerticalBar->SetInverted(InvertedCheck->Checked());
    VerticalBar->Invalidate();
}

void TTrackbarForm::PriorButtonClick(TObject*)
{
    OrdersTable->Prior();
}

void TTrackbarForm::NextButtonClick(TObject*)
{
    OrdersTable->Next();
}
