// Reading the viewer's own state from inside it: a helper DLL is loaded into the viewer's
// process and one of its functions run there in a thread of its own, or its message hook set
// on the viewer's thread.
#pragma once
#include <string>
#include <vector>

#include <windows.h>

#include "window_pixels.h"

struct MenuBarItem {
    UINT id;
    std::wstring text;
};

// The items of the window's menu bar, left to right. `hasBar` is false when the window has none.
// False when the helper could not run in the process.
bool readMenuBar(HANDLE process, HWND window, bool& hasBar, std::vector<MenuBarItem>& items);

// One item of a menu read from inside the viewer; submenu items follow their item, one deeper.
struct MenuEntry {
    int depth;          // 0 for the menu's own items
    UINT id;            // the command (0 for separators)
    char kind;          // 's' separator, 'p' submenu, 'c' command
    std::wstring text;
};

// All items of a menu of the viewer, given by its handle in the viewer (MN_GETHMENU of a
// tracked popup). False when the helper could not run or the menu is gone.
bool readMenu(HANDLE process, HMENU menu, std::vector<MenuEntry>& items);

// All items of the system menu of a window of the viewer.
bool readSystemMenu(HANDLE process, HWND window, std::vector<MenuEntry>& items);

// The viewer's handle of its cursor resource `id` (compare with GetCursorInfo); null on failure.
HCURSOR programCursor(HANDLE process, UINT id);

// The cursor shown now.
HCURSOR shownCursor();

// Posts a marker to `window` behind everything posted to it so far and waits until the window's
// thread takes it from its queue (the helper's message hook sees it): by then that thread has
// handled all of those messages. Returns 1 when it did within `timeoutMs`, 0 when it did not,
// and -1 when the hook cannot be set.
int waitForPostedMessages(HWND window, DWORD timeoutMs);

// The picture the viewer draws into its client area, read inside its process (WM_PRINTCLIENT
// into a 32-bit bitmap): its pixels as the program holds them, without a screen between.
// False when the helper could not run there.
bool readClientPicture(HANDLE process, HWND window, ScreenPixels& picture);
