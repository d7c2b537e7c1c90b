// The tool's output on Windows: UTF-16 into a console, the bytes untouched anywhere else, and the
// console's code pages as they were. The tests make a console of their own: under Wine a test
// started without a terminal has none that text can be read back from.
#include "console_output.h"
#include "synthetic_pe.h"
#include "temp_folder.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

namespace {

class ConsoleOutput : public ::testing::Test {
protected:
    void SetUp() override {
        FreeConsole();
        ASSERT_TRUE(AllocConsole()) << "no console for the test: error " << GetLastError();
        console_ = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(isConsole(console_));
        clearScreen();
    }
    void TearDown() override {
        if (console_ != INVALID_HANDLE_VALUE) CloseHandle(console_);
        FreeConsole();
    }

    void clearScreen() {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(console_, &info);
        DWORD written = 0;
        FillConsoleOutputCharacterW(console_, L' ', DWORD(info.dwSize.X) * DWORD(info.dwSize.Y), {0, 0}, &written);
        SetConsoleCursorPosition(console_, {0, 0});
    }

    // The screen's rows up to the cursor, each without its trailing spaces.
    std::vector<std::wstring> screenRows() {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(console_, &info);
        std::vector<std::wstring> rows;
        for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
            std::wstring row(size_t(info.dwSize.X), L' ');
            DWORD read = 0;
            ReadConsoleOutputCharacterW(console_, &row[0], DWORD(row.size()), {0, y}, &read);
            row.resize(row.find_last_not_of(L' ') + 1);
            rows.push_back(row);
        }
        return rows;
    }

    HANDLE console_ = INVALID_HANDLE_VALUE;
};

}  // namespace

// The same UTF-8, written in pieces that cut characters, reaches a console as exactly these
// characters and stays untouched bytes in the stream for every handle that is no console.
TEST_F(ConsoleOutput, EachHandleGetsTheTextItsWay) {
    HANDLE pipeRead = nullptr, pipeWrite = nullptr;
    ASSERT_TRUE(CreatePipe(&pipeRead, &pipeWrite, nullptr, 0));
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    HANDLE file = CreateFileW((std::wstring(folder) + L"edamiru-console-route.txt").c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    const struct {
        const char* name;
        HANDLE handle;
        bool console;
    } cases[] = {{"console", console_, true}, {"pipe", pipeWrite, false}, {"file", file, false},
                 {"NUL", nul, false},         {"none", INVALID_HANDLE_VALUE, false}, {"null", nullptr, false}};
    const std::string pieces[] = {"\xE6\x98", "\xA5\xE3\x81\xAE\xE6\x9C\xAC page 1" /* 春の本 cut after 2 bytes */,
                                  "\n", "\xE8\xA1\xA8\xE7\xA4\xBA\xE3" /* 表示 and a character never finished */};
    for (const auto& c : cases) {
        clearScreen();
        std::ostringstream stream;
        {
            ConsoleRoute route(stream, c.handle);
            stream.write(pieces[0].data(), std::streamsize(pieces[0].size())).flush() << pieces[1];
            stream.put('\n') << pieces[3];
        }
        if (c.console) {
            EXPECT_EQ(stream.str(), "") << c.name;
            EXPECT_EQ(screenRows(), std::vector<std::wstring>({L"\x6625\x306E\x672C page 1", L"\x8868\x793A\xFFFD"}));
        } else {
            EXPECT_EQ(stream.str(), pieces[0] + pieces[1] + "\n" + pieces[3]) << c.name;
            EXPECT_EQ(screenRows(), std::vector<std::wstring>({L""})) << c.name;
        }
    }
    DWORD waiting = 1;
    EXPECT_TRUE(PeekNamedPipe(pipeRead, nullptr, 0, nullptr, &waiting, nullptr));
    EXPECT_EQ(waiting, 0u);  // nothing went round the stream
    for (HANDLE h : {pipeRead, pipeWrite, file, nul}) CloseHandle(h);
}

// The whole tool on a console: a Japanese title on standard output and a Japanese path in an error
// on standard error read right, and the console's code pages are the same afterwards.
TEST_F(ConsoleOutput, ToolWritesJapaneseAndLeavesTheCodePagesAlone) {
    TempFolder folder;
    writeBytes(folder.file("viewer.exe"), buildSyntheticPe());
    writeBytes(folder.file("p.bmp"), {0x42, 0x4D});
    std::string book = folder.file("book.exe");
    ASSERT_EQ(runBookTool({"make", "--viewer", folder.file("viewer.exe"), "--out", book, "--as-is", "--title",
                           u8"春の本", folder.file("p.bmp")}).status, 0);
    UINT outputPage = GetConsoleOutputCP(), inputPage = GetConsoleCP();
    HANDLE oldOut = GetStdHandle(STD_OUTPUT_HANDLE), oldErr = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, console_);
    SetStdHandle(STD_ERROR_HANDLE, console_);
    std::string missing = folder.path().u8string() + u8"\\無い本.exe";
    std::vector<char*> listBook{const_cast<char*>("edamiru-book"), const_cast<char*>("list"), &book[0], nullptr};
    std::vector<char*> listMissing{const_cast<char*>("edamiru-book"), const_cast<char*>("list"), &missing[0], nullptr};
    int listed = runToolOnStandardHandles(3, listBook.data());
    int failed = runToolOnStandardHandles(3, listMissing.data());
    SetStdHandle(STD_OUTPUT_HANDLE, oldOut);
    SetStdHandle(STD_ERROR_HANDLE, oldErr);
    EXPECT_EQ(listed, 0);
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(GetConsoleOutputCP(), outputPage);
    EXPECT_EQ(GetConsoleCP(), inputPage);
    std::wstring screen;
    for (const std::wstring& row : screenRows()) screen += row + L"\n";
    EXPECT_NE(screen.find(L"title:       \x6625\x306E\x672C\n"), std::wstring::npos);  // 春の本
    EXPECT_NE(screen.find(L"\x7121\x3044\x672C.exe"), std::wstring::npos);  // 無い本.exe
}
