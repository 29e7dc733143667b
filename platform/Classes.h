// Component model: persistent objects, components with owners and names,
// owned collections, the class registry and single-cast events.
//
// Every object of the model is a QObject, so its published properties are
// Q_PROPERTY declarations read and written through Qt's meta-object system
// (see TypInfo.h). TPersistent and TComponent are mix-ins beside QObject,
// because controls are QWidgets and a class can have only one QObject base:
//
//     class TFont : public QObject, public TPersistent { Q_OBJECT ... };
//     class TTimer : public QObject, public TComponent { Q_OBJECT ... };
//     class TControl : public QWidget, public TComponent { Q_OBJECT ... };
#pragma once

#include <QFlags>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaType>
#include <QObject>

#include <functional>
#include <map>
#include <unordered_map>
#include <memory>
#include <vector>

#include "SysUtils.h"

using TObject = QObject;

class TPersistent;
class TComponent;
class TCollection;
class TCollectionItem;
class TFiler;
class TMetaClass;

// ---------------------------------------------------------------- events

class TMethodBinding;

// A single-cast, assignable, nullable method pointer. It calls a C++ callable,
// or a method of a form bound by name (which is what the form writer stores).
// Arguments may be references: a handler taking `bool& Allow` can change it.
//
//     using TNotifyEvent = TEvent<TObject*>;
//     Button->OnClick = [](TObject* Sender) { ... };
//     if (OnClick) OnClick(this);
template <class... Args>
class TEvent {
public:
    TEvent() = default;
    TEvent(std::nullptr_t) {}
    template <class F,
              class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TEvent> &&
                                       std::is_invocable_v<F&, Args...>>>
    TEvent(F&& Callable) : FCall(std::forward<F>(Callable)) {}

    void operator()(Args... args) const
    {
        if (FCall)
            FCall(std::forward<Args>(args)...);
    }
    explicit operator bool() const { return static_cast<bool>(FCall); }
    bool Assigned() const { return static_cast<bool>(FCall); }

    // The object and method a form file named for this event, or null/empty.
    QObject* Target() const { return FTarget; }
    const QByteArray& MethodName() const { return FMethodName; }

    // Binds the event to method number `MethodIndex` of Target's meta-object.
    // The caller has checked that the parameter types match.
    void BindMethod(QObject* Target, int MethodIndex, const QByteArray& Name)
    {
        FTarget = Target;
        FMethodName = Name;
        FCall = [Target, MethodIndex](Args... args) {
            void* argv[] = {nullptr, const_cast<void*>(static_cast<const void*>(std::addressof(args)))...};
            Target->qt_metacall(QMetaObject::InvokeMetaMethod, MethodIndex, argv);
        };
    }

    static std::vector<QMetaType> ParameterTypes()
    {
        return {QMetaType::fromType<std::remove_cvref_t<Args>>()...};
    }
    // Which parameters are passed by (non-const) reference.
    static std::vector<bool> ReferenceParameters()
    {
        return {(std::is_lvalue_reference_v<Args> && !std::is_const_v<std::remove_reference_t<Args>>)...};
    }

    friend bool operator==(const TEvent& E, std::nullptr_t) { return !E.FCall; }
    // Two events are equal when both are empty or both name the same method of
    // the same object; callables cannot be compared and count as different.
    friend bool operator==(const TEvent& A, const TEvent& B)
    {
        if (!A.FCall || !B.FCall)
            return !A.FCall && !B.FCall;
        return !A.FMethodName.isEmpty() && A.FTarget == B.FTarget && A.FMethodName == B.FMethodName;
    }

private:
    std::function<void(Args...)> FCall;
    QObject* FTarget = nullptr;
    QByteArray FMethodName;
};

// What the form reader and writer need to know of an event type: how to bind
// a named method into a value of that type, and what the value is bound to.
struct TEventTypeInfo {
    std::vector<QMetaType> Parameters;
    std::vector<bool> ByReference;
    std::function<void(void* Event, QObject* Target, int MethodIndex, const QByteArray& Name)> Bind;
    std::function<QObject*(const void* Event)> Target;
    std::function<QByteArray(const void* Event)> MethodName;
};

void RegisterEventType(QMetaType Type, TEventTypeInfo Info);
const TEventTypeInfo* FindEventType(QMetaType Type);
// True when a method's parameters are exactly those of the event, references
// included, so that the method can be bound to it.
bool MethodMatchesEvent(const QMetaMethod& Method, const TEventTypeInfo& Event);

template <class... Args>
bool RegisterEventTypeOf()
{
    using E = TEvent<Args...>;
    RegisterEventType(QMetaType::fromType<E>(),
                      TEventTypeInfo{E::ParameterTypes(), E::ReferenceParameters(),
                                     [](void* Ev, QObject* T, int Index, const QByteArray& Name) {
                                         static_cast<E*>(Ev)->BindMethod(T, Index, Name);
                                     },
                                     [](const void* Ev) { return static_cast<const E*>(Ev)->Target(); },
                                     [](const void* Ev) { return static_cast<const E*>(Ev)->MethodName(); }});
    return true;
}

// Each event type used as a published property declares itself once:
// ZEN_EVENT_TYPE(TNotifyEvent) after the using-declaration.
#define ZEN_EVENT_TYPE(Name)                                                               \
    Q_DECLARE_METATYPE(Name)                                                               \
    namespace ZenEventRegistration {                                                       \
    [[maybe_unused]] inline const bool Name##Registered = ::RegisterEventTypeFor<Name>();  \
    }

template <class E>
struct TEventRegistrar;
template <class... Args>
struct TEventRegistrar<TEvent<Args...>> {
    static bool Register() { return RegisterEventTypeOf<Args...>(); }
};
template <class E>
bool RegisterEventTypeFor()
{
    return TEventRegistrar<E>::Register();
}

using TNotifyEvent = TEvent<TObject*>;
ZEN_EVENT_TYPE(TNotifyEvent)

// ---------------------------------------------------------------- persistent

// An object with published properties that can be assigned from another and
// stored in a form file.
class TPersistent {
public:
    virtual ~TPersistent();

    // The QObject that carries the published properties (this object itself).
    QObject* AsObject() { return FObject ? FObject : ResolveObject(); }
    const QObject* AsObject() const { return const_cast<TPersistent*>(this)->AsObject(); }
    // The class name exactly as the class is declared ("TnvShapeBtn").
    String ClassName() const;
    const QMetaObject* ClassType() const;
    bool InheritsFrom(const QMetaObject* Class) const;

    // Copies Source into this object, or asks Source to copy itself into this
    // object; raises EConvertError "Cannot assign a X to a Y." when neither can.
    virtual void Assign(TPersistent* Source);

    // Named binary or text properties of the object's own (see FormStream.h).
    virtual void DefineProperties(TFiler* Filer);
    // Whether the form writer stores a published property now (a colour
    // taken from the parent is not stored, for example). Properties declared
    // with STORED false are never stored.
    virtual bool IsPropertyStored(const char* Name) const;
    // The object whose sub-object this one is, for name paths in messages.
    virtual TPersistent* GetOwner() { return nullptr; }
    virtual String GetNamePath();

protected:
    virtual void AssignTo(TPersistent* Dest);

private:
    QObject* ResolveObject();
    QObject* FObject = nullptr;
};

// A persistent object that is nothing but a QObject with properties.
class TPersistentObject : public QObject, public TPersistent {
    Q_OBJECT
public:
    explicit TPersistentObject(QObject* parent = nullptr) : QObject(parent) {}
};

// ---------------------------------------------------------------- components

enum class TOperation { opInsert, opRemove };
using enum TOperation;

enum TComponentStateFlag : unsigned {
    csLoading = 0x1,
    csReading = 0x2,
    csWriting = 0x4,
    csDestroying = 0x8,
    csDesigning = 0x10,
    csAncestor = 0x20,
    csUpdating = 0x40,
    csFixups = 0x80,
    csFreeNotification = 0x100,
    csInline = 0x200,
    csDesignInstance = 0x400,
};
Q_DECLARE_FLAGS(TComponentState, TComponentStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TComponentState)

using TGetChildProc = std::function<void(TComponent*)>;

// A component: owned by another component that destroys it, named uniquely
// among the components of its owner, told of loading and of the destruction
// of components it asked to be told about.
//
// Destruction order: a component marks itself destroying, tells the
// components that asked for free notification, destroys the components it
// owns (last added first) and removes itself from its owner. A control
// deleted by Qt's parent/child deletion goes through the same steps.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    const String& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier or that
    // another component of the same owner already has.
    virtual void SetName(const String& NewName);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    // The owned component with this name (case-insensitive), or null.
    TComponent* FindComponent(const String& AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();

    TComponentState ComponentState() const { return FComponentState; }
    bool IsLoading() const { return FComponentState.testFlag(csLoading); }
    bool IsDestroying() const { return FComponentState.testFlag(csDestroying); }
    bool IsDesigning() const { return FComponentState.testFlag(csDesigning); }
    void SetDesigning(bool Value, bool SetChildren = true);

    // Asks to be told (through Notification) when AComponent is destroyed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Marks this component and the components it owns as being destroyed.
    virtual void Destroying();

    // The stored-form hierarchy: the component that contains this one in the
    // form file (a control's parent), and this component's own children.
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Value);
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    // The owner of a child of class ChildClass read from a form file inside
    // this component; null: the form's root (the usual case). A component
    // that stores components it owns itself among its children names itself.
    virtual TComponent* GetChildOwner(const TMetaClass* ChildClass)
    {
        (void)ChildClass;
        return nullptr;
    }

    // Loading protocol used by the form reader.
    virtual void BeginLoading();
    virtual void Loaded();
    // A load that failed: the loading state ends without Loaded, which is
    // for a component that was read whole.
    void AbandonLoading() { FComponentState &= ~TComponentState(csLoading | csReading); }
    void BeginReading() { FComponentState |= csReading; }
    void EndReading() { FComponentState &= ~TComponentState(csReading); }
    void BeginWriting() { FComponentState |= csWriting; }
    void EndWriting() { FComponentState &= ~TComponentState(csWriting); }

    TPersistent* GetOwner() override { return FOwner; }
    String GetNamePath() override { return FName; }

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
    virtual void ChangeName(const String& NewName) { FName = NewName; }
    void SetComponentStateFlag(TComponentStateFlag Flag, bool On);

private:
    void InsertInto(TComponent* AComponent);
    void RemoveFrom(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);
    void IndexName(TComponent* AComponent, const String& OldName);

    TComponent* FOwner = nullptr;
    String FName;
    intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    // Owned components by lower-case name, so lookups stay fast on large forms.
    std::unordered_map<String, TComponent*> FNames;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
};

// A component that is a plain QObject (no window).
class TNonVisualComponent : public QObject, public TComponent {
    Q_OBJECT
public:
    explicit TNonVisualComponent(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    ~TNonVisualComponent() override;
};

bool IsValidIdent(const String& Ident);

// ---------------------------------------------------------------- collections

// An item of an owned collection. Items are QObjects with published properties
// and know their collection; an item's Index can be changed to move it.
class TCollectionItem : public QObject, public TPersistent {
    Q_OBJECT
public:
    explicit TCollectionItem(TCollection* ACollection = nullptr);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int ID() const { return FID; }
    int Index() const;
    virtual void SetIndex(int Value);
    virtual String GetDisplayName() const;
    String GetNamePath() override;
    TPersistent* GetOwner() override;

protected:
    // Tells the collection that this item changed (all items when AllItems).
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

// A list of items of one class, owning them.
class TCollection : public QObject, public TPersistent {
    Q_OBJECT
public:
    enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

    explicit TCollection(const TMetaClass* ItemClass, TPersistent* AOwner = nullptr);
    ~TCollection() override;

    const TMetaClass* ItemClass() const { return FItemClass; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    TCollectionItem* operator[](int Index) const { return Items(Index); }
    TCollectionItem* FindItemID(int ID) const;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    void Exchange(int Index1, int Index2);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override { return FOwner; }
    String GetNamePath() override;
    // The name of the property of the owner that holds this collection.
    void SetPropName(const String& Value) { FPropName = Value; }
    const String& PropName() const { return FPropName; }

protected:
    // Called after a change; Item is null when the whole collection changed.
    virtual void Update(TCollectionItem* Item);
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    void MoveItem(TCollectionItem* Item, int NewIndex);

    const TMetaClass* FItemClass;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
    String FPropName;
};
using enum TCollection::TCollectionNotification;

template <class T>
T* ItemAs(const TCollection* C, int Index)
{
    return static_cast<T*>(C->Items(Index));
}

// ---------------------------------------------------------------- class registry

// A class reference ("class of TComponent"): the meta-object of a class and
// how to make an instance of it. Obtained through ClassOf<T>() or, by name,
// through FindClass/GetClass once the class is registered.
class TMetaClass {
public:
    enum class TKind { Component, CollectionItem, Persistent };

    const QMetaObject* Meta() const { return FMeta; }
    String ClassName() const { return FMeta->className(); }
    TKind Kind() const { return FKind; }
    bool InheritsFrom(const QMetaObject* Ancestor) const { return FMeta->inherits(Ancestor); }
    bool InheritsFrom(const TMetaClass* Ancestor) const { return FMeta->inherits(Ancestor->FMeta); }

    // Virtual construction. Each raises EInvalidCast for a class of another kind.
    TComponent* CreateComponent(TComponent* AOwner) const;
    TCollectionItem* CreateItem(TCollection* ACollection) const;
    TPersistent* CreatePersistent() const;

    template <class T>
    static TMetaClass Make();

private:
    TMetaClass() = default;
    const QMetaObject* FMeta = nullptr;
    TKind FKind = TKind::Persistent;
    std::function<TComponent*(TComponent*)> FNewComponent;
    std::function<TCollectionItem*(TCollection*)> FNewItem;
    std::function<TPersistent*()> FNewPersistent;
};

template <class T>
TMetaClass TMetaClass::Make()
{
    TMetaClass C;
    C.FMeta = &T::staticMetaObject;
    if constexpr (std::is_base_of_v<TComponent, T>) {
        C.FKind = TKind::Component;
        if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
            C.FNewComponent = [](TComponent* Owner) -> TComponent* { return new T(Owner); };
    } else if constexpr (std::is_base_of_v<TCollectionItem, T>) {
        C.FKind = TKind::CollectionItem;
        if constexpr (std::is_constructible_v<T, TCollection*> && !std::is_abstract_v<T>)
            C.FNewItem = [](TCollection* Coll) -> TCollectionItem* { return new T(Coll); };
    } else {
        static_assert(std::is_base_of_v<TPersistent, T>, "a registered class is persistent");
        if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
            C.FNewPersistent = []() -> TPersistent* { return new T(); };
    }
    return C;
}

// Registers a class under its class name (a second registration is ignored).
const TMetaClass* RegisterClassRef(TMetaClass Class);

template <class T>
const TMetaClass* ClassOf()
{
    static const TMetaClass* C = RegisterClassRef(TMetaClass::Make<T>());
    return C;
}

template <class... T>
void RegisterClasses()
{
    (ClassOf<T>(), ...);
}

// The registered class of that name, or null / EClassNotFound "Class X not found".
const TMetaClass* GetClass(const String& ClassName);
const TMetaClass* FindClass(const String& ClassName);
const TMetaClass* GetClass(const QMetaObject* Meta);

// Casts with the runtime's checked-cast error: EInvalidCast "Invalid class typecast".
template <class T, class S>
T* CheckedCast(S* Object)
{
    if (!Object)
        return nullptr;
    if (auto* R = dynamic_cast<T*>(Object))
        return R;
    throw EInvalidCast("Invalid class typecast");
}
