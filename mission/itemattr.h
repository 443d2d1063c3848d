// The item attributes editor: one modal dialog (ITEMATTRIBUTES) for the whole selection of a
// page. It shows the attributes of the reference item (the one selected last) and, on OK,
// writes every value the user changed into every selected item; values left alone keep each
// item's own. That is how a whole squad gets the same team, group, path or AI flags at once.
//
// The procedure compares each control with a working copy of the reference item taken when
// the dialog opens, so "changed" means "differs from the reference", never "differs from
// this item". Cancel changes nothing.
#pragma once

#include "platform/ui.h"
#include "mission/mission.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// Control ids of ITEMATTRIBUTES.
namespace itemattr {
// What the dialog shows and edits.
constexpr int kSubType = 4000;  // drop-down: definitions of the reference item's kind
constexpr int kXMetres = 4001, kYMetres = 4002, kZMetres = 4003;
constexpr int kXFraction = 4010, kYFraction = 4011, kZFraction = 4012;  // 1/256 m
constexpr int kHeading = 4004;
constexpr int kKind = 4005;  // static: the item kind
constexpr int kWaypointList = 4006;
constexpr int kNumber = 4007;  // order in the path / area number
constexpr int kGroupList = 4008;
constexpr int kLessThanCheck = 4014, kLessThan = 4015;
constexpr int kMoreThanCheck = 4016, kMoreThan = 4017;
constexpr int kMultiplayer = 4018;
constexpr int kAlertList = 4019;
constexpr int kFov = 4020;
constexpr int kAccuracy = 4021;
constexpr int kPerception = 4022;
constexpr int kMinEngage = 4023, kMaxEngage = 4024;  // hidden
constexpr int kBlind = 4025, kGuarding = 4026, kBreakLeft = 4027, kBreakRight = 4028;
constexpr int kDistance = 4029;
constexpr int kTeamList = 4030;
constexpr int kWeaponList = 4031;
constexpr int kWaypointName = 4032;
constexpr int kDeaf = 4033, kStander = 4034, kProner = 4035;
constexpr int kObliqueness = 4037;
constexpr int kMoveTimer = 4038, kCrouchTimer = 4039, kAttention = 4041;  // hidden
constexpr int kSsn = 4042;                                                // static: the item's id
constexpr int kNameList = 4043;
constexpr int kLayerList = 4044;
constexpr int kMapSymbol = 4045;
constexpr int kSilent = 4046, kBerserk = 4047, kClimbLadders = 4048, kNoWater = 4049;
constexpr int kAdvanceTimer = 4050;  // hidden ("Fire")
constexpr int kPitch = 4013;

// Captions the procedure words from the string table (labels and frames).
constexpr int kSubTypeLabel = 4100, kLayerLabel = 4101, kPositionFrame = 4102;
constexpr int kXLabel = 4103, kYLabel = 4104, kZLabel = 4105;
constexpr int kFacingFrame = 4106, kHeadingLabel = 4107, kPitchLabel = 4108;
constexpr int kMapSymbolLabel = 4109, kRemoveFrame = 4110, kLessPlayers = 4111, kMorePlayers = 4112;
constexpr int kAiFrame = 4113, kGroupLabel = 4114, kTeamLabel = 4115, kNameLabel = 4116;
constexpr int kAlertLabel = 4117, kFovLabel = 4118, kAccuracyLabel = 4119, kPerceptionLabel = 4120;
constexpr int kObliquenessLabel = 4121, kWeaponLabel = 4122, kWaypointFrame = 4123;
constexpr int kWaypointListLabel = 4124, kNumberLabel = 4125, kWaypointNameLabel = 4126;
constexpr int kDistanceLabel = 4127, kAttributesFrame = 4128;
}  // namespace itemattr

// AI and multiplayer bits of MissionItem::bmsi_attributes.
constexpr std::int32_t kBmsiBlind = 0x0001;
constexpr std::int32_t kBmsiGuarding = 0x0002;
constexpr std::int32_t kBmsiBreakLeft = 0x0004;
constexpr std::int32_t kBmsiBreakRight = 0x0008;
constexpr std::int32_t kBmsiLessThan = 0x0010;
constexpr std::int32_t kBmsiMoreThan = 0x0020;
constexpr std::int32_t kBmsiMultiplayer = 0x0040;
constexpr std::int32_t kBmsiStander = 0x0100;
constexpr std::int32_t kBmsiProner = 0x0200;
constexpr std::int32_t kBmsiSilent = 0x0400;
constexpr std::int32_t kBmsiBerserk = 0x0800;
constexpr std::int32_t kBmsiClimbLadders = 0x1000;
constexpr std::int32_t kBmsiNoWater = 0x2000;
constexpr std::int32_t kBmsiDeaf = 0x4000;

// NPC primary weapons (MissionItem::weapon_type) the engagement distances follow.
constexpr std::int32_t kWeaponCount = 11;  // 0 none, 1..10
constexpr std::int32_t kWeaponM16 = 1, kWeaponAk47 = 2, kWeaponAk74 = 3, kWeaponUzi = 6;
constexpr std::int32_t kWeaponRpg = 8, kWeaponColt45 = 9;

// The highest number of a waypoint marker (a path holds 32 points, from 0) and of an area
// marker (areas are numbered from 1).
constexpr std::int32_t kWaypointNumberMax = 31;
constexpr std::int32_t kAreaNumberMax = 99;

// Longest text an edit of the dialog is read to.
constexpr int kItemAttrEditMax = 35;

// What the dialog needs from the rest of the editor, set by whoever opens it.
struct ItemAttrHooks {
    bool showAll = false;            // /SHOWALL: hidden definitions are offered too
    void (*repaintMap)() = nullptr;  // a new sub-type changes how items are drawn
};
ItemAttrHooks& itemattr_Hooks();

// The minimum and maximum engagement distances a newly chosen weapon brings; nothing for
// weapons that leave the distances as they are.
std::optional<std::pair<std::int32_t, std::int32_t>> itemattr_EngagementFor(std::int32_t weapon);

// Groups of attribute controls the enable rules switch on and off together.
enum ItemAttrControls : std::uint32_t {
    kIaHeading = 1u << 0,
    kIaPitch = 1u << 1,
    kIaMapSymbol = 1u << 2,
    kIaTeam = 1u << 3,
    kIaName = 1u << 4,
    kIaFov = 1u << 5,
    kIaAccuracy = 1u << 6,
    kIaPerception = 1u << 7,
    kIaWaypointList = 1u << 8,
    kIaNumber = 1u << 9,
    kIaDistance = 1u << 10,
    kIaWaypointName = 1u << 11,
    kIaDeaf = 1u << 12,
    kIaBlind = 1u << 13,
    kIaGuarding = 1u << 14,
    kIaPersonOnly = 1u << 15,  // group, alert, weapon, obliqueness, the other AI and
                               // multiplayer boxes, timers and engagement distances
    kIaAll = (1u << 16) - 1,
};
// The attribute controls that apply to an item of this kind and type number.
std::uint32_t itemattr_ControlsFor(std::int32_t kind, std::int32_t type);

// The dialog's procedure over the selection of page.
class ItemAttrDialogProc : public DialogProc {
public:
    explicit ItemAttrDialogProc(Mission& page);
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

private:
    void fillLists(Dialog& dlg);
    void showItem(Dialog& dlg);
    void markMixed(Dialog& dlg);
    bool mixed(int id) const;
    bool mixedBlank(const Dialog& dlg, int id) const;
    void applyEnableRules(Dialog& dlg);
    void apply(Dialog& dlg);
    // What a number field takes for the items edited: the template's range, narrowed.
    NumberRange fieldRange(int id, const NumberRange& range) const;
    // Checks every number the user typed; false, with the field refused, when one is not
    // taken.
    bool checkNumbers(Dialog& dlg) const;
    template <class F>
    void forSelected(F&& f);

    Mission& page_;
    std::int32_t ref_ = -1;    // index of the reference item
    MissionItem work_{};       // the reference as the dialog opened, with the chosen type
    bool typeChosen_ = false;  // the user picked a sub-type
    std::vector<int> mixed_;   // controls whose value differs among the selected items
};

// Runs ITEMATTRIBUTES for the page's selection: kIdOk or kIdCancel (kIdCancel without a
// dialog when nothing is selected).
int itemattr_Run(Mission& page);
