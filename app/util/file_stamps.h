// Packed file times (as catalogs store them) and the date and size lines shown under a
// picture in catalogs and on prints.
#pragma once
#include <QDateTime>
#include <QString>
#include <cstdint>

// Packed date and time (high word: date, low word: time in two-second steps).
// Times before 1980 or after 2107 are clamped into that range.
int32_t PackFileTime(const QDateTime& local);
// The file's modification time, packed; 0 when the file does not exist.
int32_t FileTimeOf(const QString& path);
// False for a packed value whose fields are no real date and time.
bool UnpackFileTime(int32_t packed, QDateTime& local);

// The lines under a picture in a catalog cell or on a print.
QString CatalogDateText(int32_t packed);  // "d.m.yyyy  hh:mm", empty when 0 or invalid
QString CatalogSizeText(int64_t size, int width, int height);

// Which of those lines show (caption flags of the option record).
enum : uint8_t { kfName = 1, kfPath = 2, kfDate = 4, kfSize = 8 };
