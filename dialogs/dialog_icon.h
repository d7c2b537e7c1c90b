// The program's icon as a dialog's large icon.
#pragma once
#include <windows.h>

// Makes icon resource 128 the large icon of `dialog`; no separate small icon is set.
void setLargeAppIcon(HWND dialog);
