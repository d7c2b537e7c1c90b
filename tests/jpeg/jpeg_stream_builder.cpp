#include "jpeg_stream_builder.h"

void BitWriter::put(uint32_t bits, int count) {
    for (int i = count - 1; i >= 0; --i) {
        pending_ = (pending_ << 1) | ((bits >> i) & 1);
        if (++pendingCount_ == 8) {
            bytes.push_back(static_cast<uint8_t>(pending_));
            if (pending_ == 0xFF) bytes.push_back(0);
            pending_ = 0;
            pendingCount_ = 0;
        }
    }
}

void BitWriter::flush() {
    while (pendingCount_ != 0) put(1, 1);
}

int magnitudeSize(int value) {
    int size = 0;
    for (int m = value < 0 ? -value : value; m != 0; m >>= 1) ++size;
    return size;
}

uint32_t magnitudeBits(int value, int size) {
    return static_cast<uint32_t>(value >= 0 ? value : value + (1 << size) - 1);
}

void putDcSymbol(BitWriter& w, int size) { w.put(static_cast<uint32_t>(size), 4); }
void putAcSymbol(BitWriter& w, int run, int size) { w.put(static_cast<uint32_t>(run * 16 + size), 8); }

void putDc(BitWriter& w, int difference) {
    int size = magnitudeSize(difference);
    putDcSymbol(w, size);
    if (size) w.put(magnitudeBits(difference, size), size);
}

void putSequentialBlock(BitWriter& w, int dcDifference, const AcList& ac) {
    putDc(w, dcDifference);
    int k = 1;
    for (const auto& [position, value] : ac) {
        int run = position - k;
        while (run > 15) {
            putAcSymbol(w, 15, 0);
            run -= 16;
        }
        int s = magnitudeSize(value);
        putAcSymbol(w, run, s);
        w.put(magnitudeBits(value, s), s);
        k = position + 1;
    }
    if (k < 64) putAcSymbol(w, 0, 0);
}

JpegStreamBuilder& JpegStreamBuilder::soi() { return marker(0xD8); }
JpegStreamBuilder& JpegStreamBuilder::eoi() { return marker(0xD9); }

JpegStreamBuilder& JpegStreamBuilder::marker(uint8_t code) {
    bytes.push_back(0xFF);
    bytes.push_back(code);
    return *this;
}

JpegStreamBuilder& JpegStreamBuilder::raw(const std::vector<uint8_t>& data) {
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
}

JpegStreamBuilder& JpegStreamBuilder::segment(uint8_t code, const std::vector<uint8_t>& body) {
    marker(code);
    size_t length = body.size() + 2;
    bytes.push_back(static_cast<uint8_t>(length >> 8));
    bytes.push_back(static_cast<uint8_t>(length));
    return raw(body);
}

JpegStreamBuilder& JpegStreamBuilder::dqtFlat(uint8_t table, uint16_t q, bool sixteenBit) {
    std::vector<uint8_t> body{static_cast<uint8_t>((sixteenBit ? 0x10 : 0) | table)};
    for (int k = 0; k < 64; ++k) {
        if (sixteenBit) body.push_back(static_cast<uint8_t>(q >> 8));
        body.push_back(static_cast<uint8_t>(q));
    }
    return segment(0xDB, body);
}

JpegStreamBuilder& JpegStreamBuilder::frame(uint8_t type, uint16_t width, uint16_t height,
                                            const std::vector<TestComponent>& c, uint8_t precision) {
    std::vector<uint8_t> body{precision, static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height),
                              static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width),
                              static_cast<uint8_t>(c.size())};
    for (const TestComponent& t : c) {
        body.push_back(t.id);
        body.push_back(static_cast<uint8_t>(t.h << 4 | t.v));
        body.push_back(t.tq);
    }
    return segment(type, body);
}

JpegStreamBuilder& JpegStreamBuilder::testTables(uint8_t table) {
    // DC: symbols 0..11 with the 4-bit codes 0..11.
    std::vector<uint8_t> dc{table, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int s = 0; s < 12; ++s) dc.push_back(static_cast<uint8_t>(s));
    segment(0xC4, dc);
    // AC: symbols 0..254 with the 8-bit codes 0..254.
    std::vector<uint8_t> ac{static_cast<uint8_t>(0x10 | table), 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int s = 0; s < 255; ++s) ac.push_back(static_cast<uint8_t>(s));
    return segment(0xC4, ac);
}

JpegStreamBuilder& JpegStreamBuilder::dri(uint16_t interval) {
    return segment(0xDD, {static_cast<uint8_t>(interval >> 8), static_cast<uint8_t>(interval)});
}

JpegStreamBuilder& JpegStreamBuilder::scan(const std::vector<TestScanComponent>& c, uint8_t ss, uint8_t se,
                                           uint8_t ah, uint8_t al) {
    std::vector<uint8_t> body{static_cast<uint8_t>(c.size())};
    for (const TestScanComponent& t : c) {
        body.push_back(t.id);
        body.push_back(static_cast<uint8_t>(t.td << 4 | t.ta));
    }
    body.push_back(ss);
    body.push_back(se);
    body.push_back(static_cast<uint8_t>(ah << 4 | al));
    return segment(0xDA, body);
}

JpegStreamBuilder& JpegStreamBuilder::entropy(BitWriter& w) {
    w.flush();
    return raw(w.bytes);
}

std::vector<uint8_t> greyDcPicture(uint16_t width, uint16_t height, const std::vector<int>& dcValues,
                                   uint16_t restartInterval) {
    JpegStreamBuilder b;
    b.soi().dqtFlat(0, 8).frame(0xC0, width, height, {{1, 1, 1, 0}}).testTables();
    if (restartInterval) b.dri(restartInterval);
    b.scan({{1, 0, 0}});
    BitWriter w;
    int predictor = 0;
    for (size_t i = 0; i < dcValues.size(); ++i) {
        if (restartInterval && i > 0 && i % restartInterval == 0) {
            b.entropy(w);
            w = BitWriter();
            b.marker(static_cast<uint8_t>(0xD0 + (i / restartInterval - 1) % 8));
            predictor = 0;
        }
        putSequentialBlock(w, dcValues[i] - predictor, {});
        predictor = dcValues[i];
    }
    return b.entropy(w).eoi().bytes;
}
