// Showing one entry: the page road onto the window's canvas, the window fitted around the
// picture with its centre kept, and painting.
#include "dib_section.h"
#include "image/show_entry.h"
#include "viewer_dialog.h"
#include "wait_cursor.h"
#include "window_geometry.h"

namespace {

void moveWindowTo(HWND window, const RECT& r) {
    MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

}  // namespace

bool ViewerDialog::displayEntry(const CollectionEntry& entry) {
    int shown = 0;
    {
        WaitCursor wait;
        shown = showEntry(entry.data.data(), entry.data.size(), canvas);
    }
    if (shown != 1) return false;
    fitWindowToPicture();
    return true;
}

void ViewerDialog::fitWindowToPicture() {
    RECT client, window;
    GetClientRect(hwnd(), &client);
    GetWindowRect(hwnd(), &window);
    moveWindowTo(hwnd(), fittedWindowRect(window, client, canvas.pictureWidth, canvas.pictureHeight));
    WindowDc dc(hwnd());
    paintPicture(dc.handle());
}

// Two moves: the frame's height may depend on the window's width (a menu bar that wraps).
void ViewerDialog::centreOnScreen() {
    RECT client0, window0;
    GetClientRect(hwnd(), &client0);
    GetWindowRect(hwnd(), &window0);
    moveWindowTo(hwnd(), frameOnlyCentredRect(window0, client0, GetSystemMetrics(SM_CXSCREEN),
                                              GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CYDLGFRAME)));
    RECT client1, window1;
    GetClientRect(hwnd(), &client1);
    GetWindowRect(hwnd(), &window1);
    moveWindowTo(hwnd(), regrownWindowRect(window1, client1, client0));
}

// The picture's bitmap copied to the client area from its top left, through the palette.
void ViewerDialog::paintPicture(HDC dc) {
    if (dc == nullptr || canvas.bitmap() == nullptr) return;
    HPALETTE previousPalette = nullptr;
    if (canvas.hasPalette()) {
        previousPalette = SelectPalette(dc, canvas.palette(), FALSE);
        RealizePalette(dc);
    }
    RECT client;
    GetClientRect(hwnd(), &client);
    MemoryDc memory(dc);
    HGDIOBJ previousBitmap = SelectObject(memory.handle(), canvas.bitmap());
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.handle(), 0, 0, SRCCOPY);
    SelectObject(memory.handle(), previousBitmap);
    if (previousPalette != nullptr) SelectPalette(dc, previousPalette, TRUE);
}

void ViewerDialog::onPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    if (!IsIconic(hwnd()) && canvas.bits() != nullptr) paintPicture(dc);
    EndPaint(hwnd(), &paint);
}
