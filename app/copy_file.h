// `copyFile`: one whole file copied by the shell, with the wait cursor, failures told in
// message boxes.
#pragma once
#include <string>

#include <windows.h>

// Copies `from` onto the existing file `to`. Messages (owned by `owner`): `from` followed by
// "ファイルが存在しません。" when it is missing, by "ファイルのコピーに失敗しました。" when
// the copy fails or is aborted.
bool copyFile(const std::wstring& from, const std::wstring& to, HWND owner);
