#include "image/rle.h"

namespace {

// The output of one expansion, positioned in pixels: bytes for RLE8, nibbles for RLE4.
class RleOutput {
public:
    RleOutput(uint32_t kind, uint8_t* destination, size_t capacity, size_t rowPitch)
        : nibbles_(kind == kRle4), destination_(destination), rowUnits_(units(rowPitch)),
          limit_(units(capacity)) {}

    bool full() const { return position_ >= limit_; }

    // Writes one pixel and moves on; false (writing nothing) once the capacity is reached.
    bool put(uint8_t value) {
        if (full()) return false;
        if (!nibbles_) {
            destination_[position_] = value;
        } else {
            uint8_t& byte = destination_[position_ / 2];
            byte = position_ % 2 == 0 ? static_cast<uint8_t>((byte & 0x0F) | (value << 4))
                                      : static_cast<uint8_t>((byte & 0xF0) | (value & 0x0F));
        }
        ++position_;
        return true;
    }

    void endOfLine() { moveToRow(row_ + 1, 0); }

    void delta(uint8_t right, uint8_t up) {
        const uint64_t column = position_ - row_ * rowUnits_;
        moveToRow(row_ + up, column + right);
    }

private:
    uint64_t units(uint64_t bytes) const { return nibbles_ ? 2 * bytes : bytes; }

    // Positions beyond the capacity are clamped to it: the expansion ends there anyway,
    // and the numbers stay far from overflow however many commands follow.
    void moveToRow(uint64_t row, uint64_t column) {
        row_ = row;
        const uint64_t target = row * rowUnits_ + column;
        position_ = target < limit_ ? target : limit_;
    }

    bool nibbles_;
    uint8_t* destination_;
    uint64_t rowUnits_;
    uint64_t limit_;
    uint64_t position_ = 0;
    uint64_t row_ = 0;
};

// Pixel i of the literal bytes of an absolute run.
inline uint8_t absolutePixel(uint32_t kind, const uint8_t* bytes, uint32_t i) {
    if (kind == kRle8) return bytes[i];
    return i % 2 == 0 ? static_cast<uint8_t>(bytes[i / 2] >> 4) : static_cast<uint8_t>(bytes[i / 2] & 0x0F);
}

}  // namespace

int expandRle(uint32_t kind, const uint8_t* source, size_t sourceLength, uint8_t* destination,
              size_t capacity, size_t rowPitch) {
    if (kind != kRle8 && kind != kRle4) return 0;
    RleOutput out(kind, destination, capacity, rowPitch);
    size_t in = 0;
    while (sourceLength - in >= 2 && !out.full()) {
        const uint8_t count = source[in], second = source[in + 1];
        in += 2;
        if (count != 0) {  // encoded run
            for (uint32_t i = 0; i < count; ++i) {
                const uint8_t value = kind == kRle8 ? second : (i % 2 == 0 ? second >> 4 : second & 0x0F);
                if (!out.put(value)) break;
            }
            continue;
        }
        if (second == 0) {
            out.endOfLine();
        } else if (second == 1) {
            break;
        } else if (second == 2) {
            if (sourceLength - in < 2) break;
            out.delta(source[in], source[in + 1]);
            in += 2;
        } else {  // absolute run of `second` pixels, padded to a whole 16-bit word
            const uint32_t bytes = kind == kRle8 ? second : (second + 1u) / 2;
            const size_t available = sourceLength - in;
            for (uint32_t i = 0; i < second; ++i) {
                if ((kind == kRle8 ? i : i / 2) >= available) return 1;
                if (!out.put(absolutePixel(kind, source + in, i))) break;
            }
            in += bytes + (bytes % 2);
            if (in > sourceLength) break;
        }
    }
    return 1;
}
