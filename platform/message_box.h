// The program's message boxes: an OK button, the exclamation icon and the application's name.
#pragma once
#include <string>

#include <windows.h>

// The application's name, string resource 57344 of the program.
std::wstring applicationName();

// Shows a modal message box owned by `owner` (may be null).
void showMessage(HWND owner, const std::wstring& text);
// The same for a Shift-JIS text.
void showMessage(HWND owner, const std::string& shiftJisText);
