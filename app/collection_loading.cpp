// Loading the collection at start: the single file named on the command line, or the
// collection appended to the program, read from a temporary copy of the program file.
#include <stdexcept>

#include "copy_file.h"
#include "command_line.h"
#include "file_byte_source.h"
#include "file_system.h"
#include "text.h"
#include "viewer_dialog.h"
#include "wait_cursor.h"

namespace {

const wchar_t kCopyPrefix[] = L"edm";
// A copy someone holds is tried for about a second before the reader hears of it.
const int kCopyRemoveTries = 10;
const char kNoText[] = "(なし)";

// Entry sizes are 32-bit: a longer file cannot be one entry.
const uint64_t kLargestEntry = 0xFFFFFFFFull;

bool allocate(std::vector<uint8_t>& data, uint32_t size) {
    try {
        data.resize(size);
        return true;
    } catch (const std::exception&) {  // bad_alloc, or length_error beyond 2 GiB
        return false;
    }
}

}  // namespace

// Source selection: the command line decides between a file and the program's own
// collection. False closes the window.
bool ViewerDialog::loadChosenSource() {
    // Explorer passes opened and dropped files in quotes, which no file name holds.
    std::wstring argument = pathOfArguments(programArguments());
    if (argument.empty()) {
        if (!ownCollectionStart(collectionStart)) return false;
        FoundFile program;
        if (findFile(ownProgramPath(), program) && !collectionFollows(program, collectionStart)) return false;
        return loadCollection(std::wstring());
    }
    FoundFile file;
    if (!findFile(argument, file)) return false;
    return loadCollection(argument);
}

bool ViewerDialog::loadCollection(const std::wstring& path) {
    freeCollection();
    return path.empty() ? loadOwnCollection() : loadSingleFile(path);
}

bool ViewerDialog::loadSingleFile(const std::wstring& path) {
    try {
        entries.assign(1, CollectionEntry());
    } catch (const std::exception&) {
        return false;
    }
    File file;
    if (!file.openRead(path)) return false;
    uint64_t length = file.length();
    CollectionEntry& entry = entries[0];
    if (length > kLargestEntry || !allocate(entry.data, static_cast<uint32_t>(length))) return false;
    const uint32_t size = static_cast<uint32_t>(length);
    uint32_t got = file.read(entry.data.data(), size);
    file.close();
    if (got < size) {
        entry.data.clear();
        entry.data.shrink_to_fit();
        return false;
    }
    tagEntry(entry);
    title = singleFileTitle(toShiftJis(path));
    comment = kNoText;
    linkText = kNoText;
    return true;
}

bool ViewerDialog::loadOwnCollection() {
    std::wstring folder, copyPath;
    if (!tempFolder(folder) || !createTempFile(folder, kCopyPrefix, copyPath)) return false;
    if (!copyFile(ownProgramPath(), copyPath, hwnd())) {
        DeleteFileW(copyPath.c_str());  // the empty file the system made is no use to anyone
        return false;
    }
    if (!collectionFile.openReadDeletingOnClose(copyPath)) {
        File::remove(copyPath);
        return false;
    }
    if (!readHeaderAndFirstEntry()) {
        discardCollectionCopy();
        return false;
    }
    if (entryCount == 1) discardCollectionCopy();
    return true;
}

// Header, entry table and entry 1; the caption shows the title as soon as it is read.
bool ViewerDialog::readHeaderAndFirstEntry() {
    if (!collectionFile.seek(collectionStart.low)) return false;
    FileByteSource source(collectionFile);
    CollectionHeader header;
    if (!readCollectionHeader(source, header, &ViewerDialog::titleRead, this)) return false;
    comment = header.comment;
    linkText = header.linkText;
    captionFlag = header.settings.captionFlag;
    commentFlag = header.settings.commentFlag;
    menuBarFlag = header.settings.menuBarFlag;
    intervalSeconds = header.settings.intervalSeconds;
    mouseMode = header.settings.mouseMode;
    entryCount = header.settings.entryCount;
    return makeEntryTable(source, entryCount, entries) && readEntry(source, entries[0]);
}

void ViewerDialog::titleRead(void* context, const std::string& text) {
    ViewerDialog* self = static_cast<ViewerDialog*>(context);
    self->title = text;
    self->setCaption(text);
}

// The deferred pass (timer 106): entries 2..n, then the temporary copy goes.
bool ViewerDialog::loadRemainingEntries() {
    WaitCursor wait;
    if (collectionFile.isOpen()) {
        FileByteSource source(collectionFile);
        readRemainingEntries(source, entries);
        discardCollectionCopy();
    }
    return true;
}

// Closes the temporary copy. Mostly the system deletes it then (or when the last other holder
// lets go); else it is deleted here, and a lasting refusal shows the file-error box.
void ViewerDialog::discardCollectionCopy() {
    const std::wstring path = collectionFile.fullPath();
    const bool systemDeletes = collectionFile.deletesOnClose();
    collectionFile.close();
    if (!path.empty() && !systemDeletes) File::remove(path, kCopyRemoveTries);
}

void ViewerDialog::freeCollection() { std::vector<CollectionEntry>().swap(entries); }
