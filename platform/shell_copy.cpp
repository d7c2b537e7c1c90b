// SHFileOperationW with one source and one target.
#include "shell_copy.h"

#include <windows.h>
#include <shellapi.h>

namespace {

// The shell takes lists of paths, each ended by a zero, the list by a second zero.
std::wstring singlePathList(const std::wstring& path) {
    std::wstring list = path;
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

}  // namespace

ShellCopyResult shellCopy(const std::wstring& from, const std::wstring& to) {
    std::wstring source = singlePathList(from);
    std::wstring target = singlePathList(to);
    SHFILEOPSTRUCTW operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_COPY;
    operation.pFrom = source.c_str();
    operation.pTo = target.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    int result = SHFileOperationW(&operation);
    if (operation.fAnyOperationsAborted) return ShellCopyResult::Aborted;
    return result == 0 ? ShellCopyResult::Copied : ShellCopyResult::Failed;
}
