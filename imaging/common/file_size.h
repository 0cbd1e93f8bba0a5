// The size of a file by name.
#pragma once
#include <QString>
#include <cstdint>

// Returned when the file cannot be opened.
constexpr int64_t kInvalidFileSize = -1;

// Size in bytes of an existing regular file (64 bits, so files over 4 GiB report their
// real size); kInvalidFileSize for a missing file, a folder or an unreadable entry.
int64_t GetFileSizeByName(const QString& fileName);
