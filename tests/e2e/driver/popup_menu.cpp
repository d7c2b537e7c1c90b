// Popup menu windows of another process.
#include "popup_menu.h"

#include <cwchar>

namespace {

const UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU

struct PopupSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findPopup(HWND window, LPARAM context) {
    PopupSearch* search = reinterpret_cast<PopupSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (owner != search->processId || !IsWindowVisible(window) || wcscmp(className, L"#32768") != 0) return TRUE;
    search->found = window;
    return FALSE;
}

HWND popupNow(DWORD processId) {
    PopupSearch search = {processId, nullptr};
    EnumWindows(findPopup, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND waitForPopupMenu(DWORD processId, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (HWND popup = popupNow(processId)) return popup;
        Sleep(10);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

HWND openContextMenu(HWND window, DWORD processId, int screenX, int screenY) {
    PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(static_cast<short>(screenX), static_cast<short>(screenY)));
    return waitForPopupMenu(processId, 3000);
}

HMENU popupMenuHandle(HWND popupWindow) {
    return reinterpret_cast<HMENU>(SendMessageW(popupWindow, kGetMenuHandle, 0, 0));
}

bool waitForNoPopupMenu(DWORD processId, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (popupNow(processId) == nullptr) return true;
        Sleep(10);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}
