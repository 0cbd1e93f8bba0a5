// One catalog entry's text and what is shown from it: five fields, each ended by a
// carriage return (path, packed file time, size, width, height), all decimal.
#pragma once

#include "app/util/file_stamps.h"

#include <QByteArray>
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
