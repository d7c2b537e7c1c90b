// List-view messages across processes.
#include "remote_list_view.h"

#include <commctrl.h>

namespace {
const SIZE_T kBlockSize = 4096;
const int kTextOffset = 1024;
const int kTextChars = 512;
}  // namespace

RemoteListView::RemoteListView(HWND control) : control_(control) {
    DWORD processId = 0;
    GetWindowThreadProcessId(control, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_ != nullptr)
        remote_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

RemoteListView::~RemoteListView() {
    if (remote_ != nullptr) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
}

int RemoteListView::rowCount() const { return static_cast<int>(SendMessageW(control_, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring RemoteListView::text(int row, int column) const {
    if (remote_ == nullptr) return L"<no access>";
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote_ + kTextOffset);
    item.cchTextMax = kTextChars;
    WriteProcessMemory(process_, remote_, &item, sizeof item, nullptr);
    const wchar_t none = 0;
    WriteProcessMemory(process_, remote_ + kTextOffset, &none, sizeof none, nullptr);
    SendMessageW(control_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote_));
    wchar_t buffer[kTextChars + 1] = {};
    ReadProcessMemory(process_, remote_ + kTextOffset, buffer, kTextChars * sizeof(wchar_t), nullptr);
    return buffer;
}

int RemoteListView::selectedRow() const {
    return static_cast<int>(SendMessageW(control_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int RemoteListView::topRow() const { return static_cast<int>(SendMessageW(control_, LVM_GETTOPINDEX, 0, 0)); }

RECT RemoteListView::rowRect(int row) const {
    RECT rect = {LVIR_BOUNDS, 0, 0, 0};
    if (remote_ == nullptr) return RECT{};
    WriteProcessMemory(process_, remote_, &rect, sizeof rect, nullptr);
    SendMessageW(control_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote_));
    ReadProcessMemory(process_, remote_, &rect, sizeof rect, nullptr);
    return rect;
}
