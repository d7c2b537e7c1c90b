// Shift-JIS <-> UTF-16 conversions, and the locale the tests run under.
#include <gtest/gtest.h>
#include <windows.h>

#include "text.h"

namespace {

TEST(ShiftJisText, RoundTripsDoubleByteCharactersWithBackslashTrailBytes) {
    // 表 and ソ end in the byte 0x5C, the backslash of single-byte text.
    const std::string bytes = "\x95\x5C\x8E\xA6\x83\x5C";
    const std::wstring wide = L"\u8868\u793A\u30BD";
    EXPECT_EQ(toWide(bytes), wide);
    EXPECT_EQ(toShiftJis(wide), bytes);
}

TEST(ShiftJisText, RoundTripsHalfWidthKatakanaAndAscii) {
    const std::string bytes = "\x91\x53\xCC\xA7\xB2\xD9\x95\x9C\x8C\xB3(&G)";  // 全ﾌｧｲﾙ復元(&G)
    const std::wstring wide = L"\u5168\uFF8C\uFF67\uFF72\uFF99\u5FA9\u5143(&G)";
    EXPECT_EQ(toWide(bytes), wide);
    EXPECT_EQ(toShiftJis(wide), bytes);
}

TEST(ShiftJisText, LiteralsOfTheProgramAreShiftJis) {
    // The sources are compiled into code page 932: a literal is what the collection holds.
    EXPECT_EQ(std::string("異常事態発生！"), "\x88\xD9\x8F\xED\x8E\x96\x91\xD4\x94\xAD\x90\xB6\x81\x49");
    EXPECT_EQ(toWide("エダミル"), L"\u30A8\u30C0\u30DF\u30EB");
}

TEST(ShiftJisText, EmptyAndBrokenInputGiveNoCrash) {
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(toShiftJis(L""), "");
    // A lead byte with nothing after it stands for one replaced character.
    std::wstring cut = toWide("A\x95");
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0], L'A');
}

TEST(ShiftJisText, CharactersOutsideCodePage932BecomeQuestionMarks) {
    EXPECT_EQ(toShiftJis(L"a\u20ACb"), "a?b");  // the euro sign is not in code page 932
}

TEST(TestLocale, AnsiCodePageIs932) {
    // The Wine tests run with LANG=ja_JP.UTF-8; without the generated locale this is 1252 and
    // Japanese texts would be compared against the wrong code page.
    EXPECT_EQ(GetACP(), 932u);
}

}  // namespace
