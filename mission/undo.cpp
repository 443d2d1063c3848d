#include "mission/undo.h"

#include "gamedata/terrain.h"
#include "mission/page_load.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

// The coding of a step's delta: a sequence of runs of changed blocks,
//
//     run     := first block (varint), block count (varint), tokens
//     tokens  := { zero bytes (varint), literal bytes (varint), the literal bytes }
//
// where the tokens cover the run's bytes (block count x 64, the last block of the tables
// shorter) with the exclusive-or of the old and the new bytes. Moves, field edits and
// deletions change a few bytes of each record they touch, so the exclusive-or is mostly zero.

namespace {

constexpr std::size_t kBlock = 64;
constexpr std::size_t kTablesSize = sizeof(MissionTables);
constexpr std::size_t kBlocks = (kTablesSize + kBlock - 1) / kBlock;
// Equal chunks are skipped with one comparison before the blocks are looked at.
constexpr std::size_t kChunkBlocks = 64;
// A literal stretch ends at this many zero bytes in a row.
constexpr std::size_t kZeroBreak = 3;

const std::uint8_t* bytesOf(const MissionTables& t) { return reinterpret_cast<const std::uint8_t*>(&t); }
std::uint8_t* bytesOf(MissionTables& t) { return reinterpret_cast<std::uint8_t*>(&t); }

std::size_t blockLength(std::size_t block) { return std::min(kBlock, kTablesSize - block * kBlock); }

// Exclusive-or of one block into out.
void xorBlock(const std::uint8_t* a, const std::uint8_t* b, std::size_t block, std::uint8_t* out) {
    const std::size_t off = block * kBlock, len = blockLength(block);
    for (std::size_t i = 0; i < len; ++i) out[i] = static_cast<std::uint8_t>(a[off + i] ^ b[off + i]);
}

bool blockDiffers(const std::uint8_t* a, const std::uint8_t* b, std::size_t block) {
    const std::size_t off = block * kBlock;
    return std::memcmp(a + off, b + off, blockLength(block)) != 0;
}

// Calls fn(block) for every block that differs, in order; stops when fn returns false.
template <class Fn>
void forChangedBlocks(const std::uint8_t* a, const std::uint8_t* b, Fn fn) {
    for (std::size_t chunk = 0; chunk < kBlocks; chunk += kChunkBlocks) {
        const std::size_t end = std::min(kBlocks, chunk + kChunkBlocks);
        const std::size_t off = chunk * kBlock;
        const std::size_t len = std::min(kTablesSize, end * kBlock) - off;
        if (std::memcmp(a + off, b + off, len) == 0) continue;
        for (std::size_t blk = chunk; blk < end; ++blk)
            if (blockDiffers(a, b, blk) && !fn(blk)) return;
    }
}

void putVarint(std::vector<std::uint8_t>& out, std::size_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

std::size_t getVarint(const std::uint8_t*& p) {
    std::size_t v = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t b = *p++;
        v |= std::size_t(b & 0x7F) << shift;
        if (!(b & 0x80)) return v;
    }
}

// Tokens for one run's exclusive-or bytes.
void putTokens(std::vector<std::uint8_t>& out, const std::uint8_t* x, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        std::size_t zeros = 0;
        while (i + zeros < n && x[i + zeros] == 0) ++zeros;
        const std::size_t start = i + zeros;
        // A literal stretch runs until kZeroBreak zero bytes in a row or the end; the zeros
        // at its end belong to the next token.
        std::size_t end = start, run = 0;
        while (end < n) {
            if (x[end] == 0) {
                if (++run >= kZeroBreak) break;
            } else {
                run = 0;
            }
            ++end;
        }
        while (end > start && x[end - 1] == 0) --end;
        putVarint(out, zeros);
        putVarint(out, end - start);
        out.insert(out.end(), x + start, x + end);
        i = end;
    }
}

// Applies a delta to the tables: every coded byte is exclusive-ored in.
void applyDelta(MissionTables& t, const std::vector<std::uint8_t>& delta) {
    std::uint8_t* bytes = bytesOf(t);
    const std::uint8_t* p = delta.data();
    const std::uint8_t* end = p + delta.size();
    while (p < end) {
        const std::size_t first = getVarint(p);
        const std::size_t count = getVarint(p);
        std::size_t pos = first * kBlock;
        const std::size_t stop = std::min(kTablesSize, (first + count) * kBlock);
        while (pos < stop) {
            pos += getVarint(p);
            const std::size_t lit = getVarint(p);
            for (std::size_t i = 0; i < lit; ++i) bytes[pos + i] ^= p[i];
            p += lit;
            pos += lit;
        }
    }
}

// Copies the changed blocks of a delta from one table to another.
void copyBlocks(MissionTables& to, const MissionTables& from, const std::vector<std::size_t>& blocks) {
    for (std::size_t blk : blocks)
        std::memcpy(bytesOf(to) + blk * kBlock, bytesOf(from) + blk * kBlock, blockLength(blk));
}

bool sameWind(const std::vector<WindEntry>& a, const std::vector<WindEntry>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(WindEntry)) == 0);
}

// The selection as it was; the items' display marks go with a cleared selection, as always.
void setSelection(Mission& m, const std::vector<std::int32_t>& list) {
    mission_ClearSelection(m);
    const std::int32_t count = std::clamp(m.item_count, 0, kMaxItems);
    std::vector<bool> taken(static_cast<std::size_t>(count), false);
    std::int32_t n = 0;
    for (std::int32_t index : list) {
        if (index < 0 || index >= count || taken[std::size_t(index)]) continue;
        taken[std::size_t(index)] = true;
        m.selection.index[std::size_t(n++)] = index;
    }
    m.selection.count = n;
}

}  // namespace

// ---------------------------------------------------------------------------------------

bool undo_SameContent(const Mission& a, const Mission& b) {
    bool same = true;
    forChangedBlocks(bytesOf(a), bytesOf(b), [&same](std::size_t) { return same = false; });
    return same && sameWind(a.wind_list, b.wind_list) && a.file_path == b.file_path;
}

std::vector<std::int32_t> undo_Selection(const Mission& m) {
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    return std::vector<std::int32_t>(m.selection.index.begin(), m.selection.index.begin() + n);
}

std::size_t UndoStep::bytes() const {
    return sizeof(UndoStep) + name.capacity() + delta.capacity() +
           (selectionBefore.capacity() + selectionAfter.capacity()) * sizeof(std::int32_t) +
           (windBefore.capacity() + windAfter.capacity()) * sizeof(WindEntry) + pathBefore.capacity() +
           pathAfter.capacity();
}

UndoHistory::UndoHistory() = default;
UndoHistory::~UndoHistory() = default;

void UndoHistory::reset(const Mission& m, bool saved) {
    if (!base_) base_ = std::make_unique<MissionTables>();
    std::memcpy(static_cast<void*>(base_.get()), static_cast<const MissionTables*>(&m), kTablesSize);
    baseWind_ = m.wind_list;
    basePath_ = m.file_path;
    steps_.clear();
    pos_ = 0;
    first_ = 0;
    bytes_ = 0;
    saved_ = saved ? 0 : -1;
}

void UndoHistory::forget() {
    base_.reset();
    baseWind_.clear();
    basePath_.clear();
    steps_.clear();
    pos_ = 0;
    first_ = 0;
    saved_ = 0;
    bytes_ = 0;
    budget_ = kUndoDefaultBudget;
}

bool UndoHistory::pending(const Mission& m) const {
    if (!base_) return false;
    return !sameWind(baseWind_, m.wind_list) || basePath_ != m.file_path || [&] {
        bool differs = false;
        forChangedBlocks(bytesOf(m), bytesOf(*base_), [&differs](std::size_t) { return !(differs = true); });
        return differs;
    }();
}

bool UndoHistory::commit(const Mission& m, const char* nameKey, const std::vector<std::int32_t>& selectionBefore) {
    if (!base_) {
        reset(m, m.item_count == 0);
        return false;
    }
    const std::uint8_t* live = bytesOf(m);
    std::uint8_t* base = bytesOf(*base_);
    std::vector<std::size_t> blocks;
    forChangedBlocks(live, base, [&blocks](std::size_t blk) {
        blocks.push_back(blk);
        return true;
    });
    const bool windChanged = !sameWind(baseWind_, m.wind_list);
    const bool pathChanged = m.file_path != basePath_;
    if (blocks.empty() && !windChanged && !pathChanged) return false;

    UndoStep s;
    s.name = nameKey ? nameKey : "";
    s.terrainChanged = std::memcmp(m.info.terrain, base_->info.terrain, sizeof m.info.terrain) != 0;
    // Runs of consecutive changed blocks, each coded as one stretch of exclusive-or bytes.
    std::vector<std::uint8_t> x;
    for (std::size_t i = 0; i < blocks.size();) {
        std::size_t j = i + 1;
        while (j < blocks.size() && blocks[j] == blocks[j - 1] + 1) ++j;
        const std::size_t first = blocks[i], count = j - i;
        const std::size_t n = std::min(kTablesSize, (first + count) * kBlock) - first * kBlock;
        x.resize(n);
        for (std::size_t b = 0; b < count; ++b) xorBlock(live, base, first + b, x.data() + b * kBlock);
        putVarint(s.delta, first);
        putVarint(s.delta, count);
        putTokens(s.delta, x.data(), n);
        i = j;
    }
    s.delta.shrink_to_fit();
    s.selectionBefore = selectionBefore;
    s.selectionAfter = undo_Selection(m);
    if (windChanged) {
        s.windChanged = true;
        s.windBefore = baseWind_;
        s.windAfter = m.wind_list;
        baseWind_ = m.wind_list;
    }
    if (pathChanged) {
        s.pathChanged = true;
        s.pathBefore = basePath_;
        s.pathAfter = m.file_path;
        basePath_ = m.file_path;
    }
    copyBlocks(*base_, m, blocks);

    // A new step after undos cuts the steps that could have been redone.
    while (steps_.size() > pos_) {
        bytes_ -= steps_.back().bytes();
        steps_.pop_back();
    }
    if (saved_ > std::int64_t(first_ + pos_)) saved_ = -1;
    bytes_ += s.bytes();
    steps_.push_back(std::move(s));
    ++pos_;
    trim();
    return true;
}

void UndoHistory::trim() {
    while (bytes_ > budget_ && pos_ > 1) {
        bytes_ -= steps_.front().bytes();
        steps_.pop_front();
        --pos_;
        ++first_;
        if (saved_ >= 0 && saved_ < std::int64_t(first_)) saved_ = -1;
    }
}

void UndoHistory::setBudget(std::size_t bytes) {
    budget_ = bytes;
    trim();
}

void UndoHistory::apply(Mission& m, const UndoStep& s, bool forward) {
    applyDelta(m, s.delta);
    applyDelta(*base_, s.delta);
    setSelection(m, forward ? s.selectionAfter : s.selectionBefore);
    if (s.windChanged) {
        m.wind_list = forward ? s.windAfter : s.windBefore;
        baseWind_ = m.wind_list;
    }
    if (s.pathChanged) {
        m.file_path = forward ? s.pathAfter : s.pathBefore;
        basePath_ = m.file_path;
    }
    if (s.terrainChanged) {
        // The page's maps follow its terrain name; a page without one has none.
        if (m.info.terrain[0] == '\0')
            m.terrain.reset();
        else
            pageload_TerrainMaps(m);
    }
}

UndoResult UndoHistory::undo(Mission& m) {
    UndoResult r;
    if (!base_ || pos_ == 0) return r;
    const std::int32_t items = m.item_count;
    apply(m, steps_[--pos_], false);
    r.done = true;
    r.terrainChanged = steps_[pos_].terrainChanged;
    r.itemsAdded = m.item_count > items;
    return r;
}

UndoResult UndoHistory::redo(Mission& m) {
    UndoResult r;
    if (!base_ || pos_ >= steps_.size()) return r;
    const std::int32_t items = m.item_count;
    apply(m, steps_[pos_++], true);
    r.done = true;
    r.terrainChanged = steps_[pos_ - 1].terrainChanged;
    r.itemsAdded = m.item_count > items;
    return r;
}

const char* UndoHistory::undoName() const { return pos_ > 0 ? steps_[pos_ - 1].name.c_str() : nullptr; }

const char* UndoHistory::redoName() const { return pos_ < steps_.size() ? steps_[pos_].name.c_str() : nullptr; }

void UndoHistory::adoptPath(const Mission& m) {
    if (base_) basePath_ = m.file_path;
}

void UndoHistory::markSaved(const Mission& m) {
    if (!base_) reset(m, true);
    basePath_ = m.file_path;
    saved_ = std::int64_t(first_ + pos_);
}

UndoHistory& undo_PageHistory(int page) {
    static std::array<UndoHistory, 2> histories;
    return histories[page == 1 ? 1 : 0];
}
