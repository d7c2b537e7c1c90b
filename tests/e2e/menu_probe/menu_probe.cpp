// Loaded into the viewer by the UI tests: menus and cursor resources cannot be read from another
// process, so this writes the viewer's menus into a shared memory block that the driver reads,
// and gives the viewer's cursor handles. Its message hook tells the driver when the viewer has
// taken a marker message from its queue.
// Menu bar: one line per item, "bar <id> <Shift-JIS text>"; "nobar" when the window has none.
// Other menus (system menu, tracked popups): one line per item, submenus after their item,
// "item <depth> <id> <kind> <Shift-JIS text>" with kind s (separator), p (submenu) or c (command).
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
const char kMappingName[] = "edamiru_menu_probe";
const DWORD kMappingSize = 65536;

// The shared block for the driver, or null.
char* openOutput(HANDLE& mapping) {
    mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kMappingName);
    if (mapping == nullptr) return nullptr;
    char* out = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kMappingSize));
    if (out == nullptr) CloseHandle(mapping);
    return out;
}

void closeOutput(HANDLE mapping, char* out) {
    UnmapViewOfFile(out);
    CloseHandle(mapping);
}

void dumpItems(char*& o, char* end, HMENU menu, int depth) {
    for (int i = 0; i < GetMenuItemCount(menu) && o < end - 300; ++i) {
        char text[256] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_ID;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        const char kind = (info.fType & MFT_SEPARATOR) ? 's' : info.hSubMenu != nullptr ? 'p' : 'c';
        o += snprintf(o, end - o, "item %d %u %c %s\n", depth, info.wID, kind, text);
        if (info.hSubMenu != nullptr) dumpItems(o, end, info.hSubMenu, depth + 1);
    }
}

DWORD dumpMenu(HMENU menu) {
    HANDLE mapping;
    char* out = openOutput(mapping);
    if (out == nullptr) return 0;
    char* o = out;
    if (menu != nullptr) dumpItems(o, out + kMappingSize - 1, menu, 0);
    *o = 0;
    closeOutput(mapping, out);
    return menu != nullptr ? 1 : 0;
}

}  // namespace

// A menu of the viewer by its handle (a tracked popup, from MN_GETHMENU).
extern "C" __declspec(dllexport) DWORD WINAPI DumpMenu(LPVOID menu) { return dumpMenu(static_cast<HMENU>(menu)); }

// The system menu of a window of the viewer.
extern "C" __declspec(dllexport) DWORD WINAPI DumpSystemMenu(LPVOID window) {
    return dumpMenu(GetSystemMenu(static_cast<HWND>(window), FALSE));
}

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

// A message hook on the viewer's thread (WH_GETMESSAGE, set by the driver): when the thread
// takes the driver's marker from its queue, it has handled everything posted before it. The
// marker names the driver's event (process id and number), which is set; the viewer itself sees
// WM_NULL instead.
extern "C" __declspec(dllexport) LRESULT CALLBACK SettleHook(int code, WPARAM removed, LPARAM message) {
    static const UINT marker = RegisterWindowMessageA("edamiru_settle_marker");
    MSG* msg = reinterpret_cast<MSG*>(message);
    if (code == HC_ACTION && removed == PM_REMOVE && msg->message == marker) {
        char name[64];
        snprintf(name, sizeof name, "edamiru_settle_%lu_%lu", static_cast<unsigned long>(msg->wParam),
                 static_cast<unsigned long>(msg->lParam));
        if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name)) {
            SetEvent(event);
            CloseHandle(event);
        }
        msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, removed, message);
}

// The picture the viewer draws into its client area, asked for with WM_PRINTCLIENT into a
// 32-bit bitmap: no screen between, so a true-colour bitmap arrives exactly and a palette one
// through its colour table. Written to the block "edamiru_picture_probe" that the driver made:
// width and height (32 bits each), then the pixels top row first, 0x00RRGGBB.
extern "C" __declspec(dllexport) DWORD WINAPI DumpClientPicture(LPVOID windowArgument) {
    HWND window = static_cast<HWND>(windowArgument);
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return 0;
    const LONG width = client.right, height = client.bottom;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, "edamiru_picture_probe");
    if (mapping == nullptr) return 0;
    const SIZE_T bytes = 8 + SIZE_T(width) * height * 4;
    MEMORY_BASIC_INFORMATION region = {};
    char* out = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    DWORD done = 0;
    if (out != nullptr && VirtualQuery(out, &region, sizeof region) != 0 && region.RegionSize >= bytes) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dc != nullptr && bitmap != nullptr) {
            HGDIOBJ previous = SelectObject(dc, bitmap);
            SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
            GdiFlush();
            SelectObject(dc, previous);
            reinterpret_cast<LONG*>(out)[0] = width;
            reinterpret_cast<LONG*>(out)[1] = height;
            memcpy(out + 8, bits, SIZE_T(width) * height * 4);
            done = 1;
        }
        if (bitmap != nullptr) DeleteObject(bitmap);
        if (dc != nullptr) DeleteDC(dc);
    }
    if (out != nullptr) UnmapViewOfFile(out);
    CloseHandle(mapping);
    return done;
}
