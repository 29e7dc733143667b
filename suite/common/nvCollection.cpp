// The owned collection of the suite (see nvCollection.h).
#include "nvCollection.h"

#include <QMetaMethod>

// ---------------------------------------------------------------- TnvCollectionItem

TnvCollectionItem::TnvCollectionItem(TCollection* ACollection) : TCollectionItem(ACollection) {}

TnvCollectionItem::~TnvCollectionItem() = default;

void TnvCollectionItem::ItemNotify(intptr_t, intptr_t) {}

void TnvCollectionItem::Changed()
{
    if (OnNotify)
        OnNotify(this);
}

TControl* TnvCollectionItem::GetControl() const
{
    return nullptr;
}

void TnvCollectionItem::Activate() {}

TnvCollection* TnvCollectionItem::NvCollection() const
{
    return dynamic_cast<TnvCollection*>(Collection());
}

void TnvCollectionItem::ControlChanged()
{
    if (TnvCollection* C = NvCollection())
        C->RefreshCompanion();
}

// ---------------------------------------------------------------- TnvCollection

namespace {

const TMetaClass* CheckItemClass(const TMetaClass* ItemClass)
{
    if (!ItemClass || !ItemClass->InheritsFrom(&TnvCollectionItem::staticMetaObject))
        throw EInvalidCast("The items of a suite collection must derive from TnvCollectionItem (" +
                           (ItemClass ? ItemClass->ClassName() : String("no class")) + ")");
    return ItemClass;
}

} // namespace

TnvCollection::TnvCollection(const TMetaClass* ItemClass, TPersistent* AOwner)
    : TCollection(CheckItemClass(ItemClass), AOwner)
{
}

TnvCollection::~TnvCollection()
{
    // The items go first, while the companion they may refer to still exists.
    BeginUpdate();
    while (Count() > 0)
        delete Items(Count() - 1);
    FCompanion.reset();
}

void TnvCollection::SetCompanion(QObject* Companion)
{
    if (Companion == FCompanion.get())
        return;
    FCompanion.reset(Companion);
}

TnvCollectionItem* TnvCollection::AddItem()
{
    return CheckedCast<TnvCollectionItem>(Add());
}

TnvCollectionItem* TnvCollection::Item(int Index) const
{
    return static_cast<TnvCollectionItem*>(Items(Index));
}

void TnvCollection::RefreshCompanion()
{
    QObject* C = FCompanion.get();
    if (!C)
        return;
    const int Index = C->metaObject()->indexOfMethod("Refresh()");
    if (Index >= 0)
        C->metaObject()->method(Index).invoke(C, Qt::DirectConnection);
}
