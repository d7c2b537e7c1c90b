// Reporting a failed file write or delete.
#include "file_error.h"

#include <windows.h>

#include "message_box.h"
#include "text.h"

namespace {

FileErrorReporter currentReporter = showFileErrorBox;

// The system's description of an error code, without its trailing line break.
std::wstring systemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) text.assign(buffer, length);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) text = toWide("エラー番号 ") + std::to_wstring(code);
    return text;
}

}  // namespace

FileErrorReporter setFileErrorReporter(FileErrorReporter reporter) {
    FileErrorReporter previous = currentReporter;
    currentReporter = reporter != nullptr ? reporter : showFileErrorBox;
    return previous;
}

void reportFileError(const FileError& error) { currentReporter(error); }

std::wstring fileErrorText(const FileError& error) {
    const char* what = error.operation == FileOperation::Write ? "\nファイルに書き込めませんでした。\n"
                                                                : "\nファイルを削除できませんでした。\n";
    return error.path + toWide(what) + systemErrorText(error.systemError);
}

// Owned by this thread's active window (a dialog of ours), else by the main window: the active
// window is null while another program is in front, and an unowned box would leave the main
// window usable behind it.
void showFileErrorBox(const FileError& error) { showMessage(GetActiveWindow(), fileErrorText(error)); }
