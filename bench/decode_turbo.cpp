#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "bench_decoders.h"

namespace {

struct ErrorExit {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void onError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorExit*>(info->err)->jump, 1); }

}  // namespace

uint64_t decodeTurbo(const std::vector<uint8_t>& file, std::vector<uint8_t>& output) {
    jpeg_decompress_struct info;
    ErrorExit error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onError;
    static std::vector<JSAMPROW> rows;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&info);
    size_t pitch = size_t(info.output_width) * 3;
    if (output.size() < pitch * info.output_height) output.resize(pitch * info.output_height);
    rows.resize(info.output_height);
    for (JDIMENSION y = 0; y < info.output_height; ++y) rows[y] = output.data() + pitch * y;
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows.data() + info.output_scanline, info.output_height - info.output_scanline);
    uint64_t pixels = uint64_t(info.output_width) * info.output_height;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels;
}
