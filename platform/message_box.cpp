// Message boxes with the application's name as caption.
#include "message_box.h"

#include "resource.h"
#include "text.h"

namespace {
HWND theMainWindow = nullptr;
}  // namespace

std::wstring applicationName() {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a pointer to the resource's own text.
    int length = LoadStringW(GetModuleHandleW(nullptr), IDS_APP_NAME, reinterpret_cast<wchar_t*>(&text), 0);
    if (length > 0 && text != nullptr) return std::wstring(text, static_cast<size_t>(length));
    return toWide("エダミル");
}

void setMainWindow(HWND window) { theMainWindow = window; }

HWND mainWindow() { return theMainWindow; }

MessageBoxSetting messageBoxSetting(HWND owner) {
    MessageBoxSetting setting = {owner != nullptr ? owner : theMainWindow, MB_OK | MB_ICONEXCLAMATION};
    if (setting.owner == nullptr || !IsWindowVisible(setting.owner)) setting.flags |= MB_SETFOREGROUND;
    return setting;
}

void showMessage(HWND owner, const std::wstring& text) {
    const MessageBoxSetting setting = messageBoxSetting(owner);
    MessageBoxW(setting.owner, text.c_str(), applicationName().c_str(), setting.flags);
}

void showMessage(HWND owner, const std::string& shiftJisText) { showMessage(owner, toWide(shiftJisText)); }
