// PFF archives: the record of one opened archive, the file layer's state with the archive
// registry, and the writer that packs files into an archive.
//
// Archive layout (all integers 32-bit little-endian):
//   header, 20 bytes: header size (>= 20), unread word, entry count, entry size (unread:
//   every entry is taken as 32 bytes), directory offset;
//   directory, entry count x 32 bytes: 2 unread bytes, flags (bit 0: scrambled), 1 unread
//   byte, member offset, member size, unread word, 16 name bytes (NUL-terminated when
//   shorter than 16).
#pragma once

#include "core/file.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t kPffHeaderSize = 20;
constexpr std::uint32_t kPffEntrySize = 32;
constexpr std::size_t kPffPathMax = 127;

// One opened archive. Lives in the archive pool under "PFF STRUCT"; its directory, parsed
// into PffEntry records, under "PFF HEADERS". The archive's bytes come from its disk file
// (kept open for the whole run) or, for archives opened from memory, from a caller's buffer.
struct PffArchive {
    int handle = -1;                              // disk file; -1 for a memory archive
    const std::uint8_t* memory = nullptr;         // memory archive bytes (not owned)
    std::uint64_t fileSize = 0;                   // bytes in the archive file
    std::uint64_t filePos = 0;                    // read position in the archive file
    char path[kPffPathMax + 1] = {};
    std::array<std::uint8_t, kPffHeaderSize> header = {};
    PffEntry* directory = nullptr;
    std::uint32_t entryCount = 0;
    int currentEntry = -1;                        // the member opened last
    std::int32_t position = 0;                    // read position within the current member
    bool open = false;
    std::uint32_t lastSize = 0;
    bool failed = false;
};

// The layer's state. One instance for the process; file_Reset clears it.
struct FileState {
    int diskHandle = -1;                          // current disk file, -1 for none
    int currentSlot = -1;                         // registry slot of the current member, -1: disk
    std::uint32_t lastLoadedSize = 0;
    int diskFirst = 0;
    bool diskError = false;
    std::array<PffArchive*, kPffMaxArchives> registry = {};
    int count = 0;
};
FileState& file_State();

// Opens an archive held in memory (the buffer must outlive the archive); name serves as its
// path. The same checks as for a disk archive apply.
PffArchive* pff_OpenArchiveMemory(const void* data, std::size_t size, const char* name);
// Closes an archive that is not registered and releases its records.
void pff_CloseArchive(PffArchive* archive);

// The bytes of a member that lie inside the archive: a member whose range runs past the end
// of the file has only the bytes that exist.
std::uint32_t pff_MemberSize(const PffArchive* archive, const PffEntry& entry);
// Reads a member whole (unscrambled when flagged) without touching the current file.
bool pff_ReadMember(PffArchive* archive, const PffEntry& entry, std::vector<std::uint8_t>& out);
// Reads up to count bytes at offset of the archive file; the number read.
std::size_t pff_ReadAt(PffArchive* archive, std::uint64_t offset, void* buffer, std::size_t count);

// One file to pack.
struct PffPackMember {
    std::string name;                 // member name, 1 to 15 characters, no folder part
    std::vector<std::uint8_t> data;   // plain bytes
    bool scramble = false;            // store scrambled, flag bit 0 set
};

// The archive bytes for members, in order: header, directory, then the members' bytes.
// false (with error set) for a name that is empty, too long, has a folder part or repeats
// another without regard to case, or for an archive beyond 4 GiB.
bool pff_BuildArchive(const std::vector<PffPackMember>& members, std::vector<std::uint8_t>& out,
                      std::string& error);
// Builds the archive and writes it to path safely (file_WriteAtomic).
bool pff_WriteArchive(const std::string& path, const std::vector<PffPackMember>& members, std::string& error);
