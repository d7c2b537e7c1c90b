// The viewer a dropped book is made from: edamiru.exe in the folder of the running tool.
#pragma once
#include <string>

// Its UTF-8 path; empty when the tool's own path cannot be found. On Windows the module's file
// name, natively /proc/self/exe.
std::string viewerBesideTool();
