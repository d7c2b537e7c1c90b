// The viewer's start as a user sees it: which collection it loads from where, its caption, the
// temporary copy of itself, and how it ends when there is nothing to show.
#include <gtest/gtest.h>

#include <thread>

#include "temp_folder_watch.h"
#include "test_folders.h"
#include "viewer_process.h"
#include "viewer_window.h"

namespace {

// The title the fixtures give both books, as the caption shows it on page 1.
const wchar_t kNineCaption[] = L"1/9 九枚の本";
const wchar_t kOneCaption[] = L"1/1 九枚の本";
const wchar_t kTemplateCaption[] = L"異常事態発生！";
const DWORD kStartTimeoutMs = 10000;

class ViewerStart : public ::testing::Test {
protected:
    std::wstring book(const wchar_t* name) const { return booksFolder() + name; }

    // Starts a program with the test's own temporary folder.
    void start(const std::wstring& program, const std::wstring& arguments = L"") {
        ASSERT_GT(fileSize(program), 0u) << "missing: the fixture that makes it did not run";
        ASSERT_TRUE(viewer.start({program, arguments, folders.temp()}));
    }

    // Starts a program and waits for its main window; null when none shows in time.
    HWND startShowing(const std::wstring& program, const std::wstring& arguments = L"") {
        start(program, arguments);
        return viewer.waitForMainWindow(kStartTimeoutMs);
    }

    // Ends a viewer that shows its window the way Escape does.
    void closeWithEscape(HWND window) {
        postKey(window, VK_ESCAPE);
        EXPECT_TRUE(viewer.waitForExit(5000)) << "Escape did not end the viewer";
    }

    // Runs a program that is expected to end by itself without showing any window.
    void expectSilentEnd() {
        std::wstring seen;
        ASSERT_TRUE(viewer.waitForExitWatchingWindows(kStartTimeoutMs, seen)) << "the viewer did not end";
        EXPECT_EQ(seen, L"") << "a window (or message box) appeared";
    }

    TestFolders folders;
    ViewerProcess viewer;
};

TEST_F(ViewerStart, BookOfNinePagesHoldsOneCopyUntilTheDeferredPass) {
    TempFolderWatch copies(folders.temp(), L"edm*.tmp");
    HWND window = startShowing(book(L"nine.exe"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowCaption(window), kNineCaption);
    EXPECT_TRUE(copies.waitForCount(0, kStartTimeoutMs)) << "the temporary copy was not deleted";
    EXPECT_TRUE(settle(window));  // the deferred pass has ended
    EXPECT_EQ(copies.maximum(), 1);
    EXPECT_EQ(copies.count(), 0);
    EXPECT_EQ(countFiles(folders.temp() + L"*"), 0) << "something else was left in the temporary folder";
    EXPECT_TRUE(viewer.running());
    EXPECT_EQ(windowCaption(window), kNineCaption);
    closeWithEscape(window);
}

TEST_F(ViewerStart, BookOfOnePageHasNoCopyOnceItIsShown) {
    TempFolderWatch copies(folders.temp(), L"edm*.tmp");
    HWND window = startShowing(book(L"one.exe"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(copies.count(), 0);
    EXPECT_LE(copies.maximum(), 1);
    EXPECT_EQ(windowCaption(window), kOneCaption);
    closeWithEscape(window);
    EXPECT_EQ(countFiles(folders.temp() + L"*"), 0);
}

TEST_F(ViewerStart, SignedBookShowsLikeTheUnsignedOne) {
    // The certificate table behind the collection is not read.
    if (fileSize(book(L"signed.exe")) == 0) GTEST_SKIP() << "no signed.exe: osslsigncode or openssl is not installed";
    ASSERT_GT(fileSize(book(L"signed.exe")), fileSize(book(L"one.exe")));
    HWND window = startShowing(book(L"signed.exe"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowCaption(window), kOneCaption);
    closeWithEscape(window);
}

TEST_F(ViewerStart, EnterDoesNothingAndEscapeCloses) {
    HWND window = startShowing(book(L"one.exe"));
    ASSERT_NE(window, nullptr);
    postKey(window, VK_RETURN);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(settle(window)) << "Enter ended the viewer";  // both handled, the window still there
    EXPECT_TRUE(viewer.running());
    closeWithEscape(window);
}

TEST_F(ViewerStart, ClosedBeforeTheDeferredPassLeavesNoCopy) {
    TempFolderWatch copies(folders.temp(), L"edm*.tmp");
    HWND window = startShowing(book(L"nine.exe"));
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);  // at once, before the 100 ms timer
    ASSERT_TRUE(viewer.waitForExit(5000));
    EXPECT_EQ(copies.count(), 0);
}

TEST_F(ViewerStart, BookCutInsideItsFirstPageEndsSilentlyWithoutCopy) {
    // nine.exe and one.exe carry the same texts, so their difference is eight page records.
    const uint64_t bare = fileSize(book(L"bare.exe"));
    const uint64_t one = fileSize(book(L"one.exe"));
    const uint64_t nine = fileSize(book(L"nine.exe"));
    ASSERT_TRUE(bare > 0 && one > bare && nine > one);
    const uint64_t record = (nine - one) / 8;  // 4-byte size and the picture
    const uint64_t header = one - bare - record;
    const std::wstring cut = folders.work() + L"cut.exe";
    ASSERT_TRUE(copyFilePrefix(book(L"nine.exe"), cut, bare + header + 4 + (record - 4) / 2));

    TempFolderWatch copies(folders.temp(), L"edm*.tmp");
    start(cut);
    expectSilentEnd();
    EXPECT_EQ(copies.count(), 0);
    EXPECT_EQ(countFiles(folders.temp() + L"*"), 0);
}

TEST_F(ViewerStart, BookCutInsideItsHeaderEndsSilentlyWithoutCopy) {
    const uint64_t bare = fileSize(book(L"bare.exe"));
    const std::wstring cut = folders.work() + L"cut.exe";
    ASSERT_TRUE(copyFilePrefix(book(L"nine.exe"), cut, bare + 3));
    TempFolderWatch copies(folders.temp(), L"edm*.tmp");
    start(cut);
    expectSilentEnd();
    EXPECT_EQ(copies.count(), 0);
}

TEST_F(ViewerStart, ProgramWithNothingAppendedEndsAtOnce) {
    TempFolderWatch copies(folders.temp(), L"edm*.tmp");
    start(book(L"bare.exe"));
    expectSilentEnd();
    EXPECT_EQ(copies.maximum(), 0) << "no copy is needed to see that there is no collection";
}

// In quotes, as Explorer passes an opened file or several dropped ones: the first is shown.
class QuotedCommandLine : public ViewerStart {
protected:
    void expectShownFrom(const std::wstring& otherNames) {
        const std::wstring picture = folders.work() + L"a b.jpg";
        ASSERT_TRUE(writeWholeFile(picture, "\xFF\xD8\xFF\xD9"));
        HWND window = startShowing(book(L"bare.exe"), L"\"" + picture + L"\"" + otherNames);
        ASSERT_NE(window, nullptr) << "the quoted file was not opened";
        closeWithEscape(window);
    }
};

TEST_F(QuotedCommandLine, OnePath) { expectShownFrom(L""); }
TEST_F(QuotedCommandLine, SeveralPaths) { expectShownFrom(L" \"" + folders.work() + L"z.jpg\""); }

TEST_F(ViewerStart, CommandLineWithABlankIsOneName) {
    const std::wstring picture = folders.work() + L"a b.jpg";
    ASSERT_TRUE(writeWholeFile(picture, "\xFF\xD8\xFF\xD9"));
    HWND window = startShowing(book(L"bare.exe"), picture);
    ASSERT_NE(window, nullptr) << "the file was not found as one name";
    closeWithEscape(window);
}

TEST_F(ViewerStart, CommandLineFileKeepsTheTemplateCaptionAndNeedsNoCopy) {
    // The title "a.b" goes into the caption only once the page is shown.
    TempFolderWatch copies(folders.temp(), L"edm*.tmp");
    const std::wstring picture = folders.work() + L"a.b.jpg";
    ASSERT_TRUE(writeWholeFile(picture, "\xFF\xD8\xFF\xD9"));
    HWND window = startShowing(book(L"nine.exe"), picture);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(settle(window));
    EXPECT_EQ(windowCaption(window), kTemplateCaption);
    EXPECT_EQ(copies.maximum(), 0);
    closeWithEscape(window);
}

TEST_F(ViewerStart, MissingCommandLineFileEndsSilently) {
    start(book(L"nine.exe"), folders.work() + L"missing.jpg");
    expectSilentEnd();
}

TEST_F(ViewerStart, WildcardOnTheCommandLineFindsAFileButNotItsBytes) {
    // The lookup matches wildcards, the open does not: the load fails and the viewer ends.
    ASSERT_TRUE(writeWholeFile(folders.work() + L"page.jpg", "\xFF\xD8\xFF\xD9"));
    start(book(L"bare.exe"), folders.work() + L"*.jpg");
    expectSilentEnd();
}

// The program with `collection` appended, in the work folder.
std::wstring withCollection(const TestFolders& folders, const std::wstring& bare, const std::string& collection) {
    std::wstring path = folders.work() + L"made.exe";
    std::string program = readFileBytes(bare);
    if (program.empty() || !writeWholeFile(path, program + collection)) return L"";
    return path;
}

std::string le32(uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return bytes;
}

// A header with the texts T, C and L, the default settings and `entryCount` pages.
std::string header(uint32_t entryCount) {
    return std::string("T\0C\0L\0", 6) + le32(1) + le32(0xFFFFFFFFu) + le32(1) + le32(0xFFFFFFFFu) + le32(1) +
           le32(entryCount);
}

TEST_F(ViewerStart, AbsurdCollectionsEndSilentlyWithoutCopy) {
    const std::string picture = "\xFF\xD8\xFF\xD9";
    const std::string absurd[] = {
        std::string(5000000, 'A'),                               // a title that never ends
        header(0xFFFFFFFFu) + le32(4) + picture,                 // more pages than bytes
        header(0),                                               // no pages at all
        header(2) + le32(0xFFFFFFF0u) + picture + le32(4) + picture,  // page 1 larger than the file
        header(1) + le32(5) + picture,                           // page 1 one byte short
    };
    for (const std::string& collection : absurd) {
        SCOPED_TRACE(collection.size());
        std::wstring program = withCollection(folders, book(L"bare.exe"), collection);
        ASSERT_FALSE(program.empty());
        ViewerProcess run;
        ASSERT_TRUE(run.start({program, L"", folders.temp()}));
        std::wstring seen;
        ASSERT_TRUE(run.waitForExitWatchingWindows(kStartTimeoutMs, seen)) << "the viewer did not end";
        EXPECT_EQ(seen, L"");
        EXPECT_EQ(countFiles(folders.temp() + L"*"), 0);
    }
}

TEST_F(ViewerStart, SmallestCollectionShowsItsTitle) {
    // Page 1 may be empty: the collection is complete and the window opens.
    std::wstring program = withCollection(folders, book(L"bare.exe"), header(1) + le32(0));
    ASSERT_FALSE(program.empty());
    HWND window = startShowing(program);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowCaption(window), L"T");
    EXPECT_EQ(countFiles(folders.temp() + L"*"), 0);
    closeWithEscape(window);
}

TEST_F(ViewerStart, CommandLineFilesTooLargeToHoldEndSilently) {
    for (uint64_t size : {3000000000ull, 5000000123ull}) {  // beyond the address space; beyond 32 bits
        const std::wstring picture = folders.work() + L"huge.jpg";
        if (!makeSparseFile(picture, size)) GTEST_SKIP() << "the file system refuses sparse files";
        ViewerProcess run;
        ASSERT_TRUE(run.start({book(L"bare.exe"), picture, folders.temp()}));
        std::wstring seen;
        ASSERT_TRUE(run.waitForExitWatchingWindows(kStartTimeoutMs, seen)) << "the viewer did not end";
        EXPECT_EQ(seen, L"") << size;
    }
}

TEST_F(ViewerStart, MissingTemporaryFolderEndsSilently) {
    ASSERT_TRUE(viewer.start({book(L"nine.exe"), L"", folders.work() + L"missing\\"}));
    expectSilentEnd();
}

// Changes of the files in a folder: names, sizes and writes.
HANDLE watchFolder(const std::wstring& folder) {
    return FindFirstChangeNotificationW(
        folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
}

// Opens a file for reading as others may share it, deleting included.
HANDLE openSharingAll(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

// The first temporary file that appears in `folder`, once it holds `size` bytes and nothing
// else has it open for writing, held open by `open`. INVALID_HANDLE_VALUE when none turned up in
// time, or when the copy went before `open` could hold it. The copy lives about 100 ms:
// `changes` (watchFolder of `folder`, made before the copy can appear) wakes this at each change,
// and while a copy of the full size is still open for writing, whose closing no notification
// marks, it looks every millisecond.
HANDLE holdCompleteCopy(HANDLE changes, const std::wstring& folder, uint64_t size, std::wstring& path,
                        HANDLE (*open)(const std::wstring&)) {
    const DWORD kTimeoutMs = 10000;
    const DWORD startTime = GetTickCount();
    bool seenComplete = false;
    for (;;) {
        bool complete = false;
        WIN32_FIND_DATAW data;
        HANDLE search = FindFirstFileW((folder + L"edm*.tmp").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE && seenComplete) return INVALID_HANDLE_VALUE;
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
            path = folder + data.cFileName;
            complete = fileSize(path) == size;
            seenComplete = seenComplete || complete;
            if (complete) {
                HANDLE held = open(path);
                if (held != INVALID_HANDLE_VALUE) return held;
            }
        }
        const DWORD waited = GetTickCount() - startTime;
        if (waited >= kTimeoutMs) return INVALID_HANDLE_VALUE;
        WaitForSingleObject(changes, complete ? 1 : kTimeoutMs - waited);
        FindNextChangeNotification(changes);
    }
}

// Someone who holds the copy for 300 ms, sharing it fully, as a virus scanner might: the viewer
// goes on, no box, and the copy goes all the same.
TEST_F(ViewerStart, CopyHeldForAMomentGoesWithoutABox) {
    TempFolderWatch copies(folders.temp(), L"edm*.tmp");
    HANDLE changes = watchFolder(folders.temp());
    ASSERT_NE(changes, INVALID_HANDLE_VALUE);
    start(book(L"nine.exe"));
    std::wstring copy;
    HANDLE held = holdCompleteCopy(changes, folders.temp(), fileSize(book(L"nine.exe")), copy, openSharingAll);
    FindCloseChangeNotification(changes);
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << "the temporary copy was not seen in time";
    std::thread releaser([held] {
        Sleep(300);
        CloseHandle(held);
    });
    HWND window = viewer.waitForMainWindow(kStartTimeoutMs);
    releaser.join();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(copies.waitForCount(0, kStartTimeoutMs)) << "the temporary copy was left behind";
    EXPECT_TRUE(settle(window));
    EXPECT_EQ(viewer.waitForOtherDialog(window, 0), nullptr) << "a box was shown";
    EXPECT_EQ(windowCaption(window), kNineCaption);
    closeWithEscape(window);
}

// A holder that came before the viewer opened the copy and does not share deletion refuses it
// for good: the box names the copy, and the viewer goes on. The viewer opens the copy for
// deletion moments after it is written, and a hold that comes later must share deletion; the
// start is tried again until the hold comes first.
TEST_F(ViewerStart, RefusedDeleteOfTheCopyIsReportedAndTheViewerGoesOn) {
    std::wstring copy;
    HANDLE held = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 5 && held == INVALID_HANDLE_VALUE; ++attempt) {
        HANDLE changes = watchFolder(folders.temp());
        ASSERT_NE(changes, INVALID_HANDLE_VALUE);
        start(book(L"nine.exe"));
        held = holdCompleteCopy(changes, folders.temp(), fileSize(book(L"nine.exe")), copy, openWithoutDeleteSharing);
        FindCloseChangeNotification(changes);
        if (held != INVALID_HANDLE_VALUE) break;
        HWND window = viewer.waitForMainWindow(kStartTimeoutMs);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(waitForNoFiles(folders.temp() + L"edm*.tmp", kStartTimeoutMs));
        closeWithEscape(window);
        viewer.terminate();  // lets go of the ended process's handles before the next start
    }
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << "the temporary copy was never held in time";
    HWND window = viewer.waitForMainWindow(kStartTimeoutMs);
    ASSERT_NE(window, nullptr);
    HWND box = viewer.waitForOtherDialog(window, kStartTimeoutMs);
    ASSERT_NE(box, nullptr) << "no file-error box";
    EXPECT_EQ(windowCaption(box), L"エダミル");
    std::wstring text = messageBoxText(box);
    EXPECT_EQ(_wcsnicmp(text.c_str(), (copy + L"\n").c_str(), copy.size() + 1), 0) << text;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitForHidden(box, kStartTimeoutMs));
    EXPECT_TRUE(settle(window));
    EXPECT_TRUE(viewer.running());
    EXPECT_EQ(windowCaption(window), kNineCaption);
    CloseHandle(held);
    closeWithEscape(window);
}

// Run by a CTest test of its own with WINE_LANG=en_US.UTF-8: Wine gives the driver the code
// page 1252, and the viewer it starts inherits it.
class ViewerStartUnderForeignCodePage : public ViewerStart {};

TEST_F(ViewerStartUnderForeignCodePage, JapaneseTitleIsRight) {
    ASSERT_NE(GetACP(), 932u) << "this test needs a non-Japanese code page (WINE_LANG=en_US.UTF-8)";
    TempFolderWatch copies(folders.temp(), L"edm*.tmp");
    HWND window = startShowing(book(L"nine.exe"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowCaption(window), kNineCaption);
    EXPECT_TRUE(copies.waitForCount(0, 5000));
    closeWithEscape(window);
}

}  // namespace
