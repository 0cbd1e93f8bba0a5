// 1-bit pictures whose file carries two palette colours: black and white (either order)
// stay 1-bit; any other pair is shown in its own colours.
#pragma once

#include "imaging/io/io_params.h"

#include <cstdint>
#include <cstring>

enum class TMonoKind { Plain, Inverted, Colour };

inline TMonoKind MonoKindOf(TIORGB zero, TIORGB one)
{
    const TIORGB black{0, 0, 0}, white{255, 255, 255};
    if (zero == black && one == white)
        return TMonoKind::Plain;
    if (zero == white && one == black)
        return TMonoKind::Inverted;
    return TMonoKind::Colour;
}

// The first (width + 7) / 8 bytes of a 1-bit row, inverted when 0 means white.
inline void CopyMonoRow(uint8_t* dst, const uint8_t* src, int width, bool invert)
{
    const int n = (width + 7) / 8;
    if (!invert) {
        std::memcpy(dst, src, size_t(n));
        return;
    }
    for (int i = 0; i < n; ++i)
        dst[i] = uint8_t(~src[i]);
}
