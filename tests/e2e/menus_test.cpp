// The viewer's context menu and system menu as the reader meets them: which items they offer,
// where the context menu opens, and what their items start.
#include <algorithm>
#include <vector>

#include "in_process_probe.h"
#include "popup_menu.h"
#include "real_input.h"
#include "window_pixels.h"
#include "viewer_test_base.h"

namespace {

const std::wstring kTitle = L"九枚の本";
const UINT kSysAbout = 0x0010, kSysCentre = 0x0020, kSysComment = 0x0030;
const UINT kWineAbout = 0xF141;  // Wine's own addition to every system menu

std::wstring caption(int page, int count) { return std::to_wstring(page) + L"/" + std::to_wstring(count) + L" " + kTitle; }

// Items as "depth:text", separators as "depth:-".
std::vector<std::wstring> describe(const std::vector<MenuEntry>& items) {
    std::vector<std::wstring> lines;
    for (const MenuEntry& item : items)
        lines.push_back(std::to_wstring(item.depth) + L":" + (item.kind == 's' ? L"-" : item.text));
    return lines;
}

const std::vector<std::wstring> kPageMoveItems = {L"1:先頭ページ(&F)", L"1:最終ページ(&L)", L"1:-", L"1:任意ページ(&J)..."};
const std::vector<std::wstring> kWallpaperItems = {L"0:壁紙(&W)", L"1:中央(&A)", L"1:全体(&B)"};

std::vector<std::wstring> contextMenuOf(bool pageMove, bool stopItem) {
    std::vector<std::wstring> lines = {L"0:ちょっと一言(&S)"};
    if (pageMove) {
        lines.push_back(L"0:ページ移動(&P)");
        lines.insert(lines.end(), kPageMoveItems.begin(), kPageMoveItems.end());
    }
    lines.insert(lines.end(), kWallpaperItems.begin(), kWallpaperItems.end());
    lines.push_back(L"0:このﾌｧｲﾙ復元(&R)");
    if (stopItem) lines.push_back(L"0:自動次画面停止(&T)");
    lines.push_back(L"0:終了(&Q)");
    lines.push_back(L"0:ｷｬﾝｾﾙ(&C)");
    return lines;
}

class ViewerMenus : public ViewerTestBase {
protected:
    // Opens the context menu at a screen point and reads it; the popup stays open.
    std::vector<std::wstring> openAndRead(HWND window, int x, int y, HWND* popup) {
        *popup = openContextMenu(window, viewer.id(), x, y);
        if (*popup == nullptr) {
            ADD_FAILURE() << "no context menu opened";
            return {};
        }
        std::vector<MenuEntry> items;
        EXPECT_TRUE(readMenu(viewer.handle(), popupMenuHandle(*popup), items)) << "the menu probe did not run";
        return describe(items);
    }

    void closePopup(HWND popup) {
        postKey(popup, VK_ESCAPE);
        EXPECT_TRUE(waitForNoPopupMenu(viewer.id(), kWaitMs)) << "the context menu stayed open";
    }

    // Checks that the popup opened with its top-left corner at a screen point, then closes it.
    void expectAtAndClose(HWND popup, int x, int y) {
        RECT at = {};
        GetWindowRect(popup, &at);
        EXPECT_EQ(at.left, x);
        EXPECT_EQ(at.top, y);
        closePopup(popup);
    }

    // Chooses an item of the open popup by its mnemonic, as the keyboard does.
    void choose(HWND popup, wchar_t mnemonic) { PostMessageW(popup, WM_CHAR, mnemonic, 1); }
};

TEST_F(ViewerMenus, ContextMenuOffersOnlyWhatApplies) {
    struct Case {
        const wchar_t* book;
        bool pageMove, stopItem;
    } cases[] = {{L"one.exe", false, false}, {L"one-timed.exe", false, false}, {L"nine.exe", true, false},
                 {L"timed.exe", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.book);
        HWND window = open(c.book);
        ASSERT_NE(window, nullptr);
        HWND popup = nullptr;
        EXPECT_EQ(openAndRead(window, 200, 150, &popup), contextMenuOf(c.pageMove, c.stopItem));
        if (popup == nullptr) return;
        expectAtAndClose(popup, 200, 150);
        closeWithEscape(window);
        viewer.terminate();
    }
}

TEST_F(ViewerMenus, MenuKeyOpensTheContextMenuAtTheClientAreasTopLeftCorner) {
    HWND window = open(L"nine.exe");
    ASSERT_NE(window, nullptr);
    HWND popup = openContextMenu(window, viewer.id(), -1, -1);
    ASSERT_NE(popup, nullptr);
    const POINT corner = clientOrigin(window);
    ASSERT_TRUE(corner.x > 0 && corner.y > 0) << "a centred window leaves the screen's corner";
    expectAtAndClose(popup, corner.x, corner.y);
    // The same from the keyboard itself: Shift+F10 through the dialog manager.
    ASSERT_TRUE(bringToFront(window, kWaitMs));
    pressKey(VK_F10, true);
    popup = waitForPopupMenu(viewer.id(), kWaitMs);
    ASSERT_NE(popup, nullptr) << "Shift+F10 opened no menu";
    expectAtAndClose(popup, corner.x, corner.y);
    closeWithEscape(window);
}

TEST_F(ViewerMenus, ChosenItemsArriveAsCommandsAndStoppingAutoAdvanceIsFinal) {
    HWND window = open(L"timed.exe");
    ASSERT_NE(window, nullptr);
    HWND popup = openContextMenu(window, viewer.id(), 100, 100);
    ASSERT_NE(popup, nullptr);
    choose(popup, L'c');  // "ｷｬﾝｾﾙ(&C)": the menu closes, nothing else
    EXPECT_TRUE(waitForNoPopupMenu(viewer.id(), kWaitMs));
    settle(window);
    EXPECT_TRUE(viewer.running());
    popup = openContextMenu(window, viewer.id(), 100, 100);
    ASSERT_NE(popup, nullptr);
    choose(popup, L't');  // "自動次画面停止(&T)"
    ASSERT_TRUE(waitForCaption(window, caption(1, 9), kWaitMs)) << "the countdown went on";
    HWND again = nullptr;
    EXPECT_EQ(openAndRead(window, 100, 100, &again), contextMenuOf(true, false));
    if (again != nullptr) closePopup(again);
    // Off for the rest of the run: a page turn starts no countdown either.
    PostMessageW(window, WM_COMMAND, 32777, 0);
    ASSERT_TRUE(waitForCaption(window, caption(2, 9), kWaitMs));
    // A countdown would tick within a second of the turn: watching 1.1 s is enough to see none.
    EXPECT_EQ(watchCaption(window, caption(2, 9), 1100), caption(2, 9));
    popup = openContextMenu(window, viewer.id(), 100, 100);
    ASSERT_NE(popup, nullptr);
    choose(popup, L'q');  // "終了(&Q)"
    EXPECT_TRUE(viewer.waitForExit(5000)) << "終了 did not end the viewer";
}

TEST_F(ViewerMenus, SystemMenuHasNoMaximiseOrSizeAndEndsWithTheViewersItems) {
    HWND window = open(L"nine.exe");
    ASSERT_NE(window, nullptr);
    std::vector<MenuEntry> items;
    ASSERT_TRUE(readSystemMenu(viewer.handle(), window, items));
    auto has = [&](UINT id) {
        return std::any_of(items.begin(), items.end(), [&](const MenuEntry& e) { return e.kind != 's' && e.id == id; });
    };
    EXPECT_FALSE(has(SC_MAXIMIZE));
    EXPECT_FALSE(has(SC_SIZE));
    EXPECT_TRUE(has(SC_MINIMIZE));
    EXPECT_TRUE(has(SC_CLOSE));
    items.erase(std::remove_if(items.begin(), items.end(), [](const MenuEntry& e) { return e.id == kWineAbout; }),
                items.end());
    ASSERT_GE(items.size(), 4u);
    std::vector<MenuEntry> tail(items.end() - 4, items.end());
    EXPECT_EQ(tail[0].id, kSysCentre);
    EXPECT_EQ(tail[0].text, L"中央配置(&R)");
    EXPECT_EQ(tail[1].kind, 's');
    EXPECT_EQ(tail[2].id, kSysComment);
    EXPECT_EQ(tail[2].text, L"ちょっと一言(&S)...");
    EXPECT_EQ(tail[3].id, kSysAbout);
    EXPECT_EQ(tail[3].text, L"ﾊﾞｰｼﾞｮﾝ情報(&A)...");
    closeWithEscape(window);
}

TEST_F(ViewerMenus, CentreOnScreenBringsADraggedWindowBack) {
    HWND window = open(L"nine.exe");
    ASSERT_NE(window, nullptr);
    const POINT centred = clientOrigin(window);
    drag(window, 40, 40, 90, 60);
    const POINT dragged = clientOrigin(window);
    ASSERT_EQ(dragged.x - centred.x, 50);
    ASSERT_EQ(dragged.y - centred.y, 20);
    // The low four bits of a system command are the system's own and do not count.
    PostMessageW(window, WM_SYSCOMMAND, kSysCentre | 0x3, 0);
    settle(window);
    const POINT back = clientOrigin(window);
    EXPECT_EQ(back.x, centred.x);
    EXPECT_EQ(back.y, centred.y);
    closeWithEscape(window);
}

TEST_F(ViewerMenus, SystemCommandsOpenTheBoxesAndTheRestKeepTheirDefault) {
    HWND window = open(L"nine.exe");
    ASSERT_NE(window, nullptr);
    struct Case {
        UINT message;
        WPARAM command;
        const wchar_t* caption;
    } cases[] = {{WM_SYSCOMMAND, kSysAbout, L"エダミルのﾊﾞｰｼﾞｮﾝ情報"},
                 {WM_COMMAND, 32773, L"エダミルのﾊﾞｰｼﾞｮﾝ情報"},
                 {WM_SYSCOMMAND, kSysComment, L"画像作者からのコメント"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.command);
        HWND box = commandOpensDialog(window, c.message, c.command);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(windowCaption(box), c.caption);
        endDialog(box);
    }
    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    settle(window);
    EXPECT_TRUE(IsIconic(window)) << "minimise did not reach the default handling";
    PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    settle(window);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(windowCaption(window), caption(1, 9));
    closeWithEscape(window);
}

}  // namespace
