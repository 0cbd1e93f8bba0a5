// Little-endian fields in byte buffers. Every stored record is read and written field by
// field through these, never by copying a struct, so the layout never depends on the compiler.
#pragma once

#include <cstdint>

inline constexpr uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

inline constexpr uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline constexpr void putLe16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

inline constexpr void putLe32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// Big-endian counterparts, for formats that store either byte order.
inline constexpr uint16_t be16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

inline constexpr uint32_t be32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline constexpr void putBe16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

inline constexpr void putBe32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
