// A minimal launcher: the editor's main window with its menu and an empty map. Start-up
// proper (string tables, game data, the button bar) takes its place in the shell.
#include "platform/qt/qt_platform.h"
#include "resources/templates.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtPlatform qt;
    platform_Set(&qt);
    qt.setMenu(resources_Menu("MenuMainWindow"));
    qt.mainWindow().showMaximized();
    int code = app.exec();
    platform_Set(nullptr);
    return code;
}
