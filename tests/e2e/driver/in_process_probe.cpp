// Loading the helper DLL into another process with a remote thread.
#include "in_process_probe.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace {

const char kMappingName[] = "edamiru_menu_probe";
const DWORD kMappingSize = 65536;
const DWORD kThreadTimeoutMs = 5000;

// The helper beside the test program.
std::string probePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (slash != nullptr) slash[1] = 0;
    return std::string(path) + "edamiru_menu_probe.dll";
}

DWORD runRemote(HANDLE process, LPTHREAD_START_ROUTINE start, void* argument) {
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, start, argument, 0, nullptr);
    if (thread == nullptr) return 0;
    WaitForSingleObject(thread, kThreadTimeoutMs);
    DWORD result = 0;
    GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    return result;
}

// Loads the helper into the process and runs its export there; the thread's result, 0 on failure.
// The DLL has the same base address in both processes (both load it at its preferred base).
DWORD callInProcess(HANDLE process, const char* exportName, void* argument) {
    const std::string dll = probePath();
    HMODULE local = LoadLibraryA(dll.c_str());
    if (local == nullptr) return 0;
    FARPROC function = GetProcAddress(local, exportName);
    if (function == nullptr) return 0;
    void* remotePath = VirtualAllocEx(process, nullptr, dll.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remotePath == nullptr) return 0;
    WriteProcessMemory(process, remotePath, dll.c_str(), dll.size() + 1, nullptr);
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    DWORD base = runRemote(process, loadLibrary, remotePath);
    VirtualFreeEx(process, remotePath, 0, MEM_RELEASE);
    if (base == 0) return 0;
    const char* remoteFunction = reinterpret_cast<const char*>(function) - reinterpret_cast<const char*>(local) +
                                 reinterpret_cast<const char*>(static_cast<uintptr_t>(base));
    return runRemote(process, reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<uintptr_t>(remoteFunction)),
                     argument);
}

std::wstring fromShiftJis(const std::string& text) {
    if (text.empty()) return std::wstring();
    std::wstring wide(text.size(), L'\0');
    int n = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n : 0);
    return wide;
}

// Runs a dump export of the helper and hands back what it wrote; false when it did not run.
bool dumpFromProcess(HANDLE process, const char* exportName, void* argument, std::string& dump) {
    dump.clear();
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMappingSize, kMappingName);
    if (mapping == nullptr) return false;
    const char* text = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    bool ran = text != nullptr && callInProcess(process, exportName, argument) == 1;
    if (ran) dump = text;
    if (text != nullptr) UnmapViewOfFile(text);
    CloseHandle(mapping);
    return ran;
}

// "item <depth> <id> <kind> <text>" lines.
std::vector<MenuEntry> parseMenuItems(const std::string& dump) {
    std::vector<MenuEntry> items;
    std::istringstream lines{dump};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields{line};
        std::string word, text;
        MenuEntry entry{};
        if (!(fields >> word >> entry.depth >> entry.id >> entry.kind) || word != "item") continue;
        fields.get();  // the blank before the text
        std::getline(fields, text);
        entry.text = fromShiftJis(text);
        items.push_back(entry);
    }
    return items;
}

}  // namespace

bool readMenu(HANDLE process, HMENU menu, std::vector<MenuEntry>& items) {
    std::string dump;
    if (!dumpFromProcess(process, "DumpMenu@4", menu, dump)) return false;
    items = parseMenuItems(dump);
    return true;
}

bool readSystemMenu(HANDLE process, HWND window, std::vector<MenuEntry>& items) {
    std::string dump;
    if (!dumpFromProcess(process, "DumpSystemMenu@4", window, dump)) return false;
    items = parseMenuItems(dump);
    return true;
}

bool readMenuBar(HANDLE process, HWND window, bool& hasBar, std::vector<MenuBarItem>& items) {
    items.clear();
    hasBar = false;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMappingSize, kMappingName);
    if (mapping == nullptr) return false;
    const char* text = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    bool ran = text != nullptr && callInProcess(process, "DumpMenuBar@4", window) == 1;
    if (ran) {
        std::istringstream lines{std::string(text)};
        std::string line;
        hasBar = true;
        while (std::getline(lines, line)) {
            if (line == "nobar") hasBar = false;
            if (line.compare(0, 4, "bar ") != 0) continue;
            size_t blank = line.find(' ', 4);
            if (blank == std::string::npos) continue;
            items.push_back({static_cast<UINT>(std::stoul(line.substr(4, blank - 4))), fromShiftJis(line.substr(blank + 1))});
        }
    }
    if (text != nullptr) UnmapViewOfFile(text);
    CloseHandle(mapping);
    return ran;
}

bool readClientPicture(HANDLE process, HWND window, ScreenPixels& picture) {
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return false;
    const DWORD bytes = 8 + DWORD(client.right) * DWORD(client.bottom) * 4;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, bytes, "edamiru_picture_probe");
    if (mapping == nullptr) return false;
    const char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    bool ran = view != nullptr && callInProcess(process, "DumpClientPicture@4", window) == 1;
    if (ran) {
        const LONG* size = reinterpret_cast<const LONG*>(view);
        ran = size[0] == client.right && size[1] == client.bottom;
    }
    if (ran) {
        picture.width = client.right;
        picture.height = client.bottom;
        picture.pixels.resize(size_t(picture.width) * picture.height);
        std::memcpy(picture.pixels.data(), view + 8, picture.pixels.size() * 4);
        for (uint32_t& p : picture.pixels) p &= 0xFFFFFFu;
    }
    if (view != nullptr) UnmapViewOfFile(view);
    CloseHandle(mapping);
    return ran;
}

HCURSOR programCursor(HANDLE process, UINT id) {
    return reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(
        callInProcess(process, "CursorHandle@4", reinterpret_cast<void*>(static_cast<UINT_PTR>(id)))));
}

HCURSOR shownCursor() {
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

int waitForPostedMessages(HWND window, DWORD timeoutMs) {
    static HMODULE probe = LoadLibraryA(probePath().c_str());
    static HOOKPROC hook =
        probe != nullptr ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, "SettleHook@12")))
                         : nullptr;
    static const UINT marker = RegisterWindowMessageA("edamiru_settle_marker");
    static DWORD sequence = 0;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (hook == nullptr || marker == 0) return -1;
    if (thread == 0) return 0;  // the window is gone
    HHOOK set = SetWindowsHookExA(WH_GETMESSAGE, hook, probe, thread);
    if (set == nullptr) return -1;
    const DWORD number = ++sequence;  // the event of a marker that came too late is never set again
    char name[64];
    snprintf(name, sizeof name, "edamiru_settle_%lu_%lu", static_cast<unsigned long>(GetCurrentProcessId()),
             static_cast<unsigned long>(number));
    HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, name);
    bool done = taken != nullptr && PostMessageW(window, marker, GetCurrentProcessId(), number) &&
                WaitForSingleObject(taken, timeoutMs) == WAIT_OBJECT_0;
    if (taken != nullptr) CloseHandle(taken);
    UnhookWindowsHookEx(set);
    return done ? 1 : 0;
}
