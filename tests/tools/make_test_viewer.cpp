// Writes a minimal 32-bit Windows program file (headers and one section) to the path given,
// as the viewer for the command-line test of edamiru-book.
#include "synthetic_pe.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::vector<uint8_t> file = buildSyntheticPe();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) return 1;
    bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written ? 0 : 1;
}
