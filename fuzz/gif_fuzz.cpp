// GIF block structure: the frame walk to the end (counting) and the first frame, whose
// pixel data stop at the missing LZW coder, or go through one plugged in as a user's
// build could.
#include "fuzz/fuzz_support.h"

#include "imaging/io/gif/gif.h"
#include "imaging/io/gif/gif_test_coder.h"
#include "imaging/io/io_params.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <climits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ReadCodec(data, size, [](TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) {
        p.GifImageIndex = 0;
        ReadGIFStream(s, b, p, r);
    });
    fuzz::ReadCodec(data, size, [](TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) {
        p.GifImageIndex = INT_MAX;
        ReadGIFStream(s, b, p, r);
    });
    fuzz::ReadCodec(data, size, [](TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) {
        p.GifImageIndex = 0;
        p.GifLzwDecompress = TestGifLzwDecompress;
        ReadGIFStream(s, b, p, r);
    });
    return 0;
}
