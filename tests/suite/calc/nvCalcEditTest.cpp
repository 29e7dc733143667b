// The calculator edit: value and text rules, typing while closed, the
// drop-down with the edit as the calculator's display, keys routed to the
// calculator, closing (equals, Tab, a press elsewhere), data binding, the
// rendered edit and stored forms.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <memory>

#include "DBClient.h"
#include "FormStream.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "nvCalcEdit.h"

namespace {

struct TFormatGuard {
    TFormatSettings Saved = FormatSettings;
    ~TFormatGuard() { FormatSettings = Saved; }
};

void Pump(int Ms = 0)
{
    QElapsedTimer T;
    T.start();
    do {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } while (T.elapsed() < Ms);
}

void Dump(const QImage& Image, const char* Name)
{
    const QByteArray Dir = qgetenv("ZEN_CALC_DUMP");
    if (!Dir.isEmpty())
        Image.save(QDir(QString::fromLocal8Bit(Dir)).filePath(QString::fromLatin1(Name) + ".png"));
}

// A key press and release on the edit's line edit, as the keyboard gives it.
void SendKey(TnvCalcEdit* E, int Key, const QString& Text = QString(), Qt::KeyboardModifiers Mods = Qt::NoModifier)
{
    QKeyEvent Press(QEvent::KeyPress, Key, Mods, Text);
    QApplication::sendEvent(E->LineEdit(), &Press);
    QKeyEvent Release(QEvent::KeyRelease, Key, Mods, Text);
    QApplication::sendEvent(E->LineEdit(), &Release);
}

// Types a run of characters: digits, '.', ',', operators, '=' (the '=' key).
void Type(TnvCalcEdit* E, const String& Keys)
{
    for (char C : Keys) {
        const QString T(QChar::fromLatin1(C));
        switch (C) {
        case '+': SendKey(E, Qt::Key_Plus, T, Qt::KeypadModifier); break;
        case '-': SendKey(E, Qt::Key_Minus, T, Qt::KeypadModifier); break;
        case '*': SendKey(E, Qt::Key_Asterisk, T, Qt::KeypadModifier); break;
        case '/': SendKey(E, Qt::Key_Slash, T, Qt::KeypadModifier); break;
        case '=': SendKey(E, Qt::Key_Equal, T); break;
        case '.': SendKey(E, Qt::Key_Period, T); break;
        case ',': SendKey(E, Qt::Key_Comma, T); break;
        default:
            if (C >= '0' && C <= '9')
                SendKey(E, Qt::Key_0 + (C - '0'), T);
            else if (C >= 'a' && C <= 'z')
                SendKey(E, Qt::Key_A + (C - 'a'), T);
            break;
        }
    }
}

// A left-button press (and, with Release, its release) at a point of a widget.
void Click(QWidget* W, QPoint At, bool Release)
{
    const QPointF Global(W->mapToGlobal(At));
    QMouseEvent Down(QEvent::MouseButtonPress, QPointF(At), Global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W, &Down);
    if (!Release)
        return;
    QMouseEvent Up(QEvent::MouseButtonRelease, QPointF(At), Global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(W, &Up);
}

struct TEditFixture {
    std::unique_ptr<TForm> Form;
    TnvCalcEdit* Edit = nullptr;
    TEdit* Other = nullptr;

    explicit TEditFixture(TnvCalcOptions Options = cboHideEditor, int Left = 300, int Top = 20)
    {
        InitApplication();
        Form = std::make_unique<TForm>();
        Form->SetBorderStyle(bsNone);
        Form->SetLeft(100);
        Form->SetTop(100);
        Form->SetClientWidth(500);
        Form->SetClientHeight(300);
        Edit = new TnvCalcEdit(Form.get());
        Edit->SetName("CalcEdit1");
        Edit->SetParent(Form.get());
        Edit->SetBounds(Left, Top, 120, 21);
        Edit->CalcOptions()->SetOptions(Options);
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(20, 250, 100, 21);
        Form->Show();
        Form->activateWindow();
        Pump();
        Edit->SetFocus();
        Pump();
    }
    ~TEditFixture()
    {
        if (Edit && Edit->IsDroppedDown())
            Edit->CloseUp(false);
        Pump();
    }
};

} // namespace

// ---------------------------------------------------------------- value and text rules

TEST(nvCalcEdit, ValueReadsTheTextLoosely)
{
    TFormatGuard Guard;
    struct TCase {
        char Dec, Thousand;
        const char* Text;
        double Value;
    };
    const TCase Cases[] = {
        {'.', ',', "", 0},           {'.', ',', "12", 12},           {'.', ',', "1,234.5", 1234.5},
        {'.', ',', "-3.25", -3.25},  {'.', ',', "(12)", -12},        {'.', ',', "abc", 0},
        {'.', ',', "$1,234.50", 1234.5}, {'.', ',', "Cannot divide by zero", 0},
        {',', '.', "1.234,5", 1234.5}, {',', '.', "0,25", 0.25},
    };
    InitApplication();
    TnvCalcEdit E;
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        FormatSettings.DecimalSeparator = C.Dec;
        FormatSettings.ThousandSeparator = C.Thousand;
        E.SetText(C.Text);
        EXPECT_DOUBLE_EQ(E.Value(), C.Value);
    }
}

TEST(nvCalcEdit, FormattingRules)
{
    TFormatGuard Guard;
    // The grouping picture keeps as many decimals as the value needs.
    const std::pair<double, const char*> Grouped[] = {
        {0, "0"}, {1234567, "1,234,567"}, {1234.5, "1,234.5"}, {-1234.25, "-1,234.25"}, {0.1, "0.1"},
        {1.0 / 3, "0.33333333333333"}, {3.0000000000000004, "3.0"},
    };
    for (const auto& [V, Text] : Grouped)
        EXPECT_EQ(TnvCustomCalcEdit::GroupingText(V), Text) << V;

    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    EXPECT_EQ(TnvCustomCalcEdit::GroupingText(1234.5), "1.234,5") << "the locale's separators";
    FormatSettings = Guard.Saved;

    // Display text of an unbound edit: the picture applied to the text's value.
    InitApplication();
    TnvCalcEdit E;
    struct TCase {
        const char* Format;
        const char* Text;
        const char* Display;
    };
    const TCase Cases[] = {
        {"", "1234.5", "1234.5"},          {"$#,##0.00", "1234.5", "$1,234.50"},
        {"$#,##0.00", "$1,234.50", "$1,234.50"}, {"$#,##0.00", "abc", "$0.00"},
        {"0.0", "-2.25", "-2.3"},          {"#,##0;(#,##0)", "(1,500)", "(1,500)"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::string(C.Format) + " / " + C.Text);
        E.SetDisplayFormat(C.Format);
        EXPECT_EQ(E.GetDisplayText(C.Text), C.Display);
    }

    const String Keys = "%*+-/=^!#;@_lnrmp";
    for (int C = 1; C < 256; ++C)
        EXPECT_EQ(TnvCustomCalcEdit::IsCalculatorKey(static_cast<char>(C)), Keys.find(static_cast<char>(C)) != String::npos)
            << C;
}

TEST(nvCalcEdit, SetValueAndResetText)
{
    TEditFixture F;
    TnvCalcEdit* E = F.Edit;
    EXPECT_EQ(E->MaxLength(), 20);
    EXPECT_TRUE(E->ComboFocused());
    E->SetValue(1234.5);
    EXPECT_EQ(E->Text(), "1234.5") << "focused: general conversion";
    E->CalcOptions()->SetOptions(cboDigitGrouping);
    E->SetValue(9876.25);
    EXPECT_EQ(E->Text(), "9,876.25") << "focused with grouping";
    F.Other->SetFocus();
    Pump();
    EXPECT_FALSE(E->ComboFocused());
    E->SetValue(1e20);
    EXPECT_EQ(E->Text(), "1E20") << "unfocused: the general picture";
    E->SetText("abc");
    E->SetValue(0);
    EXPECT_EQ(E->Text(), "abc") << "a value equal to the current one changes nothing";

    E->CalcOptions()->SetOptions(cboShowDecimal);
    E->ResetText();
    EXPECT_EQ(E->Text(), "0.");
    E->CalcOptions()->SetOptions({});
    E->ResetText();
    EXPECT_EQ(E->Text(), "0");
    E->SetAllowEmpty(true);
    E->ResetText();
    EXPECT_EQ(E->Text(), "");
}

// ---------------------------------------------------------------- typing while closed

TEST(nvCalcEdit, TypingWhileClosed)
{
    TEditFixture F;
    TnvCalcEdit* E = F.Edit;
    E->SetText("");
    Type(E, "12a.5x");
    EXPECT_EQ(E->Text(), "12.5") << "letters are refused";
    EXPECT_TRUE(E->DecimalTyped());
    Type(E, ".");
    EXPECT_EQ(E->Text(), "12.5");
    EXPECT_EQ(E->BeepCount(), 1) << "a second decimal point beeps";
    EXPECT_FALSE(E->IsDroppedDown());

    // A decimal point into a zero text starts "0." with the caret after it.
    E->SetText("0");
    E->SetSelStart(1);
    Type(E, ",");
    EXPECT_EQ(E->Text(), "0.");
    EXPECT_EQ(E->SelStart(), 2);
    Type(E, "7");
    EXPECT_EQ(E->Text(), "0.7");

    // The typing limit; the program's texts are not cut.
    E->SetText("");
    Type(E, "1234567890123456789012345");
    EXPECT_EQ(E->Text(), "12345678901234567890");
    E->SetText("Cannot divide by zero");
    EXPECT_EQ(E->Text(), "Cannot divide by zero");

    // An empty text after a key becomes zero, selected.
    E->SetText("");
    SendKey(E, Qt::Key_Left);
    EXPECT_EQ(E->Text(), "0");
    EXPECT_EQ(E->SelLength(), 1);
}

TEST(nvCalcEdit, TypingWithDigitGrouping)
{
    TEditFixture F(cboDigitGrouping);
    TnvCalcEdit* E = F.Edit;
    E->SetText("");
    const char* Expected[] = {"1", "12", "123", "1,234", "12,345", "123,456", "1,234,567"};
    const String Digits = "1234567";
    for (size_t I = 0; I < Digits.size(); ++I) {
        Type(E, Digits.substr(I, 1));
        EXPECT_EQ(E->Text(), Expected[I]);
        EXPECT_EQ(E->SelStart(), Length(E->Text())) << "the caret follows the new digit";
    }
    // Zeros typed after the decimal point stay.
    Type(E, ".50");
    EXPECT_EQ(E->Text(), "1,234,567.50");
    // Backspace removes the digit before the caret and groups again.
    SendKey(E, Qt::Key_Backspace, "\b");
    SendKey(E, Qt::Key_Backspace, "\b");
    EXPECT_EQ(E->Text(), "1,234,567.");
    EXPECT_TRUE(E->DecimalTyped());
    SendKey(E, Qt::Key_Backspace, "\b");
    EXPECT_EQ(E->Text(), "1,234,567");
    EXPECT_FALSE(E->DecimalTyped());
    SendKey(E, Qt::Key_Backspace, "\b");
    EXPECT_EQ(E->Text(), "123,456");
    // A digit in the middle: the caret stays behind it.
    E->SetSelStart(1);
    Type(E, "9");
    EXPECT_EQ(E->Text(), "1,923,456");
    EXPECT_EQ(E->SelStart(), 3) << "one further: a separator came in before the caret";
}

// ---------------------------------------------------------------- drop-down

TEST(nvCalcEdit, OperatorOpensTheCalculatorOnlyWithText)
{
    TEditFixture F;
    TnvCalcEdit* E = F.Edit;
    E->SetText("");
    Type(E, "+");
    EXPECT_FALSE(E->IsDroppedDown()) << "an empty text does not open the calculator";
    EXPECT_EQ(E->Text(), "0") << "(the key release resets the empty text)";

    E->SetText("12");
    Type(E, "+");
    ASSERT_TRUE(E->IsDroppedDown());
    TnvCalcPanel* P = E->Panel();
    EXPECT_EQ(P->GetDisplay(), E) << "the edit is the calculator's display";
    EXPECT_EQ(P->PendingOp(), btAdd) << "the key was performed on 12";
    EXPECT_EQ(E->Text(), "12");
    Type(E, "3");
    EXPECT_EQ(E->Text(), "3");
    Type(E, "=");
    EXPECT_EQ(E->Text(), "15");
    EXPECT_TRUE(E->IsDroppedDown()) << "without cboCloseOnEquals the calculator stays";
    EXPECT_TRUE(E->LineEdit()->isReadOnly()) << "no caret while the calculator is open";
    EXPECT_TRUE(E->Modified());
}

TEST(nvCalcEdit, PanelSizeAndPlacement)
{
    struct TCase {
        TnvCalcOptions Options;
        int Left, Top;
        int Width;
        bool Above;
    };
    const TCase Cases[] = {
        {cboHideEditor, 300, 20, 250, false},
        {cboSimpleCalc, 300, 20, 148, false},
        // No room below the edit on the screen: the panel opens above it.
        {{}, 300, 0, 250, true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Width);
        TEditFixture F(C.Options, C.Left, C.Top);
        TnvCalcEdit* E = F.Edit;
        if (C.Above) {
            const TRect Work = Screen->WorkAreaRect();
            F.Form->SetTop(Work.Bottom - 100);
            Pump();
        }
        E->SetText("5");
        E->DropDown();
        ASSERT_TRUE(E->IsDroppedDown());
        TnvCalcPanel* P = E->Panel();
        EXPECT_TRUE(P->isWindow());
        EXPECT_EQ(P->Width(), C.Width);
        EXPECT_EQ(P->Height(), 175);
        EXPECT_TRUE(P->Options().testFlag(cboHideEditor)) << "the panel never shows its own display";
        const QPoint Origin = E->mapToGlobal(QPoint(0, 0));
        EXPECT_EQ(P->x() + P->Width(), Origin.x() + E->Width() - 1) << "right edges aligned";
        if (C.Above)
            EXPECT_EQ(P->y(), Origin.y() - 175);
        else
            EXPECT_EQ(P->y(), Origin.y() + E->Height() - 1) << "over the edit's bottom border line";
        EXPECT_EQ(E->Text(), "5") << "a non-zero value stays";
        EXPECT_TRUE(E->Focused()) << "the focus stays in the edit";
    }
}

TEST(nvCalcEdit, DropDownEventsAndCloseUp)
{
    TEditFixture F(cboShowDecimal);
    TnvCalcEdit* E = F.Edit;
    std::vector<String> Log;
    E->OnBeforeDropDown = [&](TObject*) { Log.push_back(String("before ") + (E->Panel() ? "panel" : "none")); };
    E->OnDropDown = [&](TObject*) { Log.push_back(String("dropdown ") + (E->IsDroppedDown() ? "shown" : "hidden")); };
    E->OnCloseUp = [&](TObject*, bool Accept) { Log.push_back(Accept ? "closeup accept" : "closeup"); };
    E->SetText("0");
    E->DropDown();
    EXPECT_EQ(E->Text(), "0.") << "a zero value starts as 0 with cboShowDecimal";
    QPointer<TnvCalcPanel> P = E->Panel();
    E->CloseUp(false);
    EXPECT_FALSE(E->IsDroppedDown());
    EXPECT_EQ(E->Panel(), nullptr);
    Pump();
    EXPECT_TRUE(P.isNull()) << "the panel is destroyed at close-up";
    EXPECT_FALSE(E->LineEdit()->isReadOnly()) << "the caret is back";
    EXPECT_EQ(E->SelLength(), Length(E->Text())) << "the text is selected";
    EXPECT_EQ(Log, (std::vector<String>{"before none", "dropdown hidden", "closeup"}));

    // An exception from OnDropDown stops the drop-down before the panel shows.
    E->OnDropDown = [](TObject*) { throw EInvalidOperation("no calculator now"); };
    EXPECT_THROW(E->DropDown(), EInvalidOperation);
    EXPECT_FALSE(E->IsDroppedDown());
    E->OnDropDown = nullptr;
    E->DropDown();
    EXPECT_TRUE(E->IsDroppedDown()) << "the next drop-down shows the panel made before";
    // The fixture closes the panel after Log is gone.
    E->OnBeforeDropDown = nullptr;
    E->OnCloseUp = nullptr;
}

TEST(nvCalcEdit, KeysGoToTheCalculatorWhileOpen)
{
    TEditFixture F;
    TnvCalcEdit* E = F.Edit;
    E->SetText("7");
    E->DropDown();
    Type(E, "*6=");
    EXPECT_EQ(E->Text(), "42");
    Type(E, "a");
    EXPECT_EQ(E->Text(), "42") << "other characters are consumed";
    // Backspace goes to the calculator (nothing typed: it beeps), Delete is "CE".
    SendKey(E, Qt::Key_Backspace, "\b");
    EXPECT_EQ(E->Text(), "42");
    EXPECT_EQ(E->Panel()->BeepCount(), 1);
    SendKey(E, Qt::Key_Delete, "\x7f");
    EXPECT_EQ(E->Text(), "0");
    // Shifted keys: Shift+5 is percent, Shift+2 the square root, Shift+- the sign.
    Type(E, "9");
    SendKey(E, Qt::Key_2, "@", Qt::ShiftModifier);
    EXPECT_EQ(E->Text(), "3");
    SendKey(E, Qt::Key_Minus, "_", Qt::ShiftModifier);
    EXPECT_EQ(E->Text(), "-3");
    // Ctrl+M stores in memory, Ctrl+R recalls.
    SendKey(E, Qt::Key_M, "\r", Qt::ControlModifier);
    EXPECT_EQ(E->Panel()->Memory(), -3);
    Type(E, "5");
    SendKey(E, Qt::Key_R, "\x12", Qt::ControlModifier);
    EXPECT_EQ(E->Text(), "-3");
    // Escape closes without completing anything.
    Type(E, "+2");
    SendKey(E, Qt::Key_Escape, "\x1b");
    EXPECT_FALSE(E->IsDroppedDown());
    EXPECT_EQ(E->Text(), "2");
}

TEST(nvCalcEdit, AKeyThatOpensTheCalculatorFlashesItsButton)
{
    TEditFixture F;
    TnvCalcEdit* E = F.Edit;
    E->SetText("8");
    E->Perform(WM_KEYDOWN, VK_MULTIPLY, 0);
    ASSERT_TRUE(E->IsDroppedDown());
    TnvCalcButton* B = E->Panel()->FindCalcButton(btMultiply);
    ASSERT_NE(B, nullptr);
    EXPECT_TRUE(B->KeyPressed());
    Pump(160);
    EXPECT_FALSE(B->KeyPressed()) << "released after 100 ms";
}

TEST(nvCalcEdit, EqualsClosesWithCloseOnEquals)
{
    // The "=" key: closes accepting, the pending operation completed.
    {
        TEditFixture F(cboCloseOnEquals);
        TnvCalcEdit* E = F.Edit;
        bool Accepted = false;
        E->OnCloseUp = [&](TObject*, bool Accept) { Accepted = Accept; };
        E->SetText("12");
        Type(E, "+3=");
        EXPECT_FALSE(E->IsDroppedDown());
        EXPECT_EQ(E->Text(), "15");
        EXPECT_TRUE(Accepted);
        // Closed, "=" selects the text.
        E->SetSelStart(0);
        Type(E, "=");
        EXPECT_FALSE(E->IsDroppedDown());
        EXPECT_EQ(E->SelLength(), 2);
        // A character typed over the selection replaces it.
        Type(E, "4");
        EXPECT_EQ(E->Text(), "4");
    }
    // The "=" button of the panel: shows the result and closes.
    {
        TEditFixture F(cboCloseOnEquals);
        TnvCalcEdit* E = F.Edit;
        E->SetText("6");
        Type(E, "*7");
        ASSERT_TRUE(E->IsDroppedDown());
        TnvCalcButton* Eq = E->Panel()->FindCalcButton(btEquals);
        ASSERT_NE(Eq, nullptr);
        Click(Eq, QPoint(Eq->width() / 2, Eq->height() / 2), true);
        Pump();
        EXPECT_FALSE(E->IsDroppedDown());
        EXPECT_EQ(E->Text(), "42");
    }
}

TEST(nvCalcEdit, ClosingWithAPendingOperationCompletesIt)
{
    // Tab after "5 +": the calculator closes accepting and computes 5 + 5.
    {
        TEditFixture F;
        TnvCalcEdit* E = F.Edit;
        E->SetText("5");
        Type(E, "+");
        ASSERT_TRUE(E->IsDroppedDown());
        SendKey(E, Qt::Key_Tab, "\t");
        Pump();
        EXPECT_FALSE(E->IsDroppedDown());
        EXPECT_EQ(E->Text(), "10");
        EXPECT_TRUE(F.Other->Focused()) << "Tab moves on";
    }
    // A press on another control closes accepting as well; closing without
    // acceptance (Escape) leaves the operation pending and the text as it is.
    {
        TEditFixture F;
        TnvCalcEdit* E = F.Edit;
        E->SetText("7");
        Type(E, "-2");
        ASSERT_TRUE(E->IsDroppedDown());
        Click(F.Other->LineEdit(), QPoint(5, 5), false);
        Pump();
        EXPECT_FALSE(E->IsDroppedDown());
        EXPECT_EQ(E->Text(), "5");
    }
    {
        TEditFixture F;
        TnvCalcEdit* E = F.Edit;
        E->SetText("7");
        Type(E, "-2");
        // A press on the panel itself keeps it open.
        TnvCalcPanel* P = E->Panel();
        Click(P, QPoint(2, 2), false);
        EXPECT_TRUE(E->IsDroppedDown());
        E->CloseUp(false);
        EXPECT_EQ(E->Text(), "2");
    }
}

TEST(nvCalcEdit, ButtonAttributesAreForwardedWithTheEdit)
{
    TEditFixture F;
    TnvCalcEdit* E = F.Edit;
    int Calls = 0;
    E->OnSetCalcButtonAttributes = [&](TnvCustomCalcEdit* Sender, TnvCalcButtonType& Type, String& Caption,
                                       TColor& FontColor, TColor&, String&) {
        EXPECT_EQ(Sender, E);
        ++Calls;
        if (Type == btEquals) {
            Caption = "Go";
            FontColor = clGreen;
        }
    };
    E->SetText("1");
    E->DropDown();
    EXPECT_GT(Calls, 0);
    EXPECT_EQ(E->Panel()->ButtonRecord(btEquals).Caption, "Go");
    EXPECT_EQ(E->Panel()->ButtonRecord(btEquals).FontColor, clGreen);
}

TEST(nvCalcEdit, ReadOnlyEditIgnoresTheCalculator)
{
    TEditFixture F;
    TnvCalcEdit* E = F.Edit;
    E->SetText("4");
    E->DropDown();
    E->SetReadOnly(true);
    E->Panel()->ProcessButton(bt9);
    EXPECT_EQ(E->Text(), "4") << "a press is ignored while the edit cannot be edited";
}

// ---------------------------------------------------------------- data binding

TEST(nvCalcEdit, FollowsTheRecordAndWritesBackOnPost)
{
    TEditFixture F;
    TnvCalcEdit* E = F.Edit;
    auto* DS = new TClientDataSet(F.Form.get());
    DS->FieldDefs()->Add("Price", ftFloat);
    DS->CreateDataSet();
    DS->AppendRecord({12.5});
    DS->AppendRecord({3.0});
    DS->First();
    auto* Source = new TDataSource(F.Form.get());
    Source->SetDataSet(DS);
    E->SetDataSource(Source);
    E->SetDataField("Price");
    EXPECT_EQ(E->Value(), 12.5);
    DS->Next();
    EXPECT_EQ(E->Value(), 3) << "follows the record";
    DS->FieldByName("Price")->SetAlignment(taCenter);
    DS->First();
    EXPECT_EQ(E->LineEdit()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter)
        << "the field's alignment";

    // The calculator's result goes into the field when the record is posted.
    Type(E, "*2");
    ASSERT_TRUE(E->IsDroppedDown());
    EXPECT_EQ(DS->State(), dsEdit) << "a press puts the dataset into edit mode";
    SendKey(E, Qt::Key_Return, "\r");
    EXPECT_FALSE(E->IsDroppedDown());
    EXPECT_EQ(E->Text(), "25");
    DS->Post();
    EXPECT_EQ(DS->FieldByName("Price")->AsFloat(), 25);

    // Typing while closed, then posting.
    DS->Next();
    E->SelectAll();
    Type(E, "7.25");
    EXPECT_EQ(DS->State(), dsEdit);
    DS->Post();
    EXPECT_EQ(DS->FieldByName("Price")->AsFloat(), 7.25);
    DS->First();
    EXPECT_EQ(DS->FieldByName("Price")->AsFloat(), 25) << "the other record kept its value";

    // With a display format, the unfocused edit shows the field through it.
    E->SetDisplayFormat("0.00");
    EXPECT_EQ(E->GetDisplayText(E->Text()), "25.00");
}

// ---------------------------------------------------------------- painting

TEST(nvCalcEdit, RenderedEditWithItsButton)
{
    TEditFixture F({}, 20, 20);
    TnvCalcEdit* E = F.Edit;
    E->Font()->SetColor(clBlack);
    E->SetDisplayFormat("$#,##0.00");
    E->SetText("1234.5");
    F.Other->SetFocus();
    Pump();
    ASSERT_FALSE(E->ComboFocused());
    const QImage Img = E->grab().toImage().convertToFormat(QImage::Format_RGB32);
    Dump(Img, "calcedit-unfocused");
    EXPECT_EQ(E->Text(), "1234.5") << "the text itself keeps the value";
    EXPECT_EQ(E->GetDisplayText(E->Text()), "$1,234.50");

    // The button at the right edge, the text right-aligned left of it.
    const int ButtonLeft = E->ButtonContainer()->Left();
    EXPECT_EQ(E->ButtonContainer()->Left() + E->ButtonContainer()->Width(), E->Width() - 2);
    auto DarkColumns = [&](int X0, int X1) {
        int First = -1, Last = -1;
        for (int X = X0; X < X1; ++X)
            for (int Y = 3; Y < Img.height() - 3; ++Y)
                if (qGray(Img.pixel(X, Y)) < 80) {
                    if (First < 0)
                        First = X;
                    Last = X;
                    break;
                }
        return std::make_pair(First, Last);
    };
    const auto [First, Last] = DarkColumns(2, ButtonLeft - 1);
    ASSERT_GE(First, 0) << "the text is drawn";
    EXPECT_GE(Last, ButtonLeft - 8) << "right-aligned: it ends at the button";
    EXPECT_GT(First, 20) << "and starts well right of the left edge";
    // The drop-down arrow: dark pixels in the middle of the button.
    const auto [AF, AL] = DarkColumns(ButtonLeft + 4, E->Width() - 6);
    EXPECT_GE(AF, 0) << "the arrow is drawn";

    // Focused, the edit shows the plain text (no currency sign, shorter).
    E->SetFocus();
    Pump();
    const QImage Focused = E->grab().toImage().convertToFormat(QImage::Format_RGB32);
    Dump(Focused, "calcedit-focused");
    int FocusedFirst = -1;
    for (int X = 2; X < ButtonLeft - 1 && FocusedFirst < 0; ++X)
        for (int Y = 3; Y < Focused.height() - 3; ++Y)
            if (qGray(Focused.pixel(X, Y)) < 80) {
                FocusedFirst = X;
                break;
            }
    EXPECT_GT(FocusedFirst, First) << "\"1234.5\" is narrower than \"$1,234.50\"";

    // The open calculator under the edit.
    E->DropDown();
    Pump();
    Dump(E->Panel()->grab().toImage(), "calcedit-panel");
    EXPECT_EQ(E->Panel()->FindCalcButton(bt7)->isVisible(), true);
}

// ---------------------------------------------------------------- stored forms

TEST(nvCalcEdit, StoredFormRoundTrip)
{
    InitApplication();
    const String Text = "object Form1: TForm\n"
                        "  object CalcEdit1: TnvCalcEdit\n"
                        "    Left = 10\n"
                        "    Top = 10\n"
                        "    Width = 120\n"
                        "    Height = 21\n"
                        "    CalcOptions.ButtonMargin = 2\n"
                        "    CalcOptions.Options = [cboHideEditor, cboSimpleCalc, cboCloseOnEquals]\n"
                        "    CalcOptions.PanelColor = clInfoBk\n"
                        "    DisplayFormat = '#,##0.00'\n"
                        "    MaxLength = 12\n"
                        "    TabOrder = 0\n"
                        "  end\n"
                        "end\n";
    String Written;
    {
        TForm Form;
        ReadComponentFromText(Text, &Form);
        auto* E = dynamic_cast<TnvCalcEdit*>(Form.FindComponent("CalcEdit1"));
        ASSERT_NE(E, nullptr);
        EXPECT_EQ(E->CalcOptions()->ButtonMargin(), 2);
        EXPECT_EQ(E->CalcOptions()->Options(), cboHideEditor | cboSimpleCalc | cboCloseOnEquals);
        EXPECT_EQ(E->CalcOptions()->PanelColor(), clInfoBk);
        EXPECT_EQ(E->DisplayFormat(), "#,##0.00");
        EXPECT_EQ(E->MaxLength(), 12);
        EXPECT_EQ(E->Text(), "0") << "loading resets an empty text";
        Written = ComponentToText(&Form);
    }
    EXPECT_EQ(Written.find("MaxLength = 20"), String::npos);
    EXPECT_NE(Written.find("CalcOptions.Options = [cboHideEditor, cboSimpleCalc, cboCloseOnEquals]"), String::npos)
        << Written;
    TForm Again;
    ReadComponentFromText(Written, &Again);
    EXPECT_EQ(ComponentToText(&Again), Written);

    // A new edit stores none of its defaults.
    TForm Plain;
    auto* E = new TnvCalcEdit(&Plain);
    E->SetName("CalcEdit2");
    E->SetParent(&Plain);
    const String PlainText = ComponentToText(&Plain);
    EXPECT_EQ(PlainText.find("CalcOptions"), String::npos) << PlainText;
    EXPECT_EQ(PlainText.find("MaxLength"), String::npos) << PlainText;

    // Bad stored data names what and where.
    TForm Bad;
    try {
        ReadComponentFromText("object Form1: TForm\n  object C: TnvCalcEdit\n    CalcOptions.BackgroundStyle = cbdWavy\n"
                              "  end\nend\n",
                              &Bad);
        ADD_FAILURE() << "no error";
    } catch (const Exception& Err) {
        EXPECT_NE(Err.Message().find("BackgroundStyle"), String::npos) << Err.Message();
    }
}

TEST(nvCalcEdit, DropDownButtonTogglesTheCalculator)
{
    TEditFixture F;
    TnvCalcEdit* E = F.Edit;
    E->SetText("3");
    QWidget* B = E->Button();
    Click(B, QPoint(B->width() / 2, B->height() / 2), true);
    Pump();
    ASSERT_TRUE(E->IsDroppedDown()) << "the button opens the calculator";
    Type(E, "+4");
    Click(B, QPoint(B->width() / 2, B->height() / 2), true);
    Pump();
    EXPECT_FALSE(E->IsDroppedDown()) << "and closes it, accepting";
    EXPECT_EQ(E->Text(), "7");
}

TEST(nvCalcEdit, OpenedByItsButtonTheTypedSumClosesOnEquals)
{
    // "12" in the edit, the calculator opened with the button, then "2+3="
    // typed: the first digit starts a new number and "=" closes with 5. The
    // "+" comes from the main keyboard: shifted "=" on some layouts, a key of
    // its own (no Shift) on others, or the keypad.
    struct TPlus {
        const char* Name;
        Qt::KeyboardModifiers Mods;
    };
    const TPlus Cases[] = {
        {"unshifted plus key", Qt::NoModifier},
        {"shifted equals key", Qt::ShiftModifier},
        {"keypad plus", Qt::KeypadModifier},
    };
    for (const TPlus& C : Cases) {
        SCOPED_TRACE(C.Name);
        TEditFixture F(cboCloseOnEquals);
        TnvCalcEdit* E = F.Edit;
        E->SetText("12");
        QWidget* B = E->Button();
        Click(B, QPoint(B->width() / 2, B->height() / 2), true);
        Pump();
        ASSERT_TRUE(E->IsDroppedDown());
        EXPECT_EQ(E->Text(), "12") << "the value stays when the calculator opens";
        Type(E, "2");
        EXPECT_EQ(E->Text(), "2") << "the first digit starts a new number";
        SendKey(E, Qt::Key_Plus, "+", C.Mods);
        Pump();
        if (!E->IsDroppedDown()) {
            ADD_FAILURE() << "\"+\" is an operator, not \"=\"";
            continue;
        }
        EXPECT_EQ(E->Panel()->PendingOp(), btAdd);
        Type(E, "3");
        EXPECT_EQ(E->Text(), "3");
        Type(E, "=");
        Pump();
        EXPECT_FALSE(E->IsDroppedDown());
        EXPECT_EQ(E->Text(), "5");
    }
}

TEST(nvCalcEdit, DestroyedWhileOpen)
{
    TEditFixture F;
    TnvCalcEdit* E = F.Edit;
    E->SetText("3");
    E->DropDown();
    QPointer<TnvCalcPanel> P = E->Panel();
    delete E;
    Pump();
    EXPECT_TRUE(P.isNull()) << "the edit's panel goes with it";
    // A press anywhere afterwards finds no hook of the edit left.
    Click(F.Other->LineEdit(), QPoint(3, 3), true);
    F.Edit = nullptr;
}
