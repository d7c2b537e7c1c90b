// A fresh folder under the temporary folder for one test, removed with everything in it.
#pragma once
#include <string>

#include "windows_files.h"

class ScratchFolder {
public:
    // Named `prefix`, the process id and a count, so that tests running side by side never meet.
    explicit ScratchFolder(const wchar_t* prefix = L"edamiru-test-");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending in a backslash.
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + name; }
    // Makes a folder inside this one; its path, ending in a backslash.
    std::wstring folder(const std::wstring& name) const;

private:
    std::wstring path_;
};
