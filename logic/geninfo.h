// The general information editor: the mission-wide values of a page (name, designer,
// terrain and its colour scheme, the companion files, default equipment, wind, game types,
// terrain overrides, sky, win and lose sub-goals, fire missions, visible campaign
// variables). geninfo_Open fills the dialog from the page; geninfo_Store, run by OK, writes every
// control back and reloads the page's terrain when another terrain was chosen. Cancel
// leaves the page as it was.
#pragma once

#include "platform/ui.h"

#include <cstdint>
#include <string_view>

struct Mission;

// Control ids of the GENERALINFO template.
namespace gi {
constexpr int kNameLabel = 5101;
constexpr int kName = 5102;
constexpr int kDesignerLabel = 5103;
constexpr int kDesigner = 5104;
constexpr int kTerrainLabel = 5105;
constexpr int kTerrain = 5106;
constexpr int kColourLabel = 5107;
constexpr int kColour = 5108;
constexpr int kDialogFileLabel = 5109;
constexpr int kDialogFile = 5110;
constexpr int kMissionFileLabel = 5111;
constexpr int kMissionFile = 5112;

constexpr int kEquipmentFrame = 5120;
constexpr int kPrimaryLabel = 5121;
constexpr int kPrimary = 5122;
constexpr int kSecondaryLabel = 5123;
constexpr int kSecondary = 5124;
constexpr int kAuxiliaryLabel = 5125;
constexpr int kAuxiliary = 5126;
constexpr int kSidearmLabel = 5127;
constexpr int kSidearm = 5128;

constexpr int kWindFrame = 5130;
constexpr int kWindSpeedLabel = 5131;
constexpr int kWindSpeed = 5132;
constexpr int kWindDirectionLabel = 5133;
constexpr int kWindDirection = 5134;

constexpr int kGameTypesFrame = 5140;
constexpr int kCooperative = 5141;
constexpr int kDeathmatch = 5142;
constexpr int kTeamDeathmatch = 5143;
constexpr int kKingOfTheHill = 5144;
constexpr int kTeamKingOfTheHill = 5145;
constexpr int kCaptureTheFlag = 5146;
constexpr int kAttackAndDefend = 5147;
constexpr int kSearchAndDestroy = 5148;
constexpr int kFlagball = 5149;

constexpr int kOverridesFrame = 5150;
constexpr int kWaterLevelBox = 5151;
constexpr int kWaterLevel = 5152;
constexpr int kFogLevelBox = 5153;
constexpr int kFogLevel = 5154;
constexpr int kFogColourBox = 5155;
constexpr int kFogRed = 5156;
constexpr int kFogGreen = 5157;
constexpr int kFogBlue = 5158;

constexpr int kSkyFrame = 5160;
constexpr int kWeatherBox = 5161;
constexpr int kWeather = 5162;
constexpr int kSunLabel = 5163;
constexpr int kSunset = 5164;
constexpr int kNight = 5165;

constexpr int kWinFrame = 5170;
constexpr int kWinFirst = 5171;  // 5171..5174: win sub-goals 1..4
constexpr int kLoseFrame = 5180;
constexpr int kLoseFirst = 5181;  // 5181..5184: lose sub-goals 1..4

constexpr int kMiscFrame = 5190;
constexpr int kFireMissionsLabel = 5191;
constexpr int kFireMissions = 5192;

constexpr int kCampVarsFrame = 5200;
constexpr int kCampVarFirst = 5201;  // 5201..5230: campaign variables 1..30
}  // namespace gi

// Longest texts the fields take (the page's fields hold one character more).
constexpr int kGiNameMax = 77;
constexpr int kGiFileMax = 12;
constexpr int kGiTerrainMax = 15;
constexpr std::int32_t kGiWindSpeedMax = 45;
constexpr std::int32_t kGiFireMissionsMax = 99;
constexpr int kGiCampVars = 30;
// Sub-goal codes are stored in a signed byte: no list offers more conditions than that.
constexpr int kGiConditionsMax = 128;

// True when two terrain names name the same terrain: equal without regard to case once
// each has the extension "trn" (a stored "alps" is the file "alps.trn").
bool geninfo_SameTerrain(std::string_view a, std::string_view b);

// Fills the dialog from the page.
void geninfo_Open(Dialog& dlg, const Mission& page);
// Writes every control back into the page; reloads its terrain when another one was chosen.
void geninfo_Store(Dialog& dlg, Mission& page);

class GeneralInfoDialogProc : public DialogProc {
public:
    explicit GeneralInfoDialogProc(Mission& page) : page_(page) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

private:
    Mission& page_;
};

// Runs GENERALINFO on the page; kIdOk when OK stored the dialog, else kIdCancel.
int geninfo_Run(Mission& page);
