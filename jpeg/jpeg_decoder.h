// JpegDecoder: all state of one JPEG probe or decode. A decoder serves one call of
// Probe or one call of Decode and is then destroyed.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "jpeg_coefficient_store.h"
#include "jpeg_huffman.h"
#include "jpeg_input.h"
#include "jpeg_mcu_pipeline.h"
#include "jpeg_messages.h"

class JpegDecoder {
public:
    explicit JpegDecoder(JpegMessages& messages);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // 1 when a valid frame header was found: width/height then hold the size rounded up to
    // whole MCUs (and 3 * width * height fits in 31 bits), componentCount holds Nf. Else 0.
    int Probe(const uint8_t* data, uint32_t length);

    // Decodes into a picture of pictureWidth x pictureHeight pixels (the probed size), 3 bytes
    // per pixel B,G,R; pixel (x,y) at outputRow - y*outputPitch + 3x. Never writes outside that
    // picture: a frame whose rounded size differs from it is refused. Returns 1 when the
    // end-of-image marker was reached after a frame, else 0; whatever was written stays.
    int Decode(const uint8_t* data, uint32_t length, uint8_t* outputRow, int32_t outputPitch,
               uint32_t pictureWidth, uint32_t pictureHeight);

    // True once Decode has read a frame header that fits the picture; only then do width and
    // height (the frame header's values, not rounded) describe the decoded area.
    bool frameRead() const { return frameAccepted_; }

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

    uint32_t width = 0, height = 0;  // after Probe: rounded; after Decode: the frame header's values
    uint8_t componentCount = 0;

    struct FrameComponent {
        uint8_t id = 0, h = 0, v = 0, quantSelector = 0;
    };
    struct ScanComponent {
        uint8_t index = 0;  // 1-based position of the component in the frame
        uint8_t dcSelector = 0, acSelector = 0;
        uint8_t h = 0, v = 0, blocksPerMcu = 0, quantSelector = 0;
        int32_t dcPredictor = 0;
    };

private:
    // Markers and segments.
    int FindStart(const uint8_t* data, uint32_t length);
    int NextMarker();
    int HandleMarker();
    int ReadFrame();
    int ReadFrameHeader(bool decoding);
    int ReadQuantTables();
    int ReadHuffmanTables();
    int ReadRestartInterval();
    int ReadApp0();
    int SkipSegment();
    int ReadScanHeader();
    int DispatchScan();
    bool SequentialLayoutSupported() const;
    bool ProgressiveLayoutSupported() const;
    void Refuse(const char* text);
    bool ChargeWork(uint64_t blocks);
    uint64_t ScanVisits() const;
    // A progressive AC scan whose band starts above its end: it reads and changes nothing.
    bool EmptyBand() const { return frameType == 0xC2 && spectralEnd != 0 && spectralStart > spectralEnd; }

    // Sequential scans.
    int DecodeSequentialScan();
    int DecodeIntervals();
    int DecodeInterval(uint32_t mcuLimit);
    int DecodeMcu();
    int DecodeBlock(ScanComponent& c, int32_t* block);
    void BeginMcuOutput();
    int DecodeNonInterleavedScan();
    int DecodeComponentMcu(ScanComponent& c, uint32_t mcuNumber);
    void BlendGrey(const int32_t* block, uint32_t x0, uint32_t y0);
    void BlendChroma(const int32_t* block, uint32_t mcuNumber, bool blueDifference);
    uint8_t* PixelAt(uint32_t x, uint32_t y) const;

    // Progressive scans.
    int DecodeProgressive();
    int DecodeProgressiveScan();
    int DecodeDcFirst();
    int DecodeDcRefine();
    int DecodeAcFirst();
    int DecodeAcRefine();
    int32_t* AcBlock(uint32_t m);
    size_t BlockIndex(const ScanComponent& c, uint32_t mx, uint32_t my, uint32_t i) const;
    int32_t& DcValue(const ScanComponent& c, uint32_t mx, uint32_t my, uint32_t i);
    void PutDcValuesInBlocks();
    int SeekNextScan();
    void EmitProgressive();
    bool LastScanAhead() const;
    bool LumaInScanOrder() const;
    void StartEmissionHelper();
    static void EmitOnHelper(void* decoder);
    void EmitReadyRows();
    void ReportRows(uint32_t unit);
    void EmitRow(uint32_t my) const;
    // Progressive pictures of fewer blocks (about a megapixel) are emitted on the decoding
    // thread alone: waking the helper costs more than it saves on smaller ones under some systems.
    static constexpr uint64_t kParallelEmissionBlocks = 16384;
    void TransformComponent(int component, int32_t* buffer);
    void WritePixels1x1();
    void WritePixels2x1();
    void WritePixels2x2();

    JpegMessages& messages_;
    std::string errorText;
    JpegInput in_;

    uint8_t* outputRow = nullptr;
    int32_t outputPitch = 0;
    uint32_t pictureWidth_ = 0, pictureHeight_ = 0;
    bool frameAccepted_ = false;

    uint8_t frameType = 0;
    uint8_t precision = 0;
    int32_t levelShift = 0;
    int32_t workBlock[64] = {};
    int32_t scaleTable[64] = {};
    int32_t quantTables[4][64] = {};
    bool quantInRange[4] = {true, true, true, true};  // every pre-scaled quantiser within kQuantiserLimit
    HuffmanTable acTables[4];
    HuffmanTable dcTables[4];
    const HuffmanTable* acTable = nullptr;
    const HuffmanTable* dcTable = nullptr;

    uint32_t mcuCount = 0, mcuIndex = 0, mcusAcross = 0, mcusDown = 0;
    uint8_t maxH = 0, maxV = 0, scanMaxH = 0, scanMaxV = 0;
    uint32_t restartInterval = 0, intervalsDone = 0;
    bool lumaAlone_ = false;  // scan of the first frame component alone: 8x8 block grid
    std::vector<FrameComponent> frameComponents;
    std::vector<ScanComponent> scanComponents;
    uint32_t spectralStart = 0, spectralEnd = 0;
    uint8_t approxHigh = 0, approxLow = 0;

    // Progressive coefficient buffers (one decode), in frame MCU layout, all three in one store.
    CoefficientStore coefficientStore_;
    int32_t* lumaBuffer = nullptr;
    int32_t* cbBuffer = nullptr;
    int32_t* crBuffer = nullptr;
    bool coefficientsCleared_ = false;  // emission left every block of the store zero
    // DC values live apart, one per block in dcArray_ (a DC scan then touches 4 bytes per block
    // rather than a cache line), until an AC scan that includes coefficient 0 puts them into
    // the blocks; emission puts them there too.
    int32_t* dcArray_[3] = {};
    int32_t* dcBase_[3] = {};  // where DcValue reads: dcArray_, or the buffers
    size_t dcStride_ = 1;      // 1 in dcArray_, 64 in the blocks
    uint64_t lumaBlocks_ = 0, chromaBlocks_ = 0;
    uint32_t frameMcusAcross_ = 0, frameMcusDown_ = 0;
    uint32_t eobRun = 0;
    int status = 0;
    uint64_t frameBlocks_ = 0;  // blocks of every frame component
    uint64_t workDone_ = 0;

    // MCU rows of a progressive picture shared out between this thread and the helper. During
    // the last scan the helper already emits the rows that scan has passed.
    struct EmissionRows {
        std::atomic<uint32_t> next{0};   // the next row to take
        std::atomic<uint32_t> ready{0};  // rows that no scan changes any more
        std::atomic<uint32_t> emitted{0};  // rows written
        std::mutex mutex;
        std::condition_variable done;
        bool helperPosted = false, helperDone = false;
    };
    EmissionRows emission_;
    uint32_t rowMark_ = UINT32_MAX;  // the scan unit at which ReportRows is next due

    McuPipeline pipeline_;  // last: it may write into the picture until it is destroyed
};
