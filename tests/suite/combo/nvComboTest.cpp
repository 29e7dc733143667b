// The combo base: layout, the drop-down protocol as sequences of events
// (placement, keys, outside presses, focus loss), the drop-down button's
// faces on rendered pixels, data-aware behaviour and stored forms.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>

#include "DBClient.h"
#include "FormStream.h"
#include "nvComboTestSupport.h"
#include "nvCommon.h"
#include "TestDump.h"

using namespace nvComboTest;

namespace {

struct TComboFixture {
    std::unique_ptr<TComboTestForm> Form;
    TTestCombo* Combo = nullptr;
    TEdit* Other = nullptr;

    explicit TComboFixture(int Left = 20, int Top = 20, int Width = 150, int FormW = 400, int FormH = 300)
    {
        Form = NewForm(FormW, FormH);
        Combo = NewCombo(Form.get(), Left, Top, Width);
        Other = NewEdit(Form.get());
        ShowForm(Form.get());
        Combo->SetFocus();
        Pump();
    }
    QRect ListRect() const { return QRect(Combo->Panel->pos(), Combo->Panel->size()); }
};

} // namespace

TEST(nvCombo, LayoutOfButtonAndEditRectangle)
{
    auto Form = NewForm();
    TTestCombo* C = NewCombo(Form.get(), 10, 10, 150);
    const int BW = std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
    // With the sunken border: the container fills the client height at the right.
    EXPECT_EQ(C->ButtonContainer()->BoundsRect(), TRect(150 - 2 - BW, 2, 150 - 2, 21 - 2));
    EXPECT_EQ(C->Button()->BoundsRect(), TRect(0, 0, BW, 17));
    TRect R;
    C->GetEditRect(R);
    EXPECT_EQ(R, TRect(0, 0, 146 - BW - 2, 18)) << "left of the button, one below the client area";

    // An enabled frame: the button inside the frame lines, the text inside the frame.
    C->Frame()->SetEnabled(true);
    EXPECT_EQ(C->BorderStyle(), bsNone);
    EXPECT_EQ(C->ButtonContainer()->BoundsRect(), TRect(150 - 2 - BW, 2, 150 - 2, 21 - 2));
    EXPECT_EQ(C->Button()->BoundsRect(), TRect(0, -1, BW, 17));
    C->GetEditRect(R);
    EXPECT_EQ(R, TRect(2, 2, 150 - 2 - BW - 2 - 1, 22));

    C->SetShowButton(false);
    EXPECT_FALSE(C->ButtonContainer()->Visible());
    C->GetEditRect(R);
    EXPECT_EQ(R.Right, 150 - 2 - 1);
    C->SetShowButton(true);
    C->SetButtonWidth(30);
    EXPECT_EQ(C->ButtonContainer()->Width(), 30);
    EXPECT_THROW(C->SetButtonWidth(-1), EInvalidOperation);
}

TEST(nvCombo, DropDownAndCloseUpAsEvents)
{
    TComboFixture F;
    TTestCombo* C = F.Combo;
    C->OnDropDown = [C](TObject*) { C->Log.push_back("OnDropDown"); };
    C->OnAfterDropDown = [C](TObject*) {
        C->Log.push_back(String("OnAfterDropDown ") + (C->Panel->isVisible() ? "shown" : "hidden"));
    };
    C->OnCloseUp = [C](TObject*, bool Accept) { C->Log.push_back(Accept ? "OnCloseUp accept" : "OnCloseUp"); };
    EXPECT_FALSE(NvComboMouseHookInstalled());
    C->DropDown();
    EXPECT_TRUE(C->IsDroppedDown());
    EXPECT_TRUE(NvComboMouseHookInstalled()) << "the hook watches the mouse while open";
    EXPECT_TRUE(C->Panel->isWindow());
    EXPECT_TRUE(C->Panel->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(C->ComboFocused()) << "the focus stays in the combo";
    C->CloseUp(true);
    EXPECT_FALSE(C->IsDroppedDown());
    EXPECT_FALSE(NvComboMouseHookInstalled());
    EXPECT_EQ(C->Log, (std::vector<String>{"dropdown", "OnDropDown", "OnAfterDropDown shown", "closeup accept",
                                           "OnCloseUp accept"}));
}

TEST(nvCombo, PlacementUnderAboveAndRightAligned)
{
    const int SW = Screen->Width();
    const int SH = Screen->Height();
    struct Case {
        const char* Name;
        int FormLeft, FormTop; // the combo is at (20, 20) of a borderless form
        int Items;
        int RequestedWidth;
        bool Above;
        bool RightAligned;
    };
    const Case Cases[] = {
        {"room below", 100, 100, 4, 0, false, false},
        {"no room below", 100, SH - 80, 4, 0, true, false},
        {"empty list near the bottom", 100, SH - 60, 0, 0, true, false},
        {"wide list at the right edge", SW - 220, 100, 4, 200, false, true},
        {"wide list with room", 100, 100, 12, 200, false, false},
    };
    for (const Case& K : Cases) {
        auto Form = NewForm(200, 60);
        Form->SetLeft(K.FormLeft);
        Form->SetTop(K.FormTop);
        TTestCombo* C = NewCombo(Form.get(), 20, 20, 150);
        C->Items.resize(static_cast<size_t>(K.Items), "item");
        C->RequestedWidth = K.RequestedWidth;
        ShowForm(Form.get());
        C->SetFocus();
        C->DropDown();
        const QPoint P = C->mapToGlobal(QPoint(0, 0));
        const QRect L(C->Panel->pos(), C->Panel->size());
        const int ItemsShown = std::min(K.Items, C->DropDownCount());
        const int ExpectedH = (K.Items == 0 ? C->Height() : ItemsShown * TTestDropList::ItemHeight) + 2;
        const int ExpectedW =
            K.RequestedWidth ? std::max(150, 2 + K.RequestedWidth + 2 * GetSystemMetrics(SM_CXVSCROLL)) : 150;
        EXPECT_EQ(L.height(), ExpectedH) << K.Name;
        EXPECT_EQ(L.width(), ExpectedW) << K.Name;
        if (K.Above)
            EXPECT_EQ(L.bottom() + 1, P.y()) << K.Name << ": the list opens above the combo";
        else
            EXPECT_EQ(L.top(), P.y() + C->Height()) << K.Name << ": the list opens under the combo";
        if (K.RightAligned)
            EXPECT_EQ(L.right(), P.x() + 150 - 1) << K.Name << ": right edges aligned";
        else
            EXPECT_EQ(L.left(), P.x()) << K.Name;
        C->CloseUp(false);
    }
}

TEST(nvCombo, KeysOpenCloseAndReachTheList)
{
    TComboFixture F;
    TTestCombo* C = F.Combo;
    C->SetText("Beta");
    struct Step {
        int Key;
        Qt::KeyboardModifiers Mods;
        bool OpenAfter;
        const char* LastLog;
    };
    const Step Steps[] = {
        {Qt::Key_F4, Qt::NoModifier, true, "dropdown"},
        {Qt::Key_Down, Qt::NoModifier, true, "key 2"}, // routed to the list
        {Qt::Key_F4, Qt::NoModifier, false, "closeup accept"},
        {Qt::Key_Down, Qt::AltModifier, true, "dropdown"},
        {Qt::Key_Up, Qt::NoModifier, true, "key 1"},
        {Qt::Key_Escape, Qt::NoModifier, false, "closeup"},
        {Qt::Key_Up, Qt::AltModifier, true, "dropdown"},
        {Qt::Key_Down, Qt::NoModifier, true, "key 3"},
        {Qt::Key_Return, Qt::NoModifier, false, "closeup accept"},
    };
    std::vector<String> Texts;
    for (const Step& S : Steps) {
        SendKey(C, S.Key, S.Mods);
        EXPECT_EQ(C->IsDroppedDown(), S.OpenAfter) << S.LastLog;
        ASSERT_FALSE(C->Log.empty());
        EXPECT_EQ(C->Log.back(), S.LastLog);
        Texts.push_back(C->Text());
    }
    EXPECT_EQ(Texts[2], "Gamma") << "F4 closing accepts the list's choice";
    EXPECT_EQ(Texts[5], "Gamma") << "Escape restores the text from before";
    EXPECT_EQ(Texts[8], "Delta") << "Enter accepts";

    // Tab closes accepting and moves on.
    SendKey(C, Qt::Key_F4);
    SendKey(C, Qt::Key_Up);
    SendKey(C, Qt::Key_Tab);
    Pump();
    EXPECT_FALSE(C->IsDroppedDown());
    EXPECT_EQ(C->Text(), "Gamma");
    EXPECT_EQ(C->Log.back(), "closeup accept");
    EXPECT_FALSE(C->ComboFocused());
}

TEST(nvCombo, EscapeOnAModifiedClosedComboResets)
{
    TComboFixture F;
    TTestCombo* C = F.Combo;
    C->LineEdit()->setText("typed");
    C->SetModified(true);
    SendKey(C, Qt::Key_Escape);
    EXPECT_FALSE(C->Modified());
    EXPECT_EQ(C->SelLength(), 5) << "the text is selected";
}

TEST(nvCombo, EnterAndEscapeOfAClosedComboReachTheFormsButtons)
{
    TComboFixture F;
    RegisterClasses<TButton>();
    auto* Ok = new TButton(F.Form.get());
    Ok->SetParent(F.Form.get());
    Ok->SetBounds(20, 100, 75, 25);
    Ok->SetDefault(true);
    auto* Cancel = new TButton(F.Form.get());
    Cancel->SetParent(F.Form.get());
    Cancel->SetBounds(100, 100, 75, 25);
    Cancel->SetCancel(true);
    std::vector<String> Clicks;
    Ok->OnClick = [&](TObject*) { Clicks.push_back("ok"); };
    Cancel->OnClick = [&](TObject*) { Clicks.push_back("cancel"); };
    TTestCombo* C = F.Combo;
    C->SetFocus();
    Pump();
    for (const auto Style : {nvComboTypes::csDropDown, nvComboTypes::csDropDownList}) {
    SCOPED_TRACE(Style == nvComboTypes::csDropDown ? "drop-down style" : "drop-down list style");
    C->SetStyle(Style);

    struct TStep {
        const char* Name;
        int Key;
        bool Open;     // dropped down before the key
        bool Modified; // text marked modified before the key
        const char* Click;
    };
    const TStep Steps[] = {
        {"Enter, closed", Qt::Key_Return, false, false, "ok"},
        {"keypad Enter, closed", Qt::Key_Enter, false, false, "ok"},
        {"Escape, closed", Qt::Key_Escape, false, false, "cancel"},
        {"Escape, closed and modified: resets instead", Qt::Key_Escape, false, true, ""},
        {"Enter, open: closes the list only", Qt::Key_Return, true, false, ""},
        {"Escape, open: closes the list only", Qt::Key_Escape, true, false, ""},
    };
    for (const TStep& S : Steps) {
        SCOPED_TRACE(S.Name);
        Clicks.clear();
        if (S.Open)
            C->DropDown();
        if (S.Modified) {
            C->LineEdit()->setText("typed");
            C->SetModified(true);
        }
        SendKey(C, S.Key);
        Pump();
        EXPECT_EQ(Clicks, S.Click[0] ? std::vector<String>{S.Click} : std::vector<String>{});
        EXPECT_FALSE(C->IsDroppedDown());
        EXPECT_FALSE(C->Modified());
    }
    }
}

TEST(nvCombo, ClosingOneComboKeepsTheHookOfAnotherOpenOne)
{
    TComboFixture F;
    TTestCombo* Second = NewCombo(F.Form.get(), 20, 60, 150);
    Second->show();
    F.Combo->DropDown();
    Second->DropDown(); // opened in code while the first is still open
    ASSERT_TRUE(F.Combo->IsDroppedDown());
    ASSERT_TRUE(Second->IsDroppedDown());
    F.Combo->CloseUp(false);
    EXPECT_TRUE(NvComboMouseHookInstalled()) << "the second combo's list still needs the hook";
    // The hook still serves the second combo: a press outside closes its list.
    const QPoint Outside = F.Form->mapToGlobal(QPoint(300, 200));
    SendMouse(F.Form.get(), QEvent::MouseButtonPress, Outside);
    SendMouse(F.Form.get(), QEvent::MouseButtonRelease, Outside);
    Pump();
    EXPECT_FALSE(Second->IsDroppedDown());
    EXPECT_FALSE(NvComboMouseHookInstalled());

    // In the other order: the most recently opened combo closes first.
    F.Combo->DropDown();
    Second->DropDown();
    Second->CloseUp(true);
    EXPECT_TRUE(NvComboMouseHookInstalled());
    F.Combo->CloseUp(true);
    EXPECT_FALSE(NvComboMouseHookInstalled());
    // Freeing an open combo that does not own the hook's attention leaves it for the other.
    F.Combo->DropDown();
    Second->DropDown();
    delete F.Combo;
    EXPECT_TRUE(NvComboMouseHookInstalled());
    Second->CloseUp(false);
    EXPECT_FALSE(NvComboMouseHookInstalled());
}

TEST(nvCombo, OwnerPaintedTextStartsAtTheFramesTextOffsets)
{
    // The origin (indent + 2, 2) of owner-painted text becomes, with an active
    // frame, (indent + 1 + X, Y) for the frame's offsets X, Y of the current
    // focus state; every combo that paints its own text goes through this.
    TComboFixture F;
    TTestCombo* C = F.Combo;
    struct TCase {
        const char* Name;
        bool Enabled;
        bool Focused;
        TnvEditFrameEnabledSet NonFocusBorders;
        TnvEditFocusStyle NonFocusStyle;
        int OffsetX, OffsetY;
        int WantX, WantY; // from an origin of (7, 2), an indent of 5
    };
    const TnvEditFrameEnabledSet Bottom = TnvEditFrameEnabledSet(efBottomBorder);
    const TnvEditFrameEnabledSet LeftTop = TnvEditFrameEnabledSet(efLeftBorder) | efTopBorder;
    const TCase Cases[] = {
        {"no frame", false, false, Bottom, efsFrameBox, 0, 0, 7, 2},
        {"bottom line only", true, false, Bottom, efsFrameBox, 0, 0, 7, 2},
        {"left and top, one-line", true, false, LeftTop, efsFrameSingle, 0, 0, 8, 2},
        {"left and top, two-line", true, false, LeftTop, efsFrameSunken, 0, 0, 9, 3},
        {"extra offsets", true, false, Bottom, efsFrameBox, 4, -1, 11, 1},
        {"focused state: the focused borders (all four, box)", true, true, Bottom, efsFrameBox, 0, 0, 8, 2},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(K.Name);
        C->Frame()->SetEnabled(K.Enabled);
        C->Frame()->SetNonFocusBorders(K.NonFocusBorders);
        C->Frame()->SetNonFocusStyle(K.NonFocusStyle);
        C->Frame()->SetNonFocusTextOffsetX(K.OffsetX);
        C->Frame()->SetNonFocusTextOffsetY(K.OffsetY);
        if (K.Focused)
            C->SetFocus();
        else
            F.Other->SetFocus();
        Pump();
        ASSERT_EQ(C->ComboFocused(), K.Focused);
        int X = 5 + 2, Y = 2;
        C->ApplyFrameTextOffsets(X, Y);
        EXPECT_EQ(X, K.WantX);
        EXPECT_EQ(Y, K.WantY);
    }
}

TEST(nvCombo, PressOutsideClosesPressOnTheComboDoesNot)
{
    TComboFixture F;
    TTestCombo* C = F.Combo;
    C->DropDown();
    // A press on the combo's own edit is posted to the list but keeps it open.
    const QPoint OnEdit = Center(C->LineEdit());
    SendMouse(C->LineEdit(), QEvent::MouseButtonPress, OnEdit);
    SendMouse(C->LineEdit(), QEvent::MouseButtonRelease, OnEdit);
    Pump();
    EXPECT_TRUE(C->IsDroppedDown()) << ::testing::PrintToString(C->Log);
    // A press elsewhere on the form: the list gets it (outside its client
    // area, at -1 for negative coordinates) and closes without accepting.
    const QPoint OnForm = F.Form->mapToGlobal(QPoint(5, 200));
    C->List->ItemIndex = 2;
    SendMouse(F.Form.get(), QEvent::MouseButtonPress, OnForm);
    Pump();
    EXPECT_FALSE(C->IsDroppedDown());
    const QPoint InList = C->List->mapFromGlobal(OnForm);
    const String Expected = "list down -1," + std::to_string(InList.y());
    EXPECT_NE(std::find(C->Log.begin(), C->Log.end(), Expected), C->Log.end()) << Expected;
    EXPECT_EQ(C->Log.back(), "closeup");
    EXPECT_EQ(C->Text(), "") << "nothing chosen";
}

TEST(nvCombo, FocusLossAndFormMoveCloseAccepting)
{
    TComboFixture F;
    TTestCombo* C = F.Combo;
    C->DropDown();
    C->List->ItemIndex = 1;
    F.Other->SetFocus();
    Pump();
    EXPECT_FALSE(C->IsDroppedDown());
    EXPECT_EQ(C->Log.back(), "closeup accept");
    EXPECT_EQ(C->Text(), "Beta");

    C->SetFocus();
    Pump();
    C->DropDown();
    ASSERT_TRUE(C->IsDroppedDown());
    F.Form->SetLeft(F.Form->Left() + 10);
    Pump();
    EXPECT_FALSE(C->IsDroppedDown()) << "moving the form closes the list";
    EXPECT_EQ(C->Log.back(), "closeup accept");
}

TEST(nvCombo, ButtonPressDropsDownAndReleaseOverAnItemChooses)
{
    TComboFixture F;
    TTestCombo* C = F.Combo;
    F.Other->SetFocus();
    Pump();
    // Press on the button: the combo takes the focus and drops down once the
    // press has been handled (a posted message).
    const QPoint OnButton = Center(C->Button());
    SendMouse(C->Button(), QEvent::MouseButtonPress, OnButton);
    EXPECT_TRUE(C->ComboFocused());
    EXPECT_FALSE(C->IsDroppedDown()) << "not yet: the message is posted";
    Pump();
    ASSERT_TRUE(C->IsDroppedDown());
    // The press goes on: moves and the release reach the list over it.
    const QPoint OverGamma = C->List->mapToGlobal(QPoint(10, 2 * TTestDropList::ItemHeight + 4));
    SendMouse(C->Button(), QEvent::MouseMove, OverGamma);
    EXPECT_EQ(C->List->ItemIndex, 2);
    SendMouse(C->Button(), QEvent::MouseButtonRelease, OverGamma);
    Pump();
    EXPECT_FALSE(C->IsDroppedDown());
    EXPECT_EQ(C->Text(), "Gamma");
    EXPECT_EQ(C->Button()->ButtonState(), bsUp);

    // A press on the open button closes accepting.
    SendMouse(C->Button(), QEvent::MouseButtonPress, OnButton);
    Pump();
    ASSERT_TRUE(C->IsDroppedDown());
    SendMouse(C->Button(), QEvent::MouseButtonRelease, OnButton);
    SendMouse(C->Button(), QEvent::MouseButtonPress, OnButton);
    EXPECT_FALSE(C->IsDroppedDown());
    SendMouse(C->Button(), QEvent::MouseButtonRelease, OnButton);
    Pump();
    EXPECT_FALSE(C->IsDroppedDown());
}

TEST(nvCombo, DropDownListStyle)
{
    TComboFixture F;
    TTestCombo* C = F.Combo;
    C->SetText("Alpha");
    C->SetStyle(nvComboTypes::csDropDownList);
    EXPECT_TRUE(C->LineEdit()->isReadOnly());
    SendKey(C, Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_EQ(C->Text(), "Alpha") << "the text cannot be typed";
    // A click on the text opens the list.
    const QPoint OnEdit = Center(C->LineEdit());
    SendMouse(C->LineEdit(), QEvent::MouseButtonPress, OnEdit);
    Pump();
    EXPECT_TRUE(C->IsDroppedDown());
    // ... moving into the list and releasing over an item chooses it.
    const QPoint OverBeta = C->List->mapToGlobal(QPoint(10, TTestDropList::ItemHeight + 4));
    SendMouse(C->LineEdit(), QEvent::MouseMove, OverBeta);
    SendMouse(C->LineEdit(), QEvent::MouseButtonRelease, OverBeta);
    Pump();
    EXPECT_FALSE(C->IsDroppedDown());
    EXPECT_EQ(C->Text(), "Beta");
    EXPECT_TRUE(C->LineEdit()->isReadOnly()) << "back in list mode";
    C->SetStyle(nvComboTypes::csDropDown);
    EXPECT_FALSE(C->LineEdit()->isReadOnly());
    SendKey(C, Qt::Key_End);
    SendKey(C, Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_EQ(C->Text(), "Betax");
}

TEST(nvCombo, ReadOnlySwallowsTyping)
{
    TComboFixture F;
    TTestCombo* C = F.Combo;
    C->SetText("abc");
    C->SetReadOnly(true);
    SendKey(C, Qt::Key_End);
    SendKey(C, Qt::Key_D, Qt::NoModifier, "d");
    SendKey(C, Qt::Key_Backspace, Qt::NoModifier, "\b");
    EXPECT_EQ(C->Text(), "abc");
    C->SetReadOnly(false);
    SendKey(C, Qt::Key_D, Qt::NoModifier, "d");
    EXPECT_EQ(C->Text(), "abcd");
}

// ---------------------------------------------------------------- the drop-down button's faces

TEST(nvCombo, DropDownButtonFaces)
{
    auto Form = NewForm();
    Form->SetColor(clAqua);
    TTestCombo* Arrow = NewCombo(Form.get(), 20, 20);
    TTestCombo* Flat = NewCombo(Form.get(), 20, 60);
    TTestCombo* Dots = NewCombo(Form.get(), 20, 100);
    Flat->ButtonEffects()->SetFlat(true);
    Dots->SetButtonStyle(cbsEllipsis);
    ShowForm(Form.get());
    Form->SetActiveControl(nullptr);

    // The arrow: a raised frame control with a black arrow in its middle.
    QImage B = Shot(Arrow->Button());
    DumpPng(B, "combo-button-arrow");
    const int W = B.width(), H = B.height();
    EXPECT_EQ(PixelColor(B, W - 1, H / 2), ColorToRGB(cl3DDkShadow)) << "raised: dark outer right line";
    EXPECT_EQ(PixelColor(B, W / 2, H / 2), clBlack) << "the arrow";
    EXPECT_EQ(PixelColor(B, 3, 3), ColorToRGB(clBtnFace));

    // Flat: the small glyph and no edge until the mouse is over it.
    ASSERT_TRUE(Flat->Button()->HasGlyphImage());
    auto OnForm = [&Form](TControl* Control) {
        const QPoint P = Control->mapTo(Form.get(), QPoint(0, 0));
        return Shot(Form.get()).copy(P.x(), P.y(), Control->width(), Control->height());
    };
    B = OnForm(Flat->Button());
    DumpPng(B, "combo-button-flat");
    DumpPng(Shot(Form.get()), "combo-buttons-form");
    EXPECT_EQ(PixelColor(B, W - 1, H / 2), ColorToRGB(clWindow)) << "no edge";
    int Black = 0;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            Black += PixelColor(B, X, Y) == clBlack;
    EXPECT_EQ(Black, 7 + 5 + 3 + 1) << "the 10 x 4 drop-down glyph";
    Flat->Button()->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(Flat->Button()->MouseInside());
    B = OnForm(Flat->Button());
    EXPECT_EQ(PixelColor(B, W - 1, H / 2), ColorToRGB(cl3DDkShadow)) << "hovered: the face and its edge";
    Flat->Button()->Perform(CM_MOUSELEAVE, 0, 0);

    // The ellipsis: three black squares of side (width + 1) div 8 on the middle line.
    B = Shot(Dots->Button());
    DumpPng(B, "combo-button-dots");
    const int S = std::max(1, (W + 1) / 8);
    const int Y = (H + 1) / 2 - 1;
    for (int X : {W / 2 - 1 - 2 * S, W / 2 - 1, W / 2 - 1 + 2 * S}) {
        EXPECT_EQ(PixelColor(B, X, Y), clBlack) << X;
        EXPECT_EQ(PixelColor(B, X + S - 1, Y + S - 1), clBlack) << X;
        EXPECT_NE(PixelColor(B, X + S, Y + S), clBlack) << X;
    }

    // Pressed: the arrow face is pushed (the arrow moves one pixel right and down).
    Arrow->Button()->Perform(WM_LBUTTONDOWN, ssLeft, PointToLParam(3, 3));
    EXPECT_EQ(Arrow->Button()->ButtonState(), bsDown);
    const QImage Down = Shot(Arrow->Button());
    EXPECT_EQ(PixelColor(Down, 0, H / 2), ColorToRGB(clBtnShadow)) << "sunken while down";
    Pump();
    if (Arrow->IsDroppedDown())
        Arrow->CloseUp(false);
}

// ---------------------------------------------------------------- data-aware behaviour

namespace {

struct TDataFixture : TComboFixture {
    TClientDataSet* DS = nullptr;
    TDataSource* Source = nullptr;
    TDataFixture()
    {
        DS = new TClientDataSet(Form.get());
        DS->FieldDefs()->Add("Name", ftString, 12);
        DS->FieldDefs()->Add("Qty", ftInteger);
        DS->CreateDataSet();
        DS->AppendRecord({"Tea", 1});
        DS->AppendRecord({"Coffee", 2});
        DS->First();
        Source = new TDataSource(Form.get());
        Source->SetDataSet(DS);
        Combo->SetDataSource(Source);
        Combo->SetDataField("Name");
    }
};

} // namespace

TEST(nvCombo, DataAwareFollowsRecordsAndWritesBack)
{
    TDataFixture F;
    TTestCombo* C = F.Combo;
    EXPECT_EQ(C->Text(), "Tea");
    EXPECT_EQ(C->MaxLength(), 12) << "a string field sets MaxLength";
    EXPECT_EQ(C->Perform(CM_GETDATALINK), reinterpret_cast<intptr_t>(C->DataLink()));
    EXPECT_TRUE(C->LineEdit()->isReadOnly()) << "read-only until the dataset edits";
    F.DS->Next();
    EXPECT_EQ(C->Text(), "Coffee") << "follows record moves";

    // Typing puts the dataset into edit mode; posting writes the text back.
    SendKey(C, Qt::Key_End);
    SendKey(C, Qt::Key_S, Qt::NoModifier, "s");
    EXPECT_EQ(F.DS->State(), dsEdit);
    EXPECT_EQ(C->Text(), "Coffees");
    F.DS->Post();
    EXPECT_EQ(F.DS->FieldByName("Name")->AsString(), "Coffees");

    // A choice from the list is written back as well.
    C->DropDown();
    C->List->ItemIndex = 3;
    C->CloseUp(true);
    EXPECT_EQ(F.DS->State(), dsEdit);
    F.DS->Post();
    EXPECT_EQ(F.DS->FieldByName("Name")->AsString(), "Delta");

    // Escape while modified puts the field's value back.
    SendKey(C, Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_EQ(C->Text(), "Deltax");
    SendKey(C, Qt::Key_Escape);
    EXPECT_EQ(C->Text(), "Delta");
}

TEST(nvCombo, DataAwareReadOnly)
{
    TDataFixture F;
    TTestCombo* C = F.Combo;
    F.Source->SetAutoEdit(false);
    EXPECT_FALSE(C->CanEdit()) << "no auto-edit and the dataset browses";
    SendKey(C, Qt::Key_End);
    SendKey(C, Qt::Key_Z, Qt::NoModifier, "z");
    EXPECT_EQ(C->Text(), "Tea");
    EXPECT_EQ(F.DS->State(), dsBrowse);
    F.Source->SetAutoEdit(true);
    C->DataLink()->SetReadOnly(true);
    EXPECT_TRUE(C->IsReadOnly());
    SendKey(C, Qt::Key_Z, Qt::NoModifier, "z");
    EXPECT_EQ(C->Text(), "Tea");
    C->DataLink()->SetReadOnly(false);
    SendKey(C, Qt::Key_Z, Qt::NoModifier, "z");
    EXPECT_EQ(C->Text(), "Teaz");
}

// ---------------------------------------------------------------- stored forms

TEST(nvCombo, StoredFormRoundTrip)
{
    const String Text = "object ComboForm: TComboTestForm\n"
                        "  object Ctl: TFrameController\n"
                        "    Frame.Enabled = True\n"
                        "    Frame.NonFocusColor = clYellow\n"
                        "  end\n"
                        "  object Combo1: TTestCombo\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Width = 120\n"
                        "    Height = 21\n"
                        "    AlignmentVertical = nvavCenter\n"
                        "    ButtonEffects.Flat = True\n"
                        "    ButtonStyle = cbsEllipsis\n"
                        "    DropDownCount = 5\n"
                        "    Frame.Enabled = True\n"
                        "    Frame.NonFocusBorders = [efTopBorder, efBottomBorder]\n"
                        "    Frame.FocusStyle = efsFrameSunken\n"
                        "    Style = csDropDownList\n"
                        "    Text = 'Beta'\n"
                        "    OnCloseUp = ComboCloseUp\n"
                        "    OnDropDown = ComboDropDown\n"
                        "  end\n"
                        "  object Combo2: TTestCombo\n"
                        "    Left = 8\n"
                        "    Top = 40\n"
                        "    Width = 120\n"
                        "    Height = 21\n"
                        "    Controller = Ctl\n"
                        "  end\n"
                        "end\n";
    auto Form = NewForm();
    ReadComponentFromText(Text, Form.get());
    auto* C = dynamic_cast<TTestCombo*>(Form->FindComponent("Combo1"));
    auto* C2 = dynamic_cast<TTestCombo*>(Form->FindComponent("Combo2"));
    ASSERT_NE(C, nullptr);
    ASSERT_NE(C2, nullptr);
    EXPECT_EQ(C->AlignmentVertical(), nvavCenter);
    EXPECT_TRUE(C->ButtonEffects()->Flat());
    EXPECT_TRUE(C->Button()->Flat());
    EXPECT_EQ(C->ButtonStyle(), cbsEllipsis);
    EXPECT_EQ(C->DropDownCount(), 5);
    EXPECT_EQ(C->Frame()->NonFocusBorders(), TnvEditFrameEnabledSet(efTopBorder) | efBottomBorder);
    EXPECT_EQ(C->Frame()->FocusStyle(), efsFrameSunken);
    EXPECT_EQ(C->Style(), nvComboTypes::csDropDownList);
    EXPECT_TRUE(C->LineEdit()->isReadOnly()) << "loaded into list mode";
    EXPECT_EQ(C->Text(), "Beta");
    EXPECT_TRUE(C2->Frame()->Enabled()) << "the controller's frame";
    EXPECT_EQ(C2->Frame()->NonFocusColor(), clYellow);
    C->SetFocus();
    C->DropDown();
    C->CloseUp(false);
    EXPECT_EQ(Form->Calls, (std::vector<String>{"dropdown", "closeup"}));

    const String Written = ComponentToText(Form.get());
    for (const char* Line : {"ButtonStyle = cbsEllipsis", "Frame.NonFocusBorders = [efTopBorder, efBottomBorder]",
                             "Style = csDropDownList", "ButtonEffects.Flat = True", "OnCloseUp = ComboCloseUp",
                             "Controller = Ctl", "AlignmentVertical = nvavCenter"})
        EXPECT_NE(Written.find(Line), String::npos) << Line << "\n" << Written;
    for (const char* Default : {"ButtonGlyph", "ShowButton", "ButtonWidth", "Frame.FocusBorders", "AllowClearKey"})
        EXPECT_EQ(Written.find(Default), String::npos) << Default << " is at its default\n" << Written;
    auto Back = NewForm();
    ReadComponentFromText(Written, Back.get());
    EXPECT_EQ(ComponentToText(Back.get()), Written);
}

TEST(nvCombo, CustomGlyphIsStoredOnlyWithTheCustomStyle)
{
    auto Form = NewForm();
    Form->SetName("ComboForm");
    TTestCombo* C = NewCombo(Form.get());
    C->SetName("Combo1");
    TBitmap Glyph;
    Glyph.SetSize(8, 8);
    FillSolidRect(Glyph.Canvas(), TRect(0, 0, 8, 8), clRed);
    C->SetButtonGlyph(&Glyph);
    EXPECT_EQ(ComponentToText(Form.get()).find("ButtonGlyph"), String::npos);
    C->SetButtonStyle(cbsCustom);
    EXPECT_TRUE(C->Button()->HasGlyphImage()) << "the custom glyph is the button's";
    const String Written = ComponentToText(Form.get());
    EXPECT_NE(Written.find("ButtonGlyph.Data"), String::npos) << Written;
}

TEST(nvCombo, BadStoredValuesNameTheProperty)
{
    const String Text = "object ComboForm: TComboTestForm\n"
                        "  object Combo1: TTestCombo\n"
                        "    Frame.FocusStyle = efsFrameWavy\n"
                        "  end\n"
                        "end\n";
    auto Form = NewForm();
    try {
        ReadComponentFromText(Text, Form.get());
        ADD_FAILURE() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("Combo1.Frame.FocusStyle"), String::npos) << E.Message();
    }
    EXPECT_EQ(Form->FindComponent("Combo1"), nullptr);
}

// ---------------------------------------------------------------- more of the protocol

TEST(nvCombo, RegisteredMessageDropsDown)
{
    EXPECT_GE(NvComboDropDownMessage(), 0xC000u);
    EXPECT_EQ(NvComboDropDownMessage(), RegisterWindowMessage("nvcomboDropDownMessage"));
    TComboFixture F;
    F.Combo->Perform(NvComboDropDownMessage());
    EXPECT_TRUE(F.Combo->IsDroppedDown());
    F.Combo->Perform(NvComboDropDownMessage());
    EXPECT_EQ(std::count(F.Combo->Log.begin(), F.Combo->Log.end(), String("dropdown")), 1) << "once";
    F.Combo->CloseUp(false);
}

TEST(nvCombo, DestroyingAnOpenComboRemovesTheHook)
{
    TComboFixture F;
    F.Combo->DropDown();
    ASSERT_TRUE(NvComboMouseHookInstalled());
    delete F.Combo;
    EXPECT_FALSE(NvComboMouseHookInstalled());
    // The application's mouse events go on without it.
    SendMouse(F.Form.get(), QEvent::MouseButtonPress, F.Form->mapToGlobal(QPoint(5, 5)));
    SendMouse(F.Form.get(), QEvent::MouseButtonRelease, F.Form->mapToGlobal(QPoint(5, 5)));
    Pump();
}

TEST(nvCombo, MouseEnterAndLeaveEventsSwallowExceptions)
{
    TComboFixture F;
    TTestCombo* C = F.Combo;
    std::vector<String> Calls;
    C->OnMouseEnter = [&Calls](TObject*) {
        Calls.push_back("enter");
        throw EInvalidOperation("enter failed");
    };
    C->OnMouseLeave = [&Calls](TObject*) { Calls.push_back("leave"); };
    EXPECT_NO_THROW(C->Perform(CM_MOUSEENTER, 0, 0));
    EXPECT_NO_THROW(C->Perform(CM_MOUSELEAVE, 0, 0));
    EXPECT_EQ(Calls, (std::vector<String>{"enter", "leave"}));
}

TEST(nvCombo, TransparentLookComesBackOnLeaving)
{
    TComboFixture F;
    TTestCombo* C = F.Combo;
    F.Form->SetColor(clAqua);
    C->Frame()->SetEnabled(true);
    C->Frame()->SetTransparent(true);
    EXPECT_FALSE(C->PaintsOwnText()) << "focused: the edit paints, opaque";
    F.Other->SetFocus();
    Pump();
    EXPECT_TRUE(C->Frame()->TransparentNow());
    const QImage Img = Shot(F.Form.get());
    const QPoint P = C->mapTo(F.Form.get(), QPoint(40, 8));
    EXPECT_EQ(PixelColor(Img, P.x(), P.y()), clAqua);
}

TEST(nvCombo, AFailedUpdateOnExitKeepsTheFocus)
{
    auto Form = NewForm();
    TTestCombo* C = NewCombo(Form.get());
    auto* Other = NewEdit(Form.get(), 250, 250);
    auto* DS = new TClientDataSet(Form.get());
    DS->FieldDefs()->Add("Qty", ftInteger);
    DS->CreateDataSet();
    DS->AppendRecord({5});
    auto* Source = new TDataSource(Form.get());
    Source->SetDataSet(DS);
    C->SetDataSource(Source);
    C->SetDataField("Qty");
    ShowForm(Form.get());
    C->SetFocus();
    Pump();
    SendKey(C, Qt::Key_End);
    SendKey(C, Qt::Key_X, Qt::NoModifier, "x");
    ASSERT_EQ(C->Text(), "5x");
    EXPECT_THROW(Other->SetFocus(), EDatabaseError) << "the error propagates";
    Pump();
    EXPECT_TRUE(C->ComboFocused()) << "the focus returns to the combo";
    EXPECT_EQ(C->SelLength(), 2) << "with its text selected";
    EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 5);
}

TEST(nvCombo, ThemedButtonAndDisableThemes)
{
    auto Form = NewForm();
    TTestCombo* C = NewCombo(Form.get());
    ShowForm(Form.get());
    const QImage Classic = Shot(C->Button());
    SetThemeServicesEnabled(true);
    const QImage Themed = Shot(C->Button());
    C->SetDisableThemes(true);
    const QImage Disabled = Shot(C->Button());
    SetThemeServicesEnabled(false);
    EXPECT_NE(Themed, Classic) << "the themed look draws through the style";
    EXPECT_EQ(Disabled, Classic) << "DisableThemes keeps the classic look";
}
