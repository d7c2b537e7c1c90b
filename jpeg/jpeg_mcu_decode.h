// Entropy decoding of interleaved sequential MCUs and the marker search on any input cursor:
// the decoding thread and the helper read restart intervals of one scan with cursors of their own.
#pragma once
#include <cstdint>
#include <vector>

#include "jpeg_headers.h"
#include "jpeg_huffman.h"
#include "jpeg_input.h"
#include "jpeg_mcu_output.h"

// One data unit, bit by bit, into `block` (natural order, cleared first); false at a code no
// table holds, a DC size above 15, a marker or the end of the data.
bool DecodeBlockSerial(JpegInput& in, const HuffmanTable* dc, const HuffmanTable* ac, int32_t& predictor,
                       int32_t* block);

// Every block of one MCU into `blocks` (scan order) with `acWritten` per block, the fast path
// where it can, else bit by bit; every component is decoded even after one failed, so the
// bits are consumed as they come. False when a block failed.
bool DecodeMcuBlocks(JpegInput& in, std::vector<ScanComponent>& components, const HuffmanTable* dcTables,
                     const HuffmanTable* acTables, int32_t (*blocks)[64], bool* acWritten);

// Up to `most` MCUs one after another into `blocks`, all zero on entry, and `acWritten` (each
// MCU's blocks after the last's), through one fast bit reader whose state stays in registers;
// returns how many. It stops before an MCU the fast path cannot decode, for DecodeMcuBlocks.
uint32_t DecodeMcuRun(JpegInput& in, std::vector<ScanComponent>& components, const HuffmanTable* dcTables,
                      const HuffmanTable* acTables, uint32_t most, int32_t (*blocks)[64], bool* acWritten);

// The same as entry lists (SparseMcu), without clearing whole blocks; `scratch` holds
// kMaxMcuBlocks blocks for the bit-by-bit road, whose blocks are then listed. `entries` gets
// the number of AC entries of the MCU.
bool DecodeMcuSparse(JpegInput& in, std::vector<ScanComponent>& components, const HuffmanTable* dcTables,
                     const HuffmanTable* acTables, const SparseMcu& mcu, int32_t (*scratch)[64], uint32_t& entries);

// Past bytes up to a 0xFF and any fill bytes after it, leaving the position on the code.
// False when the data ends first.
bool SeekMarkerCode(JpegInput& in);
// The code of the next marker, the position on it; 0xFF 0x00 is stuffed data and is passed over.
bool NextMarker(JpegInput& in);
