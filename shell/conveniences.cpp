#include "shell/conveniences.h"

#include "core/text.h"
#include "mapview/infopane.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mapview/zoom.h"
#include "mission/mission.h"
#include "platform/layout.h"
#include "shell/actions.h"
#include "shell/history.h"
#include "shell/recent.h"
#include "shell/shell.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

constexpr const char* kConv = "Conveniences";

// The recent files as the menu shows them; entry i opens shown[i].
std::vector<std::string> g_shown;
// The zoom whose scale the centre pane shows.
float g_scaleZoom = -1.0f;

Mission& page() { return mission_CurrentPage(); }

}  // namespace

void conv_ClearRecent() {
    recent_Store({});
    shell_BuildMainMenu();
}

void conv_OpenRecent(int id) {
    const std::size_t i = std::size_t(id - cmd::kRecentFirst);
    if (i >= g_shown.size()) return;
    const std::string path = g_shown[i];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        ui_MessageBox(text_Printf(kConv, "RECENT_MISSING", {ui_PathText(path)}), text_Get(kConv, "RECENT_CAPTION"),
                      MsgIcon::Warning, MsgButtons::Ok);
        std::vector<std::string> list = recent_Load();
        recent_Remove(list, path);
        recent_Store(list);
        shell_BuildMainMenu();
        return;
    }
    if (history_AskAboutPage(mission_Pages().current, "OPEN"))
        shell_OpenMissionPath(path);  // refreshes the page, the view and the list
}

namespace {

// '&' marks a mnemonic in menu texts: a path shows its own as they are.
std::string menuEscaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

std::vector<MenuEntry> recentEntries() {
    g_shown = recent_Load();
    std::vector<MenuEntry> out;
    for (std::size_t i = 0; i < g_shown.size(); ++i) {
        MenuEntry e;
        e.id = cmd::kRecentFirst + int(i);
        e.text = text_Printf(kConv, "RECENT_ENTRY", {int(i + 1), ui_PathText(menuEscaped(g_shown[i]))});
        out.push_back(std::move(e));
    }
    if (out.empty()) {
        MenuEntry none;
        none.key = "FILE_RECENT_NONE";
        none.text = text_Get("Menu Text", "FILE_RECENT_NONE");
        none.enabled = false;
        out.push_back(std::move(none));
        return out;
    }
    out.push_back(MenuEntry{});  // separator
    MenuEntry clear;
    clear.id = cmd::kRecentClear;
    clear.key = "FILE_RECENT_CLEAR";
    clear.text = text_Get("Menu Text", "FILE_RECENT_CLEAR");
    out.push_back(std::move(clear));
    return out;
}

}  // namespace

void conv_FillRecent(std::vector<MenuEntry>& entries) {
    for (MenuEntry& e : entries) {
        if (e.key == "FILE_RECENT")
            e.children = recentEntries();
        else
            conv_FillRecent(e.children);
    }
}

bool conv_ZoomBy(double factor) {
    const MapSurface& s = view_Surface();
    const std::int32_t w = mapsurface_ViewWidth(s), h = mapsurface_ViewHeight(s);
    return zoom_About(view_State(), w, h, w >> 1, h >> 1, factor);
}

void conv_Zoom(double factor) {
    if (!conv_ZoomBy(factor)) return;
    shell_RepaintCentre();
    shell_Render();
}

void conv_ShowMission() {
    conv_ZoomToMission();
    shell_RepaintCentre();
    shell_Render();
}

void conv_ZoomToMission() {
    const MapSurface& s = view_Surface();
    PaneSize pane{s.pane_width, s.pane_height};
    if (pane.width <= 0 || pane.height <= 0) pane = platform().mapSize();
    ViewState& v = view_State();
    if (!zoom_FitItems(page(), pane.width, pane.height, v))
        zoom_FitRect(-kInnerBoundary, -kInnerBoundary, kInnerBoundary, kInnerBoundary, pane.width, pane.height, v);
}

std::vector<BarControl> conv_DecorateBar(std::vector<BarControl> bar, CharMetrics m) {
    const int cw = m.cw;
    for (BarControl& c : bar) {
        switch (c.id) {
        // The map modes take the room up to the page buttons, so each caption fits.
        case 1001: c.x = cw, c.w = 11 * cw / 2, c.tip = text_Get(kConv, "TIP_COLOUR_MAP"); break;
        case 1002: c.x = 13 * cw / 2, c.w = 11 * cw / 2, c.tip = text_Get(kConv, "TIP_ELEVATION_MAP"); break;
        case 1003: c.x = 12 * cw, c.w = 11 * cw / 2, c.tip = text_Get(kConv, "TIP_EDGE_MAP"); break;
        case 1034: c.tip = text_Get(kConv, "TIP_PAGE_1"); break;
        case 1035: c.tip = text_Get(kConv, "TIP_PAGE_2"); break;
        // Right of the centre pane, which is wide enough for the position and the scale.
        // Right of the centre pane, which is wide enough for the position and the scale; the
        // row ends within 100 character widths (800 pixels at the common 8).
        case 1043: c.x = 76 * cw, c.w = 10 * cw, c.tip = text_Get(kConv, "TIP_LAYERS"); break;
        case 1010: c.x = 87 * cw, c.w = 25 * cw / 2, c.tip = text_Get(kConv, "TIP_UNSELECT_ALL"); break;
        case 1040: c.tip = text_Get(kConv, "TIP_GRID_SHOWN"); break;
        case 1013: c.tip = text_Get(kConv, "TIP_GRID_SMALLER"); break;
        case 1014: c.tip = text_Get(kConv, "TIP_GRID_BIGGER"); break;
        case 1015: c.tip = text_Get(kConv, "TIP_SNAP"); break;
        default:
            if (c.kind == BarKind::CheckBox) c.tip = text_Printf(kConv, "TIP_SHOW", {c.text});
            break;
        }
    }
    return bar;
}

std::string conv_PageTitle(const std::string& title) {
    return text_Printf(kConv, "TITLE_PAGE", {view_State().page + 1, title});
}

std::vector<PaneLine> conv_CentreLines(CharMetrics m) {
    const ViewState& v = view_State();
    std::vector<PaneLine> lines = infopane_CentreLines(v);
    // Right-aligned in the pane, unless the position reaches that far.
    g_scaleZoom = v.zoom;
    std::string scale = zoom_ScaleText(v.zoom);
    const int after = lines.empty() ? 5 : lines.back().x + int(lines.back().text.size() + 2) * m.cw;
    const int right = layout_MainPanes(0, 0, m).centre.w - 5 - int(scale.size() + 1) * m.cw;
    // A scale that would run past the pane's edge is left to the status bar, which always
    // shows it, rather than shown cut.
    if (after <= right) lines.push_back({right, 5, std::move(scale)});
    return lines;
}

void conv_ScaleFollowsZoom() {
    if (view_State().zoom != g_scaleZoom) shell_RepaintCentre();
}

void conv_MissionOpened(const std::string& path, bool ok) {
    // The menu shows the recent files: it is built again only when their list changed.
    if (ok && recent_Note(path)) shell_BuildMainMenu();
    conv_ZoomToMission();
    shell_RepaintCentre();
}

void conv_MissionSaved(const std::string& path) {
    if (recent_Note(path)) shell_BuildMainMenu();
}

void conv_DropFiles(const std::vector<std::string>& paths) {
    for (const std::string& p : paths) {
        std::string ext = std::filesystem::path(p).extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        std::error_code ec;
        if (ext != ".mis" || !std::filesystem::is_regular_file(p, ec)) continue;
        // Opened as File > Open does, asking first about a modified page.
        if (history_AskAboutPage(mission_Pages().current, "OPEN")) shell_OpenMissionPath(p);
        return;
    }
    if (!paths.empty())
        ui_MessageBox(text_Printf(kConv, "DROP_NOT_MISSION", {ui_PathText(paths.front())}),
                      text_Get(kConv, "DROP_CAPTION"), MsgIcon::Information, MsgButtons::Ok);
}
