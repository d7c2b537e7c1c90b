// Pictures the viewer does not read, decoded and encoded by well-kept libraries: stb_image for
// PNG, GIF, TGA, BMP variants, PNM and the JPEG files it reads; natively also libjpeg-turbo
// (arithmetic coding, among others); stb_image_write for the JPEG files the tool writes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Red, green, blue and alpha bytes per pixel, rows top-down.
struct RgbaPicture {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// Largest picture the tool converts, in pixels.
constexpr uint64_t kLargestConvertedPixels = uint64_t(1) << 28;

// False with an English reason naming the format when no library here reads the file.
bool decodeWithLibraries(const uint8_t* data, size_t size, RgbaPicture& picture, std::string& error);

// True when this build can decode with libjpeg-turbo (native builds where it was found).
bool haveLibjpeg();

// A baseline JPEG file at `quality` of the picture's colours (alpha ignored); at quality above 90
// without chroma subsampling. False when it cannot be written.
bool encodeJpeg(const RgbaPicture& picture, int quality, std::vector<uint8_t>& file);
