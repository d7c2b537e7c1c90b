// Creating and deleting palettes.
#include "palette.h"

bool Palette::createHalftone(HDC dc) {
    destroy();
    palette_ = CreateHalftonePalette(dc);
    return palette_ != nullptr;
}

bool Palette::createFrom(const void* logPalette) {
    destroy();
    palette_ = CreatePalette(static_cast<const LOGPALETTE*>(logPalette));
    return palette_ != nullptr;
}

UINT Palette::readEntries(PALETTEENTRY* entries, UINT count) const {
    return palette_ != nullptr ? GetPaletteEntries(palette_, 0, count, entries) : 0;
}

void Palette::destroy() {
    if (palette_ != nullptr) DeleteObject(palette_);
    palette_ = nullptr;
}
