// The editor's everyday conveniences beside the classic keys and buttons: zoom in, out and to
// the whole mission (View menu, main keyboard + - Home, the mouse wheel), the scale in the
// centre pane, the active page shown in the Page menu and the title, Cut/Copy/Delete/Paste
// enabled only when they can act, tooltips on the button bar, File > Recent Files and
// missions dropped on the window.
//
// Each command is one row of conv_Commands(): id, menu text key, shortcut and what it
// refreshes, with its handler.
#pragma once

#include "platform/command_table.h"
#include "platform/ui.h"

#include <string>
#include <vector>


// What a command brings up to date after its handler.
enum ConvRefresh : unsigned {
    kConvRefreshNone = 0,
    kConvRefreshRender = 1,   // render the page now
    kConvRefreshCentre = 2,   // the centre pane (position and scale)
    kConvRefreshMenu = 4,     // the main menu is rebuilt (the recent files changed)
};

struct ConvCommand {
    int id;
    const char* menuKey;   // "Menu Text" key; nullptr for entries worded at run time
    const char* shortcut;  // key sequence bound in the menu; nullptr: none
    unsigned refresh;      // ConvRefresh bits
    bool (*run)(int id);   // false: nothing changed, nothing is refreshed
};
// The command table of the conveniences.
const std::vector<ConvCommand>& conv_Commands();

// Runs a command of the table (and its refresh). false when id is not one of them.
bool conv_Command(int id);
// The keys: + and - zoom about the centre, Home zooms to the mission. false for other keys.
bool conv_Key(Key key);

// Zoom about the centre of the pane by factor; true when the zoom changed.
bool conv_ZoomBy(double factor);
// Zooms to show every item of the current page (an empty page: the inner boundary square).
void conv_ZoomToMission();

// The menu bar as start-up built it, with the shortcuts of the table and the recent files
// filled in.
void conv_PrepareMenu(std::vector<MenuEntry>& menu);
// Rebuilds the main menu after the recent files changed, with its marks and states.
void conv_RebuildMenu();
// Whether a command can act now: Cut, Copy and Delete need a selection, Paste a filled
// clipboard. Other commands are always enabled.
bool conv_Enabled(int id);
// Sets the enabled state of entries (the context menus as they open).
void conv_ApplyMenuState(std::vector<MenuEntry>& entries);
// Brings the main menu's enabled states and the Page marks up to date.
void conv_RefreshMenuState();

// The button bar with its tooltips, and its top row laid out so every caption fits.
std::vector<BarControl> conv_DecorateBar(std::vector<BarControl> bar, CharMetrics m);
// The window title for the current page: the page named in front of the classic title.
std::string conv_PageTitle(const std::string& title);
// The centre pane: the centre, then the scale.
std::vector<PaneLine> conv_CentreLines(CharMetrics m);
// After a render: the centre pane again when the zoom differs from the scale it shows (the
// classic zoom keys and the zoom drag do not repaint it themselves).
void conv_ScaleFollowsZoom();

// A mission was read from path into the current page (ok: the read succeeded): it joins the
// recent files and the view zooms to its items.
void conv_MissionOpened(const std::string& path, bool ok);
// A mission was saved under path.
void conv_MissionSaved(const std::string& path);
// Files dropped on the main window: the first mission metafile opens into the current page.
void conv_DropFiles(const std::vector<std::string>& paths);
