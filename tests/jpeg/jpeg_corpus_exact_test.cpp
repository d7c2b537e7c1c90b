// Every JPEG with a recorded picture decodes to exactly that picture.
#include <gtest/gtest.h>

#include <sstream>

#include "corpus_decodes.h"

TEST(JpegCorpusExact, EveryReferencePictureMatches) {
    std::vector<ReferenceRow> rows = readReference();
    if (rows.empty()) GTEST_SKIP() << skipMessage();
    int checked = 0, matched = 0;
    std::ostringstream mismatches;
    for (const ReferenceRow& row : rows) {
        if (row.depth != 24) continue;
        const CorpusDecode& picture = corpusDecode(row.path);
        if (!picture.routed) continue;  // not a JPEG
        ++checked;
        if (row.shown == "no") {
            if (picture.probed) mismatches << row.path << ": shows a picture, expected none\n";
            else ++matched;
            continue;
        }
        std::string size = std::to_string(picture.shownWidth) + "x" + std::to_string(picture.shownHeight);
        if (!picture.probed) {
            mismatches << row.path << ": not shown\n";
        } else if (size != row.width + "x" + row.height) {
            mismatches << row.path << ": shown " << size << ", expected " << row.width << "x" << row.height << "\n";
        } else if (picture.shownHash != row.pixelsSha256) {
            mismatches << row.path << ": pixels differ\n";
        } else {
            ++matched;
        }
    }
    std::cout << matched << " of " << checked << " JPEG pictures match the reference\n";
    EXPECT_EQ(matched, checked) << mismatches.str();
}
