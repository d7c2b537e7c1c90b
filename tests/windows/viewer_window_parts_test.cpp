// The main window's arithmetic and menus without the window: the caption rule, the interval in
// milliseconds, the rectangles of fitting and centring, and the menu-bar layouts.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "caption_text.h"
#include "menu.h"
#include "menu_bar_layout.h"
#include "resource.h"
#include "text.h"
#include "window_geometry.h"

namespace {

TEST(CaptionText, PageCountTitleAndCountdown) {
    EXPECT_EQ(captionText(3, 12, "T", true, 7), "3/12 T 7秒");
    EXPECT_EQ(captionText(1, 1, "本", false, 99), "1/1 本");
    EXPECT_EQ(captionText(1000, 4294967295u, "", true, 0), "1,000/4,294,967,295  0秒");
}

TEST(IntervalMilliseconds, OffStaysOffAndLongIntervalsAreCutBeforeTheyOverflow) {
    EXPECT_EQ(intervalMilliseconds(0), 0);
    EXPECT_EQ(intervalMilliseconds(-1), -1);
    EXPECT_EQ(intervalMilliseconds(1), 1000);
    EXPECT_EQ(intervalMilliseconds(kLongestIntervalSeconds), 2147483000);
    EXPECT_EQ(intervalMilliseconds(kLongestIntervalSeconds + 1), 2147483000);
    EXPECT_EQ(intervalMilliseconds(0x7FFFFFFF), 2147483000);
}

RECT rect(LONG left, LONG top, LONG right, LONG bottom) { return RECT{left, top, right, bottom}; }

TEST(WindowGeometry, FittingKeepsTheCentreAndGivesTheClientThePictureSize) {
    // A 646 x 446 window around a 640 x 400 client area (frame 6 x 46), centre (423, 323).
    RECT window = rect(100, 100, 746, 546), client = rect(0, 0, 640, 400);
    RECT fitted = fittedWindowRect(window, client, 400, 300);
    EXPECT_EQ(fitted.right - fitted.left, 406);
    EXPECT_EQ(fitted.bottom - fitted.top, 346);
    EXPECT_EQ((fitted.left + fitted.right) / 2, 423);
    EXPECT_EQ((fitted.top + fitted.bottom) / 2, 323);
    // Odd sizes: the divisions drop the fraction on both sides.
    RECT odd = fittedWindowRect(window, client, 401, 301);
    EXPECT_EQ(odd.left, 100 + 323 - 407 / 2);
    EXPECT_EQ(odd.top, 100 + 223 - 347 / 2);
}

TEST(WindowGeometry, HugePicturesDoNotOverflowTheWindowSize) {
    RECT fitted = fittedWindowRect(rect(0, 0, 100, 100), rect(0, 0, 90, 80), 0xFFFFFFFFu, 0x7FFFFFFFu);
    EXPECT_GT(fitted.right, fitted.left);
    EXPECT_GT(fitted.bottom, fitted.top);
}

TEST(WindowGeometry, CentringPutsTheClientAreaInTheMiddleOfTheScreen) {
    // Frame: 3 px borders (dialog frame), caption and menu bar 38 px: 6 x 44.
    const int screenW = 1024, screenH = 768, dlgFrame = 3;
    RECT window0 = rect(10, 20, 10 + 406, 20 + 344), client0 = rect(0, 0, 400, 300);
    RECT first = frameOnlyCentredRect(window0, client0, screenW, screenH, dlgFrame);
    EXPECT_EQ(first.right - first.left, 6);
    EXPECT_EQ(first.bottom - first.top, 44);
    RECT client1 = rect(0, 0, 0, 0);  // the frame measured again: unchanged here
    RECT second = regrownWindowRect(first, client1, client0);
    ASSERT_EQ(second.right - second.left, 406);
    ASSERT_EQ(second.bottom - second.top, 344);
    // The client area starts 3 px in from the left and 41 px down from the top.
    const int clientLeft = second.left + 3, clientTop = second.top + 44 - 3;
    EXPECT_EQ(clientLeft + 200, screenW / 2);
    EXPECT_EQ(clientTop + 150, screenH / 2);
}

std::vector<std::string> itemTexts(HMENU menu) {
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        texts.push_back(toShiftJis(text));
    }
    return texts;
}

std::vector<UINT> itemIds(HMENU menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) ids.push_back(GetMenuItemID(menu, i));
    return ids;
}

TEST(MenuBarLayout, OnePageAndBrowsingStartLayouts) {
    Menu one, several;
    ASSERT_TRUE(one.load(IDR_MENU_BAR));
    ASSERT_TRUE(several.load(IDR_MENU_BAR));
    removeStartItems(one.handle(), 1);
    removeStartItems(several.handle(), 9);
    EXPECT_EQ(itemTexts(one.handle()), (std::vector<std::string>{"終了(&Q)", "全ﾌｧｲﾙ復元(&G)", "ちょっと一言(&S)"}));
    EXPECT_EQ(itemIds(several.handle()), (std::vector<UINT>{ID_NEXT}));
    EXPECT_EQ(itemTexts(several.handle()), (std::vector<std::string>{"次(&N)"}));
}

TEST(MenuBarLayout, LastPageAndBackAgainRepeatedly) {
    Menu bar;
    ASSERT_TRUE(bar.load(IDR_MENU_BAR));
    removeStartItems(bar.handle(), 9);
    for (int round = 0; round < 3; ++round) {
        switchToLastPageLayout(bar.handle());
        EXPECT_EQ(itemTexts(bar.handle()),
                  (std::vector<std::string>{"先頭(&T)", "全ﾌｧｲﾙ復元(&G)", "終了(&Q)", "ちょっと一言(&S)"}));
        EXPECT_EQ(itemIds(bar.handle()),
                  (std::vector<UINT>{ID_FIRST, ID_RESTORE_ALL, ID_APP_EXIT_ITEM, ID_SHOW_COMMENT}));
        switchToBrowsingLayout(bar.handle());
        EXPECT_EQ(itemIds(bar.handle()), (std::vector<UINT>{ID_NEXT}));
        EXPECT_EQ(itemTexts(bar.handle()), (std::vector<std::string>{"次(&N)"}));
    }
}

TEST(MenuBarLayout, InsertedTextsAreThoseOfTheResource) {
    Menu resource, switched;
    ASSERT_TRUE(resource.load(IDR_MENU_BAR));
    ASSERT_TRUE(switched.load(IDR_MENU_BAR));
    removeStartItems(switched.handle(), 2);
    switchToLastPageLayout(switched.handle());
    std::vector<std::string> all = itemTexts(resource.handle());
    for (const std::string& text : itemTexts(switched.handle()))
        EXPECT_NE(std::find(all.begin(), all.end(), text), all.end()) << text;
}

}  // namespace
