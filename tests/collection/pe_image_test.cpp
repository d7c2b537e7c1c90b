// Where a program file ends, from its PE headers, and that broken or cut headers are refused.
#include "pe_image.h"
#include "synthetic_pe.h"

#include <gtest/gtest.h>

namespace {

bool endOf(const std::vector<uint8_t>& file, uint64_t& end) { return peImageFileEnd(file.data(), file.size(), end); }

// The default program with a symbol table of `symbolCount` entries at 0x400, where its section
// ends, and a string table of 14 bytes after it.
std::vector<uint8_t> withSymbols(uint32_t symbolCount) {
    SyntheticPe pe;
    pe.symbolTable = 0x400;
    pe.symbolCount = symbolCount;
    pe.stringTableLength = 14;
    return buildSyntheticPe(pe);
}

}  // namespace

TEST(PeImageFileEnd, LastSectionEndIsTheFileSize) {
    std::vector<uint8_t> file = buildSyntheticPe();
    uint64_t end = 0;
    ASSERT_TRUE(endOf(file, end));
    EXPECT_EQ(end, 0x400u);
    EXPECT_EQ(end, file.size());
}

TEST(PeImageFileEnd, FurthestSectionWinsWhateverTheOrder) {
    SyntheticPe pe;
    pe.sections = {{0x1000, 0x600}, {0x400, 0x200}, {0x9000, 0}};  // an empty section does not count
    uint64_t end = 0;
    ASSERT_TRUE(endOf(buildSyntheticPe(pe), end));
    EXPECT_EQ(end, 0x1600u);
}

TEST(PeImageFileEnd, HeadersAloneWhenNoSectionReachesFurther) {
    SyntheticPe pe;
    pe.sizeOfHeaders = 0x800;
    pe.sections = {};
    uint64_t end = 0;
    ASSERT_TRUE(endOf(buildSyntheticPe(pe), end));
    EXPECT_EQ(end, 0x800u);
}

TEST(PeImageFileEnd, SectionEndBeyond4GiBDoesNotWrap) {
    SyntheticPe pe;
    std::vector<uint8_t> file = buildSyntheticPe(pe);
    // Patch the section to start at 0xFFFFFF00 with 0x200 bytes: no allocation, only headers are read.
    size_t section = kSyntheticPeOffset + 24 + 0xE0;
    for (int i = 0; i < 4; ++i) file[section + 20 + i] = uint8_t(0xFFFFFF00u >> (8 * i));
    uint64_t end = 0;
    ASSERT_TRUE(endOf(file, end));
    EXPECT_EQ(end, 0xFFFFFF00ull + 0x200);
}

TEST(PeImageFileEnd, SymbolAndStringTablesFollowTheSections) {
    std::vector<uint8_t> file = withSymbols(3);
    uint64_t end = 0;
    ASSERT_TRUE(endOf(file, end));
    EXPECT_EQ(end, 0x400u + 3 * 18 + 14);
    EXPECT_EQ(end, file.size());
    // Only the headers given: the string table's length cannot be read, the symbol table counts.
    ASSERT_TRUE(peImageFileEnd(file.data(), 0x400, end));
    EXPECT_EQ(end, 0x400u + 3 * 18);
}

TEST(PeImageFileEnd, StrippedLeftoverStringTableWithoutSymbols) {
    uint64_t end = 0;
    ASSERT_TRUE(endOf(withSymbols(0), end));
    EXPECT_EQ(end, 0x400u + 14);
}

TEST(PeImageFileEnd, RefusesWhatIsNotA32BitProgram) {
    uint64_t end = 0;
    std::vector<uint8_t> file = buildSyntheticPe();
    std::vector<uint8_t> noMz = file;
    noMz[0] = 'X';
    EXPECT_FALSE(endOf(noMz, end));
    std::vector<uint8_t> noPe = file;
    noPe[kSyntheticPeOffset + 2] = 'X';
    EXPECT_FALSE(endOf(noPe, end));
    SyntheticPe pe64;
    pe64.magic = 0x20B;
    EXPECT_FALSE(endOf(buildSyntheticPe(pe64), end));
    std::vector<uint8_t> farLfanew = file;
    farLfanew[0x3C] = 0xF0;
    farLfanew[0x3F] = 0xFF;  // e_lfanew near 4 GiB
    EXPECT_FALSE(endOf(farLfanew, end));
    EXPECT_FALSE(peImageFileEnd(nullptr, 0, end));
}

// Every cut inside the headers and the section table is refused; the copy holds exactly `cut`
// bytes, so a read past it would be caught by AddressSanitizer builds.
TEST(PeImageFileEnd, EveryCutOfTheHeadersIsRefused) {
    SyntheticPe pe;
    pe.sections = {{0x200, 0x200}, {0x400, 0x200}};
    std::vector<uint8_t> file = buildSyntheticPe(pe);
    const size_t headersEnd = kSyntheticPeOffset + 24 + 0xE0 + 2 * 40;
    uint64_t end = 0;
    for (size_t cut = 0; cut < headersEnd; ++cut) {
        std::vector<uint8_t> part(file.begin(), file.begin() + cut);
        EXPECT_FALSE(peImageFileEnd(part.data(), part.size(), end)) << "cut at " << cut;
    }
    std::vector<uint8_t> part(file.begin(), file.begin() + headersEnd);
    ASSERT_TRUE(peImageFileEnd(part.data(), part.size(), end));
    EXPECT_EQ(end, 0x600u);
}
