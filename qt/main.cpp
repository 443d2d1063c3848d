// The editor: the Qt platform, the shell's start-up, then Qt's own event loop, which sleeps
// while nothing happens.
#include "qt/qt_platform.h"
#include "shell/build_defaults.h"
#include "shell/shell.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#ifndef SORTIE_APP_ID
#define SORTIE_APP_ID "sortie"
#endif

int main(int argc, char** argv) {
    const auto t0 = std::chrono::steady_clock::now();
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args) {
        if (a == "-h" || a == "--help") {
            std::fputs(shell_Usage().c_str(), stdout);
            return 0;
        }
        if (a == "--version") {
            std::printf("sortie %s\n", kSortieVersion);
            return 0;
        }
    }
    ShellArgs parsed;
    std::string error;
    if (!shell_ParseArgs(args, parsed, error)) {
        std::fprintf(stderr, "sortie: %s\n%s", error.c_str(), shell_Usage().c_str());
        return 2;
    }
    if (parsed.dataDir.empty()) parsed.dataDir = startup_DefaultDataDir(argv[0], startup_BuildDefaults());

    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral(SORTIE_APP_ID));
    QtPlatform qt;
    platform_Set(&qt);
    if (shell_Startup(parsed) != 1) {
        // Start-up was abandoned after its warning; there is no window to run.
        platform_Set(nullptr);
        return 1;
    }
    MainWindow& window = qt.mainWindow();
    // Start-up has shown the window; the first paint at once, before the loop takes over.
    window.repaint();
    window.mapPane().repaint();

    if (parsed.exitAfterStart) {
        const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        std::fprintf(stderr, "sortie: started and painted in %.1f ms\n", ms);
        shell_Shutdown();
        platform_Set(nullptr);
        return 0;
    }
    const int code = app.exec();
    platform_Set(nullptr);
    return code;
}
