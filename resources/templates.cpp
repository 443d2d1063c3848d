#include "resources/templates.h"

#include "core/text.h"

#include "resources/check_dialogs.h"
#include "resources/events_dialogs.h"
#include "resources/itemattr_dialogs.h"
#include "resources/geninfo_dialogs.h"
#include "resources/menus.h"
#include "resources/records_dialogs.h"
#include "resources/shell_dialogs.h"

#include <array>

namespace {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char ca = a[i], cb = b[i];
        if (ca >= 'a' && ca <= 'z') ca = static_cast<char>(ca - 'a' + 'A');
        if (cb >= 'a' && cb <= 'z') cb = static_cast<char>(cb - 'a' + 'A');
        if (ca != cb) return false;
    }
    return true;
}

// Every dialog template of the program. A dialog added later adds its line here; a table
// rather than self-registering objects, because a static library drops unreferenced files.
constexpr std::array kDialogs = {
    &kDlgGetCenter,    &kDlgInsertItem, &kDlgVisibleLayers, &kDlgLayerNames,       &kDlgEditBriefing,
    &kDlgAbout,        &kDlgStatus,     &kDlgChoose,        &kDlgEditEvents,       &kDlgEventTriggers,
    &kDlgEventActions, &kDlgEditGroups, &kDlgEditWaypoints, &kDlgEditAreaTriggers, &kDlgItemAttributes,
    &kDlgGeneralInfo,  &kDlgFindItems,  &kDlgReferences,
};

void collectIds(const std::vector<MenuEntry>& menu, std::vector<int>& out) {
    for (const MenuEntry& e : menu) {
        if (!e.children.empty())
            collectIds(e.children, out);
        else if (e.id != 0)
            out.push_back(e.id);
    }
}

}  // namespace

const ControlTemplate* DialogTemplate::control(int id) const {
    if (id == kIdStatic) return nullptr;
    for (const ControlTemplate& c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

std::vector<int> DialogTemplate::numberFields() const {
    std::vector<int> ids;
    for (const ControlTemplate& c : controls)
        if (c.kind == ControlKind::Number && c.id != kIdStatic) ids.push_back(c.id);
    return ids;
}

std::optional<NumberRange> DialogTemplate::numberRange(int id) const {
    const ControlTemplate* c = control(id);
    if (!c || c->kind != ControlKind::Number) return std::nullopt;
    return c->range;
}

std::string resources_Caption(std::string_view placeholder) {
    if (placeholder.empty()) return {};
    const std::string key(placeholder);
    if (const char* text = text_Lookup("Dialog Message", key.c_str())) return text;
    if (const char* text = text_Lookup("Checks", key.c_str())) return text;
    return text_Get("Dialog Message", key.c_str());
}

const DialogTemplate* resources_FindDialog(std::string_view name) {
    for (const DialogTemplate* d : kDialogs)
        if (sameName(d->name, name)) return d;
    return nullptr;
}

std::span<const DialogTemplate* const> resources_Dialogs() { return kDialogs; }

std::vector<MenuEntry> resources_Menu(std::string_view name) {
    for (const MenuTemplate& m : menuTemplates())
        if (sameName(m.name, name)) return menu_Build(m.items);
    return {};
}

std::span<const std::string_view> resources_MenuNames() { return menuNames(); }

std::vector<int> resources_MenuIds(const std::vector<MenuEntry>& menu) {
    std::vector<int> ids;
    collectIds(menu, ids);
    return ids;
}
