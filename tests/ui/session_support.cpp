#include "session_support.h"

#include "logic/records_editor.h"
#include "mapview/interact.h"
#include "mission/export.h"
#include "mission/metafile.h"
#include "mission/mission.h"
#include "resources/templates.h"
#include "shell/dialogs.h"
#include "shell/reset.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <iterator>

std::vector<int> ScriptedQtPlatform::resultCodes() const {
    std::vector<int> out;
    for (const auto& r : results) out.push_back(r.second);
    return out;
}

MsgAnswer ScriptedQtPlatform::messageBox(std::string_view text, std::string_view, MsgIcon, MsgButtons buttons) {
    shown.emplace_back(text);
    // A user who reads the box for a while: the window's timers fire meanwhile.
    if (holdMs > 0) QTest::qWait(holdMs);
    if (!answers.empty()) {
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::OkCancel: return MsgAnswer::Cancel;
    default: return MsgAnswer::No;
    }
}

std::optional<std::string> ScriptedQtPlatform::fileDialog(const FileDialogRequest& request) {
    requests.push_back(request);
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
}

int ScriptedQtPlatform::popupMenu(const std::vector<MenuEntry>& menu, int, int) {
    std::vector<int> ids;
    for (const MenuEntry& e : menu)
        if (e.id) ids.push_back(e.id);
    popupIds.push_back(ids);
    if (popups.empty()) return 0;
    const int a = popups.front();
    popups.pop_front();
    return a;
}

int ScriptedQtPlatform::runDialog(std::string_view name, DialogProc& proc) {
    const DialogTemplate* t = resources_FindDialog(name);
    if (!t) {
        results.emplace_back(name, -1);
        return -1;
    }
    QtDialog dlg(*t, proc, &mainWindow());
    DialogScript script;
    auto own = scripts.find(name);
    std::deque<DialogScript>& queue = own != scripts.end() && !own->second.empty() ? own->second : dialogs;
    if (!queue.empty()) {
        script = queue.front();
        queue.pop_front();
    }
    QTimer::singleShot(0, [&dlg, script] {
        EXPECT_EQ(QApplication::activeModalWidget(), &dlg.window());
        if (script)
            script(dlg);
        else
            QTest::keyClick(&dlg.window(), Qt::Key_Escape);
    });
    QTimer guard;  // a stuck script
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&dlg] { dlg.end(-99); });
    guard.start(20000);
    const int r = dlg.run();
    results.emplace_back(name, r);
    return r;
}

SessionFolders::SessionFolders(const QTemporaryDir& dir) {
    if (qEnvironmentVariableIsSet("XDG_STATE_HOME")) state_ = qgetenv("XDG_STATE_HOME");
    if (qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) config_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_STATE_HOME", (dir.path() + "/state").toUtf8());
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
}

SessionFolders::~SessionFolders() {
    if (state_)
        qputenv("XDG_STATE_HOME", *state_);
    else
        qunsetenv("XDG_STATE_HOME");
    if (config_)
        qputenv("XDG_CONFIG_HOME", *config_);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

void EditorSessionTest::SetUp() {
    // The build always makes the kit: without it the session has not run, which is a failure.
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(kit) / "kz7.pff"))
        << "no sample kit at " << kit << ": build the gamedata target";
    ASSERT_TRUE(tmp_.isValid());
    platform_Set(&qt);
    interact_Reset();
    dialogs_Reset();
}

void EditorSessionTest::TearDown() {
    qt.setSinks(nullptr, nullptr);
    platform_Set(nullptr);
    records_Hooks() = {};
    sortie_ResetProcess();
}

void EditorSessionTest::start(ShellArgs args, QSize size) {
    args.dataDir = kit;
    ASSERT_EQ(shell_Startup(args), 1);
    if (size.isValid()) qt.mainWindow().resize(size);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&qt.mainWindow()));
}

CliRun EditorSessionTest::cli(const std::vector<std::string>& args) const {
    QStringList list = {"--data", QString::fromStdString(kit)};
    for (const std::string& a : args) list << QString::fromStdString(a);
    QProcess p;
    p.start(SORTIE_CLI_PATH, list);
    CliRun run;
    if (!p.waitForFinished(30000)) return run;
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput().toStdString();
    run.err = p.readAllStandardError().toStdString();
    return run;
}

QAction* menuAction(MainWindow& w, int command) {
    for (QAction* top : w.menuBar()->actions()) {
        if (!top->menu()) continue;
        for (QAction* a : top->menu()->actions())
            if (!a->isSeparator() && a->data().toInt() == command) return a;
    }
    return nullptr;
}

QPoint rowCentre(QListWidget* list, int row) {
    list->scrollToItem(list->item(row));
    return list->visualItemRect(list->item(row)).center();
}

void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, row));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<Mission> readMission(const std::string& path) {
    auto m = std::make_unique<Mission>();
    if (metafile_Read(*m, path.c_str(), MetafileReadOptions{false, nullptr}) != 1) return nullptr;
    return m;
}

bool readBms(const std::string& path, BmsFile& out, std::string& error) {
    const std::string bytes = readFile(path);
    return bms_Parse(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out, error);
}
