// Child process control and window lookup across processes.
#include "viewer_process.h"

#include <cwchar>
#include <vector>

#include "top_level_windows.h"

namespace {

// The current environment with some variables replaced, as a CreateProcessW block.
std::vector<wchar_t> environmentWith(const std::vector<std::pair<std::wstring, std::wstring>>& changes) {
    std::vector<wchar_t> block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* p = strings; *p != L'\0'; p += wcslen(p) + 1) {
        std::wstring entry = p;
        bool replaced = false;
        for (const auto& change : changes) {
            std::wstring prefix = change.first + L"=";
            if (_wcsnicmp(entry.c_str(), prefix.c_str(), prefix.size()) == 0) replaced = true;
        }
        if (!replaced) block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& change : changes) {
        std::wstring entry = change.first + L"=" + change.second;
        block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    }
    block.push_back(L'\0');
    return block;
}

}  // namespace

ViewerProcess::~ViewerProcess() {
    terminate();
}

bool ViewerProcess::start(const Launch& launch) {
    std::wstring commandLine = L"\"" + launch.program + L"\"";
    if (!launch.arguments.empty()) commandLine += L" " + launch.arguments;
    std::vector<std::pair<std::wstring, std::wstring>> changes;
    if (!launch.tempFolder.empty()) {
        changes.push_back({L"TMP", launch.tempFolder});
        changes.push_back({L"TEMP", launch.tempFolder});
    }
    std::vector<wchar_t> environment = environmentWith(changes);
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                          environment.data(), nullptr, &startup, &info_) != 0;
}

bool ViewerProcess::running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool ViewerProcess::waitForExit(DWORD timeoutMs) {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ViewerProcess::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess != nullptr) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

HWND ViewerProcess::waitForMainWindow(DWORD timeoutMs) const { return waitForOtherDialog(nullptr, timeoutMs); }

HWND ViewerProcess::waitForOtherDialog(HWND main, DWORD timeoutMs) const {
    DWORD startTime = GetTickCount();
    do {
        if (HWND window = visibleWindowOf(id(), kDialogClass, main)) return window;
        if (!running()) return nullptr;
        Sleep(10);
    } while (GetTickCount() - startTime < timeoutMs);
    return nullptr;
}

HWND ViewerProcess::visibleWindow() const { return visibleWindowOf(id(), nullptr); }

bool ViewerProcess::waitForExitWatchingWindows(DWORD timeoutMs, std::wstring& seen) {
    seen.clear();
    DWORD startTime = GetTickCount();
    for (;;) {
        HWND window = visibleWindow();
        if (window != nullptr && seen.empty()) seen = describeWindow(window);
        if (waitForExit(5)) return true;
        if (GetTickCount() - startTime >= timeoutMs) return false;
    }
}

void ViewerProcess::terminate() {
    if (info_.hProcess == nullptr) return;
    if (running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = {};
}

std::wstring windowCaption(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring describeWindow(HWND window) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    return std::wstring(className) + L" \"" + windowCaption(window) + L"\"";
}

std::wstring messageBoxText(HWND box) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
}

std::wstring dialogItemText(HWND dialog, int controlId) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, controlId, text, 1024);
    return text;
}

void postKey(HWND window, WPARAM virtualKey) {
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
}
