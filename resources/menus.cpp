#include "resources/menus.h"

#include "platform/command_table.h"

#include <array>

namespace {

// The main window's menu bar: File, Edit, Page, Info. An entry names its command; its text
// key is the command's unless the entry words it differently.
constexpr MenuItemTemplate kMainMenu[] = {
    {0, "FILE", {}, 0},
    {1, command_MenuKey(cmd::kClear), {}, cmd::kClear},
    {1, command_MenuKey(cmd::kOpen), {}, cmd::kOpen},
    {1, "FILE_RECENT", {}, 0},
    {2, command_MenuKey(cmd::kRecentFirst), {}, cmd::kRecentFirst},  // the recent files replace it when the menu is built
    {1, command_MenuKey(cmd::kSave), {}, cmd::kSave},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kExport), {}, cmd::kExport},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kPrint), {}, cmd::kPrint},
    {1, {}, "&Metafile", cmd::kMetafile},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kExit), {}, cmd::kExit},
    {0, "EDIT", {}, 0},
    {1, command_MenuKey(cmd::kCut), {}, cmd::kCut},
    {1, command_MenuKey(cmd::kCopy), {}, cmd::kCopy},
    {1, command_MenuKey(cmd::kPaste), {}, cmd::kPaste},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kDelete), {}, cmd::kDelete},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kFind), {}, cmd::kFind},
    {1, command_MenuKey(cmd::kShowReferences), {}, cmd::kShowReferences},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kInsertMode), {}, cmd::kInsertMode},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kBriefing), {}, cmd::kBriefing},
    {1, command_MenuKey(cmd::kGeneralInfo), {}, cmd::kGeneralInfo},
    {1, command_MenuKey(cmd::kGroups), {}, cmd::kGroups},
    {1, command_MenuKey(cmd::kAreaTriggers), {}, cmd::kAreaTriggers},
    {1, command_MenuKey(cmd::kWaypoints), {}, cmd::kWaypoints},
    {1, command_MenuKey(cmd::kEvents), {}, cmd::kEvents},
    {1, command_MenuKey(cmd::kLayerNames), {}, cmd::kLayerNames},
    {0, "VIEW", {}, 0},
    {1, command_MenuKey(cmd::kZoomIn), {}, cmd::kZoomIn},
    {1, command_MenuKey(cmd::kZoomOut), {}, cmd::kZoomOut},
    {1, command_MenuKey(cmd::kZoomToMission), {}, cmd::kZoomToMission},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kProblems), {}, cmd::kProblems},
    {0, "PAGE", {}, 0},
    {1, command_MenuKey(cmd::kPage1), {}, cmd::kPage1},
    {1, command_MenuKey(cmd::kPage2), {}, cmd::kPage2},
    {0, "INFO", {}, 0},
    {1, command_MenuKey(cmd::kAbout), {}, cmd::kAbout},
};

// Context menu of empty map space: one pop-up holding the entries.
constexpr MenuItemTemplate kMouseMenu[] = {
    {0, "MOUSE", {}, 0},
    {1, command_MenuKey(cmd::kInsertMode), {}, cmd::kInsertMode},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kPaste), {}, cmd::kPaste},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kUnhideAll), {}, cmd::kUnhideAll},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kSetViewByType), {}, cmd::kSetViewByType},
    {1, command_MenuKey(cmd::kSetViewBySide), {}, cmd::kSetViewBySide},
    {1, {}, {}, 0},
    {1, "MOUSE_EXITPROGRAM", {}, cmd::kExit},
};

// Context menu of an item (it acts on the selection).
constexpr MenuItemTemplate kMouseMenuItem[] = {
    {0, "MOUSE", {}, 0},
    {1, command_MenuKey(cmd::kCut), {}, cmd::kCut},
    {1, command_MenuKey(cmd::kCopy), {}, cmd::kCopy},
    {1, command_MenuKey(cmd::kPaste), {}, cmd::kPaste},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kMove), {}, cmd::kMove},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kHideSelected), {}, cmd::kHideSelected},
    {1, command_MenuKey(cmd::kHideUnselected), {}, cmd::kHideUnselected},
    {1, command_MenuKey(cmd::kUnhideAll), {}, cmd::kUnhideAll},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kSelectType), {}, cmd::kSelectType},
    {1, {}, {}, 0},
    {1, command_MenuKey(cmd::kDelete), {}, cmd::kDelete},
};

constexpr std::array kMenus = {
    MenuTemplate{"MenuMainWindow", kMainMenu},
    MenuTemplate{"MouseMenu", kMouseMenu},
    MenuTemplate{"MouseMenuItem", kMouseMenuItem},
};

constexpr std::array<std::string_view, kMenus.size()> kMenuNames = {
    kMenus[0].name, kMenus[1].name, kMenus[2].name};

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
