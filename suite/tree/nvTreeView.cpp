#include "nvTreeView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QCursor>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

#include "ExceptionBarrier.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "nvCommon.h"

namespace {

// The blank state list every tree view shares while its StateImages is nil.
TCustomImageList* GBlankImages = nullptr;
int GBlankUsers = 0;

// Draws a style element through a painter on the canvas's target, in the
// canvas's logical coordinates and clip.
template <class F>
void DrawStyled(TCanvas* C, const TRect& R, F&& Draw)
{
    if (R.IsEmpty() || !C->Target())
        return;
    QPainter P(C->Target());
    const TPoint Org = C->ViewportOrg();
    if (C->HasClipRegion())
        P.setClipRegion(C->ClipRegion());
    P.translate(R.Left + Org.X, R.Top + Org.Y);
    Draw(P, QRect(0, 0, R.Width(), R.Height()));
}

bool SameColor(TColor A, TColor B)
{
    return (ColorToRGB(A) & 0xFFFFFF) == (ColorToRGB(B) & 0xFFFFFF);
}

} // namespace

// ---------------------------------------------------------------- multi-selection settings

TnvTVMultiSelectAttributes::TnvTVMultiSelectAttributes(TnvCustomTreeView* ATreeView) : FTreeView(ATreeView) {}

TPersistent* TnvTVMultiSelectAttributes::GetOwner()
{
    return FTreeView;
}

void TnvTVMultiSelectAttributes::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    if (FTreeView && FEnabled && !Value)
        FTreeView->MultiSelectDisabled();
    FEnabled = Value;
    if (FTreeView)
        FTreeView->Invalidate();
}

void TnvTVMultiSelectAttributes::SetMultiSelectLevel(int Value)
{
    FMultiSelectLevel = Value;
    if (!FTreeView)
        return;
    FTreeView->UnselectAll(nullptr);
    if (Value >= 0)
        FTreeView->ResetCheckStates();
    FTreeView->Invalidate();
}

void TnvTVMultiSelectAttributes::SetMultiSelectCheckbox(bool Value)
{
    FMultiSelectCheckbox = Value;
    if (!FTreeView)
        return;
    if (!Value)
        FTreeView->ResetCheckStates();
    FTreeView->Invalidate();
}

void TnvTVMultiSelectAttributes::Assign(TPersistent* Source)
{
    auto* A = dynamic_cast<TnvTVMultiSelectAttributes*>(Source);
    if (!A) {
        TPersistent::Assign(Source);
        return;
    }
    SetEnabled(A->Enabled());
    SetMultiSelectCheckbox(A->MultiSelectCheckbox());
    SetMultiSelectLevel(A->MultiSelectLevel());
}

// ---------------------------------------------------------------- construction

TnvCustomTreeView::TnvCustomTreeView(TComponent* AOwner)
    : TNativeTreeView(AOwner), FCanvas(std::make_unique<TnvCanvas>()), FNodeClass(NodeClassOf<TnvTreeNode>())
{
    FCanvas->SetControl(this);
    FTreeNodes = std::make_unique<TnvTreeNodes>(this);
    FChangeTimer = std::make_unique<TTimer>();
    FChangeTimer->SetEnabled(false);
    FChangeTimer->SetInterval(0);
    FChangeTimer->OnTimer = [this](TObject* Sender) { ChangeTimerTick(Sender); };
    FMultiSelectAttributes = std::make_unique<TnvTVMultiSelectAttributes>(this);
    if (!GBlankImages)
        GBlankImages = TCustomImageList::CreateSize(16, 16);
    ++GBlankUsers;
    FImageChangeLink.OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
    FStateChangeLink.OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
    InitNativeWindow();
}

TnvCustomTreeView::~TnvCustomTreeView()
{
    // The store goes first: every node is reported with OnDeletion (while
    // the store is still reachable through Items).
    FTreeNodes->FDestroying = true;
    try {
        FTreeNodes->Clear();
    } catch (const std::exception& E) {
        if (Application)
            Application->HandleException(E);
    }
    FTreeNodes.reset();
    FChangeTimer.reset();
    FSaveItems.reset();
    QObject::disconnect(FImagesGone);
    QObject::disconnect(FStateImagesGone);
    if (FImages)
        FImages->UnRegisterChanges(&FImageChangeLink);
    if (FStateImages)
        FStateImages->UnRegisterChanges(&FStateChangeLink);
    SetImageList(TVSIL_NORMAL, nullptr);
    SetImageList(TVSIL_STATE, nullptr);
    if (--GBlankUsers == 0) {
        delete GBlankImages;
        GBlankImages = nullptr;
    }
}

TCustomImageList* TnvCustomTreeView::BlankImages()
{
    return GBlankImages;
}

unsigned TnvCustomTreeView::CreationStyle() const
{
    unsigned S = TVS_NOTOOLTIPS | TVS_CHECKBOXES;
    if (FBorderStyle == bsSingle && !Ctl3D())
        S |= WS_BORDER;
    if (FOptions & tvoShowLines)
        S |= TVS_HASLINES;
    if (FOptions & tvoShowRoot)
        S |= TVS_LINESATROOT;
    if (FOptions & tvoShowButtons)
        S |= TVS_HASBUTTONS;
    if (FOptions & tvoEditText)
        S |= TVS_EDITLABELS;
    if (FOptions & tvoHideSelection)
        S |= TVS_SHOWSELALWAYS;
    if (FDragMode == dmManual)
        S |= TVS_DISABLEDRAGDROP;
    if (FOptions & tvoHotTrack)
        S |= TVS_TRACKSELECT;
    if (FAutoExpand)
        S |= TVS_SINGLEEXPAND;
    return S;
}

void TnvCustomTreeView::InitNativeWindow()
{
    SetStyle(CreationStyle());
    SetExStyle(FBorderStyle == bsSingle && Ctl3D() ? unsigned(WS_EX_CLIENTEDGE) : 0u);
    Perform(TVM_SETBKCOLOR, 0, static_cast<intptr_t>(Color()));
    Perform(TVM_SETTEXTCOLOR, 0, static_cast<intptr_t>(Font()->Color()));
    if (FSaveItems) {
        // A recreated window: the tree, its first visible and selected node.
        std::unique_ptr<TMemoryStream> Saved = std::move(FSaveItems);
        Saved->SetPosition(0);
        FTreeNodes->ReadData(*Saved);
        const int Count = FTreeNodes->Count();
        if (FSaveTopIndex >= 0 && FSaveTopIndex < Count)
            SetTopItem(FTreeNodes->Item(FSaveTopIndex));
        if (FSaveIndex >= 0 && FSaveIndex < Count)
            SetSelected(FTreeNodes->Item(FSaveIndex));
        FSaveTopIndex = FSaveIndex = -1;
    }
    if (FSaveIndent != -1)
        SetIndent(FSaveIndent);
    ApplyImageLists();
    // The native control always shows the selection; painting decides.
    if (!(FOptions & tvoHideSelection))
        ChangeStyleBit(TVS_SHOWSELALWAYS, true);
}

void TnvCustomTreeView::ApplyImageLists()
{
    Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<intptr_t>(FImages.data()));
    TCustomImageList* State = FStateImages ? FStateImages.data() : GBlankImages;
    Perform(TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<intptr_t>(State));
}

void TnvCustomTreeView::CreateWnd()
{
    TNativeTreeView::CreateWnd();
    InitNativeWindow();
}

void TnvCustomTreeView::DestroyWnd()
{
    FDestroyingWindow = true;
    struct TDone {
        TnvCustomTreeView* TV;
        ~TDone() { TV->FDestroyingWindow = false; }
    } Done{this};
    if (FTreeNodes->Count() > 0) {
        // The tree lives in the window: it is kept until the next one.
        auto Saved = std::make_unique<TMemoryStream>();
        FTreeNodes->WriteData(*Saved);
        TnvTreeNode* Top = TopItem();
        TnvTreeNode* Sel = Selected();
        FSaveTopIndex = Top ? Top->AbsoluteIndex() : -1;
        FSaveIndex = Sel ? Sel->AbsoluteIndex() : -1;
        FSaveIndent = Indent();
        FSaveItems = std::move(Saved);
    }
    FTreeNodes->ClearCache();
    TNativeTreeView::DestroyWnd();
}

void TnvCustomTreeView::Loaded()
{
    TNativeTreeView::Loaded();
    if (IsDesigning()) {
        FullExpand();
        ReapplyStateIndexes();
    }
}

void TnvCustomTreeView::ChangeStyleBit(unsigned Bit, bool On)
{
    SetStyle(On ? Style() | Bit : Style() & ~Bit);
}

// ---------------------------------------------------------------- properties

void TnvCustomTreeView::SetAutoExpand(bool Value)
{
    if (Value == FAutoExpand)
        return;
    FAutoExpand = Value;
    ChangeStyleBit(TVS_SINGLEEXPAND, Value);
}

void TnvCustomTreeView::SetBorderStyle(TBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TnvCustomTreeView::SetChangeDelay(int Value)
{
    FChangeDelay = Value;
    FChangeTimer->SetInterval(std::max(0, Value));
}

void TnvCustomTreeView::SetDisableThemes(bool Value)
{
    if (Value == FDisableThemes)
        return;
    FDisableThemes = Value;
    Invalidate();
}

void TnvCustomTreeView::SetDragMode(TDragMode Value)
{
    if (Value == FDragMode)
        return;
    FDragMode = Value;
    ChangeStyleBit(TVS_DISABLEDRAGDROP, Value == dmManual);
}

int TnvCustomTreeView::Indent() const
{
    return static_cast<int>(const_cast<TnvCustomTreeView*>(this)->Perform(TVM_GETINDENT));
}

void TnvCustomTreeView::SetIndent(int Value)
{
    if (Value != Indent())
        Perform(TVM_SETINDENT, Value);
}

void TnvCustomTreeView::SetInactiveFocusColor(TColor Value)
{
    if (Value == FInactiveFocusColor)
        return;
    FInactiveFocusColor = Value;
    Invalidate();
}

void TnvCustomTreeView::SetItems(TnvTreeNodes* Value)
{
    FTreeNodes->Assign(Value);
}

void TnvCustomTreeView::SetLineColor(TColor Value)
{
    if (Value == FLineColor)
        return;
    FLineColor = Value;
    Invalidate();
}

void TnvCustomTreeView::SetMultiSelectAttributes(TnvTVMultiSelectAttributes* Value)
{
    FMultiSelectAttributes->Assign(Value);
}

void TnvCustomTreeView::SetOptions(TnvTreeViewOptions Value)
{
    if (Value == FOptions)
        return;
    if (HandleAllocated()) {
        const TnvTreeViewOptions Changed = Value ^ FOptions;
        auto Bit = [&](TnvTreeViewOption O, unsigned StyleBit) {
            if (Changed & O)
                ChangeStyleBit(StyleBit, (Value & O) != 0);
        };
        Bit(tvoRowSelect, TVS_FULLROWSELECT);
        Bit(tvoShowRoot, TVS_LINESATROOT);
        Bit(tvoShowLines, TVS_HASLINES);
        Bit(tvoShowButtons, TVS_HASBUTTONS);
        if (Changed & tvoHideSelection)
            ChangeStyleBit(TVS_SHOWSELALWAYS, !(Value & tvoHideSelection));
        Bit(tvoHotTrack, TVS_TRACKSELECT);
        Bit(tvoEditText, TVS_EDITLABELS);
    }
    FOptions = Value;
    Invalidate();
}

void TnvCustomTreeView::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    if (FOptions & tvoEditText)
        ChangeStyleBit(TVS_EDITLABELS, !Value);
}

void TnvCustomTreeView::SetSortType(TnvSortType Value)
{
    if (Value == FSortType)
        return;
    FSortType = Value;
    if ((Value == nvstData && OnCompare) || Value == nvstText || Value == nvstBoth)
        AlphaSort();
}

void TnvCustomTreeView::SetImages(TCustomImageList* Value)
{
    ChangeImages(Value, false);
}

void TnvCustomTreeView::ChangeImages(TCustomImageList* Value, bool OldGoing)
{
    if (FImages.data() == Value)
        return;
    // A list that is being destroyed has let go of its links already and is
    // not touched any more.
    if (FImages && !OldGoing) {
        FImages->UnRegisterChanges(&FImageChangeLink);
        FImages->RemoveFreeNotification(this);
    }
    QObject::disconnect(FImagesGone);
    FImageChangeLink.SetSender(nullptr);
    FImages = Value;
    if (Value) {
        Value->RegisterChanges(&FImageChangeLink);
        Value->FreeNotification(this);
        FImagesGone = connect(Value, &QObject::destroyed, this, [this](QObject* L) { ImageListDestroyed(L); });
    }
    ApplyImageLists();
    ReapplyStateIndexes();
}

void TnvCustomTreeView::SetStateImages(TCustomImageList* Value)
{
    ChangeStateImages(Value, false);
}

void TnvCustomTreeView::ChangeStateImages(TCustomImageList* Value, bool OldGoing)
{
    if (FStateImages.data() == Value)
        return;
    const bool HadList = FStateImages != nullptr;
    if (FStateImages && !OldGoing) {
        FStateImages->UnRegisterChanges(&FStateChangeLink);
        FStateImages->RemoveFreeNotification(this);
    }
    QObject::disconnect(FStateImagesGone);
    FStateChangeLink.SetSender(nullptr);
    FStateImages = Value;
    if (Value) {
        Value->RegisterChanges(&FStateChangeLink);
        Value->FreeNotification(this);
        FStateImagesGone =
            connect(Value, &QObject::destroyed, this, [this](QObject* L) { ImageListDestroyed(L); });
    }
    ApplyImageLists();
    ReapplyStateIndexes();
    if (!Value && HadList && !IsLoading() && !IsDestroying())
        RecreateWnd();
}

void TnvCustomTreeView::ImageListDestroyed(QObject* List)
{
    // A list destroyed without a notification (its owner destroying all its
    // components): the native control lets go of it.
    if (ImageList(TVSIL_NORMAL) && static_cast<QObject*>(ImageList(TVSIL_NORMAL)) == List) {
        FImageChangeLink.SetSender(nullptr);
        FImages = nullptr;
        Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    }
    if (ImageList(TVSIL_STATE) && static_cast<QObject*>(ImageList(TVSIL_STATE)) == List) {
        FStateChangeLink.SetSender(nullptr);
        FStateImages = nullptr;
        Perform(TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<intptr_t>(GBlankImages));
    }
}

void TnvCustomTreeView::ImageListChange(TObject* Sender)
{
    if (Sender && Sender == FImages.data())
        Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<intptr_t>(FImages.data()));
    else if (Sender && Sender == FStateImages.data())
        Perform(TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<intptr_t>(FStateImages.data()));
}

void TnvCustomTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
    TNativeTreeView::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (FImages && AComponent == static_cast<TComponent*>(FImages.data()))
        ChangeImages(nullptr, true);
    if (FStateImages && AComponent == static_cast<TComponent*>(FStateImages.data()))
        ChangeStateImages(nullptr, true);
}

void TnvCustomTreeView::ReapplyStateIndexes()
{
    for (TnvTreeNode* N = FTreeNodes->GetFirstNode(); N; N = N->GetNext())
        N->SetStateIndex(N->StateIndex());
}

void TnvCustomTreeView::ColorChanged()
{
    TNativeTreeView::ColorChanged();
    if (FTreeNodes && !IsLoading())
        RecreateWnd();
    else if (FTreeNodes)
        Perform(TVM_SETBKCOLOR, 0, static_cast<intptr_t>(Color()));
}

void TnvCustomTreeView::FontChanged()
{
    TNativeTreeView::FontChanged();
    Perform(TVM_SETTEXTCOLOR, 0, static_cast<intptr_t>(Font()->Color()));
}

void TnvCustomTreeView::DoExit()
{
    TNativeTreeView::DoExit();
    TnvTreeNode* First = FTreeNodes->GetFirstNode();
    if (First && !First->GetNextSibling())
        InvalidateNode(First);
}

void TnvCustomTreeView::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_CTL3DCHANGED:
        TNativeTreeView::WndProc(Message);
        if (FBorderStyle == bsSingle && FTreeNodes)
            RecreateWnd();
        return;
    case CM_SYSCOLORCHANGE:
        if (IsLoading())
            return;
        break;
    case WM_LBUTTONDOWN: {
        if (FTrackingButton && TrackButtonMessage(Message))
            return;
        const TPoint P = LParamToPoint(Message.LParam);
        const TnvHitTests Hit = GetHitTestInfoAt(P.X, P.Y);
        FSelectedAtPress = Selected();
        FMouseDownNode = GetNodeAt(P.X, P.Y);
        if ((Hit & nvhtOnButton) && (FOptions & tvoExpandButtons3D) && FMouseDownNode) {
            // Neither the native control nor the mouse-down processing sees it.
            TrackExpandButton(FMouseDownNode);
            return;
        }
        if (!(Hit & nvhtOnButton))
            Invalidate();
        FNativeBeginDrag = false;
        FBeginDragNode = nullptr;
        struct TClear {
            TnvCustomTreeView* TV;
            ~TClear() { TV->FBeginDragNode = nullptr; }
        } Clear{this};
        TNativeTreeView::WndProc(Message);
        return;
    }
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
        if (FTrackingButton && TrackButtonMessage(Message))
            return;
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        Invalidate();
        FRightPressPos = LParamToPoint(Message.LParam);
        break;
    default: break;
    }
    TNativeTreeView::WndProc(Message);
    // The editor exists once the native control returns from starting it.
    if (FEditNode && EditControl() && FHookedEditor != EditControl())
        HookEditor();
}

void TnvCustomTreeView::HookEditor()
{
    TEdit* Edit = EditControl();
    FHookedEditor = Edit;
    Edit->installEventFilter(this);
    if (QWidget* Inner = Edit->InnerWidget())
        Inner->installEventFilter(this);
    PlaceEditor(Edit);
}

void TnvCustomTreeView::PlaceEditor(TEdit* Edit)
{
    // The native control does not see the label of an image-less node in a
    // tree with images: the editor is moved (not sized) over the text.
    if (!FEditNode || !FImages || FEditNode->ImageIndex() != -2)
        return;
    const TRect R = FEditNode->DisplayRect(true);
    const int Left = std::max(0, R.Left) + BorderSize();
    const int Top = R.Top + BorderSize();
    if (Edit->Left() != Left || Edit->Top() != Top)
        Edit->SetBounds(Left, Top, Edit->Width(), Edit->Height());
}

bool TnvCustomTreeView::eventFilter(QObject* Watched, QEvent* Event)
{
    TEdit* Edit = EditControl();
    if (!Edit || FHookedEditor != Edit || FResendingChars || (Watched != Edit && Watched != Edit->InnerWidget()))
        return TNativeTreeView::eventFilter(Watched, Event);
    try {
        if (EditorEvent(Event))
            return true;
    } catch (const std::exception& E) {
        ShowException(E);
        return true;
    }
    return TNativeTreeView::eventFilter(Watched, Event);
}

bool TnvCustomTreeView::EditorEvent(QEvent* Event)
{
    TEdit* Edit = EditControl();
    switch (Event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        // The native control does not see the label of an image-less node:
        // the editor is moved over the text.
        PlaceEditor(Edit);
        return false;
    case QEvent::KeyPress: {
        auto* K = static_cast<QKeyEvent*>(Event);
        const TShiftState Shift = ShiftStateFromQt(K->modifiers());
        Word Key = QtKeyToVirtualKey(K->key(), K->modifiers());
        bool KeyUsed = false;
        if (Key != 0) {
            KeyDown(Key, Shift);
            KeyUsed = Key == 0;
        }
        // The characters come from the key even when the key went.
        const QByteArray Text = K->text().toLatin1();
        QByteArray Left;
        for (char Ch : Text) {
            KeyPress(Ch);
            if (Ch != 0)
                Left += Ch;
        }
        if (!KeyUsed && Left == Text)
            return false;
        if (!Left.isEmpty() && EditControl() == Edit && Edit->InnerWidget()) {
            QKeyEvent Chars(QEvent::KeyPress, Qt::Key_unknown, K->modifiers(), QString::fromLatin1(Left));
            FResendingChars = true;
            struct TDone {
                bool& Flag;
                ~TDone() { Flag = false; }
            } Done{FResendingChars};
            QApplication::sendEvent(Edit->InnerWidget(), &Chars);
        }
        return true;
    }
    case QEvent::KeyRelease: {
        auto* K = static_cast<QKeyEvent*>(Event);
        Word Key = QtKeyToVirtualKey(K->key(), K->modifiers());
        if (Key == 0)
            return false;
        KeyUp(Key, ShiftStateFromQt(K->modifiers()));
        return Key == 0;
    }
    default: return false;
    }
}

bool TnvCustomTreeView::OnButtonOfRow(TnvTreeNode* Node, TPoint P)
{
    if (!Node || !(GetHitTestInfoAt(P.X, P.Y) & nvhtOnButton))
        return false;
    const TRect Row = Node->DisplayRect(false);
    return P.Y >= Row.Top && P.Y < Row.Bottom;
}

void TnvCustomTreeView::TrackExpandButton(TnvTreeNode* Node)
{
    FPressedNode = Node;
    FButtonPressed = true;
    FTrackingButton = true;
    InvalidateNode(Node);
    SetMouseCapture(true);
}

bool TnvCustomTreeView::TrackButtonMessage(TMessage& Message)
{
    const TPoint P = LParamToPoint(Message.LParam);
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        const bool Pressed = OnButtonOfRow(FPressedNode, P);
        if (Pressed != FButtonPressed) {
            FButtonPressed = Pressed;
            InvalidateNode(FPressedNode);
        }
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return true;
    case WM_LBUTTONUP: {
        FTrackingButton = false;
        FButtonPressed = false;
        const TnvNodeWatch Node(FPressedNode);
        InvalidateNode(FPressedNode);
        if (OnButtonOfRow(FPressedNode, P)) {
            if (Node->Expanded()) {
                if (FAutoExpand)
                    SetSelected(Node);
                if (Node)
                    Node->Collapse(false);
            } else {
                Node->Expand(false);
            }
        }
        FPressedNode = nullptr;
        const QPointer<TnvCustomTreeView> Self(this);
        TNativeTreeView::WndProc(Message);
        if (Self)
            SetMouseCapture(false);
        return true;
    }
    default: return false;
    }
}

// ---------------------------------------------------------------- operations

TnvTreeNode* TnvCustomTreeView::Selected() const
{
    auto* Self = const_cast<TnvCustomTreeView*>(this);
    return FTreeNodes->GetNode(TreeView_GetNextItem(Self, nullptr, TVGN_CARET));
}

void TnvCustomTreeView::SetSelected(TnvTreeNode* Node)
{
    if (Node)
        Node->SetSelected(true);
    else
        TreeView_Select(this, nullptr, TVGN_CARET);
}

TnvTreeNode* TnvCustomTreeView::TopItem() const
{
    auto* Self = const_cast<TnvCustomTreeView*>(this);
    return FTreeNodes->GetNode(TreeView_GetNextItem(Self, nullptr, TVGN_FIRSTVISIBLE));
}

void TnvCustomTreeView::SetTopItem(TnvTreeNode* Node)
{
    if (Node && Node->ItemId())
        TreeView_Select(this, Node->ItemId(), TVGN_FIRSTVISIBLE);
}

TnvTreeNode* TnvCustomTreeView::DropTarget() const
{
    auto* Self = const_cast<TnvCustomTreeView*>(this);
    if (TnvTreeNode* N = FTreeNodes->GetNode(TreeView_GetNextItem(Self, nullptr, TVGN_DROPHILITE)))
        return N;
    return FSavedDropTarget;
}

void TnvCustomTreeView::SetDropTarget(TnvTreeNode* Node)
{
    if (Node)
        Node->SetDropTarget(true);
    else
        TreeView_Select(this, nullptr, TVGN_DROPHILITE);
}

TnvTreeNode* TnvCustomTreeView::GetNodeAt(int X, int Y)
{
    TVHITTESTINFO Info;
    Info.pt = TPoint(X, Y);
    return FTreeNodes->GetNode(TreeView_HitTest(this, &Info));
}

TnvHitTests TnvCustomTreeView::GetHitTestInfoAt(int X, int Y)
{
    TVHITTESTINFO Info;
    Info.pt = TPoint(X, Y);
    HTREEITEM Item = TreeView_HitTest(this, &Info);
    const unsigned F = Info.flags;
    TnvHitTests R;
    if (F & TVHT_ABOVE)
        R |= nvhtAbove;
    if (F & TVHT_BELOW)
        R |= nvhtBelow;
    if (F & TVHT_NOWHERE)
        R |= nvhtNowhere;
    if (F & TVHT_ONITEM)
        R |= nvhtOnItem;
    if (F & TVHT_ONITEMBUTTON)
        R |= nvhtOnButton;
    if (F & TVHT_ONITEMICON)
        R |= nvhtOnIcon;
    if (F & TVHT_ONITEMINDENT)
        R |= nvhtOnIndent;
    if (F & TVHT_ONITEMLABEL)
        R |= nvhtOnLabel;
    if (F & TVHT_ONITEMRIGHT)
        R |= nvhtOnRight;
    if (F & TVHT_ONITEMSTATEICON)
        R |= nvhtOnStateIcon;
    if (F & TVHT_TOLEFT)
        R |= nvhtToLeft;
    if (F & TVHT_TORIGHT)
        R |= nvhtToRight;
    // A node without an image shows its text where the image would be.
    if ((R & nvhtOnItem) && FImages.data()) {
        TnvTreeNode* Node = FTreeNodes->GetNode(Item);
        if (Node && Node->ImageIndex() == -2) {
            const TRect T = Node->DisplayRect(true);
            if (X >= T.Left && X < T.Right) {
                R &= ~TnvHitTests(nvhtOnIcon);
                R |= nvhtOnLabel;
            }
        }
    }
    return R;
}

bool TnvCustomTreeView::IsEditing() const
{
    auto* Edit = reinterpret_cast<TEdit*>(const_cast<TnvCustomTreeView*>(this)->Perform(TVM_GETEDITCONTROL));
    return Edit && Edit->Visible();
}

void TnvCustomTreeView::FullExpand()
{
    ExpandTopLevel(true);
}

void TnvCustomTreeView::FullCollapse()
{
    ExpandTopLevel(false);
}

void TnvCustomTreeView::ExpandTopLevel(bool Expand)
{
    // The expansion handlers may delete nodes: a top-level node that went
    // continues the walk at its remembered next sibling, if that is left.
    for (TnvTreeNode* N = FTreeNodes->GetFirstNode(); N;) {
        const TnvNodeWatch Node(N);
        const TnvNodeWatch Next(N->GetNextSibling());
        if (Expand)
            N->Expand(true);
        else
            N->Collapse(true);
        N = Node ? Node->GetNextSibling() : Next.data();
    }
}

bool TnvCustomTreeView::AlphaSort()
{
    return CustomSort(nullptr, 0);
}

bool TnvCustomTreeView::CustomSort(TnvTVCompare SortProc, intptr_t Data)
{
    if (!SortProc && !OnCompare) {
        // The texts compared case-sensitively: the native control asks for
        // each text once and sorts them itself.
        FTreeNodes->ClearCache();
        return Perform(TVM_SORTCHILDREN, 1 | TVSORT_CASESENSITIVE, reinterpret_cast<intptr_t>(TVI_ROOT)) != 0;
    }
    TVSORTCB S;
    S.hParent = TVI_ROOT;
    S.lpfnCompare = SortProc ? SortProc : TnvTreeNodes::DefaultCompare;
    S.lParam = Data;
    FTreeNodes->ClearCache();
    // The top level and the children of every node, in one native sort.
    return Perform(TVM_SORTCHILDRENCB, 1, reinterpret_cast<intptr_t>(&S)) != 0;
}

void TnvCustomTreeView::InvalidateNode(TnvTreeNode* Node)
{
    if (!Node || FTreeNodes->UpdateCount() > 0)
        return;
    const TRect R = Node->DisplayRect(false);
    if (R.IsEmpty())
        return;
    const int B = BorderSize();
    update(QRect(R.Left + B, R.Top + B, R.Width(), R.Height()));
}

bool TnvCustomTreeView::IsMultiSelectLevel(int Level) const
{
    const int L = FMultiSelectAttributes->MultiSelectLevel();
    return L == -1 || L == Level;
}

bool TnvCustomTreeView::HasMultiSelectCheckbox(const TnvTreeNode* Node) const
{
    return Node && FMultiSelectAttributes->Enabled() && FMultiSelectAttributes->MultiSelectCheckbox() &&
           IsMultiSelectLevel(Node->Level());
}

bool TnvCustomTreeView::NodeHasStateImage(const TnvTreeNode* Node) const
{
    const int S = Node->StateIndex();
    return HasMultiSelectCheckbox(Node) || (Node->CheckboxType() != nvctNone && S >= 1) ||
           (FStateImages && S >= 1 && S < FStateImages->Count() && S % 16 != 0);
}

bool TnvCustomTreeView::NodeHasCheckbox(const TnvTreeNode* Node) const
{
    return Node->CheckboxType() != nvctNone || HasMultiSelectCheckbox(Node);
}

int TnvCustomTreeView::StateSlotWidth() const
{
    return FStateImages ? FStateImages->Width() : 16;
}

TRect TnvCustomTreeView::ButtonCell(const TnvTreeNode* Node, const TRect& T) const
{
    TRect C(T.Left - FPaintIndent, T.Top, T.Left, T.Bottom);
    const bool HasImage = FImages && Node->ImageIndex() != -2;
    if (HasImage)
        OffsetRect(C, -(FImages->Width() + 2), 0);
    const int S = Node->StateIndex();
    if (NodeHasStateImage(Node) || (S > 0 && S % 16 != 0))
        OffsetRect(C, -StateSlotWidth(), 0);
    if (HasImage)
        OffsetRect(C, 1, 0);
    return C;
}

// ---------------------------------------------------------------- virtual operations

TnvTreeNode* TnvCustomTreeView::CreateNode()
{
    TnvTreeNode* Node = FNodeClass->Create(FTreeNodes.get());
    if (!OnNodeNotify)
        return Node;
    const TnvNodeWatch Watch(Node);
    try {
        NodeNotify(Node, QVariant(), nvnkCreated);
    } catch (...) {
        if (Watch)
            delete Node;
        throw;
    }
    if (!Watch)
        throw ETreeViewError("A handler deleted the new node before it was inserted");
    return Node;
}

void TnvCustomTreeView::GetImageIndex(TnvTreeNode* Node)
{
    if (OnGetImageIndex)
        OnGetImageIndex(this, Node);
}

void TnvCustomTreeView::GetSelectedIndex(TnvTreeNode* Node)
{
    if (OnGetSelectedIndex)
        OnGetSelectedIndex(this, Node);
}

void TnvCustomTreeView::SetMultiSelected(TnvTreeNode* Node, bool Value, bool Redraw)
{
    if (!Node || !IsMultiSelectLevel(Node->Level()))
        return;
    if (FMultiSelectAttributes->MultiSelectCheckbox()) {
        // OnToggleCheckbox may delete the node.
        const TnvNodeWatch Watch(Node);
        Node->SetChecked(Value);
        if (!Watch)
            return;
    }
    if (Value == Node->MultiSelected())
        return;
    if (Value)
        FSelectedList.push_back(Node);
    else
        FSelectedList.erase(std::remove(FSelectedList.begin(), FSelectedList.end(), Node), FSelectedList.end());
    Node->FMultiSelected = Value;
    if (Redraw && IsRowInClient(Node, true))
        InvalidateNode(Node);
}

void TnvCustomTreeView::UnselectAll(TnvTreeNode* Except)
{
    // Unchecking raises OnToggleCheckbox, whose handler may delete nodes of
    // the list (or the tree).
    std::vector<TnvNodeWatch> List(FSelectedList.begin(), FSelectedList.end());
    FSelectedList.clear();
    const QPointer<TnvCustomTreeView> Self(this);
    const TnvNodeWatch Kept(Except);
    for (const TnvNodeWatch& N : List) {
        if (!N || N == Except)
            continue;
        N->FMultiSelected = false;
        if (FMultiSelectAttributes->MultiSelectCheckbox())
            N->SetChecked(false);
        if (!Self)
            return;
        if (N && IsRowInClient(N, true))
            InvalidateNode(N);
    }
    if (Kept)
        FSelectedList.push_back(Kept);
}

void TnvCustomTreeView::MultiSelectDisabled()
{
    for (TnvTreeNode* N = FTreeNodes->GetFirstNode(); N; N = N->GetNext())
        if (N->StateIndex() == 1 && N->CheckboxType() == nvctNone && IsMultiSelectLevel(N->Level()))
            N->SetStateIndex(-1);
}

void TnvCustomTreeView::ResetCheckStates()
{
    const bool WithCheckbox = FMultiSelectAttributes->MultiSelectCheckbox();
    for (TnvTreeNode* N = FTreeNodes->GetFirstNode(); N; N = N->GetNext())
        if (IsMultiSelectLevel(N->Level()) != WithCheckbox) {
            // OnToggleCheckbox may delete the node: the walk ends there.
            const TnvNodeWatch Watch(N);
            N->SetChecked(false);
            if (!Watch)
                return;
            N->SetStateIndex(-1);
        }
}

bool TnvCustomTreeView::IsRowInClient(TnvTreeNode* Node, bool UseTop)
{
    if (!Node)
        return false;
    const TRect R = Node->DisplayRect(true);
    const int ClientBottom = Height() - 2 * GetSystemMetrics(SM_CYBORDER);
    return (UseTop ? R.Top : R.Bottom) < ClientBottom && R.Bottom > 0;
}

void TnvCustomTreeView::DoDrawText(TnvTreeNode* Node, const TRect& ARect, TnvItemStates AItemState,
                                   bool& DefaultDrawing)
{
    if (OnDrawText)
        OnDrawText(this, Node, ARect, AItemState, DefaultDrawing);
}

void TnvCustomTreeView::DoCompare(TnvTreeNode* Node1, TnvTreeNode* Node2, int& Compare, intptr_t Data)
{
    if (OnCompare)
        OnCompare(this, Node1, Node2, Data, Compare);
}

void TnvCustomTreeView::DoCalcNodeAttributes(TnvTreeNode* Node, TnvItemStates State)
{
    if (OnCalcNodeAttributes)
        OnCalcNodeAttributes(this, Node, State);
}

String TnvCustomTreeView::GetDisplayText(TnvTreeNode* Node)
{
    return Node ? Node->Text() : String();
}

bool TnvCustomTreeView::IsRowSelect() const
{
    return (FOptions & tvoRowSelect) != 0;
}

void TnvCustomTreeView::BeginPaintItems()
{
    // A single state image cannot be a check box's pair: the blank list
    // reserves the slot instead.
    if (FStateImages && FStateImages->Count() == 1 && !IsDesigning()) {
        FStateImages->Clear();
        Perform(TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<intptr_t>(GBlankImages));
    }
}

void TnvCustomTreeView::EndPaintItems() {}

void TnvCustomTreeView::BeforeDrawItem(TnvTreeNode*, const TRect&, TnvItemStates) {}

void TnvCustomTreeView::AfterDrawItem(TnvTreeNode*) {}

THintWindow* TnvCustomTreeView::CreateHintWindow(TnvTreeNode* Node)
{
    auto* W = new TnvTreeHintWindow(this);
    W->SetNode(Node);
    W->SetColor(clInfoBk);
    W->Canvas()->Brush()->SetColor(clInfoBk);
    W->Canvas()->Font()->Assign(Font());
    W->Canvas()->Font()->SetColor(clInfoText);
    W->Canvas()->Pen()->SetColor(clBlack);
    W->SetFont(Font());
    return W;
}

void TnvCustomTreeView::HideHint()
{
    FHintTicks = 0;
    delete FHintWindow.data();
    if (FHintTimer)
        FHintTimer->SetEnabled(false);
}

void TnvCustomTreeView::CheckHint(TnvTreeNode* Node)
{
    if (!Node || Node == FEditNode || Node == FHintNode)
        return;
    HideHint();
    FHintTimer.reset();
    const TRect R = Node->DisplayRect(true);
    QImage Scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    TCanvas Measure(&Scratch);
    Measure.Font()->Assign(Font());
    const String Text = Node->Text();
    const int W = Measure.TextWidth(Text);
    if (R.Left + W <= ClientWidth() - 4) {
        FHintNode = nullptr;
        return;
    }
    THintWindow* Hint = CreateHintWindow(Node);
    FHintWindow = Hint;
    if ((FOptions & tvoAutoURL) && !Node->StringData().empty()) {
        Hint->Font()->SetStyle(Hint->Font()->Style() | fsUnderline);
        Hint->Canvas()->Font()->SetStyle(Hint->Canvas()->Font()->Style() | fsUnderline);
    }
    const TPoint Org = ClientOrigin();
    const int Left = R.Left + Org.X - 1;
    const int Top = R.Top + Org.Y - 2;
    Hint->ActivateHint(TRect(Left, Top, Left + W + 6, Top + Measure.TextHeight(Text) + 2), Text);
    FHintNode = Node;
    FHintTimer = std::make_unique<TTimer>();
    FHintTimer->SetInterval(250);
    FHintTimer->OnTimer = [this](TObject* Sender) { HintTimerTick(Sender); };
    FHintTimer->SetEnabled(true);
}

void TnvCustomTreeView::HintTimerTick(TObject*)
{
    const QPoint P = mapFromGlobal(QCursor::pos()) - QPoint(BorderSize(), BorderSize());
    if (!ClientRect().Contains(TPoint(P.x(), P.y()))) {
        HideHint();
        FHintNode = nullptr;
        return;
    }
    if (++FHintTicks > 16)
        HideHint(); // the node stays: no new hint until another node
}

void TnvTreeHintWindow::Paint()
{
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    C->Brush()->SetColor(Color());
    C->FillRect(R);
    C->Brush()->SetColor(clBlack);
    C->FrameRect(R);
    R.Left += 2;
    R.Top += 2;
    auto* Tree = dynamic_cast<TnvCustomTreeView*>(Owner());
    C->Font()->Assign(Font());
    if (FNode && !FNode->StringData().empty() && Tree && (Tree->Options() & tvoAutoURL)) {
        C->Font()->SetColor(clBlue);
        C->Font()->SetStyle(C->Font()->Style() | fsUnderline);
    } else {
        C->Font()->SetColor(clInfoText);
    }
    C->Brush()->SetStyle(bsClear);
    DrawText(C, Caption(), R, DT_WORDBREAK | DT_NOPREFIX);
}

void TnvCustomTreeView::DoToggleCheckbox(TnvTreeNode* Node)
{
    if (OnToggleCheckbox)
        OnToggleCheckbox(this, Node);
}

// ---------------------------------------------------------------- notifications

bool TnvCustomTreeView::CanEdit(TnvTreeNode* Node)
{
    bool Allow = true;
    if (OnEditing)
        OnEditing(this, Node, Allow);
    return Allow;
}

bool TnvCustomTreeView::CanChange(TnvTreeNode* Node)
{
    bool Allow = true;
    if (OnChanging)
        OnChanging(this, Node, Allow);
    return Allow;
}

bool TnvCustomTreeView::EditingBlocks(TnvTreeNode* Node)
{
    // A node whose subtree holds the label being edited keeps its state;
    // the editing ends with the typed text.
    if (!IsEditing())
        return false;
    TnvTreeNode* Sel = Selected();
    if (Sel && Node && (Sel == Node || Sel->HasAsParent(Node))) {
        Perform(TVM_ENDEDITLABELNOW, 0);
        return true;
    }
    return false;
}

bool TnvCustomTreeView::CanCollapse(TnvTreeNode* Node)
{
    bool Allow = true;
    if (OnCollapsing)
        OnCollapsing(this, Node, Allow);
    if (Allow && EditingBlocks(Node))
        Allow = false;
    return Allow;
}

bool TnvCustomTreeView::CanExpand(TnvTreeNode* Node)
{
    bool Allow = true;
    if (OnExpanding)
        OnExpanding(this, Node, Allow);
    if (Allow && EditingBlocks(Node))
        Allow = false;
    if (FRefuseExpansion)
        Allow = false;
    return Allow;
}

void TnvCustomTreeView::Change(TnvTreeNode* Node)
{
    if (OnChange)
        OnChange(this, Node);
}

void TnvCustomTreeView::Collapse(TnvTreeNode* Node)
{
    if (OnCollapsed)
        OnCollapsed(this, Node);
}

void TnvCustomTreeView::Delete(TnvTreeNode* Node)
{
    if (OnDeletion)
        OnDeletion(this, Node);
    NodeNotify(Node, QVariant(), nvnkDeleted);
}

void TnvCustomTreeView::Edit(const TVITEM& Item)
{
    TnvTreeNode* Node = FTreeNodes->GetNode(Item.hItem);
    if (Item.mask & TVIF_TEXT) {
        String S = Item.pszText;
        const TnvNodeWatch Watch(Node);
        if (OnEdited)
            OnEdited(this, Node, S);
        if (Watch)
            Watch->SetText(S);
    }
}

void TnvCustomTreeView::Expand(TnvTreeNode* Node)
{
    if (OnExpanded)
        OnExpanded(this, Node);
}

void TnvCustomTreeView::NodeNotify(TnvTreeNode* Node, const QVariant& Value, int Kind)
{
    if (OnNodeNotify)
        OnNodeNotify(this, Node, Value, Kind);
}

void TnvCustomTreeView::NodeDestroying(TnvTreeNode* Node)
{
    if (FHotNode == Node)
        FHotNode = nullptr;
    if (Node->FMultiSelected) {
        FSelectedList.erase(std::remove(FSelectedList.begin(), FSelectedList.end(), Node), FSelectedList.end());
        Node->FMultiSelected = false;
    }
    if (FRangeAnchor == Node)
        FRangeAnchor = nullptr;
    if (FSavedDropTarget == Node)
        FSavedDropTarget = nullptr;
    if (FChangeNode == Node)
        FChangeNode = nullptr;
    if (FPressedNode == Node)
        FPressedNode = nullptr;
    if (FMouseDownNode == Node)
        FMouseDownNode = nullptr;
    if (FSelectedAtPress == Node)
        FSelectedAtPress = nullptr;
    if (FHintNode == Node) {
        HideHint();
        FHintNode = nullptr;
    }
    if (FBeginDragNode == Node)
        FBeginDragNode = nullptr;
    if (FPressedNode == nullptr && FTrackingButton) {
        FTrackingButton = false;
        FButtonPressed = false;
    }
    if (FEditNode == Node)
        FEditNode = nullptr;
}

void TnvCustomTreeView::ChangeTimerTick(TObject*)
{
    FChangeTimer->SetEnabled(false);
    Change(FChangeNode);
}

intptr_t TnvCustomTreeView::Notify(NMHDR& Header)
{
    auto NodeOfParam = [](intptr_t Param) { return reinterpret_cast<TnvTreeNode*>(Param); };
    switch (Header.code) {
    case NM_CUSTOMDRAW: return CustomDraw(reinterpret_cast<NMTVCUSTOMDRAW&>(Header));
    case TVN_SELCHANGING: {
        if (FClearing || FDestroyingWindow)
            return 0;
        auto& N = reinterpret_cast<NMTREEVIEW&>(Header);
        return CanChange(NodeOfParam(N.itemNew.lParam)) ? 0 : 1;
    }
    case TVN_SELCHANGED: {
        if (FClearing || FDestroyingWindow)
            return 0;
        auto& N = reinterpret_cast<NMTREEVIEW&>(Header);
        TnvTreeNode* Node = NodeOfParam(N.itemNew.lParam);
        if (FChangeDelay <= 0) {
            Change(Node);
        } else {
            FChangeTimer->SetEnabled(false);
            FChangeNode = Node;
            FChangeTimer->SetEnabled(true);
        }
        return 0;
    }
    case TVN_ITEMEXPANDING: {
        if (FManualNotify > 0)
            return 0;
        auto& N = reinterpret_cast<NMTREEVIEW&>(Header);
        TnvTreeNode* Node = NodeOfParam(N.itemNew.lParam);
        if (N.action == TVE_EXPAND)
            return CanExpand(Node) ? 0 : 1;
        if (N.action == TVE_COLLAPSE)
            return CanCollapse(Node) ? 0 : 1;
        return 0;
    }
    case TVN_ITEMEXPANDED: {
        if (FManualNotify > 0)
            return 0;
        auto& N = reinterpret_cast<NMTREEVIEW&>(Header);
        TnvTreeNode* Node = NodeOfParam(N.itemNew.lParam);
        if (N.action == TVE_EXPAND)
            Expand(Node);
        else if (N.action == TVE_COLLAPSE)
            Collapse(Node);
        return 0;
    }
    case TVN_GETDISPINFO: {
        auto& D = reinterpret_cast<NMTVDISPINFO&>(Header);
        TnvTreeNode* Node = NodeOfParam(D.item.lParam);
        if (!Node)
            return 0;
        if (D.item.mask & TVIF_TEXT) {
            D.item.pszText = Node->Text();
            if (D.item.cchTextMax >= 1 && static_cast<int>(D.item.pszText.size()) > D.item.cchTextMax - 1)
                D.item.pszText.resize(static_cast<size_t>(D.item.cchTextMax - 1));
        }
        if (D.item.mask & TVIF_IMAGE) {
            GetImageIndex(Node);
            D.item.iImage = Node->ImageIndex();
        }
        if (D.item.mask & TVIF_SELECTEDIMAGE) {
            GetSelectedIndex(Node);
            D.item.iSelectedImage = Node->SelectedIndex();
        }
        return 0;
    }
    case TVN_SETDISPINFO: {
        auto& D = reinterpret_cast<NMTVDISPINFO&>(Header);
        TnvTreeNode* Node = NodeOfParam(D.item.lParam);
        if (Node && (D.item.mask & TVIF_TEXT))
            Node->SetText(D.item.pszText);
        return 0;
    }
    case TVN_DELETEITEM: {
        auto& N = reinterpret_cast<NMTREEVIEW&>(Header);
        TnvTreeNode* Node = NodeOfParam(N.itemOld.lParam);
        if (!Node)
            return 0;
        Node->FItemId = nullptr;
        FChangeTimer->SetEnabled(false);
        if (FDestroyingWindow)
            delete Node; // quietly: the window goes, the tree is saved
        else
            FTreeNodes->Delete(Node);
        return 0;
    }
    case TVN_BEGINLABELEDIT: {
        auto& D = reinterpret_cast<NMTVDISPINFO&>(Header);
        TnvTreeNode* Node = NodeOfParam(D.item.lParam);
        if (!CanEdit(Node))
            return 1;
        FEditNode = Node;
        return 0;
    }
    case TVN_ENDLABELEDIT: {
        auto& D = reinterpret_cast<NMTVDISPINFO&>(Header);
        struct TDone {
            TnvCustomTreeView* TV;
            ~TDone() { TV->FEditNode = nullptr; }
        } Done{this};
        Edit(D.item);
        return 0;
    }
    case NM_DBLCLK: return (FOptions & tvoExpandOnDblClk) ? 0 : 1;
    case NM_RCLICK: {
        // The native control keeps the release of a right press: the
        // control is given one at the press position.
        const TPoint P = FRightPressPos;
        TnvTreeNode* Node = GetNodeAt(P.X, P.Y);
        if (Node) {
            if (FRightClickSelects)
                SetSelected(Node);
            else
                InvalidateNode(Node);
        }
        Invalidate();
        Perform(WM_RBUTTONUP, 0, PointToLParam(P.X, P.Y));
        return 1;
    }
    case TVN_BEGINDRAG: {
        auto& N = reinterpret_cast<NMTREEVIEW&>(Header);
        FNativeBeginDrag = true;
        FBeginDragNode = NodeOfParam(N.itemNew.lParam);
        return 0;
    }
    default: return 0;
    }
}

// ---------------------------------------------------------------- mouse and keys

void TnvCustomTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TNativeTreeView::MouseDown(Button, Shift, X, Y);
    TnvTreeNode* Node = GetNodeAt(X, Y);
    // The handlers may delete the node.
    const TnvNodeWatch Watch(Node);
    if (OnMouseDown)
        OnMouseDown(this, Node, Button, Shift, X, Y);
    if (Shift.testFlag(ssDouble) && OnDblClick)
        OnDblClick(this, Watch.data(), Button, Shift, X, Y);
    if (!Watch || !Node->ItemId())
        return;
    if (Button == mbLeft && Shift.testFlag(ssDouble))
        return;
    if (Button == mbRight && !FRightClickSelects)
        return;
    const TnvHitTests Hit = GetHitTestInfoAt(X, Y);
    if (Node == FSelectedAtPress && (Hit & nvhtOnLabel) && (FOptions & tvoEditText)) {
        HideHint();
        FHintNode = nullptr;
    }
    // The native control does not see the label of an image-less node.
    if (Node == FSelectedAtPress && (Hit & nvhtOnLabel) && (FOptions & tvoEditText) && FImages &&
        Node->ImageIndex() == -2) {
        Perform(TVM_EDITLABEL, 0, reinterpret_cast<intptr_t>(Node->ItemId()));
        if (!Watch)
            return;
    }
    // A press on a check box or radio button.
    if ((Hit & nvhtOnStateIcon) && Node == FMouseDownNode && NodeHasCheckbox(Node) && !FReadOnly) {
        ToggleNodeCheck(Node);
        return;
    }
    if (!FMultiSelectAttributes->Enabled())
        return;
    MultiSelectByMouse(Node, Shift, X, Y);
    if (Watch && !Shift.testFlag(ssShift))
        FRangeAnchor = Node;
}

void TnvCustomTreeView::MultiSelectByMouse(TnvTreeNode* Node, TShiftState Shift, int X, int Y)
{
    if (FNativeBeginDrag)
        return;
    if (IsRowSelect()) {
        // Right of the expand-button cell at the current indent.
        if (X < ButtonCell(Node, Node->DisplayRect(true)).Left + FPaintIndent)
            return;
    } else if (!(GetHitTestInfoAt(X, Y) & (nvhtOnItem | nvhtOnLabel))) {
        return;
    }
    // Unchecking raises OnToggleCheckbox, whose handler may delete nodes.
    const TnvNodeWatch Watch(Node);
    const bool AutoUnselect = FMultiSelectAttributes->AutoUnselect();
    TnvTreeNode* A = FRangeAnchor;
    const bool UsableAnchor = A && A->Parent() == Node->Parent();
    if (!Shift.testFlag(ssCtrl) && AutoUnselect) {
        if (Shift.testFlag(ssShift) && UsableAnchor)
            UnselectAll(A);
        else if (IsMultiSelectLevel(Node->Level()))
            UnselectAll(nullptr);
    }
    if (!Watch)
        return;
    A = FRangeAnchor;
    if (!Shift.testFlag(ssShift)) {
        if (AutoUnselect || Shift.testFlag(ssCtrl))
            SetMultiSelected(Node, !Node->MultiSelected(), true);
        if (Watch && !Node->Selected())
            SetSelected(Node);
        return;
    }
    if (!A || A->Parent() != Node->Parent())
        return;
    // Ranges run over the siblings between the anchor and the node; a
    // handler deleting one of them ends the walk.
    std::vector<TnvNodeWatch> Range;
    if (Node->Index() > A->Index()) {
        if (!AutoUnselect)
            Range.emplace_back(A);
        for (TnvTreeNode* N = A->GetNextSibling(); N; N = N->GetNextSibling()) {
            Range.emplace_back(N);
            if (N == Node)
                break;
        }
    } else {
        for (TnvTreeNode* N = Node; N && N != A; N = N->GetNextSibling())
            Range.emplace_back(N);
        if (!AutoUnselect)
            Range.emplace_back(A);
    }
    for (const TnvNodeWatch& N : Range)
        if (N)
            SetMultiSelected(N, true, true);
    if (Watch && !Node->Selected())
        SetSelected(Node);
}

void TnvCustomTreeView::ToggleNodeCheck(TnvTreeNode* Node)
{
    if (Node->CheckboxType() == nvctRadioGroup) {
        Node->SetGrayed(false);
        Node->SetChecked(true);
    } else if ((FOptions & tvo3StateCheckbox) && Node->Checked() && !Node->Grayed()) {
        Node->SetGrayed(true);
    } else {
        // OnToggleCheckbox may delete the node.
        const TnvNodeWatch Watch(Node);
        Node->SetChecked(!Node->Checked());
        if (Watch)
            Node->SetGrayed(false);
    }
}

void TnvCustomTreeView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TNativeTreeView::MouseUp(Button, Shift, X, Y);
    if (!OnMouseUp && !(FOptions & tvoAutoURL))
        return;
    TnvTreeNode* Node = GetNodeAt(X, Y);
    const TnvNodeWatch Watch(Node);
    if (OnMouseUp)
        OnMouseUp(this, Node, Button, Shift, X, Y);
    if (!(FOptions & tvoAutoURL) || Button != mbLeft || !Watch || Node->StringData().empty() ||
        !(GetHitTestInfoAt(X, Y) & nvhtOnItem))
        return;
    const String Address = Node->StringData();
    InitApplication();
    Screen->SetCursor(crHourGlass);
    struct TRestore {
        ~TRestore() { Screen->SetCursor(crDefault); }
    } Restore;
    ShellOpen(Address);
}

void TnvCustomTreeView::MouseMove(TShiftState Shift, int X, int Y)
{
    TNativeTreeView::MouseMove(Shift, X, Y);
    TnvTreeNode* Node = GetNodeAt(X, Y);
    if (OnMouseMove)
        OnMouseMove(this, Node, Shift, X, Y);
    if (UseThemes(this)) {
        const TnvHitTests Hit = Node ? GetHitTestInfoAt(X, Y) : TnvHitTests();
        if (Node != FHotNode || Hit != FHotHitTest) {
            if (Node && Node->CheckboxType() != nvctNone)
                InvalidateNode(Node);
            if (FHotNode)
                InvalidateNode(FHotNode);
            FHotNode = Node;
            FHotHitTest = Hit;
        }
    }
    if (FOptions & tvoAutoURL) {
        const bool Url = Node && !Node->StringData().empty() && (GetHitTestInfoAt(X, Y) & nvhtOnItem);
        SetCursor(Url ? crHandPoint : crDefault);
    }
    if (FOptions & tvoToolTips)
        CheckHint(Node);
}

void TnvCustomTreeView::KeyDown(Word& Key, TShiftState Shift)
{
    TNativeTreeView::KeyDown(Key, Shift);
    if (Key != VK_SPACE || IsEditing())
        return;
    TnvTreeNode* Node = Selected();
    if (!Node)
        return;
    if (FMultiSelectAttributes->Enabled() && !FMultiSelectAttributes->MultiSelectCheckbox() &&
        IsMultiSelectLevel(Node->Level())) {
        if (Shift.testFlag(ssCtrl))
            SetMultiSelected(Node, !Node->MultiSelected(), true);
        return;
    }
    if (!FReadOnly)
        ToggleNodeCheck(Node);
    Key = 0;
}

// ---------------------------------------------------------------- painting

intptr_t TnvCustomTreeView::CustomDraw(NMTVCUSTOMDRAW& Draw)
{
    switch (Draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: {
        FPaintIndent = Indent();
        TCanvas* DC = Draw.nmcd.hdc;
        FCanvas->SetTarget(DC ? DC->Target() : nullptr);
        FCanvas->SetViewportOrg(DC ? DC->ViewportOrg() : TPoint());
        if (DC && DC->HasClipRegion()) {
            const QRegion Clip = DC->ClipRegion();
            FCanvas->SetClipRegion(&Clip);
        }
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->SetColor(Color());
        FPainting = true;
        BeginPaintItems();
        FPaintedItems = 0;
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    }
    case CDDS_ITEMPREPAINT: {
        ++FPaintedItems;
        TnvTreeNode* Node = reinterpret_cast<TnvTreeNode*>(Draw.nmcd.lItemlParam);
        if (!Node)
            return CDRF_DODEFAULT;
        try {
            const TRect R = Node->DisplayRect(true);
            const TnvItemStates State = TnvItemStates::fromInt(static_cast<int>(Draw.nmcd.uItemState & 0x1FF));
            BeforeDrawItem(Node, R, State);
            DrawItem(Node, R, State);
            AfterDrawItem(Node);
        } catch (...) {
            FPainting = false;
            FCanvas->SetTarget(nullptr);
            throw;
        }
        return CDRF_SKIPDEFAULT;
    }
    case CDDS_POSTPAINT:
        EndPaintItems();
        FCanvas->SetTarget(nullptr);
        FPainting = false;
        return CDRF_DODEFAULT;
    default: return CDRF_DODEFAULT;
    }
}

TPoint TnvCustomTreeView::CentreOf(const TRect& R) const
{
    const int Half = R.Height() / 2;
    return TPoint(R.Left + R.Width() / 2, R.Top + Half + (Half % 2 ? 1 : 0));
}

int TnvCustomTreeView::LineColumn(const TRect& Cell) const
{
    return Cell.Left + 1 + std::min((Cell.Height() / 2) / 2 + 2, 6);
}

void TnvCustomTreeView::DrawItem(TnvTreeNode* Node, const TRect& Rect, TnvItemStates State)
{
    TnvCanvas* C = FCanvas.get();
    TRect T = Rect;
    const int H = T.Height();
    // 1. The native state image follows StateIndex.
    if (Node->ItemId()) {
        TVITEM I;
        I.mask = TVIF_STATE;
        I.hItem = Node->ItemId();
        I.stateMask = TVIS_STATEIMAGEMASK;
        if (TreeView_GetItem(this, &I) && static_cast<int>((I.state >> 12) & 0xF) != Node->NativeStateIndex())
            Node->SetStateIndex(Node->StateIndex());
    }
    const TRect Cell = ButtonCell(Node, T);
    // 2. Lines and the expand button.
    DrawLinesAndButton(Node, Cell, T, H);
    // 3. A multi-selectable node reserves its check box.
    if (HasMultiSelectCheckbox(Node) && Node->StateIndex() != 1)
        Node->SetStateIndex(1);
    // 4. Colours.
    C->Font()->Assign(Font());
    C->Brush()->SetColor(Color());
    const bool MultiSelect = FMultiSelectAttributes->Enabled();
    const bool HasFocus = Focused() || IsEditing();
    TnvTreeNode* Drop = DropTarget();
    const bool IsDrop = Node->DropTarget();
    const bool Highlighted = ((State & nvisSelected) && (!Drop || Drop == Node)) || IsDrop;
    if (Highlighted && !MultiSelect) {
        if (HasFocus) {
            C->Brush()->SetColor(clHighlight);
            C->Font()->SetColor(clHighlightText);
        } else if (FOptions & tvoHideSelection) {
            C->Brush()->SetColor(Color());
        } else {
            C->Brush()->SetColor(SameColor(FInactiveFocusColor, Color()) ? clGray : FInactiveFocusColor);
        }
    } else if (MultiSelect && Node->MultiSelected()) {
        C->Brush()->SetColor(clHighlight);
        C->Font()->SetColor(clHighlightText);
    } else {
        C->Brush()->SetColor(Color());
        C->Font()->SetColor(Font()->Color());
    }
    // 5. Hot and address text.
    if ((State & nvisHot) || ((FOptions & tvoAutoURL) && !Node->StringData().empty())) {
        if (!((State & nvisSelected) && HasFocus))
            C->Font()->SetColor(clBlue);
        C->Font()->SetStyle(TFontStyles(fsUnderline));
    }
    // 6. The program's say.
    DoCalcNodeAttributes(Node, State);
    // 7.
    C->Pen()->SetColor(Color());
    SelectCanvasHandles(C);
    const String Text = GetDisplayText(Node);
    // 8. Bold and italic text is wider than the native rectangle.
    if (C->Font()->Style() & (TFontStyles(fsBold) | fsItalic)) {
        TRect M = T;
        DrawText(C, Text, M, DT_CALCRECT | DT_NOPREFIX);
        T.Right = T.Left + M.Width() + 4;
    }
    // 9. The background rectangle.
    TRect B = T;
    const bool HasImage = FImages && Node->ImageIndex() != -2;
    const bool HasState = NodeHasStateImage(Node);
    if (IsRowSelect()) {
        B.Right = Width() - 4;
        if (HasImage)
            B.Left -= FImages->Width();
        if (HasState)
            B.Left -= StateSlotWidth();
        if (HasImage || HasState)
            B.Left -= 4;
        if (!MultiSelect)
            B.Bottom += 1;
    }
    C->Pen()->SetColor(Color());
    // 10.
    const bool EditingThis = IsEditing() && Node->Selected();
    if (!EditingThis && C->Brush()->Color() != clNone && !(MultiSelect && !Node->MultiSelected())) {
        if (State & nvisFocused) {
            C->Rectangle(B);
        } else {
            TRect F = B;
            --F.Bottom;
            C->FillRect(F);
        }
    }
    // 11.
    DrawImagesAndCheckbox(Node, Cell, State, H);
    // 12.
    TRect TextRect = T;
    InflateRect(TextRect, -1, -1);
    ++TextRect.Left;
    SetBkMode(C, TRANSPARENT);
    struct TOpaque {
        TCanvas* C;
        ~TOpaque() { SetBkMode(C, OPAQUE); }
    } Opaque{C};
    // 13.
    if (EditingThis)
        return;
    bool DefaultDrawing = true;
    DoDrawText(Node, TRect(TextRect), State, DefaultDrawing);
    if (DefaultDrawing) {
        TRect Out;
        DrawTextEmbossed(C, Text, TextRect, Out, DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if ((State & nvisFocused) && HasFocus && (!IsRowSelect() || MultiSelect))
        DrawFocusRect(C, B);
}

void TnvCustomTreeView::DrawLinesAndButton(TnvTreeNode* Node, const TRect& Cell, const TRect& Text, int H)
{
    TnvCanvas* C = FCanvas.get();
    const TPoint Centre = CentreOf(Cell);
    const int X = LineColumn(Cell);
    if (FOptions & tvoShowLines) {
        C->Pen()->SetColor(FLineColor);
        C->Pen()->SetStyle(psSolid);
        C->Pen()->SetWidth(1);
        TRect ACell = Cell;
        for (TnvTreeNode* A = Node; A; A = A->Parent(), OffsetRect(ACell, -FPaintIndent, 0)) {
            const bool Self = A == Node;
            const bool HasNext = A->GetNextSibling() != nullptr;
            if (!HasNext && !Self)
                continue;
            int Top = Text.Top;
            int Bottom = Text.Bottom;
            if (Self) {
                if (!A->GetPrevSibling() && !A->Parent())
                    Top = Centre.Y;
                if (!HasNext)
                    Bottom = Text.Bottom - (H / 2 - 1);
            }
            const int AX = LineColumn(ACell);
            DrawDottedLine(C, TPoint(AX, Top), TPoint(AX, Bottom));
        }
        if ((FOptions & tvoShowRoot) || Node->Parent()) {
            const bool Shorter = NodeHasCheckbox(Node) && (NodeHasStateImage(Node) || FMultiSelectAttributes->Enabled());
            C->Pen()->SetColor(FLineColor);
            DrawDottedLine(C, TPoint(X, Centre.Y), TPoint(Cell.Right - (Shorter ? 2 : 0), Centre.Y));
        }
    }
    if (Node->HasChildren())
        DrawExpandButton(Node, X, Centre.Y, H);
}

void TnvCustomTreeView::DrawExpandButton(TnvTreeNode* Node, int X, int Y, int H)
{
    if (!(FOptions & tvoShowButtons))
        return;
    TnvCanvas* C = FCanvas.get();
    const int S = std::max(H / 2, 8);
    const int Half = S / 2;
    const TRect Box(X - Half, Y - Half, X + Half + 1, Y + Half + 1);
    const bool Expanded = Node->Expanded();
    int Shift = 0;
    if (FOptions & tvoExpandButtons3D) {
        const bool Pressed = FButtonPressed && FPressedNode == Node;
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(Box);
        TRect Frame(Box.Left, Box.Top, Box.Right + 1, Box.Bottom + 1);
        DrawFrameControl(C, Frame, DFC_BUTTON, DFCS_BUTTONPUSH | (Pressed ? DFCS_PUSHED : 0u));
        if (SameColor(Color(), clWhite)) {
            C->Pen()->SetColor(clBtnFace);
            C->MoveTo(Box.Left - 1, Box.Bottom);
            C->LineTo(Box.Left - 1, Box.Top - 1);
            C->LineTo(Box.Right + 1, Box.Top - 1);
        }
        if (Pressed)
            Shift = 1;
    } else if (UseThemes(this)) {
        DrawStyled(C, Box, [&](QPainter& P, const QRect& R) {
            QStyleOption O;
            O.initFrom(this);
            O.rect = R;
            O.state = QStyle::State_Enabled | QStyle::State_Children;
            if (Expanded)
                O.state |= QStyle::State_Open;
            style()->drawPrimitive(QStyle::PE_IndicatorBranch, &O, &P, this);
        });
        return;
    } else {
        C->Brush()->SetColor(clWhite);
        C->FillRect(Box);
        C->Brush()->SetColor(clBtnShadow);
        C->FrameRect(Box);
    }
    // The sign.
    C->Pen()->SetColor(clBlack);
    C->Pen()->SetStyle(psSolid);
    C->Brush()->SetColor(Color());
    const int HX = X + Shift;
    const int HY = Y + Shift;
    C->MoveTo(Box.Left + Shift + Half / 2, HY);
    C->LineTo(Box.Right + Shift - Half / 2, HY);
    if (!Expanded) {
        C->MoveTo(HX, Box.Top + Shift + Half / 2);
        C->LineTo(HX, Box.Bottom + Shift - Half / 2);
    }
}

void TnvCustomTreeView::DrawImagesAndCheckbox(TnvTreeNode* Node, const TRect& Cell, TnvItemStates State, int H)
{
    TnvCanvas* C = FCanvas.get();
    const bool HasState = NodeHasStateImage(Node);
    const bool HasCheck = NodeHasCheckbox(Node);
    if (FImages && Node->ImageIndex() >= 0 && Node->ImageIndex() < FImages->Count()) {
        int Index = Node->ImageIndex();
        if ((State & nvisSelected) && Node->SelectedIndex() >= 0 && Node->SelectedIndex() < FImages->Count())
            Index = Node->SelectedIndex();
        const int X = Cell.Right + (HasState ? StateSlotWidth() : 0);
        const int Y = Cell.Top + (Cell.Height() - FImages->Height()) / 2;
        TColor Blend = clNone;
        const bool Highlit = (Node->Selected() && !DropTarget()) || Node->DropTarget();
        if (Node->Cut())
            Blend = clWhite;
        else if (Highlit && FImages->BlendColor() != clNone && !IsRowSelect())
            Blend = FImages->BlendColor();
        FImages->DrawBlended(C, X, Y, Index, dsSelected, Blend);
        if (Node->OverlayIndex() >= 0) {
            const int Overlay = FImages->OverlayImage(Node->OverlayIndex());
            if (Overlay >= 0)
                FImages->DrawBlended(C, X, Y, Overlay, dsSelected, Blend);
        }
    }
    if (HasState && !HasCheck) {
        if (FStateImages.data())
            FStateImages->Draw(C, Cell.Right, Cell.Top + (Cell.Height() - FStateImages->Height()) / 2,
                               Node->StateIndex());
        return;
    }
    if (!HasCheck)
        return;
    const int Half = std::min((H / 2) / 2 + 2, 6);
    const TPoint Centre = CentreOf(Cell);
    TRect Box(Cell.Right + 1, Centre.Y - Half, Cell.Right + 2 + 2 * Half, Centre.Y + Half + 1);
    const bool Radio = Node->CheckboxType() == nvctRadioGroup;
    const bool Hot = FHotNode == Node && (FHotHitTest & nvhtOnStateIcon);
    if (UseThemes(this)) {
        DrawStyled(C, Box, [&](QPainter& P, const QRect& R) {
            QStyleOptionButton O;
            O.initFrom(this);
            O.rect = R;
            O.state = Node->Checked() ? QStyle::State_On : QStyle::State_Off;
            const bool Disabled = Radio ? !Enabled() : Node->Grayed();
            if (!Disabled)
                O.state |= QStyle::State_Enabled;
            else
                O.state &= ~QStyle::State_Enabled;
            if (!Disabled && Hot)
                O.state |= QStyle::State_MouseOver;
            style()->drawPrimitive(Radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &O, &P,
                                   this);
        });
        return;
    }
    unsigned Flags = Radio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (FOptions & tvoFlatCheckBoxes)
        Flags |= DFCS_FLAT;
    if (Node->Grayed())
        Flags |= DFCS_INACTIVE;
    if (Node->Checked())
        Flags |= DFCS_CHECKED;
    DrawFrameControl(C, Box, DFC_BUTTON, Flags);
}

// ---------------------------------------------------------------- registration

void RegisterNvTreeViewClasses()
{
    RegisterClasses<TnvTreeView>();
}

namespace {
[[maybe_unused]] const bool NvTreeViewRegistered = (RegisterNvTreeViewClasses(), true);
}
