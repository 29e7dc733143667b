// Shared entry point of the test programs: a QApplication on the offscreen
// platform and locale settings fixed to the runtime's defaults, so results do
// not depend on the machine that runs them.
#include <gtest/gtest.h>

#include "ExceptionBarrier.h"
#include "Forms.h"
#include "SysUtils.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TBarrierApplication app(argc, argv);
    FormatSettings = TFormatSettings::Default();
    InitApplication();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
