#include "nvTreeNodes.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <exception>

#include "Forms.h"
#include "FormStream.h"
#include "nvTreeView.h"

namespace {

int32_t GetInt32(const uint8_t* P)
{
    return static_cast<int32_t>(static_cast<uint32_t>(P[0]) | (static_cast<uint32_t>(P[1]) << 8) |
                                (static_cast<uint32_t>(P[2]) << 16) | (static_cast<uint32_t>(P[3]) << 24));
}

void PutInt32(uint8_t* P, int32_t Value)
{
    const auto V = static_cast<uint32_t>(Value);
    P[0] = static_cast<uint8_t>(V);
    P[1] = static_cast<uint8_t>(V >> 8);
    P[2] = static_cast<uint8_t>(V >> 16);
    P[3] = static_cast<uint8_t>(V >> 24);
}

// Offsets in the fixed record.
enum : int {
    recImageIndex = 0,
    recSelectedIndex = 4,
    recStateIndex = 8,
    recOverlayIndex = 12,
    recCheckboxType = 16,
    recFlags = 17,
    recExpanded = 18,
    recData = 22,
    recLength1 = 26,
    recLength2 = 30,
    recCount = 34,
    recTextLength = 38,
    recText = 39,
};

} // namespace

int TnvTreeNodes::DefaultCompare(intptr_t Param1, intptr_t Param2, intptr_t Data)
{
    auto* Node1 = reinterpret_cast<TnvTreeNode*>(Param1);
    auto* Node2 = reinterpret_cast<TnvTreeNode*>(Param2);
    if (!Node1 || !Node2)
        return 0;
    TnvCustomTreeView* TV = Node1->TreeView();
    int Compare = 0;
    if (TV && TV->OnCompare)
        TV->DoCompare(Node1, Node2, Compare, Data);
    else
        Compare = AnsiCompareStr(Node1->Text(), Node2->Text());
    return Compare;
}

// ---------------------------------------------------------------- TnvNodeReader

TnvNodeReader::TnvNodeReader(TStream& Stream, int Version) : FStream(Stream), FVersion(Version)
{
    FStart = FPos = Stream.Position();
    FEnd = std::max(FStart, Stream.Size());
}

void TnvNodeReader::Fail(const String& What) const
{
    throw EReadError("Invalid tree node data at offset " + IntToStr(Offset()) + ": " + What);
}

int32_t TnvNodeReader::ReadInt32(const char* What)
{
    if (Remaining() < 4)
        Fail(String("the data ends inside the ") + What);
    uint8_t B[4];
    FStream.ReadBuffer(B, 4);
    FPos += 4;
    return GetInt32(B);
}

void TnvNodeReader::ReadBytes(void* Buffer, int64_t Count, const char* What)
{
    if (Count < 0)
        Fail(String("the ") + What + " length " + IntToStr(Count) + " is negative");
    if (Count > Remaining())
        Fail(String("the ") + What + " (" + IntToStr(Count) + " bytes) runs past the end of the data (" +
             IntToStr(Remaining()) + " bytes left)");
    if (Count > 0)
        FStream.ReadBuffer(Buffer, Count);
    FPos += Count;
}

String TnvNodeReader::ReadString(int32_t Length, const char* What)
{
    if (Length < 0)
        Fail(String("the ") + What + " length " + IntToStr(Length) + " is negative");
    String S;
    if (Length > Remaining())
        ReadBytes(nullptr, Length, What);
    S.resize(static_cast<size_t>(Length));
    ReadBytes(S.data(), Length, What);
    return S;
}

void TnvNodeReader::Skip(int64_t Count, const char* What)
{
    const int64_t To = FPos + Count;
    if (To < FStart || To > FEnd)
        Fail(String("the ") + What + " (" + IntToStr(Count) + " bytes) runs past the " +
             (Count < 0 ? "start" : "end") + " of the data");
    FStream.Seek(Count, soCurrent);
    FPos = To;
}

void TnvNodeReader::CheckCount(int32_t Count, int EntrySize, const char* What)
{
    if (Count < 0)
        Fail(String("the ") + What + " " + IntToStr(Count) + " is negative");
    if (static_cast<int64_t>(Count) * EntrySize > Remaining())
        Fail(String("the ") + What + " " + IntToStr(Count) + " does not fit the " + IntToStr(Remaining()) +
             " bytes left");
}

// ---------------------------------------------------------------- TnvTreeNode

TnvTreeNode::TnvTreeNode(TnvTreeNodes* AOwner) : FOwner(AOwner) {}

TnvTreeNode::~TnvTreeNode()
{
    // Deleting runs the events of the control; what they raise is shown,
    // as a destructor cannot pass it on.
    try {
        Destroy();
    } catch (const std::exception& E) {
        if (Application)
            Application->HandleException(E);
    }
}

void TnvTreeNode::Destroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    FDeleting = true;
    if (FOwner) {
        FOwner->ClearCache();
        ++FOwner->FDestroyedCount;
    }
    TnvCustomTreeView* TV = TreeView();
    if (TV)
        TV->NodeDestroying(this);
    if (FItemId && TV) {
        TnvTreeNode* P = Parent();
        if (P && !P->Deleting() && P->GetFirstChild() == this && !GetNextSibling()) {
            SetExpanded(false);
            P->SetHasChildren(false);
        }
        // The native deletion reports every item of the subtree; the
        // descendants' nodes are freed there, this one is not.
        if (FItemId)
            TreeView_DeleteItem(TV, FItemId);
    }
    FData = nullptr;
}

void TnvTreeNode::Delete()
{
    if (FDeleting)
        return;
    struct TFree {
        TnvTreeNode* Node;
        ~TFree() { delete Node; }
    } Free{this};
    Destroy();
}

TnvCustomTreeView* TnvTreeNode::TreeView() const
{
    return FOwner ? FOwner->Owner() : nullptr;
}

TnvTreeNode* TnvTreeNode::NodeOf(HTREEITEM Item) const
{
    return Item && FOwner ? FOwner->GetNode(Item) : nullptr;
}

HTREEITEM TnvTreeNode::Next(unsigned Code) const
{
    TnvCustomTreeView* TV = TreeView();
    return FItemId && TV ? TreeView_GetNextItem(TV, FItemId, Code) : nullptr;
}

unsigned TnvTreeNode::State(unsigned Mask) const
{
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return 0;
    TVITEM I;
    I.mask = TVIF_STATE;
    I.hItem = FItemId;
    I.stateMask = Mask;
    return TreeView_GetItem(TV, &I) ? I.state & Mask : 0;
}

void TnvTreeNode::SetState(unsigned Mask, bool Value)
{
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return;
    TVITEM I;
    I.mask = TVIF_STATE;
    I.hItem = FItemId;
    I.stateMask = Mask;
    I.state = Value ? Mask : 0;
    TreeView_SetItem(TV, &I);
}

// ---- fields

void TnvTreeNode::SetText(const String& Value)
{
    const String NewText = Value;
    TnvCustomTreeView* TV = TreeView();
    if (TV && TV->OnNodeNotify) {
        const TnvNodeWatch Self(this);
        TV->NodeNotify(this, QVariant(ToQString(NewText)), nvnkTextChanging);
        // The hook deleted the node (or the whole tree): nothing is left to set.
        if (!Self)
            return;
    }
    FText = NewText;
    if (FItemId && TV) {
        TVITEM I;
        I.mask = TVIF_TEXT;
        I.hItem = FItemId;
        I.TextCallback = true;
        TreeView_SetItem(TV, &I);
    }
    if (TV && FInTree && (TV->SortType() == nvstText || TV->SortType() == nvstBoth))
        SortAfterChange();
}

void TnvTreeNode::SetData(void* Value)
{
    FData = Value;
    TnvCustomTreeView* TV = TreeView();
    if (TV && (TV->SortType() == nvstData || TV->SortType() == nvstBoth) && TV->OnCompare && !FDeleting &&
        FInTree)
        SortAfterChange();
}

void TnvTreeNode::SortAfterChange()
{
    if (FOwner && FOwner->FReading)
        return;
    if (TnvTreeNode* P = Parent())
        P->AlphaSort();
    else if (TnvCustomTreeView* TV = TreeView())
        TV->AlphaSort();
}

void TnvTreeNode::SetImageIndex(int Value)
{
    TnvCustomTreeView* TV = TreeView();
    if (TV && TV->OnNodeNotify) {
        const TnvNodeWatch Self(this);
        TV->NodeNotify(this, QVariant(Value), nvnkImageChanging);
        if (!Self)
            return;
    }
    FImageIndex = Value;
    if (FItemId && TV) {
        TVITEM I;
        I.mask = TVIF_IMAGE;
        I.hItem = FItemId;
        I.iImage = I_IMAGECALLBACK;
        TreeView_SetItem(TV, &I);
    }
}

void TnvTreeNode::SetSelectedIndex(int Value)
{
    FSelectedIndex = Value;
    TnvCustomTreeView* TV = TreeView();
    if (FItemId && TV) {
        TVITEM I;
        I.mask = TVIF_SELECTEDIMAGE;
        I.hItem = FItemId;
        I.iSelectedImage = I_IMAGECALLBACK;
        TreeView_SetItem(TV, &I);
    }
}

void TnvTreeNode::SetOverlayIndex(int Value)
{
    FOverlayIndex = Value;
    TnvCustomTreeView* TV = TreeView();
    if (FItemId && TV) {
        TVITEM I;
        I.mask = TVIF_STATE;
        I.hItem = FItemId;
        I.stateMask = TVIS_OVERLAYMASK;
        I.state = INDEXTOOVERLAYMASK(static_cast<unsigned>(Value + 1));
        TreeView_SetItem(TV, &I);
    }
}

int TnvTreeNode::NativeStateIndex() const
{
    return FStateIndex > 0 ? FStateIndex & 0xF : 0;
}

void TnvTreeNode::UpdateNativeStateImage()
{
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return;
    TVITEM I;
    I.mask = TVIF_STATE;
    I.hItem = FItemId;
    I.stateMask = TVIS_STATEIMAGEMASK;
    I.state = INDEXTOSTATEIMAGEMASK(static_cast<unsigned>(NativeStateIndex()));
    TreeView_SetItem(TV, &I);
}

void TnvTreeNode::SetStateIndex(int Value)
{
    if (Value == 0)
        Value = -1;
    if (FCheckboxType == nvctCheckbox && Value != -1 && Value != 1)
        return;
    FStateIndex = Value;
    UpdateNativeStateImage();
}

void TnvTreeNode::SetCheckboxType(TnvCheckboxType Value)
{
    if (Value == FCheckboxType)
        return;
    FCheckboxType = Value;
    SetStateIndex(Value != nvctNone ? 1 : -1);
}

void TnvTreeNode::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    TnvCustomTreeView* TV = TreeView();
    // Unchecking a sibling that is a plain check box raises OnToggleCheckbox,
    // whose handler may delete nodes, this one or the whole tree included.
    const TnvNodeWatch Self(this);
    if (FCheckboxType == nvctRadioGroup) {
        if (!Value)
            return;
        // The other nodes of the group go unchecked.
        TnvTreeNode* P = Parent();
        std::vector<TnvNodeWatch> Others;
        for (TnvTreeNode* S = P ? P->GetFirstChild() : (FOwner ? FOwner->GetFirstNode() : nullptr); S;
             S = S->GetNextSibling())
            if (S != this)
                Others.emplace_back(S);
        for (const TnvNodeWatch& S : Others) {
            if (!S)
                continue;
            S->SetChecked(false);
            if (!Self)
                return;
            if (S)
                S->Invalidate();
        }
    } else if (TV && TV->HasMultiSelectCheckbox(this)) {
        TV->SetMultiSelected(this, Value, true);
        if (!Self)
            return;
    }
    Invalidate();
    if (TV)
        TV->DoToggleCheckbox(this);
}

void TnvTreeNode::SetGrayed(bool Value)
{
    if (Value == FGrayed)
        return;
    FGrayed = Value;
    if (FCheckboxType == nvctRadioGroup && FOwner && !FOwner->FPropagating) {
        // The whole group follows (each sibling stores and repaints).
        FOwner->FPropagating = true;
        struct TReset {
            TnvTreeNodes* Owner;
            ~TReset() { Owner->FPropagating = false; }
        } Reset{FOwner};
        TnvTreeNode* P = Parent();
        for (TnvTreeNode* S = P ? P->GetFirstChild() : FOwner->GetFirstNode(); S; S = S->GetNextSibling())
            if (S != this)
                S->SetGrayed(Value);
    }
    Invalidate();
}

// ---- native states

bool TnvTreeNode::Expanded() const
{
    return State(TVIS_EXPANDED) != 0;
}

void TnvTreeNode::SetExpanded(bool Value)
{
    if (Value)
        Expand(false);
    else
        Collapse(false);
}

bool TnvTreeNode::Selected() const
{
    return State(TVIS_SELECTED) != 0;
}

void TnvTreeNode::SetSelected(bool Value)
{
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return;
    if (Value)
        TreeView_Select(TV, FItemId, TVGN_CARET);
    else if (TreeView_GetNextItem(TV, nullptr, TVGN_CARET) == FItemId)
        TreeView_Select(TV, nullptr, TVGN_CARET);
}

bool TnvTreeNode::Focused() const
{
    return State(TVIS_FOCUSED) != 0;
}

void TnvTreeNode::SetFocused(bool Value)
{
    SetState(TVIS_FOCUSED, Value);
}

bool TnvTreeNode::Cut() const
{
    return State(TVIS_CUT) != 0;
}

void TnvTreeNode::SetCut(bool Value)
{
    SetState(TVIS_CUT, Value);
}

bool TnvTreeNode::DropTarget() const
{
    return State(TVIS_DROPHILITED) != 0;
}

void TnvTreeNode::SetDropTarget(bool Value)
{
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return;
    if (Value)
        TreeView_Select(TV, FItemId, TVGN_DROPHILITE);
    else if (TreeView_GetNextItem(TV, nullptr, TVGN_DROPHILITE) == FItemId)
        TreeView_Select(TV, nullptr, TVGN_DROPHILITE);
}

bool TnvTreeNode::HasChildren() const
{
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return false;
    TVITEM I;
    I.mask = TVIF_CHILDREN;
    I.hItem = FItemId;
    return TreeView_GetItem(TV, &I) && I.cChildren > 0;
}

void TnvTreeNode::SetHasChildren(bool Value)
{
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return;
    TVITEM I;
    I.mask = TVIF_CHILDREN;
    I.hItem = FItemId;
    I.cChildren = Value ? 1 : 0;
    TreeView_SetItem(TV, &I);
}

// ---- structure

TnvTreeNode* TnvTreeNode::Parent() const
{
    return NodeOf(Next(TVGN_PARENT));
}

int TnvTreeNode::Level() const
{
    int L = 0;
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return 0;
    for (HTREEITEM P = TreeView_GetNextItem(TV, FItemId, TVGN_PARENT); P; P = TreeView_GetNextItem(TV, P, TVGN_PARENT))
        ++L;
    return L;
}

int TnvTreeNode::Index() const
{
    int I = 0;
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return -1;
    for (HTREEITEM P = TreeView_GetNextItem(TV, FItemId, TVGN_PREVIOUS); P;
         P = TreeView_GetNextItem(TV, P, TVGN_PREVIOUS))
        ++I;
    return I;
}

int TnvTreeNode::AbsoluteIndex() const
{
    if (FOwner && FOwner->FCacheNode == this)
        return FOwner->FCacheIndex;
    if (!FItemId)
        return -1;
    int I = 0;
    for (TnvTreeNode* N = GetPrev(); N; N = N->GetPrev())
        ++I;
    return I;
}

int TnvTreeNode::Count() const
{
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return 0;
    int N = 0;
    for (HTREEITEM C = TreeView_GetNextItem(TV, FItemId, TVGN_CHILD); C; C = TreeView_GetNextItem(TV, C, TVGN_NEXT))
        ++N;
    return N;
}

TnvTreeNode* TnvTreeNode::Item(int Index) const
{
    TnvTreeNode* Result = GetFirstChild();
    for (int I = Index; Result && I > 0; --I)
        Result = Result->GetNextSibling();
    if (!Result)
        throw ETreeViewError("List index out of bounds (" + IntToStr(Index) + ")");
    return Result;
}

bool TnvTreeNode::HasAsParent(const TnvTreeNode* Node) const
{
    if (!Node)
        return true;
    for (TnvTreeNode* P = Parent(); P; P = P->Parent())
        if (P == Node)
            return true;
    return false;
}

TnvTreeNode* TnvTreeNode::GetFirstChild() const
{
    return NodeOf(Next(TVGN_CHILD));
}

TnvTreeNode* TnvTreeNode::GetLastChild() const
{
    TnvCustomTreeView* TV = TreeView();
    HTREEITEM C = Next(TVGN_CHILD);
    if (!C)
        return nullptr;
    for (HTREEITEM N = TreeView_GetNextItem(TV, C, TVGN_NEXT); N; N = TreeView_GetNextItem(TV, N, TVGN_NEXT))
        C = N;
    return NodeOf(C);
}

TnvTreeNode* TnvTreeNode::GetNextSibling() const
{
    return NodeOf(Next(TVGN_NEXT));
}

TnvTreeNode* TnvTreeNode::GetPrevSibling() const
{
    return NodeOf(Next(TVGN_PREVIOUS));
}

TnvTreeNode* TnvTreeNode::GetNextChild(const TnvTreeNode* Node) const
{
    return Node ? Node->GetNextSibling() : nullptr;
}

TnvTreeNode* TnvTreeNode::GetPrevChild(const TnvTreeNode* Node) const
{
    return Node ? Node->GetPrevSibling() : nullptr;
}

TnvTreeNode* TnvTreeNode::GetNext() const
{
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return nullptr;
    HTREEITEM N = TreeView_GetNextItem(TV, FItemId, TVGN_CHILD);
    if (!N)
        for (HTREEITEM I = FItemId; I && !(N = TreeView_GetNextItem(TV, I, TVGN_NEXT));)
            I = TreeView_GetNextItem(TV, I, TVGN_PARENT);
    return NodeOf(N);
}

TnvTreeNode* TnvTreeNode::GetPrev() const
{
    TnvCustomTreeView* TV = TreeView();
    if (!FItemId || !TV)
        return nullptr;
    HTREEITEM N = TreeView_GetNextItem(TV, FItemId, TVGN_PREVIOUS);
    if (!N)
        return NodeOf(TreeView_GetNextItem(TV, FItemId, TVGN_PARENT));
    // The previous sibling's last descendant.
    for (HTREEITEM C = TreeView_GetNextItem(TV, N, TVGN_CHILD); C; C = TreeView_GetNextItem(TV, N, TVGN_CHILD)) {
        for (HTREEITEM S = TreeView_GetNextItem(TV, C, TVGN_NEXT); S; S = TreeView_GetNextItem(TV, S, TVGN_NEXT))
            C = S;
        N = C;
    }
    return NodeOf(N);
}

TnvTreeNode* TnvTreeNode::GetNextVisible() const
{
    return NodeOf(Next(TVGN_NEXTVISIBLE));
}

TnvTreeNode* TnvTreeNode::GetPrevVisible() const
{
    return NodeOf(Next(TVGN_PREVIOUSVISIBLE));
}

bool TnvTreeNode::IsVisible() const
{
    TnvCustomTreeView* TV = TreeView();
    TRect R;
    return FItemId && TV && TreeView_GetItemRect(TV, FItemId, &R, false);
}

TRect TnvTreeNode::DisplayRect(bool TextOnly) const
{
    TnvCustomTreeView* TV = TreeView();
    TRect R;
    if (!FItemId || !TV || !TreeView_GetItemRect(TV, FItemId, &R, TextOnly))
        return TRect();
    // Without an image the text stands where the image would be.
    if (TextOnly && TV->Images() && FImageIndex == -2)
        R.Left -= TV->Images()->Width() + 1;
    return R;
}

int TnvTreeNode::IndexOf(const TnvTreeNode* Node) const
{
    int I = 0;
    for (TnvTreeNode* C = GetFirstChild(); C; C = C->GetNextSibling(), ++I)
        if (C == Node)
            return I;
    return -1;
}

// ---- operations

void TnvTreeNode::Expand(bool Recurse)
{
    ExpandItem(true, Recurse);
}

void TnvTreeNode::Collapse(bool Recurse)
{
    ExpandItem(false, Recurse);
}

void TnvTreeNode::ExpandItem(bool Expand, bool Recurse)
{
    if (!ExpandOne(Expand) || !Recurse)
        return;
    // Every node after this one in depth-first order while it lies inside
    // this node's subtree. A handler that deletes the node being expanded
    // (with it, maybe, this one) ends the walk: there is no place left to
    // continue from.
    for (TnvTreeNode* N = GetNext(); N && N->HasAsParent(this); N = N->GetNext())
        if (!N->ExpandOne(Expand))
            return;
}

bool TnvTreeNode::ExpandOne(bool Expand)
{
    TnvCustomTreeView* TV = TreeView();
    if (!TV || !FItemId || !HasChildren())
        return true;
    // The handlers may delete the node or the whole tree.
    const TnvNodeWatch Self(this);
    const bool Allowed = Expand ? TV->CanExpand(this) : TV->CanCollapse(this);
    if (!Self)
        return false;
    if (!Allowed || !FItemId)
        return true;
    if (Expand)
        TV->Expand(this);
    else
        TV->Collapse(this);
    if (!Self)
        return false;
    // The native notifications of this expansion are not raised again.
    ++TV->FManualNotify;
    struct TDone {
        TnvCustomTreeView* TV;
        ~TDone() { --TV->FManualNotify; }
    } Done{TV};
    if (FItemId)
        TreeView_Expand(TV, FItemId, Expand ? TVE_EXPAND : TVE_COLLAPSE);
    return true;
}

void TnvTreeNode::MakeVisible()
{
    if (TnvCustomTreeView* TV = TreeView(); TV && FItemId)
        TV->Perform(TVM_ENSUREVISIBLE, 0, reinterpret_cast<intptr_t>(FItemId));
}

void TnvTreeNode::EndEdit(bool Cancel)
{
    if (TnvCustomTreeView* TV = TreeView())
        TV->Perform(TVM_ENDEDITLABELNOW, Cancel ? 1 : 0);
}

bool TnvTreeNode::AlphaSort()
{
    return CustomSort(nullptr, 0);
}

bool TnvTreeNode::CustomSort(TnvTVCompare SortProc, intptr_t Data)
{
    TnvCustomTreeView* TV = TreeView();
    if (!TV || !FItemId)
        return false;
    if (!SortProc && !TV->OnCompare) {
        if (FOwner)
            FOwner->ClearCache();
        return TV->Perform(TVM_SORTCHILDREN, TVSORT_CASESENSITIVE, reinterpret_cast<intptr_t>(FItemId)) != 0;
    }
    TVSORTCB S;
    S.hParent = FItemId;
    S.lpfnCompare = SortProc ? SortProc : TnvTreeNodes::DefaultCompare;
    S.lParam = Data;
    if (FOwner)
        FOwner->ClearCache();
    return TV->Perform(TVM_SORTCHILDRENCB, 0, reinterpret_cast<intptr_t>(&S)) != 0;
}

void TnvTreeNode::Assign(TPersistent* Source)
{
    auto* Node = dynamic_cast<TnvTreeNode*>(Source);
    if (!Node) {
        TPersistent::Assign(Source);
        return;
    }
    // Read each value before it is set: the source may be this node. The
    // hook (text, image) and the sorting may run handlers that delete
    // either node or the tree; the copy stops there.
    const TnvNodeWatch Self(this);
    const TnvNodeWatch From(Node);
    auto Gone = [&] { return !Self || !From; };
    SetText(String(Node->Text()));
    if (Gone())
        return;
    SetData(Node->Data());
    if (Gone())
        return;
    SetCheckboxType(Node->CheckboxType());
    SetStringData(String(Node->StringData()));
    SetStringData2(String(Node->StringData2()));
    SetImageIndex(Node->ImageIndex());
    if (Gone())
        return;
    SetSelectedIndex(Node->SelectedIndex());
    SetStateIndex(Node->StateIndex());
    SetOverlayIndex(Node->OverlayIndex());
    SetFocused(Node->Focused());
    SetDropTarget(Node->DropTarget());
    SetCut(Node->Cut());
    SetHasChildren(Node->HasChildren());
    SetChecked(Node->Checked());
}

void TnvTreeNode::Invalidate()
{
    if (TnvCustomTreeView* TV = TreeView())
        TV->InvalidateNode(this);
}

int TnvTreeNode::GetRecordSize() const
{
    return nvNodeRecordMax;
}

String TnvTreeNode::GetControlText() const
{
    TnvCustomTreeView* TV = TreeView();
    return TV ? TV->Text() : String();
}

void TnvTreeNode::ReadData(TnvNodeReader& Reader, TnvNodeEntry& Entry)
{
    const int32_t Size = Reader.ReadInt32("record size");
    if (Size < 0)
        Reader.Fail("the record size " + IntToStr(Size) + " is negative");
    Entry.RecordSize = Size;
    FRecordSize = Size;
    // What the record does not hold reads as zero.
    auto& R = Reader.Record;
    const int Stored = std::min<int32_t>(Size, nvNodeRecordMax);
    Reader.ReadBytes(R.data(), Stored, "node record");
    std::memset(R.data() + Stored, 0, R.size() - static_cast<size_t>(Stored));

    const int T = R[recTextLength];
    const String Text(reinterpret_cast<const char*>(R.data() + recText), static_cast<size_t>(T));
    const int CheckType = R[recCheckboxType];
    if (CheckType > nvctRadioGroup)
        Reader.Fail("the check-box type " + IntToStr(CheckType) + " is not 0, 1 or 2");
    const int32_t Length1 = GetInt32(&R[recLength1]);
    const int32_t Length2 = GetInt32(&R[recLength2]);
    const int32_t Children = GetInt32(&R[recCount]);
    const uint8_t Flags = R[recFlags];
    Entry.TextLength = T;
    Entry.Expanded = R[recExpanded] != 0;
    const int ImageIndex = GetInt32(&R[recImageIndex]);
    const int SelectedIndex = GetInt32(&R[recSelectedIndex]);
    const int StateIndex = GetInt32(&R[recStateIndex]);
    const int OverlayIndex = GetInt32(&R[recOverlayIndex]);
    void* Data = reinterpret_cast<void*>(static_cast<intptr_t>(GetInt32(&R[recData])));
    SetStringData(Reader.ReadString(Length1, "string data"));
    SetStringData2(Reader.ReadString(Length2, "second string data"));
    // Every child entry takes at least its record size.
    Reader.CheckCount(Children, 4, "child count");
    Entry.ChildCount = Children;

    SetText(Text);
    SetImageIndex(ImageIndex);
    SetSelectedIndex(SelectedIndex);
    SetStateIndex(StateIndex);
    SetOverlayIndex(OverlayIndex);
    SetData(Data);
    SetCheckboxType(static_cast<TnvCheckboxType>(CheckType));
    SetChecked((Flags & 1) != 0);
    SetGrayed((Flags & 2) != 0);
}

void TnvTreeNode::ReadDataEnd(TnvNodeReader& Reader, const TnvNodeEntry& Entry)
{
    TnvCustomTreeView* TV = TreeView();
    if (TV && TV->StreamExpandedNode())
        SetExpanded(Entry.Expanded);
    const int Extra = Entry.RecordSize - nvNodeRecordFixed - Entry.TextLength;
    if (Reader.Version() == 1 && Extra > 0)
        Reader.Skip(Extra, "data of the node class");
}

void TnvTreeNode::WriteData(TStream& Stream, TnvNodeEntry& Entry)
{
    // Reader and writer both take min(S, 294) bytes as the record, so a
    // derived class's extension after the children is S - 39 - T bytes
    // whatever the text length.
    const int RecordSize = GetRecordSize();
    const int T = std::min(static_cast<int>(FText.size()), 255);
    const int32_t Size = T + RecordSize - 255;
    const int Stored = std::clamp<int32_t>(Size, 0, nvNodeRecordMax);
    // S and the record in one write; only the bytes written are filled
    // (the fixed part, the text, zeros up to S).
    std::array<uint8_t, 4 + nvNodeRecordMax> Buffer;
    uint8_t* R = Buffer.data() + 4;
    PutInt32(Buffer.data(), Size);
    PutInt32(&R[recImageIndex], FImageIndex);
    PutInt32(&R[recSelectedIndex], FSelectedIndex);
    PutInt32(&R[recStateIndex], FStateIndex);
    PutInt32(&R[recOverlayIndex], FOverlayIndex);
    R[recCheckboxType] = static_cast<uint8_t>(FCheckboxType);
    R[recFlags] = static_cast<uint8_t>((FChecked ? 1 : 0) | (FGrayed ? 2 : 0));
    const bool IsExpanded = Expanded();
    R[recExpanded] = IsExpanded ? 1 : 0;
    R[recExpanded + 1] = R[recExpanded + 2] = R[recExpanded + 3] = 0;
    PutInt32(&R[recData], static_cast<int32_t>(reinterpret_cast<intptr_t>(FData)));
    PutInt32(&R[recLength1], static_cast<int32_t>(FStringData.size()));
    PutInt32(&R[recLength2], static_cast<int32_t>(FStringData2.size()));
    const int Children = Count();
    PutInt32(&R[recCount], Children);
    R[recTextLength] = static_cast<uint8_t>(T);
    std::memcpy(&R[recText], FText.data(), static_cast<size_t>(T));
    if (Stored > recText + T)
        std::memset(&R[recText + T], 0, static_cast<size_t>(Stored - recText - T));
    Stream.WriteBuffer(Buffer.data(), 4 + Stored);
    if (!FStringData.empty())
        Stream.WriteBuffer(FStringData.data(), static_cast<int64_t>(FStringData.size()));
    if (!FStringData2.empty())
        Stream.WriteBuffer(FStringData2.data(), static_cast<int64_t>(FStringData2.size()));
    Entry.RecordSize = Size;
    Entry.TextLength = T;
    Entry.ChildCount = Children;
    Entry.Expanded = IsExpanded;
}

void TnvTreeNode::WriteDataEnd(TStream&, const TnvNodeEntry&) {}

void TnvTreeNode::MoveTo(TnvTreeNode* Destination, TnvNodeAttachMode Mode)
{
    TnvCustomTreeView* TV = TreeView();
    if (!TV || !FItemId)
        return;
    // The selection events stay quiet while the node moves.
    // The tree may be gone when the move ends (a handler of the hook or of
    // the expansion deleted it).
    struct TQuiet {
        QPointer<TnvCustomTreeView> TV;
        TnvTVChangingEvent Changing;
        TnvTVChangedEvent Changed;
        ~TQuiet()
        {
            if (!TV)
                return;
            TV->OnChanging = Changing;
            TV->OnChange = Changed;
        }
    } Quiet{TV, TV->OnChanging, TV->OnChange};
    const TnvNodeWatch Self(this);
    TV->OnChanging = nullptr;
    TV->OnChange = nullptr;

    const bool AsChild = Mode == nvamAddChild || Mode == nvamAddChildFirst;
    const bool Inside = Destination && (Destination == this ? AsChild : Destination->HasAsParent(this));
    if (!Inside) {
        TnvTreeNode* NewParent = AsChild ? Destination : (Destination ? Destination->Parent() : nullptr);
        HTREEITEM After = TVI_LAST;
        bool Move = true;
        switch (Mode) {
        case nvamAdd:
        case nvamAddChild: After = TVI_LAST; break;
        case nvamAddFirst:
        case nvamAddChildFirst: After = TVI_FIRST; break;
        case nvamInsert: {
            TnvTreeNode* Prev = Destination ? Destination->GetPrevSibling() : nullptr;
            if (Prev == this)
                Move = false;
            After = Prev ? Prev->ItemId() : TVI_FIRST;
            break;
        }
        case nvamInsertAfter: After = Destination ? Destination->ItemId() : TVI_LAST; break;
        }
        if (Move)
            InternalMove(NewParent, After);
    }
    if (Self)
        Invalidate();
}

void TnvTreeNode::InternalMove(TnvTreeNode* NewParent, HTREEITEM After)
{
    TnvCustomTreeView* TV = TreeView();
    if (NewParent && !NewParent->ItemId())
        throw EOutOfResources("Unable to insert an item");
    // The subtree in depth-first order, each node with what it keeps.
    struct TMoving {
        TnvNodeWatch Node;
        HTREEITEM OldItem;
        HTREEITEM NewItem = nullptr;
        bool HasChildren;
        bool Selected;
    };
    std::vector<TMoving> Subtree;
    Subtree.push_back({this, FItemId, nullptr, HasChildren(), Selected()});
    for (TnvTreeNode* N = GetNext(); N && N->HasAsParent(this); N = N->GetNext())
        Subtree.push_back({N, N->FItemId, nullptr, N->HasChildren(), N->Selected()});
    if (TnvTreeNode* OldParent = Parent(); OldParent && OldParent->GetFirstChild() == this && !GetNextSibling()) {
        OldParent->SetExpanded(false);
        OldParent->SetHasChildren(false);
    }
    // The old items no longer name their nodes, so their deletion frees none.
    for (TMoving& M : Subtree) {
        TVITEM I;
        I.mask = TVIF_PARAM;
        I.hItem = M.OldItem;
        I.lParam = 0;
        TreeView_SetItem(TV, &I);
    }
    // The new items, parents before children, in the old order.
    std::unordered_map<HTREEITEM, HTREEITEM> NewOf;
    for (size_t K = 0; K < Subtree.size(); ++K) {
        TMoving& M = Subtree[K];
        HTREEITEM ParentItem;
        HTREEITEM Place = TVI_LAST;
        if (K == 0) {
            ParentItem = NewParent ? NewParent->ItemId() : TVI_ROOT;
            Place = After;
        } else {
            ParentItem = NewOf.at(TreeView_GetNextItem(TV, M.OldItem, TVGN_PARENT));
        }
        M.NewItem = FOwner->InsertItem(ParentItem, Place, M.Node);
        if (!M.NewItem) {
            // The nodes not yet moved keep their old items.
            for (size_t J = K; J < Subtree.size(); ++J) {
                TVITEM I;
                I.mask = TVIF_PARAM;
                I.hItem = Subtree[J].OldItem;
                I.lParam = reinterpret_cast<intptr_t>(Subtree[J].Node.data());
                TreeView_SetItem(TV, &I);
            }
            throw EOutOfResources("Unable to insert an item");
        }
        NewOf[M.OldItem] = M.NewItem;
    }
    FOwner->ClearCache();
    TreeView_DeleteItem(TV, Subtree.front().OldItem);
    for (TMoving& M : Subtree)
        M.Node->FItemId = M.NewItem;
    // Re-applying the attributes runs the hook, whose handler may delete
    // nodes of the subtree, the new parent or the tree.
    const TnvNodeWatch Target(NewParent);
    for (TMoving& M : Subtree) {
        if (!M.Node)
            continue;
        M.Node->Assign(M.Node);
        if (!M.Node)
            continue;
        M.Node->SetHasChildren(M.HasChildren);
        if (M.Selected)
            M.Node->SetSelected(true);
    }
    if (Target) {
        Target->SetHasChildren(true);
        Target->Expand(false);
    }
}

// ---------------------------------------------------------------- TnvTreeNodes

TnvTreeNodes::TnvTreeNodes(TnvCustomTreeView* AOwner) : FOwner(AOwner) {}

TnvTreeNodes::~TnvTreeNodes()
{
    FDestroying = true;
    try {
        Clear();
    } catch (const std::exception& E) {
        if (Application)
            Application->HandleException(E);
    }
}

TPersistent* TnvTreeNodes::GetOwner()
{
    return FOwner;
}

int TnvTreeNodes::Count() const
{
    return FOwner ? static_cast<int>(FOwner->Perform(TVM_GETCOUNT)) : 0;
}

TnvTreeNode* TnvTreeNodes::Item(int Index)
{
    if (Index < 0)
        throw ETreeViewError("Invalid index");
    TnvTreeNode* Result = nullptr;
    if (FCacheNode && std::abs(Index - FCacheIndex) <= 1) {
        if (Index == FCacheIndex)
            Result = FCacheNode;
        else if (Index < FCacheIndex)
            Result = FCacheNode->GetPrev();
        else
            Result = FCacheNode->GetNext();
    } else {
        Result = GetFirstNode();
        for (int I = Index; Result && I > 0; --I)
            Result = Result->GetNext();
    }
    if (!Result)
        throw ETreeViewError("Invalid index");
    FCacheNode = Result;
    FCacheIndex = Index;
    return Result;
}

TnvTreeNode* TnvTreeNodes::GetNode(HTREEITEM ItemId) const
{
    if (!ItemId || !FOwner)
        return nullptr;
    TVITEM I;
    I.mask = TVIF_PARAM;
    I.hItem = ItemId;
    if (!TreeView_GetItem(FOwner, &I))
        return nullptr;
    return reinterpret_cast<TnvTreeNode*>(I.lParam);
}

TnvTreeNode* TnvTreeNodes::GetFirstNode() const
{
    return FOwner ? GetNode(TreeView_GetNextItem(FOwner, TVI_ROOT, TVGN_ROOT)) : nullptr;
}

HTREEITEM TnvTreeNodes::InsertItem(HTREEITEM Parent, HTREEITEM InsertAfter, TnvTreeNode* Node)
{
    TVINSERTSTRUCT I;
    I.hParent = Parent;
    I.hInsertAfter = InsertAfter;
    I.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    I.item.TextCallback = true;
    I.item.iImage = I_IMAGECALLBACK;
    I.item.iSelectedImage = I_IMAGECALLBACK;
    I.item.lParam = reinterpret_cast<intptr_t>(Node);
    return TreeView_InsertItem(FOwner, &I);
}

TnvTreeNode* TnvTreeNodes::InternalAdd(TnvTreeNode* Parent, HTREEITEM InsertAfter, const String& S, void* Ptr)
{
    TnvCustomTreeView* TV = FOwner;
    // Only the hook runs handlers here (kinds 0 and 2, before the node is
    // in the tree); they may delete the parent or the new node.
    const bool Hooked = static_cast<bool>(TV->OnNodeNotify);
    TnvNodeWatch ParentWatch;
    if (Hooked)
        ParentWatch = Parent;
    TnvTreeNode* Node = TV->CreateNode();
    TnvNodeWatch Watch;
    if (Hooked)
        Watch = Node;
    try {
        Node->SetData(Ptr);
        Node->SetText(S);
        if (Hooked && (!Watch || (Parent && !ParentWatch)))
            throw ETreeViewError(!Watch ? "A handler deleted the new node before it was inserted"
                                        : "A handler deleted the parent of the new node before it was inserted");
        Node->FInTree = true;
        if (TV->FChangeTimer)
            TV->FChangeTimer->SetEnabled(false);
        HTREEITEM Item = nullptr;
        if (!Parent || Parent->ItemId())
            Item = InsertItem(Parent ? Parent->ItemId() : TVI_ROOT, InsertAfter, Node);
        if (!Item)
            throw EOutOfResources("Unable to insert an item");
        Node->FItemId = Item;
        ClearCache();
        AddedToParent(Node, Parent);
    } catch (...) {
        if (!Hooked || Watch)
            Node->Delete();
        throw;
    }
    return Node;
}

void TnvTreeNodes::AddedToParent(TnvTreeNode* Node, TnvTreeNode* Parent)
{
    if (Parent) {
        Parent->SetHasChildren(true);
        // The first row up the ancestors that shows repaints.
        if (FUpdateCount == 0)
            for (TnvTreeNode* P = Parent; P; P = P->Parent())
                if (P->IsVisible()) {
                    P->Invalidate();
                    break;
                }
    }
    if (!FOwner->HasMultiSelectCheckbox(Node))
        Node->SetStateIndex(-1);
}

TnvTreeNode* TnvTreeNodes::Add(TnvTreeNode* Node, const String& S)
{
    return AddObject(Node, S, nullptr);
}

TnvTreeNode* TnvTreeNodes::AddObject(TnvTreeNode* Node, const String& S, void* Ptr)
{
    return InternalAdd(Node ? Node->Parent() : nullptr, TVI_LAST, S, Ptr);
}

TnvTreeNode* TnvTreeNodes::AddFirst(TnvTreeNode* Node, const String& S)
{
    return AddObjectFirst(Node, S, nullptr);
}

TnvTreeNode* TnvTreeNodes::AddObjectFirst(TnvTreeNode* Node, const String& S, void* Ptr)
{
    return InternalAdd(Node ? Node->Parent() : nullptr, TVI_FIRST, S, Ptr);
}

TnvTreeNode* TnvTreeNodes::AddChild(TnvTreeNode* Node, const String& S)
{
    return AddChildObject(Node, S, nullptr);
}

TnvTreeNode* TnvTreeNodes::AddChildObject(TnvTreeNode* Node, const String& S, void* Ptr)
{
    return InternalAdd(Node, TVI_LAST, S, Ptr);
}

void TnvTreeNodes::Delete(TnvTreeNode* Node)
{
    if (!Node)
        return;
    const TnvNodeWatch Watch(Node);
    // OnDeletion may delete the node itself.
    if (!Node->ItemId() && FOwner)
        FOwner->Delete(Node);
    if (Watch)
        Watch->Delete();
}

void TnvTreeNodes::Clear()
{
    TnvCustomTreeView* TV = FOwner;
    ClearCache();
    if (!TV || !TV->HandleAllocated() || Count() == 0)
        return;
    TV->FClearing = true;
    BeginUpdate();
    struct TDone {
        TnvTreeNodes* Store;
        ~TDone()
        {
            Store->FOwner->FClearing = false;
            if (!Store->FDestroying)
                Store->EndUpdate();
        }
    } Done{this};
    TreeView_Select(TV, nullptr, TVGN_CARET);
    TnvTreeNode* Node = GetFirstNode();
    if (Node)
        TreeView_Select(TV, Node->ItemId(), TVGN_FIRSTVISIBLE);
    // The last node in depth-first order, then every node from there back.
    for (TnvTreeNode* S = Node ? Node->GetNextSibling() : nullptr; S; S = S->GetNextSibling())
        Node = S;
    for (TnvTreeNode* C = Node ? Node->GetLastChild() : nullptr; C; C = C->GetLastChild())
        Node = C;
    // Each step deletes one leaf; when the handlers of OnDeletion deleted
    // more, the remembered predecessor may be gone and the walk starts again
    // at the last node.
    auto LastNode = [this] {
        TnvTreeNode* Last = GetFirstNode();
        for (TnvTreeNode* S = Last ? Last->GetNextSibling() : nullptr; S; S = S->GetNextSibling())
            Last = S;
        for (TnvTreeNode* C = Last ? Last->GetLastChild() : nullptr; C; C = C->GetLastChild())
            Last = C;
        return Last;
    };
    while (Node) {
        TnvTreeNode* Prev = Node->GetPrev();
        const uint64_t Before = FDestroyedCount;
        Node->Delete();
        Node = FDestroyedCount - Before <= 1 ? Prev : LastNode();
    }
    ClearCache();
}

void TnvTreeNodes::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TnvTreeNodes::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    --FUpdateCount;
    if (FUpdateCount == 0)
        SetUpdateState(false);
}

void TnvTreeNodes::SetUpdateState(bool Updating)
{
    if (!FOwner)
        return;
    FOwner->Perform(WM_SETREDRAW, Updating ? 0 : 1);
    if (!Updating)
        FOwner->Refresh();
}

void TnvTreeNodes::Assign(TPersistent* Source)
{
    auto* Nodes = dynamic_cast<TnvTreeNodes*>(Source);
    if (!Nodes) {
        TPersistent::Assign(Source);
        return;
    }
    if (Nodes == this)
        return;
    TnvCustomTreeView* TV = FOwner;
    TV->Invalidate();
    TV->SetStreamVersion(1);
    // The source is written first, so that nothing depends on the target.
    TMemoryStream Stream;
    Nodes->WriteData(Stream);
    Clear();
    Stream.SetPosition(0);
    ReadData(Stream);
    if (TnvTreeNode* First = GetFirstNode())
        First->SetSelected(true);
    TV->Invalidate();
}

TnvTreeNode* TnvTreeNodes::FindNode(const String& S, bool VisibleOnly)
{
    return FindNodeInfo(S, VisibleOnly, sdStoreText);
}

TnvTreeNode* TnvTreeNodes::FindNodeInfo(const String& S, bool VisibleOnly, TzrStoreData StoreType)
{
    const String Wanted = AnsiUpperCase(S);
    for (TnvTreeNode* Node = GetFirstNode(); Node; Node = VisibleOnly ? Node->GetNextVisible() : Node->GetNext()) {
        const String& Value = StoreType == sdStoreData1   ? Node->StringData()
                              : StoreType == sdStoreData2 ? Node->StringData2()
                                                          : Node->Text();
        if (Value.size() == Wanted.size() && AnsiUpperCase(Value) == Wanted)
            return Node;
    }
    return nullptr;
}

void TnvTreeNodes::ReadData(TStream& Stream)
{
    TnvCustomTreeView* TV = FOwner;
    Clear();
    TnvNodeReader Reader(Stream, TV->StreamVersion());
    BeginUpdate();
    // The hooks run for every node read; a handler that deletes a node
    // leaves nothing sound to go on with.
    const uint64_t Destroyed = FDestroyedCount;
    auto CheckIntact = [&] {
        if (FDestroyedCount != Destroyed)
            Reader.Fail("a node was deleted while the tree was being read");
    };
    FReading = true;
    struct TFrame {
        TnvTreeNode* Node;
        TnvNodeEntry Entry;
        int32_t ChildrenLeft;
    };
    std::vector<TFrame> Stack;
    try {
        const int32_t N = Reader.ReadInt32("node count");
        Reader.CheckCount(N, 4, "node count");
        for (int32_t I = 0; I < N; ++I) {
            TFrame Top{Add(nullptr, String()), {}, 0};
            Top.Node->ReadData(Reader, Top.Entry);
            CheckIntact();
            Top.ChildrenLeft = Top.Entry.ChildCount;
            Stack.push_back(Top);
            // The children, depth first, without recursion.
            while (!Stack.empty()) {
                TFrame& F = Stack.back();
                if (F.ChildrenLeft > 0) {
                    --F.ChildrenLeft;
                    TFrame Child{AddChild(F.Node, String()), {}, 0};
                    Child.Node->ReadData(Reader, Child.Entry);
                    CheckIntact();
                    Child.ChildrenLeft = Child.Entry.ChildCount;
                    Stack.push_back(Child);
                } else {
                    const TFrame Done = F;
                    Stack.pop_back();
                    Done.Node->ReadDataEnd(Reader, Done.Entry);
                    CheckIntact();
                }
            }
        }
    } catch (...) {
        // Nothing half-read stays.
        FReading = false;
        try {
            Clear();
        } catch (...) {
        }
        EndUpdate();
        throw;
    }
    FReading = false;
    ClearCache();
    TV->SetStreamVersion(1);
    // Sorted once here instead of after every text or data change.
    const TnvSortType Sort = TV->SortType();
    if (Sort == nvstText || Sort == nvstBoth || (Sort == nvstData && TV->OnCompare))
        TV->AlphaSort();
    EndUpdate();
}

void TnvTreeNodes::WriteData(TStream& Stream)
{
    TnvCustomTreeView* TV = FOwner;
    TV->SetStreamVersion(1);
    int32_t N = 0;
    for (TnvTreeNode* Node = GetFirstNode(); Node; Node = Node->GetNextSibling())
        ++N;
    // A memory stream written at its end is grown once for a usual tree
    // (a record and a short text per node) instead of doubling again and
    // again; what is not used is cut off at the end.
    auto* Memory = dynamic_cast<TMemoryStream*>(&Stream);
    const int64_t Start = Stream.Position();
    const bool Reserve = Memory && Start == Stream.Size();
    if (Reserve) {
        Memory->SetSize(Start + 4 + static_cast<int64_t>(Count()) * (4 + nvNodeRecordFixed + 16));
        Memory->SetPosition(Start);
    }
    struct TTrim {
        TMemoryStream* Stream;
        ~TTrim()
        {
            if (Stream)
                Stream->SetSize(Stream->Position());
        }
    } Trim{Reserve ? Memory : nullptr};
    Stream.WriteInt32(N);
    struct TFrame {
        TnvTreeNode* Node;
        TnvNodeEntry Entry;
        TnvTreeNode* NextChild;
    };
    std::vector<TFrame> Stack;
    for (TnvTreeNode* Top = GetFirstNode(); Top; Top = Top->GetNextSibling()) {
        TFrame F{Top, {}, nullptr};
        Top->WriteData(Stream, F.Entry);
        F.NextChild = Top->GetFirstChild();
        Stack.push_back(F);
        while (!Stack.empty()) {
            TFrame& Cur = Stack.back();
            if (TnvTreeNode* Child = Cur.NextChild) {
                Cur.NextChild = Child->GetNextSibling();
                TFrame C{Child, {}, nullptr};
                Child->WriteData(Stream, C.Entry);
                C.NextChild = Child->GetFirstChild();
                Stack.push_back(C);
            } else {
                const TFrame Done = Cur;
                Stack.pop_back();
                Done.Node->WriteDataEnd(Stream, Done.Entry);
            }
        }
    }
}

void TnvTreeNodes::DefineProperties(TFiler* Filer)
{
    TnvCustomTreeView* TV = FOwner;
    Filer->DefineProperty(
        "StreamVersion",
        [TV](TReader& Reader) {
            const int64_t Version = Reader.ReadInteger();
            if (Version != 0 && Version != 1)
                throw EReadError("Unsupported tree node stream version " + IntToStr(Version));
            TV->SetStreamVersion(static_cast<int>(Version));
        },
        [](TWriter& Writer) { Writer.WriteInteger(1); }, true);
    Filer->DefineBinaryProperty(
        "Data", [this](TStream& Stream) { ReadData(Stream); }, [this](TStream& Stream) { WriteData(Stream); },
        true);
}
