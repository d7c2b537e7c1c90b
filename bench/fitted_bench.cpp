// The fitted page road for 12-MP pictures fitted to 1024 x 768 (decoded at 1/2) and to the
// viewer's 965 x 724 client area on a 1024 x 768 screen (at 1/4): the whole picture decoded and
// area-averaged to the fitted size, against the picture decoded reduced and then averaged.
// Milliseconds per page (median of 11 rounds) and the speed-up.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench_pictures.h"
#include "image/bitmap_rows.h"
#include "image/fitted_picture.h"
#include "image/show_entry.h"
#include "image/shown_picture.h"

namespace {

const PictureSize kBoundsList[] = {{1024, 768}, {965, 724}};

// The road before reduced decoding: the whole picture, then the area average.
bool wholeThenAverage(const std::vector<uint8_t>& file, PictureSize bounds, std::vector<uint8_t>& out) {
    ShownPicture whole(24);
    if (showEntry(file.data(), file.size(), whole) != 1) return false;
    const PictureSize from = {whole.pictureWidth, whole.pictureHeight}, to = fittedSize(from, bounds);
    BitmapRows rows(whole.bitmapInfo, whole.pixels.data(), whole.pitch(), from);
    const size_t pitch = rowPitch(to.width, 24);
    out.resize(pitch * to.height);
    return rows.open() && reduceAreaAverage(rows, to, out.data() + pitch * (to.height - 1), -ptrdiff_t(pitch));
}

bool fittedRoad(const std::vector<uint8_t>& file, PictureSize bounds, std::vector<uint8_t>& out) {
    ShownPicture shown(24);
    if (showEntryWithin(file.data(), file.size(), shown, bounds) != 1) return false;
    out.swap(shown.pixels);
    return true;
}

struct Road {
    const char* name;
    bool (*run)(const std::vector<uint8_t>&, PictureSize, std::vector<uint8_t>&);
};
const Road kRoads[] = {{"whole+average", wholeThenAverage}, {"reduced+average", fittedRoad}};

void runRoad(benchmark::State& state, const BenchPicture* picture, Road road, PictureSize bounds) {
    std::vector<uint8_t> out;
    if (!road.run(picture->bytes, bounds, out)) {
        state.SkipWithError("road failed");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(road.run(picture->bytes, bounds, out));
}

std::string boundsName(PictureSize b) { return std::to_string(b.width) + "x" + std::to_string(b.height); }

class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::map<std::string, double>> ms;  // picture -> road -> ms
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name != "median") continue;
            const std::string name = run.run_name.function_name;
            const size_t slash = name.find('/');
            if (slash != std::string::npos)
                ms[name.substr(0, slash)][name.substr(slash + 1)] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> missing;
    std::vector<BenchPicture> pictures = loadBenchPictures(missing);
    for (const std::string& m : missing) std::printf("skipped, not found: %s\n", m.c_str());
    for (const PictureSize& b : kBoundsList)
        for (const BenchPicture& p : pictures)
            for (const Road& r : kRoads)
                benchmark::RegisterBenchmark((p.name + "@" + boundsName(b) + "/" + r.name).c_str(), runRoad, &p, r, b)
                ->Repetitions(11)
                ->ReportAggregatesOnly(true)
                ->MinTime(0.2)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const PictureSize& b : kBoundsList) {
        std::printf("\n%-16s %14s %16s %9s\n", "picture", "whole+average", "reduced+average", "speed-up");
        for (const BenchPicture& p : pictures) {
            auto& m = reporter.ms[p.name + "@" + boundsName(b)];
            const double whole = m["whole+average"], reduced = m["reduced+average"];
            std::printf("%-16s %11.1f ms %13.1f ms %8.2fx\n", p.name.c_str(), whole, reduced, reduced > 0 ? whole / reduced : 0);
        }
        std::printf("(fitted to %u x %u, 24 bits; median of 11 rounds)\n", b.width, b.height);
    }
    return 0;
}
