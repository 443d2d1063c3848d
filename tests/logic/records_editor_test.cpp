#include "logic/records_editor.h"

#include "support/fake_platform.h"
#include "resources/records_dialogs.h"
#include "support/core_env.h"
#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <fstream>
#include <iterator>
#include <string>

using namespace recid;

namespace {

// Colour names "c0".."c16", so the drop-down's order can be seen.
std::string texts() {
    std::string s =
        "[Dialog Message]\nGROUPS = Groups\nWAYPOINTS = Paths\nAREA_TRIGGERS = Areas\nSIZE = Size %i\n"
        "[Players]\nBLUEPLAYERS = Blue side\nREDPLAYERS = Red side\n"
        "[File I/O]\nGROUP_LIST_HEADER = Groups of %s %i/%i/%i %i:%i\\n\n[Colors]\n";
    for (int i = 0; i < kRecordColorCount; ++i)
        s += std::string(records_ColorKey(i)) + " = c" + std::to_string(i) + "\n";
    return s;
}

int g_redraws = 0;

class RecordsEditor : public ::testing::Test {
protected:
    ScopedFakePlatform ui;
    ScopedTextTable table{texts()};
    ScopedItemDefs defs;
    std::unique_ptr<Mission> page = test_NewMission();
    void SetUp() override {
        g_redraws = 0;
        records_Hooks() = {nullptr, [] { ++g_redraws; }};
    }
    void TearDown() override { records_Hooks() = {}; }
};

struct KindCase {
    RecordKind kind;
    const DialogTemplate* tmpl;
    const char* title;
    int slots;
    int (*run)(Mission&);
};
const KindCase kKinds[] = {
    {RecordKind::Group, &kDlgEditGroups, "Groups", 63, groups_RunEditor},
    {RecordKind::Waypoint, &kDlgEditWaypoints, "Paths", 127, waypoints_RunEditor},
    {RecordKind::AreaTrigger, &kDlgEditAreaTriggers, "Areas", 99, areas_RunEditor},
};

// A record's description and its whole bytes (to see that nothing in it changed).
char* descOf(Mission& m, RecordKind kind, int s) {
    return kind == RecordKind::Group      ? m.groups[std::size_t(s)].description
           : kind == RecordKind::Waypoint ? m.waypoints[std::size_t(s)].description
                                          : m.area_triggers[std::size_t(s)].description;
}
std::string recordBytes(const Mission& m, RecordKind kind, int s) {
    const auto i = std::size_t(s);
    if (kind == RecordKind::Group) return {reinterpret_cast<const char*>(&m.groups[i]), sizeof(Group)};
    if (kind == RecordKind::Waypoint) return {reinterpret_cast<const char*>(&m.waypoints[i]), sizeof(Waypoint)};
    return {reinterpret_cast<const char*>(&m.area_triggers[i]), sizeof(AreaTrigger)};
}

}  // namespace

// What the three editors share: the slot list, typing into the current slot with its line
// following at once, moving between slots, the stored length, any way of closing keeping
// every change, and OK at once changing nothing, not even a description longer than typing
// allows.
TEST_F(RecordsEditor, EveryEditorListsEditsAndKeepsItsRecords) {
    for (const KindCase& k : kKinds) {
        SCOPED_TRACE(k.title);
        mission_Clear(*page);
        mission_SetText(descOf(*page, k.kind, 1), 256, "Alpha");
        page->groups[1].color = 7;  // no group field but the description is the editor's
        const std::string longText(255, 'L');
        mission_SetText(descOf(*page, k.kind, 3), 256, longText);
        const std::string before1 = recordBytes(*page, k.kind, 1), before3 = recordBytes(*page, k.kind, 3);

        RecordsEditorProc proc(k.kind, *page);
        FakeDialog d(proc, k.tmpl);
        d.init();
        for (const auto& [id, control] : d.controls()) EXPECT_NE(k.tmpl->control(id), nullptr) << id;
        EXPECT_EQ(d.title(), k.title);
        ASSERT_EQ(d.entryCount(kList), k.slots);
        EXPECT_EQ(d.entryText(kList, 0), " 1 - Alpha");
        EXPECT_EQ(d.entryText(kList, k.slots - 1), std::to_string(k.slots) + " - ");
        EXPECT_EQ(d.selection(kList), 0);
        EXPECT_EQ(d.text(kDesc), "Alpha");
        d.choose(kList, 2);
        EXPECT_EQ(d.text(kDesc), longText);
        d.choose(kList, 0);
        EXPECT_EQ(recordBytes(*page, k.kind, 1), before1);
        EXPECT_EQ(recordBytes(*page, k.kind, 3), before3);

        d.type(kDesc, "Bravo team");
        EXPECT_EQ(std::string(descOf(*page, k.kind, 1)), "Bravo team");
        EXPECT_EQ(page->groups[1].color, 7);
        EXPECT_EQ(d.entryText(kList, 0), " 1 - Bravo team");
        EXPECT_EQ(d.entryCount(kList), k.slots);
        EXPECT_EQ(d.selection(kList), 0);

        d.choose(kList, 9);
        EXPECT_EQ(d.text(kDesc), "");
        d.setText(kDesc, std::string(300, 'y'));  // pasted past what typing allows
        d.command(kDesc, Notify::Changed);
        EXPECT_EQ(std::string(descOf(*page, k.kind, 10)), std::string(249, 'y'));
        EXPECT_EQ(std::string(descOf(*page, k.kind, 1)), "Bravo team");
        d.choose(kList, -1);  // the list losing its selection keeps the panel on its slot
        EXPECT_EQ(proc.current(), 10);
        EXPECT_EQ(d.selection(kList), 9);

        d.setText(kDesc, "Last words");  // not yet notified: OK stores it
        d.click(kIdOk);
        EXPECT_EQ(d.result(), kIdOk);
        EXPECT_EQ(std::string(descOf(*page, k.kind, 10)), "Last words");

        // Cancel (Escape) takes back everything done while the dialog was open.
        const auto before = std::make_unique<MissionTables>(static_cast<const MissionTables&>(*page));
        ui->dialogScripts[std::string(k.tmpl->name)] = [](FakeDialog& fd) {
            fd.type(kDesc, "Changed");
            fd.choose(kList, 4);
            fd.type(kDesc, "Changed too");
            fd.click(kSelect);
            fd.click(kIdCancel);
        };
        EXPECT_EQ(k.run(*page), kIdCancel);
        EXPECT_EQ(std::memcmp(before.get(), static_cast<const MissionTables*>(page.get()), sizeof(MissionTables)), 0);

        ui->dialogScripts[std::string(k.tmpl->name)] = [](FakeDialog& fd) {
            EXPECT_EQ(fd.text(kDesc), "Bravo team");  // each opening starts at slot 1
            fd.click(kIdOk);
        };
        EXPECT_EQ(k.run(*page), kIdOk);
        EXPECT_EQ(ui->dialogsRun.back(), k.tmpl->name);
    }
}

// Waypoints and area triggers: the colours in index order, the position stored, the map
// redrawn at once; a colour the list cannot show survives the panel.
TEST_F(RecordsEditor, ColourDropDownStoresItsPositionAndRedraws) {
    for (RecordKind kind : {RecordKind::Waypoint, RecordKind::AreaTrigger}) {
        mission_Clear(*page);
        g_redraws = 0;
        const bool wp = kind == RecordKind::Waypoint;
        std::int32_t& c1 = wp ? page->waypoints[1].color : page->area_triggers[1].color;
        std::int32_t& c2 = wp ? page->waypoints[2].color : page->area_triggers[2].color;
        c1 = 16;
        c2 = 40;
        RecordsEditorProc proc(kind, *page);
        FakeDialog d(proc, wp ? &kDlgEditWaypoints : &kDlgEditAreaTriggers);
        d.init();
        ASSERT_EQ(d.entryCount(kColor), kRecordColorCount);
        for (int i = 0; i < kRecordColorCount; ++i) EXPECT_EQ(d.entryText(kColor, i), "c" + std::to_string(i));
        EXPECT_EQ(d.selection(kColor), 16);
        d.choose(kColor, 3);
        EXPECT_EQ(c1, 3);
        EXPECT_EQ(g_redraws, 1);
        d.choose(kList, 1);
        EXPECT_EQ(d.selection(kColor), -1);
        d.type(kDesc, "typed");
        d.click(kIdOk);
        EXPECT_EQ(c2, 40);
        EXPECT_EQ(c1, 3);
    }
}

TEST_F(RecordsEditor, WaypointBoxesStoreForTheWaypointShown) {
    page->waypoints[1].attrib = 0x10 | kWaypointTeamBlue;  // bit 4 is no box's
    page->waypoints[2].attrib = kWaypointNoLoop | kWaypointTeamRed;
    for (int n = 0; n < 3; ++n) page->items[std::size_t(test_AddItem(*page, kWaypointMarkerType))].waypoint_id = 1;
    RecordsEditorProc proc(RecordKind::Waypoint, *page);
    FakeDialog d(proc, &kDlgEditWaypoints);
    d.init();
    EXPECT_EQ(d.text(kSize), "Size 3");
    EXPECT_EQ(d.check(kTeamBlue), kChecked);
    d.toggle(kTeamRed);  // only the red box, then another waypoint
    d.choose(kList, 1);
    EXPECT_EQ(page->waypoints[1].attrib, 0x10 | kWaypointTeamBlue | kWaypointTeamRed);
    EXPECT_EQ(g_redraws, 0);  // team boxes do not show on the map
    EXPECT_EQ(d.check(kNoLoop), kChecked);
    EXPECT_EQ(d.check(kTeamBlue), kUnchecked);
    EXPECT_EQ(d.check(kTeamRed), kChecked);
    d.toggle(kNoLoop);  // opens the path on the map at once
    EXPECT_EQ(page->waypoints[2].attrib, kWaypointTeamRed);
    EXPECT_EQ(g_redraws, 1);
}

// Select Members adds the group's units the map shows after what was selected already;
// Select Markers adds a path's points in path order, or every marker of an area, shown or
// not. Each redraws, even when it added nothing.
TEST_F(RecordsEditor, SelectAddsMembersOrMarkersToTheSelection) {
    Mission& m = *page;
    const int other = test_AddItem(m, kTestJeep), a = test_AddItem(m, kTestRifleman);
    const int hidden = test_AddItem(m, kTestRifleman), onHiddenLayer = test_AddItem(m, kTestGoodGuard);
    const int b = test_AddItem(m, kTestEvilGuard), outsider = test_AddItem(m, kTestRifleman);
    const int filtered = test_AddItem(m, kTestRifleman);
    for (int i : {a, hidden, onHiddenLayer, b, filtered}) m.items[i].group_id = 3;
    m.items[outsider].group_id = 4;
    m.items[hidden].hidden = 1;
    m.items[onHiddenLayer].layer = 5;
    m.info.hidden_layers = 1u << 5;
    mission_Select(m, b);
    mission_Select(m, other);
    // The view's own test hides item "filtered" as a show flag would.
    records_Hooks().visible = [](const Mission& pg, std::int32_t i) {
        return i != 6 && mission_ItemShown(pg, i, kShowEverything);
    };
    ASSERT_EQ(filtered, 6);

    RecordsEditorProc groups(RecordKind::Group, m);
    FakeDialog g(groups, &kDlgEditGroups);
    g.init();
    g.choose(kList, 2);
    g.click(kSelect);
    EXPECT_EQ(std::vector<int>(m.selection.index.begin(), m.selection.index.begin() + m.selection.count),
              (std::vector<int>{b, other, a}));
    EXPECT_EQ(g_redraws, 1);
    records_Hooks().visible = nullptr;  // without the view: hidden items and layers still count
    g.click(kSelect);
    EXPECT_EQ(m.selection.count, 4);
    EXPECT_EQ(m.selection.index[3], filtered);

    mission_ClearSelection(m);
    const int p2 = test_AddItem(m, kWaypointMarkerType), p0 = test_AddItem(m, kWaypointMarkerType);
    const int p1 = test_AddItem(m, kWaypointMarkerType);
    for (int i : {p0, p1, p2}) m.items[i].waypoint_id = 7;
    m.items[p1].wpnumber = 1;
    m.items[p2].wpnumber = 2;
    m.items[p2].hidden = 1;
    RecordsEditorProc paths(RecordKind::Waypoint, m);
    FakeDialog w(paths, &kDlgEditWaypoints);
    w.init();
    w.click(kSelect);  // path 1 has no points
    EXPECT_EQ(m.selection.count, 0);
    EXPECT_EQ(g_redraws, 3);
    w.choose(kList, 6);
    w.click(kSelect);
    EXPECT_EQ(std::vector<int>(m.selection.index.begin(), m.selection.index.begin() + m.selection.count),
              (std::vector<int>{p0, p1, p2}));

    mission_ClearSelection(m);
    const int m1 = test_AddItem(m, kAreaMarkerType), m2 = test_AddItem(m, kAreaMarkerType);
    const int m3 = test_AddItem(m, kAreaMarkerType);
    m.items[m1].wpnumber = m.items[m3].wpnumber = 2;
    m.items[m2].wpnumber = 3;
    m.items[m3].hidden = 1;
    m.items[p0].wpnumber = 2;  // a waypoint marker numbered 2 is no area marker
    RecordsEditorProc areas(RecordKind::AreaTrigger, m);
    FakeDialog ar(areas, &kDlgEditAreaTriggers);
    ar.init();
    ar.choose(kList, 1);
    ar.click(kSelect);
    EXPECT_EQ(std::vector<int>(m.selection.index.begin(), m.selection.index.begin() + m.selection.count),
              (std::vector<int>{m1, m3}));
}

TEST_F(RecordsEditor, PrintListWritesTheTableAsEdited) {
    ScopedTempDir dir;
    mission_Clear(*page);
    RecordsEditorProc proc(RecordKind::Group, *page);
    FakeDialog d(proc, &kDlgEditGroups);
    d.init();
    d.choose(kList, 9);
    d.type(kDesc, "Snipers");
    ui->fileAnswers.push_back(dir.file("groups.txt"));
    d.click(kPrint);
    std::ifstream in(dir.file("groups.txt"));
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(text.find("\n 1 - Blue side\n 2 - Red side\n10 - Snipers\n"), std::string::npos) << text;
    EXPECT_FALSE(d.ended());
}
