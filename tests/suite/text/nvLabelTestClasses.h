// Classes the label tests use: a form with handlers for form files, and a
// stand-in for the data control grid that fixes its controls' data source.
#pragma once

#include <vector>

#include "Controls.h"
#include "Forms.h"

class TLabelTestForm : public TForm {
    Q_OBJECT
public:
    explicit TLabelTestForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    std::vector<String> Calls;
    Q_INVOKABLE void TitleEnter(TObject*) { Calls.push_back("enter"); }
    Q_INVOKABLE void TitleLeave(TObject*) { Calls.push_back("leave"); }
};

// Named as the data control grid: labels inside it have a fixed data source.
class TDBCtrlGrid : public TWinControl {
    Q_OBJECT
public:
    explicit TDBCtrlGrid(TComponent* AOwner = nullptr) : TWinControl(AOwner) {}
};
