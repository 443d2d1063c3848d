#include "qt/qt_dialog.h"
#include "qt/app_icon.h"

#include "qt/qt_text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>

namespace {

constexpr int kDataRole = Qt::UserRole;

// Tells the dialog when an edit or a list gains or loses the keyboard focus.
class FocusWatcher : public QObject {
public:
    FocusWatcher(QtDialog& dlg, int id, QObject* parent) : QObject(parent), dlg_(dlg), id_(id) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::FocusIn)
            dlg_.notify(id_, Notify::SetFocus);
        else if (e->type() == QEvent::FocusOut)
            dlg_.notify(id_, Notify::KillFocus);
        return false;
    }

private:
    QtDialog& dlg_;
    int id_;
};

int clampIndex(int index, int count) { return (index >= 0 && index < count) ? index : -1; }

// Where a new entry goes in a sorted list or drop-down.
int sortedIndex(const QStringList& texts, std::string_view text) {
    std::vector<std::string> bytes;
    bytes.reserve(static_cast<size_t>(texts.size()));
    for (const QString& t : texts) bytes.push_back(coreText(t));
    return ui_SortedIndex(bytes, text);
}

QStringList listTexts(const QListWidget* l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
}

QStringList comboTexts(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    return out;
}

}  // namespace

DialogUnits qt_DialogUnits(const QFont& font) {
    QFontMetrics fm(font);
    // The average over the alphabet, rounded, rather than the font's own average width,
    // which some fonts report oddly.
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    DialogUnits u;
    u.charWidth = (fm.horizontalAdvance(alphabet) / 26 + 1) / 2;
    u.lineHeight = fm.height();
    if (u.charWidth <= 0) u.charWidth = 1;
    if (u.lineHeight <= 0) u.lineHeight = 1;
    return u;
}

// ---------------------------------------------------------------------------------------

class QtDialog::Quiet {
public:
    explicit Quiet(QtDialog& d) : d_(d) { ++d_.quiet_; }
    ~Quiet() { --d_.quiet_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    QtDialog& d_;
};

void QtDialogWindow::accept() { owner_.notify(kIdOk, Notify::Clicked); }

void QtDialogWindow::reject() { owner_.notify(kIdCancel, Notify::Clicked); }

QtDialog::QtDialog(const DialogTemplate& tmpl, DialogProc& proc, QWidget* parent)
    : tmpl_(tmpl), proc_(proc), window_(std::make_unique<QtDialogWindow>(*this, parent)) {
    build();
}

QtDialog::~QtDialog() {
    // Widgets going away lose their focus; nobody is listening any more.
    ++quiet_;
    window_.reset();
}

void QtDialog::build() {
    Quiet q(*this);
    QFont font = QApplication::font();
    if (!tmpl_.fontName.empty()) font.setFamily(qtText(tmpl_.fontName));
    if (tmpl_.fontPointSize > 0) font.setPointSize(tmpl_.fontPointSize);
    window_->setFont(font);
    units_ = qt_DialogUnits(font);
    window_->setWindowTitle(qtText(resources_Caption(tmpl_.caption)));
    window_->setFixedSize(units_.x(tmpl_.width), units_.y(tmpl_.height));
    window_->setModal(true);

    QButtonGroup* radioGroup = nullptr;
    std::vector<QWidget*> frames;
    for (const ControlTemplate& c : tmpl_.controls) {
        QWidget* w = createControl(c, radioGroup);
        if (!w) continue;
        if (c.kind == ControlKind::GroupBox) frames.push_back(w);
        int h = c.h;
        const bool dropDown = c.kind == ControlKind::DropDownList || c.kind == ControlKind::ComboBox;
        if (dropDown) {
            // The template's height is the open list; the closed box takes its natural height.
            h = std::min(c.h, kDropDownClosedHeight);
            static_cast<QComboBox*>(w)->setMaxVisibleItems(std::max(1, (c.h - kDropDownClosedHeight) / 8));
        }
        w->setGeometry(units_.x(c.x), units_.y(c.y), units_.x(c.w), units_.y(h));
        if (dropDown) w->resize(w->width(), std::max(units_.y(h), w->sizeHint().height()));
        if (c.style & kCtlDisabled) w->setEnabled(false);
        if (c.style & kCtlHidden) w->hide();
        if (c.id != kIdStatic) {
            Control& ctl = controls_[c.id];
            ctl.tmpl = &c;
            ctl.widget = w;
            if (c.kind == ControlKind::RadioButton) ctl.group = radioGroup;
        }
    }
    // Frames lie behind the controls they enclose, whatever the template's order.
    for (QWidget* f : frames) f->lower();
}

QWidget* QtDialog::createControl(const ControlTemplate& c, QButtonGroup*& radioGroup) {
    QWidget* parent = window_.get();
    const int id = c.id;
    const QString text = qtText(resources_Caption(c.text));
    if (c.kind != ControlKind::RadioButton || (c.style & kCtlGroup)) radioGroup = nullptr;

    switch (c.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultButton: {
        auto* b = new QPushButton(text, parent);
        b->setAutoDefault(false);
        b->setDefault(c.kind == ControlKind::DefaultButton);
        QObject::connect(b, &QPushButton::clicked, parent, [this, id] { notify(id, Notify::Clicked); });
        return b;
    }
    case ControlKind::CheckBox: {
        QAbstractButton* b;
        if (c.style & kCtlPushLike) {
            b = new QPushButton(text, parent);
            b->setCheckable(true);
        } else {
            auto* cb = new QCheckBox(text, parent);
            cb->setTristate(c.style & kCtlTriState);
            b = cb;
        }
        QObject::connect(b, &QAbstractButton::clicked, parent, [this, id] { notify(id, Notify::Clicked); });
        return b;
    }
    case ControlKind::RadioButton: {
        QAbstractButton* b;
        if (c.style & kCtlPushLike) {
            b = new QPushButton(text, parent);
            b->setCheckable(true);
        } else {
            b = new QRadioButton(text, parent);
        }
        // Exclusive within its own group only, not among every radio button of the dialog.
        b->setAutoExclusive(false);
        if (!radioGroup) {
            radioGroup = new QButtonGroup(parent);
            radioGroup->setExclusive(true);
        }
        radioGroup->addButton(b);
        QObject::connect(b, &QAbstractButton::clicked, parent, [this, id] { notify(id, Notify::Clicked); });
        return b;
    }
    case ControlKind::Edit: {
        QWidget* w;
        if (c.style & kCtlMultiLine) {
            auto* e = new QPlainTextEdit(parent);
            e->setReadOnly(c.style & kCtlReadOnly);
            e->setPlainText(text);
            QObject::connect(e, &QPlainTextEdit::textChanged, parent, [this, id] {
                if (quiet_) return;
                if (Control* ctl = find(id)) enforceLimit(*ctl);
                notify(id, Notify::Changed);
            });
            w = e;
        } else {
            auto* e = new QLineEdit(text, parent);
            e->setReadOnly(c.style & kCtlReadOnly);
            if (c.style & kCtlNumber)
                e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
            QObject::connect(e, &QLineEdit::textEdited, parent, [this, id] { notify(id, Notify::Changed); });
            w = e;
        }
        w->installEventFilter(new FocusWatcher(*this, id, w));
        return w;
    }
    case ControlKind::Number: {
        // Digits, a sign where the range goes below zero and a point where it takes
        // fractions: anything else cannot be typed. The range itself is checked on OK, by the
        // procedure, so a value out of range is named at its field rather than swallowed.
        auto* e = new QLineEdit(text, parent);
        QString pattern = c.range.min < 0 ? QStringLiteral("[-+]?[0-9]*") : QStringLiteral("[+]?[0-9]*");
        if (c.range.decimal) pattern += QStringLiteral("([.][0-9]*)?");
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), e));
        QObject::connect(e, &QLineEdit::textEdited, parent, [this, id] { notify(id, Notify::Changed); });
        e->installEventFilter(new FocusWatcher(*this, id, e));
        return e;
    }
    case ControlKind::ListBox: {
        auto* l = new QListWidget(parent);
        if (c.style & kCtlExtendedSelect)
            l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        else if (c.style & kCtlMultiSelect)
            l->setSelectionMode(QAbstractItemView::MultiSelection);
        else
            l->setSelectionMode(QAbstractItemView::SingleSelection);
        QObject::connect(l, &QListWidget::itemSelectionChanged, parent, [this, id] { notify(id, Notify::SelChange); });
        QObject::connect(l, &QListWidget::itemDoubleClicked, parent, [this, id] { notify(id, Notify::DoubleClick); });
        l->installEventFilter(new FocusWatcher(*this, id, l));
        return l;
    }
    case ControlKind::DropDownList: {
        auto* cb = new QComboBox(parent);
        cb->setEditable(false);
        // A list, not a menu over the box: styles that open a menu ignore the template's
        // visible rows and stretch a long list (numbers up to 999) over the whole screen.
        cb->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
        QObject::connect(cb, &QComboBox::currentIndexChanged, parent, [this, id] { notify(id, Notify::SelChange); });
        return cb;
    }
    case ControlKind::ComboBox: {
        auto* cb = new QComboBox(parent);
        cb->setEditable(true);
        // What the user types never becomes an entry of its own.
        cb->setInsertPolicy(QComboBox::NoInsert);
        QObject::connect(cb, &QComboBox::currentIndexChanged, parent, [this, id] { notify(id, Notify::SelChange); });
        QObject::connect(cb->lineEdit(), &QLineEdit::textEdited, parent, [this, id] { notify(id, Notify::Changed); });
        return cb;
    }
    case ControlKind::StaticText: {
        auto* l = new QLabel(text, parent);
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(true);
        Qt::Alignment h = (c.style & kCtlCentre)  ? Qt::AlignHCenter
                          : (c.style & kCtlRight) ? Qt::AlignRight
                                                  : Qt::AlignLeft;
        l->setAlignment(h | Qt::AlignTop);
        return l;
    }
    case ControlKind::GroupBox: return new QGroupBox(text, parent);
    case ControlKind::Icon: {
        auto* l = new QLabel(parent);
        QIcon icon = qt_AppIcon();
        if (icon.isNull()) icon = parent->style()->standardIcon(QStyle::SP_ComputerIcon);
        l->setPixmap(icon.pixmap(32, 32));
        return l;
    }
    }
    return nullptr;
}

QtDialog::Control* QtDialog::find(int id) {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

const QtDialog::Control* QtDialog::find(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

QWidget* QtDialog::control(int id) const {
    const Control* c = find(id);
    return c ? c->widget : nullptr;
}

void QtDialog::notify(int id, Notify code) {
    if (quiet_ || ended_) return;
    proc_.onCommand(*this, id, code);
}

int QtDialog::run() {
    proc_.onInit(*this);
    if (!ended_) window_->exec();
    return ended_ ? result_ : kIdCancel;
}

void QtDialog::open() {
    proc_.onInit(*this);
    if (ended_) return;
    window_->setModal(false);
    window_->show();
}

void QtDialog::end(int result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
    window_->finish(result);
}

void QtDialog::setToolTip(int id, std::string_view text) {
    if (Control* c = find(id)) c->widget->setToolTip(qtText(text));
}

std::vector<int> QtDialog::numberFields() const { return tmpl_.numberFields(); }

std::optional<NumberRange> QtDialog::numberRange(int id) const { return tmpl_.numberRange(id); }

bool QtDialog::edited(int id) const {
    const Control* c = find(id);
    auto* e = c ? qobject_cast<QLineEdit*>(c->widget) : nullptr;
    return e ? e->isModified() : true;
}

void QtDialog::setTitle(std::string_view text) { window_->setWindowTitle(qtText(text)); }

void QtDialog::setText(int id, std::string_view text) {
    Control* c = find(id);
    if (!c) return;
    Quiet q(*this);
    const QString t = qtText(text);
    QWidget* w = c->widget;
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(t);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        // Line breaks arrive as "\r\n" or "\n"; the edit keeps "\n".
        QString plain = t;
        plain.remove(QLatin1Char('\r'));
        p->setPlainText(plain);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(t);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(t);
    else if (auto* cb = qobject_cast<QComboBox*>(w); cb && cb->isEditable())
        cb->setEditText(t);
}

std::string QtDialog::text(int id) const {
    const Control* c = find(id);
    if (!c) return {};
    QWidget* w = c->widget;
    if (auto* e = qobject_cast<QLineEdit*>(w)) return coreText(e->text());
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) return coreText(p->toPlainText());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return coreText(b->text());
    if (auto* l = qobject_cast<QLabel*>(w)) return coreText(l->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) return coreText(g->title());
    if (auto* cb = qobject_cast<QComboBox*>(w)) return coreText(cb->currentText());
    return {};
}

void QtDialog::enforceLimit(Control& c) {
    auto* p = qobject_cast<QPlainTextEdit*>(c.widget);
    if (!p || c.limit <= 0) return;
    QString t = p->toPlainText();
    if (t.size() <= c.limit) return;
    Quiet q(*this);
    p->setPlainText(t.left(c.limit));
    QTextCursor cur = p->textCursor();
    cur.movePosition(QTextCursor::End);
    p->setTextCursor(cur);
}

void QtDialog::setTextLimit(int id, int maxChars) {
    Control* c = find(id);
    if (!c) return;
    c->limit = maxChars > 0 ? maxChars : 0;
    // The limit applies to typing; a longer text already there stays.
    if (auto* e = qobject_cast<QLineEdit*>(c->widget)) {
        Quiet q(*this);
        QString keep = e->text();
        e->setMaxLength(c->limit > 0 ? std::max<int>(c->limit, keep.size()) : 32767);
    }
}

void QtDialog::clearEntries(int id) {
    Control* c = find(id);
    if (!c) return;
    Quiet q(*this);
    if (auto* l = qobject_cast<QListWidget*>(c->widget))
        l->clear();
    else if (auto* cb = qobject_cast<QComboBox*>(c->widget))
        cb->clear();
}

int QtDialog::addEntry(int id, std::string_view text, std::int64_t data) {
    Control* c = find(id);
    if (!c) return -1;
    const bool sorted = c->tmpl->style & kCtlSorted;
    if (auto* l = qobject_cast<QListWidget*>(c->widget))
        return insertEntry(id, sorted ? sortedIndex(listTexts(l), text) : l->count(), text, data);
    if (auto* cb = qobject_cast<QComboBox*>(c->widget))
        return insertEntry(id, sorted ? sortedIndex(comboTexts(cb), text) : cb->count(), text, data);
    return -1;
}

int QtDialog::insertEntry(int id, int index, std::string_view text, std::int64_t data) {
    Control* c = find(id);
    if (!c) return -1;
    Quiet q(*this);
    if (auto* l = qobject_cast<QListWidget*>(c->widget)) {
        if (index < 0 || index > l->count()) index = l->count();
        auto* item = new QListWidgetItem(qtText(text));
        item->setData(kDataRole, QVariant::fromValue<qlonglong>(data));
        l->insertItem(index, item);
        return index;
    }
    if (auto* cb = qobject_cast<QComboBox*>(c->widget)) {
        if (index < 0 || index > cb->count()) index = cb->count();
        const bool wasEmpty = cb->count() == 0;
        cb->insertItem(index, qtText(text), QVariant::fromValue<qlonglong>(data));
        // A drop-down shows nothing until something is selected.
        if (wasEmpty) cb->setCurrentIndex(-1);
        return index;
    }
    return -1;
}

void QtDialog::removeEntry(int id, int index) {
    Control* c = find(id);
    if (!c) return;
    Quiet q(*this);
    if (auto* l = qobject_cast<QListWidget*>(c->widget)) {
        if (clampIndex(index, l->count()) >= 0) delete l->takeItem(index);
    } else if (auto* cb = qobject_cast<QComboBox*>(c->widget)) {
        if (clampIndex(index, cb->count()) >= 0) cb->removeItem(index);
    }
}

int QtDialog::entryCount(int id) const {
    const Control* c = find(id);
    if (!c) return 0;
    if (auto* l = qobject_cast<QListWidget*>(c->widget)) return l->count();
    if (auto* cb = qobject_cast<QComboBox*>(c->widget)) return cb->count();
    return 0;
}

std::string QtDialog::entryText(int id, int index) const {
    const Control* c = find(id);
    if (!c) return {};
    if (auto* l = qobject_cast<QListWidget*>(c->widget))
        return clampIndex(index, l->count()) >= 0 ? coreText(l->item(index)->text()) : std::string();
    if (auto* cb = qobject_cast<QComboBox*>(c->widget))
        return clampIndex(index, cb->count()) >= 0 ? coreText(cb->itemText(index)) : std::string();
    return {};
}

std::int64_t QtDialog::entryData(int id, int index) const {
    const Control* c = find(id);
    if (!c) return -1;
    if (auto* l = qobject_cast<QListWidget*>(c->widget))
        return clampIndex(index, l->count()) >= 0 ? l->item(index)->data(kDataRole).toLongLong() : -1;
    if (auto* cb = qobject_cast<QComboBox*>(c->widget))
        return clampIndex(index, cb->count()) >= 0 ? cb->itemData(index).toLongLong() : -1;
    return -1;
}

void QtDialog::setEntryData(int id, int index, std::int64_t data) {
    Control* c = find(id);
    if (!c) return;
    if (auto* l = qobject_cast<QListWidget*>(c->widget)) {
        if (clampIndex(index, l->count()) >= 0)
            l->item(index)->setData(kDataRole, QVariant::fromValue<qlonglong>(data));
    } else if (auto* cb = qobject_cast<QComboBox*>(c->widget)) {
        if (clampIndex(index, cb->count()) >= 0) cb->setItemData(index, QVariant::fromValue<qlonglong>(data));
    }
}

void QtDialog::setSelection(int id, int index) {
    Control* c = find(id);
    if (!c) return;
    Quiet q(*this);
    if (auto* l = qobject_cast<QListWidget*>(c->widget)) {
        index = clampIndex(index, l->count());
        l->clearSelection();
        l->setCurrentRow(index, index >= 0 ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Clear);
        if (index >= 0) l->scrollToItem(l->item(index));
    } else if (auto* cb = qobject_cast<QComboBox*>(c->widget)) {
        cb->setCurrentIndex(clampIndex(index, cb->count()));
    }
}

int QtDialog::selection(int id) const {
    const Control* c = find(id);
    if (!c) return -1;
    if (auto* l = qobject_cast<QListWidget*>(c->widget)) {
        if (l->selectionMode() == QAbstractItemView::SingleSelection) {
            int row = l->currentRow();
            return (row >= 0 && l->item(row)->isSelected()) ? row : -1;
        }
        // Several may be selected: the first.
        for (int i = 0; i < l->count(); ++i)
            if (l->item(i)->isSelected()) return i;
        return -1;
    }
    if (auto* cb = qobject_cast<QComboBox*>(c->widget)) {
        if (!cb->isEditable()) return cb->currentIndex();
        // Typed text selects the entry it spells exactly, else nothing.
        const QString typed = cb->currentText();
        const int current = cb->currentIndex();
        if (current >= 0 && cb->itemText(current) == typed) return current;
        return cb->findText(typed, Qt::MatchExactly | Qt::MatchCaseSensitive);
    }
    return -1;
}

void QtDialog::setEntrySelected(int id, int index, bool selected) {
    Control* c = find(id);
    if (!c) return;
    Quiet q(*this);
    if (auto* l = qobject_cast<QListWidget*>(c->widget)) {
        if (clampIndex(index, l->count()) < 0) return;
        if (selected && l->selectionMode() == QAbstractItemView::SingleSelection) l->clearSelection();
        l->item(index)->setSelected(selected);
    } else if (auto* cb = qobject_cast<QComboBox*>(c->widget)) {
        if (selected)
            cb->setCurrentIndex(clampIndex(index, cb->count()));
        else if (cb->currentIndex() == index)
            cb->setCurrentIndex(-1);
    }
}

bool QtDialog::entrySelected(int id, int index) const {
    const Control* c = find(id);
    if (!c) return false;
    if (auto* l = qobject_cast<QListWidget*>(c->widget))
        return clampIndex(index, l->count()) >= 0 && l->item(index)->isSelected();
    if (auto* cb = qobject_cast<QComboBox*>(c->widget)) return index >= 0 && cb->currentIndex() == index;
    return false;
}

void QtDialog::setCheck(int id, int state) {
    Control* c = find(id);
    if (!c) return;
    auto* b = qobject_cast<QAbstractButton*>(c->widget);
    if (!b) return;
    Quiet q(*this);
    if (auto* cb = qobject_cast<QCheckBox*>(b)) {
        // Set by the program, the third state also lets the user click through it (a box that
        // shows a value its items do not share).
        if (state == kIndeterminate)
            cb->setCheckState(Qt::PartiallyChecked);
        else
            cb->setCheckState(state == kUnchecked ? Qt::Unchecked : Qt::Checked);
        return;
    }
    // An exclusive group refuses to clear its checked button; let it for this call.
    const bool exclusive = c->group && c->group->exclusive();
    if (exclusive && state == kUnchecked) c->group->setExclusive(false);
    b->setChecked(state != kUnchecked);
    if (exclusive && state == kUnchecked) c->group->setExclusive(true);
}

int QtDialog::check(int id) const {
    const Control* c = find(id);
    if (!c) return kUnchecked;
    if (auto* cb = qobject_cast<QCheckBox*>(c->widget)) {
        switch (cb->checkState()) {
        case Qt::Checked: return kChecked;
        case Qt::PartiallyChecked: return kIndeterminate;
        default: return kUnchecked;
        }
    }
    if (auto* b = qobject_cast<QAbstractButton*>(c->widget)) return b->isChecked() ? kChecked : kUnchecked;
    return kUnchecked;
}

void QtDialog::enable(int id, bool on) {
    if (Control* c = find(id)) c->widget->setEnabled(on);
}

bool QtDialog::isEnabled(int id) const {
    const Control* c = find(id);
    return c ? c->widget->isEnabled() : false;
}

void QtDialog::show(int id, bool on) {
    if (Control* c = find(id)) c->widget->setVisible(on);
}

void QtDialog::setFocus(int id) {
    Control* c = find(id);
    if (!c) return;
    Quiet q(*this);
    c->widget->setFocus(Qt::OtherFocusReason);
}
