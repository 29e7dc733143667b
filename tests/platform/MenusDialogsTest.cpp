#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FormStream.h"
#include "Forms.h"
#include "Menus.h"
#include "TypInfo.h"

namespace {

// A form that stores its own components (the menus) before its controls.
// A form stores the menus it owns before its controls.
class TMenuForm : public TForm {
    Q_OBJECT
public:
    explicit TMenuForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
};

// Installs dialog executors for one test and restores the real ones after.
struct TExecutors {
    TExecutors(TDialogExecutor Dialog, TMessageDlgExecutor Message = nullptr)
        : FOldDialog(SetDialogExecutor(std::move(Dialog))), FOldMessage(SetMessageDlgExecutor(std::move(Message)))
    {
    }
    ~TExecutors()
    {
        SetDialogExecutor(std::move(FOldDialog));
        SetMessageDlgExecutor(std::move(FOldMessage));
    }
    TDialogExecutor FOldDialog;
    TMessageDlgExecutor FOldMessage;
};

TMenuItem* NewItem(TComponent* Owner, const String& Caption, TMenuItem* Parent = nullptr)
{
    auto* I = new TMenuItem(Owner);
    I->SetCaption(Caption);
    if (Parent)
        Parent->Add(I);
    return I;
}

template <class E>
String MessageOf(const std::function<void()>& F)
{
    try {
        F();
    } catch (const E& Ex) {
        return Ex.Message();
    }
    return "no exception";
}

} // namespace

// ---------------------------------------------------------------- shortcuts

TEST(MenusDialogsShortCuts, TextAndValuesConvertBothWays)
{
    struct TCase {
        TShortCut Value;
        const char* Text;
    };
    const TCase Cases[] = {
        {scCtrl | 'S', "Ctrl+S"},
        {scShift | scCtrl | VK_F1, "Shift+Ctrl+F1"},
        {scAlt | VK_F4, "Alt+F4"},
        {VK_DELETE, "Del"},
        {VK_INSERT, "Ins"},
        {scCtrl | VK_RETURN, "Ctrl+Enter"},
        {VK_ESCAPE, "Esc"},
        {VK_BACK, "BkSp"},
        {scShift | VK_TAB, "Shift+Tab"},
        {VK_SPACE, "Space"},
        {VK_PRIOR, "PgUp"},
        {VK_NEXT, "PgDn"},
        {scCtrl | VK_HOME, "Ctrl+Home"},
        {VK_DOWN, "Down"},
        {scCtrl | '0', "Ctrl+0"},
        {VK_F1 + 11, "F12"},
        {VK_MULTIPLY, "Num *"},
    };
    for (const TCase& C : Cases) {
        EXPECT_EQ(ShortCutToText(C.Value), C.Text);
        EXPECT_EQ(TextToShortCut(C.Text), C.Value) << C.Text;
    }
    // Case, the '^' for Ctrl, and texts that name nothing.
    EXPECT_EQ(TextToShortCut("ctrl+s"), scCtrl | 'S');
    EXPECT_EQ(TextToShortCut("^S"), scCtrl | 'S');
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+Banana"), 0);
    EXPECT_EQ(TextToShortCut(""), 0);
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(0x07), "");
    // Numeric keypad digits show as digits.
    EXPECT_EQ(ShortCutToText(VK_NUMPAD0 + 5), "5");

    Word Key;
    TShiftState Shift;
    ShortCutToKey(scShift | scAlt | 'X', Key, Shift);
    EXPECT_EQ(Key, 'X');
    EXPECT_EQ(Shift, TShiftState(ssShift) | ssAlt);
    EXPECT_EQ(ShortCut('X', Shift), scShift | scAlt | 'X');

    EXPECT_EQ(ShortCutToKeySequence(scCtrl | 'S'), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(ShortCutToKeySequence(scShift | VK_F1), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    EXPECT_TRUE(ShortCutToKeySequence(0).isEmpty());
    EXPECT_EQ(StripHotkey("&File"), "File");
    EXPECT_EQ(StripHotkey("Save && E&xit&"), "Save & Exit");
}

// ---------------------------------------------------------------- items

TEST(MenusDialogsItems, ItemsFormATreeAndRefuseBadInserts)
{
    TComponent Owner;
    TPopupMenu Menu(&Owner);
    TMenuItem* File = NewItem(&Owner, "&File", Menu.Items());
    TMenuItem* Open = NewItem(&Owner, "&Open", File);
    TMenuItem* Save = NewItem(&Owner, "&Save", File);
    EXPECT_EQ(File->Count(), 2);
    EXPECT_EQ(Open->Parent(), File);
    EXPECT_EQ(Save->MenuIndex(), 1);
    EXPECT_EQ(Save->GetParentMenu(), &Menu);
    EXPECT_EQ(File->Find("file"), nullptr);
    EXPECT_EQ(File->Find("save"), Save);
    EXPECT_EQ(Menu.Items()->Find("File"), File);

    EXPECT_EQ(MessageOf<EMenuError>([&] { File->Add(Open); }), "Menu inserted twice");
    EXPECT_EQ(MessageOf<EMenuError>([&] { Open->Add(NewItem(&Owner, "x", nullptr)); Open->Items(0)->Add(File); }),
              "Menu inserted twice");
    TMenuItem* Loose = NewItem(&Owner, "Loose");
    Open->Items(0)->Add(Loose);
    File->Remove(Open);
    EXPECT_EQ(MessageOf<EMenuError>([&] { Loose->Add(Open); }), "Menu cannot contain itself");
    File->Insert(0, Open);
    EXPECT_EQ(MessageOf<EMenuError>([&] { File->Insert(5, NewItem(&Owner, "y")); }), "Menu index out of range (5)");
    EXPECT_EQ(MessageOf<EMenuError>([&] { File->Items(2); }), "Menu index out of range (2)");
    EXPECT_THROW(Open->SetShortCut(0x10000), EMenuError);

    // Moving and deleting: children go with their parent, whoever owns them.
    Save->SetMenuIndex(0);
    EXPECT_EQ(File->Items(0), Save);
    const int Before = Owner.ComponentCount();
    delete Open; // with its child and grandchild
    EXPECT_EQ(Owner.ComponentCount(), Before - 3);
    EXPECT_EQ(File->Count(), 1);
    File->Clear();
    EXPECT_EQ(File->Count(), 0);
    EXPECT_EQ(File->SubMenu(), nullptr); // a command again
}

TEST(MenusDialogsItems, QtActionsShowTheItemsAndClickThem)
{
    TComponent Owner;
    TPopupMenu Menu(&Owner);
    TMenuItem* Bold = NewItem(&Owner, "&Bold", Menu.Items());
    TMenuItem* Line = NewItem(&Owner, "-", Menu.Items());
    TMenuItem* Left = NewItem(&Owner, "&Left", Menu.Items());
    TMenuItem* Right = NewItem(&Owner, "&Right", Menu.Items());
    TMenuItem* Hidden = NewItem(&Owner, "Hidden", Menu.Items());
    Bold->SetAutoCheck(true);
    Bold->SetShortCut(TextToShortCut("Ctrl+B"));
    Bold->SetDefault(true);
    for (TMenuItem* I : {Left, Right}) {
        I->SetRadioItem(true);
        I->SetGroupIndex(3);
    }
    Left->SetChecked(true);
    Hidden->SetVisible(false);
    Right->SetEnabled(false);

    QMenu* Q = Menu.PopupWidget();
    ASSERT_EQ(Q->actions().size(), 5);
    EXPECT_EQ(Q->actions()[0], Bold->Action());
    EXPECT_EQ(Bold->Action()->text(), "&Bold");
    EXPECT_TRUE(Bold->Action()->font().bold());
    EXPECT_EQ(Bold->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    EXPECT_TRUE(Line->Action()->isSeparator());
    EXPECT_TRUE(Left->Action()->isChecked());
    EXPECT_FALSE(Right->Action()->isEnabled());
    EXPECT_FALSE(Hidden->Action()->isVisible());

    // Radio items of a group exclude each other.
    Right->SetChecked(true);
    EXPECT_FALSE(Left->Checked());
    EXPECT_FALSE(Left->Action()->isChecked());
    EXPECT_TRUE(Right->Action()->isChecked());
    // Another group index is another group.
    Left->SetGroupIndex(4);
    Left->SetChecked(true);
    EXPECT_TRUE(Right->Checked());

    // Choosing an item: AutoCheck toggles, then OnClick; Qt's own toggling
    // does not count.
    int Clicks = 0;
    Bold->OnClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Bold);
        ++Clicks;
    };
    Bold->Action()->trigger();
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(Bold->Checked());
    EXPECT_TRUE(Bold->Action()->isChecked());
    Bold->Action()->trigger();
    EXPECT_FALSE(Bold->Checked());
    // A disabled item does nothing; shortcuts find enabled items only.
    Bold->SetEnabled(false);
    Bold->Click();
    EXPECT_EQ(Clicks, 2);
    EXPECT_FALSE(Menu.DispatchShortCut(TextToShortCut("Ctrl+B")));
    Bold->SetEnabled(true);
    EXPECT_TRUE(Menu.DispatchShortCut(TextToShortCut("Ctrl+B")));
    EXPECT_EQ(Clicks, 3);

    // Images come from the menu's image list.
    TImageList Images(&Owner);
    QImage Red(16, 16, QImage::Format_ARGB32);
    Red.fill(Qt::red);
    Images.AddImage32(Red);
    Bold->SetImageIndex(0);
    EXPECT_TRUE(Bold->Action()->icon().isNull());
    Menu.SetImages(&Images);
    EXPECT_FALSE(Bold->Action()->icon().isNull());
    Menu.SetImages(nullptr);
    EXPECT_TRUE(Bold->Action()->icon().isNull());
}

// ---------------------------------------------------------------- forms

TEST(MenusDialogsForm, MenusNestInFormsAndComeBackTheSame)
{
    InitApplication();
    RegisterClasses<TMenuForm>();
    const char* const Text = R"(object F: TMenuForm
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Recent1: TMenuItem
        Caption = '&Recent'
        object One1: TMenuItem
          Caption = '&1 one.txt'
          Tag = 1
        end
      end
      object Quit1: TMenuItem
        Caption = '&Quit'
        Default = True
        ShortCut = 16465
      end
    end
  end
  object Popup1: TPopupMenu
    Alignment = paRight
    AutoPopup = False
    object Cut1: TMenuItem
      Caption = 'Cu&t'
      Enabled = False
      Hint = 'Cut the selection'
    end
  end
end
)";
    TMenuForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Menu = dynamic_cast<TMainMenu*>(Form.FindComponent("MainMenu1"));
    ASSERT_NE(Menu, nullptr);
    auto* One = dynamic_cast<TMenuItem*>(Form.FindComponent("One1"));
    ASSERT_NE(One, nullptr);
    EXPECT_EQ(One->Parent()->Name(), "Recent1");
    EXPECT_EQ(One->Tag(), 1);
    EXPECT_EQ(One->GetParentMenu(), Menu);
    auto* Popup = dynamic_cast<TPopupMenu*>(Form.FindComponent("Popup1"));
    EXPECT_EQ(Popup->Alignment(), paRight);
    EXPECT_FALSE(Popup->AutoPopup());
    EXPECT_EQ(ComponentToText(&Form), Text);
    // Items moved by the program are written where they are now.
    auto* Quit = dynamic_cast<TMenuItem*>(Form.FindComponent("Quit1"));
    Quit->SetMenuIndex(0);
    TMenuForm Copy;
    ReadComponentFromText(ComponentToText(&Form), &Copy);
    EXPECT_EQ(dynamic_cast<TMenuItem*>(Copy.FindComponent("File1"))->Items(0)->Name(), "Quit1");
    EXPECT_EQ(dynamic_cast<TMenuItem*>(Copy.FindComponent("Recent1"))->Count(), 1);

    // A menu item belongs in a menu or another item.
    TForm Bad;
    const String Message = MessageOf<EReadError>([&] {
        ReadComponentFromText("object F: TForm\n  object P: TPanel\n    object I: TMenuItem\n    end\n  end\nend\n", &Bad);
    });
    EXPECT_NE(Message.find("cannot have a TPanel as its parent"), String::npos) << Message;
}

TEST(MenusDialogsForm, AMainMenuShowsAtTheTopOfItsForm)
{
    InitApplication();
    TForm Form;
    Form.SetBounds(0, 0, 300, 200);
    auto* Menu = new TMainMenu(&Form);
    TMenuItem* File = NewItem(&Form, "&File", Menu->Items());
    NewItem(&Form, "&New", File);
    auto* Top = new TPanel(&Form);
    Top->SetParent(&Form);
    Top->SetAlign(alTop);
    EXPECT_EQ(Top->Top(), 0);
    SetFormMenu(&Form, Menu);
    EXPECT_EQ(GetFormMenu(&Form), Menu);
    EXPECT_EQ(Menu->Form(), &Form);
    ASSERT_NE(Menu->MenuBar(), nullptr);
    const int BarHeight = Menu->MenuBar()->height();
    EXPECT_GE(BarHeight, GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(Top->Top(), BarHeight);
    EXPECT_EQ(Menu->MenuBar()->width(), 300);
    // Items added later show in the bar.
    NewItem(&Form, "&Help", Menu->Items());
    EXPECT_EQ(Menu->MenuBar()->actions().size(), 2);
    EXPECT_EQ(Menu->MenuBar()->actions()[0]->menu(), File->SubMenu());
    // The bar is a control of the form but none of its components.
    EXPECT_EQ(Form.ComponentCount(), 5);
    EXPECT_EQ(Form.ControlCount(), 2);

    // Another menu replaces it; none removes it; a deleted menu leaves.
    auto* Other = new TMainMenu(&Form);
    SetFormMenu(&Form, Other);
    EXPECT_EQ(Menu->MenuBar(), nullptr);
    EXPECT_EQ(GetFormMenu(&Form), Other);
    SetFormMenu(&Form, nullptr);
    EXPECT_EQ(GetFormMenu(&Form), nullptr);
    EXPECT_EQ(Top->Top(), 0);
    SetFormMenu(&Form, Menu);
    delete Menu;
    EXPECT_EQ(GetFormMenu(&Form), nullptr);
    EXPECT_EQ(Top->Top(), 0);
    EXPECT_THROW(SetFormMenu(nullptr, Other), EInvalidOperation);
}

TEST(MenusDialogsForm, PopupMenusOpenForTheirControls)
{
    InitApplication();
    TForm Form;
    Form.SetBounds(100, 100, 300, 200);
    Form.Show();
    auto* Panel = new TPanel(&Form);
    Panel->SetParent(&Form);
    Panel->SetBounds(20, 30, 100, 50);
    auto* Menu = new TPopupMenu(&Form);
    NewItem(&Form, "&Paste", Menu->Items());
    int Popups = 0;
    Menu->OnPopup = [&](TObject*) { ++Popups; };

    EXPECT_FALSE(PopupControlMenu(Panel, TPoint(5, 5)));
    Panel->SetPopupMenu(Menu);
    EXPECT_TRUE(PopupControlMenu(Panel, TPoint(5, 5)));
    EXPECT_EQ(Popups, 1);
    EXPECT_EQ(Menu->PopupComponent(), Panel);
    EXPECT_TRUE(Menu->PopupWidget()->isVisible());
    EXPECT_EQ(Menu->PopupWidget()->pos(), Panel->mapToGlobal(QPoint(5, 5)));
    Menu->PopupWidget()->close();
    // (-1, -1): at the control's corner; right alignment ends at the point.
    Menu->SetAlignment(paRight);
    EXPECT_TRUE(PopupControlMenu(Panel, TPoint(-1, -1)));
    const QPoint Corner = Panel->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(Menu->PopupWidget()->pos().x() + Menu->PopupWidget()->sizeHint().width(), Corner.x());
    Menu->PopupWidget()->close();
    Menu->SetAutoPopup(false);
    EXPECT_FALSE(PopupControlMenu(Panel, TPoint(5, 5)));
    // The control that opened it may go.
    delete Panel;
    EXPECT_EQ(Menu->PopupComponent(), nullptr);
}

TEST(MenusDialogsForm, ContextMenuRequestsOpenTheControlsMenuOrItsParents)
{
    InitApplication();
    TForm Form;
    Form.SetBounds(100, 100, 300, 200);
    Form.Show();
    auto* Panel = new TPanel(&Form);
    Panel->SetParent(&Form);
    Panel->SetBounds(20, 30, 100, 50);
    auto* Inner = new TPanel(&Form);
    Inner->SetParent(Panel);
    Inner->SetBounds(5, 5, 40, 20);
    auto* Menu = new TPopupMenu(&Form);
    NewItem(&Form, "&Paste", Menu->Items());
    Panel->SetPopupMenu(Menu);
    bool Asked = false;
    Inner->OnContextPopup = [&](TObject*, TPoint, bool& Handled) { Asked = true; Handled = false; };

    // The inner panel has no menu of its own: the request goes on to its parent's.
    QContextMenuEvent Event(QContextMenuEvent::Mouse, QPoint(3, 4), Inner->mapToGlobal(QPoint(3, 4)));
    QCoreApplication::sendEvent(Inner, &Event);
    EXPECT_TRUE(Asked);
    ASSERT_TRUE(Menu->PopupWidget());
    EXPECT_TRUE(Menu->PopupWidget()->isVisible());
    EXPECT_EQ(Menu->PopupComponent(), Panel);
    Menu->PopupWidget()->close();
}

TEST(MenusDialogsForm, AnOwnerDestroysMenusAndWhatTheyReferToInAnyOrder)
{
    InitApplication();
    QImage Red(16, 16, QImage::Format_ARGB32);
    Red.fill(Qt::red);
    // Components of one owner are not told of each other while the owner is
    // destroyed, so a menu must not touch its images or control then.
    for (bool ImagesFirst : {true, false}) {
        auto Form = std::make_unique<TForm>();
        TImageList* Images = ImagesFirst ? new TImageList(Form.get()) : nullptr;
        auto* Menu = new TPopupMenu(Form.get());
        NewItem(Form.get(), "&Open", Menu->Items())->SetImageIndex(0);
        auto* Panel = new TPanel(Form.get());
        Panel->SetParent(Form.get());
        if (!ImagesFirst)
            Images = new TImageList(Form.get());
        Images->AddImage32(Red);
        Menu->SetImages(Images);
        Panel->SetPopupMenu(Menu);
        ASSERT_TRUE(PopupControlMenu(Panel, TPoint(1, 1)));
        Menu->PopupWidget()->close();
        Form.reset();
    }
    // An image list of another owner lets its menus know when it goes.
    TComponent OtherOwner;
    auto* Images = new TImageList(&OtherOwner);
    TPopupMenu Menu;
    Menu.SetImages(Images);
    delete Images;
    EXPECT_EQ(Menu.Images(), nullptr);
}

// ---------------------------------------------------------------- dialogs

TEST(MenusDialogsDialogs, OpenDialogsTakeTheChoiceAndCompleteIt)
{
    InitApplication();
    TOpenDialog D;
    D.SetFilter("Text files (*.txt)|*.txt|Pictures|*.bmp;*.jpg|All|*.*");
    D.SetDefaultExt(".txt");
    EXPECT_EQ(D.DefaultExt(), "txt");
    EXPECT_EQ(D.NameFilters(), (QStringList{"Text files (*.txt) (*.txt)", "Pictures (*.bmp *.jpg)", "All (*.*)"}));
    EXPECT_EQ(D.Options(), TOpenOptions(ofHideReadOnly) | ofEnableSizing);

    std::vector<String> Events;
    D.OnShow = [&](TObject*) { Events.push_back("show"); };
    D.OnClose = [&](TObject*) { Events.push_back("close"); };
    struct TCase {
        std::vector<String> Chosen;
        bool Ok;
        String FileName;
        int Files;
        bool ExtensionDifferent;
    };
    const TCase Cases[] = {
        {{"/tmp/notes"}, true, "/tmp/notes.txt", 1, false},
        {{"/tmp/photo.BMP"}, true, "/tmp/photo.BMP", 1, true},
        {{"/tmp/a.txt", "/tmp/b"}, true, "/tmp/a.txt", 2, false},
        {{"/tmp/dir.d/file"}, true, "/tmp/dir.d/file.txt", 1, false},
        {{}, false, "/tmp/dir.d/file.txt", 1, false},
    };
    for (const TCase& C : Cases) {
        Events.clear();
        TExecutors Hook([&](TCommonDialog& Dialog) {
            auto& Open = dynamic_cast<TOpenDialog&>(Dialog);
            EXPECT_EQ(Events, std::vector<String>{"show"});
            if (!C.Ok)
                return false;
            Open.Files()->Clear();
            for (const String& F : C.Chosen)
                Open.Files()->Add(F);
            Open.SetFilterIndex(2);
            return true;
        });
        EXPECT_EQ(D.Execute(), C.Ok);
        EXPECT_EQ(Events, (std::vector<String>{"show", "close"}));
        EXPECT_EQ(D.FileName(), C.FileName);
        EXPECT_EQ(D.Files()->Count(), C.Files);
        EXPECT_EQ(D.Options().testFlag(ofExtensionDifferent), C.ExtensionDifferent) << C.FileName;
    }
    EXPECT_EQ(D.Files()->Get(0), "/tmp/dir.d/file.txt");
    EXPECT_EQ(D.FilterIndex(), 2);
    // A file name alone fills Files.
    {
        TExecutors Hook([](TCommonDialog& Dialog) {
            auto& Open = dynamic_cast<TOpenDialog&>(Dialog);
            Open.Files()->Clear();
            Open.SetFileName("/tmp/plain.txt");
            return true;
        });
        EXPECT_TRUE(D.Execute());
        EXPECT_EQ(D.Files()->Text(), "/tmp/plain.txt\r\n");
    }
    // An exception in the dialog still closes it.
    {
        Events.clear();
        TExecutors Hook([](TCommonDialog&) -> bool { throw EAbort("stopped"); });
        EXPECT_THROW(D.Execute(), EAbort);
        EXPECT_EQ(Events, (std::vector<String>{"show", "close"}));
    }
    EXPECT_THROW(D.SetFilter("Text|*.txt|All"), EInvalidOperation);
    EXPECT_EQ(D.Filter(), "Text files (*.txt)|*.txt|Pictures|*.bmp;*.jpg|All|*.*");

    TSaveDialog S;
    EXPECT_TRUE(S.SaveMode());
    EXPECT_FALSE(D.SaveMode());
}

TEST(MenusDialogsDialogs, ColorDialogsTakeTheChosenColourAndKeepCustomColours)
{
    InitApplication();
    TColorDialog D;
    EXPECT_EQ(D.Color(), clBlack);
    D.CustomColors()->Add("ColorA=FF0000");
    D.CustomColors()->Add("ColorC= 00FF00 ");
    EXPECT_EQ(D.CustomColor(0), MakeColor(0xFF0000));
    EXPECT_EQ(D.CustomColor(1), clWhite);
    EXPECT_EQ(D.CustomColor(2), MakeColor(0x00FF00));
    EXPECT_THROW(D.CustomColor(16), EListError);
    D.CustomColors()->Add("ColorD=green");
    EXPECT_EQ(MessageOf<EConvertError>([&] { D.CustomColor(3); }),
              "Invalid custom colour ColorD=green: expected six hexadecimal digits of a colour value");
    {
        TExecutors Hook([](TCommonDialog& Dialog) {
            dynamic_cast<TColorDialog&>(Dialog).SetColor(clTeal);
            return true;
        });
        EXPECT_TRUE(D.Execute());
    }
    EXPECT_EQ(D.Color(), clTeal);
    {
        TExecutors Hook([](TCommonDialog& Dialog) {
            dynamic_cast<TColorDialog&>(Dialog).SetColor(clRed);
            return false;
        });
        EXPECT_FALSE(D.Execute());
    }
    // Published for forms: the list stores itself.
    TComponent Owner;
    auto* Stored = new TColorDialog(&Owner);
    Stored->SetName("ColorDialog1");
    Stored->CustomColors()->Add("ColorA=808080");
    Stored->SetOptions(TColorDialogOptions(cdFullOpen) | cdAnyColor);
    const String Text = ComponentToText(Stored);
    EXPECT_EQ(Text, "object ColorDialog1: TColorDialog\n  CustomColors.Strings = (\n    'ColorA=808080')\n"
                    "  Options = [cdFullOpen, cdAnyColor]\nend\n");
}

TEST(MenusDialogsDialogs, MessageBoxesAskTheExecutorWithTheFrameworksButtons)
{
    InitApplication();
    struct TCase {
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
        const char* Caption;
        TMsgDlgBtn Default, Cancel;
    };
    const TCase Cases[] = {
        {mtWarning, mbYesNoCancel, "Warning", mbYes, mbCancel},
        {mtError, mbOKCancel, "Error", mbOK, mbCancel},
        {mtInformation, TMsgDlgButtons(mbOK), "Information", mbOK, mbOK},
        {mtConfirmation, TMsgDlgButtons(mbYes) | mbNo, "Confirm", mbYes, mbNo},
        {mtConfirmation, mbAbortRetryIgnore, "Confirm", mbRetry, mbOK},
    };
    for (const TCase& C : Cases) {
        TMessageDlgRequest Seen;
        TExecutors Hook(nullptr, [&](const TMessageDlgRequest& R) {
            Seen = R;
            return ModalResultOf(R.DefaultButton);
        });
        EXPECT_EQ(MessageDlg("Proceed?", C.Type, C.Buttons, 7), ModalResultOf(C.Default));
        EXPECT_EQ(Seen.Caption, C.Caption);
        EXPECT_EQ(Seen.Msg, "Proceed?");
        EXPECT_EQ(Seen.Buttons, C.Buttons);
        EXPECT_EQ(Seen.HelpCtx, 7);
        EXPECT_EQ(Seen.DefaultButton, C.Default);
        EXPECT_EQ(Seen.CancelButton, C.Cancel);
    }
    struct TResult {
        TMsgDlgBtn Button;
        TModalResult Result;
        const char* Caption;
    };
    for (const TResult& R : {TResult{mbYes, mrYes, "&Yes"}, TResult{mbNo, mrNo, "&No"}, TResult{mbOK, mrOk, "OK"},
                             TResult{mbCancel, mrCancel, "Cancel"}, TResult{mbAbort, mrAbort, "&Abort"},
                             TResult{mbRetry, mrRetry, "&Retry"}, TResult{mbIgnore, mrIgnore, "&Ignore"},
                             TResult{mbAll, mrAll, "&All"}, TResult{mbNoToAll, mrNoToAll, "N&o to All"},
                             TResult{mbYesToAll, mrYesToAll, "Yes to &All"}, TResult{mbHelp, mrNone, "&Help"}}) {
        EXPECT_EQ(ModalResultOf(R.Button), R.Result);
        EXPECT_EQ(ButtonCaption(R.Button), R.Caption);
    }
    EXPECT_THROW(MessageDlg("x", mtWarning, TMsgDlgButtons(), 0), EInvalidOperation);

    // ShowMessage: the application's title and an OK button.
    const String OldTitle = Application->Title();
    Application->SetTitle("Zentavo Demo");
    TMessageDlgRequest Seen;
    {
        TExecutors Hook(nullptr, [&](const TMessageDlgRequest& R) {
            Seen = R;
            return mrOk;
        });
        ShowMessage("Done");
    }
    Application->SetTitle(OldTitle);
    EXPECT_EQ(Seen.Caption, "Zentavo Demo");
    EXPECT_EQ(Seen.Msg, "Done");
    EXPECT_EQ(Seen.DlgType, mtCustom);
    EXPECT_EQ(Seen.Buttons, TMsgDlgButtons(mbOK));
}

#include "MenusDialogsTest.moc"
