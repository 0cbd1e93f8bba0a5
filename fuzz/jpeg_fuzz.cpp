// Fuzzer entry point for the JPEG reader.
#include "fuzz/fuzz_support.h"

#include "imaging/io/jpeg/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ReadCodec(data, size, ReadJPEGStream);
    return 0;
}
