// A logical palette owned by one object.
#pragma once

#include <windows.h>

class Palette {
public:
    Palette() = default;
    ~Palette() { destroy(); }
    Palette(const Palette&) = delete;
    Palette& operator=(const Palette&) = delete;

    // The system's halftone palette for a device context (256 entries).
    bool createHalftone(HDC dc);
    // A palette from a LOGPALETTE (version word, entry count, entries).
    bool createFrom(const void* logPalette);
    // Copies up to `count` entries from the start; returns how many were copied.
    UINT readEntries(PALETTEENTRY* entries, UINT count) const;
    void destroy();
    HPALETTE handle() const { return palette_; }

private:
    HPALETTE palette_ = nullptr;
};

// A device context of a window's client area, released with the object.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC handle() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};
