// The data-aware label demonstration: the labels follow the fish table's
// record, and the notes switch full justification.
#include <gtest/gtest.h>

#include <memory>

#include "AppTestSupport.h"
#include "JustifyLabelDemo.h"

namespace {

TEST(JustifyLabelDemoTest, LabelsFollowTheRecordAndJustificationSwitches)
{
    InitApplication();
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    std::unique_ptr<TJustifyLabelDemoForm> Form(
        CheckedCast<TJustifyLabelDemoForm>(CreateFormInstance(ClassOf<TJustifyLabelDemoForm>(), Application)));
    auto* Name = CheckedCast<TnvLabel>(Form->FindComponent("NameLabel"));
    TClientDataSet* Table = Form->BiolifeTable;
    ASSERT_TRUE(Table->Active());
    EXPECT_EQ(Name->Caption(), Table->FieldByName("CommonName")->AsString());
    EXPECT_EQ(Form->NotesLabel->Caption(), Table->FieldByName("Notes")->AsString());
    Form->NextButtonClick(nullptr);
    EXPECT_EQ(Table->RecNo(), 2);
    EXPECT_EQ(Name->Caption(), Table->FieldByName("CommonName")->AsString());
    Form->PriorButtonClick(nullptr);
    EXPECT_EQ(Table->RecNo(), 1);

    EXPECT_TRUE(Form->NotesLabel->TextOptions()->Options().testFlag(toFullJustify));
    Form->JustifyCheck->SetChecked(false);
    EXPECT_FALSE(Form->NotesLabel->TextOptions()->Options().testFlag(toFullJustify));
    Form->JustifyCheck->SetChecked(true);
    EXPECT_TRUE(Form->NotesLabel->TextOptions()->Options().testFlag(toFullJustify));
}

} // namespace
