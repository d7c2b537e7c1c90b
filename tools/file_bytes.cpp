// Whole files as bytes, named by UTF-8 paths.
#include "file_bytes.h"
#include "stream_byte_source.h"

#include <filesystem>

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    StreamByteSource file(path);
    if (!file.isOpen()) {
        error = "cannot open " + path;
        return false;
    }
    if (file.size() > 0xFFFFFFFFu) {
        error = path + " is larger than 4 GiB";
        return false;
    }
    try {
        bytes.resize(size_t(file.size()));
    } catch (const std::exception&) {
        error = "not enough memory for " + path;
        return false;
    }
    if (!bytes.empty() && file.read(bytes.data(), uint32_t(bytes.size())) != bytes.size()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool writeFileBytes(const std::string& path, const std::vector<const std::vector<uint8_t>*>& pieces,
                    std::string& error) {
    std::ofstream out = openOutputFile(path);
    for (const std::vector<uint8_t>* piece : pieces) {
        if (!out) break;
        out.write(reinterpret_cast<const char*>(piece->data()), std::streamsize(piece->size()));
    }
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    return (std::filesystem::u8path(folder) / std::filesystem::u8path(name)).u8string();
}
