#include "resources/menus.h"
#include "resources/shell_dialogs.h"
#include "resources/templates.h"

#include "shell/actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <set>
#include <string>

namespace {

// Checks that hold for every registered dialog: a platform builds windows from these
// tables and dialog procedures address controls by these ids, so a duplicate id, a control
// outside its dialog or a radio group without a start is a fault someone will meet.
TEST(DialogTemplates, EveryTemplateIsConsistent) {
    ASSERT_FALSE(resources_Dialogs().empty());
    std::set<std::string> names;
    for (const DialogTemplate* d : resources_Dialogs()) {
        SCOPED_TRACE(std::string(d->name));
        std::string upper(d->name);
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(names.insert(upper).second) << "two templates named alike";
        EXPECT_FALSE(d->caption.empty());
        EXPECT_GT(d->width, 0);
        EXPECT_GT(d->height, 0);
        EXPECT_GT(d->fontPointSize, 0);
        EXPECT_EQ(resources_FindDialog(d->name), d);

        std::set<int> ids;
        bool prevRadio = false;
        for (const ControlTemplate& c : d->controls) {
            SCOPED_TRACE("control " + std::to_string(c.id));
            if (c.id != kIdStatic) {
                EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id";
            }
            const bool dropDown = c.kind == ControlKind::DropDownList || c.kind == ControlKind::ComboBox;
            int h = dropDown ? std::min(c.h, kDropDownClosedHeight) : c.h;
            EXPECT_GE(c.x, 0);
            EXPECT_GE(c.y, 0);
            EXPECT_GT(c.w, 0);
            EXPECT_GT(h, 0);
            EXPECT_LE(c.x + c.w, d->width) << "control sticks out on the right";
            EXPECT_LE(c.y + h, d->height) << "control sticks out at the bottom";
            // A radio button that follows no radio button must start its group, or it
            // would join whatever group came before.
            if (c.kind == ControlKind::RadioButton && !prevRadio) {
                EXPECT_TRUE(c.style & kCtlGroup);
            }
            prevRadio = c.kind == ControlKind::RadioButton;
            if (c.style & (kCtlMultiSelect | kCtlExtendedSelect | kCtlSorted)) {
                EXPECT_TRUE(c.kind == ControlKind::ListBox || c.kind == ControlKind::DropDownList);
            }
            if (c.style & (kCtlMultiLine | kCtlReadOnly | kCtlNumber)) {
                EXPECT_EQ(c.kind, ControlKind::Edit);
            }
            // The buttons Enter and Escape stand for carry the standard ids.
            if (c.kind == ControlKind::DefaultButton) {
                EXPECT_EQ(c.id, kIdOk);
            }
        }
        EXPECT_EQ(d->control(kIdStatic), nullptr);
    }
}

TEST(DialogTemplates, LookupIgnoresCaseAndRejectsUnknownNames) {
    EXPECT_EQ(resources_FindDialog("getcenter"), &kDlgGetCenter);
    EXPECT_EQ(resources_FindDialog("About_KzMed"), &kDlgAbout);
    EXPECT_EQ(resources_FindDialog("GETCENTE"), nullptr);
    EXPECT_EQ(resources_FindDialog("GETCENTERX"), nullptr);
    EXPECT_EQ(resources_FindDialog(""), nullptr);
}

TEST(DialogTemplates, ShellDialogsCarryTheIdsTheirProceduresUse) {
    // Insert Item: six radio buttons forming one group, the check box outside it.
    const DialogTemplate* ins = resources_FindDialog("INSERTITEM");
    ASSERT_NE(ins, nullptr);
    for (int id = dlgid::kInsertDecorations; id <= dlgid::kInsertMarkers; ++id) {
        const ControlTemplate* c = ins->control(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_EQ(c->kind, ControlKind::RadioButton);
        EXPECT_EQ((c->style & kCtlGroup) != 0, id == dlgid::kInsertDecorations);
    }
    ASSERT_NE(ins->control(dlgid::kInsertRandomFacing), nullptr);
    EXPECT_TRUE(ins->control(dlgid::kInsertRandomFacing)->style & kCtlGroup);
    EXPECT_TRUE(ins->control(dlgid::kInsertList)->style & kCtlSorted);

    // Visible Layers: sixteen check boxes in two columns of eight.
    const DialogTemplate* vis = resources_FindDialog("VISIBLELAYERS");
    ASSERT_NE(vis, nullptr);
    for (int n = 0; n < 16; ++n) {
        const ControlTemplate* c = vis->control(dlgid::kLayerCheckFirst + n);
        ASSERT_NE(c, nullptr) << n;
        EXPECT_EQ(c->kind, ControlKind::CheckBox);
        EXPECT_EQ(c->x, n < 8 ? 15 : 170);
        EXPECT_EQ(c->y, 20 + 15 * (n % 8));
    }
    EXPECT_EQ(vis->control(dlgid::kDefaultLayerList)->kind, ControlKind::DropDownList);

    EXPECT_TRUE(resources_FindDialog("EDITBRIEFING")->control(dlgid::kBriefingEdit)->style & kCtlMultiLine);
    for (const char* name : {"GETCENTER", "INSERTITEM", "EDITBRIEFING"}) {
        const DialogTemplate* d = resources_FindDialog(name);
        ASSERT_NE(d, nullptr);
        EXPECT_NE(d->control(kIdOk), nullptr) << name;
        EXPECT_NE(d->control(kIdCancel), nullptr) << name;
    }
}

// Menus: ids unique within each menu, submenus carry no id, separators no key, entries without
// a text of their own have a row that words them.
TEST(MenuTemplates, EveryMenuIsConsistent) {
    ASSERT_EQ(resources_MenuNames().size(), 3u);
    for (std::string_view name : resources_MenuNames()) {
        SCOPED_TRACE(std::string(name));
        std::vector<MenuEntry> menu = resources_Menu(name);
        ASSERT_FALSE(menu.empty());
        std::vector<int> ids = resources_MenuIds(menu);
        std::set<int> unique(ids.begin(), ids.end());
        EXPECT_EQ(unique.size(), ids.size()) << "duplicate command id";
        EXPECT_EQ(unique.count(0), 0u);
        std::function<void(const std::vector<MenuEntry>&)> walk = [&](const std::vector<MenuEntry>& level) {
            for (const MenuEntry& e : level) {
                if (!e.children.empty()) {
                    EXPECT_EQ(e.id, 0) << e.text;
                    EXPECT_FALSE(e.key.empty());
                    walk(e.children);
                } else if (e.text.empty() && e.id == 0) {
                    EXPECT_TRUE(e.key.empty());
                } else if (e.text.empty()) {
                    // Worded by its row in the action table.
                    ASSERT_NE(actions_Find(e.id), nullptr) << e.id;
                    EXPECT_FALSE(actions_Find(e.id)->menuKey.empty()) << e.id;
                } else {
                    EXPECT_NE(e.id, 0) << e.text;
                }
            }
        };
        walk(menu);
    }
    EXPECT_TRUE(resources_Menu("NoSuchMenu").empty());
    EXPECT_FALSE(resources_Menu("mousemenu").empty());
}

TEST(MenuTemplates, MainMenuBarIsFileEditViewPageInfo) {
    std::vector<MenuEntry> bar = resources_Menu("MenuMainWindow");
    ASSERT_EQ(bar.size(), 5u);
    EXPECT_EQ(bar[0].key, "FILE");
    EXPECT_EQ(bar[1].key, "EDIT");
    EXPECT_EQ(bar[2].key, "VIEW");
    EXPECT_EQ(bar[3].key, "PAGE");
    EXPECT_EQ(bar[4].key, "INFO");
    // The Metafile entry, which did nothing, is gone.
    const std::vector<MenuEntry>& file = bar[0].children;
    EXPECT_EQ(std::find_if(file.begin(), file.end(), [](const MenuEntry& e) { return e.id == 126; }), file.end());
    EXPECT_EQ(file.back().id, 137);
    EXPECT_EQ(bar[4].children.size(), 1u);
}

TEST(MenuTemplates, ContextMenusOfferOnlyCommandsTheMapPaneForwards) {
    const std::set<int> forwarded = {107, 137, 160, 161, 162, 163, 170, 184, 186, 187, 188, 218, 219, 226};
    for (const char* name : {"MouseMenu", "MouseMenuItem"}) {
        std::vector<MenuEntry> menu = resources_Menu(name);
        ASSERT_EQ(menu.size(), 1u) << name;  // one pop-up holding the entries
        ASSERT_FALSE(menu[0].children.empty());
        for (int id : resources_MenuIds(menu)) EXPECT_TRUE(forwarded.count(id)) << name << " " << id;
    }
    EXPECT_EQ(resources_MenuIds(resources_Menu("MouseMenuItem")),
              (std::vector<int>{170, 160, 107, 161, 184, 187, 188, 186, 226, 162}));
}

TEST(MenuTemplates, BuilderNestsByDepthAndToleratesJumps) {
    constexpr MenuItemTemplate items[] = {
        {0, "A", {}, 0}, {1, "A1", {}, 11}, {3, "deep", {}, 12}, {1, {}, {}, 0}, {1, "A2", {}, 13}, {0, "B", {}, 20},
    };
    std::vector<MenuEntry> m = menu_Build(items);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].id, 0);
    ASSERT_EQ(m[0].children.size(), 3u);
    // "A1" has a deeper follower, so it becomes a submenu holding it.
    EXPECT_EQ(m[0].children[0].id, 0);
    ASSERT_EQ(m[0].children[0].children.size(), 1u);
    EXPECT_EQ(m[0].children[0].children[0].id, 12);
    EXPECT_TRUE(m[0].children[1].text.empty());
    EXPECT_EQ(m[1].id, 20);
    EXPECT_TRUE(menu_Build({}).empty());
}

}  // namespace
