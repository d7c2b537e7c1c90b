// Driving the viewer's main window as a user would: mouse messages at client points, and
// waiting for what the window then shows.
#pragma once
#include <string>
#include <vector>

#include <windows.h>

// Waits until the window's caption is `expected`; false on timeout.
bool waitForCaption(HWND window, const std::wstring& expected, DWORD timeoutMs);

// The distinct captions the window shows, in order, until `last` is shown or the time is up.
std::vector<std::wstring> captionsUntil(HWND window, const std::wstring& last, DWORD timeoutMs);

// Watches the caption for `durationMs` while it is `expected`: the first other caption it
// shows, or `expected` when it held throughout.
std::wstring watchCaption(HWND window, const std::wstring& expected, DWORD durationMs);

// Mouse input as the system delivers it to the window, at client coordinates.
void click(HWND window, int x, int y);
void doubleClick(HWND window, int x, int y);
void drag(HWND window, int fromX, int fromY, int toX, int toY);

// Waits until the window's thread has handled everything posted to it so far, and what that
// posted in turn; false when it did not in time or the window is gone.
bool settle(HWND window);

// Waits until the window is hidden or gone; false on timeout.
bool waitForHidden(HWND window, DWORD timeoutMs);

// Bits per pixel of the screen.
int screenDepth();
