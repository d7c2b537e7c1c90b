// The repaint rule of palette realisation, with stand-ins for the system's palette calls (under
// Wine RealizePalette counts changes only on a palette's first realisation), and with the system.
#include <gtest/gtest.h>
#include <windows.h>

#include "dib_section.h"
#include "palette.h"
#include "palette_realisation.h"

namespace {

class RecordingPaletteCalls : public PaletteCalls {
public:
    UINT changedEntries = 0;
    int invalidations = 0;
    std::vector<bool> backgroundFlags;
    HPALETTE select(HDC dc, HPALETTE palette, bool background) override {
        backgroundFlags.push_back(background);
        return PaletteCalls::select(dc, palette, background);
    }
    UINT realize(HDC) override { return changedEntries; }
    void invalidate(HWND) override { ++invalidations; }
};

class PaletteRealisation : public ::testing::Test {
protected:
    void SetUp() override {
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        WindowDc dc(window);
        ASSERT_TRUE(palette.createHalftone(dc.handle()));
    }
    void TearDown() override { DestroyWindow(window); }
    HWND window = nullptr;
    Palette palette;
    RecordingPaletteCalls calls;
};

TEST_F(PaletteRealisation, RepaintsOnlyWhenEntriesChanged) {
    calls.changedEntries = 0;
    EXPECT_EQ(realizeWindowPalette(window, palette.handle(), false, calls), 0);
    EXPECT_EQ(calls.invalidations, 0);
    calls.changedEntries = 17;
    EXPECT_EQ(realizeWindowPalette(window, palette.handle(), false, calls), 1);
    EXPECT_EQ(calls.invalidations, 1);
    calls.changedEntries = GDI_ERROR;  // a failed realisation changed nothing
    EXPECT_EQ(realizeWindowPalette(window, palette.handle(), false, calls), 0);
    EXPECT_EQ(calls.invalidations, 1);
}

TEST_F(PaletteRealisation, ForegroundOrBackgroundThenThePreviousPaletteInTheBackground) {
    realizeWindowPalette(window, palette.handle(), false, calls);
    realizeWindowPalette(window, palette.handle(), true, calls);
    EXPECT_EQ(calls.backgroundFlags, (std::vector<bool>{false, true, true, true}));
}

TEST_F(PaletteRealisation, WithTheSystemCalls) {
    // On a palette screen a new palette's first realisation changes entries and asks for a
    // repaint, and realising it again changes nothing; on other screens nothing ever changes.
    WindowDc screen(nullptr);
    const bool paletteScreen = GetDeviceCaps(screen.handle(), BITSPIXEL) == 8;
    EXPECT_EQ(realizeWindowPalette(window, palette.handle(), false, systemPaletteCalls()), paletteScreen ? 1 : 0);
    EXPECT_EQ(realizeWindowPalette(window, palette.handle(), false, systemPaletteCalls()), 0);
    EXPECT_EQ(realizeWindowPalette(window, palette.handle(), true, systemPaletteCalls()), 0);
}

TEST_F(PaletteRealisation, ChangesByTheWindowOrItsChildrenDoNotConcernIt) {
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, window, nullptr, nullptr, nullptr);
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(paletteChangeConcerns(window, window));
    EXPECT_FALSE(paletteChangeConcerns(window, child));
    EXPECT_TRUE(paletteChangeConcerns(window, other));
    EXPECT_TRUE(paletteChangeConcerns(window, nullptr));
    DestroyWindow(other);
}

TEST(DibSection, ZeroFilledBottomUpWithRowsPaddedToFourBytes) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = 101;
    info.header.biHeight = 3;
    info.header.biPlanes = 1;
    info.header.biBitCount = 24;
    WindowDc screen(nullptr);
    uint8_t* bits = nullptr;
    HBITMAP bitmap = createDibSection(screen.handle(), &info, bits);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bitmapRowPitch(bitmap), 304u);
    for (size_t i = 0; i < 304 * 3; ++i) ASSERT_EQ(bits[i], 0) << i;
    deleteBitmap(bitmap);
    EXPECT_EQ(bitmap, nullptr);
    info.header.biBitCount = 8;
    bitmap = createDibSection(screen.handle(), &info, bits);
    EXPECT_EQ(bitmapRowPitch(bitmap), 104u);
    deleteBitmap(bitmap);
    info.header.biWidth = 0;
    EXPECT_EQ(createDibSection(screen.handle(), &info, bits), nullptr);
    EXPECT_EQ(bits, nullptr);
    EXPECT_EQ(bitmapRowPitch(nullptr), 0u);
}

TEST(PaletteObject, FromALogicalPaletteAndReadBack) {
    struct {
        WORD version, count;
        PALETTEENTRY entries[3];
    } log = {0x300, 3, {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}}};
    Palette palette;
    ASSERT_TRUE(palette.createFrom(&log));
    PALETTEENTRY read[4] = {};
    EXPECT_EQ(palette.readEntries(read, 4), 3u);
    EXPECT_EQ(read[2].peRed, 70);
    EXPECT_EQ(read[2].peBlue, 90);
}

}  // namespace
