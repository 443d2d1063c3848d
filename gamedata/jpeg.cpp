#include "gamedata/jpeg.h"

#include "gamedata/jpeg_kernels.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#if SORTIE_JPEG_VECTOR
#include <emmintrin.h>
#endif

namespace {

// Zig-zag position -> natural (row-major) position. Positions 64 to 79, which only a run
// past the end of the block reaches, lead to a spare slot after the 64 coefficients; the
// block decoder refuses such a block once it is done, so the hot loop needs no bound check.
constexpr int kSpareSlot = 64;
constexpr std::array<std::uint8_t, 80> kZigZag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13,
    6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31,
    39, 46, 53, 60, 61, 54, 47, 55, 62, 63, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64};

// ---------------------------------------------------------------------------------------
// Huffman tables: a 256-entry lookup for codes of up to 8 bits, limits for longer ones, and a
// wider lookahead that resolves a short code together with the value bits that follow it.

constexpr int kLookBits = 10;

// Lookahead entries, for codes of up to kLookBits bits. Bits 0-7 hold the bits taken; then
//  - when bits 8-15 are not zero, the entry gives the code and its value bits together: bits
//    8-15 the step to the position after the coefficient (its run of zeros + 1; 1 for DC),
//    16-31 the signed coefficient (or DC difference);
//  - otherwise the entry gives the code alone, with its symbol in bits 16-23, which the
//    caller handles like any other (value bits too long for the lookahead, end of block, a run
//    of sixteen zeros).
// 0 means a longer code (or none): the table's limits decide.
constexpr std::int32_t kFastStep = 0xFF00;

struct HuffTable {
    bool present = false;
    std::array<std::uint8_t, 256> lookLength{};  // 0: the code is longer than 8 bits
    std::array<std::uint8_t, 256> lookSymbol{};
    std::array<std::int32_t, 18> maxCode{};    // per length; [17] is the sentinel
    std::array<std::int32_t, 17> valOffset{};  // symbol index = code + valOffset[length]
    std::array<std::uint8_t, 256> symbols{};
    int count = 0;
    std::array<std::int32_t, 1 << kLookBits> fast{};
};

inline int extend(std::uint32_t v, int s) {
    return (v < (1u << (s - 1))) ? static_cast<int>(v) - (1 << s) + 1 : static_cast<int>(v);
}

// Fills t.fast for a table of the given class. Values are resolved only for what the scan
// decoder accepts without further checks: DC sizes up to 11, AC sizes 1 to 10.
void buildFast(HuffTable& t, const std::uint8_t* counts, bool ac) {
    std::int32_t code = 0;
    int k = 0;
    for (int len = 1; len <= kLookBits; ++len) {
        for (int i = 0; i < counts[len - 1]; ++i, ++k, ++code) {
            const int symbol = t.symbols[k];
            const int run = ac ? symbol >> 4 : 0;
            const int size = ac ? symbol & 15 : symbol;
            const int first = code << (kLookBits - len), span = 1 << (kLookBits - len);
            const bool valued = ac ? size >= 1 && size <= 10 : size <= 11;
            if (!valued || len + size > kLookBits) {
                for (int j = 0; j < span; ++j) t.fast[first + j] = len | (symbol << 16);
                continue;
            }
            for (int j = 0; j < span; ++j) {
                const std::uint32_t extra = static_cast<std::uint32_t>(j) >> (kLookBits - len - size);
                const int value = size ? extend(extra, size) : 0;
                t.fast[first + j] =
                    static_cast<std::int32_t>((static_cast<std::uint32_t>(value) << 16) |
                                              static_cast<std::uint32_t>(((run + 1) << 8) | (len + size)));
            }
        }
        code <<= 1;
    }
}

// Builds t from 16 counts and their symbols. false for a table whose codes overflow.
bool buildHuffman(HuffTable& t, const std::uint8_t* counts, const std::uint8_t* symbols, int total, bool ac) {
    t = HuffTable{};
    t.count = total;
    std::memcpy(t.symbols.data(), symbols, static_cast<std::size_t>(total));
    std::int32_t code = 0;
    int k = 0;
    for (int len = 1; len <= 16; ++len) {
        const int n = counts[len - 1];
        if (n == 0) {
            t.maxCode[len] = -1;
        } else {
            t.valOffset[len] = k - code;
            for (int i = 0; i < n; ++i, ++k, ++code) {
                // A canonical code of this length must fit in len bits.
                if (code >= (1 << len)) return false;
                if (len <= 8) {
                    const int shift = 8 - len;
                    for (int fill = 0; fill < (1 << shift); ++fill) {
                        const int index = (code << shift) | fill;
                        t.lookLength[index] = static_cast<std::uint8_t>(len);
                        t.lookSymbol[index] = symbols[k];
                    }
                }
            }
            t.maxCode[len] = code - 1;
        }
        code <<= 1;
    }
    t.maxCode[17] = 0xFFFFF;
    buildFast(t, counts, ac);
    t.present = true;
    return true;
}

// The scan decoder's small helpers must be inlined so that the bit buffer stays in registers.
#if defined(__GNUC__)
#define JPEG_INLINE __attribute__((always_inline))
#define JPEG_NOINLINE __attribute__((noinline))
#else
#define JPEG_INLINE
#define JPEG_NOINLINE
#endif

// ---------------------------------------------------------------------------------------
// Bit reader over the entropy-coded data. It stops at a marker and then feeds zero bits.
// The scan decoder keeps the bit buffer and its count in locals and hands them back here only
// for the slow paths.

inline std::uint64_t loadBigEndian64(const std::uint8_t* p) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return __builtin_bswap64(v);
#else
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
    return v;
#endif
}

struct BitReader {
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    std::size_t pos = 0;
    std::uint64_t bits = 0;  // valid bits at the top; below them zeros or the data that follows
    int count = 0;
    bool atMarker = false;  // pos is on the 0xFF of a marker (or at the end of the data)

    // Tops the buffer up to at least 56 bits (the count never exceeds 63). The common case
    // takes the next eight bytes at once when none of them is 0xFF (so none needs the
    // stuffing or marker check): the whole bytes that fit are counted in, and the bits of a
    // partly fitting byte below them are the data that comes next anyway.
    JPEG_INLINE inline void fill(std::uint64_t& b, int& c) {
        if (length - pos >= 8) {
            const std::uint64_t w = loadBigEndian64(data + pos);
            // Non-zero when some byte of w is 0xFF.
            const std::uint64_t x = ~w;
            if (((x - 0x0101010101010101u) & w & 0x8080808080808080u) == 0) {
                b |= w >> c;
                pos += static_cast<std::size_t>(7 - (c >> 3));
                c |= 56;
                return;
            }
        }
        bits = b;
        count = c;
        fillSlow();
        b = bits;
        c = count;
    }

    JPEG_NOINLINE void fillSlow() {
        while (count < 56) {  // ends with 56 to 63 bits, as the word-wise refill expects
            std::uint32_t byte = 0;
            if (!atMarker && pos < length) {
                byte = data[pos];
                if (byte == 0xFF) {
                    // Fill bytes 0xFF before a marker are allowed; 0xFF 0x00 is a data 0xFF.
                    std::size_t next = pos + 1;
                    while (next < length && data[next] == 0xFF) ++next;
                    if (next < length && data[next] == 0x00) {
                        pos = next + 1;
                    } else {
                        atMarker = true;
                        byte = 0;
                    }
                } else {
                    ++pos;
                }
            } else {
                atMarker = true;
            }
            bits |= std::uint64_t(byte) << (56 - count);
            count += 8;
        }
    }
    // Drops the bits left in the buffer and moves to the next marker.
    void toMarker() {
        bits = 0;
        count = 0;
        if (atMarker) return;
        while (pos < length) {
            if (data[pos] == 0xFF && pos + 1 < length && data[pos + 1] != 0x00 && data[pos + 1] != 0xFF) break;
            ++pos;
        }
        atMarker = true;
    }
};

// Clears the 64 coefficients of a block for the next one. Stores, not a library call: the
// call's start-up cost is a fair share of a block's work.
inline void clearBlock(std::int16_t* coef) {
#if SORTIE_JPEG_VECTOR
    for (int i = 0; i < 64; i += 8) _mm_store_si128(reinterpret_cast<__m128i*>(coef + i), _mm_setzero_si128());
#else
    for (int i = 0; i < 64; ++i) coef[i] = 0;
#endif
}

// The flat block a lone DC term gives: what the full transform computes for it.
constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;

inline std::uint8_t flatSample(std::int16_t dc, std::uint16_t q, const std::uint8_t* clamp) {
    const int ws = static_cast<int>(std::int64_t(dc) * q * (1 << kPass1Bits));
    const std::int64_t x = std::int64_t(ws) * (1 << kConstBits);
    constexpr int n = kConstBits + kPass1Bits + 3;
    const int v = static_cast<int>((x + (std::int64_t(1) << (n - 1))) >> n);
    return clamp[256 + 128 + (v & 1023)];
}

// ---------------------------------------------------------------------------------------
// Marker walking.

constexpr std::uint8_t kSOI = 0xD8, kEOI = 0xD9, kAPP0 = 0xE0, kSOF0 = 0xC0, kDHT = 0xC4, kDQT = 0xDB, kDRI = 0xDD,
                       kSOS = 0xDA, kDAC = 0xCC;

inline unsigned be16(const std::uint8_t* p) { return (unsigned(p[0]) << 8) | p[1]; }

bool isStandalone(std::uint8_t m) { return m == kSOI || m == kEOI || (m >= 0xD0 && m <= 0xD7) || m == 0x01; }

// Other frame types: extended, progressive, lossless, hierarchical, arithmetic.
bool isOtherFrame(std::uint8_t m) { return m >= 0xC1 && m <= 0xCF && m != kDHT && m != kDAC && m != 0xC8; }

// Finds the next marker at or after pos; the marker code is at the returned position - 1.
// Returns 0 when the data runs out.
std::size_t nextMarker(const std::uint8_t* data, std::size_t length, std::size_t pos, std::uint8_t& marker) {
    while (pos + 1 < length) {
        if (data[pos] != 0xFF) {
            ++pos;
            continue;
        }
        std::size_t p = pos + 1;
        while (p < length && data[p] == 0xFF) ++p;
        if (p >= length) return 0;
        if (data[p] == 0x00) {
            pos = p + 1;
            continue;
        }
        marker = data[p];
        return p + 1;
    }
    return 0;
}

bool hasJfifId(const std::uint8_t* seg, std::size_t segLength) {
    return segLength >= 5 && std::memcmp(seg, "JFIF\0", 5) == 0;
}

struct Component {
    int id = 0;
    int h = 1, v = 1;
    int quant = 0;
    int dcTable = 0, acTable = 0;
    int pred = 0;
};

struct Decoder {
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    std::array<std::array<std::uint16_t, 64>, 4> quant{};
    std::array<bool, 4> quantPresent{};
    std::array<bool, 4> quantNarrow{};  // every entry below 32768: the vector IDCT can take it
    std::array<HuffTable, 4> dc{};
    std::array<HuffTable, 4> ac{};
    std::array<Component, 3> comp{};
    int width = 0, height = 0;
    int hMax = 1, vMax = 1;
    int mcuWidth = 8, mcuHeight = 8;
    int mcusX = 0, mcusY = 0;
    unsigned restartInterval = 0;
    bool jfif = false;
    bool frame = false;
    bool scanDone = false;
    std::uint32_t* out = nullptr;

    bool readDqt(const std::uint8_t* p, std::size_t n);
    bool readDht(const std::uint8_t* p, std::size_t n);
    bool readSof(const std::uint8_t* p, std::size_t n, int expectW, int expectH, bool allocate);
    // Decodes the scan whose header is p[0..n); returns the position after its data, or 0.
    std::size_t readScan(const std::uint8_t* p, std::size_t n, std::size_t dataPos);
};

bool Decoder::readDqt(const std::uint8_t* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        const int pq = p[i] >> 4, tq = p[i] & 15;
        ++i;
        if (tq > 3) return false;
        const std::size_t need = pq ? 128 : 64;
        if (n - i < need) return false;
        for (int k = 0; k < 64; ++k) {
            const unsigned v = pq ? be16(p + i + 2 * k) : p[i + k];
            quant[tq][kZigZag[k]] = static_cast<std::uint16_t>(v);
        }
        quantPresent[tq] = true;
        quantNarrow[tq] = *std::max_element(quant[tq].begin(), quant[tq].end()) < 32768;
        i += need;
    }
    return true;
}

bool Decoder::readDht(const std::uint8_t* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        if (n - i < 17) return false;
        const int tc = p[i] >> 4, th = p[i] & 15;
        if (tc > 1 || th > 3) return false;
        const std::uint8_t* counts = p + i + 1;
        int total = 0;
        for (int k = 0; k < 16; ++k) total += counts[k];
        if (total > 256) return false;
        i += 17;
        if (n - i < static_cast<std::size_t>(total)) return false;
        if (!buildHuffman(tc ? ac[th] : dc[th], counts, p + i, total, tc != 0)) return false;
        i += static_cast<std::size_t>(total);
    }
    return true;
}

bool Decoder::readSof(const std::uint8_t* p, std::size_t n, int expectW, int expectH, bool allocate) {
    if (frame || !jfif || n < 6) return false;
    const int precision = p[0];
    const int h = static_cast<int>(be16(p + 1));
    const int w = static_cast<int>(be16(p + 3));
    const int count = p[5];
    if (precision != 8 || h == 0 || w == 0 || count == 0) return false;
    // One-component (greyscale) and four-component frames have no colour path here.
    if (count != 3) return false;
    if (n < 6 + 3 * std::size_t(count)) return false;
    hMax = vMax = 1;
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t* cp = p + 6 + 3 * c;
        const int sampling = cp[1];
        if (sampling < 16 || sampling > 79 || (sampling & 15) < 1 || (sampling & 15) > 4) return false;
        comp[c].id = cp[0];
        comp[c].h = sampling >> 4;
        comp[c].v = sampling & 15;
        comp[c].quant = cp[2];
        if (comp[c].quant > 3) return false;
        hMax = std::max(hMax, comp[c].h);
        vMax = std::max(vMax, comp[c].v);
    }
    // Chroma is replicated by whole factors only.
    for (const auto& c : comp)
        if (hMax % c.h != 0 || vMax % c.v != 0) return false;
    mcuWidth = 8 * hMax;
    mcuHeight = 8 * vMax;
    mcusX = (w - 1) / mcuWidth + 1;
    mcusY = (h - 1) / mcuHeight + 1;
    if (allocate) {
        if (w > kJpegMaxSide || h > kJpegMaxSide || std::uint64_t(w) * std::uint64_t(h) > kJpegMaxPixels) return false;
        out = new (std::nothrow) std::uint32_t[std::size_t(w) * std::size_t(h)];
        if (!out) return false;
    } else if (w != expectW || h != expectH) {
        return false;
    }
    width = w;
    height = h;
    frame = true;
    return true;
}

// ---------------------------------------------------------------------------------------
// Entropy decoding of one block. The bit buffer and its count are copied into locals for the
// block, and every helper taking them is inlined, so they stay in registers.

JPEG_INLINE inline std::uint32_t peekBits(BitReader& br, std::uint64_t& bits, int& count, int n) {
    if (count < n) br.fill(bits, count);
    return static_cast<std::uint32_t>(bits >> (64 - n));
}

JPEG_INLINE inline void skipBits(std::uint64_t& bits, int& count, int n) {
    bits <<= n;
    count -= n;
}

JPEG_INLINE inline std::uint32_t getBits(BitReader& br, std::uint64_t& bits, int& count, int n) {
    if (n == 0) return 0;
    const std::uint32_t v = peekBits(br, bits, count, n);
    skipBits(bits, count, n);
    return v;
}

// Symbol of the next code, or -1 for a code the table does not hold.
JPEG_INLINE inline int decodeSymbol(BitReader& br, std::uint64_t& bits, int& count, const HuffTable& t) {
    const std::uint32_t look = peekBits(br, bits, count, 8);
    const int len = t.lookLength[look];
    if (len != 0) {
        skipBits(bits, count, len);
        return t.lookSymbol[look];
    }
    const std::uint32_t wide = peekBits(br, bits, count, 16);
    int l = 9;
    std::int32_t code = static_cast<std::int32_t>(wide >> 7);
    while (code > t.maxCode[l]) {
        if (++l > 16) return -1;  // past the longest code: the sentinel length
        code = static_cast<std::int32_t>(wide >> (16 - l));
    }
    skipBits(bits, count, l);
    const int index = code + t.valOffset[l];
    if (index < 0 || index >= t.count) return -1;
    return t.symbols[index];
}

// The symbol of a code the lookahead could not finish: a short code's symbol stands in its
// entry (e), a longer code is read bit by bit. -1 for a code the table does not hold.
JPEG_INLINE inline int entrySymbol(BitReader& br, std::uint64_t& bits, int& count, const HuffTable& t, std::int32_t e) {
    if (e == 0) return decodeSymbol(br, bits, count, t);
    skipBits(bits, count, e & 0xFF);
    return (e >> 16) & 0xFF;
}

// One AC symbol with its value, at zig-zag position k: 0 to go on, 1 at the end of the block,
// -1 for data the table cannot decode. A run past position 63 puts the coefficient into the
// spare slot (k then exceeds 64).
JPEG_INLINE inline int acStep(BitReader& br, std::uint64_t& bits, int& count, const HuffTable& act, std::int16_t* coef,
                              unsigned& k) {
    const std::int32_t e = act.fast[bits >> (64 - kLookBits)];
    if (e & kFastStep) {
        skipBits(bits, count, e & 0xFF);
        k += (e >> 8) & 0xFF;
        coef[kZigZag[k - 1]] = static_cast<std::int16_t>(e >> 16);
        return 0;
    }
    const int rs = entrySymbol(br, bits, count, act, e);
    if (rs < 0) return -1;
    const int r = rs >> 4, sz = rs & 15;
    int status = 1;
    if (sz) {
        k += static_cast<unsigned>(r);
        if (k > 63 || sz > 10) return -1;
        coef[kZigZag[k]] = static_cast<std::int16_t>(extend(getBits(br, bits, count, sz), sz));
        ++k;
        status = 0;
    } else if (r == 15) {
        k = std::min(k + 16, 64u);  // a run past the end is harmless
        status = 0;
    }
    // The long way leaves at least 26 bits, so the caller's count of steps per refill holds.
    if (count < 26) br.fill(bits, count);
    return status;
}

// Decodes one block into coef (zero on entry) and updates the DC prediction: -1 for data the
// tables cannot decode, 0 for a block holding only its DC term, 1 otherwise.
JPEG_NOINLINE int decodeBlock(BitReader& br, const HuffTable& dct, const HuffTable& act, int& pred,
                              std::int16_t* coef) {
    std::uint64_t bits = br.bits;
    int count = br.count;
    if (count < 32) br.fill(bits, count);
    int diff;
    const std::int32_t d = dct.fast[bits >> (64 - kLookBits)];
    if (d & kFastStep) {
        skipBits(bits, count, d & 0xFF);
        diff = d >> 16;
    } else {
        const int s = entrySymbol(br, bits, count, dct, d);
        if (s < 0 || s > 11) {
            br.bits = bits;
            br.count = count;
            return -1;
        }
        diff = s ? extend(getBits(br, bits, count, s), s) : 0;
    }
    pred = static_cast<int>(static_cast<unsigned>(pred) + static_cast<unsigned>(diff));
    coef[0] = static_cast<std::int16_t>(pred);
    unsigned k = 1;  // zig-zag position of the next coefficient
    int status = 0;
    while (k < 64) {
        // Each pass starts with at least 56 bits; a lookahead step takes at most kLookBits,
        // and any other step leaves at least 26. So three steps always find the kLookBits the
        // lookahead needs. An unconditional refill costs less than the badly predictable test
        // for one.
        static_assert(56 - 2 * kLookBits >= kLookBits && 26 - kLookBits >= kLookBits);
        br.fill(bits, count);
        status = acStep(br, bits, count, act, coef, k);
        if (status != 0 || k >= 64) break;
        status = acStep(br, bits, count, act, coef, k);
        if (status != 0 || k >= 64) break;
        status = acStep(br, bits, count, act, coef, k);
        if (status != 0) break;
    }
    // A coefficient placed past position 63 went to the spare slot. Otherwise a block that
    // coded nothing but its DC term (possibly runs of zeros too) is flat.
    const int result = status < 0 || k > 64 ? -1 : k > 1 ? 1 : 0;
    br.bits = bits;
    br.count = count;
    return result;
}

std::size_t Decoder::readScan(const std::uint8_t* p, std::size_t n, std::size_t dataPos) {
    if (!frame || scanDone || n < 1) return 0;
    const int ns = p[0];
    // Only one interleaved scan holding all three components is supported.
    if (ns != 3 || n < 1 + 2 * std::size_t(ns) + 3) return 0;
    std::array<int, 3> order{};
    std::array<bool, 3> seen{};
    for (int i = 0; i < ns; ++i) {
        const int id = p[1 + 2 * i];
        const int tables = p[2 + 2 * i];
        int found = -1;
        for (int c = 0; c < 3; ++c)
            if (comp[c].id == id && !seen[c]) {
                found = c;
                break;
            }
        if (found < 0) return 0;
        seen[found] = true;
        order[i] = found;
        comp[found].dcTable = tables >> 4;
        comp[found].acTable = tables & 15;
        if (comp[found].dcTable > 3 || comp[found].acTable > 3) return 0;
        if (!dc[comp[found].dcTable].present || !ac[comp[found].acTable].present) return 0;
        if (!quantPresent[comp[found].quant]) return 0;
    }
    const std::uint8_t* tail = p + 1 + 2 * ns;
    if (tail[0] != 0 || tail[1] != 63 || tail[2] != 0) return 0;

    const std::uint8_t* clamp = jpeg_Tables().clamp.data();

    // The samples of one MCU row, per component: blocks are decoded into these planes, and
    // the row is then converted to pixels in one go.
    std::array<int, 3> stride{}, planeRows{}, hStep{}, vStep{};
    std::array<std::size_t, 3> planeStart{};
    std::size_t planeBytes = 0;
    for (int c = 0; c < 3; ++c) {
        stride[c] = mcusX * 8 * comp[c].h;
        planeRows[c] = 8 * comp[c].v;
        hStep[c] = hMax / comp[c].h;
        vStep[c] = vMax / comp[c].v;
        planeStart[c] = planeBytes;
        planeBytes += std::size_t(stride[c]) * std::size_t(planeRows[c]);
    }
    // Pixels in the output rows never reach past the width; chroma offsets and, for unusual
    // samplings, the samples spread to full width need that many entries.
    const std::size_t rowEntries = std::size_t(width) + 16;
    std::unique_ptr<std::uint8_t[]> planes(new (std::nothrow) std::uint8_t[planeBytes + 3 * rowEntries]);
    std::unique_ptr<std::int16_t[]> offsets(new (std::nothrow) std::int16_t[3 * rowEntries]);
    if (!planes || !offsets) return 0;
    std::uint8_t* wide = planes.get() + planeBytes;  // three rows of samples at full width
    std::int16_t* offRed = offsets.get();
    std::int16_t* offGreen = offRed + rowEntries;
    std::int16_t* offBlue = offGreen + rowEntries;

    // Chroma sampled by 1, 2 or 4 across (both alike) and full-width luminance convert
    // straight from the planes; anything else is first spread to full width.
    const bool direct = hStep[0] == 1 && hStep[1] == hStep[2] && (hStep[1] == 1 || hStep[1] == 2 || hStep[1] == 4);
    const int shift = hStep[1] == 4 ? 2 : hStep[1] == 2 ? 1 : 0;

    auto convertRows = [&](int my, int columns) {
        const int y0 = my * mcuHeight;
        const int rows = std::min(mcuHeight, height - y0);
        int lastCb = -1, lastCr = -1;
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* rowY = planes.get() + planeStart[0] + std::size_t(y / vStep[0]) * stride[0];
            const int cbRow = y / vStep[1], crRow = y / vStep[2];
            const std::uint8_t* rowCb = planes.get() + planeStart[1] + std::size_t(cbRow) * stride[1];
            const std::uint8_t* rowCr = planes.get() + planeStart[2] + std::size_t(crRow) * stride[2];
            std::uint32_t* dst = out + std::size_t(y0 + y) * std::size_t(width);
            int chromaShift = 0;
            if (direct) {
                chromaShift = shift;
                if (cbRow != lastCb || crRow != lastCr) {
                    const int count = (columns + (1 << shift) - 1) >> shift;
#if SORTIE_JPEG_VECTOR
                    jpeg_ChromaOffsetsVector(rowCb, rowCr, count, offRed, offGreen, offBlue);
#else
                    jpeg_ChromaOffsetsPlain(rowCb, rowCr, count, offRed, offGreen, offBlue);
#endif
                    lastCb = cbRow;
                    lastCr = crRow;
                }
            } else {
                const std::uint8_t* rows3[3] = {rowY, rowCb, rowCr};
                for (int c = 0; c < 3; ++c) {
                    std::uint8_t* w = wide + std::size_t(c) * rowEntries;
                    for (int x = 0; x < columns; ++x) w[x] = rows3[c][x / hStep[c]];
                }
                rowY = wide;
                rowCb = wide + rowEntries;
                rowCr = wide + 2 * rowEntries;
#if SORTIE_JPEG_VECTOR
                jpeg_ChromaOffsetsVector(rowCb, rowCr, columns, offRed, offGreen, offBlue);
#else
                jpeg_ChromaOffsetsPlain(rowCb, rowCr, columns, offRed, offGreen, offBlue);
#endif
            }
#if SORTIE_JPEG_VECTOR
            jpeg_ComposeRowVector(rowY, offRed, offGreen, offBlue, chromaShift, dst, columns);
#else
            jpeg_ComposeRowPlain(rowY, offRed, offGreen, offBlue, chromaShift, dst, columns);
#endif
        }
    };

    BitReader br;
    br.data = data;
    br.length = length;
    br.pos = dataPos;
    for (auto& c : comp) c.pred = 0;
    unsigned restartsLeft = restartInterval;
    alignas(16) std::int16_t coef[kSpareSlot + 1];
    std::memset(coef, 0, sizeof coef);

    for (int my = 0; my < mcusY; ++my) {
        int done = 0;  // MCUs of this row decoded completely
        bool bad = false;
        for (int mx = 0; mx < mcusX && !bad; ++mx) {
            if (restartInterval != 0) {
                if (restartsLeft == 0) {
                    // Restart: byte-align, step over RSTn, reset the predictions.
                    br.toMarker();
                    if (br.pos + 1 < length && data[br.pos] == 0xFF && data[br.pos + 1] >= 0xD0 &&
                        data[br.pos + 1] <= 0xD7) {
                        br.pos += 2;
                        br.atMarker = false;
                    }
                    for (auto& c : comp) c.pred = 0;
                    restartsLeft = restartInterval;
                }
                --restartsLeft;
            }
            for (int i = 0; i < ns && !bad; ++i) {
                const int ci = order[i];
                Component& c = comp[ci];
                const HuffTable& dct = dc[c.dcTable];
                const HuffTable& act = ac[c.acTable];
                const std::uint16_t* q = quant[c.quant].data();
                const bool narrow = quantNarrow[c.quant];
                std::uint8_t* base = planes.get() + planeStart[ci] + std::size_t(mx) * 8 * comp[ci].h;
                for (int by = 0; by < c.v && !bad; ++by) {
                    for (int bx = 0; bx < c.h; ++bx) {
                        const int kind = decodeBlock(br, dct, act, c.pred, coef);
                        if (kind < 0) {
                            bad = true;
                            break;
                        }
                        std::uint8_t* dst = base + std::size_t(by) * 8 * stride[ci] + bx * 8;
                        if (kind > 0) {
#if SORTIE_JPEG_VECTOR
                            if (narrow)
                                jpeg_IdctVector(coef, q, dst, stride[ci]);
                            else
                                jpeg_IdctPlain(coef, q, dst, stride[ci]);
#else
                            (void)narrow;
                            jpeg_IdctPlain(coef, q, dst, stride[ci]);
#endif
                            clearBlock(coef);
                        } else {
                            const std::uint8_t sample = flatSample(coef[0], q[0], clamp);
                            for (int r = 0; r < 8; ++r) std::memset(dst + r * stride[ci], sample, 8);
                            coef[0] = 0;
                        }
                    }
                }
            }
            if (!bad) ++done;
        }
        // Pixels of the MCUs decoded completely, also when the row stopped at bad data.
        convertRows(my, std::min(width, done * mcuWidth));
        if (bad) return 0;
    }
    scanDone = true;
    br.toMarker();
    return br.pos;
}

}  // namespace

int jpeg_ReadSize(const std::uint8_t* data, std::size_t length, int* width, int* height) {
    if (!data) return 0;
    (void)jpeg_Tables();
    bool jfif = false;
    std::size_t pos = 0;
    std::uint8_t m = 0;
    while ((pos = nextMarker(data, length, pos, m)) != 0) {
        if (isStandalone(m)) {
            if (m == kEOI) return 0;
            continue;
        }
        if (pos + 2 > length) return 0;
        const std::size_t segLength = be16(data + pos);
        if (segLength < 2 || segLength > length - pos) return 0;
        const std::uint8_t* seg = data + pos + 2;
        const std::size_t n = segLength - 2;
        if (m == kAPP0) {
            if (hasJfifId(seg, n))
                jfif = true;
            else if (!jfif)
                return 0;
        } else if (m == kSOF0 && jfif) {
            if (n < 5) return 0;
            const int h = static_cast<int>(be16(seg + 1));
            const int w = static_cast<int>(be16(seg + 3));
            if (w == 0 || h == 0) return 0;
            if (width) *width = w;
            if (height) *height = h;
            return 1;
        } else if (isOtherFrame(m) || m == kSOS) {
            return 0;
        }
        pos += segLength;
    }
    return 0;
}

int jpeg_Decode(const std::uint8_t* data, std::size_t length, int* width, int* height, std::uint32_t** pixels,
                bool allocate) {
    if (!data || !width || !height || !pixels) return 0;
    if (!allocate && (!*pixels || *width <= 0 || *height <= 0)) return 0;
    auto dec = std::make_unique<Decoder>();
    dec->data = data;
    dec->length = length;
    if (!allocate) dec->out = *pixels;
    const int expectW = *width, expectH = *height;

    auto refuse = [&]() {
        if (allocate) {
            delete[] dec->out;
            *pixels = nullptr;
        }
        return 0;
    };

    std::size_t pos = 0;
    std::uint8_t m = 0;
    while ((pos = nextMarker(data, length, pos, m)) != 0) {
        if (isStandalone(m)) {
            if (m == kEOI) {
                if (!dec->scanDone) return refuse();
                *width = dec->width;
                *height = dec->height;
                if (allocate) *pixels = dec->out;
                return 1;
            }
            continue;  // SOI, RSTn and TEM carry nothing
        }
        if (pos + 2 > length) return refuse();
        const std::size_t segLength = be16(data + pos);
        if (segLength < 2 || segLength > length - pos) return refuse();
        const std::uint8_t* seg = data + pos + 2;
        const std::size_t n = segLength - 2;
        switch (m) {
        case kAPP0:
            if (hasJfifId(seg, n)) {
                // Identifier, version major and minor, units, densities (thumbnail skipped).
                if (n < 12 || seg[5] != 1) return refuse();
                dec->jfif = true;
            } else if (!dec->jfif) {
                return refuse();
            }
            break;
        case kDQT:
            if (!dec->readDqt(seg, n)) return refuse();
            break;
        case kDHT:
            if (!dec->readDht(seg, n)) return refuse();
            break;
        case kSOF0:
            if (!dec->readSof(seg, n, expectW, expectH, allocate)) return refuse();
            break;
        case kDRI:
            if (n < 2) return refuse();
            dec->restartInterval = be16(seg);
            break;
        case kSOS: {
            const std::size_t next = dec->readScan(seg, n, pos + segLength);
            if (next == 0) return refuse();
            pos = next;
            continue;
        }
        default:
            if (isOtherFrame(m)) return refuse();
            break;
        }
        pos += segLength;
    }
    return refuse();
}

void jpeg_FreePixels(std::uint32_t* pixels) { delete[] pixels; }
