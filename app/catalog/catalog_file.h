// The catalog file (".pca"): records one after the other up to the end of the file, no
// header, no count. A record is the 32-bit length N of the entry text, the N text bytes,
// a 12-byte "PCX2" stream header with the length L of the thumbnail's PCX data, and
// those L bytes.
#pragma once

#include <QByteArray>
#include <functional>
#include <vector>

class TStream;

struct TCatalogRecord {
    QByteArray Text;
    QByteArray Thumbnail;  // the PCX data behind the stream header
};

// Reads every record from the stream's position to its end and hands each to take as
// soon as it is whole. A record cut short or with lengths beyond the bytes left raises
// EReadError naming the record; the records handed over before stay taken.
void ReadCatalogRecords(TStream& stream, const std::function<void(TCatalogRecord&&)>& take);
std::vector<TCatalogRecord> ReadCatalogRecords(TStream& stream);

void WriteCatalogRecord(TStream& stream, const TCatalogRecord& record);
