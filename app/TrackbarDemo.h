// The track bar demonstration: a ruler in quarter inches, a percentage
// scale with the window's own thumb picture, a vertical bar that can run
// inverted, and two bars bound to the orders table: the priority, whose
// ticks read "Low" to "Top Priority", and the calculated "PercentPaid".
#pragma once

#include "DBClient.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvTrackBar.h"

class TTrackbarForm : public TForm {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TTrackbarForm(TComponent* AOwner = nullptr);

    TClientDataSet* OrdersTable = nullptr;
    TnvTrackBar* InchRuler = nullptr;
    TnvTrackBar* ThumbRuler = nullptr;
    TnvTrackBar* VerticalBar = nullptr;
    TnvTrackBar* PriorityBar = nullptr;
    TnvTrackBar* PaidBar = nullptr;
    TCheckBox* InvertedCheck = nullptr;

    Q_INVOKABLE void OrdersTableCalcFields(TDataSet* DataSet);
    Q_INVOKABLE void PriorityBarDrawTickText(TObject* Sender, double TickValue, String& TickText, TRect& Rect,
                                             bool& DoDefault);
    Q_INVOKABLE void InvertedCheckClick(TObject* Sender);
    Q_INVOKABLE void PriorButtonClick(TObject* Sender);
    Q_INVOKABLE void NextButtonClick(TObject* Sender);

    void Loaded() override;
};
