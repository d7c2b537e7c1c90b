// Folders of one UI test: a private temporary folder for the program and a work folder for
// files the test makes, both removed afterwards; and the books the fixtures made.
#pragma once
#include <cstdint>
#include <string>

#include <windows.h>

#include "scratch_folder.h"
#include "windows_files.h"

class TestFolders {
public:
    TestFolders();

    const std::wstring& temp() const { return temp_; }  // ends in a backslash
    const std::wstring& work() const { return work_; }  // ends in a backslash

private:
    ScratchFolder root_{L"edamiru-e2e-"};
    std::wstring temp_, work_;
};

// The folder beside the test program where the fixtures put the books (ends in a backslash).
std::wstring booksFolder();

// Size of a file; 0 when it is missing.
uint64_t fileSize(const std::wstring& path);
// The whole contents of a file; empty when it cannot be read.
std::string readFileBytes(const std::wstring& path);
// Opens a file for reading as others may share it, except for deleting it: while the handle is
// open, DeleteFile of it fails. Returns INVALID_HANDLE_VALUE when the file cannot be opened now.
HANDLE openWithoutDeleteSharing(const std::wstring& path);
// Copies the first `length` bytes of a file to a new file.
bool copyFilePrefix(const std::wstring& from, const std::wstring& to, uint64_t length);
