// The demonstration program's screenshot mode, run as the built program.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct TRun {
    int ExitCode = -1;
    QString Errors;
};

TRun RunDemo(const QStringList& Arguments)
{
    QProcess P;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert("QT_QPA_PLATFORM", "offscreen");
    P.setProcessEnvironment(Env);
    P.start(ZEN_DEMO_PROGRAM, Arguments);
    EXPECT_TRUE(P.waitForFinished(120000)) << "the program did not end";
    TRun R;
    R.ExitCode = P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -1;
    R.Errors = QString::fromLocal8Bit(P.readAllStandardError());
    return R;
}

QRgb Opaque(QRgb C)
{
    return C | 0xFF000000u;
}

TEST(DemoShotTest, RendersTheMainWindowForACategory)
{
    QTemporaryDir Dir;
    struct TCase {
        int Category;
        // A point inside the category's button, which is blue.
        int ButtonY;
    };
    const TCase Cases[] = {{0, 88 + 5}, {4, 88 + 66 + 5}, {11, 88 + 217 + 5}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Category);
        const QString File = Dir.filePath(QString("main%1.png").arg(C.Category));
        QStringList Args{"--shot", File};
        if (C.Category)
            Args << "--category" << QString::number(C.Category);
        const TRun R = RunDemo(Args);
        ASSERT_EQ(R.ExitCode, 0) << R.Errors.toStdString();
        QImage Shot(File);
        ASSERT_FALSE(Shot.isNull());
        EXPECT_EQ(Shot.size(), QSize(600, 463));
        // Outside the outline nothing is drawn; the caption strip is navy and
        // the category buttons blue.
        EXPECT_EQ(qAlpha(Shot.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(Shot.pixel(599, 462)), 0);
        EXPECT_EQ(Opaque(Shot.pixel(400, 12)), qRgb(0, 0, 128));
        // The selected category is down: a checker of its blue and navy.
        const QRgb Face[] = {Opaque(Shot.pixel(154, C.ButtonY + 3)), Opaque(Shot.pixel(155, C.ButtonY + 3))};
        EXPECT_NE(Face[0], Face[1]) << "pressed checker";
        for (const QRgb F : Face)
            EXPECT_TRUE(F == qRgb(0, 0, 255) || F == qRgb(0, 0, 128)) << std::hex << F;
    }
}

TEST(DemoShotTest, OpensADemonstrationWindowOnTop)
{
    QTemporaryDir Dir;
    const QString File = Dir.filePath("color.png");
    const TRun R = RunDemo({"--shot", File, "--category", "6", "--open", "TColorDemoForm"});
    ASSERT_EQ(R.ExitCode, 0) << R.Errors.toStdString();
    QImage Shot(File);
    ASSERT_EQ(Shot.size(), QSize(600, 463));
    // The window (520 x 380, centred) covers the middle of the main window
    // with its face colour; the main window still shows around it.
    EXPECT_EQ(Opaque(Shot.pixel(300, 230)), qRgb(0xD4, 0xD0, 0xC8));
    EXPECT_EQ(Opaque(Shot.pixel(400, 12)), qRgb(0, 0, 128));
}

TEST(DemoShotTest, FailuresExitWithAMessage)
{
    QTemporaryDir Dir;
    struct TCase {
        QStringList Args;
        const char* Message;
    };
    const TCase Cases[] = {
        {{"--shot", Dir.filePath("a.png"), "--category", "12"}, "--category"},
        {{"--shot", Dir.filePath("a.png"), "--category", "x"}, "--category"},
        {{"--shot", Dir.filePath("a.png"), "--open", "TNoSuchForm"}, "TNoSuchForm"},
        {{"--shot", Dir.filePath("a.png"), "--open", "TMainForm"}, "TMainForm"},
        {{"--shot", Dir.filePath("no/such/dir/a.png")}, "Cannot write"},
        {{"--category", "3"}, "--shot"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Args.join(' ').toStdString());
        const TRun R = RunDemo(C.Args);
        EXPECT_NE(R.ExitCode, 0);
        EXPECT_TRUE(R.Errors.contains(C.Message)) << R.Errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Dir.filePath("a.png")));
}

} // namespace
