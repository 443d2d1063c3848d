// The Problems panel and Find in the real main window, offscreen: a mission whose event names
// a missing event opens, View > Problems (F8) shows the finding, a click on its row opens the
// events editor on that event; Edit > Find... (Ctrl+F) selects the red team's persons.
#include "session_support.h"

#include "logic/events_editor.h"
#include "mission/mission.h"
#include "qt/problems_dock.h"
#include "resources/check_dialogs.h"
#include "shell/shell.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QTest>

#include <fstream>

namespace {

using ProblemsSession = EditorSessionTest;

TEST_F(ProblemsSession, F8ShowsADanglingTriggerAndItsRowOpensTheEvent) {
    // The tutorial with event 1's trigger naming event 9, which does not exist.
    std::string text = readFile(sampleMission);
    const std::string trigger = "0 1 4 1 0 0 0 0";
    const std::size_t at = text.find(trigger);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, trigger.size(), "0 2 0 9 0 0 0 0");
    const std::string mission = file("dangling.mis");
    std::ofstream(mission, std::ios::binary) << text;

    ASSERT_NO_FATAL_FAILURE(start());
    MainWindow& w = qt.mainWindow();
    qt.files = {mission};
    menuAction(w, cmd::kOpen)->trigger();

    QAction* problems = menuAction(w, cmd::kProblems);
    ASSERT_NE(problems, nullptr);
    EXPECT_EQ(problems->shortcut(), QKeySequence(Qt::Key_F8));
    ProblemsDock& dock = qt.problemsDock();
    EXPECT_FALSE(dock.shown());
    problems->trigger();
    ASSERT_TRUE(dock.shown());
    EXPECT_TRUE(problems->isChecked());
    QListWidget& list = dock.list();
    int row = -1;
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i)->text().contains("event 1") && list.item(i)->text().contains('9')) row = i;
    ASSERT_GE(row, 0) << "no row names event 1's trigger";
    EXPECT_FALSE(dock.windowTitle().isEmpty());

    int shown = -1;
    qt.scripts["EDITEVENTS"].push_back([&](QtDialog& d) {
        shown = widget<QListWidget>(d, evid::kEventList)->currentRow();
        QTest::keyClick(&d.window(), Qt::Key_Escape);
    });
    clickRow(&list, row);
    EXPECT_EQ(shown, 1);

    // F8 again hides it.
    problems->trigger();
    EXPECT_FALSE(dock.shown());
}

TEST_F(ProblemsSession, CtrlFSelectsTheRedTeamsPersons) {
    ASSERT_NO_FATAL_FAILURE(start());
    MainWindow& w = qt.mainWindow();
    qt.files = {sampleMission};
    menuAction(w, cmd::kOpen)->trigger();
    const Mission& page = mission_Pages().page[0];
    int red = 0;
    for (int i = 0; i < page.item_count; ++i)
        red += page.items[std::size_t(i)].team == kTeamEvil && page.items[std::size_t(i)].kind == 3;
    ASSERT_GT(red, 0);

    QAction* find = menuAction(w, cmd::kFind);
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    auto choose = [](QComboBox* box, std::int64_t data) {
        const int i = box->findData(QVariant::fromValue<qlonglong>(data));
        EXPECT_GE(i, 0) << data;
        box->setCurrentIndex(i);
    };
    qt.scripts["FINDITEMS"].push_back([&](QtDialog& d) {
        choose(widget<QComboBox>(d, findid::kTeam), kTeamEvil);
        choose(widget<QComboBox>(d, findid::kKind), 3);
        EXPECT_NE(d.text(findid::kCount).find(std::to_string(red)), std::string::npos) << d.text(findid::kCount);
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
    });
    find->trigger();
    EXPECT_EQ(page.selection.count, red);
    for (int k = 0; k < page.selection.count; ++k)
        EXPECT_EQ(page.items[std::size_t(page.selection.index[std::size_t(k)])].team, kTeamEvil);
}

}  // namespace
