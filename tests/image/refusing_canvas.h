// The memory canvas with refusals on demand, as a window's canvas meets them when GDI runs out:
// the halftone palette, the colour-table palette, or the n-th bitmap cannot be made. The
// palette calls are logged in order ("halftone", "table n").
#pragma once
#include <string>
#include <vector>

#include "image/shown_picture.h"

class RefusingCanvas : public ShownPicture {
public:
    using ShownPicture::ShownPicture;

    bool refuseHalftone = false;
    bool refuseColourTable = false;
    int refusedBitmap = 0;  // the count of the makeBitmap call that fails (1: the first); 0: none
    std::vector<std::string> paletteCalls;

    const HalftonePalette* useHalftonePalette() override {
        paletteCalls.push_back("halftone");
        return refuseHalftone ? nullptr : ShownPicture::useHalftonePalette();
    }
    bool useColourTablePalette(uint32_t n) override {
        paletteCalls.push_back("table " + std::to_string(n));
        return !refuseColourTable;
    }
    uint8_t* makeBitmap(const BitmapInfo& info, size_t& pitch) override {
        if (++bitmapCalls_ == refusedBitmap) return nullptr;
        return ShownPicture::makeBitmap(info, pitch);
    }

private:
    int bitmapCalls_ = 0;
};
