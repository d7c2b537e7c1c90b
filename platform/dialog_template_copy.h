// A dialog template copied out of the program's resources, and the changes made to the copy
// before the dialog is created from it: visibility and the font's face name.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

// Copies the dialog template `templateId` of the program into `bytes`; false when there is none.
bool loadDialogTemplate(UINT templateId, std::vector<uint8_t>& bytes);

// Clears WS_VISIBLE in the template's style; false when the template is too short to hold one.
bool hideDialogTemplate(std::vector<uint8_t>& bytes);

// The face name of the template's font (DS_SETFONT); false when the template names none or is
// malformed.
bool dialogTemplateFace(const std::vector<uint8_t>& bytes, std::wstring& face);

// Puts `face` in place of the template's face name, moving the controls that follow so they stay
// aligned; false (and the template unchanged) when the template names no font or is malformed.
bool setDialogTemplateFace(std::vector<uint8_t>& bytes, const std::wstring& face);
