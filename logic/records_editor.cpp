#include "logic/records_editor.h"

#include "logic/refs.h"

#include "core/format.h"
#include "core/text.h"
#include "logic/listings.h"
#include "mission/index.h"
#include "mission/mission.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

using namespace recid;

namespace {

constexpr const char* kMsg = "Dialog Message";

constexpr std::array<const char*, kRecordColorCount> kColorKeys = {
    "ORANGE", "BLACK", "YELLOW", "RED",    "GREEN", "BLUE", "GRAY",    "LTGRAY", "PURPLE",
    "CYAN",   "BROWN", "AQUA",   "INDIGO", "TAN",   "TEAL", "DARKRED", "WHITE",
};

RecordsHooks g_hooks;

// A record's description field: where it lives and how much it holds.
struct DescField {
    char* text;
    std::size_t capacity;
};

std::string_view fieldText(const DescField& f) {
    const void* nul = std::memchr(f.text, 0, f.capacity);
    return {f.text, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - f.text) : f.capacity};
}

DescField descField(Mission& m, RecordKind kind, int slot) {
    const auto s = static_cast<std::size_t>(slot);
    switch (kind) {
    case RecordKind::Group: return {m.groups[s].description, sizeof m.groups[s].description};
    case RecordKind::Waypoint: return {m.waypoints[s].description, sizeof m.waypoints[s].description};
    case RecordKind::AreaTrigger: break;
    }
    return {m.area_triggers[s].description, sizeof m.area_triggers[s].description};
}

std::int32_t* colourField(Mission& m, RecordKind kind, int slot) {
    const auto s = static_cast<std::size_t>(slot);
    if (kind == RecordKind::Waypoint) return &m.waypoints[s].color;
    if (kind == RecordKind::AreaTrigger) return &m.area_triggers[s].color;
    return nullptr;
}

bool shownOnMap(const Mission& m, std::int32_t index) {
    if (g_hooks.visible) return g_hooks.visible(m, index);
    return mission_ItemShown(m, index, 0xFFFFFFFFu);
}

}  // namespace

const char* records_ColorKey(std::int32_t index) {
    if (index < 0 || index >= kRecordColorCount) return nullptr;
    return kColorKeys[static_cast<std::size_t>(index)];
}

RecordsHooks& records_Hooks() { return g_hooks; }

int RecordsEditorProc::slotCount(RecordKind kind) {
    switch (kind) {
    case RecordKind::Group: return kMaxGroups - 1;
    case RecordKind::Waypoint: return kMaxWaypoints - 1;
    case RecordKind::AreaTrigger: break;
    }
    return kMaxAreaTriggers - 1;
}

std::string RecordsEditorProc::line(int slot) const {
    return text_Format("%2i - %s", {slot, fieldText(descField(page_, kind_, slot))});
}

void RecordsEditorProc::onInit(Dialog& dlg) {
    const bool groups = kind_ == RecordKind::Group;
    before_.take(page_);

    const int n = slotCount(kind_);
    dlg.clearEntries(kList);
    for (int slot = 1; slot <= n; ++slot) dlg.addEntry(kList, line(slot), slot);
    if (!groups) {
        dlg.clearEntries(kColor);
        for (const char* key : kColorKeys) dlg.addEntry(kColor, text_Get("Colors", key));
    }
    current_ = start_ >= 1 && start_ <= n ? start_ : 1;
    dlg.setSelection(kList, current_ - 1);
    loadPanel(dlg);
}

void RecordsEditorProc::loadPanel(Dialog& dlg) {
    const auto s = static_cast<std::size_t>(current_);
    if (kind_ == RecordKind::Group || kind_ == RecordKind::Waypoint) {
        const auto index = std::make_unique<MissionIndex>();
        mission_BuildIndex(page_, *index);
        const std::int32_t size = kind_ == RecordKind::Group ? index->group_members[s] : index->paths[s].point_count;
        dlg.setText(kSize, text_Printf(kMsg, "SIZE", {size}));
    }
    if (const std::int32_t* colour = colourField(page_, kind_, current_))
        dlg.setSelection(kColor, records_ColorKey(*colour) ? *colour : -1);
    if (kind_ == RecordKind::Waypoint) {
        const std::int32_t a = page_.waypoints[s].attrib;
        dlg.setCheck(kNoLoop, (a & kWaypointNoLoop) ? kChecked : kUnchecked);
        dlg.setCheck(kTeamBlue, (a & kWaypointTeamBlue) ? kChecked : kUnchecked);
        dlg.setCheck(kTeamRed, (a & kWaypointTeamRed) ? kChecked : kUnchecked);
    }
    // The whole stored text is shown, even one longer than the editors store (a file may
    // bring one): the limit only stops typing beyond it.
    const std::string_view desc = fieldText(descField(page_, kind_, current_));
    dlg.setTextLimit(kDesc, 0);
    dlg.setText(kDesc, desc);
    dlg.setTextLimit(kDesc, kRecordDescMax);
}

void RecordsEditorProc::storePanel(Dialog& dlg) {
    const auto s = static_cast<std::size_t>(current_);
    // A description the user left as it was stays whole, even past the length typed ones
    // are cut to: only a changed text is stored.
    const DescField desc = descField(page_, kind_, current_);
    const std::string typed = dlg.text(kDesc);
    if (typed != fieldText(desc))
        mission_SetText(desc.text, desc.capacity, std::string_view(typed).substr(0, kRecordDescMax));
    // A colour the drop-down cannot show (outside the named ones) is kept, not replaced by
    // "no selection".
    if (std::int32_t* colour = colourField(page_, kind_, current_)) {
        const int sel = dlg.selection(kColor);
        if (records_ColorKey(sel)) *colour = sel;
    }
    if (kind_ == RecordKind::Waypoint) {
        std::int32_t a = page_.waypoints[s].attrib & ~(kWaypointNoLoop | kWaypointTeamBlue | kWaypointTeamRed);
        if (dlg.check(kNoLoop) == kChecked) a |= kWaypointNoLoop;
        if (dlg.check(kTeamBlue) == kChecked) a |= kWaypointTeamBlue;
        if (dlg.check(kTeamRed) == kChecked) a |= kWaypointTeamRed;
        page_.waypoints[s].attrib = a;
    }
}

void RecordsEditorProc::redraw() {
    if (g_hooks.redraw)
        g_hooks.redraw();
    else
        platform().mapInvalidate();
}

void RecordsEditorProc::selectOnMap() {
    const std::int32_t count = std::clamp(page_.item_count, 0, kMaxItems);
    switch (kind_) {
    case RecordKind::Group:
        // Units the map does not show stay unselected: the user could not see them picked.
        for (std::int32_t i = 0; i < count; ++i)
            if (page_.items[static_cast<std::size_t>(i)].group_id == current_ && shownOnMap(page_, i))
                mission_Select(page_, i);
        break;
    case RecordKind::Waypoint: {
        const auto index = std::make_unique<MissionIndex>();
        mission_BuildIndex(page_, *index);
        const PathPoints& path = index->paths[static_cast<std::size_t>(current_)];
        for (std::int32_t p = 0; p < path.point_count; ++p)
            mission_Select(page_, path.points[static_cast<std::size_t>(p)]);
        break;
    }
    case RecordKind::AreaTrigger:
        for (std::int32_t i = 0; i < count; ++i) {
            const MissionItem& item = page_.items[static_cast<std::size_t>(i)];
            if (item.type_id == kAreaMarkerType && item.wpnumber == current_) mission_Select(page_, i);
        }
        break;
    }
}

void RecordsEditorProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (id == kList && code == Notify::SelChange) {
        const int sel = dlg.selection(kList);
        if (sel < 0 || sel >= slotCount(kind_)) {
            // Nothing chosen (a list may let the user clear its selection): keep the panel.
            dlg.setSelection(kList, current_ - 1);
            return;
        }
        storePanel(dlg);
        current_ = sel + 1;
        loadPanel(dlg);
    } else if (id == kDesc && code == Notify::Changed) {
        storePanel(dlg);
        const int row = current_ - 1;
        dlg.removeEntry(kList, row);
        dlg.insertEntry(kList, row, line(current_), current_);
        dlg.setSelection(kList, row);
    } else if (id == kColor && code == Notify::SelChange) {
        storePanel(dlg);
        redraw();  // the map shows the path or area in its new colour at once
    } else if ((id == kNoLoop || id == kTeamBlue || id == kTeamRed) && code == Notify::Clicked) {
        storePanel(dlg);
        if (id == kNoLoop) redraw();  // a path opens or closes on the map
    } else if (id == kSelect && code == Notify::Clicked) {
        storePanel(dlg);
        selectOnMap();
        redraw();
    } else if (id == refid::kShowButton && code == Notify::Clicked) {
        storePanel(dlg);
        const RefKind kind = kind_ == RecordKind::Group      ? RefKind::Group
                             : kind_ == RecordKind::Waypoint ? RefKind::Path
                                                             : RefKind::Area;
        refs_Show(page_, kind, current_);
        redraw();
    } else if (id == kPrint && code == Notify::Clicked) {
        storePanel(dlg);
        if (kind_ == RecordKind::Group)
            list_PrintGroups(&dlg, page_);
        else if (kind_ == RecordKind::Waypoint)
            list_PrintWaypoints(&dlg, page_);
        else
            list_PrintAreaTriggers(&dlg, page_);
    } else if (id == kIdOk && code == Notify::Clicked) {
        storePanel(dlg);
        dlg.end(kIdOk);
    } else if (id == kIdCancel && code == Notify::Clicked) {
        // Every change went into the page as it was made: Cancel takes them all back.
        before_.restore(page_);
        redraw();
        dlg.end(kIdCancel);
    }
}

namespace {

int run(RecordKind kind, const char* templateName, Mission& page, int start) {
    RecordsEditorProc proc(kind, page, start);
    return platform().runDialog(templateName, proc);
}

}  // namespace

int groups_RunEditor(Mission& page) { return groups_RunEditorAt(page, 1); }
int waypoints_RunEditor(Mission& page) { return waypoints_RunEditorAt(page, 1); }
int areas_RunEditor(Mission& page) { return areas_RunEditorAt(page, 1); }
int groups_RunEditorAt(Mission& page, int start) { return run(RecordKind::Group, "EDITGROUPS", page, start); }
int waypoints_RunEditorAt(Mission& page, int start) { return run(RecordKind::Waypoint, "EDITWAYPOINTS", page, start); }
int areas_RunEditorAt(Mission& page, int start) {
    return run(RecordKind::AreaTrigger, "EDITAREATRIGGERS", page, start);
}
