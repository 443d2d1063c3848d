#include "core/dirlist.h"

#include "core/file.h"
#include "core/pff.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

GmemState g_gmem;

// The area starts 16-aligned behind the header, so records with 8-byte members fit it.
constexpr std::size_t kAreaOffset = (sizeof(GmemHeader) + 15) & ~std::size_t(15);

GmemHeader* headerOf(const void* area) {
    for (GmemHeader* h = g_gmem.head; h; h = h->next)
        if (static_cast<const void*>(reinterpret_cast<std::byte*>(h) + kAreaOffset) == area) return h;
    return nullptr;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string lowerString(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

int compareNames(const char* a, const char* b, bool noCase) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(noCase ? lowerAscii(*a) : *a);
        unsigned char y = static_cast<unsigned char>(noCase ? lowerAscii(*b) : *b);
        if (x != y || x == 0) return int(x) - int(y);
    }
}

// The class test of one pattern character against one name character.
enum class Cls { Any, Digit, Letter, Literal };

bool classMatches(Cls cls, char literal, char c) {
    switch (cls) {
    case Cls::Any: return true;
    case Cls::Digit: return c >= '0' && c <= '9';
    case Cls::Letter: return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    case Cls::Literal: return lowerAscii(literal) == lowerAscii(c);
    }
    return false;
}

// Wildcard matching by dynamic programming over (pattern position, name position), so
// patterns with many stars cost the product of the lengths, never an exponential search.
// Each pattern element is a run (any length from min) or one character of a class.
struct Element {
    bool run;
    int min;  // runs: 0 for *, 1 for +
    Cls cls;
    char literal;
};

bool matchElements(const std::vector<Element>& pat, std::string_view name) {
    const std::size_t n = name.size();
    std::vector<char> row(n + 1, 0), next(n + 1, 0);
    row[0] = 1;
    for (const Element& e : pat) {
        std::fill(next.begin(), next.end(), 0);
        if (e.run) {
            // next[j] = some row[k] with k <= j - min.
            bool any = false;
            for (std::size_t j = 0; j <= n; ++j) {
                if (j >= static_cast<std::size_t>(e.min) && row[j - e.min]) any = true;
                next[j] = any;
            }
        } else {
            for (std::size_t j = 1; j <= n; ++j) next[j] = row[j - 1] && classMatches(e.cls, e.literal, name[j - 1]);
        }
        row.swap(next);
    }
    return row[n] != 0;
}

std::vector<Element> memberPattern(std::string_view p) {
    std::vector<Element> out;
    for (char c : p) {
        switch (c) {
        case '*': out.push_back({true, 0, Cls::Any, 0}); break;
        case '+': out.push_back({true, 1, Cls::Any, 0}); break;
        case '?': out.push_back({false, 0, Cls::Any, 0}); break;
        case '#': out.push_back({false, 0, Cls::Digit, 0}); break;
        case '@': out.push_back({false, 0, Cls::Letter, 0}); break;
        default: out.push_back({false, 0, Cls::Literal, c}); break;
        }
    }
    return out;
}

// The platform's directory search knows only * and ?; "*.*" takes every name.
std::vector<Element> diskPattern(std::string_view p) {
    if (p == "*.*") p = "*";
    std::vector<Element> out;
    for (char c : p) {
        if (c == '*')
            out.push_back({true, 0, Cls::Any, 0});
        else if (c == '?')
            out.push_back({false, 0, Cls::Any, 0});
        else
            out.push_back({false, 0, Cls::Literal, c});
    }
    return out;
}

DirTime toDirTime(std::int64_t seconds, std::int64_t nanoseconds) {
    DirTime t{};
    std::time_t s = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (gmtime_r(&s, &tm) == nullptr) return t;
    int year = tm.tm_year + 1900;
    if (year < 1601 || year > 30827) return t;  // outside what the record's times express
    t.day = static_cast<std::uint8_t>(tm.tm_mday);
    t.month = static_cast<std::uint8_t>(tm.tm_mon + 1);
    t.year = static_cast<std::uint16_t>(year);
    t.hour = static_cast<std::uint8_t>(tm.tm_hour);
    t.minute = static_cast<std::uint8_t>(tm.tm_min);
    t.second = static_cast<std::uint8_t>(tm.tm_sec);
    t.millisecondLow = static_cast<std::uint8_t>((nanoseconds / 1000000) & 0xFF);
    return t;
}

// Size, attributes and times of one found entry. Creation time is the birth time where the
// file system keeps one, else the last write.
void fillDetails(DirEntry* e, const std::string& path, const std::string& name) {
    struct statx sx {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return;
    e->size = static_cast<std::uint32_t>(sx.stx_size & 0xFFFFFFFFu);
    std::uint32_t attr = 0;
    if (S_ISDIR(sx.stx_mode)) attr |= kDirAttrDirectory;
    if (!name.empty() && name[0] == '.' && name != "..") attr |= kDirAttrHidden;
    if ((sx.stx_mode & S_IWUSR) == 0) attr |= kDirAttrReadOnly;
    e->attributes = attr ? attr : kDirAttrNormal;
    e->accessed = toDirTime(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
    e->written = toDirTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    e->created = (sx.stx_mask & STATX_BTIME) ? toDirTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec) : e->written;
}

}  // namespace

GmemState& gmem_State() { return g_gmem; }

void* gmem_Alloc(const char* tag, std::size_t size) {
    if (size == 0) return nullptr;
    if (g_gmem.failAfter >= 0 && g_gmem.failAfter-- == 0) return nullptr;
    const char* t = tag ? tag : "";
    std::size_t tagLen = std::strlen(t);
    if (size > SIZE_MAX - kAreaOffset - tagLen - 1) return nullptr;
    void* mem = std::malloc(kAreaOffset + size + tagLen + 1);
    if (mem == nullptr) return nullptr;
    auto* h = static_cast<GmemHeader*>(mem);
    auto* area = static_cast<std::byte*>(mem) + kAreaOffset;
    std::memset(area, 0, size);
    char* tagCopy = reinterpret_cast<char*>(area + size);
    std::memcpy(tagCopy, t, tagLen + 1);
    h->handle = mem;
    h->size = size;
    h->serial = g_gmem.serial++;
    h->tag = tagCopy;
    h->reserved = 0;
    h->prev = nullptr;
    h->next = g_gmem.head;
    if (g_gmem.head) g_gmem.head->prev = h;
    g_gmem.head = h;
    ++g_gmem.liveCount;
    g_gmem.liveBytes += size;
    return area;
}

void gmem_Free(void* area) {
    GmemHeader* h = headerOf(area);
    if (h == nullptr) return;
    std::memset(area, 0xDD, h->size);
    if (h->prev)
        h->prev->next = h->next;
    else
        g_gmem.head = h->next;
    if (h->next) h->next->prev = h->prev;
    --g_gmem.liveCount;
    g_gmem.liveBytes -= h->size;
    std::free(h->handle);
}

const char* gmem_Tag(const void* area) {
    GmemHeader* h = headerOf(area);
    return h ? h->tag : "";
}

DirList* dir_List(const char* pattern, unsigned flags) {
    if (pattern == nullptr) return nullptr;
    std::string p(pattern);
    std::size_t cut = p.find_last_of("\\/");
    std::string folderPart = cut == std::string::npos ? "" : p.substr(0, cut);
    std::string namePart = cut == std::string::npos ? p : p.substr(cut + 1);
    if (namePart.empty()) return nullptr;
    std::string folder = cut == std::string::npos ? "." : file_DiskPath(folderPart.empty() ? "/" : folderPart);
    auto match = diskPattern(namePart);

    std::vector<std::string> found;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return nullptr;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (matchElements(match, name)) found.push_back(std::move(name));
    }
    // The platform's search yields ".." in every folder but the root; it is kept on request.
    if ((flags & kDirKeepParent) && matchElements(match, "..") && fs::canonical(folder, ec) != fs::path("/"))
        found.emplace_back("..");
    if (found.empty()) return nullptr;

    auto* list = static_cast<DirList*>(gmem_Alloc("_EDIRLIST", sizeof(DirList)));
    if (list == nullptr) return nullptr;
    const bool noCase = (flags & kDirSortNoCase) != 0;
    for (const std::string& name : found) {
        std::string shown = name;
        if ((flags & kDirPrefixFolder) && cut != std::string::npos) shown = folderPart + "\\" + name;
        auto* e = static_cast<DirEntry*>(gmem_Alloc("_EDIRLIST_ENTRY", sizeof(DirEntry) + shown.size() + 1));
        if (e == nullptr) {
            dir_Free(list);
            return nullptr;
        }
        e->name = reinterpret_cast<char*>(e + 1);
        std::memcpy(e->name, shown.c_str(), shown.size() + 1);
        e->owner = list;
        fillDetails(e, folder + "/" + name, name);

        // In front of the first entry that compares greater or equal: ascending order, and
        // an equal name goes before the one already there.
        DirEntry* at = list->first;
        while (at && compareNames(at->name, e->name, noCase) < 0) at = at->next;
        e->next = at;
        e->prev = at ? at->prev : list->last;
        if (e->prev)
            e->prev->next = e;
        else
            list->first = e;
        if (at)
            at->prev = e;
        else
            list->last = e;
        ++list->count;
    }
    return list;
}

void dir_Free(DirList* list) {
    if (list == nullptr) return;
    for (DirEntry* e = list->first; e;) {
        DirEntry* next = e->next;
        gmem_Free(e);
        e = next;
    }
    gmem_Free(list);
}

StrList* strlist_Create() { return static_cast<StrList*>(gmem_Alloc("_STRINGLIST", sizeof(StrList))); }

StrEntry* strlist_Add(StrList* list, const char* string) {
    if (list == nullptr || string == nullptr) return nullptr;
    std::size_t len = std::strlen(string);
    auto* e = static_cast<StrEntry*>(gmem_Alloc("_STRINGLIST_ENTRY", sizeof(StrEntry) + len + 1));
    if (e == nullptr) return nullptr;
    e->string = reinterpret_cast<char*>(e + 1);
    std::memcpy(e->string, string, len + 1);
    e->owner = list;
    e->prev = list->last;
    if (list->last)
        list->last->next = e;
    else
        list->first = e;
    list->last = e;
    ++list->count;
    return e;
}

StrEntry* strlist_Find(StrList* list, const char* string) {
    if (list == nullptr || string == nullptr) return nullptr;
    std::size_t len = std::strlen(string);
    for (StrEntry* e = list->first; e; e = e->next)
        if (std::strlen(e->string) == len && compareNames(e->string, string, true) == 0) return e;
    return nullptr;
}

void strlist_Free(StrList* list) {
    if (list == nullptr) return;
    for (StrEntry* e = list->first; e;) {
        StrEntry* next = e->next;
        gmem_Free(e);
        e = next;
    }
    gmem_Free(list);
}

int name_Match(const char* name, const char* pattern) {
    if (name == nullptr || pattern == nullptr) return 0;
    return matchElements(memberPattern(pattern), name) ? 1 : 0;
}

StrList* file_ListFiles(const char* pattern) {
    if (pattern == nullptr) return nullptr;
    StrList* list = strlist_Create();
    if (list == nullptr) return nullptr;
    auto addUnique = [list](std::string_view name) {
        std::string lower = lowerString(name);
        return strlist_Find(list, lower.c_str()) != nullptr || strlist_Add(list, lower.c_str()) != nullptr;
    };

    const FileState& layer = file_State();
    if (layer.diskFirst || layer.count == 0) {
        if (DirList* dir = dir_List(pattern, kDirSortNoCase)) {
            for (DirEntry* e = dir->first; e; e = e->next)
                if (!addUnique(e->name)) {
                    dir_Free(dir);
                    strlist_Free(list);
                    return nullptr;
                }
            dir_Free(dir);
        }
    }
    for (int slot = 0; slot < kPffMaxArchives; ++slot) {
        const PffArchive* a = pff_Archive(slot);
        for (int i = 0; i < pff_EntryCount(a); ++i) {
            const PffEntry* e = pff_Entry(a, i);
            if (name_Match(e->name, pattern) && !addUnique(e->name)) {
                strlist_Free(list);
                return nullptr;
            }
        }
    }
    if (list->count == 0) {
        strlist_Free(list);
        return nullptr;
    }
    return list;
}
