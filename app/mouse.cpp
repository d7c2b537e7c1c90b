// The mouse: a click turns the page (mode 1), a double-click turns it (mode 2), and a press
// released elsewhere moves the window by the distance (every mode).
#include "viewer_dialog.h"

namespace {
const uint32_t kClickTurns = 1;
const uint32_t kDoubleClickTurns = 2;
}  // namespace

void ViewerDialog::onLeftButtonDown(POINT point) {
    pressPoint = point;
    SetCapture(hwnd());
    SetCursor(mouseMode == kClickTurns ? pressCursor : dragCursor);
    advancedByDoubleClick = false;
}

void ViewerDialog::onMouseMove() { SetCursor(dragCursor); }

void ViewerDialog::onLeftButtonDoubleClick() {
    if (mouseMode != kDoubleClickTurns) return;
    nextPage();
    advancedByDoubleClick = true;
}

bool ViewerDialog::onLeftButtonUp(POINT point) {
    if (GetCapture() == hwnd()) ReleaseCapture();
    if (advancedByDoubleClick) return false;
    if (point.x != pressPoint.x || point.y != pressPoint.y) {
        // The window jumps on release, by the distance the mouse went.
        RECT window;
        GetWindowRect(hwnd(), &window);
        SetWindowPos(hwnd(), HWND_TOP, window.left + point.x - pressPoint.x, window.top + point.y - pressPoint.y, 0, 0,
                     SWP_NOSIZE);
    } else if (mouseMode == kClickTurns) {
        nextPage();
    }
    return true;
}
