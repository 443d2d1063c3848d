// The map renderer: draws a mission page top-down into the MapSurface. Every call redraws
// the whole bitmap: terrain, grid, boundary squares, waypoint paths, items, the selection,
// area rectangles and the drag preview, then hands the pixels to the map pane.
#pragma once

#include <cstdint>
#include <vector>

struct Mission;
struct MissionItem;
struct MissionIndex;
struct MapSurface;
struct ViewState;
struct GestureState;

// ---------------------------------------------------------------------------------------
// Colours (0x00RRGGBB)

constexpr std::uint32_t kColourSelection = 0xF1E800;
constexpr std::uint32_t kColourMarked = 0xCD40FC;  // items whose display mark is set
constexpr std::uint32_t kColourGrid = 0x000000;
constexpr std::uint32_t kColourInnerBoundary = 0x00FF00;
constexpr std::uint32_t kColourOuterBoundary = 0xFF0000;
constexpr std::int32_t kInnerBoundary = 262144;  // half sides of the boundary squares
constexpr std::int32_t kOuterBoundary = 524288;

// The water tint: each byte halved, then this added.
constexpr std::uint32_t kWaterTint = 0x40353F4D;

// Item type drawn as a radius marker (a circle of its wpdistance).
constexpr std::int32_t kRadiusMarkerType = 6006;

// The colour of a waypoint or area colour code 0..16; other codes get code 0's colour.
std::uint32_t render_CodeColour(std::int32_t code);
// Item colours outside the selection: by team (view by side) or by kind (view by type).
// Teams and kinds without a colour of their own are drawn grey.
std::uint32_t render_TeamColour(std::int32_t team);
std::uint32_t render_KindColour(std::int32_t kind);
// The colour an item is drawn in: marked items (mark, from Mission::marks) violet, else by
// view_by.
std::uint32_t render_ItemColour(const MissionItem& item, std::int32_t viewBy, std::uint8_t mark);

// ---------------------------------------------------------------------------------------
// The transform of one frame

struct ScreenPoint {
    std::int64_t x = 0, y = 0;
};

struct RenderFrame {
    std::int32_t width = 0, height = 0;
    std::int32_t hw = 0, hh = 0;        // half width and height (arithmetic shift)
    std::int32_t xmax = -1, ymax = -1;  // clip bounds
    double cx = 0, cy = 0, cz = 0;      // view centre, world units
    double zoom = 0;                    // pixels per world unit
    std::uint32_t* const* rows = nullptr;
    // Room and outlines kept across the items of one frame; may be null.
    struct RenderScratch* scratch = nullptr;
};

// A model mesh's outline as seen from above: its distinct top-down points (x in the high
// half, y in the low half of each entry) and the distinct segments between them, each drawn
// once however many triangle edges lie on it.
struct MeshOutline {
    std::vector<std::uint32_t> points;
    std::vector<std::uint32_t> segments;  // pairs of point indices
};

// What the items of one frame share: room for projected points, the outlines of the meshes
// drawn so far (by their slot in the model cache) and the turns of the angles met so far.
struct RenderScratch {
    std::vector<ScreenPoint> screen;
    std::vector<MeshOutline> outlines;
    std::vector<std::uint8_t> outlineReady;
    std::vector<std::uint64_t> keys;
    std::vector<double> turnCos, turnSin;  // by whole degree
    std::vector<std::uint8_t> turnKnown;
};

// The frame for drawing view into surface. The zoom is held to its allowed range.
RenderFrame render_SetupFrame(const MapSurface& surface, const ViewState& view);

// World point to screen pixel: (hw + trunc(z (x - cx)), hh - trunc(z (y - cy))); north up.
// Points absurdly far off screen are pulled in to a distance that keeps the clipping exact.
ScreenPoint render_Project(const RenderFrame& f, double x, double y);

// Screen segment, both ends included, clipped to the frame; pixels overwritten. A segment
// whose ends fall on the same pixel draws nothing.
void render_DrawScreenLine(const RenderFrame& f, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                           std::uint32_t colour);
// World segment: both ends projected, then drawn as above.
void render_DrawLine(const RenderFrame& f, double x0, double y0, double x1, double y1, std::uint32_t colour);

// ---------------------------------------------------------------------------------------
// Passes

// The detail-texture blend of texel t (blended form) over colour-map pixel m, four byte
// lanes of 16-bit arithmetic.
std::uint32_t render_TextureBlend(std::uint32_t texel, std::uint32_t colour);
// Water tint of the colour map (bytes halved one by one) and of the elevation and edge maps
// (the whole word halved, so low bits fall into the byte below).
inline std::uint32_t render_WaterTintMasked(std::uint32_t p) { return ((p >> 1) & 0x7F7F7F7Fu) + kWaterTint; }
inline std::uint32_t render_WaterTintWhole(std::uint32_t p) { return (p >> 1) + kWaterTint; }

// How the terrain pass uses the processor: 256-bit vectors where the processor has them (the
// default) or 128-bit ones, and how many threads share the rows (0: one per core). Every
// choice gives the same pixels; the tests draw with each.
struct RenderTuning {
    bool wideVectors = true;
    int threads = 0;
};
RenderTuning& render_Tuning();

// The water level the terrain pass compares elevations with: 0 for none.
std::uint32_t render_WaterLevel(const Mission& page, std::uint32_t showFlags);

// Terrain pass: writes every pixel of the frame.
void render_Terrain(const RenderFrame& f, const Mission& page, const ViewState& view);
// Grid of 64 x 64 cells around the centre, aligned to multiples of the grid size.
void render_Grid(const RenderFrame& f, const ViewState& view);
void render_Boundaries(const RenderFrame& f);
// Waypoint paths and area rectangles, as index (built from page) holds them.
void render_Waypoints(const RenderFrame& f, const Mission& page, const MissionIndex& index, const ViewState& view);
void render_AreaTriggers(const RenderFrame& f, const Mission& page, const MissionIndex& index, const ViewState& view);
// A line from each shown unit of a group to the first marker of the path it follows.
void render_Links(const RenderFrame& f, const Mission& page, const MissionIndex& index, const ViewState& view);
// One item's symbol in colour, displaced by (dx, dy) world units.
void render_Item(const RenderFrame& f, const MissionItem& item, std::uint32_t colour, bool cones, double dx = 0,
                 double dy = 0);

// The whole picture of page into surface (no presenting). clipboard supplies the placement
// preview.
void render_Draw(MapSurface& surface, const ViewState& view, const GestureState& gesture, const Mission& page,
                 const Mission& clipboard);

// Render: the page into the process's MapSurface with the current view and gesture, shown in
// the map pane at once, with the insert-mode caption. Nothing happens without a bitmap.
void render_Page(const Mission& page);
