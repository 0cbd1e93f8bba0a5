// First lines of text files and lists of file names one a line.
#include "app/util/text_lines.h"

#include <QFile>

QString ReadFirstLine(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray line = f.readLine(64 * 1024);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

QStringList SplitNameLines(const QByteArray& data)
{
    QStringList names;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            names << QString::fromUtf8(line);
    }
    return names;
}

QByteArray JoinNameLines(const QStringList& names)
{
    QByteArray text;
    for (const QString& n : names)
        text += n.toUtf8() + "\r\n";
    return text;
}
