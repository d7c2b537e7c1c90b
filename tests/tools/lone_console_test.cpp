// When the tool's output goes to a message box, and how much of it.
#include "lone_console.h"
#include "message_box_answer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

TEST(LoneConsole, OnlyTheOneProcessOfAConsoleThatShowsItsOutputGetsABox) {
    EXPECT_TRUE(outputWantsMessageBox(1, true));    // started from Explorer
    EXPECT_FALSE(outputWantsMessageBox(2, true));   // started from a console window
    EXPECT_FALSE(outputWantsMessageBox(1, false));  // its output read through a pipe or a file
    EXPECT_FALSE(outputWantsMessageBox(0, false));  // no console at all
}

TEST(LoneConsole, TheBoxShowsTheLastLines) {
    struct Case {
        const char* text;
        size_t count;
        const char* shown;
    } cases[] = {
        {"wrote a.exe\n", 3, "wrote a.exe"},
        {"1\n2\n3\n", 3, "1\n2\n3"},
        {"1\n2\n3\n4\n5\n", 2, "(3 earlier lines left out)\n4\n5"},
        {"1\n2\n3", 1, "(2 earlier lines left out)\n3"},
    };
    for (const Case& c : cases) EXPECT_EQ(lastLines(c.text, c.count), c.shown) << c.text;
}

// A drop with no viewer beside the program (the test program's folder has none) fails, and the
// box says so as an error, captioned with the tool's name.
TEST(LoneConsole, TheBoxSaysWhatWentWrong) {
    wchar_t self[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::string dropped = std::filesystem::path(self).u8string();
    std::vector<char*> argv{const_cast<char*>("edamiru-book"), &dropped[0], nullptr};
    int status = -1;
    AnsweredBox box = answerMessageBox([&] { status = runToolWithMessageBox(2, argv.data()); });
    EXPECT_EQ(status, 1);
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.caption, L"edamiru-book");
    EXPECT_NE(box.text.find(L"edamiru.exe must be in the same folder as the tool"), std::wstring::npos)
        << box.text.c_str();
}
