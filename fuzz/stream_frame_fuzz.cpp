// The 12-byte stream frames around PCX and JPEG data, read as the stream loads do. The
// first byte chooses whether stream headers are on.
#include "fuzz/fuzz_support.h"

#include "imaging/io/image_kit_io.h"
#include "imaging/io/stream_frame.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    fuzz::EnsureApplication();
    const bool headers = data[0] & 1;
    const QByteArray bytes = fuzz::Bytes(data + 1, size - 1);
    fuzz::Refusable([&] {
        TMemoryStream s(bytes);
        const TStreamFrame f = ReadPCXStreamHeader(s, headers);
        f.SkipPast(s);
    });
    fuzz::Refusable([&] {
        TMemoryStream s(bytes);
        const TStreamFrame f = ReadTaggedStreamHeader(s, "JFIF");
        f.SkipPast(s);
    });
    TBitmap bitmap(1, 1, pf24bit);
    TImageKitIO io;
    io.StreamHeaders = headers;
    io.SetAttachedBitmap(&bitmap);
    fuzz::Refusable([&] {
        TMemoryStream s(bytes);
        io.LoadFromStreamPCX(s);
    });
    fuzz::Refusable([&] {
        TMemoryStream s(bytes);
        io.LoadFromStreamJPEG(s);
    });
    return 0;
}
