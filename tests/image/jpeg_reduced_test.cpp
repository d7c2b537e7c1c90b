// The reduced JPEG road against the whole one, baseline and progressive: a picture decoded at
// 1/2, 1/4 or 1/8 stays close to the area average of the whole decode, shows the same texts,
// and a cut file stops at the same place both ways; and against itself on one thread and with
// the helper thread.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "corpus.h"
#include "image/bitmap_rows.h"
#include "image/jpeg_reduced_picture.h"
#include "image/show_entry.h"
#include "jpeg/jpeg_decoder.h"
#include "jpeg/jpeg_helper_thread.h"

namespace {

struct ReducedCase {
    const char* path;  // "samples/…" or a corpus path
    uint8_t reduction;
    double kept;       // share of the file's bytes decoded
};

std::vector<uint8_t> readCase(const std::string& path) {
    const std::string samples = "samples/";
    if (path.compare(0, samples.size(), samples) == 0)
        return readWholeFile(std::string(EDAMIRU_SAMPLES_DIR) + "/" + path.substr(samples.size()));
    return corpusDir().empty() ? std::vector<uint8_t>() : readCorpusFile(path);
}

// PSNR of two pictures' shown areas, bottom-up rows of `pitch` bytes of `height` rows each.
double psnr(const uint8_t* a, const uint8_t* b, size_t pitch, PictureSize size) {
    double sum = 0;
    for (uint32_t y = 0; y < size.height; ++y)
        for (uint32_t i = 0; i < 3 * size.width; ++i) {
            const double d = double(a[pitch * y + i]) - b[pitch * y + i];
            sum += d * d;
        }
    const double mse = sum / (3.0 * size.width * size.height);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Message boxes and captions in the order shown.
struct OrderedTexts : JpegMessages {
    std::vector<std::string> texts;
    void showMessage(const std::string& t) override { texts.push_back("box: " + t); }
    void setCaption(const std::string& t) override { texts.push_back("caption: " + t); }
};

// Decode result and work of the decoder at `reduction` over `bytes`.
std::pair<bool, uint64_t> decodeResult(const std::vector<uint8_t>& bytes, uint8_t reduction) {
    DroppedJpegMessages dropped;
    JpegSize whole;
    JpegDecoder probe(dropped);
    if (!probe.Probe(bytes.data(), uint32_t(bytes.size()), whole)) return {false, 0};
    const JpegSize size = {whole.width >> reduction, whole.height >> reduction};
    std::vector<uint8_t> pixels(size_t(size.width) * 3 * size.height);
    JpegDecoder decoder(dropped);
    decoder.SetReduction(reduction);
    const bool complete = decoder.Decode(bytes.data(), uint32_t(bytes.size()), pixels.data() + pixels.size() - 3 * size.width,
                                         int32_t(3 * size.width), size);
    return {complete, decoder.workDone()};
}

// The reduced pixels on the decoding thread alone, or with the helper taking every other MCU.
std::vector<uint8_t> reducedPixels(const std::vector<uint8_t>& bytes, uint8_t reduction, bool helper) {
    HelperThread::SetEnabled(helper);
    HelperThread::SetEager(helper);
    ShownPicture reduced(24);
    const bool loaded = loadReducedJpegPicture(bytes.data(), bytes.size(), reduction, reduced);
    HelperThread::SetEager(false);
    HelperThread::SetEnabled(true);
    return loaded ? reduced.pixels : std::vector<uint8_t>();
}

TEST(JpegReduced, StaysCloseToTheAreaAverageOfTheWholeDecode) {
    const ReducedCase cases[] = {
        {"perf/perf-4000x3000-420.jpg", 1, 1.0},        {"perf/perf-4000x3000-420.jpg", 2, 1.0},
        {"perf/perf-4000x3000-420.jpg", 3, 1.0},        {"perf/perf-4000x3000-444.jpg", 2, 1.0},
        {"perf/perf-4000x3000-grey.jpg", 3, 1.0},       {"perf/perf-4000x3000-420-restart.jpg", 2, 1.0},
        {"generated/jpeg/base-1920x1080-422.jpg", 1, 1.0}, {"public/pil-flower-300x225-restart.jpg", 2, 1.0},
        {"samples/page1-sky.jpg", 2, 1.0},              {"samples/page4-grey.jpg", 1, 1.0},
        {"perf/perf-4000x3000-420.jpg", 3, 0.4},        {"generated/jpeg/base-640x480-420.jpg", 1, 0.7},
        {"perf/perf-4000x3000-420-progressive.jpg", 1, 1.0}, {"perf/perf-4000x3000-420-progressive.jpg", 3, 0.5},
        {"samples/page2-progressive.jpg", 1, 1.0},      {"generated/jpeg/prog-100x75-444.jpg", 2, 1.0},
        {"generated/jpeg/prog-100x75-grey.jpg", 1, 1.0},
    };
    int run = 0;
    for (const ReducedCase& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " /" + std::to_string(1 << c.reduction) + " kept " + std::to_string(c.kept));
        std::vector<uint8_t> bytes = readCase(c.path);
        if (bytes.empty()) continue;
        bytes.resize(size_t(bytes.size() * c.kept));
        ++run;
        OrderedTexts reducedTexts, wholeTexts;
        ShownPicture reduced(24, &reducedTexts);
        ASSERT_TRUE(loadReducedJpegPicture(bytes.data(), bytes.size(), c.reduction, reduced));
        ShownPicture whole(24, &wholeTexts);
        ASSERT_EQ(showEntry(bytes.data(), bytes.size(), whole), 1);
        EXPECT_EQ(reducedTexts.texts, wholeTexts.texts);
        const PictureSize size = {reduced.pictureWidth, reduced.pictureHeight};
        // The whole decode over the same pixels: the reduced edge pixels cover whole blocks, the
        // frame's last columns and rows and the bitmap's padding past them.
        const PictureSize covered = {size.width << c.reduction, size.height << c.reduction};
        BitmapRows rows(whole.bitmapInfo, whole.pixels.data(), whole.pitch(), covered);
        ASSERT_TRUE(rows.open());
        // The area average into a bitmap laid out as the reduced one, bottom-up.
        std::vector<uint8_t> expected(reduced.pixels.size());
        const size_t pitch = reduced.pitch();
        const uint8_t* bottom = reduced.pixels.data() + pitch * (reduced.bitmapHeight() - size.height);
        uint8_t* expectedBottom = expected.data() + pitch * (reduced.bitmapHeight() - size.height);
        ASSERT_TRUE(reduceAreaAverage(rows, size, expectedBottom + pitch * (size.height - 1), -ptrdiff_t(pitch)));
        const double db = psnr(bottom, expectedBottom, pitch, size);
        std::printf("  %s /%d kept %.1f: %u x %u, PSNR %.2f dB\n", c.path, 1 << c.reduction, c.kept, size.width,
                    size.height, db);
        EXPECT_GE(db, 30.0);
        EXPECT_EQ(decodeResult(bytes, c.reduction), decodeResult(bytes, 0));
        EXPECT_TRUE(reducedPixels(bytes, c.reduction, true) == reducedPixels(bytes, c.reduction, false));
    }
    if (corpusDir().empty()) std::printf("  corpus cases skipped: %s\n", skipMessage().c_str());
    EXPECT_GT(run, 0);
}

// A file whose scans the reduced road does not take is left to the whole road, its messages
// held back: here each component comes in a scan of its own.
TEST(JpegReduced, SeparateComponentScansAreRefused) {
    const std::vector<uint8_t> bytes = readCase("generated/jpeg/ni-100x75-420.jpg");
    if (bytes.empty()) GTEST_SKIP() << skipMessage();
    RecordingJpegMessages messages;
    ShownPicture reduced(24, &messages);
    EXPECT_FALSE(loadReducedJpegPicture(bytes.data(), bytes.size(), 1, reduced));
    EXPECT_TRUE(messages.messages.empty() && messages.captions.empty());
}

// A progressive picture with an arithmetic-coding table between its scans, which the decoder
// answers with a message box after its caption: both roads show the two in that order.
TEST(JpegReduced, ShowsTheCaptionAndTheBoxInTheOrderOfTheWholeRoad) {
    std::vector<uint8_t> bytes = readCase("samples/page2-progressive.jpg");
    ASSERT_FALSE(bytes.empty());
    size_t second = 0;  // the second scan header
    for (size_t i = 0, seen = 0; i + 1 < bytes.size() && second == 0; ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA && ++seen == 2) second = i;
    ASSERT_NE(second, 0u);
    const uint8_t arithmetic[] = {0xFF, 0xCC, 0x00, 0x02};
    bytes.insert(bytes.begin() + std::ptrdiff_t(second), arithmetic, arithmetic + sizeof arithmetic);
    OrderedTexts reducedTexts, wholeTexts;
    ShownPicture reduced(24, &reducedTexts), whole(24, &wholeTexts);
    ASSERT_TRUE(loadReducedJpegPicture(bytes.data(), bytes.size(), 1, reduced));
    showEntry(bytes.data(), bytes.size(), whole);
    ASSERT_EQ(wholeTexts.texts.size(), 2u);
    EXPECT_EQ(reducedTexts.texts, wholeTexts.texts);
}

}  // namespace
