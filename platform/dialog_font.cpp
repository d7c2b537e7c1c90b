// Choosing the face of a dialog's font from the installed fonts.
#include "dialog_font.h"

#include <cstddef>

#include <windows.h>

const wchar_t* const kDialogFallbackFaces[3] = {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"};

namespace {

int CALLBACK foundFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

}  // namespace

bool isFontInstalled(const std::wstring& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, face.size());
    bool found = false;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return false;
    EnumFontFamiliesExW(screen, &wanted, foundFont, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring messageFontFace() {
    NONCLIENTMETRICSW metrics = {};
    // The size without the members Windows added later: accepted by every version.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return L"";
    // The face the font mapper draws it with: the message font may name a substitute.
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    HDC screen = GetDC(nullptr);
    wchar_t face[LF_FACESIZE] = {};
    if (font != nullptr && screen != nullptr) {
        HGDIOBJ old = SelectObject(screen, font);
        GetTextFaceW(screen, LF_FACESIZE, face);
        SelectObject(screen, old);
    }
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    if (font != nullptr) DeleteObject(font);
    return face;
}

std::wstring chooseDialogFace(const std::wstring& templateFace, const FaceInstalled& installed,
                              const std::wstring& lastResort) {
    if (installed(templateFace)) return templateFace;
    for (const wchar_t* face : kDialogFallbackFaces) {
        if (installed(face)) return face;
    }
    return lastResort.empty() ? templateFace : lastResort;
}
