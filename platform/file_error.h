// File errors: what a failing write or delete reports. The program throws no exceptions; the
// file object hands the error to the current reporter and returns failure. The standard
// reporter shows the file-error message box; tests put a recording reporter in its place.
#pragma once
#include <string>

enum class FileOperation { Write, Remove };

struct FileError {
    FileOperation operation;
    std::wstring path;
    unsigned long systemError;  // GetLastError() of the failing call
};

using FileErrorReporter = void (*)(const FileError& error);

// Installs a reporter and returns the previous one; nullptr restores the standard reporter.
FileErrorReporter setFileErrorReporter(FileErrorReporter reporter);

// Hands the error to the current reporter.
void reportFileError(const FileError& error);

// The text of the file-error box: the path, what failed, and the system's own words.
std::wstring fileErrorText(const FileError& error);

// The standard reporter: the file-error message box (OK, exclamation, the application's name),
// owned by this thread's active window, else by the main window.
void showFileErrorBox(const FileError& error);
