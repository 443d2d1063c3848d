// The menus as flat constant tables; resources_Menu turns one into a MenuEntry tree.
#pragma once

#include "platform/ui.h"

#include <span>
#include <string_view>
#include <vector>

// One line of a flat menu table. An entry followed by deeper entries is a submenu; an
// entry with neither key nor text is a separator.
struct MenuItemTemplate {
    int depth = 0;
    std::string_view key;   // string-table key (section "Menu Text")
    std::string_view text;  // fixed text, for entries the string table does not name
    int id = 0;
};

struct MenuTemplate {
    std::string_view name;
    std::span<const MenuItemTemplate> items;
};

std::span<const MenuTemplate> menuTemplates();
std::span<const std::string_view> menuNames();

// Builds the tree; a depth jump of more than one level is taken as one level.
std::vector<MenuEntry> menu_Build(std::span<const MenuItemTemplate> items);
