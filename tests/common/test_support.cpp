// Temporary folders, source paths and oracle tools for the tests.
#include "test_support.h"

#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <dlfcn.h>
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

static bool present(const QString& tool)
{
    if (tool.startsWith(QLatin1String("python3:")))
        return RunTool(QStringLiteral("/usr/bin/python3"),
                       {QStringLiteral("-c"), QStringLiteral("import ") + tool.mid(8)}) == 0;
    if (tool.startsWith(QLatin1String("lib:"))) {
        void* lib = dlopen(tool.mid(4).toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        if (lib)
            dlclose(lib);
        return lib != nullptr;
    }
    if (tool.startsWith(QLatin1Char('/')))
        return QFileInfo::exists(tool);
    return !tool.isEmpty() && !QStandardPaths::findExecutable(tool).isEmpty();
}

QString MissingTool(const QStringList& tools)
{
    static QHash<QString, bool> known;
    for (const QString& t : tools) {
        auto it = known.find(t);
        if (it == known.end())
            it = known.insert(t, present(t));
        if (!*it)
            return t.isEmpty() ? QStringLiteral("(unnamed)") : t;
    }
    return QString();
}
