// The CheckSum of a Windows program's optional header, computed as linkers and signing tools do.
#pragma once
#include <cstddef>
#include <cstdint>

// The checksum of the file `data`/`size` whose CheckSum field lies at `checkSumAt` (that field is
// left out): the 16-bit words summed with their carries folded back in, plus the file size.
uint32_t peCheckSum(const uint8_t* data, size_t size, uint64_t checkSumAt);
