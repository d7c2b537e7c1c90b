// Modal dialog with message dispatch to a C++ object.
#include "dialog.h"

#include <cstring>
#include <vector>

#include "text.h"

namespace {

// The template with WS_VISIBLE cleared. The dialog manager then shows a modal dialog itself
// once its message loop runs, and not at all when it ends during WM_INITDIALOG: a window that
// fails to start never flashes on the screen.
bool loadHiddenTemplate(UINT templateId, std::vector<uint8_t>& bytes) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const uint8_t* data = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    DWORD size = found != nullptr ? SizeofResource(instance, found) : 0;
    if (data == nullptr || size < 16) return false;
    bytes.assign(data, data + size);
    // An extended template starts with version 1 and 0xFFFF and keeps its style at offset 12;
    // a plain one starts with the style.
    bool extended = bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    size_t styleOffset = extended ? 12 : 0;
    DWORD style;
    std::memcpy(&style, &bytes[styleOffset], sizeof style);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(&bytes[styleOffset], &style, sizeof style);
    return true;
}

}  // namespace

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() = default;

INT_PTR Dialog::runModal() {
    std::vector<uint8_t> dialogTemplate;
    if (!loadHiddenTemplate(templateId_, dialogTemplate)) return -1;
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                   reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), parent_, dialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

void Dialog::endDialog(INT_PTR result) {
    if (hwnd_ != nullptr) EndDialog(hwnd_, result);
}

void Dialog::setCaption(const std::string& shiftJis) { setCaption(toWide(shiftJis)); }

void Dialog::setCaption(const std::wstring& text) {
    if (hwnd_ != nullptr) SetWindowTextW(hwnd_, text.c_str());
}

bool Dialog::OnCommand(WORD id, WORD /*notification*/, HWND /*control*/) {
    if (id == IDOK || id == IDCANCEL) {
        endDialog(id);
        return true;
    }
    return false;
}

INT_PTR Dialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_TIMER:
        OnTimer(wParam);
        return FALSE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK Dialog::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (self == nullptr) return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT, ...)
    INT_PTR result = self->handleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}
