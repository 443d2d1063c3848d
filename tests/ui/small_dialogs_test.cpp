// The shell's small dialogs under the Qt layer: each one opens from its template with its
// procedure, answers real clicks and typing, and closes.
#include "gamedata/itemdef.h"
#include "mission/mission.h"
#include "qt/qt_dialog.h"
#include "resources/shell_dialogs.h"
#include "shell/dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace dlgid;

namespace {

template <class W>
W* widget(QtDialog& d, int id) {
    W* w = qobject_cast<W*>(d.control(id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

// Opens the named template with proc, lets drive act once it is up, and returns the result.
int drive(const char* name, DialogProc& proc, std::function<void(QtDialog&)> act) {
    const DialogTemplate* t = resources_FindDialog(name);
    EXPECT_NE(t, nullptr) << name;
    if (!t) return -1;
    QtDialog dlg(*t, proc);
    QTimer::singleShot(0, [&dlg, act] {
        EXPECT_EQ(QApplication::activeModalWidget(), &dlg.window());
        act(dlg);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&dlg] { dlg.end(-99); });
    guard.start(10000);
    return dlg.run();
}

void press(QtDialog& d, int id) { QTest::mouseClick(widget<QAbstractButton>(d, id), Qt::LeftButton); }

// A placeholder title means the procedure never set the real one.
void expectTitleSet(QtDialog& d) {
    EXPECT_NE(d.window().windowTitle().toStdString(), std::string(d.dialogTemplate().caption));
}

class SmallDialogsQt : public ::testing::Test {
protected:
    std::unique_ptr<Mission> page = std::make_unique<Mission>();
    std::vector<ItemDef> defs;
    ItemDefTable saved = itemdef_Table();

    void SetUp() override {
        mission_Clear(*page);
        dialogs_Reset();
        defs.resize(3);
        const std::int32_t kinds[] = {kItemVehicle, kItemPerson, kItemVehicle};
        const char* names[] = {"Truck", "Scout", "Armoured car"};
        for (std::size_t i = 0; i < defs.size(); ++i) {
            std::snprintf(defs[i].name, sizeof defs[i].name, "%s", names[i]);
            defs[i].typeNumber = 500 + static_cast<std::int32_t>(i);
            defs[i].type = kinds[i];
        }
        itemdef_Table().defs = defs.data();
        itemdef_Table().count = static_cast<std::int32_t>(defs.size());
    }
    void TearDown() override {
        itemdef_Table() = saved;
        dialogs_Reset();
    }
};

}  // namespace

TEST_F(SmallDialogsQt, CenterTakesTypedMetres) {
    std::int32_t cx = 256 * 12, cy = -1;
    CenterDialogProc proc(cx, cy);
    const int r = drive("GETCENTER", proc, [](QtDialog& d) {
        expectTitleSet(d);
        EXPECT_EQ(d.text(kCenterX), "12");
        EXPECT_EQ(d.text(kCenterY), "-1");
        QLineEdit* x = widget<QLineEdit>(d, kCenterX);
        x->selectAll();
        QTest::keyClicks(x, "-40");
        press(d, kIdOk);
    });
    EXPECT_EQ(r, kIdOk);
    EXPECT_EQ(cx, -40 * 256);
    EXPECT_EQ(cy, -256);
}

TEST_F(SmallDialogsQt, InsertItemListsTheClickedKindAndKeepsTheChoice) {
    InsertItemDialogProc proc(dialogs_Settings());
    const int r = drive("INSERTITEM", proc, [](QtDialog& d) {
        expectTitleSet(d);
        press(d, kInsertVehicles);
        QListWidget* list = widget<QListWidget>(d, kInsertList);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(d.entryText(kInsertList, 0), "Armoured car");  // sorted
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        press(d, kInsertRandomFacing);
        press(d, kIdOk);
    });
    EXPECT_EQ(r, kIdOk);
    EXPECT_EQ(dialogs_Settings().insertKind, kItemVehicle);
    EXPECT_EQ(dialogs_Settings().insertName, "Truck");
    EXPECT_TRUE(dialogs_Settings().randomFacing);

    InsertItemDialogProc again(dialogs_Settings());
    drive("INSERTITEM", again, [](QtDialog& d) {
        EXPECT_EQ(d.check(kInsertVehicles), kChecked);
        EXPECT_EQ(d.entryText(kInsertList, d.selection(kInsertList)), "Truck");
        EXPECT_EQ(d.check(kInsertRandomFacing), kChecked);
        QTest::keyClick(&d.window(), Qt::Key_Escape);
    });
    EXPECT_TRUE(dialogs_Settings().insertCancelled);
}

TEST_F(SmallDialogsQt, VisibleLayersFollowsBoxesAndTheFirstLayerChoice) {
    page->info.current_layer = 0;
    VisibleLayersDialogProc proc(*page, nullptr);
    drive("VISIBLELAYERS", proc, [this](QtDialog& d) {
        expectTitleSet(d);
        press(d, kLayerCheckFirst + 2);
        EXPECT_EQ(page->info.hidden_layers, 1u << 2);
        QComboBox* drop = widget<QComboBox>(d, kDefaultLayerList);
        drop->setFocus();
        QTest::keyClick(drop, Qt::Key_Down);  // the first choice is taken
        EXPECT_EQ(page->info.current_layer, 1);
        press(d, kHideAllLayers);
        EXPECT_EQ(d.check(kLayerCheckFirst + 1), kChecked);
        EXPECT_EQ(d.check(kLayerCheckFirst + 0), kUnchecked);
        press(d, kIdOk);
    });
    EXPECT_EQ(page->info.hidden_layers, ~(1u << 1));
}

TEST_F(SmallDialogsQt, LayerNamesStoresWhatIsTyped) {
    mission_SetText(page->layers[0].description, "North");
    LayerNamesDialogProc proc(*page);
    drive("LAYERNAMES", proc, [this](QtDialog& d) {
        expectTitleSet(d);
        EXPECT_EQ(d.text(kLayerNameEdit), "North");
        QListWidget* list = widget<QListWidget>(d, kLayerNameList);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(3)).center());
        EXPECT_EQ(mission_Text(page->layers[0].description), "North");
        QTest::keyClicks(widget<QLineEdit>(d, kLayerNameEdit), "Ridge");
        EXPECT_EQ(d.entryText(kLayerNameList, 3), " 4 - Ridge");
        press(d, kIdOk);
    });
    EXPECT_EQ(mission_Text(page->layers[3].description), "Ridge");
    EXPECT_EQ(mission_Text(page->layers[0].description), "North");
}

TEST_F(SmallDialogsQt, BriefingAboutAndStatusOpenAndClose) {
    BriefingDialogProc briefing(*page);
    EXPECT_EQ(drive("EDITBRIEFING", briefing,
                    [](QtDialog& d) {
                        expectTitleSet(d);
                        QTest::keyClicks(widget<QPlainTextEdit>(d, kBriefingEdit), "Hold the bridge");
                        press(d, kIdOk);
                    }),
              kIdOk);
    EXPECT_EQ(mission_Text(page->info.briefing), "Hold the bridge");

    AboutDialogProc about;
    EXPECT_EQ(drive("ABOUT_KZMED", about,
                    [](QtDialog& d) {
                        expectTitleSet(d);
                        press(d, kIdOk);
                    }),
              kIdOk);

    StatusDialogProc status("Loading");
    drive("STATUSDIALOG", status, [](QtDialog& d) {
        expectTitleSet(d);
        EXPECT_EQ(d.text(kStatusLine), "Loading");
        QTest::keyClick(&d.window(), Qt::Key_Escape);
    });
}
