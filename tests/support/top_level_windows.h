// Finding the visible top-level windows of a process (this one or another) by their class.
#pragma once
#include <windows.h>

const wchar_t kDialogClass[] = L"#32770";     // dialogs and message boxes
const wchar_t kPopupMenuClass[] = L"#32768";  // tracked popup menus

// A visible top-level window of the process of class `className` (any class when null), other
// than `except`; null when there is none.
HWND visibleWindowOf(DWORD processId, const wchar_t* className, HWND except = nullptr);
// The same, looked for every 10 ms until `timeoutMs` has passed; null then.
HWND waitForVisibleWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs);
