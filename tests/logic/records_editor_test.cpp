#include "logic/records_editor.h"

#include "platform/fake_platform.h"
#include "resources/records_dialogs.h"
#include "support/core_env.h"
#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace recid;

namespace {

constexpr const char* kTexts = R"([Dialog Message]
GROUPS = Groups
WAYPOINTS = Paths
AREA_TRIGGERS = Areas
SIZE = Size %i
OK = OK
[Colors]
ORANGE = c0
BLACK = c1
YELLOW = c2
RED = c3
GREEN = c4
BLUE = c5
GRAY = c6
LTGRAY = c7
PURPLE = c8
CYAN = c9
BROWN = c10
AQUA = c11
INDIGO = c12
TAN = c13
TEAL = c14
DARKRED = c15
WHITE = c16
[Players]
BLUEPLAYERS = Blue side
REDPLAYERS = Red side
[File I/O]
GROUP_LIST_HEADER = Groups of %s %i/%i/%i %i:%i\n
)";

int g_redraws = 0;
void countRedraw() { ++g_redraws; }

class RecordsEditor : public ::testing::Test {
protected:
    ScopedFakePlatform ui;
    ScopedTextTable texts{kTexts};
    ScopedItemDefs defs;
    std::unique_ptr<Mission> page = test_NewMission();

    void SetUp() override {
        g_redraws = 0;
        records_Hooks() = {nullptr, &countRedraw};
    }
    void TearDown() override { records_Hooks() = {}; }
};

const DialogTemplate* templateOf(RecordKind kind) {
    switch (kind) {
    case RecordKind::Group: return &kDlgEditGroups;
    case RecordKind::Waypoint: return &kDlgEditWaypoints;
    case RecordKind::AreaTrigger: break;
    }
    return &kDlgEditAreaTriggers;
}

// One kind's description field, whatever its table.
char* descOf(Mission& m, RecordKind kind, int slot) {
    switch (kind) {
    case RecordKind::Group: return m.groups[std::size_t(slot)].description;
    case RecordKind::Waypoint: return m.waypoints[std::size_t(slot)].description;
    case RecordKind::AreaTrigger: break;
    }
    return m.area_triggers[std::size_t(slot)].description;
}

// The bytes of one record, to see that nothing in it changed.
std::string recordBytes(const Mission& m, RecordKind kind, int slot) {
    const auto s = std::size_t(slot);
    switch (kind) {
    case RecordKind::Group: return {reinterpret_cast<const char*>(&m.groups[s]), sizeof(Group)};
    case RecordKind::Waypoint: return {reinterpret_cast<const char*>(&m.waypoints[s]), sizeof(Waypoint)};
    case RecordKind::AreaTrigger: break;
    }
    return {reinterpret_cast<const char*>(&m.area_triggers[s]), sizeof(AreaTrigger)};
}

struct KindCase {
    RecordKind kind;
    const char* title;
    int slots;
    int (*run)(Mission&);
    const char* templateName;
};

const KindCase kKinds[] = {
    {RecordKind::Group, "Groups", 63, groups_RunEditor, "EDITGROUPS"},
    {RecordKind::Waypoint, "Paths", 127, waypoints_RunEditor, "EDITWAYPOINTS"},
    {RecordKind::AreaTrigger, "Areas", 99, areas_RunEditor, "EDITAREATRIGGERS"},
};

}  // namespace

// What the three editors share: the list of slots, typing into the current slot with its
// line following at once, moving between slots, the stored length, and closing by any way
// keeping every change.
TEST_F(RecordsEditor, EveryEditorListsEditsAndKeepsItsRecords) {
    for (const KindCase& k : kKinds) {
        SCOPED_TRACE(k.title);
        mission_Clear(*page);
        std::memset(descOf(*page, k.kind, 1), 0, 8);  // groups 1 and 2 have default names
        mission_SetText(descOf(*page, k.kind, 1), 256, "Alpha");
        // A text longer than the editors store, as a file may bring it (255 fits everywhere).
        const std::string longText(255, 'L');
        mission_SetText(descOf(*page, k.kind, 3), 256, longText);
        const std::string before1 = recordBytes(*page, k.kind, 1);
        const std::string before3 = recordBytes(*page, k.kind, 3);

        RecordsEditorProc proc(k.kind, *page);
        FakeDialog d(proc, templateOf(k.kind));
        d.init();
        EXPECT_EQ(d.title(), k.title);
        ASSERT_EQ(d.entryCount(kList), k.slots);
        EXPECT_EQ(d.entryText(kList, 0), " 1 - Alpha");
        EXPECT_EQ(d.entryText(kList, k.slots - 1), std::to_string(k.slots) + " - ");
        EXPECT_EQ(d.selection(kList), 0);
        EXPECT_EQ(d.text(kDesc), "Alpha");
        // Every control the procedure sets is one its template has.
        for (const auto& [id, control] : d.controls()) EXPECT_NE(templateOf(k.kind)->control(id), nullptr) << id;

        // OK straight away changes nothing; neither does passing through the long text.
        d.choose(kList, 2);
        EXPECT_EQ(d.text(kDesc), longText);
        d.choose(kList, 0);
        EXPECT_EQ(recordBytes(*page, k.kind, 1), before1);
        EXPECT_EQ(recordBytes(*page, k.kind, 3), before3);

        // Typing goes into the record and its line at once, the line staying selected.
        d.type(kDesc, "Bravo team");
        EXPECT_EQ(std::string(descOf(*page, k.kind, 1)), "Bravo team");
        EXPECT_EQ(d.entryText(kList, 0), " 1 - Bravo team");
        EXPECT_EQ(d.entryCount(kList), k.slots);
        EXPECT_EQ(d.selection(kList), 0);

        // Another slot: its own panel; what is typed there stays out of slot 1.
        d.choose(kList, 9);
        EXPECT_EQ(proc.current(), 10);
        EXPECT_EQ(d.text(kDesc), "");
        d.type(kDesc, std::string(300, 'x'));  // typing stops at the limit
        EXPECT_EQ(std::strlen(descOf(*page, k.kind, 10)), 249u);
        d.setText(kDesc, std::string(300, 'y'));  // pasted past the limit: stored cut
        d.command(kDesc, Notify::Changed);
        EXPECT_EQ(std::string(descOf(*page, k.kind, 10)), std::string(249, 'y'));
        EXPECT_EQ(std::string(descOf(*page, k.kind, 1)), "Bravo team");

        // The list losing its selection leaves the panel on its slot.
        d.choose(kList, -1);
        EXPECT_EQ(proc.current(), 10);
        EXPECT_EQ(d.selection(kList), 9);

        // Escape or the close box: the last text typed is kept, the dialog ends accepted.
        d.setText(kDesc, "Last words");
        d.click(kIdCancel);
        EXPECT_TRUE(d.ended());
        EXPECT_EQ(d.result(), kIdOk);
        EXPECT_EQ(std::string(descOf(*page, k.kind, 10)), "Last words");

        // Each opening starts again at slot 1, through the entry point.
        ui->dialogScripts[k.templateName] = [](FakeDialog& fd) {
            EXPECT_EQ(fd.selection(kList), 0);
            EXPECT_EQ(fd.text(kDesc), "Bravo team");
            fd.click(kIdOk);
        };
        EXPECT_EQ(k.run(*page), kIdOk);
        EXPECT_EQ(ui->dialogsRun.back(), k.templateName);
    }
}

TEST_F(RecordsEditor, GroupsShowTheirDefaultsAndSizeAndStoreOnlyTheDescription) {
    mission_Clear(*page);
    page->groups[2].member_count = 4;
    page->groups[2].color = 7;
    page->groups[2].attrib = 3;
    page->groups[2].commander = 12;
    RecordsEditorProc proc(RecordKind::Group, *page);
    FakeDialog d(proc, &kDlgEditGroups);
    d.init();
    EXPECT_EQ(d.entryText(kList, 0), " 1 - Blue side");
    EXPECT_EQ(d.entryText(kList, 1), " 2 - Red side");
    EXPECT_EQ(d.entryText(kList, 2), " 3 - ");
    EXPECT_EQ(d.text(kSize), "Size 0");
    d.choose(kList, 1);
    EXPECT_EQ(d.text(kSize), "Size 4");
    d.type(kDesc, "Guards");
    d.click(kIdOk);
    const Group& g = page->groups[2];
    EXPECT_EQ(mission_Text(g.description), "Guards");
    EXPECT_EQ(g.color, 7);
    EXPECT_EQ(g.attrib, 3);
    EXPECT_EQ(g.commander, 12);
    EXPECT_EQ(g.member_count, 4);
}

// Waypoints and area triggers: the drop-down names the colours in index order and its
// position is the stored value; a choice redraws the map at once.
TEST_F(RecordsEditor, ColourDropDownStoresItsPositionAndRedraws) {
    for (RecordKind kind : {RecordKind::Waypoint, RecordKind::AreaTrigger}) {
        SCOPED_TRACE(kind == RecordKind::Waypoint ? "waypoints" : "areas");
        mission_Clear(*page);
        g_redraws = 0;
        std::int32_t& c1 = kind == RecordKind::Waypoint ? page->waypoints[1].color : page->area_triggers[1].color;
        std::int32_t& c2 = kind == RecordKind::Waypoint ? page->waypoints[2].color : page->area_triggers[2].color;
        c1 = 16;
        c2 = 40;  // no such colour
        RecordsEditorProc proc(kind, *page);
        FakeDialog d(proc, templateOf(kind));
        d.init();
        ASSERT_EQ(d.entryCount(kColor), kRecordColorCount);
        for (int i = 0; i < kRecordColorCount; ++i) EXPECT_EQ(d.entryText(kColor, i), "c" + std::to_string(i));
        EXPECT_EQ(d.selection(kColor), 16);
        d.choose(kColor, 3);
        EXPECT_EQ(c1, 3);
        EXPECT_EQ(g_redraws, 1);
        // A colour the list cannot show: no selection, and the value survives the panel.
        d.choose(kList, 1);
        EXPECT_EQ(d.selection(kColor), -1);
        d.type(kDesc, "typed");
        d.click(kIdOk);
        EXPECT_EQ(c2, 40);
        EXPECT_EQ(c1, 3);
        EXPECT_EQ(g_redraws, 1);
    }
}

TEST_F(RecordsEditor, WaypointBoxesShowTheFlagsAndStoreForTheWaypointShown) {
    page->waypoints[1].attrib = 0x10 | kWaypointTeamBlue;  // bit 4 is no box's
    page->waypoints[2].attrib = kWaypointNoLoop | kWaypointTeamRed;
    page->waypoints[1].point_count = 3;
    RecordsEditorProc proc(RecordKind::Waypoint, *page);
    FakeDialog d(proc, &kDlgEditWaypoints);
    d.init();
    EXPECT_EQ(d.text(kSize), "Size 3");
    EXPECT_EQ(d.check(kNoLoop), kUnchecked);
    EXPECT_EQ(d.check(kTeamBlue), kChecked);
    EXPECT_EQ(d.check(kTeamRed), kUnchecked);

    // Only the red box changed, then another waypoint: the first one keeps it.
    d.toggle(kTeamRed);
    EXPECT_EQ(g_redraws, 0);  // team boxes do not show on the map
    d.choose(kList, 1);
    EXPECT_EQ(page->waypoints[1].attrib, 0x10 | kWaypointTeamBlue | kWaypointTeamRed);
    EXPECT_EQ(d.text(kSize), "Size 0");
    EXPECT_EQ(d.check(kNoLoop), kChecked);
    EXPECT_EQ(d.check(kTeamBlue), kUnchecked);
    EXPECT_EQ(d.check(kTeamRed), kChecked);
    EXPECT_EQ(page->waypoints[2].attrib, kWaypointNoLoop | kWaypointTeamRed);

    // The no-loop box opens or closes the path on the map at once.
    d.toggle(kNoLoop);
    EXPECT_EQ(page->waypoints[2].attrib, kWaypointTeamRed);
    EXPECT_EQ(g_redraws, 1);
}

// Select Members adds the group's units the map shows, after what was selected already;
// Select Markers adds a path's points in path order, or every marker of an area, shown or
// not. Each redraws, even when it added nothing.
TEST_F(RecordsEditor, SelectAddsMembersOrMarkersToTheSelection) {
    Mission& m = *page;
    const int other = test_AddItem(m, kTestJeep);
    const int a = test_AddItem(m, kTestRifleman);
    const int hiddenUnit = test_AddItem(m, kTestRifleman);
    const int onHiddenLayer = test_AddItem(m, kTestGoodGuard);
    const int b = test_AddItem(m, kTestEvilGuard);
    const int outsider = test_AddItem(m, kTestRifleman);
    const int filtered = test_AddItem(m, kTestRifleman);
    for (int i : {a, hiddenUnit, onHiddenLayer, b, filtered}) m.items[i].group_id = 3;
    m.items[outsider].group_id = 4;
    m.items[hiddenUnit].hidden = 1;
    m.items[onHiddenLayer].layer = 5;
    m.info.hidden_layers = 1u << 5;
    mission_Select(m, b);
    mission_Select(m, other);
    // The view's own test may hide more: this one hides item "filtered" as a show flag would.
    static int s_filtered = -1;
    s_filtered = filtered;
    records_Hooks().visible = [](const Mission& pg, std::int32_t i) {
        return i != s_filtered && mission_ItemShown(pg, i, kShowEverything);
    };

    RecordsEditorProc groups(RecordKind::Group, m);
    FakeDialog g(groups, &kDlgEditGroups);
    g.init();
    g.choose(kList, 2);
    g.click(kSelect);
    ASSERT_EQ(m.selection.count, 3);
    EXPECT_EQ(m.selection.index[0], b);
    EXPECT_EQ(m.selection.index[1], other);
    EXPECT_EQ(m.selection.index[2], a);
    EXPECT_EQ(g_redraws, 1);

    // Without the view's test, hidden items and hidden layers still count as not shown.
    records_Hooks().visible = nullptr;
    mission_ClearSelection(m);
    g.click(kSelect);
    ASSERT_EQ(m.selection.count, 3);
    EXPECT_EQ(m.selection.index[2], filtered);

    // A path whose markers were placed out of order: selected in path order.
    mission_ClearSelection(m);
    const int p2 = test_AddItem(m, kWaypointMarkerType);
    const int p0 = test_AddItem(m, kWaypointMarkerType);
    const int p1 = test_AddItem(m, kWaypointMarkerType);
    for (int i : {p0, p1, p2}) m.items[i].waypoint_id = 7;
    m.items[p1].wpnumber = 1;
    m.items[p2].wpnumber = 2;
    m.items[p2].hidden = 1;
    mission_BuildWaypointPaths(m);
    RecordsEditorProc paths(RecordKind::Waypoint, m);
    FakeDialog w(paths, &kDlgEditWaypoints);
    w.init();
    g_redraws = 0;
    w.click(kSelect);  // path 1 has no points: nothing, but a redraw
    EXPECT_EQ(m.selection.count, 0);
    EXPECT_EQ(g_redraws, 1);
    w.choose(kList, 6);
    w.click(kSelect);
    ASSERT_EQ(m.selection.count, 3);
    EXPECT_EQ(m.selection.index[0], p0);
    EXPECT_EQ(m.selection.index[1], p1);
    EXPECT_EQ(m.selection.index[2], p2);

    // Area 2's markers, hidden ones too; a waypoint marker numbered 2 is no area marker.
    mission_ClearSelection(m);
    const int m1 = test_AddItem(m, kAreaMarkerType);
    const int m2 = test_AddItem(m, kAreaMarkerType);
    const int m3 = test_AddItem(m, kAreaMarkerType);
    m.items[m1].wpnumber = 2;
    m.items[m2].wpnumber = 3;
    m.items[m3].wpnumber = 2;
    m.items[m3].hidden = 1;
    RecordsEditorProc areas(RecordKind::AreaTrigger, m);
    FakeDialog ar(areas, &kDlgEditAreaTriggers);
    ar.init();
    ar.choose(kList, 1);
    ar.click(kSelect);
    ASSERT_EQ(m.selection.count, 2);
    EXPECT_EQ(m.selection.index[0], m1);
    EXPECT_EQ(m.selection.index[1], m3);
}

TEST_F(RecordsEditor, PrintListWritesTheListingOfTheTableAsEdited) {
    ScopedTempDir dir;
    mission_Clear(*page);
    RecordsEditorProc proc(RecordKind::Group, *page);
    FakeDialog d(proc, &kDlgEditGroups);
    d.init();
    d.choose(kList, 9);
    d.type(kDesc, "Snipers");
    const std::string path = dir.file("groups.txt");
    ui->fileAnswers.push_back(path);
    d.click(kPrint);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("\n 1 - Blue side\n 2 - Red side\n10 - Snipers\n"), std::string::npos) << text.str();
    EXPECT_FALSE(d.ended());
    // Cancelled: nothing is written, the dialog stays open.
    d.click(kPrint);
    EXPECT_EQ(ui->fileRequests.size(), 2u);
    EXPECT_FALSE(d.ended());
}
