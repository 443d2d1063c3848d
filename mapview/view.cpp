#include "mapview/view.h"

#include <cstddef>
#include <new>

using std::size_t;

ViewState& view_State() {
    static ViewState state;
    return state;
}

void view_Reset() {
    ViewState& v = view_State();
    v = ViewState{};
    v.zoom = 0.001f;
    v.grid_shown = 1;
    v.snap_to_grid = 1;
    v.grid_size = 32;
}

MapSurface& view_Surface() {
    static MapSurface surface;
    return surface;
}

int surface_WidthFor(int paneWidth) { return paneWidth <= 0 ? 0 : (paneWidth + 16) / 16 * 16; }

int surface_HeightFor(int paneHeight) {
    if (paneHeight <= 0) return 0;
    return paneHeight > kSurfaceMaxRows ? kSurfaceMaxRows : paneHeight;
}

bool surface_Create(MapSurface& s, int paneWidth, int paneHeight) {
    const int w = surface_WidthFor(paneWidth), h = surface_HeightFor(paneHeight);
    if (w <= 0 || h <= 0) {
        s.bits.clear();
        s.width = s.height = s.stride = 0;
        surface_BuildRows(s);
        return false;
    }
    if (w != s.width || h != s.height || s.bits.empty()) {
        try {
            std::vector<std::uint32_t> fresh(static_cast<size_t>(w) * static_cast<size_t>(h), 0u);
            s.bits.swap(fresh);
        } catch (const std::bad_alloc&) {
            s.bits.clear();
            s.width = s.height = s.stride = 0;
            surface_BuildRows(s);
            return false;
        }
        s.width = w;
        s.height = h;
        s.stride = w;
    }
    s.bits_per_pixel = 32;
    surface_BuildRows(s);
    return true;
}

void surface_BuildRows(MapSurface& s) {
    const std::uint32_t* data = s.bits.empty() ? nullptr : s.bits.data();
    if (data == s.rows_for && s.width == s.rows_width && s.height == s.rows_height && s.stride == s.rows_stride)
        return;
    s.rows.fill(nullptr);
    if (data) {
        for (int y = 0; y < s.height && y < kSurfaceMaxRows; ++y)
            s.rows[static_cast<size_t>(y)] = s.bits.data() + static_cast<size_t>(y) * static_cast<size_t>(s.stride);
    }
    s.rows_for = data;
    s.rows_width = s.width;
    s.rows_height = s.height;
    s.rows_stride = s.stride;
}
