// Canvas size, resampling, rotation and flipping of a whole bitmap.
#include "imaging/proc/geometry.h"
#include "imaging/proc/pixel_rows.h"
#include "imaging/proc/resample.h"
#include "imaging/proc/resample_buffers.h"
#include "platform/core/exceptions.h"
#include "platform/core/parallel_for.h"
#include "platform/core/rounding.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/row_access.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace {

inline void report(TObject* sender, const TProgressEvent& progress, int done, double total)
{
    if (progress)
        progress(sender, Trunc(done * 100.0 / (total + 0.5)));
}

struct TTriple {
    uint8_t b, g, r;
};

// Blend weights are in 1/4096 units; the +2048 rounds to nearest. (Rounding the
// quotient once more would turn every odd channel of a flat area into the next even.)
inline uint8_t blendChannel(int left, int p, int u, int v) { return ClampByte((left * u + p * v + 2048) >> 12); }

inline TTriple blend(const TTriple& left, const uint8_t* p, int u, int v)
{
    return {blendChannel(left.b, p[0], u, v), blendChannel(left.g, p[1], u, v), blendChannel(left.r, p[2], u, v)};
}

inline TTriple blend(const TTriple& left, const TTriple& p, int u, int v)
{
    return {blendChannel(left.b, p.b, u, v), blendChannel(left.g, p.g, u, v), blendChannel(left.r, p.r, u, v)};
}

inline void put(uint8_t* d, const TTriple& t)
{
    d[0] = t.b;
    d[1] = t.g;
    d[2] = t.r;
}

inline TTriple get(const uint8_t* s) { return {s[0], s[1], s[2]}; }

void fillSpan(uint8_t* row, int from, int to, const TTriple& bg)
{
    for (int x = from; x < to; ++x)
        put(row + 3 * x, bg);
}

// A w × h buffer of background pixels. Neither zeroed first nor filled on one thread:
// for a large rotation either would hold the window for seconds. `alive` runs on the
// calling thread between rows, so that the window's events go on meanwhile.
std::unique_ptr<uint8_t[]> backgroundRows(int w, int h, const TTriple& bg, const std::function<void(int)>& alive)
{
    const size_t bytes = size_t(w) * size_t(h) * 3;
    std::unique_ptr<uint8_t[]> buf(new (std::nothrow) uint8_t[bytes]);
    if (!buf)
        throw EOutOfMemory(QStringLiteral("Out of memory for a %1 × %2 rotation buffer").arg(w).arg(h));
    AdviseLargePages(buf.get(), bytes);
    const size_t rowBytes = size_t(w) * 3;
    uint8_t* const data = buf.get();
    ParallelRows(
        h, int64_t(w) * h,
        [&](int y0, int y1) {
            for (size_t i = size_t(y0) * rowBytes; i < size_t(y1) * rowBytes; i += 3) {
                data[i] = bg.b;
                data[i + 1] = bg.g;
                data[i + 2] = bg.r;
            }
        },
        alive);
    return buf;
}

struct TShearSizes {
    double theta, t, s;
    int W1, D, H2p, E, H2, W3;
};

TShearSizes shearSizes(int w, int h, int angle)
{
    TShearSizes z;
    z.theta = angle * M_PI / 180.0;
    z.t = std::fabs(std::sin(z.theta / 2) / std::cos(z.theta / 2));
    z.s = std::fabs(std::sin(z.theta));
    z.W1 = Round(h * z.t + w + 1);
    z.D = Round((z.W1 - w) * z.s);
    z.H2p = Round(z.W1 * z.s + h + 1);
    z.E = Round(z.t * (z.H2p - h - z.D));
    z.H2 = z.H2p - 2 * z.D;
    z.W3 = Round(z.t * z.H2 + z.W1 + 1 - 2 * z.E);
    return z;
}

// Three shears of the w × h 24-bit work bitmap into bitmap.
void shearRotate(const TBitmap& work, TBitmap& bitmap, int angle, bool aa, const TTriple& bg, TObject* sender,
                 const TProgressEvent& progress)
{
    const int w = work.Width(), h = work.Height();
    const TShearSizes z = shearSizes(w, h, angle);
    const bool positive = z.theta > 0;
    const int W1 = z.W1, H2 = std::max(z.H2, 1), W3 = std::max(z.W3, 1);
    const double total = double(h) + W1 + H2;
    int steps = 0;

    // Pass 1: rows shifted sideways into W1 × h.
    // Only the uncovered ends of each row are filled.
    std::unique_ptr<uint8_t[]> p1(new (std::nothrow) uint8_t[size_t(W1) * size_t(h) * 3]);
    if (!p1)
        throw EOutOfMemory(QStringLiteral("Out of memory for a %1 × %2 rotation buffer").arg(W1).arg(h));
    AdviseLargePages(p1.get(), size_t(W1) * size_t(h) * 3);
    const auto workRows = RowsOf(work);
    const int64_t pixels = int64_t(W1) * std::max(h, H2);
    ParallelRows(
        h, pixels,
        [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const double skew = (positive ? y : h - y) * z.t;
                const int k = Round(skew);
                const uint8_t* s = workRows[y];
                uint8_t* row = p1.get() + size_t(y) * W1 * 3;
                fillSpan(row, 0, std::min(std::max(k, 0), W1), bg);
                fillSpan(row, std::min(std::max(k + w, 0), W1), W1, bg);
                if (!aa) {
                    const int from = std::max(k, 0), to = std::min(k + w, W1);
                    if (to > from)
                        std::memcpy(row + 3 * from, s + 3 * (from - k), size_t(to - from) * 3);
                } else {
                    const int u = Trunc((skew - k) * 4096), v = 4096 - u;
                    TTriple left = bg;
                    for (int x = 0; x < w; ++x) {
                        const int c = k + x;
                        if (c >= 0 && c < W1)
                            put(row + 3 * c, blend(left, s + 3 * x, u, v));
                        left = get(s + 3 * x);
                    }
                    if (u > 0 && k + w < W1 && k + w >= 0)
                        put(row + 3 * (k + w), blend(left, bg, u, v));
                }
            }
        },
        [&](int done) { report(sender, progress, steps + done, total); });
    steps += h;

    // Pass 2: columns shifted vertically into W1 × H2. Worked in strips of columns
    // so that the row-major buffers are read and written a cache line at a time.
    // The fill reports the same step again: the bar stands while the window stays alive.
    const auto p2 = backgroundRows(W1, H2, bg, [&](int) { report(sender, progress, steps, total); });
    constexpr int kStrip = 32;
    const int strips = (W1 + kStrip - 1) / kStrip;
    ParallelRows(
        strips, pixels,
        [&](int first, int last) {
            int offs[kStrip], us[kStrip], vs[kStrip];
            TTriple lefts[kStrip];
            for (int x0 = first * kStrip; x0 < last * kStrip; x0 += kStrip) {
                const int n = std::min(kStrip, W1 - x0);
                for (int i = 0; i < n; ++i) {
                    const int x = x0 + i;
                    const double skew = (positive ? W1 - x : x) * z.s;
                    const int k = Round(skew);
                    us[i] = Round((skew - k) * 4096);
                    vs[i] = 4096 - us[i];
                    offs[i] = k - z.D;
                    lefts[i] = bg;
                }
                for (int y = 0; y < h; ++y) {
                    const uint8_t* s = p1.get() + (size_t(y) * W1 + x0) * 3;
                    for (int i = 0; i < n; ++i) {
                        const int ty = y + offs[i];
                        if (ty < 0 || ty >= H2)
                            continue;
                        uint8_t* d = p2.get() + (size_t(ty) * W1 + x0 + i) * 3;
                        if (!aa)
                            std::memcpy(d, s + 3 * i, 3);
                        else {
                            put(d, blend(lefts[i], s + 3 * i, us[i], vs[i]));
                            lefts[i] = get(s + 3 * i);
                        }
                    }
                }
                if (aa)
                    for (int i = 0; i < n; ++i) {
                        const int ty = offs[i] + h;
                        if (us[i] > 0 && ty < H2 && ty >= 0)
                            put(p2.get() + (size_t(ty) * W1 + x0 + i) * 3, blend(lefts[i], bg, us[i], vs[i]));
                    }
            }
        },
        [&](int done) { report(sender, progress, steps + std::min(done * kStrip, W1), total); });
    steps += W1;

    // Pass 3: rows shifted sideways into the W3 × H2 image.
    QImage img = NewImage24(W3, H2);
    uint8_t* const imgBits = img.bits();
    const ptrdiff_t imgStride = img.bytesPerLine();
    ParallelRows(
        H2, pixels,
        [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                uint8_t* d = imgBits + imgStride * y;
                const double skew = (positive ? y : H2 - y) * z.t;
                const int k = Round(skew);
                const int u = Round((skew - k) * 4096), v = 4096 - u;
                const int offset = k - z.E;
                fillSpan(d, 0, std::min(std::max(offset, 0), W3), bg);
                fillSpan(d, std::min(std::max(offset + W1, 0), W3), W3, bg);
                const uint8_t* s = p2.get() + size_t(y) * W1 * 3;
                if (!aa) {
                    const int from = std::max(offset, 0), to = std::min(offset + W1, W3);
                    if (to > from)
                        std::memcpy(d + 3 * from, s + 3 * (from - offset), size_t(to - from) * 3);
                } else {
                    TTriple left = bg;
                    for (int x = 0; x < W1; ++x) {
                        const int c = x + offset;
                        if (c >= 0 && c < W3) {
                            put(d + 3 * c, blend(left, s + 3 * x, u, v));
                            left = get(s + 3 * x);
                        }
                    }
                    const int c = offset + W1;
                    if (u > 0 && c >= 0 && c < W3)
                        put(d + 3 * c, blend(left, bg, u, v));
                }
            }
        },
        [&](int done) { report(sender, progress, steps + done, total); });
    bitmap.SetImage(img);
}

// One 24-bit pixel moved as a 4-byte word; the byte after it on either side must be
// inside the buffers, and the one written there is overwritten later.
inline void movePixelWide(uint8_t* d, const uint8_t* s)
{
    uint32_t v;
    std::memcpy(&v, s, 4);
    std::memcpy(d, &v, 4);
}

// Quarter turns in tiles, so that neither side is walked across rows one pixel at a time.
// `alive`, if given, runs on the calling thread between tiles (see backgroundRows).
template <bool Clockwise> void quarterTurn(const TBitmap& src, TBitmap& dst, const std::function<void(int)>& alive = {})
{
    const int w = src.Width(), h = src.Height();
    // Every pixel is written below; the image needs no fill first.
    QImage out = NewImage24(h, w);
    const uint8_t* const sbits = src.Image().constBits();
    uint8_t* const dbits = out.bits();
    const ptrdiff_t sstride = src.Image().bytesPerLine(), dstride = out.bytesPerLine();
    // Destination row x walks source column x upwards (clockwise) or downwards.
    const ptrdiff_t step = Clockwise ? -sstride : sstride;
    // Tiles keep both the source rows and the destination rows of a block in cache.
    constexpr int kTileRows = 32, kTileColumns = 64;
    ParallelRows((h + kTileRows - 1) / kTileRows, int64_t(w) * h,
                 [&](int firstTile, int lastTile) {
                     for (int q0 = firstTile * kTileRows; q0 < std::min(h, lastTile * kTileRows); q0 += kTileRows) {
                         const int q1 = std::min(q0 + kTileRows, h);
                         // The wide move spills one byte into the next pixel: not past the end of a
                         // destination row, and not into the next tile, which another thread may own.
                         const int wideEnd = q1 - 1;
                         for (int x0 = 0; x0 < w; x0 += kTileColumns) {
                             const int x1 = std::min(x0 + kTileColumns, w);
                             for (int x = x0; x < x1; ++x) {
                                 uint8_t* d = dbits + dstride * (Clockwise ? x : w - 1 - x) + 3 * ptrdiff_t(q0);
                                 const uint8_t* s = sbits + sstride * (Clockwise ? h - 1 - q0 : q0) + 3 * ptrdiff_t(x);
                                 int q = q0;
                                 // Nor has the last pixel of a source row.
                                 if (x < w - 1)
                                     for (; q < wideEnd; ++q, d += 3, s += step)
                                         movePixelWide(d, s);
                                 for (; q < q1; ++q, d += 3, s += step)
                                     std::memcpy(d, s, 3);
                             }
                         }
                     }
                 },
                 alive);
    dst.SetImage(out);
}

// A half turn: destination row h − 1 − y is source row y, its pixels reversed.
void halfTurn(const TBitmap& src, TBitmap& dst, const std::function<void(int)>& alive = {})
{
    const int w = src.Width(), h = src.Height();
    QImage out = NewImage24(w, h);
    uint8_t* const dbits = out.bits();
    const ptrdiff_t dstride = out.bytesPerLine();
    const auto rows = RowsOf(src);
    ParallelRows(
        h, int64_t(w) * h,
        [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                uint8_t* d = dbits + dstride * (h - 1 - y);
                std::memcpy(d, rows[y], size_t(w) * 3);
                ReversePixels(d, w);
            }
        },
        alive);
    dst.SetImage(out);
}

inline bool getBit(const uint8_t* row, int x) { return row[x >> 3] & (0x80 >> (x & 7)); }
inline void setBit(uint8_t* row, int x) { row[x >> 3] |= uint8_t(0x80 >> (x & 7)); }

}  // namespace

void ResizeCanvas(TBitmap& bitmap, int width, int height, TColor background)
{
    if (bitmap.Empty() || width <= 0 || height <= 0)
        return;
    bitmap.Canvas()->Brush.Color = background;
    bitmap.SetSize(width, height);
}

bool ResampleTargetSize(const TBitmap& bitmap, int& width, int& height)
{
    if (bitmap.Empty() || (width < 0 && height < 0))
        return false;
    const int ow = bitmap.Width(), oh = bitmap.Height();
    // A side computed past the int range would wrap round to some unrelated size.
    if (width < 0) {
        const int64_t w = int64_t(ow) * height / oh;
        if (w > INT_MAX)
            return false;
        width = int(w);
    } else if (height < 0) {
        const int64_t h = int64_t(width) * oh / ow;
        if (h > INT_MAX)
            return false;
        height = int(h);
    }
    return width > 0 && height > 0;
}

void Resample(TBitmap& bitmap, int width, int height, TResampleFilter filter, TObject* sender,
              const TProgressEvent& progress)
{
    if (!ResampleTargetSize(bitmap, width, height))
        return;
    if (filter > rfNone && filter <= rfMitchell && bitmap.PixelFormat() != pf1bit) {
        // Every pixel is written: no cleared bitmap first.
        bitmap.Assign(ResampledBitmap(bitmap, width, height, filter, sender, progress));
        return;
    }
    TBitmap out(width, height, bitmap.PixelFormat() == pf1bit ? pf1bit : pf24bit);
    HalftoneStretch(bitmap, out);
    bitmap.Assign(out);
}

void RotateCounterClockwise90(const TBitmap& source, TBitmap& destination)
{
    if (!source.Empty())
        quarterTurn<false>(source, destination);
}

void RotateClockwise90(const TBitmap& source, TBitmap& destination)
{
    if (!source.Empty())
        quarterTurn<true>(source, destination);
}

void ShearRotatedSize(int w, int h, int angle, int& width, int& height)
{
    const TShearSizes z = shearSizes(w, h, angle);
    width = z.W3;
    height = z.H2;
}

bool RotatedSize(const TBitmap& bitmap, int angle, int64_t& width, int64_t& height)
{
    if (bitmap.Empty())
        return false;
    const double w = bitmap.Width(), h = bitmap.Height();
    if (bitmap.PixelFormat() == pf1bit) {
        const double b = -angle / 57.29577951308232;
        const double c = Trunc(std::cos(b) * 10000) / 10000.0;
        const double n = Trunc(std::sin(b) * 10000) / 10000.0;
        width = int64_t(std::fabs(w * c) + std::fabs(h * n));
        height = int64_t(std::fabs(w * n) + std::fabs(h * c));
        return true;
    }
    if (bitmap.PixelFormat() != pf24bit)
        return false;
    // The quarter turns first, as Rotate makes them; then the three shears.
    angle %= 360;
    int turns = 0;
    for (; angle > 45; angle -= 90)
        ++turns;
    for (; angle < -45; angle += 90)
        ++turns;
    const double ww = turns % 2 ? h : w, hh = turns % 2 ? w : h;
    if (angle == 0) {
        width = int64_t(ww);
        height = int64_t(hh);
        return true;
    }
    // The shear sizes in doubles, rounded as shearSizes rounds them.
    const double theta = angle * M_PI / 180.0;
    const double t = std::fabs(std::sin(theta / 2) / std::cos(theta / 2)), s = std::fabs(std::sin(theta));
    const double W1 = std::nearbyint(hh * t + ww + 1);
    const double D = std::nearbyint((W1 - ww) * s);
    const double H2p = std::nearbyint(W1 * s + hh + 1);
    const double E = std::nearbyint(t * (H2p - hh - D));
    const double H2 = H2p - 2 * D;
    const double W3 = std::nearbyint(t * H2 + W1 + 1 - 2 * E);
    width = int64_t(std::max(W3, 1.0));
    height = int64_t(std::max(H2, 1.0));
    return true;
}

void Rotate(TBitmap& bitmap, int angle, bool antialias, TColor background, bool monoBackgroundWhite, TObject* sender,
            const TProgressEvent& progress)
{
    if (bitmap.Empty())
        return;
    if (bitmap.PixelFormat() == pf1bit) {
        RotateMonochrome(bitmap, angle, monoBackgroundWhite, sender, progress);
        return;
    }
    if (bitmap.PixelFormat() != pf24bit)
        return;
    angle %= 360;
    // Quarter turns report no progress of their own; the bar stands at 0 meanwhile, and
    // the window's events go on.
    const auto alive = [&](int) {
        if (progress)
            progress(sender, 0);
    };
    // The quarter turns are exact, so the steps add up to one turn made in one go; the
    // image itself changes only at the end, and a shear that fails finds it untouched.
    int quarters = 0;
    for (; angle > 45; angle -= 90)
        ++quarters;
    for (; angle < -45; angle += 90)
        --quarters;
    TBitmap work;
    switch ((quarters + 4) % 4) {
    case 0: work = bitmap; break;
    case 1: quarterTurn<false>(bitmap, work, alive); break;
    case 2: halfTurn(bitmap, work, alive); break;
    default: quarterTurn<true>(bitmap, work, alive); break;
    }
    if (angle == 0) {
        bitmap.Assign(work);
        return;
    }
    const TColor c = ColorToRGB(background);
    shearRotate(work, bitmap, angle, antialias,
                TTriple{uint8_t(GetBValue(c)), uint8_t(GetGValue(c)), uint8_t(GetRValue(c))}, sender, progress);
}

void RotateMonochrome(TBitmap& bitmap, int angle, bool backgroundWhite, TObject* sender, const TProgressEvent& progress)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != pf1bit)
        return;
    const int w = bitmap.Width(), h = bitmap.Height();
    const double b = -angle / 57.29577951308232;
    const double c = Trunc(std::cos(b) * 10000) / 10000.0;
    const double n = Trunc(std::sin(b) * 10000) / 10000.0;
    const int W = Trunc(std::fabs(w * c) + std::fabs(h * n));
    const int H = Trunc(std::fabs(w * n) + std::fabs(h * c));
    if (W <= 0 || H <= 0)
        return;
    TBitmap out(W, H, pf1bit);
    const auto rows = RowsOf(std::as_const(bitmap));
    const auto outRows = RowsOf(out);
    const double cx = w / 2.0 - 0.5, cy = h / 2.0 - 0.5;
    ParallelRows(
        H, int64_t(W) * H,
        [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                uint8_t* d = outRows[y];
                std::memset(d, 0, size_t(out.BytesPerLine()));
                const double dy = y - (H / 2.0 - 0.5);
                for (int x = 0; x < W; ++x) {
                    const double dx = x - (W / 2.0 - 0.5);
                    const double fx = cx + c * dx + n * dy, fy = cy - n * dx + c * dy;
                    bool white = backgroundWhite;
                    // Trunc toward zero: −0.7 lands on column 0 as in the formula.
                    if (fx > -1.0 && fy > -1.0 && fx < w && fy < h) {
                        const int sx = Trunc(fx), sy = Trunc(fy);
                        if (sx >= 0 && sy >= 0 && sx < w && sy < h)
                            white = getBit(rows[sy], sx);
                    }
                    if (white)
                        setBit(d, x);
                }
            }
        },
        [&](int done) {
            if (progress)
                progress(sender, Trunc((done - 1) * 100.0 / H));
        });
    bitmap.Assign(out);
}

void Flip(TBitmap& bitmap, int direction)
{
    if (bitmap.Empty() || (bitmap.PixelFormat() != pf24bit && bitmap.PixelFormat() != pf1bit))
        return;
    if (direction != 0 && direction != 1)
        return;
    // In place: every row, or every pair of rows, is its own work.
    const int w = bitmap.Width(), h = bitmap.Height();
    const bool mono = bitmap.PixelFormat() == pf1bit;
    const auto rows = RowsOf(bitmap);
    const size_t rowBytes = size_t(bitmap.BytesPerLine());
    if (direction == 1) {
        ParallelRows(h / 2, int64_t(w) * h, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                std::swap_ranges(rows[y], rows[y] + rowBytes, rows[h - 1 - y]);
        });
    } else {
        ParallelRows(h, int64_t(w) * h, [&](int y0, int y1) {
            std::vector<uint8_t> reversed(mono ? rowBytes : 0);
            for (int y = y0; y < y1; ++y) {
                if (!mono) {
                    ReversePixels(rows[y], w);
                    continue;
                }
                // Bits past the last pixel end up clear.
                std::fill(reversed.begin(), reversed.end(), 0);
                for (int x = 0; x < w; ++x)
                    if (getBit(rows[y], w - 1 - x))
                        setBit(reversed.data(), x);
                std::copy(reversed.begin(), reversed.end(), rows[y]);
            }
        });
    }
    bitmap.Changed();
}
