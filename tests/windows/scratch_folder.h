// A fresh folder under the temporary folder for one test, removed with everything in it.
#pragma once
#include <string>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending in a backslash.
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Writes bytes to a new file with plain Win32 calls (independent of the code under test).
bool writeWholeFile(const std::wstring& path, const std::string& bytes);
// Makes a file of `size` bytes without writing them (sparse where the file system allows).
bool makeSparseFile(const std::wstring& path, unsigned long long size);
// Reads a whole file with plain Win32 calls; false when it cannot be opened.
bool readWholeFile(const std::wstring& path, std::string& bytes);
