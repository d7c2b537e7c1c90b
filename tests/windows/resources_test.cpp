// The program's resources as the system reads them: the main window's template, the menus,
// the texts, the icon and the cursors.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "dialog_template.h"
#include "message_box.h"
#include "resource.h"

namespace {

HINSTANCE self() { return GetModuleHandleW(nullptr); }

TEST(Resources, MainWindowTemplate) {
    const DialogTemplate t = readDialogTemplate(IDD_VIEWER);
    ASSERT_TRUE(t.extended);
    EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                          DS_MODALFRAME | DS_SETFONT));
    EXPECT_TRUE(t.controls.empty());
    EXPECT_EQ(t.cx, 320);
    EXPECT_EQ(t.cy, 200);
    EXPECT_EQ(t.menu, L"#" + std::to_wstring(IDR_MENU_BAR));
    EXPECT_EQ(t.className, L"");  // the standard dialog class
    EXPECT_EQ(t.caption, L"異常事態発生！");
    EXPECT_EQ(t.points, 9);
    EXPECT_EQ(t.weight, 0);
    EXPECT_EQ(t.font, L"ＭＳ Ｐゴシック");
}

struct Item {
    UINT id;
    const wchar_t* text;
};

void expectItems(HMENU menu, const std::vector<Item>& items) {
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text), items[i].text) << "item " << i;
        if (items[i].id != 0) {
            EXPECT_EQ(GetMenuItemID(menu, static_cast<int>(i)), items[i].id) << "item " << i;
        }
    }
}

TEST(Resources, MenuBar) {
    HMENU bar = LoadMenuW(self(), MAKEINTRESOURCEW(IDR_MENU_BAR));
    expectItems(bar, {{32777, L"次(&N)"},
                      {32776, L"先頭(&T)"},
                      {32771, L"終了(&Q)"},
                      {32780, L"全ﾌｧｲﾙ復元(&G)"},
                      {32781, L"ちょっと一言(&S)"}});
    for (int i = 0; i < 5; ++i) EXPECT_EQ(GetSubMenu(bar, i), nullptr);
    DestroyMenu(bar);
}

TEST(Resources, ContextMenu) {
    HMENU menu = LoadMenuW(self(), MAKEINTRESOURCEW(IDR_CONTEXT_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    expectItems(popup, {{32781, L"ちょっと一言(&S)"},
                        {0, L"ページ移動(&P)"},
                        {0, L"壁紙(&W)"},
                        {32774, L"このﾌｧｲﾙ復元(&R)"},
                        {32789, L"自動次画面停止(&T)"},
                        {32771, L"終了(&Q)"},
                        {32772, L"ｷｬﾝｾﾙ(&C)"}});
    expectItems(GetSubMenu(popup, 1),
                {{32787, L"先頭ページ(&F)"}, {32788, L"最終ページ(&L)"}, {0, L""}, {32791, L"任意ページ(&J)..."}});
    EXPECT_TRUE(GetMenuState(GetSubMenu(popup, 1), 2, MF_BYPOSITION) & MF_SEPARATOR);
    expectItems(GetSubMenu(popup, 2), {{32782, L"中央(&A)"}, {32783, L"全体(&B)"}});
    DestroyMenu(menu);
}

TEST(Resources, ApplicationNameAndCommandTexts) {
    EXPECT_EQ(applicationName(), L"エダミル");
    const Item texts[] = {{32771, L"終了(&Q)"},          {32772, L"ｷｬﾝｾﾙ(&C)"},       {32773, L"ﾊﾞｰｼﾞｮﾝ情報(&A)"},
                          {32774, L"１枚ﾌｧｲﾙ復元(&R)"},  {32776, L"先頭に戻る(&T)"},  {32777, L"次の画像(&N)"},
                          {32780, L"全ﾌｧｲﾙ復元(&G)"},    {32781, L"ちょっと一言(&C)"}, {32782, L"壁紙中央(&A)"},
                          {32783, L"壁紙全体(&B)"},      {32787, L"先頭ページ(&F)"},  {32788, L"最終ページ(&L)"},
                          {32789, L"自動次画面停止(&T)"}, {32790, L"閉じる(&C)"},      {32791, L"任意ページ(&J)"},
                          {32792, L"ジャンプ(&J)"}};
    for (const Item& item : texts) {
        wchar_t text[64] = {};
        LoadStringW(self(), item.id, text, 64);
        EXPECT_EQ(std::wstring(text), item.text) << item.id;
    }
}

void expectCursor(UINT id) {
    HCURSOR cursor = LoadCursorW(self(), MAKEINTRESOURCEW(id));
    ASSERT_NE(cursor, nullptr) << id;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 11u);
    EXPECT_EQ(info.yHotspot, 11u);
    EXPECT_EQ(info.hbmColor, nullptr);  // monochrome: the mask holds both halves
    BITMAP mask = {};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

TEST(Resources, CursorsAreMonochromeWithHotSpotElevenEleven) {
    expectCursor(IDCUR_NEXT);
    expectCursor(IDCUR_GRAB);
}

TEST(Resources, ApplicationIcon) {
    HICON icon = LoadIconW(self(), MAKEINTRESOURCEW(IDI_APP_ICON));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    BITMAP colour = {};
    ASSERT_NE(info.hbmColor, nullptr);
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 32);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
}

}  // namespace
