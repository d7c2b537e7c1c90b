// The main window's menus without the window: the system-menu edit, where the context menu
// opens, system commands and the page a file list result carries.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "context_menu.h"
#include "page_choice.h"
#include "system_menu.h"
#include "text.h"

namespace {

struct Item {
    UINT id;
    std::string text;  // Shift-JIS; "-" for a separator
    bool operator==(const Item& other) const { return id == other.id && text == other.text; }
};

std::ostream& operator<<(std::ostream& out, const Item& item) { return out << item.id << " " << item.text; }

std::vector<Item> itemsOf(HMENU menu) {
    std::vector<Item> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        items.push_back({info.wID, (info.fType & MFT_SEPARATOR) ? "-" : toShiftJis(text)});
    }
    return items;
}

// A system menu as a dialog with a minimise box gets it.
HMENU systemLikeMenu() {
    HMENU menu = CreatePopupMenu();
    for (UINT id : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) AppendMenuW(menu, MF_STRING, id, L"x");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, SC_CLOSE, L"x");
    return menu;
}

TEST(SystemMenu, LosesMaximiseAndSizeAndEndsWithTheViewersItems) {
    HMENU menu = systemLikeMenu();
    extendSystemMenu(menu);
    EXPECT_EQ(itemsOf(menu), (std::vector<Item>{{SC_RESTORE, "x"},
                                                {SC_MOVE, "x"},
                                                {SC_MINIMIZE, "x"},
                                                {0, "-"},
                                                {SC_CLOSE, "x"},
                                                {0x20, "中央配置(&R)"},
                                                {0, "-"},
                                                {0x30, "ちょっと一言(&S)..."},
                                                {0x10, "ﾊﾞｰｼﾞｮﾝ情報(&A)..."}}));
    DestroyMenu(menu);
}

TEST(SystemMenu, CommandsCompareWithoutTheirLowFourBits) {
    EXPECT_EQ(systemCommandOf(0x10), kSysAbout);
    EXPECT_EQ(systemCommandOf(0x2F), kSysCentre);
    EXPECT_EQ(systemCommandOf(0x31), kSysComment);
    EXPECT_EQ(systemCommandOf(SC_MOVE | 2), static_cast<UINT>(SC_MOVE));  // a drag by the caption
    EXPECT_EQ(systemCommandOf(0x40), 0x40u);
}

TEST(ContextMenuPoint, OnlyTheMenuKeysMissingPointTakesTheKeyboardPoint) {
    const POINT corner = {300, 200};
    struct Case {
        short x, y;
        LONG expectedX, expectedY;
    } cases[] = {{-1, -1, 300, 200},
                 {200, 150, 200, 150},
                 // A screen left of or above the primary one has negative coordinates.
                 {-1, 40, -1, 40},
                 {-300, -2, -300, -2}};
    for (const Case& c : cases) {
        const POINT at = contextMenuPoint(MAKELPARAM(c.x, c.y), corner);
        EXPECT_EQ(at.x, c.expectedX) << c.x << "," << c.y;
        EXPECT_EQ(at.y, c.expectedY) << c.x << "," << c.y;
    }
}

TEST(PickedPage, OnlyResultsFromTenCarryAPage) {
    EXPECT_EQ(pickedPage(10, 9), 1u);
    EXPECT_EQ(pickedPage(12, 9), 3u);
    EXPECT_EQ(pickedPage(18, 9), 9u);
    for (INT_PTR noPage : {-1, 0, 1, 2, 9}) EXPECT_EQ(pickedPage(noPage, 9), 0u) << noPage;
    EXPECT_EQ(pickedPage(19, 9), 0u) << "beyond the last page";
    EXPECT_EQ(pickedPage(1243, 1234), 1234u);
}

}  // namespace
