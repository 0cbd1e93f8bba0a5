// Round and Trunc with halves to even, saturating on values out of range.
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

namespace rounding_detail {
// Converting an out-of-range double to an integer is undefined in C++; values from
// hostile files must not get that far, so the result saturates (NaN gives 0).
template <class I> inline I Saturate(double v)
{
    if (std::isnan(v))
        return 0;
    constexpr double lo = double(std::numeric_limits<I>::min());
    constexpr double hi = double(std::numeric_limits<I>::max());
    if (v <= lo)
        return std::numeric_limits<I>::min();
    if (v >= hi)
        return std::numeric_limits<I>::max();
    return static_cast<I>(v);
}
}  // namespace rounding_detail

// Halves go to the even neighbour, as every formula of the system expects.
inline int Round(double v) { return rounding_detail::Saturate<int>(std::nearbyint(v)); }
inline int64_t Round64(double v) { return rounding_detail::Saturate<int64_t>(std::nearbyint(v)); }
inline int Trunc(double v) { return rounding_detail::Saturate<int>(std::trunc(v)); }
inline int64_t Trunc64(double v) { return rounding_detail::Saturate<int64_t>(std::trunc(v)); }

inline uint8_t ClampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }
inline int Max(int a, int b) { return a > b ? a : b; }
inline int Min(int a, int b) { return a < b ? a : b; }
