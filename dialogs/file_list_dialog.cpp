#include "file_list_dialog.h"

#include <climits>

#include <commctrl.h>

#include "dialog_icon.h"
#include "dialog_ids.h"
#include "resource.h"

FileListDialog::FileListDialog(HWND parent) : Dialog(IDD_FILE_LIST, parent) {
    // The template holds a list view: its window class must be registered before the dialog is made.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

BOOL FileListDialog::OnInitDialog() {
    fileList.attach(GetDlgItem(hwnd(), IDC_FILE_LIST));
    setLargeAppIcon(hwnd());
    insertColumns();
    insertRows();
    markCurrentPage();
    return TRUE;
}

void FileListDialog::insertColumns() {
    fileList.insertRightAlignedColumn(0, "連番", 50);
    fileList.insertRightAlignedColumn(1, "サイズ(ﾊﾞｲﾄ)", 90);
    fileList.insertRightAlignedColumn(2, "画像形式", 80);
}

void FileListDialog::insertRows() {
    if (entries == nullptr) return;
    // The list control counts rows in an int.
    const uint32_t rows = entryCount < INT_MAX ? entryCount : INT_MAX - 1;
    const CollectionEntry* cursor = entries;
    for (uint32_t i = 0; i < rows; ++i, ++cursor) {
        int row = fileList.insertRow(static_cast<int>(i), formatNumber(i + 1));
        if (row < 0) break;
        fileList.setText(row, 1, formatNumber(static_cast<uint32_t>(cursor->data.size())));
        fileList.setText(row, 2, formatTagText(cursor->formatTag));
    }
}

void FileListDialog::markCurrentPage() {
    if (currentPage == 0 || currentPage > static_cast<uint32_t>(fileList.rowCount())) return;
    const int row = static_cast<int>(currentPage - 1);
    fileList.ensureVisible(row);
    fileList.select(row);
}

void FileListDialog::jumpToSelection() {
    int row = fileList.firstSelected();
    if (row >= 0) endDialog(row + kFirstPageResult);
}

bool FileListDialog::OnCommand(WORD id, WORD notification, HWND control) {
    switch (id) {
    case ID_LIST_CLOSE:
        endDialog(IDOK);
        return true;
    case ID_LIST_JUMP:
        jumpToSelection();
        return true;
    default:
        return Dialog::OnCommand(id, notification, control);
    }
}

INT_PTR FileListDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_FILE_LIST && header->code == static_cast<UINT>(NM_DBLCLK)) {
            jumpToSelection();
            SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, 0);
            return TRUE;
        }
    }
    return Dialog::handleMessage(message, wParam, lParam);
}
