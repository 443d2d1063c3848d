// Find: the items of a page that match a combination of criteria (type, kind, team, group,
// path, layer, part of the name, attribute bits, inside an area trigger). Edit > Find... runs
// it from its dialog (shell/find_dialog).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Mission;

constexpr std::int32_t kFindAny = -1;

struct FindCriteria {
    std::int32_t typeId = kFindAny;  // item type number
    std::int32_t kind = kFindAny;    // kItemVehicle ... kItemEffect
    std::int32_t team = kFindAny;
    std::int32_t group = kFindAny;  // 0: in no group
    std::int32_t path = kFindAny;   // the path a unit follows or a marker outlines; 0: none
    std::int32_t layer = kFindAny;
    std::string name;              // part of the item's name, in any case; empty: any
    std::uint32_t attributes = 0;  // attribute bits that must all be set
    std::int32_t area = kFindAny;  // inside area trigger N: within the box of its corners
};

// The indexes of the items that match every criterion set, in item order. `visible`, when
// given, leaves out the items it says the map does not show.
std::vector<std::int32_t> find_Items(const Mission& m, const FindCriteria& c,
                                     bool (*visible)(const Mission&, std::int32_t) = nullptr);
