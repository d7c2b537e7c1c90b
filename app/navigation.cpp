// Page turns, the menu-bar layouts that follow them, the auto-advance countdown and the caption.
#include "caption_text.h"
#include "menu_bar_layout.h"
#include "resource.h"
#include "text.h"
#include "viewer_dialog.h"

namespace {
const UINT kSecondMs = 1000;
}  // namespace

void ViewerDialog::goToPage(uint32_t n) {
    if (n == 0 || n > entryCount || n > entries.size()) return;
    if (!displayEntry(entries[n - 1])) return;
    const bool last = n == entryCount;
    if (last && !lastPageLayout) {
        switchMenuBarToLastPage();
        pressCursor = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDCUR_GRAB));
        fitWindowToPicture();  // the new menu bar may wrap differently: measure the frame again
        fitWindowToPicture();
        lastPageLayout = true;
    } else if (!last && lastPageLayout) {
        switchMenuBarToBrowsing();
        pressCursor = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDCUR_NEXT));
        fitWindowToPicture();
        lastPageLayout = false;
    }
    if (intervalMs > 0 && !last) {
        restartAutoAdvance();
        setPageCaption(true);
    } else {
        if (intervalMs > 0) killAutoAdvanceTimers();  // paused until another page is shown
        setPageCaption(false);
    }
}

// Moves `count` pages on (back when negative), stopping at the first and the last page: no
// wrap-around, and nothing at all when the page in that direction is already the end.
void ViewerDialog::turnPages(int32_t count) {
    int64_t target = static_cast<int64_t>(currentPage) + count;
    if (target < 1) target = 1;
    if (target > entryCount) target = entryCount;
    if (target == currentPage) return;
    currentPage = static_cast<uint32_t>(target);
    goToPage(currentPage);
}

void ViewerDialog::nextPage() { turnPages(1); }

void ViewerDialog::previousPage() { turnPages(-1); }

void ViewerDialog::firstPage() {
    currentPage = 1;
    goToPage(1);
}

void ViewerDialog::lastPage() {
    currentPage = entryCount;
    goToPage(entryCount);
}

void ViewerDialog::restartAutoAdvance() {
    secondsLeft = static_cast<uint32_t>(intervalMs) / kSecondMs;
    killAutoAdvanceTimers();
    SetTimer(hwnd(), kAutoAdvanceTimer, static_cast<UINT>(intervalMs), nullptr);
    SetTimer(hwnd(), kCountdownTimer, kSecondMs, nullptr);
}

// Auto-advance off for the rest of the run.
void ViewerDialog::stopAutoAdvance() {
    intervalMs = -1;
    killAutoAdvanceTimers();
    if (HMENU popup = contextMenu.popup(0)) DeleteMenu(popup, ID_STOP_AUTO_ADVANCE, MF_BYCOMMAND);
    setPageCaption(false);
}

void ViewerDialog::killAutoAdvanceTimers() {
    KillTimer(hwnd(), kAutoAdvanceTimer);
    KillTimer(hwnd(), kCountdownTimer);
}

// The count stops at 0: when the page turn is late, the caption never wraps to a huge number.
void ViewerDialog::onCountdownTick() {
    if (secondsLeft > 0) --secondsLeft;
    setPageCaption(true);
}

void ViewerDialog::setPageCaption(bool withCountdown) {
    setCaption(captionText(currentPage, entryCount, title, withCountdown, secondsLeft));
}

void ViewerDialog::switchMenuBarToLastPage() {
    HMENU bar = GetMenu(hwnd());
    if (bar == nullptr) return;
    switchToLastPageLayout(bar);
    DrawMenuBar(hwnd());
}

void ViewerDialog::switchMenuBarToBrowsing() {
    HMENU bar = GetMenu(hwnd());
    if (bar == nullptr) return;
    switchToBrowsingLayout(bar);
    DrawMenuBar(hwnd());
}
