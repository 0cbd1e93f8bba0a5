// Fuzzer entry point for the PNG reader.
#include "fuzz/fuzz_support.h"

#include "imaging/io/png/png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ReadCodec(data, size, ReadPNGStream);
    return 0;
}
