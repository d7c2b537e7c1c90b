// Whole-file helpers of the Windows tests, written with plain Win32 calls so that they do not
// depend on the code under test.
#pragma once
#include <cstdint>
#include <string>

// Deletes a folder (ending in a backslash) with everything in it.
void removeTree(const std::wstring& folder);
// Writes bytes to a new file (an existing one is emptied first).
bool writeWholeFile(const std::wstring& path, const std::string& bytes);
// Reads a whole file; false when it cannot be opened.
bool readWholeFile(const std::wstring& path, std::string& bytes);
// Makes a file of `size` bytes without writing them (sparse where the file system allows).
bool makeSparseFile(const std::wstring& path, uint64_t size);
