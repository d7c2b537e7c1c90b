// Helpers of the SIMD files on GCC vector types of 32-bit lanes: unaligned loads and stores,
// and what the SIMD colour writers share whatever their width. Included only by the files
// compiled for one instruction set, so everything here is internal to them.
#pragma once
#include <cstdint>
#include <cstring>

#include "jpeg_colour_simd.h"
#include "jpeg_colour_writer.h"

namespace {

template <class V>
inline V LoadVector(const int32_t* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class V>
inline void StoreVector(int32_t* p, V v) {
    std::memcpy(p, &v, sizeof v);
}

// True when every one of the n values (a multiple of the lanes) lies within [-limit, limit];
// `Any` tells whether any lane of a comparison mask is set.
template <class V, bool (*Any)(V)>
inline bool WithinLanes(const int32_t* values, int n, int32_t limit) {
    V outside = {};
    for (int i = 0; i < n; i += int(sizeof(V) / sizeof(int32_t))) {
        V v = LoadVector<V>(values + i);
        outside |= (v > limit) | (v < -limit);
    }
    return !Any(outside);
}

// The colour writers' checks and choice of rows: `Writer::Within(values, n, limit)` checks
// values against the limits where 32-bit lanes stay exact, and
// `Writer::template Rows<H, V, Sequential>(m)` writes the MCU's rows.
template <class Writer, bool Sequential>
inline void WriteLayout(const ColourMcu& m) {
    if (m.h == 1) Writer::template Rows<1, 1, Sequential>(m);
    else if (m.v == 1) Writer::template Rows<2, 1, Sequential>(m);
    else Writer::template Rows<2, 2, Sequential>(m);
}

template <class Writer>
inline bool WriteColourWithinLimits(const ColourMcu& m) {
    if (!m.lumaBounded)
        for (int i = 0; i < m.h * m.v; ++i)
            if (!Writer::Within(m.luma[i], 64, kWriterLumaLimit)) return false;
    if (!Writer::Within(m.cb, 64, kWriterChromaLimit) || !Writer::Within(m.cr, 64, kWriterChromaLimit)) return false;
    if (m.sequential) WriteLayout<Writer, true>(m);
    else WriteLayout<Writer, false>(m);
    return true;
}

}  // namespace
