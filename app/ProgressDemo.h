// The progress bar demonstration: two bars stepped by a timer (blocks left
// to right, a smooth one bottom to top), and a bar bound to the calculated
// "PercentPaid" field of the orders table beside a track bar bound to the
// order's priority, whose ticks read "Low" to "Top Priority".
#pragma once

#include "DBClient.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "nvProgressBar.h"
#include "nvTrackBar.h"

// The tick texts of the priority track bars: a tick within 0.01 of 0, 1, 2
// or 3 reads "Low", "Medium", "High" or "Top Priority"; other ticks keep
// their text. True when the text was replaced.
bool PriorityTickText(double TickValue, String& Text);
// The calculated field of the orders: "PercentPaid" = Trunc("AmountPaid" /
// "ItemsTotal" x 100), 0 for an order without a total.
void CalcPercentPaid(TDataSet* Orders);

class TProgressForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TProgressForm(TComponent* AOwner = nullptr);

    TClientDataSet* OrdersTable = nullptr;
    TTimer* Timer1 = nullptr;
    TnvProgressBar* ProgressBar1 = nullptr;
    TnvProgressBar* ProgressBar2 = nullptr;
    TnvProgressBar* PaidBar = nullptr;
    TnvTrackBar* PriorityBar = nullptr;

    // Advances both stepped bars; once the first has reached 100 both start
    // again at 0.
    Q_INVOKABLE void Timer1Timer(TObject* Sender);
    // PercentPaid = Trunc(AmountPaid / ItemsTotal x 100).
    Q_INVOKABLE void OrdersTableCalcFields(TDataSet* DataSet);
    Q_INVOKABLE void PriorityBarDrawTickText(TObject* Sender, double TickValue, String& TickText, TRect& Rect,
                                             bool& DoDefault);
    Q_INVOKABLE void RunCheckClick(TObject* Sender);
    Q_INVOKABLE void PriorButtonClick(TObject* Sender);
    Q_INVOKABLE void NextButtonClick(TObject* Sender);

    void Loaded() override;
};
