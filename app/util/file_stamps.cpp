// Packed file times, and the date and size lines shown under a picture.
#include "app/util/file_stamps.h"

#include <QFileInfo>

int32_t PackFileTime(const QDateTime& local)
{
    const QDateTime first(QDate(1980, 1, 1), QTime(0, 0));
    const QDateTime last(QDate(2107, 12, 31), QTime(23, 59, 58));
    const QDateTime t = local < first ? first : local > last ? last : local;
    const QDate d = t.date();
    const QTime c = t.time();
    const uint32_t date = uint32_t((d.year() - 1980) << 9 | d.month() << 5 | d.day());
    const uint32_t time = uint32_t(c.hour() << 11 | c.minute() << 5 | c.second() / 2);
    return int32_t(date << 16 | time);
}

int32_t FileTimeOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    return PackFileTime(info.lastModified().toLocalTime());
}

bool UnpackFileTime(int32_t packed, QDateTime& local)
{
    const uint32_t v = uint32_t(packed);
    const int year = 1980 + int(v >> 25), month = int(v >> 21 & 15), day = int(v >> 16 & 31);
    const int hour = int(v >> 11 & 31), minute = int(v >> 5 & 63), second = int(v & 31) * 2;
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return false;
    local = QDateTime(QDate(year, month, day), QTime(hour, minute, second));
    return true;
}

QString CatalogDateText(int32_t packed)
{
    QDateTime t;
    if (packed == 0 || !UnpackFileTime(packed, t))
        return QString();
    const QDate d = t.date();
    return QStringLiteral("%1.%2.%3  %4:%5")
        .arg(d.day())
        .arg(d.month())
        .arg(d.year())
        .arg(t.time().hour(), 2, 10, QLatin1Char('0'))
        .arg(t.time().minute(), 2, 10, QLatin1Char('0'));
}

QString CatalogSizeText(int64_t size, int width, int height)
{
    QString s;
    if (size <= 1023)
        s = QString::number(size) + QStringLiteral(" byte  ");
    else if (size > 1048575)
        s = QString::number(size / 1048576) + QStringLiteral(" MB  ");
    else
        s = QString::number(size / 1024) + QStringLiteral(" kb  ");
    return s + QString::number(width) + QStringLiteral(" x ") + QString::number(height);
}
