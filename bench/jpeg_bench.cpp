// Decode speed of the program's JPEG decoder, libjpeg-turbo and stb_image on the same
// in-memory pictures, in one run: megapixels per second (median of 11 rounds) and each
// decoder's speed as a ratio to ours; then the progressive coefficient store each picture takes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench_decoders.h"
#include "jpeg_coefficient_store.h"
#include "bench_pictures.h"

namespace {

struct Decoder {
    const char* name;
    uint64_t (*decode)(const std::vector<uint8_t>&, std::vector<uint8_t>&);
};
const Decoder kDecoders[] = {
    {"ours", decodeOurs}, {"ours1", decodeOursOneThread}, {"turbo", decodeTurbo}, {"stb", decodeStb}};

void runDecode(benchmark::State& state, const BenchPicture* picture, Decoder decoder) {
    std::vector<uint8_t> output;
    uint64_t pixels = decoder.decode(picture->bytes, output);  // sizes the buffer once
    if (pixels == 0) {
        state.SkipWithError("decode failed");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(decoder.decode(picture->bytes, output));
    state.counters["MP/s"] = benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// Keeps the median MP/s of every picture/decoder pair for the summary table.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::map<std::string, double>> speed;  // picture -> decoder -> MP/s
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name != "median") continue;
            std::string name = run.run_name.function_name;  // "picture/decoder"
            size_t slash = name.find('/');
            auto counter = run.counters.find("MP/s");
            if (slash != std::string::npos && counter != run.counters.end())
                speed[name.substr(0, slash)][name.substr(slash + 1)] = counter->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

void printSummary(const std::vector<BenchPicture>& pictures, MedianReporter& reporter) {
    std::printf("\n%-16s %9s %9s %9s %9s %12s %12s %13s %13s\n", "picture", "ours", "ours1", "turbo", "stb",
                "ours/turbo", "ours/stb", "ours1/turbo", "ours1/stb");
    for (const BenchPicture& p : pictures) {
        auto& s = reporter.speed[p.name];
        double ours = s["ours"], one = s["ours1"], turbo = s["turbo"], stb = s["stb"];
        auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
        std::printf("%-16s %9.1f %9.1f %9.1f %9.1f %12.2f %12.2f %13.2f %13.2f\n", p.name.c_str(), ours, one, turbo,
                    stb, ratio(ours, turbo), ratio(ours, stb), ratio(one, turbo), ratio(one, stb));
    }
    std::printf("(MP/s, median of 11 rounds; ours1: our decoder without its helper thread)\n");
}

// The most bytes of progressive coefficient store one decode of each progressive picture holds.
void printStoreSizes(const std::vector<BenchPicture>& pictures) {
    std::vector<uint8_t> output;
    for (const BenchPicture& p : pictures) {
        CoefficientStore::ResetLargest();
        decodeOursOneThread(p.bytes, output);
        const size_t bytes = CoefficientStore::LargestBytes();
        if (bytes > 0) std::printf("%-16s coefficient store %.1f MiB\n", p.name.c_str(), bytes / 1048576.0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> missing;
    std::vector<BenchPicture> pictures = loadBenchPictures(missing);
    for (const std::string& m : missing) std::printf("skipped, not found: %s\n", m.c_str());
    if (pictures.empty()) return 0;
    for (const BenchPicture& p : pictures)
        for (const Decoder& d : kDecoders)
            benchmark::RegisterBenchmark((p.name + "/" + d.name).c_str(), runDecode, &p, d)
                ->Repetitions(11)
                ->ReportAggregatesOnly(true)
                ->MinTime(0.2)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(pictures, reporter);
    printStoreSizes(pictures);
    return 0;
}
