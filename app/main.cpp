// Starts the application: the main window, the command line and the event loop.
#include "app/batch/batch_runner.h"
#include "app/main_window/file_commands.h"
#include "app/main_window/main_window.h"
#include "platform/ui/application.h"

#include <QCoreApplication>
#include <QTimer>

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
    // then quit (the paint may come while the window is still being shown). With "close"
    // the session ends as a user's would once the file has opened, writing its settings
    // for the next launch.
    bool painted = false;
    QTimer closeWhenOpened;
    if (qEnvironmentVariableIsSet("KANDRIVEL_REPORT_FIRST_PAINT")) {
        QObject::connect(&closeWhenOpened, &QTimer::timeout, &form1, [&] {
            if (form1.Files().Opening() || form1.Batch().Running())
                return;
            closeWhenOpened.stop();
            form1.close();
        });
        form1.OnFirstImagePaint = [&painted, &closeWhenOpened,
                                   closing = qgetenv("KANDRIVEL_REPORT_FIRST_PAINT") == "close"] {
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::steady_clock::now().time_since_epoch());
            std::printf("first paint %lld\n", static_cast<long long>(ns.count()));
            std::fflush(stdout);
            painted = true;
            if (closing)
                closeWhenOpened.start(5);
            else
                QCoreApplication::exit(0);  // not quit(): closing waits for the file's opening
        };
    }
    form1.show();
    return painted && !closeWhenOpened.isActive() ? 0 : app.exec();
}
