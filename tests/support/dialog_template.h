// The program's extended dialog templates read back from its resources, field by field, the
// way the system reads them when it makes the dialog.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct DialogControl {
    DWORD exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring className;  // or "#n" for a predefined class
    std::wstring text;       // or "#n" for a resource number
};

struct DialogTemplate {
    bool extended = false;  // false too when the program has no such template
    DWORD exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu, className, caption;  // "#n" for a number; "" for none
    WORD points = 0, weight = 0;            // with DS_SETFONT only
    std::wstring font;
    std::vector<DialogControl> controls;
};

// The template `id` of the running program; only extended templates are read.
DialogTemplate readDialogTemplate(UINT id);
// The same from a template in memory.
DialogTemplate readDialogTemplate(const uint8_t* data);
