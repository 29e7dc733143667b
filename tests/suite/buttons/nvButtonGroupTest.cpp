// The button group: the grid layout, the click styles with their events, the
// keyboard, bold selection, items and buttons, and storing in form files.
#include <gtest/gtest.h>

#include <QDir>

#include <cstring>

#include "Dialogs.h"
#include "FormStream.h"
#include "nvButtonGroup.h"
#include "nvButtonGroupTestSupport.h"
#include "nvButtonTestSupport.h"
#include "nvShapeBtn.h"

namespace {

struct TGroupFixture {
    TGroupTestForm Form;
    TTestButtonGroup* Group;
    explicit TGroupFixture(int N, int W = 100, int H = 100)
    {
        InitApplication();
        Form.SetBounds(0, 0, 400, 400);
        Group = new TTestButtonGroup(&Form);
        Group->SetName("Group");
        Group->SetParent(&Form);
        Group->SetBounds(0, 0, W, H);
        for (int I = 0; I < N; ++I)
            Group->ButtonItems()->Add()->Button()->SetCaption(std::to_string(I + 1));
        Group->OnChange = [this](TnvCustomButtonGroup* G, TnvButtonGroupItem* O, TnvButtonGroupItem* S) {
            Form.nvButtonGroup1Change(G, O, S);
        };
        Group->OnChanging = [this](TnvCustomButtonGroup* G, TnvButtonGroupItem* O, TnvButtonGroupItem* S) {
            Form.nvButtonGroup1Changing(G, O, S);
        };
        Activate(&Form);
    }
    TnvCustomBitBtn* Btn(int I) const { return Group->ButtonItems()->Item(I)->Button(); }
    void Click(int I) { ClickAt(Btn(I), QPoint(Btn(I)->Width() / 2, Btn(I)->Height() / 2)); }
    std::vector<bool> DownStates() const
    {
        std::vector<bool> R;
        for (int I = 0; I < Group->ButtonItems()->Count(); ++I)
            R.push_back(Btn(I)->Down());
        return R;
    }
};

String RectText(const TControl* C)
{
    return std::to_string(C->Left()) + "," + std::to_string(C->Top()) + "," + std::to_string(C->Width()) + "x" +
           std::to_string(C->Height());
}

} // namespace

// ---------------------------------------------------------------- layout

TEST(nvButtonGroupArrange, GridCases)
{
    struct TCase {
        const char* Name;
        int N, Columns, Spacing, W, H, Border, MaxSize;
        TnvLayout Layout;
        std::vector<int> Hidden;    // item indexes
        std::vector<String> Bounds; // of the visible buttons, in item order
    };
    const std::vector<TCase> Cases = {
        {"main window: 11 in 238 pixels", 11, 1, 0, 117, 238, 0, 0, loVertical, {},
         {"0,0,117x22", "0,22,117x22", "0,44,117x22", "0,66,117x22", "0,88,117x22", "0,110,117x22",
          "0,132,117x22", "0,154,117x21", "0,175,117x21", "0,196,117x21", "0,217,117x21"}},
        {"hidden third button closes its gap", 11, 1, 0, 117, 238, 0, 0, loVertical, {2},
         {"0,0,117x22", "0,22,117x22", "0,44,117x22", "0,66,117x22", "0,88,117x22", "0,110,117x22",
          "0,132,117x22", "0,154,117x21", "0,175,117x21", "0,196,117x21"}},
        {"five in two columns: three, then two", 5, 2, 1, 100, 60, 0, 0, loVertical, {},
         {"0,0,50x20", "0,21,50x19", "0,41,50x19", "51,0,49x20", "51,21,49x19"}},
        {"MaxControlSize leaves the space below empty", 3, 1, 1, 50, 200, 0, 20, loVertical, {},
         {"0,0,50x20", "0,21,50x20", "0,42,50x20"}},
        {"one row of four", 4, 1, 1, 103, 30, 0, 0, loHorizontal, {},
         {"0,0,25x30", "26,0,25x30", "52,0,25x30", "78,0,25x30"}},
        {"two rows filled column by column", 5, 2, 1, 100, 41, 0, 0, loHorizontal, {},
         {"0,0,33x20", "0,21,33x20", "34,0,33x20", "34,21,33x20", "68,0,32x20"}},
        {"border width keeps the buttons inside", 2, 1, 1, 50, 50, 2, 0, loVertical, {},
         {"2,2,46x23", "2,26,46x22"}},
        {"MaxControlSize across in a row", 3, 1, 2, 200, 30, 0, 40, loHorizontal, {},
         {"0,0,40x30", "42,0,40x30", "84,0,40x30"}},
        {"a group too small for its buttons", 4, 1, 1, 10, 2, 0, 0, loVertical, {},
         {"0,0,10x0", "0,1,10x0", "0,2,10x0", "0,3,10x0"}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TGroupFixture F(C.N, C.W, C.H);
        TnvButtonGroup* G = F.Group;
        G->SetColumns(C.Columns);
        G->SetControlSpacing(C.Spacing);
        G->SetBorderWidth(C.Border);
        G->SetMaxControlSize(C.MaxSize);
        G->SetLayout(C.Layout);
        for (int I : C.Hidden)
            F.Btn(I)->SetVisible(false);
        G->ArrangeButtons();
        std::vector<String> Got;
        for (int I = 0; I < C.N; ++I)
            if (F.Btn(I)->Visible())
                Got.push_back(RectText(F.Btn(I)));
        EXPECT_EQ(Got, C.Bounds);
        if (const QByteArray Dir = qgetenv("ZEN_BUTTON_SHOTS"); !Dir.isEmpty() && C.W > 20) {
            QImage Shot(C.W, C.H, QImage::Format_ARGB32_Premultiplied);
            Shot.fill(Qt::black);
            G->render(&Shot);
            Shot.save(QDir(QString::fromLocal8Bit(Dir)).filePath(QString("buttongroup-grid-%1.png").arg(&C - Cases.data())));
        }
    }
}

TEST(nvButtonGroupArrange, PropertyChangesAndResizeRearrange)
{
    TGroupFixture F(4, 100, 100);
    TnvButtonGroup* G = F.Group;
    EXPECT_EQ(RectText(F.Btn(3)), "0,76,100x24"); // spacing 1 by default: the spare pixel goes to the first
    G->SetControlSpacing(0);
    EXPECT_EQ(RectText(F.Btn(3)), "0,75,100x25");
    G->SetColumns(2);
    EXPECT_EQ(RectText(F.Btn(3)), "50,50,50x50");
    G->SetColumns(-3); // ignored
    G->SetColumns(0);  // ignored: a grid needs a column
    EXPECT_EQ(G->Columns(), 2);
    G->SetBounds(0, 0, 60, 80);
    EXPECT_EQ(RectText(F.Btn(3)), "30,40,30x40");
    G->SetLayout(loHorizontal);
    EXPECT_EQ(RectText(F.Btn(1)), "0,40,30x40");
    EXPECT_EQ(RectText(F.Btn(2)), "30,0,30x40");
    F.Btn(0)->SetVisible(false);
    G->ArrangeButtons();
    EXPECT_EQ(RectText(F.Btn(1)), "0,0,30x40");
}

TEST(nvButtonGroupArrange, SizeToButtons)
{
    TGroupFixture F(5, 100, 100);
    TnvButtonGroup* G = F.Group;
    G->SetColumns(2);
    G->SetControlSpacing(3);
    TnvCustomBitBtn* B = F.Btn(0);
    TSize S;
    G->SizeToButtons(B, false, S);
    EXPECT_EQ(G->Width(), 100); // computing only
    // Resizing one of its buttons makes the group fit its buttons at that
    // size, and every button takes it.
    B->SetBounds(0, 0, 40, 20);
    G->SizeToButtons(B, false, S);
    EXPECT_EQ(S.cx, 83); // (40 + 3) x 2 - 3
    EXPECT_EQ(S.cy, 66); // ceil(5 / 2) x (20 + 3) - 3
    EXPECT_EQ(G->Width(), 83);
    EXPECT_EQ(G->Height(), 66);
    EXPECT_EQ(RectText(F.Btn(2)), "0,46,40x20");
    EXPECT_EQ(RectText(F.Btn(4)), "43,23,40x20");
    G->SetLayout(loHorizontal);
    B->SetBounds(0, 0, 40, 20);
    G->SizeToButtons(B, true, S);
    EXPECT_EQ(S.cx, 3 * 43 - 3);
    EXPECT_EQ(S.cy, 43);
    EXPECT_EQ(G->Width(), 126);
    EXPECT_EQ(G->Height(), 43);
    // A button that is not one of the group's items changes nothing.
    TnvShapeBtn Stray(&F.Form);
    Stray.SetParent(G);
    Stray.SetBounds(0, 0, 10, 10);
    EXPECT_EQ(G->Width(), 126);
}

// ---------------------------------------------------------------- click styles and events

TEST(nvButtonGroupClick, StylesSetGroupIndexAndAllowAllUp)
{
    TGroupFixture F(3);
    struct TCase {
        TnvButtonGroupClickStyle Style;
        std::vector<int> GroupIndexes;
        bool AllowAllUp;
    };
    for (const TCase& C : std::vector<TCase>{{bcsCheckList, {1, 2, 3}, true},
                                              {bcsClick, {0, 0, 0}, false},
                                              {bcsRadioGroup, {1, 1, 1}, false}}) {
        F.Group->SetClickStyle(C.Style);
        for (int I = 0; I < 3; ++I) {
            EXPECT_EQ(F.Btn(I)->GroupIndex(), C.GroupIndexes[I]) << int(C.Style);
            EXPECT_EQ(F.Btn(I)->AllowAllUp(), C.AllowAllUp) << int(C.Style);
        }
    }
    // A button added to a check list gets a group of its own.
    F.Group->SetClickStyle(bcsCheckList);
    F.Btn(1)->SetGroupIndex(7);
    TnvCustomBitBtn* Added = F.Group->ButtonItems()->Add()->Button();
    EXPECT_EQ(Added->GroupIndex(), 8);
    EXPECT_TRUE(Added->AllowAllUp());
}

TEST(nvButtonGroupClick, RadioGroupEventOrder)
{
    TGroupFixture F(3);
    std::vector<String> States; // what the handlers see of the buttons
    F.Group->OnChanging = [&](TnvCustomButtonGroup* G, TnvButtonGroupItem* O, TnvButtonGroupItem* S) {
        F.Form.nvButtonGroup1Changing(G, O, S);
        States.push_back(String("changing old down=") + (O && O->Button()->Down() ? "1" : "0"));
    };
    F.Group->OnChange = [&](TnvCustomButtonGroup* G, TnvButtonGroupItem* O, TnvButtonGroupItem* S) {
        F.Form.nvButtonGroup1Change(G, O, S);
        States.push_back(String("change old down=") + (O && O->Button()->Down() ? "1" : "0") +
                         " new down=" + (S->Button()->Down() ? "1" : "0"));
    };
    F.Btn(0)->OnSelChange = [&](TObject*) { F.Form.Log.push_back("sel:1"); };

    F.Click(0);
    F.Click(2);
    F.Click(2); // the selected button again: nothing for the group; the others hear the press again
    F.Click(0);
    const std::vector<String> Expected = {"changing:->1", "sel:1", "Group.change:->1", "changing:1>3", "sel:1",
                                          "Group.change:1>3", "sel:1", "changing:3>1", "sel:1", "Group.change:3>1"};
    EXPECT_EQ(F.Form.Log, Expected);
    const std::vector<String> ExpectedStates = {"changing old down=0", "change old down=0 new down=1",
                                                "changing old down=1", "change old down=0 new down=1",
                                                "changing old down=1", "change old down=0 new down=1"};
    EXPECT_EQ(States, ExpectedStates);
    EXPECT_EQ(F.DownStates(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(F.Group->SelectedItem(), F.Group->ButtonItems()->Item(0));
}

TEST(nvButtonGroupClick, CheckListTogglesEachButtonAlone)
{
    TGroupFixture F(3);
    F.Group->SetClickStyle(bcsCheckList);
    F.Click(0);
    F.Click(2);
    EXPECT_EQ(F.DownStates(), (std::vector<bool>{true, false, true}));
    F.Click(0);
    EXPECT_EQ(F.DownStates(), (std::vector<bool>{false, false, true}));
    // Going up reports nothing; going down reports the change.
    const std::vector<String> Expected = {"changing:->1", "Group.change:->1", "changing:1>3",
                                          "Group.change:1>3"};
    EXPECT_EQ(F.Form.Log, Expected);
}

TEST(nvButtonGroupClick, ClickStyleKeepsNoButtonDown)
{
    TGroupFixture F(3);
    F.Group->SetClickStyle(bcsClick);
    int Clicks = 0;
    F.Btn(1)->OnClick = [&](TObject*) { ++Clicks; };
    F.Click(1);
    F.Click(1);
    EXPECT_EQ(Clicks, 2);
    EXPECT_EQ(F.DownStates(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(F.Group->SelectedItem(), nullptr);
    for (const String& L : F.Form.Log)
        EXPECT_EQ(L.find("change:"), String::npos) << L;
    F.Group->ButtonItems()->Item(2)->SetDown(true); // no group: stays up
    EXPECT_FALSE(F.Btn(2)->Down());
}

TEST(nvButtonGroupClick, AutoBoldMarksTheRadioSelection)
{
    TGroupFixture F(3);
    auto Bold = [&] {
        std::vector<bool> R;
        for (int I = 0; I < 3; ++I)
            R.push_back(F.Btn(I)->Font()->Style().testFlag(fsBold));
        return R;
    };
    F.Click(1);
    EXPECT_EQ(Bold(), (std::vector<bool>{false, true, false}));
    F.Click(2);
    EXPECT_EQ(Bold(), (std::vector<bool>{false, false, true}));
    F.Group->SetAutoBold(false); // setting re-applies: nothing bold
    EXPECT_EQ(Bold(), (std::vector<bool>{false, false, false}));
    F.Btn(0)->Font()->SetStyle(fsBold);
    F.Click(1); // without AutoBold the fonts are left alone
    EXPECT_EQ(Bold(), (std::vector<bool>{true, false, false}));
    F.Group->SetAutoBold(true);
    EXPECT_EQ(Bold(), (std::vector<bool>{false, true, false}));
    F.Group->SetClickStyle(bcsCheckList);
    F.Group->SetAutoBold(true);
    EXPECT_EQ(Bold(), (std::vector<bool>{false, false, false}));
}

// ---------------------------------------------------------------- keyboard

TEST(nvButtonGroupKeys, ArrowsHomeEndMoveTheSelectionAndWrap)
{
    TGroupFixture F(4);
    EXPECT_TRUE(F.Group->WantsKey(VK_DOWN, TShiftState()));
    EXPECT_TRUE(F.Group->WantsKey(VK_LEFT, TShiftState()));
    auto Press = [&](Word Key) {
        F.Group->KeyDown(Key, TShiftState());
        TnvButtonGroupItem* S = F.Group->SelectedItem();
        return S ? S->Index() : -1;
    };
    struct TStep {
        Word Key;
        int Selected;
    };
    const std::vector<TStep> Steps = {{VK_DOWN, 0}, // nothing selected: the first
                                      {VK_DOWN, 1},  {VK_RIGHT, 2}, {VK_END, 3}, {VK_DOWN, 0},
                                      {VK_UP, 3},    {VK_LEFT, 2},  {VK_HOME, 0}, {VK_LEFT, 3},
                                      {VK_RETURN, 3}, {'A', 3}};
    for (const TStep& S : Steps)
        EXPECT_EQ(Press(S.Key), S.Selected) << S.Key;
    EXPECT_EQ(F.DownStates(), (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(F.Form.Log.back(), "Group.change:1>4"); // Home, then Left from the first
}

// ---------------------------------------------------------------- items and buttons

TEST(nvButtonGroupItems, AddCopiesTheFirstButtonsLook)
{
    TGroupFixture F(1);
    auto* First = static_cast<TnvShapeBtn*>(F.Btn(0));
    EXPECT_EQ(First->Owner(), &F.Form);
    EXPECT_EQ(First->Parent(), F.Group);
    EXPECT_EQ(First->GroupIndex(), 1);
    First->SetColor(clBlue);
    First->SetSpacing(9);
    First->ShadeColors()->SetBtnShadow(clNavy);
    auto* Second = static_cast<TnvShapeBtn*>(F.Group->ButtonItems()->Add()->Button());
    EXPECT_EQ(Second->Color(), clBlue);
    EXPECT_EQ(Second->Spacing(), 9);
    EXPECT_EQ(Second->ShadeColors()->BtnShadow(), clNavy);
    EXPECT_EQ(Second->Top(), 51); // arranged at once
}

TEST(nvButtonGroupItems, ButtonsAndItemsGoTogether)
{
    TGroupFixture F(4);
    TnvButtonGroupItems* Items = F.Group->ButtonItems();
    QPointer<TnvCustomBitBtn> Third = F.Btn(2);
    delete Items->Item(2); // the item frees its button
    EXPECT_TRUE(Third.isNull());
    EXPECT_EQ(Items->Count(), 3);
    QPointer<TnvCustomBitBtn> Second = F.Btn(1);
    delete Second.data(); // the button's removal frees its item
    EXPECT_EQ(Items->Count(), 2);
    EXPECT_EQ(Items->Item(1)->Button()->Caption(), "4");
    // A button taken out of the group loses its item but lives on.
    TnvCustomBitBtn* Last = F.Btn(1);
    Last->SetParent(&F.Form);
    EXPECT_EQ(Items->Count(), 1);
    EXPECT_EQ(Last->Owner(), &F.Form);
    // Destroying the group frees the buttons of its items.
    QPointer<TnvCustomBitBtn> First = F.Btn(0);
    delete F.Group;
    EXPECT_TRUE(First.isNull());
    EXPECT_EQ(Last->Parent(), &F.Form);
}

TEST(nvButtonGroupItems, IndexOrdersTheButtonsAndTheirPlaces)
{
    TGroupFixture F(3, 100, 99);
    F.Group->SetControlSpacing(0);
    TnvButtonGroupItem* Last = F.Group->ButtonItems()->Item(2);
    Last->Button()->SetName("LastButton");
    Last->SetIndex(0);
    F.Group->ArrangeButtons();
    EXPECT_EQ(Last->Button()->Top(), 0);
    // Every button stays among the children exactly once, in item order.
    ASSERT_EQ(F.Group->ControlCount(), 3);
    for (int I = 0; I < 3; ++I)
        EXPECT_EQ(F.Group->Controls(I), F.Group->ButtonItems()->Item(I)->Button()) << I;
    EXPECT_EQ(Last->GetDisplayName(), "LastButton");
    EXPECT_EQ(Last->GetControl(), Last->Button());
}

TEST(nvButtonGroupItems, ButtonClassByName)
{
    TGroupFixture F(2);
    EXPECT_EQ(F.Group->ButtonClassName(), "TnvShapeBtn");
    EXPECT_THROW(F.Group->SetButtonClassName("TnvNoSuchButton"), EClassNotFound);
    EXPECT_THROW(F.Group->SetButtonClassName("TnvButtonGroup"), EInvalidOperation);
    EXPECT_EQ(F.Group->ButtonClassName(), "TnvShapeBtn");
    EXPECT_EQ(F.Group->ButtonItems()->Count(), 2);
    F.Group->SetButtonClassName("TnvImageBtn"); // clears the items
    EXPECT_EQ(F.Group->ButtonItems()->Count(), 0);
    EXPECT_EQ(F.Group->ControlCount(), 0);
    EXPECT_STREQ(F.Group->ButtonItems()->Add()->Button()->metaObject()->className(), "TnvImageBtn");
}

TEST(nvButtonGroupItems, ShowDownAsUpReachesEveryButton)
{
    TGroupFixture F(2);
    F.Group->SetShowDownAsUp(true);
    EXPECT_TRUE(F.Btn(0)->ShowDownAsUp());
    EXPECT_TRUE(F.Group->ButtonItems()->Add()->Button()->ShowDownAsUp());
}

// ---------------------------------------------------------------- form files

TEST(nvButtonGroupForm, MainWindowGroupRoundTrip)
{
    InitApplication();
    RegisterClasses<TGroupTestForm>();
    String Text;
    {
        TGroupTestForm Form;
        Form.SetName("GroupForm");
        Form.SetBounds(0, 0, 250, 400);
        auto* Group = new TnvButtonGroup(&Form);
        BuildCategoryGroup(&Form, Group);
        Group->OnChange.BindMethod(&Form, Form.metaObject()->indexOfMethod(
                                              "nvButtonGroup1Change(TnvCustomButtonGroup*,TnvButtonGroupItem*,"
                                              "TnvButtonGroupItem*)"),
                                   "nvButtonGroup1Change");
        Text = ComponentToText(&Form);
    }
    if (const QByteArray Dir = qgetenv("ZEN_BUTTON_SHOTS"); !Dir.isEmpty()) {
        QFile Out(QDir(QString::fromLocal8Bit(Dir)).filePath("buttongroup-main.nvf"));
        if (Out.open(QIODevice::WriteOnly))
            Out.write(Text.c_str());
    }
    // The group's own values, the items and the buttons in item order.
    EXPECT_NE(Text.find("  object nvButtonGroup1: TnvButtonGroup\n"), String::npos) << Text;
    EXPECT_NE(Text.find("    AutoBold = False\n"), String::npos) << Text;
    EXPECT_NE(Text.find("    ControlSpacing = 0\n"), String::npos) << Text;
    EXPECT_NE(Text.find("    OnChange = nvButtonGroup1Change\n"), String::npos) << Text;
    EXPECT_NE(Text.find("    ButtonItems = <"), String::npos) << Text;
    EXPECT_EQ(Text.find("ButtonClassName"), String::npos) << Text; // the default
    size_t Last = 0;
    for (const char* Name : CategoryNames) {
        const size_t At = Text.find(String("object ") + Name + ": TnvShapeBtn");
        ASSERT_NE(At, String::npos) << Name;
        EXPECT_GT(At, Last) << Name;
        Last = At;
    }

    TGroupTestForm Form;
    ReadComponentFromText(Text, &Form);
    auto* Group = dynamic_cast<TnvButtonGroup*>(Form.FindComponent("nvButtonGroup1"));
    ASSERT_NE(Group, nullptr);
    EXPECT_TRUE(Form.Log.empty()); // loading changes no selection
    ASSERT_EQ(Group->ButtonItems()->Count(), 11);
    EXPECT_EQ(Group->ClickStyle(), bcsRadioGroup);
    EXPECT_EQ(Group->ControlSpacing(), 0);
    EXPECT_FALSE(Group->AutoBold());
    EXPECT_EQ(Group->BevelOuter(), bvNone);
    EXPECT_EQ(Group->Font()->Color(), clWindow);
    for (int I = 0; I < 11; ++I) {
        SCOPED_TRACE(I);
        auto* B = dynamic_cast<TnvShapeBtn*>(Group->ButtonItems()->Item(I)->Button());
        ASSERT_NE(B, nullptr);
        EXPECT_EQ(B->Name(), CategoryNames[I]);
        EXPECT_EQ(B->Caption(), CategoryCaptions[I]);
        EXPECT_EQ(B->Tag(), I + 1);
        EXPECT_EQ(B->Color(), clBlue);
        EXPECT_EQ(B->DitherColor(), clNavy);
        EXPECT_EQ(B->GroupIndex(), 1);
        EXPECT_EQ(B->Options(), TnvButtonOptions(boFocusable));
        EXPECT_TRUE(B->TabStop());
        EXPECT_EQ(B->ShadeStyle(), fbsHighlight);
        EXPECT_EQ(B->ShadeColors()->Btn3DLight(), static_cast<TColor>(0xFF7F7F));
        EXPECT_EQ(B->ShadeColors()->BtnHighlight(), static_cast<TColor>(0xFFBFBF));
        EXPECT_EQ(B->ShadeColors()->BtnShadow(), clNavy);
        EXPECT_EQ(B->ShadeColors()->BtnBlack(), static_cast<TColor>(0x400000));
        EXPECT_EQ(B->Font()->Color(), I == 0 ? clYellow : clWhite);
        EXPECT_TRUE(B->Font()->Style().testFlag(fsBold));
        EXPECT_EQ(B->Down(), I == 0);
        EXPECT_EQ(B->Height(), I < 7 ? 22 : 21);
        EXPECT_EQ(B->Top(), I < 7 ? 22 * I : 154 + 21 * (I - 7));
        EXPECT_EQ(B->Width(), 117);
    }
    EXPECT_EQ(Group->SelectedItem(), Group->ButtonItems()->Item(0));
    // Writing again gives the same text but for the shape buttons'
    // ParentClipping: reading it (with either value) takes the clip-children
    // style from the group, so it reads False afterwards.
    EXPECT_FALSE(static_cast<TnvShapeBtn*>(Group->ButtonItems()->Item(0)->Button())->ParentClipping());
    auto WithoutClipping = [](String T) {
        for (const char* Line : {"      ParentClipping = True\n", "      ParentClipping = False\n"})
            for (size_t P; (P = T.find(Line)) != String::npos;)
                T.erase(P, std::strlen(Line));
        return T;
    };
    EXPECT_EQ(WithoutClipping(ComponentToText(&Form)), WithoutClipping(Text));

    // The stored handler runs with the items; the fonts are left alone.
    Activate(&Form);
    auto* Combos = Group->ButtonItems()->Item(5)->Button();
    ClickAt(Combos, QPoint(50, 10));
    ASSERT_EQ(Form.Log.size(), 1u);
    EXPECT_EQ(Form.Log[0], "nvButtonGroup1.change:Outlook Bar>Combos");
    EXPECT_TRUE(Combos->Font()->Style().testFlag(fsBold));

    // What the group looks like: blue faces, the pressed first button, the
    // caption pixels in yellow and white.
    Group->ButtonItems()->Item(0)->SetDown(true);
    QImage Shot(Group->Width(), Group->Height(), QImage::Format_ARGB32_Premultiplied);
    Shot.fill(Qt::black);
    Group->render(&Shot);
    if (const QByteArray Dir = qgetenv("ZEN_BUTTON_SHOTS"); !Dir.isEmpty())
        Shot.save(QDir(QString::fromLocal8Bit(Dir)).filePath("buttongroup-main.png"));
    auto CountColour = [&](int Top, int Bottom, QRgb C) {
        int N = 0;
        for (int Y = Top; Y < Bottom; ++Y)
            for (int X = 0; X < Shot.width(); ++X)
                N += (Shot.pixel(X, Y) & 0xFFFFFFu) == (C & 0xFFFFFFu);
        return N;
    };
    EXPECT_GT(CountColour(0, 22, qRgb(255, 255, 0)), 20);   // yellow caption of the pressed button
    EXPECT_GT(CountColour(22, 44, qRgb(255, 255, 255)), 20); // white caption of the next one
    EXPECT_EQ(CountColour(22, 44, qRgb(255, 255, 0)), 0);
    EXPECT_EQ(Rgb(Shot, 60, 30), 0x0000FFu); // the blue face of an up button
    // Button borders at the arranged places: the top edge of every button
    // differs from the face just inside it.
    for (int Y : {22, 44, 154, 175, 217})
        EXPECT_NE(Rgb(Shot, 3, Y), Rgb(Shot, 3, Y + 3)) << Y;
}

TEST(nvButtonGroupForm, BadButtonClassNamesTheLine)
{
    InitApplication();
    RegisterClasses<TGroupTestForm>();
    TGroupTestForm Form;
    const String Text = "object GroupForm: TGroupTestForm\n"
                        "  object G: TnvButtonGroup\n"
                        "    ButtonClassName = 'TnvNoSuchButton'\n"
                        "  end\n"
                        "end\n";
    try {
        ReadComponentFromText(Text, &Form);
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("(3)"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("G.ButtonClassName"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("TnvNoSuchButton"), String::npos) << E.Message();
    }
    EXPECT_EQ(Form.FindComponent("G"), nullptr);
}

TEST(nvButtonGroupForm, StoredButtonsWithoutItemsBecomeItems)
{
    InitApplication();
    RegisterClasses<TGroupTestForm>();
    TGroupTestForm Form;
    const String Text = "object GroupForm: TGroupTestForm\n"
                        "  object G: TnvButtonGroup\n"
                        "    Width = 60\n"
                        "    Height = 41\n"
                        "    ButtonItems = <\n"
                        "      item\n"
                        "      end\n"
                        "      item\n"
                        "      end\n"
                        "      item\n"
                        "      end>\n"
                        "    object A: TnvShapeBtn\n"
                        "      Caption = 'A'\n"
                        "      GroupIndex = 1\n"
                        "    end\n"
                        "    object B: TnvShapeBtn\n"
                        "      Caption = 'B'\n"
                        "      Down = True\n"
                        "      GroupIndex = 1\n"
                        "    end\n"
                        "  end\n"
                        "end\n";
    ReadComponentFromText(Text, &Form);
    auto* G = dynamic_cast<TnvButtonGroup*>(Form.FindComponent("G"));
    ASSERT_NE(G, nullptr);
    ASSERT_EQ(G->ButtonItems()->Count(), 2); // the item without a button is gone
    EXPECT_EQ(G->ButtonItems()->Item(0)->Button()->Name(), "A");
    EXPECT_EQ(G->SelectedItem(), G->ButtonItems()->Item(1));
    EXPECT_EQ(RectText(G->ButtonItems()->Item(1)->Button()), "0,21,60x20");
    EXPECT_TRUE(G->ButtonItems()->Item(1)->Button()->Font()->Style().testFlag(fsBold) == false);
}

TEST(nvButtonGroupItems, AssigningItemsCopiesThemWithTheirLook)
{
    TGroupFixture F(3);
    static_cast<TnvShapeBtn*>(F.Btn(2))->SetDitherColor(clNavy);
    F.Btn(2)->SetSpacing(7);
    auto* Other = new TnvButtonGroup(&F.Form);
    Other->SetParent(&F.Form);
    Other->SetButtonItems(F.Group->ButtonItems());
    ASSERT_EQ(Other->ButtonItems()->Count(), 3);
    EXPECT_EQ(Other->ButtonItems()->Item(2)->Button()->Spacing(), 7);
    EXPECT_EQ(static_cast<TnvShapeBtn*>(Other->ButtonItems()->Item(2)->Button())->DitherColor(), clNavy);
    EXPECT_EQ(Other->ButtonItems()->Item(2)->Button()->Parent(), Other);
    EXPECT_EQ(F.Group->ButtonItems()->Count(), 3);
}

TEST(nvButtonGroupItems, AButtonWithoutAnItemIsNotReported)
{
    TGroupFixture F(2);
    auto* Stray = new TnvShapeBtn(&F.Form);
    Stray->SetParent(F.Group); // at run time: no item for it
    Stray->SetBounds(0, 80, 50, 15);
    Stray->SetGroupIndex(1);
    EXPECT_EQ(F.Group->ButtonItems()->Count(), 2);
    Stray->SetDown(true);
    EXPECT_TRUE(F.Form.Log.empty());
}

// ---------------------------------------------------------------- painting

TEST(nvButtonGroupPaint, TransparentGroupShowsItsParent)
{
    TGroupFixture F(2, 60, 61);
    F.Form.SetColor(clRed);
    F.Group->SetColor(clLime);
    F.Group->SetControlSpacing(11); // a gap of 11 rows between the buttons
    auto Gap = [&] {
        QImage Shot(F.Form.Width(), F.Form.Height(), QImage::Format_ARGB32_Premultiplied);
        Shot.fill(Qt::black);
        F.Form.render(&Shot);
        return Rgb(Shot, 30, 30);
    };
    EXPECT_EQ(F.Btn(1)->Top(), 36);
    EXPECT_EQ(Gap(), 0x00FF00u);
    F.Group->SetTransparent(true);
    EXPECT_TRUE(F.Group->IsTransparent());
    EXPECT_EQ(Gap(), 0xFF0000u);
}

// ---------------------------------------------------------------- design mode

TEST(nvButtonGroupDesign, NamesHiddenButtonsAndTheClassQuestion)
{
    TGroupFixture F(0);
    F.Form.SetDesigning(true);
    EXPECT_FALSE(F.Group->IsTransparent() && F.Group->Transparent());
    TnvCustomBitBtn* A = F.Group->ButtonItems()->Add()->Button();
    TnvCustomBitBtn* B = F.Group->ButtonItems()->Add()->Button();
    EXPECT_EQ(A->Name(), "GroupnvShapeBtn1");
    EXPECT_EQ(B->Name(), "GroupnvShapeBtn2");
    A->SetVisible(false);
    EXPECT_EQ(F.Group->ButtonItems()->VisibleCount(), 2); // hidden buttons count while designing
    F.Group->SetTransparent(true);
    EXPECT_FALSE(F.Group->IsTransparent());

    std::vector<String> Asked;
    int Answer = mrNo;
    TMessageDlgExecutor Old = SetMessageDlgExecutor([&](const TMessageDlgRequest& R) {
        Asked.push_back(R.Msg);
        return Answer;
    });
    F.Group->SetButtonClassName("TnvImageBtn");
    EXPECT_EQ(F.Group->ButtonClassName(), "TnvShapeBtn");
    EXPECT_EQ(F.Group->ButtonItems()->Count(), 2);
    Answer = mrYes;
    F.Group->SetButtonClassName("TnvImageBtn");
    SetMessageDlgExecutor(Old);
    EXPECT_EQ(F.Group->ButtonClassName(), "TnvImageBtn");
    EXPECT_EQ(F.Group->ButtonItems()->Count(), 0);
    EXPECT_EQ(Asked, (std::vector<String>(2, "Setting this property will clear your items. Continue?")));
}
