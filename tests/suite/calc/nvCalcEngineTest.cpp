// The calculator's engine: key sequences and what the display, the memory
// and the beeps show afterwards; number formatting; errors.
#include "nvCalcTestSupport.h"

#include <cmath>

namespace {

struct TKeyCase {
    const char* Keys;
    const char* Display;
    double Memory = 0;
    int Beeps = 0;
    TnvCalcOptions Options = {};
    int FixedPlaces = -1;
};

void RunCases(const std::vector<TKeyCase>& Cases)
{
    for (const TKeyCase& C : Cases) {
        SCOPED_TRACE(C.Keys);
        TCalcFixture F(C.Options);
        F.Calc->SetFixedDecimalPlaces(C.FixedPlaces);
        Press(F.Calc, C.Keys);
        EXPECT_EQ(F.Calc->Text(), C.Display);
        EXPECT_EQ(F.Calc->FMemory, C.Memory);
        EXPECT_EQ(F.Calc->FBeepCount, C.Beeps);
    }
}

const String Nines = "999999999999999";

TEST(nvCalcEngine, Arithmetic)
{
    RunCases({
        {"", "0"},
        {"2 + 3 =", "5"},
        {"2 + 3 = =", "8"},
        {"2 + 3 = = =", "11"},
        {"7 - 2 = =", "3"},
        {"2 - 5 =", "-3"},
        {"1 - 1 . 5 =", "-0.5"},
        {"6 * 7 =", "42"},
        {"2 * =", "4"},
        {"8 / 4 =", "2"},
        {"1 / 3 +", "0.33333333333333"},
        {"1 / 3 =", "0.33333333333333"},
        {"1 / 3 =", "0.33", 0, 0, {}, 2},
        {"1 / 4 =", "0", 0, 0, {}, 0},
        {"2 + 3 =", "5.000", 0, 0, {}, 3},
        // Fixed decimals only for "=": an operator shows the value as it is.
        {"1 / 4 +", "0.25", 0, 0, {}, 0},
        {". 1 + . 2 =", "0.3"},
        // Chained operators compute as they go.
        {"2 + 3 * 4 =", "20"},
        {"2 + 3 *", "5"},
        {"10 - 4 - 3 =", "3"},
        // An operator right after another is ignored.
        {"2 + * 3 =", "5"},
        {"2 * + 3 =", "6"},
        // After "=" a digit starts over, an operator continues.
        {"2 + 3 = 4 + 1 =", "5"},
        {"2 + 3 = * 2 =", "10"},
        {"2 + 3 = . 5", "0.5"},
        {"2 + 3 = . 5 + 1 =", "1.5"},
        // Clear entry keeps the calculation, clear all does not.
        {"2 + 3 CE 4 =", "6"},
        {"2 + 3 C 4 =", "4"},
        {Nines.c_str(), Nines.c_str()},
        {(Nines + " + 1 =").c_str(), "1000000000000000"},
        {(Nines + " + 1 =").c_str(), "1,000,000,000,000,000", 0, 0, cboDigitGrouping},
    });
}

TEST(nvCalcEngine, PercentSquareRootReciprocalSign)
{
    RunCases({
        {"50 + 10 %", "5"},
        {"50 + 10 % =", "55"},
        {"50 - 10 % =", "45"},
        {"50 * 10 % =", "250"},
        {"200 / 50 % =", "2"},
        // A percent without an operator pending shows the number itself.
        {"50 %", "50"},
        {"9 sqrt", "3"},
        {"2 sqrt", "1.4142135623731"},
        {"4 1/x", "0.25"},
        {"8 1/x", "0.125"},
        {"3 1/x", "0.33333333333333"},
        {"5 +/-", "-5"},
        {"5 +/- +/-", "5"},
        {"5 +/- 3", "-53"},
        {"2 + 3 +/- =", "-1"},
        {"1 . 5 +/-", "-1.5"},
        // After a unary result a digit starts a new calculation...
        {"2 + 9 sqrt 5 =", "5"},
        // ...but an operator takes the result as its operand.
        {"9 sqrt + 1 =", "4"},
        {"5 MS + 2 =", "7", 5},
        // A result's sign change carries on into the next operation.
        {"2 + 3 = +/- + 1 =", "-4"},
        {"2 + 3 = +/- =", "-2"},
    });
}

TEST(nvCalcEngine, EntryAndBackspace)
{
    RunCases({
        {"1 . 5 0", "1.50"},
        {"1 . 0 5", "1.05"},
        {"0 0 0 7", "7"},
        {"0 . . 5", "0.5", 0, 1},
        {". 5", "0.5"},
        // A decimal point pressed again later (not right after one) is silent.
        {"1 . 5 .", "1.5"},
        {"1 . 5 . 2", "1.52"},
        // A new operand after an operator starts without a decimal point.
        {"1 . 5 + . 5 =", "2"},
        {"1234567890123456", "123456789012345", 0, 1},
        {"1234567890123456 7", "123456789012345", 0, 2},
        {"1 2 3 Back", "12"},
        {"1 2 3 Back Back Back", "0"},
        {"1 2 3 Back Back Back Back", "0", 0, 1},
        {"Back", "0", 0, 1},
        {"1 . 5 0 Back", "1.5"},
        {"1 . 5 Back", "1."},
        {"2 + 3 = Back", "5", 0, 1},
        {"1 2 3 4 5 Back", "1,234", 0, 0, cboDigitGrouping},
        {"1 2 3 4 5 6 7", "1,234,567", 0, 0, cboDigitGrouping},
        // The sign change uses the general format, without grouping.
        {"1 2 3 4 5 6 7 +/-", "-1234567", 0, 0, cboDigitGrouping},
        {"1 2 3 4 . 5", "1,234.5", 0, 0, cboDigitGrouping},
        {"5", "5.", 0, 0, cboShowDecimal},
        {"5 Back", "0.", 0, 0, cboShowDecimal},
        {"5 3", "53.", 0, 0, cboShowDecimal},
        {"5 . 2", "5.2", 0, 0, cboShowDecimal},
        {"2 + 3 =", "5.", 0, 0, cboShowDecimal},
    });
}

TEST(nvCalcEngine, Memory)
{
    RunCases({
        {"5 MS", "5", 5},
        {"5 MS 3", "3", 5},
        {"5 MS 3 M+", "3", 8},
        {"5 MS MC", "5", 0},
        {"5 MS C", "0", 5},
        {"5 MS C CE MR", "5", 5},
        {"5 MS 2 + MR =", "7", 5},
        // The digit after "MR" replaces the recalled number.
        {"5 MS C MR 7", "7", 5},
        {"1 . 5 M+ M+", "1.5", 3},
        {"0 1/x", "Cannot divide by zero"},
        {"7 MS 0 1/x", "Cannot divide by zero", 7},
    });
    TCalcFixture F;
    ASSERT_NE(F.Calc->MemoryLabel(), nullptr);
    EXPECT_EQ(F.Calc->MemoryLabel()->Caption(), "");
    Press(F.Calc, "4 MS");
    EXPECT_EQ(F.Calc->MemoryLabel()->Caption(), " M");
    Press(F.Calc, "C");
    EXPECT_EQ(F.Calc->MemoryLabel()->Caption(), " M");
    Press(F.Calc, "MC");
    EXPECT_EQ(F.Calc->MemoryLabel()->Caption(), "");
    // Ctrl+C from the keyboard clears the memory and the indicator.
    Press(F.Calc, "8 M+");
    EXPECT_EQ(F.Calc->MemoryLabel()->Caption(), " M");
    Word Key = 'C';
    F.Calc->DisplayKeyDown(nullptr, Key, TShiftState(ssCtrl));
    EXPECT_EQ(F.Calc->Memory(), 0);
    EXPECT_EQ(F.Calc->MemoryLabel()->Caption(), "");
    EXPECT_EQ(F.Calc->Text(), "8");
}

TEST(nvCalcEngine, Errors)
{
    String Many = Nines + " *";
    for (int I = 0; I < 20; ++I)
        Many += " =";
    RunCases({
        {"5 / 0 +", "Cannot divide by zero"},
        {"5 / 0 =", "Cannot divide by zero"},
        {"0 / 0 =", "Cannot divide by zero"},
        {"0 1/x", "Cannot divide by zero"},
        // The percent path to a zero divisor gives the platform's errors.
        {"50 / 0 % =", "Floating point division by zero"},
        {"0 / 0 % =", "Invalid floating point operation"},
        {"4 +/- sqrt", "Invalid floating point operation"},
        {Many.c_str(), "Floating point overflow"},
        // With the decimal shown, the separator follows the message.
        {"5 / 0 =", "Cannot divide by zero.", 0, 0, cboShowDecimal},
        // An error clears the calculation: the next one starts fresh.
        {"2 + 5 / 0 = 3 + 4 =", "7"},
    });

    // State after an error: everything cleared, the memory kept.
    TCalcFixture F;
    Press(F.Calc, "9 MS 2 + 8 / 0 =");
    EXPECT_EQ(F.Calc->Text(), "Cannot divide by zero");
    EXPECT_EQ(F.Calc->FAccumulator, 0);
    EXPECT_EQ(F.Calc->FPendingOp, btNone);
    EXPECT_FALSE(F.Calc->FAfterEquals);
    EXPECT_EQ(F.Calc->FMemory, 9);
}

TEST(nvCalcEngine, EmptyDisplayBeeps)
{
    for (TnvCalcButtonType T : {btAdd, btPercent, btEquals}) {
        SCOPED_TRACE(int(T));
        TCalcFixture F;
        Press(F.Calc, "2 + 3");
        F.Calc->SetText("");
        F.Calc->ProcessButton(T);
        EXPECT_EQ(F.Calc->FBeepCount, 1);
        EXPECT_EQ(F.Calc->Text(), "");
        // Nothing was computed: the "+" still waits for its operand.
        EXPECT_EQ(F.Calc->FPendingOp, btAdd);
        EXPECT_EQ(F.Calc->FAccumulator, 2);
    }
}

TEST(nvCalcEngine, StateFields)
{
    TCalcFixture F;
    Press(F.Calc, "1 . 5 0");
    EXPECT_EQ(F.Calc->FEntryValue, 1.5);
    EXPECT_TRUE(F.Calc->FDecimalEntered);
    EXPECT_TRUE(F.Calc->FEditing);
    Press(F.Calc, "+");
    EXPECT_EQ(F.Calc->FPendingOp, btAdd);
    EXPECT_EQ(F.Calc->FAccumulator, 1.5);
    EXPECT_TRUE(F.Calc->FNewEntry);
    Press(F.Calc, "2 %");
    EXPECT_EQ(F.Calc->FPendingOp, btPercent);
    EXPECT_EQ(F.Calc->FPreviousOp, btAdd);
    EXPECT_DOUBLE_EQ(F.Calc->FLastOperand, 0.03);
    Press(F.Calc, "=");
    EXPECT_TRUE(F.Calc->FAfterEquals);
    EXPECT_DOUBLE_EQ(F.Calc->FAccumulator, 1.53);
    EXPECT_EQ(F.Calc->Text(), "1.53");
    // "=" keeps the pending operator and repeats it.
    EXPECT_EQ(F.Calc->FPendingOp, btPercent);
    Press(F.Calc, "=");
    EXPECT_DOUBLE_EQ(F.Calc->FAccumulator, 1.56);
}

TEST(nvCalcEngine, SelectOnEquals)
{
    TCalcFixture F(cboSelectOnEquals);
    Press(F.Calc, "12 + 3 =");
    TCustomEdit* D = F.Calc->GetDisplay();
    EXPECT_EQ(D->Text(), "15");
    EXPECT_EQ(D->SelStart(), 0);
    EXPECT_EQ(D->SelLength(), 2);

    TCalcFixture G(TnvCalcOptions(cboSelectOnEquals) | cboShowDecimal);
    Press(G.Calc, "12 + 3 =");
    D = G.Calc->GetDisplay();
    EXPECT_EQ(D->Text(), "15.");
    EXPECT_EQ(D->SelLength(), 3);

    TCalcFixture H;
    Press(H.Calc, "12 + 3 =");
    EXPECT_EQ(H.Calc->GetDisplay()->SelLength(), 0);
    EXPECT_EQ(H.Calc->GetDisplay()->SelStart(), 2);
}

TEST(nvCalcEngine, FormatValue)
{
    struct Case {
        double X;
        bool Fixed;
        int Places;
        bool Grouping;
        const char* Text;
    } Cases[] = {
        {3.0000000000000004, false, -1, false, "3.0"},
        {2.5, false, -1, false, "2.5"},
        {-2.5, false, -1, false, "-2.5"},
        {0.1 + 0.2, false, -1, false, "0.3"},
        {1234567.25, false, -1, true, "1,234,567.25"},
        {1234567, false, -1, true, "1,234,567"},
        {1234567, false, -1, false, "1234567"},
        {1.0 / 3, true, 4, false, "0.3333"},
        {2, true, 2, true, "2.00"},
        {1234.5, true, 0, true, "1,235"},
        {0.000123, false, -1, false, "0.000123"},
        {1e20, false, -1, false, "1E20"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        TCalcFixture F(C.Grouping ? TnvCalcOptions(cboDigitGrouping) : TnvCalcOptions());
        F.Calc->SetFixedDecimalPlaces(C.Places);
        EXPECT_EQ(F.Calc->FormatValue(C.Fixed, C.X), C.Text);
    }
}

TEST(nvCalcEngine, LocaleSeparators)
{
    TFormatSettingsGuard Guard;
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    RunCases({
        {"1 . 5 0", "1,50"},
        {"1 2 3 4 5 . 5", "12.345,5", 0, 0, cboDigitGrouping},
        {"1 / 4 =", "0,25"},
        {"5", "5,", 0, 0, cboShowDecimal},
        {"1 . 5 + 1 =", "2,5"},
        {"1 . 5 +/-", "-1,5"},
    });
    TCalcFixture F;
    EXPECT_EQ(F.Calc->ButtonRecord(btDecimal).Caption, ",");
    EXPECT_EQ(F.Calc->FindCalcButton(btDecimal)->Caption(), ",");
}

TEST(nvCalcEngine, ButtonsAndAttributeEvent)
{
    TCalcFixture F;
    // Clicking a key goes through its Tag.
    F.Calc->FindCalcButton(bt4)->Click();
    F.Calc->FindCalcButton(btMultiply)->Click();
    F.Calc->FindCalcButton(bt2)->Click();
    F.Calc->FindCalcButton(btEquals)->Click();
    EXPECT_EQ(F.Calc->Text(), "8");

    // The owner may change a key's type, caption and colours.
    TForm Form;
    auto* Calc = new TTestCalc(&Form);
    Calc->OnSetButtonAttributes = [](TnvCalculator*, TnvCalcButtonType& T, String& Caption, TColor& FontColor,
                                     TColor& Face, String& Hint) {
        if (T == btSqrt) {
            T = btNone;
            Caption = "";
        }
        if (T == btEquals) {
            Caption = "Go";
            FontColor = clGreen;
            Face = clYellow;
            Hint = "Equals";
        }
    };
    Calc->SetParent(&Form);
    EXPECT_EQ(Calc->ButtonRecord(btEquals).Caption, "Go");
    EXPECT_EQ(Calc->ButtonRecord(btSqrt).ButtonType, btNone);
    TnvCalcButton* Eq = Calc->FindCalcButton(btEquals);
    ASSERT_NE(Eq, nullptr);
    EXPECT_EQ(Eq->Caption(), "Go");
    EXPECT_EQ(Eq->FontColor(), clGreen);
    EXPECT_EQ(Eq->ButtonColor(), clYellow);
    EXPECT_EQ(Eq->Hint(), "Equals");
    // The type names the button for the keyboard; a click still processes
    // the key of the button's own record.
    TnvCalcButton* Root = nullptr;
    for (int I = 0; I < Calc->ControlCount(); ++I)
        if (auto* B = dynamic_cast<TnvCalcButton*>(Calc->Controls(I)); B && B->Tag() == btSqrt)
            Root = B;
    ASSERT_NE(Root, nullptr);
    EXPECT_EQ(Root->ButtonType(), btNone);
    Press(Calc, "9");
    Root->Click();
    EXPECT_EQ(Calc->Text(), "3");
    EXPECT_EQ(Calc->FindCalcButton(btSqrt), nullptr);
    // Re-arranging keeps each button at its own record's place.
    Calc->SetButtonMargin(2);
    EXPECT_EQ(Root->BoundsRect(), TRect(Calc->ButtonRecord(btSqrt).Left, Calc->ButtonRecord(btSqrt).Top,
                                        Calc->ButtonRecord(btSqrt).Left + Calc->ButtonRecord(btSqrt).Width,
                                        Calc->ButtonRecord(btSqrt).Top + Calc->ButtonRecord(btSqrt).Height));
}

} // namespace
