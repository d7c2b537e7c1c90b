// Loaded into the viewer by the UI tests: menus and cursor resources cannot be read from another
// process, so this writes the window's menu bar into a shared memory block that the driver reads,
// and gives the viewer's cursor handles.
// One line per item: "bar <id> <Shift-JIS text>"; "nobar" when the window has no menu bar.
#include <windows.h>

#include <cstdio>

namespace {
const char kMappingName[] = "edamiru_menu_probe";
const DWORD kMappingSize = 65536;
}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI DumpMenuBar(LPVOID window) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kMappingName);
    if (mapping == nullptr) return 0;
    char* out = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kMappingSize));
    if (out == nullptr) {
        CloseHandle(mapping);
        return 0;
    }
    char* o = out;
    char* end = out + kMappingSize - 1;
    HMENU bar = GetMenu(static_cast<HWND>(window));
    if (bar == nullptr) o += snprintf(o, end - o, "nobar\n");
    for (int i = 0; bar != nullptr && i < GetMenuItemCount(bar) && o < end - 300; ++i) {
        char text[256] = "";
        GetMenuStringA(bar, i, text, sizeof text, MF_BYPOSITION);
        o += snprintf(o, end - o, "bar %u %s\n", GetMenuItemID(bar, i), text);
    }
    *o = 0;
    UnmapViewOfFile(out);
    CloseHandle(mapping);
    return 1;
}

// The viewer's handle of its cursor resource `id`, to compare with the cursor it shows.
extern "C" __declspec(dllexport) DWORD WINAPI CursorHandle(LPVOID id) {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(
        LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(reinterpret_cast<UINT_PTR>(id)))));
}
