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
    // Opens a temporary file for reading that the system deletes once this handle and every
    // other one are closed, so that not even a crash leaves it behind; others may read, write
    // and delete it meanwhile. Where someone already holds it without letting it be deleted,
    // it is opened for reading only (deletesOnClose() false) and stays until removed.
    bool openReadDeletingOnClose(const std::wstring& path);
    bool deletesOnClose() const { return deletesOnClose_; }
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

    // Deletes a file; a failure is reported as a file error. With `tries` above 1, a file that
    // someone holds (a virus scanner looking at a fresh file) is tried again every
    // kRemoveRetryMs until it goes or the tries are used up, and only then reported.
    static bool remove(const std::wstring& path, int tries = 1);
    static const unsigned long kRemoveRetryMs = 100;

private:
    bool open(const std::wstring& path, unsigned long access, unsigned long share, unsigned long disposition,
              unsigned long flags);

    void* handle_ = nullptr;
    bool deletesOnClose_ = false;
    std::wstring fullPath_;
};
