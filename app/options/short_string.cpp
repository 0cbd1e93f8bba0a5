// The 256-byte text slot: a length byte and UTF-8, refusing what does not fit.
#include "app/options/short_string.h"

#include "platform/core/streams.h"

#include <cstring>

bool TShortString::Assign(const QString& text)
{
    QByteArray b = text.toUtf8();
    if (b.size() > MaxBytes)
        return false;
    bytes_ = std::move(b);
    return true;
}

TShortString TShortString::Cut(const QString& text)
{
    TShortString s;
    QByteArray b = text.toUtf8();
    if (b.size() > MaxBytes) {
        // Back to the first byte of a character: UTF-8 continuation bytes are 10xxxxxx.
        qsizetype end = MaxBytes;
        while (end > 0 && (uint8_t(b[end]) & 0xC0) == 0x80)
            --end;
        b.truncate(end);
    }
    s.bytes_ = std::move(b);
    return s;
}

void TShortString::Write(TStream& s) const
{
    uint8_t slot[SlotSize];
    std::memset(slot, 0, sizeof slot);
    slot[0] = static_cast<uint8_t>(bytes_.size());
    std::memcpy(slot + 1, bytes_.constData(), static_cast<size_t>(bytes_.size()));
    s.WriteBuffer(slot, SlotSize);
}

void TShortString::Read(TStream& s)
{
    uint8_t slot[SlotSize];
    s.ReadBuffer(slot, SlotSize);
    bytes_ = QByteArray(reinterpret_cast<const char*>(slot + 1), slot[0]);
}
