// The Qt layer's side of texts and leaving: texts cross as Windows-1252 both ways, a bad
// line's message names its file, and File > Exit in the real main window asks once per page
// while Qt's quit closes the window (whose close request must not ask again).
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_text.h"

#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "shell/shell.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

TEST(QtText, Windows1252BothWays) {
    const struct {
        const char* bytes;
        char16_t ch;
    } table[] = {
        {"\x80", 0x20AC}, {"\x85", 0x2026}, {"\x8A", 0x0160}, {"\x91", 0x2018}, {"\x96", 0x2013},
        {"\x97", 0x2014}, {"\x99", 0x2122}, {"\x9F", 0x0178}, {"\xA0", 0x00A0}, {"\xE9", 0x00E9},
        {"\xFF", 0x00FF}, {"A", 0x0041},
        // The code page's five holes stand for the control characters of their number.
        {"\x81", 0x0081}, {"\x8D", 0x008D}, {"\x8F", 0x008F}, {"\x90", 0x0090}, {"\x9D", 0x009D},
    };
    for (const auto& t : table) {
        SCOPED_TRACE(static_cast<int>(t.ch));
        EXPECT_EQ(qtText(t.bytes), QString(QChar(t.ch)));
        EXPECT_EQ(coreText(QString(QChar(t.ch))), t.bytes);
    }
    // Every byte comes back as itself, each through a character of its own.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const QString wide = qtText(all);
    EXPECT_EQ(coreText(wide), all);
    EXPECT_EQ(QSet<QChar>(wide.begin(), wide.end()).size(), 256);

    // What the code page cannot hold becomes one '?' per character.
    const QString typed = QStringLiteral("a\u2013b \u0100 \u4E2D ") + QString::fromUcs4(U"\U0001F600") +
                          QStringLiteral(" \u20AC");
    EXPECT_EQ(coreText(typed), "a\x96" "b ? ? ? \x80");
}

class Recording : public QtPlatform {
public:
    std::deque<MsgAnswer> answers;
    std::deque<std::optional<std::string>> files;
    std::vector<std::string> shown;
    int fileDialogs = 0;

    MsgAnswer messageBox(std::string_view text, std::string_view, MsgIcon, MsgButtons) override {
        shown.emplace_back(text);
        if (answers.empty()) return MsgAnswer::Ok;
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        ++fileDialogs;
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

TEST(QtText, BadLineMessageNamesTheFile) {
    Recording qt;
    qt.lineError("/missions/broken.mis", 12, "Line 12 could not be understood", "Reading");
    ASSERT_EQ(qt.shown.size(), 1u);
    EXPECT_NE(qt.shown[0].find("/missions/broken.mis"), std::string::npos) << qt.shown[0];
    EXPECT_NE(qt.shown[0].find("Line 12 could not be understood"), std::string::npos);
}

QAction* menuAction(MainWindow& w, int id) {
    for (QAction* top : w.menuBar()->actions()) {
        if (!top->menu()) continue;
        for (QAction* a : top->menu()->actions())
            if (!a->isSeparator() && a->data().toInt() == id) return a;
    }
    return nullptr;
}

// Runs the application's own loop until it quits; a stuck exit ends it with 2.
int runLoop() {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    guard.start(20000);
    return QApplication::exec();
}

TEST(QtExit, FileExitAsksOncePerPageAndSavesEachOnce) {
    const std::string kit = SORTIE_GAMEDATA_DIR;
    ASSERT_TRUE(fs::exists(fs::path(kit) / "kz7.pff")) << "no sample kit at " << kit;
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string dir = tmp.path().toStdString();
    {
        Recording qt;
        platform_Set(&qt);
        ShellArgs args;
        args.dataDir = kit;
        ASSERT_EQ(shell_Startup(args), 1);
        MainWindow& w = qt.mainWindow();
        const std::string sample = std::string(SORTIE_SOURCE_DIR) + "/data/missions/tutorial.mis";
        shell_OpenMissionPath(sample);
        shell_Command(cmd::kPage2);
        shell_OpenMissionPath(sample);
        ASSERT_GT(mission_Pages().page[1].item_count, 0);
        qt.shown.clear();

        // Cancel at page 2: the window stays and nothing was written.
        qt.answers = {MsgAnswer::No, MsgAnswer::Cancel};
        QAction* exitAction = menuAction(w, cmd::kExit);
        ASSERT_NE(exitAction, nullptr);
        exitAction->trigger();
        EXPECT_EQ(qt.shown.size(), 2u);
        EXPECT_TRUE(w.isVisible());

        // Yes to both in the running application: two questions, two files, the window gone.
        qt.shown.clear();
        qt.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
        qt.files = {dir + "/p1.mis", dir + "/p2.mis"};
        QTimer::singleShot(0, exitAction, &QAction::trigger);
        EXPECT_EQ(runLoop(), 0);
        ASSERT_EQ(qt.shown.size(), 2u);
        EXPECT_EQ(qt.shown[0], text_Get("Dialog Message", "SAVE_PAGE_1?"));
        EXPECT_EQ(qt.shown[1], text_Get("Dialog Message", "SAVE_PAGE_2?"));
        EXPECT_EQ(qt.fileDialogs, 2);
        EXPECT_FALSE(w.isVisible());
        for (const char* f : {"/p1.mis", "/p2.mis"}) {
            auto back = std::make_unique<Mission>();
            EXPECT_EQ(metafile_Read(*back, (dir + f).c_str(), MetafileReadOptions{false, nullptr}), 1) << f;
            EXPECT_EQ(back->item_count, mission_Pages().page[0].item_count) << f;
        }
        qt.setSinks(nullptr, nullptr);
        platform_Set(nullptr);
    }
    shell_Reset();
    mission_ResetPages();
    text_FreeTables();
    text_SetCurrent(nullptr);
    itemdef_Reset();
    model_Reset();
    sky_Reset();
    mem_Shutdown();
}

}  // namespace
