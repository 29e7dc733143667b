// Outlook list items with actions: what the item takes from its action, the
// click that runs the action (real mouse events), freeing the action, and
// items with actions in stored forms.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <memory>
#include <vector>

#include "ActnList.h"
#include "FormStream.h"
#include "Forms.h"
#include "nvOutlookList.h"

class TOutlookActionForm : public TForm {
    Q_OBJECT
public:
    explicit TOutlookActionForm(TComponent* AOwner = nullptr) : TForm(AOwner) {}
    std::vector<String> Calls;
    Q_INVOKABLE void OpenExecute(TObject* Sender)
    {
        auto* Item = dynamic_cast<TnvOutlookListItem*>(Sender);
        Calls.push_back("execute:" + (Item ? Item->Text() : String("not an item")));
    }
};

namespace {

// A shown form with an outlook list of three items and an action list with
// one action.
struct TActionListFixture {
    std::unique_ptr<TOutlookActionForm> Form;
    TnvOutlookList* List;
    TActionList* Actions;
    TAction* Open;

    TActionListFixture()
    {
        InitApplication();
        Form = std::make_unique<TOutlookActionForm>();
        Form->SetBounds(0, 0, 300, 400);
        Actions = new TActionList(Form.get());
        Open = new TAction(Form.get());
        Open->SetName("Open");
        Open->SetActionList(Actions);
        Open->SetCaption("Open file");
        Open->SetHint("Opens a file");
        Open->OnExecute = [this](TObject* Sender) { Form->OpenExecute(Sender); };
        List = new TnvOutlookList(Form.get());
        List->SetName("List");
        List->SetParent(Form.get());
        List->SetBorderStyle(bsNone);
        List->SetBounds(0, 0, 120, 360);
        for (int I = 0; I < 3; ++I)
            List->Items()->Add()->SetText("Item " + std::to_string(I + 1));
        List->OnItemClick = [this](TnvCustomOutlookList*, TnvOutlookListItem* It) {
            Form->Calls.push_back("list click:" + It->Text());
        };
        Form->Show();
        List->UpdateItemRects();
    }
    TnvOutlookListItem* Item(int I) const { return List->Items()->Items(I); }

    // A real mouse move, press and release at the item's centre.
    void ClickItem(TnvOutlookListItem* It)
    {
        const TRect R = It->ItemRect();
        ASSERT_FALSE(R.IsEmpty());
        const QPoint P(R.Left + R.Width() / 2, R.Top + R.Height() / 2);
        const QPoint G = List->mapToGlobal(P);
        QMouseEvent Move(QEvent::MouseMove, P, G, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(List, &Move);
        QMouseEvent Press(QEvent::MouseButtonPress, P, G, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(List, &Press);
        QMouseEvent Release(QEvent::MouseButtonRelease, P, G, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(List, &Release);
    }
};

} // namespace

TEST(nvOutlookListAction, ClickingAnItemRunsItsActionWithTheItemAsSender)
{
    TActionListFixture F;
    int Updates = 0;
    F.Open->OnUpdate = [&Updates](TObject*) { ++Updates; };
    F.Item(1)->OnClick = [&F](TnvCustomOutlookList*, TnvOutlookListItem* It) {
        F.Form->Calls.push_back("item click:" + It->Text());
    };
    F.Item(1)->SetAction(F.Open);
    F.List->UpdateItemRects();
    ASSERT_EQ(F.Item(1)->Text(), "Open file");
    F.ClickItem(F.Item(1));
    EXPECT_EQ(F.Form->Calls,
              (std::vector<String>{"list click:Open file", "item click:Open file", "execute:Open file"}));
    EXPECT_EQ(Updates, 0) << "the item runs the execute handler itself";

    // An item without an action, or whose action has no handler, just clicks.
    F.Form->Calls.clear();
    F.ClickItem(F.Item(0));
    EXPECT_EQ(F.Form->Calls, std::vector<String>{"list click:Item 1"});
    F.Item(0)->SetAction(F.Open);
    F.Open->OnExecute = nullptr;
    F.Form->Calls.clear();
    F.List->UpdateItemRects();
    F.ClickItem(F.Item(0));
    EXPECT_EQ(F.Form->Calls, std::vector<String>{"list click:Open file"});

    // A disabled action disables its items: a click does nothing.
    F.Open->OnExecute = [&F](TObject* Sender) { F.Form->OpenExecute(Sender); };
    F.Open->SetEnabled(false);
    EXPECT_FALSE(F.Item(1)->Enabled());
    F.Form->Calls.clear();
    F.ClickItem(F.Item(1));
    EXPECT_TRUE(F.Form->Calls.empty());

    // A handler that frees the clicked item's action leaves nothing behind.
    F.Open->SetEnabled(true);
    F.Item(2)->SetAction(F.Open);
    F.List->OnItemClick = [&F](TnvCustomOutlookList*, TnvOutlookListItem*) {
        delete F.Open;
        F.Open = nullptr;
    };
    F.List->UpdateItemRects();
    F.Form->Calls.clear();
    F.ClickItem(F.Item(2));
    EXPECT_TRUE(F.Form->Calls.empty());
    EXPECT_EQ(F.Item(2)->Action(), nullptr);
}

TEST(nvOutlookListAction, TheItemTakesTheActionsPropertiesAndFollowsThem)
{
    TActionListFixture F;
    TnvOutlookListItem* It = F.Item(0);
    It->SetHint("Own hint");
    It->SetImageIndex(3);
    F.Open->SetImageIndex(7);
    It->SetAction(F.Open);
    // Linked outside loading: everything comes from the action.
    EXPECT_EQ(It->Action(), F.Open);
    EXPECT_EQ(It->Text(), "Open file");
    EXPECT_EQ(It->Hint(), "Opens a file");
    EXPECT_TRUE(It->Enabled());
    EXPECT_EQ(It->ImageIndex(), 3) << "the image index is not linked";
    EXPECT_EQ(F.Open->ClientCount(), 1);

    // Caption, enabled, hint and visible are always linked: an item's own
    // text is replaced by the next caption, but an empty caption leaves it.
    It->SetText("Renamed");
    F.Open->SetCaption("Open again");
    EXPECT_EQ(It->Text(), "Open again");
    F.Open->SetCaption("");
    EXPECT_EQ(It->Text(), "Open again");
    F.Open->SetHint("New hint");
    EXPECT_EQ(It->Hint(), "New hint");
    F.Open->SetEnabled(false);
    EXPECT_FALSE(It->Enabled());
    F.Open->SetEnabled(true);
    EXPECT_TRUE(It->Enabled());
    F.Open->SetImageIndex(1);
    EXPECT_EQ(It->ImageIndex(), 3);
    // Hiding the top item through its action scrolls to the next one.
    ASSERT_EQ(F.List->TopItem(), It);
    F.Open->SetVisible(false);
    EXPECT_FALSE(It->Visible());
    EXPECT_EQ(F.List->TopItem(), F.Item(1));
    F.Open->SetVisible(true);
    EXPECT_TRUE(It->Visible());

    // The change handler takes everything again, the empty caption too.
    It->SetHint("Drifted");
    It->ActionLink()->Change();
    EXPECT_EQ(It->Hint(), "New hint");
    EXPECT_EQ(It->Text(), "");

    // Dropping the action keeps the values and leaves the action's clients.
    It->SetAction(nullptr);
    EXPECT_EQ(It->ActionLink(), nullptr);
    EXPECT_EQ(F.Open->ClientCount(), 0);
    F.Open->SetHint("Not heard");
    EXPECT_EQ(It->Hint(), "New hint");
    // A freed item leaves its action's clients too.
    F.Item(1)->SetAction(F.Open);
    EXPECT_EQ(F.Open->ClientCount(), 1);
    F.List->Items()->Delete(1);
    EXPECT_EQ(F.Open->ClientCount(), 0);
}

TEST(nvOutlookListAction, FreeingTheActionClearsTheItemsAction)
{
    TActionListFixture F;
    // An action of the same form: the form tells the list.
    F.Item(0)->SetAction(F.Open);
    F.Item(2)->SetAction(F.Open);
    delete F.Open;
    EXPECT_EQ(F.Item(0)->Action(), nullptr);
    EXPECT_EQ(F.Item(0)->ActionLink(), nullptr) << "the link goes with the action";
    EXPECT_EQ(F.Item(2)->Action(), nullptr);
    EXPECT_EQ(F.Actions->ActionCount(), 0);
    EXPECT_EQ(F.Item(0)->Text(), "Open file") << "the item keeps what it took";

    // An action of another owner: its free notification reaches the list.
    {
        TNonVisualComponent Module;
        auto* Far = new TAction(&Module);
        Far->SetCaption("Far away");
        Far->OnExecute = [&F](TObject* Sender) { F.Form->OpenExecute(Sender); };
        F.Item(1)->SetAction(Far);
        EXPECT_EQ(F.Item(1)->Text(), "Far away");
        delete Far;
        EXPECT_EQ(F.Item(1)->Action(), nullptr);
        EXPECT_EQ(F.Item(1)->ActionLink(), nullptr);
        // The other way round: a list freed before its action's owner.
        auto* Near = new TAction(&Module);
        F.Item(1)->SetAction(Near);
        EXPECT_EQ(Near->ClientCount(), 1);
        delete F.List;
        EXPECT_EQ(Near->ClientCount(), 0);
    }
    EXPECT_TRUE(F.Form->Calls.empty());
}

TEST(nvOutlookListAction, ItemsWithActionsInStoredForms)
{
    InitApplication();
    RegisterClasses<TOutlookActionForm>();
    const char* const Text = R"(object OutlookActionForm: TOutlookActionForm
  ClientHeight = 300
  ClientWidth = 200
  object ActionList1: TActionList
    object OpenAction: TAction
      Caption = 'Open'
      Hint = 'Opens'
      OnExecute = OpenExecute
    end
    object HiddenAction: TAction
      Caption = 'Hidden'
      Visible = False
      OnExecute = OpenExecute
    end
  end
  object List: TnvOutlookList
    Width = 120
    Height = 280
    Items = <
      item
        Action = OpenAction
      end
      item
        Action = OpenAction
        Text = 'Own text'
        Hint = 'Own hint'
        Enabled = False
      end
      item
        Action = HiddenAction
      end>
  end
end
)";
    String Written;
    {
        TOutlookActionForm Form;
        ReadComponentFromText(Text, &Form);
        auto* L = dynamic_cast<TnvOutlookList*>(Form.FindComponent("List"));
        auto* Open = dynamic_cast<TAction*>(Form.FindComponent("OpenAction"));
        ASSERT_NE(L, nullptr);
        ASSERT_NE(Open, nullptr);
        ASSERT_EQ(L->Items()->Count(), 3);
        TnvOutlookListItem* First = L->Items()->Items(0);
        TnvOutlookListItem* Second = L->Items()->Items(1);
        TnvOutlookListItem* Third = L->Items()->Items(2);
        EXPECT_EQ(First->Action(), Open);
        EXPECT_EQ(First->Text(), "Open");
        EXPECT_EQ(First->Hint(), "Opens");
        // Linked while the action was being read: the item's own values stay.
        EXPECT_EQ(Second->Text(), "Own text");
        EXPECT_EQ(Second->Hint(), "Own hint");
        EXPECT_FALSE(Second->Enabled());
        EXPECT_FALSE(Third->Visible());
        EXPECT_EQ(L->TopItem(), First);
        // The handler bound by name runs with the item.
        Form.Show();
        L->UpdateItemRects();
        L->ItemClick(First);
        EXPECT_EQ(Form.Calls, std::vector<String>{"execute:Open"});
        Written = ComponentToText(&Form);
    }
    EXPECT_NE(Written.find("Action = OpenAction"), String::npos) << Written;
    EXPECT_NE(Written.find("Action = HiddenAction"), String::npos) << Written;
    TOutlookActionForm Again;
    ReadComponentFromText(Written, &Again);
    EXPECT_EQ(ComponentToText(&Again), Written);
    auto* L = dynamic_cast<TnvOutlookList*>(Again.FindComponent("List"));
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(L->Items()->Items(1)->Action(), Again.FindComponent("OpenAction"));
    EXPECT_EQ(L->Items()->Items(1)->Text(), "Own text");
    EXPECT_FALSE(L->Items()->Items(2)->Visible());
}

#include "nvOutlookListActionTest.moc"
