// The owned collection of the suite: the base of button group items, outlook
// pages, status panels and outlook list items.
#pragma once

#include <QObject>

#include <memory>

#include "Classes.h"
#include "Controls.h"

class TnvCollection;

// An item of a TnvCollection.
class TnvCollectionItem : public TCollectionItem {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TnvCollectionItem(TCollection* ACollection = nullptr);
    ~TnvCollectionItem() override;

    // A notification with two arguments for descendants; nothing here.
    virtual void ItemNotify(intptr_t A, intptr_t B);
    // Calls OnNotify with the item when assigned.
    virtual void Changed();
    using TCollectionItem::Changed;
    // The control that stands for the item; none here.
    virtual TControl* GetControl() const;
    // Makes the item the active one; nothing here.
    virtual void Activate();

    // The collection as a TnvCollection (null when it is another or none).
    TnvCollection* NvCollection() const;
    // To be called when the control that stands for the item changes: asks
    // the collection's companion to refresh.
    void ControlChanged();

    // The item-level notify event (its Sender is the item).
    TNotifyEvent OnNotify;
};

// A collection of TnvCollectionItem descendants. It may own a companion
// object (an editor or a view of the items) that refreshes when an item's
// control changes.
class TnvCollection : public TCollection {
    Q_OBJECT
public:
    // ItemClass must be TnvCollectionItem or a descendant (EInvalidCast otherwise).
    explicit TnvCollection(const TMetaClass* ItemClass, TPersistent* AOwner = nullptr);
    ~TnvCollection() override;

    // Replaces the companion (the old one is deleted); the collection owns it
    // and deletes it with itself. Null removes it.
    virtual void SetCompanion(QObject* Companion);
    QObject* Companion() const { return FCompanion.get(); }
    // Adds an item of the item class.
    virtual TnvCollectionItem* AddItem();
    // The item at Index (EListError outside the list).
    TnvCollectionItem* Item(int Index) const;
    // Calls the companion's "Refresh()" method (a slot or Q_INVOKABLE) when
    // there is a companion that has one.
    void RefreshCompanion();

private:
    std::unique_ptr<QObject> FCompanion;
};
