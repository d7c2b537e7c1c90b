#include "corpus_decodes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "jpeg_messages.h"
#include "sha256.h"
#include "viewer_decode.h"

namespace {

struct Ppm {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

// Reads the binary PPM (or PGM) that djpeg writes for one file; false when djpeg gives none.
bool runDjpeg(const std::string& path, Ppm& out) {
    std::string command = "djpeg -dct int -nosmooth -ppm '" + path + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    std::vector<uint8_t> data;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) data.insert(data.end(), chunk, chunk + n);
    pclose(pipe);
    std::string text(data.begin(), data.end());
    std::istringstream header(text);
    std::string magic;
    unsigned maxValue = 0;
    header >> magic >> out.width >> out.height >> maxValue;
    if ((magic != "P6" && magic != "P5") || maxValue != 255 || !header) return false;
    size_t channels = magic == "P6" ? 3 : 1;  // grey pictures come as PGM
    size_t start = static_cast<size_t>(header.tellg()) + 1;
    size_t samples = size_t(out.width) * out.height;
    if (data.size() < start + samples * channels) return false;
    out.rgb.resize(samples * 3);
    for (size_t i = 0; i < samples * 3; ++i) out.rgb[i] = data[start + (channels == 3 ? i : i / 3)];
    return true;
}

// djpeg's picture of the file against the viewer's, over the real picture size.
DjpegAgreement agreement(const std::string& relativePath, const ViewerPicture& picture) {
    DjpegAgreement a;
    Ppm reference;
    if (!runDjpeg(corpusDir() + "/" + relativePath, reference)) return a;
    a.ran = true;
    a.width = reference.width;
    a.height = reference.height;
    if (!picture.probed || picture.shownWidth != reference.width || picture.shownHeight != reference.height) return a;
    double squares = 0;
    for (uint32_t y = 0; y < reference.height; ++y) {
        for (uint32_t x = 0; x < reference.width; ++x) {
            const uint8_t* ours = picture.pixel(x, y);
            const uint8_t* theirs = &reference.rgb[(size_t(y) * reference.width + x) * 3];
            for (int c = 0; c < 3; ++c) {
                int d = std::abs(int(ours[2 - c]) - int(theirs[c]));  // ours is B,G,R
                a.maxDifference = std::max(a.maxDifference, d);
                squares += double(d) * d;
            }
        }
    }
    double mse = squares / (double(reference.width) * reference.height * 3);
    if (mse > 0) a.psnr = 10 * std::log10(255.0 * 255.0 / mse);
    return a;
}

// `row` is the file's manifest row (null when it has none); `referenced`: reference.tsv records
// its picture on a true-colour screen, which is then compared by the hash of the shown rows.
CorpusDecode decodeOnce(const std::string& relativePath, const ManifestRow* row, bool referenced) {
    std::vector<uint8_t> file = readCorpusFile(relativePath);
    RecordingJpegMessages messages;
    DecodedJpeg decoded = DecodeJpegPicture(file.data(), file.size(), messages, UINT64_MAX);
    CorpusDecode out;
    out.guardLine = guardLine(decoded);
    if (file.size() < 2 || file[0] != 0xFF || file[1] != 0xD8) return out;
    ViewerPicture picture = viewerPicture(std::move(decoded), messages);
    out.routed = true;
    out.probed = picture.probed;
    out.anyWritten = picture.anyWritten();
    out.shownWidth = picture.shownWidth;
    out.shownHeight = picture.shownHeight;
    if (picture.probed && referenced) out.shownHash = picture.shownHash();
    out.messages = picture.messages;
    if (row != nullptr && djpegComparable(*row) && djpegAvailable()) out.djpeg = agreement(relativePath, picture);
    return out;
}

}  // namespace

const CorpusDecode& corpusDecode(const std::string& relativePath) {
    static std::map<std::string, ManifestRow> manifest;
    static std::set<std::string> referenced;
    static std::map<std::string, CorpusDecode> decodes;
    if (manifest.empty()) {
        for (ManifestRow& row : readManifest()) manifest[row.path] = row;
        for (const ReferenceRow& row : readReference())
            if (row.depth == 24) referenced.insert(row.path);
    }
    auto done = decodes.find(relativePath);
    if (done != decodes.end()) return done->second;
    auto row = manifest.find(relativePath);
    return decodes[relativePath] = decodeOnce(relativePath, row == manifest.end() ? nullptr : &row->second,
                                              referenced.count(relativePath) != 0);
}

std::string guardLine(const DecodedJpeg& d) {
    std::ostringstream line;
    line << int(d.probed) << '\t' << d.probedSize.width << 'x' << d.probedSize.height;
    if (d.pixels.empty()) return line.str();
    line << '\t' << int(d.complete) << '\t' << d.frameSize.width << 'x' << d.frameSize.height << '\t'
         << sha256Hex(d.pixels.data(), d.pixels.size());
    return line.str();
}

bool djpegComparable(const ManifestRow& row) {
    bool shows = row.expect == "shows" || (row.expect == "any" && row.category == "in-scope");
    return row.format == "jpeg" && shows && row.category != "out-of-scope" &&
           (row.hasFeature("baseline") || row.hasFeature("progressive"));
}

bool djpegAvailable() {
    static const bool available = [] {
        FILE* pipe = popen("djpeg -version 2>&1", "r");
        if (!pipe) return false;
        char buffer[256];
        bool any = fgets(buffer, sizeof buffer, pipe) != nullptr;
        return pclose(pipe) == 0 && any;
    }();
    return available;
}
