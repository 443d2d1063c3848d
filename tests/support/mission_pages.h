// Mission pages and item definitions for tests of the mission model and its users.
#pragma once

#include "gamedata/itemdef.h"
#include "mission/mission.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

// Type numbers of the definitions ScopedItemDefs installs by default.
constexpr std::int32_t kTestRifleman = 100;     // person, no side       (definition 0)
constexpr std::int32_t kTestGoodGuard = 101;    // person, "good"        (definition 3)
constexpr std::int32_t kTestEvilGuard = 102;    // person, "evil"        (definition 4)
constexpr std::int32_t kTestTurncoat = 103;     // person, good and evil (definition 5)
constexpr std::int32_t kTestJeep = 200;         // vehicle               (definition 6)
constexpr std::int32_t kTestCrate = 300;        // object                (definition 7)

struct TestDef {
    std::int32_t typeNumber;
    std::int32_t kind;
    std::uint32_t attributes = 0;
};

// Installs a definition table owned by the test for a scope (no memory pools needed), then
// forgets it. The default table holds the definitions named above, with the waypoint marker
// as definition 1 and the area marker as definition 2.
class ScopedItemDefs {
public:
    ScopedItemDefs();
    explicit ScopedItemDefs(std::initializer_list<TestDef> defs);
    ~ScopedItemDefs();
    ScopedItemDefs(const ScopedItemDefs&) = delete;
    ScopedItemDefs& operator=(const ScopedItemDefs&) = delete;

private:
    std::vector<ItemDef> defs_;
    ItemDefTable previous_;
};

// A cleared page on the heap (pages are too large for the stack).
std::unique_ptr<Mission> test_NewMission();

// Appends an item and returns its index; fails the running test when the table refuses.
std::int32_t test_AddItem(Mission& m, std::int32_t type, std::int32_t x = 0, std::int32_t y = 0,
                          std::int32_t z = 0);

// Every show flag on: all kinds and all teams.
constexpr std::uint32_t kShowEverything = 0xFFFFFFFFu;
