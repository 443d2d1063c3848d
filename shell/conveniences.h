// The editor's everyday conveniences beside the classic keys and buttons: zoom in, out and to
// the whole mission (View menu, main keyboard + - Home, the mouse wheel), the scale in the
// centre pane, the active page shown in the title, tooltips on the button bar, File > Recent
// Files and missions dropped on the window. Their rows are in the action table
// (shell/actions.cpp).
#pragma once

#include "platform/ui.h"

#include <string>
#include <vector>

// File > Recent Files: entry id (cmd::kRecentFirst + i) opens the i-th file shown, asking
// about a modified page first; a file that is gone leaves the list with a word.
void conv_OpenRecent(int id);
// File > Recent Files > Clear.
void conv_ClearRecent();

// Zoom about the centre of the pane by factor; true when the zoom changed.
bool conv_ZoomBy(double factor);
// View > Zoom In and Zoom Out: zoom by factor, and when that changed the zoom, show it.
void conv_Zoom(double factor);
// Zooms to show every item of the current page (an empty page: the inner boundary square).
void conv_ZoomToMission();
// View > Zoom to Mission: the same, shown.
void conv_ShowMission();

// The recent files as entries of File > Recent Files (the menu's FILE_RECENT submenu).
void conv_FillRecent(std::vector<MenuEntry>& menu);

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
