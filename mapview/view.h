// What the map view shows and where it draws: the view settings (ViewState) and the
// off-screen picture of the map pane (MapSurface). One of each for the process.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The view settings, in this order. Start-up resets them, then the button bar sets the show
// flags, the grid size and snap.
struct ViewState {
    std::uint32_t show_flags = 0;   // what the map shows (kind bits, team bits, extras)
    float zoom = 0.0f;              // map pixels per world unit, 0.0001 .. 1000
    std::int32_t center_x = 0;      // world position of the view centre
    std::int32_t center_y = 0;
    std::int32_t center_z = 0;      // kept with the centre, not used by the projection
    std::int32_t map_mode = 0;      // 0 colour map, 1 elevation map, 2 edge map
    std::int32_t insert_mode = 0;   // 0/1
    std::int32_t view_by = 0;       // 0 by type, 1 by side
    std::int32_t grid_shown = 0;    // 0/1
    std::int32_t snap_to_grid = 0;  // 0/1
    std::int32_t grid_size = 0;     // grid spacing in 1/256 metre
    std::int32_t page = 0;          // current page, 0 or 1
};

constexpr std::uint32_t kShowFlagsDefault = 0x001F03FE;
constexpr float kZoomMin = 0.0001f;
constexpr float kZoomMax = 1000.0f;
constexpr std::int32_t kGridSizeDefault = 131072;   // 512 m
constexpr std::int32_t kGridSizeMax = 1048576;      // Grid+ doubles while below this

ViewState& view_State();
// All zero, then zoom 0.001, grid shown, snap on and grid size 32 (start-up, before the
// button bar sets its own values).
void view_Reset();

// The map pane's picture: 32-bit 0x00RRGGBB pixels, top row first, a row table for the
// renderer. Wider than the pane by 1 to 16 pixels (its width is a multiple of 16); at most
// kSurfaceMaxRows rows, so a taller pane shows the surface over its top part.
constexpr int kSurfaceMaxRows = 1024;

struct MapSurface {
    std::vector<std::uint32_t> bits;
    int width = 0;
    int height = 0;
    int stride = 0;          // pixels from one row to the next (the width)
    int bits_per_pixel = 32;
    std::array<std::uint32_t*, kSurfaceMaxRows> rows{};  // rows[y] = first pixel of row y
    const std::uint32_t* rows_for = nullptr;             // the bits the row table was built over
    int rows_width = 0, rows_height = 0, rows_stride = 0;

    bool valid() const { return width > 0 && height > 0 && !bits.empty(); }
};

MapSurface& view_Surface();

// The surface width for a pane width: the pane's width plus 16, down to a multiple of 16.
int surface_WidthFor(int paneWidth);
// The surface height for a pane height: the pane's, at most kSurfaceMaxRows.
int surface_HeightFor(int paneHeight);
// Sizes the surface for a pane (its pixels are cleared to black when the size changes).
// false when the pane has no area or the memory cannot be had; the surface is then empty.
bool surface_Create(MapSurface& s, int paneWidth, int paneHeight);
// Rebuilds the row table, only when the width, height, stride or pixel memory changed.
void surface_BuildRows(MapSurface& s);
