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

// The least distance and least biased distance over a block of neurons. A loop of its
// own, with no aliasing and no stores, so that it runs on vector units (the wider ones
// too where the processor has them).
__attribute__((target_clones("avx2", "default"))) void leastOfBlock(const int* __restrict nb, const int* __restrict ng,
                                                                    const int* __restrict nr,
                                                                    const int* __restrict bias, int count, int b, int g,
                                                                    int r, int& least, int& leastBiased)
{
    int lo = 0x7FFFFFFF, loBiased = 0x7FFFFFFF;
    for (int i = 0; i < count; ++i) {
        const int d = std::abs(nb[i] - b) + std::abs(ng[i] - g) + std::abs(nr[i] - r);
        const int bd = d - (bias[i] >> (kIntBiasShift - kNetBiasShift));
        lo = lo < d ? lo : d;
        loBiased = loBiased < bd ? loBiased : bd;
    }
    least = lo;
    leastBiased = loBiased;
}

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
    for (auto& c : chan)
        c.assign(size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        const int v = int((int64_t(i) << (kNetBiasShift + 8)) / n);
        chan[0][size_t(i)] = chan[1][size_t(i)] = chan[2][size_t(i)] = v;
    }
    const size_t blocks = size_t((n + kBlock - 1) / kBlock);
    blockMin.assign(blocks, 0);
    blockBiasMin.assign(blocks, 0);
    decaying.clear();
    inDecay.assign(size_t(n), 0);
    for (int i = 0; i < n; ++i)
        noteFrequency(i);
}

void TNeuralQuantizer::noteFrequency(int i)
{
    // Below 2^10 a frequency loses nothing per step (freq >> 10 is 0), and neither
    // changes its bias: only the neurons above take part in the decay.
    if (freq[size_t(i)] >> kBetaShift && !inDecay[size_t(i)]) {
        inDecay[size_t(i)] = 1;
        decaying.push_back(i);
    }
}

// The first neuron of a block least in distance (biased or not), as one pass in index
// order finds it.
int TNeuralQuantizer::firstLeast(int block, int b, int g, int r, bool biased) const
{
    const int least = biased ? blockBiasMin[size_t(block)] : blockMin[size_t(block)];
    const int end = std::min((block + 1) * kBlock, netSize);
    for (int i = block * kBlock; i < end; ++i) {
        int d = std::abs(chan[0][size_t(i)] - b) + std::abs(chan[1][size_t(i)] - g) + std::abs(chan[2][size_t(i)] - r);
        if (biased)
            d -= bias[size_t(i)] >> (kIntBiasShift - kNetBiasShift);
        if (d == least)
            return i;
    }
    return block * kBlock;
}

// Finds the closest neuron (its frequency and bias are updated) and returns the one with
// the least biased distance; of equals the first, as one pass in index order finds them.
// Every frequency decays a little and its bias takes what it lost, after the distances.
int TNeuralQuantizer::Contest(int b, int g, int r)
{
    const int blocks = int(blockMin.size());
    for (int k = 0, start = 0; k < blocks; ++k, start += kBlock)
        leastOfBlock(chan[0].data() + start, chan[1].data() + start, chan[2].data() + start, bias.data() + start,
                     std::min(kBlock, netSize - start), b, g, r, blockMin[size_t(k)], blockBiasMin[size_t(k)]);
    const auto firstBlockOf = [](const std::vector<int>& least) {
        return int(std::min_element(least.begin(), least.end()) - least.begin());
    };
    const int bestPos = firstLeast(firstBlockOf(blockMin), b, g, r, false);
    const int bestBiasPos = firstLeast(firstBlockOf(blockBiasMin), b, g, r, true);
    for (size_t k = 0; k < decaying.size();) {
        const int i = decaying[k];
        const int betaFreq = freq[size_t(i)] >> kBetaShift;
        freq[size_t(i)] -= betaFreq;
        bias[size_t(i)] += betaFreq << kGammaShift;
        if (freq[size_t(i)] >> kBetaShift) {
            ++k;
        } else {
            inDecay[size_t(i)] = 0;
            decaying[k] = decaying.back();
            decaying.pop_back();
        }
    }
    freq[size_t(bestPos)] += kBeta;
    bias[size_t(bestPos)] -= kBetaGamma;
    noteFrequency(bestPos);
    return bestBiasPos;
}

void TNeuralQuantizer::AlterSingle(int alpha, int i, int b, int g, int r)
{
    const int target[3] = {b, g, r};
    for (int c = 0; c < 3; ++c) {
        int& n = chan[c][size_t(i)];
        n -= alpha * (n - target[c]) / kInitAlpha;
    }
}

void TNeuralQuantizer::AlterNeighbours(int rad, int i, int b, int g, int r)
{
    // The neighbour at distance q on either side moves by radPower[q]; both sides
    // stop at the ends of the network.
    const int reach = std::min(rad, int(radPower.size()));
    const int up = std::min(i + rad, netSize) - i - 1;  // neighbours above i
    const int down = i - std::max(i - rad, -1) - 1;     // and below
    const int upMoved = std::min(up, reach - 1), downMoved = std::min(down, reach - 1);
    const int* __restrict power = radPower.data();
    const int target[3] = {b, g, r};
    for (int c = 0; c < 3; ++c) {
        int* __restrict n = chan[c].data();
        const int t = target[c];
        for (int q = 1; q <= upMoved; ++q)
            n[i + q] -= power[q] * (n[i + q] - t) / int(kAlphaRadBias);
        for (int q = 1; q <= downMoved; ++q)
            n[i - q] -= power[q] * (n[i - q] - t) / int(kAlphaRadBias);
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
            n[size_t(c)] = std::clamp(chan[c][size_t(i)] / (1 << kNetBiasShift), 0, 255);
        n[3] = i;
    }
    for (auto& c : chan)
        std::vector<int>().swap(c);
}

// Sort by green as the published selection sort does (its order of equal greens decides
// which index a search returns): each place takes the first least green of the rest,
// swapped in. A tree over the positions finds that entry at once, where the plain
// selection would hold the window for a noticeable while at thousands of neurons.
void TNeuralQuantizer::BuildIndex()
{
    int leaves = 1;
    while (leaves < netSize)
        leaves <<= 1;
    // Each node holds the position of the least green below it, the lower one of equals;
    // -1 for an empty leaf.
    std::vector<int> tree(size_t(2 * leaves), -1);
    const auto better = [this](int a, int b) {
        if (a < 0 || b < 0)
            return a < 0 ? b : a;
        const int ga = network[size_t(a)][1], gb = network[size_t(b)][1];
        return gb < ga || (gb == ga && b < a) ? b : a;
    };
    const auto set = [&](int pos, int value) {
        size_t node = size_t(leaves + pos);
        tree[node] = value;
        for (node /= 2; node >= 1; node /= 2)
            tree[node] = better(tree[2 * node], tree[2 * node + 1]);
    };
    for (int i = 0; i < netSize; ++i)
        tree[size_t(leaves + i)] = i;
    for (int node = leaves - 1; node >= 1; --node)
        tree[size_t(node)] = better(tree[size_t(2 * node)], tree[size_t(2 * node + 1)]);

    int previousCol = 0, startPos = 0;
    for (int i = 0; i < netSize; ++i) {
        const int smallPos = tree[1];
        const int smallVal = network[size_t(smallPos)][1];
        if (i != smallPos)
            std::swap(network[size_t(i)], network[size_t(smallPos)]);
        // Place i is settled; what stood there now stands at smallPos.
        set(i, -1);
        if (i != smallPos)
            set(smallPos, smallPos);
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
