// The commands that open the viewer's dialogs and write files: the comment box, the file list,
// restoring picture files beside the program and the wallpaper.
#include "remote_list_view.h"
#include "temp_folder_watch.h"
#include "viewer_test_base.h"

namespace {

const std::wstring kTitle = L"九枚の本";
const UINT kRestoreThis = 32774, kRestoreAll = 32780, kComment = 32781;
const UINT kWallpaperCentre = 32782, kWallpaperWhole = 32783, kAnyPage = 32791;
const UINT kListClose = 32790, kListJump = 32792;
const int kCommentText = 1006, kLinkText = 1007, kFileList = 1008;

std::wstring listCaption(const wchar_t* page, int seconds) {
    return std::wstring(page) + L"/1,234 " + kTitle + L" " + std::to_wstring(seconds) + L"秒";
}

class ViewerCommands : public ViewerTestBase {
protected:
    // Runs a command whose outcome is a message box; returns its text and closes it.
    std::wstring messageOf(HWND window, UINT command) {
        HWND box = commandOpensDialog(window, WM_COMMAND, command);
        if (box == nullptr) return L"<no message box>";
        EXPECT_EQ(windowCaption(box), L"エダミル");
        std::wstring text = messageBoxText(box);
        endDialog(box);
        return text;
    }
};

TEST_F(ViewerCommands, CommentBoxShowsTheCollectionsTexts) {
    HWND window = open(L"nine.exe");
    ASSERT_NE(window, nullptr);
    HWND box = commandOpensDialog(window, WM_COMMAND, kComment);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(windowCaption(box), L"画像作者からのコメント");
    EXPECT_EQ(dialogItemText(box, kCommentText), L"コメント");
    EXPECT_EQ(dialogItemText(box, kLinkText), L"http://example.invalid/");
    endDialog(box);
    EXPECT_TRUE(viewer.running());
    closeWithEscape(window);
}

TEST_F(ViewerCommands, CommentBoxOfACommandLineFileHasNoTexts) {
    HWND window = open(L"bare.exe", booksFolder() + L"page4-grey.jpg");
    ASSERT_NE(window, nullptr);
    HWND box = commandOpensDialog(window, WM_COMMAND, kComment);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(dialogItemText(box, kCommentText), L"(なし)");
    EXPECT_EQ(dialogItemText(box, kLinkText), L"(なし)");
    endDialog(box);
    closeWithEscape(window);
}

TEST_F(ViewerCommands, CommentBoxOpensByItselfWhenTheBookAsks) {
    HWND window = open(L"commented.exe");
    ASSERT_NE(window, nullptr);
    HWND box = viewer.waitForOtherDialog(window, kWaitMs);
    ASSERT_NE(box, nullptr) << "no comment box at start";
    EXPECT_EQ(GetWindow(box, GW_OWNER), window);
    EXPECT_EQ(windowCaption(box), L"画像作者からのコメント");
    EXPECT_EQ(dialogItemText(box, kCommentText), L"コメント");
    endDialog(box);
    // Once only. The start timer fires every 100 ms until it is killed: left running, it would
    // open another box within a period or two, so a watch of 250 ms is long enough.
    EXPECT_EQ(viewer.waitForOtherDialog(window, 250), nullptr);
    closeWithEscape(window);
}

class FileList : public ViewerTestBase {
protected:
    // Opens the 1,234-page book and waits until every entry is read.
    HWND openList() {
        HWND window = open(L"list.exe");
        if (window == nullptr) return nullptr;
        EXPECT_EQ(windowCaption(window), listCaption(L"1", 30));
        return window;
    }

    HWND openFileList(HWND window) {
        HWND dialog = commandOpensDialog(window, WM_COMMAND, kAnyPage);
        if (dialog != nullptr) {
            EXPECT_EQ(windowCaption(dialog), L"画像ファイル一覧");
        }
        return dialog;
    }

    // Waits until the countdown has left the full interval, so that a restart shows.
    static bool countdownRunning(HWND window, const wchar_t* page) {
        return waitForCaption(window, listCaption(page, 29), kWaitMs);
    }
};

// Selects a row as a click on it would; the list view is in the viewer's process.
void selectRow(HWND list, int row) {
    RemoteListView view(list);
    RECT rect = view.rowRect(row);
    const LPARAM at = MAKELPARAM(15, (rect.top + rect.bottom) / 2);  // in the serial number column
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
}

TEST_F(FileList, ListsEveryEntryWithGroupedNumbersAndJumpsToTheChosenPage) {
    HWND window = openList();
    ASSERT_NE(window, nullptr);
    HWND dialog = openFileList(window);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, kFileList);
    RemoteListView view(list);
    ASSERT_EQ(view.rowCount(), 1234);
    EXPECT_EQ(view.text(0, 0), L"1");
    EXPECT_EQ(view.text(0, 1), L"1,338");
    EXPECT_EQ(view.text(0, 2), L"JPG");
    EXPECT_EQ(view.text(1, 1), L"12,345");
    EXPECT_EQ(view.text(1, 2), L"");
    EXPECT_EQ(view.text(1233, 0), L"1,234");
    EXPECT_EQ(view.selectedRow(), 0);
    selectRow(list, 6);
    settle(dialog);
    ASSERT_EQ(view.selectedRow(), 6);
    endDialog(dialog, kListJump);
    ASSERT_TRUE(waitForCaption(window, listCaption(L"7", 30), kWaitMs));

    // Opened on page 7, row 7 is selected and in view; the jump shows page 7 again, which starts
    // the countdown afresh.
    ASSERT_TRUE(countdownRunning(window, L"7"));
    dialog = openFileList(window);
    ASSERT_NE(dialog, nullptr);
    RemoteListView again(GetDlgItem(dialog, kFileList));
    EXPECT_EQ(again.selectedRow(), 6);
    EXPECT_LE(again.topRow(), 6);
    endDialog(dialog, kListJump);
    EXPECT_TRUE(waitForCaption(window, listCaption(L"7", 30), kWaitMs));

    // A double-click on the first serial number shows page 1.
    dialog = openFileList(window);
    ASSERT_NE(dialog, nullptr);
    list = GetDlgItem(dialog, kFileList);
    RECT first = RemoteListView(list).rowRect(0);
    const LPARAM at = MAKELPARAM(15, (first.top + first.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(waitForHidden(dialog));
    EXPECT_TRUE(waitForCaption(window, listCaption(L"1", 30), kWaitMs));
    closeWithEscape(window);
}

TEST_F(FileList, ClosingTheListChangesNothing) {
    HWND window = openList();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(countdownRunning(window, L"1"));
    HWND dialog = openFileList(window);
    ASSERT_NE(dialog, nullptr);
    selectRow(GetDlgItem(dialog, kFileList), 4);
    endDialog(dialog, kListClose);
    settle(window);
    dialog = openFileList(window);
    ASSERT_NE(dialog, nullptr);
    postKey(dialog, VK_ESCAPE);
    EXPECT_TRUE(waitForHidden(dialog));
    settle(window);
    // Still page 1, and the countdown was not started again.
    const std::wstring now = windowCaption(window);
    EXPECT_EQ(now.rfind(L"1/1,234 " + kTitle + L" ", 0), 0u);
    EXPECT_NE(now, listCaption(L"1", 30));
    closeWithEscape(window);
}

TEST_F(ViewerCommands, RestoringWritesThePictureFilesBesideTheProgram) {
    HWND window = openCopy(L"nine.exe");
    ASSERT_NE(window, nullptr);
    const std::string picture = readFileBytes(booksFolder() + L"page4-grey.jpg");
    ASSERT_FALSE(picture.empty());
    PostMessageW(window, WM_COMMAND, 32777, 0);
    ASSERT_TRUE(waitForCaption(window, L"2/9 " + kTitle, kWaitMs));
    const std::wstring success = folders.work() + L"\nに画像ファイルを作成しました。";
    EXPECT_EQ(messageOf(window, kRestoreThis), success);
    EXPECT_EQ(readFileBytes(folders.work() + kTitle + L"2.JPG"), picture);
    EXPECT_EQ(countFiles(folders.work() + L"*.JPG"), 1);
    EXPECT_EQ(messageOf(window, kRestoreAll), success);
    EXPECT_EQ(countFiles(folders.work() + L"*.JPG"), 9);
    for (int page = 1; page <= 9; ++page)
        EXPECT_EQ(readFileBytes(folders.work() + kTitle + std::to_wstring(page) + L".JPG"), picture) << page;
    closeWithEscape(window);
}

TEST_F(ViewerCommands, RestoringUnderATitleThatLeavesTheFolderFails) {
    HWND window = openCopy(L"escaping.exe", L"inner\\");  // title "..\x"
    ASSERT_NE(window, nullptr);
    const std::wstring failure = L"画像ファイルの作成に失敗しました。";
    EXPECT_EQ(messageOf(window, kRestoreThis), failure);
    EXPECT_EQ(messageOf(window, kRestoreAll), failure);
    EXPECT_EQ(countFiles(folders.work() + L"x*"), 0) << "a file was written outside the program's folder";
    EXPECT_EQ(countFiles(folders.work() + L"inner\\*.JPG"), 0);
    closeWithEscape(window);
}

// Text values under the current user's "Control Panel\Desktop" (the viewer runs in the same prefix).
std::wstring desktopValue(const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return L"<no key>";
    wchar_t value[520] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    LONG read = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_SZ ? value : L"<none>";
}

void setDesktopValue(const wchar_t* name, const wchar_t* value) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

uint32_t le32(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
    return v;
}

TEST_F(ViewerCommands, WallpaperCommandsWriteTheFileAndTheDesktopValues) {
    HWND window = openCopy(L"nine.exe");
    ASSERT_NE(window, nullptr);
    RECT client = {};
    GetClientRect(window, &client);
    const std::wstring file = folders.work() + kTitle + L".BMP";
    for (const wchar_t* name : {L"TileWallpaper", L"WallpaperOriginX", L"WallpaperOriginY", L"WallpaperStyle"})
        setDesktopValue(name, L"7");
    struct Case {
        UINT command;
        const wchar_t* tile;
    } cases[] = {{kWallpaperWhole, L"1"}, {kWallpaperCentre, L"0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.command);
        DeleteFileW(file.c_str());
        PostMessageW(window, WM_COMMAND, c.command, 0);
        settle(window);
        EXPECT_EQ(viewer.waitForOtherDialog(window, 0), nullptr) << "a message box appeared";
        const std::string bytes = readFileBytes(file);
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        EXPECT_EQ(le32(bytes, 18), static_cast<uint32_t>(client.right));  // the picture as shown
        EXPECT_EQ(le32(bytes, 22), static_cast<uint32_t>(client.bottom));
        EXPECT_EQ(desktopValue(L"TileWallpaper"), c.tile);
        EXPECT_EQ(desktopValue(L"WallpaperOriginX"), L"0");
        EXPECT_EQ(desktopValue(L"WallpaperOriginY"), L"0");
        EXPECT_EQ(desktopValue(L"WallpaperStyle"), L"0");
        EXPECT_EQ(desktopValue(L"Wallpaper"), file);
    }
    closeWithEscape(window);
}

TEST_F(ViewerCommands, WallpaperOfABmpPageIsTheStoredFile) {
    const std::wstring bmp = booksFolder() + L"page3-palette.bmp";
    HWND window = openCopy(L"bare.exe", L"", bmp);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, kWallpaperCentre, 0);
    settle(window);
    EXPECT_EQ(readFileBytes(folders.work() + L"page3-palette.BMP"), readFileBytes(bmp));
    closeWithEscape(window);
}

}  // namespace
