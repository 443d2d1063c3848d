// The seams where work could be lost: menus rebuilt under the history, long paths, recovery
// against hostile or mistimed backups, exports and listings that must not touch the mission,
// and the program's own small files. Through the shell on the fake platform.
#include "shell/history.h"

#include "core/file.h"
#include "core/text.h"
#include "logic/listings.h"
#include "mission/export.h"
#include "mission/metafile.h"
#include "mission/undo.h"
#include "platform/settings.h"
#include "resources/templates.h"
#include "shell/recent.h"
#include "shell/shell.h"
#include "support/mission_pages.h"
#include "support/shell_env.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class TrustTest : public ShellEnvTest {
protected:
    TrustTest()
        : ShellEnvTest(
              {"data/text/undo.txt", "data/text/faults.txt", "data/text/logic.txt", "data/text/conveniences.txt"}) {}

    void start(bool recovery = false, std::string mission = {}) {
        ShellArgs a;
        a.recovery = recovery;
        a.mission = std::move(mission);
        startShell(a, false);
    }

    std::string missionFile(const std::string& path, int n) {
        auto m = test_NewMission();
        for (int i = 0; i < n; ++i) test_AddItem(*m, kTestJeep, i * 2560, 0);
        EXPECT_EQ(metafile_Write(*m, path.c_str()), 1);
        return path;
    }

    // A page of page's state was backed up, then the editor "crashed" (no clean exit).
    std::string crashWithBackup(const std::string& file) {
        start(true);
        shell_OpenMissionPath(file);
        test_AddItem(mission_CurrentPage(), kTestCrate, 5000, 5000);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        shell_Timer(kBackupTimer);
        const std::string backup = history_BackupPath(0);
        EXPECT_TRUE(fs::exists(backup));
        return backup;
    }

    bool titleMarked() { return fake->windowTitle.rfind("*", 0) == 0; }

    ScopedTempDir state, out;
    ScopedEnvVar stateHome{"XDG_STATE_HOME", state.path().c_str()};
};

// Undo and Redo after the menus were rebuilt (a save notes the file in Recent Files): the
// rebuilt menu starts from its entries, and the history must set its entries again.
TEST_F(TrustTest, UndoAndRedoStayLiveAcrossSaveAndSaveAs) {
    start();
    ScopedItemDefs defs;
    const std::string file = missionFile(out.file("a.mis"), 4);
    shell_OpenMissionPath(file);
    Mission& page = mission_CurrentPage();
    mission_Select(page, 0);
    mission_Select(page, 1);
    shell_Command(cmd::kDelete);
    shell_Command(cmd::kSave);
    EXPECT_TRUE(fake->menuEnabled[cmd::kUndo]);
    EXPECT_EQ(fake->menuTexts[cmd::kUndo], text_Printf("Undo", "MENU_UNDO_NAMED", {text_Get("Undo", "STEP_DELETE")}));
    shell_Command(cmd::kUndo);
    EXPECT_EQ(page.item_count, 4);
    EXPECT_TRUE(fake->menuEnabled[cmd::kRedo]);

    // Save As with a redo waiting: the redo is still there, and runs.
    fake->fileAnswers = {out.file("b.mis")};
    shell_Command(cmd::kSaveAs);
    EXPECT_TRUE(fake->menuEnabled[cmd::kRedo]);
    shell_Command(cmd::kRedo);
    EXPECT_EQ(page.item_count, 2);
    EXPECT_TRUE(titleMarked());
}

// The page's path is kept whole: Save writes exactly there, and the title, Recent Files and
// the backup notes carry it.
TEST_F(TrustTest, ALongPathSavesInPlace) {
    start(true);
    ScopedItemDefs defs;
    fs::path dir = out.path();
    while (dir.string().size() < 200) dir /= "a-folder-with-a-rather-long-name";
    fs::create_directories(dir);
    std::string name(250 - dir.string().size() - 1 - 4, 'm');
    const std::string file = (dir / (name + ".mis")).string();
    ASSERT_EQ(file.size(), 250u);
    missionFile(file, 2);
    shell_OpenMissionPath(file);
    test_AddItem(mission_CurrentPage(), kTestCrate, 100, 100);
    shell_Timer(kBackupTimer);
    EXPECT_NE(readWholeFile((fs::path(history_BackupPath(0)).parent_path() / "backups.txt").string()).find(file),
              std::string::npos);
    shell_Command(cmd::kSave);
    EXPECT_NE(readWholeFile(file).find("num_items 3"), std::string::npos);
    EXPECT_EQ(mission_CurrentPage().file_path, file);
    EXPECT_NE(fake->windowTitle.find(name + ".mis"), std::string::npos);
    EXPECT_FALSE(titleMarked());
    ASSERT_FALSE(recent_Load().empty());
    EXPECT_EQ(recent_Load().front(), file);
    // Nothing was written beside it under a cut name.
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir)) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

// The backup timer fires while the recovery question is open; the backup survives until it
// is answered, and the recovered page is saved only under a name the user confirms.
TEST_F(TrustTest, RecoveryQuestionSurvivesTheTimerAndTheFirstSaveAsksForAName) {
    ScopedItemDefs defs;
    const std::string file = missionFile(out.file("work.mis"), 2);
    const std::string original = readWholeFile(file);
    const std::string backup = crashWithBackup(file);

    fake->duringModal = [] { shell_Timer(kBackupTimer); };
    fake->msgAnswers = {MsgAnswer::Yes};
    start(true);
    fake->duringModal = nullptr;
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(mission_CurrentPage().item_count, 3);
    EXPECT_TRUE(history_PageRecovered(0));
    EXPECT_FALSE(fs::exists(backup));  // answered: the work is in the page now

    // Ctrl+S asks where, proposing the original; cancelled, nothing is written.
    shell_Command(cmd::kSave);
    ASSERT_EQ(fake->fileRequests.size(), 1u);
    EXPECT_EQ(fake->fileRequests[0].initialName, "work.mis");
    EXPECT_EQ(readWholeFile(file), original);
    EXPECT_TRUE(titleMarked());
    // Confirmed: written, and the next Save goes straight to the file.
    fake->fileAnswers = {file};
    shell_Command(cmd::kSave);
    EXPECT_NE(readWholeFile(file).find("num_items 3"), std::string::npos);
    EXPECT_FALSE(history_PageRecovered(0));
    shell_Command(cmd::kSave);
    EXPECT_EQ(fake->fileRequests.size(), 2u);
}

// A backup that does not read completely is never offered: said, named, kept; the pages and
// the original stay as they are.
TEST_F(TrustTest, AMalformedBackupIsRefusedAndKept) {
    ScopedItemDefs defs;
    const std::string file = missionFile(out.file("work.mis"), 2);
    const std::string original = readWholeFile(file);
    const std::string good = readWholeFile(crashWithBackup(file));
    const std::map<std::string, std::string> cases = {
        {"empty", ""},
        {"truncated", good.substr(0, good.size() / 2)},
        {"random bytes", std::string("\x8f\x00\xff\x12\x9a\x01zz\x80", 9) + std::string(300, '\xfe')},
        {"a bad line", "begin general_information\nname \"x\"\nnonsense here 1 2 3\nend general_information\n"},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        const std::string backup = crashWithBackup(file);
        { std::ofstream(backup, std::ios::binary | std::ios::trunc) << bytes; }
        fake->boxes.clear();
        start(true);
        ASSERT_FALSE(fake->boxes.empty());
        EXPECT_NE(fake->boxes.back().text.find(backup), std::string::npos);
        EXPECT_EQ(fake->boxes.back().icon, MsgIcon::Warning);
        EXPECT_TRUE(fs::exists(backup));
        EXPECT_EQ(mission_CurrentPage().item_count, 0);
        EXPECT_TRUE(mission_CurrentPage().file_path.empty());
        EXPECT_FALSE(titleMarked());
        EXPECT_EQ(readWholeFile(file), original);
        fs::remove(backup);
    }
}

// A backup whose page already holds another file goes into the other page; one of an editor
// still running is neither offered nor touched.
TEST_F(TrustTest, BackupsGoToAFreePageAndARunningEditorsStayAlone) {
    ScopedItemDefs defs;
    const std::string file = missionFile(out.file("work.mis"), 2);
    const std::string other = missionFile(out.file("other.mis"), 5);
    const std::string backup = crashWithBackup(file);

    fake->msgAnswers = {MsgAnswer::Yes};
    start(true, other);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(mission_Pages().page[0].item_count, 5);
    EXPECT_EQ(mission_Pages().page[1].item_count, 3);
    EXPECT_EQ(mission_Pages().page[1].file_path, file);
    EXPECT_FALSE(fs::exists(backup));

    // Another editor holds its folder's lock: its backup is left alone.
    const fs::path theirs = fs::path(shell_BackupFolder()) / "editor-running";
    fs::create_directories(theirs);
    const int lock = file_TryLock((theirs / "lock").string());
    ASSERT_GE(lock, 0);
    fs::copy_file(file, theirs / "MEDP1BCK.MIS");
    fake->boxes.clear();
    start(true);
    shell_Shutdown();
    EXPECT_TRUE(fake->boxes.empty());
    EXPECT_TRUE(fs::exists(theirs / "MEDP1BCK.MIS"));
    file_Unlock(lock);
}

// One file is never open in both pages, and Save does not overwrite what another program
// wrote to the file since the page read it.
TEST_F(TrustTest, OneFileInTwoPagesAndChangesOnDisk) {
    start();
    ScopedItemDefs defs;
    const std::string file = missionFile(out.file("shared.mis"), 3);
    shell_OpenMissionPath(file);
    shell_Command(cmd::kPage2);
    fake->msgAnswers = {MsgAnswer::Yes};
    shell_OpenMissionPath(out.path().string() + "/./shared.mis");
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(mission_Pages().current, 0);
    EXPECT_EQ(mission_Pages().page[1].item_count, 0);

    // Save As from page 2 onto the file page 1 holds: said, and asked again.
    shell_Command(cmd::kPage2);
    test_AddItem(mission_CurrentPage(), kTestCrate, 10, 10);
    fake->boxes.clear();
    fake->fileAnswers = {file, std::nullopt};
    shell_Command(cmd::kSaveAs);
    EXPECT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(fake->fileRequests.size(), 2u);
    EXPECT_EQ(readWholeFile(file).find("num_items 1"), std::string::npos);

    // Another program writes the file; page 1's Save asks: Cancel writes nothing, Yes does.
    shell_Command(cmd::kPage1);
    mission_Select(mission_CurrentPage(), 0);
    shell_Command(cmd::kDelete);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    missionFile(file, 7);
    const std::string theirs = readWholeFile(file);
    fake->boxes.clear();
    fake->msgAnswers = {MsgAnswer::Cancel};
    shell_Command(cmd::kSave);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_EQ(readWholeFile(file), theirs);
    EXPECT_TRUE(titleMarked());
    fake->msgAnswers = {MsgAnswer::Yes};
    shell_Command(cmd::kSave);
    EXPECT_NE(readWholeFile(file).find("num_items 2"), std::string::npos);
    EXPECT_FALSE(titleMarked());
    fake->boxes.clear();
    shell_Command(cmd::kSave);  // nothing changed behind it since: no question
    EXPECT_TRUE(fake->boxes.empty());
}

TEST_F(TrustTest, ExportLeavesThePageItsOrderAndItsHistoryAlone) {
    start();
    ScopedItemDefs defs;
    auto m = test_NewMission();
    test_AddItem(*m, kTestCrate, 0, 0);
    test_AddItem(*m, kTestJeep, 2560, 0);
    test_AddItem(*m, kTestRifleman, 5120, 0);
    const std::string file = out.file("unsorted.mis");
    ASSERT_EQ(metafile_Write(*m, file.c_str()), 1);
    shell_OpenMissionPath(file);
    Mission& page = mission_CurrentPage();
    const std::vector<std::uint8_t> expected = mission_ExportBinaryBytes(page, nullptr);
    const auto before = test_NewMission();
    static_cast<MissionTables&>(*before) = static_cast<const MissionTables&>(page);
    fake->fileAnswers = {out.file("out.bms")};
    shell_Command(cmd::kExport);
    const std::string written = readWholeFile(out.file("out.bms"));
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()), expected);
    EXPECT_EQ(std::memcmp(static_cast<MissionTables*>(before.get()), static_cast<MissionTables*>(&page),
                          sizeof(MissionTables)),
              0);
    EXPECT_FALSE(titleMarked());
    EXPECT_FALSE(history_PageModified(0));
    EXPECT_FALSE(fake->menuEnabled[cmd::kUndo]);
}

// A listing takes its own extension and never replaces a mission, whatever its name.
TEST_F(TrustTest, AListingNeverReplacesAMission) {
    start();
    const std::string mis = missionFile(out.file("m.mis"), 1);
    const std::string disguised = missionFile(out.file("notes.txt"), 1);
    const std::string bms = out.file("m.bms");
    { std::ofstream(bms, std::ios::binary) << "BMS\x0f"; }
    fake->fileAnswers = {mis, disguised, bms, out.file("list.txt")};
    const std::optional<std::string> chosen = list_AskTextFile(nullptr);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, out.file("list.txt"));
    EXPECT_EQ(fake->boxes.size(), 3u);
    ASSERT_EQ(fake->fileRequests.size(), 4u);
    EXPECT_EQ(fake->fileRequests[0].defaultExtension, "txt");
    EXPECT_EQ(fake->fileRequests[1].initialName, "m.txt");
}

// An empty or blank file is no mission: refused like any unreadable file, kept out of Recent
// Files; a text longer than its field is reported once when opened.
TEST_F(TrustTest, EmptyFilesAreRefusedAndCutTextsAreReported) {
    start();
    ScopedItemDefs defs;
    const std::string good = missionFile(out.file("good.mis"), 2);
    shell_OpenMissionPath(good);
    for (const char* bytes : {"", "\n\n\n"}) {
        const std::string empty = out.file("empty.mis");
        { std::ofstream(empty, std::ios::binary | std::ios::trunc) << bytes; }
        fake->boxes.clear();
        shell_OpenMissionPath(empty);
        ASSERT_EQ(fake->boxes.size(), 1u);
        EXPECT_NE(fake->boxes[0].text.find(empty), std::string::npos);
        EXPECT_EQ(mission_CurrentPage().file_path, good);
        EXPECT_EQ(recent_Load().front(), good);
    }

    std::string text = readWholeFile(good);
    const std::string longName(300, 'n');
    const std::size_t at = text.find("begin group 1");
    ASSERT_NE(at, std::string::npos);
    text.insert(at, "begin group 7\ndescription \"" + longName + "\"\nend group\n\n");
    const std::string cut = out.file("cut.mis");
    { std::ofstream(cut, std::ios::binary) << text; }
    fake->boxes.clear();
    shell_OpenMissionPath(cut);
    ASSERT_EQ(fake->boxes.size(), 1u);
    EXPECT_NE(fake->boxes[0].text.find("description"), std::string::npos);
    EXPECT_NE(fake->boxes[0].text.find("300"), std::string::npos);
    EXPECT_EQ(mission_CurrentPage().file_path, cut);
}

// Every menu, as the user sees it after start-up, gives each entry its own mnemonic.
TEST_F(TrustTest, MnemonicsAreUniqueInEveryMenu) {
    start();
    std::function<void(const std::vector<MenuEntry>&, const std::string&)> check =
        [&](const std::vector<MenuEntry>& entries, const std::string& where) {
            std::map<char, std::string> taken;
            for (const MenuEntry& e : entries) {
                for (std::size_t i = 0; i + 1 < e.text.size(); ++i) {
                    if (e.text[i] != '&') continue;
                    if (e.text[i + 1] == '&') {
                        ++i;
                        continue;
                    }
                    const char c = char(std::tolower(static_cast<unsigned char>(e.text[i + 1])));
                    const auto [it, fresh] = taken.emplace(c, e.text);
                    EXPECT_TRUE(fresh) << where << ": '" << c << "' in " << e.text << " and " << it->second;
                    break;
                }
                check(e.children, where + " > " + e.text);
            }
        };
    check(fake->menu, "menu bar");
    check(shell_ContextMenu("MouseMenu"), "map menu");
    check(shell_ContextMenu("MouseMenuItem"), "item menu");
}

TEST_F(TrustTest, TheBackupIntervalCanBeSet) {
    {
        ScopedEnvVar interval("SORTIE_BACKUP_INTERVAL", "5");
        start(true);
        EXPECT_EQ(fake->timers[kBackupTimer], 5000);
    }
    for (const char* bad : {"0", "abc", "5s", "-3", "99999999"}) {
        ScopedEnvVar interval("SORTIE_BACKUP_INTERVAL", bad);
        start(true);
        EXPECT_EQ(fake->timers[kBackupTimer], kBackupPeriodMs) << bad;
    }
    fake->settingsStore.lists["backup-interval"] = {"42"};
    start(true);
    EXPECT_EQ(fake->timers[kBackupTimer], 42000);
}

// The program's own small files: never blocking, never large in memory, never junk.
TEST(SmallFiles, HostileSettingsAndNotesAreIgnored) {
    ScopedTempDir dir;
    const std::string path = dir.file("list");
    struct Case {
        const char* what;
        std::function<void()> make;
        std::size_t entries;
    };
    const std::vector<Case> cases = {
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, 0},
        {"a folder", [&] { fs::create_directory(path); }, 0},
        {"a device", [&] { fs::create_symlink("/dev/zero", path); }, 0},
        {"a symlink loop", [&] { fs::create_symlink(path, path); }, 0},
        {"a huge line",
         [&] {
             std::ofstream(path) << "/first\n";
             fs::resize_file(path, 300u << 20);  // sparse: 300 MB of NULs after the first line
         },
         1},
        {"binary junk",
         [&] { std::ofstream(path, std::ios::binary) << "/ok/a.mis\n\xff\xfe\x80\n/bad/\xc3\x28.mis\n/ok/b.mis\n"; },
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::error_code ec;
        fs::remove_all(path, ec);
        c.make();
        const std::vector<std::string> lines = settings_ReadLines(path, kSettingsMaxBytes);
        EXPECT_EQ(lines.size(), c.entries);
        for (const std::string& l : lines) EXPECT_TRUE(file_ValidUtf8(l));
    }
    // A list that cannot be saved (a folder in its place) says so once, and never throws.
    fs::remove_all(path);
    fs::create_directories(dir.path() / "recent-files" / "x");
    FileSettings settings(dir.path().string());
    testing::internal::CaptureStderr();
    settings.setList("recent-files", {"/a.mis"});
    settings.setList("recent-files", {"/b.mis"});
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("recent-files"), std::string::npos);
    EXPECT_EQ(said.find("recent-files"), said.rfind("recent-files"));
}

// A write killed in mid-write leaves a temporary; the next successful write of the same
// target removes it, but not one of a process that still runs.
TEST(SmallFiles, StaleTemporariesGoAtTheNextWrite) {
    ScopedTempDir dir;
    const std::string target = dir.file("m.mis");
    const std::string prefix = file_TempPrefix(target);
    EXPECT_EQ(fs::path(prefix).filename().string().front(), '.');
    const std::string stale = prefix + "999999999-abcdef", live = prefix + "1-abcdef", other = dir.file("x.sortie-1");
    for (const std::string& p : {stale, live, other}) std::ofstream(p) << "half";
    ASSERT_TRUE(file_WriteAtomic(target, "new", 3));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live));  // pid 1 runs
    EXPECT_TRUE(fs::exists(other));
    EXPECT_EQ(readWholeFile(target), "new");
}

}  // namespace
