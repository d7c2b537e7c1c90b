// The rows of a bottom-up bitmap as the screen shows them on true colour: 24-bit pixels as
// they are, palette pixels through the colour table, 16-bit ones as 5-5-5 and 32-bit as B,G,R,x.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/area_average.h"
#include "image/bitmap_info.h"

class BitmapRows : public TrueColourRows {
public:
    // The top-left `shown` part of the bitmap `info` describes, whose pixel memory starts at
    // `bits` (its bottom row) with rows `pitch` bytes apart. The caller keeps them alive and
    // calls open() first.
    BitmapRows(const BitmapInfo& info, const uint8_t* bits, size_t pitch, PictureSize shown);

    // True when the shown part lies within the bitmap, the depth is one a bitmap has, the pitch
    // holds a row and the buffer for converted rows could be had; row() only after that.
    bool open();

    PictureSize size() const override { return shown_; }
    const uint8_t* row(uint32_t y) override;

private:
    const BitmapInfo& info_;
    const uint8_t* bits_;
    size_t pitch_;
    PictureSize shown_;
    std::vector<uint8_t> converted_;
};
