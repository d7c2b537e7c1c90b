#include "extract_entries.h"

#include <algorithm>
#include <cwchar>

#include "file.h"
#include "message_box.h"
#include "text.h"
#include "wait_cursor.h"

namespace {

enum class Written { Yes, NotOpened, WriteFailed };

// Creates (or empties) the file and writes the entry's bytes; an entry never read gives an empty file.
Written writeEntryFile(const std::wstring& path, const CollectionEntry& entry) {
    File file;
    if (path.empty() || !file.createWrite(path)) return Written::NotOpened;
    const uint32_t size = static_cast<uint32_t>(entry.data.size());
    if (size > 0 && !file.write(entry.data.data(), size)) return Written::WriteFailed;
    return Written::Yes;
}

Written writePage(const std::vector<CollectionEntry>& entries, uint32_t index, uint32_t page, uint32_t entryCount,
                  const std::string& title, const std::wstring& programPath) {
    const CollectionEntry& entry = entries[index];
    std::string rest = extractedFileName(title, page, entryCount, entry.formatTag).substr(title.size());
    return writeEntryFile(pathBesideProgram(programPath, title, rest), entry);
}

Written extractOne(const std::vector<CollectionEntry>& entries, uint32_t entryCount, uint32_t currentPage,
                   const std::string& title, const std::wstring& programPath) {
    const uint32_t index = currentPage <= 1 ? 0 : currentPage - 1;
    if (index >= entries.size()) return Written::NotOpened;  // a page beyond the table
    return writePage(entries, index, currentPage, entryCount, title, programPath);
}

// Pages whose file cannot be created are skipped; only the last page decides the outcome.
Written extractAll(const std::vector<CollectionEntry>& entries, uint32_t entryCount, const std::string& title,
                   const std::wstring& programPath) {
    const uint32_t count = static_cast<uint32_t>(std::min<size_t>(entryCount, entries.size()));
    Written last = Written::NotOpened;
    for (uint32_t i = 0; i < count; ++i) {
        last = writePage(entries, i, i + 1, entryCount, title, programPath);
        if (last == Written::WriteFailed) break;
    }
    return last;
}

}  // namespace

std::wstring programFolder(const std::wstring& programPath) {
    size_t last = programPath.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : programPath.substr(0, last + 1);
}

std::wstring pathBesideProgram(const std::wstring& programPath, const std::string& title, const std::string& rest) {
    const std::wstring folder = programFolder(programPath);
    // Characters that file names forbid are refused here rather than left to the file system, so
    // that no system takes one for a separator, a stream or a wildcard.
    if (folder.empty() || !titleIsSafeFileStem(title) || !fileNameIsSafe(title + rest)) return std::wstring();
    std::wstring path = folder + toWide(title + rest);
    if (path.size() > kMaxWrittenPathChars) return std::wstring();
    return path;
}

int extractEntries(int all, const std::vector<CollectionEntry>& entries, uint32_t entryCount, uint32_t currentPage,
                   const std::string& title, const std::wstring& programPath, HWND owner) {
    WaitCursor wait;
    if (entries.empty()) return 0;
    Written outcome = all == 0 ? extractOne(entries, entryCount, currentPage, title, programPath)
                               : extractAll(entries, entryCount, title, programPath);
    switch (outcome) {
    case Written::Yes:
        showMessage(owner, programFolder(programPath) + toWide("\nに画像ファイルを作成しました。"));
        return 1;
    case Written::NotOpened:
        showMessage(owner, std::string("画像ファイルの作成に失敗しました。"));
        return 0;
    case Written::WriteFailed:
    default:
        return 0;  // the file-error box has told the reader
    }
}
