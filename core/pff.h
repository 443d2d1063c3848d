// The PFF archive format: opening an archive (a disk file or bytes in memory) and reading its
// directory and members, and packing files into archive bytes. The registry of archives the
// file layer searches, and writing an archive to disk, are the file layer's (core/file.h).
//
// Archive layout (all integers 32-bit little-endian):
//   header, 20 bytes: header size (>= 20), unread word, entry count, entry size (unread:
//   every entry is taken as 32 bytes), directory offset;
//   directory, entry count x 32 bytes: 2 unread bytes, flags (bit 0: scrambled), 1 unread
//   byte, member offset, member size, unread word, 16 name bytes (NUL-terminated when
//   shorter than 16).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t kPffHeaderSize = 20;
constexpr std::uint32_t kPffEntrySize = 32;
constexpr std::size_t kPffPathMax = 127;
constexpr std::uint32_t kPffScrambleSeed = 0x6B2D91F4;

struct PffEntry {
    std::uint8_t flags = 0;    // bit 0: the member is scrambled
    std::uint32_t offset = 0;  // file offset of the member's first byte
    std::uint32_t size = 0;
    char name[17] = {};  // the 16 name bytes of the entry, always terminated here
};

// One opened archive. Lives in the archive pool under "PFF STRUCT"; its directory, parsed
// into PffEntry records, under "PFF HEADERS". The archive's bytes come from its disk file
// (kept open for the whole run) or, for archives opened from memory, from a caller's buffer.
struct PffArchive {
    int handle = -1;                       // disk file; -1 for a memory archive
    const std::uint8_t* memory = nullptr;  // memory archive bytes (not owned)
    std::uint64_t fileSize = 0;            // bytes in the archive file
    std::uint64_t filePos = 0;             // read position in the archive file
    char path[kPffPathMax + 1] = {};
    std::array<std::uint8_t, kPffHeaderSize> header = {};
    PffEntry* directory = nullptr;
    std::uint32_t entryCount = 0;
    int currentEntry = -1;      // the member opened last
    std::int32_t position = 0;  // read position within the current member
    bool open = false;
    std::uint32_t lastSize = 0;
    bool failed = false;
};

// Opens the archive file at path, taken as written; nullptr when it is missing, not a regular
// file or not a valid archive.
PffArchive* pff_OpenArchive(const char* path);
// Opens an archive held in memory (the buffer must outlive the archive); name serves as its
// path. The same checks as for a disk archive apply.
PffArchive* pff_OpenArchiveMemory(const void* data, std::size_t size, const char* name);
// Closes an archive that is not registered and releases its records.
void pff_CloseArchive(PffArchive* archive);

// The member named name, found without regard to case; nullptr when there is none.
const PffEntry* pff_FindMember(const char* name, PffArchive* archive);
int pff_EntryCount(const PffArchive* archive);
const PffEntry* pff_Entry(const PffArchive* archive, int index);

// The bytes of a member that lie inside the archive: a member whose range runs past the end
// of the file has only the bytes that exist.
std::uint32_t pff_MemberSize(const PffArchive* archive, const PffEntry& entry);
// Reads a member whole (unscrambled when flagged) without touching the current file.
bool pff_ReadMember(PffArchive* archive, const PffEntry& entry, std::vector<std::uint8_t>& out);
// Reads up to count bytes at offset of the archive file; the number read.
std::size_t pff_ReadAt(PffArchive* archive, std::uint64_t offset, void* buffer, std::size_t count);
// Scrambles or unscrambles bytes of an archive member in place (the same operation).
void pff_Unscramble(void* data, std::size_t size);

// One file to pack.
struct PffPackMember {
    std::string name;                // member name, 1 to 15 characters, no folder part
    std::vector<std::uint8_t> data;  // plain bytes
    bool scramble = false;           // store scrambled, flag bit 0 set
};

// The archive bytes for members, in order: header, directory, then the members' bytes.
// false (with error set) for a name that is empty, too long, has a folder part or repeats
// another without regard to case, or for an archive beyond 4 GiB.
bool pff_BuildArchive(const std::vector<PffPackMember>& members, std::vector<std::uint8_t>& out, std::string& error);
