// Showing one entry: the page road onto the window's canvas, reduced when the picture and the
// window's frame do not fit the work area of the window's monitor; the window fitted around the
// picture with its centre kept, and painting.
#include "dib_section.h"
#include "image/fitted_picture.h"
#include "viewer_dialog.h"
#include "wait_cursor.h"
#include "window_geometry.h"

namespace {

// A fit moves the window at most this often: a narrower window may wrap the menu bar onto more
// lines, which changes the frame that the move measured.
const int kMostFitMoves = 3;

int32_t width(const RECT& r) { return r.right - r.left; }
int32_t height(const RECT& r) { return r.bottom - r.top; }

void moveWindowTo(HWND window, const RECT& r) {
    MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

// The work area (the screen less the task bar) of the monitor the window is on.
RECT workAreaOf(HWND window) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return area;
}

bool clientIs(HWND window, uint32_t w, uint32_t h) {
    RECT client;
    GetClientRect(window, &client);
    return uint32_t(width(client)) == w && uint32_t(height(client)) == h;
}

}  // namespace

bool ViewerDialog::displayEntry(const CollectionEntry& entry) {
    if (!showEntryOnCanvas(entry)) return false;
    fitWindowToPicture();
    // A reduced picture measured against the frame of the window before: a narrower window may
    // have a taller frame, so the picture is fitted once more against the frame it has now.
    if (canvas.reduced && !windowInsideWorkArea() && showEntryOnCanvas(entry)) fitWindowToPicture();
    return true;
}

bool ViewerDialog::showEntryOnCanvas(const CollectionEntry& entry) {
    WaitCursor wait;
    return showEntryWithin(entry.data.data(), entry.data.size(), canvas, largestPicture()) == 1;
}

// The client area the work area leaves around the window's present frame.
PictureSize ViewerDialog::largestPicture() {
    RECT client, window;
    GetClientRect(hwnd(), &client);
    GetWindowRect(hwnd(), &window);
    const RECT area = workAreaOf(hwnd());
    const int32_t w = width(area) - (width(window) - width(client));
    const int32_t h = height(area) - (height(window) - height(client));
    return {uint32_t(w > 1 ? w : 1), uint32_t(h > 1 ? h : 1)};
}

bool ViewerDialog::windowInsideWorkArea() {
    RECT window;
    GetWindowRect(hwnd(), &window);
    const RECT area = workAreaOf(hwnd());
    return width(window) <= width(area) && height(window) <= height(area);
}

void ViewerDialog::keepReducedPictureInside() {
    if (!canvas.reduced) return;
    RECT window;
    GetWindowRect(hwnd(), &window);
    const RECT inside = keptInside(window, workAreaOf(hwnd()));
    if (!EqualRect(&inside, &window)) moveWindowTo(hwnd(), inside);
}

void ViewerDialog::fitWindowToPicture() {
    for (int move = 0; move < kMostFitMoves; ++move) {
        if (move > 0 && clientIs(hwnd(), canvas.pictureWidth, canvas.pictureHeight)) break;
        RECT client, window;
        GetClientRect(hwnd(), &client);
        GetWindowRect(hwnd(), &window);
        moveWindowTo(hwnd(), fittedWindowRect(window, client, canvas.pictureWidth, canvas.pictureHeight));
    }
    keepReducedPictureInside();
    WindowDc dc(hwnd());
    paintPicture(dc.handle());
}

// Two moves: the frame's height may depend on the window's width (a menu bar that wraps).
void ViewerDialog::centreOnScreen() {
    RECT client0, window0;
    GetClientRect(hwnd(), &client0);
    GetWindowRect(hwnd(), &window0);
    const RECT area = workAreaOf(hwnd());
    RECT first = frameOnlyCentredRect(window0, client0, width(area), height(area), GetSystemMetrics(SM_CYDLGFRAME));
    OffsetRect(&first, area.left, area.top);
    moveWindowTo(hwnd(), first);
    RECT client1, window1;
    GetClientRect(hwnd(), &client1);
    GetWindowRect(hwnd(), &window1);
    moveWindowTo(hwnd(), regrownWindowRect(window1, client1, client0));
    keepReducedPictureInside();
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
