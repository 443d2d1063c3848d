#include "core/pff.h"
#include "core/bytes.h"
#include "core/nocase.h"

#include "core/mem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto readU32 = le_Read32;
constexpr auto putU32 = le_Write32;
constexpr auto equalNoCase = nocase_Equal;

PffArchive* newArchiveRecord(const char* path) {
    void* mem = mem_GetArchiveMem(sizeof(PffArchive), "PFF STRUCT");
    if (mem == nullptr) return nullptr;
    auto* a = new (mem) PffArchive{};
    if (path) {
        std::size_t n = std::min(std::strlen(path), kPffPathMax);
        std::memcpy(a->path, path, n);
        a->path[n] = '\0';
    }
    return a;
}

// Reads and checks the header, then reads the directory into the archive pool. The header
// and the whole directory must lie inside the file: a directory that does not is refused
// just like a short header, so no entry is ever made of bytes the file does not have.
bool readDirectory(PffArchive* a) {
    if (a->fileSize < kPffHeaderSize) return false;
    if (pff_ReadAt(a, 0, a->header.data(), kPffHeaderSize) != kPffHeaderSize) return false;
    if (readU32(&a->header[0]) < kPffHeaderSize) return false;
    std::uint64_t count = readU32(&a->header[8]);
    std::uint64_t dirOffset = readU32(&a->header[16]);
    if (dirOffset + count * kPffEntrySize > a->fileSize) return false;
    std::uint64_t bytes = count * sizeof(PffEntry);
    if (bytes > 0xFFFFFFFFu) return false;
    auto* entries = static_cast<PffEntry*>(mem_GetArchiveMem(static_cast<std::uint32_t>(bytes), "PFF HEADERS"));
    if (entries == nullptr) return false;

    // Entries are read in batches and converted field by field.
    constexpr std::uint32_t kBatch = 2048;
    std::vector<std::uint8_t> raw(std::size_t(std::min<std::uint64_t>(count, kBatch)) * kPffEntrySize);
    for (std::uint64_t i = 0; i < count; i += kBatch) {
        std::uint64_t n = std::min<std::uint64_t>(kBatch, count - i);
        std::size_t want = std::size_t(n) * kPffEntrySize;
        if (pff_ReadAt(a, dirOffset + i * kPffEntrySize, raw.data(), want) != want) {
            mem_FreeArchiveMem(entries);
            return false;
        }
        for (std::uint64_t k = 0; k < n; ++k) {
            const std::uint8_t* r = raw.data() + k * kPffEntrySize;
            PffEntry* e = new (&entries[i + k]) PffEntry{};
            e->flags = r[2];
            e->offset = readU32(r + 4);
            e->size = readU32(r + 8);
            // A name that fills all 16 bytes ends there: the record's 17th byte stays 0.
            std::size_t len = 0;
            while (len < 16 && r[16 + len] != 0) ++len;
            std::memcpy(e->name, r + 16, len);
        }
    }
    a->directory = entries;
    a->entryCount = static_cast<std::uint32_t>(count);
    a->open = true;
    return true;
}

}  // namespace

void pff_Unscramble(void* data, std::size_t size) {
    // The state turns by 7 bits a byte, so after 32 bytes it has turned 224 bits, a whole
    // number of turns: the key stream repeats every 32 bytes. One period is computed and
    // then applied eight bytes at a time.
    std::array<std::uint8_t, 32> key;
    std::uint32_t state = kPffScrambleSeed;
    for (auto& k : key) {
        state = (state << 7) | (state >> 25);
        k = static_cast<std::uint8_t>(state);
    }
    std::array<std::uint64_t, 4> words;
    std::memcpy(words.data(), key.data(), key.size());

    auto* p = static_cast<std::uint8_t*>(data);
    std::size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        for (int w = 0; w < 4; ++w) {
            std::uint64_t v;
            std::memcpy(&v, p + i + 8 * w, 8);
            v ^= words[w];
            std::memcpy(p + i + 8 * w, &v, 8);
        }
    }
    for (; i < size; ++i) p[i] ^= key[i & 31];
}

std::size_t pff_ReadAt(PffArchive* a, std::uint64_t offset, void* buffer, std::size_t count) {
    if (a == nullptr || buffer == nullptr || count == 0 || offset >= a->fileSize) return 0;
    if (a->memory != nullptr) {
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, a->fileSize - offset));
        std::memcpy(buffer, a->memory + offset, n);
        return n;
    }
    if (a->handle < 0) return 0;
    std::size_t done = 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (done < count) {
        ssize_t n = ::pread(a->handle, out + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

PffArchive* pff_OpenArchive(const char* path) {
    if (path == nullptr || *path == '\0') return nullptr;
    PffArchive* a = newArchiveRecord(path);
    if (a == nullptr) return nullptr;
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) ::close(fd);
        mem_FreeArchiveMem(a);
        return nullptr;
    }
    a->handle = fd;
    a->fileSize = static_cast<std::uint64_t>(st.st_size);
    if (!readDirectory(a)) {
        pff_CloseArchive(a);
        return nullptr;
    }
    return a;
}

PffArchive* pff_OpenArchiveMemory(const void* data, std::size_t size, const char* name) {
    if (data == nullptr && size != 0) return nullptr;
    PffArchive* a = newArchiveRecord(name);
    if (a == nullptr) return nullptr;
    static const std::uint8_t kEmpty = 0;
    a->memory = data ? static_cast<const std::uint8_t*>(data) : &kEmpty;
    a->fileSize = size;
    if (!readDirectory(a)) {
        pff_CloseArchive(a);
        return nullptr;
    }
    return a;
}

void pff_CloseArchive(PffArchive* a) {
    if (a == nullptr) return;
    if (a->handle >= 0) ::close(a->handle);
    if (a->directory) mem_FreeArchiveMem(a->directory);
    a->~PffArchive();
    mem_FreeArchiveMem(a);
}

const PffEntry* pff_FindMember(const char* name, PffArchive* archive) {
    if (archive == nullptr) return nullptr;
    if (name != nullptr)
        for (std::uint32_t i = 0; i < archive->entryCount; ++i)
            if (equalNoCase(name, archive->directory[i].name)) {
                archive->failed = false;
                return &archive->directory[i];
            }
    archive->failed = true;
    return nullptr;
}

int pff_EntryCount(const PffArchive* archive) { return archive ? static_cast<int>(archive->entryCount) : 0; }

const PffEntry* pff_Entry(const PffArchive* archive, int index) {
    if (archive == nullptr || index < 0 || static_cast<std::uint32_t>(index) >= archive->entryCount) return nullptr;
    return &archive->directory[index];
}

std::uint32_t pff_MemberSize(const PffArchive* archive, const PffEntry& entry) {
    if (archive == nullptr || entry.offset >= archive->fileSize) return 0;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(entry.size, archive->fileSize - entry.offset));
}

bool pff_ReadMember(PffArchive* archive, const PffEntry& entry, std::vector<std::uint8_t>& out) {
    out.clear();
    if (archive == nullptr) return false;
    out.resize(pff_MemberSize(archive, entry));
    out.resize(pff_ReadAt(archive, entry.offset, out.data(), out.size()));
    if (entry.flags & 1) pff_Unscramble(out.data(), out.size());
    return true;
}

bool pff_BuildArchive(const std::vector<PffPackMember>& members, std::vector<std::uint8_t>& out, std::string& error) {
    out.clear();
    for (std::size_t i = 0; i < members.size(); ++i) {
        const std::string& n = members[i].name;
        if (n.empty() || n.size() > 15) {
            error = "member name '" + n + "' must have 1 to 15 characters";
            return false;
        }
        if (n.find_first_of("/\\") != std::string::npos || n.find('\0') != std::string::npos) {
            error = "member name '" + n + "' must not have a folder part";
            return false;
        }
        for (std::size_t k = 0; k < i; ++k)
            if (equalNoCase(members[k].name.c_str(), n.c_str())) {
                error = "member name '" + n + "' given twice";
                return false;
            }
    }
    std::uint64_t total = kPffHeaderSize + std::uint64_t(members.size()) * kPffEntrySize;
    for (const auto& m : members) total += m.data.size();
    if (total > 0xFFFFFFFFu) {
        error = "archive would exceed 4 GiB";
        return false;
    }
    out.assign(static_cast<std::size_t>(total), 0);
    putU32(&out[0], kPffHeaderSize);
    putU32(&out[8], static_cast<std::uint32_t>(members.size()));
    putU32(&out[12], kPffEntrySize);
    putU32(&out[16], kPffHeaderSize);
    std::uint32_t at = kPffHeaderSize + static_cast<std::uint32_t>(members.size()) * kPffEntrySize;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const auto& m = members[i];
        std::uint8_t* e = &out[kPffHeaderSize + i * kPffEntrySize];
        e[2] = m.scramble ? 1 : 0;
        putU32(e + 4, at);
        putU32(e + 8, static_cast<std::uint32_t>(m.data.size()));
        std::memcpy(e + 16, m.name.data(), m.name.size());
        if (!m.data.empty()) {
            std::memcpy(&out[at], m.data.data(), m.data.size());
            if (m.scramble) pff_Unscramble(&out[at], m.data.size());
        }
        at += static_cast<std::uint32_t>(m.data.size());
    }
    return true;
}
