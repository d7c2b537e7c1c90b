// edamiru-book render, run in-process: picture files and book pages at both screen depths,
// refusals, and the exit statuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bmp_fixture.h"
#include "collection_bytes.h"
#include "commands.h"
#include "corpus.h"
#include "picture_hash.h"
#include "sha256.h"
#include "synthetic_pe.h"
#include "temp_folder.h"

namespace {

int render(std::vector<std::string> args) {
    args.insert(args.begin(), "render");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    return renderCommand(int(args.size()), argv.data());
}

// A 5 x 3 24-bit picture whose pixel bytes count up.
BmpFixture countingPicture() {
    BmpFixture f;
    f.width = 5;
    f.height = 3;
    f.pixels.resize(16 * 3);
    for (size_t i = 0; i < f.pixels.size(); ++i) f.pixels[i] = uint8_t(i * 5);
    return f;
}

BmpFixture palettePicture() {
    BmpFixture f;
    f.width = 4;
    f.height = 2;
    f.bitCount = 8;
    f.clrUsed = 3;
    f.colourTable = rampTable(3);
    f.pixels = {0, 1, 2, 1, 2, 2, 0, 0};
    return f;
}

std::vector<uint8_t> bookBytes() {
    TestCollection c;
    c.pictures = {countingPicture().bytes(), {'G', 'I', 'F', '8'}, palettePicture().bytes()};
    std::vector<uint8_t> book = buildSyntheticPe();
    const auto appended = collectionBytes(c);
    book.insert(book.end(), appended.begin(), appended.end());
    return book;
}

// Pixel rows of the written file without padding (as the corpus reference hashes them).
std::vector<uint8_t> unpaddedRows(const std::vector<uint8_t>& bmp, size_t rowBytes, size_t pitch, size_t rows) {
    const size_t offset = bmp[10] | bmp[11] << 8;
    std::vector<uint8_t> out;
    for (size_t y = 0; y < rows; ++y) out.insert(out.end(), bmp.begin() + offset + y * pitch,
                                                 bmp.begin() + offset + y * pitch + rowBytes);
    return out;
}

}  // namespace

TEST(RenderCommand, PictureFileAtBothDepths) {
    TempFolder dir;
    const std::string in = dir.file("p.bmp"), out = dir.file("out.bmp");
    writeBytes(in, countingPicture().bytes());
    ASSERT_EQ(render({in, out}), 0);
    const auto written = readWholeFile(out);
    ASSERT_EQ(written.size(), 54u + 48);
    const auto pixels = countingPicture().pixels;
    std::vector<uint8_t> want;
    for (size_t y = 0; y < 3; ++y) want.insert(want.end(), pixels.begin() + 16 * y, pixels.begin() + 16 * y + 15);
    EXPECT_EQ(unpaddedRows(written, 15, 16, 3), want);

    ASSERT_EQ(render({in, out, "--screen-depth", "8"}), 0);
    const auto dithered = readWholeFile(out);
    EXPECT_EQ(dithered.size(), 1078u + 8 * 3);
    EXPECT_EQ(dithered[28], 8);
}

TEST(RenderCommand, BookPages) {
    TempFolder dir;
    const std::string book = dir.file("book.exe"), out = dir.file("out.bmp");
    writeBytes(book, bookBytes());
    ASSERT_EQ(render({book, out}), 0);  // a book without --page: page 1
    EXPECT_EQ(readWholeFile(out).size(), 54u + 48);

    ASSERT_EQ(render({book, out, "--page", "3", "--screen-depth", "8"}), 0);
    const auto page3 = readWholeFile(out);
    ASSERT_EQ(page3.size(), 1078u + 8);
    EXPECT_EQ(page3[28], 8);                               // palette pictures keep their depth
    EXPECT_EQ(page3[54 + 4 * 2 + 2], 6);                   // red of entry 2
    EXPECT_EQ(unpaddedRows(page3, 4, 4, 2), palettePicture().pixels);

    EXPECT_EQ(render({book, out, "--page", "2"}), 1);      // not displayable
    EXPECT_EQ(render({book, out, "--page", "4"}), 1);      // no such page
}

TEST(RenderCommand, RefusalsAndUsage) {
    TempFolder dir;
    const std::string picture = dir.file("p.bmp"), out = dir.file("out.bmp");
    writeBytes(picture, countingPicture().bytes());
    EXPECT_EQ(render({picture, out, "--page", "1"}), 1);   // a picture is not a book
    EXPECT_EQ(render({dir.file("missing.bmp"), out}), 1);
    BmpFixture topDown = countingPicture();
    topDown.height = -3;
    writeBytes(dir.file("top.bmp"), topDown.bytes());
    EXPECT_EQ(render({dir.file("top.bmp"), out}), 1);
    EXPECT_EQ(render({picture, dir.file("no/such/folder/out.bmp")}), 1);

    EXPECT_EQ(render({picture}), 2);
    EXPECT_EQ(render({picture, out, "extra"}), 2);
    EXPECT_EQ(render({picture, out, "--screen-depth", "16"}), 2);
    EXPECT_EQ(render({picture, out, "--page", "0"}), 2);
    EXPECT_EQ(render({picture, out, "--colour"}), 2);
}

TEST(RenderCommand, CorpusPictureGivesTheRecordedHash) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    TempFolder dir;
    const std::string out = dir.file("out.bmp");
    for (const ReferenceRow& row : readReference()) {
        if (row.path != "generated/jpeg/base-100x75-420.jpg" && row.path != "generated/bmp/rle4-7x5.bmp") continue;
        ASSERT_EQ(render({corpusDir() + "/" + row.path, out, "--screen-depth", std::to_string(row.depth)}), 0);
        const PictureHashes h = hashPictureFile(readWholeFile(out));
        EXPECT_EQ(h.pixels, row.pixelsSha256) << row.path << " @" << row.depth;
    }
}
