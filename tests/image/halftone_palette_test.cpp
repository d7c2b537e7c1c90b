// Cube-to-palette tables for the platform's halftone palette (Windows' and Wine's layouts).
#include <gtest/gtest.h>

#include <cstring>

#include "image/halftone_palette.h"
#include "image/halftone_tables.h"

namespace {

ColourEntry rgb(uint8_t r, uint8_t g, uint8_t b) { return ColourEntry{b, g, r, 0}; }

bool same(const ColourEntry& a, const ColourEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Wine's halftone palette: the 20 static colours and an 8 x 8 x 4 cube at entries 10..245.
void winePalette(ColourEntry p[256]) {
    const ColourEntry low[10] = {rgb(0, 0, 0),     rgb(128, 0, 0),   rgb(0, 128, 0),     rgb(128, 128, 0),
                                 rgb(0, 0, 128),   rgb(128, 0, 128), rgb(0, 128, 128),   rgb(192, 192, 192),
                                 rgb(192, 220, 192), rgb(166, 202, 240)};
    const ColourEntry high[10] = {rgb(255, 251, 240), rgb(160, 160, 164), rgb(128, 128, 128), rgb(255, 0, 0),
                                  rgb(0, 255, 0),     rgb(255, 255, 0),   rgb(0, 0, 255),     rgb(255, 0, 255),
                                  rgb(0, 255, 255),   rgb(255, 255, 255)};
    for (int k = 0; k < 10; ++k) {
        p[k] = low[k];
        p[246 + k] = high[k];
    }
    for (int k = 10; k < 246; ++k) {
        p[k] = rgb(uint8_t((k & 7) * 32), uint8_t(((k >> 3) & 7) * 32), uint8_t(((k >> 6) & 3) * 64));
    }
}

}  // namespace

TEST(WindowsHalftonePalette, HoldsTheStaticColoursAndTheCubeColoursItsTableNames) {
    const HalftonePalette& p = windowsHalftonePalette();
    EXPECT_EQ(0, std::memcmp(p.cubeTable, cubeToPalette, 216));
    EXPECT_TRUE(same(p.colours[0], rgb(0, 0, 0)));
    EXPECT_TRUE(same(p.colours[7], rgb(192, 192, 192)));
    EXPECT_TRUE(same(p.colours[9], rgb(166, 202, 240)));
    EXPECT_TRUE(same(p.colours[246], rgb(255, 251, 240)));
    EXPECT_TRUE(same(p.colours[250], rgb(0, 255, 0)));
    EXPECT_TRUE(same(p.colours[252], rgb(0, 0, 255)));
    EXPECT_TRUE(same(p.colours[255], rgb(255, 255, 255)));
    EXPECT_TRUE(same(p.colours[29], rgb(51, 0, 0)));       // cube 1
    EXPECT_TRUE(same(p.colours[133], rgb(0, 0, 153)));     // cube 108
    EXPECT_TRUE(same(p.colours[195], rgb(255, 255, 204))); // cube 179
    EXPECT_TRUE(same(p.colours[226], rgb(204, 255, 255))); // cube 214
    for (int k = 0; k < 256; ++k) EXPECT_EQ(p.colours[k].reserved, 0);
}

TEST(BuildCubeToPalette, ThePrintedPalettesColoursGiveThePrintedTable) {
    uint8_t table[216];
    buildCubeToPalette(windowsHalftonePalette().colours, table);
    for (int i = 0; i < 216; ++i) EXPECT_EQ(table[i], cubeToPalette[i]) << "cube " << i;
}

TEST(BuildCubeToPalette, APaletteLaidOutAsPrintedGivesThePrintedTableWhateverItsOtherEntries) {
    HalftonePalette p = windowsHalftonePalette();
    // Entries the table does not name may hold colours nearer to a shared cube colour:
    // (51, 255, 0) is printed at 250, green (0, 255, 0).
    p.colours[20] = rgb(51, 255, 0);
    p.colours[240] = rgb(0, 0, 250);
    uint8_t table[216];
    buildCubeToPalette(p.colours, table);
    EXPECT_EQ(0, std::memcmp(table, cubeToPalette, 216));
}

TEST(BuildCubeToPalette, ExactColoursKeepTheirPrintedIndexEvenWhenRepeatedEarlier) {
    ColourEntry p[256];
    for (auto& e : p) e = rgb(0, 0, 0);
    // Cube 1 (51, 0, 0) is printed at 29; the same colour also sits at entry 3.
    p[3] = rgb(51, 0, 0);
    p[29] = rgb(51, 0, 0);
    uint8_t table[216];
    buildCubeToPalette(p, table);
    EXPECT_EQ(table[1], 29);
    EXPECT_EQ(table[0], 0);  // black is everywhere; the printed entry wins
    // Cube 2 (102, 0, 0) is printed at 30, which holds black: the nearest entry (3) is taken.
    EXPECT_EQ(table[2], 3);
}

TEST(BuildCubeToPalette, WinesPaletteMapsToTheNearestEntries) {
    ColourEntry wine[256];
    winePalette(wine);
    const HalftonePalette p = makeHalftonePalette(wine);
    // The eight colours both palettes have keep their entries.
    const int exact[8][2] = {{0, 0}, {5, 249}, {30, 250}, {35, 251}, {180, 252}, {185, 253}, {210, 254}, {215, 255}};
    for (auto& e : exact) EXPECT_EQ(p.cubeTable[e[0]], e[1]) << "cube " << e[0];
    EXPECT_EQ(p.cubeTable[1], 10);     // (51, 0, 0) -> (64, 32, 0)
    EXPECT_EQ(p.cubeTable[43], 82);    // (51, 51, 51) -> (64, 64, 64)
    EXPECT_EQ(p.cubeTable[129], 247);  // (153, 153, 153) -> static grey (160, 160, 164)
    EXPECT_EQ(p.cubeTable[179], 246);  // (255, 255, 204) -> static (255, 251, 240)
    // Every choice is a nearest entry.
    for (int i = 0; i < 216; ++i) {
        const ColourEntry want = cubeColour(i);
        auto dist = [&](const ColourEntry& c) {
            const int dr = c.red - want.red, dg = c.green - want.green, db = c.blue - want.blue;
            return dr * dr + dg * dg + db * db;
        };
        const int chosen = dist(p.colours[p.cubeTable[i]]);
        for (int k = 0; k < 256; ++k) ASSERT_LE(chosen, dist(p.colours[k])) << "cube " << i << " entry " << k;
    }
    EXPECT_TRUE(same(p.colours[10], rgb(64, 32, 0)));
}

TEST(ApplyHalftonePalette, MakesAnEightBitTableOfAll256Colours) {
    BitmapInfo info{};
    info.header.bitCount = 24;
    info.header.clrUsed = 16;
    info.header.clrImportant = 3;
    applyHalftonePalette(info, windowsHalftonePalette());
    EXPECT_EQ(info.header.bitCount, 8);
    EXPECT_EQ(info.header.clrUsed, 0u);
    EXPECT_EQ(info.header.clrImportant, 0u);
    EXPECT_TRUE(same(info.colours[249], rgb(255, 0, 0)));
}
