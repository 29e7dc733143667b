// The button group as a tab control: each tab clicked like a user shows its
// page, and the window opens on the first page.
#include <gtest/gtest.h>

#include <memory>

#include "DemoShot.h"
#include "TabBtnGroupDemo.h"

namespace {

TEST(TabBtnGroupDemoTest, TabsSelectPages)
{
    InitApplication();
    std::unique_ptr<TTabBtnGroupForm> Form(
        CheckedCast<TTabBtnGroupForm>(CreateFormInstance(ClassOf<TTabBtnGroupForm>(), Application)));
    Form->Show();
    ASSERT_EQ(Form->TabGroup->ButtonItems()->Count(), 4);
    EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet1");
    for (int I : {3, 1, 4, 2}) {
        TnvCustomBitBtn* Tab = Form->TabGroup->ButtonItems()->Item(I - 1)->Button();
        ClickLikeAUser(Tab);
        EXPECT_TRUE(Tab->Down()) << I;
        EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet" + std::to_string(I));
    }
    // Shown again, the window is back on its first page.
    Form->Hide();
    Form->Show();
    EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet1");
    EXPECT_TRUE(Form->TabGroup->ButtonItems()->Item(0)->Button()->Down());
}

} // namespace
