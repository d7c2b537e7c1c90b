// edamiru-book end to end, in-process: make a book from a synthetic viewer, list it, extract it,
// and refuse what is not a book or cannot be written.
#include "collection_bytes.h"
#include "corpus.h"
#include "synthetic_pe.h"
#include "temp_folder.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// Whole file at a UTF-8 path (on Windows through the wide path, so Japanese names open).
std::vector<uint8_t> fileBytes(const std::string& utf8Path) {
    std::ifstream in(std::filesystem::u8path(utf8Path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class BookTool : public ::testing::Test {
protected:
    void SetUp() override {
        viewer_ = folder_.file("viewer.exe");
        writeBytes(viewer_, buildSyntheticPe());
        pictures_ = {{0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3}, {0x42, 0x4D, 0, 0, 9}, {}, {0x42, 0x00}, {0x89, 'P', 'N', 'G'}};
        for (size_t i = 0; i < pictures_.size(); ++i) {
            paths_.push_back(folder_.file("p" + std::to_string(i) + ".bin"));
            writeBytes(paths_.back(), pictures_[i]);
        }
    }

    ToolResult make(const std::string& out, std::vector<std::string> extra) {
        // The pictures are bytes of no real picture, stored as they are.
        std::vector<std::string> args{"make", "--viewer", viewer_, "--out", out, "--as-is"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), paths_.begin(), paths_.end());
        return runBookTool(args);
    }

    TempFolder folder_;
    std::string viewer_;
    std::vector<std::vector<uint8_t>> pictures_;
    std::vector<std::string> paths_;
};

}  // namespace

TEST_F(BookTool, MakeAppendsTheCollectionByteForByte) {
    std::string book = folder_.file("book.exe");
    ToolResult made = make(book, {"--title", u8"春の本", "--comment", "", "--link", "L", "--caption", "0",
                                  "--comment-box", "1", "--menu-bar", "2", "--interval", "3", "--mouse", "0x2"});
    ASSERT_EQ(made.status, 0) << made.err;
    TestCollection expected;
    expected.title = "春の本";  // Shift-JIS in this build
    expected.comment = "";
    expected.link = "L";
    uint32_t settings[6] = {0, 1, 2, 3, 2, 0xFFFFFFFFu};
    std::copy(settings, settings + 6, expected.settings);
    expected.pictures = pictures_;
    std::vector<uint8_t> wanted = buildSyntheticPe();
    std::vector<uint8_t> collection = collectionBytes(expected);
    wanted.insert(wanted.end(), collection.begin(), collection.end());
    EXPECT_EQ(fileBytes(book), wanted);
}

TEST_F(BookTool, ListGivesTextsAndSettingsBack) {
    std::string book = folder_.file("book.exe");
    ASSERT_EQ(make(book, {"--title", u8"表示ソフトの本", "--comment", u8"一行目\n\"二\"行目\\", "--link",
                          "http://example.invalid/", "--comment-box", "0xFFFFFFFF", "--interval", "-5"}).status, 0);
    ToolResult listed = runBookTool({"list", book, "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out,
              u8"{\"title\":\"表示ソフトの本\",\"comment\":\"一行目\\u000a\\\"二\\\"行目\\\\\","
              u8"\"link\":\"http://example.invalid/\",\"settings\":{\"caption\":1,\"commentBox\":4294967295,"
              u8"\"menuBar\":1,\"interval\":-5,\"mouse\":1},\"entries\":[{\"page\":1,\"size\":7,\"tag\":\"JPG\"},"
              u8"{\"page\":2,\"size\":5,\"tag\":\"BMP\"},{\"page\":3,\"size\":0,\"tag\":\"\"},"
              u8"{\"page\":4,\"size\":2,\"tag\":\"BMP\"},{\"page\":5,\"size\":4,\"tag\":\"\"}]}\n");
    ToolResult text = runBookTool({"list", book});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find(u8"表示ソフトの本"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("4294967295"), std::string::npos) << text.out;
}

TEST_F(BookTool, DefaultSettings) {
    std::string book = folder_.file("book.exe");
    ASSERT_EQ(make(book, {}).status, 0);
    ToolResult listed = runBookTool({"list", book, "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find(u8"{\"title\":\"\",\"comment\":\"\",\"link\":\"\",\"settings\":{\"caption\":1,"
                              u8"\"commentBox\":4294967295,\"menuBar\":1,\"interval\":0,\"mouse\":1}"),
              std::string::npos)
        << listed.out;
}

TEST_F(BookTool, ExtractGivesEveryPictureBack) {
    std::string book = folder_.file("book.exe");
    ASSERT_EQ(make(book, {"--title", u8"春の本"}).status, 0);
    std::string to = folder_.file(u8"取り出し");
    ToolResult extracted = runBookTool({"extract", book, "--to", to});
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    const char* names[] = {u8"春の本1.JPG", u8"春の本2.BMP", u8"春の本3.", u8"春の本4.BMP", u8"春の本5."};
    for (size_t i = 0; i < pictures_.size(); ++i) {
        EXPECT_EQ(fileBytes(to + "/" + names[i]), pictures_[i]) << names[i];
    }
    std::filesystem::remove_all(std::filesystem::u8path(to));
    ASSERT_EQ(runBookTool({"extract", book, "--to", to, "--page", "4"}).status, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::u8path(to)),
                            std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(fileBytes(to + u8"/春の本4.BMP"), pictures_[3]);
    EXPECT_NE(runBookTool({"extract", book, "--to", to, "--page", "6"}).status, 0);
    EXPECT_EQ(runBookTool({"extract", book, "--to", to, "--page", "0"}).status, 2);
}

TEST_F(BookTool, ExtractPadsPageNumbers) {
    paths_.assign(12, paths_[0]);
    std::string book = folder_.file("book.exe");
    ASSERT_EQ(make(book, {"--title", "T"}).status, 0);
    ASSERT_EQ(runBookTool({"extract", book, "--to", folder_.file("x")}).status, 0);
    EXPECT_EQ(fileBytes(folder_.file("x/T03.JPG")), pictures_[0]);
    EXPECT_EQ(fileBytes(folder_.file("x/T12.JPG")), pictures_[0]);
}

TEST_F(BookTool, ExtractRefusesTitlesThatLeaveTheFolderOrNameADevice) {
    const struct {
        const char* title;
        const char* reason;
    } cases[] = {{"..", "cannot stand in a file name"}, {"a/b", "cannot stand in a file name"},
                 {"a\\b", "cannot stand in a file name"}, {"c:x", "cannot stand in a file name"},
                 {"COM", "Windows does not take"},        {"NUL.x", "Windows does not take"},
                 {"a*", "Windows does not take"}};
    for (const auto& c : cases) {
        std::string book = folder_.file("book.exe");
        ASSERT_EQ(make(book, {"--title", c.title}).status, 0);
        ToolResult r = runBookTool({"extract", book, "--to", folder_.file("x")});
        EXPECT_EQ(r.status, 1) << c.title;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "x"));
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "a"));
}

TEST_F(BookTool, TextsShiftJisCannotHoldAreRefused) {
    std::string book = folder_.file("book.exe");
    for (const char* option : {"--title", "--comment", "--link"}) {
        ToolResult r = make(book, {option, "\xE6\x9C\xAC\xF0\x9F\x98\x80"  /* 本 and an emoji in UTF-8 */});
        EXPECT_EQ(r.status, 1) << option;
        EXPECT_NE(r.err.find("cannot be written in Shift-JIS"), std::string::npos) << r.err;
    }
    EXPECT_EQ(make(book, {"--title", "\xFF\xFE"}).status, 1);  // not UTF-8
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(book)));
}

TEST_F(BookTool, ViewersThatCannotCarryABookAreRefused) {
    std::string book = folder_.file("book.exe");
    ASSERT_EQ(make(book, {}).status, 0);
    std::string out = folder_.file("again.exe");
    ToolResult again = runBookTool({"make", "--viewer", book, "--out", out, paths_[0]});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already carries"), std::string::npos) << again.err;
    ToolResult notPe = runBookTool({"make", "--viewer", paths_[0], "--out", out, paths_[0]});
    EXPECT_EQ(notPe.status, 1);
    EXPECT_NE(notPe.err.find("not a 32-bit Windows program"), std::string::npos) << notPe.err;
    std::vector<uint8_t> cut = buildSyntheticPe();
    cut.resize(0x300);
    writeBytes(folder_.file("cut.exe"), cut);
    EXPECT_EQ(runBookTool({"make", "--viewer", folder_.file("cut.exe"), "--out", out, paths_[0]}).status, 1);
    EXPECT_EQ(runBookTool({"make", "--viewer", viewer_, "--out", viewer_, paths_[0]}).status, 1);
    EXPECT_EQ(fileBytes(viewer_), buildSyntheticPe());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(out)));
}

TEST_F(BookTool, SignedViewerMakesTheSameBookAsTheUnsignedOne) {
    std::string fromUnsigned = folder_.file("unsigned.exe"), fromSigned = folder_.file("signed.exe");
    ASSERT_EQ(make(fromUnsigned, {"--title", "T"}).status, 0);
    SyntheticPe signedPe;
    signedPe.certificateSize = 0x128;
    writeBytes(viewer_, buildSyntheticPe(signedPe));
    ToolResult made = make(fromSigned, {"--title", "T"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.out.find("dropped the signature of " + viewer_ + " (296 bytes)"), std::string::npos) << made.out;
    EXPECT_EQ(fileBytes(fromSigned), fileBytes(fromUnsigned));
}

TEST_F(BookTool, OnlyASignatureRightBehindTheImageIsDropped) {
    SyntheticPe signedPe;
    signedPe.certificateSize = 0x100;
    const std::vector<uint8_t> signedViewer = buildSyntheticPe(signedPe);  // image end 0x400
    const size_t entry = kSyntheticPeOffset + 24 + 96 + 4 * 8;
    std::vector<uint8_t> trailing = signedViewer, gap = signedViewer, shortEntry = signedViewer;
    trailing.push_back(0);                      // a byte behind the certificate
    gap.insert(gap.begin() + 0x400, 8, 0x11);   // bytes between image and certificate, as in a signed book
    gap[entry] = 0x08;                          // the table now at 0x408
    shortEntry[entry + 4] -= 8;                 // the entry does not reach the end of the file
    std::string out = folder_.file("book.exe");
    for (const std::vector<uint8_t>* viewer : {&trailing, &gap, &shortEntry}) {
        writeBytes(viewer_, *viewer);
        ToolResult made = make(out, {});
        EXPECT_EQ(made.status, 1);
        EXPECT_NE(made.err.find("already carries"), std::string::npos) << made.err;
        EXPECT_EQ(fileBytes(viewer_), *viewer);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(out)));
}

TEST_F(BookTool, NonBooksAndTruncatedBooksFail) {
    ToolResult plain = runBookTool({"list", viewer_});
    EXPECT_EQ(plain.status, 1);
    EXPECT_NE(plain.err.find("not a picture book: nothing appended to the program"), std::string::npos) << plain.err;
    EXPECT_EQ(runBookTool({"extract", viewer_, "--to", folder_.file("x")}).status, 1);
    EXPECT_EQ(runBookTool({"list", folder_.file("missing.exe")}).status, 1);

    std::string book = folder_.file("book.exe");
    ASSERT_EQ(make(book, {"--title", "T"}).status, 0);
    std::vector<uint8_t> whole = fileBytes(book);
    // Texts "T", "", "" and the settings take 4 + 24 bytes; pages 1 to 4 take 11 + 9 + 4 + 6; cut inside page 5.
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + 0x400 + 28 + 30 + 4 + 2);
    writeBytes(folder_.file("cut.exe"), cut);
    ToolResult listed = runBookTool({"list", folder_.file("cut.exe"), "--json"});
    EXPECT_EQ(listed.status, 1);
    EXPECT_NE(listed.err.find("truncated: page 5 of 5 is incomplete"), std::string::npos) << listed.err;
    EXPECT_NE(listed.out.find("{\"page\":4,\"size\":2,\"tag\":\"BMP\"}]"), std::string::npos) << listed.out;
    ToolResult extracted = runBookTool({"extract", folder_.file("cut.exe"), "--to", folder_.file("x")});
    EXPECT_EQ(extracted.status, 1);
    EXPECT_NE(extracted.err.find("page 5 is incomplete"), std::string::npos) << extracted.err;
    EXPECT_EQ(fileBytes(folder_.file("x/T1.JPG")), pictures_[0]);  // the complete pages are still written
    EXPECT_EQ(fileBytes(folder_.file("x/T4.BMP")), pictures_[3]);
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "x" / "T5."));

    cut.resize(0x400 + 20);  // inside the settings
    writeBytes(folder_.file("cut.exe"), cut);
    ToolResult header = runBookTool({"list", folder_.file("cut.exe")});
    EXPECT_EQ(header.status, 1);
    EXPECT_NE(header.err.find("truncated"), std::string::npos) << header.err;
}

TEST_F(BookTool, CommandLinesThatCannotBeUnderstood) {
    EXPECT_EQ(runBookTool({}).status, 2);
    EXPECT_EQ(runBookTool({"frobnicate"}).status, 2);
    EXPECT_EQ(runBookTool({"list"}).status, 2);
    EXPECT_EQ(runBookTool({"list", "a", "--bogus"}).status, 2);
    EXPECT_EQ(runBookTool({"make", "--viewer", viewer_, "--out", folder_.file("b.exe")}).status, 2);  // no pictures
    EXPECT_EQ(make(folder_.file("b.exe"), {"--interval", "4294967296"}).status, 2);
    EXPECT_EQ(make(folder_.file("b.exe"), {"--title", "a", "--title", "b"}).status, 2);
    EXPECT_EQ(runBookTool({"extract", "book.exe"}).status, 2);
    ToolResult help = runBookTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("edamiru-book --version"), std::string::npos) << help.out;
}

// Real pictures from the shared corpus survive the round trip unchanged.
TEST_F(BookTool, CorpusPicturesRoundTrip) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    paths_.clear();
    pictures_.clear();
    std::vector<std::string> jpegs, bmps;
    for (const ManifestRow& row : readManifest()) {
        if (row.category != "in-scope" || row.path.rfind("generated/", 0) != 0) continue;
        std::vector<std::string>& kind = row.format == "jpeg" ? jpegs : bmps;
        if (kind.size() < 3) kind.push_back(row.path);
    }
    for (size_t i = 0; i < 3 && i < jpegs.size() && i < bmps.size(); ++i) {
        for (const std::string& path : {jpegs[i], bmps[i]}) {
            paths_.push_back(corpusDir() + "/" + path);
            pictures_.push_back(readCorpusFile(path));
        }
    }
    ASSERT_EQ(paths_.size(), 6u);
    std::string book = folder_.file("book.exe");
    ToolResult made = make(book, {"--title", "C"});
    ASSERT_EQ(made.status, 0) << made.err;
    ASSERT_EQ(runBookTool({"extract", book, "--to", folder_.file("x")}).status, 0);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(fileBytes(folder_.file("x/C" + std::to_string(i + 1) + (i % 2 ? ".BMP" : ".JPG"))), pictures_[i]);
    }
}
