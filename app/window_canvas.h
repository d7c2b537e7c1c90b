// The viewer's canvas for the page road: the picture's bitmap section and the palette the main
// window shows it through, made for the window's screen.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include <windows.h>

#include "image/halftone_palette.h"
#include "image/picture_canvas.h"
#include "palette.h"
#include "window_jpeg_messages.h"

class WindowCanvas : public PictureCanvas {
public:
    WindowCanvas() = default;
    ~WindowCanvas() override;
    WindowCanvas(const WindowCanvas&) = delete;
    WindowCanvas& operator=(const WindowCanvas&) = delete;

    // Start-up: the canvas belongs to `window` and takes its screen's depth; on an 8-bit screen
    // pictures are shown through the halftone palette from the start.
    void readScreenDepth(HWND window);
    // The buffer the colour-table palette is built in; false when it cannot be had.
    bool allocateLogPaletteBuffer();

    HBITMAP bitmap() const { return bitmap_; }
    uint8_t* bits() const { return bits_; }  // owned by bitmap()
    bool hasPalette() const { return paletteCreated_; }
    HPALETTE palette() const { return palette_.handle(); }
    // The halftone palette pictures were last dithered to (8-bit screens).
    const HalftonePalette& halftone() const { return halftone_; }

    int screenBitsPerPixel() const override { return screenBitsPerPixel_; }
    void dropBitmap() override;
    uint8_t* makeBitmap(const BitmapInfo& info, size_t& pitch) override;
    void dropReplacedBitmap() override;
    const HalftonePalette* useHalftonePalette() override;
    bool useColourTablePalette(uint32_t n) override;
    JpegMessages* jpegMessages() override { return &messages_; }

private:
    HWND window_ = nullptr;
    WindowJpegMessages messages_{nullptr};
    int32_t screenBitsPerPixel_ = 0;
    HBITMAP bitmap_ = nullptr;
    uint8_t* bits_ = nullptr;
    HBITMAP replaced_ = nullptr;  // the bitmap makeBitmap replaced, until dropReplacedBitmap
    Palette palette_;
    bool paletteCreated_ = false;
    std::unique_ptr<uint8_t[]> logPaletteBuffer_;
    // Colours of the platform's halftone palette and the dither's cube-to-palette table for
    // them, built from the palette's own entries (8-bit screens only).
    HalftonePalette halftone_{};
};
