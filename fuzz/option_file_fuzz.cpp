// The option file, read over the defaults as a start-up does, then written again.
#include "fuzz/fuzz_support.h"

#include "app/options/option_file.h"
#include "platform/core/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnsureApplication();
    fuzz::Refusable([&] {
        toptions o = DefaultOptions();
        TMemoryStream in(fuzz::Bytes(data, size));
        ReadOptions(o, in);
        ClampOptions(o);
        TMemoryStream out;
        WriteOptions(o, out);
    });
    return 0;
}
