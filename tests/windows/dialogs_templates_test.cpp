// The templates of the file list, about and comment dialogs as the system reads them: window
// style, size, font, caption, menu and every control with its place and style.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dialog_ids.h"
#include "dialog_template.h"
#include "resource.h"

namespace {

const DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
const std::wstring kButton = L"#128", kStatic = L"#130";

// A static control, named by its predefined number or by its class name.
bool isStatic(const DialogControl& c) { return c.className == kStatic || _wcsicmp(c.className.c_str(), L"Static") == 0; }

void expectPlace(const DialogControl& c, short x, short y, short cx, short cy) {
    EXPECT_EQ(c.x, x);
    EXPECT_EQ(c.y, y);
    EXPECT_EQ(c.cx, cx);
    EXPECT_EQ(c.cy, cy);
}

// What a box's template says before its controls (the font is always of nine points).
struct Frame {
    short cx, cy;
    std::wstring menu, caption, font;
};

// Reads the template `id` and checks its frame.
DialogTemplate readBox(UINT id, const Frame& frame) {
    DialogTemplate t = readDialogTemplate(id);
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.style, kBoxStyle);
    EXPECT_EQ(t.cx, frame.cx);
    EXPECT_EQ(t.cy, frame.cy);
    EXPECT_EQ(t.menu, frame.menu);
    EXPECT_EQ(t.caption, frame.caption);
    EXPECT_EQ(t.points, 9);
    EXPECT_EQ(t.font, frame.font);
    return t;
}

TEST(DialogTemplates, FileList) {
    const DialogTemplate t = readBox(IDD_FILE_LIST, {204, 135, L"#135", L"画像ファイル一覧", L"ＭＳ Ｐゴシック"});
    ASSERT_EQ(t.controls.size(), 2u);
    const DialogControl& list = t.controls[0];
    EXPECT_EQ(list.id, static_cast<DWORD>(IDC_FILE_LIST));
    EXPECT_EQ(_wcsicmp(list.className.c_str(), L"SysListView32"), 0);  // the class name is not case-sensitive
    expectPlace(list, 7, 21, 190, 107);
    EXPECT_EQ(list.style & ~WS_VISIBLE,
              static_cast<DWORD>(WS_CHILD | LVS_REPORT | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP));
    const DialogControl& hint = t.controls[1];
    EXPECT_TRUE(isStatic(hint));
    EXPECT_EQ(hint.text, L"連番の番号をクリックしてジャンプして下さい。");
    expectPlace(hint, 7, 4, 190, 11);
    EXPECT_EQ(hint.style & (SS_TYPEMASK | SS_SUNKEN | SS_CENTERIMAGE),
              static_cast<DWORD>(SS_LEFT | SS_SUNKEN | SS_CENTERIMAGE));
}

TEST(DialogTemplates, About) {
    const DialogTemplate t = readBox(IDD_ABOUT, {184, 75, L"", L"エダミルのﾊﾞｰｼﾞｮﾝ情報", L"ＭＳ ゴシック"});
    ASSERT_EQ(t.controls.size(), 5u);
    const DialogControl& icon = t.controls[0];
    EXPECT_TRUE(isStatic(icon));
    EXPECT_EQ(icon.style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(icon.text, L"#128");
    expectPlace(icon, 15, 39, 20, 20);
    const DialogControl& author = t.controls[1];
    EXPECT_EQ(author.style & (SS_TYPEMASK | SS_CENTERIMAGE), static_cast<DWORD>(SS_LEFT | SS_CENTERIMAGE));
    EXPECT_FALSE(author.text.empty());
    expectPlace(author, 46, 51, 123, 11);
    const DialogControl& ok = t.controls[2];
    EXPECT_EQ(ok.id, static_cast<DWORD>(IDOK));
    EXPECT_EQ(ok.className, kButton);
    EXPECT_EQ(ok.text, L"OK");
    EXPECT_EQ(ok.style & (BS_TYPEMASK | WS_TABSTOP), static_cast<DWORD>(BS_DEFPUSHBUTTON | WS_TABSTOP));
    expectPlace(ok, 127, 4, 50, 14);
    const DialogControl& group = t.controls[3];
    EXPECT_EQ(group.style & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
    EXPECT_EQ(group.text, L"画像表示プログラムの名称及び作者");
    expectPlace(group, 7, 21, 170, 47);
    const DialogControl& name = t.controls[4];  // its text is set at run time
    EXPECT_EQ(name.id, static_cast<DWORD>(IDC_ABOUT_NAME));
    EXPECT_TRUE(isStatic(name));
    expectPlace(name, 46, 36, 123, 11);
}

TEST(DialogTemplates, Comment) {
    const DialogTemplate t = readBox(IDD_COMMENT, {190, 103, L"", L"画像作者からのコメント", L"ＭＳ Ｐゴシック"});
    ASSERT_EQ(t.controls.size(), 3u);
    const DialogControl& ok = t.controls[0];
    EXPECT_EQ(ok.id, static_cast<DWORD>(IDOK));
    EXPECT_EQ(ok.style & (BS_TYPEMASK | WS_TABSTOP), static_cast<DWORD>(BS_DEFPUSHBUTTON | WS_TABSTOP));
    expectPlace(ok, 133, 82, 50, 14);
    const DialogControl& comment = t.controls[1];
    EXPECT_EQ(comment.id, static_cast<DWORD>(IDC_COMMENT_TEXT));
    EXPECT_EQ(comment.style & (SS_TYPEMASK | SS_NOPREFIX | SS_SUNKEN | SS_CENTERIMAGE),
              static_cast<DWORD>(SS_LEFT | SS_NOPREFIX | SS_SUNKEN | SS_CENTERIMAGE));
    expectPlace(comment, 7, 7, 176, 12);
    const DialogControl& link = t.controls[2];
    EXPECT_EQ(link.id, static_cast<DWORD>(IDC_LINK_TEXT));
    EXPECT_EQ(link.style & (SS_TYPEMASK | SS_NOPREFIX | SS_CENTERIMAGE),
              static_cast<DWORD>(SS_LEFT | SS_NOPREFIX));  // wraps
    expectPlace(link, 7, 28, 176, 49);
}

}  // namespace
