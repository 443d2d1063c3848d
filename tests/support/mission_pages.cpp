#include "support/mission_pages.h"

#include <gtest/gtest.h>

#include <cstdio>

ScopedItemDefs::ScopedItemDefs()
    : ScopedItemDefs({{kTestRifleman, kItemPerson},
                      {kWaypointMarkerType, kItemMarker},
                      {kAreaMarkerType, kItemMarker},
                      {kTestGoodGuard, kItemPerson, kItemAttrGood},
                      {kTestEvilGuard, kItemPerson, kItemAttrEvil},
                      {kTestTurncoat, kItemPerson, kItemAttrGood | kItemAttrEvil},
                      {kTestJeep, kItemVehicle},
                      {kTestCrate, kItemObject}}) {}

ScopedItemDefs::ScopedItemDefs(std::initializer_list<TestDef> defs)
    : previous_(itemdef_Table()) {
    defs_.resize(defs.size());
    std::size_t i = 0;
    for (const TestDef& d : defs) {
        ItemDef& def = defs_[i++];
        std::snprintf(def.name, sizeof def.name, "Test item %d", static_cast<int>(d.typeNumber));
        def.typeNumber = d.typeNumber;
        def.type = d.kind;
        def.attributes = d.attributes;
    }
    itemdef_Table().defs = defs_.empty() ? nullptr : defs_.data();
    itemdef_Table().count = static_cast<std::int32_t>(defs_.size());
}

ScopedItemDefs::~ScopedItemDefs() { itemdef_Table() = previous_; }

std::unique_ptr<Mission> test_NewMission() {
    auto m = std::make_unique<Mission>();
    mission_Clear(*m);
    return m;
}

std::int32_t test_AddItem(Mission& m, std::int32_t type, std::int32_t x, std::int32_t y,
                          std::int32_t z) {
    const std::int32_t index = mission_AddItem(m, type, x, y, z);
    EXPECT_GE(index, 0) << "the item table refused an item";
    return index;
}
