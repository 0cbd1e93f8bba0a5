// Every frame of a TIFF or GIF through the multi-image load, as the open dialog's
// preview and a multi-image view take them, with LZW coders plugged in as a user's
// build could. The first byte picks the format: even TIFF, odd GIF.
#include "fuzz/fuzz_support.h"

#include "imaging/io/gif/gif_test_coder.h"
#include "imaging/io/multi_io.h"
#include "imaging/io/tiff/tiff_test_lzw.h"
#include "imaging/view/multi_view.h"
#include "platform/core/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    static const bool coders = [] {
        TLzwHooks hooks;
        hooks.GifDecompress = TestGifLzwDecompress;
        hooks.TiffDecompress = TestTiffLzwDecompress;
        RegisterLzwCoders(hooks);
        return true;
    }();
    (void)coders;
    TMemoryStream stream(fuzz::Bytes(data + 1, size - 1));
    TImageKitMView view;
    TImageKitMIO io;
    io.SetAttachedMView(&view);
    fuzz::Refusable([&] {
        if (data[0] & 1)
            io.LoadFromStreamGIF(stream);
        else
            io.LoadFromStreamTIFF(stream);
    });
    return 0;
}
