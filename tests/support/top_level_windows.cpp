// Top-level windows of a process, found with EnumWindows.
#include "top_level_windows.h"

#include <cwchar>

namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND except;
    HWND found;
};

BOOL CALLBACK findVisibleWindow(HWND window, LPARAM context) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || window == search->except || !IsWindowVisible(window)) return TRUE;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (search->className != nullptr && wcscmp(className, search->className) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND visibleWindowOf(DWORD processId, const wchar_t* className, HWND except) {
    WindowSearch search = {processId, className, except, nullptr};
    EnumWindows(findVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForVisibleWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (HWND window = visibleWindowOf(processId, className)) return window;
        Sleep(10);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}
