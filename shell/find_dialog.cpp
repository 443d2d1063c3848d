#include "shell/find_dialog.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "logic/refs.h"
#include "logic/vocab.h"
#include "mapview/view.h"
#include "mission/itemattr.h"
#include "mission/mission.h"
#include "resources/check_dialogs.h"

#include <algorithm>
#include <cstring>
#include <map>

using namespace findid;

namespace {

constexpr const char* kSec = "Checks";

// Fills a drop-down with "any" and then the entries; "any" is selected.
void fill(Dialog& dlg, int id, const ValueList& entries) {
    dlg.clearEntries(id);
    dlg.addEntry(id, text_Get(kSec, "FIND_ANY"), kFindAny);
    for (const ListEntry& e : entries) dlg.addEntry(id, e.text, e.data);
    dlg.setSelection(id, 0);
}

std::int32_t chosen(const Dialog& dlg, int id) {
    const int sel = dlg.selection(id);
    return sel < 0 ? kFindAny : std::int32_t(dlg.entryData(id, sel));
}

// The types the page holds, by name.
ValueList typeList(const Mission& m) {
    std::map<std::int32_t, std::string> types;
    for (std::int32_t i = 0; i < std::clamp(m.item_count, 0, kMaxItems); ++i) {
        const MissionItem& it = m.items[std::size_t(i)];
        if (types.count(it.type_id)) continue;
        const ItemDef* d = refs_ItemDef(it);
        const std::string name = d ? std::string(d->name, strnlen(d->name, sizeof d->name)) : std::string();
        types[it.type_id] = text_Printf(kSec, "FIND_TYPE_ENTRY", {name, it.type_id});
    }
    ValueList out;
    for (const auto& [type, text] : types) out.push_back({text, type});
    std::stable_sort(out.begin(), out.end(), [](const ListEntry& a, const ListEntry& b) { return a.text < b.text; });
    return out;
}

ValueList kindList() {
    static constexpr std::pair<std::int32_t, const char*> kKinds[] = {
        {kItemVehicle, "FIND_KIND_VEHICLE"},   {kItemDecoration, "FIND_KIND_DECORATION"},
        {kItemPerson, "FIND_KIND_PERSON"},     {kItemMarker, "FIND_KIND_MARKER"},
        {kItemBuilding, "FIND_KIND_BUILDING"}, {kItemObject, "FIND_KIND_OBJECT"},
        {kItemEffect, "FIND_KIND_EFFECT"}};
    ValueList out;
    for (const auto& [kind, key] : kKinds) out.push_back({text_Get(kSec, key), kind});
    return out;
}

ValueList teamList() {
    static constexpr std::pair<std::int32_t, const char*> kTeams[] = {{kTeamNeutral, "NEUTRALTEAM"},
                                                                      {kTeamGood, "GOODTEAM"},
                                                                      {kTeamEvil, "EVILTEAM"},
                                                                      {kTeamYellow, "YELLOWTEAM"},
                                                                      {kTeamViolet, "VIOLETTEAM"}};
    ValueList out;
    for (const auto& [team, key] : kTeams) out.push_back({text_Get("Teams", key), team});
    return out;
}

ValueList layerList(const Mission& m) {
    ValueList out;
    for (int l = 0; l < kMaxLayers; ++l)
        out.push_back({text_Format("%2i - %s", {l, mission_Text(m.layers[std::size_t(l)].description)}), l});
    return out;
}

ValueList attributeList() {
    static constexpr std::pair<std::int32_t, const char*> kBits[] = {{kBmsiDeaf, "DEAF"},
                                                                     {kBmsiBlind, "BLIND"},
                                                                     {kBmsiGuarding, "GUARDING"},
                                                                     {kBmsiStander, "STANDING"},
                                                                     {kBmsiProner, "PRONE"},
                                                                     {kBmsiBreakLeft, "BREAK_LEFT"},
                                                                     {kBmsiBreakRight, "BREAK_RIGHT"},
                                                                     {kBmsiSilent, "SILENT"},
                                                                     {kBmsiBerserk, "BERSERK"},
                                                                     {kBmsiClimbLadders, "CLIMB_LADDERS"},
                                                                     {kBmsiNoWater, "NO_WATER"}};
    ValueList out;
    for (const auto& [bit, key] : kBits) out.push_back({text_Get("Dialog Message", key), bit});
    return out;
}

}  // namespace

void FindDialogProc::onInit(Dialog& dlg) {
    fill(dlg, kType, typeList(page_));
    fill(dlg, kKind, kindList());
    fill(dlg, kTeam, teamList());
    fill(dlg, kGroup, list_Groups(page_));  // "none" (0) finds the items in no group
    fill(dlg, kPath, list_Waypoints(page_));
    fill(dlg, kLayer, layerList(page_));
    ValueList areas = list_Areas(page_);
    areas.erase(areas.begin());  // an area "none" has no inside
    fill(dlg, kArea, areas);
    fill(dlg, kAttr, attributeList());
    dlg.setText(kName, "");
    dlg.setCheck(kAdd, kUnchecked);
    showCount(dlg);
}

FindCriteria FindDialogProc::criteria(const Dialog& dlg) const {
    FindCriteria c;
    c.typeId = chosen(dlg, kType);
    c.kind = chosen(dlg, kKind);
    c.team = chosen(dlg, kTeam);
    c.group = chosen(dlg, kGroup);
    c.path = chosen(dlg, kPath);
    c.layer = chosen(dlg, kLayer);
    c.area = chosen(dlg, kArea);
    const std::int32_t bit = chosen(dlg, kAttr);
    c.attributes = bit == kFindAny ? 0u : std::uint32_t(bit);
    c.name = dlg.text(kName);
    return c;
}

void FindDialogProc::showCount(Dialog& dlg) {
    const auto found = find_Items(page_, criteria(dlg), &view_ItemVisible);
    dlg.setText(kCount, text_Printf(kSec, "FIND_COUNT", {int(found.size())}));
}

void FindDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (id == kIdCancel) {
        dlg.end(kIdCancel);
        return;
    }
    if (id == kIdOk) {
        const auto found = find_Items(page_, criteria(dlg), &view_ItemVisible);
        if (dlg.check(kAdd) != kChecked) mission_ClearSelection(page_);
        for (std::int32_t i : found) mission_Select(page_, i);
        selected_ = int(found.size());
        dlg.end(kIdOk);
        return;
    }
    if (code == Notify::SelChange || (id == kName && code == Notify::Changed)) showCount(dlg);
}

int find_RunDialog(Mission& page) {
    FindDialogProc proc(page);
    return platform().runDialog("FINDITEMS", proc) == kIdOk ? proc.selected() : 0;
}
