// Decode speed of the program's JPEG decoder against stb_image, both built into this 32-bit
// Windows program: a plain timing loop with QueryPerformanceCounter, median of 11 rounds.
// Run under Wine by hand: wine jpeg_bench_win.exe [corpus parent folder in EDAMIRU_SHARED;
// EDAMIRU_BENCH_ONLY=<picture name> times one picture].
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_decoders.h"
#include "bench_pictures.h"

namespace {

double now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

// Median megapixels per second of 11 rounds; a round repeats the decode for at least 0.2 s.
double medianSpeed(uint64_t (*decode)(const std::vector<uint8_t>&, std::vector<uint8_t>&),
                   const std::vector<uint8_t>& file) {
    std::vector<uint8_t> output;
    uint64_t pixels = decode(file, output);
    if (pixels == 0) return 0.0;
    double speeds[11];
    for (double& speed : speeds) {
        int decodes = 0;
        double start = now(), elapsed = 0.0;
        do {
            decode(file, output);
            ++decodes;
            elapsed = now() - start;
        } while (elapsed < 0.2);
        speed = double(pixels) * decodes / elapsed / 1e6;
    }
    std::sort(speeds, speeds + 11);
    return speeds[5];
}

}  // namespace

int main() {
    std::vector<std::string> missing;
    std::vector<BenchPicture> pictures = loadBenchPictures(missing);
    for (const std::string& m : missing) std::printf("skipped, not found: %s\n", m.c_str());
    std::printf("%-16s %9s %9s %9s %10s %11s\n", "picture", "ours", "ours1", "stb", "ours/stb", "ours1/stb");
    const char* only = std::getenv("EDAMIRU_BENCH_ONLY");  // a picture name, to time that one alone
    for (const BenchPicture& p : pictures) {
        if (only != nullptr && p.name != only) continue;
        double ours = medianSpeed(decodeOurs, p.bytes);
        double one = medianSpeed(decodeOursOneThread, p.bytes);
        double stb = medianSpeed(decodeStb, p.bytes);
        std::printf("%-16s %9.1f %9.1f %9.1f %10.2f %11.2f\n", p.name.c_str(), ours, one, stb, stb > 0 ? ours / stb : 0.0,
                    stb > 0 ? one / stb : 0.0);
        std::fflush(stdout);
    }
    std::printf("(MP/s, median of 11 rounds, 32-bit Windows build; ours1: without the helper thread)\n");
    return 0;
}
