// Books from dropped paths, in-process: where they go and what they are called, and that a refusal
// writes nothing. drop_roundtrip.cmake runs the real program on dropped pictures and folders.
#include "dropped_book.h"
#include "synthetic_pe.h"
#include "temp_folder.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(DroppedBook, PlaceAndTitleFollowTheFirstInput) {
    TempFolder temp;
    const fs::path spring = temp.path() / fs::u8path(u8"春の本");
    fs::create_directories(spring);
    writeBytes((spring / "a.jpg").u8string(), {1});
    const fs::path root = temp.path().root_path();
    struct Case {
        std::string input;
        fs::path folder;
        std::string title;
    } cases[] = {
        {(spring / "a.jpg").u8string(), spring, u8"春の本"},          // a picture: into its folder
        {spring.u8string(), temp.path(), u8"春の本"},                 // a folder: beside it
        {spring.u8string() + "/", temp.path(), u8"春の本"},
        {(spring / ".." / fs::u8path(u8"春の本")).u8string(), temp.path(), u8"春の本"},
        {root.u8string(), root, "book"},                             // a root has no name
    };
    for (const Case& c : cases) {
        const BookPlace place = droppedBookPlace(c.input);
        EXPECT_EQ(fs::u8path(place.folder), c.folder.lexically_normal()) << c.input;
        EXPECT_EQ(place.title, c.title) << c.input;
    }
}

TEST(DroppedBook, TakesTheFirstNameNothingHas) {
    TempFolder temp;
    const std::string folder = temp.path().u8string();
    auto freeName = [&] { return fs::u8path(freeBookPath(folder, u8"名前")).filename().u8string(); };
    auto taken = [&](const char* name) { return (temp.path() / fs::u8path(name)).u8string(); };
    EXPECT_EQ(freeName(), u8"名前.exe");
    writeBytes(taken(u8"名前.exe"), {});
    writeBytes(taken(u8"名前 (2).exe"), {});
    fs::create_directory(fs::u8path(taken(u8"名前 (3).exe")));
    EXPECT_EQ(freeName(), u8"名前 (4).exe");
    EXPECT_EQ(numberedBookName("b", 12), "b (12).exe");
}

// Each refusal leaves the folders as they were: no book, not even an empty file.
TEST(DroppedBook, RefusalsWriteNothing) {
    TempFolder temp;
    const std::string viewer = temp.file("edamiru.exe");
    writeBytes(viewer, buildSyntheticPe());
    const std::string broken = temp.file("broken.jpg");
    writeBytes(broken, {'n', 'o', 't'});
    const std::vector<std::string> before = namesIn(temp.path());
    struct Case {
        std::vector<std::string> inputs;
        std::string viewer, message;
    } cases[] = {
        {{broken}, "", "cannot find the folder"},
        {{broken}, temp.file("elsewhere/edamiru.exe"), "must be in the same folder"},
        {{broken, "--as-is"}, viewer, "options need a command"},
        {{broken}, viewer, "nothing written"},
    };
    for (const Case& c : cases) {
        std::ostringstream err;
        std::streambuf* old = std::cerr.rdbuf(err.rdbuf());
        const int status = dropCommand(c.inputs, c.viewer);
        std::cerr.rdbuf(old);
        EXPECT_EQ(status, 1) << c.message;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(namesIn(temp.path()), before) << c.message;
    }
}

// Only an argument naming something that exists is taken for a dropped path; any other unknown
// word still gets the usage.
TEST(DroppedBook, UnknownWordsAreNoDroppedPaths) {
    ToolResult result = runBookTool({"no-such-picture.jpg"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("unknown command"), std::string::npos);
}
