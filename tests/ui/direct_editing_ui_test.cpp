// Editing on the map through the real main window, offscreen: a double click opens the item
// attributes, a plain drag selects by band, a drag on the selection moves it (one Ctrl+Z puts
// it back), Esc ends every gesture and insert mode, Ctrl+A, Ctrl+N, and Draw Path.
#include "session_support.h"

#include "core/text.h"
#include "mapview/gesture.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mission/mission.h"
#include "mission/undo.h"
#include "resources/shell_dialogs.h"
#include "shell/shell.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

class DirectEditing : public EditorSessionTest {
protected:
    MainWindow& window() { return qt.mainWindow(); }
    MapPane& pane() { return window().mapPane(); }
    Mission& page() { return mission_CurrentPage(); }

    void openCopy() {
        const std::string copy = file("work.mis");
        fs::copy_file(sampleMission, copy, fs::copy_options::overwrite_existing);
        qt.files = {copy};
        menuAction(window(), cmd::kOpen)->trigger();
        ASSERT_GT(page().item_count, 3);
    }
    QPoint at(std::int32_t index) {
        const MissionItem& it = page().items[std::size_t(index)];
        std::int64_t px = 0, py = 0;
        interact_WorldToPane(interact_Viewport(view_State(), view_Surface()), it.x, it.y, px, py);
        return {int(px), int(py)};
    }
    // The shown item farthest from the others on the pane, so a band or a grab meets it alone.
    std::int32_t loneItem() {
        const Viewport vp = interact_Viewport(view_State(), view_Surface());
        std::int32_t best = -1;
        std::int64_t bestGap = -1;
        for (std::int32_t i = 0; i < page().item_count; ++i) {
            std::int64_t x = 0, y = 0, gap = INT64_MAX;
            if (!interact_Pickable(page(), vp, i, x, y) || x < 60 || y < 60 || x > vp.width - 100 || y > vp.height - 60)
                continue;
            for (std::int32_t j = 0; j < page().item_count; ++j) {
                std::int64_t u = 0, v = 0;
                if (j != i && interact_Pickable(page(), vp, j, u, v))
                    gap = std::min(gap, (u - x) * (u - x) + (v - y) * (v - y));
            }
            if (gap > bestGap) bestGap = gap, best = i;
        }
        EXPECT_GT(bestGap, 30 * 30);
        return best;
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        if (!window().isActiveWindow()) {
            window().activateWindow();
            QApplication::setActiveWindow(&window());
            EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
        }
        QTest::keyClick(&window(), Qt::Key(k), mods);
    }
    // A left drag from a to b in a few steps; released unless told not to.
    void drag(QPoint a, QPoint b, Qt::KeyboardModifiers mods = Qt::NoModifier, bool release = true) {
        QTest::mousePress(&pane(), Qt::LeftButton, mods, a);
        for (int i = 1; i <= 4; ++i) QTest::mouseMove(&pane(), a + (b - a) * i / 4);
        if (release) QTest::mouseRelease(&pane(), Qt::LeftButton, mods, b);
    }
    std::vector<std::int32_t> selection() {
        const Mission& m = page();
        return {m.selection.index.begin(), m.selection.index.begin() + m.selection.count};
    }
};

TEST_F(DirectEditing, DoubleClickOpensTheAttributesOnTheItem) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(openCopy());
    const std::int32_t item = loneItem();
    QTest::mouseDClick(&pane(), Qt::LeftButton, Qt::NoModifier, at(item));
    ASSERT_FALSE(qt.results.empty());
    EXPECT_EQ(qt.results.back().first, "ITEMATTRIBUTES");
    EXPECT_EQ(selection(), std::vector<std::int32_t>{item});
}

TEST_F(DirectEditing, PlainDragReplacesTheSelectionWithTheBand) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(openCopy());
    const std::int32_t item = loneItem();
    mission_Select(page(), item == 0 ? 1 : 0);
    drag(at(item) - QPoint(20, 20), at(item) + QPoint(20, 20));
    EXPECT_EQ(selection(), std::vector<std::int32_t>{item});
    EXPECT_TRUE(gesture_Idle(gesture_State()));
}

TEST_F(DirectEditing, DragOnTheSelectionMovesItAndOneUndoPutsItBack) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(openCopy());
    const std::int32_t item = loneItem();
    const MissionItem before = page().items[std::size_t(item)];
    mission_Select(page(), item);
    drag(at(item) + QPoint(2, 1), at(item) + QPoint(42, 1));
    const float zoom = interact_Viewport(view_State(), view_Surface()).zoom;
    EXPECT_NEAR(page().items[std::size_t(item)].x - before.x, 40 / zoom, 2 / zoom);
    EXPECT_EQ(page().items[std::size_t(item)].y, before.y);
    EXPECT_EQ(std::string(undo_PageHistory(0).undoName()), "STEP_MOVE");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page().items[std::size_t(item)].x, before.x);
    EXPECT_FALSE(undo_PageHistory(0).canUndo());
}

// Esc in the middle of each gesture: nothing of the page changes, the gesture is over, and
// insert mode ends when no gesture is left to end.
TEST_F(DirectEditing, EscEndsEachGestureAndThenInsertMode) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(openCopy());
    const std::int32_t item = loneItem();
    struct Case {
        const char* name;
        std::function<void()> begin;
    };
    const Case cases[] = {
        {"drag move", [&] { drag(at(item), at(item) + QPoint(30, 30), Qt::NoModifier, false); }},
        {"move command",
         [&] {
             window().command(cmd::kMove);
             QTest::mouseMove(&pane(), at(item) + QPoint(30, 0));
         }},
        {"band", [&] { drag(at(item) - QPoint(30, 30), at(item) + QPoint(10, 10), Qt::NoModifier, false); }},
        {"shift band", [&] { drag(at(item) - QPoint(30, 30), at(item) + QPoint(10, 10), Qt::ShiftModifier, false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mission_ClearSelection(page());
        mission_Select(page(), item);
        const MissionItem before = page().items[std::size_t(item)];
        c.begin();
        ASSERT_FALSE(gesture_Idle(gesture_State()));
        key(Qt::Key_Escape);
        EXPECT_TRUE(gesture_Idle(gesture_State()));
        QTest::mouseRelease(&pane(), Qt::LeftButton, Qt::NoModifier, at(item) + QPoint(30, 30));
        EXPECT_EQ(page().items[std::size_t(item)].x, before.x);
        EXPECT_EQ(selection(), std::vector<std::int32_t>{item});
    }
    EXPECT_FALSE(undo_PageHistory(0).canUndo());
    shell_Command(cmd::kInsertMode);
    ASSERT_TRUE(view_State().insert_mode);
    key(Qt::Key_Escape);
    EXPECT_FALSE(view_State().insert_mode);
}

TEST_F(DirectEditing, CtrlASelectsWhatIsShownAndCtrlShiftAClears) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(openCopy());
    page().items[0].hidden = 1;
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(page().selection.count, page().item_count - 1);
    EXPECT_FALSE(mission_IsSelected(page(), 0));
    EXPECT_EQ(window().statusText(StatusField::Selection).toStdString(),
              text_Printf("Map Tools", "SELECTION", {page().item_count - 1}));
    key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(page().selection.count, 0);
}

TEST_F(DirectEditing, CtrlNLeavesAnUntitledUnmodifiedPage) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(openCopy());
    mission_Select(page(), 0);
    key(Qt::Key_Delete);
    qt.answers = {MsgAnswer::No};  // the changes are given up
    key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(qt.shown.size(), 1u);
    EXPECT_EQ(page().item_count, 0);
    EXPECT_TRUE(page().file_path.empty());
    EXPECT_EQ(window().windowTitle().toStdString(), text_Printf("Conveniences", "TITLE_PAGE", {1, shell_TitleFor("")}));
    EXPECT_FALSE(undo_PageHistory(0).canUndo());
}

TEST_F(DirectEditing, DrawPathPlacesNumberedMarkersThatOneUndoTakesAway) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(openCopy());
    constexpr int kPath = 9;
    qt.scripts["CHOOSE"] = {[](QtDialog& d) {
        d.setSelection(dlgid::kChooseList, kPath - 1);
        widget<QPushButton>(d, kIdOk)->click();
    }};
    const int items = page().item_count;
    menuAction(window(), cmd::kDrawPath)->trigger();
    const QPoint start = at(loneItem()) + QPoint(40, 0);
    for (int i = 0; i < 3; ++i) QTest::mouseClick(&pane(), Qt::LeftButton, Qt::NoModifier, start + QPoint(0, 30 * i));
    key(Qt::Key_Backspace);
    QTest::mouseClick(&pane(), Qt::LeftButton, Qt::NoModifier, start + QPoint(30, 60));
    key(Qt::Key_Return);
    EXPECT_TRUE(gesture_Idle(gesture_State()));
    ASSERT_EQ(page().item_count, items + 3);
    for (int n = 1; n <= 3; ++n) {
        const MissionItem& m = page().items[std::size_t(items + n - 1)];
        EXPECT_EQ(m.type_id, kWaypointMarkerType);
        EXPECT_EQ(m.waypoint_id, kPath);
        EXPECT_EQ(m.wpnumber, n);
    }
    EXPECT_EQ(std::string(undo_PageHistory(0).undoName()), "STEP_DRAW_PATH");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page().item_count, items);
    EXPECT_FALSE(undo_PageHistory(0).canUndo());
}

}  // namespace

namespace {

// Print draws the map into a PDF page; Export Map Image's PNG reads back at its size.
TEST(DirectEditingFiles, PrintToPdfAndPngReadBack) {
    QTemporaryDir dir;
    std::vector<std::uint32_t> pixels(std::size_t(64) * 40, 0x00336699u);
    PixelView view{pixels.data(), 60, 40, 64};
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir.filePath(QStringLiteral("map.pdf"));
    printer.setOutputFileName(pdf);
    QImage image(reinterpret_cast<const uchar*>(pixels.data()), 60, 40, 64 * 4, QImage::Format_RGB32);
    ASSERT_TRUE(qt_PrintMap(printer, image, QStringLiteral("First Steps"), QStringLiteral("Scale 100px: 38 m")));
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_FALSE(qt_PrintMap(printer, QImage(), {}, {}));

    QtPlatform qt;
    const std::string png = dir.filePath(QStringLiteral("map.png")).toStdString();
    ASSERT_TRUE(qt.writePng(png, view));
    const QImage back(QString::fromStdString(png));
    EXPECT_EQ(back.size(), QSize(60, 40));
    EXPECT_EQ(back.pixel(59, 39) & 0xFFFFFFu, 0x336699u);
    EXPECT_FALSE(qt.writePng(dir.filePath(QStringLiteral("no/such/folder/x.png")).toStdString(), view));
}

}  // namespace
