// Zig-zag position to natural (row-major) coefficient index. Positions from 64 on name
// coefficient 63, so a run that carries a position past the end lands on the last one.
#pragma once
#include <cstdint>

extern const uint8_t kZigzag[64];

inline int ZigzagIndex(uint32_t k) { return k < 64 ? kZigzag[k] : 63; }
