// Damaged and out-of-scope JPEGs (and in-scope files with an open outcome) end as the
// manifest expects, with the message its notes name, and without a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "corpus_decodes.h"
#include "jpeg_messages.h"

namespace {

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

bool hasMessage(const CorpusDecode& p, const char* text) {
    return std::find(p.messages.begin(), p.messages.end(), std::string(text)) != p.messages.end();
}

// What went wrong with one row, or "" when it ended as expected.
std::string check(const ManifestRow& row, const CorpusDecode& p) {
    std::ostringstream fault;
    if (row.expect == "refused" && p.probed && p.anyWritten) fault << "picture content written; ";
    if (row.expect == "partial" && !(p.probed && p.anyWritten)) fault << "nothing decoded; ";
    if (row.expect == "shows") {
        if (!p.probed || !p.anyWritten) fault << "nothing decoded; ";
        else if (std::to_string(p.shownWidth) != row.width || std::to_string(p.shownHeight) != row.height)
            fault << "shown " << p.shownWidth << "x" << p.shownHeight << "; ";
    }
    bool frameRefusal = row.hasFeature("sof1") || row.hasFeature("lossless") || row.hasFeature("arith-progressive") ||
                        row.hasFeature("arith");
    if (contains(row.notes, "M_DAC") && !hasMessage(p, jpeg_text::kArithmetic)) fault << "no M_DAC message; ";
    if (contains(row.notes, "with the message") && !hasMessage(p, jpeg_text::kCannotShow))
        fault << "no refusal message; ";
    if (contains(row.notes, "without a message") && !p.messages.empty()) fault << "unexpected message; ";
    // Arithmetic-coded files usually carry a DAC segment, which stops the decode first.
    if (row.expect == "refused" && frameRefusal && p.routed && !hasMessage(p, jpeg_text::kUnsupported) &&
        !hasMessage(p, jpeg_text::kArithmetic))
        fault << "no unsupported-file message; ";
    return fault.str();
}

void checkRows(bool (*selected)(const ManifestRow&)) {
    std::vector<ManifestRow> rows = readManifest();
    if (rows.empty()) GTEST_SKIP() << skipMessage();
    int checkedRows = 0;
    for (const ManifestRow& row : rows) {
        if (row.format != "jpeg" && !contains(row.path, ".jpg")) continue;
        if (!selected(row)) continue;
        const CorpusDecode& p = corpusDecode(row.path);
        ++checkedRows;
        EXPECT_EQ(check(row, p), "") << row.path << " (expect " << row.expect << ")";
    }
    std::cout << checkedRows << " files checked\n";
}

}  // namespace

TEST(JpegCorpusDamaged, DamagedFilesEndAsExpected) {
    checkRows([](const ManifestRow& r) { return r.category == "damaged"; });
}

TEST(JpegCorpusDamaged, OutOfScopeFilesEndAsExpected) {
    checkRows([](const ManifestRow& r) { return r.category == "out-of-scope"; });
}

TEST(JpegCorpusDamaged, InScopeFilesWithOpenOutcomeEndAsExpected) {
    checkRows([](const ManifestRow& r) { return r.category == "in-scope" && r.expect != "shows"; });
}
