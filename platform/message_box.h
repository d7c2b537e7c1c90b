// The program's message boxes: an OK button, the exclamation icon and the application's name,
// owned by the main window once it exists.
#pragma once
#include <string>

#include <windows.h>

// The application's name, string resource 57344 of the program.
std::wstring applicationName();

// The main window, owner of every box raised without one; null before it exists and after it
// is destroyed.
void setMainWindow(HWND window);
HWND mainWindow();

// How a box is raised: its owner and its MessageBoxW flags.
struct MessageBoxSetting {
    HWND owner;
    UINT flags;
};
// The setting of a box asked for with `owner` (may be null: the main window then). A box whose
// owner is not on screen (the main window during start-up, or none) comes to the foreground,
// so that it cannot hide behind other programs' windows.
MessageBoxSetting messageBoxSetting(HWND owner);

// Shows a modal message box owned by `owner` (null: the main window).
void showMessage(HWND owner, const std::wstring& text);
// The same for a Shift-JIS text.
void showMessage(HWND owner, const std::string& shiftJisText);
