#include "imaging/proc/color_adjust.h"

#include "imaging/proc/color_space.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

using Table = std::array<uint8_t, 256>;

// Maps every pixel of the area through one table per channel (blue, green, red).
void MapChannels(TBitmap& bm, int x1, int y1, int x2, int y2, const Table& blue, const Table& green,
                 const Table& red, const TEffectProgress& progress)
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

} // namespace

void AdjustContrast(TBitmap& bm, int x1, int y1, int x2, int y2, int contrast, int meanRed, int meanGreen,
                    int meanBlue, const TEffectProgress& progress)
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

void AdjustHSV(TBitmap& bm, int x1, int y1, int x2, int y2, int hue, int sat, int val,
               const TEffectProgress& progress)
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

std::array<int64_t, 256> GrayHistogram(const TBitmap& bm)
{
    std::array<int64_t, 256> h{};
    if (bm.PixelFormat() != pf24bit)
        return h;
    for (int y = 0; y < bm.Height(); ++y) {
        const uint8_t* p = bm.ScanLine(y);
        for (int x = 0; x < bm.Width(); ++x, p += 3)
            ++h[PixelGray(p)];
    }
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
    // Results go to row buffers and are written back once the rows below no longer
    // need the original above them.
    const int cols = x2 - x1 + 1;
    std::vector<uint8_t> out(size_t(cols) * 3), prevRow(size_t(w) * 3);
    std::vector<int> colSum(size_t(w) * 3);
    for (int y = y1; y <= y2; ++y) {
        // Row y − 1 as it was: still in the bitmap above the area, else saved.
        const uint8_t* up = y == y1 ? bm.ScanLine(std::max(y - 1, 0)) : prevRow.data();
        const uint8_t* mid = bm.ScanLine(y);
        const uint8_t* down = bm.ScanLine(std::min(y + 1, h - 1));
        // Vertical sums of the three rows for the columns the area needs.
        const int cx1 = std::max(x1 - 1, 0), cx2 = std::min(x2 + 1, w - 1);
        for (int i = 3 * cx1; i < 3 * (cx2 + 1); ++i)
            colSum[i] = up[i] + mid[i] + down[i];
        for (int x = x1; x <= x2; ++x) {
            const uint8_t* p = mid + 3 * x;
            uint8_t* o = out.data() + 3 * (x - x1);
            const int g = PixelGray(p);
            if (left[g] == right[g]) {
                o[0] = left[p[0]], o[1] = left[p[1]], o[2] = left[p[2]];
                continue;
            }
            const int xl = 3 * std::max(x - 1, 0), xc = 3 * x, xr = 3 * std::min(x + 1, w - 1);
            uint8_t m[3];
            for (int c = 0; c < 3; ++c)
                m[c] = uint8_t((colSum[xl + c] + colSum[xc + c] + colSum[xr + c]) / 9);
            const int a = PixelGray(m);
            if (a > right[g])
                o[0] = right[p[0]], o[1] = right[p[1]], o[2] = right[p[2]];
            else if (a < left[g])
                o[0] = left[p[0]], o[1] = left[p[1]], o[2] = left[p[2]];
            else
                o[0] = m[0], o[1] = m[1], o[2] = m[2];
        }
        std::copy(mid, mid + 3 * w, prevRow.begin());
        std::copy(out.begin(), out.end(), bm.ScanLine(y) + 3 * x1);
        progress.Row(y, y1, y2);
    }
}
