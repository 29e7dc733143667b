#include "ComboEx.h"

#include <algorithm>
#include <vector>

#include "Canvas.h"

// ---------------------------------------------------------------- TComboExItem

TComboExItem::TComboExItem(TCollection* ACollection) : TCollectionItem(ACollection) {}

void TComboExItem::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Changed(false);
}

void TComboExItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed(false);
}

void TComboExItem::SetIndent(int Value)
{
    if (Value < 0)
        throw EInvalidOperation("An item's indent cannot be negative (" + std::to_string(Value) + ")");
    if (FIndent == Value)
        return;
    FIndent = Value;
    Changed(false);
}

void TComboExItem::Assign(TPersistent* Source)
{
    if (auto* Item = dynamic_cast<TComboExItem*>(Source)) {
        FCaption = Item->FCaption;
        FImageIndex = Item->FImageIndex;
        FIndent = Item->FIndent;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

String TComboExItem::GetDisplayName() const
{
    return FCaption.empty() ? TCollectionItem::GetDisplayName() : FCaption;
}

// ---------------------------------------------------------------- TComboExItems

TComboExItems::TComboExItems(TCustomComboBoxEx* Combo) : TCollection(ClassOf<TComboExItem>(), Combo), FCombo(Combo)
{
    SetPropName("ItemsEx");
}

TComboExItem* TComboExItems::AddItem(const String& Caption, int ImageIndex, int Indent)
{
    BeginUpdate();
    TComboExItem* Item;
    try {
        Item = Add();
        Item->SetCaption(Caption);
        Item->SetImageIndex(ImageIndex);
        Item->SetIndent(Indent);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return Item;
}

void TComboExItems::Notify(TCollectionItem* Item, TCollectionNotification Action)
{
    TCollection::Notify(Item, Action);
    if (FCombo && Action != cnAdded)
        // Compared as collection items: a deleted item is only that by now.
        std::replace(FCombo->FShown.begin(), FCombo->FShown.end(), Item, static_cast<TCollectionItem*>(nullptr));
}

void TComboExItems::Update(TCollectionItem* Item)
{
    if (!FCombo)
        return;
    // One item's caption changed: only its entry changes.
    TStrings* Captions = FCombo->Items();
    const int I = Item ? Item->Index() : -1;
    if (Item && Captions->Count() == Count() && I < static_cast<int>(FCombo->FShown.size()) &&
        FCombo->FShown[size_t(I)] == Item) {
        auto* ExItem = dynamic_cast<TComboExItem*>(Item);
        const String Caption = ExItem ? ExItem->Caption() : String();
        if (Captions->Get(I) != Caption)
            Captions->Put(I, Caption);
        FCombo->Invalidate();
        FCombo->ComboBox()->update();
        return;
    }
    FCombo->ItemsExChanged();
}

// ---------------------------------------------------------------- TCustomComboBoxEx

TCustomComboBoxEx::TCustomComboBoxEx(TComponent* AOwner)
    : TCustomComboBox(AOwner), FItemsEx(std::make_unique<TComboExItems>(this)),
      FImageChangeLink(std::make_unique<TChangeLink>())
{
    FImageChangeLink->OnChange = [this](TObject*) {
        UpdateItemHeight();
        Invalidate();
        ComboBox()->update();
    };
    SetStyle(csOwnerDrawFixed);
    UpdateItemHeight();
}

TCustomComboBoxEx::~TCustomComboBoxEx()
{
    // The image change link leaves the list by itself while the list lives.
    FImageChangeLink.reset();
}

void TCustomComboBoxEx::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages) {
        FImages->UnRegisterChanges(FImageChangeLink.get());
        FImages->RemoveFreeNotification(this);
    }
    FImages = Value;
    if (FImages) {
        FImages->RegisterChanges(FImageChangeLink.get());
        FImages->FreeNotification(this);
    }
    UpdateItemHeight();
    Invalidate();
    ComboBox()->update();
}

void TCustomComboBoxEx::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && FImages && AComponent == FImages) {
        // The list is being destroyed and has let go of the link already.
        FImages = nullptr;
        UpdateItemHeight();
        Invalidate();
    }
}

void TCustomComboBoxEx::FontChanged()
{
    TCustomComboBox::FontChanged();
    UpdateItemHeight();
}

void TCustomComboBoxEx::UpdateItemHeight()
{
    const int TextHeight = Font()->Metrics().tmHeight + 2;
    const int ImageHeight = FImages ? FImages->Height() + 2 : 0;
    const int H = std::max(TextHeight, ImageHeight);
    if (H != ItemHeight())
        SetItemHeight(H);
}

void TCustomComboBoxEx::ItemsExChanged()
{
    // The item selected before, if it is still there.
    const int Old = ItemIndex();
    TCollectionItem* Selected = Old >= 0 && Old < static_cast<int>(FShown.size()) ? FShown[size_t(Old)] : nullptr;
    int Index = -1;
    FShown.clear();
    TStrings* Captions = Items();
    Captions->BeginUpdate();
    try {
        Captions->Clear();
        for (int I = 0; I < FItemsEx->Count(); ++I) {
            // An item tells its collection of itself while it is being made,
            // before it is an image combo's item.
            TCollectionItem* Item = FItemsEx->TCollection::Items(I);
            auto* ExItem = dynamic_cast<TComboExItem*>(Item);
            Captions->Add(ExItem ? ExItem->Caption() : String());
            FShown.push_back(Item);
            if (Item == Selected)
                Index = I;
        }
    } catch (...) {
        Captions->EndUpdate();
        throw;
    }
    Captions->EndUpdate();
    if (!IsLoading())
        SetItemIndex(Index);
    Invalidate();
    ComboBox()->update();
}

void TCustomComboBoxEx::Loaded()
{
    // The items came with the form before the index that names one of them.
    if (Items()->Count() != FItemsEx->Count())
        ItemsExChanged();
    TCustomComboBox::Loaded();
    UpdateItemHeight();
}

TRect TCustomComboBoxEx::ImageRect(int Index, const TRect& Rect, bool InFace) const
{
    const int W = FImages ? FImages->Width() : 0;
    const int H = FImages ? FImages->Height() : 0;
    int Left = Rect.Left + 2;
    if (!InFace && Index >= 0 && Index < FItemsEx->Count())
        Left += FItemsEx->Items(Index)->Indent() * IndentWidth;
    const int Top = Rect.Top + (Rect.Height() - H) / 2;
    return TRect(Left, Top, Left + W, Top + H);
}

int TCustomComboBoxEx::CaptionLeft(int Index, const TRect& Rect, bool InFace) const
{
    const TRect Image = ImageRect(Index, Rect, InFace);
    return FImages ? Image.Right + 4 : Image.Left;
}

void TCustomComboBoxEx::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        TCustomComboBox::DrawItem(Index, Rect, State);
        return;
    }
    TCanvas* C = Canvas();
    C->FillRect(Rect);
    if (Index < 0 || Index >= FItemsEx->Count())
        return;
    const bool InFace = State.testFlag(odComboBoxEdit);
    const TComboExItem* Item = FItemsEx->Items(Index);
    if (FImages && Item->ImageIndex() >= 0 && Item->ImageIndex() < FImages->Count()) {
        const TRect Image = ImageRect(Index, Rect, InFace);
        FImages->Draw(C, Image.Left, Image.Top, Item->ImageIndex(), Enabled());
    }
    const int TH = C->TextHeight("Ag");
    C->Brush()->SetStyle(bsClear);
    C->TextOut(CaptionLeft(Index, Rect, InFace), Rect.Top + (Rect.Height() - TH) / 2, Item->Caption());
    C->Brush()->SetStyle(bsSolid);
}

void RegisterComboExClasses()
{
    RegisterClasses<TComboBoxEx, TComboExItem>();
}

namespace {
[[maybe_unused]] const bool ComboExRegistered = (RegisterComboExClasses(), true);
}
