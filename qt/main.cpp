// The editor: the Qt platform, the shell's start-up, then Qt's own event loop, which sleeps
// while nothing happens.
#include "qt/qt_platform.h"
#include "shell/build_defaults.h"
#include "shell/prefetch.h"
#include "shell/shell.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#ifndef SORTIE_APP_ID
#define SORTIE_APP_ID "sortie"
#endif

namespace {

// Ends the event loop once the map pane's first paint is done, and keeps the time it took.
class FirstPaintWatch : public QObject {
public:
    explicit FirstPaintWatch(std::chrono::steady_clock::time_point start) : start_(start) {}
    double ms = -1;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ms < 0) {
            // Queued: runs when the paint this event starts has been handled.
            QTimer::singleShot(0, this, [this] {
                ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::chrono::steady_clock::time_point start_;
};

}  // namespace

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
    // The data and the mission are read on the second core while the toolkit starts and
    // builds the window; start-up waits for them. Nothing here touches the core till then.
    prefetch_Start(parsed);

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
    // Started means the map, mission and all, has reached the screen: from here the map pane's
    // first paint is watched, whether the repaint below does it or the loop does once the
    // window system has exposed the new window.
    FirstPaintWatch watch(t0);
    if (parsed.exitAfterStart) window.mapPane().installEventFilter(&watch);
    // Start-up has shown the window; the first paint at once, before the loop takes over.
    window.repaint();
    window.mapPane().repaint();

    if (parsed.exitAfterStart) {
        // Without a display to paint on, it gives up after a few seconds.
        QTimer::singleShot(5000, &app, &QCoreApplication::quit);
        app.exec();
        if (watch.ms >= 0)
            std::fprintf(stderr, "sortie: started and painted in %.1f ms\n", watch.ms);
        else
            std::fprintf(stderr, "sortie: started; the map was not painted within 5 s\n");
        shell_Shutdown();
        platform_Set(nullptr);
        return 0;
    }
    const int code = app.exec();
    platform_Set(nullptr);
    return code;
}
