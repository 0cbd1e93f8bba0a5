// Exchanging red and blue in rows of 24-bit pixels, with byte shuffles where the
// processor has them.

#include "imaging/common/rgb_rows.h"

#include <immintrin.h>

namespace {

void swapScalar(const uint8_t* s, uint8_t* d, int from, int n)
{
    for (int x = from; x < n; ++x) {
        const uint8_t r = s[3 * x];  // read first: d may be s
        d[3 * x] = s[3 * x + 2];
        d[3 * x + 1] = s[3 * x + 1];
        d[3 * x + 2] = r;
    }
}

// The shuffle masks that turn 48 bytes (16 pixels, three registers) around: masks[o][i]
// picks from input register i the bytes of output register o (0x80 picks nothing).
struct SwapMasks {
    alignas(16) uint8_t m[3][3][16];
};

constexpr SwapMasks makeSwapMasks()
{
    SwapMasks k{};
    for (int o = 0; o < 3; ++o)
        for (int b = 0; b < 16; ++b) {
            const int at = 16 * o + b;
            const int from = at - at % 3 + 2 - at % 3;
            for (int i = 0; i < 3; ++i)
                k.m[o][i][b] = from / 16 == i ? uint8_t(from % 16) : 0x80;
        }
    return k;
}

constexpr SwapMasks kSwapMasks = makeSwapMasks();

inline __m128i ssse3Mask(int o, int i) { return _mm_load_si128(reinterpret_cast<const __m128i*>(kSwapMasks.m[o][i])); }

// Sixteen pixels a step: all three loads come before the three stores and no step
// touches another's bytes, so the row may be turned in place. Returns the pixels done.
__attribute__((target("ssse3"))) int swapSsse3(const uint8_t* s, uint8_t* d, int n)
{
    const __m128i m00 = ssse3Mask(0, 0), m01 = ssse3Mask(0, 1);
    const __m128i m10 = ssse3Mask(1, 0), m11 = ssse3Mask(1, 1), m12 = ssse3Mask(1, 2);
    const __m128i m21 = ssse3Mask(2, 1), m22 = ssse3Mask(2, 2);
    int x = 0;
    for (; x + 16 <= n; x += 16) {
        const __m128i* in = reinterpret_cast<const __m128i*>(s + 3 * x);
        const __m128i a = _mm_loadu_si128(in), b = _mm_loadu_si128(in + 1), c = _mm_loadu_si128(in + 2);
        const __m128i o0 = _mm_or_si128(_mm_shuffle_epi8(a, m00), _mm_shuffle_epi8(b, m01));
        const __m128i o1 =
            _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, m10), _mm_shuffle_epi8(b, m11)), _mm_shuffle_epi8(c, m12));
        const __m128i o2 = _mm_or_si128(_mm_shuffle_epi8(b, m21), _mm_shuffle_epi8(c, m22));
        __m128i* out = reinterpret_cast<__m128i*>(d + 3 * x);
        _mm_storeu_si128(out, o0);
        _mm_storeu_si128(out + 1, o1);
        _mm_storeu_si128(out + 2, o2);
    }
    return x;
}

__attribute__((target("avx2"))) inline __m256i avx2Mask(int o, int i)
{
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(kSwapMasks.m[o][i])));
}

// 16 bytes at p in the lower half, 16 bytes at p + 48 in the upper one.
__attribute__((target("avx2"))) inline __m256i avx2Load(const uint8_t* p)
{
    return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(p + 48), reinterpret_cast<const __m128i*>(p));
}

// The same on two blocks of 48 bytes at once, one in each half of the registers.
__attribute__((target("avx2"))) int swapAvx2(const uint8_t* s, uint8_t* d, int n)
{
    const __m256i m00 = avx2Mask(0, 0), m01 = avx2Mask(0, 1);
    const __m256i m10 = avx2Mask(1, 0), m11 = avx2Mask(1, 1), m12 = avx2Mask(1, 2);
    const __m256i m21 = avx2Mask(2, 1), m22 = avx2Mask(2, 2);
    int x = 0;
    for (; x + 32 <= n; x += 32) {
        const uint8_t* in = s + 3 * x;
        const __m256i a = avx2Load(in), b = avx2Load(in + 16), c = avx2Load(in + 32);
        const __m256i o0 = _mm256_or_si256(_mm256_shuffle_epi8(a, m00), _mm256_shuffle_epi8(b, m01));
        const __m256i o1 = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(a, m10), _mm256_shuffle_epi8(b, m11)),
                                           _mm256_shuffle_epi8(c, m12));
        const __m256i o2 = _mm256_or_si256(_mm256_shuffle_epi8(b, m21), _mm256_shuffle_epi8(c, m22));
        uint8_t* out = d + 3 * x;
        _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(out + 48), reinterpret_cast<__m128i*>(out), o0);
        _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(out + 64), reinterpret_cast<__m128i*>(out + 16), o1);
        _mm256_storeu2_m128i(reinterpret_cast<__m128i*>(out + 80), reinterpret_cast<__m128i*>(out + 32), o2);
    }
    return x;
}

const bool kHaveAvx2 = __builtin_cpu_supports("avx2");
const bool kHaveSsse3 = __builtin_cpu_supports("ssse3");

}  // namespace

void SwapRedBlue(const uint8_t* s, uint8_t* d, int n)
{
    int done = kHaveAvx2 ? swapAvx2(s, d, n) : 0;
    if (kHaveSsse3)
        done += swapSsse3(s + 3 * done, d + 3 * done, n - done);
    swapScalar(s, d, done, n);
}
