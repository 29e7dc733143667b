#include "nvButtonGroup.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "Canvas.h"
#include "Dialogs.h"
#include "nvShapeBtn.h"

namespace {

// Ceil(A / B) for B > 0, as the layout's arithmetic needs it.
int CeilDiv(int A, int B)
{
    return static_cast<int>(std::ceil(static_cast<double>(A) / static_cast<double>(B)));
}

} // namespace

// ---------------------------------------------------------------- TnvButtonGroupItem

TnvButtonGroupItem::TnvButtonGroupItem(TCollection* ACollection) : TnvCollectionItem(ACollection) {}

TnvButtonGroupItem::~TnvButtonGroupItem()
{
    if (TnvCustomBitBtn* B = FButton.data()) {
        FButton = nullptr; // the removal must not find this item again
        FButtonControl = nullptr;
        B->OnInternalSelChange = nullptr;
        B->OnInternalResize = nullptr;
        delete B;
    }
}

TnvButtonGroupItems* TnvButtonGroupItem::Items() const
{
    return dynamic_cast<TnvButtonGroupItems*>(Collection());
}

TnvCustomButtonGroup* TnvButtonGroupItem::GetGroup() const
{
    TnvButtonGroupItems* I = Items();
    return I ? I->Group() : nullptr;
}

int TnvButtonGroupItem::GetGroupIndex() const
{
    return FButton ? FButton->GroupIndex() : 0;
}

bool TnvButtonGroupItem::IsSelected() const
{
    return FButton && FButton->LastSelDown();
}

void TnvButtonGroupItem::SetGroupIndex(int Value)
{
    if (FButton)
        FButton->SetGroupIndex(Value);
}

void TnvButtonGroupItem::SetDown(bool Value)
{
    QPointer<TnvButtonGroupItem> Self(this);
    if (FButton)
        FButton->SetDown(Value);
    if (!Self)
        return;
    if (TnvCustomButtonGroup* G = GetGroup())
        G->ArrangeButtons();
}

void TnvButtonGroupItem::HookButton()
{
    if (!FButton)
        return;
    FButton->OnInternalSelChange = [this](TnvCustomBitBtn* B) { ButtonSelChange(B); };
    FButton->OnInternalResize = [this](TnvCustomBitBtn* B) {
        if (TnvCustomButtonGroup* G = GetGroup())
            G->ButtonResized(B);
    };
    if (TnvCustomButtonGroup* G = GetGroup())
        FButton->SetShowDownAsUp(G->ShowDownAsUp());
}

void TnvButtonGroupItem::ButtonSelChange(TnvCustomBitBtn*)
{
    // Watchers of the item (an editor of the items) hear of the new state.
    Changed();
}

TControl* TnvButtonGroupItem::GetControl() const
{
    return FButton.data();
}

String TnvButtonGroupItem::GetDisplayName() const
{
    if (FButton && !FButton->Name().empty())
        return FButton->Name();
    return TnvCollectionItem::GetDisplayName();
}

void TnvButtonGroupItem::SetIndex(int Value)
{
    TnvCollectionItem::SetIndex(Value);
    if (TnvCustomButtonGroup* G = GetGroup())
        G->OrderButtons();
}

void TnvButtonGroupItem::AttachButton(TnvCustomBitBtn* Button)
{
    FButton = Button;
    FButtonControl = Button;
}

void TnvButtonGroupItem::CreateButton()
{
    TnvCustomButtonGroup* G = GetGroup();
    if (!G || FButton)
        return;
    TnvButtonGroupItems* Items = G->ButtonItems();
    const bool WasArranging = Items->FArranging;
    Items->FArranging = true;
    try {
        TComponent* C = G->FButtonClass->CreateComponent(G->Owner());
        auto* B = dynamic_cast<TnvCustomBitBtn*>(C);
        if (!B) {
            delete C->AsObject();
            throw EInvalidOperation(G->FButtonClass->ClassName() + " is not a button class");
        }
        FButton = B;
        FButtonControl = B;
        B->SetTop(G->Height());
        B->SetParent(G);
        B->SetShowDownAsUp(G->ShowDownAsUp());
        B->SetGroupIndex(1);
    } catch (...) {
        Items->FArranging = WasArranging;
        throw;
    }
    Items->FArranging = WasArranging;
}

// ---------------------------------------------------------------- TnvButtonGroupItems

TnvButtonGroupItems::TnvButtonGroupItems(TnvCustomButtonGroup* Group, const TMetaClass* ItemClass)
    : TnvCollection(ItemClass, Group), FGroup(Group)
{
    if (!ItemClass->InheritsFrom(&TnvButtonGroupItem::staticMetaObject))
        throw EInvalidCast(ItemClass->ClassName() + " is not a button group item class");
}

TnvButtonGroupItems::~TnvButtonGroupItems() = default;

TnvButtonGroupItem* TnvButtonGroupItems::Item(int Index) const
{
    return static_cast<TnvButtonGroupItem*>(Items(Index));
}

int TnvButtonGroupItems::VisibleCount() const
{
    const bool Designing = FGroup && FGroup->IsDesigning();
    int N = 0;
    for (int I = 0; I < Count(); ++I) {
        TnvCustomBitBtn* B = Item(I)->Button();
        if (B && (Designing || B->Visible()))
            ++N;
    }
    return N;
}

TnvButtonGroupItem* TnvButtonGroupItems::VisibleItem(int N) const
{
    const bool Designing = FGroup && FGroup->IsDesigning();
    for (int I = 0; I < Count(); ++I) {
        TnvCustomBitBtn* B = Item(I)->Button();
        if (B && (Designing || B->Visible()) && N-- == 0)
            return Item(I);
    }
    return nullptr;
}

TnvButtonGroupItem* TnvButtonGroupItems::Add()
{
    FAdding = true;
    TnvButtonGroupItem* Item = nullptr;
    try {
        Item = static_cast<TnvButtonGroupItem*>(AddItem());
        if (FGroup && !FGroup->IsLoading()) {
            Item->CreateButton();
            TnvCustomBitBtn* B = Item->Button();
            if (Count() > 1 && this->Item(0)->Button())
                B->Assign(this->Item(0)->Button());
            if (FGroup->ClickStyle() == bcsCheckList) {
                int Largest = 0;
                for (int I = 0; I < Count(); ++I)
                    if (this->Item(I) != Item)
                        Largest = std::max(Largest, this->Item(I)->GetGroupIndex());
                B->SetGroupIndex(Largest + 1);
                B->SetAllowAllUp(true);
            } else if (FGroup->ClickStyle() == bcsClick) {
                B->SetGroupIndex(0);
            }
            if (FGroup->IsDesigning()) {
                const String Class = FGroup->FButtonClass->ClassName();
                B->SetName(UniqueComponentName(FGroup->Owner(), FGroup->Name() + Class.substr(1)));
            }
            Item->HookButton();
        }
    } catch (...) {
        FAdding = false;
        delete Item;
        throw;
    }
    FAdding = false;
    ArrangeButtons();
    return Item;
}

void TnvButtonGroupItems::Clear()
{
    TCollection::Clear();
}

TnvButtonGroupItem* TnvButtonGroupItems::FindItemByButton(const TControl* Button) const
{
    if (!Button)
        return nullptr;
    for (int I = 0; I < Count(); ++I)
        if (Item(I)->FButtonControl == Button && !Item(I)->FButton.isNull())
            return Item(I);
    return nullptr;
}

void TnvButtonGroupItems::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TnvButtonGroupItems*>(Source);
    if (!Other) {
        TnvCollection::Assign(Source);
        return;
    }
    if (Other == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (int I = 0; I < Other->Count(); ++I) {
            TnvButtonGroupItem* Item = Add();
            if (Item->Button() && Other->Item(I)->Button())
                Item->Button()->Assign(Other->Item(I)->Button());
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TnvButtonGroupItems::ArrangeButtons()
{
    if (!FGroup || Count() == 0 || FArranging || FAdding || FGroup->IsLoading())
        return;
    TnvCustomButtonGroup* G = FGroup;
    FArranging = true;
    const bool WasTransparent = G->FTransparent;
    G->FTransparent = false;
    try {
        const int N = Count();
        const int C = G->Columns();
        const int S = G->ControlSpacing();
        const int B = G->BorderWidth();
        const int W = G->ClientWidth();
        const int H = G->ClientHeight();
        const bool Vertical = G->Layout() == loVertical;

        // 1. the grid
        int Full = 0, Extra = 0, R, K;
        if (Vertical) {
            Full = N / C;
            Extra = N % C;
            R = Full + (Extra > 0 ? 1 : 0);
            K = C;
        } else {
            R = C;
            K = N / C + (N % C > 0 ? 1 : 0);
        }
        // 2. the cell size (never negative in a group too small for its buttons)
        int CW = std::max(0, (W - 2 * B - (K - 1) * S) / K);
        int CH = std::max(0, (H - 2 * B - (R - 1) * S) / R);
        const int Max = G->MaxControlSize();
        bool Limited = false;
        if (Max > 0) {
            int& Along = Vertical ? CH : CW;
            Along = std::min(Along, Max);
            Limited = Along == Max;
        }
        // 3. the spare pixels, spread over the first rows and columns
        int SpareH = 0, StepH = 0, SpareW = 0, StepW = 0;
        if (!Limited) {
            SpareH = std::max(0, H - 2 * B - R * CH - (R - 1) * S);
            StepH = CeilDiv(SpareH, R);
            SpareW = std::max(0, W - 2 * B - K * CW - (K - 1) * S);
            StepW = CeilDiv(SpareW, K);
        }
        // 4.-6. place the visible buttons column by column
        std::map<std::pair<int, int>, TRect> Placed;
        std::vector<TnvCustomBitBtn*> Shown;
        Shown.reserve(static_cast<size_t>(N));
        const bool Designing = G->IsDesigning();
        for (int I = 0; I < N; ++I)
            if (TnvCustomBitBtn* Btn = Item(I)->Button(); Btn && (Designing || Btn->Visible()))
                Shown.push_back(Btn); // the visible items, as VisibleItem counts them
        const int Visible = static_cast<int>(Shown.size());
        for (int I = 1; I <= Visible; ++I) {
            int J, Kr;
            if (!Vertical) {
                J = (I - 1) / C;
                Kr = (I - 1) % C;
            } else if (I > Extra * (Full + 1)) {
                J = (I - Extra * (Full + 1) - 1) / Full + Extra;
                Kr = (I - Extra * (Full + 1) - 1) % Full;
            } else {
                J = (I - 1) / (Full + 1);
                Kr = (I - 1) % (Full + 1);
            }
            TnvCustomBitBtn* Btn = Shown[static_cast<size_t>(I - 1)];
            const auto Above = Placed.find({J, Kr - 1});
            const auto Left = Placed.find({J - 1, Kr});
            const auto PrevColumnTop = Placed.find({J - 1, 0});
            int L, T, Wd, Ht;
            if (Kr > 0 && Above != Placed.end())
                L = Above->second.Left;
            else if (J > 0 && PrevColumnTop != Placed.end())
                L = PrevColumnTop->second.Right + S;
            else
                L = B;
            if (Kr > 0 && Above != Placed.end())
                T = Above->second.Bottom + S;
            else
                T = B;
            if (Kr > 0 && Above != Placed.end()) {
                Wd = Above->second.Width();
            } else {
                Wd = CW + std::min(StepW, SpareW);
                SpareW = std::max(0, SpareW - StepW);
            }
            if (J > 0 && Left != Placed.end()) {
                Ht = Left->second.Height();
            } else {
                Ht = CH + std::min(StepH, SpareH);
                SpareH = std::max(0, SpareH - StepH);
            }
            Placed[{J, Kr}] = TRect(L, T, L + Wd, T + Ht);
            Btn->SetBounds(L, T, Wd, Ht);
        }
    } catch (...) {
        G->FTransparent = WasTransparent;
        FArranging = false;
        throw;
    }
    G->FTransparent = WasTransparent;
    FArranging = false;
}

// ---------------------------------------------------------------- TnvCustomButtonGroup

TnvCustomButtonGroup::TnvCustomButtonGroup(TComponent* AOwner)
    : TnvCustomButtonGroup(AOwner, [](TnvCustomButtonGroup* G) { return std::make_unique<TnvButtonGroupItems>(G); })
{
}

TnvCustomButtonGroup::TnvCustomButtonGroup(TComponent* AOwner, const TItemsMaker& MakeItems)
    : TnvCustomTransparentPanel(AOwner), FButtonClass(ClassOf<TnvShapeBtn>())
{
    FButtonItems = MakeItems(this);
    FButtonItems->SetPropName("ButtonItems");
    FChangeLink = std::make_unique<TnvChangeLink>();
    FChangeLink->OnChange = [this](TObject* Sender) { ButtonChanged(dynamic_cast<TnvCustomBitBtn*>(Sender)); };
    FChangeLink->OnChanging = [this](TObject* Sender) { ButtonChanging(dynamic_cast<TnvCustomBitBtn*>(Sender)); };
    FTransparent = false;
    SetParentBackground(false);
    FBevelOuter = bvNone;
    SetTabStop(true);
    SetBounds(Left(), Top(), 75, 100);
    // A group made in code is never loaded: it arranges from now on. A group
    // read from a form is loading from here until Loaded, which arranges.
    FButtonItems->FArranging = false;
}

TnvCustomButtonGroup::~TnvCustomButtonGroup()
{
    // The items free their buttons; the group is destroying, so the removals
    // do not free items a second time.
    Destroying();
    FButtonItems->FArranging = true;
    FChangeLink.reset();
    FButtonItems.reset();
}

// ---- properties

void TnvCustomButtonGroup::SetAutoBold(bool Value)
{
    FAutoBold = Value;
    ApplyAutoBold(true);
}

void TnvCustomButtonGroup::SetButtonItems(TnvButtonGroupItems* Value)
{
    FButtonItems->Assign(Value);
}

void TnvCustomButtonGroup::SetClickStyle(TnvButtonGroupClickStyle Value)
{
    if (FClickStyle == Value)
        return;
    FClickStyle = Value;
    for (int I = 0; I < FButtonItems->Count(); ++I) {
        TnvCustomBitBtn* B = FButtonItems->Item(I)->Button();
        if (!B)
            continue;
        switch (Value) {
        case bcsCheckList:
            B->SetGroupIndex(I + 1);
            B->SetAllowAllUp(true);
            break;
        case bcsRadioGroup:
            B->SetGroupIndex(1);
            B->SetAllowAllUp(false);
            break;
        case bcsClick:
            B->SetGroupIndex(0);
            B->SetAllowAllUp(false);
            break;
        }
    }
}

void TnvCustomButtonGroup::SetColumns(int Value)
{
    if (Value < 1 || Value == FColumns)
        return;
    FColumns = Value;
    if (!IsLoading())
        ArrangeButtons();
}

void TnvCustomButtonGroup::SetControlSpacing(int Value)
{
    if (Value == FControlSpacing)
        return;
    FControlSpacing = Value;
    ArrangeButtons();
}

void TnvCustomButtonGroup::SetLayout(TnvLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    if (!IsLoading())
        ArrangeButtons();
}

void TnvCustomButtonGroup::SetMaxControlSize(int Value)
{
    if (Value == FMaxControlSize)
        return;
    FMaxControlSize = Value;
    ArrangeButtons();
}

void TnvCustomButtonGroup::SetShowDownAsUp(bool Value)
{
    FShowDownAsUp = Value;
    for (int I = 0; I < FButtonItems->Count(); ++I)
        if (TnvCustomBitBtn* B = FButtonItems->Item(I)->Button())
            B->SetShowDownAsUp(Value);
}

void TnvCustomButtonGroup::SetDisableThemes(bool Value)
{
    if (FDisableThemes == Value)
        return;
    FDisableThemes = Value;
    Invalidate();
}

void TnvCustomButtonGroup::SetBorderWidth(int Value)
{
    const int Old = BorderWidth();
    TCustomPanel::SetBorderWidth(Value);
    if (Old != BorderWidth())
        ArrangeButtons();
}

void TnvCustomButtonGroup::SetBevelOuter(TBevelCut Value)
{
    TCustomPanel::SetBevelOuter(Value);
    ArrangeButtons();
}

void TnvCustomButtonGroup::SetBevelInner(TBevelCut Value)
{
    TCustomPanel::SetBevelInner(Value);
    ArrangeButtons();
}

void TnvCustomButtonGroup::SetBorderStyle(TBorderStyle Value)
{
    TCustomPanel::SetBorderStyle(Value);
    ArrangeButtons();
}

// ---- virtual operations

bool TnvCustomButtonGroup::IsTransparent() const
{
    return FTransparent && !IsDesigning();
}

TnvButtonGroupItem* TnvCustomButtonGroup::SelectedItem() const
{
    for (int I = 0; I < FButtonItems->Count(); ++I)
        if (FButtonItems->Item(I)->IsSelected())
            return FButtonItems->Item(I);
    return nullptr;
}

const TMetaClass* TnvCustomButtonGroup::ItemsClass() const
{
    return ClassOf<TnvButtonGroupItems>();
}

void TnvCustomButtonGroup::SizeToButtons(TnvCustomBitBtn* Button, bool Apply, TSize& Size)
{
    Size = TSize(Width(), Height());
    if (!Button)
        return;
    const int N = FButtonItems->Count();
    const int C = FColumns;
    const int S = FControlSpacing;
    const int Lines = CeilDiv(N, C);
    if (FLayout == loVertical) {
        Size.cx = (Button->Width() + S) * C - S;
        Size.cy = Lines * (Button->Height() + S) - S;
    } else {
        Size.cx = Lines * (Button->Width() + S) - S;
        Size.cy = (Button->Height() + S) * C - S;
    }
    if (Apply)
        SetBounds(Left(), Top(), Size.cx, Size.cy);
}

void TnvCustomButtonGroup::ButtonResized(TnvCustomBitBtn* Button)
{
    if (!Button || IsLoading() || IsDestroying() || FButtonItems->FArranging || FButtonItems->FAdding)
        return;
    if (!Button->InheritsFrom(FButtonClass->Meta()) || !FButtonItems->FindItemByButton(Button))
        return;
    TSize Size;
    SizeToButtons(Button, true, Size);
    ArrangeButtons();
}

TnvButtonGroupItem* TnvCustomButtonGroup::ItemOfSender(TObject* Sender) const
{
    auto* B = dynamic_cast<TnvCustomBitBtn*>(Sender);
    return B ? FButtonItems->FindItemByButton(B) : nullptr;
}

void TnvCustomButtonGroup::ButtonChanging(TnvCustomBitBtn* Button)
{
    if (IsLoading() || !Button || !FButtonItems->FindItemByButton(Button))
        return; // a button placed in the group without an item is not one of its own
    TnvButtonGroupItem* Previous = SelectedItem();
    if (!Previous)
        Previous = FPrevSelected.data();
    FPrevSelected = Previous;
    DoChanging(Previous, FButtonItems->FindItemByButton(Button));
}

void TnvCustomButtonGroup::ButtonChanged(TnvCustomBitBtn* Button)
{
    if (IsLoading() || !Button || !Button->Down())
        return;
    TnvButtonGroupItem* Item = FButtonItems->FindItemByButton(Button);
    if (!Item)
        return;
    QPointer<TnvCustomButtonGroup> Self(this);
    ArrangeButtons();
    if (!Self)
        return;
    ApplyAutoBold(FAutoBold);
    TnvButtonGroupItem* Previous = FPrevSelected.data();
    if (Item != Previous) {
        DoChange(Previous, Item);
        if (!Self)
            return;
    }
    FPrevSelected = Item;
}

void TnvCustomButtonGroup::SelectItemByButton(TnvCustomBitBtn* Button)
{
    if (TnvButtonGroupItem* Item = FButtonItems->FindItemByButton(Button))
        Item->SetDown(true);
}

void TnvCustomButtonGroup::DoChanging(TnvButtonGroupItem* OldItem, TnvButtonGroupItem* NewItem)
{
    if (OnChanging)
        OnChanging(this, OldItem, NewItem);
}

void TnvCustomButtonGroup::DoChange(TnvButtonGroupItem* OldItem, TnvButtonGroupItem* NewItem)
{
    if (OnChange)
        OnChange(this, OldItem, NewItem);
}

String TnvCustomButtonGroup::GetButtonClassName() const
{
    return FButtonClass->ClassName();
}

void TnvCustomButtonGroup::SetButtonClass(const TMetaClass* Class)
{
    if (!Class || Class->Kind() != TMetaClass::TKind::Component ||
        !Class->InheritsFrom(&TnvCustomBitBtn::staticMetaObject))
        throw EInvalidOperation((Class ? Class->ClassName() : String("(none)")) + " is not a button class");
    if (Class == FButtonClass)
        return;
    if (IsDesigning() && !IsLoading() && FButtonItems->Count() > 0 &&
        MessageDlg("Setting this property will clear your items. Continue?", mtConfirmation,
                   TMsgDlgButtons(mbYes) | mbNo, 0) != mrYes)
        return;
    FButtonClass = Class;
    if (!IsLoading()) {
        FButtonItems->BeginUpdate();
        try {
            FButtonItems->Clear();
        } catch (...) {
            FButtonItems->EndUpdate();
            throw;
        }
        FButtonItems->EndUpdate();
    }
}

void TnvCustomButtonGroup::SetButtonClassName(const String& Name)
{
    SetButtonClass(FindClass(Name));
}

void TnvCustomButtonGroup::ApplyAutoBold(bool Apply)
{
    if (!Apply)
        return;
    for (int I = 0; I < FButtonItems->Count(); ++I)
        if (TnvCustomBitBtn* B = FButtonItems->Item(I)->Button()) {
            const TFontStyles S = B->Font()->Style();
            if (S.testFlag(fsBold))
                B->Font()->SetStyle(S & ~TFontStyles(fsBold));
        }
    TnvButtonGroupItem* Sel = SelectedItem();
    if (Sel && Sel->Button() && FAutoBold && FClickStyle == bcsRadioGroup)
        Sel->Button()->Font()->SetStyle(Sel->Button()->Font()->Style() | fsBold);
}

// ---- framework overrides

void TnvCustomButtonGroup::ControlListChanged(TControl* Control, bool Inserted)
{
    if (Inserted) {
        auto* B = dynamic_cast<TnvCustomBitBtn*>(Control);
        if (!B)
            return;
        B->RegisterChanges(FChangeLink.get());
        if (IsLoading() && !FButtonItems->FAdding && !FButtonItems->FindItemByButton(B)) {
            // A stored button: the first stored item without a button takes it.
            TnvButtonGroupItem* Free = nullptr;
            for (int I = 0; I < FButtonItems->Count() && !Free; ++I)
                if (!FButtonItems->Item(I)->Button())
                    Free = FButtonItems->Item(I);
            if (!Free)
                Free = static_cast<TnvButtonGroupItem*>(FButtonItems->AddItem());
            Free->AttachButton(B);
        }
        return;
    }
    // Removed. A button being destroyed has lost its link list already, so
    // only a living one is told to forget the link; nothing of it is touched
    // otherwise (only its address is compared).
    if (!Control->IsDestroying())
        if (auto* B = dynamic_cast<TnvCustomBitBtn*>(Control))
            B->UnRegisterChanges(FChangeLink.get());
    if (IsDestroying())
        return;
    if (TnvButtonGroupItem* Item = FButtonItems->FindItemByButton(Control)) {
        Item->AttachButton(nullptr);
        if (!Control->IsDestroying())
            if (auto* B = dynamic_cast<TnvCustomBitBtn*>(Control)) {
                B->OnInternalSelChange = nullptr;
                B->OnInternalResize = nullptr;
            }
        if (FPrevSelected == Item)
            FPrevSelected = nullptr;
        FButtonItems->FRemoving = true;
        delete Item;
        FButtonItems->FRemoving = false;
        Invalidate();
    }
}

void TnvCustomButtonGroup::Loaded()
{
    TnvCustomTransparentPanel::Loaded();
    // Buttons of the button class without an item take the free items.
    for (int I = 0; I < ControlCount(); ++I) {
        auto* B = dynamic_cast<TnvCustomBitBtn*>(Controls(I));
        if (!B || !B->InheritsFrom(FButtonClass->Meta()) || FButtonItems->FindItemByButton(B))
            continue;
        TnvButtonGroupItem* Free = nullptr;
        for (int J = 0; J < FButtonItems->Count() && !Free; ++J)
            if (!FButtonItems->Item(J)->Button())
                Free = FButtonItems->Item(J);
        if (!Free)
            Free = static_cast<TnvButtonGroupItem*>(FButtonItems->AddItem());
        Free->AttachButton(B);
    }
    // Stored items that found no button stand for nothing: they go.
    for (int I = FButtonItems->Count() - 1; I >= 0; --I)
        if (!FButtonItems->Item(I)->Button())
            delete FButtonItems->Item(I);
    FButtonItems->FArranging = false;
    ArrangeButtons();
    for (int I = 0; I < FButtonItems->Count(); ++I)
        FButtonItems->Item(I)->HookButton();
    FPrevSelected = SelectedItem();
}

void TnvCustomButtonGroup::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_CONTROLCHANGE) {
        TnvCustomTransparentPanel::WndProc(Message);
        ControlListChanged(reinterpret_cast<TControl*>(Message.WParam), Message.LParam != 0);
        return;
    }
    TnvCustomTransparentPanel::WndProc(Message);
}

void TnvCustomButtonGroup::OrderButtons()
{
    // The places the item buttons hold among the children, filled again in item order.
    // The buttons among the children are noted before any slot is
    // overwritten, so that each stays exactly once.
    std::vector<size_t> Slots;
    std::vector<TControl*> Present;
    for (size_t I = 0; I < FControls.size(); ++I)
        if (FButtonItems->FindItemByButton(FControls[I])) {
            Slots.push_back(I);
            Present.push_back(FControls[I]);
        }
    size_t Next = 0;
    for (int I = 0; I < FButtonItems->Count() && Next < Slots.size(); ++I)
        if (TnvCustomBitBtn* B = FButtonItems->Item(I)->Button())
            if (std::find(Present.begin(), Present.end(), static_cast<TControl*>(B)) != Present.end())
                FControls[Slots[Next++]] = B;
    for (size_t I : Slots)
        FControls[I]->raise();
}

void TnvCustomButtonGroup::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    OrderButtons();
    TnvCustomTransparentPanel::GetChildren(Proc, Root);
}

void TnvCustomButtonGroup::Paint()
{
    if (!IsTransparent() && UseThemes(this)) {
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
    TnvCustomTransparentPanel::Paint();
    if (IsTransparent())
        for (int I = 0; I < FButtonItems->Count(); ++I)
            if (TnvCustomBitBtn* B = FButtonItems->Item(I)->Button())
                B->Invalidate();
}

void TnvCustomButtonGroup::BoundsChanged(int OldWidth, int OldHeight)
{
    TnvCustomTransparentPanel::BoundsChanged(OldWidth, OldHeight);
    if (!IsDestroying() && FButtonItems)
        ArrangeButtons();
}

bool TnvCustomButtonGroup::WantsKey(Word Key, TShiftState Shift)
{
    if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN)
        return true;
    return TnvCustomTransparentPanel::WantsKey(Key, Shift);
}

void TnvCustomButtonGroup::KeyDown(Word& Key, TShiftState Shift)
{
    QPointer<TnvCustomButtonGroup> Self(this);
    TnvCustomTransparentPanel::KeyDown(Key, Shift);
    if (!Self)
        return;
    const int N = FButtonItems->Count();
    if (N == 0)
        return;
    if (Key != VK_END && Key != VK_HOME && Key != VK_LEFT && Key != VK_UP && Key != VK_RIGHT && Key != VK_DOWN)
        return;
    int Target = 0;
    if (TnvButtonGroupItem* Sel = SelectedItem()) {
        const int S = Sel->Index();
        switch (Key) {
        case VK_END: Target = N - 1; break;
        case VK_HOME: Target = 0; break;
        case VK_LEFT:
        case VK_UP: Target = S - 1; break;
        default: Target = S + 1; break;
        }
        if (Target < 0)
            Target = N - 1;
        else if (Target >= N)
            Target = 0;
    }
    FButtonItems->Item(Target)->SetDown(true);
}

// ---------------------------------------------------------------- registration

void RegisterButtonGroupClasses()
{
    RegisterClasses<TnvButtonGroup, TnvButtonGroupItem>();
}

namespace {
[[maybe_unused]] const bool ButtonGroupRegistered = (RegisterButtonGroupClasses(), true);
}
