#include "page_check.h"

#include <cstring>

#include "collection.h"
#include "image/show_entry.h"
#include "image/shown_picture.h"
#include "jpeg/jpeg_picture_decode.h"
#include "jpeg_features.h"

namespace {

uint32_t le16(const uint8_t* p) { return p[0] | uint32_t(p[1]) << 8; }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

PageCheck verdict(PageVerdict v, const std::string& reason) { return PageCheck{v, reason}; }

// Why the page road refuses a BMP file, from its headers.
std::string bmpRefusal(const uint8_t* data, size_t size) {
    if (size < 18) return "the file is too short for a BMP header";
    const uint32_t headerSize = le32(data + 14);
    if (headerSize != 40 && headerSize != 12) return "a BMP header of " + std::to_string(headerSize) + " bytes";
    if (headerSize == 40 && size >= 54 && int32_t(le32(data + 22)) < 0) return "a top-down BMP";
    return "a BMP file the viewer cannot read";
}

// A BMP file whose bit-field masks differ from the 5-5-5 or 8-8-8 reading the viewer gives them.
bool bmpMasksDiffer(const uint8_t* data, size_t size, std::string& reason) {
    if (size < 66 || le32(data + 14) != 40 || le32(data + 30) != 3) return false;
    const uint32_t bits = le16(data + 28);
    const uint32_t red = le32(data + 54), green = le32(data + 58), blue = le32(data + 62);
    const bool asRead = (bits == 16 && red == 0x7C00 && green == 0x03E0 && blue == 0x001F) ||
                        (bits == 32 && red == 0xFF0000 && green == 0xFF00 && blue == 0xFF);
    if (asRead || (bits != 16 && bits != 32)) return false;
    reason = "bit-field masks the viewer reads as " + std::string(bits == 16 ? "5-5-5" : "8-8-8");
    return true;
}

// Why the decoder refuses a JPEG file, from its frame header.
std::string jpegRefusal(const JpegFeatures& f, const std::string& message) {
    if (!f.frameFound) return "no frame header";
    if (f.frameMarker >= 0xC9) return "arithmetic coding";
    if (f.frameMarker == 0xC1) return "extended sequential coding";
    if (f.frameMarker == 0xC3 || f.frameMarker == 0xC7 || f.frameMarker == 0xCB || f.frameMarker == 0xCF)
        return "lossless coding";
    if (f.precision != 8) return std::to_string(f.precision) + "-bit samples";
    if (f.componentCount == 4) return "four colour components (CMYK)";
    if (f.componentCount != 1 && f.componentCount != 3)
        return std::to_string(f.componentCount) + " colour components";
    if (f.componentCount == 3) {
        for (int i = 1; i < 3; ++i)
            if (f.sampling[i] != 0x11) return "chroma sampling the viewer does not read";
        const uint8_t luma = f.sampling[0];
        if (luma != 0x11 && luma != 0x21 && luma != 0x22) return "chroma sampling the viewer does not read";
    }
    return message.empty() ? "a JPEG file the viewer cannot read" : "the decoder stops: damaged data";
}

std::string jpegWrong(const JpegFeatures& f) {
    if (storesRgb(f)) return "red, green and blue stored where the viewer reads YCbCr";
    if (f.orientation != 1) return "EXIF orientation " + std::to_string(f.orientation) + ", which the viewer does not apply";
    return "";
}

PageCheck checkJpeg(const uint8_t* data, size_t size) {
    JpegFeatures features;
    readJpegFeatures(data, size, features);
    // The true-colour road is this one decode (probe, bitmap, Decode); the 8-bit road adds the
    // halftone palette and the dither.
    RecordingJpegMessages messages;
    const DecodedJpeg decoded = DecodeJpegPicture(data, size, messages, kMaxPixelBytes);
    if (!decoded.probed || decoded.pixels.empty()) return verdict(PageVerdict::NotShown, jpegRefusal(features, ""));
    ShownPicture onEightBits(8);
    if (showEntry(data, size, onEightBits) != 1) return verdict(PageVerdict::NotShown, jpegRefusal(features, ""));
    const std::string message = messages.messages.empty() ? "" : messages.messages.front();
    if (!decoded.probed || !decoded.frameRead || message == jpeg_text::kUnsupported ||
        message == jpeg_text::kArithmetic) {
        return verdict(PageVerdict::NotShown, jpegRefusal(features, message));
    }
    if (!decoded.complete || !message.empty())
        return verdict(PageVerdict::PartlyShown, "the picture data is damaged or cut short");
    const std::string wrong = jpegWrong(features);
    if (!wrong.empty()) return verdict(PageVerdict::ShownWrong, wrong);
    return PageCheck{};
}

// The page road at both depths; a BMP file refused or cut short.
PageCheck checkBmp(const uint8_t* data, size_t size) {
    for (int depth : {24, 8}) {
        ShownPicture picture(depth);
        if (showEntry(data, size, picture) == 1) continue;
        if (picture.hasBitmap()) return verdict(PageVerdict::PartlyShown, "its pixel data ends early");
        return verdict(PageVerdict::NotShown, bmpRefusal(data, size));
    }
    std::string reason;
    if (bmpMasksDiffer(data, size, reason)) return verdict(PageVerdict::ShownWrong, reason);
    return PageCheck{};
}

bool startsWith(const uint8_t* data, size_t size, const char* text, size_t at = 0) {
    const size_t n = std::strlen(text);
    return size >= at + n && std::memcmp(data + at, text, n) == 0;
}

}  // namespace

std::string pictureFormatName(const uint8_t* data, size_t size) {
    if (startsWith(data, size, "\x89PNG")) return "PNG";
    if (startsWith(data, size, "GIF8")) return "GIF";
    if (startsWith(data, size, "RIFF") && startsWith(data, size, "WEBP", 8)) return "WebP";
    if (startsWith(data, size, "ftypheic", 4) || startsWith(data, size, "ftypheix", 4) ||
        startsWith(data, size, "ftypmif1", 4))
        return "HEIC";
    if (startsWith(data, size, "ftypavif", 4)) return "AVIF";
    if (size >= 4 && ((data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0) ||
                      (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42)))
        return "TIFF";
    if (startsWith(data, size, "8BPS")) return "Photoshop";
    if (startsWith(data, size, "BM")) return "BMP";
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) return "JPEG";
    if (startsWith(data, size, "P6") || startsWith(data, size, "P5")) return "PNM";
    return "";
}

PageCheck checkPage(const uint8_t* data, size_t size) {
    switch (pictureKind(data, size)) {
    case PictureKind::Jpeg: return checkJpeg(data, size);
    case PictureKind::Bmp: return checkBmp(data, size);
    case PictureKind::NotDisplayable: break;
    }
    const std::string format = pictureFormatName(data, size);
    return verdict(PageVerdict::NotShown, format.empty() ? "neither BMP nor JPEG" : "a " + format + " file");
}
