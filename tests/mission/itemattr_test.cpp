// The item attributes editor's procedure through the fake platform, on mixed selections of
// people, vehicles, decorations, markers and objects: what it shows, what OK writes into
// which items, the number limits and the enable rules.
#include "mission/itemattr.h"

#include "core/text.h"
#include "platform/fake_platform.h"
#include "resources/itemattr_dialogs.h"
#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

using namespace itemattr;

namespace {

constexpr const char* kTexts = R"([Dialog Message]
ITEMATTRIB = Attributes
LAYERNAME = L%i
TOO_MANY_WAYPOINTS = at most %i
MAX_NUM_WAYPOINTS = waypoints
TOO_MANY_AREA_TRIGGERS = up to %i
MAX_NUM_AREA_TRIGGERS = areas
)";
constexpr const char* kVocab = R"([PeopleNames]
STRNAME000 = Ann
STRNAME001 = Bob
STRNAME002 = Cy
[WPNames]
STRWPNAME000 = Road
STRWPNAME001 = Ridge
)";

// Type numbers of the test definitions, one of each kind the rules tell apart.
constexpr std::int32_t kPerson = 3001, kPerson2 = 3002, kHiddenPerson = 3003, kVehicle = 200;
constexpr std::int32_t kNamedDecor = 1041, kDecor = 1001, kMarker6006 = 6006, kOddMarker = 6050;
constexpr std::int32_t kPathObject = 4047;

class ItemAttr : public ::testing::Test {
protected:
    ScopedFakePlatform ui;
    ScopedTextTable texts{kTexts};
    TextTable* vocab = test_TableFromSource(kVocab);
    TextTable* savedVocab = text_Tables().vocab;
    ScopedItemDefs defs{{{kPerson, kItemPerson},
                         {kPerson2, kItemPerson},
                         {kHiddenPerson, kItemPerson, kItemAttrDv1},
                         {kVehicle, kItemVehicle},
                         {kNamedDecor, kItemDecoration},
                         {kDecor, kItemDecoration},
                         {kWaypointMarkerType, kItemMarker},
                         {kAreaMarkerType, kItemMarker},
                         {kMarker6006, kItemMarker},
                         {kOddMarker, kItemMarker},
                         {kPathObject, kItemObject}}};
    std::unique_ptr<Mission> page = test_NewMission();
    int repaints = 0;
    static inline int* repaintCounter = nullptr;

    void SetUp() override {
        text_Tables().vocab = vocab;
        itemattr_Hooks() = ItemAttrHooks{};
        repaintCounter = &repaints;
        itemattr_Hooks().repaintMap = [] { ++*repaintCounter; };
    }
    void TearDown() override {
        text_Tables().vocab = savedVocab;
        text_FreeTable(vocab);
        itemattr_Hooks() = ItemAttrHooks{};
    }

    // Adds items of these types and selects them in order: the last is the reference.
    std::vector<std::int32_t> select(std::initializer_list<std::int32_t> types) {
        std::vector<std::int32_t> out;
        for (std::int32_t t : types) {
            out.push_back(test_AddItem(*page, t));
            mission_Select(*page, out.back());
        }
        return out;
    }
    MissionItem& item(std::int32_t index) { return page->items[static_cast<std::size_t>(index)]; }

    // Runs the dialog with a script; OK unless the script ended it.
    int run(std::function<void(FakeDialog&)> script) {
        ui->dialogScripts["ITEMATTRIBUTES"] = [script](FakeDialog& d) {
            script(d);
            if (!d.ended()) d.click(kIdOk);
        };
        return itemattr_Run(*page);
    }
};

}  // namespace

TEST_F(ItemAttr, OpensOnTheReferenceItemWithEveryListFilled) {
    const auto idx = select({kVehicle, kPerson});
    MissionItem& r = item(idx[1]);
    r.x = -1;
    r.y = 10 * 256 + 3;
    r.layer = 2;
    r.team = kTeamEvil;
    r.group_id = 3;
    r.name_index = 1;
    r.waypoint_id = 5;
    r.ttoolindex = 1;
    r.weapon_type = kWeaponRpg;
    r.bmsi_attributes = kBmsiDeaf | kBmsiBlind;
    r.movetimer = 7;
    mission_SetText(page->layers[2].description, "Convoy");
    itemattr_Hooks().showAll = true;
    run([&](FakeDialog& d) {
        EXPECT_EQ(d.title(), "Attributes");
        for (const auto& [id, c] : d.controls()) EXPECT_NE(kDlgItemAttributes.control(id), nullptr) << id;
        // -1/256 m lies in metre -1, 255/256 of the way up.
        EXPECT_EQ(d.text(kXMetres), "-1");
        EXPECT_EQ(d.text(kXFraction), "255");
        EXPECT_EQ(d.text(kYMetres), "10");
        EXPECT_EQ(d.text(kYFraction), "3");
        struct ListCase {
            int id, count, selected;
        };
        for (const ListCase& l : {ListCase{kLayerList, 16, 2}, ListCase{kGroupList, 64, 3}, ListCase{kTeamList, 5, 2},
                                  ListCase{kNameList, 3, 1}, ListCase{kAlertList, 3, 0},
                                  ListCase{kWeaponList, 11, kWeaponRpg}, ListCase{kWaypointList, 128, 5},
                                  ListCase{kWaypointName, 2, 1}, ListCase{kMapSymbol, 9, 0}}) {
            EXPECT_EQ(d.entryCount(l.id), l.count) << l.id;
            EXPECT_EQ(d.selection(l.id), l.selected) << l.id;
        }
        EXPECT_EQ(d.entryText(kLayerList, 2), " 3 - Convoy");
        EXPECT_EQ(d.entryText(kLayerList, 0), "L1");
        // The people's definitions, the hidden one too under /SHOWALL; the reference's chosen.
        EXPECT_EQ(d.entryCount(kSubType), 3);
        EXPECT_EQ(d.entryData(kSubType, d.selection(kSubType)), r.def_index);
        EXPECT_EQ(d.check(kDeaf), kChecked);
        EXPECT_EQ(d.check(kBlind), kChecked);
        EXPECT_EQ(d.check(kGuarding), kUnchecked);
        // Timers are filled but not shown.
        EXPECT_EQ(d.text(kMoveTimer), "7");
        EXPECT_FALSE(d.control(kMoveTimer).visible);
        EXPECT_FALSE(d.control(kMaxEngage).visible);
        d.click(kIdCancel);
    });
    itemattr_Hooks().showAll = false;
    run([](FakeDialog& d) {
        EXPECT_EQ(d.entryCount(kSubType), 2);
        d.click(kIdCancel);
    });
}

TEST_F(ItemAttr, OkWritesOnlyWhatDiffersFromTheReference) {
    const auto idx = select({kPerson, kPerson, kPerson});
    const std::int32_t teams[] = {kTeamGood, kTeamGood, kTeamEvil};
    for (int i = 0; i < 3; ++i) {
        item(idx[i]).team = teams[i];
        item(idx[i]).fov = 100 + i;
        item(idx[i]).y = 1000 * i;
    }
    // A new name; the team chosen again as it was; x moved; the rest as shown.
    EXPECT_EQ(run([](FakeDialog& d) {
                  d.choose(kNameList, 2);
                  d.choose(kTeamList, kTeamEvil);
                  d.type(kXMetres, "-3");
                  d.type(kXFraction, "128");
              }),
              kIdOk);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(item(idx[i]).team, teams[i]);
        EXPECT_EQ(item(idx[i]).name_index, 2);
        EXPECT_EQ(item(idx[i]).x, -3 * 256 + 128);
        EXPECT_EQ(item(idx[i]).y, 1000 * i);
        EXPECT_EQ(item(idx[i]).fov, 100 + i);
    }
}

TEST_F(ItemAttr, EditsReadNumbersAsTypedAndNonNumbersAsZero) {
    const auto idx = select({kVehicle, kPerson});
    run([](FakeDialog& d) {
        d.type(kAccuracy, "87.9");
        d.type(kPerception, "abc");
        d.type(kHeading, " +270deg");
        d.type(kZMetres, "99999999999");  // beyond what 1/256 m can hold: kept at the edge
    });
    for (std::int32_t i : idx) {
        EXPECT_EQ(item(i).waccuracy, 87);
        EXPECT_EQ(item(i).perception, 0);
        EXPECT_EQ(item(i).heading, 270);
        EXPECT_EQ(item(i).z, 2147483647);
    }
}

TEST_F(ItemAttr, SubTypeChangesOnlyItemsOfTheReferenceKind) {
    const auto idx = select({kDecor, kPerson});
    const MissionItem decor = item(idx[0]);
    run([](FakeDialog& d) {
        for (int i = 0; i < d.entryCount(kSubType); ++i)
            if (itemdef_At(static_cast<std::int32_t>(d.entryData(kSubType, i)))->typeNumber == kPerson2)
                d.choose(kSubType, i);
    });
    EXPECT_EQ(item(idx[1]).type_id, kPerson2);
    EXPECT_EQ(item(idx[1]).def_index, itemdef_FindByType(kPerson2));
    EXPECT_EQ(std::memcmp(&item(idx[0]), &decor, sizeof decor), 0);
    EXPECT_EQ(repaints, 1);
}

TEST_F(ItemAttr, NewWeaponSetsTheEngagementDistancesOfEverySelectedItem) {
    struct Case {
        std::int32_t weapon, min, max;
    };
    const Case cases[] = {{1, 100, 500}, {2, 100, 500}, {3, 400, 800}, {4, 16, 1024}, {5, 16, 1024},
                          {6, 100, 300}, {7, 16, 1024}, {8, 5, 100},   {9, 5, 100},   {10, 16, 1024}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.weapon);
        mission_Clear(*page);
        const auto idx = select({kVehicle, kPerson});
        run([&](FakeDialog& d) { d.choose(kWeaponList, c.weapon); });
        for (std::int32_t i : idx) {
            EXPECT_EQ(item(i).weapon_type, c.weapon);
            EXPECT_EQ(item(i).edistances[0], c.min);
            EXPECT_EQ(item(i).edistances[1], c.max);
        }
    }
}

TEST_F(ItemAttr, BoxesSetOrClearTheirOwnBitAndFieldsWithoutControlsStayAsTheyWere) {
    const auto idx = select({kPerson, kVehicle, kPerson});
    item(idx[0]).bmsi_attributes = 0x80 | kBmsiSilent;
    item(idx[1]).bmsi_attributes = kBmsiBlind;
    item(idx[2]).bmsi_attributes = 0x80 | kBmsiBlind | kBmsiGuarding;
    for (int i = 0; i < 3; ++i) {
        item(idx[i]).sweapon_type = 3 + i;
        item(idx[i]).shoottimer = 9 + i;
        item(idx[i]).group_rel = 4 + i;
    }
    run([](FakeDialog& d) {
        d.toggle(kDeaf);   // clear on the reference: set everywhere
        d.toggle(kBlind);  // set on the reference: cleared everywhere
    });
    const std::int32_t expected[] = {0x80 | kBmsiSilent | kBmsiDeaf, kBmsiDeaf, 0x80 | kBmsiGuarding | kBmsiDeaf};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(item(idx[i]).bmsi_attributes, expected[i]);
        EXPECT_EQ(item(idx[i]).sweapon_type, 3 + i);
        EXPECT_EQ(item(idx[i]).shoottimer, 9 + i);
        EXPECT_EQ(item(idx[i]).group_rel, 4 + i);
    }
}

TEST_F(ItemAttr, NumbersBeyondAPathOrTheAreaTableAreRefusedAndTheRestApplies) {
    struct Case {
        std::int32_t type;
        const char* typed;
        bool refused;
        std::int32_t stored;
    };
    for (const Case& c : {Case{kWaypointMarkerType, "32", true, 4}, Case{kWaypointMarkerType, "31", false, 31},
                          Case{kAreaMarkerType, "100", true, 4}, Case{kAreaMarkerType, "99", false, 99},
                          Case{kPerson, "500", false, 500}}) {
        SCOPED_TRACE(c.typed);
        mission_Clear(*page);
        ui->boxes.clear();
        const auto idx = select({c.type});
        item(idx[0]).wpnumber = 4;
        run([&](FakeDialog& d) {
            d.type(kNumber, c.typed);
            d.type(kHeading, "90");
        });
        EXPECT_EQ(item(idx[0]).wpnumber, c.stored);
        EXPECT_EQ(item(idx[0]).heading, 90);
        ASSERT_EQ(ui->boxes.size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_EQ(ui->boxes[0].icon, MsgIcon::Error);
            const bool path = c.type == kWaypointMarkerType;
            EXPECT_EQ(ui->boxes[0].caption, text_Get("Dialog Message", path ? "MAX_NUM_WAYPOINTS" : "MAX_NUM_AREA_TRIGGERS"));
            EXPECT_EQ(ui->boxes[0].text, path ? "at most 32" : "up to 99");
        }
    }
}

TEST_F(ItemAttr, ControlsThatApplyToEverySelectedItemStayEnabled) {
    struct Case {
        std::vector<std::int32_t> types;  // the last is the reference
        std::int32_t chosenType;          // sub-type picked in the dialog; 0 none
        std::vector<int> on, off;
    };
    const std::vector<int> always = {kSubType, kLayerList, kXMetres, kZFraction};
    const Case cases[] = {
        {{kPerson}, 0, {kGroupList, kWeaponList, kBerserk, kMoveTimer, kNumber}, {}},
        {{kPerson, kVehicle}, 0, {kFov, kDeaf, kGuarding, kWaypointName}, {kGroupList, kBerserk, kMoveTimer}},
        {{kVehicle, kAreaMarkerType}, 0, {kNumber}, {kHeading, kTeamList, kMapSymbol, kDeaf}},
        {{kWaypointMarkerType}, 0, {kHeading, kWaypointList, kDistance}, {kPitch, kNameList, kFov}},
        {{kNamedDecor}, 0, {kNameList, kPitch}, {kFov}},
        {{kNamedDecor, kDecor}, 0, {kPitch, kTeamList}, {kNameList}},
        {{kPathObject, kPerson}, 0, {kWaypointList, kBlind}, {kDeaf, kDistance}},
        {{kOddMarker}, 0, {}, {kHeading, kMapSymbol, kTeamList, kNumber}},
        // After a sub-type change the new type decides for every selected item.
        {{kWaypointMarkerType, kAreaMarkerType}, kMarker6006, {kMapSymbol, kDistance}, {kNumber, kHeading}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.types.size() * 100000 + c.types.back());
        mission_Clear(*page);
        for (std::int32_t t : c.types) mission_Select(*page, test_AddItem(*page, t));
        run([&](FakeDialog& d) {
            for (int i = 0; c.chosenType && i < d.entryCount(kSubType); ++i)
                if (itemdef_At(static_cast<std::int32_t>(d.entryData(kSubType, i)))->typeNumber == c.chosenType)
                    d.choose(kSubType, i);
            for (int id : always) EXPECT_TRUE(d.isEnabled(id)) << id;
            for (int id : c.on) EXPECT_TRUE(d.isEnabled(id)) << id;
            for (int id : c.off) EXPECT_FALSE(d.isEnabled(id)) << id;
            d.click(kIdCancel);
        });
    }
}

TEST_F(ItemAttr, CancelAndAnUntouchedOkChangeNothingEvenForValuesNoListOffers) {
    const auto idx = select({kVehicle, kPerson});
    MissionItem& r = item(idx[1]);
    r.layer = 40;
    r.team = 9;
    r.name_index = 99;
    r.map_symbol = -1;
    r.waccuracy = 55;
    auto before = std::make_unique<Mission>();
    std::memcpy(before->items.data(), page->items.data(), sizeof(MissionItem) * 2);
    EXPECT_EQ(run([](FakeDialog& d) {
                  EXPECT_EQ(d.selection(kLayerList), -1);
                  EXPECT_EQ(d.selection(kTeamList), -1);
                  d.choose(kWeaponList, kWeaponRpg);
                  d.toggle(kDeaf);
                  d.click(kIdCancel);
              }),
              kIdCancel);
    EXPECT_EQ(std::memcmp(before->items.data(), page->items.data(), sizeof(MissionItem) * 2), 0);
    EXPECT_EQ(run([](FakeDialog&) {}), kIdOk);
    EXPECT_EQ(std::memcmp(before->items.data(), page->items.data(), sizeof(MissionItem) * 2), 0);
}

TEST_F(ItemAttr, NothingSelectedOpensNothing) {
    test_AddItem(*page, kPerson);
    EXPECT_EQ(itemattr_Run(*page), kIdCancel);
    EXPECT_TRUE(ui->dialogsRun.empty());
}
