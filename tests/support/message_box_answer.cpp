// Finding this process's message boxes from another thread and closing them.
#include "message_box_answer.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include "top_level_windows.h"

std::vector<AnsweredBox> answerMessageBoxes(const std::function<void()>& action) {
    std::vector<AnsweredBox> boxes;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        action();
        done = true;
    });
    HWND answered = nullptr;
    for (DWORD start = GetTickCount(); !done && GetTickCount() - start < 10000; Sleep(10)) {
        HWND box = visibleWindowOf(GetCurrentProcessId(), kDialogClass);
        if (box == nullptr) continue;
        if (box != answered) {
            AnsweredBox seen;
            seen.shown = true;
            wchar_t text[1024] = {};
            GetWindowTextW(box, text, 1024);
            seen.caption = text;
            GetDlgItemTextW(box, 0xFFFF, text, 1024);
            seen.text = text;
            seen.owner = GetWindow(box, GW_OWNER);
            boxes.push_back(seen);
            answered = box;
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    worker.join();
    return boxes;
}

AnsweredBox answerMessageBox(const std::function<void()>& action) {
    const std::vector<AnsweredBox> boxes = answerMessageBoxes(action);
    return boxes.empty() ? AnsweredBox() : boxes.front();
}
