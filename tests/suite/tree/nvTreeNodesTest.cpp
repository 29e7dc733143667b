// The tree model: creating, the absolute-index cache, expansion, check boxes
// and radio groups, sorting, moving, deleting and clearing, searching,
// assigning, and the stored node stream with its corrupt-input handling.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include "FormStream.h"
#include "nvTreeTestSupport.h"

using namespace nvtree_test;

namespace {

// ---------------------------------------------------------------- creating

TEST(nvTreeNodes, AddFamilyPlacesNodes)
{
    TTreeFixture F;
    TnvTreeNodes* I = F.Items();
    TnvTreeNode* B = I->Add(nullptr, "B");
    I->AddFirst(B, "A");
    I->Add(B, "C");
    TnvTreeNode* B2 = I->AddChild(B, "B2");
    I->AddFirst(B2, "B1");
    I->AddChildObject(B, "B3", reinterpret_cast<void*>(intptr_t(7)));
    EXPECT_EQ(Dump(I), "A,B(B1,B2,B3),C");
    EXPECT_EQ(I->Count(), 6);
    EXPECT_EQ(Find(I, "B3")->Data(), reinterpret_cast<void*>(intptr_t(7)));
    EXPECT_TRUE(B->HasChildren());
    EXPECT_FALSE(Find(I, "A")->HasChildren());
    EXPECT_EQ(B2->Parent(), B);
    EXPECT_EQ(B2->Level(), 1);
    EXPECT_EQ(B2->Index(), 1);
    EXPECT_EQ(B->Count(), 3);
    EXPECT_TRUE(B2->InTree());
    EXPECT_EQ(B2->StateIndex(), -1);
    EXPECT_EQ(B2->ImageIndex(), 0);
    EXPECT_EQ(B2->OverlayIndex(), -1);
    EXPECT_EQ(B2->TreeView(), F.Tree);
}

TEST(nvTreeNodes, CreationEventsAndHookKinds)
{
    TTreeFixture F;
    F.Tree->LogEvents();
    TnvTreeNode* A = F.Items()->Add(nullptr, "A");
    // The hook sees the node created (kind 0) before its text is set (kind 2).
    EXPECT_EQ(F.Tree->TakeLog(), "hook 0 ; hook 2  A");
    A->SetImageIndex(4);
    EXPECT_EQ(F.Tree->TakeLog(), "hook 3 A 4");
    A->SetText("B");
    EXPECT_EQ(F.Tree->TakeLog(), "hook 2 A B");
    A->Delete();
    EXPECT_EQ(F.Tree->TakeLog(), "deletion B; hook 1 B");
}

TEST(nvTreeNodes, RefusedInsertionFreesTheNode)
{
    TTreeFixture F;
    const int Before = TCountedNode::Live;
    F.Tree->RefuseInsert = true;
    try {
        F.Items()->Add(nullptr, "X");
        FAIL() << "no exception";
    } catch (const EOutOfResources& E) {
        EXPECT_EQ(E.Message(), "Unable to insert an item");
    }
    EXPECT_EQ(TCountedNode::Live, Before);
    F.Tree->RefuseInsert = false;
    TnvTreeNode* A = F.Items()->Add(nullptr, "A");
    F.Tree->RefuseInsert = true;
    EXPECT_THROW(F.Items()->AddChild(A, "A1"), EOutOfResources);
    EXPECT_EQ(TCountedNode::Live, Before + 1);
    EXPECT_FALSE(A->HasChildren());
}

TEST(nvTreeNodes, ChildItemIndexErrors)
{
    TTreeFixture F;
    Build(F.Items(), "A(A1,A2)");
    TnvTreeNode* A = Find(F.Items(), "A");
    EXPECT_EQ(A->Item(-3)->Text(), "A1");
    EXPECT_EQ(A->Item(1)->Text(), "A2");
    try {
        A->Item(5);
        FAIL();
    } catch (const ETreeViewError& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (5)");
    }
    EXPECT_EQ(A->IndexOf(Find(F.Items(), "A2")), 1);
    EXPECT_EQ(A->IndexOf(A), -1);
    EXPECT_TRUE(Find(F.Items(), "A1")->HasAsParent(A));
    EXPECT_TRUE(A->HasAsParent(nullptr));
    EXPECT_FALSE(A->HasAsParent(Find(F.Items(), "A1")));
}

// ---------------------------------------------------------------- index cache

TEST(nvTreeNodes, AbsoluteIndexCache)
{
    TTreeFixture F;
    Build(F.Items(), "A(A1,A2(A2a)),B,C(C1)");
    TnvTreeNodes* I = F.Items();
    const char* Order[] = {"A", "A1", "A2", "A2a", "B", "C", "C1"};
    for (int K = 0; K < 7; ++K) {
        EXPECT_EQ((*I)[K]->Text(), Order[K]);
        EXPECT_EQ(I->CacheIndex(), K);
    }
    for (int K = 6; K >= 0; --K)
        EXPECT_EQ(I->Item(K)->Text(), Order[K]);
    // A neighbour of the cached index is one step; a far index walks.
    I->Item(0);
    F.Tree->GetNextItemCalls = 0;
    I->Item(1);
    const int Step = F.Tree->GetNextItemCalls;
    F.Tree->GetNextItemCalls = 0;
    I->Item(0);
    I->Item(5);
    const int Walk = F.Tree->GetNextItemCalls;
    EXPECT_LE(Step, 2);
    EXPECT_GT(Walk, 5);
    EXPECT_EQ(I->CacheNode()->Text(), "C");
    EXPECT_EQ(I->CacheNode()->AbsoluteIndex(), 5);
    EXPECT_EQ(Find(I, "A2a")->AbsoluteIndex(), 3);
    for (int Bad : {-1, 7, 100}) {
        try {
            I->Item(Bad);
            FAIL() << Bad;
        } catch (const ETreeViewError& E) {
            EXPECT_EQ(E.Message(), "Invalid index");
        }
    }
    // A structural change empties the cache: no stale node after deletion.
    I->Item(4);
    Find(I, "B")->Delete();
    EXPECT_EQ(I->CacheNode(), nullptr);
    EXPECT_EQ(I->Item(4)->Text(), "C");
    I->Item(5);
    I->AddFirst(nullptr, "Z");
    EXPECT_EQ(I->CacheNode(), nullptr);
    EXPECT_EQ(I->Item(5)->Text(), "C");
}

// ---------------------------------------------------------------- expanding

TEST(nvTreeNodes, ExpandAndCollapseRaiseEventsOnce)
{
    TTreeFixture F;
    Build(F.Items(), "A(A1(A1a),A2),B");
    F.Tree->LogEvents();
    TnvTreeNode* A = Find(F.Items(), "A");
    A->Expand(false);
    EXPECT_EQ(F.Tree->TakeLog(), "expanding A; expanded A");
    EXPECT_TRUE(A->Expanded());
    EXPECT_FALSE(Find(F.Items(), "A1")->Expanded());
    A->Collapse(false);
    EXPECT_EQ(F.Tree->TakeLog(), "collapsing A; collapsed A");
    // Recursion: the node and every node of its subtree that has children.
    A->Expand(true);
    EXPECT_EQ(F.Tree->TakeLog(), "expanding A; expanded A; expanding A1; expanded A1");
    EXPECT_TRUE(Find(F.Items(), "A1")->Expanded());
    // A leaf does nothing; a refusal keeps the node as it is.
    Find(F.Items(), "B")->Expand(false);
    EXPECT_EQ(F.Tree->TakeLog(), "");
    F.Tree->OnCollapsing = [](TObject*, TnvTreeNode*, bool& Allow) { Allow = false; };
    A->Collapse(false);
    EXPECT_TRUE(A->Expanded());
    // The native control's own expansion (a key) raises the events too.
    F.Tree->OnCollapsing = nullptr;
    F.Tree->FullCollapse();
    F.Tree->LogEvents();
    A->SetSelected(true);
    F.Tree->TakeLog();
    F.Tree->Perform(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(F.Tree->TakeLog(), "expanding A; expanded A");
}

TEST(nvTreeNodes, FullExpandAndVisibility)
{
    TTreeFixture F;
    Build(F.Items(), "A(A1(A1a),A2),B(B1)");
    TnvTreeNode* A1a = Find(F.Items(), "A1a");
    EXPECT_FALSE(A1a->IsVisible());
    EXPECT_EQ(A1a->GetNextVisible(), nullptr);
    EXPECT_TRUE(A1a->DisplayRect(false).IsEmpty());
    F.Tree->FullExpand();
    EXPECT_TRUE(A1a->IsVisible());
    EXPECT_EQ(A1a->GetNextVisible()->Text(), "A2");
    EXPECT_EQ(A1a->GetPrevVisible()->Text(), "A1");
    EXPECT_EQ(F.Items()->FindNode("b1", true)->Text(), "B1");
    Find(F.Items(), "B")->Collapse(false);
    EXPECT_EQ(F.Items()->FindNode("b1", true), nullptr);
    EXPECT_EQ(F.Items()->FindNode("B1", false)->Text(), "B1");
}

// ---------------------------------------------------------------- check boxes

TEST(nvTreeNodes, RadioGroupChecksOneSibling)
{
    TTreeFixture F;
    Build(F.Items(), "P(R1,R2,R3,R4),Q");
    TnvTreeNode* P = Find(F.Items(), "P");
    for (TnvTreeNode* N = P->GetFirstChild(); N; N = N->GetNextSibling()) {
        N->SetCheckboxType(nvctRadioGroup);
        EXPECT_EQ(N->StateIndex(), 1);
    }
    Find(F.Items(), "R1")->SetChecked(true);
    Find(F.Items(), "R4")->SetChecked(true);
    F.Tree->LogEvents();
    Find(F.Items(), "R3")->SetChecked(true);
    // The two checked siblings go unchecked quietly, the new one reports.
    EXPECT_EQ(F.Tree->TakeLog(), "toggle R3");
    String Marks;
    for (TnvTreeNode* N = P->GetFirstChild(); N; N = N->GetNextSibling())
        Marks += N->Checked() ? "x" : "-";
    EXPECT_EQ(Marks, "--x-");
    // Unchecking a radio node does nothing more; setting the same value nothing at all.
    Find(F.Items(), "R3")->SetChecked(false);
    Find(F.Items(), "R3")->SetChecked(false);
    EXPECT_EQ(F.Tree->TakeLog(), "");
    // Graying one grays the group (not the parent's siblings).
    Find(F.Items(), "R2")->SetGrayed(true);
    for (TnvTreeNode* N = P->GetFirstChild(); N; N = N->GetNextSibling())
        EXPECT_TRUE(N->Grayed()) << N->Text();
    EXPECT_FALSE(Find(F.Items(), "Q")->Grayed());
    Find(F.Items(), "R4")->SetGrayed(false);
    for (TnvTreeNode* N = P->GetFirstChild(); N; N = N->GetNextSibling())
        EXPECT_FALSE(N->Grayed()) << N->Text();
}

TEST(nvTreeNodes, RadioGroupAtTopLevelAndMixedSiblings)
{
    TTreeFixture F;
    Build(F.Items(), "R1,C,R2");
    TnvTreeNode* C = Find(F.Items(), "C");
    C->SetCheckboxType(nvctCheckbox);
    C->SetChecked(true);
    Find(F.Items(), "R1")->SetCheckboxType(nvctRadioGroup);
    Find(F.Items(), "R2")->SetCheckboxType(nvctRadioGroup);
    F.Tree->LogEvents();
    Find(F.Items(), "R2")->SetChecked(true);
    // A check-box sibling is unchecked through its own rule and reports it.
    EXPECT_EQ(F.Tree->TakeLog(), "toggle C; toggle R2");
    EXPECT_FALSE(C->Checked());
}

TEST(nvTreeNodes, StateIndexRules)
{
    TTreeFixture F;
    TnvTreeNode* N = F.Items()->Add(nullptr, "N");
    N->SetStateIndex(0);
    EXPECT_EQ(N->StateIndex(), -1);
    N->SetStateIndex(5);
    EXPECT_EQ(N->StateIndex(), 5);
    N->SetCheckboxType(nvctCheckbox);
    EXPECT_EQ(N->StateIndex(), 1);
    N->SetStateIndex(3);
    EXPECT_EQ(N->StateIndex(), 1);
    N->SetStateIndex(-1);
    EXPECT_EQ(N->StateIndex(), -1);
    N->SetCheckboxType(nvctNone);
    EXPECT_EQ(N->StateIndex(), -1);
    // The native item's state image and overlay follow.
    N->SetStateIndex(18);
    N->SetOverlayIndex(2);
    TVITEM I;
    I.mask = TVIF_STATE;
    I.hItem = N->ItemId();
    I.stateMask = 0xFFFF;
    TreeView_GetItem(F.Tree, &I);
    EXPECT_EQ((I.state & TVIS_STATEIMAGEMASK) >> 12, 2u);
    EXPECT_EQ((I.state & TVIS_OVERLAYMASK) >> 8, 3u);
}

// ---------------------------------------------------------------- sorting

TEST(nvTreeNodes, SortingAndAutomaticResorting)
{
    TTreeFixture F;
    Build(F.Items(), "b,B,a(z,y,x),A");
    F.Tree->AlphaSort();
    // The locale's case-sensitive order: lower case before upper case.
    EXPECT_EQ(Dump(F.Items()), "a(x,y,z),A,b,B");
    F.Tree->SetSortType(nvstText);
    Find(F.Items(), "x")->SetText("zz");
    EXPECT_EQ(Dump(F.Items()), "a(y,z,zz),A,b,B");
    Find(F.Items(), "A")->SetText("c");
    EXPECT_EQ(Dump(F.Items()), "a(y,z,zz),b,B,c");
    // Data sorts only with OnCompare and a data sort type.
    F.Tree->SetSortType(nvstNone);
    TnvTreeNode* A = Find(F.Items(), "a");
    int K = 0;
    for (TnvTreeNode* N = A->GetFirstChild(); N; N = N->GetNextSibling())
        N->SetData(reinterpret_cast<void*>(intptr_t(10 - K++)));
    EXPECT_EQ(Dump(A->GetFirstChild()), "y,z,zz");
    F.Tree->OnCompare = [](TObject*, TnvTreeNode* N1, TnvTreeNode* N2, intptr_t, int& Compare) {
        Compare = static_cast<int>(reinterpret_cast<intptr_t>(N1->Data()) - reinterpret_cast<intptr_t>(N2->Data()));
    };
    F.Tree->SetSortType(nvstData);
    EXPECT_EQ(Dump(A->GetFirstChild()), "zz,z,y");
    Find(F.Items(), "zz")->SetData(reinterpret_cast<void*>(intptr_t(99)));
    EXPECT_EQ(Dump(A->GetFirstChild()), "z,y,zz");
    // A custom comparison with its own data.
    A->CustomSort([](intptr_t P1, intptr_t P2, intptr_t Data) {
        auto* N1 = reinterpret_cast<TnvTreeNode*>(P1);
        auto* N2 = reinterpret_cast<TnvTreeNode*>(P2);
        return static_cast<int>(Data) * AnsiCompareStr(N1->Text(), N2->Text());
    }, -1);
    EXPECT_EQ(Dump(A->GetFirstChild()), "zz,z,y");
}

// ---------------------------------------------------------------- moving

TEST(nvTreeNodes, MoveToEveryMode)
{
    struct TCase {
        const char* Node;
        const char* Destination; // "" = nil
        TnvNodeAttachMode Mode;
        const char* Result;
    };
    const TCase Cases[] = {
        {"B1", "A", nvamAdd, "A,B,C(C1),B1(B1a)"},
        {"B1", "A", nvamAddFirst, "B1(B1a),A,B,C(C1)"},
        {"B1", "C", nvamAddChild, "A,B,C(C1,B1(B1a))"},
        {"B1", "C", nvamAddChildFirst, "A,B,C(B1(B1a),C1)"},
        {"B1", "C", nvamInsert, "A,B,B1(B1a),C(C1)"},
        {"B1", "A", nvamInsertAfter, "A,B1(B1a),B,C(C1)"},
        {"A", "C1", nvamInsertAfter, "B(B1(B1a)),C(C1,A)"},
        {"C", "", nvamAddChild, "A,B(B1(B1a)),C(C1)"},
        {"C", "", nvamAddChildFirst, "C(C1),A,B(B1(B1a))"},
        // Into its own subtree, or onto itself as a child: nothing moves.
        {"B", "B1a", nvamAddChild, "A,B(B1(B1a)),C(C1)"},
        {"B", "B1", nvamInsert, "A,B(B1(B1a)),C(C1)"},
        {"B", "B", nvamAddChild, "A,B(B1(B1a)),C(C1)"},
        // Before its own next sibling: it is there already.
        {"A", "B", nvamInsert, "A,B(B1(B1a)),C(C1)"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(String(C.Node) + " to " + C.Destination + " mode " + std::to_string(C.Mode));
        TTreeFixture F;
        Build(F.Items(), "A,B(B1(B1a)),C(C1)");
        TnvTreeNode* Dest = *C.Destination ? Find(F.Items(), C.Destination) : nullptr;
        Find(F.Items(), C.Node)->MoveTo(Dest, C.Mode);
        EXPECT_EQ(Dump(F.Items()), C.Result);
        EXPECT_EQ(F.Items()->Count(), 6);
    }
}

TEST(nvTreeNodes, MoveToKeepsTheNodeAndItsState)
{
    TTreeFixture F;
    Build(F.Items(), "A(A1),B");
    F.Tree->LogEvents();
    const int Live = TCountedNode::Live;
    TnvTreeNode* A1 = Find(F.Items(), "A1");
    TnvTreeNode* B = Find(F.Items(), "B");
    A1->SetCheckboxType(nvctCheckbox);
    A1->SetChecked(true);
    A1->SetImageIndex(3);
    A1->SetStringData("http://x");
    A1->SetSelected(true);
    F.Tree->TakeLog();
    HTREEITEM Old = A1->ItemId();
    A1->MoveTo(B, nvamAddChild);
    // The same node object with a new native item; no deletion reported, no selection events.
    EXPECT_EQ(Find(F.Items(), "A1"), A1);
    EXPECT_NE(A1->ItemId(), Old);
    EXPECT_EQ(TCountedNode::Live, Live);
    EXPECT_TRUE(A1->Checked());
    EXPECT_EQ(A1->CheckboxType(), nvctCheckbox);
    EXPECT_EQ(A1->ImageIndex(), 3);
    EXPECT_EQ(A1->StringData(), "http://x");
    EXPECT_TRUE(A1->Selected());
    EXPECT_EQ(F.Tree->Selected(), A1);
    EXPECT_EQ(F.Tree->TakeLog().find("deletion"), String::npos);
    // The old parent lost its only child and its button; the new one shows it.
    EXPECT_FALSE(Find(F.Items(), "A")->HasChildren());
    EXPECT_TRUE(B->HasChildren());
    EXPECT_TRUE(B->Expanded());
}

// ---------------------------------------------------------------- deleting

TEST(nvTreeNodes, DeletingReportsChildrenFirstAndFreesEveryNode)
{
    TTreeFixture F;
    Build(F.Items(), "A(A1(A1a,A1b),A2),B");
    const int Live = TCountedNode::Live;
    F.Tree->LogEvents();
    F.Tree->OnNodeNotify = nullptr;
    F.Items()->Delete(Find(F.Items(), "A1"));
    EXPECT_EQ(F.Tree->TakeLog(), "deletion A1a; deletion A1b; deletion A1");
    EXPECT_EQ(TCountedNode::Live, Live - 3);
    EXPECT_EQ(Dump(F.Items()), "A(A2),B");
    EXPECT_TRUE(Find(F.Items(), "A")->HasChildren());
    // The only child goes: the parent loses its expand button.
    Find(F.Items(), "A")->Expand(false);
    Find(F.Items(), "A2")->Delete();
    EXPECT_FALSE(Find(F.Items(), "A")->HasChildren());
    EXPECT_EQ(F.Items()->Count(), 2);
    F.Tree->TakeLog();
    F.Items()->Clear();
    EXPECT_EQ(F.Tree->TakeLog(), "deletion B; deletion A");
    EXPECT_EQ(TCountedNode::Live, Live - 6);
    EXPECT_EQ(F.Items()->Count(), 0);
    EXPECT_EQ(F.Items()->GetFirstNode(), nullptr);
}

TEST(nvTreeNodes, ClearRaisesNoSelectionEvents)
{
    TTreeFixture F;
    Build(F.Items(), "A(A1),B");
    Find(F.Items(), "A1")->SetSelected(true);
    F.Tree->LogEvents();
    F.Items()->Clear();
    const String Log = F.Tree->TakeLog();
    EXPECT_EQ(Log.find("change"), String::npos) << Log;
    EXPECT_EQ(F.Tree->Selected(), nullptr);
}

TEST(nvTreeNodes, DestroyingTheControlReportsEveryNode)
{
    int Deletions = 0;
    const int Live = TCountedNode::Live;
    {
        TTreeFixture F;
        Build(F.Items(), "A(A1,A2),B");
        F.Tree->OnDeletion = [&Deletions](TObject*, TnvTreeNode*) { ++Deletions; };
    }
    EXPECT_EQ(Deletions, 4);
    EXPECT_EQ(TCountedNode::Live, Live);
}

// ---------------------------------------------------------------- handlers that delete

// Every operation that runs a handler keeps working when the handler deletes
// the node at hand, another node of the walk, or the whole tree: it stops
// touching what went and leaves a consistent tree.
TEST(nvTreeNodes, HandlersThatDeleteNodesOrTheTree)
{
    struct TCase {
        const char* Name;
        const char* Outline;
        // Installs the handler; Gone is the node (text) it deletes, or
        // "tree" for the whole control.
        std::function<void(TTreeFixture&)> Setup;
        std::function<void(TTreeFixture&)> Action;
        const char* Expected; // the tree afterwards, "gone" when deleted
        bool Throws = false;
    };
    auto DeleteNamed = [](TTreeFixture& F, const String& Name) {
        if (TnvTreeNode* N = Find(F.Items(), Name))
            N->Delete();
    };
    auto DeleteTree = [](TTreeFixture& F) {
        TLogTree* T = F.Tree;
        F.Tree = nullptr;
        delete T;
    };
    auto RadioWithCheckedBox = [](TTreeFixture& F) {
        Find(F.Items(), "A")->SetCheckboxType(nvctCheckbox);
        Find(F.Items(), "A")->SetChecked(true);
        Find(F.Items(), "B")->SetCheckboxType(nvctRadioGroup);
        Find(F.Items(), "C")->SetCheckboxType(nvctRadioGroup);
    };
    const std::vector<TCase> Cases = {
        {"text hook deletes the node", "A,B,C",
         [&](TTreeFixture& F) {
             F.Tree->OnNodeNotify = [&](TnvCustomTreeView*, TnvTreeNode* N, const QVariant&, int Kind) {
                 if (Kind == nvnkTextChanging && N->Text() == "B")
                     N->Delete();
             };
         },
         [](TTreeFixture& F) { Find(F.Items(), "B")->SetText("X"); }, "A,C"},
        {"image hook deletes the node", "A,B,C",
         [&](TTreeFixture& F) {
             F.Tree->OnNodeNotify = [&](TnvCustomTreeView*, TnvTreeNode* N, const QVariant&, int Kind) {
                 if (Kind == nvnkImageChanging)
                     N->Delete();
             };
         },
         [](TTreeFixture& F) { Find(F.Items(), "B")->SetImageIndex(3); }, "A,C"},
        {"unchecked sibling's handler deletes the radio node", "A,B,C",
         [&](TTreeFixture& F) {
             RadioWithCheckedBox(F);
             F.Tree->OnToggleCheckbox = [&](TObject*, TnvTreeNode* N) {
                 if (N->Text() == "A")
                     DeleteNamed(F, "B");
             };
         },
         [](TTreeFixture& F) { Find(F.Items(), "B")->SetChecked(true); }, "A,C"},
        {"unchecked sibling's handler deletes a later sibling", "A,B,C",
         [&](TTreeFixture& F) {
             RadioWithCheckedBox(F);
             F.Tree->OnToggleCheckbox = [&](TObject*, TnvTreeNode* N) {
                 if (N->Text() == "A")
                     DeleteNamed(F, "C");
             };
         },
         [](TTreeFixture& F) { Find(F.Items(), "B")->SetChecked(true); }, "A,B"},
        {"toggle handler deletes the tree", "A,B,C",
         [&](TTreeFixture& F) {
             RadioWithCheckedBox(F);
             F.Tree->OnToggleCheckbox = [&](TObject*, TnvTreeNode*) { DeleteTree(F); };
         },
         [](TTreeFixture& F) { Find(F.Items(), "B")->SetChecked(true); }, "gone"},
        {"expanding handler deletes the node", "A(A1),B",
         [&](TTreeFixture& F) {
             F.Tree->OnExpanding = [&](TObject*, TnvTreeNode* N, bool&) { N->Delete(); };
             F.Tree->OnExpanded = [](TObject*, TnvTreeNode*) { ADD_FAILURE() << "expanded a deleted node"; };
         },
         [](TTreeFixture& F) { Find(F.Items(), "A")->Expand(false); }, "B"},
        {"expanded handler deletes the tree", "A(A1),B",
         [&](TTreeFixture& F) { F.Tree->OnExpanded = [&](TObject*, TnvTreeNode*) { DeleteTree(F); }; },
         [](TTreeFixture& F) { F.Tree->FullExpand(); }, "gone"},
        {"full expand goes on after the next top-level node went", "A(A1),B(B1),C(C1)",
         [&](TTreeFixture& F) {
             F.Tree->OnExpanded = [&](TObject*, TnvTreeNode* N) {
                 if (N->Text() == "A")
                     DeleteNamed(F, "B");
             };
         },
         [](TTreeFixture& F) {
             F.Tree->FullExpand();
             EXPECT_TRUE(Find(F.Items(), "C")->Expanded());
         },
         "A(A1),C(C1)"},
        {"recursive expansion ends where its node went", "A(A1(A1a),A2(A2a))",
         [&](TTreeFixture& F) {
             F.Tree->OnExpanding = [&](TObject*, TnvTreeNode* N, bool&) {
                 if (N->Text() == "A1")
                     N->Delete();
             };
         },
         [](TTreeFixture& F) { Find(F.Items(), "A")->Expand(true); }, "A(A2(A2a))"},
        {"deletion handler deletes the predecessor while clearing", "A,B(B1),C,D",
         [&](TTreeFixture& F) {
             F.Tree->OnDeletion = [&](TObject*, TnvTreeNode* N) {
                 if (N->Text() == "D")
                     DeleteNamed(F, "C");
             };
         },
         [](TTreeFixture& F) { F.Items()->Clear(); }, ""},
        {"deletion handler deletes the reported child itself", "A(A1,A2),B",
         [&](TTreeFixture& F) {
             F.Tree->OnDeletion = [&](TObject*, TnvTreeNode* N) {
                 if (N->Text() == "A1")
                     N->Delete();
             };
         },
         [](TTreeFixture& F) { Find(F.Items(), "A")->Delete(); }, "B"},
        {"creation hook deletes the new node", "A",
         [&](TTreeFixture& F) {
             F.Tree->OnNodeNotify = [&](TnvCustomTreeView*, TnvTreeNode* N, const QVariant&, int Kind) {
                 if (Kind == nvnkCreated)
                     N->Delete();
             };
         },
         [](TTreeFixture& F) { F.Items()->Add(nullptr, "new"); }, "A", true},
        {"text hook deletes the parent of the new node", "A,B",
         [&](TTreeFixture& F) {
             F.Tree->OnNodeNotify = [&](TnvCustomTreeView*, TnvTreeNode*, const QVariant& V, int Kind) {
                 if (Kind == nvnkTextChanging && V.toString() == "new")
                     DeleteNamed(F, "A");
             };
         },
         [](TTreeFixture& F) { F.Items()->AddChild(Find(F.Items(), "A"), "new"); }, "B", true},
        {"hook of a moved node deletes the tree", "A(A1),B",
         [&](TTreeFixture& F) {
             F.Tree->OnNodeNotify = [&](TnvCustomTreeView*, TnvTreeNode*, const QVariant&, int Kind) {
                 if (Kind == nvnkTextChanging)
                     DeleteTree(F);
             };
         },
         [](TTreeFixture& F) { Find(F.Items(), "A")->MoveTo(Find(F.Items(), "B"), nvamAddChild); }, "gone"},
        {"hook deletes a node while a stream is read", "",
         [&](TTreeFixture& F) {
             F.Tree->OnNodeNotify = [&](TnvCustomTreeView*, TnvTreeNode*, const QVariant& V, int Kind) {
                 if (Kind == nvnkTextChanging && V.toString() == "R2")
                     DeleteNamed(F, "R1");
             };
         },
         [](TTreeFixture& F) {
             TBytes B;
             B.I32(2).Node("R1", 0).Node("R2", 0);
             ReadStream(F.Tree, B.Data, 1);
         },
         "", true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        const int Live = TCountedNode::Live;
        {
            TTreeFixture F;
            Build(F.Items(), C.Outline);
            C.Setup(F);
            if (C.Throws)
                EXPECT_ANY_THROW(C.Action(F));
            else
                EXPECT_NO_THROW(C.Action(F));
            if (String(C.Expected) == "gone") {
                EXPECT_EQ(F.Tree, nullptr);
            } else {
                ASSERT_NE(F.Tree, nullptr);
                EXPECT_EQ(Dump(F.Items()), C.Expected);
                // The native items and the nodes agree.
                int Walked = 0;
                for (TnvTreeNode* X = F.Items()->GetFirstNode(); X; X = X->GetNext())
                    ++Walked;
                EXPECT_EQ(F.Items()->Count(), Walked);
                F.Tree->OnNodeNotify = nullptr;
                F.Tree->OnDeletion = nullptr;
                F.Tree->OnToggleCheckbox = nullptr;
            }
        }
        EXPECT_EQ(TCountedNode::Live, Live);
    }
}

// ---------------------------------------------------------------- searching and assigning

TEST(nvTreeNodes, FindNodeInfoComparesTheChosenString)
{
    TTreeFixture F;
    Build(F.Items(), "Alpha(Beta),Gamma");
    Find(F.Items(), "Beta")->SetStringData("Key-\xe4");
    Find(F.Items(), "Gamma")->SetStringData2("second");
    EXPECT_EQ(F.Items()->FindNodeInfo("KEY-\xc4", false, sdStoreData1)->Text(), "Beta");
    EXPECT_EQ(F.Items()->FindNodeInfo("SECOND", false, sdStoreData2)->Text(), "Gamma");
    EXPECT_EQ(F.Items()->FindNodeInfo("beta", false, sdStoreText)->Text(), "Beta");
    EXPECT_EQ(F.Items()->FindNodeInfo("second", false, sdStoreData1), nullptr);
    EXPECT_EQ(F.Items()->FindNode("gamma", true)->Text(), "Gamma");
}

TEST(nvTreeNodes, AssignCopiesThroughTheStream)
{
    TTreeFixture F;
    Build(F.Items(), "A(A1,A2),B");
    Find(F.Items(), "A2")->SetStringData("s");
    TTreeFixture G;
    Build(G.Items(), "Old");
    G.Tree->SetItems(F.Items());
    EXPECT_EQ(Dump(G.Items()), "A(A1,A2),B");
    EXPECT_EQ(Find(G.Items(), "A2")->StringData(), "s");
    EXPECT_EQ(G.Tree->Selected()->Text(), "A");
    EXPECT_EQ(G.Tree->StreamVersion(), 1);
    // A store assigned to itself keeps its nodes.
    G.Items()->Assign(G.Items());
    EXPECT_EQ(Dump(G.Items()), "A(A1,A2),B");
    // Nodes copy their attributes; anything else cannot be assigned.
    Find(G.Items(), "B")->Assign(Find(F.Items(), "A2"));
    EXPECT_EQ(Find(G.Items(), "A2")->StringData(), "s");
    EXPECT_THROW(Find(G.Items(), "A1")->Assign(F.Tree->Font()), EConvertError);
    EXPECT_THROW(G.Items()->Assign(F.Tree->Font()), EConvertError);
}

// ---------------------------------------------------------------- the stored format

TEST(nvTreeStream, WorkedExample)
{
    TTreeFixture F;
    Build(F.Items(), "Mode(a,b,c,d)");
    TnvTreeNode* Mode = Find(F.Items(), "Mode");
    Mode->SetStateIndex(12);
    Mode->Expand(false);
    const std::vector<uint8_t> Data = WriteStream(F.Tree);
    const std::vector<uint8_t> Expected = Bytes({0x2B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                 0x0C, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00,
                                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x04, 0x4D, 0x6F, 0x64, 0x65});
    ASSERT_GE(Data.size(), 4 + Expected.size());
    EXPECT_EQ(std::vector<uint8_t>(Data.begin(), Data.begin() + 4), Bytes({1, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(Data.begin() + 4, Data.begin() + 4 + 47), Expected);
    // Four children of 4 + 40 bytes follow.
    EXPECT_EQ(Data.size(), 4u + 47u + 4u * 44u);
    EXPECT_EQ(F.Tree->StreamVersion(), 1);
}

TEST(nvTreeStream, EdgeCasesOfTheFormat)
{
    TTreeFixture F;
    // An empty tree: four zero bytes.
    EXPECT_EQ(WriteStream(F.Tree), Bytes({0, 0, 0, 0}));
    // A long text is cut to 255 characters, S = 294.
    TnvTreeNode* Long = F.Items()->Add(nullptr, String(300, 'x'));
    Long->SetStringData("abc");
    std::vector<uint8_t> Data = WriteStream(F.Tree);
    EXPECT_EQ(Data[4] | (Data[5] << 8), 294);
    EXPECT_EQ(Data.size(), 4u + 4u + 294u + 3u);
    TTreeFixture G;
    ReadStream(G.Tree, Data, 1);
    EXPECT_EQ(G.Items()->GetFirstNode()->Text(), String(255, 'x'));
    EXPECT_EQ(G.Items()->GetFirstNode()->StringData(), "abc");
    EXPECT_EQ(G.Items()->GetFirstNode()->RecordSize(), 294);
    // A radio node stored with StateIndex 5 reads as 1.
    TBytes R;
    R.I32(1).Node("Radio", 0, -1, 5, nvctRadioGroup, 3);
    ReadStream(G.Tree, R.Data, 1);
    TnvTreeNode* Radio = G.Items()->GetFirstNode();
    EXPECT_EQ(Radio->StateIndex(), 1);
    EXPECT_TRUE(Radio->Checked());
    EXPECT_TRUE(Radio->Grayed());
    EXPECT_EQ(Radio->CheckboxType(), nvctRadioGroup);
}

TEST(nvTreeStream, ExtensionIsSkippedOnlyInVersionOne)
{
    // S = 53 for a 9-character text: 5 bytes of a node class's data follow
    // the node's children.
    TBytes B;
    B.I32(2).Node("Extension", 1, 53).Node("Child", 0).U8(0xEE).U8(0xEE).U8(0xEE).U8(0xEE).U8(0xEE);
    B.Node("Second", 0);
    TTreeFixture F;
    ReadStream(F.Tree, B.Data, 1);
    EXPECT_EQ(Dump(F.Items()), "Extension(Child),Second");
    EXPECT_EQ(F.Items()->GetFirstNode()->RecordSize(), 53);
    // Without "StreamVersion" the bytes are taken as the next node: here a
    // negative record size, and nothing of the tree stays.
    try {
        ReadStream(F.Tree, B.Data, 0);
        FAIL() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("record size"), String::npos) << E.Message();
    }
    EXPECT_EQ(F.Items()->Count(), 0);
}

TEST(nvTreeStream, ShortRecordReadsZeros)
{
    // A record that ends inside the text: the rest reads as zero bytes.
    TBytes B;
    B.I32(1).I32(41);
    B.I32(2).I32(0).I32(-1).I32(-1).U8(0).U8(0).U8(0).Zeros(3).I32(0).I32(0).I32(0).I32(0).U8(4).Str("ab");
    TTreeFixture F;
    ReadStream(F.Tree, B.Data, 1);
    TnvTreeNode* N = F.Items()->GetFirstNode();
    ASSERT_NE(N, nullptr);
    EXPECT_EQ(N->Text(), String("ab\0\0", 4));
    EXPECT_EQ(N->ImageIndex(), 2);
    // A record of no bytes at all: every field zero.
    TBytes Z;
    Z.I32(1).I32(0);
    ReadStream(F.Tree, Z.Data, 1);
    N = F.Items()->GetFirstNode();
    ASSERT_NE(N, nullptr);
    EXPECT_EQ(N->Text(), "");
    EXPECT_EQ(N->StateIndex(), -1);
    EXPECT_EQ(N->OverlayIndex(), 0);
}

TEST(nvTreeStream, CorruptStreamsRaiseAndLeaveNoTree)
{
    TBytes Good;
    Good.I32(2).Node("A", 1, -1, -1, 0, 0, "data").Node("A1", 0).Node("B", 0, -1, -1, 0, 0, "", "two");
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Data;
        const char* Message;
    };
    std::vector<TCase> Cases;
    Cases.push_back({"negative node count", TBytes().I32(-1).Data, "node count -1 is negative"});
    Cases.push_back({"node count past the end", TBytes().I32(30).Node("A", 0).Data, "node count 30 does not fit"});
    Cases.push_back({"absurd child count", TBytes().I32(1).Node("A", 0x7FFFFFFF).Data, "child count"});
    Cases.push_back({"negative child count", TBytes().I32(1).Node("A", -2).Data, "child count -2 is negative"});
    Cases.push_back({"negative record size", TBytes().I32(1).I32(-40).Data, "record size -40 is negative"});
    {
        TBytes B;
        B.I32(1).Node("A", 0);
        B.Data[4 + 4 + 26] = 0xF6; // L1 = -10
        B.Data[4 + 4 + 27] = 0xFF;
        B.Data[4 + 4 + 28] = 0xFF;
        B.Data[4 + 4 + 29] = 0xFF;
        Cases.push_back({"negative string length", B.Data, "string data length -10 is negative"});
    }
    {
        TBytes B;
        B.I32(1).Node("A", 0);
        B.Data[4 + 4 + 30] = 0x40; // L2 = 64, nothing follows
        Cases.push_back({"string past the end", B.Data, "second string data (64 bytes) runs past the end"});
    }
    {
        TBytes B;
        B.I32(1).Node("A", 0);
        B.Data[4 + 4 + 16] = 7;
        Cases.push_back({"check-box type", B.Data, "check-box type 7"});
    }
    Cases.push_back({"extension past the end", TBytes().I32(1).Node("Ext", 0, 60).Data, "data of the node class"});
    Cases.push_back({"record past the end", TBytes().I32(1).I32(100).Zeros(10).Data, "node record (100 bytes)"});
    // Every cut of a good stream.
    for (size_t Len = 0; Len < Good.Data.size(); ++Len)
        Cases.push_back({"truncated", std::vector<uint8_t>(Good.Data.begin(), Good.Data.begin() + Len), ""});
    for (const TCase& C : Cases) {
        SCOPED_TRACE(String(C.Name) + " (" + std::to_string(C.Data.size()) + " bytes)");
        TTreeFixture F;
        Build(F.Items(), "Old(Older)");
        const int Live = TCountedNode::Live;
        try {
            ReadStream(F.Tree, C.Data, 1);
            ADD_FAILURE() << "no exception";
        } catch (const EReadError& E) {
            EXPECT_EQ(E.Message().rfind("Invalid tree node data at offset ", 0), 0u) << E.Message();
            EXPECT_NE(E.Message().find(C.Message), String::npos) << E.Message();
        }
        EXPECT_EQ(F.Items()->Count(), 0);
        EXPECT_EQ(TCountedNode::Live, Live - 2);
    }
    TTreeFixture F;
    ReadStream(F.Tree, Good.Data, 1);
    EXPECT_EQ(Dump(F.Items()), "A(A1),B");
}

TEST(nvTreeStream, RoundTripKeepsEveryField)
{
    TTreeFixture F;
    Build(F.Items(), "A(A1(A1a),A2),B");
    TnvTreeNode* A1 = Find(F.Items(), "A1");
    A1->SetImageIndex(2);
    A1->SetSelectedIndex(3);
    A1->SetOverlayIndex(1);
    A1->SetCheckboxType(nvctCheckbox);
    A1->SetChecked(true);
    A1->SetGrayed(true);
    A1->SetData(reinterpret_cast<void*>(intptr_t(-5)));
    A1->SetStringData("one");
    A1->SetStringData2(String("two\0x", 5));
    Find(F.Items(), "B")->SetStateIndex(7);
    Find(F.Items(), "A")->Expand(false);
    A1->Expand(false);
    const std::vector<uint8_t> Data = WriteStream(F.Tree);
    for (bool Expanded : {false, true}) {
        TTreeFixture G;
        G.Tree->SetStreamExpandedNode(Expanded);
        ReadStream(G.Tree, Data, 1);
        EXPECT_EQ(Dump(G.Items()), "A(A1(A1a),A2),B");
        TnvTreeNode* N = Find(G.Items(), "A1");
        EXPECT_EQ(N->ImageIndex(), 2);
        EXPECT_EQ(N->SelectedIndex(), 3);
        EXPECT_EQ(N->OverlayIndex(), 1);
        EXPECT_EQ(N->CheckboxType(), nvctCheckbox);
        EXPECT_TRUE(N->Checked());
        EXPECT_TRUE(N->Grayed());
        EXPECT_EQ(N->Data(), reinterpret_cast<void*>(intptr_t(-5)));
        EXPECT_EQ(N->StringData(), "one");
        EXPECT_EQ(N->StringData2(), String("two\0x", 5));
        EXPECT_EQ(Find(G.Items(), "B")->StateIndex(), 7);
        EXPECT_EQ(N->Expanded(), Expanded);
        EXPECT_EQ(Find(G.Items(), "A")->Expanded(), Expanded);
        EXPECT_EQ(WriteStream(G.Tree).size(), Data.size());
        if (Expanded) {
            EXPECT_EQ(WriteStream(G.Tree), Data);
        }
    }
}

TEST(nvTreeStream, DeepTreesNeedNoRecursion)
{
    // A chain of 20 000 nested nodes reads, writes and clears.
    TBytes B;
    const int Depth = 20000;
    B.I32(1);
    for (int K = 0; K < Depth; ++K)
        B.Node("n", K + 1 < Depth ? 1 : 0);
    TTreeFixture F;
    ReadStream(F.Tree, B.Data, 1);
    EXPECT_EQ(F.Items()->Count(), Depth);
    EXPECT_EQ(WriteStream(F.Tree), B.Data);
    F.Items()->Clear();
    EXPECT_EQ(F.Items()->Count(), 0);
}

// ---------------------------------------------------------------- forms and window recreation

TEST(nvTreeStream, FormFileRoundTrip)
{
    InitApplication();
    TnvTreeView Source;
    Source.SetName("Tree1");
    Build(Source.Items(), "One(Two,Three),Four");
    Find(Source.Items(), "Two")->SetCheckboxType(nvctCheckbox);
    Find(Source.Items(), "Two")->SetChecked(true);
    const String Text = ComponentToText(&Source);
    EXPECT_NE(Text.find("Items.StreamVersion = 1"), String::npos) << Text;
    EXPECT_NE(Text.find("Items.Data = {"), String::npos) << Text;
    std::unique_ptr<TComponent> Copy(ReadComponentFromText(Text, nullptr));
    auto* Tree = dynamic_cast<TnvTreeView*>(Copy.get());
    ASSERT_NE(Tree, nullptr);
    EXPECT_EQ(Dump(Tree->Items()), "One(Two,Three),Four");
    EXPECT_TRUE(Find(Tree->Items(), "Two")->Checked());
    EXPECT_EQ(Tree->StreamVersion(), 1);
    // An empty tree still stores both properties.
    TnvTreeView Empty;
    Empty.SetName("Tree2");
    const String EmptyText = ComponentToText(&Empty);
    EXPECT_NE(EmptyText.find("Items.StreamVersion = 1"), String::npos) << EmptyText;
    EXPECT_NE(EmptyText.find("Items.Data = {"), String::npos) << EmptyText;
    EXPECT_NE(EmptyText.find("00000000}"), String::npos) << EmptyText;
}

TEST(nvTreeStream, FormWithTenThousandNodesLoads)
{
    InitApplication();
    TnvTreeView Source;
    Source.SetName("Big");
    for (int P = 0; P < 100; ++P) {
        TnvTreeNode* Parent = Source.Items()->Add(nullptr, "Parent " + std::to_string(P));
        for (int C = 0; C < 99; ++C)
            Source.Items()->AddChild(Parent, "Child " + std::to_string(C));
    }
    const String Text = ComponentToText(&Source);
    std::unique_ptr<TComponent> Copy(ReadComponentFromText(Text, nullptr));
    auto* Tree = dynamic_cast<TnvTreeView*>(Copy.get());
    ASSERT_NE(Tree, nullptr);
    EXPECT_EQ(Tree->Items()->Count(), 10000);
    EXPECT_EQ(Tree->Items()->Item(9999)->Text(), "Child 98");
}

// The node-stream fuzz target's corpus, replayed with the target's checks:
// the first byte picks the version (bit 0) and StreamExpandedNode (bit 1);
// bad data raises EReadError and leaves no node; good data writes back to a
// stream that reads to the same tree, which then sorts, expands and paints.
TEST(nvTreeStream, FuzzCorpusReplays)
{
    // The sources: ZEN_SOURCE_DIR, or this file's path (relative paths
    // are the build directory's, the program's parent folder).
    const QString ThisFile = QString::fromLocal8Bit(__FILE__);
    QStringList Roots;
    if (const QByteArray Env = qgetenv("ZEN_SOURCE_DIR"); !Env.isEmpty())
        Roots << QString::fromLocal8Bit(Env);
    Roots << QFileInfo(QDir(QCoreApplication::applicationDirPath() + "/..").absoluteFilePath(ThisFile))
                     .absoluteDir()
                     .absoluteFilePath("../../..");
    QDir Corpus;
    for (const QString& Root : Roots)
        if ((Corpus = QDir(Root + "/fuzz/corpus/tree_nodes")).exists())
            break;
    const QStringList Files = Corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(Files.size(), 5) << "no corpus at " << Corpus.absolutePath().toStdString();
    int Rejected = 0;
    for (const QString& Name : Files) {
        SCOPED_TRACE(Name.toStdString());
        QFile File(Corpus.absoluteFilePath(Name));
        ASSERT_TRUE(File.open(QIODevice::ReadOnly));
        const QByteArray Raw = File.readAll();
        ASSERT_FALSE(Raw.isEmpty());
        const std::vector<uint8_t> Data(Raw.begin() + 1, Raw.end());
        const int Live = TCountedNode::Live;
        TTreeFixture F(160, 120);
        F.Tree->SetStreamExpandedNode((Raw[0] & 2) != 0);
        try {
            ReadStream(F.Tree, Data, Raw[0] & 1);
        } catch (const EReadError& E) {
            ++Rejected;
            EXPECT_NE(String(E.what()).find("Invalid tree node data at offset"), String::npos) << E.what();
            EXPECT_EQ(F.Items()->Count(), 0);
            EXPECT_EQ(TCountedNode::Live, Live);
            continue;
        }
        EXPECT_EQ(TCountedNode::Live - Live, F.Items()->Count());
        const std::vector<uint8_t> Once = WriteStream(F.Tree);
        TTreeFixture G(160, 120);
        G.Tree->SetStreamExpandedNode(F.Tree->StreamExpandedNode());
        ReadStream(G.Tree, Once, 1);
        EXPECT_EQ(Dump(G.Items()), Dump(F.Items()));
        EXPECT_EQ(WriteStream(G.Tree), Once);
        F.Tree->AlphaSort();
        F.Tree->FullExpand();
        EXPECT_EQ(F.Tree->Render().width(), 160);
    }
    // The corpus holds damaged streams as well.
    EXPECT_GE(Rejected, 3);
}

TEST(nvTreeStream, CorruptFormDataNamesThePlace)
{
    const String Text = "object Tree1: TnvTreeView\n"
                        "  Items.StreamVersion = 1\n"
                        "  Items.Data = {01000000FFFFFFFF}\n"
                        "end\n";
    TFormReadOptions O;
    O.FileName = "tree.nvf";
    try {
        std::unique_ptr<TComponent> C(ReadComponentFromText(Text, nullptr, nullptr, O));
        FAIL() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("tree.nvf(3)"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("Items.Data"), String::npos) << E.Message();
        EXPECT_NE(E.Message().find("record size -1 is negative"), String::npos) << E.Message();
    }
    const String Version = "object Tree1: TnvTreeView\n  Items.StreamVersion = 9\nend\n";
    EXPECT_THROW(std::unique_ptr<TComponent>(ReadComponentFromText(Version, nullptr)), EReadError);
}

TEST(nvTreeStream, WindowRecreationKeepsTheTree)
{
    TTreeFixture F(200, 64);
    for (int K = 0; K < 20; ++K)
        F.Items()->Add(nullptr, "N" + std::to_string(K));
    TnvTreeNode* N3 = Find(F.Items(), "N3");
    F.Items()->AddChild(N3, "N3a");
    N3->Expand(false);
    F.Tree->SetIndent(25);
    Find(F.Items(), "N6")->SetSelected(true);
    F.Tree->SetTopItem(Find(F.Items(), "N5"));
    const std::vector<uint8_t> Before = WriteStream(F.Tree);
    F.Tree->LogEvents();
    const int Live = TCountedNode::Live;
    F.Tree->SetBorderStyle(bsNone); // recreates the window
    EXPECT_EQ(F.Tree->TakeLog().find("deletion"), String::npos);
    EXPECT_EQ(TCountedNode::Live, Live);
    EXPECT_EQ(WriteStream(F.Tree).size(), Before.size());
    EXPECT_EQ(Dump(F.Items()).substr(0, 19), "N0,N1,N2,N3(N3a),N4");
    EXPECT_EQ(F.Tree->Selected()->Text(), "N6");
    EXPECT_EQ(F.Tree->TopItem()->Text(), "N5");
    EXPECT_EQ(F.Tree->Indent(), 25);
}

} // namespace
