// Whole-file copy through the shell's file operation.
#include "copy_file.h"

#include "file_system.h"
#include "message_box.h"
#include "shell_copy.h"
#include "text.h"
#include "wait_cursor.h"

bool copyFile(const std::wstring& from, const std::wstring& to, HWND owner) {
    WaitCursor wait;
    FoundFile status;
    if (!findFile(from, status)) {
        showMessage(owner, from + toWide("\nファイルが存在しません。"));
        return false;
    }
    if (shellCopy(from, to) != ShellCopyResult::Copied) {
        showMessage(owner, from + toWide("\nファイルのコピーに失敗しました。"));
        return false;
    }
    return true;
}
