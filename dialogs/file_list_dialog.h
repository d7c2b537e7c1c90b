// `FileListDialog`: every entry of the collection with its serial number, size and format; the
// reader picks a page. The modal result is row + 10 for a chosen row, 1 for "閉じる(&C)" and the
// dialog's own results otherwise (1 OK, 2 cancel), so only results above 9 carry a page
// (the page is result - 9).
#pragma once
#include <cstdint>

#include "collection.h"
#include "dialog.h"
#include "list_view.h"

class FileListDialog : public Dialog {
public:
    // Results of the modal run below this carry no page.
    static constexpr INT_PTR kFirstPageResult = 10;

    explicit FileListDialog(HWND parent = nullptr);

    // Set by the caller before the dialog runs; `entries` points at `entryCount` entries, not owned.
    uint32_t entryCount = 0;
    uint32_t currentPage = 1;
    const CollectionEntry* entries = nullptr;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD notification, HWND control) override;
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void insertColumns();
    void insertRows();
    void markCurrentPage();
    // Ends the dialog with the first selected row + 10; does nothing without a selection.
    void jumpToSelection();

    ListView fileList;
};
