// Opening the right-button menu.
#include "context_menu.h"

POINT contextMenuPoint(LPARAM lParam, POINT keyboardPoint) {
    const short x = static_cast<short>(LOWORD(lParam));
    const short y = static_cast<short>(HIWORD(lParam));
    if (x == -1 && y == -1) return keyboardPoint;
    return POINT{x, y};
}

void trackContextMenu(HMENU popup, HWND owner, LPARAM lParam) {
    if (popup == nullptr) return;
    POINT clientCorner = {0, 0};
    ClientToScreen(owner, &clientCorner);
    const POINT at = contextMenuPoint(lParam, clientCorner);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr);
}
