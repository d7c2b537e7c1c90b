// Agreement with libjpeg-turbo's djpeg (integer transform, chroma replicated): every JPEG
// the manifest expects to show is within 40 dB PSNR of it over the real picture size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "corpus.h"
#include "viewer_decode.h"

namespace {

struct Ppm {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

bool djpegAvailable() {
    FILE* pipe = popen("djpeg -version 2>&1", "r");
    if (!pipe) return false;
    char buffer[256];
    bool any = fgets(buffer, sizeof buffer, pipe) != nullptr;
    return pclose(pipe) == 0 && any;
}

// Reads the binary PPM (or PGM) that djpeg writes for one file; false when djpeg gives none.
bool runDjpeg(const std::string& path, Ppm& out) {
    std::string command = "djpeg -dct int -nosmooth -ppm '" + path + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    std::vector<uint8_t> data;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) data.insert(data.end(), chunk, chunk + n);
    pclose(pipe);
    std::string text(data.begin(), data.end());
    std::istringstream header(text);
    std::string magic;
    unsigned maxValue = 0;
    header >> magic >> out.width >> out.height >> maxValue;
    if ((magic != "P6" && magic != "P5") || maxValue != 255 || !header) return false;
    size_t channels = magic == "P6" ? 3 : 1;  // grey pictures come as PGM
    size_t start = static_cast<size_t>(header.tellg()) + 1;
    size_t samples = size_t(out.width) * out.height;
    if (data.size() < start + samples * channels) return false;
    out.rgb.resize(samples * 3);
    for (size_t i = 0; i < samples * 3; ++i) out.rgb[i] = data[start + (channels == 3 ? i : i / 3)];
    return true;
}

struct Agreement {
    int maxDifference = 0;
    double psnr = INFINITY;
};

Agreement compare(const ViewerPicture& picture, const Ppm& reference) {
    Agreement a;
    double squares = 0;
    for (uint32_t y = 0; y < reference.height; ++y) {
        for (uint32_t x = 0; x < reference.width; ++x) {
            const uint8_t* ours = picture.pixel(x, y);
            const uint8_t* theirs = &reference.rgb[(size_t(y) * reference.width + x) * 3];
            for (int c = 0; c < 3; ++c) {
                int d = std::abs(int(ours[2 - c]) - int(theirs[c]));  // ours is B,G,R
                a.maxDifference = std::max(a.maxDifference, d);
                squares += double(d) * d;
            }
        }
    }
    double mse = squares / (double(reference.width) * reference.height * 3);
    if (mse > 0) a.psnr = 10 * std::log10(255.0 * 255.0 / mse);
    return a;
}

// Files the manifest expects to show, except those whose colours are wrong on purpose;
// in-scope files whose outcome is open are compared for information only.
bool comparable(const ManifestRow& row) {
    bool shows = row.expect == "shows" || (row.expect == "any" && row.category == "in-scope");
    return row.format == "jpeg" && shows && row.category != "out-of-scope" &&
           (row.hasFeature("baseline") || row.hasFeature("progressive"));
}

// djpeg smooths the blocks of a progressive picture that has only its DC coefficients,
// where this decoder shows one flat colour per block.
bool asserted(const ManifestRow& row) {
    return row.expect == "shows" && !(row.hasFeature("progressive") && row.hasFeature("scans=1"));
}

}  // namespace

TEST(JpegCorpusDjpeg, ShownPicturesAgreeWithinFortyDecibels) {
    std::vector<ManifestRow> rows = readManifest();
    if (rows.empty()) GTEST_SKIP() << skipMessage();
    if (!djpegAvailable()) GTEST_SKIP() << "djpeg not found: comparison skipped";
    double worst = INFINITY;
    std::string worstFile;
    int compared = 0;
    for (const ManifestRow& row : rows) {
        if (!comparable(row)) continue;
        std::vector<uint8_t> file = readCorpusFile(row.path);
        ViewerPicture picture = decodeAsViewer(file);
        if (!picture.routed) continue;  // the viewer does not route it to the decoder
        Ppm reference;
        if (!runDjpeg(corpusDir() + "/" + row.path, reference)) {
            std::cout << row.path << ": djpeg gives no picture\n";
            continue;
        }
        ASSERT_TRUE(picture.probed) << row.path;
        ASSERT_EQ(picture.shownWidth, reference.width) << row.path;
        ASSERT_EQ(picture.shownHeight, reference.height) << row.path;
        Agreement a = compare(picture, reference);
        ++compared;
        std::cout << row.path << ": max difference " << a.maxDifference << ", PSNR " << a.psnr << " dB"
                  << (asserted(row) ? "" : " (not asserted)") << "\n";
        if (!asserted(row)) continue;
        EXPECT_GE(a.psnr, 40.0) << row.path;
        if (a.psnr < worst) {
            worst = a.psnr;
            worstFile = row.path;
        }
    }
    std::cout << compared << " files compared; lowest PSNR " << worst << " dB (" << worstFile << ")\n";
    EXPECT_GT(compared, 0);
}
