#pragma once
#include <QString>

// The first line of a text file as UTF-8, without its line end; empty when the file
// cannot be read. At most 64 KiB are read, so a huge file is never read whole.
QString ReadFirstLine(const QString& fileName);
