// The right-button menu (menu 130): where it opens and how the choice comes back.
#pragma once
#include <windows.h>

// The screen point of a WM_CONTEXTMENU's lParam. The keyboard (the menu key, Shift+F10) sends
// no point (both coordinates -1): the menu then opens at `keyboardPoint`.
POINT contextMenuPoint(LPARAM lParam, POINT keyboardPoint);

// Opens `popup` at the point of a WM_CONTEXTMENU, or from the keyboard at the top-left corner of
// `owner`'s client area, left-aligned and tracking the left button, owned by `owner`: the
// chosen item arrives at `owner` as an ordinary WM_COMMAND.
void trackContextMenu(HMENU popup, HWND owner, LPARAM lParam);
