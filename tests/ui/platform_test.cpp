#include "qt/qt_platform.h"
#include "core/text.h"
#include "qt/qt_dialog.h"
#include "qt/qt_text.h"
#include "resources/templates.h"
#include "shell/actions.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A menu of the resources with each command entry named by its row's text key, as the shell
// words it (these tests load no string tables).
std::vector<MenuEntry> namedMenu(std::string_view name) {
    std::vector<MenuEntry> menu = resources_Menu(name);
    std::function<void(std::vector<MenuEntry>&)> name_ = [&](std::vector<MenuEntry>& entries) {
        for (MenuEntry& e : entries) {
            if (const Action* a = actions_Find(e.id); a && e.text.empty()) e.text = std::string(a->menuKey);
            name_(e.children);
        }
    };
    name_(menu);
    return menu;
}

// A map pane sink that renders a fixed pattern into its own buffer on every paint.
struct PatternSink : MapPaneSink {
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0, stride = 0;
    int paints = 0;
    std::vector<std::string> events;

    void fill(int w, int h) {
        // The buffer is wider than the pane, as the renderer's is.
        width = w;
        height = h;
        stride = (w + 16) / 16 * 16;
        pixels.assign(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < stride; ++x)
                pixels[static_cast<size_t>(y * stride + x)] =
                    static_cast<std::uint32_t>((x * 7) << 16 | (y * 13) << 8 | ((x + y) & 0xFF)) & 0xFFFFFF;
    }
    PixelView view() { return {pixels.data(), width, height, stride}; }

    void onMouseDown(MouseButton b, int x, int y, unsigned m) override { log("down", b, x, y, m); }
    void onMouseUp(MouseButton b, int x, int y, unsigned m) override { log("up", b, x, y, m); }
    void onDoubleClick(MouseButton b, int x, int y, unsigned m) override { log("dbl", b, x, y, m); }
    void onMouseMove(int x, int y, unsigned m) override { log("move", MouseButton::None, x, y, m); }
    void onPaint() override {
        ++paints;
        if (!pixels.empty()) platform().mapPresent(view());
    }
    void onResize(int w, int h) override { fill(w, h); }

    void log(const char* what, MouseButton b, int x, int y, unsigned m) {
        events.push_back(std::string(what) + " " + std::to_string(static_cast<int>(b)) + " " + std::to_string(x) + "," +
                         std::to_string(y) + " " + std::to_string(m));
    }
};

struct RecordingMain : MainWindowSink {
    std::vector<int> commands;
    std::vector<Key> keys;
    std::vector<int> timers;
    std::vector<int> paneClicks;
    bool allowClose = false;
    int closeRequests = 0;
    void onCommand(int id) override { commands.push_back(id); }
    void onKey(Key k, unsigned) override { keys.push_back(k); }
    void onTimer(int id) override { timers.push_back(id); }
    bool onCloseRequest() override {
        ++closeRequests;
        return allowClose;
    }
    void onPaneClick(int pane) override { paneClicks.push_back(pane); }
};

// A platform installed for one test, its main window shown offscreen.
struct ShownPlatform {
    QtPlatform qt;
    PatternSink map;
    RecordingMain main;
    ShownPlatform() {
        platform_Set(&qt);
        qt.setSinks(&main, &map);
        qt.mainWindow().resize(900, 700);
        qt.mainWindow().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&qt.mainWindow()));
    }
    ~ShownPlatform() {
        qt.setSinks(nullptr, nullptr);
        platform_Set(nullptr);
    }
    MapPane& pane() { return qt.mainWindow().mapPane(); }
};

std::uint32_t at(const PatternSink& s, int x, int y) { return s.pixels[static_cast<size_t>(y * s.stride + x)]; }

TEST(MapPaneDisplay, ShowsTheBufferPixelsExactlyWithoutCopying) {
    ShownPlatform p;
    ASSERT_GT(p.map.width, 0);
    EXPECT_EQ(p.qt.mapSize().width, p.map.width);
    EXPECT_EQ(p.qt.mapSize().height, p.map.height);
    p.pane().repaint();
    EXPECT_GE(p.map.paints, 1);
    const QImage& img = p.pane().image();
    ASSERT_FALSE(img.isNull());
    // The image is a view of the renderer's memory, not a copy.
    EXPECT_EQ(static_cast<const void*>(img.constBits()), static_cast<const void*>(p.map.pixels.data()));
    // And what the widget shows is exactly those pixels.
    QImage shot = p.pane().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_GE(shot.width(), p.map.width);
    for (int y = 0; y < p.map.height; y += 17)
        for (int x = 0; x < p.map.width; x += 13)
            ASSERT_EQ(shot.pixel(x, y) & 0xFFFFFF, at(p.map, x, y)) << x << "," << y;
}

TEST(MapPaneDisplay, RubberBandInvertsTheOutlineOnceAndTwiceRestores) {
    ShownPlatform p;
    p.pane().repaint();
    const std::vector<std::uint32_t> before = p.map.pixels;
    p.qt.mapXorRect(30, 20, 10, 40);  // corners in any order
    EXPECT_EQ(at(p.map, 10, 20), before[static_cast<size_t>(20 * p.map.stride + 10)] ^ 0x0000C8);
    EXPECT_EQ(at(p.map, 30, 40), before[static_cast<size_t>(40 * p.map.stride + 30)] ^ 0x0000C8);
    EXPECT_EQ(at(p.map, 20, 20), before[static_cast<size_t>(20 * p.map.stride + 20)] ^ 0x0000C8);
    EXPECT_EQ(at(p.map, 10, 30), before[static_cast<size_t>(30 * p.map.stride + 10)] ^ 0x0000C8);
    EXPECT_EQ(at(p.map, 20, 30), before[static_cast<size_t>(30 * p.map.stride + 20)]);  // inside untouched
    size_t changed = 0;
    for (size_t i = 0; i < before.size(); ++i) changed += before[i] != p.map.pixels[i];
    EXPECT_EQ(changed, size_t{2 * 21 + 2 * 19});  // each outline pixel exactly once
    // The screen shows the band at once.
    QImage shot = p.pane().grab().toImage();
    EXPECT_EQ(shot.pixel(10, 20) & 0xFFFFFF, at(p.map, 10, 20));
    p.qt.mapXorRect(10, 40, 30, 20);
    EXPECT_EQ(p.map.pixels, before);

    // A band partly or wholly outside the pane, or degenerate, touches nothing outside it.
    p.qt.mapXorRect(-50, -50, 100000, 5);
    p.qt.mapXorRect(-50, -50, 100000, 5);
    p.qt.mapXorRect(7, 7, 7, 7);
    EXPECT_EQ(at(p.map, 7, 7), before[static_cast<size_t>(7 * p.map.stride + 7)] ^ 0x0000C8);
    p.qt.mapXorRect(7, 7, 7, 7);
    EXPECT_EQ(p.map.pixels, before);
}

// A buffer of device pixels: the pane shows it at the pane's size, and the band's pane
// corners land on the device pixels beneath them, its outline one device pixel wide.
TEST(MapPaneDisplay, DevicePixelBufferAndBandAtThePixelRatio) {
    ShownPlatform p;
    struct Case {
        float scale;
        int x0, y0, x1, y1;  // the band's device corners for pane corners (10, 20) and (30, 40)
    };
    for (const Case& c : {Case{2.0f, 20, 40, 60, 80}, Case{1.5f, 15, 30, 45, 60}, Case{1.0f, 10, 20, 30, 40}}) {
        PatternSink device;
        device.fill(400, 300);
        PixelView v = device.view();
        v.scale = c.scale;
        p.qt.mapPresent(v);
        const QImage& img = p.pane().image();
        ASSERT_FALSE(img.isNull()) << c.scale;
        EXPECT_EQ(img.devicePixelRatio(), double(c.scale));
        EXPECT_EQ(img.width(), 400) << c.scale;  // every device pixel, none dropped
        EXPECT_NEAR(img.deviceIndependentSize().width(), 400 / double(c.scale), 1e-6) << c.scale;
        const std::vector<std::uint32_t> before = device.pixels;
        p.qt.mapXorRect(10, 20, 30, 40);
        EXPECT_EQ(at(device, c.x0, c.y0), before[static_cast<size_t>(c.y0 * device.stride + c.x0)] ^ 0x0000C8)
            << c.scale;
        EXPECT_EQ(at(device, c.x1, c.y1), before[static_cast<size_t>(c.y1 * device.stride + c.x1)] ^ 0x0000C8)
            << c.scale;
        size_t changed = 0;
        for (size_t i = 0; i < before.size(); ++i) changed += before[i] != device.pixels[i];
        EXPECT_EQ(changed, size_t(2 * (c.x1 - c.x0 + 1) + 2 * (c.y1 - c.y0 - 1))) << c.scale;
        p.qt.mapXorRect(30, 40, 10, 20);
        EXPECT_EQ(device.pixels, before) << c.scale;
    }
    p.pane().repaint();  // back to the sink's own buffer before it goes
}

TEST(MapPaneDisplay, ResizeDropsTheOldBufferBeforeTheCoreReplacesIt) {
    ShownPlatform p;
    p.pane().repaint();
    ASSERT_FALSE(p.pane().image().isNull());
    const int oldWidth = p.map.width;
    // The sink frees its buffer in onResize; until the next paint presents the new one,
    // the pane must point at nothing (a band drawn now would write into freed memory).
    p.qt.mainWindow().resize(700, 500);
    EXPECT_LT(p.map.width, oldWidth);
    EXPECT_TRUE(p.pane().image().isNull());
    const std::vector<std::uint32_t> fresh = p.map.pixels;
    p.qt.mapXorRect(0, 0, 10, 10);
    EXPECT_EQ(p.map.pixels, fresh);
    p.pane().repaint();
    ASSERT_FALSE(p.pane().image().isNull());
    EXPECT_EQ(static_cast<const void*>(p.pane().image().constBits()), static_cast<const void*>(p.map.pixels.data()));
}

TEST(MapPaneInput, MouseEventsArriveWithPanePositionsButtonsAndModifiers) {
    ShownPlatform p;
    MapPane& pane = p.pane();
    QTest::mousePress(&pane, Qt::LeftButton, Qt::ShiftModifier, QPoint(12, 34));
    QTest::mouseRelease(&pane, Qt::LeftButton, Qt::ShiftModifier, QPoint(15, 36));
    QTest::mousePress(&pane, Qt::RightButton, Qt::ControlModifier, QPoint(5, 6));
    QTest::mouseRelease(&pane, Qt::RightButton, Qt::ControlModifier, QPoint(5, 6));
    QTest::mouseDClick(&pane, Qt::LeftButton, {}, QPoint(40, 41));
    QTest::mouseMove(&pane, QPoint(50, 60));
    QApplication::processEvents();
    auto has = [&](const std::string& e) {
        return std::find(p.map.events.begin(), p.map.events.end(), e) != p.map.events.end();
    };
    EXPECT_TRUE(has("down 1 12,34 1")) << ::testing::PrintToString(p.map.events);
    EXPECT_TRUE(has("up 1 15,36 1"));
    EXPECT_TRUE(has("down 2 5,6 2"));
    EXPECT_TRUE(has("up 2 5,6 2"));
    EXPECT_TRUE(has("dbl 1 40,41 0"));
    EXPECT_TRUE(has("move 0 50,60 0"));
}

TEST(MainWindowShell, MenusButtonBarKeysTimersAndCloseReachTheSink) {
    ShownPlatform p;
    MainWindow& w = p.qt.mainWindow();

    // Menus from the resource tree; a chosen entry arrives as its command id.
    p.qt.setMenu(namedMenu("MenuMainWindow"));
    QList<QAction*> bar = w.menuBar()->actions();
    ASSERT_EQ(bar.size(), 5);
    EXPECT_EQ(bar[0]->text(), QStringLiteral("FILE"));
    QAction* insertMode = nullptr;
    for (QAction* a : bar[1]->menu()->actions())
        if (a->data().toInt() == 163) insertMode = a;
    ASSERT_NE(insertMode, nullptr);
    p.qt.setMenuCheck(163, true);
    EXPECT_TRUE(insertMode->isChecked());
    p.qt.setMenuCheck(163, false);
    EXPECT_FALSE(insertMode->isChecked());
    p.qt.setMenuEnabled(163, false);
    EXPECT_FALSE(insertMode->isEnabled());
    p.qt.setMenuEnabled(163, true);
    insertMode->trigger();
    EXPECT_EQ(p.main.commands, (std::vector<int>{163}));

    // Button bar from data: clicks send the button's command; radios are exclusive per group.
    std::vector<BarControl> controls = {
        {1001, BarKind::PushRadio, "C", 8, 8, 32, 20, true, kChecked, 101, {}},
        {1002, BarKind::PushRadio, "D", 40, 8, 32, 20, false, kUnchecked, 102, {}},
        {1034, BarKind::PushRadio, "1", 80, 8, 32, 20, true, kChecked, 165, {}},
        {1035, BarKind::PushRadio, "2", 112, 8, 32, 20, false, kUnchecked, 166, {}},
        {1011, BarKind::GroupBox, "Grid", 8, 40, 200, 64, false, kUnchecked, 0, {}},
        {1040, BarKind::CheckBox, "View", 16, 60, 100, 16, false, kChecked, 145, {}},
        {1012, BarKind::Label, "512 m", 120, 60, 60, 16, false, kUnchecked, 0, {}},
    };
    p.qt.setButtonBar(controls);
    p.main.commands.clear();
    auto* d = qobject_cast<QPushButton*>(w.barWidget(1002));
    ASSERT_NE(d, nullptr);
    QTest::mouseClick(d, Qt::LeftButton);
    EXPECT_EQ(p.main.commands, (std::vector<int>{102}));
    EXPECT_TRUE(d->isChecked());
    EXPECT_FALSE(qobject_cast<QPushButton*>(w.barWidget(1001))->isChecked());
    EXPECT_TRUE(qobject_cast<QPushButton*>(w.barWidget(1034))->isChecked());  // other group
    p.qt.barSetCheck(1001, kChecked);
    EXPECT_FALSE(d->isChecked());
    p.qt.barSetCheck(1040, kUnchecked);
    EXPECT_FALSE(qobject_cast<QCheckBox*>(w.barWidget(1040))->isChecked());
    QTest::mouseClick(w.barWidget(1040), Qt::LeftButton);
    EXPECT_EQ(p.main.commands.back(), 145);
    p.qt.barSetText(1012, "4 m");
    EXPECT_EQ(qobject_cast<QLabel*>(w.barWidget(1012))->text(), QStringLiteral("4 m"));
    // The bar never keeps the keyboard focus from the window.
    EXPECT_FALSE(w.barWidget(1040)->hasFocus());

    // Keys, with the number pad told apart.
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
    QTest::keyClick(focus, Qt::Key_PageUp);
    QTest::keyClick(focus, Qt::Key_9, Qt::KeypadModifier);
    QTest::keyClick(focus, Qt::Key_Minus, Qt::KeypadModifier);
    QTest::keyClick(focus, Qt::Key_U);
    QTest::keyClick(focus, Qt::Key_X);  // not one of ours
    EXPECT_EQ(p.main.keys, (std::vector<Key>{Key::PageUp, Key::Pad9, Key::PadMinus, Key::U}));
    EXPECT_EQ(qt_Key(Qt::Key_Left, Qt::KeypadModifier), Key::Left);  // Num Lock off
    EXPECT_EQ(qt_Key(Qt::Key_9, {}), Key::Other);

    // Information panes: text and clicks.
    p.qt.paneSetText(0, "Centre 1.0 2.0");
    p.qt.paneSetLines(1, {{5, 5, "one"}, {13, 30, "two"}});
    EXPECT_EQ(w.pane(0).lines().size(), 1u);
    EXPECT_EQ(w.pane(1).lines()[1].x, 13);
    p.qt.paneSetText(7, "ignored");
    QTest::mouseClick(&w.pane(1), Qt::LeftButton);
    QTest::mouseClick(&w.pane(0), Qt::LeftButton);
    EXPECT_EQ(p.main.paneClicks, (std::vector<int>{1, 0}));

    // Timers fire repeatedly until killed.
    p.qt.setTimer(1, 5);
    // Waits for the event, not a fixed time: a loaded machine may be slow to fire.
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.main.timers.size() >= 2; }, 5000));
    p.qt.killTimer(1);
    size_t fired = p.main.timers.size();
    EXPECT_EQ(p.main.timers.front(), 1);
    QTest::qWait(30);
    EXPECT_EQ(p.main.timers.size(), fired);

    // Title, and a refused close request keeps the window open.
    p.qt.setWindowTitle("Sortie - caf\xE9.mis");
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Sortie - café.mis"));
    w.close();
    EXPECT_EQ(p.main.closeRequests, 1);
    EXPECT_TRUE(w.isVisible());
    p.main.allowClose = true;
    w.close();
    EXPECT_FALSE(w.isVisible());
}

TEST(MainWindowShell, StatusBoxIsTheModelessStatusTemplateWithOneCentredLine) {
    ShownPlatform p;
    // A load that ends at once shows no box.
    p.qt.setStatusBoxDelay(60'000);
    p.qt.statusOpen("STATUSDIALOG");
    p.qt.statusLine("quick");
    EXPECT_EQ(p.qt.statusBox(), nullptr);
    p.qt.statusClose();

    // One still reporting after the delay shows the box, with the latest line.
    p.qt.setStatusBoxDelay(0);
    p.qt.statusOpen("STATUSDIALOG");
    ASSERT_NE(p.qt.statusBox(), nullptr);
    QDialog& box = p.qt.statusBox()->window();
    EXPECT_FALSE(box.isModal());
    EXPECT_TRUE(box.isVisible());
    // Titled by its own key, not by the name of the template.
    EXPECT_EQ(box.windowTitle(), qtText(text_Get("Dialog Message", "STATUS")));
    p.qt.statusLine("first");
    p.qt.statusLine("second");
    const QList<QLabel*> labels = box.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text(), QStringLiteral("second"));
    EXPECT_TRUE(labels[0]->alignment() & Qt::AlignHCenter);
    p.qt.statusClose();
    EXPECT_EQ(p.qt.statusBox(), nullptr);
    p.qt.statusLine("after close");  // ignored, no crash
    p.qt.statusClose();
    p.qt.statusOpen("NO_SUCH_TEMPLATE");  // said on the debug output, no box
    EXPECT_EQ(p.qt.statusBox(), nullptr);
}

// Fills the open file dialog's name field and accepts it.
void answerFileDialog(const QString& name) {
    QTimer::singleShot(0, [name] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_TRUE(dlg->testOption(QFileDialog::DontUseNativeDialog));
        auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(name);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

TEST(FileDialogs, SaveAddsTheDefaultExtensionAndCancelGivesNothing) {
    QtPlatform qt;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FileDialogRequest r;
    r.save = true;
    r.title = "Save mission";
    r.filters = {{"Mission files (*.mis)", "*.mis"}, {"All files", "*.*"}};
    r.defaultExtension = "mis";
    r.startFolder = dir.path().toStdString();
    answerFileDialog(QStringLiteral("first"));
    std::optional<std::string> chosen = qt.fileDialog(r);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, QDir(dir.path()).filePath(QStringLiteral("first.mis")).toStdString());

    // Cancel.
    QTimer::singleShot(0, [] {
        QWidget* dlg = QApplication::activeModalWidget();
        ASSERT_NE(dlg, nullptr);
        QTest::keyClick(dlg, Qt::Key_Escape);
    });
    EXPECT_FALSE(qt.fileDialog(r).has_value());
}

TEST(FileDialogs, OpenReturnsAnExistingFile) {
    QtPlatform qt;
    QTemporaryDir dir;
    QFile f(QDir(dir.path()).filePath(QStringLiteral("there.mis")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    FileDialogRequest r;
    r.filters = {{"Mission files", "*.mis;*.MIS"}};
    r.mustExist = true;
    r.startFolder = dir.path().toStdString();
    answerFileDialog(QStringLiteral("there.mis"));
    std::optional<std::string> chosen = qt.fileDialog(r);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, f.fileName().toStdString());
}

TEST(FileDialogs, FiltersAndDefaultExtensionHelpers) {
    // The patterns are shown once: a label that already ends with them keeps its own.
    const struct {
        FileFilter filter;
        const char* shown;
    } cases[] = {
        {{"Missions (*.mis)", "*.mis;*.bak"}, "Missions (*.mis) (*.mis *.bak)"},
        {{"Any", ""}, "Any (*)"},
        {{"Mission metafiles (*.mis)", "*.mis"}, "Mission metafiles (*.mis)"},
        {{"Both (*.mis;*.bak) ", "*.mis;*.bak"}, "Both (*.mis;*.bak)"},
        {{"Binary (*.bms)", "*.mis"}, "Binary (*.bms) (*.mis)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qt_FileFilters({c.filter}), QStringList{QString::fromLatin1(c.shown)}) << c.filter.label;
    EXPECT_EQ(qt_WithDefaultExtension("/a/b/name", ".mis"), "/a/b/name.mis");
    EXPECT_EQ(qt_WithDefaultExtension("/a/b/name.txt", "mis"), "/a/b/name.txt");
    EXPECT_EQ(qt_WithDefaultExtension("/a.dir/name", "mis"), "/a.dir/name.mis");
    EXPECT_EQ(qt_WithDefaultExtension("/a/b/name", ""), "/a/b/name");
}

}  // namespace

namespace {

TEST(MainWindowShell, PopupMenuAnswersTheChosenIdOrZero) {
    ShownPlatform p;
    std::vector<MenuEntry> menu = namedMenu("MouseMenu");
    ASSERT_EQ(menu.size(), 1u);
    menu[0].children[0].checked = true;  // insert mode on
    // Choose the third command entry (past a separator): 186.
    QTimer::singleShot(0, [] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        QList<QAction*> acts = popup->actions();
        ASSERT_GE(acts.size(), 5);
        EXPECT_TRUE(acts[0]->isChecked());
        EXPECT_TRUE(acts[1]->isSeparator());
        popup->setActiveAction(acts[4]);
        QTest::keyClick(popup, Qt::Key_Return);
    });
    EXPECT_EQ(p.qt.popupMenu(menu[0].children, 20, 30), 186);
    QTimer::singleShot(0, [] {
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        QTest::keyClick(popup, Qt::Key_Escape);
    });
    EXPECT_EQ(p.qt.popupMenu(menu[0].children, 20, 30), 0);
    // Choosing from a pop-up is the caller's business: the main window heard nothing.
    EXPECT_TRUE(p.main.commands.empty());
}

}  // namespace

namespace {

// The shell may rebuild the bar or the menu from one of their own commands.
struct RebuildingMain : RecordingMain {
    std::vector<BarControl> bar;
    void onCommand(int id) override {
        RecordingMain::onCommand(id);
        platform().setButtonBar(bar);
        platform().setMenu(namedMenu("MenuMainWindow"));
    }
};

TEST(MainWindowShell, BarAndMenuMayBeRebuiltFromTheirOwnCommands) {
    ShownPlatform p;
    RebuildingMain main;
    main.bar = {{1010, BarKind::PushButton, "Unselect", 8, 8, 80, 20, false, kUnchecked, 144, {}}};
    p.qt.setSinks(&main, &p.map);
    p.qt.setButtonBar(main.bar);
    p.qt.setMenu(namedMenu("MenuMainWindow"));
    QTest::mouseClick(p.qt.mainWindow().barWidget(1010), Qt::LeftButton);
    QApplication::processEvents();
    QAction* exit = nullptr;
    for (QAction* a : p.qt.mainWindow().menuBar()->actions()[0]->menu()->actions())
        if (a->data().toInt() == 137) exit = a;
    ASSERT_NE(exit, nullptr);
    exit->trigger();
    QApplication::processEvents();
    EXPECT_EQ(main.commands, (std::vector<int>{144, 137}));
    // The new bar works like the old one.
    QTest::mouseClick(p.qt.mainWindow().barWidget(1010), Qt::LeftButton);
    EXPECT_EQ(main.commands.back(), 144);
    p.qt.setSinks(&p.main, &p.map);
}

}  // namespace
