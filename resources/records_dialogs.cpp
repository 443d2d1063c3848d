#include "resources/records_dialogs.h"

#include "logic/refs.h"

using K = ControlKind;
using namespace recid;

namespace {

// The record list on the left, the panel of the chosen record on the right, OK at the
// bottom right. The colour drop-down opens tall enough for all seventeen colours.
constexpr int kPanelX = 186;
constexpr int kPanelW = 147;
constexpr int kColorListH = kDropDownClosedHeight + 8 * kRecordColorCount;

constexpr ControlTemplate kGroups[] = {
    {kList, K::ListBox, "", 7, 7, 170, 182, kCtlGroup},
    {kSize, K::StaticText, "SIZE", kPanelX, 7, kPanelW, 10},
    {kDescLabel, K::StaticText, "DESCRIPTION", kPanelX, 22, kPanelW, 10},
    {kDesc, K::Edit, "", kPanelX, 33, kPanelW, 14, kCtlGroup},
    {kSelect, K::PushButton, "SELECT_MEMBERS", kPanelX, 55, 90, 14, kCtlGroup},
    {kPrint, K::PushButton, "PRINT_LIST", kPanelX, 73, 90, 14},
    {refid::kShowButton, K::PushButton, "REFS_SHOW", kPanelX, 91, 90, 14},
    {kIdCancel, K::PushButton, "CANCEL", 228, 175, 50, 14, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 283, 175, 50, 14},
};

constexpr ControlTemplate kWaypoints[] = {
    {kList, K::ListBox, "", 7, 7, 170, 182, kCtlGroup},
    {kSize, K::StaticText, "SIZE", kPanelX, 7, kPanelW, 10},
    {kDescLabel, K::StaticText, "DESCRIPTION", kPanelX, 22, kPanelW, 10},
    {kDesc, K::Edit, "", kPanelX, 33, kPanelW, 14, kCtlGroup},
    {kColorLabel, K::StaticText, "COLOR", kPanelX, 53, kPanelW, 10},
    {kColor, K::DropDownList, "", kPanelX, 64, 100, kColorListH, kCtlGroup},
    {kNoLoop, K::CheckBox, "WAYPOINT_NOLOOP", kPanelX, 84, kPanelW, 11, kCtlGroup},
    {kTeamBlue, K::CheckBox, "WAYPOINT_BLUE", kPanelX, 97, kPanelW, 11},
    {kTeamRed, K::CheckBox, "WAYPOINT_RED", kPanelX, 110, kPanelW, 11},
    {kSelect, K::PushButton, "SELECT_MARKERS", kPanelX, 130, 90, 14, kCtlGroup},
    {kPrint, K::PushButton, "PRINT_LIST", kPanelX, 148, 90, 14},
    {refid::kShowButton, K::PushButton, "REFS_SHOW", kPanelX, 166, 90, 14},
    {kIdCancel, K::PushButton, "CANCEL", 228, 175, 50, 14, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 283, 175, 50, 14},
};

constexpr ControlTemplate kAreaTriggers[] = {
    {kList, K::ListBox, "", 7, 7, 170, 182, kCtlGroup},
    {kDescLabel, K::StaticText, "DESCRIPTION", kPanelX, 7, kPanelW, 10},
    {kDesc, K::Edit, "", kPanelX, 18, kPanelW, 14, kCtlGroup},
    {kColorLabel, K::StaticText, "COLOR", kPanelX, 38, kPanelW, 10},
    {kColor, K::DropDownList, "", kPanelX, 49, 100, kColorListH, kCtlGroup},
    {kSelect, K::PushButton, "SELECT_MARKERS", kPanelX, 73, 90, 14, kCtlGroup},
    {kPrint, K::PushButton, "PRINT_LIST", kPanelX, 91, 90, 14},
    {refid::kShowButton, K::PushButton, "REFS_SHOW", kPanelX, 109, 90, 14},
    {kIdCancel, K::PushButton, "CANCEL", 228, 175, 50, 14, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 283, 175, 50, 14},
};

}  // namespace

const DialogTemplate kDlgEditGroups = {"EDITGROUPS", "GROUPS", 340, 196, {}, 8, kGroups};
const DialogTemplate kDlgEditWaypoints = {"EDITWAYPOINTS", "WAYPOINTS", 340, 196, {}, 8, kWaypoints};
const DialogTemplate kDlgEditAreaTriggers = {"EDITAREATRIGGERS", "AREA_TRIGGERS", 340, 196, {}, 8, kAreaTriggers};
