// Directory listings, string lists and the member-name wildcard test, and the combined
// listing of files on disk and in the registered PFF archives (the terrain list).
//
// Records live in tracked blocks: each carries a tag name, and every live block is on one
// list, so a test can tell that a listing left nothing behind.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------------------
// Tracked memory

struct GmemHeader {
    void* handle;            // what the platform allocation gave
    std::size_t size;        // the caller's area
    std::uint32_t serial;    // from a counter that starts at 0
    const char* tag;         // the copy of the tag behind the area
    std::uint32_t reserved;  // 0
    GmemHeader* prev;        // list of all live tracked blocks, newest first
    GmemHeader* next;
};

struct GmemState {
    GmemHeader* head = nullptr;
    int liveCount = 0;
    std::size_t liveBytes = 0;
    std::uint32_t serial = 0;
    // Tests: the allocation that many requests from now fails (-1: none fails).
    long failAfter = -1;
};
GmemState& gmem_State();

// A zeroed area of size bytes (above 0) tagged with tag; nullptr on failure.
void* gmem_Alloc(const char* tag, std::size_t size);
// Fills the area with 0xDD and returns it to the platform. Areas that are not live tracked
// blocks are left alone.
void gmem_Free(void* area);
// The tag of a live tracked area ("" for anything else).
const char* gmem_Tag(const void* area);

// ---------------------------------------------------------------------------------------
// Directory listings

constexpr unsigned kDirPrefixFolder = 0x100;  // names carry the pattern's folder and a backslash
constexpr unsigned kDirKeepParent = 0x200;    // keep the entry ".."
constexpr unsigned kDirSortNoCase = 0x400;    // sort without regard to case

// Attribute flags of a directory entry.
constexpr std::uint32_t kDirAttrArchive = 1;
constexpr std::uint32_t kDirAttrCompressed = 2;
constexpr std::uint32_t kDirAttrDirectory = 4;
constexpr std::uint32_t kDirAttrHidden = 8;
constexpr std::uint32_t kDirAttrNormal = 16;
constexpr std::uint32_t kDirAttrReadOnly = 32;
constexpr std::uint32_t kDirAttrSystem = 64;
constexpr std::uint32_t kDirAttrTemporary = 128;

// A time in universal time; all zero when the conversion failed.
struct DirTime {
    std::uint8_t day;
    std::uint8_t month;
    std::uint16_t year;
    std::uint8_t hour;
    std::uint8_t minute;
    std::uint8_t second;
    std::uint8_t millisecondLow;  // low byte of the milliseconds
};

struct DirList;

struct DirEntry {
    DirEntry* prev;
    DirEntry* next;
    DirList* owner;
    char* name;          // points at the text behind the record
    std::uint32_t size;  // low 32 bits of the file size
    DirTime created;
    DirTime accessed;
    DirTime written;
    std::uint32_t attributes;
};

struct DirList {
    DirEntry* first;
    DirEntry* last;
    int count;
};

// The entries matching pattern ("*" and "?", without regard to case; the folder part, up to
// the last backslash or slash, is found as the file layer finds folders), in ascending
// order. nullptr when nothing matches or memory runs out.
DirList* dir_List(const char* pattern, unsigned flags);
void dir_Free(DirList* list);

// ---------------------------------------------------------------------------------------
// String lists

struct StrList;

struct StrEntry {
    StrEntry* prev;
    StrEntry* next;
    StrList* owner;
    char* string;  // points at the text behind the record
};

struct StrList {
    StrEntry* first;
    StrEntry* last;
    int count;
};

StrList* strlist_Create();
StrEntry* strlist_Add(StrList* list, const char* string);
StrEntry* strlist_Find(StrList* list, const char* string);
void strlist_Free(StrList* list);

// ---------------------------------------------------------------------------------------

// 1 when name matches pattern: * any run, ? one character, # one digit, @ one ASCII letter,
// + one or more characters, anything else itself without regard to ASCII case.
int name_Match(const char* name, const char* pattern);

// Lower-case unique names of the files matching pattern on disk (sorted without regard to
// case) and in the registered archives (in directory order), searched in the file layer's
// order. nullptr when nothing was found or memory ran out.
StrList* file_ListFiles(const char* pattern);
