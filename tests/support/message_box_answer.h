// Runs code that shows message boxes on another thread, reads the boxes and answers them.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

struct AnsweredBox {
    bool shown = false;
    std::wstring caption;
    std::wstring text;
    HWND owner = nullptr;  // GetWindow(GW_OWNER) of the box
};

// Runs `action` on a thread of its own and presses OK on every message box of this process
// that appears meanwhile; returns the boxes in the order they appeared. Waits until `action`
// has returned (for ten seconds at the most).
std::vector<AnsweredBox> answerMessageBoxes(const std::function<void()>& action);
// The same for code that shows one box at the most: the first box, or one not shown.
AnsweredBox answerMessageBox(const std::function<void()>& action);
