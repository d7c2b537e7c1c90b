// Scratch folders of the Windows tests.
#include "scratch_folder.h"

#include <windows.h>

ScratchFolder::ScratchFolder(const wchar_t* prefix) {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) +
            L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { removeTree(path_); }

std::wstring ScratchFolder::folder(const std::wstring& name) const {
    const std::wstring inside = path_ + name + L"\\";
    CreateDirectoryW(inside.c_str(), nullptr);
    return inside;
}
