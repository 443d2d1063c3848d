#include "core/mem.h"

#include "support/fake_platform.h"
#include "support/core_env.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace {

std::uintptr_t addr(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// A main pool of a chosen size, the other two absent.
class SmallPool : public ::testing::Test {
protected:
    void SetUp() override {
        mem_Shutdown();
        ASSERT_EQ(mem_InitPool(mem_State().mainPool, 4096), 0);
    }
    void TearDown() override { mem_Shutdown(); }
    std::uintptr_t base() const { return addr(mem_State().mainPool.base); }
};

}  // namespace

TEST_F(SmallPool, FreshPoolHasOnlyTheBaseBlock) {
    const MemPool& p = mem_State().mainPool;
    EXPECT_EQ(p.size, 4096u);
    EXPECT_EQ(addr(p.first), base());
    EXPECT_EQ(p.first->size, 0u);
    EXPECT_EQ(p.first->number, kMemCounterStart);
    EXPECT_EQ(p.first->next, 0u);
    EXPECT_EQ(p.counter, kMemCounterStart + 1);
    EXPECT_STREQ(mem_State().tagNames[p.first->name].c_str(), "MemMgr Base");
    EXPECT_EQ(mem_LiveBlocks(p), 0);
}

TEST_F(SmallPool, BlocksGoBehindTheirHeadersAtTheRequestedAlignment) {
    void* a = mem_GetMemEx(10, 4, 0, "first");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(addr(a), base() + 32);  // base block header, then this block's header
    EXPECT_EQ(mem_BlockSize(a), 10u);
    EXPECT_EQ(mem_BlockId(a), kMemCounterStart + 1);
    EXPECT_STREQ(mem_BlockName(a), "first");

    // A zero-byte request succeeds and still takes a header.
    void* c = mem_GetMem(0, 1, 0);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(addr(c), addr(a) + 28) << "behind a's 10 bytes and a header, at a multiple of 4";

    // The next block starts 16 bytes behind the end of c's data, rounded up to 64.
    void* b = mem_GetMemEx(1, 64, 0, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(addr(b) % 64, 0u);
    EXPECT_GE(addr(b), addr(c) + 16);
    EXPECT_LT(addr(b), addr(c) + 16 + 64);
    EXPECT_STREQ(mem_BlockName(b), "");
    EXPECT_EQ(mem_BlockId(b), kMemCounterStart + 3);
    void* odd = mem_GetMem(3, 6, 0);  // a multiple of 6 that keeps the header aligned
    EXPECT_EQ(addr(odd) % 12, 0u);
    EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), 4);
}

TEST_F(SmallPool, FirstFitReusesTheLowestGap) {
    void* a = mem_GetMem(100, 4, 0);
    void* b = mem_GetMem(100, 4, 0);
    void* c = mem_GetMem(100, 4, 0);
    ASSERT_TRUE(a && b && c);

    // Same size and alignment after a release: the same address.
    ASSERT_EQ(mem_Free(b), 0);
    EXPECT_EQ(mem_GetMem(100, 4, 0), b);

    // A smaller block goes into the gap a leaves; a larger one does not fit there.
    ASSERT_EQ(mem_Free(a), 0);
    void* big = mem_GetMem(200, 4, 0);
    EXPECT_GT(addr(big), addr(c));
    void* small = mem_GetMem(40, 4, 0);
    EXPECT_EQ(small, a);
    // What is left of a's gap (100 - 40 - 16 = 44 bytes) takes a 44-byte block exactly.
    void* fill = mem_GetMem(44, 4, 0);
    EXPECT_EQ(addr(fill), addr(a) + 40 + 16);
    void* over = mem_GetMem(45, 4, 0);
    EXPECT_GT(addr(over), addr(big));
}

TEST_F(SmallPool, FullPoolRefusesAndReportsByName) {
    ScopedFakePlatform fake;
    // 4096 - 16 (base) - 16 (header) bytes remain behind the base block.
    void* all = mem_GetMemEx(4096 - 32, 1, 0, "Everything");
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(mem_GetMemEx(0, 1, 0, "Nothing left"), nullptr);
    ASSERT_EQ(fake->debugLines.size(), 1u);
    EXPECT_EQ(fake->debugLines[0], "mem_GetMemEx(): Failed to allocate 0 bytes ('Nothing left')");

    // Enough space in total, but scattered: the request still fails and nothing changes.
    ASSERT_EQ(mem_Free(all), 0);
    void* blocks[8];
    for (auto& b : blocks) ASSERT_NE(b = mem_GetMem(400, 4, 0), nullptr);
    for (int i = 0; i < 8; i += 2) ASSERT_EQ(mem_Free(blocks[i]), 0);
    int live = mem_LiveBlocks(mem_State().mainPool);
    std::uint32_t counter = mem_State().mainPool.counter;
    EXPECT_EQ(mem_GetMem(1200, 4, 0), nullptr);
    EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), live);
    EXPECT_EQ(mem_State().mainPool.counter, counter);

    // A request near 4 GiB must not wrap around the address arithmetic.
    EXPECT_EQ(mem_GetMem(0xFFFFFFFFu, 1, 0), nullptr);
    EXPECT_EQ(mem_GetMem(0xFFFFFFF0u, 0x80000000u, 0), nullptr);
}

TEST_F(SmallPool, DebugLevelTenTracesEveryRequest) {
    ScopedFakePlatform fake;
    mem_State().debugLevel = 10;
    mem_GetMemEx(40, 4, 0, "PFF HEADERS");
    ASSERT_EQ(fake->debugLines.size(), 1u);
    EXPECT_EQ(fake->debugLines[0], "mem_GetMemEx(): 40 bytes ('PFF HEADERS')");
    mem_State().debugLevel = 1;
    EXPECT_EQ(mem_GetMem(100000, 4, 0), nullptr);
    EXPECT_EQ(fake->debugLines.size(), 1u);  // failures unreported below level 2
}

TEST_F(SmallPool, ReleaseRefusesWhatThePoolDoesNotHold) {
    void* a = mem_GetMem(16, 4, 0);
    EXPECT_EQ(mem_Free(nullptr), -1);
    EXPECT_EQ(mem_Free(a), 0);
    EXPECT_EQ(mem_Free(a), -1);  // twice
    int local = 0;
    EXPECT_EQ(mem_Free(&local), -1);                          // never from a pool
    EXPECT_EQ(mem_Free(mem_State().mainPool.base + 16), -1);  // the base block's data
    EXPECT_EQ(mem_BlockSize(a), 0u);
    EXPECT_EQ(mem_BlockSize(&local), 0u);
}

TEST_F(SmallPool, BlockIdsBelowTheCounterStartOnly) {
    void* a = mem_GetMem(8, 4, 0);
    mem_SetBlockId(a, 5);
    EXPECT_EQ(mem_BlockId(a), 5u);
    mem_SetBlockId(a, 0xFFFFFFFFu);
    EXPECT_EQ(mem_BlockId(a), 5u);
    mem_SetBlockId(a, kMemCounterStart);
    EXPECT_EQ(mem_BlockId(a), 5u);
    mem_SetBlockId(nullptr, 3);  // nothing happens
    int local = 0;
    mem_SetBlockId(&local, 3);  // not a block: not written through
    EXPECT_EQ(local, 0);
}

TEST(MemPools, StartupCreatesThreePoolsAndTheSideOperationsUseTheirOwn) {
    ScopedCore core;
    MemState& s = mem_State();
    EXPECT_EQ(s.mainPool.size, kMemMainPoolSize);
    EXPECT_EQ(s.scratchPool.size, kMemDefaultPoolSize);
    EXPECT_EQ(s.archivePool.size, kMemDefaultPoolSize);

    void* scratch = mem_GetScratch(100);
    void* arch = mem_GetArchiveMem(100, "PFF STRUCT");
    ASSERT_TRUE(scratch && arch);
    EXPECT_EQ(s.current, &s.mainPool);
    EXPECT_EQ(addr(scratch) % 4, 0u);
    EXPECT_STREQ(mem_BlockName(arch), "PFF STRUCT");
    EXPECT_EQ(mem_LiveBlocks(s.scratchPool), 1);
    EXPECT_EQ(mem_LiveBlocks(s.archivePool), 1);
    EXPECT_EQ(mem_LiveBlocks(s.mainPool), 0);

    // A block of one pool is foreign to the others.
    EXPECT_EQ(mem_Free(scratch), -1);
    EXPECT_EQ(mem_FreeArchiveMem(scratch), -1);
    EXPECT_EQ(mem_FreeScratch(scratch), 0);
    EXPECT_EQ(mem_FreeArchiveMem(arch), 0);
    EXPECT_EQ(s.current, &s.mainPool);
}

TEST(MemPools, MissingSidePoolsGiveNothing) {
    ScopedFakePlatform fake;
    mem_Shutdown();
    ASSERT_EQ(mem_InitPool(mem_State().mainPool, 0), 0);
    EXPECT_EQ(mem_State().mainPool.size, kMemDefaultPoolSize);
    EXPECT_EQ(mem_GetScratch(4), nullptr);
    EXPECT_EQ(mem_GetArchiveMem(4, "x"), nullptr);
    EXPECT_EQ(mem_FreeScratch(nullptr), -1);
    mem_Shutdown();
    // No pool at all: requests fail rather than touch memory.
    EXPECT_EQ(mem_GetMem(4, 4, 0), nullptr);
    EXPECT_EQ(mem_Free(reinterpret_cast<void*>(0x1000)), -1);
}

// Large blocks: zeroed and writable end to end at every size either side of the heap's limit,
// cleared by taking a fresh block, copied deep and moved without a copy.
TEST(LargeBlocks, ZeroedWritableClearedCopiedAndMoved) {
    for (std::size_t n : {std::size_t(1), std::size_t(4095), std::size_t(512 << 10) - 1, std::size_t(512 << 10),
                          std::size_t(1 << 20) + 3, std::size_t(5 << 20)}) {
        LargeArray<std::uint8_t> a(n);
        ASSERT_EQ(a.size(), n);
        EXPECT_EQ(std::count(a.begin(), a.end(), 0), std::ptrdiff_t(n)) << n;
        a[0] = a[n - 1] = 7;
        const LargeArray<std::uint8_t> copy = a;
        EXPECT_TRUE(copy == a) << n;
        EXPECT_NE(copy.data(), a.data());
        const std::uint8_t* block = a.data();
        LargeArray<std::uint8_t> moved = std::move(a);
        EXPECT_EQ(moved.data(), block);
        EXPECT_TRUE(a.empty());
        moved.assignZero(n);
        EXPECT_EQ(moved[0] + moved[n - 1], 0) << n;
        EXPECT_EQ(copy[n - 1], 7);
    }
    EXPECT_THROW(LargeArray<std::uint64_t>(SIZE_MAX / 4), std::bad_alloc);
}
