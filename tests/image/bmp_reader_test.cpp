// BMP headers, colour tables, the three roads and the damaged-file choices.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bmp_fixture.h"
#include "image/bmp_reader.h"
#include "image/halftone_tables.h"
#include "image/bmp_picture.h"
#include "image/shown_picture.h"
#include "refusing_canvas.h"

namespace {

bool parses(const BmpFixture& f, int screen = 24) {
    BmpLayout layout;
    const auto bytes = f.bytes();
    return parseBmp(bytes.data(), bytes.size(), screen, layout);
}

BmpLayout parse(const std::vector<uint8_t>& bytes, int screen = 24) {
    BmpLayout layout;
    EXPECT_TRUE(parseBmp(bytes.data(), bytes.size(), screen, layout));
    return layout;
}

// Pixels are stored only for sizes a test can hold; larger headers come without them.
BmpFixture rgb24(int32_t width, int32_t height, uint8_t value = 0x40) {
    BmpFixture f;
    f.width = width;
    f.height = height;
    if (width > 0 && height > 0 && uint64_t(width) * uint64_t(height) <= 4096) {
        f.pixels.assign(rowPitch(uint32_t(width), 24) * uint32_t(height), value);
    }
    return f;
}

BmpFixture pal8(int32_t width, int32_t height, uint32_t tableEntries) {
    BmpFixture f;
    f.width = width;
    f.height = height;
    f.bitCount = 8;
    f.colourTable = rampTable(tableEntries);
    f.pixels.assign(rowPitch(uint32_t(width), 8) * uint32_t(height), 1);
    return f;
}

}  // namespace

TEST(BmpHeaders, RefusesWhatTheReaderDoesNotTake) {
    BmpFixture v4 = rgb24(2, 2);
    v4.headerSize = 108;
    EXPECT_FALSE(parses(v4));
    BmpFixture v5 = rgb24(2, 2);
    v5.headerSize = 124;
    EXPECT_FALSE(parses(v5));
    EXPECT_FALSE(parses(rgb24(2, -2)));  // top-down
    EXPECT_FALSE(parses(rgb24(0, 2)));
    EXPECT_FALSE(parses(rgb24(-100, 2)));
    EXPECT_FALSE(parses(rgb24(2, 0)));
    EXPECT_TRUE(parses(rgb24(2, 2)));

    auto bytes = rgb24(2, 2).bytes();
    bytes[1] = 'A';
    BmpLayout layout;
    EXPECT_FALSE(parseBmp(bytes.data(), bytes.size(), 24, layout));
    for (size_t cut : {0u, 1u, 10u, 13u, 14u, 53u}) {
        auto whole = rgb24(2, 2).bytes();
        EXPECT_FALSE(parseBmp(whole.data(), cut, 24, layout)) << cut;
    }
}

TEST(BmpHeaders, CoreHeaderFilesNeedFiftyFourBytesAndHaveUnsignedSizes) {
    BmpFixture core;
    core.headerSize = 12;
    core.width = 1;
    core.height = 1;
    core.pixels = {1, 2, 3, 0};  // 26 + 4 = 30 bytes
    auto shortFile = core.bytes();
    ASSERT_EQ(shortFile.size(), 30u);
    BmpLayout layout;
    EXPECT_FALSE(parseBmp(shortFile.data(), shortFile.size(), 24, layout));

    BmpFixture wide;
    wide.headerSize = 12;
    wide.width = 0x8000;
    wide.height = 1;
    wide.pixels.assign(3 * 0x8000, 0x11);
    layout = parse(wide.bytes());
    EXPECT_EQ(layout.width(), 32768u);
    EXPECT_EQ(layout.bitmapInfo.header.size, 40u);
    EXPECT_EQ(layout.pixelOffset, 26u);
    EXPECT_EQ(layout.road, BmpRoad::Plain);
}

TEST(BmpHeaders, CoreColourTablesHaveThreeByteEntries) {
    BmpFixture core;
    core.headerSize = 12;
    core.width = 8;
    core.height = 2;
    core.bitCount = 4;
    core.colourTable = rampTable(16, 3);
    core.pixels.assign(8, 0x01);
    const BmpLayout layout = parse(core.bytes());
    EXPECT_EQ(layout.colourCount, 16u);
    EXPECT_EQ(layout.bitmapInfo.colours[5].blue, 5);
    EXPECT_EQ(layout.bitmapInfo.colours[5].green, 10);
    EXPECT_EQ(layout.bitmapInfo.colours[5].red, 15);
    EXPECT_EQ(layout.bitmapInfo.colours[5].reserved, 0);
    EXPECT_EQ(layout.bitmapInfo.colours[16].red, 0);
}

TEST(BmpColours, CountComesFromColoursUsedOrTheDepthAndIsCut) {
    EXPECT_EQ(parse(pal8(4, 1, 256).bytes()).colourCount, 256u);
    BmpFixture twelve = pal8(4, 1, 12);
    twelve.clrUsed = 12;
    const BmpLayout l12 = parse(twelve.bytes());
    EXPECT_EQ(l12.colourCount, 12u);
    EXPECT_EQ(l12.bitmapInfo.colours[11].red, 33);
    EXPECT_EQ(l12.bitmapInfo.colours[12].red, 0);  // the rest of the table is zero

    // More colours than an 8-bit picture can index: 256 are read, the field says 256.
    BmpFixture many = pal8(4, 1, 300);
    many.clrUsed = 300;
    const BmpLayout l300 = parse(many.bytes());
    EXPECT_EQ(l300.colourCount, 256u);
    EXPECT_EQ(l300.bitmapInfo.header.clrUsed, 256u);

    BmpFixture bits1;
    bits1.bitCount = 1;
    bits1.width = 8;
    bits1.clrUsed = 16;
    bits1.colourTable = rampTable(16);
    bits1.pixels = {0xF0, 0, 0, 0};
    EXPECT_EQ(parse(bits1.bytes()).colourCount, 2u);

    // A 24-bit file with a huge colours-used field still shows; its table is read up to 256.
    BmpFixture rgb = rgb24(2, 2);
    rgb.clrUsed = 1000;
    rgb.colourTable = rampTable(1000);
    const BmpLayout lrgb = parse(rgb.bytes());
    EXPECT_EQ(lrgb.colourCount, 256u);
    EXPECT_EQ(lrgb.road, BmpRoad::Plain);
    EXPECT_EQ(parse(rgb24(2, 2).bytes()).colourCount, 0u);
}

TEST(BmpColours, ATableEndingBeyondTheFileIsRefused) {
    BmpFixture f = pal8(4, 1, 256);
    auto bytes = f.bytes();
    BmpLayout layout;
    EXPECT_FALSE(parseBmp(bytes.data(), 54 + 1023, 24, layout));
    EXPECT_TRUE(parseBmp(bytes.data(), 54 + 1024, 24, layout));  // pixels missing: the fill says so
    BmpFixture huge = pal8(4, 1, 16);
    huge.clrUsed = 305402420;  // cut to 256 entries, which the file does not hold
    EXPECT_FALSE(parses(huge));
}

TEST(BmpRoads, DependOnCompressionDepthAndScreen) {
    EXPECT_EQ(parse(rgb24(3, 2).bytes(), 24).road, BmpRoad::Plain);
    const BmpLayout dither = parse(rgb24(3, 2).bytes(), 8);
    EXPECT_EQ(dither.road, BmpRoad::Dither);
    EXPECT_EQ(dither.bitmapPitch(), 4u);  // the 8-bit target
    EXPECT_EQ(parse(pal8(3, 2, 256).bytes(), 8).road, BmpRoad::Plain);

    BmpFixture rle = pal8(3, 2, 256);
    rle.compression = 1;
    rle.clrImportant = 7;
    const BmpLayout lrle = parse(rle.bytes());
    EXPECT_EQ(lrle.road, BmpRoad::RunLength);
    EXPECT_EQ(lrle.rleKind, 1u);
    EXPECT_EQ(lrle.bitmapInfo.header.compression, 0u);
    EXPECT_EQ(lrle.bitmapInfo.header.clrImportant, 0u);

    BmpFixture fields = rgb24(3, 2);
    fields.bitCount = 16;
    fields.compression = 3;
    const BmpLayout lfields = parse(fields.bytes(), 8);
    EXPECT_EQ(lfields.road, BmpRoad::Plain);
    EXPECT_EQ(lfields.bitmapInfo.header.compression, 0u);
    EXPECT_EQ(lfields.bitmapInfo.header.sizeImage, 0u);
}

TEST(BmpRoads, UnknownCompressionFailsOnTheRunLengthRoad) {
    BmpFixture f = rgb24(3, 2);
    f.compression = 4;
    ShownPicture picture(24);
    const auto bytes = f.bytes();
    EXPECT_EQ(loadBmpPicture(bytes.data(), bytes.size(), picture), 0);
}

TEST(BmpLimits, SizesAndDepthsNoBitmapCanHave) {
    EXPECT_FALSE(parses(rgb24(3000000, 2000000)));
    BmpFixture big = rgb24(2, 2);
    big.width = 0x7FFFFFFF;
    big.height = 0x7FFFFFFF;
    EXPECT_FALSE(parses(big));
    BmpFixture odd = rgb24(2, 2);
    for (uint16_t depth : {0, 2, 3, 30000}) {
        odd.bitCount = depth;
        EXPECT_FALSE(parses(odd)) << depth;
    }
    BmpFixture rle = pal8(2, 2, 256);
    rle.compression = 1;
    rle.pixelOffset = 5000;
    auto bytes = rle.bytes();
    bytes.resize(54 + 1024 + 8);  // the pixel offset lies beyond the file
    BmpLayout layout;
    EXPECT_FALSE(parseBmp(bytes.data(), bytes.size(), 24, layout));
}

TEST(BmpPixels, PlainRoadCopiesRowsAndReportsAShortRead) {
    BmpFixture f = pal8(3, 3, 4);
    f.clrUsed = 4;
    f.pixels = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
    ShownPicture picture(24);
    auto bytes = f.bytes();
    ASSERT_EQ(loadBmpPicture(bytes.data(), bytes.size(), picture), 1);
    EXPECT_EQ(picture.pixels, f.pixels);
    EXPECT_EQ(picture.pictureWidth, 3u);
    EXPECT_EQ(picture.bitmapInfo.header.bitCount, 8);
    // Cut after five pixel bytes: the load fails, the bytes that were there stay.
    bytes.resize(bytes.size() - 7);
    ShownPicture cut(24);
    EXPECT_EQ(loadBmpPicture(bytes.data(), bytes.size(), cut), 0);
    EXPECT_EQ(cut.pixels, (std::vector<uint8_t>{1, 2, 3, 0, 4, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(BmpPixels, PixelOffsetIsHonouredAndNeverReadBeyond) {
    BmpFixture gap = pal8(4, 1, 4);
    gap.clrUsed = 4;
    gap.pixelOffset = 54 + 16 + 100;
    gap.pixels = {9, 8, 7, 6};
    ShownPicture picture(24);
    auto bytes = gap.bytes();
    ASSERT_EQ(loadBmpPicture(bytes.data(), bytes.size(), picture), 1);
    EXPECT_EQ(picture.pixels, gap.pixels);

    BmpFixture beyond = rgb24(2, 2);
    beyond.pixelOffset = 1 << 20;
    bytes = beyond.bytes();
    bytes.resize(54 + 16);
    for (int screen : {24, 8}) {
        ShownPicture p(screen);
        EXPECT_EQ(loadBmpPicture(bytes.data(), bytes.size(), p), 0) << screen;
        EXPECT_TRUE(p.hasBitmap());
        for (uint8_t b : p.pixels) EXPECT_EQ(b, 0);
    }
}

TEST(BmpPixels, DitherRoadTakesTheHalftoneTableAndLeavesUnreadRowsBlack) {
    BmpFixture f = rgb24(3, 4, 0xFF);  // white
    f.clrUsed = 16;
    f.colourTable = rampTable(16);
    ShownPicture picture(8);
    auto bytes = f.bytes();
    ASSERT_EQ(loadBmpPicture(bytes.data(), bytes.size(), picture), 1);
    EXPECT_EQ(picture.bitmapInfo.header.bitCount, 8);
    EXPECT_EQ(picture.bitmapInfo.header.clrUsed, 0u);
    EXPECT_EQ(picture.bitmapInfo.colours[249].red, 255);
    EXPECT_EQ(picture.pitch(), 4u);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 3; ++x) EXPECT_EQ(picture.pixels[4 * y + x], 255);

    // Only the bottom row and a half are in the file: the rest is dithered from black, and the
    // load fails as a short read does on the plain road.
    bytes.resize(bytes.size() - 12 * 4 + 18);
    ShownPicture cut(8);
    EXPECT_EQ(loadBmpPicture(bytes.data(), bytes.size(), cut), 0);
    ASSERT_TRUE(cut.hasBitmap());
    const std::vector<uint8_t> want = {255, 255, 255, 0, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(cut.pixels, want);
}

TEST(BmpPixels, RunLengthRoadExpandsIntoAZeroedBitmap) {
    BmpFixture f = pal8(4, 2, 256);
    f.compression = 1;
    f.pixels = {2, 7, 0, 0, 4, 9, 0, 1};
    ShownPicture picture(8);
    const auto bytes = f.bytes();
    ASSERT_EQ(loadBmpPicture(bytes.data(), bytes.size(), picture), 1);
    EXPECT_EQ(picture.pixels, (std::vector<uint8_t>{7, 7, 0, 0, 9, 9, 9, 9}));
    EXPECT_EQ(picture.bitmapInfo.colours[3].red, 9);  // the file's colours stay in the table
}

TEST(BmpPixels, ARefusedFileLeavesThePictureAsItWas) {
    ShownPicture picture(24);
    auto good = pal8(2, 1, 256).bytes();
    ASSERT_EQ(loadBmpPicture(good.data(), good.size(), picture), 1);
    auto bad = rgb24(2, -1).bytes();
    EXPECT_EQ(loadBmpPicture(bad.data(), bad.size(), picture), 0);
    EXPECT_EQ(picture.bitmapInfo.header.bitCount, 8);
    EXPECT_TRUE(picture.hasBitmap());
}

// Each road takes its palette before its bitmap: the halftone palette on the dither road, the
// file's colour table on the plain road, none on the run-length road. Once the headers are
// accepted the previous bitmap is gone, so a refused palette or bitmap leaves none; the colour
// table changes only when the file has one (or takes the halftone colours).
TEST(BmpPalettes, EachRoadTakesItsPaletteBeforeItsBitmap) {
    BmpFixture rle = pal8(4, 2, 16), plain = pal8(2, 1, 16);
    rle.clrUsed = plain.clrUsed = 16;
    rle.compression = 1;
    rle.pixels = {2, 7, 0, 0, 4, 9, 0, 1};
    const BmpFixture rgb = rgb24(3, 2);
    const uint8_t kept = 200, ramp = 3, halftone = windowsHalftonePalette().colours[1].red;
    struct Case {
        const BmpFixture& file;
        int screen;
        bool refuseHalftone, refuseColourTable;
        int refusedBitmap;
        std::vector<std::string> calls;
        int result;
        uint8_t red1;  // red of colour 1 afterwards
    };
    const Case cases[] = {
        {rle, 8, false, false, 0, {}, 1, ramp},
        {plain, 24, false, false, 0, {"table 16"}, 1, ramp},
        {rgb, 24, false, false, 0, {"table 0"}, 1, kept},
        {rgb, 8, false, false, 0, {"halftone"}, 1, halftone},
        {plain, 24, false, true, 0, {"table 16"}, 0, ramp},
        {rgb, 8, true, false, 0, {"halftone"}, 0, kept},
        {rle, 24, false, false, 1, {}, 0, ramp},
        {rgb, 8, false, false, 1, {"halftone"}, 0, halftone},
    };
    int n = 0;
    for (const Case& c : cases) {
        RefusingCanvas canvas(c.screen);
        canvas.pixels.assign(8, 7);  // the previous picture
        canvas.bitmapInfo.colours[1].red = kept;
        canvas.refuseHalftone = c.refuseHalftone;
        canvas.refuseColourTable = c.refuseColourTable;
        canvas.refusedBitmap = c.refusedBitmap;
        const auto bytes = c.file.bytes();
        EXPECT_EQ(loadBmpPicture(bytes.data(), bytes.size(), canvas), c.result) << n;
        EXPECT_EQ(canvas.paletteCalls, c.calls) << n;
        EXPECT_EQ(canvas.hasBitmap(), c.result == 1) << n;
        EXPECT_EQ(canvas.pictureWidth, uint32_t(c.file.width)) << n;
        EXPECT_EQ(canvas.bitmapInfo.colours[1].red, c.red1) << n;
        ++n;
    }
}
