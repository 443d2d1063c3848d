// Templates of the shell's small dialogs: Center, Insert Item, Visible Layers, Layer Names,
// Briefing, About and the Status box. Captions are the string-table keys (section
// "Dialog Message") the dialogs look up when they open.
#pragma once

#include "resources/templates.h"

// Control ids the shell's dialog procedures address.
namespace dlgid {
// GETCENTER
constexpr int kCenterXLabel = 1203;
constexpr int kCenterX = 2900;
constexpr int kCenterYLabel = 1202;
constexpr int kCenterY = 2901;
// INSERTITEM
constexpr int kInsertTypeGroup = 1204;
constexpr int kInsertDecorations = 2800;
constexpr int kInsertPeople = 2801;
constexpr int kInsertBuildings = 2802;
constexpr int kInsertVehicles = 2803;
constexpr int kInsertObjects = 2804;
constexpr int kInsertMarkers = 2805;
constexpr int kInsertRandomFacing = 2832;
constexpr int kInsertList = 2830;
// VISIBLELAYERS
constexpr int kLayersGroup = 1205;
constexpr int kLayerCheckFirst = 4800;  // 4800..4815: layers 1..16
constexpr int kDefaultLayerLabel = 1206;
constexpr int kDefaultLayerList = 4853;
constexpr int kShowAllLayers = 4851;
constexpr int kHideAllLayers = 4852;
// LAYERNAMES
constexpr int kLayerNameList = 4900;
constexpr int kLayerNameLabel = 4901;
constexpr int kLayerNameEdit = 4902;
// EDITBRIEFING
constexpr int kBriefingLabel = 1229;
constexpr int kBriefingEdit = 1001;
// ABOUT_KZMED
constexpr int kAboutTitle = 1182;
constexpr int kAboutVersion = 1183;
constexpr int kAboutCoder = 1185;
constexpr int kAboutCopyright = 1184;
constexpr int kAboutHelp = 1234;
// STATUSDIALOG
constexpr int kStatusLine = 3700;
// CHOOSE
constexpr int kChooseLabel = 5100;
constexpr int kChooseList = 5101;
}  // namespace dlgid

extern const DialogTemplate kDlgGetCenter;
extern const DialogTemplate kDlgInsertItem;
extern const DialogTemplate kDlgVisibleLayers;
extern const DialogTemplate kDlgLayerNames;
extern const DialogTemplate kDlgEditBriefing;
extern const DialogTemplate kDlgAbout;
extern const DialogTemplate kDlgStatus;
extern const DialogTemplate kDlgChoose;
