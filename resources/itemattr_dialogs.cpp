#include "resources/itemattr_dialogs.h"

#include "mission/itemattr.h"

using K = ControlKind;
using namespace itemattr;

namespace {

// Three columns: the item itself (type, layer, position, facing, map symbol) above the
// buttons; the AI settings and the multiplayer limits; the waypoint settings and the AI
// behaviour boxes. Timers and engagement distances are filled but never shown.
constexpr ControlTemplate kItemAttributes[] = {
    // The item.
    {kKind, K::StaticText, "", 7, 7, 80, 10},
    {kSsn, K::StaticText, "", 90, 7, 87, 10},
    {kSubTypeLabel, K::StaticText, "SUBTYPE", 7, 24, 55, 10},
    {kSubType, K::DropDownList, "", 64, 22, 113, 160, kCtlGroup},
    {kLayerLabel, K::StaticText, "LAYER", 7, 40, 55, 10},
    {kLayerList, K::DropDownList, "", 64, 38, 113, 140, kCtlGroup},
    {kPositionFrame, K::GroupBox, "POSITION", 7, 54, 170, 58},
    {kXLabel, K::StaticText, "X_COORD", 13, 68, 62, 10},
    numberField(kXMetres, 78, 66, 52, 12, kMetresMin, kMetresMax, kXLabel, kCtlGroup),
    numberField(kXFraction, 133, 66, 38, 12, 0, 255, kXLabel),
    {kYLabel, K::StaticText, "Y_COORD", 13, 82, 62, 10},
    numberField(kYMetres, 78, 80, 52, 12, kMetresMin, kMetresMax, kYLabel),
    numberField(kYFraction, 133, 80, 38, 12, 0, 255, kYLabel),
    {kZLabel, K::StaticText, "Z_COORD", 13, 96, 62, 10},
    numberField(kZMetres, 78, 94, 52, 12, kMetresMin, kMetresMax, kZLabel),
    numberField(kZFraction, 133, 94, 38, 12, 0, 255, kZLabel),
    {kFacingFrame, K::GroupBox, "FACING", 7, 116, 170, 32},
    {kHeadingLabel, K::StaticText, "HEADING", 13, 130, 40, 10},
    numberField(kHeading, 55, 128, 36, 12, 0, 359, kHeadingLabel, kCtlGroup),
    {kPitchLabel, K::StaticText, "PITCH", 96, 130, 32, 10},
    numberField(kPitch, 130, 128, 41, 12, -90, 90, kPitchLabel),
    {kMapSymbolLabel, K::StaticText, "MAP_SYMBOL", 7, 156, 55, 10},
    {kMapSymbol, K::DropDownList, "", 64, 154, 113, 100, kCtlGroup},
    // Never shown: the timers and the engagement distances.
    {kIdStatic, K::GroupBox, "TIMERS", 7, 172, 170, 30, kCtlHidden},
    {kIdStatic, K::StaticText, "MOVE", 11, 184, 18, 10, kCtlHidden},
    {kMoveTimer, K::Edit, "", 29, 182, 20, 12, kCtlHidden},
    {kIdStatic, K::StaticText, "CROUCH", 51, 184, 18, 10, kCtlHidden},
    {kCrouchTimer, K::Edit, "", 69, 182, 20, 12, kCtlHidden},
    {kIdStatic, K::StaticText, "ATTENTION", 91, 184, 18, 10, kCtlHidden},
    {kAttention, K::Edit, "", 109, 182, 20, 12, kCtlHidden},
    {kIdStatic, K::StaticText, "FIRE", 131, 184, 18, 10, kCtlHidden},
    {kAdvanceTimer, K::Edit, "", 149, 182, 20, 12, kCtlHidden},
    {kIdStatic, K::GroupBox, "ENGAGE", 7, 204, 100, 18, kCtlHidden},
    {kIdStatic, K::StaticText, "MIN", 11, 208, 16, 10, kCtlHidden},
    {kMinEngage, K::Edit, "", 27, 207, 24, 12, kCtlHidden},
    {kIdStatic, K::StaticText, "MAX", 55, 208, 16, 10, kCtlHidden},
    {kMaxEngage, K::Edit, "", 71, 207, 24, 12, kCtlHidden},

    // AI settings.
    {kAiFrame, K::GroupBox, "AI_VARIABLES", 184, 7, 200, 168},
    {kGroupLabel, K::StaticText, "GROUP", 190, 22, 72, 10},
    {kGroupList, K::DropDownList, "", 266, 20, 112, 140, kCtlGroup},
    {kTeamLabel, K::StaticText, "TEAM", 190, 38, 72, 10},
    {kTeamList, K::DropDownList, "", 266, 36, 112, 60, kCtlGroup},
    {kNameLabel, K::StaticText, "NAME", 190, 54, 72, 10},
    {kNameList, K::DropDownList, "", 266, 52, 112, 140, kCtlGroup},
    {kAlertLabel, K::StaticText, "ALERT_STATE", 190, 70, 72, 10},
    {kAlertList, K::DropDownList, "", 266, 68, 112, 40, kCtlGroup},
    {kWeaponLabel, K::StaticText, "NPC_WEAPON", 190, 86, 72, 10},
    {kWeaponList, K::DropDownList, "", 266, 84, 112, 100, kCtlGroup},
    {kFovLabel, K::StaticText, "FOV", 190, 102, 72, 10},
    numberField(kFov, 266, 100, 50, 12, 0, 360, kFovLabel, kCtlGroup),
    {kAccuracyLabel, K::StaticText, "WEAPON_ACCURACY", 190, 118, 72, 10},
    decimalField(kAccuracy, 266, 116, 50, 12, 0, 100, kAccuracyLabel),
    {kPerceptionLabel, K::StaticText, "PERCEPTION", 190, 134, 72, 10},
    decimalField(kPerception, 266, 132, 50, 12, 0, 100, kPerceptionLabel),
    {kObliquenessLabel, K::StaticText, "OBLIQUENESS", 190, 150, 72, 10},
    numberField(kObliqueness, 266, 148, 50, 12, 0, 255, kObliquenessLabel),

    // Multiplayer limits.
    {kRemoveFrame, K::GroupBox, "REMOVE_IF", 184, 180, 200, 62},
    {kLessThanCheck, K::CheckBox, "LESS_THAN", 190, 194, 86, 10, kCtlGroup},
    numberField(kLessThan, 280, 192, 30, 12, 0, 255, kLessThanCheck),
    {kLessPlayers, K::StaticText, "PLAYERS", 314, 194, 64, 10},
    {kMoreThanCheck, K::CheckBox, "MORE_THAN", 190, 210, 86, 10, kCtlGroup},
    numberField(kMoreThan, 280, 208, 30, 12, 0, 255, kMoreThanCheck),
    {kMorePlayers, K::StaticText, "PLAYERS", 314, 210, 64, 10},
    {kMultiplayer, K::CheckBox, "MULTIPLAYER", 190, 226, 188, 10, kCtlGroup},

    // Waypoints.
    {kWaypointFrame, K::GroupBox, "WAYPOINTS", 391, 7, 170, 80},
    {kWaypointListLabel, K::StaticText, "LIST", 397, 22, 60, 10},
    {kWaypointList, K::DropDownList, "", 460, 20, 95, 140, kCtlGroup},
    {kNumberLabel, K::StaticText, "NUMBER", 397, 38, 60, 10},
    numberField(kNumber, 460, 36, 40, 12, 0, 255, kNumberLabel, kCtlGroup),
    {kWaypointNameLabel, K::StaticText, "NAME", 397, 54, 60, 10},
    {kWaypointName, K::DropDownList, "", 460, 52, 95, 120, kCtlGroup},
    {kDistanceLabel, K::StaticText, "DISTANCE", 397, 70, 60, 10},
    numberField(kDistance, 460, 68, 40, 12, 0, 65535, kDistanceLabel, kCtlGroup),

    // AI behaviour.
    {kAttributesFrame, K::GroupBox, "AI_ATTRIBUTES", 391, 92, 170, 150},
    {kDeaf, K::CheckBox, "DEAF", 397, 106, 158, 10, kCtlGroup},
    {kBlind, K::CheckBox, "BLIND", 397, 118, 158, 10},
    {kGuarding, K::CheckBox, "GUARDING", 397, 130, 158, 10},
    {kStander, K::CheckBox, "STANDING", 397, 142, 158, 10},
    {kProner, K::CheckBox, "PRONE", 397, 154, 158, 10},
    {kBreakLeft, K::CheckBox, "BREAK_LEFT", 397, 166, 158, 10},
    {kBreakRight, K::CheckBox, "BREAK_RIGHT", 397, 178, 158, 10},
    {kSilent, K::CheckBox, "SILENT", 397, 190, 158, 10},
    {kBerserk, K::CheckBox, "BERSERK", 397, 202, 158, 10},
    {kClimbLadders, K::CheckBox, "CLIMB_LADDERS", 397, 214, 158, 10},
    {kNoWater, K::CheckBox, "NO_WATER", 397, 226, 158, 10},

    // The buttons last, so the tab order runs through every column first.
    {kIdCancel, K::PushButton, "CANCEL", 67, 226, 52, 16, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 125, 226, 52, 16},
};

}  // namespace

const DialogTemplate kDlgItemAttributes = {"ITEMATTRIBUTES", "ITEMATTRIB", 568, 250, {}, 8, kItemAttributes};
