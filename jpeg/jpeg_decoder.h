// JpegDecoder: all state of one JPEG probe or decode. A decoder serves one call of
// Probe or one call of Decode and is then destroyed.
#pragma once
#include <cstdint>
#include <vector>

#include "jpeg_coefficient_store.h"
#include "jpeg_headers.h"
#include "jpeg_huffman.h"
#include "jpeg_input.h"
#include "jpeg_mcu_pipeline.h"
#include "jpeg_messages.h"
#include "jpeg_progressive_emission.h"
#include "jpeg_scan_ahead.h"

struct AcScan;
struct FastSource;
struct SerialSource;

// A picture's size in pixels.
struct JpegSize {
    uint32_t width = 0, height = 0;
};

class JpegDecoder {
public:
    explicit JpegDecoder(JpegMessages& messages);
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // True when a valid frame header was found: `bitmap` then holds the frame's size rounded
    // up to whole MCUs, and 3 x width x height fits in 31 bits.
    bool Probe(const uint8_t* data, uint32_t length, JpegSize& bitmap);

    // Decodes into a bitmap of the probed size, 3 bytes per pixel B,G,R; pixel (x,y) at
    // outputRow - y*outputPitch + 3x. Never writes outside it: a frame whose rounded size
    // differs is refused. True when the end-of-image marker was reached after a frame;
    // whatever was written stays either way.
    bool Decode(const uint8_t* data, uint32_t length, uint8_t* outputRow, int32_t outputPitch, JpegSize bitmap);

    // Makes the next Decode write the picture at 1 / 2^reduction (1 to 3) of its size, each
    // pixel the average of the area it covers: the bitmap is then the probed size divided by
    // 2^reduction. Progressive frames of one or three components, and baseline frames whose
    // scans hold every component (grey, or the three in frame order), are decoded reduced; at
    // any other scan the decode stops, as at any other failure, and reductionRefused() tells so.
    void SetReduction(uint8_t reduction) { reduction_ = reduction; }
    bool reductionRefused() const { return reductionRefused_; }

    // True once Decode has read a frame header that fits the bitmap; only then does
    // frameSize (the frame header's size, not rounded) describe the decoded area.
    bool frameRead() const { return frameAccepted_; }
    JpegSize frameSize() const { return {frame_.width, frame_.height}; }

    // Work of the last Decode, in blocks: every block a scan visits, and the blocks each pass
    // of a progressive frame clears and emits. A decode stops, as at any other stop, before
    // the work would pass kWorkPerFrameBlock times the frame's blocks: a few bytes of headers
    // must not buy minutes of work (scans over the whole picture that read next to nothing,
    // or progressive passes begun again and again). Real files stay far below it.
    static constexpr uint64_t kWorkPerFrameBlock = 64;
    uint64_t workDone() const { return workDone_; }

    // Bytes of the picture and of the progressive coefficient store together: the same cap
    // as the picture alone has where it is allocated.
    static constexpr uint64_t kMemoryLimit = uint64_t(1) << 30;

private:
    bool DecodeOnce(const uint8_t* data, uint32_t length, uint8_t* outputRow, int32_t outputPitch, JpegSize bitmap);
    bool DecodeAgainAlone(const uint8_t* data, uint32_t length, uint8_t* outputRow, int32_t outputPitch, JpegSize bitmap);

    // Markers and segments (jpeg_decoder.cpp, jpeg_segments.cpp).
    bool FindStart(const uint8_t* data, uint32_t length);
    bool SeekMarkerCode();
    bool NextMarker();
    bool HandleMarker();
    bool ReadFrame();
    bool ReadFrameHeader();
    bool ReadQuantTables();
    bool ReadHuffmanTables();
    bool ReadRestartInterval();
    bool ReadApp0();
    bool SkipSegment();
    bool ReadScanHeader();
    bool DispatchScan();
    bool SequentialLayoutSupported() const;
    bool ProgressiveLayoutSupported() const;
    bool ReducedScanSupported() const;
    void Refuse(const char* text);
    bool RefuseDamaged();  // "cannot show" for a damaged header; false
    bool ChargeWork(uint64_t blocks);
    uint64_t ScanVisits() const;

    // Sequential scans (jpeg_sequential.cpp, jpeg_noninterleaved.cpp).
    bool DecodeSequentialScan();
    bool DecodeIntervals();
    bool DecodeInterval(uint32_t mcuLimit);
    bool DecodeMcu();
    template <bool Sparse>
    void DecodeFastRun(uint32_t mcuLimit);
    bool DecodeBlock(ScanComponent& c, int32_t* block);
    void BeginMcuOutput();
    McuLayout ScanLayout() const;
    bool DecodeNonInterleavedScan();
    bool DecodeComponentMcu(ScanComponent& c, uint32_t mcuNumber);
    void BlendGrey(const int32_t* block, uint32_t x0, uint32_t y0);
    void BlendChroma(const int32_t* block, uint32_t mcuNumber, bool blueDifference);
    uint8_t* PixelAt(uint32_t x, uint32_t y) const;

    // Progressive scans (jpeg_progressive.cpp, jpeg_progressive_scans.cpp). Each scan returns
    // true when complete and false when it stops the scan loop: after a failed symbol or bit
    // field (the last step's result becomes false), or at a marker met by a refinement bit
    // (the last step's result stays).
    bool DecodeProgressive();
    bool AllocateCoefficients();
    bool DecodeProgressiveScan();
    template <class ReadBlock>
    bool ForEachDcBlock(ReadBlock read);
    bool DecodeDcFirst();
    bool DecodeDcRefine();
    bool DecodeAcFirst();
    bool DecodeAcRefine();
    template <class T, bool (*Fast)(FastSource&, AcScan&, T*), bool (*Serial)(SerialSource&, AcScan&, T*),
              bool kFirstScan>
    bool DecodeAcBlocks();
    bool SeekNextScan();
    template <class T>
    T* AcBlock(uint32_t m);
    size_t BlockIndex(const ScanComponent& c, uint32_t mx, uint32_t my, uint32_t i) const;
    size_t DcOffset(const ScanComponent& c, uint32_t mx, uint32_t my, uint32_t i) const;
    bool StoreDc(size_t offset, int32_t value);
    void PutDcValuesInBlocks();
    template <class T>
    void PutDcValuesInBlocksOf();
    bool ReadyStoreForScan();
    void StartScanAhead();
    bool TakeScanAhead();
    bool TouchesLumaCoefficients() const;
    void RowPassed(uint32_t m);
    bool WidenCoefficients();
    uint64_t PictureBytes() const;
    bool LastScanAhead() const;
    uint32_t RowsPassed(uint32_t unit) const;
    void PassRow(uint32_t m);

    JpegMessages& messages_;
    JpegInput in_;

    // The bitmap the decode writes.
    uint8_t* outputRow_ = nullptr;
    int32_t outputPitch_ = 0;
    JpegSize bitmap_;
    bool frameAccepted_ = false;
    uint8_t reduction_ = 0;
    bool reductionRefused_ = false;

    // Tables and settings in force.
    int32_t scaleTable_[64] = {};
    int32_t quantTables_[4][64] = {};
    bool quantInRange_[4] = {true, true, true, true};  // every pre-scaled quantiser within kQuantiserLimit
    HuffmanTable acTables_[4];
    HuffmanTable dcTables_[4];
    const HuffmanTable* acTable_ = nullptr;
    const HuffmanTable* dcTable_ = nullptr;
    uint32_t restartInterval_ = 0;

    FrameHeader frame_;
    ScanHeader scan_;
    uint64_t workDone_ = 0;

    // Sequential state: the MCU being decoded and the restart intervals done.
    uint32_t mcuIndex_ = 0, intervalsDone_ = 0;
    int32_t workBlock_[64] = {};

    // Progressive state. Coefficients of the whole frame in one store, in frame MCU layout:
    // the first component's blocks, then one block per MCU for the second and for the third.
    struct Progressive {
        CoefficientStore store;
        // DC values live apart, one per block (a DC scan then touches 4 bytes per block rather
        // than a cache line), until an AC scan that includes coefficient 0 puts them into the
        // blocks; emission puts them there too.
        CoefficientLayout coefficients;
        // The result of the last step that reports one (a symbol, a bit field, a scan header,
        // a segment): the driver's result when the scan loop ends at a marker or the image's end.
        bool status = false;
        uint32_t rowMark = UINT32_MAX;  // the scan unit at which passed rows are next reported
        // No coefficient's magnitude exceeds it: what decides whether a 16-bit store holds the
        // values an AC scan can give (DC scans check each value as it is stored).
        uint64_t peak = 0;
        size_t lumaStride = 0;  // luminance blocks per row of the store, set for each pass
        bool feeding = false;   // the scan being decoded feeds the helper's last scan
        bool aheadTaken = false;  // the helper's last scan stood for the scan met
    };
    Progressive progressive_;
    ProgressiveEmission emission_;  // may write into the picture until it is finished

    McuPipeline pipeline_;  // it may write into the picture until it is destroyed

    // The last scan on the helper (jpeg_scan_ahead.h): allowed unless this decode is the
    // one-thread replay of a decode where the scan met was not the one foreseen (aheadFailed_).
    // Destroyed first: it waits for the helper's scan, which writes into progressive_.
    ScanAhead scanAhead_;
    bool aheadAllowed_ = true, aheadFailed_ = false;
    size_t messagesShown_ = 0, captionsSet_ = 0;  // texts passed to messages_
};
