// Exchanging red and blue between bitmap rows and TIFF rows.
#include "imaging/io/tiff/rgb_rows.h"

#include <immintrin.h>

namespace {

void swapScalar(const uint8_t* s, uint8_t* d, int from, int n)
{
    for (int x = from; x < n; ++x) {
        d[3 * x] = s[3 * x + 2];
        d[3 * x + 1] = s[3 * x + 1];
        d[3 * x + 2] = s[3 * x];
    }
}

// Five pixels a step through one byte shuffle; each 16-byte store's last byte is
// rewritten by the next step or the scalar tail. Returns the pixels done.
__attribute__((target("ssse3"))) int swapSsse3(const uint8_t* s, uint8_t* d, int n)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    int x = 0;
    // 16 bytes read and written from pixel x stay inside the row while x + 6 <= n.
    for (; x + 6 <= n; x += 5) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 3 * x), _mm_shuffle_epi8(v, order));
    }
    return x;
}

const bool kHaveSsse3 = __builtin_cpu_supports("ssse3");

}  // namespace

void SwapRedBlue(const uint8_t* s, uint8_t* d, int n)
{
    const int done = kHaveSsse3 ? swapSsse3(s, d, n) : 0;
    swapScalar(s, d, done, n);
}
