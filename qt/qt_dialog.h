// A dialog built from a DialogTemplate with Qt widgets, run modally, its controls
// addressed by id and its signals passed to the dialog procedure as notifications.
#pragma once

#include "platform/ui.h"
#include "resources/templates.h"

#include <QDialog>
#include <QFont>

#include <map>
#include <memory>

class QButtonGroup;

// Pixels per dialog unit of a font: x units are a quarter of the average character width,
// y units an eighth of the line height.
struct DialogUnits {
    int charWidth = 0;
    int lineHeight = 0;
    int x(int du) const { return du * charWidth / 4; }
    int y(int du) const { return du * lineHeight / 8; }
};
DialogUnits qt_DialogUnits(const QFont& font);

class QtDialog;

// The window itself; it hands Enter, Escape and the close box to the procedure as the
// commands of the OK and Cancel buttons instead of closing by itself.
class QtDialogWindow : public QDialog {
public:
    QtDialogWindow(QtDialog& owner, QWidget* parent) : QDialog(parent), owner_(owner) {}
    void accept() override;
    void reject() override;
    void finish(int result) { QDialog::done(result); }

private:
    QtDialog& owner_;
};

class QtDialog : public Dialog {
public:
    QtDialog(const DialogTemplate& tmpl, DialogProc& proc, QWidget* parent = nullptr);
    ~QtDialog() override;
    QtDialog(const QtDialog&) = delete;
    QtDialog& operator=(const QtDialog&) = delete;

    // Calls onInit, then runs modally unless the procedure already ended the dialog;
    // answers the value passed to end (Cancel when the dialog went away otherwise).
    int run();
    // Calls onInit, then shows the dialog without blocking (the status box); it stays
    // until the object goes.
    void open();

    QDialog& window() { return *window_; }
    const DialogTemplate& dialogTemplate() const { return tmpl_; }
    // The widget of a control, or nullptr.
    QWidget* control(int id) const;
    const DialogUnits& units() const { return units_; }

    void setTitle(std::string_view text) override;
    void setText(int id, std::string_view text) override;
    std::string text(int id) const override;
    void clearEntries(int id) override;
    int addEntry(int id, std::string_view text, std::int64_t data = 0) override;
    int insertEntry(int id, int index, std::string_view text, std::int64_t data = 0) override;
    void removeEntry(int id, int index) override;
    int entryCount(int id) const override;
    std::string entryText(int id, int index) const override;
    std::int64_t entryData(int id, int index) const override;
    void setEntryData(int id, int index, std::int64_t data) override;
    void setSelection(int id, int index) override;
    int selection(int id) const override;
    void setEntrySelected(int id, int index, bool selected) override;
    bool entrySelected(int id, int index) const override;
    void setCheck(int id, int state) override;
    int check(int id) const override;
    void enable(int id, bool on) override;
    bool isEnabled(int id) const override;
    void show(int id, bool on) override;
    void setFocus(int id) override;
    void setTextLimit(int id, int maxChars) override;
    void setToolTip(int id, std::string_view text) override;
    std::vector<int> numberFields() const override;
    std::optional<NumberRange> numberRange(int id) const override;
    bool edited(int id) const override;
    void end(int result) override;

    // Passes a notification to the procedure unless the program itself is changing the
    // control (a user's action notifies, the program's own setText does not).
    void notify(int id, Notify code);

private:
    struct Control {
        const ControlTemplate* tmpl = nullptr;
        QWidget* widget = nullptr;
        QButtonGroup* group = nullptr;  // radio buttons: their exclusive group
        int limit = 0;
    };
    class Quiet;  // suppresses notifications while the program changes controls

    void build();
    QWidget* createControl(const ControlTemplate& c, QButtonGroup*& radioGroup);
    Control* find(int id);
    const Control* find(int id) const;
    void enforceLimit(Control& c);

    const DialogTemplate& tmpl_;
    DialogProc& proc_;
    std::unique_ptr<QtDialogWindow> window_;
    DialogUnits units_;
    std::map<int, Control> controls_;
    int quiet_ = 0;
    bool ended_ = false;
    int result_ = kIdCancel;
};
