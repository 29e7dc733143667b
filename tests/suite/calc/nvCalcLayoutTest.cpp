// The calculator's arrangements (button geometry for the three modes, the
// memory indicator and the display), the keyboard and the life cycle.
#include "nvCalcTestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

String RectText(const TButtonRecord& R)
{
    return std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Width) + "," +
           std::to_string(R.Height);
}

String BoundsText(const TControl* C)
{
    return std::to_string(C->Left()) + "," + std::to_string(C->Top()) + "," + std::to_string(C->Width()) + "," +
           std::to_string(C->Height());
}

struct TPlace {
    TnvCalcButtonType Type;
    const char* Bounds; // "left,top,width,height"
};

struct TLayoutCase {
    const char* Name;
    TnvCalcOptions Options;
    int W, H, Margin;
    std::vector<TPlace> Places;
    std::vector<TnvCalcButtonType> Hidden;
    const char* Display;
};

TEST(nvCalcLayout, Arrangements)
{
    const std::vector<TLayoutCase> Cases = {
        {"normal",
         {},
         250,
         200,
         3,
         {{btBackspace, "50,37,63,29"}, {btClear, "116,37,63,29"}, {btClearAll, "182,37,63,29"},
          {btMClear, "5,69,36,29"},     {btMRecall, "5,101,36,29"}, {btMStore, "5,133,36,29"},
          {btMAdd, "5,165,36,29"},      {bt7, "50,69,36,29"},       {bt8, "89,69,36,29"},
          {bt9, "128,69,36,29"},        {btDivide, "170,69,36,29"}, {btSqrt, "209,69,36,29"},
          {bt4, "50,101,36,29"},        {btPercent, "209,101,36,29"}, {bt1, "50,133,36,29"},
          {btInverse, "209,133,36,29"}, {bt0, "50,165,36,29"},      {btPlusMinus, "89,165,36,29"},
          {btDecimal, "128,165,36,29"}, {btAdd, "170,165,36,29"},   {btEquals, "209,165,36,29"}},
         {btNone},
         "5,5,240,29"},
        {"no memory",
         cboHideMemory,
         250,
         200,
         3,
         {{btBackspace, "5,37,74,29"}, {btClear, "82,37,80,29"}, {btClearAll, "165,37,80,29"},
          {bt7, "5,69,45,29"},         {bt8, "53,69,45,29"},    {bt9, "101,69,45,29"},
          {btDivide, "152,69,45,29"},  {btSqrt, "200,69,45,29"}, {btEquals, "200,165,45,29"},
          {btPlusMinus, "53,165,45,29"}, {btDecimal, "101,165,45,29"}},
         {btMClear, btMRecall, btMStore, btMAdd},
         "5,5,240,29"},
        {"simple",
         cboSimpleCalc,
         250,
         200,
         3,
         {{bt7, "5,37,57,29"},        {bt8, "65,37,57,29"},         {bt9, "125,37,57,29"},
          {btDivide, "188,37,57,29"}, {bt0, "5,133,57,29"},         {btDecimal, "65,133,57,29"},
          {btPlusMinus, "125,133,57,29"}, {btAdd, "188,133,57,29"}, {btClearAll, "5,165,74,29"},
          {btBackspace, "82,165,80,29"}, {btEquals, "165,165,80,29"}},
         {btMClear, btMRecall, btMStore, btMAdd, btClear, btSqrt, btPercent, btInverse},
         "5,5,240,29"},
        // The drop-down of the calculator edit: no display, 148 x 175.
        {"simple drop-down",
         TnvCalcOptions(cboSimpleCalc) | cboHideEditor,
         148,
         175,
         3,
         {{bt7, "5,5,32,30"}, {bt8, "40,5,32,30"}, {btDivide, "111,5,32,30"}, {bt0, "5,104,32,30"},
          {btClearAll, "5,137,40,30"}, {btBackspace, "48,137,46,30"}, {btEquals, "97,137,46,30"}},
         {btClear, btSqrt},
         nullptr},
        {"normal drop-down",
         cboHideEditor,
         250,
         175,
         3,
         {{btBackspace, "50,5,63,30"}, {btMClear, "5,38,36,30"}, {bt7, "50,38,36,30"}, {btEquals, "209,137,36,30"}},
         {},
         nullptr},
        {"margin 0",
         {},
         250,
         200,
         0,
         {{btMClear, "5,67,39,31"}, {btBackspace, "50,36,65,31"}, {bt7, "50,67,39,31"}, {btEquals, "206,160,39,31"}},
         {},
         "5,5,240,31"},
    };
    for (const TLayoutCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TCalcFixture F(C.Options, C.W, C.H);
        F.Calc->SetButtonMargin(C.Margin);
        for (const TPlace& P : C.Places) {
            SCOPED_TRACE(int(P.Type));
            EXPECT_EQ(RectText(F.Calc->ButtonRecord(P.Type)), P.Bounds);
            TnvCalcButton* B = F.Calc->FindCalcButton(P.Type);
            ASSERT_NE(B, nullptr);
            EXPECT_EQ(BoundsText(B), P.Bounds);
            EXPECT_TRUE(B->Visible());
        }
        for (TnvCalcButtonType T : C.Hidden) {
            SCOPED_TRACE(int(T));
            ASSERT_NE(F.Calc->FindCalcButton(T), nullptr);
            EXPECT_FALSE(F.Calc->FindCalcButton(T)->Visible());
        }
        ASSERT_NE(F.Calc->OwnDisplay(), nullptr);
        EXPECT_EQ(F.Calc->OwnDisplay()->Visible(), C.Display != nullptr);
        if (C.Display) {
            EXPECT_EQ(BoundsText(F.Calc->OwnDisplay()), C.Display);
        }
    }
}

TEST(nvCalcLayout, ButtonsAndRecords)
{
    TCalcFixture F;
    TTestCalc* Calc = F.Calc;
    // 28 buttons, one per type in order, Tag = index; captions, colours, hints.
    int N = 0;
    for (int I = 0; I < Calc->ControlCount(); ++I)
        if (auto* B = dynamic_cast<TnvCalcButton*>(Calc->Controls(I))) {
            EXPECT_EQ(B->Tag(), N);
            EXPECT_EQ(B->ButtonType(), N);
            EXPECT_EQ(B->Calculator(), Calc);
            ++N;
        }
    EXPECT_EQ(N, CalcButtonTypeCount);
    struct Case {
        TnvCalcButtonType T;
        const char* Caption;
        TColor Font;
        const char* Hint;
    } Cases[] = {
        {btMClear, "MC", clRed, "Clears any number stored in memory.\r\n\r\nKeyboard equivalent = CTRL + L"},
        {btMAdd, "M+", clRed, "Adds displayed number to number in memory."},
        {btBackspace, "Back", clRed, "Deletes last digit of displayed number."},
        {btClear, "CE", clRed, "Clears displayed number."},
        {btClearAll, "C", clRed, "Clears the current calculation."},
        {bt5, "5", clBlue, "Puts this number in display."},
        {btDecimal, ".", clBlue, "Inserts a decimal point."},
        {btSqrt, "sqrt", clBlue, "Calculates squareroot of number."},
        {btPercent, "%", clBlue, "Calculates Percentage"},
        {btInverse, "1/x", clBlue, "Calculates the reciprocal."},
        {btDivide, "/", clRed, "Divides."},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Caption);
        const TButtonRecord& R = Calc->ButtonRecord(C.T);
        EXPECT_EQ(R.Caption, C.Caption);
        EXPECT_EQ(R.FontColor, C.Font);
        EXPECT_EQ(R.Hint, C.Hint);
        EXPECT_EQ(R.ButtonColor, clBtnFace);
        TnvCalcButton* B = Calc->FindCalcButton(C.T);
        EXPECT_EQ(B->Caption(), C.Caption);
        EXPECT_EQ(B->FontColor(), C.Font);
        EXPECT_EQ(B->Hint(), C.Hint);
    }
    const TButtonRecord& None = Calc->ButtonRecord(btNone);
    EXPECT_EQ(RectText(None), "0,0,0,0");
    EXPECT_EQ(None.Caption, "");

    // The panel colour reaches the faces, the indicator and the panel.
    Calc->SetPanelColor(clSilver);
    EXPECT_EQ(Calc->Color(), clSilver);
    EXPECT_EQ(Calc->FindCalcButton(bt1)->ButtonColor(), clSilver);
    EXPECT_EQ(Calc->MemoryBevel()->Color(), clSilver);
    EXPECT_EQ(Calc->MemoryLabel()->Color(), clSilver);

    // The panel's font goes to the keys at the next arrangement.
    Calc->Font()->SetHeight(-15);
    Calc->Font()->SetName("Courier New");
    Calc->SetButtonMargin(4);
    EXPECT_EQ(Calc->FindCalcButton(bt1)->Font()->Height(), -15);
    EXPECT_EQ(Calc->FindCalcButton(bt1)->Font()->Name(), "Courier New");
    EXPECT_EQ(Calc->MemoryLabel()->Font()->Height(), -15);
}

TEST(nvCalcLayout, ModeSwitchesAndIndicator)
{
    TCalcFixture F;
    TTestCalc* Calc = F.Calc;
    ASSERT_NE(Calc->MemoryBevel(), nullptr);
    ASSERT_NE(Calc->MemoryLabel(), nullptr);
    EXPECT_EQ(BoundsText(Calc->MemoryBevel()), "5,38,36,28");
    EXPECT_EQ(Calc->MemoryLabel()->Left(), 5);
    EXPECT_EQ(Calc->MemoryLabel()->Width(), 36);
    EXPECT_EQ(Calc->MemoryLabel()->Height(), 29);
    EXPECT_GT(Calc->MemoryLabel()->Top(), 37);
    EXPECT_LT(Calc->MemoryLabel()->Top(), 37 + 29 / 2);
    EXPECT_EQ(Calc->MemoryLabel()->Alignment(), taCenter);
    EXPECT_FALSE(Calc->MemoryLabel()->AutoSize());
    EXPECT_TRUE(Calc->MemoryLabel()->Transparent());

    Press(Calc, "5 MS");
    Calc->SetOptions(cboHideMemory);
    EXPECT_EQ(Calc->MemoryBevel(), nullptr);
    ASSERT_NE(Calc->MemoryLabel(), nullptr);
    EXPECT_FALSE(Calc->MemoryLabel()->Visible());
    // The records of keys the mode leaves out keep their last places.
    EXPECT_EQ(RectText(Calc->ButtonRecord(btMClear)), "5,69,36,29");
    EXPECT_FALSE(Calc->FindCalcButton(btMClear)->Visible());
    EXPECT_EQ(Calc->FindCalcButton(bt7)->Left(), 5);
    // The memory works from the keyboard still and survives the switch.
    EXPECT_EQ(Calc->Memory(), 5);

    Calc->SetOptions(cboSimpleCalc);
    EXPECT_FALSE(Calc->FindCalcButton(btSqrt)->Visible());
    EXPECT_EQ(RectText(Calc->ButtonRecord(btSqrt)), "200,69,45,29");

    Calc->SetOptions({});
    ASSERT_NE(Calc->MemoryBevel(), nullptr);
    EXPECT_TRUE(Calc->MemoryLabel()->Visible());
    EXPECT_EQ(Calc->MemoryLabel()->Caption(), " M");
    for (TnvCalcButtonType T : {btMClear, btSqrt, btClear})
        EXPECT_TRUE(Calc->FindCalcButton(T)->Visible());

    // A size change re-arranges.
    Calc->SetBounds(0, 0, 300, 240);
    EXPECT_EQ(Calc->FindCalcButton(btEquals)->Left(), 300 - 45 - 5);
    EXPECT_EQ(BoundsText(Calc->OwnDisplay()), "5,5,290,35");

    // The editor option hides the own display and shows it again.
    Calc->SetOptions(cboHideEditor);
    EXPECT_FALSE(Calc->OwnDisplay()->Visible());
    Calc->SetOptions({});
    EXPECT_TRUE(Calc->OwnDisplay()->Visible());
}

TEST(nvCalcLayout, KeysMadeInSimpleModeGetTheirCaptionsLater)
{
    TCalcFixture F(cboSimpleCalc);
    TnvCalcButton* MC = F.Calc->FindCalcButton(btMClear);
    ASSERT_NE(MC, nullptr);
    EXPECT_EQ(MC->Caption(), "");
    EXPECT_EQ(RectText(F.Calc->ButtonRecord(btMClear)), "0,0,0,0");
    F.Calc->SetOptions({});
    EXPECT_EQ(MC->Caption(), "MC");
    EXPECT_TRUE(MC->Visible());
    EXPECT_EQ(BoundsText(MC), "5,69,36,29");
    // Its key finds it for the pressed look.
    Word Key = 'C';
    F.Calc->DisplayKeyDown(nullptr, Key, TShiftState(ssCtrl));
    EXPECT_TRUE(MC->KeyPressed());
}

TEST(nvCalcLayout, DegenerateSizesAndMargins)
{
    // Keys of no or negative size are laid out without harm; the engine works on.
    struct Case {
        int W, H, Margin;
    } Cases[] = {{0, 0, 3}, {10, 10, 3}, {250, 200, 200}, {250, 200, -5}, {40, 30, 0}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::to_string(C.W) + "x" + std::to_string(C.H) + " margin " + std::to_string(C.Margin));
        TCalcFixture F({}, C.W, C.H);
        F.Calc->SetButtonMargin(C.Margin);
        auto Pic = std::make_unique<TBitmap>();
        Pic->SetSize(3, 3);
        F.Calc->BackgroundBitmap()->SetGraphic(Pic.get());
        F.Calc->SetBackgroundBitmapDrawStyle(cbdTile);
        const QImage I = F.Calc->grab().toImage();
        (void)I;
        Press(F.Calc, "6 * 7 =");
        EXPECT_EQ(F.Calc->Text(), "42");
    }
}

TEST(nvCalcLayout, DesignTimeKeepsHiddenKeysAtNormalPlaces)
{
    TForm Form;
    Form.SetDesigning(true);
    auto* Calc = new TTestCalc(&Form);
    Calc->SetDesigning(true);
    Calc->SetOptions(cboSimpleCalc);
    Calc->SetParent(&Form);
    TnvCalcButton* MC = Calc->FindCalcButton(btMClear);
    ASSERT_NE(MC, nullptr);
    EXPECT_EQ(RectText(Calc->ButtonRecord(btMClear)), "5,69,36,29");
    EXPECT_TRUE(MC->DesignHidden());
    EXPECT_FALSE(Calc->FindCalcButton(bt7)->DesignHidden());
    EXPECT_EQ(RectText(Calc->ButtonRecord(bt7)), "5,37,57,29");
}

TEST(nvCalcLayout, LifeCycle)
{
    // Created: no children, no display; the text reads empty and writes are dropped.
    TnvCalculator Calc;
    EXPECT_EQ(Calc.Width(), 250);
    EXPECT_EQ(Calc.Height(), 200);
    EXPECT_EQ(Calc.ControlCount(), 0);
    EXPECT_EQ(Calc.GetDisplay(), nullptr);
    Calc.SetText("12");
    EXPECT_EQ(Calc.Text(), "");
    EXPECT_EQ(Calc.ButtonMargin(), 3);
    EXPECT_EQ(Calc.FixedDecimalPlaces(), -1);
    EXPECT_EQ(Calc.PanelColor(), clBtnFace);
    EXPECT_EQ(Calc.Options(), TnvCalcOptions());
    EXPECT_FALSE(Calc.Border3D());
    EXPECT_EQ(Calc.BackgroundBitmapDrawStyle(), cbdStretch);
    Press(&Calc, "1 + 2 =");
    EXPECT_EQ(Calc.Text(), "");
    // The first arrangement makes the keys and the display.
    Calc.ArrangeButtons();
    EXPECT_EQ(Calc.Text(), "0");
    ASSERT_NE(Calc.OwnDisplay(), nullptr);
    EXPECT_TRUE(Calc.OwnDisplay()->ReadOnly());
    EXPECT_EQ(Calc.OwnDisplay()->Font()->Name(), "Arial");
    EXPECT_EQ(Calc.OwnDisplay()->Font()->Height(), -13);
    EXPECT_TRUE(Calc.OwnDisplay()->LineEdit()->alignment().testFlag(Qt::AlignRight));
    Calc.SetText("42");
    EXPECT_EQ(Calc.OwnDisplay()->Text(), "42");
    // Children deleted from outside are made again by the next arrangement.
    delete Calc.OwnDisplay();
    delete Calc.MemoryBevel();
    EXPECT_EQ(Calc.GetDisplay(), nullptr);
    Press(&Calc, "5 MS");
    EXPECT_EQ(Calc.Text(), "");
    Calc.ArrangeButtons();
    ASSERT_NE(Calc.OwnDisplay(), nullptr);
    ASSERT_NE(Calc.MemoryBevel(), nullptr);
    Press(&Calc, "5 MS");
    EXPECT_EQ(Calc.Text(), "5");
    EXPECT_EQ(Calc.Memory(), 5);
}

TEST(nvCalcLayout, ExternalDisplay)
{
    TCalcFixture F(cboHideEditor);
    TEdit* Edit = new TEdit(&F.Form);
    Edit->SetParent(&F.Form);
    F.Calc->SetDisplay(Edit);
    EXPECT_EQ(F.Calc->GetDisplay(), Edit);
    Edit->SetText("12");
    Press(F.Calc, "+ 3 =");
    EXPECT_EQ(Edit->Text(), "15");
    EXPECT_EQ(F.Calc->Text(), "15");
    EXPECT_EQ(F.Calc->OwnDisplay()->Text(), "0");
    // The edit's keys drive the calculator directly.
    Word Key = VK_MULTIPLY;
    F.Calc->DisplayKeyDown(Edit, Key, TShiftState());
    Key = '2';
    F.Calc->DisplayKeyDown(Edit, Key, TShiftState());
    Key = VK_RETURN;
    F.Calc->DisplayKeyDown(Edit, Key, TShiftState());
    EXPECT_EQ(Edit->Text(), "30");
    // The protected state the calculator edit reads when it closes.
    EXPECT_TRUE(F.Calc->FAfterEquals);
    EXPECT_EQ(F.Calc->FPendingOp, btMultiply);
    // An outside display that goes away leaves the own one in use.
    delete Edit;
    EXPECT_EQ(F.Calc->GetDisplay(), F.Calc->OwnDisplay());
}

// ---------------------------------------------------------------- keyboard

struct TKeyStroke {
    Word Key;
    TShiftState Shift;
};

TEST(nvCalcKeyboard, CharacterTable)
{
    TnvCalculator Calc;
    struct Case {
        char Ch;
        TnvCalcButtonType Plain, Ctrl;
    } Cases[] = {
        {'0', bt0, bt0},           {'9', bt9, bt9},           {'.', btDecimal, btDecimal},
        {',', btDecimal, btDecimal}, {'+', btAdd, btAdd},     {'-', btSubtract, btSubtract},
        {'*', btMultiply, btMultiply}, {'/', btDivide, btDivide}, {'=', btEquals, btEquals},
        {'%', btPercent, btPercent}, {'@', btSqrt, btSqrt},   {'_', btPlusMinus, btPlusMinus},
        {'B', btBackspace, btBackspace}, {'b', btBackspace, btBackspace}, {'C', btClear, btMClear},
        {'c', btClear, btMClear},  {'E', btClearAll, btClearAll}, {'e', btClearAll, btClearAll},
        {'R', btInverse, btMRecall}, {'r', btInverse, btMRecall}, {'M', btNone, btMStore},
        {'m', btNone, btMStore},   {'P', btNone, btMAdd},     {'p', btNone, btMAdd},
        {'x', btNone, btNone},     {' ', btNone, btNone},     {'\0', btNone, btNone},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string(1, C.Ch));
        EXPECT_EQ(Calc.CharToButtonType(C.Ch, false), C.Plain);
        EXPECT_EQ(Calc.CharToButtonType(C.Ch, true), C.Ctrl);
    }
}

TEST(nvCalcKeyboard, KeySequences)
{
    const TShiftState None;
    const TShiftState Shift(ssShift);
    const TShiftState Ctrl(ssCtrl);
    struct Case {
        const char* Name;
        std::vector<TKeyStroke> Keys;
        const char* Display;
        double Memory;
    } Cases[] = {
        {"enter", {{'1', None}, {VK_ADD, None}, {'2', None}, {VK_RETURN, None}}, "3", 0},
        {"numpad", {{VK_NUMPAD0 + 7, None}, {VK_DECIMAL, None}, {VK_NUMPAD0 + 5, None}, {VK_MULTIPLY, None},
                    {VK_NUMPAD0 + 2, None}, {VK_RETURN, None}}, "15", 0},
        {"shift 8 multiplies", {{'3', None}, {'8', Shift}, {'4', None}, {VK_OEM_PLUS, None}}, "12", 0},
        {"shift = adds", {{'3', None}, {VK_OEM_PLUS, Shift}, {'4', None}, {VK_RETURN, None}}, "7", 0},
        {"shift 5 percent", {{'5', None}, {'0', None}, {VK_ADD, None}, {'1', None}, {'0', None}, {'5', Shift},
                             {VK_RETURN, None}}, "55", 0},
        {"shift 2 square root", {{'8', None}, {'1', None}, {'2', Shift}}, "9", 0},
        {"shift minus sign", {{'4', None}, {VK_OEM_MINUS, Shift}}, "-4", 0},
        {"minus", {{'4', None}, {VK_OEM_MINUS, None}, {'6', None}, {VK_RETURN, None}}, "-2", 0},
        {"slash", {{'9', None}, {VK_OEM_2, None}, {'3', None}, {VK_RETURN, None}}, "3", 0},
        {"escape clears all", {{'4', None}, {VK_ADD, None}, {'4', None}, {VK_ESCAPE, None}, {'1', None},
                               {VK_RETURN, None}}, "1", 0},
        {"delete clears entry", {{'4', None}, {VK_ADD, None}, {'9', None}, {VK_DELETE, None}, {'1', None},
                                 {VK_RETURN, None}}, "5", 0},
        {"backspace", {{'4', None}, {'5', None}, {VK_BACK, None}}, "4", 0},
        {"B is backspace", {{'4', None}, {'5', None}, {'B', None}}, "4", 0},
        {"R reciprocal", {{'4', None}, {'R', None}}, "0.25", 0},
        {"ctrl M stores, ctrl P adds", {{'4', None}, {'M', Ctrl}, {'3', None}, {'P', Ctrl}}, "3", 7},
        {"ctrl R recalls", {{'4', None}, {'M', Ctrl}, {VK_ESCAPE, None}, {'R', Ctrl}}, "4", 4},
        {"ctrl delete clears memory", {{'4', None}, {'M', Ctrl}, {VK_DELETE, Ctrl}}, "4", 0},
        {"ctrl C clears memory", {{'4', None}, {'M', Ctrl}, {'C', Ctrl}}, "4", 0},
        {"comma is the decimal key", {{'1', None}, {VK_OEM_COMMA, None}, {'5', None}}, "1.5", 0},
        {"shift key alone", {{'4', None}, {VK_SHIFT, Shift}}, "4", 0},
        {"other keys do nothing", {{'4', None}, {'X', None}, {VK_F2, None}}, "4", 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TCalcFixture F;
        for (TKeyStroke K : C.Keys) {
            Word Key = K.Key;
            F.Calc->DisplayKeyDown(F.Calc->OwnDisplay(), Key, K.Shift);
            Key = K.Key;
            F.Calc->DisplayKeyUp(F.Calc->OwnDisplay(), Key, K.Shift);
        }
        EXPECT_EQ(F.Calc->Text(), C.Display);
        EXPECT_EQ(F.Calc->Memory(), C.Memory);
    }
}

TEST(nvCalcKeyboard, KeyPressedLook)
{
    TCalcFixture F;
    TTestCalc* Calc = F.Calc;
    TnvCalcButton* Seven = Calc->FindCalcButton(bt7);
    Word Key = '7';
    Calc->DisplayKeyDown(nullptr, Key, TShiftState());
    EXPECT_TRUE(Seven->KeyPressed());
    EXPECT_EQ(Calc->GetDisplay()->SelStart(), 1);
    Key = '7';
    Calc->DisplayKeyUp(nullptr, Key, TShiftState());
    EXPECT_FALSE(Seven->KeyPressed());

    // Shift released before the key: the shifted key still comes up.
    TnvCalcButton* Times = Calc->FindCalcButton(btMultiply);
    Key = '8';
    Calc->DisplayKeyDown(nullptr, Key, TShiftState(ssShift));
    EXPECT_TRUE(Times->KeyPressed());
    EXPECT_TRUE(Calc->FShiftSubstituted);
    Key = VK_SHIFT;
    Calc->DisplayKeyDown(nullptr, Key, TShiftState(ssShift)); // auto-repeat of Shift is ignored
    Calc->DisplayKeyUp(nullptr, Key, TShiftState());
    Key = '8';
    Calc->DisplayKeyUp(nullptr, Key, TShiftState());
    EXPECT_FALSE(Times->KeyPressed());
    EXPECT_FALSE(Calc->FShiftSubstituted);
    EXPECT_FALSE(Calc->FindCalcButton(bt8)->KeyPressed());

    // A key whose processing fails comes up again.
    Press(Calc, "C 0");
    TnvCalcButton* Inverse = Calc->FindCalcButton(btInverse);
    Key = 'R';
    Calc->DisplayKeyDown(nullptr, Key, TShiftState());
    EXPECT_FALSE(Inverse->KeyPressed());
    EXPECT_EQ(Calc->Text(), "Cannot divide by zero");
}

TEST(nvCalcKeyboard, KeysThroughTheDisplay)
{
    TCalcFixture F;
    QLineEdit* Line = F.Calc->OwnDisplay()->LineEdit();
    auto Send = [&](int QtKey, const QString& Text, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
        QKeyEvent Down(QEvent::KeyPress, QtKey, Mods, Text);
        QApplication::sendEvent(Line, &Down);
        QKeyEvent Up(QEvent::KeyRelease, QtKey, Mods, Text);
        QApplication::sendEvent(Line, &Up);
    };
    Send(Qt::Key_1, "1");
    Send(Qt::Key_2, "2");
    EXPECT_EQ(F.Calc->Text(), "12");
    Send(Qt::Key_Plus, "+", Qt::KeypadModifier);
    Send(Qt::Key_3, "3");
    Send(Qt::Key_Return, "\r");
    EXPECT_EQ(F.Calc->Text(), "15");
    Send(Qt::Key_Backspace, "\b");
    // Nothing typed since "=": the key is refused, the read-only edit unchanged.
    EXPECT_EQ(F.Calc->Text(), "15");
    EXPECT_EQ(F.Calc->FBeepCount, 1);
    Send(Qt::Key_Escape, "\x1b");
    EXPECT_EQ(F.Calc->Text(), "0");
}

} // namespace
