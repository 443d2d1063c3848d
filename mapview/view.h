// The map view's shared state: what the map shows and where it looks (ViewState), and the
// off-screen bitmap the renderer draws into (MapSurface). One of each for the process; tests
// and the command-line tool reset them.
#pragma once

#include "core/mem.h"

#include <cstdint>
#include <vector>

// ---------------------------------------------------------------------------------------
// Show flags (ViewState::show_flags). Bit (1 << kind) shows the items of that kind and bit
// (1 << (team + 16)) those of that team.

constexpr std::uint32_t kShowVehicles = 0x2;
constexpr std::uint32_t kShowDecorations = 0x4;
constexpr std::uint32_t kShowPeople = 0x8;
constexpr std::uint32_t kShowMarkers = 0x10;  // also the waypoint paths
constexpr std::uint32_t kShowBuildings = 0x20;
constexpr std::uint32_t kShowObjects = 0x40;
constexpr std::uint32_t kShowCones = 0x80;   // field-of-view cones of people
constexpr std::uint32_t kShowAreas = 0x100;  // area rectangles; also effects (kind 8)
constexpr std::uint32_t kShowWater = 0x200;  // water tint
constexpr std::uint32_t kShowTeamNeutral = 0x10000;
constexpr std::uint32_t kShowTeamGood = 0x20000;
constexpr std::uint32_t kShowTeamEvil = 0x40000;
constexpr std::uint32_t kShowTeamYellow = 0x80000;
constexpr std::uint32_t kShowTeamViolet = 0x100000;
constexpr std::uint32_t kShowDetail = 0x200000;  // detail texturing of the colour map

// What the button bar switches on when the main window is created.
constexpr std::uint32_t kShowFlagsStartup = 0x001F03FE;

// ViewState::map_mode
constexpr std::int32_t kMapModeColour = 0;
constexpr std::int32_t kMapModeElevation = 1;
constexpr std::int32_t kMapModeEdges = 2;

// ViewState::view_by
constexpr std::int32_t kViewByType = 0;
constexpr std::int32_t kViewBySide = 1;

constexpr float kZoomMin = 0.0001f;
constexpr float kZoomMax = 1000.0f;
constexpr float kZoomStartup = 0.001f;
constexpr std::int32_t kGridSizeStartup = 131072;  // 512 m

struct ViewState {
    std::uint32_t show_flags = 0;
    float zoom = 0.0f;          // map pixels per world unit
    std::int32_t center_x = 0;  // world point at the centre of the map
    std::int32_t center_y = 0;
    std::int32_t center_z = 0;  // kept with the centre; the projection ignores it
    std::int32_t map_mode = kMapModeColour;
    std::int32_t insert_mode = 0;
    std::int32_t view_by = kViewByType;
    std::int32_t grid_shown = 0;
    std::int32_t snap_to_grid = 0;
    std::int32_t grid_size = 0;    // 1/256 metre
    std::int32_t page = 0;         // current page, 0 or 1
    std::int32_t links_shown = 0;  // View > Show Links: units joined to their paths' starts
};

ViewState& view_State();
// The reset start-up performs before any window exists: everything 0, zoom 0.001, grid shown,
// snap on, grid size 32.
void view_Reset();
// What creating the button bar then sets: the start-up show flags, grid size 512 m, snap off,
// colour map.
void view_ApplyButtonBarDefaults(ViewState& view);
// The view as the editor shows it once started: view_Reset followed by the button bar.
ViewState view_StartupState();

// The visibility test of the current view: whether the map shows item index of page. The
// one test the renderer, hit testing, the panes and the selection operations share.
struct Mission;
bool view_ItemVisible(const Mission& page, std::int32_t index);

// ---------------------------------------------------------------------------------------
// MapSurface: 32-bit pixels 0x00RRGGBB, rows top-down, addressed through the row table.

// The most rows a surface has; a taller pane shows the bitmap's rows and nothing below.
constexpr int kMapSurfaceMaxRows = 4096;
// Widths are rounded to this many pixels (and so are 1 to 16 pixels wider than the pane).
constexpr int kMapSurfaceWidthStep = 16;
// The device pixel ratios a surface is drawn at.
constexpr float kMapScaleMin = 0.25f;
constexpr float kMapScaleMax = 8.0f;

struct MapSurface {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;          // bytes from one row to the next
    std::int32_t bits_per_pixel = 0;  // 32 once created
    std::int32_t pane_width = 0;      // the pane the surface was made for
    std::int32_t pane_height = 0;
    // Device pixels per pane pixel, and the bitmap's size in pane pixels (0: the bitmap's
    // own). The renderer draws the view at scale; hit testing and gestures work in pane pixels.
    float scale = 1.0f;
    std::int32_t view_width = 0;
    std::int32_t view_height = 0;
    LargeArray<std::uint32_t> bits;  // width * height pixels
    // One pointer per row into bits; rebuilt only when the geometry or the bits move.
    std::vector<std::uint32_t*> rows;
};

MapSurface& view_Surface();
// Forgets the bitmap: afterwards nothing can be drawn until a surface is created again.
void view_ResetSurface();

// The bitmap width for a pane width: the width plus 16, rounded down to a multiple of 16.
std::int32_t mapsurface_WidthForPane(std::int32_t paneWidth);
// (Re)creates the surface for a pane of that client size: width by the rule above, height the
// pane's (at most kMapSurfaceMaxRows), pixels cleared, row table built. False, with no bitmap,
// when the pane is empty or the memory cannot be had. At a scale other than 1 the bitmap has
// that many device pixels per pane pixel (rounded up, rows still at most kMapSurfaceMaxRows);
// a scale outside kMapScaleMin .. kMapScaleMax, or not a number, counts as 1.
bool mapsurface_Create(MapSurface& surface, std::int32_t paneWidth, std::int32_t paneHeight, float scale = 1.0f);
// Rebuilds the row table when width, height, stride or the bits have moved since it was built.
void mapsurface_BuildRows(MapSurface& surface);
// The bitmap's size in pane pixels: what hit testing and the gestures measure against.
inline std::int32_t mapsurface_ViewWidth(const MapSurface& s) { return s.view_width > 0 ? s.view_width : s.width; }
inline std::int32_t mapsurface_ViewHeight(const MapSurface& s) { return s.view_height > 0 ? s.view_height : s.height; }

// Whether there is a bitmap to draw into.
inline bool mapsurface_Ready(const MapSurface& s) {
    return s.width > 0 && s.height > 0 && s.rows.size() == std::size_t(s.height) &&
           s.bits.size() == std::size_t(s.width) * std::size_t(s.height);
}
