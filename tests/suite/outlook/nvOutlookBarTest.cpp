// The outlook bar: pages with their panels and automatic lists, the page
// layout for every alignment, the slide's steps and its guards, the stored
// form, the background picture and a captured slide.
#include <gtest/gtest.h>

#include <QDir>

#include <memory>
#include <sstream>
#include <vector>

#include "ExtCtrls.h"
#include "FormStream.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvImager.h"
#include "nvOutlookBar.h"
#include "nvOutlookList.h"
#include "nvShapeBtn.h"

namespace {

String RectText(const TRect& R)
{
    std::ostringstream S;
    S << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom;
    return S.str();
}

QRgb Rgb(const QImage& I, int X, int Y)
{
    return I.pixel(X, Y) & 0xFFFFFFu;
}

// A form with a bar of N pages whose headers read "Page 1" ...; the bar has
// no border unless asked, so that client and control coordinates agree.
struct TBarFixture {
    TForm Form;
    TnvOutlookBar* Bar;
    std::vector<String> Log;

    TBarFixture(int N, int W = 100, int H = 300, std::function<void(TnvOutlookBar*)> Setup = nullptr)
    {
        InitApplication();
        Form.SetBounds(0, 0, 400, 400);
        Bar = new TnvOutlookBar(&Form);
        Bar->SetName("Bar");
        Bar->SetParent(&Form);
        Bar->SetBorderStyle(bsNone);
        Bar->SetBounds(0, 0, W, H);
        if (Setup)
            Setup(Bar);
        for (int I = 0; I < N; ++I)
            Bar->OutlookItems()->Add()->Button()->SetCaption("Page " + std::to_string(I + 1));
        Bar->OnChange = [this](TnvCustomButtonGroup*, TnvButtonGroupItem* Old, TnvButtonGroupItem* New) {
            Log.push_back("change:" + Caption(Old) + ">" + Caption(New));
        };
    }
    static String Caption(TnvButtonGroupItem* Item)
    {
        return Item && Item->Button() ? Item->Button()->Caption() : String("-");
    }
    TnvOutlookPage* Page(int I) const { return Bar->OutlookItems()->Page(I); }
    TnvCustomBitBtn* Header(int I) const { return Page(I)->Button(); }
    TnvOutlookPanel* Panel(int I) const { return Page(I)->Panel(); }
    // The panels shown, by page number from 1.
    String OpenPanels() const
    {
        String S;
        for (int I = 0; I < Bar->OutlookItems()->Count(); ++I)
            if (Panel(I)->Visible())
                S += std::to_string(I + 1);
        return S;
    }
};

TEST(nvOutlookBar, DefaultsDifferFromTheGroup)
{
    InitApplication();
    TnvOutlookBar Bar;
    EXPECT_EQ(Bar.ButtonSize(), 20);
    EXPECT_FALSE(Bar.AutoBold());
    EXPECT_EQ(Bar.BorderStyle(), bsSingle);
    EXPECT_FALSE(Bar.ShowDownAsUp());
    EXPECT_TRUE(Bar.ShowButtons());
    EXPECT_EQ(Bar.Options(), TnvCustomOutlookBarOptions(cboAutoCreateOutlookList));
    EXPECT_EQ(Bar.PanelAlignment(), paDynamic);
    EXPECT_TRUE(Bar.Animation()->Enabled());
    EXPECT_EQ(Bar.Animation()->Interval(), 1);
    EXPECT_EQ(Bar.Animation()->Steps(), 7);
    EXPECT_EQ(Bar.ItemsClass(), ClassOf<TnvOutlookPages>());
    EXPECT_EQ(Bar.ActivePage(), nullptr);
    // The bar keeps its size whatever its buttons are.
    Bar.SetBounds(0, 0, 90, 250);
    TSize S;
    TnvShapeBtn Btn;
    Btn.SetBounds(0, 0, 300, 40);
    Bar.SizeToButtons(&Btn, true, S);
    EXPECT_EQ(S.cx, 90);
    EXPECT_EQ(S.cy, 250);
}

TEST(nvOutlookBar, NewPagesGetPanelsAndLists)
{
    TBarFixture F(3);
    for (int I = 0; I < 3; ++I) {
        SCOPED_TRACE(I);
        TnvOutlookPanel* P = F.Panel(I);
        ASSERT_NE(P, nullptr);
        EXPECT_EQ(P->Name(), "OutlookPanel" + std::to_string(I + 1));
        EXPECT_EQ(P->Owner(), F.Bar);
        EXPECT_EQ(P->Parent(), F.Bar);
        EXPECT_EQ(P->Page(), F.Page(I));
        TnvCustomOutlookList* L = F.Page(I)->OutlookList();
        ASSERT_NE(L, nullptr);
        EXPECT_EQ(L->Parent(), P);
        EXPECT_EQ(L->Owner(), &F.Form);
        EXPECT_EQ(L->Align(), alClient);
        EXPECT_EQ(L->BorderStyle(), bsNone);
        EXPECT_EQ(L->Page(), F.Page(I));
        EXPECT_EQ(L->Name(), "BarOutlookList" + std::to_string(I + 1));
    }
    // The first page opened on its own; the others are closed out of sight.
    EXPECT_EQ(F.Bar->ActivePage(), F.Header(0));
    EXPECT_EQ(F.OpenPanels(), "1");
    EXPECT_LT(F.Panel(2)->Top() + F.Panel(2)->Height(), 1);

    // Without the option a page has a bare panel.
    TBarFixture G(1, 100, 300, [](TnvOutlookBar* B) { B->SetOptions(TnvCustomOutlookBarOptions()); });
    EXPECT_EQ(G.Page(0)->OutlookList(), nullptr);
    EXPECT_NE(G.Panel(0), nullptr);
    G.Page(0)->CreateOutlookList();
    ASSERT_NE(G.Page(0)->OutlookList(), nullptr);
    TnvCustomOutlookList* Made = G.Page(0)->OutlookList();
    G.Page(0)->CreateOutlookList(); // one is enough
    EXPECT_EQ(G.Page(0)->OutlookList(), Made);
}

TEST(nvOutlookBar, RemovingAndMovingPages)
{
    TBarFixture F(3);
    QPointer<TnvOutlookPanel> Second = F.Panel(1);
    QPointer<TnvCustomOutlookList> SecondList = F.Page(1)->OutlookList();
    QPointer<TnvCustomBitBtn> SecondHeader = F.Header(1);
    delete F.Page(1);
    EXPECT_TRUE(Second.isNull());
    EXPECT_TRUE(SecondList.isNull());
    EXPECT_TRUE(SecondHeader.isNull());
    EXPECT_EQ(F.Bar->OutlookItems()->Count(), 2);
    // A header freed from outside takes its page and panel with it.
    QPointer<TnvOutlookPanel> Third = F.Panel(1);
    delete F.Header(1);
    EXPECT_EQ(F.Bar->OutlookItems()->Count(), 1);
    EXPECT_TRUE(Third.isNull());

    // Moving a page moves its panel to the same place among the children.
    TBarFixture G(3);
    TnvOutlookPanel* Last = G.Panel(2);
    G.Page(2)->SetIndex(0);
    EXPECT_EQ(G.Bar->Controls(0), Last);
    EXPECT_EQ(G.Page(0)->Panel(), Last);
}

TEST(nvOutlookBar, RenamingTheBarRenamesItsPanels)
{
    InitApplication();
    TForm Form;
    auto* Bar = new TnvOutlookBar(&Form);
    Bar->SetParent(&Form);
    Bar->SetName("Side");
    Bar->OutlookItems()->Add(); // panels made while the bar is named
    Bar->OutlookItems()->Add();
    EXPECT_EQ(Bar->OutlookItems()->Page(0)->Panel()->Name(), "OutlookPanel1");
    Bar->OutlookItems()->Page(1)->Panel()->SetName("SidePanelTwo");
    String ListName = Bar->OutlookItems()->Page(0)->OutlookList()->Name();
    Bar->SetName("Left");
    EXPECT_EQ(Bar->OutlookItems()->Page(0)->Panel()->Name(), "OutlookPanel1");
    EXPECT_EQ(Bar->OutlookItems()->Page(1)->Panel()->Name(), "LeftPanelTwo");
    EXPECT_EQ(Bar->OutlookItems()->Page(0)->OutlookList()->Name(), ListName); // lists keep their names
}

// ---------------------------------------------------------------- layout

struct TLayoutCase {
    const char* Name;
    TnvLayout Layout;
    TnvPanelAlignment Align;
    TBorderStyle Border;
    int Pages, Open, W, H, B;
    std::vector<const char*> Headers; // left,top,right,bottom in the bar
    const char* Panel;
};

TEST(nvOutlookBar, PageLayout)
{
    const TLayoutCase Cases[] = {
        // A client height of 337 with headers of 22: the panel area is 293.
        {"two pages, first open", loVertical, paDynamic, bsNone, 2, 0, 100, 337, 22,
         {"0,0,100,22", "0,315,100,337"}, "0,22,100,315"},
        {"two pages, second open", loVertical, paDynamic, bsNone, 2, 1, 100, 337, 22,
         {"0,0,100,22", "0,22,100,44"}, "0,44,100,337"},
        {"one page", loVertical, paDynamic, bsNone, 1, 0, 100, 300, 20, {"0,0,100,20"}, "0,20,100,300"},
        {"panel on top", loVertical, paTop, bsNone, 3, 1, 100, 300, 20,
         {"0,240,100,260", "0,260,100,280", "0,280,100,300"}, "0,0,100,240"},
        {"panel at the bottom", loVertical, paBottom, bsNone, 3, 0, 100, 300, 20,
         {"0,0,100,20", "0,20,100,40", "0,40,100,60"}, "0,60,100,300"},
        {"horizontal", loHorizontal, paDynamic, bsNone, 3, 1, 300, 80, 20,
         {"0,0,20,80", "20,0,40,80", "280,0,300,80"}, "40,0,280,80"},
        {"horizontal, panel first", loHorizontal, paTop, bsNone, 2, 0, 200, 50, 20,
         {"160,0,180,50", "180,0,200,50"}, "0,0,160,50"},
        {"horizontal, panel last", loHorizontal, paBottom, bsNone, 2, 1, 200, 50, 20,
         {"0,0,20,50", "20,0,40,50"}, "40,0,200,50"},
        // The sunken edge takes two pixels on every side.
        {"single border", loVertical, paDynamic, bsSingle, 2, 0, 104, 304, 20,
         {"2,2,102,22", "2,282,102,302"}, "2,22,102,282"},
    };
    for (const TLayoutCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TBarFixture F(C.Pages, C.W, C.H, [&](TnvOutlookBar* B) {
            B->SetLayout(C.Layout);
            B->SetPanelAlignment(C.Align);
            B->SetBorderStyle(C.Border);
            B->SetButtonSize(C.B);
        });
        F.Bar->SetActivePage(F.Header(C.Open));
        for (int I = 0; I < C.Pages; ++I)
            EXPECT_EQ(RectText(F.Header(I)->BoundsRect()), C.Headers[size_t(I)]) << "header " << I + 1;
        EXPECT_EQ(RectText(F.Panel(C.Open)->BoundsRect()), C.Panel);
        EXPECT_EQ(F.OpenPanels(), std::to_string(C.Open + 1));
        // The list fills the open panel.
        EXPECT_EQ(F.Page(C.Open)->OutlookList()->Width(), F.Panel(C.Open)->Width());
    }
}

TEST(nvOutlookBar, LayoutFollowsSizeSettingsAndHiddenHeaders)
{
    TBarFixture F(3);
    F.Bar->SetButtonSize(30);
    EXPECT_EQ(RectText(F.Header(2)->BoundsRect()), "0,270,100,300");
    EXPECT_EQ(RectText(F.Panel(0)->BoundsRect()), "0,30,100,240");
    F.Bar->SetBounds(0, 0, 120, 200);
    EXPECT_EQ(RectText(F.Header(2)->BoundsRect()), "0,170,120,200");
    F.Bar->SetPanelAlignment(paBottom);
    EXPECT_EQ(RectText(F.Panel(0)->BoundsRect()), "0,90,120,200");
    // An invisible header leaves its place to the panel.
    F.Bar->SetPanelAlignment(paDynamic);
    F.Header(1)->SetVisible(false);
    F.Bar->ArrangeButtons();
    EXPECT_EQ(RectText(F.Panel(0)->BoundsRect()), "0,30,120,170");
    EXPECT_EQ(RectText(F.Header(2)->BoundsRect()), "0,170,120,200");
}

TEST(nvOutlookBar, WithoutHeadersTheOpenPanelTakesEverything)
{
    TBarFixture F(3, 100, 300, [](TnvOutlookBar* B) { B->SetShowButtons(false); });
    for (int I = 0; I < 3; ++I)
        EXPECT_FALSE(F.Header(I)->Visible()) << I;
    EXPECT_EQ(RectText(F.Panel(0)->BoundsRect()), "0,0,100,300");
    int Moves = 0;
    F.Panel(2)->OnResize = [&](TObject*) { ++Moves; };
    F.Bar->SetActivePage(F.Header(2));
    EXPECT_EQ(Moves, 1); // at once, without a slide
    EXPECT_EQ(RectText(F.Panel(2)->BoundsRect()), "0,0,100,300");
    EXPECT_EQ(F.OpenPanels(), "3");
    EXPECT_EQ(F.Log, (std::vector<String>{"change:Page 1>Page 3"}));

    // Showing the headers again brings them back in front of the panels.
    F.Bar->SetShowButtons(true);
    EXPECT_TRUE(F.Header(0)->Visible());
    EXPECT_EQ(RectText(F.Panel(2)->BoundsRect()), "0,60,100,300");
    EXPECT_EQ(F.Bar->Controls(F.Bar->ControlCount() - 1), F.Header(2));
    F.Bar->SetShowButtons(false);
    EXPECT_FALSE(F.Header(0)->Visible());
    EXPECT_EQ(RectText(F.Panel(2)->BoundsRect()), "0,0,100,300");
}

TEST(nvOutlookBar, ActivePageOfTheOpenPageChangesNothing)
{
    TBarFixture F(2);
    const String Before = RectText(F.Panel(0)->BoundsRect());
    F.Bar->SetActivePage(F.Header(0));
    EXPECT_EQ(RectText(F.Panel(0)->BoundsRect()), Before);
    EXPECT_TRUE(F.Log.empty());
    F.Bar->SetActivePage(nullptr); // no page of the bar: nothing
    EXPECT_EQ(F.Bar->ActivePage(), F.Header(0));
    TnvShapeBtn Stranger;
    F.Bar->SetActivePage(&Stranger);
    EXPECT_EQ(F.Bar->ActivePage(), F.Header(0));
}

// ---------------------------------------------------------------- the slide

// What one step of a slide left: header 2's top, panel 1's bottom, panel 2's top.
struct TStep {
    int Header2Top, Panel1Bottom, Panel2Top;
    bool operator==(const TStep&) const = default;
};

// Records a step whenever panel 2 is moved while the headers are busy (the
// slide moves panel 2 last in each step). Opening a page through ActivePage
// lays the bar out once more after the change, in one step outside the
// selection change; unless All, only the steps of the change are recorded.
struct TSlideRecorder {
    std::vector<TStep> Steps;
    std::vector<bool> InChange;
    explicit TSlideRecorder(TBarFixture& F, bool All = false)
    {
        F.Panel(1)->OnResize = [this, &F, All](TObject*) {
            if (!F.Header(0)->Busy() || (!All && !F.Bar->InSelectionChange()))
                return;
            EXPECT_TRUE(F.Header(1)->Busy());
            EXPECT_TRUE(F.Panel(1)->Positioning());
            Steps.push_back({F.Header(1)->Top(), F.Panel(0)->Top() + F.Panel(0)->Height(), F.Panel(1)->Top()});
            InChange.push_back(F.Bar->InSelectionChange());
        };
    }
};

TEST(nvOutlookBar, SlideStepsAreInterpolated)
{
    // 293 pixels in 7 steps, each edge at start + (end - start) * k / 7
    // truncated toward zero: header 2 climbs as panel 1 shrinks in front of
    // it, and panel 2 grows behind it.
    TBarFixture F(2, 100, 337, [](TnvOutlookBar* B) {
        B->SetButtonSize(22);
        B->SetOptions(TnvCustomOutlookBarOptions());
    });
    TSlideRecorder R(F);
    F.Log.clear();
    F.Bar->OnChange = [&](TnvCustomButtonGroup*, TnvButtonGroupItem* Old, TnvButtonGroupItem* New) {
        // The change is reported after the slide: everything is in place.
        F.Log.push_back("change:" + TBarFixture::Caption(Old) + ">" + TBarFixture::Caption(New) + " " +
                        RectText(F.Panel(1)->BoundsRect()) + " open " + F.OpenPanels() +
                        (F.Header(1)->Busy() ? " busy" : ""));
    };
    F.Bar->SetActivePage(F.Header(1));
    const std::vector<TStep> Expected = {{274, 274, 296}, {232, 232, 254}, {190, 190, 212}, {148, 148, 170},
                                         {106, 106, 128}, {64, 64, 86},    {22, 22, 44}};
    EXPECT_EQ(R.Steps, Expected);
    EXPECT_EQ(R.InChange, std::vector<bool>(7, true));
    EXPECT_EQ(F.Log, (std::vector<String>{"change:Page 1>Page 2 0,44,100,337 open 2"}));
    // The closed panel went out of sight; the headers take input again.
    EXPECT_FALSE(F.Panel(0)->Visible());
    EXPECT_LE(F.Panel(0)->Top() + F.Panel(0)->Height(), 0);
    EXPECT_FALSE(F.Header(0)->Busy());
    // Back again: the same steps in the other direction.
    R.Steps.clear();
    F.Bar->SetActivePage(F.Header(0));
    ASSERT_EQ(R.Steps.size(), 7u);
    EXPECT_EQ(R.Steps.back(), (TStep{315, 315, 337}));
}

struct TStepCountCase {
    const char* Name;
    bool Enabled;
    int Steps;
    bool AlignedChild;
    size_t Expected;
};

TEST(nvOutlookBar, WhenTheSlideTakesOneStep)
{
    const TStepCountCase Cases[] = {
        {"animated", true, 7, false, 7},
        {"three steps", true, 3, false, 3},
        {"animation off", false, 7, false, 1},
        {"aligned control on a page without a list", true, 7, true, 1},
        {"no steps at all", true, 0, false, 1},
    };
    for (const TStepCountCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TBarFixture F(2, 100, 300, [&](TnvOutlookBar* B) {
            B->SetOptions(TnvCustomOutlookBarOptions());
            B->Animation()->SetEnabled(C.Enabled);
            B->Animation()->SetSteps(C.Steps);
        });
        if (C.AlignedChild) {
            auto* Inner = new TPanel(&F.Form);
            Inner->SetParent(F.Panel(0));
            Inner->SetAlign(alTop);
        }
        TSlideRecorder R(F);
        F.Bar->SetActivePage(F.Header(1));
        EXPECT_EQ(R.Steps.size(), C.Expected);
        EXPECT_EQ(RectText(F.Panel(1)->BoundsRect()), "0,40,100,300");
        EXPECT_EQ(F.OpenPanels(), "2");
    }
    // Outside a selection change (a resize, a new button size) nothing slides.
    TBarFixture F(2, 100, 300, [](TnvOutlookBar* B) { B->SetOptions(TnvCustomOutlookBarOptions()); });
    F.Bar->SetActivePage(F.Header(1));
    TSlideRecorder R(F, true);
    F.Bar->SetBounds(0, 0, 100, 200);
    F.Bar->SetButtonSize(25);
    EXPECT_EQ(R.Steps.size(), 2u);
    EXPECT_EQ(R.InChange, (std::vector<bool>{false, false}));
}

TEST(nvOutlookBar, InputDuringTheSlideIsIgnoredOrUndone)
{
    TBarFixture F(3, 100, 300, [](TnvOutlookBar* B) { B->SetOptions(TnvCustomOutlookBarOptions()); });
    F.Log.clear();
    int Step = 0;
    F.Panel(1)->OnResize = [&](TObject*) {
        if (!F.Header(0)->Busy() || ++Step != 3)
            return;
        // A mouse click on header 3 is ignored by the busy header ...
        const intptr_t P = PointToLParam(10, 10);
        F.Header(2)->Perform(WM_LBUTTONDOWN, 0, P);
        F.Header(2)->Perform(WM_LBUTTONUP, 0, P);
        EXPECT_FALSE(F.Header(2)->Down());
        // ... and a selection made in code (as the arrow keys make it) is undone.
        F.Header(0)->SetDown(true);
        EXPECT_TRUE(F.Header(1)->Down());
        EXPECT_FALSE(F.Header(0)->Down());
    };
    F.Bar->SetActivePage(F.Header(1));
    EXPECT_GE(Step, 3);
    EXPECT_EQ(F.Bar->ActivePage(), F.Header(1));
    EXPECT_EQ(F.OpenPanels(), "2");
    EXPECT_EQ(RectText(F.Panel(1)->BoundsRect()), "0,40,100,280");
    EXPECT_EQ(F.Log, (std::vector<String>{"change:Page 1>Page 2"}));
    // After the slide a click opens the page again.
    const intptr_t P = PointToLParam(10, 10);
    F.Header(2)->Perform(WM_LBUTTONDOWN, 0, P);
    F.Header(2)->Perform(WM_LBUTTONUP, 0, P);
    EXPECT_EQ(F.Bar->ActivePage(), F.Header(2));
    EXPECT_EQ(F.Log.back(), "change:Page 2>Page 3");
}

// ---------------------------------------------------------------- stored form

TEST(nvOutlookBar, StoredFormRoundTrip)
{
    InitApplication();
    String Text;
    {
        TForm Form;
        Form.SetName("BarForm");
        for (const char* Name : {"Left", "Right"}) {
            auto* Bar = new TnvOutlookBar(&Form);
            Bar->SetName(Name);
            Bar->SetParent(&Form);
            Bar->SetBounds(0, 0, 120, 300);
            Bar->SetButtonSize(24);
            Bar->Animation()->SetSteps(4);
            for (int I = 0; I < 3; ++I) {
                TnvButtonGroupItem* Item = Bar->OutlookItems()->Add();
                Item->Button()->SetName(String(Name) + "Head" + std::to_string(I + 1));
                Item->Button()->SetCaption("Head " + std::to_string(I + 1));
            }
            Bar->OutlookItems()->Page(0)->OutlookList()->Items()->Add()->SetText("Inbox");
            // Page 2 holds a label instead of a list.
            TnvOutlookPage* Second = Bar->OutlookItems()->Page(1);
            delete Second->OutlookList();
            auto* Label = new TLabel(&Form);
            Label->SetName(String(Name) + "Label");
            Label->SetCaption("Notes");
            Label->SetParent(Second->Panel());
            Bar->SetActivePage(Bar->OutlookItems()->Page(2)->Button());
        }
        Text = ComponentToText(&Form);
    }
    EXPECT_EQ(Text.find("OutlookItems"), String::npos);
    EXPECT_NE(Text.find("Animation.Enabled = True"), String::npos);
    EXPECT_NE(Text.find("Animation.Interval = 1"), String::npos);
    EXPECT_NE(Text.find("object OutlookPanel1: TnvOutlookPanel"), String::npos);
    // The headers come before the panels.
    EXPECT_LT(Text.find("object LeftHead3"), Text.find("object OutlookPanel1"));

    TForm Form;
    ReadComponentFromText(Text, &Form);
    for (const char* Name : {"Left", "Right"}) {
        SCOPED_TRACE(Name);
        auto* Bar = dynamic_cast<TnvOutlookBar*>(Form.FindComponent(Name));
        ASSERT_NE(Bar, nullptr);
        TnvOutlookPages* Pages = Bar->OutlookItems();
        ASSERT_EQ(Pages->Count(), 3);
        EXPECT_EQ(Bar->ButtonSize(), 24);
        EXPECT_EQ(Bar->Animation()->Steps(), 4);
        EXPECT_EQ(Bar->ActivePage(), Pages->Page(2)->Button());
        for (int I = 0; I < 3; ++I) {
            SCOPED_TRACE(I);
            EXPECT_EQ(Pages->Page(I)->Button()->Caption(), "Head " + std::to_string(I + 1));
            ASSERT_NE(Pages->Page(I)->Panel(), nullptr);
            EXPECT_EQ(Pages->Page(I)->Panel()->Owner(), Bar);
            EXPECT_EQ(Pages->Page(I)->Panel()->Page(), Pages->Page(I));
            EXPECT_EQ(Pages->Page(I)->Panel()->Visible(), I == 2);
        }
        ASSERT_NE(Pages->Page(0)->OutlookList(), nullptr);
        EXPECT_EQ(Pages->Page(0)->OutlookList()->Items()->Items(0)->Text(), "Inbox");
        EXPECT_EQ(Pages->Page(0)->OutlookList()->Page(), Pages->Page(0));
        EXPECT_EQ(Pages->Page(1)->OutlookList(), nullptr);
        EXPECT_EQ(Form.FindComponent(String(Name) + "Label")->AsObject()->parent(), Pages->Page(1)->Panel());
        EXPECT_EQ(RectText(Pages->Page(2)->Panel()->BoundsRect()), "2,74,118,298");
        // Loaded bars slide like new ones.
        Bar->SetActivePage(Pages->Page(0)->Button());
        EXPECT_EQ(RectText(Pages->Page(0)->Panel()->BoundsRect()), "2,26,118,250");
    }
    // Written again: the headers, then the panels with what they hold.
    const String Again = ComponentToText(&Form);
    EXPECT_NE(Again.find("ActivePage = LeftHead1"), String::npos);
    EXPECT_LT(Again.find("object LeftHead3"), Again.find("object OutlookPanel1"));
    EXPECT_LT(Again.find("object OutlookPanel2"), Again.find("object LeftLabel"));
    EXPECT_EQ(Again.find("OutlookItems"), String::npos);
}

// ---------------------------------------------------------------- picture

// A 16 x 16 picture of four 8 x 8 squares: red, green / blue, yellow.
std::unique_ptr<TBitmap> Quarters()
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(16, 16);
    const TColor C[4] = {clRed, clLime, clBlue, clYellow};
    for (int Q = 0; Q < 4; ++Q) {
        B->Canvas()->Brush()->SetColor(C[Q]);
        B->Canvas()->FillRect(TRect((Q % 2) * 8, (Q / 2) * 8, (Q % 2) * 8 + 8, (Q / 2) * 8 + 8));
    }
    return B;
}

QRgb QuarterAt(int X, int Y)
{
    const QRgb C[4] = {0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFF00u};
    return C[((Y % 16) / 8) * 2 + (X % 16) / 8];
}

TEST(nvOutlookBar, ImagerPictureLiesBehindHeadersAndPanels)
{
    TBarFixture F(2, 100, 300, [](TnvOutlookBar* B) {
        B->SetBorderStyle(bsSingle);
        B->SetOptions(TnvCustomOutlookBarOptions());
    });
    auto* Imager = new TnvImager(&F.Form);
    Imager->SetName("Background");
    Imager->SetParent(&F.Form);
    Imager->SetDrawStyle(dsStretch);
    Imager->SetVisible(true);
    Imager->SetBounds(200, 200, 60, 60);
    auto Pic = Quarters();
    Imager->Picture()->Assign(Pic.get());
    F.Bar->SetImager(Imager);
    // The imager serves as the source only: hidden on the bar, tiling.
    EXPECT_EQ(Imager->Parent(), F.Bar);
    EXPECT_FALSE(Imager->Visible());
    EXPECT_EQ(Imager->DrawStyle(), dsTile);
    EXPECT_EQ(RectText(Imager->BoundsRect()), "0,0,25,25");
    // Round headers let the picture show at their corners.
    for (int I = 0; I < 2; ++I) {
        auto* S = static_cast<TnvShapeBtn*>(F.Header(I));
        S->SetShape(bsRoundRect);
        S->SetColor(clWhite);
    }
    EXPECT_TRUE(F.Bar->IsShapedButton(F.Header(0)));

    F.Form.Show();
    const QImage Shot = F.Form.grab().toImage();
    // Inside the open panel (client 2..98 x 22..278 of the bar) the tiles
    // continue from the client corner at (2, 2).
    for (TPoint P : {TPoint(10, 30), TPoint(50, 100), TPoint(97, 277), TPoint(33, 150)})
        EXPECT_EQ(Rgb(Shot, P.X, P.Y), QuarterAt(P.X - 2, P.Y - 2)) << P.X << "," << P.Y;
    // Past a round header's corner, and across its middle the header itself.
    EXPECT_EQ(Rgb(Shot, 2, 2), QuarterAt(0, 0));
    EXPECT_EQ(Rgb(Shot, 50, 12), 0xFFFFFFu);
    // The sunken edge stays around.
    EXPECT_EQ(Rgb(Shot, 0, 150), ColorToQRgb(clBtnShadow) & 0xFFFFFFu);
    if (const QByteArray Dir = qgetenv("ZEN_OUTLOOK_DUMP"); !Dir.isEmpty())
        Shot.save(QDir(QString::fromLocal8Bit(Dir)).filePath("bar-picture.png"));

    // An outlook list on a page shows the same tiles behind its items.
    TnvOutlookList* List = nullptr;
    F.Page(0)->CreateOutlookList();
    List = static_cast<TnvOutlookList*>(F.Page(0)->OutlookList());
    List->SetTransparent(true);
    List->Items()->Add()->SetText("Item");
    const QImage WithList = F.Form.grab().toImage();
    if (const QByteArray Dir = qgetenv("ZEN_OUTLOOK_DUMP"); !Dir.isEmpty())
        WithList.save(QDir(QString::fromLocal8Bit(Dir)).filePath("bar-picture-list.png"));
    for (TPoint P : {TPoint(10, 270), TPoint(90, 250)})
        EXPECT_EQ(Rgb(WithList, P.X, P.Y), QuarterAt(P.X - 2, P.Y - 2)) << P.X << "," << P.Y;

    // Taken off the bar, or freed, the imager is dropped and the bar paints its colour.
    Imager->SetParent(&F.Form);
    EXPECT_EQ(F.Bar->Imager(), nullptr);
    F.Bar->SetImager(Imager);
    EXPECT_EQ(F.Bar->Imager(), Imager);
    delete Imager;
    EXPECT_EQ(F.Bar->Imager(), nullptr);
    const QImage Plain = F.Form.grab().toImage();
    EXPECT_EQ(Rgb(Plain, 2, 2), ColorToQRgb(F.Bar->Color()) & 0xFFFFFFu);
}

TEST(nvOutlookBar, StoredImagerKeepsItsSettings)
{
    // Assigning an imager in code makes it a hidden tiling source; a form
    // that stores other settings for it keeps them.
    InitApplication();
    String Text;
    {
        TBarFixture F(1);
        auto* Imager = new TnvImager(&F.Form);
        Imager->SetName("Back");
        auto Pic = Quarters();
        Imager->Picture()->Assign(Pic.get());
        F.Bar->SetImager(Imager);
        Imager->SetDrawStyle(dsStretch);
        Text = ComponentToText(&F.Form);
    }
    TForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Bar = dynamic_cast<TnvOutlookBar*>(Form.FindComponent("Bar"));
    ASSERT_NE(Bar, nullptr);
    ASSERT_NE(Bar->Imager(), nullptr);
    EXPECT_EQ(Bar->Imager()->Name(), "Back");
    EXPECT_EQ(Bar->Imager()->Parent(), Bar);
    EXPECT_EQ(Bar->Imager()->DrawStyle(), dsStretch);
    EXPECT_FALSE(Bar->Imager()->Visible());
}

TEST(nvOutlookBar, ItemsUnderTheMouseTakeTheHeadersHotState)
{
    TBarFixture F(2);
    F.Form.Show();
    TnvCustomBitBtn* Head = F.Header(1);
    Head->Perform(CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(static_cast<TControl*>(Head)));
    ASSERT_TRUE(Head->Hot());
    TnvCustomOutlookList* List = F.Page(0)->OutlookList();
    List->Items()->Add()->SetText("One");
    List->UpdateItemRects();
    const TRect R = List->Items()->Items(0)->ItemRect();
    ASSERT_FALSE(R.IsEmpty()) << RectText(R);
    List->Perform(WM_MOUSEMOVE, 0, PointToLParam(R.Left + R.Width() / 2, R.Top + R.Height() / 2));
    EXPECT_TRUE(List->Items()->Items(0)->Hot());
    EXPECT_FALSE(Head->Hot());
}

// ---------------------------------------------------------------- captured slide

TEST(nvOutlookBar, CapturedSlideMovesTheHeaderStepByStep)
{
    // Headers in strong colours; the frames captured between the steps show
    // header 2 (blue) climbing and the panel area opening below it.
    TBarFixture F(2, 120, 300, [](TnvOutlookBar* B) {
        B->SetOptions(TnvCustomOutlookBarOptions());
        B->SetButtonSize(24);
        B->SetShowDownAsUp(true); // the open page's header in its colour, not dithered
    });
    const TColor Colors[2] = {clRed, clBlue};
    for (int I = 0; I < 2; ++I) {
        auto* S = static_cast<TnvShapeBtn*>(F.Header(I));
        S->SetColor(Colors[I]);
        F.Panel(I)->SetColor(I == 0 ? clWhite : clYellow);
    }
    F.Form.Show();
    std::vector<QImage> Frames;
    F.Panel(1)->OnResize = [&](TObject*) {
        if (F.Header(0)->Busy() && F.Bar->InSelectionChange())
            Frames.push_back(F.Form.grab(QRect(0, 0, 120, 300)).toImage());
    };
    F.Bar->SetActivePage(F.Header(1));
    ASSERT_EQ(Frames.size(), 7u);
    // The first blue row of the middle column, frame by frame.
    auto BlueTop = [](const QImage& I) {
        for (int Y = 0; Y < I.height(); ++Y)
            if (Rgb(I, 60, Y) == 0x0000FFu)
                return Y;
        return -1;
    };
    int Last = 300;
    for (size_t K = 0; K < Frames.size(); ++K) {
        const int Y = BlueTop(Frames[K]);
        EXPECT_LT(Y, Last) << "frame " << K;
        EXPECT_GT(Y, 23) << "frame " << K;
        Last = Y;
        if (const QByteArray Dir = qgetenv("ZEN_OUTLOOK_DUMP"); !Dir.isEmpty())
            Frames[K].save(QDir(QString::fromLocal8Bit(Dir)).filePath(QString("slide-%1.png").arg(K + 1)));
    }
    EXPECT_LE(Last, 30);
    // In the middle of the slide both panels show: the white one closing
    // above the header, the yellow one opening below it.
    const QImage& Mid = Frames[3];
    const int Y = BlueTop(Mid);
    EXPECT_EQ(Rgb(Mid, 60, Y - 5), 0xFFFFFFu);
    EXPECT_EQ(Rgb(Mid, 60, Y + 24 + 5), 0xFFFF00u);
}

} // namespace
