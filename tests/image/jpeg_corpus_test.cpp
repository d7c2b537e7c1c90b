// The JPEG road of the picture as shown: bitmap of whole MCUs, shown size, the dither on an
// 8-bit screen, routing by the first bytes, and the corpus pictures.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "corpus.h"
#include "corpus_check.h"
#include "image/jpeg_picture.h"
#include "image/show_entry.h"
#include "image/shown_picture.h"
#include "jpeg/jpeg_messages.h"
#include "refusing_canvas.h"

namespace {

bool isJpegPath(const std::string& path) { return path.size() > 4 && path.compare(path.size() - 4, 4, ".jpg") == 0; }

int showAsViewer(const std::vector<uint8_t>& bytes, ShownPicture& picture) {
    return showEntry(bytes.data(), bytes.size(), picture);
}

std::string joined(const std::vector<std::string>& lines) {
    std::ostringstream out;
    for (const auto& l : lines) out << "\n  " << l;
    return out.str();
}

// Rows whose outcome the manifest leaves open are reported, not failed.
void expectExact(int depth) {
    const ReferenceComparison c = compareWithReference(
        [depth](const ReferenceRow& r) { return r.depth == depth && isJpegPath(r.path); }, showAsViewer);
    EXPECT_GT(c.checked, 100);
    EXPECT_TRUE(c.mismatches.empty()) << c.mismatches.size() << " of " << c.checked << " rows differ:"
                                      << joined(c.mismatches);
    if (!c.open.empty()) std::cout << "rows left open that differ:" << joined(c.open) << "\n";
}

}  // namespace

TEST(JpegPicture, BitmapOfWholeMcusShowsTheFrameSize) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    const auto bytes = readCorpusFile("generated/jpeg/base-100x75-420.jpg");
    ASSERT_FALSE(bytes.empty());
    RecordingJpegMessages messages;
    ShownPicture p24(24, &messages);
    ASSERT_EQ(loadJpegPicture(bytes.data(), bytes.size(), p24), 1);
    EXPECT_EQ(p24.bitmapInfo.header.width, 112);
    EXPECT_EQ(p24.bitmapInfo.header.height, 80);
    EXPECT_EQ(p24.bitmapInfo.header.bitCount, 24);
    EXPECT_EQ(p24.pictureWidth, 100u);
    EXPECT_EQ(p24.pictureHeight, 75u);
    EXPECT_EQ(p24.pixels.size(), 336u * 80);
    std::vector<uint8_t> file;
    ASSERT_TRUE(pictureFileBytes(p24, file));
    EXPECT_EQ(file.size(), 22554u);

    ShownPicture p8(8, &messages);
    ASSERT_EQ(loadJpegPicture(bytes.data(), bytes.size(), p8), 1);
    EXPECT_EQ(p8.bitmapInfo.header.bitCount, 8);
    EXPECT_EQ(p8.pixels.size(), 112u * 80);
    EXPECT_EQ(p8.bitmapInfo.colours[255].green, 255);
    ASSERT_TRUE(pictureFileBytes(p8, file));
    EXPECT_EQ(file.size(), 8578u);
    EXPECT_TRUE(messages.messages.empty());
}

// On an 8-bit screen the picture is decoded at 24 bits first. When its dither cannot be made,
// for want of the halftone palette or of the 8-bit bitmap, that 24-bit picture stays as a
// true-colour screen shows it (with the 8-bit header already in place when only the bitmap
// was refused); when the 24-bit bitmap is refused there is none.
TEST(JpegPicture, AFailedDitherKeepsTheTrueColourPicture) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    const auto bytes = readCorpusFile("generated/jpeg/base-100x75-420.jpg");
    ASSERT_FALSE(bytes.empty());
    ShownPicture trueColour(24);
    ASSERT_EQ(loadJpegPicture(bytes.data(), bytes.size(), trueColour), 1);
    RefusingCanvas noPalette(8), noIndexes(8), noBitmap(8);
    noPalette.refuseHalftone = true;
    noIndexes.refusedBitmap = 2;
    noBitmap.refusedBitmap = 1;
    for (RefusingCanvas* canvas : {&noPalette, &noIndexes}) {
        EXPECT_EQ(loadJpegPicture(bytes.data(), bytes.size(), *canvas), 0);
        EXPECT_EQ(canvas->paletteCalls, std::vector<std::string>{"halftone"});
        EXPECT_EQ(canvas->pixels, trueColour.pixels);
        EXPECT_EQ(canvas->pitch(), trueColour.pitch());
        EXPECT_EQ(canvas->pictureWidth, 100u);
        EXPECT_EQ(canvas->pictureHeight, 75u);
    }
    EXPECT_EQ(noPalette.bitmapInfo.header.bitCount, 24);
    EXPECT_EQ(noIndexes.bitmapInfo.header.bitCount, 8);
    EXPECT_EQ(loadJpegPicture(bytes.data(), bytes.size(), noBitmap), 0);
    EXPECT_FALSE(noBitmap.hasBitmap());
    EXPECT_TRUE(noBitmap.paletteCalls.empty());
}

TEST(JpegPicture, ARefusedProbeLeavesThePictureAsItWas) {
    RecordingJpegMessages messages;
    ShownPicture picture(24, &messages);
    picture.pictureWidth = 7;
    picture.pixels.assign(4, 9);
    const std::vector<uint8_t> soiOnly = {0xFF, 0xD8, 0xFF, 0xD9};
    EXPECT_EQ(loadJpegPicture(soiOnly.data(), soiOnly.size(), picture), 0);
    EXPECT_EQ(picture.pictureWidth, 7u);
    EXPECT_EQ(picture.pixels.size(), 4u);
}

TEST(ShowEntry, RoutesByTheFirstTwoBytes) {
    const uint8_t bm[] = {'B', 'M', 0}, jpeg[] = {0xFF, 0xD8}, gif[] = {'G', 'I', 'F'}, ff[] = {0xFF};
    EXPECT_EQ(pictureKind(bm, 3), PictureKind::Bmp);
    EXPECT_EQ(pictureKind(jpeg, 2), PictureKind::Jpeg);
    EXPECT_EQ(pictureKind(gif, 3), PictureKind::NotDisplayable);
    EXPECT_EQ(pictureKind(ff, 1), PictureKind::NotDisplayable);
    EXPECT_EQ(pictureKind(bm, 1), PictureKind::NotDisplayable);
    RecordingJpegMessages messages;
    ShownPicture picture(24, &messages);
    picture.pixels.assign(4, 9);
    EXPECT_EQ(showEntry(gif, 3, picture), 0);
    EXPECT_EQ(showEntry(bm, 3, picture), 0);
    EXPECT_EQ(picture.pixels.size(), 4u);  // neither touched the picture
}

TEST(JpegCorpus, ExactPicturesOnAnEightBitScreen) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    expectExact(8);
}

TEST(JpegCorpus, ExactPicturesOnATrueColourScreen) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    expectExact(24);
}

TEST(JpegCorpus, EveryJpegFileEndsAsTheManifestExpects) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    std::vector<std::string> wrong;
    int files = 0;
    for (const ManifestRow& row : readManifest()) {
        if (row.format != "jpeg" && !isJpegPath(row.path)) continue;
        const std::vector<uint8_t> bytes = readCorpusFile(row.path);
        if (bytes.empty() && row.hasFeature("on-demand")) continue;
        ++files;
        for (int depth : {24, 8}) {
            ShownPicture picture(depth);
            const int result = showAsViewer(bytes, picture);
            bool anySet = false;
            for (uint8_t b : picture.pixels) anySet = anySet || b != 0;
            const std::string where = row.path + " @" + std::to_string(depth) + " (" + row.expect + "): ";
            if (row.expect == "shows" && result != 1) wrong.push_back(where + "not shown");
            if (row.expect == "refused" && result == 1 && anySet) wrong.push_back(where + "picture content");
            if (row.expect == "partial" && !anySet) wrong.push_back(where + "nothing decoded");
            std::vector<uint8_t> file;
            if (result == 1 && !pictureFileBytes(picture, file)) wrong.push_back(where + "no file written");
        }
    }
    EXPECT_GT(files, 100);
    EXPECT_TRUE(wrong.empty()) << joined(wrong);
}
