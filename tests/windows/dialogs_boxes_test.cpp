// The about box and the comment box after their initialisation: caption, texts, icon, and how
// the comment box paints texts with "&".
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "about_dialog.h"
#include "comment_dialog.h"
#include "dialog_ids.h"
#include "edamiru_version.h"
#include "resource.h"

namespace {

std::wstring windowText(HWND window) {
    wchar_t text[4096] = {};
    GetWindowTextW(window, text, 4096);
    return text;
}

HICON appIcon() { return LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP_ICON)); }

// Records what the reader would see once the box is initialised, then closes it with OK.
template <class Box>
class Observed : public Box {
public:
    std::wstring caption, shownComment, shownLink, shownName;
    HICON bigIcon = nullptr;
    BOOL initResult = FALSE;
    std::function<void(HWND)> look;  // runs on the initialised box, if set

protected:
    BOOL OnInitDialog() override {
        initResult = Box::OnInitDialog();
        HWND w = this->hwnd();
        caption = windowText(w);
        shownComment = windowText(GetDlgItem(w, IDC_COMMENT_TEXT));
        shownLink = windowText(GetDlgItem(w, IDC_LINK_TEXT));
        shownName = windowText(GetDlgItem(w, IDC_ABOUT_NAME));
        if (look) look(w);
        bigIcon = reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_BIG, 0));
        PostMessageW(w, WM_COMMAND, IDOK, 0);
        return initResult;
    }
};

// Runs the box with the texts it is given: initialised successfully, with the program's icon,
// and ended with OK.
template <class Box>
void runWithTexts(Observed<Box>& box, const std::string& title, const std::string& comment, const std::string& link) {
    box.title = title;
    box.comment = comment;
    box.linkText = link;
    EXPECT_EQ(box.runModal(), IDOK);
    EXPECT_EQ(box.initResult, TRUE);
    EXPECT_EQ(box.bigIcon, appIcon());
}

TEST(AboutBox, CaptionIsTheApplicationNameAndVersionInformation) {
    Observed<AboutDialog> box;
    runWithTexts(box, "T", "comment", "link");
    EXPECT_EQ(box.caption, L"エダミルのﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(box.shownName, L"エダミル Version " EDAMIRU_VERSION_TEXT);
}

TEST(CommentBox, ShowsCommentAndLinkTextButNotTheTitle) {
    Observed<CommentDialog> box;
    runWithTexts(box, "表題", "(なし)", "(なし)");
    EXPECT_EQ(box.caption, L"画像作者からのコメント");
    EXPECT_EQ(box.shownComment, L"(なし)");
    EXPECT_EQ(box.shownLink, L"(なし)");
}

TEST(CommentBox, EmptyCommentLeavesItsLineBlankAndLongLinkTextIsKeptWhole) {
    Observed<CommentDialog> box;
    std::string link;
    std::wstring expected;
    for (int i = 0; i < 20; ++i) {
        link += "http://example.invalid/表示ソフト ";
        expected += L"http://example.invalid/表示ソフト ";
    }
    runWithTexts(box, "", "", link);
    EXPECT_EQ(box.shownComment, L"");
    EXPECT_EQ(box.shownLink, expected);
}

// What a control paints into its client area, as 32-bit pixels.
std::vector<uint32_t> painted(HWND control) {
    RECT r;
    GetClientRect(control, &r);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        GdiFlush();
        const uint32_t* first = static_cast<const uint32_t*>(bits);
        pixels.assign(first, first + r.right * r.bottom);
        SelectObject(dc, old);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    return pixels;
}

// A static control in the same place, of the same style and font as `control`, but taking "&"
// for a mnemonic, showing `text`; destroyed with the box.
HWND prefixTwin(HWND control, const std::wstring& text) {
    HWND box = GetParent(control);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & ~static_cast<DWORD>(SS_NOPREFIX);
    HWND twin = CreateWindowExW(static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE)), L"Static", text.c_str(),
                                style, r.left, r.top, r.right - r.left, r.bottom - r.top, box, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(twin, WM_SETFONT, SendMessageW(control, WM_GETFONT, 0, 0), FALSE);
    return twin;
}

std::wstring doubledAmpersands(const std::wstring& text) {
    std::wstring doubled;
    for (wchar_t c : text) doubled += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
    return doubled;
}

// The box paints "&" as a character: what it shows equals the same text with every "&" doubled
// through mnemonic processing, and not that processing of the text itself (which drops them).
TEST(CommentBox, AmpersandsOfTheTextsAreShown) {
    Observed<CommentDialog> box;
    const struct {
        int id;
        std::wstring text;
    } cases[] = {{IDC_COMMENT_TEXT, L"春&秋 & 冬"}, {IDC_LINK_TEXT, L"https://example.org/?a=1&b=2"}};
    box.look = [&](HWND w) {
        for (const auto& c : cases) {
            HWND control = GetDlgItem(w, c.id);
            const std::vector<uint32_t> shown = painted(control);
            ASSERT_FALSE(shown.empty()) << c.id;
            const bool sameAsDoubled = shown == painted(prefixTwin(control, doubledAmpersands(c.text)));
            const bool sameAsDropped = shown == painted(prefixTwin(control, c.text));
            EXPECT_TRUE(sameAsDoubled) << c.id << ": an \"&\" is not shown";
            EXPECT_FALSE(sameAsDropped) << c.id << ": the two roads cannot be told apart";
        }
    };
    runWithTexts(box, "", "春&秋 & 冬", "https://example.org/?a=1&b=2");
    EXPECT_EQ(box.shownComment, cases[0].text);
    EXPECT_EQ(box.shownLink, cases[1].text);
}

}  // namespace
