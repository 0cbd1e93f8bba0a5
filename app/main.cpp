#include "app/forms/main_window.h"
#include "platform/ui/application.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    TApplication::setApplicationName(QStringLiteral("Kandrivel"));
    TApplication::SetTitle(QStringLiteral("Kandrivel"));
    // The main window creates the two resident forms; every other window is made on demand.
    Tform1 form1;
    // For the start-up benchmark: the monotonic clock at the first painted image window, then quit.
    if (qEnvironmentVariableIsSet("KANDRIVEL_REPORT_FIRST_PAINT"))
        form1.OnFirstImagePaint = [] {
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::steady_clock::now().time_since_epoch());
            std::printf("first paint %lld\n", static_cast<long long>(ns.count()));
            std::fflush(stdout);
            QCoreApplication::quit();
        };
    form1.show();
    return app.exec();
}
