// Reading and writing the records of a catalog file.
#include "app/catalog/catalog_file.h"

#include "imaging/io/io_params.h"
#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/streams.h"

#include <cstring>

namespace {

[[noreturn]] void damaged(int record, const char* what)
{
    throw EReadError(QStringLiteral("Catalog file damaged: record %1 %2").arg(record).arg(QLatin1String(what)));
}

// Reads count bytes that the caller has already checked to be there.
QByteArray readBytes(TStream& stream, int64_t count)
{
    QByteArray bytes(qsizetype(count), Qt::Uninitialized);
    stream.ReadBuffer(bytes.data(), count);
    return bytes;
}

}  // namespace

void ReadCatalogRecords(TStream& stream, const std::function<void(TCatalogRecord&&)>& take)
{
    for (int record = 1; stream.Remaining() > 0; ++record) {
        if (stream.Remaining() < 4)
            damaged(record, "is cut short in its text length");
        const int32_t n = stream.ReadI32();
        if (n < 0 || n > stream.Remaining())
            damaged(record, "has a text length beyond the end of the file");
        TCatalogRecord r;
        r.Text = readBytes(stream, n);
        if (stream.Remaining() < kStreamHeaderSize)
            damaged(record, "is cut short in its thumbnail header");
        uint8_t h[kStreamHeaderSize];
        stream.ReadBuffer(h, kStreamHeaderSize);
        if (std::memcmp(h, "PCX2", 4) != 0)
            damaged(record, "has no thumbnail");
        const uint32_t l = le32(h + 8);
        if (int64_t(l) > stream.Remaining())
            damaged(record, "has a thumbnail beyond the end of the file");
        r.Thumbnail = readBytes(stream, l);
        take(std::move(r));
    }
}

std::vector<TCatalogRecord> ReadCatalogRecords(TStream& stream)
{
    std::vector<TCatalogRecord> out;
    ReadCatalogRecords(stream, [&](TCatalogRecord&& r) { out.push_back(std::move(r)); });
    return out;
}

void WriteCatalogRecord(TStream& stream, const TCatalogRecord& record)
{
    stream.WriteI32(int32_t(record.Text.size()));
    stream.WriteBuffer(record.Text.constData(), record.Text.size());
    WriteStreamHeader(stream, "PCX2", uint32_t(record.Thumbnail.size()));
    stream.WriteBuffer(record.Thumbnail.constData(), record.Thumbnail.size());
}
