// Taking the Authenticode signature off a 32-bit Windows program file, so that a signed viewer
// can carry a collection (appending to a signed program would break its signature anyway).
#pragma once
#include <cstdint>
#include <vector>

// When the program's certificate table is exactly what follows its image (it begins where the
// image ends and reaches the end of the file), cuts the file where the table began, clears the
// security directory entry and computes the header checksum again for the shorter file (the
// signer's covered the certificate): the program is then as the linker wrote it. Returns the
// number of bytes removed: 0, with the file untouched, when the program is not signed or
// anything else lies behind its image.
uint32_t dropCertificateTable(std::vector<uint8_t>& program);
