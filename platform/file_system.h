// Paths the program asks the system about: its own file, whether a file exists and how long
// it is, and the temporary folder with uniquely named new files in it.
#pragma once
#include <cstdint>
#include <string>

// The program's own full file name (GetModuleFileNameW); empty on failure.
std::wstring ownProgramPath();

// A file found by its name (wildcards match too) with its 64-bit length in two halves.
struct FoundFile {
    uint32_t sizeHigh = 0;
    uint32_t sizeLow = 0;
    uint64_t size() const { return (uint64_t(sizeHigh) << 32) | sizeLow; }
};

// Looks a name up with FindFirstFileW; false when nothing matches.
bool findFile(const std::wstring& pattern, FoundFile& found);

// The user's temporary folder, ending in a backslash (GetTempPathW).
bool tempFolder(std::wstring& folder);

// Creates a new, empty file in `folder` whose name the system makes unique from `prefix`
// (the first three characters count; the system adds four hexadecimal digits and ".tmp").
// False for a folder longer than kLongestTempFileFolder, which the system does not take.
constexpr size_t kLongestTempFileFolder = 260 - 14;
bool createTempFile(const std::wstring& folder, const std::wstring& prefix, std::wstring& path);
