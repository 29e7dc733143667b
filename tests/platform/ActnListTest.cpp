// Actions and action lists: stored forms, execution and updating, the flow of
// the action's properties to its clients, and what freeing either side does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>

#include <memory>

#include "ActnList.h"
#include "Buttons.h"
#include "ExceptionBarrier.h"
#include "ExtCtrls.h"
#include "FormStream.h"
#include "Forms.h"

// A speed button that publishes Action, as a control of the framework does.
class TActionButton : public TSpeedButton {
    Q_OBJECT
    Q_PROPERTY(TBasicAction* Action READ Action WRITE SetAction)
public:
    explicit TActionButton(TComponent* AOwner = nullptr) : TSpeedButton(AOwner) {}
    TBasicAction* Action() const { return FLink ? FLink->Action() : nullptr; }
    void SetAction(TBasicAction* Value)
    {
        if (!Value) {
            FLink.reset();
            return;
        }
        if (!FLink)
            FLink = std::make_unique<TControlActionLink>(this);
        FLink->LinkAction(Value);
    }
    TControlActionLink* ActionLink() const { return FLink.get(); }
    void Click() override
    {
        if (!FLink || !FLink->Click())
            TSpeedButton::Click();
    }
    bool IsPropertyStored(const char* Name) const override
    {
        return TSpeedButton::IsPropertyStored(Name) && (!FLink || FLink->IsPropertyStored(Name));
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TSpeedButton::Notification(AComponent, Operation);
        if (Operation == opRemove && FLink && AComponent == FLink->Action())
            SetAction(nullptr);
    }

private:
    std::unique_ptr<TControlActionLink> FLink;
};

class TActionForm : public TForm {
    Q_OBJECT
public:
    explicit TActionForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    std::vector<String> Calls;
    bool ListHandles = false;
    Q_INVOKABLE void SaveExecute(TObject* Sender)
    {
        auto* A = dynamic_cast<TBasicAction*>(Sender);
        const TComponent* By = A ? A->ActionComponent() : nullptr;
        Calls.push_back("execute:" + (A ? A->Name() : String("?")) + (By ? " by " + By->Name() : String()));
    }
    Q_INVOKABLE void SaveUpdate(TObject* Sender)
    {
        Calls.push_back("update:" + dynamic_cast<TComponent*>(Sender)->Name());
    }
    Q_INVOKABLE void ListExecute(TBasicAction* Action, bool& Handled)
    {
        Calls.push_back("list:" + Action->Name());
        Handled = ListHandles;
    }
};

namespace {

const char* const ActionFormText = R"(object ActionForm: TActionForm
  ClientHeight = 80
  ClientWidth = 200
  object Images: TImageList
  end
  object ActionList1: TActionList
    Images = Images
    OnExecute = ListExecute
    object SaveAction: TAction
      Caption = '&Save'
      Category = 'File'
      Hint = 'Save the file'
      ImageIndex = 2
      OnExecute = SaveExecute
      OnUpdate = SaveUpdate
    end
    object BoldAction: TAction
      AutoCheck = True
      Caption = 'Bold'
      Checked = True
      GroupIndex = 1
      OnExecute = SaveExecute
    end
    object ItalicAction: TAction
      AutoCheck = True
      Caption = 'Italic'
      GroupIndex = 1
      OnExecute = SaveExecute
    end
  end
  object SaveButton: TActionButton
    Left = 4
    Top = 4
    Width = 60
    Action = SaveAction
  end
  object OwnButton: TActionButton
    Left = 70
    Top = 4
    Width = 60
    Caption = 'Mine'
    Hint = 'My own hint'
    Action = SaveAction
  end
end
)";

template <class T>
T* Get(TComponent* Form, const String& Name)
{
    auto* C = dynamic_cast<T*>(Form->FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
}

std::unique_ptr<TActionForm> LoadActionForm(const String& Text = ActionFormText)
{
    InitApplication();
    RegisterClasses<TActionForm, TActionButton>();
    auto Form = std::make_unique<TActionForm>();
    ReadComponentFromText(Text, Form.get());
    return Form;
}

void ClickAt(QWidget* W, QPoint P)
{
    const QPoint G = W->mapToGlobal(P);
    QMouseEvent Press(QEvent::MouseButtonPress, P, G, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W, &Press);
    QMouseEvent Release(QEvent::MouseButtonRelease, P, G, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(W, &Release);
}

// Lets the event loop go idle a few times.
void RunIdle()
{
    QEventLoop Loop;
    QTimer::singleShot(30, &Loop, &QEventLoop::quit);
    Loop.exec();
}

// A link that records what the action tells it, with the action's value at
// that moment.
class TRecordingLink : public TActionLink {
public:
    TRecordingLink() : TActionLink(nullptr) {}
    std::vector<String> Log;
    void SetCaption(const String& V) override { Log.push_back("Caption " + Old()->Caption() + ">" + V); }
    void SetChecked(bool V) override { Log.push_back(Format("Checked %d>%d", {int(Old()->Checked()), int(V)})); }
    void SetEnabled(bool V) override { Log.push_back(Format("Enabled %d>%d", {int(Old()->Enabled()), int(V)})); }
    void SetGroupIndex(int V) override { Log.push_back(Format("GroupIndex %d>%d", {Old()->GroupIndex(), V})); }
    void SetHint(const String& V) override { Log.push_back("Hint " + Old()->Hint() + ">" + V); }
    void SetImageIndex(int V) override { Log.push_back(Format("ImageIndex %d>%d", {Old()->ImageIndex(), V})); }
    void SetVisible(bool V) override { Log.push_back(Format("Visible %d>%d", {int(Old()->Visible()), int(V)})); }

private:
    TCustomAction* Old() const { return CustomAction(); }
};

} // namespace

TEST(ActnList, FormWithActionsAndClientsRoundTrips)
{
    String Written;
    {
        auto Form = LoadActionForm();
        auto* List = Get<TActionList>(Form.get(), "ActionList1");
        auto* Save = Get<TAction>(Form.get(), "SaveAction");
        auto* Bold = Get<TAction>(Form.get(), "BoldAction");
        auto* Italic = Get<TAction>(Form.get(), "ItalicAction");
        ASSERT_EQ(List->ActionCount(), 3);
        EXPECT_EQ(List->Actions(0), Save);
        EXPECT_EQ(List->Actions(2), Italic);
        EXPECT_EQ(Save->ActionList(), List);
        EXPECT_EQ(Save->Owner(), Form.get()) << "actions belong to the form, the list is their parent";
        EXPECT_EQ(Save->Index(), 0);
        EXPECT_EQ(List->Images(), Get<TImageList>(Form.get(), "Images"));
        EXPECT_EQ(Save->Caption(), "&Save");
        EXPECT_EQ(Save->Category(), "File");
        EXPECT_EQ(Save->ImageIndex(), 2);
        EXPECT_TRUE(Save->OnExecute);
        EXPECT_TRUE(Save->OnUpdate);
        EXPECT_TRUE(Bold->Checked());
        EXPECT_FALSE(Italic->Checked());
        EXPECT_EQ(Italic->ImageIndex(), -1);

        auto* SaveButton = Get<TActionButton>(Form.get(), "SaveButton");
        auto* OwnButton = Get<TActionButton>(Form.get(), "OwnButton");
        EXPECT_EQ(SaveButton->Action(), Save);
        EXPECT_EQ(SaveButton->Caption(), "&Save");
        EXPECT_EQ(SaveButton->Hint(), "Save the file");
        EXPECT_TRUE(SaveButton->ControlStyle().testFlag(csActionClient));
        // Linked while the action was loading: the button's own values stay.
        EXPECT_EQ(OwnButton->Action(), Save);
        EXPECT_EQ(OwnButton->Caption(), "Mine");
        EXPECT_EQ(OwnButton->Hint(), "My own hint");
        EXPECT_EQ(Save->ClientCount(), 2);

        Written = ComponentToText(Form.get());
    }
    // The actions are written inside the list; a caption that comes from the
    // action is not stored, one of the button's own is.
    const size_t ListAt = Written.find("object ActionList1: TActionList");
    const size_t SaveAt = Written.find("    object SaveAction: TAction");
    const size_t ListEnd = Written.find("\n  end", ListAt);
    ASSERT_NE(ListAt, String::npos) << Written;
    ASSERT_NE(SaveAt, String::npos) << Written;
    EXPECT_TRUE(ListAt < SaveAt && SaveAt < ListEnd) << Written;
    const size_t SaveButtonAt = Written.find("object SaveButton: TActionButton");
    const size_t OwnButtonAt = Written.find("object OwnButton: TActionButton");
    ASSERT_NE(SaveButtonAt, String::npos);
    ASSERT_NE(OwnButtonAt, String::npos);
    const String SaveButtonText = Written.substr(SaveButtonAt, OwnButtonAt - SaveButtonAt);
    EXPECT_NE(SaveButtonText.find("Action = SaveAction"), String::npos) << SaveButtonText;
    EXPECT_EQ(SaveButtonText.find("Caption"), String::npos) << SaveButtonText;
    EXPECT_EQ(SaveButtonText.find("Hint"), String::npos) << SaveButtonText;
    const String OwnButtonText = Written.substr(OwnButtonAt);
    EXPECT_NE(OwnButtonText.find("Caption = 'Mine'"), String::npos) << OwnButtonText;
    EXPECT_NE(Written.find("OnExecute = ListExecute"), String::npos);
    EXPECT_NE(Written.find("OnUpdate = SaveUpdate"), String::npos);

    auto Again = LoadActionForm(Written);
    EXPECT_EQ(ComponentToText(Again.get()), Written);
    auto* Save = Get<TAction>(Again.get(), "SaveAction");
    EXPECT_EQ(Get<TActionButton>(Again.get(), "SaveButton")->Caption(), "&Save");
    EXPECT_EQ(Get<TActionButton>(Again.get(), "OwnButton")->Caption(), "Mine");
    EXPECT_EQ(Get<TActionButton>(Again.get(), "OwnButton")->Action(), Save);
    EXPECT_EQ(Get<TActionList>(Again.get(), "ActionList1")->ActionCount(), 3);
    EXPECT_TRUE(Get<TAction>(Again.get(), "BoldAction")->Checked());
}

TEST(ActnList, AnActionOutsideAnActionListIsRefusedWithItsPlace)
{
    InitApplication();
    RegisterClasses<TActionForm>();
    const char* Text = R"(object ActionForm: TActionForm
  object Panel1: TPanel
    object Stray: TAction
      Caption = 'x'
    end
  end
end
)";
    TActionForm Form;
    try {
        ReadComponentFromText(Text, &Form, nullptr, {"stray.nvf", ""});
        FAIL() << "no exception";
    } catch (const EReadError& E) {
        const String M = E.Message();
        EXPECT_NE(M.find("stray.nvf(3)"), String::npos) << M;
        EXPECT_NE(M.find("Stray"), String::npos) << M;
        EXPECT_NE(M.find("Invalid class typecast"), String::npos) << M;
    }
    EXPECT_EQ(Form.FindComponent("Stray"), nullptr);
    EXPECT_EQ(Form.FindComponent("Panel1"), nullptr);
}

TEST(ActnList, ExecuteRunsUpdateThenTheListThenTheAction)
{
    auto Form = LoadActionForm();
    auto* Save = Get<TAction>(Form.get(), "SaveAction");
    EXPECT_TRUE(Save->Execute());
    EXPECT_EQ(Form->Calls, (std::vector<String>{"update:SaveAction", "list:SaveAction", "execute:SaveAction"}));

    // The list's handler can take the action over.
    Form->Calls.clear();
    Form->ListHandles = true;
    EXPECT_TRUE(Save->Execute());
    EXPECT_EQ(Form->Calls, (std::vector<String>{"update:SaveAction", "list:SaveAction"}));
    Form->ListHandles = false;

    // A disabled action does not run.
    Form->Calls.clear();
    Save->SetEnabled(false);
    EXPECT_FALSE(Save->Execute());
    EXPECT_EQ(Form->Calls, (std::vector<String>{"update:SaveAction"}));

    // The update handler decides; the action then runs as it says.
    Form->Calls.clear();
    Save->OnUpdate = [](TObject* Sender) { static_cast<TAction*>(Sender)->SetEnabled(true); };
    EXPECT_TRUE(Save->Execute());
    EXPECT_EQ(Form->Calls, (std::vector<String>{"list:SaveAction", "execute:SaveAction"}));
}

TEST(ActnList, AnActionWithoutHandlersIsDisabledWhenAskedFor)
{
    InitApplication();
    struct Case {
        bool Execute, Update, DisableIfNoHandler;
        bool EnabledAfterUpdate;
    } Cases[] = {
        {false, false, true, false}, // nothing takes it: disabled
        {true, false, true, true},   // OnExecute keeps it enabled
        {false, true, true, true},   // OnUpdate answered: left to the handler
        {false, false, false, true}, // not asked for
    };
    for (const Case& C : Cases) {
        TAction A;
        A.SetDisableIfNoHandler(C.DisableIfNoHandler);
        if (C.Execute)
            A.OnExecute = [](TObject*) {};
        if (C.Update)
            A.OnUpdate = [](TObject*) {};
        A.Update();
        EXPECT_EQ(A.Enabled(), C.EnabledAfterUpdate) << C.Execute << C.Update << C.DisableIfNoHandler;
    }
    TAction Plain;
    EXPECT_TRUE(Plain.DisableIfNoHandler()) << "TAction asks for it";
    EXPECT_FALSE(Plain.Execute());
    EXPECT_FALSE(Plain.Enabled());
}

TEST(ActnList, CheckedGroupsAndAutoCheck)
{
    auto Form = LoadActionForm();
    auto* Bold = Get<TAction>(Form.get(), "BoldAction");
    auto* Italic = Get<TAction>(Form.get(), "ItalicAction");
    auto* Save = Get<TAction>(Form.get(), "SaveAction");
    Italic->SetChecked(true);
    EXPECT_TRUE(Italic->Checked());
    EXPECT_FALSE(Bold->Checked()) << "one checked action per group";
    // AutoCheck: a checked action of a group stays checked; executing
    // another one of the group moves the check.
    EXPECT_TRUE(Italic->Execute());
    EXPECT_TRUE(Italic->Checked());
    EXPECT_TRUE(Bold->Execute());
    EXPECT_TRUE(Bold->Checked());
    EXPECT_FALSE(Italic->Checked());
    // Without a group AutoCheck toggles.
    Bold->SetGroupIndex(0);
    Bold->Execute();
    EXPECT_FALSE(Bold->Checked());
    Bold->Execute();
    EXPECT_TRUE(Bold->Checked());
    // Moving a checked action into a group unchecks the group's other one.
    Italic->SetChecked(true);
    EXPECT_TRUE(Bold->Checked()) << "group 0 is no group";
    Bold->SetGroupIndex(1);
    EXPECT_TRUE(Bold->Checked());
    EXPECT_FALSE(Italic->Checked());
    // Checked without AutoCheck is left to the program.
    Save->Execute();
    EXPECT_FALSE(Save->Checked());
}

TEST(ActnList, LinksHearEachNewValueBeforeTheActionTakesIt)
{
    InitApplication();
    TAction A;
    TRecordingLink L;
    L.SetAction(&A);
    EXPECT_EQ(A.ClientCount(), 1);
    struct Case {
        std::function<void()> Change;
        String Expected;
    } Cases[] = {
        {[&] { A.SetCaption("Open"); }, "Caption >Open"},
        {[&] { A.SetChecked(true); }, "Checked 0>1"},
        {[&] { A.SetEnabled(false); }, "Enabled 1>0"},
        {[&] { A.SetGroupIndex(3); }, "GroupIndex 0>3"},
        {[&] { A.SetHint("Opens"); }, "Hint >Opens"},
        {[&] { A.SetImageIndex(5); }, "ImageIndex -1>5"},
        {[&] { A.SetVisible(false); }, "Visible 1>0"},
    };
    for (const Case& C : Cases) {
        L.Log.clear();
        C.Change();
        EXPECT_EQ(L.Log, std::vector<String>{C.Expected});
        L.Log.clear();
        C.Change(); // the same value again tells nobody
        EXPECT_TRUE(L.Log.empty()) << C.Expected;
    }
    for (bool (TActionLink::*Linked)() const :
         {&TActionLink::IsCaptionLinked, &TActionLink::IsCheckedLinked, &TActionLink::IsEnabledLinked,
          &TActionLink::IsGroupIndexLinked, &TActionLink::IsHintLinked, &TActionLink::IsImageIndexLinked,
          &TActionLink::IsVisibleLinked})
        EXPECT_TRUE((L.*Linked)());
    // Changes are reported through the action's and its list's OnChange.
    TActionList List;
    A.SetActionList(&List);
    int ActionChanges = 0, ListChanges = 0;
    A.OnChange = [&ActionChanges](TObject*) { ++ActionChanges; };
    List.OnChange = [&ListChanges](TObject*) { ++ListChanges; };
    A.SetCaption("Close");
    A.SetCategory("File");
    EXPECT_EQ(ActionChanges, 2);
    EXPECT_EQ(ListChanges, 2);
    // The client's change handler runs with the action.
    TObject* Heard = nullptr;
    L.OnChange = [&Heard](TObject* Sender) { Heard = Sender; };
    L.Change();
    EXPECT_EQ(Heard, &A);
    A.SetActionList(nullptr);
    EXPECT_EQ(List.ActionCount(), 0);
}

TEST(ActnList, PropertiesReachTheControlAndItsOwnValuesStay)
{
    auto Form = LoadActionForm();
    auto* Save = Get<TAction>(Form.get(), "SaveAction");
    auto* SaveButton = Get<TActionButton>(Form.get(), "SaveButton");
    auto* OwnButton = Get<TActionButton>(Form.get(), "OwnButton");

    Save->SetCaption("Save &All");
    EXPECT_EQ(SaveButton->Caption(), "Save &All");
    EXPECT_EQ(OwnButton->Caption(), "Mine") << "a caption of its own is not linked";
    Save->SetHint("Saves everything");
    EXPECT_EQ(SaveButton->Hint(), "Saves everything");
    EXPECT_EQ(OwnButton->Hint(), "My own hint");
    Save->SetEnabled(false);
    EXPECT_FALSE(SaveButton->Enabled());
    EXPECT_FALSE(OwnButton->Enabled());
    Save->SetVisible(false);
    EXPECT_FALSE(SaveButton->Visible());
    Save->SetVisible(true);
    Save->SetEnabled(true);
    EXPECT_TRUE(OwnButton->Enabled());

    // A value the control is given of its own after linking unlinks that
    // property only.
    SaveButton->SetCaption("Keep");
    SaveButton->SetEnabled(false);
    EXPECT_FALSE(SaveButton->ActionLink()->IsCaptionLinked());
    EXPECT_FALSE(SaveButton->ActionLink()->IsEnabledLinked());
    EXPECT_TRUE(SaveButton->ActionLink()->IsHintLinked());
    Save->SetCaption("Other");
    Save->SetEnabled(false);
    Save->SetHint("New hint");
    EXPECT_EQ(SaveButton->Caption(), "Keep");
    EXPECT_FALSE(SaveButton->Enabled());
    EXPECT_EQ(SaveButton->Hint(), "New hint");
    // The action caught up with the button (both disabled): linked again.
    EXPECT_TRUE(SaveButton->ActionLink()->IsEnabledLinked());
    Save->SetEnabled(true);
    EXPECT_TRUE(SaveButton->Enabled());

    // Linking outside loading gives the control all of the action's values;
    // the change handler does the same later.
    auto* Fresh = new TActionButton(Form.get());
    Fresh->SetCaption("Before");
    Fresh->SetAction(Save);
    EXPECT_EQ(Fresh->Caption(), "Other");
    EXPECT_EQ(Fresh->Hint(), "New hint");
    Fresh->SetCaption("Drifted");
    Fresh->ActionLink()->Change();
    EXPECT_EQ(Fresh->Caption(), "Other");
    Fresh->SetAction(nullptr);
    EXPECT_FALSE(Fresh->ControlStyle().testFlag(csActionClient));
    EXPECT_EQ(Save->ClientCount(), 2);
}

TEST(ActnList, ClicksRunTheActionUnlessTheControlHasItsOwnHandler)
{
    auto Form = LoadActionForm();
    Form->Show();
    auto* Save = Get<TAction>(Form.get(), "SaveAction");
    auto* SaveButton = Get<TActionButton>(Form.get(), "SaveButton");
    auto* OwnButton = Get<TActionButton>(Form.get(), "OwnButton");
    Save->OnUpdate = nullptr;
    ClickAt(SaveButton, QPoint(10, 10));
    EXPECT_EQ(Form->Calls, (std::vector<String>{"list:SaveAction", "execute:SaveAction by SaveButton"}));
    EXPECT_EQ(Save->ActionComponent(), nullptr) << "only while it runs";

    std::vector<String> Own;
    OwnButton->OnClick = [&Own](TObject* Sender) { Own.push_back(dynamic_cast<TComponent*>(Sender)->Name()); };
    Form->Calls.clear();
    ClickAt(OwnButton, QPoint(10, 10));
    EXPECT_EQ(Own, std::vector<String>{"OwnButton"});
    EXPECT_TRUE(Form->Calls.empty());

    // An OnClick bound to the same method of the form as the action's
    // OnExecute is the action's: the action runs.
    TNotifyEvent Bound;
    const QMetaObject* Meta = Form->metaObject();
    for (int I = 0; I < Meta->methodCount(); ++I)
        if (Meta->method(I).name() == "SaveExecute")
            Bound.BindMethod(Form.get(), I, "SaveExecute");
    ASSERT_TRUE(Bound);
    ASSERT_TRUE(Bound == Save->OnExecute);
    OwnButton->OnClick = Bound;
    Form->Calls.clear();
    Own.clear();
    ClickAt(OwnButton, QPoint(10, 10));
    EXPECT_EQ(Form->Calls, (std::vector<String>{"list:SaveAction", "execute:SaveAction by OwnButton"}));
}

TEST(ActnList, ShowingControlsUpdateTheirActionsWhenIdle)
{
    auto Form = LoadActionForm();
    auto* Save = Get<TAction>(Form.get(), "SaveAction");
    auto* Bold = Get<TAction>(Form.get(), "BoldAction");
    int BoldUpdates = 0;
    Bold->OnUpdate = [&BoldUpdates](TObject*) { ++BoldUpdates; };
    // Bold's client is hidden: only the showing buttons' action is updated.
    auto* Hidden = new TActionButton(Form.get());
    Hidden->SetParent(Form.get());
    Hidden->SetAction(Bold);
    Hidden->SetVisible(false);
    Form->Show();
    Form->Calls.clear();
    UpdateActions();
    EXPECT_EQ(Form->Calls, std::vector<String>{"update:SaveAction"}) << "once for its two clients";
    EXPECT_EQ(BoldUpdates, 0);

    // The same happens by itself whenever the application goes idle.
    Form->Calls.clear();
    Save->OnUpdate = [](TObject* Sender) { static_cast<TAction*>(Sender)->SetCaption("Updated"); };
    RunIdle();
    EXPECT_EQ(Get<TActionButton>(Form.get(), "SaveButton")->Caption(), "Updated");
    // A failing handler does not escape the event loop.
    Save->OnUpdate = [](TObject*) { throw EInvalidOperation("update failed"); };
    std::vector<String> Shown;
    TExceptionHandler Old = SetExceptionHandler([&Shown](const std::exception& E) { Shown.push_back(E.what()); });
    RunIdle();
    SetExceptionHandler(Old);
    EXPECT_FALSE(Shown.empty());
    Save->OnUpdate = nullptr;
    Form->Hide();
}

TEST(ActnList, FreeingTheActionUnlinksItsClients)
{
    auto Form = LoadActionForm();
    auto* List = Get<TActionList>(Form.get(), "ActionList1");
    auto* Save = Get<TAction>(Form.get(), "SaveAction");
    auto* SaveButton = Get<TActionButton>(Form.get(), "SaveButton");
    auto* OwnButton = Get<TActionButton>(Form.get(), "OwnButton");
    TRecordingLink Bare; // a client that asked for no notification
    Bare.SetAction(Save);
    delete Save;
    EXPECT_EQ(SaveButton->Action(), nullptr);
    EXPECT_EQ(OwnButton->Action(), nullptr);
    EXPECT_EQ(SaveButton->ActionLink(), nullptr) << "the free notification dropped the link";
    EXPECT_EQ(Bare.Action(), nullptr);
    EXPECT_EQ(List->ActionCount(), 2);
    ClickAt(SaveButton, QPoint(5, 5)); // nothing left to run

    // An action of another owner: the free notification reaches the button.
    {
        TNonVisualComponent Module;
        auto* Far = new TAction(&Module);
        Far->SetName("Far");
        Far->OnExecute = [](TObject*) {};
        SaveButton->SetAction(Far);
        EXPECT_EQ(SaveButton->Action(), Far);
        delete Far;
        EXPECT_EQ(SaveButton->Action(), nullptr);
        EXPECT_EQ(SaveButton->ActionLink(), nullptr);
        // And the other way round: a freed client leaves the action's clients.
        auto* Near = new TAction(&Module);
        auto* Client = new TActionButton(Form.get());
        Client->SetAction(Near);
        EXPECT_EQ(Near->ClientCount(), 1);
        delete Client;
        EXPECT_EQ(Near->ClientCount(), 0);
    }

    // The list frees its actions; their clients are unlinked.
    auto* Bold = Get<TAction>(Form.get(), "BoldAction");
    OwnButton->SetAction(Bold);
    delete List;
    EXPECT_EQ(Form->FindComponent("BoldAction"), nullptr);
    EXPECT_EQ(OwnButton->Action(), nullptr);
    // Freeing the image list clears a list's Images.
    TActionList Other;
    {
        TImageList Images;
        Other.SetImages(&Images);
        EXPECT_EQ(Other.Images(), &Images);
    }
    EXPECT_EQ(Other.Images(), nullptr);
}

TEST(ActnList, AssignCopiesAnAction)
{
    InitApplication();
    TAction A, B;
    A.SetCaption("Cut");
    A.SetHint("Cuts");
    A.SetImageIndex(4);
    A.SetChecked(true);
    A.SetAutoCheck(true);
    int Runs = 0;
    A.OnExecute = [&Runs](TObject*) { ++Runs; };
    B.Assign(&A);
    EXPECT_EQ(B.Caption(), "Cut");
    EXPECT_EQ(B.Hint(), "Cuts");
    EXPECT_EQ(B.ImageIndex(), 4);
    EXPECT_TRUE(B.Checked());
    EXPECT_TRUE(B.AutoCheck());
    B.Execute();
    EXPECT_EQ(Runs, 1);
    TActionList NotAnAction;
    EXPECT_THROW(B.Assign(&NotAnAction), EConvertError);
}

#include "ActnListTest.moc"
