// The CheckSum of a Windows program's optional header.
#include "pe_checksum.h"

uint32_t peCheckSum(const uint8_t* data, size_t size, uint64_t checkSumAt) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size; i += 2) {
        if (i >= checkSumAt && i < checkSumAt + 4) continue;
        uint32_t word = data[i];
        if (i + 1 < size) word |= uint32_t(data[i + 1]) << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum + static_cast<uint32_t>(size);
}
