// Device-independent bitmap sections: made from a bitmap information block, their pixel memory
// owned by the bitmap.
#pragma once
#include <cstddef>
#include <cstdint>

#include <windows.h>

// Creates a section for `info` (a BITMAPINFO with its colour table) compatible with `dc`.
// Returns the bitmap and sets `bits` to its zero-filled pixels; null (and `bits` null) on failure.
HBITMAP createDibSection(HDC dc, const void* info, uint8_t*& bits);

// Bytes per row of a bitmap as the system laid it out; 0 when it cannot be read.
size_t bitmapRowPitch(HBITMAP bitmap);

// Deletes a bitmap (if any) and clears the handle.
void deleteBitmap(HBITMAP& bitmap);

// A memory device context compatible with another, deleted with the object.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC handle() const { return dc_; }

private:
    HDC dc_;
};
