#include "resources/menus.h"

#include <array>

namespace {

// The main window's menu bar: File, Edit, Page, Info.
constexpr MenuItemTemplate kMainMenu[] = {
    {0, "FILE", {}, 0},
    {1, "FILE_CLEAR", {}, 134},
    {1, "FILE_OPEN", {}, 135},
    {1, "FILE_RECENT", {}, 0},
    {2, "FILE_RECENT_NONE", {}, 41060},  // the recent files replace it when the menu is built
    {1, "FILE_SAVE", {}, 136},
    {1, {}, {}, 0},
    {1, "FILE_EXPORT", {}, 207},
    {1, {}, {}, 0},
    {1, "FILE_PRINT", {}, 124},
    {1, {}, "&Metafile", 126},
    {1, {}, {}, 0},
    {1, "FILE_EXIT", {}, 137},
    {0, "EDIT", {}, 0},
    {1, "EDIT_CUT", {}, 160},
    {1, "EDIT_COPY", {}, 107},
    {1, "EDIT_PASTE", {}, 161},
    {1, {}, {}, 0},
    {1, "EDIT_DELETE", {}, 162},
    {1, {}, {}, 0},
    {1, "EDIT_INSERTMODE", {}, 163},
    {1, {}, {}, 0},
    {1, "EDIT_BRIEFING", {}, 40007},
    {1, "EDIT_GENERALINFO", {}, 185},
    {1, "EDIT_GROUPS", {}, 225},
    {1, "EDIT_AREATRIGGERS", {}, 40004},
    {1, "EDIT_WAYPOINTS", {}, 223},
    {1, "EDIT_EVENTS", {}, 224},
    {1, "EDIT_LAYERNAMES", {}, 231},
    {0, "VIEW", {}, 0},
    {1, "VIEW_ZOOMIN", {}, 41050},
    {1, "VIEW_ZOOMOUT", {}, 41051},
    {1, "VIEW_ZOOMFIT", {}, 41052},
    {0, "PAGE", {}, 0},
    {1, "PAGE_1", {}, 165},
    {1, "PAGE_2", {}, 166},
    {0, "INFO", {}, 0},
    {1, "INFO_ABOUTKZ7MED", {}, 40006},
};

// Context menu of empty map space: one pop-up holding the entries.
constexpr MenuItemTemplate kMouseMenu[] = {
    {0, "MOUSE", {}, 0},
    {1, "EDIT_INSERTMODE", {}, 163},
    {1, {}, {}, 0},
    {1, "EDIT_PASTE", {}, 161},
    {1, {}, {}, 0},
    {1, "MOUSE_UNHIDEALL", {}, 186},
    {1, {}, {}, 0},
    {1, "MOUSE_VIEWBYTYPE", {}, 218},
    {1, "MOUSE_VIEWBYSIDE", {}, 219},
    {1, {}, {}, 0},
    {1, "MOUSE_EXITPROGRAM", {}, 137},
};

// Context menu of an item (it acts on the selection).
constexpr MenuItemTemplate kMouseMenuItem[] = {
    {0, "MOUSE", {}, 0},
    {1, "EDIT_CUT", {}, 160},
    {1, "EDIT_COPY", {}, 107},
    {1, "EDIT_PASTE", {}, 161},
    {1, {}, {}, 0},
    {1, "MOUSE_MOVE", {}, 184},
    {1, {}, {}, 0},
    {1, "MOUSE_HIDESELECTED", {}, 187},
    {1, "MOUSE_HIDEUNSELECTED", {}, 188},
    {1, "MOUSE_UNHIDEALL", {}, 186},
    {1, {}, {}, 0},
    {1, "MOUSE_SELECTTYPE", {}, 226},
    {1, {}, {}, 0},
    {1, "EDIT_DELETE", {}, 162},
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
