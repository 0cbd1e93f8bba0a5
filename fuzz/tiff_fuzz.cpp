// TIFF files, through the reader the file load uses (the first page), without an LZW
// coder and with one plugged in as a user's build could.
#include "fuzz/fuzz_support.h"

#include "imaging/io/io_params.h"
#include "imaging/io/tiff/tiff.h"
#include "imaging/io/tiff/tiff_test_lzw.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ReadCodec(data, size,
                    [](TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) { ReadTIFFStream(s, b, p, r); });
    fuzz::ReadCodec(data, size, [](TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) {
        p.TiffLzwDecompress = TestTiffLzwDecompress;
        ReadTIFFStream(s, b, p, r);
    });
    return 0;
}
