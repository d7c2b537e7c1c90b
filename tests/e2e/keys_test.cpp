// Page turns by the keyboard and the mouse wheel, given as real input through the dialog manager.
#include <vector>

#include "in_process_probe.h"
#include "real_input.h"
#include "viewer_test_base.h"

namespace {

const std::wstring kTitle = L"九枚の本";

std::wstring caption(int page, int count) { return std::to_wstring(page) + L"/" + std::to_wstring(count) + L" " + kTitle; }

// One input: a key, or (key 0) a turn of the wheel.
struct Input {
    WORD key;
    int wheel;
};

const Input kNextInputs[] = {{VK_RIGHT, 0}, {VK_DOWN, 0}, {VK_SPACE, 0}, {VK_NEXT, 0}, {0, -WHEEL_DELTA}};
const Input kPreviousInputs[] = {{VK_LEFT, 0}, {VK_UP, 0}, {VK_BACK, 0}, {VK_PRIOR, 0}, {0, WHEEL_DELTA}};

class ViewerKeys : public ViewerTestBase {
protected:
    HWND openInFront(const std::wstring& book, const std::wstring& arguments = L"") {
        HWND window = open(book, arguments);
        if (window != nullptr) {
            EXPECT_TRUE(bringToFront(window, kWaitMs)) << "not in the foreground";
        }
        return window;
    }

    void give(HWND window, const Input& input) {
        if (input.key != 0) {
            pressKey(input.key);
        } else {
            turnWheel(window, input.wheel);
        }
    }

    // Gives the input and waits for the caption. Input is handled in order: an input that should
    // have changed nothing is proven so by the first later one that changes the page.
    void expectTurn(HWND window, const Input& input, const std::wstring& expected) {
        give(window, input);
        EXPECT_TRUE(waitForCaption(window, expected, kWaitMs))
            << "key " << input.key << " wheel " << input.wheel << ": " << testing::PrintToString(windowCaption(window));
    }

    std::vector<std::wstring> menuBar(HWND window) {
        bool hasBar = false;
        std::vector<MenuBarItem> items;
        EXPECT_TRUE(readMenuBar(viewer.handle(), window, hasBar, items)) << "the menu probe did not run";
        std::vector<std::wstring> texts;
        for (const MenuBarItem& item : items) texts.push_back(item.text);
        return texts;
    }
};

TEST_F(ViewerKeys, EveryKeyAndTheWheelTurnOnePageAndStopAtBothEnds) {
    HWND window = openInFront(L"nine.exe");
    ASSERT_NE(window, nullptr);
    // On page 1 nothing goes back, and Enter does nothing: the next page turn lands on page 2.
    for (const Input& input : kPreviousInputs) expectTurn(window, input, caption(1, 9));
    expectTurn(window, {VK_RETURN, 0}, caption(1, 9));
    int page = 1;
    for (const Input& input : kNextInputs) expectTurn(window, input, caption(++page, 9));
    for (const Input& input : kPreviousInputs) expectTurn(window, input, caption(--page, 9));
    // Parts of a notch add up to whole ones; what is left over waits for the next turn.
    const std::vector<std::pair<int, int>> parts = {{-60, 1}, {-60, 2}, {-90, 2}, {-90, 3}, {-60, 4}, {60, 4}, {60, 3}};
    for (const auto& part : parts) expectTurn(window, {0, part.first}, caption(part.second, 9));
    expectTurn(window, {VK_END, 0}, caption(9, 9));
    // On the last page nothing goes on: the next turn back lands on page 8.
    for (const Input& input : kNextInputs) expectTurn(window, input, caption(9, 9));
    expectTurn(window, {VK_LEFT, 0}, caption(8, 9));
    expectTurn(window, {VK_HOME, 0}, caption(1, 9));
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(viewer.waitForExit(kWaitMs)) << "Escape did not end the viewer";
}

TEST_F(ViewerKeys, GoingBackFromTheLastPageRestoresBrowsingAndTheCountdown) {
    HWND window = openInFront(L"timed.exe");  // interval 5
    ASSERT_NE(window, nullptr);
    expectTurn(window, {VK_RIGHT, 0}, caption(2, 9) + L" 5秒");
    expectTurn(window, {VK_END, 0}, caption(9, 9));
    settle(window);
    EXPECT_EQ(menuBar(window),
              (std::vector<std::wstring>{L"先頭(&T)", L"全ﾌｧｲﾙ復元(&G)", L"終了(&Q)", L"ちょっと一言(&S)"}));
    expectTurn(window, {0, WHEEL_DELTA}, caption(8, 9) + L" 5秒");
    settle(window);
    EXPECT_EQ(menuBar(window), (std::vector<std::wstring>{L"次(&N)"}));
    closeWithEscape(window);
}

TEST_F(ViewerKeys, OnePageHasNothingToTurn) {
    // A one-page book, and a picture given on the command line.
    const std::pair<const wchar_t*, std::wstring> cases[] = {{L"one.exe", L""},
                                                             {L"bare.exe", booksFolder() + L"page4-grey.jpg"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first);
        HWND window = openInFront(c.first, c.second);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(windowCaption(window).compare(0, 4, L"1/1 "), 0) << "not one page";
        for (const Input& input : kNextInputs) give(window, input);
        for (const Input& input : kPreviousInputs) give(window, input);
        give(window, {VK_HOME, 0});
        give(window, {VK_END, 0});
        // Escape comes after them: once the viewer has ended, it had handled them all.
        pressKey(VK_ESCAPE);
        EXPECT_TRUE(viewer.waitForExit(kWaitMs)) << "Escape did not end the viewer";
        EXPECT_EQ(viewer.exitCode(), 0u);
        viewer.terminate();
    }
}

}  // namespace
