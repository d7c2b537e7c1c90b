#include "corpus.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef EDAMIRU_SHARED_DIR
#define EDAMIRU_SHARED_DIR ""
#endif

namespace {
std::string configuredShared() {
    const char* env = std::getenv("EDAMIRU_SHARED");
    std::string dir = env && *env ? env : EDAMIRU_SHARED_DIR;
#ifdef _WIN32
    // Under Wine the Linux root is drive Z:.
    if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
#endif
    return dir;
}

bool fileExists(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return bool(f);
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) out.push_back(field);
    if (!line.empty() && line.back() == '\t') out.emplace_back();
    return out;
}

std::vector<std::vector<std::string>> readTsv(const std::string& name) {
    std::vector<std::vector<std::string>> rows;
    std::string dir = corpusDir();
    if (dir.empty()) return rows;
    std::ifstream in(dir + "/" + name);
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (header) { header = false; continue; }
        if (line.empty()) continue;
        rows.push_back(splitTabs(line));
    }
    return rows;
}

std::string at(const std::vector<std::string>& v, size_t i) { return i < v.size() ? v[i] : std::string(); }
}  // namespace

bool ManifestRow::hasFeature(const std::string& token) const {
    std::istringstream in(features);
    std::string t;
    while (std::getline(in, t, ';'))
        if (t == token) return true;
    return false;
}

std::string corpusDir() {
    std::string shared = configuredShared();
    if (shared.empty()) return "";
    std::string dir = shared + "/corpus";
    return fileExists(dir + "/manifest.tsv") ? dir : "";
}

std::string skipMessage() {
    return "shared corpus not found at " + configuredShared() + "/corpus: skipped";
}

std::vector<ManifestRow> readManifest() {
    std::vector<ManifestRow> rows;
    for (const auto& f : readTsv("manifest.tsv")) {
        ManifestRow r;
        r.path = at(f, 0); r.format = at(f, 1); r.category = at(f, 2); r.features = at(f, 3);
        r.expect = at(f, 4); r.width = at(f, 5); r.height = at(f, 6); r.bytes = at(f, 7); r.notes = at(f, 8);
        rows.push_back(r);
    }
    return rows;
}

std::vector<ReferenceRow> readReference() {
    std::vector<ReferenceRow> rows;
    for (const auto& f : readTsv("reference.tsv")) {
        ReferenceRow r;
        r.path = at(f, 0); r.depth = std::atoi(at(f, 1).c_str()); r.shown = at(f, 2);
        r.width = at(f, 3); r.height = at(f, 4); r.bpp = at(f, 5);
        r.pixelsSha256 = at(f, 6); r.paletteSha256 = at(f, 7);
        rows.push_back(r);
    }
    return rows;
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> readCorpusFile(const std::string& relativePath) {
    return readWholeFile(corpusDir() + "/" + relativePath);
}
