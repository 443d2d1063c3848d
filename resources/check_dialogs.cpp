#include "resources/check_dialogs.h"

#include "logic/refs.h"

using K = ControlKind;
using namespace findid;

namespace {

// One criterion a row: its label on the left, its drop-down (or the name's edit) on the right.
constexpr int kRowH = 17;
constexpr int kListH = kDropDownClosedHeight + 120;

constexpr ControlTemplate label(int id, const char* key, int row) {
    return {id, K::StaticText, key, 7, 9 + kRowH * row, 70, 10};
}
constexpr ControlTemplate choice(int id, int row) {
    return {id, K::DropDownList, "", 80, 7 + kRowH * row, 170, kListH, kCtlGroup};
}

constexpr ControlTemplate kFindItems[] = {
    label(kTypeLabel, "FIND_TYPE", 0),
    choice(kType, 0),
    label(kKindLabel, "FIND_KIND", 1),
    choice(kKind, 1),
    label(kTeamLabel, "FIND_TEAM", 2),
    choice(kTeam, 2),
    label(kGroupLabel, "FIND_GROUP", 3),
    choice(kGroup, 3),
    label(kPathLabel, "FIND_PATH", 4),
    choice(kPath, 4),
    label(kLayerLabel, "FIND_LAYER", 5),
    choice(kLayer, 5),
    label(kAreaLabel, "FIND_AREA", 6),
    choice(kArea, 6),
    label(kAttrLabel, "FIND_ATTRIBUTE", 7),
    choice(kAttr, 7),
    label(kNameLabel, "FIND_NAME", 8),
    {kName, K::Edit, "", 80, 7 + kRowH * 8, 170, 13, kCtlGroup},
    {kAdd, K::CheckBox, "FIND_ADD", 80, 10 + kRowH * 9, 170, 10, kCtlGroup},
    {kCount, K::StaticText, "FIND_COUNT", 7, 14 + kRowH * 10, 140, 10},
    {kIdCancel, K::PushButton, "CANCEL", 145, 10 + kRowH * 10, 50, 14, kCtlGroup},
    {kIdOk, K::DefaultButton, "FIND_SELECT", 200, 10 + kRowH * 10, 50, 14},
};

constexpr ControlTemplate kReferences[] = {
    {refid::kCount, K::StaticText, "REFS_COUNT", 7, 7, 326, 10},
    {refid::kList, K::ListBox, "", 7, 20, 326, 150, kCtlGroup},
    {kIdOk, K::DefaultButton, "OK", 283, 175, 50, 14, kCtlGroup},
};

}  // namespace

const DialogTemplate kDlgFindItems = {"FINDITEMS", "FIND", 257, 10 + kRowH * 10 + 20, {}, 8, kFindItems};
const DialogTemplate kDlgReferences = {"REFERENCES", "REFS_TITLE", 340, 196, {}, 8, kReferences};
