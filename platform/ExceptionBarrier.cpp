#include "ExceptionBarrier.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

void DefaultHandler(const std::exception& E)
{
    const String Text = ExceptionDisplayText(E);
    if (QGuiApplication::platformName() == "offscreen" || QGuiApplication::platformName() == "minimal") {
        std::fprintf(stderr, "%s\n", Text.c_str());
        return;
    }
    QMessageBox Box(QMessageBox::Critical, QCoreApplication::applicationName(), ToQString(Text), QMessageBox::Ok);
    Box.exec();
}

TExceptionHandler& CurrentHandler()
{
    static TExceptionHandler Handler = DefaultHandler;
    return Handler;
}

} // namespace

String ExceptionDisplayText(const std::exception& E)
{
    String Text = E.what();
    while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= ' ')
        Text.pop_back();
    if (!Text.empty() && Text.back() != '.')
        Text += '.';
    return Text;
}

TExceptionHandler SetExceptionHandler(TExceptionHandler Handler)
{
    TExceptionHandler Old = std::move(CurrentHandler());
    CurrentHandler() = Handler ? std::move(Handler) : TExceptionHandler(DefaultHandler);
    return Old;
}

void ShowException(const std::exception& E)
{
    if (dynamic_cast<const EAbort*>(&E))
        return;
    // A failing display must not take the program down either.
    try {
        CurrentHandler()(E);
    } catch (...) {
        std::fprintf(stderr, "%s\n", E.what());
    }
}

bool TBarrierApplication::notify(QObject* Receiver, QEvent* Event)
{
    try {
        return QApplication::notify(Receiver, Event);
    } catch (const std::exception& E) {
        ShowException(E);
    } catch (...) {
        ShowException(Exception("Unknown exception"));
    }
    return false;
}
