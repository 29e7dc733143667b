// The colour demonstration: the option check boxes and the sort order reach
// both the colour list and the colour combo's list, the combo's dialog
// switches change its button and double click, and a colour picked in the
// list or the combo shows in the swatch.
#include <gtest/gtest.h>

#include <QListWidget>
#include <memory>

#include "AppTestSupport.h"
#include "ColorDemo.h"
#include "DemoInput.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TColorDemoForm> MakeForm()
{
    InitApplication();
    std::unique_ptr<TColorDemoForm> Form(
        CheckedCast<TColorDemoForm>(CreateFormInstance(ClassOf<TColorDemoForm>(), Application)));
    Form->Show();
    return Form;
}

void ClickControl(TControl* Control)
{
    ClickAt(Control, QPoint(Control->Width() / 2, Control->Height() / 2));
}

TCheckBox* OptionCheck(TColorDemoForm* Form, const String& Caption)
{
    for (TCheckBox* C : Form->OptionChecks)
        if (C->Caption() == Caption)
            return C;
    return nullptr;
}

TEST(ColorDemoTest, OptionCheckBoxesReachTheListAndTheCombo)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "Zentavo ColorCombo and ColorListBox Demo");
    ASSERT_EQ(Form->OptionChecks.size(), 7u);
    // The check boxes start as the list's options are.
    EXPECT_EQ(Form->CheckedOptions(), Form->ColorList1->Options());
    EXPECT_EQ(Form->ColorList1->Options(), Form->ColorCombo1->ColorListOptions()->Options());
    struct TCase {
        const char* Caption;
        TnvColorListBoxOption Option;
    } Cases[] = {
        {"Show Standard Colors", ccoShowStandardColors}, {"Show System Colors", ccoShowSystemColors},
        {"Group System Colors", ccoGroupSystemColors},   {"Show Custom Colors", ccoShowCustomColors},
        {"Show Color None", ccoShowColorNone},           {"Show Color Names", ccoShowColorNames},
        {"Show Grey Scale", ccoShowGreyScale},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Caption);
        TCheckBox* Check = OptionCheck(Form.get(), C.Caption);
        ASSERT_NE(Check, nullptr);
        const bool Was = Form->ColorList1->Options().testFlag(C.Option);
        ClickControl(Check);
        EXPECT_NE(Form->ColorList1->Options().testFlag(C.Option), Was);
        EXPECT_NE(Form->ColorCombo1->ColorListOptions()->Options().testFlag(C.Option), Was);
        ClickControl(Check);
        EXPECT_EQ(Form->ColorList1->Options().testFlag(C.Option), Was);
    }
    // The list's content follows: the grey scale adds entries, dropping the
    // standard colours removes them.
    const int Count = Form->ColorList1->Items()->Count();
    ClickControl(OptionCheck(Form.get(), "Show Grey Scale"));
    EXPECT_GT(Form->ColorList1->Items()->Count(), Count);
    ClickControl(OptionCheck(Form.get(), "Show Grey Scale"));
    ClickControl(OptionCheck(Form.get(), "Show Standard Colors"));
    EXPECT_LT(Form->ColorList1->Items()->Count(), Count);
    EXPECT_EQ(Form->ColorList1->IndexOfColor(clRed), -1);
}

TEST(ColorDemoTest, SortOrderAndDialogSwitches)
{
    auto Form = MakeForm();
    const TnvSortByOption Orders[] = {csoNone, csoByRGB, csoByIntensity, csoByName};
    for (int I : {3, 1, 2, 0}) {
        ClickAt(Form->SortGroup, CentreOf(Form->SortGroup->ButtonRect(I)));
        EXPECT_EQ(Form->SortGroup->ItemIndex(), I);
        EXPECT_EQ(Form->ColorList1->SortBy(), Orders[I]);
        EXPECT_EQ(Form->ColorCombo1->ColorListOptions()->SortBy(), Orders[I]);
    }
    ClickAt(Form->SortGroup, CentreOf(Form->SortGroup->ButtonRect(3)));
    EXPECT_EQ(Form->ColorList1->ItemName(0) <= Form->ColorList1->ItemName(1), true);

    ClickControl(Form->EllipsisCheck);
    EXPECT_EQ(Form->ColorCombo1->ButtonStyle(), cbsEllipsis);
    ClickControl(Form->EllipsisCheck);
    EXPECT_EQ(Form->ColorCombo1->ButtonStyle(), cbsDownArrow);
    ClickControl(Form->DialogCheck);
    EXPECT_TRUE(Form->ColorCombo1->ColorDialogOptions().testFlag(cdoEnabled));
    EXPECT_TRUE(Form->ColorCombo1->ColorDialogOptions().testFlag(cdoPreventFullOpen));
    ClickControl(Form->DialogCheck);
    EXPECT_FALSE(Form->ColorCombo1->ColorDialogOptions().testFlag(cdoEnabled));
}

TEST(ColorDemoTest, PickedColoursShowInTheSwatch)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->SwatchLabel->Caption(), "No colour");
    const int Red = Form->ColorList1->IndexOfColor(clRed);
    ASSERT_GE(Red, 0);
    QListWidget* List = Form->ColorList1->ListWidget();
    List->scrollToItem(List->item(Red));
    const TRect R = Form->ColorList1->ItemRect(Red);
    ClickAt(List->viewport(), CentreOf(R));
    EXPECT_EQ(Form->ColorList1->SelectedColor(), clRed);
    EXPECT_EQ(Form->Swatch->Brush()->Color(), clRed);
    EXPECT_EQ(Form->SwatchLabel->Caption(), "Red\r\nRed 255, Green 0, Blue 0");
    EXPECT_EQ(Form->ColorCombo1->SelectedColor(), clRed);

    // A custom colour of the form.
    const int Rose = Form->ColorList1->IndexOfColor(MakeColor(0x8060E0));
    ASSERT_GE(Rose, 0);
    List->scrollToItem(List->item(Rose));
    ClickAt(List->viewport(), CentreOf(Form->ColorList1->ItemRect(Rose)));
    EXPECT_EQ(Form->SwatchLabel->Caption(), "Rose\r\nRed 224, Green 96, Blue 128");

    // The combo: the next colour by keyboard.
    Form->ColorCombo1->SetFocus();
    TypeKey(Form->ColorCombo1->LineEdit(), Qt::Key_Down);
    const TColor Picked = Form->ColorCombo1->SelectedColor();
    EXPECT_NE(Picked, MakeColor(0x8060E0));
    if (Picked != clNone) {
        EXPECT_EQ(Form->Swatch->Brush()->Color(), Picked);
    }
    EXPECT_EQ(GetToken(Form->SwatchLabel->Caption(), "\r\n", 0), Form->ColorCombo1->Text());
    DumpPng(Form->grab().toImage(), "color-demo");
}

} // namespace
