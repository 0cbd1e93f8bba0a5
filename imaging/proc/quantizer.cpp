#include "imaging/proc/quantizer.h"
#include "imaging/proc/bitmap_routines.h"
#include "platform/core/color.h"
#include "platform/core/rounding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

inline void report(TObject* sender, const TProgressEvent& progress, int done, int total)
{
    if (progress)
        progress(sender, Trunc(done * 100.0 / (total + 0.5)));
}

inline uint32_t pixelColor(const uint8_t* p) { return QuantColor(p[2], p[1], p[0]); }

// Bayer matrix, indexed [x mod 8][y mod 8].
constexpr uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
};

// Eight 24-bit pixels per byte value, bit 7 first: FF FF FF for a set bit.
struct TMonoExpandTable {
    uint8_t entry[256][24];
    TMonoExpandTable()
    {
        for (int v = 0; v < 256; ++v)
            for (int bit = 0; bit < 8; ++bit)
                std::memset(&entry[v][bit * 3], (v & (0x80 >> bit)) ? 0xFF : 0x00, 3);
    }
};
const TMonoExpandTable MonoExpandTable;

} // namespace

// ---------------------------------------------------------------------------
// Exact palette: the colours of an image that holds no more than N of them.

struct TExactPalette {
    std::vector<uint32_t> keys;   // colour + 1; 0 marks an empty slot
    std::vector<int32_t> values;
    uint32_t mask = 0;
    std::vector<uint32_t> colors; // in order of first appearance

    explicit TExactPalette(int64_t capacity)
    {
        uint32_t size = 16;
        while (size < capacity * 2 + 2 && size < (1u << 26))
            size <<= 1;
        keys.assign(size, 0);
        values.assign(size, 0);
        mask = size - 1;
    }
    static uint32_t hash(uint32_t c) { return (c * 2654435761u) >> 7; }
    int Find(uint32_t c) const
    {
        for (uint32_t i = hash(c) & mask;; i = (i + 1) & mask) {
            if (keys[i] == c + 1)
                return values[i];
            if (keys[i] == 0)
                return -1;
        }
    }
    void Insert(uint32_t c, int index)
    {
        uint32_t i = hash(c) & mask;
        while (keys[i] != 0)
            i = (i + 1) & mask;
        keys[i] = c + 1;
        values[i] = index;
    }

    // False as soon as more than limit colours turn up.
    bool Collect(const TBitmap& bmp, int limit)
    {
        const int w = bmp.Width(), h = bmp.Height();
        uint32_t last = 0xFFFFFFFFu;
        for (int y = 0; y < h; ++y) {
            const uint8_t* p = bmp.ScanLine(y);
            for (int x = 0; x < w; ++x, p += 3) {
                const uint32_t c = pixelColor(p);
                if (c == last || Find(c) >= 0) {
                    last = c;
                    continue;
                }
                if (int(colors.size()) >= limit)
                    return false;
                Insert(c, int(colors.size()));
                colors.push_back(c);
                last = c;
            }
        }
        return true;
    }
};

// ---------------------------------------------------------------------------
// Box split over 5-bit channels.

namespace {
constexpr double kCutFailed = 17523.6;
enum { axRed, axGreen, axBlue };
} // namespace

struct TQuantBox {
    double score = 0;
    double mean[3] = {0, 0, 0};
    int64_t count = 0;
    int32_t hist[3][32] = {};
    int low[3] = {0, 0, 0};  // inclusive
    int high[3] = {0, 0, 0}; // exclusive
};

struct TBoxSplitQuantizer {
    std::vector<int32_t> histogram = std::vector<int32_t>(32768, 0);
    std::vector<TQuantBox> boxes = std::vector<TQuantBox>(256);
    std::vector<uint8_t> map = std::vector<uint8_t>(32768, 0);
    int64_t total = 0;
    int wanted = 0;
    int made = 0;

    static int cell(int r, int g, int b) { return (r << 10) | (g << 5) | b; }

    void BoxScore(TQuantBox& box) const
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

    static void Shrink(TQuantBox& box)
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

    bool CutBox(const TQuantBox& box, int a, TQuantBox& lower, TQuantBox& upper) const
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

    bool SplitBox(int k, int slot)
    {
        TQuantBox& box = boxes[size_t(k)];
        if (box.score == 0 || box.count == 0) {
            box.score = 0;
            return false;
        }
        TQuantBox halves[3][2];
        double value[3];
        for (int a = 0; a < 3; ++a)
            value[a] = CutBox(box, a, halves[a][0], halves[a][1]) ? halves[a][0].score + halves[a][1].score
                                                                  : kCutFailed;
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

    void Build(const TBitmap& bmp, int n)
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

    TPaletteEntry Entry(int k) const
    {
        const TQuantBox& b = boxes[size_t(k)];
        TPaletteEntry e;
        e.Blue = uint8_t(std::clamp(Round(b.mean[axBlue]), 0, 31) << 3);
        e.Green = uint8_t(std::clamp(Round(b.mean[axGreen]), 0, 31) << 3);
        e.Red = uint8_t(std::clamp(Round(b.mean[axRed]), 0, 31) << 3);
        return e;
    }

    int Index(uint32_t c) const
    {
        return map[size_t(cell(int(c >> 19) & 31, int(c >> 11) & 31, int(c >> 3) & 31))];
    }
};

// ---------------------------------------------------------------------------
// Self-organising network (N > 256), integer arithmetic with the published shifts.

namespace {
constexpr int kNetBiasShift = 4;
constexpr int kCycles = 100;
constexpr int kIntBiasShift = 16;
constexpr int kIntBias = 1 << kIntBiasShift;
constexpr int kGammaShift = 10;
constexpr int kBetaShift = 10;
constexpr int kBeta = kIntBias >> kBetaShift;
constexpr int kBetaGamma = kIntBias << (kGammaShift - kBetaShift);
constexpr int kRadiusBiasShift = 6;
constexpr int kRadiusDec = 30;
constexpr int kAlphaBiasShift = 10;
constexpr int kInitAlpha = 1 << kAlphaBiasShift;
constexpr int kRadBiasShift = 8;
constexpr int kRadBias = 1 << kRadBiasShift;
constexpr int kAlphaRadBiasShift = kAlphaBiasShift + kRadBiasShift;
constexpr int64_t kAlphaRadBias = int64_t(1) << kAlphaRadBiasShift;
constexpr int kPrimes[4] = {499, 491, 487, 503};
} // namespace

struct TNeuralQuantizer {
    int netSize = 0;
    int maxNetPos = 0;
    int initRad = 0;
    int initRadius = 0;
    int alphaDec = 0;
    const TBitmap* bitmap = nullptr;
    int64_t lengthCount = 0;
    int sampleFac = 1;
    std::vector<std::array<int, 4>> network; // b, g, r, index before sorting
    int netIndex[256] = {};
    std::vector<int> bias, freq, radPower;

    void Init(const TBitmap& bmp, int n, int quality)
    {
        netSize = n;
        maxNetPos = n - 1;
        initRad = n / 8;
        initRadius = initRad << kRadiusBiasShift;
        bitmap = &bmp;
        const int64_t pixels = int64_t(bmp.Width()) * bmp.Height();
        lengthCount = pixels * 3;
        if (quality == -1)
            sampleFac = pixels < 2000 ? 1 : std::clamp(Round((pixels - 2000) * 13.0 / 148000.0 + 2), 1, 30);
        else
            sampleFac = std::clamp(Trunc((100 - std::clamp(quality, 0, 100)) / 100.0 * 29) + 1, 1, 30);
        alphaDec = 30 + (sampleFac - 1) / 3;
        network.assign(size_t(n), {0, 0, 0, 0});
        bias.assign(size_t(n), 0);
        freq.assign(size_t(n), kIntBias / n);
        radPower.assign(size_t(std::max(initRad, 1)), 0);
        for (int i = 0; i < n; ++i) {
            const int v = int((int64_t(i) << (kNetBiasShift + 8)) / n);
            network[size_t(i)] = {v, v, v, 0};
        }
    }

    int Contest(int b, int g, int r)
    {
        int bestd = 0x7FFFFFFF, bestBiasd = bestd;
        int bestPos = -1, bestBiasPos = -1;
        for (int i = 0; i < netSize; ++i) {
            const auto& n = network[size_t(i)];
            const int dist = std::abs(n[0] - b) + std::abs(n[1] - g) + std::abs(n[2] - r);
            if (dist < bestd) {
                bestd = dist;
                bestPos = i;
            }
            const int biasDist = dist - (bias[size_t(i)] >> (kIntBiasShift - kNetBiasShift));
            if (biasDist < bestBiasd) {
                bestBiasd = biasDist;
                bestBiasPos = i;
            }
            const int betaFreq = freq[size_t(i)] >> kBetaShift;
            freq[size_t(i)] -= betaFreq;
            bias[size_t(i)] += betaFreq << kGammaShift;
        }
        freq[size_t(bestPos)] += kBeta;
        bias[size_t(bestPos)] -= kBetaGamma;
        return bestBiasPos;
    }

    void AlterSingle(int alpha, int i, int b, int g, int r)
    {
        auto& n = network[size_t(i)];
        n[0] -= int(int64_t(alpha) * (n[0] - b) / kInitAlpha);
        n[1] -= int(int64_t(alpha) * (n[1] - g) / kInitAlpha);
        n[2] -= int(int64_t(alpha) * (n[2] - r) / kInitAlpha);
    }

    void AlterNeighbours(int rad, int i, int b, int g, int r)
    {
        const int lo = std::max(i - rad, -1);
        const int hi = std::min(i + rad, netSize);
        int j = i + 1, k = i - 1, q = 0;
        auto move = [&](std::array<int, 4>& p, int64_t a) {
            p[0] -= int(a * (p[0] - b) / kAlphaRadBias);
            p[1] -= int(a * (p[1] - g) / kAlphaRadBias);
            p[2] -= int(a * (p[2] - r) / kAlphaRadBias);
        };
        while (j < hi || k > lo) {
            ++q;
            const int64_t a = q < int(radPower.size()) ? radPower[size_t(q)] : 0;
            if (j < hi)
                move(network[size_t(j++)], a);
            if (k > lo)
                move(network[size_t(k--)], a);
        }
    }

    void SetRadPower(int rad, int alpha)
    {
        for (int i = 0; i < rad && i < int(radPower.size()); ++i)
            radPower[size_t(i)] = int(int64_t(alpha) * ((int64_t(rad) * rad - int64_t(i) * i) * kRadBias / (int64_t(rad) * rad)));
    }

    void Learn()
    {
        const int w = bitmap->Width(), h = bitmap->Height();
        const int64_t pixels = int64_t(w) * h;
        const int64_t samples = lengthCount / (3 * sampleFac);
        // Fewer than 100 samples would make the decay interval 0.
        const int64_t delta = std::max<int64_t>(samples / kCycles, 1);
        int alpha = kInitAlpha;
        int radius = initRadius;
        int rad = radius >> kRadiusBiasShift;
        if (rad <= 1)
            rad = 0;
        SetRadPower(rad, alpha);
        int64_t step = kPrimes[3];
        for (int p : kPrimes)
            if (lengthCount % p != 0) {
                step = p;
                break;
            }
        int64_t pos = 0;
        for (int64_t i = 0; i < samples;) {
            const int row = int((pos / w) % h), col = int(pos % w);
            const uint8_t* px = bitmap->ScanLine(row) + 3 * col;
            const int b = px[0] << kNetBiasShift, g = px[1] << kNetBiasShift, r = px[2] << kNetBiasShift;
            const int j = Contest(b, g, r);
            AlterSingle(alpha, j, b, g, r);
            if (rad)
                AlterNeighbours(rad, j, b, g, r);
            pos += step;
            if (pos >= pixels)
                pos %= pixels;
            ++i;
            if (i % delta == 0) {
                alpha -= alpha / alphaDec;
                radius -= radius / kRadiusDec;
                rad = radius >> kRadiusBiasShift;
                if (rad <= 1)
                    rad = 0;
                SetRadPower(rad, alpha);
            }
        }
    }

    void Unbias()
    {
        for (int i = 0; i < netSize; ++i) {
            auto& n = network[size_t(i)];
            for (int c = 0; c < 3; ++c)
                n[size_t(c)] = std::clamp(n[size_t(c)] / (1 << kNetBiasShift), 0, 255);
            n[3] = i;
        }
    }

    // Sort by green (selection sort, as published: ties decide which index a search returns).
    void BuildIndex()
    {
        int previousCol = 0, startPos = 0;
        for (int i = 0; i < netSize; ++i) {
            int smallPos = i, smallVal = network[size_t(i)][1];
            for (int j = i + 1; j < netSize; ++j)
                if (network[size_t(j)][1] < smallVal) {
                    smallPos = j;
                    smallVal = network[size_t(j)][1];
                }
            if (i != smallPos)
                std::swap(network[size_t(i)], network[size_t(smallPos)]);
            if (smallVal != previousCol) {
                netIndex[previousCol] = (startPos + i) >> 1;
                for (int j = previousCol + 1; j < smallVal; ++j)
                    netIndex[j] = i;
                previousCol = smallVal;
                startPos = i;
            }
        }
        netIndex[previousCol] = (startPos + maxNetPos) >> 1;
        for (int j = previousCol + 1; j < 256; ++j)
            netIndex[j] = maxNetPos;
    }

    int Search(int b, int g, int r) const
    {
        int bestd = 1000, best = -1;
        int i = netIndex[g & 255], j = i - 1;
        while (i < netSize || j >= 0) {
            if (i < netSize) {
                const auto& p = network[size_t(i)];
                int dist = p[1] - g;
                if (dist >= bestd)
                    i = netSize;
                else {
                    ++i;
                    dist = std::abs(dist) + std::abs(p[0] - b);
                    if (dist < bestd) {
                        dist += std::abs(p[2] - r);
                        if (dist < bestd) {
                            bestd = dist;
                            best = p[3];
                        }
                    }
                }
            }
            if (j >= 0) {
                const auto& p = network[size_t(j)];
                int dist = g - p[1];
                if (dist >= bestd)
                    j = -1;
                else {
                    --j;
                    dist = std::abs(dist) + std::abs(p[0] - b);
                    if (dist < bestd) {
                        dist += std::abs(p[2] - r);
                        if (dist < bestd) {
                            bestd = dist;
                            best = p[3];
                        }
                    }
                }
            }
        }
        return best < 0 ? 0 : best;
    }
};

// ---------------------------------------------------------------------------

TIKQuantizer::TIKQuantizer(const TBitmap& bitmap, TPaletteEntry* palette, int colorCount, int quality, int method)
{
    method_ = method == 0 || method == 1 ? method : colorCount <= 256 ? 1 : 0;
    if (palette && colorCount > 0)
        std::fill(palette, palette + colorCount, TPaletteEntry{});
    if (colorCount < 1 || bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return;

    // Few enough colours: keep them exactly.
    const int64_t pixels = int64_t(bitmap.Width()) * bitmap.Height();
    auto exact = std::make_unique<TExactPalette>(std::min<int64_t>(colorCount, pixels));
    if (exact->Collect(bitmap, colorCount)) {
        method_ = 2;
        produced_ = int(exact->colors.size());
        if (palette)
            for (int i = 0; i < produced_; ++i) {
                const uint32_t c = exact->colors[size_t(i)];
                palette[i] = TPaletteEntry{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)};
            }
        exact_ = std::move(exact);
        return;
    }
    exact.reset();

    if (method_ == 1) {
        box_ = std::make_unique<TBoxSplitQuantizer>();
        box_->Build(bitmap, colorCount);
        produced_ = std::min(box_->made, colorCount);
        if (palette)
            for (int i = 0; i < produced_; ++i)
                palette[i] = box_->Entry(i);
    } else {
        neural_ = std::make_unique<TNeuralQuantizer>();
        neural_->Init(bitmap, colorCount, quality);
        neural_->Learn();
        neural_->Unbias();
        produced_ = colorCount;
        if (palette)
            for (int i = 0; i < colorCount; ++i) {
                const auto& n = neural_->network[size_t(i)];
                palette[i] = TPaletteEntry{uint8_t(n[0]), uint8_t(n[1]), uint8_t(n[2])};
            }
        neural_->BuildIndex();
        neural_->bitmap = nullptr;
    }
}

TIKQuantizer::~TIKQuantizer() = default;

int TIKQuantizer::RGBIndex(uint32_t color) const
{
    if (exact_) {
        const int i = exact_->Find(color & 0xFFFFFFu);
        if (i >= 0)
            return i;
        // A colour the image did not hold: nearest of the exact colours.
        int best = 0, bestd = 1000;
        for (size_t k = 0; k < exact_->colors.size(); ++k) {
            const uint32_t c = exact_->colors[k];
            const int d = std::abs(int(c >> 16 & 255) - int(color >> 16 & 255)) +
                          std::abs(int(c >> 8 & 255) - int(color >> 8 & 255)) + std::abs(int(c & 255) - int(color & 255));
            if (d < bestd) {
                bestd = d;
                best = int(k);
            }
        }
        return best;
    }
    if (box_)
        return box_->Index(color);
    if (neural_)
        return neural_->Search(int(color & 255), int(color >> 8 & 255), int(color >> 16 & 255));
    return 0;
}

// ---------------------------------------------------------------------------

namespace {

void reduceWithQuantizer(TBitmap& bitmap, int n, TPaletteEntry* paletteOut, TObject* sender,
                         const TProgressEvent& progress)
{
    // No image holds more colours than pixels: a larger count changes nothing but
    // the size of the palette buffer.
    const int w = bitmap.Width(), h = bitmap.Height();
    const int wanted = int(std::min<int64_t>(n, int64_t(w) * h));
    std::vector<TPaletteEntry> palette(static_cast<size_t>(wanted));
    TIKQuantizer q(bitmap, palette.data(), wanted, -1);
    auto put = [](uint8_t* p, const TPaletteEntry& e) {
        p[0] = e.Blue;
        p[1] = e.Green;
        p[2] = e.Red;
    };
    if (q.Method() == 1) {
        // One table access per pixel: the index map folded into the palette.
        std::vector<TPaletteEntry> lut(32768);
        for (uint32_t c = 0; c < 32768; ++c)
            lut[c] = palette[size_t(q.RGBIndex(((c >> 10) << 19) | (((c >> 5) & 31) << 11) | ((c & 31) << 3)))];
        for (int y = 0; y < h; ++y) {
            uint8_t* p = bitmap.ScanLine(y);
            for (int x = 0; x < w; ++x, p += 3)
                put(p, lut[size_t(((p[2] >> 3) << 10) | ((p[1] >> 3) << 5) | (p[0] >> 3))]);
            report(sender, progress, y + 1, h);
        }
    } else {
        // Neighbouring pixels often repeat: a small direct-mapped cache of answers.
        std::vector<uint32_t> cacheKey(4096, 0xFFFFFFFFu);
        std::vector<int> cacheVal(4096, 0);
        for (int y = 0; y < h; ++y) {
            uint8_t* p = bitmap.ScanLine(y);
            for (int x = 0; x < w; ++x, p += 3) {
                const uint32_t c = pixelColor(p);
                const uint32_t slot = ((c * 2654435761u) >> 20) & 4095;
                if (cacheKey[slot] != c) {
                    cacheKey[slot] = c;
                    cacheVal[slot] = q.RGBIndex(c);
                }
                put(p, palette[size_t(cacheVal[slot])]);
            }
            report(sender, progress, y + 1, h);
        }
    }
    if (paletteOut) {
        std::copy(palette.begin(), palette.end(), paletteOut);
        std::fill(paletteOut + wanted, paletteOut + n, TPaletteEntry{});
    }
    bitmap.Changed();
}

} // namespace

void ReduceColorsToPalette(TBitmap& bitmap, int colorCount, TPaletteEntry* palette, TObject* sender,
                           const TProgressEvent& progress)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return;
    if (colorCount <= 2) {
        DitherToMonochrome(bitmap, sender, progress);
        if (palette && colorCount >= 1)
            palette[0] = TPaletteEntry{0, 0, 0};
        if (palette && colorCount >= 2)
            palette[1] = TPaletteEntry{255, 255, 255};
        return;
    }
    reduceWithQuantizer(bitmap, colorCount, palette, sender, progress);
}

void ReduceColors(TBitmap& bitmap, int colorCount, TObject* sender, const TProgressEvent& progress)
{
    ReduceColorsToPalette(bitmap, colorCount, nullptr, sender, progress);
}

void DitherToMonochrome(TBitmap& bitmap, TObject* sender, const TProgressEvent& progress)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return;
    const int w = bitmap.Width(), h = bitmap.Height();
    TBitmap mono(w, h, pf1bit);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = bitmap.ScanLine(y);
        uint8_t* d = mono.ScanLine(y);
        std::memset(d, 0, size_t(mono.BytesPerLine()));
        for (int x = 0; x < w; ++x, s += 3) {
            const int g = GreyValue(s[2], s[1], s[0]);
            // Grey 255 is always white, so a blank page stays blank.
            if ((g >> 2) > kBayer[x & 7][y & 7] || g == 255)
                d[x >> 3] |= uint8_t(0x80 >> (x & 7));
        }
        report(sender, progress, y + 1, h);
    }
    bitmap.Assign(mono);
}

void ConvertToBWThreshold(TBitmap& bitmap, int threshold, TObject* sender, const TProgressEvent& progress)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return;
    if (threshold == -1) {
        const TRGBTriple m = MeanColor(&bitmap);
        threshold = GreyValue(m.rgbtRed, m.rgbtGreen, m.rgbtBlue);
    }
    const int w = bitmap.Width(), h = bitmap.Height();
    TBitmap mono(w, h, pf1bit);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = bitmap.ScanLine(y);
        uint8_t* d = mono.ScanLine(y);
        std::memset(d, 0, size_t(mono.BytesPerLine()));
        for (int x = 0; x < w; ++x, s += 3)
            if (GreyValue(s[2], s[1], s[0]) >= threshold)
                d[x >> 3] |= uint8_t(0x80 >> (x & 7));
        report(sender, progress, y + 1, h);
    }
    bitmap.Assign(mono);
}

void MonochromeTo24Bit(const TBitmap& source, TBitmap& destination, TObject* sender, const TProgressEvent& progress)
{
    if (source.PixelFormat() != pf1bit)
        return;
    const int w = source.Width(), h = source.Height();
    TBitmap out(std::max(w, 0), std::max(h, 0), pf24bit);
    const int whole = w / 8, rest = w % 8;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = source.ScanLine(y);
        uint8_t* d = out.ScanLine(y);
        for (int i = 0; i < whole; ++i, d += 24)
            std::memcpy(d, MonoExpandTable.entry[s[i]], 24);
        if (rest)
            std::memcpy(d, MonoExpandTable.entry[s[whole]], size_t(rest * 3));
        report(sender, progress, y + 1, h);
    }
    destination.Assign(out);
}

void ConvertTo24Bit(TBitmap& bitmap, TObject* sender, const TProgressEvent& progress)
{
    if (bitmap.PixelFormat() != pf1bit)
        return;
    const TBitmap copy(bitmap);
    MonochromeTo24Bit(copy, bitmap, sender, progress);
}

std::unique_ptr<TBitmap> ReduceToTwoColors(const TBitmap& bitmap, TPaletteEntry& first, TPaletteEntry& second)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != pf24bit)
        return nullptr;
    const int w = bitmap.Width(), h = bitmap.Height();
    uint32_t colors[2] = {0, 0};
    int seen = 0;
    auto mono = std::make_unique<TBitmap>(w, h, pf1bit);
    for (int y = 0; y < h && seen <= 2; ++y) {
        const uint8_t* s = bitmap.ScanLine(y);
        uint8_t* d = mono->ScanLine(y);
        std::memset(d, 0, size_t(mono->BytesPerLine()));
        for (int x = 0; x < w; ++x, s += 3) {
            const uint32_t c = pixelColor(s);
            if (seen == 0)
                colors[seen++] = c;
            else if (c != colors[0]) {
                if (seen == 1)
                    colors[seen++] = c;
                else if (c != colors[1])
                    seen = 3;
                d[x >> 3] |= uint8_t(0x80 >> (x & 7));
            }
        }
    }
    if (seen != 2)
        return nullptr;
    auto entry = [](uint32_t c) { return TPaletteEntry{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)}; };
    auto grey = [](uint32_t c) { return Round(((c >> 16 & 255) * 30 + (c >> 8 & 255) * 59 + (c & 255) * 11) / 100.0); };
    first = entry(colors[0]);
    second = entry(colors[1]);
    if (grey(colors[1]) < grey(colors[0])) {
        InvertBits(mono.get());
        std::swap(first, second);
    }
    return mono;
}

int NearestPaletteIndex(const TPaletteEntry* palette, int count, const TPaletteEntry& color)
{
    int best = 0, bestd = 1000;
    for (int i = 0; palette && i < count; ++i) {
        const int d = std::abs(palette[i].Blue - color.Blue) + std::abs(palette[i].Green - color.Green) +
                      std::abs(palette[i].Red - color.Red);
        if (d < bestd) {
            bestd = d;
            best = i;
        }
    }
    return best;
}

void SwapPaletteRedBlue(TPaletteEntry* palette, int count)
{
    for (int i = 0; palette && i < count; ++i)
        std::swap(palette[i].Blue, palette[i].Red);
}
