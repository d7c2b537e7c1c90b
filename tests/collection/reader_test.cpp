// The collection reader: header fields, entry tags, and how damaged or cut collections are refused.
#include "collection.h"
#include "collection_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// Reads like the viewer: header, table, entry 1, then the deferred pass.
struct Loaded {
    bool loaded = false;
    CollectionHeader header;
    std::vector<CollectionEntry> entries;
    uint32_t complete = 0;
};

Loaded load(const std::vector<uint8_t>& bytes) {
    Loaded r;
    MemoryByteSource source(bytes.data(), bytes.size());
    if (!readCollectionHeader(source, r.header)) return r;
    if (!makeEntryTable(source, r.header.settings.entryCount, r.entries)) return r;
    if (!readEntry(source, r.entries[0])) return r;
    r.loaded = true;
    r.complete = readRemainingEntries(source, r.entries);
    return r;
}

std::vector<uint8_t> jpegLike(size_t n, uint8_t fill) {
    std::vector<uint8_t> p(n, fill);
    p[0] = 0xFF;
    if (n > 1) p[1] = 0xD8;
    return p;
}

TestCollection threePages() {
    TestCollection c;
    c.pictures = {jpegLike(7, 1), {0x42, 0x4D, 9, 9, 9}, jpegLike(6, 3)};
    return c;
}

void onTitleRecord(void* context, const std::string& title) { *static_cast<std::string*>(context) = title; }

}  // namespace

TEST(CollectionHeader, ReadsTextsAndRawSettings) {
    TestCollection c;
    c.title = "\x8f\x74\x82\xcc\x96\x7b";  // 春の本
    c.comment = "";
    c.link = "http://example.invalid/";
    c.settings[0] = 0;
    c.settings[1] = 2;
    c.settings[2] = 0xFFFFFFFFu;
    c.settings[3] = 0xFFFFFFFFu;
    c.settings[4] = 7;
    c.pictures = {jpegLike(3, 0)};
    std::vector<uint8_t> bytes = collectionBytes(c);
    MemoryByteSource source(bytes.data(), bytes.size());
    CollectionHeader h;
    std::string seen;
    ASSERT_TRUE(readCollectionHeader(source, h, onTitleRecord, &seen));
    EXPECT_EQ(seen, c.title);
    EXPECT_EQ(h.title, c.title);
    EXPECT_EQ(h.comment, "");
    EXPECT_EQ(h.linkText, c.link);
    EXPECT_EQ(h.settings.captionFlag, 0u);
    EXPECT_EQ(h.settings.commentFlag, 2u);
    EXPECT_EQ(h.settings.menuBarFlag, 0xFFFFFFFFu);
    EXPECT_EQ(h.settings.intervalSeconds, -1);
    EXPECT_EQ(h.settings.mouseMode, 7u);
    EXPECT_EQ(h.settings.entryCount, 1u);
    EXPECT_EQ(source.position(), bytes.size() - 7);  // positioned at entry 1
}

TEST(CollectionHeader, EmptyTitleIsALoneZero) {
    TestCollection c;
    c.title = "";
    c.settings[3] = 0x7FFFFFFFu;
    c.pictures = {jpegLike(2, 0)};
    Loaded r = load(collectionBytes(c));
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.header.title, "");
    EXPECT_EQ(r.header.comment, "C");
    EXPECT_EQ(r.header.settings.intervalSeconds, 2147483647);
}

TEST(CollectionHeader, TextWithoutTerminatorIsAShortRead) {
    const uint8_t bytes[] = {'T', 'i', 't'};
    MemoryByteSource source(bytes, sizeof bytes);
    std::string text;
    EXPECT_FALSE(readText(source, text));
    EXPECT_EQ(text, "Tit");

    std::vector<uint8_t> header = collectionBytes(threePages());
    for (size_t cut = 0; cut < 6 + 24; ++cut) {  // inside the texts or the settings
        MemoryByteSource s(header.data(), cut);
        CollectionHeader h;
        EXPECT_FALSE(readCollectionHeader(s, h)) << "cut at " << cut;
    }
}

TEST(EntryTag, FromFirstByteOnly) {
    struct Case { std::vector<uint8_t> bytes; const char* tag; } cases[] = {
        {{0x42, 0x4D, 0}, "BMP"}, {{0x42, 0x00}, "BMP"}, {{0x42}, "BMP"},
        {{0xFF, 0xD8}, "JPG"},    {{0xFF, 0x00}, "JPG"}, {{0x89, 'P', 'N', 'G'}, ""},
        {{0x00}, ""},             {{}, ""},
    };
    for (const Case& k : cases) {
        TestCollection c;
        c.pictures = {k.bytes};
        Loaded r = load(collectionBytes(c));
        ASSERT_TRUE(r.loaded);
        EXPECT_STREQ(formatTagText(r.entries[0].formatTag), k.tag);
        EXPECT_EQ(r.entries[0].data, k.bytes);
    }
}

// A damaged book may count as many entries as its bytes hold 4-byte sizes: a million in 4 MB. The
// table must cost a few bytes per byte of the file (an entry is its byte vector and a one-byte
// tag), not hundreds of MB.
TEST(EntryTable, EntriesStaySmall) {
    static_assert(sizeof(CollectionEntry) <= 4 * sizeof(void*), "an entry is its byte vector and a small tag");
    std::vector<uint8_t> bytes;
    const uint32_t count = 1000000;
    appendU32(bytes, 0);
    bytes.resize(4 * size_t(count));  // page 1 empty, then nothing but zero sizes
    MemoryByteSource source(bytes.data(), bytes.size());
    std::vector<CollectionEntry> entries;
    ASSERT_TRUE(makeEntryTable(source, count, entries));
    ASSERT_TRUE(readEntry(source, entries[0]));
    EXPECT_EQ(readRemainingEntries(source, entries), count);
    EXPECT_LE(entries.capacity() * sizeof(CollectionEntry), 8 * bytes.size());
}

TEST(EntryTable, RefusesZeroAndCountsBeyondTheRemainingBytes) {
    std::vector<uint8_t> twelve(12, 0);
    MemoryByteSource source(twelve.data(), twelve.size());
    std::vector<CollectionEntry> entries;
    EXPECT_FALSE(makeEntryTable(source, 0, entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(makeEntryTable(source, 4000000000u, entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(makeEntryTable(source, 4, entries));
    ASSERT_TRUE(makeEntryTable(source, 3, entries));
    ASSERT_EQ(entries.size(), 3u);
    for (const CollectionEntry& e : entries) {
        EXPECT_TRUE(e.data.empty());
        EXPECT_EQ(e.formatTag, FormatTag::None);
    }
}

TEST(EntryTable, HugeCountInAHeaderIsRefused) {
    TestCollection c = threePages();
    c.settings[5] = 4000000000u;
    EXPECT_FALSE(load(collectionBytes(c)).loaded);
    c.settings[5] = 0;
    EXPECT_FALSE(load(collectionBytes(c)).loaded);
}

TEST(Entry, SizeBeyondTheEndKeepsOnlyWhatArrived) {
    std::vector<uint8_t> bytes;
    appendU32(bytes, 0xFFFFFFF0u);
    bytes.insert(bytes.end(), {0xFF, 0xD8, 0xFF});
    MemoryByteSource source(bytes.data(), bytes.size());
    CollectionEntry e;
    EXPECT_FALSE(readEntry(source, e));
    EXPECT_EQ(e.data, std::vector<uint8_t>({0xFF, 0xD8, 0xFF}));
    EXPECT_EQ(e.formatTag, FormatTag::None);
}

TEST(Entry, ShortSizeFieldLeavesTheEntryEmpty) {
    const uint8_t bytes[] = {5, 0, 0};
    MemoryByteSource source(bytes, sizeof bytes);
    CollectionEntry e;
    EXPECT_FALSE(readEntry(source, e));
    EXPECT_TRUE(e.data.empty());
}

TEST(Entry, ZeroSizeIsCompleteWithAnEmptyTag) {
    TestCollection c;
    c.pictures = {jpegLike(4, 0), {}, jpegLike(2, 0)};
    Loaded r = load(collectionBytes(c));
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.complete, 3u);
    EXPECT_TRUE(r.entries[1].data.empty());
    EXPECT_EQ(r.entries[1].formatTag, FormatTag::None);
    EXPECT_EQ(r.entries[2].formatTag, FormatTag::Jpg);
}

TEST(Entry, BytesBehindTheLastEntryAreNotRead) {
    std::vector<uint8_t> bytes = collectionBytes(threePages());
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5});
    Loaded r = load(bytes);
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.complete, 3u);
}

// Cuts a three-page collection after every byte: the header and page 1 decide whether it loads,
// pages behind the cut stay empty and the page where the pass stopped keeps its bytes.
TEST(Truncation, EveryCutOfAThreePageCollection) {
    TestCollection c = threePages();
    std::vector<uint8_t> whole = collectionBytes(c);
    std::vector<size_t> entryStart;
    size_t at = 6 + 24;
    for (const auto& p : c.pictures) {
        entryStart.push_back(at);
        at += 4 + p.size();
    }
    ASSERT_EQ(at, whole.size());
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        std::vector<uint8_t> bytes(whole.begin(), whole.begin() + cut);
        Loaded r = load(bytes);
        size_t complete = 0;
        while (complete < 3 && entryStart[complete] + 4 + c.pictures[complete].size() <= cut) ++complete;
        // Every entry needs its 4-byte size: a count the remaining bytes cannot hold is refused.
        bool tableFits = cut >= entryStart[0] + 4 * c.pictures.size();
        ASSERT_EQ(r.loaded, complete >= 1 && tableFits) << "cut at " << cut;
        if (!r.loaded) continue;
        ASSERT_EQ(r.complete, complete) << "cut at " << cut;
        for (size_t i = 0; i < complete; ++i) EXPECT_EQ(r.entries[i].data, c.pictures[i]);
        if (complete == 3) continue;
        const CollectionEntry& stopped = r.entries[complete];
        size_t arrived = cut >= entryStart[complete] + 4 ? cut - entryStart[complete] - 4 : 0;
        EXPECT_EQ(stopped.data.size(), arrived) << "cut at " << cut;
        EXPECT_TRUE(std::equal(stopped.data.begin(), stopped.data.end(), c.pictures[complete].begin()));
        EXPECT_EQ(stopped.formatTag, FormatTag::None);
        for (size_t i = complete + 1; i < 3; ++i) EXPECT_TRUE(r.entries[i].data.empty());
    }
}

// Collections with random bytes flipped: whatever the sizes and counts say, loading ends without
// reading past the bytes, and no page holds more bytes than the collection.
TEST(Truncation, FlippedBytesNeverOverrun) {
    std::vector<uint8_t> whole = collectionBytes(threePages());
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = whole;
        for (int flips = 1 + round % 4; flips > 0; --flips) bytes[random() % bytes.size()] = uint8_t(random());
        bytes.resize(random() % (bytes.size() + 1));
        Loaded r = load(bytes);
        if (!r.loaded) continue;
        ASSERT_LE(r.complete, r.entries.size());
        for (const CollectionEntry& e : r.entries) ASSERT_LE(e.data.size(), bytes.size());
    }
}
