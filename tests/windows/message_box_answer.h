// Runs code that shows a message box on another thread, reads the box and answers it.
#pragma once
#include <functional>
#include <string>

struct AnsweredBox {
    bool shown = false;
    std::wstring caption;
    std::wstring text;
};

// Runs `action` on a thread of its own; when a message box of this process appears, reads its
// caption and text and presses OK. Waits until `action` has returned.
AnsweredBox answerMessageBox(const std::function<void()>& action);
