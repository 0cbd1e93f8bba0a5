// How much of a picture a short file must hold before a reader sizes the bitmap from
// the header. A reader may load a file that ends early partly (the rest stays white),
// but a few bytes must not make it allocate the whole size their header claims: below
// 1/64 of the pixel data the file is refused as truncated, before anything is
// allocated. Coded data count by the most they can unpack to (PackBits) or by the
// fewest bits a row can take (fax); other run-length data are bounded by the readers'
// own rules of how far a byte can reach.
#pragma once

#include <cstdint>

constexpr int64_t kMinPartialShare = 64;

// True when bytesPresent could fill at least 1/64 of bytesNeeded.
constexpr bool EnoughForPartialLoad(int64_t bytesPresent, int64_t bytesNeeded)
{
    return bytesPresent >= (bytesNeeded + kMinPartialShare - 1) / kMinPartialShare;
}
