// The groups, waypoints and area-trigger editors in a scripted session on the sample kit,
// offscreen: opened from the Edit menu on a sample mission, worked with mouse and keys,
// closed by Escape, the close box and OK; the mission saved and checked by sortie-cli.
#include "session_support.h"

#include "core/text.h"
#include "logic/records_editor.h"
#include "mapview/interact.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mission/mission.h"
#include "shell/shell.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace recid;

namespace {

QPoint paneAt(const MissionItem& item) {
    std::int64_t px = 0, py = 0;
    interact_WorldToPane(interact_Viewport(view_State(), view_Surface()), item.x, item.y, px, py);
    return {static_cast<int>(px), static_cast<int>(py)};
}

// Pixels of this colour within r pixels of p.
int pixelsOf(const QImage& img, QPoint p, int r, std::uint32_t colour) {
    int n = 0;
    for (int y = p.y() - r; y <= p.y() + r; ++y)
        for (int x = p.x() - r; x <= p.x() + r; ++x) n += img.valid(x, y) && (img.pixel(x, y) & 0xFFFFFFu) == colour;
    return n;
}

}  // namespace

using RecordsSession = EditorSessionTest;

TEST_F(RecordsSession, RenameGroupsColourAPathSelectAnAreaAndSave) {
    const std::string saved = file("edited.mis");
    ASSERT_NO_FATAL_FAILURE(start());
    MainWindow& w = qt.mainWindow();
    qt.files = {sampleMission};
    menuAction(w, cmd::kOpen)->trigger();
    Mission& page = mission_Pages().page[0];
    ASSERT_EQ(mission_Text(page.groups[1].description), "Blue Players");

    // The view on the middle of path 1's first leg, drawn green.
    const MissionItem* leg[2] = {};
    std::int32_t member = -1;
    for (int i = 0; i < page.item_count; ++i) {
        const MissionItem& it = page.items[std::size_t(i)];
        if (it.type_id == kWaypointMarkerType && it.waypoint_id == 1 && it.wpnumber < 2) leg[it.wpnumber] = &it;
        if (it.group_id == 1 && member < 0) member = i;
    }
    ASSERT_TRUE(leg[0] && leg[1] && member >= 0);
    view_State().center_x = (leg[0]->x + leg[1]->x) / 2;
    view_State().center_y = (leg[0]->y + leg[1]->y) / 2;
    view_State().zoom = 0.01f;
    shell_Render();
    const QPoint mid = (paneAt(*leg[0]) + paneAt(*leg[1])) / 2;
    const std::uint32_t green = render_CodeColour(4), purple = render_CodeColour(8);
    ASSERT_GT(pixelsOf(w.mapPane().image(), mid, 3, green), 0) << "path 1 is not drawn where expected";

    // Groups: rename group 1 and select its members, name group 3, leave with OK.
    const QPoint at = paneAt(page.items[std::size_t(member)]);
    const int selectedBefore = pixelsOf(w.mapPane().image(), at, 12, kColourSelection);
    qt.dialogs = {[](QtDialog& d) {
        auto* list = widget<QListWidget>(d, kList);
        auto* edit = widget<QLineEdit>(d, kDesc);
        EXPECT_EQ(list->count(), 63);
        EXPECT_NE(d.text(kSize).find('4'), std::string::npos) << d.text(kSize);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "Alpha squad");
        EXPECT_EQ(list->item(0)->text().toStdString(), " 1 - Alpha squad");
        QTest::mouseClick(widget<QPushButton>(d, kSelect), Qt::LeftButton);
        clickRow(list, 2);
        QTest::keyClicks(edit, "Scouts");
        QTest::mouseClick(widget<QPushButton>(d, kIdOk), Qt::LeftButton);
    }};
    menuAction(w, cmd::kGroups)->trigger();
    EXPECT_EQ(mission_Text(page.groups[1].description), "Alpha squad");
    EXPECT_EQ(mission_Text(page.groups[3].description), "Scouts");
    EXPECT_TRUE(mission_IsSelected(page, member));
    EXPECT_GT(pixelsOf(w.mapPane().image(), at, 12, kColourSelection), selectedBefore);

    // Waypoints: path 1 turns purple on the map while the dialog is open; the close box
    // cancels, and the path is green again.
    qt.dialogs = {[&](QtDialog& d) {
        auto* colour = widget<QComboBox>(d, kColor);
        ASSERT_EQ(colour->count(), kRecordColorCount);
        for (int i = 0; i < colour->count(); ++i)
            EXPECT_EQ(colour->itemText(i).toStdString(), text_Get("Colors", records_ColorKey(i)));
        EXPECT_EQ(colour->currentIndex(), 4);
        colour->setCurrentIndex(8);  // as a choice by mouse or keys
        EXPECT_GT(pixelsOf(w.mapPane().image(), mid, 3, purple), 0);
        d.window().close();
    }};
    menuAction(w, cmd::kWaypoints)->trigger();
    EXPECT_EQ(qt.lastResult(), kIdCancel);
    EXPECT_EQ(page.waypoints[1].color, 4);
    EXPECT_GT(pixelsOf(w.mapPane().image(), mid, 3, green), 0);
    EXPECT_EQ(pixelsOf(w.mapPane().image(), mid, 3, purple), 0);

    // Area triggers: the two markers of area 1 and nothing else; OK.
    shell_Command(cmd::kUnselectAll);
    qt.dialogs = {[](QtDialog& d) {
        EXPECT_EQ(d.text(kDesc), "Village square");
        QTest::mouseClick(widget<QPushButton>(d, kSelect), Qt::LeftButton);
        QTest::mouseClick(widget<QPushButton>(d, kIdOk), Qt::LeftButton);
    }};
    menuAction(w, cmd::kAreaTriggers)->trigger();
    EXPECT_TRUE(qt.dialogs.empty());
    EXPECT_EQ(page.selection.count, 2);
    for (int s = 0; s < page.selection.count; ++s) {
        const MissionItem& it = page.items[std::size_t(page.selection.index[std::size_t(s)])];
        EXPECT_TRUE(it.type_id == kAreaMarkerType && it.wpnumber == 1);
    }

    // Saved, read back with the edits, and clean for the command-line check.
    qt.files = {saved};
    menuAction(w, cmd::kSaveAs)->trigger();
    EXPECT_TRUE(qt.shown.empty()) << qt.shown.front();
    auto back = readMission(saved);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(mission_Text(back->groups[1].description), "Alpha squad");
    EXPECT_EQ(mission_Text(back->groups[3].description), "Scouts");
    EXPECT_EQ(back->waypoints[1].color, 4);
    const CliRun check = cli({"check", saved});
    EXPECT_EQ(check.exitCode, 0) << check.err;
    EXPECT_EQ(check.err, "");
}
