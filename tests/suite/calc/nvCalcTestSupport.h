// Shared helpers of the calculator tests: a calculator whose engine state
// the tests can read, a form that holds it, and key sequences written as
// button captions ("2 + 3 =").
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include "Forms.h"
#include "SysUtils.h"
#include "nvCalculator.h"

class TTestCalc : public TnvCalculator {
public:
    explicit TTestCalc(TComponent* AOwner = nullptr) : TnvCalculator(AOwner) {}
    using TnvCalculator::FAccumulator;
    using TnvCalculator::FAfterEquals;
    using TnvCalculator::FAfterUnary;
    using TnvCalculator::FBeepCount;
    using TnvCalculator::FDecimalEntered;
    using TnvCalculator::FEditing;
    using TnvCalculator::FEntryValue;
    using TnvCalculator::FLastOperand;
    using TnvCalculator::FMemory;
    using TnvCalculator::FNewEntry;
    using TnvCalculator::FPendingOp;
    using TnvCalculator::FPreviousOp;
    using TnvCalculator::FShiftSubstituted;
    using TnvCalculator::FBackgroundDirty;
    void PaintInto(QImage& Image) { PaintControl(Image); }
};

// The button type of a caption token: "0".."9", ".", "+/-", "*", "/", "+",
// "-", "=", "sqrt", "%", "1/x", "Back", "CE", "C", "MR", "MS", "MC", "M+".
inline TnvCalcButtonType TokenType(const String& T)
{
    static const std::pair<const char*, TnvCalcButtonType> Table[] = {
        {".", btDecimal}, {"+/-", btPlusMinus}, {"*", btMultiply}, {"/", btDivide},    {"+", btAdd},
        {"-", btSubtract}, {"=", btEquals},     {"sqrt", btSqrt},  {"%", btPercent},   {"1/x", btInverse},
        {"Back", btBackspace}, {"CE", btClear}, {"C", btClearAll}, {"MR", btMRecall}, {"MS", btMStore},
        {"MC", btMClear},  {"M+", btMAdd},
    };
    if (T.size() == 1 && T[0] >= '0' && T[0] <= '9')
        return static_cast<TnvCalcButtonType>(bt0 + (T[0] - '0'));
    for (const auto& [Name, Type] : Table)
        if (T == Name)
            return Type;
    ADD_FAILURE() << "unknown key token " << T;
    return btNone;
}

// Presses every token of Keys (blank-separated); a token of several digits
// ("123") is pressed digit by digit.
inline void Press(TnvCalculator* Calc, const String& Keys)
{
    std::istringstream In(Keys);
    String T;
    while (In >> T) {
        const bool AllDigits = T.find_first_not_of("0123456789") == String::npos;
        if (AllDigits && T.size() > 1) {
            for (char C : T)
                Calc->ProcessButton(static_cast<TnvCalcButtonType>(bt0 + (C - '0')));
        } else {
            Calc->ProcessButton(TokenType(T));
        }
    }
}

// A form holding a calculator of the default size, placed so that it
// arranged its keys.
struct TCalcFixture {
    TForm Form;
    TTestCalc* Calc;
    explicit TCalcFixture(TnvCalcOptions Options = {}, int W = 250, int H = 200)
    {
        InitApplication();
        Form.SetBounds(0, 0, 400, 300);
        Calc = new TTestCalc(&Form);
        Calc->SetName("Calc");
        Calc->SetOptions(Options);
        Calc->SetBounds(0, 0, W, H);
        Calc->SetParent(&Form);
    }
};

// Restores the locale settings a test changed.
struct TFormatSettingsGuard {
    TFormatSettings Saved = FormatSettings;
    ~TFormatSettingsGuard() { FormatSettings = Saved; }
};
