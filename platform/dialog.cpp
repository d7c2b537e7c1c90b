// Modal dialog with message dispatch to a C++ object.
#include "dialog.h"

#include <vector>

#include "dialog_font.h"
#include "dialog_template_copy.h"
#include "text.h"

namespace {

// The template with WS_VISIBLE cleared. The dialog manager then shows a modal dialog itself
// once its message loop runs, and not at all when it ends during WM_INITDIALOG: a window that
// fails to start never flashes on the screen.
// Its font's face is `face`, or when that is empty an installed one (see dialog_font.h).
bool prepareTemplate(UINT templateId, const std::wstring& face, std::vector<uint8_t>& bytes) {
    if (!loadDialogTemplate(templateId, bytes) || !hideDialogTemplate(bytes)) return false;
    std::wstring named;
    if (!dialogTemplateFace(bytes, named)) return true;  // no font of its own: the system's
    std::wstring chosen = face.empty() ? chooseDialogFace(named, isFontInstalled, messageFontFace()) : face;
    return chosen == named || setDialogTemplateFace(bytes, chosen);
}

}  // namespace

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() = default;

INT_PTR Dialog::runModal() {
    std::vector<uint8_t> dialogTemplate;
    if (!prepareTemplate(templateId_, fontFace_, dialogTemplate)) return -1;
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                   reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), parent_, dialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

void Dialog::setFontFace(const std::wstring& face) { fontFace_ = face; }

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
