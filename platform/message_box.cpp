// Message boxes with the application's name as caption.
#include "message_box.h"

#include "resource.h"
#include "text.h"

std::wstring applicationName() {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a pointer to the resource's own text.
    int length = LoadStringW(GetModuleHandleW(nullptr), IDS_APP_NAME, reinterpret_cast<wchar_t*>(&text), 0);
    if (length > 0 && text != nullptr) return std::wstring(text, static_cast<size_t>(length));
    return toWide("エダミル");
}

void showMessage(HWND owner, const std::wstring& text) {
    MessageBoxW(owner, text.c_str(), applicationName().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void showMessage(HWND owner, const std::string& shiftJisText) { showMessage(owner, toWide(shiftJisText)); }
