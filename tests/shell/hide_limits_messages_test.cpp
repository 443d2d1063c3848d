// Commands act only on what the user sees, and what goes wrong is told as it is: hiding
// deselects, a count the blocks do not meet is said once on open, and a failed save names the
// cause the system gave at the step that failed.
#include "core/text.h"
#include "mapview/infopane.h"
#include "mapview/view.h"
#include "mission/metafile.h"
#include "mission/undo.h"
#include "resources/shell_dialogs.h"
#include "shell/history.h"
#include "shell/shell.h"
#include "support/mission_pages.h"
#include "support/shell_env.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

class ShellHonesty : public ShellEnvTest {
protected:
    ShellHonesty()
        : ShellEnvTest({"data/text/undo.txt", "data/text/faults.txt", "data/text/missionfiles.txt",
                        "data/text/foundation.txt"}) {}

    std::vector<std::int32_t> selection(const Mission& m) {
        return {m.selection.index.begin(), m.selection.index.begin() + m.selection.count};
    }

    ScopedTempDir state, out;
    ScopedEnvVar stateHome{"XDG_STATE_HOME", state.path().c_str()};
};

}  // namespace

// Hiding a kind, a team or a layer drops the hidden items from the selection, in the step of
// the hide, so Delete takes only what is shown; the selection pane counts what is left.
TEST_F(ShellHonesty, HidingDeselectsWhatItHidesInTheSameStep) {
    const struct {
        const char* what;
        int command;
        void (*prepare)(MissionItem&);  // makes the item one the command hides
        bool undoable;                  // layers are the page's; the show flags are the view's
    } cases[] = {
        {"a kind", cmd::kToggleVehicles, [](MissionItem& it) { it.type_id = kTestJeep, mission_SetItemDefaults(it); },
         false},
        {"a team", cmd::kToggleRed, [](MissionItem& it) { it.team = kTeamEvil; }, false},
        {"a layer", cmd::kVisibleLayers, [](MissionItem& it) { it.layer = 3; }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startShell();
        fake->dialogScripts["VISIBLELAYERS"] = [](FakeDialog& d) {
            d.toggle(dlgid::kLayerCheckFirst + 3);
            d.click(kIdOk);
        };
        Mission& page = mission_CurrentPage();
        const std::int32_t shown = test_AddItem(page, kTestRifleman, 0, 0);
        const std::int32_t hidden = test_AddItem(page, kTestRifleman, 2560, 0);
        c.prepare(page.items[std::size_t(hidden)]);
        history_Baseline(mission_Pages().current, true);
        mission_Select(page, hidden);
        mission_Select(page, shown);

        shell_Command(c.command);
        ASSERT_FALSE(view_ItemVisible(page, hidden));
        EXPECT_EQ(selection(page), (std::vector<std::int32_t>{shown}));
        EXPECT_EQ(fake->paneLines[kPaneSelection][0].text, text_Printf("Med Selection", "SELECTED_NUM", {1}));
        if (c.undoable) {
            // Undo brings the layer back with the selection as it was before the hide.
            shell_Command(cmd::kUndo);
            EXPECT_TRUE(view_ItemVisible(page, hidden));
            EXPECT_EQ(selection(page), (std::vector<std::int32_t>{hidden, shown}));
            shell_Command(cmd::kRedo);
        }
        shell_Command(cmd::kDelete);
        ASSERT_EQ(page.item_count, 1);
        EXPECT_EQ(page.items[0].x, 2560);  // the hidden item is still there
    }
}

TEST_F(ShellHonesty, OpenSaysOnceThatTheCountsAreLargerThanTheBlocks) {
    startShell();
    const std::string path = out.write("short.mis",
                                       "begin general_information\nnum_items 4\nnum_events 2\nend\n"
                                       "begin item 0\nid 3\ntype_id 200\nend\nbegin item 2\nid 9\ntype_id 200\nend\n");
    shell_OpenMissionPath(path);
    const Mission& page = mission_CurrentPage();
    EXPECT_EQ(page.item_count, 2);
    EXPECT_EQ(page.items[1].id, 9);
    EXPECT_EQ(page.event_count, 0);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(fake->boxes[0].text, text_Printf("Dialog Message", "COUNTS_NOT_MET", {path, 4, 2, 2, 0}));

    // A file whose counts are met says nothing.
    fake->boxes.clear();
    shell_OpenMissionPath(out.write("met.mis",
                                    "begin general_information\nnum_items 1\nend\n"
                                    "begin item 0\nid 3\ntype_id 200\nend\n"));
    EXPECT_TRUE(fake->boxes.empty());
}

// A save that cannot be completed names what the system said when the write itself failed
// (here a file size limit stands in for a full disk: creating the file works, writing it
// does not), not what a later probe happens to find.
TEST_F(ShellHonesty, AFailedSaveNamesTheCauseOfTheStepThatFailed) {
    startShell();
    auto m = test_NewMission();
    for (int i = 0; i < 200; ++i) test_AddItem(*m, kTestJeep, i * 256, 0);
    const std::string path = out.file("big.mis");

    struct rlimit before {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 2048;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = shell_WriteMission(*m, path);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_NE(fake->boxes[0].text.find(std::strerror(EFBIG)), std::string::npos) << fake->boxes[0].text;
    EXPECT_NE(fake->boxes[0].text.find(path), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path));
}
