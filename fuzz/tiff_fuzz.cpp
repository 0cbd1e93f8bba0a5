// TIFF files, through the reader the file load uses (the first page).
#include "fuzz/fuzz_support.h"

#include "imaging/io/io_params.h"
#include "imaging/io/tiff/tiff.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ReadCodec(data, size,
                    [](TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) { ReadTIFFStream(s, b, p, r); });
    return 0;
}
