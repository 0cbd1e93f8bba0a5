// Text files of file names one a line, and the first line of a text file.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// The first line of a text file as UTF-8, without its line end; empty when the file
// cannot be read. At most 64 KiB are read, so a huge file is never read whole.
QString ReadFirstLine(const QString& fileName);

// Lists of file names, one a line as UTF-8, written with CR LF (slide lists, the batch's
// file list). Reading takes a bare LF too and skips empty lines.
constexpr qint64 MaxNameListBytes = 64ll * 1024 * 1024;
QStringList SplitNameLines(const QByteArray& data);
QByteArray JoinNameLines(const QStringList& names);
