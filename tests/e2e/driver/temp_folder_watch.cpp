// Polling a folder for temporary files.
#include "temp_folder_watch.h"

#include <windows.h>

int countFiles(const std::wstring& pattern) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return count;
}

bool waitForNoFiles(const std::wstring& pattern, unsigned timeoutMs) {
    const DWORD startTime = GetTickCount();
    while (countFiles(pattern) != 0) {
        if (GetTickCount() - startTime >= timeoutMs) return false;
        Sleep(5);
    }
    return true;
}

TempFolderWatch::TempFolderWatch(const std::wstring& folder, const std::wstring& pattern)
    : pattern_(folder + pattern), thread_(&TempFolderWatch::poll, this) {}

TempFolderWatch::~TempFolderWatch() {
    stop_ = true;
    thread_.join();
}

int TempFolderWatch::count() const { return countFiles(pattern_); }

bool TempFolderWatch::waitForCount(int wanted, unsigned timeoutMs) const {
    DWORD startTime = GetTickCount();
    while (count() != wanted) {
        if (GetTickCount() - startTime >= timeoutMs) return false;
        Sleep(5);
    }
    return true;
}

void TempFolderWatch::poll() {
    while (!stop_) {
        int now = countFiles(pattern_);
        if (now > maximum_) maximum_ = now;
        Sleep(2);
    }
}
