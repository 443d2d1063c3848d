// The conveniences in the Qt window, offscreen: at 800 x 600 every button's caption fits and
// has a tooltip, the wheel zooms about the pointer, the main keyboard's = zooms in while the
// keypad's + keeps its own step.
#include "platform/qt/qt_platform.h"

#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "mapview/interact.h"
#include "mapview/view.h"
#include "mission/mission.h"
#include "shell/shell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

class Conveniences : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(fs::path(SORTIE_GAMEDATA_DIR) / "kz7.pff")) GTEST_SKIP() << "no sample kit";
        // The recent files go to a folder of the test's own.
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        qtp = std::make_unique<QtPlatform>();
        platform_Set(qtp.get());
        ShellArgs args;
        args.dataDir = SORTIE_GAMEDATA_DIR;
        ASSERT_EQ(shell_Startup(args), 1);
        qtp->mainWindow().resize(800, 600);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&qtp->mainWindow()));
    }
    void TearDown() override {
        if (!qtp) return;
        qtp->setSinks(nullptr, nullptr);
        platform_Set(nullptr);
        shell_Reset();
        mission_ResetPages();
        text_FreeTables();
        text_SetCurrent(nullptr);
        itemdef_Reset();
        model_Reset();
        sky_Reset();
        mem_Shutdown();
        qtp.reset();
    }
    QTemporaryDir config;
    std::unique_ptr<QtPlatform> qtp;
};

TEST_F(Conveniences, ButtonBarCaptionsFitAndCarryTipsAt800x600) {
    MainWindow& w = qtp->mainWindow();
    const QWidget* central = w.centralWidget();
    int buttons = 0;
    for (QAbstractButton* b : central->findChildren<QAbstractButton*>()) {
        if (!b->isVisible()) continue;
        ++buttons;
        EXPECT_FALSE(b->toolTip().isEmpty()) << b->text().toStdString();
        EXPECT_LE(b->geometry().right(), central->width()) << b->text().toStdString();
        if (qobject_cast<QPushButton*>(b)) {
            QFont bold = b->font();
            bold.setBold(true);  // a button that is down shows its caption in bold
            EXPECT_LE(QFontMetrics(bold).horizontalAdvance(b->text()) + 4, b->width()) << b->text().toStdString();
        }
    }
    EXPECT_GT(buttons, 20);
}

TEST_F(Conveniences, WheelAndKeysZoom) {
    MainWindow& w = qtp->mainWindow();
    ViewState& v = view_State();
    v.zoom = 0.01f;
    MapPane& pane = w.mapPane();
    const QPoint at(pane.width() / 4, pane.height() / 3);
    const WorldPoint before = interact_PaneToWorld(interact_Viewport(v, view_Surface()), at.x(), at.y());
    QWheelEvent wheel(QPointF(at), pane.mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&pane, &wheel);
    EXPECT_FLOAT_EQ(v.zoom, 0.0125f);
    const WorldPoint after = interact_PaneToWorld(interact_Viewport(v, view_Surface()), at.x(), at.y());
    EXPECT_NEAR(after.x, before.x, 1);
    EXPECT_NEAR(after.y, before.y, 1);

    QWidget* keys = w.centralWidget();
    QTest::keyClick(keys, Qt::Key_Equal);
    EXPECT_FLOAT_EQ(v.zoom, 0.015625f);
    QTest::keyClick(keys, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_FLOAT_EQ(v.zoom, 0.015625f * 1.1f);
}

}  // namespace
