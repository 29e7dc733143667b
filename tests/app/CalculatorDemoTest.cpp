// The calculator demonstration: each drop-down takes the options on the
// window at that moment; "Close When Equals is Pressed" closes the
// calculator on "="; "Show Drop Down Button" shows or hides the buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "AppTestSupport.h"
#include "CalculatorDemo.h"
#include "DemoInput.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TCalculatorDemoForm> MakeForm()
{
    InitApplication();
    std::unique_ptr<TCalculatorDemoForm> Form(
        CheckedCast<TCalculatorDemoForm>(CreateFormInstance(ClassOf<TCalculatorDemoForm>(), Application)));
    Form->Show();
    return Form;
}

void ClickControl(TControl* Control)
{
    ClickAt(Control, QPoint(Control->Width() / 2, Control->Height() / 2));
}

void Pump()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void DropDownByButton(TnvCalcEdit* Edit)
{
    ClickControl(Edit->Button());
    Pump();
}

void PressKeyboard(TnvCalcEdit* Edit, int Key)
{
    TypeKey(Edit->LineEdit(), Key);
    Pump();
}

TEST(CalculatorDemoTest, EachDropDownTakesTheWindowsOptions)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "CalculatorDemoForm");
    TnvCalcEdit* Edit = Form->CalcEdits[0];
    EXPECT_EQ(Edit->Value(), 1234.5);
    DropDownByButton(Edit);
    ASSERT_TRUE(Edit->IsDroppedDown());
    TnvCalcOptions O = Edit->CalcOptions()->Options();
    EXPECT_TRUE(O.testFlag(cboCloseOnEquals));
    EXPECT_FALSE(O.testFlag(cboDigitGrouping));
    EXPECT_FALSE(O.testFlag(cboFlatButtons));
    EXPECT_TRUE(O.testFlag(cboHideEditor));
    EXPECT_EQ(Edit->CalcOptions()->BackgroundStyle(), cbdTile);
    DumpPng(Edit->Panel()->grab().toImage(), "calculator-demo-popup-tile");
    PressKeyboard(Edit, Qt::Key_Escape);
    ASSERT_FALSE(Edit->IsDroppedDown());

    // New choices reach the next drop-down, of any of the edits.
    ClickControl(Form->GroupingCheck);
    ClickControl(Form->DecimalCheck);
    ClickControl(Form->HideMemoryCheck);
    ClickControl(Form->CloseOnEqualsCheck);
    ClickAt(Form->BackgroundGroup, CentreOf(Form->BackgroundGroup->ButtonRect(2)));
    ClickAt(Form->AppearanceGroup, CentreOf(Form->AppearanceGroup->ButtonRect(2)));
    EXPECT_EQ(Edit->CalcOptions()->BackgroundStyle(), cbdTile); // not before the drop-down
    struct TCase {
        int Look;
        TnvCalcOptions Expected;
    } Looks[] = {
        {2, TnvCalcOptions(cboFlatButtons) | cboHotTrackButtons},
        {3, TnvCalcOptions(cboRoundedButtons)},
        {4, TnvCalcOptions(cboFlatDrawStyle)},
        {1, TnvCalcOptions(cboFlatButtons)},
        {0, TnvCalcOptions()},
    };
    const TnvCalcOptions LookBits = TnvCalcOptions(cboFlatButtons) | cboHotTrackButtons | cboRoundedButtons |
                                    cboFlatDrawStyle;
    for (const TCase& C : Looks) {
        SCOPED_TRACE(C.Look);
        ClickAt(Form->AppearanceGroup, CentreOf(Form->AppearanceGroup->ButtonRect(C.Look)));
        TnvCalcEdit* Other = Form->CalcEdits[C.Look % 3];
        DropDownByButton(Other);
        ASSERT_TRUE(Other->IsDroppedDown());
        O = Other->CalcOptions()->Options();
        EXPECT_EQ(O & LookBits, C.Expected);
        EXPECT_TRUE(O.testFlag(cboDigitGrouping));
        EXPECT_TRUE(O.testFlag(cboShowDecimal));
        EXPECT_TRUE(O.testFlag(cboHideMemory));
        EXPECT_FALSE(O.testFlag(cboCloseOnEquals));
        EXPECT_EQ(Other->CalcOptions()->BackgroundStyle(), cbdCenter);
        if (C.Look == 2)
            DumpPng(Other->Panel()->grab().toImage(), "calculator-demo-popup-options");
        PressKeyboard(Other, Qt::Key_Escape);
        EXPECT_FALSE(Other->IsDroppedDown());
    }
}

TEST(CalculatorDemoTest, CloseWhenEqualsIsPressed)
{
    auto Form = MakeForm();
    TnvCalcEdit* Edit = Form->CalcEdits[1];
    ASSERT_TRUE(Form->CloseOnEqualsCheck->Checked());
    DropDownByButton(Edit);
    ASSERT_TRUE(Edit->IsDroppedDown());
    ASSERT_NE(Edit->Panel()->FindCalcButton(btEquals), nullptr);
    for (char Ch : String("2+3=")) {
        TypeKey(Edit->LineEdit(), Ch == '+' ? Qt::Key_Plus : Ch == '=' ? Qt::Key_Equal : Qt::Key_0 + (Ch - '0'),
                Qt::NoModifier, QString(QChar(Ch)));
        Pump();
    }
    EXPECT_FALSE(Edit->IsDroppedDown());
    // The first digit starts a new number; "=" completes the sum.
    EXPECT_EQ(Edit->Text(), "5");
}

TEST(CalculatorDemoTest, ShowDropDownButtonTogglesEveryEditsButton)
{
    auto Form = MakeForm();
    ASSERT_TRUE(Form->ShowButtonCheck->Checked());
    for (TnvCalcEdit* Edit : Form->CalcEdits)
        EXPECT_TRUE(Edit->ShowButton());
    ClickControl(Form->ShowButtonCheck);
    for (TnvCalcEdit* Edit : Form->CalcEdits) {
        EXPECT_FALSE(Edit->ShowButton());
        EXPECT_FALSE(Edit->Button()->isVisible());
    }
    ClickControl(Form->ShowButtonCheck);
    for (TnvCalcEdit* Edit : Form->CalcEdits)
        EXPECT_TRUE(Edit->Button()->isVisible());
}

} // namespace
