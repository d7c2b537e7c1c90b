// The main window's system menu: no maximise and no size, and the viewer's own three items at
// its end. Their system commands keep the low four bits clear, as the system's own do.
#pragma once
#include <windows.h>

enum ViewerSystemCommand : UINT {
    kSysAbout = 0x0010,   // "ﾊﾞｰｼﾞｮﾝ情報(&A)..."
    kSysCentre = 0x0020,  // "中央配置(&R)"
    kSysComment = 0x0030  // "ちょっと一言(&S)..."
};

// Deletes maximise and size, then appends "中央配置(&R)", a separator, "ちょっと一言(&S)..." and
// "ﾊﾞｰｼﾞｮﾝ情報(&A)...".
void extendSystemMenu(HMENU systemMenu);

// The system command of a WM_SYSCOMMAND's wParam: the low four bits are the system's own.
inline UINT systemCommandOf(WPARAM wParam) { return static_cast<UINT>(wParam) & 0xFFF0u; }
