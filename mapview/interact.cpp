#include "mapview/interact.h"


#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/itemops.h"
#include "mapview/zoom.h"
#include "mission/mission.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

InteractState g_interact;

// A zoom drag reads the pointer only this far to the right.
constexpr int kZoomDragMinX = 2;
constexpr int kZoomDragMaxX = 1024;

// Squared pixel distance below which a click hits an item (less than 256 pixels).
constexpr std::int64_t kHitLimitSquared = 65536;

std::int32_t clampToInt32(double v) {
    if (!(v == v)) return 0;  // NaN
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::int64_t truncPixels(double v) {
    constexpr double kFar = double(std::int64_t(1) << 40);
    if (!(v == v)) return 0;
    if (v > kFar) return std::int64_t(kFar);
    if (v < -kFar) return -std::int64_t(kFar);
    return static_cast<std::int64_t>(v);
}

Mission& page() { return mission_CurrentPage(); }
Viewport viewport() { return interact_Viewport(view_State(), view_Surface()); }

// ---------------------------------------------------------------------------------------
// Screen updates

void renderNow() {
    if (g_interact.hooks.render) g_interact.hooks.render();
    else render_Page(page());
}
void repaintMap() {
    if (g_interact.hooks.repaintMap) g_interact.hooks.repaintMap();
    else platform().mapInvalidate();
}
void repaintItems() {
    if (g_interact.hooks.repaintItems) g_interact.hooks.repaintItems();
}
void repaintCentre() {
    if (g_interact.hooks.repaintCentre) g_interact.hooks.repaintCentre();
}

// One item drawn again over the picture, in the selection colour or its own.
void redrawItem(const Mission& m, std::int32_t index) {
    MapSurface& surface = view_Surface();
    if (!mapsurface_Ready(surface)) return;
    const ViewState& view = view_State();
    const RenderFrame f = render_SetupFrame(surface, view);
    const MissionItem& item = m.items[static_cast<std::size_t>(index)];
    const std::uint32_t colour = mission_IsSelected(m, index) ? kColourSelection : render_ItemColour(item, view.view_by, m.marks[static_cast<std::size_t>(index)]);
    render_Item(f, item, colour, (view.show_flags & kShowCones) != 0);
}

// Shows the bitmap as it stands, without rendering it again.
void present() {
    MapSurface& surface = view_Surface();
    if (!mapsurface_Ready(surface)) return;
    mapsurface_BuildRows(surface);
    PixelView pixels;
    pixels.pixels = surface.rows[0];
    pixels.width = surface.width;
    pixels.height = surface.height;
    pixels.stride = surface.stride / 4;
    pixels.scale = surface.scale;
    platform().mapPresent(pixels);
}

// ---------------------------------------------------------------------------------------
// Gestures

void drawBand(const GestureState& g) {
    platform().mapXorRect(g.band_anchor_x, g.band_anchor_y, g.band_corner_x, g.band_corner_y);
}

void startBand(GestureState& g, std::int32_t state, int x, int y) {
    g.state = state;
    g.band_anchor_x = g.band_corner_x = x;
    g.band_anchor_y = g.band_corner_y = y;
    platform().mapCaptureMouse(true);
    drawBand(g);
}

// Left button up in a band: every pickable item inside it joins (or leaves) the selection.
void finishBand(GestureState& g) {
    drawBand(g);  // erased
    Mission& m = page();
    const Viewport vp = viewport();
    const std::int64_t x0 = std::min(g.band_anchor_x, g.band_corner_x), x1 = std::max(g.band_anchor_x, g.band_corner_x);
    const std::int64_t y0 = std::min(g.band_anchor_y, g.band_corner_y), y1 = std::max(g.band_anchor_y, g.band_corner_y);
    const bool adding = g.state == kGestureBandAdd;
    for (std::int32_t i = 0; i < m.item_count; ++i) {
        std::int64_t px = 0, py = 0;
        if (!interact_Pickable(m, vp, i, px, py)) continue;
        if (px < x0 || px > x1 || py < y0 || py > y1) continue;
        if (adding) mission_Select(m, i);
        else mission_Deselect(m, i);
        redrawItem(m, i);
    }
    present();
    g.state = kGestureIdle;
    repaintItems();
    platform().mapCaptureMouse(false);
}

void clickSelect(int x, int y) {
    Mission& m = page();
    const std::int32_t hit = interact_HitTest(m, viewport(), x, y);
    if (hit < 0) return;
    mission_ToggleSelect(m, hit);
    redrawItem(m, hit);
    present();
    repaintItems();
}

void insertAt(int x, int y) {
    const WorldPoint w = interact_PaneToWorldSnapped(viewport(), x, y);
    std::string defName;
    bool randomFacing = false;
    Mission& m = page();
    // A full page is said before an item is chosen that could not go in.
    if (m.item_count >= kMaxItems) {
        itemops_ReportNoRoom(1, 0);
        return;
    }
    if (!g_interact.hooks.chooseItem || !g_interact.hooks.chooseItem(defName, randomFacing)) return;
    // Without item definitions there is nothing an item could be made of.
    if (itemdef_Count() <= 0) return;
    const std::int32_t defIndex = itemdef_FindByName(defName.c_str());
    const ItemDef* def = itemdef_At(defIndex);
    if (!def) return;
    const std::int32_t index =
        mission_AddItem(m, def->typeNumber, mission_HoldOnTerrain(w.x), mission_HoldOnTerrain(w.y), w.z);
    if (index < 0) {
        itemops_ReportNoRoom(1, 0);
        return;
    }
    model_LoadForDefs({defIndex});
    if (randomFacing) m.items[static_cast<std::size_t>(index)].heading = interact_NextRandom(g_interact) % 360;
    renderNow();
    repaintItems();
}

void commitMove(GestureState& g) {
    itemops_FinishMove(page(), g);
    renderNow();
    repaintItems();
}

void commitPlace(GestureState& g, int x, int y) {
    const WorldPoint w = interact_PaneToWorldSnapped(viewport(), x, y);
    itemops_Place(page(), mission_Clipboard(), g, w.x, w.y, w.z);
    renderNow();
    repaintItems();
}

void centreOn(int x, int y) {
    const WorldPoint w = interact_PaneToWorld(viewport(), x, y);
    ViewState& v = view_State();
    v.center_x = w.x;
    v.center_y = w.y;
    repaintCentre();
    renderNow();
}

// The context menu as the shell words it (texts, enabled states and check marks).
std::vector<MenuEntry> contextMenu(bool forItem) {
    const char* name = forItem ? "MouseMenuItem" : "MouseMenu";
    return g_interact.hooks.menu ? g_interact.hooks.menu(name) : std::vector<MenuEntry>{};
}

void openContextMenu(int x, int y) {
    const bool forItem = page().selection.count > 0;
    const int id = platform().popupMenu(contextMenu(forItem), x, y);
    if (id != 0 && g_interact.hooks.forward) g_interact.hooks.forward(id);
}

// ---------------------------------------------------------------------------------------
// The mouse

void leftDown(int x, int y, unsigned mods) {
    GestureState& g = gesture_State();
    if (g.drag != kDragNone) return;
    switch (g.state) {
    case kGestureIdle:
        if (mods & kModShift) startBand(g, kGestureBandAdd, x, y);
        else if (mods & kModCtrl) startBand(g, kGestureBandRemove, x, y);
        else if (view_State().insert_mode) insertAt(x, y);
        else clickSelect(x, y);
        break;
    case kGestureMove: commitMove(g); break;
    case kGesturePlace: commitPlace(g, x, y); break;
    default: break;
    }
}

void rightDown(int x, int y, unsigned mods) {
    GestureState& g = gesture_State();
    if (mods & kModShift) {
        // A band holds the mouse already; the zoom drag waits until it is done.
        if (g.drag != kDragNone || g.state == kGestureBandAdd || g.state == kGestureBandRemove) return;
        platform().mapCaptureMouse(true);
        g.drag = kDragZoom;
        g.zoom_at_start = view_State().zoom;
        g.zoom_anchor_x = x | 1;
        return;
    }
    if (mods & kModCtrl) {
        if (g.drag == kDragNone) centreOn(x, y);
        return;
    }
    if (g.state != kGestureIdle) {
        interact_Cancel();
        return;
    }
    openContextMenu(x, y);
}

void mouseMove(int x, int y) {
    GestureState& g = gesture_State();
    if (g.state == kGestureBandAdd || g.state == kGestureBandRemove) {
        drawBand(g);
        g.band_corner_x = x;
        g.band_corner_y = y;
        drawBand(g);
    } else if (g.state == kGestureMove || g.state == kGesturePlace) {
        // Moves that came in a burst reach here merged; each one draws the preview once.
        const WorldPoint w = interact_PaneToWorldSnapped(viewport(), x, y);
        g.offset_x = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t(w.x) - g.ref_x, INT32_MIN, INT32_MAX));
        g.offset_y = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t(w.y) - g.ref_y, INT32_MIN, INT32_MAX));
        g.offset_z = 0;
        ++g_interact.previewFrames;
        renderNow();
    }
    if (g.drag == kDragZoom && x >= kZoomDragMinX && x <= kZoomDragMaxX && g.zoom_anchor_x != 0) {
        const float z = static_cast<float>(x) / static_cast<float>(g.zoom_anchor_x) * g.zoom_at_start;
        if (z >= kZoomMin) {
            // Held to the range the renderer draws with, so the keys zoom back from there.
            view_State().zoom = std::min(z, kZoomMax);
            ++g_interact.previewFrames;
            renderNow();
        }
    }
}

class InteractSink final : public MapPaneSink {
public:
    void onMouseDown(MouseButton b, int x, int y, unsigned mods) override {
        switch (b) {
        case MouseButton::Left: leftDown(x, y, mods); break;
        case MouseButton::Right: rightDown(x, y, mods); break;
        case MouseButton::Middle:
            if (gesture_State().drag == kDragNone && !(mods & (kModShift | kModCtrl))) centreOn(x, y);
            break;
        case MouseButton::None: break;
        }
    }
    void onMouseUp(MouseButton b, int, int, unsigned) override {
        GestureState& g = gesture_State();
        if (b == MouseButton::Left && (g.state == kGestureBandAdd || g.state == kGestureBandRemove)) {
            finishBand(g);
        } else if (b == MouseButton::Right && g.drag == kDragZoom) {
            g.drag = kDragNone;
            renderNow();
            platform().mapCaptureMouse(false);
        }
    }
    void onDoubleClick(MouseButton b, int x, int y, unsigned mods) override {
        // The second press of a double click counts as a press of its own; other buttons'
        // double clicks do nothing.
        if (b == MouseButton::Left) leftDown(x, y, mods);
    }
    void onMouseMove(int x, int y, unsigned) override { mouseMove(x, y); }
    void onPaint() override { renderNow(); }
    void onResize(int, int) override {}
    // The wheel zooms about the pointer. Not while a band or the zoom drag holds the mouse:
    // the band is drawn over the picture as it stands.
    void onWheel(int x, int y, int delta, unsigned) override {
        const GestureState& g = gesture_State();
        if (g.drag != kDragNone || g.state == kGestureBandAdd || g.state == kGestureBandRemove) return;
        const MapSurface& s = view_Surface();
        if (!zoom_About(view_State(), mapsurface_ViewWidth(s), mapsurface_ViewHeight(s), x, y, zoom_WheelFactor(delta)))
            return;
        ++g_interact.previewFrames;
        repaintCentre();
        renderNow();
    }
};

InteractSink g_sink;

}  // namespace

InteractState& interact_State() { return g_interact; }

void interact_Reset() {
    g_interact = InteractState{};
    gesture_Reset();
}

std::int32_t interact_NextRandom(InteractState& s) {
    s.seed = s.seed * 214013u + 2531011u;
    return static_cast<std::int32_t>((s.seed >> 16) & 0x7FFFu);
}

Viewport interact_Viewport(const ViewState& view, const MapSurface& surface) {
    Viewport vp;
    // Pane pixels, whatever the bitmap's scale.
    vp.width = mapsurface_ViewWidth(surface);
    vp.height = mapsurface_ViewHeight(surface);
    // The zoom the renderer draws with, so that clicks meet what is shown.
    float z = view.zoom;
    if (!(z >= kZoomMin)) z = kZoomMin;
    if (z > kZoomMax) z = kZoomMax;
    vp.zoom = z;
    vp.cx = view.center_x;
    vp.cy = view.center_y;
    vp.cz = view.center_z;
    vp.showFlags = view.show_flags;
    vp.snap = view.snap_to_grid != 0;
    vp.grid = view.grid_size;
    return vp;
}

WorldPoint interact_PaneToWorld(const Viewport& vp, int px, int py) {
    const float hw = static_cast<float>(vp.width >> 1), hh = static_cast<float>(vp.height >> 1);
    const float z = vp.zoom > 0.0f ? vp.zoom : kZoomMin;
    WorldPoint w;
    w.x = clampToInt32(std::trunc(static_cast<float>(vp.cx) + (static_cast<float>(px) - hw) / z));
    w.y = clampToInt32(std::trunc(static_cast<float>(vp.cy) + (hh - static_cast<float>(py)) / z));
    w.z = vp.cz;
    return w;
}

void interact_WorldToPane(const Viewport& vp, std::int32_t x, std::int32_t y, std::int64_t& px, std::int64_t& py) {
    const double z = vp.zoom;
    px = (vp.width >> 1) + truncPixels(z * (double(x) - double(vp.cx)));
    py = (vp.height >> 1) - truncPixels(z * (double(y) - double(vp.cy)));
}

std::int32_t interact_Snap(std::int32_t v, std::int32_t grid) {
    if (grid < 1) return v;
    const std::int64_t g = grid, half = g / 2;
    const std::int64_t t = v > 0 ? std::int64_t(v) + half : std::int64_t(v) - half;
    const std::int64_t r = t / g * g;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(r, INT32_MIN, INT32_MAX));
}

WorldPoint interact_PaneToWorldSnapped(const Viewport& vp, int px, int py) {
    WorldPoint w = interact_PaneToWorld(vp, px, py);
    if (vp.snap) {
        w.x = interact_Snap(w.x, vp.grid);
        w.y = interact_Snap(w.y, vp.grid);
    }
    return w;
}

bool interact_Pickable(const Mission& m, const Viewport& vp, std::int32_t index, std::int64_t& px, std::int64_t& py) {
    if (!mission_ItemShown(m, index, vp.showFlags)) return false;
    const MissionItem& item = m.items[static_cast<std::size_t>(index)];
    interact_WorldToPane(vp, item.x, item.y, px, py);
    return px >= 0 && px < vp.width && py >= 0 && py < vp.height;
}

std::int32_t interact_HitTest(const Mission& m, const Viewport& vp, int x, int y) {
    std::int32_t best = -1;
    std::int64_t bestDistance = kHitLimitSquared;
    for (std::int32_t i = 0; i < m.item_count; ++i) {
        std::int64_t px = 0, py = 0;
        if (!interact_Pickable(m, vp, i, px, py)) continue;
        const std::int64_t dx = px - x, dy = py - y;
        const std::int64_t d = dx * dx + dy * dy;
        if (d < bestDistance) {  // strictly nearer: the lower index keeps a tie
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

int interact_StartMove() {
    if (!itemops_StartMove(page(), gesture_State())) return 0;
    repaintMap();
    return 1;
}

int interact_StartPlace() {
    if (!itemops_StartPaste(mission_Clipboard(), gesture_State())) return 0;
    repaintMap();
    return 1;
}

int interact_Cancel() {
    GestureState& g = gesture_State();
    const bool band = g.state == kGestureBandAdd || g.state == kGestureBandRemove;
    const bool held = band || g.drag == kDragZoom;
    if (band) drawBand(g);  // erased, or it would stay on the map
    if (!itemops_CancelGesture(g)) return 0;
    if (held) platform().mapCaptureMouse(false);
    repaintMap();
    return 1;
}

MapPaneSink& interact_Sink() { return g_sink; }
