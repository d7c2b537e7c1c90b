// Agreement with libjpeg-turbo's djpeg (integer transform, chroma replicated): every JPEG
// the manifest expects to show is within 40 dB PSNR of it over the real picture size.
#include <gtest/gtest.h>

#include "corpus_decodes.h"

namespace {

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
        if (!djpegComparable(row)) continue;
        const CorpusDecode& picture = corpusDecode(row.path);
        if (!picture.routed) continue;  // the viewer does not route it to the decoder
        const DjpegAgreement& a = picture.djpeg;
        if (!a.ran) {
            std::cout << row.path << ": djpeg gives no picture\n";
            continue;
        }
        ASSERT_TRUE(picture.probed) << row.path;
        ASSERT_EQ(picture.shownWidth, a.width) << row.path;
        ASSERT_EQ(picture.shownHeight, a.height) << row.path;
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
