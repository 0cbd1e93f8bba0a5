// GIF block structure: the frame walk to the end (counting) and the first frame, whose
// pixel data stop at the missing LZW coder.
#include "fuzz/fuzz_support.h"

#include "imaging/io/gif/gif.h"
#include "imaging/io/io_params.h"
#include "platform/core/streams.h"
#include "platform/graphics/bitmap.h"

#include <climits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (int index : {0, INT_MAX}) {
        fuzz::ReadCodec(data, size, [index](TStream& s, TBitmap& b, TIOParamsVals& p, TProgressRec& r) {
            p.GifImageIndex = index;
            ReadGIFStream(s, b, p, r);
        });
    }
    return 0;
}
