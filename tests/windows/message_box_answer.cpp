// Finding this process's message box from another thread and closing it.
#include "message_box_answer.h"

#include <windows.h>

#include <atomic>
#include <thread>

namespace {

BOOL CALLBACK findBox(HWND window, LPARAM context) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) || std::wstring(className) != L"#32770")
        return TRUE;
    *reinterpret_cast<HWND*>(context) = window;
    return FALSE;
}

}  // namespace

AnsweredBox answerMessageBox(const std::function<void()>& action) {
    AnsweredBox answer;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        action();
        done = true;
    });
    DWORD startTime = GetTickCount();
    while (!done && GetTickCount() - startTime < 10000) {
        HWND box = nullptr;
        EnumWindows(findBox, reinterpret_cast<LPARAM>(&box));
        if (box != nullptr && !answer.shown) {
            wchar_t text[1024] = {};
            GetWindowTextW(box, text, 1024);
            answer.caption = text;
            GetDlgItemTextW(box, 0xFFFF, text, 1024);
            answer.text = text;
            answer.shown = true;
        }
        if (box != nullptr) PostMessageW(box, WM_COMMAND, IDOK, 0);
        Sleep(10);
    }
    worker.join();
    return answer;
}
