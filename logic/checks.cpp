#include "logic/checks.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/terrain.h"
#include "logic/refs.h"
#include "logic/vocab.h"
#include "mission/export.h"
#include "mission/metafile.h"
#include "mission/mission.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace {

// Each kind: its stable name, the key of its message in section "Checks", its severity and
// the wording used when the table has no such key. Every message takes the arguments noted
// in data/text/checks.txt, in that order.
struct KindDef {
    const char* name;
    const char* key;
    CheckSeverity severity;
    const char* fallback;
};

constexpr CheckSeverity E = CheckSeverity::Error;
constexpr CheckSeverity W = CheckSeverity::Warning;

constexpr std::array<KindDef, std::size_t(CheckKind::Count_)> kKinds = {{
    {"unknown-type", "UNKNOWN_TYPE", E, "%s: no item definition has type %i"},
    {"duplicate-id", "DUPLICATE_ID", E, "%s: id %i is already the id of %s"},
    {"marker-path", "MARKER_PATH", E, "%s: waypoint marker on path %i, outside 1..127"},
    {"marker-number", "MARKER_NUMBER", E,
     "%s: waypoint marker numbered %i; the game takes the first 32 points of a path (0..31)"},
    {"area-marker", "AREA_MARKER", E, "%s: area marker for area %i, outside 1..99"},
    {"group-range", "GROUP_RANGE", E, "%s: group %i, outside 1..63"},
    {"lost-item", "LOST_ITEM", E, "item %i lies beyond num_items %i and is lost"},
    {"lost-event", "LOST_EVENT", E, "event %i lies beyond num_events %i and is lost"},
    {"row-count", "ROW_COUNT", E, "%s: more triggers or actions than an event holds"},
    {"missing-event", "MISSING_EVENT", E, "%s: names event %i, which does not exist"},
    {"missing-terrain", "MISSING_TERRAIN", E, "terrain %s cannot be found in the game data (no %s.trn)"},
    {"empty-group", "EMPTY_GROUP", E, "%s: names %s, which has no members"},
    {"missing-path", "MISSING_PATH", E, "%s: names %s, which has no markers"},
    {"missing-area", "MISSING_AREA", E, "%s: names %s, which has no markers"},
    {"missing-subgoal", "MISSING_SUBGOAL", E, "%s: names sub-goal %i, which is not set"},
    {"missing-record", "MISSING_RECORD", E, "%s: names %s, which does not exist"},
    {"short-path", "SHORT_PATH", E, "%s: only %i marker; a path needs at least two"},
    {"path-gap", "PATH_GAP", E, "%s: its markers are numbered %s, with gaps or repeats"},
    {"short-area", "SHORT_AREA", E, "%s: only %i corner; an area needs two opposite corners or more"},
    {"unreachable-event", "UNREACHABLE_EVENT", W, "%s: no trigger can fire it and no event refers to it"},
    {"stray-unit", "STRAY_UNIT", W, "%s: follows %s, but the rest of %s follows %s"},
    {"outside-terrain", "OUTSIDE_TERRAIN", W, "%s: at (%i, %i) m, outside the terrain"},
    {"stacked-items", "STACKED_ITEMS", W, "%s: on the same spot as %s, of the same type"},
    {"section-limit", "SECTION_LIMIT", E, "%i %s; the game takes %i and the export cuts the rest"},
    {"near-limit", "NEAR_LIMIT", W, "%i %s; the game takes at most %i"},
    {"same-subgoals", "SAME_SUBGOALS", W, "win sub-goal %i and lose sub-goal %i are the same condition: %s"},
    {"team-missing", "TEAM_MISSING", W, "%s: %s, but no unit is on that team"},
    {"count-mismatch", "COUNT_MISMATCH", E, "%s %i is more than the %i %s read; the mission holds those %i"},
    {"no-event-block", "NO_EVENT_BLOCK", W,
     "event %i has no block: it stays an empty event, since events are known by their numbers"},
    {"text-cut", "TEXT_CUT", E, "%s of %i characters is cut to the %i the field holds"},
}};

const KindDef& def(CheckKind k) { return kKinds[std::size_t(k)]; }

std::string message(CheckKind k, std::initializer_list<FmtArg> args) {
    const KindDef& d = def(k);
    std::string out;
    // A table wording that does not fit the arguments gives way to ours, never garbage.
    if (text_TryFormat(refs_Wording(d.key, d.fallback), args, out)) return out;
    return text_Format(d.fallback, args);
}

const ItemDef* itemDef(const MissionItem& it) { return refs_ItemDef(it); }
std::string itemSubject(const Mission& m, std::int32_t i) { return refs_Name(m, RefKind::Item, i); }
std::string eventSubject(const Mission& m, std::int32_t e) { return refs_Name(m, RefKind::Event, e); }
std::string rowSubject(const Mission& m, std::int32_t e, bool action, std::int32_t row) {
    return refs_RowName(m, e, action, row);
}
std::string recordSubject(const Mission& m, RefKind kind, std::int32_t n) { return refs_Name(m, kind, n); }

int lineOf(const std::vector<int>* v, std::size_t n, int fallback) {
    return v && n < v->size() && (*v)[n] > 0 ? (*v)[n] : fallback;
}

class Checker {
public:
    Checker(const Mission& m, const CheckOptions& o) : m_(m), o_(o) {
        items_ = std::clamp(m.item_count, 0, kMaxItems);
        events_ = std::clamp(m.event_count, 0, kMaxEvents);
    }

    std::vector<CheckFinding> run() {
        itemsPass();
        lostBlocks();
        eventsPass();
        recordsPass();
        generalPass();
        return std::move(out_);
    }

private:
    CheckFinding& add(CheckKind k, CheckTarget target, std::int32_t number, int line, std::string text) {
        CheckFinding f;
        f.kind = k;
        f.severity = def(k).severity;
        f.target = target;
        f.number = number;
        f.line = line;
        f.message = std::move(text);
        out_.push_back(std::move(f));
        return out_.back();
    }

    int itemLine(std::int32_t i) const {
        return o_.lines ? lineOf(&o_.lines->item, std::size_t(i), o_.lines->numItems) : 0;
    }
    int eventLine(std::int32_t e) const {
        return o_.lines ? lineOf(&o_.lines->event, std::size_t(e), o_.lines->numEvents) : 0;
    }
    int rowLine(std::int32_t e, bool action, std::int32_t r) const {
        if (!o_.lines) return 0;
        const auto& rows = action ? o_.lines->action : o_.lines->trigger;
        return lineOf(std::size_t(e) < rows.size() ? &rows[std::size_t(e)] : nullptr, std::size_t(r), eventLine(e));
    }
    // The record's block, else (a record the file never described) its first marker.
    int recordLine(RefKind kind, std::int32_t n, std::int32_t firstMarker) const {
        if (!o_.lines) return 0;
        const std::vector<int>* v = kind == RefKind::Group  ? &o_.lines->group
                                    : kind == RefKind::Path ? &o_.lines->waypoint
                                                            : &o_.lines->area;
        return lineOf(v, std::size_t(n), itemLine(firstMarker));
    }

    void itemsPass() {
        const bool types = o_.itemTypes && itemdef_Count() > 0;
        std::unordered_map<std::int32_t, std::int32_t> firstWithId;
        firstWithId.reserve(std::size_t(items_) * 2);
        for (std::int32_t i = 0; i < items_; ++i) {
            const MissionItem& it = m_.items[std::size_t(i)];
            if (types && !itemDef(it))
                add(CheckKind::UnknownType, CheckTarget::Item, i, itemLine(i),
                    message(CheckKind::UnknownType, {itemSubject(m_, i), it.type_id}));
            auto [at, fresh] = firstWithId.emplace(it.id, i);
            if (!fresh)
                add(CheckKind::DuplicateId, CheckTarget::Item, i, itemLine(i),
                    message(CheckKind::DuplicateId, {itemSubject(m_, i), it.id, itemSubject(m_, at->second)}));
            if (it.type_id == kWaypointMarkerType) {
                if (it.waypoint_id < 1 || it.waypoint_id >= kMaxWaypoints)
                    add(CheckKind::MarkerPath, CheckTarget::Item, i, itemLine(i),
                        message(CheckKind::MarkerPath, {itemSubject(m_, i), it.waypoint_id}));
                else {
                    auto& numbers = pathNumbers_[std::size_t(it.waypoint_id)];
                    if (numbers.empty()) firstMarker_[std::size_t(it.waypoint_id)] = i;
                    numbers.push_back(it.wpnumber);
                }
                if (it.wpnumber > 31)
                    add(CheckKind::MarkerNumber, CheckTarget::Item, i, itemLine(i),
                        message(CheckKind::MarkerNumber, {itemSubject(m_, i), it.wpnumber}));
            } else if (it.type_id == kAreaMarkerType) {
                if (it.wpnumber < 1 || it.wpnumber >= kMaxAreaTriggers)
                    add(CheckKind::AreaMarker, CheckTarget::Item, i, itemLine(i),
                        message(CheckKind::AreaMarker, {itemSubject(m_, i), it.wpnumber}));
                else if (areaCorners_[std::size_t(it.wpnumber)]++ == 0)
                    firstCorner_[std::size_t(it.wpnumber)] = i;
            } else if (it.waypoint_id != 0 && (it.kind == kItemPerson || it.kind == kItemVehicle)) {
                followers_.push_back(i);
            }
            if (it.group_id != 0 && (it.group_id < 1 || it.group_id >= kMaxGroups))
                add(CheckKind::GroupRange, CheckTarget::Item, i, itemLine(i),
                    message(CheckKind::GroupRange, {itemSubject(m_, i), it.group_id}));
            else if (it.group_id != 0)
                ++members_[std::size_t(it.group_id)];
            if (!mission_OnTerrain(it.x, it.y))
                add(CheckKind::OutsideTerrain, CheckTarget::Item, i, itemLine(i),
                    message(CheckKind::OutsideTerrain, {itemSubject(m_, i), it.x / 256, it.y / 256}));
            countSection(it);
        }
        stackedItems();
        unitPaths();
    }

    void countSection(const MissionItem& it) {
        switch (it.kind) {
        case kItemDecoration:
        case kItemBuilding: ++sections_[0]; break;
        case kItemMarker: ++sections_[1]; break;
        case kItemPerson: ++sections_[2]; break;
        default: ++sections_[3]; break;
        }
        if (it.kind == kItemPerson || it.kind == kItemVehicle) {
            if (it.team == kTeamGood) ++teamUnits_[0];
            if (it.team == kTeamEvil) ++teamUnits_[1];
        }
    }

    // Two items of one type at one spot: the later one is reported. Markers of different
    // paths or areas may share a spot (neighbouring areas share corners).
    void stackedItems() {
        std::vector<std::int32_t> order(static_cast<std::size_t>(items_));
        for (std::int32_t i = 0; i < items_; ++i) order[std::size_t(i)] = i;
        auto key = [&](std::int32_t i) {
            const MissionItem& it = m_.items[std::size_t(i)];
            const std::int32_t record = it.type_id == kWaypointMarkerType ? it.waypoint_id
                                        : it.type_id == kAreaMarkerType   ? it.wpnumber
                                                                          : 0;
            return std::array<std::int32_t, 6>{it.type_id, it.x, it.y, it.z, record, i};
        };
        std::sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) { return key(a) < key(b); });
        // Report in item order; each against the first item of its spot.
        std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
        std::size_t first = 0;
        for (std::size_t k = 1; k < order.size(); ++k) {
            auto a = key(order[first]), b = key(order[k]);
            if (std::equal(a.begin(), a.begin() + 5, b.begin()))
                pairs.push_back({order[k], order[first]});
            else
                first = k;
        }
        std::sort(pairs.begin(), pairs.end());
        for (const auto& [i, j] : pairs)
            add(CheckKind::StackedItems, CheckTarget::Item, i, itemLine(i),
                message(CheckKind::StackedItems, {itemSubject(m_, i), itemSubject(m_, j)}));
    }

    // Units that follow a path: the path must have markers, and a group moves together, so
    // a member following another path than the rest of its group never gets there.
    void unitPaths() {
        std::array<std::unordered_map<std::int32_t, int>, kMaxGroups> byGroup;
        for (std::int32_t i : followers_) {
            const MissionItem& it = m_.items[std::size_t(i)];
            if (it.waypoint_id < 1 || it.waypoint_id >= kMaxWaypoints) {
                add(CheckKind::MissingRecord, CheckTarget::Item, i, itemLine(i),
                    message(CheckKind::MissingRecord,
                            {itemSubject(m_, i), recordSubject(m_, RefKind::Path, it.waypoint_id)}));
                continue;
            }
            if (pathNumbers_[std::size_t(it.waypoint_id)].empty())
                add(CheckKind::MissingPath, CheckTarget::Item, i, itemLine(i),
                    message(CheckKind::MissingPath,
                            {itemSubject(m_, i), recordSubject(m_, RefKind::Path, it.waypoint_id)}));
            if (it.group_id >= 1 && it.group_id < kMaxGroups) ++byGroup[std::size_t(it.group_id)][it.waypoint_id];
        }
        std::array<std::int32_t, kMaxGroups> mainPath{};
        for (std::size_t g = 1; g < byGroup.size(); ++g) {
            if (byGroup[g].size() < 2) continue;
            int best = 0;
            for (const auto& [path, n] : byGroup[g])
                if (n > best || (n == best && path < mainPath[g])) best = n, mainPath[g] = path;
        }
        for (std::int32_t i : followers_) {
            const MissionItem& it = m_.items[std::size_t(i)];
            if (it.group_id < 1 || it.group_id >= kMaxGroups || it.waypoint_id < 1 || it.waypoint_id >= kMaxWaypoints)
                continue;
            const std::int32_t main = mainPath[std::size_t(it.group_id)];
            if (main == 0 || main == it.waypoint_id) continue;
            add(CheckKind::StrayUnit, CheckTarget::Item, i, itemLine(i),
                message(CheckKind::StrayUnit,
                        {itemSubject(m_, i), recordSubject(m_, RefKind::Path, it.waypoint_id),
                         recordSubject(m_, RefKind::Group, it.group_id), recordSubject(m_, RefKind::Path, main)}));
        }
    }

    // Blocks the counts leave out are read and then dropped, counts larger than the blocks are
    // brought down to them, texts longer than their fields are cut: only a file can tell.
    void lostBlocks() {
        if (!o_.lines) return;
        const MetafileLines& l = *o_.lines;
        const std::int32_t itemsGiven = std::max(m_.item_count, l.itemsDeclared);
        const std::int32_t eventsGiven = std::max(m_.event_count, l.eventsDeclared);
        for (std::size_t n = std::size_t(std::max(itemsGiven, 0)); n < l.item.size(); ++n)
            if (l.item[n] > 0)
                add(CheckKind::LostItem, CheckTarget::General, -1, l.item[n],
                    message(CheckKind::LostItem, {int(n), itemsGiven}));
        for (std::size_t n = std::size_t(std::max(eventsGiven, 0)); n < l.event.size(); ++n)
            if (l.event[n] > 0)
                add(CheckKind::LostEvent, CheckTarget::General, -1, l.event[n],
                    message(CheckKind::LostEvent, {int(n), eventsGiven}));
        if (itemsGiven > m_.item_count)
            add(CheckKind::CountMismatch, CheckTarget::General, -1, l.numItems,
                message(CheckKind::CountMismatch,
                        {"num_items", itemsGiven, m_.item_count, "item blocks", m_.item_count}));
        if (eventsGiven > m_.event_count)
            add(CheckKind::CountMismatch, CheckTarget::General, -1, l.numEvents,
                message(CheckKind::CountMismatch,
                        {"num_events", eventsGiven, m_.event_count, "events", m_.event_count}));
        for (std::int32_t e = 0; e < m_.event_count; ++e)
            if (std::size_t(e) >= l.event.size() || l.event[std::size_t(e)] == 0)
                add(CheckKind::NoEventBlock, CheckTarget::Event, e, l.numEvents, message(CheckKind::NoEventBlock, {e}));
        if (o_.cuts)
            for (const MetafileCut& c : *o_.cuts)
                add(CheckKind::TextCut, CheckTarget::General, -1, c.line,
                    message(CheckKind::TextCut, {c.field, int(c.length), int(c.capacity)}));
    }

    void rowFinding(CheckKind k, const RowRecordRef& r, std::initializer_list<FmtArg> args) {
        CheckFinding& f = add(k, CheckTarget::Event, r.event, rowLine(r.event, r.action, r.row), message(k, args));
        f.row = r.row;
        f.actionRow = r.action;
    }

    void eventsPass() {
        std::vector<bool> badRows(std::size_t(events_), false);
        for (std::int32_t e = 0; e < events_; ++e) {
            const MissionEvent& ev = m_.events[std::size_t(e)];
            if (ev.trigger_count > kEventMaxTriggers || ev.action_count > kEventMaxActions || ev.trigger_count < 0 ||
                ev.action_count < 0) {
                add(CheckKind::RowCount, CheckTarget::Event, e, eventLine(e),
                    message(CheckKind::RowCount, {eventSubject(m_, e)}));
                badRows[std::size_t(e)] = true;
            }
        }
        std::vector<bool> referred(std::size_t(events_), false);
        for (const RowRecordRef& r : refs_RowRecords(m_)) {
            if (badRows[std::size_t(r.event)]) continue;
            const std::string row = rowSubject(m_, r.event, r.action, r.row);
            switch (r.kind) {
            case RefKind::Event:
                if (r.number >= 0 && r.number < events_) {
                    if (r.number != r.event) referred[std::size_t(r.number)] = true;
                } else {
                    rowFinding(CheckKind::MissingEvent, r, {row, r.number});
                }
                break;
            case RefKind::Group:
            case RefKind::Path:
            case RefKind::Area: {
                const std::string named = recordSubject(m_, r.kind, r.number);
                if (!refs_RecordExists(m_, r.kind, r.number))
                    rowFinding(CheckKind::MissingRecord, r, {row, named});
                else if (r.kind == RefKind::Group && members_[std::size_t(r.number)] == 0)
                    rowFinding(CheckKind::EmptyGroup, r, {row, named});
                else if (r.kind == RefKind::Path && pathNumbers_[std::size_t(r.number)].empty())
                    rowFinding(CheckKind::MissingPath, r, {row, named});
                else if (r.kind == RefKind::Area && areaCorners_[std::size_t(r.number)] == 0)
                    rowFinding(CheckKind::MissingArea, r, {row, named});
                break;
            }
            case RefKind::Item: break;
            }
        }
        for (std::int32_t e = 0; e < events_; ++e) {
            if (badRows[std::size_t(e)]) continue;
            const MissionEvent& ev = m_.events[std::size_t(e)];
            actionsOf(e, ev);
            // Pre- and post-mission events run without a trigger.
            if (referred[std::size_t(e)] || (ev.attrib & 6) != 0) continue;
            bool canFire = false;
            for (std::int32_t r = 0; r < ev.trigger_count; ++r) {
                const std::int32_t type = ev.triggers[std::size_t(r)].type;
                if (type >= kTriggerGroup && type <= kTriggerSquadmates) canFire = true;
            }
            if (!canFire)
                add(CheckKind::UnreachableEvent, CheckTarget::Event, e, eventLine(e),
                    message(CheckKind::UnreachableEvent, {eventSubject(m_, e)}));
        }
    }

    // Sub-goals an action names, and the teams a win action needs.
    void actionsOf(std::int32_t e, const MissionEvent& ev) {
        for (std::int32_t r = 0; r < ev.action_count; ++r) {
            const EventAction& a = ev.actions[std::size_t(r)];
            const RowRecordRef at{e, true, r, 0, RefKind::Event, 0};
            const LogicList list = event_ActionVarLists(a.type, a.subtype)[0];
            if (list == LogicList::WinSubGoals || list == LogicList::LoseSubGoals) {
                const auto& goals = list == LogicList::WinSubGoals ? m_.info.subgoals_win : m_.info.subgoals_lose;
                if (a.var1 < 1 || a.var1 > 4 || goals[std::size_t(a.var1 - 1)] == -1)
                    rowFinding(CheckKind::MissingSubGoal, at, {rowSubject(m_, e, true, r), a.var1});
            }
            // Action types 8 and 9: the blue team (good) or the red team (evil) wins.
            if ((a.type == 8 && teamUnits_[0] == 0) || (a.type == 9 && teamUnits_[1] == 0))
                rowFinding(CheckKind::TeamMissing, at, {rowSubject(m_, e, true, r), event_ActionTypeName(a.type)});
        }
    }

    void recordsPass() {
        for (std::int32_t p = 1; p < kMaxWaypoints; ++p) {
            std::vector<std::int32_t>& numbers = pathNumbers_[std::size_t(p)];
            if (numbers.empty()) continue;
            const std::string named = recordSubject(m_, RefKind::Path, p);
            if (numbers.size() < 2) {
                add(CheckKind::ShortPath, CheckTarget::Path, p,
                    recordLine(RefKind::Path, p, firstMarker_[std::size_t(p)]),
                    message(CheckKind::ShortPath, {named, int(numbers.size())}));
                continue;
            }
            std::sort(numbers.begin(), numbers.end());
            bool gap = false;
            for (std::size_t k = 1; k < numbers.size(); ++k) gap |= numbers[k] != numbers[k - 1] + 1;
            if (!gap) continue;
            std::string list;
            for (std::int32_t n : numbers) list += (list.empty() ? "" : ", ") + std::to_string(n);
            add(CheckKind::PathGap, CheckTarget::Path, p, recordLine(RefKind::Path, p, firstMarker_[std::size_t(p)]),
                message(CheckKind::PathGap, {named, list}));
        }
        for (std::int32_t a = 1; a < kMaxAreaTriggers; ++a) {
            const int corners = areaCorners_[std::size_t(a)];
            if (corners == 1)
                add(CheckKind::ShortArea, CheckTarget::Area, a,
                    recordLine(RefKind::Area, a, firstCorner_[std::size_t(a)]),
                    message(CheckKind::ShortArea, {recordSubject(m_, RefKind::Area, a), corners}));
        }
    }

    void generalPass() {
        const int line = o_.lines ? o_.lines->generalInfo : 0;
        const std::string terrain(mission_Text(m_.info.terrain));
        if (o_.terrain && !terrain_Exists(terrain.c_str()))
            add(CheckKind::MissingTerrain, CheckTarget::General, -1, line,
                message(CheckKind::MissingTerrain, {terrain, terrain}));

        struct Section {
            const char* key;
            const char* fallback;
            int limit;
        };
        static constexpr std::array<Section, 4> kSections = {{
            {"SECTION_DECOR", "decorations and buildings", kBmsMaxDecor},
            {"SECTION_MARKERS", "markers", kBmsMaxMarkers},
            {"SECTION_PERSONS", "persons", kBmsMaxPersons},
            {"SECTION_ITEMS", "vehicles and other items", kBmsMaxItems},
        }};
        for (std::size_t s = 0; s < kSections.size(); ++s) {
            const int n = sections_[s];
            const std::string what = refs_Wording(kSections[s].key, kSections[s].fallback);
            if (n > kSections[s].limit)
                add(CheckKind::SectionLimit, CheckTarget::General, -1, line,
                    message(CheckKind::SectionLimit, {n, what, kSections[s].limit}));
            else if (n * 10 >= kSections[s].limit * 9)
                add(CheckKind::NearLimit, CheckTarget::General, -1, line,
                    message(CheckKind::NearLimit, {n, what, kSections[s].limit}));
        }

        // The conditions are named by the game's vocabulary; without it nothing can be compared.
        if (text_Tables().vocab) {
            for (int w = 0; w < 4; ++w) {
                const std::int32_t win = m_.info.subgoals_win[std::size_t(w)];
                if (win == -1) continue;
                const std::string name = event_WinConditionName(win);
                for (int l = 0; l < 4; ++l) {
                    const std::int32_t lose = m_.info.subgoals_lose[std::size_t(l)];
                    if (lose != -1 && event_LoseConditionName(lose) == name)
                        add(CheckKind::SameSubGoals, CheckTarget::General, -1, line,
                            message(CheckKind::SameSubGoals, {w + 1, l + 1, name}));
                }
            }
        }
    }

    const Mission& m_;
    const CheckOptions& o_;
    std::int32_t items_ = 0;
    std::int32_t events_ = 0;
    std::vector<CheckFinding> out_;
    std::array<std::vector<std::int32_t>, kMaxWaypoints> pathNumbers_{};
    std::array<std::int32_t, kMaxWaypoints> firstMarker_{};
    std::array<int, kMaxAreaTriggers> areaCorners_{};
    std::array<std::int32_t, kMaxAreaTriggers> firstCorner_{};
    std::array<int, kMaxGroups> members_{};
    std::array<int, 4> sections_{};        // decor, markers, persons, items
    std::array<int, 2> teamUnits_{};       // blue, red
    std::vector<std::int32_t> followers_;  // items other than markers that follow a path
};

}  // namespace

std::vector<CheckFinding> check_Mission(const Mission& m, const CheckOptions& options) {
    return Checker(m, options).run();
}

const char* check_KindName(CheckKind kind) {
    return std::size_t(kind) < kKinds.size() ? kKinds[std::size_t(kind)].name : "unknown";
}

const char* check_TargetName(CheckTarget target) {
    switch (target) {
    case CheckTarget::General: return "general";
    case CheckTarget::Item: return "item";
    case CheckTarget::Event: return "event";
    case CheckTarget::Group: return "group";
    case CheckTarget::Path: return "path";
    case CheckTarget::Area: return "area";
    }
    return "general";
}

const char* check_SeverityName(CheckSeverity severity) {
    return severity == CheckSeverity::Error ? "error" : "warning";
}

int check_ErrorCount(const std::vector<CheckFinding>& findings) {
    return int(std::count_if(findings.begin(), findings.end(),
                             [](const CheckFinding& f) { return f.severity == CheckSeverity::Error; }));
}
