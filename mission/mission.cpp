#include "mission/mission.h"

#include "core/format.h"
#include "core/text.h"
#include "gamedata/itemdef.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

// Built on first use, in a large block: a command-line run that never touches the pages does
// not clear their 5 MiB, and the editor faults them in a few huge pages.
MissionPages& pagesRecord() {
    static const std::unique_ptr<MissionPages> pages = std::make_unique<MissionPages>();
    return *pages;
}

bool validIndex(const Mission& m, std::int32_t index) {
    return index >= 0 && index < m.item_count && index < kMaxItems;
}

// Positions come from files and dialogs; a displacement must not overflow into the other
// end of the coordinate range, so sums stop at its edges.
std::int32_t addClamped(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Pages

MissionPages& mission_Pages() { return pagesRecord(); }

Mission& mission_CurrentPage() {
    MissionPages& p = pagesRecord();
    return p.page[p.current == 1 ? 1 : 0];
}

Mission& mission_Clipboard() { return pagesRecord().clipboard; }

void mission_ResetPages() {
    MissionPages& p = pagesRecord();
    p.current = 0;
    mission_Clear(p.page[0]);
    mission_Clear(p.page[1]);
    mission_Clear(p.clipboard);
}

// ---------------------------------------------------------------------------------------
// Text fields

void mission_SetText(char* field, std::size_t capacity, std::string_view text) {
    if (!field || capacity == 0) return;
    const std::size_t n = std::min(text.size(), capacity - 1);
    if (n) std::memmove(field, text.data(), n);
    std::memset(field + n, 0, capacity - n);
}

// ---------------------------------------------------------------------------------------
// Clearing

void mission_Clear(Mission& m) {
    std::memset(static_cast<MissionTables*>(&m), 0, sizeof(MissionTables));
    m.selection.count = 0;
    m.marks.fill(0);
    m.terrain.reset();
    m.wind_list.clear();
    m.wind_list.shrink_to_fit();
    m.file_path.clear();
    group_SetDefaultNames(m);
}

MissionSnapshot::MissionSnapshot() = default;
MissionSnapshot::~MissionSnapshot() = default;

void MissionSnapshot::take(const Mission& m) {
    if (!tables_) tables_ = std::make_unique<MissionTables>();
    *tables_ = static_cast<const MissionTables&>(m);
    if (!selection_) selection_ = std::make_unique<Selection>();
    *selection_ = m.selection;
}

void MissionSnapshot::restore(Mission& m) const {
    if (tables_) static_cast<MissionTables&>(m) = *tables_;
    if (selection_) m.selection = *selection_;
}

std::string mission_LayerCaption(const Mission& m, std::int32_t layer, bool unnamedAsNumber) {
    std::string_view name;
    if (layer >= 0 && layer < kMaxLayers) name = mission_Text(m.layers[std::size_t(layer)].description);
    if (name.empty() && unnamedAsNumber) return text_Printf("Dialog Message", "LAYERNAME", {layer + 1});
    return text_Format("%2i - %s", {layer + 1, name});
}

const char* mission_KindKey(std::int32_t kind) {
    switch (kind) {
    case kItemVehicle: return "TYPE_VECHILE";
    case kItemDecoration: return "TYPE_DECORATION";
    case kItemPerson: return "TYPE_PERSON";
    case kItemMarker: return "TYPE_MARKER";
    case kItemBuilding: return "TYPE_BUILDING";
    case kItemObject: return "TYPE_OBJECT";
    case kItemEffect: return "TYPE_EFFECT";
    default: return nullptr;
    }
}

void mission_NewPage(Mission& m) {
    mission_Clear(m);
    m.info.subgoals_win.fill(-1);
    m.info.subgoals_lose.fill(-1);
}

void mission_TakeOver(Mission& m, Mission& read, const std::string& filePath) {
    static_cast<MissionTables&>(m) = static_cast<const MissionTables&>(read);
    m.terrain = std::move(read.terrain);  // the page's maps go with it
    m.wind_list = std::move(read.wind_list);
    m.file_path = filePath;
    mission_ClearSelection(m);
    mission_TidyStrayMarkers(m);
}

void group_SetDefaultNames(Mission& m) {
    if (m.groups[1].description[0] == '\0')
        mission_SetText(m.groups[1].description, text_Get("Players", "BLUEPLAYERS"));
    if (m.groups[2].description[0] == '\0') mission_SetText(m.groups[2].description, text_Get("Players", "REDPLAYERS"));
}

// ---------------------------------------------------------------------------------------
// Items

std::int32_t mission_NextItemId(const Mission& m) {
    const std::int32_t count = std::clamp(m.item_count, 0, kMaxItems);
    std::int32_t highest = 0;
    for (std::int32_t i = 0; i < count; ++i) highest = std::max(highest, m.items[i].id);
    if (highest < std::numeric_limits<std::int32_t>::max()) return highest + 1;

    // A file carried the largest id there is. Rather than wrap to a negative id, take the
    // lowest one not in use; with at most kMaxItems items one of 1..kMaxItems+1 is free.
    std::vector<bool> used(kMaxItems + 2, false);
    for (std::int32_t i = 0; i < count; ++i)
        if (m.items[i].id >= 1 && m.items[i].id <= kMaxItems + 1) used[m.items[i].id] = true;
    std::int32_t id = 1;
    while (used[id]) ++id;
    return id;
}

void mission_SetItemDefaults(MissionItem& item) {
    const ItemDef* def = itemdef_At(itemdef_FindByType(item.type_id));
    item.kind = def ? def->type : 0;

    item.wpdistance = kItemDefaultWpDistance;
    item.fov = kItemDefaultFov;
    item.obliqueness = kItemDefaultObliqueness;
    item.movetimer = kItemDefaultMoveTimer;
    item.crouchtimer = kItemDefaultCrouchTimer;
    item.shoottimer = kItemDefaultShootTimer;
    item.attention = kItemDefaultAttention;
    item.advancetimer = kItemDefaultAdvanceTimer;
    item.waccuracy = kItemDefaultAccuracy;
    item.perception = kItemDefaultPerception;
    item.perfectionist = kItemDefaultPerfectionist;
    item.edistances = {kItemDefaultMinEngage, kItemDefaultMaxEngage};

    item.team = kTeamNeutral;
    if (def) {
        if (def->attributes & kItemAttrGood) item.team = kTeamGood;
        if (def->attributes & kItemAttrEvil) item.team = kTeamEvil;  // evil wins over good
    }
}

std::int32_t mission_AddItem(Mission& m, std::int32_t typeId, std::int32_t x, std::int32_t y, std::int32_t z) {
    if (m.item_count < 0 || m.item_count >= kMaxItems) return -1;
    const std::int32_t index = m.item_count;
    MissionItem& item = m.items[index];
    item = MissionItem{};
    item.type_id = typeId;
    item.id = mission_NextItemId(m);
    mission_SetItemDefaults(item);
    item.x = x;
    item.y = y;
    item.z = z;
    item.layer = m.info.current_layer;
    m.marks[std::size_t(index)] = 0;
    m.item_count = index + 1;
    return index;
}

std::int32_t mission_InsertItemCopy(Mission& m, const MissionItem& item) {
    if (m.item_count < 0 || m.item_count >= kMaxItems) return -1;
    const std::int32_t index = m.item_count;
    const std::int32_t id = mission_NextItemId(m);
    m.items[index] = item;  // item may be a record of this very table; copy before counting
    m.items[index].id = id;
    m.items[index].layer = m.info.current_layer;
    m.marks[std::size_t(index)] = 0;
    m.item_count = index + 1;
    return index;
}

int mission_RemoveItem(Mission& m, std::int32_t index) {
    if (!validIndex(m, index)) return 0;
    std::copy(m.items.begin() + index + 1, m.items.begin() + m.item_count, m.items.begin() + index);
    // The display marks go with their items.
    std::copy(m.marks.begin() + index + 1, m.marks.begin() + m.item_count, m.marks.begin() + index);
    --m.item_count;
    m.items[m.item_count] = MissionItem{};
    m.marks[std::size_t(m.item_count)] = 0;
    return 1;
}

// ---------------------------------------------------------------------------------------
// Copy, move, delete

int mission_CopySelected(Mission& dst, const Mission& src, std::int32_t dx, std::int32_t dy, std::int32_t dz) {
    // Take the source's selection first: clearing dst's selection below empties it too when
    // both are the same page.
    const std::int32_t n = std::clamp(src.selection.count, 0, kMaxItems);
    std::vector<std::int32_t> order(src.selection.index.begin(), src.selection.index.begin() + n);
    const std::int32_t srcCount = src.item_count;

    mission_ClearSelection(dst);
    int copied = 0;
    for (std::int32_t index : order) {
        if (index < 0 || index >= srcCount || index >= kMaxItems) continue;
        MissionItem item = src.items[index];
        item.x = addClamped(item.x, dx);
        item.y = addClamped(item.y, dy);
        item.z = addClamped(item.z, dz);
        item.hidden = 0;
        const std::int32_t added = mission_InsertItemCopy(dst, item);
        if (added < 0) continue;  // full: the rest are dropped as well
        mission_Select(dst, added);
        ++copied;
    }
    return copied;
}

void mission_MoveSelected(Mission& m, std::int32_t dx, std::int32_t dy, std::int32_t dz) {
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    for (std::int32_t s = 0; s < n; ++s) {
        const std::int32_t index = m.selection.index[s];
        if (!validIndex(m, index)) continue;
        MissionItem& item = m.items[index];
        item.x = addClamped(item.x, dx);
        item.y = addClamped(item.y, dy);
        item.z = addClamped(item.z, dz);
    }
}

bool mission_OnTerrain(std::int32_t x, std::int32_t y) {
    return x >= -kTerrainHalfSide && x <= kTerrainHalfSide && y >= -kTerrainHalfSide && y <= kTerrainHalfSide;
}

std::int32_t mission_HoldOnTerrain(std::int32_t v) { return std::clamp(v, -kTerrainHalfSide, kTerrainHalfSide); }

void mission_HoldSelectionOnTerrain(Mission& m) {
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    std::int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
    for (std::int32_t s = 0; s < n; ++s) {
        const std::int32_t index = m.selection.index[s];
        if (!validIndex(m, index)) continue;
        const MissionItem& item = m.items[index];
        minX = std::min<std::int64_t>(minX, item.x), maxX = std::max<std::int64_t>(maxX, item.x);
        minY = std::min<std::int64_t>(minY, item.y), maxY = std::max<std::int64_t>(maxY, item.y);
    }
    if (minX > maxX) return;
    // The shift that brings the far side of the selection back to the edge it crossed.
    const auto shift = [](std::int64_t lo, std::int64_t hi) -> std::int64_t {
        if (hi > kTerrainHalfSide) return std::max<std::int64_t>(kTerrainHalfSide - hi, -kTerrainHalfSide - lo);
        if (lo < -kTerrainHalfSide) return std::min<std::int64_t>(-kTerrainHalfSide - lo, kTerrainHalfSide - hi);
        return 0;
    };
    const std::int64_t dx = shift(minX, maxX), dy = shift(minY, maxY);
    for (std::int32_t s = 0; s < n; ++s) {
        const std::int32_t index = m.selection.index[s];
        if (!validIndex(m, index)) continue;
        MissionItem& item = m.items[index];
        item.x = mission_HoldOnTerrain(
            static_cast<std::int32_t>(std::clamp<std::int64_t>(item.x + dx, INT32_MIN, INT32_MAX)));
        item.y = mission_HoldOnTerrain(
            static_cast<std::int32_t>(std::clamp<std::int64_t>(item.y + dy, INT32_MIN, INT32_MAX)));
    }
}

void mission_DeleteSelected(Mission& m) {
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    auto& sel = m.selection.index;
    for (std::int32_t s = 0; s < n; ++s) {
        const std::int32_t removed = sel[s];
        if (!mission_RemoveItem(m, removed)) continue;
        for (std::int32_t t = s + 1; t < n; ++t) {
            if (sel[t] > removed)
                --sel[t];
            else if (sel[t] == removed)
                sel[t] = -1;  // a repeated entry: that item is gone, never remove its successor
        }
    }
    mission_ClearSelection(m);
}

// ---------------------------------------------------------------------------------------
// Selection

void mission_ClearSelection(Mission& m) {
    m.selection.count = 0;
    const std::int32_t count = std::clamp(m.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < count; ++i) m.marks[std::size_t(i)] &= std::uint8_t(~kItemMarkDisplay);
}

bool mission_IsSelected(const Mission& m, std::int32_t index) {
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    const auto end = m.selection.index.begin() + n;
    return std::find(m.selection.index.begin(), end, index) != end;
}

int mission_Select(Mission& m, std::int32_t index) {
    if (!validIndex(m, index) || mission_IsSelected(m, index)) return 0;
    if (m.selection.count < 0) m.selection.count = 0;
    if (m.selection.count >= kMaxItems) return 0;
    m.selection.index[m.selection.count++] = index;
    return 1;
}

int mission_Deselect(Mission& m, std::int32_t index) {
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    auto begin = m.selection.index.begin();
    auto it = std::find(begin, begin + n, index);
    if (it == begin + n) return 0;
    std::copy(it + 1, begin + n, it);
    m.selection.count = n - 1;
    return 1;
}

int mission_ToggleSelect(Mission& m, std::int32_t index) {
    if (mission_Deselect(m, index)) return -1;
    return mission_Select(m, index) ? 1 : 0;
}

std::int32_t mission_ReferenceItem(const Mission& m) {
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    if (n == 0) return -1;
    const std::int32_t index = m.selection.index[n - 1];
    return validIndex(m, index) ? index : -1;
}

// ---------------------------------------------------------------------------------------
// Hiding and visibility

void mission_HideSelected(Mission& m) {
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    for (std::int32_t s = 0; s < n; ++s)
        if (validIndex(m, m.selection.index[s])) m.items[m.selection.index[s]].hidden = 1;
}

void mission_HideUnselected(Mission& m) {
    const std::int32_t count = std::clamp(m.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < count; ++i) m.items[i].hidden = 1;
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    for (std::int32_t s = 0; s < n; ++s)
        if (validIndex(m, m.selection.index[s])) m.items[m.selection.index[s]].hidden = 0;
}

void mission_UnhideAll(Mission& m) {
    const std::int32_t count = std::clamp(m.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < count; ++i) m.items[i].hidden = 0;
}

bool mission_ItemShown(const Mission& m, std::int32_t index, std::uint32_t showFlags) {
    if (!validIndex(m, index)) return false;
    const MissionItem& item = m.items[index];
    if (item.hidden) return false;
    // Kind, team and layer come from files; values outside the flag words cannot be shown
    // by a filter bit (kind, team) or hidden by a layer bit (layer).
    if (item.kind < 0 || item.kind > 15 || !(showFlags & (1u << item.kind))) return false;
    if (item.team < 0 || item.team > 15 || !(showFlags & (1u << (item.team + 16)))) return false;
    if (item.layer >= 0 && item.layer < 32 && (m.info.hidden_layers & (1u << item.layer))) return false;
    return true;
}

int mission_DeselectHidden(Mission& m, std::uint32_t showFlags) {
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    auto begin = m.selection.index.begin();
    const auto kept =
        std::remove_if(begin, begin + n, [&](std::int32_t index) { return !mission_ItemShown(m, index, showFlags); });
    m.selection.count = static_cast<std::int32_t>(kept - begin);
    return n - m.selection.count;
}

void mission_SelectType(Mission& m, std::uint32_t showFlags) {
    const std::int32_t ref = mission_ReferenceItem(m);
    if (ref < 0) return;
    const std::int32_t type = m.items[ref].type_id;
    for (std::int32_t i = 0; i < m.item_count && i < kMaxItems; ++i)
        if (m.items[i].type_id == type && mission_ItemShown(m, i, showFlags)) mission_Select(m, i);
}

// ---------------------------------------------------------------------------------------
// Definitions and stray markers

std::int32_t mission_DefIndex(const MissionItem& item) { return itemdef_FindByType(item.type_id); }

bool mission_IsStrayMarker(const MissionItem& item) {
    if (item.type_id != kWaypointMarkerType || (item.waypoint_id >= 1 && item.waypoint_id < kMaxWaypoints))
        return false;
    // Without the marker's definition there are no paths to belong to, and nothing is tidied.
    const ItemDef* d = itemdef_At(itemdef_FindByType(kWaypointMarkerType));
    return d && d->typeNumber == kWaypointMarkerType;
}

int mission_TidyStrayMarkers(Mission& m) {
    int changed = 0;
    const std::int32_t count = std::clamp(m.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < count; ++i) {
        MissionItem& item = m.items[std::size_t(i)];
        if (item.waypoint_id == 0 || !mission_IsStrayMarker(item)) continue;
        item.waypoint_id = 0;
        ++changed;
    }
    return changed;
}
