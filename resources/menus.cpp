#include "resources/menus.h"

#include "shell/actions.h"

#include <array>

namespace {

// The main window's menu bar: File, Edit, View, Page, Info. An entry names its command, whose
// row in the action table gives its text, unless the entry words it differently.
constexpr MenuItemTemplate kMainMenu[] = {
    {0, "FILE", {}, 0},
    {1, {}, {}, cmd::kNew},
    {1, {}, {}, cmd::kClear},
    {1, {}, {}, cmd::kOpen},
    {1, "FILE_RECENT", {}, 0},
    {2, {}, {}, cmd::kRecentFirst},  // the recent files replace it when the menu is built
    {1, {}, {}, cmd::kSave},
    {1, {}, {}, cmd::kSaveAs},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kExport},
    {1, {}, {}, cmd::kExportImage},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kPrint},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kExit},
    {0, "EDIT", {}, 0},
    {1, {}, {}, cmd::kUndo},
    {1, {}, {}, cmd::kRedo},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kCut},
    {1, {}, {}, cmd::kCopy},
    {1, {}, {}, cmd::kPaste},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kDelete},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kSelectAll},
    {1, {}, {}, cmd::kUnselectAll},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kFind},
    {1, {}, {}, cmd::kShowReferences},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kItemAttributes},
    {1, {}, {}, cmd::kInsertMode},
    {1, {}, {}, cmd::kDrawPath},
    {1, {}, {}, cmd::kDrawArea},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kBriefing},
    {1, {}, {}, cmd::kGeneralInfo},
    {1, {}, {}, cmd::kGroups},
    {1, {}, {}, cmd::kAreaTriggers},
    {1, {}, {}, cmd::kWaypoints},
    {1, {}, {}, cmd::kEvents},
    {1, {}, {}, cmd::kLayerNames},
    {0, "VIEW", {}, 0},
    {1, {}, {}, cmd::kZoomIn},
    {1, {}, {}, cmd::kZoomOut},
    {1, {}, {}, cmd::kZoomInStep},
    {1, {}, {}, cmd::kZoomOutStep},
    {1, {}, {}, cmd::kZoomToMission},
    {1, {}, {}, cmd::kCentre},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kShowLinks},
    {1, {}, {}, cmd::kProblems},
    {0, "PAGE", {}, 0},
    {1, {}, {}, cmd::kPage1},
    {1, {}, {}, cmd::kPage2},
    {0, "INFO", {}, 0},
    {1, {}, {}, cmd::kAbout},
};

// Context menu of empty map space: one pop-up holding the entries.
constexpr MenuItemTemplate kMouseMenu[] = {
    {0, "MOUSE", {}, 0},
    {1, {}, {}, cmd::kInsertMode},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kPaste},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kUnhideAll},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kSetViewByType},
    {1, {}, {}, cmd::kSetViewBySide},
    {1, {}, {}, 0},
    {1, "MOUSE_EXITPROGRAM", {}, cmd::kExit},
};

// Context menu of an item (it acts on the selection).
constexpr MenuItemTemplate kMouseMenuItem[] = {
    {0, "MOUSE", {}, 0},
    {1, {}, {}, cmd::kItemAttributes},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kCut},
    {1, {}, {}, cmd::kCopy},
    {1, {}, {}, cmd::kPaste},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kMove},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kHideSelected},
    {1, {}, {}, cmd::kHideUnselected},
    {1, {}, {}, cmd::kUnhideAll},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kSelectType},
    {1, {}, {}, 0},
    {1, {}, {}, cmd::kDelete},
};

constexpr std::array kMenus = {
    MenuTemplate{"MenuMainWindow", kMainMenu},
    MenuTemplate{"MouseMenu", kMouseMenu},
    MenuTemplate{"MouseMenuItem", kMouseMenuItem},
};

constexpr std::array<std::string_view, kMenus.size()> kMenuNames = {kMenus[0].name, kMenus[1].name, kMenus[2].name};

// Builds entries of one level from items[pos] on, while the depth is at least `depth`.
std::vector<MenuEntry> buildLevel(std::span<const MenuItemTemplate> items, size_t& pos, int depth) {
    std::vector<MenuEntry> out;
    while (pos < items.size() && items[pos].depth >= depth) {
        const MenuItemTemplate& t = items[pos++];
        MenuEntry e;
        e.key = std::string(t.key);
        e.text = t.text.empty() ? std::string(t.key) : std::string(t.text);
        e.id = t.id;
        if (pos < items.size() && items[pos].depth > t.depth) {
            e.children = buildLevel(items, pos, t.depth + 1);
            e.id = 0;  // a submenu is not a command
        }
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace

std::span<const MenuTemplate> menuTemplates() { return kMenus; }

std::span<const std::string_view> menuNames() { return kMenuNames; }

std::vector<MenuEntry> menu_Build(std::span<const MenuItemTemplate> items) {
    size_t pos = 0;
    int top = items.empty() ? 0 : items[0].depth;
    std::vector<MenuEntry> out;
    // Entries shallower than the first are taken at the first entry's level.
    while (pos < items.size()) {
        auto level = buildLevel(items, pos, top);
        for (auto& e : level) out.push_back(std::move(e));
        if (pos < items.size()) top = items[pos].depth;
    }
    return out;
}
