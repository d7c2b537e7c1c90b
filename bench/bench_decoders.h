// One decode of an in-memory JPEG by each decoder under comparison. Each returns the number
// of pixels decoded (0 on failure); `output` is reused from call to call where the decoder
// allows it.
#pragma once
#include <cstdint>
#include <vector>

// The program's decoder as the viewer calls it: Probe, then Decode into a bottom-up BGR bitmap.
uint64_t decodeOurs(const std::vector<uint8_t>& file, std::vector<uint8_t>& output);
// The same on the calling thread alone, without the helper thread.
uint64_t decodeOursOneThread(const std::vector<uint8_t>& file, std::vector<uint8_t>& output);

// stb_image, 3 channels (RGB); it allocates its own result, which is freed at once.
uint64_t decodeStb(const std::vector<uint8_t>& file, std::vector<uint8_t>& output);

// libjpeg-turbo: fast integer transform, no fancy upsampling, BGR rows into `output`.
uint64_t decodeTurbo(const std::vector<uint8_t>& file, std::vector<uint8_t>& output);
