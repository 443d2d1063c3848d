// The item attributes editor in a scripted session on the sample kit, offscreen: a squad is
// selected with a rubber band, a click on the selection pane opens the real dialog, one OK
// gives the squad a group, a waypoint path, a weapon and the Deaf flag, and the saved
// metafile and the exported binary mission carry all of it. Escape and the close box
// leave the squad as it was.
#include "platform/qt/qt_dialog.h"
#include "platform/qt/qt_platform.h"

#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mission/export.h"
#include "mission/itemattr.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "shell/dialogs.h"
#include "shell/shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

using namespace itemattr;

namespace {

namespace fs = std::filesystem;

class ScriptedQtPlatform : public QtPlatform {
public:
    std::deque<std::optional<std::string>> files;
    std::deque<std::function<void(QtDialog&)>> dialogs;  // one script per dialog opened
    std::vector<std::string> dialogsRun;
    std::vector<int> results;
    std::vector<std::string> shown;

    MsgAnswer messageBox(std::string_view text, std::string_view, MsgIcon, MsgButtons) override {
        shown.emplace_back(text);
        return MsgAnswer::No;
    }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    int runDialog(std::string_view name, DialogProc& proc) override {
        dialogsRun.emplace_back(name);
        const DialogTemplate* t = resources_FindDialog(name);
        if (!t) return -1;
        QtDialog dlg(*t, proc, &mainWindow());
        std::function<void(QtDialog&)> script;
        if (!dialogs.empty()) {
            script = dialogs.front();
            dialogs.pop_front();
        }
        QTimer::singleShot(0, [&dlg, script] {
            EXPECT_EQ(QApplication::activeModalWidget(), &dlg.window());
            if (script) script(dlg);
            else QTest::keyClick(&dlg.window(), Qt::Key_Escape);
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&dlg] { dlg.end(-99); });
        guard.start(10000);
        results.push_back(dlg.run());
        return results.back();
    }
};

QAction* menuAction(MainWindow& w, int id) {
    for (QAction* top : w.menuBar()->actions()) {
        if (!top->menu()) continue;
        for (QAction* a : top->menu()->actions())
            if (!a->isSeparator() && a->data().toInt() == id) return a;
    }
    return nullptr;
}

// Every control the user can see lies inside the window and shows its whole text.
void expectReadable(QtDialog& d) {
    const QRect inside = d.window().rect();
    int checked = 0;
    for (const ControlTemplate& c : d.dialogTemplate().controls) {
        QWidget* w = d.control(c.id);
        if (!w || !w->isVisible()) continue;
        ++checked;
        SCOPED_TRACE(c.id);
        EXPECT_TRUE(inside.contains(w->geometry()));
        if (auto* l = qobject_cast<QLabel*>(w)) {
            EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << l->text().toStdString();
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_LE(b->sizeHint().width(), b->width()) << b->text().toStdString();
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            EXPECT_LT(g->fontMetrics().horizontalAdvance(g->title()), g->width()) << g->title().toStdString();
        } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
            EXPECT_GE(cb->height(), cb->fontMetrics().height());
        }
    }
    EXPECT_GT(checked, 60);
}

template <class W>
W* widget(QtDialog& d, int id) {
    W* w = qobject_cast<W*>(d.control(id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr std::int32_t kGroup = 3, kPath = 1;

}  // namespace

TEST(ItemAttrSession, BandSelectedSquadGetsGroupPathWeaponAndDeafInOneOk) {
    const std::string kit = SORTIE_GAMEDATA_DIR;
    ASSERT_TRUE(fs::exists(fs::path(kit) / "kz7.pff")) << "no sample kit at " << kit;
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string dir = tmp.path().toStdString();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir + "/state"));

    ScriptedQtPlatform qt;
    platform_Set(&qt);
    interact_Reset();
    dialogs_Reset();
    ShellArgs args;
    args.dataDir = kit;
    ASSERT_EQ(shell_Startup(args), 1);
    MainWindow& w = qt.mainWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    shell_OpenMissionPath(std::string(SORTIE_SOURCE_DIR) + "/data/missions/tutorial.mis");
    Mission& page = mission_Pages().page[0];
    ASSERT_GT(page.item_count, 0);

    // The red squad: every person of team 2, with its ids (the export reorders the table).
    std::vector<std::int32_t> squad, ids;
    for (std::int32_t i = 0; i < page.item_count; ++i)
        if (page.items[i].kind == kItemPerson && page.items[i].team == kTeamEvil) squad.push_back(i);
    ASSERT_GE(squad.size(), 2u);
    for (std::int32_t i : squad) ids.push_back(page.items[i].id);

    // Centre the view on the squad and draw a Shift band round it.
    std::int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
    std::int64_t sx = 0, sy = 0;
    for (std::int32_t i : squad) {
        sx += page.items[i].x;
        sy += page.items[i].y;
    }
    ViewState& v = view_State();
    v.center_x = static_cast<std::int32_t>(sx / std::int64_t(squad.size()));
    v.center_y = static_cast<std::int32_t>(sy / std::int64_t(squad.size()));
    v.zoom = 0.05f;
    QWidget* pane = &w.mapPane();
    pane->repaint();
    const Viewport vp = interact_Viewport(v, view_Surface());
    for (std::int32_t i : squad) {
        std::int64_t px = 0, py = 0;
        interact_WorldToPane(vp, page.items[i].x, page.items[i].y, px, py);
        x0 = std::min(x0, px), y0 = std::min(y0, py), x1 = std::max(x1, px), y1 = std::max(y1, py);
    }
    const QPoint from(int(x0) - 4, int(y1) + 4), to(int(x1) + 4, int(y0) - 4);
    QTest::mousePress(pane, Qt::LeftButton, Qt::ShiftModifier, from);
    QTest::mouseMove(pane, to);
    QTest::mouseRelease(pane, Qt::LeftButton, Qt::ShiftModifier, to);
    ASSERT_EQ(page.selection.count, std::int32_t(squad.size()));
    for (std::int32_t i : squad) EXPECT_TRUE(mission_IsSelected(page, i)) << i;
    const std::vector<MissionItem> before(page.items.begin(), page.items.begin() + page.item_count);

    // Escape, then the close box: nothing changes.
    qt.dialogs = {nullptr, [](QtDialog& d) { d.window().close(); }};
    QTest::mouseClick(&w.pane(1), Qt::LeftButton);
    QTest::mouseClick(&w.pane(1), Qt::LeftButton);
    ASSERT_EQ(qt.results, (std::vector<int>{kIdCancel, kIdCancel}));
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(std::memcmp(&before[i], &page.items[i], sizeof(MissionItem)), 0) << i;

    // One OK: a group, a path, a weapon and Deaf.
    qt.dialogs = {[](QtDialog& d) {
        expectReadable(d);
        widget<QComboBox>(d, kGroupList)->setCurrentIndex(kGroup);
        widget<QComboBox>(d, kWaypointList)->setCurrentIndex(kPath);
        widget<QComboBox>(d, kWeaponList)->setCurrentIndex(kWeaponAk74);
        QCheckBox* deaf = widget<QCheckBox>(d, kDeaf);
        QTest::mouseClick(deaf, Qt::LeftButton, {}, QPoint(6, deaf->height() / 2));
        EXPECT_TRUE(deaf->isChecked());
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
    }};
    QTest::mouseClick(&w.pane(1), Qt::LeftButton);
    ASSERT_EQ(qt.results.back(), kIdOk);
    EXPECT_EQ(qt.dialogsRun, std::vector<std::string>(3, "ITEMATTRIBUTES"));
    for (std::int32_t i : squad) {
        const MissionItem& it = page.items[i];
        const MissionItem& was = before[std::size_t(i)];
        EXPECT_EQ(it.group_id, kGroup);
        EXPECT_EQ(it.waypoint_id, kPath);
        EXPECT_EQ(it.weapon_type, kWeaponAk74);
        EXPECT_EQ(it.edistances[0], 400);
        EXPECT_EQ(it.edistances[1], 800);
        EXPECT_EQ(it.bmsi_attributes, was.bmsi_attributes | kBmsiDeaf);
        EXPECT_EQ(it.team, was.team);
        EXPECT_EQ(it.fov, was.fov);
        EXPECT_EQ(it.alert_state, was.alert_state);
    }

    // Saved and exported.
    const std::string mis = dir + "/squad.mis", bms = dir + "/squad.bms";
    qt.files = {mis};
    menuAction(w, cmd::kSave)->trigger();
    qt.files = {bms};
    menuAction(w, cmd::kExport)->trigger();
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();

    auto back = std::make_unique<Mission>();
    ASSERT_EQ(metafile_Read(*back, mis.c_str(), MetafileReadOptions{false, nullptr}), 1);
    BmsFile file;
    std::string error;
    const std::vector<std::uint8_t> bytes = readBytes(bms);
    ASSERT_TRUE(bms_Parse(bytes.data(), bytes.size(), file, error)) << error;
    for (std::size_t n = 0; n < ids.size(); ++n) {
        SCOPED_TRACE(ids[n]);
        const MissionItem* saved = nullptr;
        for (std::int32_t i = 0; i < back->item_count; ++i)
            if (back->items[i].id == ids[n]) saved = &back->items[i];
        ASSERT_NE(saved, nullptr);
        EXPECT_EQ(saved->group_id, kGroup);
        EXPECT_EQ(saved->waypoint_id, kPath);
        EXPECT_EQ(saved->weapon_type, kWeaponAk74);
        EXPECT_EQ(saved->edistances[1], 800);
        EXPECT_TRUE(saved->bmsi_attributes & kBmsiDeaf);
        const BmsItem* out = nullptr;
        for (const BmsItem& b : file.sections[3])
            if (b.id == ids[n]) out = &b;
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out->groupId, kGroup);
        EXPECT_EQ(out->waypointId, kPath);
        EXPECT_EQ(out->weaponType, kWeaponAk74);
        EXPECT_EQ(out->edistances[0], 400);
        EXPECT_EQ(out->edistances[1], 800);
        EXPECT_TRUE(out->bmsiAttributes & kBmsiDeaf);
    }

    qt.setSinks(nullptr, nullptr);
    platform_Set(nullptr);
    interact_Reset();
    dialogs_Reset();
    shell_Reset();
    mission_ResetPages();
    text_FreeTables();
    text_SetCurrent(nullptr);
    itemdef_Reset();
    model_Reset();
    sky_Reset();
    mem_Shutdown();
}
