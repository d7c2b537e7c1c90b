// Runs edamiru-book's subcommands in-process and captures what they print.
#pragma once
#include "commands.h"

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

struct ToolResult {
    int status = -1;
    std::string out, err;
};

// `args` are the arguments after the program's name ("make", "--viewer", ...), UTF-8.
inline ToolResult runBookTool(std::vector<std::string> args) {
    args.insert(args.begin(), "edamiru-book");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    std::ostringstream out, err;
    std::streambuf* oldOut = std::cout.rdbuf(out.rdbuf());
    std::streambuf* oldErr = std::cerr.rdbuf(err.rdbuf());
    ToolResult result;
    result.status = runTool(int(args.size()), argv.data());
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
    result.out = out.str();
    result.err = err.str();
    return result;
}
