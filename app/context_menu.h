// The right-button menu (menu 130): where it opens and how the choice comes back.
#pragma once
#include <windows.h>

// The screen point of a WM_CONTEXTMENU's lParam. The keyboard's menu key sends no point (both
// coordinates -1): the menu then opens at the top-left corner of the screen.
POINT contextMenuPoint(LPARAM lParam);

// Opens `popup` at the point of a WM_CONTEXTMENU, left-aligned and tracking the left button,
// owned by `owner`: the chosen item arrives at `owner` as an ordinary WM_COMMAND.
void trackContextMenu(HMENU popup, HWND owner, LPARAM lParam);
