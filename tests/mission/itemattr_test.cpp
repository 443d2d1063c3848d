// The item attributes editor's procedure through the fake platform, on mixed selections of
// people, vehicles, decorations, markers and objects: what it shows, what OK writes into
// which items, the number limits and the enable rules.
#include "mission/itemattr.h"

#include "core/text.h"
#include "support/fake_platform.h"
#include "resources/itemattr_dialogs.h"
#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

using namespace itemattr;

namespace {

constexpr std::int32_t kPerson = 3001, kPerson2 = 3002, kVehicle = 200, kNamedDecor = 1041, kDecor = 1001;
constexpr std::int32_t kMarker6006 = 6006, kOddMarker = 6050, kPathObject = 4047;

class ItemAttr : public ::testing::Test {
protected:
    ScopedFakePlatform ui;
    ScopedTextTable texts{"[Dialog Message]\nLAYERNAME = L%i\nITEMS_EDITED = %i items\n"};
    TextTable* vocab = test_TableFromSource("[PeopleNames]\nSTRNAME000 = A\nSTRNAME001 = B\nSTRNAME002 = C\n");
    ScopedItemDefs defs{{{kPerson, kItemPerson},
                         {kPerson2, kItemPerson},
                         {3003, kItemPerson, kItemAttrDv1},
                         {kVehicle, kItemVehicle},
                         {kNamedDecor, kItemDecoration},
                         {kDecor, kItemDecoration},
                         {kWaypointMarkerType, kItemMarker},
                         {kAreaMarkerType, kItemMarker},
                         {kMarker6006, kItemMarker},
                         {kOddMarker, kItemMarker},
                         {kPathObject, kItemObject}}};
    std::unique_ptr<Mission> page = test_NewMission();

    void SetUp() override { text_Tables().vocab = vocab; }
    void TearDown() override {
        text_Tables().vocab = nullptr;
        text_FreeTable(vocab);
        itemattr_Hooks() = ItemAttrHooks{};
    }
    // Adds items of these types and selects them in order: the last is the reference.
    std::vector<std::int32_t> select(const std::vector<std::int32_t>& types) {
        mission_Clear(*page);
        std::vector<std::int32_t> out;
        for (std::int32_t t : types) mission_Select(*page, out.emplace_back(test_AddItem(*page, t)));
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
    static void chooseType(FakeDialog& d, std::int32_t type) {
        for (int i = 0; i < d.entryCount(kSubType); ++i) {
            const ItemDef* def = itemdef_At(static_cast<std::int32_t>(d.entryData(kSubType, i)));  // none: "(mixed)"
            if (def && def->typeNumber == type) d.choose(kSubType, i);
        }
    }
};

}  // namespace

TEST_F(ItemAttr, OpensOnTheReferenceItem) {
    const auto idx = select({kVehicle, kPerson});
    MissionItem& r = item(idx[1]);
    for (std::int32_t i : idx) {  // values both share: none of them is marked mixed
        item(i).x = -1;
        item(i).layer = 2;
        item(i).name_index = 1;
        item(i).waypoint_id = 5;
        item(i).bmsi_attributes = kBmsiDeaf;
    }
    r.movetimer = 7;
    itemattr_Hooks().showAll = true;
    run([&](FakeDialog& d) {
        for (const auto& [id, c] : d.controls()) EXPECT_NE(kDlgItemAttributes.control(id), nullptr) << id;
        EXPECT_EQ(d.text(kXMetres) + " " + d.text(kXFraction), "-1 255");  // -1/256 m lies in metre -1
        const int lists[][3] = {{kLayerList, 16, 2},  {kGroupList, 64, 0},     {kNameList, 3, 1},
                                {kWeaponList, 11, 0}, {kWaypointList, 128, 5}, {kSubType, 3, -2}};
        for (const auto& l : lists) {
            EXPECT_EQ(d.entryCount(l[0]), l[1]) << l[0];
            if (l[2] >= 0) {
                EXPECT_EQ(d.selection(l[0]), l[2]) << l[0];
            }
        }
        EXPECT_EQ(d.entryText(kLayerList, 0), "L1");
        EXPECT_EQ(d.entryData(kSubType, d.selection(kSubType)), mission_DefIndex(r));
        EXPECT_EQ(d.check(kDeaf), kChecked);
        EXPECT_EQ(d.check(kBlind), kUnchecked);
        EXPECT_EQ(d.text(kMoveTimer), "7");  // filled, never shown
        EXPECT_FALSE(d.control(kMoveTimer).visible);
        d.click(kIdCancel);
    });
    itemattr_Hooks().showAll = false;
    run([](FakeDialog& d) { EXPECT_EQ(d.entryCount(kSubType), 2); });  // the hidden one left out
}

TEST_F(ItemAttr, OkWritesOnlyWhatDiffersFromTheReference) {
    const auto idx = select({kPerson, kVehicle, kPerson});
    const std::int32_t teams[] = {kTeamGood, kTeamGood, kTeamEvil};
    for (int i = 0; i < 3; ++i) item(idx[i]).team = teams[i], item(idx[i]).y = 1000 * i;
    run([](FakeDialog& d) {
        d.choose(kNameList, 2);
        EXPECT_EQ(d.entryText(kTeamList, d.selection(kTeamList)), text_Get("Dialog Message", "MIXED"));
        d.type(kXMetres, "-3");
        d.type(kXFraction, "128");
        d.type(kAccuracy, "87.9");
        d.type(kPerception, "0");
        d.type(kHeading, " +270 ");
        d.type(kZMetres, "8388607");  // the last metre 32 bits of 1/256 m reach
    });
    for (int i = 0; i < 3; ++i) {
        const MissionItem& it = item(idx[i]);
        EXPECT_EQ(it.team, teams[i]);
        EXPECT_EQ(it.y, 1000 * i);
        EXPECT_EQ(it.name_index, 2);
        EXPECT_EQ(it.x, -3 * 256 + 128);
        EXPECT_EQ(it.waccuracy, 87);
        EXPECT_EQ(it.perception, 0);
        EXPECT_EQ(it.heading, 270);
        EXPECT_EQ(it.z, 8388607 * 256);
    }
}

TEST_F(ItemAttr, SeveralItemsShowTheirCountAndMarkWhatTheyDoNotShare) {
    const auto idx = select({kPerson, kPerson, kPerson});
    for (int i = 0; i < 3; ++i) {
        MissionItem& it = item(idx[i]);
        it.x = 256 * 10;                                                    // shared
        it.y = 256 * (10 + i);                                              // mixed
        it.heading = i == 1 ? 90 : 0;                                       // mixed
        it.fov = 60;                                                        // shared
        it.team = i == 0 ? kTeamGood : kTeamEvil;                           // mixed
        it.bmsi_attributes = i == 2 ? kBmsiDeaf | kBmsiBlind : kBmsiBlind;  // Deaf mixed, Blind shared
    }
    run([](FakeDialog& d) {
        EXPECT_NE(d.text(kSsn).find('3'), std::string::npos) << d.text(kSsn);
        EXPECT_EQ(d.text(kXMetres), "10");
        EXPECT_EQ(d.text(kYMetres) + d.text(kYFraction) + d.text(kHeading), "");
        EXPECT_EQ(d.text(kFov), "60");
        const int team = d.selection(kTeamList);
        ASSERT_GE(team, 0);
        EXPECT_EQ(d.entryData(kTeamList, team), -2);                       // the "(mixed)" entry
        EXPECT_NE(d.selection(kLayerList), d.entryCount(kLayerList) - 1);  // shared: no mark
        EXPECT_EQ(d.check(kDeaf), kIndeterminate);
        EXPECT_EQ(d.check(kBlind), kChecked);
        d.type(kFov, "90");  // the one change
    });
    for (int i = 0; i < 3; ++i) {
        const MissionItem& it = item(idx[i]);
        EXPECT_EQ(it.y, 256 * (10 + i));
        EXPECT_EQ(it.heading, i == 1 ? 90 : 0);
        EXPECT_EQ(it.team, i == 0 ? kTeamGood : kTeamEvil);
        EXPECT_EQ(it.bmsi_attributes, i == 2 ? kBmsiDeaf | kBmsiBlind : kBmsiBlind);
        EXPECT_EQ(it.fov, 90);
    }
    // A mixed field the user sets goes into every item.
    run([](FakeDialog& d) {
        d.type(kHeading, "45");
        d.choose(kTeamList, kTeamNeutral);
        d.toggle(kDeaf);
    });
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(item(idx[i]).heading, 45);
        EXPECT_EQ(item(idx[i]).team, kTeamNeutral);
        EXPECT_TRUE(item(idx[i]).bmsi_attributes & kBmsiDeaf);
    }
}

TEST_F(ItemAttr, SubTypeChangesOnlyItemsOfTheReferenceKind) {
    const auto idx = select({kDecor, kPerson});
    const MissionItem decor = item(idx[0]);
    int repaints = 0;
    static int* counter;
    counter = &repaints;
    itemattr_Hooks().repaintMap = [] { ++*counter; };
    run([](FakeDialog& d) { chooseType(d, kPerson2); });
    EXPECT_EQ(item(idx[1]).type_id, kPerson2);
    EXPECT_EQ(std::memcmp(&item(idx[0]), &decor, sizeof decor), 0);
    EXPECT_EQ(repaints, 1);
}

TEST_F(ItemAttr, NewWeaponSetsTheEngagementDistancesOfEverySelectedItem) {
    const int expected[][2] = {{100, 500}, {100, 500}, {400, 800}, {16, 1024}, {16, 1024},
                               {100, 300}, {16, 1024}, {5, 100},   {5, 100},   {16, 1024}};
    for (int weapon = 1; weapon <= 10; ++weapon) {
        const auto idx = select({kVehicle, kPerson});
        run([&](FakeDialog& d) { d.choose(kWeaponList, weapon); });
        for (std::int32_t i : idx) {
            EXPECT_EQ(item(i).weapon_type, weapon);
            EXPECT_EQ(item(i).edistances[0], expected[weapon - 1][0]) << weapon;
            EXPECT_EQ(item(i).edistances[1], expected[weapon - 1][1]) << weapon;
        }
    }
}

TEST_F(ItemAttr, BoxesSetOrClearTheirOwnBitAndFieldsWithoutControlsStayAsTheyWere) {
    const auto idx = select({kPerson, kVehicle, kPerson});
    const std::int32_t bits[] = {0x80 | kBmsiSilent, kBmsiBlind, 0x80 | kBmsiBlind | kBmsiGuarding};
    for (int i = 0; i < 3; ++i) {
        MissionItem& it = item(idx[i]);
        it.bmsi_attributes = bits[i];
        it.sweapon_type = 3 + i, it.shoottimer = 9 + i, it.group_rel = 4 + i;
    }
    run([](FakeDialog& d) {
        d.toggle(kDeaf);                             // clear on every item: set everywhere
        EXPECT_EQ(d.check(kBlind), kIndeterminate);  // set on two items of three
        d.toggle(kBlind);                            // half checked, then checked,
        d.toggle(kBlind);                            // then cleared everywhere
    });
    for (int i = 0; i < 3; ++i) {
        const MissionItem& it = item(idx[i]);
        EXPECT_EQ(it.bmsi_attributes, (bits[i] & ~kBmsiBlind) | kBmsiDeaf) << i;
        EXPECT_EQ(it.sweapon_type, 3 + i);
        EXPECT_EQ(it.shoottimer, 9 + i);
        EXPECT_EQ(it.group_rel, 4 + i);
    }
}

TEST_F(ItemAttr, NumbersBeyondAPathOrTheAreaTableAreRefusedAtTheFieldAndNothingIsStored) {
    struct Case {
        std::int32_t type;
        const char* typed;
        bool taken;
    };
    for (const Case& c :
         {Case{kWaypointMarkerType, "32", false}, Case{kWaypointMarkerType, "31", true},
          Case{kWaypointMarkerType, "0", true}, Case{kAreaMarkerType, "100", false}, Case{kAreaMarkerType, "0", false},
          Case{kAreaMarkerType, "99", true}, Case{kAreaMarkerType, "1", true}, Case{kPerson, "255", true}}) {
        ui->boxes.clear();
        const auto idx = select({c.type});
        item(idx[0]).wpnumber = 4;
        int focus = 0;
        const int result = run([&](FakeDialog& d) {
            d.type(kNumber, c.typed);
            d.type(kHeading, "90");
            d.click(kIdOk);
            focus = d.focus();
            if (!d.ended()) d.click(kIdCancel);
        });
        EXPECT_EQ(result, c.taken ? kIdOk : kIdCancel) << c.typed;
        EXPECT_EQ(item(idx[0]).wpnumber, c.taken ? std::atoi(c.typed) : 4) << c.typed;
        EXPECT_EQ(item(idx[0]).heading, c.taken ? 90 : 0) << c.typed;
        EXPECT_EQ(ui->boxes.size(), c.taken ? 0u : 1u) << c.typed;
        if (!c.taken) EXPECT_EQ(focus, kNumber) << c.typed;
    }
}

TEST_F(ItemAttr, ControlsThatApplyToEverySelectedItemStayEnabled) {
    struct Case {
        std::vector<std::int32_t> types;  // the last is the reference
        std::int32_t chosenType;          // sub-type picked in the dialog; 0 none
        std::vector<int> on, off;
    };
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
        select(c.types);
        run([&](FakeDialog& d) {
            if (c.chosenType) chooseType(d, c.chosenType);
            for (int id : {kSubType, kLayerList, kXMetres, kZFraction}) EXPECT_TRUE(d.isEnabled(id)) << id;
            for (int id : c.on) EXPECT_TRUE(d.isEnabled(id)) << c.types.back() << " " << id;
            for (int id : c.off) EXPECT_FALSE(d.isEnabled(id)) << c.types.back() << " " << id;
            d.click(kIdCancel);
        });
    }
}

TEST_F(ItemAttr, CancelAndAnUntouchedOkChangeNothingEvenForValuesNoListOffers) {
    const auto idx = select({kVehicle, kPerson});
    for (std::int32_t i : idx) {  // shared by both, so no list is marked mixed
        MissionItem& r = item(i);
        r.layer = 40, r.team = 9, r.name_index = 99, r.map_symbol = -1, r.waccuracy = 55;
    }
    std::vector<MissionItem> before(page->items.begin(), page->items.begin() + 2);
    EXPECT_EQ(run([](FakeDialog& d) {
                  EXPECT_EQ(d.selection(kTeamList), -1);
                  d.choose(kWeaponList, kWeaponRpg);
                  d.toggle(kDeaf);
                  d.click(kIdCancel);
              }),
              kIdCancel);
    EXPECT_EQ(std::memcmp(before.data(), page->items.data(), sizeof(MissionItem) * 2), 0);
    EXPECT_EQ(run([](FakeDialog&) {}), kIdOk);
    EXPECT_EQ(std::memcmp(before.data(), page->items.data(), sizeof(MissionItem) * 2), 0);
    mission_ClearSelection(*page);
    EXPECT_EQ(itemattr_Run(*page), kIdCancel);  // nothing selected: no dialog
    EXPECT_EQ(ui->dialogsRun.size(), 2u);
}
