// Creating and measuring bitmap sections.
#include "dib_section.h"

HBITMAP createDibSection(HDC dc, const void* info, uint8_t*& bits) {
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, static_cast<const BITMAPINFO*>(info), DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = bitmap != nullptr ? static_cast<uint8_t*>(pixels) : nullptr;
    return bitmap;
}

size_t bitmapRowPitch(HBITMAP bitmap) {
    BITMAP description = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof description, &description) != sizeof description) return 0;
    return static_cast<size_t>(description.bmWidthBytes);
}

void deleteBitmap(HBITMAP& bitmap) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    bitmap = nullptr;
}
