#include "NativeTreeView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

#include "StdCtrls.h"
#include "SysUtils.h"

namespace {

// Children flag of an item whose button follows its real children.
constexpr int KidsCompute = -3;
// Pixels the mouse moves with a button down before a drag begins.
constexpr int DragThreshold = 4;
constexpr int DefaultCheckWidth = 16;
// The timer that starts label editing after a click on the selected label.
constexpr int EditTimerId = 0x7E01;

template <class T>
T* As(intptr_t LParam)
{
    return reinterpret_cast<T*>(LParam);
}

bool IsSpecial(HTREEITEM Item)
{
    return Item == TVI_ROOT || Item == TVI_FIRST || Item == TVI_LAST || Item == TVI_SORT;
}

// The in-place label editor: Return accepts, Escape cancels, losing the
// focus accepts. KeyDown (OnKeyDown) sees the keys first.
class TTreeLabelEdit final : public TEdit {
public:
    TTreeLabelEdit(TNativeTreeView* Tree) : TEdit(nullptr), FTree(Tree) {}

protected:
    void KeyDown(Word& Key, TShiftState Shift) override
    {
        TEdit::KeyDown(Key, Shift);
        if (Key == VK_RETURN || Key == VK_ESCAPE) {
            const bool Cancel = Key == VK_ESCAPE;
            Key = 0;
            FTree->Perform(TVM_ENDEDITLABELNOW, Cancel ? 1 : 0);
        }
    }
    bool WantsKey(Word Key, TShiftState Shift) override
    {
        return Key == VK_RETURN || Key == VK_ESCAPE || TEdit::WantsKey(Key, Shift);
    }
    void DoExit() override
    {
        TEdit::DoExit();
        if (FTree->EditControl() == this)
            FTree->Perform(TVM_ENDEDITLABELNOW, 0);
    }

private:
    TNativeTreeView* FTree;
};

} // namespace

// ---------------------------------------------------------------- construction

TNativeTreeView::TNativeTreeView(TComponent* AOwner)
    : TCustomControl(AOwner), FMeasureImage(1, 1, QImage::Format_RGB32),
      FMeasure(std::make_unique<TCanvas>(&FMeasureImage))
{
    FControlStyle |= csOpaque;
    FControlStyle &= ~TControlStyle(csCaptureMouse);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TNativeTreeView::~TNativeTreeView()
{
    if (TEdit* Edit = FEdit) {
        FEdit = nullptr;
        FEditItem = nullptr;
        Edit->SetParent(nullptr);
        delete Edit;
    }
    FBlocks.clear();
    FFree = nullptr;
    FCount = 0;
}

namespace {
constexpr unsigned AliveMagic = 0x54524545;
}

HTREEITEM TNativeTreeView::NewItem()
{
    if (!FFree) {
        // A new block, twice the last one (up to 64k items).
        const size_t Size = FBlocks.empty() ? 256 : std::min<size_t>(FBlocks.back().Size * 2, 65536);
        TBlock B;
        B.Items = std::make_unique<TTreeItem[]>(Size);
        B.Size = Size;
        for (size_t K = Size; K-- > 0;) {
            B.Items[K].Next = FFree;
            FFree = &B.Items[K];
        }
        auto At = std::upper_bound(FBlocks.begin(), FBlocks.end(), B.Items.get(),
                                   [](const TTreeItem* P, const TBlock& X) { return P < X.Items.get(); });
        FBlocks.insert(At, std::move(B));
    }
    HTREEITEM Item = FFree;
    FFree = Item->Next;
    *Item = TTreeItem();
    Item->Magic = AliveMagic;
    ++FCount;
    return Item;
}

void TNativeTreeView::FreeItem(HTREEITEM Item)
{
    String().swap(Item->Text);
    Item->Magic = 0;
    Item->Parent = Item->FirstChild = Item->LastChild = Item->Prev = nullptr;
    Item->Next = FFree;
    FFree = Item;
    --FCount;
}

bool TNativeTreeView::IsItem(HTREEITEM Item) const
{
    if (!Item)
        return false;
    auto At = std::upper_bound(FBlocks.begin(), FBlocks.end(), static_cast<const TTreeItem*>(Item),
                               [](const TTreeItem* P, const TBlock& X) { return P < X.Items.get(); });
    if (At == FBlocks.begin())
        return false;
    const TBlock& B = *(At - 1);
    const auto Base = reinterpret_cast<uintptr_t>(B.Items.get());
    const auto Addr = reinterpret_cast<uintptr_t>(Item);
    if (Addr >= Base + B.Size * sizeof(TTreeItem) || (Addr - Base) % sizeof(TTreeItem) != 0)
        return false;
    return Item->Magic == AliveMagic;
}

template <class F>
void TNativeTreeView::ForEachItem(F&& Visit)
{
    for (HTREEITEM P = FFirst; P;) {
        Visit(P);
        if (P->FirstChild) {
            P = P->FirstChild;
            continue;
        }
        while (P && !P->Next)
            P = P->Parent;
        if (P)
            P = P->Next;
    }
}

void TNativeTreeView::DestroyWnd()
{
    // The items live in the window: they go with it, each reported.
    FinishEdit(true);
    DeleteItem(TVI_ROOT);
    TCustomControl::DestroyWnd();
}

void TNativeTreeView::SetStyle(unsigned Value)
{
    if (Value == FStyle)
        return;
    const bool Checks = (Value & TVS_CHECKBOXES) && !(FStyle & TVS_CHECKBOXES);
    if ((FStyle ^ Value) & (TVS_LINESATROOT | TVS_CHECKBOXES))
        WidthsChanged();
    FStyle = Value;
    FBarsDirty = true;
    if (Checks)
        ForEachItem([this](HTREEITEM Item) {
            if (StateIndex(Item) == 0)
                Item->State = (Item->State & ~TVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(1);
        });
    FDefaultHeight = -1;
    InvalidateTree();
}

// ---------------------------------------------------------------- notifications

intptr_t TNativeTreeView::Notify(NMHDR&)
{
    return 0;
}

intptr_t TNativeTreeView::Send(NMHDR& Header, int Code)
{
    Header.hwndFrom = this;
    Header.idFrom = 0;
    Header.code = Code;
    return Notify(Header);
}

void TNativeTreeView::FillItem(HTREEITEM Item, TVITEM& Out, unsigned Mask) const
{
    Out.mask = Mask;
    Out.hItem = Item;
    if (!Item)
        return;
    Out.state = Item->State;
    Out.stateMask = 0xFFFF;
    Out.lParam = Item->Param;
    if (Mask & TVIF_TEXT) {
        Out.pszText = Item->Text;
        Out.TextCallback = Item->TextCallback;
    }
    Out.iImage = Item->Image;
    Out.iSelectedImage = Item->SelectedImage;
    Out.cChildren = Item->Children == KidsCompute ? (Item->FirstChild ? 1 : 0) : Item->Children;
}

intptr_t TNativeTreeView::NotifyTree(int Code, unsigned Action, HTREEITEM OldItem, HTREEITEM NewItem, TPoint Drag)
{
    NMTREEVIEW N;
    N.action = Action;
    FillItem(OldItem, N.itemOld, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
    FillItem(NewItem, N.itemNew, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
    N.ptDrag = Drag;
    return Send(N.hdr, Code);
}

TNativeTreeView::TDisplay TNativeTreeView::Display(HTREEITEM Item, unsigned Mask)
{
    TDisplay D;
    D.Text = Item->Text;
    D.Image = Item->Image;
    D.SelectedImage = Item->SelectedImage;
    D.Children = Item->Children == KidsCompute ? (Item->FirstChild ? 1 : 0) : Item->Children;
    unsigned Ask = 0;
    if ((Mask & TVIF_TEXT) && Item->TextCallback)
        Ask |= TVIF_TEXT;
    if ((Mask & TVIF_IMAGE) && Item->Image == I_IMAGECALLBACK)
        Ask |= TVIF_IMAGE;
    if ((Mask & TVIF_SELECTEDIMAGE) && Item->SelectedImage == I_IMAGECALLBACK)
        Ask |= TVIF_SELECTEDIMAGE;
    if ((Mask & TVIF_CHILDREN) && Item->Children == I_CHILDRENCALLBACK)
        Ask |= TVIF_CHILDREN;
    if (Ask == 0)
        return D;
    NMTVDISPINFO Info;
    Info.item.mask = Ask;
    Info.item.hItem = Item;
    Info.item.state = Item->State;
    Info.item.stateMask = 0xFFFF;
    Info.item.lParam = Item->Param;
    Info.item.TextCallback = Item->TextCallback;
    Send(Info.hdr, TVN_GETDISPINFO);
    if (!IsItem(Item))
        return D;
    const TVITEM& A = Info.item;
    if (Ask & TVIF_TEXT) {
        D.Text = A.pszText;
        if (A.cchTextMax >= 1 && static_cast<int>(D.Text.size()) > A.cchTextMax - 1)
            D.Text.resize(static_cast<size_t>(A.cchTextMax - 1));
    }
    if (Ask & TVIF_IMAGE)
        D.Image = A.iImage;
    if (Ask & TVIF_SELECTEDIMAGE)
        D.SelectedImage = A.iSelectedImage;
    if (Ask & TVIF_CHILDREN)
        D.Children = A.cChildren;
    if (A.mask & TVIF_DI_SETITEM) {
        if ((Ask & TVIF_TEXT) && D.Text != Item->Text)
            WidthChanging(Item);
        if (Ask & TVIF_TEXT) {
            Item->Text = D.Text;
            Item->TextCallback = false;
            Item->TextWidth = -1;
        }
        if (Ask & TVIF_IMAGE)
            Item->Image = D.Image;
        if (Ask & TVIF_SELECTEDIMAGE)
            Item->SelectedImage = D.SelectedImage;
        if (Ask & TVIF_CHILDREN)
            Item->Children = D.Children;
    }
    return D;
}

// ---------------------------------------------------------------- structure

void TNativeTreeView::Link(HTREEITEM Parent, HTREEITEM After, HTREEITEM Item)
{
    HTREEITEM& First = Parent ? Parent->FirstChild : FFirst;
    HTREEITEM& Last = Parent ? Parent->LastChild : FLast;
    Item->Parent = Parent;
    Item->Prev = After;
    Item->Next = After ? After->Next : First;
    if (Item->Next)
        Item->Next->Prev = Item;
    else
        Last = Item;
    if (After)
        After->Next = Item;
    else
        First = Item;
    // The offsets after the new item moved: they are computed again.
    Item->Epoch = 0;
    if (Item->Next && OffsetValid(Item->Next))
        KidsReordered(Parent);
    ParentRowsChanged(Parent, Item->Rows);
}

void TNativeTreeView::Unlink(HTREEITEM Item, bool Account)
{
    HTREEITEM& First = Item->Parent ? Item->Parent->FirstChild : FFirst;
    HTREEITEM& Last = Item->Parent ? Item->Parent->LastChild : FLast;
    TTreeItem::TKids& K = KidsOf(Item->Parent);
    if (Item->Next && OffsetValid(Item->Next)) {
        KidsReordered(Item->Parent);
    } else if (OffsetValid(Item)) {
        K.ValidCount = Item->Pos;
        K.ValidTo = Item->Prev;
    }
    if (Account)
        ParentRowsChanged(Item->Parent, -Item->Rows);
    if (Item->Prev)
        Item->Prev->Next = Item->Next;
    else
        First = Item->Next;
    if (Item->Next)
        Item->Next->Prev = Item->Prev;
    else
        Last = Item->Prev;
    Item->Prev = Item->Next = nullptr;
}

// ---------------------------------------------------------------- rows and widths

bool TNativeTreeView::OffsetValid(HTREEITEM Item) const
{
    const TTreeItem::TKids& K = KidsOf(Item->Parent);
    return Item->Epoch == K.Epoch && Item->Pos < K.ValidCount;
}

int TNativeTreeView::OffsetOf(HTREEITEM Item) const
{
    if (OffsetValid(Item))
        return Item->Offset;
    // Extend the valid prefix up to the item.
    auto& K = const_cast<TTreeItem::TKids&>(KidsOf(Item->Parent));
    HTREEITEM P = K.ValidTo;
    int Pos = 0;
    int Offset = 0;
    if (P && K.ValidCount > 0) {
        Pos = P->Pos + 1;
        Offset = P->Offset + P->Rows;
        P = P->Next;
    } else {
        P = Item->Parent ? Item->Parent->FirstChild : FFirst;
    }
    for (; P; P = P->Next) {
        P->Pos = Pos++;
        P->Offset = Offset;
        P->Epoch = K.Epoch;
        Offset += P->Rows;
        K.ValidCount = Pos;
        K.ValidTo = P;
        if (P == Item)
            break;
    }
    return Item->Offset;
}

void TNativeTreeView::KidsReordered(HTREEITEM Parent)
{
    TTreeItem::TKids& K = KidsOf(Parent);
    if (++K.Epoch == 0)
        K.Epoch = 1;
    K.ValidCount = 0;
    K.ValidTo = nullptr;
}

void TNativeTreeView::RowsChanged(HTREEITEM Item, int Delta)
{
    if (Delta == 0)
        return;
    if (OffsetValid(Item)) {
        TTreeItem::TKids& K = KidsOf(Item->Parent);
        K.ValidCount = Item->Pos + 1;
        K.ValidTo = Item;
    }
    ParentRowsChanged(Item->Parent, Delta);
}

void TNativeTreeView::ParentRowsChanged(HTREEITEM Parent, int Delta)
{
    // Up the ancestors while they show their children.
    while (Delta != 0) {
        if (!Parent) {
            FTotalRows += Delta;
            return;
        }
        if (!(Parent->State & TVIS_EXPANDED) || Parent->Deleting)
            return;
        Parent->Rows += Delta;
        if (OffsetValid(Parent)) {
            TTreeItem::TKids& K = KidsOf(Parent->Parent);
            K.ValidCount = Parent->Pos + 1;
            K.ValidTo = Parent;
        }
        Parent = Parent->Parent;
    }
}

void TNativeTreeView::SetExpandedBit(HTREEITEM Item, bool Expanded)
{
    if (((Item->State & TVIS_EXPANDED) != 0) == Expanded)
        return;
    const bool Shown = IsShown(Item);
    if (!Expanded && Shown)
        WidthHiding(Item, true);
    int Rows = 1;
    if (Expanded)
        for (HTREEITEM C = Item->FirstChild; C; C = C->Next)
            Rows += C->Rows;
    const int Delta = Rows - Item->Rows;
    if (Expanded)
        Item->State |= TVIS_EXPANDED;
    else
        Item->State &= ~TVIS_EXPANDED;
    Item->Rows = Rows;
    RowsChanged(Item, Delta);
    if (Expanded && Shown)
        for (HTREEITEM C = Item->FirstChild; C; C = NextVisible(C)) {
            // The children's subtrees as far as they show.
            HTREEITEM P = C;
            for (; P && P != Item; P = P->Parent) {}
            if (!P)
                break;
            WidthShown(C);
        }
}

int TNativeTreeView::ItemRight(HTREEITEM Item)
{
    return LayoutOf(Item).TextRight;
}

void TNativeTreeView::WidthShown(HTREEITEM Item)
{
    if (!FWidthValid)
        return;
    // Measured when the width is next asked for; a long backlog is cheaper
    // measured over all rows at once.
    if (FWidthPending.size() > static_cast<size_t>(FCount))
        WidthsChanged();
    else
        FWidthPending.push_back(Item);
}

void TNativeTreeView::WidthChanging(HTREEITEM Item)
{
    if (!FWidthValid || !IsShown(Item))
        return;
    if (Item->TextWidth >= 0 && ItemRight(Item) >= FContentWidth)
        WidthsChanged();
    else
        WidthShown(Item);
}

void TNativeTreeView::WidthHiding(HTREEITEM Item, bool Descendants)
{
    // The widest row may go: then all rows are measured again.
    if (!FWidthValid)
        return;
    auto Check = [this](HTREEITEM I) {
        if (I->TextWidth >= 0 && ItemRight(I) >= FContentWidth)
            WidthsChanged();
    };
    if (!Descendants) {
        Check(Item);
        return;
    }
    if (!(Item->State & TVIS_EXPANDED))
        return;
    for (HTREEITEM C = Item->FirstChild; C && FWidthValid; C = NextVisible(C)) {
        HTREEITEM P = C;
        for (; P && P != Item; P = P->Parent) {}
        if (!P)
            break;
        Check(C);
    }
}

TPoint TNativeTreeView::ToClient(TPoint P) const
{
    const int B = BorderSize();
    return TPoint(P.X - B, P.Y - B);
}

int TNativeTreeView::BorderSize() const
{
    if (FExStyle & WS_EX_CLIENTEDGE)
        return 2;
    return (FStyle & WS_BORDER) ? 1 : 0;
}

void TNativeTreeView::SetExStyle(unsigned Value)
{
    if (Value == FExStyle)
        return;
    FExStyle = Value;
    FBarsDirty = true;
    InvalidateTree();
}

HTREEITEM TNativeTreeView::InsertItem(const TVINSERTSTRUCT& Insert)
{
    HTREEITEM Parent = Insert.hParent == TVI_ROOT ? nullptr : Insert.hParent;
    if (Parent && !IsItem(Parent))
        return nullptr;
    HTREEITEM After = nullptr;
    const TVITEM& I = Insert.item;
    HTREEITEM Item = NewItem();
    Item->Children = KidsCompute;
    StoreFields(Item, I);
    if (I.mask & TVIF_STATE)
        Item->State = I.state & I.stateMask & ~(TVIS_SELECTED | TVIS_FOCUSED | TVIS_DROPHILITED);
    if ((FStyle & TVS_CHECKBOXES) && StateIndex(Item) == 0)
        Item->State |= INDEXTOSTATEIMAGEMASK(1);

    if (Insert.hInsertAfter == TVI_FIRST) {
        After = nullptr;
    } else if (Insert.hInsertAfter == TVI_LAST || !Insert.hInsertAfter) {
        After = Parent ? Parent->LastChild : FLast;
    } else if (Insert.hInsertAfter == TVI_SORT) {
        // After the last sibling whose text does not sort after the new one.
        const String Text = Display(Item, TVIF_TEXT).Text;
        for (HTREEITEM S = Parent ? Parent->FirstChild : FFirst; S; S = S->Next) {
            if (AnsiCompareText(Display(S, TVIF_TEXT).Text, Text) > 0)
                break;
            After = S;
        }
    } else {
        After = Insert.hInsertAfter;
        if (IsSpecial(After) || !IsItem(After) || After->Parent != Parent) {
            FreeItem(Item);
            return nullptr;
        }
    }
    Link(Parent, After, Item);
    if (Parent && Parent->Children == 0)
        Parent->Children = KidsCompute;
    if (IsShown(Item))
        WidthShown(Item);
    if (!FTop)
        FTop = FFirst;
    else if (!Parent && FTop == Item->Next && RowOf(FTop) == 1)
        FTop = Item; // a new first item at the very top shows
    InvalidateTree();
    return Item;
}

void TNativeTreeView::DeleteTree(HTREEITEM Item)
{
    // While the subtree goes it counts as collapsed, so the rows of
    // everything else stay right at every notification.
    if (IsShown(Item)) {
        WidthHiding(Item, false);
        WidthHiding(Item, true);
    }
    RowsChanged(Item, 1 - Item->Rows);
    Item->Rows = 1;
    Item->Deleting = true;
    // Children first, so that every notification finds its descendants
    // gone; siblings in order. No recursion: trees may be deep.
    HTREEITEM X = Item;
    for (;;) {
        while (X->FirstChild) {
            X = X->FirstChild;
            X->Deleting = true;
        }
        HTREEITEM Parent = X->Parent;
        const bool Last = X == Item;
        NotifyTree(TVN_DELETEITEM, 0, X, nullptr);
        Unlink(X, Last);
        FreeItem(X);
        if (Last)
            break;
        X = Parent;
    }
}

bool TNativeTreeView::DeleteItem(HTREEITEM Item)
{
    if (!Item || Item == TVI_ROOT) {
        FinishEdit(true);
        if (FSelected)
            SelectCaret(nullptr, TVC_UNKNOWN, true);
        FDropHilite = FHot = FPressItem = nullptr;
        FTop = nullptr;
        while (FFirst) {
            HTREEITEM First = FFirst;
            DeleteTree(First);
        }
        FTotalRows = 0;
        KidsReordered(nullptr);
        WidthsChanged();
        FScrollX = 0;
        InvalidateTree();
        return true;
    }
    if (!IsItem(Item) || Item->Deleting)
        return false;
    auto Inside = [Item](HTREEITEM X) {
        for (; X; X = X->Parent)
            if (X == Item)
                return true;
        return false;
    };
    if (FEditItem && Inside(FEditItem))
        FinishEdit(true);
    if (FSelected && Inside(FSelected)) {
        HTREEITEM Next = Item->Next ? Item->Next : Item->Prev ? Item->Prev : Item->Parent;
        SelectCaret(Next, TVC_UNKNOWN, true);
    }
    if (FDropHilite && Inside(FDropHilite))
        FDropHilite = nullptr;
    if (FHot && Inside(FHot))
        FHot = nullptr;
    if (FPressItem && Inside(FPressItem))
        FPressItem = nullptr;
    if (FTop && Inside(FTop)) {
        HTREEITEM T = Item;
        while (T && !T->Next)
            T = T->Parent;
        FTop = T ? T->Next : PrevVisible(Item);
        if (FTop && FTop->Deleting)
            FTop = nullptr;
    }
    HTREEITEM Parent = Item->Parent;
    DeleteTree(Item);
    if (Parent && !Parent->FirstChild)
        SetExpandedBit(Parent, false);
    if (!FTop)
        FTop = FFirst;
    InvalidateTree();
    return true;
}

HTREEITEM TNativeTreeView::NextVisible(HTREEITEM Item) const
{
    if ((Item->State & TVIS_EXPANDED) && Item->FirstChild)
        return Item->FirstChild;
    for (; Item; Item = Item->Parent)
        if (Item->Next)
            return Item->Next;
    return nullptr;
}

HTREEITEM TNativeTreeView::PrevVisible(HTREEITEM Item) const
{
    if (!Item->Prev)
        return Item->Parent;
    HTREEITEM P = Item->Prev;
    while ((P->State & TVIS_EXPANDED) && P->LastChild)
        P = P->LastChild;
    return P;
}

HTREEITEM TNativeTreeView::LastVisible() const
{
    HTREEITEM P = FLast;
    while (P && (P->State & TVIS_EXPANDED) && P->LastChild)
        P = P->LastChild;
    return P;
}

bool TNativeTreeView::IsShown(HTREEITEM Item) const
{
    for (HTREEITEM P = Item->Parent; P; P = P->Parent)
        if (!(P->State & TVIS_EXPANDED))
            return false;
    return true;
}

int TNativeTreeView::Level(HTREEITEM Item) const
{
    int L = 0;
    for (HTREEITEM P = Item->Parent; P; P = P->Parent)
        ++L;
    return L;
}

int TNativeTreeView::RowOf(HTREEITEM Item) const
{
    // The offsets along the path, and a row for every ancestor.
    if (!Item || !IsShown(Item))
        return -1;
    int Row = 0;
    for (HTREEITEM P = Item; P; P = P->Parent) {
        Row += OffsetOf(P);
        if (P != Item)
            ++Row;
    }
    return Row;
}

HTREEITEM TNativeTreeView::ItemAtRow(int Row) const
{
    if (Row < 0 || Row >= FTotalRows)
        return nullptr;
    // Near the first visible row: step from there.
    if (FTop && IsItem(FTop)) {
        const int TopRow = RowOf(FTop);
        if (TopRow >= 0 && std::abs(Row - TopRow) <= 256) {
            HTREEITEM P = FTop;
            for (int R = TopRow; P && R < Row; ++R)
                P = NextVisible(P);
            for (int R = TopRow; P && R > Row; --R)
                P = PrevVisible(P);
            return P;
        }
    }
    // Down the levels: the sibling whose rows hold the row.
    HTREEITEM List = nullptr;
    for (;;) {
        const TTreeItem::TKids& K = KidsOf(List);
        HTREEITEM P = List ? List->FirstChild : FFirst;
        if (K.ValidTo && K.ValidCount > 0 && OffsetValid(K.ValidTo) && K.ValidTo->Offset <= Row)
            P = K.ValidTo;
        for (; P; P = P->Next) {
            const int Offset = OffsetOf(P);
            if (Row < Offset + P->Rows)
                break;
        }
        if (!P)
            return nullptr;
        Row -= OffsetOf(P);
        if (Row == 0)
            return P;
        --Row;
        List = P;
    }
}

int TNativeTreeView::VisibleItemCount() const
{
    return FTotalRows;
}

HTREEITEM TNativeTreeView::GetNextItem(HTREEITEM Item, unsigned Code) const
{
    if (Item == TVI_ROOT)
        Item = nullptr;
    switch (Code) {
    case TVGN_ROOT: return FFirst;
    case TVGN_FIRSTVISIBLE: return FTop;
    case TVGN_CARET: return FSelected;
    case TVGN_DROPHILITE: return FDropHilite;
    case TVGN_LASTVISIBLE: return LastVisible();
    case TVGN_CHILD:
        if (!Item)
            return FFirst;
        return IsItem(Item) ? Item->FirstChild : nullptr;
    default: break;
    }
    if (!IsItem(Item))
        return nullptr;
    switch (Code) {
    case TVGN_NEXT: return Item->Next;
    case TVGN_PREVIOUS: return Item->Prev;
    case TVGN_PARENT: return Item->Parent;
    case TVGN_NEXTVISIBLE: return IsShown(Item) ? NextVisible(Item) : nullptr;
    case TVGN_PREVIOUSVISIBLE: return IsShown(Item) ? PrevVisible(Item) : nullptr;
    default: return nullptr;
    }
}

bool TNativeTreeView::GetItem(TVITEM& Item)
{
    if (!IsItem(Item.hItem))
        return false;
    HTREEITEM I = Item.hItem;
    if (Item.mask & TVIF_TEXT) {
        Item.TextCallback = I->TextCallback;
        String T = Display(I, TVIF_TEXT).Text;
        if (Item.cchTextMax >= 1 && static_cast<int>(T.size()) > Item.cchTextMax - 1)
            T.resize(static_cast<size_t>(Item.cchTextMax - 1));
        Item.pszText = T;
    }
    if (!IsItem(I))
        return false;
    if (Item.mask & TVIF_STATE)
        Item.state = I->State & (Item.stateMask ? Item.stateMask : 0xFFFFu);
    if (Item.mask & TVIF_IMAGE)
        Item.iImage = I->Image;
    if (Item.mask & TVIF_SELECTEDIMAGE)
        Item.iSelectedImage = I->SelectedImage;
    if (Item.mask & TVIF_CHILDREN)
        Item.cChildren = I->Children == KidsCompute ? (I->FirstChild ? 1 : 0) : I->Children;
    if (Item.mask & TVIF_PARAM)
        Item.lParam = I->Param;
    return true;
}

void TNativeTreeView::StoreFields(HTREEITEM I, const TVITEM& Item)
{
    if (Item.mask & TVIF_TEXT) {
        I->Text = Item.TextCallback ? String() : Item.pszText;
        I->TextCallback = Item.TextCallback;
        I->TextWidth = -1;
    }
    if (Item.mask & TVIF_IMAGE)
        I->Image = Item.iImage;
    if (Item.mask & TVIF_SELECTEDIMAGE)
        I->SelectedImage = Item.iSelectedImage;
    if (Item.mask & TVIF_CHILDREN)
        I->Children = Item.cChildren;
    if (Item.mask & TVIF_PARAM)
        I->Param = Item.lParam;
}

bool TNativeTreeView::SetItem(const TVITEM& Item)
{
    if (!IsItem(Item.hItem))
        return false;
    HTREEITEM I = Item.hItem;
    const unsigned NewState = (I->State & ~Item.stateMask) | (Item.state & Item.stateMask);
    const bool WidthMoves = (Item.mask & (TVIF_TEXT | TVIF_IMAGE)) ||
                            ((Item.mask & TVIF_STATE) &&
                             ((I->State ^ NewState) & (TVIS_BOLD | TVIS_STATEIMAGEMASK)));
    if (WidthMoves)
        WidthChanging(I);
    StoreFields(I, Item);
    if (Item.mask & TVIF_STATE) {
        const unsigned Old = I->State;
        I->State = (NewState & ~TVIS_EXPANDED) | (Old & TVIS_EXPANDED);
        if ((Old ^ I->State) & TVIS_BOLD)
            I->TextWidth = -1;
        if ((Old ^ NewState) & TVIS_EXPANDED) {
            SetExpandedBit(I, (NewState & TVIS_EXPANDED) != 0);
            if (!(I->State & TVIS_EXPANDED) && FTop && !IsShown(FTop))
                FTop = I;
            ClampScroll();
        }
        if ((Old ^ I->State) & TVIS_DROPHILITED) {
            if (I->State & TVIS_DROPHILITED) {
                if (FDropHilite && FDropHilite != I)
                    FDropHilite->State &= ~TVIS_DROPHILITED;
                FDropHilite = I;
            } else if (FDropHilite == I) {
                FDropHilite = nullptr;
            }
        }
    }
    InvalidateTree();
    return true;
}

// ---------------------------------------------------------------- expanding and selecting

bool TNativeTreeView::ExpandItem(HTREEITEM Item, unsigned Action, bool Notify)
{
    if (!IsItem(Item))
        return false;
    unsigned Op = Action & TVE_TOGGLE;
    if (Op == TVE_TOGGLE)
        Op = (Item->State & TVIS_EXPANDED) ? TVE_COLLAPSE : TVE_EXPAND;
    if (Op == TVE_EXPAND) {
        if (Item->State & TVIS_EXPANDED)
            return false;
        if (Display(Item, TVIF_CHILDREN).Children == 0 || !IsItem(Item))
            return false;
        if (Notify && NotifyTree(TVN_ITEMEXPANDING, TVE_EXPAND, nullptr, Item) != 0)
            return false;
        if (!IsItem(Item))
            return false;
        SetExpandedBit(Item, true);
        Item->State |= TVIS_EXPANDEDONCE;
        InvalidateTree();
        if (Notify)
            NotifyTree(TVN_ITEMEXPANDED, TVE_EXPAND, nullptr, Item);
        return true;
    }
    if (Op != TVE_COLLAPSE || !(Item->State & TVIS_EXPANDED))
        return false;
    if (Notify && NotifyTree(TVN_ITEMEXPANDING, TVE_COLLAPSE, nullptr, Item) != 0)
        return false;
    if (!IsItem(Item))
        return false;
    if (FEditItem)
        FinishEdit(false);
    SetExpandedBit(Item, false);
    auto Below = [Item](HTREEITEM X) {
        for (X = X ? X->Parent : nullptr; X; X = X->Parent)
            if (X == Item)
                return true;
        return false;
    };
    if (Below(FSelected))
        SelectCaret(Item, TVC_UNKNOWN, true);
    if (FTop && Below(FTop))
        FTop = Item;
    if (Action & TVE_COLLAPSERESET) {
        while (Item->FirstChild) {
            HTREEITEM C = Item->FirstChild;
            DeleteTree(C);
        }
        Item->State &= ~TVIS_EXPANDEDONCE;
    }
    InvalidateTree();
    if (Notify)
        NotifyTree(TVN_ITEMEXPANDED, TVE_COLLAPSE, nullptr, Item);
    return true;
}

bool TNativeTreeView::Expand(HTREEITEM Item, unsigned Action)
{
    return ExpandItem(Item, Action, true);
}

bool TNativeTreeView::SelectCaret(HTREEITEM Item, unsigned Action, bool Forced)
{
    if (Item == FSelected)
        return true;
    if (NotifyTree(TVN_SELCHANGING, Action, FSelected, Item) != 0 && !Forced)
        return false;
    if (Item && !IsItem(Item))
        return false;
    HTREEITEM Old = FSelected;
    if (Old && IsItem(Old))
        Old->State &= ~(TVIS_SELECTED | TVIS_FOCUSED);
    else
        Old = nullptr;
    FSelected = Item;
    if (Item) {
        Item->State |= TVIS_SELECTED | TVIS_FOCUSED;
        if ((FStyle & TVS_SINGLEEXPAND) && Action != TVC_UNKNOWN) {
            if (Old && IsItem(Old)) {
                bool Ancestor = false;
                for (HTREEITEM P = Item->Parent; P; P = P->Parent)
                    Ancestor = Ancestor || P == Old;
                if (!Ancestor)
                    ExpandItem(Old, TVE_COLLAPSE, true);
            }
            ExpandItem(Item, TVE_EXPAND, true);
        }
    }
    InvalidateTree();
    NotifyTree(TVN_SELCHANGED, Action, Old, FSelected);
    if (FSelected && FSelected == Item && !Forced)
        EnsureVisible(Item);
    return true;
}

bool TNativeTreeView::SelectItem(unsigned Code, HTREEITEM Item)
{
    if (Item && !IsItem(Item))
        return false;
    switch (Code) {
    case TVGN_CARET: return SelectCaret(Item, TVC_UNKNOWN, false);
    case TVGN_DROPHILITE:
        if (FDropHilite && FDropHilite != Item)
            FDropHilite->State &= ~TVIS_DROPHILITED;
        FDropHilite = Item;
        if (Item)
            Item->State |= TVIS_DROPHILITED;
        InvalidateTree();
        return true;
    case TVGN_FIRSTVISIBLE:
        if (!Item)
            return false;
        EnsureVisible(Item);
        SetTop(Item);
        return true;
    default: return false;
    }
}

// ---------------------------------------------------------------- geometry

int TNativeTreeView::ItemHeight() const
{
    if (FItemHeight > 0)
        return FItemHeight;
    if (FDefaultHeight < 0) {
        FMeasure->Font()->Assign(Font());
        int H = FMeasure->TextHeight("Wg") + 3;
        if (FImages)
            H = std::max(H, FImages->Height());
        if (FStateImages)
            H = std::max(H, FStateImages->Height());
        if (FStyle & TVS_CHECKBOXES)
            H = std::max(H, 16);
        if (H % 2)
            ++H;
        FDefaultHeight = H;
    }
    return FDefaultHeight;
}

void TNativeTreeView::SetItemHeight(int Value)
{
    WidthsChanged();
    FItemHeight = Value > 0 ? Value : -1;
    ClampScroll();
    InvalidateTree();
}

void TNativeTreeView::SetIndent(int Value)
{
    FIndent = std::max(0, Value);
    WidthsChanged();
    InvalidateTree();
}

TCustomImageList* TNativeTreeView::ImageList(unsigned Which) const
{
    return Which == TVSIL_STATE ? FStateImages : Which == TVSIL_NORMAL ? FImages : nullptr;
}

TCustomImageList* TNativeTreeView::SetImageList(unsigned Which, TCustomImageList* List)
{
    TCustomImageList* Old = ImageList(Which);
    if (Which == TVSIL_STATE)
        FStateImages = List;
    else if (Which == TVSIL_NORMAL)
        FImages = List;
    else
        return nullptr;
    FDefaultHeight = -1;
    WidthsChanged();
    InvalidateTree();
    return Old;
}

int TNativeTreeView::VisibleCount() const
{
    const int H = ItemHeight();
    return H > 0 ? std::max(0, ClientHeight() / H) : 0;
}

int TNativeTreeView::StateWidth() const
{
    if (FStateImages)
        return FStateImages->Width();
    return (FStyle & TVS_CHECKBOXES) ? DefaultCheckWidth : 0;
}

int TNativeTreeView::TextWidth(HTREEITEM Item, const String& Text)
{
    TFont* F = FMeasure->Font();
    F->Assign(Font());
    if (Item->State & TVIS_BOLD)
        F->SetStyle(F->Style() | fsBold);
    return FMeasure->TextWidth(Text);
}

TNativeTreeView::TLayout TNativeTreeView::LayoutOf(HTREEITEM Item)
{
    TLayout L;
    const int Lv = Level(Item) + ((FStyle & TVS_LINESATROOT) ? 1 : 0);
    L.ButtonLeft = (Lv - 1) * FIndent;
    int X = Lv * FIndent;
    L.StateLeft = X;
    if (StateIndex(Item) > 0)
        X += StateWidth();
    L.ImageLeft = X;
    if (FImages)
        X += FImages->Width() + 1;
    L.TextLeft = X;
    if (Item->TextWidth < 0) {
        const int W = TextWidth(Item, Display(Item, TVIF_TEXT).Text);
        if (IsItem(Item))
            Item->TextWidth = W;
        L.TextRight = X + W + 4;
    } else {
        L.TextRight = X + Item->TextWidth + 4;
    }
    return L;
}

bool TNativeTreeView::GetItemRect(HTREEITEM Item, TRect& Rect, bool TextOnly)
{
    if (!IsItem(Item) || !IsShown(Item))
        return false;
    const int H = ItemHeight();
    const int Top = (RowOf(Item) - ScrollRow()) * H;
    if (TextOnly) {
        const TLayout L = LayoutOf(Item);
        Rect = TRect(L.TextLeft - FScrollX, Top, L.TextRight - FScrollX, Top + H);
    } else {
        Rect = TRect(0, Top, ClientWidth(), Top + H);
    }
    return true;
}

HTREEITEM TNativeTreeView::HitTest(TVHITTESTINFO& Info)
{
    Info.hItem = nullptr;
    Info.flags = 0;
    const TPoint P = Info.pt;
    if (P.Y < 0)
        Info.flags |= TVHT_ABOVE;
    else if (P.Y >= ClientHeight())
        Info.flags |= TVHT_BELOW;
    if (P.X < 0)
        Info.flags |= TVHT_TOLEFT;
    else if (P.X >= ClientWidth())
        Info.flags |= TVHT_TORIGHT;
    if (Info.flags)
        return nullptr;
    const int H = ItemHeight();
    HTREEITEM Item = H > 0 ? ItemAtRow(ScrollRow() + P.Y / H) : nullptr;
    if (!Item) {
        Info.flags = TVHT_NOWHERE;
        return nullptr;
    }
    Info.hItem = Item;
    const TLayout L = LayoutOf(Item);
    const int X = P.X + FScrollX;
    if (X < L.ButtonLeft)
        Info.flags = TVHT_ONITEMINDENT;
    else if (X < L.StateLeft)
        Info.flags = (FStyle & TVS_HASBUTTONS) && HasButton(Item) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
    else if (X < L.ImageLeft)
        Info.flags = TVHT_ONITEMSTATEICON;
    else if (X < L.TextLeft)
        Info.flags = TVHT_ONITEMICON;
    else if (X < L.TextRight)
        Info.flags = TVHT_ONITEMLABEL;
    else
        Info.flags = TVHT_ONITEMRIGHT;
    return Item;
}

bool TNativeTreeView::HasButton(HTREEITEM Item)
{
    return Display(Item, TVIF_CHILDREN).Children != 0;
}

int TNativeTreeView::ScrollRow() const
{
    return FTop ? std::max(0, RowOf(FTop)) : 0;
}

void TNativeTreeView::SetTop(HTREEITEM Item)
{
    FTop = Item;
    ClampScroll();
    InvalidateTree();
}

void TNativeTreeView::ClampScroll()
{
    if (!FTop || !IsItem(FTop) || !IsShown(FTop))
        FTop = FFirst;
    if (!FTop)
        return;
    const int Page = std::max(1, VisibleCount());
    const int MaxRow = std::max(0, VisibleItemCount() - Page);
    if (RowOf(FTop) > MaxRow)
        FTop = ItemAtRow(MaxRow);
}

void TNativeTreeView::ScrollRows(int Delta)
{
    if (!FFirst || Delta == 0)
        return;
    if (FEdit)
        FinishEdit(false);
    const int Page = std::max(1, VisibleCount());
    const int MaxRow = std::max(0, VisibleItemCount() - Page);
    const int Row = std::clamp(ScrollRow() + Delta, 0, MaxRow);
    FTop = ItemAtRow(Row);
    InvalidateTree();
}

int TNativeTreeView::ContentWidth()
{
    if (!FWidthValid) {
        int W = 0;
        for (HTREEITEM P = FFirst; P; P = NextVisible(P))
            W = std::max(W, LayoutOf(P).TextRight);
        FContentWidth = W;
        FWidthPending.clear();
        FWidthValid = true;
        return W;
    }
    if (!FWidthPending.empty()) {
        std::vector<HTREEITEM> Pending;
        Pending.swap(FWidthPending);
        for (HTREEITEM P : Pending)
            if (IsItem(P) && IsShown(P))
                FContentWidth = std::max(FContentWidth, LayoutOf(P).TextRight);
    }
    return FContentWidth;
}

void TNativeTreeView::SetScrollX(int Value)
{
    const int Max = std::max(0, ContentWidth() - ClientWidth());
    const int V = std::clamp(Value, 0, Max);
    if (V == FScrollX)
        return;
    if (FEdit)
        FinishEdit(false);
    FScrollX = V;
    InvalidateTree();
}

bool TNativeTreeView::EnsureVisible(HTREEITEM Item)
{
    if (!IsItem(Item))
        return false;
    std::vector<HTREEITEM> Chain;
    for (HTREEITEM P = Item->Parent; P; P = P->Parent)
        Chain.push_back(P);
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
        if (!((*It)->State & TVIS_EXPANDED))
            ExpandItem(*It, TVE_EXPAND, true);
    if (!IsItem(Item) || !IsShown(Item))
        return false;
    const int Row = RowOf(Item);
    const int Top = ScrollRow();
    const int Page = std::max(1, VisibleCount());
    if (Row < Top)
        FTop = Item;
    else if (Row >= Top + Page)
        FTop = ItemAtRow(Row - Page + 1);
    ClampScroll();
    InvalidateTree();
    return true;
}

// ---------------------------------------------------------------- sorting

void TNativeTreeView::Relink(HTREEITEM Parent, const std::vector<HTREEITEM>& Kids)
{
    HTREEITEM Prev = nullptr;
    for (HTREEITEM C : Kids) {
        C->Prev = Prev;
        if (Prev)
            Prev->Next = C;
        Prev = C;
    }
    if (Prev)
        Prev->Next = nullptr;
    (Parent ? Parent->FirstChild : FFirst) = Kids.empty() ? nullptr : Kids.front();
    (Parent ? Parent->LastChild : FLast) = Prev;
    KidsReordered(Parent);
}

bool TNativeTreeView::SortChildrenCB(const TVSORTCB& Sort, bool Recurse)
{
    HTREEITEM Parent = Sort.hParent == TVI_ROOT ? nullptr : Sort.hParent;
    if ((Parent && !IsItem(Parent)) || !Sort.lpfnCompare)
        return false;
    // The items' data beside them, so that comparing touches no item. The
    // subtree is sorted list by list, without recursion.
    std::vector<HTREEITEM> Lists{Parent};
    std::vector<std::pair<intptr_t, HTREEITEM>> Keyed;
    std::vector<HTREEITEM> Kids;
    while (!Lists.empty()) {
        HTREEITEM P = Lists.back();
        Lists.pop_back();
        Keyed.clear();
        for (HTREEITEM C = P ? P->FirstChild : FFirst; C; C = C->Next)
            Keyed.emplace_back(C->Param, C);
        std::stable_sort(Keyed.begin(), Keyed.end(), [&Sort](const auto& A, const auto& B) {
            return Sort.lpfnCompare(A.first, B.first, Sort.lParam) < 0;
        });
        Kids.clear();
        for (const auto& K : Keyed)
            Kids.push_back(K.second);
        Relink(P, Kids);
        if (Recurse)
            for (HTREEITEM C : Kids)
                if (C->FirstChild)
                    Lists.push_back(C);
    }
    InvalidateTree();
    return true;
}

bool TNativeTreeView::SortChildren(HTREEITEM Parent, bool Recurse, bool CaseSensitive)
{
    if (Parent == TVI_ROOT)
        Parent = nullptr;
    if (Parent && !IsItem(Parent))
        return false;
    std::vector<HTREEITEM> Lists{Parent};
    std::vector<std::pair<String, HTREEITEM>> Kids;
    std::vector<HTREEITEM> Order;
    while (!Lists.empty()) {
        HTREEITEM P = Lists.back();
        Lists.pop_back();
        if (P && !IsItem(P))
            continue;
        Kids.clear();
        for (HTREEITEM C = P ? P->FirstChild : FFirst; C; C = C->Next)
            Kids.emplace_back(Display(C, TVIF_TEXT).Text, C);
        if (CaseSensitive)
            std::stable_sort(Kids.begin(), Kids.end(),
                             [](const auto& A, const auto& B) { return AnsiCompareStr(A.first, B.first) < 0; });
        else
            std::stable_sort(Kids.begin(), Kids.end(),
                             [](const auto& A, const auto& B) { return AnsiCompareText(A.first, B.first) < 0; });
        Order.clear();
        for (auto& K : Kids)
            Order.push_back(K.second);
        Relink(P, Order);
        if (Recurse)
            for (HTREEITEM C : Order)
                if (C->FirstChild)
                    Lists.push_back(C);
    }
    InvalidateTree();
    return true;
}

// ---------------------------------------------------------------- label editing

TEdit* TNativeTreeView::EditLabel(HTREEITEM Item)
{
    if (!IsItem(Item))
        return nullptr;
    if (FEdit)
        FinishEdit(false);
    if (!IsItem(Item) || !EnsureVisible(Item))
        return nullptr;
    NMTVDISPINFO Info;
    FillItem(Item, Info.item, TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM);
    const String Text = Display(Item, TVIF_TEXT).Text;
    Info.item.pszText = Text;
    if (Send(Info.hdr, TVN_BEGINLABELEDIT) != 0 || !IsItem(Item))
        return nullptr;
    TRect R;
    GetItemRect(Item, R, true);
    auto* Edit = new TTreeLabelEdit(this);
    Edit->SetBorderStyle(bsSingle);
    Edit->SetParent(this);
    Edit->SetFont(Font());
    // Over the label, a little larger than it, inside the client area.
    const int Left = std::max(0, R.Left - 3);
    const int Top = std::max(0, R.Top - 2);
    const int W = std::max(R.Width() + 24, 50);
    const int B = BorderSize();
    Edit->SetBounds(Left + B, Top + B, std::min(W, std::max(50, ClientWidth() - Left)), R.Height() + 4);
    Edit->SetText(Text);
    Edit->SelectAll();
    FEdit = Edit;
    FEditItem = Item;
    if (Edit->CanFocus())
        Edit->SetFocus();
    InvalidateTree();
    return Edit;
}

void TNativeTreeView::FinishEdit(bool Cancel)
{
    if (!FEdit || FEnding)
        return;
    FEnding = true;
    TEdit* Edit = FEdit;
    HTREEITEM Item = FEditItem;
    NMTVDISPINFO Info;
    FillItem(IsItem(Item) ? Item : nullptr, Info.item, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM);
    if (!Cancel) {
        Info.item.mask |= TVIF_TEXT;
        Info.item.pszText = Edit->Text();
    }
    intptr_t Answer = 0;
    try {
        Answer = Send(Info.hdr, TVN_ENDLABELEDIT);
    } catch (...) {
        FEnding = false;
        throw;
    }
    if (Answer != 0 && !Cancel && IsItem(Item)) {
        if (Item->TextCallback) {
            // The owner keeps the text: it is told the new one.
            NMTVDISPINFO Set;
            FillItem(Item, Set.item, TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM);
            Set.item.pszText = Info.item.pszText;
            Set.item.TextCallback = false;
            Send(Set.hdr, TVN_SETDISPINFO);
        } else {
            Item->Text = Info.item.pszText;
        }
        Item->TextWidth = -1;
    }
    FEdit = nullptr;
    FEditItem = nullptr;
    const bool HadFocus = Edit->Focused();
    Edit->Hide();
    Edit->SetParent(nullptr);
    Edit->deleteLater();
    if (HadFocus && CanFocus())
        SetFocus();
    FEnding = false;
    InvalidateTree();
}

bool TNativeTreeView::EndEditLabelNow(bool Cancel)
{
    if (!FEdit)
        return false;
    FinishEdit(Cancel);
    return true;
}

// ---------------------------------------------------------------- drag image

TCustomImageList* TNativeTreeView::CreateDragImage(HTREEITEM Item)
{
    if (!IsItem(Item))
        return nullptr;
    const TDisplay D = Display(Item, TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE);
    const int ImgW = FImages ? FImages->Width() + 1 : 0;
    const int TextW = TextWidth(Item, D.Text) + 4;
    const int H = ItemHeight();
    QImage Picture(ImgW + TextW, H, QImage::Format_ARGB32);
    Picture.fill(Qt::transparent);
    {
        TCanvas C(&Picture);
        C.Font()->Assign(Font());
        if (Item->State & TVIS_BOLD)
            C.Font()->SetStyle(C.Font()->Style() | fsBold);
        if (FImages && D.Image >= 0 && D.Image < FImages->Count())
            FImages->Draw(&C, 0, (H - FImages->Height()) / 2, D.Image);
        TRect R(ImgW, 0, ImgW + TextW, H);
        C.Brush()->SetColor(BackColor());
        C.FillRect(R);
        C.Font()->SetColor(ForeColor());
        SetBkMode(&C, TRANSPARENT);
        TRect T(R.Left + 2, R.Top, R.Right - 2, R.Bottom);
        DrawText(&C, D.Text, T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    }
    TCustomImageList* List = TCustomImageList::CreateSize(Picture.width(), Picture.height());
    List->AddImage32(Picture);
    return List;
}

// ---------------------------------------------------------------- painting

TColor TNativeTreeView::BackColor() const
{
    return FBkColor == clNone ? Color() : FBkColor;
}

TColor TNativeTreeView::ForeColor() const
{
    return FTextColor == clNone ? Font()->Color() : FTextColor;
}

void TNativeTreeView::InvalidateTree()
{
    FBarsDirty = true;
    if (FRedraw)
        Invalidate();
}

void TNativeTreeView::Paint()
{
    TCanvas* C = Canvas();
    UpdateScrollBars();
    ClampScroll();
    FScrollX = std::clamp(FScrollX, 0, std::max(0, ContentWidth() - ClientWidth()));
    const TRect Client = ClientRect();
    C->Brush()->SetColor(BackColor());
    C->FillRect(TRect(0, 0, Width(), Height()));
    // The border, then everything else inside it in client coordinates.
    const int B = BorderSize();
    if (B > 0) {
        TRect Frame(0, 0, Width(), Height());
        if (B == 2) {
            DrawEdge(C, Frame, EDGE_SUNKEN, BF_RECT);
        } else {
            C->Brush()->SetColor(clWindowFrame);
            C->FrameRect(Frame);
        }
        C->SetViewportOrg(TPoint(B, B));
        C->IntersectClipRect(TRect(0, 0, InnerWidth(), InnerHeight()));
    }
    struct TRestore {
        TCanvas* C;
        bool On;
        ~TRestore()
        {
            if (On) {
                C->SetViewportOrg(TPoint(0, 0));
                C->SetClipRegion(nullptr);
            }
        }
    } Restore{C, B > 0};

    NMTVCUSTOMDRAW Draw;
    Draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    Draw.nmcd.hdc = C;
    Draw.nmcd.rc = Client;
    Draw.clrText = ForeColor();
    Draw.clrTextBk = BackColor();
    const intptr_t Answer = Send(Draw.nmcd.hdr, NM_CUSTOMDRAW);
    const int H = ItemHeight();
    const bool HasFocus = Focused() || (FEdit && FEdit->Focused());
    int Y = 0;
    for (HTREEITEM Item = FTop; Item && H > 0 && Y < Client.Bottom; Item = NextVisible(Item), Y += H) {
        const TRect Row(0, Y, Client.Right, Y + H);
        unsigned State = 0;
        TColor Text = ForeColor();
        TColor Back = BackColor();
        const bool Selected = (Item->State & TVIS_SELECTED) && (!FDropHilite || FDropHilite == Item);
        if (Item->State & TVIS_SELECTED)
            State |= CDIS_SELECTED;
        if (Item == FSelected && HasFocus)
            State |= CDIS_FOCUS;
        if (Item == FHot && (FStyle & TVS_TRACKSELECT))
            State |= CDIS_HOT;
        if (!Enabled())
            State |= CDIS_DISABLED;
        if ((Selected && HasFocus) || (Item->State & TVIS_DROPHILITED)) {
            Text = clHighlightText;
            Back = clHighlight;
        } else if (Selected && (FStyle & TVS_SHOWSELALWAYS)) {
            Back = clBtnFace;
        }
        // One item stage: the receiver may change the colours.
        auto ItemStage = [&](unsigned Stage) {
            NMTVCUSTOMDRAW D;
            D.nmcd.dwDrawStage = Stage;
            D.nmcd.hdc = C;
            D.nmcd.rc = Row;
            D.nmcd.dwItemSpec = reinterpret_cast<uintptr_t>(Item);
            D.nmcd.uItemState = State;
            D.nmcd.lItemlParam = Item->Param;
            D.clrText = Text;
            D.clrTextBk = Back;
            D.iLevel = Level(Item);
            const intptr_t R = Send(D.nmcd.hdr, NM_CUSTOMDRAW);
            Text = D.clrText;
            Back = D.clrTextBk;
            return R;
        };
        intptr_t ItemAnswer = CDRF_DODEFAULT;
        if (Answer & CDRF_NOTIFYITEMDRAW) {
            C->Font()->Assign(Font());
            ItemAnswer = ItemStage(CDDS_ITEMPREPAINT);
            if (!IsItem(Item))
                break;
        }
        if (!(ItemAnswer & CDRF_SKIPDEFAULT))
            DrawItemDefault(Item, Row, State, Text, Back, (ItemAnswer & CDRF_NEWFONT) != 0);
        if (ItemAnswer & CDRF_NOTIFYPOSTPAINT) {
            ItemStage(CDDS_ITEMPOSTPAINT);
            if (!IsItem(Item))
                break;
        }
    }
    if (Answer & CDRF_NOTIFYPOSTPAINT) {
        NMTVCUSTOMDRAW D;
        D.nmcd.dwDrawStage = CDDS_POSTPAINT;
        D.nmcd.hdc = C;
        D.nmcd.rc = Client;
        Send(D.nmcd.hdr, NM_CUSTOMDRAW);
    }
    DrawScrollBars(C);
}

// ---------------------------------------------------------------- scroll bars

void TNativeTreeView::UpdateScrollBars() const
{
    if (!FBarsDirty || FComputingBars || !FMeasure)
        return;
    FComputingBars = true;
    FShowV = FShowH = false;
    try {
        const int H = ItemHeight();
        const int Rows = VisibleItemCount() * H;
        const int Content = const_cast<TNativeTreeView*>(this)->ContentWidth();
        bool V = Rows > InnerHeight();
        bool Hz = Content > InnerWidth() - (V ? ScrollBarSize : 0);
        if (Hz && !V)
            V = Rows > InnerHeight() - ScrollBarSize;
        FShowV = V;
        FShowH = Hz;
    } catch (...) {
        FComputingBars = false;
        throw;
    }
    FComputingBars = false;
    FBarsDirty = false;
}

bool TNativeTreeView::VertScrollBarShown() const
{
    UpdateScrollBars();
    return FShowV;
}

bool TNativeTreeView::HorzScrollBarShown() const
{
    UpdateScrollBars();
    return FShowH;
}

TRect TNativeTreeView::ClientRect() const
{
    UpdateScrollBars();
    return TRect(0, 0, std::max(0, InnerWidth() - (FShowV ? ScrollBarSize : 0)),
                 std::max(0, InnerHeight() - (FShowH ? ScrollBarSize : 0)));
}

TNativeTreeView::TBarGeometry TNativeTreeView::BarGeometry(bool Vertical) const
{
    TBarGeometry G;
    const int S = ScrollBarSize;
    int Total = 0;
    int Page = 0;
    int Pos = 0;
    if (Vertical) {
        G.Bar = TRect(InnerWidth() - S, 0, InnerWidth(), InnerHeight() - (FShowH ? S : 0));
        G.Less = TRect(G.Bar.Left, G.Bar.Top, G.Bar.Right, G.Bar.Top + S);
        G.More = TRect(G.Bar.Left, G.Bar.Bottom - S, G.Bar.Right, G.Bar.Bottom);
        Total = VisibleItemCount();
        Page = std::max(1, VisibleCount());
        Pos = ScrollRow();
    } else {
        G.Bar = TRect(0, InnerHeight() - S, InnerWidth() - (FShowV ? S : 0), InnerHeight());
        G.Less = TRect(G.Bar.Left, G.Bar.Top, G.Bar.Left + S, G.Bar.Bottom);
        G.More = TRect(G.Bar.Right - S, G.Bar.Top, G.Bar.Right, G.Bar.Bottom);
        Total = const_cast<TNativeTreeView*>(this)->ContentWidth();
        Page = std::max(1, ClientWidth());
        Pos = FScrollX;
    }
    G.Range = std::max(0, Total - Page);
    const int Track = Vertical ? G.More.Top - G.Less.Bottom : G.More.Left - G.Less.Right;
    if (Total <= 0 || Track <= 8)
        return G;
    const int Thumb = std::clamp(Track * Page / Total, 8, Track);
    G.Travel = Track - Thumb;
    const int Offset = G.Range > 0 ? static_cast<int>(static_cast<int64_t>(G.Travel) * Pos / G.Range) : 0;
    if (Vertical)
        G.Thumb = TRect(G.Bar.Left, G.Less.Bottom + Offset, G.Bar.Right, G.Less.Bottom + Offset + Thumb);
    else
        G.Thumb = TRect(G.Less.Right + Offset, G.Bar.Top, G.Less.Right + Offset + Thumb, G.Bar.Bottom);
    return G;
}

void TNativeTreeView::DrawScrollBars(TCanvas* C)
{
    for (bool Vertical : {true, false}) {
        if (!(Vertical ? FShowV : FShowH))
            continue;
        const TBarGeometry G = BarGeometry(Vertical);
        // The track halfway between the scroll-bar colour and white, so
        // that the thumb stands out.
        const TColor Face = ColorToRGB(clScrollBar);
        C->Brush()->SetColor(
            RGB((GetRValue(Face) + 255) / 2, (GetGValue(Face) + 255) / 2, (GetBValue(Face) + 255) / 2));
        C->FillRect(G.Bar);
        TRect Less = G.Less;
        TRect More = G.More;
        DrawFrameControl(C, Less, DFC_SCROLL, Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT);
        DrawFrameControl(C, More, DFC_SCROLL, Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT);
        if (!G.Thumb.IsEmpty()) {
            TRect Thumb = G.Thumb;
            DrawFrameControl(C, Thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
        }
    }
    if (FShowV && FShowH) {
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(TRect(InnerWidth() - ScrollBarSize, InnerHeight() - ScrollBarSize, InnerWidth(), InnerHeight()));
    }
}

bool TNativeTreeView::ScrollBarPress(TPoint P)
{
    UpdateScrollBars();
    for (bool Vertical : {true, false}) {
        if (!(Vertical ? FShowV : FShowH))
            continue;
        const TBarGeometry G = BarGeometry(Vertical);
        if (!G.Bar.Contains(P))
            continue;
        auto Step = [&](int Delta, bool Page) {
            if (Vertical)
                ScrollRows(Page ? Delta * std::max(1, VisibleCount()) : Delta);
            else
                SetScrollX(FScrollX + (Page ? Delta * std::max(1, ClientWidth()) : Delta * 8));
        };
        if (G.Less.Contains(P))
            Step(-1, false);
        else if (G.More.Contains(P))
            Step(1, false);
        else if (G.Thumb.Contains(P)) {
            FThumbDrag = Vertical ? 1 : 2;
            FThumbGrab = Vertical ? P.Y - G.Thumb.Top : P.X - G.Thumb.Left;
        } else if (Vertical ? P.Y < G.Thumb.Top : P.X < G.Thumb.Left)
            Step(-1, true);
        else
            Step(1, true);
        return true;
    }
    return false;
}

namespace {

// Dotted lines on the even pixels of a checkerboard, so that the lines of
// neighbouring rows meet.
void DottedV(TCanvas* C, int X, int Y1, int Y2, TColor Color)
{
    for (int Y = Y1; Y < Y2; ++Y)
        if (((X + Y) & 1) == 0)
            C->SetPixels(X, Y, Color);
}

void DottedH(TCanvas* C, int X1, int X2, int Y, TColor Color)
{
    for (int X = X1; X < X2; ++X)
        if (((X + Y) & 1) == 0)
            C->SetPixels(X, Y, Color);
}

} // namespace

void TNativeTreeView::DrawCheckBox(TCanvas* C, const TRect& Box, int StateIdx)
{
    TRect R = Box;
    DrawFrameControl(C, R, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_FLAT | (StateIdx >= 2 ? static_cast<unsigned>(DFCS_CHECKED) : 0u));
}

void TNativeTreeView::DrawItemDefault(HTREEITEM Item, const TRect& Row, unsigned ItemState, TColor TextColor,
                                      TColor BkColor, bool KeepFont)
{
    TCanvas* C = Canvas();
    const TLayout L = LayoutOf(Item);
    const int SX = FScrollX;
    const int H = Row.Height();
    const int CY = Row.Top + H / 2;
    const bool RootLines = (FStyle & TVS_LINESATROOT) != 0;
    auto LineX = [&](HTREEITEM I, int ButtonLeft) { (void)I; return ButtonLeft + FIndent / 2 - SX; };
    const bool HasCell = Item->Parent || RootLines;

    if ((FStyle & TVS_HASLINES) && HasCell) {
        const int X = LineX(Item, L.ButtonLeft);
        const int Y1 = (!Item->Parent && !Item->Prev) ? CY : Row.Top;
        const int Y2 = Item->Next ? Row.Bottom : CY + 1;
        DottedV(C, X, Y1, Y2, FLineColor);
        DottedH(C, X, L.ButtonLeft + FIndent - SX, CY, FLineColor);
        int AncestorLeft = L.ButtonLeft;
        for (HTREEITEM A = Item->Parent; A; A = A->Parent) {
            AncestorLeft -= FIndent;
            if (!A->Parent && !RootLines)
                break;
            if (A->Next)
                DottedV(C, LineX(A, AncestorLeft), Row.Top, Row.Bottom, FLineColor);
        }
    }
    if ((FStyle & TVS_HASBUTTONS) && HasCell && HasButton(Item)) {
        const int X = LineX(Item, L.ButtonLeft);
        const TRect Box(X - 4, CY - 4, X + 5, CY + 5);
        C->Brush()->SetColor(clWhite);
        C->FillRect(Box);
        C->Brush()->SetColor(clBtnShadow);
        C->FrameRect(Box);
        C->Pen()->SetColor(clBlack);
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetWidth(1);
        C->MoveTo(X - 2, CY);
        C->LineTo(X + 3, CY);
        if (!(Item->State & TVIS_EXPANDED)) {
            C->MoveTo(X, CY - 2);
            C->LineTo(X, CY + 3);
        }
    }
    const int StateIdx = StateIndex(Item);
    if (StateIdx > 0) {
        if (FStateImages) {
            if (StateIdx < FStateImages->Count())
                FStateImages->Draw(C, L.StateLeft - SX, Row.Top + (H - FStateImages->Height()) / 2, StateIdx);
        } else if (FStyle & TVS_CHECKBOXES) {
            const int Left = L.StateLeft - SX + (DefaultCheckWidth - 13) / 2;
            DrawCheckBox(C, TRect(Left, CY - 6, Left + 13, CY + 7), StateIdx);
        }
    }
    const bool Selected = (ItemState & CDIS_SELECTED) != 0;
    if (FImages) {
        const TDisplay D = Display(Item, TVIF_IMAGE | TVIF_SELECTEDIMAGE);
        const int Index = Selected ? D.SelectedImage : D.Image;
        // A cut item's image is blended half with what lies under it.
        if (Index >= 0 && Index < FImages->Count())
            FImages->Draw(C, L.ImageLeft - SX, Row.Top + (H - FImages->Height()) / 2, Index,
                          (Item->State & TVIS_CUT) ? dsSelected : dsNormal, itImage);
    }
    if (Item == FEditItem)
        return;
    TRect Back(L.TextLeft - SX, Row.Top, L.TextRight - SX, Row.Bottom);
    if (FStyle & TVS_FULLROWSELECT)
        Back.Right = std::max(Back.Right, Row.Right);
    if (BkColor != clNone && BkColor != BackColor()) {
        C->Brush()->SetColor(BkColor);
        C->FillRect(Back);
    }
    if (!KeepFont) {
        C->Font()->Assign(Font());
        if (Item->State & TVIS_BOLD)
            C->Font()->SetStyle(C->Font()->Style() | fsBold);
    }
    C->Font()->SetColor(TextColor);
    SetBkMode(C, TRANSPARENT);
    TRect T(L.TextLeft - SX + 2, Row.Top, L.TextRight - SX - 2, Row.Bottom);
    DrawText(C, Display(Item, TVIF_TEXT).Text, T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    SetBkMode(C, OPAQUE);
    if (ItemState & CDIS_FOCUS)
        DrawFocusRect(C, Back);
}

// ---------------------------------------------------------------- input

bool TNativeTreeView::WantsKey(Word Key, TShiftState Shift)
{
    switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return true;
    default: return TCustomControl::WantsKey(Key, Shift);
    }
}

void TNativeTreeView::ToggleCheck(HTREEITEM Item)
{
    int Idx = StateIndex(Item);
    const int Count = FStateImages ? FStateImages->Count() : 3;
    if (Idx <= 0)
        return;
    Idx = Idx + 1 >= Count ? 1 : Idx + 1;
    Item->State = (Item->State & ~TVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(static_cast<unsigned>(Idx));
    InvalidateTree();
}

void TNativeTreeView::KeyNavigate(Word Key, TShiftState)
{
    HTREEITEM Cur = FSelected;
    HTREEITEM Target = nullptr;
    const int Page = std::max(1, VisibleCount() - 1);
    auto StepDown = [this](HTREEITEM I, int N) {
        for (; N > 0; --N) {
            HTREEITEM Next = NextVisible(I);
            if (!Next)
                break;
            I = Next;
        }
        return I;
    };
    auto StepUp = [this](HTREEITEM I, int N) {
        for (; N > 0; --N) {
            HTREEITEM Prev = PrevVisible(I);
            if (!Prev)
                break;
            I = Prev;
        }
        return I;
    };
    if (!Cur) {
        switch (Key) {
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_RIGHT:
            if (FTop)
                SelectCaret(Key == VK_END ? LastVisible() : FTop, TVC_BYKEYBOARD, false);
            break;
        default: break;
        }
        return;
    }
    switch (Key) {
    case VK_UP: Target = PrevVisible(Cur); break;
    case VK_DOWN: Target = NextVisible(Cur); break;
    case VK_HOME: Target = FFirst; break;
    case VK_END: Target = LastVisible(); break;
    case VK_PRIOR: Target = StepUp(Cur, Page); break;
    case VK_NEXT: Target = StepDown(Cur, Page); break;
    case VK_LEFT:
        if ((Cur->State & TVIS_EXPANDED) && Cur->FirstChild)
            ExpandItem(Cur, TVE_COLLAPSE, true);
        else
            Target = Cur->Parent;
        break;
    case VK_RIGHT:
        if (!(Cur->State & TVIS_EXPANDED)) {
            if (HasButton(Cur))
                ExpandItem(Cur, TVE_EXPAND, true);
        } else {
            Target = Cur->FirstChild;
        }
        break;
    case VK_ADD:
    case VK_OEM_PLUS: ExpandItem(Cur, TVE_EXPAND, true); break;
    case VK_SUBTRACT:
    case VK_OEM_MINUS: ExpandItem(Cur, TVE_COLLAPSE, true); break;
    case VK_MULTIPLY: {
        std::vector<HTREEITEM> Stack{Cur};
        while (!Stack.empty()) {
            HTREEITEM I = Stack.back();
            Stack.pop_back();
            if (!IsItem(I))
                continue;
            ExpandItem(I, TVE_EXPAND, true);
            if (!IsItem(I))
                continue;
            for (HTREEITEM C = I->LastChild; C; C = C->Prev)
                Stack.push_back(C);
        }
        break;
    }
    case VK_SPACE:
        if (FStyle & TVS_CHECKBOXES)
            ToggleCheck(Cur);
        break;
    case VK_F2:
        if (FStyle & TVS_EDITLABELS)
            EditLabel(Cur);
        break;
    case VK_RETURN: {
        NMHDR N;
        Send(N, NM_RETURN);
        break;
    }
    default: break;
    }
    if (Target && Target != Cur)
        SelectCaret(Target, TVC_BYKEYBOARD, false);
}

void TNativeTreeView::MousePress(unsigned Msg, TPoint P)
{
    TVHITTESTINFO Info;
    Info.pt = P;
    HTREEITEM Item = HitTest(Info);
    FPressItem = Item;
    FPressPos = P;
    FDragSent = false;
    if (CanFocus() && !Focused() && !(FEdit && FEdit->Focused()))
        SetFocus();
    if (Msg == WM_RBUTTONDOWN || Msg == WM_RBUTTONDBLCLK) {
        FPressButtons = 2;
        NMHDR N;
        FSwallowRButtonUp = Send(N, NM_RCLICK) != 0;
        return;
    }
    FPressButtons = 1;
    FEditOnRelease = false;
    KillTimer(EditTimerId);
    if (FEdit)
        FinishEdit(false);
    if (!Item)
        return;
    if (Info.flags & TVHT_ONITEMBUTTON) {
        ExpandItem(Item, TVE_TOGGLE, true);
        FPressItem = nullptr;
        return;
    }
    const bool OnItem = (Info.flags & TVHT_ONITEM) != 0 ||
                        ((FStyle & TVS_FULLROWSELECT) && (Info.flags & (TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT)));
    if (Msg == WM_LBUTTONDBLCLK) {
        KillTimer(EditTimerId);
        NMHDR N;
        if (OnItem && Send(N, NM_DBLCLK) == 0 && IsItem(Item))
            ExpandItem(Item, TVE_TOGGLE, true);
        return;
    }
    if (!OnItem) {
        FPressItem = nullptr;
        return;
    }
    const bool WasSelected = Item == FSelected;
    SelectCaret(Item, TVC_BYMOUSE, false);
    if (IsItem(Item) && (Info.flags & TVHT_ONITEMSTATEICON) && (FStyle & TVS_CHECKBOXES))
        ToggleCheck(Item);
    FEditOnRelease = WasSelected && IsItem(Item) && (Info.flags & TVHT_ONITEMLABEL) && (FStyle & TVS_EDITLABELS);
}

void TNativeTreeView::WndProc(TMessage& Message)
{
    auto Item = [&Message] { return reinterpret_cast<HTREEITEM>(Message.LParam); };
    switch (Message.Msg) {
    case TVM_INSERTITEM:
        Message.Result =
            Message.LParam ? reinterpret_cast<intptr_t>(InsertItem(*As<TVINSERTSTRUCT>(Message.LParam))) : 0;
        return;
    case TVM_DELETEITEM: Message.Result = DeleteItem(Item()) ? 1 : 0; return;
    case TVM_EXPAND: Message.Result = Expand(Item(), static_cast<unsigned>(Message.WParam)) ? 1 : 0; return;
    case TVM_GETITEMRECT: {
        auto* R = As<TVITEMRECT>(Message.LParam);
        Message.Result = R && GetItemRect(R->hItem, R->rc, Message.WParam != 0) ? 1 : 0;
        return;
    }
    case TVM_GETCOUNT: Message.Result = Count(); return;
    case TVM_GETINDENT: Message.Result = FIndent; return;
    case TVM_SETINDENT: SetIndent(static_cast<int>(Message.WParam)); return;
    case TVM_GETIMAGELIST:
        Message.Result = reinterpret_cast<intptr_t>(ImageList(static_cast<unsigned>(Message.WParam)));
        return;
    case TVM_SETIMAGELIST:
        Message.Result = reinterpret_cast<intptr_t>(
            SetImageList(static_cast<unsigned>(Message.WParam), As<TCustomImageList>(Message.LParam)));
        return;
    case TVM_GETNEXTITEM:
        Message.Result = reinterpret_cast<intptr_t>(GetNextItem(Item(), static_cast<unsigned>(Message.WParam)));
        return;
    case TVM_SELECTITEM: Message.Result = SelectItem(static_cast<unsigned>(Message.WParam), Item()) ? 1 : 0; return;
    case TVM_GETITEM: Message.Result = Message.LParam && GetItem(*As<TVITEM>(Message.LParam)) ? 1 : 0; return;
    case TVM_SETITEM: Message.Result = Message.LParam && SetItem(*As<TVITEM>(Message.LParam)) ? 1 : 0; return;
    case TVM_EDITLABEL: Message.Result = reinterpret_cast<intptr_t>(EditLabel(Item())); return;
    case TVM_GETEDITCONTROL: Message.Result = reinterpret_cast<intptr_t>(FEdit); return;
    case TVM_GETVISIBLECOUNT: Message.Result = VisibleCount(); return;
    case TVM_HITTEST:
        Message.Result = Message.LParam ? reinterpret_cast<intptr_t>(HitTest(*As<TVHITTESTINFO>(Message.LParam))) : 0;
        return;
    case TVM_CREATEDRAGIMAGE: Message.Result = reinterpret_cast<intptr_t>(CreateDragImage(Item())); return;
    case TVM_SORTCHILDREN:
        Message.Result =
            SortChildren(Item(), (Message.WParam & 1) != 0, (Message.WParam & TVSORT_CASESENSITIVE) != 0) ? 1 : 0;
        return;
    case TVM_ENSUREVISIBLE: Message.Result = EnsureVisible(Item()) ? 1 : 0; return;
    case TVM_SORTCHILDRENCB:
        Message.Result =
            Message.LParam && SortChildrenCB(*As<TVSORTCB>(Message.LParam), Message.WParam != 0) ? 1 : 0;
        return;
    case TVM_ENDEDITLABELNOW: Message.Result = EndEditLabelNow(Message.WParam != 0) ? 1 : 0; return;
    case TVM_SETITEMHEIGHT:
        Message.Result = ItemHeight();
        SetItemHeight(static_cast<int>(Message.WParam));
        return;
    case TVM_GETITEMHEIGHT: Message.Result = ItemHeight(); return;
    case TVM_SETBKCOLOR:
        Message.Result = static_cast<intptr_t>(FBkColor);
        FBkColor = static_cast<TColor>(Message.LParam);
        InvalidateTree();
        return;
    case TVM_SETTEXTCOLOR:
        Message.Result = static_cast<intptr_t>(FTextColor);
        FTextColor = static_cast<TColor>(Message.LParam);
        InvalidateTree();
        return;
    case TVM_GETBKCOLOR: Message.Result = static_cast<intptr_t>(FBkColor); return;
    case TVM_GETTEXTCOLOR: Message.Result = static_cast<intptr_t>(FTextColor); return;
    case TVM_SETLINECOLOR:
        Message.Result = static_cast<intptr_t>(FLineColor);
        FLineColor = static_cast<TColor>(Message.LParam);
        InvalidateTree();
        return;
    case TVM_GETLINECOLOR: Message.Result = static_cast<intptr_t>(FLineColor); return;
    case WM_SETREDRAW:
        FRedraw = Message.WParam != 0;
        if (FRedraw)
            Invalidate();
        return;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        const unsigned Code = static_cast<unsigned>(Message.WParam & 0xFFFF);
        const int Pos = static_cast<int>((Message.WParam >> 16) & 0xFFFF);
        const bool V = Message.Msg == WM_VSCROLL;
        const int Page = V ? std::max(1, VisibleCount()) : std::max(1, ClientWidth());
        const int Line = V ? 1 : 8;
        const int Cur = V ? ScrollRow() : FScrollX;
        int New = Cur;
        switch (Code) {
        case 0: New = Cur - Line; break;
        case 1: New = Cur + Line; break;
        case 2: New = Cur - Page; break;
        case 3: New = Cur + Page; break;
        case 4:
        case 5: New = Pos; break;
        case 6: New = 0; break;
        case 7: New = 1 << 30; break;
        default: break;
        }
        if (V)
            ScrollRows(std::clamp(New, 0, 1 << 29) - Cur);
        else
            SetScrollX(New);
        return;
    }
    case WM_KEYDOWN:
        TCustomControl::WndProc(Message);
        if (Message.WParam != 0)
            KeyNavigate(static_cast<Word>(Message.WParam), TShiftState::fromInt(static_cast<int>(Message.LParam)));
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: {
        const TPoint P = LParamToPoint(Message.LParam);
        if (!ClientRect().Contains(P)) {
            // The scroll bars are not the client area: no mouse message.
            if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK)
                ScrollBarPress(P);
            return;
        }
        MousePress(Message.Msg, P);
        break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (FThumbDrag && Message.Msg == WM_LBUTTONUP) {
            FThumbDrag = 0;
            return;
        }
        FPressButtons = 0;
        FPressItem = nullptr;
        if (Message.Msg == WM_RBUTTONUP && FSwallowRButtonUp) {
            FSwallowRButtonUp = false;
            return;
        }
        if (Message.Msg == WM_LBUTTONUP) {
            // A click on the label of the selected item edits it, unless a
            // double click or a drag follows.
            if (FEditOnRelease && !FDragSent && FSelected)
                SetTimer(EditTimerId, QApplication::doubleClickInterval());
            FEditOnRelease = false;
            NMHDR N;
            Send(N, NM_CLICK);
        }
        break;
    case CM_MOUSELEAVE:
        if (FHot) {
            FHot = nullptr;
            InvalidateTree();
        }
        break;
    case WM_TIMER:
        if (Message.WParam == EditTimerId) {
            KillTimer(EditTimerId);
            if (FSelected && (FStyle & TVS_EDITLABELS))
                EditLabel(FSelected);
            return;
        }
        break;
    case WM_MOUSEMOVE: {
        const TPoint P = LParamToPoint(Message.LParam);
        if (FThumbDrag) {
            const bool Vertical = FThumbDrag == 1;
            const TBarGeometry G = BarGeometry(Vertical);
            const int At = (Vertical ? P.Y - G.Less.Bottom : P.X - G.Less.Right) - FThumbGrab;
            const int Pos = G.Travel > 0 ? static_cast<int>(static_cast<int64_t>(At) * G.Range / G.Travel) : 0;
            if (Vertical)
                ScrollRows(std::clamp(Pos, 0, G.Range) - ScrollRow());
            else
                SetScrollX(Pos);
            return;
        }
        const TShiftState Shift = TShiftState::fromInt(static_cast<int>(Message.WParam));
        const bool Down = (FPressButtons == 1 && Shift.testFlag(ssLeft)) ||
                          (FPressButtons == 2 && Shift.testFlag(ssRight));
        if (Down && FPressItem && !FDragSent && !(FStyle & TVS_DISABLEDRAGDROP) &&
            (std::abs(P.X - FPressPos.X) > DragThreshold || std::abs(P.Y - FPressPos.Y) > DragThreshold)) {
            FDragSent = true;
            NotifyTree(FPressButtons == 1 ? TVN_BEGINDRAG : TVN_BEGINRDRAG, 0, nullptr, FPressItem, FPressPos);
        }
        if (FStyle & TVS_TRACKSELECT) {
            TVHITTESTINFO Info;
            Info.pt = P;
            HTREEITEM Hot = HitTest(Info);
            if (!(Info.flags & TVHT_ONITEM))
                Hot = nullptr;
            if (Hot != FHot) {
                FHot = Hot;
                InvalidateTree();
            }
        }
        break;
    }
    default: break;
    }
    TCustomControl::WndProc(Message);
}

// Mouse events reach the messages in client coordinates (inside the border).
template <class F>
void TNativeTreeView::ClientMouse(QMouseEvent* Event, F&& Base)
{
    const int B = BorderSize();
    if (B == 0) {
        Base(Event);
        return;
    }
    QMouseEvent Moved(Event->type(), Event->position() - QPointF(B, B), Event->scenePosition(),
                      Event->globalPosition(), Event->button(), Event->buttons(), Event->modifiers(),
                      Event->pointingDevice());
    Moved.setAccepted(Event->isAccepted());
    Base(&Moved);
    Event->setAccepted(Moved.isAccepted());
}

void TNativeTreeView::mousePressEvent(QMouseEvent* Event)
{
    ClientMouse(Event, [this](QMouseEvent* E) { TCustomControl::mousePressEvent(E); });
}

void TNativeTreeView::mouseReleaseEvent(QMouseEvent* Event)
{
    ClientMouse(Event, [this](QMouseEvent* E) { TCustomControl::mouseReleaseEvent(E); });
}

void TNativeTreeView::mouseDoubleClickEvent(QMouseEvent* Event)
{
    ClientMouse(Event, [this](QMouseEvent* E) { TCustomControl::mouseDoubleClickEvent(E); });
}

void TNativeTreeView::mouseMoveEvent(QMouseEvent* Event)
{
    ClientMouse(Event, [this](QMouseEvent* E) { TCustomControl::mouseMoveEvent(E); });
}

bool TNativeTreeView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    ScrollRows(-WheelDelta / 120 * 3);
    return true;
}

void TNativeTreeView::DoEnter()
{
    TCustomControl::DoEnter();
    NMHDR N;
    Send(N, NM_SETFOCUS);
    InvalidateTree();
}

void TNativeTreeView::DoExit()
{
    TCustomControl::DoExit();
    NMHDR N;
    Send(N, NM_KILLFOCUS);
    InvalidateTree();
}

void TNativeTreeView::Resize()
{
    FBarsDirty = true;
    TCustomControl::Resize();
    InvalidateTree();
}

void TNativeTreeView::FontChanged()
{
    TCustomControl::FontChanged();
    FDefaultHeight = -1;
    ForEachItem([](HTREEITEM Item) { Item->TextWidth = -1; });
    WidthsChanged();
    InvalidateTree();
}

void RegisterNativeTreeViewClasses()
{
    RegisterClasses<TNativeTreeView>();
}

namespace {
[[maybe_unused]] const bool NativeTreeViewRegistered = (RegisterNativeTreeViewClasses(), true);
}
