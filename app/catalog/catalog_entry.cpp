// A catalog entry's five text fields.
#include "app/catalog/catalog_entry.h"

#include <QList>
#include <algorithm>

namespace {
constexpr char CR = '\r';

int64_t numberField(const QList<QByteArray>& fields, int i)
{
    if (i >= fields.size())
        return 0;
    bool ok = false;
    const qlonglong v = fields[i].trimmed().toLongLong(&ok);
    return ok ? v : 0;
}

int32_t int32Field(const QList<QByteArray>& fields, int i)
{
    const int64_t v = numberField(fields, i);
    // Times were stored as signed or unsigned 32-bit numbers; both read as the same bits.
    if (v < INT32_MIN || v > int64_t(UINT32_MAX))
        return 0;
    return int32_t(uint32_t(v));
}
}  // namespace

QByteArray TCatalogEntry::Text() const
{
    QByteArray t = Path.toUtf8();
    t += CR;
    for (int64_t v : {int64_t(Time), Size, int64_t(Width), int64_t(Height)}) {
        t += QByteArray::number(qlonglong(v));
        t += CR;
    }
    return t;
}

TCatalogEntry TCatalogEntry::FromText(const QByteArray& text)
{
    const QList<QByteArray> fields = text.split(CR);
    TCatalogEntry e;
    e.Path = QString::fromUtf8(fields.value(0));
    e.Time = int32Field(fields, 1);
    e.Size = std::max<int64_t>(0, numberField(fields, 2));
    e.Width = std::max(0, int32Field(fields, 3));
    e.Height = std::max(0, int32Field(fields, 4));
    return e;
}

TCatalogEntry TCatalogEntry::Missing(const QString& path)
{
    TCatalogEntry e;
    e.Path = path;
    return e;
}
