#include "nvTreeHeader.h"

#include <QCursor>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>

#include <algorithm>

#include "Canvas.h"
#include "StringList.h"
#include "SysUtils.h"
#include "nvCommon.h"

// ---------------------------------------------------------------- TnvTreeHeaderSection

TnvTreeHeaderSection::TnvTreeHeaderSection(TCollection* ACollection) : TCollectionItem(ACollection)
{
    if (auto* S = dynamic_cast<TnvTreeHeaderSections*>(Collection()))
        S->SectionBuilt(this);
}

TnvTreeHeaderSection::~TnvTreeHeaderSection() = default;

void TnvTreeHeaderSection::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Changed(false);
}

void TnvTreeHeaderSection::SetStyle(THeaderSectionStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Changed(false);
}

void TnvTreeHeaderSection::SetText(const String& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    Changed(false);
}

void TnvTreeHeaderSection::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed(false);
}

void TnvTreeHeaderSection::SetImageAlignment(TAlignment Value)
{
    if (FImageAlignment == Value)
        return;
    FImageAlignment = Value;
    Changed(false);
}

void TnvTreeHeaderSection::SetWidth(int Value)
{
    Value = std::clamp(Value, FMinWidth, FMaxWidth);
    if (FWidth == Value)
        return;
    FWidth = Value;
    // The sections after this one move: all of them are sent again.
    const bool Last = Collection() && Index() == Collection()->Count() - 1;
    Changed(!Last);
}

void TnvTreeHeaderSection::SetMinWidth(int Value)
{
    Value = std::min(std::max(Value, 0), FMaxWidth);
    if (FMinWidth == Value)
        return;
    FMinWidth = Value;
    SetWidth(FWidth);
}

void TnvTreeHeaderSection::SetMaxWidth(int Value)
{
    Value = std::max(std::min(Value, MaxSectionWidth), FMinWidth);
    if (FMaxWidth == Value)
        return;
    FMaxWidth = Value;
    SetWidth(FWidth);
}

int TnvTreeHeaderSection::Left() const
{
    int X = 0;
    if (TCollection* C = Collection())
        for (int I = 0, N = Index(); I < N; ++I)
            X += static_cast<TnvTreeHeaderSection*>(C->Items(I))->FWidth;
    return X;
}

void TnvTreeHeaderSection::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TnvTreeHeaderSection*>(Source)) {
        // The source's limits and width agree with each other: they are
        // taken together, not clamped one by one against this section's.
        FText = S->FText;
        FMinWidth = S->FMinWidth;
        FMaxWidth = S->FMaxWidth;
        FWidth = S->FWidth;
        FAlignment = S->FAlignment;
        FStyle = S->FStyle;
        FAllowClick = S->FAllowClick;
        FFieldName = S->FFieldName;
        Changed(true);
        return;
    }
    TCollectionItem::Assign(Source);
}

String TnvTreeHeaderSection::GetDisplayName() const
{
    return IntToStr(Index()) + " - " + (FText.empty() ? TCollectionItem::GetDisplayName() : FText);
}

// ---------------------------------------------------------------- TnvTreeHeaderSections

TnvTreeHeaderSections::TnvTreeHeaderSections(TnvTreeHeaderControl* HeaderControl)
    : TCollection(ClassOf<TnvTreeHeaderSection>(), HeaderControl), FHeaderControl(HeaderControl)
{
    SetPropName("Sections");
}

void TnvTreeHeaderSections::Notify(TCollectionItem* Item, TCollectionNotification Action)
{
    // A section joins from the start of its constructor; it is read only
    // once it is built.
    if (Action == cnAdded)
        FBuilding.push_back(Item);
    else
        FBuilding.erase(std::remove(FBuilding.begin(), FBuilding.end(), Item), FBuilding.end());
    TCollection::Notify(Item, Action);
}

void TnvTreeHeaderSections::SectionBuilt(TCollectionItem* Item)
{
    FBuilding.erase(std::remove(FBuilding.begin(), FBuilding.end(), Item), FBuilding.end());
    Changed();
}

void TnvTreeHeaderSections::Update(TCollectionItem* Item)
{
    if (!FHeaderControl || !FBuilding.empty())
        return;
    if (Item)
        FHeaderControl->UpdateSection(Item->Index());
    else
        FHeaderControl->UpdateSections();
}

// ---------------------------------------------------------------- TnvTreeHeaderControl

TnvTreeHeaderControl::TnvTreeHeaderControl(TComponent* AOwner)
    : TNativeHeader(AOwner), FSections(std::make_unique<TnvTreeHeaderSections>(this)),
      FControlCanvas(std::make_unique<TCanvas>())
{
    // No click, double-click or capture handling of the framework's own: the
    // platform control does it.
    FControlStyle = TControlStyle(csOpaque);
    SetStyle(WindowStyle());
    SetHeight(17);
}

TnvTreeHeaderControl::~TnvTreeHeaderControl()
{
    // The sections go before the window's items: nothing is sent any more.
    FSections.reset();
}

unsigned TnvTreeHeaderControl::WindowStyle() const
{
    unsigned S = HDS_BUTTONS;
    if (FHotTrack)
        S |= HDS_HOTTRACK;
    if (FOptions.testFlag(thcoAllowColumnMove))
        S |= HDS_DRAGDROP;
    return S;
}

void TnvTreeHeaderControl::CreateWnd()
{
    TNativeHeader::CreateWnd();
    SetStyle(WindowStyle());
    UpdateSections();
}

void TnvTreeHeaderControl::SetHotTrack(bool Value)
{
    if (FHotTrack == Value)
        return;
    FHotTrack = Value;
    RecreateWnd();
}

void TnvTreeHeaderControl::SetOptions(TnvTreeHeaderOptions Value)
{
    if (FOptions == Value)
        return;
    FOptions = Value;
    RecreateWnd();
}

void TnvTreeHeaderControl::SetImages(TCustomImageList* Value)
{
    if (FImages.data() == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TnvTreeHeaderControl::SetTreeView(TnvTreeHeaderClient* Value)
{
    if (FTreeView == Value)
        return;
    if (FTreeControl)
        FTreeControl->RemoveFreeNotification(this);
    FTreeView = Value;
    FTreeControl = Value ? Value->TreeControl() : nullptr;
    if (FTreeControl)
        FTreeControl->FreeNotification(this);
}

void TnvTreeHeaderControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TNativeHeader::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (FImages && AComponent == static_cast<TComponent*>(FImages.data())) {
        FImages = nullptr;
        Invalidate();
    }
    if (FTreeControl && AComponent == static_cast<TComponent*>(FTreeControl.data())) {
        FTreeView = nullptr;
        FTreeControl = nullptr;
    }
}

HDITEM TnvTreeHeaderControl::SectionItem(int Index) const
{
    const TnvTreeHeaderSection* S = FSections->Items(Index);
    HDITEM Item;
    Item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
    Item.cxy = S->Width();
    Item.pszText = S->Text();
    switch (S->Alignment()) {
    case taRightJustify: Item.fmt = HDF_RIGHT; break;
    case taCenter: Item.fmt = HDF_CENTER; break;
    default: Item.fmt = HDF_LEFT; break;
    }
    Item.fmt |= HDF_OWNERDRAW;
    return Item;
}

void TnvTreeHeaderControl::UpdateSection(int Index)
{
    if (!HandleAllocated() || !FSections || Index < 0 || Index >= FSections->Count())
        return;
    HDITEM Item = SectionItem(Index);
    Perform(HDM_SETITEM, Index, reinterpret_cast<intptr_t>(&Item));
}

void TnvTreeHeaderControl::UpdateSections()
{
    if (!HandleAllocated() || !FSections)
        return;
    const intptr_t Count = Perform(HDM_GETITEMCOUNT);
    for (intptr_t I = 0; I < Count; ++I)
        Perform(HDM_DELETEITEM, 0);
    for (int I = 0; I < FSections->Count(); ++I) {
        HDITEM Item = SectionItem(I);
        Perform(HDM_INSERTITEM, I, reinterpret_cast<intptr_t>(&Item));
    }
}

TnvTreeHeaderSection* TnvTreeHeaderControl::SectionOf(int Item) const
{
    return FSections && Item >= 0 && Item < FSections->Count() ? FSections->Items(Item) : nullptr;
}

void TnvTreeHeaderControl::UpdateDisplayFields()
{
    if (!FTreeView)
        return;
    String Expression;
    for (int I = 0; I < FSections->Count(); ++I) {
        const TnvTreeHeaderSection* S = FSections->Items(I);
        if (I > 0)
            Expression += '\t';
        Expression += '"' + (S->FieldName().empty() ? S->Text() : S->FieldName()) + '"';
    }
    if (TStrings* Fields = FTreeView->DisplayFields())
        for (int I = 0; I < Fields->Count(); ++I)
            Fields->Put(I, Expression);
    if (TWinControl* Tree = FTreeView->TreeControl())
        Tree->Invalidate();
}

// ---------------------------------------------------------------- notifications

intptr_t TnvTreeHeaderControl::Notify(NMHDR& Header)
{
    auto& N = reinterpret_cast<NMHEADER&>(Header);
    switch (Header.code) {
    case HDN_BEGINTRACK:
    case HDN_TRACK:
    case HDN_ENDTRACK: {
        TnvTreeHeaderSection* S = SectionOf(N.iItem);
        if (!S || !N.pitem)
            return 0;
        N.pitem->cxy = std::clamp(N.pitem->cxy, S->MinWidth(), S->MaxWidth());
        if (FHeader)
            FHeader->SectionTrack(S, N.pitem->cxy,
                                  Header.code == HDN_BEGINTRACK ? tsTrackBegin
                                  : Header.code == HDN_TRACK    ? tsTrackMove
                                                                : tsTrackEnd);
        return 0;
    }
    case HDN_ITEMCLICK:
        if (TnvTreeHeaderSection* S = SectionOf(N.iItem); S && FHeader)
            FHeader->SectionClick(S);
        return 0;
    case HDN_ITEMCHANGED: {
        TnvTreeHeaderSection* S = SectionOf(N.iItem);
        if (!S || !N.pitem || !(N.pitem->mask & HDI_WIDTH) || N.pitem->cxy == S->Width())
            return 0;
        // Taken over as it is: the platform item has it already.
        S->FWidth = N.pitem->cxy;
        if (FHeader)
            FHeader->SectionResize(S);
        if (FTreeView)
            FTreeView->RecalcRowHeight();
        return 0;
    }
    case HDN_ENDDRAG: {
        if (!N.pitem || !(N.pitem->mask & HDI_ORDER))
            return 1;
        // The drop place: the order of the item under the release point, the
        // last index right of all items, else 0.
        HDHITTESTINFO Info;
        Info.pt = ScreenToClient(MessagePos());
        Info.pt.Y = ClientHeight() / 2;
        Perform(HDM_HITTEST, 0, reinterpret_cast<intptr_t>(&Info));
        int Target = 0;
        if (Info.flags & (HHT_ONHEADER | HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
            HDITEM Order;
            Order.mask = HDI_ORDER;
            Perform(HDM_GETITEM, Info.iItem, reinterpret_cast<intptr_t>(&Order));
            Target = Order.iOrder;
        } else if (Info.flags & (HHT_TORIGHT | HHT_NOWHERE)) {
            Target = FSections->Count() - 1;
        }
        if (Target < 0)
            return 0;
        HDITEM Dragged;
        Dragged.mask = HDI_ORDER;
        if (!Perform(HDM_GETITEM, N.iItem, reinterpret_cast<intptr_t>(&Dragged)))
            return 1;
        const int From = Dragged.iOrder;
        TnvTreeHeaderSection* S = SectionOf(From);
        if (!S)
            return 1;
        bool AllowMove = true;
        if (FHeader)
            FHeader->SectionMove(S, From, Target, AllowMove);
        if (AllowMove && SectionOf(From) && SectionOf(Target)) {
            SectionOf(From)->SetIndex(Target);
            if (FHeader)
                FHeader->SectionDrag(SectionOf(From), SectionOf(Target));
            if (FTreeView) {
                UpdateDisplayFields();
                if (TWinControl* Tree = FTreeView->TreeControl())
                    Tree->Invalidate();
            }
        }
        return 1;
    }
    default: return TNativeHeader::Notify(Header);
    }
}

// ---------------------------------------------------------------- mouse

void TnvTreeHeaderControl::SetHotSection(int Value)
{
    if (FHotSection == Value)
        return;
    FHotSection = Value;
    Invalidate();
}

void TnvTreeHeaderControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_DRAWITEM:
        if (auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam); D && D->CtlType == ODT_HEADER) {
            DrawItem(*D);
            Message.Result = 1;
            return;
        }
        break;
    case WM_LBUTTONDOWN: {
        HDHITTESTINFO Info;
        Info.pt = LParamToPoint(Message.LParam);
        Perform(HDM_HITTEST, 0, reinterpret_cast<intptr_t>(&Info));
        if (Info.flags & HHT_ONHEADER)
            if (TnvTreeHeaderSection* S = SectionOf(Info.iItem); S && !S->AllowClick())
                return;
        break;
    }
    case WM_MOUSEMOVE: {
        const TPoint P = LParamToPoint(Message.LParam);
        FMousePos = P;
        if (FHotTrack || UseThemes(this)) {
            int Hot = -1;
            for (int I = 0, Left = 0; I < FSections->Count(); ++I) {
                const int W = FSections->Items(I)->Width();
                if (P.X > Left && P.X < Left + W) {
                    Hot = I;
                    break;
                }
                Left += W;
            }
            SetHotSection(Hot);
        }
        break;
    }
    case CM_MOUSELEAVE: {
        // A leave while the cursor is still over the control is not one.
        const QPoint Cursor = mapFromGlobal(QCursor::pos());
        if (ClientRect().Contains(TPoint(Cursor.x(), Cursor.y())))
            break;
        FMousePos = TPoint(-1, -1);
        if (FHotTrack || UseThemes(this))
            SetHotSection(-1);
        break;
    }
    default: break;
    }
    TNativeHeader::WndProc(Message);
}

bool TnvTreeHeaderControl::CursorInItem(const TRect& Item) const
{
    return FHotSection >= 0 && Item.Contains(FMousePos);
}

// ---------------------------------------------------------------- painting

void TnvTreeHeaderControl::DrawItem(DRAWITEMSTRUCT& Draw)
{
    TnvTreeHeaderSection* S = SectionOf(static_cast<int>(Draw.itemID));
    if (!S || !Draw.hDC || !Draw.hDC->Target())
        return;
    TCanvas* DC = Draw.hDC;
    const TRect R = Draw.rcItem;
    const bool Pressed = (Draw.itemState & ODS_SELECTED) != 0;
    const int Shift = Pressed ? 1 : 0;
    // The control's canvas works on the device context for this item.
    TCanvas* C = FControlCanvas.get();
    C->SetTarget(DC->Target());
    C->SetViewportOrg(DC->ViewportOrg());
    const QRegion Clip = DC->ClipRegion();
    C->SetClipRegion(DC->HasClipRegion() ? &Clip : nullptr);
    C->Font()->Assign(Font());
    C->Brush()->SetColor(clBtnFace);
    C->Brush()->SetStyle(bsSolid);
    struct TRelease {
        TCanvas* C;
        ~TRelease()
        {
            C->SetClipRegion(nullptr);
            C->SetTarget(nullptr);
        }
    } Release{C};

    const bool Hot = CursorInItem(R);
    if (UseThemes(this)) {
        QPainter P(C->Target());
        QStyleOptionHeader O;
        O.initFrom(this);
        O.rect = QRect(R.Left, R.Top, R.Width(), R.Height());
        O.state = QStyle::State_Enabled | QStyle::State_Horizontal | QStyle::State_Raised;
        if (Hot)
            O.state |= Pressed ? QStyle::State_Sunken : QStyle::State_MouseOver;
        style()->drawControl(QStyle::CE_HeaderSection, &O, &P, this);
    }
    if (FHotTrack && Hot)
        C->Font()->SetColor(clBlue);
    if (FHeader)
        FHeader->DrawSection(S, R, Pressed);

    // Where the image and the text go.
    const bool HasImage = FImages && S->ImageIndex() >= 0;
    const int A = HasImage ? FImages->Width() + 1 : 0;
    const int W = C->TextWidth(S->Text());
    const bool ImageLeft = S->ImageAlignment() == taLeftJustify;
    int TextLeft = 0, TextRight = 0, ImageX = 0;
    switch (S->Alignment()) {
    case taRightJustify:
        if (ImageLeft) {
            TextRight = R.Right - 4;
            TextLeft = TextRight - W - 2 + Shift;
            ImageX = TextLeft - 2 - A;
        } else {
            TextRight = R.Right - A - 4;
            TextLeft = TextRight - W - 2 + Shift;
            ImageX = R.Right + Shift - A - 2;
        }
        break;
    case taCenter: {
        const int D = R.Left + Shift + (R.Right - R.Left - A - W) / 2;
        if (ImageLeft) {
            ImageX = D;
            TextLeft = D + A + 1;
        } else {
            TextLeft = D;
            ImageX = D + W + 4;
        }
        TextRight = TextLeft + W + 2;
        break;
    }
    default:
        if (ImageLeft) {
            ImageX = R.Left + Shift + 4;
            TextLeft = R.Left + Shift + A + 4;
        } else {
            TextLeft = R.Left + Shift + 4;
            ImageX = TextLeft + W + 4;
        }
        TextRight = TextLeft + W + 2;
        break;
    }
    if (HasImage)
        FImages->Draw(C, ImageX, R.Top + Shift + (R.Height() - FImages->Height()) / 2, S->ImageIndex(), Enabled());
    if (!ThemeServicesEnabled())
        C->FillRect(TRect(TextLeft, R.Top, TextRight, R.Bottom));
    C->Brush()->SetStyle(bsClear);
    TRect T(TextLeft, Shift + 2, TextRight, R.Height() - 1);
    DrawText(C, S->Text(), T, DT_LEFT | DT_EXPANDTABS | DT_END_ELLIPSIS);
    C->Brush()->SetStyle(bsSolid);
}

void TnvTreeHeaderControl::Paint()
{
    SetThemed(UseThemes(this));
    TNativeHeader::Paint();
    if (FOptions.testFlag(thcoRightBorder)) {
        TCanvas* C = Canvas();
        const TRect R = ClientRect();
        C->MoveTo(R.Right - 1, 0);
        C->LineTo(R.Right - 1, R.Bottom);
    }
}

void TnvTreeHeaderControl::BoundsChanged(int OldWidth, int OldHeight)
{
    TNativeHeader::BoundsChanged(OldWidth, OldHeight);
    Invalidate();
}

void TnvTreeHeaderControl::moveEvent(QMoveEvent* Event)
{
    TNativeHeader::moveEvent(Event);
    Invalidate();
}

// ---------------------------------------------------------------- TnvTreeHeader

TnvTreeHeader::TnvTreeHeader(TComponent* AOwner)
    : TCustomPanel(AOwner), FHeaderControl(new TnvTreeHeaderControl(this))
{
    FHeaderControl->SetHeader(this);
    FHeaderControl->SetParent(this);
    SetAlign(alTop);
    FHeaderControl->SetBounds(0, 0, Width(), Height());
}

TnvTreeHeader::~TnvTreeHeader()
{
    // The control is owned by this panel and goes with it; it must not call
    // back into a panel that is being destroyed.
    FHeaderControl->SetHeader(nullptr);
}

void TnvTreeHeader::SetDisableThemes(bool Value)
{
    if (FDisableThemes == Value)
        return;
    FDisableThemes = Value;
    Invalidate();
    FHeaderControl->Invalidate();
}

void TnvTreeHeader::BoundsChanged(int OldWidth, int OldHeight)
{
    TCustomPanel::BoundsChanged(OldWidth, OldHeight);
    if (FHeaderControl)
        FHeaderControl->SetBounds(FHeaderControl->Left(), FHeaderControl->Top(), Width() - FHeaderControl->Left(),
                                  Height());
}

void TnvTreeHeader::DrawSection(TnvTreeHeaderSection* Section, const TRect& Rect, bool Pressed)
{
    if (OnDrawSection)
        OnDrawSection(this, Section, Rect, Pressed);
}

void TnvTreeHeader::SectionMove(TnvTreeHeaderSection* Section, int DragFrom, int DragTo, bool& AllowMove)
{
    if (OnSectionMove)
        OnSectionMove(this, Section, DragFrom, DragTo, AllowMove);
}

void TnvTreeHeader::SectionClick(TnvTreeHeaderSection* Section)
{
    if (OnSectionClick)
        OnSectionClick(this, Section);
}

void TnvTreeHeader::SectionResize(TnvTreeHeaderSection* Section)
{
    if (OnSectionResize)
        OnSectionResize(this, Section);
}

void TnvTreeHeader::SectionTrack(TnvTreeHeaderSection* Section, int Width, TSectionTrackState State)
{
    if (OnSectionTrack)
        OnSectionTrack(this, Section, Width, State);
}

void TnvTreeHeader::SectionDrag(TnvTreeHeaderSection* FromSection, TnvTreeHeaderSection* ToSection)
{
    if (OnSectionDrag)
        OnSectionDrag(this, FromSection, ToSection);
}

void RegisterNvTreeHeaderClasses()
{
    RegisterClasses<TnvTreeHeader, TnvTreeHeaderControl, TnvTreeHeaderSection>();
}

namespace {
[[maybe_unused]] const bool NvTreeHeaderRegistered = (RegisterNvTreeHeaderClasses(), true);
} // namespace
