// The tool's parts: setting numbers, Shift-JIS conversion and the collection writer.
#include "arguments.h"
#include "collection_writer.h"
#include "text_encoding.h"

#include <gtest/gtest.h>

TEST(ParseSetting, DecimalNegativeAndHexadecimal) {
    struct Case { const char* text; uint32_t value; } good[] = {
        {"0", 0}, {"1", 1}, {"4294967295", 0xFFFFFFFFu}, {"-1", 0xFFFFFFFFu}, {"-2147483648", 0x80000000u},
        {"0xFFFFFFFF", 0xFFFFFFFFu}, {"0x0", 0}, {"0Xab", 0xAB}, {"-0", 0}, {"007", 7},
    };
    for (const Case& c : good) {
        uint32_t v = 12345;
        EXPECT_TRUE(parseSetting(c.text, v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
    for (const char* bad : {"", "-", "0x", "0x100000000", "4294967296", "-2147483649", "12a", " 1", "+1", "1.5", "0x-1"}) {
        uint32_t v = 0;
        EXPECT_FALSE(parseSetting(bad, v)) << bad;
    }
}

TEST(ParsePage, FromOne) {
    uint32_t page = 0;
    EXPECT_TRUE(parsePage("4294967295", page));
    EXPECT_EQ(page, 0xFFFFFFFFu);
    for (const char* bad : {"0", "-1", "4294967296", "", "1,000", "0x10"}) EXPECT_FALSE(parsePage(bad, page)) << bad;
}

TEST(TextEncoding, RoundTripIncludingTrailByte5C) {
    ASSERT_STREQ(u8"表", "\xE8\xA1\xA8");  // u8 literals stay UTF-8 beside the Shift-JIS ones
    std::string sjis, back;
    ASSERT_TRUE(utf8ToShiftJis(u8"表示ソ能 ABC ｱｲｳ", sjis));
    EXPECT_EQ(sjis, "表示ソ能 ABC ｱｲｳ");  // this build's literals are Shift-JIS
    ASSERT_TRUE(shiftJisToUtf8(sjis, back));
    EXPECT_EQ(back, u8"表示ソ能 ABC ｱｲｳ");
    ASSERT_TRUE(utf8ToShiftJis("", sjis));
    EXPECT_EQ(sjis, "");
}

TEST(TextEncoding, RefusesWhatShiftJisCannotHold) {
    std::string sjis;
    EXPECT_FALSE(utf8ToShiftJis("\xE6\x9C\xAC\xF0\x9F\x98\x80"  /* 本 and an emoji in UTF-8 */, sjis));
    EXPECT_FALSE(utf8ToShiftJis("\xED\x95\x9C\xEA\xB5\xAD"  /* Hangul in UTF-8 */, sjis));
    EXPECT_FALSE(utf8ToShiftJis("\xC3", sjis));  // cut UTF-8
}

TEST(TextEncoding, InvalidShiftJisBecomesReplacementCharacters) {
    std::string utf8;
    EXPECT_FALSE(shiftJisToUtf8("A\x81", utf8));  // lead byte at the end
    EXPECT_EQ(utf8.compare(0, 1, "A"), 0);
    EXPECT_NE(utf8.find("\xEF\xBF\xBD"), std::string::npos);
}

TEST(CollectionWriter, TheExampleCollection) {
    CollectionHeader h;
    h.title = "T";
    h.comment = "C";
    h.linkText = "L";
    h.settings = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, -1, 1, 9};
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(collectionHeaderBytes(h, bytes));
    std::vector<uint8_t> expected{'T', 0, 'C', 0, 'L', 0};
    for (int i = 0; i < 16; ++i) expected.push_back(0xFF);
    expected.insert(expected.end(), {1, 0, 0, 0, 9, 0, 0, 0});
    EXPECT_EQ(bytes, expected);
    h.comment = std::string("a\0b", 3);
    EXPECT_FALSE(collectionHeaderBytes(h, bytes));
}

TEST(CollectionWriter, EntryRecord) {
    std::vector<uint8_t> record;
    ASSERT_TRUE(entryRecordBytes({0xFF, 0xD8, 0xFF}, record));
    EXPECT_EQ(record, std::vector<uint8_t>({3, 0, 0, 0, 0xFF, 0xD8, 0xFF}));
    ASSERT_TRUE(entryRecordBytes({}, record));
    EXPECT_EQ(record, std::vector<uint8_t>({0, 0, 0, 0}));
}
