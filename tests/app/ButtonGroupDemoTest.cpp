// The button group demonstration window: the group reports its selection
// changes, and the controls beside it set its click style, layout, columns,
// spacing, size limit, colour, bolding, pressed look and transparency; the
// image button groups work as radio buttons and as a check list.
#include <gtest/gtest.h>

#include <memory>

#include "ButtonGroupDemo.h"
#include "DemoInput.h"
#include "DemoShot.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TButtonGroupDemo2> MakeForm()
{
    InitApplication();
    auto Form = std::unique_ptr<TButtonGroupDemo2>(
        CheckedCast<TButtonGroupDemo2>(CreateFormInstance(ClassOf<TButtonGroupDemo2>(), Application)));
    Form->Show();
    return Form;
}

TnvCustomBitBtn* Demo(TButtonGroupDemo2* Form, int I)
{
    return Form->DemoGroup->ButtonItems()->Item(I)->Button();
}

void ClickUp(TUpDown* UpDown)
{
    ClickAt(UpDown, QPoint(UpDown->Width() / 2, UpDown->Height() / 4));
}

void ClickRadio(TRadioGroup* Group, int Index)
{
    ClickAt(Group, CentreOf(Group->ButtonRect(Index)));
}

TEST(ButtonGroupDemoTest, SelectionChangesAreReported)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Zentavo ButtonGroup Demo");
    ASSERT_EQ(Form->DemoGroup->ButtonItems()->Count(), 6);
    ClickLikeAUser(Demo(Form.get(), 2));
    EXPECT_TRUE(Demo(Form.get(), 2)->Down());
    EXPECT_FALSE(Demo(Form.get(), 0)->Down());
    EXPECT_EQ(Form->ChangeLabel->Caption(), "OnChange: \"Three\" selected, \"One\" before");
    EXPECT_TRUE(Demo(Form.get(), 2)->Font()->Style().testFlag(fsBold));
    EXPECT_FALSE(Demo(Form.get(), 0)->Font()->Style().testFlag(fsBold));
    // Clicking the selected button changes nothing.
    Form->ChangeLabel->SetCaption("-");
    ClickLikeAUser(Demo(Form.get(), 2));
    EXPECT_EQ(Form->ChangeLabel->Caption(), "-");
    // Without AutoBold no caption is bold.
    ClickLikeAUser(Form->AutoBoldCheck);
    EXPECT_FALSE(Form->DemoGroup->AutoBold());
    EXPECT_FALSE(Demo(Form.get(), 2)->Font()->Style().testFlag(fsBold));
}

TEST(ButtonGroupDemoTest, ClickStyleComesFromTheRadioGroup)
{
    auto Form = MakeForm();
    ClickRadio(Form->ClickStyleRadio, 0);
    EXPECT_EQ(Form->DemoGroup->ClickStyle(), bcsCheckList);
    for (int I : {1, 3})
        ClickLikeAUser(Demo(Form.get(), I));
    EXPECT_TRUE(Demo(Form.get(), 1)->Down());
    EXPECT_TRUE(Demo(Form.get(), 3)->Down());
    ClickLikeAUser(Demo(Form.get(), 1));
    EXPECT_FALSE(Demo(Form.get(), 1)->Down());
    EXPECT_TRUE(Demo(Form.get(), 3)->Down());

    ClickRadio(Form->ClickStyleRadio, 2);
    EXPECT_EQ(Form->DemoGroup->ClickStyle(), bcsClick);
    ClickLikeAUser(Demo(Form.get(), 4));
    for (int I = 0; I < 6; ++I)
        EXPECT_FALSE(Demo(Form.get(), I)->Down() && I == 4) << "a plain button does not stay down";

    ClickRadio(Form->ClickStyleRadio, 1);
    EXPECT_EQ(Form->DemoGroup->ClickStyle(), bcsRadioGroup);
    ClickLikeAUser(Demo(Form.get(), 5));
    ClickLikeAUser(Demo(Form.get(), 0));
    EXPECT_TRUE(Demo(Form.get(), 0)->Down());
    EXPECT_FALSE(Demo(Form.get(), 5)->Down());
}

TEST(ButtonGroupDemoTest, LayoutColumnsSpacingAndSizeLimit)
{
    auto Form = MakeForm();
    TnvButtonGroup* G = Form->DemoGroup;
    // Two columns of three, four pixels apart.
    EXPECT_EQ(Demo(Form.get(), 1)->Left(), 0);
    EXPECT_EQ(Demo(Form.get(), 1)->Top(), Demo(Form.get(), 0)->Top() + Demo(Form.get(), 0)->Height() + 4);
    EXPECT_EQ(Demo(Form.get(), 3)->Top(), 0);
    EXPECT_EQ(Demo(Form.get(), 3)->Left(), Demo(Form.get(), 0)->Width() + 4);

    ClickUp(Form->ColumnsUpDown);
    EXPECT_EQ(Form->ColumnsUpDown->Position(), 3);
    EXPECT_EQ(G->Columns(), 3);
    // Three columns of two.
    EXPECT_EQ(Demo(Form.get(), 2)->Top(), 0);
    EXPECT_EQ(Demo(Form.get(), 4)->Top(), 0);
    EXPECT_GT(Demo(Form.get(), 4)->Left(), Demo(Form.get(), 2)->Left());

    ClickRadio(Form->LayoutRadio, 1);
    EXPECT_EQ(G->Layout(), loHorizontal);
    // Three rows, filled column by column.
    EXPECT_EQ(Demo(Form.get(), 0)->Top(), 0);
    EXPECT_GT(Demo(Form.get(), 1)->Top(), 0);
    EXPECT_EQ(Demo(Form.get(), 1)->Left(), 0);
    EXPECT_EQ(Demo(Form.get(), 3)->Top(), 0);
    EXPECT_GT(Demo(Form.get(), 3)->Left(), 0);
    ClickRadio(Form->LayoutRadio, 0);

    ClickUp(Form->SpacingUpDown);
    ClickUp(Form->SpacingUpDown);
    EXPECT_EQ(G->ControlSpacing(), 6);
    EXPECT_EQ(Demo(Form.get(), 1)->Top(), Demo(Form.get(), 0)->Height() + 6);

    for (int I = 0; I < 6; ++I)
        ClickUp(Form->MaxSizeUpDown);
    EXPECT_EQ(G->MaxControlSize(), 30);
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(Demo(Form.get(), I)->Height(), 30) << I;
    DumpPng(Form->grab().toImage(), "buttongroup-demo-layout");
}

TEST(ButtonGroupDemoTest, ColourPressedLookAndTransparency)
{
    auto Form = MakeForm();
    TnvButtonGroup* G = Form->DemoGroup;
    // A pixel of the group between the first two buttons.
    TnvCustomBitBtn* First = Demo(Form.get(), 0);
    const QPoint Gap = G->mapTo(Form.get(), QPoint(First->Width() / 2, First->Height() + 2));
    auto PixelAtGap = [&] { return Form->grab().toImage().pixel(Gap) & 0xFFFFFFu; };
    EXPECT_EQ(PixelAtGap(), ColorToQRgb(G->Color()) & 0xFFFFFFu);
    Form->GroupColorCombo->SetFocus();
    TypeKey(Form->GroupColorCombo->LineEdit(), Qt::Key_Down);
    const TColor Colour = Form->GroupColorCombo->SelectedColor();
    EXPECT_EQ(G->Color(), Colour);
    EXPECT_EQ(PixelAtGap(), ColorToQRgb(Colour) & 0xFFFFFFu);

    // Transparent: the backdrop's hatching or its colour shows in the gap.
    ClickLikeAUser(Form->TransparentCheck);
    EXPECT_TRUE(G->Transparent());
    const QRgb Behind = PixelAtGap();
    EXPECT_NE(Behind, ColorToQRgb(Colour) & 0xFFFFFFu);
    DumpPng(Form->grab().toImage(), "buttongroup-demo-transparent");

    // The pressed button shows its checker, or looks up with ShowDownAsUp.
    auto Checkered = [&] {
        const QImage I = First->grab().toImage();
        const int Y = First->Height() / 2 - 6;
        return (I.pixel(8, Y) & 0xFFFFFFu) != (I.pixel(9, Y) & 0xFFFFFFu);
    };
    ASSERT_TRUE(First->Down());
    EXPECT_TRUE(Checkered());
    ClickLikeAUser(Form->ShowDownAsUpCheck);
    EXPECT_TRUE(First->ShowDownAsUp());
    EXPECT_FALSE(Checkered());
}

TEST(ButtonGroupDemoTest, ImageButtonGroups)
{
    auto Form = MakeForm();
    auto* Images = CheckedCast<TnvButtonGroup>(Form->FindComponent("ImageGroup"));
    auto* Switches = CheckedCast<TnvButtonGroup>(Form->FindComponent("SwitchGroup"));
    ASSERT_EQ(Images->ButtonItems()->Count(), 4);
    ASSERT_EQ(Switches->ButtonItems()->Count(), 5);
    // Four balls side by side, 70 pixels each.
    for (int I = 0; I < 4; ++I)
        EXPECT_EQ(Images->ButtonItems()->Item(I)->Button()->BoundsRect(), TRect(I * 76, 0, I * 76 + 70, 70)) << I;
    ClickLikeAUser(Images->ButtonItems()->Item(2)->Button());
    EXPECT_TRUE(Images->ButtonItems()->Item(2)->Button()->Down());
    EXPECT_FALSE(Images->ButtonItems()->Item(0)->Button()->Down());
    // The check list: every switch on its own.
    auto Switch = [&](int I) { return Switches->ButtonItems()->Item(I)->Button(); };
    EXPECT_TRUE(Switch(1)->Down());
    ClickLikeAUser(Switch(0));
    EXPECT_TRUE(Switch(0)->Down());
    EXPECT_TRUE(Switch(1)->Down());
    ClickLikeAUser(Switch(1));
    EXPECT_FALSE(Switch(1)->Down());
    EXPECT_TRUE(Switch(4)->Down());
}

TEST(ButtonGroupDemoTest, OpensAndClosesRepeatedly)
{
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 3; ++I) {
        auto Form = MakeForm();
        ClickLikeAUser(Demo(Form.get(), I + 1));
        Form->Close();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
