// The editor's main window: the menu bar, the button bar (built from data), the map pane
// and the two information panes, laid out in the character units of its fixed-pitch font.
// What happens in it goes to a MainWindowSink as command ids, keys and close requests.
#pragma once

#include "qt/info_pane.h"
#include "qt/map_pane.h"
#include "platform/ui.h"

#include <QMainWindow>

#include <map>
#include <vector>

class QMenu;
class QButtonGroup;
class QLabel;

class MainWindow : public QMainWindow {
public:
    MainWindow();

    void setSink(MainWindowSink* sink) { sink_ = sink; }
    MainWindowSink* sink() const { return sink_; }
    CharMetrics metrics() const { return metrics_; }

    MapPane& mapPane() { return *map_; }
    InfoPane& pane(int index) { return index == 0 ? *centre_ : *selection_; }

    void setButtonBar(const std::vector<BarControl>& bar);
    void barSetCheck(int id, int state);
    void barSetText(int id, std::string_view text);
    QWidget* barWidget(int id) const;

    void setMenu(const std::vector<MenuEntry>& menu);
    void setMenuCheck(int id, bool checked);
    void setMenuEnabled(int id, bool enabled);
    void setMenuText(int id, const QString& text);

    // Fills a menu from entries; every command action carries its id as data, and
    // actions, when given, collects them by id.
    static void fillMenu(QMenu* menu, const std::vector<MenuEntry>& entries,
                         std::map<int, std::vector<QAction*>>* actions);

    // The status bar: a field's text, or a message that stays a few seconds.
    void setStatusField(StatusField field, const QString& text);
    void setStatusMessage(const QString& text);
    QString statusText(StatusField field) const;  // tests read it
    QString statusMessageShown() const;

    // Sends a command to the sink and gives the keyboard focus back to the window.
    void command(int id);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void relayout();

    struct BarItem {
        BarControl data;
        QWidget* widget = nullptr;
        QButtonGroup* group = nullptr;
    };

    MainWindowSink* sink_ = nullptr;
    CharMetrics metrics_;
    QWidget* central_ = nullptr;
    MapPane* map_ = nullptr;
    InfoPane* centre_ = nullptr;
    InfoPane* selection_ = nullptr;
    std::vector<BarItem> bar_;
    std::vector<QButtonGroup*> barGroups_;
    std::vector<QMenu*> menus_;
    std::map<int, std::vector<QAction*>> menuActions_;
    QLabel* status_[4] = {};  // position, selection, hint, scale
};

// The core's key for a Qt key press; number-pad keys are told apart from the others.
Key qt_Key(int qtKey, Qt::KeyboardModifiers mods);
