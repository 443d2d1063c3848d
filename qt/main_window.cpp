#include "qt/main_window.h"

#include "platform/layout.h"
#include "qt/app_icon.h"
#include "qt/qt_text.h"

#include <QApplication>
#include <QTimer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeySequence>
#include <QKeyEvent>
#include <QStatusBar>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QKeySequence>
#include <QMimeData>
#include <QUrl>
#include <QPushButton>

namespace {

// The central area; it lays the panes out again whenever its size changes.
class Central : public QWidget {
public:
    Central(QWidget* parent, std::function<void()> onResize) : QWidget(parent), onResize_(std::move(onResize)) {}

protected:
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        onResize_();
    }
    // The number pad's + and - keep their own zoom step: they reach the window as keys
    // rather than as the menu shortcuts of the main keyboard's + and -.
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ShortcutOverride) {
            auto* k = static_cast<QKeyEvent*>(e);
            if ((k->modifiers() & Qt::KeypadModifier) && (k->key() == Qt::Key_Plus || k->key() == Qt::Key_Minus)) {
                e->accept();
                return true;
            }
        }
        return QWidget::event(e);
    }

private:
    std::function<void()> onResize_;
};

void place(QWidget* w, const PaneRect& r) { w->setGeometry(r.x, r.y, r.w, r.h); }

}  // namespace

Key qt_Key(int k, Qt::KeyboardModifiers mods) {
    const bool pad = mods & Qt::KeypadModifier;
    if (pad) {
        switch (k) {
        case Qt::Key_2: return Key::Pad2;
        case Qt::Key_3: return Key::Pad3;
        case Qt::Key_4: return Key::Pad4;
        case Qt::Key_6: return Key::Pad6;
        case Qt::Key_8: return Key::Pad8;
        case Qt::Key_9: return Key::Pad9;
        case Qt::Key_Plus: return Key::PadPlus;
        case Qt::Key_Minus: return Key::PadMinus;
        default: break;  // with Num Lock off the pad sends the arrow and page keys
        }
    }
    switch (k) {
    case Qt::Key_PageUp: return Key::PageUp;
    case Qt::Key_PageDown: return Key::PageDown;
    case Qt::Key_Space: return Key::Space;
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_Insert: return Key::Insert;
    case Qt::Key_Delete: return Key::Delete;
    case Qt::Key_U: return Key::U;
    case Qt::Key_F1: return Key::F1;
    case Qt::Key_F2: return Key::F2;
    case Qt::Key_F3: return Key::F3;
    case Qt::Key_F4: return Key::F4;
    case Qt::Key_Plus:
    case Qt::Key_Equal: return Key::Plus;  // + shares its key with = on many layouts
    case Qt::Key_Minus: return Key::Minus;
    case Qt::Key_Home: return Key::Home;
    case Qt::Key_Escape: return Key::Escape;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Return;
    case Qt::Key_Backspace: return Key::Backspace;
    default: return Key::Other;
    }
}

MainWindow::MainWindow() {
    setWindowTitle(QStringLiteral("Mission Editor"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QFontMetrics fm(fixed);
    metrics_.cw = std::max(1, fm.averageCharWidth());
    metrics_.ch = std::max(1, fm.lineSpacing());

    central_ = new Central(this, [this] { relayout(); });
    central_->setAutoFillBackground(true);
    QPalette pal = central_->palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    central_->setPalette(pal);
    // The window, not any of its controls, holds the keyboard focus.
    central_->setFocusPolicy(Qt::StrongFocus);
    setCentralWidget(central_);

    map_ = new MapPane(central_);
    // The icon waits for the first frame (eventFilter): reading its images and handing them
    // to the window system would hold that frame back.
    map_->installEventFilter(this);
    centre_ = new InfoPane(central_, fixed);
    selection_ = new InfoPane(central_, fixed);
    centre_->onClick = [this] {
        if (sink_) sink_->onPaneClick(0);
    };
    selection_->onClick = [this] {
        if (sink_) sink_->onPaneClick(1);
    };
    // The status bar: the hint takes the room left of the position and the selection.
    for (QLabel*& l : status_) l = new QLabel(this);
    statusBar()->addWidget(status_[int(StatusField::Hint)], 1);
    statusBar()->addPermanentWidget(status_[int(StatusField::Scale)]);
    statusBar()->addPermanentWidget(status_[int(StatusField::Position)]);
    statusBar()->addPermanentWidget(status_[int(StatusField::Selection)]);
    status_[int(StatusField::Position)]->setMinimumWidth(
        QFontMetrics(font()).horizontalAdvance(QStringLiteral("X -00000.0 m  Y -00000.0 m")));
    statusBar()->setSizeGripEnabled(false);
    setAcceptDrops(true);
    resize(1024, 768);
    relayout();
    central_->setFocus();
}

void MainWindow::relayout() {
    MainPaneLayout l = layout_MainPanes(central_->width(), central_->height(), metrics_);
    place(map_, l.map);
    place(selection_, l.selection);
    place(centre_, l.centre);
}

void MainWindow::setStatusField(StatusField field, const QString& text) {
    QLabel* l = status_[std::clamp(int(field), 0, 3)];
    if (l->text() != text) l->setText(text);
}

void MainWindow::setStatusMessage(const QString& text) { statusBar()->showMessage(text, 8000); }

QString MainWindow::statusText(StatusField field) const { return status_[std::clamp(int(field), 0, 3)]->text(); }

QString MainWindow::statusMessageShown() const { return statusBar()->currentMessage(); }

void MainWindow::command(int id) {
    central_->setFocus();
    if (sink_ && id != 0) sink_->onCommand(id);
}

void MainWindow::setButtonBar(const std::vector<BarControl>& bar) {
    // Later, not now: the bar may be rebuilt from a click on one of its own buttons.
    for (BarItem& b : bar_) {
        b.widget->hide();
        b.widget->deleteLater();
    }
    for (QButtonGroup* g : barGroups_) g->deleteLater();
    bar_.clear();
    barGroups_.clear();

    QButtonGroup* group = nullptr;
    std::vector<QWidget*> frames;
    for (const BarControl& c : bar) {
        BarItem item;
        item.data = c;
        const QString text = qtText(c.text);
        const int command = c.command;
        if (c.kind != BarKind::PushRadio || c.groupStart) group = nullptr;
        switch (c.kind) {
        case BarKind::PushButton:
        case BarKind::PushRadio: {
            auto* b = new QPushButton(text, central_);
            if (c.kind == BarKind::PushRadio) {
                b->setCheckable(true);
                b->setAutoExclusive(false);
                if (!group) {
                    group = new QButtonGroup(this);
                    group->setExclusive(true);
                    barGroups_.push_back(group);
                }
                group->addButton(b);
                item.group = group;
                b->setChecked(c.check != kUnchecked);
                // The button that is down must be told at a glance from the others.
                b->setStyleSheet(
                    QStringLiteral("QPushButton:checked { background-color: #6f9bd1; color: white;"
                                   " font-weight: bold; border: 1px solid #2f5f96; border-radius: 3px; }"));
            }
            connect(b, &QPushButton::clicked, this,
                    [this, command] { command ? this->command(command) : central_->setFocus(); });
            item.widget = b;
            break;
        }
        case BarKind::CheckBox: {
            auto* b = new QCheckBox(text, central_);
            b->setChecked(c.check != kUnchecked);
            connect(b, &QCheckBox::clicked, this,
                    [this, command] { command ? this->command(command) : central_->setFocus(); });
            item.widget = b;
            break;
        }
        case BarKind::GroupBox:
            item.widget = new QGroupBox(text, central_);
            frames.push_back(item.widget);
            break;
        case BarKind::Label: item.widget = new QLabel(text, central_); break;
        }
        item.widget->setFocusPolicy(Qt::NoFocus);
        if (!c.tip.empty()) item.widget->setToolTip(qtText(c.tip));
        item.widget->setGeometry(c.x, c.y, c.w, c.h);
        item.widget->show();
        bar_.push_back(item);
    }
    for (QWidget* f : frames) f->lower();
    central_->setFocus();
}

QWidget* MainWindow::barWidget(int id) const {
    for (const BarItem& b : bar_)
        if (b.data.id == id) return b.widget;
    return nullptr;
}

void MainWindow::barSetCheck(int id, int state) {
    for (BarItem& b : bar_) {
        if (b.data.id != id) continue;
        b.data.check = state;
        auto* button = qobject_cast<QAbstractButton*>(b.widget);
        if (!button) return;
        const bool exclusive = b.group && state == kUnchecked;
        if (exclusive) b.group->setExclusive(false);
        button->setChecked(state != kUnchecked);
        if (exclusive) b.group->setExclusive(true);
        return;
    }
}

void MainWindow::barSetText(int id, std::string_view text) {
    for (BarItem& b : bar_) {
        if (b.data.id != id) continue;
        b.data.text = std::string(text);
        const QString t = qtText(text);
        if (auto* l = qobject_cast<QLabel*>(b.widget))
            l->setText(t);
        else if (auto* g = qobject_cast<QGroupBox*>(b.widget))
            g->setTitle(t);
        else if (auto* a = qobject_cast<QAbstractButton*>(b.widget))
            a->setText(t);
        return;
    }
}

void MainWindow::fillMenu(QMenu* menu, const std::vector<MenuEntry>& entries,
                          std::map<int, std::vector<QAction*>>* actions) {
    for (const MenuEntry& e : entries) {
        if (!e.children.empty()) {
            QMenu* sub = menu->addMenu(qtShownText(e.text));
            sub->setEnabled(e.enabled);
            fillMenu(sub, e.children, actions);
        } else if (e.text.empty()) {
            menu->addSeparator();
        } else {
            QAction* a = menu->addAction(qtShownText(e.text));
            a->setData(e.id);
            a->setEnabled(e.enabled);
            // Shown beside the text and run from the keyboard; "; " separates a second one.
            if (!e.shortcut.empty()) {
                const QList<QKeySequence> keys = QKeySequence::listFromString(qtText(e.shortcut));
                a->setShortcuts(keys);
                // A menu shows only the first shortcut of its own accord: every key is shown.
                if (keys.size() > 1) {
                    QStringList shown;
                    for (const QKeySequence& k : keys) shown << k.toString(QKeySequence::NativeText);
                    a->setText(a->text() + QLatin1Char('\t') + shown.join(QStringLiteral(", ")));
                }
            }
            if (e.checked) {
                a->setCheckable(true);
                a->setChecked(true);
            }
            if (actions) (*actions)[e.id].push_back(a);
        }
    }
}

void MainWindow::setMenu(const std::vector<MenuEntry>& menu) {
    // The old menus go once the event that asked for the new ones is over: it may have
    // come from one of their own entries.
    for (QMenu* m : menus_) m->deleteLater();
    menus_.clear();
    menuBar()->clear();
    menuActions_.clear();
    for (const MenuEntry& e : menu) {
        if (e.children.empty()) {
            // A command straight on the bar.
            QAction* a = menuBar()->addAction(qtShownText(e.text));
            a->setData(e.id);
            a->setEnabled(e.enabled);
            connect(a, &QAction::triggered, this, [this, id = e.id] { command(id); });
            menuActions_[e.id].push_back(a);
            continue;
        }
        QMenu* m = menuBar()->addMenu(qtShownText(e.text));
        menus_.push_back(m);
        std::map<int, std::vector<QAction*>> added;
        fillMenu(m, e.children, &added);
        for (auto& [id, list] : added) {
            for (QAction* a : list) {
                connect(a, &QAction::triggered, this, [this, id = id] { command(id); });
                menuActions_[id].push_back(a);
            }
        }
    }
}

void MainWindow::setMenuCheck(int id, bool checked) {
    auto it = menuActions_.find(id);
    if (it == menuActions_.end()) return;
    for (QAction* a : it->second) {
        a->setCheckable(true);
        a->setChecked(checked);
    }
}

void MainWindow::setMenuEnabled(int id, bool enabled) {
    auto it = menuActions_.find(id);
    if (it == menuActions_.end()) return;
    for (QAction* a : it->second) a->setEnabled(enabled);
}

void MainWindow::setMenuText(int id, const QString& text) {
    auto it = menuActions_.find(id);
    if (it == menuActions_.end()) return;
    for (QAction* a : it->second) {
        // The keys shown after a tab stay.
        const qsizetype tab = a->text().indexOf(QLatin1Char('\t'));
        a->setText(tab < 0 ? text : text + a->text().mid(tab));
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == map_ && e->type() == QEvent::Paint) {
        map_->removeEventFilter(this);
        // Queued: runs once the frame this paint belongs to is on the screen. The dialogs
        // (About among them) show the application's icon as well.
        QTimer::singleShot(0, this, [this] {
            QApplication::setWindowIcon(qt_AppIcon());
            setWindowIcon(qt_AppIcon());
        });
    }
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (sink_ && !sink_->onCloseRequest())
        e->ignore();
    else
        e->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    Key k = qt_Key(e->key(), e->modifiers());
    if (k == Key::Other || !sink_) {
        QMainWindow::keyPressEvent(e);
        return;
    }
    sink_->onKey(k, qt_Modifiers(e->modifiers()));
}

namespace {

// The local files a drag brings, in its order.
std::vector<std::string> droppedFiles(const QMimeData* data) {
    std::vector<std::string> out;
    if (!data || !data->hasUrls()) return out;
    for (const QUrl& u : data->urls())
        if (u.isLocalFile()) out.push_back(u.toLocalFile().toStdString());
    return out;
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
    if (!droppedFiles(e->mimeData()).empty()) e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
    std::vector<std::string> files = droppedFiles(e->mimeData());
    if (files.empty() || !sink_) return;
    e->acceptProposedAction();
    sink_->onDropFiles(files);
}
