// The collection reader's view of the temporary copy: buffered reads that still deliver
// exactly what the file holds, counts of what remains, and the file left where reading stopped.
#include <gtest/gtest.h>

#include "collection_start.h"
#include "file_byte_source.h"
#include "scratch_folder.h"

namespace {

std::string numberedBytes(size_t count) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((i * 131) >> 3);
    return bytes;
}

class FileByteSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        contents = numberedBytes(200000);  // more than three buffers
        ASSERT_TRUE(writeWholeFile(folder.file(L"copy.tmp"), contents));
        ASSERT_TRUE(file.openRead(folder.file(L"copy.tmp")));
    }
    ScratchFolder folder;
    std::string contents;
    File file;
};

TEST_F(FileByteSourceTest, SmallAndLargeReadsDeliverTheFileInOrder) {
    FileByteSource source(file);
    std::string got;
    char byte;
    for (int i = 0; i < 70000; ++i) {  // one byte at a time across a buffer boundary
        ASSERT_EQ(source.read(&byte, 1), 1u);
        got.push_back(byte);
    }
    std::string large(100000, '\0');  // larger than the buffer, partly served from it
    ASSERT_EQ(source.read(&large[0], 100000), 100000u);
    got += large;
    EXPECT_EQ(source.remaining(), 30000u);
    std::string rest(40000, '\0');
    EXPECT_EQ(source.read(&rest[0], 40000), 30000u);  // only what is left
    got += rest.substr(0, 30000);
    EXPECT_EQ(got, contents);
    EXPECT_EQ(source.remaining(), 0u);
    EXPECT_EQ(source.read(&byte, 1), 0u);
}

TEST_F(FileByteSourceTest, RemainingCountsFromWhereTheReaderIsNotWhereTheFileIs) {
    ASSERT_TRUE(file.seek(1000));
    FileByteSource source(file);
    EXPECT_EQ(source.remaining(), 199000u);
    char byte;
    source.read(&byte, 1);
    EXPECT_EQ(source.remaining(), 198999u);
}

TEST_F(FileByteSourceTest, FileIsLeftJustBehindTheLastByteRead) {
    {
        FileByteSource first(file);
        char bytes[10];
        ASSERT_EQ(first.read(bytes, 10), 10u);
    }
    EXPECT_EQ(file.position(), 10u);
    // A later pass (the deferred one) carries on from there.
    FileByteSource second(file);
    char byte;
    ASSERT_EQ(second.read(&byte, 1), 1u);
    EXPECT_EQ(byte, contents[10]);
}

TEST(CollectionStartTest, PresentOnlyWhenTheFileIsStrictlyLonger) {
    CollectionStart start;
    start.high = 0;
    start.low = 0x3E000;
    FoundFile file;
    file.sizeLow = 0x3E000;
    EXPECT_FALSE(collectionFollows(file, start));
    file.sizeLow = 0x3E001;
    EXPECT_TRUE(collectionFollows(file, start));
    // The comparison is 64-bit: a file of 4 GiB + 1 byte is longer although its low half is 1.
    file.sizeHigh = 1;
    file.sizeLow = 1;
    EXPECT_TRUE(collectionFollows(file, start));
    start.high = 2;
    EXPECT_FALSE(collectionFollows(file, start));
}

TEST(CollectionStartTest, ReadFromTheRunningProgramsHeaders) {
    CollectionStart start;
    ASSERT_TRUE(ownCollectionStart(start));
    EXPECT_EQ(start.high, 0u);
    EXPECT_GT(start.low, 0x1000u);  // behind the headers and at least one section
    // This test program is not stripped: its symbols lie behind the sections and are counted
    // only as far as the mapped headers tell. It can never end behind the file itself.
    FoundFile self;
    ASSERT_TRUE(findFile(ownProgramPath(), self));
    EXPECT_LE(start.offset(), self.size());
}

}  // namespace
