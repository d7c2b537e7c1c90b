// The file list dialog as the reader meets it: rows, the marked page, and the results of the
// ways out. A helper thread plays the reader while the dialog runs modally on the test's thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "dialog_ids.h"
#include "file_list_dialog.h"
#include "resource.h"
#include "top_level_windows.h"

namespace {

// Runs the dialog; `reader` acts on the shown dialog from another thread. A dialog still open
// five seconds after the reader is done is cancelled, and the result is then -2.
INT_PTR runWithReader(FileListDialog& dialog, const std::function<void(HWND dialog, HWND list)>& reader) {
    std::atomic<bool> timedOut{false};
    std::thread helper([&] {
        HWND window = waitForVisibleWindow(GetCurrentProcessId(), kDialogClass, 5000);
        if (window == nullptr) return;
        reader(window, GetDlgItem(window, IDC_FILE_LIST));
        for (DWORD start = GetTickCount(); IsWindow(window) && IsWindowVisible(window); Sleep(10)) {
            if (GetTickCount() - start > 5000) {
                timedOut = true;
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                break;
            }
        }
    });
    INT_PTR result = dialog.runModal();
    helper.join();
    return timedOut ? -2 : result;
}

std::wstring cellText(HWND list, int row, int column) {
    wchar_t text[128] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

int selectedRow(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void selectRow(HWND list, int row) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// Double-clicks the serial number of `row` (column 0, where the list view hits the row).
void doubleClickRow(HWND list, int row) {
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
    LPARAM point = MAKELPARAM(15, (bounds.top + bounds.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
}

std::vector<CollectionEntry> makeEntries(uint32_t count) {
    std::vector<CollectionEntry> entries(count);
    for (uint32_t i = 0; i < count; ++i) {
        entries[i].data.resize(12345 + i);
        entries[i].formatTag = i % 2 == 0 ? FormatTag::Jpg : FormatTag::Bmp;
    }
    return entries;
}

class FileListTest : public ::testing::Test {
protected:
    void open(uint32_t count, uint32_t page) {
        entries = makeEntries(count);
        dialog.entryCount = count;
        dialog.currentPage = page;
        dialog.entries = entries.data();
    }
    std::vector<CollectionEntry> entries;
    FileListDialog dialog;
};

TEST_F(FileListTest, RowsCarrySerialNumberSizeAndFormatWithSeparators) {
    open(1234, 7);
    entries[1233].data.resize(1234567);
    entries[1].formatTag = FormatTag::None;
    int rows = 0;
    std::wstring first[3], second[3], last[3];
    INT_PTR result = runWithReader(dialog, [&](HWND window, HWND list) {
        rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int c = 0; c < 3; ++c) {
            first[c] = cellText(list, 0, c);
            second[c] = cellText(list, 1, c);
            last[c] = cellText(list, 1233, c);
        }
        PostMessageW(window, WM_COMMAND, ID_LIST_CLOSE, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(rows, 1234);
    EXPECT_EQ(first[0], L"1");
    EXPECT_EQ(first[1], L"12,345");
    EXPECT_EQ(first[2], L"JPG");
    EXPECT_EQ(second[1], L"12,346");
    EXPECT_EQ(second[2], L"");  // an entry without a tag
    EXPECT_EQ(last[0], L"1,234");
    EXPECT_EQ(last[1], L"1,234,567");
    EXPECT_EQ(last[2], L"BMP");
}

TEST_F(FileListTest, ColumnsHeadingsWidthsAndAlignment) {
    open(3, 1);
    struct Column {
        std::wstring heading;
        int width = 0, format = 0;
    } columns[4];
    runWithReader(dialog, [&](HWND window, HWND list) {
        for (int c = 0; c < 4; ++c) {
            wchar_t text[64] = {};
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.pszText = text;
            column.cchTextMax = 64;
            if (SendMessageW(list, LVM_GETCOLUMNW, c, reinterpret_cast<LPARAM>(&column))) {
                columns[c] = {text, column.cx, column.fmt & LVCFMT_JUSTIFYMASK};
            }
        }
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(columns[0].heading, L"連番");
    EXPECT_EQ(columns[0].width, 50);
    EXPECT_EQ(columns[1].heading, L"サイズ(ﾊﾞｲﾄ)");
    EXPECT_EQ(columns[1].width, 90);
    EXPECT_EQ(columns[1].format, LVCFMT_RIGHT);
    EXPECT_EQ(columns[2].heading, L"画像形式");
    EXPECT_EQ(columns[2].width, 80);
    EXPECT_EQ(columns[2].format, LVCFMT_RIGHT);
    EXPECT_TRUE(columns[3].heading.empty());  // three columns only
}

TEST_F(FileListTest, CurrentPageIsSelectedAndJumpReturnsItPlusNine) {
    open(1234, 7);
    int selected = -1;
    INT_PTR result = runWithReader(dialog, [&](HWND window, HWND) {
        selected = selectedRow(GetDlgItem(window, IDC_FILE_LIST));
        PostMessageW(window, WM_COMMAND, ID_LIST_JUMP, 0);
    });
    EXPECT_EQ(selected, 6);
    EXPECT_EQ(result, 16);
}

TEST_F(FileListTest, FarPageIsScrolledIntoView) {
    open(1234, 1000);
    int top = -1, perPage = 0, selected = -1;
    INT_PTR result = runWithReader(dialog, [&](HWND window, HWND list) {
        top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
        perPage = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
        selected = selectedRow(list);
        PostMessageW(window, WM_COMMAND, ID_LIST_JUMP, 0);
    });
    EXPECT_EQ(selected, 999);
    EXPECT_LE(top, 999);
    EXPECT_GT(top + perPage + 1, 999);  // a partly visible row counts
    EXPECT_EQ(result, 1009);
}

TEST_F(FileListTest, DoubleClickOnFirstRowReturnsTen) {
    open(20, 5);
    INT_PTR result = runWithReader(dialog, [&](HWND, HWND list) { doubleClickRow(list, 0); });
    EXPECT_EQ(result, 10);
}

TEST_F(FileListTest, JumpToAnotherSelectedRow) {
    open(20, 5);
    INT_PTR result = runWithReader(dialog, [&](HWND window, HWND list) {
        selectRow(list, 11);
        PostMessageW(window, WM_COMMAND, ID_LIST_JUMP, 0);
    });
    EXPECT_EQ(result, 21);
}

TEST_F(FileListTest, OnlyOneRowCanBeSelected) {
    open(20, 5);
    LONG_PTR style = 0;
    int selectedCount = 0;
    runWithReader(dialog, [&](HWND window, HWND list) {
        style = GetWindowLongPtrW(list, GWL_STYLE);
        selectRow(list, 2);
        selectedCount = static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(selectedCount, 1);
}

TEST_F(FileListTest, WaysOutWithoutAChoiceReturnBelowTen) {
    open(20, 5);
    EXPECT_EQ(runWithReader(dialog, [](HWND window, HWND) { PostMessageW(window, WM_COMMAND, ID_LIST_CLOSE, 0); }),
              1);
    EXPECT_EQ(runWithReader(dialog, [](HWND, HWND list) { PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0); }), 2);
    EXPECT_EQ(runWithReader(dialog, [](HWND window, HWND) { PostMessageW(window, WM_CLOSE, 0, 0); }), 2);
}

TEST_F(FileListTest, JumpWithoutSelectionStaysOpen) {
    open(20, 5);
    bool openAfterJump = false;
    INT_PTR result = runWithReader(dialog, [&](HWND window, HWND list) {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        SendMessageW(window, WM_COMMAND, ID_LIST_JUMP, 0);
        openAfterJump = IsWindowVisible(window) != FALSE;
        PostMessageW(window, WM_COMMAND, ID_LIST_CLOSE, 0);
    });
    EXPECT_TRUE(openAfterJump);
    EXPECT_EQ(result, 1);
}

TEST_F(FileListTest, PageBeyondTheListSelectsNothing) {
    open(3, 9);
    int selected = 0;
    runWithReader(dialog, [&](HWND window, HWND list) {
        selected = selectedRow(list);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(selected, -1);
}

TEST_F(FileListTest, MenuBarAndLargeIcon) {
    open(2, 1);
    std::wstring items[2];
    UINT ids[2] = {};
    int itemCount = 0;
    HICON big = nullptr;
    runWithReader(dialog, [&](HWND window, HWND) {
        HMENU menu = GetMenu(window);
        itemCount = GetMenuItemCount(menu);
        for (int i = 0; i < 2; ++i) {
            wchar_t text[32] = {};
            GetMenuStringW(menu, i, text, 32, MF_BYPOSITION);
            items[i] = text;
            ids[i] = GetMenuItemID(menu, i);
        }
        big = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(itemCount, 2);
    EXPECT_EQ(items[0], L"閉じる(&C)");
    EXPECT_EQ(ids[0], static_cast<UINT>(ID_LIST_CLOSE));
    EXPECT_EQ(items[1], L"ジャンプ(&J)");
    EXPECT_EQ(ids[1], static_cast<UINT>(ID_LIST_JUMP));
    EXPECT_EQ(big, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP_ICON)));
}

}  // namespace
