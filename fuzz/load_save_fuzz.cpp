// Each reader's picture and parameters into every writer, as opening a file and
// saving it in another format does. The first byte picks the reader.
#include "fuzz/fuzz_support.h"

#include "imaging/io/codec_table.h"
#include "imaging/io/io_params.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    std::vector<const TCodec*> readers;
    for (int type = ioTIFF; const TCodec* codec = CodecForType(type); ++type)
        if (codec->Read)
            readers.push_back(codec);
    const TCodec* codec = readers[data[0] % readers.size()];
    TMemoryStream stream(fuzz::Bytes(data + 1, size - 1));
    TBitmap bitmap;
    TIOParamsVals params;
    TProgressRec progress;
    bool read = false;
    fuzz::Refusable([&] {
        codec->Read(stream, bitmap, params, progress);
        read = true;
    });
    if (read)
        fuzz::SaveEveryFormat(bitmap, params);
    return 0;
}
