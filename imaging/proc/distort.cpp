// Bump map, lens and wave effects.
#include "imaging/proc/distort.h"

#include "imaging/proc/color_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

void BumpMap(TBitmap& bm, int lightX, int lightY, int lightWidth, int lightHeight, int sourcePercent, uint8_t blue,
             uint8_t green, uint8_t red, int x1, int y1, int x2, int y2, const TEffectProgress& progress)
{
    if (lightWidth == 0 || lightHeight == 0 || !ClipEffectArea(bm, x1, y1, x2, y2))
        return;
    static const std::vector<uint8_t> light = [] {
        std::vector<uint8_t> t(256 * 256);
        for (int i = 0; i < 256; ++i)
            for (int j = 0; j < 256; ++j) {
                const double a = (i - 128) / 128.0, b = (j - 128) / 128.0;
                const double l = std::max(0.0, 1 - std::sqrt(a * a + b * b));
                t[i * 256 + j] = uint8_t(std::min(255, Trunc(l * 256)));
            }
        return t;
    }();
    const int cols = x2 - x1 + 1, rows = y2 - y1 + 1;
    std::vector<uint8_t> gray(size_t(cols) * rows);
    const auto g = [&](int x, int y) { return int(gray[size_t(y - y1) * cols + (x - x1)]); };
    for (int y = y1; y <= y2; ++y) {
        const uint8_t* p = bm.ScanLine(y) + 3 * x1;
        for (int x = 0; x < cols; ++x, p += 3)
            gray[size_t(y - y1) * cols + x] = uint8_t(PixelGray(p));
    }
    const double source = sourcePercent / 100.0, share = (100 - sourcePercent) / 100.0;
    const double colour[3] = {blue / 255.0, green / 255.0, red / 255.0};
    ForAreaRows(bm, x1, y1, x2, y2, progress, [&](int y, uint8_t* p) {
        const int ly = 128 - Trunc((y - lightY) / double(lightHeight) * 128);
        for (int x = x1; x <= x2; ++x, p += 3) {
            const int nx = ClampByte(g(std::min(x + 1, x2), y) - g(std::max(x - 1, x1), y) + 128 -
                                     Trunc((x - lightX) / double(lightWidth) * 128));
            const int ny = ClampByte(g(x, std::min(y + 1, y2)) - g(x, std::max(y - 1, y1)) + ly);
            const double l = light[nx * 256 + ny] * share;
            for (int c = 0; c < 3; ++c)
                p[c] = ClampByte(Round(p[c] * source + l * colour[c]));
        }
    });
}

void LensRefraction(double py, double px, double hh, double hw, double n, double& ox, double& oy)
{
    const double m = std::min(hh, hw);
    const double z = std::sqrt((1 - px * px / (hw * hw) - py * py / (hh * hh)) * m * m);
    // The cosine (not its inverse) in the horizontal angle is how this lens has always bent.
    const double phi = std::numbers::pi / 2 - std::cos(px / std::sqrt(px * px + z * z));
    ox = px - Tan(phi - ArcCos(std::sin(phi) / n)) * z;
    const double psi = std::numbers::pi / 2 - ArcSin(py / std::sqrt(py * py + z * z));
    oy = py - Tan(psi - ArcCos(std::sin(psi) / n)) * z;
}

void ApplyLens(TBitmap& bm, int x, int y, int width, int height, double refraction, const TEffectProgress& progress)
{
    if (bm.PixelFormat() != pf24bit || bm.Empty())
        return;
    const int W = bm.Width(), H = bm.Height();
    const int left = std::clamp(x - width / 2, 0, W), top = std::clamp(y - height / 2, 0, H);
    const int right = std::clamp(x + width / 2, 0, W), bottom = std::clamp(y + height / 2, 0, H);
    const int bw = right - left, bh = bottom - top;
    if (bw <= 0 || bh <= 0)
        return;
    const double hw = bw / 2.0, hh = bh / 2.0, n = std::max(refraction, 1.0);
    std::vector<uint8_t> out(size_t(bw) * bh * 3);
    const auto src = RowsOf(std::as_const(bm));
    // Bands of columns, since progress counts columns; each band walks its rows in turn.
    const auto body = [&](int c0, int c1) {
        for (int r = 0; r < bh; ++r) {
            const double py = hh - r - 0.5;
            for (int c = c0; c < c1; ++c) {
                const double px = c - hw + 0.5;
                int sx = left + c, sy = top + r;
                if (px * px / (hw * hw) + py * py / (hh * hh) < 1) {
                    double ox, oy;
                    LensRefraction(py, px, hh, hw, n, ox, oy);
                    sx = std::clamp(left + std::clamp(Trunc(ox + hw), 0, W - 1), 0, W - 1);
                    sy = std::clamp(top + std::clamp(Trunc(-oy + hh), 0, H - 1), 0, H - 1);
                }
                std::copy_n(src[sy] + 3 * sx, 3, out.data() + (size_t(r) * bw + c) * 3);
            }
        }
    };
    const auto done = [&](int columns) { progress.Report(columns * 100.0 / (bw + 0.5)); };
    ParallelRows(bw, int64_t(bw) * bh, body,
                 progress.Assigned() ? std::function<void(int)>(done) : std::function<void(int)>());
    for (int r = 0; r < bh; ++r)
        std::copy_n(out.data() + size_t(r) * bw * 3, size_t(bw) * 3, bm.ScanLine(top + r) + 3 * left);
}

int BilinearSample(double u, double t, int p1, int p2, int p3, int p4)
{
    return Trunc((1 - t) * ((1 - u) * p1 + u * p2) + t * ((1 - u) * p3 + u * p4));
}

void ApplyWave(TBitmap& bm, int amplitude, int waveLength, int phase, bool reflective, const TEffectProgress& progress)
{
    if (amplitude == 0 || waveLength == 0 || bm.PixelFormat() != pf24bit || bm.Empty())
        return;
    const TBitmap copy(bm);
    const int w = bm.Width(), h = bm.Height();
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
    const double fx = w < h ? double(h) / w : 1.0, fy = w > h ? double(w) / h : 1.0;
    const double ph = phase * std::numbers::pi / 180;
    // Rows count from the bottom here: row y is image row h − 1 − y.
    static const uint8_t zero[3] = {0, 0, 0};
    const auto from = RowsOf(copy);
    const auto to = RowsOf(bm);
    const auto at = [&](int x, int y) -> const uint8_t* {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return zero;
        return from[h - 1 - y] + 3 * x;
    };
    const auto frac = [](double v) {
        const double f = v - std::trunc(v);
        return f < 0 ? f + 1 : f;
    };
    ParallelRows(
        h, int64_t(w) * h,
        [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                uint8_t* row = to[h - 1 - y];
                const double dy = (y - cy) * fy;
                for (int x = 0; x < w; ++x) {
                    const double dx = (x - cx) * fx;
                    const double s =
                        std::sin(std::sqrt(dx * dx + dy * dy) / (2.0 * waveLength) * 2 * std::numbers::pi + ph);
                    double sx, sy;
                    if (reflective) {
                        const double g = std::abs(s) * amplitude;
                        sx = cx + dx * g / fx;
                        sy = cy + dy * g / fy;
                    } else {
                        const double f = s * amplitude;
                        sx = (f + dx) / fx + cx;
                        sy = (f + dy) / fy + cy;
                    }
                    // w or h of 1 leaves a range of 0 … −1: the base is then −1 and reads zeros.
                    const int bx = std::min(std::max(Trunc(sx), 0), w - 2),
                              by = std::min(std::max(Trunc(sy), 0), h - 2);
                    const double u = frac(sx), t = frac(sy);
                    const uint8_t *p1 = at(bx, by), *p2 = at(bx + 1, by), *p3 = at(bx, by + 1),
                                  *p4 = at(bx + 1, by + 1);
                    for (int c = 0; c < 3; ++c)
                        row[3 * x + c] = ClampByte(BilinearSample(u, t, p1[c], p2[c], p3[c], p4[c]));
                }
            }
        },
        [&](int done) { progress.Report((done - 1) * 100.0 / h); });
}
