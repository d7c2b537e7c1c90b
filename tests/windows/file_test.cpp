// The file object: reads report what arrived, seeks and lengths are 64-bit, and a failing
// write or delete reaches the file-error reporter.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>
#include <vector>

#include "file.h"
#include "file_error.h"
#include "memory_view.h"
#include "scratch_folder.h"

namespace {

// Records the file errors of one test instead of showing message boxes.
class FileErrors : public ::testing::Test {
protected:
    void SetUp() override {
        seen().clear();
        previous_ = setFileErrorReporter(&FileErrors::record);
    }
    void TearDown() override { setFileErrorReporter(previous_); }
    static std::vector<FileError>& seen() {
        static std::vector<FileError> errors;
        return errors;
    }
    static void record(const FileError& error) { seen().push_back(error); }

    // A file of the scratch folder holding `bytes`; its path.
    std::wstring fileWith(const wchar_t* name, const std::string& bytes) {
        const std::wstring path = folder.file(name);
        EXPECT_TRUE(writeWholeFile(path, bytes)) << "the test's file cannot be written";
        return path;
    }

    ScratchFolder folder;

private:
    FileErrorReporter previous_ = nullptr;
};

using FileObject = FileErrors;

TEST_F(FileObject, ReadsReportTheBytesDeliveredAndSeekFromTheStart) {
    const std::wstring path = fileWith(L"ten.bin", "0123456789");
    File file;
    ASSERT_TRUE(file.openRead(path));
    EXPECT_EQ(file.length(), 10u);
    char buffer[16] = {};
    EXPECT_EQ(file.read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.position(), 4u);
    EXPECT_EQ(file.read(buffer, 16), 6u);  // only what is left
    EXPECT_EQ(file.read(buffer, 1), 0u);
    ASSERT_TRUE(file.seek(8));
    EXPECT_EQ(file.read(buffer, 4), 2u);
    EXPECT_EQ(std::string(buffer, 2), "89");
    ASSERT_TRUE(file.seek(100));  // beyond the end: reads deliver nothing
    EXPECT_EQ(file.read(buffer, 4), 0u);
    EXPECT_TRUE(seen().empty());
}

TEST_F(FileObject, KnowsItsFullPathUntilClosed) {
    const std::wstring path = fileWith(L"x.bin", "x");
    File file;
    ASSERT_TRUE(file.openRead(path));
    EXPECT_EQ(file.fullPath(), path);
    file.close();
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.fullPath(), L"");
    char c;
    EXPECT_EQ(file.read(&c, 1), 0u);
}

TEST_F(FileObject, OpeningAMissingFileFailsQuietly) {
    File file;
    EXPECT_FALSE(file.openRead(folder.file(L"missing.bin")));
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(seen().empty());
}

TEST_F(FileObject, CreateTruncatesAndWritesEverything) {
    const std::wstring path = fileWith(L"out.bin", "old and long contents");
    {
        File file;
        ASSERT_TRUE(file.createWrite(path));
        ASSERT_TRUE(file.write("new", 3));
    }
    std::string bytes;
    ASSERT_TRUE(readWholeFile(path, bytes));
    EXPECT_EQ(bytes, "new");
    EXPECT_TRUE(seen().empty());
}

TEST_F(FileErrors, FailingWriteIsReportedWithPathAndSystemError) {
    const std::wstring path = fileWith(L"readonly.bin", "abc");
    File file;
    ASSERT_TRUE(file.openRead(path));  // a read handle cannot write
    EXPECT_FALSE(file.write("z", 1));
    ASSERT_EQ(seen().size(), 1u);
    EXPECT_EQ(seen()[0].operation, FileOperation::Write);
    EXPECT_EQ(seen()[0].path, path);
    EXPECT_NE(seen()[0].systemError, 0u);
}

TEST_F(FileErrors, FailingDeleteIsReportedAndTheFileStays) {
    EXPECT_FALSE(File::remove(folder.file(L"missing.bin")));
    ASSERT_EQ(seen().size(), 1u);
    EXPECT_EQ(seen()[0].operation, FileOperation::Remove);
    EXPECT_EQ(seen()[0].path, folder.file(L"missing.bin"));
    EXPECT_EQ(seen()[0].systemError, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));

    // Open for reading (without delete sharing), the file cannot be deleted; closed, it can.
    const std::wstring path = fileWith(L"busy.bin", "abc");
    File file;
    ASSERT_TRUE(file.openRead(path));
    EXPECT_FALSE(File::remove(path));
    EXPECT_EQ(seen().size(), 2u);
    file.close();
    EXPECT_TRUE(File::remove(path));
    EXPECT_EQ(seen().size(), 2u);
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A second handle on `path` that is let go of 300 ms from now, as a virus scanner would.
void holdBriefly(const std::wstring& path, DWORD share, std::thread& releaser) {
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(held, INVALID_HANDLE_VALUE);
    releaser = std::thread([held] {
        Sleep(300);
        CloseHandle(held);
    });
}

// Held by someone for a moment, a temporary file goes all the same: deleted by the system when
// the holder shares deletion (and so came after us), deleted on the retries when the holder came
// first without sharing it.
TEST_F(FileErrors, BrieflyHeldTemporaryFileGoesWithoutAnError) {
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    for (bool holderFirst : {false, true}) {
        const std::wstring path = fileWith(L"edm6.tmp", "copy");
        std::thread releaser;
        if (holderFirst) holdBriefly(path, FILE_SHARE_READ | FILE_SHARE_WRITE, releaser);
        File file;
        ASSERT_TRUE(file.openReadDeletingOnClose(path));
        EXPECT_EQ(file.deletesOnClose(), !holderFirst);
        char byte = 0;
        EXPECT_EQ(file.read(&byte, 1), 1u);
        if (!holderFirst) holdBriefly(path, shareAll, releaser);
        file.close();
        if (holderFirst) {
            EXPECT_TRUE(File::remove(path, 10));
        }
        releaser.join();
        EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << holderFirst;
    }
    EXPECT_TRUE(seen().empty());
}

TEST_F(FileErrors, LastingHoldIsReportedOnceAfterTheTries) {
    const std::wstring path = fileWith(L"edm7.tmp", "copy");
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(File::remove(path, 3));
    CloseHandle(held);
    ASSERT_EQ(seen().size(), 1u);
    EXPECT_EQ(seen()[0].systemError, static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileErrors, ErrorTextStartsWithThePathOnItsOwnLine) {
    FileError error{FileOperation::Remove, L"C:\\x\\edm1A2B.tmp", ERROR_ACCESS_DENIED};
    std::wstring text = fileErrorText(error);
    EXPECT_EQ(text.rfind(L"C:\\x\\edm1A2B.tmp\n", 0), 0u);
    EXPECT_GT(text.size(), error.path.size() + 2);
}

TEST_F(FileObject, LengthAndSeekGoBeyondFourGigabytes) {
    // A sparse file of 5,000,000,123 bytes: its length does not fit in 32 bits.
    const std::wstring path = folder.file(L"big.bin");
    if (!makeSparseFile(path, 5000000123ull)) GTEST_SKIP() << "the file system refuses a sparse 5 GB file";
    File file;
    ASSERT_TRUE(file.openRead(path));
    EXPECT_EQ(file.length(), 5000000123ull);
    ASSERT_TRUE(file.seek(5000000120ull));
    char buffer[8];
    EXPECT_EQ(file.read(buffer, 8), 3u);
}

TEST(MemoryView, ReadsBorrowedBytesWithoutOwningThem) {
    const uint8_t bytes[] = {'B', 'M', 1, 2, 3};
    MemoryView view(bytes, sizeof bytes);
    uint8_t buffer[8];
    EXPECT_EQ(view.read(buffer, 2), 2u);
    EXPECT_EQ(buffer[1], 'M');
    EXPECT_EQ(view.read(buffer, 8), 3u);
    EXPECT_EQ(view.read(buffer, 8), 0u);
    EXPECT_TRUE(view.seek(0));
    EXPECT_FALSE(view.seek(6));
    EXPECT_EQ(view.position(), 0u);
    EXPECT_EQ(view.data(), bytes);
    MemoryView empty(nullptr, 10);  // no bytes, whatever size is claimed
    EXPECT_EQ(empty.length(), 0u);
    EXPECT_EQ(empty.read(buffer, 1), 0u);
}

}  // namespace
