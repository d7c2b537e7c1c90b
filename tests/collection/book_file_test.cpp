// Reading a whole book file: a synthetic program with a collection appended.
#include "book_file.h"
#include "collection_bytes.h"
#include "synthetic_pe.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> bookBytes(const TestCollection& c, SyntheticPe pe = SyntheticPe()) {
    std::vector<uint8_t> file = buildSyntheticPe(pe);
    std::vector<uint8_t> collection = collectionBytes(c);
    file.insert(file.end(), collection.begin(), collection.end());
    return file;
}

TestCollection ninePages() {
    TestCollection c;
    c.title = "春の本";
    for (int i = 0; i < 9; ++i) c.pictures.push_back({0xFF, 0xD8, uint8_t(i), uint8_t(i * 3)});
    return c;
}

}  // namespace

TEST(BookFile, ReadsEveryPage) {
    TempFolder folder;
    TestCollection c = ninePages();
    writeBytes(folder.file("book.exe"), bookBytes(c));
    Book book;
    std::string error;
    ASSERT_TRUE(readBookFile(folder.file("book.exe"), book, error)) << error;
    EXPECT_EQ(book.collectionStart, 0x400u);
    EXPECT_EQ(book.header.title, c.title);
    EXPECT_EQ(book.header.settings.entryCount, 9u);
    ASSERT_EQ(book.completeEntries, 9u);
    for (size_t i = 0; i < 9; ++i) EXPECT_EQ(book.entries[i].data, c.pictures[i]);
}

TEST(BookFile, CollectionBehindALeftoverStringTable) {
    TempFolder folder;
    SyntheticPe pe;
    pe.symbolTable = 0x400;
    pe.stringTableLength = 14;
    writeBytes(folder.file("book.exe"), bookBytes(ninePages(), pe));
    Book book;
    std::string error;
    ASSERT_TRUE(readBookFile(folder.file("book.exe"), book, error)) << error;
    EXPECT_EQ(book.collectionStart, 0x400u + 14);
    EXPECT_EQ(book.completeEntries, 9u);
}

TEST(BookFile, ProgramWithNothingAppended) {
    TempFolder folder;
    writeBytes(folder.file("viewer.exe"), buildSyntheticPe());
    Book book;
    std::string error;
    EXPECT_FALSE(readBookFile(folder.file("viewer.exe"), book, error));
    EXPECT_EQ(error, "not a picture book: nothing appended to the program");
}

TEST(BookFile, NotAProgramOrMissing) {
    TempFolder folder;
    writeBytes(folder.file("plain.jpg"), {0xFF, 0xD8, 0xFF, 0xD9});
    Book book;
    std::string error;
    EXPECT_FALSE(readBookFile(folder.file("plain.jpg"), book, error));
    EXPECT_NE(error.find("not a 32-bit Windows program"), std::string::npos) << error;
    EXPECT_FALSE(readBookFile(folder.file("missing.exe"), book, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

// 春の本, C and L take 7 + 2 + 2 bytes, the settings 24; each page is 4 + 4 bytes.
constexpr size_t kHeaderEnd = 0x400 + 11 + 24;

TEST(BookFile, CutInsideTheHeaderOrPageOneIsRefused) {
    TempFolder folder;
    std::vector<uint8_t> whole = bookBytes(ninePages());
    for (size_t cut : {size_t(0x401), size_t(0x400 + 12), kHeaderEnd - 1, kHeaderEnd + 7, kHeaderEnd + 8}) {
        writeBytes(folder.file("cut.exe"), std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
        Book book;
        std::string error;
        EXPECT_FALSE(readBookFile(folder.file("cut.exe"), book, error)) << "cut at " << cut;
        EXPECT_EQ(error.rfind("truncated: ", 0), 0u) << error;
    }
}

TEST(BookFile, CutInsidePageFiveKeepsPagesOneToFour) {
    TempFolder folder;
    std::vector<uint8_t> whole = bookBytes(ninePages());
    size_t cut = kHeaderEnd + 4 * 8 + 4 + 2;  // two bytes of page 5
    writeBytes(folder.file("cut.exe"), std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
    Book book;
    std::string error;
    ASSERT_TRUE(readBookFile(folder.file("cut.exe"), book, error)) << error;
    EXPECT_EQ(book.completeEntries, 4u);
    EXPECT_EQ(book.entries[3].data, ninePages().pictures[3]);
    EXPECT_EQ(book.entries[4].data, std::vector<uint8_t>({0xFF, 0xD8}));
    EXPECT_EQ(book.entries[4].formatTag, FormatTag::None);
    EXPECT_TRUE(book.entries[5].data.empty());
    EXPECT_TRUE(book.entries[8].data.empty());
}

TEST(BookFile, EntryCountZeroIsNotABook) {
    TempFolder folder;
    TestCollection c = ninePages();
    c.settings[5] = 0;
    writeBytes(folder.file("zero.exe"), bookBytes(c));
    Book book;
    std::string error;
    EXPECT_FALSE(readBookFile(folder.file("zero.exe"), book, error));
    EXPECT_NE(error.find("0 entries"), std::string::npos) << error;
}
