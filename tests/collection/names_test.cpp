// Names from paths and titles: single-file titles, page numbers, extracted file names and which
// titles may stand in a file name. String literals are Shift-JIS (the build's execution charset).
#include "collection.h"

#include <gtest/gtest.h>

TEST(ShiftJisLiterals, AreCompiledAsCodePage932) {
    ASSERT_STREQ("表", "\x95\x5C");
}

TEST(SingleFileTitle, CutsFolderAndLastExtension) {
    EXPECT_EQ(singleFileTitle("C:\\pics\\a.b.jpg"), "a.b");
    EXPECT_EQ(singleFileTitle("a.b.jpg"), "a.b");
    EXPECT_EQ(singleFileTitle("C:\\pics\\noext"), "");
    EXPECT_EQ(singleFileTitle("C:\\pics.d\\noext"), "");  // a dot in the folder does not count
    EXPECT_EQ(singleFileTitle("C:\\pics\\.jpg"), "");
    EXPECT_EQ(singleFileTitle(""), "");
    EXPECT_EQ(singleFileTitle("C:\\pics\\"), "");
}

TEST(SingleFileTitle, TrailByte5CIsNotASeparator) {
    EXPECT_EQ(singleFileTitle("C:\\絵\\図表.jpg"), "図表");
    EXPECT_EQ(singleFileTitle("表\\表.bmp"), "表");
    EXPECT_EQ(singleFileTitle("C:\\本\\表示.jpeg"), "表示");
    // 0x95 0x2E is no valid pair: the dot stays a dot
    EXPECT_EQ(singleFileTitle("x\\\x95.jpg"), "\x95");
}

TEST(FormatNumber, GroupsOfThree) {
    EXPECT_EQ(formatNumber(0), "0");
    EXPECT_EQ(formatNumber(999), "999");
    EXPECT_EQ(formatNumber(1000), "1,000");
    EXPECT_EQ(formatNumber(123456), "123,456");
    EXPECT_EQ(formatNumber(1234567), "1,234,567");
    EXPECT_EQ(formatNumber(4294967295u), "4,294,967,295");
}

TEST(FolderOfPath, PlainByteSearchKeepsTheBackslash) {
    EXPECT_EQ(folderOfPath("C:\\books\\book.exe"), "C:\\books\\");
    EXPECT_EQ(folderOfPath("book.exe"), "");
    // A plain byte search: the trail byte of 表 counts as a backslash here.
    EXPECT_EQ(folderOfPath("C:\\表.exe"), "C:\\\x95\x5C");
}

TEST(ExtractedFileName, PadsToTheWidthOfTheLastPage) {
    EXPECT_EQ(extractedFileName("T", 3, 9, FormatTag::Jpg), "T3.JPG");
    EXPECT_EQ(extractedFileName("T", 3, 12, FormatTag::Jpg), "T03.JPG");
    EXPECT_EQ(extractedFileName("T", 12, 12, FormatTag::Jpg), "T12.JPG");
    EXPECT_EQ(extractedFileName("T", 5, 1000, FormatTag::Bmp), "T00005.BMP");
    EXPECT_EQ(extractedFileName("T", 1000, 1000, FormatTag::Bmp), "T1,000.BMP");
    EXPECT_EQ(extractedFileName("T", 1234, 1000000, FormatTag::Jpg), "T00001,234.JPG");
    EXPECT_EQ(extractedFileName("T", 4294967295u, 4294967295u, FormatTag::Jpg), "T4,294,967,295.JPG");
    EXPECT_EQ(extractedFileName("T", 12, 9, FormatTag::Jpg), "T12.JPG");  // beyond the count: no padding
    EXPECT_EQ(extractedFileName("T", 3, 9, FormatTag::None), "T3.");
    EXPECT_EQ(extractedFileName("", 1, 10, FormatTag::Jpg), "01.JPG");
    EXPECT_EQ(extractedFileName("春の本", 1, 1, FormatTag::Bmp), "春の本1.BMP");
}

TEST(TitleIsSafeFileStem, RefusesSeparatorsAndParent) {
    for (const char* bad : {"a\\b", "a/b", "c:x", "..", "x\\..\\y", "/", "\\", ":", "\x95/"}) {
        EXPECT_FALSE(titleIsSafeFileStem(bad)) << bad;
    }
    for (const char* good : {"春の本", "a..b", "表", "表示ソ", "", ".", "...", "T", "COMIC", "COM", "CON", "NUL"}) {
        EXPECT_TRUE(titleIsSafeFileStem(good)) << good;
    }
}

// The names the viewer and the tool may write: devices by the part before the first dot, and the
// characters Windows forbids, taken as whole Shift-JIS characters (a trail byte may be '\' or '|').
TEST(FileNameIsSafe, RefusesDevicesAndForbiddenCharacters) {
    const struct {
        const char* name;
        bool device, safe;
    } cases[] = {
        {"COM1.JPG", true, false},  {"com9", true, false},       {"LPT3.BMP", true, false},
        {"NUL.x1.JPG", true, false}, {"nul .BMP", true, false},  {"CON.BMP", true, false},
        {"CONOUT$.JPG", true, false}, {"COM.BMP", false, true},  {"COM12.JPG", false, true},
        {"COM0.JPG", false, true},  {"NULL.BMP", false, true},   {"春の本1.BMP", false, true},
        {"\x95\x5C" "1.JPG", false, true},  // 表: its trail byte is '\'
        {"\x83\x7C" "1.JPG", false, true},  // ポ: its trail byte is '|'
        {"a*1.JPG", false, false},  {"a?1.JPG", false, false},   {"a|1.JPG", false, false},
        {"a\"1.JPG", false, false}, {"a<1.JPG", false, false},  {"a\x01.BMP", false, false},
        {".", false, false},        {"..", false, false},        {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(namesWindowsDevice(c.name), c.device) << c.name;
        EXPECT_EQ(fileNameIsSafe(c.name), c.safe) << c.name;
    }
}
