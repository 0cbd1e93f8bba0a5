// The test executables' main: offscreen platform and a pinned number format.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/core/number_format.h"

int main(int argc, char** argv)
{
    // Test discovery runs the binary at build time, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetDecimalSeparator(QLatin1Char('.'));
    SetThousandSeparator(QLatin1Char(','));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
