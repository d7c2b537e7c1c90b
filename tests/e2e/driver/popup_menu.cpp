// Popup menu windows of another process.
#include "popup_menu.h"

#include "top_level_windows.h"

namespace {

const UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU

HWND popupNow(DWORD processId) { return visibleWindowOf(processId, kPopupMenuClass); }

}  // namespace

HWND waitForPopupMenu(DWORD processId, DWORD timeoutMs) {
    return waitForVisibleWindow(processId, kPopupMenuClass, timeoutMs);
}

HWND openContextMenu(HWND window, DWORD processId, int screenX, int screenY) {
    PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(static_cast<short>(screenX), static_cast<short>(screenY)));
    return waitForPopupMenu(processId, 5000);
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
