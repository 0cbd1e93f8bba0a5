// Filtered two-pass resampling and the area-averaging stretch.
#include "imaging/proc/resample.h"
#include "imaging/proc/resample_buffers.h"
#include "platform/core/exceptions.h"
#include "platform/core/parallel_for.h"
#include "platform/core/rounding.h"
#include "platform/graphics/row_access.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif
#include <vector>

namespace {

double triangleFilter(double t)
{
    t = std::fabs(t);
    return t < 1.0 ? 1.0 - t : 0.0;
}

double hermiteFilter(double t)
{
    const double a = std::fabs(t);
    return a < 1.0 ? (2.0 * a - 3.0) * t * t + 1.0 : 0.0;
}

double bellFilter(double t)
{
    const double a = std::fabs(t);
    if (a < 0.5)
        return 0.75 - t * t;
    if (a < 1.5) {
        const double d = a - 1.5;
        return 0.5 * d * d;
    }
    return 0.0;
}

double bsplineFilter(double t)
{
    const double a = std::fabs(t);
    if (a < 1.0)
        return 0.5 * a * a * a - t * t + 2.0 / 3.0;
    if (a < 2.0) {
        const double d = 2.0 - a;
        return d * d * d / 6.0;
    }
    return 0.0;
}

double sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    x *= M_PI;
    return std::sin(x) / x;
}

double lanczos3Filter(double t) { return std::fabs(t) < 3.0 ? sinc(t) * sinc(t / 3.0) : 0.0; }

double mitchellFilter(double t)
{
    const double a = std::fabs(t);
    if (a < 1.0)
        return (7.0 * a * a * a - 12.0 * t * t + 16.0 / 3.0) / 6.0;
    if (a < 2.0)
        return (-7.0 / 3.0 * a * a * a + 12.0 * t * t - 20.0 * a + 32.0 / 3.0) / 6.0;
    return 0.0;
}

inline void report(TObject* sender, const TProgressEvent& progress, double done, double total)
{
    if (progress)
        progress(sender, Trunc(done * 100.0 / (total + 0.5)));
}

// Contributor lists, flattened: list i holds entries start[i] … start[i+1]−1.
struct TContributors {
    std::vector<int> start;
    std::vector<int> pixel;
    std::vector<double> weight;
    int Count(int i) const { return start[size_t(i) + 1] - start[size_t(i)]; }
};

inline int mirrorIndex(int j, int size)
{
    if (j < 0)
        j = -j;
    else if (j >= size)
        j = 2 * size - 1 - j;
    // A source narrower than the filter reaches past the mirror as well.
    return std::clamp(j, 0, size - 1);
}

// enlargeOnly: the zoom's lists, which always filter at the enlarging width.
TContributors buildContributors(int dstSize, int srcSize, TResampleFilter filter)
{
    const TResampleFilterEntry& f = ResampleFilterTable[filter];
    const double scale = double(dstSize) / double(srcSize);
    TContributors c;
    c.start.reserve(size_t(dstSize) + 1);
    c.start.push_back(0);
    for (int i = 0; i < dstSize; ++i) {
        const double center = i / scale;
        if (scale >= 1.0) {
            const double width = f.Support;
            const int lo = int(std::floor(center - width)), hi = int(std::ceil(center + width));
            for (int j = lo; j <= hi; ++j) {
                const double w = f.Filter(center - j);
                if (w != 0.0) {
                    c.pixel.push_back(mirrorIndex(j, srcSize));
                    c.weight.push_back(w);
                }
            }
        } else {
            const double width = f.Support / scale;
            const double fscale = 1.0 / scale;
            const int lo = int(std::floor(center - width)), hi = int(std::ceil(center + width));
            for (int j = lo; j <= hi; ++j) {
                const double w = f.Filter((center - j) / fscale) / fscale;
                if (w != 0.0) {
                    c.pixel.push_back(mirrorIndex(j, srcSize));
                    c.weight.push_back(w);
                }
            }
        }
        c.start.push_back(int(c.pixel.size()));
    }
    return c;
}

// Round to nearest, halves to even, for 0 … 255: adding 1.5 · 2^52 leaves no fraction
// bits, so the sum is rounded by the hardware in its default mode (what nearbyint
// does, without a library call per pixel).
inline uint8_t toByte(double v)
{
    if (v > 255.0)
        return 255;
    if (v < 0.0)
        return 0;
    constexpr double kMagic = 6755399441055744.0;
    const double t = v + kMagic;
    return uint8_t(int(t - kMagic));
}

// The intermediate image between the passes: rounded bytes held as floats (exact),
// so that the second pass does not convert every byte once per contributor. Its memory
// is kept for the thread's next resample up to kSpareFloats: thumbnails made one after
// another would otherwise have it mapped and cleared anew each time. A resample started
// while one runs (events run by its progress) finds the spare taken and gets its own.
struct TPlaneSpare {
    std::unique_ptr<float[]> data;
    size_t size = 0;
};
thread_local TPlaneSpare t_planeSpare;

struct TPlane {
    static constexpr size_t kSpareFloats = size_t(1) << 20;
    TPlaneSpare& spare = t_planeSpare;
    int width = 0, height = 0;
    std::unique_ptr<float[]> data;
    size_t size = 0;
    // Every element is written by the first pass before the second reads it.
    TPlane(int w, int h) : width(w), height(h), size(size_t(w) * size_t(h) * 3)
    {
        if (spare.data && spare.size >= size) {
            data = std::move(spare.data);
            size = spare.size;
            return;
        }
        data.reset(new (std::nothrow) float[size]);
        if (!data)
            throw EOutOfMemory(QStringLiteral("Out of memory for a %1 × %2 resampling buffer").arg(w).arg(h));
        AdviseLargePages(data.get(), size * sizeof(float));
    }
    ~TPlane()
    {
        if (size <= kSpareFloats && (!spare.data || spare.size < size)) {
            spare.data = std::move(data);
            spare.size = size;
        }
    }
    TPlane(const TPlane&) = delete;
    TPlane& operator=(const TPlane&) = delete;
    float* Row(int y) { return data.get() + size_t(y) * size_t(width) * 3; }
    const float* Row(int y) const { return data.get() + size_t(y) * size_t(width) * 3; }
};

#if defined(__x86_64__) && defined(__GNUC__)
// AVX versions of the two inner loops, chosen at run time. They do the very same
// multiplications and additions per channel (no fused multiply-add), four lanes
// at a time, so the results are bit for bit those of the plain loops.
// Blue, green and red of a pixel of a byte row as doubles (the fourth lane holds the next
// byte and is never stored): exactly the values of the plain loops' float row.
__attribute__((target("avx"))) inline __m256d addTapAvx(__m256d acc, const uint8_t* row, const TContributors& c, int k)
{
    int32_t bytes;
    std::memcpy(&bytes, row + 3 * c.pixel[size_t(k)], 4);
    const __m256d p = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(bytes)));
    return _mm256_add_pd(acc, _mm256_mul_pd(_mm256_set1_pd(c.weight[size_t(k)]), p));
}
// Adds the taps from k to e and stores the pixel.
__attribute__((target("avx"))) inline void finishPixelAvx(__m256d acc, const uint8_t* row, const TContributors& c,
                                                          int k, int e, float* d)
{
    for (; k < e; ++k)
        acc = addTapAvx(acc, row, c, k);
    double out[4];
    _mm256_storeu_pd(out, acc);
    d[0] = toByte(out[0]);
    d[1] = toByte(out[1]);
    d[2] = toByte(out[2]);
}

// The tap lists of output pixels i … i + 3, and how many taps all four have.
inline int fourLists(const TContributors& c, int i, int k[4], int e[4])
{
    for (int j = 0; j < 4; ++j) {
        k[j] = c.start[size_t(i + j)];
        e[j] = c.start[size_t(i + j) + 1];
    }
    return std::min(std::min(e[0] - k[0], e[1] - k[1]), std::min(e[2] - k[2], e[3] - k[3]));
}

// row: the source row's bytes with one more after them. Four output pixels are summed
// side by side, each over its own list in its own order: the same bits as one at a time,
// without waiting on each addition before the next.
__attribute__((target("avx"))) void horizontalRowAvx(const uint8_t* row, const TContributors& c, int dw, float* d)
{
    int i = 0;
    for (; i + 4 <= dw; i += 4) {
        int k[4], e[4];
        const int common = fourLists(c, i, k, e);
        __m256d a0 = _mm256_setzero_pd(), a1 = a0, a2 = a0, a3 = a0;
        for (int t = 0; t < common; ++t) {
            a0 = addTapAvx(a0, row, c, k[0] + t);
            a1 = addTapAvx(a1, row, c, k[1] + t);
            a2 = addTapAvx(a2, row, c, k[2] + t);
            a3 = addTapAvx(a3, row, c, k[3] + t);
        }
        finishPixelAvx(a0, row, c, k[0] + common, e[0], d + 3 * i);
        finishPixelAvx(a1, row, c, k[1] + common, e[1], d + 3 * (i + 1));
        finishPixelAvx(a2, row, c, k[2] + common, e[2], d + 3 * (i + 2));
        finishPixelAvx(a3, row, c, k[3] + common, e[3], d + 3 * (i + 3));
    }
    for (; i < dw; ++i)
        finishPixelAvx(_mm256_setzero_pd(), row, c, c.start[size_t(i)], c.start[size_t(i) + 1], d + 3 * i);
}

// Two source rows at once, each in one half of the register: the rows share every
// index and weight, so each tap's loads and broadcast serve two pixels. Lane for lane the
// same operations in the same order as above, so the same bits.
// GCC 12 takes the undefined upper lanes inside _mm512_cvtepi32_pd for a use.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
__attribute__((target("avx2,avx512f"))) inline __m512d addTapPairAvx512(__m512d acc, const uint8_t* a, const uint8_t* b,
                                                                        const TContributors& c, int k)
{
    const size_t at = 3 * size_t(c.pixel[size_t(k)]);
    uint32_t first, second;
    std::memcpy(&first, a + at, 4);
    std::memcpy(&second, b + at, 4);
    const __m128i bytes = _mm_cvtsi64_si128(int64_t(uint64_t(first) | (uint64_t(second) << 32)));
    const __m512d p = _mm512_cvtepi32_pd(_mm256_cvtepu8_epi32(bytes));
    return _mm512_add_pd(acc, _mm512_mul_pd(_mm512_set1_pd(c.weight[size_t(k)]), p));
}

__attribute__((target("avx2,avx512f"))) inline void finishPixelPairAvx512(__m512d acc, const uint8_t* a,
                                                                          const uint8_t* b, const TContributors& c,
                                                                          int k, int e, float* da, float* db)
{
    for (; k < e; ++k)
        acc = addTapPairAvx512(acc, a, b, c, k);
    double out[8];
    _mm512_storeu_pd(out, acc);
    for (int ch = 0; ch < 3; ++ch) {
        da[ch] = toByte(out[ch]);
        db[ch] = toByte(out[4 + ch]);
    }
}

// a, b: two source rows' bytes, each with one more after them.
__attribute__((target("avx2,avx512f"))) void
horizontalRowPairAvx512(const uint8_t* a, const uint8_t* b, const TContributors& c, int dw, float* da, float* db)
{
    int i = 0;
    for (; i + 4 <= dw; i += 4) {
        int k[4], e[4];
        const int common = fourLists(c, i, k, e);
        __m512d a0 = _mm512_setzero_pd(), a1 = a0, a2 = a0, a3 = a0;
        for (int t = 0; t < common; ++t) {
            a0 = addTapPairAvx512(a0, a, b, c, k[0] + t);
            a1 = addTapPairAvx512(a1, a, b, c, k[1] + t);
            a2 = addTapPairAvx512(a2, a, b, c, k[2] + t);
            a3 = addTapPairAvx512(a3, a, b, c, k[3] + t);
        }
        finishPixelPairAvx512(a0, a, b, c, k[0] + common, e[0], da + 3 * i, db + 3 * i);
        finishPixelPairAvx512(a1, a, b, c, k[1] + common, e[1], da + 3 * (i + 1), db + 3 * (i + 1));
        finishPixelPairAvx512(a2, a, b, c, k[2] + common, e[2], da + 3 * (i + 2), db + 3 * (i + 2));
        finishPixelPairAvx512(a3, a, b, c, k[3] + common, e[3], da + 3 * (i + 3), db + 3 * (i + 3));
    }
    for (; i < dw; ++i)
        finishPixelPairAvx512(_mm512_setzero_pd(), a, b, c, c.start[size_t(i)], c.start[size_t(i) + 1], da + 3 * i,
                              db + 3 * i);
}

#pragma GCC diagnostic pop

__attribute__((target("avx"))) void accumulateRowAvx(double* a, const float* s, double w, int n)
{
    const __m256d wv = _mm256_set1_pd(w);
    int x = 0;
    for (; x + 4 <= n; x += 4)
        _mm256_storeu_pd(a + x, _mm256_add_pd(_mm256_loadu_pd(a + x),
                                              _mm256_mul_pd(wv, _mm256_cvtps_pd(_mm_loadu_ps(s + x)))));
    for (; x < n; ++x)
        a[x] += w * double(s[x]);
}

const bool kHaveAvx = __builtin_cpu_supports("avx");
const bool kHaveAvx512 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f");
#else
constexpr bool kHaveAvx = false;
constexpr bool kHaveAvx512 = false;
inline void horizontalRowAvx(const uint8_t*, const TContributors&, int, float*) {}
inline void horizontalRowPairAvx512(const uint8_t*, const uint8_t*, const TContributors&, int, float*, float*) {}
inline void accumulateRowAvx(double*, const float*, double, int) {}
#endif

// Rows of src (sw wide) into rows of mid (dw wide) through the column lists. Each
// channel's sum is w·v added in list order in double precision; the SSE2 path does
// the same operations two channels at a time, so both paths give the same bits.
void horizontalPass(const TBitmap& src, TPlane& mid, const TContributors& c, TObject* sender,
                    const TProgressEvent& progress, double total)
{
    const int dw = mid.width, sh = src.Height(), sw = src.Width();
    const auto srcRows = RowsOf(src);
    ParallelRows(
        sh, int64_t(std::max(sw, dw)) * sh,
        [&](int y0, int y1) {
            std::vector<float> row(kHaveAvx ? 0 : size_t(sw) * 4 + 4);
            const size_t rowBytes = size_t(sw) * 3;
            std::vector<uint8_t> bytes(kHaveAvx ? 2 * (rowBytes + 1) : 0);
            for (int y = y0; y < y1; ++y) {
                const uint8_t* s = srcRows[y];
                float* d = mid.Row(y);
                if (kHaveAvx512 && y + 1 < y1) {
                    uint8_t* second = bytes.data() + rowBytes + 1;
                    std::memcpy(bytes.data(), s, rowBytes);
                    std::memcpy(second, srcRows[y + 1], rowBytes);
                    horizontalRowPairAvx512(bytes.data(), second, c, dw, d, mid.Row(y + 1));
                    ++y;
                    continue;
                }
                if (kHaveAvx) {
                    // A copy, so that the last pixel's four-byte load stays inside.
                    std::memcpy(bytes.data(), s, size_t(sw) * 3);
                    horizontalRowAvx(bytes.data(), c, dw, d);
                    continue;
                }
                for (int x = 0; x < sw; ++x) {
                    row[4 * size_t(x)] = s[3 * x];
                    row[4 * size_t(x) + 1] = s[3 * x + 1];
                    row[4 * size_t(x) + 2] = s[3 * x + 2];
                    row[4 * size_t(x) + 3] = 0;
                }
                for (int i = 0; i < dw; ++i) {
                    const int e = c.start[size_t(i) + 1];
#ifdef __SSE2__
                    __m128d bg = _mm_setzero_pd(), r0 = _mm_setzero_pd();
                    for (int k = c.start[size_t(i)]; k < e; ++k) {
                        const __m128 p = _mm_loadu_ps(row.data() + 4 * c.pixel[size_t(k)]);
                        const __m128d w = _mm_set1_pd(c.weight[size_t(k)]);
                        bg = _mm_add_pd(bg, _mm_mul_pd(w, _mm_cvtps_pd(p)));
                        r0 = _mm_add_pd(r0, _mm_mul_pd(w, _mm_cvtps_pd(_mm_movehl_ps(p, p))));
                    }
                    double out[4];
                    _mm_storeu_pd(out, bg);
                    _mm_storeu_pd(out + 2, r0);
                    const double b = out[0], g = out[1], r = out[2];
#else
                    double b = 0, g = 0, r = 0;
                    for (int k = c.start[size_t(i)]; k < e; ++k) {
                        const float* p = row.data() + 4 * c.pixel[size_t(k)];
                        const double w = c.weight[size_t(k)];
                        b += w * double(p[0]);
                        g += w * double(p[1]);
                        r += w * double(p[2]);
                    }
#endif
                    d[3 * i] = toByte(b);
                    d[3 * i + 1] = toByte(g);
                    d[3 * i + 2] = toByte(r);
                }
            }
        },
        [&](int done) { report(sender, progress, done, total); });
}

// Columns of mid into dst through the row lists. Worked row by row: every pixel's
// sum still runs over its list in order, so the result is that of a column walk.
void verticalPass(const TPlane& mid, TBitmap& dst, const TContributors& c, TObject* sender,
                  const TProgressEvent& progress, double done, double total)
{
    const int dh = dst.Height(), n = 3 * dst.Width();
    const auto dstRows = RowsOf(dst);
    ParallelRows(
        dh, int64_t(dst.Width()) * std::max(dh, mid.height),
        [&](int y0, int y1) {
            std::vector<double> acc(static_cast<size_t>(n));
            for (int y = y0; y < y1; ++y) {
                std::fill(acc.begin(), acc.end(), 0.0);
                const int e = c.start[size_t(y) + 1];
                for (int k = c.start[size_t(y)]; k < e; ++k) {
                    const float* s = mid.Row(c.pixel[size_t(k)]);
                    const double w = c.weight[size_t(k)];
                    double* a = acc.data();
                    if (kHaveAvx)
                        accumulateRowAvx(a, s, w, n);
                    else
                        for (int x = 0; x < n; ++x)
                            a[x] += w * double(s[x]);
                }
                uint8_t* d = dstRows[y];
                for (int x = 0; x < n; ++x)
                    d[x] = toByte(acc[size_t(x)]);
            }
        },
        [&](int rows) { report(sender, progress, done + double(rows) * dst.Width() / dh, total); });
}

const TBitmap& as24(const TBitmap& bmp, TBitmap& holder)
{
    if (bmp.PixelFormat() == pf24bit)
        return bmp;
    holder = bmp;
    holder.SetPixelFormat(pf24bit);
    return holder;
}

// Integer area weights of one axis: destination cell i covers [i·s, (i+1)·s) in
// units of 1/d source pixels, source pixel j covers [j·d, (j+1)·d).
struct TAreaList {
    std::vector<int> start;
    std::vector<int> pixel;
    std::vector<int64_t> weight;
};

TAreaList buildArea(int dstSize, int srcSize)
{
    TAreaList a;
    a.start.push_back(0);
    for (int i = 0; i < dstSize; ++i) {
        const int64_t lo = int64_t(i) * srcSize, hi = int64_t(i + 1) * srcSize;
        for (int64_t j = lo / dstSize; j < srcSize && j * dstSize < hi; ++j) {
            const int64_t o = std::min(hi, (j + 1) * dstSize) - std::max(lo, j * dstSize);
            if (o > 0) {
                a.pixel.push_back(int(j));
                a.weight.push_back(o);
            }
        }
        a.start.push_back(int(a.pixel.size()));
    }
    return a;
}

// 24-bit area averaging along rows into the intermediate (same height).
void areaHorizontal(const TBitmap& src, TPlane& mid)
{
    const int sw = src.Width(), dw = mid.width;
    const TAreaList a = buildArea(dw, sw);
    const auto srcRows = RowsOf(src);
    ParallelRows(src.Height(), int64_t(std::max(sw, dw)) * src.Height(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint8_t* s = srcRows[y];
            float* d = mid.Row(y);
            for (int i = 0; i < dw; ++i) {
                int64_t b = 0, g = 0, r = 0;
                for (int k = a.start[size_t(i)]; k < a.start[size_t(i) + 1]; ++k) {
                    const uint8_t* p = s + 3 * a.pixel[size_t(k)];
                    const int64_t w = a.weight[size_t(k)];
                    b += w * p[0];
                    g += w * p[1];
                    r += w * p[2];
                }
                d[3 * i] = float((b + sw / 2) / sw);
                d[3 * i + 1] = float((g + sw / 2) / sw);
                d[3 * i + 2] = float((r + sw / 2) / sw);
            }
        }
    });
}

void areaVertical(const TPlane& mid, TBitmap& dst)
{
    const int sh = mid.height, dh = dst.Height(), n = 3 * dst.Width();
    const TAreaList a = buildArea(dh, sh);
    const auto dstRows = RowsOf(dst);
    ParallelRows(dh, int64_t(dst.Width()) * std::max(dh, sh), [&](int y0, int y1) {
        std::vector<int64_t> acc(static_cast<size_t>(n));
        for (int y = y0; y < y1; ++y) {
            std::fill(acc.begin(), acc.end(), 0);
            for (int k = a.start[size_t(y)]; k < a.start[size_t(y) + 1]; ++k) {
                const float* s = mid.Row(a.pixel[size_t(k)]);
                const int64_t w = a.weight[size_t(k)];
                for (int x = 0; x < n; ++x)
                    acc[size_t(x)] += w * int64_t(s[x]);
            }
            uint8_t* d = dstRows[y];
            for (int x = 0; x < n; ++x)
                d[x] = uint8_t((acc[size_t(x)] + sh / 2) / sh);
        }
    });
}

// Both axes at once, rounding only at the end: each destination pixel is the
// exact area mean of what it covers. Row sums of one source row are kept while
// consecutive destination rows share it.
void areaStretch(const TBitmap& src, TBitmap& dst)
{
    const int sw = src.Width(), sh = src.Height(), dw = dst.Width(), dh = dst.Height();
    const TAreaList ax = buildArea(dw, sw), ay = buildArea(dh, sh);
    const size_t n = size_t(dw) * 3;
    const int64_t area = int64_t(sw) * sh;
    const auto srcRows = RowsOf(src);
    const auto dstRows = RowsOf(dst);
    ParallelRows(dh, int64_t(std::max(dw, sw)) * std::max(dh, sh), [&](int y0, int y1) {
        std::vector<int64_t> rowSum(n), acc(n);
        int cached = -1;
        for (int y = y0; y < y1; ++y) {
            std::fill(acc.begin(), acc.end(), 0);
            for (int k = ay.start[size_t(y)]; k < ay.start[size_t(y) + 1]; ++k) {
                const int sy = ay.pixel[size_t(k)];
                if (sy != cached) {
                    const uint8_t* s = srcRows[sy];
                    for (int i = 0; i < dw; ++i) {
                        int64_t b = 0, g = 0, r = 0;
                        for (int m = ax.start[size_t(i)]; m < ax.start[size_t(i) + 1]; ++m) {
                            const uint8_t* p = s + 3 * ax.pixel[size_t(m)];
                            const int64_t w = ax.weight[size_t(m)];
                            b += w * p[0];
                            g += w * p[1];
                            r += w * p[2];
                        }
                        rowSum[3 * size_t(i)] = b;
                        rowSum[3 * size_t(i) + 1] = g;
                        rowSum[3 * size_t(i) + 2] = r;
                    }
                    cached = sy;
                }
                const int64_t w = ay.weight[size_t(k)];
                for (size_t x = 0; x < n; ++x)
                    acc[x] += w * rowSum[x];
            }
            uint8_t* d = dstRows[y];
            for (size_t x = 0; x < n; ++x)
                d[x] = uint8_t((acc[x] + area / 2) / area);
        }
    });
}

void majorityStretch(const TBitmap& src, TBitmap& dst)
{
    const int sw = src.Width(), sh = src.Height(), dw = dst.Width(), dh = dst.Height();
    const TAreaList ax = buildArea(dw, sw), ay = buildArea(dh, sh);
    std::vector<int64_t> acc(static_cast<size_t>(dw));
    const int64_t area = int64_t(sw) * sh;
    for (int y = 0; y < dh; ++y) {
        std::fill(acc.begin(), acc.end(), 0);
        for (int k = ay.start[size_t(y)]; k < ay.start[size_t(y) + 1]; ++k) {
            const uint8_t* s = src.ScanLine(ay.pixel[size_t(k)]);
            for (int i = 0; i < dw; ++i) {
                int64_t white = 0;
                for (int m = ax.start[size_t(i)]; m < ax.start[size_t(i) + 1]; ++m) {
                    const int x = ax.pixel[size_t(m)];
                    if (s[x >> 3] & (0x80 >> (x & 7)))
                        white += ax.weight[size_t(m)];
                }
                acc[size_t(i)] += white * ay.weight[size_t(k)];
            }
        }
        uint8_t* d = dst.ScanLine(y);
        std::memset(d, 0, size_t(dst.BytesPerLine()));
        for (int i = 0; i < dw; ++i)
            if (2 * acc[size_t(i)] >= area)
                d[i >> 3] |= uint8_t(0x80 >> (i & 7));
    }
}

}  // namespace

const TResampleFilterEntry ResampleFilterTable[7] = {
    {nullptr, 0.0},       {triangleFilter, 1.0}, {hermiteFilter, 1.0},  {bellFilter, 1.5},
    {bsplineFilter, 2.0}, {lanczos3Filter, 3.0}, {mitchellFilter, 2.0},
};

TBitmap ResampledBitmap(const TBitmap& source, int dw, int dh, TResampleFilter filter, TObject* sender,
                        const TProgressEvent& progress)
{
    if (source.Empty() || filter <= rfNone || filter > rfMitchell || dw <= 0 || dh <= 0)
        return TBitmap();
    TBitmap holder;
    const TBitmap& src = as24(source, holder);
    const int sw = src.Width(), sh = src.Height();
    const double total = dw + sh;

    TPlane work(dw, sh);
    horizontalPass(src, work, buildContributors(dw, sw, filter), sender, progress, total);
    TBitmap out;
    out.SetImage(NewImage24(dw, dh));
    verticalPass(work, out, buildContributors(dh, sh, filter), sender, progress, sh, total);
    return out;
}

void ResampleBitmap(const TBitmap& source, TBitmap& destination, TResampleFilter filter, TObject* sender,
                    const TProgressEvent& progress)
{
    TBitmap out = ResampledBitmap(source, destination.Width(), destination.Height(), filter, sender, progress);
    if (!out.Empty())
        destination.Assign(out);
}

void ZoomResample(const TBitmap& source, TBitmap& destination, TResampleFilter filter, TObject* sender,
                  const TProgressEvent& progress)
{
    const int dw = destination.Width(), dh = destination.Height();
    if (source.Empty() || dw <= 0 || dh <= 0)
        return;
    TBitmap holder;
    const TBitmap& src = as24(source, holder);
    const int sw = src.Width(), sh = src.Height();
    const bool filtered = filter > rfNone && filter <= rfMitchell;
    const double total = dw + sh;

    TPlane work(dw, sh);
    if (filtered && dw >= sw)
        horizontalPass(src, work, buildContributors(dw, sw, filter), sender, progress, total);
    else {
        areaHorizontal(src, work);
        report(sender, progress, sh, total);
    }
    TBitmap out(dw, dh, pf24bit);
    if (filtered && dh >= sh)
        verticalPass(work, out, buildContributors(dh, sh, filter), sender, progress, sh, total);
    else {
        areaVertical(work, out);
        report(sender, progress, total, total);
    }
    destination.Assign(out);
}

TBitmap ZoomResample(const TBitmap& source, int width, int height, TResampleFilter filter)
{
    if (width <= 0 || height <= 0)
        return TBitmap();
    TBitmap out(width, height, pf24bit);
    ZoomResample(source, out, filter);
    return out;
}

void HalftoneStretch(const TBitmap& source, TBitmap& destination)
{
    const int dw = destination.Width(), dh = destination.Height();
    if (source.Empty() || dw <= 0 || dh <= 0)
        return;
    if (source.PixelFormat() == pf1bit) {
        TBitmap out(dw, dh, pf1bit);
        majorityStretch(source, out);
        destination.Assign(out);
        return;
    }
    TBitmap holder;
    const TBitmap& src = as24(source, holder);
    TBitmap out(dw, dh, pf24bit);
    areaStretch(src, out);
    destination.Assign(out);
}
