// Started by scripts/run-wine-tests.sh for the whole run, with its output going nowhere: a
// message-only window keeps it a user of Wine's desktop, so the desktop stays up between tests.
// Otherwise Wine closes the desktop a second after the last program that used it ends, and the
// next test that opens a window starts a new desktop process, which inherits the test's output
// and keeps CTest waiting until that desktop closes again, a second after the test.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr) == nullptr) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
