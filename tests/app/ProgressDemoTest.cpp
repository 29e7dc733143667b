// The progress bar demonstration: the timer steps two bars and restarts
// both once the first reaches 100; the bound bar shows the calculated
// "PercentPaid" of the current order; the priority ticks read "Low" to
// "Top Priority"; a missing or damaged orders file fails the window with
// the dataset's error.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <memory>
#include <set>

#include "AppTestSupport.h"
#include "DemoInput.h"
#include "DemoShot.h"
#include "FloatFormat.h"
#include "ProgressDemo.h"
#include "nvLabel.h"
#include "TestDump.h"

namespace {

std::unique_ptr<TProgressForm> MakeForm()
{
    InitApplication();
    return std::unique_ptr<TProgressForm>(
        CheckedCast<TProgressForm>(CreateFormInstance(ClassOf<TProgressForm>(), Application)));
}

TEST(ProgressDemoTest, TimerStepsBothBarsAndRestartsThemAtTheTop)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "ProgressBar Demo");
    Form->Show();
    EXPECT_TRUE(Form->Timer1->Running());
    EXPECT_EQ(Form->Timer1->Interval(), 500);
    Form->ProgressBar1->SetProgress(0);
    Form->ProgressBar2->SetProgress(0);
    for (int Tick = 1; Tick <= 10; ++Tick) {
        Form->Timer1->OnTimer(Form->Timer1);
        EXPECT_EQ(Form->ProgressBar1->Progress(), 10 * Tick);
        EXPECT_EQ(Form->ProgressBar2->Progress(), 5 * Tick);
    }
    // The first is full: the next tick starts both again.
    Form->Timer1->OnTimer(Form->Timer1);
    EXPECT_EQ(Form->ProgressBar1->Progress(), 0);
    EXPECT_EQ(Form->ProgressBar2->Progress(), 0);
    Form->Timer1->OnTimer(Form->Timer1);
    EXPECT_EQ(Form->ProgressBar1->Progress(), 10);

    // "Run the timer" stops and starts it.
    auto* Run = CheckedCast<TCheckBox>(Form->FindComponent("RunCheck"));
    ClickLikeAUser(Run);
    EXPECT_FALSE(Form->Timer1->Running());
    ClickLikeAUser(Run);
    EXPECT_TRUE(Form->Timer1->Running());
}

TEST(ProgressDemoTest, BoundBarShowsThePercentPaidOfEachOrder)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    auto Form = MakeForm();
    Form->Show();
    TClientDataSet* Orders = Form->OrdersTable;
    ASSERT_TRUE(Orders->Active());
    TField* Percent = Orders->FieldByName("PercentPaid");
    ASSERT_TRUE(Percent->Calculated());
    auto* Next = CheckedCast<TButton>(Form->FindComponent("NextButton"));
    auto* Prior = CheckedCast<TButton>(Form->FindComponent("PriorButton"));
    auto* OrderLabel = CheckedCast<TnvLabel>(Form->FindComponent("OrderLabel"));
    std::set<int> Seen;
    for (int I = 0; I < 12; ++I) {
        SCOPED_TRACE(Orders->RecNo());
        const double Total = Orders->FieldByName("ItemsTotal")->AsFloat();
        const double Paid = Orders->FieldByName("AmountPaid")->AsFloat();
        const int Expected = static_cast<int>(std::trunc(Paid / Total * 100));
        EXPECT_EQ(Percent->AsInteger(), Expected);
        EXPECT_EQ(Form->PaidBar->Progress(), Expected);
        EXPECT_EQ(OrderLabel->Caption(), Orders->FieldByName("OrderNo")->AsString());
        EXPECT_DOUBLE_EQ(Form->PriorityBar->Position(), Orders->FieldByName("Priority")->AsInteger());
        Seen.insert(Expected);
        ClickLikeAUser(Next);
    }
    EXPECT_GE(Seen.size(), 3u) << "the sample orders are paid in different shares";
    EXPECT_TRUE(Seen.count(0) && Seen.count(100));
    ClickLikeAUser(Prior);
    EXPECT_EQ(Orders->RecNo(), 12);
    DumpPng(Form->grab().toImage(), "progress-demo");
}

TEST(ProgressDemoTest, PriorityTicksReadLowToTopPriority)
{
    struct TCase {
        double Value;
        const char* Text;
    };
    const TCase Cases[] = {{0, "Low"},       {1, "Medium"},          {2, "High"},         {3, "Top Priority"},
                           {0.009, "Low"},   {2.995, "Top Priority"}, {1.02, "1.02"},     {4, "4"},
                           {-1, "-1"},       {0.5, "0.5"}};
    for (const TCase& C : Cases) {
        String Text = FloatToStr(C.Value);
        PriorityTickText(C.Value, Text);
        EXPECT_EQ(Text, C.Text) << C.Value;
    }
    // The bar itself labels its four ticks so.
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    auto Form = MakeForm();
    std::vector<String> Drawn;
    TnvTrackBar* Bar = Form->PriorityBar;
    const TnvDrawTickTextEvent Handler = Bar->OnDrawTickText;
    Bar->OnDrawTickText = [&](TObject* Sender, double V, String& T, TRect& R, bool& D) {
        Handler(Sender, V, T, R, D);
        Drawn.push_back(T);
    };
    Form->Show();
    Bar->grab();
    ASSERT_GE(Drawn.size(), 4u);
    EXPECT_EQ(std::vector<String>(Drawn.end() - 4, Drawn.end()),
              (std::vector<String>{"Low", "Medium", "High", "Top Priority"}));
}

TEST(ProgressDemoTest, MissingOrDamagedOrdersFileFailsTheWindow)
{
    InitApplication();
    const int Before = Application->ComponentCount();
    QTemporaryDir Root;
    ASSERT_TRUE(QDir(Root.path()).mkpath("forms"));
    ASSERT_TRUE(QDir(Root.path()).mkpath("db"));
    TWorkingDirectory Dir(Root.path() + "/forms");
    try {
        MakeForm();
        ADD_FAILURE() << "a missing orders file must fail the window";
    } catch (const EDatabaseError& E) {
        EXPECT_NE(String(E.what()).find("nvorders.xml"), String::npos) << E.what();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);

    QFile Damaged(Root.path() + "/db/nvorders.xml");
    ASSERT_TRUE(Damaged.open(QIODevice::WriteOnly));
    Damaged.write("<?xml version=\"1.0\"?>\n<dataset version=\"1\">\n  <fields>\n    <field name=\"OrderNo\"");
    Damaged.close();
    try {
        MakeForm();
        ADD_FAILURE() << "a damaged orders file must fail the window";
    } catch (const EDatabaseError& E) {
        EXPECT_NE(String(E.what()).find("nvorders.xml"), String::npos) << E.what();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

TEST(ProgressDemoTest, OpensAndClosesRepeatedly)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 3; ++I) {
        auto Form = MakeForm();
        Form->Show();
        Form->Timer1->OnTimer(Form->Timer1);
        Form->Close();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
