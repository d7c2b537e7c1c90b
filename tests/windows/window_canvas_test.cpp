// The page road onto the viewer's canvas (bitmap sections and the window palette) against the
// memory canvas that `render`, the corpus tests and the fuzzers use: every corpus file, page after
// page on one canvas of each kind as the viewer turns pages, at the screen's depth, must leave
// the same result, description, shown size and bitmap bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "corpus.h"
#include "dib_section.h"
#include "image/show_entry.h"
#include "image/shown_picture.h"
#include "jpeg_messages.h"
#include "window_canvas.h"

namespace {

// The window's canvas with the decoder's messages recorded instead of shown in message boxes.
class QuietWindowCanvas : public WindowCanvas {
public:
    JpegMessages* jpegMessages() override { return &messages; }
    RecordingJpegMessages messages;
};

// How the window canvas differs from the memory canvas after the same page; "" when it does not.
std::string difference(int windowResult, const QuietWindowCanvas& window, int memoryResult,
                       const ShownPicture& memory) {
    if (windowResult != memoryResult) return "result " + std::to_string(windowResult);
    if (std::memcmp(&window.bitmapInfo, &memory.bitmapInfo, sizeof(BitmapInfo)) != 0) return "bitmap description";
    if (window.pictureWidth != memory.pictureWidth || window.pictureHeight != memory.pictureHeight) return "shown size";
    if ((window.bits() != nullptr) != memory.hasBitmap()) return "bitmap made or not";
    if (!memory.hasBitmap()) return "";
    if (bitmapRowPitch(window.bitmap()) != memory.pitch()) return "pitch";
    if (std::memcmp(window.bits(), memory.pixels.data(), memory.pixels.size()) != 0) return "pixels";
    return "";
}

TEST(WindowCanvas, EveryCorpusPageAsOnTheMemoryCanvas) {
    if (corpusDir().empty()) GTEST_SKIP() << skipMessage();
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    QuietWindowCanvas onWindow;
    onWindow.readScreenDepth(window);
    ASSERT_TRUE(onWindow.allocateLogPaletteBuffer());
    const int depth = onWindow.screenBitsPerPixel();
    // On an 8-bit screen both dither with the platform's halftone palette.
    const HalftonePalette* platform = depth == 8 ? onWindow.useHalftonePalette() : &windowsHalftonePalette();
    ASSERT_NE(platform, nullptr);
    ShownPicture inMemory(depth, nullptr, *platform);
    std::vector<std::string> wrong;
    int pages = 0;
    for (const ManifestRow& row : readManifest()) {
        const std::vector<uint8_t> bytes = readCorpusFile(row.path);
        if (bytes.empty()) continue;
        ++pages;
        const int windowResult = showEntry(bytes.data(), bytes.size(), onWindow);
        const int memoryResult = showEntry(bytes.data(), bytes.size(), inMemory);
        const std::string d = difference(windowResult, onWindow, memoryResult, inMemory);
        if (!d.empty()) wrong.push_back(row.path + ": " + d);
    }
    DestroyWindow(window);
    EXPECT_GT(pages, 200);
    std::string lines;
    for (const std::string& w : wrong) lines += "\n  " + w;
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " of " << pages << " pages differ at " << depth << " bits:" << lines;
}

}  // namespace
