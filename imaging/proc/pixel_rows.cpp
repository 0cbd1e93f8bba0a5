// Row loops of the whole-image operations, written to be vectorised.
#include "imaging/proc/pixel_rows.h"

#include "platform/core/rounding.h"
#include "platform/core/vector_clones.h"

#include <algorithm>
#include <cstring>

KANDRIVEL_VECTOR_CLONES void GreyPixels(uint8_t* p, int count)
{
    for (int i = 0; i < count; ++i, p += 3) {
        const uint8_t g = uint8_t((p[2] * 30u + p[1] * 59u + p[0] * 11u) / 100u);
        p[0] = p[1] = p[2] = g;
    }
}

KANDRIVEL_VECTOR_CLONES void GreyLevels(const uint8_t* p, int count, uint8_t* levels)
{
    for (int i = 0; i < count; ++i, p += 3)
        levels[i] = uint8_t((p[2] * 30u + p[1] * 59u + p[0] * 11u) / 100u);
}

namespace {

// Percentages 0 … 100 keep the sum in 16 bits. Round halves to even: v + 50 that
// divides by 100 exactly was a half, and an odd quotient steps back.
KANDRIVEL_VECTOR_CLONES void blendInRange(uint8_t* d, const uint8_t* s, int count, uint16_t p)
{
    const uint16_t q = uint16_t(100 - p);
    for (int i = 0; i < count; ++i) {
        const uint16_t v = uint16_t(d[i] * p + s[i] * q + 50);
        const uint16_t quotient = uint16_t(v / 100);
        const uint16_t half = uint16_t(v - quotient * 100) == 0;
        d[i] = uint8_t(quotient - (half & quotient));
    }
}

}  // namespace

void BlendBytes(uint8_t* d, const uint8_t* s, int count, int percent)
{
    if (percent >= 0 && percent <= 100) {
        blendInRange(d, s, count, uint16_t(percent));
        return;
    }
    // Outside the range the sum can be negative or beyond a byte: the exact quotient,
    // rounded and clamped.
    const int64_t p = percent, q = 100 - p;
    for (int i = 0; i < count; ++i)
        d[i] = ClampByte(Round(double(d[i] * p + s[i] * q) / 100.0));
}

void ReversePixels(uint8_t* pixels, int count)
{
    uint8_t* a = pixels;
    uint8_t* b = pixels + 3 * (count - 1);
    for (; a < b; a += 3, b -= 3) {
        uint8_t t[3];
        std::memcpy(t, a, 3);
        std::memcpy(a, b, 3);
        std::memcpy(b, t, 3);
    }
}
