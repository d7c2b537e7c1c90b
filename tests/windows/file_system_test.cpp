// Own path, file lookup with 64-bit sizes and wildcards, temporary names.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>

#include "file_system.h"
#include "scratch_folder.h"

namespace {

bool endsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(FileSystem, FindsTheProgramItselfWithItsSize) {
    std::wstring own = ownProgramPath();
    ASSERT_TRUE(endsWith(own, L".exe"));
    FoundFile found;
    ASSERT_TRUE(findFile(own, found));
    std::string bytes;
    ASSERT_TRUE(readWholeFile(own, bytes));
    EXPECT_EQ(found.size(), bytes.size());
}

TEST(FileSystem, LookupMatchesWildcardsButNotQuotedNames) {
    ScratchFolder folder;
    ASSERT_TRUE(writeWholeFile(folder.file(L"a.b.jpg"), std::string(1234, 'x')));
    FoundFile found;
    ASSERT_TRUE(findFile(folder.file(L"*.jp?"), found));
    EXPECT_EQ(found.size(), 1234u);
    EXPECT_FALSE(findFile(L"\"" + folder.file(L"a.b.jpg") + L"\"", found));
    EXPECT_FALSE(findFile(folder.file(L"none.jpg"), found));
}

TEST(FileSystem, SizeAboveFourGigabytesComesInTwoHalves) {
    ScratchFolder folder;
    const std::wstring path = folder.file(L"big.bin");
    if (!makeSparseFile(path, 5000000123ull)) GTEST_SKIP() << "the file system refuses a sparse 5 GB file";
    FoundFile found;
    ASSERT_TRUE(findFile(path, found));
    EXPECT_EQ(found.sizeHigh, 1u);
    EXPECT_EQ(found.sizeLow, 705032827u);
}

TEST(FileSystem, TemporaryFilesAreNewEmptyAndNamedFromThePrefix) {
    std::wstring folder;
    ASSERT_TRUE(tempFolder(folder));
    ASSERT_TRUE(endsWith(folder, L"\\"));
    std::wstring first, second;
    ASSERT_TRUE(createTempFile(folder, L"edm", first));
    ASSERT_TRUE(createTempFile(folder, L"edm", second));
    EXPECT_NE(first, second);
    for (const std::wstring& path : {first, second}) {
        ASSERT_EQ(path.compare(0, folder.size(), folder), 0);
        std::wstring name = path.substr(folder.size());
        // edm, up to four hexadecimal digits, .tmp
        EXPECT_EQ(name.compare(0, 3, L"edm"), 0) << name;
        EXPECT_TRUE(endsWith(name, L".tmp")) << name;
        ASSERT_GE(name.size(), 8u);
        for (size_t i = 3; i + 4 < name.size(); ++i) EXPECT_TRUE(std::iswxdigit(name[i])) << name;
        FoundFile found;
        ASSERT_TRUE(findFile(path, found));
        EXPECT_EQ(found.size(), 0u);
        DeleteFileW(path.c_str());
    }
}

TEST(FileSystem, TemporaryFilesOnlyInFoldersTheSystemTakes) {
    ScratchFolder scratch;
    for (size_t length : {kLongestTempFileFolder, kLongestTempFileFolder + 1}) {
        // One folder whose path, with its closing backslash, is `length` characters long.
        const std::wstring name(length - scratch.path().size() - 1, L'd');
        const std::wstring folder = scratch.folder(name);
        ASSERT_EQ(folder.size(), length);
        std::wstring path;
        EXPECT_EQ(createTempFile(folder, L"edm", path), length <= kLongestTempFileFolder) << length;
        if (!path.empty()) DeleteFileW(path.c_str());
    }
}

}  // namespace
