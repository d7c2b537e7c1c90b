// Copying a file: the shell's copy, and `copyFile` with the file-error box as the user sees
// them (the messages, their caption, and what is left on disk).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "copy_file.h"
#include "file.h"
#include "file_error.h"
#include "message_box.h"
#include "message_box_answer.h"
#include "scratch_folder.h"
#include "shell_copy.h"
#include "text.h"

namespace {

using CopyRoad = std::function<bool(const std::wstring& from, const std::wstring& to)>;

// Copies `contents` with `copy` from a new file onto an existing, empty one; what the target
// then holds.
std::string copiedOverEmptyTarget(const std::string& contents, const CopyRoad& copy) {
    ScratchFolder folder;
    const std::wstring from = folder.file(L"from.exe"), to = folder.file(L"edm1.tmp");
    std::string copied = "(not copied)";
    if (writeWholeFile(from, contents) && writeWholeFile(to, "") && copy(from, to)) readWholeFile(to, copied);
    return copied;
}

// `copyFile` with its message box answered: whether it copied, and the box.
bool copyAnswered(const std::wstring& from, const std::wstring& to, AnsweredBox& box) {
    bool copied = false;
    box = answerMessageBox([&] { copied = copyFile(from, to, nullptr); });
    return copied;
}

// A box with the program's caption and `text`.
void expectProgramBox(const AnsweredBox& box, const std::wstring& text) {
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.caption, L"エダミル");
    EXPECT_EQ(box.text, text);
}

TEST(ShellCopy, OverwritesTheExistingTargetWithTheWholeFile) {
    std::string contents(70000, '\0');
    for (size_t i = 0; i < contents.size(); ++i) contents[i] = static_cast<char>(i * 7);
    const CopyRoad shell = [](const std::wstring& from, const std::wstring& to) {
        return shellCopy(from, to) == ShellCopyResult::Copied;
    };
    EXPECT_EQ(copiedOverEmptyTarget(contents, shell), contents);
}

TEST(ShellCopy, MissingSourceIsNotACopy) {
    ScratchFolder folder;
    ASSERT_TRUE(writeWholeFile(folder.file(L"edm2.tmp"), ""));
    EXPECT_NE(shellCopy(folder.file(L"missing.exe"), folder.file(L"edm2.tmp")), ShellCopyResult::Copied);
}

TEST(CopyFileMessages, CopiesTheWholeFileWithoutAMessage) {
    const std::string contents(300000, 'e');
    AnsweredBox box;
    const CopyRoad withMessages = [&](const std::wstring& from, const std::wstring& to) {
        return copyAnswered(from, to, box);
    };
    EXPECT_EQ(copiedOverEmptyTarget(contents, withMessages), contents);
    EXPECT_FALSE(box.shown) << box.text.c_str();
}

TEST(CopyFileMessages, MissingSourceIsToldWithItsPath) {
    ScratchFolder folder;
    ASSERT_TRUE(writeWholeFile(folder.file(L"edm2.tmp"), ""));
    const std::wstring from = folder.file(L"gone.exe");
    AnsweredBox box;
    EXPECT_FALSE(copyAnswered(from, folder.file(L"edm2.tmp"), box));
    expectProgramBox(box, from + L"\nファイルが存在しません。");
}

TEST(CopyFileMessages, FailedCopyIsToldWithTheSourcePath) {
    ScratchFolder folder;
    const std::wstring from = folder.file(L"viewer.exe");
    ASSERT_TRUE(writeWholeFile(from, "program"));
    ASSERT_TRUE(writeWholeFile(folder.file(L"edm3.tmp"), ""));
    // Held open by someone who shares it with nobody, the target cannot be written.
    HANDLE held = CreateFileW(folder.file(L"edm3.tmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    AnsweredBox box;
    const bool copied = copyAnswered(from, folder.file(L"edm3.tmp"), box);
    CloseHandle(held);
    EXPECT_FALSE(copied);
    expectProgramBox(box, from + L"\nファイルのコピーに失敗しました。");
}

TEST(FileErrorBox, RefusedDeleteShowsThePathAndGoesOn) {
    ScratchFolder folder;
    const std::wstring path = folder.file(L"edm4.tmp");
    ASSERT_TRUE(writeWholeFile(path, "copy"));
    File open;
    ASSERT_TRUE(open.openRead(path));
    FileErrorReporter previous = setFileErrorReporter(nullptr);  // the standard box
    bool removed = true;
    AnsweredBox box = answerMessageBox([&] { removed = File::remove(path); });
    setFileErrorReporter(previous);
    EXPECT_FALSE(removed);
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.caption, L"エダミル");
    EXPECT_EQ(box.text.rfind(path + L"\n" + toWide("ファイルを削除できませんでした。"), 0), 0u) << box.text.c_str();
}

// Two top-level windows, a hidden one and one shown in front, on a thread of their own that
// keeps answering their messages (a box owned by one sends it some).
class TwoWindows {
public:
    TwoWindows() {
        thread_ = std::thread([this] {
            threadId_ = GetCurrentThreadId();
            hidden = plainWindow(false);
            shown = plainWindow(true);
            SetForegroundWindow(shown);
            ready_ = true;
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
            DestroyWindow(shown);
            DestroyWindow(hidden);
        });
        while (!ready_) Sleep(1);
    }
    ~TwoWindows() {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND hidden = nullptr, shown = nullptr;

private:
    static HWND plainWindow(bool visible) {
        return CreateWindowExW(0, L"STATIC", L"", WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
    }
    std::thread thread_;
    std::atomic<bool> ready_{false};
    DWORD threadId_ = 0;
};

// While another window is in front, the file-error box raised where no window is active (another
// thread here) is owned by the main window. Boxes come to the foreground while the main window
// is hidden (start-up) and, once it shows, stay owned by it without taking the foreground.
TEST(FileErrorBox, IsOwnedByTheMainWindowAndComesForwardWhileItIsHidden) {
    TwoWindows windows;
    const HWND main = windows.hidden, front = windows.shown;
    setMainWindow(main);
    const FileError error{FileOperation::Remove, L"C:\\edm5.tmp", ERROR_SHARING_VIOLATION};
    const AnsweredBox box = answerMessageBox([&] { showFileErrorBox(error); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.owner, main);

    const struct {
        HWND asked;
        bool mainShown;
        HWND owner;
        bool toFront;
    } cases[] = {{nullptr, false, main, true}, {nullptr, true, main, false}, {front, true, front, false}};
    for (const auto& c : cases) {
        ShowWindow(main, c.mainShown ? SW_SHOWNA : SW_HIDE);
        const MessageBoxSetting setting = messageBoxSetting(c.asked);
        EXPECT_EQ(setting.owner, c.owner);
        EXPECT_EQ((setting.flags & MB_SETFOREGROUND) != 0, c.toFront) << c.mainShown;
        EXPECT_EQ(setting.flags & ~MB_SETFOREGROUND, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
    setMainWindow(nullptr);
    EXPECT_NE(messageBoxSetting(nullptr).flags & MB_SETFOREGROUND, 0u);  // no owner at all
}

}  // namespace
