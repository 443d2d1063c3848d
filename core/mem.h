// The memory manager: three pools taken from the process heap once at start-up, each a
// first-fit allocator in address order whose blocks carry a 16-byte header with a size, a
// number and a tag name, so that a failed or traced request can be reported by name.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

// Large blocks (megabytes) straight from the system, zero-filled. Where the system offers huge
// pages on request the block is aligned to them and asks for them: the zeroes cost nothing
// until a page is touched, and filling the block then takes a page fault per 2 MiB instead of
// one per 4 KiB, which is most of the time of opening a mission otherwise. nullptr when the
// memory cannot be had; mem_LargeFree takes the same size back.
void* mem_LargeAlloc(std::size_t bytes);
void mem_LargeFree(void* block, std::size_t bytes);

// A fixed number of zeroed values in one large block: terrain maps, frame buffers. assignZero
// replaces the block with a fresh zeroed one, so clearing costs no writes either. Copies are
// deep; a failed allocation throws std::bad_alloc, as a vector's does.
template <typename T>
class LargeArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    LargeArray() = default;
    explicit LargeArray(std::size_t count) { assignZero(count); }
    LargeArray(const LargeArray& other) : LargeArray(other.count_) { std::copy(other.begin(), other.end(), data_); }
    LargeArray(LargeArray&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), count_(std::exchange(other.count_, 0)) {}
    LargeArray& operator=(LargeArray other) noexcept {
        std::swap(data_, other.data_);
        std::swap(count_, other.count_);
        return *this;
    }
    ~LargeArray() { release(); }

    void assignZero(std::size_t count) {
        release();
        if (count == 0) return;
        if (count > SIZE_MAX / 2 / sizeof(T)) throw std::bad_alloc();
        data_ = static_cast<T*>(mem_LargeAlloc(count * sizeof(T)));
        if (!data_) throw std::bad_alloc();
        count_ = count;
    }
    void release() noexcept {
        if (data_) mem_LargeFree(data_, count_ * sizeof(T));
        data_ = nullptr;
        count_ = 0;
    }

    T* data() { return data_; }
    const T* data() const { return data_; }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    T* begin() { return data_; }
    T* end() { return data_ + count_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + count_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    friend bool operator==(const LargeArray& a, const LargeArray& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    T* data_ = nullptr;
    std::size_t count_ = 0;
};

// A base for records of megabytes (the mission pages, copies of their tables): what is made of
// them with new lives in a large block, filled a huge page at a time.
struct LargeObject {
    static void* operator new(std::size_t bytes) {
        if (void* block = mem_LargeAlloc(bytes)) return block;
        throw std::bad_alloc();
    }
    static void operator delete(void* block, std::size_t bytes) { mem_LargeFree(block, bytes); }
};

// The number every pool's counter starts at; caller identifiers stay below it.
constexpr std::uint32_t kMemCounterStart = 0x1000000;
constexpr std::uint32_t kMemDefaultPoolSize = 0xF00000;  // 15 MiB
constexpr std::uint32_t kMemMainPoolSize = 0x1400000;    // 20 MiB, set by start-up
constexpr std::uint32_t kMemHeaderSize = 16;

// The 16 bytes in front of every block's data. Pointers are 8 bytes on 64-bit hosts, so the
// two references are kept as 32-bit numbers to hold the header at 16 bytes (and with it the
// placement of every block):
// - name is an index into the manager's tag table (MemState::tagNames, 0 for no tag);
// - next is the byte offset of the next header from the pool's base (0 for none: offset 0
//   is the base block, which is never anybody's successor).
// Pools are therefore limited to 4 GiB, far above the sizes in use. Block data is placed at a
// multiple of 4 even when a smaller alignment is asked for, which keeps every header aligned.
struct MemBlockHeader {
    std::uint32_t size;    // bytes requested
    std::uint32_t number;  // counter at allocation, or a caller's id below kMemCounterStart
    std::uint32_t name;    // tag index
    std::uint32_t next;    // offset of the next header in address order, 0 for the last
};
static_assert(sizeof(MemBlockHeader) == kMemHeaderSize);

struct MemPool {
    std::byte* base = nullptr;
    std::uint32_t size = 0;
    MemBlockHeader* first = nullptr;
    std::uint32_t counter = kMemCounterStart;
    std::uint32_t reserved[2] = {0, 0};
};

// The three pools and the manager's settings. One instance for the process; tests reset it
// with mem_Shutdown.
struct MemState {
    MemPool mainPool;
    MemPool scratchPool;
    MemPool archivePool;
    MemPool* current = &mainPool;
    std::uint32_t poolSizeSetting = 0;  // 0: kMemDefaultPoolSize
    int debugLevel = 2;                 // >= 2 reports failures, >= 10 every request

    // Tag texts, interned by content so a caller may pass a temporary string. Index 0 is
    // the empty tag of untagged blocks. A deque keeps the texts in place as it grows.
    std::deque<std::string> tagNames;
    std::unordered_map<std::string_view, std::uint32_t> tagIndex;

    // Called by mem_Shutdown before the pools' memory goes, so units that keep records in
    // the pools (the archive registry) can forget them.
    std::vector<void (*)()> shutdownHooks;
};
MemState& mem_State();

// Creates start-up's three pools (main at kMemMainPoolSize, scratch and archive at the
// default). 0, or -1 when any pool could not be had. Pools that already exist are shut down
// first (with the shutdown hooks), so a restart never leaves records pointing into them.
int mem_Startup();
// Releases every pool's memory and resets the state (tests; the editor never calls it).
// Runs the shutdown hooks first.
void mem_Shutdown();
// Registers fn to run at mem_Shutdown (once per function; repeated calls are ignored).
void mem_OnShutdown(void (*fn)());

int mem_InitPool(MemPool& pool, std::uint32_t poolSizeSetting);
void* mem_GetMemEx(std::uint32_t size, std::uint32_t alignment, std::uint32_t reserved, const char* name);
void* mem_GetMem(std::uint32_t size, std::uint32_t alignment, std::uint32_t reserved);
int mem_Free(void* data);
void mem_SetBlockId(void* data, std::uint32_t id);
void* mem_GetScratch(std::uint32_t size);
int mem_FreeScratch(void* data);
void* mem_GetArchiveMem(std::uint32_t size, const char* name);
int mem_FreeArchiveMem(void* data);

// The size a live block was requested with (0 for none); lets readers check their bounds.
std::uint32_t mem_BlockSize(const void* data);
// The number field of a live block (0 for none or a block no pool holds).
std::uint32_t mem_BlockId(const void* data);
// The tag a live block was allocated with ("" for untagged, none or unknown blocks).
const char* mem_BlockName(const void* data);
// Live blocks of a pool, the base block excluded, and the bytes they requested.
int mem_LiveBlocks(const MemPool& pool);
std::uint64_t mem_LiveBytes(const MemPool& pool);
