// The main window as the reader sees it: caption, menu bar, size and place, painted pixels,
// page turns by menu, mouse and timer. Books are made by the fixtures from samples/ pictures.
#include <gtest/gtest.h>

#include <cstdlib>

#include "expected_picture.h"
#include "in_process_probe.h"
#include "temp_folder_watch.h"
#include "test_folders.h"
#include "viewer_process.h"
#include "viewer_window.h"
#include "window_pixels.h"

namespace {

const DWORD kStartTimeoutMs = 10000;
const DWORD kCaptionTimeoutMs = 5000;
const DWORD kPaintTimeoutMs = 5000;
const std::wstring kTitle = L"九枚の本";
const UINT kNextCommand = 32777;

std::wstring pageCaption(int page, int count) {
    return std::to_wstring(page) + L"/" + std::to_wstring(count) + L" " + kTitle;
}

class ViewerWindow : public ::testing::Test {
protected:
    // Starts a book (or a program with arguments) as `run` and waits for its main window and,
    // unless page 1 cannot be shown (then none runs), for the deferred pass.
    HWND open(ViewerProcess& run, const std::wstring& program, const std::wstring& arguments = L"",
              bool deferredPass = true) {
        const std::wstring path = booksFolder() + program;
        if (fileSize(path) == 0) {
            ADD_FAILURE() << "missing: the fixture that makes it did not run";
            return nullptr;
        }
        if (!run.start({path, arguments, folders.temp()})) return nullptr;
        HWND window = run.waitForMainWindow(kStartTimeoutMs);
        // As a reader meets it: the deferred pass has read the pages after the first, and ended
        // by deleting the temporary copy of the book.
        if (window != nullptr) {
            if (deferredPass) {
                EXPECT_TRUE(waitForNoFiles(folders.temp() + L"edm*.tmp", kStartTimeoutMs)) << "the copy stayed";
            }
            settle(window);
        }
        return window;
    }
    HWND open(const std::wstring& program, const std::wstring& arguments = L"") {
        return open(viewer, program, arguments);
    }

    std::vector<std::wstring> menuBar(HWND window, bool* hasBar = nullptr) {
        bool present = false;
        std::vector<MenuBarItem> items;
        EXPECT_TRUE(readMenuBar(viewer.handle(), window, present, items)) << "the menu probe did not run";
        if (hasBar != nullptr) *hasBar = present;
        std::vector<std::wstring> texts;
        for (const MenuBarItem& item : items) texts.push_back(item.text);
        return texts;
    }

    void closeWithEscape(HWND window, ViewerProcess& run) {
        postKey(window, VK_ESCAPE);
        EXPECT_TRUE(run.waitForExit(5000)) << "Escape did not end the viewer";
    }
    void closeWithEscape(HWND window) { closeWithEscape(window, viewer); }

    // Turns from page `from` to `to` of `count` with the menu bar's "次(&N)".
    void turnWithNext(HWND window, int from, int to, int count) {
        for (int page = from + 1; page <= to; ++page) {
            PostMessageW(window, WM_COMMAND, kNextCommand, 0);
            ASSERT_TRUE(waitForCaption(window, pageCaption(page, count), kCaptionTimeoutMs)) << page;
        }
    }

    TestFolders folders;
    ViewerProcess viewer;
};

TEST_F(ViewerWindow, NinePagesBrowseToTheLastPageLayoutAndBack) {
    HWND window = open(L"nine.exe");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowCaption(window), pageCaption(1, 9));
    EXPECT_EQ(menuBar(window), (std::vector<std::wstring>{L"次(&N)"}));
    turnWithNext(window, 1, 9, 9);
    settle(window);
    EXPECT_EQ(menuBar(window),
              (std::vector<std::wstring>{L"先頭(&T)", L"全ﾌｧｲﾙ復元(&G)", L"終了(&Q)", L"ちょっと一言(&S)"}));
    // No wrap-around: "次" on the last page changes nothing, not even the caption.
    PostMessageW(window, WM_COMMAND, kNextCommand, 0);
    settle(window);
    EXPECT_EQ(windowCaption(window), pageCaption(9, 9));
    PostMessageW(window, WM_COMMAND, 32776, 0);  // "先頭(&T)"
    ASSERT_TRUE(waitForCaption(window, pageCaption(1, 9), kCaptionTimeoutMs));
    settle(window);
    EXPECT_EQ(menuBar(window), (std::vector<std::wstring>{L"次(&N)"}));
    PostMessageW(window, WM_COMMAND, 32771, 0);  // "終了(&Q)"
    EXPECT_TRUE(viewer.waitForExit(5000));
}

TEST_F(ViewerWindow, OnePageShowsNoCountdownAndKeepsThreeItems) {
    HWND window = open(L"one-timed.exe");  // interval 5, but one page
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowCaption(window), pageCaption(1, 1));
    EXPECT_EQ(menuBar(window), (std::vector<std::wstring>{L"終了(&Q)", L"全ﾌｧｲﾙ復元(&G)", L"ちょっと一言(&S)"}));
    // A countdown would have started with the page and tick within a second of it: watching
    // 1.1 s is enough to see none.
    EXPECT_EQ(watchCaption(window, pageCaption(1, 1), 1100), pageCaption(1, 1)) << "a countdown ran";
    closeWithEscape(window);
}

TEST_F(ViewerWindow, IntervalOfFiveSecondsCountsInTheCaption) {
    HWND window = open(L"timed.exe");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowCaption(window), pageCaption(1, 9) + L" 5秒");
    ASSERT_TRUE(waitForCaption(window, pageCaption(1, 9) + L" 4秒", kCaptionTimeoutMs));
    // A page turn starts the count again from the full interval.
    PostMessageW(window, WM_COMMAND, kNextCommand, 0);
    EXPECT_TRUE(waitForCaption(window, pageCaption(2, 9) + L" 5秒", kCaptionTimeoutMs));
    // The last page pauses the count; the first page starts it again.
    PostMessageW(window, WM_COMMAND, 32788, 0);  // last page
    ASSERT_TRUE(waitForCaption(window, pageCaption(9, 9), kCaptionTimeoutMs));
    PostMessageW(window, WM_COMMAND, 32787, 0);  // first page
    EXPECT_TRUE(waitForCaption(window, pageCaption(1, 9) + L" 5秒", kCaptionTimeoutMs));
    PostMessageW(window, WM_COMMAND, 32789, 0);  // stop auto-advance
    EXPECT_TRUE(waitForCaption(window, pageCaption(1, 9), kCaptionTimeoutMs));
    closeWithEscape(window);
}

TEST_F(ViewerWindow, AutoAdvanceTurnsEachPageOnceAndStopsOnTheLast) {
    HWND window = open(L"auto.exe");  // interval 1 s, three pages
    ASSERT_NE(window, nullptr);
    std::vector<std::wstring> seen = captionsUntil(window, pageCaption(3, 3), 10000);
    // The count may show 0 for a moment before a turn, or turn without showing it.
    std::vector<std::wstring> turns;
    for (const std::wstring& caption : seen)
        if (caption.find(L" 0秒") == std::wstring::npos) turns.push_back(caption);
    EXPECT_EQ(turns, (std::vector<std::wstring>{pageCaption(1, 3) + L" 1秒", pageCaption(2, 3) + L" 1秒",
                                                pageCaption(3, 3)}));
    // Another turn would come a second after the last page showed: watching 1.1 s is enough.
    EXPECT_EQ(watchCaption(window, pageCaption(3, 3), 1100), pageCaption(3, 3)) << "the last page did not stay";
    closeWithEscape(window);
}

TEST_F(ViewerWindow, NoTitleBarNoMenuBarButTheCaptionRuleHolds) {
    HWND window = open(L"bare-window.exe");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(GetMenu(window), nullptr);
    bool hasBar = true;
    menuBar(window, &hasBar);
    EXPECT_FALSE(hasBar);
    EXPECT_EQ(windowCaption(window), pageCaption(1, 9));
    PostMessageW(window, WM_COMMAND, 32788, 0);  // last page: no menu bar to change
    EXPECT_TRUE(waitForCaption(window, pageCaption(9, 9), kCaptionTimeoutMs));
    closeWithEscape(window);
}

TEST_F(ViewerWindow, ClicksTurnPagesByMouseMode) {
    struct Case {
        const wchar_t* book;
        int pagesByClick, pagesByDoubleClick;
    } cases[] = {{L"nine.exe", 1, 2}, {L"mouse2.exe", 0, 1}, {L"mouse3.exe", 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.book);
        ViewerProcess run;
        HWND window = open(run, c.book);
        ASSERT_NE(window, nullptr);
        click(window, 20, 20);
        const int afterClick = 1 + c.pagesByClick;
        EXPECT_EQ(windowCaption(window), pageCaption(afterClick, 9));
        doubleClick(window, 20, 20);
        EXPECT_EQ(windowCaption(window), pageCaption(afterClick + c.pagesByDoubleClick, 9));
        closeWithEscape(window, run);
    }
}

TEST_F(ViewerWindow, DragMovesTheWindowAndTurnsNothingInEveryMode) {
    for (const wchar_t* book : {L"nine.exe", L"mouse2.exe", L"mouse3.exe"}) {
        SCOPED_TRACE(testing::Message() << book);
        ViewerProcess run;
        HWND window = open(run, book);
        ASSERT_NE(window, nullptr);
        RECT before = {}, after = {};
        GetWindowRect(window, &before);
        drag(window, 40, 40, 70, 40);
        GetWindowRect(window, &after);
        EXPECT_EQ(after.left - before.left, 30);
        EXPECT_EQ(after.top, before.top);
        EXPECT_EQ(after.right - after.left, before.right - before.left);
        EXPECT_EQ(windowCaption(window), pageCaption(1, 9));
        closeWithEscape(window, run);
    }
}

TEST_F(ViewerWindow, PressShowsTheNextCursorWhileBrowsingAndTheGrabCursorOtherwise) {
    HWND window = open(L"nine.exe");
    ASSERT_NE(window, nullptr);
    const HCURSOR next = programCursor(viewer.handle(), 106), grab = programCursor(viewer.handle(), 107);
    ASSERT_NE(next, nullptr);
    ASSERT_NE(grab, nullptr);
    ASSERT_NE(next, grab);
    auto pressAndLook = [&](int x) {
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
        settle(window);
        return shownCursor();
    };
    EXPECT_EQ(pressAndLook(10), next);
    PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 10));
    settle(window);
    EXPECT_EQ(shownCursor(), grab) << "no grab cursor while the button is held";
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));  // back at the press point: page 2
    ASSERT_TRUE(waitForCaption(window, pageCaption(2, 9), kCaptionTimeoutMs));
    PostMessageW(window, WM_COMMAND, 32788, 0);  // last page
    ASSERT_TRUE(waitForCaption(window, pageCaption(9, 9), kCaptionTimeoutMs));
    EXPECT_EQ(pressAndLook(10), grab);
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    settle(window);
    EXPECT_EQ(windowCaption(window), pageCaption(9, 9));
    closeWithEscape(window);
}

TEST_F(ViewerWindow, ClientAreaTakesThePictureSizeAroundAnUnmovedCentre) {
    HWND window = open(L"sizes.exe");  // 160 x 120, then 400 x 300
    ASSERT_NE(window, nullptr);
    SIZE first = clientSize(window);
    EXPECT_EQ(first.cx, 160);
    EXPECT_EQ(first.cy, 120);
    // The client area is centred on the screen.
    POINT origin = clientOrigin(window);
    EXPECT_NEAR(origin.x + first.cx / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR(origin.y + first.cy / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    POINT centre = windowCentre(window);
    PostMessageW(window, WM_COMMAND, kNextCommand, 0);
    ASSERT_TRUE(waitForCaption(window, pageCaption(2, 2), kCaptionTimeoutMs));
    settle(window);
    SIZE second = clientSize(window);
    EXPECT_EQ(second.cx, 400);
    EXPECT_EQ(second.cy, 300);
    POINT moved = windowCentre(window);
    EXPECT_NEAR(moved.x, centre.x, 1);
    EXPECT_NEAR(moved.y, centre.y, 1);
    closeWithEscape(window);
}

TEST_F(ViewerWindow, PageOneThatCannotBeShownKeepsTheResourceMenuBar) {
    HWND window = open(viewer, L"unshowable.exe", L"", false);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowCaption(window), kTitle);
    EXPECT_EQ(menuBar(window), (std::vector<std::wstring>{L"次(&N)", L"先頭(&T)", L"終了(&Q)", L"全ﾌｧｲﾙ復元(&G)",
                                                          L"ちょっと一言(&S)"}));
    closeWithEscape(window);
}

// The painted client area against the picture as shown: `render`'s picture on a true-colour
// screen, the dither with this system's halftone palette on an 8-bit screen.
class PaintedPicture : public ViewerWindow {
protected:
    // `picture` as shown: on a true-colour screen the BMP file `render` (`render` + L".24.bmp" unless
    // given), on an 8-bit screen the dither of `picture` (24-bit pictures only).
    void expectPainted(HWND window, const std::wstring& picture, bool dithered, std::wstring render = L"") {
        if (render.empty()) render = picture + L".24.bmp";
        ScreenPixels expected;
        if (screenDepth() == 8) {
            if (!dithered) GTEST_SKIP() << "on an 8-bit screen only dithered pictures are compared";
            ASSERT_TRUE(ditheredPicture(booksFolder() + picture, expected));
        } else {
            ASSERT_TRUE(readBmp(booksFolder() + render, expected)) << "no render of " << picture;
        }
        expectClientArea(window, expected);
    }

    // The bare program with a picture of the books folder on its command line: the caption
    // names the picture, and the picture is painted as `expectPainted` has it.
    void expectCommandLinePicture(const std::wstring& picture, const std::wstring& caption, bool dithered,
                                  const std::wstring& render = L"") {
        HWND window = open(L"bare.exe", booksFolder() + picture);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(windowCaption(window), caption);
        expectPainted(window, picture, dithered, render);
        closeWithEscape(window);
    }

    // The client area, brought to the front and settled, is `expected` in size and, once the
    // viewer's painting has reached the screen, in pixels.
    void expectClientArea(HWND window, const ScreenPixels& expected) {
        SetForegroundWindow(window);
        settle(window);
        SIZE size = clientSize(window);
        EXPECT_EQ(size.cx, expected.width);
        EXPECT_EQ(size.cy, expected.height);
        // Under Wine a window's painting reaches the screen when its thread next waits for messages.
        ScreenPixels grab = grabClientArea(window);
        const DWORD start = GetTickCount();
        while (differingPixels(expected, grab) != 0 && GetTickCount() - start < kPaintTimeoutMs) {
            Sleep(20);
            grab = grabClientArea(window);
        }
        EXPECT_EQ(differingPixels(expected, grab), 0) << firstDifferences(expected, grab);
    }
};

TEST_F(PaintedPicture, CommandLineJpeg) {
    expectCommandLinePicture(L"page1-sky.jpg", L"1/1 page1-sky", true);
}

TEST_F(PaintedPicture, CommandLineProgressiveJpeg) {
    expectCommandLinePicture(L"page2-progressive.jpg", L"1/1 page2-progressive", true);
}

TEST_F(PaintedPicture, CommandLineBmp) {
    expectCommandLinePicture(L"page3-palette.bmp", L"1/1 page3-palette", false);
}

TEST_F(PaintedPicture, CommandLineTrueColourBmp) {
    // `render`'s own output: a 24-bit BMP, shown as it is, or dithered on an 8-bit screen.
    expectCommandLinePicture(L"page1-sky.jpg.24.bmp", L"1/1 page1-sky.jpg.24", true, L"page1-sky.jpg.24.bmp");
}

// A run-length BMP file: four colours, `width` x `height`, each row a run of colour (row mod 4)
// over its first half, an absolute run of three pixels (colours 1, 2, 3), then an end of line.
std::string runLengthBmp(uint32_t compression, uint32_t width, uint32_t height) {
    std::string pixels;
    const uint32_t half = width / 2;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t colour = static_cast<uint8_t>(y % 4);
        pixels += std::string{char(half), char(compression == 1 ? colour : colour << 4 | colour)};
        if (compression == 1) {
            pixels += std::string{0, 3, 1, 2, 3, 0};  // three bytes and one padding byte
        } else {
            pixels += std::string{0, 3, 0x12, 0x30};  // two bytes, high nibble first
        }
        pixels += std::string{0, 0};
    }
    pixels += std::string{0, 1};
    auto le = [](uint32_t v, int n) {
        std::string b;
        for (int i = 0; i < n; ++i) b.push_back(char(v >> (8 * i)));
        return b;
    };
    const uint32_t offset = 14 + 40 + 4 * 4;
    std::string file = "BM" + le(offset + pixels.size(), 4) + le(0, 4) + le(offset, 4);
    file += le(40, 4) + le(width, 4) + le(height, 4) + le(1, 2) + le(compression == 1 ? 8 : 4, 2) + le(compression, 4) +
            le(pixels.size(), 4) + le(0, 8) + le(4, 4) + le(4, 4);
    file += le(0x000000, 4) + le(0xFF0000, 4) + le(0x00FF00, 4) + le(0x0000FF, 4);  // blue, green, red, 0
    return file + pixels;
}

TEST_F(PaintedPicture, RunLengthBmpsOnTheCommandLine) {
    if (screenDepth() == 8) GTEST_SKIP() << "a run-length picture keeps the halftone palette; compared on true colour";
    for (uint32_t compression : {1u, 2u}) {
        SCOPED_TRACE(compression == 1 ? "RLE8" : "RLE4");
        // Wide enough for the menu bar's three items on one line: the client keeps the picture's height.
        const std::wstring path = folders.work() + L"run.bmp";
        ASSERT_TRUE(writeWholeFile(path, runLengthBmp(compression, compression == 1 ? 301 : 298, 32)));
        ScreenPixels expected;
        ASSERT_TRUE(trueColourPicture(path, expected));
        ASSERT_NE(expected.at(0, 0), expected.at(0, 1)) << "the rows should differ";
        ViewerProcess run;
        HWND window = open(run, L"bare.exe", path);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(windowCaption(window), L"1/1 run");
        expectClientArea(window, expected);
        closeWithEscape(window, run);
    }
}

// Page 1 of the demo book on this screen, saved for the documentation.
TEST_F(PaintedPicture, DemoBookFirstPageWithScreenshot) {
    HWND window = open(L"demo.exe");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windowCaption(window), L"1/4 エダミルの見本帳");
    expectPainted(window, L"page1-sky.jpg", true);
    const std::wstring shot = booksFolder() + L"screenshot-" + std::to_wstring(screenDepth() == 8 ? 8 : 24) + L"bit.bmp";
    EXPECT_TRUE(saveScreenshot(shot));
    closeWithEscape(window);
}

}  // namespace
