// The BMP files of the shared corpus: exact pictures at screen depths 24 and 8, and the
// manifest's expectation for every BMP file, damaged ones included.
#include <gtest/gtest.h>

#include <sstream>

#include "corpus.h"
#include "corpus_check.h"
#include "collection.h"
#include "image/bmp_picture.h"
#include "image/shown_picture.h"

namespace {

bool isBmpPath(const std::string& path) { return path.size() > 4 && path.compare(path.size() - 4, 4, ".bmp") == 0; }

int loadAsViewer(const std::vector<uint8_t>& bytes, ShownPicture& picture) {
    if (pictureKind(bytes.data(), bytes.size()) != PictureKind::Bmp) return 0;
    return loadBmpPicture(bytes.data(), bytes.size(), picture);
}

std::string joined(const std::vector<std::string>& lines) {
    std::ostringstream out;
    for (const auto& l : lines) out << "\n  " << l;
    return out.str();
}

bool anyPixelSet(const ShownPicture& p) {
    for (uint8_t b : p.pixels)
        if (b != 0) return true;
    return false;
}

}  // namespace

TEST(BmpCorpus, ExactPicturesAtBothScreenDepths) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    const ReferenceComparison c =
        compareWithReference([](const ReferenceRow& r) { return isBmpPath(r.path); }, loadAsViewer);
    EXPECT_GT(c.checked, 100);
    // Also the rows the manifest leaves open: the choices made for them give the recorded pictures.
    EXPECT_TRUE(c.mismatches.empty() && c.open.empty())
        << c.mismatches.size() + c.open.size() << " of " << c.checked << " rows differ:" << joined(c.mismatches)
        << joined(c.open);
}

TEST(BmpCorpus, EveryBmpFileEndsAsTheManifestExpects) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    std::vector<std::string> wrong;
    int files = 0;
    for (const ManifestRow& row : readManifest()) {
        if (row.format != "bmp" && !isBmpPath(row.path)) continue;
        const std::vector<uint8_t> bytes = readCorpusFile(row.path);
        if (bytes.empty() && row.hasFeature("on-demand")) continue;
        ++files;
        for (int depth : {24, 8}) {
            ShownPicture picture(depth);
            const int result = loadAsViewer(bytes, picture);
            const std::string where = row.path + " @" + std::to_string(depth) + " (" + row.expect + "): ";
            if (row.expect == "shows" && result != 1) wrong.push_back(where + "not shown");
            if (row.expect == "refused" && result != 0) wrong.push_back(where + "shown");
            if (row.expect == "partial" && (result != 0 || !anyPixelSet(picture))) {
                wrong.push_back(where + "result " + std::to_string(result) + ", some pixels " +
                                (anyPixelSet(picture) ? "set" : "unset"));
            }
            if (result == 1) {
                std::vector<uint8_t> file;
                if (!pictureFileBytes(picture, file)) wrong.push_back(where + "no file written");
            }
        }
    }
    EXPECT_GT(files, 100);
    EXPECT_TRUE(wrong.empty()) << joined(wrong);
}
