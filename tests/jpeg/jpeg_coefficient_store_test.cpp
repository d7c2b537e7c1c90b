// The progressive coefficient store: every allocation reads as zero, whether it is fresh or
// the kept storage of an earlier picture, and sizes that cannot exist are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "jpeg_coefficient_store.h"

namespace {

bool AllZero(const int32_t* p, uint64_t blocks) {
    for (uint64_t i = 0; i < blocks * 64; ++i)
        if (p[i] != 0) return false;
    return true;
}

void Scribble(int32_t* p, uint64_t blocks) {
    for (uint64_t i = 0; i < blocks * 64; ++i) p[i] = static_cast<int32_t>(i * 2654435761u);
}

}  // namespace

TEST(CoefficientStore, EveryAllocationIsZeroWhetherFreshOrKept) {
    CoefficientStore::DropSpare();
    for (uint64_t blocks : {100u, 40u, 100u, 250u, 1u}) {
        CoefficientStore store;
        ASSERT_TRUE(store.Allocate(blocks, true));
        EXPECT_TRUE(AllZero(store.Wide(), blocks)) << blocks << " blocks";
        Scribble(store.Wide(), blocks);
    }
    {
        // Two stores at once: the second cannot share the first one's storage.
        CoefficientStore first, second;
        ASSERT_TRUE(first.Allocate(300, true));
        Scribble(first.Wide(), 300);
        first.Release();
        ASSERT_TRUE(first.Allocate(300, true));
        ASSERT_TRUE(second.Allocate(300, true));
        EXPECT_NE(first.Wide(), second.Wide());
        EXPECT_TRUE(AllZero(first.Wide(), 300));
        EXPECT_TRUE(AllZero(second.Wide(), 300));
    }
    CoefficientStore::DropSpare();
}

// A store given back as zero is handed out without clearing; one given back written is cleared,
// and so is the part of a larger request beyond what was known to be zero.
TEST(CoefficientStore, ClearedOnlyWhereTheLastUserLeftValues) {
    CoefficientStore::DropSpare();
    CoefficientStore store;
    ASSERT_TRUE(store.Allocate(64, true));
    int32_t* first = store.Wide();
    store.Release(true);
    ASSERT_TRUE(store.Allocate(32, true));
    ASSERT_EQ(store.Wide(), first);  // the kept storage
    Scribble(store.Wide(), 32);
    std::fill(store.Wide(), store.Wide() + 16 * 64, 0);
    store.Release(false);  // half of it still written
    ASSERT_TRUE(store.Allocate(64, true));
    EXPECT_TRUE(AllZero(store.Wide(), 64));
    Scribble(store.Wide(), 48);
    std::fill(store.Wide(), store.Wide() + 48 * 64, 0);
    store.Release(true);
    ASSERT_TRUE(store.Allocate(64, true));
    EXPECT_TRUE(AllZero(store.Wide(), 64));
    store.Release();
    CoefficientStore::DropSpare();
}

TEST(CoefficientStore, RefusesSizesBeyondTheAddressSpace) {
    CoefficientStore store;
    EXPECT_FALSE(store.Allocate(UINT64_MAX / 64));
    EXPECT_FALSE(store.Allocate(uint64_t(SIZE_MAX) / 256 + 1, true));
    EXPECT_EQ(store.Wide(), nullptr);
    ASSERT_TRUE(store.Allocate(2, true));
    EXPECT_TRUE(AllZero(store.Wide(), 2));
}
