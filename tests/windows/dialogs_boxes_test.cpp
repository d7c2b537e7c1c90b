// The about box and the comment box after their initialisation: caption, texts, icon.
#include <gtest/gtest.h>
#include <windows.h>

#include "about_dialog.h"
#include "comment_dialog.h"
#include "dialog_ids.h"
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
    std::wstring caption, shownComment, shownLink;
    HICON bigIcon = nullptr;
    BOOL initResult = FALSE;

protected:
    BOOL OnInitDialog() override {
        initResult = Box::OnInitDialog();
        HWND w = this->hwnd();
        caption = windowText(w);
        shownComment = windowText(GetDlgItem(w, IDC_COMMENT_TEXT));
        shownLink = windowText(GetDlgItem(w, IDC_LINK_TEXT));
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

}  // namespace
