// Reading pixels from the screen with a bit-block copy into a 32-bit bitmap section.
#include "window_pixels.h"

#include <cstring>

namespace {

// Copies a screen rectangle; top row first, 0x00RRGGBB.
std::vector<uint32_t> grabScreen(int left, int top, int width, int height) {
    std::vector<uint32_t> pixels;
    if (width <= 0 || height <= 0) return pixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
        GdiFlush();
        const uint32_t* p = static_cast<const uint32_t*>(bits);
        pixels.assign(p, p + static_cast<size_t>(width) * height);
        for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

void putLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

ScreenPixels grabClientArea(HWND window) {
    ScreenPixels shot;
    SIZE size = clientSize(window);
    POINT origin = clientOrigin(window);
    shot.pixels = grabScreen(origin.x, origin.y, size.cx, size.cy);
    if (!shot.pixels.empty()) {
        shot.width = size.cx;
        shot.height = size.cy;
    }
    return shot;
}

SIZE clientSize(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

POINT windowCentre(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT clientOrigin(HWND window) {
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

bool saveScreenshot(const std::wstring& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<uint32_t> pixels = grabScreen(0, 0, width, height);
    if (pixels.empty()) return false;
    const uint32_t pitch = (width * 3 + 3) / 4 * 4;
    std::string file = "BM";
    putLe(file, 54 + pitch * height, 4);
    putLe(file, 0, 4);
    putLe(file, 54, 4);
    for (uint32_t v : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)}) putLe(file, v, 4);
    putLe(file, 1, 2);
    putLe(file, 24, 2);
    for (int i = 0; i < 6; ++i) putLe(file, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) putLe(file, pixels[static_cast<size_t>(y) * width + x], 3);
        file.append(pitch - width * 3, '\0');
    }
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(out, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    CloseHandle(out);
    return ok && written == file.size();
}
