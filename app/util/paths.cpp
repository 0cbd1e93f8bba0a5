// The data and program directories with a trailing separator.
#include "app/util/paths.h"

#include "platform/core/data_directory.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString AddTrailingBackslash(const QString& path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QString WindowsDirectory() { return AddTrailingBackslash(DataDirectory()); }

QString ProgramDirectoryWithSlash() { return AddTrailingBackslash(ProgramDirectory()); }

QString StartFolder(const QString& lastUsed)
{
    if (!lastUsed.isEmpty() && QFileInfo(lastUsed).isDir())
        return lastUsed;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return AddTrailingBackslash(pictures);
    return AddTrailingBackslash(QDir::homePath());
}
