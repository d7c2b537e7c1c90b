// The collection appended to the viewer: three Shift-JIS texts, six settings and the picture files.
// Portable: no Windows headers. The reader works over a ByteSource so that the Windows program
// (a file on the temporary copy) and the tests (bytes in memory) share it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The format tag of an entry: the extension of its extracted file and the file list's format column.
enum class FormatTag : uint8_t { None, Bmp, Jpg };

// "BMP", "JPG" or "".
const char* formatTagText(FormatTag tag);

// The one rule for what a picture file is, by its first bytes. The tag takes the first byte
// alone: 0x42 Bmp, 0xFF Jpg, anything else (or no byte) None. The page display shows a file
// only when the second byte confirms its tag ("BM", 0xFF 0xD8); anything else, and fewer than
// two bytes, is not displayable.
FormatTag formatTagOf(const uint8_t* data, size_t size);

enum class PictureKind { Bmp, Jpeg, NotDisplayable };
PictureKind pictureKind(const uint8_t* data, size_t size);

// One picture file of the collection. A table may hold as many entries as its 4-byte sizes allow,
// so an entry is kept small: its bytes and a one-byte tag; its size is data.size().
struct CollectionEntry {
    std::vector<uint8_t> data;  // the entry's bytes; empty until read (after a short read, the bytes that arrived)
    FormatTag formatTag = FormatTag::None;
};

// The six settings of the header, with the defaults used before a header is read
// and for a single-file collection.
struct CollectionSettings {
    uint32_t captionFlag = 1;
    uint32_t commentFlag = 0xFFFFFFFFu;
    uint32_t menuBarFlag = 1;
    int32_t intervalSeconds = -1;
    uint32_t mouseMode = 1;
    uint32_t entryCount = 1;
};

// Sequential reader of bytes (a file, or memory in the tests).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes into buffer; returns how many were delivered.
    virtual uint32_t read(void* buffer, uint32_t n) = 0;
    // Bytes left between the current position and the end (used to refuse sizes beyond the end).
    virtual uint64_t remaining() const = 0;
};

// Bytes in memory as a ByteSource.
class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t read(void* buffer, uint32_t n) override;
    uint64_t remaining() const override { return size_ - pos_; }
    size_t position() const { return pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Sets formatTag from the entry's bytes (formatTagOf).
void tagEntry(CollectionEntry& entry);

// Reads one zero-terminated text. False on a short read (the text so far stays in `text`).
bool readText(ByteSource& source, std::string& text);

struct CollectionHeader {
    std::string title, comment, linkText;
    CollectionSettings settings;
};

// Reads the title (then calls onTitle, if given, before anything else is read), the comment,
// the link text and the six settings. False on any short read.
// onTitle lets the window set its caption as soon as the title is complete.
bool readCollectionHeader(ByteSource& source, CollectionHeader& header,
                          void (*onTitle)(void* context, const std::string& title) = nullptr,
                          void* context = nullptr);

// Makes the table of entryCount empty entries. False when entryCount is 0 or larger than
// the bytes that remain could hold (each entry needs at least its 4-byte size), or when it
// cannot be allocated: such a collection is refused like a short read.
bool makeEntryTable(ByteSource& source, uint32_t entryCount, std::vector<CollectionEntry>& entries);

// Reads one entry: size, bytes, tag. A size beyond the bytes that remain is a short read
// (no buffer is allocated for it). Returns false on a short read or failed allocation;
// the entry then keeps what it got, as the deferred pass expects: no bytes after a short size
// field or a failed allocation, otherwise the bytes that arrived, with no tag.
bool readEntry(ByteSource& source, CollectionEntry& entry);

// Reads entries 2..n (indexes 1..n-1) in order; stops silently at the first failure.
// Returns the number of entries that were read completely (including entry 1).
uint32_t readRemainingEntries(ByteSource& source, std::vector<CollectionEntry>& entries);

// Title of a single-file collection: the part after the last '\' (whole Shift-JIS characters),
// cut before its last '.'; a name without a dot gives "".
std::string singleFileTitle(const std::string& path);

// Decimal with a ',' between groups of three digits: 1000 -> "1,000".
std::string formatNumber(uint32_t n);

// "Folder" of a Windows path: everything up to and including its last byte 0x5C
// (a plain byte search, as the extraction and wallpaper paths do); "" when there is none.
std::string folderOfPath(const std::string& path);

// True when a title may stand in a file name inside the program's folder: no '\', '/', ':'
// (as whole Shift-JIS characters) and not "..". Whether the whole name is one Windows takes
// for a file is fileNameIsSafe's to say.
bool titleIsSafeFileStem(const std::string& title);

// True when Windows opens a device, not a file, for this name: the part before its first dot,
// trailing blanks dropped and in any case, is CON, PRN, AUX, NUL, CONIN$, CONOUT$, CLOCK$,
// COM1 to COM9 or LPT1 to LPT9 ("NUL.BMP" and "nul .x.JPG" are NUL; "COM" and "COM12" are files).
bool namesWindowsDevice(const std::string& fileName);

// The one rule for the names of files the viewer and the tool write beside a book: not empty,
// "." or "..", no device, and none of the characters file names forbid on Windows (control
// characters and \ / : * ? " < > |, taken as whole Shift-JIS characters).
bool fileNameIsSafe(const std::string& fileName);

// File name (without folder) of page n: title, formatNumber(n), ".", formatTagText(tag), with
// as many '0' before the number as its text is shorter than formatNumber(entryCount) (none when
// it is not shorter). Characters are counted, grouping commas included, and the zeros are not
// grouped: 1,000 pages give T00005.BMP for page 5 and T1,000.BMP for page 1000; 1,000,000 pages
// give T00001,234.JPG for page 1,234.
std::string extractedFileName(const std::string& title, uint32_t page, uint32_t entryCount, FormatTag tag);
