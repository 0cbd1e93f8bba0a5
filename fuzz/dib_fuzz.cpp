// Packed DIBs (clipboard, scanner and camera frames) and BMP files read through them.
#include "fuzz/fuzz_support.h"

#include "imaging/proc/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnsureApplication();
    TBitmap bitmap;
    fuzz::Refusable([&] { DIBToBitmap(data, size, &bitmap); });
    fuzz::Refusable([&] { BMPFileToBitmap(fuzz::Bytes(data, size), &bitmap); });
    return 0;
}
