// The owned collection: items, notifications, the companion and its lifetime.
#include <gtest/gtest.h>

#include <QPointer>

#include "nvCollection.h"
#include "nvCommonTestClasses.h"

namespace {

TEST(nvCollection, AddsItemsOfItsClassWithTheFrameworkNotifications)
{
    TTestCollection C(ClassOf<TTestItem>());
    TnvCollectionItem* A = C.AddItem();
    TnvCollectionItem* B = C.AddItem();
    ASSERT_NE(dynamic_cast<TTestItem*>(A), nullptr);
    EXPECT_EQ(C.Count(), 2);
    EXPECT_EQ(C.Item(0), A);
    EXPECT_EQ(C.Item(1), B);
    EXPECT_EQ(A->NvCollection(), &C);
    EXPECT_EQ(C.Log, (std::vector<String>{"Notify(added)", "Update(all)", "Notify(added)", "Update(all)"}));
    EXPECT_THROW(C.Item(2), EListError);
    EXPECT_THROW(C.Item(-1), EListError);

    C.Log.clear();
    C.Delete(0);
    EXPECT_EQ(C.Log, (std::vector<String>{"Notify(deleting)", "Notify(extracting)", "Update(all)"}));
    EXPECT_EQ(C.Item(0), B);
}

TEST(nvCollection, ItemOperations)
{
    TnvCollection C(ClassOf<TnvCollectionItem>());
    TnvCollectionItem* Item = C.AddItem();
    std::vector<TObject*> Senders;
    Item->OnNotify = [&](TObject* Sender) { Senders.push_back(Sender); };
    Item->Changed();
    Item->Changed();
    EXPECT_EQ(Senders, (std::vector<TObject*>{Item, Item}));
    Item->OnNotify = nullptr;
    Item->Changed(); // unassigned: nothing
    EXPECT_EQ(Senders.size(), 2u);

    EXPECT_EQ(Item->GetControl(), nullptr);
    Item->ItemNotify(1, 2);
    Item->Activate();
    Item->ControlChanged(); // no companion: nothing

    TnvCollectionItem Loose;
    EXPECT_EQ(Loose.NvCollection(), nullptr);
    Loose.ControlChanged();
}

TEST(nvCollection, RejectsItemClassesOutsideTheSuite)
{
    EXPECT_THROW({ TnvCollection C(ClassOf<TPlainItem>()); }, EInvalidCast);
    EXPECT_THROW({ TnvCollection C(nullptr); }, EInvalidCast);
}

TEST(nvCollection, CompanionRefreshesAndIsOwned)
{
    std::vector<String> Destroyed;
    QPointer<TTestCompanion> First;
    {
        TTestCollection C(ClassOf<TTestItem>());
        auto* Item = static_cast<TTestItem*>(C.AddItem());
        Item->Destroyed = &Destroyed;
        First = new TTestCompanion;
        C.SetCompanion(First);
        EXPECT_EQ(C.Companion(), First.data());
        Item->ControlChanged();
        C.RefreshCompanion();
        EXPECT_EQ(First->Refreshes, 2);

        // The status bar's way: the item-level event is the companion refresh.
        Item->OnNotify = [&C](TObject*) { C.RefreshCompanion(); };
        Item->Changed();
        EXPECT_EQ(First->Refreshes, 3);

        // A new companion replaces (and deletes) the old one.
        auto* Second = new TTestCompanion;
        Second->Destroyed = &Destroyed;
        C.SetCompanion(Second);
        EXPECT_TRUE(First.isNull());
        C.SetCompanion(Second); // the same one: kept
        EXPECT_EQ(C.Companion(), Second);

        // A companion without a refresh operation is left alone.
        QPointer<QObject> Plain = new QObject;
        C.SetCompanion(Plain);
        C.RefreshCompanion();
        C.SetCompanion(nullptr);
        EXPECT_TRUE(Plain.isNull());

        C.SetCompanion(Second = new TTestCompanion);
        Second->Destroyed = &Destroyed;
        Destroyed.clear();
    }
    // The items go first, while the companion still exists.
    EXPECT_EQ(Destroyed, (std::vector<String>{"item, companion alive", "companion"}));
}

} // namespace
