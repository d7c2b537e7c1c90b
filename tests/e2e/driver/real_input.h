// Real keyboard and wheel input, as a reader gives it: through the system's input queue to the
// foreground window, and so through a dialog's dialog manager before the dialog sees it.
#pragma once
#include <windows.h>

// Brings the window to the foreground and waits until it is there; false on timeout.
bool bringToFront(HWND window, DWORD timeoutMs);

// Presses and releases a key, with Shift held around it when `shift`.
void pressKey(WORD virtualKey, bool shift = false);

// Puts the pointer in the middle of the window's client area and turns the wheel by `delta`
// (WHEEL_DELTA, 120, is one notch; positive turns it away from the user).
void turnWheel(HWND window, int delta);
