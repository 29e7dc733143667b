// The tab-shaped window: borderless and cut to its notebook picture (the
// stored outline is the picture's), its tabs select the pages, the title
// strip drags it and the red button closes it.
#include <gtest/gtest.h>

#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>

#include "DemoInput.h"
#include "DemoShot.h"
#include "ImageTabDemo.h"
#include "ShapedWindowChecks.h"
#include "TestDump.h"
#include "nvCommon.h"

namespace {

std::unique_ptr<TImageTabForm> MakeForm()
{
    InitApplication();
    auto Form = std::unique_ptr<TImageTabForm>(
        CheckedCast<TImageTabForm>(CreateFormInstance(ClassOf<TImageTabForm>(), Application)));
    Form->Show();
    ActivateWindowOf(Form.get());
    QApplication::processEvents();
    return Form;
}

TEST(ImageTabDemoTest, ShapedByItsNotebookPicture)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->Caption(), "ImageTabForm");
    EXPECT_EQ(Form->BorderStyle(), bsNone);
    EXPECT_EQ(Form->ClientWidth(), 600);
    EXPECT_EQ(Form->ClientHeight(), 430);
    ASSERT_TRUE(Form->HasWindowRegion());
    // The stored outline is exactly the one the picture gives.
    const QRegion FromPicture = RegionFromGraphic(Form->nvImageForm1->Picture()->Graphic(), Form->nvImageForm1->KeyColor());
    EXPECT_EQ(Form->WindowRegion(), FromPicture);
    const struct {
        QPoint P;
        bool Inside;
    } Points[] = {{{0, 0}, false},    {{80, 10}, true},   {{175, 10}, false}, {{300, 200}, true},
                  {{0, 429}, false},  {{599, 429}, false}, {{8, 240}, true},  {{590, 20}, false}};
    for (const auto& C : Points)
        EXPECT_EQ(Form->WindowRegion().contains(C.P), C.Inside) << C.P.x() << "," << C.P.y();
    ExpectControlsInsideTheOutline(Form.get());
    // The tabs lie over the picture's tabs.
    for (int I = 0; I < 4; ++I) {
        TnvCustomBitBtn* Tab = Form->TabGroup->ButtonItems()->Item(I)->Button();
        const QPoint Centre = Tab->mapTo(Form.get(), QPoint(Tab->Width() / 2, 6));
        EXPECT_TRUE(Form->WindowRegion().contains(Centre)) << I;
    }
}

TEST(ImageTabDemoTest, TabsSelectThePages)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet1");
    for (int I : {2, 4, 3, 1}) {
        SCOPED_TRACE(I);
        TnvCustomBitBtn* Tab = Form->TabGroup->ButtonItems()->Item(I - 1)->Button();
        ClickAt(Tab, QPoint(Tab->Width() / 2, Tab->Height() / 2));
        EXPECT_TRUE(Tab->Down());
        EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet" + std::to_string(I));
        DumpPng(Form->grab().toImage(), ("imagetab-demo-page" + std::to_string(I)).c_str());
    }
    ClickAt(Form->TabGroup->ButtonItems()->Item(2)->Button(), QPoint(50, 18));
    Form->Hide();
    Form->Show();
    EXPECT_EQ(Form->PageControl1->ActivePage()->Name(), "TabSheet1");
}

TEST(ImageTabDemoTest, TitleStripDragsTheWindow)
{
    auto Form = MakeForm();
    EXPECT_EQ(Form->nvImageForm1->CaptionBarControl(), Form->TitleLabel);
    const TPoint Start(Form->Left(), Form->Top());
    const QPoint Press = Form->TitleLabel->mapToGlobal(QPoint(100, 12));
    QPointer<TImageTabForm> Guard = Form.get();
    bool Ran = false;
    QTimer::singleShot(0, [&] {
        Ran = true;
        if (!Guard)
            return;
        MouseMove(Guard, Guard->mapFromGlobal(Press + QPoint(20, 10)), Qt::LeftButton);
        MouseMove(Guard, Guard->mapFromGlobal(Press + QPoint(40, 30)), Qt::LeftButton);
        MouseRelease(Guard, Guard->mapFromGlobal(Press + QPoint(40, 30)));
    });
    MousePress(Form->TitleLabel, Form->TitleLabel->mapFromGlobal(Press));
    for (int I = 0; I < 5 && !Ran; ++I)
        QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(Ran);
    EXPECT_EQ(TPoint(Form->Left(), Form->Top()), TPoint(Start.X + 40, Start.Y + 30));
    EXPECT_FALSE(Form->nvImageForm1->Dragging());
}

TEST(ImageTabDemoTest, CloseButtonClosesAndTheWindowOpensAgain)
{
    InitApplication();
    const int Before = Application->ComponentCount();
    for (int I = 0; I < 3; ++I) {
        auto Form = MakeForm();
        EXPECT_TRUE(Form->Visible());
        ClickLikeAUser(Form->CloseButton);
        EXPECT_FALSE(Form->Visible());
    }
    EXPECT_EQ(Application->ComponentCount(), Before);
    EXPECT_FALSE(TnvCustomImageForm::HookInstalled());
}

TEST(ImageTabDemoTest, ScreenshotShowsTheNotebookWithoutAFrame)
{
    QTemporaryDir Dir;
    auto Shoot = [&](const QString& Name, QStringList Args) {
        QProcess P;
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert("QT_QPA_PLATFORM", "offscreen");
        P.setProcessEnvironment(Env);
        P.start(ZEN_DEMO_PROGRAM, QStringList{"--shot", Dir.filePath(Name)} + Args);
        EXPECT_TRUE(P.waitForFinished(120000));
        EXPECT_EQ(P.exitCode(), 0) << P.readAllStandardError().toStdString();
        return QImage(Dir.filePath(Name)).convertToFormat(QImage::Format_ARGB32);
    };
    const QImage Main = Shoot("main.png", {});
    const QImage Shot = Shoot("notebook.png", {"--open", "TImageTabForm"});
    ASSERT_EQ(Shot.size(), QSize(600, 463));
    // The 600 x 430 notebook lies centred: 16 pixels down. Outside its
    // outline (between the tabs, the corners) the main window shows, with no
    // frame or title bar around the notebook; inside it, the cover.
    for (const QPoint P : {QPoint(175, 10), QPoint(0, 0), QPoint(599, 20), QPoint(1, 428)})
        EXPECT_EQ(Shot.pixel(P + QPoint(0, 16)), Main.pixel(P + QPoint(0, 16))) << P.x() << "," << P.y();
    EXPECT_EQ(Shot.pixel(300, 16 + 420) & 0xFFFFFFu, 0x2C3E66u);
}

} // namespace
