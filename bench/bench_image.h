#pragma once
// The photograph-like test image the benchmarks share: gradients, a sine, a checker
// and a little noise, so that no operation meets a trivially uniform input.
#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <cmath>
#include <random>

inline TBitmap MakeBenchImage(int w, int h, unsigned seed)
{
    TBitmap bmp(w, h, pf24bit);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = bmp.ScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const double u = double(x) / w, v = double(y) / h;
            const int n = int(rng() % 17) - 8;
            p[0] = uint8_t(std::clamp(int(128 + 100 * std::sin(u * 31 + v * 7)) + n, 0, 255));
            p[1] = uint8_t(std::clamp(int(255 * v) + n, 0, 255));
            p[2] = uint8_t(std::clamp(int(255 * u * (1 - v)) + ((x / 16 + y / 16) % 2) * 40 + n, 0, 255));
        }
    }
    return bmp;
}
