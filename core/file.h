// The file layer: one current file at a time, found on disk or in one of up to 16
// registered PFF archives under the same name, plus creation and writing of disk files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int kPffMaxArchives = 16;
constexpr std::uint32_t kPffScrambleSeed = 0x6B2D91F4;

struct PffEntry {
    std::uint8_t flags = 0;           // bit 0: the member is scrambled
    std::uint32_t offset = 0;         // file offset of the member's first byte
    std::uint32_t size = 0;
    char name[17] = {};               // the 16 name bytes of the entry, always terminated here
};

struct PffArchive;  // defined in core/pff.h

// The PFF registry and archive operations.
int pff_RegisterArchives(const char* first, const char* second, const char* third = nullptr);
PffArchive* pff_OpenArchive(const char* path);
void pff_AddArchive(PffArchive* archive);
const PffEntry* pff_FindMember(const char* name, PffArchive* archive);
int pff_ArchiveCount();
PffArchive* pff_Archive(int slot);            // nullptr for an empty slot
int pff_EntryCount(const PffArchive* archive);
const PffEntry* pff_Entry(const PffArchive* archive, int index);

// Layer state: start-up clears it before anything is registered; tests too. Closes the
// current disk file and every registered archive.
void file_Reset();
int file_SetDiskFirst(int on);                // the previous setting

int file_OpenEx(const char* path);            // >= 0 on success, -1 found nowhere
int file_Read(void* buffer, std::int32_t count);
std::int32_t file_Seek(std::int32_t offset, int origin);
void file_Close();
std::int32_t file_FileSizeEx(const char* path);
void* file_LoadFileEx(const char* path);      // a main-pool block, or nullptr
std::uint32_t file_LastLoadedSize();
int file_Exists(const char* path);
int file_Create(const char* path);
int file_Write(const void* buffer, std::int32_t count);

// Writes a whole file safely: to a temporary file beside it, then renamed into place, so a
// failed write never leaves the user's file half written. true on success.
bool file_WriteAtomic(const std::string& path, const void* data, std::size_t size);

// The disk path a name from game data or the user stands for: backslashes are folder
// separators, and a file or folder not found as written is looked for without regard to
// case in its folder. Names still not found come back with separators converted only.
std::string file_DiskPath(const std::string& path);
// Scrambles or unscrambles bytes of an archive member in place (the same operation).
void pff_Unscramble(void* data, std::size_t size);

// Replaces everything after the first '.' of name with ext (or appends "." and ext).
// false, with name unchanged, when the result would not fit in capacity bytes.
bool set_Extension(char* name, std::size_t capacity, const char* ext);
