// A file opened for reading as a ByteSource.
#include "stream_byte_source.h"

#include <filesystem>

std::ifstream openInputFile(const std::string& path) {
    return std::ifstream(std::filesystem::u8path(path), std::ios::binary);
}

std::ofstream openOutputFile(const std::string& path) {
    return std::ofstream(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
}

StreamByteSource::StreamByteSource(const std::string& path) : file_(openInputFile(path)) {
    if (!file_) return;
    file_.seekg(0, std::ios::end);
    std::streamoff end = file_.tellg();
    file_.seekg(0, std::ios::beg);
    if (end < 0 || !file_) return;
    size_ = static_cast<uint64_t>(end);
    open_ = true;
}

bool StreamByteSource::seek(uint64_t offset) {
    if (!open_ || offset > size_) return false;
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
    if (!file_) return false;
    pos_ = offset;
    return true;
}

uint32_t StreamByteSource::read(void* buffer, uint32_t n) {
    if (!open_ || n == 0) return 0;
    uint64_t want = n < remaining() ? n : remaining();
    file_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(want));
    std::streamsize got = file_.gcount();
    if (got < 0) got = 0;
    pos_ += static_cast<uint64_t>(got);
    if (!file_) file_.clear();
    return static_cast<uint32_t>(got);
}
