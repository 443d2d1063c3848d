// Editing on the map through the shell and the fake platform: File > New, the keys that end
// and take back gestures, the drawing tools as one step, Show Links, Export Map Image, Print
// and the status bar.
#include "shell/shell.h"

#include "core/text.h"
#include "mapview/gesture.h"
#include "mapview/interact.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mapview/zoom.h"
#include "platform/layout.h"
#include "shell/conveniences.h"
#include "mission/mission.h"
#include "mission/undo.h"
#include "resources/shell_dialogs.h"
#include "shell/history.h"
#include "shell/map_tools.h"
#include "support/shell_env.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace {

class MapTools : public ShellEnvTest {
protected:
    MapTools() : ShellEnvTest({"data/text/undo.txt", "data/text/conveniences.txt", "data/text/map_tools.txt"}) {}
    void SetUp() override {
        startShell();
        view_State().zoom = 1.0f;  // world (x, y) is pane (px(x), py(y))
        view_State().center_x = view_State().center_y = 0;
    }
    static int px(int x) { return (view_Surface().width >> 1) + x; }
    static int py(int y) { return (view_Surface().height >> 1) - y; }
    Mission& page() { return mission_CurrentPage(); }
    MapPaneSink& map() { return shell_MapSink(); }
    void click(int x, int y) {
        map().onMouseDown(MouseButton::Left, x, y, 0);
        map().onMouseUp(MouseButton::Left, x, y, 0);
    }
    // The CHOOSE dialog answers with the entry of this value.
    void choose(std::int64_t value) {
        fake->dialogScripts["CHOOSE"] = [value](FakeDialog& d) {
            for (int i = 0; i < d.entryCount(dlgid::kChooseList); ++i)
                if (d.entryData(dlgid::kChooseList, i) == value) d.choose(dlgid::kChooseList, i);
            d.click(kIdOk);
        };
    }
    std::string status(StatusField f) { return fake->statusFields[f]; }
};

TEST_F(MapTools, NewAsksAboutAModifiedPageAndLeavesItUntitledAndUnmodified) {
    test_AddItem(page(), kTestJeep);
    page().file_path = data.file("raid.mis");
    history_Baseline(0, true);
    shell_Command(cmd::kDelete);  // nothing selected: nothing changes, nothing is asked
    mission_Select(page(), 0);
    shell_Command(cmd::kDelete);
    ASSERT_TRUE(history_PageModified(0));
    for (MsgAnswer a : {MsgAnswer::Cancel, MsgAnswer::No}) {
        fake->boxes.clear();
        fake->msgAnswers = {a};
        shell_Command(cmd::kNew);
        EXPECT_EQ(fake->boxes.size(), 1u);
    }
    EXPECT_TRUE(page().file_path.empty());
    EXPECT_FALSE(history_PageModified(0));
    EXPECT_FALSE(history_CanUndo(0, true));
    EXPECT_EQ(fake->windowTitle, text_Printf("Conveniences", "TITLE_PAGE", {1, shell_TitleFor("")}));
    // Unmodified: no question.
    fake->boxes.clear();
    shell_Command(cmd::kNew);
    EXPECT_TRUE(fake->boxes.empty());
}

// Draw Path and Draw Area: the choice, the clicks, Backspace and the key that ends them make
// one step named after the tool; a cancelled choice starts nothing.
TEST_F(MapTools, DrawingIsOneStepEndedByEachOfItsKeys) {
    struct Case {
        int command;
        Key end;
        std::int32_t type;
        const char* step;
    };
    const Case cases[] = {
        {cmd::kDrawPath, Key::Return, kWaypointMarkerType, "STEP_DRAW_PATH"},
        {cmd::kDrawPath, Key::Escape, kWaypointMarkerType, "STEP_DRAW_PATH"},
        {cmd::kDrawArea, Key::Return, kAreaMarkerType, "STEP_DRAW_AREA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        mission_NewPage(page());
        history_Baseline(0, true);
        choose(7);
        shell_Command(c.command);
        ASSERT_EQ(gesture_State().record, 7);
        EXPECT_NE(status(StatusField::Hint).find('7'), std::string::npos) << status(StatusField::Hint);
        click(px(0), py(0));
        click(px(50), py(0));
        shell_Key(Key::Backspace, 0);
        click(px(0), py(50));
        click(px(50), py(50));
        shell_Key(c.end, 0);
        EXPECT_TRUE(gesture_Idle(gesture_State()));
        ASSERT_EQ(page().item_count, 3);
        EXPECT_EQ(page().items[2].type_id, c.type);
        EXPECT_EQ(page().items[2].x, 50);
        EXPECT_TRUE(fake->dialogsRun.back() == "CHOOSE");
        const UndoHistory& h = undo_PageHistory(0);
        EXPECT_EQ(std::string(h.undoName()), c.step);
        shell_Command(cmd::kUndo);
        EXPECT_EQ(page().item_count, 0);
        EXPECT_FALSE(h.canUndo());
    }
    fake->dialogScripts["CHOOSE"] = [](FakeDialog& d) { d.click(kIdCancel); };
    shell_Command(cmd::kDrawPath);
    EXPECT_TRUE(gesture_Idle(gesture_State()));
}

TEST_F(MapTools, ThePathChoiceNamesEachPathAndOffersTheFirstEmptyOne) {
    mission_SetText(page().waypoints[2].description, "Patrol\r\nsecond line");
    std::int32_t m = test_AddItem(page(), kWaypointMarkerType, 0, 0);
    page().items[m].waypoint_id = 1;
    std::string shown;
    fake->dialogScripts["CHOOSE"] = [&](FakeDialog& d) {
        shown = d.entryText(dlgid::kChooseList, d.selection(dlgid::kChooseList));
        d.click(kIdCancel);
    };
    shell_Command(cmd::kDrawPath);
    EXPECT_EQ(shown, text_Printf("Map Tools", "RECORD_ENTRY", {2, "Patrol"}));
    const std::vector<ChoiceEntry> paths = maptools_PathChoices(page());
    EXPECT_EQ(paths.size(), std::size_t(kMaxWaypoints - 1));
    EXPECT_EQ(paths.back().value, kMaxWaypoints - 1);
    EXPECT_EQ(maptools_AreaChoices(page()).size(), std::size_t(kMaxAreaTriggers - 1));
}

TEST_F(MapTools, ReturnOpensTheAttributesOnlyWithASelection) {
    test_AddItem(page(), kTestJeep);
    shell_Key(Key::Return, 0);
    EXPECT_TRUE(fake->dialogsRun.empty());
    mission_Select(page(), 0);
    shell_Key(Key::Return, 0);
    ASSERT_EQ(fake->dialogsRun.size(), 1u);
    EXPECT_EQ(fake->dialogsRun[0], "ITEMATTRIBUTES");
    // The item menu offers it too.
    fake->popupAnswers = {cmd::kItemAttributes};
    map().onMouseDown(MouseButton::Right, 100, 100, 0);
    EXPECT_EQ(fake->dialogsRun.size(), 2u);
}

// Show Links joins a unit of a group to its path's first marker (the lowest number), in the
// path's colour, and only while it is on.
TEST_F(MapTools, ShowLinksDrawsFromTheUnitToThePathsFirstMarker) {
    const std::int32_t unit = test_AddItem(page(), kTestRifleman, -200, 0);
    page().items[unit].group_id = 1;
    page().items[unit].waypoint_id = 3;
    page().waypoints[3].color = 4;
    for (auto [x, n] : {std::pair{200, 5}, std::pair{200 + 100, 2}}) {
        const std::int32_t m = test_AddItem(page(), kWaypointMarkerType, x, 150);
        page().items[m].waypoint_id = 3;
        page().items[m].wpnumber = n;
    }
    const std::uint32_t colour = render_CodeColour(4);
    auto linePixels = [&] {
        shell_Render();
        // The segment from (-200, 0) to (300, 150), sampled a third of the way along.
        const MapSurface& s = view_Surface();
        int n = 0;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) n += s.rows[std::size_t(py(50) + dy)][std::size_t(px(-33) + dx)] == colour;
        return n;
    };
    EXPECT_EQ(linePixels(), 0);
    shell_Command(cmd::kShowLinks);
    EXPECT_TRUE(fake->menuChecks[cmd::kShowLinks]);
    EXPECT_GT(linePixels(), 0);
    page().items[unit].group_id = 0;  // a unit of no group has no link
    EXPECT_EQ(linePixels(), 0);
}

TEST_F(MapTools, ExportImageWritesTheChosenSizeAndPrintNamesTheMission) {
    test_AddItem(page(), kTestJeep);
    choose(2);  // 1920 x 1080
    fake->fileAnswers = {data.file("map.png")};
    shell_Command(cmd::kExportImage);
    ASSERT_EQ(fake->pngs.size(), 1u);
    EXPECT_EQ(fake->pngs[0].where, data.file("map.png"));
    EXPECT_EQ(fake->pngs[0].width, 1920);
    EXPECT_EQ(fake->pngs[0].height, 1080);
    EXPECT_EQ(ui_PlainText(fake->statusMessages.back()),
              ui_PlainText(text_Printf("Map Tools", "IMAGE_WRITTEN", {ui_PathText(data.file("map.png")), 1920, 1080})));
    // Not written: said, and no message of success.
    fake->pngAnswer = false;
    choose(0);
    fake->fileAnswers = {data.file("map.png")};
    const std::size_t messages = fake->statusMessages.size();
    shell_Command(cmd::kExportImage);
    EXPECT_EQ(fake->boxes.back().icon, MsgIcon::Warning);
    EXPECT_EQ(fake->statusMessages.size(), messages);

    mission_SetText(page().info.name, "Bridgehead");
    shell_Command(cmd::kPrint);
    ASSERT_EQ(fake->printed.size(), 1u);
    EXPECT_EQ(fake->printed[0].where, "Bridgehead");
    EXPECT_EQ(fake->printed[0].width, fake->mapPaneSize.width);
    EXPECT_NE(fake->printed[0].footer.find("100px"), std::string::npos);
    EXPECT_EQ(fake->statusMessages.back(), text_Printf("Map Tools", "PRINTED", {"Bridgehead"}));
}

TEST_F(MapTools, StatusBarFollowsThePointerTheSelectionAndTheFiles) {
    test_AddItem(page(), kTestJeep);
    map().onMouseMove(px(512), py(256), 0);
    EXPECT_EQ(status(StatusField::Position), text_Printf("Map Tools", "POSITION", {2.0, 1.0}));
    shell_Command(cmd::kSelectAll);
    EXPECT_EQ(status(StatusField::Selection), text_Printf("Map Tools", "SELECTION", {1}));
    EXPECT_EQ(status(StatusField::Hint), text_Get("Map Tools", "HINT_IDLE"));
    shell_Command(cmd::kMove);
    EXPECT_EQ(status(StatusField::Hint), text_Get("Map Tools", "HINT_MOVE"));
    shell_Key(Key::Escape, 0);
    EXPECT_EQ(status(StatusField::Hint), text_Get("Map Tools", "HINT_IDLE"));
    const std::string path = data.file("saved.mis");
    ASSERT_TRUE(shell_WriteMission(page(), path));
    EXPECT_EQ(ui_PlainText(fake->statusMessages.back()),
              ui_PlainText(text_Printf("Map Tools", "SAVED", {ui_PathText(path)})));
    fake->fileAnswers = {data.file("x.bms")};
    ASSERT_TRUE(shell_ExportMission());
    EXPECT_EQ(ui_PlainText(fake->statusMessages.back()),
              ui_PlainText(text_Printf("Map Tools", "EXPORTED", {1, ui_PathText(data.file("x.bms"))})));
}

}  // namespace

namespace {

using MapToolsScale = MapTools;

// The centre pane's lines stay inside it wherever the view is; a scale with no room left is
// not drawn cut but left to the status bar, which always shows it.
TEST_F(MapToolsScale, TheScaleFitsTheCentrePaneOrIsLeftToTheStatusBar) {
    const CharMetrics m{8, 16};
    const int width = layout_MainPanes(0, 0, m).centre.w;
    for (auto [x, zoom, inPane] :
         {std::tuple{0, 1.0f, true}, std::tuple{INT32_MIN, 0.0001f, false}, std::tuple{-300 * 256, 0.002f, true}}) {
        view_State().center_x = view_State().center_y = x;
        view_State().zoom = zoom;
        const std::vector<PaneLine> lines = conv_CentreLines(m);
        for (const PaneLine& l : lines) EXPECT_LE(l.x + int(l.text.size()) * m.cw, width - 5) << l.text;
        const std::string scale = zoom_ScaleText(zoom);
        EXPECT_EQ(lines.back().text == scale, inPane) << x;
        shell_RefreshMenuState();
        EXPECT_EQ(status(StatusField::Scale), scale);
    }
}

}  // namespace
