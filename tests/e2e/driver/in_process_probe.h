// Reading the viewer's own state from inside it: a helper DLL is loaded into the viewer's
// process and one of its functions run there in a thread of its own.
#pragma once
#include <string>
#include <vector>

#include <windows.h>

struct MenuBarItem {
    UINT id;
    std::wstring text;
};

// The items of the window's menu bar, left to right. `hasBar` is false when the window has none.
// False when the helper could not run in the process.
bool readMenuBar(HANDLE process, HWND window, bool& hasBar, std::vector<MenuBarItem>& items);

// The viewer's handle of its cursor resource `id` (compare with GetCursorInfo); null on failure.
HCURSOR programCursor(HANDLE process, UINT id);

// The cursor shown now.
HCURSOR shownCursor();
