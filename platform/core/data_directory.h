// Where the program writes its own files and where its shipped files lie.
#pragma once
#include <QString>

// Where every file the program writes for itself lives: $KANDRIVEL_HOME when set,
// else ~/.config/Kandrivel. Created on first use.
QString DataDirectory();
// The folder of the executable, where shipped read-only files (help pages) lie.
QString ProgramDirectory();
