#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <functional>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FormStream.h"
#include "Forms.h"
#include "TypInfo.h"

namespace {

QRgb Pixel(const QImage& Image, int X, int Y)
{
    return Image.pixel(X, Y) & 0xFFFFFFu;
}

QRgb Sys(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

void Mouse(QWidget* W, QEvent::Type Type, QPoint P)
{
    QMouseEvent E(Type, P, W->mapToGlobal(P), Qt::LeftButton,
                  Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W, &E);
}

void ClickAt(QWidget* W, QPoint P)
{
    Mouse(W, QEvent::MouseButtonPress, P);
    Mouse(W, QEvent::MouseButtonRelease, P);
}

QPoint Centre(const TRect& R)
{
    return QPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
}

void SendKey(QWidget* W, int Key, Qt::KeyboardModifiers Mods = Qt::NoModifier)
{
    QKeyEvent Press(QEvent::KeyPress, Key, Mods);
    QApplication::sendEvent(W, &Press);
    QKeyEvent Release(QEvent::KeyRelease, Key, Mods);
    QApplication::sendEvent(W, &Release);
}

bool WaitUntil(const std::function<bool()>& Done, int Milliseconds)
{
    QEventLoop Loop;
    QTimer Poll;
    QObject::connect(&Poll, &QTimer::timeout, &Loop, [&] {
        if (Done())
            Loop.quit();
    });
    QTimer::singleShot(Milliseconds, &Loop, &QEventLoop::quit);
    Poll.start(5);
    if (!Done())
        Loop.exec();
    return Done();
}

// Keeps a picture for a person to look at when ZEN_SHOT_DIR names a folder.
void SaveShot(const QImage& Image, const QString& Name)
{
    if (qEnvironmentVariableIsSet("ZEN_SHOT_DIR"))
        Image.save(qEnvironmentVariable("ZEN_SHOT_DIR") + "/" + Name + ".png");
}

std::unique_ptr<TForm> NewForm(int W = 400, int H = 300)
{
    InitApplication();
    auto Form = std::make_unique<TForm>();
    Form->SetBounds(0, 0, W, H);
    return Form;
}

// A page control with sheets of the given captions, the first one active.
struct TPages {
    std::unique_ptr<TForm> Form;
    TPageControl* PC = nullptr;
    std::vector<TTabSheet*> Sheets;
    std::vector<String> Log;
    bool Allow = true;
};

TPages MakePages(std::vector<String> Captions, int W = 300, int H = 200)
{
    TPages P;
    P.Form = NewForm(W + 40, H + 40);
    P.PC = new TPageControl(P.Form.get());
    P.PC->SetParent(P.Form.get());
    P.PC->SetBounds(10, 10, W, H);
    for (const String& C : Captions) {
        auto* S = new TTabSheet(P.Form.get());
        S->SetCaption(C);
        S->SetPageControl(P.PC);
        P.Sheets.push_back(S);
    }
    P.PC->SetActivePage(P.Sheets.front());
    return P;
}

void Watch(TPages& P)
{
    P.PC->OnChanging = [&P](TObject*, bool& Allow) {
        P.Log.push_back("changing " + IntToStr(P.PC->ActivePageIndex()));
        Allow = P.Allow;
    };
    P.PC->OnChange = [&P](TObject*) { P.Log.push_back("change " + IntToStr(P.PC->ActivePageIndex())); };
}

int TabLength(TPageControl* PC, const String& Caption)
{
    return PC->Font()->TextWidth(Caption) + 12;
}

int TabThickness(TPageControl* PC)
{
    return PC->Font()->Metrics().tmHeight + 5;
}

} // namespace

// ---------------------------------------------------------------- building

TEST(ComCtrlsBuild, EveryClassIsRegisteredWithTheFrameworksDefaults)
{
    for (const char* Name : {"TPageControl", "TTabSheet", "TUpDown", "TProgressBar", "TStatusBar"})
        EXPECT_NE(FindClass(Name), nullptr) << Name;
    EXPECT_NE(FindClass("TStatusPanel"), nullptr);

    TPageControl PC;
    EXPECT_EQ(PC.BoundsRect(), TRect(0, 0, 289, 193));
    EXPECT_TRUE(PC.TabStop());
    EXPECT_EQ(PC.TabPosition(), tpTop);
    EXPECT_EQ(PC.Style(), tsTabs);
    TTabSheet Sheet;
    EXPECT_TRUE(Sheet.TabVisible());
    EXPECT_FALSE(Sheet.Visible());
    EXPECT_EQ(Sheet.Align(), alClient);
    EXPECT_EQ(Sheet.PageIndex(), -1);
    TUpDown UpDown;
    EXPECT_EQ(UpDown.Min(), 0);
    EXPECT_EQ(UpDown.Max(), 100);
    EXPECT_EQ(UpDown.Increment(), 1);
    EXPECT_EQ(UpDown.Orientation(), udVertical);
    EXPECT_TRUE(UpDown.ArrowKeys());
    EXPECT_TRUE(UpDown.Thousands());
    EXPECT_EQ(UpDown.Width(), 17);
    EXPECT_EQ(UpDown.Height(), 25);
    TProgressBar Progress;
    EXPECT_EQ(Progress.BoundsRect(), TRect(0, 0, 150, 16));
    EXPECT_EQ(Progress.Max(), 100);
    EXPECT_EQ(Progress.Step(), 10);
    TStatusBar Bar;
    EXPECT_EQ(Bar.Align(), alBottom);
    EXPECT_EQ(Bar.Height(), 19);
    EXPECT_TRUE(Bar.SizeGrip());
    EXPECT_EQ(Bar.Color(), clBtnFace);
    TStatusPanel Panel;
    EXPECT_EQ(Panel.Width(), 50);
    EXPECT_EQ(Panel.Bevel(), pbLowered);
    EXPECT_EQ(Panel.Style(), psText);
}

TEST(ComCtrlsBuild, BadValuesRaiseClearErrors)
{
    TPageControl PC;
    EXPECT_THROW(PC.SetTabHeight(-1), EInvalidOperation);
    EXPECT_THROW(PC.SetTabWidth(-1), EInvalidOperation);
    EXPECT_THROW(PC.Pages(0), EListError);
    EXPECT_THROW(PC.SetActivePageIndex(0), EListError);
    EXPECT_THROW(PC.SetTabIndex(0), EListError);
    TUpDown UpDown;
    EXPECT_THROW(UpDown.SetAssociate(&UpDown), EInvalidOperation);
    TProgressBar Progress;
    try {
        Progress.SetMin(200);
        ADD_FAILURE() << "Min above Max was accepted";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Invalid progress bar range: Min 200 is above Max 100");
    }
    EXPECT_THROW(Progress.SetMax(-1), EInvalidOperation);
    EXPECT_THROW(Progress.SetRange(5, 4), EInvalidOperation);
    TStatusBar Bar;
    EXPECT_THROW(Bar.Panels()->Add()->SetWidth(-3), EInvalidOperation);
}

TEST(ComCtrlsBuild, AnOwnerDestroysControlsAndWhatTheyReferToInAnyOrder)
{
    // Components of one owner are not told of each other while the owner is
    // destroyed: an up-down made before its associate, a page control made
    // before its image list and sheets made before their page control.
    for (bool Reversed : {false, true}) {
        auto Form = NewForm();
        std::vector<TTabSheet*> Early;
        if (Reversed)
            for (int I = 0; I < 2; ++I)
                Early.push_back(new TTabSheet(Form.get()));
        auto* UpDown = new TUpDown(Form.get());
        UpDown->SetParent(Form.get());
        auto* PC = new TPageControl(Form.get());
        PC->SetParent(Form.get());
        auto* Images = new TImageList(Form.get());
        auto* Edit = new TPanel(Form.get());
        Edit->SetParent(Form.get());
        UpDown->SetAssociate(Edit);
        PC->SetImages(Images);
        for (TTabSheet* S : Early)
            S->SetPageControl(PC);
        auto* Late = new TTabSheet(Form.get());
        Late->SetPageControl(PC);
        PC->SetActivePage(Late);
        Form->Show();
        Form.reset();
    }
}

// ---------------------------------------------------------------- page controls

TEST(ComCtrlsPageControl, TabsLieAlongTheChosenSideAndSheetsFillTheRest)
{
    TPages P = MakePages({"One", "Two", "Three"});
    TPageControl* PC = P.PC;
    const int W = 300, H = 200;
    const int T = TabThickness(PC);
    const int L0 = TabLength(PC, "One");
    const int L1 = TabLength(PC, "Two");
    const int A = T + 2; // the tab row, with room for the selected tab
    struct TCase {
        TTabPosition Position;
        TRect Tab0, Tab1, Display;
    };
    const TCase Cases[] = {
        {tpTop, TRect(2, 2, 2 + L0, 2 + T), TRect(2 + L0, 2, 2 + L0 + L1, 2 + T), TRect(4, A + 4, W - 4, H - 4)},
        {tpBottom, TRect(2, H - 2 - T, 2 + L0, H - 2), TRect(2 + L0, H - 2 - T, 2 + L0 + L1, H - 2),
         TRect(4, 4, W - 4, H - A - 4)},
        {tpLeft, TRect(2, 2, 2 + T, 2 + L0), TRect(2, 2 + L0, 2 + T, 2 + L0 + L1), TRect(A + 4, 4, W - 4, H - 4)},
        {tpRight, TRect(W - 2 - T, 2, W - 2, 2 + L0), TRect(W - 2 - T, 2 + L0, W - 2, 2 + L0 + L1),
         TRect(4, 4, W - A - 4, H - 4)},
    };
    for (const TCase& C : Cases) {
        PC->SetTabPosition(C.Position);
        EXPECT_EQ(PC->TabRect(0), C.Tab0) << C.Position;
        EXPECT_EQ(PC->TabRect(1), C.Tab1) << C.Position;
        EXPECT_EQ(PC->DisplayRect(), C.Display) << C.Position;
        EXPECT_EQ(P.Sheets[0]->BoundsRect(), C.Display) << C.Position;
        EXPECT_EQ(PC->IndexOfTabAt(Centre(C.Tab1).x(), Centre(C.Tab1).y()), 1) << C.Position;
        EXPECT_EQ(PC->RowCount(), 1);
    }
    // Buttons: no frame, three pixels apart, the sheets right below.
    PC->SetTabPosition(tpTop);
    PC->SetStyle(tsButtons);
    EXPECT_EQ(PC->TabRect(1), TRect(L0 + 3, 0, L0 + 3 + L1, T));
    EXPECT_EQ(PC->DisplayRect(), TRect(0, T + 3, W, H));
    // Fixed tab sizes.
    PC->SetStyle(tsTabs);
    PC->SetTabWidth(70);
    PC->SetTabHeight(25);
    EXPECT_EQ(PC->TabRect(1), TRect(72, 2, 142, 27));
    EXPECT_EQ(PC->DisplayRect().Top, 27 + 4);
}

TEST(ComCtrlsPageControl, ClickingATabAsksThenChangesThePage)
{
    TPages P = MakePages({"One", "Two", "Three"});
    Watch(P);
    P.Form->Show();
    ClickAt(P.PC, Centre(P.PC->TabRect(2)));
    EXPECT_EQ(P.PC->ActivePage(), P.Sheets[2]);
    EXPECT_EQ(P.Log, (std::vector<String>{"changing 0", "change 2"}));
    EXPECT_TRUE(P.Sheets[2]->isVisible());
    EXPECT_FALSE(P.Sheets[0]->isVisible());
    // Clicking the active tab changes nothing; a refusal keeps the page.
    P.Log.clear();
    ClickAt(P.PC, Centre(P.PC->TabRect(2)));
    EXPECT_TRUE(P.Log.empty());
    P.Allow = false;
    ClickAt(P.PC, Centre(P.PC->TabRect(0)));
    EXPECT_EQ(P.PC->ActivePage(), P.Sheets[2]);
    EXPECT_EQ(P.Log, std::vector<String>{"changing 2"});
    // Nothing below the tabs is a tab.
    EXPECT_EQ(P.PC->IndexOfTabAt(100, 100), -1);

    // Keys: the arrows while the control has the focus, Ctrl+Tab from inside.
    P.Allow = true;
    P.Log.clear();
    P.PC->SetFocus();
    SendKey(P.PC, Qt::Key_Left);
    EXPECT_EQ(P.PC->ActivePage(), P.Sheets[1]);
    EXPECT_EQ(P.PC->Perform(CM_DIALOGKEY, VK_TAB, TShiftState(ssCtrl).toInt()), 1);
    EXPECT_EQ(P.PC->ActivePage(), P.Sheets[2]);
    EXPECT_EQ(P.PC->Perform(CM_DIALOGKEY, VK_TAB, (TShiftState(ssCtrl) | ssShift).toInt()), 1);
    EXPECT_EQ(P.PC->ActivePage(), P.Sheets[1]);
    EXPECT_EQ(P.PC->Perform(CM_DIALOGKEY, VK_TAB, 0), 0);
    EXPECT_EQ(P.Log.size(), 6u);
}

TEST(ComCtrlsPageControl, FindNextPageGoesRoundAndSkipsHiddenTabs)
{
    TPages P = MakePages({"A", "B", "C", "D"});
    P.Sheets[1]->SetTabVisible(false);
    struct TCase {
        int From; // -1: none
        bool Forward, CheckTabVisible;
        int Expected;
    };
    const TCase Cases[] = {
        {0, true, true, 2},   {0, true, false, 1},  {0, false, true, 3}, {3, true, true, 0},
        {2, false, true, 0},  {2, false, false, 1}, {-1, true, true, 0}, {-1, false, true, 3},
        {1, true, true, 2},
    };
    for (const TCase& C : Cases) {
        TTabSheet* From = C.From < 0 ? nullptr : P.Sheets[static_cast<size_t>(C.From)];
        EXPECT_EQ(P.PC->FindNextPage(From, C.Forward, C.CheckTabVisible), P.Sheets[static_cast<size_t>(C.Expected)])
            << C.From << " " << C.Forward << " " << C.CheckTabVisible;
    }
    EXPECT_EQ(P.PC->TabCount(), 3);
    EXPECT_EQ(P.PC->TabSheet(1), P.Sheets[2]);
    EXPECT_EQ(P.Sheets[3]->TabIndex(), 2);
    EXPECT_EQ(P.Sheets[1]->TabIndex(), -1);
    // An active page whose tab goes stays active, without a tab.
    P.PC->SetActivePage(P.Sheets[2]);
    P.Sheets[2]->SetTabVisible(false);
    EXPECT_EQ(P.PC->ActivePage(), P.Sheets[2]);
    EXPECT_EQ(P.PC->TabIndex(), -1);
    // With no tab at all, nothing pages when tab visibility counts.
    P.Sheets[0]->SetTabVisible(false);
    P.Sheets[3]->SetTabVisible(false);
    EXPECT_EQ(P.PC->FindNextPage(P.Sheets[2], true, true), nullptr);
    EXPECT_EQ(P.PC->DisplayRect(), TRect(4, 4, 296, 196));
}

TEST(ComCtrlsPageControl, PagesComeGoAndMove)
{
    TPages P = MakePages({"A", "B", "C"});
    P.Form->Show();
    P.PC->SetActivePage(P.Sheets[1]);
    // Deleting the active page shows the next one.
    delete P.Sheets[1];
    ASSERT_EQ(P.PC->PageCount(), 2);
    EXPECT_EQ(P.PC->ActivePage(), P.Sheets[2]);
    EXPECT_TRUE(P.Sheets[2]->isVisible());
    // A sheet moves to another page control with its parent.
    TPageControl* Other = new TPageControl(P.Form.get());
    Other->SetParent(P.Form.get());
    P.Sheets[2]->SetPageControl(Other);
    EXPECT_EQ(P.PC->PageCount(), 1);
    EXPECT_EQ(P.PC->ActivePage(), P.Sheets[0]);
    EXPECT_EQ(Other->Pages(0), P.Sheets[2]);
    EXPECT_EQ(P.Sheets[2]->Parent(), Other);
    // A sheet of another control cannot be made active here.
    P.PC->SetActivePage(P.Sheets[2]);
    EXPECT_EQ(P.PC->ActivePage(), P.Sheets[0]);
    // Moving a page moves its tab.
    auto* D = new TTabSheet(P.Form.get());
    D->SetCaption("D");
    D->SetPageControl(P.PC);
    D->SetPageIndex(0);
    EXPECT_EQ(P.PC->Pages(0), D);
    EXPECT_EQ(P.PC->TabSheet(0), D);
    EXPECT_EQ(P.Sheets[0]->PageIndex(), 1);
    // Deleting the page control leaves its sheets' memory alone.
    delete P.PC;
    delete Other;
}

TEST(ComCtrlsPageControl, ManyTabsWrapIntoRowsOrScroll)
{
    TPages P = MakePages({"First", "Second", "Third", "Fourth", "Fifth"}, 160, 150);
    TPageControl* PC = P.PC;
    P.Form->Show();
    const int T = TabThickness(PC);
    // One row that does not fit: arrows scroll it.
    EXPECT_EQ(PC->RowCount(), 1);
    EXPECT_EQ(PC->TabRect(0).Left, 2);
    ClickAt(PC, QPoint(160 - 8, 8));
    EXPECT_EQ(PC->TabRect(0), TRect());
    EXPECT_EQ(PC->TabRect(1).Left, 2);
    ClickAt(PC, QPoint(160 - 24, 8));
    EXPECT_EQ(PC->TabRect(0).Left, 2);
    EXPECT_EQ(PC->ActivePage(), P.Sheets[0]);

    // Rows fill the width; the selected tab's row lies next to the pages.
    PC->SetMultiLine(true);
    const int Rows = PC->RowCount();
    ASSERT_GE(Rows, 2);
    const int Area = Rows * T + 2;
    EXPECT_EQ(PC->DisplayRect().Top, Area + 4);
    EXPECT_EQ(PC->TabRect(0).Bottom, Area);
    int RowEnd = 0;
    for (int I = 0; I < PC->TabCount(); ++I)
        if (PC->TabRect(I).Top == PC->TabRect(0).Top)
            RowEnd = std::max(RowEnd, PC->TabRect(I).Right);
    EXPECT_EQ(RowEnd, 158);
    PC->SetActivePage(P.Sheets[4]);
    EXPECT_EQ(PC->TabRect(4).Bottom, Area);
    EXPECT_LT(PC->TabRect(0).Bottom, Area);
}

TEST(ComCtrlsPageControl, DrawsClassicTabsAndFrame)
{
    TPages P = MakePages({"One", "Two"}, 200, 120);
    P.Form->Show();
    TPageControl* PC = P.PC;
    const TRect Sel = PC->TabRect(0);
    const TRect Other = PC->TabRect(1);
    const int Pane = Sel.Bottom;
    const QImage Shot = PC->grab().toImage();
    // The selected tab stands two pixels higher and joins the page area.
    EXPECT_EQ(Pixel(Shot, Sel.Left + 3, 0), Sys(clBtnHighlight));
    EXPECT_EQ(Pixel(Shot, Sel.Left - 2, Pane - 2), Sys(clBtnHighlight));
    EXPECT_EQ(Pixel(Shot, Sel.Left + 5, Pane), Sys(clBtnFace));
    // The other tab: top line two pixels down, dark right side, the frame
    // line of the page area below it.
    EXPECT_EQ(Pixel(Shot, Other.Left + 5, 0), Sys(clBtnFace));
    EXPECT_EQ(Pixel(Shot, Other.Left + 5, 2), Sys(clBtnHighlight));
    EXPECT_EQ(Pixel(Shot, Other.Right - 1, Pane - 3), Sys(cl3DDkShadow));
    EXPECT_EQ(Pixel(Shot, Other.Right - 2, Pane - 3), Sys(clBtnShadow));
    EXPECT_EQ(Pixel(Shot, Other.Left + 5, Pane), Sys(clBtnHighlight));
    // The frame of the page area.
    EXPECT_EQ(Pixel(Shot, 0, Pane + 10), Sys(clBtnHighlight));
    EXPECT_EQ(Pixel(Shot, 199, Pane + 10), Sys(cl3DDkShadow));
    EXPECT_EQ(Pixel(Shot, 198, Pane + 10), Sys(clBtnShadow));
    EXPECT_EQ(Pixel(Shot, 100, 119), Sys(cl3DDkShadow));
    // Some caption pixel in each tab.
    auto HasText = [&](const TRect& R) {
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left + 3; X < R.Right - 3; ++X)
                if (Pixel(Shot, X, Y) == Sys(clBtnText))
                    return true;
        return false;
    };
    EXPECT_TRUE(HasText(Sel));
    EXPECT_TRUE(HasText(Other));
    SaveShot(Shot, "pagecontrol-top");
    for (TTabPosition Position : {tpBottom, tpLeft, tpRight}) {
        PC->SetTabPosition(Position);
        SaveShot(PC->grab().toImage(), "pagecontrol-" + QString::number(Position));
    }
    PC->SetTabPosition(tpTop);
    for (TTabStyle Style : {tsButtons, tsFlatButtons}) {
        PC->SetStyle(Style);
        SaveShot(PC->grab().toImage(), "pagecontrol-style-" + QString::number(Style));
    }
}

TEST(ComCtrlsPageControl, FormsStoreSheetsInPageOrderWithoutTheirBounds)
{
    InitApplication();
    const char* const Text = R"(object F: TForm
  object PC: TPageControl
    Left = 8
    Top = 8
    Width = 200
    Height = 100
    ActivePage = B
    TabOrder = 0
    TabPosition = tpBottom
    object A: TTabSheet
      Caption = 'Alpha'
    end
    object B: TTabSheet
      Caption = 'Beta'
      ImageIndex = 2
      object Inner: TPanel
        Left = 4
        Top = 4
        Width = 50
        Height = 20
        TabOrder = 0
      end
    end
    object C: TTabSheet
      Caption = 'Gamma'
      TabVisible = False
    end
  end
end
)";
    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* PC = dynamic_cast<TPageControl*>(Form.FindComponent("PC"));
    ASSERT_NE(PC, nullptr);
    EXPECT_EQ(PC->ActivePage()->Name(), "B");
    EXPECT_EQ(PC->Pages(2)->Name(), "C");
    EXPECT_EQ(PC->TabCount(), 2);
    EXPECT_EQ(ComponentToText(&Form), Text);
    PC->SetActivePage(dynamic_cast<TTabSheet*>(Form.FindComponent("C")));
    PC->SetActivePage(dynamic_cast<TTabSheet*>(Form.FindComponent("A")));
    const String Changed = ComponentToText(&Form);
    EXPECT_NE(Changed.find("ActivePage = A"), String::npos);
    EXPECT_LT(Changed.find("object A:"), Changed.find("object B:"));
    EXPECT_LT(Changed.find("object B:"), Changed.find("object C:"));
    // An active page that is not in the form is an error of the form.
    TForm Bad;
    EXPECT_THROW(ReadComponentFromText("object F: TForm\n  object P: TPageControl\n    ActivePage = X\n  end\nend\n",
                                       &Bad),
                 EReadError);
}

// ---------------------------------------------------------------- up-down

TEST(ComCtrlsUpDown, StepsBetweenMinAndMaxAndShowsTheValueInTheAssociate)
{
    auto Form = NewForm();
    auto* Edit = new TPanel(Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 10, 100, 21);
    auto* UpDown = new TUpDown(Form.get());
    UpDown->SetParent(Form.get());
    UpDown->SetAssociate(Edit);
    // Beside the associate, which makes room for it.
    EXPECT_EQ(Edit->Width(), 83);
    EXPECT_EQ(UpDown->BoundsRect(), TRect(93, 10, 110, 31));
    EXPECT_EQ(Edit->Caption(), "0");

    std::vector<String> Log;
    bool Allow = true;
    UpDown->OnChanging = [&](TObject*, bool& A) {
        Log.push_back("changing");
        A = Allow;
    };
    UpDown->OnClick = [&](TObject*, TUDBtnType B) { Log.push_back(B == btNext ? "next" : "prev"); };
    UpDown->SetMax(5);
    UpDown->SetIncrement(2);
    struct TCase {
        TUDBtnType Button;
        bool Wrap;
        int Expected;
    };
    const TCase Cases[] = {{btNext, false, 2}, {btNext, false, 4}, {btNext, false, 5}, {btNext, false, 5},
                           {btNext, true, 0},  {btPrev, true, 5},  {btPrev, false, 3}, {btPrev, false, 1},
                           {btPrev, false, 0}};
    for (const TCase& C : Cases) {
        UpDown->SetWrap(C.Wrap);
        UpDown->Click(C.Button);
        EXPECT_EQ(UpDown->Position(), C.Expected);
        EXPECT_EQ(Edit->Caption(), IntToStr(C.Expected));
    }
    EXPECT_EQ(Log.size(), 18u);
    EXPECT_EQ(Log[0], "changing");
    EXPECT_EQ(Log[1], "next");
    // A refusal: no step, no click.
    Log.clear();
    Allow = false;
    UpDown->Click(btNext);
    EXPECT_EQ(UpDown->Position(), 0);
    EXPECT_EQ(Log, std::vector<String>{"changing"});
    Allow = true;
    // The associate's text is read before a step.
    Edit->SetCaption("3");
    UpDown->Click(btNext);
    EXPECT_EQ(UpDown->Position(), 5);
    Edit->SetCaption("not a number");
    UpDown->Click(btPrev);
    EXPECT_EQ(UpDown->Position(), 3);
    // Thousands separators.
    UpDown->SetMin(-5000);
    UpDown->SetMax(5000);
    UpDown->SetPosition(1234);
    EXPECT_EQ(Edit->Caption(), "1,234");
    UpDown->SetPosition(-4321);
    EXPECT_EQ(Edit->Caption(), "-4,321");
    UpDown->Click(btNext);
    EXPECT_EQ(UpDown->Position(), -4319);
    UpDown->SetThousands(false);
    EXPECT_EQ(Edit->Caption(), "-4319");
    UpDown->SetPosition(9999);
    EXPECT_EQ(UpDown->Position(), 5000);

    // One associate per up-down.
    auto* Second = new TUpDown(Form.get());
    Second->SetParent(Form.get());
    EXPECT_THROW(Second->SetAssociate(Edit), EInvalidOperation);
    // An associate that goes away is forgotten.
    delete Edit;
    EXPECT_EQ(UpDown->Associate(), nullptr);
    UpDown->Click(btNext);
}

TEST(ComCtrlsUpDown, HoldingAButtonRepeatsAndArrowKeysStep)
{
    auto Form = NewForm();
    auto* Edit = new TPanel(Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 10, 100, 21);
    auto* UpDown = new TUpDown(Form.get());
    UpDown->SetParent(Form.get());
    UpDown->SetAssociate(Edit);
    Form->Show();
    EXPECT_EQ(UpDown->ButtonAt(TPoint(5, 3)), btNext);
    EXPECT_EQ(UpDown->ButtonAt(TPoint(5, 18)), btPrev);
    Mouse(UpDown, QEvent::MouseButtonPress, QPoint(5, 3));
    EXPECT_EQ(UpDown->Position(), 1);
    EXPECT_TRUE(UpDown->ButtonDown());
    EXPECT_TRUE(WaitUntil([&] { return UpDown->Position() >= 4; }, 3000));
    Mouse(UpDown, QEvent::MouseButtonRelease, QPoint(5, 3));
    const int Held = UpDown->Position();
    WaitUntil([] { return false; }, 250);
    EXPECT_EQ(UpDown->Position(), Held);
    EXPECT_FALSE(UpDown->ButtonDown());

    // The arrow keys in the associate step it.
    SendKey(Edit, Qt::Key_Up);
    SendKey(Edit, Qt::Key_Up);
    SendKey(Edit, Qt::Key_Down);
    EXPECT_EQ(UpDown->Position(), Held + 1);
    UpDown->SetArrowKeys(false);
    SendKey(Edit, Qt::Key_Up);
    EXPECT_EQ(UpDown->Position(), Held + 1);

    // Horizontal: left is back, right is forward.
    UpDown->SetOrientation(udHorizontal);
    EXPECT_EQ(UpDown->Width(), 21);
    EXPECT_EQ(UpDown->Height(), 17);
    EXPECT_EQ(UpDown->ButtonAt(TPoint(3, 5)), btPrev);
    EXPECT_EQ(UpDown->ButtonAt(TPoint(18, 5)), btNext);
}

// ---------------------------------------------------------------- progress bars

TEST(ComCtrlsProgressBar, StepsWrapAndDeltasStop)
{
    struct TCase {
        int Min, Max, Position, Step, AfterStepIt;
    };
    const TCase Cases[] = {
        {0, 100, 50, 10, 60}, {0, 100, 90, 10, 100}, {0, 100, 95, 10, 5},
        {10, 20, 18, 5, 13},  {0, 100, 0, -10, 90},  {5, 5, 5, 3, 5},
    };
    for (const TCase& C : Cases) {
        TProgressBar Bar;
        Bar.SetRange(C.Min, C.Max);
        Bar.SetPosition(C.Position);
        Bar.SetStep(C.Step);
        Bar.StepIt();
        EXPECT_EQ(Bar.Position(), C.AfterStepIt) << C.Min << ".." << C.Max << " " << C.Position << "+" << C.Step;
    }
    TProgressBar Bar;
    Bar.SetPosition(95);
    Bar.StepBy(10);
    EXPECT_EQ(Bar.Position(), 100);
    Bar.StepBy(-200);
    EXPECT_EQ(Bar.Position(), 0);
    Bar.SetPosition(150);
    EXPECT_EQ(Bar.Position(), 100);
    Bar.SetMax(60);
    EXPECT_EQ(Bar.Position(), 60);
}

TEST(ComCtrlsProgressBar, DrawsChunksOrASmoothBarInTheHighlightColour)
{
    auto Form = NewForm(200, 100);
    auto* Bar = new TProgressBar(Form.get());
    Bar->SetParent(Form.get());
    Bar->SetBounds(0, 0, 150, 16);
    Bar->SetPosition(50);
    Form->Show();
    QImage Shot = Bar->grab().toImage();
    // The sunken edge, then the bar two pixels in: 146 long, 73 filled, in
    // chunks of 8 (two thirds of 12) two pixels apart.
    EXPECT_EQ(Pixel(Shot, 0, 0), Sys(clBtnShadow));
    EXPECT_EQ(Pixel(Shot, 149, 15), Sys(clBtnHighlight));
    EXPECT_EQ(Pixel(Shot, 1, 8), Sys(clBtnFace));
    const QRgb Hi = Sys(clHighlight), Face = Sys(clBtnFace);
    for (int X = 0; X < 80; ++X) {
        const bool InChunk = X % 10 < 8;
        EXPECT_EQ(Pixel(Shot, 2 + X, 8), InChunk ? Hi : Face) << X;
    }
    EXPECT_EQ(Pixel(Shot, 2 + 100, 8), Face);
    SaveShot(Shot, "progressbar");
    Bar->SetSmooth(true);
    Shot = Bar->grab().toImage();
    EXPECT_EQ(Pixel(Shot, 2 + 72, 8), Hi);
    EXPECT_EQ(Pixel(Shot, 2 + 73, 8), Face);
    // Upright bars fill from the bottom.
    Bar->SetOrientation(pbVertical);
    EXPECT_EQ(Bar->BoundsRect(), TRect(0, 0, 16, 150));
    Shot = Bar->grab().toImage();
    EXPECT_EQ(Pixel(Shot, 8, 147), Hi);
    EXPECT_EQ(Pixel(Shot, 8, 147 - 72), Hi);
    EXPECT_EQ(Pixel(Shot, 8, 147 - 73), Face);
}

// ---------------------------------------------------------------- status bars

TEST(ComCtrlsStatusBar, PanelsLieSideBySideAndTheLastTakesTheRest)
{
    auto Form = NewForm(400, 200);
    Form->SetBorderStyle(bsDialog);
    auto* Bar = new TStatusBar(Form.get());
    Bar->SetParent(Form.get());
    for (int W : {50, 80, 60})
        Bar->Panels()->Add()->SetWidth(W);
    EXPECT_EQ(Bar->BoundsRect(), TRect(0, 181, 400, 200));
    EXPECT_FALSE(Bar->ShowsSizeGrip());
    struct TCase {
        int Index;
        TRect Rect;
    };
    for (const TCase& C : {TCase{0, TRect(0, 2, 48, 19)}, TCase{1, TRect(50, 2, 128, 19)},
                           TCase{2, TRect(130, 2, 400, 19)}, TCase{3, TRect()}, TCase{-1, TRect()}})
        EXPECT_EQ(Bar->PanelRect(C.Index), C.Rect) << C.Index;
    EXPECT_EQ(Bar->PanelAt(TPoint(60, 10)), 1);
    EXPECT_EQ(Bar->PanelAt(TPoint(49, 10)), -1);
    // A sizeable form gets the grip, and the last panel ends before it.
    Form->SetBorderStyle(bsSizeable);
    EXPECT_TRUE(Bar->ShowsSizeGrip());
    EXPECT_EQ(Bar->PanelRect(2).Right, 400 - 17);
    Bar->SetSizeGrip(false);
    EXPECT_EQ(Bar->PanelRect(2).Right, 400);
    // Simple mode hides the panels.
    Bar->SetSimplePanel(true);
    EXPECT_EQ(Bar->PanelRect(0), TRect());
}

TEST(ComCtrlsStatusBar, PaintsBevelsTextAndOwnerDrawnPanels)
{
    auto Form = NewForm(400, 200);
    auto* Bar = new TStatusBar(Form.get());
    Bar->SetParent(Form.get());
    TStatusPanel* Text = Bar->Panels()->Add();
    Text->SetWidth(100);
    Text->SetText("Hello");
    TStatusPanel* Drawn = Bar->Panels()->Add();
    Drawn->SetWidth(100);
    Drawn->SetStyle(psOwnerDraw);
    Drawn->SetBevel(pbNone);
    TStatusPanel* Last = Bar->Panels()->Add();
    Last->SetBevel(pbRaised);
    std::vector<TRect> Rects;
    Bar->OnDrawPanel = [&](TStatusBar* Sender, TStatusPanel* Panel, const TRect& R) {
        EXPECT_EQ(Panel, Drawn);
        Rects.push_back(R);
        Sender->Canvas()->Brush()->SetColor(clRed);
        Sender->Canvas()->FillRect(TRect(0, 0, 400, 19)); // clipped to the panel
    };
    Form->Show();
    const QImage Shot = Bar->grab().toImage();
    ASSERT_FALSE(Rects.empty());
    EXPECT_EQ(Rects.back(), TRect(101, 3, 197, 18));
    EXPECT_EQ(Pixel(Shot, 150, 10), Sys(clRed));
    EXPECT_EQ(Pixel(Shot, 99, 10), Sys(clBtnFace));
    EXPECT_EQ(Pixel(Shot, 0, 2), Sys(clBtnShadow));
    EXPECT_EQ(Pixel(Shot, 97, 18), Sys(clBtnHighlight));
    EXPECT_EQ(Pixel(Shot, 200, 2), Sys(clBtnHighlight));
    bool TextFound = false;
    for (int X = 2; X < 60; ++X)
        for (int Y = 4; Y < 17; ++Y)
            TextFound |= Pixel(Shot, X, Y) == Sys(clWindowText);
    EXPECT_TRUE(TextFound);
    SaveShot(Shot, "statusbar");
    // The size grip's lines in the corner.
    bool GripFound = false;
    for (int X = 383; X < 400; ++X)
        GripFound |= Pixel(Shot, X, 17) == Sys(clBtnShadow);
    EXPECT_TRUE(GripFound);
}
