// Taking the Authenticode signature off a 32-bit Windows program file.
#include "pe_certificate.h"

#include "pe_checksum.h"
#include "pe_image.h"

namespace {

void clear(std::vector<uint8_t>& bytes, uint64_t at, uint64_t length) {
    for (uint64_t i = 0; i < length; ++i) bytes[at + i] = 0;
}

}  // namespace

uint32_t dropCertificateTable(std::vector<uint8_t>& program) {
    PeLayout layout;
    uint64_t imageEnd = 0;
    if (!readPeLayout(program.data(), program.size(), layout) ||
        !peImageFileEnd(program.data(), program.size(), imageEnd)) {
        return 0;
    }
    uint32_t size = layout.certificateSize;
    if (layout.certificateEntryAt == 0 || size == 0 || layout.certificateOffset != imageEnd ||
        imageEnd + size != program.size()) {
        return 0;
    }
    clear(program, layout.certificateEntryAt, 8);
    program.resize(static_cast<size_t>(imageEnd));
    uint32_t sum = peCheckSum(program.data(), program.size(), layout.checkSumAt);
    for (int i = 0; i < 4; ++i) program[layout.checkSumAt + i] = uint8_t(sum >> (8 * i));
    return size;
}
