// Storing the chosen scanner's name in the data directory.
#include "platform/scan/default_source.h"

#include "platform/core/data_directory.h"
#include "platform/core/streams.h"

#include <QDir>
#include <QFile>

namespace {

// One line: the device name in UTF-8.
QString settingsFile() { return QDir(DataDirectory()).filePath(QStringLiteral("scanner_source.cfg")); }
constexpr qint64 kMaxName = 1024;

}  // namespace

QByteArray ScanDefaultSource()
{
    QFile f(settingsFile());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray name = f.read(kMaxName + 1);
    if (name.size() > kMaxName)
        return {};
    const qsizetype nl = name.indexOf('\n');
    if (nl >= 0)
        name.truncate(nl);
    if (name.contains('\0'))
        return {};
    return name;
}

void SetScanDefaultSource(const QByteArray& deviceName)
{
    WriteFileSafely(settingsFile(), deviceName.left(kMaxName) + '\n');
}
