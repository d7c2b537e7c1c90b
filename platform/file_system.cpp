// Own path, file lookup and temporary files through the wide kernel32 functions.
#include "file_system.h"

#include <windows.h>

std::wstring ownProgramPath() {
    std::wstring path(MAX_PATH + 1, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
}

bool findFile(const std::wstring& pattern, FoundFile& found) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    found.sizeHigh = data.nFileSizeHigh;
    found.sizeLow = data.nFileSizeLow;
    return true;
}

bool tempFolder(std::wstring& folder) {
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return false;
    folder.assign(buffer, length);
    return true;
}

bool createTempFile(const std::wstring& folder, const std::wstring& prefix, std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    if (folder.size() > kLongestTempFileFolder) return false;
    if (GetTempFileNameW(folder.c_str(), prefix.c_str(), 0, buffer) == 0) return false;
    path = buffer;
    return true;
}
