// The track bar demonstration: the quarter-inch ruler follows keys, clicks
// on its channel and its thumb; the vertical bar runs inverted on request;
// the bound bars follow the orders (the priority with its named ticks, the
// calculated "PercentPaid" read-only) and the priority writes back.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <memory>

#include "AppTestSupport.h"
#include "DemoInput.h"
#include "DemoShot.h"
#include "TestDump.h"
#include "TrackbarDemo.h"

namespace {

std::unique_ptr<TTrackbarForm> MakeForm()
{
    InitApplication();
    return std::unique_ptr<TTrackbarForm>(
        CheckedCast<TTrackbarForm>(CreateFormInstance(ClassOf<TTrackbarForm>(), Application)));
}

// A client point of the bar's channel at a value.
QPoint ChannelPoint(TnvTrackBar* Bar, double Value)
{
    const TRect Track = Bar->GetTrackRect();
    if (Bar->Orientation() == trnvHorizontal)
        return QPoint(Track.Left + Bar->ValueToPixel(Value), (Track.Top + Track.Bottom) / 2);
    return QPoint((Track.Left + Track.Right) / 2, Track.Top + Bar->ValueToPixel(Value));
}

TEST(TrackbarDemoTest, RulerFollowsKeysClicksAndTheThumb)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "TrackBar Demo");
    Form->Show();
    TnvTrackBar* Ruler = Form->InchRuler;
    EXPECT_DOUBLE_EQ(Ruler->Position(), 2.5);
    int Changes = 0;
    Ruler->OnChange = [&](TObject*) { ++Changes; };
    // Keys move by a quarter inch, Page Up and Down by a whole one.
    ClickLikeAUser(Ruler->ThumbControl());
    EXPECT_TRUE(Ruler->Focused());
    TypeKey(Ruler, Qt::Key_Right);
    TypeKey(Ruler, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(Ruler->Position(), 3.0);
    TypeKey(Ruler, Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(Ruler->Position(), 4.0);
    TypeKey(Ruler, Qt::Key_Left);
    EXPECT_DOUBLE_EQ(Ruler->Position(), 3.75);
    EXPECT_EQ(Changes, 4);
    // A click on the channel left of the thumb steps down.
    const QPoint Left = ChannelPoint(Ruler, 0.5);
    MousePress(Ruler, Left);
    MouseRelease(Ruler, Left);
    EXPECT_DOUBLE_EQ(Ruler->Position(), 3.5);
    // Dragging the thumb to the pixel of 1.25 inches.
    TnvTrackIcon* Thumb = Ruler->ThumbControl();
    const QPoint Grab(Thumb->Width() / 2, Thumb->Height() / 2);
    const int Distance = Ruler->ValueToPixel(1.25) - Ruler->ValueToPixel(3.5);
    MousePress(Thumb, Grab);
    MouseMove(Thumb, Grab + QPoint(Distance, 0), Qt::LeftButton);
    MouseRelease(Thumb, Grab + QPoint(Distance, 0));
    EXPECT_NEAR(Ruler->Position(), 1.25, 0.25 + 1e-9);
    EXPECT_DOUBLE_EQ(std::fmod(Ruler->Position(), 0.25), 0.0) << "snapped to quarter inches";
    DumpPng(Form->grab().toImage(), "trackbar-demo");
}

TEST(TrackbarDemoTest, InvertedRunsTheVerticalBarTheOtherWay)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    auto Form = MakeForm();
    Form->Show();
    TnvTrackBar* Bar = Form->VerticalBar;
    const double Start = Bar->Position();
    Bar->SetFocus();
    TypeKey(Bar, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(Bar->Position(), Start + 1);
    const QImage Before = Bar->grab().toImage();
    ClickLikeAUser(Form->InvertedCheck);
    EXPECT_TRUE(Bar->Inverted());
    Bar->SetFocus();
    TypeKey(Bar, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(Bar->Position(), Start);
    // The same value now lies at the mirrored place of the channel.
    const int Height = Bar->GetTrackRect().Bottom - Bar->GetTrackRect().Top;
    Bar->SetPosition(2);
    const int Inverted = Bar->ValueToPixel(2);
    ClickLikeAUser(Form->InvertedCheck);
    EXPECT_FALSE(Bar->Inverted());
    EXPECT_NEAR(Bar->ValueToPixel(2), Height - Inverted, 1);
    EXPECT_NE(Before, Bar->grab().toImage());
}

TEST(TrackbarDemoTest, BoundBarsFollowTheOrdersAndThePriorityWritesBack)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    auto Form = MakeForm();
    Form->Show();
    TClientDataSet* Orders = Form->OrdersTable;
    auto* Next = CheckedCast<TButton>(Form->FindComponent("NextButton"));
    for (int I = 0; I < 6; ++I) {
        SCOPED_TRACE(Orders->RecNo());
        EXPECT_DOUBLE_EQ(Form->PriorityBar->Position(), Orders->FieldByName("Priority")->AsInteger());
        const double Paid = Orders->FieldByName("AmountPaid")->AsFloat();
        const double Total = Orders->FieldByName("ItemsTotal")->AsFloat();
        EXPECT_EQ(Orders->FieldByName("PercentPaid")->AsInteger(), static_cast<int>(std::trunc(Paid / Total * 100)));
        EXPECT_DOUBLE_EQ(Form->PaidBar->Position(), Orders->FieldByName("PercentPaid")->AsInteger());
        ClickLikeAUser(Next);
    }
    // The percentage is calculated: its bar does not move.
    const double Paid = Form->PaidBar->Position();
    Form->PaidBar->SetFocus();
    TypeKey(Form->PaidBar, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(Form->PaidBar->Position(), Paid);
    // The priority does: a key press edits the record, leaving posts it.
    const int Priority = Orders->FieldByName("Priority")->AsInteger();
    Form->PriorityBar->SetFocus();
    TypeKey(Form->PriorityBar, Priority < 3 ? Qt::Key_Right : Qt::Key_Left);
    const int Changed = Priority < 3 ? Priority + 1 : Priority - 1;
    EXPECT_DOUBLE_EQ(Form->PriorityBar->Position(), Changed);
    Form->InchRuler->SetFocus();
    Orders->CheckBrowseMode();
    EXPECT_EQ(Orders->FieldByName("Priority")->AsInteger(), Changed);
}

TEST(TrackbarDemoTest, PriorityTicksAreNamed)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    auto Form = MakeForm();
    std::vector<String> Drawn;
    TnvTrackBar* Bar = Form->PriorityBar;
    const TnvDrawTickTextEvent Handler = Bar->OnDrawTickText;
    ASSERT_TRUE(Handler);
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

TEST(TrackbarDemoTest, MissingOrdersFileFailsTheWindow)
{
    QTemporaryDir Empty;
    TWorkingDirectory Dir(Empty.path());
    InitApplication();
    const int Before = Application->ComponentCount();
    try {
        MakeForm();
        ADD_FAILURE() << "a missing orders file must fail the window";
    } catch (const EDatabaseError& E) {
        EXPECT_NE(String(E.what()).find("nvorders.xml"), String::npos) << E.what();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

TEST(TrackbarDemoTest, OpensAndClosesRepeatedly)
{
    TWorkingDirectory Dir(SourceDir() + "/app/forms");
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 3; ++I) {
        auto Form = MakeForm();
        Form->Show();
        ClickLikeAUser(Form->InvertedCheck);
        Form->Close();
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
}

} // namespace
