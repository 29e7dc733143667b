// The standard controls: building them, reading and writing them in form
// files, their answers to keys and the mouse, and their pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

#include <memory>

#include "TestDump.h"
#include "Buttons.h"
#include "CheckLst.h"
#include "FormStream.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TypInfo.h"

// A dialog with handlers named by its form file.
class TStdDialog : public TForm {
    Q_OBJECT
public:
    explicit TStdDialog(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    std::vector<String> Calls;

    Q_INVOKABLE void OkClick(TObject*) { Calls.push_back("ok"); }
    Q_INVOKABLE void CancelClick(TObject*) { Calls.push_back("cancel"); }
    Q_INVOKABLE void NameChange(TObject*) { Calls.push_back("change"); }
    Q_INVOKABLE void NameKeyDown(TObject*, Word& Key, TShiftState)
    {
        Calls.push_back("keydown " + std::to_string(Key));
        if (Key == VK_F2)
            Key = 0;
    }
    Q_INVOKABLE void NameKeyPress(TObject*, char& Key)
    {
        if (Key == 'x')
            Key = 'y';
        else if (Key == '#')
            Key = 0;
    }
    Q_INVOKABLE void AgreeClick(TObject*) { Calls.push_back("agree"); }
    Q_INVOKABLE void RadioClick(TObject* Sender)
    {
        Calls.push_back("radio " + dynamic_cast<TComponent*>(Sender)->Name());
    }
    Q_INVOKABLE void ColorClick(TObject*) { Calls.push_back("color"); }
    Q_INVOKABLE void SizeChange(TObject*) { Calls.push_back("size"); }
    Q_INVOKABLE void ToolClick(TObject* Sender)
    {
        Calls.push_back("tool " + dynamic_cast<TComponent*>(Sender)->Name());
    }
};

namespace {

// Written as the form writer writes it, so that it round-trips unchanged:
// within each parent the graphic controls come first, then the windowed
// ones in tab order.
const char* const DialogText = R"(object StdDialog: TStdDialog
  Caption = 'Standard controls'
  ClientHeight = 300
  ClientWidth = 420
  object GroupBox1: TGroupBox
    Left = 8
    Top = 8
    Width = 300
    Height = 284
    Caption = '&Details'
    TabOrder = 0
    object NameLabel: TLabel
      Left = 10
      Top = 24
      Width = 30
      Height = 12
      Caption = '&Name:'
      FocusControl = NameEdit
    end
    object SpeedLeft: TSpeedButton
      Left = 10
      Top = 252
      GroupIndex = 1
      Down = True
      Caption = 'L'
      OnClick = ToolClick
    end
    object SpeedCenter: TSpeedButton
      Left = 34
      Top = 252
      GroupIndex = 1
      Caption = 'C'
      OnClick = ToolClick
    end
    object SpeedRight: TSpeedButton
      Left = 58
      Top = 252
      GroupIndex = 1
      Caption = 'R'
      OnClick = ToolClick
    end
    object NameEdit: TEdit
      Left = 60
      Top = 20
      TabOrder = 0
      Text = 'Ann'
      OnChange = NameChange
      OnKeyDown = NameKeyDown
      OnKeyPress = NameKeyPress
    end
    object AgreeCheck: TCheckBox
      Left = 10
      Top = 48
      Caption = '&Agree'
      TabOrder = 1
      OnClick = AgreeClick
    end
    object RadioA: TRadioButton
      Left = 10
      Top = 70
      Caption = 'Option A'
      Checked = True
      TabOrder = 2
      TabStop = True
      OnClick = RadioClick
    end
    object RadioB: TRadioButton
      Left = 10
      Top = 90
      Caption = 'Option &B'
      TabOrder = 3
      OnClick = RadioClick
    end
    object ColorList: TListBox
      Left = 10
      Top = 112
      Width = 130
      Height = 60
      Items.Strings = (
        'Red'
        'Green'
        'Blue')
      TabOrder = 4
      OnClick = ColorClick
    end
    object SizeCombo: TComboBox
      Left = 150
      Top = 112
      Width = 130
      Style = csDropDownList
      Items.Strings = (
        'Small'
        'Large')
      ItemIndex = 0
      TabOrder = 5
      Text = 'Small'
      OnChange = SizeChange
    end
    object NotesMemo: TMemo
      Left = 10
      Top = 180
      Width = 270
      Height = 64
      Lines.Strings = (
        'first line'
        'second line')
      TabOrder = 6
    end
  end
  object OkButton: TButton
    Left = 330
    Top = 8
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 1
    OnClick = OkClick
  end
  object CancelButton: TButton
    Left = 330
    Top = 40
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 2
    OnClick = CancelClick
  end
end
)";

struct TDialog {
    std::unique_ptr<TStdDialog> Form;
    template <class T>
    T* Get(const String& Name) const
    {
        auto* C = dynamic_cast<T*>(Form->FindComponent(Name));
        EXPECT_NE(C, nullptr) << Name;
        return C;
    }
};

TDialog LoadDialog()
{
    InitApplication();
    RegisterClasses<TStdDialog>();
    TDialog D;
    D.Form = std::make_unique<TStdDialog>();
    ReadComponentFromText(DialogText, D.Form.get());
    return D;
}

// The widget that takes a control's keys.
QWidget* KeyTarget(TWinControl* C)
{
    return C->focusProxy() ? C->focusProxy() : C;
}

void SendKey(QWidget* W, int Key, const QString& Text = QString(), Qt::KeyboardModifiers Mods = Qt::NoModifier)
{
    QKeyEvent Press(QEvent::KeyPress, Key, Mods, Text);
    QApplication::sendEvent(W, &Press);
    QKeyEvent Release(QEvent::KeyRelease, Key, Mods, Text);
    QApplication::sendEvent(W, &Release);
}

// Keys go to the control the form has active.
void SendKeyToActive(TCustomForm* Form, int Key, const QString& Text = QString(),
                     Qt::KeyboardModifiers Mods = Qt::NoModifier)
{
    ASSERT_NE(Form->ActiveControl(), nullptr);
    SendKey(KeyTarget(Form->ActiveControl()), Key, Text, Mods);
}

// A left click at a point of a control, delivered to the widget there.
void ClickAt(QWidget* W, QPoint P, Qt::KeyboardModifiers Mods = Qt::NoModifier)
{
    QWidget* Target = W->childAt(P);
    if (!Target)
        Target = W;
    const QPoint L = Target->mapFrom(W, P);
    const QPoint G = Target->mapToGlobal(L);
    QMouseEvent Press(QEvent::MouseButtonPress, L, G, Qt::LeftButton, Qt::LeftButton, Mods);
    QApplication::sendEvent(Target, &Press);
    QMouseEvent Release(QEvent::MouseButtonRelease, L, G, Qt::LeftButton, Qt::NoButton, Mods);
    QApplication::sendEvent(Target, &Release);
}

QRgb Pixel(const QImage& Image, int X, int Y)
{
    return Image.pixel(X, Y) & 0xFFFFFFu;
}

QRgb Sys(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

} // namespace

// ---------------------------------------------------------------- building

TEST(StdCtrlsBuild, EveryClassIsRegisteredAndStartsWithTheFrameworksDefaults)
{
    InitApplication();
    struct TCase {
        const char* Class;
        int Width, Height;
        bool TabStop;
    };
    const TCase Cases[] = {
        {"TLabel", 65, 17, false},      {"TGroupBox", 185, 105, false}, {"TButton", 75, 25, true},
        {"TCheckBox", 97, 17, true},    {"TRadioButton", 113, 17, false}, {"TEdit", 121, 21, true},
        {"TMemo", 185, 89, true},       {"TListBox", 121, 97, true},    {"TComboBox", 145, 21, true},
        {"TScrollBar", 121, 17, true},  {"TCheckListBox", 121, 97, true}, {"TSpeedButton", 23, 22, false},
        {"TBitBtn", 75, 25, true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Class);
        const TMetaClass* Class = FindClass(C.Class);
        ASSERT_NE(Class, nullptr);
        std::unique_ptr<TComponent> Made(Class->CreateComponent(nullptr));
        auto* Control = dynamic_cast<TControl*>(Made.get());
        ASSERT_NE(Control, nullptr);
        EXPECT_EQ(Control->Width(), C.Width);
        EXPECT_EQ(Control->Height(), C.Height);
        if (auto* W = dynamic_cast<TWinControl*>(Control))
            EXPECT_EQ(W->TabStop(), C.TabStop);
        else
            EXPECT_FALSE(C.TabStop);
    }
}

TEST(StdCtrlsBuild, PublishedPropertiesWorkThroughReflection)
{
    InitApplication();
    TEdit Edit;
    SetStrProp(&Edit, "Text", "hello");
    EXPECT_EQ(Edit.LineEdit()->text(), "hello");
    SetOrdProp(&Edit, "MaxLength", 3);
    Edit.LineEdit()->setText("abcdef");
    EXPECT_EQ(Edit.Text(), "abc");
    SetEnumProp(&Edit, "CharCase", "ecUpperCase");
    EXPECT_EQ(Edit.Text(), "ABC");
    SetOrdProp(&Edit, "PasswordChar", '*');
    EXPECT_EQ(Edit.LineEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Edit.LineEdit()->displayText(), "***");
    SetOrdProp(&Edit, "ReadOnly", 1);
    EXPECT_TRUE(Edit.LineEdit()->isReadOnly());
    // The line edit takes the control's colour, font and enabled state.
    Edit.SetColor(clYellow);
    Edit.Font()->SetColor(clNavy);
    Edit.Font()->SetHeight(-20);
    EXPECT_EQ(Edit.LineEdit()->palette().color(QPalette::Base), ColorToQColor(clYellow));
    EXPECT_EQ(Edit.LineEdit()->palette().color(QPalette::Text), ColorToQColor(clNavy));
    EXPECT_EQ(Edit.LineEdit()->font().pixelSize(), Edit.Font()->QtFont().pixelSize());
    Edit.SetEnabled(false);
    EXPECT_FALSE(Edit.LineEdit()->isEnabled());

    TMemo Memo;
    SetEnumProp(&Memo, "ScrollBars", "ssBoth");
    EXPECT_EQ(Memo.Editor()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Memo.Editor()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    SetOrdProp(&Memo, "WordWrap", 0);
    EXPECT_EQ(Memo.Editor()->lineWrapMode(), QPlainTextEdit::NoWrap);

    TComboBox Combo;
    SetOrdProp(&Combo, "DropDownCount", 3);
    EXPECT_EQ(Combo.ComboBox()->maxVisibleItems(), 3);
    SetEnumProp(&Combo, "Style", "csDropDownList");
    EXPECT_FALSE(Combo.ComboBox()->isEditable());
    SetEnumProp(&Combo, "Style", "csSimple");
    EXPECT_TRUE(Combo.ComboBox()->isEditable());

    TListBox List;
    SetOrdProp(&List, "MultiSelect", 1);
    EXPECT_EQ(List.ListWidget()->selectionMode(), QAbstractItemView::ExtendedSelection);
    SetOrdProp(&List, "ExtendedSelect", 0);
    EXPECT_EQ(List.ListWidget()->selectionMode(), QAbstractItemView::MultiSelection);
}

TEST(StdCtrlsBuild, BadValuesRaiseClearErrors)
{
    InitApplication();
    TListBox List;
    List.Items()->Add("one");
    TComboBox Combo;
    TCheckBox Check;
    TEdit Edit;
    TMemo Memo;
    TScrollBar Bar;
    TCheckListBox Checks;
    struct TCase {
        const char* What;
        std::function<void()> Do;
        const char* Message;
    };
    const TCase Cases[] = {
        {"list index", [&] { List.SetItemIndex(1); }, "List index out of bounds (1)"},
        {"list selected", [&] { List.SetSelected(-1, true); }, "List index out of bounds (-1)"},
        {"list item", [&] { List.Items()->Get(3); }, "List index out of bounds (3)"},
        {"item height", [&] { List.SetItemHeight(0); }, "An item height must be at least 1 (0)"},
        {"combo index", [&] { Combo.SetItemIndex(0); }, "List index out of bounds (0)"},
        {"drop-down count", [&] { Combo.SetDropDownCount(0); }, "DropDownCount must be at least 1 (0)"},
        {"check alignment", [&] { Check.SetAlignment(taCenter); },
         "The caption of a check box or radio button goes left or right of it: taLeftJustify or taRightJustify"},
        {"border style", [&] { Edit.SetBorderStyle(bsDialog); }, "A control's border style is bsNone or bsSingle"},
        {"max length", [&] { Edit.SetMaxLength(-1); }, "MaxLength cannot be negative (-1)"},
        {"memo line", [&] { Memo.Lines()->Delete(0); }, "List index out of bounds (0)"},
        {"scroll range", [&] { Bar.SetMin(200); }, "Scroll bar property out of range: Min 200 > Max 100"},
        {"check state", [&] { Checks.SetChecked(0, true); }, "List index out of bounds (0)"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        try {
            C.Do();
            ADD_FAILURE() << "no exception";
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(), C.Message);
        }
    }
    // A bad value in a form file names the place.
    auto Form = std::make_unique<TForm>();
    try {
        ReadComponentFromText("object F: TForm\n  object E: TEdit\n    BorderStyle = bsDialog\n  end\nend\n",
                              Form.get());
        ADD_FAILURE() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("E.BorderStyle"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("bsNone or bsSingle"), String::npos) << E.Message();
    }
}

TEST(StdCtrlsBuild, LabelsSizeThemselvesToTheirText)
{
    InitApplication();
    TForm Form;
    auto* L = new TLabel(&Form);
    L->SetParent(&Form);
    L->SetBounds(100, 10, 65, 17);
    L->SetCaption("Hello");
    const int W = L->Font()->TextWidth("Hello");
    const int H = L->Font()->Metrics().tmHeight;
    EXPECT_EQ(L->Width(), W);
    EXPECT_EQ(L->Height(), H);
    // A right-aligned label keeps its right edge.
    L->SetAlignment(taRightJustify);
    L->SetCaption("Hello, world");
    EXPECT_EQ(L->Left() + L->Width(), 100 + W);
    // Word wrap keeps the width it has and grows downwards.
    L->SetAutoSize(false);
    L->SetWidth(L->Font()->TextWidth("Hello,") + 2);
    L->SetWordWrap(true);
    L->SetAutoSize(true);
    EXPECT_EQ(L->Height(), 2 * H);
    EXPECT_LE(L->Width(), L->Font()->TextWidth("Hello,") + 2);
    // The ampersand is a prefix, unless ShowAccelChar is off.
    L->SetWordWrap(false);
    L->SetCaption("&Save");
    EXPECT_EQ(L->Width(), L->Font()->TextWidth("Save"));
    L->SetShowAccelChar(false);
    EXPECT_EQ(L->Width(), L->Font()->TextWidth("&Save"));
    // Without AutoSize the bounds stay.
    L->SetAutoSize(false);
    L->SetCaption("A much longer caption than before");
    EXPECT_EQ(L->Width(), L->Font()->TextWidth("&Save"));
}

TEST(StdCtrlsBuild, ScrollBarKeepsItsPositionInRangeAndReportsScrolling)
{
    InitApplication();
    TScrollBar Bar;
    int Changes = 0;
    std::vector<TScrollCode> Codes;
    Bar.OnChange = [&](TObject*) { ++Changes; };
    Bar.OnScroll = [&](TObject*, TScrollCode Code, int& Pos) {
        Codes.push_back(Code);
        if (Code == scLineDown)
            Pos += 5;
    };
    Bar.SetParams(50, 0, 100);
    EXPECT_EQ(Bar.Position(), 50);
    Bar.SetPosition(500);
    EXPECT_EQ(Bar.Position(), 100);
    Bar.SetPageSize(10);
    EXPECT_EQ(Bar.Position(), 91);
    EXPECT_EQ(Changes, 3);
    Bar.SetPosition(10);
    Bar.SetLargeChange(20);
    Bar.Bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Bar.Position(), 16);
    Bar.Bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Bar.Position(), 36);
    EXPECT_EQ(Codes, (std::vector<TScrollCode>{scLineDown, scPageDown}));
    // A vertical bar turns its bounds.
    Bar.SetKind(sbVertical);
    EXPECT_EQ(Bar.Width(), 17);
    EXPECT_EQ(Bar.Height(), 121);
    EXPECT_EQ(Bar.Bar()->orientation(), Qt::Vertical);
}

// ---------------------------------------------------------------- form files

TEST(StdCtrlsForm, ReadsNestedControlsWithTheirValues)
{
    TDialog D = LoadDialog();
    auto* Group = D.Get<TGroupBox>("GroupBox1");
    auto* Edit = D.Get<TEdit>("NameEdit");
    auto* Label = D.Get<TLabel>("NameLabel");
    EXPECT_EQ(Edit->Parent(), Group);
    EXPECT_EQ(Group->Parent(), D.Form.get());
    EXPECT_EQ(Edit->Text(), "Ann");
    EXPECT_EQ(Label->FocusControl(), Edit);
    EXPECT_TRUE(D.Get<TRadioButton>("RadioA")->Checked());
    EXPECT_FALSE(D.Get<TRadioButton>("RadioB")->Checked());
    auto* List = D.Get<TListBox>("ColorList");
    EXPECT_EQ(List->Items()->CommaText(), "Red,Green,Blue");
    EXPECT_EQ(List->ItemIndex(), -1);
    auto* Combo = D.Get<TComboBox>("SizeCombo");
    EXPECT_EQ(Combo->ItemIndex(), 0);
    EXPECT_EQ(Combo->Text(), "Small");
    auto* Memo = D.Get<TMemo>("NotesMemo");
    EXPECT_EQ(Memo->Lines()->Count(), 2);
    EXPECT_EQ(Memo->Text(), "first line\r\nsecond line\r\n");
    EXPECT_TRUE(D.Get<TSpeedButton>("SpeedLeft")->Down());
    EXPECT_TRUE(D.Get<TButton>("OkButton")->Default());
    EXPECT_EQ(D.Get<TButton>("CancelButton")->ModalResult(), mrCancel);
    // The label sized itself to its caption in the form's font.
    EXPECT_EQ(Label->Height(), Label->Font()->Metrics().tmHeight);
    // Loading fired no change events.
    EXPECT_TRUE(D.Form->Calls.empty());
}

TEST(StdCtrlsForm, WritesBackTheTextItWasReadFrom)
{
    TDialog D = LoadDialog();
    EXPECT_EQ(ComponentToText(D.Form.get()), DialogText);
    // Changed values are written and read back.
    D.Get<TListBox>("ColorList")->SetItemIndex(2);
    D.Get<TCheckBox>("AgreeCheck")->SetState(cbGrayed);
    D.Get<TMemo>("NotesMemo")->Lines()->Add("third");
    const String Text = ComponentToText(D.Form.get());
    auto Copy = std::make_unique<TStdDialog>();
    ReadComponentFromText(Text, Copy.get());
    EXPECT_EQ(dynamic_cast<TListBox*>(Copy->FindComponent("ColorList"))->ItemIndex(), 2);
    EXPECT_EQ(dynamic_cast<TCheckBox*>(Copy->FindComponent("AgreeCheck"))->State(), cbGrayed);
    EXPECT_EQ(dynamic_cast<TMemo*>(Copy->FindComponent("NotesMemo"))->Lines()->Count(), 3);
    EXPECT_EQ(ComponentToText(Copy.get()), Text);
}

// ---------------------------------------------------------------- keys and mouse

TEST(StdCtrlsInput, EnterClicksTheDefaultButtonAndEscTheCancelButton)
{
    TDialog D = LoadDialog();
    D.Form->Show();
    auto* Edit = D.Get<TEdit>("NameEdit");
    Edit->SetFocus();
    ASSERT_EQ(D.Form->ActiveControl(), Edit);
    SendKeyToActive(D.Form.get(), Qt::Key_Return, "\r");
    EXPECT_EQ(D.Form->ModalResult(), mrOk);
    EXPECT_EQ(D.Form->Calls.back(), "ok");
    SendKeyToActive(D.Form.get(), Qt::Key_Escape, "\x1b");
    EXPECT_EQ(D.Form->ModalResult(), mrCancel);
    EXPECT_EQ(D.Form->Calls.back(), "cancel");
    // A focused button answers Enter itself, the default button does not.
    D.Get<TButton>("CancelButton")->SetFocus();
    D.Form->Calls.clear();
    SendKeyToActive(D.Form.get(), Qt::Key_Return, "\r");
    EXPECT_EQ(D.Form->Calls, std::vector<String>{"cancel"});
    // The space bar clicks a focused button too.
    D.Get<TButton>("OkButton")->SetFocus();
    SendKeyToActive(D.Form.get(), Qt::Key_Space, " ");
    EXPECT_EQ(D.Form->Calls.back(), "ok");
    // A memo takes Return as a line break, or leaves it to the form.
    auto* Memo = D.Get<TMemo>("NotesMemo");
    Memo->SetFocus();
    Memo->Editor()->moveCursor(QTextCursor::End);
    D.Form->Calls.clear();
    SendKeyToActive(D.Form.get(), Qt::Key_Return, "\r");
    EXPECT_EQ(Memo->Lines()->Count(), 3);
    EXPECT_TRUE(D.Form->Calls.empty());
    Memo->SetWantReturns(false);
    SendKeyToActive(D.Form.get(), Qt::Key_Return, "\r");
    EXPECT_EQ(Memo->Lines()->Count(), 3);
    EXPECT_EQ(D.Form->Calls, std::vector<String>{"ok"});
}

TEST(StdCtrlsInput, ShowModalEndsWithTheDefaultButtonsResult)
{
    TDialog D = LoadDialog();
    QTimer::singleShot(0, [&] {
        D.Get<TEdit>("NameEdit")->SetFocus();
        SendKeyToActive(D.Form.get(), Qt::Key_Return, "\r");
    });
    EXPECT_EQ(D.Form->ShowModal(), mrOk);
}

TEST(StdCtrlsInput, TabMovesTheFocusInTabOrderAcrossContainers)
{
    TDialog D = LoadDialog();
    D.Form->Show();
    D.Get<TEdit>("NameEdit")->SetFocus();
    // RadioB is no tab stop while RadioA is the checked one.
    const char* Order[] = {"AgreeCheck", "RadioA", "ColorList", "SizeCombo", "NotesMemo",
                           "OkButton",   "CancelButton", "NameEdit"};
    for (const char* Name : Order) {
        SendKeyToActive(D.Form.get(), Qt::Key_Tab, "\t");
        ASSERT_NE(D.Form->ActiveControl(), nullptr);
        EXPECT_EQ(D.Form->ActiveControl()->Name(), Name);
    }
    SendKeyToActive(D.Form.get(), Qt::Key_Backtab, QString(), Qt::ShiftModifier);
    EXPECT_EQ(D.Form->ActiveControl()->Name(), "CancelButton");
    // A memo keeps its tabs out of the text without WantTabs.
    D.Get<TMemo>("NotesMemo")->SetFocus();
    SendKeyToActive(D.Form.get(), Qt::Key_Tab, "\t");
    EXPECT_EQ(D.Get<TMemo>("NotesMemo")->Text().find('\t'), String::npos);
}

TEST(StdCtrlsInput, AcceleratorsFocusAndActivate)
{
    TDialog D = LoadDialog();
    D.Form->Show();
    D.Get<TButton>("OkButton")->SetFocus();
    // The label's accelerator focuses its control.
    SendKeyToActive(D.Form.get(), Qt::Key_N, "n", Qt::AltModifier);
    EXPECT_EQ(D.Form->ActiveControl()->Name(), "NameEdit");
    // From an edit a plain letter is typed; Alt makes it a mnemonic.
    SendKeyToActive(D.Form.get(), Qt::Key_A, "a", Qt::AltModifier);
    EXPECT_EQ(D.Form->ActiveControl()->Name(), "AgreeCheck");
    EXPECT_TRUE(D.Get<TCheckBox>("AgreeCheck")->Checked());
    // From a button a plain letter is a mnemonic.
    SendKeyToActive(D.Form.get(), Qt::Key_B, "b");
    EXPECT_TRUE(D.Get<TRadioButton>("RadioB")->Checked());
    EXPECT_FALSE(D.Get<TRadioButton>("RadioA")->Checked());
    // The group box's accelerator focuses its first control.
    SendKeyToActive(D.Form.get(), Qt::Key_D, "d", Qt::AltModifier);
    EXPECT_EQ(D.Form->ActiveControl()->Name(), "NameEdit");
}

TEST(StdCtrlsInput, EditKeysReachTheHandlersWhichMayChangeOrDropThem)
{
    TDialog D = LoadDialog();
    D.Form->Show();
    auto* Edit = D.Get<TEdit>("NameEdit");
    Edit->SetFocus();
    Edit->SetSelStart(3);
    D.Form->Calls.clear();
    SendKeyToActive(D.Form.get(), Qt::Key_A, "a");
    SendKeyToActive(D.Form.get(), Qt::Key_X, "x");  // becomes 'y'
    SendKeyToActive(D.Form.get(), Qt::Key_NumberSign, "#"); // dropped
    EXPECT_EQ(Edit->Text(), "Annay");
    SendKeyToActive(D.Form.get(), Qt::Key_F2);
    SendKeyToActive(D.Form.get(), Qt::Key_Backspace, "\b");
    EXPECT_EQ(Edit->Text(), "Anna");
    // '#' is Shift with the key of 3: its key goes down, its character is dropped.
    EXPECT_EQ(D.Form->Calls, (std::vector<String>{"keydown 65", "change", "keydown 88", "change", "keydown 51",
                                                  "keydown 113", "keydown 8", "change"}));
    // A handler that zeroes the key keeps it from the edit.
    Edit->OnKeyDown = [](TObject*, Word& Key, TShiftState) {
        if (Key == VK_BACK)
            Key = 0;
    };
    SendKeyToActive(D.Form.get(), Qt::Key_Backspace, "\b");
    EXPECT_EQ(Edit->Text(), "Anna");
    // With KeyPreview the form sees the keys first and may take them.
    D.Form->SetKeyPreview(true);
    D.Form->OnKeyPress = [](TObject*, char& Key) {
        if (Key == 'q')
            Key = 0;
    };
    SendKeyToActive(D.Form.get(), Qt::Key_Q, "q");
    SendKeyToActive(D.Form.get(), Qt::Key_S, "s");
    EXPECT_EQ(Edit->Text(), "Annas");
    D.Form->SetKeyPreview(false);
    // Selection.
    Edit->SetSelStart(1);
    Edit->SetSelLength(2);
    EXPECT_EQ(Edit->SelText(), "nn");
    Edit->SetSelText("-");
    EXPECT_EQ(Edit->Text(), "A-as");
}

TEST(StdCtrlsInput, MouseEventsOfTheWrappedWidgetsReachTheControl)
{
    TDialog D = LoadDialog();
    D.Form->Show();
    auto* Edit = D.Get<TEdit>("NameEdit");
    std::vector<String> Log;
    Edit->OnMouseDown = [&](TObject*, TMouseButton B, TShiftState, int X, int Y) {
        Log.push_back("down " + std::to_string(B) + " " + std::to_string(X) + "," + std::to_string(Y));
    };
    Edit->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { Log.push_back("up"); };
    Edit->OnClick = [&](TObject*) { Log.push_back("click"); };
    ClickAt(Edit, QPoint(20, 10));
    EXPECT_EQ(Log, (std::vector<String>{"down 0 20,10", "click", "up"}));
    EXPECT_EQ(D.Form->ActiveControl(), Edit);
}

TEST(StdCtrlsInput, CheckBoxesToggleAndRadioButtonsAreExclusive)
{
    TDialog D = LoadDialog();
    D.Form->Show();
    auto* Check = D.Get<TCheckBox>("AgreeCheck");
    ClickAt(Check, QPoint(5, 8));
    EXPECT_TRUE(Check->Checked());
    Check->SetFocus();
    SendKeyToActive(D.Form.get(), Qt::Key_Space, " ");
    EXPECT_FALSE(Check->Checked());
    Check->SetChecked(true);
    EXPECT_EQ(D.Form->Calls, (std::vector<String>{"agree", "agree", "agree"}));
    // Grayed lies between unchecked and checked when allowed.
    Check->SetAllowGrayed(true);
    Check->SetChecked(false);
    Check->Toggle();
    EXPECT_EQ(Check->State(), cbGrayed);
    Check->Toggle();
    EXPECT_EQ(Check->State(), cbChecked);

    auto* A = D.Get<TRadioButton>("RadioA");
    auto* B = D.Get<TRadioButton>("RadioB");
    D.Form->Calls.clear();
    ClickAt(B, QPoint(5, 8));
    EXPECT_TRUE(B->Checked());
    EXPECT_FALSE(A->Checked());
    EXPECT_TRUE(B->TabStop());
    EXPECT_FALSE(A->TabStop());
    ClickAt(B, QPoint(5, 8)); // already checked: nothing
    A->SetChecked(true);
    EXPECT_FALSE(B->Checked());
    EXPECT_EQ(D.Form->Calls, (std::vector<String>{"radio RadioB", "radio RadioA"}));
    // A release outside the button does nothing.
    auto* Ok = D.Get<TButton>("OkButton");
    D.Form->Calls.clear();
    QMouseEvent Press(QEvent::MouseButtonPress, QPointF(5, 5), Ok->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Ok, &Press);
    EXPECT_TRUE(Ok->Pressed());
    QMouseEvent Release(QEvent::MouseButtonRelease, QPointF(-30, 5), Ok->mapToGlobal(QPointF(-30, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Ok, &Release);
    EXPECT_FALSE(Ok->Pressed());
    EXPECT_TRUE(D.Form->Calls.empty());
}

TEST(StdCtrlsInput, ListAndComboReportChoicesOfTheUserOnly)
{
    TDialog D = LoadDialog();
    D.Form->Show();
    auto* List = D.Get<TListBox>("ColorList");
    List->SetItemIndex(0);
    EXPECT_TRUE(D.Form->Calls.empty());
    const TRect R = List->ItemRect(2);
    ClickAt(List, QPoint(R.Left + 2 + 5, R.Top + 2 + 3));
    EXPECT_EQ(List->ItemIndex(), 2);
    EXPECT_EQ(D.Form->Calls, std::vector<String>{"color"});
    EXPECT_EQ(List->ItemAtPos(TPoint(R.Left + 5, R.Top + 3), true), 2);
    EXPECT_EQ(List->ItemAtPos(TPoint(5, 1000), true), -1);
    EXPECT_EQ(List->ItemAtPos(TPoint(5, 1000), false), 3);
    // Keys move the selection.
    List->SetFocus();
    SendKeyToActive(D.Form.get(), Qt::Key_Up);
    EXPECT_EQ(List->ItemIndex(), 1);
    EXPECT_EQ(D.Form->Calls.back(), "color");
    // A double click reaches OnDblClick.
    int DoubleClicks = 0;
    List->OnDblClick = [&](TObject*) { ++DoubleClicks; };
    QWidget* Viewport = List->ListWidget()->viewport();
    QMouseEvent Double(QEvent::MouseButtonDblClick, QPointF(5, 3), Viewport->mapToGlobal(QPointF(5, 3)),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Viewport, &Double);
    EXPECT_EQ(DoubleClicks, 1);
    // TopIndex scrolls the list.
    for (int I = 0; I < 10; ++I)
        List->Items()->Add("more " + std::to_string(I));
    List->SetTopIndex(6);
    EXPECT_EQ(List->TopIndex(), 6);

    auto* Combo = D.Get<TComboBox>("SizeCombo");
    D.Form->Calls.clear();
    Combo->SetItemIndex(1);
    EXPECT_TRUE(D.Form->Calls.empty());
    Combo->SetFocus();
    SendKeyToActive(D.Form.get(), Qt::Key_Up);
    EXPECT_EQ(Combo->ItemIndex(), 0);
    EXPECT_EQ(Combo->Text(), "Small");
    EXPECT_EQ(D.Form->Calls, std::vector<String>{"size"});
    // Without an edit, setting the text chooses the item.
    Combo->SetText("Large");
    EXPECT_EQ(Combo->ItemIndex(), 1);
    Combo->SetText("Huge");
    EXPECT_EQ(Combo->ItemIndex(), -1);
}

TEST(StdCtrlsInput, SimpleComboShowsItsListBelowTheEdit)
{
    InitApplication();
    TForm Form;
    Form.SetBounds(0, 0, 200, 200);
    auto* Combo = new TComboBox(&Form);
    Combo->SetParent(&Form);
    Combo->SetStyle(csSimple);
    Combo->SetBounds(10, 10, 120, 100);
    Combo->Items()->SetCommaText("a,b,c");
    std::vector<String> Log;
    Combo->OnClick = [&](TObject*) { Log.push_back("click"); };
    Combo->OnChange = [&](TObject*) { Log.push_back("change " + Combo->Text()); };
    Form.Show();
    const int EditH = Combo->Font()->Metrics().tmHeight + 8;
    const int RowH = Combo->Font()->Metrics().tmHeight + 2;
    EXPECT_EQ(Combo->ComboBox()->height(), EditH);
    ClickAt(Combo, QPoint(20, EditH + 2 + RowH + RowH / 2));
    EXPECT_EQ(Combo->ItemIndex(), 1);
    EXPECT_EQ(Log, (std::vector<String>{"click", "change b"}));
    // Typing changes the text and tells OnChange.
    Combo->SetFocus();
    Combo->SetText("");
    SendKeyToActive(&Form, Qt::Key_Z, "z");
    EXPECT_EQ(Combo->Text(), "z");
    EXPECT_EQ(Log.back(), "change z");
}

TEST(StdCtrlsInput, OwnerDrawnComboDrawsItsFaceThroughOnDrawItem)
{
    InitApplication();
    TForm Form;
    Form.SetBounds(0, 0, 200, 100);
    auto* Combo = new TComboBox(&Form);
    Combo->SetParent(&Form);
    Combo->SetBounds(10, 10, 120, 21);
    Combo->SetStyle(csOwnerDrawFixed);
    Combo->Items()->SetCommaText("a,b");
    Combo->SetItemIndex(1);
    std::vector<std::pair<int, TOwnerDrawState>> Drawn;
    Combo->OnDrawItem = [&](TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State) {
        Drawn.emplace_back(Index, State);
        auto* C = static_cast<TComboBox*>(Control);
        C->Canvas()->Brush()->SetColor(clRed);
        C->Canvas()->FillRect(Rect);
    };
    Form.Show();
    const QImage Shot = Form.grab().toImage();
    ASSERT_FALSE(Drawn.empty());
    EXPECT_EQ(Drawn.back().first, 1);
    EXPECT_TRUE(Drawn.back().second.testFlag(odComboBoxEdit));
    EXPECT_EQ(Pixel(Shot, 10 + 10, 10 + 10), Sys(clRed));
    // The button at the right is drawn by the platform: not the handler's.
    EXPECT_NE(Pixel(Shot, 10 + 120 - 8, 10 + 10), Sys(clRed));
}

TEST(StdCtrlsInput, DropDownAndCloseUpAreReported)
{
    InitApplication();
    TForm Form;
    auto* Combo = new TComboBox(&Form);
    Combo->SetParent(&Form);
    Combo->Items()->SetCommaText("a,b");
    std::vector<String> Log;
    Combo->OnDropDown = [&](TObject*) { Log.push_back("drop"); };
    Combo->OnCloseUp = [&](TObject*) { Log.push_back("close"); };
    Form.Show();
    Combo->SetDroppedDown(true);
    EXPECT_TRUE(Combo->DroppedDown());
    Combo->SetDroppedDown(false);
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Log, (std::vector<String>{"drop", "close"}));
}

// ---------------------------------------------------------------- bound lists

TEST(StdCtrlsLists, MemoLinesAreTheEditorsText)
{
    InitApplication();
    TMemo Memo;
    TStrings* L = Memo.Lines();
    EXPECT_EQ(L->Count(), 0);
    L->Add("one");
    L->Add("two");
    EXPECT_EQ(Memo.Text(), "one\r\ntwo\r\n");
    L->Insert(1, "half");
    L->Put(0, "ONE");
    EXPECT_EQ(L->CommaText(), "ONE,half,two");
    L->Delete(2);
    EXPECT_EQ(Memo.Text(), "ONE\r\nhalf\r\n");
    // A last line without a break is a line; its break comes with the next.
    Memo.SetText("a\r\nb");
    EXPECT_EQ(L->Count(), 2);
    L->Add("c");
    EXPECT_EQ(Memo.Text(), "a\r\nb\r\nc");
    L->Delete(2);
    EXPECT_EQ(Memo.Text(), "a\r\nb");
    L->SetText("x\ny\n");
    EXPECT_EQ(Memo.Editor()->toPlainText(), "x\ny\n");
    L->Clear();
    EXPECT_EQ(L->Count(), 0);
    int Changes = 0;
    Memo.OnChange = [&](TObject*) { ++Changes; };
    L->Add("z");
    EXPECT_GT(Changes, 0);
}

TEST(StdCtrlsLists, ListItemsKeepObjectsSelectionAndSortOrder)
{
    InitApplication();
    TListBox List;
    TStrings* Items = List.Items();
    QObject Tag;
    Items->AddObject("pear", &Tag);
    Items->Add("Apple");
    Items->Add("fig");
    EXPECT_EQ(Items->Objects(0), &Tag);
    List.SetSorted(true);
    EXPECT_EQ(Items->CommaText(), "Apple,fig,pear");
    EXPECT_EQ(Items->Objects(2), &Tag);
    EXPECT_EQ(Items->Add("banana"), 1);
    EXPECT_EQ(List.ListWidget()->item(1)->text(), "banana");
    List.SetMultiSelect(true);
    List.SetSelected(0, true);
    List.SetSelected(3, true);
    EXPECT_EQ(List.SelCount(), 2);
    EXPECT_TRUE(List.Selected(3));
    Items->Delete(0);
    EXPECT_EQ(List.SelCount(), 1);
    List.Clear();
    EXPECT_EQ(List.Count(), 0);

    TComboBox Combo;
    Combo.SetSorted(true);
    Combo.Items()->Add("b");
    Combo.Items()->Add("a");
    EXPECT_EQ(Combo.Items()->CommaText(), "a,b");
    Combo.SetText("typed");
    Combo.Items()->Clear();
    EXPECT_EQ(Combo.Text(), "typed"); // an editable combo keeps its text
}

TEST(StdCtrlsLists, CheckListBoxItemsHaveStatesThatClicksMoveOn)
{
    InitApplication();
    TForm Form;
    auto* Checks = new TCheckListBox(&Form);
    Checks->SetParent(&Form);
    Checks->Items()->SetCommaText("one,two,three");
    int ClickChecks = 0;
    Checks->OnClickCheck = [&](TObject*) { ++ClickChecks; };
    Form.Show();
    Checks->SetChecked(0, true);
    Checks->SetState(1, cbGrayed);
    Checks->SetItemEnabled(2, false);
    EXPECT_TRUE(Checks->Checked(0));
    EXPECT_EQ(Checks->State(1), cbGrayed);
    EXPECT_FALSE(Checks->ItemEnabled(2));
    EXPECT_EQ(ClickChecks, 0); // the program's changes are not clicks
    // A click on an item's box moves it on; on the text it selects only.
    const TRect R1 = Checks->ItemRect(1);
    ClickAt(Checks, QPoint(2 + 5, 2 + R1.Top + 3));
    EXPECT_EQ(Checks->State(1), cbChecked);
    EXPECT_EQ(ClickChecks, 1);
    ClickAt(Checks, QPoint(2 + 40, 2 + R1.Top + 3));
    EXPECT_EQ(Checks->State(1), cbChecked);
    EXPECT_EQ(Checks->ItemIndex(), 1);
    // The space bar moves the current item on; grayed comes with AllowGrayed.
    Checks->SetAllowGrayed(true);
    Checks->SetChecked(1, false);
    Checks->SetFocus();
    SendKeyToActive(&Form, Qt::Key_Space, " ");
    EXPECT_EQ(Checks->State(1), cbGrayed);
    // A disabled item stays as it is.
    const TRect R2 = Checks->ItemRect(2);
    ClickAt(Checks, QPoint(2 + 5, 2 + R2.Top + 3));
    EXPECT_EQ(Checks->State(2), cbUnchecked);
    EXPECT_EQ(ClickChecks, 2);
}

TEST(StdCtrlsLists, OwnerDrawnItemsAreDrawnByTheHandlerOnTheListsCanvas)
{
    InitApplication();
    TForm Form;
    Form.SetBounds(0, 0, 200, 200);
    auto* List = new TListBox(&Form);
    List->SetParent(&Form);
    List->SetBounds(10, 10, 150, 120);
    List->SetStyle(lbOwnerDrawVariable);
    List->SetItemHeight(20);
    List->Items()->SetCommaText("a,b,c");
    std::vector<std::pair<int, TRect>> Drawn;
    List->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = 10 + 10 * Index; };
    List->OnDrawItem = [&](TWinControl* Control, int Index, TRect Rect, TOwnerDrawState) {
        Drawn.emplace_back(Index, Rect);
        auto* L = static_cast<TListBox*>(Control);
        L->Canvas()->Brush()->SetColor(Index == 1 ? clRed : clLime);
        L->Canvas()->FillRect(Rect);
    };
    Form.Show();
    const QImage Shot = Form.grab().toImage();
    ASSERT_GE(Drawn.size(), 3u);
    std::sort(Drawn.begin(), Drawn.end(), [](auto& A, auto& B) { return A.first < B.first; });
    EXPECT_EQ(Drawn[0].second.Height(), 10);
    EXPECT_EQ(Drawn[1].second.Height(), 20);
    EXPECT_EQ(Drawn[1].second.Top, 10);
    // The list lies inside the 2-pixel border of the control.
    EXPECT_EQ(Pixel(Shot, 10 + 2 + 30, 10 + 2 + 15), Sys(clRed));
    EXPECT_EQ(Pixel(Shot, 10 + 2 + 30, 10 + 2 + 5), Sys(clLime));
}

// ---------------------------------------------------------------- pictures

TEST(StdCtrlsLook, ControlsDrawTheClassicPictures)
{
    TDialog D = LoadDialog();
    auto* Check = D.Get<TCheckBox>("AgreeCheck");
    Check->SetChecked(true);
    auto* Disabled = new TLabel(D.Form.get());
    Disabled->SetParent(D.Get<TGroupBox>("GroupBox1"));
    Disabled->SetBounds(160, 48, 60, 20);
    Disabled->SetCaption("Off");
    Disabled->SetEnabled(false);
    D.Form->Show();
    D.Get<TEdit>("NameEdit")->SetFocus();
    QApplication::processEvents();
    const QImage Shot = D.Form->grab().toImage();
    DumpPng(Shot, "stdctrls_dialog");
    auto* Group = D.Get<TGroupBox>("GroupBox1");
    const QPoint G = Group->mapTo(D.Form.get(), QPoint(0, 0));
    // The check mark: window-text pixels inside the white box.
    const QPoint C = Check->mapTo(D.Form.get(), QPoint(0, 0));
    const int BoxTop = C.y() + (Check->Height() - 13) / 2;
    int Marks = 0, White = 0;
    for (int Y = BoxTop + 2; Y < BoxTop + 11; ++Y)
        for (int X = C.x() + 2; X < C.x() + 11; ++X) {
            Marks += Pixel(Shot, X, Y) == Sys(clWindowText);
            White += Pixel(Shot, X, Y) == Sys(clWindow);
        }
    EXPECT_EQ(Marks, 21); // seven columns three pixels high
    EXPECT_EQ(White, 81 - 21);
    // The sunken box edge: shadow at the top-left, highlight at the bottom-right.
    EXPECT_EQ(Pixel(Shot, C.x(), BoxTop + 5), Sys(clBtnShadow));
    EXPECT_EQ(Pixel(Shot, C.x() + 12, BoxTop + 5), Sys(clBtnHighlight));
    // The disabled label: highlight text one pixel right of and below the shadow text.
    const QPoint L = Disabled->mapTo(D.Form.get(), QPoint(0, 0));
    int Pairs = 0, Shadows = 0;
    for (int Y = L.y(); Y < L.y() + 16; ++Y)
        for (int X = L.x(); X < L.x() + 30; ++X)
            if (Pixel(Shot, X, Y) == Sys(clBtnShadow)) {
                ++Shadows;
                const QRgb Below = Pixel(Shot, X + 1, Y + 1);
                Pairs += Below == Sys(clBtnHighlight) || Below == Sys(clBtnShadow);
            }
    EXPECT_GT(Shadows, 10);
    EXPECT_EQ(Pairs, Shadows);
    // The group box's etched frame: a shadow line, then a highlight line.
    const int FrameTop = G.y() + Group->Font()->Metrics().tmHeight / 2 - 1;
    EXPECT_EQ(Pixel(Shot, G.x() + 100, FrameTop), Sys(clBtnShadow));
    EXPECT_EQ(Pixel(Shot, G.x() + 100, FrameTop + 1), Sys(clBtnHighlight));
    EXPECT_EQ(Pixel(Shot, G.x(), G.y() + 150), Sys(clBtnShadow));
    // The default button has the window frame around it; the edit a sunken border.
    auto* Ok = D.Get<TButton>("OkButton");
    const QPoint O = Ok->mapTo(D.Form.get(), QPoint(0, 0));
    EXPECT_EQ(Pixel(Shot, O.x() + 10, O.y()), Sys(clWindowFrame));
    EXPECT_EQ(Pixel(Shot, O.x() + 10, O.y() + 1), Sys(clBtnHighlight));
    auto* Edit = D.Get<TEdit>("NameEdit");
    const QPoint E = Edit->mapTo(D.Form.get(), QPoint(0, 0));
    EXPECT_EQ(Pixel(Shot, E.x() + 10, E.y()), Sys(clBtnShadow));
    EXPECT_EQ(Pixel(Shot, E.x() + 10, E.y() + 1), Sys(cl3DDkShadow));
    EXPECT_EQ(Pixel(Shot, E.x() + 10, E.y() + Edit->Height() - 1), Sys(clBtnHighlight));
}

#include "StdCtrlsTest.moc"
