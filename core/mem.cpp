#include "core/mem.h"

#include "core/format.h"
#include "platform/ui.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

MemState g_mem;

constexpr const char* kBaseBlockName = "MemMgr Base";

std::uintptr_t addr(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

MemBlockHeader* headerAt(const MemPool& pool, std::uint32_t offset) {
    return reinterpret_cast<MemBlockHeader*>(pool.base + offset);
}

MemBlockHeader* nextOf(const MemPool& pool, const MemBlockHeader* h) {
    return h->next == 0 ? nullptr : headerAt(pool, h->next);
}

std::uint32_t offsetOf(const MemPool& pool, const MemBlockHeader* h) {
    return static_cast<std::uint32_t>(addr(h) - addr(pool.base));
}

std::uintptr_t dataEnd(const MemBlockHeader* h) { return addr(h) + kMemHeaderSize + h->size; }

std::uint32_t internTag(const char* name) {
    if (name == nullptr || *name == '\0') return 0;
    if (g_mem.tagNames.empty()) g_mem.tagNames.emplace_back();
    std::string_view key(name);
    auto it = g_mem.tagIndex.find(key);
    if (it != g_mem.tagIndex.end()) return it->second;
    g_mem.tagNames.emplace_back(key);
    auto index = static_cast<std::uint32_t>(g_mem.tagNames.size() - 1);
    g_mem.tagIndex.emplace(std::string_view(g_mem.tagNames.back()), index);
    return index;
}

// The live header whose data starts at data, in pool; nullptr when the pool holds no such
// block. Only addresses are compared until a listed header is found, so a foreign pointer
// is never read through.
MemBlockHeader* findBlock(const MemPool& pool, const void* data) {
    if (pool.base == nullptr || data == nullptr) return nullptr;
    std::uintptr_t target = addr(data) - kMemHeaderSize;
    if (addr(data) < addr(pool.base) + 2 * kMemHeaderSize || addr(data) > addr(pool.base) + pool.size) return nullptr;
    for (MemBlockHeader* h = nextOf(pool, pool.first); h != nullptr; h = nextOf(pool, h))
        if (addr(h) == target) return h;
    return nullptr;
}

MemBlockHeader* findAnyPool(const void* data) {
    for (const MemPool* p : {&g_mem.mainPool, &g_mem.scratchPool, &g_mem.archivePool})
        if (MemBlockHeader* h = findBlock(*p, data)) return h;
    return nullptr;
}

// The bytes a pool's memory was taken with: its size rounded up to 16.
std::size_t poolBytes(std::uint32_t size) {
    return (static_cast<std::size_t>(size) + 15) & ~static_cast<std::size_t>(15);
}

void resetPool(MemPool& pool) {
    mem_LargeFree(pool.base, poolBytes(pool.size));
    pool = MemPool{};
}

// Runs fn with pool made current, then makes the main pool current again.
template <typename Fn>
auto withPool(MemPool& pool, Fn fn) {
    g_mem.current = &pool;
    auto result = fn();
    g_mem.current = &g_mem.mainPool;
    return result;
}

}  // namespace

MemState& mem_State() { return g_mem; }

int mem_InitPool(MemPool& pool, std::uint32_t poolSizeSetting) {
    resetPool(pool);
    pool.counter = kMemCounterStart;
    std::uint32_t size = poolSizeSetting == 0 ? kMemDefaultPoolSize : poolSizeSetting;
    if (size < kMemHeaderSize) return -1;
    // At least 16-aligned, so that block alignments up to 16 cost no padding beyond the header;
    // a large block, so that filling a pool faults in huge pages.
    auto* mem = static_cast<std::byte*>(mem_LargeAlloc(poolBytes(size)));
    if (mem == nullptr) return -1;
    pool.base = mem;
    pool.size = size;
    auto* h = reinterpret_cast<MemBlockHeader*>(mem);
    h->size = 0;
    h->next = 0;
    h->name = internTag(kBaseBlockName);
    h->number = pool.counter++;
    pool.first = h;
    return 0;
}

int mem_Startup() {
    // Starting again (tests do) first lets go of the old pools and of every record in them.
    if (g_mem.mainPool.base || g_mem.scratchPool.base || g_mem.archivePool.base) mem_Shutdown();
    g_mem.current = &g_mem.mainPool;
    g_mem.poolSizeSetting = kMemMainPoolSize;
    int rc = mem_InitPool(g_mem.mainPool, g_mem.poolSizeSetting);
    // The other two pools have no size setting of their own: the default serves.
    std::uint32_t saved = g_mem.poolSizeSetting;
    g_mem.poolSizeSetting = 0;
    if (withPool(g_mem.scratchPool, [] { return mem_InitPool(*g_mem.current, g_mem.poolSizeSetting); }) != 0) rc = -1;
    if (withPool(g_mem.archivePool, [] { return mem_InitPool(*g_mem.current, g_mem.poolSizeSetting); }) != 0) rc = -1;
    g_mem.poolSizeSetting = saved;
    return rc;
}

void mem_Shutdown() {
    // Hooks may release blocks, so they run while the pools still exist.
    auto hooks = g_mem.shutdownHooks;
    for (auto fn : hooks) fn();
    resetPool(g_mem.mainPool);
    resetPool(g_mem.scratchPool);
    resetPool(g_mem.archivePool);
    g_mem.current = &g_mem.mainPool;
    g_mem.poolSizeSetting = 0;
    g_mem.debugLevel = 2;
    g_mem.tagIndex.clear();
    g_mem.tagNames.clear();
}

void mem_OnShutdown(void (*fn)()) {
    auto& hooks = g_mem.shutdownHooks;
    if (std::find(hooks.begin(), hooks.end(), fn) == hooks.end()) hooks.push_back(fn);
}

void* mem_GetMemEx(std::uint32_t size, std::uint32_t alignment, std::uint32_t, const char* name) {
    const char* shown = name ? name : "";
    if (g_mem.debugLevel >= 10)
        platform().debugOutput(text_Format("mem_GetMemEx(): %ld bytes ('%s')", {static_cast<long>(size), shown}));

    MemPool& pool = *g_mem.current;
    // Data addresses are kept multiples of 4 whatever the caller asks, so the header 16 bytes
    // below is always aligned for its 32-bit fields.
    std::uint64_t align = std::lcm<std::uint64_t>(alignment == 0 ? 1 : alignment, 4);
    const std::uint64_t poolEnd = addr(pool.base) + pool.size;

    // First fit in address order: the lowest gap behind a block that holds a header and the
    // data at the requested alignment, or the space behind the last block. All arithmetic is
    // 64-bit, so a request near 4 GiB cannot wrap around.
    MemBlockHeader* fitAfter = nullptr;
    std::uint64_t dataAddr = 0;
    for (MemBlockHeader* b = pool.first; b != nullptr; b = nextOf(pool, b)) {
        std::uint64_t lowest = dataEnd(b) + kMemHeaderSize;
        std::uint64_t candidate = (lowest + align - 1) / align * align;
        MemBlockHeader* n = nextOf(pool, b);
        std::uint64_t limit = n ? addr(n) : poolEnd;
        if (candidate + size <= limit) {
            fitAfter = b;
            dataAddr = candidate;
            break;
        }
    }

    if (fitAfter == nullptr) {
        if (g_mem.debugLevel >= 2)
            platform().debugOutput(
                text_Format("mem_GetMemEx(): Failed to allocate %ld bytes ('%s')", {static_cast<long>(size), shown}));
        return nullptr;
    }

    auto* h = reinterpret_cast<MemBlockHeader*>(dataAddr - kMemHeaderSize);
    h->size = size;
    h->number = pool.counter++;
    h->name = internTag(name);
    h->next = fitAfter->next;
    fitAfter->next = offsetOf(pool, h);
    return reinterpret_cast<void*>(dataAddr);
}

void* mem_GetMem(std::uint32_t size, std::uint32_t alignment, std::uint32_t reserved) {
    return mem_GetMemEx(size, alignment, reserved, nullptr);
}

int mem_Free(void* data) {
    MemPool& pool = *g_mem.current;
    if (data == nullptr || pool.base == nullptr) return -1;
    std::uintptr_t target = addr(data) - kMemHeaderSize;
    for (MemBlockHeader* p = pool.first; p != nullptr; p = nextOf(pool, p)) {
        MemBlockHeader* n = nextOf(pool, p);
        if (n != nullptr && addr(n) == target) {
            p->next = n->next;
            return 0;
        }
    }
    return -1;
}

void mem_SetBlockId(void* data, std::uint32_t id) {
    if (data == nullptr || id >= kMemCounterStart) return;
    if (MemBlockHeader* h = findAnyPool(data)) h->number = id;
}

void* mem_GetScratch(std::uint32_t size) {
    if (g_mem.scratchPool.base == nullptr) return nullptr;
    return withPool(g_mem.scratchPool, [size] { return mem_GetMemEx(size, 4, 0, nullptr); });
}

int mem_FreeScratch(void* data) {
    return withPool(g_mem.scratchPool, [data] { return mem_Free(data); });
}

void* mem_GetArchiveMem(std::uint32_t size, const char* name) {
    if (g_mem.archivePool.base == nullptr) return nullptr;
    return withPool(g_mem.archivePool, [size, name] { return mem_GetMemEx(size, 4, 0, name); });
}

int mem_FreeArchiveMem(void* data) {
    return withPool(g_mem.archivePool, [data] { return mem_Free(data); });
}

std::uint32_t mem_BlockSize(const void* data) {
    const MemBlockHeader* h = findAnyPool(data);
    return h ? h->size : 0;
}

std::uint32_t mem_BlockId(const void* data) {
    const MemBlockHeader* h = findAnyPool(data);
    return h ? h->number : 0;
}

const char* mem_BlockName(const void* data) {
    const MemBlockHeader* h = findAnyPool(data);
    if (h == nullptr || h->name >= g_mem.tagNames.size()) return "";
    return g_mem.tagNames[h->name].c_str();
}

int mem_LiveBlocks(const MemPool& pool) {
    int n = 0;
    if (pool.first)
        for (const MemBlockHeader* h = nextOf(pool, pool.first); h; h = nextOf(pool, h)) ++n;
    return n;
}

std::uint64_t mem_LiveBytes(const MemPool& pool) {
    std::uint64_t n = 0;
    if (pool.first)
        for (const MemBlockHeader* h = nextOf(pool, pool.first); h; h = nextOf(pool, h)) n += h->size;
    return n;
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SORTIE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define SORTIE_ASAN 1
#endif

#if defined(__linux__) && defined(MADV_HUGEPAGE) && !defined(SORTIE_ASAN)
namespace {
constexpr std::size_t kHugePage = std::size_t(2) << 20;
// Below this a block comes from the heap: the huge page would be mostly waste. Above it one
// huge page costs less than the small pages' faults.
constexpr std::size_t kLargeMinimum = std::size_t(512) << 10;
std::size_t mappedSize(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }
}  // namespace

void* mem_LargeAlloc(std::size_t bytes) {
    if (bytes < kLargeMinimum) return std::calloc(bytes ? bytes : 1, 1);
    if (bytes > SIZE_MAX / 2) return nullptr;
    // Map one huge page more than needed and give back the ends, so the block starts on a
    // huge page boundary; anonymous memory reads as zero until written.
    const std::size_t size = mappedSize(bytes);
    void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const std::uintptr_t tail = aligned + size, end = start + size + kHugePage;
    if (end > tail) munmap(reinterpret_cast<void*>(tail), end - tail);
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void mem_LargeFree(void* block, std::size_t bytes) {
    if (!block) return;
    if (bytes < kLargeMinimum) {
        std::free(block);
        return;
    }
    munmap(block, mappedSize(bytes));
}
#else
// Elsewhere, and under the address sanitizer (which watches heap blocks, not mappings), the
// heap serves.
void* mem_LargeAlloc(std::size_t bytes) { return std::calloc(bytes ? bytes : 1, 1); }
void mem_LargeFree(void* block, std::size_t) { std::free(block); }
#endif
