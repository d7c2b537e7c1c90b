// The tool's output on Windows: text written to a console goes through WriteConsoleW as UTF-16,
// so it reads right whatever the console's code page; a pipe or a file gets the UTF-8 bytes as
// they are. The console's code pages are never changed.
#pragma once
#include <windows.h>

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

// True when `handle` is a console screen buffer (GetConsoleMode succeeds on it). A pipe, a file,
// the NUL device (a character device, but no console) and a missing handle are not.
bool isConsole(HANDLE handle);

// Takes UTF-8 and writes it to a console as UTF-16, a line at a time. A character cut between two
// writes is held until its last byte arrives; invalid UTF-8 shows as U+FFFD.
class ConsoleTextBuffer : public std::streambuf {
public:
    explicit ConsoleTextBuffer(HANDLE console);
    // Writes everything held, a character still cut as U+FFFD. False when the console refused text.
    bool finish();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

private:
    bool writeOut(bool whole);

    HANDLE console_;
    std::string pending_;
};

// While it lives, `stream` writes to `handle` through a ConsoleTextBuffer when the handle is a
// console; otherwise the stream is left as it is. At its end the stream gets its own buffer back.
class ConsoleRoute {
public:
    ConsoleRoute(std::ostream& stream, HANDLE handle);
    ~ConsoleRoute();
    ConsoleRoute(const ConsoleRoute&) = delete;
    ConsoleRoute& operator=(const ConsoleRoute&) = delete;

private:
    std::ostream& stream_;
    std::unique_ptr<ConsoleTextBuffer> buffer_;
    std::streambuf* previous_ = nullptr;
};

// Runs the tool (runTool) with std::cout and std::cerr routed to the standard output and error
// handles as above.
int runToolOnStandardHandles(int argc, char** argv);
