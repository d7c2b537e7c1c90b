// Stores that go past the cache, for data the other core reads next: a line cached here would
// first have to be taken back from that core's cache before it could be written.
#pragma once
#include <cstdint>

#if defined(__i386__) || defined(__x86_64__)
inline void StreamStore(uint32_t* at, uint32_t value) { __asm__("movnti %1, %0" : "=m"(*at) : "r"(value)); }
// Orders the stream stores before every later store (the publication of what they wrote).
inline void StreamFence() { __asm__ __volatile__("sfence" ::: "memory"); }
// Both need SSE2, which every processor with a second core has; checked all the same.
inline bool StreamStoresAvailable() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
}
#else
inline void StreamStore(uint32_t* at, uint32_t value) { *at = value; }
inline void StreamFence() {}
inline bool StreamStoresAvailable() { return true; }
#endif
