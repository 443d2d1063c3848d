// The file layer: one current file at a time, found on disk or in one of up to 16
// registered PFF archives under the same name, plus creation and writing of disk files.
#pragma once

#include "core/pff.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int kPffMaxArchives = 16;

// The archive registry: the archives lookups by name search, in slot order.
// Registering closes the archives registered before and opens the given ones (found on disk
// as file_DiskPath finds them); a missing or invalid archive takes no slot.
int pff_RegisterArchives(const char* first, const char* second, const char* third = nullptr);
// Stores an opened archive in the first free slot; the registry owns it from then on. An
// archive with no free slot left is not stored (the caller keeps it); nullptr changes nothing.
void pff_AddArchive(PffArchive* archive);
int pff_ArchiveCount();
PffArchive* pff_Archive(int slot);  // nullptr for an empty slot

// The layer's state. One instance for the process; file_Reset clears it.
struct FileState {
    int diskHandle = -1;   // current disk file, -1 for none
    int currentSlot = -1;  // registry slot of the current member, -1: disk
    std::uint32_t lastLoadedSize = 0;
    int diskFirst = 0;
    bool diskError = false;
    int writeError = 0;  // errno of the step where the last safe write failed
    std::array<PffArchive*, kPffMaxArchives> registry = {};
    int count = 0;
};
FileState& file_State();

// Layer state: start-up clears it before anything is registered; tests too. Closes the
// current disk file and every registered archive.
void file_Reset();
int file_SetDiskFirst(int on);  // the previous setting

int file_OpenEx(const char* path);  // >= 0 on success, -1 found nowhere
int file_Read(void* buffer, std::int32_t count);
std::int32_t file_Seek(std::int32_t offset, int origin);
void file_Close();
std::int32_t file_FileSizeEx(const char* path);
void* file_LoadFileEx(const char* path);  // a main-pool block, or nullptr
std::uint32_t file_LastLoadedSize();
int file_Exists(const char* path);
int file_Create(const char* path);
int file_Write(const void* buffer, std::int32_t count);

// Writes a whole file safely: to a temporary file beside it, then renamed into place, so a
// failed write never leaves the user's file half written. true on success. The temporary is
// named ".NAME.sortie-PID-XXXXXX" (hidden, and recognisably this program's); after a
// successful write, temporaries of the same target left by processes that no longer run (a
// save killed in mid-write) are removed.
bool file_WriteAtomic(const std::string& path, const void* data, std::size_t size);
// The prefix of the temporaries file_WriteAtomic makes for target (tests).
std::string file_TempPrefix(const std::string& target);

// Reads a small text file of the program's own (settings, notes): only a regular file (never
// a FIFO, device or folder, which could block or never end), and at most cap bytes of it.
enum class SmallFile { Ok, Missing, NotRegular, TooLarge, Unreadable };
// text holds what was read: the whole file (Ok) or its first cap bytes (TooLarge).
SmallFile file_ReadSmall(const std::string& path, std::size_t cap, std::string& text);
// Whether text is well-formed UTF-8.
bool file_ValidUtf8(std::string_view text);

// An advisory lock on path (the file is made when missing), held by this process until
// file_Unlock or its end. The descriptor, or -1 when another process holds the lock or the
// file cannot be made.
int file_TryLock(const std::string& path);
void file_Unlock(int fd);
// The system's error number for the step where the last file_WriteAtomic failed (creating
// the temporary, writing, flushing, closing or renaming it), so the user is told the real
// cause, say a full disk; 0 after a write that succeeded.
int file_LastWriteError();

// The disk path a name from game data or the user stands for: backslashes are folder
// separators, and a file or folder not found as written is looked for without regard to
// case in its folder. Names still not found come back with separators converted only.
std::string file_DiskPath(const std::string& path);

// Builds an archive of members (pff_BuildArchive) and writes it to path safely
// (file_WriteAtomic). false with error set when either fails.
bool pff_WriteArchive(const std::string& path, const std::vector<PffPackMember>& members, std::string& error);

// Replaces everything after the first '.' of name with ext (or appends "." and ext).
// false, with name unchanged, when the result would not fit in capacity bytes.
bool set_Extension(char* name, std::size_t capacity, const char* ext);
