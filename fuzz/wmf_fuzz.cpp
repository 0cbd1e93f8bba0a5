// Windows metafiles, placeable or not, loaded and played at their own size.
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::RenderMetafile(data, size);
    return 0;
}
