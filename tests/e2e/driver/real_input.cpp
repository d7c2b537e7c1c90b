// Keyboard and wheel input through SendInput.
#include "real_input.h"

#include <vector>

namespace {

// Keys of the navigation block, not of the number pad.
bool extendedKey(WORD virtualKey) {
    switch (virtualKey) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END: case VK_APPS:
        return true;
    default:
        return false;
    }
}

INPUT keyInput(WORD virtualKey, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

}  // namespace

bool bringToFront(HWND window, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        SetForegroundWindow(window);
        if (GetForegroundWindow() == window) return true;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

void pressKey(WORD virtualKey, bool shift) {
    std::vector<INPUT> inputs;
    if (shift) inputs.push_back(keyInput(VK_SHIFT, false));
    inputs.push_back(keyInput(virtualKey, false));
    inputs.push_back(keyInput(virtualKey, true));
    if (shift) inputs.push_back(keyInput(VK_SHIFT, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void turnWheel(HWND window, int delta) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT middle = {client.right / 2, client.bottom / 2};
    ClientToScreen(window, &middle);
    SetCursorPos(middle.x, middle.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(delta);
    SendInput(1, &input, sizeof(INPUT));
}
