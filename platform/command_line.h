// The program's command line: everything after the program's name, and the file it names.
#pragma once
#include <string>

// The part of a full command line after the program's name and the blanks that follow it,
// exactly as given: quotes are kept and nothing is split. The name ends at its closing quote
// when it starts with one, otherwise at the first blank or tab.
std::wstring argumentsOfCommandLine(const wchar_t* commandLine);

// The file the arguments name: the path inside the quotes when they are one quoted path or
// several separated by blanks (the first of them), as Explorer passes opened and dropped files;
// otherwise the arguments exactly as given.
std::wstring pathOfArguments(const std::wstring& arguments);

// argumentsOfCommandLine of this process's command line.
std::wstring programArguments();
