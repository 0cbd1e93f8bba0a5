// Starts the application: the main window, the command line and the event loop.
#include "app/main_window/main_window.h"
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
    // For the start-up benchmark: the monotonic clock at the first painted image window,
    // then quit (the paint may come while the window is still being shown).
    bool painted = false;
    if (qEnvironmentVariableIsSet("KANDRIVEL_REPORT_FIRST_PAINT"))
        form1.OnFirstImagePaint = [&painted] {
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::steady_clock::now().time_since_epoch());
            std::printf("first paint %lld\n", static_cast<long long>(ns.count()));
            std::fflush(stdout);
            painted = true;
            QCoreApplication::exit(0);  // not quit(): closing would ask before leaving
        };
    form1.show();
    return painted ? 0 : app.exec();
}
