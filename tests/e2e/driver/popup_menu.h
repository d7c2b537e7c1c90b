// The viewer's tracked popup menus as the system shows them: opened by a posted WM_CONTEXTMENU,
// found as the visible menu window (class #32768) of the viewer's process.
#pragma once
#include <windows.h>

// The visible popup menu window of the process; null on timeout.
HWND waitForPopupMenu(DWORD processId, DWORD timeoutMs);

// Asks `window` for its context menu at a screen point (-1, -1: as the keyboard's menu key does)
// and waits for the popup; null on timeout.
HWND openContextMenu(HWND window, DWORD processId, int screenX, int screenY);

// The menu handle (in the viewer) of a popup menu window.
HMENU popupMenuHandle(HWND popupWindow);

// Waits until no popup menu of the process is visible; false on timeout.
bool waitForNoPopupMenu(DWORD processId, DWORD timeoutMs);
