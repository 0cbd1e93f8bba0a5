// PCX files, through the reader the file load uses.
#include "fuzz/fuzz_support.h"

#include "imaging/io/io_params.h"
#include "imaging/io/pcx/pcx.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ReadCodec(data, size, [](TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) {
        ReadPCXStream(s, b, p, r, s.Size());
    });
    return 0;
}
