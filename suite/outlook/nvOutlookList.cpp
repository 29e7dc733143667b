#include "nvOutlookList.h"

#include <algorithm>
#include <array>

#include "Canvas.h"
#include "Pictures.h"
#include "SysUtils.h"
#include "nvBitmap.h"

namespace {

constexpr int ScrollTimerId = 100;
constexpr int HintTimerId = 101;
constexpr int HintTimerInterval = 250;

// The small black drop arrows of the scroll buttons ("NVDROPUP" and
// "NVDROPDOWN" are 10 x 4, "NVDROPLEFT" and "NVDROPRIGHT" 4 x 10), drawn
// transparently: only the triangle's pixels are painted.
void DrawDropArrow(TCanvas* Canvas, int X, int Y, TnvLayout Layout, TnvOutlookScrollButton Button)
{
    for (int Row = 0; Row < 4; ++Row) {
        // Row 0 is the tip: 2 pixels wide, each further row 2 wider.
        const int Depth = Button == TnvOutlookScrollButton::Up ? Row : 3 - Row;
        const int From = 4 - Depth;
        const int To = 6 + Depth; // excluded
        if (Layout == loVertical)
            FillSolidRect(Canvas, TRect(X + From, Y + Row, X + To, Y + Row + 1), clBlack);
        else
            FillSolidRect(Canvas, TRect(X + Row, Y + From, X + Row + 1, Y + To), clBlack);
    }
}

unsigned AlignmentFlags(TAlignment A)
{
    switch (A) {
    case taLeftJustify: return DT_LEFT;
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    }
    return DT_CENTER;
}

} // namespace

// ---------------------------------------------------------------- TnvOutlookItemActionLink

TnvOutlookItemActionLink::TnvOutlookItemActionLink(TnvOutlookListItem* AClient) : TActionLink(AClient), FItem(AClient)
{
}

void TnvOutlookItemActionLink::SetCaption(const String& Value)
{
    if (IsCaptionLinked() && !Value.empty())
        FItem->SetText(Value);
}

void TnvOutlookItemActionLink::SetEnabled(bool Value)
{
    if (IsEnabledLinked())
        FItem->SetEnabled(Value);
}

void TnvOutlookItemActionLink::SetHint(const String& Value)
{
    if (IsHintLinked())
        FItem->SetHint(Value);
}

void TnvOutlookItemActionLink::SetVisible(bool Value)
{
    if (IsVisibleLinked())
        FItem->SetVisible(Value);
}

// ---------------------------------------------------------------- TnvOutlookListItem

TnvOutlookListItem::TnvOutlookListItem(TCollection* ACollection) : TnvCollectionItem(ACollection) {}

TnvOutlookListItem::~TnvOutlookListItem()
{
    if (TnvCustomOutlookList* L = OutlookList()) {
        if (L->FTopItem == this)
            L->FTopItem = nullptr;
        if (L->FHintWindow && L->FHintWindow->Item == this)
            L->HideHint();
    }
}

TnvCustomOutlookList* TnvOutlookListItem::OutlookList() const
{
    auto* C = dynamic_cast<TnvOutlookListItems*>(Collection());
    return C ? C->List() : nullptr;
}

void TnvOutlookListItem::SetAction(TBasicAction* Value)
{
    if (!Value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink)
        FActionLink = std::make_unique<TnvOutlookItemActionLink>(this);
    FActionLink->SetAction(Value);
    FActionLink->OnChange = [this](TObject* Sender) { DoActionChange(Sender); };
    ActionChange(Value, Value->IsLoading());
    if (TnvCustomOutlookList* L = OutlookList())
        Value->FreeNotification(L);
}

void TnvOutlookListItem::DoActionChange(TObject* Sender)
{
    if (Sender && Sender == static_cast<QObject*>(Action()))
        ActionChange(Sender, false);
}

void TnvOutlookListItem::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* A = dynamic_cast<TCustomAction*>(Sender);
    if (!A)
        return;
    if (!CheckDefaults || FText.empty())
        SetText(A->Caption());
    if (!CheckDefaults || FEnabled)
        SetEnabled(A->Enabled());
    if (!CheckDefaults || FHint.empty())
        SetHint(A->Hint());
    if (!CheckDefaults || FVisible)
        SetVisible(A->Visible());
}

void TnvOutlookListItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    InvalidateItem(true);
}

bool TnvOutlookListItem::Selected() const
{
    TnvCustomOutlookList* L = OutlookList();
    return FSelected && L && L->ClickStyle() == csSelect;
}

void TnvOutlookListItem::SetSelected(bool Value)
{
    if (Value) {
        if (auto* C = Collection())
            for (int I = 0; I < C->Count(); ++I)
                if (auto* Other = static_cast<TnvOutlookListItem*>(C->Items(I)); Other != this)
                    Other->SetSelected(false);
    }
    if (FSelected == Value)
        return;
    FSelected = Value;
    InvalidateItem(!Value);
}

void TnvOutlookListItem::SetSeparation(int Value)
{
    if (FSeparation == Value)
        return;
    FSeparation = Value;
    InvalidateItem(true);
}

void TnvOutlookListItem::SetText(const String& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    Changed();
    InvalidateItem(true);
}

void TnvOutlookListItem::SetTextAlignment(TAlignment Value)
{
    if (FTextAlignment == Value)
        return;
    FTextAlignment = Value;
    Changed();
    InvalidateItem(true);
}

void TnvOutlookListItem::SetGlyphOffset(int Value)
{
    if (FGlyphOffset == Value)
        return;
    FGlyphOffset = Value;
    Changed();
    InvalidateItem(true);
}

void TnvOutlookListItem::SetEnabled(bool Value)
{
    FEnabled = Value;
    InvalidateItem(true);
}

void TnvOutlookListItem::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    Changed();
    TnvCustomOutlookList* L = OutlookList();
    if (!L)
        return;
    if (!Value && L->FTopItem == this)
        L->FTopItem = L->NextVisibleItem(this);
    L->UpdateItemRects();
    L->Invalidate();
}

void TnvOutlookListItem::SetHot(bool Value)
{
    TnvCustomOutlookList* L = OutlookList();
    if (!L || IsDesigning(L))
        return;
    if (FHot == Value) {
        if (Value && !L->MouseCapture())
            L->SetMouseCapture(true);
        return;
    }
    FHot = Value;
    if (!Value)
        FPressed = false;
    InvalidateItem(false);
    if (Value && !L->MouseCapture())
        L->SetMouseCapture(true);
}

void TnvOutlookListItem::SetPressed(bool Value)
{
    if (FPressed == Value)
        return;
    FPressed = Value;
    if (!Selected())
        InvalidateItem(false);
}

String TnvOutlookListItem::GetDisplayName() const
{
    return FText.empty() ? TnvCollectionItem::GetDisplayName() : FText;
}

bool TnvOutlookListItem::IsInView(bool Fully) const
{
    TnvCustomOutlookList* L = OutlookList();
    if (!L || !FVisible)
        return false;
    TnvOutlookListItem* Top = L->TopItem();
    if (!Top)
        return false;
    TnvOutlookListItem* Bottom = L->BottomItem();
    const int I = Index();
    if (I < Top->Index() || !Bottom || I > Bottom->Index())
        return false;
    if (Fully)
        return FSlotRect.Right <= L->Width() && FSlotRect.Bottom <= L->Height();
    return true;
}

TSize TnvOutlookListItem::ItemSize(bool WithSpacing) const
{
    TnvCustomOutlookList* L = OutlookList();
    if (!L)
        return TSize();
    TSize S = L->MeasureCanvas()->TextExtent(FText);
    if (WithSpacing) {
        if (L->Layout() == loVertical)
            S.cy += L->ItemSpacing();
        else
            S.cx += L->ItemSpacing();
    }
    if (TCustomImageList* Im = L->Images()) {
        if (L->ItemLayout() == blGlyphLeft || L->ItemLayout() == blGlyphRight)
            S.cx += Im->Width() + FGlyphOffset + FSeparation + 8;
        else
            S.cy += Im->Height() + FSeparation;
    }
    if (L->Layout() == loHorizontal && L->ItemsWidth() > 0)
        S.cx = L->ItemsWidth();
    return S;
}

int TnvOutlookListItem::ItemExtent() const
{
    TnvCustomOutlookList* L = OutlookList();
    if (!L)
        return 0;
    // While the list paints nothing that sizes items changes: the extents
    // are measured once per paint.
    const int I = Index();
    if (L->FPainting && I < static_cast<int>(L->FExtentCache.size()) && L->FExtentCache[I] >= 0)
        return L->FExtentCache[I];
    const TSize S = ItemSize(true);
    const int Extent = L->Layout() == loVertical ? S.cy : S.cx;
    if (L->FPainting && I < static_cast<int>(L->FExtentCache.size()))
        L->FExtentCache[I] = Extent;
    return Extent;
}

TRect TnvOutlookListItem::CalcItemRect(TnvOutlookItemRectMode Mode, int Offset) const
{
    TnvCustomOutlookList* L = OutlookList();
    if (!L || !IsInView(false))
        return TRect();
    if (Offset < 0) {
        Offset = 0;
        for (TnvOutlookListItem* It = L->TopItem(); It && It != this; It = L->NextVisibleItem(It))
            Offset += It->ItemExtent();
    }
    const TSize Size = ItemSize(true);
    const TRect Slot = L->Layout() == loVertical ? TRect(0, Offset, L->ClientWidth(), Offset + Size.cy)
                                                 : TRect(Offset, 0, Offset + Size.cx, L->ClientHeight());
    if (Mode == TnvOutlookItemRectMode::Slot)
        return Slot;

    TCustomImageList* Im = L->Images();
    TRect T = Slot;
    if (Im && L->ItemLayout() == blGlyphLeft)
        T.Left += Im->Width() + FGlyphOffset + FSeparation + 4;
    const int H = DrawText(L->MeasureCanvas(), FText, T, DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_END_ELLIPSIS);
    const TSize TextSize(T.Width(), H);
    const TSize GlyphSize = Im ? TSize(Im->Width(), Im->Height()) : TSize(0, 0);
    const TPoint Center(Slot.Left + Slot.Width() / 2, Slot.Top + Slot.Height() / 2);
    TRect TextRect;
    TRect GlyphRect;
    CalcGlyphTextLayout(Center, &TextRect, &GlyphRect, FSeparation, L->ItemLayout(), GlyphSize, TextSize);
    if (Mode == TnvOutlookItemRectMode::Glyph) {
        InflateRect(GlyphRect, 2, 2);
        return GlyphRect;
    }
    return TextRect;
}

bool TnvOutlookListItem::IsDown() const
{
    return (FHot && FPressed) || Selected();
}

void TnvOutlookListItem::InvalidateItem(bool Erase)
{
    (void)Erase; // the list paints its whole background itself
    TnvCustomOutlookList* L = OutlookList();
    if (!L)
        return;
    TRect R = CalcItemRect(TnvOutlookItemRectMode::Slot);
    if (R.IsEmpty())
        return;
    R.Top -= 1;
    L->InvalidateRect(R);
}

void TnvOutlookListItem::PaintItem()
{
    TnvCustomOutlookList* L = OutlookList();
    if (!L)
        return;
    TCanvas* C = L->FBitmap->Canvas();
    TCustomImageList* Im = L->Images();
    const bool Hilite = L->ItemHiliteMode();
    const bool Down = IsDown();

    FSlotRect = CalcItemRect(TnvOutlookItemRectMode::Slot);
    const int Edge = L->Layout() == loVertical ? FSlotRect.Top : FSlotRect.Left;
    TRect T = CalcItemRect(TnvOutlookItemRectMode::Text, Edge);
    TRect G = CalcItemRect(TnvOutlookItemRectMode::Glyph, Edge);

    C->Brush()->SetColor(L->Color());
    C->Font()->SetColor(L->Font()->Color());
    if ((Hilite && FHot && FEnabled) || Selected())
        C->Font()->SetColor(L->HotTextColor());
    if (Hilite && Down)
        OffsetRect(T, 1, 1);

    TPoint GlyphPos(G.Left, G.Top);
    TPoint TextPos(T.Left, T.Top);
    const int DownShift = Hilite && Down ? 1 : 0;
    if (FGlyphOffset > 0 && Im) {
        if (L->ItemLayout() == blGlyphLeft) {
            TextPos.X = FSlotRect.Left + Im->Width() + FGlyphOffset + FSeparation + 4 + DownShift;
            GlyphPos.X = FSlotRect.Left + FGlyphOffset;
        } else if (L->ItemLayout() == blGlyphRight) {
            TextPos.X = FSlotRect.Left + 3 + DownShift;
            GlyphPos.X = FSlotRect.Right - Im->Width() - FGlyphOffset - 1;
        }
    }
    bool DefaultDrawing = true;
    L->DoDrawItem(this, GlyphPos, TextPos, DefaultDrawing);

    OffsetRect(G, GlyphPos.X - G.Left, GlyphPos.Y - G.Top);
    OffsetRect(T, TextPos.X - T.Left, TextPos.Y - T.Top);
    if (Hilite)
        FItemRect = FSlotRect;
    else if (L->Layout() == loVertical)
        UnionRect(FItemRect, G, T);
    if (!DefaultDrawing) {
        if (!Hilite && L->Layout() == loHorizontal)
            UnionRect(FItemRect, G, T);
        return;
    }

    PaintImage(G);

    SetBkMode(C, TRANSPARENT);
    const unsigned Format = DT_WORDBREAK | DT_END_ELLIPSIS | AlignmentFlags(FTextAlignment);
    if (FGlyphOffset > 0 && (L->ItemLayout() == blGlyphLeft || L->ItemLayout() == blGlyphRight)) {
        T.Left = FSlotRect.Left + 3;
        T.Right = FSlotRect.Right - 4;
        if (Im) {
            if (L->ItemLayout() == blGlyphRight)
                T.Right = G.Left - FSeparation;
            else
                T.Left = G.Right + FSeparation;
        }
        T.Left += DownShift;
        T.Right += DownShift;
    }
    if (!Hilite && L->Layout() == loHorizontal)
        UnionRect(FItemRect, G, T);
    if (!FEnabled)
        C->Font()->SetColor(L->ItemDisabledTextColor());
    DrawText(C, FText, T, Format);
}

void TnvOutlookListItem::PaintImage(const TRect& GlyphRect)
{
    TnvCustomOutlookList* L = OutlookList();
    if (!L)
        return;
    TCanvas* C = L->FBitmap->Canvas();
    const bool Hilite = L->ItemHiliteMode();
    const TRect H = Hilite ? FItemRect : GlyphRect;
    const TColor OldBrush = C->Brush()->Color();
    const TColor OldPen = C->Pen()->Color();
    const bool HotEnabled = FHot && FEnabled;

    if (Selected() && L->ItemSelectedDitherColor() != clNone)
        DitherFill(C, H, C->Brush()->Color(), L->ItemSelectedDitherColor());
    else if (HotEnabled && L->ItemHotTrackColor() != L->Color() && L->ItemHotTrackColor() != clNone)
        FillSolidRect(C, H, L->ItemHotTrackColor());

    TColor TopLeft = clNone;
    TColor BottomRight = clNone;
    if (Selected() || (IsDown() && HotEnabled)) {
        TopLeft = L->ItemShadowColor();
        BottomRight = L->ItemHighlightColor();
    } else if (HotEnabled) {
        TopLeft = L->ItemHighlightColor();
        BottomRight = L->ItemShadowColor();
    }
    if (TopLeft != clNone) {
        C->Pen()->SetColor(TopLeft);
        const std::array<TPoint, 3> P{TPoint(H.Left, H.Bottom - 1), TPoint(H.Left, H.Top), TPoint(H.Right - 1, H.Top)};
        C->Polyline(P);
    }
    if (BottomRight != clNone) {
        C->Pen()->SetColor(BottomRight);
        const std::array<TPoint, 3> P{TPoint(H.Left, H.Bottom - 1), TPoint(H.Right - 1, H.Bottom - 1),
                                      TPoint(H.Right - 1, H.Top)};
        C->Polyline(P);
    }

    if (TCustomImageList* Im = L->Images()) {
        int X = GlyphRect.Left + GlyphRect.Width() / 2 - Im->Width() / 2;
        int Y = GlyphRect.Top + GlyphRect.Height() / 2 - Im->Height() / 2;
        if (IsDown() && Hilite) {
            ++X;
            ++Y;
        }
        Im->Draw(C, X, Y, FImageIndex, TDrawingStyle::dsNormal, itImage);
    }

    if (L->TopItem() == this)
        L->DrawScrollButton(TnvOutlookScrollButton::Up);
    if (L->BottomItem() == this)
        L->DrawScrollButton(TnvOutlookScrollButton::Down);
    C->Brush()->SetColor(OldBrush);
    C->Pen()->SetColor(OldPen);
}

// ---------------------------------------------------------------- TnvOutlookListItems

TnvOutlookListItems::TnvOutlookListItems(TnvCustomOutlookList* List)
    : TnvCollection(ClassOf<TnvOutlookListItem>(), List), FList(List)
{
}

TnvOutlookListItems::~TnvOutlookListItems() = default;

TnvOutlookListItem* TnvOutlookListItems::Items(int Index) const
{
    return static_cast<TnvOutlookListItem*>(TnvCollection::Items(Index));
}

TnvOutlookListItem* TnvOutlookListItems::Add()
{
    return static_cast<TnvOutlookListItem*>(AddItem());
}

void TnvOutlookListItems::Update(TCollectionItem* Item)
{
    TnvCollection::Update(Item);
    if (FList)
        FList->Invalidate();
}

// ---------------------------------------------------------------- TnvCustomOutlookList

TnvCustomOutlookList::TnvCustomOutlookList(TComponent* AOwner)
    : TnvOutlookPanel(AOwner), FItems(std::make_unique<TnvOutlookListItems>(this)),
      FBitmap(std::make_unique<TBitmap>())
{
    // Child controls are "accepted" so that a designer offers insertion,
    // which the list then refuses; the list handles the mouse capture itself.
    FControlStyle |= csAcceptsControls;
    FControlStyle &= ~TControlStyle(csCaptureMouse);
    FTransparent = false;
    SetColor(clBtnShadow);
    FItemHotTrackColor = Color();
    Font()->SetColor(clWhite);
    FImageChangeLink.OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
    UpdateScrollButtonRects();
}

TnvCustomOutlookList::~TnvCustomOutlookList()
{
    KillTimer(ScrollTimerId);
    KillTimer(HintTimerId);
    if (FHintWindow)
        delete FHintWindow.data();
    if (FImages)
        FImages->UnRegisterChanges(&FImageChangeLink);
    FItems.reset();
}

void TnvCustomOutlookList::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
    Invalidate();
}

void TnvCustomOutlookList::SetImages(TCustomImageList* Value)
{
    if (FImages)
        FImages->UnRegisterChanges(&FImageChangeLink);
    FImages = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->RegisterChanges(&FImageChangeLink);
    }
    Invalidate();
}

void TnvCustomOutlookList::SetItemDisabledTextColor(TColor Value)
{
    if (FItemDisabledTextColor == Value)
        return;
    FItemDisabledTextColor = Value;
    Invalidate();
}

void TnvCustomOutlookList::SetItemHighlightColor(TColor Value)
{
    if (FItemHighlightColor == Value)
        return;
    FItemHighlightColor = Value;
    Invalidate();
}

void TnvCustomOutlookList::SetItemLayout(TButtonLayout Value)
{
    if (FItemLayout == Value)
        return;
    FItemLayout = Value;
    Invalidate();
}

void TnvCustomOutlookList::SetItemShadowColor(TColor Value)
{
    if (FItemShadowColor == Value)
        return;
    FItemShadowColor = Value;
    Invalidate();
}

void TnvCustomOutlookList::SetItemSpacing(int Value)
{
    if (FItemSpacing == Value)
        return;
    if (Value % 2 != 0)
        ++Value;
    FItemSpacing = Value;
    Invalidate();
}

void TnvCustomOutlookList::SetItemsWidth(int Value)
{
    if (FItemsWidth == Value)
        return;
    FItemsWidth = Value;
    Invalidate();
}

void TnvCustomOutlookList::SetLayout(TnvLayout Value)
{
    if (FLayout == Value)
        return;
    FLayout = Value;
    UpdateScrollButtonRects();
    Invalidate();
}

void TnvCustomOutlookList::SetScrollButtonsVisible(bool Value)
{
    if (FScrollButtonsVisible == Value)
        return;
    FScrollButtonsVisible = Value;
    Invalidate();
}

void TnvCustomOutlookList::SetScrollButtonsHidden(bool Value)
{
    if (FScrollButtonsHidden == Value)
        return;
    FScrollButtonsHidden = Value;
    InvalidateScrollButton(TnvOutlookScrollButton::Up);
    InvalidateScrollButton(TnvOutlookScrollButton::Down);
}

TnvOutlookListItem* TnvCustomOutlookList::TopItem() const
{
    if (!FTopItem && FItems && FItems->Count() > 0)
        FTopItem = FirstVisibleItem();
    return FTopItem;
}

void TnvCustomOutlookList::SetTopItem(TnvOutlookListItem* Value)
{
    if (FTopItem == Value)
        return;
    FTopItem = Value;
    Invalidate();
}

TnvOutlookListItem* TnvCustomOutlookList::BottomItem() const
{
    TnvOutlookListItem* It = TopItem();
    if (!It)
        return nullptr;
    const int Limit = FLayout == loVertical ? ClientHeight() : ClientWidth();
    int Sum = 0;
    TnvOutlookListItem* Last = It;
    for (; It; It = NextVisibleItem(It)) {
        Sum += It->ItemExtent();
        if (Sum > Limit)
            return It;
        Last = It;
    }
    return Last;
}

TnvOutlookListItem* TnvCustomOutlookList::SelectedItem() const
{
    for (int I = 0; I < FItems->Count(); ++I)
        if (FItems->Items(I)->Selected())
            return FItems->Items(I);
    return nullptr;
}

TnvOutlookListItem* TnvCustomOutlookList::FirstVisibleItem() const
{
    for (int I = 0; I < FItems->Count(); ++I)
        if (FItems->Items(I)->Visible())
            return FItems->Items(I);
    return nullptr;
}

TnvOutlookListItem* TnvCustomOutlookList::NextVisibleItem(TnvOutlookListItem* Item) const
{
    if (!Item)
        return nullptr;
    for (int I = Item->Index() + 1; I < FItems->Count(); ++I)
        if (FItems->Items(I)->Visible())
            return FItems->Items(I);
    return nullptr;
}

TnvOutlookListItem* TnvCustomOutlookList::PrevVisibleItem(TnvOutlookListItem* Item) const
{
    if (!Item)
        return nullptr;
    for (int I = Item->Index() - 1; I >= 0; --I)
        if (FItems->Items(I)->Visible())
            return FItems->Items(I);
    return nullptr;
}

bool TnvCustomOutlookList::ItemHiliteMode() const
{
    return FHotTrackStyle == hsItemHilite || !FImages;
}

TRect TnvCustomOutlookList::ScrollButtonRect(TnvOutlookScrollButton Button) const
{
    switch (Button) {
    case TnvOutlookScrollButton::Up: return FUpButtonRect;
    case TnvOutlookScrollButton::Down: return FDownButtonRect;
    case TnvOutlookScrollButton::None: break;
    }
    return TRect();
}

void TnvCustomOutlookList::InViewRange(int& First, int& Last) const
{
    TnvOutlookListItem* Top = TopItem();
    TnvOutlookListItem* Bottom = BottomItem();
    First = Top ? Top->Index() : 0;
    Last = Top && Bottom ? Bottom->Index() : -1;
}

void TnvCustomOutlookList::UpdateItemRects()
{
    int First, Last;
    InViewRange(First, Last);
    for (int I = First; I <= Last; ++I) {
        TnvOutlookListItem* It = FItems->Items(I);
        if (!It->Visible())
            continue;
        It->FItemRect = It->CalcItemRect(ItemHiliteMode() ? TnvOutlookItemRectMode::Slot
                                                          : TnvOutlookItemRectMode::Glyph);
    }
}

bool TnvCustomOutlookList::CanScroll(TnvOutlookScrollButton Button) const
{
    TnvOutlookListItem* Top = TopItem();
    if (!Top)
        return false;
    switch (Button) {
    case TnvOutlookScrollButton::Up: return Top != FirstVisibleItem();
    case TnvOutlookScrollButton::Down: {
        // The first item more than half cut off by the end of the list.
        const int Size = FLayout == loVertical ? ClientHeight() : ClientWidth();
        int Sum = 0;
        TnvOutlookListItem* Cut = nullptr;
        TnvOutlookListItem* Last = Top;
        for (TnvOutlookListItem* It = Top; It; It = NextVisibleItem(It)) {
            const int Extent = It->ItemExtent();
            Sum += Extent;
            Last = It;
            if (Size - Extent / 2 < Sum) {
                Cut = It;
                break;
            }
        }
        return NextVisibleItem(Cut ? Cut : Last) != nullptr;
    }
    case TnvOutlookScrollButton::None: break;
    }
    return false;
}

void TnvCustomOutlookList::DoDrawItem(TnvOutlookListItem* Item, TPoint& GlyphPos, TPoint& TextPos,
                                      bool& DefaultDrawing)
{
    if (OnDrawItem)
        OnDrawItem(this, Item, GlyphPos, TextPos, DefaultDrawing);
}

void TnvCustomOutlookList::ImagesChanged()
{
    Invalidate();
}

void TnvCustomOutlookList::ImageListChange(TObject*)
{
    ImagesChanged();
}

void TnvCustomOutlookList::InvalidateScrollButton(TnvOutlookScrollButton Button)
{
    InvalidateRect(ScrollButtonRect(Button));
}

void TnvCustomOutlookList::InvalidateRect(const TRect& R)
{
    if (!R.IsEmpty())
        update(R.Left, R.Top, R.Width(), R.Height());
}

void TnvCustomOutlookList::ItemClick(TnvOutlookListItem* Item)
{
    if (FClickStyle == csSelect && !Item->Selected()) {
        Item->SetSelected(true);
        if (OnItemChange)
            OnItemChange(this, Item);
    }
    // A handler may free the item (or its action).
    QPointer<TnvOutlookListItem> Alive(Item);
    if (OnItemClick)
        OnItemClick(this, Item);
    if (Alive && Item->OnClick) {
        TnvCustomOutlookListItemEvent Handler = Item->OnClick;
        Handler(this, Item);
    }
    if (TBasicAction* A = Alive ? Item->Action() : nullptr; A && A->OnExecute) {
        TNotifyEvent Handler = A->OnExecute;
        Handler(Item);
    }
    UpdateHotItem();
}

void TnvCustomOutlookList::ScrollStep(TnvOutlookScrollButton Button)
{
    TnvOutlookListItem* Top = TopItem();
    if (Top && Button == TnvOutlookScrollButton::Up && Top->Index() > 0) {
        TnvOutlookListItem* P = PrevVisibleItem(Top);
        SetTopItem(P ? P : FirstVisibleItem());
    } else if (Top && Button == TnvOutlookScrollButton::Down && Top->Index() < FItems->Count() - 1) {
        if (TnvOutlookListItem* N = NextVisibleItem(Top))
            SetTopItem(N);
    }
    UpdateItemRects();
    UpdateHotItem();
}

TCanvas* TnvCustomOutlookList::MeasureCanvas() const
{
    // While painting, the canvas has the list's font already (with the
    // colour of the item being drawn, which measuring must not reset).
    TCanvas* C = FBitmap->Canvas();
    if (!FPainting)
        C->Font()->Assign(Font());
    return C;
}

TPoint TnvCustomOutlookList::CursorPos() const
{
    return FLastMouse;
}

void TnvCustomOutlookList::UpdateHotItem()
{
    const TPoint P = CursorPos();
    int First, Last;
    InViewRange(First, Last);
    for (int I = First; I <= Last; ++I) {
        TnvOutlookListItem* It = FItems->Items(I);
        if (It->Visible())
            It->SetHot(It->ItemRect().Contains(P));
    }
}

void TnvCustomOutlookList::UpdateScrollButtonRects()
{
    const int W = Width();
    const int H = Height();
    if (FLayout == loVertical) {
        FUpButtonRect = TRect(W - 25, 10, W - 10, 25);
        FDownButtonRect = TRect(W - 25, H - 25, W - 10, H - 10);
    } else {
        FUpButtonRect = TRect(10, 10, 25, 25);
        FDownButtonRect = TRect(W - 25, 10, W - 10, 25);
    }
}

TnvOutlookListItem* TnvCustomOutlookList::ItemAtPos(int X, int Y) const
{
    for (int I = 0; I < FItems->Count(); ++I) {
        TnvOutlookListItem* It = FItems->Items(I);
        if (It->IsInView(true) && It->SlotRect().Contains(TPoint(X, Y)))
            return It;
    }
    return nullptr;
}

void TnvCustomOutlookList::DrawScrollButton(TnvOutlookScrollButton Button)
{
    if (!CanScroll(Button) || !FScrollButtonsVisible || FScrollButtonsHidden)
        return;
    TCanvas* C = FBitmap->Canvas();
    const bool Pushed = FHotButton == Button && FPressedButton == Button;
    TRect R = ScrollButtonRect(Button);
    DrawFrameControl(C, R, DFC_BUTTON, DFCS_BUTTONPUSH | (Pushed ? unsigned(DFCS_PUSHED) : 0u));
    const TRect B = ScrollButtonRect(Button);
    const int Shift = Pushed ? 1 : 0;
    if (FLayout == loVertical)
        DrawDropArrow(C, B.Left + 2 + Shift, B.Top + 5 + Shift, FLayout, Button);
    else
        DrawDropArrow(C, B.Left + 5 + Shift, B.Top + 3 + Shift, FLayout, Button);
}

void TnvCustomOutlookList::Loaded()
{
    TnvOutlookPanel::Loaded();
    UpdateScrollButtonRects();
}

void TnvCustomOutlookList::BoundsChanged(int OldWidth, int OldHeight)
{
    FBitmap->SetSize(std::max(0, ClientWidth()), std::max(0, ClientHeight()));
    TnvOutlookPanel::BoundsChanged(OldWidth, OldHeight);
    UpdateScrollButtonRects();
}

void TnvCustomOutlookList::Notification(TComponent* AComponent, TOperation Operation)
{
    TnvOutlookPanel::Notification(AComponent, Operation);
    if (Operation != opRemove || !AComponent)
        return;
    if (AComponent == FImages) {
        FImages = nullptr;
        Invalidate();
    }
    for (int I = 0; FItems && I < FItems->Count(); ++I)
        if (TnvOutlookListItem* It = FItems->Items(I); It->Action() && AComponent == It->Action())
            It->SetAction(nullptr);
}

void TnvCustomOutlookList::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_TIMER) {
        if (Message.WParam == ScrollTimerId) {
            if (CanScroll(FPressedButton) && ScrollButtonRect(FPressedButton).Contains(CursorPos()))
                ScrollStep(FPressedButton);
            return;
        }
        if (Message.WParam == HintTimerId) {
            HintTimerTick();
            return;
        }
    }
    if (Message.Msg == CM_CONTROLCHANGE && Message.LParam != 0) {
        // Another control was put on the list: take it off again.
        auto* Child = reinterpret_cast<TControl*>(Message.WParam);
        if (Child && Child->Parent() == this)
            RemoveControl(Child);
        throw EInvalidOperation("TnvCustomOutlookList does not accept child controls.  Delete TnvCustomOutlookList "
                                "and/or set the options property of the TnvControlBar, \"cboAutoCreateOutlookList\", "
                                "to False");
    }
    TnvOutlookPanel::WndProc(Message);
}

void TnvCustomOutlookList::Paint()
{
    TnvOutlookPanel::Paint();
    if (FBitmap->Width() != ClientWidth() || FBitmap->Height() != ClientHeight())
        FBitmap->SetSize(std::max(0, ClientWidth()), std::max(0, ClientHeight()));
    TCanvas* C = FBitmap->Canvas();
    const TRect Client(0, 0, ClientWidth(), ClientHeight());
    // A transparent list shows its outlook bar's picture (tiles continuing
    // the bar's, or the picture stretched over the list), else the bar's
    // colour.
    if (!FTransparent || !DrawBarPicture(C, Client, true)) {
        TColor Back = Color();
        if (FTransparent) {
            if (TnvCustomOutlookBar* Bar = OutlookBar())
                Back = Bar->Color();
            else if (Parent())
                Back = Parent()->Color();
        }
        FillSolidRect(C, Client, Back);
    }
    C->Font()->Assign(Font());
    FPainting = true;
    FExtentCache.assign(FItems->Count(), -1);
    struct TPaintingGuard {
        bool& Flag;
        ~TPaintingGuard() { Flag = false; }
    } Guard{FPainting};
    if (TopItem()) {
        int First, Last;
        InViewRange(First, Last);
        for (int I = First; I <= Last; ++I)
            if (FItems->Items(I)->Visible())
                FItems->Items(I)->PaintItem();
        DrawScrollButton(TnvOutlookScrollButton::Up);
        DrawScrollButton(TnvOutlookScrollButton::Down);
    }
    Canvas()->Draw(0, 0, FBitmap.get());
    if (FBorderStyle == bsSingle) {
        TRect R(0, 0, Width(), Height());
        DrawEdge(Canvas(), R, EDGE_SUNKEN, BF_RECT);
    }
}

void TnvCustomOutlookList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TnvOutlookPanel::MouseDown(Button, Shift, X, Y);
    FLastMouse = TPoint(X, Y);
    HideHint();
    if (Button != mbLeft)
        return;
    const TPoint P(X, Y);
    FPressedButton = FUpButtonRect.Contains(P)     ? TnvOutlookScrollButton::Up
                     : FDownButtonRect.Contains(P) ? TnvOutlookScrollButton::Down
                                                   : TnvOutlookScrollButton::None;
    if (FPressedButton != TnvOutlookScrollButton::None && CanScroll(FPressedButton)) {
        TControl* Old = GetCaptureControl();
        FOldCapture = Old != this ? Old : nullptr;
        SetMouseCapture(true);
        FPressTookCapture = true;
        InvalidateScrollButton(FPressedButton);
        SetTimer(ScrollTimerId, FScrollInterval);
        return;
    }
    int First, Last;
    InViewRange(First, Last);
    for (int I = First; I <= Last; ++I) {
        TnvOutlookListItem* It = FItems->Items(I);
        if (It->Visible() && It->Enabled() && It->ItemRect().Contains(P)) {
            It->SetPressed(true);
            break;
        }
    }
}

void TnvCustomOutlookList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TnvOutlookPanel::MouseUp(Button, Shift, X, Y);
    FLastMouse = TPoint(X, Y);
    if (Button != mbLeft)
        return;
    const TPoint P(X, Y);
    int First, Last;
    InViewRange(First, Last);
    std::vector<QPointer<TnvOutlookListItem>> InView;
    for (int I = First; I <= Last; ++I)
        if (FItems->Items(I)->Visible())
            InView.emplace_back(FItems->Items(I));
    for (const auto& It : InView) {
        // A click handler may free items or change the list.
        if (!It)
            continue;
        if (It->Pressed() && It->ItemRect().Contains(P))
            ItemClick(It);
        if (It)
            It->SetPressed(false);
    }
    if (CanScroll(FPressedButton) && ScrollButtonRect(FPressedButton).Contains(P))
        ScrollStep(FPressedButton);
    if (FPressedButton != TnvOutlookScrollButton::None) {
        if (FPressTookCapture) {
            KillTimer(ScrollTimerId);
            SetMouseCapture(false);
            if (FOldCapture)
                SetCaptureControl(FOldCapture);
            FOldCapture = nullptr;
            FPressTookCapture = false;
        }
        const TnvOutlookScrollButton Was = FPressedButton;
        FPressedButton = TnvOutlookScrollButton::None;
        InvalidateScrollButton(Was);
    }
}

void TnvCustomOutlookList::MouseMove(TShiftState Shift, int X, int Y)
{
    TnvOutlookPanel::MouseMove(Shift, X, Y);
    FLastMouse = TPoint(X, Y);
    const TPoint P(X, Y);
    const bool InControl = X >= 0 && Y >= 0 && X < Width() && Y < Height();
    bool AnyHot = false;
    int First, Last;
    InViewRange(First, Last);
    for (int I = First; I <= Last; ++I) {
        TnvOutlookListItem* It = FItems->Items(I);
        if (!It->Visible())
            continue;
        const bool Inside = InControl && It->ItemRect().Contains(P);
        if (Inside && It->Enabled() && !It->Hot() && !IsDestroying()) {
            if (!It->Hint().empty())
                PrepareHint(It);
            else
                HideHint();
        }
        It->SetHot(Inside);
        AnyHot = AnyHot || It->Hot();
    }
    // Over an item the bar's headers are not under the mouse, whatever they
    // last heard.
    if (AnyHot)
        if (TnvCustomOutlookBar* Bar = OutlookBar())
            for (int I = 0; I < Bar->OutlookItems()->Count(); ++I)
                if (TnvCustomBitBtn* B = Bar->OutlookItems()->Item(I)->Button(); B && B->Hot())
                    B->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(static_cast<TControl*>(B)));
    // A held scroll button keeps the capture until it is released.
    if (!AnyHot && MouseCapture() && !FPressTookCapture)
        SetMouseCapture(false);
    const TnvOutlookScrollButton NewHot = FUpButtonRect.Contains(P)     ? TnvOutlookScrollButton::Up
                                          : FDownButtonRect.Contains(P) ? TnvOutlookScrollButton::Down
                                                                        : TnvOutlookScrollButton::None;
    if (NewHot != FHotButton && (NewHot == TnvOutlookScrollButton::None || CanScroll(NewHot))) {
        FHotButton = NewHot;
        InvalidateScrollButton(TnvOutlookScrollButton::Up);
        InvalidateScrollButton(TnvOutlookScrollButton::Down);
    }
}

void TnvCustomOutlookList::PrepareHint(TnvOutlookListItem* Item)
{
    if (!FHintWindow) {
        TComponent* Owner = Parent() ? static_cast<TComponent*>(Parent()) : static_cast<TComponent*>(this);
        FHintWindow = new TOutlookListHintWindow(Owner);
    }
    SetTimer(HintTimerId, HintTimerInterval);
    FHintWindow->SetColor(clInfoBk);
    FHintWindow->Font()->Assign(Font());
    FHintWindow->Font()->SetColor(clInfoText);
    FHintWindow->Canvas()->Pen()->SetColor(clBlack);
    TCanvas* C = FBitmap->Canvas();
    C->Font()->Assign(Font());
    const TSize S = C->TextExtent(Item->Hint());
    const TPoint Origin = ClientToScreen(TPoint(Item->ItemRect().Left, Item->ItemRect().Top));
    FHintWindow->HintRect = TRect(Origin.X, Origin.Y, Origin.X + S.cx + 8, Origin.Y + S.cy + 3);
    FHintWindow->Item = Item;
}

void TnvCustomOutlookList::HideHint()
{
    FHintTicks = 0;
    if (FHintWindow)
        delete FHintWindow.data();
    FHintWindow = nullptr;
    KillTimer(HintTimerId);
}

void TnvCustomOutlookList::HintTimerTick()
{
    if (!FHintWindow)
        return;
    const TPoint P = CursorPos();
    int First, Last;
    InViewRange(First, Last);
    for (int I = First; I <= Last; ++I) {
        TnvOutlookListItem* It = FItems->Items(I);
        if (!It->Visible() || !It->Hot())
            continue;
        if (!It->ItemRect().Contains(P)) {
            It->SetHot(false);
            HideHint();
            return;
        }
        if (FHintTicks == 1) {
            FHintWindow->ShownHint = It->Hint();
            FHintWindow->ActivateHint(FHintWindow->HintRect, It->Hint());
            return;
        }
    }
    if (!TRect(0, 0, ClientWidth(), ClientHeight()).Contains(P)) {
        HideHint();
        return;
    }
    ++FHintTicks;
    const int Limit = std::max(Application ? Application->HintHidePause() / HintTimerInterval : 0, 10);
    if (FHintTicks > Limit)
        HideHint();
}

// ---------------------------------------------------------------- registration

void RegisterOutlookListClasses()
{
    RegisterClasses<TnvOutlookList, TnvOutlookListItem, TnvOutlookPanel>();
}

namespace {
[[maybe_unused]] const bool OutlookListRegistered = (RegisterOutlookListClasses(), true);
}
