// The main window: construction, start-up, message handlers and teardown.
#include "viewer_dialog.h"

#include <new>

#include "resource.h"

namespace {
const size_t kLogPaletteBufferSize = 1032;  // palette header and 256 entries
const uint16_t kPaletteVersion = 0x300;
const UINT kRemainingEntriesDelayMs = 100;
}  // namespace

ViewerDialog::ViewerDialog()
    : Dialog(IDD_VIEWER, nullptr),
      appIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP_ICON))) {}

ViewerDialog::~ViewerDialog() = default;

BOOL ViewerDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    contextMenu.load(IDR_CONTEXT_MENU);
    readScreenDepth();
    if (!allocateLogPaletteBuffer() || !loadChosenSource()) {
        endDialog(1);
        return FALSE;
    }
    if (!showFirstPage()) return FALSE;  // the window stays as it is
    setStartCursorsAndMenus();
    setStartCaption();
    armStartTimers();
    return TRUE;
}

// On an 8-bit screen pictures are shown through the halftone palette.
void ViewerDialog::readScreenDepth() {
    WindowDc dc(hwnd());
    screenBitsPerPixel = GetDeviceCaps(dc.handle(), BITSPIXEL);
    if (screenBitsPerPixel == 8 && palette.createHalftone(dc.handle())) paletteCreated = 1;
}

bool ViewerDialog::allocateLogPaletteBuffer() {
    logPaletteBuffer.reset(new (std::nothrow) uint8_t[kLogPaletteBufferSize]());
    if (!logPaletteBuffer) return false;
    logPaletteBuffer[0] = static_cast<uint8_t>(kPaletteVersion & 0xFF);
    logPaletteBuffer[1] = static_cast<uint8_t>(kPaletteVersion >> 8);
    return true;
}

// Page display: `showEntry` of entry 1, sizing the window to the picture. Until pictures are
// decoded, start-up goes on without one.
bool ViewerDialog::showFirstPage() { return true; }

// Press and drag cursors, the menu bar's starting layout, the title bar, the window's place,
// the system menu and the context menu: these come with page display and the menus.
void ViewerDialog::setStartCursorsAndMenus() {}

// The caption rule (page, count, title, countdown) comes with page display. Until then an
// appended collection keeps its title, set as soon as it was read, and a single file keeps
// the template's caption.
void ViewerDialog::setStartCaption() {}

void ViewerDialog::armStartTimers() {
    if (entryCount > 1) SetTimer(hwnd(), kRemainingEntriesTimer, kRemainingEntriesDelayMs, nullptr);
}

bool ViewerDialog::OnCommand(WORD id, WORD notification, HWND control) {
    if (id == IDOK) return true;  // Enter does nothing
    return Dialog::OnCommand(id, notification, control);
}

void ViewerDialog::OnTimer(UINT_PTR id) {
    if (id == kRemainingEntriesTimer) {
        KillTimer(hwnd(), kRemainingEntriesTimer);
        loadRemainingEntries();
    }
}

void ViewerDialog::OnDestroy() {
    Dialog::OnDestroy();
    freeCollection();
    if (intervalMs > 0) {
        KillTimer(hwnd(), kAutoAdvanceTimer);
        KillTimer(hwnd(), kCountdownTimer);
    }
    // Closed before the deferred pass ran: the temporary copy goes now, not left behind.
    if (collectionFile.isOpen()) {
        KillTimer(hwnd(), kRemainingEntriesTimer);
        discardCollectionCopy();
    }
    title.clear();
    comment.clear();
    linkText.clear();
}
