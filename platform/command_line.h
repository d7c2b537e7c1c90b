// The program's command line, taken whole: everything after the program's name.
#pragma once
#include <string>

// The part of a full command line after the program's name and the blanks that follow it,
// exactly as given: quotes are kept and nothing is split. The name ends at its closing quote
// when it starts with one, otherwise at the first blank or tab.
std::wstring argumentsOfCommandLine(const wchar_t* commandLine);

// argumentsOfCommandLine of this process's command line.
std::wstring programArguments();
