// The data directory and the program directory.
#include "platform/core/data_directory.h"

#include <QCoreApplication>
#include <QDir>

QString DataDirectory()
{
    QString dir = qEnvironmentVariable("KANDRIVEL_HOME");
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.config/Kandrivel");
    QDir().mkpath(dir);
    return QDir(dir).absolutePath();
}

QString ProgramDirectory()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}
