// What a window shows on the screen: its client area's pixels, its rectangles, and screenshots.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

// Pixels of a client area read from the screen, top row first, each 0x00RRGGBB.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

ScreenPixels grabClientArea(HWND window);

// Client size and the window's centre on the screen.
SIZE clientSize(HWND window);
POINT windowCentre(HWND window);
// The client area's top left on the screen.
POINT clientOrigin(HWND window);

// Writes the whole screen as a 24-bit BMP file.
bool saveScreenshot(const std::wstring& path);
