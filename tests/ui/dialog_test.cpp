#include "qt/qt_dialog.h"
#include "qt/qt_platform.h"
#include "resources/templates.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

// Records what arrives; runs a hook at init and ends on OK and Cancel.
struct RecordingProc : DialogProc {
    std::vector<std::pair<int, Notify>> seen;
    std::function<void(Dialog&)> init;
    std::function<void(Dialog&, int, Notify)> command;
    bool endOnOkCancel = true;

    void onInit(Dialog& d) override {
        if (init) init(d);
    }
    void onCommand(Dialog& d, int id, Notify code) override {
        seen.emplace_back(id, code);
        if (command) command(d, id, code);
        if (endOnOkCancel && (id == kIdOk || id == kIdCancel) && code == Notify::Clicked) d.end(id);
    }
    int count(int id, Notify code) const {
        int n = 0;
        for (auto& s : seen) n += (s.first == id && s.second == code);
        return n;
    }
};

// Runs the dialog with `drive` called once it is up; a guard closes it should the drive
// leave it open, so a failing test never hangs.
int runDriven(QtDialog& dlg, std::function<void()> drive) {
    QTimer::singleShot(0, [&dlg, drive] {
        EXPECT_EQ(QApplication::activeModalWidget(), &dlg.window());
        drive();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&dlg] { dlg.end(-99); });
    guard.start(10000);
    return dlg.run();
}

const char* kindName(ControlKind k) {
    switch (k) {
    case ControlKind::PushButton: return "push button";
    case ControlKind::DefaultButton: return "default button";
    case ControlKind::CheckBox: return "check box";
    case ControlKind::RadioButton: return "radio button";
    case ControlKind::Edit: return "edit";
    case ControlKind::ListBox: return "list box";
    case ControlKind::DropDownList: return "drop-down";
    case ControlKind::ComboBox: return "combo box";
    case ControlKind::StaticText: return "static";
    case ControlKind::GroupBox: return "group box";
    case ControlKind::Icon: return "icon";
    case ControlKind::Number: return "number field";
    }
    return "?";
}

bool widgetFits(ControlKind k, unsigned style, QWidget* w) {
    switch (k) {
    case ControlKind::PushButton:
    case ControlKind::DefaultButton: return qobject_cast<QPushButton*>(w);
    case ControlKind::CheckBox:
        return (style & kCtlPushLike) ? qobject_cast<QPushButton*>(w) && static_cast<QPushButton*>(w)->isCheckable()
                                      : qobject_cast<QCheckBox*>(w) != nullptr;
    case ControlKind::RadioButton:
        return (style & kCtlPushLike) ? qobject_cast<QPushButton*>(w) != nullptr
                                      : qobject_cast<QRadioButton*>(w) != nullptr;
    case ControlKind::Edit:
        return (style & kCtlMultiLine) ? qobject_cast<QPlainTextEdit*>(w) != nullptr
                                       : qobject_cast<QLineEdit*>(w) != nullptr;
    case ControlKind::ListBox: return qobject_cast<QListWidget*>(w);
    case ControlKind::DropDownList: return qobject_cast<QComboBox*>(w) && !static_cast<QComboBox*>(w)->isEditable();
    case ControlKind::ComboBox: return qobject_cast<QComboBox*>(w) && static_cast<QComboBox*>(w)->isEditable();
    case ControlKind::StaticText:
    case ControlKind::Icon: return qobject_cast<QLabel*>(w);
    case ControlKind::GroupBox: return qobject_cast<QGroupBox*>(w);
    case ControlKind::Number: return qobject_cast<QLineEdit*>(w);
    }
    return false;
}

TEST(QtDialogBuild, EveryTemplateBuildsWithEveryControlReachable) {
    for (const DialogTemplate* t : resources_Dialogs()) {
        SCOPED_TRACE(std::string(t->name));
        RecordingProc proc;
        QtDialog dlg(*t, proc);
        EXPECT_EQ(dlg.window().windowTitle().toStdString(), resources_Caption(t->caption));
        EXPECT_GT(dlg.units().charWidth, 0);
        EXPECT_GT(dlg.units().lineHeight, 0);
        for (const ControlTemplate& c : t->controls) {
            if (c.id == kIdStatic) continue;
            QWidget* w = dlg.control(c.id);
            ASSERT_NE(w, nullptr) << "control " << c.id;
            EXPECT_EQ(w->parentWidget(), &dlg.window());
            EXPECT_TRUE(widgetFits(c.kind, c.style, w)) << c.id << " is no " << kindName(c.kind);
            // Worded from the template's keys before the procedure runs.
            if (c.kind != ControlKind::ListBox && c.kind != ControlKind::DropDownList) {
                EXPECT_EQ(dlg.text(c.id), resources_Caption(c.text)) << c.id;
            }
        }
        EXPECT_EQ(dlg.control(12345), nullptr);
        // Nothing was notified while building.
        EXPECT_TRUE(proc.seen.empty());
    }
}

TEST(QtDialogBuild, DialogUnitsScaleWithTheFont) {
    QFont small = QApplication::font();
    small.setPointSize(8);
    QFont large = small;
    large.setPointSize(16);
    DialogUnits a = qt_DialogUnits(small), b = qt_DialogUnits(large);
    EXPECT_GT(b.charWidth, a.charWidth);
    EXPECT_GT(b.lineHeight, a.lineHeight);
    EXPECT_EQ(a.x(4), a.charWidth);
    EXPECT_EQ(a.y(8), a.lineHeight);
}

// A template with one of everything, for driving notifications.
constexpr int kBtn = 10, kChk = 11, kRadA1 = 12, kRadA2 = 13, kRadB1 = 14, kRadB2 = 15, kEdit = 16, kMemo = 17,
              kNum = 18, kList = 19, kMulti = 20, kDrop = 21, kLabel = 22;
constexpr ControlTemplate kAllControls[] = {
    {kBtn, ControlKind::PushButton, "Press", 5, 5, 40, 14},
    {kChk, ControlKind::CheckBox, "Check", 50, 5, 60, 10, kCtlGroup},
    {kRadA1, ControlKind::RadioButton, "A1", 5, 25, 40, 10, kCtlGroup},
    {kRadA2, ControlKind::RadioButton, "A2", 50, 25, 40, 10},
    {kRadB1, ControlKind::RadioButton, "B1", 5, 40, 40, 10, kCtlGroup},
    {kRadB2, ControlKind::RadioButton, "B2", 50, 40, 40, 10},
    {kEdit, ControlKind::Edit, "", 5, 55, 80, 12, kCtlGroup},
    {kMemo, ControlKind::Edit, "", 90, 55, 80, 30, kCtlMultiLine},
    {kNum, ControlKind::Edit, "", 5, 70, 40, 12, kCtlNumber},
    {kList, ControlKind::ListBox, "", 5, 90, 80, 60, kCtlSorted},
    {kMulti, ControlKind::ListBox, "", 90, 90, 80, 60, kCtlMultiSelect},
    {kDrop, ControlKind::DropDownList, "", 5, 155, 80, 60},
    {kLabel, ControlKind::StaticText, "Label", 90, 155, 60, 10},
    {kIdOk, ControlKind::DefaultButton, "OK", 120, 180, 40, 14, kCtlGroup},
    {kIdCancel, ControlKind::PushButton, "Cancel", 70, 180, 40, 14},
};
constexpr DialogTemplate kAllTemplate = {"TEST_ALL", "All controls", 200, 200, {}, 8, kAllControls};

template <class W>
W* ctl(QtDialog& d, int id) {
    return qobject_cast<W*>(d.control(id));
}

void clickRow(QListWidget* l, int row) {
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
}

TEST(QtDialogNotify, UserActionsNotifyAndProgramChangesDoNot) {
    RecordingProc proc;
    proc.init = [](Dialog& d) {
        // Everything the program does here must stay silent.
        d.setText(kEdit, "start");
        d.setText(kMemo, "line 1\r\nline 2");
        for (const char* t : {"delta", "Alpha", "charlie", "Bravo"}) d.addEntry(kList, t, t[0]);
        d.setSelection(kList, 0);
        d.addEntry(kDrop, "one", 1);
        d.addEntry(kDrop, "two", 2);
        d.setSelection(kDrop, 1);
        d.setCheck(kChk, kChecked);
        d.setCheck(kRadA1, kChecked);
        d.setCheck(kRadB2, kChecked);
    };
    QtDialog dlg(kAllTemplate, proc);
    int result = runDriven(dlg, [&] {
        EXPECT_TRUE(proc.seen.empty()) << "the program's own changes notified";
        EXPECT_EQ(dlg.text(kMemo), "line 1\nline 2");
        EXPECT_EQ(dlg.entryText(kList, 0), "Alpha");

        QTest::mouseClick(ctl<QPushButton>(dlg, kBtn), Qt::LeftButton);
        EXPECT_EQ(proc.count(kBtn, Notify::Clicked), 1);

        QTest::mouseClick(ctl<QCheckBox>(dlg, kChk), Qt::LeftButton);
        EXPECT_EQ(proc.count(kChk, Notify::Clicked), 1);
        EXPECT_EQ(dlg.check(kChk), kUnchecked);

        // Radio groups are separate: checking A2 leaves B2 alone.
        QTest::mouseClick(ctl<QRadioButton>(dlg, kRadA2), Qt::LeftButton);
        EXPECT_EQ(proc.count(kRadA2, Notify::Clicked), 1);
        EXPECT_EQ(dlg.check(kRadA2), kChecked);
        EXPECT_EQ(dlg.check(kRadA1), kUnchecked);
        EXPECT_EQ(dlg.check(kRadB2), kChecked);

        QTest::keyClicks(ctl<QLineEdit>(dlg, kEdit), "xy");
        EXPECT_EQ(proc.count(kEdit, Notify::Changed), 2);
        EXPECT_EQ(dlg.text(kEdit), "startxy");

        // Only digits go into a number edit.
        QTest::keyClicks(ctl<QLineEdit>(dlg, kNum), "4a2");
        EXPECT_EQ(dlg.text(kNum), "42");

        QPlainTextEdit* memo = ctl<QPlainTextEdit>(dlg, kMemo);
        memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(memo, "!");
        EXPECT_GE(proc.count(kMemo, Notify::Changed), 1);
        EXPECT_EQ(dlg.text(kMemo), "line 1\nline 2!");

        QListWidget* list = ctl<QListWidget>(dlg, kList);
        clickRow(list, 2);
        EXPECT_EQ(proc.count(kList, Notify::SelChange), 1);
        EXPECT_EQ(dlg.selection(kList), 2);
        EXPECT_EQ(dlg.entryText(kList, 2), "charlie");
        // A double click is a click followed by a second press.
        const QPoint row3 = list->visualItemRect(list->item(3)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row3);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row3);
        EXPECT_EQ(proc.count(kList, Notify::DoubleClick), 1);
        EXPECT_EQ(dlg.selection(kList), 3);

        QComboBox* drop = ctl<QComboBox>(dlg, kDrop);
        drop->setFocus();
        QTest::keyClick(drop, Qt::Key_Up);
        EXPECT_EQ(proc.count(kDrop, Notify::SelChange), 1);
        EXPECT_EQ(dlg.selection(kDrop), 0);
        EXPECT_EQ(dlg.text(kDrop), "one");

        proc.seen.clear();
        QTest::mouseClick(ctl<QPushButton>(dlg, kIdOk), Qt::LeftButton);
    });
    EXPECT_EQ(result, kIdOk);
    ASSERT_FALSE(proc.seen.empty());
    EXPECT_EQ(proc.seen.back(), std::make_pair(kIdOk, Notify::Clicked));
}

TEST(QtDialogNotify, EnterAndEscapeReachTheProcedureAsOkAndCancel) {
    RecordingProc proc;
    QtDialog dlg(kAllTemplate, proc);
    int result = runDriven(dlg, [&] { QTest::keyClick(&dlg.window(), Qt::Key_Escape); });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(proc.count(kIdCancel, Notify::Clicked), 1);

    // A procedure that refuses Cancel keeps the dialog open.
    RecordingProc stubborn;
    stubborn.endOnOkCancel = false;
    stubborn.command = [](Dialog& d, int id, Notify) {
        if (id == kIdOk) d.end(7);
    };
    QtDialog dlg2(kAllTemplate, stubborn);
    result = runDriven(dlg2, [&] {
        QTest::keyClick(&dlg2.window(), Qt::Key_Escape);
        EXPECT_TRUE(dlg2.window().isVisible());
        QTest::keyClick(ctl<QLineEdit>(dlg2, kEdit), Qt::Key_Return);  // the default button
    });
    EXPECT_EQ(result, 7);
    EXPECT_EQ(stubborn.count(kIdCancel, Notify::Clicked), 1);
}

TEST(QtDialogNotify, EndingDuringInitNeverShowsTheDialog) {
    RecordingProc proc;
    proc.init = [](Dialog& d) { d.end(42); };
    QtDialog dlg(kAllTemplate, proc);
    EXPECT_EQ(dlg.run(), 42);
    EXPECT_FALSE(dlg.window().isVisible());
}

TEST(QtDialogNotify, FocusChangesByTheUserNotifyEditsAndLists) {
    RecordingProc proc;
    QtDialog dlg(kAllTemplate, proc);
    runDriven(dlg, [&] {
        QApplication::setActiveWindow(&dlg.window());
        dlg.setFocus(kNum);  // the program's own move: silent
        EXPECT_EQ(proc.count(kNum, Notify::SetFocus), 0);
        QTest::mouseClick(ctl<QLineEdit>(dlg, kEdit), Qt::LeftButton);
        EXPECT_EQ(proc.count(kNum, Notify::KillFocus), 1);
        EXPECT_EQ(proc.count(kEdit, Notify::SetFocus), 1);
        dlg.end(kIdOk);
    });
}

TEST(QtDialogEntries, EntriesKeepTheirDataThroughSortingInsertAndRemove) {
    RecordingProc proc;
    QtDialog dlg(kAllTemplate, proc);
    // Sorted list: entries land in order and carry their data along.
    const std::int64_t big = (std::int64_t{1} << 40) + 5;
    EXPECT_EQ(dlg.addEntry(kList, "mike", 13), 0);
    EXPECT_EQ(dlg.addEntry(kList, "Alpha", big), 0);
    EXPECT_EQ(dlg.addEntry(kList, "kilo", -3), 1);
    EXPECT_EQ(dlg.entryCount(kList), 3);
    EXPECT_EQ(dlg.entryData(kList, 0), big);
    EXPECT_EQ(dlg.entryData(kList, 1), -3);
    EXPECT_EQ(dlg.entryData(kList, 2), 13);
    dlg.setEntryData(kList, 1, 99);
    EXPECT_EQ(dlg.entryData(kList, 1), 99);
    dlg.setSelection(kList, 2);
    dlg.removeEntry(kList, 0);
    EXPECT_EQ(dlg.entryText(kList, 0), "kilo");
    EXPECT_EQ(dlg.entryData(kList, 0), 99);
    EXPECT_EQ(dlg.selection(kList), 1);
    // Out of range asks answer "nothing" rather than failing.
    EXPECT_EQ(dlg.entryData(kList, 5), -1);
    EXPECT_EQ(dlg.entryText(kList, -1), "");
    dlg.removeEntry(kList, 7);
    dlg.setSelection(kList, 9);
    EXPECT_EQ(dlg.selection(kList), -1);
    EXPECT_EQ(dlg.entryCount(kList), 2);

    // An unsorted list keeps the given positions.
    dlg.addEntry(kMulti, "b", 2);
    dlg.insertEntry(kMulti, 0, "a", 1);
    dlg.insertEntry(kMulti, 99, "c", 3);
    EXPECT_EQ(dlg.entryText(kMulti, 0), "a");
    EXPECT_EQ(dlg.entryText(kMulti, 2), "c");
    EXPECT_EQ(dlg.entryData(kMulti, 2), 3);
    dlg.setEntrySelected(kMulti, 0, true);
    dlg.setEntrySelected(kMulti, 2, true);
    EXPECT_TRUE(dlg.entrySelected(kMulti, 0));
    EXPECT_FALSE(dlg.entrySelected(kMulti, 1));
    EXPECT_TRUE(dlg.entrySelected(kMulti, 2));
    dlg.clearEntries(kMulti);
    EXPECT_EQ(dlg.entryCount(kMulti), 0);

    // Drop-down: data, and no selection until one is made.
    dlg.addEntry(kDrop, "x", 100);
    dlg.addEntry(kDrop, "y", 200);
    EXPECT_EQ(dlg.selection(kDrop), -1);
    dlg.setSelection(kDrop, 1);
    EXPECT_EQ(dlg.entryData(kDrop, dlg.selection(kDrop)), 200);

    // Texts cross byte for byte, beyond ASCII too.
    dlg.addEntry(kMulti, "caf\xE9", 1);
    EXPECT_EQ(dlg.entryText(kMulti, 0), "caf\xE9");
    EXPECT_TRUE(proc.seen.empty());
}

TEST(QtDialogEntries, EditLimitsCutTyping) {
    RecordingProc proc;
    proc.init = [](Dialog& d) {
        d.setTextLimit(kEdit, 4);
        d.setTextLimit(kMemo, 5);
    };
    QtDialog dlg(kAllTemplate, proc);
    runDriven(dlg, [&] {
        QTest::keyClicks(ctl<QLineEdit>(dlg, kEdit), "abcdefg");
        EXPECT_EQ(dlg.text(kEdit), "abcd");
        QTest::keyClicks(ctl<QPlainTextEdit>(dlg, kMemo), "1234567");
        EXPECT_EQ(dlg.text(kMemo), "12345");
        dlg.end(kIdOk);
    });
}

TEST(QtPlatformDialogs, RunDialogFindsTemplatesByNameAndRejectsUnknownOnes) {
    QtPlatform qt;
    RecordingProc proc;
    EXPECT_EQ(qt.runDialog("NO_SUCH_DIALOG", proc), -1);
    proc.init = [](Dialog& d) { d.setText(1203, "X"); };
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        EXPECT_EQ(modal->windowTitle(), QString::fromStdString(resources_Caption("GET_CENTER")));
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_EQ(qt.runDialog("getcenter", proc), kIdCancel);
}

}  // namespace
