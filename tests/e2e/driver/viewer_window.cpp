// Mouse messages and caption watching.
#include "viewer_window.h"

#include "in_process_probe.h"
#include "viewer_process.h"

namespace {

LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace

bool waitForCaption(HWND window, const std::wstring& expected, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (windowCaption(window) == expected) return true;
        Sleep(10);
    } while (GetTickCount() - start < timeoutMs);
    return windowCaption(window) == expected;
}

std::vector<std::wstring> captionsUntil(HWND window, const std::wstring& last, DWORD timeoutMs) {
    std::vector<std::wstring> seen;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        std::wstring caption = windowCaption(window);
        if (seen.empty() || seen.back() != caption) seen.push_back(caption);
        if (caption == last) break;
        Sleep(5);
    }
    return seen;
}

std::wstring watchCaption(HWND window, const std::wstring& expected, DWORD durationMs) {
    const DWORD start = GetTickCount();
    while (windowCaption(window) == expected && GetTickCount() - start < durationMs) Sleep(10);
    return windowCaption(window);
}

void click(HWND window, int x, int y) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, at(x, y));
    settle(window);
}

void doubleClick(HWND window, int x, int y) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, at(x, y));
    PostMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, at(x, y));
    settle(window);
}

void drag(HWND window, int fromX, int fromY, int toX, int toY) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at(fromX, fromY));
    PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, at(toX, toY));
    PostMessageW(window, WM_LBUTTONUP, 0, at(toX, toY));
    settle(window);
}

// Two markers in turn: the first comes after everything posted so far, the second after what the
// handlers of those messages posted in their turn.
bool settle(HWND window) {
    const DWORD kTimeoutMs = 10000;
    int taken = waitForPostedMessages(window, kTimeoutMs);
    if (taken == 1) taken = waitForPostedMessages(window, kTimeoutMs);
    if (taken >= 0) return taken == 1;
    // Without the hook: sent messages overtake posted ones, so the thread gets time to reach the
    // posted messages first; the sent no-op then returns once it is free again.
    Sleep(100);
    DWORD_PTR result = 0;
    LRESULT sent = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    Sleep(50);
    return sent != 0;
}

bool waitForHidden(HWND window, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

int screenDepth() {
    HDC screen = GetDC(nullptr);
    int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return depth;
}
