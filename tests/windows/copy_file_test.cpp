// Copying a file: the shell's copy, and `copyFile` with the file-error box as the user sees
// them (the messages, their caption, and what is left on disk).
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "copy_file.h"
#include "file.h"
#include "file_error.h"
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

}  // namespace
