#include "qt/qt_platform.h"

#include "qt/qt_dialog.h"
#include "qt/qt_text.h"
#include "resources/templates.h"
#include "shell/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <cstdio>

QStringList qt_FileFilters(const std::vector<FileFilter>& filters) {
    QStringList out;
    for (const FileFilter& f : filters) {
        QString patterns = qtText(f.pattern);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns = patterns.simplified();
        if (patterns.isEmpty()) patterns = QStringLiteral("*");
        // Qt takes the patterns from the last parentheses: a label that already ends with
        // them is shown as it is, others get them added.
        const QString label = qtText(f.label).trimmed();
        const QString shown = QStringLiteral("(") + patterns + QLatin1Char(')');
        QString tail = label.mid(label.lastIndexOf(QLatin1Char('(')));
        tail.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (label.endsWith(QLatin1Char(')')) && tail.simplified() == shown)
            out << label;
        else
            out << label + QLatin1Char(' ') + shown;
    }
    return out;
}

std::string qt_WithDefaultExtension(const std::string& path, std::string_view extension) {
    while (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    if (extension.empty() || path.empty()) return path;
    size_t slash = path.find_last_of('/');
    size_t name = slash == std::string::npos ? 0 : slash + 1;
    if (path.find('.', name) != std::string::npos) return path;
    return path + "." + std::string(extension);
}

QtPlatform::QtPlatform()
    : main_(std::make_unique<MainWindow>()), problems_(std::make_unique<ProblemsPanelOnDemand>(*main_)) {
    platform_SetProblemsPanel(problems_.get());
}

QtPlatform::~QtPlatform() {
    platform_SetProblemsPanel(nullptr);
    timers_.clear();
    statusClose();
    main_->setSink(nullptr);
    main_->mapPane().setSink(nullptr);
}

QWidget* QtPlatform::owner() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return main_.get();
}

MsgAnswer QtPlatform::messageBox(std::string_view text, std::string_view caption, MsgIcon icon, MsgButtons buttons) {
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
    case MsgIcon::None: break;
    case MsgIcon::Information: qicon = QMessageBox::Information; break;
    case MsgIcon::Warning: qicon = QMessageBox::Warning; break;
    case MsgIcon::Error: qicon = QMessageBox::Critical; break;
    case MsgIcon::Question: qicon = QMessageBox::Question; break;
    }
    QMessageBox::StandardButtons set;
    QMessageBox::StandardButton escape = QMessageBox::Ok;
    switch (buttons) {
    case MsgButtons::Ok:
        set = QMessageBox::Ok;
        escape = QMessageBox::Ok;
        break;
    case MsgButtons::OkCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        escape = QMessageBox::No;
        break;
    case MsgButtons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    }
    QMessageBox box(qicon, qtShownText(caption), qtShownText(text), set, owner());
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(escape);
    switch (box.exec()) {
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
}

void QtPlatform::lineError(std::string_view file, int line, std::string_view text, std::string_view caption) {
    (void)line;  // the text names it
    // The file the line belongs to, on its own line above the message.
    std::string named = file.empty() ? std::string() : ui_PathText(file) + "\n\n";
    named.append(text);
    messageBox(named, caption, MsgIcon::Error, MsgButtons::Ok);
}

std::optional<std::string> QtPlatform::fileDialog(const FileDialogRequest& r) {
    QFileDialog dlg(owner(), qtText(r.title));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(!r.save && r.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (r.save) dlg.setOption(QFileDialog::DontConfirmOverwrite, !r.promptOverwrite);
    QStringList filters = qt_FileFilters(r.filters);
    if (!filters.isEmpty()) dlg.setNameFilters(filters);
    std::string_view ext = r.defaultExtension;
    while (!ext.empty() && ext.front() == '.') ext.remove_prefix(1);
    if (!ext.empty()) dlg.setDefaultSuffix(qtText(ext));
    if (!r.startFolder.empty()) dlg.setDirectory(qtPath(r.startFolder));
    if (!r.initialName.empty()) dlg.selectFile(qtPath(r.initialName));
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dlg.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    return qt_WithDefaultExtension(corePath(chosen.front()), ext);
}

int QtPlatform::runDialog(std::string_view templateName, DialogProc& proc) {
    const DialogTemplate* t = resources_FindDialog(templateName);
    if (!t) {
        debugOutput("no dialog template named " + std::string(templateName));
        return -1;
    }
    QtDialog dlg(*t, proc, owner());
    return dlg.run();
}

void QtPlatform::debugOutput(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
}

void QtPlatform::statusOpen(std::string_view templateName) {
    statusClose();
    if (!resources_FindDialog(templateName)) {
        debugOutput("no dialog template named " + std::string(templateName));
        return;
    }
    // Most loads end well before a box could be read, and a box that flashes up only costs
    // them time: it comes when progress is still being reported after a moment.
    loading_ = true;
    statusTemplate_ = templateName;
    statusClock_.start();
    if (statusDelayMs_ <= 0) showStatusBox();
}

void QtPlatform::showStatusBox() {
    const DialogTemplate* t = resources_FindDialog(statusTemplate_);
    if (!t) return;
    // The shell's status procedure sets the title; its one label shows the latest line.
    statusProc_ = std::make_unique<StatusDialogProc>();
    status_ = std::make_unique<QtDialog>(*t, *statusProc_, main_.get());
    status_->open();
    if (!statusText_.empty()) statusProc_->setLine(*status_, statusText_);
    // The load that follows keeps the event loop waiting: show the box before it goes on.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPlatform::statusLine(std::string_view text) {
    if (!loading_) return;
    statusText_ = text;
    if (!status_) {
        if (statusClock_.elapsed() >= statusDelayMs_) showStatusBox();
        return;
    }
    statusProc_->setLine(*status_, text);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPlatform::statusClose() {
    status_.reset();
    statusProc_.reset();
    loading_ = false;
    statusTemplate_.clear();
    statusText_.clear();
}

void QtPlatform::setSinks(MainWindowSink* mainWindow, MapPaneSink* mapPane) {
    main_->setSink(mainWindow);
    main_->mapPane().setSink(mapPane);
}

void QtPlatform::showMainWindow() { main_->showMaximized(); }

CharMetrics QtPlatform::charMetrics() { return main_->metrics(); }

void QtPlatform::setButtonBar(const std::vector<BarControl>& bar) { main_->setButtonBar(bar); }

void QtPlatform::barSetCheck(int id, int state) { main_->barSetCheck(id, state); }

void QtPlatform::barSetText(int id, std::string_view text) { main_->barSetText(id, text); }

void QtPlatform::setWindowTitle(std::string_view title) { main_->setWindowTitle(qtShownText(title)); }

void QtPlatform::setMenu(const std::vector<MenuEntry>& menu) { main_->setMenu(menu); }

void QtPlatform::setMenuCheck(int id, bool checked) { main_->setMenuCheck(id, checked); }

void QtPlatform::setMenuEnabled(int id, bool enabled) { main_->setMenuEnabled(id, enabled); }

void QtPlatform::setMenuText(int id, std::string_view text) { main_->setMenuText(id, qtShownText(text)); }

int QtPlatform::popupMenu(const std::vector<MenuEntry>& menu, int x, int y) {
    QMenu m(&main_->mapPane());
    MainWindow::fillMenu(&m, menu, nullptr);
    QAction* chosen = m.exec(main_->mapPane().mapToGlobal(QPoint(x, y)));
    return chosen ? chosen->data().toInt() : 0;
}

void QtPlatform::setTimer(int id, int intervalMs) {
    auto& t = timers_[id];
    if (!t) {
        t = std::make_unique<QTimer>();
        QObject::connect(t.get(), &QTimer::timeout, main_.get(), [this, id] {
            if (MainWindowSink* s = main_->sink()) s->onTimer(id);
        });
    }
    t->start(intervalMs > 0 ? intervalMs : 1);
}

void QtPlatform::killTimer(int id) { timers_.erase(id); }

PaneSize QtPlatform::mapSize() {
    const MapPane& pane = main_->mapPane();
    return {pane.width(), pane.height(), static_cast<float>(pane.devicePixelRatioF())};
}

void QtPlatform::mapPresent(const PixelView& view) { main_->mapPane().present(view); }

void QtPlatform::mapInvalidate() { main_->mapPane().invalidate(); }

void QtPlatform::mapCaptureMouse(bool on) { main_->mapPane().capture(on); }

void QtPlatform::mapXorRect(int x0, int y0, int x1, int y1) { main_->mapPane().xorRect(x0, y0, x1, y1); }

void QtPlatform::mapCaption(std::string_view text) { main_->mapPane().setCaption(qtText(text)); }

void QtPlatform::paneSetText(int pane, std::string_view text) {
    if (pane == 0 || pane == 1) main_->pane(pane).setText(text);
}

void QtPlatform::paneSetLines(int pane, const std::vector<PaneLine>& lines) {
    if (pane == 0 || pane == 1) main_->pane(pane).setLines(lines);
}

void QtPlatform::statusField(StatusField field, std::string_view text) {
    main_->setStatusField(field, qtShownText(text));
}

void QtPlatform::statusMessage(std::string_view text) { main_->setStatusMessage(qtShownText(text)); }

namespace {

// The pixels as an image of their own (the buffer changes with the next render).
QImage imageOf(const PixelView& v) {
    if (!v.pixels || v.width <= 0 || v.height <= 0 || v.stride < v.width) return {};
    return QImage(reinterpret_cast<const uchar*>(v.pixels), v.width, v.height, qsizetype(v.stride) * 4,
                  QImage::Format_RGB32)
        .copy();
}

}  // namespace

bool qt_PrintMap(QPrinter& printer, const QImage& map, const QString& heading, const QString& footer) {
    if (map.isNull()) return false;
    QPainter p;
    if (!p.begin(&printer)) return false;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRect area(0, 0, page.width(), page.height());
    QFont f = p.font();
    f.setPointSizeF(12);
    p.setFont(f);
    const int line = p.fontMetrics().height();
    p.drawText(QRect(area.left(), area.top(), area.width(), line), Qt::AlignLeft | Qt::AlignVCenter, heading);
    p.drawText(QRect(area.left(), area.bottom() - line, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter, footer);
    // The map as large as the page takes between the two lines, its proportions kept.
    const QRect room(area.left(), area.top() + line * 3 / 2, area.width(), area.height() - line * 3);
    QSize size = map.size();
    size.scale(room.size(), Qt::KeepAspectRatio);
    const QRect target(room.left() + (room.width() - size.width()) / 2, room.top(), size.width(), size.height());
    p.drawImage(target, map);
    p.setPen(Qt::black);
    p.drawRect(target);
    return p.end();
}

bool QtPlatform::printMap(const PixelView& pixels, std::string_view heading, std::string_view footer) {
    const QImage map = imageOf(pixels);
    if (map.isNull()) return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(qtShownText(heading));
    printer.setPageOrientation(map.width() >= map.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, main_.get());
    if (dialog.exec() != QDialog::Accepted) return false;
    return qt_PrintMap(printer, map, qtShownText(heading), qtShownText(footer));
}

bool QtPlatform::writePng(const std::string& path, const PixelView& pixels) {
    const QImage image = imageOf(pixels);
    return !image.isNull() && image.save(QString::fromStdString(path), "PNG");
}

void QtPlatform::quit() {
    // Queued, so that a request made before the loop runs still ends it.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}
