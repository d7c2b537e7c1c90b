// A console made for the tool alone (started from Explorer: pictures dropped onto it, or a
// double-click) closes the moment the tool ends, before anyone can read it. Then what the tool
// says is shown in a message box instead.
#pragma once
#include <cstddef>
#include <string>

// True when the output belongs in a message box: the tool is the only process on its console
// (`consoleProcesses` as GetConsoleProcessList counts them) and its output goes to that console,
// not to a pipe or a file someone reads.
bool outputWantsMessageBox(unsigned long consoleProcesses, bool outputToConsole);

// The last `count` (at least 1) lines of `text`, after a line saying how many were left out when
// there are more; a line end at the very end is dropped.
std::string lastLines(const std::string& text, size_t count);

// True when this process is started as above (GetConsoleProcessList and the standard handles).
bool startedOnConsoleOfItsOwn();

// Runs the tool (runTool) with its output collected, and shows the end of it in a message box
// captioned "edamiru-book", as an error when the tool fails. Returns the tool's exit status.
int runToolWithMessageBox(int argc, char** argv);
