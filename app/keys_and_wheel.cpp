// The keyboard and the mouse wheel turn pages: forward with →, ↓, Space, Page Down and the wheel
// turned towards the reader; back with ←, ↑, Backspace, Page Up and the wheel turned away; Home
// and End go to the first and the last page.
#include "viewer_dialog.h"

bool ViewerDialog::onKeyDown(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_RIGHT:
    case VK_DOWN:
    case VK_SPACE:
    case VK_NEXT: nextPage(); return true;
    case VK_LEFT:
    case VK_UP:
    case VK_BACK:
    case VK_PRIOR: previousPage(); return true;
    case VK_HOME: firstPage(); return true;
    case VK_END: lastPage(); return true;
    default: return false;
    }
}

// One page per notch (WHEEL_DELTA). Finer wheels send parts of a notch: they add up, and what
// is left short of a whole notch waits for the next message.
void ViewerDialog::onMouseWheel(int delta) {
    wheelRemainder += delta;
    const int notches = wheelRemainder / WHEEL_DELTA;
    wheelRemainder -= notches * WHEEL_DELTA;
    turnPages(-notches);  // a positive delta turns the wheel away from the reader: back
}
