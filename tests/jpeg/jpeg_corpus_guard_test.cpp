// Every JPEG of the corpus decodes to exactly the bitmap recorded in decoded_hashes.tsv:
// Probe, a zero-filled bitmap of the probed size, Decode, then a hash of the whole bitmap
// with the decode result and the decoder's width and height. Any change to a decoded byte
// fails. Set EDAMIRU_RECORD_GUARD=<file> to write the table from the current decoder.
// The decoder as the viewer runs it is checked on the decodes shared with the other corpus
// tests; the single-thread path and the cut pictures take roads of their own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <tuple>

#include "corpus_decodes.h"
#include "jpeg_picture_decode.h"
#include "jpeg_helper_thread.h"

#ifndef EDAMIRU_GUARD_TABLE
#define EDAMIRU_GUARD_TABLE ""
#endif

namespace {

class SilentMessages : public JpegMessages {
public:
    void showMessage(const std::string&) override {}
    void setCaption(const std::string&) override {}
};

// The table's line for a file decoded now (the helper as it is set).
std::string decodeSummary(const std::vector<uint8_t>& file) {
    SilentMessages messages;
    return guardLine(DecodeJpegPicture(file.data(), file.size(), messages, UINT64_MAX));
}

std::string tablePath() {
    std::string path = EDAMIRU_GUARD_TABLE;
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') path = "Z:" + path;  // the Linux root under Wine
#endif
    return path;
}

std::map<std::string, std::string> readTable(const std::string& path) {
    std::map<std::string, std::string> table;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t tab = line.find('\t');
        if (tab != std::string::npos) table[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return table;
}

}  // namespace

// The same table with the helper thread off: large pictures then take the single-thread path.
TEST(JpegCorpusGuard, TheSingleThreadPathDecodesTheRecordedBitmaps) {
    std::vector<ManifestRow> rows = readManifest();
    if (rows.empty()) GTEST_SKIP() << skipMessage();
    std::map<std::string, std::string> expected = readTable(tablePath());
    ASSERT_FALSE(expected.empty()) << "no recorded table at " << tablePath();
    HelperThread::SetEnabled(false);
    for (const ManifestRow& row : rows) {
        if (row.format != "jpeg" && row.path.find(".jpg") == std::string::npos) continue;
        auto found = expected.find(row.path);
        if (found == expected.end()) continue;
        EXPECT_EQ(decodeSummary(readCorpusFile(row.path)), found->second) << row.path;
    }
    HelperThread::SetEnabled(true);
}

TEST(JpegCorpusGuard, EveryJpegDecodesToTheRecordedBitmap) {
    std::vector<ManifestRow> rows = readManifest();
    if (rows.empty()) GTEST_SKIP() << skipMessage();
    const char* record = std::getenv("EDAMIRU_RECORD_GUARD");
    std::ofstream out;
    if (record && *record) out.open(record, std::ios::binary);
    std::map<std::string, std::string> expected = readTable(tablePath());
    ASSERT_FALSE(expected.empty() && !out.is_open()) << "no recorded table at " << tablePath();
    int checked = 0;
    for (const ManifestRow& row : rows) {
        if (row.format != "jpeg" && row.path.find(".jpg") == std::string::npos) continue;
        const std::string& summary = corpusDecode(row.path).guardLine;
        ++checked;
        if (out.is_open()) {
            out << row.path << '\t' << summary << '\n';
            continue;
        }
        auto found = expected.find(row.path);
        if (found == expected.end()) ADD_FAILURE() << row.path << ": not in the recorded table";
        else EXPECT_EQ(summary, found->second) << row.path;
    }
    std::cout << checked << " JPEG files compared with the recorded bitmaps\n";
}

namespace {

// The whole bitmap and decode result, with the helper on or off.
std::vector<uint8_t> decodeWhole(const std::vector<uint8_t>& file, bool helper) {
    HelperThread::SetEnabled(helper);
    SilentMessages messages;
    DecodedJpeg d = DecodeJpegPicture(file.data(), file.size(), messages, UINT64_MAX);
    HelperThread::SetEnabled(true);
    if (!d.pixels.empty()) d.pixels.push_back(static_cast<uint8_t>(d.complete));
    return d.pixels;
}

}  // namespace

// Large pictures cut short at many places (inside the last progressive scan, inside earlier
// ones, between restart intervals), with and without an end-of-image marker after the cut,
// or with a stretch of damage, decode to the same bytes on one thread and on two.
TEST(JpegCorpusGuard, CutLargePicturesDecodeTheSameOnOneThreadAndOnTwo) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    for (const char* name : {"perf/perf-4000x3000-420-progressive.jpg", "perf/perf-4000x3000-420-restart.jpg"}) {
        std::vector<uint8_t> file = readCorpusFile(name);
        ASSERT_FALSE(file.empty()) << name;
        for (double share : {0.999, 0.93, 0.7, 0.35}) {
            std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(file.size() * share));
            EXPECT_TRUE(decodeWhole(cut, true) == decodeWhole(cut, false)) << name << " cut at " << share;
            cut.push_back(0xFF);
            cut.push_back(0xD9);
            EXPECT_TRUE(decodeWhole(cut, true) == decodeWhole(cut, false)) << name << " ended at " << share;
            std::vector<uint8_t> damaged = file;
            size_t at = static_cast<size_t>(file.size() * share) - 1000;
            for (size_t i = at; i < at + 300; ++i) damaged[i] = static_cast<uint8_t>(i * 7);
            EXPECT_TRUE(decodeWhole(damaged, true) == decodeWhole(damaged, false)) << name << " damaged at " << share;
        }
    }
}

namespace {

// Where each scan's entropy-coded data starts and ends (the next marker), in file order.
std::vector<std::pair<size_t, size_t>> scanData(const std::vector<uint8_t>& f) {
    std::vector<std::pair<size_t, size_t>> scans;
    size_t at = 2;
    while (at + 4 < f.size() && f[at] == 0xFF && f[at + 1] != 0xD9) {
        size_t next = at + 2 + (size_t(f[at + 2]) << 8 | f[at + 3]);
        if (f[at + 1] == 0xDA) {
            const size_t start = next;
            while (next + 1 < f.size() && !(f[next] == 0xFF && f[next + 1] != 0 && (f[next + 1] & 0xF8) != 0xD0)) ++next;
            scans.push_back({start, next});
        }
        at = next;
    }
    return scans;
}

}  // namespace

// The helper decodes a progressive picture's last scan while the scans before it are read; a
// stretch of damage in any scan (one that stops the decode before the last scan included)
// leaves the bitmap, the result and the texts as one thread makes them.
TEST(JpegCorpusGuard, ProgressiveDamageInAnyScanDecodesTheSameOnOneThreadAndOnTwo) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    const std::vector<uint8_t> file = readCorpusFile("generated/jpeg/prog-1920x1080-420.jpg");
    ASSERT_FALSE(file.empty());
    const auto scans = scanData(file);
    ASSERT_GE(scans.size(), 6u);
    // The whole picture, and the picture at half its size as a fitted page decodes it.
    auto decode = [](const std::vector<uint8_t>& f, bool helper) {
        HelperThread::SetEnabled(helper);
        RecordingJpegMessages messages;
        DecodedJpeg d = DecodeJpegPicture(f.data(), f.size(), messages, UINT64_MAX);
        d.pixels.push_back(static_cast<uint8_t>(d.complete));
        JpegSize whole;
        JpegDecoder(messages).Probe(f.data(), uint32_t(f.size()), whole);
        const JpegSize half = {whole.width / 2, whole.height / 2};
        std::vector<uint8_t> reduced(size_t(half.width) * 3 * half.height);
        JpegDecoder decoder(messages);
        decoder.SetReduction(1);
        const bool complete = decoder.Decode(f.data(), uint32_t(f.size()), reduced.data() + reduced.size() - half.width * 3,
                                             int32_t(half.width * 3), half);
        reduced.push_back(static_cast<uint8_t>(complete));
        HelperThread::SetEnabled(true);
        return std::make_tuple(d.pixels, reduced, messages.messages, messages.captions);
    };
    const auto intact = decode(file, true);
    EXPECT_TRUE(intact == decode(file, false));
    EXPECT_EQ(std::get<1>(intact).back(), 1);  // the reduced decode reached the end of the image
    for (size_t k = 0; k < scans.size(); ++k) {
        std::vector<uint8_t> damaged = file;
        const size_t middle = (scans[k].first + scans[k].second) / 2;
        for (size_t i = middle; i < std::min(middle + 64, scans[k].second); ++i) damaged[i] = static_cast<uint8_t>(i * 7);
        EXPECT_TRUE(decode(damaged, true) == decode(damaged, false)) << "damage in scan " << k;
    }
}
