// Names derived from paths and titles: the single-file title, page numbers with grouping commas,
// the folder of a path and the names of extracted files.
#include "collection.h"
#include "shift_jis.h"

#include <cstring>

std::string singleFileTitle(const std::string& path) {
    size_t nameStart = 0;
    for (size_t i = 0; i < path.size(); i += shiftJisCharLength(path, i)) {
        if (path[i] == '\\') nameStart = i + 1;
    }
    size_t lastDot = std::string::npos;
    for (size_t i = nameStart; i < path.size(); i += shiftJisCharLength(path, i)) {
        if (path[i] == '.') lastDot = i;
    }
    if (lastDot == std::string::npos) return "";
    return path.substr(nameStart, lastDot - nameStart);
}

std::string formatNumber(uint32_t n) {
    std::string digits = std::to_string(n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

std::string folderOfPath(const std::string& path) {
    size_t last = path.rfind('\\');
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

bool namesWindowsDevice(const std::string& fileName) {
    std::string base = fileName.substr(0, fileName.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : kDevices) {
        if (base == device) return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

bool fileNameIsSafe(const std::string& fileName) {
    if (fileName.empty() || fileName == "." || fileName == ".." || namesWindowsDevice(fileName)) return false;
    for (size_t i = 0; i < fileName.size(); i += shiftJisCharLength(fileName, i)) {
        if (shiftJisCharLength(fileName, i) == 2) continue;
        const unsigned char c = static_cast<unsigned char>(fileName[i]);
        if (c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr) return false;
    }
    return true;
}

bool titleIsSafeFileStem(const std::string& title) {
    if (title == "..") return false;
    for (size_t i = 0; i < title.size(); i += shiftJisCharLength(title, i)) {
        if (shiftJisCharLength(title, i) == 2) continue;
        char c = title[i];
        if (c == '\\' || c == '/' || c == ':') return false;
    }
    return true;
}

// The zero padding makes the text of every page number as long as that of the page count,
// grouping commas included (9 pages: T3; 12 pages: T03; 1,000 pages: T00005 and T1,000).
std::string extractedFileName(const std::string& title, uint32_t page, uint32_t entryCount, FormatTag tag) {
    std::string number = formatNumber(page);
    size_t widest = formatNumber(entryCount).size();
    std::string padding(widest > number.size() ? widest - number.size() : 0, '0');
    return title + padding + number + "." + formatTagText(tag);
}
