#include "ActnList.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>

#include <algorithm>

#include "Controls.h"
#include "ExceptionBarrier.h"

// The links of one action. It outlives the action while links still name it:
// an action is destroyed in steps (its own destructor, then the component's,
// which sends the free notifications, then QObject's), and the links must
// still find their action by identity while the notifications are sent, but
// no longer touch it. Once QObject's destructor reports the action gone, the
// remaining links are detached.
struct TActionClients {
    TBasicAction* Action = nullptr;
    bool Dying = false;
    std::vector<TBasicActionLink*> Links;

    void Add(TBasicActionLink* Link)
    {
        if (std::find(Links.begin(), Links.end(), Link) == Links.end())
            Links.push_back(Link);
    }
    void Remove(TBasicActionLink* Link) { Links.erase(std::remove(Links.begin(), Links.end(), Link), Links.end()); }
    bool Has(TBasicActionLink* Link) const { return std::find(Links.begin(), Links.end(), Link) != Links.end(); }
    void DetachAll()
    {
        for (TBasicActionLink* L : std::vector<TBasicActionLink*>(Links))
            L->FClients.reset();
        Links.clear();
    }
};

namespace {

// Every link that exists, for the idle update.
std::vector<TBasicActionLink*>& AllLinks()
{
    static std::vector<TBasicActionLink*> Links;
    return Links;
}

void IdleUpdate()
{
    try {
        UpdateActions();
    } catch (const std::exception& E) {
        ShowException(E);
    }
}

// The idle update runs each time the application's event loop is about to
// wait for new events.
void InstallIdleHook()
{
    static bool Installed = false;
    if (Installed)
        return;
    QCoreApplication* App = QCoreApplication::instance();
    if (!App)
        return;
    QAbstractEventDispatcher* Dispatcher = QAbstractEventDispatcher::instance(App->thread());
    if (!Dispatcher)
        return;
    QObject::connect(Dispatcher, &QAbstractEventDispatcher::aboutToBlock, App, &IdleUpdate);
    Installed = true;
}

// What the application does with an action that no handler took: an action
// that asks for it is disabled unless it has an OnExecute.
bool NoHandler(TContainedAction* Action)
{
    if (auto* A = dynamic_cast<TCustomAction*>(Action); A && A->Enabled() && A->DisableIfNoHandler())
        A->SetEnabled(static_cast<bool>(A->OnExecute));
    return false;
}

} // namespace

// ---------------------------------------------------------------- TBasicActionLink

TBasicActionLink::TBasicActionLink(QObject* AClient) : FClient(AClient)
{
    AllLinks().push_back(this);
    InstallIdleHook();
}

TBasicActionLink::~TBasicActionLink()
{
    if (FClients)
        FClients->Remove(this);
    auto& L = AllLinks();
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
}

TBasicAction* TBasicActionLink::Action() const
{
    return FClients ? FClients->Action : nullptr;
}

void TBasicActionLink::SetAction(TBasicAction* Value)
{
    if (Value == Action())
        return;
    if (FClients) {
        FClients->Remove(this);
        FClients.reset();
    }
    if (Value)
        Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent)
{
    if (!FClients || FClients->Dying)
        return false;
    TBasicAction* A = FClients->Action;
    QPointer<TBasicAction> Alive(A);
    A->SetActionComponent(AComponent);
    bool Result = false;
    try {
        Result = A->Execute();
    } catch (...) {
        if (Alive)
            A->SetActionComponent(nullptr);
        throw;
    }
    if (Alive)
        A->SetActionComponent(nullptr);
    return Result;
}

bool TBasicActionLink::Update()
{
    if (!FClients || FClients->Dying)
        return false;
    return FClients->Action->Update();
}

void TBasicActionLink::Change()
{
    if (!OnChange || !FClients || FClients->Dying)
        return;
    TNotifyEvent Handler = OnChange;
    Handler(FClients->Action);
}

// ---------------------------------------------------------------- TActionLink

TCustomAction* TActionLink::CustomAction() const
{
    TBasicAction* A = Action();
    if (!A || A->IsDestroying())
        return nullptr;
    return dynamic_cast<TCustomAction*>(A);
}

bool TActionLink::IsCaptionLinked() const
{
    return CustomAction() != nullptr;
}

bool TActionLink::IsCheckedLinked() const
{
    return CustomAction() != nullptr;
}

bool TActionLink::IsEnabledLinked() const
{
    return CustomAction() != nullptr;
}

bool TActionLink::IsGroupIndexLinked() const
{
    return CustomAction() != nullptr;
}

bool TActionLink::IsHintLinked() const
{
    return CustomAction() != nullptr;
}

bool TActionLink::IsImageIndexLinked() const
{
    return CustomAction() != nullptr;
}

bool TActionLink::IsVisibleLinked() const
{
    return CustomAction() != nullptr;
}

void TActionLink::SetCaption(const String&) {}
void TActionLink::SetChecked(bool) {}
void TActionLink::SetEnabled(bool) {}
void TActionLink::SetGroupIndex(int) {}
void TActionLink::SetHint(const String&) {}
void TActionLink::SetImageIndex(int) {}
void TActionLink::SetVisible(bool) {}

// ---------------------------------------------------------------- TControlActionLink

TControlActionLink::TControlActionLink(TControl* AClient) : TActionLink(AClient), FControl(AClient) {}

TControlActionLink::~TControlActionLink()
{
    if (FControl)
        FControl->SetControlStyle(FControl->ControlStyle() & ~TControlStyle(csActionClient));
}

void TControlActionLink::LinkAction(TBasicAction* Value)
{
    if (!Value)
        throw EInvalidOperation("An action link needs an action");
    FControl->SetControlStyle(FControl->ControlStyle() | csActionClient);
    SetAction(Value);
    OnChange = [this](TObject* Sender) {
        if (Sender && Sender == static_cast<QObject*>(Action()))
            ActionChange(Action(), false);
    };
    ActionChange(Value, Value->IsLoading());
    Value->FreeNotification(FControl);
}

void TControlActionLink::ActionChange(TBasicAction* Sender, bool CheckDefaults)
{
    auto* A = dynamic_cast<TCustomAction*>(Sender);
    if (!A)
        return;
    TControl* C = FControl;
    if (!CheckDefaults || C->Caption().empty() || C->Caption() == C->Name())
        C->SetCaption(A->Caption());
    if (!CheckDefaults || C->Enabled())
        C->SetEnabled(A->Enabled());
    if (!CheckDefaults || C->Hint().empty())
        C->SetHint(A->Hint());
    if (!CheckDefaults || C->Visible())
        C->SetVisible(A->Visible());
}

bool TControlActionLink::Click()
{
    TBasicAction* A = Action();
    if (!A || A->IsDestroying() || FControl->IsDesigning())
        return false;
    // A handler of the control's own comes first.
    if (FControl->OnClick && !(FControl->OnClick == A->OnExecute))
        return false;
    Execute(FControl);
    return true;
}

bool TControlActionLink::IsPropertyStored(const char* Name) const
{
    const String N(Name);
    if (SameText(N, "Caption"))
        return !IsCaptionLinked();
    if (SameText(N, "Enabled"))
        return !IsEnabledLinked();
    if (SameText(N, "Hint"))
        return !IsHintLinked();
    if (SameText(N, "Visible"))
        return !IsVisibleLinked();
    return true;
}

bool TControlActionLink::IsCaptionLinked() const
{
    return TActionLink::IsCaptionLinked() && FControl->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() const
{
    return TActionLink::IsEnabledLinked() && FControl->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() const
{
    return TActionLink::IsHintLinked() && FControl->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() const
{
    return TActionLink::IsVisibleLinked() && FControl->Visible() == CustomAction()->Visible();
}

void TControlActionLink::SetCaption(const String& Value)
{
    if (IsCaptionLinked())
        FControl->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value)
{
    if (IsEnabledLinked())
        FControl->SetEnabled(Value);
}

void TControlActionLink::SetHint(const String& Value)
{
    if (IsHintLinked())
        FControl->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value)
{
    if (IsVisibleLinked())
        FControl->SetVisible(Value);
}

bool TControlActionLink::UpdatesOnIdle() const
{
    return FControl->Showing() && !FControl->IsDesigning();
}

// ---------------------------------------------------------------- TBasicAction

TBasicAction::TBasicAction(TComponent* AOwner)
    : TNonVisualComponent(AOwner), FClients(std::make_shared<TActionClients>())
{
    FClients->Action = this;
    QObject::connect(this, &QObject::destroyed, [Clients = FClients] { Clients->DetachAll(); });
}

TBasicAction::~TBasicAction()
{
    // From here on the links only name the action (see TActionClients).
    Destroying();
    FClients->Dying = true;
    FActionComponent = nullptr;
}

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    TNotifyEvent Handler = OnExecute;
    Handler(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate)
        return false;
    TNotifyEvent Handler = OnUpdate;
    Handler(this);
    return true;
}

void TBasicAction::SetActionComponent(TComponent* Value)
{
    if (FActionComponent == Value)
        return;
    if (FActionComponent)
        FActionComponent->RemoveFreeNotification(this);
    FActionComponent = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value)
{
    if (!Value || Value->FClients == FClients)
        return;
    if (Value->FClients)
        Value->SetAction(nullptr);
    Value->FClients = FClients;
    FClients->Add(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value)
{
    if (!Value || Value->FClients != FClients)
        return;
    FClients->Remove(Value);
    Value->FClients.reset();
}

int TBasicAction::ClientCount() const
{
    return static_cast<int>(FClients->Links.size());
}

TBasicActionLink* TBasicAction::Clients(int Index) const
{
    if (Index < 0 || Index >= ClientCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FClients->Links[static_cast<size_t>(Index)];
}

void TBasicAction::Change()
{
    if (OnChange && !IsDestroying()) {
        TNotifyEvent Handler = OnChange;
        Handler(this);
    }
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation)
{
    TNonVisualComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActionComponent)
        FActionComponent = nullptr;
}

// ---------------------------------------------------------------- TContainedAction

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction()
{
    if (FActionList)
        FActionList->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* Value)
{
    if (FActionList == Value)
        return;
    if (FActionList)
        FActionList->RemoveAction(this);
    if (Value)
        Value->AddAction(this);
}

void TContainedAction::SetCategory(const String& Value)
{
    if (FCategory == Value)
        return;
    FCategory = Value;
    Change();
}

int TContainedAction::Index() const
{
    if (!FActionList)
        return -1;
    const auto& L = FActionList->FActions;
    return static_cast<int>(std::find(L.begin(), L.end(), this) - L.begin());
}

void TContainedAction::SetIndex(int Value)
{
    if (!FActionList)
        return;
    auto& L = FActionList->FActions;
    const int Count = static_cast<int>(L.size());
    Value = std::clamp(Value, 0, Count - 1);
    const int Current = Index();
    if (Current == Value)
        return;
    L.erase(L.begin() + Current);
    L.insert(L.begin() + Value, this);
    FActionList->Change();
}

bool TContainedAction::Execute()
{
    QPointer<TContainedAction> Alive(this);
    if (FActionList && FActionList->ExecuteAction(this))
        return true;
    if (!Alive)
        return false;
    if (TBasicAction::Execute())
        return true;
    return NoHandler(this);
}

bool TContainedAction::Update()
{
    QPointer<TContainedAction> Alive(this);
    if (FActionList && FActionList->UpdateAction(this))
        return true;
    if (!Alive)
        return false;
    if (TBasicAction::Update())
        return true;
    return NoHandler(this);
}

TComponent* TContainedAction::GetParentComponent() const
{
    return FActionList;
}

void TContainedAction::SetParentComponent(TComponent* Value)
{
    SetActionList(CheckedCast<TCustomActionList>(Value));
}

void TContainedAction::Change()
{
    TBasicAction::Change();
    if (FActionList && !IsDestroying())
        FActionList->Change();
}

// ---------------------------------------------------------------- TCustomAction

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

TCustomAction::~TCustomAction() = default;

template <class F>
void TCustomAction::ForEachLink(F&& Call)
{
    // A client may drop its link (or another's) while it takes the value.
    std::vector<TBasicActionLink*> Links;
    for (int I = 0; I < ClientCount(); ++I)
        Links.push_back(Clients(I));
    for (TBasicActionLink* L : Links) {
        bool Still = false;
        for (int I = 0; I < ClientCount() && !Still; ++I)
            Still = Clients(I) == L;
        if (!Still)
            continue;
        if (auto* AL = dynamic_cast<TActionLink*>(L))
            Call(AL);
    }
}

void TCustomAction::SetAutoCheck(bool Value)
{
    if (FAutoCheck == Value)
        return;
    FAutoCheck = Value;
    Change();
}

void TCustomAction::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    ForEachLink([&](TActionLink* L) { L->SetCaption(Value); });
    FCaption = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value)
{
    if (FChecking || FChecked == Value)
        return;
    FChecking = true;
    try {
        ForEachLink([&](TActionLink* L) { L->SetChecked(Value); });
        FChecked = Value;
        if (FGroupIndex > 0 && FChecked)
            UncheckGroup();
        Change();
    } catch (...) {
        FChecking = false;
        throw;
    }
    FChecking = false;
}

void TCustomAction::UncheckGroup()
{
    TCustomActionList* List = ActionList();
    if (!List)
        return;
    std::vector<QPointer<TContainedAction>> Others;
    for (int I = 0; I < List->ActionCount(); ++I)
        if (List->Actions(I) != this)
            Others.emplace_back(List->Actions(I));
    for (const auto& O : Others)
        if (auto* A = dynamic_cast<TCustomAction*>(O.data()); A && A->FGroupIndex == FGroupIndex)
            A->SetChecked(false);
}

void TCustomAction::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    ForEachLink([&](TActionLink* L) { L->SetEnabled(Value); });
    FEnabled = Value;
    Change();
}

void TCustomAction::SetGroupIndex(int Value)
{
    if (FGroupIndex == Value)
        return;
    ForEachLink([&](TActionLink* L) { L->SetGroupIndex(Value); });
    FGroupIndex = Value;
    if (FChecked && Value > 0)
        UncheckGroup();
    Change();
}

void TCustomAction::SetHint(const String& Value)
{
    if (FHint == Value)
        return;
    ForEachLink([&](TActionLink* L) { L->SetHint(Value); });
    FHint = Value;
    Change();
}

void TCustomAction::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    ForEachLink([&](TActionLink* L) { L->SetImageIndex(Value); });
    FImageIndex = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    ForEachLink([&](TActionLink* L) { L->SetVisible(Value); });
    FVisible = Value;
    Change();
}

bool TCustomAction::Execute()
{
    QPointer<TCustomAction> Alive(this);
    Update();
    if (!Alive)
        return false;
    if (FEnabled && FAutoCheck && (!FChecked || FGroupIndex == 0))
        SetChecked(!FChecked);
    return FEnabled && TContainedAction::Execute();
}

void TCustomAction::AssignTo(TPersistent* Dest)
{
    auto* D = dynamic_cast<TCustomAction*>(Dest);
    if (!D) {
        TContainedAction::AssignTo(Dest);
        return;
    }
    D->SetAutoCheck(FAutoCheck);
    D->SetCaption(FCaption);
    D->SetChecked(FChecked);
    D->SetEnabled(FEnabled);
    D->SetGroupIndex(FGroupIndex);
    D->SetHint(FHint);
    D->SetImageIndex(FImageIndex);
    D->SetVisible(FVisible);
    D->OnExecute = OnExecute;
    D->OnUpdate = OnUpdate;
}

TAction::TAction(TComponent* AOwner) : TCustomAction(AOwner)
{
    SetDisableIfNoHandler(true);
}

// ---------------------------------------------------------------- TCustomActionList

TCustomActionList::TCustomActionList(TComponent* AOwner) : TNonVisualComponent(AOwner)
{
    FImageChangeLink.OnChange = [this](TObject*) { Change(); };
}

TCustomActionList::~TCustomActionList()
{
    Destroying();
    if (FImages)
        FImages->UnRegisterChanges(&FImageChangeLink);
    // The list frees its actions, whoever owns them.
    while (!FActions.empty())
        delete FActions.back();
}

TContainedAction* TCustomActionList::Actions(int Index) const
{
    if (Index < 0 || Index >= ActionCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FActions[static_cast<size_t>(Index)];
}

void TCustomActionList::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->UnRegisterChanges(&FImageChangeLink);
    FImages = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->RegisterChanges(&FImageChangeLink);
    }
    Change();
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action)
{
    if (!OnExecute)
        return false;
    bool Handled = false;
    TActionEvent Handler = OnExecute;
    Handler(Action, Handled);
    return Handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action)
{
    if (!OnUpdate)
        return false;
    bool Handled = false;
    TActionEvent Handler = OnUpdate;
    Handler(Action, Handled);
    return Handled;
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TNonVisualComponent::GetChildren(Proc, Root);
    for (TContainedAction* A : std::vector<TContainedAction*>(FActions))
        if (A->Owner() == Root)
            Proc(A);
}

void TCustomActionList::AddAction(TContainedAction* Action)
{
    if (!Action || Action->FActionList == this)
        return;
    FActions.push_back(Action);
    Action->FActionList = this;
    Change();
}

void TCustomActionList::RemoveAction(TContainedAction* Action)
{
    auto It = std::find(FActions.begin(), FActions.end(), Action);
    if (It == FActions.end())
        return;
    FActions.erase(It);
    Action->FActionList = nullptr;
    Change();
}

void TCustomActionList::Change()
{
    if (OnChange && !IsDestroying()) {
        TNotifyEvent Handler = OnChange;
        Handler(this);
    }
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation)
{
    TNonVisualComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FImages) {
        FImages = nullptr;
        Change();
    }
}

// ---------------------------------------------------------------- idle update

void UpdateActions()
{
    static bool Busy = false;
    if (Busy)
        return;
    Busy = true;
    struct TBusyGuard {
        ~TBusyGuard() { Busy = false; }
    } Guard;
    std::vector<QPointer<TBasicAction>> Actions;
    for (TBasicActionLink* L : AllLinks()) {
        TBasicAction* A = L->Action();
        if (!A || A->IsDestroying() || !L->UpdatesOnIdle())
            continue;
        if (std::none_of(Actions.begin(), Actions.end(), [A](const QPointer<TBasicAction>& P) { return P == A; }))
            Actions.emplace_back(A);
    }
    for (const auto& A : Actions)
        if (A)
            A->Update();
}

// ---------------------------------------------------------------- registration

void RegisterActnListClasses()
{
    RegisterClasses<TAction, TActionList>();
}

namespace {
[[maybe_unused]] const bool ActnListRegistered = (RegisterActnListClasses(), true);
}
