// The conveniences in the Qt window, offscreen: at 800 x 600 every caption of the button bar
// fits its button, even in the bold of a button that is down, and every button has a tooltip;
// a mission dropped on the window opens.
#include "session_support.h"

#include "mission/mission.h"
#include "shell/actions.h"
#include "qt/qt_text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QAction>
#include <QMenuBar>
#include <QUrl>

#include <filesystem>

namespace {

// The editor at 800 x 600; its recent files go to the session's own folder.
class Conveniences : public EditorSessionTest {
protected:
    void SetUp() override {
        EditorSessionTest::SetUp();
        if (!HasFatalFailure()) start({}, QSize(800, 600));
    }
};

TEST_F(Conveniences, ButtonBarCaptionsFitAndCarryTipsAt800x600) {
    MainWindow& w = qt.mainWindow();
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
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(sampleMission))});
    QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&qt.mainWindow(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&qt.mainWindow(), &drop);
    EXPECT_GT(mission_CurrentPage().item_count, 0);
}

// Paths are UTF-8 and shown as such wherever they stand: in the title, in Recent Files and in
// a message box, beside texts in the mission's own code page.
TEST_F(Conveniences, NonAsciiPathsShowRightInTitleRecentFilesAndMessages) {
    const std::string name = "\xD0\x9C\xD0\xB8\xD1\x81\xD1\x81\xD0\xB8\xD1\x8F caf\xC3\xA9.mis";  // Миссия café.mis
    const QString shownName = QString::fromUtf8(name.c_str());
    const std::string path = file(name);
    std::filesystem::copy_file(sampleMission, path);
    shell_OpenMissionPath(path);
    ASSERT_GT(mission_CurrentPage().item_count, 0);
    MainWindow& w = qt.mainWindow();
    EXPECT_TRUE(w.windowTitle().contains(shownName)) << w.windowTitle().toStdString();
    const QAction* recent = nullptr;  // in the File menu's Recent Files submenu
    for (const QAction* a : w.menuBar()->findChildren<QAction*>())
        if (!a->isSeparator() && a->data().toInt() == cmd::kRecentFirst) recent = a;
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->text().contains(shownName)) << recent->text().toStdString();

    // A message naming the file once it is gone.
    std::filesystem::remove(path);
    shell_Command(cmd::kRecentFirst);
    ASSERT_FALSE(qt.shown.empty());
    EXPECT_TRUE(qtShownText(qt.shown.back()).contains(shownName)) << qt.shown.back();
}

}  // namespace
