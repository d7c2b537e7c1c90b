#include "picture_inputs.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char folded(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Compares the digit runs at a[i] and b[j] by value, moving both past them.
int compareNumbers(const std::string& a, size_t& i, const std::string& b, size_t& j) {
    size_t ai = i, bj = j;
    while (ai < a.size() && a[ai] == '0') ++ai;
    while (bj < b.size() && b[bj] == '0') ++bj;
    size_t aEnd = ai, bEnd = bj;
    while (aEnd < a.size() && isDigit(a[aEnd])) ++aEnd;
    while (bEnd < b.size() && isDigit(b[bEnd])) ++bEnd;
    int result = 0;
    if (aEnd - ai != bEnd - bj) {
        result = aEnd - ai < bEnd - bj ? -1 : 1;
    } else {
        const int c = a.compare(ai, aEnd - ai, b, bj, bEnd - bj);
        result = c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    i = aEnd;
    j = bEnd;
    return result;
}

std::string lowerExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return "";
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), folded);
    return ext;
}

bool picturesOfFolder(const fs::path& folder, std::vector<std::string>& pictures, std::string& error) {
    std::vector<std::string> names;
    std::error_code code;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        std::error_code ignored;
        if (!it->is_regular_file(ignored)) continue;
        const std::string name = it->path().filename().u8string();
        if (hasPictureExtension(name)) names.push_back(name);
    }
    if (code) {
        error = "cannot read the folder " + folder.u8string() + ": " + code.message();
        return false;
    }
    if (names.empty()) {
        error = "the folder " + folder.u8string() + " holds no pictures";
        return false;
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return compareNaturally(a, b) < 0; });
    for (const std::string& name : names) pictures.push_back((folder / fs::u8path(name)).u8string());
    return true;
}

}  // namespace

int compareNaturally(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const int c = compareNumbers(a, i, b, j);
            if (c != 0) return c;
            continue;
        }
        const unsigned char x = static_cast<unsigned char>(folded(a[i])), y = static_cast<unsigned char>(folded(b[j]));
        if (x != y) return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;  // names equal but for case or zeros
}

bool hasPictureExtension(const std::string& name) {
    static const char* const kExtensions[] = {"jpg", "jpeg", "jpe", "jfif", "bmp", "dib", "png",  "gif", "tga",
                                              "pnm", "ppm",  "pgm", "psd",  "tif", "tiff", "webp", "heic", "heif", "avif"};
    const std::string ext = lowerExtension(name);
    return std::find(std::begin(kExtensions), std::end(kExtensions), ext) != std::end(kExtensions);
}

bool expandPictureInputs(const std::vector<std::string>& inputs, std::vector<std::string>& pictures,
                         std::string& error) {
    for (const std::string& input : inputs) {
        std::error_code ignored;
        const fs::path path = fs::u8path(input);
        if (!fs::is_directory(path, ignored)) {
            pictures.push_back(input);
        } else if (!picturesOfFolder(path, pictures, error)) {
            return false;
        }
    }
    return true;
}
