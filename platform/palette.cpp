// Creating and deleting palettes.
#include "palette.h"

bool Palette::createHalftone(HDC dc) {
    destroy();
    palette_ = CreateHalftonePalette(dc);
    return palette_ != nullptr;
}

void Palette::destroy() {
    if (palette_ != nullptr) DeleteObject(palette_);
    palette_ = nullptr;
}
