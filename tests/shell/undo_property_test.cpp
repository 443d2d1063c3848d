// Undo as a property: random sequences of real commands, map gestures and editor sessions on
// the sample missions and on a page with wind entries. After every action the title's mark
// says whether the page differs from its file; at the end, undoing everything gives the page
// as it was opened and redoing everything gives it as it ended. The same driver runs longer
// from the command line: sortie_tests --gtest_filter='UndoProperty.*' with SORTIE_UNDO_ACTIONS.
#include "shell/history.h"

#include "core/text.h"
#include "mapview/view.h"
#include "mission/metafile.h"
#include "mission/undo.h"
#include "resources/shell_dialogs.h"
#include "shell/shell.h"
#include "support/mission_pages.h"
#include "support/shell_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

namespace fs = std::filesystem;

// A page with wind entries, which live beside the tables.
constexpr const char* kWindMission =
    "begin general_information\nname \"Windy\"\nnum_items 2\nend general_information\n\n"
    "begin wind 1\nname \"gust\"\nstart 10\nstop 20\nheading 90\nspeed 12\nend\n\n"
    "begin wind 2\nname \"calm\"\nstart 30\nstop 40\nheading 180\nspeed 3\nend\n\n"
    "begin item 0\ntype_id 200\nposition 2560 2560 0\nend item\n\n"
    "begin item 1\ntype_id 300\nposition 5120 2560 0\nend item\n";

class UndoProperty : public ShellEnvTest, public ::testing::WithParamInterface<const char*> {
protected:
    UndoProperty() : ShellEnvTest({"data/text/undo.txt", "data/text/faults.txt", "data/text/logic.txt"}) {}

    std::string missionPath() {
        // A copy: nothing here may write over the sample missions.
        const std::string name = GetParam();
        const std::string path = dir.file(name + ".mis");
        if (name != "wind")
            fs::copy_file(std::string(SORTIE_SOURCE_DIR) + "/data/missions/" + name + ".mis", path,
                          fs::copy_options::overwrite_existing);
        else
            std::ofstream(path, std::ios::binary) << kWindMission;
        return path;
    }

    bool marked() { return fake->windowTitle.rfind("*", 0) == 0; }

    // One random action of a user; the page changes through the shell only.
    void act(std::mt19937& rng, Mission& page) {
        auto pick = [&](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); };
        MapPaneSink& map = shell_MapSink();
        const auto selectSome = [&] {
            shell_Command(cmd::kUnselectAll);
            const int n = std::max(page.item_count, 0);
            for (int k = 0, want = 1 + pick(4); n > 0 && k < want; ++k) mission_Select(page, pick(n));
        };
        const int kind = pick(14);
        lastKind = kind;
        switch (kind) {
        case 0:
            selectSome();
            shell_Command(cmd::kDelete);
            break;
        case 1:
            selectSome();
            shell_Command(cmd::kCut);
            break;
        case 2:
            selectSome();
            shell_Command(cmd::kCopy);
            break;
        case 3:
            shell_Command(cmd::kPaste);
            map.onMouseMove(100 + pick(600), 100 + pick(400), 0);
            map.onMouseDown(MouseButton::Left, 300, 300, 0);
            map.onMouseUp(MouseButton::Left, 300, 300, 0);
            break;
        case 4:
            selectSome();
            shell_Command(cmd::kMove);
            for (int k = 0; k < 3; ++k) map.onMouseMove(200 + pick(400), 200 + pick(200), 0);
            // Sometimes the move is given up with the right button: no step.
            if (pick(4) == 0) {
                map.onMouseDown(MouseButton::Right, 300, 300, 0);
                map.onMouseUp(MouseButton::Right, 300, 300, 0);
            } else {
                map.onMouseDown(MouseButton::Left, 320, 310, 0);
                map.onMouseUp(MouseButton::Left, 320, 310, 0);
            }
            break;
        case 5:
            selectSome();
            shell_Command(pick(2) ? cmd::kHideSelected : cmd::kHideUnselected);
            break;
        case 6: shell_Command(cmd::kUnhideAll); break;
        case 7: {
            const std::string text = "Brief " + std::to_string(pick(1000));
            fake->dialogScripts["EDITBRIEFING"] = [text](FakeDialog& d) {
                d.type(dlgid::kBriefingEdit, text);
                d.click(kIdOk);
            };
            shell_Command(cmd::kBriefing);
            break;
        }
        case 8:
        case 9: shell_Command(cmd::kUndo); break;
        case 10: shell_Command(cmd::kRedo); break;
        case 11: {
            // A band drawn with the left button adds to the selection; no step of its own.
            map.onMouseDown(MouseButton::Left, 100 + pick(300), 100 + pick(300), kModShift);
            map.onMouseMove(500, 500, kModShift);
            map.onMouseUp(MouseButton::Left, 500, 500, kModShift);
            break;
        }
        case 12:
            // The question about the modified page: the changes are given up, never saved.
            fake->msgAnswers = {MsgAnswer::No};
            shell_Command(cmd::kClear);
            fake->msgAnswers.clear();
            break;
        case 13: {
            fake->dialogScripts["EDITBRIEFING"] = [](FakeDialog& d) { d.click(kIdCancel); };
            shell_Command(cmd::kBriefing);  // looked at, cancelled: no step
            break;
        }
        }
    }

    int lastKind = -1;
    ScopedTempDir dir, state;
    ScopedEnvVar stateHome{"XDG_STATE_HOME", state.path().c_str()};
};

TEST_P(UndoProperty, RandomSessionsUndoToTheStartAndRedoToTheEnd) {
    startShell({}, true);
    const char* env = std::getenv("SORTIE_UNDO_ACTIONS");
    const int actions = env ? std::max(1, std::atoi(env)) : 150;
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        fake->msgAnswers.clear();
        shell_OpenMissionPath(missionPath());
        Mission& page = mission_CurrentPage();
        ASSERT_GT(page.item_count, 0);
        const auto start = test_NewMission();
        static_cast<MissionTables&>(*start) = static_cast<const MissionTables&>(page);
        start->wind_list = page.wind_list;
        start->file_path = page.file_path;

        std::mt19937 rng(seed);
        const std::string fileBytes = readWholeFile(page.file_path);
        for (int a = 0; a < actions; ++a) {
            act(rng, page);
            // The title tells the truth: content the file does not hold is always marked.
            if (!undo_SameContent(page, *start)) ASSERT_TRUE(marked()) << "action " << a << " of kind " << lastKind;
        }
        // The newest state is what redoing everything must come back to.
        const UndoHistory& h = undo_PageHistory(0);
        while (h.canRedo()) shell_Command(cmd::kRedo);
        const auto end = test_NewMission();
        static_cast<MissionTables&>(*end) = static_cast<const MissionTables&>(page);
        end->wind_list = page.wind_list;
        end->file_path = page.file_path;

        while (h.canUndo()) shell_Command(cmd::kUndo);
        EXPECT_TRUE(undo_SameContent(page, *start));
        EXPECT_FALSE(marked());
        EXPECT_EQ(readWholeFile(page.file_path), fileBytes);  // nothing was saved on the way
        while (h.canRedo()) shell_Command(cmd::kRedo);
        EXPECT_TRUE(undo_SameContent(page, *end));
        // Back to the file for the next seed, without a question.
        while (h.canUndo()) shell_Command(cmd::kUndo);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, UndoProperty, ::testing::Values("tutorial", "full", "wind"));

}  // namespace
