// The dialog base: a modal run on a template, messages reaching the handlers, results.
#include <gtest/gtest.h>
#include <windows.h>

#include "dialog.h"
#include "resource.h"

namespace {

const UINT_PTR kTestTimer = 7;

// Runs the main window's template and ends by a scripted route.
class ScriptedDialog : public Dialog {
public:
    enum class Ending { FromInit, OkByTimer, CloseMessage, IgnoredOkThenCancel };
    explicit ScriptedDialog(Ending ending) : Dialog(IDD_VIEWER, nullptr), ending_(ending) {}

    bool sawInit = false, sawTimer = false, sawDestroy = false;
    HWND handleAtInit = nullptr;
    std::wstring captionAtInit;

protected:
    BOOL OnInitDialog() override {
        sawInit = true;
        handleAtInit = hwnd();
        wchar_t text[64] = {};
        GetWindowTextW(hwnd(), text, 64);
        captionAtInit = text;
        switch (ending_) {
        case Ending::FromInit:
            endDialog(42);
            return FALSE;
        case Ending::OkByTimer:
            SetTimer(hwnd(), kTestTimer, 10, nullptr);
            break;
        case Ending::CloseMessage:
            PostMessageW(hwnd(), WM_CLOSE, 0, 0);
            break;
        case Ending::IgnoredOkThenCancel:
            PostMessageW(hwnd(), WM_COMMAND, IDOK, 0);
            PostMessageW(hwnd(), WM_COMMAND, IDCANCEL, 0);
            break;
        }
        return TRUE;
    }
    bool OnCommand(WORD id, WORD notification, HWND control) override {
        if (ending_ == Ending::IgnoredOkThenCancel && id == IDOK) return true;
        return Dialog::OnCommand(id, notification, control);
    }
    void OnTimer(UINT_PTR id) override {
        if (id != kTestTimer) return;
        sawTimer = true;
        KillTimer(hwnd(), kTestTimer);
        PostMessageW(hwnd(), WM_COMMAND, IDOK, 0);
    }
    void OnDestroy() override { sawDestroy = (hwnd() == handleAtInit); }

private:
    Ending ending_;
};

TEST(DialogBase, EndingDuringInitialisationReturnsTheResult) {
    ScriptedDialog dialog(ScriptedDialog::Ending::FromInit);
    EXPECT_EQ(dialog.runModal(), 42);
    EXPECT_TRUE(dialog.sawInit);
    EXPECT_NE(dialog.handleAtInit, nullptr);
    EXPECT_EQ(dialog.captionAtInit, L"異常事態発生！");
    EXPECT_TRUE(dialog.sawDestroy);
    EXPECT_EQ(dialog.hwnd(), nullptr);
}

TEST(DialogBase, TimerAndCommandReachTheHandlers) {
    ScriptedDialog dialog(ScriptedDialog::Ending::OkByTimer);
    EXPECT_EQ(dialog.runModal(), IDOK);
    EXPECT_TRUE(dialog.sawTimer);
    EXPECT_TRUE(dialog.sawDestroy);
}

TEST(DialogBase, CloseBecomesCancel) {
    ScriptedDialog dialog(ScriptedDialog::Ending::CloseMessage);
    EXPECT_EQ(dialog.runModal(), IDCANCEL);
}

TEST(DialogBase, HandledCommandsDoNotEndTheDialog) {
    ScriptedDialog dialog(ScriptedDialog::Ending::IgnoredOkThenCancel);
    EXPECT_EQ(dialog.runModal(), IDCANCEL);
}

TEST(DialogBase, MissingTemplateFails) {
    class Missing : public Dialog {
    public:
        Missing() : Dialog(9999, nullptr) {}
    } missing;
    EXPECT_EQ(missing.runModal(), -1);
}

}  // namespace
