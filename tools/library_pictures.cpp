#include "library_pictures.h"

#include <cstdlib>
#include <cstring>

#include <stb_image.h>
#include <stb_image_write.h>

#ifdef EDAMIRU_HAVE_LIBJPEG
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#endif

#include "page_check.h"

namespace {

bool decodeWithStb(const uint8_t* data, size_t size, RgbaPicture& picture) {
    if (size > 0x7FFFFFFF) return false;
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, int(size), &width, &height, &channels)) return false;
    // The size as the header gives it, before any memory is taken: a top-down BMP's height is
    // negative here.
    const uint64_t w = uint64_t(std::llabs(width)), h = uint64_t(std::llabs(height));
    if (w == 0 || h == 0 || w * h > kLargestConvertedPixels) return false;
    stbi_uc* pixels = stbi_load_from_memory(data, int(size), &width, &height, &channels, 4);
    if (pixels == nullptr) return false;
    picture.width = uint32_t(width);
    picture.height = uint32_t(height);
    picture.rgba.assign(pixels, pixels + size_t(width) * size_t(height) * 4);
    stbi_image_free(pixels);
    return true;
}

#ifdef EDAMIRU_HAVE_LIBJPEG
struct ErrorExit {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void leave(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorExit*>(info->err)->jump, 1); }
void quiet(j_common_ptr, int) {}

// Everything libjpeg-turbo turns into RGB: arithmetic coding, 12-bit samples where it was built
// for them, other samplings. Set up before the jump point, so nothing is lost on an error.
bool decodeWithLibjpeg(const uint8_t* data, size_t size, RgbaPicture& picture) {
    jpeg_decompress_struct info;
    ErrorExit error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = leave;
    error.manager.emit_message = quiet;
    jpeg_create_decompress(&info);
    std::vector<uint8_t> row;
    bool done = false;
    if (setjmp(error.jump) == 0) {
        jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        const uint64_t pixels = uint64_t(info.output_width) * info.output_height;
        if (pixels > 0 && pixels <= kLargestConvertedPixels && info.output_components == 3) {
            picture.width = info.output_width;
            picture.height = info.output_height;
            picture.rgba.assign(size_t(pixels) * 4, 255);
            row.resize(size_t(picture.width) * 3);
            while (info.output_scanline < info.output_height) {
                const uint32_t y = info.output_scanline;
                JSAMPROW rows[1] = {row.data()};
                if (jpeg_read_scanlines(&info, rows, 1) != 1) break;
                uint8_t* out = picture.rgba.data() + size_t(y) * picture.width * 4;
                for (uint32_t x = 0; x < picture.width; ++x) std::memcpy(out + 4 * x, row.data() + 3 * x, 3);
            }
            done = info.output_scanline == info.output_height;
            if (done) jpeg_finish_decompress(&info);
        }
    }
    jpeg_destroy_decompress(&info);
    return done;
}
#endif

void appendBytes(void* context, void* data, int size) {
    auto* file = static_cast<std::vector<uint8_t>*>(context);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    file->insert(file->end(), bytes, bytes + size);
}

}  // namespace

bool haveLibjpeg() {
#ifdef EDAMIRU_HAVE_LIBJPEG
    return true;
#else
    return false;
#endif
}

bool decodeWithLibraries(const uint8_t* data, size_t size, RgbaPicture& picture, std::string& error) {
    if (decodeWithStb(data, size, picture)) return true;
    const std::string format = pictureFormatName(data, size);
#ifdef EDAMIRU_HAVE_LIBJPEG
    if (format == "JPEG" && decodeWithLibjpeg(data, size, picture)) return true;
#endif
    if (format == "JPEG" && !haveLibjpeg()) {
        error = "a JPEG file that this build cannot convert (run edamiru-book make on Linux, where libjpeg-turbo "
                "converts it)";
    } else if (format.empty()) {
        error = "not a picture format that can be read here";
    } else {
        error = "a " + format + " file that no library here reads";
    }
    return false;
}

bool encodeJpeg(const RgbaPicture& picture, int quality, std::vector<uint8_t>& file) {
    file.clear();
    if (picture.width == 0 || picture.height == 0 || picture.width > 65535 || picture.height > 65535) return false;
    return stbi_write_jpg_to_func(appendBytes, &file, int(picture.width), int(picture.height), 4,
                                  picture.rgba.data(), quality) != 0;
}
