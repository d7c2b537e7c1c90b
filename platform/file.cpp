// File object over CreateFileW / ReadFile / WriteFile.
#include "file.h"

#include <windows.h>

#include "file_error.h"

namespace {

std::wstring fullPathOf(const std::wstring& path) {
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path.c_str(), length, &full[0], nullptr);
    full.resize(length);
    return full;
}

}  // namespace

File::~File() { close(); }

bool File::open(const std::wstring& path, unsigned long access, unsigned long share, unsigned long disposition,
                unsigned long flags) {
    close();
    HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    fullPath_ = fullPathOf(path);
    return true;
}

bool File::openRead(const std::wstring& path) {
    return open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

bool File::openReadDeletingOnClose(const std::wstring& path) {
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    // Deletion on close needs the DELETE right, which a holder that does not share deletion
    // refuses (a sharing violation): that file is then read like any other.
    if (open(path, GENERIC_READ | DELETE, shareAll, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE)) {
        deletesOnClose_ = true;
        return true;
    }
    return open(path, GENERIC_READ, shareAll, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

bool File::createWrite(const std::wstring& path) {
    return open(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
}

void File::close() {
    if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
    deletesOnClose_ = false;
    fullPath_.clear();
}

uint32_t File::read(void* buffer, uint32_t n) {
    if (handle_ == nullptr) return 0;
    uint32_t total = 0;
    while (total < n) {
        DWORD got = 0;
        if (!ReadFile(static_cast<HANDLE>(handle_), static_cast<uint8_t*>(buffer) + total, n - total, &got, nullptr) ||
            got == 0)
            break;
        total += got;
    }
    return total;
}

bool File::write(const void* buffer, uint32_t n) {
    uint32_t total = 0;
    while (handle_ != nullptr && total < n) {
        DWORD put = 0;
        if (!WriteFile(static_cast<HANDLE>(handle_), static_cast<const uint8_t*>(buffer) + total, n - total, &put,
                       nullptr) ||
            put == 0)
            break;
        total += put;
    }
    if (total == n) return true;
    DWORD code = handle_ != nullptr ? GetLastError() : ERROR_INVALID_HANDLE;
    if (code == ERROR_SUCCESS) code = ERROR_DISK_FULL;  // WriteFile wrote nothing and said nothing
    reportFileError({FileOperation::Write, fullPath_, code});
    return false;
}

bool File::seek(uint64_t offset) {
    if (handle_ == nullptr) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(static_cast<HANDLE>(handle_), to, nullptr, FILE_BEGIN) != 0;
}

uint64_t File::position() const {
    if (handle_ == nullptr) return 0;
    LARGE_INTEGER zero, at;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(static_cast<HANDLE>(handle_), zero, &at, FILE_CURRENT)) return 0;
    return static_cast<uint64_t>(at.QuadPart);
}

uint64_t File::length() const {
    LARGE_INTEGER size;
    if (handle_ == nullptr || !GetFileSizeEx(static_cast<HANDLE>(handle_), &size)) return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

bool File::remove(const std::wstring& path, int tries) {
    for (int tried = 1;; ++tried) {
        if (DeleteFileW(path.c_str())) return true;
        const DWORD code = GetLastError();
        // Held by someone: a sharing violation, or access denied while a deletion is pending.
        const bool held = code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED;
        if (!held || tried >= tries) {
            reportFileError({FileOperation::Remove, fullPathOf(path), code});
            return false;
        }
        Sleep(kRemoveRetryMs);
    }
}
