// Colour adjustments: contrast, RGB, HSL, equalisation and the like.
#include "imaging/proc/color_adjust.h"

#include "imaging/proc/color_space.h"
#include "imaging/proc/pixel_rows.h"
#include "platform/core/vector_clones.h"

#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using Table = std::array<uint8_t, 256>;

// Maps every pixel of the area through one table per channel (blue, green, red).
void MapChannels(TBitmap& bm, int x1, int y1, int x2, int y2, const Table& blue, const Table& green, const Table& red,
                 const TEffectProgress& progress)
{
    ForAreaRows(bm, x1, y1, x2, y2, progress, [&](int, uint8_t* p) {
        for (int x = x1; x <= x2; ++x, p += 3) {
            p[0] = blue[p[0]];
            p[1] = green[p[1]];
            p[2] = red[p[2]];
        }
    });
}

template <class F> Table MakeTable(F f)
{
    Table t;
    for (int v = 0; v < 256; ++v)
        t[v] = f(v);
    return t;
}

}  // namespace

void AdjustContrast(TBitmap& bm, int x1, int y1, int x2, int y2, int contrast, int meanRed, int meanGreen, int meanBlue,
                    const TEffectProgress& progress)
{
    if (!ClipEffectArea(bm, x1, y1, x2, y2))
        return;
    const double f = contrast < 0 ? 1 - std::sqrt(double(-contrast)) / 10 : 1 + contrast / 10.0;
    const auto around = [f](int mean) {
        return MakeTable([=](int v) { return ClampByte(mean + Trunc((v - mean) * f)); });
    };
    MapChannels(bm, x1, y1, x2, y2, around(meanBlue), around(meanGreen), around(meanRed), progress);
}

void AdjustRGB(TBitmap& bm, int x1, int y1, int x2, int y2, int red, int green, int blue,
               const TEffectProgress& progress)
{
    if (!ClipEffectArea(bm, x1, y1, x2, y2))
        return;
    const auto offset = [](int d) { return MakeTable([=](int v) { return ClampByte(v + d); }); };
    MapChannels(bm, x1, y1, x2, y2, offset(blue), offset(green), offset(red), progress);
}

void AdjustHSL(TBitmap& bm, int x1, int y1, int x2, int y2, int hue, int sat, int light,
               const TEffectProgress& progress)
{
    if (!ClipEffectArea(bm, x1, y1, x2, y2))
        return;
    const double dh = hue / 360.0, ds = sat / 100.0, dl = light / 100.0;
    ForAreaRows(bm, x1, y1, x2, y2, progress, [&](int, uint8_t* p) {
        for (int x = x1; x <= x2; ++x, p += 3) {
            double h, s, l;
            RGBToHSL(p[2], p[1], p[0], h, s, l);
            int r, g, b;
            HSLToRGB(h + dh, s + ds, l + dl, r, g, b);
            p[0] = uint8_t(b), p[1] = uint8_t(g), p[2] = uint8_t(r);
        }
    });
}

void AdjustHSV(TBitmap& bm, int x1, int y1, int x2, int y2, int hue, int sat, int val, const TEffectProgress& progress)
{
    if (!ClipEffectArea(bm, x1, y1, x2, y2))
        return;
    const auto convert = [&](int r, int g, int b) {
        int h, s, v;
        RGBToHSV(r, g, b, h, s, v);
        HSVToRGB(h + hue, s + sat, v + val, r, g, b);
        return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16;
    };
    // The conversion first scales each channel to 0 … 99, so the result depends on
    // 100³ inputs only; large areas look them up instead of converting every pixel.
    const int64_t pixels = int64_t(x2 - x1 + 1) * (y2 - y1 + 1);
    std::vector<uint32_t> cache;
    std::array<int, 256> level{};
    if (pixels > 2'000'000) {
        cache.resize(100 * 100 * 100);
        std::array<int, 100> back{};
        for (int c = 0; c < 256; ++c)
            level[c] = Round(c / 255.0 * 99.0), back[level[c]] = c;
        for (int r = 0; r < 100; ++r)
            for (int g = 0; g < 100; ++g)
                for (int b = 0; b < 100; ++b)
                    cache[(r * 100 + g) * 100 + b] = convert(back[r], back[g], back[b]);
    }
    ForAreaRows(bm, x1, y1, x2, y2, progress, [&](int, uint8_t* p) {
        for (int x = x1; x <= x2; ++x, p += 3) {
            const uint32_t c = cache.empty() ? convert(p[2], p[1], p[0])
                                             : cache[(level[p[2]] * 100 + level[p[1]]) * 100 + level[p[0]]];
            p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
        }
    });
}

void ApplyThreshold(TBitmap& bm, int x1, int y1, int x2, int y2, TColor high, TColor low, TRGBTriple highThreshold,
                    TRGBTriple lowThreshold, const TEffectProgress& progress)
{
    if (!ClipEffectArea(bm, x1, y1, x2, y2))
        return;
    if (lowThreshold == TRGBTriple{0, 0, 0} && highThreshold == TRGBTriple{255, 255, 255})
        return;
    const TRGBTriple hc = ColorToRGBTriple(high), lc = ColorToRGBTriple(low);
    const auto channel = [](int lo, int hi, int loColor, int hiColor) {
        return MakeTable([=](int v) {
            if (v <= lo)
                v = loColor;
            if (v > hi)
                v = hiColor;
            return uint8_t(v);
        });
    };
    MapChannels(bm, x1, y1, x2, y2, channel(lowThreshold.rgbtBlue, highThreshold.rgbtBlue, lc.rgbtBlue, hc.rgbtBlue),
                channel(lowThreshold.rgbtGreen, highThreshold.rgbtGreen, lc.rgbtGreen, hc.rgbtGreen),
                channel(lowThreshold.rgbtRed, highThreshold.rgbtRed, lc.rgbtRed, hc.rgbtRed), progress);
}

void AdjustLevels(TBitmap& bm, int x1, int y1, int x2, int y2, TRGBTriple upper, TRGBTriple lower,
                  const TEffectProgress& progress)
{
    if (!ClipEffectArea(bm, x1, y1, x2, y2))
        return;
    upper.rgbtRed = std::max<uint8_t>(upper.rgbtRed, 1);
    upper.rgbtGreen = std::max<uint8_t>(upper.rgbtGreen, 1);
    upper.rgbtBlue = std::max<uint8_t>(upper.rgbtBlue, 1);
    if (upper == lower)
        return;
    const auto channel = [](int up, int lo) {
        const double span = lo == 255 ? 1.0 : 255.0 - lo;
        return MakeTable([=](int v) {
            const int t1 = ClampByte(Round((v - lo) / span * 255.0));
            return ClampByte(Round(t1 / double(up) * 255.0));
        });
    };
    MapChannels(bm, x1, y1, x2, y2, channel(upper.rgbtBlue, lower.rgbtBlue), channel(upper.rgbtGreen, lower.rgbtGreen),
                channel(upper.rgbtRed, lower.rgbtRed), progress);
}

namespace {

// Scratch rows of one band of the equalisation.
struct TEqualizeRows {
    std::vector<uint16_t> colSum;  // three rows added, per byte of the row
    std::vector<uint8_t> mean;     // 3 × 3 mean, per byte of the area's columns
    std::vector<uint8_t> grey, meanGrey;
    TEqualizeRows(int w, int cols)
        : colSum(size_t(w) * 3), mean(size_t(cols) * 3), grey(size_t(cols)), meanGrey(size_t(cols))
    {}
};

// The 3 × 3 means of the columns x1 … x2 (edge columns repeat), and the grey levels of
// the pixels and of their means: plain loops the compiler vectorises.
KANDRIVEL_VECTOR_CLONES void equalizeMeans(const uint8_t* up, const uint8_t* mid, const uint8_t* down, int w, int x1,
                                           int x2, uint16_t* colSum, uint8_t* mean)
{
    const int c1 = 3 * std::max(x1 - 1, 0), c2 = 3 * (std::min(x2 + 1, w - 1) + 1);
    for (int i = c1; i < c2; ++i)
        colSum[i] = uint16_t(up[i] + mid[i] + down[i]);
    const auto at = [&](int x, int c) {
        const int l = 3 * std::max(x - 1, 0) + c, r = 3 * std::min(x + 1, w - 1) + c;
        return uint8_t((colSum[l] + colSum[3 * x + c] + colSum[r]) / 9);
    };
    const int ix1 = std::max(x1, 1), ix2 = std::min(x2, w - 2);
    for (int x = x1; x < ix1 && x <= x2; ++x)
        for (int c = 0; c < 3; ++c)
            mean[3 * (x - x1) + c] = at(x, c);
    if (ix1 <= ix2) {
        uint8_t* m = mean + 3 * (ix1 - x1) - 3 * ix1;
        for (int i = 3 * ix1; i < 3 * (ix2 + 1); ++i)
            m[i] = uint8_t((colSum[i - 3] + colSum[i] + colSum[i + 3]) / 9u);
    }
    for (int x = std::max(ix2 + 1, x1); x <= x2; ++x)
        for (int c = 0; c < 3; ++c)
            mean[3 * (x - x1) + c] = at(x, c);
}

void equalizeRow(const uint8_t* up, const uint8_t* mid, const uint8_t* down, int w, int x1, int x2,
                 const std::array<uint8_t, 256>& left, const std::array<uint8_t, 256>& right, TEqualizeRows& s,
                 uint8_t* out)
{
    const int cols = x2 - x1 + 1;
    equalizeMeans(up, mid, down, w, x1, x2, s.colSum.data(), s.mean.data());
    GreyLevels(mid + 3 * x1, cols, s.grey.data());
    GreyLevels(s.mean.data(), cols, s.meanGrey.data());
    const uint8_t* p = mid + 3 * x1;
    const uint8_t* m = s.mean.data();
    for (int x = 0; x < cols; ++x, p += 3, m += 3, out += 3) {
        const int g = s.grey[x], lo = left[g], hi = right[g], a = s.meanGrey[x];
        // Equal bounds, or a mean outside them, map the pixel; else it takes the mean.
        if (lo == hi || a < lo || a > hi) {
            const uint8_t* t = lo != hi && a > hi ? right.data() : left.data();
            out[0] = t[p[0]], out[1] = t[p[1]], out[2] = t[p[2]];
        } else {
            out[0] = m[0], out[1] = m[1], out[2] = m[2];
        }
    }
}

}  // namespace

std::array<int64_t, 256> GrayHistogram(const TBitmap& bm)
{
    std::array<int64_t, 256> h{};
    if (bm.PixelFormat() != pf24bit || bm.Empty())
        return h;
    const auto rows = RowsOf(bm);
    const int w = bm.Width();
    std::mutex mutex;
    ParallelRows(bm.Height(), int64_t(w) * bm.Height(), [&](int y0, int y1) {
        // Four counters a level, so that runs of one level do not wait on each other.
        std::array<std::array<int32_t, 256>, 4> part{};
        std::array<int64_t, 256> band{};
        std::vector<uint8_t> levels(static_cast<size_t>(w));
        int64_t pending = 0;
        const auto flush = [&] {
            for (int i = 0; i < 256; ++i)
                band[i] += int64_t(part[0][i]) + part[1][i] + part[2][i] + part[3][i];
            part = {};
            pending = 0;
        };
        for (int y = y0; y < y1; ++y) {
            GreyLevels(rows[y], w, levels.data());
            const uint8_t* g = levels.data();
            int x = 0;
            for (; x + 4 <= w; x += 4) {
                ++part[0][g[x]];
                ++part[1][g[x + 1]];
                ++part[2][g[x + 2]];
                ++part[3][g[x + 3]];
            }
            for (; x < w; ++x)
                ++part[0][g[x]];
            // 32-bit counters, flushed long before they could overflow.
            if ((pending += w) >= (int64_t(1) << 30))
                flush();
        }
        flush();
        // Sums of integers: the order of the bands does not matter.
        std::lock_guard lock(mutex);
        for (int i = 0; i < 256; ++i)
            h[i] += band[i];
    });
    return h;
}

void EqualizeHistogram(TBitmap& bm, int x1, int y1, int x2, int y2, const TEffectProgress& progress)
{
    if (!ClipEffectArea(bm, x1, y1, x2, y2))
        return;
    const std::array<int64_t, 256> hist = GrayHistogram(bm);
    const int w = bm.Width(), h = bm.Height();
    // At least one pixel per level, or the loop below would never end on tiny images.
    const int64_t share = std::max<int64_t>(1, int64_t(w) * h / 256);
    Table left, right;
    int64_t z = 0, sum = 0;
    for (int i = 0; i < 256; ++i) {
        left[i] = ClampByte(int(std::min<int64_t>(z, 255)));
        sum += hist[i];
        // As many steps as "while sum > share: sum -= share" takes (sum stays above 0).
        const int64_t steps = sum > share ? (sum - 1) / share : 0;
        sum -= steps * share;
        z += steps;
        right[i] = ClampByte(int(std::min<int64_t>(z, 255)));
    }
    ForNeighbourRows(bm, x1, y1, x2, y2, progress, [&] {
        return [&, rows = TEqualizeRows(w, x2 - x1 + 1)](const uint8_t* up, const uint8_t* mid, const uint8_t* down,
                                                         uint8_t* out) mutable {
            equalizeRow(up, mid, down, w, x1, x2, left, right, rows, out);
        };
    });
}
