// The application icon: embedded in every size the build renders, shown by the main window
// and by the About box instead of a stock icon.
#include "qt/app_icon.h"
#include "qt/qt_dialog.h"
#include "qt/qt_platform.h"
#include "resources/templates.h"
#include "shell/dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QImage image(const QPixmap& p) { return p.toImage().convertToFormat(QImage::Format_ARGB32); }

TEST(AppIcon, MainWindowAndAboutBoxShowIt) {
    const QIcon icon = qt_AppIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int n : {16, 32, 48, 256}) EXPECT_TRUE(sizes.contains(QSize(n, n))) << n << " pixels";
    const QImage expected = image(icon.pixmap(32, 32));

    // The main window takes it once its first frame is up.
    QtPlatform qt;
    qt.mainWindow().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&qt.mainWindow()));
    qt.mainWindow().mapPane().repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(image(qt.mainWindow().windowIcon().pixmap(32, 32)), expected);

    const DialogTemplate* about = resources_FindDialog("ABOUT_KZMED");
    ASSERT_NE(about, nullptr);
    AboutDialogProc proc;
    QtDialog dlg(*about, proc);
    int shown = 0;
    for (const QLabel* label : dlg.window().findChildren<QLabel*>()) {
        const QPixmap p = label->pixmap();
        if (p.isNull()) continue;
        ++shown;
        EXPECT_EQ(image(p), expected);
    }
    EXPECT_EQ(shown, 2);
}

}  // namespace
