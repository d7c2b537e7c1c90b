// `extractEntries`: writes the current picture file, or all of them, byte for byte into the
// program's own folder under names made of the title, the zero-padded page number and the tag,
// and reports the outcome in a message box. Also the rule for paths beside the program, which
// the wallpaper file follows too.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "collection.h"

// Longest path, in characters, of a file the program writes beside itself: without the long-path
// opt-in the system takes 259 characters and the terminating zero.
constexpr size_t kMaxWrittenPathChars = 259;

// The folder of the program's file, up to and including its last backslash; "" when there is none.
std::wstring programFolder(const std::wstring& programPath);

// The path of `title` followed by `rest` in the program's folder, or "" when that would not be a
// plain file of that folder: no folder, a title that is not a safe file stem (separators, drive
// colon, ".."), a name that the system takes for a device (CON, NUL, COM1, ... before the first
// dot), a character that file names forbid, or a path longer than kMaxWrittenPathChars.
std::wstring pathBesideProgram(const std::wstring& programPath, const std::string& title, const std::string& rest);

// `all` 0: the entry of `currentPage` (the first one for page 1 or less); otherwise every entry.
// `entries` is the window's table (empty: no table, nothing happens); `title` is Shift-JIS;
// `programPath` is the program's own file (ownProgramPath()); message boxes are owned by `owner`.
// Returns 1 when the file of the page that decides the outcome (the only one, or the last) could
// be created, else 0. A failing write is reported as a file error and ends the operation without
// a message of its own.
int extractEntries(int all, const std::vector<CollectionEntry>& entries, uint32_t entryCount, uint32_t currentPage,
                   const std::string& title, const std::wstring& programPath, HWND owner);
