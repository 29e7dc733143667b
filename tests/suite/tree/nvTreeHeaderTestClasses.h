// Classes the tree header tests use: a form with handlers for form files and
// a stand-in for the tree that shows its rows in the header's columns.
#pragma once

#include <vector>

#include "Forms.h"
#include "StringList.h"
#include "nvTreeHeader.h"

class THeaderTestForm : public TForm {
    Q_OBJECT
public:
    explicit THeaderTestForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    std::vector<String> Calls;
    Q_INVOKABLE void HeaderSectionClick(TnvTreeHeader*, TnvTreeHeaderSection* Section)
    {
        Calls.push_back("click " + Section->Text());
    }
};

// A control that counts what the header asks of a tree.
class THeaderTestTree : public TCustomControl, public TnvTreeHeaderClient {
    Q_OBJECT
public:
    explicit THeaderTestTree(TComponent* AOwner = nullptr) : TCustomControl(AOwner) {}
    TWinControl* TreeControl() override { return this; }
    TStrings* DisplayFields() const override { return const_cast<TStringList*>(&Fields); }
    void RecalcRowHeight() override { ++Recalcs; }
    void Invalidate() override
    {
        ++Invalidations;
        TCustomControl::Invalidate();
    }
    TStringList Fields;
    int Recalcs = 0;
    int Invalidations = 0;
};
