// Writing the tool's UTF-8 output to a console as UTF-16.
#include "console_output.h"

#include "commands.h"

#include <algorithm>
#include <cstring>
#include <iostream>

namespace {

// UTF-8 bytes converted and written per call: bounded, so that the conversion's int sizes hold
// and an old console's limit on one write is never reached.
constexpr size_t kChunkBytes = 4096;
// Text held without a line end before it is written anyway.
constexpr size_t kHeldBytesLimit = 65536;

// The length of `data` without a UTF-8 sequence cut off at its end.
size_t completeUtf8Length(const char* data, size_t size) {
    for (size_t back = 1; back <= 3 && back <= size; ++back) {
        unsigned char byte = static_cast<unsigned char>(data[size - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        if (byte < 0xC0) return size;
        size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        return needed > back ? size - back : size;
    }
    return size;
}

bool writeWide(HANDLE console, const char* data, size_t size) {
    int length = MultiByteToWideChar(CP_UTF8, 0, data, int(size), nullptr, 0);
    if (length <= 0) return false;
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, data, int(size), &wide[0], length);
    for (size_t done = 0; done < wide.size();) {
        DWORD written = 0;
        if (!WriteConsoleW(console, wide.data() + done, DWORD(wide.size() - done), &written, nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

ConsoleTextBuffer::ConsoleTextBuffer(HANDLE console) : console_(console) {}

bool ConsoleTextBuffer::finish() { return writeOut(true); }

ConsoleTextBuffer::int_type ConsoleTextBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    char byte = traits_type::to_char_type(c);
    pending_ += byte;
    if ((byte == '\n' || pending_.size() >= kHeldBytesLimit) && !writeOut(false)) return traits_type::eof();
    return c;
}

std::streamsize ConsoleTextBuffer::xsputn(const char* data, std::streamsize size) {
    if (size <= 0) return 0;
    pending_.append(data, size_t(size));
    bool lineEnd = std::memchr(data, '\n', size_t(size)) != nullptr;
    if ((lineEnd || pending_.size() >= kHeldBytesLimit) && !writeOut(false)) return 0;
    return size;
}

int ConsoleTextBuffer::sync() { return writeOut(false) ? 0 : -1; }

// Writes the held text, all of it or up to a character still cut; what the console refuses is
// dropped, so that nothing piles up.
bool ConsoleTextBuffer::writeOut(bool whole) {
    size_t end = whole ? pending_.size() : completeUtf8Length(pending_.data(), pending_.size());
    size_t done = 0;
    while (done < end) {
        size_t size = std::min(end - done, kChunkBytes);
        if (done + size < end) size = completeUtf8Length(pending_.data() + done, size);
        if (!writeWide(console_, pending_.data() + done, size)) {
            pending_.clear();
            return false;
        }
        done += size;
    }
    pending_.erase(0, done);
    return true;
}

ConsoleRoute::ConsoleRoute(std::ostream& stream, HANDLE handle) : stream_(stream) {
    if (!isConsole(handle)) return;
    stream_.flush();
    buffer_.reset(new ConsoleTextBuffer(handle));
    previous_ = stream_.rdbuf(buffer_.get());
}

ConsoleRoute::~ConsoleRoute() {
    if (!buffer_) return;
    stream_.flush();
    buffer_->finish();
    stream_.rdbuf(previous_);
}

int runToolOnStandardHandles(int argc, char** argv) {
    ConsoleRoute out(std::cout, GetStdHandle(STD_OUTPUT_HANDLE));
    ConsoleRoute err(std::cerr, GetStdHandle(STD_ERROR_HANDLE));
    return runTool(argc, argv);
}
