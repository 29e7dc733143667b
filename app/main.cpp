// The demonstration program: shows the suite's main window, or renders it to
// a PNG file and exits (--shot FILE.png) where there is no display.
#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

#include "ExceptionBarrier.h"
#include "SysUtils.h"

namespace {

struct TDemoOptions {
    QString ShotFile;
};

TDemoOptions ParseOptions(const QCoreApplication& App)
{
    QCommandLineParser Parser;
    Parser.setApplicationDescription("Zentavo Suite demonstration");
    Parser.addHelpOption();
    Parser.addOption({"shot", "Render the main window to FILE (PNG) and exit.", "FILE"});
    Parser.process(App);
    return {Parser.value("shot")};
}

} // namespace

int main(int argc, char** argv)
{
    // The screenshot mode needs no display: use the offscreen platform unless
    // the caller chose one.
    for (int I = 1; I < argc; ++I)
        if (qstrcmp(argv[I], "--shot") == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    TBarrierApplication App(argc, argv);
    App.setApplicationName("zentavo-demo");
    const TDemoOptions Options = ParseOptions(App);

    QWidget Window;
    Window.setWindowTitle("Zentavo Suite");
    Window.resize(600, 463);
    auto* Layout = new QVBoxLayout(&Window);
    Layout->addWidget(new QLabel("Zentavo Suite", &Window), 0, Qt::AlignCenter);

    if (!Options.ShotFile.isEmpty()) {
        if (!Window.grab().save(Options.ShotFile, "PNG")) {
            std::fprintf(stderr, "zentavo-demo: cannot write %s\n", qPrintable(Options.ShotFile));
            return 1;
        }
        return 0;
    }
    Window.show();
    return App.exec();
}
