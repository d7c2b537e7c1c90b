// Private folders and file helpers of the UI tests.
#include "test_folders.h"

#include <windows.h>

#include <vector>

TestFolders::TestFolders() : temp_(root_.folder(L"temp")), work_(root_.folder(L"work")) {}

std::wstring booksFolder() {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring folder = path;
    folder.resize(folder.rfind(L'\\') + 1);
    return folder + L"books\\";
}

uint64_t fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string readFileBytes(const std::wstring& path) {
    std::string bytes;
    readWholeFile(path, bytes);
    return bytes;
}

HANDLE openWithoutDeleteSharing(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

bool copyFilePrefix(const std::wstring& from, const std::wstring& to, uint64_t length) {
    HANDLE in = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    std::string bytes(static_cast<size_t>(length), '\0');
    DWORD got = 0;
    BOOL ok = ReadFile(in, &bytes[0], static_cast<DWORD>(length), &got, nullptr);
    CloseHandle(in);
    return ok && got == length && writeWholeFile(to, bytes);
}
