// make with pictures of every kind a publisher has: what the viewer shows right is stored as it
// is, the rest converted into pages that show upright with their pixels kept where they can be;
// check names pages that would not show; --from, folders and refusals.
#include <gtest/gtest.h>

#include <stb_image_write.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "book_file.h"
#include "image/bitmap_rows.h"
#include "image/rle.h"
#include "image/rle_encoder.h"
#include "image/show_entry.h"
#include "image/shown_picture.h"
#include "library_pictures.h"
#include "picture_inputs.h"
#include "synthetic_pe.h"
#include "temp_folder.h"
#include "tool_runner.h"

#ifdef EDAMIRU_HAVE_LIBJPEG
#include <cstdio>
#include <jpeglib.h>
#endif

namespace {

const uint32_t kWidth = 40, kHeight = 30;

// Four colours in unequal quadrants, so a turned or mirrored picture never looks the same.
uint32_t patternColour(uint32_t x, uint32_t y) {
    static const uint32_t kColours[4] = {0xE02010, 0x20C040, 0x2040E0, 0xF0F0F0};
    return kColours[(x < 12 ? 0 : 1) + (y < 9 ? 0 : 2)];
}

std::vector<uint8_t> patternRgba() {
    std::vector<uint8_t> rgba;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) {
            const uint32_t c = patternColour(x, y);
            rgba.insert(rgba.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255});
        }
    return rgba;
}

void append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

std::vector<uint8_t> png() {
    std::vector<uint8_t> file;
    const std::vector<uint8_t> rgba = patternRgba();
    stbi_write_png_to_func(append, &file, kWidth, kHeight, 4, rgba.data(), kWidth * 4);
    return file;
}

std::vector<uint8_t> jpeg() {
    std::vector<uint8_t> file;
    const std::vector<uint8_t> rgba = patternRgba();
    stbi_write_jpg_to_func(append, &file, kWidth, kHeight, 4, rgba.data(), 90);
    return file;
}

// The pattern stored turned a quarter to the left, with an EXIF segment (orientation 6) saying
// it is to be shown turned a quarter to the right: upright, it is the pattern.
std::vector<uint8_t> turnedJpeg() {
    std::vector<uint8_t> stored;
    for (uint32_t y = 0; y < kWidth; ++y)
        for (uint32_t x = 0; x < kHeight; ++x) {
            const uint32_t c = patternColour(kWidth - 1 - y, x);
            stored.insert(stored.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255});
        }
    std::vector<uint8_t> file;
    stbi_write_jpg_to_func(append, &file, kHeight, kWidth, 4, stored.data(), 90);
    const std::vector<uint8_t> exif = {0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8,
                                       0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 6, 0, 0, 0, 0, 0, 0};
    file.insert(file.begin() + 2, exif.begin(), exif.end());
    return file;
}

// A BMP of the pattern: 24 bits with a header of `headerSize` bytes, rows bottom-up or top-down,
// or 16 bits of 5-6-5 bit fields.
std::vector<uint8_t> bmp(uint32_t headerSize, bool topDown, bool bitFields565 = false) {
    const uint32_t bits = bitFields565 ? 16 : 24, pitch = (kWidth * bits / 8 + 3) / 4 * 4;
    const uint32_t masks = bitFields565 ? 12 : 0, offset = 14 + headerSize + masks;
    std::vector<uint8_t> f(offset + pitch * kHeight, 0);
    auto put = [&f](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) f[at + i] = uint8_t(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put(2, uint32_t(f.size()), 4);
    put(10, offset, 4);
    put(14, headerSize, 4);
    put(18, kWidth, 4);
    put(22, topDown ? uint32_t(-int32_t(kHeight)) : kHeight, 4);
    put(26, 1, 2);
    put(28, bits, 2);
    put(30, bitFields565 ? 3 : 0, 4);
    if (bitFields565) {
        put(14 + headerSize, 0xF800, 4);
        put(18 + headerSize, 0x07E0, 4);
        put(22 + headerSize, 0x001F, 4);
    }
    for (uint32_t y = 0; y < kHeight; ++y) {
        const uint32_t row = topDown ? y : kHeight - 1 - y;
        for (uint32_t x = 0; x < kWidth; ++x) {
            const uint32_t c = patternColour(x, y);
            const size_t at = offset + size_t(row) * pitch + x * bits / 8;
            if (bitFields565) {
                put(at, ((c >> 19) & 31) << 11 | ((c >> 10) & 63) << 5 | ((c >> 3) & 31), 2);
            } else {
                put(at, c, 3);
            }
        }
    }
    return f;
}

#ifdef EDAMIRU_HAVE_LIBJPEG
std::vector<uint8_t> arithmeticJpeg() {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    info.arith_code = TRUE;
    jpeg_start_compress(&info, TRUE);
    const std::vector<uint8_t> rgba = patternRgba();
    std::vector<uint8_t> row(kWidth * 3);
    while (info.next_scanline < kHeight) {
        for (uint32_t x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) row[3 * x + c] = rgba[(info.next_scanline * kWidth + x) * 4 + c];
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> file(out, out + size);
    jpeg_destroy_compress(&info);
    free(out);
    return file;
}
#endif

// A page as the viewer shows it on a true-colour screen: 0xRRGGBB, top row first.
std::vector<uint32_t> shownPixels(const std::vector<uint8_t>& page, int depth, uint32_t& width, uint32_t& height) {
    ShownPicture shown(depth);
    std::vector<uint32_t> pixels;
    if (showEntry(page.data(), page.size(), shown) != 1) return pixels;
    width = shown.pictureWidth;
    height = shown.pictureHeight;
    BitmapRows rows(shown.bitmapInfo, shown.pixels.data(), shown.pitch(), {width, height});
    if (!rows.open()) return pixels;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = rows.row(y);
        for (uint32_t x = 0; x < width; ++x)
            pixels.push_back(uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x]);
    }
    return pixels;
}

int largestChannelDifference(uint32_t a, uint32_t b) {
    int largest = 0;
    for (int s = 0; s < 24; s += 8) largest = std::max(largest, std::abs(int((a >> s) & 255) - int((b >> s) & 255)));
    return largest;
}

class BookConversion : public ::testing::Test {
protected:
    void SetUp() override {
        viewer = folder.file("viewer.exe");
        writeBytes(viewer, buildSyntheticPe());
    }
    std::string picture(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = folder.file(name);
        writeBytes(path, bytes);
        return path;
    }
    ToolResult make(const std::string& out, std::vector<std::string> rest) {
        std::vector<std::string> args{"make", "--viewer", viewer, "--out", out};
        args.insert(args.end(), rest.begin(), rest.end());
        return runBookTool(args);
    }
    Book read(const std::string& path) {
        Book book;
        std::string error;
        EXPECT_TRUE(readBookFile(path, book, error)) << error;
        return book;
    }
    TempFolder folder;
    std::string viewer;
};

TEST_F(BookConversion, EveryPageShowsUprightAndKeepsItsPixelsWhereItCan) {
    struct Page {
        const char* name;
        std::vector<uint8_t> bytes;
        bool exactPixels, storedAsIs;
    };
    std::vector<Page> pages = {
        {"a.png", png(), true, false},
        {"b124.bmp", bmp(124, false), true, false},
        {"c-top-down.bmp", bmp(40, true), true, false},
        {"d565.bmp", bmp(40, false, true), false, false},  // 5-6-5 kept as read, within a step
        {"e-turned.jpg", turnedJpeg(), false, false},
        {"f.jpg", jpeg(), false, true},
    };
#ifdef EDAMIRU_HAVE_LIBJPEG
    pages.push_back({"g-arithmetic.jpg", arithmeticJpeg(), false, false});
#endif
    std::vector<std::string> paths;
    for (const Page& p : pages) paths.push_back(picture(p.name, p.bytes));
    const std::string out = folder.file("book.exe");
    const ToolResult made = make(out, paths);
    ASSERT_EQ(made.status, 0) << made.err;
    const Book book = read(out);
    ASSERT_EQ(book.completeEntries, pages.size());
    EXPECT_EQ(runBookTool({"check", out}).status, 0);
    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(pages[i].name);
        const std::vector<uint8_t>& stored = book.entries[i].data;
        EXPECT_EQ(stored == pages[i].bytes, pages[i].storedAsIs);
        EXPECT_EQ(made.out.find(pages[i].name) != std::string::npos, !pages[i].storedAsIs) << made.out;
        for (int depth : {24, 8}) {
            uint32_t w = 0, h = 0;
            const std::vector<uint32_t> shown = shownPixels(stored, depth, w, h);
            ASSERT_EQ(w, kWidth) << depth;
            ASSERT_EQ(h, kHeight) << depth;
            if (depth == 8) continue;  // dithered: the 24-bit picture is compared
            if (pages[i].exactPixels) {
                int largest = 0;
                for (uint32_t y = 0; y < h; ++y)
                    for (uint32_t x = 0; x < w; ++x)
                        largest = std::max(largest, largestChannelDifference(shown[y * w + x], patternColour(x, y)));
                EXPECT_EQ(largest, 0);
                continue;
            }
            // Lossy pages: each quadrant's colour in its place, away from the edges (a turned
            // or mirrored page puts other colours there).
            for (const auto& p : {std::make_pair(5u, 4u), std::make_pair(26u, 4u), std::make_pair(5u, 20u),
                                  std::make_pair(26u, 20u)}) {
                EXPECT_LE(largestChannelDifference(shown[p.second * w + p.first], patternColour(p.first, p.second)), 24)
                    << p.first << "," << p.second;
            }
        }
    }
}

TEST_F(BookConversion, AsIsStoresWhatCheckThenNames) {
    const std::string out = folder.file("as-is.exe");
    ASSERT_EQ(make(out, {"--as-is", picture("p.jpg", jpeg()), picture("q.png", png())}).status, 0);
    const ToolResult checked = runBookTool({"check", out});
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, "page 2: not shown: a PNG file\n");
}

TEST_F(BookConversion, FromKeepsTextsSettingsAndPagesAndOptionsOverride) {
    const std::string old = folder.file("old.exe"), moved = folder.file("new.exe");
    ASSERT_EQ(make(old, {"--title", "T", "--comment", "C", "--interval", "7", "--mouse", "2", picture("p.jpg", jpeg()),
                         picture("q.bmp", bmp(40, false))})
                  .status,
              0);
    ASSERT_EQ(make(moved, {"--from", old, "--comment", "D"}).status, 0);
    const Book a = read(old), b = read(moved);
    EXPECT_EQ(b.header.title, "T");
    EXPECT_EQ(b.header.comment, "D");
    EXPECT_EQ(b.header.settings.intervalSeconds, 7);
    EXPECT_EQ(b.header.settings.mouseMode, 2u);
    ASSERT_EQ(b.completeEntries, 2u);
    for (uint32_t i = 0; i < 2; ++i) EXPECT_EQ(b.entries[i].data, a.entries[i].data);
}

TEST_F(BookConversion, FitReducesOnlyLargerPictures) {
    const std::string out = folder.file("fit.exe");
    const std::vector<uint8_t> small = jpeg();
    ASSERT_EQ(make(out, {"--fit", "20x20", picture("a.bmp", bmp(40, false)), "--lossless"}).status, 0);
    ASSERT_EQ(make(folder.file("fit2.exe"), {"--fit", "40x30", picture("b.jpg", small)}).status, 0);
    uint32_t w = 0, h = 0;
    EXPECT_FALSE(shownPixels(read(out).entries[0].data, 24, w, h).empty());
    EXPECT_EQ(w, 20u);
    EXPECT_EQ(h, 15u);
    EXPECT_EQ(read(folder.file("fit2.exe")).entries[0].data, small);
    EXPECT_EQ(make(folder.file("x.exe"), {"--fit", "20", picture("c.jpg", small)}).status, 2);
}

TEST_F(BookConversion, FolderGivesItsPicturesInNaturalOrder) {
    std::filesystem::create_directory(folder.path() / "pages");
    const std::vector<uint8_t> two = jpeg(), ten = bmp(40, false);
    picture("pages/p10.jpg", ten);  // a BMP under a JPEG name: pictures are told by their bytes
    picture("pages/p2.jpg", two);
    picture("pages/notes.txt", {'h', 'i'});
    const std::string out = folder.file("folder.exe");
    ASSERT_EQ(make(out, {folder.file("pages")}).status, 0);
    const Book book = read(out);
    ASSERT_EQ(book.completeEntries, 2u);
    EXPECT_EQ(book.entries[0].data, two);
    EXPECT_EQ(book.entries[1].data, ten);
}

TEST_F(BookConversion, UnreadableInputIsRefusedWithNothingWritten) {
    const std::vector<std::vector<uint8_t>> unreadable = {
        {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', ' '},
        {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c'},
        {'h', 'e', 'l', 'l', 'o'},
    };
    const std::string out = folder.file("none.exe");
    for (const std::vector<uint8_t>& bytes : unreadable) {
        const ToolResult made = make(out, {picture("ok.jpg", jpeg()), picture("bad.bin", bytes)});
        EXPECT_EQ(made.status, 1);
        EXPECT_NE(made.err.find("page 2 ("), std::string::npos) << made.err;
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(out)));
    }
    EXPECT_EQ(make(out, {folder.file("missing.png")}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(out)));
}

TEST(NaturalOrder, NumbersByValueLettersWithoutCase) {
    const std::vector<std::string> sorted = {"a.jpg", "P1.jpg", "p2.jpg", "p02b.jpg", "p10.jpg", "p10a.jpg", "q.jpg"};
    for (size_t i = 0; i < sorted.size(); ++i)
        for (size_t j = 0; j < sorted.size(); ++j) {
            const int c = compareNaturally(sorted[i], sorted[j]);
            EXPECT_EQ(c < 0, i < j) << sorted[i] << " " << sorted[j];
            EXPECT_EQ(c == 0, i == j) << sorted[i] << " " << sorted[j];
        }
}

TEST(Rle8Encoding, ExpandsBackToTheSameIndexes) {
    const uint32_t width = 37, height = 5;
    const size_t pitch = 40;
    std::vector<uint8_t> indexes(pitch * height, 0);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) indexes[y * pitch + x] = uint8_t(y == 0 ? 7 : y == 1 ? x : (x / 3) * y);
    const std::vector<uint8_t> runs = encodeRle8(indexes.data(), pitch, width, height);
    std::vector<uint8_t> expanded(indexes.size(), 0);
    ASSERT_EQ(expandRle(kRle8, runs.data(), runs.size(), expanded.data(), expanded.size(), pitch), 1);
    EXPECT_EQ(expanded, indexes);
}

}  // namespace
