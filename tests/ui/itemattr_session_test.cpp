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
#include "shell/reset.h"
#include "shell/shell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
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
#include <utility>

using namespace itemattr;

namespace {

namespace fs = std::filesystem;

class ScriptedQtPlatform : public QtPlatform {
public:
    std::deque<std::optional<std::string>> files;
    std::deque<std::function<void(QtDialog&)>> dialogs;  // one script per dialog; none: Escape
    std::vector<int> results;
    std::vector<std::string> shown;

    MsgAnswer messageBox(std::string_view text, std::string_view, MsgIcon, MsgButtons) override {
        shown.emplace_back(text);
        return MsgAnswer::No;
    }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        auto f = files.empty() ? std::nullopt : files.front();
        if (!files.empty()) files.pop_front();
        return f;
    }
    int runDialog(std::string_view name, DialogProc& proc) override {
        QtDialog dlg(*resources_FindDialog(name), proc, &mainWindow());
        auto script = dialogs.empty() ? nullptr : dialogs.front();
        if (!dialogs.empty()) dialogs.pop_front();
        QTimer::singleShot(0, [&dlg, script] {
            EXPECT_EQ(QApplication::activeModalWidget(), &dlg.window());
            if (script) script(dlg);
            else QTest::keyClick(&dlg.window(), Qt::Key_Escape);
        });
        QTimer::singleShot(10000, &dlg.window(), [&dlg] { dlg.end(-99); });  // a stuck script
        return results.emplace_back(dlg.run());
    }
};

// Every control the user can see lies inside the window and shows its whole text.
void expectReadable(QtDialog& d) {
    int seen = 0;
    for (const ControlTemplate& c : d.dialogTemplate().controls) {
        QWidget* w = d.control(c.id);
        if (!w || !w->isVisible()) continue;
        ++seen;
        EXPECT_TRUE(d.window().rect().contains(w->geometry())) << c.id;
        int need = 0;
        if (auto* l = qobject_cast<QLabel*>(w)) need = l->fontMetrics().horizontalAdvance(l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) need = b->sizeHint().width();
        if (auto* g = qobject_cast<QGroupBox*>(w)) need = g->fontMetrics().horizontalAdvance(g->title()) + 1;
        EXPECT_LE(need, w->width()) << c.id;
    }
    EXPECT_GT(seen, 60);
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
    ViewState& v = view_State();
    v.center_x = page.items[squad[0]].x, v.center_y = page.items[squad[0]].y;
    v.zoom = 0.05f;
    std::int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
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
        for (auto [id, index] : {std::pair{kGroupList, kGroup}, {kWaypointList, kPath}, {kWeaponList, kWeaponAk74}})
            qobject_cast<QComboBox*>(d.control(id))->setCurrentIndex(index);
        QWidget* deaf = d.control(kDeaf);
        QTest::mouseClick(deaf, Qt::LeftButton, {}, QPoint(6, deaf->height() / 2));
        EXPECT_EQ(d.check(kDeaf), kChecked);
        QTest::mouseClick(d.control(kIdOk), Qt::LeftButton);
    }};
    QTest::mouseClick(&w.pane(1), Qt::LeftButton);
    ASSERT_EQ(qt.results.back(), kIdOk);
    for (std::int32_t i : squad) {
        MissionItem expected = before[std::size_t(i)];
        expected.group_id = kGroup, expected.waypoint_id = kPath, expected.weapon_type = kWeaponAk74;
        expected.edistances = {400, 800};
        expected.bmsi_attributes |= kBmsiDeaf;
        EXPECT_EQ(std::memcmp(&expected, &page.items[i], sizeof expected), 0) << i;
    }

    // Saved and exported.
    const std::string mis = dir + "/squad.mis", bms = dir + "/squad.bms";
    qt.files = {mis, bms};
    shell_Command(cmd::kSaveAs);
    shell_Command(cmd::kExport);
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();

    auto back = std::make_unique<Mission>();
    ASSERT_EQ(metafile_Read(*back, mis.c_str(), MetafileReadOptions{false, nullptr}), 1);
    std::ifstream in(bms, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    BmsFile file;
    std::string error;
    ASSERT_TRUE(bms_Parse(bytes.data(), bytes.size(), file, error)) << error;
    int found = 0;
    for (std::int32_t i = 0; i < back->item_count; ++i) {
        const MissionItem& it = back->items[i];
        if (std::find(ids.begin(), ids.end(), it.id) == ids.end()) continue;
        ++found;
        EXPECT_EQ(std::vector<int>({it.group_id, it.waypoint_id, it.weapon_type, it.edistances[0], it.edistances[1],
                                    it.bmsi_attributes & kBmsiDeaf}),
                  std::vector<int>({kGroup, kPath, kWeaponAk74, 400, 800, kBmsiDeaf})) << it.id;
    }
    for (const BmsItem& b : file.sections[3]) {
        if (std::find(ids.begin(), ids.end(), b.id) == ids.end()) continue;
        ++found;
        EXPECT_EQ(std::vector<int>({b.groupId, b.waypointId, b.weaponType, b.edistances[0], b.edistances[1],
                                    b.bmsiAttributes & kBmsiDeaf}),
                  std::vector<int>({kGroup, kPath, kWeaponAk74, 400, 800, kBmsiDeaf})) << b.id;
    }
    EXPECT_EQ(found, int(2 * ids.size()));

    qt.setSinks(nullptr, nullptr);
    platform_Set(nullptr);
    sortie_ResetProcess();
}
