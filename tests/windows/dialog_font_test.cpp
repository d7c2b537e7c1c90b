// The face chosen for a dialog's font, and templates carrying another face: the same dialog in
// both layouts, controls untouched, truncated templates refused.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "dialog_font.h"
#include "dialog_ids.h"
#include "dialog_template.h"
#include "dialog_template_copy.h"
#include "resource.h"

namespace {

TEST(DialogFont, ChoiceTakesTheFirstInstalledFaceInOrder) {
    const std::wstring named = L"ＭＳ Ｐゴシック";
    struct Case {
        std::set<std::wstring> installed;
        std::wstring lastResort, expected;
    } cases[] = {
        {{named, L"Yu Gothic UI"}, L"Segoe UI", named},
        {{L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"}, L"Segoe UI", L"Yu Gothic UI"},
        {{L"Meiryo UI", L"MS UI Gothic"}, L"Segoe UI", L"Meiryo UI"},
        {{L"MS UI Gothic", L"Tahoma"}, L"Segoe UI", L"MS UI Gothic"},
        {{L"Tahoma"}, L"Segoe UI", L"Segoe UI"},
        {{}, L"", named},  // the system did not name its message font
    };
    for (const Case& c : cases) {
        auto installed = [&](const std::wstring& face) { return c.installed.count(face) != 0; };
        EXPECT_EQ(chooseDialogFace(named, installed, c.lastResort), c.expected);
    }
}

TEST(DialogFont, InstalledMeansTheSystemListsTheFace) {
    EXPECT_TRUE(isFontInstalled(L"Tahoma"));  // copied into every test prefix
    EXPECT_FALSE(isFontInstalled(L"Edamiru No Such Face"));
    EXPECT_FALSE(isFontInstalled(L""));
    EXPECT_FALSE(messageFontFace().empty());
}

void expectSameControls(const DialogTemplate& a, const DialogTemplate& b) {
    EXPECT_EQ(a.style, b.style);
    EXPECT_EQ(a.cx, b.cx);
    EXPECT_EQ(a.cy, b.cy);
    EXPECT_EQ(a.menu, b.menu);
    EXPECT_EQ(a.caption, b.caption);
    EXPECT_EQ(a.points, b.points);
    ASSERT_EQ(a.controls.size(), b.controls.size());
    for (size_t i = 0; i < a.controls.size(); ++i) {
        const DialogControl &x = a.controls[i], &y = b.controls[i];
        EXPECT_EQ(x.id, y.id);
        EXPECT_EQ(x.style, y.style);
        EXPECT_EQ(x.className, y.className);
        EXPECT_EQ(x.text, y.text);
        EXPECT_EQ(std::vector<short>({x.x, x.y, x.cx, x.cy}), std::vector<short>({y.x, y.y, y.cx, y.cy}));
    }
}

// Faces of every length modulo 4, so the controls move by each possible amount.
const std::wstring kFaces[] = {L"", L"A", L"AB", L"ABC", L"Yu Gothic UI", L"ＭＳ ゴシック"};

TEST(DialogTemplateFace, ProgramTemplatesKeepTheirControlsUnderAnotherFace) {
    for (UINT id : {IDD_VIEWER, IDD_ABOUT, IDD_COMMENT, IDD_FILE_LIST}) {
        std::vector<uint8_t> original;
        ASSERT_TRUE(loadDialogTemplate(id, original));
        std::wstring face;
        ASSERT_TRUE(dialogTemplateFace(original, face));
        EXPECT_EQ(face, readDialogTemplate(original.data()).font);
        for (const std::wstring& other : kFaces) {
            std::vector<uint8_t> bytes = original;
            ASSERT_TRUE(setDialogTemplateFace(bytes, other));
            ASSERT_TRUE(dialogTemplateFace(bytes, face));
            EXPECT_EQ(face, other);
            const DialogTemplate rewritten = readDialogTemplate(bytes.data());
            EXPECT_EQ(rewritten.font, other);
            expectSameControls(readDialogTemplate(original.data()), rewritten);
        }
    }
}

TEST(DialogTemplateFace, TruncatedTemplatesNameNoFace) {
    std::vector<uint8_t> whole;
    ASSERT_TRUE(loadDialogTemplate(IDD_FILE_LIST, whole));
    std::wstring face;
    ASSERT_TRUE(dialogTemplateFace(whole, face));
    // The face ends 2 bytes after its last character; any template shorter than that is refused.
    size_t faceEnd = 0;
    for (size_t size = 0; size <= whole.size(); ++size) {
        std::vector<uint8_t> part(whole.begin(), whole.begin() + size);
        std::wstring found;
        bool named = dialogTemplateFace(part, found);
        std::vector<uint8_t> rewritten = part;
        EXPECT_EQ(setDialogTemplateFace(rewritten, L"Meiryo UI"), named) << size;
        if (!named) {
            EXPECT_EQ(rewritten, part) << size;
        }
        if (named && faceEnd == 0) faceEnd = size;
        if (faceEnd != 0) {
            EXPECT_TRUE(named) << size;
        }
    }
    EXPECT_GT(faceEnd, face.size() * 2);
}

// A plain (DLGTEMPLATE) template with one static control "Hi" (id 7) and the face `face`.
std::vector<uint8_t> plainTemplate(const std::wstring& face) {
    std::vector<uint8_t> t;
    auto word = [&](WORD w) {
        t.push_back(static_cast<uint8_t>(w & 0xFF));
        t.push_back(static_cast<uint8_t>(w >> 8));
    };
    auto dword = [&](DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    };
    auto text = [&](const std::wstring& s) {
        for (wchar_t c : s) word(c);
        word(0);
    };
    dword(WS_POPUP | DS_SETFONT);
    dword(0);
    word(1);  // one control
    for (WORD v : {0, 0, 100, 40}) word(v);
    word(0);  // no menu
    word(0);  // the dialog class
    text(L"Plain");
    word(9);
    text(face);
    while (t.size() % 4 != 0) t.push_back(0);
    dword(WS_CHILD | WS_VISIBLE | SS_LEFT);
    dword(0);
    for (WORD v : {5, 5, 80, 10}) word(v);
    word(7);
    word(0xFFFF);
    word(0x0082);  // static
    text(L"Hi");
    word(0);  // no creation data
    return t;
}

INT_PTR CALLBACK plainProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

std::wstring fontFace(HWND window) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfFaceName;
}

TEST(DialogTemplateFace, PlainTemplateMadeWithTheNewFace) {
    for (const std::wstring& face : {std::wstring(L"Tahoma"), std::wstring(L"IPAPGothic")}) {
        // Built with another face, rewritten, then compared with the template built with `face`.
        std::vector<uint8_t> bytes = plainTemplate(L"Marlett ABC");
        ASSERT_TRUE(setDialogTemplateFace(bytes, face));
        EXPECT_EQ(bytes, plainTemplate(face));
        HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                                 reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr,
                                                 plainProc, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(fontFace(dialog), face);
        wchar_t text[8] = {};
        GetDlgItemTextW(dialog, 7, text, 8);
        EXPECT_STREQ(text, L"Hi");
        DestroyWindow(dialog);
    }
}

}  // namespace
