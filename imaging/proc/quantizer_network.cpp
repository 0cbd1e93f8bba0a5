// Self-organising network for more than 256 colours.
#include "imaging/proc/quantizer_private.h"

#include <algorithm>
#include <cstdlib>

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
}  // namespace

void TNeuralQuantizer::Init(const TBitmap& bmp, int n, int quality)
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

int TNeuralQuantizer::Contest(int b, int g, int r)
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

void TNeuralQuantizer::AlterSingle(int alpha, int i, int b, int g, int r)
{
    auto& n = network[size_t(i)];
    n[0] -= int(int64_t(alpha) * (n[0] - b) / kInitAlpha);
    n[1] -= int(int64_t(alpha) * (n[1] - g) / kInitAlpha);
    n[2] -= int(int64_t(alpha) * (n[2] - r) / kInitAlpha);
}

void TNeuralQuantizer::AlterNeighbours(int rad, int i, int b, int g, int r)
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

void TNeuralQuantizer::SetRadPower(int rad, int alpha)
{
    for (int i = 0; i < rad && i < int(radPower.size()); ++i)
        radPower[size_t(i)] =
            int(int64_t(alpha) * ((int64_t(rad) * rad - int64_t(i) * i) * kRadBias / (int64_t(rad) * rad)));
}

void TNeuralQuantizer::Learn(const TIKQuantizer::TLearnProgress& learning)
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
    // Learning takes seconds on large images: the caller hears of it in small steps.
    constexpr int kSteps = 1000;
    const int steps = int(std::min<int64_t>(kSteps, std::max<int64_t>(samples, 1)));
    learnSteps = steps;
    int reported = -1;
    int64_t pos = 0;
    for (int64_t i = 0; i < samples;) {
        if (learning && int(i * steps / samples) != reported) {
            reported = int(i * steps / samples);
            learning(reported, steps);
        }
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

void TNeuralQuantizer::Unbias()
{
    for (int i = 0; i < netSize; ++i) {
        auto& n = network[size_t(i)];
        for (int c = 0; c < 3; ++c)
            n[size_t(c)] = std::clamp(n[size_t(c)] / (1 << kNetBiasShift), 0, 255);
        n[3] = i;
    }
}

// Sort by green (selection sort, as published: ties decide which index a search returns).
void TNeuralQuantizer::BuildIndex()
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

int TNeuralQuantizer::Search(int b, int g, int r) const
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
