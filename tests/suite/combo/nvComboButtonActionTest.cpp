// The combo button's Action: what the button takes from the action, Checked
// and Down, GroupIndex, the click that runs the action, a group press that
// unchecks a released sibling's action, freeing the action, the action's
// image as glyph, and the button with an action in a stored form.
#include <gtest/gtest.h>

#include <QImage>

#include "ActnList.h"
#include "ExtCtrls.h"
#include "FormStream.h"
#include "ImageList.h"
#include "nvComboTestSupport.h"
#include "nvcombobutton.h"

using namespace nvComboTest;

namespace {

struct TButtonActionFixture {
    std::unique_ptr<TComboTestForm> Form;
    TActionList* List;
    TAction* Bold;
    TAction* Italic;
    std::vector<String> Runs;

    TButtonActionFixture()
    {
        Form = NewForm();
        List = new TActionList(Form.get());
        Bold = NewAction("Bold", "&Bold");
        Italic = NewAction("Italic", "&Italic");
    }
    TAction* NewAction(const String& Name, const String& Caption)
    {
        auto* A = new TAction(Form.get());
        A->SetName(Name);
        A->SetCaption(Caption);
        A->SetHint(Caption + " text");
        A->SetActionList(List);
        A->OnExecute = [this](TObject* Sender) {
            auto* Act = dynamic_cast<TBasicAction*>(Sender);
            const TComponent* By = Act ? Act->ActionComponent() : nullptr;
            Runs.push_back(Act->Name() + (By ? " by " + By->Name() : String()));
        };
        return A;
    }
    TnvComboButton* NewButton(const String& Name, int Left)
    {
        auto* B = new TnvComboButton(Form.get());
        B->SetName(Name);
        B->SetParent(Form.get());
        B->SetBounds(Left, 10, 22, 23);
        return B;
    }
};

void Click(TnvComboButton* B)
{
    const QPoint P = Center(B);
    SendMouse(B, QEvent::MouseButtonPress, P);
    SendMouse(B, QEvent::MouseButtonRelease, P);
}

} // namespace

TEST(nvComboButtonAction, TheButtonShowsTheAction)
{
    TButtonActionFixture F;
    F.Bold->SetGroupIndex(3);
    TnvComboButton* B = F.NewButton("BoldButton", 10);
    B->SetAction(F.Bold);
    EXPECT_EQ(B->Action(), F.Bold);
    EXPECT_EQ(B->Caption(), "&Bold");
    EXPECT_EQ(B->Hint(), "&Bold text");
    EXPECT_EQ(B->GroupIndex(), 3) << "linked outside loading: the action's group";
    EXPECT_TRUE(B->ControlStyle().testFlag(csActionClient));

    F.Bold->SetCaption("B");
    F.Bold->SetEnabled(false);
    EXPECT_EQ(B->Caption(), "B");
    EXPECT_FALSE(B->Enabled());
    EXPECT_EQ(B->ButtonState(), bsDisabled);
    F.Bold->SetEnabled(true);
    F.Bold->SetVisible(false);
    EXPECT_FALSE(B->Visible());
    F.Bold->SetVisible(true);
    F.Bold->SetGroupIndex(4);
    EXPECT_EQ(B->GroupIndex(), 4);
    // Its own caption and group stay when the action changes them.
    B->SetCaption("Mine");
    B->SetGroupIndex(9);
    F.Bold->SetCaption("Bolder");
    F.Bold->SetGroupIndex(5);
    EXPECT_EQ(B->Caption(), "Mine");
    EXPECT_EQ(B->GroupIndex(), 9);
}

TEST(nvComboButtonAction, CheckedDrivesDownInAGroupThatAllowsAllUp)
{
    TButtonActionFixture F;
    F.Bold->SetGroupIndex(1);
    TnvComboButton* B = F.NewButton("BoldButton", 10);
    B->SetAction(F.Bold);
    ASSERT_EQ(B->GroupIndex(), 1);
    // Without AllowAllUp a group's down button could not follow an unchecked
    // action: Checked is not linked.
    F.Bold->SetChecked(true);
    EXPECT_FALSE(B->Down());
    F.Bold->SetChecked(false);
    B->SetAllowAllUp(true);
    struct Case {
        bool Checked;
        bool Down;
    } Cases[] = {{true, true}, {false, false}, {true, true}};
    for (const Case& C : Cases) {
        F.Bold->SetChecked(C.Checked);
        EXPECT_EQ(B->Down(), C.Down) << C.Checked;
        EXPECT_EQ(B->ButtonState(), C.Down ? bsExclusive : bsUp);
    }
    // Down set by the button itself unlinks Checked until the two agree.
    ASSERT_TRUE(B->Down());
    B->SetDown(false);
    EXPECT_FALSE(B->ActionLink()->IsCheckedLinked());
    F.Bold->SetChecked(false);
    EXPECT_TRUE(B->ActionLink()->IsCheckedLinked());
    // A button out of the group is not linked either.
    B->SetGroupIndex(0);
    F.Bold->SetChecked(true);
    EXPECT_FALSE(B->Down());
}

TEST(nvComboButtonAction, AClickRunsTheActionUnlessTheButtonHasItsOwnHandler)
{
    TButtonActionFixture F;
    TnvComboButton* B = F.NewButton("BoldButton", 10);
    B->SetAction(F.Bold);
    ShowForm(F.Form.get());
    Click(B);
    EXPECT_EQ(F.Runs, std::vector<String>{"Bold by BoldButton"});
    EXPECT_EQ(F.Bold->ActionComponent(), nullptr);
    // A disabled action does not run (the button is disabled with it).
    F.Bold->SetEnabled(false);
    Click(B);
    EXPECT_EQ(F.Runs.size(), 1u);
    F.Bold->SetEnabled(true);
    // The button's own OnClick comes instead.
    int Own = 0;
    B->OnClick = [&Own](TObject*) { ++Own; };
    Click(B);
    EXPECT_EQ(Own, 1);
    EXPECT_EQ(F.Runs.size(), 1u);
    // Accelerator characters click through the action as well.
    B->OnClick = nullptr;
    B->Perform(CM_DIALOGCHAR, 'B');
    EXPECT_EQ(F.Runs, (std::vector<String>{"Bold by BoldButton", "Bold by BoldButton"}));
}

TEST(nvComboButtonAction, AGroupPressUnchecksTheReleasedSiblingsAction)
{
    TButtonActionFixture F;
    F.Bold->SetGroupIndex(1);
    F.Italic->SetGroupIndex(1);
    auto* Panel = new TPanel(F.Form.get());
    Panel->SetParent(F.Form.get());
    Panel->SetBounds(0, 0, 200, 50);
    TnvComboButton* BoldButton = F.NewButton("BoldButton", 10);
    TnvComboButton* ItalicButton = F.NewButton("ItalicButton", 40);
    BoldButton->SetParent(Panel);
    ItalicButton->SetParent(Panel);
    BoldButton->SetAction(F.Bold);
    ItalicButton->SetAction(F.Italic);
    ShowForm(F.Form.get());
    Click(BoldButton);
    ASSERT_TRUE(BoldButton->Down());
    F.Bold->SetChecked(true);
    // Pressing the sibling releases the bold button and unchecks its action.
    Click(ItalicButton);
    EXPECT_TRUE(ItalicButton->Down());
    EXPECT_FALSE(BoldButton->Down());
    EXPECT_FALSE(F.Bold->Checked());
    EXPECT_EQ(F.Runs, (std::vector<String>{"Bold by BoldButton", "Italic by ItalicButton"}));
}

TEST(nvComboButtonAction, FreeingTheActionClearsAction)
{
    TButtonActionFixture F;
    TnvComboButton* B = F.NewButton("BoldButton", 10);
    B->SetAction(F.Bold);
    delete F.Bold;
    EXPECT_EQ(B->Action(), nullptr);
    EXPECT_EQ(B->ActionLink(), nullptr);
    EXPECT_FALSE(B->ControlStyle().testFlag(csActionClient));
    EXPECT_EQ(B->Caption(), "&Bold");
    ShowForm(F.Form.get());
    Click(B); // nothing to run any more
    EXPECT_TRUE(F.Runs.empty());
    // Freeing the action list frees its actions: their buttons let go too.
    B->SetAction(F.Italic);
    delete F.List;
    EXPECT_EQ(B->Action(), nullptr);
    // An action of another owner is forgotten through its free notification.
    TNonVisualComponent Module;
    auto* Far = new TAction(&Module);
    B->SetAction(Far);
    delete Far;
    EXPECT_EQ(B->Action(), nullptr);
}

TEST(nvComboButtonAction, AButtonWithoutGlyphShowsTheActionsImage)
{
    TButtonActionFixture F;
    std::unique_ptr<TCustomImageList> Images(TCustomImageList::CreateSize(12, 12));
    for (QRgb C : {qRgb(255, 0, 0), qRgb(0, 0, 255)}) {
        QImage I(12, 12, QImage::Format_ARGB32);
        I.fill(Qt::transparent);
        for (int Y = 2; Y < 10; ++Y)
            for (int X = 2; X < 10; ++X)
                I.setPixel(X, Y, C);
        Images->AddImage32(I);
    }
    F.List->SetImages(Images.get());
    F.Bold->SetImageIndex(1);
    TnvComboButton* B = F.NewButton("BoldButton", 10);
    B->SetAction(F.Bold);
    ASSERT_TRUE(B->HasGlyphImage());
    EXPECT_EQ(B->Glyph()->Width(), 12);
    const QImage G = B->Glyph()->ToImage32();
    ASSERT_EQ(G.width(), 12);
    EXPECT_EQ(G.pixel(5, 5) & 0xFFFFFFu, qRgb(0, 0, 255) & 0xFFFFFFu);
    EXPECT_EQ(G.pixel(0, 11) & 0xFFFFFFu, qRgb(255, 0, 255) & 0xFFFFFFu) << "the transparent colour";
    // A button with a glyph of its own keeps it; an index outside the list gives none.
    F.Italic->SetImageIndex(0);
    B->SetAction(F.Italic);
    EXPECT_EQ(B->Glyph()->ToImage32().pixel(5, 5) & 0xFFFFFFu, qRgb(0, 0, 255) & 0xFFFFFFu);
    TnvComboButton* Other = F.NewButton("Other", 40);
    F.Italic->SetImageIndex(2);
    Other->SetAction(F.Italic);
    EXPECT_FALSE(Other->HasGlyphImage());
    F.List->SetImages(nullptr);
}

TEST(nvComboButtonAction, StoredFormRoundTrip)
{
    InitApplication();
    RegisterClasses<TnvComboButton>();
    const char* const Text = R"(object Form1: TForm
  ClientHeight = 60
  ClientWidth = 200
  object ActionList1: TActionList
    object DropAction: TAction
      Caption = 'Drop'
      GroupIndex = 2
      Hint = 'Drops the list'
    end
  end
  object Linked: TnvComboButton
    Left = 10
    Top = 10
    Width = 22
    Height = 23
    Action = DropAction
  end
  object OwnValues: TnvComboButton
    Left = 40
    Top = 10
    Width = 22
    Height = 23
    Action = DropAction
    Caption = 'X'
    GroupIndex = 7
  end
end
)";
    String Written;
    {
        TForm Form;
        ReadComponentFromText(Text, &Form);
        auto* Linked = dynamic_cast<TnvComboButton*>(Form.FindComponent("Linked"));
        auto* Own = dynamic_cast<TnvComboButton*>(Form.FindComponent("OwnValues"));
        ASSERT_NE(Linked, nullptr);
        ASSERT_NE(Own, nullptr);
        EXPECT_EQ(Linked->Action(), Form.FindComponent("DropAction"));
        EXPECT_EQ(Linked->Caption(), "Drop");
        EXPECT_EQ(Linked->Hint(), "Drops the list");
        EXPECT_EQ(Linked->GroupIndex(), 2);
        // Read while the action loads: the button's own values stay.
        EXPECT_EQ(Own->Caption(), "X");
        EXPECT_EQ(Own->GroupIndex(), 7);
        Written = ComponentToText(&Form);
    }
    const size_t LinkedAt = Written.find("object Linked: TnvComboButton");
    const size_t OwnAt = Written.find("object OwnValues: TnvComboButton");
    ASSERT_NE(LinkedAt, String::npos) << Written;
    ASSERT_NE(OwnAt, String::npos) << Written;
    const String LinkedText = Written.substr(LinkedAt, OwnAt - LinkedAt);
    EXPECT_NE(LinkedText.find("Action = DropAction"), String::npos) << LinkedText;
    EXPECT_EQ(LinkedText.find("Caption"), String::npos) << "the caption comes from the action";
    EXPECT_NE(Written.substr(OwnAt).find("Caption = 'X'"), String::npos) << Written;
    TForm Again;
    ReadComponentFromText(Written, &Again);
    EXPECT_EQ(ComponentToText(&Again), Written);
    EXPECT_EQ(dynamic_cast<TnvComboButton*>(Again.FindComponent("Linked"))->Caption(), "Drop");
}
