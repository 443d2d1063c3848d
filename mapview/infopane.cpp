#include "mapview/infopane.h"

#include "core/format.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "mapview/view.h"
#include "mission/mission.h"

#include <string>

namespace {

constexpr const char* kSel = "Med Selection";

// A "%i - %s" line: a number and a name the designer gave.
std::string numbered(int number, std::string_view name) { return text_Format("%i - %s", {number, name}); }

}  // namespace

std::vector<PaneLine> infopane_CentreLines(const ViewState& view) {
    return {{5, 5, text_Printf("Center Info", "KZ_CENTER_POS", {view.center_x / 256.0, view.center_y / 256.0})}};
}

std::vector<PaneLine> infopane_SelectionLines(const Mission& page, CharMetrics m) {
    const int cw = m.cw, ch = m.ch;
    std::vector<PaneLine> out;
    int x = 5, y = 5;
    const std::int32_t n = page.selection.count;
    if (n <= 0) {
        out.push_back({x, y, text_Get(kSel, "NO_ITEMS")});
        return out;
    }
    const std::int32_t i = page.selection.index[static_cast<size_t>(n - 1)];
    auto line = [&](std::string text) { out.push_back({x, y, std::move(text)}); };

    line(text_Printf(kSel, "SELECTED_NUM", {n}));
    y += ch + ch / 2;
    line(text_Printf(kSel, "ITEM_NUM", {i}));
    // A selection entry outside the item table shows its number and nothing else.
    if (i < 0 || i >= page.item_count || i >= kMaxItems) return out;
    const MissionItem& item = page.items[static_cast<size_t>(i)];
    y += ch;
    x += cw;

    std::string name;
    if (const ItemDef* def = itemdef_At(itemdef_FindByType(item.type_id)))
        name.assign(def->name, strnlen(def->name, sizeof def->name));
    line(text_Printf(kSel, "ITEM_NAME", {name}));
    y += ch;
    line(text_Printf(kSel, "SSN#", {item.id}));
    y += ch;
    const char* kindKey = mission_KindKey(item.kind);
    line(kindKey ? text_Printf(kSel, "ITEM_KIND", {text_Get("Item Type", kindKey)})
                 : text_Printf(kSel, "ITEM_TYPE", {item.kind}));
    y += ch;
    line(text_Printf(kSel, "HEADING", {item.heading}));
    y += ch;
    // The path and the area by their descriptions where they have one.
    const auto described = [](std::int32_t n, std::string_view d) {
        return d.empty() ? text_Format("%i", {n}) : text_Format("%i %s", {n, d});
    };
    const bool areaMarker = item.type_id == kAreaMarkerType && item.wpnumber >= 1 && item.wpnumber < kMaxAreaTriggers;
    if (areaMarker) {
        const std::int32_t a = item.wpnumber;
        line(text_Printf(kSel, "ITEM_AREA",
                         {described(a, mission_Text(page.area_triggers[std::size_t(a)].description))}));
    } else if (item.waypoint_id >= 1 && item.waypoint_id < kMaxWaypoints) {
        const std::int32_t w = item.waypoint_id;
        line(text_Printf(kSel, "ITEM_WAYPOINT_NAMED",
                         {described(w, mission_Text(page.waypoints[std::size_t(w)].description)), item.wpnumber}));
    } else {
        line(text_Printf(kSel, "ITEM_WAYPOINT", {item.waypoint_id, item.wpnumber}));
    }
    y += ch;
    // Whole metres, rounded toward minus infinity (an arithmetic shift).
    line(text_Printf(kSel, "ITEM_X_POS", {item.x >> 8}));
    y += ch;
    line(text_Printf(kSel, "ITEM_Y_POS", {item.y >> 8}));
    y += ch;
    line(text_Printf(kSel, "ITEM_Z_POS", {item.z >> 8}));
    y += ch;

    y += ch + ch / 2;
    x -= cw;
    line(text_Get(kSel, "LAYER"));
    y += ch;
    x += cw;
    // The layer as Layer Names and Visible Layers call it.
    line(mission_LayerCaption(page, item.layer));

    y += ch + ch / 2;
    x -= cw;
    line(text_Get(kSel, "GROUP_COLON"));
    y += ch;
    x += cw;
    const std::int32_t group = item.group_id;
    std::string_view groupName;
    if (group >= 0 && group < kMaxGroups) groupName = mission_Text(page.groups[static_cast<size_t>(group)].description);
    if (!groupName.empty())
        line(numbered(group, groupName));
    else if (group != 0)
        line(text_Printf(kSel, "LAYER_NUM", {group}));
    else
        line(text_Get(kSel, "GROUP_NONE"));
    return out;
}
