// Narrow colour channels (bit fields of 16- and 32-bit pixels, 5-bit cells, 4-bit grey)
// brought to eight bits.
#pragma once

#include <bit>
#include <cstdint>

// An n-bit channel value widened to 0..255 by repeating its bits below themselves
// (5 bits: v shl 3 or v shr 2), so that 0 stays 0 and the largest value becomes 255.
// Wider channels keep their top eight bits; a channel of no bits reads 0.
constexpr uint8_t WidenChannel(uint32_t value, int bits)
{
    if (bits <= 0)
        return 0;
    if (bits >= 8)
        return uint8_t(value >> (bits - 8));
    uint32_t v = (value & ((1u << bits) - 1)) << (8 - bits);
    // Each step doubles the run of copies; it stays in phase as `have` is a multiple of bits.
    for (int have = bits; have < 8; have *= 2)
        v |= v >> have;
    return uint8_t(v);
}

// One channel of a bit-field pixel: the span of its mask (lowest to highest set bit)
// read as one number and widened to eight bits.
class TMaskChannel {
public:
    constexpr explicit TMaskChannel(uint32_t mask = 0)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), bits_(mask ? std::bit_width(mask >> shift_) : 0)
    {}
    constexpr uint8_t operator()(uint32_t pixel) const { return WidenChannel((pixel & mask_) >> shift_, bits_); }
    constexpr int Bits() const { return bits_; }

private:
    uint32_t mask_;
    int shift_;
    int bits_;
};
