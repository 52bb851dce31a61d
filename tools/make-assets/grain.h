#pragma once

#include <cstdint>

// A stateless integer hash: the same (x, y, seed) gives the same value on
// every machine, so the generated textures are byte-for-byte reproducible.
inline uint32_t grainHash(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

// Uniform value in [-1, 1].
inline double grainSigned(int x, int y, uint32_t seed)
{
    return grainHash(uint32_t(x), uint32_t(y), seed) / double(0xffffffffu) * 2.0 - 1.0;
}
