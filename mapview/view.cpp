#include "mapview/view.h"

#include "mission/mission.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

struct ViewGlobals {
    ViewState view;
    MapSurface surface;
};

ViewGlobals& globals() {
    static ViewGlobals g;
    return g;
}

}  // namespace

ViewState& view_State() { return globals().view; }

void view_Reset() {
    ViewState& v = view_State();
    v = ViewState{};
    v.zoom = kZoomStartup;
    v.grid_shown = 1;
    v.snap_to_grid = 1;
    v.grid_size = 32;
}

void view_ApplyButtonBarDefaults(ViewState& view) {
    view.show_flags = kShowFlagsStartup;
    view.grid_size = kGridSizeStartup;
    view.snap_to_grid = 0;
    view.map_mode = kMapModeColour;
}

ViewState view_StartupState() {
    ViewState saved = view_State();
    view_Reset();
    ViewState v = view_State();
    view_State() = saved;
    view_ApplyButtonBarDefaults(v);
    return v;
}

bool view_ItemVisible(const Mission& page, std::int32_t index) {
    return mission_ItemShown(page, index, view_State().show_flags);
}

MapSurface& view_Surface() { return globals().surface; }

void view_ResetSurface() { view_Surface() = MapSurface{}; }

std::int32_t mapsurface_WidthForPane(std::int32_t paneWidth) {
    if (paneWidth < 0) paneWidth = 0;
    // Widths this large cannot be allocated anyway; keep the sum from overflowing.
    paneWidth = std::min(paneWidth, std::int32_t(1) << 20);
    return (paneWidth + kMapSurfaceWidthStep) & ~(kMapSurfaceWidthStep - 1);
}

bool mapsurface_Create(MapSurface& surface, std::int32_t paneWidth, std::int32_t paneHeight, float scale) {
    surface = MapSurface{};
    if (paneWidth <= 0 || paneHeight <= 0) return false;
    if (!(scale >= kMapScaleMin && scale <= kMapScaleMax)) scale = 1.0f;
    const std::int32_t viewWidth = mapsurface_WidthForPane(paneWidth);
    const std::int32_t viewHeight = std::min(paneHeight, kMapSurfaceMaxRows);
    std::int32_t width = viewWidth, height = viewHeight;
    if (scale != 1.0f) {
        width = std::int32_t(std::ceil(double(viewWidth) * scale));
        height = std::min(std::int32_t(std::ceil(double(viewHeight) * scale)), kMapSurfaceMaxRows);
    }
    try {
        surface.bits.assignZero(std::size_t(width) * std::size_t(height));
    } catch (const std::bad_alloc&) {
        surface = MapSurface{};
        return false;
    }
    surface.width = width;
    surface.height = height;
    surface.stride = width * 4;
    surface.bits_per_pixel = 32;
    surface.pane_width = paneWidth;
    surface.pane_height = paneHeight;
    surface.scale = scale;
    surface.view_width = viewWidth;
    surface.view_height = viewHeight;
    mapsurface_BuildRows(surface);
    return true;
}

void mapsurface_BuildRows(MapSurface& s) {
    const std::size_t h = s.height > 0 ? std::size_t(s.height) : 0;
    const std::size_t stridePixels = s.stride > 0 ? std::size_t(s.stride) / 4 : 0;
    const bool fits = stridePixels >= std::size_t(std::max(s.width, 0)) &&
                      (h == 0 || s.bits.size() >= (h - 1) * stridePixels + std::size_t(s.width));
    if (!fits || h == 0) {
        s.rows.clear();
        return;
    }
    const bool current = s.rows.size() == h && s.rows[0] == s.bits.data() &&
                         (h < 2 || std::size_t(s.rows[1] - s.rows[0]) == stridePixels);
    if (current) return;
    s.rows.resize(h);
    for (std::size_t y = 0; y < h; ++y) s.rows[y] = s.bits.data() + y * stridePixels;
}
