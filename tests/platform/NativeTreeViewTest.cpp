#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <functional>
#include <map>
#include <memory>

#include "Forms.h"
#include "NativeTreeView.h"
#include "StdCtrls.h"

namespace {

// A tree that records its notifications ("code:item[:action]") and lets a
// test answer them.
class TRecordingTree : public TNativeTreeView {
public:
    std::vector<String> Log;
    std::function<intptr_t(NMHDR&)> Answer;
    bool Recording = true;

    intptr_t Notify(NMHDR& H) override
    {
        if (Recording)
            Log.push_back(Describe(H));
        return Answer ? Answer(H) : 0;
    }

    String Name(HTREEITEM Item) const
    {
        if (!Item)
            return "nil";
        auto It = Names.find(Item);
        return It == Names.end() ? "?" : It->second;
    }
    std::map<HTREEITEM, String> Names;

private:
    String Describe(NMHDR& H)
    {
        auto& T = reinterpret_cast<NMTREEVIEW&>(H);
        switch (H.code) {
        case TVN_SELCHANGING:
            return "selchanging:" + Name(T.itemOld.hItem) + ">" + Name(T.itemNew.hItem) + ":" +
                   std::to_string(T.action);
        case TVN_SELCHANGED:
            return "selchanged:" + Name(T.itemOld.hItem) + ">" + Name(T.itemNew.hItem) + ":" + std::to_string(T.action);
        case TVN_ITEMEXPANDING:
            return String(T.action == TVE_EXPAND ? "expanding:" : "collapsing:") + Name(T.itemNew.hItem);
        case TVN_ITEMEXPANDED:
            return String(T.action == TVE_EXPAND ? "expanded:" : "collapsed:") + Name(T.itemNew.hItem);
        case TVN_DELETEITEM: return "delete:" + Name(T.itemOld.hItem);
        case TVN_BEGINDRAG: return "begindrag:" + Name(T.itemNew.hItem);
        case TVN_BEGINRDRAG: return "beginrdrag:" + Name(T.itemNew.hItem);
        case TVN_GETDISPINFO: return "getdispinfo";
        case TVN_BEGINLABELEDIT: return "beginedit:" + Name(reinterpret_cast<NMTVDISPINFO&>(H).item.hItem);
        case TVN_ENDLABELEDIT: {
            auto& D = reinterpret_cast<NMTVDISPINFO&>(H);
            return "endedit:" + Name(D.item.hItem) + ((D.item.mask & TVIF_TEXT) ? ":" + D.item.pszText : ":cancel");
        }
        case NM_CUSTOMDRAW: {
            auto& D = reinterpret_cast<NMTVCUSTOMDRAW&>(H);
            switch (D.nmcd.dwDrawStage) {
            case CDDS_PREPAINT: return "prepaint";
            case CDDS_POSTPAINT: return "postpaint";
            case CDDS_ITEMPREPAINT: return "itemprepaint:" + Name(reinterpret_cast<HTREEITEM>(D.nmcd.dwItemSpec));
            case CDDS_ITEMPOSTPAINT: return "itempostpaint:" + Name(reinterpret_cast<HTREEITEM>(D.nmcd.dwItemSpec));
            default: return "customdraw?";
            }
        }
        case NM_RCLICK: return "rclick";
        case NM_CLICK: return "click";
        case NM_DBLCLK: return "dblclk";
        case NM_SETFOCUS: return "setfocus";
        case NM_KILLFOCUS: return "killfocus";
        case NM_RETURN: return "return";
        default: return "code" + std::to_string(H.code);
        }
    }
};

String Join(const std::vector<String>& V)
{
    String S;
    for (const String& X : V)
        S += (S.empty() ? "" : " ") + X;
    return S;
}

struct TTree {
    std::unique_ptr<TForm> Form;
    TRecordingTree* TV = nullptr;

    explicit TTree(unsigned Style = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, int W = 200, int H = 160)
    {
        InitApplication();
        Form = std::make_unique<TForm>();
        Form->SetBounds(0, 0, W + 20, H + 20);
        TV = new TRecordingTree;
        TV->SetParent(Form.get());
        TV->SetBounds(0, 0, W, H);
        TV->SetStyle(Style);
        TV->Perform(TVM_SETITEMHEIGHT, 16);
        TV->Perform(TVM_SETINDENT, 19);
    }

    HTREEITEM Add(HTREEITEM Parent, const String& Text, HTREEITEM After = TVI_LAST)
    {
        TVINSERTSTRUCT I;
        I.hParent = Parent;
        I.hInsertAfter = After;
        I.item.mask = TVIF_TEXT | TVIF_PARAM;
        I.item.pszText = Text;
        I.item.lParam = static_cast<intptr_t>(TV->Names.size() + 1);
        HTREEITEM Item = TreeView_InsertItem(TV, &I);
        if (Item)
            TV->Names[Item] = Text;
        return Item;
    }
    String Text(HTREEITEM Item) const
    {
        TVITEM I;
        I.mask = TVIF_TEXT;
        I.hItem = Item;
        return TreeView_GetItem(TV, &I) ? I.pszText : "<none>";
    }
    String Children(HTREEITEM Parent) const
    {
        String S;
        for (HTREEITEM C = TreeView_GetNextItem(TV, Parent, TVGN_CHILD); C; C = TreeView_GetNextItem(TV, C, TVGN_NEXT))
            S += (S.empty() ? "" : ",") + Text(C);
        return S;
    }
    unsigned State(HTREEITEM Item) const
    {
        TVITEM I;
        I.mask = TVIF_STATE;
        I.hItem = Item;
        I.stateMask = 0xFFFF;
        TreeView_GetItem(TV, &I);
        return I.state;
    }
    void Expand(HTREEITEM Item) { TreeView_Expand(TV, Item, TVE_EXPAND); }
    HTREEITEM Selected() const { return TreeView_GetNextItem(TV, nullptr, TVGN_CARET); }
    void Key(Word K) { TV->Perform(WM_KEYDOWN, K, 0); }
    QImage Shot()
    {
        Form->Show();
        return TV->grab().toImage();
    }
};

// root: A (A1, A2 (A2a), A3), B, C (C1)
struct TSample : TTree {
    HTREEITEM A, A1, A2, A2a, A3, B, C, C1;
    explicit TSample(unsigned Style = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, int W = 200, int H = 160)
        : TTree(Style, W, H)
    {
        A = Add(TVI_ROOT, "A");
        A1 = Add(A, "A1");
        A2 = Add(A, "A2");
        A2a = Add(A2, "A2a");
        A3 = Add(A, "A3");
        B = Add(TVI_ROOT, "B");
        C = Add(TVI_ROOT, "C");
        C1 = Add(C, "C1");
        TV->Log.clear();
    }
};

QRgb Pixel(const QImage& Image, int X, int Y)
{
    return Image.pixel(X, Y) & 0xFFFFFFu;
}

QRgb Rgb(TColor C)
{
    return ColorToQRgb(C) & 0xFFFFFFu;
}

void SaveShot(const QImage& Image, const QString& Name)
{
    if (qEnvironmentVariableIsSet("ZEN_SHOT_DIR"))
        Image.save(qEnvironmentVariable("ZEN_SHOT_DIR") + "/" + Name + ".png");
}

// ---------------------------------------------------------------- model

TEST(NativeTreeView, InsertPositions)
{
    struct TCase {
        const char* Name;
        std::function<void(TTree&, HTREEITEM Parent)> Run;
        const char* Expected;
    };
    const std::vector<TCase> Cases = {
        {"last", [](TTree& T, HTREEITEM P) { T.Add(P, "x"); T.Add(P, "y"); T.Add(P, "z"); }, "x,y,z"},
        {"first", [](TTree& T, HTREEITEM P) { T.Add(P, "x", TVI_FIRST); T.Add(P, "y", TVI_FIRST); }, "y,x"},
        {"after", [](TTree& T, HTREEITEM P) {
             HTREEITEM X = T.Add(P, "x");
             T.Add(P, "z");
             T.Add(P, "y", X);
         }, "x,y,z"},
        {"after last", [](TTree& T, HTREEITEM P) {
             T.Add(P, "x");
             HTREEITEM Y = T.Add(P, "y");
             T.Add(P, "z", Y);
         }, "x,y,z"},
        {"sorted", [](TTree& T, HTREEITEM P) {
             T.Add(P, "delta", TVI_SORT);
             T.Add(P, "Alpha", TVI_SORT);
             T.Add(P, "charlie", TVI_SORT);
             T.Add(P, "bravo", TVI_SORT);
         }, "Alpha,bravo,charlie,delta"},
    };
    for (const TCase& C : Cases) {
        for (bool UnderItem : {false, true}) {
            SCOPED_TRACE(String(C.Name) + (UnderItem ? " under an item" : " at the root"));
            TTree T;
            HTREEITEM Parent = UnderItem ? T.Add(TVI_ROOT, "p") : TVI_ROOT;
            C.Run(T, Parent);
            EXPECT_EQ(T.Children(Parent), C.Expected);
            EXPECT_EQ(T.TV->Perform(TVM_GETCOUNT), static_cast<intptr_t>(T.TV->Names.size()));
        }
    }
}

TEST(NativeTreeView, InsertRefusesBadPlaces)
{
    TTree T;
    HTREEITEM P = T.Add(TVI_ROOT, "p");
    HTREEITEM Q = T.Add(TVI_ROOT, "q");
    HTREEITEM Child = T.Add(P, "c");
    EXPECT_EQ(T.Add(Q, "x", Child), nullptr) << "after an item of another parent";
    TreeView_DeleteItem(T.TV, Child);
    EXPECT_EQ(T.Add(Child, "x"), nullptr) << "under a deleted item";
    EXPECT_EQ(T.TV->Perform(TVM_GETCOUNT), 2);
}

TEST(NativeTreeView, GetNextItemCodes)
{
    TSample T;
    T.Expand(T.A);
    TreeView_Select(T.TV, T.A2, TVGN_CARET);
    TreeView_Select(T.TV, T.C, TVGN_DROPHILITE);
    struct TCase {
        unsigned Code;
        HTREEITEM From;
        HTREEITEM Expected;
    };
    const TCase Cases[] = {
        {TVGN_ROOT, nullptr, T.A},
        {TVGN_CHILD, TVI_ROOT, T.A},
        {TVGN_CHILD, T.A, T.A1},
        {TVGN_CHILD, T.B, nullptr},
        {TVGN_NEXT, T.A1, T.A2},
        {TVGN_NEXT, T.C, nullptr},
        {TVGN_PREVIOUS, T.A2, T.A1},
        {TVGN_PREVIOUS, T.A, nullptr},
        {TVGN_PARENT, T.A2a, T.A2},
        {TVGN_PARENT, T.A, nullptr},
        {TVGN_NEXTVISIBLE, T.A, T.A1},
        {TVGN_NEXTVISIBLE, T.A2, T.A3}, // A2 is collapsed
        {TVGN_NEXTVISIBLE, T.A3, T.B},
        {TVGN_NEXTVISIBLE, T.A2a, nullptr}, // hidden itself
        {TVGN_NEXTVISIBLE, T.C, nullptr},
        {TVGN_PREVIOUSVISIBLE, T.B, T.A3},
        {TVGN_PREVIOUSVISIBLE, T.A1, T.A},
        {TVGN_PREVIOUSVISIBLE, T.A, nullptr},
        {TVGN_FIRSTVISIBLE, nullptr, T.A},
        {TVGN_LASTVISIBLE, nullptr, T.C},
        {TVGN_CARET, nullptr, T.A2},
        {TVGN_DROPHILITE, nullptr, T.C},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE("code " + std::to_string(C.Code) + " from " + T.TV->Name(C.From));
        EXPECT_EQ(T.TV->Name(TreeView_GetNextItem(T.TV, C.From, C.Code)), T.TV->Name(C.Expected));
    }
}

TEST(NativeTreeView, ItemAttributesUnderMask)
{
    TTree T;
    HTREEITEM X = T.Add(TVI_ROOT, "x");
    TVITEM S;
    S.hItem = X;
    S.mask = TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    S.stateMask = TVIS_CUT | TVIS_OVERLAYMASK | TVIS_STATEIMAGEMASK;
    S.state = TVIS_CUT | INDEXTOOVERLAYMASK(3) | INDEXTOSTATEIMAGEMASK(12) | TVIS_BOLD; // bold is not in the mask
    S.iImage = 4;
    S.iSelectedImage = 5;
    S.cChildren = 1;
    S.lParam = 77;
    ASSERT_TRUE(TreeView_SetItem(T.TV, &S));
    TVITEM G;
    G.hItem = X;
    G.mask = TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    G.stateMask = 0xFFFF;
    ASSERT_TRUE(TreeView_GetItem(T.TV, &G));
    EXPECT_EQ(G.state, TVIS_CUT | INDEXTOOVERLAYMASK(3) | INDEXTOSTATEIMAGEMASK(12));
    EXPECT_EQ(G.iImage, 4);
    EXPECT_EQ(G.iSelectedImage, 5);
    EXPECT_EQ(G.cChildren, 1);
    EXPECT_EQ(G.lParam, 77);
    // Clearing the overlay only.
    S.mask = TVIF_STATE;
    S.stateMask = TVIS_OVERLAYMASK;
    S.state = 0;
    TreeView_SetItem(T.TV, &S);
    EXPECT_EQ(T.State(X), TVIS_CUT | INDEXTOSTATEIMAGEMASK(12));
    // The children flag follows the real children unless it was set.
    HTREEITEM Y = T.Add(TVI_ROOT, "y");
    G.hItem = Y;
    G.mask = TVIF_CHILDREN;
    TreeView_GetItem(T.TV, &G);
    EXPECT_EQ(G.cChildren, 0);
    T.Add(Y, "y1");
    TreeView_GetItem(T.TV, &G);
    EXPECT_EQ(G.cChildren, 1);
}

TEST(NativeTreeView, CallbackTextAndImages)
{
    TTree T;
    int Asked = 0;
    T.TV->Answer = [&](NMHDR& H) -> intptr_t {
        if (H.code != TVN_GETDISPINFO)
            return 0;
        auto& D = reinterpret_cast<NMTVDISPINFO&>(H);
        ++Asked;
        if (D.item.mask & TVIF_TEXT)
            D.item.pszText = "item " + std::to_string(D.item.lParam) + String(300, 'x');
        if (D.item.mask & TVIF_IMAGE)
            D.item.iImage = 7;
        return 0;
    };
    TVINSERTSTRUCT I;
    I.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM;
    I.item.TextCallback = true;
    I.item.iImage = I_IMAGECALLBACK;
    I.item.lParam = 42;
    HTREEITEM X = TreeView_InsertItem(T.TV, &I);
    const String Text = T.Text(X);
    EXPECT_EQ(Text.substr(0, 7), "item 42");
    EXPECT_EQ(Text.size(), 259u) << "cut to the buffer of 260 characters";
    EXPECT_GE(Asked, 1);
    // Asked again each time, until an answer keeps the value.
    const int Before = Asked;
    T.Text(X);
    EXPECT_EQ(Asked, Before + 1);
    T.TV->Answer = [&](NMHDR& H) -> intptr_t {
        if (H.code == TVN_GETDISPINFO) {
            auto& D = reinterpret_cast<NMTVDISPINFO&>(H);
            D.item.pszText = "kept";
            D.item.mask |= TVIF_DI_SETITEM;
            ++Asked;
        }
        return 0;
    };
    EXPECT_EQ(T.Text(X), "kept");
    const int Kept = Asked;
    EXPECT_EQ(T.Text(X), "kept");
    EXPECT_EQ(Asked, Kept);
}

TEST(NativeTreeView, ChildrenFlagByCallback)
{
    for (int Children : {0, 1}) {
        SCOPED_TRACE(Children);
        TTree T;
        T.TV->Answer = [&](NMHDR& H) -> intptr_t {
            if (H.code == TVN_GETDISPINFO) {
                auto& D = reinterpret_cast<NMTVDISPINFO&>(H);
                if (D.item.mask & TVIF_CHILDREN)
                    D.item.cChildren = Children;
            }
            return 0;
        };
        TVINSERTSTRUCT I;
        I.item.mask = TVIF_TEXT | TVIF_CHILDREN;
        I.item.pszText = "x";
        I.item.cChildren = I_CHILDRENCALLBACK;
        HTREEITEM X = TreeView_InsertItem(T.TV, &I);
        TVHITTESTINFO Info;
        Info.pt = TPoint(9, 8);
        EXPECT_EQ(TreeView_HitTest(T.TV, &Info), X);
        EXPECT_EQ(Info.flags, Children ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT);
        EXPECT_EQ(TreeView_Expand(T.TV, X, TVE_EXPAND), Children != 0);
    }
}

TEST(NativeTreeView, DeleteReportsEveryItemChildrenFirst)
{
    TSample T;
    TreeView_DeleteItem(T.TV, T.A);
    EXPECT_EQ(Join(T.TV->Log), "delete:A1 delete:A2a delete:A2 delete:A3 delete:A");
    EXPECT_EQ(T.TV->Perform(TVM_GETCOUNT), 3);
    EXPECT_EQ(T.Children(TVI_ROOT), "B,C");
    EXPECT_FALSE(T.TV->IsItem(T.A2a));
    EXPECT_FALSE(TreeView_DeleteItem(T.TV, T.A)) << "a deleted handle is refused";
    // The last child gone, the parent is collapsed and has no button.
    T.Expand(T.C);
    TreeView_DeleteItem(T.TV, T.C1);
    EXPECT_EQ(T.State(T.C) & TVIS_EXPANDED, 0u);
    TVITEM G;
    G.hItem = T.C;
    G.mask = TVIF_CHILDREN;
    TreeView_GetItem(T.TV, &G);
    EXPECT_EQ(G.cChildren, 0);
    T.TV->Log.clear();
    TreeView_DeleteItem(T.TV, TVI_ROOT);
    EXPECT_EQ(Join(T.TV->Log), "delete:B delete:C");
    EXPECT_EQ(T.TV->Perform(TVM_GETCOUNT), 0);
}

TEST(NativeTreeView, DeletingTheSelectionMovesIt)
{
    TSample T;
    T.Expand(T.A);
    TreeView_Select(T.TV, T.A2, TVGN_CARET);
    T.TV->Log.clear();
    TreeView_DeleteItem(T.TV, T.A2);
    EXPECT_EQ(Join(T.TV->Log), "selchanging:A2>A3:0 selchanged:A2>A3:0 delete:A2a delete:A2");
    EXPECT_EQ(T.Selected(), T.A3);
    EXPECT_NE(T.State(T.A3) & TVIS_SELECTED, 0u);
}

TEST(NativeTreeView, ExpandAndCollapseNotifications)
{
    TSample T;
    EXPECT_TRUE(TreeView_Expand(T.TV, T.A, TVE_EXPAND));
    EXPECT_EQ(Join(T.TV->Log), "expanding:A expanded:A");
    EXPECT_NE(T.State(T.A) & (TVIS_EXPANDED | TVIS_EXPANDEDONCE), 0u);
    T.TV->Log.clear();
    EXPECT_FALSE(TreeView_Expand(T.TV, T.A, TVE_EXPAND)) << "already expanded";
    EXPECT_FALSE(TreeView_Expand(T.TV, T.B, TVE_EXPAND)) << "no children";
    EXPECT_TRUE(T.TV->Log.empty());

    // A veto keeps the state.
    T.TV->Answer = [](NMHDR& H) -> intptr_t { return H.code == TVN_ITEMEXPANDING ? 1 : 0; };
    EXPECT_FALSE(TreeView_Expand(T.TV, T.A, TVE_COLLAPSE));
    EXPECT_EQ(Join(T.TV->Log), "collapsing:A");
    EXPECT_NE(T.State(T.A) & TVIS_EXPANDED, 0u);
    T.TV->Answer = nullptr;

    // Collapsing over the selection moves it to the collapsed item first.
    T.Expand(T.A2);
    TreeView_Select(T.TV, T.A2a, TVGN_CARET);
    T.TV->Log.clear();
    EXPECT_TRUE(TreeView_Expand(T.TV, T.A, TVE_TOGGLE));
    EXPECT_EQ(Join(T.TV->Log), "collapsing:A selchanging:A2a>A:0 selchanged:A2a>A:0 collapsed:A");
    EXPECT_EQ(T.Selected(), T.A);

    // A children flag without children still asks, so the receiver can fill in.
    HTREEITEM Lazy = T.Add(TVI_ROOT, "lazy");
    TVITEM S;
    S.hItem = Lazy;
    S.mask = TVIF_CHILDREN;
    S.cChildren = 1;
    TreeView_SetItem(T.TV, &S);
    T.TV->Answer = [&](NMHDR& H) -> intptr_t {
        if (H.code == TVN_ITEMEXPANDING)
            T.Add(Lazy, "filled");
        return 0;
    };
    T.TV->Log.clear();
    EXPECT_TRUE(TreeView_Expand(T.TV, Lazy, TVE_EXPAND));
    EXPECT_EQ(T.Children(Lazy), "filled");

    // Collapse-reset deletes the children.
    T.TV->Answer = nullptr;
    EXPECT_TRUE(TreeView_Expand(T.TV, Lazy, TVE_COLLAPSE | TVE_COLLAPSERESET));
    EXPECT_EQ(T.Children(Lazy), "");
}

TEST(NativeTreeView, SelectionWithVeto)
{
    TSample T;
    EXPECT_TRUE(TreeView_Select(T.TV, T.B, TVGN_CARET));
    EXPECT_EQ(Join(T.TV->Log), "selchanging:nil>B:0 selchanged:nil>B:0");
    EXPECT_EQ(T.State(T.B) & TVIS_SELECTED, static_cast<unsigned>(TVIS_SELECTED));
    T.TV->Answer = [](NMHDR& H) -> intptr_t { return H.code == TVN_SELCHANGING ? 1 : 0; };
    T.TV->Log.clear();
    EXPECT_FALSE(TreeView_Select(T.TV, T.C, TVGN_CARET));
    EXPECT_EQ(Join(T.TV->Log), "selchanging:B>C:0");
    EXPECT_EQ(T.Selected(), T.B);
    EXPECT_EQ(T.State(T.C) & TVIS_SELECTED, 0u);
    T.TV->Answer = nullptr;
    // Selecting a hidden item expands its parents.
    T.TV->Log.clear();
    EXPECT_TRUE(TreeView_Select(T.TV, T.A2a, TVGN_CARET));
    EXPECT_EQ(Join(T.TV->Log),
              "selchanging:B>A2a:0 selchanged:B>A2a:0 expanding:A expanded:A expanding:A2 expanded:A2");
    EXPECT_EQ(T.State(T.B) & TVIS_SELECTED, 0u);
    // Clearing the selection.
    EXPECT_TRUE(TreeView_Select(T.TV, nullptr, TVGN_CARET));
    EXPECT_EQ(T.Selected(), nullptr);
}

// ---------------------------------------------------------------- geometry

TEST(NativeTreeView, ItemRectsAndHitTests)
{
    struct TCase {
        const char* Name;
        unsigned Style;
        int Indent;
        int Height;
        int Scroll; // rows scrolled
    };
    const TCase Cases[] = {
        {"lines at root", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 19, 16, 0},
        {"no root lines", TVS_HASBUTTONS | TVS_HASLINES, 19, 16, 0},
        {"wide indent, tall rows", TVS_HASBUTTONS | TVS_LINESATROOT, 30, 22, 0},
        {"scrolled", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 19, 16, 2},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TSample T(C.Style, 200, 64);
        T.TV->Perform(TVM_SETINDENT, C.Indent);
        T.TV->Perform(TVM_SETITEMHEIGHT, C.Height);
        T.Expand(T.A);
        T.Expand(T.A2);
        // Rows: A, A1, A2, A2a, A3, B, C
        T.TV->Perform(WM_VSCROLL, 4 | (C.Scroll << 16));
        EXPECT_EQ(T.TV->ScrollRow(), C.Scroll);
        const int Root = (C.Style & TVS_LINESATROOT) ? 1 : 0;
        ASSERT_TRUE(T.TV->VertScrollBarShown()) << "7 rows do not fit in 64 pixels";
        ASSERT_EQ(T.TV->ClientWidth(), 200 - TNativeTreeView::ScrollBarSize);
        const int CW = T.TV->ClientWidth();
        struct TItem {
            HTREEITEM Item;
            int Row;
            int Level;
        };
        for (const TItem& I : {TItem{T.A, 0, 0}, TItem{T.A2, 2, 1}, TItem{T.A2a, 3, 2}, TItem{T.C, 6, 0}}) {
            SCOPED_TRACE(T.TV->Name(I.Item));
            TRect Whole, Text;
            ASSERT_TRUE(TreeView_GetItemRect(T.TV, I.Item, &Whole, false));
            ASSERT_TRUE(TreeView_GetItemRect(T.TV, I.Item, &Text, true));
            const int Top = (I.Row - C.Scroll) * C.Height;
            EXPECT_EQ(Whole, TRect(0, Top, CW, Top + C.Height));
            EXPECT_EQ(Text.Left, (I.Level + Root) * C.Indent);
            EXPECT_EQ(Text.Top, Top);
            EXPECT_EQ(Text.Bottom, Top + C.Height);
            EXPECT_GT(Text.Right, Text.Left + 4);
            if (Top < 0 || Top >= 64)
                continue;
            struct THit {
                int X;
                unsigned Flags;
            };
            const bool Button = (I.Item == T.A || I.Item == T.A2 || I.Item == T.C) && (I.Level + Root) > 0;
            std::vector<THit> Hits = {
                {Text.Left + 2, TVHT_ONITEMLABEL},
                {Text.Right + 1, TVHT_ONITEMRIGHT},
            };
            if (I.Level + Root > 0)
                Hits.push_back({Text.Left - C.Indent / 2, Button ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT});
            if (I.Level + Root > 1)
                Hits.push_back({Text.Left - C.Indent - 2, TVHT_ONITEMINDENT});
            for (const THit& H : Hits) {
                SCOPED_TRACE("x " + std::to_string(H.X));
                TVHITTESTINFO Info;
                Info.pt = TPoint(H.X, Top + C.Height / 2);
                EXPECT_EQ(TreeView_HitTest(T.TV, &Info), I.Item);
                EXPECT_EQ(Info.flags, H.Flags);
            }
        }
        // Collapsed parents hide their children.
        TRect R;
        TreeView_Expand(T.TV, T.A, TVE_COLLAPSE);
        EXPECT_FALSE(TreeView_GetItemRect(T.TV, T.A2a, &R, false));
        // Outside and below the items.
        struct TOut {
            TPoint P;
            unsigned Flags;
        };
        const int Right = T.TV->ClientWidth(); // the bar may have gone with the rows
        EXPECT_EQ(Right, 3 * C.Height > 64 ? CW : 200);
        for (const TOut& O : {TOut{TPoint(5, -1), TVHT_ABOVE}, TOut{TPoint(5, 64), TVHT_BELOW},
                              TOut{TPoint(-1, 5), TVHT_TOLEFT}, TOut{TPoint(Right, 5), TVHT_TORIGHT},
                              TOut{TPoint(-1, -1), TVHT_ABOVE | TVHT_TOLEFT}}) {
            TVHITTESTINFO Info;
            Info.pt = O.P;
            EXPECT_EQ(TreeView_HitTest(T.TV, &Info), nullptr);
            EXPECT_EQ(Info.flags, O.Flags);
        }
        TreeView_DeleteItem(T.TV, T.C);
        TreeView_DeleteItem(T.TV, T.B);
        T.TV->Perform(WM_VSCROLL, 6);
        TVHITTESTINFO Info;
        Info.pt = TPoint(5, 60);
        EXPECT_EQ(TreeView_HitTest(T.TV, &Info), nullptr);
        EXPECT_EQ(Info.flags, static_cast<unsigned>(TVHT_NOWHERE));
    }
}

TEST(NativeTreeView, StateAndImageSlots)
{
    TTree T(TVS_HASBUTTONS | TVS_LINESATROOT | TVS_CHECKBOXES);
    std::unique_ptr<TCustomImageList> Images(TCustomImageList::CreateSize(12, 12));
    T.TV->Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<intptr_t>(Images.get()));
    HTREEITEM X = T.Add(TVI_ROOT, "x");
    EXPECT_EQ(T.State(X) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1)) << "check boxes start unchecked";
    TRect R;
    TreeView_GetItemRect(T.TV, X, &R, true);
    EXPECT_EQ(R.Left, 19 + 16 + 13);
    struct THit {
        int X;
        unsigned Flags;
    };
    for (const THit& H : {THit{19 + 3, TVHT_ONITEMSTATEICON}, THit{19 + 16 + 3, TVHT_ONITEMICON},
                          THit{19 + 16 + 13 + 1, TVHT_ONITEMLABEL}}) {
        TVHITTESTINFO Info;
        Info.pt = TPoint(H.X, 8);
        TreeView_HitTest(T.TV, &Info);
        EXPECT_EQ(Info.flags, H.Flags) << H.X;
    }
    // Without a state image index no slot is kept.
    TVITEM S;
    S.hItem = X;
    S.mask = TVIF_STATE;
    S.stateMask = TVIS_STATEIMAGEMASK;
    S.state = 0;
    TreeView_SetItem(T.TV, &S);
    TreeView_GetItemRect(T.TV, X, &R, true);
    EXPECT_EQ(R.Left, 19 + 13);
}

TEST(NativeTreeView, ScrollingAndEnsureVisible)
{
    TTree T(TVS_HASBUTTONS | TVS_LINESATROOT, 200, 80); // 5 rows of 16
    std::vector<HTREEITEM> Items;
    for (int I = 0; I < 20; ++I)
        Items.push_back(T.Add(TVI_ROOT, "item" + std::to_string(I)));
    HTREEITEM Deep = T.Add(Items[15], "deep");
    EXPECT_EQ(T.TV->Perform(TVM_GETVISIBLECOUNT), 5);
    EXPECT_TRUE(T.TV->Perform(TVM_ENSUREVISIBLE, 0, reinterpret_cast<intptr_t>(Items[10])));
    EXPECT_EQ(TreeView_GetNextItem(T.TV, nullptr, TVGN_FIRSTVISIBLE), Items[6]) << "scrolled to show it at the bottom";
    T.TV->Perform(TVM_ENSUREVISIBLE, 0, reinterpret_cast<intptr_t>(Items[3]));
    EXPECT_EQ(TreeView_GetNextItem(T.TV, nullptr, TVGN_FIRSTVISIBLE), Items[3]) << "at the top";
    T.TV->Perform(TVM_ENSUREVISIBLE, 0, reinterpret_cast<intptr_t>(Items[5]));
    EXPECT_EQ(TreeView_GetNextItem(T.TV, nullptr, TVGN_FIRSTVISIBLE), Items[3]) << "already shown";
    T.TV->Log.clear();
    T.TV->Perform(TVM_ENSUREVISIBLE, 0, reinterpret_cast<intptr_t>(Deep));
    EXPECT_EQ(Join(T.TV->Log), "expanding:item15 expanded:item15");
    EXPECT_EQ(TreeView_GetNextItem(T.TV, nullptr, TVGN_FIRSTVISIBLE), Items[12]);
    // The first visible item cannot leave empty rows below the last one.
    TreeView_Select(T.TV, Items[19], TVGN_FIRSTVISIBLE);
    EXPECT_EQ(TreeView_GetNextItem(T.TV, nullptr, TVGN_FIRSTVISIBLE), Deep) << "row 16 of 21";
    struct TScroll {
        unsigned Code;
        int Expected;
    };
    for (const TScroll& S : {TScroll{6, 0}, TScroll{1, 1}, TScroll{3, 6}, TScroll{2, 1}, TScroll{0, 0},
                             TScroll{0, 0}, TScroll{7, 16}, TScroll{4 | (3u << 16), 3}}) {
        T.TV->Perform(WM_VSCROLL, S.Code);
        EXPECT_EQ(T.TV->ScrollRow(), S.Expected) << "code " << (S.Code & 0xFFFF);
    }
    // Collapsing above the first visible item keeps a shown one first.
    TreeView_Select(T.TV, Deep, TVGN_FIRSTVISIBLE);
    TreeView_Expand(T.TV, Items[15], TVE_COLLAPSE);
    EXPECT_EQ(TreeView_GetNextItem(T.TV, nullptr, TVGN_FIRSTVISIBLE), Items[15]);
}

TEST(NativeTreeView, ScrollBars)
{
    TTree T(TVS_HASBUTTONS | TVS_LINESATROOT, 120, 80); // 5 rows of 16 without a horizontal bar
    T.TV->Recording = false;
    T.Add(TVI_ROOT, "one");
    EXPECT_FALSE(T.TV->VertScrollBarShown());
    EXPECT_FALSE(T.TV->HorzScrollBarShown());
    EXPECT_EQ(T.TV->ClientRect(), TRect(0, 0, 120, 80));
    for (int I = 1; I < 12; ++I)
        T.Add(TVI_ROOT, "item" + std::to_string(I));
    EXPECT_TRUE(T.TV->VertScrollBarShown());
    EXPECT_FALSE(T.TV->HorzScrollBarShown());
    EXPECT_EQ(T.TV->ClientRect(), TRect(0, 0, 104, 80));
    const int BarX = 120 - 8;
    struct TPress {
        int Y;
        int Row;
    };
    // Down arrow, down arrow, track below the thumb (a page of 5), up arrow.
    for (const TPress& P : {TPress{80 - 4, 1}, TPress{80 - 4, 2}, TPress{80 - 20, 7}, TPress{4, 6}}) {
        T.TV->Perform(WM_LBUTTONDOWN, 0, PointToLParam(BarX, P.Y));
        T.TV->Perform(WM_LBUTTONUP, 0, PointToLParam(BarX, P.Y));
        EXPECT_EQ(T.TV->ScrollRow(), P.Row) << P.Y;
    }
    EXPECT_EQ(T.Selected(), nullptr) << "a press on a bar is not a press on an item";
    // Dragging the thumb to the top and to the bottom.
    const QImage Shot = T.Shot();
    SaveShot(Shot, "nativetree-scrollbar");
    int ThumbTop = -1;
    for (int Y = 17; Y < 63 && ThumbTop < 0; ++Y)
        if (Pixel(Shot, BarX, Y) == Rgb(clBtnFace))
            ThumbTop = Y;
    ASSERT_GT(ThumbTop, 17) << "the thumb is away from the top at row 6";
    T.TV->Perform(WM_LBUTTONDOWN, 0, PointToLParam(BarX, ThumbTop + 2));
    T.TV->Perform(WM_MOUSEMOVE, ssLeft, PointToLParam(BarX, 0));
    EXPECT_EQ(T.TV->ScrollRow(), 0);
    T.TV->Perform(WM_MOUSEMOVE, ssLeft, PointToLParam(BarX, 79));
    EXPECT_EQ(T.TV->ScrollRow(), 7);
    T.TV->Perform(WM_LBUTTONUP, 0, PointToLParam(BarX, 79));
    // A long text brings the horizontal bar.
    T.Add(TVI_ROOT, String(60, 'W'));
    EXPECT_TRUE(T.TV->HorzScrollBarShown());
    EXPECT_EQ(T.TV->ClientRect(), TRect(0, 0, 104, 64));
    T.TV->Perform(WM_HSCROLL, 1);
    EXPECT_EQ(T.TV->ScrollX(), 8);
    T.TV->Perform(WM_HSCROLL, 7);
    TRect R;
    HTREEITEM Long = TreeView_GetNextItem(T.TV, nullptr, TVGN_LASTVISIBLE);
    TreeView_GetItemRect(T.TV, Long, &R, true);
    EXPECT_EQ(R.Right, 104) << "scrolled to the end of the widest row";
}

// ---------------------------------------------------------------- keyboard and mouse

TEST(NativeTreeView, KeyboardNavigation)
{
    struct TCase {
        std::vector<Word> Keys;
        const char* Selected;
        const char* Expanded; // the expanded items afterwards
    };
    const std::vector<TCase> Cases = {
        {{VK_DOWN}, "B", ""},
        {{VK_DOWN, VK_DOWN, VK_UP}, "B", ""},
        {{VK_END}, "C", ""},
        {{VK_END, VK_HOME}, "A", ""},
        {{VK_RIGHT}, "A", "A"},
        {{VK_RIGHT, VK_RIGHT}, "A1", "A"},
        {{VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RIGHT, VK_RIGHT}, "A2a", "A,A2"},
        {{VK_RIGHT, VK_RIGHT, VK_DOWN, VK_LEFT}, "A", "A"},
        {{VK_RIGHT, VK_LEFT}, "A", ""},
        {{VK_ADD}, "A", "A"},
        {{VK_ADD, VK_SUBTRACT}, "A", ""},
        {{VK_MULTIPLY}, "A", "A,A2"},
        {{VK_MULTIPLY, VK_END}, "C", "A,A2"},
        {{VK_NEXT}, "C", ""},
        {{VK_MULTIPLY, VK_NEXT}, "A2a", "A,A2"},
        {{VK_MULTIPLY, VK_END, VK_PRIOR}, "A2a", "A,A2"},
        {{VK_MULTIPLY, VK_END, VK_PRIOR, VK_PRIOR}, "A", "A,A2"},
        {{VK_DOWN, VK_RIGHT}, "B", ""},
    };
    for (const TCase& C : Cases) {
        TSample T(TVS_HASBUTTONS | TVS_LINESATROOT, 200, 64); // 4 rows: a page moves 3
        SCOPED_TRACE(C.Selected);
        TreeView_Select(T.TV, T.A, TVGN_CARET);
        for (Word K : C.Keys)
            T.Key(K);
        EXPECT_EQ(T.TV->Name(T.Selected()), C.Selected);
        String Expanded;
        for (HTREEITEM I : {T.A, T.A2, T.C})
            if (T.State(I) & TVIS_EXPANDED)
                Expanded += (Expanded.empty() ? "" : ",") + T.TV->Name(I);
        EXPECT_EQ(Expanded, C.Expanded);
    }
}

TEST(NativeTreeView, KeyboardSelectionIsReportedAsSuch)
{
    TSample T;
    TreeView_Select(T.TV, T.A, TVGN_CARET);
    T.TV->Log.clear();
    T.Key(VK_DOWN);
    EXPECT_EQ(Join(T.TV->Log), "selchanging:A>B:2 selchanged:A>B:2");
    // A key zeroed by KeyDown does not reach the tree.
    T.TV->OnKeyDown = [](TObject*, Word& Key, TShiftState) { Key = 0; };
    T.Key(VK_DOWN);
    EXPECT_EQ(T.Selected(), T.B);
}

TEST(NativeTreeView, CheckBoxesToggleBySpaceAndClick)
{
    TTree T(TVS_HASBUTTONS | TVS_LINESATROOT | TVS_CHECKBOXES);
    HTREEITEM X = T.Add(TVI_ROOT, "x");
    TreeView_Select(T.TV, X, TVGN_CARET);
    T.Key(VK_SPACE);
    EXPECT_EQ(T.State(X) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
    T.TV->Perform(WM_LBUTTONDOWN, 0, PointToLParam(19 + 8, 8));
    T.TV->Perform(WM_LBUTTONUP, 0, PointToLParam(19 + 8, 8));
    EXPECT_EQ(T.State(X) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
}

TEST(NativeTreeView, MouseSelectsTogglesAndDrags)
{
    TSample T;
    TRect R;
    TreeView_GetItemRect(T.TV, T.B, &R, true);
    T.TV->Perform(WM_LBUTTONDOWN, 0, PointToLParam(R.Left + 3, R.Top + 4));
    EXPECT_EQ(Join(T.TV->Log), "selchanging:nil>B:1 selchanged:nil>B:1");
    // Past the threshold with the button down: one begin-drag.
    T.TV->Log.clear();
    T.TV->Perform(WM_MOUSEMOVE, ssLeft, PointToLParam(R.Left + 5, R.Top + 4));
    EXPECT_TRUE(T.TV->Log.empty());
    T.TV->Perform(WM_MOUSEMOVE, ssLeft, PointToLParam(R.Left + 20, R.Top + 4));
    T.TV->Perform(WM_MOUSEMOVE, ssLeft, PointToLParam(R.Left + 30, R.Top + 4));
    EXPECT_EQ(Join(T.TV->Log), "begindrag:B");
    T.TV->Perform(WM_LBUTTONUP, 0, PointToLParam(R.Left + 30, R.Top + 4));
    // A press on A's button expands without selecting.
    T.TV->Log.clear();
    T.TV->Perform(WM_LBUTTONDOWN, 0, PointToLParam(9, 8));
    T.TV->Perform(WM_LBUTTONUP, 0, PointToLParam(9, 8));
    EXPECT_EQ(Join(T.TV->Log), "expanding:A expanded:A click");
    // A double click on a label toggles.
    TreeView_GetItemRect(T.TV, T.A2, &R, true);
    T.TV->Perform(WM_LBUTTONDOWN, 0, PointToLParam(R.Left + 3, R.Top + 4));
    T.TV->Perform(WM_LBUTTONUP, 0, PointToLParam(R.Left + 3, R.Top + 4));
    T.TV->Log.clear();
    T.TV->Perform(WM_LBUTTONDBLCLK, 0, PointToLParam(R.Left + 3, R.Top + 4));
    EXPECT_EQ(Join(T.TV->Log), "dblclk expanding:A2 expanded:A2");
    // With drag and drop disabled there is no begin-drag.
    T.TV->SetStyle(T.TV->Style() | TVS_DISABLEDRAGDROP);
    T.TV->Log.clear();
    T.TV->Perform(WM_LBUTTONDOWN, 0, PointToLParam(R.Left + 3, R.Top + 4));
    T.TV->Perform(WM_MOUSEMOVE, ssLeft, PointToLParam(R.Left + 30, R.Top + 4));
    EXPECT_EQ(Join(T.TV->Log), "");
}

TEST(NativeTreeView, RightClickHandledSwallowsTheRelease)
{
    TSample T;
    int Ups = 0;
    T.TV->OnMouseUp = [&](TObject*, TMouseButton B, TShiftState, int, int) { Ups += B == mbRight; };
    T.TV->Perform(WM_RBUTTONDOWN, 0, PointToLParam(30, 8));
    T.TV->Perform(WM_RBUTTONUP, 0, PointToLParam(30, 8));
    EXPECT_EQ(Ups, 1);
    EXPECT_EQ(Join(T.TV->Log), "rclick");
    T.TV->Answer = [](NMHDR& H) -> intptr_t { return H.code == NM_RCLICK ? 1 : 0; };
    T.TV->Perform(WM_RBUTTONDOWN, 0, PointToLParam(30, 8));
    T.TV->Perform(WM_RBUTTONUP, 0, PointToLParam(30, 8));
    EXPECT_EQ(Ups, 1);
}

// ---------------------------------------------------------------- sorting

int CompareByParamDescending(intptr_t A, intptr_t B, intptr_t Sign)
{
    return static_cast<int>((B - A) * Sign);
}

TEST(NativeTreeView, SortChildrenWithCallback)
{
    TSample T; // lParams: A 1, A1 2, A2 3, A2a 4, A3 5, B 6, C 7, C1 8
    TVSORTCB S;
    S.hParent = TVI_ROOT;
    S.lpfnCompare = CompareByParamDescending;
    S.lParam = 1;
    EXPECT_TRUE(T.TV->Perform(TVM_SORTCHILDRENCB, 0, reinterpret_cast<intptr_t>(&S)));
    EXPECT_EQ(T.Children(TVI_ROOT), "C,B,A");
    EXPECT_EQ(T.Children(T.A), "A1,A2,A3") << "not recursive";
    S.hParent = T.A;
    T.TV->Perform(TVM_SORTCHILDRENCB, 0, reinterpret_cast<intptr_t>(&S));
    EXPECT_EQ(T.Children(T.A), "A3,A2,A1");
    S.lParam = -1;
    S.hParent = TVI_ROOT;
    T.TV->Perform(TVM_SORTCHILDRENCB, 1, reinterpret_cast<intptr_t>(&S));
    EXPECT_EQ(T.Children(TVI_ROOT), "A,B,C");
    EXPECT_EQ(T.Children(T.A), "A1,A2,A3") << "recursive";
    S.lpfnCompare = nullptr;
    EXPECT_FALSE(T.TV->Perform(TVM_SORTCHILDRENCB, 0, reinterpret_cast<intptr_t>(&S)));
    // Structure intact: navigation still consistent.
    EXPECT_EQ(TreeView_GetNextItem(T.TV, T.A3, TVGN_PREVIOUS), T.A2);
    EXPECT_EQ(TreeView_GetNextItem(T.TV, T.C, TVGN_PREVIOUS), T.B);
    EXPECT_EQ(TreeView_GetNextItem(T.TV, T.C, TVGN_NEXT), nullptr);
}

// ---------------------------------------------------------------- painting

TEST(NativeTreeView, CustomDrawSequence)
{
    TSample T(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 200, 40); // rows A, B, C(half)
    std::vector<TRect> Rects;
    std::vector<intptr_t> Params;
    std::vector<unsigned> States;
    bool CanvasGiven = true;
    T.TV->Answer = [&](NMHDR& H) -> intptr_t {
        if (H.code != NM_CUSTOMDRAW)
            return 0;
        auto& D = reinterpret_cast<NMTVCUSTOMDRAW&>(H);
        CanvasGiven = CanvasGiven && D.nmcd.hdc == T.TV->Canvas();
        switch (D.nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        case CDDS_ITEMPREPAINT:
            Rects.push_back(D.nmcd.rc);
            Params.push_back(D.nmcd.lItemlParam);
            States.push_back(D.nmcd.uItemState);
            D.nmcd.hdc->Brush()->SetColor(clRed);
            D.nmcd.hdc->FillRect(D.nmcd.rc);
            return reinterpret_cast<HTREEITEM>(D.nmcd.dwItemSpec) == T.B ? CDRF_SKIPDEFAULT | CDRF_NOTIFYPOSTPAINT
                                                                         : CDRF_SKIPDEFAULT;
        default: return 0;
        }
    };
    TreeView_Select(T.TV, T.B, TVGN_CARET);
    T.TV->Log.clear();
    const QImage Shot = T.Shot();
    T.TV->Log.erase(std::remove_if(T.TV->Log.begin(), T.TV->Log.end(),
                                   [](const String& S) { return S.rfind("setfocus", 0) == 0 || S == "killfocus"; }),
                    T.TV->Log.end());
    // Painted at least once; take the last cycle.
    ASSERT_GE(T.TV->Log.size(), 6u);
    const std::vector<String> Last(T.TV->Log.end() - 6, T.TV->Log.end());
    EXPECT_EQ(Join(Last), "prepaint itemprepaint:A itemprepaint:B itempostpaint:B itemprepaint:C postpaint");
    EXPECT_TRUE(CanvasGiven);
    ASSERT_GE(Rects.size(), 3u);
    const size_t N = Rects.size();
    EXPECT_EQ(Rects[N - 3], TRect(0, 0, 200 - TNativeTreeView::ScrollBarSize, 16));
    EXPECT_EQ(Rects[N - 1], TRect(0, 32, 200 - TNativeTreeView::ScrollBarSize, 48));
    EXPECT_EQ(Params[N - 2], 6);
    EXPECT_NE(States[N - 2] & CDIS_SELECTED, 0u);
    EXPECT_EQ(States[N - 3] & CDIS_SELECTED, 0u);
    // Skipped default drawing: only the receiver's red shows.
    EXPECT_EQ(Pixel(Shot, 10, 8), Rgb(clRed));
    EXPECT_EQ(Pixel(Shot, 100, 24), Rgb(clRed));
}

TEST(NativeTreeView, CustomDrawColoursAndHotState)
{
    TSample T(TVS_HASBUTTONS | TVS_LINESATROOT | TVS_TRACKSELECT);
    T.TV->SetColor(clWhite);
    std::map<HTREEITEM, unsigned> States;
    T.TV->Answer = [&](NMHDR& H) -> intptr_t {
        if (H.code != NM_CUSTOMDRAW)
            return 0;
        auto& D = reinterpret_cast<NMTVCUSTOMDRAW&>(H);
        if (D.nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (D.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            const auto Item = reinterpret_cast<HTREEITEM>(D.nmcd.dwItemSpec);
            States[Item] = D.nmcd.uItemState;
            if (Item == T.B)
                D.clrTextBk = clLime; // the default drawing uses it
        }
        return CDRF_DODEFAULT;
    };
    TRect R;
    TreeView_GetItemRect(T.TV, T.C, &R, true);
    T.TV->Perform(WM_MOUSEMOVE, 0, PointToLParam(R.Left + 3, R.Top + 4));
    const QImage Shot = T.Shot();
    EXPECT_NE(States[T.C] & CDIS_HOT, 0u);
    EXPECT_EQ(States[T.A] & CDIS_HOT, 0u);
    TreeView_GetItemRect(T.TV, T.B, &R, true);
    EXPECT_EQ(Pixel(Shot, R.Left + 1, R.Top + 1), Rgb(clLime));
    EXPECT_EQ(Pixel(Shot, R.Right + 1, R.Top + 1), Rgb(clWhite));
}

TEST(NativeTreeView, DefaultDrawing)
{
    TSample T(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 200, 120);
    T.TV->Recording = false;
    T.Expand(T.A);
    T.TV->SetColor(clWhite);
    T.TV->Perform(TVM_SETLINECOLOR, 0, static_cast<intptr_t>(clBlue));
    TreeView_Select(T.TV, T.A1, TVGN_CARET);
    T.Form->Show();
    T.TV->SetFocus();
    QApplication::processEvents();
    const QImage Shot = T.Shot();
    SaveShot(Shot, "nativetree-default");
    // Button of A (expanded: minus only) centred at (9, 8).
    EXPECT_EQ(Pixel(Shot, 9 - 4, 8), Rgb(clBtnShadow)) << "button frame";
    EXPECT_EQ(Pixel(Shot, 9, 8), Rgb(clBlack)) << "minus";
    EXPECT_EQ(Pixel(Shot, 9, 6), Rgb(clWhite)) << "no plus stroke when expanded";
    // C is collapsed with a child: plus (row 3 of 16 after A1, A2, A3, B -> row 5).
    EXPECT_EQ(Pixel(Shot, 9, 5 * 16 + 6), Rgb(clBlack)) << "plus stroke";
    // The dotted line of the top level passes B's row at x 9 on even pixels.
    const int BY = 4 * 16;
    int Blue = 0;
    for (int Y = BY; Y < BY + 16; ++Y)
        Blue += Pixel(Shot, 9, Y) == Rgb(clBlue);
    EXPECT_GE(Blue, 7);
    EXPECT_LE(Blue, 9);
    // A1's selected label is highlighted.
    TRect R;
    TreeView_GetItemRect(T.TV, T.A1, &R, true);
    EXPECT_EQ(Pixel(Shot, R.Left + 1, R.Top + 2), Rgb(clHighlight));
    EXPECT_EQ(Pixel(Shot, R.Right + 2, R.Top + 2), Rgb(clWhite)) << "right of the label";
    // Some highlight-text pixels inside the label.
    int TextPixels = 0;
    for (int X = R.Left; X < R.Right; ++X)
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            TextPixels += Pixel(Shot, X, Y) == Rgb(clHighlightText);
    EXPECT_GT(TextPixels, 5);
}

TEST(NativeTreeView, RedrawOffSuppressesInvalidation)
{
    TSample T;
    T.TV->Perform(WM_SETREDRAW, 0);
    for (int I = 0; I < 5; ++I)
        T.Add(TVI_ROOT, "more");
    EXPECT_EQ(T.TV->Perform(TVM_GETCOUNT), 13);
    T.TV->Perform(WM_SETREDRAW, 1);
    EXPECT_EQ(T.Children(TVI_ROOT), "A,B,C,more,more,more,more,more");
}

// ---------------------------------------------------------------- label editing

TEST(NativeTreeView, LabelEditing)
{
    struct TCase {
        const char* Name;
        std::function<void(TEdit*, TNativeTreeView*)> End;
        intptr_t Accept;
        const char* Log;
        const char* Text;
    };
    const std::vector<TCase> Cases = {
        {"accepted now", [](TEdit*, TNativeTreeView* TV) { TV->Perform(TVM_ENDEDITLABELNOW, 0); }, 1,
         "beginedit:B endedit:B:Bravo", "Bravo"},
        {"refused text", [](TEdit*, TNativeTreeView* TV) { TV->Perform(TVM_ENDEDITLABELNOW, 0); }, 0,
         "beginedit:B endedit:B:Bravo", "B"},
        {"cancelled now", [](TEdit*, TNativeTreeView* TV) { TV->Perform(TVM_ENDEDITLABELNOW, 1); }, 1,
         "beginedit:B endedit:B:cancel", "B"},
        {"return", [](TEdit* E, TNativeTreeView*) { E->Perform(WM_KEYDOWN, VK_RETURN); }, 1,
         "beginedit:B endedit:B:Bravo", "Bravo"},
        {"escape", [](TEdit* E, TNativeTreeView*) { E->Perform(WM_KEYDOWN, VK_ESCAPE); }, 1,
         "beginedit:B endedit:B:cancel", "B"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TSample T(TVS_HASBUTTONS | TVS_LINESATROOT | TVS_EDITLABELS);
        T.TV->Answer = [&](NMHDR& H) -> intptr_t { return H.code == TVN_ENDLABELEDIT ? C.Accept : 0; };
        auto* Edit = reinterpret_cast<TEdit*>(T.TV->Perform(TVM_EDITLABEL, 0, reinterpret_cast<intptr_t>(T.B)));
        ASSERT_NE(Edit, nullptr);
        EXPECT_EQ(T.TV->Perform(TVM_GETEDITCONTROL), reinterpret_cast<intptr_t>(Edit));
        EXPECT_EQ(Edit->Text(), "B");
        Edit->SetText("Bravo");
        C.End(Edit, T.TV);
        EXPECT_EQ(T.TV->Perform(TVM_GETEDITCONTROL), 0);
        EXPECT_EQ(Join(T.TV->Log), C.Log);
        EXPECT_EQ(T.Text(T.B), C.Text);
        QApplication::processEvents();
    }
    // A refused begin shows no editor.
    TSample T(TVS_EDITLABELS);
    T.TV->Answer = [](NMHDR& H) -> intptr_t { return H.code == TVN_BEGINLABELEDIT ? 1 : 0; };
    EXPECT_EQ(T.TV->Perform(TVM_EDITLABEL, 0, reinterpret_cast<intptr_t>(T.B)), 0);
    EXPECT_EQ(T.TV->Perform(TVM_GETEDITCONTROL), 0);
    EXPECT_FALSE(T.TV->Perform(TVM_ENDEDITLABELNOW, 0));
}

TEST(NativeTreeView, AcceptedEditOfCallbackTextIsSentBack)
{
    TTree T(TVS_HASBUTTONS | TVS_LINESATROOT | TVS_EDITLABELS);
    T.Add(TVI_ROOT, "first");
    String Stored = "old";
    T.TV->Answer = [&](NMHDR& H) -> intptr_t {
        auto& D = reinterpret_cast<NMTVDISPINFO&>(H);
        if (H.code == TVN_GETDISPINFO)
            D.item.pszText = Stored;
        if (H.code == TVN_SETDISPINFO)
            Stored = D.item.pszText;
        return H.code == TVN_ENDLABELEDIT ? 1 : 0;
    };
    TVINSERTSTRUCT I;
    I.item.mask = TVIF_TEXT;
    I.item.TextCallback = true;
    HTREEITEM X = TreeView_InsertItem(T.TV, &I);
    auto* Edit = reinterpret_cast<TEdit*>(T.TV->Perform(TVM_EDITLABEL, 0, reinterpret_cast<intptr_t>(X)));
    ASSERT_NE(Edit, nullptr);
    EXPECT_EQ(Edit->Text(), "old");
    SaveShot(T.Shot(), "nativetree-edit");
    Edit->SetText("new");
    T.TV->Perform(TVM_ENDEDITLABELNOW, 0);
    EXPECT_EQ(Stored, "new");
    EXPECT_EQ(T.Text(X), "new");
    QApplication::processEvents();
}

TEST(NativeTreeView, DefaultDrawingOfCheckBoxesAndImages)
{
    TTree T(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES, 200, 60);
    T.TV->Recording = false;
    T.TV->SetColor(clWhite);
    std::unique_ptr<TCustomImageList> Images(TCustomImageList::CreateSize(12, 12));
    QImage Red(12, 12, QImage::Format_ARGB32);
    Red.fill(QColor(255, 0, 0));
    QImage Green(12, 12, QImage::Format_ARGB32);
    Green.fill(QColor(0, 160, 0));
    Images->AddImage32(Red);
    Images->AddImage32(Green);
    T.TV->Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<intptr_t>(Images.get()));
    HTREEITEM X = T.Add(TVI_ROOT, "unchecked");
    HTREEITEM Y = T.Add(TVI_ROOT, "checked");
    TVITEM S;
    S.hItem = Y;
    S.mask = TVIF_STATE | TVIF_IMAGE;
    S.stateMask = TVIS_STATEIMAGEMASK;
    S.state = INDEXTOSTATEIMAGEMASK(2);
    S.iImage = 1;
    TreeView_SetItem(T.TV, &S);
    HTREEITEM Cut = T.Add(TVI_ROOT, "cut");
    S.hItem = Cut;
    S.mask = TVIF_STATE;
    S.stateMask = TVIS_CUT;
    S.state = TVIS_CUT;
    TreeView_SetItem(T.TV, &S);
    const QImage Shot = T.Shot();
    SaveShot(Shot, "nativetree-checks");
    // The 13 x 13 boxes sit in the 16-pixel state slot after the button cell.
    auto Dark = [&](int Row) {
        int N = 0;
        for (int X0 = 19 + 1; X0 < 19 + 15; ++X0)
            for (int Y0 = Row * 16 + 3; Y0 < Row * 16 + 13; ++Y0)
                N += qGray(Shot.pixel(X0, Y0)) < 128;
        return N;
    };
    int Frame = 0;
    for (int X0 = 19 + 1; X0 < 19 + 15; ++X0)
        Frame += Pixel(Shot, X0, 8 - 6) != Rgb(clWhite);
    EXPECT_GE(Frame, 12) << "the box's top edge";
    EXPECT_EQ(Dark(0), 0) << "no mark when unchecked";
    EXPECT_GT(Dark(1), 5) << "the check mark";
    // Images after the state slot, centred: red for the first, green for the second.
    EXPECT_EQ(Pixel(Shot, 19 + 16 + 6, 8), qRgb(255, 0, 0) & 0xFFFFFFu);
    EXPECT_EQ(Pixel(Shot, 19 + 16 + 6, 16 + 8), qRgb(0, 160, 0) & 0xFFFFFFu);
    EXPECT_EQ(Pixel(Shot, 19 + 16 + 6, 16 + 1), Rgb(clWhite)) << "above the centred image";
    EXPECT_EQ(Pixel(Shot, 19 + 16 + 6, 32 + 8), qRgb(255, 127, 127) & 0xFFFFFFu) << "a cut item's image is faded";
    (void)X;
}

bool WaitFor(const std::function<bool()>& Done, int Milliseconds)
{
    QElapsedTimer Clock;
    Clock.start();
    while (!Done() && Clock.elapsed() < Milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return Done();
}

TEST(NativeTreeView, ClickOnTheSelectedLabelEdits)
{
    TSample T(TVS_HASBUTTONS | TVS_LINESATROOT | TVS_EDITLABELS);
    TRect R;
    TreeView_GetItemRect(T.TV, T.B, &R, true);
    const intptr_t At = PointToLParam(R.Left + 3, R.Top + 4);
    auto Click = [&] {
        T.TV->Perform(WM_LBUTTONDOWN, 0, At);
        T.TV->Perform(WM_LBUTTONUP, 0, At);
    };
    Click(); // selects
    EXPECT_FALSE(
        WaitFor([&] { return T.TV->Perform(TVM_GETEDITCONTROL) != 0; }, QApplication::doubleClickInterval() + 200))
        << "a click that selects does not edit";
    Click();
    T.TV->Perform(WM_LBUTTONDBLCLK, 0, At);
    T.TV->Perform(WM_LBUTTONUP, 0, At);
    EXPECT_FALSE(
        WaitFor([&] { return T.TV->Perform(TVM_GETEDITCONTROL) != 0; }, QApplication::doubleClickInterval() + 200))
        << "a double click does not edit";
    Click();
    EXPECT_TRUE(
        WaitFor([&] { return T.TV->Perform(TVM_GETEDITCONTROL) != 0; }, QApplication::doubleClickInterval() + 1000));
    T.TV->Perform(TVM_ENDEDITLABELNOW, 1);
    // Without the style nothing is edited.
    T.TV->SetStyle(T.TV->Style() & ~TVS_EDITLABELS);
    Click();
    EXPECT_FALSE(
        WaitFor([&] { return T.TV->Perform(TVM_GETEDITCONTROL) != 0; }, QApplication::doubleClickInterval() + 200));
}

TEST(NativeTreeView, DeletingTheEditedItemCancelsTheEdit)
{
    TSample T(TVS_EDITLABELS);
    T.TV->Perform(TVM_EDITLABEL, 0, reinterpret_cast<intptr_t>(T.B));
    TreeView_DeleteItem(T.TV, T.B);
    EXPECT_EQ(Join(T.TV->Log), "beginedit:B endedit:B:cancel delete:B");
    EXPECT_EQ(T.TV->Perform(TVM_GETEDITCONTROL), 0);
    QApplication::processEvents();
}

TEST(NativeTreeView, DragImageShowsTheItem)
{
    TSample T;
    std::unique_ptr<TCustomImageList> List(
        reinterpret_cast<TCustomImageList*>(T.TV->Perform(TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<intptr_t>(T.B))));
    ASSERT_TRUE(List);
    ASSERT_EQ(List->Count(), 1);
    TRect R;
    TreeView_GetItemRect(T.TV, T.B, &R, true);
    EXPECT_EQ(List->Width(), R.Width());
    EXPECT_EQ(List->Height(), 16);
    const QImage Img = List->ImageAt(0);
    int Dark = 0;
    for (int X = 0; X < Img.width(); ++X)
        for (int Y = 0; Y < Img.height(); ++Y)
            Dark += qGray(Img.pixel(X, Y)) < 100;
    EXPECT_GT(Dark, 3) << "the text is drawn";
    EXPECT_EQ(T.TV->Perform(TVM_CREATEDRAGIMAGE, 0, 0), 0);
}

TEST(NativeTreeView, StyleChangesOnALiveControl)
{
    TSample T(TVS_HASBUTTONS | TVS_LINESATROOT);
    TRect R;
    TreeView_GetItemRect(T.TV, T.A, &R, true);
    EXPECT_EQ(R.Left, 19);
    T.TV->SetStyle(T.TV->Style() & ~TVS_LINESATROOT);
    TreeView_GetItemRect(T.TV, T.A, &R, true);
    EXPECT_EQ(R.Left, 0);
    T.TV->SetStyle(T.TV->Style() | TVS_CHECKBOXES);
    EXPECT_EQ(T.State(T.C1) & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
}

TEST(NativeTreeView, RecreatingTheWindowDeletesTheItems)
{
    TSample T;
    T.TV->RecreateWnd();
    EXPECT_EQ(T.TV->Perform(TVM_GETCOUNT), 0);
    EXPECT_EQ(T.TV->Log.size(), 8u);
    EXPECT_EQ(T.TV->Log.back(), "delete:C");
}

// Rows, rectangles and scrolling stay right through every kind of change:
// the kept row counts are checked against a walk over the shown items.
TEST(NativeTreeView, RowBookkeepingFollowsEveryChange)
{
    TTree T(TVS_HASBUTTONS | TVS_LINESATROOT, 200, 18);
    T.TV->Recording = false;
    std::vector<HTREEITEM> Items;
    uint32_t Seed = 12345;
    auto Rand = [&Seed](uint32_t N) {
        Seed = Seed * 1103515245u + 12345u;
        return (Seed >> 8) % N;
    };
    auto Check = [&](int Step) {
        SCOPED_TRACE("step " + std::to_string(Step));
        int Row = 0;
        for (HTREEITEM I = TreeView_GetNextItem(T.TV, TVI_ROOT, TVGN_ROOT); I;
             I = TreeView_GetNextItem(T.TV, I, TVGN_NEXTVISIBLE), ++Row) {
            ASSERT_EQ(T.TV->ItemRow(I), Row);
        }
        ASSERT_EQ(T.TV->VisibleItemCount(), Row);
        // Scrolling to a row shows the item of that row first.
        if (Row > 0) {
            const int Target = static_cast<int>(Rand(static_cast<uint32_t>(Row)));
            T.TV->Perform(WM_VSCROLL, 4 | (Target << 16));
            HTREEITEM Top = TreeView_GetNextItem(T.TV, nullptr, TVGN_FIRSTVISIBLE);
            ASSERT_EQ(T.TV->ItemRow(Top), std::min(Target, std::max(0, Row - T.TV->VisibleCount())));
        }
    };
    for (int Step = 0; Step < 600; ++Step) {
        const uint32_t Op = Items.empty() ? 0 : Rand(10);
        if (Op < 4) {
            HTREEITEM Parent = Items.empty() || Rand(4) == 0 ? TVI_ROOT : Items[Rand(static_cast<uint32_t>(Items.size()))];
            HTREEITEM After = TVI_LAST;
            if (Rand(3) == 0)
                After = TVI_FIRST;
            if (HTREEITEM I = T.Add(Parent, "n" + std::to_string(Step), After))
                Items.push_back(I);
        } else if (Op < 6) {
            T.Expand(Items[Rand(static_cast<uint32_t>(Items.size()))]);
        } else if (Op < 7) {
            TreeView_Expand(T.TV, Items[Rand(static_cast<uint32_t>(Items.size()))], TVE_COLLAPSE);
        } else if (Op < 8) {
            HTREEITEM Victim = Items[Rand(static_cast<uint32_t>(Items.size()))];
            TreeView_DeleteItem(T.TV, Victim);
            Items.erase(std::remove_if(Items.begin(), Items.end(), [&T](HTREEITEM I) { return !T.TV->IsItem(I); }),
                        Items.end());
        } else if (Op < 9) {
            HTREEITEM Parent = Rand(3) == 0 ? TVI_ROOT : Items[Rand(static_cast<uint32_t>(Items.size()))];
            T.TV->Perform(TVM_SORTCHILDREN, Rand(2), reinterpret_cast<intptr_t>(Parent));
        } else {
            TVITEM I;
            I.mask = TVIF_STATE;
            I.hItem = Items[Rand(static_cast<uint32_t>(Items.size()))];
            I.stateMask = TVIS_EXPANDED;
            I.state = Rand(2) ? unsigned(TVIS_EXPANDED) : 0u;
            TreeView_SetItem(T.TV, &I);
        }
        Check(Step);
        if (HasFatalFailure())
            return;
    }
}

// A long chain deletes without recursion, children first.
TEST(NativeTreeView, DeepChainDeletes)
{
    TTree T;
    T.TV->Recording = false;
    HTREEITEM P = TVI_ROOT;
    HTREEITEM First = nullptr;
    for (int K = 0; K < 100000; ++K) {
        P = T.Add(P, "x");
        if (!First)
            First = P;
    }
    int Deleted = 0;
    HTREEITEM LastDeleted = nullptr;
    T.TV->Answer = [&](NMHDR& H) -> intptr_t {
        if (H.code == TVN_DELETEITEM) {
            ++Deleted;
            LastDeleted = reinterpret_cast<NMTREEVIEW&>(H).itemOld.hItem;
        }
        return 0;
    };
    EXPECT_TRUE(TreeView_DeleteItem(T.TV, First));
    EXPECT_EQ(Deleted, 100000);
    EXPECT_EQ(LastDeleted, First);
    EXPECT_EQ(T.TV->Perform(TVM_GETCOUNT), 0);
}

// The border: WS_BORDER one pixel, the client edge two; item rectangles,
// hit tests and mouse messages are in client coordinates inside it.
TEST(NativeTreeView, BorderAndClientCoordinates)
{
    struct TCase {
        unsigned Style, ExStyle;
        int Border;
    };
    for (const TCase& C : {TCase{0, 0, 0}, TCase{WS_BORDER, 0, 1}, TCase{WS_BORDER, WS_EX_CLIENTEDGE, 2}}) {
        SCOPED_TRACE(C.Border);
        TSample T(TVS_HASBUTTONS | TVS_LINESATROOT | C.Style, 120, 100);
        T.TV->SetExStyle(C.ExStyle);
        EXPECT_EQ(T.TV->BorderSize(), C.Border);
        EXPECT_EQ(T.TV->ClientRect(), TRect(0, 0, 120 - 2 * C.Border, 100 - 2 * C.Border));
        TRect R;
        TreeView_GetItemRect(T.TV, T.B, &R, true);
        EXPECT_EQ(R.Top, 16);
        // A real click in the middle of B's label selects B.
        T.Form->Show();
        const QPoint At(R.Left + 3 + C.Border, R.Top + 8 + C.Border);
        QMouseEvent Press(QEvent::MouseButtonPress, At, T.TV->mapToGlobal(At), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(T.TV, &Press);
        QMouseEvent Release(QEvent::MouseButtonRelease, At, T.TV->mapToGlobal(At), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(T.TV, &Release);
        EXPECT_EQ(T.Selected(), T.B);
        const QImage Img = T.Shot();
        if (C.Border == 1) {
            EXPECT_EQ(Pixel(Img, 0, 50), Rgb(clWindowFrame));
        }
        if (C.Border == 2) {
            EXPECT_EQ(Pixel(Img, 0, 50), Rgb(clBtnShadow));
            EXPECT_EQ(Pixel(Img, 119, 50), Rgb(clBtnHighlight));
        }
        // The first row's selection-free background starts inside the border.
        EXPECT_EQ(Pixel(Img, C.Border + 1, C.Border + 1), Rgb(clWindow));
    }
}

// The widest row decides the horizontal scroll range and follows changes.
TEST(NativeTreeView, WidestRowFollowsChanges)
{
    TSample T(TVS_HASBUTTONS | TVS_LINESATROOT, 80, 160);
    auto Range = [&T] {
        T.TV->Perform(WM_HSCROLL, 7);
        return T.TV->ScrollX();
    };
    EXPECT_EQ(Range(), 0);
    HTREEITEM Long = T.Add(TVI_ROOT, String(40, 'W'));
    const int Wide = Range();
    EXPECT_GT(Wide, 100);
    TVITEM I;
    I.mask = TVIF_TEXT;
    I.hItem = Long;
    I.pszText = "short";
    TreeView_SetItem(T.TV, &I);
    EXPECT_EQ(Range(), 0);
    HTREEITEM Deep = T.Add(T.A2a, String(40, 'W'));
    EXPECT_EQ(Range(), 0); // hidden in a collapsed parent
    T.Expand(T.A);
    T.Expand(T.A2);
    T.Expand(T.A2a);
    EXPECT_GT(Range(), Wide);
    TreeView_Expand(T.TV, T.A, TVE_COLLAPSE);
    EXPECT_EQ(Range(), 0);
    T.Expand(T.A);
    EXPECT_GT(Range(), Wide);
    TreeView_DeleteItem(T.TV, Deep);
    EXPECT_LT(Range(), 10); // A2a itself just passes the client width
}

} // namespace
