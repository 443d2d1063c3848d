#include "shell/editor_commands.h"

#include "gamedata/model.h"
#include "logic/events_editor.h"
#include "logic/geninfo.h"
#include "logic/records_editor.h"
#include "mapview/view.h"
#include "mission/itemattr.h"
#include "mission/mission.h"
#include "mission/page_load.h"
#include "shell/dialogs.h"
#include "shell/shell.h"

namespace {

// The record editors take the map's visibility test and redraw from here. Their redraw
// also brings the selection pane up to date, since Select Members and Select Markers add to
// the selection.
void setRecordsHooks() {
    records_Hooks() = {&view_ItemVisible, [] {
                           shell_Render();
                           shell_RepaintItems();
                       }};
}

}  // namespace

void shell_RunEditor(int command) { shell_RunEditorAt(command, -1); }

void shell_RunEditorAt(int command, std::int32_t start) {
    Mission& page = mission_CurrentPage();
    switch (command) {
    case cmd::kItemAttributes:
        if (page.selection.count > 0) {
            ItemAttrHooks& hooks = itemattr_Hooks();
            hooks.showAll = dialogs_Settings().showAll;
            hooks.repaintMap = &shell_RepaintMap;
            itemattr_Run(page);
            shell_Render();
        }
        // Whether or not the dialog ran: items may have new types whose models are not loaded
        // yet.
        pageload_Models();
        shell_RepaintItems();
        break;
    case cmd::kGeneralInfo:
        geninfo_Run(page);
        shell_RepaintMap();
        break;
    case cmd::kWaypoints:
        setRecordsHooks();
        waypoints_RunEditorAt(page, start < 1 ? 1 : start);
        shell_Render();
        break;
    case cmd::kEvents:
        events_RunEditorAt(page, start < 0 ? 0 : start);
        // Events do not show on the map: nothing to refresh.
        break;
    case cmd::kGroups:
        setRecordsHooks();
        groups_RunEditorAt(page, start < 1 ? 1 : start);
        shell_Render();
        break;
    case cmd::kAreaTriggers:
        setRecordsHooks();
        areas_RunEditorAt(page, start < 1 ? 1 : start);
        shell_Render();
        break;
    default: break;
    }
}
