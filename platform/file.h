// A file on disk, unbuffered: open for reading or create-and-truncate for writing, read,
// write, seek from the start, length, full path, close, delete. Reads report how many bytes
// arrived; a failing write or delete goes to the file-error reporter (file_error.h) and
// returns false.
#pragma once
#include <cstdint>
#include <string>

class File {
public:
    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens an existing file for reading (others may read and write it meanwhile).
    bool openRead(const std::wstring& path);
    // Creates the file, or empties an existing one, for writing.
    bool createWrite(const std::wstring& path);
    bool isOpen() const { return handle_ != nullptr; }
    void close();

    // Reads up to n bytes; returns how many were delivered (fewer at the end of the file).
    uint32_t read(void* buffer, uint32_t n);
    // Writes all n bytes; a failure is reported as a file error.
    bool write(const void* buffer, uint32_t n);
    // Moves to an offset from the start of the file.
    bool seek(uint64_t offset);
    uint64_t position() const;
    uint64_t length() const;
    // The full path of the open file (as it was opened); empty when closed.
    const std::wstring& fullPath() const { return fullPath_; }

    // Deletes a file; a failure is reported as a file error.
    static bool remove(const std::wstring& path);

private:
    bool open(const std::wstring& path, unsigned long access, unsigned long share, unsigned long disposition);

    void* handle_ = nullptr;
    std::wstring fullPath_;
};
