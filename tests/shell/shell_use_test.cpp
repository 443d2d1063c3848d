// The shell as a user meets it, through the fake platform: leaving asks once, a failed open
// keeps the open mission, page switches repaint both panes, keys held with Ctrl or Alt are
// left alone, the file dialogs start at the page's file, a missing terrain is named.
#include "shell/shell.h"

#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "mapview/infopane.h"
#include "mapview/view.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "platform/fake_platform.h"
#include "shell/dialogs.h"
#include "support/core_env.h"
#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

class ShellUse : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("text.bin", test_BuildTableBytes(test_ReadSourceFile("data/text/shell.txt") + "\n" +
                                                   test_ReadSourceFile("data/text/faults.txt")));
        dir.write("kz7wpn.bin", test_BuildTableBytes("[WinConditions]\nSTRWINCOND000 = Reach the point\n"));
        ShellArgs a;
        a.dataDir = dir.path().string();
        ASSERT_EQ(shell_Startup(a), 1);
        fake->boxes.clear();  // start-up's note about the missing items.def
    }
    void TearDown() override {
        shell_Reset();
        dialogs_Reset();
        mission_ResetPages();
        text_FreeTables();
        text_SetCurrent(nullptr);
        itemdef_Reset();
        model_Reset();
        sky_Reset();
        mem_Shutdown();
    }
    Mission& page1() { return mission_Pages().page[0]; }
    Mission& page2() { return mission_Pages().page[1]; }

    ScopedFakePlatform fake;
    ScopedTempDir dir;
};

}  // namespace

TEST_F(ShellUse, ExitAsksOnceWhicheverWayTheWindowThenGoes) {
    ScopedItemDefs defs;
    test_AddItem(page1(), kTestJeep);
    test_AddItem(page2(), kTestJeep);
    // Cancel at the second page: the editor stays, its backups still running.
    fake->msgAnswers = {MsgAnswer::No, MsgAnswer::Cancel};
    shell_Command(cmd::kExit);
    EXPECT_EQ(fake->boxes.size(), 2u);
    EXPECT_EQ(fake->quitCalls, 0);
    EXPECT_EQ(fake->timers.count(kBackupTimer), 1u);

    // Yes to both: each page saved once; the quit's close of the window asks nothing more.
    fake->boxes.clear();
    fake->msgAnswers = {MsgAnswer::Yes, MsgAnswer::Yes};
    fake->fileAnswers = {dir.file("p1.mis"), dir.file("p2.mis")};
    shell_Command(cmd::kExit);
    EXPECT_EQ(fake->quitCalls, 1);
    EXPECT_TRUE(shell_MainSink().onCloseRequest());
    EXPECT_EQ(fake->boxes.size(), 2u);
    EXPECT_EQ(fake->fileRequests.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(dir.file("p1.mis")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("p2.mis")));
}

TEST_F(ShellUse, CloseButtonAsksOnceAndExitAfterItDoesNotAskAgain) {
    ScopedItemDefs defs;
    test_AddItem(page1(), kTestJeep);
    fake->msgAnswers = {MsgAnswer::No};
    EXPECT_TRUE(shell_MainSink().onCloseRequest());
    shell_ForwardMapCommand(cmd::kExit);  // the context menu's Exit while the window goes
    EXPECT_TRUE(shell_MainSink().onCloseRequest());
    EXPECT_EQ(fake->boxes.size(), 1u);
}

TEST_F(ShellUse, FailedOpenKeepsThePageItsTitleAndPath) {
    ScopedItemDefs defs;
    const std::string good = dir.file("good.mis");
    test_AddItem(page1(), kTestJeep);
    test_AddItem(page1(), kTestJeep, 512);
    ASSERT_EQ(metafile_Write(page1(), good.c_str()), 1);
    mission_Clear(page1());
    shell_OpenMissionPath(good);
    ASSERT_EQ(page1().item_count, 2);
    ASSERT_NE(page1().terrain, nullptr);  // the maps read with the file came along
    const std::string title = fake->windowTitle;

    const struct {
        const char* name;
        std::string text;
        bool lineError;  // the reader reports it; else the shell says the file was not read
    } cases[] = {
        {"bad line", "begin general_information\nnum_items 1\nend\nbegin item 0\nwobble 3\nend\n", true},
        {"ends inside a block", "begin item 0\ntype_id 200\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake->boxes.clear();
        fake->log.clear();
        const std::string bad = dir.write("bad.mis", c.text);
        shell_OpenMissionPath(bad);
        EXPECT_EQ(page1().item_count, 2);
        EXPECT_EQ(mission_Text(page1().info.file_path), good);
        EXPECT_EQ(fake->windowTitle, title);
        ASSERT_EQ(fake->boxes.size(), 1u);
        const bool named = fake->boxes[0].text.find(bad) != std::string::npos ||
                           std::find(fake->log.begin(), fake->log.end(), "lineError " + bad + ":5") != fake->log.end();
        EXPECT_TRUE(named) << fake->boxes[0].text;
    }
    shell_OpenMissionPath(dir.file("absent.mis"));
    EXPECT_EQ(page1().item_count, 2);
}

TEST_F(ShellUse, OpeningANameThatIsNotThereAsksBeforeStartingANewMission) {
    ScopedItemDefs defs;
    test_AddItem(page1(), kTestJeep);
    const std::string fresh = dir.file("new.mis");
    fake->fileAnswers = {fresh};
    fake->msgAnswers = {MsgAnswer::No};
    EXPECT_FALSE(shell_OpenMission());
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(fake->boxes[0].text, text_Printf("Dialog Message", "CREATE_MISSION?", {"new.mis"}));
    EXPECT_EQ(page1().item_count, 1);

    fake->fileAnswers = {fresh};
    fake->msgAnswers = {MsgAnswer::Yes};
    EXPECT_TRUE(shell_OpenMission());
    EXPECT_EQ(page1().item_count, 0);
    EXPECT_EQ(mission_Text(page1().info.file_path), fresh);
}

TEST_F(ShellUse, MissingTerrainIsNamedOnOpen) {
    ScopedItemDefs defs;
    for (const char* terrain : {"nowhere", ""}) {
        SCOPED_TRACE(terrain);
        auto m = test_NewMission();
        mission_SetText(m->info.terrain, terrain);
        const std::string file = dir.file("t.mis");
        ASSERT_EQ(metafile_Write(*m, file.c_str()), 1);
        fake->boxes.clear();
        shell_OpenMissionPath(file);
        if (*terrain) {
            ASSERT_EQ(fake->boxes.size(), 1u);
            EXPECT_NE(fake->boxes[0].text.find(terrain), std::string::npos) << fake->boxes[0].text;
        } else {
            EXPECT_TRUE(fake->boxes.empty());
        }
    }
}

TEST_F(ShellUse, PageSwitchRepaintsBothPanesFromTheNewPage) {
    ScopedItemDefs defs;
    for (int i = 0; i < 3; ++i) mission_Select(page1(), test_AddItem(page1(), kTestJeep, i * 256));
    test_AddItem(page2(), kTestJeep);
    shell_RepaintItems();
    const auto texts = [](const std::vector<PaneLine>& lines) {
        std::vector<std::string> out;
        for (const PaneLine& l : lines) out.push_back(l.text);
        return out;
    };
    for (int id : {cmd::kPage2, cmd::kPage1}) {
        view_State().center_x += 2560;  // the centre pane is written again too
        shell_Command(id);
        const CharMetrics m = shell_State().metrics;
        EXPECT_EQ(texts(fake->paneLines[kPaneSelection]), texts(infopane_SelectionLines(mission_CurrentPage(), m))) << id;
        EXPECT_EQ(texts(fake->paneLines[kPaneCentre]), texts(infopane_CentreLines(view_State()))) << id;
    }
}

TEST_F(ShellUse, KeysHeldWithCtrlOrAltRunNoTableCommand) {
    ScopedItemDefs defs;
    const struct {
        Key key;
        unsigned mods;
        bool runs;
    } cases[] = {
        {Key::U, kModCtrl, false}, {Key::U, kModAlt, false}, {Key::Delete, kModCtrl | kModShift, false},
        {Key::Insert, kModAlt, false}, {Key::U, 0, true},    {Key::Delete, 0, true},
        {Key::Insert, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.key) * 10 + static_cast<int>(c.mods));
        mission_Clear(page1());
        mission_Select(page1(), test_AddItem(page1(), kTestJeep));
        view_State().insert_mode = 0;
        shell_Key(c.key, c.mods);
        const bool ran = page1().selection.count == 0 || page1().item_count == 0 || view_State().insert_mode != 0;
        EXPECT_EQ(ran, c.runs);
    }
}

TEST_F(ShellUse, SaveAndExportStartAtThePagesFileUnderTheirOwnTitles) {
    mission_SetText(page1().info.file_path, "/missions/desert/raid.mis");
    fake->fileAnswers = {std::nullopt, std::nullopt};
    shell_Command(cmd::kSave);
    shell_Command(cmd::kExport);
    ASSERT_EQ(fake->fileRequests.size(), 2u);
    const FileDialogRequest& save = fake->fileRequests[0];
    const FileDialogRequest& exp = fake->fileRequests[1];
    EXPECT_EQ(save.startFolder, "/missions/desert");
    EXPECT_EQ(save.initialName, "raid.mis");
    EXPECT_EQ(exp.startFolder, "/missions/desert");
    EXPECT_EQ(exp.initialName, "raid.bms");
    EXPECT_EQ(exp.defaultExtension, "bms");
    EXPECT_FALSE(save.title.empty());
    EXPECT_FALSE(exp.title.empty());
    EXPECT_NE(save.title, exp.title);

    // A page without a file: the dialogs start where the system puts them, with no name.
    fake->fileRequests.clear();
    mission_SetText(page2().info.file_path, "");
    shell_Command(cmd::kPage2);
    shell_Command(cmd::kExport);
    ASSERT_EQ(fake->fileRequests.size(), 1u);
    EXPECT_TRUE(fake->fileRequests[0].startFolder.empty());
    EXPECT_TRUE(fake->fileRequests[0].initialName.empty());
}
