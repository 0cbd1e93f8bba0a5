// A private sound server with a null sink and a silent input for the sound tests.
#include "app/comments/null_audio.h"

#include "common/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct Server {
    pid_t pid = 0;
    QString why;
    ~Server()
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            int status = 0;
            ::waitpid(pid, &status, 0);
        }
    }
};

void start(Server& r)
{
    {
        const QString exe = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (exe.isEmpty()) {
            r.why = QStringLiteral("tool missing: pulseaudio");
            return;
        }
        const QString dir = TempDir() + QStringLiteral("/pulse");
        QDir().mkpath(dir);
        const QString socket = dir + QStringLiteral("/native");
        const QByteArray home = ("HOME=" + dir).toUtf8(), runtime = ("PULSE_RUNTIME_PATH=" + dir).toUtf8(),
                         xdg = ("XDG_RUNTIME_DIR=" + dir).toUtf8(),
                         protocol = ("--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket).toUtf8();
        const QByteArray program = exe.toUtf8();
        std::vector<char*> argv = {const_cast<char*>(program.constData()), const_cast<char*>("-n"),
                                   const_cast<char*>("--daemonize=no"), const_cast<char*>("--exit-idle-time=-1"),
                                   const_cast<char*>("--use-pid-file=no"), const_cast<char*>("--disallow-exit"),
                                   const_cast<char*>("--log-target=stderr"), const_cast<char*>("--log-level=0"),
                                   const_cast<char*>("--load=module-null-sink sink_name=knull"),
                                   // Monitors are no input to the sound library: a silent source is.
                                   const_cast<char*>("--load=module-null-source source_name=knullsource"),
                                   const_cast<char*>(protocol.constData()), nullptr};
        std::vector<char*> envp = {const_cast<char*>(home.constData()), const_cast<char*>(runtime.constData()),
                                   const_cast<char*>(xdg.constData()), nullptr};
        if (posix_spawn(&r.pid, program.constData(), nullptr, nullptr, argv.data(), envp.data()) != 0) {
            r.pid = 0;
            r.why = QStringLiteral("pulseaudio could not be started");
            return;
        }
        // The server is ready once its socket exists; wait generously.
        for (int i = 0; i < 400 && !QFileInfo::exists(socket); ++i)
            QTest::qWait(50);
        if (!QFileInfo::exists(socket)) {
            r.why = QStringLiteral("no hardware: pulseaudio started but opened no socket");
            return;
        }
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
    }
}

Server& server()
{
    static Server s;
    static const bool started = (start(s), true);
    (void)started;
    return s;
}

}  // namespace

QString StartNullAudio() { return server().why; }
