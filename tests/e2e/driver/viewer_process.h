// Starts the viewer with an exact command line and its own temporary folder, finds
// its windows and reads their captions. A small Win32 driver that the UI tests build on.
#pragma once
#include <string>

#include <windows.h>

struct Launch {
    std::wstring program;     // full path of the program to start
    std::wstring arguments;   // put after the quoted program name exactly as given; may be empty
    std::wstring tempFolder;  // TMP and TEMP of the child; empty: inherited
};
// (Under Wine a child takes its code page from its parent, whatever LANG its environment holds:
// run the driver itself with another WINE_LANG to start the viewer under another code page.)

class ViewerProcess {
public:
    ViewerProcess() = default;
    ~ViewerProcess();  // a program still running is ended
    ViewerProcess(const ViewerProcess&) = delete;
    ViewerProcess& operator=(const ViewerProcess&) = delete;

    bool start(const Launch& launch);
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }
    bool running() const;
    // Waits for the program to end; false on timeout.
    bool waitForExit(DWORD timeoutMs);
    DWORD exitCode() const;

    // The visible main window (a dialog of class #32770) of the program; null on timeout or
    // when the program ends first.
    HWND waitForMainWindow(DWORD timeoutMs) const;
    // A visible dialog of the program other than `main` (a message box, for instance); null on
    // timeout or when the program ends first.
    HWND waitForOtherDialog(HWND main, DWORD timeoutMs) const;
    // Any visible top-level window of the program now (main window, message box, ...).
    HWND visibleWindow() const;
    // Waits for the program to end while watching for windows; `seen` describes the first
    // window of it that became visible meanwhile (class and caption), empty if none did.
    // False on timeout.
    bool waitForExitWatchingWindows(DWORD timeoutMs, std::wstring& seen);

    void terminate();

private:
    PROCESS_INFORMATION info_ = {};
};

// The caption of a window (of any process) as UTF-16.
std::wstring windowCaption(HWND window);

// "class \"caption\"" of a window, for messages.
std::wstring describeWindow(HWND window);

// The text of a message box (its static control 0xFFFF).
std::wstring messageBoxText(HWND box);

// The text of a dialog's control.
std::wstring dialogItemText(HWND dialog, int controlId);

// Sends a key press to a dialog the way the keyboard would reach its message loop.
void postKey(HWND window, WPARAM virtualKey);
