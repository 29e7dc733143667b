// A form class with a handler for the calculator's attribute event, so a
// form file can bind it by name.
#pragma once

#include "Forms.h"
#include "nvCalculator.h"

class TCalcTestForm : public TForm {
    Q_OBJECT
public:
    explicit TCalcTestForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    int Calls = 0;
    Q_INVOKABLE void CalcAttributes(TnvCalculator*, TnvCalcButtonType& Type, String& Caption, TColor& FontColor,
                                    TColor&, String&)
    {
        ++Calls;
        if (Type == btEquals) {
            Caption = "Go";
            FontColor = clGreen;
        }
    }
};
