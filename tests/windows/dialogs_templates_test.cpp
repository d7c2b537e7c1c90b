// The templates of the file list, about and comment dialogs as the system reads them: window
// style, size, font, caption, menu and every control with its place and style.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <vector>

#include "dialog_ids.h"
#include "resource.h"

namespace {

struct Control {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring className;  // or "#n" for a predefined class
    std::wstring text;       // or "#n" for a resource number
};

struct Template {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu, caption, font;
    WORD points = 0;
    std::vector<Control> controls;
};

class Reader {
public:
    explicit Reader(const uint8_t* p) : start_(p), p_(p) {}
    WORD word() {
        WORD v;
        std::memcpy(&v, p_, 2);
        p_ += 2;
        return v;
    }
    DWORD dword() { return word() | (DWORD(word()) << 16); }
    short shortValue() { return static_cast<short>(word()); }
    // A string, or 0xFFFF and a number (written "#n").
    std::wstring nameOrNumber() {
        WORD first = word();
        if (first == 0xFFFF) return L"#" + std::to_wstring(word());
        std::wstring s;
        for (WORD c = first; c != 0; c = word()) s.push_back(static_cast<wchar_t>(c));
        return s;
    }
    void alignDword() {
        while ((p_ - start_) % 4 != 0) ++p_;
    }
    void skip(size_t n) { p_ += n; }

private:
    const uint8_t* start_;
    const uint8_t* p_;
};

Template readTemplate(UINT id) {
    Template t;
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    if (found == nullptr) return t;
    Reader r(static_cast<const uint8_t*>(LockResource(LoadResource(self, found))));
    if (r.word() != 1 || r.word() != 0xFFFF) return t;  // extended templates only
    r.dword();                                           // help id
    r.dword();                                           // extended style
    t.style = r.dword();
    WORD count = r.word();
    t.x = r.shortValue();
    t.y = r.shortValue();
    t.cx = r.shortValue();
    t.cy = r.shortValue();
    t.menu = r.nameOrNumber();
    r.nameOrNumber();  // class
    t.caption = r.nameOrNumber();
    t.points = r.word();
    r.word();  // weight
    r.word();  // italic, character set
    t.font = r.nameOrNumber();
    for (WORD i = 0; i < count; ++i) {
        r.alignDword();
        Control c;
        r.dword();  // help id
        r.dword();  // extended style
        c.style = r.dword();
        c.x = r.shortValue();
        c.y = r.shortValue();
        c.cx = r.shortValue();
        c.cy = r.shortValue();
        c.id = r.dword();
        c.className = r.nameOrNumber();
        c.text = r.nameOrNumber();
        r.skip(r.word());  // creation data
        t.controls.push_back(c);
    }
    return t;
}

const DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
const std::wstring kButton = L"#128", kStatic = L"#130";

// A static control, named by its predefined number or by its class name.
bool isStatic(const Control& c) { return c.className == kStatic || _wcsicmp(c.className.c_str(), L"Static") == 0; }

void expectPlace(const Control& c, short x, short y, short cx, short cy) {
    EXPECT_EQ(c.x, x);
    EXPECT_EQ(c.y, y);
    EXPECT_EQ(c.cx, cx);
    EXPECT_EQ(c.cy, cy);
}

TEST(DialogTemplates, FileList) {
    Template t = readTemplate(IDD_FILE_LIST);
    EXPECT_EQ(t.style, kBoxStyle);
    EXPECT_EQ(t.cx, 183);
    EXPECT_EQ(t.cy, 135);
    EXPECT_EQ(t.menu, L"#135");
    EXPECT_EQ(t.caption, L"画像ファイル一覧");
    EXPECT_EQ(t.points, 9);
    EXPECT_EQ(t.font, L"ＭＳ Ｐゴシック");
    ASSERT_EQ(t.controls.size(), 2u);
    const Control& list = t.controls[0];
    EXPECT_EQ(list.id, static_cast<DWORD>(IDC_FILE_LIST));
    EXPECT_EQ(_wcsicmp(list.className.c_str(), L"SysListView32"), 0);  // the class name is not case-sensitive
    expectPlace(list, 7, 21, 169, 107);
    EXPECT_EQ(list.style & ~WS_VISIBLE,
              static_cast<DWORD>(WS_CHILD | LVS_REPORT | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP));
    const Control& hint = t.controls[1];
    EXPECT_TRUE(isStatic(hint));
    EXPECT_EQ(hint.text, L"連番の番号をクリックしてジャンプして下さい。");
    expectPlace(hint, 7, 4, 169, 11);
    EXPECT_EQ(hint.style & (SS_TYPEMASK | SS_SUNKEN | SS_CENTERIMAGE),
              static_cast<DWORD>(SS_LEFT | SS_SUNKEN | SS_CENTERIMAGE));
}

TEST(DialogTemplates, About) {
    Template t = readTemplate(IDD_ABOUT);
    EXPECT_EQ(t.style, kBoxStyle);
    EXPECT_EQ(t.cx, 184);
    EXPECT_EQ(t.cy, 75);
    EXPECT_EQ(t.menu, L"");
    EXPECT_EQ(t.caption, L"エダミルのﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(t.points, 9);
    EXPECT_EQ(t.font, L"ＭＳ ゴシック");
    ASSERT_EQ(t.controls.size(), 4u);
    const Control& icon = t.controls[0];
    EXPECT_TRUE(isStatic(icon));
    EXPECT_EQ(icon.style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(icon.text, L"#128");
    expectPlace(icon, 15, 39, 20, 20);
    const Control& author = t.controls[1];
    EXPECT_EQ(author.style & (SS_TYPEMASK | SS_CENTERIMAGE), static_cast<DWORD>(SS_LEFT | SS_CENTERIMAGE));
    EXPECT_FALSE(author.text.empty());
    expectPlace(author, 46, 51, 123, 11);
    const Control& ok = t.controls[2];
    EXPECT_EQ(ok.id, static_cast<DWORD>(IDOK));
    EXPECT_EQ(ok.className, kButton);
    EXPECT_EQ(ok.text, L"OK");
    EXPECT_EQ(ok.style & (BS_TYPEMASK | WS_TABSTOP), static_cast<DWORD>(BS_DEFPUSHBUTTON | WS_TABSTOP));
    expectPlace(ok, 127, 4, 50, 14);
    const Control& group = t.controls[3];
    EXPECT_EQ(group.style & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
    EXPECT_EQ(group.text, L"画像表示プログラムの名称及び作者");
    expectPlace(group, 7, 21, 170, 47);
}

TEST(DialogTemplates, Comment) {
    Template t = readTemplate(IDD_COMMENT);
    EXPECT_EQ(t.style, kBoxStyle);
    EXPECT_EQ(t.cx, 190);
    EXPECT_EQ(t.cy, 103);
    EXPECT_EQ(t.caption, L"画像作者からのコメント");
    EXPECT_EQ(t.points, 9);
    EXPECT_EQ(t.font, L"ＭＳ Ｐゴシック");
    ASSERT_EQ(t.controls.size(), 3u);
    const Control& ok = t.controls[0];
    EXPECT_EQ(ok.id, static_cast<DWORD>(IDOK));
    EXPECT_EQ(ok.style & (BS_TYPEMASK | WS_TABSTOP), static_cast<DWORD>(BS_DEFPUSHBUTTON | WS_TABSTOP));
    expectPlace(ok, 133, 82, 50, 14);
    const Control& comment = t.controls[1];
    EXPECT_EQ(comment.id, static_cast<DWORD>(IDC_COMMENT_TEXT));
    EXPECT_EQ(comment.style & (SS_TYPEMASK | SS_SUNKEN | SS_CENTERIMAGE),
              static_cast<DWORD>(SS_LEFT | SS_SUNKEN | SS_CENTERIMAGE));
    expectPlace(comment, 7, 7, 176, 12);
    const Control& link = t.controls[2];
    EXPECT_EQ(link.id, static_cast<DWORD>(IDC_LINK_TEXT));
    EXPECT_EQ(link.style & (SS_TYPEMASK | SS_CENTERIMAGE), static_cast<DWORD>(SS_LEFT));  // wraps
    expectPlace(link, 7, 28, 176, 49);
}

}  // namespace
