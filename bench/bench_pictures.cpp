#include "bench_pictures.h"

#include <cstdio>
#include <cstdlib>

#ifndef EDAMIRU_SHARED_DIR
#define EDAMIRU_SHARED_DIR ""
#endif

namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    return bytes;
}

}  // namespace

std::string benchCorpusDir() {
    const char* env = std::getenv("EDAMIRU_SHARED");
    std::string dir = env && *env ? env : EDAMIRU_SHARED_DIR;
#ifdef _WIN32
    if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;  // the Linux root under Wine
#endif
    return dir + "/corpus";
}

std::vector<BenchPicture> loadBenchPictures(std::vector<std::string>& missing) {
    static const char* const kFiles[][2] = {
        {"420", "perf/perf-4000x3000-420.jpg"},
        {"420-progressive", "perf/perf-4000x3000-420-progressive.jpg"},
        {"444", "perf/perf-4000x3000-444.jpg"},
        {"grey", "perf/perf-4000x3000-grey.jpg"},
        {"420-restart", "perf/perf-4000x3000-420-restart.jpg"},
        {"640x480-420", "generated/jpeg/base-640x480-420.jpg"},
    };
    std::vector<BenchPicture> pictures;
    std::string dir = benchCorpusDir();
    for (const auto& file : kFiles) {
        std::vector<uint8_t> bytes = readFile(dir + "/" + file[1]);
        if (bytes.empty()) missing.push_back(dir + "/" + file[1]);
        else pictures.push_back({file[0], std::move(bytes)});
    }
    return pictures;
}
