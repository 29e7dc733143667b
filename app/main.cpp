// The demonstration program: starts the application with the main window
// built from its form file, or renders the main window to a PNG file and
// exits (--shot FILE.png [--category N] [--open TFormClass]) where there is
// no display.
#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

#include "DemoForms.h"
#include "DemoShot.h"
#include "ExceptionBarrier.h"
#include "Forms.h"
#include "SysUtils.h"
#include "mainu.h"

namespace {

struct TDemoOptions {
    bool Shot = false;
    TShotOptions ShotOptions;
    String Error;
};

TDemoOptions ParseOptions(const QCoreApplication& App)
{
    QCommandLineParser Parser;
    Parser.setApplicationDescription("Zentavo Suite demonstration");
    Parser.addHelpOption();
    Parser.addOption({"shot", "Render the main window to FILE (PNG) and exit.", "FILE"});
    Parser.addOption({"category", "With --shot: select category N (1 to 11) first.", "N"});
    Parser.addOption({"open", "With --shot: open the demonstration window of class CLASS on top.", "CLASS"});
    Parser.process(App);
    TDemoOptions R;
    R.Shot = Parser.isSet("shot");
    R.ShotOptions.FileName = FromQString(Parser.value("shot"));
    if (Parser.isSet("category")) {
        bool Ok = false;
        R.ShotOptions.Category = Parser.value("category").toInt(&Ok);
        if (!Ok || R.ShotOptions.Category < 1 || R.ShotOptions.Category > 11)
            R.Error = "--category needs a number from 1 to 11, not '" + FromQString(Parser.value("category")) + "'";
    }
    R.ShotOptions.OpenClass = FromQString(Parser.value("open"));
    if (!R.Shot && (Parser.isSet("category") || Parser.isSet("open")))
        R.Error = "--category and --open go with --shot FILE.png";
    if (R.Shot && R.ShotOptions.FileName.empty())
        R.Error = "--shot needs a file name";
    return R;
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
    if (!Options.Error.empty()) {
        std::fprintf(stderr, "zentavo-demo: %s\n", Options.Error.c_str());
        return 2;
    }

    InitApplication();
    RegisterDemoClasses();
    Application->Initialize();
    Application->SetTitle("Zentavo Suite");

    if (Options.Shot) {
        try {
            WriteDemoShot(Options.ShotOptions);
        } catch (const std::exception& E) {
            std::fprintf(stderr, "zentavo-demo: %s\n", ExceptionDisplayText(E).c_str());
            return 1;
        }
        return 0;
    }

    try {
        TMainForm* MainForm = nullptr;
        Application->CreateForm(MainForm);
    } catch (const std::exception& E) {
        std::fprintf(stderr, "zentavo-demo: %s\n", ExceptionDisplayText(E).c_str());
        return 1;
    }
    Application->Run();
    return 0;
}
