// `copyFile` and the file-error box as the user sees them: the messages, their caption, and
// what is left on disk.
#include <gtest/gtest.h>
#include <windows.h>

#include "copy_file.h"
#include "file.h"
#include "file_error.h"
#include "message_box_answer.h"
#include "scratch_folder.h"
#include "text.h"

namespace {

TEST(CopyFileMessages, CopiesTheWholeFileWithoutAMessage) {
    ScratchFolder folder;
    std::string contents(300000, 'e');
    ASSERT_TRUE(writeWholeFile(folder.file(L"viewer.exe"), contents));
    ASSERT_TRUE(writeWholeFile(folder.file(L"edm1.tmp"), ""));
    bool copied = false;
    AnsweredBox box = answerMessageBox(
        [&] { copied = copyFile(folder.file(L"viewer.exe"), folder.file(L"edm1.tmp"), nullptr); });
    EXPECT_TRUE(copied);
    EXPECT_FALSE(box.shown) << box.text.c_str();
    std::string copy;
    ASSERT_TRUE(readWholeFile(folder.file(L"edm1.tmp"), copy));
    EXPECT_EQ(copy, contents);
}

TEST(CopyFileMessages, MissingSourceIsToldWithItsPath) {
    ScratchFolder folder;
    ASSERT_TRUE(writeWholeFile(folder.file(L"edm2.tmp"), ""));
    const std::wstring from = folder.file(L"gone.exe");
    bool copied = true;
    AnsweredBox box = answerMessageBox([&] { copied = copyFile(from, folder.file(L"edm2.tmp"), nullptr); });
    EXPECT_FALSE(copied);
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.caption, L"エダミル");
    EXPECT_EQ(box.text, from + L"\nファイルが存在しません。");
}

TEST(CopyFileMessages, FailedCopyIsToldWithTheSourcePath) {
    ScratchFolder folder;
    const std::wstring from = folder.file(L"viewer.exe");
    ASSERT_TRUE(writeWholeFile(from, "program"));
    ASSERT_TRUE(writeWholeFile(folder.file(L"edm3.tmp"), ""));
    // Held open by someone who shares it with nobody, the target cannot be written.
    HANDLE held = CreateFileW(folder.file(L"edm3.tmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    bool copied = true;
    AnsweredBox box = answerMessageBox([&] { copied = copyFile(from, folder.file(L"edm3.tmp"), nullptr); });
    CloseHandle(held);
    EXPECT_FALSE(copied);
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.caption, L"エダミル");
    EXPECT_EQ(box.text, from + L"\nファイルのコピーに失敗しました。");
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
