// Enhanced metafiles share the loader with WMF; their own seeds steer the search.
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::RenderMetafile(data, size);
    return 0;
}
