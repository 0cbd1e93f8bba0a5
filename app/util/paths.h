// The data and program directories as paths ending in a separator.
#pragma once
#include <QString>

// The path with a separator appended when its last character is not one; an empty
// path stays empty.
QString AddTrailingBackslash(const QString& path);
// Where the program keeps the files it writes beside itself or into the Windows
// directory on Windows (the wallpaper bitmap among them): the data directory, with a separator.
QString WindowsDirectory();
// The folder of the executable (shipped help pages), with a separator.
QString ProgramDirectoryWithSlash();
// Where a file dialog starts: the last-used folder while it exists, else the user's
// pictures folder, else the home folder (never the program's, where no user file is).
QString StartFolder(const QString& lastUsed);
