// The conveniences through the fake platform: the zoom commands and keys, the wheel, the
// enabled states of the edit commands, the active page, the recent files and dropped files.
#include "shell/conveniences.h"

#include "mapview/infopane.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mapview/zoom.h"
#include "mission/metafile.h"
#include "platform/settings.h"
#include "shell/dialogs.h"
#include "shell/recent.h"
#include "shell/shell.h"
#include "support/mission_pages.h"
#include "support/shell_env.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The command entry with this id anywhere in a menu tree, or nullptr.
const MenuEntry* byId(const std::vector<MenuEntry>& entries, int id) {
    for (const MenuEntry& e : entries) {
        if (e.id == id && e.children.empty()) return &e;
        if (const MenuEntry* c = byId(e.children, id)) return c;
    }
    return nullptr;
}

class Conveniences : public ShellEnvTest {
protected:
    Conveniences() : ShellEnvTest({"data/text/conveniences.txt"}) { fake->mapPaneSize = {784, 600}; }
    void start() { startShell(); }
    // A mission metafile with items at these points.
    std::string missionFile(const std::string& name, std::initializer_list<std::pair<int, int>> points) {
        auto m = std::make_unique<Mission>();
        for (auto [x, y] : points) test_AddItem(*m, kTestRifleman, x, y, 0);
        const std::string path = files.file(name);
        EXPECT_EQ(metafile_Write(*m, path.c_str()), 1);
        return path;
    }
    // Whether a world point shows in the 784 x 600 pane.
    bool inPane(std::int32_t x, std::int32_t y) {
        std::int64_t px = 0, py = 0;
        interact_WorldToPane(interact_Viewport(view_State(), view_Surface()), x, y, px, py);
        return px > 0 && px < 784 && py > 0 && py < 600;
    }
    std::vector<std::string>& keptRecent() { return fake->settingsStore.lists[kRecentSettingsList]; }

    ScopedTempDir files;
};

TEST_F(Conveniences, ZoomCommandsKeysAndWheel) {
    start();
    ViewState& v = view_State();
    v.zoom = 0.01f;
    v.center_x = 1000;
    const std::string scaleBefore = fake->paneLines[kPaneCentre].back().text;
    // Command, + and - zoom about the centre by a notch; the keypad keeps its own step.
    shell_MainSink().onCommand(cmd::kZoomIn);
    EXPECT_FLOAT_EQ(v.zoom, 0.0125f);
    shell_MainSink().onKey(Key::Minus, 0);
    EXPECT_FLOAT_EQ(v.zoom, 0.01f);
    shell_MainSink().onKey(Key::Plus, 0);
    shell_MainSink().onKey(Key::PadPlus, 0);
    EXPECT_FLOAT_EQ(v.zoom, 0.0125f * 1.1f);
    EXPECT_EQ(v.center_x, 1000);
    EXPECT_NE(fake->paneLines[kPaneCentre].back().text, scaleBefore);  // the scale follows
    const std::string scaleNow = fake->paneLines[kPaneCentre].back().text;
    shell_MainSink().onKey(Key::PageUp, 0);  // the classic keys too
    EXPECT_NE(fake->paneLines[kPaneCentre].back().text, scaleNow);
    shell_MapSink().onWheel(100, 500, -kWheelNotch, 0);  // about the pointer
    EXPECT_FLOAT_EQ(v.zoom, 0.0121f);
    EXPECT_NE(v.center_x, 1000);
    // At the largest zoom a further notch changes and draws nothing.
    v.zoom = kZoomMax;
    const std::size_t frames = fake->presented.size();
    shell_MapSink().onWheel(100, 500, kWheelNotch, 0);
    shell_MainSink().onKey(Key::Plus, 0);
    EXPECT_EQ(v.zoom, kZoomMax);
    EXPECT_EQ(fake->presented.size(), frames);
}

TEST_F(Conveniences, HomeAndOpeningFitTheMission) {
    start();
    ViewState& v = view_State();
    // An empty page: Home shows the inner boundary square, all of it.
    v.center_x = 5000000;
    shell_MainSink().onKey(Key::Home, 0);
    EXPECT_EQ(v.center_x, 0);
    EXPECT_TRUE(inPane(-262144, -262144) && inPane(262144, 262144));
    // Opening a mission zooms to its items: both land inside the pane.
    const std::string path = missionFile("two.mis", {{20000, 30000}, {60000, 50000}});
    shell_OpenMissionPath(path);
    EXPECT_TRUE(inPane(20000, 30000) && inPane(60000, 50000));
    const float fitted = v.zoom;
    v.zoom = kZoomStartup;
    shell_MainSink().onCommand(cmd::kZoomToMission);
    EXPECT_EQ(v.zoom, fitted);
}

TEST_F(Conveniences, EditCommandsAreEnabledOnlyWhenTheyCanAct) {
    start();
    Mission& page = mission_CurrentPage();
    test_AddItem(page, kTestRifleman, 0, 0, 0);
    struct Case {
        bool selected, clipboard;
    };
    for (Case c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
        mission_ClearSelection(page);
        mission_ClearSelection(mission_Clipboard());
        mission_Clear(mission_Clipboard());
        if (c.clipboard) {
            test_AddItem(mission_Clipboard(), kTestRifleman, 0, 0, 0);
            mission_Select(mission_Clipboard(), 0);
        }
        if (c.selected) mission_Select(page, 0);
        shell_RefreshMenuState();
        for (int id : {cmd::kCut, cmd::kCopy, cmd::kDelete}) EXPECT_EQ(fake->menuEnabled[id], c.selected) << id;
        EXPECT_EQ(fake->menuEnabled[cmd::kPaste], c.clipboard);
        // The context menu as it opens: the empty-space one, or the item one with a selection.
        fake->popupAnswers.push_back(0);
        interact_Sink().onMouseDown(MouseButton::Right, 10, 10, 0);
        const MenuEntry* paste = byId(fake->lastPopup, cmd::kPaste);
        ASSERT_NE(paste, nullptr);
        EXPECT_EQ(paste->enabled, c.clipboard);
        if (c.selected) {
            for (int id : {cmd::kCut, cmd::kCopy, cmd::kDelete}) EXPECT_TRUE(byId(fake->lastPopup, id)->enabled);
        }
    }
    // A click that selects the item (at the pane's centre) enables Cut at once.
    mission_ClearSelection(page);
    shell_RefreshMenuState();
    shell_MapSink().onMouseDown(MouseButton::Left, 400, 300, 0);
    shell_MapSink().onMouseUp(MouseButton::Left, 400, 300, 0);
    EXPECT_TRUE(fake->menuEnabled[cmd::kCut]);
}

TEST_F(Conveniences, RecentFilesAreKeptOfferedAndPrunedWhenMissing) {
    start();
    const std::string a = missionFile("a.mis", {{0, 0}});
    const std::string b = missionFile("b.mis", {{256, 0}});
    const std::string gone = recent_Normal(files.file("gone.mis"));
    keptRecent() = {gone, a};
    shell_BuildMainMenu();
    // The menu lists what the settings held, newest first.
    ASSERT_NE(byId(fake->menu, cmd::kRecentFirst), nullptr);
    EXPECT_NE(byId(fake->menu, cmd::kRecentFirst)->text.find("gone.mis"), std::string::npos);
    EXPECT_EQ(byId(fake->menu, cmd::kRecentFirst + 2), nullptr);

    // Saving and opening put a file first.
    fake->fileAnswers.push_back(b);
    ASSERT_TRUE(shell_SaveMission(mission_CurrentPage()));
    EXPECT_EQ(keptRecent(), (std::vector<std::string>{recent_Normal(b), gone, recent_Normal(a)}));
    shell_MainSink().onCommand(cmd::kRecentFirst + 2);  // a
    EXPECT_EQ(mission_CurrentPage().file_path, recent_Normal(a));
    EXPECT_EQ(keptRecent().front(), recent_Normal(a));

    // A file that is gone is taken off the list with a message, and nothing is opened.
    fake->boxes.clear();                                // the question about the page opened before
    shell_MainSink().onCommand(cmd::kRecentFirst + 2);  // gone
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_NE(fake->boxes[0].text.find(gone), std::string::npos);
    EXPECT_EQ(keptRecent(), (std::vector<std::string>{recent_Normal(a), recent_Normal(b)}));
    EXPECT_EQ(mission_CurrentPage().file_path, recent_Normal(a));
    EXPECT_EQ(byId(fake->menu, cmd::kRecentFirst + 2), nullptr);
}

TEST_F(Conveniences, DroppedMissionOpensIntoTheActivePage) {
    start();
    const std::string mission = missionFile("dropped.MIS", {{512, 512}, {1024, 0}});
    const std::string text = files.write("notes.txt", "not a mission");
    shell_MainSink().onDropFiles({text});
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_NE(fake->boxes[0].text.find("notes.txt"), std::string::npos);
    EXPECT_EQ(mission_CurrentPage().item_count, 0);

    // Page 2, ticked in the menu and named in the title, takes the first mission of a drop.
    shell_MainSink().onCommand(cmd::kPage2);
    EXPECT_TRUE(fake->menuChecks[cmd::kPage2] && !fake->menuChecks[cmd::kPage1]);
    EXPECT_EQ(fake->windowTitle, conv_PageTitle(shell_TitleFor("")));
    shell_MainSink().onDropFiles({text, mission});
    EXPECT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(mission_Pages().page[1].item_count, 2);
    EXPECT_EQ(mission_Pages().page[0].item_count, 0);
    EXPECT_EQ(keptRecent().front(), recent_Normal(mission));
}

TEST(RecentList, OneEntryPerFileEightAtMostNewestFirst) {
    ScopedTempDir dir;
    const std::string base = dir.path().string();
    std::vector<std::string> list;
    for (const char* p : {"/a.mis", "/x/../a.mis", "/./b.mis", "/b.mis", "", "/a.mis"})
        recent_Add(list, *p ? base + p : p);
    EXPECT_EQ(list, (std::vector<std::string>{recent_Normal(base + "/a.mis"), recent_Normal(base + "/b.mis")}));
    EXPECT_TRUE(std::filesystem::path(recent_Normal("some.mis")).is_absolute());
    // A kept list is cleaned as it is read: repeats gone, eight at most, newest first.
    ScopedFakePlatform fake;
    for (int i = 0; i < 12; ++i)
        fake->settingsStore.lists[kRecentSettingsList].push_back("/m/" + std::to_string(i % 10));
    EXPECT_EQ(recent_Load(),
              (std::vector<std::string>{"/m/0", "/m/1", "/m/2", "/m/3", "/m/4", "/m/5", "/m/6", "/m/7"}));
}

TEST(FileSettings, ListsRoundTripThroughTheConfigFolder) {
    ScopedTempDir dir;
    FileSettings s((dir.path() / "sortie").string());
    EXPECT_TRUE(s.list("recent-files").empty());
    s.setList("recent-files", {"/a b/c.mis", "/line\nbreak.mis", "/d.mis"});
    EXPECT_EQ(s.list("recent-files"), (std::vector<std::string>{"/a b/c.mis", "/d.mis"}));
    s.setList("recent-files", {});
    EXPECT_TRUE(s.list("recent-files").empty());
    // A name that would leave the folder is refused.
    s.setList("../escape", {"/x"});
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "escape"));
    EXPECT_TRUE(s.list("../escape").empty());
}

}  // namespace
