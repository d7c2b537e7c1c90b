#include "page_conversion.h"

#include <algorithm>

#include "image/area_average.h"
#include "image/bitmap_info.h"
#include "image/bmp_writer.h"
#include "image/fitted_picture.h"
#include "image/rle_encoder.h"
#include "jpeg_features.h"
#include "library_pictures.h"
#include "page_check.h"

namespace {

const int kJpegQuality = 95;

// Source pixel of output pixel (x, y) for each EXIF orientation, the output being w x h.
void sourceOf(int orientation, uint32_t x, uint32_t y, uint32_t srcW, uint32_t srcH, uint32_t& sx, uint32_t& sy) {
    switch (orientation) {
    case 2: sx = srcW - 1 - x; sy = y; break;
    case 3: sx = srcW - 1 - x; sy = srcH - 1 - y; break;
    case 4: sx = x; sy = srcH - 1 - y; break;
    case 5: sx = y; sy = x; break;
    case 6: sx = y; sy = srcH - 1 - x; break;
    case 7: sx = srcW - 1 - y; sy = srcH - 1 - x; break;
    case 8: sx = srcW - 1 - y; sy = x; break;
    default: sx = x; sy = y; break;
    }
}

RgbaPicture upright(const RgbaPicture& p, int orientation) {
    if (orientation < 2 || orientation > 8) return p;
    RgbaPicture out;
    const bool swapped = orientation >= 5;
    out.width = swapped ? p.height : p.width;
    out.height = swapped ? p.width : p.height;
    out.rgba.resize(p.rgba.size());
    for (uint32_t y = 0; y < out.height; ++y)
        for (uint32_t x = 0; x < out.width; ++x) {
            uint32_t sx, sy;
            sourceOf(orientation, x, y, p.width, p.height, sx, sy);
            std::copy_n(&p.rgba[(size_t(sy) * p.width + sx) * 4], 4, &out.rgba[(size_t(y) * out.width + x) * 4]);
        }
    return out;
}

void onWhite(RgbaPicture& p) {
    for (size_t i = 0; i < p.rgba.size(); i += 4) {
        const uint32_t a = p.rgba[i + 3];
        for (int c = 0; c < 3; ++c) p.rgba[i + c] = uint8_t((p.rgba[i + c] * a + 255 * (255 - a) + 127) / 255);
        p.rgba[i + 3] = 255;
    }
}

// B,G,R rows of an RGBA picture for the area average.
class RgbaRows : public TrueColourRows {
public:
    explicit RgbaRows(const RgbaPicture& p) : p_(p), row_(size_t(p.width) * 3) {}
    PictureSize size() const override { return {p_.width, p_.height}; }
    const uint8_t* row(uint32_t y) override {
        const uint8_t* in = &p_.rgba[size_t(y) * p_.width * 4];
        for (uint32_t x = 0; x < p_.width; ++x) {
            row_[3 * x] = in[4 * x + 2];
            row_[3 * x + 1] = in[4 * x + 1];
            row_[3 * x + 2] = in[4 * x];
        }
        return row_.data();
    }

private:
    const RgbaPicture& p_;
    std::vector<uint8_t> row_;
};

bool reduce(RgbaPicture& p, PictureSize to) {
    RgbaRows rows(p);
    std::vector<uint8_t> bgr(size_t(to.width) * to.height * 3);
    if (!reduceAreaAverage(rows, to, bgr.data(), ptrdiff_t(to.width) * 3)) return false;
    p.width = to.width;
    p.height = to.height;
    p.rgba.assign(size_t(to.width) * to.height * 4, 255);
    for (size_t i = 0, n = size_t(to.width) * to.height; i < n; ++i) {
        p.rgba[4 * i] = bgr[3 * i + 2];
        p.rgba[4 * i + 1] = bgr[3 * i + 1];
        p.rgba[4 * i + 2] = bgr[3 * i];
    }
    return true;
}

uint32_t colourOf(const RgbaPicture& p, size_t i) {
    return uint32_t(p.rgba[4 * i]) << 16 | uint32_t(p.rgba[4 * i + 1]) << 8 | p.rgba[4 * i + 2];
}

// The picture's colours, sorted, when there are at most 256.
bool fewColours(const RgbaPicture& p, std::vector<uint32_t>& colours) {
    colours.clear();
    for (size_t i = 0, n = size_t(p.width) * p.height; i < n; ++i) {
        const uint32_t c = colourOf(p, i);
        auto at = std::lower_bound(colours.begin(), colours.end(), c);
        if (at != colours.end() && *at == c) continue;
        if (colours.size() == 256) return false;
        colours.insert(at, c);
    }
    return true;
}

// An 8-bit BMP of the picture through `colours`, run-length compressed when that is smaller.
bool paletteBmp(const RgbaPicture& p, const std::vector<uint32_t>& colours, std::vector<uint8_t>& file) {
    BitmapInfo info{};
    info.header.width = int32_t(p.width);
    info.header.height = int32_t(p.height);
    info.header.bitCount = 8;
    for (size_t i = 0; i < colours.size(); ++i)
        info.colours[i] = ColourEntry{uint8_t(colours[i]), uint8_t(colours[i] >> 8), uint8_t(colours[i] >> 16), 0};
    const size_t pitch = size_t(rowPitch(p.width, 8));
    std::vector<uint8_t> indexes(pitch * p.height, 0);
    for (uint32_t y = 0; y < p.height; ++y)
        for (uint32_t x = 0; x < p.width; ++x) {
            const uint32_t c = colourOf(p, size_t(y) * p.width + x);
            indexes[pitch * (p.height - 1 - y) + x] =
                uint8_t(std::lower_bound(colours.begin(), colours.end(), c) - colours.begin());
        }
    if (!writePictureBmp(info, p.width, p.height, indexes.data(), pitch, p.height, file)) return false;
    const std::vector<uint8_t> runs = encodeRle8(indexes.data(), pitch, p.width, p.height);
    const size_t pixelOffset = 14 + 40 + 4 * 256;
    if (runs.size() >= file.size() - pixelOffset) return true;
    file.resize(pixelOffset);
    file.insert(file.end(), runs.begin(), runs.end());
    auto put32 = [&file](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
    };
    put32(2, uint32_t(file.size()));
    put32(30, 1);  // RLE8
    put32(34, uint32_t(runs.size()));
    return true;
}

bool trueColourBmp(const RgbaPicture& p, std::vector<uint8_t>& file) {
    BitmapInfo info{};
    info.header.width = int32_t(p.width);
    info.header.height = int32_t(p.height);
    info.header.bitCount = 24;
    const size_t pitch = size_t(rowPitch(p.width, 24));
    std::vector<uint8_t> bgr(pitch * p.height, 0);
    for (uint32_t y = 0; y < p.height; ++y)
        for (uint32_t x = 0; x < p.width; ++x) {
            const uint8_t* in = &p.rgba[(size_t(y) * p.width + x) * 4];
            uint8_t* out = &bgr[pitch * (p.height - 1 - y) + 3 * x];
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    return writePictureBmp(info, p.width, p.height, bgr.data(), pitch, p.height, file);
}

// The file of the picture and a few words on what it is.
bool encode(const RgbaPicture& p, bool keepPixels, std::vector<uint8_t>& file, std::string& kind) {
    std::vector<uint32_t> colours;
    if (fewColours(p, colours)) {
        kind = "an 8-bit BMP";
        return paletteBmp(p, colours, file);
    }
    if (keepPixels) {
        kind = "a 24-bit BMP";
        return trueColourBmp(p, file);
    }
    kind = "a JPEG at quality 95";
    return encodeJpeg(p, kJpegQuality, file);
}

PictureSize sizeOf(const std::vector<uint8_t>& file, const RgbaPicture* decoded) {
    PictureSize size;
    if (decoded != nullptr) return {decoded->width, decoded->height};
    shownSizeOf(file.data(), file.size(), 24, size);
    return size;
}

PreparedPage refused(const std::string& why) { return PreparedPage{PageOutcome::Refused, {}, why}; }

}  // namespace

PreparedPage preparePage(const std::vector<uint8_t>& file, const PageOptions& options) {
    PreparedPage page;
    page.bytes = file;
    if (options.asIs) return page;
    const PageCheck check = checkPage(file.data(), file.size());
    const PictureSize bounds = {options.fitWidth, options.fitHeight};
    const bool fitting = bounds.width > 0 && bounds.height > 0;
    if (check.verdict == PageVerdict::Shows) {
        const PictureSize size = sizeOf(file, nullptr);
        const PictureSize fitted = fittedSize(size, bounds);
        if (!fitting || (fitted.width == size.width && fitted.height == size.height)) return page;
    }
    RgbaPicture picture;
    std::string error;
    if (!decodeWithLibraries(file.data(), file.size(), picture, error)) return refused(error);
    JpegFeatures features;
    const bool turned = readJpegFeatures(file.data(), file.size(), features) && features.orientation != 1;
    if (turned) picture = upright(picture, features.orientation);
    onWhite(picture);
    std::string done = check.verdict == PageVerdict::Shows ? "" : check.reason;
    if (fitting) {
        const PictureSize size = sizeOf(file, &picture), to = fittedSize(size, bounds);
        if ((to.width != size.width || to.height != size.height) && !reduce(picture, to))
            return refused("cannot be reduced");
        if (to.width != size.width || to.height != size.height)
            done += (done.empty() ? "" : "; ") + std::string("reduced to ") + std::to_string(to.width) + " x " +
                    std::to_string(to.height);
    }
    const bool keepPixels = options.lossless || pictureFormatName(file.data(), file.size()) == "BMP";
    std::string kind;
    if (!encode(picture, keepPixels, page.bytes, kind)) return refused("cannot be written as a picture file");
    if (checkPage(page.bytes.data(), page.bytes.size()).verdict != PageVerdict::Shows)
        return refused("its converted picture would not show right");
    page.outcome = PageOutcome::Converted;
    page.note = done + ": " + (turned ? "turned upright and " : "") + "stored as " + kind;
    return page;
}
