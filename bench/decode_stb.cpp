#include "bench_decoders.h"
#include "stb_image.h"

uint64_t decodeStb(const std::vector<uint8_t>& file, std::vector<uint8_t>&) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 3);
    if (!pixels) return 0;
    stbi_image_free(pixels);
    return uint64_t(width) * uint64_t(height);
}
