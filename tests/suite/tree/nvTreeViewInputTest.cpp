// The tree view's mouse and keyboard input driven by real Qt input events
// sent to the control: check boxes and radio buttons through their cycle,
// multi-selection with its anchor (Shift and Ctrl ranges, ranges across
// parents), the raised expand buttons that follow the mouse until the
// release, and web addresses opened through the desktop's handler (replaced
// by the test).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

#include <functional>

#include "ImageList.h"
#include "StdCtrls.h"
#include "TestDump.h"
#include "nvTreeTestSupport.h"

using namespace nvtree_test;

namespace {

// A tree without a border (widget and client coordinates agree) that sends
// real mouse and key events to the widget.
struct TInputFixture : TTreeFixture {
    explicit TInputFixture(int W = 200, int H = 160) : TTreeFixture(W, H)
    {
        Tree->SetBorderStyle(bsNone);
        Tree->LogEvents();
        Tree->OnMouseDown = [L = Tree->LogPtr](TObject*, TnvTreeNode* N, TMouseButton B, TShiftState, int, int) {
            L->push_back(String(B == mbLeft ? "down " : "rdown ") + (N ? N->Text() : String("nil")));
        };
        Tree->OnMouseUp = [L = Tree->LogPtr](TObject*, TnvTreeNode* N, TMouseButton, TShiftState, int, int) {
            L->push_back("up " + (N ? N->Text() : String("nil")));
        };
    }
    void Mouse(QEvent::Type Type, QPoint P, Qt::MouseButton Button, Qt::MouseButtons Buttons,
               Qt::KeyboardModifiers Mods = Qt::NoModifier)
    {
        QMouseEvent E(Type, QPointF(P), QPointF(Tree->mapToGlobal(P)), Button, Buttons, Mods);
        QApplication::sendEvent(Tree, &E);
    }
    void Press(QPoint P, Qt::KeyboardModifiers Mods = Qt::NoModifier, Qt::MouseButton B = Qt::LeftButton)
    {
        Mouse(QEvent::MouseButtonPress, P, B, B, Mods);
    }
    void Release(QPoint P, Qt::KeyboardModifiers Mods = Qt::NoModifier, Qt::MouseButton B = Qt::LeftButton)
    {
        Mouse(QEvent::MouseButtonRelease, P, B, Qt::NoButton, Mods);
    }
    void Move(QPoint P, Qt::MouseButtons Buttons = Qt::LeftButton)
    {
        Mouse(QEvent::MouseMove, P, Qt::NoButton, Buttons);
    }
    void Click(QPoint P, Qt::KeyboardModifiers Mods = Qt::NoModifier, Qt::MouseButton B = Qt::LeftButton)
    {
        Press(P, Mods, B);
        Release(P, Mods, B);
    }
    void Key(int QtKey, Qt::KeyboardModifiers Mods = Qt::NoModifier)
    {
        QKeyEvent Down(QEvent::KeyPress, QtKey, Mods);
        QApplication::sendEvent(Tree, &Down);
        QKeyEvent Up(QEvent::KeyRelease, QtKey, Mods);
        QApplication::sendEvent(Tree, &Up);
    }
    TnvTreeNode* Node(const String& Name) { return Find(Items(), Name); }
    // The middle of a node's text.
    QPoint Label(const String& Name)
    {
        const TRect R = Node(Name)->DisplayRect(true);
        return QPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    }
    // The first point of the node's row left of its text with the given hit.
    QPoint PointWith(const String& Name, TnvHitTest Hit)
    {
        const TRect R = Node(Name)->DisplayRect(true);
        const int Y = (R.Top + R.Bottom) / 2;
        for (int X = 0; X < R.Left; ++X)
            if (Tree->GetHitTestInfoAt(X, Y) & Hit)
                return QPoint(X + 2, Y);
        ADD_FAILURE() << "no such point in the row of " << Name;
        return QPoint(-100, -100);
    }
    String MultiSelection() const
    {
        String S;
        for (TnvTreeNode* N : Tree->MultiSelection())
            S += (S.empty() ? "" : ",") + N->Text();
        return S;
    }
};

// A node's marks: "-" unchecked, "x" checked, "g" checked and grayed.
String Marks(TnvTreeNode* N)
{
    return N->Checked() ? (N->Grayed() ? "g" : "x") : "-";
}

} // namespace

// Clicks on the state icon and the space key, step by step through the
// cycle of each kind of node.
TEST(nvTreeViewInputEvents, CheckBoxAndRadioCycles)
{
    struct TCase {
        const char* Name;
        TnvTreeViewOptions Extra;
        bool ReadOnly;
        const char* Keys; // c: click on the state icon, t: click on the text, s: space
        const char* Expected; // marks of Box,R1,R2 after each step
    };
    const std::vector<TCase> Cases = {
        {"two-state box by clicks", {}, false, "ccc", "x--|---|x--"},
        {"three states by clicks", tvo3StateCheckbox, false, "cccc", "x--|g--|---|x--"},
        {"three states by space", tvo3StateCheckbox, false, "sss", "x--|g--|---"},
        {"text clicks do not toggle", {}, false, "tt", "---|---"},
        {"read-only keeps the marks", tvo3StateCheckbox, true, "csc", "---|---|---"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TInputFixture F;
        Build(F.Items(), "Box,R1,R2");
        F.Node("Box")->SetCheckboxType(nvctCheckbox);
        F.Tree->SetOptions(F.Tree->Options() | C.Extra);
        F.Tree->SetReadOnly(C.ReadOnly);
        F.Node("Box")->SetSelected(true);
        String Got;
        for (const char* K = C.Keys; *K; ++K) {
            if (*K == 'c')
                F.Click(F.PointWith("Box", nvhtOnStateIcon));
            else if (*K == 't')
                F.Click(F.Label("Box"));
            else
                F.Key(Qt::Key_Space);
            Got += (Got.empty() ? "" : "|") + Marks(F.Node("Box")) + Marks(F.Node("R1")) + Marks(F.Node("R2"));
        }
        EXPECT_EQ(Got, C.Expected);
    }
    // Radio buttons: a click checks the clicked one and clears its siblings;
    // a second click keeps it checked.
    TInputFixture F;
    Build(F.Items(), "R1,R2,R3");
    for (const char* N : {"R1", "R2", "R3"})
        F.Node(N)->SetCheckboxType(nvctRadioGroup);
    F.Node("R1")->SetChecked(true);
    F.Tree->TakeLog();
    F.Click(F.PointWith("R3", nvhtOnStateIcon));
    EXPECT_EQ(Marks(F.Node("R1")) + Marks(F.Node("R2")) + Marks(F.Node("R3")), "--x");
    F.Click(F.PointWith("R3", nvhtOnStateIcon));
    EXPECT_EQ(Marks(F.Node("R1")) + Marks(F.Node("R2")) + Marks(F.Node("R3")), "--x");
    const String Log = F.Tree->TakeLog();
    EXPECT_NE(Log.find("down R3"), String::npos) << Log;
    EXPECT_NE(Log.find("toggle R3"), String::npos) << Log;
    EXPECT_LT(Log.find("down R3"), Log.find("up R3")) << Log;
}

// Sequences of clicks with Shift and Ctrl: the multi-selection (in the order
// it was built), the anchor and the native selection after each sequence.
TEST(nvTreeViewInputEvents, MultiSelectionRangesAndAnchor)
{
    struct TCase {
        const char* Name;
        bool AutoUnselect;
        int Level;
        const char* Clicks; // "A2 +A4 ^B1": + Shift, ^ Ctrl
        const char* Expected; // multi-selection / anchor / selected
    };
    const std::vector<TCase> Cases = {
        {"single clicks replace", true, 1, "A2 A3", "A3/A3/A3"},
        {"a second click on the same node keeps it", true, 1, "A2 A2", "A2/A2/A2"},
        {"ctrl adds", true, 1, "A2 ^A4 ^A1", "A2,A4,A1/A1/A1"},
        {"ctrl on a selected node removes it", true, 1, "A2 ^A4 ^A2", "A4/A2/A2"},
        {"shift range downwards", true, 1, "A2 +A4", "A2,A3,A4/A2/A4"},
        {"shift range upwards", true, 1, "A4 +A1", "A4,A1,A2,A3/A4/A1"},
        {"shift ranges keep the anchor", true, 1, "A2 +A4 +A1", "A2,A1/A2/A1"},
        {"shift across parents selects nothing", true, 1, "A2 +B1", "/A2/B1"},
        {"anchor moves to the other parent", true, 1, "A2 +B1 B1 +B2", "B1,B2/B1/B2"},
        {"no auto-unselect: plain clicks do not select", false, 1, "A2 A3", "/A3/A3"},
        {"no auto-unselect: ctrl and shift extend", false, 1, "^A1 ^A2 +A4", "A1,A2,A3,A4/A2/A4"},
        {"no auto-unselect: upward range adds the anchor", false, 1, "^A3 +A1", "A3,A1,A2/A3/A1"},
        {"top level only: children are not multi-selected", true, 0, "A2 ^A3", "/A3/A3"},
        {"every level", true, -1, "A ^A2 ^B", "A,A2,B/B/B"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TInputFixture F(200, 200);
        Build(F.Items(), "A(A1,A2,A3,A4),B(B1,B2)");
        F.Tree->FullExpand();
        TnvTVMultiSelectAttributes* M = F.Tree->MultiSelectAttributes();
        M->SetEnabled(true);
        M->SetMultiSelectCheckbox(false);
        M->SetAutoUnselect(C.AutoUnselect);
        M->SetMultiSelectLevel(C.Level);
        String Clicks = C.Clicks;
        size_t Pos = 0;
        while (Pos < Clicks.size()) {
            size_t End = Clicks.find(' ', Pos);
            if (End == String::npos)
                End = Clicks.size();
            String Name = Clicks.substr(Pos, End - Pos);
            Qt::KeyboardModifiers Mods;
            if (Name[0] == '+')
                Mods = Qt::ShiftModifier;
            else if (Name[0] == '^')
                Mods = Qt::ControlModifier;
            if (Mods)
                Name = Name.substr(1);
            F.Click(F.Label(Name), Mods);
            Pos = End + 1;
        }
        TnvTreeNode* A = F.Tree->RangeAnchor();
        TnvTreeNode* S = F.Tree->Selected();
        EXPECT_EQ(F.MultiSelection() + "/" + (A ? A->Text() : "") + "/" + (S ? S->Text() : ""), C.Expected);
        for (TnvTreeNode* N = F.Items()->GetFirstNode(); N; N = N->GetNext()) {
            const bool Listed = std::find(F.Tree->MultiSelection().begin(), F.Tree->MultiSelection().end(), N) !=
                                F.Tree->MultiSelection().end();
            EXPECT_EQ(N->MultiSelected(), Listed) << N->Text();
        }
    }
}

// With the multi-selection check box the check mark follows clicks on the
// text; Ctrl+Space inverts the selected node without the check box; clicks
// beside the text select only with row selection.
TEST(nvTreeViewInputEvents, MultiSelectionCheckMarksKeysAndRows)
{
    TInputFixture F;
    Build(F.Items(), "A,B,C");
    TnvTVMultiSelectAttributes* M = F.Tree->MultiSelectAttributes();
    M->SetEnabled(true);
    F.Click(F.Label("A"));
    F.Click(F.Label("C"), Qt::ShiftModifier);
    EXPECT_EQ(F.MultiSelection(), "A,B,C");
    EXPECT_EQ(Marks(F.Node("A")) + Marks(F.Node("B")) + Marks(F.Node("C")), "xxx");
    F.Click(F.Label("B"));
    EXPECT_EQ(F.MultiSelection(), "B");
    EXPECT_EQ(Marks(F.Node("A")) + Marks(F.Node("B")) + Marks(F.Node("C")), "-x-");
    F.Click(F.Label("C"), Qt::ControlModifier);
    DumpPng(F.Tree->Render(), "tree_input_multiselect_checkboxes");
    F.Click(F.Label("B"));

    // Without the check box: Ctrl+Space inverts, a plain space does nothing.
    M->SetMultiSelectCheckbox(false);
    F.Tree->UnselectAll(nullptr);
    F.Node("C")->SetSelected(true);
    F.Key(Qt::Key_Space);
    EXPECT_EQ(F.MultiSelection(), "");
    F.Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(F.MultiSelection(), "C");
    F.Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(F.MultiSelection(), "");

    // Right of the text: only row selection multi-selects there.
    const QPoint Right(F.Node("A")->DisplayRect(true).Right + 30, F.Label("A").y());
    F.Click(Right);
    EXPECT_EQ(F.MultiSelection(), "");
    F.Tree->SetOptions(F.Tree->Options() | tvoRowSelect);
    F.Tree->Render();
    F.Click(Right);
    EXPECT_EQ(F.MultiSelection(), "A");
    F.Click(F.Label("B"), Qt::ControlModifier);
    F.Click(F.Label("C"), Qt::ControlModifier);
    DumpPng(F.Tree->Render(), "tree_input_multiselect");
}

// A raised expand button follows the mouse from the press until the release:
// pressed while the mouse is on it, toggling the node only for a release on
// it; the press never reaches the mouse-down processing.
TEST(nvTreeViewInputEvents, RaisedExpandButtonTracksTheMouse)
{
    struct TCase {
        const char* Name;
        const char* Moves;    // b: on the button, o: outside the control, l: on the label, n: next row's button
        const char* Release;  // where the button goes up
        const char* Pressed;  // the pressed flag after the press and each move
        bool Expanded;
    };
    const std::vector<TCase> Cases = {
        {"click", "", "b", "1", true},
        {"released outside", "o", "o", "10", false},
        {"out and back", "obb", "b", "1011", true},
        {"released on the label", "l", "l", "10", false},
        {"released on another row's button", "n", "n", "10", false},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TInputFixture F;
        Build(F.Items(), "A(A1),B(B1)");
        F.Tree->SetOptions(F.Tree->Options() | tvoExpandButtons3D | tvoShowButtons | tvoShowRoot);
        auto Where = [&F](char K) {
            switch (K) {
            case 'b': return F.PointWith("A", nvhtOnButton);
            case 'n': return F.PointWith("B", nvhtOnButton);
            case 'l': return F.Label("A");
            default: return QPoint(400, 400);
            }
        };
        F.Tree->TakeLog();
        F.Press(Where('b'));
        EXPECT_EQ(F.Tree->PressedButtonNode(), F.Node("A"));
        String Pressed = F.Tree->ButtonPressed() ? "1" : "0";
        for (const char* K = C.Moves; *K; ++K) {
            F.Move(Where(*K));
            Pressed += F.Tree->ButtonPressed() ? "1" : "0";
        }
        EXPECT_EQ(Pressed, C.Pressed);
        EXPECT_FALSE(F.Node("A")->Expanded());
        F.Release(Where(*C.Release));
        EXPECT_EQ(F.Node("A")->Expanded(), C.Expanded);
        EXPECT_FALSE(F.Tree->ButtonPressed());
        EXPECT_EQ(F.Tree->PressedButtonNode(), nullptr);
        EXPECT_FALSE(F.Node("B")->Expanded());
        const String Log = F.Tree->TakeLog();
        EXPECT_EQ(Log.find("down"), String::npos) << Log;
        EXPECT_NE(Log.find("up"), String::npos) << Log;
        EXPECT_EQ(Log.find("expanded A") != String::npos, C.Expanded) << Log;
        if (C.Expanded) {
            EXPECT_LT(Log.find("expanded A"), Log.find("up")) << Log;
        }
        // After the release the control takes presses again.
        F.Click(F.Label("B"));
        EXPECT_EQ(F.Tree->Selected(), F.Node("B"));
    }
    // Collapsing with AutoExpand selects the node first; flat buttons toggle
    // on the press itself.
    TInputFixture F;
    Build(F.Items(), "A(A1),B(B1)");
    F.Tree->SetOptions(F.Tree->Options() | tvoExpandButtons3D | tvoShowButtons | tvoShowRoot);
    F.Tree->SetAutoExpand(true);
    F.Node("A")->Expand(false);
    F.Node("A1")->SetSelected(true);
    F.Tree->TakeLog();
    F.Click(F.PointWith("A", nvhtOnButton));
    EXPECT_FALSE(F.Node("A")->Expanded());
    EXPECT_EQ(F.Tree->Selected(), F.Node("A"));
    const String Log = F.Tree->TakeLog();
    EXPECT_LT(Log.find("change A"), Log.find("collapsed A")) << Log;
    F.Tree->SetOptions(F.Tree->Options() & ~tvoExpandButtons3D);
    F.Press(F.PointWith("B", nvhtOnButton));
    EXPECT_TRUE(F.Node("B")->Expanded());
    F.Release(QPoint(400, 400));
    EXPECT_TRUE(F.Node("B")->Expanded());
}

// A right click: the release comes from the control right after the press
// (the native control keeps the real one), and selects the node only with
// RightClickSelects.
TEST(nvTreeViewInputEvents, RightClicks)
{
    for (bool Selects : {false, true}) {
        SCOPED_TRACE(Selects);
        TInputFixture F;
        Build(F.Items(), "A,B");
        F.Tree->SetRightClickSelects(Selects);
        F.Node("A")->SetSelected(true);
        F.Tree->TakeLog();
        F.Press(F.Label("B"), Qt::NoModifier, Qt::RightButton);
        EXPECT_EQ(F.Tree->Selected(), F.Node(Selects ? "B" : "A"));
        F.Release(F.Label("B"), Qt::NoModifier, Qt::RightButton);
        const String Log = F.Tree->TakeLog();
        EXPECT_EQ(Log, Selects ? "changing B; change B; up B; rdown B" : "up B; rdown B");
    }
}

// A double click toggles the node's expansion only with tvoExpandOnDblClk;
// either way OnDblClick reports it.
TEST(nvTreeViewInputEvents, DoubleClicks)
{
    for (bool Expands : {false, true}) {
        SCOPED_TRACE(Expands);
        TInputFixture F;
        Build(F.Items(), "A(A1),B");
        const TnvTreeViewOptions O = F.Tree->Options() & ~tvoExpandOnDblClk;
        F.Tree->SetOptions(Expands ? O | tvoExpandOnDblClk : O);
        int Doubles = 0;
        F.Tree->OnDblClick = [&Doubles](TObject*, TnvTreeNode* N, TMouseButton, TShiftState S, int, int) {
            if (N && N->Text() == "A" && S.testFlag(ssDouble))
                ++Doubles;
        };
        const QPoint P = F.Label("A");
        F.Press(P);
        F.Release(P);
        F.Mouse(QEvent::MouseButtonDblClick, P, Qt::LeftButton, Qt::LeftButton);
        F.Release(P);
        EXPECT_EQ(F.Node("A")->Expanded(), Expands);
        EXPECT_EQ(Doubles, 1);
    }
}

namespace {
void SendKey(QWidget* W, int QtKey, const QString& Text = QString())
{
    QKeyEvent Down(QEvent::KeyPress, QtKey, Qt::NoModifier, Text);
    QApplication::sendEvent(W, &Down);
    QKeyEvent Up(QEvent::KeyRelease, QtKey, Qt::NoModifier, Text);
    QApplication::sendEvent(W, &Up);
}

void Type(QWidget* W, const QString& Text)
{
    for (QChar C : Text)
        if (C == '<')
            SendKey(W, Qt::Key_Left);
        else
            SendKey(W, C.isLetter() ? Qt::Key_A + (C.toUpper().unicode() - 'A') : C.unicode(), QString(C));
}
} // namespace

// In-place editing started with F2: typed text accepted with Return or
// dropped with Escape (after which the space key works on the node again);
// the editor's keys pass the control's key handling first.
TEST(nvTreeViewInputEvents, InPlaceEditingRoundTrip)
{
    struct TCase {
        const char* Name;
        const char* Typed;
        int EndKey;
        const char* Expected; // the node's text after the edit
        const char* Log;      // events of the edit
    };
    const std::vector<TCase> Cases = {
        {"accepted", "New", Qt::Key_Return, "New", "editing B; edited B New"},
        {"cancelled", "New", Qt::Key_Escape, "B", "editing B"},
        {"a key the control passes", "Nw<e", Qt::Key_Return, "New", "editing B; edited B New"},
        // Unconsumed, the second Left would put the caret first: "eNw".
        {"a key the control consumes", "Nw<<e", Qt::Key_Return, "New", "editing B; edited B New"},
        {"a character the control consumes", "N!ew", Qt::Key_Return, "New", "editing B; edited B New"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TInputFixture F;
        Build(F.Items(), "A,B,C");
        TnvTreeNode* B = F.Node("B");
        B->SetCheckboxType(nvctCheckbox);
        F.Tree->SetOptions(F.Tree->Options() | tvoEditText);
        F.Form->Show();
        B->SetSelected(true);
        std::vector<String> Log;
        F.Tree->OnEditing = [&Log](TObject*, TnvTreeNode* N, bool&) { Log.push_back("editing " + N->Text()); };
        F.Tree->OnEdited = [&Log](TObject*, TnvTreeNode* N, String& S) {
            Log.push_back("edited " + N->Text() + " " + S);
        };
        // The control takes the second Left key.
        int Lefts = 0;
        F.Tree->OnKeyDown = [&Lefts](TObject*, Word& Key, TShiftState) {
            if (Key == VK_LEFT && ++Lefts == 2)
                Key = 0;
        };
        F.Tree->OnKeyPress = [](TObject*, char& Key) {
            if (Key == '!')
                Key = 0;
        };
        F.Key(Qt::Key_F2);
        TEdit* Edit = F.Tree->EditControl();
        ASSERT_NE(Edit, nullptr);
        EXPECT_EQ(F.Tree->EditNode(), B);
        Type(Edit->InnerWidget(), C.Typed);
        EXPECT_EQ(Edit->Text(), C.Expected == String("B") ? String(C.Typed) : String(C.Expected));
        if (String(C.Name) == "accepted")
            DumpPng(F.Tree->grab().toImage(), "tree_input_editing");
        SendKey(Edit->InnerWidget(), C.EndKey);
        EXPECT_EQ(F.Tree->EditControl(), nullptr);
        EXPECT_EQ(F.Tree->EditNode(), nullptr);
        EXPECT_FALSE(F.Tree->IsEditing());
        EXPECT_EQ(B->Text(), C.Expected);
        String S;
        for (const String& L : Log)
            S += (S.empty() ? "" : "; ") + L;
        EXPECT_EQ(S, C.Log);
        // The space key toggles the node's check box again.
        F.Key(Qt::Key_Space);
        EXPECT_TRUE(B->Checked());
    }
    // Refused by OnEditing: no editor.
    TInputFixture F;
    Build(F.Items(), "A,B");
    F.Tree->SetOptions(F.Tree->Options() | tvoEditText);
    F.Node("B")->SetSelected(true);
    F.Tree->OnEditing = [](TObject*, TnvTreeNode*, bool& Allow) { Allow = false; };
    F.Key(Qt::Key_F2);
    EXPECT_EQ(F.Tree->EditControl(), nullptr);
    EXPECT_EQ(F.Tree->EditNode(), nullptr);
}

// A node without an image in a tree with images: a click on the label of the
// selected node starts editing at once, with the editor over the text.
TEST(nvTreeViewInputEvents, ImagelessNodeEditsOnClick)
{
    TInputFixture F;
    auto* Images = new TImageList(F.Form.get());
    Images->SetWidth(16);
    Images->SetHeight(16);
    QImage I(16, 16, QImage::Format_ARGB32);
    I.fill(Qt::red);
    Images->AddImage32(I);
    F.Tree->SetImages(Images);
    F.Tree->SetOptions(F.Tree->Options() | tvoEditText);
    Build(F.Items(), "A,B");
    F.Node("B")->SetImageIndex(-2);
    F.Form->Show();
    F.Click(F.Label("B"));
    EXPECT_EQ(F.Tree->EditControl(), nullptr);
    F.Click(F.Label("B"));
    TEdit* Edit = F.Tree->EditControl();
    ASSERT_NE(Edit, nullptr);
    EXPECT_EQ(F.Tree->EditNode(), F.Node("B"));
    EXPECT_EQ(Edit->Left(), F.Node("B")->DisplayRect(true).Left);
    SendKey(Edit->InnerWidget(), Qt::Key_Escape);
    EXPECT_EQ(F.Tree->EditControl(), nullptr);
}

// The hint of a truncated item: shown when the pointer comes over a node
// whose text does not fit, gone after 17 ticks of its timer, not shown
// again over the same node until the pointer was over another node, gone at
// once when the pointer leaves the control.
TEST(nvTreeViewInputEvents, HintForTruncatedItems)
{
    TInputFixture F(120, 100);
    Build(F.Items(), "Short,A node text far too long to fit,Other");
    F.Form->Show();
    TnvTreeNode* Long = F.Node("A node text far too long to fit");
    auto Over = [&F](TnvTreeNode* N) {
        const TRect R = N->DisplayRect(true);
        const QPoint P(R.Left + 4, (R.Top + R.Bottom) / 2);
        QCursor::setPos(F.Tree->mapToGlobal(P));
        F.Move(P, Qt::NoButton);
    };
    auto Shown = [&F] { return F.Tree->HintWindow() && F.Tree->HintWindow()->isVisible(); };
    auto Ticks = [&F](int N) {
        for (int K = 0; K < N && F.Tree->HintTimer(); ++K)
            F.Tree->HintTimer()->OnTimer(F.Tree->HintTimer());
    };
    Over(F.Node("Short"));
    EXPECT_FALSE(Shown());
    EXPECT_EQ(F.Tree->HintNode(), nullptr);

    Over(Long);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(F.Tree->HintNode(), Long);
    EXPECT_EQ(F.Tree->HintWindow()->Caption(), Long->Text());
    const TRect R = Long->DisplayRect(true);
    const TPoint Org = F.Tree->ClientOrigin();
    EXPECT_EQ(F.Tree->HintWindow()->Left(), R.Left + Org.X - 1);
    EXPECT_EQ(F.Tree->HintWindow()->Top(), R.Top + Org.Y - 2);
    EXPECT_GT(F.Tree->HintWindow()->Width(), F.Tree->Width() - R.Left);
    EXPECT_EQ(F.Tree->HintTimer()->Interval(), 250);
    DumpPng(F.Tree->HintWindow()->grab().toImage(), "tree_input_hint");
    Ticks(16);
    EXPECT_TRUE(Shown());
    Ticks(1);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(F.Tree->HintNode(), Long);
    // Not again over the same node; again after another node.
    Over(Long);
    EXPECT_FALSE(Shown());
    Over(F.Node("Other"));
    EXPECT_EQ(F.Tree->HintNode(), nullptr);
    Over(Long);
    EXPECT_TRUE(Shown());
    // The pointer leaves: the hint goes with the next tick and the node is
    // forgotten.
    QCursor::setPos(F.Tree->mapToGlobal(QPoint(500, 500)));
    Ticks(1);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(F.Tree->HintNode(), nullptr);
    // No hint without the option, nor over the node being edited.
    F.Tree->SetOptions(F.Tree->Options() & ~tvoToolTips);
    Over(F.Node("Other"));
    Over(Long);
    EXPECT_FALSE(Shown());
}

namespace {
// Stands in for the desktop's handler of web addresses.
class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<String> Opened;
    std::vector<TCursor> Cursors;
public slots:
    void Open(const QUrl& Url)
    {
        Opened.push_back(FromQString(Url.toString()));
        Cursors.push_back(Screen->Cursor());
    }
};
} // namespace

// A left release on an item whose node has an address opens it through the
// desktop's handler with the hourglass shown meanwhile; the pointer is the
// hand over such an item.
TEST(nvTreeViewInputEvents, AddressesOpenThroughTheDesktopHandler)
{
    TUrlCatcher Catcher;
    QDesktopServices::setUrlHandler("http", &Catcher, "Open");
    QDesktopServices::setUrlHandler("mailto", &Catcher, "Open");
    struct TUnset {
        ~TUnset()
        {
            QDesktopServices::unsetUrlHandler("http");
            QDesktopServices::unsetUrlHandler("mailto");
        }
    } Unset;
    struct TCase {
        const char* Name;
        bool AutoURL;
        const char* Node;
        Qt::MouseButton Button;
        const char* Expected;
    };
    const std::vector<TCase> Cases = {
        {"address", true, "Site", Qt::LeftButton, "http://example.invalid/page"},
        {"mail address", true, "Mail", Qt::LeftButton, "mailto:someone@example.invalid"},
        {"node without an address", true, "Plain", Qt::LeftButton, ""},
        {"right button", true, "Site", Qt::RightButton, ""},
        {"without the option", false, "Site", Qt::LeftButton, ""},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        Catcher.Opened.clear();
        Catcher.Cursors.clear();
        TInputFixture F;
        Build(F.Items(), "Site,Mail,Plain");
        F.Node("Site")->SetStringData("example.invalid/page");
        F.Node("Mail")->SetStringData("someone@example.invalid");
        TnvTreeViewOptions O = F.Tree->Options() & ~tvoAutoURL;
        F.Tree->SetOptions(C.AutoURL ? O | tvoAutoURL : O);
        F.Move(F.Label(C.Node), Qt::NoButton);
        EXPECT_EQ(F.Tree->Cursor(), C.AutoURL && String(C.Node) != "Plain" ? crHandPoint : crDefault);
        F.Click(F.Label(C.Node), Qt::NoModifier, C.Button);
        String Got;
        for (const String& S : Catcher.Opened)
            Got += S;
        EXPECT_EQ(Got, C.Expected);
        if (!Catcher.Cursors.empty()) {
            EXPECT_EQ(Catcher.Cursors[0], crHourGlass);
        }
        EXPECT_EQ(Screen->Cursor(), crDefault);
    }
}

#include "nvTreeViewInputTest.moc"
