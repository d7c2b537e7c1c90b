// The face a dialog's font is made with. A template names a Japanese face that Windows in
// another language may lack; the dialog then gets an installed Japanese UI face instead of
// whatever the system would substitute, with the system's message font as the last resort.
#pragma once
#include <functional>
#include <string>

using FaceInstalled = std::function<bool(const std::wstring& face)>;

// The Japanese UI faces tried, in order, when the template's face is not installed.
extern const wchar_t* const kDialogFallbackFaces[3];

// True when the system lists a font of the face `face` (under that name, not through a
// substitution, which would bring another font's widths).
bool isFontInstalled(const std::wstring& face);

// The face the system's message font is drawn with (empty if the system does not say).
std::wstring messageFontFace();

// The template's face when it is installed, else the first installed face of
// kDialogFallbackFaces, else `lastResort` (the template's face if that is empty).
std::wstring chooseDialogFace(const std::wstring& templateFace, const FaceInstalled& installed,
                              const std::wstring& lastResort);
