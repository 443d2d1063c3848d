#include "logic/refs.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "logic/events.h"
#include "mission/mission.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr const char* kSec = "Checks";

std::string subject(const char* key, const char* fallback, std::int32_t number, std::string_view name) {
    std::string s = text_Format(refs_Wording(key, fallback), {number});
    if (!name.empty()) s = text_Format(refs_Wording("NAMED", "%s (%s)"), {s, name});
    return s;
}

std::int32_t varOf(const EventTrigger& t, int v) {
    switch (v) {
    case 0: return t.var1;
    case 1: return t.var2;
    case 2: return t.var3;
    default: return t.var4;
    }
}

std::int32_t varOf(const EventAction& a, int v) {
    switch (v) {
    case 0: return a.var1;
    case 1: return a.var2;
    case 2: return a.var3;
    default: return a.var4;
    }
}

template <typename Fn>
void forEachRowRecord(const Mission& m, Fn&& fn) {
    const std::int32_t events = std::clamp(m.event_count, 0, kMaxEvents);
    for (std::int32_t e = 0; e < events; ++e) {
        const MissionEvent& ev = m.events[std::size_t(e)];
        const std::int32_t triggers = event_TriggerCount(ev);
        for (std::int32_t r = 0; r < triggers; ++r) {
            const EventTrigger& t = ev.triggers[std::size_t(r)];
            const auto lists = event_TriggerVarLists(t.type, t.condition);
            for (int v = 0; v < 4; ++v) {
                RefKind kind;
                if (!refs_KindOfList(lists[std::size_t(v)], kind)) continue;
                const std::int32_t value = varOf(t, v);
                if (value == 0 && kind != RefKind::Event) continue;
                fn(RowRecordRef{e, false, r, v, kind, value});
            }
        }
        const std::int32_t actions = event_ActionCount(ev);
        for (std::int32_t r = 0; r < actions; ++r) {
            const EventAction& a = ev.actions[std::size_t(r)];
            const auto lists = event_ActionVarLists(a.type, a.subtype);
            for (int v = 0; v < 4; ++v) {
                RefKind kind;
                if (!refs_KindOfList(lists[std::size_t(v)], kind)) continue;
                const std::int32_t value = varOf(a, v);
                if (value == 0 && kind != RefKind::Event) continue;
                fn(RowRecordRef{e, true, r, v, kind, value});
            }
        }
    }
}

// Whether an item names the record through its own fields.
bool itemRefers(const MissionItem& it, RefKind kind, std::int32_t number) {
    switch (kind) {
    case RefKind::Group: return it.group_id == number;
    case RefKind::Path: return it.type_id != kAreaMarkerType && it.waypoint_id == number;
    case RefKind::Area: return it.type_id == kAreaMarkerType && it.wpnumber == number;
    default: return false;
    }
}

}  // namespace

bool refs_KindOfList(LogicList list, RefKind& kind) {
    switch (list) {
    case LogicList::Groups: kind = RefKind::Group; return true;
    case LogicList::Waypoints: kind = RefKind::Path; return true;
    case LogicList::Areas: kind = RefKind::Area; return true;
    case LogicList::Events: kind = RefKind::Event; return true;
    default: return false;
    }
}

std::vector<RowRecordRef> refs_RowRecords(const Mission& m) {
    std::vector<RowRecordRef> out;
    forEachRowRecord(m, [&](const RowRecordRef& r) { out.push_back(r); });
    return out;
}

bool refs_RecordExists(const Mission& m, RefKind kind, std::int32_t number) {
    switch (kind) {
    case RefKind::Group: return number >= 1 && number < kMaxGroups;
    case RefKind::Path: return number >= 1 && number < kMaxWaypoints;
    case RefKind::Area: return number >= 1 && number < kMaxAreaTriggers;
    case RefKind::Event: return number >= 0 && number < std::clamp(m.event_count, 0, kMaxEvents);
    case RefKind::Item: return number >= 0 && number < std::clamp(m.item_count, 0, kMaxItems);
    }
    return false;
}

std::vector<Reference> refs_Find(const Mission& m, RefKind kind, std::int32_t number) {
    std::vector<Reference> out;
    if (!refs_RecordExists(m, kind, number)) return out;

    // An item stands for the records it names: its group and its path, or the path or area
    // it outlines.
    struct Target {
        RefKind kind;
        std::int32_t number;
    };
    std::vector<Target> targets;
    if (kind == RefKind::Item) {
        const MissionItem& it = m.items[std::size_t(number)];
        if (it.type_id == kAreaMarkerType) {
            if (refs_RecordExists(m, RefKind::Area, it.wpnumber)) targets.push_back({RefKind::Area, it.wpnumber});
        } else {
            if (refs_RecordExists(m, RefKind::Group, it.group_id)) targets.push_back({RefKind::Group, it.group_id});
            if (refs_RecordExists(m, RefKind::Path, it.waypoint_id)) targets.push_back({RefKind::Path, it.waypoint_id});
        }
    } else {
        targets.push_back({kind, number});
    }
    auto named = [&](RefKind k, std::int32_t n) {
        for (const Target& t : targets)
            if (t.kind == k && t.number == n) return true;
        return false;
    };

    forEachRowRecord(m, [&](const RowRecordRef& r) {
        if (!named(r.kind, r.number)) return;
        // A row naming the record in two variables is listed once.
        if (!out.empty() && out.back().event == r.event && out.back().row == r.row &&
            (out.back().from == ReferenceFrom::Action) == r.action)
            return;
        out.push_back({r.action ? ReferenceFrom::Action : ReferenceFrom::Trigger, r.event, r.row, -1});
    });
    const std::int32_t items = std::clamp(m.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < items; ++i) {
        const MissionItem& it = m.items[std::size_t(i)];
        for (const Target& t : targets) {
            if (itemRefers(it, t.kind, t.number)) {
                out.push_back({ReferenceFrom::Item, -1, -1, i});
                break;
            }
        }
    }
    return out;
}

int refs_RowCount(const Mission& m, RefKind kind, std::int32_t number) {
    int n = 0;
    for (const Reference& r : refs_Find(m, kind, number))
        if (r.from != ReferenceFrom::Item) ++n;
    return n;
}

int refs_RowsEmptiedBySelection(const Mission& m) {
    // Per record: how many items hold it, how many of them are selected.
    std::array<std::array<int, 2>, kMaxGroups> groups{};
    std::array<std::array<int, 2>, kMaxWaypoints> paths{};
    std::array<std::array<int, 2>, kMaxAreaTriggers> areas{};
    const std::int32_t items = std::clamp(m.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < items; ++i) {
        const MissionItem& it = m.items[std::size_t(i)];
        const int sel = mission_IsSelected(m, i) ? 1 : 0;
        if (it.group_id >= 1 && it.group_id < kMaxGroups)
            ++groups[std::size_t(it.group_id)][0], groups[std::size_t(it.group_id)][1] += sel;
        if (it.type_id == kWaypointMarkerType && it.waypoint_id >= 1 && it.waypoint_id < kMaxWaypoints)
            ++paths[std::size_t(it.waypoint_id)][0], paths[std::size_t(it.waypoint_id)][1] += sel;
        if (it.type_id == kAreaMarkerType && it.wpnumber >= 1 && it.wpnumber < kMaxAreaTriggers)
            ++areas[std::size_t(it.wpnumber)][0], areas[std::size_t(it.wpnumber)][1] += sel;
    }
    auto emptied = [](const std::array<int, 2>& c) { return c[0] > 0 && c[0] == c[1]; };
    int rows = 0;
    const RowRecordRef* last = nullptr;
    const std::vector<RowRecordRef> refs = refs_RowRecords(m);
    for (const RowRecordRef& r : refs) {
        bool hit = false;
        if (r.kind == RefKind::Group && r.number >= 1 && r.number < kMaxGroups)
            hit = emptied(groups[std::size_t(r.number)]);
        if (r.kind == RefKind::Path && r.number >= 1 && r.number < kMaxWaypoints)
            hit = emptied(paths[std::size_t(r.number)]);
        if (r.kind == RefKind::Area && r.number >= 1 && r.number < kMaxAreaTriggers)
            hit = emptied(areas[std::size_t(r.number)]);
        if (!hit) continue;
        // A row counts once, however many of its variables name emptied records.
        if (!(last && last->event == r.event && last->action == r.action && last->row == r.row)) ++rows;
        last = &r;
    }
    return rows;
}

// ---------------------------------------------------------------------------------------
// Naming

std::string refs_Wording(const char* key, const char* fallback) {
    const TextTable* t = text_Current();
    if (const TextEntry* e = t ? text_Find(t, kSec, key) : nullptr)
        if (const char* s = text_EntryText(t, e)) return s;
    return fallback;
}

const ItemDef* refs_ItemDef(const MissionItem& it) {
    const ItemDef* d = itemdef_At(mission_DefIndex(it));
    return d && d->typeNumber == it.type_id ? d : nullptr;
}

std::string refs_Name(const Mission& m, RefKind kind, std::int32_t n) {
    switch (kind) {
    case RefKind::Group:
        return subject("GROUP", "group %i", n,
                       n >= 1 && n < kMaxGroups ? mission_Text(m.groups[std::size_t(n)].description) : "");
    case RefKind::Path:
        return subject("PATH", "path %i", n,
                       n >= 1 && n < kMaxWaypoints ? mission_Text(m.waypoints[std::size_t(n)].description) : "");
    case RefKind::Area:
        return subject("AREA", "area %i", n,
                       n >= 1 && n < kMaxAreaTriggers ? mission_Text(m.area_triggers[std::size_t(n)].description) : "");
    case RefKind::Event:
        return subject("EVENT", "event %i", n,
                       n >= 0 && n < kMaxEvents ? mission_Text(m.events[std::size_t(n)].name) : "");
    case RefKind::Item: {
        const ItemDef* d = n >= 0 && n < kMaxItems ? refs_ItemDef(m.items[std::size_t(n)]) : nullptr;
        return subject("ITEM", "item %i", n, d ? std::string_view(d->name, strnlen(d->name, sizeof d->name)) : "");
    }
    }
    return {};
}

std::string refs_RowName(const Mission& m, std::int32_t e, bool action, std::int32_t row) {
    return text_Format(refs_Wording(action ? "ACTION_ROW" : "TRIGGER_ROW", action ? "%s, action %i" : "%s, trigger %i"),
                       {refs_Name(m, RefKind::Event, e), row});
}

std::string refs_Describe(const Mission& m, const Reference& ref, RefKind kind, std::int32_t number) {
    if (ref.from != ReferenceFrom::Item) {
        const MissionEvent& ev = m.events[std::size_t(ref.event)];
        const bool action = ref.from == ReferenceFrom::Action;
        const std::string text = action ? event_ActionText(ev.actions[std::size_t(ref.row)])
                                        : event_TriggerText(ev.triggers[std::size_t(ref.row)], true);
        return text_Format(refs_Wording("REF_ROW", "%s: %s"), {refs_RowName(m, ref.event, action, ref.row), text});
    }
    const MissionItem& it = m.items[std::size_t(ref.item)];
    const std::string name = refs_Name(m, RefKind::Item, ref.item);
    if (it.type_id == kAreaMarkerType)
        return text_Format(refs_Wording("REF_CORNER", "%s: corner of %s"),
                           {name, refs_Name(m, RefKind::Area, it.wpnumber)});
    if (it.type_id == kWaypointMarkerType)
        return text_Format(refs_Wording("REF_MARKER", "%s: point %i of %s"),
                           {name, it.wpnumber, refs_Name(m, RefKind::Path, it.waypoint_id)});
    // A member of the group asked about (or of an item's group) reads as a member; else it
    // follows the path.
    const bool member = kind == RefKind::Group  ? it.group_id == number
                        : kind == RefKind::Item ? it.group_id != 0 && number >= 0 && number < kMaxItems &&
                                                      it.group_id == m.items[std::size_t(number)].group_id
                                                : false;
    if (member)
        return text_Format(refs_Wording("REF_MEMBER", "%s: member of %s"),
                           {name, refs_Name(m, RefKind::Group, it.group_id)});
    return text_Format(refs_Wording("REF_FOLLOWS", "%s: follows %s"),
                       {name, refs_Name(m, RefKind::Path, it.waypoint_id)});
}

bool refs_KindFromWord(std::string_view word, RefKind& kind) {
    static constexpr std::pair<std::string_view, RefKind> kWords[] = {{"group", RefKind::Group},
                                                                      {"path", RefKind::Path},
                                                                      {"area", RefKind::Area},
                                                                      {"event", RefKind::Event},
                                                                      {"item", RefKind::Item}};
    for (const auto& [w, k] : kWords)
        if (w == word) {
            kind = k;
            return true;
        }
    return false;
}

// ---------------------------------------------------------------------------------------
// Show References

void RefsDialogProc::onInit(Dialog& dlg) {
    const std::vector<Reference> refs = refs_Find(page_, kind_, number_);
    dlg.setText(refid::kCount, text_Printf(kSec, "REFS_COUNT", {int(refs.size()), refs_Name(page_, kind_, number_)}));
    dlg.clearEntries(refid::kList);
    for (std::size_t i = 0; i < refs.size(); ++i)
        dlg.addEntry(refid::kList, refs_Describe(page_, refs[i], kind_, number_), std::int64_t(i));
}

void RefsDialogProc::onCommand(Dialog& dlg, int id, Notify) {
    if (id == kIdOk || id == kIdCancel) dlg.end(kIdOk);
}

int refs_Show(Mission& page, RefKind kind, std::int32_t number) {
    if (!refs_RecordExists(page, kind, number)) return 0;
    const std::vector<Reference> refs = refs_Find(page, kind, number);
    // Only items show on the map: the selection is kept when no item refers to the record.
    const bool items =
        std::any_of(refs.begin(), refs.end(), [](const Reference& r) { return r.from == ReferenceFrom::Item; });
    if (items) mission_ClearSelection(page);
    for (const Reference& r : refs)
        if (r.from == ReferenceFrom::Item) mission_Select(page, r.item);
    RefsDialogProc proc(page, kind, number);
    platform().runDialog("REFERENCES", proc);
    return int(refs.size());
}
