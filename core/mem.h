// The memory manager: three pools taken from the process heap once at start-up, each a
// first-fit allocator in address order whose blocks carry a 16-byte header with a size, a
// number and a tag name, so that a failed or traced request can be reported by name.
#pragma once

#include <cstddef>
#include <cstdint>

// The number every pool's counter starts at; caller identifiers stay below it.
constexpr std::uint32_t kMemCounterStart = 0x1000000;
constexpr std::uint32_t kMemDefaultPoolSize = 0xF00000;   // 15 MiB
constexpr std::uint32_t kMemMainPoolSize = 0x1400000;     // 20 MiB, set by start-up

struct MemBlockHeader;

struct MemPool {
    std::byte* base = nullptr;
    std::uint32_t size = 0;
    MemBlockHeader* first = nullptr;
    std::uint32_t counter = kMemCounterStart;
    std::uint32_t reserved[2] = {0, 0};
};

// The three pools and the manager's settings. One instance for the process; tests reset it.
struct MemState {
    MemPool mainPool;
    MemPool scratchPool;
    MemPool archivePool;
    MemPool* current = &mainPool;
    std::uint32_t poolSizeSetting = 0;  // 0: kMemDefaultPoolSize
    int debugLevel = 2;                 // >= 2 reports failures, >= 10 every request
};
MemState& mem_State();

// Creates start-up's three pools (main at kMemMainPoolSize, scratch and archive at the
// default). 0, or -1 when any pool could not be had.
int mem_Startup();
// Releases every pool's memory and resets the state (tests; the editor never calls it).
void mem_Shutdown();

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
