// BMP files, through the reader the file load uses.
#include "fuzz/fuzz_support.h"

#include "imaging/io/bmp/bmp.h"
#include "imaging/io/io_params.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ReadCodec(data, size, [](TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) {
        ReadBMPStream(s, b, s.Size(), r, p);
    });
    return 0;
}
