// Shared by the quantiser's front (quantizer.cpp) and its two methods: the box split
// (quantizer_box_split.cpp) and the self-organising network (quantizer_network.cpp).
#pragma once

#include "imaging/proc/quantizer.h"
#include "platform/core/rounding.h"

#include <array>
#include <cstdint>
#include <vector>

inline void ReportRows(TObject* sender, const TProgressEvent& progress, int done, int total)
{
    if (progress)
        progress(sender, Trunc(done * 100.0 / (total + 0.5)));
}

inline uint32_t PixelColor(const uint8_t* p) { return QuantColor(p[2], p[1], p[0]); }

// Box split over 5-bit channels (N <= 256).
struct TQuantBox {
    double score = 0;
    double mean[3] = {0, 0, 0};
    int64_t count = 0;
    int32_t hist[3][32] = {};
    int low[3] = {0, 0, 0};   // inclusive
    int high[3] = {0, 0, 0};  // exclusive
};

struct TBoxSplitQuantizer {
    std::vector<int32_t> histogram = std::vector<int32_t>(32768, 0);
    std::vector<TQuantBox> boxes = std::vector<TQuantBox>(256);
    std::vector<uint8_t> map = std::vector<uint8_t>(32768, 0);
    int64_t total = 0;
    int wanted = 0;
    int made = 0;

    static int cell(int r, int g, int b) { return (r << 10) | (g << 5) | b; }
    void BoxScore(TQuantBox& box) const;
    static void Shrink(TQuantBox& box);
    bool CutBox(const TQuantBox& box, int a, TQuantBox& lower, TQuantBox& upper) const;
    bool SplitBox(int k, int slot);
    void Build(const TBitmap& bmp, int n);
    TPaletteEntry Entry(int k) const;
    int Index(uint32_t c) const;
};

// Self-organising network (N > 256), integer arithmetic with the published shifts.
struct TNeuralQuantizer {
    int netSize = 0;
    int maxNetPos = 0;
    int initRad = 0;
    int initRadius = 0;
    int alphaDec = 0;
    const TBitmap* bitmap = nullptr;
    int64_t lengthCount = 0;
    int sampleFac = 1;
    std::vector<std::array<int, 4>> network;  // b, g, r, index before sorting
    int netIndex[256] = {};
    std::vector<int> bias, freq, radPower;
    // While learning the neurons' channels lie in rows of their own (blue, green, red),
    // so that one sample's pass over thousands of neurons runs on vector units;
    // Unbias puts them back into network. Values stay within 0 … 4095, so every
    // product of the learning rules fits 32 bits.
    std::vector<int> chan[3];
    // One sample's least distances per block of kBlock neurons, for finding the first
    // least neuron without a second pass over all of them; the neurons whose frequency
    // is high enough to decay.
    static constexpr int kBlock = 64;
    std::vector<int> blockMin, blockBiasMin, decaying;
    std::vector<char> inDecay;

    void Init(const TBitmap& bmp, int n, int quality);
    int Contest(int b, int g, int r);
    void AlterSingle(int alpha, int i, int b, int g, int r);
    void AlterNeighbours(int rad, int i, int b, int g, int r);
    int firstLeast(int block, int b, int g, int r, bool biased) const;
    void noteFrequency(int i);
    void SetRadPower(int rad, int alpha);
    void Learn(const TIKQuantizer::TLearnProgress& learning);
    int learnSteps = 0;  // the steps Learn reported
    void Unbias();
    // Sort by green (selection sort, as published: ties decide which index a search returns).
    void BuildIndex();
    int Search(int b, int g, int r) const;
};
