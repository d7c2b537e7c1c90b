// Restoring picture files beside the program: names, bytes, the outcome messages, and titles or
// paths that must not lead anywhere but the program's folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "extract_entries.h"
#include "message_box_answer.h"
#include "scratch_folder.h"

namespace {

const std::wstring kFailure = L"画像ファイルの作成に失敗しました。";

std::vector<CollectionEntry> makeEntries(uint32_t count, FormatTag tag = FormatTag::Jpg) {
    std::vector<CollectionEntry> entries(count);
    for (uint32_t i = 0; i < count; ++i) {
        std::string bytes = "picture " + std::to_string(i + 1);
        entries[i].data.assign(bytes.begin(), bytes.end());
        entries[i].formatTag = tag;
    }
    return entries;
}

std::string fileText(const std::wstring& path) {
    std::string bytes;
    return readWholeFile(path, bytes) ? bytes : "(missing)";
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Names of the files and folders in `folder`.
std::vector<std::wstring> listing(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return names;
}

// The program lives in a folder of its own inside the scratch folder, so that a file written
// beside that folder would show up.
class ExtractionTest : public ::testing::Test {
protected:
    ExtractionTest() : folder(scratch.file(L"prog\\")), program(folder + L"viewer.exe") {
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    AnsweredBox extract(int all, const std::string& title, uint32_t page, int* result = nullptr) {
        int outcome = -1;
        AnsweredBox box = answerMessageBox([&] {
            const uint32_t count = static_cast<uint32_t>(entries.size());
            outcome = extractEntries(all, entries, count, page, title, program, nullptr);
        });
        if (result != nullptr) *result = outcome;
        return box;
    }
    std::wstring success() const { return folder + L"\nに画像ファイルを作成しました。"; }

    ScratchFolder scratch;
    std::wstring folder, program;
    std::vector<CollectionEntry> entries;
};

TEST_F(ExtractionTest, CurrentPageGoesBesideTheProgramWithPaddedNumber) {
    entries = makeEntries(12);
    int result = 0;
    AnsweredBox box = extract(0, "T", 12, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(fileText(folder + L"T12.JPG"), "picture 12");
    EXPECT_TRUE(box.shown);
    EXPECT_EQ(box.caption, L"エダミル");
    EXPECT_EQ(box.text, success());
    EXPECT_EQ(listing(folder).size(), 1u);

    extract(0, "T", 3);
    EXPECT_EQ(fileText(folder + L"T03.JPG"), "picture 3");
}

TEST_F(ExtractionTest, GroupingCommasCountInThePadding) {
    entries = makeEntries(1000, FormatTag::Bmp);
    extract(0, "T", 5);
    extract(0, "T", 1000);
    EXPECT_EQ(fileText(folder + L"T00005.BMP"), "picture 5");  // as long as "1,000"
    EXPECT_EQ(fileText(folder + L"T1,000.BMP"), "picture 1000");
}

TEST_F(ExtractionTest, PageOneOrLessTakesTheFirstEntry) {
    entries = makeEntries(3);
    extract(0, "T", 1);
    EXPECT_EQ(fileText(folder + L"T1.JPG"), "picture 1");
}

TEST_F(ExtractionTest, AllPagesAreWrittenAndOverwrittenWithoutAsking) {
    entries = makeEntries(9);
    entries[4].formatTag = FormatTag::Bmp;
    int result = 0;
    AnsweredBox box = extract(1, "T", 4, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(box.text, success());
    EXPECT_EQ(listing(folder).size(), 9u);
    for (int n = 1; n <= 9; ++n) {
        std::wstring name = L"T" + std::to_wstring(n) + (n == 5 ? L".BMP" : L".JPG");
        EXPECT_EQ(fileText(folder + name), "picture " + std::to_string(n)) << n;
    }

    entries[8].data.assign(3, 'x');
    box = extract(1, "T", 4);
    EXPECT_EQ(box.text, success());
    EXPECT_EQ(fileText(folder + L"T9.JPG"), "xxx");
}

TEST_F(ExtractionTest, OnlyTheLastPageDecidesTheMessage) {
    entries = makeEntries(9);
    ASSERT_TRUE(CreateDirectoryW((folder + L"T1.JPG").c_str(), nullptr));  // the first file cannot be created
    AnsweredBox box = extract(1, "T", 1);
    EXPECT_EQ(box.text, success());
    EXPECT_EQ(fileText(folder + L"T2.JPG"), "picture 2");
    EXPECT_EQ(fileText(folder + L"T9.JPG"), "picture 9");

    ASSERT_TRUE(CreateDirectoryW((folder + L"U9.JPG").c_str(), nullptr));  // now the last one
    int result = 1;
    box = extract(1, "U", 1, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(box.text, kFailure);
    EXPECT_EQ(fileText(folder + L"U8.JPG"), "picture 8");
}

TEST_F(ExtractionTest, UnreadEntryGivesAnEmptyFileAndAnEmptyTagNoExtension) {
    entries = makeEntries(3);
    entries[1] = CollectionEntry();  // never read: no bytes, no tag
    AnsweredBox box = extract(0, "T", 2);
    EXPECT_EQ(box.text, success());
    EXPECT_EQ(fileText(folder + L"T2"), "");  // "T2." without its trailing dot
}

TEST_F(ExtractionTest, JapaneseTitle) {
    entries = makeEntries(2);
    extract(0, "表示ソフト", 2);  // trail bytes 0x5C inside the title are no separators
    EXPECT_EQ(fileText(folder + L"表示ソフト2.JPG"), "picture 2");
}

TEST_F(ExtractionTest, TitlesThatWouldLeaveTheFolderOrNameADeviceWriteNothing) {
    entries = makeEntries(9);
    for (const char* title : {"..\\x", "../x", "sub\\x", "C:x", "T?", "T*", "T|", "nul.x", "con .x", "COM", "lpt"}) {
        for (int all : {0, 1}) {
            int result = 1;
            AnsweredBox box = extract(all, title, 1, &result);
            EXPECT_EQ(result, 0) << title;
            EXPECT_EQ(box.text, kFailure) << title;
        }
        EXPECT_TRUE(listing(folder).empty()) << title;
    }
    std::vector<std::wstring> outside = listing(scratch.path());
    ASSERT_EQ(outside.size(), 1u);
    EXPECT_EQ(outside[0], L"prog");
}

TEST_F(ExtractionTest, PathLongerThanTheBufferFails) {
    entries = makeEntries(2);
    const size_t room = kMaxWrittenPathChars - folder.size();  // characters left for the name
    int result = 1;
    AnsweredBox box = extract(0, std::string(room - 4, 'a'), 2, &result);  // "2.JPG" makes it one too long
    EXPECT_EQ(result, 0);
    EXPECT_EQ(box.text, kFailure);
    EXPECT_TRUE(listing(folder).empty());

    box = extract(0, std::string(room - 5, 'a'), 2);  // exactly fits
    EXPECT_EQ(box.text, success());
}

TEST_F(ExtractionTest, ProgramPathWithoutFolderWritesNothing) {
    entries = makeEntries(2);
    program = L"viewer.exe";
    AnsweredBox box = extract(1, "T", 1);
    EXPECT_EQ(box.text, kFailure);
    EXPECT_FALSE(exists(L"T1.JPG"));
}

TEST_F(ExtractionTest, NoEntryTableDoesNothingSilently) {
    int result = 1;
    AnsweredBox box = extract(1, "T", 1, &result);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(box.shown);
    EXPECT_TRUE(listing(folder).empty());
}

TEST_F(ExtractionTest, PageBeyondTheTableFails) {
    entries = makeEntries(3);
    AnsweredBox box = extract(0, "T", 4);
    EXPECT_EQ(box.text, kFailure);
    EXPECT_TRUE(listing(folder).empty());
}

TEST(PathBesideProgram, FolderTitleAndRest) {
    EXPECT_EQ(programFolder(L"C:\\pics\\viewer.exe"), L"C:\\pics\\");
    EXPECT_EQ(programFolder(L"viewer.exe"), L"");
    EXPECT_EQ(pathBesideProgram(L"C:\\pics\\viewer.exe", "Spring", ".BMP"), L"C:\\pics\\Spring.BMP");
    EXPECT_EQ(pathBesideProgram(L"C:\\pics\\viewer.exe", "", ".BMP"), L"C:\\pics\\.BMP");
    EXPECT_EQ(pathBesideProgram(L"C:\\pics\\viewer.exe", "NUL", ".BMP"), L"");
    EXPECT_EQ(pathBesideProgram(L"C:\\pics\\viewer.exe", "aux", ".BMP"), L"");
    EXPECT_EQ(pathBesideProgram(L"C:\\pics\\viewer.exe", "COM", "1.JPG"), L"");
    EXPECT_EQ(pathBesideProgram(L"C:\\pics\\viewer.exe", "CONSOLE", ".BMP"), L"C:\\pics\\CONSOLE.BMP");
    EXPECT_EQ(pathBesideProgram(L"C:\\pics\\viewer.exe", "a/b", ".BMP"), L"");
}

}  // namespace
