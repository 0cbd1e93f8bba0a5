// The 12-byte frame around TIFF, PCX and JPEG data inside larger streams.
#include "imaging/io/stream_frame.h"

#include "imaging/io/io_params.h"
#include "platform/core/exceptions.h"
#include "platform/core/little_endian.h"
#include "platform/core/streams.h"

#include <algorithm>
#include <cstring>

namespace {

// The header's text: its characters up to the first zero byte, at most five.
bool tagIs(const uint8_t* h, const char* tag)
{
    char text[6] = {};
    for (int i = 0; i < 5 && h[i]; ++i)
        text[i] = char(h[i]);
    return std::strcmp(text, tag) == 0;
}

}  // namespace

void TStreamFrame::SkipPast(TStream& stream) const
{
    const int64_t end = Start + kStreamHeaderSize + Length;
    stream.SetPosition(std::min(end, stream.Size()));
}

TStreamFrame ReadPCXStreamHeader(TStream& stream, bool streamHeaders)
{
    TStreamFrame f;
    f.Start = stream.Position();
    const int64_t size = stream.Size();
    if (!streamHeaders) {
        f.Length = size - f.Start;
        return f;
    }
    uint8_t h[kStreamHeaderSize];
    if (stream.Read(h, kStreamHeaderSize) != kStreamHeaderSize || std::memcmp(h, "PCX", 3) != 0)
        throw EInvalidGraphic(QStringLiteral("unrecognized PCX stream"));
    if (tagIs(h, "PCX2")) {
        f.Framed = true;
        f.Length = le32(h + 8);
        if (f.Length > size - (f.Start + kStreamHeaderSize))
            throw EInvalidGraphic(QStringLiteral("PCX stream header length runs past the end of the stream"));
        return f;
    }
    // The old 4-byte header: the image is the rest of the stream behind it.
    stream.SetPosition(f.Start + 4);
    f.Length = size - (f.Start + 4);
    return f;
}

TStreamFrame ReadTaggedStreamHeader(TStream& stream, const char tag[4])
{
    TStreamFrame f;
    f.Start = stream.Position();
    uint8_t h[kStreamHeaderSize];
    char want[5] = {};
    std::memcpy(want, tag, 4);
    if (stream.Read(h, kStreamHeaderSize) == kStreamHeaderSize && tagIs(h, want)) {
        f.Framed = true;
        f.Length = le32(h + 8);
        return f;
    }
    stream.SetPosition(f.Start);
    f.Length = stream.Size() - f.Start;
    return f;
}

void WriteFramedStream(TStream& stream, const char tag[4], const std::function<bool()>& writer)
{
    const int64_t start = stream.Position();
    const uint8_t placeholder[kStreamHeaderSize] = {};
    stream.WriteBuffer(placeholder, kStreamHeaderSize);
    if (!writer())
        return;
    const int64_t end = stream.Position();
    stream.SetPosition(start);
    WriteStreamHeader(stream, tag, uint32_t(end - start - kStreamHeaderSize));
    stream.SetPosition(end);
}
