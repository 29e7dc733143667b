// The status bar: panel widths and parts, names and checks, the automatic
// panels (clock, key states, hint, rich-edit caret, user name), hosted
// controls, drawing at the places the bar fixes, and the stored form.
#include <gtest/gtest.h>

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>

#include <memory>
#include <sstream>
#include <vector>

#include "DateTime.h"
#include "FormStream.h"
#include "Menus.h"
#include "Forms.h"
#include "RichEdit.h"
#include "StdCtrls.h"
#include "nvStatusBar.h"

namespace {

QRgb Rgb(const QImage& I, int X, int Y)
{
    return I.pixel(X, Y) & 0xFFFFFFu;
}

QRgb ColorRgb(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

String Join(const std::vector<int>& V)
{
    std::ostringstream S;
    for (size_t I = 0; I < V.size(); ++I)
        S << (I ? "," : "") << V[I];
    return S.str();
}

// A form with a bar at the bottom; the form cannot be sized unless asked.
struct TBarFixture {
    TForm Form;
    TnvStatusBar* Bar;

    explicit TBarFixture(int W = 500, TFormBorderStyle Border = bsSingle)
    {
        InitApplication();
        Form.SetBorderStyle(Border);
        Form.SetBounds(0, 0, W, 100);
        Bar = new TnvStatusBar(&Form);
        Bar->SetName("Bar");
        Bar->SetParent(&Form);
    }
    TnvStatusPanel* Add(const String& Width, TnvStatusPanelStyle Style = psTextOnly)
    {
        TnvStatusPanel* P = Bar->Panels()->Add();
        P->SetWidth(Width);
        P->SetStyle(Style);
        return P;
    }
    std::vector<int> Edges() const
    {
        std::vector<int> E;
        Bar->NativeGetParts(nvMaxStatusParts, &E);
        return E;
    }
    QImage Render() { return Bar->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// A clock the panels read, put back when the test ends.
struct TFixedClock {
    TDateTime Value;
    explicit TFixedClock(TDateTime V) : Value(V)
    {
        SetStatusBarClock([this] { return Value; });
    }
    ~TFixedClock() { SetStatusBarClock(nullptr); }
};

// ---------------------------------------------------------------- widths and parts

struct TWidthCase {
    int BarWidth;
    std::vector<String> Widths;
    std::vector<int> PixelWidths;
    String Edges;
};

TEST(nvStatusBar, WidthsAndPercentagesLayOutPanels)
{
    const TWidthCase Cases[] = {
        // the fixed panel first, percentages share what is left
        {500, {"100", "25%", "75%"}, {100, 100, 300}, "100,200,-1"},
        // percentages that add up to more than 100 overflow the bar
        {500, {"100", "50%", "75%"}, {100, 200, 300}, "100,300,-1"},
        // a fixed width larger than the room left is cut; later ones get 0
        {300, {"200", "250", "40"}, {200, 100, 0}, "200,300,-1"},
        // no room left: a percentage keeps -1
        {300, {"300", "10%"}, {300, -1}, "300,-1"},
        // truncating division of the product
        {333, {"33", "33%", "1%"}, {33, 99, 3}, "33,132,-1"},
        {200, {"50"}, {50}, "-1"},
    };
    for (const TWidthCase& C : Cases) {
        SCOPED_TRACE(Join(C.PixelWidths));
        TBarFixture F(C.BarWidth);
        for (const String& W : C.Widths)
            F.Add(W);
        ASSERT_EQ(F.Bar->Width(), C.BarWidth);
        for (size_t I = 0; I < C.Widths.size(); ++I)
            EXPECT_EQ(F.Bar->Panels()->Items(static_cast<int>(I))->PixelWidth(), C.PixelWidths[I]) << I;
        EXPECT_EQ(Join(F.Edges()), C.Edges);
    }
}

TEST(nvStatusBar, PercentagesFollowTheBarWidth)
{
    TBarFixture F(500);
    F.Add("100");
    TnvStatusPanel* P = F.Add("50%");
    F.Add("50%");
    EXPECT_EQ(P->PixelWidth(), 200);
    F.Form.SetWidth(300);
    EXPECT_EQ(F.Bar->Width(), 300);
    EXPECT_EQ(P->PixelWidth(), 100);
    EXPECT_EQ(Join(F.Edges()), "100,200,-1");
    EXPECT_EQ(F.Bar->LastSize().cx, 300);
}

TEST(nvStatusBar, BarWithoutPanelsHasOneEmptyPart)
{
    TBarFixture F;
    EXPECT_EQ(Join(F.Edges()), "-1");
    EXPECT_EQ(F.Bar->NativeText(0), "");
    TRect R;
    ASSERT_TRUE(F.Bar->NativeGetRect(0, R));
    EXPECT_EQ(R.Right, F.Bar->Width());
    // A panel added and removed again leaves the same single part.
    F.Add("40");
    F.Add("40");
    EXPECT_EQ(Join(F.Edges()), "40,-1");
    delete F.Bar->Panels()->Items(1);
    delete F.Bar->Panels()->Items(0);
    EXPECT_EQ(Join(F.Edges()), "-1");
}

TEST(nvStatusBar, WidthTextsAreChecked)
{
    TBarFixture F;
    TnvStatusPanel* P = F.Add("80");
    for (const char* Bad : {"abc", "%", "", "12px", "-1", "-1%", "-20", "5%%", "x%"}) {
        SCOPED_TRACE(Bad);
        try {
            P->SetWidth(Bad);
            ADD_FAILURE() << "accepted";
        } catch (const EInvalidOperation& E) {
            EXPECT_EQ(E.Message(),
                      "Width must be a valid, positive integer, or must be an integer followed by a \"%\" sign.");
        }
        EXPECT_EQ(P->Width(), "80");
        EXPECT_EQ(P->PixelWidth(), 80);
    }
    // A percentage reads 0 pixels until a layout has room for it.
    TnvStatusPanel Loose;
    Loose.SetWidth("30%");
    EXPECT_EQ(Loose.Width(), "30%");
    EXPECT_EQ(Loose.PixelWidth(), 0);
    Loose.SetWidth("0");
    EXPECT_EQ(Loose.PixelWidth(), 0);
}

TEST(nvStatusBar, PartsAndTextsReachTheNativeBar)
{
    TBarFixture F;
    TnvStatusPanel* A = F.Add("100");
    TnvStatusPanel* B = F.Add("100");
    TnvStatusPanel* C = F.Add("100");
    A->SetText("left");
    B->SetText("mid");
    B->TextOptions()->SetAlignment(taCenter);
    C->SetText("right");
    C->TextOptions()->SetAlignment(taRightJustify);
    B->SetBevel(pbNone);
    C->SetBevel(pbRaised);
    // A new text is painted at once; the native part gets it with the next
    // update of the panels.
    EXPECT_EQ(F.Bar->NativeText(0), "");
    F.Bar->UpdatePanels();
    EXPECT_EQ(F.Bar->NativeText(0), "left");
    EXPECT_EQ(F.Bar->NativeText(1), "\tmid");
    EXPECT_EQ(F.Bar->NativeText(2), "\t\tright");
    EXPECT_EQ(F.Bar->NativeFlags(0), unsigned(SBT_OWNERDRAW));
    EXPECT_EQ(F.Bar->NativeFlags(1), unsigned(SBT_OWNERDRAW | SBT_NOBORDERS));
    EXPECT_EQ(F.Bar->NativeFlags(2), unsigned(SBT_OWNERDRAW | SBT_POPOUT));
    // Parts start two pixels down, two pixels apart.
    TRect R;
    ASSERT_TRUE(F.Bar->NativeGetRect(1, R));
    EXPECT_EQ(R, TRect(102, 2, 200, 20));
    EXPECT_EQ(F.Bar->PanelAtPos(150, 10), B);
    EXPECT_EQ(F.Bar->PanelAtPos(101, 10), nullptr);
    EXPECT_EQ(F.Bar->PanelAtPos(450, 10), C);
    // Simple mode.
    F.Bar->SetSimpleText("simple");
    F.Bar->SetSimplePanel(true);
    EXPECT_TRUE(F.Bar->NativeSimple());
    EXPECT_EQ(F.Bar->NativeText(SB_SIMPLEID), "simple");
}

// ---------------------------------------------------------------- names and checks

TEST(nvStatusBar, PanelNamesAreUnique)
{
    TBarFixture F;
    TnvStatusPanel* P0 = F.Add("50");
    TnvStatusPanel* P1 = F.Add("50");
    EXPECT_EQ(P0->Name(), "Panel0");
    EXPECT_EQ(P1->Name(), "Panel1");
    P0->SetName("First");
    EXPECT_EQ(F.Add("50")->Name(), "Panel0");
    try {
        P1->SetName("First");
        ADD_FAILURE() << "accepted";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "A panel named First already exists.");
    }
    EXPECT_EQ(P1->Name(), "Panel1");
    EXPECT_EQ(F.Bar->Panels()->FindPanel("First"), P0);
    EXPECT_EQ(F.Bar->Panels()->FindPanel("first"), nullptr);
    EXPECT_EQ(P0->GetDisplayName(), "First");
}

TEST(nvStatusBar, ComponentChecksAndStyles)
{
    TBarFixture F;
    TnvStatusPanel* P = F.Add("100");
    try {
        P->SetComponent(F.Bar);
        ADD_FAILURE() << "accepted";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Control cannot equal parent StatusBar");
    }
    EXPECT_EQ(P->Component(), nullptr);
    EXPECT_EQ(P->Style(), psTextOnly);

    auto* Edit = new TEdit(&F.Form);
    Edit->SetParent(&F.Form);
    P->SetComponent(Edit);
    EXPECT_EQ(P->Style(), psControl);
    auto* Rich = new TRichEdit(&F.Form);
    Rich->SetParent(&F.Form);
    P->SetComponent(Rich);
    EXPECT_EQ(P->Style(), psRichEditStatus);
    EXPECT_TRUE(F.Bar->TimerActive(nvRichEditTimerId));
    P->SetComponent(nullptr);
    EXPECT_EQ(P->Style(), psTextOnly);
    // A hosted control that is destroyed leaves the panel.
    P->SetComponent(Edit);
    delete Edit;
    EXPECT_EQ(P->Component(), nullptr);
    EXPECT_EQ(P->Style(), psTextOnly);
}

TEST(nvStatusBar, HostedControlMovesIntoItsPanel)
{
    TBarFixture F;
    F.Bar->SetHeight(30);
    TnvStatusPanel* A = F.Add("100");
    TnvStatusPanel* B = F.Add("200");
    auto* Edit = new TEdit(&F.Form);
    Edit->SetParent(&F.Form);
    A->SetMargin(2);
    A->SetComponent(Edit);
    F.Render();
    EXPECT_EQ(Edit->Parent(), F.Bar);
    // Part (0, 2, 100, 30), inside the bevel (1, 3, 99, 29), narrowed by the
    // margin.
    EXPECT_EQ(Edit->BoundsRect(), TRect(3, 5, 97, 27));
    // Hosting it in another panel, of this bar or another, releases it.
    TBarFixture G;
    TnvStatusPanel* Other = G.Add("100");
    B->SetComponent(Edit);
    EXPECT_EQ(A->Component(), nullptr);
    EXPECT_EQ(A->Style(), psTextOnly);
    Other->SetComponent(Edit);
    EXPECT_EQ(B->Component(), nullptr);
    EXPECT_EQ(Other->Component(), Edit);
    // Released, it goes back to the form of the bar that released it.
    EXPECT_EQ(Edit->Parent(), &F.Form);
    Other->SetComponent(nullptr);
    EXPECT_EQ(Edit->Parent(), &G.Form);
    // A panel that already hosts a control takes another one from its panel.
    auto* Second = new TEdit(&F.Form);
    A->SetComponent(Edit);
    B->SetComponent(Second);
    ASSERT_EQ(B->Style(), psControl);
    B->SetComponent(Edit);
    EXPECT_EQ(A->Component(), nullptr);
    EXPECT_EQ(B->Component(), Edit);
    EXPECT_EQ(Second->Parent(), &F.Form);
}

// ---------------------------------------------------------------- automatic panels

TEST(nvStatusBar, ClockPanelsShowTheInjectedTime)
{
    TFixedClock Clock(EncodeDate(2024, 3, 9) + EncodeTime(14, 5, 0, 0));
    TBarFixture F;
    TnvStatusPanel* DT = F.Add("150", psDateTime);
    TnvStatusPanel* D = F.Add("100", psDate);
    TnvStatusPanel* T = F.Add("100", psTime);
    std::vector<String> Changes;
    D->OnTextChanged = [&](TObject*, const String& S) { Changes.push_back(S); };
    int DateDraws = 0;
    D->OnDrawText = [&](TnvStatusPanel*, String&, bool&) { ++DateDraws; };
    F.Render();
    EXPECT_EQ(DT->Text(), "3/9/2024 2:05 PM");
    EXPECT_EQ(D->Text(), "3/9/2024");
    EXPECT_EQ(T->Text(), "2:05 PM");
    EXPECT_EQ(Changes, std::vector<String>{"3/9/2024"});
    EXPECT_DOUBLE_EQ(D->LastClockValue(), EncodeDate(2024, 3, 9));
    // The clock timer repaints them; the date panel only when the day changes.
    Clock.Value = EncodeDate(2024, 3, 9) + EncodeTime(23, 59, 0, 0);
    F.Bar->Perform(WM_TIMER, nvClockTimerId);
    EXPECT_EQ(T->Text(), "11:59 PM");
    EXPECT_EQ(Changes.size(), 1u);
    // The date panel is not drawn again within the same day.
    EXPECT_EQ(DateDraws, 1);
    Clock.Value = EncodeDate(2024, 3, 10) + EncodeTime(0, 0, 30, 0);
    F.Bar->Perform(WM_TIMER, nvClockTimerId);
    EXPECT_EQ(D->Text(), "3/10/2024");
    EXPECT_EQ(DT->Text(), "3/10/2024 12:00 AM");
    EXPECT_EQ(Changes.size(), 2u);
    EXPECT_EQ(DateDraws, 2);
    // Its look still changes at once.
    D->TextOptions()->SetStyle(nvlsLowered);
    EXPECT_EQ(DateDraws, 3);
}

TEST(nvStatusBar, TimersRunWhilePanelsNeedThem)
{
    TBarFixture F;
    EXPECT_FALSE(F.Bar->TimerActive(nvClockTimerId));
    TnvStatusPanel* A = F.Add("50", psDate);
    TnvStatusPanel* B = F.Add("50", psTime);
    EXPECT_TRUE(F.Bar->TimerActive(nvClockTimerId));
    A->SetStyle(psTextOnly);
    EXPECT_TRUE(F.Bar->TimerActive(nvClockTimerId));
    B->SetStyle(psTextOnly);
    EXPECT_FALSE(F.Bar->TimerActive(nvClockTimerId));
    B->SetStyle(psHintContainerOnly);
    EXPECT_TRUE(F.Bar->TimerActive(nvHintTimerId));
    EXPECT_FALSE(F.Bar->TimerActive(nvRichEditTimerId));
    B->SetStyle(psHint);
    EXPECT_TRUE(F.Bar->TimerActive(nvHintTimerId));
    B->SetStyle(psUserName);
    EXPECT_FALSE(F.Bar->TimerActive(nvHintTimerId));
    // A new window starts the timers again.
    A->SetStyle(psDateTime);
    F.Bar->RecreateWnd();
    EXPECT_TRUE(F.Bar->TimerActive(nvClockTimerId));
    EXPECT_FALSE(F.Bar->TimerActive(nvHintTimerId));
}

TEST(nvStatusBar, KeyStatePanelsFollowTheLockKeys)
{
    TBarFixture F;
    struct TKey {
        TnvStatusPanelStyle Style;
        int QtKey;
        Word Vk;
        const char* Text;
    };
    const TKey Keys[] = {{psCapsLock, Qt::Key_CapsLock, VK_CAPITAL, "Caps"},
                         {psNumLock, Qt::Key_NumLock, VK_NUMLOCK, "Num"},
                         {psScrollLock, Qt::Key_ScrollLock, VK_SCROLL, "Scroll"},
                         {psOverWrite, Qt::Key_Insert, VK_INSERT, "Overwrite"}};
    std::vector<TnvStatusPanel*> Panels;
    std::vector<std::pair<String, bool>> Drawn;
    for (const TKey& K : Keys) {
        TnvStatusPanel* P = F.Add("80", K.Style);
        P->OnDrawText = [&Drawn](TnvStatusPanel*, String& Text, bool& Enabled) { Drawn.push_back({Text, Enabled}); };
        Panels.push_back(P);
    }
    F.Render();
    F.Form.Show();
    for (size_t I = 0; I < 4; ++I) {
        const TKey& K = Keys[I];
        SCOPED_TRACE(K.Text);
        const bool Before = GetKeyToggled(K.Vk);
        // A press and a release of the key repaint its panel (through the
        // hook) in the look of the new state.
        Drawn.clear();
        QKeyEvent Press(QEvent::KeyPress, K.QtKey, Qt::NoModifier);
        QCoreApplication::sendEvent(&F.Form, &Press);
        QKeyEvent Release(QEvent::KeyRelease, K.QtKey, Qt::NoModifier);
        QCoreApplication::sendEvent(&F.Form, &Release);
        EXPECT_EQ(GetKeyToggled(K.Vk), !Before);
        ASSERT_EQ(Drawn.size(), 2u);
        EXPECT_EQ(Drawn[0].first, K.Text);
        EXPECT_EQ(Drawn[1].second, !Before);
        // A double click on the panel toggles the key back.
        Drawn.clear();
        Panels[I]->DblClick();
        EXPECT_EQ(GetKeyToggled(K.Vk), Before);
        ASSERT_FALSE(Drawn.empty());
        EXPECT_EQ(Drawn.back().second, Before);
        EXPECT_EQ(Panels[I]->Text(), "");
    }
    // The keyboard-state event may change the text.
    F.Bar->StatusBarText()->SetCapsLock("CAPS");
    F.Bar->OnDrawKeyboardState = [](TnvCustomStatusBar*, TnvStatusPanel*, bool On, TRect&, String& Text) {
        Text += On ? "+" : "-";
    };
    Drawn.clear();
    Panels[0]->RepaintPanel();
    ASSERT_EQ(Drawn.size(), 1u);
    EXPECT_EQ(Drawn[0].first, GetKeyToggled(VK_CAPITAL) ? "CAPS+" : "CAPS-");
}

TEST(nvStatusBar, HintPanelsFollowTheApplicationHint)
{
    TBarFixture F;
    TnvStatusPanel* H = F.Add("200", psHint);
    TnvStatusPanel* C = F.Add("200", psHintContainerOnly);
    std::vector<String> Changes;
    H->OnTextChanged = [&](TObject*, const String& S) { Changes.push_back(S); };
    F.Form.Show();
    QApplication::setActiveWindow(&F.Form);
    QCursor::setPos(F.Form.mapToGlobal(QPoint(300, 10)));
    ASSERT_EQ(Screen->ActiveForm(), &F.Form);
    Application->SetHint("Opens a file");
    F.Bar->Perform(WM_TIMER, nvHintTimerId);
    EXPECT_EQ(H->Text(), "Opens a file");
    EXPECT_EQ(Changes, std::vector<String>{"Opens a file"});
    // The container-only panel follows only while its form is active and
    // has the mouse.
    EXPECT_TRUE(F.Bar->MouseInHintContainer());
    EXPECT_EQ(C->Text(), "Opens a file");
    QCursor::setPos(F.Form.mapToGlobal(QPoint(600, 10)));
    EXPECT_FALSE(F.Bar->MouseInHintContainer());
    Application->SetHint("Closes it");
    F.Bar->Perform(WM_TIMER, nvHintTimerId);
    EXPECT_EQ(H->Text(), "Closes it");
    EXPECT_EQ(C->Text(), "Opens a file");
    QCursor::setPos(F.Form.mapToGlobal(QPoint(300, 10)));
    F.Form.Hide();
    EXPECT_FALSE(F.Bar->MouseInHintContainer());
    Application->SetHint("Saves it");
    F.Bar->Perform(WM_TIMER, nvHintTimerId);
    EXPECT_EQ(H->Text(), "Saves it");
    EXPECT_NE(C->Text(), "Saves it");
    Application->SetHint("");
}

TEST(nvStatusBar, RichEditPanelFollowsTheCaret)
{
    TBarFixture F;
    auto* Rich = new TRichEdit(&F.Form);
    Rich->SetParent(&F.Form);
    Rich->SetBounds(0, 0, 200, 50);
    Rich->Lines()->SetText("first line\r\nsecond\r\nthird");
    TnvStatusPanel* P = F.Add("150");
    std::vector<String> Drawn;
    P->OnTextChanged = [&](TObject*, const String& S) { Drawn.push_back(S); };
    P->SetComponent(Rich);
    EXPECT_EQ(Rich->Parent(), &F.Form);
    struct TCaretCase {
        int SelStart;
        int Line, Col;
        const char* Text;
    };
    const TCaretCase Cases[] = {
        {0, 0, 0, "Ln: 1, Col: 1"},
        {4, 0, 4, "Ln: 1, Col: 5"},
        {11, 1, 0, "Ln: 2, Col: 1"},
        {14, 1, 3, "Ln: 2, Col: 4"},
        {20, 2, 2, "Ln: 3, Col: 3"},
    };
    F.Render();
    for (const TCaretCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        Rich->SetSelStart(C.SelStart);
        F.Bar->Perform(WM_TIMER, nvRichEditTimerId);
        EXPECT_EQ(P->LineNo(), C.Line);
        EXPECT_EQ(P->ColNo(), C.Col);
        F.Render();
        ASSERT_FALSE(Drawn.empty());
        EXPECT_EQ(Drawn.back(), C.Text);
    }
}

TEST(nvStatusBar, UserNamePanelShowsTheName)
{
    const QByteArray Saved = qgetenv("USER");
    TBarFixture F;
    TnvStatusPanel* P = F.Add("200", psUserName);
    int Calls = 0;
    String Shown;
    P->OnDrawText = [&](TnvStatusPanel*, String& Text, bool&) {
        ++Calls;
        Shown = Text;
    };
    qputenv("USER", "tester");
    F.Render();
    EXPECT_EQ(Shown, "tester");
    // A name that does not fit the platform's buffer shows nothing.
    qputenv("USER", "a-user-name-of-thirty-chars");
    Calls = 0;
    F.Render();
    EXPECT_EQ(Calls, 0);
    qputenv("USER", Saved);
    P->SetStyle(psComputerName);
    Calls = 0;
    F.Render();
    EXPECT_EQ(Calls, 1);
}

// ---------------------------------------------------------------- mouse

void SendMouse(QWidget* W, QEvent::Type Type, int X, int Y, Qt::MouseButton Button)
{
    const QPointF P(X, Y);
    QMouseEvent E(Type, P, W->mapToGlobal(P), Button, Type == QEvent::MouseMove ? Qt::NoButton : Button,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(W, &E);
}

TEST(nvStatusBar, MouseMessagesReachThePanelUnderTheMouse)
{
    TBarFixture F(300);
    TnvStatusPanel* A = F.Add("100");
    TnvStatusPanel* B = F.Add("100");
    A->SetHint("first panel");
    B->SetHint("second panel");
    std::vector<String> Log;
    for (TnvStatusPanel* P : {A, B}) {
        const String N = P->Name();
        P->OnClick = [&Log, N](TObject*) { Log.push_back(N + ":click"); };
        P->OnDblClick = [&Log, N](TObject*) { Log.push_back(N + ":dblclick"); };
        P->OnMouseDown = [&Log, N](TObject*, TMouseButton, TShiftState, int X, int Y) {
            Log.push_back(N + ":down " + std::to_string(X) + "," + std::to_string(Y));
        };
        P->OnMouseMove = [&Log, N](TObject*, TShiftState, int, int) { Log.push_back(N + ":move"); };
    }
    F.Bar->OnClick = [&Log](TObject*) { Log.push_back("bar:click"); };
    auto* Menu = new TPopupMenu(&F.Form);
    int Popups = 0;
    Menu->OnPopup = [&Popups](TObject*) { ++Popups; };
    B->SetPopupMenu(Menu);
    F.Form.Show();

    SendMouse(F.Bar, QEvent::MouseMove, 150, 10, Qt::NoButton);
    EXPECT_EQ(F.Bar->Hint(), "second panel");
    SendMouse(F.Bar, QEvent::MouseButtonPress, 150, 10, Qt::LeftButton);
    SendMouse(F.Bar, QEvent::MouseButtonRelease, 150, 10, Qt::LeftButton);
    SendMouse(F.Bar, QEvent::MouseButtonPress, 20, 10, Qt::LeftButton);
    SendMouse(F.Bar, QEvent::MouseButtonRelease, 20, 10, Qt::LeftButton);
    // Between the parts there is no panel.
    SendMouse(F.Bar, QEvent::MouseButtonPress, 101, 10, Qt::LeftButton);
    SendMouse(F.Bar, QEvent::MouseButtonRelease, 101, 10, Qt::LeftButton);
    const std::vector<String> Expected = {"Panel1:move",     "Panel1:down 150,10", "Panel1:click", "bar:click",
                                          "Panel0:down 20,10", "Panel0:click",       "bar:click",    "bar:click"};
    EXPECT_EQ(Log, Expected);
    EXPECT_EQ(Popups, 0);
    // The right button opens the panel's menu.
    SendMouse(F.Bar, QEvent::MouseButtonPress, 150, 10, Qt::RightButton);
    EXPECT_EQ(Popups, 1);
    Menu->PopupWidget()->hide();
    // A removed menu leaves the panel.
    delete Menu;
    EXPECT_EQ(B->PopupMenu(), nullptr);
}

// ---------------------------------------------------------------- text events

TEST(nvStatusBar, DrawTextHandlerChangesTheText)
{
    TBarFixture F;
    TnvStatusPanel* P = F.Add("200");
    P->SetText("plain");
    std::vector<String> Changes;
    int Draws = 0;
    P->OnTextChanged = [&](TObject* Sender, const String& S) {
        EXPECT_EQ(Sender, P);
        Changes.push_back(S);
    };
    P->OnDrawText = [&](TnvStatusPanel* Panel, String& Text, bool&) {
        ++Draws;
        Text = "[" + Text + "]";
        // Changes inside the handler do not paint the panel again.
        Panel->TextOptions()->SetStyle(nvlsRaised);
        Panel->SetText("plain");
    };
    F.Render();
    EXPECT_EQ(Draws, 1);
    EXPECT_EQ(Changes, std::vector<String>{"[plain]"});
    EXPECT_EQ(P->Text(), "plain");
    EXPECT_EQ(P->TextOptions()->Style(), nvlsRaised);
}

// ---------------------------------------------------------------- drawing

TEST(nvStatusBar, PartsDrawTheirBevelsAndColours)
{
    TBarFixture F(400);
    F.Bar->SetHeight(24);
    TnvStatusPanel* A = F.Add("100");
    TnvStatusPanel* B = F.Add("100");
    TnvStatusPanel* C = F.Add("100");
    A->SetColor(clRed);
    B->SetColor(clLime);
    B->SetBevel(pbRaised);
    C->SetColor(clBlue);
    C->SetBevel(pbNone);
    const QImage I = F.Render();
    const QRgb Face = ColorRgb(clBtnFace), Shadow = ColorRgb(clBtnShadow), White = ColorRgb(clBtnHighlight);
    // Status part 0: (0, 2, 100, 24), sunken: shadow on top and left, highlight
    // bottom and right; the two rows above the parts are the bar's face.
    EXPECT_EQ(Rgb(I, 50, 0), Face);
    EXPECT_EQ(Rgb(I, 50, 1), Face);
    EXPECT_EQ(Rgb(I, 50, 2), Shadow);
    EXPECT_EQ(Rgb(I, 0, 12), Shadow);
    EXPECT_EQ(Rgb(I, 99, 12), White);
    EXPECT_EQ(Rgb(I, 50, 23), White);
    EXPECT_EQ(Rgb(I, 1, 3), ColorRgb(clRed));
    EXPECT_EQ(Rgb(I, 98, 22), ColorRgb(clRed));
    // The gap between parts.
    EXPECT_EQ(Rgb(I, 100, 12), Face);
    EXPECT_EQ(Rgb(I, 101, 12), Face);
    // Status part 1: (102, 2, 200, 24), raised.
    EXPECT_EQ(Rgb(I, 150, 2), White);
    EXPECT_EQ(Rgb(I, 102, 12), White);
    EXPECT_EQ(Rgb(I, 199, 12), Shadow);
    EXPECT_EQ(Rgb(I, 103, 3), ColorRgb(clLime));
    // Status part 2 without borders: the panel fills inside where the bevel would be.
    EXPECT_EQ(Rgb(I, 202, 2), Face);
    EXPECT_EQ(Rgb(I, 203, 3), ColorRgb(clBlue));
    EXPECT_EQ(Rgb(I, 398, 22), ColorRgb(clBlue));
}

TEST(nvStatusBar, SizeGripNarrowsTheLastPanel)
{
    for (TFormBorderStyle Border : {bsSizeable, bsSingle}) {
        SCOPED_TRACE(int(Border));
        TBarFixture F(300, Border);
        F.Add("100");
        TnvStatusPanel* Last = F.Add("100");
        Last->SetColor(clRed);
        TRect Drawn;
        F.Bar->OnDrawPanel = [&](TnvCustomStatusBar*, TnvStatusPanel* P, const TRect& R) {
            if (P == Last)
                Drawn = R;
        };
        const QImage I = F.Render();
        const bool Grip = Border == bsSizeable;
        EXPECT_EQ(F.Bar->SizeGrip(), Grip);
        // Status part 1: (102, 2, 300, 20); inside its bevel (103, 3, 299, 19).
        EXPECT_EQ(Drawn, TRect(103, 3, Grip ? 299 - 18 : 299, 19));
        EXPECT_EQ(Rgb(I, 280, 4), ColorRgb(clRed));
        EXPECT_EQ(Rgb(I, 281, 4) == ColorRgb(clRed), !Grip);
        EXPECT_EQ(Last->PaintRect(), TRect(103, 3, 299, 19));
    }
}

TEST(nvStatusBar, TextIsDrawnWithItsEffectsAndIndent)
{
    TBarFixture F(300);
    F.Bar->SetHeight(24);
    TnvStatusPanel* P = F.Add("300");
    P->Font()->SetColor(clBlack);
    P->SetText("WWW");
    const QImage Plain = F.Render();
    // The text starts two pixels inside the bevel: black somewhere in the
    // columns after x = 3, nothing before.
    auto FirstInk = [](const QImage& I) {
        for (int X = 1; X < 100; ++X)
            for (int Y = 4; Y < 20; ++Y)
                if (Rgb(I, X, Y) == 0)
                    return X;
        return -1;
    };
    const int X0 = FirstInk(Plain);
    EXPECT_GE(X0, 3);
    EXPECT_LE(X0, 5);
    P->SetIndent(10);
    EXPECT_EQ(FirstInk(F.Render()), X0 + 10);
    // Disabled: the disabled look has no black at all.
    P->SetEnabled(false);
    EXPECT_EQ(FirstInk(F.Render()), -1);
}

TEST(nvStatusBar, RepaintPanelCopiesOnePartOntoTheBar)
{
    TBarFixture F(300);
    TnvStatusPanel* A = F.Add("100");
    TnvStatusPanel* B = F.Add("100");
    A->SetText("a");
    B->SetText("b");
    int DrawnA = 0, DrawnB = 0;
    A->OnDrawText = [&](TnvStatusPanel*, String&, bool&) { ++DrawnA; };
    B->OnDrawText = [&](TnvStatusPanel*, String&, bool&) { ++DrawnB; };
    F.Form.Show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(F.Bar->isVisible());
    EXPECT_EQ(DrawnA, 1);
    EXPECT_EQ(DrawnB, 1);
    // A new text paints its panel alone, at once; showing the copied part
    // paints nothing again.
    A->SetText("changed");
    EXPECT_EQ(DrawnA, 2);
    EXPECT_EQ(DrawnB, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(DrawnA, 2);
    EXPECT_EQ(DrawnB, 1);
    // A change of the look invalidates: the bar paints again.
    A->SetColor(clRed);
    QCoreApplication::processEvents();
    EXPECT_EQ(DrawnA, 3);
    EXPECT_EQ(Rgb(F.Render(), 50, 18), ColorRgb(clRed));
}

TEST(nvStatusBar, GlyphPanelDrawsItsImageBeforeTheText)
{
    TBarFixture F(300);
    F.Bar->SetHeight(24);
    auto* Images = TCustomImageList::CreateSize(8, 8, &F.Form);
    QImage Square(8, 8, QImage::Format_ARGB32);
    Square.fill(qRgb(0, 0, 255));
    Images->AddImage32(Square);
    F.Bar->SetImages(Images);
    TnvStatusPanel* P = F.Add("300", psGlyph);
    P->SetMargin(4);
    P->SetText("x");
    TRect TextRect;
    P->OnDrawText = [&](TnvStatusPanel* Panel, String&, bool&) { TextRect = Panel->TextOptions()->Rect(); };
    const QImage I = F.Render();
    // Inside the bevel (1, 3, 299, 23): the image at x = 1 + 4, centred
    // vertically (y = 3 + (20 - 8) div 2 = 9); the text after it, 5 pixels on.
    EXPECT_EQ(Rgb(I, 5, 9), qRgb(0, 0, 255) & 0xFFFFFFu);
    EXPECT_EQ(Rgb(I, 12, 16), qRgb(0, 0, 255) & 0xFFFFFFu);
    EXPECT_EQ(Rgb(I, 4, 9), ColorRgb(clBtnFace));
    EXPECT_EQ(Rgb(I, 5, 8), ColorRgb(clBtnFace));
    EXPECT_EQ(TextRect.Left, 1 + 8 + 5 + 2);
    // An index outside the list draws only the text, and the list's
    // destruction leaves the bar without images.
    P->SetImageIndex(3);
    EXPECT_EQ(Rgb(F.Render(), 5, 9), ColorRgb(clBtnFace));
    EXPECT_EQ(TextRect.Left, 3);
    delete Images;
    EXPECT_EQ(F.Bar->Images(), nullptr);
}

TEST(nvStatusBar, ALookAtEveryKindOfPanel)
{
    TFixedClock Clock(EncodeDate(2024, 3, 9) + EncodeTime(14, 5, 0, 0));
    TBarFixture F(640, bsSizeable);
    F.Bar->SetHeight(26);
    TnvStatusPanel* T = F.Add("140");
    T->SetText("Ready");
    T->Font()->SetStyle(TFontStyles(fsBold));
    T->TextOptions()->Shadow()->SetEnabled(true);
    T->TextOptions()->Shadow()->SetXOffset(2);
    T->TextOptions()->Shadow()->SetYOffset(2);
    T->TextOptions()->Shadow()->SetColor(clSilver);
    F.Add("60", psCapsLock);
    F.Add("60", psNumLock)->SetBevel(pbRaised);
    TnvStatusPanel* D = F.Add("120", psDateTime);
    D->TextOptions()->SetAlignment(taCenter);
    D->SetColor(clInfoBk);
    F.Add("100%", psTextOnly)->SetText("the rest");
    const QImage I = F.Render();
    if (const QByteArray Dir = qgetenv("ZEN_DUMP_DIR"); !Dir.isEmpty())
        I.save(QString::fromLocal8Bit(Dir) + "/statusbar-look.png");
    // The grip's corner and the coloured clock panel.
    EXPECT_EQ(Rgb(I, 639, 25), ColorRgb(clBtnFace));
    EXPECT_EQ(Rgb(I, 300, 4), ColorRgb(clInfoBk));
    // The shadow lies two pixels below and right of the text.
    bool ShadowSeen = false;
    for (int X = 2; X < 140 && !ShadowSeen; ++X)
        for (int Y = 3; Y < 25; ++Y)
            if (Rgb(I, X, Y) == ColorRgb(clSilver) && Rgb(I, X - 2, Y - 2) == 0) {
                ShadowSeen = true;
                break;
            }
    EXPECT_TRUE(ShadowSeen);
}

TEST(nvStatusBar, ManyPanelsAndThemedLooks)
{
    // Only 128 parts reach the native bar; painting still ends.
    TBarFixture F(1400);
    for (int I = 0; I < 130; ++I)
        F.Add("10");
    EXPECT_EQ(F.Edges().size(), size_t(nvMaxStatusParts));
    EXPECT_EQ(F.Edges()[126], 1270);
    int Drawn = 0;
    F.Bar->OnDrawPanel = [&](TnvCustomStatusBar*, TnvStatusPanel*, const TRect&) { ++Drawn; };
    F.Render();
    EXPECT_EQ(Drawn, nvMaxStatusParts);
    // The themed look draws the style's frame over the panel's colour.
    TBarFixture G(300);
    G.Add("150")->SetColor(clRed);
    SetThemeServicesEnabled(true);
    const QImage Themed = G.Render();
    G.Bar->SetDisableThemes(true);
    const QImage Classic = G.Render();
    SetThemeServicesEnabled(false);
    EXPECT_EQ(Rgb(Themed, 75, 11), ColorRgb(clRed));
    EXPECT_EQ(Rgb(Classic, 75, 11), ColorRgb(clRed));
    EXPECT_EQ(Rgb(Classic, 75, 2), ColorRgb(clBtnShadow));
}

// ---------------------------------------------------------------- stored form

TEST(nvStatusBar, StoredFormRoundTrip)
{
    String Text;
    {
        TBarFixture F;
        auto* Edit = new TEdit(&F.Form);
        Edit->SetName("Edit1");
        Edit->SetParent(&F.Form);
        F.Bar->SetSimpleText("ready");
        F.Bar->StatusBarText()->SetCapsLock("CAP");
        TnvStatusPanel* A = F.Add("120", psDate);
        A->SetName("Clock");
        A->SetBevel(pbRaised);
        A->SetColor(clYellow);
        A->SetIndent(3);
        A->SetTag(7);
        A->SetHint("today");
        A->TextOptions()->SetAlignment(taRightJustify);
        A->TextOptions()->Shadow()->SetEnabled(true);
        TnvStatusPanel* B = F.Add("0");
        B->SetText("zero wide");
        B->SetEnabled(false);
        TnvStatusPanel* C = F.Add("40%");
        C->SetComponent(Edit);
        C->SetMargin(1);
        Text = ComponentToText(&F.Form);
    }
    EXPECT_NE(Text.find("Width = '0'"), String::npos) << Text;
    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Bar = dynamic_cast<TnvStatusBar*>(Form.FindComponent("Bar"));
    ASSERT_NE(Bar, nullptr);
    EXPECT_EQ(Bar->SimpleText(), "ready");
    EXPECT_EQ(Bar->StatusBarText()->CapsLock(), "CAP");
    EXPECT_EQ(Bar->StatusBarText()->NumLock(), "Num");
    ASSERT_EQ(Bar->Panels()->Count(), 3);
    TnvStatusPanel* A = Bar->Panels()->Items(0);
    EXPECT_EQ(A->Name(), "Clock");
    EXPECT_EQ(A->Width(), "120");
    EXPECT_EQ(A->Style(), psDate);
    EXPECT_EQ(A->Bevel(), pbRaised);
    EXPECT_EQ(A->Color(), clYellow);
    EXPECT_EQ(A->Indent(), 3);
    EXPECT_EQ(A->Tag(), 7);
    EXPECT_EQ(A->Hint(), "today");
    EXPECT_EQ(A->TextOptions()->Alignment(), taRightJustify);
    EXPECT_EQ(A->TextOptions()->VAlignment(), vaVCenter);
    EXPECT_TRUE(A->TextOptions()->Shadow()->Enabled());
    EXPECT_TRUE(Bar->TimerActive(nvClockTimerId));
    TnvStatusPanel* B = Bar->Panels()->Items(1);
    EXPECT_EQ(B->Name(), "Panel0");
    EXPECT_EQ(B->Width(), "0");
    EXPECT_EQ(B->PixelWidth(), 0);
    EXPECT_EQ(B->Text(), "zero wide");
    EXPECT_FALSE(B->Enabled());
    TnvStatusPanel* C = Bar->Panels()->Items(2);
    EXPECT_EQ(C->Width(), "40%");
    EXPECT_EQ(C->Component(), Form.FindComponent("Edit1")) << Text;
    EXPECT_EQ(C->Style(), psControl);
    EXPECT_EQ(C->Margin(), 1);
    // Loading ends with a layout: 40 % of what the fixed panels leave.
    EXPECT_EQ(C->PixelWidth(), (500 - 120) * 40 / 100);
    // Written again, the same text.
    EXPECT_EQ(ComponentToText(&Form), Text);
}

TEST(nvStatusBar, SizeGripAndAssignedPanelsSurviveTheirCopies)
{
    String Text;
    {
        TBarFixture F(300, bsSizeable);
        EXPECT_TRUE(F.Bar->SizeGrip());
        F.Bar->SetSizeGrip(false);
        EXPECT_FALSE(F.Bar->SizeGrip());
        Text = ComponentToText(&F.Form);
    }
    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Bar = dynamic_cast<TnvStatusBar*>(Form.FindComponent("Bar"));
    ASSERT_NE(Bar, nullptr);
    EXPECT_FALSE(Bar->SizeGripFlag());
    // Assigning panels copies them with their styles, and their timers run.
    TBarFixture Source;
    TnvStatusPanel* Clock = Source.Add("70", psTime);
    Clock->SetName("Clock");
    Clock->SetTag(5);
    Source.Add("30%")->SetText("t");
    TBarFixture Target;
    Target.Bar->SetPanels(Source.Bar->Panels());
    ASSERT_EQ(Target.Bar->Panels()->Count(), 2);
    EXPECT_EQ(Target.Bar->Panels()->Items(0)->Style(), psTime);
    EXPECT_EQ(Target.Bar->Panels()->Items(0)->Name(), "Panel0");
    EXPECT_EQ(Target.Bar->Panels()->Items(0)->Tag(), 0);
    EXPECT_EQ(Target.Bar->Panels()->Items(1)->Text(), "t");
    EXPECT_EQ(Target.Bar->Panels()->Items(1)->PixelWidth(), 129);
    EXPECT_TRUE(Target.Bar->TimerActive(nvClockTimerId));
}

TEST(nvStatusBar, BadStoredPanelsFailWithTheirPlace)
{
    InitApplication();
    const String Text = "object F: TForm\n"
                        "  object Bar: TnvStatusBar\n"
                        "    Panels = <\n"
                        "      item\n"
                        "        Width = '12px'\n"
                        "      end>\n"
                        "  end\n"
                        "end\n";
    TForm Form;
    try {
        ReadComponentFromText(Text, &Form);
        ADD_FAILURE() << "read";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("Bar.Panels"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("Width must be a valid"), String::npos) << E.Message();
    }
    EXPECT_EQ(Form.FindComponent("Bar"), nullptr);
}

} // namespace
