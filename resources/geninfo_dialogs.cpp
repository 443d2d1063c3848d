#include "resources/geninfo_dialogs.h"

#include "logic/geninfo.h"

using K = ControlKind;
using namespace gi;

namespace {

// Three columns: the mission's own fields, equipment, wind and fire missions on the left;
// game types, terrain overrides and sky in the middle; sub-goals and campaign variables on
// the right. Captions are the string-table keys the procedure looks up.

// A label with its field to the right, on one row of the left column.
constexpr ControlTemplate rowLabel(int id, const char* key, int y) {
    return {id, K::StaticText, key, 7, y + 2, 58, 10};
}

// Campaign variable boxes 1..30: six to a row.
constexpr ControlTemplate campVar(int v) {
    return {kCampVarFirst + v - 1,    K::CheckBox, "", 389 + 27 * ((v - 1) % 6),
            174 + 12 * ((v - 1) / 6), 26,          10, v == 1 ? kCtlGroup : 0u};
}

// Sub-goal lists: four to a frame.
constexpr ControlTemplate subGoal(int first, int i, int frameY) {
    return {first + i, K::ComboBox, "", 389, frameY + 12 + 15 * i, 158, 90, i == 0 ? kCtlGroup : 0u};
}

constexpr ControlTemplate kGeneralInfo[] = {
    // Left column.
    rowLabel(kNameLabel, "MISSION_NAME", 7),
    {kName, K::Edit, "", 68, 7, 119, 12, kCtlGroup},
    rowLabel(kDesignerLabel, "MISSION_DESIGNER", 23),
    {kDesigner, K::Edit, "", 68, 23, 119, 12, kCtlGroup},
    rowLabel(kTerrainLabel, "MISSION_TERRAIN", 39),
    {kTerrain, K::DropDownList, "", 68, 39, 119, 90, kCtlGroup | kCtlSorted},
    rowLabel(kColourLabel, "ITEM_COLORS", 55),
    {kColour, K::DropDownList, "", 68, 55, 119, 60, kCtlGroup},
    rowLabel(kDialogFileLabel, "DIALOG_FILE", 71),
    {kDialogFile, K::Edit, "", 68, 71, 70, 12, kCtlGroup},
    rowLabel(kMissionFileLabel, "MISSION_FILE", 87),
    {kMissionFile, K::Edit, "", 68, 87, 70, 12, kCtlGroup},

    {kEquipmentFrame, K::GroupBox, "EQUIPMENT", 7, 104, 180, 76},
    {kPrimaryLabel, K::StaticText, "PRIMARY", 13, 118, 50, 10},
    {kPrimary, K::DropDownList, "", 66, 116, 115, 90, kCtlGroup},
    {kSecondaryLabel, K::StaticText, "SECONDARY", 13, 133, 50, 10},
    {kSecondary, K::DropDownList, "", 66, 131, 115, 80, kCtlGroup},
    {kAuxiliaryLabel, K::StaticText, "AUXILIARY", 13, 148, 50, 10},
    {kAuxiliary, K::DropDownList, "", 66, 146, 115, 90, kCtlGroup},
    {kSidearmLabel, K::StaticText, "SIDEARM", 13, 163, 50, 10},
    {kSidearm, K::DropDownList, "", 66, 161, 115, 60, kCtlGroup},

    {kWindFrame, K::GroupBox, "WIND", 7, 184, 180, 44},
    {kWindSpeedLabel, K::StaticText, "SPEED_KPH", 13, 198, 100, 10},
    numberField(kWindSpeed, 130, 196, 45, 12, 0, kGiWindSpeedMax, kWindSpeedLabel, kCtlGroup),
    {kWindDirectionLabel, K::StaticText, "DIRECTION", 13, 213, 100, 10},
    numberField(kWindDirection, 130, 211, 45, 12, 0, 359, kWindDirectionLabel, kCtlGroup),

    {kMiscFrame, K::GroupBox, "MISC", 7, 232, 180, 30},
    {kFireMissionsLabel, K::StaticText, "FIRE_MISSIONS_AVAILABLE", 13, 246, 110, 10},
    numberField(kFireMissions, 130, 244, 45, 12, 0, kGiFireMissionsMax, kFireMissionsLabel, kCtlGroup),

    // Middle column.
    {kGameTypesFrame, K::GroupBox, "MAP_TYPES", 195, 5, 180, 84},
    {kCooperative, K::CheckBox, "COOPERATIVE", 201, 17, 86, 10, kCtlGroup},
    {kDeathmatch, K::CheckBox, "DEATHMATCH", 201, 30, 86, 10},
    {kTeamDeathmatch, K::CheckBox, "TEAM_DEATHMATCH", 201, 43, 86, 10},
    {kKingOfTheHill, K::CheckBox, "KING_OF_THE_HILL", 201, 56, 86, 10},
    {kTeamKingOfTheHill, K::CheckBox, "TEAM_KING_OF_THE_HILL", 201, 69, 86, 10},
    {kCaptureTheFlag, K::CheckBox, "CAPTURE_THE_FLAG", 288, 17, 84, 10},
    {kAttackAndDefend, K::CheckBox, "ATTACK_AND_DEFEND", 288, 30, 84, 10},
    {kSearchAndDestroy, K::CheckBox, "SEARCH_AND_DESTROY", 288, 43, 84, 10},
    {kFlagball, K::CheckBox, "FLAGBALL", 288, 56, 84, 10},

    {kOverridesFrame, K::GroupBox, "TERRAIN_OVERRIDES", 195, 93, 180, 80},
    {kWaterLevelBox, K::CheckBox, "WATER_LEVEL", 201, 107, 95, 10, kCtlGroup},
    numberField(kWaterLevel, 300, 105, 45, 12, 0, 255, kWaterLevelBox, kCtlGroup),
    {kFogLevelBox, K::CheckBox, "FOG_LEVEL", 201, 122, 95, 10, kCtlGroup},
    numberField(kFogLevel, 300, 120, 45, 12, 0, 2147483647, kFogLevelBox, kCtlGroup),
    {kFogColourBox, K::CheckBox, "FOG_COLOR", 201, 137, 168, 10, kCtlGroup},
    numberField(kFogRed, 213, 152, 36, 12, 0, 255, kFogColourBox, kCtlGroup),
    numberField(kFogGreen, 257, 152, 36, 12, 0, 255, kFogColourBox, kCtlGroup),
    numberField(kFogBlue, 301, 152, 36, 12, 0, 255, kFogColourBox, kCtlGroup),

    {kSkyFrame, K::GroupBox, "SKY_SETTINGS", 195, 177, 180, 62},
    {kWeatherBox, K::CheckBox, "WEATHER", 201, 191, 62, 10, kCtlGroup},
    {kWeather, K::DropDownList, "", 266, 189, 103, 50, kCtlGroup | kCtlSorted},
    {kSunLabel, K::StaticText, "SUN", 201, 207, 62, 10},
    {kSunset, K::DropDownList, "", 266, 205, 103, 100, kCtlGroup | kCtlSorted},
    {kNight, K::CheckBox, "NIGHT", 201, 223, 120, 10, kCtlGroup},

    // Right column.
    {kWinFrame, K::GroupBox, "WIN_CONDITION", 383, 5, 170, 74},
    subGoal(kWinFirst, 0, 5),
    subGoal(kWinFirst, 1, 5),
    subGoal(kWinFirst, 2, 5),
    subGoal(kWinFirst, 3, 5),
    {kLoseFrame, K::GroupBox, "LOSE_CONDITION", 383, 83, 170, 74},
    subGoal(kLoseFirst, 0, 83),
    subGoal(kLoseFirst, 1, 83),
    subGoal(kLoseFirst, 2, 83),
    subGoal(kLoseFirst, 3, 83),

    {kCampVarsFrame, K::GroupBox, "VISIBLE_CAMP_VARS", 383, 161, 170, 78},
    campVar(1),
    campVar(2),
    campVar(3),
    campVar(4),
    campVar(5),
    campVar(6),
    campVar(7),
    campVar(8),
    campVar(9),
    campVar(10),
    campVar(11),
    campVar(12),
    campVar(13),
    campVar(14),
    campVar(15),
    campVar(16),
    campVar(17),
    campVar(18),
    campVar(19),
    campVar(20),
    campVar(21),
    campVar(22),
    campVar(23),
    campVar(24),
    campVar(25),
    campVar(26),
    campVar(27),
    campVar(28),
    campVar(29),
    campVar(30),

    {kIdCancel, K::PushButton, "CANCEL", 420, 246, 60, 16, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 490, 246, 60, 16},
};

}  // namespace

const DialogTemplate kDlgGeneralInfo = {"GENERALINFO", "GENERAL_INFORMATION", 560, 268, {}, 8, kGeneralInfo};
