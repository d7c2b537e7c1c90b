// The boxes' fixed texts fit their controls whatever face the box is made with, and the face a
// box picks itself is an installed one. Run in the tests' prefix and in one without the
// Japanese font replacements, where the templates' faces are missing.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "about_dialog.h"
#include "dialog_font.h"
#include "dialog_template.h"
#include "file_list_dialog.h"
#include "resource.h"

namespace {

std::wstring faceOf(HFONT font) {
    LOGFONTW description = {};
    GetObjectW(font, sizeof description, &description);
    return description.lfFaceName;
}

// The face the font gets from the font mapper: the same as asked for when it is installed.
std::wstring realisedFace(HWND window, HFONT font) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return face;
}

std::wstring windowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Width of `text` if each wide character took the whole em and every other half of it, as the
// Japanese UI faces of Windows draw them; a face here may draw them narrower.
int widthAtFullEm(const std::wstring& text, const TEXTMETRICW& metrics) {
    int em = metrics.tmHeight - metrics.tmInternalLeading, width = 0;
    for (wchar_t c : text) width += (c >= 0x2E80 && !(c >= 0xFF61 && c <= 0xFF9F)) ? em : (em + 1) / 2;
    return width;
}

// Whether the text of the static or group box `control` is drawn whole, with an average
// character to spare; `detail` says what was needed and what there is, in pixels.
bool fits(HWND control, std::wstring& detail) {
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    bool group = _wcsicmp(className, L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
    std::wstring text = windowText(control);
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    SIZE extent;
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    int needed = std::max<int>(extent.cx, widthAtFullEm(text, metrics)) + metrics.tmAveCharWidth;
    if (group) needed += 2 * metrics.tmAveCharWidth;  // the frame's corners on both sides
    bool oneLine = group || (style & SS_CENTERIMAGE) != 0 || client.bottom < 2 * metrics.tmHeight;
    bool result;
    if (oneLine) {
        result = needed <= client.right && (group || metrics.tmHeight <= client.bottom);
        detail = std::to_wstring(needed) + L"x" + std::to_wstring(metrics.tmHeight);
    } else {
        RECT wrapped = {0, 0, client.right - metrics.tmAveCharWidth, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &wrapped, DT_CALCRECT | DT_WORDBREAK);
        result = wrapped.bottom <= client.bottom;
        detail = L"height " + std::to_wstring(wrapped.bottom);
    }
    detail += L" in " + std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return result;
}

bool hasText(HWND control) {
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    DWORD type = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & SS_TYPEMASK;
    bool textStatic = _wcsicmp(className, L"Static") == 0 && type <= SS_RIGHT;
    bool group = _wcsicmp(className, L"Button") == 0 && (type & BS_TYPEMASK) == BS_GROUPBOX;
    return (textStatic || group) && !windowText(control).empty();
}

// What a box shows once initialised: its font's face, the face the font mapper made of it, and
// the texts that do not fit.
struct Look {
    std::wstring face, realised;
    std::vector<std::wstring> cut;
    int measured = 0;
};

template <class Box>
class Measured : public Box {
public:
    Look look;

protected:
    BOOL OnInitDialog() override {
        BOOL result = Box::OnInitDialog();
        HWND w = this->hwnd();
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
        look.face = faceOf(font);
        look.realised = realisedFace(w, font);
        for (HWND c = GetWindow(w, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!hasText(c)) continue;
            ++look.measured;
            std::wstring detail;
            if (!fits(c, detail)) look.cut.push_back(windowText(c) + L" " + detail);
        }
        PostMessageW(w, WM_COMMAND, IDOK, 0);
        return result;
    }
};

// Runs the about box and the file list with the face `face` ("" for the box's own choice).
std::vector<Look> lookAtBoxes(const std::wstring& face) {
    Measured<AboutDialog> about;
    Measured<FileListDialog> list;
    about.setFontFace(face);
    list.setFontFace(face);
    EXPECT_EQ(about.runModal(), IDOK);
    EXPECT_EQ(list.runModal(), IDOK);
    return {about.look, list.look};
}

std::wstring joined(const std::vector<std::wstring>& texts) {
    std::wstring all;
    for (const std::wstring& t : texts) all += L"「" + t + L"」";
    return all;
}

TEST(DialogFonts, OwnChoiceIsAnInstalledFace) {
    for (const Look& look : lookAtBoxes(L"")) {
        EXPECT_TRUE(isFontInstalled(look.face)) << testing::PrintToString(look.face);
        EXPECT_EQ(_wcsicmp(look.realised.c_str(), look.face.c_str()), 0)
            << testing::PrintToString(look.face) << " drawn as " << testing::PrintToString(look.realised);
        EXPECT_TRUE(look.cut.empty()) << testing::PrintToString(joined(look.cut));
    }
}

TEST(DialogFonts, FixedTextsFitInEveryInstalledFace) {
    std::vector<std::wstring> faces = {L"ＭＳ Ｐゴシック", L"ＭＳ ゴシック", L"IPAPGothic", L"IPAGothic", L"Tahoma",
                                       L"DejaVu Sans", messageFontFace()};
    for (const wchar_t* face : kDialogFallbackFaces) faces.push_back(face);
    int tried = 0;
    for (const std::wstring& face : faces) {
        if (!isFontInstalled(face)) continue;
        ++tried;
        for (const Look& look : lookAtBoxes(face)) {
            EXPECT_EQ(look.face, face);
            EXPECT_GT(look.measured, 0);
            EXPECT_TRUE(look.cut.empty()) << testing::PrintToString(face) << ": "
                                          << testing::PrintToString(joined(look.cut));
        }
    }
    EXPECT_GE(tried, 2);
}

}  // namespace
