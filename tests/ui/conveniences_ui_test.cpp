// The conveniences in the Qt window, offscreen: at 800 x 600 every caption of the button bar
// fits its button, even in the bold of a button that is down, and every button has a tooltip;
// a mission dropped on the window opens.
#include "session_support.h"

#include "mission/mission.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

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

}  // namespace
