#pragma once
#include <cmath>
#include <cstdint>

// Halves go to the even neighbour, as every formula of the system expects.
inline int Round(double v) { return static_cast<int>(std::nearbyint(v)); }
inline int64_t Round64(double v) { return static_cast<int64_t>(std::nearbyint(v)); }
inline int Trunc(double v) { return static_cast<int>(std::trunc(v)); }
inline int64_t Trunc64(double v) { return static_cast<int64_t>(std::trunc(v)); }

inline uint8_t ClampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }
inline int Max(int a, int b) { return a > b ? a : b; }
inline int Min(int a, int b) { return a < b ? a : b; }
