// Shared by the UI tests of menus and commands: a started book, its main window and the
// dialogs it opens.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "temp_folder_watch.h"
#include "test_folders.h"
#include "viewer_process.h"
#include "viewer_window.h"

class ViewerTestBase : public ::testing::Test {
protected:
    static constexpr DWORD kStartTimeoutMs = 10000;
    static constexpr DWORD kWaitMs = 5000;

    // Starts `program` (a full path) with `arguments` and waits for its main window.
    HWND startProgram(const std::wstring& program, const std::wstring& arguments = L"") {
        if (fileSize(program) == 0) {
            ADD_FAILURE() << "missing: the fixture that makes it did not run";
            return nullptr;
        }
        if (!viewer.start({program, arguments, folders.temp()})) return nullptr;
        HWND window = viewer.waitForMainWindow(kStartTimeoutMs);
        // A dialog that opens by itself at start may be found first: its owner is the main window.
        if (window != nullptr && GetWindow(window, GW_OWNER) != nullptr) window = GetWindow(window, GW_OWNER);
        // As a reader meets it: the deferred pass has read the pages after the first, and ended
        // by deleting the temporary copy of the book.
        if (window != nullptr) {
            EXPECT_TRUE(waitForNoFiles(folders.temp() + L"edm*.tmp", kStartTimeoutMs)) << "the copy stayed";
            settle(window);
        }
        return window;
    }

    // Starts a book that the fixtures made.
    HWND open(const std::wstring& book, const std::wstring& arguments = L"") {
        return startProgram(booksFolder() + book, arguments);
    }

    // Starts a copy of a book placed in the work folder (or a folder below it), where the files
    // the program writes beside itself then appear.
    HWND openCopy(const std::wstring& book, const std::wstring& subfolder = L"", const std::wstring& arguments = L"") {
        const std::wstring folder = folders.work() + subfolder;
        CreateDirectoryW(folder.c_str(), nullptr);
        if (!CopyFileW((booksFolder() + book).c_str(), (folder + book).c_str(), FALSE)) {
            ADD_FAILURE() << "cannot copy the book";
            return nullptr;
        }
        return startProgram(folder + book, arguments);
    }

    // Posts a command and waits for the dialog (or message box) it opens, owned by `window`.
    HWND commandOpensDialog(HWND window, UINT message, WPARAM command) {
        PostMessageW(window, message, command, 0);
        HWND dialog = viewer.waitForOtherDialog(window, kWaitMs);
        if (dialog != nullptr) {
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), window) << "not owned by the main window";
        }
        return dialog;
    }

    // Ends a dialog with a command and waits until it is gone.
    void endDialog(HWND dialog, WPARAM command = IDOK) {
        PostMessageW(dialog, WM_COMMAND, command, 0);
        EXPECT_TRUE(waitForHidden(dialog)) << "the dialog stayed open";
    }

    static bool waitForHidden(HWND window) { return ::waitForHidden(window, kWaitMs); }

    void closeWithEscape(HWND window) {
        postKey(window, VK_ESCAPE);
        EXPECT_TRUE(viewer.waitForExit(5000)) << "Escape did not end the viewer";
    }

    TestFolders folders;
    ViewerProcess viewer;
};
