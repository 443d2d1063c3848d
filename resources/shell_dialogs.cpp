#include "resources/shell_dialogs.h"

using K = ControlKind;
using namespace dlgid;

namespace {

constexpr ControlTemplate kGetCenter[] = {
    {kCenterXLabel, K::StaticText, "X_COORD", 20, 10, 65, 9},
    numberField(kCenterX, 25, 20, 56, 12, kMetresMin, kMetresMax, kCenterXLabel, kCtlGroup),
    {kCenterYLabel, K::StaticText, "Y_COORD", 20, 40, 70, 10},
    numberField(kCenterY, 25, 50, 56, 12, kMetresMin, kMetresMax, kCenterYLabel, kCtlGroup),
    {kIdCancel, K::PushButton, "CANCEL", 5, 75, 45, 25, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 58, 75, 45, 25},
};

constexpr ControlTemplate kInsertItem[] = {
    {kInsertTypeGroup, K::GroupBox, "TYPE", 9, 7, 116, 138},
    {kInsertDecorations, K::RadioButton, "DECORATIONS", 15, 19, 100, 16, kCtlGroup},
    {kInsertPeople, K::RadioButton, "PEOPLE", 15, 40, 100, 16},
    {kInsertBuildings, K::RadioButton, "BUILDINGS", 15, 60, 100, 16},
    {kInsertVehicles, K::RadioButton, "VEHICLES", 15, 80, 100, 16},
    {kInsertObjects, K::RadioButton, "OBJECTS", 15, 100, 100, 16},
    {kInsertMarkers, K::RadioButton, "MARKERS", 15, 120, 100, 16},
    {kInsertRandomFacing, K::CheckBox, "RANDOM_FACING", 15, 160, 110, 20, kCtlGroup},
    {kInsertList, K::ListBox, "", 140, 10, 175, 180, kCtlGroup | kCtlSorted},
    {kIdCancel, K::PushButton, "CANCEL", 95, 200, 59, 22, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 170, 200, 59, 22},
};

// Layers 1..8 in the left column, 9..16 in the right, 15 units apart.
constexpr ControlTemplate layerCheck(int n) {
    return {kLayerCheckFirst + n, K::CheckBox, "", n < 8 ? 15 : 170,
            20 + 15 * (n % 8),    139,         10, n == 0 ? kCtlGroup : 0u};
}

constexpr ControlTemplate kVisibleLayers[] = {
    {kLayersGroup, K::GroupBox, "LAYER_VISIBILITY", 10, 7, 305, 133},
    layerCheck(0),
    layerCheck(1),
    layerCheck(2),
    layerCheck(3),
    layerCheck(4),
    layerCheck(5),
    layerCheck(6),
    layerCheck(7),
    layerCheck(8),
    layerCheck(9),
    layerCheck(10),
    layerCheck(11),
    layerCheck(12),
    layerCheck(13),
    layerCheck(14),
    layerCheck(15),
    {kDefaultLayerLabel, K::StaticText, "DEFAULT_LAYER", 25, 150, 101, 18},
    {kDefaultLayerList, K::DropDownList, "", 135, 152, 162, 127, kCtlGroup},
    {kShowAllLayers, K::PushButton, "SHOW_ALL", 60, 180, 53, 21, kCtlGroup},
    {kHideAllLayers, K::PushButton, "HIDE_ALL", 135, 180, 53, 21},
    {kIdOk, K::DefaultButton, "OK", 210, 180, 53, 21},
};

constexpr ControlTemplate kLayerNames[] = {
    {kLayerNameList, K::ListBox, "", 13, 15, 108, 135, kCtlGroup},
    {kLayerNameLabel, K::StaticText, "NAME", 135, 15, 115, 11},
    {kLayerNameEdit, K::Edit, "", 135, 30, 117, 17, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 170, 150, 53, 21, kCtlGroup},
};

constexpr ControlTemplate kEditBriefing[] = {
    {kBriefingLabel, K::StaticText, "BRIEFING", 10, 10, 145, 8},
    {kBriefingEdit, K::Edit, "", 10, 20, 225, 70, kCtlGroup | kCtlMultiLine},
    {kIdCancel, K::PushButton, "CANCEL", 50, 100, 65, 14, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 130, 100, 65, 14},
};

constexpr ControlTemplate kAbout[] = {
    {kIdStatic, K::Icon, "6009", 7, 4, 21, 20},
    {kIdStatic, K::Icon, "6009", 155, 5, 21, 20},
    {kAboutTitle, K::StaticText, "ABOUT_KZ7MED", 35, 5, 115, 20, kCtlCentre},
    {kAboutVersion, K::StaticText, "ABOUT_VERSION", 40, 30, 105, 20, kCtlCentre},
    {kAboutCoder, K::StaticText, "ABOUT_CODER_KZ", 5, 55, 170, 20, kCtlCentre},
    {kAboutCopyright, K::StaticText, "ABOUT_COPYRIGHT", 5, 80, 170, 20, kCtlCentre},
    {kAboutHelp, K::StaticText, "ABOUT_HELP_KZ", 10, 105, 165, 30, kCtlCentre},
    {kIdOk, K::DefaultButton, "OK", 70, 145, 45, 20, kCtlGroup},
};

// A choice from a list: the path or area a drawing tool draws, the size of an exported image.
constexpr ControlTemplate kChoose[] = {
    {kChooseLabel, K::StaticText, "", 10, 10, 160, 10},
    {kChooseList, K::DropDownList, "", 10, 24, 160, 120, kCtlGroup},
    {kIdCancel, K::PushButton, "CANCEL", 30, 48, 60, 16, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 100, 48, 60, 16},
};

constexpr ControlTemplate kStatus[] = {
    {kStatusLine, K::StaticText, "", 8, 14, 118, 14, kCtlCentre},
};

}  // namespace

const DialogTemplate kDlgGetCenter = {"GETCENTER", "GET_CENTER", 112, 111, {}, 8, kGetCenter};
const DialogTemplate kDlgInsertItem = {"INSERTITEM", "INSERT_ITEM", 327, 231, {}, 8, kInsertItem};
const DialogTemplate kDlgVisibleLayers = {"VISIBLELAYERS", "VISIBLE_LAYERS", 327, 210, {}, 8, kVisibleLayers};
const DialogTemplate kDlgLayerNames = {"LAYERNAMES", "LAYER_NAMES", 269, 181, {}, 8, kLayerNames};
const DialogTemplate kDlgEditBriefing = {"EDITBRIEFING", "BRIEFING", 247, 126, {}, 8, kEditBriefing};
const DialogTemplate kDlgAbout = {"ABOUT_KZMED", "ABOUT_KZMED", 187, 175, {}, 8, kAbout};
const DialogTemplate kDlgChoose = {"CHOOSE", "CHOOSE", 180, 72, {}, 8, kChoose};
const DialogTemplate kDlgStatus = {"STATUSDIALOG", "STATUS", 133, 45, {}, 8, kStatus};
