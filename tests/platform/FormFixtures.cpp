#include "FormFixtures.h"

void RegisterShadeIdents()
{
    RegisterIntegerIdents(QMetaType::fromType<TShade>(),
                          TIntegerIdents{[](int64_t V, String& Ident) {
                                             if (V == shDark)
                                                 Ident = "shDark";
                                             else if (V == shLight)
                                                 Ident = "shLight";
                                             else
                                                 return false;
                                             return true;
                                         },
                                         [](const String& Ident, int64_t& V) {
                                             if (Ident == "shDark")
                                                 V = shDark;
                                             else if (Ident == "shLight")
                                                 V = shLight;
                                             else
                                                 return false;
                                             return true;
                                         }});
}

void TFixtureFont::Assign(TPersistent* Source)
{
    if (auto* F = dynamic_cast<TFixtureFont*>(Source)) {
        FHeight = F->FHeight;
        FName = F->FName;
        FStyle = F->FStyle;
        return;
    }
    TPersistent::Assign(Source);
}

void TFixtureItem::Assign(TPersistent* Source)
{
    if (auto* I = dynamic_cast<TFixtureItem*>(Source)) {
        FCaption = I->FCaption;
        FWidth = I->FWidth;
        return;
    }
    TPersistent::Assign(Source);
}

void TFixtureItems::Update(TCollectionItem* Item)
{
    Log.push_back(Item ? "update " + static_cast<TFixtureItem*>(Item)->Caption() : String("update all"));
}

void TFixtureItems::Notify(TCollectionItem* Item, TCollectionNotification Action)
{
    static const char* Names[] = {"added", "extracting", "deleting"};
    Log.push_back(String(Names[static_cast<int>(Action)]) + " " + std::to_string(Item->ID()));
}

TFixtureComponent::TFixtureComponent(TComponent* AOwner) : TNonVisualComponent(AOwner)
{
    ++TLiveCount::Value();
    FItems->SetPropName("Items");
}

TFixtureComponent::~TFixtureComponent()
{
    --TLiveCount::Value();
}

void TFixtureComponent::SetBuddy(TFixtureComponent* V)
{
    if (FBuddy == V)
        return;
    FBuddy = V;
    if (V)
        V->FreeNotification(this);
}

void TFixtureComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    TNonVisualComponent::Notification(AComponent, Operation);
    if (RecordNotifications)
        Notifications.emplace_back(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy)
        FBuddy = nullptr;
}

void TFixtureComponent::Loaded()
{
    TNonVisualComponent::Loaded();
    ++LoadedCalls;
    BuddyKnownAtLoaded = FBuddy != nullptr;
}

void TFixtureComponent::DefineProperties(TFiler* Filer)
{
    TNonVisualComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "BlobData",
        [this](TStream& S) {
            Blob.resize(static_cast<size_t>(S.Size()));
            if (!Blob.empty())
                S.ReadBuffer(Blob.data(), S.Size());
        },
        [this](TStream& S) { S.WriteBuffer(Blob.data(), static_cast<int64_t>(Blob.size())); }, !Blob.empty());
    Filer->DefineProperty(
        "NumberList",
        [this](TReader& R) {
            Numbers.clear();
            R.ReadListBegin();
            while (!R.EndOfList())
                Numbers.push_back(static_cast<int>(R.ReadInteger()));
            R.ReadListEnd();
        },
        [this](TWriter& W) {
            W.WriteListBegin();
            for (int N : Numbers)
                W.WriteInteger(N);
            W.WriteListEnd();
        },
        !Numbers.empty());
}

void TFixtureForm::ThingChange(TObject* Sender)
{
    auto* C = dynamic_cast<TComponent*>(Sender);
    Calls.push_back("change " + (C ? C->Name() : String("?")));
}

void TFixtureForm::ThingAllow(TObject*, bool& Allow)
{
    Calls.push_back("allow");
    Allow = false;
}

void TFixtureForm::WrongShape(int) {}

void TFixtureLoadForm::Loaded()
{
    TFixtureForm::Loaded();
    ++LoadedTotal();
    for (int I = 0; I < ComponentCount(); ++I) {
        auto* C = dynamic_cast<TFixtureComponent*>(Components(I));
        CaptionsAtLoaded.push_back(C ? C->Caption() : String("?"));
    }
}

TFixtureControl::~TFixtureControl()
{
    // Owned components go while this object is still whole.
    Destroying();
    DestroyComponents();
    --TLiveCount::Value();
}

void TFixtureControl::SetParentComponent(TComponent* Value)
{
    auto* W = dynamic_cast<QWidget*>(Value);
    if (Value && !W)
        throw EInvalidOperation("Control '" + Name() + "' cannot have a " + Value->ClassName() + " as parent");
    setParent(W);
}

void TFixtureControl::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (QObject* O : children())
        if (auto* C = dynamic_cast<TFixtureControl*>(O); C && C->Owner() == Root)
            Proc(C);
}

void TFixtureWindow::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TComponent::GetChildren(Proc, Root); // components without a parent
    TFixtureControl::GetChildren(Proc, Root);
}

void RegisterFixtureClasses()
{
    RegisterClasses<TFixtureFont, TFixtureItem, TFixtureComponent, TFixtureForm, TFixtureLoadForm,
                    TFixtureControl, TFixtureWindow>();
    RegisterShadeIdents();
}
