// A scripted events-editor session on the sample data kit, offscreen: Edit > Events opens
// the real dialog, four events are built with triggers of several types and actions with AI
// changes through the real trigger and action dialogs, an event that another refers to is
// deleted, Escape drops an unstored edit, the page is saved, and the saved metafile and
// `sortie-cli list events` of it show what was built.
// The vocabulary comes before any Qt header: Qt's "slots" keyword would eat its member.
#include "logic/events_editor.h"
#include "logic/vocab.h"

#include "session_support.h"

#include "core/text.h"
#include "mission/mission.h"
#include "shell/shell.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <sstream>

using namespace evid;

namespace {

using Script = DialogScript;

// A double click as the window system delivers it: press, release, double-click, release.
// (QTest's own sends the double-click event alone, which a list takes for a fresh press.)
void doubleClickRow(QListWidget* l, int row) {
    const QPoint p = rowCentre(l, row);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(l->viewport(), Qt::LeftButton, {}, p);
}

// A trigger or action dialog: the drop-downs take the given lines in order, the buttons
// named by a line of -1 are clicked, then OK.
Script fill(std::vector<std::pair<int, int>> steps) {
    return [steps](QtDialog& d) {
        for (auto [id, line] : steps) {
            if (line < 0) {
                widget<QAbstractButton>(d, id)->click();
                continue;
            }
            QComboBox* box = widget<QComboBox>(d, id);
            EXPECT_TRUE(box->isEnabled()) << id;
            EXPECT_LT(line, box->count()) << id;
            box->setCurrentIndex(line);
        }
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
    };
}

// The lines of a metafile from "begin event n" to its "end event".
std::vector<std::string> eventBlock(const std::string& file, int n) {
    std::istringstream in(file);
    std::vector<std::string> out;
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "begin event " + std::to_string(n)) inside = true;
        if (inside) out.push_back(line);
        if (inside && line == "end event") break;
    }
    return out;
}

}  // namespace

using EventsSession = EditorSessionTest;

TEST_F(EventsSession, BuildDeleteReferencedEventSaveAndList) {
    ASSERT_NO_FATAL_FAILURE(start());
    MainWindow& w = qt.mainWindow();
    QAction* editEvents = menuAction(w, cmd::kEvents);
    ASSERT_NE(editEvents, nullptr);

    // The sub-dialogs in the order they open. Trigger types are offered 0, 1, 2, 4, 5, 3.
    qt.scripts["EVENTTRIGGERS"] = {
        fill({{kType, 1}, {kSelector, 1}, {kVarFirst, 2}, {kVarFirst + 1, 1}, {kLogicOr, -1}}),  // 2 sees 1, OR
        fill({{kType, 3}, {kSenseFalse, -1}}),                                                   // not second time
        fill({{kType, 1}, {kSelector, 4}, {kVarFirst, 1}}),                                      // 1 destroyed
        fill({{kType, 2}, {kVarFirst, 1}}),                                                      // event 1
        fill({{kType, 2}, {kVarFirst, 3}}),                                                      // event 3
        fill({{kType, 4}}),                                                                      // squadmates
    };
    qt.scripts["EVENTACTIONS"] = {
        fill({{kType, 3}, {kSelector, 2}, {kVarFirst, 2}, {kVarFirst + 1, 1}}),    // group 2 guards
        fill({{kType, 12}, {kSelector, 7}, {kVarFirst, 1}, {kVarFirst + 1, 90}}),  // red in area 1: 90 degrees
        fill({{kType, 2}, {kVarFirst, 2}}),                                        // kill group 2
        fill({{kType, 8}}),                                                        // blue wins
        fill({{kType, 11}, {kVarFirst, 1}, {kVarFirst + 1, 20}}),                  // group 1 at 20
    };
    struct Plan {
        const char* name;
        int triggers, actions;
    };
    qt.answers = {MsgAnswer::Yes};  // the delete question
    qt.scripts["EDITEVENTS"] = {[](QtDialog& d) {
        QListWidget* events = widget<QListWidget>(d, kEventList);
        QListWidget* triggers = widget<QListWidget>(d, kTriggerList);
        QListWidget* actions = widget<QListWidget>(d, kActionList);
        QLineEdit* name = widget<QLineEdit>(d, kName);
        const Plan plan[] = {{"Ambush", 2, 2}, {"Alarm", 1, 1}, {"Finale", 2, 1}, {"Retreat", 1, 1}};
        for (int e = 0; e < 4; ++e) {
            if (e > 0) clickRow(events, e);  // "new event"
            ASSERT_EQ(events->count(), e + 2);
            name->selectAll();
            QTest::keyClicks(name, plan[e].name);
            EXPECT_EQ(events->item(e)->text().toStdString(), "(" + std::to_string(e) + ") " + plan[e].name);
            if (e == 0) {
                QLineEdit* delay = widget<QLineEdit>(d, kDelayValue);
                delay->selectAll();
                QTest::keyClicks(delay, "30");
                widget<QCheckBox>(d, kPreMission)->click();
            }
            for (int i = 0; i < plan[e].triggers; ++i) doubleClickRow(triggers, i);
            for (int i = 0; i < plan[e].actions; ++i) doubleClickRow(actions, i);
            EXPECT_EQ(triggers->count(), plan[e].triggers + 1);
            EXPECT_EQ(actions->count(), plan[e].actions + 1);
        }
        // "Alarm" goes; "Finale" loses its trigger on it and follows "Retreat" down.
        clickRow(events, 1);
        QTest::mouseClick(d.control(kDeleteEvent), Qt::LeftButton);
        EXPECT_EQ(events->count(), 4);
        EXPECT_EQ(name->text().toStdString(), "Finale");
        EXPECT_EQ(triggers->count(), 2);
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
    }};
    editEvents->trigger();

    // Opened again: an unstored delay is dropped by Escape.
    qt.scripts["EDITEVENTS"] = {[](QtDialog& d) {
        EXPECT_EQ(widget<QLineEdit>(d, kName)->text().toStdString(), "Ambush");
        QTest::keyClicks(widget<QLineEdit>(d, kDelayValue), "9");
        QTest::keyClick(&d.window(), Qt::Key_Escape);
    }};
    editEvents->trigger();

    const std::vector<std::pair<std::string, int>> expected = {
        {"EVENTTRIGGERS", kIdOk},  {"EVENTTRIGGERS", kIdOk}, {"EVENTACTIONS", kIdOk},  {"EVENTACTIONS", kIdOk},
        {"EVENTTRIGGERS", kIdOk},  {"EVENTACTIONS", kIdOk},  {"EVENTTRIGGERS", kIdOk}, {"EVENTTRIGGERS", kIdOk},
        {"EVENTACTIONS", kIdOk},   {"EVENTTRIGGERS", kIdOk}, {"EVENTACTIONS", kIdOk},  {"EDITEVENTS", kIdOk},
        {"EDITEVENTS", kIdCancel},
    };
    EXPECT_EQ(qt.results, expected);
    ASSERT_EQ(qt.shown.size(), 1u);  // the delete question
    Mission& page = mission_Pages().page[0];
    ASSERT_EQ(page.event_count, 3);
    EXPECT_EQ(page.events[0].delay_value, 30);

    const std::string saved = file("events.mis");
    qt.files = {saved};
    menuAction(w, cmd::kSaveAs)->trigger();
    const std::string text = readFile(saved);
    ASSERT_FALSE(text.empty()) << saved;
    EXPECT_NE(text.find("num_events 3"), std::string::npos);
    using Lines = std::vector<std::string>;
    EXPECT_EQ(eventBlock(text, 0),
              (Lines{"begin event 0", "name \"Ambush\"", "attrib 2", "delay_value 30", "begin triggers 2",
                     "2 1 1 2 1 -1 -1 0", "1 4 0 -1 -1 -1 -1 0", "end triggers", "begin actions 2", "0 3 2 1 -1 -1 2 0",
                     "0 12 1 90 -1 -1 7 0", "end actions", "end event"}));
    EXPECT_EQ(eventBlock(text, 1),
              (Lines{"begin event 1", "name \"Finale\"", "begin triggers 1", "0 2 0 2 -1 -1 -1 0", "end triggers",
                     "begin actions 1", "0 8 -1 -1 -1 -1 -1 0", "end actions", "end event"}));
    EXPECT_EQ(eventBlock(text, 2),
              (Lines{"begin event 2", "name \"Retreat\"", "begin triggers 1", "0 5 0 -1 -1 -1 -1 0", "end triggers",
                     "begin actions 1", "0 11 1 20 -1 -1 -1 0", "end actions", "end event"}));

    // The command-line listing of the saved file shows every event with its rendered rows.
    const CliRun run = cli({"list", "events", saved});
    const std::string listing = run.out + run.err;
    for (int e = 0; e < 3; ++e) {
        const MissionEvent& ev = page.events[std::size_t(e)];
        EXPECT_NE(listing.find(text_Printf("Write Event", "EVENT_NUMBER", {e, mission_Text(ev.name)})),
                  std::string::npos)
            << e << "\n"
            << listing;
        for (int t = 0; t < ev.trigger_count; ++t)
            EXPECT_NE(
                listing.find("    " + event_TriggerText(ev.triggers[std::size_t(t)], t == ev.trigger_count - 1) + "\n"),
                std::string::npos)
                << e << "/" << t;
        for (int a = 0; a < ev.action_count; ++a)
            EXPECT_NE(listing.find("    " + event_ActionText(ev.actions[std::size_t(a)]) + "\n"), std::string::npos)
                << e << "/" << a;
    }
    EXPECT_EQ(listing.find("Alarm"), std::string::npos);
}
