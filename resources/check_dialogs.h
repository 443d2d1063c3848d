// Templates of the dialogs of the checks and where-used: Find (Edit > Find...) and Show
// References. Captions are string-table keys of section "Checks" that the procedures look up.
#pragma once

#include "resources/templates.h"

// Control ids the Find procedure (shell/find_dialog) addresses.
namespace findid {
constexpr int kTypeLabel = 6200, kType = 6201;
constexpr int kKindLabel = 6202, kKind = 6203;
constexpr int kTeamLabel = 6204, kTeam = 6205;
constexpr int kGroupLabel = 6206, kGroup = 6207;
constexpr int kPathLabel = 6208, kPath = 6209;
constexpr int kLayerLabel = 6210, kLayer = 6211;
constexpr int kAreaLabel = 6212, kArea = 6213;
constexpr int kAttrLabel = 6214, kAttr = 6215;
constexpr int kNameLabel = 6216, kName = 6217;
constexpr int kAdd = 6218;    // add to the selection instead of replacing it
constexpr int kCount = 6219;  // how many items match
}  // namespace findid

extern const DialogTemplate kDlgFindItems;
extern const DialogTemplate kDlgReferences;
