// One catalog entry's text and what is shown from it: five fields, each ended by a
// carriage return (path, packed file time, size, width, height), all decimal.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

struct TCatalogEntry {
    QString Path;
    int32_t Time = 0;  // packed date and time as a directory search reports it; 0 missing
    int64_t Size = 0;
    int32_t Width = 0;
    int32_t Height = 0;

    // The stored text (UTF-8 bytes).
    QByteArray Text() const;
    // A text from a file: fields past the path that are absent or not numbers read 0.
    static TCatalogEntry FromText(const QByteArray& text);
    // The entry of a file that no longer exists: the path and four "0" fields.
    static TCatalogEntry Missing(const QString& path);
};

// Packed date and time (high word: date, low word: time in two-second steps).
// Times before 1980 or after 2107 are clamped into that range.
int32_t PackFileTime(const QDateTime& local);
// The file's modification time, packed; 0 when the file does not exist.
int32_t FileTimeOf(const QString& path);
// False for a packed value whose fields are no real date and time.
bool UnpackFileTime(int32_t packed, QDateTime& local);

// Caption lines of a cell.
QString CatalogDateText(int32_t packed);  // "d.m.yyyy  hh:mm", empty when 0 or invalid
QString CatalogSizeText(int64_t size, int width, int height);

// Caption flags of the option record.
enum : uint8_t { kfName = 1, kfPath = 2, kfDate = 4, kfSize = 8 };
