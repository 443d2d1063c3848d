// The item attributes editor in a scripted session on the sample kit, offscreen: a squad is
// selected with a rubber band, a click on the selection pane opens the real dialog, one OK
// gives the squad a group, a waypoint path, a weapon and the Deaf flag, and the saved
// metafile and the exported binary mission carry all of it. Escape and the close box
// leave the squad as it was.
#include "session_support.h"

#include "gamedata/itemdef.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mission/export.h"
#include "mission/itemattr.h"
#include "mission/mission.h"
#include "shell/shell.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <utility>

using namespace itemattr;

namespace {

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

using ItemAttrSession = EditorSessionTest;

TEST_F(ItemAttrSession, BandSelectedSquadGetsGroupPathWeaponAndDeafInOneOk) {
    ASSERT_NO_FATAL_FAILURE(start());
    MainWindow& w = qt.mainWindow();
    shell_OpenMissionPath(sampleMission);
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
    ASSERT_EQ(qt.resultCodes(), (std::vector<int>{kIdCancel, kIdCancel}));
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
    ASSERT_EQ(qt.lastResult(), kIdOk);
    for (std::int32_t i : squad) {
        MissionItem expected = before[std::size_t(i)];
        expected.group_id = kGroup, expected.waypoint_id = kPath, expected.weapon_type = kWeaponAk74;
        expected.edistances = {400, 800};
        expected.bmsi_attributes |= kBmsiDeaf;
        EXPECT_EQ(std::memcmp(&expected, &page.items[i], sizeof expected), 0) << i;
    }

    // Saved and exported.
    const std::string mis = file("squad.mis"), bms = file("squad.bms");
    qt.files = {mis, bms};
    shell_Command(cmd::kSaveAs);
    shell_Command(cmd::kExport);
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();

    auto back = readMission(mis);
    ASSERT_NE(back, nullptr);
    BmsFile file;
    std::string error;
    ASSERT_TRUE(readBms(bms, file, error)) << error;
    int found = 0;
    for (std::int32_t i = 0; i < back->item_count; ++i) {
        const MissionItem& it = back->items[i];
        if (std::find(ids.begin(), ids.end(), it.id) == ids.end()) continue;
        ++found;
        EXPECT_EQ(std::vector<int>({it.group_id, it.waypoint_id, it.weapon_type, it.edistances[0], it.edistances[1],
                                    it.bmsi_attributes & kBmsiDeaf}),
                  std::vector<int>({kGroup, kPath, kWeaponAk74, 400, 800, kBmsiDeaf}))
            << it.id;
    }
    for (const BmsItem& b : file.sections[3]) {
        if (std::find(ids.begin(), ids.end(), b.id) == ids.end()) continue;
        ++found;
        EXPECT_EQ(std::vector<int>({b.groupId, b.waypointId, b.weaponType, b.edistances[0], b.edistances[1],
                                    b.bmsiAttributes & kBmsiDeaf}),
                  std::vector<int>({kGroup, kPath, kWeaponAk74, 400, 800, kBmsiDeaf}))
            << b.id;
    }
    EXPECT_EQ(found, int(2 * ids.size()));
}
