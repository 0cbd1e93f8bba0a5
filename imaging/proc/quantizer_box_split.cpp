// Variance-driven box split over 5-bit channels, for up to 256 colours.
#include "imaging/proc/quantizer_private.h"
#include "platform/graphics/pixel_channels.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr double kCutFailed = 17523.6;
enum { axRed, axGreen, axBlue };
}  // namespace

void TBoxSplitQuantizer::BoxScore(TQuantBox& box) const
{
    if (box.count <= 0) {
        box.score = 0;
        return;
    }
    double score = 0;
    for (int a = 0; a < 3; ++a) {
        double sum = 0, sq = 0;
        for (int j = std::max(box.low[a], 0); j < std::min(box.high[a], 32); ++j) {
            sum += double(j) * box.hist[a][j];
            sq += double(j) * j * box.hist[a][j];
        }
        box.mean[a] = sum / double(box.count);
        score += sq - box.mean[a] * box.mean[a] * double(box.count);
    }
    box.score = score / double(total);
}

void TBoxSplitQuantizer::Shrink(TQuantBox& box)
{
    for (int a = 0; a < 3; ++a) {
        int first = -1, last = -1;
        for (int j = std::max(box.low[a], 0); j < std::min(box.high[a], 32); ++j)
            if (box.hist[a][j] != 0) {
                if (first < 0)
                    first = j;
                last = j;
            }
        if (first < 0) {
            box.low[a] = 32;
            box.high[a] = 1;
        } else {
            box.low[a] = first;
            box.high[a] = last + 1;
        }
    }
}

bool TBoxSplitQuantizer::CutBox(const TQuantBox& box, int a, TQuantBox& lower, TQuantBox& upper) const
{
    const int low = box.low[a], high = box.high[a];
    if (high - low <= 1)
        return false;
    const int64_t c = box.count;
    const double m = box.mean[a];
    const int start = std::max(Round((low + m) * 0.5), low);
    // The running sum reaches c before the exclusive bound; the clamp only keeps
    // the histogram read inside its 32 entries.
    const int end = std::min(Round((m + high) * 0.5), std::min(high, 32) - 1);
    int64_t sum = 0;
    for (int j = low; j < start && j < 32; ++j)
        sum += box.hist[a][j];
    double best = -1;
    int cut = start;
    int64_t lowerCount = c;
    double t = 0;
    for (int e = start; e <= end; ++e) {
        sum += box.hist[a][e];
        if (sum == c)
            break;
        t += double(box.hist[a][e]) * e / double(c);
        const double score = double(sum) / double(c - sum) * (m - t) * (m - t);
        if (score > best) {
            best = score;
            cut = e;
            lowerCount = sum;
        }
    }
    if (lowerCount == 0 || c - lowerCount == 0)
        return false;
    lower = box;
    upper = box;
    lower.count = lowerCount;
    upper.count = c - lowerCount;
    lower.high[a] = cut + 1;
    upper.low[a] = cut + 1;
    std::memset(lower.hist, 0, sizeof lower.hist);
    for (int r = lower.low[0]; r < lower.high[0]; ++r)
        for (int g = lower.low[1]; g < lower.high[1]; ++g) {
            const int32_t* row = &histogram[size_t(cell(r, g, 0))];
            for (int b = lower.low[2]; b < lower.high[2]; ++b) {
                const int32_t n = row[b];
                if (n) {
                    lower.hist[0][r] += n;
                    lower.hist[1][g] += n;
                    lower.hist[2][b] += n;
                }
            }
        }
    for (int ax = 0; ax < 3; ++ax)
        for (int j = 0; j < 32; ++j)
            upper.hist[ax][j] = box.hist[ax][j] - lower.hist[ax][j];
    Shrink(lower);
    Shrink(upper);
    BoxScore(lower);
    BoxScore(upper);
    return true;
}

bool TBoxSplitQuantizer::SplitBox(int k, int slot)
{
    TQuantBox& box = boxes[size_t(k)];
    if (box.score == 0 || box.count == 0) {
        box.score = 0;
        return false;
    }
    TQuantBox halves[3][2];
    double value[3];
    for (int a = 0; a < 3; ++a)
        value[a] = CutBox(box, a, halves[a][0], halves[a][1]) ? halves[a][0].score + halves[a][1].score : kCutFailed;
    int axis;
    if (value[axRed] < kCutFailed && value[axRed] <= value[axGreen] && value[axRed] <= value[axBlue])
        axis = axRed;
    else if (value[axGreen] < kCutFailed && value[axGreen] <= value[axRed] && value[axGreen] <= value[axBlue])
        axis = axGreen;
    else if (value[axBlue] < kCutFailed)
        axis = axBlue;
    else {
        box.score = 0;
        return false;
    }
    boxes[size_t(slot)] = halves[axis][1];
    box = halves[axis][0];
    return true;
}

void TBoxSplitQuantizer::Build(const TBitmap& bmp, int n)
{
    wanted = std::min(n, 256);
    const int w = bmp.Width(), h = bmp.Height();
    total = int64_t(w) * h;
    TQuantBox& root = boxes[0];
    for (int y = 0; y < h; ++y) {
        const uint8_t* p = bmp.ScanLine(y);
        for (int x = 0; x < w; ++x, p += 3)
            ++histogram[size_t(cell(p[2] >> 3, p[1] >> 3, p[0] >> 3))];
    }
    // The root's axis histograms are the projections of the 3-D one.
    for (int r = 0; r < 32; ++r)
        for (int g = 0; g < 32; ++g)
            for (int b = 0; b < 32; ++b) {
                const int32_t c = histogram[size_t(cell(r, g, b))];
                root.hist[0][r] += c;
                root.hist[1][g] += c;
                root.hist[2][b] += c;
            }
    for (int a = 0; a < 3; ++a) {
        root.low[a] = 0;
        root.high[a] = 32;
    }
    root.count = total;
    BoxScore(root);

    int i = 1;
    while (i < wanted) {
        int pick = -1;
        double best = 0;
        for (int k = 0; k < i; ++k)
            if (boxes[size_t(k)].score > best) {
                best = boxes[size_t(k)].score;
                pick = k;
            }
        if (pick < 0)
            break;
        if (SplitBox(pick, i))
            ++i;
    }
    made = i;

    for (int k = 0; k < made; ++k) {
        const TQuantBox& b = boxes[size_t(k)];
        for (int r = std::max(b.low[0], 0); r < std::min(b.high[0], 32); ++r)
            for (int g = std::max(b.low[1], 0); g < std::min(b.high[1], 32); ++g)
                for (int bl = std::max(b.low[2], 0); bl < std::min(b.high[2], 32); ++bl)
                    map[size_t(cell(r, g, bl))] = uint8_t(k);
    }
}

// The rounded mean of the box's 5-bit cells, widened by bit replication so that the
// cells span the whole 0..255 range (31 -> 255) rather than their low ends.
TPaletteEntry TBoxSplitQuantizer::Entry(int k) const
{
    const TQuantBox& b = boxes[size_t(k)];
    auto widen = [](double mean) { return WidenChannel(uint32_t(std::clamp(Round(mean), 0, 31)), 5); };
    TPaletteEntry e;
    e.Blue = widen(b.mean[axBlue]);
    e.Green = widen(b.mean[axGreen]);
    e.Red = widen(b.mean[axRed]);
    return e;
}

int TBoxSplitQuantizer::Index(uint32_t c) const
{
    return map[size_t(cell(int(c >> 19) & 31, int(c >> 11) & 31, int(c >> 3) & 31))];
}
