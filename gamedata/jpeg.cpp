#include "gamedata/jpeg.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

// ---------------------------------------------------------------------------------------
// Conversion tables. They are constant once built, so one copy serves every call.

constexpr int kClampSize = 256 + 256 + 384 + 384 + 128;

struct JpegTables {
    // Index i + 256 gives i clamped to 0..255 for -256 <= i < 640; the tail (384 zeros and
    // the first 128 identity entries) lets the inverse DCT index with (value & 1023) + 384,
    // so wildly out-of-range values from bad data still land inside the table.
    std::array<std::uint8_t, kClampSize> clamp{};
    std::array<int, 256> crRed{};
    std::array<int, 256> cbBlue{};
    std::array<std::int32_t, 256> crGreen{};
    std::array<std::int32_t, 256> cbGreen{};
};

constexpr std::int32_t kHalf = 1 << 15;

JpegTables buildTables() {
    JpegTables t;
    int k = 0;
    for (int i = 0; i < 256; ++i) t.clamp[k++] = 0;
    for (int i = 0; i < 256; ++i) t.clamp[k++] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 384; ++i) t.clamp[k++] = 255;
    for (int i = 0; i < 384; ++i) t.clamp[k++] = 0;
    for (int i = 0; i < 128; ++i) t.clamp[k++] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 256; ++i) {
        const std::int32_t x = i - 128;
        // Right shifts of negative values are arithmetic (C++20), as the JFIF conversion wants.
        t.crRed[i] = (91881 * x + kHalf) >> 16;    // 1.402
        t.cbBlue[i] = (116130 * x + kHalf) >> 16;  // 1.772
        t.crGreen[i] = -46802 * x;                 // 0.71414
        t.cbGreen[i] = -22554 * x + kHalf;         // 0.34414, carries the rounding
    }
    return t;
}

const JpegTables& tables() {
    static const JpegTables t = buildTables();
    return t;
}

// Zig-zag position -> natural (row-major) position.
constexpr std::array<std::uint8_t, 64> kZigZag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// ---------------------------------------------------------------------------------------
// Huffman tables: a 256-entry lookup for codes of up to 8 bits, limits for longer ones.

struct HuffTable {
    bool present = false;
    std::array<std::uint8_t, 256> lookLength{};  // 0: the code is longer than 8 bits
    std::array<std::uint8_t, 256> lookSymbol{};
    std::array<std::int32_t, 18> maxCode{};      // per length; [17] is the sentinel
    std::array<std::int32_t, 17> valOffset{};    // symbol index = code + valOffset[length]
    std::array<std::uint8_t, 256> symbols{};
    int count = 0;
};

// Builds t from 16 counts and their symbols. false for a table whose codes overflow.
bool buildHuffman(HuffTable& t, const std::uint8_t* counts, const std::uint8_t* symbols, int total) {
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
    t.present = true;
    return true;
}

// ---------------------------------------------------------------------------------------
// Bit reader over the entropy-coded data. It stops at a marker and then feeds zero bits.

struct BitReader {
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    std::size_t pos = 0;
    std::uint64_t bits = 0;  // valid bits at the top
    int count = 0;
    bool atMarker = false;   // pos is on the 0xFF of a marker (or at the end of the data)

    void fill() {
        while (count <= 56) {
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
    std::uint32_t peek(int n) {
        if (count < n) fill();
        return static_cast<std::uint32_t>(bits >> (64 - n));
    }
    void skip(int n) {
        bits <<= n;
        count -= n;
    }
    std::uint32_t get(int n) {
        if (n == 0) return 0;
        const std::uint32_t v = peek(n);
        skip(n);
        return v;
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

// Symbol of the next code, or -1 for a code the table does not hold.
int decodeHuffman(BitReader& br, const HuffTable& t) {
    const std::uint32_t look = br.peek(8);
    const int len = t.lookLength[look];
    if (len != 0) {
        br.skip(len);
        return t.lookSymbol[look];
    }
    const std::uint32_t wide = br.peek(16);
    int l = 9;
    std::int32_t code = static_cast<std::int32_t>(wide >> 7);
    while (code > t.maxCode[l]) {
        if (++l > 16) return -1;  // past the longest code: the sentinel length
        code = static_cast<std::int32_t>(wide >> (16 - l));
    }
    br.skip(l);
    const int index = code + t.valOffset[l];
    if (index < 0 || index >= t.count) return -1;
    return t.symbols[index];
}

inline int extend(std::uint32_t v, int s) {
    return (v < (1u << (s - 1))) ? static_cast<int>(v) - (1 << s) + 1 : static_cast<int>(v);
}

// ---------------------------------------------------------------------------------------
// Accurate integer inverse DCT (Loeffler-Ligtenberg-Moschytz, 13-bit constants). The first
// pass works down the columns into a workspace scaled by 2^2, the second along the rows.

constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;
constexpr std::int64_t F0_298 = 2446, F0_390 = 3196, F0_541 = 4433, F0_765 = 6270,
                       F0_899 = 7373, F1_175 = 9633, F1_501 = 12299, F1_847 = 15137,
                       F1_961 = 16069, F2_053 = 16819, F2_562 = 20995, F3_072 = 25172;

inline std::int64_t descale(std::int64_t x, int n) { return (x + (std::int64_t(1) << (n - 1))) >> n; }

void idctBlock(const std::int16_t* coef, const std::uint16_t* quant, std::uint8_t* out, int stride,
               const std::uint8_t* clamp) {
    int ws[64];
    for (int c = 0; c < 8; ++c) {
        const std::int16_t* in = coef + c;
        const std::uint16_t* q = quant + c;
        int* w = ws + c;
        if (in[8] == 0 && in[16] == 0 && in[24] == 0 && in[32] == 0 && in[40] == 0 && in[48] == 0 &&
            in[56] == 0) {
            const int dc = static_cast<int>(std::int64_t(in[0]) * q[0] * (1 << kPass1Bits));
            for (int r = 0; r < 8; ++r) w[r * 8] = dc;
            continue;
        }
        std::int64_t z2 = std::int64_t(in[16]) * q[16];
        std::int64_t z3 = std::int64_t(in[48]) * q[48];
        std::int64_t z1 = (z2 + z3) * F0_541;
        std::int64_t tmp2 = z1 + z3 * -F1_847;
        std::int64_t tmp3 = z1 + z2 * F0_765;
        z2 = std::int64_t(in[0]) * q[0];
        z3 = std::int64_t(in[32]) * q[32];
        std::int64_t tmp0 = (z2 + z3) * (1 << kConstBits);
        std::int64_t tmp1 = (z2 - z3) * (1 << kConstBits);
        const std::int64_t tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
        const std::int64_t tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;

        tmp0 = std::int64_t(in[56]) * q[56];
        tmp1 = std::int64_t(in[40]) * q[40];
        tmp2 = std::int64_t(in[24]) * q[24];
        tmp3 = std::int64_t(in[8]) * q[8];
        z1 = tmp0 + tmp3;
        z2 = tmp1 + tmp2;
        z3 = tmp0 + tmp2;
        std::int64_t z4 = tmp1 + tmp3;
        const std::int64_t z5 = (z3 + z4) * F1_175;
        tmp0 *= F0_298;
        tmp1 *= F2_053;
        tmp2 *= F3_072;
        tmp3 *= F1_501;
        z1 *= -F0_899;
        z2 *= -F2_562;
        z3 = z3 * -F1_961 + z5;
        z4 = z4 * -F0_390 + z5;
        tmp0 += z1 + z3;
        tmp1 += z2 + z4;
        tmp2 += z2 + z3;
        tmp3 += z1 + z4;

        constexpr int n = kConstBits - kPass1Bits;
        w[0] = static_cast<int>(descale(tmp10 + tmp3, n));
        w[56] = static_cast<int>(descale(tmp10 - tmp3, n));
        w[8] = static_cast<int>(descale(tmp11 + tmp2, n));
        w[48] = static_cast<int>(descale(tmp11 - tmp2, n));
        w[16] = static_cast<int>(descale(tmp12 + tmp1, n));
        w[40] = static_cast<int>(descale(tmp12 - tmp1, n));
        w[24] = static_cast<int>(descale(tmp13 + tmp0, n));
        w[32] = static_cast<int>(descale(tmp13 - tmp0, n));
    }
    // The clamp index: the value plus the level shift of 128, through the wrap-safe tail.
    const std::uint8_t* limit = clamp + 256 + 128;
    constexpr int n2 = kConstBits + kPass1Bits + 3;
    for (int r = 0; r < 8; ++r) {
        const int* w = ws + r * 8;
        std::uint8_t* o = out + r * stride;
        std::int64_t z2 = w[2], z3 = w[6];
        std::int64_t z1 = (z2 + z3) * F0_541;
        std::int64_t tmp2 = z1 + z3 * -F1_847;
        std::int64_t tmp3 = z1 + z2 * F0_765;
        std::int64_t tmp0 = (std::int64_t(w[0]) + w[4]) * (1 << kConstBits);
        std::int64_t tmp1 = (std::int64_t(w[0]) - w[4]) * (1 << kConstBits);
        const std::int64_t tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
        const std::int64_t tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;

        tmp0 = w[7];
        tmp1 = w[5];
        tmp2 = w[3];
        tmp3 = w[1];
        z1 = tmp0 + tmp3;
        z2 = tmp1 + tmp2;
        z3 = tmp0 + tmp2;
        std::int64_t z4 = tmp1 + tmp3;
        const std::int64_t z5 = (z3 + z4) * F1_175;
        tmp0 *= F0_298;
        tmp1 *= F2_053;
        tmp2 *= F3_072;
        tmp3 *= F1_501;
        z1 *= -F0_899;
        z2 *= -F2_562;
        z3 = z3 * -F1_961 + z5;
        z4 = z4 * -F0_390 + z5;
        tmp0 += z1 + z3;
        tmp1 += z2 + z4;
        tmp2 += z2 + z3;
        tmp3 += z1 + z4;

        o[0] = limit[static_cast<int>(descale(tmp10 + tmp3, n2)) & 1023];
        o[7] = limit[static_cast<int>(descale(tmp10 - tmp3, n2)) & 1023];
        o[1] = limit[static_cast<int>(descale(tmp11 + tmp2, n2)) & 1023];
        o[6] = limit[static_cast<int>(descale(tmp11 - tmp2, n2)) & 1023];
        o[2] = limit[static_cast<int>(descale(tmp12 + tmp1, n2)) & 1023];
        o[5] = limit[static_cast<int>(descale(tmp12 - tmp1, n2)) & 1023];
        o[3] = limit[static_cast<int>(descale(tmp13 + tmp0, n2)) & 1023];
        o[4] = limit[static_cast<int>(descale(tmp13 - tmp0, n2)) & 1023];
    }
}

// ---------------------------------------------------------------------------------------
// Marker walking.

constexpr std::uint8_t kSOI = 0xD8, kEOI = 0xD9, kAPP0 = 0xE0, kSOF0 = 0xC0, kDHT = 0xC4,
                       kDQT = 0xDB, kDRI = 0xDD, kSOS = 0xDA, kDAC = 0xCC;

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
        if (!buildHuffman(tc ? ac[th] : dc[th], counts, p + i, total)) return false;
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
        if (w > kJpegMaxSide || h > kJpegMaxSide || std::uint64_t(w) * std::uint64_t(h) > kJpegMaxPixels)
            return false;
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

    const JpegTables& t = tables();
    const std::uint8_t* clamp = t.clamp.data();
    const std::uint8_t* range = clamp + 256;

    // Sample planes of one MCU, and for every pixel of the MCU the sample it takes from each.
    std::array<std::array<std::uint8_t, 32 * 32>, 3> plane{};
    std::array<int, 3> planeStride{};
    std::array<std::array<std::uint16_t, 32 * 32>, 3> sampleIndex{};
    for (int c = 0; c < 3; ++c) {
        planeStride[c] = 8 * comp[c].h;
        const int hs = hMax / comp[c].h, vs = vMax / comp[c].v;
        for (int y = 0; y < mcuHeight; ++y)
            for (int x = 0; x < mcuWidth; ++x)
                sampleIndex[c][y * mcuWidth + x] = static_cast<std::uint16_t>((y / vs) * planeStride[c] + x / hs);
    }

    BitReader br;
    br.data = data;
    br.length = length;
    br.pos = dataPos;
    for (auto& c : comp) c.pred = 0;
    unsigned restartsLeft = restartInterval;
    alignas(16) std::int16_t coef[64];
    bool bad = false;

    for (int my = 0; my < mcusY && !bad; ++my) {
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
                Component& c = comp[order[i]];
                const HuffTable& dct = dc[c.dcTable];
                const HuffTable& act = ac[c.acTable];
                const std::uint16_t* q = quant[c.quant].data();
                std::uint8_t* pl = plane[order[i]].data();
                const int stride = planeStride[order[i]];
                for (int by = 0; by < c.v && !bad; ++by) {
                    for (int bx = 0; bx < c.h; ++bx) {
                        std::memset(coef, 0, sizeof coef);
                        const int s = decodeHuffman(br, dct);
                        if (s < 0 || s > 11) {
                            bad = true;
                            break;
                        }
                        const int diff = s ? extend(br.get(s), s) : 0;
                        c.pred = static_cast<int>(static_cast<unsigned>(c.pred) + static_cast<unsigned>(diff));
                        coef[0] = static_cast<std::int16_t>(c.pred);
                        bool acSeen = false;
                        for (int k = 1; k < 64;) {
                            const int rs = decodeHuffman(br, act);
                            if (rs < 0) {
                                bad = true;
                                break;
                            }
                            const int r = rs >> 4, sz = rs & 15;
                            if (sz) {
                                k += r;
                                if (k > 63 || sz > 10) {
                                    bad = true;
                                    break;
                                }
                                coef[kZigZag[k]] = static_cast<std::int16_t>(extend(br.get(sz), sz));
                                acSeen = true;
                                ++k;
                            } else if (r == 15) {
                                k += 16;
                            } else {
                                break;
                            }
                        }
                        if (bad) break;
                        std::uint8_t* dst = pl + by * 8 * stride + bx * 8;
                        if (acSeen) {
                            idctBlock(coef, q, dst, stride, clamp);
                        } else {
                            // A flat block: what the full transform gives for a lone DC term.
                            const int ws = static_cast<int>(std::int64_t(coef[0]) * q[0] * (1 << kPass1Bits));
                            const int v = static_cast<int>(descale(std::int64_t(ws) * (1 << kConstBits), kConstBits + kPass1Bits + 3));
                            const std::uint8_t sample = clamp[256 + 128 + (v & 1023)];
                            for (int r = 0; r < 8; ++r) std::memset(dst + r * stride, sample, 8);
                        }
                    }
                }
            }
            if (bad) break;
            // Colour conversion of the MCU's pixels that lie inside the picture.
            const int x0 = mx * mcuWidth, y0 = my * mcuHeight;
            const int wEnd = std::min(mcuWidth, width - x0), hEnd = std::min(mcuHeight, height - y0);
            const std::uint8_t* py = plane[0].data();
            const std::uint8_t* pcb = plane[1].data();
            const std::uint8_t* pcr = plane[2].data();
            for (int y = 0; y < hEnd; ++y) {
                std::uint32_t* row = out + std::size_t(y0 + y) * std::size_t(width) + x0;
                const std::uint16_t* iy = sampleIndex[0].data() + y * mcuWidth;
                const std::uint16_t* icb = sampleIndex[1].data() + y * mcuWidth;
                const std::uint16_t* icr = sampleIndex[2].data() + y * mcuWidth;
                for (int x = 0; x < wEnd; ++x) {
                    const int yy = py[iy[x]];
                    const int cb = pcb[icb[x]];
                    const int cr = pcr[icr[x]];
                    const std::uint32_t r = range[yy + t.crRed[cr]];
                    const std::uint32_t g = range[yy + ((t.cbGreen[cb] + t.crGreen[cr]) >> 16)];
                    const std::uint32_t b = range[yy + t.cbBlue[cb]];
                    row[x] = (r << 16) | (g << 8) | b;
                }
            }
        }
    }
    if (bad) return 0;
    scanDone = true;
    br.toMarker();
    return br.pos;
}

}  // namespace

int jpeg_ReadSize(const std::uint8_t* data, std::size_t length, int* width, int* height) {
    if (!data) return 0;
    (void)tables();
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
            if (hasJfifId(seg, n)) jfif = true;
            else if (!jfif) return 0;
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

int jpeg_Decode(const std::uint8_t* data, std::size_t length, int* width, int* height,
                std::uint32_t** pixels, bool allocate) {
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
