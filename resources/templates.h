// Dialog and menu templates: the controls of every dialog (id, kind, position in dialog
// units, placeholder text, style) and the menus, as plain constant data.
//
// Texts in templates are placeholders: a dialog procedure sets every visible text from the
// string table when the dialog opens, usually by the key the placeholder names. The
// platform layer builds real windows from these tables; tests read them to check that the
// ids a dialog procedure uses exist.
//
// Dialog units: x and width in quarters of the dialog font's average character width,
// y and height in eighths of its line height, so a layout scales with the font.
#pragma once

#include "platform/ui.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

enum class ControlKind {
    PushButton,
    DefaultButton,  // the push button Enter presses
    CheckBox,       // toggles itself when clicked, then notifies
    RadioButton,    // checks itself and clears the others of its group, then notifies
    Edit,
    ListBox,
    DropDownList,  // a drop-down list the user cannot type into
    ComboBox,      // a drop-down list with a text field above it; text that is no entry's selects none
    StaticText,
    GroupBox,  // a titled frame; controls "inside" it are its siblings
    Icon,      // an icon; its text names the icon resource
    Number,    // a one-line edit for a number within the control's range
};

// Style flags of a control (ControlTemplate::style).
constexpr unsigned kCtlGroup = 1u << 0;           // starts a group: radio buttons up to the next group start form one
constexpr unsigned kCtlMultiLine = 1u << 1;       // edit: several lines
constexpr unsigned kCtlReadOnly = 1u << 2;        // edit: shown, not editable
constexpr unsigned kCtlNumber = 1u << 3;          // edit: digits only
constexpr unsigned kCtlMultiSelect = 1u << 4;     // list: every click toggles an entry
constexpr unsigned kCtlExtendedSelect = 1u << 5;  // list: ranges with Shift, single entries with Ctrl
constexpr unsigned kCtlSorted = 1u << 6;          // list or drop-down: entries kept in order of their text
constexpr unsigned kCtlCentre = 1u << 7;          // static text: centred
constexpr unsigned kCtlRight = 1u << 8;           // static text: right-aligned
constexpr unsigned kCtlDisabled = 1u << 9;        // starts disabled
constexpr unsigned kCtlHidden = 1u << 10;         // starts hidden
constexpr unsigned kCtlPushLike = 1u << 11;       // check box or radio button drawn as a push button
constexpr unsigned kCtlTriState = 1u << 12;       // check box with a third, indeterminate state

// The id of controls nobody addresses (labels, frames, icons); several may share it.
constexpr int kIdStatic = -1;

// A drop-down list's height is the extent of its open list; closed, it is this tall.
constexpr int kDropDownClosedHeight = 12;

struct ControlTemplate {
    int id = kIdStatic;
    ControlKind kind = ControlKind::StaticText;
    std::string_view text;           // placeholder caption (usually the string-table key)
    int x = 0, y = 0, w = 0, h = 0;  // dialog units
    unsigned style = 0;
    NumberRange range{};  // Number: what the field takes
};

// A number field: an edit that takes whole numbers from min to max, named by its label.
constexpr ControlTemplate numberField(int id, int x, int y, int w, int h, std::int32_t min, std::int32_t max, int label,
                                      unsigned style = 0) {
    return {id, ControlKind::Number, "", x, y, w, h, style, {min, max, false, label}};
}
// A number field that also takes a fraction ("12.5").
constexpr ControlTemplate decimalField(int id, int x, int y, int w, int h, std::int32_t min, std::int32_t max,
                                       int label, unsigned style = 0) {
    return {id, ControlKind::Number, "", x, y, w, h, style, {min, max, true, label}};
}
// Whole metres a position in 1/256 m held in 32 bits can reach.
constexpr std::int32_t kMetresMin = -8388608;
constexpr std::int32_t kMetresMax = 8388607;

struct DialogTemplate {
    std::string_view name;      // looked up without regard to ASCII case
    std::string_view caption;   // placeholder title
    int width = 0, height = 0;  // dialog units
    std::string_view fontName;  // empty: the toolkit's default dialog font
    int fontPointSize = 8;
    std::span<const ControlTemplate> controls;

    // The control with this id, or nullptr (kIdStatic never matches).
    const ControlTemplate* control(int id) const;
    // The ids of the number fields, in template order.
    std::vector<int> numberFields() const;
    // What the control takes when it is a number field.
    std::optional<NumberRange> numberRange(int id) const;
};

// The dialog template of this name, or nullptr.
// What a control (or the title) shows when its dialog opens. A template's placeholder captions
// are keys of the dialogs' wording: section "Dialog Message", else "Checks" (the checks' own
// dialogs); a key neither holds reads as text_Get's fallback, as any missing text does. The
// platforms word every dialog with this, so a dialog's code sets only the captions that
// change while it is open.
std::string resources_Caption(std::string_view placeholder);

const DialogTemplate* resources_FindDialog(std::string_view name);
// Every registered dialog template.
std::span<const DialogTemplate* const> resources_Dialogs();

// The menu of this name as a tree: entries carry their string-table key (section
// "Menu Text") and the key as placeholder text, or a fixed text and no key. Pop-up menus
// such as the context menus are one entry whose children are the menu. Empty when unknown.
std::vector<MenuEntry> resources_Menu(std::string_view name);
// The names of every menu.
std::span<const std::string_view> resources_MenuNames();

// Every command id in a menu tree, in order, separators and submenus skipped.
std::vector<int> resources_MenuIds(const std::vector<MenuEntry>& menu);
