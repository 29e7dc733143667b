// Actions: commands that controls and items share.
//
// An action holds what a command shows (Caption, Hint, ImageIndex, Enabled,
// Visible, Checked) and what it does (OnExecute), and keeps its clients in
// step. A client (a control that publishes Action, an item of a list) owns an
// action link. When a property of the action changes, the action first calls
// the matching setter of every link (SetCaption, SetEnabled, ...) with the
// new value; a link passes the value on to its client only while that
// property is linked. A control's Caption, Enabled, Hint and Visible are
// linked while they still equal the action's, so a value the control was
// given of its own is kept when the action changes; what Checked and
// GroupIndex are linked to is the link class's choice. Then the action
// reports the change (its OnChange and its action list's OnChange).
//
// Linking a client to an action (TControlActionLink::LinkAction for a
// control) gives the client the action's properties at once (ActionChange).
// While the action is still being read from a form file, the client keeps the
// values it was given of its own (a caption that is not empty, a hint, a
// disabled or hidden state). The link's change handler (OnChange, run by
// TBasicActionLink::Change) is how a client takes all of the action's
// properties again. The client also asks the action for free notification,
// so that freeing the action clears the client's Action.
//
// Execution: a click of a control that has no OnClick of its own runs the
// action through its link (TBasicActionLink::Execute). TCustomAction::Execute
// first updates the action (OnUpdate), toggles Checked when AutoCheck is on,
// and then runs, when enabled, the action list's OnExecute and, unless that
// handled it, the action's own OnExecute (Sender is the action). An action
// that no handler takes is disabled when DisableIfNoHandler is on (TAction).
//
// Updating: whenever the application becomes idle, every action that a
// showing control is linked to is updated (UpdateActions): the action list's
// OnUpdate and, unless that handled it, the action's OnUpdate, where a
// program enables, checks or renames the action.
//
// Stored forms: the actions of an action list are stored inside the list's
// object (they are owned by the form and have the list as parent); a client
// stores its Action as a reference to the action.
//
//     object ActionList1: TActionList
//       Images = ImageList1
//       object SaveAction: TAction
//         Caption = 'Save'
//         OnExecute = SaveActionExecute
//       end
//     end
#pragma once

#include <memory>
#include <vector>

#include "Classes.h"
#include "ImageList.h"

class TBasicAction;
class TCustomAction;
class TCustomActionList;
class TControl;
struct TActionClients;

// ---------------------------------------------------------------- links

// A client's link to an action.
class TBasicActionLink {
public:
    explicit TBasicActionLink(QObject* AClient);
    virtual ~TBasicActionLink();
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    QObject* Client() const { return FClient; }
    // The linked action, or null. While the action is being destroyed it is
    // still named here, so that the free notification finds its clients.
    TBasicAction* Action() const;
    // Leaves the old action's clients and joins the new one's.
    void SetAction(TBasicAction* Value);

    // Runs the action with AComponent as its ActionComponent meanwhile.
    virtual bool Execute(TComponent* AComponent = nullptr);
    // Updates the action (OnUpdate).
    virtual bool Update();
    // Whether the client's action takes part in the idle update (a control
    // that is showing); items and other clients do not.
    virtual bool UpdatesOnIdle() const { return false; }

    // Runs the client's change handler (OnChange) with the action, with
    // which the client takes all of the action's properties again.
    virtual void Change();
    TNotifyEvent OnChange;

protected:
    friend class TBasicAction;
    friend struct TActionClients;

    QObject* FClient;

private:
    std::shared_ptr<TActionClients> FClients;
};

// A link to an action with the properties of TCustomAction. A property is
// linked when the action is a TCustomAction; derived links narrow that. The
// setters receive the action's new value before the action stores it and
// pass it to the client when the property is linked; here they do nothing.
class TActionLink : public TBasicActionLink {
public:
    using TBasicActionLink::TBasicActionLink;

    virtual bool IsCaptionLinked() const;
    virtual bool IsCheckedLinked() const;
    virtual bool IsEnabledLinked() const;
    virtual bool IsGroupIndexLinked() const;
    virtual bool IsHintLinked() const;
    virtual bool IsImageIndexLinked() const;
    virtual bool IsVisibleLinked() const;

    virtual void SetCaption(const String& Value);
    virtual void SetChecked(bool Value);
    virtual void SetEnabled(bool Value);
    virtual void SetGroupIndex(int Value);
    virtual void SetHint(const String& Value);
    virtual void SetImageIndex(int Value);
    virtual void SetVisible(bool Value);

protected:
    // The action as a TCustomAction, or null.
    TCustomAction* CustomAction() const;
};

// The link of a control. Caption, Enabled, Hint and Visible are linked while
// the control's value equals the action's (so that a value the control was
// given of its own is kept when the action changes that property).
//
// A control that publishes Action keeps one of these (or of a derived link
// class) and forwards to it:
//
//     TBasicAction* Action() const { return FActionLink ? FActionLink->Action() : nullptr; }
//     void SetAction(TBasicAction* Value)       // FActionLink: std::unique_ptr<...>
//     {
//         if (!Value) { FActionLink.reset(); return; }
//         if (!FActionLink) FActionLink = std::make_unique<TControlActionLink>(this);
//         FActionLink->LinkAction(Value);
//     }
//     void Click() override { if (!FActionLink || !FActionLink->Click()) TControl::Click(); }
//     Notification: opRemove of Action() -> SetAction(nullptr)
//     IsPropertyStored: ... && (!FActionLink || FActionLink->IsPropertyStored(Name))
class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TControl* AClient);
    ~TControlActionLink() override;

    TControl* Control() const { return FControl; }

    // Links the action: installs the control's change handler, takes the
    // action's properties (ActionChange, keeping the control's own values
    // while the action is loading) and asks the action for free
    // notification of the control. Marks the control an action client.
    void LinkAction(TBasicAction* Value);
    // What the control takes from a TCustomAction: Caption (with
    // CheckDefaults only when the control's caption is empty or its name),
    // Enabled and Visible (only when still true), Hint (only when empty).
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);
    // The control's click: its own OnClick when it has one that is not the
    // action's OnExecute, else the action runs (Sender the action, the
    // control its ActionComponent). False when neither applies (the
    // control's plain click then runs).
    bool Click();
    // Whether the form writer stores a property of the control: a linked
    // Caption, Enabled, Hint or Visible comes from the action.
    virtual bool IsPropertyStored(const char* Name) const;

    bool IsCaptionLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;
    void SetCaption(const String& Value) override;
    void SetEnabled(bool Value) override;
    void SetHint(const String& Value) override;
    void SetVisible(bool Value) override;
    bool UpdatesOnIdle() const override;

protected:
    TControl* FControl;
};

// ---------------------------------------------------------------- actions

// An action: OnExecute and OnUpdate, and the links of its clients.
class TBasicAction : public TNonVisualComponent {
    Q_OBJECT
public:
    explicit TBasicAction(TComponent* AOwner = nullptr);
    ~TBasicAction() override;

    // Runs OnExecute (Sender the action); false when there is none.
    virtual bool Execute();
    // Runs OnUpdate; false when there is none.
    virtual bool Update();

    // The component whose link runs the action (during Execute), or null.
    TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* Value);

    void RegisterChanges(TBasicActionLink* Value);
    void UnRegisterChanges(TBasicActionLink* Value);
    int ClientCount() const;
    TBasicActionLink* Clients(int Index) const;

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    // Called after each change of the action (not stored).
    TNotifyEvent OnChange;

protected:
    // Reports a change: OnChange.
    virtual void Change();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::shared_ptr<TActionClients> FClients;
    TComponent* FActionComponent = nullptr;
};

// An action that belongs to an action list (its parent in form files).
class TContainedAction : public TBasicAction {
    Q_OBJECT
public:
    explicit TContainedAction(TComponent* AOwner = nullptr);
    // Leaves its action list.
    ~TContainedAction() override;

    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    const String& Category() const { return FCategory; }
    void SetCategory(const String& Value);
    // The position in the action list (-1 without one).
    int Index() const;
    void SetIndex(int Value);

    // The action list's OnExecute / OnUpdate first; the action's own when
    // the list's did not handle it.
    bool Execute() override;
    bool Update() override;

    bool HasParent() const override { return FActionList != nullptr; }
    TComponent* GetParentComponent() const override;
    // The parent must be an action list (EInvalidCast otherwise).
    void SetParentComponent(TComponent* Value) override;

protected:
    // Also reports the change to the action list.
    void Change() override;

private:
    friend class TCustomActionList;
    TCustomActionList* FActionList = nullptr;
    String FCategory;
};

// An action with what a command shows. Each setter tells the clients' links
// the new value first, then stores it and reports the change.
class TCustomAction : public TContainedAction {
    Q_OBJECT
public:
    explicit TCustomAction(TComponent* AOwner = nullptr);
    ~TCustomAction() override;

    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value);
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Checked() const { return FChecked; }
    // Checking an action of a group (GroupIndex > 0) unchecks the other
    // actions of the same group in its list.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // Whether an action that no handler takes is disabled.
    bool DisableIfNoHandler() const { return FDisableIfNoHandler; }
    void SetDisableIfNoHandler(bool Value) { FDisableIfNoHandler = Value; }

    // Updates, toggles Checked when AutoCheck is on (a checked action of a
    // group stays checked), then runs when enabled.
    bool Execute() override;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    // Tells every link that is a TActionLink.
    template <class F>
    void ForEachLink(F&& Call);
    void UncheckGroup();

    bool FAutoCheck = false;
    String FCaption;
    bool FChecked = false;
    bool FChecking = false;
    bool FEnabled = true;
    int FGroupIndex = 0;
    String FHint;
    int FImageIndex = -1;
    bool FVisible = true;
    bool FDisableIfNoHandler = false;
};

// The action of form files.
class TAction : public TCustomAction {
    Q_OBJECT
    Q_PROPERTY(bool AutoCheck READ AutoCheck WRITE SetAutoCheck)
    Q_PROPERTY(String Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(String Category READ Category WRITE SetCategory)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(String Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnExecute MEMBER OnExecute)
    Q_PROPERTY(TNotifyEvent OnUpdate MEMBER OnUpdate)
public:
    // Disables itself when no handler takes it.
    Q_INVOKABLE explicit TAction(TComponent* AOwner = nullptr);
};

// ---------------------------------------------------------------- action lists

// An action list's OnExecute and OnUpdate: Handled (false on entry) set true
// keeps the action's own handler from running.
using TActionEvent = TEvent<TBasicAction*, bool&>;
ZEN_EVENT_TYPE(TActionEvent)

// A list of actions with the image list their ImageIndex refers to. It
// frees its actions with itself.
class TCustomActionList : public TNonVisualComponent {
    Q_OBJECT
public:
    explicit TCustomActionList(TComponent* AOwner = nullptr);
    ~TCustomActionList() override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    // EListError outside the list.
    TContainedAction* Actions(int Index) const;
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // OnExecute / OnUpdate for an action; true when the handler handled it.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    // After a change of the list, its images or one of its actions.
    TNotifyEvent OnChange;

protected:
    friend class TContainedAction;
    void AddAction(TContainedAction* Action);
    void RemoveAction(TContainedAction* Action);
    virtual void Change();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
    TChangeLink FImageChangeLink;
};

class TActionList : public TCustomActionList {
    Q_OBJECT
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(TNotifyEvent OnChange MEMBER OnChange)
    Q_PROPERTY(TActionEvent OnExecute MEMBER OnExecute)
    Q_PROPERTY(TActionEvent OnUpdate MEMBER OnUpdate)
public:
    Q_INVOKABLE explicit TActionList(TComponent* AOwner = nullptr) : TCustomActionList(AOwner) {}
};

// Updates the actions that showing controls are linked to, each once. The
// application does this whenever it becomes idle; an exception from a
// handler goes to the application's exception display.
void UpdateActions();

void RegisterActnListClasses();
