// The shell as a user meets it, through the fake platform: leaving asks once, a failed open
// keeps the open mission, page switches repaint both panes, keys held with Ctrl or Alt are
// left alone, the file dialogs start at the page's file, a missing terrain is named.
#include "shell/shell.h"

#include "core/text.h"
#include "mapview/infopane.h"
#include "mapview/view.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "support/mission_pages.h"
#include "support/shell_env.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

class ShellUse : public ShellEnvTest {
protected:
    ShellUse() : ShellEnvTest({"data/text/faults.txt"}) {}
    void SetUp() override { startShell(); }
    Mission& page1() { return mission_Pages().page[0]; }

    ScopedTempDir& dir = data;
};

std::vector<std::string> texts(const std::vector<PaneLine>& lines) {
    std::vector<std::string> out;
    for (const PaneLine& l : lines) out.push_back(l.text);
    return out;
}

}  // namespace

TEST_F(ShellUse, ExitAsksOncePerPageWhicheverWayTheWindowThenGoes) {
    test_AddItem(page1(), kTestJeep);
    test_AddItem(mission_Pages().page[1], kTestJeep);
    fake->msgAnswers = {MsgAnswer::No, MsgAnswer::Cancel};  // stays, its backups still running
    shell_Command(cmd::kExit);
    EXPECT_EQ(fake->quitCalls, 0);
    EXPECT_EQ(fake->timers.count(kBackupTimer), 1u);
    fake->boxes.clear();
    fake->msgAnswers = {MsgAnswer::Yes, MsgAnswer::Yes};
    fake->fileAnswers = {dir.file("p1.mis"), dir.file("p2.mis")};
    shell_Command(cmd::kExit);
    EXPECT_EQ(fake->quitCalls, 1);
    // The quit closes the window; that close, and the context menu's Exit, ask nothing more.
    EXPECT_TRUE(shell_MainSink().onCloseRequest());
    shell_ForwardMapCommand(cmd::kExit);
    EXPECT_EQ(fake->boxes.size(), 2u);
    EXPECT_EQ(fake->fileRequests.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(dir.file("p2.mis")));
}

TEST_F(ShellUse, FailedOpenKeepsThePageItsTitleAndPathAndNamesTheFile) {
    const std::string good = dir.file("good.mis");
    test_AddItem(page1(), kTestJeep);
    test_AddItem(page1(), kTestJeep, 512);
    ASSERT_EQ(metafile_Write(page1(), good.c_str()), 1);
    mission_Clear(page1());
    shell_OpenMissionPath(good);
    ASSERT_EQ(page1().item_count, 2);
    const std::string title = fake->windowTitle;
    // A bad line is reported by the reader (with its file); a file that ends inside a block
    // or cannot be opened, by the shell.
    const char* const bads[] = {"begin general_information\nnum_items 1\nend\nbegin item 0\nwobble 3\nend\n",
                                "begin item 0\ntype_id 200\n", nullptr};
    for (const char* text : bads) {
        fake->boxes.clear();
        fake->log.clear();
        const std::string bad = text ? dir.write("bad.mis", text) : dir.file("absent.mis");
        shell_OpenMissionPath(bad);
        EXPECT_EQ(page1().item_count, 2);
        EXPECT_EQ(page1().file_path, good);
        EXPECT_EQ(fake->windowTitle, title);
        ASSERT_EQ(fake->boxes.size(), 1u);
        const bool named = fake->boxes[0].text.find(bad) != std::string::npos ||
                           std::count(fake->log.begin(), fake->log.end(), "lineError " + bad + ":5") == 1;
        EXPECT_TRUE(named) << fake->boxes[0].text;
    }
}

TEST_F(ShellUse, OpeningANameThatIsNotThereAsksBeforeStartingANewMission) {
    test_AddItem(page1(), kTestJeep);
    for (MsgAnswer a : {MsgAnswer::No, MsgAnswer::Yes}) {
        fake->fileAnswers = {dir.file("new.mis")};
        fake->msgAnswers = {a};
        EXPECT_EQ(shell_OpenMission(), a == MsgAnswer::Yes);
        EXPECT_EQ(fake->boxes.back().text, text_Printf("Dialog Message", "CREATE_MISSION?", {"new.mis"}));
        EXPECT_EQ(page1().item_count, a == MsgAnswer::Yes ? 0 : 1);
    }
    EXPECT_EQ(page1().file_path, dir.file("new.mis"));
}

TEST_F(ShellUse, MissingTerrainIsNamedOnOpen) {
    for (const char* terrain : {"nowhere", ""}) {
        auto m = test_NewMission();
        mission_SetText(m->info.terrain, terrain);
        ASSERT_EQ(metafile_Write(*m, dir.file("t.mis").c_str()), 1);
        fake->boxes.clear();
        shell_OpenMissionPath(dir.file("t.mis"));
        ASSERT_EQ(fake->boxes.size(), *terrain ? 1u : 0u);
        if (*terrain) EXPECT_NE(fake->boxes[0].text.find("\"nowhere\""), std::string::npos);
    }
}

TEST_F(ShellUse, PageSwitchRepaintsBothPanesFromTheNewPage) {
    for (int i = 0; i < 3; ++i) mission_Select(page1(), test_AddItem(page1(), kTestJeep, i * 256));
    shell_RepaintItems();
    for (int id : {cmd::kPage2, cmd::kPage1}) {
        view_State().center_x += 2560;
        shell_Command(id);
        EXPECT_EQ(texts(fake->paneLines[kPaneSelection]),
                  texts(infopane_SelectionLines(mission_CurrentPage(), shell_State().metrics)));
        ASSERT_FALSE(fake->paneLines[kPaneCentre].empty());
        EXPECT_EQ(fake->paneLines[kPaneCentre].front().text, infopane_CentreLines(view_State()).front().text);
    }
}

TEST_F(ShellUse, KeysHeldWithCtrlOrAltRunNoTableCommand) {
    const struct {
        Key key;
        unsigned mods;
        bool runs;
    } cases[] = {{Key::U, kModCtrl, false},     {Key::U, kModAlt, false}, {Key::Delete, kModCtrl | kModShift, false},
                 {Key::Insert, kModAlt, false}, {Key::U, 0, true},        {Key::Delete, 0, true},
                 {Key::Insert, kModShift, true}};
    for (const auto& c : cases) {
        mission_Clear(page1());
        mission_Select(page1(), test_AddItem(page1(), kTestJeep));
        view_State().insert_mode = 0;
        shell_Key(c.key, c.mods);
        const bool ran = page1().selection.count == 0 || view_State().insert_mode != 0;
        EXPECT_EQ(ran, c.runs) << static_cast<int>(c.key) << " with " << c.mods;
    }
}

TEST_F(ShellUse, SaveAndExportStartAtThePagesFileUnderTheirOwnTitles) {
    page1().file_path = "/missions/desert/raid.mis";
    shell_Command(cmd::kSaveAs);
    shell_Command(cmd::kExport);
    shell_Command(cmd::kPage2);  // a page without a file: no folder, no name
    shell_Command(cmd::kExport);
    const auto& r = fake->fileRequests;
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].startFolder + "|" + r[0].initialName, "/missions/desert|raid.mis");
    EXPECT_EQ(r[1].startFolder + "|" + r[1].initialName + "|" + r[1].defaultExtension, "/missions/desert|raid.bms|bms");
    EXPECT_EQ(r[2].startFolder + "|" + r[2].initialName, "|");
    EXPECT_FALSE(r[0].title.empty());
    EXPECT_NE(r[0].title, r[1].title);
}
