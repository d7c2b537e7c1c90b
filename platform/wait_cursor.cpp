// Shows the hourglass and puts the previous cursor back.
#include "wait_cursor.h"

namespace {
// The system cursors are integer resource names, the same for the A and W functions.
HCURSOR systemCursor(LPSTR id) { return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(id)); }
}  // namespace

WaitCursor::WaitCursor() : previous_(SetCursor(systemCursor(IDC_WAIT))) {}

WaitCursor::~WaitCursor() { SetCursor(previous_ != nullptr ? previous_ : systemCursor(IDC_ARROW)); }
