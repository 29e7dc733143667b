#include <gtest/gtest.h>

#include "FormFixtures.h"

namespace {

class ClassesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFixtureClasses();
        Live = TLiveCount::Value();
    }
    void TearDown() override { EXPECT_EQ(TLiveCount::Value(), Live) << "components leaked"; }
    int Live = 0;
};

template <class E>
String MessageOf(const std::function<void()>& F)
{
    try {
        F();
    } catch (const E& Ex) {
        return Ex.Message();
    }
    return "<no exception>";
}

} // namespace

TEST_F(ClassesTest, OwnerDestroysOwnedComponentsAndTheyLeaveTheirOwner)
{
    auto* Owner = new TFixtureComponent();
    auto* A = new TFixtureComponent(Owner);
    auto* B = new TFixtureComponent(Owner);
    auto* C = new TFixtureComponent(Owner);
    A->SetName("A");
    B->SetName("B");
    C->SetName("C");
    ASSERT_EQ(Owner->ComponentCount(), 3);
    EXPECT_EQ(B->ComponentIndex(), 1);
    EXPECT_EQ(B->Owner(), Owner);

    delete B;
    ASSERT_EQ(Owner->ComponentCount(), 2);
    EXPECT_EQ(Owner->Components(1), C);
    EXPECT_THROW(Owner->Components(2), EListError);

    // Owned components hear of each other's removal.
    delete C;
    bool SawRemove = false;
    for (auto& [Comp, Op] : A->Notifications)
        SawRemove |= Comp == C && Op == opRemove;
    EXPECT_TRUE(SawRemove);
    delete Owner; // takes A with it; the fixture counts that nothing is left
}

TEST_F(ClassesTest, NamesAreValidatedAndFoundWithoutRegardToCase)
{
    TFixtureComponent Owner;
    auto* A = new TFixtureComponent(&Owner);
    auto* B = new TFixtureComponent(&Owner);
    A->SetName("Button1");
    EXPECT_EQ(Owner.FindComponent("BUTTON1"), A);
    EXPECT_EQ(Owner.FindComponent("Button2"), nullptr);
    EXPECT_EQ(MessageOf<EComponentError>([&] { B->SetName("button1"); }),
              "A component named button1 already exists");
    EXPECT_EQ(MessageOf<EComponentError>([&] { B->SetName("1abc"); }), "'1abc' is not a valid component name");
    EXPECT_EQ(MessageOf<EComponentError>([&] { B->SetName("a b"); }), "'a b' is not a valid component name");
    A->SetName("BUTTON1"); // a change of case only is not a clash with itself
    EXPECT_EQ(A->Name(), "BUTTON1");
    B->SetName("");
    B->SetName("_x9");
    EXPECT_EQ(Owner.FindComponent("_X9"), B);
}

TEST_F(ClassesTest, FreeNotificationTellsComponentsOfOtherOwners)
{
    TFixtureComponent OwnerA, OwnerB;
    auto* Watcher = new TFixtureComponent(&OwnerA);
    auto* Watched = new TFixtureComponent(&OwnerB);
    Watcher->SetBuddy(Watched);
    EXPECT_TRUE(Watched->ComponentState().testFlag(csFreeNotification));
    delete Watched;
    EXPECT_EQ(Watcher->Buddy(), nullptr);

    // The link goes both ways: a watcher destroyed first is forgotten.
    auto* Watched2 = new TFixtureComponent(&OwnerB);
    auto* Watcher2 = new TFixtureComponent(&OwnerA);
    Watcher2->SetBuddy(Watched2);
    delete Watcher2;
    EXPECT_FALSE(Watched2->ComponentState().testFlag(csFreeNotification));
    delete Watched2;
}

TEST_F(ClassesTest, ControlsDeletedByTheirParentWidgetLeaveTheirOwner)
{
    auto* Form = new TFixtureWindow();
    auto* Panel = new TFixtureControl(Form);
    auto* Button = new TFixtureControl(Form);
    Panel->SetName("Panel1");
    Button->SetName("Button1");
    Button->SetParentComponent(Panel);
    ASSERT_EQ(Form->ComponentCount(), 2);
    delete Panel; // Qt deletes the button with its parent widget
    EXPECT_EQ(Form->ComponentCount(), 0);
    EXPECT_EQ(Form->FindComponent("Button1"), nullptr);
    delete Form;
}

TEST_F(ClassesTest, AssignReportsClassesThatCannotBeAssigned)
{
    TFixtureFont A, B;
    A.SetHeight(-20);
    A.SetStyle(stBold | stItalic);
    B.Assign(&A);
    EXPECT_EQ(B.Height(), -20);
    EXPECT_EQ(B.Style(), stBold | stItalic);

    TFixtureItem Item;
    EXPECT_EQ(MessageOf<EConvertError>([&] { B.Assign(&Item); }), "Cannot assign a TFixtureItem to a TFixtureFont.");
    EXPECT_EQ(MessageOf<EConvertError>([&] { B.Assign(nullptr); }), "Cannot assign a nil to a TFixtureFont.");
    EXPECT_EQ(A.ClassName(), "TFixtureFont");
}

TEST_F(ClassesTest, CollectionKeepsItsItemsInOrderAndTellsItsOwner)
{
    TFixtureItems Items;
    auto* A = static_cast<TFixtureItem*>(Items.Add());
    A->SetCaption("a");
    auto* B = static_cast<TFixtureItem*>(Items.Add());
    B->SetCaption("b");
    auto* C = static_cast<TFixtureItem*>(Items.Insert(0));
    C->SetCaption("c");
    ASSERT_EQ(Items.Count(), 3);
    EXPECT_EQ(Items[0], C);
    EXPECT_EQ(C->Index(), 0);
    EXPECT_EQ(A->ID(), 0);
    EXPECT_EQ(C->ID(), 2);
    EXPECT_EQ(Items.FindItemID(1), B);

    B->SetIndex(0); // moving an item
    EXPECT_EQ(Items[0], B);
    EXPECT_EQ(Items[1], C);
    EXPECT_EQ(Items[2], A);

    Items.Log.clear();
    Items.BeginUpdate();
    A->SetCaption("a2");
    Items.Delete(1);
    EXPECT_TRUE(Items.Log == (std::vector<String>{"deleting 2", "extracting 2"})) << Items.Log.size();
    Items.EndUpdate();
    EXPECT_EQ(Items.Log.back(), "update all");
    EXPECT_EQ(Items.Count(), 2);
    EXPECT_THROW(Items.Items(2), EListError);

    // Item IDs are never reused.
    EXPECT_EQ(Items.Add()->ID(), 3);

    TFixtureItems Copy;
    Copy.Assign(&Items);
    ASSERT_EQ(Copy.Count(), 3);
    EXPECT_EQ(ItemAs<TFixtureItem>(&Copy, 1)->Caption(), "a2");

    // Deleting an item directly takes it out of its collection.
    delete Copy.Items(0);
    EXPECT_EQ(Copy.Count(), 2);
}

TEST_F(ClassesTest, RegistryCreatesClassesByName)
{
    EXPECT_EQ(GetClass("tfixturecomponent"), ClassOf<TFixtureComponent>());
    EXPECT_EQ(GetClass("TNoSuchClass"), nullptr);
    EXPECT_EQ(MessageOf<EClassNotFound>([] { FindClass("TNoSuchClass"); }), "Class TNoSuchClass not found");

    TFixtureComponent Owner;
    TComponent* C = FindClass("TFixtureForm")->CreateComponent(&Owner);
    EXPECT_EQ(C->ClassName(), "TFixtureForm");
    EXPECT_EQ(C->Owner(), &Owner);
    EXPECT_TRUE(ClassOf<TFixtureForm>()->InheritsFrom(ClassOf<TFixtureComponent>()));
    EXPECT_FALSE(ClassOf<TFixtureComponent>()->InheritsFrom(ClassOf<TFixtureForm>()));
    EXPECT_THROW(ClassOf<TFixtureItem>()->CreateComponent(&Owner), EInvalidCast);

    auto* Font = dynamic_cast<TFixtureFont*>(FindClass("TFixtureFont")->CreatePersistent());
    ASSERT_NE(Font, nullptr);
    delete Font;
    EXPECT_THROW(CheckedCast<TFixtureForm>(static_cast<TComponent*>(&Owner)), EInvalidCast);
}

TEST_F(ClassesTest, EventsAreSingleCastNullableAndPassReferences)
{
    TFixtureComponent C;
    EXPECT_FALSE(C.OnChange);
    C.OnChange(&C); // calling an empty event does nothing

    int Calls = 0;
    C.OnChange = [&](TObject* Sender) { Calls += Sender == &C ? 1 : 100; };
    C.OnChange(&C);
    C.OnChange = [&](TObject*) { Calls += 10; }; // replaces, does not add
    C.OnChange(&C);
    EXPECT_EQ(Calls, 11);
    C.OnChange = nullptr;
    EXPECT_FALSE(C.OnChange);

    C.OnAllow = [](TObject*, bool& Allow) { Allow = false; };
    bool Allow = true;
    C.OnAllow(&C, Allow);
    EXPECT_FALSE(Allow);
}
