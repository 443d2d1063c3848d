// What the offscreen editor sessions share: the editor started on the sample kit through a
// Qt platform whose questions, file dialogs, context menus and dialogs the session scripts;
// a folder of the session's own for what it saves, its backups and its settings; menu
// actions by command id; the widgets of a real dialog; sortie-cli run on the kit; files read
// back. Every session ends with the whole process put back, whatever failed on the way.
#pragma once

#include "qt/qt_dialog.h"
#include "qt/qt_platform.h"

#include "shell/shell.h"

#include <QSize>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QListWidget;
class QPoint;
struct BmsFile;
struct Mission;

using DialogScript = std::function<void(QtDialog&)>;

// Message boxes are recorded and answered from a queue (when it runs dry, a question is
// declined and a message taken with OK). File dialogs are recorded and answered from a
// queue (nothing chosen when it is empty). A context menu records the ids it offers and
// answers the next queued id (0, nothing chosen, when none is left). A dialog runs the next
// script queued for its template, else the next script of the general queue, else the
// script presses Escape; a dialog still open after 20 s is ended with -99.
class ScriptedQtPlatform : public QtPlatform {
public:
    std::deque<MsgAnswer> answers;
    std::vector<std::string> shown;
    int holdMs = 0;  // how long each message box stays open before it is answered
    std::deque<std::optional<std::string>> files;
    std::vector<FileDialogRequest> requests;
    std::deque<int> popups;
    std::vector<std::vector<int>> popupIds;
    std::deque<DialogScript> dialogs;
    std::map<std::string, std::deque<DialogScript>, std::less<>> scripts;
    std::vector<std::pair<std::string, int>> results;  // each dialog's template and result

    // The results alone, in order; the last one (-1 when no dialog ran).
    std::vector<int> resultCodes() const;
    int lastResult() const { return results.empty() ? -1 : results.back().second; }

    MsgAnswer messageBox(std::string_view text, std::string_view caption, MsgIcon icon, MsgButtons buttons) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
    int popupMenu(const std::vector<MenuEntry>& menu, int x, int y) override;
    int runDialog(std::string_view name, DialogProc& proc) override;
};

// Points XDG_STATE_HOME and XDG_CONFIG_HOME into a folder for a scope and puts them back.
class SessionFolders {
public:
    explicit SessionFolders(const QTemporaryDir& dir);
    ~SessionFolders();
    SessionFolders(const SessionFolders&) = delete;
    SessionFolders& operator=(const SessionFolders&) = delete;

private:
    std::optional<QByteArray> state_, config_;
};

// The result of a sortie-cli run.
struct CliRun {
    int exitCode = -1;  // -1 when it did not finish within 30 s
    std::string out, err;
};

// One editor session on the sample kit. The kit must be there (the build makes it): a
// session that cannot run fails.
class EditorSessionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the editor on the kit (args.dataDir is set here), gives the window this size
    // when one is given, and waits for it to show.
    void start(ShellArgs args = {}, QSize size = {});
    // A file in the session's folder.
    std::string file(const std::string& name) const { return dir + "/" + name; }
    // sortie-cli --data <kit> with these arguments.
    CliRun cli(const std::vector<std::string>& args) const;

    const std::string kit = SORTIE_GAMEDATA_DIR;
    const std::string sampleMission = std::string(SORTIE_SOURCE_DIR) + "/data/missions/tutorial.mis";

private:
    QTemporaryDir tmp_;
    SessionFolders folders_{tmp_};

protected:
    const std::string dir = tmp_.path().toStdString();
    ScriptedQtPlatform qt;  // after the folders: its settings live under XDG_CONFIG_HOME
};

// The menu bar's action of a command, or nullptr.
QAction* menuAction(MainWindow& w, int command);

// A control of a dialog as the widget it is; fails the test when it is not one.
template <class W>
W* widget(QtDialog& d, int id) {
    W* w = qobject_cast<W*>(d.control(id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

// The centre of a list row, scrolled into view; a click there.
QPoint rowCentre(QListWidget* list, int row);
void clickRow(QListWidget* list, int row);

// The whole of a file ("" when it cannot be read).
std::string readFile(const std::string& path);
// A mission metafile read back; nullptr when it does not read.
std::unique_ptr<Mission> readMission(const std::string& path);
// A binary mission read and parsed; false with the parser's complaint when it does not.
bool readBms(const std::string& path, BmsFile& out, std::string& error);
