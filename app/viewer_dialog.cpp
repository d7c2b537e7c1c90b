// The main window: construction, start-up, message dispatch and teardown.
#include "viewer_dialog.h"

#include "caption_text.h"
#include "menu_bar_layout.h"
#include "message_box.h"
#include "resource.h"
#include "system_menu.h"
#include "text.h"

namespace {
const UINT kStartTimerDelayMs = 100;

HCURSOR programCursor(UINT id) { return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)); }

POINT clientPoint(LPARAM lParam) {
    POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return p;
}
}  // namespace

ViewerDialog::ViewerDialog()
    : Dialog(IDD_VIEWER, nullptr),
      appIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP_ICON))) {}

ViewerDialog::~ViewerDialog() = default;

BOOL ViewerDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    setMainWindow(hwnd());  // owner of every box from here on, start-up failures included
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    contextMenu.load(IDR_CONTEXT_MENU);
    canvas.readScreenDepth(hwnd());
    if (!canvas.allocateLogPaletteBuffer() || !loadChosenSource()) {
        endDialog(1);
        return FALSE;
    }
    if (!showFirstPage()) return FALSE;  // the window stays as it is
    setStartCursors();
    setStartMenuBar();
    dragCursor = programCursor(IDCUR_GRAB);
    removeCaptionIfAsked();
    centreOnScreen();
    fitWindowToPicture();
    centreOnScreen();
    extendSystemMenu(GetSystemMenu(hwnd(), FALSE));
    trimContextMenuForOnePage();
    startCaptionAndCountdown();
    armStartTimers();
    return TRUE;
}

bool ViewerDialog::showFirstPage() { return !entries.empty() && displayEntry(entries[0]); }

void ViewerDialog::setStartCursors() {
    pressCursor = programCursor(entryCount == 1 ? IDCUR_GRAB : IDCUR_NEXT);
}

void ViewerDialog::setStartMenuBar() {
    HMENU bar = GetMenu(hwnd());
    if (bar == nullptr) return;
    if (menuBarFlag == 1) {
        removeStartItems(bar, entryCount);
        DrawMenuBar(hwnd());
        return;
    }
    SetMenu(hwnd(), nullptr);
    DestroyMenu(bar);
}

// The title bar goes; the caption text stays (the task bar shows it).
void ViewerDialog::removeCaptionIfAsked() {
    if (captionFlag == 1) return;
    LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    SetWindowLongPtrW(hwnd(), GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

// One page: no page moves in the context menu and no auto-advance.
void ViewerDialog::trimContextMenuForOnePage() {
    if (entryCount != 1) return;
    if (HMENU popup = contextMenu.popup(0)) DeleteMenu(popup, 1, MF_BYPOSITION);
    intervalSeconds = -1;
}

void ViewerDialog::startCaptionAndCountdown() {
    if (intervalSeconds < 1) {
        intervalMs = -1;
        setPageCaption(false);
        if (HMENU popup = contextMenu.popup(0)) DeleteMenu(popup, ID_STOP_AUTO_ADVANCE, MF_BYCOMMAND);
        return;
    }
    intervalMs = intervalMilliseconds(intervalSeconds);
    restartAutoAdvance();
    setPageCaption(true);
}

void ViewerDialog::armStartTimers() {
    if (commentFlag == 1) SetTimer(hwnd(), kCommentTimer, kStartTimerDelayMs, nullptr);
    if (entryCount > 1) SetTimer(hwnd(), kRemainingEntriesTimer, kStartTimerDelayMs, nullptr);
}

void ViewerDialog::OnTimer(UINT_PTR id) {
    switch (id) {
    case kAutoAdvanceTimer:
        restartAutoAdvance();
        nextPage();
        break;
    case kCountdownTimer:
        onCountdownTick();
        break;
    case kCommentTimer:
        KillTimer(hwnd(), kCommentTimer);
        showCommentBox();
        break;
    case kRemainingEntriesTimer:
        KillTimer(hwnd(), kRemainingEntriesTimer);
        loadRemainingEntries();
        break;
    default:
        break;
    }
}

INT_PTR ViewerDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_QUERYNEWPALETTE:
        SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, queryNewPalette());
        return TRUE;
    case WM_PALETTECHANGED:
        paletteChanged(reinterpret_cast<HWND>(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        return onSystemCommand(wParam) ? TRUE : FALSE;
    case WM_PAINT:
        onPaint();
        return TRUE;
    case WM_PRINTCLIENT:  // the picture drawn into another device context (PrintWindow)
        if (canvas.bits() != nullptr) paintPicture(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_CONTEXTMENU:
        onContextMenu(lParam);
        return TRUE;
    case WM_LBUTTONDOWN:
        onLeftButtonDown(clientPoint(lParam));
        return FALSE;
    case WM_MOUSEMOVE:
        if (GetCapture() != hwnd()) return FALSE;
        onMouseMove();
        return TRUE;
    case WM_LBUTTONDBLCLK:
        onLeftButtonDoubleClick();
        return FALSE;
    case WM_LBUTTONUP:
        return onLeftButtonUp(clientPoint(lParam)) ? FALSE : TRUE;
    case WM_GETDLGCODE:
        // The window has no controls: the dialog manager would take the arrow keys to move
        // between them. Escape and Enter stay with it (Cancel closes, OK does nothing).
        SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, DLGC_WANTARROWS);
        return TRUE;
    case WM_KEYDOWN:
        return onKeyDown(wParam) ? TRUE : FALSE;
    case WM_MOUSEWHEEL:
        onMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return TRUE;
    default:
        return Dialog::handleMessage(message, wParam, lParam);
    }
}

void ViewerDialog::OnDestroy() {
    Dialog::OnDestroy();
    setMainWindow(nullptr);  // a box raised from here on must not be owned by a window going away
    freeCollection();
    if (intervalMs > 0) killAutoAdvanceTimers();
    // Closed before the deferred pass ran: the temporary copy goes now, not left behind.
    if (collectionFile.isOpen()) {
        KillTimer(hwnd(), kRemainingEntriesTimer);
        discardCollectionCopy();
    }
    title.clear();
    comment.clear();
    linkText.clear();
}
