// A shaped form on a real X server: the window's mask cuts the outline out
// of the screen, and a drag by the caption strip with the mouse (xdotool)
// moves the window. The outer test starts a virtual X server (Xvfb) and runs
// this program once more on it with the inner test selected.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include "FormStream.h"
#include "ImageFormTestSupport.h"

using namespace ImageFormTest;

namespace {

const char* InnerVariable = "ZEN_IMAGEFORM_X11_INNER";

QString ShotDir()
{
    const QString D = qEnvironmentVariable("ZEN_SHOT_DIR");
    return D.isEmpty() ? QDir::tempPath() : D;
}

// Waits, processing events, until Done or the time is up.
bool WaitFor(const std::function<bool()>& Done, int Milliseconds)
{
    QElapsedTimer T;
    T.start();
    while (!Done()) {
        if (T.elapsed() > Milliseconds)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// The screen as the X server shows it.
QImage ScreenShot()
{
    QScreen* S = QGuiApplication::primaryScreen();
    return S ? S->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32) : QImage();
}

} // namespace

TEST(ImageFormX11, ShapedFormOnAnXServer)
{
    if (qEnvironmentVariableIsSet(InnerVariable))
        GTEST_SKIP() << "this is the run inside the X server";
    const QString Xvfb = QStandardPaths::findExecutable("Xvfb");
    const QString Xdotool = QStandardPaths::findExecutable("xdotool");
    if (Xvfb.isEmpty() || Xdotool.isEmpty())
        GTEST_SKIP() << "no X server can start: Xvfb and xdotool are needed (scripts/install-deps.sh installs them)";

    // A display number nobody uses.
    int Display = -1;
    for (int N = 140; N < 200 && Display < 0; ++N)
        if (!QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(N)) &&
            !QFileInfo::exists(QString("/tmp/.X%1-lock").arg(N)))
            Display = N;
    if (Display < 0)
        GTEST_SKIP() << "no X server can start: no free display number between :140 and :199";

    QProcess Server;
    Server.setProcessChannelMode(QProcess::MergedChannels);
    Server.start(Xvfb, {QString(":%1").arg(Display), "-screen", "0", "800x600x24", "-nolisten", "tcp", "-br"});
    const QString Socket = QString("/tmp/.X11-unix/X%1").arg(Display);
    if (!Server.waitForStarted(5000) ||
        !WaitFor([&] { return QFileInfo::exists(Socket) || Server.state() == QProcess::NotRunning; }, 10000) ||
        Server.state() == QProcess::NotRunning) {
        Server.kill();
        Server.waitForFinished(2000);
        GTEST_SKIP() << "no X server can start: Xvfb :" << Display << " did not come up: "
                     << Server.readAll().toStdString();
    }

    QProcess Inner;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert("DISPLAY", QString(":%1").arg(Display));
    Env.insert("QT_QPA_PLATFORM", "xcb");
    Env.insert(InnerVariable, "1");
    Inner.setProcessEnvironment(Env);
    Inner.setProcessChannelMode(QProcess::MergedChannels);
    Inner.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ImageFormX11Inner.*"});
    const bool Finished = Inner.waitForStarted(5000) && Inner.waitForFinished(120000);
    const std::string Output = Inner.readAll().toStdString();
    if (!Finished)
        Inner.kill();
    Server.terminate();
    if (!Server.waitForFinished(5000)) {
        Server.kill();
        Server.waitForFinished(2000);
    }
    ASSERT_TRUE(Finished) << Output;
    EXPECT_EQ(Inner.exitCode(), 0) << Output;
    EXPECT_NE(Output.find("[  PASSED  ] 1 test"), std::string::npos) << Output;
    EXPECT_EQ(Output.find("[  SKIPPED ]"), std::string::npos) << Output;
}

TEST(ImageFormX11Inner, MaskAndDragWithTheMouse)
{
    if (!qEnvironmentVariableIsSet(InnerVariable) || QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "runs inside the X server that ImageFormX11.ShapedFormOnAnXServer starts";

    // A 200 x 120 picture: a navy outline with rounded corners and a round
    // hole, white outside; the caption strip is yellow.
    const QRegion Shape = CreateRoundRectRgn(0, 0, 200, 120, 60, 60).subtracted(CreateEllipticRgn(130, 50, 170, 90));
    TBitmap B;
    B.SetImage(PictureOf(Shape, 200, 120, qRgb(0, 0, 128)));
    B.SetPixelFormat(pf4bit);

    // Written and read back, so the window is shaped by the stored region.
    String Text;
    {
        TShapedForm S(200, 120);
        S.SetPicture(&B);
        auto* Bar = new TShape(S.Form.get());
        Bar->SetName("Shape1");
        Bar->SetParent(S.Form.get());
        Bar->SetBounds(30, 8, 140, 21);
        Bar->Brush()->SetColor(clYellow);
        Bar->Pen()->SetColor(clYellow);
        S.Image->SetCaptionBarControl(Bar);
        Text = ComponentToText(S.Form.get());
    }
    std::unique_ptr<TForm> Form(dynamic_cast<TForm*>(ReadComponentFromText(Text, nullptr)));
    ASSERT_TRUE(Form);
    Form->SetBounds(100, 100, 200, 120);
    Form->Show();
    ASSERT_TRUE(WaitFor([&] { return Form->windowHandle() && Form->windowHandle()->isExposed(); }, 5000));
    WaitFor([] { return false; }, 300);

    EXPECT_TRUE(EqualRgn(Form->mask(), Shape));
    // On the screen: the picture inside the outline, the black root window
    // outside it (the corners and the hole).
    QImage Shot = ScreenShot();
    ASSERT_FALSE(Shot.isNull());
    Shot.save(ShotDir() + "/imageform-x11-shaped.png");
    const QRgb Black = qRgb(0, 0, 0), Navy = qRgb(0, 0, 128), Yellow = qRgb(255, 255, 0);
    EXPECT_EQ(Shot.pixel(100 + 1, 100 + 1), Black);     // a rounded corner
    EXPECT_EQ(Shot.pixel(100 + 150, 100 + 70), Black);  // the hole
    EXPECT_EQ(Shot.pixel(100 + 100, 100 + 60), Navy);   // the picture
    EXPECT_EQ(Shot.pixel(100 + 40, 100 + 15), Yellow);  // the caption strip
    EXPECT_EQ(Shot.pixel(100 + 199, 100 + 60), Navy);   // the right edge
    EXPECT_EQ(Shot.pixel(100 + 200, 100 + 60), Black);  // beyond it

    // Drag by the caption strip: press at (150, 118) on the screen, move,
    // and release 40 pixels right and 42 down from the press.
    bool FrameSeen = false;
    QImage DragShot;
    QTimer Watch;
    QObject::connect(&Watch, &QTimer::timeout, [&] {
        if (!ScreenOutline().Rects().empty() && DragShot.isNull()) {
            FrameSeen = true;
            DragShot = ScreenShot();
        }
    });
    Watch.start(20);
    QProcess Mouse;
    Mouse.start(QStandardPaths::findExecutable("xdotool"),
                {"mousemove", "150", "118", "sleep", "0.3", "mousedown", "1", "sleep", "0.3", "mousemove", "153",
                 "121", "sleep", "0.3", "mousemove", "170", "140", "sleep", "0.3", "mousemove", "190", "160",
                 "sleep", "0.5", "mouseup", "1", "sleep", "0.3"});
    ASSERT_TRUE(Mouse.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] { return Mouse.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(Mouse.exitCode(), 0) << Mouse.readAllStandardError().toStdString();
    WaitFor([] { return false; }, 300);
    Watch.stop();

    EXPECT_TRUE(FrameSeen);
    if (!DragShot.isNull())
        DragShot.save(ShotDir() + "/imageform-x11-dragging.png");
    EXPECT_EQ(Form->Left(), 140);
    EXPECT_EQ(Form->Top(), 142);
    EXPECT_EQ(Form->windowHandle()->position(), QPoint(140, 142));
    EXPECT_TRUE(ScreenOutline().Rects().empty());

    Shot = ScreenShot();
    Shot.save(ShotDir() + "/imageform-x11-moved.png");
    EXPECT_EQ(Shot.pixel(140 + 100, 142 + 60), Navy);
    EXPECT_EQ(Shot.pixel(140 + 40, 142 + 15), Yellow);
    EXPECT_EQ(Shot.pixel(140 + 150, 142 + 70), Black); // the hole moved along
    EXPECT_EQ(Shot.pixel(100 + 5, 100 + 60), Black);    // where the form was
}
