// The application's exception barrier: no exception unwinds through Qt's
// event dispatch. An exception that leaves an event handler is caught where
// Qt delivers the event, shown the way an application shows an unhandled
// exception, and the program goes on.
#pragma once

#include <QApplication>

#include <exception>
#include <functional>

#include "SysUtils.h"

// The text the default exception display shows: the message, with a full
// stop added when it does not end with one.
String ExceptionDisplayText(const std::exception& E);

// What happens with an exception that reached the barrier. The default shows
// a critical message box titled with the application name, or, on the
// offscreen platform where no one could close it, writes the text to stderr.
// EAbort is silent.
using TExceptionHandler = std::function<void(const std::exception&)>;
TExceptionHandler SetExceptionHandler(TExceptionHandler Handler);
void ShowException(const std::exception& E);

class TBarrierApplication : public QApplication {
    Q_OBJECT
public:
    TBarrierApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* Receiver, QEvent* Event) override;
};
