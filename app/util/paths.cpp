// The data and program directories with a trailing separator.
#include "app/util/paths.h"

#include "platform/core/data_directory.h"

QString AddTrailingBackslash(const QString& path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QString WindowsDirectory() { return AddTrailingBackslash(DataDirectory()); }

QString ProgramDirectoryWithSlash() { return AddTrailingBackslash(ProgramDirectory()); }
