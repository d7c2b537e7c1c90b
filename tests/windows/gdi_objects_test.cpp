// Menus and palettes owned by objects.
#include <gtest/gtest.h>
#include <windows.h>

#include "menu.h"
#include "palette.h"
#include "resource.h"

namespace {

TEST(MenuObject, LoadsTheContextMenuAndRefusesUnknownIds) {
    Menu menu;
    ASSERT_TRUE(menu.load(IDR_CONTEXT_MENU));
    ASSERT_NE(menu.popup(0), nullptr);
    EXPECT_EQ(GetMenuItemCount(menu.popup(0)), 7);
    EXPECT_EQ(menu.popup(1), nullptr);
    EXPECT_FALSE(menu.load(4242));
    EXPECT_EQ(menu.handle(), nullptr);
    EXPECT_EQ(menu.popup(0), nullptr);
}

TEST(PaletteObject, HalftonePaletteHas256Entries) {
    WindowDc screen(nullptr);
    ASSERT_NE(screen.handle(), nullptr);
    Palette palette;
    ASSERT_TRUE(palette.createHalftone(screen.handle()));
    WORD entries = 0;
    ASSERT_EQ(GetObjectW(palette.handle(), sizeof entries, &entries), static_cast<int>(sizeof entries));
    EXPECT_EQ(entries, 256);
    palette.destroy();
    EXPECT_EQ(palette.handle(), nullptr);
}

}  // namespace
