// The file layer. Disk files go through the POSIX descriptor calls; archive members are read
// from their archive with positioned reads, so the archive's own read position lives in its
// record and no two members disturb each other's file offset.
#include "core/file.h"
#include "core/nocase.h"

#include "core/mem.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

FileState g_file;

constexpr auto equalNoCase = nocase_Equal;

void forgetArchives() { file_Reset(); }

// The registry is kept in the archive pool, so it must be emptied before the pools go.
void watchPools() { mem_OnShutdown(forgetArchives); }

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The entry of folder dir whose name equals name without regard to case; the smallest such
// name in byte order when several do, so the answer does not depend on directory order.
std::optional<std::string> findNoCase(const std::string& dir, const std::string& name) {
    std::error_code ec;
    fs::directory_iterator it(dir.empty() ? fs::path(".") : fs::path(dir), ec);
    std::optional<std::string> best;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string n = it->path().filename().string();
        if (equalNoCase(n, name) && (!best || n < *best)) best = n;
    }
    return best;
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

// Where a lookup found a file.
struct Location {
    enum class Kind { None, Disk, Member } kind = Kind::None;
    std::string diskPath;
    int slot = -1;
    const PffEntry* entry = nullptr;
};

Location findOnDisk(const char* path) {
    Location loc;
    std::string disk = file_DiskPath(path);
    if (isRegularFile(disk)) {
        loc.kind = Location::Kind::Disk;
        loc.diskPath = std::move(disk);
    }
    return loc;
}

Location findInArchives(const char* path) {
    Location loc;
    for (int slot = 0; slot < kPffMaxArchives; ++slot) {
        PffArchive* a = g_file.registry[slot];
        if (a == nullptr) continue;
        if (const PffEntry* e = pff_FindMember(path, a)) {
            loc.kind = Location::Kind::Member;
            loc.slot = slot;
            loc.entry = e;
            return loc;
        }
    }
    return loc;
}

// The search order every lookup by path uses: with the disk-first switch on, the disk and
// then the archives; with it off, the archives only, or the disk when none is registered.
Location locate(const char* path) {
    if (path == nullptr || *path == '\0') return {};
    if (g_file.diskFirst) {
        Location loc = findOnDisk(path);
        if (loc.kind != Location::Kind::None) return loc;
        return findInArchives(path);
    }
    if (g_file.count > 0) return findInArchives(path);
    return findOnDisk(path);
}

void closeDisk() {
    if (g_file.diskHandle >= 0) ::close(g_file.diskHandle);
    g_file.diskHandle = -1;
}

void recount() {
    g_file.count = static_cast<int>(
        std::count_if(g_file.registry.begin(), g_file.registry.end(), [](PffArchive* a) { return a != nullptr; }));
}

int openRead(const std::string& path) {
    int fd;
    do fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    g_file.diskError = fd < 0;
    return fd;
}

std::size_t readFull(int fd, void* buffer, std::size_t count) {
    std::size_t done = 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (done < count) {
        ssize_t n = ::read(fd, out + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool writeFull(int fd, const void* buffer, std::size_t count) {
    std::size_t done = 0;
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    while (done < count) {
        ssize_t n = ::write(fd, in + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The path to create or replace: folders resolved as for reading, and the file itself under
// the spelling of an existing file that differs only in case, so saving "MAP.MIS" over
// "map.mis" replaces that file rather than adding a second one beside it.
std::string writePath(const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    std::size_t slash = p.find_last_of('/');
    std::string dir = slash == std::string::npos ? "" : p.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    if (!dir.empty()) {
        std::string trimmed = dir.size() > 1 ? dir.substr(0, dir.size() - 1) : dir;
        dir = file_DiskPath(trimmed);
        if (dir != "/") dir += "/";
    }
    std::string full = dir + name;
    struct stat st {};
    if (!name.empty() && ::lstat(full.c_str(), &st) != 0)
        if (auto other = findNoCase(dir, name)) full = dir + *other;
    return full;
}

// Removes the temporaries of one target (".NAME.sortie-PID-XXXXXX") whose process no longer
// runs: a write killed in mid-write left them. Another running process may be writing the
// same target right now, so its temporaries stay.
void removeStaleTemps(const std::string& prefix) {
    const fs::path pre(prefix);
    const std::string stem = pre.filename().string();
    std::error_code ec;
    fs::directory_iterator it(pre.parent_path().empty() ? fs::path(".") : pre.parent_path(), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0) continue;
        const std::string rest = name.substr(stem.size());  // PID-XXXXXX
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos || rest.size() - dash - 1 != 6) continue;
        long pid = 0;
        bool digits = true;
        for (std::size_t k = 0; k < dash; ++k) {
            if (rest[k] < '0' || rest[k] > '9' || pid > 100000000) {
                digits = false;
                break;
            }
            pid = pid * 10 + (rest[k] - '0');
        }
        if (!digits || pid <= 0) continue;
        const bool running = pid != ::getpid() && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
        if (running) continue;
        std::error_code rm;
        if (fs::is_regular_file(it->path(), rm)) fs::remove(it->path(), rm);
    }
}

}  // namespace

FileState& file_State() { return g_file; }

std::string file_DiskPath(const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    if (p.empty()) return p;
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0) return p;

    // Walk the components, taking each as written when it exists and else the entry of its
    // folder that matches without regard to case.
    std::string out = p[0] == '/' ? "/" : "";
    std::size_t i = 0;
    while (i < p.size()) {
        std::size_t j = p.find('/', i);
        if (j == std::string::npos) j = p.size();
        std::string comp = p.substr(i, j - i);
        i = j + 1;
        if (comp.empty()) continue;
        std::string exact = joinPath(out, comp);
        if (comp == "." || comp == ".." || ::lstat(exact.c_str(), &st) == 0) {
            out = exact;
            continue;
        }
        auto found = findNoCase(out, comp);
        if (!found) return p;
        out = joinPath(out, *found);
    }
    return out;
}

void file_Reset() {
    closeDisk();
    for (PffArchive*& a : g_file.registry) {
        pff_CloseArchive(a);
        a = nullptr;
    }
    g_file = FileState{};
}

int pff_RegisterArchives(const char* first, const char* second, const char* third) {
    watchPools();
    // The archives of an earlier registration are closed: nothing can reach them any more.
    if (g_file.currentSlot >= 0) g_file.currentSlot = -1;
    for (PffArchive*& a : g_file.registry) {
        pff_CloseArchive(a);
        a = nullptr;
    }
    recount();
    for (const char* path : {first, second, third})
        if (path != nullptr) pff_AddArchive(pff_OpenArchive(file_DiskPath(path).c_str()));
    return 0;
}

void pff_AddArchive(PffArchive* archive) {
    watchPools();
    for (PffArchive*& slot : g_file.registry)
        if (slot == nullptr) {
            slot = archive;
            break;
        }
    recount();
}

int pff_ArchiveCount() { return g_file.count; }

PffArchive* pff_Archive(int slot) {
    if (slot < 0 || slot >= kPffMaxArchives) return nullptr;
    return g_file.registry[slot];
}

int file_SetDiskFirst(int on) {
    int previous = g_file.diskFirst;
    g_file.diskFirst = on ? 1 : 0;
    return previous;
}

int file_OpenEx(const char* path) {
    Location loc = locate(path);
    switch (loc.kind) {
    case Location::Kind::Disk: {
        // One current file: a disk file still open from before would be unreachable.
        closeDisk();
        int fd = openRead(loc.diskPath);
        g_file.currentSlot = -1;
        g_file.diskHandle = fd;
        return fd;
    }
    case Location::Kind::Member: {
        closeDisk();
        PffArchive* a = g_file.registry[loc.slot];
        a->currentEntry = static_cast<int>(loc.entry - a->directory);
        a->filePos = loc.entry->offset;
        a->position = 0;
        g_file.currentSlot = loc.slot;
        return 1;
    }
    case Location::Kind::None: break;
    }
    return -1;
}

int file_Read(void* buffer, std::int32_t count) {
    if (buffer == nullptr || count <= 0) return 0;
    if (g_file.currentSlot >= 0) {
        PffArchive* a = g_file.registry[g_file.currentSlot];
        if (a == nullptr) return 0;
        // Reads are not limited to the member: they go on in the archive file as it lies.
        std::size_t n = pff_ReadAt(a, a->filePos, buffer, static_cast<std::size_t>(count));
        a->filePos += n;
        a->position += static_cast<std::int32_t>(n);
        return static_cast<int>(n);
    }
    if (g_file.diskHandle < 0) return 0;
    ssize_t n;
    do n = ::read(g_file.diskHandle, buffer, static_cast<std::size_t>(count));
    while (n < 0 && errno == EINTR);
    g_file.diskError = n < 0;
    return n < 0 ? 0 : static_cast<int>(n);
}

std::int32_t file_Seek(std::int32_t offset, int origin) {
    if (g_file.currentSlot >= 0) {
        PffArchive* a = g_file.registry[g_file.currentSlot];
        if (a == nullptr || a->currentEntry < 0) return -1;
        const PffEntry& e = a->directory[a->currentEntry];
        std::int64_t base = e.offset;
        std::int64_t target;
        switch (origin) {
        case 0: target = base + offset; break;
        case 1: target = base + a->position + offset; break;
        case 2: target = base + pff_MemberSize(a, e) + offset; break;
        default: return -1;
        }
        // A position before the start of the file, or one the 32-bit result cannot
        // express, is refused and the position stays where it was.
        if (target < 0 || target - base > INT32_MAX || target - base < INT32_MIN) return -1;
        a->filePos = static_cast<std::uint64_t>(target);
        a->position = static_cast<std::int32_t>(target - base);
        return a->position;
    }
    if (g_file.diskHandle < 0) return -1;
    int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : -1;
    if (whence < 0) return -1;
    off_t pos = ::lseek(g_file.diskHandle, offset, whence);
    g_file.diskError = pos < 0;
    if (pos < 0 || pos > INT32_MAX) return -1;
    return static_cast<std::int32_t>(pos);
}

void file_Close() {
    if (g_file.currentSlot >= 0) return;
    closeDisk();
}

std::int32_t file_FileSizeEx(const char* path) {
    Location loc = locate(path);
    if (loc.kind == Location::Kind::Disk) {
        struct stat st {};
        if (::stat(loc.diskPath.c_str(), &st) != 0 || st.st_size > INT32_MAX) return -1;
        return static_cast<std::int32_t>(st.st_size);
    }
    if (loc.kind == Location::Kind::Member) {
        PffArchive* a = g_file.registry[loc.slot];
        a->currentEntry = static_cast<int>(loc.entry - a->directory);
        a->filePos = loc.entry->offset;
        a->position = 0;
        std::uint32_t size = pff_MemberSize(a, *loc.entry);
        return size > INT32_MAX ? -1 : static_cast<std::int32_t>(size);
    }
    return -1;
}

void* file_LoadFileEx(const char* path) {
    Location loc = locate(path);
    if (loc.kind == Location::Kind::Disk) {
        int fd = openRead(loc.diskPath);
        if (fd < 0) return nullptr;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > 0xFFFFFFFFu) {
            ::close(fd);
            return nullptr;
        }
        auto size = static_cast<std::uint32_t>(st.st_size);
        void* block = mem_GetMemEx(size, 4, 0, "LOADED FILE");
        if (block == nullptr) {
            ::close(fd);
            return nullptr;
        }
        std::size_t got = readFull(fd, block, size);
        ::close(fd);
        // A file that shrank while being read leaves zeroes, never stale pool bytes.
        if (got < size) std::memset(static_cast<std::uint8_t*>(block) + got, 0, size - got);
        g_file.lastLoadedSize = size;
        return block;
    }
    if (loc.kind == Location::Kind::Member) {
        PffArchive* a = g_file.registry[loc.slot];
        const PffEntry& e = *loc.entry;
        a->currentEntry = static_cast<int>(loc.entry - a->directory);
        std::uint32_t size = pff_MemberSize(a, e);
        void* block = mem_GetMemEx(size, 4, 0, "PFF LOADED FILE");
        if (block == nullptr) return nullptr;
        std::size_t got = pff_ReadAt(a, e.offset, block, size);
        if (got < size) std::memset(static_cast<std::uint8_t*>(block) + got, 0, size - got);
        a->filePos = e.offset + got;
        a->position = static_cast<std::int32_t>(got);
        a->lastSize = size;
        g_file.lastLoadedSize = size;
        if (e.flags & 1) pff_Unscramble(block, size);
        return block;
    }
    return nullptr;
}

std::uint32_t file_LastLoadedSize() { return g_file.lastLoadedSize; }

int file_Exists(const char* path) { return locate(path).kind == Location::Kind::None ? 0 : 1; }

int file_Create(const char* path) {
    closeDisk();
    g_file.currentSlot = -1;
    if (path == nullptr || *path == '\0') {
        g_file.diskError = true;
        return -1;
    }
    std::string target = writePath(path);
    int fd;
    do fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    g_file.diskError = fd < 0;
    g_file.diskHandle = fd;
    return fd;
}

int file_Write(const void* buffer, std::int32_t count) {
    if (g_file.currentSlot >= 0 || g_file.diskHandle < 0) return -1;
    if (count <= 0) return 0;
    if (buffer == nullptr) return -1;
    bool ok = writeFull(g_file.diskHandle, buffer, static_cast<std::size_t>(count));
    g_file.diskError = !ok;
    return ok ? count : -1;
}

bool file_WriteAtomic(const std::string& path, const void* data, std::size_t size) {
    int& error = g_file.writeError;
    error = 0;
    if (path.empty() || (data == nullptr && size != 0)) {
        error = EINVAL;
        return false;
    }
    std::string target = writePath(path);
    struct stat st {};
    bool existed = ::stat(target.c_str(), &st) == 0;
    if (existed && !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }

    const std::string prefix = file_TempPrefix(target);
    std::string temp = prefix + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = errno;
        return false;
    }
    // mkstemp makes the file private; give it the mode the file had, or the usual one.
    mode_t mode = existed ? (st.st_mode & 07777) : 0644;
    (void)::fchmod(fd, mode);
    // The first step that fails gives the reason; a write that stops short without one
    // (no room for another byte) counts as a full disk.
    errno = 0;
    bool ok = writeFull(fd, data, size);
    if (!ok) error = errno ? errno : ENOSPC;
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        error = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(name.data(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) ::unlink(name.data());
    if (ok) removeStaleTemps(prefix);
    return ok;
}

std::string file_TempPrefix(const std::string& target) {
    const fs::path p(target);
    return (p.parent_path() / ("." + p.filename().string() + ".sortie-")).string();
}

SmallFile file_ReadSmall(const std::string& path, std::size_t cap, std::string& text) {
    text.clear();
    // Non-blocking, so that opening a FIFO returns at once; the type is checked on the open
    // descriptor, so a file swapped after a check cannot slip through.
    int fd;
    do fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == ENOENT ? SmallFile::Missing : (errno == ENXIO ? SmallFile::NotRegular : SmallFile::Unreadable);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool stated = st.st_mode != 0;
        ::close(fd);
        return stated ? SmallFile::NotRegular : SmallFile::Unreadable;
    }
    text.resize(cap + 1);
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            text.clear();
            return SmallFile::Unreadable;
        }
        if (n == 0) break;
        got += std::size_t(n);
    }
    ::close(fd);
    const bool tooLarge = got > cap;
    text.resize(std::min(got, cap));
    return tooLarge ? SmallFile::TooLarge : SmallFile::Ok;
}

bool file_ValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t more;
        std::uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1, cp = c & 0x1Fu;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2, cp = c & 0x0Fu;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3, cp = c & 0x07u;
        } else {
            return false;
        }
        if (i + more >= text.size()) return false;  // cut short
        for (std::size_t k = 1; k <= more; ++k) {
            const unsigned char d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3Fu);
        }
        // Overlong forms, surrogates and values beyond the last code point.
        if ((more == 2 && cp < 0x800) || (more == 3 && cp < 0x10000) || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += more + 1;
    }
    return true;
}

int file_TryLock(const std::string& path) {
    int fd;
    do fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void file_Unlock(int fd) {
    if (fd < 0) return;
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

int file_LastWriteError() { return g_file.writeError; }

bool set_Extension(char* name, std::size_t capacity, const char* ext) {
    if (!name || !ext || capacity == 0) return false;
    const std::size_t len = strnlen(name, capacity);
    if (len == capacity) return false;  // not terminated within its buffer
    const std::size_t extLen = std::strlen(ext);
    const char* dot = static_cast<const char*>(std::memchr(name, '.', len));
    const std::size_t stem = dot ? static_cast<std::size_t>(dot - name) : len;
    if (stem + 1 + extLen + 1 > capacity) return false;
    name[stem] = '.';
    std::memcpy(name + stem + 1, ext, extLen);
    name[stem + 1 + extLen] = '\0';
    return true;
}

bool pff_WriteArchive(const std::string& path, const std::vector<PffPackMember>& members, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!pff_BuildArchive(members, bytes, error)) return false;
    if (!file_WriteAtomic(path, bytes.data(), bytes.size())) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
