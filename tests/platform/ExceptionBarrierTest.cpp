#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "ExceptionBarrier.h"

namespace {

class TThrowingObject : public QObject {
public:
    bool event(QEvent* E) override
    {
        if (E->type() == QEvent::User)
            throw EInvalidOperation("Cannot do that now");
        if (E->type() == QEvent::Type(QEvent::User + 1))
            throw EAbort("quiet");
        return QObject::event(E);
    }
};

} // namespace

TEST(ExceptionBarrier, DisplayTextEndsWithAFullStop)
{
    EXPECT_EQ(ExceptionDisplayText(Exception("Disk full")), "Disk full.");
    EXPECT_EQ(ExceptionDisplayText(Exception("Done.")), "Done.");
    EXPECT_EQ(ExceptionDisplayText(Exception("Trailing  \r\n")), "Trailing.");
}

TEST(ExceptionBarrier, ExceptionsFromEventHandlersAreShownAndTheProgramGoesOn)
{
    // The test programs run under TBarrierApplication, as the demo does.
    ASSERT_NE(dynamic_cast<TBarrierApplication*>(QCoreApplication::instance()), nullptr);
    std::vector<String> Shown;
    TExceptionHandler Old =
        SetExceptionHandler([&](const std::exception& E) { Shown.push_back(ExceptionDisplayText(E)); });
    TThrowingObject Object;
    QEvent User(QEvent::User), Quiet(QEvent::Type(QEvent::User + 1));
    EXPECT_FALSE(QCoreApplication::sendEvent(&Object, &User));
    EXPECT_FALSE(QCoreApplication::sendEvent(&Object, &Quiet)); // EAbort is silent
    // Posted events and timers go through the same barrier.
    QCoreApplication::postEvent(&Object, new QEvent(QEvent::User));
    QTimer::singleShot(0, [] { throw EConvertError("'x' is not a valid integer value"); });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown, (std::vector<String>{"Cannot do that now.", "Cannot do that now.",
                                          "'x' is not a valid integer value."}));
    SetExceptionHandler(Old);
}
