// Length-prefixed UTF-8 strings on a stream, checked before anything is allocated.
#include "app/util/stream_strings.h"

#include "platform/core/exceptions.h"
#include "platform/core/streams.h"

void WriteStreamString(const QString& text, TStream& stream)
{
    const QByteArray bytes = text.toUtf8();
    stream.WriteI32(static_cast<int32_t>(bytes.size()));
    if (!bytes.isEmpty())
        stream.WriteBuffer(bytes.constData(), bytes.size());
}

void ReadStreamString(QString& text, TStream& stream)
{
    const int32_t n = stream.ReadI32();
    if (n <= 0) {
        text.clear();
        return;
    }
    if (n > stream.Remaining())
        throw EReadError(QStringLiteral("Stream read error"));
    QByteArray bytes(n, Qt::Uninitialized);
    stream.ReadBuffer(bytes.data(), n);
    text = QString::fromUtf8(bytes);
}
