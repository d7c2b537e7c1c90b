#include "list_view.h"

#include <commctrl.h>

#include "text.h"

bool ListView::insertRightAlignedColumn(int column, const std::string& heading, int width) {
    std::wstring text = toWide(heading);
    LVCOLUMNW c = {};
    c.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.fmt = LVCFMT_RIGHT;
    c.cx = width;
    c.pszText = &text[0];
    c.iSubItem = column;
    return SendMessageW(control_, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&c)) >= 0;
}

int ListView::insertRow(int row, const std::string& text) {
    std::wstring wide = toWide(text);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = &wide[0];
    return static_cast<int>(SendMessageW(control_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::setText(int row, int column, const std::string& text) {
    std::wstring wide = toWide(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = &wide[0];
    return SendMessageW(control_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)) != 0;
}

void ListView::ensureVisible(int row) { SendMessageW(control_, LVM_ENSUREVISIBLE, row, TRUE); }

void ListView::select(int row) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(control_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int ListView::firstSelected() const {
    return static_cast<int>(SendMessageW(control_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int ListView::rowCount() const { return static_cast<int>(SendMessageW(control_, LVM_GETITEMCOUNT, 0, 0)); }
