// The status bar demonstration: the style buttons and the "Styles" menu
// select the pages and recolour the buttons; the panels show the long date,
// the prefixed user and computer names and the rich edit's caret position in
// the window's words; the timer steps the hosted progress bar and gauge; the
// advertisement hot-tracks and opens the ordering page; "Close" closes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTextCursor>
#include <QTextEdit>

#include <memory>

#include "DateTime.h"
#include "DemoInput.h"
#include "DemoShot.h"
#include "StatusBarDemo.h"
#include "TestDump.h"
#include "nvShapeBtn.h"

namespace {

std::unique_ptr<TStatusBarDemoForm> MakeForm()
{
    InitApplication();
    return std::unique_ptr<TStatusBarDemoForm>(
        CheckedCast<TStatusBarDemoForm>(CreateFormInstance(ClassOf<TStatusBarDemoForm>(), Application)));
}

TnvShapeBtn* StyleButton(TStatusBarDemoForm* Form, int Index)
{
    return CheckedCast<TnvShapeBtn>(Form->StyleGroup->ButtonItems()->Item(Index)->Button());
}

TnvStatusPanel* PanelNamed(TStatusBarDemoForm* Form, const char* Bar, const char* Panel)
{
    TnvStatusPanel* P = CheckedCast<TnvStatusBar>(Form->FindComponent(Bar))->Panels()->FindPanel(Panel);
    EXPECT_TRUE(P) << Panel;
    return P;
}

// The text a panel draws now (its own text, or what its OnDrawText made of it).
String DrawnText(TnvStatusPanel* Panel)
{
    String Drawn = Panel->Text();
    const TnvPanelTextChangedEvent Old = Panel->OnTextChanged;
    Panel->OnTextChanged = [&](TObject*, const String& Text) { Drawn = Text; };
    Panel->RepaintPanel();
    Panel->OnTextChanged = Old;
    return Drawn;
}

// The clock the panels read, fixed for the test and restored after it.
struct TFixedClock {
    explicit TFixedClock(TDateTime Value) { Set(Value); }
    void Set(TDateTime Value) { SetStatusBarClock([Value] { return Value; }); }
    ~TFixedClock() { SetStatusBarClock({}); }
};

TEST(StatusBarDemoTest, ButtonsAndMenuSelectThePages)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Demonstration of all the powerful StatusBar styles");
    Form->Show();
    const int Count = Form->StyleGroup->ButtonItems()->Count();
    ASSERT_EQ(Count, 6);
    ASSERT_EQ(Form->PageControl1->PageCount(), 6);
    ASSERT_EQ(Form->StylesMenu->Count(), 6);
    EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet1");
    EXPECT_EQ(StyleButton(Form.get(), 0)->Font()->Color(), clRed);
    int Previous = 0;
    for (int I : {3, 5, 1, 4, 2, 0}) {
        SCOPED_TRACE(I);
        ClickLikeAUser(StyleButton(Form.get(), I));
        EXPECT_TRUE(StyleButton(Form.get(), I)->Down());
        EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet" + std::to_string(I + 1));
        EXPECT_EQ(StyleButton(Form.get(), I)->Font()->Color(), MakeColor(0x0000FF));
        EXPECT_EQ(StyleButton(Form.get(), Previous)->Font()->Color(), clBlack);
        Previous = I;
        DumpPng(Form->grab().toImage(), ("statusbar-demo-page" + std::to_string(I + 1)).c_str());
    }
    // A menu item chooses the button of its own index.
    for (int I : {4, 1, 5}) {
        SCOPED_TRACE(I);
        Form->StylesMenu->Items(I)->Action()->trigger();
        EXPECT_TRUE(StyleButton(Form.get(), I)->Down());
        EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet" + std::to_string(I + 1));
        EXPECT_EQ(StyleButton(Form.get(), I)->Font()->Color(), MakeColor(0x0000FF));
        EXPECT_EQ(StyleButton(Form.get(), Previous)->Font()->Color(), clBlack);
        Previous = I;
    }
    // Shown again, the window opens on its first page.
    Form->Hide();
    Form->Show();
    EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet1");
}

TEST(StatusBarDemoTest, DateAndNamePanelsShowTheWindowsTexts)
{
    TFixedClock Clock(EncodeDate(2026, 3, 14) + EncodeTime(9, 30, 0, 0));
    auto Form = MakeForm();
    Form->Show();
    ClickLikeAUser(StyleButton(Form.get(), 1));
    Form->grab();
    TnvStatusPanel* Date = PanelNamed(Form.get(), "ClockBar", "DatePanel");
    // A new day: the date panel draws again, with the long date.
    Clock.Set(EncodeDate(2026, 3, 15) + EncodeTime(9, 30, 0, 0));
    const String Long = DrawnText(Date);
    EXPECT_EQ(Long, FormatDateTime("dddddd", EncodeDate(2026, 3, 15)));
    EXPECT_NE(Long.find("2026"), String::npos);
    EXPECT_NE(Long, FormatDateTime("ddddd", EncodeDate(2026, 3, 15))) << "the long date, not the short one";

    ClickLikeAUser(StyleButton(Form.get(), 2));
    Form->grab();
    String User, Computer;
    const bool HaveUser = GetPlatformUserName(User);
    const bool HaveComputer = GetPlatformComputerName(Computer);
    if (HaveUser && User.size() < 25) {
        EXPECT_EQ(DrawnText(PanelNamed(Form.get(), "NamesBar", "UserNamePanel")), "User Name: " + User);
    }
    EXPECT_EQ(DrawnText(PanelNamed(Form.get(), "NamesBar", "ComputerNamePanel")),
              "Computer Name: " + (HaveComputer ? Computer : String()));
}

TEST(StatusBarDemoTest, RichEditPanelsFollowTheCaret)
{
    auto Form = MakeForm();
    Form->Show();
    ClickLikeAUser(StyleButton(Form.get(), 3));
    Form->grab();
    TnvStatusPanel* Line = PanelNamed(Form.get(), "RichEditBar", "LinePanel");
    TnvStatusPanel* Column = PanelNamed(Form.get(), "RichEditBar", "ColumnPanel");
    TnvStatusPanel* Position = PanelNamed(Form.get(), "RichEditBar", "PositionPanel");
    for (TnvStatusPanel* P : {Line, Column, Position})
        EXPECT_EQ(P->Style(), psRichEditStatus);
    QTextEdit* Editor = Form->RichEdit1->Editor();
    ActivateWindowOf(Editor);
    Editor->setFocus();
    QWidget* Keys = Editor;
    TypeKey(Keys, Qt::Key_Home, Qt::ControlModifier);
    auto Update = [&] {
        for (TnvStatusPanel* P : {Line, Column, Position})
            P->UpdateRichEditPosition();
    };
    Update();
    EXPECT_EQ(DrawnText(Line), "Current Line is: 1");
    EXPECT_EQ(DrawnText(Column), "Current Column is: 1");
    EXPECT_EQ(DrawnText(Position), "(1,1)");
    // Two lines down and five characters to the right.
    for (int I = 0; I < 2; ++I)
        TypeKey(Keys, Qt::Key_Down);
    for (int I = 0; I < 5; ++I)
        TypeKey(Keys, Qt::Key_Right);
    Update();
    EXPECT_EQ(DrawnText(Line), "Current Line is: 3");
    EXPECT_EQ(DrawnText(Column), "Current Column is: 6");
    EXPECT_EQ(DrawnText(Position), "(3,6)");
    DumpPng(Form->grab().toImage(), "statusbar-demo-richedit");
}

TEST(StatusBarDemoTest, TimerStepsTheHostedProgressBarAndGauge)
{
    auto Form = MakeForm();
    Form->Show();
    EXPECT_TRUE(Form->Timer1->Running());
    ClickLikeAUser(StyleButton(Form.get(), 4));
    Form->grab();
    // Both controls live in panels of the hint bar.
    auto* HintBar = CheckedCast<TnvStatusBar>(Form->FindComponent("HintBar"));
    EXPECT_EQ(Form->ProgressBar1->Parent(), HintBar);
    EXPECT_EQ(Form->Gauge1->Parent(), HintBar);
    Form->ProgressBar1->SetPosition(0);
    Form->Gauge1->SetProgress(0);
    for (int Tick = 1; Tick <= 10; ++Tick) {
        Form->Timer1->OnTimer(Form->Timer1);
        EXPECT_EQ(Form->Gauge1->Progress(), 10 * Tick);
        EXPECT_EQ(Form->ProgressBar1->Position(), 10 * Tick);
    }
    Form->Timer1->OnTimer(Form->Timer1);
    EXPECT_EQ(Form->Gauge1->Progress(), 0) << "the gauge starts again after 100";
    Form->Timer1->OnTimer(Form->Timer1);
    EXPECT_EQ(Form->Gauge1->Progress(), 10);
}

TEST(StatusBarDemoTest, AdvertisementHotTracksAndOpensTheOrderPage)
{
    auto Form = MakeForm();
    std::vector<String> Opened;
    Form->OpenAddress = [&](const String& Address) {
        Opened.push_back(Address);
        return true;
    };
    Form->Show();
    TnvLabel* Ad = Form->AdLabel;
    EXPECT_EQ(Ad->Caption(), "Buy Zentavo Now!");
    EXPECT_EQ(Ad->Font()->Color(), clBlack);
    MouseEnter(Ad);
    EXPECT_EQ(Ad->Font()->Color(), MakeColor(0xFF0000));
    MouseLeave(Ad);
    EXPECT_EQ(Ad->Font()->Color(), clBlack);
    EXPECT_TRUE(Opened.empty());
    ClickLikeAUser(Ad);
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0], ZentavoOrderPage);
}

TEST(StatusBarDemoTest, CloseButtonAndMenuCloseTheWindow)
{
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 4; ++I) {
        auto Form = MakeForm();
        Form->Show();
        ClickLikeAUser(StyleButton(Form.get(), I));
        ASSERT_TRUE(Form->Visible());
        if (I % 2)
            ClickLikeAUser(CheckedCast<TnvShapeBtn>(Form->FindComponent("CloseButton")));
        else
            CheckedCast<TMenuItem>(Form->FindComponent("CloseItem"))->Action()->trigger();
        EXPECT_FALSE(Form->Visible());
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
