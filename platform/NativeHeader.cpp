#include "NativeHeader.h"

#include <QCursor>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>

#include <algorithm>
#include <cstdlib>

#include "Canvas.h"
#include "SysUtils.h"

namespace {

template <class T>
T* As(intptr_t LParam)
{
    return reinterpret_cast<T*>(LParam);
}

// Space between an item's edges and its text or image.
constexpr int ContentMargin = 6;

} // namespace

// ---------------------------------------------------------------- construction

TNativeHeader::TNativeHeader(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle |= csOpaque;
    SetParentColor(false);
    SetColor(clBtnFace);
    setMouseTracking(true);
    SetBounds(0, 0, 200, 17);
}

TNativeHeader::~TNativeHeader()
{
    QObject::disconnect(FImagesGone);
}

void TNativeHeader::SetStyle(unsigned Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    if (!(FStyle & HDS_HOTTRACK))
        FHot = -1;
    Invalidate();
}

void TNativeHeader::SetThemed(bool Value)
{
    if (Value == FThemed)
        return;
    FThemed = Value;
    Invalidate();
}

// ---------------------------------------------------------------- notifications

intptr_t TNativeHeader::Notify(NMHDR&)
{
    return 0;
}

intptr_t TNativeHeader::Send(NMHDR& Header, int Code)
{
    Header.hwndFrom = nullptr;
    Header.idFrom = 0;
    Header.code = Code;
    return Notify(Header);
}

intptr_t TNativeHeader::SendHeader(int Code, int Item, int Button, HDITEM* Pitem)
{
    NMHEADER N;
    N.iItem = Item;
    N.iButton = Button;
    N.pitem = Pitem;
    return Send(N.hdr, Code);
}

// ---------------------------------------------------------------- items

void TNativeHeader::StoreFields(TItem& To, const HDITEM& From)
{
    if (From.mask & HDI_WIDTH)
        To.Width = std::max(0, From.cxy);
    if (From.mask & HDI_TEXT)
        To.Text = From.pszText;
    if (From.mask & HDI_FORMAT)
        To.Format = From.fmt;
    if (From.mask & HDI_LPARAM)
        To.Param = From.lParam;
    if (From.mask & HDI_IMAGE)
        To.Image = From.iImage;
}

int TNativeHeader::InsertItem(int Index, const HDITEM& Item)
{
    Index = std::clamp(Index, 0, ItemCount());
    TItem New;
    StoreFields(New, Item);
    FItems.insert(FItems.begin() + Index, New);
    for (int& I : FOrder)
        if (I >= Index)
            ++I;
    const int Order = (Item.mask & HDI_ORDER) ? std::clamp(Item.iOrder, 0, static_cast<int>(FOrder.size()))
                                              : std::min(Index, static_cast<int>(FOrder.size()));
    FOrder.insert(FOrder.begin() + Order, Index);
    // Indexes of the mouse state move with the items.
    for (int* State : {&FHot, &FPressed, &FPressItem, &FTrackItem, &FDragItem})
        if (*State >= Index)
            ++*State;
    Invalidate();
    return Index;
}

bool TNativeHeader::DeleteItem(int Index)
{
    if (!ValidIndex(Index))
        return false;
    if (FTrackItem == Index || FDragItem == Index || FPressItem == Index)
        EndCapture();
    FItems.erase(FItems.begin() + Index);
    FOrder.erase(std::find(FOrder.begin(), FOrder.end(), Index));
    for (int& I : FOrder)
        if (I > Index)
            --I;
    for (int* State : {&FHot, &FPressed, &FPressItem, &FTrackItem, &FDragItem}) {
        if (*State == Index)
            *State = -1;
        else if (*State > Index)
            --*State;
    }
    Invalidate();
    return true;
}

bool TNativeHeader::GetItem(int Index, HDITEM& Item) const
{
    if (!ValidIndex(Index))
        return false;
    const TItem& I = FItems[Index];
    if (Item.mask & HDI_WIDTH)
        Item.cxy = I.Width;
    if (Item.mask & HDI_TEXT)
        Item.pszText = I.Text;
    if (Item.mask & HDI_FORMAT)
        Item.fmt = I.Format;
    if (Item.mask & HDI_LPARAM)
        Item.lParam = I.Param;
    if (Item.mask & HDI_IMAGE)
        Item.iImage = I.Image;
    if (Item.mask & HDI_ORDER)
        Item.iOrder = IndexToOrder(Index);
    return true;
}

bool TNativeHeader::SetItem(int Index, const HDITEM& Item)
{
    return ChangeItem(Index, Item, true);
}

bool TNativeHeader::ChangeItem(int Index, const HDITEM& Item, bool NotifyChange)
{
    if (!ValidIndex(Index))
        return false;
    HDITEM Change = Item;
    if (NotifyChange && SendHeader(HDN_ITEMCHANGING, Index, 0, &Change) != 0)
        return false;
    if (!ValidIndex(Index))
        return false;
    TItem& I = FItems[Index];
    StoreFields(I, Item);
    if (Item.mask & HDI_ORDER)
        MoveOrder(Index, Item.iOrder);
    Invalidate();
    if (NotifyChange) {
        Change = Item;
        if (Change.mask & HDI_WIDTH)
            Change.cxy = I.Width;
        SendHeader(HDN_ITEMCHANGED, Index, 0, &Change);
    }
    return true;
}

void TNativeHeader::MoveOrder(int Index, int Order)
{
    auto It = std::find(FOrder.begin(), FOrder.end(), Index);
    if (It == FOrder.end())
        return;
    FOrder.erase(It);
    Order = std::clamp(Order, 0, static_cast<int>(FOrder.size()));
    FOrder.insert(FOrder.begin() + Order, Index);
}

int TNativeHeader::OrderToIndex(int Order) const
{
    return Order >= 0 && Order < static_cast<int>(FOrder.size()) ? FOrder[Order] : -1;
}

int TNativeHeader::IndexToOrder(int Index) const
{
    auto It = std::find(FOrder.begin(), FOrder.end(), Index);
    return It == FOrder.end() ? -1 : static_cast<int>(It - FOrder.begin());
}

bool TNativeHeader::GetOrderArray(int Count, int* Order) const
{
    if (Count != ItemCount() || (!Order && Count > 0))
        return false;
    std::copy(FOrder.begin(), FOrder.end(), Order);
    return true;
}

bool TNativeHeader::SetOrderArray(int Count, const int* Order)
{
    if (Count != ItemCount() || (!Order && Count > 0))
        return false;
    std::vector<int> New(Order, Order + std::max(Count, 0));
    std::vector<int> Sorted = New;
    std::sort(Sorted.begin(), Sorted.end());
    for (int I = 0; I < Count; ++I)
        if (Sorted[I] != I)
            return false; // not a permutation of the indexes
    FOrder = std::move(New);
    Invalidate();
    return true;
}

TCustomImageList* TNativeHeader::SetImageList(TCustomImageList* List)
{
    TCustomImageList* Old = FImages;
    QObject::disconnect(FImagesGone);
    FImages = List;
    if (List)
        FImagesGone = connect(List, &QObject::destroyed, this, [this] {
            FImages = nullptr;
            Invalidate();
        });
    Invalidate();
    return Old;
}

// ---------------------------------------------------------------- geometry

int TNativeHeader::ItemLeft(int Index) const
{
    int X = 0;
    for (int I : FOrder) {
        if (I == Index)
            return X;
        X += FItems[I].Width;
    }
    return X;
}

bool TNativeHeader::GetItemRect(int Index, TRect& Rect) const
{
    if (!ValidIndex(Index))
        return false;
    const int L = ItemLeft(Index);
    Rect = TRect(L, 0, L + FItems[Index].Width, Height());
    return true;
}

bool TNativeHeader::Layout(HDLAYOUT& L)
{
    if (!L.prc || !L.pwpos)
        return false;
    int H = 0;
    if (!(FStyle & HDS_HIDDEN)) {
        TCanvas* C = Canvas();
        C->Font()->Assign(Font());
        H = C->TextHeight("Wg") + 6;
    }
    L.pwpos->x = L.prc->Left;
    L.pwpos->y = L.prc->Top;
    L.pwpos->cx = L.prc->Width();
    L.pwpos->cy = H;
    L.pwpos->flags = 0;
    L.prc->Top += H;
    return true;
}

int TNativeHeader::ItemAtX(int X) const
{
    int Left = 0;
    for (int I : FOrder) {
        const int W = FItems[I].Width;
        if (X >= Left && X < Left + W)
            return I;
        Left += W;
    }
    return -1;
}

int TNativeHeader::HitTest(HDHITTESTINFO& Info) const
{
    Info.iItem = -1;
    Info.flags = 0;
    const TPoint P = Info.pt;
    if (P.Y < 0)
        Info.flags |= HHT_ABOVE;
    if (P.Y >= Height())
        Info.flags |= HHT_BELOW;
    if (P.X < 0)
        Info.flags |= HHT_TOLEFT;
    int Total = 0;
    for (int I : FOrder)
        Total += FItems[I].Width;
    if (P.X >= Width())
        Info.flags |= HHT_TORIGHT;
    if (Info.flags)
        return -1;
    // Dividers first: the last shown item whose grip band holds the point.
    int Left = 0;
    int Divider = -1;
    bool Open = false;
    for (int I : FOrder) {
        const int Right = Left + FItems[I].Width;
        if (P.X >= Right - DividerGrip && P.X < Right + DividerGrip) {
            Divider = I;
            Open = P.X >= Right && FItems[I].Width == 0;
        }
        Left = Right;
    }
    if (Divider >= 0) {
        Info.iItem = Divider;
        Info.flags = Open ? HHT_ONDIVOPEN : HHT_ONDIVIDER;
        return Divider;
    }
    const int Item = ItemAtX(P.X);
    if (Item >= 0) {
        Info.iItem = Item;
        Info.flags = HHT_ONHEADER;
        return Item;
    }
    Info.flags = P.X >= Total ? HHT_NOWHERE | HHT_TORIGHT : HHT_NOWHERE;
    return -1;
}

// The order an item dropped at X takes: that of the item under X, 0 left of
// all items, the last one right of them.
int TNativeHeader::DropOrder(int X) const
{
    if (FOrder.empty())
        return -1;
    if (X < 0)
        return 0;
    const int Item = ItemAtX(X);
    return Item >= 0 ? IndexToOrder(Item) : static_cast<int>(FOrder.size()) - 1;
}

// ---------------------------------------------------------------- mouse

void TNativeHeader::SetHot(int Item)
{
    if (!(FStyle & HDS_HOTTRACK))
        Item = -1;
    if (Item == FHot)
        return;
    FHot = Item;
    Invalidate();
}

void TNativeHeader::EndCapture()
{
    const bool Was = FFollowing;
    FFollowing = false;
    FPressed = -1;
    FPressItem = -1;
    FTrackItem = -1;
    FDragItem = -1;
    Invalidate();
    if (Was)
        SendHeader(NM_RELEASEDCAPTURE, -1, 0, nullptr);
}

void TNativeHeader::MousePress(TPoint P, bool Double)
{
    HDHITTESTINFO Info;
    Info.pt = P;
    const int Item = HitTest(Info);
    if (Item < 0)
        return;
    if (Info.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
        if (Double) {
            SendHeader(HDN_DIVIDERDBLCLICK, Item, 0, nullptr);
            return;
        }
        HDITEM Track;
        Track.mask = HDI_WIDTH;
        Track.cxy = FItems[Item].Width;
        if (SendHeader(HDN_BEGINTRACK, Item, 0, &Track) != 0 || !ValidIndex(Item))
            return;
        FFollowing = true;
        FTrackItem = Item;
        FTrackStartX = P.X;
        FTrackStartWidth = FItems[Item].Width;
        FTrackWidth = std::max(0, Track.cxy);
        Invalidate();
        return;
    }
    if (Double)
        SendHeader(HDN_ITEMDBLCLICK, Item, 0, nullptr);
    if (!ValidIndex(Item))
        return;
    FFollowing = true;
    FPressItem = Item;
    FPressPos = P;
    if (FStyle & HDS_BUTTONS)
        FPressed = Item;
    Invalidate();
}

void TNativeHeader::MouseMoved(TPoint P, TShiftState Shift)
{
    if (FTrackItem >= 0) {
        HDITEM Track;
        Track.mask = HDI_WIDTH;
        Track.cxy = std::max(0, FTrackStartWidth + P.X - FTrackStartX);
        const int Item = FTrackItem;
        if (SendHeader(HDN_TRACK, Item, 0, &Track) != 0) {
            EndCapture();
            return;
        }
        if (FTrackItem != Item)
            return;
        FTrackWidth = std::max(0, Track.cxy);
        if (FStyle & HDS_FULLDRAG) {
            HDITEM Set;
            Set.mask = HDI_WIDTH;
            Set.cxy = FTrackWidth;
            ChangeItem(Item, Set, true);
        }
        Invalidate();
        return;
    }
    if (FDragItem >= 0) {
        FDragX = P.X;
        Invalidate();
        return;
    }
    if (FPressItem >= 0 && Shift.testFlag(ssLeft)) {
        if ((FStyle & HDS_DRAGDROP) &&
            (std::abs(P.X - FPressPos.X) > DragThreshold || std::abs(P.Y - FPressPos.Y) > DragThreshold)) {
            const int Item = FPressItem;
            if (SendHeader(HDN_BEGINDRAG, Item, 0, nullptr) == 0 && FPressItem == Item) {
                FDragItem = Item;
                FDragGrab = FPressPos.X - ItemLeft(Item);
                FDragX = P.X;
                FPressed = -1;
                FPressItem = -1;
                Invalidate();
                return;
            }
        }
        // The pressed look lasts while the mouse stays on the item.
        const int Over = (FStyle & HDS_BUTTONS) && ClientRect().Contains(P) && ItemAtX(P.X) == FPressItem
                             ? FPressItem
                             : -1;
        if (Over != FPressed) {
            FPressed = Over;
            Invalidate();
        }
        return;
    }
    if (FFollowing)
        return;
    HDHITTESTINFO Info;
    Info.pt = P;
    HitTest(Info);
    if (Info.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))
        QWidget::setCursor(QCursor(Qt::SplitHCursor));
    else if (Cursor() == crDefault)
        unsetCursor();
    else
        QWidget::setCursor(QCursor(CursorToQt(Cursor())));
    SetHot(Info.flags & HHT_ONHEADER ? Info.iItem : -1);
}

void TNativeHeader::MouseRelease(TPoint P)
{
    if (!FFollowing)
        return;
    if (FTrackItem >= 0) {
        const int Item = FTrackItem;
        HDITEM Track;
        Track.mask = HDI_WIDTH;
        Track.cxy = FTrackWidth;
        FTrackItem = -1;
        SendHeader(HDN_ENDTRACK, Item, 0, &Track);
        if (ValidIndex(Item) && !(FStyle & HDS_FULLDRAG) && std::max(0, Track.cxy) != FItems[Item].Width) {
            HDITEM Set;
            Set.mask = HDI_WIDTH;
            Set.cxy = std::max(0, Track.cxy);
            ChangeItem(Item, Set, true);
        }
    } else if (FDragItem >= 0) {
        const int Item = FDragItem;
        HDITEM Drop;
        Drop.mask = HDI_ORDER;
        Drop.iOrder = DropOrder(P.X);
        FDragItem = -1;
        if (SendHeader(HDN_ENDDRAG, Item, 0, &Drop) == 0 && ValidIndex(Item) && Drop.iOrder >= 0)
            MoveOrder(Item, Drop.iOrder);
    } else if (FPressItem >= 0) {
        const int Item = FPressItem;
        const bool On = ClientRect().Contains(P) && ItemAtX(P.X) == Item;
        FPressed = -1;
        FPressItem = -1;
        if (On)
            SendHeader(HDN_ITEMCLICK, Item, 0, nullptr);
    }
    EndCapture();
}

void TNativeHeader::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case HDM_GETITEMCOUNT: Message.Result = ItemCount(); return;
    case HDM_INSERTITEM:
        Message.Result = Message.LParam ? InsertItem(static_cast<int>(Message.WParam), *As<HDITEM>(Message.LParam)) : -1;
        return;
    case HDM_DELETEITEM: Message.Result = DeleteItem(static_cast<int>(Message.WParam)) ? 1 : 0; return;
    case HDM_GETITEM:
        Message.Result = Message.LParam && GetItem(static_cast<int>(Message.WParam), *As<HDITEM>(Message.LParam)) ? 1 : 0;
        return;
    case HDM_SETITEM:
        Message.Result = Message.LParam && SetItem(static_cast<int>(Message.WParam), *As<HDITEM>(Message.LParam)) ? 1 : 0;
        return;
    case HDM_LAYOUT: Message.Result = Message.LParam && Layout(*As<HDLAYOUT>(Message.LParam)) ? 1 : 0; return;
    case HDM_HITTEST: Message.Result = Message.LParam ? HitTest(*As<HDHITTESTINFO>(Message.LParam)) : -1; return;
    case HDM_GETITEMRECT:
        Message.Result =
            Message.LParam && GetItemRect(static_cast<int>(Message.WParam), *As<TRect>(Message.LParam)) ? 1 : 0;
        return;
    case HDM_SETIMAGELIST:
        Message.Result = reinterpret_cast<intptr_t>(SetImageList(As<TCustomImageList>(Message.LParam)));
        return;
    case HDM_GETIMAGELIST: Message.Result = reinterpret_cast<intptr_t>(FImages); return;
    case HDM_ORDERTOINDEX: Message.Result = OrderToIndex(static_cast<int>(Message.WParam)); return;
    case HDM_GETORDERARRAY:
        Message.Result = GetOrderArray(static_cast<int>(Message.WParam), As<int>(Message.LParam)) ? 1 : 0;
        return;
    case HDM_SETORDERARRAY:
        Message.Result = SetOrderArray(static_cast<int>(Message.WParam), As<const int>(Message.LParam)) ? 1 : 0;
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const TPoint P = LParamToPoint(Message.LParam);
        FMessagePos = ClientToScreen(P);
        MousePress(P, Message.Msg == WM_LBUTTONDBLCLK);
        break;
    }
    case WM_MOUSEMOVE: {
        const TPoint P = LParamToPoint(Message.LParam);
        FMessagePos = ClientToScreen(P);
        MouseMoved(P, TShiftState::fromInt(static_cast<int>(Message.WParam)));
        break;
    }
    case WM_LBUTTONUP: {
        const TPoint P = LParamToPoint(Message.LParam);
        FMessagePos = ClientToScreen(P);
        MouseRelease(P);
        break;
    }
    case WM_RBUTTONUP: {
        HDHITTESTINFO Info;
        Info.pt = LParamToPoint(Message.LParam);
        FMessagePos = ClientToScreen(Info.pt);
        SendHeader(NM_RCLICK, HitTest(Info), 1, nullptr);
        break;
    }
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        if (FFollowing)
            EndCapture();
        break;
    case CM_MOUSELEAVE: SetHot(-1); break;
    default: break;
    }
    TCustomControl::WndProc(Message);
}

void TNativeHeader::DestroyWnd()
{
    FFollowing = false;
    FItems.clear();
    FOrder.clear();
    FHot = FPressed = FPressItem = FTrackItem = FDragItem = -1;
    TCustomControl::DestroyWnd();
}

void TNativeHeader::FontChanged()
{
    TCustomControl::FontChanged();
    Invalidate();
}

// ---------------------------------------------------------------- painting

void TNativeHeader::DrawFace(TCanvas* C, const TRect& R, bool Pressed, bool Hot)
{
    if (R.IsEmpty())
        return;
    if (FThemed) {
        if (!C->Target())
            return;
        QPainter P(C->Target());
        QStyleOptionHeader O;
        O.initFrom(this);
        O.rect = QRect(R.Left, R.Top, R.Width(), R.Height());
        O.state = QStyle::State_Enabled | QStyle::State_Horizontal |
                  (Pressed ? QStyle::State_Sunken : QStyle::State_Raised);
        if (Hot)
            O.state |= QStyle::State_MouseOver;
        style()->drawControl(QStyle::CE_HeaderSection, &O, &P, this);
        return;
    }
    TRect E = R;
    if (Pressed) {
        C->Brush()->SetColor(clBtnShadow);
        C->FrameRect(E);
    } else if (FStyle & HDS_BUTTONS) {
        DrawEdge(C, E, EDGE_RAISED, BF_RECT | BF_SOFT);
    } else {
        DrawEdge(C, E, BDR_RAISEDINNER, BF_RECT);
    }
}

void TNativeHeader::DrawItemContent(TCanvas* C, int Index, const TRect& Rect, bool Pressed, bool Hot)
{
    const TItem& I = FItems[Index];
    const int S = Pressed ? 1 : 0;
    TRect Inner(Rect.Left + ContentMargin + S, Rect.Top + S, Rect.Right - ContentMargin + S, Rect.Bottom + S);
    const bool HasImage = FImages && (I.Format & HDF_IMAGE) && I.Image >= 0 && I.Image < FImages->Count();
    if (HasImage && Inner.Width() > 0) {
        const int Y = Rect.Top + S + (Rect.Height() - FImages->Height()) / 2;
        if (I.Format & HDF_BITMAP_ON_RIGHT) {
            FImages->Draw(C, Inner.Right - FImages->Width(), Y, I.Image, Enabled());
            Inner.Right -= FImages->Width() + ContentMargin / 2;
        } else {
            FImages->Draw(C, Inner.Left, Y, I.Image, Enabled());
            Inner.Left += FImages->Width() + ContentMargin / 2;
        }
    }
    if (I.Text.empty() || Inner.Width() <= 0)
        return;
    C->Font()->Assign(Font());
    C->Font()->SetColor(!Enabled() ? clGrayText : Hot ? clHotLight : Font()->Color());
    C->Brush()->SetStyle(bsClear);
    unsigned Flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    switch (I.Format & HDF_JUSTIFYMASK) {
    case HDF_RIGHT: Flags |= DT_RIGHT; break;
    case HDF_CENTER: Flags |= DT_CENTER; break;
    default: break;
    }
    DrawText(C, I.Text, Inner, Flags);
    C->Brush()->SetStyle(bsSolid);
}

void TNativeHeader::Paint()
{
    TCanvas* C = Canvas();
    const int H = Height();
    C->Brush()->SetColor(clBtnFace);
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(TRect(0, 0, Width(), H));
    int Left = 0;
    for (int Index : FOrder) {
        const TItem& I = FItems[Index];
        const TRect R(Left, 0, Left + I.Width, H);
        Left = R.Right;
        if (R.IsEmpty() || R.Left >= Width())
            continue;
        const bool Pressed = FPressed == Index;
        const bool Hot = FHot == Index && (FStyle & HDS_HOTTRACK);
        if (FThemed)
            DrawFace(C, R, Pressed, Hot);
        bool Drawn = false;
        if (I.Format & HDF_OWNERDRAW) {
            DRAWITEMSTRUCT D;
            D.itemID = static_cast<unsigned>(Index);
            D.itemState = (Pressed ? ODS_SELECTED : 0u) | (Hot ? ODS_HOTLIGHT : 0u) | (Enabled() ? 0u : ODS_DISABLED);
            D.hwndItem = this;
            D.hDC = C;
            D.rcItem = R;
            D.itemData = I.Param;
            const QRegion Saved = C->ClipRegion();
            const bool HadClip = C->HasClipRegion();
            C->IntersectClipRect(R);
            Drawn = Perform(WM_DRAWITEM, 0, reinterpret_cast<intptr_t>(&D)) != 0;
            C->SetClipRegion(HadClip ? &Saved : nullptr);
            if (!ValidIndex(Index))
                break;
        }
        if (!Drawn && !(I.Format & HDF_OWNERDRAW)) {
            const QRegion Saved = C->ClipRegion();
            const bool HadClip = C->HasClipRegion();
            C->IntersectClipRect(R);
            DrawItemContent(C, Index, R, Pressed, Hot);
            C->SetClipRegion(HadClip ? &Saved : nullptr);
        }
        if (!FThemed)
            DrawFace(C, R, Pressed, Hot);
    }
    // The space after the last item is an empty face.
    if (Left < Width())
        DrawFace(C, TRect(Left, 0, Width() + 2, H), false, false);
    // A divider tracked without full drag: a line where it would go.
    if (FTrackItem >= 0 && !(FStyle & HDS_FULLDRAG)) {
        const int X = ItemLeft(FTrackItem) + FTrackWidth;
        C->Brush()->SetColor(clWindowFrame);
        C->FillRect(TRect(X - 1, 0, X + 1, H));
    }
    // A dragged item: its face follows the mouse, a mark shows the drop place.
    if (FDragItem >= 0) {
        const int Order = DropOrder(FDragX);
        const int Target = OrderToIndex(Order);
        if (Target >= 0) {
            const int From = IndexToOrder(FDragItem);
            const int X = Order > From ? ItemLeft(Target) + FItems[Target].Width : ItemLeft(Target);
            C->Brush()->SetColor(clHighlight);
            C->FillRect(TRect(X - 1, 0, X + 1, H));
        }
        const TRect R(FDragX - FDragGrab, 0, FDragX - FDragGrab + FItems[FDragItem].Width, H);
        C->Brush()->SetColor(clBtnShadow);
        C->FillRect(R);
        DrawItemContent(C, FDragItem, R, false, false);
        C->Brush()->SetColor(clWindowFrame);
        C->FrameRect(R);
    }
}

void RegisterNativeHeaderClasses()
{
    RegisterClasses<TNativeHeader>();
}

namespace {
[[maybe_unused]] const bool NativeHeaderRegistered = (RegisterNativeHeaderClasses(), true);
} // namespace
