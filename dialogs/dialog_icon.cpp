#include "dialog_icon.h"

#include "resource.h"

void setLargeAppIcon(HWND dialog) {
    // LoadIcon hands out a shared icon: it is not destroyed with the dialog.
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP_ICON));
    if (icon != nullptr) SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}
