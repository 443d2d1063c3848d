#include "core/parser.h"

#include "core/file.h"
#include "core/format.h"
#include "core/mem.h"
#include "core/text.h"
#include "platform/ui.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

LineParser& parser_State() {
    static LineParser state;
    return state;
}

void parser_SetReason(std::string reason) { parser_State().reason = std::move(reason); }

std::string parser_VisibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '\t') {
            out += "\\t";
        } else if (b < 0x20 || b == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

namespace {

// What each byte is to the splitter: 0 text, 1 a separator, 2 a quote.
constexpr std::array<std::uint8_t, 256> kByteClass = [] {
    std::array<std::uint8_t, 256> c{};
    c[' '] = c[','] = c['\t'] = 1;
    c['"'] = 2;
    return c;
}();

// Splits the len characters in the line buffer (terminated at len) where they lie.
LineTokens splitInPlace(std::size_t len) {
    LineTokens out;
    char* buf = parser_State().line.data();
    bool inQuotes = false;
    bool tokenStart = true;
    // Up to and including the terminator: a line that ends in a separator or a quote gets
    // one more, empty, token, which clients rely on (`name ""` is a keyword and an empty name).
    // The walk goes on until a 31st token would begin, so the 30th ends at its own separator
    // and the rest of the line is dropped rather than glued onto it.
    for (std::size_t i = 0; i <= len; ++i) {
        const std::uint8_t kind = kByteClass[static_cast<unsigned char>(buf[i])];
        if (kind == 0) {
            if (tokenStart) {
                if (out.count == kLineMaxTokens) break;
                out.token[out.count++] = &buf[i];
                tokenStart = false;
            }
            continue;
        }
        if (kind == 1 && !inQuotes) {
            buf[i] = '\0';
            tokenStart = true;
        } else if (kind == 2) {
            buf[i] = '\0';
            inQuotes = !inQuotes;
            tokenStart = true;
        } else if (tokenStart) {
            if (out.count == kLineMaxTokens) break;
            out.token[out.count++] = &buf[i];
            tokenStart = false;
        }
    }
    return out;
}

}  // namespace

LineTokens parser_SplitLine(const char* text) {
    if (!text || !*text) return LineTokens{};
    auto& buf = parser_State().line;
    const std::size_t len = strnlen(text, kLineBufferChars);
    std::memmove(buf.data(), text, len);  // text may already lie in the buffer (a token)
    buf[len] = '\0';
    return splitInPlace(len);
}

namespace {

// What the report of a bad line shows of a line that was too long to read whole.
constexpr std::size_t kLongLineShown = 120;

void reportBadLine(const char* fileName, int lineNumber, std::string_view lineText, bool tooLong) {
    LineParser& state = parser_State();
    std::string reason = std::move(state.reason);
    state.reason.clear();
    std::string shown = parser_VisibleText(lineText);
    if (tooLong) {
        // The refused piece may be any part of the line: the reason is its length, and the
        // report shows how the line begins.
        reason = text_Printf("Dialog Message", "LINE_TOO_LONG",
                             {static_cast<std::int32_t>(lineText.size()), static_cast<std::int32_t>(kDiskLineChars)});
        shown = parser_VisibleText(lineText.substr(0, kLongLineShown)) + "...";
    }
    const std::string message =
        reason.empty() ? text_Format(text_Get("Dialog Message", "BAD_LINE_NUMBER"), {lineNumber, shown})
                       : text_Format(text_Get("Dialog Message", "BAD_LINE_REASON"), {lineNumber, reason, shown});
    platform().lineError(fileName ? fileName : "", lineNumber, message, text_Get("Dialog Message", "ASCII_PARSE"));
}

// A line with no token, or only the empty one a line of separators gives, is blank.
bool blankOrComment(const LineTokens& tokens) {
    return tokens.count == 0 || tokens.token[0][0] == '/' || (tokens.count == 1 && tokens.token[0][0] == '\0');
}

// The byte-order mark some editors write at the start of a UTF-8 text.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Where the physical line starting at pos ends (its text) and where the next one starts.
void findLineEnd(const char* data, std::size_t size, std::size_t pos, LineEnds ends, std::size_t& end,
                 std::size_t& next) {
    end = next = size;
    if (ends == LineEnds::DiskText) {
        const void* lf = std::memchr(data + pos, '\n', size - pos);
        if (!lf) return;
        end = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
        next = end + 1;
        if (end > pos && data[end - 1] == '\r') --end;
        return;
    }
    // Only the pair CR LF ends a line here; a lone CR or LF is an ordinary character.
    for (std::size_t at = pos; at < size;) {
        const void* cr = std::memchr(data + at, '\r', size - at);
        if (!cr) return;
        const std::size_t i = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
        if (i + 1 < size && data[i + 1] == '\n') {
            end = i;
            next = i + 2;
            return;
        }
        at = i + 1;
    }
}

// Frees a memory-manager block on every way out of a function.
struct MemBlockGuard {
    void* block;
    ~MemBlockGuard() {
        if (block) mem_Free(block);
    }
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::int32_t parser_ParseBuffer(const char* data, std::size_t size, LineEnds ends, const char* fileName,
                                const LineCallback& callback) {
    if (!data) size = 0;
    int lineNumber = 0;

    std::size_t start = 0;
    if (std::string_view(data ? data : "", size).substr(0, kUtf8Bom.size()) == kUtf8Bom) start = kUtf8Bom.size();

    // One piece of the physical line `whole`: split, skip blanks and comments, hand to the
    // client, report a refusal.
    auto handle = [&](const char* text, std::size_t length, std::string_view whole) {
        LineParser& state = parser_State();
        state.reason.clear();
        // The piece goes straight into the line buffer: up to its first NUL, and at most the
        // buffer's length.
        length = std::min(length, kLineBufferChars);
        if (const void* nul = std::memchr(text, '\0', length))
            length = std::size_t(static_cast<const char*>(nul) - text);
        std::memcpy(state.line.data(), text, length);
        state.line[length] = '\0';
        const LineTokens tokens = length == 0 ? LineTokens{} : splitInPlace(length);
        if (blankOrComment(tokens)) return std::int32_t{0};
        const std::int32_t rc = callback(&tokens, lineNumber);
        if (rc != 0)
            reportBadLine(fileName, lineNumber, whole, ends == LineEnds::DiskText && whole.size() > kDiskLineChars);
        return rc;
    };

    for (std::size_t pos = start; pos < size;) {
        std::size_t end, next;
        findLineEnd(data, size, pos, ends, end, next);
        ++lineNumber;
        if (ends == LineEnds::DiskText) {
            // The reader's line buffer takes kDiskLineChars at a time: a longer line arrives
            // in pieces, each under the line's own number. Nothing runs past the buffer.
            std::size_t p = pos;
            do {
                const std::size_t n = std::min(kDiskLineChars, end - p);
                if (const std::int32_t rc = handle(data + p, n, std::string_view(data + pos, end - pos))) return rc;
                p += n;
            } while (p < end);
        } else if (const std::int32_t rc = handle(data + pos, end - pos, std::string_view(data + pos, end - pos))) {
            return rc;
        }
        pos = next;
    }
    return callback(nullptr, lineNumber + 1);
}

std::int32_t parser_ReadDiskFile(const char* path, const LineCallback& callback) {
    if (!path) return 1;
    // The whole file is read before any line is parsed, into the parser's kept room unless a
    // parse further up (a callback reading another file) is using it.
    LineParser& state = parser_State();
    std::vector<char> own;
    const bool shared = !state.fileRoomBusy;
    std::vector<char>& room = shared ? state.fileRoom : own;
    struct Release {
        LineParser& state;
        bool shared;
        ~Release() {
            if (!shared) return;
            state.fileRoomBusy = false;
            // A very large file does not keep its room for the rest of the session.
            if (state.fileRoom.size() > (std::size_t(16) << 20)) std::vector<char>().swap(state.fileRoom);
        }
    } release{state, shared};
    if (shared) state.fileRoomBusy = true;

    std::size_t got = 0;
    {
        std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path, "rb"));
        if (!f) return 1;
        // The size is only a hint: the room grows if the file turns out longer.
        long hint = 0;
        if (std::fseek(f.get(), 0, SEEK_END) == 0) hint = std::ftell(f.get());
        if (std::fseek(f.get(), 0, SEEK_SET) != 0) return 1;
        // A folder opens on some systems and reports a size it does not have.
        if (hint < 0 || hint > (1L << 28)) hint = 0;
        const std::size_t want = std::size_t(hint) + 1;
        try {
            if (room.size() < want) room.resize(std::max(want, std::size_t(65536)));
            for (;;) {
                if (got == room.size()) room.resize(room.size() * 2);
                const std::size_t n = std::fread(room.data() + got, 1, room.size() - got, f.get());
                if (n == 0) break;
                got += n;
            }
        } catch (const std::bad_alloc&) {
            return 1;
        }
        // A read that failed part way would parse a truncated file as if it were whole.
        if (std::ferror(f.get())) return 1;
    }
    return parser_ParseBuffer(room.data(), got, LineEnds::DiskText, path, callback);
}

std::int32_t parser_ReadLayerFile(const char* name, const LineCallback& callback, std::uint32_t seed) {
    if (!name) return 1;
    const std::int32_t size = file_FileSizeEx(name);
    if (size < 0) return 1;
    if (size == 0) return parser_ParseBuffer(nullptr, 0, LineEnds::CrLf, name, callback);

    // file_LoadFileEx also undoes an archive member's own scrambling.
    MemBlockGuard guard{file_LoadFileEx(name)};
    if (!guard.block) return 2;
    auto* data = static_cast<std::uint8_t*>(guard.block);
    std::uint32_t length = file_LastLoadedSize();

    if (seed != 0 && length >= kScrHeader.size() && std::equal(kScrHeader.begin(), kScrHeader.end(), data)) {
        data += kScrHeader.size();
        length -= static_cast<std::uint32_t>(kScrHeader.size());
        parser_Unscramble(data, length, seed);
    }
    return parser_ParseBuffer(reinterpret_cast<const char*>(data), length, LineEnds::CrLf, name, callback);
}

namespace {

std::uint32_t keystreamStep(std::uint32_t s) { return std::rotl(std::rotl(s, 11) + s, 4) ^ 1u; }

void reverseBytes(std::uint8_t* data, std::uint32_t length) { std::reverse(data, data + length); }

}  // namespace

std::uint32_t parser_Unscramble(std::uint8_t* data, std::uint32_t length, std::uint32_t seed) {
    if (!data) length = 0;
    reverseBytes(data, length);
    std::uint32_t s = seed;
    for (std::uint32_t i = 0; i < length; ++i) {
        s = keystreamStep(s);
        data[i] ^= static_cast<std::uint8_t>(s);
    }
    return s;
}

std::uint32_t parser_Scramble(std::uint8_t* data, std::uint32_t length, std::uint32_t seed) {
    if (!data) length = 0;
    // Unscrambling reverses, then applies the keystream to the reversed bytes; so the
    // keystream goes on first here, then the reversal.
    std::uint32_t s = seed;
    for (std::uint32_t i = 0; i < length; ++i) {
        s = keystreamStep(s);
        data[i] ^= static_cast<std::uint8_t>(s);
    }
    reverseBytes(data, length);
    return s;
}
