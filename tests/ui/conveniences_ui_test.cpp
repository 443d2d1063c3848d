// The conveniences in the Qt window, offscreen: at 800 x 600 every caption of the button bar
// fits its button, even in the bold of a button that is down, and every button has a tooltip;
// a mission dropped on the window opens.
#include "platform/qt/qt_platform.h"

#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "mission/mission.h"
#include "shell/reset.h"
#include "shell/shell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

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
        sortie_ResetProcess();
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

TEST_F(Conveniences, DroppedMissionOpens) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(std::string(SORTIE_SOURCE_DIR) + "/data/missions/tutorial.mis"))});
    QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&qtp->mainWindow(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&qtp->mainWindow(), &drop);
    EXPECT_GT(mission_CurrentPage().item_count, 0);
}

}  // namespace
