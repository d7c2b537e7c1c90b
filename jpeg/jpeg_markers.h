// Marker codes: the byte after 0xFF that names a segment or a boundary of the data.
#pragma once
#include <cstdint>

namespace jpeg_marker {

constexpr uint8_t kBaselineFrame = 0xC0;     // SOF0: sequential, Huffman-coded
constexpr uint8_t kProgressiveFrame = 0xC2;  // SOF2: progressive, Huffman-coded
constexpr uint8_t kHuffmanTables = 0xC4;     // DHT
constexpr uint8_t kArithmeticTables = 0xCC;  // DAC: arithmetic coding, not decoded
constexpr uint8_t kFirstRestart = 0xD0;      // RST0 .. RST7
constexpr uint8_t kLastRestart = 0xD7;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kQuantTables = 0xDB;       // DQT
constexpr uint8_t kRestartInterval = 0xDD;   // DRI
constexpr uint8_t kFirstApplication = 0xE0;  // APP0 .. APP15
constexpr uint8_t kLastApplication = 0xEF;
constexpr uint8_t kComment = 0xFE;

// Start-of-frame codes: 0xC0 to 0xCF except the table segments DHT and DAC.
inline bool IsFrame(uint8_t code) {
    return code >= 0xC0 && code <= 0xCF && code != kHuffmanTables && code != kArithmeticTables;
}
inline bool IsRestart(uint8_t code) { return code >= kFirstRestart && code <= kLastRestart; }
// Segments skipped whole by their length: APP1 .. APP15 and COM.
inline bool IsSkippedSegment(uint8_t code) {
    return (code > kFirstApplication && code <= kLastApplication) || code == kComment;
}

}  // namespace jpeg_marker
