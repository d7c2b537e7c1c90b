// Copying one whole file with the shell's file operation, without any dialog.
#pragma once
#include <string>

enum class ShellCopyResult { Copied, Failed, Aborted };

// FO_COPY of `from` onto `to` (an existing target is overwritten without asking), no owner
// window, flags FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI.
ShellCopyResult shellCopy(const std::wstring& from, const std::wstring& to);
