#include "Classes.h"

#include <QHash>

#include <algorithm>

namespace {

String ListIndexError(int Index)
{
    return "List index out of bounds (" + std::to_string(Index) + ")";
}

} // namespace

// ---------------------------------------------------------------- events

namespace {
QHash<int, TEventTypeInfo>& EventTypes()
{
    static QHash<int, TEventTypeInfo> Types;
    return Types;
}
} // namespace

void RegisterEventType(QMetaType Type, TEventTypeInfo Info)
{
    // Handlers name parameter types as they are spelled in the code; reference
    // parameters are matched by that name, so the aliases must be known.
    static const bool Aliases = [] {
        qRegisterMetaType<String>("String");
        return true;
    }();
    (void)Aliases;
    EventTypes().insert(Type.id(), std::move(Info));
}

bool MethodMatchesEvent(const QMetaMethod& Method, const TEventTypeInfo& Event)
{
    if (Method.parameterCount() != static_cast<int>(Event.Parameters.size()))
        return false;
    for (int I = 0; I < Method.parameterCount(); ++I) {
        const auto A = static_cast<size_t>(I);
        QByteArray Name = QMetaObject::normalizedType(Method.parameterTypeName(I).constData());
        const bool Reference = Name.endsWith('&');
        if (Reference != Event.ByReference[A])
            return false;
        // Qt has no metatype for a reference parameter: look its type up by name.
        QMetaType Type = Reference ? QMetaType::fromName(Name.chopped(1)) : Method.parameterMetaType(I);
        if (!Type.isValid() || Type != Event.Parameters[A])
            return false;
    }
    return true;
}

const TEventTypeInfo* FindEventType(QMetaType Type)
{
    if (!Type.isValid())
        return nullptr;
    auto& Types = EventTypes();
    auto It = Types.constFind(Type.id());
    return It == Types.constEnd() ? nullptr : &*It;
}

// ---------------------------------------------------------------- persistent

TPersistent::~TPersistent() = default;

QObject* TPersistent::ResolveObject()
{
    FObject = dynamic_cast<QObject*>(this);
    return FObject;
}

const QMetaObject* TPersistent::ClassType() const
{
    const QObject* O = AsObject();
    return O ? O->metaObject() : nullptr;
}

String TPersistent::ClassName() const
{
    const QMetaObject* M = ClassType();
    return M ? String(M->className()) : String("TPersistent");
}

bool TPersistent::InheritsFrom(const QMetaObject* Class) const
{
    const QMetaObject* M = ClassType();
    return M && Class && M->inherits(Class);
}

void TPersistent::Assign(TPersistent* Source)
{
    if (!Source)
        throw EConvertError("Cannot assign a nil to a " + ClassName() + ".");
    Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    // Called on the source when the destination did not know this class.
    throw EConvertError("Cannot assign a " + ClassName() + " to a " +
                        (Dest ? Dest->ClassName() : String("nil")) + ".");
}

void TPersistent::DefineProperties(TFiler*) {}

bool TPersistent::IsPropertyStored(const char*) const
{
    return true;
}

String TPersistent::GetNamePath()
{
    return ClassName();
}

// ---------------------------------------------------------------- components

bool IsValidIdent(const String& Ident)
{
    if (Ident.empty())
        return false;
    auto Alpha = [](unsigned char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; };
    if (!Alpha(Ident[0]))
        return false;
    return std::all_of(Ident.begin() + 1, Ident.end(),
                       [&](unsigned char C) { return Alpha(C) || (C >= '0' && C <= '9'); });
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Tell those who asked; each removes us from its own lists.
    while (!FFreeNotifies.empty()) {
        TComponent* C = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& Theirs = C->FFreeNotifies;
        Theirs.erase(std::remove(Theirs.begin(), Theirs.end(), this), Theirs.end());
        C->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

TNonVisualComponent::~TNonVisualComponent()
{
    // Owned components go while this object is still whole, so that their
    // notifications reach an owner of the right class.
    Destroying();
    DestroyComponents();
}

void TComponent::Destroying()
{
    if (FComponentState.testFlag(csDestroying))
        return;
    FComponentState |= csDestroying;
    for (TComponent* C : FComponents)
        C->Destroying();
}

void TComponent::DestroyComponents()
{
    // Deleting one component may delete others (a control deletes its child
    // widgets), so take the last remaining one each time.
    while (!FComponents.empty()) {
        TComponent* C = FComponents.back();
        RemoveFrom(C);
        delete C;
    }
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError(ListIndexError(Index));
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    const auto& L = FOwner->FComponents;
    auto It = std::find(L.begin(), L.end(), this);
    return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

TComponent* TComponent::FindComponent(const String& AName) const
{
    if (AName.empty())
        return nullptr;
    auto It = FNames.find(LowerCase(AName));
    return It == FNames.end() ? nullptr : It->second;
}

void TComponent::IndexName(TComponent* AComponent, const String& OldName)
{
    if (!OldName.empty()) {
        auto It = FNames.find(LowerCase(OldName));
        if (It != FNames.end() && It->second == AComponent)
            FNames.erase(It);
    }
    if (!AComponent->FName.empty())
        FNames[LowerCase(AComponent->FName)] = AComponent;
}

void TComponent::SetName(const String& NewName)
{
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    const String OldName = FName;
    ChangeName(NewName);
    if (FOwner)
        FOwner->IndexName(this, OldName);
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName)
{
    if (AComponent && !SameText(CurName, NewName) && FindComponent(NewName))
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner == this)
        return;
    if (!AComponent->FName.empty())
        ValidateRename(AComponent, String(), AComponent->FName);
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    InsertInto(AComponent);
    if (FComponentState.testFlag(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    RemoveFrom(AComponent);
}

void TComponent::InsertInto(TComponent* AComponent)
{
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    IndexName(AComponent, String());
}

void TComponent::RemoveFrom(TComponent* AComponent)
{
    // Searched from the end: owners free their components last first.
    auto It = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
    if (It != FComponents.rend())
        FComponents.erase(std::next(It).base());
    AComponent->FOwner = nullptr;
    if (!AComponent->FName.empty()) {
        auto It = FNames.find(LowerCase(AComponent->FName));
        if (It != FNames.end() && It->second == AComponent)
            FNames.erase(It);
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Owned components hear of every insertion and removal among them.
    for (size_t I = FComponents.size(); I-- > 0;) {
        if (I >= FComponents.size())
            continue;
        TComponent* C = FComponents[I];
        if (C != AComponent)
            C->Notification(AComponent, Operation);
    }
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (FOwner && AComponent->FOwner == FOwner)
        return; // siblings hear of each other through their owner
    auto Add = [](std::vector<TComponent*>& L, TComponent* C) {
        if (std::find(L.begin(), L.end(), C) == L.end())
            L.push_back(C);
    };
    Add(FFreeNotifies, AComponent);
    Add(AComponent->FFreeNotifies, this);
    FComponentState |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    RemoveNotification(AComponent);
    if (AComponent)
        AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent)
{
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
    if (FFreeNotifies.empty())
        FComponentState &= ~TComponentState(csFreeNotification);
}

void TComponent::SetDesigning(bool Value, bool SetChildren)
{
    SetComponentStateFlag(csDesigning, Value);
    if (SetChildren)
        for (TComponent* C : FComponents)
            C->SetDesigning(Value, true);
}

void TComponent::SetComponentStateFlag(TComponentStateFlag Flag, bool On)
{
    if (On)
        FComponentState |= Flag;
    else
        FComponentState &= ~TComponentState(Flag);
}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    // A root that is not a control stores the components it owns that have
    // no parent of their own; controls list their child controls instead.
    if (Root != this)
        return;
    for (TComponent* C : std::vector<TComponent*>(FComponents))
        if (!C->HasParent())
            Proc(C);
}

void TComponent::BeginLoading()
{
    FComponentState |= csLoading;
}

void TComponent::Loaded()
{
    FComponentState &= ~TComponentState(csLoading);
}

// ---------------------------------------------------------------- collections

TCollectionItem::TCollectionItem(TCollection* ACollection)
{
    if (ACollection)
        SetCollection(ACollection);
}

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (Value == FCollection)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    const auto& L = FCollection->FItems;
    auto It = std::find(L.begin(), L.end(), this);
    return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    int Cur = Index();
    if (Cur >= 0 && Cur != Value) {
        FCollection->MoveItem(this, Value);
        Changed(true);
    }
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

String TCollectionItem::GetDisplayName() const
{
    return ClassName();
}

TPersistent* TCollectionItem::GetOwner()
{
    return FCollection;
}

String TCollectionItem::GetNamePath()
{
    if (FCollection)
        return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
    return ClassName();
}

TCollection::TCollection(const TMetaClass* ItemClass, TPersistent* AOwner)
    : FItemClass(ItemClass), FOwner(AOwner)
{
}

TCollection::~TCollection()
{
    FUpdateCount = 1; // no updates while the items go
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(ListIndexError(Index));
    return FItems[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* I : FItems)
        if (I->FID == ID)
            return I;
    return nullptr;
}

TCollectionItem* TCollection::Add()
{
    if (!FItemClass)
        throw EInvalidOperation("Collection has no item class");
    return FItemClass->CreateItem(this);
}

TCollectionItem* TCollection::Insert(int Index)
{
    TCollectionItem* Item = Add();
    Item->SetIndex(Index);
    return Item;
}

void TCollection::Delete(int Index)
{
    TCollectionItem* Item = Items(Index);
    Notify(Item, cnDeleting);
    delete Item;
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty()) {
            TCollectionItem* Item = FItems.back();
            Notify(Item, cnDeleting);
            delete Item;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Exchange(int Index1, int Index2)
{
    TCollectionItem* A = Items(Index1);
    TCollectionItem* B = Items(Index2);
    FItems[static_cast<size_t>(Index1)] = B;
    FItems[static_cast<size_t>(Index2)] = A;
    Changed();
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::InsertItem(TCollectionItem* Item)
{
    // Items join from their constructor, before their own class is built, so
    // neither Notify nor Update may look at more than the base item here.
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    Notify(Item, cnExtracting);
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
    Item->FCollection = nullptr;
    Changed();
}

void TCollection::MoveItem(TCollectionItem* Item, int NewIndex)
{
    NewIndex = std::clamp(NewIndex, 0, Count() - 1);
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
    FItems.insert(FItems.begin() + NewIndex, Item);
}

void TCollection::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TCollection*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* I : Other->FItems)
            Add()->Assign(I);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

String TCollection::GetNamePath()
{
    String Path = FOwner ? FOwner->GetNamePath() : String();
    if (Path.empty() || FPropName.empty())
        return ClassName();
    return Path + "." + FPropName;
}

// ---------------------------------------------------------------- class registry

namespace {
struct TClassRegistry {
    std::map<String, std::unique_ptr<TMetaClass>> ByName; // lower-case names
    std::map<const QMetaObject*, const TMetaClass*> ByMeta;
};
TClassRegistry& Registry()
{
    static TClassRegistry R;
    return R;
}
String Lower(String S)
{
    for (char& C : S)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return S;
}
} // namespace

const TMetaClass* RegisterClassRef(TMetaClass Class)
{
    auto& R = Registry();
    auto It = R.ByMeta.find(Class.Meta());
    if (It != R.ByMeta.end())
        return It->second;
    auto Owned = std::make_unique<TMetaClass>(std::move(Class));
    const TMetaClass* P = Owned.get();
    R.ByName[Lower(P->ClassName())] = std::move(Owned);
    R.ByMeta[P->Meta()] = P;
    return P;
}

const TMetaClass* GetClass(const String& ClassName)
{
    auto& R = Registry();
    auto It = R.ByName.find(Lower(ClassName));
    return It == R.ByName.end() ? nullptr : It->second.get();
}

const TMetaClass* FindClass(const String& ClassName)
{
    if (const TMetaClass* C = GetClass(ClassName))
        return C;
    throw EClassNotFound("Class " + ClassName + " not found");
}

const TMetaClass* GetClass(const QMetaObject* Meta)
{
    auto& R = Registry();
    auto It = R.ByMeta.find(Meta);
    return It == R.ByMeta.end() ? nullptr : It->second;
}

TComponent* TMetaClass::CreateComponent(TComponent* AOwner) const
{
    if (!FNewComponent)
        throw EInvalidCast("Cannot create an instance of " + ClassName() + " as a component");
    return FNewComponent(AOwner);
}

TCollectionItem* TMetaClass::CreateItem(TCollection* ACollection) const
{
    if (!FNewItem)
        throw EInvalidCast("Cannot create an instance of " + ClassName() + " as a collection item");
    return FNewItem(ACollection);
}

TPersistent* TMetaClass::CreatePersistent() const
{
    if (!FNewPersistent)
        throw EInvalidCast("Cannot create an instance of " + ClassName());
    return FNewPersistent();
}
