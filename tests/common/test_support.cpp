#include "test_support.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

QString TempDir()
{
    static std::vector<std::unique_ptr<QTemporaryDir>> dirs;
    dirs.push_back(std::make_unique<QTemporaryDir>());
    return dirs.back()->path();
}

QString SourcePath(const QString& relative) { return QStringLiteral(KANDRIVEL_SOURCE_DIR "/") + relative; }

int RunTool(const QString& program, const QStringList& args, QByteArray* out, QByteArray* err)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return -1;
    p.closeWriteChannel();
    p.waitForFinished(120000);
    if (out)
        *out = p.readAllStandardOutput();
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool HaveTool(const QString& program) { return !QStandardPaths::findExecutable(program).isEmpty(); }
